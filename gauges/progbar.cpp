// TProgBar: construction, the colour table, the setters, Assign, the auto-increment timer and
// the published property list. Painting and the bar geometry live in progbar_paint.cpp.
#include "KEL_ProgBar.h"

#include "kel_props.h"
#include "numtext.h"
#include "kel_setter.h"

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

TProgBar::TProgBar(TComponent* AOwner) : TGraphicControl(AOwner), FTimer([this] { TimerTick(); }) {
    InitBounds(0, 0, 300, 28);
    // The default table (clBlue to clRed) is worked out once and copied: creating a bar stays
    // cheap, as a form file creates many.
    static const std::array<TColor, ProgBarColorCount> defaults = [] {
        std::array<TColor, ProgBarColorCount> t{};
        t[0] = clBlue;
        t[ProgBarColorCount - 1] = clRed;
        for (int i = 1; i < ProgBarColorCount - 1; ++i)
            t[std::size_t(i)] =
                ProgBarInterpolateColor(clBlue, clRed, double(i) / double(ProgBarColorCount - 1));
        return t;
    }();
    FBarColorArray = defaults;
}

TProgBar::~TProgBar() = default; // the timer stops with its member

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
    Changed();
    UpdateValueText();
}

// Deferred and merged: any number of changes before the loop runs costs one paint.
void TProgBar::Changed() { Invalidate(); }

void TProgBar::UpdateValueText() {
    FValueTextStale = false;
    // -1 asks for the short scientific form and -2 for the long one; the formatter numbers
    // them the other way round.
    const int d = FTextDecPlaces == -1 ? -2 : FTextDecPlaces == -2 ? -1 : FTextDecPlaces;
    FValueText = FloatToFieldStr(1, d, FProgValue);
    if (!FShowValue) return; // worked out again when the text is shown
    if (!Visible() && !Designing()) {
        FValueTextStale = true; // the paint that shows it asks the handler
        return;
    }
    if (FOnShowValue) FOnShowValue(this, FValueText);
}

const std::string& TProgBar::ShownValueText() {
    if (FValueTextStale) UpdateValueText();
    return FValueText;
}

void TProgBar::SetOnShowValue(TBeforeShowValueEvent Handler) {
    FOnShowValue = std::move(Handler);
    FValueTextStale = true; // the next paint asks the new handler
    Changed();
}

// ---- Setters ----------------------------------------------------------------------------------

void TProgBar::SetColorBackGnd(TColor Value) {
    if (SetField(FColorBakG, Value)) Changed();
}

void TProgBar::SetColorMapMode(TColorMapping Value) {
    if (SetField(FColorMapMode, Value)) Changed();
}

void TProgBar::SetColorGrid(TColor Value) {
    if (SetField(FColorGrid, Value)) Changed();
}

void TProgBar::SetColorMargin(TColor Value) {
    if (SetField(FColorMargin, Value)) Changed();
}

void TProgBar::SetFrameStyleOuter(TFrameStyle Value) {
    if (SetField(FOuterFrameSt, Value)) Changed();
}

void TProgBar::SetFrameStyleInner(TFrameStyle Value) {
    if (SetField(FInnerFrameSt, Value)) Changed();
}

void TProgBar::SetGridDist(int Value) {
    if (SetField(FGridDist, Value)) Changed();
}

void TProgBar::SetMarginBottom(int Value) {
    if (SetField(FMarginBottom, Value)) Changed();
}

void TProgBar::SetMarginLeft(int Value) {
    if (SetField(FMarginLeft, Value)) Changed();
}

void TProgBar::SetMarginRight(int Value) {
    if (SetField(FMarginRight, Value)) Changed();
}

void TProgBar::SetMarginTop(int Value) {
    if (SetField(FMarginTop, Value)) Changed();
}

void TProgBar::SetMax(double Value) {
    if (SetField(FProgMax, Value)) Changed();
}

void TProgBar::SetMin(double Value) {
    if (SetField(FProgMin, Value)) Changed();
}

void TProgBar::SetDirection(TDirection Value) {
    if (SetField(FDirection, Value)) Changed();
}

void TProgBar::SetShowColorGradient(bool Value) {
    if (SetField(FColorGrad, Value)) Changed();
}

void TProgBar::SetTextAlignment(TAlignment Value) {
    if (SetField(FAlignment, Value)) Changed();
}

void TProgBar::SetValue(double Value) {
    if (!SetField(FProgValue, Value)) return;
    Changed();
    UpdateValueText();
}

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
    Changed();
}

void TProgBar::SetColorScheme(TColorScheme Value) {
    if (!SetField(FColorScheme, Value)) return;
    SchemeLineColors(Value, FColGrayLine, FColWhiteLine);
    Changed();
}

void TProgBar::SetColorMin(TColor Value) {
    // Always refills: the table may hold single entries written through BarColors.
    FBarColorArray[0] = Value;
    FillColorTable();
    Changed();
}

void TProgBar::SetColorMax(TColor Value) {
    FBarColorArray[ProgBarColorCount - 1] = Value;
    FillColorTable();
    Changed();
}

void TProgBar::SetTextAngle(int Value) {
    if (SetField(FTextAngle, std::clamp(Value, 0, 360))) Changed();
}

void TProgBar::SetTextDecPlaces(int Value) {
    if (!SetField(FTextDecPlaces, std::clamp(Value, -2, 10))) return;
    Changed();
    UpdateValueText();
}

void TProgBar::SetTextPosX(int Value) {
    if (SetField(FTextPosX, std::clamp(Value, 0, std::max(Width(), 0)))) Changed();
}

void TProgBar::SetTextPosY(int Value) {
    if (SetField(FTextPosY, std::clamp(Value, 0, std::max(Height(), 0)))) Changed();
}

void TProgBar::SetTextVisible(bool Value) {
    if (!SetField(FShowValue, Value)) return;
    Changed();
    if (Value) UpdateValueText();
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
    const bool a = SetField(FProgMin, std::min(A, B));
    if (SetField(FProgMax, std::max(A, B)) || a) Changed();
}

// ---- Auto-increment ---------------------------------------------------------------------------

void TProgBar::SetAutoInc(bool Value) {
    if (Value == FTimerEnabled) return;
    FTimerEnabled = Value;
    if (Designing()) return;
    if (Value)
        InitTimer();
    else
        FTimer.Stop();
}

void TProgBar::SetStartInterval(int Value) {
    Value = std::max(Value, 10);
    if (!SetField(FStartIv, Value)) return;
    if (!Designing()) InitTimer();
}

void TProgBar::SetRepeatInterval(int Value) {
    Value = std::max(Value, 10);
    if (!SetField(FRepeatIv, Value)) return;
    if (!Designing()) UpdateTimer();
}

void TProgBar::SetOnAutoInc(TNotifyEvent Handler) {
    FOnAutoInc = std::move(Handler);
    if (!Designing()) UpdateTimer();
}

// Starts the timer at Interval; a refusal leaves the timer off and AutoInc false, then raises.
void TProgBar::StartTimer(int Interval) {
    if (FTimer.TryStart(std::uint32_t(Interval))) return;
    FTimerEnabled = false;
    throw EKELProgBar(TMessageTimer::RefusedMessage(*this));
}

void TProgBar::InitTimer() {
    FIsStart = true;
    FTimer.Stop();
    if (FStartIv > 0 && FTimerEnabled) StartTimer(FStartIv);
}

void TProgBar::UpdateTimer() {
    FIsStart = false;
    FTimer.Stop();
    if (FRepeatIv > 0 && FTimerEnabled) StartTimer(FRepeatIv);
}

// A fault in a tick goes to the application's handler, so the loop goes on.
void TProgBar::TimerTick() {
    try {
        DoTimer();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TProgBar::DoTimer() {
    if (FIsStart) UpdateTimer();
    AutoIncEvent();
    if (FOnAutoInc) FOnAutoInc(this);
}

void TProgBar::AutoIncEvent() {
    FProgValue += FAutoIncStep;
    Changed();
    UpdateValueText();
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
