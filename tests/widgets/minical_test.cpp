// TMiniCal: the Easter rule against the Meeus/Jones/Butcher algorithm (1583..4099, the years
// around them and the floored years <= 0), the ISO week column for every day 1900..2100 against
// a week computed from civil day numbers, the cell mapping with Monday and Sunday first and the
// grey days, navigation at month ends and leap days, clicks on buttons and grey days with and
// without AutoSwitch, the keyboard, fixed and movable holidays with their captions and the hint,
// failed date settings, the cells filling the area, the colours of today, the selection, a
// selected holiday and the style services, and reference images of two months.
#include "KEL_MiniCal.h"

#include "Kel_kelcolors.h"

#include "kel_form_fixture.h"
#include "kel_messages.h"
#include "kel_streaming.h"
#include "kel_test_support.h"
#include "kel_themes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

// ---- Independent computations -----------------------------------------------------------------

// Easter Sunday by the Meeus/Jones/Butcher algorithm, with floored division so that it holds
// for years <= 0 as well.
std::int64_t FDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}
std::int64_t FMod(std::int64_t a, std::int64_t b) { return a - FDiv(a, b) * b; }

void MeeusEaster(std::int64_t Year, int& Day, int& Month) {
    const std::int64_t a = FMod(Year, 19), b = FDiv(Year, 100), c = FMod(Year, 100);
    const std::int64_t d = FDiv(b, 4), e = FMod(b, 4), f = FDiv(b + 8, 25);
    const std::int64_t g = FDiv(b - f + 1, 3);
    const std::int64_t h = FMod(19 * a + b - d - g + 15, 30);
    const std::int64_t i = FDiv(c, 4), k = FMod(c, 4);
    const std::int64_t l = FMod(32 + 2 * e + 2 * i - h - k, 7);
    const std::int64_t m = FDiv(a + 11 * h + 22 * l, 451);
    const std::int64_t n = h + l - 7 * m + 114;
    Month = int(FDiv(n, 31));
    Day = int(FMod(n, 31)) + 1;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian), by era arithmetic.
std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = FDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// ISO weekday 1 (Monday) .. 7 of a civil day number (1970-01-01 was a Thursday).
int IsoWeekday(std::int64_t days) { return int(FMod(days + 3, 7)) + 1; }

// ISO 8601 week: week 1 is the week holding 4 January.
int IsoWeek(std::int64_t days) {
    // The Thursday of the week decides the week-year.
    const std::int64_t thursday = days - IsoWeekday(days) + 4;
    // Year of that Thursday: step from an estimate.
    int y = int(FDiv(thursday * 400, 146097)) + 1970;
    while (DaysFromCivil(y + 1, 1, 1) <= thursday) ++y;
    while (DaysFromCivil(y, 1, 1) > thursday) --y;
    return int((thursday - DaysFromCivil(y, 1, 1)) / 7) + 1;
}

// ---- Fixture ----------------------------------------------------------------------------------

// A calendar of 300 x 180 on a white form, today fixed at 14 May 2024, 10:30.
class MiniCalTest : public FormTest {
  protected:
    MiniCalTest() : FormTest(320, 200) {}
    void SetUp() override {
        SetDateClock([] { return EncodeDate(2024, 5, 14) + 0.4375; });
        FormTest::SetUp();
        cal = new TMiniCal(form.get());
        cal->SetName("Cal1");
        cal->SetParent(form.get());
        cal->SetBounds(10, 10, 300, 180);
        cal->SetDate(EncodeDate(2024, 5, 20));
        cal->SetOnChange([this](TObject* s) {
            EXPECT_EQ(s, cal);
            ++changes;
        });
        headless::Flush();
    }
    void TearDown() override {
        FormTest::TearDown();
        SetDateClock({});
    }
    // Centre of a cell in the calendar's client coordinates.
    TPoint Centre(int c, int r) const {
        const TRect R = cal->CellRect(c, r);
        return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
    void ClickCell(int c, int r) {
        const TPoint p = Centre(c, r);
        ClickAt(*cal, p.X, p.Y);
    }
    TColor Pixel(int x, int y) { return PixelAt(*cal, x, y); }
    // The brush of a cell: a pixel near its top-left corner, away from text and circle.
    TColor CellBrush(int c, int r) {
        const TRect R = cal->CellRect(c, r);
        return Pixel(R.Left + 1, R.Top + 1);
    }
    std::string Ymd() const {
        return std::to_string(cal->Year()) + "-" + std::to_string(cal->Month()) + "-" +
               std::to_string(cal->Day());
    }
    std::string Caption(int y, int m, int d) const {
        std::string c;
        EXPECT_TRUE(cal->CheckHoliday(y, m, d, c)) << y << "-" << m << "-" << d;
        return c;
    }

    TMiniCal* cal = nullptr;
    int changes = 0;
};

// ---- Easter -----------------------------------------------------------------------------------

TEST(CalcEasterSunday, AgreesWithMeeusJonesButcherFrom1583To4099) {
    int d = 0, m = 0;
    CalcEasterSunday(2024, d, m);
    EXPECT_EQ(m * 100 + d, 331);
    CalcEasterSunday(2025, d, m);
    EXPECT_EQ(m * 100 + d, 420);
    CalcEasterSunday(2038, d, m); // the latest possible date
    EXPECT_EQ(m * 100 + d, 425);
    CalcEasterSunday(2285, d, m); // the earliest
    EXPECT_EQ(m * 100 + d, 322);
    for (int y = 1583; y <= 4099; ++y) {
        int ed = 0, em = 0, md = 0, mm = 0;
        CalcEasterSunday(y, ed, em);
        MeeusEaster(y, md, mm);
        ASSERT_EQ(em * 100 + ed, mm * 100 + md) << "year " << y;
    }
}

TEST(CalcEasterSunday, OutsideThatRangeTheGregorianRuleRunsOnForEveryYear) {
    // Proleptically before 1583 and on after 4099, the same rule as Meeus's.
    for (int y = 1; y < 1583; ++y) {
        int ed = 0, em = 0, md = 0, mm = 0;
        CalcEasterSunday(y, ed, em);
        MeeusEaster(y, md, mm);
        ASSERT_EQ(em * 100 + ed, mm * 100 + md) << "year " << y;
    }
    for (int y = 4100; y <= 40000; y += 7) {
        int ed = 0, em = 0, md = 0, mm = 0;
        CalcEasterSunday(y, ed, em);
        MeeusEaster(y, md, mm);
        ASSERT_EQ(em * 100 + ed, mm * 100 + md) << "year " << y;
    }
    // Years <= 0 divide with floors: the dates repeat after 5,700,000 years, so year y - 5.7e6
    // has the Easter of year y (truncating division would give days such as "March -3").
    for (int y = -3000; y <= 3000; ++y) {
        int ed = 0, em = 0, pd = 0, pm = 0;
        CalcEasterSunday(y, ed, em);
        CalcEasterSunday(y + 5700000, pd, pm);
        ASSERT_EQ(em * 100 + ed, pm * 100 + pd) << "year " << y;
    }
    // Every int is a valid date between 22 March and 25 April.
    for (int y : {INT_MIN, INT_MIN + 1, -1, 0, INT_MAX - 1, INT_MAX}) {
        int ed = 0, em = 0, md = 0, mm = 0;
        CalcEasterSunday(y, ed, em);
        MeeusEaster(y, md, mm);
        EXPECT_EQ(em * 100 + ed, mm * 100 + md) << "year " << y;
        EXPECT_TRUE((em == 3 && ed >= 22 && ed <= 31) || (em == 4 && ed >= 1 && ed <= 25))
            << "year " << y;
    }
}

// ---- Layout -----------------------------------------------------------------------------------

TEST_F(MiniCalTest, WeekColumnShowsTheIsoWeekOfEveryDayFrom1900To2100) {
    cal->SetOnChange({});
    // Monday first: each row is one ISO week, grey days included; and every day's own cell
    // (where UpdateCal puts the grid's current cell) shows it beside its week.
    for (int y = 1900; y <= 2100; ++y)
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInAMonth(y, m); ++d) {
                cal->SetDate(EncodeDate(y, m, d));
                ASSERT_EQ(cal->CellText(cal->Col(), cal->Row()), std::to_string(d));
                ASSERT_EQ(cal->CellText(0, cal->Row()),
                          std::to_string(IsoWeek(DaysFromCivil(y, m, d))))
                    << y << "-" << m << "-" << d;
            }
            const std::int64_t first = DaysFromCivil(y, m, 1);
            for (int r = 2; r <= 7; ++r) {
                const std::string shown = cal->CellText(0, r);
                for (int c = 1; c <= 7; ++c) {
                    const std::int64_t day = first + (7 * r + c + cal->MonOfs() - 15) - 1;
                    ASSERT_EQ(shown, std::to_string(IsoWeek(day))) << y << "-" << m << " r" << r;
                }
            }
        }
}

TEST_F(MiniCalTest, WithSundayFirstTheWeekIsThatOfTheRowsDayInTheColumnOfTheFirst) {
    cal->SetFirstDayOfWeek(dwSun);
    for (int y = 1999; y <= 2027; ++y)
        for (int m = 1; m <= 12; ++m) {
            cal->SetDate(EncodeDate(y, m, 1));
            for (int r = 2; r <= 7; ++r)
                ASSERT_EQ(cal->CellText(0, r),
                          std::to_string(IsoWeek(DaysFromCivil(y, m, 1) + 7 * (r - 2))))
                    << y << "-" << m << " r" << r;
        }
}

TEST_F(MiniCalTest, MonthsStartInRowTwoWithGreyDaysOnlyBeforeTheFirstWeekday) {
    // April 2024 begins on a Monday: the 1st at (1, 2), no grey day before it.
    cal->SetDate(EncodeDate(2024, 4, 10));
    EXPECT_EQ(cal->CellText(1, 2), "1");
    EXPECT_EQ(cal->CellText(2, 6), "30");
    EXPECT_EQ(cal->CellText(3, 6), "1"); // grey days of May fill rows 6..7
    EXPECT_EQ(cal->CellText(1, 7), "6");
    // September 2024 begins on a Sunday, the last day of a Monday week: six grey August days.
    cal->SetDate(EncodeDate(2024, 9, 10));
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(cal->CellText(c, 2), std::to_string(25 + c));
    EXPECT_EQ(cal->CellText(7, 2), "1");
    // March 2024 follows a leap February (26..29); January's grey days are December's 30, 31.
    cal->SetDate(EncodeDate(2024, 3, 1));
    EXPECT_EQ(cal->CellText(1, 2), "26");
    EXPECT_EQ(cal->CellText(4, 2), "29");
    EXPECT_EQ(cal->CellText(5, 2), "1");
    cal->SetDate(EncodeDate(2025, 1, 1));
    EXPECT_EQ(cal->CellText(1, 2), "30");
    EXPECT_EQ(cal->CellText(2, 2), "31");
    EXPECT_EQ(cal->CellText(3, 2), "1");
    // Header and weekday names.
    EXPECT_EQ(cal->CellText(5, 0), "Jan 2025");
    EXPECT_EQ(cal->CellText(1, 1), "Mon");
    EXPECT_EQ(cal->CellText(7, 1), "Sun");
    EXPECT_EQ(cal->CellText(0, 1), "#");
    EXPECT_EQ(cal->CellText(1, 0), "<<");
    EXPECT_EQ(cal->CellText(7, 0), ">>");
    cal->SetShowMonthShort(false);
    EXPECT_EQ(cal->CellText(5, 0), "January 2025");
    cal->SetMonth(9); // the longest names (10 characters) and a blank fit the 11
    EXPECT_EQ(cal->CellText(5, 0), "September 2025");
    cal->SetLanguage(lgFrench);
    EXPECT_EQ(cal->CellText(5, 0), "Septembre 2025");
    cal->SetShowMonthShort(true);
    EXPECT_EQ(cal->CellText(5, 0), "Sept 2025");
    cal->SetMonth(8); // "Août": four characters of two bytes' worth, cut by characters
    EXPECT_EQ(cal->CellText(5, 0), "Ao\xC3\xBBt 2025");
}

TEST_F(MiniCalTest, SundayFirstPutsSundayInColumnOneInItsColour) {
    changes = 0;
    cal->SetFirstDayOfWeek(dwSun);
    EXPECT_EQ(changes, 1);
    cal->SetFirstDayOfWeek(dwSun);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(cal->CellText(1, 1), "Sun");
    EXPECT_EQ(cal->CellText(2, 1), "Mon");
    EXPECT_EQ(cal->CellText(7, 1), "Sat");
    // September 2024 begins on a Sunday: now without grey days.
    cal->SetDate(EncodeDate(2024, 9, 10));
    EXPECT_EQ(cal->CellText(1, 2), "1");
    EXPECT_EQ(CellBrush(1, 3), cal->DayColors(dwSun));
    EXPECT_EQ(CellBrush(7, 3), cal->DayColors(dwSat));
    EXPECT_EQ(CellBrush(2, 3), cal->DayColors(dwMon));
    // Monday first again: Sunday's colour moves to column 7.
    cal->SetFirstDayOfWeek(dwMon);
    EXPECT_EQ(CellBrush(7, 3), cal->DayColors(dwSun));
    EXPECT_EQ(CellBrush(1, 3), cal->DayColors(dwMon));
    changes = 0;
    cal->SetDayColors(dwSun, 0x00FF00);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(CellBrush(7, 3), 0x00FF00u);
}

TEST_F(MiniCalTest, CellsFillTheClientAreaAtAnySize) {
    for (int w : {300, 301, 307, 150, 40}) {
        for (bool ctl3d : {true, false}) {
            cal->SetCtl3D(ctl3d);
            cal->SetBounds(10, 10, w, w * 3 / 5);
            // The last cells' lines end at the area's right and bottom edges.
            const TRect a = cal->ClientRect();
            EXPECT_EQ(cal->CellRect(7, 7).Right + 1, a.Right) << w << (ctl3d ? " 3d" : "");
            EXPECT_EQ(cal->CellRect(7, 7).Bottom + 1, a.Bottom) << w << (ctl3d ? " 3d" : "");
            EXPECT_EQ(cal->CellRect(1, 2).Width(), cal->CellRect(7, 2).Width());
            EXPECT_EQ(cal->CellRect(1, 2).Width(), (a.Width() - 7) / 8);
        }
    }
    cal->SetBounds(10, 10, 5, 3); // too small for lines: nothing negative, nothing thrown
    EXPECT_EQ(cal->DefaultColWidth(), 0);
    EXPECT_GE(cal->ColWidths(0), 0);
    headless::Flush();
}

// ---- Navigation -------------------------------------------------------------------------------

TEST_F(MiniCalTest, YearsAndMonthsStepToTheLastDayWhereTheDayIsMissing) {
    cal->SetDate(EncodeDate(2024, 2, 29));
    changes = 0;
    cal->NextYear();
    EXPECT_EQ(Ymd(), "2025-2-28");
    EXPECT_EQ(changes, 1);
    cal->SetDate(EncodeDate(2024, 2, 29));
    cal->PrevYear();
    EXPECT_EQ(Ymd(), "2023-2-28");
    cal->SetDate(EncodeDate(2024, 3, 31));
    cal->PrevMonth();
    EXPECT_EQ(Ymd(), "2024-2-29");
    cal->SetDate(EncodeDate(2025, 3, 31));
    cal->PrevMonth();
    EXPECT_EQ(Ymd(), "2025-2-28");
    cal->SetDate(EncodeDate(2024, 1, 31));
    cal->NextMonth();
    EXPECT_EQ(Ymd(), "2024-2-29");
    cal->SetDate(EncodeDate(2024, 12, 15));
    cal->NextMonth();
    EXPECT_EQ(Ymd(), "2025-1-15");
    cal->PrevMonth();
    EXPECT_EQ(Ymd(), "2024-12-15");
    cal->LastDayOfMonth();
    EXPECT_EQ(Ymd(), "2024-12-31");
    // The ends of the calendar: nothing happens, nothing is thrown; the last row of December
    // 9999 (into January 10000) has no week number, the one before has its week 52.
    cal->SetDate(EncodeDate(9999, 12, 31));
    EXPECT_EQ(cal->CellText(0, 6), "52");
    EXPECT_EQ(cal->CellText(0, 7), "");
    cal->SetDate(EncodeDate(1, 1, 1));
    EXPECT_EQ(cal->CellText(0, 2), "1");
    cal->SetDate(EncodeDate(9999, 12, 31));
    changes = 0;
    cal->NextMonth();
    cal->NextYear();
    EXPECT_EQ(Ymd(), "9999-12-31");
    cal->SetDate(EncodeDate(1, 1, 1));
    changes = 0;
    cal->PrevMonth();
    cal->PrevYear();
    EXPECT_EQ(Ymd(), "1-1-1");
    EXPECT_EQ(changes, 0);
    headless::Flush(); // both ends paint
}

TEST_F(MiniCalTest, HeaderButtonsNavigateAndHashSelectsToday) {
    cal->SetDate(EncodeDate(2024, 3, 31));
    changes = 0;
    ClickCell(2, 0);
    EXPECT_EQ(Ymd(), "2024-2-29");
    ClickCell(6, 0);
    EXPECT_EQ(Ymd(), "2024-3-29");
    ClickCell(7, 0);
    EXPECT_EQ(Ymd(), "2025-3-29");
    ClickCell(1, 0);
    EXPECT_EQ(Ymd(), "2024-3-29");
    EXPECT_EQ(changes, 4);
    for (int c = 3; c <= 5; ++c) ClickCell(c, 0); // the month caption
    ClickCell(3, 1);                              // a weekday name
    ClickCell(0, 4);                              // a week number
    EXPECT_EQ(Ymd(), "2024-3-29");
    EXPECT_EQ(changes, 4);
    ClickCell(0, 0); // "#", either half: today, with its time of day
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 5, 14) + 0.4375);
    cal->SetDate(EncodeDate(2020, 1, 1));
    ClickCell(0, 1);
    EXPECT_EQ(Ymd(), "2024-5-14");
    EXPECT_EQ(changes, 7);
    // Another button does nothing.
    const TPoint p = Centre(6, 0);
    ClickAt(*cal, p.X, p.Y, {}, mbRight);
    EXPECT_EQ(Ymd(), "2024-5-14");
}

TEST_F(MiniCalTest, ClicksOnGreyDaysSwitchMonthOnlyWithAutoSwitch) {
    // September 2024 with Monday first: (1, 2) is 26 August, (7, 7) is 6 October.
    cal->SetDate(EncodeDate(2024, 9, 10));
    changes = 0;
    cal->SetAutoSwitch(false);
    ClickCell(1, 2);
    ClickCell(7, 7);
    EXPECT_EQ(Ymd(), "2024-9-10");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(cal->Col(), 2); // the grid's cell stays on the selected day
    EXPECT_EQ(cal->Row(), 4);
    ClickCell(3, 5); // a day of the month: selected, OnChange once
    EXPECT_EQ(Ymd(), "2024-9-18");
    EXPECT_EQ(changes, 1);
    cal->SetAutoSwitch(true);
    ClickCell(1, 2);
    EXPECT_EQ(Ymd(), "2024-8-26");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(cal->CellText(5, 0), "Aug 2024");
    cal->SetDate(EncodeDate(2024, 9, 10));
    ClickCell(7, 7);
    EXPECT_EQ(Ymd(), "2024-10-6");
    // Across the year: January's grey days are December's, December's are January's.
    cal->SetDate(EncodeDate(2025, 1, 15));
    ClickCell(1, 2); // 30 December 2024
    EXPECT_EQ(Ymd(), "2024-12-30");
    ClickCell(7, 7); // December 2024 starts on a Sunday: its last row ends on 5 January
    EXPECT_EQ(Ymd(), "2025-1-5");
    // Grey days before the year 1 select nothing.
    cal->SetDate(EncodeDate(1, 1, 15));
    const int before = changes;
    int c = 1;
    while (cal->CellText(c, 2) != "1") {
        ClickCell(c, 2);
        ++c;
    }
    EXPECT_EQ(Ymd(), "1-1-15");
    EXPECT_EQ(changes, before);
}

TEST_F(MiniCalTest, DraggingDoesNotMoveTheGridsCellAndReleaseFiresNoMouseUp) {
    int ups = 0;
    cal->SetOnMouseUp([&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; });
    const TPoint a = Centre(2, 3), b = Centre(5, 6);
    Drag(*cal, a.X, a.Y, b.X, b.Y);
    EXPECT_EQ(Ymd(), "2024-5-7"); // the press selected; the drag and the release did nothing
    EXPECT_EQ(cal->Col(), 2);
    EXPECT_EQ(cal->Row(), 3);
    EXPECT_EQ(ups, 0);
}

TEST_F(MiniCalTest, KeysMoveTheSelectedDate) {
    cal->SetFocus();
    changes = 0;
    KeyStroke(*form, VK_RIGHT);
    EXPECT_EQ(Ymd(), "2024-5-21");
    KeyStroke(*form, VK_DOWN);
    EXPECT_EQ(Ymd(), "2024-5-28");
    KeyStroke(*form, VK_DOWN);
    EXPECT_EQ(Ymd(), "2024-6-4");
    KeyStroke(*form, VK_UP);
    KeyStroke(*form, VK_LEFT);
    EXPECT_EQ(Ymd(), "2024-5-27");
    KeyStroke(*form, VK_NEXT);
    EXPECT_EQ(Ymd(), "2024-6-27");
    KeyStroke(*form, VK_PRIOR, {ssCtrl});
    EXPECT_EQ(Ymd(), "2023-6-27");
    KeyStroke(*form, VK_END);
    EXPECT_EQ(Ymd(), "2023-6-30");
    KeyStroke(*form, VK_HOME);
    EXPECT_EQ(Ymd(), "2023-6-1");
    EXPECT_EQ(changes, 9);
    // OnKeyDown may take a key first.
    cal->SetOnKeyDown([](TObject*, std::uint16_t& Key, TShiftState) { Key = 0; });
    KeyStroke(*form, VK_RIGHT);
    EXPECT_EQ(Ymd(), "2023-6-1");
}

// ---- Setting the date -------------------------------------------------------------------------

TEST_F(MiniCalTest, PartsThatMakeNoDateRaiseAndChangeNothing) {
    cal->SetDate(EncodeDate(2024, 1, 31));
    changes = 0;
    EXPECT_THROW(cal->SetMonth(2), EConvertError); // 31 February
    EXPECT_THROW(cal->SetMonth(0), EConvertError);
    EXPECT_THROW(cal->SetDay(0), EConvertError);
    EXPECT_THROW(cal->SetYear(0), EConvertError);
    EXPECT_THROW(cal->SetDate(MaxDateTime + 1), EConvertError);
    EXPECT_EQ(Ymd(), "2024-1-31");
    EXPECT_EQ(changes, 0);
    // Out of the tested range: re-encoded unchanged, the time of day dropped, OnChange fires.
    cal->SetDate(EncodeDate(2024, 1, 31) + 0.75);
    changes = 0;
    cal->SetMonth(13);
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 1, 31));
    cal->SetDay(32);
    cal->SetYear(-5);
    EXPECT_EQ(changes, 3);
    cal->SetYear(2023);
    cal->SetDay(30);
    cal->SetMonth(4);
    EXPECT_EQ(Ymd(), "2023-4-30");
    changes = 0;
    cal->SetDate(cal->Date()); // equal: nothing
    EXPECT_EQ(changes, 0);
}

// ---- Holidays ---------------------------------------------------------------------------------

TEST_F(MiniCalTest, MovableHolidaysFollowEaster) {
    EXPECT_EQ(Caption(2024, 3, 31), "Easter Day");
    EXPECT_EQ(Caption(2024, 4, 1), "Easter Monday");
    EXPECT_EQ(Caption(2024, 5, 9), "Ascension Day");
    EXPECT_EQ(Caption(2024, 5, 19), "Pentecost");
    EXPECT_EQ(Caption(2024, 5, 20), "Whit Monday");
    EXPECT_EQ(Caption(2024, 5, 30), "Corpus Christi");
    EXPECT_EQ(Caption(2038, 6, 24), "Corpus Christi"); // Easter on 25 April
    std::string c = "x";
    EXPECT_FALSE(cal->CheckHoliday(2024, 4, 2, c));
    EXPECT_EQ(c, "");
    EXPECT_FALSE(cal->CheckHoliday(2024, 5, 31, c));
    // July never has one, whatever the year (Corpus Christi is at the latest on 24 June).
    for (int y = 1600; y <= 2400; ++y)
        for (int d = 1; d <= 31; ++d) ASSERT_FALSE(cal->CheckHoliday(y, 7, d, c)) << y;
    cal->SetShowMovableHolidays(false);
    EXPECT_FALSE(cal->CheckHoliday(2024, 3, 31, c));
    EXPECT_EQ(Caption(2024, 5, 1), "Labor Day"); // fixed ones stay
}

TEST_F(MiniCalTest, HolidaysOfOneYearAndOfEveryYear) {
    EXPECT_EQ(cal->NumHolidays(), 8);
    EXPECT_EQ(Caption(1999, 12, 25), "Christmas Day");
    cal->AddHoliday(3, 10, 2024, "Once");
    cal->AddRepeatHoliday(4, 10, "Yearly");
    EXPECT_EQ(cal->NumHolidays(), 10);
    EXPECT_EQ(Caption(2024, 10, 3), "Once");
    std::string c;
    EXPECT_FALSE(cal->CheckHoliday(2025, 10, 3, c));
    EXPECT_EQ(Caption(2025, 10, 4), "Yearly");
    EXPECT_EQ(Caption(1900, 10, 4), "Yearly");
    // A fixed holiday hides a movable one on the same day; the first matching row wins.
    cal->AddHoliday(1, 4, 2024, "Fixed on Easter Monday");
    cal->AddHoliday(1, 4, 2024, "Second");
    EXPECT_EQ(Caption(2024, 4, 1), "Fixed on Easter Monday");
    EXPECT_EQ(Caption(2025, 4, 21), "Easter Monday");

    int d = -1, m = -1, y = -1;
    bool rep = false;
    std::string desc = "untouched";
    EXPECT_FALSE(cal->RetrieveHoliday(0, d, m, y, rep, desc));
    EXPECT_FALSE(cal->RetrieveHoliday(cal->NumHolidays() + 1, d, m, y, rep, desc));
    EXPECT_EQ(d, -1);
    EXPECT_EQ(desc, "untouched");
    ASSERT_TRUE(cal->RetrieveHoliday(1, d, m, y, rep, desc));
    EXPECT_EQ(d * 100 + m, 2512);
    EXPECT_EQ(y, RepeatHolidayYear);
    EXPECT_TRUE(rep);
    EXPECT_EQ(desc, "Christmas Day");
    ASSERT_TRUE(cal->RetrieveHoliday(9, d, m, y, rep, desc));
    EXPECT_EQ(y, 2024);
    EXPECT_FALSE(rep);
    EXPECT_EQ(desc, "Once");
    ASSERT_TRUE(cal->RetrieveHoliday(cal->NumHolidays(), d, m, y, rep, desc));
    EXPECT_EQ(desc, "Second");

    // SetLanguage, even to the same language, restores the eight built-in ones only.
    cal->SetLanguage(lgEnglish);
    EXPECT_EQ(cal->NumHolidays(), 8);
    EXPECT_FALSE(cal->CheckHoliday(2025, 10, 4, c));
    ASSERT_TRUE(cal->RetrieveHoliday(8, d, m, y, rep, desc));
    EXPECT_EQ(desc, "Labor Day");
    EXPECT_EQ(d * 100 + m, 105);
    cal->ClearHolidayList();
    EXPECT_EQ(cal->NumHolidays(), 0);
    EXPECT_FALSE(cal->CheckHoliday(2024, 12, 25, c));
    EXPECT_EQ(Caption(2024, 3, 31), "Easter Day");
}

TEST_F(MiniCalTest, CaptionsFollowTheLanguageAndOtherLanguagesShowEnglish) {
    cal->SetLanguage(lgGerman);
    EXPECT_EQ(Caption(2024, 12, 26), "Stephanitag");
    EXPECT_EQ(Caption(2024, 5, 20), "Pfingstmontag");
    EXPECT_EQ(cal->CellText(1, 1), "Mo");
    cal->SetLanguage(lgFrench);
    EXPECT_EQ(Caption(2024, 12, 8), "Immacul\xC3\xA9"
                                    "e Conception");
    EXPECT_EQ(Caption(2024, 3, 31), "Le jour de P\xC3\xA2ques");
    cal->SetLanguage(lgSpanish);
    EXPECT_EQ(Caption(2024, 1, 6), "Epifan\xC3\xAD"
                                   "a");
    EXPECT_EQ(Caption(2024, 5, 30), "Corpus Cristi");
    for (TLanguage l : {lgNeutral, lgItalian, lgDutch}) {
        cal->SetLanguage(l);
        EXPECT_EQ(Caption(2024, 1, 1), "New Year's Day") << int(l);
        EXPECT_EQ(Caption(2024, 4, 1), "Easter Monday") << int(l);
    }
    EXPECT_EQ(cal->CellText(1, 1), "Ma");      // the names are Dutch
    cal->SetLanguage(TLanguage(NumLanguages)); // not a language: ignored
    EXPECT_EQ(cal->Language(), lgDutch);
}

TEST_F(MiniCalTest, HintFollowsTheSelectedHoliday) {
    EXPECT_EQ(cal->Hint(), "Whit Monday");
    ClickCell(3, 4); // 15 May
    EXPECT_EQ(cal->Hint(), "");
    cal->SetDate(EncodeDate(2024, 5, 1));
    EXPECT_EQ(cal->Hint(), "Labor Day");
    cal->SetIndicateHolidays(false);
    EXPECT_EQ(cal->Hint(), "");
    cal->SetIndicateHolidays(true);
    cal->SetShowHolidayHint(false);
    EXPECT_EQ(cal->Hint(), "");
    cal->SetHint("mine");
    cal->SetDate(EncodeDate(2024, 12, 25));
    EXPECT_EQ(cal->Hint(), "mine"); // no longer the calendar's
    cal->SetShowHint(false);
    cal->SetShowHolidayHint(true);
    EXPECT_TRUE(cal->ShowHint());
    EXPECT_EQ(cal->Hint(), "Christmas Day");
}

// ---- Colours ----------------------------------------------------------------------------------

TEST_F(MiniCalTest, SelectionHolidaysAndTodayHaveTheirColours) {
    // 20 May 2024 is selected and Whit Monday: the mean of both backgrounds.
    const TColor mean = MeanColor(cal->ColorSelectedBg(), cal->ColorHolidayBg());
    EXPECT_EQ(CellBrush(1, 5), mean);
    EXPECT_EQ(CellBrush(4, 3), cal->ColorHolidayBg()); // 9 May, Ascension
    EXPECT_EQ(CellBrush(3, 3), cal->DayColors(dwWed)); // 8 May
    EXPECT_EQ(CellBrush(1, 2), cal->DayColors(dwMon)); // 29 April, grey
    cal->SetDate(EncodeDate(2024, 5, 21));
    EXPECT_EQ(CellBrush(2, 5), cal->ColorSelectedBg());
    EXPECT_EQ(CellBrush(1, 5), cal->ColorHolidayBg());
    cal->SetIndicateHolidays(false);
    EXPECT_EQ(CellBrush(1, 5), cal->DayColors(dwMon));
    // Today (14 May, cell (2, 4)) has a circle in ColorToday: on the vertical middle line of
    // the cell, two pixels inside its top.
    const TRect t = cal->CellRect(2, 4);
    const int mx = (t.Left + t.Right - 1) / 2;
    EXPECT_EQ(Pixel(mx, t.Top + 2), TColor(clRed));
    cal->SetColorToday(0x00AA00);
    EXPECT_EQ(Pixel(mx, t.Top + 2), 0x00AA00u);
    cal->SetMarkToday(false);
    EXPECT_EQ(Pixel(mx, t.Top + 2), cal->DayColors(dwTue));
    cal->SetMarkToday(true);
    cal->SetMonth(6); // another month: no circle on 14 June
    const TRect j = cal->CellRect(5, 4);
    EXPECT_EQ(cal->CellText(5, 4), "14");
    EXPECT_EQ(Pixel((j.Left + j.Right - 1) / 2, j.Top + 2), cal->DayColors(dwFri));
    // Weekday names and week numbers.
    cal->SetColorDayIdBg(0x112233);
    cal->SetColorWeekNoBg(0x445566);
    EXPECT_EQ(CellBrush(3, 1), 0x112233u);
    EXPECT_EQ(CellBrush(0, 3), 0x445566u);
}

// A style of distinct colours for buttons and their text.
class TTestStyle : public TCustomStyleServices {
  public:
    std::string Name() const override { return "Test"; }
    TColor GetStyleColor(TStyleColor Element) const override {
        if (Element == scButtonFace) return 0x204060;
        if (Element == scButtonText) return 0x00FFFF;
        return TCustomStyleServices::GetStyleColor(Element);
    }
};

TEST_F(MiniCalTest, ButtonColoursComeFromTheStyleServices) {
    const TRect r = cal->CellRect(6, 0), caption = cal->CellRect(5, 0);
    // The built-in style: the button face of the system (framed by the 3-D lines).
    EXPECT_EQ(Pixel(r.Left + 3, r.Top + 3), ColorToRGB(clBtnFace));
    TTestStyle style;
    SetStyleServices(&style);
    cal->Invalidate();
    EXPECT_EQ(Pixel(r.Left + 3, r.Top + 3), 0x204060u);
    TBitmap bmp;
    Snapshot(*cal, bmp);
    bool yellowText = false;
    for (int y = caption.Top; y < caption.Bottom; ++y)
        for (int x = caption.Left; x < caption.Right; ++x)
            yellowText |= bmp.Canvas().Pixels(x, y) == 0x00FFFFu;
    EXPECT_TRUE(yellowText);
    // Without seBorder the face is the classic one again.
    cal->SetStyleElements({seFont});
    cal->Invalidate();
    EXPECT_EQ(Pixel(r.Left + 3, r.Top + 3), ColorToRGB(clBtnFace));
    SetStyleServices(nullptr);
    // The 3-D frame only with Ctl3D.
    EXPECT_EQ(Pixel(r.Left, r.Top + 3), TColor(clWhite));
    EXPECT_EQ(Pixel(r.Right - 1, r.Top + 3), 0x9CA0A5u);
    cal->SetCtl3D(false);
    const TRect f = cal->CellRect(6, 0);
    EXPECT_EQ(Pixel(f.Left, f.Top + 3), ColorToRGB(clBtnFace));
}

// ---- Form files -------------------------------------------------------------------------------

TEST_F(MiniCalTest, PublishedPropertiesRoundTripThroughAFormFile) {
    cal->SetFirstDayOfWeek(dwSun);
    cal->SetLanguage(lgSpanish);
    cal->SetAutoSwitch(false);
    cal->SetColorHolidayBg(0x123456);
    cal->SetShowMonthShort(false);
    const std::string text = ComponentToText(*cal);
    EXPECT_EQ(text.find("Date"), std::string::npos); // the date is not streamed
    std::unique_ptr<TComponent> copy(ComponentFromText(text, nullptr));
    auto* c = dynamic_cast<TMiniCal*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->FirstDayOfWeek(), dwSun);
    EXPECT_EQ(c->Language(), lgSpanish);
    EXPECT_FALSE(c->AutoSwitch());
    EXPECT_EQ(c->ColorHolidayBg(), 0x123456u);
    EXPECT_FALSE(c->ShowMonthShort());
    EXPECT_TRUE(c->MarkToday());
    EXPECT_EQ(c->NumHolidays(), 8);
    EXPECT_EQ(c->Width(), 300);
}

TEST_F(MiniCalTest, AFormFilesHintStaysWithoutTheHolidayHintAndFollowsTheDayWithIt) {
    cal->SetDate(EncodeDate(2024, 12, 25));
    cal->SetShowHolidayHint(false);
    cal->SetIndicateHolidays(false);
    cal->SetHint("Pick a day");
    std::unique_ptr<TComponent> copy(ComponentFromText(ComponentToText(*cal), nullptr));
    auto* c = dynamic_cast<TMiniCal*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Hint(), "Pick a day");
    // With the holiday hint on, Loaded gives the day's caption (today, 14 May, has none).
    cal->SetShowHolidayHint(true);
    cal->SetIndicateHolidays(true);
    cal->SetHint("Pick a day");
    copy.reset(ComponentFromText(ComponentToText(*cal), nullptr));
    EXPECT_EQ(dynamic_cast<TMiniCal*>(copy.get())->Hint(), "");
}

// A calendar created on a holiday holds that day's caption as its hint; the hint is stored only
// where it is the calendar's own, so a file does not depend on the day it was written or read.
TEST_F(MiniCalTest, OnAHolidayAFormFileNeitherStoresNorKeepsTheCaptionHint) {
    SetDateClock([] { return EncodeDate(2026, 12, 8) + 0.5; });
    TMiniCal fresh(nullptr);
    EXPECT_EQ(fresh.Hint(), "Immaculate Conception");
    EXPECT_EQ(ComponentToText(fresh), "object TMiniCal\nend\n");

    // Written without the holiday hint and without a hint of its own, read on the holiday.
    fresh.SetShowHolidayHint(false);
    EXPECT_EQ(fresh.Hint(), "");
    const std::string text = ComponentToText(fresh);
    EXPECT_EQ(text.find(" Hint ="), std::string::npos) << text;
    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    EXPECT_EQ(static_cast<TMiniCal*>(back.get())->Hint(), "");

    // A hint of its own is stored and kept.
    fresh.SetHint("Pick a day");
    back.reset(ComponentFromText(ComponentToText(fresh), nullptr));
    EXPECT_EQ(static_cast<TMiniCal*>(back.get())->Hint(), "Pick a day");

    // With the holiday hint on, a hint set by hand is the caption's to replace: not stored.
    auto* on = new TMiniCal(form.get());
    on->SetHint("stale");
    EXPECT_EQ(ComponentToText(*on).find("stale"), std::string::npos);
    delete on;
}

// ---- Pictures ---------------------------------------------------------------------------------

TEST_F(MiniCalTest, ReferenceMonthWithHolidaysTodayAndSelection) {
    // May 2024: Labor Day, Ascension, Pentecost, Corpus Christi; today the 14th; the 20th
    // (Whit Monday) selected.
    TBitmap bmp;
    Snapshot(*cal, bmp);
    EXPECT_TRUE(MatchesReferenceAndDocs(bmp, "widgets", "minical_may2024"));
}

TEST_F(MiniCalTest, ReferenceSundayFirstGermanLongNames) {
    cal->SetFirstDayOfWeek(dwSun);
    cal->SetLanguage(lgGerman);
    cal->SetShowMonthShort(false);
    cal->SetDate(EncodeDate(2024, 12, 24));
    cal->AddHoliday(31, 12, 2024, "Silvester");
    TBitmap bmp;
    Snapshot(*cal, bmp);
    EXPECT_TRUE(MatchesReferenceAndDocs(bmp, "widgets", "minical_dec2024_de_sunday"));
}

} // namespace
} // namespace kel::test
