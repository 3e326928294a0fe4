// TNumLab: value texts of every display type, the setters, Assign and the published property
// list. Painting lives in numlab_paint.cpp.
#include "KEL_NumLab.h"

#include "kel_setter.h"

#include "kel_dateutils.h"
#include "kel_props.h"
#include "kel_sysutils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace kel {

namespace {

const char* const DegreeSign = "\xC2\xB0";     // °
const char* const PrimeSign = "\xE2\x80\xB2";  // ′
const char* const DPrimeSign = "\xE2\x80\xB3"; // ″

// Text of a value that is not a number or infinite, as the runtime's Format writes it.
std::string NonFiniteText(double V) {
    if (std::isnan(V)) return "NAN";
    return V < 0 ? "-INF" : "INF";
}

// V rounded to the nearest integer (ties to even), saturated at the 64-bit range.
std::int64_t RoundSaturated(double V) {
    constexpr double lim = 9223372036854775807.0; // 2^63
    if (V >= lim) return std::numeric_limits<std::int64_t>::max();
    if (V <= -lim) return std::numeric_limits<std::int64_t>::min();
    return Round(V);
}

// Digits of Pattern in base 2^Bits (upper case), at least MinDigits of them.
std::string PatternDigits(std::uint32_t Pattern, unsigned Bits, int MinDigits) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    const std::uint32_t mask = (1u << Bits) - 1u;
    do {
        s.insert(s.begin(), digits[Pattern & mask]);
        Pattern >>= Bits;
    } while (Pattern != 0);
    if (int(s.size()) < MinDigits) s.insert(0, std::size_t(MinDigits - int(s.size())), '0');
    return s;
}

// Fixed text of X (>= 0) with P fraction digits and at least two integer digits.
std::string TwoDigitFixed(double X, int P) {
    std::string s = Format("%.*f", {P, X});
    std::size_t point = s.find_first_not_of("0123456789");
    if (point == std::string::npos) point = s.size();
    if (point < 2) s.insert(0, 2 - point, '0');
    return s;
}

// The number a fixed text written by Format stands for (its separator may be a comma).
double FixedValue(std::string s) {
    for (char& c : s)
        if (c == ',') c = '.';
    return std::strtod(s.c_str(), nullptr);
}

// Degrees, minutes and seconds with P decimals on the last part; a part that rounds up to 60
// carries into the next larger one.
std::string DegreeText(TDisplay Type, int P, double V) {
    double a = std::fabs(V);
    double deg = std::floor(a);
    std::string text;
    if (Type == dtDegMin) {
        std::string min = TwoDigitFixed((a - deg) * 60.0, P);
        if (FixedValue(min) >= 60.0) {
            deg += 1;
            min = TwoDigitFixed(0.0, P);
        }
        text = Format("%.0f", {deg}) + DegreeSign + min + PrimeSign;
    } else {
        double totalMin = (a - deg) * 60.0;
        double min = std::floor(totalMin);
        std::string sec = TwoDigitFixed((totalMin - min) * 60.0, P);
        if (FixedValue(sec) >= 60.0) {
            min += 1;
            sec = TwoDigitFixed(0.0, P);
        }
        if (min >= 60) {
            min = 0;
            deg += 1;
        }
        text = Format("%.0f", {deg}) + DegreeSign + TwoDigitFixed(min, 0) + PrimeSign + sec +
               DPrimeSign;
    }
    // One "-" for a negative angle, none when every shown digit is zero.
    if (V < 0 && text.find_first_of("123456789") != std::string::npos)
        return std::string(1, '-').append(text);
    return text;
}

// Engineering notation: a mantissa in [1, 1000) and an exponent that is a multiple of 3.
std::string EngineeringText(int P, double V, bool WholeMantissa) {
    if (V == 0) {
        std::string m = WholeMantissa ? "0" : Format("%.*f", {std::max(P, 1) - 1, 0.0});
        return m + "E+00";
    }
    // Scientific digits rounded by the runtime's rules: "-d.dddE+xxx".
    int digits = WholeMantissa ? 17 : std::max(P, 1);
    std::string sci = Format("%.*e", {digits, V});
    std::size_t e = sci.find('E');
    int x = std::atoi(sci.c_str() + e + 1);
    int e3 = (x >= 0 ? x / 3 : -((-x + 2) / 3)) * 3;
    const bool neg = sci[0] == '-';
    std::string mant;
    if (WholeMantissa) {
        // Long double keeps 10^e3 representable for the smallest and largest doubles.
        auto mantissa = [&](int e) {
            return double(static_cast<long double>(std::fabs(V)) * std::pow(10.0L, -e));
        };
        mant = Format("%.0f", {mantissa(e3)});
        if (mant.size() > 3) { // rounded up to 1000
            e3 += 3;
            mant = Format("%.0f", {mantissa(e3)});
        }
    } else {
        std::string d; // the significant digits without the point
        for (std::size_t i = neg ? 1 : 0; i < e; ++i)
            if (sci[i] >= '0' && sci[i] <= '9') d += sci[i];
        const std::size_t intDigits = std::size_t(x - e3) + 1; // 1..3
        if (d.size() < intDigits) d.append(intDigits - d.size(), '0');
        mant = d.substr(0, intDigits);
        if (d.size() > intDigits) mant += FormatSettings.DecimalSeparator + d.substr(intDigits);
    }
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", e3 < 0 ? '-' : '+', e3 < 0 ? -e3 : e3);
    return (neg ? "-" : "") + mant + exp;
}

std::string StateEntry(const std::string& StateText, double V) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = StateText.find('|', start);
        names.push_back(StateText.substr(start, bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    if (!std::isfinite(V)) return StateText;
    const double r = std::nearbyint(V);
    if (r < 0 || r >= double(names.size())) return StateText;
    return names[std::size_t(r)];
}

} // namespace

std::string NumLabValueText(TDisplay DisplayType, int Precision, double Value, bool Comma,
                            bool ForcePlusSign, const std::string& DTFormat,
                            const std::string& StateText) {
    const int P = Precision;
    const double V = Value;
    std::string text;
    switch (DisplayType) {
    case dtFloat:
        text = Format("%*.*g", {1, P, V});
        break;
    case dtFixP:
        text = Format("%*.*f", {1, P, V});
        break;
    case dtExp:
        text = Format("%*.*e", {1, P, V});
        break;
    case dtInt:
    case dtZeroInt:
        if (!std::isfinite(V))
            text = NonFiniteText(V);
        else
            text = Format("%*.*d", {1, DisplayType == dtInt ? 0 : P,
                                    static_cast<long long>(RoundSaturated(V))});
        break;
    case dtHex:
    case dtOct:
    case dtBin:
        if (!std::isfinite(V))
            text = NonFiniteText(V);
        else
            text = PatternDigits(static_cast<std::uint32_t>(RoundSaturated(V)),
                                 DisplayType == dtHex   ? 4
                                 : DisplayType == dtOct ? 3
                                                        : 1,
                                 P);
        break;
    case dtDateTime:
        text = FormatDateTime(DTFormat, V);
        break;
    case dtState:
        text = StateEntry(StateText, V);
        break;
    case dtDeg:
        text = std::isfinite(V) ? Format("%.*f", {P, V}) + DegreeSign : NonFiniteText(V);
        break;
    case dtDegMin:
    case dtDegMinSec:
        text = std::isfinite(V) ? DegreeText(DisplayType, P, V) : NonFiniteText(V);
        break;
    case dtEEng:
    case dtEEngNoDP:
        text =
            std::isfinite(V) ? EngineeringText(P, V, DisplayType == dtEEngNoDP) : NonFiniteText(V);
        break;
    }
    if (DisplayType != dtHex && DisplayType != dtDateTime && DisplayType != dtState &&
        DisplayType != dtBin) {
        const char from = Comma ? '.' : ',', to = Comma ? ',' : '.';
        for (char& c : text)
            if (c == from) c = to;
        if (ForcePlusSign && V > 0) text = std::string(1, '+').append(text);
    }
    return text;
}

// ---- TNumLab ----------------------------------------------------------------------------------

TNumLab::TNumLab(TComponent* AOwner) : TGraphicControl(AOwner) { InitBounds(0, 0, 160, 28); }

// Deferred and merged: any number of changes before the loop runs costs one paint (which, for
// a transparent label, first draws again what lies beneath).
void TNumLab::Changed() { Invalidate(); }

void TNumLab::TextChanged() {
    Changed();
    FBoxTextStale = true;
    // Hidden or empty: the paint that shows the text asks OnBeforeDisplay.
    if (FEmpty || (!Visible() && !ComponentState().contains(csDesigning))) return;
    FBoxText = BoxValueText();
    FBoxTextStale = false;
}

void TNumLab::SetOnBeforeDisplay(TBeforeDisplayEvent Handler) {
    FOnBeforeDisplay = std::move(Handler);
    FBoxTextStale = true; // the next paint asks the new handler
    Changed();
}

void TNumLab::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TNumLab*>(Dest))
        d->Assign(this);
    else
        TGraphicControl::AssignTo(Dest);
}

void TNumLab::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TNumLab*>(Source);
    if (s == nullptr) {
        TGraphicControl::Assign(Source);
        return;
    }
    if (s == this) return;
    FLeftSpace = s->FLeftSpace;
    FEmpty = s->FEmpty;
    FLabWidth = s->FLabWidth;
    FDecP = s->FDecP;
    FLeftText = s->FLeftText;
    FRightText = s->FRightText;
    FFrameStyle = s->FFrameStyle;
    FAlignment = s->FAlignment;
    FRTAlignment = s->FRTAlignment;
    FLTAlignment = s->FLTAlignment;
    FOverFlowIndi = s->FOverFlowIndi;
    FLabValue = s->FLabValue;
    FStateText = s->FStateText;
    FTransParent = s->FTransParent;
    FColorLabBakG = s->FColorLabBakG;
    FColorLabText = s->FColorLabText;
    FColorOutBakG = s->FColorOutBakG;
    FColorOutText = s->FColorOutText;
    FColGrayLine = s->FColGrayLine;
    FColWhiteLine = s->FColWhiteLine;
    FColorScheme = s->FColorScheme;
    FDisplayType = s->FDisplayType;
    TextChanged();
}

// ---- Setters ----------------------------------------------------------------------------------

void TNumLab::SetAlignment(TAlignment Value) {
    if (SetField(FAlignment, Value)) Changed();
}

void TNumLab::SetColorLabBakG(TColor Value) {
    if (SetField(FColorLabBakG, Value)) Changed();
}

void TNumLab::SetColorLabText(TColor Value) {
    if (SetField(FColorLabText, Value)) Changed();
}

void TNumLab::SetColorOutBakG(TColor Value) {
    if (SetField(FColorOutBakG, Value)) Changed();
}

void TNumLab::SetColorOutText(TColor Value) {
    if (SetField(FColorOutText, Value)) Changed();
}

void TNumLab::SetComma(bool Value) {
    if (SetField(FComma, Value)) TextChanged();
}

void TNumLab::SetDisplayType(TDisplay Value) {
    if (SetField(FDisplayType, Value)) TextChanged();
}

void TNumLab::SetDTFormat(const std::string& Value) {
    if (SetField(FDtFormat, Value)) TextChanged();
}

void TNumLab::SetEmpty(bool Value) {
    if (SetField(FEmpty, Value)) TextChanged();
}

void TNumLab::SetForcePlusSign(bool Value) {
    if (SetField(FPlusSign, Value)) TextChanged();
}

void TNumLab::SetFrameStyle(TFrameStyle Value) {
    if (SetField(FFrameStyle, Value)) Changed();
}

void TNumLab::SetLabelWidth(int Value) {
    if (SetField(FLabWidth, Value)) Changed();
}

void TNumLab::SetLeftText(const std::string& Value) {
    if (SetField(FLeftText, Value)) Changed();
}

void TNumLab::SetLeftTextAlignment(TAlignment Value) {
    if (SetField(FLTAlignment, Value)) Changed();
}

void TNumLab::SetOverflowIndicator(const std::string& Value) {
    if (SetField(FOverFlowIndi, Value)) TextChanged();
}

void TNumLab::SetRightText(const std::string& Value) {
    if (SetField(FRightText, Value)) Changed();
}

void TNumLab::SetRightTextAlignment(TAlignment Value) {
    if (SetField(FRTAlignment, Value)) Changed();
}

void TNumLab::SetStateText(const std::string& Value) {
    if (SetField(FStateText, Value)) TextChanged();
}

void TNumLab::SetValue(double Value) {
    // NaN never equals itself: a second NaN counts as unchanged.
    if (FLabValue == Value || (std::isnan(FLabValue) && std::isnan(Value))) return;
    FLabValue = Value;
    TextChanged();
}

void TNumLab::SetColorScheme(TColorScheme Value) {
    if (!SetField(FColorScheme, Value)) return;
    SchemeLineColors(Value, FColGrayLine, FColWhiteLine);
    Changed();
}

void TNumLab::SetEnabled(bool Value) {
    FEnabled = Value;
    TGraphicControl::SetEnabled(Value);
    Changed();
}

void TNumLab::SetLeftSpace(int Value) {
    if (Value == FLeftSpace || Value < 0) return;
    if (SetField(FLeftSpace, std::min(Value, Width()))) Changed();
}

void TNumLab::SetPrecision(int Value) {
    if (Value == FDecP || Value < 0) return;
    if (SetField(FDecP, std::min(Value, 15))) TextChanged();
}

void TNumLab::SetTransparent(bool Value) {
    if (SetField(FTransParent, Value)) Changed();
}

void TNumLab::MouseMove(TShiftState Shift, int X, int Y) {
    if (X <= FLeftSpace)
        FMouseAreaCode = 0;
    else if (X <= FLeftSpace + FLabWidth)
        FMouseAreaCode = 1;
    else
        FMouseAreaCode = 2;
    TGraphicControl::MouseMove(Shift, X, Y);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
const std::initializer_list<const char*> AlignmentNames = {"taLeftJustify", "taRightJustify",
                                                           "taCenter"};
}

static const TClassRegistrar<TNumLab> NumLabRegistrar("TNumLab", "TGraphicControl", [](auto& p) {
    p.Enum("Alignment", &TNumLab::Alignment, &TNumLab::SetAlignment, taCenter, AlignmentNames);
    p.Color("ColorLabBakG", &TNumLab::ColorLabBakG, &TNumLab::SetColorLabBakG, clBtnFace);
    p.Color("ColorLabText", &TNumLab::ColorLabText, &TNumLab::SetColorLabText, clBlack);
    p.Color("ColorOutBakG", &TNumLab::ColorOutBakG, &TNumLab::SetColorOutBakG, clBtnFace);
    p.Color("ColorOutText", &TNumLab::ColorOutText, &TNumLab::SetColorOutText, clBlack);
    p.Enum("ColorScheme", &TNumLab::ColorScheme, &TNumLab::SetColorScheme, cschClassic,
           {"cschClassic", "cschSystem"});
    p.Bool("Comma", &TNumLab::Comma, &TNumLab::SetComma, false);
    p.Enum("DisplayType", &TNumLab::DisplayType, &TNumLab::SetDisplayType, dtFixP,
           {"dtFloat", "dtFixP", "dtExp", "dtHex", "dtZeroInt", "dtInt", "dtDateTime", "dtState",
            "dtBin", "dtOct", "dtDeg", "dtDegMin", "dtDegMinSec", "dtEEng", "dtEEngNoDP"});
    p.String("DTFormat", &TNumLab::DTFormat, &TNumLab::SetDTFormat, "mmm-dd, yyyy");
    p.Bool("Empty", &TNumLab::Empty, &TNumLab::SetEmpty, false);
    p.Bool("Enabled", &TNumLab::Enabled, &TNumLab::SetEnabled, true);
    p.Bool("ForcePlusSign", &TNumLab::ForcePlusSign, &TNumLab::SetForcePlusSign, false);
    p.Enum("FrameStyle", &TNumLab::FrameStyle, &TNumLab::SetFrameStyle, fstLowered,
           {"fstNone", "fstLoweredThin", "fstLowered", "fstRaised", "fstEmbossed", "fstSimple"});
    p.Int("LabelWidth", &TNumLab::LabelWidth, &TNumLab::SetLabelWidth, 80);
    p.Int("LeftSpace", &TNumLab::LeftSpace, &TNumLab::SetLeftSpace, 35);
    p.String("LeftText", &TNumLab::LeftText, &TNumLab::SetLeftText, "");
    p.Enum("LeftTextAlignment", &TNumLab::LeftTextAlignment, &TNumLab::SetLeftTextAlignment,
           taRightJustify, AlignmentNames);
    p.String("OverflowIndicator", &TNumLab::OverflowIndicator, &TNumLab::SetOverflowIndicator,
             "*********");
    p.Int("Precision", &TNumLab::Precision, &TNumLab::SetPrecision, 2);
    p.String("RightText", &TNumLab::RightText, &TNumLab::SetRightText, "");
    p.Enum("RightTextAlignment", &TNumLab::RightTextAlignment, &TNumLab::SetRightTextAlignment,
           taLeftJustify, AlignmentNames);
    p.String("StateText", &TNumLab::StateText, &TNumLab::SetStateText, "undefined");
    p.Bool("Transparent", &TNumLab::Transparent, &TNumLab::SetTransparent, false);
    p.Float("Value", &TNumLab::Value, &TNumLab::SetValue, 0.0);
});

} // namespace kel
