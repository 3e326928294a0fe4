// Drawing of the report list view, checked pixel by pixel at the places its layout fixes (check
// box and radio button outlines and marks, the sort arrow, raised frames, bands, selection
// colours, cut text, the empty message, the inter-row indicator) and against reference images
// of a view with every column kind; also the layout rules that decide where things are drawn.
#include "KEL_replist.h"
#include "headless.h"
#include "kel_app.h"
#include "kel_forms.h"
#include "kel_messages.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace kel::test {
namespace {

using namespace kel::headless;

// A borderless view of 5 columns x 4 rows at (0, 0) of a 400 x 300 form; the column header row
// is 20 pixels plus its line, so data row r starts at y = 21 + (r - 1) * 25.
class RLViewPaint : public ::testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 400, 300);
        form->SetColor(clWhite);
        view = new TReportListView(form.get());
        view->SetParent(form.get());
        view->SetBorderStyle(bsNone);
        view->SetScrollBars(ssNone);
        view->SetBounds(0, 0, 360, 200);
        form->Show();
        Flush();
    }
    void TearDown() override {
        form.reset();
        Flush();
        ReleaseAllKeys();
        Application->ResetState();
    }
    TColor Px(int x, int y) { return PixelAt(*view, x, y); }
    static int RowTop(int r) { return 21 + (r - 1) * 25; }
    void Shot(TBitmap& b) { Snapshot(*view, b); }

    std::unique_ptr<TForm> form;
    TReportListView* view = nullptr;
};

const TColor Shaded = 0xF0EFE8;
const TColor TextCol = 0x002000;

TEST_F(RLViewPaint, DefaultsMatchTheConstructorTable) {
    EXPECT_EQ(view->NrOfColumns(), 5);
    EXPECT_EQ(view->NrOfRows(), 4);
    EXPECT_EQ(view->FixedRows(), 1);
    EXPECT_EQ(view->RowCount(), 5);
    EXPECT_EQ(view->RowSelectMode(), 1);
    EXPECT_EQ(view->CommonHeader(), "Kel Report Listview");
    EXPECT_EQ(view->ColorBkgdShaded(), Shaded);
    EXPECT_FALSE(view->DefaultDrawing());
    EXPECT_TRUE(view->Options().contains(goRowSelect));
    EXPECT_FALSE(view->Options().contains(goVertLine));
}

TEST_F(RLViewPaint, HeaderRowsDecideWhereDataRowOneLies) {
    view->SetColumnHeadersVisible(false);
    EXPECT_EQ(view->FixedRows(), 0);
    EXPECT_EQ(view->MouseCell(10, 5).Y, 1);
    view->SetCommonHeaderVisible(true);
    view->SetColumnHeadersVisible(true);
    EXPECT_EQ(view->FixedRows(), 2);
    EXPECT_EQ(view->RowCount(), 6);
    EXPECT_EQ(view->MouseCell(10, 5).Y, -2);
    EXPECT_EQ(view->MouseCell(10, 25).Y, -1);
    EXPECT_EQ(view->MouseCell(10, 45).Y, 1);
    view->SetCommonHeaderHeight(200);
    EXPECT_EQ(view->CommonHeaderHeight(), 127);
    view->SetCommonHeaderHeight(3);
    EXPECT_EQ(view->CommonHeaderHeight(), 8);
    EXPECT_EQ(view->RowHeights(0), 8);
}

TEST_F(RLViewPaint, BandsFollowRowColPattern) {
    // Pattern 1: rows 1, 3 shaded; 2, 4 normal.
    EXPECT_EQ(Px(40, RowTop(1) + 20), Shaded);
    EXPECT_EQ(Px(40, RowTop(2) + 20), clWhite);
    EXPECT_EQ(Px(40, RowTop(3) + 20), Shaded);
    view->SetRowColPattern(2);
    EXPECT_EQ(Px(40, RowTop(1) + 20), Shaded);
    EXPECT_EQ(Px(40, RowTop(2) + 20), Shaded);
    EXPECT_EQ(Px(40, RowTop(3) + 20), clWhite);
    EXPECT_EQ(Px(40, RowTop(4) + 20), clWhite);
    view->SetRowColPattern(0);
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(Px(40, RowTop(r) + 20), clWhite) << r;
}

TEST_F(RLViewPaint, SelectionColoursWithBothAndDisabledRowsIgnoringThem) {
    view->SetColorSelectedBoth(0x00AA00);
    view->SetColorSelectedCol(0x0000AA);
    view->SetRowSelected(2, true);
    view->SetColumnSelected(3, true);
    EXPECT_EQ(Px(2 * 65 + 40, RowTop(2) + 20), TColor(0x00AA00)); // row 2, column 3: both
    EXPECT_EQ(Px(40, RowTop(2) + 20), TColor(0x94BAED));          // row colour
    EXPECT_EQ(Px(2 * 65 + 40, RowTop(1) + 20), TColor(0x0000AA)); // column colour
    view->SetRowEnabled(2, false);
    view->SetHighLightRow(2);
    EXPECT_EQ(Px(2 * 65 + 40, RowTop(2) + 20), TColor(0xF0F0F0));
    EXPECT_EQ(Px(40, RowTop(2) + 20), TColor(0xF0F0F0));
    view->SetHighLightRow(3);
    EXPECT_EQ(Px(40, RowTop(3) + 20), TColor(0xCC9966));
}

TEST_F(RLViewPaint, CheckBoxOutlineAndMarkSitAtFixedOffsets) {
    view->SetColumnCheckMode(1, cmBox);
    view->SetRowColPattern(0);
    view->SetElem(1, 1, "a");
    view->SetElemChecked(1, 1, true);
    const int y = RowTop(1);
    const TColor shadow = ColorToRGB(clBtnShadow);
    // Outline from (4, 4) to (15, 15) relative to the cell: corners and edges.
    EXPECT_EQ(Px(4, y + 4), shadow);
    EXPECT_EQ(Px(14, y + 14), shadow);
    EXPECT_EQ(Px(9, y + 4), shadow);
    EXPECT_EQ(Px(15, y + 9), clWhite);
    // The tick: (6,8)-(9,11) and (8,10)-(13,5), end points excluded.
    EXPECT_EQ(Px(6, y + 8), TextCol);
    EXPECT_EQ(Px(8, y + 10), TextCol);
    EXPECT_EQ(Px(12, y + 6), TextCol);
    EXPECT_EQ(Px(13, y + 5), clWhite);
    EXPECT_EQ(Px(9, y + 11), TextCol); // from the second leg of the lower stroke
    // Unchecked: only the outline.
    view->SetElemChecked(1, 1, false);
    EXPECT_EQ(Px(6, y + 8), clWhite);
    EXPECT_EQ(Px(4, y + 4), shadow);
    // Read-only marks: no outline, the mark stays.
    view->SetElemChecked(1, 1, true);
    view->SetCheckMarksReadOnly(true);
    EXPECT_EQ(Px(4, y + 4), clWhite);
    EXPECT_EQ(Px(6, y + 8), TextCol);
}

TEST_F(RLViewPaint, RadioOutlineAndDotAndEmptyCellsWithoutBoxes) {
    view->SetColumnCheckMode(2, cmRadio);
    view->SetRowColPattern(0);
    view->SetElemChecked(2, 1, true);
    const int x = 65, y = RowTop(1);
    const TColor shadow = ColorToRGB(clBtnShadow);
    EXPECT_EQ(Px(x + 9, y + 4), shadow);  // top of the circle
    EXPECT_EQ(Px(x + 4, y + 4), clWhite); // corner outside the circle
    EXPECT_EQ(Px(x + 8, y + 7), TextCol); // dot rows 7..11
    EXPECT_EQ(Px(x + 11, y + 9), TextCol);
    EXPECT_EQ(Px(x + 12, y + 9), clWhite);
    EXPECT_EQ(Px(x + 9, y + 11), TextCol);
    // Row 2 holds an empty cell: with ShowEmptyCheckBoxes false no circle is drawn there.
    view->SetElem(2, 2, "");
    EXPECT_EQ(Px(x + 9, RowTop(2) + 4), shadow);
    view->SetShowEmptyCheckBoxes(false);
    view->SetRowColPattern(0);
    EXPECT_EQ(Px(x + 9, RowTop(2) + 4), clWhite);
}

TEST_F(RLViewPaint, SortArrowPointsDownThenUpAndHeaderFrameIsRaised) {
    view->SetHeader(1, "A");
    view->Sort(1, -1, false);
    TBitmap down;
    Shot(down);
    view->Sort(1, -1, true);
    TBitmap up;
    Shot(up);
    // Raised frame of the header cell: white top and left, grey bottom.
    EXPECT_EQ(Px(0, 5), clWhite);
    EXPECT_EQ(Px(10, 0), clWhite);
    EXPECT_EQ(Px(10, 19), clGray);
    // Arrow: find its white and grey strokes within the header of column 1.
    auto count = [](TBitmap& b, TColor c, int y0, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = 12; x < 60; ++x) n += b.Canvas().Pixels(x, y) == c ? 1 : 0;
        return n;
    };
    // Descending: the horizontal edge at the top (y0 - 3) is grey; ascending: at the bottom white.
    const int w = view->Canvas().TextWidth("A");
    const int x0 = 4 + w + 10, y0 = 2 + view->Canvas().TextHeight("A") / 2;
    EXPECT_EQ(down.Canvas().Pixels(x0, y0 - 3), clGray);
    EXPECT_EQ(down.Canvas().Pixels(x0 + 3, y0 - 3), clGray);
    EXPECT_EQ(up.Canvas().Pixels(x0, y0 + 3), clWhite);
    EXPECT_EQ(up.Canvas().Pixels(x0 - 4, y0 + 3), clGray);
    EXPECT_GT(count(down, clWhite, 2, 18), 0);
    EXPECT_TRUE(MatchesReference(down, "replist/ref/rlview_sort_desc"));
    EXPECT_TRUE(MatchesReference(up, "replist/ref/rlview_sort_asc"));
}

TEST_F(RLViewPaint, BeforeRenderCellGetsDataCoordinatesAndMayRecolour) {
    view->SetCommonHeaderVisible(true); // data row 1 is now grid row 2
    std::string seen;
    view->SetOnBeforeRenderCell(
        [&](TObject*, int c, int r, TColor&, TColor& b, TColor&, TFontStyles&, std::string&) {
            if (c == 2 && r == 3) {
                b = clLime;
                seen = "2,3";
            }
        });
    Flush();
    EXPECT_EQ(seen, "2,3");
    EXPECT_EQ(Px(65 + 40, 42 + 2 * 25 + 20), clLime);
    EXPECT_NE(Px(40, 42 + 2 * 25 + 20), clLime);
}

TEST_F(RLViewPaint, FixedFirstColumnHasRaisedFrame) {
    view->SetFixedFirstColumn(true);
    EXPECT_EQ(view->FixedCols(), 1);
    const int y = RowTop(2);
    EXPECT_EQ(Px(0, y + 10), clWhite);
    EXPECT_EQ(Px(30, y), clWhite);
    EXPECT_EQ(Px(30, y + 23), clGray);
    EXPECT_EQ(Px(63, y + 10), clGray);
    EXPECT_EQ(Px(30, y + 10), ColorToRGB(clBtnFace));
}

TEST_F(RLViewPaint, LongTextIsCutWithDotsAndPasswordsShowAsterisks) {
    view->SetRowColPattern(0);
    view->SetElem(1, 1, "abcdefghijklmnopqrstuvwxyz");
    view->SetElem(2, 1, "secret");
    view->SetColumnIsPwd(2, true);
    view->SetColumnAlignment(3, taRightJustify);
    view->SetElem(3, 1, "0123456789012345678901234");
    TBitmap b;
    Shot(b);
    EXPECT_TRUE(MatchesReference(b, "replist/ref/rlview_cut_text"));
    // No text reaches past the column's right edge (the dots end before it).
    for (int y = RowTop(1); y < RowTop(1) + 24; ++y) EXPECT_EQ(Px(63, y), clWhite) << y;
}

TEST_F(RLViewPaint, EmptyTableShowsMessageLinesInTheMiddle) {
    view->SetNrRows(0);
    view->SetEmptyMessage("No data|here");
    view->SetColorEmptyMsg(clRed);
    TBitmap b;
    Shot(b);
    int top = -1, bottom = -1;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Canvas().Pixels(x, y) == clRed) {
                if (top < 0) top = y;
                bottom = y;
            }
    ASSERT_GE(top, 0);
    const int h = view->Canvas().TextHeight("No data|here");
    EXPECT_GT(bottom - top, h); // two lines
    EXPECT_GT(top, 21);
    EXPECT_TRUE(MatchesReference(b, "replist/ref/rlview_empty"));
}

TEST_F(RLViewPaint, InterRowIndicatorIsALineAboveItsRow) {
    view->SetInterRowIndicatorPos(2);
    const int y = 21 + 25; // header rows + one row of default height + line
    EXPECT_EQ(Px(100, y), clRed);
    EXPECT_EQ(Px(100, y - 2), Shaded);
    view->SetInterRowIndicatorPos(0);
    EXPECT_NE(Px(100, y), clRed);
}

TEST_F(RLViewPaint, EveryColumnKindMatchesReference) {
    view->SetCommonHeaderVisible(true);
    view->SetCommonHeader("Measurements");
    view->SetNrRows(6);
    view->SetHeader(1, "Name");
    view->SetHeader(2, "On");
    view->SetHeader(3, "Pick");
    view->SetHeader(4, "Value");
    view->SetHeader(5, "Key");
    view->SetColumnCheckMode(2, cmBox);
    view->SetColumnCheckMode(3, cmRadio);
    view->SetColumnIsPwd(5, true);
    view->SetColumnAlignment(4, taRightJustify);
    for (int r = 1; r <= 6; ++r) {
        view->SetElem(1, r, "Sample " + std::to_string(r));
        view->SetElem(2, r, "box");
        view->SetElemChecked(2, r, r % 2 == 0);
        view->SetElem(3, r, "r");
        view->SetElem(4, r, std::to_string(r * 1.5));
        view->SetElem(5, r, "pw");
    }
    view->SetElemChecked(3, 4, true);
    view->SetRowSelected(3, true);
    view->SetRowEnabled(5, false);
    view->Sort(1, -1, true);
    TBitmap b;
    Shot(b);
    EXPECT_TRUE(MatchesReference(b, "replist/ref/rlview_all_kinds"));
}

TEST_F(RLViewPaint, LayoutOperationsKeepPerColumnSettings) {
    view->SetColumnAlignment(2, taCenter);
    view->SetColumnEditable(3, true);
    EXPECT_EQ(view->InsertColumn(2), 2);
    EXPECT_EQ(view->NrOfColumns(), 6);
    EXPECT_EQ(view->ColumnAlignment(3), taCenter);
    EXPECT_TRUE(view->ColumnEditable(4));
    EXPECT_EQ(view->ColumnAlignment(2), taLeftJustify);
    view->RemoveColumn(2);
    EXPECT_EQ(view->ColumnAlignment(2), taCenter);
    EXPECT_FALSE(view->SetColumnOrder({1, 2, 3}));
    EXPECT_EQ(view->ColumnOrder(1), 1);
    EXPECT_FALSE(view->SetColumnOrder({5, 4, 3, 2, 9}));
    EXPECT_EQ(view->ColumnOrder(1), 5);
    EXPECT_EQ(view->ColumnOrder(5), 5); // the bad entry left grid column 5 as it was
    view->SetColWidths(1, 100);
    view->ExpandColWidth(2, 0);
    view->SetBounds(0, 0, 100, 200);
    view->ExpandColWidth(2, 0);
    EXPECT_EQ(view->ColWidths(2), 16);
    EXPECT_EQ(view->ColumnAlignment(0), taLeftJustify);
    EXPECT_EQ(view->ColWidths(0), 0);
}

TEST_F(RLViewPaint, AssignCopiesLookContainerAndColumnSettings) {
    auto* other = new TReportListView(form.get());
    other->SetNrCols(3);
    other->SetNrRows(2);
    other->SetElem(2, 2, "copied");
    other->SetColumnAlignment(3, taRightJustify);
    other->SetColorText(clRed);
    other->SetCommonHeaderVisible(true);
    view->Assign(other);
    EXPECT_EQ(view->NrOfColumns(), 3);
    EXPECT_EQ(view->ColCount(), 3);
    EXPECT_EQ(view->FixedRows(), 2);
    EXPECT_EQ(view->Elem(2, 2), "copied");
    EXPECT_EQ(view->ColumnAlignment(3), taRightJustify);
    EXPECT_EQ(view->ColorText(), clRed);
}

} // namespace
} // namespace kel::test
