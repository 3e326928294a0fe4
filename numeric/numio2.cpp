// TNumIO2: construction, the caret timer on the hidden message window, value reading and
// writing per input format, the setters, key handling with the online check, the clipboard,
// mouse handling for the text, the spin buttons and the gauge, Assign and the published
// property list. Painting lives in numio2_paint.cpp.
#include "KEL_NumIO.h"

#include "kel_app.h"
#include "kel_forms.h"
#include "kel_props.h"
#include "kel_setter.h"
#include "kel_sysutils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kel {

namespace {

// Rounds to the nearest integer (halves to even), saturating at the 64-bit ends; NaN gives 0.
std::int64_t SafeRound(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
    if (x <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
    return Round(x);
}

// Digit text whose value fits an unsigned 32-bit pattern (leading zeros do not count).
bool DigitsFit32(const std::string& Digits, int BitsPerDigit) {
    const std::size_t i = Digits.find_first_not_of('0');
    if (i == std::string::npos) return true;
    const std::size_t n = Digits.size() - i;
    if (BitsPerDigit == 3) return n < 11 || (n == 11 && Digits[i] <= '3');
    return n <= std::size_t(32 / BitsPerDigit);
}

bool ValidHex32(const std::string& S) { return IsValidHexStr(S) && DigitsFit32(S, 4); }
bool ValidOct32(const std::string& S) { return IsValidOctStr(S) && DigitsFit32(S, 3); }
bool ValidBin32(const std::string& S) { return IsValidBinStr(S) && DigitsFit32(S, 1); }

// Separator mode 1..3 of a TDecPSep (dpsSystem follows the platform's separator).
int SeparatorMode(TDecPSep Sep) {
    if (Sep == dpsSystem) return FormatSettings.DecimalSeparator == '.' ? 1 : 2;
    return int(Sep);
}

bool IsSeparator(char c, int Mode) { return (c == '.' && Mode != 2) || (c == ',' && Mode != 1); }

} // namespace

// ---- Construction and the caret timer ---------------------------------------------------------

// A refused timer unwinds the constructor; the timer member frees its window then.
TNumIO2::TNumIO2(TComponent* AOwner) : TCustomControl(AOwner) {
    IncludeStyle(csOpaque); // Paint covers every pixel
    InitBounds(0, 0, 160, 28);
    RestartCaretTimer();
}

TNumIO2::~TNumIO2() = default; // the timer member stops the timer and frees its window

void TNumIO2::RestartCaretTimer() {
    FCaretVisib = true;
    FCaretTimer.Start<EKELNumIO2Error>(CaretBlinkMs, *this);
    Invalidate();
}

// One caret tick: blink while focused, otherwise stop blinking until the focus comes back.
void TNumIO2::CaretTick() {
    try {
        if (Focused()) {
            FCaretVisib = !FCaretVisib;
        } else {
            FCaretTimer.Stop();
            FCaretVisib = false;
        }
        Invalidate();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TNumIO2::SetFocus() {
    TCustomControl::SetFocus();
    if (!FReadOnly) RestartCaretTimer();
}

// An error here would unwind through the form's focus change, so it goes to the application's
// exception handler instead; SetFocus and Click raise it themselves.
void TNumIO2::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    if (FReadOnly) return;
    try {
        RestartCaretTimer();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TNumIO2::Click() {
    if (CanFocus()) TCustomControl::SetFocus();
    if (!FReadOnly) RestartCaretTimer();
    TCustomControl::Click();
}

void TNumIO2::Changed() {
    if (FOnChange) FOnChange(this);
}

void TNumIO2::DoBeep() const {
    if (FBeep) MessageBeep(MB_SIMPLEBEEP);
}

int TNumIO2::AutoHeight() {
    TCanvas& c = Canvas();
    c.Font().Assign(&Font());
    return c.TextHeight("E0") + 6;
}

// With AutoSize the height follows the font; SetBounds applies it (see there).
void TNumIO2::AdjustHeight() {
    if (FAutoSize && !ComponentState().contains(csLoading))
        SetBounds(Left(), Top(), Width(), Height());
}

// A font change (its own or one taken from the parent) changes the automatic height.
void TNumIO2::WndProc(TMessage& Message) {
    TCustomControl::WndProc(Message);
    if (Message.Msg == CM_FONTCHANGED) AdjustHeight();
}

// ---- Value ------------------------------------------------------------------------------------

double TNumIO2::Value() const {
    const std::string& b = FInBuffer;
    int pos = 1;
    switch (FInFormat) {
    case itExp:
    case itFloat:
    case itFixPoint:
        return ScanNumber(b, true, 3, pos);
    case itInt: {
        if (b.empty() || !IsValidIntStr(b)) return 0;
        // Sign and digits, saturating: a text beyond 32 bits reads as the nearer 32-bit end.
        const bool neg = b[0] == '-';
        long double v = 0;
        for (char c : b)
            if (c >= '0' && c <= '9') v = std::min<long double>(v * 10 + (c - '0'), 1e12L);
        if (neg) v = -v;
        return double(std::clamp<long double>(v, -2147483648.0L, 2147483647.0L));
    }
    case itHex:
        return ScanHexInt(b, pos);
    case itOct:
        return ScanOctInt(b, pos);
    case itBin:
        return ScanBinInt(b, pos);
    case itDynamic: {
        if (b.empty()) return 0;
        const std::string rest = b.substr(1);
        switch (b[0]) {
        case '$':
            return ScanHexInt(rest, pos);
        case '%':
            return ScanBinInt(rest, pos);
        case '&':
            return ScanOctInt(rest, pos);
        default:
            return ScanNumber(b, true, 3, pos);
        }
    }
    }
    return 0;
}

char TNumIO2::OutputSeparator() const { return SeparatorMode(FDecPSep) == 2 ? ',' : '.'; }

void TNumIO2::SetValue(double Value) {
    std::string s;
    switch (FInFormat) {
    case itExp:
        s = FloatToFieldStr(FSignifDig + 6, -2, Value);
        if (std::isfinite(Value) && s.find('*') != std::string::npos) {
            // A two-digit exponent cannot hold it: the stars could never be edited, so the
            // value is written with three exponent digits instead (" 1.00000E+150").
            s = FloatToFieldStr(FSignifDig + 8, -1, Value);
            s.erase(s.find('E') + 2, 1); // the first of four digits is 0 for every double
        }
        break;
    case itFloat:
    case itFixPoint:
        s = FloatToFieldStr(1, FFixPDecPl, Value);
        break;
    case itInt:
    case itDynamic:
        s = std::to_string(SafeRound(Value));
        break;
    case itHex:
        s = IntToHexDigits(std::uint32_t(SafeRound(Value)), 8);
        break;
    case itOct:
        s = IntToOctDigits(std::uint32_t(SafeRound(Value)), 11);
        break;
    case itBin:
        s = IntToBinDigits(std::uint32_t(SafeRound(Value)), 32);
        break;
    }
    if (FInFormat == itExp || FInFormat == itFloat || FInFormat == itFixPoint)
        std::replace(s.begin(), s.end(), '.', OutputSeparator());
    FInBuffer = s;
    const int n = int(FInBuffer.size());
    FCaretPos = std::min(FCaretPos, n);
    FSelBegin = std::min(FSelBegin, n);
    FSelEnd = std::min(FSelEnd, n);
    Invalidate();
}

int TNumIO2::IntegerValue() const {
    const double v = Value();
    if (!(v <= 2147483647.0 && v >= -2147483648.0))
        throw EKELNumIO2Error("Component \"" + Name() + "\": integer overflow");
    return int(SafeRound(v));
}

bool TNumIO2::OutOfRange() const {
    const double v = Value();
    return v < FRangeLow || !(v <= FRangeHigh);
}

bool TNumIO2::CheckValidity(const std::string& Instring) const {
    const std::string& t = Instring;
    switch (FInFormat) {
    case itExp:
        return IsValidNumberStr(t, true, FDecPSep);
    case itFloat:
        return IsValidFixPointStr(t, FDecPSep);
    case itFixPoint: {
        if (!IsValidFixPointStr(t, FDecPSep)) return false;
        const int mode = SeparatorMode(FDecPSep);
        std::size_t p = 0;
        while (p < t.size() && !IsSeparator(t[p], mode)) ++p;
        // 1-based position of the separator must be Length - decimals.
        return p < t.size() && int(p) + 1 == int(t.size()) - FFixPDecPl;
    }
    case itInt:
        return IsValidIntStr(t);
    case itHex:
        return ValidHex32(t);
    case itOct:
        return ValidOct32(t);
    case itBin:
        return ValidBin32(t);
    case itDynamic:
        if (t.empty()) return false;
        switch (t[0]) {
        case '$':
            return ValidHex32(t.substr(1));
        case '%':
            return ValidBin32(t.substr(1));
        case '&':
            return ValidOct32(t.substr(1));
        default:
            return IsValidNumberStr(t, true, FDecPSep);
        }
    }
    return false;
}

// What the online check lets through besides valid texts: an empty buffer, a lone sign, and in
// itDynamic a lone prefix (otherwise a hex, octal or binary entry could never be started).
bool TNumIO2::AcceptableWhileTyping(const std::string& S) const {
    if (S.empty() || S == "-" || S == "+") return true;
    if (FInFormat == itDynamic && (S == "$" || S == "%" || S == "&")) return true;
    return CheckValidity(S);
}

// ---- Setters ----------------------------------------------------------------------------------

// Setters of what only the looks depend on.
void TNumIO2::SetLeftTextAlignment(TAlignment Value) {
    if (SetField(FLTAlign, Value)) Invalidate();
}
void TNumIO2::SetRightTextAlignment(TAlignment Value) {
    if (SetField(FRTAlign, Value)) Invalidate();
}
void TNumIO2::SetAlignment(TAlignment Value) {
    if (SetField(FAlignment, Value)) Invalidate();
}
void TNumIO2::SetButVisible(bool Value) {
    if (SetField(FButVisible, Value)) Invalidate();
}
void TNumIO2::SetBut3D(bool Value) {
    if (SetField(FBut3D, Value)) Invalidate();
}
void TNumIO2::SetButColor(TColor Value) {
    if (SetField(FButColor, Value)) Invalidate();
}
void TNumIO2::SetGaugeVisible(bool Value) {
    if (SetField(FGaugeVisible, Value)) Invalidate();
}
void TNumIO2::SetGaugeColor(TColor Value) {
    if (SetField(FGaugeColor, Value)) Invalidate();
}
void TNumIO2::SetGaugeColorBg(TColor Value) {
    if (SetField(FGaugeColorBg, Value)) Invalidate();
}
void TNumIO2::SetGaugeColorFrame(TColor Value) {
    if (SetField(FGaugeColorFrame, Value)) Invalidate();
}
void TNumIO2::SetColorBoxBG(TColor Value) {
    if (SetField(FColorBoxBG, Value)) Invalidate();
}
void TNumIO2::SetColorBoxText(TColor Value) {
    if (SetField(FColorBoxText, Value)) Invalidate();
}
void TNumIO2::SetColorOutBG(TColor Value) {
    if (SetField(FColorOutBG, Value)) Invalidate();
}
void TNumIO2::SetColorOutText(TColor Value) {
    if (SetField(FColorOutText, Value)) Invalidate();
}
void TNumIO2::SetColorWarnBG(TColor Value) {
    if (SetField(FColorWarnBG, Value)) Invalidate();
}
void TNumIO2::SetColorWarnText(TColor Value) {
    if (SetField(FColorWarnText, Value)) Invalidate();
}
void TNumIO2::SetHideSelection(bool Value) {
    if (SetField(FHideSelection, Value)) Invalidate();
}
void TNumIO2::SetLeftText(const std::string& Value) {
    if (SetField(FLeftText, Value)) Invalidate();
}
void TNumIO2::SetRightText(const std::string& Value) {
    if (SetField(FRightText, Value)) Invalidate();
}
void TNumIO2::SetTextBoxWidth(int Value) {
    if (SetField(FTextBoxWidth, Value)) Invalidate();
}
void TNumIO2::SetFrameStyle(TFrameStyle Value) {
    if (SetField(FFrameStyle, Value)) Invalidate();
}
void TNumIO2::SetGaugeFrameStyle(TFrameStyle Value) {
    if (SetField(FGaugeFrameStyle, Value)) Invalidate();
}

void TNumIO2::SetBeep(bool Value) { FBeep = Value; }

void TNumIO2::SetButIncrem(double Value) { FButIncrem = Value; }

void TNumIO2::SetColorScheme(TColorScheme Value) {
    if (!SetField(FColorScheme, Value)) return;
    SchemeLineColors(Value, FColGrayLine, FColWhiteLine);
    Invalidate();
}

// The value is read in the old format and written back in the new one.
void TNumIO2::SetInputFormat(TInFormat Value) {
    const double v = this->Value();
    if (SetField(FInFormat, Value)) SetValue(v);
}

void TNumIO2::SetText(const std::string& Value) {
    if (!Value.empty() && !CheckValidity(Value)) return;
    FInBuffer = Value;
    FCaretPos = FSelBegin = FSelEnd = 0;
    Invalidate();
}

void TNumIO2::SetDecPlaceSep(TDecPSep Value) {
    if (Value == FDecPSep) return;
    const TDecPSep old = FDecPSep;
    FDecPSep = Value;
    if (Value != dpsPointOrComma) {
        const char plat = FormatSettings.DecimalSeparator;
        const char oldC = old == dpsComma ? ',' : old == dpsSystem ? plat : '.';
        const char newC = Value == dpsSystem ? plat : Value == dpsComma ? ',' : '.';
        for (char& c : FInBuffer) {
            if (old == dpsPointOrComma) {
                if (c == '.' || c == ',') c = newC;
            } else if (c == oldC) {
                c = newC;
            }
        }
    }
    Invalidate();
}

void TNumIO2::SetFixPointDecPlaces(int Value) {
    if (Value <= 0) return;
    const double v = this->Value();
    if (SetField(FFixPDecPl, std::min(Value, 15))) SetValue(v);
}

void TNumIO2::SetSignificantDigits(int Value) {
    if (Value <= 0) return;
    const double v = this->Value();
    if (SetField(FSignifDig, std::min(Value, 15))) SetValue(v);
}

// A low bound above the high one moves the high one with it (and the other way round).
void TNumIO2::SetRangeLow(double Value) {
    const bool changed = SetField(FRangeLow, Value);
    if ((Value > FRangeHigh && SetField(FRangeHigh, Value)) || changed) Invalidate();
}

void TNumIO2::SetRangeHigh(double Value) {
    const bool changed = SetField(FRangeHigh, Value);
    if ((Value < FRangeLow && SetField(FRangeLow, Value)) || changed) Invalidate();
}

void TNumIO2::SetLeftSpace(int Value) {
    if (Value < 0) return;
    if (SetField(FLeftSpace, std::min(Value, Width()))) Invalidate();
}

void TNumIO2::SetButWidth(int Value) {
    if (SetField(FButWidth, std::clamp(Value, 8, 50))) Invalidate();
}

void TNumIO2::SetButHeight(int Value) {
    if (SetField(FButHeight, std::max(18, std::min(Value, Height())))) Invalidate();
}

void TNumIO2::SetButSpace(int Value) {
    if (SetField(FButSpace, std::clamp(Value, 0, 50))) Invalidate();
}

// A stored file holds values the control once had together (AutoSize may have shrunk the
// control after the gauge was placed), so Loaded keeps them and only applies the fixed minimums.
void TNumIO2::Loaded() {
    TCustomControl::Loaded();
    FGaugeHeight = std::max(3, FGaugeHeight);
    FGaugeWidth = std::max(10, FGaugeWidth);
    FGaugeLeftMargin = std::max(0, FGaugeLeftMargin);
    FGaugeTopMargin = std::max(0, FGaugeTopMargin);
    AdjustHeight(); // the font and AutoSize may have come in either order
    Invalidate();
}

// The gauge's size and margins limit one another and the control's size, so while a form file
// loads they are stored as they come (the order of the file must not matter).
void TNumIO2::SetGaugeHeight(int Value) {
    if (ComponentState().contains(csLoading)) {
        FGaugeHeight = Value;
        return;
    }
    if (SetField(FGaugeHeight, std::max(3, std::min(Value, Height() - FGaugeTopMargin - 18))))
        Invalidate();
}

void TNumIO2::SetGaugeWidth(int Value) {
    if (ComponentState().contains(csLoading)) {
        FGaugeWidth = Value;
        return;
    }
    if (SetField(FGaugeWidth, std::max(10, std::min(Value, Width() - FGaugeLeftMargin))))
        Invalidate();
}

void TNumIO2::SetGaugeLeftMargin(int Value) {
    if (ComponentState().contains(csLoading)) {
        FGaugeLeftMargin = Value;
        return;
    }
    if (SetField(FGaugeLeftMargin, std::max(0, std::min(Value, Width() - FGaugeWidth))))
        Invalidate();
}

void TNumIO2::SetGaugeTopMargin(int Value) {
    if (ComponentState().contains(csLoading)) {
        FGaugeTopMargin = Value;
        return;
    }
    if (SetField(FGaugeTopMargin, std::max(0, std::min(Value, Height() - FGaugeHeight - 18))))
        Invalidate();
}

void TNumIO2::SetReadOnly(bool Value) {
    if (!SetField(FReadOnly, Value)) return;
    if (Value) {
        FCaretTimer.Stop();
        FCaretVisib = false;
        Invalidate();
    } else {
        RestartCaretTimer();
    }
}

void TNumIO2::SetAutoSize(bool Value) {
    if (!SetField(FAutoSize, Value)) return;
    AdjustHeight();
    Invalidate();
}

void TNumIO2::SetEnabled(bool Value) {
    if (Value == Enabled()) return;
    TCustomControl::SetEnabled(Value);
    Invalidate();
}

void TNumIO2::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    // With AutoSize the height is the font's, whatever is asked (a form file sets the height
    // before or after the font and AutoSize; Loaded settles it).
    if (FAutoSize && !ComponentState().contains(csLoading)) AHeight = AutoHeight();
    AHeight = std::max(AHeight, 18);
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FButHeight > Height()) FButHeight = Height();
}

void TNumIO2::SetSelBegin(int Value) {
    FSelBegin = std::clamp(Value, 0, int(FInBuffer.size()));
    FCaretPos = FSelBegin;
    Invalidate();
}

void TNumIO2::SetSelEnd(int Value) {
    FSelEnd = std::clamp(Value, 0, int(FInBuffer.size()));
    FCaretPos = FSelEnd;
    Invalidate();
}

// ---- Keys -------------------------------------------------------------------------------------

void TNumIO2::CNKeyUp(TMessage& Message) {
    if (Message.WParam == VK_SHIFT) FKeyShifted = false;
    if (Message.WParam == VK_CONTROL) FKeyCntrl = false;
}

// The key is handled here and not offered to the form as a dialog key; Result stays 0, so the
// framework's key-down (form key preview, OnKeyDown) follows as for any control.
void TNumIO2::CNKeyDown(TMessage& Message) {
    const std::uint16_t key = std::uint16_t(Message.WParam);
    const TShiftState shift = KeyDataToShiftState(Message.LParam);
    if (key == VK_SHIFT) {
        FKeyShifted = true;
        return;
    }
    if (key == VK_CONTROL) {
        FKeyCntrl = true;
        return;
    }
    // The modifier flags follow the keyboard as it is now, so a release the control did not see
    // (focus elsewhere at that moment) cannot leave Ctrl or Shift stuck.
    FKeyShifted = shift.contains(ssShift);
    FKeyCntrl = shift.contains(ssCtrl);
    if (key == VK_RETURN || key == VK_ESCAPE) {
        // Not keys of the number: offered to the form, so default and cancel buttons work.
        TCustomControl::CNKeyDown(Message);
        return;
    }
    HandleKey(key, shift);
    if (key == VK_TAB) Message.Result = 1; // the focus has moved on
}

void TNumIO2::RemoveSelection() {
    if (FSelBegin >= FSelEnd) return;
    FInBuffer.erase(std::size_t(FSelBegin), std::size_t(FSelEnd - FSelBegin));
    FCaretPos = FSelEnd = FSelBegin = std::min(FSelBegin, int(FInBuffer.size()));
}

// Deleting (Backspace, Delete, Ctrl+X) the whole buffer writes the formatted zero.
void TNumIO2::DeleteSelection() {
    if (FSelBegin >= FSelEnd) return;
    const int start = FSelBegin;
    RemoveSelection();
    if (FInBuffer.empty()) SetValue(0);
    FCaretPos = FSelEnd = FSelBegin = std::min(start, int(FInBuffer.size()));
}

// In itFixPoint a typed number still short of its decimals ("7" typed into an empty or a fully
// selected buffer, "-7") gets the separator and the zero decimals, so the digit is kept and the
// decimals stay fixed; the caret stays behind the typed character.
void TNumIO2::CompleteFixPoint() {
    if (FInFormat != itFixPoint || CheckValidity(FInBuffer)) return;
    if (!IsValidFixPointStr(FInBuffer, FDecPSep)) return;
    if (FInBuffer.find_first_of("0123456789") == std::string::npos) return;
    const int mode = SeparatorMode(FDecPSep);
    std::size_t p = 0;
    while (p < FInBuffer.size() && !IsSeparator(FInBuffer[p], mode)) ++p;
    if (p == FInBuffer.size()) FInBuffer += OutputSeparator();
    const int decimals = int(FInBuffer.size() - p) - 1;
    if (decimals < FFixPDecPl) FInBuffer.append(std::size_t(FFixPDecPl - decimals), '0');
}

void TNumIO2::InsertText(const std::string& S) {
    const std::size_t p = std::size_t(std::clamp(FCaretPos, 0, int(FInBuffer.size())));
    FInBuffer = FInBuffer.substr(0, p) + S + FInBuffer.substr(p);
    FCaretPos = int(p + S.size());
}

void TNumIO2::HandleKey(std::uint16_t Key, TShiftState Shift) {
    (void)Shift;
    const bool ctrlC = FKeyCntrl && Key == 'C';
    if (FReadOnly && !ctrlC) return;
    const std::string saved = FInBuffer;
    const int savedCaret = FCaretPos, savedBegin = FSelBegin, savedEnd = FSelEnd;
    const int len = int(FInBuffer.size());
    bool edit = true; // whether the online check applies

    if (FKeyCntrl) {
        switch (Key) {
        case 'C':
            if (FSelBegin < FSelEnd)
                Clipboard().SetAsText(
                    FInBuffer.substr(std::size_t(FSelBegin), std::size_t(FSelEnd - FSelBegin)));
            break;
        case 'X':
            if (FSelBegin < FSelEnd) {
                Clipboard().SetAsText(
                    FInBuffer.substr(std::size_t(FSelBegin), std::size_t(FSelEnd - FSelBegin)));
                DeleteSelection();
            }
            break;
        case 'V':
            if (Clipboard().HasFormat(CF_TEXT)) InsertText(Clipboard().AsText());
            break;
        default:
            DoBeep();
            edit = false;
        }
    } else {
        char ch = 0;
        switch (Key) {
        case VK_BACK:
            if (FSelBegin < FSelEnd)
                DeleteSelection();
            else if (FCaretPos > 0)
                FInBuffer.erase(std::size_t(--FCaretPos), 1);
            break;
        case VK_TAB:
            if (TForm* f = GetParentForm(this)) f->SelectNext(this, !FKeyShifted, true);
            return;
        case VK_END:
            FCaretPos = len;
            break;
        case VK_HOME:
            FCaretPos = 0;
            break;
        case VK_LEFT:
        case VK_UP:
            if (FCaretPos > 0) --FCaretPos;
            break;
        case VK_RIGHT:
        case VK_DOWN:
            if (FCaretPos < len) ++FCaretPos;
            break;
        case VK_DELETE:
            if (FSelBegin < FSelEnd)
                DeleteSelection();
            else if (FCaretPos < len)
                FInBuffer.erase(std::size_t(FCaretPos), 1);
            break;
        default:
            if (Key >= '0' && Key <= '9') {
                ch = char(Key);
                if (FKeyShifted && Key == '4') ch = '$';
                if (FKeyShifted && Key == '5') ch = '%';
                if (FKeyShifted && Key == '6') ch = '&';
            } else if (Key >= 'A' && Key <= 'F') {
                ch = char(Key);
            } else if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) {
                ch = char('0' + (Key - VK_NUMPAD0));
            } else if (Key == VK_ADD || Key == VK_OEM_PLUS) {
                ch = '+';
            } else if (Key == VK_SUBTRACT || Key == VK_OEM_MINUS) {
                ch = '-';
            } else if (Key == VK_DECIMAL) {
                // The keypad's decimal key types the separator the control accepts: "," unless
                // only the point is accepted.
                ch = SeparatorMode(FDecPSep) == 1 ? '.' : ',';
            } else if (Key == VK_OEM_COMMA) {
                ch = ',';
            } else if (Key == VK_OEM_PERIOD) {
                ch = '.';
            }
            if (ch == 0) {
                DoBeep();
                edit = false;
                break;
            }
            // A typed character replaces the selection: the selected text goes without
            // the formatted zero that deleting everything writes.
            RemoveSelection();
            InsertText(std::string(1, ch));
            CompleteFixPoint();
        }
    }

    if (edit && FOnlineCheck && !AcceptableWhileTyping(FInBuffer)) {
        FInBuffer = saved;
        FCaretPos = savedCaret;
        FSelBegin = savedBegin;
        FSelEnd = savedEnd;
        DoBeep();
    }
    FCaretPos = std::clamp(FCaretPos, 0, int(FInBuffer.size()));
    const int n = int(FInBuffer.size());
    if (ctrlC) {
        // Copying leaves the selection as it is, so a copy can be followed by a cut.
    } else if (FInFormat == itFixPoint && FCaretPos > n - FFixPDecPl - 1) {
        FSelBegin = FCaretPos;
        FSelEnd = std::min(FCaretPos + 1, n);
    } else {
        FSelBegin = FSelEnd = FCaretPos;
    }
    FCaretVisib = true;
    if (FInBuffer != saved) Changed();
    Invalidate();
}

// ---- Mouse ------------------------------------------------------------------------------------

int TNumIO2::GaugeBand() const { return FGaugeVisible ? FGaugeHeight + FGaugeTopMargin + 1 : 0; }

int TNumIO2::CharPosToXCoords(int Pos) {
    TCanvas& c = Canvas();
    c.Font().Assign(&Font());
    Pos = std::clamp(Pos, 0, int(FInBuffer.size()));
    const int P = c.TextWidth(FInBuffer.substr(0, std::size_t(Pos)));
    const int W = c.TextWidth(FInBuffer);
    switch (FAlignment) {
    case taLeftJustify:
        return P + FLeftSpace + 4;
    case taRightJustify:
        return P + FLeftSpace + FTextBoxWidth - W - 2;
    case taCenter:
        break;
    }
    return P + FLeftSpace + (FTextBoxWidth - W) / 2 + 2;
}

int TNumIO2::XCoordsToCharPos(int X) {
    if (FInBuffer.empty()) return 0;
    TCanvas& c = Canvas();
    c.Font().Assign(&Font());
    const int W = c.TextWidth(FInBuffer);
    const int A = std::max(1, W / int(FInBuffer.size()));
    int x = 0;
    switch (FAlignment) {
    case taLeftJustify:
        x = X - FLeftSpace - 3;
        break;
    case taRightJustify:
        x = X + W - FLeftSpace - FTextBoxWidth + 3;
        break;
    case taCenter:
        x = X - FLeftSpace - (FTextBoxWidth - W) / 2 - 1;
        break;
    }
    x = std::clamp(x, 0, W);
    return std::min((x + A / 2) / A, int(FInBuffer.size()));
}

// Maps X onto the range (snapping to the nearest pivot), clamps and writes Value.
void TNumIO2::SetGaugeValue(int X) {
    double v = FRangeLow + double(X - FGaugeLeftMargin) / double(std::max(FGaugeWidth, 1)) *
                               (FRangeHigh - FRangeLow);
    if (!ButtonPivots.empty()) {
        double best = ButtonPivots[0];
        for (double p : ButtonPivots)
            if (std::fabs(p - v) < std::fabs(best - v)) best = p;
        v = best;
    }
    SetValue(std::clamp(v, FRangeLow, FRangeHigh));
}

void TNumIO2::SpinStep(int Y) {
    const double f = Value();
    const bool down = Y > FButHeight / 2;
    if (ButtonPivots.empty()) {
        SetValue(std::clamp(down ? f - FButIncrem : f + FButIncrem, FRangeLow, FRangeHigh));
        return;
    }
    const double e = std::exp(-FFixPDecPl * std::log(10.0));
    std::size_t i = 0;
    for (std::size_t k = 1; k < ButtonPivots.size(); ++k)
        if (std::fabs(ButtonPivots[k] - f) < std::fabs(ButtonPivots[i] - f)) i = k;
    const std::size_t last = ButtonPivots.size() - 1;
    if (down)
        SetValue(f > ButtonPivots[i] + e || i == 0 ? ButtonPivots[i] : ButtonPivots[i - 1]);
    else
        SetValue(f >= ButtonPivots[i] - e && i != last ? ButtonPivots[i + 1] : ButtonPivots[i]);
}

void TNumIO2::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!FReadOnly) FCaretVisib = true;
    const int G = GaugeBand(), H = Height();
    FGaugeDragging = false;
    if (Button == mbLeft) {
        const int bx = FLeftSpace + FTextBoxWidth + FButSpace;
        if (FButVisible && X > bx && X < bx + FButWidth && Y > 0 && Y < FButHeight) {
            SpinStep(Y);
            Changed();
        } else if (Y > 0 && Y < H - G) {
            FCaretPos = FSelBegin = FSelEnd = XCoordsToCharPos(X);
            Invalidate();
        } else if (FGaugeVisible && Y > H - G && X >= FGaugeLeftMargin &&
                   X <= FGaugeLeftMargin + FGaugeWidth) {
            SetGaugeValue(X);
            FValueChanged = true;
            FGaugeDragging = true;
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TNumIO2::MouseMove(TShiftState Shift, int X, int Y) {
    FMouseAreaCode = 0;
    if (X > FLeftSpace) FMouseAreaCode = 1;
    if (X > FLeftSpace + FTextBoxWidth) FMouseAreaCode = 2;
    if (Shift.contains(ssLeft)) {
        const int G = GaugeBand(), H = Height();
        const bool inGauge = FGaugeVisible && Y > H - G && X >= FGaugeLeftMargin - 1 &&
                             X <= FGaugeLeftMargin + FGaugeWidth + 1;
        if (FGaugeDragging || inGauge) {
            // A drag that began on the gauge follows the pointer however far it goes, so a quick
            // drag past an end still reaches that end.
            SetGaugeValue(std::clamp(X, FGaugeLeftMargin, FGaugeLeftMargin + FGaugeWidth));
            FValueChanged = true;
            if (FOnGaugeChange) FOnGaugeChange(this, Shift, Value());
        } else if (Y > 0 && Y < H - G) {
            const int p = XCoordsToCharPos(X);
            if (p > FSelBegin)
                SetSelEnd(p);
            else
                SetSelBegin(p);
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TNumIO2::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FGaugeDragging = false;
    if (FValueChanged) {
        FValueChanged = false;
        Changed();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

// ---- Assign -----------------------------------------------------------------------------------

void TNumIO2::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TNumIO2*>(Dest))
        d->Assign(this);
    else
        TCustomControl::AssignTo(Dest);
}

void TNumIO2::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TNumIO2*>(Source);
    if (s == nullptr) {
        TCustomControl::Assign(Source);
        return;
    }
    if (s == this) return;
    FLeftSpace = s->FLeftSpace;
    FTextBoxWidth = s->FTextBoxWidth;
    FFixPDecPl = s->FFixPDecPl;
    FSignifDig = s->FSignifDig;
    FLeftText = s->FLeftText;
    FRightText = s->FRightText;
    FFrameStyle = s->FFrameStyle;
    FAlignment = s->FAlignment;
    FRTAlign = s->FRTAlign;
    FLTAlign = s->FLTAlign;
    FColorBoxBG = s->FColorBoxBG;
    FColorBoxText = s->FColorBoxText;
    FColorOutBG = s->FColorOutBG;
    FColorOutText = s->FColorOutText;
    FColBlackLine = s->FColBlackLine;
    FColGrayLine = s->FColGrayLine;
    FColWhiteLine = s->FColWhiteLine;
    FColorScheme = s->FColorScheme;
    FInFormat = s->FInFormat;
    FInBuffer = s->FInBuffer;
    FCaretPos = s->FCaretPos;
    FCaretVisib = s->FCaretVisib;
    FMouseAreaCode = s->FMouseAreaCode;
    FColorWarnBG = s->FColorWarnBG;
    FColorWarnText = s->FColorWarnText;
    FSelBegin = s->FSelBegin;
    FSelEnd = s->FSelEnd;
    FDecPSep = s->FDecPSep;
    FKeyShifted = s->FKeyShifted;
    FKeyCntrl = s->FKeyCntrl;
    FHideSelection = s->FHideSelection;
    FRangeHigh = s->FRangeHigh;
    FRangeLow = s->FRangeLow;
    FOnlineCheck = s->FOnlineCheck;
    FBeep = s->FBeep;
    FAutoSize = s->FAutoSize;
    if (s->FReadOnly != FReadOnly) SetReadOnly(s->FReadOnly);
    AdjustHeight();
    Invalidate();
}

// ---- Published properties ---------------------------------------------------------------------

static const TClassRegistrar<TNumIO2> NumIO2Registrar("TNumIO2", "TCustomControl", [](auto& p) {
    const std::initializer_list<const char*> frames = {"fstNone",   "fstLoweredThin", "fstLowered",
                                                       "fstRaised", "fstEmbossed",    "fstSimple"};
    const std::initializer_list<const char*> aligns = {"taLeftJustify", "taRightJustify",
                                                       "taCenter"};
    p.Enum("InputFormat", &TNumIO2::InputFormat, &TNumIO2::SetInputFormat, itFloat,
           {"itExp", "itFloat", "itFixPoint", "itInt", "itHex", "itOct", "itBin", "itDynamic"});
    p.Enum("DecPlaceSep", &TNumIO2::DecPlaceSep, &TNumIO2::SetDecPlaceSep, dpsPointOrComma,
           {"dpsSystem", "dpsPoint", "dpsComma", "dpsPointOrComma"});
    p.Int("FixPointDecPlaces", &TNumIO2::FixPointDecPlaces, &TNumIO2::SetFixPointDecPlaces, 2);
    p.Int("SignificantDigits", &TNumIO2::SignificantDigits, &TNumIO2::SetSignificantDigits, 6);
    p.Float("Value", &TNumIO2::Value, &TNumIO2::SetValue, 0.0);
    p.String("Text", &TNumIO2::Text, &TNumIO2::SetText, "");
    p.Float("RangeLow", &TNumIO2::RangeLow, &TNumIO2::SetRangeLow, 0.0);
    p.Float("RangeHigh", &TNumIO2::RangeHigh, &TNumIO2::SetRangeHigh, 1000.0);
    p.String("LeftText", &TNumIO2::LeftText, &TNumIO2::SetLeftText, "");
    p.String("RightText", &TNumIO2::RightText, &TNumIO2::SetRightText, "");
    p.Enum("LeftTextAlignment", &TNumIO2::LeftTextAlignment, &TNumIO2::SetLeftTextAlignment,
           taRightJustify, aligns);
    p.Enum("RightTextAlignment", &TNumIO2::RightTextAlignment, &TNumIO2::SetRightTextAlignment,
           taLeftJustify, aligns);
    p.Enum("Alignment", &TNumIO2::Alignment, &TNumIO2::SetAlignment, taCenter, aligns);
    p.Int("LeftSpace", &TNumIO2::LeftSpace, &TNumIO2::SetLeftSpace, 35);
    p.Int("TextBoxWidth", &TNumIO2::TextBoxWidth, &TNumIO2::SetTextBoxWidth, 80);
    p.Enum("FrameStyle", &TNumIO2::FrameStyle, &TNumIO2::SetFrameStyle, fstLowered, frames);
    p.Bool("ButVisible", &TNumIO2::ButVisible, &TNumIO2::SetButVisible, false);
    p.Bool("But3D", &TNumIO2::But3D, &TNumIO2::SetBut3D, true);
    p.Int("ButWidth", &TNumIO2::ButWidth, &TNumIO2::SetButWidth, 18);
    p.Int("ButHeight", &TNumIO2::ButHeight, &TNumIO2::SetButHeight, 28);
    p.Int("ButSpace", &TNumIO2::ButSpace, &TNumIO2::SetButSpace, 3);
    p.Color("ButColor", &TNumIO2::ButColor, &TNumIO2::SetButColor, clSilver);
    p.Float("ButIncrem", &TNumIO2::ButIncrem, &TNumIO2::SetButIncrem, 1.0);
    p.Bool("GaugeVisible", &TNumIO2::GaugeVisible, &TNumIO2::SetGaugeVisible, false);
    p.Int("GaugeHeight", &TNumIO2::GaugeHeight, &TNumIO2::SetGaugeHeight, 8);
    p.Int("GaugeWidth", &TNumIO2::GaugeWidth, &TNumIO2::SetGaugeWidth, 82);
    p.Int("GaugeLeftMargin", &TNumIO2::GaugeLeftMargin, &TNumIO2::SetGaugeLeftMargin, 35);
    p.Int("GaugeTopMargin", &TNumIO2::GaugeTopMargin, &TNumIO2::SetGaugeTopMargin, 3);
    p.Color("GaugeColor", &TNumIO2::GaugeColor, &TNumIO2::SetGaugeColor, clNavy);
    p.Color("GaugeColorBg", &TNumIO2::GaugeColorBg, &TNumIO2::SetGaugeColorBg, clSilver);
    p.Color("GaugeColorFrame", &TNumIO2::GaugeColorFrame, &TNumIO2::SetGaugeColorFrame, clGray);
    p.Enum("GaugeFrameStyle", &TNumIO2::GaugeFrameStyle, &TNumIO2::SetGaugeFrameStyle, fstLowered,
           frames);
    p.Color("ColorBoxBG", &TNumIO2::ColorBoxBG, &TNumIO2::SetColorBoxBG, clWhite);
    p.Color("ColorBoxText", &TNumIO2::ColorBoxText, &TNumIO2::SetColorBoxText, clBlack);
    p.Color("ColorOutBG", &TNumIO2::ColorOutBG, &TNumIO2::SetColorOutBG, clBtnFace);
    p.Color("ColorOutText", &TNumIO2::ColorOutText, &TNumIO2::SetColorOutText, clBlack);
    p.Color("ColorWarnBG", &TNumIO2::ColorWarnBG, &TNumIO2::SetColorWarnBG, 0x6088FFF0);
    p.Color("ColorWarnText", &TNumIO2::ColorWarnText, &TNumIO2::SetColorWarnText, clRed);
    p.Enum("ColorScheme", &TNumIO2::ColorScheme, &TNumIO2::SetColorScheme, cschClassic,
           {"cschClassic", "cschSystem"});
    p.Bool("HideSelection", &TNumIO2::HideSelection, &TNumIO2::SetHideSelection, true);
    p.Bool("ReadOnly", &TNumIO2::ReadOnly, &TNumIO2::SetReadOnly, false);
    p.Bool("AutoSize", &TNumIO2::AutoSize, &TNumIO2::SetAutoSize, false);
    p.Bool("Beep", &TNumIO2::Beep, &TNumIO2::SetBeep, false);
});

} // namespace kel
