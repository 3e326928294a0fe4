// Tests of the numeric edit box: the check after every change per input format, the range
// (with 0 always accepted), the fixed-point decimals, Value in and out, the separators, beeps,
// Assign and loading. Typing goes through the headless host.
#include "KEL_NumIO.h"

#include "headless.h"
#include "kel_app.h"
#include "kel_forms.h"
#include "kel_sysutils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kel {
namespace {

using namespace kel::headless;

class NumIOTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 200, 100);
        form->Show();
        box = new TNumIO(form.get());
        box->SetParent(form.get());
        box->SetBounds(10, 10, 150, 21);
        box->SetOnChange([this](TObject*) { ++changes; });
        box->SetFocus();
        Clipboard().Clear();
    }
    void TearDown() override {
        form.reset();
        Flush();
        Application->ResetState();
    }
    void Range(double lo, double hi) {
        box->SetRangeHigh(hi);
        box->SetRangeLow(lo);
    }
    void Stroke(std::uint16_t key, TShiftState s = {}) { KeyStroke(*form, key, s); }

    std::unique_ptr<TForm> form;
    TNumIO* box = nullptr;
    int changes = 0;
};

TEST_F(NumIOTest, ABoxMadeInCodeAcceptsOnlyZeroUntilItsRangeIsSet) {
    EXPECT_EQ(box->InputFormat(), itDynamic);
    EXPECT_EQ(box->FixPointDecPlaces(), 2);
    EXPECT_EQ(box->RangeLow(), 0.0);
    EXPECT_EQ(box->RangeHigh(), 0.0);
    Type(*form, "5");
    EXPECT_EQ(box->Text(), "");
    EXPECT_EQ(changes, 0);
    Type(*form, "0");
    EXPECT_EQ(box->Text(), "0");
    EXPECT_EQ(changes, 1);
    Range(-10, 10);
    Type(*form, "7");
    EXPECT_EQ(box->Text(), "07");
    EXPECT_EQ(box->Value(), 7.0);
}

TEST_F(NumIOTest, ZeroBlanksAndTheEmptyTextAreAcceptedOutsideTheRange) {
    Range(5, 10);
    changes = 0;
    Type(*form, "0");
    EXPECT_EQ(box->Text(), "0");
    Type(*form, "\b");
    EXPECT_EQ(box->Text(), "");
    Type(*form, "  ");
    EXPECT_EQ(box->Text(), "  ");
    EXPECT_EQ(box->Value(), 0.0);
    Type(*form, "7");
    EXPECT_EQ(box->Text(), "  7");
    EXPECT_EQ(changes, 5);
    Type(*form, "0"); // 70 is out of range
    EXPECT_EQ(box->Text(), "  7");
    EXPECT_EQ(changes, 5);
}

TEST_F(NumIOTest, AnUnfinishedExponentStaysWhileABlankAfterTheFirstCharacterIsRejected) {
    box->SetInputFormat(itExp);
    Range(-1e9, 1e9);
    Type(*form, "1e-");
    EXPECT_EQ(box->Text(), "1e-");
    Type(*form, "5");
    EXPECT_EQ(box->Text(), "1e-5");
    EXPECT_DOUBLE_EQ(box->Value(), 1e-5);
    Type(*form, " ");
    EXPECT_EQ(box->Text(), "1e-5");
    Stroke(VK_HOME);
    Stroke(VK_RIGHT);
    Type(*form, " ");
    EXPECT_EQ(box->Text(), "1e-5");
    EXPECT_EQ(box->SelStart(), 1); // one left of where the caret stood after the blank
    Type(*form, "x");
    EXPECT_EQ(box->Text(), "1e-5");
    EXPECT_EQ(Application->BeepCount(), 0);
}

TEST_F(NumIOTest, RejectedInputRestoresTheLastAcceptedTextAndBeepsWhenAsked) {
    Range(-100, 100);
    changes = 0;
    box->SetBeep(true);
    Type(*form, "12");
    Type(*form, "3");
    EXPECT_EQ(box->Text(), "12");
    EXPECT_EQ(box->SelStart(), 2);
    EXPECT_EQ(Application->BeepCount(), 1);
    EXPECT_EQ(Application->LastBeepType(), 0u);
    // Pasting text that does not fit the format is refused as a whole.
    Clipboard().SetAsText("4x");
    Stroke('V', {ssCtrl});
    EXPECT_EQ(box->Text(), "12");
    EXPECT_EQ(Application->BeepCount(), 2);
    Clipboard().SetAsText(".5");
    Stroke('V', {ssCtrl});
    EXPECT_EQ(box->Text(), "12.5");
    EXPECT_EQ(changes, 3);
}

TEST_F(NumIOTest, FixedPointKeepsItsDecimals) {
    box->SetInputFormat(itFixPoint);
    Range(0, 1000);
    box->SetValue(1.5);
    EXPECT_EQ(box->Text(), "1.50");
    box->SetSelStart(4);
    Type(*form, "7");
    EXPECT_EQ(box->Text(), "1.51"); // 1.507 rounded to two decimals
    // Typing in the decimals types over them.
    box->SetSelStart(2);
    Type(*form, "9");
    EXPECT_EQ(box->Text(), "1.95");
    EXPECT_EQ(box->SelStart(), 3);
    // Removing the point gives 195.00 while that lies in the range...
    box->SetSelStart(2);
    Type(*form, "\b");
    EXPECT_EQ(box->Text(), "195.00");
    // ... and brings the old text back otherwise.
    box->SetValue(9.5);
    box->SetRangeHigh(100);
    box->SetSelStart(2);
    Type(*form, "\b");
    EXPECT_EQ(box->Text(), "9.50");
    // A second point is refused.
    box->SetSelStart(1);
    Type(*form, ".");
    EXPECT_EQ(box->Text(), "9.50");
}

TEST_F(NumIOTest, RangeSettersSwapBoundsThatCross) {
    box->SetRangeHigh(3);
    box->SetRangeLow(5);
    EXPECT_EQ(box->RangeLow(), 3.0);
    EXPECT_EQ(box->RangeHigh(), 5.0);
    box->SetRangeHigh(1);
    EXPECT_EQ(box->RangeLow(), 1.0);
    EXPECT_EQ(box->RangeHigh(), 3.0);
    box->SetFixPointDecPlaces(12);
    EXPECT_EQ(box->FixPointDecPlaces(), 8);
    box->SetFixPointDecPlaces(0);
    EXPECT_EQ(box->FixPointDecPlaces(), 1);
}

TEST_F(NumIOTest, NewRulesCheckTheCurrentTextAtOnce) {
    Range(-1000, 1000);
    Type(*form, "12.5");
    box->SetInputFormat(itInt);
    EXPECT_EQ(box->Text(), "");
    Type(*form, "42");
    box->SetRangeHigh(40);
    EXPECT_EQ(box->Text(), "");
}

TEST_F(NumIOTest, ValueIsWrittenInTheFormOfEachFormat) {
    Range(-1e6, 1e6);
    struct Case {
        TInFormat f;
        double x;
        const char* text;
    };
    const Case cases[] = {
        {itExp, 1234.5, " 1.23450E+03"},
        {itDynamic, -2.5e-7, "-2.50000E-07"},
        {itFloat, 1.5, "1.50000000"},
        {itFixPoint, 2.345, "2.35"},
        {itInt, 2.6, "3"},
        {itHex, 255, "000000FF"},
        {itOct, 8, "00000010"},
        {itBin, 5, "00000101"},
    };
    for (const Case& c : cases) {
        box->SetInputFormat(c.f);
        changes = 0;
        box->SetValue(c.x);
        EXPECT_EQ(box->Text(), c.text) << int(c.f);
        EXPECT_EQ(changes, 0) << int(c.f); // the box's own text changes fire nothing
    }
}

TEST_F(NumIOTest, DigitFormatsCheckTheirDigitsAndReadA32BitPattern) {
    Range(-1e10, 1e10);
    box->SetText("$ff");
    EXPECT_EQ(box->Value(), 255.0);
    box->SetText("%101");
    EXPECT_EQ(box->Value(), 5.0);
    box->SetText("&17");
    EXPECT_EQ(box->Value(), 15.0);
    box->SetText("$FFFFFFFF");
    EXPECT_EQ(box->Value(), -1.0);
    box->SetText("");
    Type(*form, "$"); // the prefix alone is an entry being typed
    EXPECT_EQ(box->Text(), "$");
    Type(*form, "1g");
    EXPECT_EQ(box->Text(), "$1");
    box->SetInputFormat(itHex);
    box->SetText("");
    Type(*form, "abcdef123");
    EXPECT_EQ(box->Text(), "abcdef12"); // a ninth digit would not fit 32 bits
    box->SetInputFormat(itOct);
    box->SetText("37777777777");
    EXPECT_EQ(box->Value(), -1.0);
    box->SetText("40000000000"); // too large: the accepted text comes back
    EXPECT_EQ(box->Text(), "37777777777");
    box->SetInputFormat(itBin);
    Type(*form, "102");
    EXPECT_EQ(box->Text(), "10");
}

TEST_F(NumIOTest, LargeIntegersReadExactly) {
    Range(-1e12, 1e12);
    box->SetInputFormat(itInt);
    Type(*form, "99999999999");
    EXPECT_EQ(box->Value(), 99999999999.0);
}

TEST_F(NumIOTest, TheCommaSeparatorIsAcceptedReadAndWritten) {
    Range(-100, 100);
    box->SetDecPlaceSep(dpsComma);
    Type(*form, "1.");
    EXPECT_EQ(box->Text(), "1");
    Type(*form, ",5");
    EXPECT_EQ(box->Text(), "1,5");
    EXPECT_EQ(box->Value(), 1.5);
    box->SetInputFormat(itFloat);
    box->SetValue(2.5);
    EXPECT_EQ(box->Text(), "2,50000000");
    box->SetSelStart(box->TextLength());
    Type(*form, "1");
    EXPECT_EQ(box->Text(), "2,500000001");
    box->SetInputFormat(itFixPoint);
    box->SetValue(3.25);
    EXPECT_EQ(box->Text(), "3,25");
    box->SetSelStart(box->TextLength());
    Type(*form, "9");
    EXPECT_EQ(box->Text(), "3,26"); // 3,259 to two decimals
    box->SetDecPlaceSep(dpsPointOrComma);
    box->SetInputFormat(itExp);
    box->SetText("1.5");
    EXPECT_EQ(box->Value(), 1.5);
    box->SetText("2,5");
    EXPECT_EQ(box->Value(), 2.5);
    // The platform's setting follows the number settings.
    box->SetDecPlaceSep(dpsSystem);
    char old = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = ',';
    box->SetText("4,5");
    EXPECT_EQ(box->Text(), "4,5");
    FormatSettings.DecimalSeparator = old;
}

TEST_F(NumIOTest, DynamicFormatWritesTheCommaItAcceptsSoTheTextStaysEditable) {
    Range(-100, 100);
    box->SetDecPlaceSep(dpsComma);
    box->SetValue(1.5);
    EXPECT_EQ(box->Text(), " 1,50000E+00");
    EXPECT_EQ(box->Value(), 1.5);
    box->SetSelStart(box->TextLength());
    Type(*form, "1");
    EXPECT_EQ(box->Text(), " 1,50000E+001");
    EXPECT_EQ(box->Value(), 15.0);
}

TEST_F(NumIOTest, WholeNumberAndDigitFormatsRoundHalvesToTheEvenNeighbour) {
    Range(-100, 100);
    struct Case {
        TInFormat f;
        double x;
        const char* text;
    };
    const Case cases[] = {
        {itHex, 2.5, "00000002"},  {itHex, 3.5, "00000004"}, {itHex, -2.5, "FFFFFFFE"},
        {itOct, 10.5, "00000012"}, {itBin, 0.5, "00000000"}, {itBin, 1.5, "00000010"},
        {itHex, 2.6, "00000003"},  {itInt, 2.5, "2"},        {itInt, -3.5, "-4"},
    };
    for (const Case& c : cases) {
        box->SetInputFormat(c.f);
        box->SetValue(c.x);
        EXPECT_EQ(box->Text(), c.text) << int(c.f) << " " << c.x;
    }
}

TEST_F(NumIOTest, ARejectedKeyAfterAValueWriteBringsBackThatValue) {
    Range(-100, 100);
    box->SetValue(12.5);
    box->SetSelStart(box->TextLength());
    Type(*form, "x");
    EXPECT_NE(box->Text(), "");
    EXPECT_EQ(box->Value(), 12.5);
    // Writing the text already shown leaves no pending internal change behind.
    box->SetValue(12.5);
    Type(*form, "x");
    EXPECT_EQ(box->Value(), 12.5);
    box->SetText("");
    box->SetValue(0);
    box->SetValue(0);
    box->SetSelStart(box->TextLength());
    Type(*form, "y");
    EXPECT_EQ(box->Value(), 0.0);
    EXPECT_EQ(box->Text().find('y'), std::string::npos);
}

TEST_F(NumIOTest, AssignCopiesFormatBeepRangeAndSeparatorButNotTheDecimals) {
    TNumIO other(nullptr);
    other.SetInputFormat(itHex);
    other.SetBeep(true);
    other.SetRangeHigh(10);
    other.SetRangeLow(5);
    other.SetDecPlaceSep(dpsComma);
    other.SetFixPointDecPlaces(5);
    box->Assign(&other);
    EXPECT_EQ(box->InputFormat(), itHex);
    EXPECT_TRUE(box->Beep());
    EXPECT_EQ(box->RangeLow(), 5.0);
    EXPECT_EQ(box->RangeHigh(), 10.0);
    EXPECT_EQ(box->DecPlaceSep(), dpsComma);
    EXPECT_EQ(box->FixPointDecPlaces(), 2);
    TFont font;
    EXPECT_THROW(box->Assign(&font), EConvertError);
}

TEST_F(NumIOTest, ARangeLoadedFromAFormFileKeepsBothBounds) {
    box->BeginLoading();
    box->SetRangeLow(5);
    box->SetRangeHigh(10);
    box->EndLoading();
    EXPECT_EQ(box->RangeLow(), 5.0);
    EXPECT_EQ(box->RangeHigh(), 10.0);
    box->BeginLoading();
    box->SetRangeLow(20);
    box->SetRangeHigh(-20);
    box->EndLoading();
    EXPECT_EQ(box->RangeLow(), -20.0);
    EXPECT_EQ(box->RangeHigh(), 20.0);
}

TEST_F(NumIOTest, NamingTheBoxLeavesItsTextAlone) {
    box->SetBeep(true);
    box->SetName("runtime_rlre_NumIO3");
    EXPECT_EQ(box->Text(), "");
    EXPECT_EQ(Application->BeepCount(), 0);
}

TEST_F(NumIOTest, ABoxBeingDesignedChecksNothing) {
    box->SetDesigning(true);
    box->SetText("abc");
    EXPECT_EQ(box->Text(), "abc");
    box->SetDesigning(false);
    box->SetText("abcd"); // checked again: back to the last accepted text
    EXPECT_EQ(box->Text(), "");
}

} // namespace
} // namespace kel
