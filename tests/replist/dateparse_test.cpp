// Tests of the date pattern parser: every token and run length, quoted and plain literals, the
// 12-hour clock, the name tables of every language, each error code, impossible dates, and a
// round trip through FormatDateTime over random dates with the patterns a user writes.
#include "rl_dateparse.h"

#include "Kel_error.h"
#include "kel_dtpicker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

using namespace kel;

namespace {

// Fixes the date clock on 2020-06-15 (or another year) and the two-digit-year window.
struct FixedYear {
    int OldWindow = TwoDigitYearCenturyWindow();
    explicit FixedYear(int Year = 2020, int Window = 50) {
        const TDateTime t = EncodeDate(Year, 6, 15);
        SetDateClock([t] { return t; });
        SetTwoDigitYearCenturyWindow(Window);
    }
    ~FixedYear() {
        SetDateClock(nullptr);
        SetTwoDigitYearCenturyWindow(OldWindow);
    }
};

// "yyyy-mm-dd hh:nn:ss" of a value, or the error code as "error N".
std::string P(std::string_view Text, std::string_view Pattern, int Language = 1) {
    TDateTime v = 123.5;
    const int code = ParseDateTime(Text, Pattern, Language, v);
    if (code != dpOK) return "error " + std::to_string(code) + (v == 0 ? "" : " (result not 0)");
    int y, m, d, h, n, s, ms;
    DecodeDateTime(v, y, m, d, h, n, s, ms);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, n, s);
    return buf;
}

} // namespace

TEST(DateParse, FixedWidthNumbersTakeExactlyTheirDigits) {
    FixedYear fy;
    EXPECT_EQ(P("24.12.2020", "dd.MM.yyyy"), "2020-12-24 00:00:00");
    EXPECT_EQ(P("2020-02-29 23:59:58", "yyyy-MM-dd HH:mm:ss"), "2020-02-29 23:59:58");
    EXPECT_EQ(P("0001-01-01", "yyyy-MM-dd"), "0001-01-01 00:00:00");
    EXPECT_EQ(P("20201224", "yyyyMMdd"), "2020-12-24 00:00:00");
    EXPECT_EQ(P("24.12.2020 trailing text", "dd.MM.yyyy"), "2020-12-24 00:00:00");
    // Too few characters, a non-digit, a sign or a blank: error -3.
    EXPECT_EQ(P("2.12.2020", "dd.MM.yyyy"), "error -3");
    EXPECT_EQ(P("24.12.202", "dd.MM.yyyy"), "error -3");
    EXPECT_EQ(P("24.1a.2020", "dd.MM.yyyy"), "error -3");
    EXPECT_EQ(P("24.+1.2020", "dd.MM.yyyy"), "error -3");
    EXPECT_EQ(P("24.12. 020", "dd.MM.yyyy"), "error -3");
    EXPECT_EQ(P("2020-12-24 7:00", "yyyy-MM-dd HH:mm"), "error -3");
    EXPECT_EQ(P("2020-12-24 07:0", "yyyy-MM-dd HH:mm"), "error -3");
    EXPECT_EQ(P("2020-12-24 07:00:5", "yyyy-MM-dd HH:mm:ss"), "error -3");
    EXPECT_EQ(P("2020-12-24 07:00", "yyyy-MM-dd hh:mm"), "2020-12-24 07:00:00");
}

TEST(DateParse, SingleLettersReadNumbersOfAnyLength) {
    FixedYear fy;
    EXPECT_EQ(P("7.3.2020", "d.M.yyyy"), "2020-03-07 00:00:00");
    EXPECT_EQ(P("007.0003.2020", "d.M.yyyy"), "2020-03-07 00:00:00");
    // Blanks before the number and a sign are read as by the numeric scanner.
    EXPECT_EQ(P(" 7. +3.2020", "d.M.yyyy"), "2020-03-07 00:00:00");
    EXPECT_EQ(P("7:5:9", "H:m:s"), "1899-12-30 07:05:09");
    EXPECT_EQ(P("23:59:59", "H:m:s"), "1899-12-30 23:59:59");
    // No digits read 0: a day 0 is an impossible date.
    EXPECT_THROW(P(".3.2020", "d.M.yyyy"), EConvertError);
    EXPECT_EQ(P("x.3.2020", "d.M.yyyy"), "error -1");
}

TEST(DateParse, TwoDigitYearsFollowTheCenturyWindow) {
    {
        FixedYear fy(2020, 50); // pivot 1970
        EXPECT_EQ(P("01.02.03", "dd.MM.yy"), "2003-02-01 00:00:00");
        EXPECT_EQ(P("01.02.68", "dd.MM.yy"), "2068-02-01 00:00:00");
        EXPECT_EQ(P("01.02.70", "dd.MM.yy"), "1970-02-01 00:00:00");
        EXPECT_EQ(P("01.02.69", "dd.MM.yy"), "2069-02-01 00:00:00");
        // yy takes the digits that convert (one is enough) and consumes only them.
        EXPECT_EQ(P("01.02.5", "dd.MM.yy"), "2005-02-01 00:00:00");
        EXPECT_EQ(P("5/02/01", "yy/MM/dd"), "2005-02-01 00:00:00");
        EXPECT_EQ(P("01.02.x5", "dd.MM.yy"), "error -3");
        EXPECT_EQ(P("01.02.", "dd.MM.yy"), "error -3");
    }
    {
        FixedYear fy(1998, 0); // the current century always
        EXPECT_EQ(P("01.02.03", "dd.MM.yy"), "1903-02-01 00:00:00");
        EXPECT_EQ(P("01.02.68", "dd.MM.yy"), "1968-02-01 00:00:00");
    }
    {
        FixedYear fy(1998, 50); // pivot 1948
        EXPECT_EQ(P("01.02.50", "dd.MM.yy"), "1950-02-01 00:00:00");
        EXPECT_EQ(P("01.02.47", "dd.MM.yy"), "2047-02-01 00:00:00");
    }
}

TEST(DateParse, TwelveHourClockWithTAndTT) {
    FixedYear fy;
    EXPECT_EQ(P("12:30 AM", "hh:mm tt"), "1899-12-30 00:30:00");
    EXPECT_EQ(P("12:30 PM", "hh:mm tt"), "1899-12-30 12:30:00");
    EXPECT_EQ(P("01:15 pm", "hh:mm tt"), "1899-12-30 13:15:00");
    EXPECT_EQ(P("11:15 Pm", "hh:mm tt"), "1899-12-30 23:15:00");
    EXPECT_EQ(P("01:15 aM", "hh:mm tt"), "1899-12-30 01:15:00");
    EXPECT_EQ(P("3:05 p", "h:mm t"), "1899-12-30 15:05:00");
    EXPECT_EQ(P("3:05 A", "h:mm t"), "1899-12-30 03:05:00");
    // Anything but "a" / "am" is PM; the marker may come before the hour.
    EXPECT_EQ(P("x 3:05", "t h:mm"), "1899-12-30 15:05:00");
    EXPECT_EQ(P("ax 3:05", "tt h:mm"), "1899-12-30 15:05:00");
    // Without t the 12-hour clock counts as AM; H keeps the 24-hour clock even with tt.
    EXPECT_EQ(P("12:00", "h:mm"), "1899-12-30 00:00:00");
    EXPECT_EQ(P("12:00 AM", "HH:mm tt"), "1899-12-30 12:00:00");
    EXPECT_EQ(P("24.12.2020 07:45 PM", "dd.MM.yyyy hh:mm tt"), "2020-12-24 19:45:00");
    // A marker with no text left is error -3; an afternoon hour 13 is an impossible time.
    EXPECT_EQ(P("3:05", "h:mmt"), "error -3");
    EXPECT_EQ(P("3:05 p", "h:mm tt"), "error -3");
    EXPECT_THROW(P("13:05 pm", "h:mm tt"), EConvertError);
    EXPECT_THROW(P("-5:05 pm", "h:mm tt"), EConvertError);
}

TEST(DateParse, EnglishNamesOfMonthsAndWeekdays) {
    FixedYear fy;
    EXPECT_EQ(P("December 24, 2020", "MMMM d, yyyy"), "2020-12-24 00:00:00");
    EXPECT_EQ(P("JANUARY 2, 2020", "MMMM d, yyyy"), "2020-01-02 00:00:00");
    EXPECT_EQ(P("sep 2 2020", "MMM d yyyy"), "2020-09-02 00:00:00");
    EXPECT_EQ(P("Thursday, December 24, 2020", "dddd, MMMM d, yyyy"), "2020-12-24 00:00:00");
    EXPECT_EQ(P("Thu 24.12.2020", "ddd dd.MM.yyyy"), "2020-12-24 00:00:00");
    // The weekday is only consumed, never checked against the date.
    EXPECT_EQ(P("Monday, 24.12.2020", "dddd, dd.MM.yyyy"), "2020-12-24 00:00:00");
    EXPECT_EQ(P("Decembre 24, 2020", "MMMM d, yyyy"), "error -3");
    EXPECT_EQ(P("De 24, 2020", "MMM d, yyyy"), "error -3");
    EXPECT_EQ(P("Thurs, 24.12.2020", "dddd, dd.MM.yyyy"), "error -3");
    EXPECT_EQ(P("", "ddd"), "error -3");
}

TEST(DateParse, EveryLanguageTableIsReadWithItsIndex) {
    FixedYear fy;
    for (int lang = 0; lang < NumLanguages; ++lang) {
        for (int m = 1; m <= 12; ++m) {
            char want[40];
            std::snprintf(want, sizeof want, "2020-%02d-03 00:00:00", m);
            EXPECT_EQ(P(MonthLong[lang][m] + " 3 2020", "MMMM d yyyy", lang), want)
                << lang << " " << MonthLong[lang][m];
            EXPECT_EQ(P(MonthShort[lang][m] + "/3/2020", "MMM/d/yyyy", lang), want)
                << lang << " " << MonthShort[lang][m];
        }
        for (int d = 0; d < 7; ++d) {
            EXPECT_EQ(P(std::string(WeekDayLong[lang][d]) + " 07:00", "dddd HH:mm", lang),
                      "1899-12-30 07:00:00")
                << lang << " " << WeekDayLong[lang][d];
            EXPECT_EQ(P(WeekDayShort[lang][d] + " 07:00", "ddd HH:mm", lang), "1899-12-30 07:00:00")
                << lang << " " << WeekDayShort[lang][d];
        }
    }
    EXPECT_EQ(P("24. Dezember 2020", "d. MMMM yyyy", lgGerman), "2020-12-24 00:00:00");
    EXPECT_EQ(P("mercredi 1 juillet 2020", "dddd d MMMM yyyy", lgFrench), "2020-07-01 00:00:00");
    EXPECT_EQ(P("miércoles 5 ago 2020", "dddd d MMM yyyy", lgSpanish), "2020-08-05 00:00:00");
    // An English name in a German pattern does not match.
    EXPECT_EQ(P("March 3 2020", "MMMM d yyyy", lgGerman), "error -3");
    TDateTime v = 0;
    EXPECT_THROW(ParseDateTime("1", "d", NumLanguages, v), EKELError);
    EXPECT_THROW(ParseDateTime("1", "d", -1, v), EKELError);
}

TEST(DateParse, QuotedAndPlainLiterals) {
    FixedYear fy;
    EXPECT_EQ(P("at 07", "'at' HH"), "1899-12-30 07:00:00");
    EXPECT_EQ(P("07 o'clock", "HH 'o''clock'"), "1899-12-30 07:00:00");
    EXPECT_EQ(P("'07", "''''HH"), "1899-12-30 07:00:00");
    EXPECT_EQ(P("0707", "HH''HH"), "1899-12-30 07:00:00"); // an empty quoted literal
    EXPECT_EQ(P("2020-12-24T07:08", "yyyy-MM-dd'T'HH:mm"), "2020-12-24 07:08:00");
    // Pattern letters inside quotes are text; a missing closing quote ends at the pattern end.
    EXPECT_EQ(P("dd 07", "'dd' HH"), "1899-12-30 07:00:00");
    EXPECT_EQ(P("07 h", "HH 'h"), "1899-12-30 07:00:00");
    // Letters that are not pattern letters form plain literals with the other characters.
    EXPECT_EQ(P("07n30", "HHnmm"), "1899-12-30 07:30:00");
    // Literals compare exactly: case, blanks and separators matter.
    EXPECT_EQ(P("At 07", "'at' HH"), "error -1");
    EXPECT_EQ(P("07 oclock", "HH 'o''clock'"), "error -1");
    EXPECT_EQ(P("24/12/2020", "dd.MM.yyyy"), "error -1");
    EXPECT_EQ(P("24.12", "dd.MM.yyyy"), "error -1");
    EXPECT_EQ(P("07:30", "HHnmm"), "error -1");
    EXPECT_EQ(P("", "x"), "error -1");
    EXPECT_EQ(P("anything", ""), "1899-12-30 00:00:00");
}

TEST(DateParse, RunsWithoutMeaningAreErrorTwoAndTheFirstErrorWins) {
    FixedYear fy;
    for (const char* pat :
         {"y", "yyy", "yyyyy", "MMMMM", "ddddd", "HHH", "hhh", "mmm", "sss", "ttt"})
        EXPECT_EQ(P("2020202020 Monday", pat), "error -2") << pat;
    EXPECT_EQ(P("xx", "dd.yyy"), "error -3");
    EXPECT_EQ(P("12x", "dd.yyy"), "error -1");
    EXPECT_EQ(P("12.", "dd.yyy"), "error -2");
}

TEST(DateParse, ImpossibleDatesRaiseTheConversionErrorAndKeepTheResult) {
    FixedYear fy;
    TDateTime v = 42;
    EXPECT_THROW(ParseDateTime("24.13.2020", "dd.MM.yyyy", 1, v), EConvertError);
    EXPECT_THROW(ParseDateTime("30.02.2020", "dd.MM.yyyy", 1, v), EConvertError);
    EXPECT_THROW(ParseDateTime("24.12", "dd.MM", 1, v), EConvertError); // no year
    EXPECT_THROW(ParseDateTime("24:00", "HH:mm", 1, v), EConvertError);
    EXPECT_THROW(ParseDateTime("2020 99:00", "yyyy H:mm", 1, v), EConvertError);
    EXPECT_EQ(v, 42);
}

TEST(DateParse, DatesBeforeDayZeroKeepTheirTimeOfDay) {
    FixedYear fy;
    TDateTime v = 0;
    ASSERT_EQ(ParseDateTime("29.12.1899 06:00", "dd.MM.yyyy HH:mm", 1, v), dpOK);
    EXPECT_DOUBLE_EQ(v, -1.25);
    EXPECT_EQ(P("01.01.0001 18:30:15", "dd.MM.yyyy HH:mm:ss"), "0001-01-01 18:30:15");
    ASSERT_EQ(ParseDateTime("31.12.1899 06:00", "dd.MM.yyyy HH:mm", 1, v), dpOK);
    EXPECT_DOUBLE_EQ(v, 1.25);
}

TEST(DateParse, RoundTripThroughFormatDateTime) {
    FixedYear fy;
    const char* wide[] = {"dd.MM.yyyy",
                          "d.M.yyyy",
                          "yyyy-MM-dd",
                          "M/d/yyyy",
                          "MM/dd/yyyy",
                          "yyyyMMdd",
                          "dddd, MMMM d, yyyy",
                          "ddd, d MMM yyyy",
                          "d MMMM yyyy",
                          "dd.MM.yyyy HH:mm:ss",
                          "yyyy-MM-dd'T'HH:mm:ss",
                          "d.M.yyyy H:m:s",
                          "'Date:' dd.MM.yyyy 'at' HH:mm",
                          "HH:mm:ss",
                          "H:mm"};
    const char* window[] = {"dd.MM.yy", "yy-MM-dd HH:mm", "d/M/yy"};
    std::mt19937 rng(20201224);
    auto randomDate = [&](int yLo, int yHi) {
        const int y = std::uniform_int_distribution<int>(yLo, yHi)(rng);
        const int m = std::uniform_int_distribution<int>(1, 12)(rng);
        const int d = std::uniform_int_distribution<int>(1, DaysInAMonth(y, m))(rng);
        const TDateTime date = EncodeDate(y, m, d);
        const TDateTime time = EncodeTime(std::uniform_int_distribution<int>(0, 23)(rng),
                                          std::uniform_int_distribution<int>(0, 59)(rng),
                                          std::uniform_int_distribution<int>(0, 59)(rng), 0);
        return date < 0 ? date - time : date + time;
    };
    int checked = 0;
    auto check = [&](const char* pat, TDateTime x) {
        const std::string text = FormatDateTime(pat, x);
        TDateTime back = 0;
        ASSERT_EQ(ParseDateTime(text, pat, 1, back), dpOK) << pat << " " << text;
        ASSERT_EQ(FormatDateTime(pat, back), text) << pat;
        ++checked;
    };
    for (const char* pat : wide)
        for (int i = 0; i < 1000; ++i) check(pat, randomDate(1, 9999));
    for (const char* pat : window)
        for (int i = 0; i < 1000; ++i) check(pat, randomDate(1970, 2069));
    EXPECT_EQ(checked, 18000);
}

// The row editor writes a date cell back as its picker shows it: that text, 12-hour clock and
// one-letter markers included, reads back to the same text.
TEST(DateParse, RoundTripThroughThePickerText) {
    FixedYear fy;
    const char* patterns[] = {"M/d/yyyy",
                              "h:mm:ss tt",
                              "dd.MM.yyyy hh:mm tt",
                              "d MMM yyyy h:mm t",
                              "dddd, MMMM d, yyyy HH:mm:ss",
                              "ddd yyyy-MM-dd'T'H:m:s",
                              "'at' hh 'o''clock' tt"};
    std::mt19937 rng(77);
    int checked = 0;
    for (const char* pat : patterns)
        for (int i = 0; i < 1000; ++i) {
            const int y = std::uniform_int_distribution<int>(1900, 9999)(rng);
            const int m = std::uniform_int_distribution<int>(1, 12)(rng);
            const int d = std::uniform_int_distribution<int>(1, DaysInAMonth(y, m))(rng);
            const TDateTime x =
                EncodeDate(y, m, d) + EncodeTime(std::uniform_int_distribution<int>(0, 23)(rng),
                                                 std::uniform_int_distribution<int>(0, 59)(rng),
                                                 std::uniform_int_distribution<int>(0, 59)(rng), 0);
            const std::string text = FormatPickerText(pat, x);
            TDateTime back = 0;
            ASSERT_EQ(ParseDateTime(text, pat, lgEnglish, back), dpOK) << pat << " " << text;
            ASSERT_EQ(FormatPickerText(pat, back), text) << pat;
            ++checked;
        }
    EXPECT_EQ(checked, 7000);
    // Noon and midnight on the 12-hour clock.
    TDateTime v = 0;
    ASSERT_EQ(ParseDateTime(FormatPickerText("h:mm tt", 0.5), "h:mm tt", lgEnglish, v), dpOK);
    EXPECT_DOUBLE_EQ(v, 0.5);
    ASSERT_EQ(ParseDateTime(FormatPickerText("hh:mm t", 0.0), "hh:mm t", lgEnglish, v), dpOK);
    EXPECT_DOUBLE_EQ(v, 0.0);
}
