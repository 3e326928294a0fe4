// The grid: sizes as a default plus exceptions (a hundred million rows cost nothing), geometry
// of cells and points, painting, navigation at the edges, range and row selection, SelectCell
// refusing a move, sizing by dragging the fixed lines, TopRow/LeftCol clamping, the scroll bars
// and the wheel.
#include "controls_test_util.h"
#include "kel_grids.h"
#include "kel_props.h"
#include "kel_registry_check.h"
#include "kel_test_support.h"

#include <string>
#include <variant>

namespace kel::test {
namespace {

using namespace kel::headless;

// A form of 400 x 300 with a draw grid at (10, 10) that writes "c,r" into every cell.
class GridTest : public FormTest {
  protected:
    GridTest() : FormTest(400, 300) {}
    void SetUp() override {
        FormTest::SetUp();
        grid = new TDrawGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(10, 10, 300, 200);
        grid->SetOnDrawCell([this](TObject*, int c, int r, TRect R, TGridDrawState) {
            ++drawn;
            TCanvas& cv = grid->Canvas();
            cv.Brush().SetStyle(bsClear);
            cv.TextOut(R.Left + 2, R.Top + 2, std::to_string(c) + "," + std::to_string(r));
            cv.Brush().SetStyle(bsSolid);
        });
        Flush();
    }
    // Centre of a cell in the grid's client coordinates.
    TPoint Centre(int c, int r) const {
        TRect R = grid->CellRect(c, r);
        return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
    void Click(int c, int r, TShiftState s = {}) {
        TPoint p = Centre(c, r);
        ClickAt(*grid, p.X, p.Y, s);
    }
    void Key(std::uint16_t k, TShiftState s = {}) { KeyStroke(*form, k, s); }
    // The whole grid as shown, frame and scroll bars included (the grid's ClientRect is only
    // the cell area, so this copies the control's bounds from the form).
    void Shot(TBitmap& Out) {
        TBitmap all;
        Snapshot(*form, all);
        Out.SetSize(grid->Width(), grid->Height());
        Out.Canvas().CopyRect(Rect(0, 0, grid->Width(), grid->Height()), all.Canvas(),
                              grid->BoundsRect());
    }
    std::string Sel() const {
        TGridRect s = grid->Selection();
        return std::to_string(s.Left) + "," + std::to_string(s.Top) + "-" +
               std::to_string(s.Right) + "," + std::to_string(s.Bottom);
    }

    TDrawGrid* grid = nullptr;
    int drawn = 0;
};

// ---- Sizes along an axis ----------------------------------------------------------------------

TEST(GridAxisTest, HundredMillionRowsSpanPastTwoToThe31WithoutMemoryOrOverflow) {
    TGridAxis a;
    a.SetDefault(24);
    a.SetCount(100000000);
    EXPECT_EQ(a.ExceptionCount(), 0u);
    EXPECT_EQ(a.Span(0, a.Count(), 1), 2500000000LL); // 25 pixels a row
    a.SetSize(99999999, 100);
    a.SetSize(5, 0);
    EXPECT_EQ(a.ExceptionCount(), 2u);
    EXPECT_EQ(a.Span(0, a.Count(), 1), 2500000000LL + 76 - 25);
    // The last page of a 100-pixel-high area: rows of 25 pixels, the last one of 100.
    EXPECT_EQ(a.LastPageStart(1, 100, 1), 99999999);
    EXPECT_EQ(a.LastPageStart(1, 150, 1), 99999997);
}

TEST(GridAxisTest, ExceptionsFollowCountAndDefault) {
    TGridAxis a;
    a.SetDefault(10);
    a.SetCount(10);
    a.SetSize(8, 30);
    a.SetSize(2, 10); // equal to the default: no exception
    EXPECT_EQ(a.ExceptionCount(), 1u);
    a.SetCount(5);
    a.SetCount(10);
    EXPECT_EQ(a.Size(8), 10); // dropped with the rows past the end
    a.SetSize(1, 40);
    a.SetDefault(12);
    EXPECT_EQ(a.Size(1), 12);
    EXPECT_EQ(a.ExceptionCount(), 0u);
    a.SetSize(3, -5);
    EXPECT_EQ(a.Size(3), 0);
}

TEST(GridAxisTest, HiddenItemsTakeNoSpaceAndAreSkipped) {
    TGridAxis a;
    a.SetDefault(0); // everything hidden but the exceptions
    a.SetCount(100000000);
    a.SetSize(50000000, 20);
    a.SetSize(90000000, 30);
    EXPECT_EQ(a.Span(0, a.Count(), 1), 21 + 31);
    EXPECT_EQ(a.NextShown(1), 50000000);
    EXPECT_EQ(a.PrevShown(89999999), 50000000);
    EXPECT_EQ(a.LastPageStart(0, 40, 1), 90000000);
    EXPECT_EQ(a.LastPageStart(0, 60, 1), 0);
    EXPECT_EQ(a.FullyVisibleFrom(0, 40, 1), 50000001); // the hidden ones and the first shown
}

// ---- Defaults and counts ----------------------------------------------------------------------

TEST_F(GridTest, NewGridHasThePlatformDefaults) {
    TDrawGrid g(nullptr);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.DefaultColWidth(), 64);
    EXPECT_EQ(g.DefaultRowHeight(), 24);
    EXPECT_EQ(g.GridLineWidth(), 1);
    EXPECT_EQ(g.Options().Bits(), 31u);
    EXPECT_TRUE(g.DefaultDrawing());
    EXPECT_EQ(g.FixedColor(), clBtnFace);
    EXPECT_EQ(g.Color(), clWindow);
    EXPECT_EQ(g.ScrollBars(), ssBoth);
    EXPECT_EQ(g.BorderStyle(), bsSingle);
    EXPECT_TRUE(g.TabStop());
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_EQ(g.LeftCol(), 1);
    EXPECT_EQ(g.InplaceEditor(), nullptr);
    // The published list has the same defaults.
    const TClassInfo* info = FindClass("TDrawGrid");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(HasDeclaredDefaults(g, *info));
}

TEST_F(GridTest, FixedCountsMustStayBelowTheCounts) {
    try {
        grid->SetFixedCols(5);
        FAIL() << "no exception";
    } catch (const EInvalidGridOperation& e) {
        EXPECT_STREQ(e.what(), "Fixed column count must be less than column count");
    }
    EXPECT_THROW(grid->SetFixedRows(5), EInvalidGridOperation);
    EXPECT_THROW(grid->SetFixedRows(-1), EInvalidGridOperation);
    EXPECT_EQ(grid->FixedCols(), 1);
    grid->SetColCount(3);
    grid->SetFixedCols(2);
    grid->SetColCount(2); // shrinking to the fixed count lowers it
    EXPECT_EQ(grid->FixedCols(), 1);
    grid->SetColCount(0);
    EXPECT_EQ(grid->ColCount(), 1);
    EXPECT_EQ(grid->FixedCols(), 0);
    EXPECT_THROW(grid->SetCol(1), EInvalidGridOperation);
    EXPECT_THROW(grid->SetColWidths(1, 10), EInvalidGridOperation);
}

TEST_F(GridTest, ShrinkingTheGridKeepsTheCurrentCellInside) {
    grid->SetRowCount(50);
    grid->SetRow(40);
    grid->SetRowCount(10);
    EXPECT_EQ(grid->Row(), 9);
    EXPECT_LE(grid->TopRow(), 9);
}

// ---- Geometry ---------------------------------------------------------------------------------

TEST_F(GridTest, CellRectsStartInsideTheFrameAndExcludeTheLines) {
    // A 2-pixel sunken frame, columns of 64 + 1, rows of 24 + 1; five columns do not fit in
    // 296 pixels, so a horizontal bar takes the bottom 17.
    EXPECT_EQ(grid->CellRect(0, 0), Rect(2, 2, 66, 26));
    EXPECT_EQ(grid->CellRect(2, 1), Rect(132, 27, 196, 51));
    EXPECT_EQ(grid->ClientRect(), Rect(2, 2, 298, 181));
    // The last column is cut at the cell area's edge.
    EXPECT_EQ(grid->CellRect(4, 1), Rect(262, 27, 298, 51));
    grid->SetTopRow(3);
    EXPECT_EQ(grid->CellRect(1, 1), TRect{}); // scrolled out of view
    EXPECT_EQ(grid->CellRect(1, 3), Rect(67, 27, 131, 51));
    grid->SetColWidths(2, 0);
    EXPECT_EQ(grid->CellRect(2, 3), TRect{}); // hidden
    EXPECT_EQ(grid->CellRect(3, 3), Rect(132, 27, 196, 51));
}

TEST_F(GridTest, PointsOnALineBelongToTheCellBefore) {
    EXPECT_EQ(grid->MouseCoord(65, 25), (TGridCoord{0, 0}));
    EXPECT_EQ(grid->MouseCoord(66, 26), (TGridCoord{0, 0})); // the lines
    EXPECT_EQ(grid->MouseCoord(67, 27), (TGridCoord{1, 1}));
    EXPECT_EQ(grid->MouseCoord(1, 1), (TGridCoord{-1, -1})); // on the frame
    grid->SetRowCount(3);
    int c = 0, r = 0;
    grid->MouseToCell(100, 150, c, r); // below the last row
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, -1);
}

TEST_F(GridTest, VisibleCountsCountOnlyWholeScrollableItems) {
    // 196 pixels high less the horizontal bar (17) and the fixed row (25): 154 = 6 whole rows.
    grid->SetRowCount(100);
    EXPECT_EQ(grid->VisibleRowCount(), 6);
    // 296 wide less the fixed column (65) and the bar (17): 214 = 3 whole columns of 65.
    grid->SetColCount(10);
    EXPECT_EQ(grid->VisibleColCount(), 3);
}

// ---- Painting ---------------------------------------------------------------------------------

TEST_F(GridTest, PaintsLinesFixedCellsAndTheCurrentCell) {
    auto* other = new TCountingWin(form.get());
    other->SetParent(form.get());
    other->SetBounds(320, 10, 40, 40);
    other->SetFocus();
    grid->SetRowCount(20);
    grid->SetColCount(8);
    Flush();
    // Fixed lines black, scrollable lines silver, fixed cells in the button face.
    EXPECT_EQ(PixelAt(*grid, 66, 10), clBlack);
    EXPECT_EQ(PixelAt(*grid, 131, 40), ColorToRGB(clSilver));
    EXPECT_EQ(PixelAt(*grid, 20, 30 + 12), ColorToRGB(clBtnFace));
    // Unfocused, the current cell shows highlighted.
    EXPECT_EQ(PixelAt(*grid, 120, 45), ColorToRGB(clHighlight));
    TBitmap shot;
    Shot(shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/grid_unfocused"));
    // Focused: normal colour with a dotted focus rectangle.
    grid->SetFocus();
    Flush();
    EXPECT_EQ(PixelAt(*grid, 120, 45), ColorToRGB(clWindow));
    EXPECT_EQ(PixelAt(*grid, 67, 27), ColorToRGB(clWindow) ^ 0xFFFFFF);
    EXPECT_EQ(PixelAt(*grid, 68, 27), ColorToRGB(clWindow));
}

TEST_F(GridTest, GradientStyleFillsFixedCellsFromStartToEndColour) {
    EXPECT_EQ(grid->DrawingStyle(), gdsThemed);
    EXPECT_EQ(grid->GradientStartColor(), clWhite);
    EXPECT_EQ(grid->GradientEndColor(), TColor(0xDCDCDC));
    // Without fixed lines no raised edge covers the cell's top and bottom rows.
    grid->SetOptions({goVertLine, goHorzLine});
    grid->SetGradientStartColor(RGB(250, 40, 0));
    grid->SetGradientEndColor(RGB(10, 200, 100));
    Flush();
    const TRect fixedCell = grid->CellRect(1, 0), cell = grid->CellRect(2, 2);
    const int x = fixedCell.Right - 3;                                  // clear of the cell's text
    EXPECT_EQ(PixelAt(*grid, x, fixedCell.Top), ColorToRGB(clBtnFace)); // themed: unchanged
    grid->SetDrawingStyle(gdsGradient);
    Flush();
    EXPECT_EQ(PixelAt(*grid, x, fixedCell.Top), RGB(250, 40, 0));
    EXPECT_EQ(PixelAt(*grid, x, fixedCell.Bottom - 1), RGB(10, 200, 100));
    // In between each channel moves one way, row by row.
    for (int y = fixedCell.Top + 1; y < fixedCell.Bottom; ++y) {
        const TColor above = PixelAt(*grid, x, y - 1), here = PixelAt(*grid, x, y);
        EXPECT_LE(GetRValue(here), GetRValue(above)) << y;
        EXPECT_GE(GetGValue(here), GetGValue(above)) << y;
    }
    const TColor mid = PixelAt(*grid, x, (fixedCell.Top + fixedCell.Bottom) / 2);
    EXPECT_GT(GetRValue(mid), 10);
    EXPECT_LT(GetRValue(mid), 250);
    // The fixed column gets it too; scrollable cells keep the grid's colour.
    EXPECT_EQ(PixelAt(*grid, grid->CellRect(0, 2).Right - 3, grid->CellRect(0, 2).Top),
              RGB(250, 40, 0));
    EXPECT_EQ(PixelAt(*grid, cell.Right - 3, cell.Top), ColorToRGB(clWindow));
    grid->SetDrawingStyle(gdsClassic);
    Flush();
    EXPECT_EQ(PixelAt(*grid, x, fixedCell.Top), ColorToRGB(clBtnFace));
}

TEST_F(GridTest, LineOptionsAndDrawFocusSelectedChangeThePaint) {
    grid->SetFocus();
    grid->SetOptions(grid->Options() - goVertLine);
    Flush();
    EXPECT_EQ(PixelAt(*grid, 131, 40), ColorToRGB(clWindow)); // the line in the cells' colour
    EXPECT_EQ(PixelAt(*grid, 131, 90), ColorToRGB(clWindow));
    EXPECT_EQ(grid->CellRect(2, 1).Left, 132); // the spacing stays while a vertical option is on
    grid->SetOptions(grid->Options() | goDrawFocusSelected);
    Flush();
    EXPECT_EQ(PixelAt(*grid, 67, 27), ColorToRGB(clHighlight)); // no focus rectangle
    grid->SetDefaultDrawing(false);
    Flush();
    EXPECT_EQ(PixelAt(*grid, 120, 45), ColorToRGB(clWindow)); // the handler paints selection
}

TEST_F(GridTest, PaintingDrawsOnlyTheVisibleCells) {
    grid->SetRowCount(100000000);
    grid->SetColCount(10);
    drawn = 0;
    grid->Invalidate();
    Flush();
    // 5 columns (the last one cut) by 8 rows (the last one cut).
    EXPECT_EQ(drawn, 5 * 8);
    drawn = 0;
    grid->InvalidateCell(2, 3);
    Flush();
    EXPECT_EQ(drawn, 1);
}

TEST_F(GridTest, RowSelectPaintsTheWholeRowAndOneFocusRectangle) {
    grid->SetOptions(grid->Options() | goRowSelect);
    grid->SetRow(2);
    Flush();
    EXPECT_EQ(Sel(), "1,2-4,2");
    EXPECT_EQ(PixelAt(*grid, 190, 72), ColorToRGB(clHighlight));
    grid->SetFocus();
    Flush();
    EXPECT_EQ(PixelAt(*grid, 190, 72), ColorToRGB(clHighlight)); // row select keeps it
    EXPECT_EQ(PixelAt(*grid, 67, 52), ColorToRGB(clHighlight) ^ 0xFFFFFF);
}

// ---- Keyboard navigation ----------------------------------------------------------------------

TEST_F(GridTest, ArrowsStopAtTheEdgesAndNeverEnterFixedCells) {
    grid->SetFocus();
    Key(VK_UP);
    Key(VK_LEFT);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    Key(VK_END);
    Key(VK_RIGHT);
    EXPECT_EQ(grid->Col(), 4);
    Key(VK_HOME);
    EXPECT_EQ(grid->Col(), 1);
    Key(VK_END, {ssCtrl});
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 4);
    Key(VK_DOWN);
    EXPECT_EQ(grid->Row(), 4);
    Key(VK_HOME, {ssCtrl});
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(GridTest, PageKeysMoveTheRowAndTheTopByOnePage) {
    grid->SetRowCount(100);
    grid->SetFocus();
    Key(VK_NEXT);
    EXPECT_EQ(grid->Row(), 7);
    EXPECT_EQ(grid->TopRow(), 7);
    Key(VK_NEXT, {ssCtrl}); // last fully visible row
    EXPECT_EQ(grid->Row(), 12);
    Key(VK_PRIOR, {ssCtrl});
    EXPECT_EQ(grid->Row(), 7);
    Key(VK_PRIOR);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->TopRow(), 1);
    Key(VK_DOWN, {ssCtrl}); // scrolls without moving
    EXPECT_EQ(grid->TopRow(), 2);
    EXPECT_EQ(grid->Row(), 1);
}

// Near the end, Page Down stops at the last page: the last row ends at the bottom of the cell
// area and no blank space shows below it, however often the key is pressed.
TEST_F(GridTest, PageDownNearTheEndStopsAtTheLastPage) {
    grid->SetRowCount(100);
    grid->SetFocus();
    const int page = grid->VisibleRowCount(); // fully visible rows (all rows are equally high)
    ASSERT_GT(page, 2);
    const int lastTop = 100 - page;
    grid->SetTopRow(lastTop - 2);
    grid->SetRow(lastTop);
    Key(VK_NEXT);
    EXPECT_EQ(grid->TopRow(), lastTop);
    EXPECT_EQ(grid->Row(), std::min(lastTop + page, 99));
    for (int i = 0; i < 3; ++i) Key(VK_NEXT);
    EXPECT_EQ(grid->TopRow(), lastTop);
    EXPECT_EQ(grid->Row(), 99);
    EXPECT_EQ(grid->VisibleRowCount(), page);
    // The last row is whole on screen, and a row more would not fit below it.
    const TRect last = grid->CellRect(1, 99);
    EXPECT_FALSE(last.IsEmpty());
    EXPECT_LE(last.Bottom, grid->ClientHeight());
    EXPECT_GT(last.Bottom + grid->DefaultRowHeight(), grid->ClientHeight());
}

TEST_F(GridTest, TabMovesBetweenCellsOnlyWithGoTabs) {
    auto* other = new TCountingWin(form.get());
    other->SetParent(form.get());
    other->SetBounds(320, 10, 40, 40);
    other->SetTabStop(true);
    grid->SetFocus();
    Key(VK_TAB);
    EXPECT_EQ(form->ActiveControl(), other); // the form's focus navigation
    grid->SetFocus();
    grid->SetOptions(grid->Options() | goTabs);
    grid->SetCol(4);
    Key(VK_TAB); // wraps to the next row
    EXPECT_EQ(form->ActiveControl(), grid);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 2);
    Key(VK_TAB, {ssShift});
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 1);
    Key(VK_END, {ssCtrl});
    Key(VK_TAB); // from the last cell to the first
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(GridTest, KeyboardMovesFireOnClick) {
    int clicks = 0;
    grid->SetOnClick([&](TObject*) { ++clicks; });
    grid->SetFocus();
    Key(VK_DOWN);
    Key(VK_UP);
    Key(VK_UP); // no move at the edge: no click
    EXPECT_EQ(clicks, 2);
}

TEST_F(GridTest, KeyDownHandlerSettingKeyZeroStopsTheMove) {
    grid->SetOnKeyDown([](TObject*, std::uint16_t& k, TShiftState) {
        if (k == VK_DOWN) k = 0;
    });
    grid->SetFocus();
    Key(VK_DOWN);
    EXPECT_EQ(grid->Row(), 1);
}

// ---- Selection --------------------------------------------------------------------------------

TEST_F(GridTest, ShiftArrowsAndShiftClickExtendTheRange) {
    grid->SetFocus();
    Key(VK_RIGHT, {ssShift});
    Key(VK_DOWN, {ssShift});
    EXPECT_EQ(Sel(), "1,1-2,2");
    Key(VK_DOWN); // a plain move collapses it
    EXPECT_EQ(Sel(), "2,3-2,3");
    Click(4, 1, {ssShift});
    EXPECT_EQ(Sel(), "2,1-4,3");
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(GridTest, DraggingSelectsARangeUnlessEditingIsOn) {
    TPoint a = Centre(1, 1), b = Centre(3, 3);
    Drag(*grid, a.X, a.Y, b.X, b.Y);
    EXPECT_EQ(Sel(), "1,1-3,3");
    grid->SetOptions(grid->Options() | goEditing); // range select is ignored while editing
    Drag(*grid, a.X, a.Y, b.X, b.Y);
    EXPECT_EQ(Sel(), "3,3-3,3");
    Click(1, 1);
    Key(VK_DOWN, {ssShift});
    EXPECT_EQ(Sel(), "1,2-1,2");
}

TEST_F(GridTest, ClickOnAFixedCellSelectsNothing) {
    Click(2, 0);
    Click(0, 3);
    EXPECT_EQ(Sel(), "1,1-1,1");
    EXPECT_EQ(form->ActiveControl(), grid); // but it takes the focus
}

TEST_F(GridTest, RowSelectionSpansAllScrollableColumnsAndExtendsByRows) {
    grid->SetRowCount(10);
    grid->SetOptions(grid->Options() | goRowSelect);
    Click(3, 2);
    EXPECT_EQ(Sel(), "1,2-4,2");
    Click(2, 4, {ssShift});
    EXPECT_EQ(Sel(), "1,2-4,4");
    grid->SetFocus();
    Key(VK_RIGHT); // scrolls instead of moving
    EXPECT_EQ(grid->LeftCol(), 2);
    EXPECT_EQ(Sel(), "1,2-4,4");
}

TEST_F(GridTest, AssignedSelectionSetsAnchorAndCurrentWithoutSelectCell) {
    int asked = 0;
    grid->SetOnSelectCell([&](TObject*, int, int, bool&) { ++asked; });
    grid->SetSelection({3, 3, 2, 1});
    EXPECT_EQ(Sel(), "2,1-3,3");
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(asked, 0);
    // A selection outside the grid is kept; the keyboard starts again from the nearest cell.
    grid->SetSelection({6, 6, 6, 6});
    EXPECT_EQ(grid->Col(), 6);
    grid->SetFocus();
    Key(VK_UP);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 3);
}

TEST_F(GridTest, SelectCellCanRefuseAMove) {
    grid->SetOnSelectCell([](TObject*, int c, int r, bool& can) { can = !(c == 2 && r == 1); });
    grid->SetFocus();
    Key(VK_RIGHT);
    EXPECT_EQ(grid->Col(), 1);
    Click(2, 1);
    EXPECT_EQ(grid->Col(), 1);
    grid->SetCol(2);
    EXPECT_EQ(grid->Col(), 1);
    Click(3, 2);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 2);
}

// ---- Scrolling --------------------------------------------------------------------------------

TEST_F(GridTest, TopRowAndLeftColAreClampedAndReportEveryChange) {
    grid->SetRowCount(100);
    grid->SetColCount(20);
    int changes = 0;
    grid->SetOnTopLeftChanged([&](TObject*) { ++changes; });
    grid->SetTopRow(-5);
    EXPECT_EQ(grid->TopRow(), 1);
    EXPECT_EQ(changes, 0);
    grid->SetTopRow(500);
    EXPECT_EQ(grid->TopRow(), 99);
    grid->SetLeftCol(0);
    EXPECT_EQ(grid->LeftCol(), 1);
    grid->SetLeftCol(19);
    EXPECT_EQ(grid->LeftCol(), 19);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(grid->Row(), 1); // scrolling leaves the current cell
    // A move scrolls the cell fully into view: as the first row when it lies above the top,
    // as the last row of the page when below.
    grid->SetRow(50);
    EXPECT_EQ(grid->TopRow(), 50);
    grid->SetTopRow(1);
    grid->SetRow(60);
    EXPECT_EQ(grid->TopRow(), 55);
    EXPECT_EQ(changes, 5);
}

TEST_F(GridTest, HundredMillionRowsScrollToTheEndInRows) {
    grid->SetColCount(10);
    grid->SetRowCount(100000000);
    EXPECT_EQ(grid->RowAxis().ExceptionCount(), 0u);
    grid->SetFocus();
    Key(VK_END, {ssCtrl});
    EXPECT_EQ(grid->Row(), 99999999);
    EXPECT_EQ(grid->TopRow(), 99999999 - 5);
    TRect last = grid->CellRect(9, 99999999);
    EXPECT_FALSE(last.IsEmpty());
    EXPECT_EQ(grid->MouseCoord(last.Left + 1, last.Top + 1), (TGridCoord{9, 99999999}));
    // The scroll bar's thumb sits at the bottom of its track.
    Flush();
    EXPECT_EQ(PixelAt(*grid, 290, 160), ColorToRGB(clBtnFace));
}

TEST_F(GridTest, ScrollBarArrowsTrackAndThumbScroll) {
    grid->SetRowCount(1000);
    // Vertical bar at x 281..297, from y 2 to 181 (the horizontal bar below).
    ClickAt(*grid, 289, 175); // down arrow
    EXPECT_EQ(grid->TopRow(), 2);
    ClickAt(*grid, 289, 5); // up arrow
    EXPECT_EQ(grid->TopRow(), 1);
    ClickAt(*grid, 289, 150); // the track below the thumb: one page
    EXPECT_EQ(grid->TopRow(), 7);
    // Without thumb tracking the thumb scrolls on release only.
    int top = grid->TopRow();
    MouseDownAt(*grid, 289, 24);
    MoveTo(*grid, 289, 90, {});
    EXPECT_EQ(grid->TopRow(), top);
    MouseUpAt(*grid, 289, 90);
    EXPECT_GT(grid->TopRow(), 400);
    // With it, while dragging; dragging to the end reaches the last page.
    grid->SetOptions(grid->Options() | goThumbTracking);
    grid->SetTopRow(1);
    MouseDownAt(*grid, 289, 22);
    MoveTo(*grid, 289, 60, {});
    EXPECT_GT(grid->TopRow(), 1);
    MoveTo(*grid, 289, 400, {});
    EXPECT_EQ(grid->TopRow(), 994);
    MouseUpAt(*grid, 289, 400);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(GridTest, HeldScrollBarButtonsAndSelectingBeyondTheCellsRepeat) {
    grid->SetRowCount(1000);
    MouseDownAt(*grid, 289, 175); // the down arrow, held
    EXPECT_EQ(grid->TopRow(), 2);
    Application->Advance(399);
    EXPECT_EQ(grid->TopRow(), 2);
    Application->Advance(1);
    EXPECT_EQ(grid->TopRow(), 3);
    Application->Advance(100);
    EXPECT_EQ(grid->TopRow(), 5);
    MouseUpAt(*grid, 289, 175);
    Application->Advance(500);
    EXPECT_EQ(grid->TopRow(), 5);
    // Selecting with the pointer held below the cells scrolls on, and the selection follows.
    grid->SetTopRow(1);
    MouseDownAt(*grid, 100, 40);
    MoveTo(*grid, 100, 190);
    EXPECT_EQ(grid->TopRow(), 2);
    Application->Advance(120);
    EXPECT_EQ(grid->TopRow(), 4);
    EXPECT_EQ(grid->Row(), 9); // the last fully visible row
    MoveTo(*grid, 100, 100);   // back inside: no more scrolling
    Application->Advance(120);
    EXPECT_EQ(grid->TopRow(), 4);
    MouseUpAt(*grid, 100, 100);
    EXPECT_EQ(Sel(), "1,1-1,6");
}

// A release the grid never saw (a move reaches it with the button up, as when a descendant kept
// the release) ends a press on a bar: a held arrow stops repeating, a thumb dragged without
// tracking stays where it was.
TEST_F(GridTest, AScrollBarPressWhoseReleaseWasLostEndsWithoutEffect) {
    grid->SetRowCount(1000);
    MouseDownAt(*grid, 289, 175); // the down arrow, held
    EXPECT_EQ(grid->TopRow(), 2);
    grid->Perform(WM_MOUSEMOVE, 0, MakeLParam(289, 175)); // no button held, no release came
    Application->Advance(1000);
    EXPECT_EQ(grid->TopRow(), 2);
    MouseDownAt(*grid, 289, 24); // the thumb
    MoveTo(*grid, 289, 90);
    grid->Perform(WM_MOUSEMOVE, 0, MakeLParam(289, 90));
    MouseUpAt(*grid, 289, 90);
    EXPECT_EQ(grid->TopRow(), 2);
}

// A handler that frees the grid while its bar scrolls: nothing of the grid or its bar is
// touched afterwards (AddressSanitizer sees it), and no repeat follows.
TEST_F(GridTest, AGridFreedByTheScrollItsBarMadeIsLeftAlone) {
    grid->SetRowCount(1000);
    grid->SetOnTopLeftChanged([this](TObject*) {
        // The handler is the grid's: after the delete, nothing of this closure is read.
        auto* doomed = grid;
        grid = nullptr;
        delete doomed;
    });
    MouseDownAt(*form, 10 + 289, 10 + 175); // the down arrow, in form coordinates
    EXPECT_EQ(grid, nullptr);
    Application->Advance(1000);
    MouseUpAt(*form, 10 + 289, 10 + 175);
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(GridTest, BarsAppearOnlyWhenTheContentDoesNotFit) {
    EXPECT_EQ(grid->ClientRect(), Rect(2, 2, 298, 181)); // five columns need 325 pixels
    grid->SetColCount(4);
    EXPECT_EQ(grid->ClientRect(), Rect(2, 2, 298, 198));
    grid->SetRowCount(9);
    EXPECT_EQ(grid->ClientRect(), Rect(2, 2, 281, 198));
    grid->SetColCount(5);
    EXPECT_EQ(grid->ClientRect(), Rect(2, 2, 281, 181));
    grid->SetScrollBars(ssNone);
    EXPECT_EQ(grid->ClientRect(), Rect(2, 2, 298, 198));
}

TEST_F(GridTest, WheelMovesTheCurrentRowUnlessAHandlerTakesIt) {
    grid->SetRowCount(10);
    grid->SetFocus();
    Wheel(*grid, 50, 50, -240);
    EXPECT_EQ(grid->Row(), 3);
    Wheel(*grid, 50, 50, 120);
    EXPECT_EQ(grid->Row(), 2);
    grid->SetOnMouseWheelDown([](TObject*, TShiftState, TPoint, bool& handled) { handled = true; });
    Wheel(*grid, 50, 50, -120);
    EXPECT_EQ(grid->Row(), 2);
}

// ---- Sizing -----------------------------------------------------------------------------------

TEST_F(GridTest, DraggingAFixedLineResizesWithTheSizingOption) {
    // The line right of column 1 lies at x = 131; a drag there in the fixed row.
    Drag(*grid, 131, 10, 101, 10);
    EXPECT_EQ(grid->ColWidths(1), 64); // no goColSizing: nothing
    int changed = 0;
    grid->SetOnColWidthsChanged([&](TObject*) { ++changed; });
    grid->SetOptions(grid->Options() | goColSizing);
    Drag(*grid, 132, 10, 101, 10);
    EXPECT_EQ(grid->ColWidths(1), 34);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(grid->Col(), 1); // no selection change
    // Column sizing starts only in the fixed rows.
    Drag(*grid, 101, 60, 150, 60);
    EXPECT_EQ(grid->ColWidths(1), 34);
    // Rows alike within the fixed columns; a drag above the row's top gives 0 (hidden).
    grid->SetOptions(grid->Options() | goRowSizing);
    Drag(*grid, 20, 51, 20, 61);
    EXPECT_EQ(grid->RowHeights(1), 34);
    Drag(*grid, 20, 61, 20, 5);
    EXPECT_EQ(grid->RowHeights(1), 0);
}

// A descendant whose MouseUp does not pass the release on (a calendar does so) must not leave
// the grid selecting on later hovering.
class TNoMouseUpGrid : public TDrawGrid {
  public:
    using TDrawGrid::TDrawGrid;

  protected:
    void MouseUp(TMouseButton, TShiftState, int, int) override {}
};

TEST_F(GridTest, AReleaseKeptByADescendantEndsTheDragOnTheNextMove) {
    auto* g = new TNoMouseUpGrid(form.get());
    g->SetParent(form.get());
    g->SetBounds(10, 220, 300, 70);
    TRect a = g->CellRect(1, 1), b = g->CellRect(2, 1);
    ClickAt(*g, a.Left + 5, a.Top + 5);
    EXPECT_EQ(g->GridState(), gsSelecting);
    MoveTo(*g, b.Left + 5, b.Top + 5);
    EXPECT_EQ(g->GridState(), gsNormal);
    EXPECT_EQ(g->Col(), 1);
}

TEST_F(GridTest, HoveringAFixedLineShowsTheSplitCursor) {
    grid->SetOptions(grid->Options() | goColSizing);
    MoveTo(*grid, 131, 10);
    EXPECT_EQ(grid->Cursor(), crHSplit);
    MoveTo(*grid, 100, 10);
    EXPECT_EQ(grid->Cursor(), crDefault);
}

} // namespace
} // namespace kel::test
