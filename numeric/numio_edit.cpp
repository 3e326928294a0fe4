// TNumIO: construction, the setters, conversion of the text by input format, the check after
// every change of the text, Value, Assign, and the published properties.
#include "KEL_NumIO.h"

#include "Kel_univconst.h"
#include "kel_app.h"
#include "kel_props.h"
#include "kel_setter.h"
#include "kel_sysutils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace kel {

namespace {

// Does a digit text (no prefix, no blanks) fit 32 bits? BitsPerDigit 4, 3 or 1.
bool FitsInt32Pattern(const std::string& Digits, int BitsPerDigit) {
    std::size_t i = Digits.find_first_not_of('0');
    if (i == std::string::npos) return true;
    std::size_t n = Digits.size() - i;
    int bits = int(n) * BitsPerDigit;
    if (BitsPerDigit == 3 && n == 11) return Digits[i] <= '3'; // 11 octal digits: 2 + 30 bits
    return bits <= 32;
}

// The value rounded by the runtime's Round (halves to the even neighbour, as TNumIO2 and every
// other rounding of the library) as a 32-bit pattern, wrapping as the digit formatters do.
std::uint32_t RoundedPattern(double x) {
    if (std::isnan(x)) return 0;
    constexpr double lim = 9.2e18;
    return std::uint32_t(static_cast<std::uint64_t>(Round(std::clamp(x, -lim, lim))));
}

} // namespace

TNumIO::TNumIO(TComponent* AOwner) : TCustomEdit(AOwner) {
    // A name is no number: the box does not take its name as text (which would only be
    // rejected, with a beep).
    ExcludeStyle(csSetCaption);
    SetEditText(std::string());
    if (ComponentState().contains(csDesigning)) {
        FMinimum = -uc_MaxDouble;
        FMaximum = uc_MaxDouble;
    }
}

// ---- Setters ----------------------------------------------------------------------------------

// A new rule: the last accepted text is forgotten and the current text checked at once.
void TNumIO::Recheck() {
    FOldText.clear();
    Change();
}

void TNumIO::SetInputFormat(TInFormat Value) {
    if (SetField(FInFormat, Value)) Recheck();
}

void TNumIO::SetDecPSep(TDecPSep Value) {
    if (SetField(FDecPSep, Value)) Recheck();
}

// While a form file loads, the bounds are stored as they come and put in order by Loaded: the
// swapping rule would otherwise turn a loaded 5..10 into 0..10 (0..0 being the range before).
void TNumIO::Loaded() {
    TCustomEdit::Loaded();
    if (FMinimum > FMaximum) std::swap(FMinimum, FMaximum);
}

void TNumIO::SetRangeLow(double Value) {
    if (ComponentState().contains(csLoading)) {
        FMinimum = Value;
        return;
    }
    // A low bound at or above the high one swaps them.
    const bool below = Value < FMaximum;
    const double high = FMaximum;
    const bool lowChanged = SetField(FMinimum, below ? Value : high);
    const bool highChanged = SetField(FMaximum, below ? high : Value);
    if (lowChanged || highChanged) Recheck();
}

void TNumIO::SetRangeHigh(double Value) {
    if (ComponentState().contains(csLoading)) {
        FMaximum = Value;
        return;
    }
    const bool above = Value > FMinimum;
    const double low = FMinimum;
    const bool highChanged = SetField(FMaximum, above ? Value : low);
    const bool lowChanged = SetField(FMinimum, above ? low : Value);
    if (lowChanged || highChanged) Recheck();
}

void TNumIO::SetFixPDecPl(int Value) { FFixPDecPl = std::clamp(Value, 1, 8); }

void TNumIO::SetEditText(const std::string& Text) {
    FOldText = Text;
    // Only a real change sends a notification to consume the flag.
    if (Text == this->Text()) return;
    FInternalChg = true;
    SetText(Text);
    FInternalChg = false;
}

// ---- Conversion -------------------------------------------------------------------------------

// Separator mode of the scanners: 1 ".", 2 ",", 3 both.
int TNumIO::SeparatorMode() const {
    switch (FDecPSep) {
    case dpsPoint:
        return 1;
    case dpsComma:
        return 2;
    case dpsPointOrComma:
        return 3;
    default:
        return FormatSettings.DecimalSeparator == ',' ? 2 : 1;
    }
}

char TNumIO::OutputSeparator() const { return SeparatorMode() == 2 ? ',' : '.'; }

bool TNumIO::ConvertNumString(const std::string& Instring, double& Value) const {
    return Convert(Instring, Value, SeparatorMode());
}

bool TNumIO::Convert(const std::string& Instring, double& Value, int Mode) const {
    if (Instring.empty()) return false;
    Value = 0;
    std::size_t b = Instring.find_first_not_of(' ');
    std::string t = b == std::string::npos ? std::string() : Instring.substr(b);
    if (t.find(' ') != std::string::npos) return false;
    for (char& c : t)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (t.empty()) return true;
    TInFormat f = FInFormat;
    if (f == itDynamic) {
        f = t[0] == '$' ? itHex : t[0] == '%' ? itBin : t[0] == '&' ? itOct : itExp;
        if (f != itExp) {
            t.erase(0, 1);
            if (t.empty()) return true; // the prefix alone: an entry being typed
        }
    }
    int pos = 1;
    const int whole = int(t.size()) + 1;
    switch (f) {
    case itExp: {
        // An exponent still being typed ("1e", "1e-") is left out of the check.
        std::size_t n = t.size();
        if (n >= 1 && t[n - 1] == 'e')
            t.pop_back();
        else if (n >= 2 && t[n - 2] == 'e' && (t[n - 1] == '-' || t[n - 1] == '+'))
            t.resize(n - 2);
        Value = ScanNumber(t, true, Mode, pos);
        return pos == int(t.size()) + 1;
    }
    case itFloat:
    case itFixPoint:
        Value = ScanNumber(t, false, Mode, pos);
        return pos == whole;
    case itInt: {
        ScanDecInt(t, pos);
        if (pos != whole) return false;
        // The integer scanner wraps at 32 bits; the value itself is read exactly.
        int p = 1;
        Value = ScanNumber(t, false, 1, p);
        return true;
    }
    case itHex:
        if (!IsValidHexStr(t) || !FitsInt32Pattern(t, 4)) return false;
        Value = double(std::int32_t(std::uint32_t(ScanHexInt(t, pos))));
        return true;
    case itOct:
        if (!IsValidOctStr(t) || !FitsInt32Pattern(t, 3)) return false;
        Value = double(std::int32_t(std::uint32_t(ScanOctInt(t, pos))));
        return true;
    case itBin:
        if (!IsValidBinStr(t) || !FitsInt32Pattern(t, 1)) return false;
        Value = double(std::int32_t(std::uint32_t(ScanBinInt(t, pos))));
        return true;
    default:
        return false;
    }
}

// ---- The check after every change -------------------------------------------------------------

void TNumIO::Change() {
    if (ComponentState().contains(csDesigning)) return;
    if (FInternalChg) {
        FInternalChg = false;
        return;
    }
    const std::string text = Text();
    const int caret = SelStart();
    bool restore = false;
    std::string n;
    int newCaret = caret;

    if (FInFormat == itFixPoint) {
        // Separators the box accepts ("." in the usual setting).
        const char* seps = SeparatorMode() == 1 ? "." : SeparatorMode() == 2 ? "," : ".,";
        std::size_t s1 = text.find_first_of(seps);
        int p1 = s1 == std::string::npos ? 0 : int(s1) + 1;
        std::size_t s2 = s1 == std::string::npos ? s1 : text.find_first_of(seps, s1 + 1);
        int p2 = s2 == std::string::npos ? 0 : int(s2) + 1;
        std::size_t so = FOldText.find_first_of(seps);
        int oldSep = so == std::string::npos ? 0 : int(so) + 1;
        if (p1 == 0) {
            n = FOldText;
            restore = true;
            if (oldSep - 1 > 1) newCaret = oldSep - 1;
        }
        if (p1 == 0 || p2 > p1) {
            n = FOldText;
            restore = true;
            newCaret = oldSep;
        }
        if (p1 > 0 && int(text.size()) - p1 > FFixPDecPl) {
            n = text.substr(0, std::size_t(p1) + std::size_t(FFixPDecPl));
            restore = true;
            newCaret = caret;
        }
    }

    double v = 0;
    bool ok = text.empty() || ConvertNumString(text, v);
    if (ok) {
        if (FInFormat == itFixPoint) {
            n = FloatToFieldStr(1, FFixPDecPl, v);
            if (OutputSeparator() == ',') std::replace(n.begin(), n.end(), '.', ',');
            restore = true;
            newCaret = caret;
        }
        if ((FMinimum <= v && v <= FMaximum) || v == 0) {
            FOldText = text;
            auto alive = Handle();
            TCustomEdit::Change();
            if (*alive == nullptr) return;
        } else {
            ok = false;
        }
    }
    if (!ok) {
        n = FOldText;
        restore = true;
        newCaret = std::max(caret - 1, 0);
    }
    if (restore) {
        SetEditText(n);
        SetSelStart(newCaret);
    }
    if (!ok) {
        Update();
        if (FBeep) MessageBeep(0);
    }
}

// ---- Value ------------------------------------------------------------------------------------

double TNumIO::GetLabValue() const {
    std::string t = Text();
    std::size_t c = t.find(',');
    if (c != std::string::npos) t[c] = '.';
    if (!t.empty() && t.back() == '.') t += '0';
    // The first comma is now a point: read it as one whatever the setting.
    int mode = SeparatorMode() == 2 ? 3 : SeparatorMode();
    double v = 0;
    return Convert(t, v, mode) ? v : 0.0;
}

void TNumIO::SetLabValue(double x) {
    std::string s;
    switch (FInFormat) {
    case itExp:
    case itDynamic:
        s = FloatToFieldStr(12, -2, x);
        break;
    case itFloat:
        s = FloatToFieldStr(1, 8, x);
        break;
    case itFixPoint:
        s = FloatToFieldStr(1, FFixPDecPl, x);
        break;
    case itInt:
        // Whole numbers round as Round does (halves to even), like the digit formats and
        // TNumIO2; nearbyint keeps every magnitude.
        s = FloatToFieldStr(1, 0, std::nearbyint(x));
        break;
    case itHex:
        s = IntToHexDigits(RoundedPattern(x), 8);
        break;
    case itOct:
        s = IntToOctDigits(RoundedPattern(x), 8);
        break;
    case itBin:
        s = IntToBinDigits(RoundedPattern(x), 8);
        break;
    }
    // Decimal text (itDynamic writes it too) gets the separator the box accepts.
    const bool decimal = FInFormat <= itInt || FInFormat == itDynamic;
    if (decimal && OutputSeparator() == ',') std::replace(s.begin(), s.end(), '.', ',');
    SetEditText(s);
}

// ---- Assign -----------------------------------------------------------------------------------

void TNumIO::Assign(const TPersistent* Source) {
    if (auto* src = dynamic_cast<const TNumIO*>(Source)) {
        // Copied as values: going through the range setters one by one could swap them.
        FInFormat = src->FInFormat;
        FBeep = src->FBeep;
        FMinimum = src->FMinimum;
        FMaximum = src->FMaximum;
        FDecPSep = src->FDecPSep;
        return;
    }
    TCustomEdit::Assign(Source);
}

void TNumIO::AssignTo(TPersistent* Dest) const {
    if (auto* dst = dynamic_cast<TNumIO*>(Dest)) {
        dst->Assign(this);
        return;
    }
    TCustomEdit::AssignTo(Dest);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
// Text comes last: a form file sets the range and the format before the text is checked.
const TClassRegistrar<TNumIO> numIOReg("TNumIO", "TCustomEdit", [](auto& p) {
    p.Enum("InputFormat", &TNumIO::InputFormat, &TNumIO::SetInputFormat, itDynamic,
           {"itExp", "itFloat", "itFixPoint", "itInt", "itHex", "itOct", "itBin", "itDynamic"});
    p.Int("FixPointDecPlaces", &TNumIO::FixPointDecPlaces, &TNumIO::SetFixPointDecPlaces, 2);
    p.Float("RangeLow", &TNumIO::RangeLow, &TNumIO::SetRangeLow, 0.0);
    p.Float("RangeHigh", &TNumIO::RangeHigh, &TNumIO::SetRangeHigh, 0.0);
    p.Enum("DecPlaceSep", &TNumIO::DecPlaceSep, &TNumIO::SetDecPlaceSep, dpsSystem,
           {"dpsSystem", "dpsPoint", "dpsComma", "dpsPointOrComma"});
    p.Bool("Beep", &TNumIO::Beep, &TNumIO::SetBeep, false);
    p.String(
        "Text", [](const TNumIO& e) { return e.Text(); },
        [](TNumIO& e, const std::string& v) { e.SetText(v); }, "");
});
} // namespace

} // namespace kel
