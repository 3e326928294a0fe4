// Tests of the numeric text routines: the number scanner's state machine (listed cases and
// random numbers against strtod), the integer scanners, the field formatter's layouts, the digit
// formatters and the validity checks per separator mode.
#include "numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

#include "Kel_univconst.h"
#include "kel_sysutils.h"

using namespace kel;

namespace {

struct Scan {
    double value;
    int pos;
};

Scan ScanAt(const std::string& text, bool exp = true, int mode = 1, int pos = 1) {
    const double v = ScanNumber(text, exp, mode, pos);
    return {v, pos};
}

} // namespace

TEST(ScanNumber, ReadsSignCommaAndExponentAndStopsOnTheFirstOtherCharacter) {
    Scan s = ScanAt("  -1,5e3x", true, 3);
    EXPECT_EQ(s.value, -1500);
    EXPECT_EQ(s.pos, 9);
    s = ScanAt("  -1,5e3x", true, 1); // "," is not a separator in mode 1
    EXPECT_EQ(s.value, -1);
    EXPECT_EQ(s.pos, 5);
    s = ScanAt("1.5", true, 2); // nor is "." in mode 2
    EXPECT_EQ(s.value, 1);
    EXPECT_EQ(s.pos, 2);
}

TEST(ScanNumber, TrailingSeparatorAndDisabledExponent) {
    Scan s = ScanAt("1.", false);
    EXPECT_EQ(s.value, 1.0);
    EXPECT_EQ(s.pos, 3);
    s = ScanAt("1e5", false);
    EXPECT_EQ(s.value, 1);
    EXPECT_EQ(s.pos, 2);
    s = ScanAt("-.5 ");
    EXPECT_EQ(s.value, -0.5);
    EXPECT_EQ(s.pos, 4);
    s = ScanAt("12+3");
    EXPECT_EQ(s.value, 12);
    EXPECT_EQ(s.pos, 3);
}

TEST(ScanNumber, HugeExponentsSkipDigitsAndClampToMaxDouble) {
    Scan s = ScanAt("1E99999");
    EXPECT_EQ(s.value, uc_MaxDouble);
    EXPECT_EQ(s.pos, 8); // the skipped digits are still consumed
    EXPECT_EQ(ScanAt("-1E400").value, -uc_MaxDouble);
    EXPECT_EQ(ScanAt("1E-400").value, 0);
    // 4200 is still taken, 4201 stops at 420: 1E-420 underflows to 0 instead of reading 1E-4201.
    EXPECT_EQ(ScanAt("1E-4201").value, 0);
    EXPECT_EQ(ScanAt("1E-0000000000000000000000000001").value, 0.1);
}

TEST(ScanNumber, NoNumberGivesZeroWithPosOnTheOffendingCharacter) {
    for (const char* t : {"", "-", "+-1", "abc", "   ", "E5", "- 1"}) {
        Scan s = ScanAt(t);
        EXPECT_EQ(s.value, 0) << t;
        EXPECT_GE(s.pos, 1) << t;
        EXPECT_LE(s.pos, static_cast<int>(std::string(t).size()) + 1) << t;
    }
    EXPECT_EQ(ScanAt("-").pos, 2);
    EXPECT_EQ(ScanAt("abc").pos, 1);
    EXPECT_EQ(ScanAt("+-1").pos, 2);
    // An exponent letter or sign without digits adds nothing to the mantissa.
    EXPECT_EQ(ScanAt("2.5E").value, 2.5);
    Scan s = ScanAt("2.5E-x");
    EXPECT_EQ(s.value, 2.5);
    EXPECT_EQ(s.pos, 6);
    EXPECT_EQ(ScanAt(".E5").value, 0);
}

TEST(ScanNumber, StartsAtPosAndClampsAPositionOutsideTheText) {
    Scan s = ScanAt("ab 12.5cd", true, 1, 3);
    EXPECT_EQ(s.value, 12.5);
    EXPECT_EQ(s.pos, 8);
    s = ScanAt("12", true, 1, 0);
    EXPECT_EQ(s.value, 12);
    EXPECT_EQ(s.pos, 3);
    s = ScanAt("12", true, 1, 99);
    EXPECT_EQ(s.value, 0);
    EXPECT_EQ(s.pos, 3);
}

TEST(ScanNumber, AgreesWithStrtodOnRandomNumbers) {
    std::mt19937 rng(20261207);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int n = 0; n < 20000; ++n) {
        std::string text(static_cast<size_t>(pick(0, 2)), ' '), plain;
        if (pick(0, 2) == 0) plain += pick(0, 1) ? '-' : '+';
        const int intDigits = pick(0, 20);
        const int fracDigits = pick(intDigits == 0 ? 1 : 0, 20);
        for (int i = 0; i < intDigits; ++i) plain += static_cast<char>('0' + pick(0, 9));
        const bool comma = pick(0, 1);
        const size_t sepAt = plain.size();
        if (fracDigits > 0 || pick(0, 1)) plain += '.';
        for (int i = 0; i < fracDigits; ++i) plain += static_cast<char>('0' + pick(0, 9));
        if (pick(0, 1)) {
            plain += pick(0, 1) ? 'E' : 'e';
            if (pick(0, 1)) plain += pick(0, 1) ? '-' : '+';
            plain += std::to_string(pick(0, 330));
        }
        std::string scanned = plain;
        if (comma && sepAt < scanned.size() && scanned[sepAt] == '.') scanned[sepAt] = ',';
        text += scanned;
        const int end = static_cast<int>(text.size()) + 1;
        if (pick(0, 1)) text += "x1";
        const double expect = std::strtod(plain.c_str(), nullptr);
        const Scan s = ScanAt(text, true, comma ? 3 : 1);
        EXPECT_EQ(s.value, std::clamp(expect, -uc_MaxDouble, uc_MaxDouble)) << text;
        EXPECT_EQ(s.pos, end) << text;
        ASSERT_FALSE(HasFailure()) << text;
    }
}

TEST(ScanDecInt, SkipsBlanksTakesSignAndWrapsOnOverflow) {
    int pos = 1;
    EXPECT_EQ(ScanDecInt("  -123x", pos), -123);
    EXPECT_EQ(pos, 7);
    pos = 1;
    EXPECT_EQ(ScanDecInt("4294967297", pos), 1); // modulo 2^32
    pos = 1;
    EXPECT_EQ(ScanDecInt("-", pos), 0);
    EXPECT_EQ(pos, 2);
    pos = 1;
    EXPECT_EQ(ScanDecInt("   ", pos), 0);
    EXPECT_EQ(pos, 3); // the last blank is not skipped
    pos = 1;
    EXPECT_EQ(ScanDecInt("", pos), 0);
    EXPECT_EQ(pos, 1);
    pos = 3;
    EXPECT_EQ(ScanDecInt("12", pos), 0); // nothing left to read
    EXPECT_EQ(pos, 3);
}

TEST(ScanHexInt, DollarOnlyAsFirstCharacterAndOtherBases) {
    int pos = 1;
    EXPECT_EQ(ScanHexInt("$ff", pos), 255);
    EXPECT_EQ(pos, 4);
    pos = 1;
    EXPECT_EQ(ScanHexInt(" $ff", pos), 0);
    EXPECT_EQ(pos, 2);
    pos = 1;
    EXPECT_EQ(ScanHexInt("1FFFFFFFF", pos), -1); // wraps
    pos = 1;
    EXPECT_EQ(ScanOctInt(" 178", pos), 15);
    EXPECT_EQ(pos, 4);
    pos = 1;
    EXPECT_EQ(ScanBinInt("1012", pos), 5);
    EXPECT_EQ(pos, 4);
    pos = -5;
    EXPECT_EQ(ScanBinInt("11", pos), 3);
    EXPECT_EQ(pos, 3);
}

TEST(FloatToFieldStr, ShortenedScientificAndStarFill) {
    EXPECT_EQ(FloatToFieldStr(12, -2, 1234.5), " 1.23450E+03");
    EXPECT_EQ(FloatToFieldStr(12, -2, -2.5e-7), "-2.50000E-07");
    EXPECT_EQ(FloatToFieldStr(12, -2, 1.0e150), "************");
    EXPECT_EQ(FloatToFieldStr(12, -2, 1.0e-100), "************");
    EXPECT_EQ(FloatToFieldStr(12, -2, 9.99999e99), " 9.99999E+99");
    EXPECT_EQ(FloatToFieldStr(12, -2, 9.999999e99), "************"); // rounds up to E+100
    // Wider than the 26-character scientific field: |Width| + 2 - 9 fraction digits all the
    // same, zeros beyond the 17 carried.
    EXPECT_EQ(FloatToFieldStr(30, -2, 1.0), " 1.00000000000000000000000E+00");
    EXPECT_EQ(FloatToFieldStr(30, -2, 1.5), " 1.50000000000000000000000E+00");
    EXPECT_EQ(FloatToFieldStr(-31, -2, -0.1), "-1.000000000000000060000000E-01");
    EXPECT_EQ(FloatToFieldStr(25, -2, 1.0), " 1.000000000000000000E+00");
    EXPECT_EQ(FloatToFieldStr(22, -1, -0.5), "-5.0000000000000E-0001");
    EXPECT_EQ(FloatToFieldStr(-12, -2, 1234.5), "01.23450E+03");
}

TEST(FloatToFieldStr, NaNAndInfinitiesKeepTheFieldWidth) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FloatToFieldStr(12, -2, std::nan("")), "         NAN");
    EXPECT_EQ(FloatToFieldStr(12, -2, -inf), "        -INF");
    EXPECT_EQ(FloatToFieldStr(-9, -2, inf).size(), 9u);
    for (int w : {8, 12, 20, 30})
        for (double v : {1.0, -2.5e-7, 1e150, std::nan(""), inf, -inf})
            EXPECT_EQ(FloatToFieldStr(w, -2, v).size(), std::size_t(w)) << w << " " << v;
}

TEST(FloatToFieldStr, FixedFieldGrowsAndNegativeWidthPadsWithZeros) {
    EXPECT_EQ(FloatToFieldStr(1, 3, 2.0), "2.000");
    EXPECT_EQ(FloatToFieldStr(6, 1, 2.0), "   2.0");
    EXPECT_EQ(FloatToFieldStr(-6, 1, 2.0), "0002.0");
    EXPECT_EQ(FloatToFieldStr(-8, 2, -3.5), "-0003.50");
    EXPECT_EQ(FloatToFieldStr(-3, 2, -3.5), "-3.50");
    EXPECT_EQ(FloatToFieldStr(1, 0, 2.5), "3");
    EXPECT_EQ(FloatToFieldStr(4, 0, -7.0), "  -7");
}

TEST(DigitFormatters, ShowExactlyTheLowBitsWithClampedDigitCount) {
    EXPECT_EQ(IntToHexDigits(255, 4), "00FF");
    EXPECT_EQ(IntToHexDigits(0x12345, 2), "45");
    EXPECT_EQ(IntToHexDigits(0xABC, 0), "C");
    EXPECT_EQ(IntToHexDigits(0xFFFFFFFF, 9), "FFFFFFFF");
    EXPECT_EQ(IntToOctDigits(8, 11), "00000000010");
    EXPECT_EQ(IntToOctDigits(0xFFFFFFFF, 12), "37777777777");
    EXPECT_EQ(IntToBinDigits(5, 32), std::string(29, '0') + "101");
    EXPECT_EQ(IntToBinDigits(6, 2), "10");
    EXPECT_EQ(IntToBinDigits(1, -3), "1");
}

TEST(IsValidNumberStr, NeedsOnlyACompleteBeginning) {
    for (const char* t : {"12A", "1-2", "1E", "  -1.5e+3", ".5", "1.", "7E0004200x"})
        EXPECT_TRUE(IsValidNumberStr(t, true, dpsPoint)) << t;
    for (const char* t : {"", "-", "1.2.3", "1EE", "   ", "E1", "1E4201", "7E9999", "+-1"})
        EXPECT_FALSE(IsValidNumberStr(t, true, dpsPoint)) << t;
    EXPECT_TRUE(IsValidNumberStr("1E4200", true, dpsPoint));
    EXPECT_TRUE(IsValidNumberStr("1EE", false, dpsPoint)); // "E" simply ends the number
}

TEST(IsValidNumberStr, SeparatorModeFollowsTheSetting) {
    EXPECT_FALSE(IsValidNumberStr("1.,5", true, dpsPointOrComma));
    EXPECT_TRUE(IsValidNumberStr(",5", true, dpsComma));
    EXPECT_FALSE(IsValidNumberStr(",5", true, dpsPoint));
    EXPECT_FALSE(IsValidNumberStr(".5", true, dpsComma));
    EXPECT_TRUE(IsValidNumberStr(".5", true, dpsSystem));
    FormatSettings.DecimalSeparator = ',';
    const bool commaOk = IsValidNumberStr(",5", true, dpsSystem);
    const bool pointOk = IsValidNumberStr(".5", true, dpsSystem);
    FormatSettings.DecimalSeparator = '.';
    EXPECT_TRUE(commaOk);
    EXPECT_FALSE(pointOk);
}

TEST(IsValidFixPointStr, WholeTextIsASignedFixedPointNumber) {
    for (const char* t : {"-", "+", ".", "-.", "1.", ".5", "-12.25", "007"})
        EXPECT_TRUE(IsValidFixPointStr(t, dpsPoint)) << t;
    for (const char* t : {"", " 1", "1e5", "1.2.3", "1-", "--1", "1..", "1,5"})
        EXPECT_FALSE(IsValidFixPointStr(t, dpsPoint)) << t;
    EXPECT_TRUE(IsValidFixPointStr("1,5", dpsComma));
    EXPECT_TRUE(IsValidFixPointStr("1,5", dpsPointOrComma));
    EXPECT_FALSE(IsValidFixPointStr("1.5", dpsComma));
}

TEST(IsValidIntAndDigitStrings, AcceptOnlyTheirCharacters) {
    EXPECT_TRUE(IsValidIntStr("-12"));
    EXPECT_TRUE(IsValidIntStr("7"));
    for (const char* t : {"", "-", "+", "1-", " 1", "1.0", "--1"})
        EXPECT_FALSE(IsValidIntStr(t)) << t;
    EXPECT_TRUE(IsValidHexStr("09afAF"));
    EXPECT_FALSE(IsValidHexStr("$FF"));
    EXPECT_FALSE(IsValidHexStr("0G"));
    EXPECT_TRUE(IsValidOctStr("01234567"));
    EXPECT_FALSE(IsValidOctStr("8"));
    EXPECT_TRUE(IsValidBinStr("0101"));
    EXPECT_FALSE(IsValidBinStr("012"));
    EXPECT_FALSE(IsValidBinStr(""));
    EXPECT_FALSE(IsValidOctStr(" 1"));
}

TEST(Scanners, PosStaysWithinTheTextOnRandomInput) {
    std::mt19937 rng(7);
    const std::string alphabet = " +-.,0123456789eE$abfxZ\xC3\xA9";
    for (int n = 0; n < 20000; ++n) {
        std::string text(static_cast<size_t>(rng() % 12), ' ');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        const int len = static_cast<int>(text.size());
        const int start = static_cast<int>(rng() % static_cast<unsigned>(len + 5)) - 2;
        int p[5] = {start, start, start, start, start};
        ScanNumber(text, rng() % 2, static_cast<int>(rng() % 5), p[0]);
        ScanDecInt(text, p[1]);
        ScanHexInt(text, p[2]);
        ScanOctInt(text, p[3]);
        ScanBinInt(text, p[4]);
        for (int k = 0; k < 5; ++k) {
            ASSERT_GE(p[k], 1) << k << " '" << text << "' from " << start;
            ASSERT_LE(p[k], len + 1) << k << " '" << text << "' from " << start;
        }
    }
}
