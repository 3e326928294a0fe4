// Tests of the memo: Lines and Text in step, OnChange once per change (typed or by code),
// Enter and Tab with WantReturns and WantTabs, caret movement over lines and wrapped rows,
// selection across lines with the clipboard, MaxLength, scrolling, the scroll bars and the
// drawn look.
#include "controls_test_util.h"
#include "kel_buttons.h"
#include "kel_stdctrls.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

class MemoTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        memo = new TMemo(form.get());
        memo->SetParent(form.get());
        memo->SetBounds(10, 10, 150, 80);
        memo->SetOnChange([this](TObject*) {
            ++changes;
            texts.push_back(memo->Text());
        });
        Clipboard().Clear();
    }
    void Stroke(std::uint16_t key, TShiftState s = {}) { KeyStroke(*form, key, s); }

    TMemo* memo = nullptr;
    int changes = 0;
    std::vector<std::string> texts;
};

TEST_F(MemoTest, LinesAndTextStayInStepAndEveryChangeFiresOnce) {
    memo->SetText("one\r\ntwo\nthree");
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(memo->Lines().Count(), 3);
    EXPECT_EQ(memo->Lines()[2], "three");
    EXPECT_EQ(memo->Text(), "one\r\ntwo\r\nthree"); // line breaks become CR LF
    memo->Lines().Add("four");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(texts.back(), "one\r\ntwo\r\nthree\r\nfour"); // Text is new inside OnChange
    memo->Lines().Delete(0);
    memo->Lines().SetStrings(0, "TWO");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(memo->Text(), "TWO\r\nthree\r\nfour");
    memo->SetText(memo->Text()); // the same text: nothing
    EXPECT_EQ(changes, 4);
    memo->SetText("end\r\n"); // a trailing break gives an empty last line
    EXPECT_EQ(memo->Lines().Count(), 2);
    memo->Clear();
    EXPECT_EQ(memo->Lines().Count(), 0);
    EXPECT_EQ(changes, 6);
}

TEST_F(MemoTest, TypingEnterAndBackspaceEditLinesWithOneChangeEach) {
    memo->SetFocus();
    Type(*form, "ab");
    Stroke(VK_RETURN);
    Type(*form, "c");
    EXPECT_EQ(memo->Text(), "ab\r\nc");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(memo->CaretPos(), (TPoint{1, 1}));
    EXPECT_EQ(memo->SelStart(), 5); // a line break counts two characters
    Stroke(VK_HOME);
    Stroke(VK_BACK); // joins the lines
    EXPECT_EQ(memo->Text(), "abc");
    EXPECT_EQ(memo->CaretPos(), (TPoint{2, 0}));
    Stroke(VK_END);
    Stroke(VK_LEFT, {ssShift});
    Stroke(VK_DELETE);
    EXPECT_EQ(memo->Text(), "ab");
    EXPECT_EQ(changes, 6);
    EXPECT_TRUE(memo->Modified());
}

TEST_F(MemoTest, WithoutWantReturnsEnterGoesToTheDefaultButtonAndCtrlEnterBreaks) {
    auto* ok = new TButton(form.get());
    ok->SetParent(form.get());
    ok->SetBounds(10, 100, 60, 25);
    ok->SetDefault(true);
    int clicks = 0;
    ok->SetOnClick([&](TObject*) { ++clicks; });
    memo->SetFocus();
    Stroke(VK_RETURN); // the memo wants Enter: a line break, no click
    EXPECT_EQ(memo->Lines().Count(), 2);
    EXPECT_EQ(clicks, 0);
    memo->SetWantReturns(false);
    Stroke(VK_RETURN);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(memo->Lines().Count(), 2);
    Stroke(VK_RETURN, {ssCtrl});
    EXPECT_EQ(memo->Lines().Count(), 3);
}

TEST_F(MemoTest, TabInsertsOnlyWithWantTabs) {
    auto* next = new TEdit(form.get());
    next->SetParent(form.get());
    next->SetBounds(10, 100, 60, 21);
    memo->SetFocus();
    Stroke(VK_TAB);
    EXPECT_TRUE(next->Focused());
    EXPECT_EQ(memo->Text(), "");
    memo->SetWantTabs(true);
    memo->SetFocus();
    Stroke(VK_TAB);
    EXPECT_TRUE(memo->Focused());
    EXPECT_EQ(memo->Text(), "\t");
}

TEST_F(MemoTest, ArrowsMoveOverLinesKeepingTheColumnAndShiftSelectsAcrossLines) {
    memo->SetText("first line\r\nab\r\nthird line");
    memo->SetFocus();
    memo->SetCaretPos({8, 0});
    Stroke(VK_DOWN);
    EXPECT_EQ(memo->CaretPos(), (TPoint{2, 1})); // clamped to the short line
    Stroke(VK_DOWN);
    EXPECT_EQ(memo->CaretPos().Y, 2);
    EXPECT_GE(memo->CaretPos().X, 7); // back near the column it came from
    Stroke(VK_RIGHT, {ssCtrl});
    Stroke(VK_HOME, {ssCtrl});
    EXPECT_EQ(memo->CaretPos(), (TPoint{0, 0}));
    Stroke(VK_RIGHT);
    Stroke(VK_DOWN, {ssShift});
    EXPECT_EQ(memo->SelText(), "irst line\r\na");
    EXPECT_EQ(memo->SelLength(), 12);
    Stroke('C', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), "irst line\r\na");
    Stroke('X', {ssCtrl});
    EXPECT_EQ(memo->Text(), "fb\r\nthird line");
    memo->SetCaretPos({10, 1});
    Stroke('V', {ssCtrl});
    EXPECT_EQ(memo->Text(), "fb\r\nthird lineirst line\r\na");
    EXPECT_EQ(memo->CaretPos(), (TPoint{1, 2}));
    // Ctrl+A selects everything, Ctrl+Insert copies, Shift+Insert pastes.
    Stroke('A', {ssCtrl});
    EXPECT_EQ(memo->SelLength(), int(memo->Text().size()));
    Clipboard().Clear();
    Stroke(VK_INSERT, {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), memo->Text());
    memo->SetCaretPos({0, 0});
    Clipboard().SetAsText("<>");
    Stroke(VK_INSERT, {ssShift});
    EXPECT_EQ(memo->Lines()[0], "<>fb");
}

TEST_F(MemoTest, SelStartSelLengthAndSelTextWorkOnTheWholeText) {
    memo->SetText("abc\r\ndef");
    memo->SetSelStart(2);
    memo->SetSelLength(4);
    EXPECT_EQ(memo->SelText(), "c\r\nd");
    memo->SetSelText("X\nY\nZ");
    EXPECT_EQ(memo->Text(), "abX\r\nY\r\nZef");
    EXPECT_EQ(memo->CaretPos(), (TPoint{1, 2}));
    EXPECT_EQ(memo->PosFromIndex(4), (TPoint{3, 0})); // inside a line break: its line's end
    EXPECT_EQ(memo->IndexFromPos({0, 1}), 5);
    memo->SelectAll();
    EXPECT_EQ(memo->SelLength(), int(memo->Text().size()));
}

TEST_F(MemoTest, UndoTakesBackTheLastStepAndASecondUndoRedoes) {
    memo->SetFocus();
    Type(*form, "abc");
    Stroke(VK_RETURN);
    Type(*form, "de"); // a run of typing after the line break: one step
    int before = changes;
    Stroke('Z', {ssCtrl});
    EXPECT_EQ(memo->Text(), "abc\r\n");
    EXPECT_EQ(memo->CaretPos(), (TPoint{0, 1}));
    EXPECT_EQ(changes, before + 1);
    memo->Undo();
    EXPECT_EQ(memo->Text(), "abc\r\nde");
    // A selection replaced across lines comes back selected.
    memo->SetSelStart(1);
    memo->SetSelLength(5);
    Stroke(VK_DELETE);
    EXPECT_EQ(memo->Text(), "ae");
    Stroke(VK_BACK, {ssAlt});
    EXPECT_EQ(memo->Text(), "abc\r\nde");
    EXPECT_EQ(memo->SelText(), "bc\r\nd");
    memo->Lines().Add("by code");
    EXPECT_FALSE(memo->CanUndo());
    memo->Undo();
    EXPECT_EQ(memo->Lines().Count(), 3);
}

TEST_F(MemoTest, MaxLengthAndReadOnlyLimitTheUserOnly) {
    memo->SetMaxLength(5);
    memo->SetFocus();
    Type(*form, "abc");
    Stroke(VK_RETURN); // two characters: fits exactly
    Type(*form, "d");
    EXPECT_EQ(memo->Text(), "abc\r\n");
    memo->SetText("a longer text by code");
    EXPECT_EQ(memo->Text(), "a longer text by code");
    memo->SetReadOnly(true);
    int before = changes;
    Type(*form, "x");
    Stroke(VK_BACK);
    EXPECT_EQ(changes, before);
}

TEST_F(MemoTest, WordWrapBreaksLongLinesIntoRowsAndUpDownMoveByRows) {
    memo->SetText("alpha beta gamma delta epsilon zeta eta theta");
    int wrapped = memo->RowCount();
    EXPECT_GT(wrapped, 1);
    memo->SetFocus();
    memo->SetCaretPos({0, 0});
    Stroke(VK_DOWN);
    EXPECT_EQ(memo->CaretPos().Y, 0); // still the first line, next row
    EXPECT_GT(memo->CaretPos().X, 0);
    Stroke(VK_UP);
    Stroke(VK_END);
    EXPECT_GT(memo->CaretPos().X, 0);
    EXPECT_LT(memo->CaretPos().X, int(memo->Text().size())); // End of the row, not the line
    memo->SetWordWrap(false);
    EXPECT_EQ(memo->RowCount(), 1);
    Stroke(VK_END);
    EXPECT_EQ(memo->CaretPos().X, int(memo->Text().size()));
}

TEST_F(MemoTest, TheViewScrollsToTheCaretAndWithTheWheel) {
    std::string t;
    for (int i = 0; i < 20; ++i) t += "line " + std::to_string(i) + "\r\n";
    memo->SetText(t);
    int vis = memo->VisibleRowCount();
    ASSERT_GT(vis, 1);
    memo->SetFocus();
    Stroke(VK_END, {ssCtrl});
    EXPECT_EQ(memo->TopRow(), memo->RowCount() - vis);
    Stroke(VK_HOME, {ssCtrl});
    EXPECT_EQ(memo->TopRow(), 0);
    Wheel(*memo, 10, 10, -120);
    EXPECT_EQ(memo->TopRow(), 3);
    Wheel(*memo, 10, 10, 240);
    EXPECT_EQ(memo->TopRow(), 0);
}

TEST_F(MemoTest, AClickPlacesTheCaretOnTheRowUnderThePointer) {
    memo->SetText("abc\r\ndefgh");
    TPoint p = memo->PosToClient({3, 1});
    ClickAt(*memo, p.X, p.Y + 2);
    EXPECT_TRUE(memo->Focused());
    EXPECT_EQ(memo->CaretPos(), (TPoint{3, 1}));
    DoubleClickAt(*memo, p.X, p.Y + 2);
    EXPECT_EQ(memo->SelText(), "defgh");
}

TEST_F(MemoTest, DrawsTextSelectionAndCaret) {
    memo->SetText("First line\r\nSecond line wraps within the memo\r\nThird");
    memo->SetHideSelection(false);
    memo->SetSelStart(6);
    memo->SetSelLength(10);
    EXPECT_EQ(PixelAt(*memo, 0, 0), ColorToRGB(clBtnShadow));
    TPoint sel = memo->PosToClient({8, 0});
    EXPECT_EQ(PixelAt(*memo, sel.X, sel.Y + 1), ColorToRGB(clHighlight));
    TBitmap shot;
    Snapshot(*memo, shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/stdctrls_memo"));
}

// ---- Scroll bars ------------------------------------------------------------------------------

std::string Numbered(int n) {
    std::string t;
    for (int i = 0; i < n; ++i) t += "line " + std::to_string(i) + "\r\n";
    return t;
}

TEST_F(MemoTest, AVerticalBarTakesItsWidthFromTheTextAndScrollsTheRows) {
    memo->SetText(Numbered(20));
    const TRect before = memo->TextArea();
    EXPECT_TRUE(memo->VertScrollBarRect().IsEmpty());
    memo->SetScrollBars(ssVertical);
    // Inside the 2-pixel frame, on the right, over the whole height.
    EXPECT_EQ(memo->VertScrollBarRect(), Rect(150 - 2 - 17, 2, 148, 78));
    EXPECT_TRUE(memo->HorzScrollBarRect().IsEmpty());
    EXPECT_EQ(memo->TextArea().Right, before.Right - 17);
    const TRect v = memo->VertScrollBarRect();
    const int vis = memo->VisibleRowCount();
    // The down arrow scrolls one row, without moving the caret or taking the focus.
    ClickAt(*memo, v.Left + 8, v.Bottom - 4);
    EXPECT_EQ(memo->TopRow(), 1);
    EXPECT_EQ(memo->CaretPos(), (TPoint{0, 0}));
    EXPECT_FALSE(memo->Focused());
    ClickAt(*memo, v.Left + 8, v.Top + 4); // the up arrow
    EXPECT_EQ(memo->TopRow(), 0);
    // The thumb (at the top) dragged past the end shows the last page.
    Drag(*memo, v.Left + 8, v.Top + 17 + 3, v.Left + 8, v.Bottom + 40);
    EXPECT_EQ(memo->TopRow(), memo->RowCount() - vis);
    // The track above the thumb: a page back.
    ClickAt(*memo, v.Left + 8, v.Top + 17 + 3);
    EXPECT_EQ(memo->TopRow(), memo->RowCount() - 2 * vis);
    // Keys move the thumb with the rows.
    memo->SetFocus();
    Stroke(VK_HOME, {ssCtrl});
    EXPECT_EQ(memo->TopRow(), 0);
    memo->Update();
    EXPECT_EQ(PixelAt(*memo, v.Left + 3, v.Top + 17 + 3), ColorToRGB(clBtnFace)); // thumb on top
    EXPECT_NE(PixelAt(*memo, v.Left + 3, v.Bottom - 17 - 3), ColorToRGB(clBtnFace));
    // With nothing to scroll the bar stays and its arrows do nothing.
    memo->SetText("short");
    ClickAt(*memo, v.Left + 8, v.Bottom - 4);
    EXPECT_EQ(memo->TopRow(), 0);
    EXPECT_FALSE(memo->VertScrollBarRect().IsEmpty());
}

TEST_F(MemoTest, TheHorizontalBarShowsOnlyWithoutWordWrapAndScrollsToTheWidestLine) {
    memo->SetText("a line that is much wider than the memo shows at once, and more\r\nshort");
    memo->SetScrollBars(ssBoth);
    EXPECT_TRUE(memo->HorzScrollBarRect().IsEmpty()); // WordWrap: rows never outgrow the memo
    const int wrappedRows = memo->RowCount();
    memo->SetWordWrap(false);
    EXPECT_LT(memo->RowCount(), wrappedRows);
    const TRect h = memo->HorzScrollBarRect(), v = memo->VertScrollBarRect();
    EXPECT_EQ(h, Rect(2, 80 - 2 - 17, 150 - 2 - 17, 78));
    EXPECT_EQ(v.Bottom, h.Top); // the corner between them belongs to neither
    EXPECT_EQ(memo->TextArea().Bottom, 80 - 2 - 1 - 17);
    ClickAt(*memo, h.Right - 4, h.Top + 8); // the right arrow
    const int step = memo->ScrollX();
    EXPECT_GT(step, 0);
    ClickAt(*memo, h.Left + 4, h.Top + 8); // the left arrow
    EXPECT_EQ(memo->ScrollX(), 0);
    // The thumb at the far right shows the end of the widest line: the caret put there by
    // End needs no further scrolling.
    Drag(*memo, h.Left + 17 + 5, h.Top + 8, h.Right + 60, h.Top + 8);
    const int far = memo->ScrollX();
    EXPECT_GT(far, step);
    memo->SetFocus();
    Stroke(VK_END);
    EXPECT_EQ(memo->ScrollX(), far);
    TPoint caret = memo->PosToClient(memo->CaretPos());
    EXPECT_LT(caret.X, memo->TextArea().Right);
    EXPECT_GE(caret.X, memo->TextArea().Right - 2);
    // Back to wrapping: the bar goes and the view returns to the left.
    memo->SetWordWrap(true);
    EXPECT_TRUE(memo->HorzScrollBarRect().IsEmpty());
    EXPECT_EQ(memo->ScrollX(), 0);
    // A memo too narrow for a bar shows none.
    memo->SetScrollBars(ssVertical);
    memo->SetWidth(18);
    EXPECT_TRUE(memo->VertScrollBarRect().IsEmpty());
}

TEST_F(MemoTest, DrawsItsScrollBars) {
    memo->SetText("A first line wider than the memo\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix");
    memo->SetWordWrap(false);
    memo->SetScrollBars(ssBoth);
    TBitmap shot;
    Snapshot(*memo, shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/stdctrls_memo_bars"));
    const TRect v = memo->VertScrollBarRect(), h = memo->HorzScrollBarRect();
    EXPECT_EQ(PixelAt(*memo, v.Right - 3, h.Bottom - 3), ColorToRGB(clBtnFace)); // the corner
}

} // namespace
} // namespace kel::test
