// TProgBar: construction, the colour table, the setters, Assign, the auto-increment timer on
// the control's hidden message window, and the published property list. Painting and the
// bar geometry live in progbar_paint.cpp.
#include "KEL_ProgBar.h"

#include "kel_props.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kel {

TColor ProgBarInterpolateColor(TColor C0, TColor C1, double X) {
    if (!(X > 0)) X = 0; // NaN too
    if (X > 1) X = 1;
    C0 = ColorToRGB(C0);
    C1 = ColorToRGB(C1);
    TColor out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double c0 = double((C0 >> shift) & 0xFF), c1 = double((C1 >> shift) & 0xFF);
        const int c = static_cast<int>(std::trunc(c0 + (c1 - c0) * X));
        out |= TColor(std::clamp(c, 0, 255)) << shift;
    }
    return out;
}

// ---- Construction -----------------------------------------------------------------------------

TProgBar::TProgBar(TComponent* AOwner) : TGraphicControl(AOwner) {
    FTimerHandle = AllocateHWnd([this](TMessage& m) { TimerWndProc(m); });
    InitBounds(0, 0, 300, 28);
    FBarColorArray[0] = clBlue;
    FBarColorArray[ProgBarColorCount - 1] = clRed;
    FillColorTable();
}

TProgBar::~TProgBar() {
    KillTimer(FTimerHandle, 1);
    DeallocateHWnd(FTimerHandle);
}

void TProgBar::FillColorTable() {
    const TColor c0 = FBarColorArray[0], c1 = FBarColorArray[ProgBarColorCount - 1];
    for (int i = 1; i < ProgBarColorCount - 1; ++i)
        FBarColorArray[std::size_t(i)] =
            ProgBarInterpolateColor(c0, c1, double(i) / double(ProgBarColorCount - 1));
}

void TProgBar::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TProgBar*>(Dest))
        d->Assign(this);
    else
        TGraphicControl::AssignTo(Dest);
}

void TProgBar::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TProgBar*>(Source);
    if (s == nullptr) {
        TGraphicControl::Assign(Source);
        return;
    }
    if (s == this) return;
    FOuterFrameSt = s->FOuterFrameSt;
    FInnerFrameSt = s->FInnerFrameSt;
    FProgValue = s->FProgValue;
    FColorMargin = s->FColorMargin;
    FColBlackLine = s->FColBlackLine;
    FColGrayLine = s->FColGrayLine;
    FColWhiteLine = s->FColWhiteLine;
    FColorScheme = s->FColorScheme;
    FProgMax = s->FProgMax;
    FProgMin = s->FProgMin;
    FDirection = s->FDirection;
    FBarColorArray = s->FBarColorArray;
    AuxBmp.Assign(&s->AuxBmp);
    FColorBakG = s->FColorBakG;
    FColorGrad = s->FColorGrad;
    FColorGrid = s->FColorGrid;
    FGridDist = s->FGridDist;
    FColorMapMode = s->FColorMapMode;
    FMarginLeft = s->FMarginLeft;
    FMarginRight = s->FMarginRight;
    FMarginTop = s->FMarginTop;
    FMarginBottom = s->FMarginBottom;
    FBakGndFile = s->FBakGndFile;
    FTextPosX = s->FTextPosX;
    FTextPosY = s->FTextPosY;
    FTextDecPlaces = s->FTextDecPlaces;
    FTextAngle = s->FTextAngle;
    FAlignment = s->FAlignment;
    FOnShowValue = s->FOnShowValue;
    FShowValue = s->FShowValue;
    Paint();
}

// ---- Setters ----------------------------------------------------------------------------------

#define KEL_PROGBAR_SETTER(Name, Type, Field)                                                      \
    void TProgBar::Set##Name(Type Value) {                                                         \
        if (Field == Value) return;                                                                \
        Field = Value;                                                                             \
        Paint();                                                                                   \
    }

KEL_PROGBAR_SETTER(ColorBackGnd, TColor, FColorBakG)
KEL_PROGBAR_SETTER(ColorMapMode, TColorMapping, FColorMapMode)
KEL_PROGBAR_SETTER(ColorGrid, TColor, FColorGrid)
KEL_PROGBAR_SETTER(ColorMargin, TColor, FColorMargin)
KEL_PROGBAR_SETTER(FrameStyleOuter, TFrameStyle, FOuterFrameSt)
KEL_PROGBAR_SETTER(FrameStyleInner, TFrameStyle, FInnerFrameSt)
KEL_PROGBAR_SETTER(GridDist, int, FGridDist)
KEL_PROGBAR_SETTER(MarginBottom, int, FMarginBottom)
KEL_PROGBAR_SETTER(MarginLeft, int, FMarginLeft)
KEL_PROGBAR_SETTER(MarginRight, int, FMarginRight)
KEL_PROGBAR_SETTER(MarginTop, int, FMarginTop)
KEL_PROGBAR_SETTER(Max, double, FProgMax)
KEL_PROGBAR_SETTER(Min, double, FProgMin)
KEL_PROGBAR_SETTER(Direction, TDirection, FDirection)
KEL_PROGBAR_SETTER(ShowColorGradient, bool, FColorGrad)
KEL_PROGBAR_SETTER(TextAlignment, TAlignment, FAlignment)
KEL_PROGBAR_SETTER(Value, double, FProgValue)
#undef KEL_PROGBAR_SETTER

void TProgBar::SetAutoIncStep(double Value) {
    if (Value != 0 && Value != FAutoIncStep) FAutoIncStep = Value;
}

void TProgBar::SetBackGroundImg(const std::string& Value) {
    if (Value.empty()) {
        FBakGndFile.clear();
    } else {
        try {
            AuxBmp.LoadFromFile(Value); // leaves the old picture when it fails
            FBakGndFile = Value;
        } catch (const std::exception&) {
            // A picture that cannot be loaded is ignored: the old name and picture stay.
        }
    }
    Paint();
}

void TProgBar::SetColorScheme(TColorScheme Value) {
    FColorScheme = Value;
    SchemeLineColors(Value, FColGrayLine, FColWhiteLine);
    Paint();
}

void TProgBar::SetColorMin(TColor Value) {
    FBarColorArray[0] = Value;
    FillColorTable();
    Paint();
}

void TProgBar::SetColorMax(TColor Value) {
    FBarColorArray[ProgBarColorCount - 1] = Value;
    FillColorTable();
    Paint();
}

void TProgBar::SetTextAngle(int Value) {
    FTextAngle = std::clamp(Value, 0, 360);
    Paint();
}

void TProgBar::SetTextDecPlaces(int Value) {
    FTextDecPlaces = std::clamp(Value, -2, 10);
    Paint();
}

void TProgBar::SetTextPosX(int Value) {
    FTextPosX = std::clamp(Value, 0, std::max(Width(), 0));
    Paint();
}

void TProgBar::SetTextPosY(int Value) {
    FTextPosY = std::clamp(Value, 0, std::max(Height(), 0));
    Paint();
}

void TProgBar::SetTextVisible(bool Value) {
    FShowValue = Value;
    Paint();
}

TColor TProgBar::GetBarColorElem(int Ix) const {
    if (Ix < 0 || Ix >= ProgBarColorCount)
        throw EKELProgBar("Component \"" + Name() + "\": BarColors index " + std::to_string(Ix) +
                          " out of range 0..1023");
    return FBarColorArray[std::size_t(Ix)];
}

void TProgBar::SetBarColorElem(int Ix, TColor Value) {
    (void)GetBarColorElem(Ix); // range check
    FBarColorArray[std::size_t(Ix)] = Value;
}

void TProgBar::SetRange(double A, double B) {
    FProgMin = std::min(A, B);
    FProgMax = std::max(A, B);
    Paint();
}

// ---- Auto-increment ---------------------------------------------------------------------------

void TProgBar::SetAutoInc(bool Value) {
    if (Value == FTimerEnabled) return;
    FTimerEnabled = Value;
    if (Designing()) return;
    if (Value)
        InitTimer();
    else
        KillTimer(FTimerHandle, 1);
}

void TProgBar::SetStartInterval(int Value) {
    Value = std::max(Value, 10);
    if (Value == FStartIv) return;
    FStartIv = Value;
    if (!Designing()) InitTimer();
}

void TProgBar::SetRepeatInterval(int Value) {
    Value = std::max(Value, 10);
    if (Value == FRepeatIv) return;
    FRepeatIv = Value;
    if (!Designing()) UpdateTimer();
}

void TProgBar::SetOnAutoInc(TNotifyEvent Handler) {
    FOnAutoInc = std::move(Handler);
    if (!Designing()) UpdateTimer();
}

// Starts timer 1 at Interval; a refusal leaves the timer off and AutoInc false, then raises.
void TProgBar::StartTimer(int Interval) {
    if (SetTimer(FTimerHandle, 1, std::uint32_t(Interval)) == 0) {
        FTimerEnabled = false;
        throw EKELProgBar("Component \"" + Name() + "\": no timer available");
    }
}

void TProgBar::InitTimer() {
    FIsStart = true;
    KillTimer(FTimerHandle, 1);
    if (FStartIv > 0 && FTimerEnabled) StartTimer(FStartIv);
}

void TProgBar::UpdateTimer() {
    FIsStart = false;
    KillTimer(FTimerHandle, 1);
    if (FRepeatIv > 0 && FTimerEnabled) StartTimer(FRepeatIv);
}

void TProgBar::TimerWndProc(TMessage& Message) {
    if (Message.Msg == WM_TIMER) {
        try {
            DoTimer();
        } catch (...) {
            Application->HandleException(this);
        }
    } else {
        Message.Result = DefWindowProc(FTimerHandle, Message.Msg, Message.WParam, Message.LParam);
    }
}

void TProgBar::DoTimer() {
    if (FIsStart) UpdateTimer();
    AutoIncEvent();
    if (FOnAutoInc) FOnAutoInc(this);
}

void TProgBar::AutoIncEvent() {
    FProgValue += FAutoIncStep;
    Paint();
}

// ---- Published properties ---------------------------------------------------------------------

static const TClassRegistrar<TProgBar> ProgBarRegistrar("TProgBar", "TGraphicControl", [](auto& p) {
    const std::initializer_list<const char*> frames = {"fstNone",   "fstLoweredThin", "fstLowered",
                                                       "fstRaised", "fstEmbossed",    "fstSimple"};
    p.Bool("AutoInc", &TProgBar::AutoInc, &TProgBar::SetAutoInc, false);
    p.Float("AutoIncStep", &TProgBar::AutoIncStep, &TProgBar::SetAutoIncStep, 1.0);
    p.String("BackGroundImg", &TProgBar::BackGroundImg, &TProgBar::SetBackGroundImg, "");
    p.Color("ColorBackGnd", &TProgBar::ColorBackGnd, &TProgBar::SetColorBackGnd, clSilver);
    p.Enum("ColorMapMode", &TProgBar::ColorMapMode, &TProgBar::SetColorMapMode, cgmStretch,
           {"cgmCover", "cgmStretch", "cgmMove"});
    p.Color("ColorGrid", &TProgBar::ColorGrid, &TProgBar::SetColorGrid, clBlack);
    p.Color("ColorMargin", &TProgBar::ColorMargin, &TProgBar::SetColorMargin, clSilver);
    p.Enum("ColorScheme", &TProgBar::ColorScheme, &TProgBar::SetColorScheme, cschClassic,
           {"cschClassic", "cschSystem"});
    p.Color("ColorMin", &TProgBar::ColorMin, &TProgBar::SetColorMin, clBlue);
    p.Color("ColorMax", &TProgBar::ColorMax, &TProgBar::SetColorMax, clRed);
    p.Enum("FrameStyleOuter", &TProgBar::FrameStyleOuter, &TProgBar::SetFrameStyleOuter, fstRaised,
           frames);
    p.Enum("FrameStyleInner", &TProgBar::FrameStyleInner, &TProgBar::SetFrameStyleInner, fstLowered,
           frames);
    p.Int("GridDist", &TProgBar::GridDist, &TProgBar::SetGridDist, 0);
    p.Int("MarginBottom", &TProgBar::MarginBottom, &TProgBar::SetMarginBottom, 4);
    p.Int("MarginLeft", &TProgBar::MarginLeft, &TProgBar::SetMarginLeft, 4);
    p.Int("MarginRight", &TProgBar::MarginRight, &TProgBar::SetMarginRight, 4);
    p.Int("MarginTop", &TProgBar::MarginTop, &TProgBar::SetMarginTop, 4);
    p.Float("Max", &TProgBar::Max, &TProgBar::SetMax, 100.0);
    p.Float("Min", &TProgBar::Min, &TProgBar::SetMin, 0.0);
    p.Enum("Direction", &TProgBar::Direction, &TProgBar::SetDirection, drRight,
           {"drUp", "drDown", "drLeft", "drRight"});
    p.Int("RepeatInterval", &TProgBar::RepeatInterval, &TProgBar::SetRepeatInterval, 700);
    p.Bool("ShowColorGradient", &TProgBar::ShowColorGradient, &TProgBar::SetShowColorGradient,
           false);
    p.Int("StartInterval", &TProgBar::StartInterval, &TProgBar::SetStartInterval, 1500);
    p.Enum("TextAlignment", &TProgBar::TextAlignment, &TProgBar::SetTextAlignment, taCenter,
           {"taLeftJustify", "taRightJustify", "taCenter"});
    p.Int("TextAngle", &TProgBar::TextAngle, &TProgBar::SetTextAngle, 0);
    p.Int("TextDecPlaces", &TProgBar::TextDecPlaces, &TProgBar::SetTextDecPlaces, 0);
    p.Int("TextPosX", &TProgBar::TextPosX, &TProgBar::SetTextPosX, 14);
    p.Int("TextPosY", &TProgBar::TextPosY, &TProgBar::SetTextPosY, 14);
    p.Bool("TextVisible", &TProgBar::TextVisible, &TProgBar::SetTextVisible, true);
    p.Float("Value", &TProgBar::Value, &TProgBar::SetValue, 10.0);
});

} // namespace kel
