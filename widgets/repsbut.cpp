// TRepSpeedButton: the repeat timer, the mouse handling that starts and stops it, the setters
// and the published property list. The look is the speed button's.
#include "KEL_repsbut.h"

#include "kel_app.h"
#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <cstdint>

namespace kel {

TRepSpeedButton::TRepSpeedButton(TComponent* AOwner)
    : TSpeedButton(AOwner), FRClickTimer([this] { TimerTick(); }) {}

TRepSpeedButton::~TRepSpeedButton() = default;

// ---- Setters ----------------------------------------------------------------------------------

void TRepSpeedButton::SetRepeatClickInterval(int Value) {
    Value = std::max(Value, 10);
    if (!SetField(FRepClickIv, Value)) return;
    if (!Designing()) UpdateTimer();
}

void TRepSpeedButton::SetStartClickInterval(int Value) {
    Value = std::max(Value, 10);
    if (!SetField(FStartIv, Value)) return;
    if (!Designing()) InitTimer();
}

void TRepSpeedButton::SetOnRepeatClick(TNotifyEvent Handler) {
    FOnRepeatClick = std::move(Handler);
    if (!Designing()) UpdateTimer();
}

// ---- Timer ------------------------------------------------------------------------------------

void TRepSpeedButton::InitTimer() {
    FIsStart = true;
    FRClickTimer.Stop();
    if (FStartIv > 0 && FRClickTimerEnabled)
        FRClickTimer.Start<EKELRepSpeedButton>(std::uint32_t(FStartIv), *this);
}

void TRepSpeedButton::UpdateTimer() {
    FIsStart = false;
    FRClickTimer.Stop();
    if (FRepClickIv > 0 && FRClickTimerEnabled)
        FRClickTimer.Start<EKELRepSpeedButton>(std::uint32_t(FRepClickIv), *this);
}

// A fault in a tick goes to the application's handler, so the loop goes on.
void TRepSpeedButton::TimerTick() {
    try {
        DoTimer();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TRepSpeedButton::DoTimer() {
    if (FIsStart) UpdateTimer();
    RepeatClickEvent();
    if (FOnRepeatClick) FOnRepeatClick(this);
}

void TRepSpeedButton::StopRepeat() {
    FRClickTimerEnabled = false;
    UpdateTimer();
}

// ---- Mouse ------------------------------------------------------------------------------------

void TRepSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    // An OnMouseDown handler may have freed the button; a disabled one is not pressed.
    if (*alive == nullptr || Button != mbLeft || !Dragging()) return;
    FRClickTimerEnabled = true;
    InitTimer();
}

void TRepSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TSpeedButton::MouseMove(Shift, X, Y);
    if (*alive == nullptr) return;
    if (FRClickTimerEnabled && !ClientRect().Contains({X, Y})) StopRepeat();
}

void TRepSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) StopRepeat();
    TSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TRepSpeedButton::CMMouseLeave(TMessage& Message) {
    TSpeedButton::CMMouseLeave(Message);
    // A leave passed up from a child names it in LParam; only this button's own counts.
    if (Message.LParam != 0 && Message.LParam != LPARAM(reinterpret_cast<std::intptr_t>(this)))
        return;
    if (FRClickTimerEnabled) StopRepeat();
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

const TClassRegistrar<TRepSpeedButton>
    repSpeedButtonReg("TRepSpeedButton", "TSpeedButton", [](auto& p) {
        using R = TRepSpeedButton;
        p.Int("RepeatClickInterval", &R::RepeatClickInterval, &R::SetRepeatClickInterval, 200);
        p.Int("StartClickInterval", &R::StartClickInterval, &R::SetStartClickInterval, 500);
    });

} // namespace

} // namespace kel
