// TMeter and TNeedleLayout: construction, the property setters with their value, limit and
// threshold rules and range events, the pictures, the conversions between values and pixels,
// the mouse report and the published property lists. Painting is in meter_paint.cpp, the
// geometry in meter_scale.cpp.
#include "KEL_Meter.h"

#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <system_error>

namespace kel {

namespace {

// Limits and thresholds below this are ignored on a logarithmic scale.
constexpr double kLogFloor = 1e-100;

bool FileExists(const std::string& Name) {
    std::error_code ec;
    return !Name.empty() && std::filesystem::is_regular_file(Name, ec);
}

double ClampTo(double v, double lo, double hi) {
    if (v > hi) v = hi;
    if (v < lo) v = lo;
    return v;
}

} // namespace

// ---- TNeedleLayout ----------------------------------------------------------------------------

void TNeedleLayout::Changed() {
    if (FOnChange) FOnChange(this);
}

void TNeedleLayout::CopyValues(const TNeedleLayout& S) {
    FSize1 = S.FSize1;
    FAngle1 = S.FAngle1;
    FBackShift1 = S.FBackShift1;
    FThickness = S.FThickness;
    FColorFill = S.FColorFill;
    FColorLine = S.FColorLine;
    FPctNeedleLeng = S.FPctNeedleLeng;
    FShadowDx = S.FShadowDx;
    FShadowDy = S.FShadowDy;
    FShadowColor = S.FShadowColor;
    FVisible = S.FVisible;
}

void TNeedleLayout::Assign(const TPersistent* Source) {
    if (auto* s = dynamic_cast<const TNeedleLayout*>(Source)) {
        if (s == this) return;
        CopyValues(*s);
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TNeedleLayout::SetHeadSize(int Value) {
    if (Value == FSize1) return;
    FSize1 = Value;
    Changed();
}

void TNeedleLayout::SetHeadAngle(int Value) {
    Value = std::clamp(Value, 0, 180);
    if (Value == FAngle1) return;
    FAngle1 = Value;
    Changed();
}

void TNeedleLayout::SetHeadMidLeng(int Value) {
    if (Value == FBackShift1) return;
    FBackShift1 = Value;
    Changed();
}

void TNeedleLayout::SetThickness(int Value) {
    if (Value == FThickness) return;
    FThickness = Value;
    Changed();
}

void TNeedleLayout::SetColorBody(TColor Value) {
    if (Value == FColorFill) return;
    FColorFill = Value;
    Changed();
}

void TNeedleLayout::SetColorOutline(TColor Value) {
    if (Value == FColorLine) return;
    FColorLine = Value;
    Changed();
}

void TNeedleLayout::SetPercentNeedleLength(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (Value == FPctNeedleLeng) return;
    FPctNeedleLeng = Value;
    Changed();
}

void TNeedleLayout::SetShadowDx(int Value) {
    if (Value == FShadowDx) return;
    FShadowDx = Value;
    Changed();
}

void TNeedleLayout::SetShadowDy(int Value) {
    if (Value == FShadowDy) return;
    FShadowDy = Value;
    Changed();
}

void TNeedleLayout::SetShadowColor(TColor Value) {
    if (Value == FShadowColor) return;
    FShadowColor = Value;
    Changed();
}

void TNeedleLayout::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Changed();
}

// ---- TMeter: life -----------------------------------------------------------------------------

TMeter::TMeter(TComponent* AOwner) : TGraphicControl(AOwner) {
    // The meter covers its whole rectangle (while its dial has room, see
    // CalcMeterLayoutParams), so it can paint at once through the form's surface.
    IncludeStyle(csOpaque);
    ExcludeStyle(csSetCaption);
    InitBounds(Left(), Top(), 297, 209);
    auto makeLayout = [this](bool visible) {
        auto l = std::make_unique<TNeedleLayout>();
        l->SetHeadSize(20);
        l->SetHeadAngle(30);
        l->SetHeadMidLeng(20);
        l->SetThickness(0);
        l->SetColorBody(clSilver);
        l->SetColorOutline(clBlack);
        l->SetPercentNeedleLength(100);
        l->SetShadowDx(0);
        l->SetShadowDy(0);
        l->SetShadowColor(clGray);
        l->SetVisible(visible);
        l->SetOnChange([this](TObject* Sender) { StyleChanged(Sender); });
        return l;
    };
    FNeedleLayout = makeLayout(true);
    FNeedle2Layout = makeLayout(false);
    FFontCaption = std::make_unique<TFont>();
    FFontCaption->Assign(&Font());
    FFontCaption->SetOnChange([this](TObject*) { Changed(); });
    AuxBGBmp = std::make_unique<TBitmap>(10, 10);
    AuxACBmp = std::make_unique<TBitmap>(10, 10);
    AuxACMaskBmp = std::make_unique<TBitmap>(10, 10);
    CalcMeterLayoutParams();
}

TMeter::~TMeter() {
    // The owned objects go with the members; their change handlers must not reach a meter
    // that is half destroyed.
    FNeedleLayout->SetOnChange(nullptr);
    FNeedle2Layout->SetOnChange(nullptr);
    FFontCaption->SetOnChange(nullptr);
}

void TMeter::Loaded() {
    TGraphicControl::Loaded();
    // Values were stored unchecked while loading: bring the limits into the shape the setters
    // keep them in, so the scale has a range to divide.
    if (!(FMaxValue > FMinValue)) FMaxValue = FMinValue + 1;
    if (FLogarithmic && !(FMinValue > kLogFloor && FMaxValue > kLogFloor)) FLogarithmic = false;
    FValue = ClampTo(FValue, FMinValue, FMaxValue);
    FValue2 = ClampTo(FValue2, FMinValue, FMaxValue);
    // The thresholds the same way: inside the scale, the high one not below the low one (as
    // the setters keep them), and the limit lamps showing where the loaded value stands.
    FLowThreshold = ClampTo(FLowThreshold, FMinValue, FMaxValue);
    FHighThreshold = ClampTo(FHighThreshold, FMinValue, FMaxValue);
    if (FHighThreshold < FLowThreshold) FHighThreshold = FLowThreshold;
    FOFL = false;
    FUFL = false;
    if (FNeedleLayout->Visible()) {
        if (FValue >= FHighThreshold)
            FOFL = true;
        else if (FValue <= FLowThreshold)
            FUFL = true;
    }
    CalcMeterLayoutParams();
    if (!FBakGndFName.empty()) {
        try {
            AuxBGBmp->LoadFromFile(FBakGndFName);
            ++FPictureGen;
        } catch (const Exception&) {
            FBakGndFName.clear();
        }
    }
    if (!FACoverFName.empty()) {
        if (LoadAnchor(FACoverFName))
            BuildAnchorMask();
        else
            FACoverFName.clear();
    }
    Changed();
}

void TMeter::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    CalcMeterLayoutParams();
}

void TMeter::CalcMeterLayoutParams() {
    TMeterGeometry g = CalcMeterGeometry(FMeterLayout, Width(), Height(), FTRim, FBRim, FSRim);
    FMeterAngle = g.Angle;
    FMeterRadius = g.Radius;
    FMeterCenterX = g.CenterX;
    FMeterCenterY = g.CenterY;
    // A dial without room draws nothing, so the parent's background must show through.
    if (FMeterRadius > 0)
        IncludeStyle(csOpaque);
    else
        ExcludeStyle(csOpaque);
}

// Deferred and merged: any number of changes before the loop runs costs one paint.
void TMeter::Changed() { Invalidate(); }

void TMeter::StyleChanged(TObject* Sender) {
    (void)Sender;
    Changed();
}

// ---- TMeter: values, limits, thresholds -------------------------------------------------------

namespace {

void RequireNumber(const TMeter& M, const char* Prop, double V, bool AllowInfinite) {
    if (std::isnan(V) || (!AllowInfinite && std::isinf(V)))
        throw EKELError("Component \"" + M.Name() + "\": " + Prop + " must be a finite number");
}

} // namespace

void TMeter::SetValue(double AValue) {
    RequireNumber(*this, "Value", AValue, true);
    if (Loading()) {
        FValue = AValue;
        return;
    }
    if (AValue == FValue) return;
    FValue = ClampTo(AValue, FMinValue, FMaxValue);
    FOFL = false;
    FUFL = false;
    auto alive = Handle();
    if (FNeedleLayout->Visible()) {
        SignalRange(FValue);
        if (*alive == nullptr) return;
    }
    Changed();
}

// Sets the limit flag that V calls for and fires the matching range event.
void TMeter::SignalRange(double V) {
    if (V >= FHighThreshold) {
        FOFL = true;
        DoOverFlowEvent();
    } else if (V <= FLowThreshold) {
        FUFL = true;
        DoUnderFlowEvent();
    } else {
        DoNormalRangeEvent();
    }
}

void TMeter::SetValueSec(double AValue) {
    RequireNumber(*this, "ValueSec", AValue, true);
    if (Loading()) {
        FValue2 = AValue;
        return;
    }
    if (AValue == FValue2) return;
    FValue2 = ClampTo(AValue, FMinValue, FMaxValue);
    FOFL = false;
    FUFL = false;
    if (!FNeedle2Layout->Visible()) return;
    auto alive = Handle();
    SignalRange(FValue2);
    if (*alive == nullptr) return;
    Changed();
}

void TMeter::SetMeterMinValue(double AValue) {
    RequireNumber(*this, "MeterMinValue", AValue, false);
    if (FLogarithmic && AValue < kLogFloor) return;
    if (Loading()) {
        FMinValue = AValue;
        return;
    }
    if (AValue == FMinValue) return;
    FMinValue = AValue;
    if (FMinValue >= FMaxValue) FMaxValue = FMinValue + 1;
    if (FValue < FMinValue) FValue = FMinValue;
    if (FValue2 < FMinValue) FValue2 = FMinValue;
    if (FLowThreshold < FMinValue) FLowThreshold = FMinValue;
    if (FHighThreshold < FMinValue) FHighThreshold = FMinValue;
    Changed();
}

void TMeter::SetMeterMaxValue(double AValue) {
    RequireNumber(*this, "MeterMaxValue", AValue, false);
    if (FLogarithmic && AValue < kLogFloor) return;
    if (Loading()) {
        FMaxValue = AValue;
        return;
    }
    if (AValue == FMaxValue) return;
    FMaxValue = AValue;
    if (FMaxValue <= FMinValue) {
        FMinValue = FMaxValue - 1;
        if (FLogarithmic && FMinValue <= 0) FMinValue = FMaxValue / 10;
    }
    if (FValue > FMaxValue) FValue = FMaxValue;
    if (FValue2 > FMaxValue) FValue2 = FMaxValue;
    if (FLowThreshold > FMaxValue) FLowThreshold = FMaxValue;
    if (FHighThreshold > FMaxValue) FHighThreshold = FMaxValue;
    Changed();
}

void TMeter::SetThresholdLow(double AValue) {
    RequireNumber(*this, "ThresholdLow", AValue, false);
    if (FLogarithmic && AValue < kLogFloor) return;
    if (Loading()) {
        FLowThreshold = AValue;
        return;
    }
    if (AValue == FLowThreshold) return;
    FLowThreshold = ClampTo(AValue, FMinValue, FMaxValue);
    if (FHighThreshold < FLowThreshold) FHighThreshold = FLowThreshold;
    FUFL = false;
    auto alive = Handle();
    if (FLowThreshold >= FValue) {
        FUFL = true;
        DoUnderFlowEvent();
        if (*alive == nullptr) return;
    }
    Changed();
}

void TMeter::SetThresholdHigh(double AValue) {
    RequireNumber(*this, "ThresholdHigh", AValue, false);
    if (FLogarithmic && AValue < kLogFloor) return;
    if (Loading()) {
        FHighThreshold = AValue;
        return;
    }
    if (AValue == FHighThreshold) return;
    FHighThreshold = ClampTo(AValue, FMinValue, FMaxValue);
    if (FLowThreshold > FHighThreshold) FLowThreshold = FHighThreshold;
    FOFL = false;
    auto alive = Handle();
    if (FHighThreshold <= FValue) {
        FOFL = true;
        DoOverFlowEvent();
        if (*alive == nullptr) return;
    }
    Changed();
}

void TMeter::SetLogarithmic(bool AValue) {
    if (Loading()) {
        FLogarithmic = AValue;
        return;
    }
    if (AValue == FLogarithmic) return;
    if (SetField(FLogarithmic, AValue && FMinValue > kLogFloor && FMaxValue > kLogFloor)) Changed();
}

// ---- TMeter: appearance setters ---------------------------------------------------------------

void TMeter::SetMeterLayout(TMeterLayout AValue) {
    if (!SetField(FMeterLayout, AValue)) return;
    CalcMeterLayoutParams();
    Changed();
}

void TMeter::SetMeterDecPlaces(int AValue) {
    if (AValue == FDecPlaces) return; // compared before the clamp
    if (SetField(FDecPlaces, std::clamp(AValue, 0, 4))) Changed();
}

void TMeter::SetMeterNrTicks(int AValue) {
    if (AValue == FNrTicks) return; // compared before the clamp
    if (SetField(FNrTicks, std::clamp(AValue, 2, 21))) Changed();
}

void TMeter::SetMeterShortTicks(bool AValue) {
    if (SetField(FShortTicks, AValue)) Changed();
}

void TMeter::SetMeterScaleLine(bool AValue) {
    if (SetField(FScaleLine, AValue)) Changed();
}

void TMeter::SetColorScale(TColor AValue) {
    if (SetField(FColorScale, AValue)) Changed();
}

void TMeter::SetColorSclBkLow(TColor AValue) {
    if (SetField(FColorBakGLow, AValue)) Changed();
}

void TMeter::SetColorSclBkNorm(TColor AValue) {
    if (SetField(FColorBakGNorm, AValue)) Changed();
}

void TMeter::SetColorSclBkHigh(TColor AValue) {
    if (SetField(FColorBakGHigh, AValue)) Changed();
}

void TMeter::SetColorBakG(TColor AValue) {
    if (SetField(FColorBakG, AValue)) Changed();
}

void TMeter::SetColorCover(TColor AValue) {
    if (SetField(FColorCover, AValue)) Changed();
}

void TMeter::SetRimTop(int AValue) {
    if (!SetField(FTRim, AValue)) return;
    CalcMeterLayoutParams(); // the rims bound the dial
    Changed();
}

void TMeter::SetRimBottom(int AValue) {
    if (!SetField(FBRim, AValue)) return;
    CalcMeterLayoutParams(); // the rims bound the dial
    Changed();
}

void TMeter::SetRimSide(int AValue) {
    if (!SetField(FSRim, AValue)) return;
    CalcMeterLayoutParams(); // the rims bound the dial
    Changed();
}

void TMeter::SetFrameStyle(TFrameStyle AValue) {
    if (SetField(FFrameStyle, AValue)) Changed();
}

void TMeter::SetAnchorSize(int AValue) {
    if (SetField(FSizeAnchor, AValue)) Changed();
}

void TMeter::SetAnchorCovered(bool AValue) {
    if (SetField(FAnchorCovrd, AValue)) Changed();
}

void TMeter::SetLimWatchHighOn(bool AValue) {
    if (SetField(FLimWatHighOn, AValue)) Changed();
}

void TMeter::SetLimWatchLowOn(bool AValue) {
    if (SetField(FLimWatLowOn, AValue)) Changed();
}

void TMeter::SetLimWatchActColor(TColor AValue) {
    if (SetField(FLimWatActCol, AValue)) Changed();
}

void TMeter::SetLimWatchPsvColor(TColor AValue) {
    if (SetField(FLimWatPsvCol, AValue)) Changed();
}

void TMeter::SetScaleVisible(bool AValue) {
    if (SetField(FScaleVis, AValue)) Changed();
}

void TMeter::SetScaleBkVisible(bool AValue) {
    if (SetField(FScaleBkVis, AValue)) Changed();
}

void TMeter::SetScaleBkWidth(double AValue) {
    if (std::isnan(AValue)) AValue = 0;
    if (SetField(FScaleBakWidth, ClampTo(AValue, 0, 100))) Changed();
}

void TMeter::SetBkgndFillMode(TBkgFill AValue) {
    if (SetField(FBGFillMode, AValue)) Changed();
}

void TMeter::SetCaption(const std::string& AValue) {
    if (SetField(FCaption, AValue)) Changed();
}

void TMeter::SetFontCaption(const TFont& AValue) {
    FFontCaption->Assign(&AValue); // its OnChange repaints
}

void TMeter::SetColorScheme(TColorScheme AValue) {
    if (!SetField(FColorScheme, AValue)) return;
    SchemeLineColors(FColorScheme, FColGrayLine, FColWhiteLine);
    Changed();
}

void TMeter::SetNeedleLayout(const TNeedleLayout& AValue) {
    FNeedleLayout->CopyValues(AValue);
    Changed();
}

void TMeter::SetNeedleLayoutSec(const TNeedleLayout& AValue) {
    FNeedle2Layout->CopyValues(AValue);
    Changed();
}

// ---- TMeter: pictures -------------------------------------------------------------------------

void TMeter::SetBackGroundImg(const std::string& AValue) {
    if (Loading()) { // Loaded reads the file
        FBakGndFName = AValue;
        return;
    }
    if (FileExists(AValue)) {
        AuxBGBmp->LoadFromFile(AValue); // an unreadable file raises and changes nothing
        ++FPictureGen;
        FBakGndFName = AValue;
    } else {
        FBakGndFName.clear();
    }
    Changed();
}

void TMeter::SetAnchorImage(const std::string& AValue) {
    if (Loading()) { // Loaded reads the file
        FACoverFName = AValue;
        return;
    }
    if (FileExists(AValue) && LoadAnchor(AValue)) {
        FACoverFName = AValue;
        BuildAnchorMask();
    } else {
        FACoverFName.clear();
    }
    Changed();
}

bool TMeter::LoadAnchor(const std::string& FileName) {
    if (!FileExists(FileName)) return false;
    try {
        AuxACBmp->LoadFromFile(FileName);
        AuxACMaskBmp->LoadFromFile(FileName);
    } catch (const Exception&) {
        return false;
    }
    return true;
}

void TMeter::BuildAnchorMask() {
    // Black (0) becomes white and everything else black: AND-ed in first, the mask punches a
    // hole where the picture is not black and keeps the dial where it is.
    TBitmap& m = *AuxACMaskBmp;
    for (int y = 0; y < m.Height(); ++y) {
        std::uint32_t* row = m.ScanLine(y);
        for (int x = 0; x < m.Width(); ++x) row[x] = (row[x] & 0xFFFFFF) == 0 ? 0xFFFFFF : 0;
    }
}

// ---- TMeter: conversions and events -----------------------------------------------------------

double TMeter::CalcNeedleAngle(double AValue) const {
    return MeterNeedleAngle(AValue, FMinValue, FMaxValue, LogScale(), FMeterAngle);
}

void TMeter::ConvertToPixelCoords(double AValue, double PercentRadius, int& X, int& Y) const {
    const double theta = (-90.0 - CalcNeedleAngle(AValue)) * std::numbers::pi / 180.0;
    const double r = PercentRadius * 0.01 * FMeterRadius;
    X = static_cast<int>(Round(std::cos(theta) * r + FMeterCenterX));
    Y = static_cast<int>(Round(FMeterCenterY - std::sin(theta) * r));
}

bool TMeter::ConvertPixelToValue(int XPos, int YPos, double& MeterValue) const {
    return MeterPixelToValue(XPos, YPos, FMeterCenterX, FMeterCenterY, FMeterAngle, FMinValue,
                             FMaxValue, LogScale(), MeterValue);
}

void TMeter::WndProc(TMessage& Message) {
    if (Message.Msg != WM_MOUSEMOVE) {
        TGraphicControl::WndProc(Message);
        return;
    }
    auto alive = Handle();
    TGraphicControl::WndProc(Message); // OnMouseMove first
    if (*alive == nullptr) return;
    WMMouseMoveInMeter(Message);
}

void TMeter::WMMouseMoveInMeter(TMessage& Message) {
    double v = 0;
    bool within = ConvertPixelToValue(GetXLParam(Message.LParam), GetYLParam(Message.LParam), v);
    MouseMoveInMeter(within, KeysToShiftState(std::uint32_t(Message.WParam)), v);
}

void TMeter::MouseMoveInMeter(bool WithinRange, TShiftState Shift, double MeterValue) {
    if (TMouseMoveInMeterEvent h = FOnMouseMoveInMeter) h(this, WithinRange, Shift, MeterValue);
}

namespace {

// Calls a copy of Handler: the handler may delete the meter, and the handler with it.
void Fire(const TNotifyEvent& Handler, TObject* Sender) {
    if (TNotifyEvent h = Handler) h(Sender);
}

} // namespace

void TMeter::DoOverFlowEvent() { Fire(FOnOverFlow, this); }
void TMeter::DoUnderFlowEvent() { Fire(FOnUnderFlow, this); }
void TMeter::DoNormalRangeEvent() { Fire(FOnNormalRange, this); }

// ---- Published properties ---------------------------------------------------------------------

namespace {

const TClassRegistrar<TNeedleLayout> needleReg("TNeedleLayout", "TPersistent", [](auto& p) {
    using N = TNeedleLayout;
    p.Int("HeadSize", &N::HeadSize, &N::SetHeadSize, 20);
    p.Int("HeadAngle", &N::HeadAngle, &N::SetHeadAngle, 30);
    p.Int("HeadMidLeng", &N::HeadMidLeng, &N::SetHeadMidLeng, 20);
    p.Int("Thickness", &N::Thickness, &N::SetThickness, 0);
    p.Color("ColorBody", &N::ColorBody, &N::SetColorBody, clSilver);
    p.Color("ColorOutline", &N::ColorOutline, &N::SetColorOutline, clBlack);
    p.Int("PercentNeedleLength", &N::PercentNeedleLength, &N::SetPercentNeedleLength, 100);
    p.Int("ShadowDx", &N::ShadowDx, &N::SetShadowDx, 0);
    p.Int("ShadowDy", &N::ShadowDy, &N::SetShadowDy, 0);
    p.Color("ShadowColor", &N::ShadowColor, &N::SetShadowColor, clGray);
    p.Bool("Visible", &N::Visible, &N::SetVisible, true);
});

const TClassRegistrar<TMeter> meterReg("TMeter", "TGraphicControl", [](auto& p) {
    using M = TMeter;
    p.Int("AnchorSize", &M::AnchorSize, &M::SetAnchorSize, 24);
    p.Bool("AnchorCovered", &M::AnchorCovered, &M::SetAnchorCovered, true);
    p.String("AnchorImage", &M::AnchorImage, &M::SetAnchorImage, "");
    p.String("BackGroundImg", &M::BackGroundImg, &M::SetBackGroundImg, "");
    p.Enum("BkgndFillMode", &M::BkgndFillMode, &M::SetBkgndFillMode, bfSimple,
           {"bfSimple", "bfStretch", "bfTile", "bfCenter"});
    p.String("Caption", &M::Caption, &M::SetCaption, "");
    p.Color("ColorBakG", &M::ColorBakG, &M::SetColorBakG, clWhite);
    p.Color("ColorCover", &M::ColorCover, &M::SetColorCover, clBtnFace);
    p.Color("ColorScale", &M::ColorScale, &M::SetColorScale, clNavy);
    p.Enum("ColorScheme", &M::ColorScheme, &M::SetColorScheme, cschClassic,
           {"cschClassic", "cschSystem"});
    p.Color("ColorSclBkLow", &M::ColorSclBkLow, &M::SetColorSclBkLow, clLime);
    p.Color("ColorSclBkNorm", &M::ColorSclBkNorm, &M::SetColorSclBkNorm, 0x0080FF);
    p.Color("ColorSclBkHigh", &M::ColorSclBkHigh, &M::SetColorSclBkHigh, clRed);
    p.Object("FontCaption", [](M& m) -> TPersistent* { return &m.FontCaption(); });
    p.Enum("FrameStyle", &M::FrameStyle, &M::SetFrameStyle, fstRaised,
           {"fstNone", "fstLoweredThin", "fstLowered", "fstRaised", "fstEmbossed", "fstSimple"});
    p.Bool("LimWatchHighOn", &M::LimWatchHighOn, &M::SetLimWatchHighOn, true);
    p.Bool("LimWatchLowOn", &M::LimWatchLowOn, &M::SetLimWatchLowOn, true);
    p.Color("LimWatchActColor", &M::LimWatchActColor, &M::SetLimWatchActColor, clRed);
    p.Color("LimWatchPsvColor", &M::LimWatchPsvColor, &M::SetLimWatchPsvColor, clGray);
    // The limits come before the values and thresholds that are checked against them, and
    // Logarithmic before the limits it constrains.
    p.Bool("Logarithmic", &M::Logarithmic, &M::SetLogarithmic, false);
    p.Float("MeterMinValue", &M::MeterMinValue, &M::SetMeterMinValue, 0.0);
    p.Float("MeterMaxValue", &M::MeterMaxValue, &M::SetMeterMaxValue, 1.0);
    p.Float("ThresholdLow", &M::ThresholdLow, &M::SetThresholdLow, 0.0);
    p.Float("ThresholdHigh", &M::ThresholdHigh, &M::SetThresholdHigh, 1.0);
    p.Int("MeterDecPlaces", &M::MeterDecPlaces, &M::SetMeterDecPlaces, 1);
    p.Int("MeterNrTicks", &M::MeterNrTicks, &M::SetMeterNrTicks, 3);
    p.Enum("MeterLayout", &M::MeterLayout, &M::SetMeterLayout, mlCirc90,
           {"mlCirc90", "mlCirc120", "mlCirc180", "mlCirc270", "mlCirc300", "mlCirc360"});
    p.Bool("MeterShortTicks", &M::MeterShortTicks, &M::SetMeterShortTicks, true);
    p.Bool("MeterScaleLine", &M::MeterScaleLine, &M::SetMeterScaleLine, true);
    p.Object("NeedleLayout", [](M& m) -> TPersistent* { return &m.NeedleLayout(); });
    p.Object("NeedleLayoutSec", [](M& m) -> TPersistent* { return &m.NeedleLayoutSec(); });
    p.Int("RimBottom", &M::RimBottom, &M::SetRimBottom, 10);
    p.Int("RimTop", &M::RimTop, &M::SetRimTop, 8);
    p.Int("RimSide", &M::RimSide, &M::SetRimSide, 10);
    p.Float("ScaleBkWidth", &M::ScaleBkWidth, &M::SetScaleBkWidth, 0.0);
    p.Bool("ScaleBkVisible", &M::ScaleBkVisible, &M::SetScaleBkVisible, false);
    p.Bool("ScaleVisible", &M::ScaleVisible, &M::SetScaleVisible, true);
    p.Float("Value", &M::Value, &M::SetValue, 0.0);
    p.Float("ValueSec", &M::ValueSec, &M::SetValueSec, 0.0);
});

} // namespace

} // namespace kel
