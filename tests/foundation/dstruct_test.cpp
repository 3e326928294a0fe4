// Tests of the base library's data structures: the string array (cells, the 255 code point
// limit, attributes, insertion and removal, the sort rule, the permutation, the hooks), the
// bit field and the logic operations.
#include "Kel_dstruct.h"
#include "Kel_kelbase.h" // both units use the progress event declared once in Kel_error.h

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace kel;

namespace {

// An array with one data column (column 1) holding Values in rows 1..n and, in column 2, the
// row's original number, so the order after a sort can be read back as a list of ids.
TStringArray MakeColumn(const std::vector<std::string>& Values) {
    TStringArray a(2, static_cast<int>(Values.size()));
    for (std::size_t i = 0; i < Values.size(); ++i) {
        a.SetString(1, static_cast<int>(i) + 1, Values[i]);
        a.SetString(2, static_cast<int>(i) + 1, std::to_string(i + 1));
    }
    return a;
}

std::vector<std::string> Column(const TStringArray& a, int Col) {
    std::vector<std::string> v;
    for (int r = 1; r <= a.NrOfRows(); ++r) v.push_back(a.GetString(Col, r));
    return v;
}

using Strs = std::vector<std::string>;

} // namespace

// --- cells, size and the code point limit ----------------------------------------------------

TEST(StringArray, NewArrayHasRequestedSizeAndEmptyCells) {
    TStringArray a(3, 5);
    EXPECT_EQ(a.NrOfColumns(), 3);
    EXPECT_EQ(a.NrOfRows(), 5);
    EXPECT_EQ(a.GetString(3, 5), "");
    EXPECT_EQ(a.RowAllocStep(), 10);
    a.SetString(0, 0, "corner");
    EXPECT_EQ(a.GetString(0, 0), "corner");
}

TEST(StringArray, OutOfRangeReadsEmptyAndWritesAreIgnored) {
    TStringArray a(2, 2);
    int changes = 0;
    a.SetOnChange([&](TObject*) { ++changes; });
    a.SetString(3, 1, "x");
    a.SetString(1, 3, "x");
    a.SetString(-1, 1, "x");
    a.SetRowAttrib(3, 7);
    a.SetColAttrib(-1, 7);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(a.GetString(3, 1), "");
    EXPECT_EQ(a.GetString(1, -1), "");
    EXPECT_EQ(a.GetRowAttrib(3), 0);
    EXPECT_EQ(a.GetColAttrib(3), 0);
    EXPECT_EQ(a.GetSortOrder(3), -1);
    EXPECT_EQ(a.GetSortOrder(0), 0);
}

TEST(StringArray, CellsHoldAtMost255CodePointsAndAreNeverCutInsideOne) {
    TStringArray a(1, 1);
    std::string e300;
    for (int i = 0; i < 300; ++i) e300 += "\xC3\xA9"; // é, two bytes
    a.SetString(1, 1, e300);
    EXPECT_EQ(a.GetString(1, 1), e300.substr(0, 510));

    // 254 ASCII characters and a three-byte euro sign make exactly 255 code points: kept whole.
    std::string s254 = std::string(254, 'a') + "\xE2\x82\xAC";
    a.SetString(1, 1, s254);
    EXPECT_EQ(a.GetString(1, 1), s254);
    // One more character in front pushes the euro sign out whole, not cut in its middle.
    a.SetString(1, 1, "b" + s254);
    EXPECT_EQ(a.GetString(1, 1), "b" + std::string(254, 'a'));

    // Four-byte characters.
    std::string emoji;
    for (int i = 0; i < 256; ++i) emoji += "\xF0\x9F\x98\x80";
    a.SetString(1, 1, emoji);
    EXPECT_EQ(a.GetString(1, 1).size(), 255u * 4);

    // Malformed bytes count one each, so the stored text stays bounded.
    a.SetString(1, 1, std::string(400, '\x80'));
    EXPECT_EQ(a.GetString(1, 1).size(), 255u);
}

TEST(StringArray, ResizeKeepsCellsAndAttributesInsideTheOverlap) {
    TStringArray a(2, 2);
    a.SetString(2, 2, "keep");
    a.SetString(1, 1, "gone after shrink");
    a.SetRowAttrib(2, 0x80);
    a.SetColAttrib(2, 0x40);
    a.Resize(4, 6);
    EXPECT_EQ(a.GetString(2, 2), "keep");
    EXPECT_EQ(a.GetRowAttrib(2), 0x80);
    EXPECT_EQ(a.GetColAttrib(2), 0x40);
    EXPECT_EQ(a.GetString(4, 6), "");
    a.Resize(2, 2);
    EXPECT_EQ(a.GetString(2, 2), "keep");
    a.Resize(0, 1);
    EXPECT_EQ(a.NrOfColumns(), 0);
    EXPECT_EQ(a.GetString(1, 1), "");
    a.Resize(-3, -3);
    EXPECT_EQ(a.NrOfColumns(), 0);
    EXPECT_EQ(a.NrOfRows(), 0);
}

TEST(StringArray, ShrinkingASortedArrayKeepsTheFirstDisplayedRows) {
    TStringArray a = MakeColumn({"c", "a", "b", "d"});
    a.Sort(1, -1, true);
    a.Resize(2, 2);
    EXPECT_EQ(Column(a, 1), (Strs{"a", "b"}));
    EXPECT_EQ(Column(a, 2), (Strs{"2", "3"}));
    EXPECT_FALSE(a.IsSorted());
}

TEST(StringArray, ClearEmptiesCellsButKeepsSizeAndAttributes) {
    TStringArray a(2, 3);
    a.SetString(1, 1, "x");
    a.SetString(0, 0, "y");
    a.SetRowAttrib(1, 0x40);
    a.Clear();
    EXPECT_EQ(a.GetString(1, 1), "");
    EXPECT_EQ(a.GetString(0, 0), "");
    EXPECT_EQ(a.NrOfRows(), 3);
    EXPECT_EQ(a.GetRowAttrib(1), 0x40);
}

TEST(StringArray, RowAllocationStepIsAtLeastOne) {
    TStringArray a;
    a.SetRowAllocStep(0);
    EXPECT_EQ(a.RowAllocStep(), 1);
    a.SetRowAllocStep(25);
    EXPECT_EQ(a.RowAllocStep(), 25);
    for (int i = 1; i <= 100; ++i) a.InsertRow(i); // appending one by one
    EXPECT_EQ(a.NrOfRows(), 100);
}

// --- inserting and removing rows and columns -------------------------------------------------

TEST(StringArray, InsertAndRemoveRowMoveCellsAndAttributesWithTheirRows) {
    TStringArray a = MakeColumn({"a", "b", "c"});
    a.SetRowAttrib(2, 0x80);
    a.InsertRow(2);
    EXPECT_EQ(Column(a, 1), (Strs{"a", "", "b", "c"}));
    EXPECT_EQ(a.GetRowAttrib(2), 0);
    EXPECT_EQ(a.GetRowAttrib(3), 0x80);
    a.InsertRow(5); // append
    EXPECT_EQ(a.NrOfRows(), 5);
    EXPECT_EQ(a.GetString(1, 5), "");
    a.InsertRow(7); // beyond the end: ignored
    a.InsertRow(0); // the header row cannot be displaced
    EXPECT_EQ(a.NrOfRows(), 5);
    a.RemoveRow(3);
    EXPECT_EQ(Column(a, 1), (Strs{"a", "", "c", ""}));
    EXPECT_EQ(a.GetRowAttrib(3), 0);
    a.RemoveRow(0);
    EXPECT_EQ(a.NrOfRows(), 4);
}

TEST(StringArray, InsertAndRemoveColumnShiftLaterColumns) {
    TStringArray a(2, 1);
    a.SetString(1, 1, "one");
    a.SetString(2, 1, "two");
    a.SetColAttrib(2, 0x80);
    a.InsertColumn(1);
    EXPECT_EQ(a.NrOfColumns(), 3);
    EXPECT_EQ(a.GetString(1, 1), "");
    EXPECT_EQ(a.GetString(2, 1), "one");
    EXPECT_EQ(a.GetString(3, 1), "two");
    EXPECT_EQ(a.GetColAttrib(3), 0x80);
    a.RemoveColumn(2);
    EXPECT_EQ(a.GetString(2, 1), "two");
    EXPECT_EQ(a.GetColAttrib(2), 0x80);
    a.RemoveColumn(0);
    a.RemoveColumn(0);
    EXPECT_EQ(a.NrOfColumns(), 0);
    a.RemoveColumn(0); // column 0 always remains
    EXPECT_EQ(a.NrOfColumns(), 0);
    EXPECT_EQ(a.GetString(0, 1), "two");
}

TEST(StringArray, RowChangesWhileSortedActOnTheDisplayedRow) {
    TStringArray a = MakeColumn({"c", "a", "b"});
    a.SetRowAttrib(1, 0x40); // the row holding "c"
    a.Sort(1, -1, true);     // a b c
    a.RemoveRow(1);          // removes "a", not the stored first row "c"
    EXPECT_EQ(Column(a, 1), (Strs{"b", "c"}));
    EXPECT_EQ(a.GetRowAttrib(2), 0x40);
    a.InsertRow(2);
    EXPECT_EQ(Column(a, 1), (Strs{"b", "", "c"}));
    EXPECT_EQ(a.GetRowAttrib(3), 0x40);
    a.CommitSorting();
    EXPECT_EQ(Column(a, 1), (Strs{"b", "", "c"}));
    EXPECT_EQ(a.GetRowAttrib(3), 0x40);
    a.UnSort();
    EXPECT_EQ(Column(a, 1), (Strs{"b", "", "c"}));
}

// --- the sort rule ---------------------------------------------------------------------------

TEST(StringArraySort, EqualKeysKeepTheirOrderInBothDirections) {
    TStringArray a = MakeColumn({"b", "a", "b", "a"});
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 2), (Strs{"2", "4", "1", "3"}));
    a.UnSort();
    a.Sort(1, -1, false);
    EXPECT_EQ(Column(a, 2), (Strs{"1", "3", "2", "4"}));
}

TEST(StringArraySort, StabilityBuildsOnTheCurrentDisplayOrder) {
    TStringArray a(2, 4);
    const char* k1[] = {"x", "y", "x", "y"};
    const char* k2[] = {"2", "1", "1", "2"};
    for (int r = 1; r <= 4; ++r) {
        a.SetString(1, r, k1[r - 1]);
        a.SetString(2, r, k2[r - 1]);
    }
    a.Sort(2, -1, true); // by the second key first
    a.Sort(1, -1, true); // then by the first: ties stay ordered by the second
    EXPECT_EQ(Column(a, 1), (Strs{"x", "x", "y", "y"}));
    EXPECT_EQ(Column(a, 2), (Strs{"1", "2", "1", "2"}));
}

TEST(StringArraySort, NumbersCompareByValue) {
    TStringArray a = MakeColumn({"10", "9", "100", "-2", "1,5", " 3 ", "2.5e1", "+0.5"});
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 1), (Strs{"-2", "+0.5", "1,5", " 3 ", "9", "10", "2.5e1", "100"}));
    a.Sort(1, -1, false);
    EXPECT_EQ(Column(a, 1), (Strs{"100", "2.5e1", "10", "9", " 3 ", "1,5", "+0.5", "-2"}));
}

TEST(StringArraySort, NumbersBeyondTheDoubleRangeSortAsInfinityOrZero) {
    // The last cell is cut to 255 digits when stored, so it reads as 1e254: large but finite.
    TStringArray a =
        MakeColumn({"1e400", "5", "-1e400", "1e-400", "0", "1" + std::string(400, '0')});
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 2), (Strs{"3", "4", "5", "2", "6", "1"}));
}

TEST(StringArraySort, AHandlerThatResizesTheArrayStopsTheSortWithAnError) {
    TStringArray a = MakeColumn({"b", "a", "c"});
    a.SetOnBeforeSortExchange([&](TObject*, const std::string&, std::string&) { a.Resize(2, 1); });
    EXPECT_THROW(a.Sort(1, -1, true), EKELDStructError);
    EXPECT_EQ(a.NrOfRows(), 1);
    EXPECT_EQ(a.GetString(1, 1), "b");
}

TEST(StringArraySort, NumbersEqualInValueAreTiesAndKeepTheirOrder) {
    TStringArray a = MakeColumn({"1.0", "0", "1", "-0", "01"});
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 1), (Strs{"0", "-0", "1.0", "1", "01"}));
}

TEST(StringArraySort, NumbersComeBeforeTextSoTheOrderIsConsistent) {
    // Compared pairwise as "numbers by value, everything else as text" these three would form
    // a cycle (2 < 10, "10" < "1a", "1a" < "2"); numbers ahead of text gives one order.
    TStringArray a = MakeColumn({"1a", "10", "2", "b", "A", "a", "inf", "1e", "-"});
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 1), (Strs{"2", "10", "-", "1a", "1e", "A", "a", "b", "inf"}));
}

TEST(StringArraySort, TextIgnoresCaseAndBreaksTiesByExactText) {
    TStringArray a = MakeColumn({"beta", "alpha", "Beta", "ALPHA", "Alpha", "alpha"});
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 1), (Strs{"ALPHA", "Alpha", "alpha", "alpha", "Beta", "beta"}));
    EXPECT_EQ(Column(a, 2), (Strs{"4", "5", "2", "6", "3", "1"}));
}

TEST(StringArraySort, TextFoldsCaseBeyondAscii) {
    // Byte order would put "\xC3\x84" (Ä) before "\xC3\xA4" (ä) whatever follows.
    TStringArray a = MakeColumn({"\xC3\x84"
                                 "b",
                                 "\xC3\xA4"
                                 "a",
                                 "\xD0\x91", "\xD0\xB0"}); // Äb äa Б а
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 1), (Strs{"\xC3\xA4"
                                  "a",
                                  "\xC3\x84"
                                  "b",
                                  "\xD0\xB0", "\xD0\x91"}));
}

TEST(StringArraySort, EmptyCellsComeLastAscendingAndFirstDescending) {
    TStringArray a = MakeColumn({"", "b", "", "5", "a"});
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 2), (Strs{"4", "5", "2", "1", "3"}));
    a.Sort(1, -1, false);
    EXPECT_EQ(Column(a, 2), (Strs{"1", "3", "2", "5", "4"}));
}

TEST(StringArraySort, SecondaryColumnBreaksTiesOfThePrimary) {
    TStringArray a(3, 5);
    const char* k1[] = {"x", "x", "y", "x", ""};
    const char* k2[] = {"3", "1", "0", "", "9"};
    for (int r = 1; r <= 5; ++r) {
        a.SetString(1, r, k1[r - 1]);
        a.SetString(2, r, k2[r - 1]);
        a.SetString(3, r, std::to_string(r));
    }
    a.Sort(1, 2, true);
    EXPECT_EQ(Column(a, 3), (Strs{"2", "1", "4", "3", "5"}));
    a.Sort(1, 2, false);
    EXPECT_EQ(Column(a, 3), (Strs{"5", "3", "4", "1", "2"}));
    // A secondary column equal to the primary, or out of range, is no secondary column.
    a.UnSort();
    a.Sort(1, 7, true);
    EXPECT_EQ(Column(a, 3), (Strs{"1", "2", "4", "3", "5"}));
}

TEST(StringArraySort, InvalidColumnLeavesTheOrderAlone) {
    TStringArray a = MakeColumn({"b", "a"});
    int changes = 0;
    a.SetOnChange([&](TObject*) { ++changes; });
    a.Sort(3, -1, true);
    a.Sort(-1, -1, true);
    EXPECT_FALSE(a.IsSorted());
    EXPECT_EQ(changes, 0);
}

namespace {

// Independent statement of the sort rule for the randomized comparison below.
struct RefKey {
    int Cls; // 0 number, 1 text, 2 empty
    double Num = 0;
    std::string Folded, Exact;
};

RefKey MakeRefKey(const std::string& s) {
    RefKey k;
    k.Cls = 2;
    k.Exact = s;
    if (s.empty()) return k;
    std::string t = s;
    std::replace(t.begin(), t.end(), ',', '.');
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    bool digitFirst = std::isdigit(static_cast<unsigned char>(t[0])) || t[0] == '-' || t[0] == '.';
    if (digitFirst && end == t.c_str() + t.size()) {
        k.Cls = 0;
        k.Num = v;
        return k;
    }
    k.Cls = 1;
    for (char c : s)
        k.Folded.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return k;
}

int RefCompare(const RefKey& a, const RefKey& b) {
    if (a.Cls != b.Cls) return a.Cls < b.Cls ? -1 : 1;
    if (a.Cls == 0) return a.Num < b.Num ? -1 : a.Num > b.Num;
    if (a.Cls == 2) return 0;
    if (a.Folded != b.Folded) return a.Folded < b.Folded ? -1 : 1;
    return a.Exact < b.Exact ? -1 : a.Exact > b.Exact;
}

} // namespace

TEST(StringArraySort, LargeRandomTablesMatchAStraightforwardStableSort) {
    std::mt19937 rng(12345);
    // Long shared prefixes make the text sort look past its first sixteen bytes; the small
    // alphabets make many ties for the secondary column and the stability to settle.
    const std::vector<std::string> stems = {
        "", "Sample-Prefix-Long-", "sample-prefix-long-", "Zz", "Prefix-A", "PREFIX-a"};
    auto randomCell = [&]() -> std::string {
        switch (rng() % 6) {
        case 0:
            return "";
        case 1:
            return std::to_string(static_cast<int>(rng() % 200) - 100);
        case 2:
            return std::to_string(static_cast<int>(rng() % 50)) + "," + std::to_string(rng() % 10);
        default: {
            std::string s = stems[rng() % stems.size()];
            int len = 1 + rng() % 4;
            for (int i = 0; i < len; ++i) s.push_back("aAbB1"[rng() % 5]);
            if (s.size() > 8 && s.size() < 12) s += "-end"; // differences in mid-text
            return s;
        }
        }
    };
    for (bool ascending : {true, false}) {
        const int n = 3000;
        TStringArray a(3, n);
        std::vector<std::vector<std::string>> rows(n);
        for (int r = 1; r <= n; ++r) {
            std::string c1 = randomCell(), c2 = randomCell();
            a.SetString(1, r, c1);
            a.SetString(2, r, c2);
            a.SetString(3, r, std::to_string(r));
            rows[r - 1] = {c1, c2};
        }
        a.Sort(1, 2, ascending);

        std::vector<int> ids(n);
        for (int i = 0; i < n; ++i) ids[i] = i;
        std::vector<RefKey> k1, k2;
        for (auto& row : rows) {
            k1.push_back(MakeRefKey(row[0]));
            k2.push_back(MakeRefKey(row[1]));
        }
        std::stable_sort(ids.begin(), ids.end(), [&](int x, int y) {
            int c = RefCompare(k1[x], k1[y]);
            if (c == 0) c = RefCompare(k2[x], k2[y]);
            return ascending ? c < 0 : c > 0;
        });
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(a.GetString(3, i + 1), std::to_string(ids[i] + 1)) << "display row " << i + 1;
    }
}

// --- the permutation -------------------------------------------------------------------------

TEST(StringArraySort, SortChangesOnlyThePermutationUntilCommitted) {
    TStringArray a = MakeColumn({"c", "a", "b"});
    a.Sort(1, -1, true);
    EXPECT_TRUE(a.IsSorted());
    EXPECT_EQ(a.GetSortOrder(1), 2);
    EXPECT_EQ(a.GetSortOrder(2), 3);
    EXPECT_EQ(a.GetSortOrder(3), 1);
    a.UnSort();
    EXPECT_EQ(Column(a, 1), (Strs{"c", "a", "b"}));

    a.Sort(1, -1, true);
    a.CommitSorting();
    EXPECT_FALSE(a.IsSorted());
    EXPECT_EQ(Column(a, 1), (Strs{"a", "b", "c"}));
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(a.GetSortOrder(r), r);
    a.UnSort();
    EXPECT_EQ(Column(a, 1), (Strs{"a", "b", "c"}));
}

TEST(StringArraySort, SetSortOrderSwapsSoRowsAreNeverLostOrDoubled) {
    TStringArray a = MakeColumn({"a", "b", "c"});
    a.SetSortOrder(1, 3); // display row 1 shows stored row 3; row 3 takes stored row 1
    EXPECT_EQ(Column(a, 1), (Strs{"c", "b", "a"}));
    a.SetSortOrder(1, 9); // out of range: ignored
    a.SetSortOrder(0, 2);
    EXPECT_EQ(Column(a, 1), (Strs{"c", "b", "a"}));
    a.CommitSorting();
    EXPECT_EQ(Column(a, 1), (Strs{"c", "b", "a"}));
}

TEST(StringArraySort, CopyingTheSortOrderEntryByEntryReproducesIt) {
    TStringArray src = MakeColumn({"d", "b", "e", "a", "c"});
    src.SetRowAttrib(3, 0x80); // row "e"
    src.Sort(1, -1, false);
    TStringArray dst(2, 5);
    // Cells go to the stored rows of the source, then the order is copied.
    for (int r = 1; r <= 5; ++r) {
        dst.SetString(1, src.GetSortOrder(r), src.GetString(1, r));
        dst.SetRowAttrib(src.GetSortOrder(r), src.GetRowAttrib(r));
    }
    for (int r = 1; r <= 5; ++r) dst.SetSortOrder(r, src.GetSortOrder(r));
    for (int r = 1; r <= 5; ++r) {
        EXPECT_EQ(dst.GetSortOrder(r), src.GetSortOrder(r));
        EXPECT_EQ(dst.GetString(1, r), src.GetString(1, r));
        EXPECT_EQ(dst.GetRowAttrib(r), src.GetRowAttrib(r));
    }
}

TEST(StringArraySort, RowAttributesTravelWithTheirRows) {
    TStringArray a = MakeColumn({"c", "a", "b"});
    a.SetRowAttrib(1, 0x40); // "c"
    a.SetRowAttrib(2, 0x80); // "a"
    a.Sort(1, -1, false);    // c b a
    EXPECT_EQ(a.GetRowAttrib(1), 0x40);
    EXPECT_EQ(a.GetRowAttrib(2), 0);
    EXPECT_EQ(a.GetRowAttrib(3), 0x80);
    a.SetRowAttrib(2, 0x01); // "b", written through the permutation
    a.UnSort();
    EXPECT_EQ(a.GetRowAttrib(1), 0x40);
    EXPECT_EQ(a.GetRowAttrib(2), 0x80);
    EXPECT_EQ(a.GetRowAttrib(3), 0x01);
}

// --- hooks -----------------------------------------------------------------------------------

TEST(StringArrayHooks, ChangeNotificationFiresAfterACellChanges) {
    TStringArray a(1, 2);
    std::vector<std::string> seen;
    TObject* sender = nullptr;
    a.SetOnChange([&](TObject* s) {
        sender = s;
        seen.push_back(a.GetString(1, 1)); // the new text is already stored
    });
    a.SetString(1, 1, "x");
    a.SetString(1, 1, "x"); // same text: no change
    EXPECT_EQ(seen, (Strs{"x"}));
    EXPECT_EQ(sender, &a);
    a.SetString(1, 2, "a");
    a.Sort(1, -1, true);
    a.UnSort();
    a.UnSort(); // already unsorted
    EXPECT_EQ(seen.size(), 4u);
    a.SetOnChange(nullptr); // switched off, as bulk operations do
    a.SetString(1, 1, "y");
    EXPECT_EQ(seen.size(), 4u);
}

TEST(StringArrayHooks, BeforeSortExchangeSeesEveryKeyCellAndMaySubstituteTheKey) {
    TStringArray a = MakeColumn({"Mar", "Jan", "Feb"});
    std::vector<std::string> seen;
    a.SetOnBeforeSortExchange([&](TObject* s, const std::string& text, std::string& key) {
        EXPECT_EQ(s, &a);
        EXPECT_EQ(key, text);
        seen.push_back(text);
        key = text == "Jan" ? "1" : text == "Feb" ? "2" : "3";
    });
    a.Sort(1, -1, true);
    EXPECT_EQ(seen, (Strs{"Mar", "Jan", "Feb"}));
    EXPECT_EQ(Column(a, 1), (Strs{"Jan", "Feb", "Mar"}));
    // The stored cells are unchanged by the substitution.
    a.UnSort();
    EXPECT_EQ(Column(a, 1), (Strs{"Mar", "Jan", "Feb"}));
}

// Keys handed back by the hook also break ties by their own exact text, not the cell's.
TEST(StringArrayHooks, SubstitutedKeysBreakTiesByTheirExactText) {
    TStringArray a = MakeColumn({"1", "2", "3", "4"});
    a.SetOnBeforeSortExchange([](TObject*, const std::string& text, std::string& key) {
        if (text != "4") key = text == "1" ? "b" : text == "2" ? "B" : "a";
    });
    a.Sort(1, -1, true);
    EXPECT_EQ(Column(a, 2), (Strs{"4", "3", "2", "1"})); // 4 stays a number, then a, B, b
    a.Sort(1, -1, false);
    EXPECT_EQ(Column(a, 2), (Strs{"1", "2", "3", "4"}));
}

TEST(StringArrayHooks, PercentDoneRisesToOneHundredDuringASort) {
    std::vector<std::string> v(1000);
    for (int i = 0; i < 1000; ++i) v[i] = std::to_string((i * 7919) % 1000);
    TStringArray a = MakeColumn(v);
    std::vector<int> seen;
    a.SetOnPercentDone([&](TObject* s, int p) {
        EXPECT_EQ(s, &a);
        seen.push_back(p);
    });
    a.Sort(1, 2, true);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GE(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_GT(seen.size(), 10u); // progress is reported on the way, not only at the end
}

// --- cell storage ---------------------------------------------------------------------------

// Texts around the length where a cell's text moves from the handle into the blocks, with NUL
// bytes and bytes above 0x7F, read back exactly.
TEST(StringArrayStorage, TextsOfEveryShortLengthReadBackExactly) {
    TStringArray a(1, 40);
    std::vector<std::string> want;
    for (int len = 0; len < 20; ++len) {
        std::string t;
        for (int i = 0; i < len; ++i) t += static_cast<char>(i % 3 == 0 ? 0xC3 + i : 'a' + i);
        if (len == 5) t[2] = '\0';
        want.push_back(t);
        a.SetString(1, len + 1, t);
        a.SetString(0, len + 1, std::string(static_cast<std::size_t>(len), '\xFF'));
    }
    for (int len = 0; len < 20; ++len) {
        EXPECT_EQ(a.GetString(1, len + 1), want[static_cast<std::size_t>(len)]) << len;
        EXPECT_EQ(a.GetString(0, len + 1), std::string(static_cast<std::size_t>(len), '\xFF'));
    }
    // Equal text is no change, also for texts in the blocks.
    int changes = 0;
    a.SetOnChange([&](TObject*) { ++changes; });
    a.SetString(1, 15, want[14]);
    a.SetString(1, 3, want[2]);
    EXPECT_EQ(changes, 0);
    a.SetString(1, 15, want[13]);
    EXPECT_EQ(changes, 1);
}

// Random edits, insertions, removals, resizes and sorts against a plain model, with texts long
// enough to live in the blocks and enough rewrites that dead text is reclaimed many times.
TEST(StringArrayStorage, LongEditingSessionsKeepEveryCellRight) {
    std::mt19937 rng(7);
    auto rnd = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto text = [&] {
        std::string t(static_cast<std::size_t>(rnd(40)), ' ');
        for (char& c : t) c = static_cast<char>('a' + rnd(26));
        return t;
    };
    int cols = 3, rows = 200;
    TStringArray a(cols, rows);
    std::vector<std::vector<std::string>> m(4, std::vector<std::string>(201)); // [col][row]
    auto check = [&](int step) {
        ASSERT_EQ(a.NrOfColumns(), cols);
        ASSERT_EQ(a.NrOfRows(), rows);
        for (int c = 0; c <= cols; ++c)
            for (int r = 0; r <= rows; ++r)
                ASSERT_EQ(a.GetString(c, r), m[c][r])
                    << "step " << step << " cell " << c << "," << r;
    };
    for (int step = 0; step < 20000; ++step) {
        const int op = rnd(100);
        if (op < 85) {
            const int c = rnd(cols + 1), r = rnd(rows + 1);
            m[c][r] = text();
            a.SetString(c, r, m[c][r]);
        } else if (op < 89 && rows > 1) {
            const int r = 1 + rnd(rows);
            a.RemoveRow(r);
            for (auto& col : m) col.erase(col.begin() + r);
            --rows;
        } else if (op < 93) {
            const int r = 1 + rnd(rows + 1);
            a.InsertRow(r);
            for (auto& col : m) col.insert(col.begin() + r, std::string());
            ++rows;
        } else if (op < 95) {
            // Sort by unique numbers written into column 1, so the new order is known.
            std::vector<int> key(static_cast<std::size_t>(rows));
            for (int r = 0; r < rows; ++r) key[r] = r;
            std::shuffle(key.begin(), key.end(), rng);
            std::vector<std::vector<std::string>> sorted = m;
            for (int r = 1; r <= rows; ++r) {
                m[1][r] = std::to_string(key[r - 1]);
                a.SetString(1, r, m[1][r]);
                for (int c = 0; c <= cols; ++c) sorted[c][key[r - 1] + 1] = m[c][r];
            }
            a.Sort(1, -1, true);
            m = sorted;
            if (rnd(2)) a.CommitSorting();
        } else if (op < 97) {
            const int nc = 1 + rnd(4), nr = 1 + rnd(300);
            if (nr < rows) a.CommitSorting(); // as Resize does
            a.Resize(nc, nr);
            m.resize(static_cast<std::size_t>(nc) + 1);
            for (auto& col : m) col.resize(static_cast<std::size_t>(nr) + 1);
            cols = nc;
            rows = nr;
        } else if (op < 98) {
            a.Clear();
            for (auto& col : m) std::fill(col.begin(), col.end(), std::string());
        } else {
            check(step);
        }
    }
    check(-1);
    TStringArray moved = std::move(a);
    for (int r = 0; r <= rows; ++r) ASSERT_EQ(moved.GetString(1, r), m[1][r]);
}

// Handlers may rewrite and clear cells while the sort prepares its keys: the rows read before
// keep the keys they had (texts held by the sort are not freed or moved under it), the rows
// read after are empty and come last in their display order.
TEST(StringArrayStorage, CellsRewrittenDuringASortDoNotDisturbIt) {
    std::vector<std::string> v;
    for (int i = 0; i < 3000; ++i) v.push_back("text number " + std::to_string((i * 7919) % 3000));
    TStringArray a = MakeColumn(v);
    bool done = false;
    a.SetOnPercentDone([&](TObject*, int p) {
        if (p < 40 || done) return;
        done = true;
        for (int k = 0; k < 20; ++k)
            for (int r = 1; r <= a.NrOfRows(); ++r)
                a.SetString(1, r, "replacement text " + std::to_string(k * r));
        a.Clear();
    });
    a.Sort(1, -1, true);
    ASSERT_TRUE(done);
    std::vector<int> order;
    for (int r = 1; r <= a.NrOfRows(); ++r) order.push_back(a.GetSortOrder(r));
    // The rows keyed before the handler ran (about 40 percent) form a head in ascending order.
    std::size_t m = 0;
    while (m + 1 < order.size() && v[order[m] - 1u] < v[order[m + 1] - 1u]) ++m;
    ++m;
    EXPECT_GE(m, 1200u);
    EXPECT_LT(m, 3000u);
    // The head is exactly the first m stored rows, the tail the others in their old order.
    std::vector<int> head(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(m));
    std::sort(head.begin(), head.end());
    for (std::size_t i = 0; i < m; ++i) ASSERT_EQ(head[i], static_cast<int>(i) + 1);
    for (std::size_t i = m; i < order.size(); ++i) ASSERT_EQ(order[i], static_cast<int>(i) + 1);
}

// --- bit field and logic operations ----------------------------------------------------------

TEST(BitFld, BitsOutsideTheSizeReadFalseAndIgnoreWrites) {
    TBitFld b;
    EXPECT_EQ(b.Size(), 0);
    b.SetBit(0, true);
    EXPECT_FALSE(b.GetBit(0));
    b.SetSize(70);
    b.SetBit(70, true);
    b.SetBit(-1, true);
    EXPECT_FALSE(b.GetBit(70));
    EXPECT_FALSE(b.GetBit(-1));
    EXPECT_EQ(b.CountTrueBits(), 0);
    EXPECT_EQ(b.FirstTrueBit(), -1);
    b.SetBit(69, true);
    b.SetBit(64, true);
    b.SetBit(3, true);
    EXPECT_TRUE(b.GetBit(69));
    EXPECT_EQ(b.FirstTrueBit(), 3);
    EXPECT_EQ(b.CountTrueBits(), 3);
    b.SetBit(3, false);
    EXPECT_EQ(b.FirstTrueBit(), 64);
}

TEST(BitFld, ShrinkingDropsBitsSoGrowingAgainReadsFalse) {
    TBitFld b(130);
    b.SetBit(129, true);
    b.SetBit(65, true);
    b.SetBit(66, true);
    b.SetSize(66);
    EXPECT_EQ(b.CountTrueBits(), 1);
    b.SetSize(130);
    EXPECT_TRUE(b.GetBit(65));
    EXPECT_FALSE(b.GetBit(66));
    EXPECT_FALSE(b.GetBit(129));
    b.Clear();
    EXPECT_EQ(b.Size(), 130);
    EXPECT_EQ(b.CountTrueBits(), 0);
    b.SetSize(-5);
    EXPECT_EQ(b.Size(), 0);
}

TEST(LogicOp, CombinesTwoResults) {
    const bool t = true, f = false;
    EXPECT_TRUE(ApplyLogicOp(loAND, t, t));
    EXPECT_FALSE(ApplyLogicOp(loAND, t, f));
    EXPECT_TRUE(ApplyLogicOp(loOR, f, t));
    EXPECT_FALSE(ApplyLogicOp(loOR, f, f));
    EXPECT_FALSE(ApplyLogicOp(loXOR, t, t));
    EXPECT_TRUE(ApplyLogicOp(loXOR, t, f));
    EXPECT_TRUE(ApplyLogicOp(loANDNOT, t, f));
    EXPECT_FALSE(ApplyLogicOp(loANDNOT, t, t));
    EXPECT_TRUE(ApplyLogicOp(loORNOT, f, f));
    EXPECT_FALSE(ApplyLogicOp(loORNOT, f, t));
}

TEST(DStructError, IsAKelError) {
    try {
        throw EKELDStructError("bad number");
    } catch (const EKELError& e) {
        EXPECT_STREQ(e.what(), "bad number");
    }
}
