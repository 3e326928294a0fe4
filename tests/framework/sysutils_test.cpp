// Tests of the runtime's number <-> text routines: Format's own rules, FloatToStrF, the
// readers with their error positions and the Str field conversions.
#include "kel_sysutils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
