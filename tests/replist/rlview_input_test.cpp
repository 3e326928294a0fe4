// Interaction with the report list view through the headless host's input: header-click
// sorting (direction, the border zone, keeping the selected record), check and radio toggling
// with their events, disabled rows and read-only marks, the three row select modes with Ctrl and
// Shift, cursor keys, AutoAdvance, wheel events and in-place editing; also SortEnabledState and
// FilterAndSort with the three expression modes.
#include "KEL_replist.h"
#include "headless.h"
#include "kel_app.h"
#include "kel_forms.h"
#include "kel_messages.h"
#include "kel_props.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

// A borderless view of 3 columns x 6 rows; column 1 holds "r1".."r6" under names that sort
// differently ("d", "b", "f", "a", "e", "c" in column 2). Column headers are 20 pixels plus a
// line, data rows 24 plus a line, columns 64 plus a line.
class RLViewInput : public ::testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 400, 300);
        view = new TReportListView(form.get());
        view->SetParent(form.get());
        view->SetBorderStyle(bsNone);
        view->SetScrollBars(ssNone);
        view->SetBounds(0, 0, 300, 220);
        view->SetNrCols(3);
        view->SetNrRows(6);
        const char* names = "dbfaec";
        for (int r = 1; r <= 6; ++r) {
            std::string id = "r";
            id += std::to_string(r);
            view->SetElem(1, r, id);
            view->SetElem(2, r, std::string(1, names[r - 1]));
        }
        form->Show();
        view->SetFocus();
        Flush();
    }
    void TearDown() override {
        form.reset();
        Flush();
        ReleaseAllKeys();
        Application->ResetState();
    }
    // Click at x within data column gc (0-based grid column) of data row r.
    void ClickRow(int r, int x = 40, TShiftState s = {}) {
        ClickAt(*view, x, 21 + (r - 1) * 25 + 12, s);
    }
    void ClickHeader(int x) { ClickAt(*view, x, 10); }
    std::string Column(int c) {
        std::string s;
        for (int r = 1; r <= view->NrOfRows(); ++r)
            s += view->Elem(c, r) + (r < view->NrOfRows() ? "," : "");
        return s;
    }
    std::string Selected() {
        std::string s;
        for (int r = 1; r <= view->NrOfRows(); ++r) s += view->RowSelected(r) ? '1' : '0';
        return s;
    }

    std::unique_ptr<TForm> form;
    TReportListView* view = nullptr;
};

// ---- Header-click sorting
// ------------------------------------------------------------------------

TEST_F(RLViewInput, HeaderClickSortsDescendingFirstThenAscending) {
    ClickHeader(65 + 30); // column 2
    EXPECT_EQ(Column(2), "f,e,d,c,b,a");
    EXPECT_EQ(view->LastSortColumn(), 2);
    EXPECT_FALSE(view->LastSortOrder());
    ClickHeader(30); // another column: the toggle goes on, so ascending
    EXPECT_EQ(Column(1), "r1,r2,r3,r4,r5,r6");
    EXPECT_TRUE(view->LastSortOrder());
}

// The view's key hook is left out of a sort only while it has nothing to forward to: a handler
// assigned later is called, and a hook set on the strings by other code is kept.
TEST_F(RLViewInput, HeaderClickCallsTheKeyHandlersThatAreAssigned) {
    auto reverse = [](const std::string& s, std::string& t) {
        t = std::string(1, static_cast<char>('z' - (s[0] - 'a')));
    };
    ClickHeader(65 + 30); // no handler: descending by name
    EXPECT_EQ(Column(2), "f,e,d,c,b,a");
    int calls = 0;
    view->SetOnBeforeSortExchange([&](TObject* Sender, const std::string& s, std::string& t) {
        EXPECT_EQ(Sender, view);
        ++calls;
        reverse(s, t);
    });
    ClickHeader(65 + 30); // ascending by the reversed keys
    EXPECT_EQ(Column(2), "f,e,d,c,b,a");
    EXPECT_EQ(calls, 6);
    view->SetOnBeforeSortExchange(nullptr);
    ClickHeader(65 + 30); // descending by name again
    EXPECT_EQ(Column(2), "f,e,d,c,b,a");
    ClickHeader(65 + 30);
    EXPECT_EQ(Column(2), "a,b,c,d,e,f");
    view->Data().Strings().SetOnBeforeSortExchange(
        [&](TObject*, const std::string& s, std::string& t) { reverse(s, t); });
    ClickHeader(65 + 30); // descending by the strings' own hook
    EXPECT_EQ(Column(2), "a,b,c,d,e,f");
    EXPECT_EQ(calls, 6);
}

TEST_F(RLViewInput, ClickNearAColumnBorderDoesNotSort) {
    ClickHeader(65 + 3);
    ClickHeader(65 + 62);
    EXPECT_EQ(view->LastSortColumn(), -1);
    EXPECT_EQ(Column(2), "d,b,f,a,e,c");
    view->SetSortEnabled(false);
    ClickHeader(65 + 30);
    EXPECT_EQ(view->LastSortColumn(), -1);
}

TEST_F(RLViewInput, SelectedRecordStaysSelectedAfterSort) {
    ClickRow(4); // "r4", name "a"
    EXPECT_EQ(Selected(), "000100");
    ClickHeader(65 + 30); // descending by name: "a" goes last
    EXPECT_EQ(view->Elem(1, 6), "r4");
    EXPECT_TRUE(view->RowSelected(6));
    EXPECT_EQ(view->Selection().Top, 6); // grid row of data row 6
}

// ---- Check marks
// ----------------------------------------------------------------------------------

TEST_F(RLViewInput, ClickOnBoxTogglesAndReportsPreviousState) {
    view->SetColumnCheckMode(3, cmBox);
    std::vector<std::string> log;
    view->SetOnCheckedChange([&](TObject*, bool& s, int c, int r) {
        log.push_back(std::to_string(s) + "@" + std::to_string(c) + "," + std::to_string(r));
    });
    ClickRow(2, 130 + 8);
    EXPECT_TRUE(view->ElemChecked(3, 2));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "0@3,2");
    ClickRow(2, 130 + 30); // the text part does not toggle
    EXPECT_TRUE(view->ElemChecked(3, 2));
    ClickRow(2, 130 + 8);
    EXPECT_FALSE(view->ElemChecked(3, 2));
    EXPECT_EQ(log.back(), "1@3,2");
}

TEST_F(RLViewInput, BeforeCheckedChangeCanVetoABoxButNotARadio) {
    view->SetColumnCheckMode(3, cmBox);
    view->SetColumnCheckMode(2, cmRadio);
    view->SetOnBeforeCheckedChange([](TObject*, bool& s, int, int) { s = false; });
    ClickRow(1, 130 + 8);
    EXPECT_FALSE(view->ElemChecked(3, 1));
    view->SetElemChecked(2, 5, true);
    ClickRow(3, 65 + 8);
    EXPECT_TRUE(view->ElemChecked(2, 3));
    EXPECT_FALSE(view->ElemChecked(2, 5));
    EXPECT_EQ(view->Elem(2, 3), "f"); // the visible text stays
}

TEST_F(RLViewInput, DisabledRowsAndReadOnlyMarksIgnoreClicks) {
    view->SetColumnCheckMode(3, cmBox);
    view->SetRowEnabled(2, false);
    ClickRow(2, 130 + 8);
    EXPECT_FALSE(view->ElemChecked(3, 2));
    view->SetCheckMarksReadOnly(true);
    ClickRow(3, 130 + 8);
    EXPECT_FALSE(view->ElemChecked(3, 3));
    EXPECT_EQ(view->CountCheckedElemsInCol(3), 0);
    view->SetCheckMarksReadOnly(false);
    view->SetAllCheckmarksOfCol(3, true);
    EXPECT_EQ(view->CountCheckedElemsInCol(3), 5); // disabled row 2 not counted
    EXPECT_EQ(view->Data().CountCheckedElemsInCol(3), 6);
}

// ---- Row selection
// --------------------------------------------------------------------------------

TEST_F(RLViewInput, MultipleModeWithCtrlShiftAndPlainClicks) {
    view->SetRowSelectMode(2);
    int changes = 0;
    view->SetOnSelectedChange([&](TObject*) { ++changes; });
    ClickRow(3);
    EXPECT_EQ(Selected(), "001000");
    ClickRow(5, 40, TShiftState{ssCtrl});
    EXPECT_EQ(Selected(), "001010");
    ClickRow(5, 40, TShiftState{ssCtrl});
    EXPECT_EQ(Selected(), "001000");
    ClickRow(3); // anchor 3, selected
    ClickRow(6, 40, TShiftState{ssShift});
    EXPECT_EQ(Selected(), "001111");
    ClickRow(2);
    EXPECT_EQ(Selected(), "010000");
    view->SetUseCtrlForMultiSel(false);
    ClickRow(4);
    EXPECT_EQ(Selected(), "010100");
    EXPECT_GE(changes, 6);
    // A click below the last row clears a multiple selection.
    ClickAt(*view, 40, 215);
    EXPECT_EQ(Selected(), "000000");
}

TEST_F(RLViewInput, SingleModeAndModeZero) {
    ClickRow(2);
    ClickRow(4, 40, TShiftState{ssCtrl});
    EXPECT_EQ(Selected(), "000100");
    view->SetRowSelectMode(0);
    EXPECT_EQ(Selected(), "000000");
    EXPECT_EQ(view->Selection().Top, 7); // outside the grid
    ClickRow(2);
    EXPECT_EQ(Selected(), "000000");
    view->SelectAllRows();
    view->SetRowEnabled(1, false);
    EXPECT_EQ(view->FirstSelectedRow(), 0);
}

// Mode 0 hides the grid selection on the cell just past the last column and row, whatever the
// header rows, and keeps it there, with both coordinates past the grid, while the header rows,
// the fixed first column and the columns come and go; a click brings it back inside.
TEST_F(RLViewInput, ModeZeroParksTheSelectionPastTheGridWhateverTheHeaders) {
    auto parked = [&] {
        const TGridRect s = view->Selection();
        return view->Col() == view->ColCount() && view->Row() == view->RowCount() &&
               s.Top == view->RowCount() && s.Bottom == view->RowCount();
    };
    auto where = [&] {
        return std::to_string(view->Col()) + "," + std::to_string(view->Row()) + " in " +
               std::to_string(view->ColCount()) + "x" + std::to_string(view->RowCount());
    };
    view->SetCommonHeaderVisible(true); // two header rows: grid row 7 is data row 6
    view->SetRowSelectMode(0);
    EXPECT_TRUE(parked()) << where();
    view->SetFixedFirstColumn(true);
    EXPECT_TRUE(parked()) << where();
    view->SetFixedFirstColumn(false);
    EXPECT_TRUE(parked()) << where();
    view->SetCommonHeaderVisible(false);
    EXPECT_TRUE(parked()) << where();
    view->SetColumnHeadersVisible(false);
    EXPECT_TRUE(parked()) << where();
    view->SetColumnHeadersVisible(true);
    view->SetNrCols(5);
    EXPECT_TRUE(parked()) << where();
    view->RemoveColumn(2);
    EXPECT_TRUE(parked()) << where();
    ClickRow(2);
    EXPECT_EQ(view->Row(), 2) << where();
    EXPECT_LT(view->Col(), view->ColCount()) << where();
}

// The mode keeps to its three values (52 left a parked selection in no mode), and a view that
// leaves mode 0, by its setter or by taking another view's settings, brings the parked selection
// back to the first scrollable cell.
TEST_F(RLViewInput, RowSelectModeKeepsToItsThreeModesAndLeavingModeZeroUnparks) {
    auto at = [&](int c, int r) {
        const TGridRect s = view->Selection();
        return view->Col() == c && view->Row() == r && s.Top == r && s.Bottom == r;
    };
    auto where = [&] {
        return std::to_string(view->Col()) + "," + std::to_string(view->Row()) + " in " +
               std::to_string(view->ColCount()) + "x" + std::to_string(view->RowCount());
    };
    view->SetRowSelectMode(-1);
    EXPECT_EQ(view->RowSelectMode(), 0);
    EXPECT_TRUE(at(3, 7)) << where();
    view->SetRowSelectMode(52);
    EXPECT_EQ(view->RowSelectMode(), 2);
    EXPECT_TRUE(at(0, 1)) << where();
    view->SetRowSelectMode(0);
    view->SetRowSelectMode(1);
    EXPECT_TRUE(at(0, 1)) << where();

    auto* other = new TReportListView(form.get());
    other->SetNrCols(4);
    other->SetNrRows(9);
    other->SetFixedFirstColumn(true);
    other->SetRowSelectMode(1);
    view->SetRowSelectMode(0);
    view->Assign(other);
    EXPECT_TRUE(at(1, 1)) << where();
}

// With range selection on, Shift with a key or a click in mode 0 extended the range from the
// parked anchor, past the last column and row; a parked anchor starts a new range instead.
TEST_F(RLViewInput, ShiftFromAParkedSelectionSelectsInsideTheGrid) {
    TGridOptions o = view->Options();
    o.include(goRangeSelect);
    o.exclude(goEditing);
    view->SetOptions(o);
    auto where = [&] {
        const TGridRect s = view->Selection();
        return std::to_string(s.Left) + "," + std::to_string(s.Top) + ".." +
               std::to_string(s.Right) + "," + std::to_string(s.Bottom) + " in " +
               std::to_string(view->ColCount()) + "x" + std::to_string(view->RowCount());
    };
    view->SetRowSelectMode(0);
    KeyStroke(*form, VK_PRIOR, TShiftState{ssShift});
    TGridRect s = view->Selection();
    EXPECT_TRUE(s.Right < view->ColCount() && s.Bottom < view->RowCount()) << where();
    EXPECT_EQ(s.Top, s.Bottom) << where(); // one cell: the range starts where the cursor went
    view->SetRowSelectMode(0);
    ClickRow(2, 40, TShiftState{ssShift});
    s = view->Selection();
    EXPECT_TRUE(s.Right < view->ColCount() && s.Bottom < view->RowCount()) << where();
    // Inside the grid, Shift still extends the range from its anchor.
    KeyStroke(*form, VK_DOWN, TShiftState{ssShift});
    s = view->Selection();
    EXPECT_EQ(s.Top, 2) << where();
    EXPECT_EQ(s.Bottom, 3) << where();
}

TEST_F(RLViewInput, CursorKeysSelectTheCurrentRowAndAutoAdvanceMovesOnEnter) {
    std::vector<int> keys;
    view->SetOnCursorKeyAction([&](TObject*, std::uint16_t k) { keys.push_back(k); });
    ClickRow(2);
    KeyStroke(*form, VK_DOWN);
    EXPECT_EQ(Selected(), "001000");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], VK_DOWN);
    KeyStroke(*form, VK_RETURN);
    EXPECT_EQ(Selected(), "001000");
    view->SetAutoAdvance(true);
    KeyStroke(*form, VK_RETURN);
    EXPECT_EQ(Selected(), "000100");
    Type(*form, "x"); // a typed character never advances
    EXPECT_EQ(Selected(), "000100");
}

TEST_F(RLViewInput, WheelFiresEventsWithoutScrolling) {
    view->SetNrRows(40);
    int downs = 0, ups = 0;
    view->SetOnMouseWheelDown([&](TObject*, TShiftState, TPoint, bool& h) { ++downs, h = true; });
    view->SetOnMouseWheelUp([&](TObject*, TShiftState, TPoint, bool&) { ++ups; });
    Wheel(*view, 50, 50, -120);
    Wheel(*view, 50, 50, 120);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(view->TopRow(), 1);
}

TEST_F(RLViewInput, DoubleClickOnAHeaderBorderFitsTheColumnWithoutOnDblClick) {
    view->SetElem(1, 3, "a much longer text than fits");
    int dbl = 0;
    view->SetOnDblClick([&](TObject*) { ++dbl; });
    DoubleClickAt(*view, 62, 10); // right border of column 1
    EXPECT_EQ(view->ColWidths(1), view->DetermineMaxColWidth(1, true));
    EXPECT_GT(view->ColWidths(1), 100);
    EXPECT_EQ(dbl, 0);
    DoubleClickAt(*view, 40, 21 + 12);
    EXPECT_EQ(dbl, 1);
}

TEST_F(RLViewInput, ExchangeOperationsResizeTheGridToTheReadTable) {
    std::stringstream xml;
    view->WriteToXMLStream(xml, true, "probe");
    auto* other = new TReportListView(form.get());
    other->SetParent(form.get());
    ASSERT_TRUE(other->ReadFromXMLStream(xml, "probe"));
    EXPECT_EQ(other->NrOfColumns(), 3);
    EXPECT_EQ(other->ColCount(), 3);
    EXPECT_EQ(other->RowCount(), 7);
    EXPECT_EQ(other->Elem(2, 4), "a");
    EXPECT_EQ(other->ColumnOrder(3), 3);
    std::stringstream bad("<replist kelmosaic id=\"probe\">\n<numcols>x</numcols>\n</replist>\n");
    EXPECT_THROW(other->ReadFromXMLStream(bad, "probe"), EKELRLDataError);
    EXPECT_EQ(other->Elem(2, 4), "a");
}

// ---- Editing
// ----------------------------------------------------------------------------------------

TEST_F(RLViewInput, InPlaceEditingKeepsTheCheckCharacter) {
    view->SetColumnCheckMode(3, cmBox);
    view->SetElem(3, 2, "old");
    view->SetElemChecked(3, 2, true);
    view->SetColumnEditable(3, true);
    std::vector<std::string> log;
    view->SetOnSetEditText([&](TObject*, int c, int r, const std::string& v) {
        log.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v);
    });
    ClickRow(2, 130 + 30);
    ClickRow(2, 130 + 30); // on the current cell: opens the editor
    ASSERT_TRUE(view->EditorMode());
    EXPECT_EQ(view->InplaceEditor()->Text(), "old");
    Type(*form, "\b\b\bnew");
    KeyStroke(*form, VK_RETURN);
    EXPECT_EQ(view->Elem(3, 2), "new");
    EXPECT_TRUE(view->ElemChecked(3, 2));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "2,2=new");
}

// ---- Filtering and partial sorting
// ---------------------------------------------------------------

TEST_F(RLViewInput, SortEnabledStateKeepsDisabledRowsInTheirOrderAfterTheOthers) {
    view->SetRowEnabled(1, false); // r1 "d"
    view->SetRowEnabled(3, false); // r3 "f"
    view->SortEnabledState(2, -1, true);
    EXPECT_EQ(Column(1), "r4,r2,r6,r5,r1,r3");
    EXPECT_FALSE(view->RowEnabled(5));
    EXPECT_FALSE(view->RowEnabled(6));
}

TEST_F(RLViewInput, FilterAndSortInTheThreeModes) {
    view->SetElem(3, 1, "Alpha beta");
    view->SetElem(3, 2, "gamma");
    view->SetElem(3, 3, "beta gamma");
    view->SetElem(3, 5, "ALPHA");
    EXPECT_EQ(view->FilterAndSort("alpha", {3}, true, fmSimple, 1, false), 2);
    EXPECT_EQ(Column(1), "r5,r1,r2,r3,r4,r6");
    EXPECT_EQ(view->NumEnabledRows(), 2);
    EXPECT_EQ(view->FilterAndSort("alpha", {3}, false, fmSimple, -1, true), 0);
    view->UnSort();
    EXPECT_EQ(
        view->FilterAndSort("gamma AND NOT (alpha OR \"beta g\")", {3}, true, fmBoolean, 1, true),
        1);
    EXPECT_EQ(view->Elem(1, 1), "r2");
    EXPECT_EQ(view->FilterAndSort("^[a-c]$", {2}, false, fmGrep, 2, true), 3);
    EXPECT_EQ(Column(2).substr(0, 5), "a,b,c");
}

TEST_F(RLViewInput, InvalidExpressionNamesThePositionAndChangesNothing) {
    view->SetRowEnabled(2, false);
    try {
        view->FilterAndSort("a AND (b OR c", {1}, false, fmBoolean, 1, true);
        FAIL() << "no error";
    } catch (const EKELRepListError& e) {
        EXPECT_NE(std::string(e.what()).find("position 7"), std::string::npos) << e.what();
    }
    try {
        view->FilterAndSort("a b", {1}, false, fmBoolean, 1, true);
        FAIL() << "no error";
    } catch (const EKELRepListError& e) {
        EXPECT_NE(std::string(e.what()).find("position 3"), std::string::npos) << e.what();
    }
    try {
        view->FilterAndSort("ab)c", {1}, false, fmGrep, 1, true);
        FAIL() << "no error";
    } catch (const EKELRepListError& e) {
        EXPECT_NE(std::string(e.what()).find("position 3"), std::string::npos) << e.what();
    }
    EXPECT_THROW(view->FilterAndSort("a OR", {1}, false, fmBoolean, 1, true), EKELRepListError);
    EXPECT_EQ(Column(1), "r1,r2,r3,r4,r5,r6");
    EXPECT_FALSE(view->RowEnabled(2));
    EXPECT_TRUE(view->RowEnabled(1));
}

TEST_F(RLViewInput, BeforeFilterCombinesItsDecisionWithTheExpression) {
    view->SetOnBeforeFilter([](TObject*, int row, bool& found, TLogicOp& op) {
        found = row <= 2;
        op = loAND;
    });
    EXPECT_EQ(view->FilterAndSort("r", {1}, false, fmSimple, -1, true), 2);
    view->SetOnBeforeFilter([](TObject*, int row, bool& found, TLogicOp& op) {
        found = row == 6;
        op = loXOR;
    });
    view->UnSort();
    EXPECT_EQ(view->FilterAndSort("r1", {1}, false, fmSimple, -1, true), 2);
}

// ---- Geometry and colours shared by painting and hit testing ---------------------------------

TEST(RLViewGeometry, CheckBoxClickAndSortZonesFollowTheCell) {
    const TRect cell = Rect(130, 46, 194, 70);
    EXPECT_EQ(RLCheckBoxRect(cell), Rect(134, 50, 145, 61));
    EXPECT_EQ(RLCheckClickRect(cell), Rect(130, 46, 148, 70));
    const TRect header = Rect(65, 0, 129, 20);
    EXPECT_EQ(RLHeaderSortRect(header), Rect(70, 0, 125, 20));
}

TEST_F(RLViewInput, ClickAtTheDrawnBoxTogglesItAndBesideTheZoneDoesNot) {
    view->SetColumnCheckMode(3, cmBox);
    view->SetRowColPattern(0);
    view->Update();
    // Find the box as drawn: the outline pixels in the cell of data row 2, column 3.
    const TRect cell = view->CellRect(2, 2);
    const TColor shadow = ColorToRGB(clBtnShadow);
    TRect drawn{cell.Right, cell.Bottom, cell.Left, cell.Top};
    for (int y = cell.Top; y < cell.Bottom; ++y)
        for (int x = cell.Left; x < cell.Right; ++x)
            if (PixelAt(*view, x, y) == shadow) {
                drawn.Left = std::min(drawn.Left, x);
                drawn.Top = std::min(drawn.Top, y);
                drawn.Right = std::max(drawn.Right, x + 1);
                drawn.Bottom = std::max(drawn.Bottom, y + 1);
            }
    EXPECT_EQ(drawn, RLCheckBoxRect(cell));
    ClickAt(*view, drawn.Right - 1, drawn.Bottom - 1); // the box's last pixel
    EXPECT_TRUE(view->ElemChecked(3, 2));
    ClickAt(*view, RLCheckClickRect(cell).Right, (cell.Top + cell.Bottom) / 2);
    EXPECT_TRUE(view->ElemChecked(3, 2));
    ClickAt(*view, (drawn.Left + drawn.Right) / 2, (drawn.Top + drawn.Bottom) / 2);
    EXPECT_FALSE(view->ElemChecked(3, 2));
}

TEST_F(RLViewInput, CellColoursFollowTheStateWithoutPainting) {
    view->SetColorSelectedBoth(0x00AA00);
    view->SetColorSelectedBothText(0x0000AA);
    view->SetColorSelectedCol(0x0000CC);
    view->SetColorSelectedColText(0x00CC00);
    view->SetHighLightBold(true);
    TRLCellState st;
    EXPECT_EQ(view->CellColors(st), (TRLCellColors{clWhite, clWhite, 0x002000, false}));
    st.Shaded = true;
    EXPECT_EQ(view->CellColors(st), (TRLCellColors{0xF0EFE8, 0xF0EFE8, 0x002000, false}));
    st.RowSelected = true;
    EXPECT_EQ(view->CellColors(st), (TRLCellColors{0x94BAED, 0x94BAED, clNavy, false}));
    st.ColSelected = true;
    EXPECT_EQ(view->CellColors(st), (TRLCellColors{0x00AA00, 0x00AA00, 0x0000AA, false}));
    st.RowSelected = false;
    EXPECT_EQ(view->CellColors(st), (TRLCellColors{0x0000CC, 0x0000CC, 0x00CC00, false}));
    st.Highlighted = true; // highlight wins over selection and turns bold
    EXPECT_EQ(view->CellColors(st), (TRLCellColors{0xCC9966, 0xCC9966, clWhite, true}));
    st.RowDisabled = true; // a disabled row ignores selection and highlight
    EXPECT_EQ(view->CellColors(st), (TRLCellColors{0xF0F0F0, 0xF0F0F0, clSilver, false}));
    st.ViewEnabled = false; // a disabled view keeps the band and greys the text
    EXPECT_EQ(view->CellColors(st), (TRLCellColors{0xF0EFE8, 0xF0EFE8, clInactiveCaption, false}));
    st.FixedColumn = true;
    EXPECT_EQ(view->CellColors(st),
              (TRLCellColors{clBtnFace, clBtnFace, clInactiveCaption, false}));
    EXPECT_EQ(TReportListView::CheckBoxPen(true, false, clRed), clBtnShadow);
    EXPECT_EQ(TReportListView::CheckBoxPen(true, true, clRed), clRed);
    EXPECT_EQ(TReportListView::CheckBoxPen(false, true, clRed), clInactiveCaption);
    EXPECT_EQ(TReportListView::CheckMarkPen(true, clRed), clRed);
    EXPECT_EQ(TReportListView::CheckMarkPen(false, clRed), clInactiveCaption);
}

// ---- Faults mended -----------------------------------------------------------------------------

TEST_F(RLViewInput, ToggleKeepsAMultiByteCheckCharacterWhole) {
    view->SetColumnCheckMode(3, cmBox);
    view->Data().Strings().SetString(3, 2, "été"); // checked: its check character is "é"
    EXPECT_EQ(view->Elem(3, 2), "té");
    ClickRow(2, 130 + 8);
    EXPECT_FALSE(view->ElemChecked(3, 2));
    EXPECT_EQ(view->Data().Strings().GetString(3, 2), " té");
    view->Data().Strings().SetString(3, 2, "été");
    view->SetElem(3, 2, "ô");
    EXPECT_EQ(view->Data().Strings().GetString(3, 2), "éô");
}

TEST_F(RLViewInput, ColWidthsOfAReorderedViewMapThroughTheInverseOrder) {
    view->TCustomGrid::SetColWidths(0, 101);
    view->TCustomGrid::SetColWidths(1, 102);
    view->TCustomGrid::SetColWidths(2, 103);
    ASSERT_TRUE(view->SetColumnOrder({3, 1, 2})); // grid column 0 shows data column 3
    EXPECT_EQ(view->ColWidths(1), 102);
    EXPECT_EQ(view->ColWidths(2), 103);
    EXPECT_EQ(view->ColWidths(3), 101);
    view->SetColWidths(3, 77);
    EXPECT_EQ(view->TCustomGrid::ColWidths(0), 77);
    // A data column that no grid column shows has no width.
    ASSERT_TRUE(view->SetColumnOrder({1, 1, 2}));
    EXPECT_EQ(view->ColWidths(3), 0);
}

TEST_F(RLViewInput, EqualHeaderHeightsAndFixedFirstColumnFireNothing) {
    int changes = 0;
    view->SetOnChange([&](TObject*) { ++changes; });
    view->SetCommonHeaderHeight(20);
    view->SetColumnHeadersHeight(20);
    view->SetFixedFirstColumn(false);
    EXPECT_EQ(changes, 0);
    view->SetColumnHeadersHeight(200); // clamped to 127
    EXPECT_EQ(changes, 1);
    view->SetColumnHeadersHeight(300); // clamped to 127 again: no change
    view->SetFixedFirstColumn(true);
    view->SetFixedFirstColumn(true);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(view->ColumnHeadersHeight(), 127);
}

TEST_F(RLViewInput, FilterWorksOnCharactersAndFoldsUnicodeCase) {
    view->SetElem(3, 1, "café");
    view->SetElem(3, 2, "ÉTÉ chaud");
    view->SetElem(3, 3, "Straße");
    view->SetElem(3, 4, "ΣΟΦΙΑ");
    EXPECT_EQ(view->FilterAndSort("^caf.$", {3}, false, fmGrep, -1, true), 1);
    EXPECT_TRUE(view->RowEnabled(1));
    view->UnSort();
    EXPECT_EQ(view->FilterAndSort("été", {3}, true, fmSimple, -1, true), 1);
    EXPECT_EQ(view->Elem(1, 1), "r2");
    view->UnSort();
    EXPECT_EQ(view->FilterAndSort("STRASSE OR σοφια", {3}, true, fmBoolean, 1, true), 2);
    EXPECT_EQ(Column(1).substr(0, 5), "r3,r4");
    view->UnSort();
    EXPECT_EQ(view->FilterAndSort("^été", {3}, true, fmGrep, -1, true), 1);
    EXPECT_EQ(view->FilterAndSort("^été", {3}, false, fmGrep, -1, true), 0);
    // One folding: the sort compares as the filter does ("Straße" folds to "strasse").
    view->UnSort();
    view->SetElem(2, 1, "strasz");
    view->SetElem(2, 2, "Straße");
    view->SetElem(2, 3, "STRASSE");
    for (int r = 4; r <= 6; ++r) view->SetElem(2, r, "zz");
    view->Sort(2, -1, true);
    EXPECT_EQ(Column(2).substr(0, 22), "STRASSE,Straße,strasz");
    EXPECT_EQ(RLCaseFolded("ÉTÉ Straße ΣΟΦΙΑ"), RLCaseFolded("été STRASSE σοφια"));
    EXPECT_EQ(RLCaseFolded(std::string("a\xff"
                                       "B")),
              std::string("a\xff"
                          "b")); // malformed kept
}

TEST_F(RLViewInput, BadPatternRaisesAnErrorThatNamesIt) {
    try {
        view->FilterAndSort("caf(é", {1}, false, fmGrep, -1, true);
        FAIL() << "no error";
    } catch (const EKELRepListError& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("\"caf(é\""), std::string::npos) << m;
        EXPECT_NE(m.find("position 6"), std::string::npos) << m; // the end, in characters
    }
    EXPECT_EQ(view->NumEnabledRows(), 6);
}

TEST(RLViewPublished, TheViewPublishesEveryPropertyOfTheDrawGrid) {
    const TClassInfo* grid = FindClass("TCustomDrawGrid");
    const TClassInfo* list = FindClass("TReportListView");
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->InheritsFrom("TCustomDrawGrid"));
    for (const TPropInfo* p : grid->AllProps())
        EXPECT_NE(list->FindProp(p->Name), nullptr) << p->Name;
    for (const char* name : {"Options", "DefaultDrawing", "FixedColor", "ScrollBars", "BorderStyle",
                             "Ctl3D", "DefaultColWidth", "DefaultRowHeight"})
        EXPECT_NE(list->FindProp(name), nullptr) << name;
    // The view's own defaults where they differ from a plain grid's.
    TReportListView v(nullptr);
    EXPECT_EQ(list->FindProp("Options")->Get(v), list->FindProp("Options")->Default);
    EXPECT_EQ(list->FindProp("DefaultDrawing")->Default, TPropValue(false));
}

} // namespace
} // namespace kel::test
