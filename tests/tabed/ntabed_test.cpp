// The table editor's binding and operations: grid layout with both offsets, the grid following
// the table, element, marking and structure rules with their ranges, the notification gates and
// both suppression flags, cell text, sorts and lookups, other tables.
#include "KEL_ntabed.h"
#include "kel_form_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace kel::test {
namespace {

std::string Label(int ScaleType, const char* Tail) {
    std::string s = MScaleTypeNames[std::size_t(ScaleType)];
    s += Tail;
    return s;
}

class NTabEd : public FormTest {
  protected:
    NTabEd() : FormTest(400, 300) {}
    void SetUp() override {
        FormTest::SetUp();
        ed = new TNTabEd(form.get());
        ed->SetParent(form.get());
        ed->SetBounds(0, 0, 380, 280);
    }
    // Grid size equals the table's plus the offsets and the name column / row.
    void ExpectGridFollowsTable() {
        EXPECT_EQ(ed->ColCount(), ed->NrOfColumns() + ed->ColOffset() + 1);
        EXPECT_EQ(ed->RowCount(), ed->NrOfRows() + ed->RowOffset() + 1);
        EXPECT_EQ(ed->FixedCols(), 1 + ed->ColOffset());
        EXPECT_EQ(ed->FixedRows(), 1 + ed->RowOffset());
    }
    TNTabEd* ed = nullptr;
};

TEST_F(NTabEd, StartsWithThreeByFourZerosAndTheAttributeColumn) {
    EXPECT_EQ(ed->NrOfColumns(), 3);
    EXPECT_EQ(ed->NrOfRows(), 4);
    EXPECT_EQ(ed->ColOffset(), 1);
    EXPECT_EQ(ed->RowOffset(), 0);
    ExpectGridFollowsTable();
    EXPECT_EQ(ed->ColWidths(0), 80);
    EXPECT_EQ(ed->ColWidths(1), 32);
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(ed->Precision(c), 3);
    EXPECT_EQ(ed->Elem(3, 4), 0.0);
    EXPECT_EQ(ed->ColorBackground(), clWindow);
    EXPECT_EQ(ed->ColorFixed(), clBtnFace);
}

TEST_F(NTabEd, GrowingColumnsCopiesWidthAndPrecisionOfTheOldLast) {
    ed->SetColWidths(3, 57);
    ed->SetPrecision(3, 6);
    ed->SetNrCols(5);
    ExpectGridFollowsTable();
    EXPECT_EQ(ed->GetColWidths(4), 57);
    EXPECT_EQ(ed->GetColWidths(5), 57);
    EXPECT_EQ(ed->Precision(4), 6);
    EXPECT_EQ(ed->Precision(5), 6);
    EXPECT_EQ(ed->Precision(2), 3);
    // Resizing the table directly reaches the grid through its notification.
    ed->Data().Resize(7, 9);
    ExpectGridFollowsTable();
    EXPECT_EQ(ed->Precision(7), 6);
}

TEST_F(NTabEd, RowStructureKeepsItsRanges) {
    ed->SetNrRows(1);
    ed->RemoveRow(1); // the last row is never removed
    EXPECT_EQ(ed->NrOfRows(), 1);
    ed->InsertRow(ed->NrOfRows() + 2); // beyond the end + 1: nothing
    EXPECT_EQ(ed->NrOfRows(), 1);
    ed->SetElem(1, 1, 7);
    ed->InsertRow(ed->NrOfRows() + 1); // appends
    EXPECT_EQ(ed->NrOfRows(), 2);
    EXPECT_EQ(ed->Elem(1, 1), 7);
    ed->InsertRow(1); // before the first
    EXPECT_EQ(ed->Elem(1, 2), 7);
    ExpectGridFollowsTable();
    ed->RemoveRow(0);
    ed->RemoveRow(4);
    EXPECT_EQ(ed->NrOfRows(), 3);
    ed->RemoveRow(1);
    EXPECT_EQ(ed->Elem(1, 1), 7);
    ExpectGridFollowsTable();
}

TEST_F(NTabEd, ColumnStructureKeepsPrecisionsWithTheirColumns) {
    ed->SetPrecision(1, 1);
    ed->SetPrecision(2, 2);
    ed->SetPrecision(3, 5);
    ed->InsertColumn(2); // the new column takes its left neighbour's precision
    EXPECT_EQ(ed->NrOfColumns(), 4);
    EXPECT_EQ(ed->Precision(1), 1);
    EXPECT_EQ(ed->Precision(2), 1);
    EXPECT_EQ(ed->Precision(3), 2);
    EXPECT_EQ(ed->Precision(4), 5);
    ed->RemoveColumn(3);
    EXPECT_EQ(ed->Precision(3), 5);
    ed->SetNrCols(1);
    ed->RemoveColumn(1);
    EXPECT_EQ(ed->NrOfColumns(), 1);
    ExpectGridFollowsTable();
}

TEST_F(NTabEd, SetDecPlacesClampsAndIgnoresColumnsOutside) {
    ed->SetDecPlaces(1, -5);
    EXPECT_EQ(ed->GetDecPlaces(1), -1);
    ed->SetDecPlaces(1, 12);
    EXPECT_EQ(ed->GetDecPlaces(1), 10);
    ed->SetDecPlaces(1, 9);
    EXPECT_EQ(ed->GetDecPlaces(1), 9);
    ed->SetDecPlaces(4, 1);
    ed->SetDecPlaces(0, 1);
    EXPECT_EQ(ed->GetDecPlaces(4), 0);
    EXPECT_EQ(ed->GetDecPlaces(2), 3);
}

TEST_F(NTabEd, NamesAreCutTo50AndOutOfRangeIsIgnored) {
    int headings = 0;
    ed->SetOnHeadingChanged([&](TObject*) { ++headings; });
    const std::string sixty(60, 'x');
    ed->SetColName(2, sixty);
    EXPECT_EQ(ed->ColName(2), std::string(50, 'x'));
    ed->SetRowName(4, "last");
    EXPECT_EQ(ed->RowName(4), "last");
    EXPECT_EQ(headings, 2);
    ed->SetColName(4, "no");
    ed->SetRowName(0, "no");
    EXPECT_EQ(headings, 2);
    EXPECT_EQ(ed->ColName(4), "");
    EXPECT_EQ(ed->RowName(5), "");
    ed->SetColAttrib(3, 200);
    ed->SetColAttrib(9, 1);
    EXPECT_EQ(ed->ColAttrib(3), 200);
    EXPECT_EQ(ed->ColAttrib(9), 0);
}

TEST_F(NTabEd, HidingAndShowingTheAttributeColumnKeepsEveryWidth) {
    ed->SetColWidths(1, 40);
    ed->SetColWidths(2, 50);
    ed->SetColWidths(3, 60);
    int layouts = 0;
    ed->SetOnLayoutChanged([&](TObject*) { ++layouts; });
    ed->SetAttribRowVisible(false);
    EXPECT_EQ(ed->ColOffset(), 0);
    ExpectGridFollowsTable();
    EXPECT_EQ(ed->GetColWidths(1), 40);
    EXPECT_EQ(ed->GetColWidths(2), 50);
    EXPECT_EQ(ed->GetColWidths(3), 60);
    EXPECT_EQ(ed->GetColWidths(-1), 0);
    EXPECT_EQ(ed->ColWidths(0), 80);
    ed->SetAttribRowVisible(false); // the current value: nothing
    EXPECT_EQ(layouts, 1);
    ed->SetAttribRowVisible(true);
    EXPECT_EQ(ed->GetColWidths(-1), 32);
    EXPECT_EQ(ed->GetColWidths(3), 60);
    ExpectGridFollowsTable();
    ed->SetAttribColVisible(true);
    EXPECT_EQ(ed->RowOffset(), 1);
    ExpectGridFollowsTable();
    ed->SetNrRows(6);
    ExpectGridFollowsTable();
}

TEST_F(NTabEd, SuppressPaintStopsEveryEventUntilItIsLifted) {
    int changes = 0, states = 0;
    ed->SetOnChange([&](TObject*) { ++changes; });
    ed->SetOnCellStateChanged([&](TObject*) { ++states; });
    ed->SetSuppressPaint(true);
    ed->SetElem(1, 1, 5);
    ed->Data().SetElem(2, 2, 6);
    ed->SetElemMarkedA(1, 1, true);
    ed->Clear();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(states, 0);
    ed->SetSuppressPaint(false);
    ed->SetElem(1, 1, 5);
    EXPECT_EQ(changes, 1);
    ed->SetElemMarkedA(1, 1, true);
    EXPECT_EQ(states, 1);
    EXPECT_EQ(changes, 1); // marks report cell states, not data
}

TEST_F(NTabEd, MarksSetAndClearTheirBitsOnly) {
    ed->SetCellState(2, 2, dtsLocked);
    ed->SetElemMarkedA(2, 2, true);
    ed->SetElemMarkedB(2, 2, true);
    EXPECT_EQ(ed->CellState(2, 2), dtsLocked | dtsMarkA | dtsMarkB);
    ed->SetElemMarkedA(2, 2, false);
    EXPECT_EQ(ed->CellState(2, 2), dtsLocked | dtsMarkB);
    ed->SetElemMarkedA(9, 9, true); // outside: ignored
    EXPECT_FALSE(ed->ElemMarkedA(9, 9));
    EXPECT_TRUE(ed->IfRowMarked(2));
    EXPECT_FALSE(ed->IfRowMarked(1));
    EXPECT_TRUE(ed->IfColumnMarked(2));
    EXPECT_FALSE(ed->IfColumnMarked(3));
    EXPECT_FALSE(ed->IfColumnMarked(0));
    EXPECT_TRUE(ed->IfAnyMarked());
    ed->MarkAllElemsA();
    EXPECT_EQ(ed->NrOfMarkedDataA(), 12);
    EXPECT_EQ(ed->NrOfMarkedDataB(), 1);
    ed->ExchangeMarkings();
    EXPECT_EQ(ed->NrOfMarkedDataA(), 1);
    EXPECT_EQ(ed->NrOfMarkedDataB(), 12);
    ed->UnMarkAllElems();
    EXPECT_FALSE(ed->IfAnyMarked());
    EXPECT_EQ(ed->CellState(2, 2), dtsLocked);
    ed->SetIsEmpty(1, 1, true);
    EXPECT_TRUE(ed->IsEmpty(1, 1));
    EXPECT_FALSE(ed->IsNumber(1, 1));
    EXPECT_TRUE(ed->IsNumber(1, 2));
    EXPECT_FALSE(ed->IsNumber(4, 1));
}

TEST_F(NTabEd, ClearNamesColumnsAndRowsAndResetsPrecision) {
    ed->SetPrecision(2, 7);
    ed->SetElem(2, 2, 4);
    ed->SetCellState(2, 2, dtsMarkA);
    int changes = 0;
    ed->SetOnChange([&](TObject*) { ++changes; });
    ed->Clear();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ed->ColName(2), "C-2");
    EXPECT_EQ(ed->RowName(4), "R-4");
    EXPECT_EQ(ed->Precision(2), 3);
    EXPECT_EQ(ed->Elem(2, 2), 0.0);
    EXPECT_EQ(ed->CellState(2, 2), 0);
}

TEST_F(NTabEd, CommentLosesControlCharacters) {
    int changes = 0;
    ed->SetOnChange([&](TObject*) { ++changes; });
    ed->SetComment("line\r\none\t!");
    EXPECT_EQ(ed->Comment(), "lineone!");
    EXPECT_EQ(changes, 1);
}

TEST_F(NTabEd, FormatCellValueAtTheBoundsAndForNaN) {
    EXPECT_EQ(FormatCellValue(1, 2, 0.0), "0.00");
    EXPECT_EQ(FormatCellValue(1, 2, 999999.99), "999999.99");
    EXPECT_NE(FormatCellValue(1, 2, 1234567.0).find('E'), std::string::npos);
    EXPECT_NE(FormatCellValue(1, 2, 0.004).find('E'), std::string::npos);
    EXPECT_EQ(FormatCellValue(1, 2, 0.01), "0.01");
    EXPECT_EQ(FormatCellValue(1, 0, 999999999.0), "999999999");
    EXPECT_NE(FormatCellValue(1, 0, 1e9).find('E'), std::string::npos);
    EXPECT_EQ(FormatCellValue(1, 8, 0.99999999), "0.99999999");
    EXPECT_NE(FormatCellValue(1, 8, 1.0).find('E'), std::string::npos);
    EXPECT_EQ(FormatCellValue(1, 3, -0.001), "-0.001");
    EXPECT_EQ(FormatCellValue(6, 1, 2.5), "   2.5");
    EXPECT_NE(FormatCellValue(1, -1, 2.5).find('E'), std::string::npos);
    EXPECT_NE(FormatCellValue(1, 9, 0.5).find('E'), std::string::npos);
    const std::string nan = FormatCellValue(1, 2, std::numeric_limits<double>::quiet_NaN());
    EXPECT_NE(nan.find("NAN"), std::string::npos);
}

TEST_F(NTabEd, CellTextShowsEmptyInvalidAndNominalCells) {
    ed->SetElem(1, 1, 2.5);
    EXPECT_EQ(ed->CellText(1, 1), "2.500");
    ed->SetCellState(1, 1, dtsInvalid);
    EXPECT_EQ(ed->CellText(1, 1), "-nan-");
    ed->SetCellState(1, 1, dtsInvalid | dtsEmpty);
    EXPECT_EQ(ed->CellText(1, 1), "");
    ed->Data().SetMScaleType(2, mstNominal);
    ed->Data().SetNominalID(2, 3, "red");
    ed->SetElem(2, 1, 3.2); // rounded to category 3
    EXPECT_EQ(ed->CellText(2, 1), "red");
    ed->SetElem(2, 1, 151);
    EXPECT_EQ(ed->CellText(2, 1), Label(mstNominal, ":151"));
    ed->SetElem(2, 1, 4); // a category without identifier
    EXPECT_EQ(ed->CellText(2, 1), Label(mstNominal, ":4"));
    ed->Data().SetMScaleType(2, mstOrdinal);
    EXPECT_EQ(ed->CellText(2, 1), Label(mstOrdinal, ":4"));
}

TEST_F(NTabEd, SizesAreClampedAndNumWidthIgnoresOutsideValues) {
    ed->SetNrCols(0);
    EXPECT_EQ(ed->NrOfColumns(), 1);
    ed->SetNrRows(-5);
    EXPECT_EQ(ed->NrOfRows(), 1);
    ExpectGridFollowsTable();
    int layouts = 0;
    ed->SetOnLayoutChanged([&](TObject*) { ++layouts; });
    ed->SetNumWidth(21);
    EXPECT_EQ(ed->NumWidth(), 1);
    ed->SetNumWidth(20);
    EXPECT_EQ(ed->NumWidth(), 20);
    EXPECT_EQ(layouts, 2); // fired always
}

TEST_F(NTabEd, SortsAreStableWithNumbersFirstAndPrecisionsFollowTheirColumns) {
    ed->SetNrCols(4);
    ed->SetNrRows(3);
    const double row1[] = {3, 1, 2, 1};
    for (int c = 1; c <= 4; ++c) {
        ed->SetElem(c, 1, row1[c - 1]);
        ed->SetElem(c, 2, c); // tells the columns apart
        ed->SetPrecision(c, c);
        std::string name = "c";
        name += std::to_string(c);
        ed->SetColName(c, name);
    }
    ed->SetCellState(1, 1, dtsInvalid); // not a number: last
    ed->SortCols(1, true, 1, 1, 4, 3, true);
    EXPECT_EQ(ed->Elem(1, 2), 2); // 1 (column 2) before 1 (column 4): stable
    EXPECT_EQ(ed->Elem(2, 2), 4);
    EXPECT_EQ(ed->Elem(3, 2), 3);
    EXPECT_EQ(ed->Elem(4, 2), 1);
    EXPECT_EQ(ed->ColName(1), "c2");
    EXPECT_EQ(ed->Precision(1), 2);
    EXPECT_EQ(ed->Precision(2), 4);
    EXPECT_EQ(ed->Precision(4), 1);
    ed->SortRows(1, false, 1, 1, 4, 3, false);
    EXPECT_EQ(ed->Elem(1, 1), 2);
    EXPECT_EQ(ed->RowName(1), ed->Data().GetRowName(1));
    // A key outside the block does nothing.
    ed->SortCols(3, true, 1, 1, 4, 2, true);
    EXPECT_EQ(ed->ColName(1), "c2");
}

TEST_F(NTabEd, NameAndAttributeSortsMoveTheHeadersAlong) {
    ed->SetColName(1, "beta");
    ed->SetColName(2, "Alpha");
    ed->SetColName(3, "gamma");
    ed->SetElem(1, 1, 10);
    ed->SetElem(2, 1, 20);
    ed->SetPrecision(2, 0);
    ed->SortColNames(true, true, 1, 1, 3, 4);
    EXPECT_EQ(ed->ColName(1), "Alpha");
    EXPECT_EQ(ed->Elem(1, 1), 20);
    EXPECT_EQ(ed->Precision(1), 0);
    ed->SortColNames(true, false, 1, 1, 3, 4); // byte order: capitals first
    EXPECT_EQ(ed->ColName(1), "Alpha");
    ed->SetRowAttrib(1, 9);
    ed->SetRowAttrib(2, 1);
    ed->SetElem(1, 2, 5);
    ed->SortRowAttributes(false, 1, 1, 3, 4);
    EXPECT_EQ(ed->RowAttrib(1), 9);
    ed->SortRowAttributes(true, 1, 1, 3, 4);
    EXPECT_EQ(ed->RowAttrib(4), 9);
    EXPECT_EQ(ed->Elem(1, 4), 20);
    EXPECT_EQ(ed->FindColIndex("GAMMA"), 3);
    EXPECT_EQ(ed->FindColIndex("delta"), -1);
    ed->SetRowName(2, "R2");
    EXPECT_EQ(ed->FindRowIndex("r2"), 2);
    EXPECT_EQ(ed->FindRowIndex("r"), -1);
}

TEST_F(NTabEd, AnExternalTableIsFollowedAndNeverFreed) {
    auto ext = std::make_unique<TDataTable>(6, 2);
    ext->SetElem(6, 2, 42);
    ed->AssignAnotherDataMatrix(ext.get());
    EXPECT_TRUE(ed->ExtMatAssigned());
    EXPECT_EQ(ed->NrOfColumns(), 6);
    ExpectGridFollowsTable();
    EXPECT_EQ(ed->Elem(6, 2), 42);
    EXPECT_EQ(ed->Precision(6), 3);
    int changes = 0;
    ed->SetOnChange([&](TObject*) { ++changes; });
    ext->SetElem(1, 1, 3);
    EXPECT_EQ(changes, 1);
    ext->Resize(2, 8);
    ExpectGridFollowsTable();
    form.reset();          // frees the editor
    ext->SetElem(1, 1, 4); // still alive, and no longer calls the freed editor
    EXPECT_EQ(ext->GetElem(1, 1), 4);
}

TEST_F(NTabEd, CopyContentsAndCellStatesFromAnotherEditor) {
    auto* other = new TNTabEd(form.get());
    other->SetNrCols(5);
    other->SetNrRows(2);
    other->SetElem(5, 2, 9);
    other->SetPrecision(5, 1);
    other->SetColName(5, "five");
    other->SetCellState(1, 1, dtsMarkB);
    ed->CopyContentsFrom(*other);
    EXPECT_EQ(ed->NrOfColumns(), 5);
    ExpectGridFollowsTable();
    EXPECT_EQ(ed->Elem(5, 2), 9);
    EXPECT_EQ(ed->Precision(5), 1);
    EXPECT_EQ(ed->ColName(5), "five");
    ed->SetNrCols(3);
    ed->SetNrRows(4);
    other->SetCellState(2, 2, dtsLocked);
    ed->CopyCellStatesFrom(*other);
    EXPECT_EQ(ed->CellState(2, 2), dtsLocked);
    EXPECT_EQ(ed->CellState(1, 1), dtsMarkB);
    EXPECT_EQ(ed->CellState(1, 3), 0);
}

TEST_F(NTabEd, DataLeftColAndTopRowClampToTheTable) {
    ed->SetNrCols(30);
    ed->SetNrRows(40);
    ed->SetDataTopRow(100);
    EXPECT_LE(ed->DataTopRow(), 40);
    EXPECT_GE(ed->DataTopRow(), 1);
    ed->SetDataLeftCol(-4);
    EXPECT_EQ(ed->DataLeftCol(), 1);
    ed->SetDataTopRow(5);
    EXPECT_EQ(ed->DataTopRow(), 5);
}

} // namespace
} // namespace kel::test
