// Tests of the label: AutoSize, accelerator prefixes and the focus control they reach, line and
// word breaks, layout, the transparent and the disabled look.
#include "controls_test_util.h"
#include "kel_stdctrls.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

class LabelTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        label = new TLabel(form.get());
        label->SetParent(form.get());
        label->SetLeft(10);
        label->SetTop(10);
        measure.Canvas().Font().Assign(&label->Font());
    }
    int TextW(const std::string& s) { return measure.Canvas().TextWidth(s); }
    int LineH() { return measure.Canvas().TextHeight("Wg"); }
    // Number of pixels of colour c inside the label.
    int CountColour(TColor c) {
        int n = 0;
        for (int y = 0; y < label->Height(); ++y)
            for (int x = 0; x < label->Width(); ++x) n += PixelAt(*label, x, y) == ColorToRGB(c);
        return n;
    }

    TLabel* label = nullptr;
    TBitmap measure{1, 1};
};

TEST_F(LabelTest, AltWithTheAcceleratorFocusesTheLabelsControl) {
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(60, 10, 80, 21);
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(60, 40, 80, 21);
    other->SetFocus();
    label->SetCaption("&Name:");
    KeyStroke(*form, 'N', {ssAlt}); // no focus control yet: nothing
    EXPECT_TRUE(other->Focused());
    label->SetFocusControl(edit);
    KeyStroke(*form, 'N', {ssAlt});
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->Text(), ""); // the letter is not typed
    // Not while the prefix is shown as text, the label disabled, or the control unable to take
    // the focus.
    other->SetFocus();
    label->SetShowAccelChar(false);
    KeyStroke(*form, 'N', {ssAlt});
    EXPECT_TRUE(other->Focused());
    label->SetShowAccelChar(true);
    label->SetEnabled(false);
    KeyStroke(*form, 'N', {ssAlt});
    EXPECT_TRUE(other->Focused());
    label->SetEnabled(true);
    edit->SetEnabled(false);
    KeyStroke(*form, 'N', {ssAlt});
    EXPECT_TRUE(other->Focused());
    // A freed control is forgotten.
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
    KeyStroke(*form, 'N', {ssAlt});
    EXPECT_TRUE(other->Focused());
}

TEST_F(LabelTest, AFormFileNamesTheFocusControl) {
    form->SetName("F");
    label->SetName("Caption1");
    label->SetCaption("&Name:");
    auto* edit = new TEdit(form.get());
    edit->SetName("NameBox");
    edit->SetParent(form.get());
    label->SetFocusControl(edit);
    const std::string text = ComponentToText(*form);
    EXPECT_NE(text.find("FocusControl = NameBox"), std::string::npos) << text;
    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    auto* l2 = dynamic_cast<TLabel*>(back->FindComponent("Caption1"));
    ASSERT_NE(l2, nullptr);
    EXPECT_EQ(l2->FocusControl(), back->FindComponent("NameBox"));
    // A name that is no windowed control is refused with its line.
    try {
        ComponentFromText("object G: TForm\n  object L: TLabel\n    FocusControl = Other\n"
                          "  end\n  object Other: TLabel\n  end\nend\n",
                          nullptr);
        ADD_FAILURE() << "read";
    } catch (const EFormFileError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_NE(std::string(e.what()).find("not a windowed control"), std::string::npos)
            << e.what();
    }
}

TEST_F(LabelTest, AutoSizeTakesTheSizeOfTheCaption) {
    EXPECT_EQ(label->Width(), TextW(" ")); // an empty caption measures as one blank
    EXPECT_EQ(label->Height(), LineH());
    label->SetCaption("Hello");
    EXPECT_EQ(label->Width(), TextW("Hello"));
    label->SetCaption("two\r\nlines");
    EXPECT_EQ(label->Width(), TextW("lines"));
    EXPECT_EQ(label->Height(), 2 * LineH());
    // A right-aligned label keeps its right edge.
    label->SetAlignment(taRightJustify);
    int right = label->Left() + label->Width();
    label->SetCaption("a much longer caption");
    EXPECT_EQ(label->Left() + label->Width(), right);
    label->SetAutoSize(false);
    label->SetCaption("x");
    EXPECT_EQ(label->Width(), TextW("a much longer caption"));
}

TEST_F(LabelTest, AnAmpersandUnderlinesTheNextCharacterAndTwoMakeOne) {
    label->SetFont(label->Font());
    label->Font().SetColor(clBlack);
    label->SetCaption("&File");
    EXPECT_EQ(label->Width(), TextW("File"));
    int ascent = measure.Canvas().TextMetrics().tmAscent;
    // The underline runs under the F only.
    EXPECT_EQ(PixelAt(*label, 1, ascent + 1), clBlack);
    EXPECT_NE(PixelAt(*label, TextW("File") - 1, ascent + 1), clBlack);
    label->SetCaption("A&&B");
    EXPECT_EQ(label->Width(), TextW("A&B"));
    label->SetShowAccelChar(false);
    label->SetCaption("&File");
    EXPECT_EQ(label->Width(), TextW("&File"));
}

TEST_F(LabelTest, WordWrapBreaksAtBlanksWithinTheWidth) {
    label->SetCaption("one two three four");
    label->SetAutoSize(false);
    label->SetWidth(TextW("one two") + 2);
    label->SetWordWrap(true);
    label->SetAutoSize(true);
    EXPECT_EQ(label->Height(), 3 * LineH()); // "one two", "three", "four"
    EXPECT_EQ(label->Width(), TextW("one two"));
    // A word wider than the line stands alone rather than being cut.
    label->SetCaption("incomprehensibilities ok");
    EXPECT_EQ(label->Width(), TextW("incomprehensibilities"));
    EXPECT_EQ(label->Height(), 2 * LineH());
}

TEST_F(LabelTest, PaintsItsColourUnlessTransparentAndEmbossesWhenDisabled) {
    label->SetCaption("Label");
    label->SetColor(clYellow);
    EXPECT_EQ(PixelAt(*label, label->Width() - 1, label->Height() - 1), clYellow);
    label->SetTransparent(true);
    EXPECT_EQ(PixelAt(*label, label->Width() - 1, label->Height() - 1), clWhite); // the form
    label->SetTransparent(false);
    int ink = CountColour(clWindowText);
    EXPECT_GT(ink, 0);
    label->SetEnabled(false);
    EXPECT_EQ(CountColour(clWindowText), 0);
    EXPECT_GT(CountColour(clBtnHighlight), 0);
    EXPECT_GT(CountColour(clBtnShadow), 0);
}

TEST_F(LabelTest, LayoutMovesTheTextDownInATallLabel) {
    label->SetCaption("Mid");
    label->SetAutoSize(false);
    label->SetHeight(LineH() * 3);
    label->SetColor(clWhite);
    auto firstInkRow = [&] {
        for (int y = 0; y < label->Height(); ++y)
            for (int x = 0; x < label->Width(); ++x)
                if (PixelAt(*label, x, y) != clWhite) return y;
        return -1;
    };
    int top = firstInkRow();
    label->SetLayout(tlCenter);
    EXPECT_EQ(firstInkRow(), top + LineH());
    label->SetLayout(tlBottom);
    EXPECT_EQ(firstInkRow(), top + 2 * LineH());
}

TEST_F(LabelTest, DrawsAlignedWrappedAndDisabledLabels) {
    label->SetCaption("&Name:");
    auto* centred = new TLabel(form.get());
    centred->SetParent(form.get());
    centred->SetAutoSize(false);
    centred->SetBounds(10, 30, 120, 17);
    centred->SetAlignment(taCenter);
    centred->SetColor(clSilver);
    centred->SetCaption("centred");
    auto* wrapped = new TLabel(form.get());
    wrapped->SetParent(form.get());
    wrapped->SetAutoSize(false);
    wrapped->SetBounds(10, 55, 90, 45);
    wrapped->SetWordWrap(true);
    wrapped->SetCaption("a label that wraps at its blanks");
    auto* off = new TLabel(form.get());
    off->SetParent(form.get());
    off->SetBounds(10, 105, 0, 0);
    off->SetCaption("Disabled");
    off->SetEnabled(false);
    TBitmap shot;
    Snapshot(*form, shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/stdctrls_label"));
}

} // namespace
} // namespace kel::test
