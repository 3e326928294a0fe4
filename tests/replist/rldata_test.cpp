// Tests of the report list container TRLData: sizes and names, the check-column rules and
// conversions, radio columns, numeric reading and its message, default values from column
// formats, column lookup, row and column removal, sorting, Assign and the clipboard text.
#include "KEL_replist.h"
#include "kel_app.h"
#include "kel_props.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace kel;

namespace {

// A container with the given column names and rows of cells (column 1 on).
void MakeTable(TRLData& d, const std::vector<std::string>& Names,
               const std::vector<std::vector<std::string>>& Rows) {
    d.SetNrCols(static_cast<int>(Names.size()));
    d.SetNrRows(static_cast<int>(Rows.size()));
    for (std::size_t c = 0; c < Names.size(); ++c) d.SetColName(static_cast<int>(c) + 1, Names[c]);
    for (std::size_t r = 0; r < Rows.size(); ++r)
        for (std::size_t c = 0; c < Rows[r].size(); ++c)
            d.SetElem(static_cast<int>(c) + 1, static_cast<int>(r) + 1, Rows[r][c]);
}

std::string Stored(const TRLData& d, int c, int r) { return d.Strings().GetString(c, r); }

} // namespace

TEST(RLData, NewContainerHasOneNamedColumnNoRowsAndTheDefaultHeader) {
    TRLData d(nullptr);
    EXPECT_EQ(d.NrOfColumns(), 1);
    EXPECT_EQ(d.NrOfRows(), 0);
    EXPECT_EQ(d.Header(1), "C-1");
    EXPECT_EQ(d.CommonHeader(), "Kel Report Listview");
    EXPECT_EQ(d.LastSortColumn(), -1);
    EXPECT_TRUE(d.LastSortOrder());
    EXPECT_TRUE(d.SortToggle());
    EXPECT_EQ(d.FeedbackNumCells(), 1);
    d.SetNrCols(3);
    d.SetNrRows(199);
    EXPECT_EQ(d.FeedbackNumCells(), 796);
    EXPECT_EQ(d.FeedbackStep(), 8);
    d.SetNrRows(0);
    EXPECT_EQ(d.FeedbackNumCells(), 1);
}

TEST(RLData, SizesAreClampedAndNewColumnsGetNumberedNames) {
    TRLData d(nullptr);
    d.SetNrCols(0);
    EXPECT_EQ(d.NrOfColumns(), 1);
    d.SetNrRows(-3);
    EXPECT_EQ(d.NrOfRows(), 0);
    d.SetNrCols(2);
    d.SetColName(1, "First");
    d.SetColName(2, "Second");
    d.SetNrCols(4);
    EXPECT_EQ(d.Header(1), "First");
    EXPECT_EQ(d.Header(2), "Second");
    EXPECT_EQ(d.Header(3), "C-3");
    EXPECT_EQ(d.Header(4), "C-4");
    d.InsertColumn(1);
    EXPECT_EQ(d.Header(1), "");
    EXPECT_EQ(d.Header(2), "First");
    EXPECT_EQ(d.NrOfColumns(), 5);
    // Out of range: reads empty / cmNone, writes ignored.
    d.SetColName(9, "x");
    EXPECT_EQ(d.Header(9), "");
    EXPECT_EQ(d.ColumnCheckMode(0), cmNone);
    d.SetColName(1, std::string(60, 'n'));
    EXPECT_EQ(d.Header(1).size(), 50u);
}

TEST(RLData, CellAccessOutsideTheTableReadsEmptyAndIgnoresWrites) {
    TRLData d(nullptr);
    MakeTable(d, {"A"}, {{"a"}});
    d.SetElem(2, 1, "x");
    d.SetElem(1, 2, "x");
    d.SetElem(1, 0, "x");
    EXPECT_EQ(d.Elem(1, 0), "");
    EXPECT_EQ(d.Elem(2, 1), "");
    EXPECT_EQ(Stored(d, 1, 0), "");
    d.SetElem(0, 1, "hidden");
    EXPECT_EQ(d.Elem(0, 1), "hidden");
}

TEST(RLData, WritingTextToACheckCellKeepsItsCheckCharacter) {
    TRLData d(nullptr);
    MakeTable(d, {"A", "B"}, {{"", ""}, {"", ""}});
    d.SetColCheckMode(2, cmBox);
    d.Strings().SetString(2, 1, "X12");
    d.SetElem(2, 1, "abc");
    EXPECT_EQ(Stored(d, 2, 1), "Xabc");
    EXPECT_EQ(d.Elem(2, 1), "abc");
    EXPECT_TRUE(d.ElemChecked(2, 1));
    d.SetElem(2, 2, "new");
    EXPECT_EQ(Stored(d, 2, 2), " new");
    EXPECT_FALSE(d.ElemChecked(2, 2));
    // Any first character other than a blank reads as checked.
    d.Strings().SetString(2, 2, "*t");
    EXPECT_TRUE(d.ElemChecked(2, 2));
    // Plain columns have no check state.
    d.SetElemChecked(1, 1, true);
    EXPECT_EQ(Stored(d, 1, 1), "");
    EXPECT_FALSE(d.ElemChecked(1, 1));
}

TEST(RLData, CheckModeConversionsAddAndDropTheCheckCharacter) {
    TRLData d(nullptr);
    MakeTable(d, {"A"}, {{"a"}, {""}, {"b"}});
    d.SetColCheckMode(1, cmBox);
    EXPECT_EQ(Stored(d, 1, 1), " a");
    EXPECT_EQ(Stored(d, 1, 2), "");
    EXPECT_EQ(Stored(d, 1, 3), " b");
    d.SetElemChecked(1, 3, true);
    d.SetColCheckMode(1, cmNone);
    EXPECT_EQ(Stored(d, 1, 1), "a");
    EXPECT_EQ(Stored(d, 1, 2), "");
    EXPECT_EQ(Stored(d, 1, 3), "b");

    // Box to radio clears every mark (empty cells become a blank); radio to box keeps cells.
    d.SetColCheckMode(1, cmBox);
    d.SetAllCheckmarksOfCol(1, true);
    d.SetColCheckMode(1, cmRadio);
    EXPECT_EQ(Stored(d, 1, 1), " a");
    EXPECT_EQ(Stored(d, 1, 2), " ");
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 0);
    d.SetElemChecked(1, 1, true);
    d.SetColCheckMode(1, cmBox);
    EXPECT_EQ(Stored(d, 1, 1), "Xa");
}

TEST(RLData, CheckModeChangeNotifiesTheArrayNotOncePerCell) {
    TRLData d(nullptr);
    MakeTable(d, {"A"}, {{"a"}, {"b"}, {"c"}});
    int changes = 0;
    d.Strings().SetOnChange([&](TObject*) { ++changes; });
    d.SetColCheckMode(1, cmBox);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(Stored(d, 1, 2), " b");
    // The hook is back afterwards.
    d.SetElem(1, 1, "z");
    EXPECT_EQ(changes, 1);
}

TEST(RLData, RadioColumnKeepsAtMostOneMark) {
    TRLData d(nullptr);
    MakeTable(d, {"A"}, {{"a"}, {"b"}, {""}});
    d.SetColCheckMode(1, cmRadio);
    d.SetElemChecked(1, 1, true);
    d.SetElemChecked(1, 3, true);
    EXPECT_FALSE(d.ElemChecked(1, 1));
    EXPECT_TRUE(d.ElemChecked(1, 3));
    EXPECT_EQ(Stored(d, 1, 3), "X");
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 1);
    EXPECT_EQ(d.FirstCheckedElemInCol(1), 3);
    // Neither checking all nor inverting applies to a radio column; clearing all does.
    d.SetAllCheckmarksOfCol(1, true);
    d.InvertAllCheckmarksOfCol(1);
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 1);
    // Unchecking one cell of a radio column also clears the others first.
    d.SetElemChecked(1, 2, false);
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 0);
    d.SetElemChecked(1, 2, true);
    d.SetAllCheckmarksOfCol(1, false);
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 0);
}

TEST(RLData, BoxColumnOperationsSkipDisabledRowsOnlyWhenAsked) {
    TRLData d(nullptr);
    MakeTable(d, {"A", "B"}, {{"", "p"}, {"", "q"}, {"", "r"}});
    d.SetColCheckMode(2, cmBox);
    d.Strings().SetRowAttrib(2, RowDisabledBit);
    d.SetAllCheckmarksOfCol(2, true, true);
    EXPECT_TRUE(d.ElemChecked(2, 1));
    EXPECT_FALSE(d.ElemChecked(2, 2));
    EXPECT_TRUE(d.ElemChecked(2, 3));
    d.InvertAllCheckmarksOfCol(2);
    EXPECT_EQ(d.CountCheckedElemsInCol(2), 1);
    EXPECT_EQ(d.FirstCheckedElemInCol(2), 2);
    d.InvertAllCheckmarksOfCol(2, true);
    EXPECT_EQ(d.CountCheckedElemsInCol(2), 3);
    // An empty cell inverts to a bare check character; any other first character to a blank.
    d.Strings().SetString(2, 1, "");
    d.Strings().SetString(2, 3, "*r");
    d.InvertAllCheckmarksOfCol(2);
    EXPECT_EQ(Stored(d, 2, 1), "X");
    EXPECT_EQ(Stored(d, 2, 3), "Xr");
    EXPECT_EQ(d.Elem(2, 3), "r");
    // Counting a plain column, and a row across the check columns.
    EXPECT_EQ(d.CountCheckedElemsInCol(1), 0);
    d.SetColCheckMode(1, cmRadio);
    d.SetElemChecked(1, 3, true);
    EXPECT_EQ(d.CountCheckedElemsInRow(3), 2);
    EXPECT_EQ(d.FirstCheckedElemInRow(3), 1);
    EXPECT_EQ(d.FirstCheckedElemInRow(4), 0);
    EXPECT_EQ(d.FirstCheckedElemInRow(2), 0);
}

TEST(RLData, IsCheckedColumnMeansBoxOnly) {
    TRLData d(nullptr);
    d.SetNrCols(2);
    d.SetColCheckMode(1, cmRadio);
    EXPECT_FALSE(d.IsCheckedColumn(1));
    d.SetIsCheckedColumn(2, true);
    EXPECT_EQ(d.ColumnCheckMode(2), cmBox);
    d.SetIsCheckedColumn(1, false);
    EXPECT_EQ(d.ColumnCheckMode(1), cmNone);
}

TEST(RLData, ColumnIndexPrefersTheHighestMatchingColumn) {
    TRLData d(nullptr);
    MakeTable(d, {"Price", "Unit price", "Amount"}, {});
    EXPECT_EQ(d.ColumnIndex("price", true), 2);
    EXPECT_EQ(d.ColumnIndex("price", false), 1);
    EXPECT_EQ(d.ColumnIndex("PRICE", false), 1);
    EXPECT_EQ(d.ColumnIndex("weight", true), -1);
    EXPECT_EQ(d.ColumnIndex("", true), -1);
    EXPECT_EQ(d.ColumnIndex("unit price", false), 2);
}

TEST(RLData, AsNumberReadsCommaAndBlanksAndNamesTheCellOnError) {
    TRLData d(nullptr);
    MakeTable(d, {"A", "B"}, std::vector<std::vector<std::string>>(7, {"", ""}));
    d.SetElem(1, 1, " 1,5 ");
    EXPECT_DOUBLE_EQ(d.AsNumber(1, 1), 1.5);
    EXPECT_DOUBLE_EQ(d.AsNumber(1, 2), 0.0);
    d.SetElem(1, 3, "-2.5e3");
    EXPECT_DOUBLE_EQ(d.AsNumber(1, 3), -2500.0);
    d.SetElem(1, 4, "+.5");
    EXPECT_DOUBLE_EQ(d.AsNumber(1, 4), 0.5);
    d.SetElem(2, 7, "1.2.3");
    try {
        d.AsNumber(2, 7);
        FAIL() << "no exception";
    } catch (const EKELDStructError& e) {
        EXPECT_STREQ(e.what(), "Class TRLData: invalid numeric string: [2,7]: 1.2.3");
    }
    EXPECT_EQ(d.Elem(2, 7), "1.2.3");
    for (const char* bad : {"1e", "e5", "abc", "1 2", "0x10", "inf", "1e999", "-"}) {
        d.SetElem(1, 5, bad);
        EXPECT_THROW(d.AsNumber(1, 5), EKELDStructError) << bad;
    }
}

TEST(RLData, AsNumberOfACheckCellIgnoresTheCheckCharacterButTheMessageKeepsIt) {
    TRLData d(nullptr);
    MakeTable(d, {"A"}, {{""}});
    d.SetColCheckMode(1, cmBox);
    d.SetElem(1, 1, "42");
    d.SetElemChecked(1, 1, true);
    EXPECT_DOUBLE_EQ(d.AsNumber(1, 1), 42.0);
    d.SetElem(1, 1, "x");
    try {
        d.AsNumber(1, 1);
        FAIL() << "no exception";
    } catch (const EKELDStructError& e) {
        EXPECT_STREQ(e.what(), "Class TRLData: invalid numeric string: [1,1]: Xx");
    }
}

TEST(RLData, DefaultValueFollowsTheColumnFormat) {
    TRLData d(nullptr);
    d.SetNrCols(9);
    d.SetNrRows(1);
    d.SetColumnFormat(1, "[i][80]rix4");
    EXPECT_EQ(d.DefaultValue(1, 12), "0012");
    EXPECT_EQ(d.DefaultValue(1, 123), "0123");
    EXPECT_EQ(d.DefaultValue(1, 12345), "2345");
    EXPECT_EQ(d.DefaultValue(1, -7), "-0007");
    d.SetColumnFormat(2, "[h][60]rix2");
    EXPECT_EQ(d.DefaultValue(2, 300), "2C");
    d.SetColumnFormat(3, "[l][100]red|green|blue");
    EXPECT_EQ(d.DefaultValue(3, 1), "red");
    d.SetColumnFormat(4, "[#s][100]abc");
    EXPECT_EQ(d.DefaultValue(4, 1), "");
    d.SetColumnFormat(5, "[f][50]RIX2");
    EXPECT_EQ(d.DefaultValue(5, 3), "3.00");
    d.SetColumnFormat(6, "[e][50]12.5");
    EXPECT_EQ(d.DefaultValue(6, 3), "12.5");
    d.SetColumnFormat(7, "[c:4][100]only");
    EXPECT_EQ(d.DefaultValue(7, 1), "only");
    d.SetColumnFormat(8, "no brackets");
    EXPECT_EQ(d.DefaultValue(8, 1), "");
    d.SetColumnFormat(9, "[d][90]01.02.2020");
    EXPECT_EQ(d.DefaultValue(9, 1), "01.02.2020");
    // A huge digit count is limited instead of building a giant text.
    d.SetColumnFormat(1, "[i][80]rix99999999");
    EXPECT_EQ(d.DefaultValue(1, 5).size(), 255u);
}

TEST(RLData, PasswordDefaultIsNewOnEveryRead) {
    TRLData d(nullptr);
    d.SetNrRows(1);
    d.SetColumnFormat(1, "[s][100]$pwd$8");
    std::set<std::string> seen;
    for (int i = 0; i < 5; ++i) {
        const std::string p = d.DefaultValue(1, 1);
        EXPECT_EQ(p.size(), 8u);
        seen.insert(p);
    }
    EXPECT_GT(seen.size(), 1u);
    d.SetColumnFormat(1, "[s][100]plain");
    EXPECT_EQ(d.DefaultValue(1, 1), "plain");
}

TEST(RLData, RemovingTheOnlyRowOrColumnEmptiesItInsteadOfRemovingStorage) {
    TRLData d(nullptr);
    MakeTable(d, {"A"}, {{"a"}});
    d.SetElem(0, 1, "hidden");
    d.Strings().SetRowAttrib(1, RowDisabledBit);
    d.RemoveRow(1);
    EXPECT_EQ(d.NrOfRows(), 0);
    d.SetNrRows(1);
    EXPECT_EQ(d.Elem(1, 1), "");
    EXPECT_EQ(d.Elem(0, 1), "");
    EXPECT_EQ(d.Strings().GetRowAttrib(1), 0);

    d.SetElem(1, 1, "b");
    d.RemoveColumn(1);
    EXPECT_EQ(d.NrOfColumns(), 0);
    EXPECT_EQ(d.Header(1), "");
    d.SetNrCols(1);
    EXPECT_EQ(d.Header(1), "C-1");
    EXPECT_EQ(d.Elem(1, 1), "");
}

TEST(RLData, ShrinkingToNoRowsAndBackBringsNoOldContent) {
    TRLData d(nullptr);
    MakeTable(d, {"A"}, {{"a"}, {"b"}});
    d.SetColCheckMode(1, cmBox);
    d.SetElemChecked(1, 1, true);
    d.SetElem(0, 1, "hidden");
    d.SetNrRows(0);
    d.SetNrRows(2);
    EXPECT_EQ(Stored(d, 1, 1), "");
    EXPECT_EQ(Stored(d, 0, 1), "");
    EXPECT_EQ(Stored(d, 1, 2), "");
}

TEST(RLData, RemoveColumnMovesTheMetadataOfLaterColumns) {
    TRLData d(nullptr);
    MakeTable(d, {"A", "B", "C"}, {{"1", "2", "3"}});
    d.SetColCheckMode(3, cmBox);
    d.SetColumnFormat(3, "[s][9]z");
    d.RemoveColumn(2);
    EXPECT_EQ(d.NrOfColumns(), 2);
    EXPECT_EQ(d.Header(2), "C");
    EXPECT_EQ(d.ColumnCheckMode(2), cmBox);
    EXPECT_EQ(d.ColumnFormat(2), "[s][9]z");
    EXPECT_EQ(d.Elem(2, 1), "3");
}

TEST(RLData, RemoveEmptyRowsIgnoresCheckCharactersButSeesColumnZero) {
    TRLData d(nullptr);
    MakeTable(d, {"A", "B"}, {{"x", ""}, {"", ""}, {"", ""}, {"", ""}});
    d.SetColCheckMode(2, cmBox);
    d.SetElemChecked(2, 2, true); // stored "X", no text
    d.SetElem(0, 3, "hidden");
    d.RemoveEmptyRows();
    EXPECT_EQ(d.NrOfRows(), 2);
    EXPECT_EQ(d.Elem(1, 1), "x");
    EXPECT_EQ(d.Elem(0, 2), "hidden");
}

TEST(RLData, CopyRowFillAndClear) {
    TRLData d(nullptr);
    MakeTable(d, {"A", "B"}, {{"a", "b"}, {"c", "d"}});
    d.SetColCheckMode(2, cmBox);
    d.SetElemChecked(2, 1, true);
    d.SetElem(0, 1, "h");
    d.Strings().SetRowAttrib(1, RowSelectedBit);
    d.CopyRow(1, 2);
    EXPECT_EQ(Stored(d, 2, 2), "Xb");
    EXPECT_EQ(d.Elem(0, 2), "h");
    EXPECT_EQ(d.Strings().GetRowAttrib(2), RowSelectedBit);
    d.CopyRow(1, 3); // out of range: nothing
    d.Fill("f");
    EXPECT_EQ(Stored(d, 2, 1), "Xf");
    EXPECT_EQ(Stored(d, 1, 2), "f");
    EXPECT_EQ(d.Elem(0, 1), "h"); // Fill leaves column 0 alone
    d.SetColName(1, "Name");
    d.Clear();
    EXPECT_EQ(d.Header(1), "C-1");
    EXPECT_EQ(d.ColumnCheckMode(2), cmNone);
    EXPECT_EQ(d.NrOfRows(), 2);
    EXPECT_EQ(d.Elem(1, 1), "");
}

TEST(RLData, SortRecordsItsColumnsAndUnsortRestoresTheOrder) {
    TRLData d(nullptr);
    MakeTable(d, {"N", "T"}, {{"3", "c"}, {"1", "a"}, {"2", "b"}});
    std::vector<std::string> seen;
    d.SetOnBeforeSortExchange([&](TObject* Sender, const std::string& s, std::string&) {
        EXPECT_EQ(Sender, &d);
        seen.push_back(s);
    });
    d.Sort(1, -1, true);
    EXPECT_EQ(d.LastSortColumn(), 1);
    EXPECT_EQ(d.SecondarySortColumn(), -1);
    EXPECT_EQ(d.Elem(2, 1), "a");
    EXPECT_EQ(d.Elem(2, 3), "c");
    EXPECT_FALSE(seen.empty());
    d.Sort(1, 2, false);
    EXPECT_FALSE(d.LastSortOrder());
    EXPECT_EQ(d.Elem(2, 1), "c");
    d.UnSort();
    EXPECT_EQ(d.LastSortColumn(), -1);
    EXPECT_FALSE(d.LastSortOrder());
    EXPECT_EQ(d.Elem(2, 1), "c");
    EXPECT_EQ(d.Elem(2, 2), "a");
}

TEST(RLData, SortFoldsUnicodeCaseAsTheFiltersDoAlsoAfterNewContent) {
    TRLData d(nullptr);
    MakeTable(d, {"T"}, {{"strasz"}, {"Straße"}, {"ecolf"}});
    d.Sort(1, -1, true);
    EXPECT_EQ(d.Elem(1, 1), "ecolf");
    EXPECT_EQ(d.Elem(1, 2), "Straße"); // folds to "strasse", before "strasz"
    EXPECT_EQ(d.Elem(1, 3), "strasz");
    // Content installed by Assign (and by the readers) keeps the folding.
    TRLData e(nullptr);
    e.Assign(&d);
    e.UnSort();
    e.Sort(1, -1, false);
    EXPECT_EQ(e.Elem(1, 1), "strasz");
    EXPECT_EQ(e.Elem(1, 2), "Straße");
}

TEST(RLData, InsertAndRemoveRowCommitTheSortOrder) {
    TRLData d(nullptr);
    MakeTable(d, {"N"}, {{"3"}, {"1"}, {"2"}});
    d.Sort(1, -1, true);
    d.InsertRow(1);
    EXPECT_EQ(d.NrOfRows(), 4);
    EXPECT_FALSE(d.Strings().IsSorted());
    EXPECT_EQ(d.Elem(1, 2), "1");
    EXPECT_EQ(d.LastSortColumn(), 1);
    d.UnSort();
    EXPECT_EQ(d.Elem(1, 2), "1"); // committed: the stored order is the sorted one
}

TEST(RLData, AssignFromASortedSourceKeepsOrderPermutationAndAttributes) {
    TRLData src(nullptr);
    MakeTable(src, {"N", "T"}, {{"3", "c"}, {"1", "a"}, {"2", "b"}});
    src.SetElem(0, 2, "zero");
    src.SetColCheckMode(2, cmBox);
    src.SetColumnFormat(1, "[i][20]rix3");
    src.SetComment("note");
    src.SetCommonHeader("Head");
    src.SetDataID("ID");
    src.Strings().SetRowAttrib(2, RowSelectedBit); // stored row 2 ("1", "a")
    src.Strings().SetColAttrib(2, ColSelectedBit);
    src.Sort(1, -1, true);
    src.SetSortToggle(false);
    int htmlCalls = 0;
    src.SetOnBeforeHTMLExport([&](TObject*, std::string&, int, int) { ++htmlCalls; });

    TRLData dst(nullptr);
    int changes = 0;
    dst.Strings().SetOnChange([&](TObject*) { ++changes; });
    TStringArray* arrayBefore = &dst.Strings();
    dst.Assign(&src);
    EXPECT_EQ(&dst.Strings(), arrayBefore);
    EXPECT_GT(changes, 0); // the hook stays installed
    EXPECT_EQ(dst.NrOfColumns(), 2);
    EXPECT_EQ(dst.NrOfRows(), 3);
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(dst.Strings().GetSortOrder(r), src.Strings().GetSortOrder(r)) << r;
        for (int c = 0; c <= 2; ++c)
            EXPECT_EQ(Stored(dst, c, r), Stored(src, c, r)) << c << "," << r;
        EXPECT_EQ(dst.Strings().GetRowAttrib(r), src.Strings().GetRowAttrib(r)) << r;
    }
    EXPECT_EQ(dst.Strings().GetRowAttrib(1), RowSelectedBit); // displayed first after the sort
    EXPECT_EQ(dst.Strings().GetColAttrib(2), ColSelectedBit);
    dst.UnSort();
    src.UnSort();
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(dst.Elem(1, r), src.Elem(1, r));
    EXPECT_EQ(dst.ColumnCheckMode(2), cmBox);
    EXPECT_EQ(dst.ColumnFormat(1), "[i][20]rix3");
    EXPECT_EQ(dst.Comment(), "note");
    EXPECT_EQ(dst.CommonHeader(), "Head");
    EXPECT_EQ(dst.DataID(), "ID");
    EXPECT_FALSE(dst.SortToggle());
    EXPECT_FALSE(dst.OnBeforeHTMLExport());
}

TEST(RLData, AssignToAnotherClassRaisesAndAssignToCopies) {
    TRLData a(nullptr), b(nullptr);
    MakeTable(a, {"A"}, {{"1"}});
    TStringList list;
    EXPECT_THROW(list.Assign(&a), EConvertError);
    EXPECT_THROW(a.Assign(&list), EConvertError);
    b.Assign(&a);
    EXPECT_EQ(b.Elem(1, 1), "1");
}

TEST(RLData, CopyToClipBoardWithTabsPutsHeaderThenRows) {
    Application->ResetState();
    TRLData d(nullptr);
    MakeTable(d, {"A", "B"}, {{"1", "2"}, {"3", "4"}});
    d.CopyToClipBoard(1, 1, 2, 2, true, true);
    EXPECT_EQ(Clipboard().AsText(), "A\tB\n\n1\t2\n3\t4\n");
    d.CopyToClipBoard(2, 2, 2, 2, false, std::string(";"));
    EXPECT_EQ(Clipboard().AsText(), "4\n");
    d.CopyToClipBoard(1, 1, 2, 1, false, std::string(";"));
    EXPECT_EQ(Clipboard().AsText(), "1;2\n");
}

TEST(RLData, CopyToClipBoardFixedWidthPadsToTheLongestStoredText) {
    TRLData d(nullptr);
    MakeTable(d, {"Name", "B"}, {{"x", "long"}, {"yy", ""}});
    d.SetColCheckMode(2, cmBox); // stored " long": width 5 plus one
    d.CopyToClipBoard(1, 1, 2, 2, true, false);
    EXPECT_EQ(Clipboard().AsText(), "Name B     \n\nx    long  \nyy         \n");
    // Ranges beyond the table are clamped.
    d.CopyToClipBoard(1, 1, 9, 9, false, true);
    EXPECT_EQ(Clipboard().AsText(), "x\tlong\nyy\t\n");
}

TEST(RLData, PublishedPropertiesAreRegistered) {
    const TClassInfo* info = FindClass("TRLData");
    ASSERT_NE(info, nullptr);
    EXPECT_NE(info->FindProp("NrOfColumns"), nullptr);
    EXPECT_NE(info->FindProp("NrOfRows"), nullptr);
    const TPropInfo* hd = info->FindProp("CommonHeader");
    ASSERT_NE(hd, nullptr);
    EXPECT_EQ(std::get<std::string>(hd->Default), "Kel Report Listview");
}
