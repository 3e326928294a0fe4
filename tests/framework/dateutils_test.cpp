// Date routines: day numbers and their inverse (also before 1899), millisecond rounding,
// leap years, weekdays, ISO weeks at year boundaries, FormatDateTime's specifiers, invalid
// dates and the two-digit-year window.
#include "kel_dateutils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace kel;

namespace {

TDateTime DT(int y, int m, int d, int h = 0, int n = 0, int s = 0, int ms = 0) {
    return EncodeDate(y, m, d) + EncodeTime(h, n, s, ms);
}

std::string Ymd(TDateTime v) {
    int y, m, d;
    DecodeDate(v, y, m, d);
    return std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d);
}

std::string Hms(TDateTime v) {
    int h, n, s, ms;
    DecodeTime(v, h, n, s, ms);
    return std::to_string(h) + ":" + std::to_string(n) + ":" + std::to_string(s) + "." +
           std::to_string(ms);
}

// A fixed clock for the tests that read the current date.
struct FixedClock {
    explicit FixedClock(TDateTime t) {
        SetDateClock([t] { return t; });
    }
    ~FixedClock() { SetDateClock(nullptr); }
};

} // namespace

TEST(DateUtils, DayNumbersMatchTheKnownAnchors) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(1996, 1, 1), 35065.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_EQ(DT(1900, 1, 1, 18), 2.75);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
}

TEST(DateUtils, DecodingInvertsEncodingAcrossTheWholeRange) {
    for (int y : {1, 4, 100, 1582, 1600, 1899, 1900, 2000, 2024, 9999})
        for (int m = 1; m <= 12; ++m)
            for (int d : {1, 15, DaysInAMonth(y, m)}) {
                int yy, mm, dd;
                DecodeDate(EncodeDate(y, m, d), yy, mm, dd);
                ASSERT_EQ(yy * 10000 + mm * 100 + dd, y * 10000 + m * 100 + d);
            }
    // Consecutive day numbers are consecutive dates over a long stretch, leap days included.
    int py, pm, pd;
    DecodeDate(-800.0, py, pm, pd);
    for (int n = -799; n < 1200; ++n) {
        int y, m, d;
        DecodeDate(n, y, m, d);
        const bool next = (y == py && m == pm && d == pd + 1) ||
                          (y == py && m == pm + 1 && d == 1 && pd == DaysInAMonth(py, pm)) ||
                          (y == py + 1 && m == 1 && d == 1 && pm == 12 && pd == 31);
        ASSERT_TRUE(next) << n;
        py = y, pm = m, pd = d;
    }
}

TEST(DateUtils, NegativeValuesTakeTheDayFromTheIntegralPartAndTheTimeWithoutSign) {
    EXPECT_EQ(Ymd(-1.25), "1899-12-29");
    EXPECT_EQ(Hms(-1.25), "6:0:0.0");
    EXPECT_EQ(Ymd(-0.5), "1899-12-30"); // between -1 and 0: day 0
    EXPECT_EQ(Hms(-0.5), "12:0:0.0");
    EXPECT_EQ(Ymd(EncodeDate(1850, 3, 1)), "1850-3-1");
    EXPECT_LT(EncodeDate(1850, 3, 1), 0.0);
}

TEST(DateUtils, DecodingRoundsToTheMillisecondBeforeSplitting) {
    EXPECT_EQ(Ymd(0.99999999999), "1899-12-31");
    EXPECT_EQ(Hms(0.99999999999), "0:0:0.0");
    EXPECT_EQ(Hms(DT(2020, 5, 6, 23, 59, 59, 999)), "23:59:59.999");
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", 0.99999999999), "00:00:00.000");
}

TEST(DateUtils, InvalidDatesAndTimesRaiseConvertErrors) {
    for (auto [y, m, d] : {std::tuple{2023, 2, 29},
                           {1900, 2, 29},
                           {2024, 13, 1},
                           {2024, 0, 1},
                           {2024, 4, 31},
                           {0, 1, 1},
                           {10000, 1, 1},
                           {2024, 1, 0}}) {
        TDateTime r = 42;
        EXPECT_FALSE(TryEncodeDate(y, m, d, r));
        EXPECT_EQ(r, 42.0);
        try {
            EncodeDate(y, m, d);
            ADD_FAILURE() << y << "-" << m << "-" << d << " accepted";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument to date encode");
        }
    }
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    for (auto [h, n, s, ms] :
         {std::tuple{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}}) {
        try {
            EncodeTime(h, n, s, ms);
            ADD_FAILURE() << h << ":" << n << ":" << s << "." << ms << " accepted";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument to time encode");
        }
    }
    // Values outside the calendar cannot be decoded or formatted.
    EXPECT_THROW(Ymd(1e12), EConvertError);
    EXPECT_THROW(Ymd(-693595.0), EConvertError);
    EXPECT_THROW(FormatDateTime("c", std::nan("")), EConvertError);
    EXPECT_THROW(DaysInAMonth(2024, 13), EConvertError);
}

TEST(DateUtils, LeapYearsAndMonthLengths) {
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
    EXPECT_EQ(DaysInAMonth(2023, 4), 30);
    EXPECT_EQ(DaysInAMonth(2023, 12), 31);
    EXPECT_EQ(DaysInAYear(2000), 366);
}

TEST(DateUtils, WeekdaysCountFromMondayOrFromSunday) {
    EXPECT_EQ(DayOfTheWeek(0), DaySaturday); // 1899-12-30
    EXPECT_EQ(DayOfWeek(0), 7);
    EXPECT_EQ(DayOfTheWeek(EncodeDate(2024, 1, 1)), DayMonday);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);
    EXPECT_EQ(DayOfTheWeek(EncodeDate(2023, 12, 31)), DaySunday);
    EXPECT_EQ(DayOfWeek(EncodeDate(2023, 12, 31)), 1);
    EXPECT_EQ(DayOfTheWeek(EncodeDate(1850, 1, 1)), DayTuesday); // before day 0
    EXPECT_EQ(DayOfTheWeek(EncodeDate(1, 1, 1)), DayMonday);
    EXPECT_EQ(DayOfTheWeek(DT(2024, 1, 1, 23, 59)), DayMonday);
}

TEST(DateUtils, IsoWeeksAtYearBoundaries) {
    int y = 0;
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2005, 1, 1), y), 53);
    EXPECT_EQ(y, 2004);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2006, 1, 1), y), 52);
    EXPECT_EQ(y, 2005);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2012, 12, 31), y), 1);
    EXPECT_EQ(y, 2013);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2020, 12, 31)), 53);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2016, 1, 3)), 53);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2016, 1, 4)), 1);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(2024, 12, 30), y), 1);
    EXPECT_EQ(y, 2025);
    EXPECT_EQ(WeekOf(EncodeDate(2024, 6, 15)), 24);
    EXPECT_EQ(WeekOfTheYear(EncodeDate(1899, 12, 31), y), 52); // a Sunday in 1899
    EXPECT_EQ(y, 1899);
}

TEST(DateUtils, FormatDateTimeDateSpecifiers) {
    const TDateTime t = DT(2024, 3, 5, 14, 7, 9, 45); // a Tuesday
    EXPECT_EQ(FormatDateTime("d dd ddd dddd", t), "5 05 Tue Tuesday");
    EXPECT_EQ(FormatDateTime("ddddd", t), "3/5/2024");
    EXPECT_EQ(FormatDateTime("dddddd", t), "Tuesday, March 5, 2024");
    EXPECT_EQ(FormatDateTime("m mm mmm mmmm", t), "3 03 Mar March");
    EXPECT_EQ(FormatDateTime("y yy yyy yyyy", t), "24 24 2024 2024");
    EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(5, 1, 1)), "0005");
    EXPECT_EQ(FormatDateTime("YYYY-MM-DD", t), "2024-03-05");
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy", t), "05/03/2024");
}

TEST(DateUtils, FormatDateTimeTimeSpecifiersAndTheMinutesRule) {
    const TDateTime t = DT(2024, 3, 5, 14, 7, 9, 45);
    EXPECT_EQ(FormatDateTime("h hh n nn s ss z zzz", t), "14 14 7 07 9 09 45 045");
    EXPECT_EQ(FormatDateTime("hh:mm", t), "14:07");
    EXPECT_EQ(FormatDateTime("HH:MM", t), "14:07");
    EXPECT_EQ(FormatDateTime("hh.mm", t), "14.07");
    EXPECT_EQ(FormatDateTime("hh:nn:mm", t), "14:07:03"); // month: the last specifier was n
    EXPECT_EQ(FormatDateTime("hh mmm", t), "14 Mar");
    EXPECT_EQ(FormatDateTime("t", t), "2:07 PM");
    EXPECT_EQ(FormatDateTime("tt", t), "2:07:09 PM");
}

TEST(DateUtils, FormatDateTimeTwelveHourClockCopiesTheMarkerCase) {
    EXPECT_EQ(FormatDateTime("h:nn am/pm", DT(2024, 1, 1, 0, 5)), "12:05 am");
    EXPECT_EQ(FormatDateTime("h:nn AM/PM", DT(2024, 1, 1, 12, 5)), "12:05 PM");
    EXPECT_EQ(FormatDateTime("hh:nn Am/Pm", DT(2024, 1, 1, 13, 5)), "01:05 Pm");
    EXPECT_EQ(FormatDateTime("h a/p", DT(2024, 1, 1, 11)), "11 a");
    EXPECT_EQ(FormatDateTime("h A/P", DT(2024, 1, 1, 23)), "11 P");
    EXPECT_EQ(FormatDateTime("h ampm", DT(2024, 1, 1, 9)), "9 AM");
    EXPECT_EQ(FormatDateTime("h", DT(2024, 1, 1, 23)), "23"); // no marker: 24-hour clock
}

TEST(DateUtils, FormatDateTimeCopiesQuotedTextAndOtherCharacters) {
    const TDateTime t = DT(2024, 3, 5, 14, 7);
    EXPECT_EQ(FormatDateTime("'day' d \"of\" mmmm", t), "day 5 of March");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd[x]", t), "2024-03-05[x]");
    EXPECT_EQ(FormatDateTime("'unclosed", t), "unclosed");
}

TEST(DateUtils, FormatDateTimeCLeavesOutAMidnightTime) {
    EXPECT_EQ(FormatDateTime("c", DT(2024, 3, 5)), "3/5/2024");
    EXPECT_EQ(FormatDateTime("c", DT(2024, 3, 5, 14, 7, 9)), "3/5/2024 2:07:09 PM");
    EXPECT_EQ(FormatDateTime("", DT(2024, 3, 5, 0, 0, 1)), "3/5/2024 12:00:01 AM");
    EXPECT_EQ(FormatDateTime("c", -1.25), "12/29/1899 6:00:00 AM");
}

TEST(DateUtils, TheClockDrivesNowDateAndCurrentYear) {
    FixedClock clock(DT(2031, 7, 8, 9, 10, 11, 12));
    EXPECT_EQ(Now(), DT(2031, 7, 8, 9, 10, 11, 12));
    EXPECT_EQ(Date(), EncodeDate(2031, 7, 8));
    EXPECT_EQ(CurrentYear(), 2031);
}

TEST(DateUtils, SystemClockGivesAPlausibleNow) {
    const TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
    EXPECT_LT(now, EncodeDate(2200, 1, 1));
}

TEST(DateUtils, TwoDigitYearsFollowTheCenturyWindow) {
    EXPECT_EQ(ExpandTwoDigitYear(3, 2020, 50), 2003);
    EXPECT_EQ(ExpandTwoDigitYear(68, 2020, 50), 2068);
    EXPECT_EQ(ExpandTwoDigitYear(50, 2020, 50), 2050);
    EXPECT_EQ(ExpandTwoDigitYear(3, 1998, 0), 1903);
    EXPECT_EQ(ExpandTwoDigitYear(68, 1998, 0), 1968);
    EXPECT_EQ(ExpandTwoDigitYear(3, 1998, 50), 2003);
    EXPECT_EQ(ExpandTwoDigitYear(68, 1998, 50), 1968);
    EXPECT_EQ(ExpandTwoDigitYear(50, 1998, 50), 1950);
    EXPECT_EQ(ExpandTwoDigitYear(99, 2020, 50), 1999);
    EXPECT_EQ(ExpandTwoDigitYear(0, 2070, 0), 2000);

    EXPECT_EQ(TwoDigitYearCenturyWindow(), 50);
    FixedClock clock(EncodeDate(1998, 6, 1));
    EXPECT_EQ(ExpandTwoDigitYear(47), 2047); // pivot 1948
    EXPECT_EQ(ExpandTwoDigitYear(48), 1948);
    SetTwoDigitYearCenturyWindow(0);
    EXPECT_EQ(ExpandTwoDigitYear(47), 1947);
    SetTwoDigitYearCenturyWindow(50);
}
