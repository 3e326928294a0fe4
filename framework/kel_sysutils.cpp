// Number <-> text routines of the runtime (see kel_sysutils.h for the rules).
//
// Index: decimal digit records (ToDecimal, RoundDigits) - float layouts (fixed, exponent,
// general, currency) - FloatToStrF/FloatToStr - the float and integer text readers shared by
// Val, StrToFloat and StrToInt - Format - Str.
#include "kel_sysutils.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace kel {

TFormatSettings FormatSettings;

namespace {

// A float as a decimal digit string: value = 0.D1D2D3... x 10^Exponent. Digits holds the
// significant digits without trailing zeros and is empty for zero.
struct TDecimal {
    bool Negative = false;
    bool Inf = false;
    bool NaN = false;
    int Exponent = 0;
    std::string Digits;
    bool IsZero() const { return Digits.empty(); }
};

// The exact decimal expansion of v (every double is a finite decimal fraction, at most 767
// significant digits). std::to_chars in fixed notation with as many fraction digits as the
// value has binary fraction digits writes every digit exactly, so the only rounding a
// conversion does is its own RoundDigits, once, from the exact value.
TDecimal ToDecimal(double v) {
    TDecimal d;
    if (std::isnan(v)) {
        d.NaN = true;
        return d;
    }
    d.Negative = std::signbit(v);
    if (std::isinf(v)) {
        d.Inf = true;
        return d;
    }
    if (v == 0) return d;
    const double a = std::fabs(v);
    // a = m x 2^e with m odd: the expansion has max(0, -e) fraction digits.
    int e2 = 0;
    const double mant = std::frexp(a, &e2); // a = mant x 2^e2, mant in [0.5, 1)
    auto m = static_cast<std::uint64_t>(std::ldexp(mant, 53));
    int e = e2 - 53;
    const int zeros = std::countr_zero(m);
    m >>= zeros;
    e += zeros;
    const int fraction = e < 0 ? -e : 0;
    char buf[1500]; // 309 integer digits, "." and at most 1074 fraction digits
    const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::fixed, fraction);
    // buf = "ddd.ddd" (or "ddd" without fraction digits)
    int intDigits = 0;
    bool seenPoint = false, leading = true;
    for (const char* p = buf; p != r.ptr; ++p) {
        if (*p == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenPoint) ++intDigits;
        if (leading && *p == '0') {
            if (seenPoint) --d.Exponent; // 0.00ddd: each zero after the point lowers it
            continue;
        }
        leading = false;
        d.Digits += *p;
    }
    if (intDigits > 0 && !(intDigits == 1 && buf[0] == '0')) d.Exponent = intDigits;
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    return d;
}

// The precision of the runtime's float records: FloatToStrF and Format show at most 17
// significant digits, the Str conversions (which mirror the extended type) 18; digits beyond
// are written as zeros.
constexpr long long FloatDigits = 17;
constexpr long long StrDigits = 18;

// Keeps the first Keep digits, rounding half up (away from zero) on the next one. Keep <= 0
// may round up to a single "1" one place higher or give zero.
void RoundDigits(TDecimal& d, long long Keep) {
    if (d.IsZero() || Keep >= static_cast<long long>(d.Digits.size())) return;
    if (Keep < 0) {
        d.Digits.clear();
        return;
    }
    const bool up = d.Digits[static_cast<size_t>(Keep)] >= '5';
    d.Digits.resize(static_cast<size_t>(Keep));
    if (up) {
        while (!d.Digits.empty() && d.Digits.back() == '9') d.Digits.pop_back();
        if (d.Digits.empty()) {
            d.Digits.push_back('1'); // every digit carried: 99.5 -> 100
            ++d.Exponent;
        } else {
            ++d.Digits.back();
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
}

char DigitAt(const TDecimal& d, long long i) {
    return (i >= 0 && i < static_cast<long long>(d.Digits.size())) ? d.Digits[size_t(i)] : '0';
}

std::string SpecialText(const TDecimal& d) {
    if (d.NaN) return "NAN";
    return d.Negative ? "-INF" : "INF";
}

// Integer part of a rounded record, optionally grouped by three.
std::string IntegerPart(const TDecimal& d, char Thousands) {
    std::string s;
    if (d.Exponent <= 0) return "0";
    for (int i = 0; i < d.Exponent; ++i) {
        if (Thousands && i > 0 && (d.Exponent - i) % 3 == 0) s += Thousands;
        s += DigitAt(d, i);
    }
    return s;
}

// Unsigned fixed layout of a record already rounded to Decimals fraction digits.
std::string FixedBody(const TDecimal& d, int Decimals, char Sep, char Thousands) {
    std::string s = IntegerPart(d, Thousands);
    if (Decimals > 0) {
        s += Sep;
        for (int i = 0; i < Decimals; ++i) s += DigitAt(d, static_cast<long long>(d.Exponent) + i);
    }
    return s;
}

std::string ExponentText(int e, int MinDigits, bool Plus) {
    std::string s;
    if (e < 0)
        s += '-';
    else if (Plus)
        s += '+';
    std::string digits = std::to_string(e < 0 ? -static_cast<long long>(e) : e);
    if (static_cast<int>(digits.size()) < MinDigits)
        s.append(size_t(MinDigits) - digits.size(), '0');
    return s + digits;
}

// d.ddd (Sig digits in all; no separator for one digit) "E" exponent; record already rounded.
std::string ExponentBody(const TDecimal& d, int Sig, char Sep, int MinExp, bool Plus) {
    std::string s(1, d.IsZero() ? '0' : d.Digits[0]);
    if (Sig > 1) {
        s += Sep;
        for (int i = 1; i < Sig; ++i) s += DigitAt(d, i);
    }
    return s + 'E' + ExponentText(d.IsZero() ? 0 : d.Exponent - 1, MinExp, Plus);
}

// True when a rounded record is below GeneralFixedSmallest in magnitude.
bool BelowGeneralLimit(const TDecimal& d) {
    static const TDecimal limit = [] {
        TDecimal l = ToDecimal(GeneralFixedSmallest);
        RoundDigits(l, 15);
        return l;
    }();
    if (d.Exponent != limit.Exponent) return d.Exponent < limit.Exponent;
    return d.Digits < limit.Digits;
}

std::string SignedText(const TDecimal& d, const std::string& body) {
    return (d.Negative && !d.IsZero()) ? "-" + body : body;
}

std::string GeneralText(double Value, int Precision, int MinExp) {
    TDecimal d = ToDecimal(Value);
    if (d.Inf || d.NaN) return SpecialText(d);
    RoundDigits(d, std::min<long long>(Precision, FloatDigits));
    if (d.IsZero()) return "0";
    const char sep = FormatSettings.DecimalSeparator;
    std::string body;
    if (d.Exponent > Precision || BelowGeneralLimit(d)) {
        body = ExponentBody(d, static_cast<int>(d.Digits.size()), sep, MinExp, false);
    } else {
        const int frac = std::max(0, static_cast<int>(d.Digits.size()) - d.Exponent);
        body = FixedBody(d, frac, sep, 0);
    }
    return SignedText(d, body);
}

std::string CurrencyText(const TDecimal& d, int Digits) {
    const TFormatSettings& fs = FormatSettings;
    const std::string n = FixedBody(d, Digits, fs.DecimalSeparator, fs.ThousandSeparator);
    const std::string& c = fs.CurrencyString;
    if (!d.Negative || d.IsZero()) {
        switch (fs.CurrencyFormat) {
        case 1:
            return n + c;
        case 2:
            return c + " " + n;
        case 3:
            return n + " " + c;
        default:
            return c + n;
        }
    }
    switch (fs.NegCurrFormat) {
    case 1:
        return "-" + c + n;
    case 2:
        return c + "-" + n;
    case 3:
        return c + n + "-";
    case 4:
        return "(" + n + c + ")";
    case 5:
        return "-" + n + c;
    case 6:
        return n + "-" + c;
    case 7:
        return n + c + "-";
    case 8:
        return "-" + n + " " + c;
    case 9:
        return "-" + c + " " + n;
    case 10:
        return n + " " + c + "-";
    case 11:
        return c + " " + n + "-";
    case 12:
        return c + " -" + n;
    case 13:
        return n + "- " + c;
    case 14:
        return "(" + c + " " + n + ")";
    case 15:
        return "(" + n + " " + c + ")";
    default:
        return "(" + c + n + ")";
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a float from S at i: sign, digits, Sep, digits, optional exponent. On success i is past
// the number and Value holds it (Overflow set, Value = +-HUGE_VAL, when it exceeds double). On
// failure i is the index of the first character that cannot be used.
bool ReadFloat(std::string_view S, size_t& i, char Sep, double& Value, bool& Overflow) {
    const size_t n = S.size();
    bool neg = false;
    if (i < n && (S[i] == '+' || S[i] == '-')) neg = S[i++] == '-';
    std::string sig;        // significant digits without leading zeros
    long long pointExp = 0; // decimal exponent of the point relative to sig's start
    bool anyDigit = false;
    for (; i < n && IsDigit(S[i]); ++i) {
        anyDigit = true;
        if (sig.empty() && S[i] == '0') continue;
        sig += S[i];
        if (pointExp < (1LL << 40)) ++pointExp;
    }
    if (i < n && S[i] == Sep) {
        ++i;
        for (; i < n && IsDigit(S[i]); ++i) {
            anyDigit = true;
            if (sig.empty() && S[i] == '0') {
                if (pointExp > -(1LL << 40)) --pointExp;
                continue;
            }
            sig += S[i];
        }
    }
    if (!anyDigit) return false;
    long long exp = 0;
    if (i < n && (S[i] == 'E' || S[i] == 'e')) {
        ++i;
        bool eneg = false;
        if (i < n && (S[i] == '+' || S[i] == '-')) eneg = S[i++] == '-';
        if (i >= n || !IsDigit(S[i])) return false;
        for (; i < n && IsDigit(S[i]); ++i)
            if (exp < (1LL << 40)) exp = exp * 10 + (S[i] - '0');
        if (eneg) exp = -exp;
    }
    Overflow = false;
    if (sig.empty()) {
        Value = neg ? -0.0 : 0.0;
        return true;
    }
    const long long e = pointExp + exp; // value = 0.sig x 10^e
    std::string canon = "0." + sig + "e" + std::to_string(e);
    double v = 0;
    auto r = std::from_chars(canon.data(), canon.data() + canon.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // 0.sig x 10^e is at least 0.1 x 10^e: a positive e cannot underflow, e <= 0 cannot
        // overflow.
        Overflow = e > 0;
        v = Overflow ? HUGE_VAL : 0.0;
    }
    Value = neg ? -v : v;
    return true;
}

// Reads an integer from S at i by Val's rules into a value of Bits bits (32 or 64).
bool ReadInt(std::string_view S, size_t& i, int Bits, std::int64_t& Value) {
    const size_t n = S.size();
    bool neg = false;
    if (i < n && (S[i] == '+' || S[i] == '-')) neg = S[i++] == '-';
    std::uint64_t v = 0;
    const std::uint64_t allBits = Bits == 64 ? ~std::uint64_t{0} : 0xFFFFFFFFu;
    bool hex = false;
    if (i < n && S[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    bool any = false;
    if (hex) {
        for (; i < n; ++i) {
            const char c = S[i];
            int dv = IsDigit(c)               ? c - '0'
                     : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                     : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                              : -1;
            if (dv < 0) break;
            if (v > (allBits >> 4)) return false; // this digit overflows
            v = v * 16 + std::uint64_t(dv);
            any = true;
        }
        if (!any) return false;
        std::uint64_t r = neg ? ~v + 1 : v;
        Value = Bits == 64 ? static_cast<std::int64_t>(r)
                           : static_cast<std::int32_t>(static_cast<std::uint32_t>(r));
        return true;
    }
    const std::uint64_t limit = (allBits >> 1) + (neg ? 1 : 0); // 2^(Bits-1) - 1 or 2^(Bits-1)
    for (; i < n && IsDigit(S[i]); ++i) {
        const std::uint64_t dv = std::uint64_t(S[i] - '0');
        if (v > (limit - dv) / 10) return false;
        v = v * 10 + dv;
        any = true;
    }
    if (!any) return false;
    Value = neg ? static_cast<std::int64_t>(~v + 1) : static_cast<std::int64_t>(v);
    return true;
}

size_t SkipBlanks(std::string_view S, size_t i) {
    while (i < S.size() && IsBlank(S[i])) ++i;
    return i;
}

// Shared body of the integer Val overloads; Code as Val's.
template <typename T>
void ValInt(const std::string& S, T& V, int& Code, int Bits) {
    size_t i = SkipBlanks(S, 0);
    std::int64_t v = 0;
    if (!ReadInt(S, i, Bits, v) || i != S.size()) {
        Code = static_cast<int>(i + 1);
        return;
    }
    V = static_cast<T>(v);
    Code = 0;
}

std::string Pad(std::string s, int Width, bool Left) {
    if (Width > 0 && static_cast<int>(s.size()) < Width) {
        if (Left)
            s.append(size_t(Width) - s.size(), ' ');
        else
            s.insert(0, size_t(Width) - s.size(), ' ');
    }
    return s;
}

std::string UnsignedText(std::uint64_t v, int Base) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v, Base);
    std::string s(buf, r.ptr);
    for (char& c : s)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string ZeroPadded(std::string digits, int MinDigits) {
    if (static_cast<int>(digits.size()) < MinDigits)
        digits.insert(0, size_t(MinDigits) - digits.size(), '0');
    return digits;
}

[[noreturn]] void FormatInvalid(const std::string& specifier) {
    throw EConvertError("Format '" + specifier + "' invalid or incompatible with argument");
}

} // namespace

std::string FloatToStrF(double Value, TFloatFormat Fmt, int Precision, int Digits) {
    Precision = std::clamp(Precision, 1, 18);
    const char sep = FormatSettings.DecimalSeparator;
    switch (Fmt) {
    case ffGeneral:
        return GeneralText(Value, Precision, std::clamp(Digits, 0, 4));
    case ffExponent: {
        TDecimal d = ToDecimal(Value);
        if (d.Inf || d.NaN) return SpecialText(d);
        RoundDigits(d, std::min<long long>(Precision, FloatDigits));
        return SignedText(d, ExponentBody(d, Precision, sep, std::clamp(Digits, 0, 4), true));
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        Digits = std::clamp(Digits, 0, 18);
        TDecimal d = ToDecimal(Value);
        if (d.Inf || d.NaN) return SpecialText(d);
        if (d.Exponent > Precision) return GeneralText(Value, Precision, 0);
        RoundDigits(d, std::min({static_cast<long long>(Precision), FloatDigits,
                                 static_cast<long long>(d.Exponent) + Digits}));
        if (Fmt == ffCurrency) return CurrencyText(d, Digits);
        return SignedText(
            d, FixedBody(d, Digits, sep, Fmt == ffNumber ? FormatSettings.ThousandSeparator : 0));
    }
    }
    return GeneralText(Value, Precision, 0);
}

std::string FloatToStr(double Value) { return FloatToStrF(Value, ffGeneral, 15, 0); }

bool TryStrToFloat(const std::string& S, double& Value) {
    size_t i = SkipBlanks(S, 0);
    double v = 0;
    bool overflow = false;
    if (!ReadFloat(S, i, FormatSettings.DecimalSeparator, v, overflow) || overflow) return false;
    if (SkipBlanks(S, i) != S.size()) return false;
    Value = v;
    return true;
}

double StrToFloat(const std::string& S) {
    double v = 0;
    if (!TryStrToFloat(S, v))
        throw EConvertError("'" + S + "' is not a valid floating point value");
    return v;
}

bool TryStrToInt(const std::string& S, int& Value) {
    int code = 0;
    Val(S, Value, code);
    return code == 0;
}

bool TryStrToInt64(const std::string& S, std::int64_t& Value) {
    int code = 0;
    Val(S, Value, code);
    return code == 0;
}

int StrToInt(const std::string& S) {
    int v = 0;
    if (!TryStrToInt(S, v)) throw EConvertError("'" + S + "' is not a valid integer value");
    return v;
}

std::int64_t StrToInt64(const std::string& S) {
    std::int64_t v = 0;
    if (!TryStrToInt64(S, v)) throw EConvertError("'" + S + "' is not a valid integer value");
    return v;
}

std::string IntToStr(std::int64_t Value) { return std::to_string(Value); }

std::string IntToHex(int Value, int Digits) {
    return ZeroPadded(UnsignedText(static_cast<std::uint32_t>(Value), 16), Digits);
}

std::string IntToHex(std::int64_t Value, int Digits) {
    return ZeroPadded(UnsignedText(static_cast<std::uint64_t>(Value), 16), Digits);
}

void Val(const std::string& S, int& V, int& Code) { ValInt(S, V, Code, 32); }
void Val(const std::string& S, std::int64_t& V, int& Code) { ValInt(S, V, Code, 64); }

void Val(const std::string& S, double& V, int& Code) {
    size_t i = SkipBlanks(S, 0);
    double v = 0;
    bool overflow = false;
    if (!ReadFloat(S, i, '.', v, overflow) || i != S.size()) {
        Code = static_cast<int>(i + 1);
        return;
    }
    V = v; // an overflow is +-infinity, as IEEE arithmetic has it
    Code = 0;
}

std::string Format(const std::string& fmt, std::initializer_list<TVarRec> args) {
    const TVarRec* argv = args.begin();
    const size_t argc = args.size();
    size_t next = 0; // index of the next argument
    std::string out;
    const size_t n = fmt.size();
    size_t i = 0;
    while (i < n) {
        const char c = fmt[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        const size_t start = i++;
        if (i < n && fmt[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // The specifier text so far, for messages.
        auto specifier = [&] { return fmt.substr(start, std::min(i + 1, n) - start); };
        auto takeArg = [&]() -> const TVarRec& {
            if (next >= argc) throw EConvertError("No argument for format '" + specifier() + "'");
            return argv[next++];
        };
        // A number written in the format, or "*" for the next (integer) argument; -1 when absent.
        auto number = [&]() -> long long {
            if (i < n && fmt[i] == '*') {
                ++i;
                const TVarRec& a = takeArg();
                if (a.Kind != TVarRec::vtInteger && a.Kind != TVarRec::vtInt64)
                    FormatInvalid(specifier());
                return a.I;
            }
            if (i >= n || !IsDigit(fmt[i])) return -1;
            long long v = 0;
            for (; i < n && IsDigit(fmt[i]); ++i)
                v = std::min<long long>(v * 10 + (fmt[i] - '0'), INT32_MAX);
            return v;
        };
        bool left = false;
        long long width = -1;
        bool widthDone = false;
        if (i < n && (fmt[i] == '*' || IsDigit(fmt[i]))) {
            width = number();
            if (i < n && fmt[i] == ':') { // it was the argument index
                ++i;
                if (width < 0) FormatInvalid(specifier());
                next =
                    static_cast<size_t>(std::min<long long>(width, static_cast<long long>(argc)));
                width = -1;
            } else {
                widthDone = true;
            }
        }
        if (!widthDone) {
            if (i < n && fmt[i] == '-') {
                left = true;
                ++i;
            }
            width = number();
        }
        long long prec = -1;
        if (i < n && fmt[i] == '.') {
            ++i;
            if (i >= n || !(IsDigit(fmt[i]) || fmt[i] == '*')) FormatInvalid(specifier());
            prec = number(); // a negative "*" precision means "not given"
        }
        if (i >= n) FormatInvalid(fmt.substr(start));
        const char type =
            static_cast<char>(fmt[i] >= 'A' && fmt[i] <= 'Z' ? fmt[i] - 'A' + 'a' : fmt[i]);
        const std::string specText = specifier();
        ++i;
        const int p = static_cast<int>(std::min<long long>(prec, 4096));
        std::string text;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            const TVarRec& a = takeArg();
            if (a.Kind != TVarRec::vtInteger && a.Kind != TVarRec::vtInt64 &&
                a.Kind != TVarRec::vtUInt64)
                FormatInvalid(specText);
            std::uint64_t mag;
            bool neg = false;
            if (type == 'd' && a.Kind != TVarRec::vtUInt64 && a.I < 0) {
                neg = true;
                mag = ~static_cast<std::uint64_t>(a.I) + 1;
            } else if (a.Kind == TVarRec::vtInteger) {
                mag = static_cast<std::uint32_t>(a.I); // 32-bit two's complement
            } else {
                mag = static_cast<std::uint64_t>(a.I);
            }
            text = ZeroPadded(UnsignedText(mag, type == 'x' ? 16 : 10), p);
            if (neg) text.insert(0, 1, '-');
            break;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            const TVarRec& a = takeArg();
            if (a.Kind != TVarRec::vtFloat) FormatInvalid(specText);
            switch (type) {
            case 'e':
                text = FloatToStrF(a.F, ffExponent, p < 0 ? 15 : p, 3);
                break;
            case 'g':
                text = FloatToStrF(a.F, ffGeneral, p < 0 ? 15 : p, 3);
                break;
            case 'f':
                text = FloatToStrF(a.F, ffFixed, 18, p < 0 ? 2 : p);
                break;
            case 'n':
                text = FloatToStrF(a.F, ffNumber, 18, p < 0 ? 2 : p);
                break;
            default:
                text =
                    FloatToStrF(a.F, ffCurrency, 18, p < 0 ? FormatSettings.CurrencyDecimals : p);
                break;
            }
            break;
        }
        case 's': {
            const TVarRec& a = takeArg();
            if (a.Kind != TVarRec::vtString) FormatInvalid(specText);
            text = (p >= 0 && static_cast<size_t>(p) < a.S.size()) ? a.S.substr(0, size_t(p)) : a.S;
            break;
        }
        case 'p': {
            const TVarRec& a = takeArg();
            if (a.Kind != TVarRec::vtPointer) FormatInvalid(specText);
            text = ZeroPadded(UnsignedText(reinterpret_cast<std::uintptr_t>(a.P), 16), 16);
            break;
        }
        default:
            FormatInvalid(specText);
        }
        out += Pad(std::move(text), static_cast<int>(std::max<long long>(width, 0)), left);
    }
    return out;
}

std::string Str(std::int64_t X, int Width) { return Pad(std::to_string(X), Width, false); }

std::string Str(double X, int Width, int Decimals) {
    TDecimal d = ToDecimal(X);
    if (Decimals >= 0) {
        if (d.Inf || d.NaN) return Pad(SpecialText(d), Width, false);
        RoundDigits(d, std::min(StrDigits, static_cast<long long>(d.Exponent) + Decimals));
        return Pad(SignedText(d, FixedBody(d, Decimals, '.', 0)), Width, false);
    }
    if (Width < 0) Width = 26;
    if (d.Inf || d.NaN) return Pad(SpecialText(d), Width, false);
    const int frac = std::clamp(Width - 9, 1, 17);
    RoundDigits(d, frac + 1);
    const std::string body = ExponentBody(d, frac + 1, '.', 4, true);
    return Pad(((d.Negative && !d.IsZero()) ? "-" : " ") + body, Width, false);
}

} // namespace kel
