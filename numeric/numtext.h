// Numeric text conversion shared by the numeric components: a number formatter with a field
// width, digit-string formatters for hexadecimal, octal and binary, scanners that read a number
// from a position in a text, and validity checks, one per kind of input.
//
// Texts are ASCII; positions are 1-based byte indexes. Every routine is a pure function of its
// arguments (plus FormatSettings.DecimalSeparator where noted) and raises no errors. A scan
// position handed in outside 1..Length(Text)+1 is first moved to the nearer end of that range,
// so a scanner never reads outside the text and always hands back a position in that range.
#pragma once

#include <cstdint>
#include <string>

#include "Kel_kelbase.h"

namespace kel {

// Value as fixed-point text in a field of |Width| characters (right-justified with blanks,
// never cut) with Decimals fraction digits (0: no decimal point). Decimals = -2 gives the
// shortened scientific form " d.dddE+dd" (|Width| characters, at least 8; |Width| - 7 fraction
// digits, zeros beyond the 17 the runtime carries), or as many "*" when the exponent needs more
// than two digits; NaN and infinities ("NAN", "INF", "-INF") are right-justified in |Width|
// characters. Any other negative Decimals gives the scientific
// field with four exponent digits and width |Width| (at least 10). A negative Width pads with zeros
// instead of blanks, keeping a "-" in front: (-8, 2, -3.5) gives "-0003.50". The decimal point is
// always ".".
std::string FloatToFieldStr(int Width, int Decimals, double Value);

// The low 4 x Digits bits of Value as exactly Digits upper-case hexadecimal digits (Digits
// clamped to 1..8): IntToHexDigits(0x12345, 2) = "45".
std::string IntToHexDigits(std::uint32_t Value, int Digits);
// The same in octal, 3 bits per digit, Digits clamped to 1..11.
std::string IntToOctDigits(std::uint32_t Value, int Digits);
// The same in binary, 1 bit per digit, Digits clamped to 1..32.
std::string IntToBinDigits(std::uint32_t Value, int Digits);

// Reads a decimal number (leading blanks, sign, digits, decimal separator, fraction, and with
// AllowExponent an exponent) starting at Pos. SeparatorMode: 1 only ".", 2 only ",", 3 both
// (any other value counts as 1). On return Pos is on the character that ended the scan
// (Length(Text)+1 when the whole text was taken). Exponent digits that would take the exponent
// beyond 4200 are skipped. The result is 0 when no number was found and is clamped to
// +-uc_MaxDouble.
double ScanNumber(const std::string& Text, bool AllowExponent, int SeparatorMode, int& Pos);

// Reads a signed decimal integer from Pos (leading blanks skipped, "+" or "-" allowed, no
// digits give 0). Arithmetic wraps modulo 2^32.
int ScanDecInt(const std::string& Text, int& Pos);
// Reads hexadecimal digits from Pos (leading blanks skipped; a "$" is skipped only when it is
// the first character of the text). Arithmetic wraps modulo 2^32.
int ScanHexInt(const std::string& Text, int& Pos);
// Reads octal digits from Pos (leading blanks skipped). Arithmetic wraps modulo 2^32.
int ScanOctInt(const std::string& Text, int& Pos);
// Reads binary digits from Pos (leading blanks skipped). Arithmetic wraps modulo 2^32.
int ScanBinInt(const std::string& Text, int& Pos);

// Does Text begin with a complete decimal number (ScanNumber's grammar; "12A", "1-2" and "1E"
// are valid, "", "-", "1.2.3", "1EE" and blanks only are not)? dpsSystem resolves to the point
// when FormatSettings.DecimalSeparator is ".", otherwise to the comma. An exponent beyond 4200
// makes the text invalid.
bool IsValidNumberStr(const std::string& Text, bool AllowExponent, TDecPSep Sep);
// Is the whole text a signed fixed-point number without exponent ("-", ".", "1." and ".5"
// count as valid)?
bool IsValidFixPointStr(const std::string& Text, TDecPSep Sep);
// Is the whole text a signed decimal integer (a lone sign is not)?
bool IsValidIntStr(const std::string& Text);
// Does the non-empty text consist only of digits of that base (no prefix, no blanks)?
bool IsValidHexStr(const std::string& Text);
bool IsValidOctStr(const std::string& Text);
bool IsValidBinStr(const std::string& Text);

} // namespace kel
