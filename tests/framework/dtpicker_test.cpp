// The date-time picker: the picker format, fields stepped and wrapped by Up/Down, typed digits
// and years, OnChange for user changes only, the drop-down month calendar, and a picture.
#include "controls_test_util.h"
#include "kel_dtpicker.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

namespace kel::test {
namespace {

class PickerTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        SetDateClock([] { return EncodeDate(2026, 12, 7) + EncodeTime(12, 0, 0, 0); });
        p = new TDateTimePicker(form.get());
        p->SetParent(form.get());
        p->SetBounds(10, 10, 150, 21);
        p->SetDateTime(EncodeDate(2024, 1, 31) + EncodeTime(23, 59, 58, 0));
        p->SetOnChange([this](TObject*) { log.push_back("change " + p->DisplayText()); });
        p->SetFocus();
    }
    void TearDown() override {
        SetDateClock(nullptr);
        FormFixture::TearDown();
    }
    void Key(std::uint16_t k, TShiftState s = {}) { headless::KeyStroke(*form, k, s); }
    TDateTimePicker* p = nullptr;
};

TEST(PickerFormat, LettersOfThePickerFormat) {
    const TDateTime d = EncodeDate(2024, 3, 5) + EncodeTime(7, 4, 9, 0);
    EXPECT_EQ(FormatPickerText("d dd ddd dddd", d), "5 05 Tue Tuesday");
    EXPECT_EQ(FormatPickerText("M MM MMM MMMM", d), "3 03 Mar March");
    EXPECT_EQ(FormatPickerText("y yy yyyy", d), "4 24 2024");
    EXPECT_EQ(FormatPickerText("h hh H HH m mm s ss t tt", d), "7 07 7 07 4 04 9 09 A AM");
    EXPECT_EQ(FormatPickerText("h:mm tt", d + 0.5), "7:04 PM");
    EXPECT_EQ(FormatPickerText("hh 'o''clock' (HH)", d + 0.5), "07 o'clock (19)");
    EXPECT_EQ(FormatPickerText("h", EncodeTime(0, 30, 0, 0)), "12"); // midnight is 12 AM
}

TEST_F(PickerTest, DefaultsAndCodeChangesFireNothing) {
    TDateTimePicker fresh(nullptr);
    EXPECT_EQ(fresh.Kind(), dtkDate);
    EXPECT_DOUBLE_EQ(fresh.DateTime(), EncodeDate(2026, 12, 7) + EncodeTime(12, 0, 0, 0));
    EXPECT_EQ(p->DisplayText(), "1/31/2024");
    p->SetKind(dtkTime);
    EXPECT_EQ(p->DisplayText(), "11:59:58 PM");
    p->SetDate(EncodeDate(2000, 2, 29));
    EXPECT_EQ(FormatPickerText("yyyy-MM-dd HH:mm:ss", p->DateTime()), "2000-02-29 23:59:58");
    p->SetTime(EncodeTime(1, 2, 3, 0));
    EXPECT_EQ(FormatPickerText("yyyy-MM-dd HH:mm:ss", p->DateTime()), "2000-02-29 01:02:03");
    EXPECT_EQ(Log(), "");
}

TEST_F(PickerTest, ValueOutsideTheCalendarRaisesAndKeepsTheOldOne) {
    const TDateTime before = p->DateTime();
    EXPECT_THROW(p->SetDateTime(MaxDateTime + 1), EConvertError);
    EXPECT_THROW(p->SetDateTime(MinDateTime - 1), EConvertError);
    EXPECT_DOUBLE_EQ(p->DateTime(), before);
    EXPECT_EQ(Log(), "");
}

TEST_F(PickerTest, UpDownStepTheFieldAndWrapWithinItsRange) {
    // Month first: "M/d/yyyy".
    Key(VK_UP); // January -> February clamps the 31st to the 29th (leap year)
    Key(VK_DOWN);
    Key(VK_DOWN); // wraps to December
    Key(VK_RIGHT);
    Key(VK_UP); // the 29th of December -> 30
    Key(VK_UP);
    Key(VK_UP); // 31 wraps to 1, the month stays
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(Log(), "change 2/29/2024 change 1/29/2024 change 12/29/2024 change 12/30/2024 "
                     "change 12/31/2024 change 12/1/2024 change 12/1/2023");
}

TEST_F(PickerTest, TimeFieldsWrapAndTheHalfOfTheDayToggles) {
    p->SetFormat("HH:mm:ss tt");
    Key(VK_END); // AM/PM
    Key(VK_UP);  // 23 -> 11 (PM -> AM)
    Key(VK_LEFT);
    Key(VK_UP); // 58 -> 59
    Key(VK_UP); // 59 wraps to 00; minutes untouched
    Key(VK_HOME);
    Key(VK_DOWN); // 11 -> 10
    EXPECT_EQ(Log(), "change 11:59:58 AM change 11:59:59 AM change 11:59:00 AM "
                     "change 10:59:00 AM");
}

TEST_F(PickerTest, DigitsTypeTheFieldAndASeparatorMovesOn) {
    headless::Type(*form, "1");  // month 1: unchanged (a second digit may follow)
    headless::Type(*form, "2");  // 12
    headless::Type(*form, "/0"); // next field; a leading 0 waits
    headless::Type(*form, "5/");
    headless::Type(*form, "99");              // two year digits: applied when the field is left
    EXPECT_EQ(p->DisplayText(), "12/5/2024"); // the value is unchanged while typing
    Key(VK_LEFT);
    EXPECT_EQ(p->DisplayText(), "12/5/1999");
    EXPECT_EQ(Log(), "change 12/31/2024 change 12/5/2024 change 12/5/1999");
}

TEST_F(PickerTest, FourYearDigitsApplyAtOnce) {
    Key(VK_END);
    headless::Type(*form, "2031");
    EXPECT_EQ(Log(), "change 1/31/2031");
}

TEST_F(PickerTest, MonthDigitThatCannotTakeASecondIsCompleteAtOnce) {
    headless::Type(*form, "3");
    headless::Type(*form, "1"); // a new value: 1, not 31
    EXPECT_EQ(Log(), "change 3/31/2024 change 1/31/2024");
}

TEST_F(PickerTest, CalendarPicksADayAndKeepsTheTime) {
    Key(VK_F4);
    ASSERT_TRUE(p->DroppedDown());
    TMonthCalWindow* cal = p->CalendarWindow();
    ASSERT_NE(cal, nullptr);
    EXPECT_EQ(cal->ViewMonth(), 1);
    EXPECT_EQ(cal->ViewYear(), 2024);
    // Keys move the highlight in the open calendar; the value waits for Enter.
    Key(VK_RIGHT); // Feb 1
    Key(VK_NEXT);  // Mar 1
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(cal->ViewMonth(), 3);
    Key(VK_RETURN);
    EXPECT_FALSE(p->DroppedDown());
    EXPECT_EQ(FormatPickerText("yyyy-MM-dd HH:mm:ss", p->DateTime()), "2024-03-01 23:59:58");
    // A click on a day of the calendar (through the form below it).
    Key(VK_F4);
    cal = p->CalendarWindow();
    TRect r = cal->DayRect(EncodeDate(2024, 3, 14));
    TPoint at = form->ScreenToClient(cal->ClientToScreen({r.Left + 3, r.Top + 3}));
    headless::ClickAt(*form, at.X, at.Y);
    EXPECT_FALSE(p->DroppedDown());
    EXPECT_EQ(Log(), "change 3/1/2024 change 3/14/2024");
}

TEST_F(PickerTest, EscapeClosesTheCalendarWithoutChange) {
    std::string events;
    p->SetOnDropDown([&](TObject*) { events += "dropdown "; });
    p->SetOnCloseUp([&](TObject*) { events += "closeup "; });
    headless::KeyDown(*form, VK_DOWN, {ssAlt});
    Key(VK_DOWN);
    Key(VK_ESCAPE);
    EXPECT_FALSE(p->DroppedDown());
    EXPECT_EQ(p->DisplayText(), "1/31/2024");
    EXPECT_EQ(events, "dropdown closeup ");
    EXPECT_EQ(Log(), "");
}

TEST_F(PickerTest, TimeKindHasNoCalendarButASpin) {
    p->SetKind(dtkTime);
    Key(VK_F4);
    EXPECT_FALSE(p->DroppedDown());
    TRect b = p->ButtonRect();
    headless::ClickAt(*p, b.Left + 4, b.Top + 2); // upper half: up
    headless::ClickAt(*p, b.Left + 4, b.Bottom - 2);
    headless::ClickAt(*p, b.Left + 4, b.Bottom - 2);
    EXPECT_EQ(Log(), "change 12:59:58 AM change 11:59:58 PM change 10:59:58 PM");
}

TEST_F(PickerTest, PictureOfTheOpenCalendar) {
    form->SetBounds(0, 0, 200, 210);
    p->SetDateTime(EncodeDate(2026, 12, 24));
    Key(VK_RIGHT);
    Key(VK_F4);
    TBitmap shot;
    headless::Snapshot(*form, shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/dtpicker_calendar"));
}

} // namespace
} // namespace kel::test
