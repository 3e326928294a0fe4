// What the table editor shows: text positions in data cells (Left + 2, Top + 1), the cell
// cursor in the top-left cell, the comment editor's colours, mark and selection colours, the
// gate that stops painting, and reference images of a default editor and of one with marks,
// a selection and both attribute headers.
#include "KEL_ntabed.h"
#include "kel_form_fixture.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

class NTabEdPaint : public FormTest {
  protected:
    NTabEdPaint() : FormTest(340, 200) {}
    void SetUp() override {
        FormTest::SetUp();
        ed = new TNTabEd(form.get());
        ed->SetParent(form.get());
        ed->SetBorderStyle(bsNone);
        ed->SetScrollBars(ssNone);
        ed->SetBounds(0, 0, 320, 150);
        Flush();
    }
    // The leftmost and topmost pixel of colour c inside a cell, relative to the cell.
    TPoint FirstInk(int GCol, int GRow, TColor c) {
        const TRect r = ed->CellRect(GCol, GRow);
        TPoint p{-1, -1};
        for (int x = r.Left; x < r.Right && p.X < 0; ++x)
            for (int y = r.Top; y < r.Bottom; ++y)
                if (PixelAt(*ed, x, y) == c) {
                    p.X = x - r.Left;
                    break;
                }
        for (int y = r.Top; y < r.Bottom && p.Y < 0; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (PixelAt(*ed, x, y) == c) {
                    p.Y = y - r.Top;
                    break;
                }
        return p;
    }
    // The top-left cell, away from the grid's raised edge, equals Text drawn at (3, 2) in Fg
    // on Bg with the grid's font.
    void ExpectTopLeft(TColor Bg, TColor Fg, const std::string& Text) {
        const TRect r = ed->CellRect(0, 0);
        TBitmap shot;
        Snapshot(*ed, shot);
        TBitmap ref;
        ref.SetSize(r.Width(), r.Height());
        ref.Canvas().Brush().SetColor(Bg);
        ref.Canvas().FillRect(Rect(0, 0, r.Width(), r.Height()));
        ref.Canvas().Font().Assign(&ed->Font());
        ref.Canvas().Font().SetColor(Fg);
        ref.Canvas().TextRect(Rect(0, 0, r.Width(), r.Height()), 3, 2, Text);
        for (int y = 1; y < r.Height() - 1; ++y)
            for (int x = 1; x < r.Width() - 1; ++x)
                ASSERT_EQ(shot.Canvas().Pixels(r.Left + x, r.Top + y), ref.Canvas().Pixels(x, y))
                    << Text << " at " << x << "," << y;
    }
    TNTabEd* ed = nullptr;
};

TEST_F(NTabEdPaint, DataTextStartsAtLeftPlusTwoTopPlusOne) {
    // "1.000" in a cell that is not selected; the glyph "1" has ink from its left edge, so
    // compare with the same text drawn at (2, 1) on a bitmap with the grid's font.
    ed->SetElem(2, 2, 1);
    ed->SetColorNormal(clBlack);
    Flush();
    TBitmap ref;
    ref.SetSize(80, 24);
    ref.Canvas().Brush().SetColor(clWhite);
    ref.Canvas().FillRect(Rect(0, 0, 80, 24));
    ref.Canvas().Font().Assign(&ed->Font());
    ref.Canvas().Font().SetColor(clBlack);
    ref.Canvas().TextOut(2, 1, "1.000");
    TPoint want{-1, -1};
    for (int x = 0; x < 80 && want.X < 0; ++x)
        for (int y = 0; y < 24; ++y)
            if (ref.Canvas().Pixels(x, y) == clBlack) {
                want.X = x;
                break;
            }
    for (int y = 0; y < 24 && want.Y < 0; ++y)
        for (int x = 0; x < 80; ++x)
            if (ref.Canvas().Pixels(x, y) == clBlack) {
                want.Y = y;
                break;
            }
    const TPoint got = FirstInk(3, 2, clBlack);
    EXPECT_EQ(got.X, want.X);
    EXPECT_EQ(got.Y, want.Y);
}

TEST_F(NTabEdPaint, TopLeftCellShowsTheCursorOrTheCommentLabel) {
    ed->SetColorNormal(clBlack);
    ed->SelectDataRange(2, 3, 2, 3);
    Flush();
    ExpectTopLeft(clWindow, clBlack, "2:3");
    ed->SetShowCellCursor(false);
    Flush();
    EXPECT_EQ(FirstInk(0, 0, clBlack).X, -1);
    // The comment editor: teal cell with white "Comment:" at (3, 2), and a teal memo.
    const TRect r = ed->CellRect(0, 0);
    ClickAt(*ed, r.Left + 10, r.Top + 10, {}, mbRight);
    Flush();
    ASSERT_NE(ed->CommentEditor(), nullptr);
    ExpectTopLeft(TColor(0x808000), clWhite, "Comment:");
    EXPECT_EQ(ed->CommentEditor()->Color(), TColor(0x808000));
    EXPECT_EQ(ed->CommentEditor()->Font().Color(), clWhite);
}

TEST_F(NTabEdPaint, TheCellCursorFollowsKeysAndScrolling) {
    ed->SetColorNormal(clBlack);
    ed->SetNrRows(40);
    ed->SetFocus();
    Flush();
    int scrolls = 0, selections = 0;
    ed->SetOnTopLeftChanged([&](TObject*) { ++scrolls; });
    ed->SetOnSelectionChanged([&](TObject*) { ++selections; });
    KeyStroke(*form, VK_DOWN);
    KeyStroke(*form, VK_RIGHT);
    Flush();
    ExpectTopLeft(clWindow, clBlack, "2:2");
    EXPECT_EQ(selections, 2);
    const TRect c = ed->CellRect(3, 3);
    Wheel(*ed, c.Left + 5, c.Top + 5, -120);
    Flush();
    EXPECT_EQ(selections, 3); // a wheel turn always reports the selection
    ed->SetDataTopRow(20);
    EXPECT_EQ(scrolls, 1);
}

TEST_F(NTabEdPaint, MarksAndSelectionColourTheCells) {
    ed->SetElem(1, 1, 8);
    ed->SetElem(2, 1, 8);
    ed->SetElem(3, 1, 8);
    ed->SetElemMarkedA(1, 1, true);
    ed->SetElemMarkedB(2, 1, true);
    ed->SetElemMarkedA(3, 1, true);
    ed->SetElemMarkedB(3, 1, true);
    ed->SetElem(2, 4, 1); // "1.000": the stem of the 1 is solid ink
    ed->SelectDataRange(1, 3, 2, 4);
    Flush();
    EXPECT_GE(FirstInk(2, 1, TColor(0x0000FF)).X, 2);
    EXPECT_GE(FirstInk(3, 1, TColor(0xFF0000)).X, 2);
    EXPECT_GE(FirstInk(4, 1, TColor(0xCC00BB)).X, 2);
    const TRect sel = ed->CellRect(3, 4); // not the focused cell of the block
    EXPECT_EQ(PixelAt(*ed, sel.Right - 2, sel.Bottom - 2), TColor(0xF8E8E0));
    EXPECT_GE(FirstInk(3, 4, TColor(0x80552C)).X, 2);
}

TEST_F(NTabEdPaint, NothingIsPaintedWhilePaintingIsSuppressed) {
    ed->SetSuppressPaint(true);
    ed->SetElem(2, 2, 1);
    ed->SetColorNormal(clRed);
    ed->Invalidate();
    Flush();
    EXPECT_EQ(FirstInk(3, 2, clRed).X, -1);
    ed->SetSuppressPaint(false);
    Flush();
    EXPECT_GE(FirstInk(3, 2, clRed).X, 2);
}

TEST_F(NTabEdPaint, DefaultEditorMatchesReference) {
    TBitmap b;
    Snapshot(*ed, b);
    EXPECT_TRUE(MatchesReference(b, "tabed/ref/ntabed_default"));
}

TEST_F(NTabEdPaint, MarksSelectionAndAttributeHeadersMatchReference) {
    ed->SetAttribColVisible(true);
    ed->SetNrRows(4);
    const double v[4][3] = {{1.5, 20, -3.25}, {0.004, 7, 1e7}, {12, 0, 4}, {-1, 2.5, 9}};
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 3; ++c) ed->SetElem(c, r, v[r - 1][c - 1]);
    ed->SetColName(1, "Temp");
    ed->SetColName(2, "Flow");
    ed->SetColName(3, "Level");
    for (int r = 1; r <= 4; ++r) ed->SetRowName(r, "Run " + std::to_string(r));
    ed->SetColAttrib(2, 4);
    ed->SetRowAttrib(3, 17);
    ed->SetPrecision(2, 1);
    ed->SetElemMarkedA(1, 1, true);
    ed->SetElemMarkedB(3, 2, true);
    ed->SetElemMarkedA(2, 4, true);
    ed->SetElemMarkedB(2, 4, true);
    ed->SetCellState(3, 4, dtsInvalid);
    ed->SetIsEmpty(1, 4, true);
    ed->SelectDataRange(2, 2, 3, 3);
    ed->SetColWidths(0, 60);
    Flush();
    TBitmap b;
    Snapshot(*ed, b);
    EXPECT_TRUE(MatchesReferenceAndDocs(b, "tabed", "ntabed_marks"));
}

} // namespace
} // namespace kel::test
