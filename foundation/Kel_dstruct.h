// Data structures of the base library: the string array that holds the cells of the report
// list (TStringArray), a bit field (TBitFld), the filter-combination type TLogicOp and the
// unit's exception class.
//
// TStringArray in short:
//   - cells (column, row) for columns 0..NrOfColumns and rows 0..NrOfRows; row 0 is a header
//     row that never takes part in sorting; each cell holds at most 255 UTF-8 code points;
//   - one attribute byte per row and per column; a row's byte belongs to the row and moves with
//     it through sorting, insertion and removal;
//   - a sort permutation: display row r shows stored row GetSortOrder(r); GetString/SetString
//     and the row attributes address rows by display number; CommitSorting makes the display
//     order the stored order;
//   - three hooks: OnChange after cell contents change, OnBeforeSortExchange while the sort
//     prepares its keys, OnPercentDone for the progress of a sort; and the case folding of the
//     sort's text keys, which an owner may replace (CaseFold).
#pragma once

#include "Kel_error.h"
#include "kel_classes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

// Raised for cells that do not read as numbers and for misuse of the data structures.
class EKELDStructError : public EKELError {
  public:
    using EKELError::EKELError;
};

// How a filter's own result combines with another (for example an application's per-row
// decision with the internal search).
enum TLogicOp : std::uint8_t { loAND, loOR, loXOR, loANDNOT, loORNOT };

// A op B: loANDNOT is A and not B, loORNOT is A or not B.
bool ApplyLogicOp(TLogicOp Op, bool A, bool B);

// A field of Size bits, numbered from 0. A bit outside 0..Size-1 reads false and writing it
// does nothing. A new field has no bits.
class TBitFld : public TObject {
  public:
    TBitFld() = default;
    explicit TBitFld(int NBits) { SetSize(NBits); }
    std::string ClassName() const override { return "TBitFld"; }

    int Size() const { return FSize; }
    // Changes the number of bits (negative counts give 0); bits below the new size keep their
    // values, new bits are false.
    void SetSize(int NBits);
    // Sets every bit to false; the size stays.
    void Clear();
    void SetBit(int Ix, bool Value);
    bool GetBit(int Ix) const;
    // Index of the lowest true bit, -1 when no bit is true.
    int FirstTrueBit() const;
    int CountTrueBits() const;

  private:
    std::vector<std::uint64_t> FBits;
    int FSize = 0;
};

// Called by the sort once for every cell of a sort column before any row changes its place:
// s is the cell's text, t the text the sort will use as the cell's key (initially s). The
// handler may change t, for example to sort month names by their number.
using TBeforeSortExchgEvent =
    std::function<void(TObject* Sender, const std::string& s, std::string& t)>;

// A two-dimensional array of UTF-8 strings addressed (column, row).
//
// Sorting. Sort(Col, ColSec, Ascending) orders the display rows 1..NrOfRows by column Col and,
// among rows whose Col cells tie, by column ColSec (-1 for none). Rules, stated for ascending:
//   - a cell that reads as a number (blanks around it ignored, "," accepted as decimal point,
//     optional sign and exponent, as "-1,5e3") compares with another number by value;
//   - numbers come before text, text before empty cells; so empty cells sort after filled ones;
//   - text compares without regard to case (letters of Latin, Greek and Cyrillic scripts are
//     folded to lower case, or as the installed CaseFold folds), and text that folds alike is
//     ordered by its exact bytes;
//   - the sort is stable: rows that tie on both columns keep their current display order, so
//     sorting by B and then by A leaves rows with equal A ordered by B.
// Descending is the exact reverse of that order for every distinction above (empty cells come
// first, then text, then numbers, each from high to low), except that tied rows still keep
// their current order. Keys are prepared once per sort: numbers parsed, text folded.
// The sort changes only the permutation; the stored rows stay in place until CommitSorting.
//
// Range rules: out-of-range column or row numbers never raise; reads give empty text, 0 or -1,
// writes are ignored.
//
// Storage: a cell is one 64-bit handle. Texts of up to 7 bytes live in the handle itself; longer
// texts are appended to large blocks the array owns, so a million cells cost a few dozen heap
// blocks instead of one each. Replaced texts leave dead bytes behind, which are reclaimed by
// copying the live texts into fresh blocks once the dead outweigh the live.
class TStringArray : public TObject {
  public:
    static constexpr int MaxCellChars = 255; // code points per cell

    // An array of one column (column 0) and one row (row 0).
    TStringArray() : TStringArray(0, 0) {}
    // An array of columns 0..NrCols and rows 0..NrRows, all cells empty.
    TStringArray(int NrCols, int NrRows);
    TStringArray(const TStringArray&) = delete;
    TStringArray& operator=(const TStringArray&) = delete;
    TStringArray(TStringArray&&) = default;
    TStringArray& operator=(TStringArray&&) = default;
    std::string ClassName() const override { return "TStringArray"; }

    int NrOfColumns() const { return FNrCols; } // highest column number
    int NrOfRows() const { return FNrRows; }    // highest row number

    // Rows of storage are reserved in multiples of this step (at least 1; 10 by default),
    // growing by at least half the current capacity at a time so that appending rows one by
    // one stays cheap.
    int RowAllocStep() const { return FRowAllocStep; }
    void SetRowAllocStep(int Value);

    // New size: columns 0..NrCols and rows 0..NrRows (negative values give 0). Cells, row and
    // column attributes inside both sizes are kept, new ones are empty / 0. When rows are
    // dropped while sorted, the display order is committed first, so the rows that remain are
    // the first rows as displayed. Fires OnChange when the size changes.
    void Resize(int NrCols, int NrRows);
    // Empties every cell; size, attributes and sort order stay. Fires OnChange.
    void Clear();

    // Text of a cell of display row ARow; "" out of range.
    std::string GetString(int ACol, int ARow) const;
    // Stores the first 255 code points of s (cut only between code points). Ignored out of
    // range. Fires OnChange when the stored text changes.
    void SetString(int ACol, int ARow, std::string_view s);

    // Inserts an empty row at display position ARow (1..NrOfRows+1; NrOfRows+1 appends); rows
    // from ARow on move down by one, the new row's attribute is 0. The sort order is kept for
    // the other rows. Fires OnChange.
    void InsertRow(int ARow);
    // Removes display row ARow (1..NrOfRows) with its attribute. Fires OnChange.
    void RemoveRow(int ARow);
    // Inserts an empty column at ACol (0..NrOfColumns+1) with attribute 0. Fires OnChange.
    void InsertColumn(int ACol);
    // Removes column ACol (0..NrOfColumns) with its attribute; needs NrOfColumns >= 1, so that
    // column 0 always exists. Fires OnChange.
    void RemoveColumn(int ACol);

    // Attribute byte of display row ARow (0..NrOfRows) / of column ACol; 0 out of range.
    std::uint8_t GetRowAttrib(int ARow) const;
    void SetRowAttrib(int ARow, std::uint8_t Attrib);
    std::uint8_t GetColAttrib(int ACol) const;
    void SetColAttrib(int ACol, std::uint8_t Attrib);

    // Sorts the display order (see the class comment). Col must be in 0..NrOfColumns, else
    // nothing happens; a ColSec outside 0..NrOfColumns or equal to Col means no secondary
    // column. Calls OnBeforeSortExchange per key cell and OnPercentDone (ending with 100) when
    // assigned, then fires OnChange.
    void Sort(int Col, int ColSec, bool Ascending);
    // Back to the stored order (the identity permutation). Fires OnChange when the order was
    // not the identity.
    void UnSort();
    // Moves the stored rows (cells and row attributes) into the display order; afterwards the
    // permutation is the identity. The displayed content does not change.
    void CommitSorting();
    // True when the display order differs from the stored order.
    bool IsSorted() const;
    // Stored row shown at display row ARow: 0 for row 0, -1 outside 0..NrOfRows.
    int GetSortOrder(int ARow) const;
    // Makes display row ARow (1..NrOfRows) show stored row Value (1..NrOfRows); the display row
    // that showed Value takes ARow's former stored row, so the order stays a permutation and no
    // row is lost or shown twice. Setting the entries 1..n one by one from another array's
    // GetSortOrder reproduces that array's order exactly. Ignored out of range. Fires OnChange
    // when the order changes.
    void SetSortOrder(int ARow, int Value);

    // Hooks (an empty function is unassigned). Sender is this array.
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
    TBeforeSortExchgEvent OnBeforeSortExchange() const { return FOnBeforeSortExchange; }
    void SetOnBeforeSortExchange(TBeforeSortExchgEvent Handler) {
        FOnBeforeSortExchange = std::move(Handler);
    }
    TOnPercentDoneEvent OnPercentDone() const { return FOnPercentDone; }
    void SetOnPercentDone(TOnPercentDoneEvent Handler) { FOnPercentDone = std::move(Handler); }

    // Case folding of the sort's text keys: appends the folded form of Text to Out. Unset
    // (nullptr), the sort folds the letters of Latin, Greek and Cyrillic itself; a container
    // installs its own so that its sort and its searches fold alike.
    using TCaseFoldFunc = void (*)(std::string& Out, std::string_view Text);
    TCaseFoldFunc CaseFold() const { return FCaseFold; }
    void SetCaseFold(TCaseFoldFunc Fold) { FCaseFold = Fold; }

  private:
    struct TSortKeys;
    using TCell = std::uint64_t; // see the storage note above and CellView in the source

    void Changed();
    void ReserveRows(std::size_t Rows);
    void PrepareKeys(int Col, TSortKeys& Keys, std::size_t& Done, std::size_t Total);
    void EnsureInverse() const;
    int CountMisplaced() const;

    std::string_view CellView(const TCell& Cell) const;
    TCell StoreText(std::string_view s);
    void ReleaseText(TCell Cell);
    void ReleaseColumnTail(std::vector<TCell>& Col, std::size_t From);
    void MaybeCompact();
    void Compact();

    std::vector<std::vector<TCell>> FCells;       // [column][stored row]
    std::vector<std::unique_ptr<char[]>> FBlocks; // texts of more than 7 bytes
    std::size_t FBlockUsed = 0, FBlockCap = 0;    // of the last block
    std::size_t FLiveBytes = 0, FDeadBytes = 0;   // bytes in the blocks held by cells / not
    int FKeepBlocks = 0; // > 0 while a sort holds views into the blocks: no compaction
    std::vector<std::uint8_t> FRowAttr; // [stored row]
    std::vector<std::uint8_t> FColAttr; // [column]
    std::vector<int> FOrder;            // [display row] -> stored row; FOrder[0] == 0
    mutable std::vector<int> FInverse;  // [stored row] -> display row, when valid
    mutable bool FInverseValid = false;
    int FMisplaced = 0; // display rows r with FOrder[r] != r
    int FNrCols = 0;
    int FNrRows = 0;
    int FRowAllocStep = 10;
    TNotifyEvent FOnChange;
    TBeforeSortExchgEvent FOnBeforeSortExchange;
    TOnPercentDoneEvent FOnPercentDone;
    TCaseFoldFunc FCaseFold = nullptr;
};

} // namespace kel
