// The message timer on a hidden window (see kel_timer.h).
#include "kel_timer.h"

#include "kel_messages.h"

#include <utility>

namespace kel {

TMessageTimer::TMessageTimer(std::function<void()> OnTimer) : FOnTimer(std::move(OnTimer)) {
    FWnd = AllocateHWnd([this](TMessage& M) {
        if (M.Msg == WM_TIMER && M.WParam == TimerId) {
            if (FOnTimer) FOnTimer();
        } else {
            M.Result = DefWindowProcW(FWnd, M.Msg, M.WParam, M.LParam);
        }
    });
}

TMessageTimer::~TMessageTimer() {
    KillTimer(FWnd, TimerId);
    DeallocateHWnd(FWnd);
}

bool TMessageTimer::TryStart(std::uint32_t IntervalMs) {
    KillTimer(FWnd, TimerId);
    FInterval = IntervalMs;
    FActive = SetTimer(FWnd, TimerId, IntervalMs) != 0;
    return FActive;
}

void TMessageTimer::Stop() {
    if (!FActive) return;
    KillTimer(FWnd, TimerId);
    FActive = false;
}

std::string TMessageTimer::RefusedMessage(const TComponent& Owner) {
    return "Component \"" + Owner.Name() + "\": no timer available";
}

} // namespace kel
