// The grid's in-place editor: opening by F2, Enter, typing and a click on the current cell,
// loading GetEditText, SetEditText on every change, closing by Enter, moves and focus loss,
// Escape putting the loaded text back, goAlwaysShowEditor, and the pick list and ellipsis
// button of TInplaceEditList.
#include "controls_test_util.h"
#include "kel_grids.h"
#include "kel_test_support.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kel::test {
namespace {

using namespace kel::headless;

// A draw grid over a map of texts; column 2 edits with a pick list, column 3 with an ellipsis
// button.
class TDataGrid : public TDrawGrid {
  public:
    explicit TDataGrid(TComponent* AOwner) : TDrawGrid(AOwner) {
        SetOptions(Options() | goEditing);
        SetOnGetEditText([this](TObject*, int c, int r, std::string& v) { v = Data[{c, r}]; });
        SetOnSetEditText([this](TObject*, int c, int r, const std::string& v) {
            Data[{c, r}] = v;
            Writes.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v);
        });
        SetOnDrawCell([this](TObject*, int c, int r, TRect R, TGridDrawState) {
            TCanvas& cv = Canvas();
            cv.Brush().SetStyle(bsClear);
            cv.TextOut(R.Left + 2, R.Top + 2, Data[{c, r}]);
            cv.Brush().SetStyle(bsSolid);
        });
    }
    std::map<std::pair<int, int>, std::string> Data;
    std::vector<std::string> Writes;

  protected:
    TEditStyle GetEditStyle(int ACol, int ARow) override {
        (void)ARow;
        return ACol == 2 ? esPickList : ACol == 3 ? esEllipsis : esSimple;
    }
    void UpdateEditor() override {
        auto* e = static_cast<TInplaceEditList*>(InplaceEditor());
        e->PickList().Items().SetText("Red\nGreen\nBlue\n");
    }
};

class GridEditTest : public FormTest {
  protected:
    GridEditTest() : FormTest(400, 300) {}
    void SetUp() override {
        FormTest::SetUp();
        grid = new TDataGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(10, 10, 340, 200);
        grid->Data[{1, 1}] = "alpha";
        grid->Data[{1, 2}] = "beta";
        grid->Data[{2, 1}] = "Green";
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 250, 100, 21);
        grid->SetFocus();
        Flush();
    }
    void Key(std::uint16_t k, TShiftState s = {}) { KeyStroke(*form, k, s); }
    void Click(int c, int r) {
        TRect R = grid->CellRect(c, r);
        ClickAt(*grid, (R.Left + R.Right) / 2 - 10, (R.Top + R.Bottom) / 2);
    }
    std::string At(int c, int r) const { return grid->Data[{c, r}]; }
    TInplaceEditList* Editor() const {
        return static_cast<TInplaceEditList*>(grid->InplaceEditor());
    }
    std::string Writes() const {
        std::string s;
        for (const std::string& w : grid->Writes) s += (s.empty() ? "" : " ") + w;
        return s;
    }

    TDataGrid* grid = nullptr;
    TEdit* other = nullptr;
};

// ---- Opening, committing, cancelling ----------------------------------------------------------

TEST_F(GridEditTest, F2OpensTheEditorOverTheCellWithTheTextSelected) {
    EXPECT_EQ(grid->InplaceEditor(), nullptr);
    Key(VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    TInplaceEdit* e = grid->InplaceEditor();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Text(), "alpha");
    EXPECT_EQ(e->SelLength(), 5);
    EXPECT_EQ(e->BoundsRect(), grid->CellRect(1, 1));
    EXPECT_EQ(form->ActiveControl(), e);
    EXPECT_EQ(Writes(), ""); // loading is not a change
}

TEST_F(GridEditTest, EveryChangeGoesToSetEditTextAndEnterCloses) {
    Key(VK_F2);
    Key(VK_END);
    Type(*form, "xy");
    Key(VK_BACK);
    EXPECT_EQ(Writes(), "1,1=alphax 1,1=alphaxy 1,1=alphax");
    Key(VK_RETURN);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(form->ActiveControl(), grid);
    EXPECT_EQ(At(1, 1), "alphax");
    // Closing writes the final text once more.
    EXPECT_EQ(grid->Writes.size(), 4u);
    Key(VK_RETURN); // Enter toggles: open again
    EXPECT_TRUE(grid->EditorMode());
}

TEST_F(GridEditTest, TypingOnTheGridOpensTheEditorWithThatCharacter) {
    int presses = 0;
    grid->SetOnKeyPress([&](TObject*, char32_t& ch) {
        if (ch == U'z') ++presses;
    });
    Type(*form, "z");
    ASSERT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "z"); // replaces the selected old text
    EXPECT_EQ(Writes(), "1,1=z");
    EXPECT_EQ(presses, 1); // the grid's OnKeyPress sees it once
    Type(*form, "é");
    EXPECT_EQ(At(1, 1), "zé");
}

TEST_F(GridEditTest, ClickOnTheCurrentCellOpensTheEditorAClickElsewhereOnlySelects) {
    Click(1, 2);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Row(), 2);
    Click(1, 2);
    ASSERT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "beta");
    // A click on another cell closes it there and moves.
    Click(1, 3);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Row(), 3);
}

TEST_F(GridEditTest, EscapePutsBackTheLoadedTextThroughSetEditTextAndCloses) {
    Key(VK_F2);
    Type(*form, "new");
    EXPECT_EQ(At(1, 1), "new");
    Key(VK_ESCAPE);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(At(1, 1), "alpha");
    EXPECT_EQ(grid->Writes.back(), "1,1=alpha");
    EXPECT_EQ(form->ActiveControl(), grid);
    // Escape with nothing changed writes nothing.
    grid->Writes.clear();
    Key(VK_F2);
    Key(VK_ESCAPE);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(Writes(), "");
}

TEST_F(GridEditTest, OpeningAndClosingWithoutEditingWritesNothing) {
    Key(VK_F2);
    Key(VK_RETURN);
    Key(VK_F2);
    Key(VK_DOWN);
    EXPECT_EQ(Writes(), "");
}

TEST_F(GridEditTest, VerticalMovesCloseTheEditorAndKeepTheEdit) {
    Key(VK_F2);
    Type(*form, "one");
    Key(VK_DOWN);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(At(1, 1), "one");
    EXPECT_EQ(At(1, 2), "beta");
    // Left and Right move the caret, not the cell.
    Key(VK_F2);
    Key(VK_LEFT);
    Key(VK_RIGHT);
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->Col(), 1);
}

TEST_F(GridEditTest, KeysTypedInTheEditorReachTheGridsKeyEvents) {
    std::vector<int> keys;
    grid->SetOnKeyDown([&](TObject*, std::uint16_t& k, TShiftState) { keys.push_back(k); });
    Key(VK_F2);
    keys.clear();
    Key(VK_END);
    Key(VK_DOWN);
    EXPECT_EQ(keys, (std::vector<int>{VK_END, VK_DOWN}));
}

TEST_F(GridEditTest, FocusLeavingTheGridClosesTheEditor) {
    Key(VK_F2);
    Type(*form, "q");
    other->SetFocus();
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(At(1, 1), "q");
}

TEST_F(GridEditTest, WithoutGoEditingNothingOpens) {
    grid->SetOptions(grid->Options() - goEditing);
    Key(VK_F2);
    Type(*form, "a");
    Key(VK_RETURN);
    grid->SetEditorMode(true);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditor(), nullptr);
    // Removing the option closes an open editor.
    grid->SetOptions(grid->Options() | goEditing);
    Key(VK_F2);
    grid->SetOptions(grid->Options() - goEditing);
    EXPECT_FALSE(grid->EditorMode());
}

TEST_F(GridEditTest, AlwaysShowEditorKeepsItOpenAndLetsTheCaretEdgesMove) {
    grid->SetOptions(grid->Options() | goAlwaysShowEditor);
    ASSERT_TRUE(grid->EditorMode());
    Key(VK_RETURN); // no effect
    EXPECT_TRUE(grid->EditorMode());
    Key(VK_DOWN);
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "beta");
    EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), grid->CellRect(1, 2));
    Key(VK_END);   // caret to the end (all was selected)
    Key(VK_RIGHT); // at the edge: the next cell
    EXPECT_EQ(grid->Col(), 2);
    Key(VK_HOME);
    Key(VK_LEFT);
    EXPECT_EQ(grid->Col(), 1);
    // Escape puts the text back but leaves the editor open.
    Type(*form, "zz");
    Key(VK_ESCAPE);
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(At(1, 2), "beta");
}

TEST_F(GridEditTest, TabWithGoTabsMovesToTheNextCellFromTheEditor) {
    grid->SetOptions(grid->Options() | goTabs);
    Key(VK_F2);
    Type(*form, "t");
    Key(VK_TAB);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(At(1, 1), "t");
    EXPECT_EQ(form->ActiveControl(), grid);
}

TEST_F(GridEditTest, TheEditorFollowsScrollingAndShrinksOutOfView) {
    grid->SetRowCount(100);
    Key(VK_F2);
    grid->SetTopRow(3);
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_TRUE(grid->InplaceEditor()->BoundsRect().IsEmpty());
    grid->SetTopRow(1);
    EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), grid->CellRect(1, 1));
    Type(*form, "x"); // still focused and editing
    EXPECT_EQ(At(1, 1), "x");
}

TEST_F(GridEditTest, SelectCellRefusingKeepsTheEditorOnItsCell) {
    grid->SetOnSelectCell([](TObject*, int, int r, bool& can) { can = r != 2; });
    Key(VK_F2);
    Type(*form, "k");
    Key(VK_DOWN);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_TRUE(grid->EditorMode());
}

// ---- Pick list and ellipsis -------------------------------------------------------------------

TEST_F(GridEditTest, AltDownDropsThePickListAndEnterTakesAnItem) {
    grid->SetCol(2);
    Key(VK_F2);
    TInplaceEditList* e = Editor();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->EditStyle(), esPickList);
    Key(VK_DOWN, {ssAlt});
    ASSERT_TRUE(e->ListVisible());
    EXPECT_EQ(e->PickList().ItemIndex(), 1); // the current text, Green
    EXPECT_EQ(e->PickList().Parent(), form.get());
    TRect cell = grid->CellRect(2, 1);
    EXPECT_EQ(e->PickList().Top(), grid->Top() + cell.Bottom);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_TRUE(grid->EditorMode()); // Enter in the list does not close the editor
    EXPECT_EQ(e->Text(), "Blue");
    EXPECT_EQ(Writes(), "2,1=Blue");
    Key(VK_RETURN);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(At(2, 1), "Blue");
}

TEST_F(GridEditTest, ClickOnTheArrowDropsTheListAndAClickTakesAnItem) {
    grid->SetCol(2);
    Key(VK_F2);
    TInplaceEditList* e = Editor();
    TRect b = e->ButtonRect();
    ASSERT_FALSE(b.IsEmpty());
    ClickAt(*e, b.Left + 5, b.Top + 5);
    ASSERT_TRUE(e->ListVisible());
    Flush();
    TBitmap all, shot;
    Snapshot(*form, all);
    shot.SetSize(200, 120);
    shot.Canvas().CopyRect(Rect(0, 0, 200, 120), all.Canvas(), Rect(100, 10, 300, 130));
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/grid_picklist"));
    TPopupListbox& l = e->PickList();
    int h = l.ItemHeight();
    ClickAt(l, 10, 1 + h / 2); // Red
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(At(2, 1), "Red");
}

TEST_F(GridEditTest, EscapeClosesThePickListUnchangedAndAPressOutsideToo) {
    grid->SetCol(2);
    Key(VK_F2);
    TInplaceEditList* e = Editor();
    Key(VK_F4);
    ASSERT_TRUE(e->ListVisible());
    Key(VK_DOWN);
    Key(VK_ESCAPE);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_EQ(e->Text(), "Green");
    Key(VK_F4);
    ClickAt(*form, 380, 280); // the list holds the mouse: a press outside closes it
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(Writes(), "");
}

TEST_F(GridEditTest, EllipsisButtonFiresOnEditButtonClick) {
    grid->SetCol(3);
    Key(VK_F2);
    TInplaceEditList* e = Editor();
    int clicks = 0;
    e->SetOnEditButtonClick([&](TObject*) { ++clicks; });
    EXPECT_EQ(e->EditStyle(), esEllipsis);
    TRect b = e->ButtonRect();
    ClickAt(*e, b.Left + 5, b.Top + 5);
    EXPECT_EQ(clicks, 1);
    Key(VK_DOWN, {ssAlt}); // no list for this style
    EXPECT_FALSE(e->ListVisible());
    // A plain cell: no button.
    Key(VK_RETURN);
    grid->SetCol(1);
    Key(VK_F2);
    EXPECT_TRUE(Editor()->ButtonRect().IsEmpty());
}

TEST_F(GridEditTest, DeletingTheFormWithAnOpenListIsSafe) {
    // The list lies on the form and belongs to the editor, which belongs to the grid: the form
    // deletes the list first, then the grid, whose editor must not delete the list again.
    grid->SetCol(2);
    Key(VK_F2);
    Key(VK_F4);
    ASSERT_TRUE(Editor()->ListVisible());
    EXPECT_EQ(form->ControlCount(), 3);
    form.reset();
    EXPECT_EQ(FormCount(), 0);
}

} // namespace
} // namespace kel::test
