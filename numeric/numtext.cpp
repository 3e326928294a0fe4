// Numeric text conversion: field formatter, digit-string formatters, the number and integer
// scanners and the validity checks (see numtext.h).
#include "numtext.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "Kel_univconst.h"
#include "kel_sysutils.h"

namespace kel {

namespace {

// Character classes of the number scanner, in the columns of its transition table.
enum TNumClass { ncSep, ncBlank, ncSign, ncDigit, ncE, ncOther };

// Next state by current state (1..8) and character class; 9 = complete, -1 = error.
constexpr int kNumberNext[8][6] = {
    //  sep blank sign digit  E  other
    {4, 1, 2, 3, -1, -1},   // 1 start (leading blanks)
    {4, -1, -1, 3, -1, -1}, // 2 after the sign
    {4, 9, 9, 3, 6, 9},     // 3 integer digits
    {-1, 9, 9, 5, 6, 9},    // 4 right after the separator
    {-1, 9, 9, 5, 6, 9},    // 5 fraction digits
    {-1, -1, 7, 8, -1, 9},  // 6 right after "E"
    {-1, -1, -1, 8, -1, 9}, // 7 after the exponent sign
    {9, 9, 9, 8, 9, 9},     // 8 exponent digits
};

// Exponent digits beyond this magnitude are not taken: the collected text then always stays
// within the range of the extended type the numbers were designed for.
constexpr long kMaxExponent = 4200;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int NormalMode(int SeparatorMode) {
    return (SeparatorMode == 2 || SeparatorMode == 3) ? SeparatorMode : 1;
}

int ResolveMode(TDecPSep Sep) {
    switch (Sep) {
    case dpsPoint:
        return 1;
    case dpsComma:
        return 2;
    case dpsPointOrComma:
        return 3;
    default:
        return FormatSettings.DecimalSeparator == '.' ? 1 : 2;
    }
}

bool IsSeparator(char c, int Mode) { return (c == '.' && Mode != 2) || (c == ',' && Mode != 1); }

TNumClass Classify(char c, int Mode) {
    if (IsSeparator(c, Mode)) return ncSep;
    if (c == ' ') return ncBlank;
    if (c == '+' || c == '-') return ncSign;
    if (IsDigit(c)) return ncDigit;
    if (c == 'E') return ncE;
    return ncOther;
}

// Moves Pos into 1..Length(Text)+1, the range a scan may start from.
void ClampPos(const std::string& Text, int& Pos) {
    const long long last = static_cast<long long>(Text.size()) + 1;
    if (Pos < 1)
        Pos = 1;
    else if (Pos > last)
        Pos = static_cast<int>(std::min<long long>(last, INT_MAX));
}

// Runs the number state machine from Pos (already clamped) until it leaves states 1..8 and
// returns the final state (9 or -1); Pos ends one past the character that ended the scan.
// Collected (when given) receives the characters taken, "," as ".". Strict makes an exponent
// beyond kMaxExponent an error instead of skipping its digits.
int RunNumberMachine(const std::string& Text, bool AllowExponent, int Mode, int& Pos,
                     std::string* Collected, bool Strict) {
    const long long len = static_cast<long long>(Text.size());
    int state = 1;
    long expDigits = 0; // the exponent digits read so far, as a number (saturating)
    while (state >= 1 && state <= 8) {
        // Past the end reads as "Z", an other character: every state then finishes.
        const char c = Pos <= len ? UpperAscii(Text[static_cast<size_t>(Pos - 1)]) : 'Z';
        ++Pos;
        const TNumClass cls = Classify(c, Mode);
        int next = kNumberNext[state - 1][cls];
        if (cls == ncE && next == 6 && !AllowExponent) next = 9;
        if (cls == ncDigit) {
            if (state == 6 || state == 7)
                expDigits = c - '0';
            else if (state == 8)
                expDigits = std::min(expDigits * 10 + (c - '0'), kMaxExponent + 1);
        }
        state = next;
        if (state >= 1 && state <= 8) {
            if (expDigits > kMaxExponent) {
                if (Strict) state = -1;
            } else if (Collected) {
                *Collected += (c == ',') ? '.' : c;
            }
        }
    }
    return state;
}

} // namespace

std::string FloatToFieldStr(int Width, int Decimals, double Value) {
    // |Width| kept small enough that |Width| + 2 still fits an int.
    const int w = static_cast<int>(
        std::min<long long>(std::llabs(static_cast<long long>(Width)), INT_MAX - 2));
    std::string s;
    if (Decimals == -2) {
        if (!std::isfinite(Value)) {
            // "NAN", "INF", "-INF" right-justified in the field, which keeps its width.
            s = Str(Value, w, -1);
        } else {
            s = Str(Value, w + 2, -1);
            // The scientific field holds at most 17 fraction digits and pads wider fields with
            // blanks; the field's rule is |Width| + 2 - 9 fraction digits, so the rest are zeros
            // (beyond the precision the runtime carries) and the blanks go.
            const long long fraction = static_cast<long long>(w) + 2 - 9;
            const size_t e = s.find('E');
            if (fraction > 17 && e != std::string::npos) {
                s.insert(e, static_cast<size_t>(fraction - 17), '0');
                s.erase(0, s.size() - static_cast<size_t>(w) - 2);
            }
            // " d.ddddE+dddd": drop the first two of the four exponent digits when they are
            // zeros, otherwise the value does not fit and the whole field shows "*".
            const size_t p = s.find('E');
            if (p != std::string::npos && s.size() == p + 6) {
                const bool fits = s[p + 2] == '0' && s[p + 3] == '0';
                s.erase(p + 2, 2);
                if (!fits) s.assign(s.size(), '*');
            }
        }
    } else {
        s = Str(Value, w, Decimals);
    }
    if (Width < 0) {
        size_t k = 0;
        while (k < s.size() && s[k] == ' ') s[k++] = '0';
        if (k < s.size() && s[k] == '-') {
            s[k] = '0';
            s[0] = '-';
        }
    }
    return s;
}

namespace {

// The low Bits x Digits bits of Value, Bits bits per digit, most significant first.
std::string DigitString(std::uint32_t Value, int Digits, int MaxDigits, int Bits) {
    static const char kDigits[] = "0123456789ABCDEF";
    Digits = std::clamp(Digits, 1, MaxDigits);
    std::string s(static_cast<size_t>(Digits), '0');
    const std::uint32_t mask = (1u << Bits) - 1;
    for (int i = Digits - 1; i >= 0; --i) {
        s[static_cast<size_t>(i)] = kDigits[Value & mask];
        Value >>= Bits;
    }
    return s;
}

// Shared body of the unsigned scanners: skip blanks, then digits of Base (a "$" in the first
// character of the text is skipped when SkipDollar), wrapping modulo 2^32.
int ScanUnsigned(const std::string& Text, int& Pos, std::uint32_t Base, bool SkipDollar) {
    ClampPos(Text, Pos);
    if (Text.empty()) return 0;
    const long long len = static_cast<long long>(Text.size());
    while (Pos < len && Text[static_cast<size_t>(Pos - 1)] == ' ') ++Pos;
    std::uint32_t v = 0;
    while (Pos <= len) {
        const char c = UpperAscii(Text[static_cast<size_t>(Pos - 1)]);
        if (SkipDollar && c == '$' && Pos == 1) {
            ++Pos;
            continue;
        }
        std::uint32_t d;
        if (IsDigit(c))
            d = std::uint32_t(c - '0');
        else if (c >= 'A' && c <= 'F')
            d = std::uint32_t(c - 'A' + 10);
        else
            break;
        if (d >= Base) break;
        v = v * Base + d;
        ++Pos;
    }
    return static_cast<int>(v);
}

bool AllOf(const std::string& Text, bool (*Ok)(char)) {
    return !Text.empty() && std::all_of(Text.begin(), Text.end(), Ok);
}

} // namespace

std::string IntToHexDigits(std::uint32_t Value, int Digits) {
    return DigitString(Value, Digits, 8, 4);
}
std::string IntToOctDigits(std::uint32_t Value, int Digits) {
    return DigitString(Value, Digits, 11, 3);
}
std::string IntToBinDigits(std::uint32_t Value, int Digits) {
    return DigitString(Value, Digits, 32, 1);
}

double ScanNumber(const std::string& Text, bool AllowExponent, int SeparatorMode, int& Pos) {
    ClampPos(Text, Pos);
    std::string collected;
    const int state =
        RunNumberMachine(Text, AllowExponent, NormalMode(SeparatorMode), Pos, &collected, false);
    double value = 0;
    if (state == 9) {
        // An exponent letter or sign without digits adds nothing: read the mantissa alone.
        if (!collected.empty() && (collected.back() == '+' || collected.back() == '-'))
            collected.pop_back();
        if (!collected.empty() && collected.back() == 'E') collected.pop_back();
        if (!collected.empty() && collected.back() == '.') collected += '0';
        double v = 0;
        int code = 0;
        Val(collected, v, code);
        if (code == 0) value = v; // a mantissa without digits (".E5") reads as 0
    }
    --Pos;
    return std::clamp(value, -uc_MaxDouble, uc_MaxDouble);
}

int ScanDecInt(const std::string& Text, int& Pos) {
    ClampPos(Text, Pos);
    if (Text.empty()) return 0;
    const long long len = static_cast<long long>(Text.size());
    while (Pos < len && Text[static_cast<size_t>(Pos - 1)] == ' ') ++Pos;
    bool negative = false;
    if (Pos <= len &&
        (Text[static_cast<size_t>(Pos - 1)] == '-' || Text[static_cast<size_t>(Pos - 1)] == '+')) {
        negative = Text[static_cast<size_t>(Pos - 1)] == '-';
        ++Pos;
    }
    std::uint32_t v = 0;
    while (Pos <= len && IsDigit(Text[static_cast<size_t>(Pos - 1)])) {
        v = v * 10 + std::uint32_t(Text[static_cast<size_t>(Pos - 1)] - '0');
        ++Pos;
    }
    return static_cast<int>(negative ? 0u - v : v);
}

int ScanHexInt(const std::string& Text, int& Pos) { return ScanUnsigned(Text, Pos, 16, true); }
int ScanOctInt(const std::string& Text, int& Pos) { return ScanUnsigned(Text, Pos, 8, false); }
int ScanBinInt(const std::string& Text, int& Pos) { return ScanUnsigned(Text, Pos, 2, false); }

bool IsValidNumberStr(const std::string& Text, bool AllowExponent, TDecPSep Sep) {
    if (Text.empty()) return false;
    int pos = 1;
    return RunNumberMachine(Text, AllowExponent, ResolveMode(Sep), pos, nullptr, true) == 9;
}

bool IsValidFixPointStr(const std::string& Text, TDecPSep Sep) {
    if (Text.empty()) return false;
    // States: 0 start, 1 after sign, 2 after separator, 3 integer digits, 4 fraction digits,
    // 5 error. Columns: sign, separator, digit, anything else.
    static constexpr int kNext[5][4] = {
        {1, 2, 3, 5}, {5, 2, 3, 5}, {5, 5, 4, 5}, {5, 2, 3, 5}, {5, 5, 4, 5}};
    const int mode = ResolveMode(Sep);
    int state = 0;
    for (char c : Text) {
        const int col = (c == '+' || c == '-') ? 0 : IsSeparator(c, mode) ? 1 : IsDigit(c) ? 2 : 3;
        state = kNext[state][col];
        if (state == 5) return false;
    }
    return true;
}

bool IsValidIntStr(const std::string& Text) {
    if (Text.empty()) return false;
    if (!(IsDigit(Text[0]) || ((Text[0] == '+' || Text[0] == '-') && Text.size() > 1)))
        return false;
    return std::all_of(Text.begin() + 1, Text.end(), IsDigit);
}

bool IsValidHexStr(const std::string& Text) {
    return AllOf(Text, [](char c) {
        return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}
bool IsValidOctStr(const std::string& Text) {
    return AllOf(Text, [](char c) { return c >= '0' && c <= '7'; });
}
bool IsValidBinStr(const std::string& Text) {
    return AllOf(Text, [](char c) { return c == '0' || c == '1'; });
}

} // namespace kel
