// Tests of the custom-drawn numeric input control: the check after every key per input format,
// the fixed-point decimals that type over, deleting a selection, the clipboard keys, the spin
// buttons with and without pivots, the gauge (clicks, drags past both ends, events), the range
// and size setters, Value per format, the caret timer on the manual clock and the errors.
// Keys and mouse go through the headless host.
#include "KEL_NumIO.h"

#include "headless.h"
#include "kel_app.h"
#include "kel_forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace kel {
namespace {

using namespace kel::headless;

class NumIO2Test : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->ResetState();
        Clipboard().Clear();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 400, 120);
        form->Show();
        io = new TNumIO2(form.get());
        io->SetName("NumIn");
        io->SetParent(form.get());
        io->SetBounds(100, 10, 160, 40);
        io->SetOnChange([this](TObject*) { ++changes; });
        other = new TNumIO2(form.get());
        other->SetParent(form.get());
        other->SetBounds(100, 70, 160, 28);
        io->SetFocus();
    }
    void TearDown() override {
        form.reset();
        Flush();
        Application->ResetState();
    }
    void Stroke(std::uint16_t key, TShiftState s = {}) { KeyStroke(*form, key, s); }
    // Starts afresh in format f with an empty buffer.
    void Format(TInFormat f) {
        io->SetInputFormat(f);
        io->SetText("");
    }

    std::unique_ptr<TForm> form;
    TNumIO2* io = nullptr;
    TNumIO2* other = nullptr;
    int changes = 0;
};

TEST_F(NumIO2Test, ConstructorSetsTheDefaults) {
    EXPECT_EQ(io->InputFormat(), itFloat);
    EXPECT_EQ(io->Text(), "");
    EXPECT_EQ(io->DecPlaceSep(), dpsPointOrComma);
    EXPECT_EQ(io->RangeLow(), 0.0);
    EXPECT_EQ(io->RangeHigh(), 1000.0);
    EXPECT_EQ(io->ButHeight(), 28);
    EXPECT_EQ(io->ColorWarnBG(), TColor(0x6088FFF0));
    EXPECT_EQ(other->Width(), 160);
    EXPECT_EQ(other->Height(), 28);
}

TEST_F(NumIO2Test, ExponentialFormatAcceptsTextThatBeginsWithANumber) {
    Format(itExp);
    Type(*form, "12a");
    EXPECT_EQ(io->Text(), "12A");
    EXPECT_DOUBLE_EQ(io->Value(), 12.0);
    io->SetText("");
    Type(*form, "1.5e-3");
    EXPECT_EQ(io->Text(), "1.5E-3");
    EXPECT_DOUBLE_EQ(io->Value(), 0.0015);
    io->SetText("");
    Type(*form, "1ee"); // a second exponent letter right after the first
    EXPECT_EQ(io->Text(), "1E");
}

TEST_F(NumIO2Test, FloatAndIntegerFormatsRefuseWhatDoesNotBelongAndBeep) {
    io->SetBeep(true);
    Format(itFloat);
    Type(*form, "-1.5e");
    EXPECT_EQ(io->Text(), "-1.5");
    EXPECT_EQ(Application->BeepCount(), 1);
    EXPECT_EQ(Application->LastBeepType(), std::uint32_t(MB_SIMPLEBEEP));
    Type(*form, ".");
    EXPECT_EQ(io->Text(), "-1.5");
    Format(itInt);
    Type(*form, "+12.a3");
    EXPECT_EQ(io->Text(), "+123");
    EXPECT_EQ(io->Value(), 123.0);
    EXPECT_EQ(Application->BeepCount(), 4);
    io->SetBeep(false);
    Type(*form, "x"); // no key of the control: beeps only when Beep is set
    EXPECT_EQ(Application->BeepCount(), 4);
}

TEST_F(NumIO2Test, IntegerTextBeyond32BitsReadsAsTheNearerEnd) {
    io->SetInputFormat(itInt);
    io->SetText("99999999999");
    EXPECT_EQ(io->Value(), 2147483647.0);
    io->SetText("-99999999999");
    EXPECT_EQ(io->Value(), -2147483648.0);
}

TEST_F(NumIO2Test, DigitFormatsReadUnsigned32BitPatternsAsSignedValues) {
    Format(itHex);
    Type(*form, "ffffffff");
    EXPECT_EQ(io->Text(), "FFFFFFFF");
    EXPECT_EQ(io->Value(), -1.0);
    Type(*form, "0"); // a ninth significant digit would not fit 32 bits
    EXPECT_EQ(io->Text(), "FFFFFFFF");
    io->SetValue(255);
    EXPECT_EQ(io->Text(), "000000FF");
    Format(itOct);
    Type(*form, "178");
    EXPECT_EQ(io->Text(), "17");
    EXPECT_EQ(io->Value(), 15.0);
    io->SetValue(-1);
    EXPECT_EQ(io->Text(), "37777777777");
    Format(itBin);
    Type(*form, "1021");
    EXPECT_EQ(io->Text(), "101");
    EXPECT_EQ(io->Value(), 5.0);
    io->SetValue(5);
    EXPECT_EQ(io->Text(), std::string(29, '0') + "101");
    Stroke(VK_END);
    Type(*form, "1"); // leading zeros do not count against the 32 bits
    EXPECT_EQ(io->Value(), 11.0);
}

TEST_F(NumIO2Test, DynamicFormatReadsItsPrefixesAndCanStartWithThem) {
    Format(itDynamic);
    Stroke('4', {ssShift});
    EXPECT_EQ(io->Text(), "$");
    Type(*form, "1f");
    EXPECT_EQ(io->Text(), "$1F");
    EXPECT_EQ(io->Value(), 31.0);
    io->SetText("");
    Stroke('5', {ssShift});
    Type(*form, "1012");
    EXPECT_EQ(io->Text(), "%101");
    EXPECT_EQ(io->Value(), 5.0);
    io->SetText("");
    Stroke('6', {ssShift});
    Type(*form, "17");
    EXPECT_EQ(io->Value(), 15.0);
    io->SetText("");
    Type(*form, "2,5e2");
    EXPECT_EQ(io->Value(), 250.0);
    io->SetValue(2.6);
    EXPECT_EQ(io->Text(), "3");
}

TEST_F(NumIO2Test, FixedPointDecimalsTypeOverAndKeepTheirCount) {
    io->SetInputFormat(itFixPoint);
    io->SetValue(1.5);
    ASSERT_EQ(io->Text(), "1.50");
    Stroke(VK_END);
    EXPECT_EQ(io->SelBegin(), io->SelEnd()); // at the end nothing is selected
    Stroke(VK_LEFT);
    Stroke(VK_LEFT);
    EXPECT_EQ(io->SelBegin(), 2);
    EXPECT_EQ(io->SelEnd(), 3); // the first decimal is selected
    Type(*form, "7");
    EXPECT_EQ(io->Text(), "1.70");
    Type(*form, "9");
    EXPECT_EQ(io->Text(), "1.79");
    Type(*form, "1"); // a third decimal is refused
    EXPECT_EQ(io->Text(), "1.79");
    Stroke(VK_HOME);
    Type(*form, "2");
    EXPECT_EQ(io->Text(), "21.79");
    Stroke(VK_DELETE); // deletes the "1" right of the caret
    EXPECT_EQ(io->Text(), "2.79");
    Stroke(VK_DELETE); // deleting the separator is refused
    EXPECT_EQ(io->Text(), "2.79");
    EXPECT_EQ(changes, 4);
}

TEST_F(NumIO2Test, DeletingASelectionThatEmptiesTheBufferWritesTheFormattedZero) {
    io->SetValue(12.5);
    ASSERT_EQ(io->Text(), "12.50");
    // Select everything with the mouse, across the whole box.
    Drag(*io, 36, 8, 114, 8);
    EXPECT_EQ(io->SelBegin(), 0);
    EXPECT_EQ(io->SelEnd(), 5);
    Stroke(VK_DELETE);
    EXPECT_EQ(io->Text(), "0.00");
    EXPECT_EQ(io->CaretPos(), 0);
    // Removing the last character one at a time leaves the buffer empty (reads 0).
    io->SetText("5");
    Stroke(VK_END);
    Stroke(VK_BACK);
    EXPECT_EQ(io->Text(), "");
    EXPECT_EQ(io->Value(), 0.0);
    Stroke(VK_BACK); // nothing left of the caret
    EXPECT_EQ(io->Text(), "");
}

TEST_F(NumIO2Test, CtrlCXAndVUseTheClipboardAndAPasteIsCheckedLikeAKey) {
    io->SetText("12.50");
    io->SetSelBegin(0);
    io->SetSelEnd(2);
    Stroke('C', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), "12");
    EXPECT_EQ(io->Text(), "12.50");
    Stroke('X', {ssCtrl});
    EXPECT_EQ(io->Text(), ".50");
    EXPECT_EQ(io->CaretPos(), 0);
    Stroke(VK_END);
    Stroke('V', {ssCtrl});
    EXPECT_EQ(io->Text(), ".5012");
    EXPECT_EQ(io->CaretPos(), 5);
    EXPECT_EQ(changes, 2);

    io->SetBeep(true);
    Clipboard().SetAsText("3e5");
    Stroke('V', {ssCtrl});
    EXPECT_EQ(io->Text(), ".5012");
    EXPECT_EQ(io->CaretPos(), 5);
    EXPECT_EQ(Application->BeepCount(), 1);
    EXPECT_EQ(changes, 2);
    // Copying without a selection leaves the clipboard alone.
    Stroke('C', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), "3e5");
}

TEST_F(NumIO2Test, ReadOnlyAllowsOnlyCopying) {
    io->SetText("42");
    io->SetReadOnly(true);
    io->SetSelBegin(0);
    io->SetSelEnd(2);
    Type(*form, "1");
    Stroke(VK_DELETE);
    Stroke('X', {ssCtrl});
    EXPECT_EQ(io->Text(), "42");
    Stroke('C', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), "42");
}

TEST_F(NumIO2Test, SpinButtonsStepByTheIncrementWithinTheRange) {
    io->SetHeight(28);
    io->SetButVisible(true);
    io->SetValue(5);
    io->SetRangeHigh(6.5);
    const int x = 35 + 80 + 3 + 9; // middle of the buttons
    ClickAt(*io, x, 5);
    EXPECT_EQ(io->Value(), 6.0);
    ClickAt(*io, x, 5);
    EXPECT_EQ(io->Value(), 6.5); // clamped at RangeHigh
    ClickAt(*io, x, 20);
    EXPECT_EQ(io->Value(), 5.5);
    EXPECT_EQ(changes, 3);
    ClickAt(*io, 35 + 80 + 3, 5); // on the button's left edge: not a button
    EXPECT_EQ(io->Value(), 5.5);
}

TEST_F(NumIO2Test, SpinButtonsStepBetweenPivots) {
    io->SetHeight(28);
    io->SetButVisible(true);
    io->ButtonPivots = {1, 2, 5, 10};
    const int x = 35 + 80 + 3 + 9;
    io->SetValue(2);
    ClickAt(*io, x, 5);
    EXPECT_EQ(io->Value(), 5.0);
    io->SetValue(2);
    ClickAt(*io, x, 20);
    EXPECT_EQ(io->Value(), 1.0);
    io->SetValue(3); // nearest pivot 2, above it: down goes to 2
    ClickAt(*io, x, 20);
    EXPECT_EQ(io->Value(), 2.0);
    io->SetValue(10);
    ClickAt(*io, x, 5);
    EXPECT_EQ(io->Value(), 10.0);
    io->SetValue(1);
    ClickAt(*io, x, 20);
    EXPECT_EQ(io->Value(), 1.0);
}

TEST_F(NumIO2Test, GaugeClicksReachBothEndsOfTheRange) {
    io->SetGaugeVisible(true);
    io->SetRangeLow(-100);
    const int y = 40 - 5; // inside the gauge band at the bottom
    ClickAt(*io, 35, y);
    EXPECT_EQ(io->Value(), -100.0);
    ClickAt(*io, 35 + 82, y);
    EXPECT_EQ(io->Value(), 1000.0);
    ClickAt(*io, 35 + 41, y);
    EXPECT_EQ(io->Value(), 450.0);
    EXPECT_EQ(changes, 3);
    ClickAt(*io, 20, y); // left of the gauge
    EXPECT_EQ(io->Value(), 450.0);
    EXPECT_EQ(changes, 3);
}

TEST_F(NumIO2Test, GaugeDragsStayClampedAndFireOneChangeOnRelease) {
    io->SetGaugeVisible(true);
    int gaugeEvents = 0;
    double last = -1;
    io->SetOnGaugeChange([&](TObject*, TShiftState s, double v) {
        ++gaugeEvents;
        last = v;
        EXPECT_TRUE(s.contains(ssLeft));
    });
    Drag(*io, 60, 35, 400, 0, {}, 4); // far past the right end, and above the gauge
    EXPECT_EQ(io->Value(), 1000.0);
    EXPECT_EQ(last, 1000.0);
    EXPECT_EQ(gaugeEvents, 4);
    EXPECT_EQ(changes, 1);
    Drag(*io, 60, 35, -90, 35, {}, 3); // past the left end
    EXPECT_EQ(io->Value(), 0.0);
    EXPECT_EQ(gaugeEvents, 7);
    EXPECT_EQ(changes, 2);
}

TEST_F(NumIO2Test, GaugeSnapsToTheNearestPivot) {
    io->SetGaugeVisible(true);
    io->ButtonPivots = {100, 300, 900};
    ClickAt(*io, 35 + 20, 35); // 243.9: nearest 300
    EXPECT_EQ(io->Value(), 300.0);
    ClickAt(*io, 35 + 82, 35);
    EXPECT_EQ(io->Value(), 900.0);
}

TEST_F(NumIO2Test, RangeSettersMoveTheOtherBound) {
    io->SetRangeHigh(1000);
    io->SetRangeLow(2000);
    EXPECT_EQ(io->RangeLow(), 2000.0);
    EXPECT_EQ(io->RangeHigh(), 2000.0);
    io->SetRangeHigh(-5);
    EXPECT_EQ(io->RangeLow(), -5.0);
    EXPECT_EQ(io->RangeHigh(), -5.0);
    io->SetValue(1);
    EXPECT_TRUE(io->OutOfRange());
}

TEST_F(NumIO2Test, SizeAndLayoutSettersClamp) {
    io->SetHeight(10);
    EXPECT_EQ(io->Height(), 18);
    EXPECT_EQ(io->ButHeight(), 18);
    io->SetButWidth(100);
    EXPECT_EQ(io->ButWidth(), 50);
    io->SetFixPointDecPlaces(0);
    EXPECT_EQ(io->FixPointDecPlaces(), 2);
    io->SetFixPointDecPlaces(40);
    EXPECT_EQ(io->FixPointDecPlaces(), 15);
    io->SetLeftSpace(-1);
    EXPECT_EQ(io->LeftSpace(), 35);
    io->SetLeftSpace(500);
    EXPECT_EQ(io->LeftSpace(), 160);
    io->SetHeight(40);
    io->SetGaugeHeight(100);
    EXPECT_EQ(io->GaugeHeight(), 40 - 3 - 18);
    io->SetGaugeWidth(1000);
    EXPECT_EQ(io->GaugeWidth(), 160 - 35);
    io->SetAutoSize(true);
    TBitmap probe;
    probe.Canvas().Font().Assign(&io->Font());
    EXPECT_EQ(io->Height(), std::max(18, probe.Canvas().TextHeight("E0") + 6));
}

TEST_F(NumIO2Test, ANewFormatOrDecimalCountKeepsTheValue) {
    io->SetValue(-2.5);
    EXPECT_EQ(io->Text(), "-2.50");
    io->SetFixPointDecPlaces(3);
    EXPECT_EQ(io->Text(), "-2.500");
    io->SetInputFormat(itExp);
    EXPECT_EQ(io->Text(), "-2.50000E+00");
    io->SetInputFormat(itInt);
    EXPECT_EQ(io->Text(), "-2");
}

TEST_F(NumIO2Test, TextSetterIgnoresInvalidText) {
    io->SetText("1.5");
    Stroke(VK_END);
    io->SetText("1e5"); // no exponent in itFloat
    EXPECT_EQ(io->Text(), "1.5");
    EXPECT_EQ(io->CaretPos(), 3);
    io->SetText("2");
    EXPECT_EQ(io->CaretPos(), 0);
}

TEST_F(NumIO2Test, SeparatorChoiceConvertsTheBufferAndWhatValueWrites) {
    io->SetText("1.5");
    io->SetDecPlaceSep(dpsComma);
    EXPECT_EQ(io->Text(), "1,5");
    io->SetValue(2.25);
    EXPECT_EQ(io->Text(), "2,25"); // still editable in comma mode
    Stroke(VK_END);
    Type(*form, ".");
    EXPECT_EQ(io->Text(), "2,25");
    Stroke(VK_BACK);
    Type(*form, "7");
    EXPECT_EQ(io->Text(), "2,27");
    EXPECT_DOUBLE_EQ(io->Value(), 2.27);
    io->SetDecPlaceSep(dpsPoint);
    EXPECT_EQ(io->Text(), "2.27");
}

TEST_F(NumIO2Test, IntegerValueRaisesOutside32Bits) {
    io->SetText("-2147483648");
    EXPECT_EQ(io->IntegerValue(), -2147483647 - 1);
    io->SetValue(2.5);
    EXPECT_EQ(io->IntegerValue(), 2);
    io->SetText("3000000000");
    try {
        (void)io->IntegerValue();
        FAIL() << "no exception";
    } catch (const EKELNumIO2Error& e) {
        EXPECT_STREQ(e.what(), "Component \"NumIn\": integer overflow");
    }
    io->SetText("-2147483649");
    EXPECT_THROW((void)io->IntegerValue(), EKELNumIO2Error);
}

TEST_F(NumIO2Test, CaretBlinksEvery500MsWhileFocusedAndStopsWhenFocusLeaves) {
    // Empty buffer, centred: the caret line is at x = 35 + 80 / 2 + 1.
    io->SetHeight(28);
    Flush();
    ASSERT_TRUE(io->Focused());
    EXPECT_TRUE(io->CaretVisible());
    EXPECT_EQ(PixelAt(*io, 76, 10), clBlack);
    Application->Advance(499);
    EXPECT_TRUE(io->CaretVisible());
    Application->Advance(1);
    EXPECT_FALSE(io->CaretVisible());
    EXPECT_EQ(PixelAt(*io, 76, 10), clWhite);
    Application->Advance(500);
    EXPECT_TRUE(io->CaretVisible());
    EXPECT_EQ(PixelAt(*io, 76, 10), clBlack);
    // Typing shows the caret at once and keeps it blinking.
    Application->Advance(500);
    Type(*form, "1");
    EXPECT_TRUE(io->CaretVisible());

    other->SetFocus();
    const std::size_t timers = Application->TimerCount();
    Application->Advance(500);
    EXPECT_FALSE(io->CaretVisible());
    EXPECT_EQ(Application->TimerCount(), timers - 1);
    Application->Advance(2000);
    EXPECT_FALSE(io->CaretVisible());
    // Focus coming back restarts it.
    ClickAt(*io, 60, 10);
    EXPECT_TRUE(io->Focused());
    EXPECT_EQ(Application->TimerCount(), timers);
    Application->Advance(500);
    EXPECT_FALSE(io->CaretVisible());
}

TEST_F(NumIO2Test, ReadOnlyStopsTheCaretTimer) {
    const std::size_t timers = Application->TimerCount();
    io->SetReadOnly(true);
    EXPECT_FALSE(io->CaretVisible());
    EXPECT_EQ(Application->TimerCount(), timers - 1);
    io->SetReadOnly(false);
    EXPECT_TRUE(io->CaretVisible());
    EXPECT_EQ(Application->TimerCount(), timers);
}

TEST_F(NumIO2Test, ARefusedTimerRaisesNamingTheComponent) {
    Application->SetRefuseTimers(true);
    try {
        io->SetFocus();
        FAIL() << "no exception";
    } catch (const EKELNumIO2Error& e) {
        EXPECT_STREQ(e.what(), "Component \"NumIn\": no timer available");
    }
    const std::size_t windows = form->ComponentCount();
    EXPECT_THROW(new TNumIO2(form.get()), EKELNumIO2Error);
    EXPECT_EQ(form->ComponentCount(), windows); // nothing left behind
    Application->SetRefuseTimers(false);
}

TEST_F(NumIO2Test, AssignCopiesTheEntryButNotTheGauge) {
    io->SetInputFormat(itInt);
    io->SetText("77");
    io->SetRangeLow(5);
    io->SetLeftText("U");
    io->SetGaugeVisible(true);
    other->Assign(io);
    EXPECT_EQ(other->InputFormat(), itInt);
    EXPECT_EQ(other->Text(), "77");
    EXPECT_EQ(other->RangeLow(), 5.0);
    EXPECT_EQ(other->LeftText(), "U");
    EXPECT_FALSE(other->GaugeVisible());
}

TEST_F(NumIO2Test, TabMovesTheFocusAndKeyEventsStillFire) {
    int downs = 0;
    io->SetOnKeyDown([&](TObject*, std::uint16_t&, TShiftState) { ++downs; });
    Type(*form, "7");
    EXPECT_EQ(io->Text(), "7");
    EXPECT_EQ(downs, 1);
    other->SetTabStop(true);
    Stroke(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(io->Text(), "7");
}

TEST_F(NumIO2Test, MouseAreaCodeFollowsThePointer) {
    MoveTo(*io, 10, 5);
    EXPECT_EQ(io->MouseAreaCode(), 0);
    MoveTo(*io, 50, 5);
    EXPECT_EQ(io->MouseAreaCode(), 1);
    MoveTo(*io, 140, 5);
    EXPECT_EQ(io->MouseAreaCode(), 2);
}

// The Paint calls of a control, counted.
class CountingNumIO2 : public TNumIO2 {
  public:
    using TNumIO2::TNumIO2;
    int paints = 0;

  protected:
    void Paint() override {
        ++paints;
        TNumIO2::Paint();
    }
};

TEST_F(NumIO2Test, SettersInvalidateAndOnePaintFollows) {
    auto* c = new CountingNumIO2(form.get());
    c->SetParent(form.get());
    c->SetBounds(10, 40, 160, 28);
    Flush();
    c->paints = 0;
    c->SetColorBoxBG(clYellow);
    c->SetLeftText("U");
    c->SetButVisible(true);
    c->SetRangeHigh(5);
    c->SetValue(7);
    EXPECT_EQ(c->paints, 0); // nothing painted inside a setter
    c->Update();
    EXPECT_EQ(c->paints, 1);                         // five changes, one paint
    EXPECT_EQ(PixelAt(*c, 40, 4), TColor(0x88FFF0)); // 7 is out of 0..5: warning colour
    // Equal values change nothing and paint nothing.
    c->SetColorBoxBG(clYellow);
    c->SetLeftText("U");
    c->SetRangeHigh(5);
    c->SetInputFormat(itFloat);
    c->Update();
    EXPECT_EQ(c->paints, 1);
}

TEST_F(NumIO2Test, AutoSizeFollowsEveryChangeOfTheFont) {
    auto fontHeight = [](TNumIO2& c) {
        TBitmap probe;
        probe.Canvas().Font().Assign(&c.Font());
        return std::max(18, probe.Canvas().TextHeight("E0") + 6);
    };
    io->SetAutoSize(true);
    const int before = io->Height();
    io->Font().SetSize(24);
    EXPECT_GT(io->Height(), before);
    EXPECT_EQ(io->Height(), fontHeight(*io));
    io->SetHeight(90); // the font decides
    EXPECT_EQ(io->Height(), fontHeight(*io));
    // A font taken from the parent counts as well.
    other->SetAutoSize(true);
    form->Font().SetSize(20);
    EXPECT_EQ(other->Height(), fontHeight(*other));
    EXPECT_GT(other->Height(), 28);
    // Loading settles it after the file, whatever the order of height, font and AutoSize.
    other->BeginLoading();
    other->SetHeight(70);
    other->Font().SetSize(12);
    other->EndLoading();
    EXPECT_EQ(other->Height(), fontHeight(*other));
    // Without AutoSize the height stays where it was put.
    other->SetAutoSize(false);
    other->SetHeight(50);
    form->Font().SetSize(9);
    EXPECT_EQ(other->Height(), 50);
}

TEST_F(NumIO2Test, TypingOverASelectionPutsTheCharacterInItsPlace) {
    Format(itInt);
    Type(*form, "123");
    io->SetSelBegin(0);
    io->SetSelEnd(3);
    Type(*form, "7");
    EXPECT_EQ(io->Text(), "7");
    EXPECT_EQ(io->CaretPos(), 1);
    io->SetInputFormat(itFloat);
    io->SetValue(12.5);
    io->SetSelBegin(0);
    io->SetSelEnd(5);
    Type(*form, "5");
    EXPECT_EQ(io->Text(), "5");
    // Part of the text selected: the same rule.
    io->SetText("12.50");
    io->SetSelBegin(1);
    io->SetSelEnd(4);
    Type(*form, "9");
    EXPECT_EQ(io->Text(), "190");
    // A refused character over a selection leaves text and selection as they were.
    io->SetText("12.50");
    io->SetSelBegin(0);
    io->SetSelEnd(5);
    Type(*form, "e");
    EXPECT_EQ(io->Text(), "12.50");
    EXPECT_EQ(io->SelEnd(), 5);
}

TEST_F(NumIO2Test, FixedPointTakesDigitsIntoAnEmptyOrFullySelectedBuffer) {
    Format(itFixPoint);
    Type(*form, "4");
    EXPECT_EQ(io->Text(), "4.00");
    EXPECT_EQ(io->CaretPos(), 1);
    Type(*form, "2");
    EXPECT_EQ(io->Text(), "42.00");
    io->SetSelBegin(0);
    io->SetSelEnd(5);
    Type(*form, "7");
    EXPECT_EQ(io->Text(), "7.00");
    EXPECT_DOUBLE_EQ(io->Value(), 7.0);
    io->SetText("");
    Type(*form, "-3");
    EXPECT_EQ(io->Text(), "-3.00");
    EXPECT_DOUBLE_EQ(io->Value(), -3.0);
    // With a comma separator the completion writes the comma.
    io->SetDecPlaceSep(dpsComma);
    io->SetText("");
    Type(*form, "8");
    EXPECT_EQ(io->Text(), "8,00");
}

TEST_F(NumIO2Test, AnExponentBeyondTwoDigitsIsWrittenSoItCanBeEdited) {
    Format(itExp);
    io->SetValue(1e150);
    EXPECT_EQ(io->Text(), " 1.00000E+150");
    EXPECT_DOUBLE_EQ(io->Value(), 1e150);
    Stroke(VK_END);
    Stroke(VK_BACK);
    EXPECT_EQ(io->Text(), " 1.00000E+15");
    EXPECT_DOUBLE_EQ(io->Value(), 1e15);
    io->SetValue(-2.5e-200);
    EXPECT_EQ(io->Text(), "-2.50000E-200");
    io->SetValue(1234.5); // two digits still do where they can
    EXPECT_EQ(io->Text(), " 1.23450E+03");
}

TEST_F(NumIO2Test, TheKeypadDecimalKeyTypesTheAcceptedSeparator) {
    const struct {
        TDecPSep sep;
        const char* text;
    } cases[] = {{dpsPoint, "1.5"}, {dpsComma, "1,5"}, {dpsPointOrComma, "1,5"}};
    for (const auto& c : cases) {
        io->SetDecPlaceSep(c.sep);
        Format(itFloat);
        Stroke(VK_NUMPAD1);
        Stroke(VK_DECIMAL);
        Stroke(VK_NUMPAD5);
        EXPECT_EQ(io->Text(), c.text) << int(c.sep);
    }
}

} // namespace
} // namespace kel
