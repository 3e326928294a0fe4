// Data table, matrices and the small numeric helpers: notifications, bounds, structure changes,
// state operations and the exchange-reporting sort.

#include "Kel_datatable.h"
#include "Kel_math1.h"
#include "Kel_matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kel {
namespace {

// Records every notification of a table.
struct Recorder {
    int changes = 0, setups = 0;
    std::vector<std::vector<int>> resizes, exchanges;
    std::vector<int> percents;
    explicit Recorder(TDataTable& t) {
        t.SetOnChange([this, &t](TObject* s) {
            EXPECT_EQ(s, &t);
            ++changes;
        });
        t.SetOnChangeSetup([this, &t](TObject* s) {
            EXPECT_EQ(s, &t);
            ++setups;
        });
        t.SetOnResize([this](TObject*, int oc, int orr, int nc, int nr) {
            resizes.push_back({oc, orr, nc, nr});
        });
        t.SetOnSortExchange([this](TObject*, int kind, int a, int b) {
            exchanges.push_back({kind, a, b});
        });
        t.SetOnPercentDone([this](TObject*, int p) { percents.push_back(p); });
    }
};

// "C" + number without the string concatenation g++ 12 warns about falsely (-Wrestrict).
std::string Name(const char* prefix, int n) {
    std::string s = prefix;
    s += std::to_string(n);
    return s;
}

// A table whose cell (c, r) holds 10 * c + r, with names "Cc" and "Rr".
void Number(TDataTable& t) {
    for (int c = 1; c <= t.NrOfColumns(); ++c) {
        t.SetColName(c, Name("C", c));
        for (int r = 1; r <= t.NrOfRows(); ++r) t.SetElem(c, r, 10 * c + r);
    }
    for (int r = 1; r <= t.NrOfRows(); ++r) t.SetRowName(r, Name("R", r));
}

TEST(DataTable, ResizeFiresOnceWithOldAndNewSizeAndKeepsOverlap) {
    TDataTable t(3, 4);
    Number(t);
    Recorder rec(t);
    t.Resize(5, 2);
    ASSERT_EQ(rec.resizes.size(), 1u);
    EXPECT_EQ(rec.resizes[0], (std::vector<int>{3, 4, 5, 2}));
    EXPECT_EQ(rec.changes, 0);
    EXPECT_EQ(t.GetElem(3, 2), 32);
    EXPECT_EQ(t.GetElem(5, 2), 0);
    EXPECT_EQ(t.GetColName(2), "C2");
    EXPECT_EQ(t.GetColName(5), "");
    t.Resize(5, 2);
    EXPECT_EQ(rec.resizes.size(), 1u) << "an unchanged size is no resize";
}

TEST(DataTable, ResizeToNothingOrTooMuchRaisesAndKeepsTheTable) {
    TDataTable t(2, 2);
    t.SetElem(2, 2, 7);
    Recorder rec(t);
    EXPECT_THROW(t.Resize(0, 3), EKELDataTableError);
    EXPECT_THROW(t.Resize(3, -1), EKELDataTableError);
    EXPECT_THROW(t.Resize(100000, 100000), EKELDataTableError);
    EXPECT_EQ(t.NrOfColumns(), 2);
    EXPECT_EQ(t.NrOfRows(), 2);
    EXPECT_EQ(t.GetElem(2, 2), 7);
    EXPECT_TRUE(rec.resizes.empty());
}

TEST(DataTable, CellWritesFireOneChangeAndStateBytesAreStoredUnchanged) {
    TDataTable t(2, 3);
    Recorder rec(t);
    t.SetElem(2, 3, 1.5);
    EXPECT_EQ(rec.changes, 1);
    EXPECT_EQ(t.GetElem(2, 3), 1.5);
    t.SetCellState(1, 2, 0xD3);
    EXPECT_EQ(rec.changes, 2);
    EXPECT_EQ(t.GetCellState(1, 2), 0xD3);
    EXPECT_FALSE(t.GetIsNumber(1, 2));
    t.SetCellState(1, 2, dtsEmpty);
    EXPECT_FALSE(t.GetIsNumber(1, 2));
    t.SetCellState(1, 2, dtsLocked | dtsMarkA | dtsMarkB);
    EXPECT_TRUE(t.GetIsNumber(1, 2));
    EXPECT_EQ(rec.setups, 0);
}

TEST(DataTable, CoordinatesOutsideTheTableRaiseWithThePosition) {
    TDataTable t(2, 3);
    EXPECT_THROW(t.GetElem(0, 1), EKELDataTableError);
    EXPECT_THROW(t.SetElem(3, 1, 1), EKELDataTableError);
    EXPECT_THROW(t.GetCellState(1, 4), EKELDataTableError);
    EXPECT_THROW(t.SetColName(3, "x"), EKELDataTableError);
    EXPECT_THROW(t.GetRowAttrib(0), EKELDataTableError);
    try {
        t.SetElem(3, 1, 1);
    } catch (const EKELDataTableError& e) {
        EXPECT_NE(std::string(e.what()).find("(3, 1)"), std::string::npos) << e.what();
    }
}

TEST(DataTable, MetadataFiresSetupChangeAndNamesAreCutTo50CodePoints) {
    TDataTable t(2, 2);
    Recorder rec(t);
    std::string longName;
    for (int i = 0; i < 60; ++i) longName += "\xC3\xA4"; // ä, two bytes each
    t.SetColName(1, longName);
    EXPECT_EQ(t.GetColName(1).size(), 100u);
    t.SetRowAttrib(2, 0x81);
    t.SetComment("note");
    EXPECT_EQ(t.GetRowAttrib(2), 0x81);
    EXPECT_EQ(t.Comment(), "note");
    EXPECT_EQ(rec.setups, 3);
    EXPECT_EQ(rec.changes, 0);
}

TEST(DataTable, NominalIdentifiersAreFoundByOrdinalIgnoringCaseOnRequest) {
    TDataTable t(2, 2);
    t.SetMScaleType(1, mstNominal);
    EXPECT_EQ(MScaleTypeNames[t.GetMScaleType(1)], "nominal");
    t.SetNominalID(1, 3, "Red");
    t.SetNominalID(1, 150, "VeryLongIdentifier");
    EXPECT_EQ(t.GetNominalID(1, 150), "VeryLongId");
    EXPECT_EQ(t.GetNominalID(1, 1), "");
    EXPECT_EQ(t.OrdinalOfNominalID(1, "red", true), 3);
    EXPECT_LE(t.OrdinalOfNominalID(1, "red", false), 0);
    EXPECT_EQ(t.OrdinalOfNominalID(1, "verylongidentifier", true), 150);
    EXPECT_LE(t.OrdinalOfNominalID(1, "", true), 0);
    EXPECT_LE(t.OrdinalOfNominalID(2, "Red", true), 0);
    EXPECT_THROW(t.GetNominalID(1, 151), EKELDataTableError);
    EXPECT_THROW(t.SetMScaleType(1, NumMScaleTypes), EKELDataTableError);
}

TEST(DataTable, InsertAndRemoveMoveCellsAndHeadersAndFireOnlyResize) {
    TDataTable t(2, 3);
    Number(t);
    Recorder rec(t);
    t.InsertRow(2);
    EXPECT_EQ(rec.resizes.back(), (std::vector<int>{2, 3, 2, 4}));
    EXPECT_EQ(t.GetElem(1, 1), 11);
    EXPECT_EQ(t.GetElem(1, 2), 0);
    EXPECT_EQ(t.GetElem(1, 3), 12);
    EXPECT_EQ(t.GetRowName(3), "R2");
    EXPECT_EQ(t.GetRowName(2), "");
    t.InsertColumn(3); // append
    EXPECT_EQ(t.NrOfColumns(), 3);
    EXPECT_EQ(t.GetElem(2, 4), 23);
    t.RemoveColumn(1);
    EXPECT_EQ(t.GetColName(1), "C2");
    EXPECT_EQ(t.GetElem(1, 1), 21);
    t.RemoveRow(2);
    EXPECT_EQ(t.GetElem(1, 2), 22);
    EXPECT_EQ(rec.resizes.size(), 4u);
    EXPECT_EQ(rec.resizes.back(), (std::vector<int>{2, 4, 2, 3}));
    EXPECT_EQ(rec.changes + rec.setups, 0);
}

TEST(DataTable, InsertAndRemoveOutsideTheirBoundsRaiseAndChangeNothing) {
    TDataTable t(1, 2);
    Recorder rec(t);
    EXPECT_THROW(t.InsertRow(0), EKELDataTableError);
    EXPECT_THROW(t.InsertRow(4), EKELDataTableError);
    EXPECT_THROW(t.InsertColumn(3), EKELDataTableError);
    EXPECT_THROW(t.RemoveRow(3), EKELDataTableError);
    EXPECT_THROW(t.RemoveColumn(1), EKELDataTableError) << "the last column stays";
    t.RemoveRow(1);
    EXPECT_THROW(t.RemoveRow(1), EKELDataTableError) << "the last row stays";
    EXPECT_EQ(t.NrOfRows(), 1);
    EXPECT_EQ(rec.resizes.size(), 1u);
}

TEST(DataTable, MirrorReversesCellsWithTheirHeadersAndFiresOnce) {
    TDataTable t(3, 4);
    Number(t);
    t.SetCellState(1, 1, dtsMarkA);
    Recorder rec(t);
    t.MirrorRows();
    EXPECT_EQ(t.GetElem(2, 1), 24);
    EXPECT_EQ(t.GetElem(2, 4), 21);
    EXPECT_EQ(t.GetCellState(1, 4), dtsMarkA);
    EXPECT_EQ(t.GetRowName(1), "R4");
    t.MirrorColumns();
    EXPECT_EQ(t.GetElem(1, 1), 34);
    EXPECT_EQ(t.GetElem(2, 1), 24);
    EXPECT_EQ(t.GetColName(3), "C1");
    EXPECT_EQ(rec.changes, 2);
    EXPECT_EQ(rec.setups, 2);
}

TEST(DataTable, ClearEmptiesEverythingButKeepsTheSize) {
    TDataTable t(2, 2);
    Number(t);
    t.SetCellState(2, 2, dtsEmpty);
    t.SetNominalID(1, 1, "x");
    t.SetComment("c");
    Recorder rec(t);
    t.Clear();
    EXPECT_EQ(t.NrOfColumns(), 2);
    EXPECT_EQ(t.GetElem(2, 2), 0);
    EXPECT_EQ(t.GetCellState(2, 2), 0);
    EXPECT_EQ(t.GetColName(1), "");
    EXPECT_EQ(t.GetNominalID(1, 1), "");
    EXPECT_EQ(t.Comment(), "");
    EXPECT_EQ(rec.changes, 1);
    EXPECT_EQ(rec.setups, 1);
}

TEST(DataTable, MarkingOperationsWorkOnTheStateBitsOfEveryCell) {
    TDataTable t(2, 1);
    t.SetCellState(1, 1, dtsMarkA | dtsLocked);
    t.SetCellState(2, 1, dtsMarkB | dtsEmpty);
    Recorder rec(t);
    t.ExchangeMarkings();
    EXPECT_EQ(t.GetCellState(1, 1), dtsMarkB | dtsLocked);
    EXPECT_EQ(t.GetCellState(2, 1), dtsMarkA | dtsEmpty);
    t.InvertCellStates(dtsLocked | dtsInvalid);
    EXPECT_EQ(t.GetCellState(1, 1), dtsMarkB | dtsInvalid);
    EXPECT_EQ(t.GetCellState(2, 1), dtsMarkA | dtsEmpty | dtsLocked | dtsInvalid);
    EXPECT_EQ(t.FillMarkedCells(9.5, dtsMarkA), 1);
    EXPECT_EQ(t.GetElem(2, 1), 9.5);
    EXPECT_EQ(t.GetElem(1, 1), 0);
    EXPECT_TRUE(t.GetIsNumber(2, 1)) << "a filled cell holds a number";
    EXPECT_EQ(t.GetCellState(2, 1), dtsMarkA | dtsLocked);
    t.UnmarkAllCells();
    EXPECT_EQ(t.GetCellState(1, 1), dtsInvalid);
    EXPECT_EQ(t.GetCellState(2, 1), dtsLocked);
    EXPECT_EQ(rec.changes, 4);
}

TEST(DataTable, MatrixFillFiresOneChangeAndItsSizeIsLocked) {
    TDataTable t(3, 3);
    t.SetCellState(2, 2, dtsEmpty);
    Recorder rec(t);
    t.Matrix().Fill(4);
    EXPECT_EQ(rec.changes, 1);
    EXPECT_EQ(t.GetElem(3, 3), 4);
    EXPECT_EQ(t.GetCellState(2, 2), dtsEmpty);
    EXPECT_THROW(t.Matrix().Resize(1, 1), EKELMatrixError);
    EXPECT_EQ(t.Matrix().NrOfColumns(), 3);
}

// Replays the reported exchanges on the original keys: they must give the sorted result.
TEST(DataTable, SortRowsReportsEveryExchangeAndPutsNonNumbersLast) {
    const std::vector<double> keys{5, 1, 4, 1, 3};
    TDataTable t(2, 5);
    for (int r = 1; r <= 5; ++r) {
        t.SetElem(1, r, keys[r - 1]);
        t.SetElem(2, r, r); // remembers the original row
        t.SetRowName(r, Name("R", r));
    }
    t.SetCellState(1, 3, dtsInvalid); // the 4 is not a number
    Recorder rec(t);
    t.SortRows(1, true);
    std::vector<int> replay{1, 2, 3, 4, 5};
    for (const auto& e : rec.exchanges) {
        EXPECT_EQ(e[0], dtExchgRows);
        std::swap(replay[e[1] - 1], replay[e[2] - 1]);
    }
    EXPECT_EQ(replay, (std::vector<int>{2, 4, 5, 1, 3}));
    for (int r = 1; r <= 5; ++r) {
        EXPECT_EQ(t.GetElem(2, r), replay[r - 1]);
        EXPECT_EQ(t.GetRowName(r), Name("R", replay[r - 1]));
    }
    EXPECT_FALSE(t.GetIsNumber(1, 5));
    EXPECT_EQ(rec.changes, 1);
    EXPECT_EQ(rec.setups, 1);
    ASSERT_FALSE(rec.percents.empty());
    EXPECT_EQ(rec.percents.back(), 100);
}

TEST(DataTable, SortColsDescendingWithoutHeadersMovesOnlyTheRange) {
    TDataTable t(4, 2);
    Number(t);
    t.SetElem(2, 1, 99); // column 2 has the largest key in row 1
    Recorder rec(t);
    t.SortCols(1, false, 2, 1, 4, 1, false);
    EXPECT_EQ(t.GetElem(2, 1), 99);
    EXPECT_EQ(t.GetElem(3, 1), 41);
    EXPECT_EQ(t.GetElem(4, 1), 31);
    EXPECT_EQ(t.GetElem(3, 2), 32) << "row 2 lies outside the range";
    EXPECT_EQ(t.GetColName(3), "C3") << "headers stay";
    ASSERT_EQ(rec.exchanges.size(), 1u);
    EXPECT_EQ(rec.exchanges[0], (std::vector<int>{dtExchgColumns, 3, 4}));
    EXPECT_EQ(rec.setups, 0);
    EXPECT_THROW(t.SortCols(2, true, 1, 1, 4, 1, false), EKELDataTableError);
    EXPECT_THROW(t.SortRows(1, true, 2, 1, 4, 2, false), EKELDataTableError)
        << "the key column must move with the rows";
}

TEST(DataTable, SortingSortedDataExchangesNothing) {
    TDataTable t(1, 4);
    for (int r = 1; r <= 4; ++r) t.SetElem(1, r, r);
    Recorder rec(t);
    t.SortRows(1, true);
    EXPECT_TRUE(rec.exchanges.empty());
    EXPECT_EQ(rec.changes, 0);
}

TEST(DataTable, CopyFromCopiesEverythingAndReportsTheNewSize) {
    TDataTable a(3, 2), b(1, 1);
    Number(a);
    a.SetCellState(3, 2, dtsMarkB);
    a.SetNominalID(2, 5, "five");
    a.SetComment("src");
    Recorder rec(b);
    b.CopyFrom(a);
    EXPECT_EQ(rec.resizes.back(), (std::vector<int>{1, 1, 3, 2}));
    EXPECT_EQ(b.GetElem(3, 2), 32);
    EXPECT_EQ(b.GetCellState(3, 2), dtsMarkB);
    EXPECT_EQ(b.GetNominalID(2, 5), "five");
    EXPECT_EQ(b.GetRowName(2), "R2");
    EXPECT_EQ(b.Comment(), "src");
    b.SetElem(1, 1, -1);
    EXPECT_EQ(a.GetElem(1, 1), 11) << "the copy is independent";
}

TEST(IntMatrix, SetNRowsKeepsExistingRowsAndAllowsAnEmptyTable) {
    TIntMatrix m;
    m.Resize(3, 2);
    m.SetVal(1, 1, 7);
    m.SetVal(3, 2, -99999);
    m.SetNRows(4);
    EXPECT_EQ(m.NrOfRows(), 4);
    EXPECT_EQ(m.GetVal(1, 1), 7);
    EXPECT_EQ(m.GetVal(3, 2), -99999);
    EXPECT_EQ(m.GetVal(3, 4), 0);
    m.SetNRows(0);
    EXPECT_EQ(m.NrOfRows(), 0);
    EXPECT_EQ(m.NrOfColumns(), 3);
    m.SetNRows(1);
    EXPECT_EQ(m.GetVal(1, 1), 0) << "rows dropped earlier come back empty";
    EXPECT_THROW(m.GetVal(4, 1), EKELMatrixError);
    EXPECT_THROW(m.SetVal(1, 2, 0), EKELMatrixError);
    EXPECT_THROW(m.Resize(-1, 2), EKELMatrixError);
    EXPECT_EQ(m.NrOfColumns(), 3);
}

TEST(IntMatrix, ResizeKeepsTheOverlapInPlace) {
    TIntMatrix m(2, 2);
    m.SetVal(2, 1, 21);
    m.SetVal(1, 2, 12);
    m.Resize(3, 1);
    EXPECT_EQ(m.GetVal(2, 1), 21);
    EXPECT_EQ(m.GetVal(3, 1), 0);
    m.Resize(1, 2);
    EXPECT_EQ(m.GetVal(1, 2), 0);
}

TEST(Math1, IsValidDecIntAcceptsSignedDigitsThatFitAnInteger) {
    for (const char* ok :
         {"0", "-0", "+12", "007", "2147483647", "-2147483648", "000000000000000000000000001"})
        EXPECT_TRUE(IsValidDecInt(ok)) << ok;
    for (const char* bad : {"", "+", "-", "--1", "+-1", " 1", "1 ", "1.0", "1e3", "0x10", "12a",
                            "2147483648", "-2147483649", "99999999999999999999"})
        EXPECT_FALSE(IsValidDecInt(bad)) << bad;
}

TEST(Math1, IntNegRoundsTowardMinusInfinity) {
    EXPECT_EQ(IntNeg(2.5), 2);
    EXPECT_EQ(IntNeg(-2.5), -3);
    EXPECT_EQ(IntNeg(-3.0), -3);
    EXPECT_EQ(IntNeg(-0.0001), -1);
    EXPECT_EQ(IntNeg(-0.0), 0);
    EXPECT_EQ(IntNeg(std::log10(0.999999999 * 0.05)), -2);
    EXPECT_THROW(IntNeg(std::numeric_limits<double>::quiet_NaN()), EKELError);
    EXPECT_THROW(IntNeg(-3e9), EKELError);
}

} // namespace
} // namespace kel
