// Tests of the runtime's number <-> text routines: Format's own rules, FloatToStrF, the
// readers with their error positions, the Str field conversions and the single rounding from
// the exact value, checked against an independent expansion of random values.
#include "kel_sysutils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace kel;

namespace {

// Sets the decimal separator for one test and restores it.
struct SeparatorScope {
    char old = FormatSettings.DecimalSeparator;
    explicit SeparatorScope(char c) { FormatSettings.DecimalSeparator = c; }
    ~SeparatorScope() { FormatSettings.DecimalSeparator = old; }
};

std::string ErrorOf(auto&& f) {
    try {
        f();
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(Format, ExponentCountsSignificantDigitsAndWritesThreeExponentDigits) {
    EXPECT_EQ(Format("%.3e", {1234.5}), "1.23E+003");
    EXPECT_EQ(Format("%.4e", {-0.00012}), "-1.200E-004");
    EXPECT_EQ(Format("%e", {1.0}), "1.00000000000000E+000");
    EXPECT_EQ(Format("%E", {9.96e-300}), "9.96000000000000E-300");
    // One significant digit writes no separator; rounding can carry into the exponent.
    EXPECT_EQ(Format("%.1e", {9.96}), "1E+001");
}

TEST(Format, FixedRoundsHalfUpOnTheDecimalDigitString) {
    EXPECT_EQ(Format("%f", {3.14159}), "3.14");
    EXPECT_EQ(Format("%.0f", {2.5}), "3");
    EXPECT_EQ(Format("%.0f", {-2.5}), "-3");
    EXPECT_EQ(Format("%.2f", {0.125}), "0.13");
    EXPECT_EQ(Format("%.2f", {2.675}), "2.67");  // binary 2.67499999...
    EXPECT_EQ(Format("%.2f", {-0.001}), "0.00"); // rounds to zero: no sign
    EXPECT_EQ(Format("%.3f", {999.9996}), "1000.000");
    EXPECT_EQ(Format("%f", {1e20}), "1E20"); // more than 18 integer digits
}

TEST(Format, GeneralDropsTrailingZerosAndSwitchesOnRoundedValue) {
    EXPECT_EQ(Format("%.3g", {2.5}), "2.5");
    EXPECT_EQ(Format("%.3g", {2.0}), "2");
    EXPECT_EQ(Format("%.3g", {999.7}), "1E003"); // 1000 has 4 integer digits
    EXPECT_EQ(Format("%g", {1e100}), "1E100");
    EXPECT_EQ(Format("%g", {-1.5e-7}), "-1.5E-007");
    EXPECT_EQ(Format("%g", {0.00001}), "0.00001"); // the limit itself is fixed
    EXPECT_EQ(Format("%g", {0.0000099999}), "9.9999E-006");
    EXPECT_EQ(Format("%.0g", {7.6}), "8"); // precision 0 counts as 1
    EXPECT_EQ(Format("%g", {0.0}), "0");
}

TEST(Format, StarArgumentsGiveWidthAndPrecision) {
    EXPECT_EQ(Format("%*.*g", {1, 4, 3.14159}), "3.142");
    EXPECT_EQ(Format("%*.*f", {8, 2, -3.5}), "   -3.50");
    EXPECT_EQ(Format("%*.*e", {1, 3, 0.5}), "5.00E-001");
    EXPECT_EQ(Format("%*.*d", {1, 0, 0LL}), "0");
    EXPECT_EQ(Format("%*.*d", {1, 0, -123456789012LL}), "-123456789012");
    EXPECT_EQ(Format("%*.*f", {1, -1, 1.0}), "1.00"); // negative precision: the default
}

TEST(Format, IntegersPadDigitsAfterTheSignAndHexShowsTwosComplement) {
    EXPECT_EQ(Format("%.5d|%5d|%-5d|", {-42, 42, 42}), "-00042|   42|42   |");
    EXPECT_EQ(Format("%x|%.4x|%x", {-1, 255, -1LL}), "FFFFFFFF|00FF|FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%u", {-1}), "4294967295");
    EXPECT_EQ(Format("%d", {18446744073709551615ULL}), "18446744073709551615");
    EXPECT_EQ(Format("%3d", {123456}), "123456"); // width never cuts
}

TEST(Format, StringsIndexesAndThePercentSign) {
    EXPECT_EQ(Format("%s-%.2s-%5s", {"ab", "xyz", "q"}), "ab-xy-    q");
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%p", {static_cast<const void*>(nullptr)}), "0000000000000000");
}

TEST(Format, NumberAndMoneyUseTheSettings) {
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(Format("%.0n", {-999.5}), "-1,000");
    EXPECT_EQ(Format("%m|%m", {1234.5, -2.0}), "$1,234.50|($2.00)");
}

TEST(Format, FloatsWriteThePlatformSeparator) {
    SeparatorScope comma(',');
    EXPECT_EQ(Format("%.2f|%.3e|%g", {1.5, 1234.5, 0.25}), "1,50|1,23E+003|0,25");
    EXPECT_EQ(FloatToStr(-0.5), "-0,5");
    EXPECT_EQ(Str(1.5, 0, 1), "1.5"); // Str always writes a point
}

TEST(Format, BadSpecifiersAndMissingArgumentsRaise) {
    EXPECT_EQ(ErrorOf([] { Format("%d", {1.5}); }),
              "Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(ErrorOf([] { Format("x%5.1f", {1}); }),
              "Format '%5.1f' invalid or incompatible with argument");
    EXPECT_EQ(ErrorOf([] { Format("%s %s", {"a"}); }), "No argument for format '%s'");
    EXPECT_EQ(ErrorOf([] {
                  Format("%*d", {2.0, 1});
              }),
              "Format '%*d' invalid or incompatible with argument");
    EXPECT_NE(ErrorOf([] { Format("%q", {1}); }), "(no error)");
    EXPECT_NE(ErrorOf([] { Format("abc%", {}); }), "(no error)");
    EXPECT_NE(ErrorOf([] { Format("%5", {1}); }), "(no error)");
}

TEST(FloatToStr, FifteenDigitsFixedOrScientificWithBareExponent) {
    EXPECT_EQ(FloatToStr(1e100), "1E100");
    EXPECT_EQ(FloatToStr(1234567890123456.123), "1.23456789012346E15");
    EXPECT_EQ(FloatToStr(1234567890.123456789), "1234567890.12346");
    EXPECT_EQ(FloatToStr(0.1), "0.1");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(-1e-20), "-1E-20");
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
}

TEST(FloatToStrF, ExponentAndGeneralTakeMinimumExponentDigits) {
    EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 0), "1.235E+3");
    EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 4), "1.235E+0003");
    EXPECT_EQ(FloatToStrF(1e-7, ffGeneral, 15, 2), "1E-07");
    EXPECT_EQ(FloatToStrF(1234.5678, ffFixed, 5, 4), "1234.6000"); // precision caps the digits
    EXPECT_EQ(FloatToStrF(123456.0, ffFixed, 5, 1), "1.2346E5");
}

TEST(StrToFloat, AcceptsBlanksSignSeparatorAndExponent) {
    EXPECT_EQ(StrToFloat("  -1.5e3 "), -1500.0);
    EXPECT_EQ(StrToFloat(".5"), 0.5);
    EXPECT_EQ(StrToFloat("5."), 5.0);
    EXPECT_EQ(StrToFloat("1E-400"), 0.0);
    EXPECT_EQ(StrToFloat("0.1"), 0.1);
    EXPECT_EQ(StrToFloat("4.9406564584124654E-324"), std::numeric_limits<double>::denorm_min());
    for (const char* bad :
         {"", " ", ".", "1,5", "1.2.3", "1e", "1e+", "--1", "1 000", "1E400", "0x10"})
        EXPECT_EQ(ErrorOf([&] { StrToFloat(bad); }),
                  std::string("'").append(bad).append("' is not a valid floating point value"));
    double v = 7;
    EXPECT_FALSE(TryStrToFloat("abc", v));
    EXPECT_EQ(v, 7); // unchanged on failure
    SeparatorScope comma(',');
    EXPECT_EQ(StrToFloat("2,25"), 2.25);
    EXPECT_FALSE(TryStrToFloat("2.25", v));
}

TEST(StrToInt, DecimalAndHexWithinRange) {
    EXPECT_EQ(StrToInt(" -2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("0x1f"), 31);
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(ErrorOf([] { StrToInt("2147483648"); }), "'2147483648' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { StrToInt("12 "); }), "'12 ' is not a valid integer value");
}

TEST(Val, CodeIsThePositionOfTheFirstUnusableCharacter) {
    struct Case {
        const char* text;
        int code;
    };
    double d = 42;
    int code = -1;
    for (Case c : {Case{"12.3x", 5},
                   {"11.22a", 6},
                   {"", 1},
                   {"1E", 3},
                   {"-", 2},
                   {"1E+x", 4},
                   {"1.2.3", 4},
                   {"12 ", 3},
                   {"  .", 4},
                   {"1,5", 2}}) {
        Val(c.text, d, code);
        EXPECT_EQ(code, c.code) << c.text;
    }
    EXPECT_EQ(d, 42); // never written by a failed conversion
    Val("  -1.25E2", d, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(d, -125);
    Val("1E999", d, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(d, HUGE_VAL);

    int i = 5;
    for (Case c : {Case{"2147483648", 10},
                   {"-2147483649", 11},
                   {"$123456789", 10},
                   {"0x", 3},
                   {"12a", 3},
                   {"+", 2}}) {
        Val(c.text, i, code);
        EXPECT_EQ(code, c.code) << c.text;
    }
    EXPECT_EQ(i, 5);
    Val("-$10", i, code);
    EXPECT_EQ(i, -16);
}

TEST(IntToHex, PadsNeverCutsAndShowsNegativesAsTwosComplement) {
    EXPECT_EQ(IntToHex(255, 1), "FF");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(std::int64_t{-1}, 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToStr(-9223372036854775807LL - 1), "-9223372036854775808");
}

TEST(Str, FixedFieldRightJustifiesAndNeverCuts) {
    EXPECT_EQ(Str(123456.789, 16, 6), "   123456.789000");
    EXPECT_EQ(Str(2.5, 1, 0), "3");
    EXPECT_EQ(Str(-0.004, 6, 2), "  0.00");
    EXPECT_EQ(Str(1e20, 0, 1), "100000000000000000000.0");
    EXPECT_EQ(Str(-42, 5), "  -42");
}

TEST(Str, ScientificFieldHasFourExponentDigitsAndWidthMinusNineFractionDigits) {
    EXPECT_EQ(Str(-2.5e-7, 14), "-2.50000E-0007");
    EXPECT_EQ(Str(1234.5, 14), " 1.23450E+0003");
    EXPECT_EQ(Str(1234.5, 12), " 1.235E+0003");
    EXPECT_EQ(Str(9.99, 10), " 1.0E+0001");
    EXPECT_EQ(Str(1.0, 3), " 1.0E+0000");              // at least one fraction digit
    EXPECT_EQ(Str(0.1), " 1.00000000000000006E-0001"); // 26 characters, 18 digits
    EXPECT_EQ(Str(-1.0, 30), "    -1.00000000000000000E+0000");
    EXPECT_EQ(Str(1e-310, 12), " 1.000E-0310");
}

namespace {

// An independent exact decimal expansion: glibc's printf writes every digit of a double exactly
// when asked for enough of them. |x| = m x 2^(e2 - 53) has at most 53 - e2 fraction digits and
// about 0.302 e2 integer digits, so that many significant digits always suffice. Digits holds
// the significant digits, value = 0.Digits x 10^Exponent.
struct ExactDigits {
    std::string Digits;
    int Exponent = 0;
};

ExactDigits Expand(double x) {
    int e2 = 0;
    (void)std::frexp(x, &e2);
    const int precision = std::max(0, 53 - e2) + std::max(1, int(e2 * 0.30103) + 2);
    std::vector<char> buf(std::size_t(precision) + 16);
    std::snprintf(buf.data(), buf.size(), "%.*e", precision, std::fabs(x));
    ExactDigits r;
    const char* p = buf.data();
    for (; *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') r.Digits += *p;
    r.Exponent = std::atoi(p + 1) + 1;
    return r;
}

// The first Keep digits of d rounded half-up on the rest (Keep >= 1), carrying into the
// exponent; always exactly Keep digits.
ExactDigits RoundHalfUp(ExactDigits d, int Keep) {
    const bool up = d.Digits[std::size_t(Keep)] >= '5';
    d.Digits.resize(std::size_t(Keep));
    if (up) {
        int i = Keep - 1;
        while (i >= 0 && d.Digits[std::size_t(i)] == '9') d.Digits[std::size_t(i--)] = '0';
        if (i < 0) {
            d.Digits.insert(0, 1, '1');
            d.Digits.pop_back();
            ++d.Exponent;
        } else {
            ++d.Digits[std::size_t(i)];
        }
    }
    return d;
}

// The same, but first rounded to Pre digits (the two-step rule these conversions had before).
ExactDigits RoundTwice(const ExactDigits& d, int Pre, int Keep) {
    ExactDigits first = RoundHalfUp(d, Pre);
    first.Digits.append(8, '0');
    return RoundHalfUp(first, Keep);
}

// Fixed text with Decimals fraction digits of |x| from its exact digits (x >= 1 here).
std::string FixedOf(double x, const ExactDigits& e, int Decimals) {
    ExactDigits r = RoundHalfUp(e, e.Exponent + Decimals);
    std::string s = r.Digits;
    s.insert(std::size_t(r.Exponent), 1, '.');
    if (x < 0) s.insert(0, 1, '-');
    return s;
}

// "d.ddd" + "E" + sign + at least MinExp exponent digits.
std::string ScientificOf(const ExactDigits& r, int MinExp) {
    std::string s = r.Digits.substr(0, 1) + "." + r.Digits.substr(1) + "E";
    const int e = r.Exponent - 1;
    s += e < 0 ? '-' : '+';
    std::string n = std::to_string(std::abs(e));
    return s + std::string(std::size_t(std::max(0, MinExp - int(n.size()))), '0') + n;
}

} // namespace

TEST(FloatRounding, OneRoundingFromTheExactValueWithTiesUp) {
    // 23168319.0641529746...: 17 digits would give ...975, and then 8 decimals ...98.
    EXPECT_EQ(Format("%.8f", {23168319.064152975}), "23168319.06415297");
    EXPECT_EQ(Str(23168319.064152975, 0, 8), "23168319.06415297");
    // 0.49999999999999994 is below one half, though its 17-digit form is 0.5.
    EXPECT_EQ(Format("%.0f", {0.49999999999999994}), "0");
    EXPECT_EQ(Str(0.49999999999999994, 0, 0), "0");
    // Exact ties in binary go up, away from zero.
    EXPECT_EQ(Format("%.2f", {0.125}), "0.13");
    EXPECT_EQ(Format("%.2f", {-0.375}), "-0.38");
    EXPECT_EQ(Format("%.0f", {0.5}), "1");
    EXPECT_EQ(Format("%.3e", {1.125}), "1.13E+000");
    EXPECT_EQ(Str(2.5, 0, 0), "3");
    EXPECT_EQ(FloatToStrF(0.0625, ffFixed, 18, 3), "0.063");
}

TEST(FloatRounding, RandomValuesAgreeWithAnExactExpansion) {
    std::mt19937_64 gen(20261207);
    std::uniform_real_distribution<double> mant(1.0, 10.0);
    std::uniform_int_distribution<int> exp10(0, 8);
    std::uniform_int_distribution<int> expWide(-30, 30);
    int twoStepDiffers = 0;
    for (int i = 0; i < 100000; ++i) {
        const double sign = (i & 1) ? -1.0 : 1.0;
        // At most 9 integer digits, so 8 decimals stay within 17 significant digits.
        const double x = sign * mant(gen) * std::pow(10.0, exp10(gen));
        const ExactDigits e = Expand(x);
        const std::string fixed = FixedOf(x, e, 8);
        ASSERT_EQ(Format("%.8f", {x}), fixed) << std::setprecision(17) << x;
        ASSERT_EQ(Str(x, 0, 8), fixed) << std::setprecision(17) << x;
        if (RoundTwice(e, 17, e.Exponent + 8).Digits != RoundHalfUp(e, e.Exponent + 8).Digits)
            ++twoStepDiffers;

        // Scientific forms over a wide range of magnitudes.
        const double y = sign * mant(gen) * std::pow(10.0, expWide(gen));
        const ExactDigits ey = Expand(y);
        const std::string minus = y < 0 ? "-" : "";
        ASSERT_EQ(Format("%.15e", {y}), minus + ScientificOf(RoundHalfUp(ey, 15), 3))
            << std::setprecision(17) << y;
        const std::string lead = y < 0 ? "-" : " ";
        ASSERT_EQ(Str(y), lead + ScientificOf(RoundHalfUp(ey, 18), 4))
            << std::setprecision(17) << y;
        if (RoundTwice(ey, 17, 15).Digits != RoundHalfUp(ey, 15).Digits) ++twoStepDiffers;
        // FloatToStr: the same 15 digits without trailing zeros, whatever the layout.
        std::string digits = RoundHalfUp(ey, 15).Digits;
        while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
        const std::string text = FloatToStr(y);
        std::string shown;
        for (char c : text.substr(0, text.find('E')))
            if (c >= '0' && c <= '9' && !(shown.empty() && c == '0')) shown += c;
        while (shown.size() > 1 && shown.back() == '0') shown.pop_back();
        ASSERT_EQ(shown, digits) << text;
        ASSERT_NEAR(StrToFloat(text) / y, 1.0, 1e-14) << text;
    }
    // The sample holds values where rounding twice gives another last digit.
    EXPECT_GT(twoStepDiffers, 50);
}
