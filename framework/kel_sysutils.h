// Number <-> text routines of the runtime: Format with its own (not C's) rules, FloatToStrF and
// FloatToStr, StrToFloat and StrToInt, IntToStr and IntToHex, Val with its error position and the
// Str field conversions (fixed and scientific). Every routine works on ASCII text.
//
// Rounding: every float conversion rounds once, from the exact binary value (every double is a
// finite decimal fraction), to the digits it shows, and an exact tie goes up (away from zero):
// Format("%.0f", {2.5}) is "3" and Format("%.2f", {0.125}) is "0.13", unlike C's printf, while
// Format("%.2f", {2.675}) is "2.67" because that double lies below 2.675. The records carry at
// most 17 significant digits (18 for the Str conversions, which mirror the runtime's extended
// type); digits a conversion shows beyond them are zeros. A value that rounds to zero prints
// without "-". Infinities and NaN print as "INF", "-INF" and "NAN".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "kel_classes.h"

namespace kel {

// The process-wide number settings the conversions read. DecimalSeparator is written by %f, %e,
// %g, %n, %m, FloatToStr, FloatToStrF and read by StrToFloat; Val and Str always use ".".
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ','; // %n, %m, ffNumber, ffCurrency
    std::string CurrencyString = "$";
    std::uint8_t CurrencyFormat = 0; // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    std::uint8_t NegCurrFormat = 0;  // 0..15, the platform's table of negative layouts
    std::uint8_t CurrencyDecimals = 2;
};
extern TFormatSettings FormatSettings;

// One argument of Format: an integer (32-bit or 64-bit, which matters for %x and %u of
// negatives), a float, a string or a pointer.
struct TVarRec {
    enum TKind : std::uint8_t { vtInteger, vtInt64, vtUInt64, vtFloat, vtString, vtPointer };
    TKind Kind;
    std::int64_t I = 0; // vtInteger, vtInt64, vtUInt64 (bit pattern)
    double F = 0;       // vtFloat
    std::string S;      // vtString
    const void* P = nullptr;

    TVarRec(int v) : Kind(vtInteger), I(v) {}
    TVarRec(long v) : Kind(vtInt64), I(v) {}
    TVarRec(long long v) : Kind(vtInt64), I(v) {}
    TVarRec(unsigned v) : Kind(vtInt64), I(v) {}
    TVarRec(unsigned long v) : Kind(vtUInt64), I(static_cast<std::int64_t>(v)) {}
    TVarRec(unsigned long long v) : Kind(vtUInt64), I(static_cast<std::int64_t>(v)) {}
    TVarRec(double v) : Kind(vtFloat), F(v) {}
    TVarRec(float v) : Kind(vtFloat), F(v) {}
    TVarRec(long double v) : Kind(vtFloat), F(static_cast<double>(v)) {}
    TVarRec(char c) : Kind(vtString), S(1, c) {}
    TVarRec(const char* s) : Kind(vtString), S(s ? s : "") {}
    TVarRec(std::string s) : Kind(vtString), S(std::move(s)) {}
    TVarRec(const void* p) : Kind(vtPointer), P(p) {}
    TVarRec(bool) = delete; // no boolean conversion: say which number you mean
};

// Builds text from fmt. A specifier is "%" [index ":"] ["-"] [width] ["." prec] type, where
// index, width and prec may be "*" (taken from the next argument, which must be an integer).
// An index makes that argument the next one used. Width is a minimum (blank padding, "-" pads
// on the right); nothing is ever cut except %s by its precision. "%%" writes "%". Types (either
// case): d (decimal; prec = minimum digits, zero-padded after the sign), u (unsigned: a
// negative 32-bit argument prints as its two's complement), x (upper-case hex, prec as for d),
// e (prec = significant digits, default 15; "E", sign, at least 3 exponent digits),
// f (prec = fraction digits, default 2), g (prec = significant digits, default 15; fixed or
// scientific, trailing zeros dropped; scientific exponent without "+", at least 3 digits),
// n (f with thousands separators), m (money per FormatSettings), s (string; prec = maximum
// length), p (pointer, 16 hex digits).
// Raises EConvertError "Format '<specifier>' invalid or incompatible with argument" for a bad
// specifier or an argument of the wrong kind, and "No argument for format '<specifier>'" when
// the arguments run out.
std::string Format(const std::string& fmt, std::initializer_list<TVarRec> args);

enum TFloatFormat : std::uint8_t { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Float to text. Precision (1..18, clamped) is the number of significant digits.
// ffGeneral: fixed when the integer digits fit Precision and the rounded value is not below
//   GeneralFixedSmallest, else scientific with no "+" and Digits (0..4) minimum exponent digits;
//   trailing zeros and a bare separator are removed.
// ffExponent: d.ddd...E+dddd, Precision digits in all, Digits (0..4) minimum exponent digits.
// ffFixed, ffNumber, ffCurrency: Digits (0..18) fraction digits (ffNumber adds thousands
//   separators); when the value has more than Precision integer digits, the general form.
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
// FloatToStrF(Value, ffGeneral, 15, 0): FloatToStr(1E100) = "1E100", FloatToStr(0.1) = "0.1".
std::string FloatToStr(double Value);

// The general format stays fixed down to this magnitude (after rounding); smaller values go
// scientific. Used by %g, ffGeneral and FloatToStr.
inline constexpr double GeneralFixedSmallest = 0.00001;

// Text to float: leading and trailing blanks, optional sign, digits with at most one
// FormatSettings.DecimalSeparator, optional exponent (E or e, optional sign, digits).
// Raises EConvertError "'<S>' is not a valid floating point value" for anything else and for a
// value beyond the range of double; a value too small for double gives 0.
double StrToFloat(const std::string& S);
// As StrToFloat, but returns false instead of raising; Value is then unchanged.
bool TryStrToFloat(const std::string& S, double& Value);

// Text to integer by Val's rules (leading blanks, sign, decimal or "$"/"0x" hexadecimal).
// Raises EConvertError "'<S>' is not a valid integer value".
int StrToInt(const std::string& S);
std::int64_t StrToInt64(const std::string& S);
bool TryStrToInt(const std::string& S, int& Value);
bool TryStrToInt64(const std::string& S, std::int64_t& Value);

std::string IntToStr(std::int64_t Value);
// Upper-case hex, zero-padded to at least Digits, never cut (IntToHex(255, 1) = "FF"). A
// negative int prints as its 32-bit two's complement, a negative int64 as 16 digits.
std::string IntToHex(int Value, int Digits);
std::string IntToHex(std::int64_t Value, int Digits);

// Val: converts S; Code = 0 on success, otherwise the 1-based position of the first character
// that could not be used (length + 1 when the text ends too early, 1 for the empty text), and V
// is left unchanged. Leading blanks are skipped; trailing blanks are an error.
// Integers: optional sign, decimal digits, or hexadecimal after "$" or "0x"; a value beyond the
// target's range stops at the digit that overflows (hexadecimal may fill every bit).
// Reals: optional sign, digits, ".", digits, optional exponent (E or e, optional sign, digits);
// always a point. A value beyond the range of double gives +-infinity (Code 0), one too small
// for it gives 0.
void Val(const std::string& S, int& V, int& Code);
void Val(const std::string& S, std::int64_t& V, int& Code);
void Val(const std::string& S, double& V, int& Code);

// Str(X:Width) of an integer: decimal, right-justified in at least Width characters.
std::string Str(std::int64_t X, int Width = 0);
inline std::string Str(int X, int Width = 0) { return Str(std::int64_t{X}, Width); }
// Str(X:Width:Decimals) of a float. Decimals >= 0: fixed, exactly Decimals fraction digits (no
// point for 0), right-justified in at least Width characters, always ".".
// Decimals < 0 (or omitted): scientific field: " " or "-", one digit, ".", F fraction digits,
// "E", sign and four exponent digits, F = Width - 9 clamped to 1..17 (wider fields are
// blank-padded on the left). Width < 0 (the default) means the 26-character field.
std::string Str(double X, int Width = -1, int Decimals = -1);

} // namespace kel
