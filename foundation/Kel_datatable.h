// A numeric data table: a matrix of doubles with a state byte per cell, a name and an attribute
// byte per column and per row, a measurement scale type and category identifiers per column,
// and a comment. Coordinates are 1-based, column first. Every change is reported through
// notifications so that a view (the table editor) can follow.
//
// Notifications, each fired once per operation after the change is complete:
//   OnChange        values or cell states changed (SetElem, SetCellState, Fill, Clear, Mirror,
//                   Exchange, marking operations, sorts, CopyFrom)
//   OnChangeSetup   names, attributes, scale types, category identifiers or comment changed
//                   (also Clear, Mirror, Exchange, CopyFrom and sorts that move headers)
//   OnResize        the size changed (Resize, Insert..., Remove..., CopyFrom): old and new size
//   OnSortExchange  a sort is about to exchange two columns (kind dtExchgColumns) or two rows
//                   (dtExchgRows) with the given indexes
//   OnPercentDone   progress of a sort in percent
#pragma once

#include "Kel_error.h"
#include "Kel_kelbase.h"
#include "Kel_matrix.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kel {

class EKELDataTableError : public EKELError {
  public:
    using EKELError::EKELError;
};

// Row and column names: at most 50 characters (code points); longer text is cut.
using TDTNameStr = std::string;
constexpr int MaxDTNameLength = 50;
// Category identifiers: at most 10 characters, ordinals 1..150 per column.
constexpr int MaxNominalIDLength = 10;
constexpr int MaxNominalOrdinal = 150;

// Bits of the cell state byte (stored unchanged otherwise).
constexpr std::uint8_t dtsInvalid = 0x01; // no valid number
constexpr std::uint8_t dtsEmpty = 0x02;   // empty cell
constexpr std::uint8_t dtsLocked = 0x10;  // locked against editing
constexpr std::uint8_t dtsMarkA = 0x40;
constexpr std::uint8_t dtsMarkB = 0x80;

// Measurement scale types of a column; 1 and 2 hold category numbers.
enum TMScaleType : std::uint8_t { mstUnspecified, mstNominal, mstOrdinal, mstInterval, mstRatio };
constexpr int NumMScaleTypes = 5;
// "unspecified", "nominal", "ordinal", "interval", "ratio".
extern const std::array<std::string, NumMScaleTypes> MScaleTypeNames;

// Kinds reported by OnSortExchange.
constexpr int dtExchgColumns = 1;
constexpr int dtExchgRows = 2;

using TDTResizeEvent =
    std::function<void(TObject* Sender, int OldCols, int OldRows, int NewCols, int NewRows)>;
using TDTSortExchangeEvent =
    std::function<void(TObject* Sender, int ExchgKind, int Index1, int Index2)>;

class TDataTable : public TObject {
  public:
    // A table of 1 x 1 cells, value 0, state 0.
    TDataTable();
    TDataTable(int NrCols, int NrRows);
    TDataTable(const TDataTable&) = delete;
    TDataTable& operator=(const TDataTable&) = delete;
    std::string ClassName() const override { return "TDataTable"; }

    int NrOfColumns() const { return FNrCols; }
    int NrOfRows() const { return FNrRows; }
    // New size (at least 1 x 1); overlapping cells, names and attributes are kept, new ones
    // are 0 and empty. Fires OnResize when the size changed. Raises EKELDataTableError for
    // sizes below 1 or too large, leaving the table as it was.
    void Resize(int NrCols, int NrRows);

    // Cells. Every coordinate outside the table raises EKELDataTableError.
    double GetElem(int ACol, int ARow) const;
    void SetElem(int ACol, int ARow, double Value);
    std::uint8_t GetCellState(int ACol, int ARow) const;
    void SetCellState(int ACol, int ARow, std::uint8_t State);
    bool GetIsNumber(int ACol, int ARow) const; // bits 0 and 1 clear
    // Every value becomes Value; states unchanged.
    void Fill(double Value) { FMatrix.Fill(Value); }
    // The values. Its size is locked; write through it to fire OnChange like SetElem.
    TMatrix& Matrix() { return FMatrix; }
    const TMatrix& Matrix() const { return FMatrix; }

    // Names and attributes; indexes outside the table raise.
    TDTNameStr GetColName(int ColNr) const;
    TDTNameStr GetRowName(int RowNr) const;
    void SetColName(int ColNr, const TDTNameStr& Name);
    void SetRowName(int RowNr, const TDTNameStr& Name);
    std::uint8_t GetColAttrib(int ColNr) const;
    std::uint8_t GetRowAttrib(int RowNr) const;
    void SetColAttrib(int ColNr, std::uint8_t Attrib);
    void SetRowAttrib(int RowNr, std::uint8_t Attrib);

    // Scale type of a column (0..NumMScaleTypes-1) and its category identifiers.
    int GetMScaleType(int ColNr) const;
    void SetMScaleType(int ColNr, int ScaleType);
    // Identifier of category Ordinal (1..150) of a column; empty when none was set.
    std::string GetNominalID(int ColNr, int Ordinal) const;
    void SetNominalID(int ColNr, int Ordinal, const std::string& ID); // cut to 10 characters
    // Ordinal of the first category whose identifier equals ID (cut to 10 characters); case is
    // ignored for ASCII letters when IgnoreCase. 0 when not found or ID is empty.
    int OrdinalOfNominalID(int ColNr, const std::string& ID, bool IgnoreCase) const;

    std::string Comment() const { return FComment; }
    void SetComment(const std::string& s);
    void SetFComment(const std::string& s) { SetComment(s); }

    // Structure. Inserting at ix (1 <= ix <= count + 1) puts a new empty row or column before
    // ix; removing needs 1 <= ix <= count and count >= 2. Other indexes raise. Each fires
    // OnResize only.
    void InsertRow(int ix);
    void InsertColumn(int ix);
    void RemoveRow(int ix);
    void RemoveColumn(int ix);
    // Exchange two whole rows or columns with their names, attributes (and scale types and
    // identifiers for columns).
    void ExchangeRows(int r1, int r2);
    void ExchangeColumns(int c1, int c2);
    // Reverse the order of all rows or columns, with their names and attributes.
    void MirrorRows();
    void MirrorColumns();
    // Values and states 0; names, identifiers and comment empty; attributes and scale types 0.
    // The size stays.
    void Clear();

    // Operations on the state bytes of every cell.
    void UnmarkAllCells();                    // clears bits 6 and 7
    void ExchangeMarkings();                  // swaps bits 6 and 7
    void InvertCellStates(std::uint8_t Mask); // state xor Mask
    // Every cell whose state has a bit of Mask set gets Value and loses its invalid and empty
    // bits (it now holds a number). Returns the number of cells filled.
    int FillMarkedCells(double Value, std::uint8_t Mask);

    // Sorts. SortRows reorders rows LowRow..HighRow by the values in column SortColIx (which
    // must lie in LowCol..HighCol); only the cells of columns LowCol..HighCol move, and the row
    // names and attributes move too when IncludeHeaders. SortCols does the same for columns
    // by the values of row SortRowIx. Cells that are not numbers (or NaN) go last in both
    // directions; equal keys keep their order. Every exchange is reported through
    // OnSortExchange before it happens, progress through OnPercentDone. Ranges outside the
    // table raise.
    void SortRows(int SortColIx, bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow,
                  bool IncludeHeaders);
    void SortCols(int SortRowIx, bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow,
                  bool IncludeHeaders);
    // Whole table, headers included.
    void SortRows(int SortColIx, bool Ascending);
    void SortCols(int SortRowIx, bool Ascending);

    // Makes this table a copy of Source (size, cells, names, attributes, scale types,
    // identifiers, comment).
    void CopyFrom(const TDataTable& Source);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }
    TNotifyEvent OnChangeSetup() const { return FOnChangeSetup; }
    void SetOnChangeSetup(TNotifyEvent e) { FOnChangeSetup = std::move(e); }
    TDTResizeEvent OnResize() const { return FOnResize; }
    void SetOnResize(TDTResizeEvent e) { FOnResize = std::move(e); }
    TDTSortExchangeEvent OnSortExchange() const { return FOnSortExchange; }
    void SetOnSortExchange(TDTSortExchangeEvent e) { FOnSortExchange = std::move(e); }
    TOnPercentDoneEvent OnPercentDone() const { return FOnPercentDone; }
    void SetOnPercentDone(TOnPercentDoneEvent e) { FOnPercentDone = std::move(e); }

  private:
    struct ColumnInfo {
        TDTNameStr Name;
        std::uint8_t Attrib = 0;
        std::uint8_t ScaleType = 0;
        std::vector<std::string> NominalIDs; // empty, or MaxNominalOrdinal entries
    };
    struct RowInfo {
        TDTNameStr Name;
        std::uint8_t Attrib = 0;
    };

    std::size_t Cell(int ACol, int ARow) const; // checked storage index
    void CheckCol(int ColNr, const char* op) const;
    void CheckRow(int RowNr, const char* op) const;
    // Rebuilds the cells for a new size: new column c takes old column colSrc[c - 1] (0 = a
    // new empty one), likewise rows. Commits only after everything is allocated.
    void Remap(const std::vector<int>& colSrc, const std::vector<int>& rowSrc);
    void SwapCells(int c1, int r1, int c2, int r2);
    void SortRange(bool rows, int key, bool Ascending, int LowCol, int LowRow, int HighCol,
                   int HighRow, bool IncludeHeaders);
    void Changed();
    void ChangedSetup();
    void Resized(int oldCols, int oldRows);

    int FNrCols = 0, FNrRows = 0;
    TMatrix FMatrix;                   // values, row-major inside
    std::vector<std::uint8_t> FStates; // row-major, parallel to the values
    std::vector<ColumnInfo> FCols;
    std::vector<RowInfo> FRows;
    std::string FComment;
    TNotifyEvent FOnChange, FOnChangeSetup;
    TDTResizeEvent FOnResize;
    TDTSortExchangeEvent FOnSortExchange;
    TOnPercentDoneEvent FOnPercentDone;
};

} // namespace kel
