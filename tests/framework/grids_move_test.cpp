// Moving grid columns and rows: by code (MoveColumn / MoveRow) and by dragging a fixed header
// cell with goColMoving / goRowMoving; the event fires once with the right indexes, sizes and
// the current cell follow, and a grid whose data follows the event shows consistent cells.
#include "controls_test_util.h"
#include "kel_grids.h"
#include "kel_test_support.h"

#include <map>
#include <string>
#include <utility>

namespace kel::test {
namespace {

using namespace kel::headless;

// A 400 x 300 form with a 5 x 5 draw grid whose cells show a model: cells[c][r] = "c,r" at
// first; the move events move the model's columns / rows as a string grid would.
class GridMoveTest : public FormTest {
  protected:
    GridMoveTest() : FormTest(400, 300) {}
    void SetUp() override {
        FormTest::SetUp();
        grid = new TDrawGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(10, 10, 360, 200);
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 5; ++r) cells[c][r] = std::to_string(c) + "," + std::to_string(r);
        grid->SetOnColumnMoved([this](TObject*, int from, int to) {
            moves.push_back("col " + std::to_string(from) + "->" + std::to_string(to));
            Rotate(true, from, to);
        });
        grid->SetOnRowMoved([this](TObject*, int from, int to) {
            moves.push_back("row " + std::to_string(from) + "->" + std::to_string(to));
            Rotate(false, from, to);
        });
        grid->SetOnDrawCell([this](TObject*, int c, int r, TRect, TGridDrawState) {
            shown[{c, r}] = cells[c][r];
        });
        Flush();
    }
    // Item from takes place to, those between shift by one (the model's own, simple copy).
    void Rotate(bool columns, int from, int to) {
        for (int k = 0; k < 5; ++k) {
            std::string v[5];
            for (int i = 0; i < 5; ++i) v[i] = columns ? cells[i][k] : cells[k][i];
            std::string moved = v[from];
            if (from < to)
                for (int i = from; i < to; ++i) v[i] = v[i + 1];
            else
                for (int i = from; i > to; --i) v[i] = v[i - 1];
            v[to] = moved;
            for (int i = 0; i < 5; ++i) (columns ? cells[i][k] : cells[k][i]) = v[i];
        }
    }
    TPoint Centre(int c, int r) const {
        TRect R = grid->CellRect(c, r);
        return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }
    void DragCell(int c1, int r1, int c2, int r2, int steps = 4) {
        TPoint a = Centre(c1, r1), b = Centre(c2, r2);
        Drag(*grid, a.X, a.Y, b.X, b.Y, {}, steps);
    }
    // What the grid showed in cell (c, r) at its last full paint.
    std::string Shown(int c, int r) {
        shown.clear();
        grid->Invalidate();
        Flush();
        return shown[{c, r}];
    }
    TDrawGrid* grid = nullptr;
    std::string cells[5][5];
    std::map<std::pair<int, int>, std::string> shown;
    std::vector<std::string> moves;
};

TEST_F(GridMoveTest, DraggingARowHeaderMovesTheRowOnce) {
    grid->SetOptions(grid->Options() | TGridOptions{goRowMoving});
    grid->SetRowHeights(1, 30);
    grid->SetRow(1);
    grid->SetCol(2);
    DragCell(0, 1, 0, 3);
    EXPECT_EQ(moves, (std::vector<std::string>{"row 1->3"}));
    EXPECT_EQ(grid->RowHeights(3), 30); // the height went with the row
    EXPECT_EQ(grid->RowHeights(1), 24);
    EXPECT_EQ(grid->Row(), 3); // the current cell followed its row
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(Shown(2, 3), "2,1");
    EXPECT_EQ(Shown(2, 1), "2,2");
    // Back up: row 4 to row 2 shifts rows 2 and 3 down.
    moves.clear();
    DragCell(0, 4, 0, 2);
    EXPECT_EQ(moves, (std::vector<std::string>{"row 4->2"}));
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(Shown(1, 2), "1,4");
}

TEST_F(GridMoveTest, DraggingAColumnHeaderKeepsCellsAndWidthsTogether) {
    grid->SetOptions(grid->Options() | TGridOptions{goColMoving});
    grid->SetColWidths(1, 40);
    grid->SetColWidths(4, 50);
    DragCell(1, 0, 3, 0);
    ASSERT_EQ(moves, (std::vector<std::string>{"col 1->3"}));
    EXPECT_EQ(grid->ColWidths(3), 40);
    EXPECT_EQ(grid->ColWidths(1), 64);
    EXPECT_EQ(grid->ColWidths(4), 50); // beyond the move: untouched
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(Shown(3, r), "1," + std::to_string(r));
        EXPECT_EQ(Shown(1, r), "2," + std::to_string(r));
        EXPECT_EQ(Shown(2, r), "3," + std::to_string(r));
        EXPECT_EQ(Shown(4, r), "4," + std::to_string(r));
    }
    // A press and release on the same header, or a jump onto a fixed column, moves nothing;
    // passing column 1 on the way there makes it the target.
    moves.clear();
    TPoint p = Centre(2, 0);
    ClickAt(*grid, p.X, p.Y);
    DragCell(2, 0, 0, 0, 1);
    EXPECT_TRUE(moves.empty());
    DragCell(2, 0, 0, 0, 4);
    EXPECT_EQ(moves, (std::vector<std::string>{"col 2->1"}));
}

TEST_F(GridMoveTest, WithoutTheOptionsHeadersDoNotMoveAndCellsStaySelectable) {
    DragCell(1, 0, 3, 0);
    DragCell(0, 1, 0, 3);
    EXPECT_TRUE(moves.empty());
    // With goColMoving only, a row header still moves nothing; a press on a scrollable cell
    // still selects it.
    grid->SetOptions(grid->Options() | TGridOptions{goColMoving});
    DragCell(0, 1, 0, 3);
    EXPECT_TRUE(moves.empty());
    TPoint p = Centre(3, 2);
    ClickAt(*grid, p.X, p.Y);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(GridMoveTest, MoveByCodeChecksIndexesAndFiresOnlyForARealMove) {
    EXPECT_THROW(grid->MoveColumn(1, 5), EInvalidGridOperation);
    EXPECT_THROW(grid->MoveRow(-1, 2), EInvalidGridOperation);
    grid->MoveColumn(2, 2);
    EXPECT_TRUE(moves.empty());
    grid->SetSelection(TGridRect{1, 1, 2, 2});
    grid->MoveColumn(4, 1); // columns 1..3 shift right: the selection's columns go with them
    EXPECT_EQ(moves, (std::vector<std::string>{"col 4->1"}));
    TGridRect s = grid->Selection();
    EXPECT_EQ(s.Left, 2);
    EXPECT_EQ(s.Right, 3);
    EXPECT_EQ(Shown(1, 2), "4,2");
}

TEST(GridAxisMoveTest, SizesTravelWithTheirItems) {
    TGridAxis a;
    a.SetCount(10);
    a.SetDefault(20);
    a.SetSize(2, 5);
    a.SetSize(6, 7);
    a.SetSize(9, 9);
    a.Move(2, 6); // 3..6 shift back by one
    EXPECT_EQ(a.Size(6), 5);
    EXPECT_EQ(a.Size(5), 7);
    EXPECT_EQ(a.Size(2), 20);
    EXPECT_EQ(a.Size(9), 9);
    EXPECT_EQ(a.ExceptionCount(), 3u);
    a.Move(9, 0); // everything before shifts on by one
    EXPECT_EQ(a.Size(0), 9);
    EXPECT_EQ(a.Size(7), 5);
    EXPECT_EQ(a.Size(6), 7);
}

} // namespace
} // namespace kel::test
