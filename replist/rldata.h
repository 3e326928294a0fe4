// TRLData, the data container of the report list: a table of UTF-8 text cells with named
// columns, a format string and a check mode per column (none, check box, radio button), row and
// column attribute bits, a common header, a comment and a data identifier. It has no display of
// its own; the report list view owns one and draws it, and an application may use one alone.
// Include KEL_replist.h, the unit header, rather than this file.
//
// Index: column types and events; CheckIfValidReplist; TRLData (size and metadata, cells, check
// marks, whole-table operations, sorting, clipboard, exchange formats, hooks).
//
// Cells live in a TStringArray addressed (column, row). Data columns are 1..NrOfColumns, rows
// 1..NrOfRows; column 0 is a hidden plain column that Elem reads and writes and that CopyRow,
// Assign, RemoveEmptyRows and the XML format carry along. A cell holds at most 255 code points,
// a column name 50 and a column format 80 (longer text is cut between code points).
//
// Check columns (cmBox, cmRadio) store a check character before the visible text: "X" when
// checked, a blank when not. A stored cell is checked when it is non-empty and does not start
// with a blank. Elem reads and writes the visible text; ElemChecked the state.
//
// Exchange formats (docs/replist-formats.md has the details):
//   - XML: a UTF-8 XML 1.0 document whose root line holds "<replist", the marker "kelmosaic" and
//     id="DataID"; it carries the complete content. Readers parse into a new table and install
//     it only when the whole document is sound, so a failed read leaves the container as it was.
//   - CSV: RFC 4180 quoting with the delimiter of TCSVDelimiters, UTF-8, optional header row.
//   - Text lines into one column; HTML5 table.
// Writers of files write a temporary file beside the target and rename it over the target when
// complete, so a failed write never damages an existing file.
#pragma once

#include "Kel_error.h"
#include "Kel_dstruct.h"
#include "Kel_kelbase.h"
#include "kel_classes.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

// Raised by the data container TRLData: out of memory, and unreadable or inconsistent
// exchange documents (the message names the problem and, for files, the line).
class EKELRLDataError : public EKELError {
  public:
    using EKELError::EKELError;
};

// Raised by the report list view.
class EKELRepListError : public EKELError {
  public:
    using EKELError::EKELError;
};

// Appends the case-folded form of In to Out: canonical composition (NFC) and Unicode full case
// folding ("ÉTÉ" and "été" fold alike, "Straße" folds to "strasse"); malformed bytes are copied
// unchanged. The one folding of the report list: the container's sort keys and the view's
// case-blind filters both use it.
void RLCaseFold(std::string& Out, std::string_view In);
inline std::string RLCaseFolded(std::string_view In) {
    std::string out;
    RLCaseFold(out, In);
    return out;
}

// A column name: at most 50 code points.
using TNameStrType = std::string;
// A column format: at most 80 code points. Form "[type][width]default", see ColumnFormat.
using TColFmtString = std::string;

inline constexpr int MaxColNameChars = 50;
inline constexpr int MaxColFormatChars = 80;

// Check mode of a column (ordinals are stored: never reorder).
enum TCheckMode : std::uint8_t {
    cmNone, // plain column
    cmBox,  // independent check boxes
    cmRadio // at most one checked cell per column
};

// Elements of the XML report list, in this order of ordinals; xmlInvalid stands for any other.
enum TRepListXmlTag : std::uint8_t {
    xmlNumCols,
    xmlNumRows,
    xmlColName,
    xmlCheckedColumn,
    xmlCommonHd,
    xmlColumnFormat,
    xmlCell,
    xmlComment,
    xmlEndReplist,
    xmlInvalid
};
// Tag name of a value: "numcols", "numrows", "colname", "checkedcolumn", "commonheader",
// "columnformat", "cell", "comment", "/replist", "invalidtag".
const char* RepListXmlTagName(TRepListXmlTag Tag);
// The value whose tag name is Name (exact, lower case), xmlInvalid for any other name.
TRepListXmlTag RepListXmlTagOf(const char* Name);

// Bits of the row and column attribute bytes used by the report list; other bits are kept.
inline constexpr std::uint8_t RowSelectedBit = 0x80;
inline constexpr std::uint8_t RowDisabledBit = 0x40;
inline constexpr std::uint8_t ColSelectedBit = 0x80;

// Called for every cell (and, with Row 0, every header cell) the HTML export writes; the
// handler may change Text, which is then escaped and written.
using TBeforeHTMLExportEvent =
    std::function<void(TObject* Sender, std::string& Text, int Col, int Row)>;

// True when the text file FName holds a report list header line: a line containing "<replist"
// and "kelmosaic" (compared without case) whose identifier (the text of id="...", blanks
// trimmed, XML character references decoded) equals DataID without regard to case. An empty
// DataID accepts any identifier, including none. Reads lines until the first such header or
// the end. A missing or unreadable file raises EFOpenError / EReadError; an empty file gives
// false.
bool CheckIfValidReplist(const std::string& FName, const std::string& DataID);
// The same test on lines read from the stream's current position (line ends LF, CR LF or CR);
// the stream is left after the last line read.
bool CheckIfValidReplist(std::istream& InStream, const std::string& DataID);

class TRLData : public TComponent {
  public:
    // One column named "C-1", no rows, common header "Kel Report Listview", unsorted.
    explicit TRLData(TComponent* AOwner);
    ~TRLData() override;
    std::string ClassName() const override { return "TRLData"; }

    // ---- Size and table metadata (published: NrOfColumns, NrOfRows, CommonHeader) ----------

    int NrOfColumns() const { return FNrOfCols; }
    // Below 1 gives 1. Existing columns keep their metadata; new ones are named "C-" + number,
    // with an empty format and cmNone.
    void SetNrCols(int Value);
    void SetNrOfColumns(int Value) { SetNrCols(Value); }
    int NrOfRows() const { return FNrOfRows; }
    // Below 0 gives 0. Rows beyond the new count are dropped; new rows are empty.
    void SetNrRows(int Value);
    void SetNrOfRows(int Value) { SetNrRows(Value); }
    const std::string& CommonHeader() const { return FCommonHeader; }
    void SetCommonHeader(const std::string& Value) { FCommonHeader = Value; }
    const std::string& Comment() const { return FComment; }
    void SetComment(const std::string& Value) { FComment = Value; }
    const std::string& DataID() const { return FDataID; }
    void SetDataID(const std::string& Value) { FDataID = Value; }

    // Column name, 1..NrOfColumns; out of range reads "" and writes are ignored.
    TNameStrType GetColName(int ColNr) const;
    void SetColName(int ColNr, const TNameStrType& HLine);
    TNameStrType Header(int ColNr) const { return GetColName(ColNr); }
    void SetHeader(int ColNr, const TNameStrType& HLine) { SetColName(ColNr, HLine); }

    // Column format "[type][width]default": type is an optional "#" (read-only in the row
    // editor) and a letter: s text, c choice with free text, l fixed choice (both optionally
    // ":" lines), d date with its pattern, e/f/h/i numbers. Same range rule as the name.
    TColFmtString GetColumnFormat(int ColNr) const;
    void SetColumnFormat(int ColNr, const TColFmtString& DefValue);
    TColFmtString ColumnFormat(int ColNr) const { return GetColumnFormat(ColNr); }

    // Check mode; out of range reads cmNone and writes are ignored. Changing the mode converts
    // the stored cells (adds or drops the check character, clears marks for cmRadio) with the
    // array's change notification off, so an attached view repaints once.
    TCheckMode GetColCheckMode(int ColNr) const;
    void SetColCheckMode(int ColNr, TCheckMode Value);
    TCheckMode ColumnCheckMode(int ColNr) const { return GetColCheckMode(ColNr); }
    void SetColumnCheckMode(int ColNr, TCheckMode Value) { SetColCheckMode(ColNr, Value); }
    // True only for cmBox; writing true sets cmBox, false sets cmNone.
    bool GetCheckedCol(int ColNr) const { return GetColCheckMode(ColNr) == cmBox; }
    void SetCheckedCol(int ColNr, bool Value) { SetColCheckMode(ColNr, Value ? cmBox : cmNone); }
    bool IsCheckedColumn(int ColNr) const { return GetCheckedCol(ColNr); }
    void SetIsCheckedColumn(int ColNr, bool Value) { SetCheckedCol(ColNr, Value); }

    // Number of the column whose name matches Head without regard to case: equal names, or
    // with PartialMatch Head anywhere in the name (an empty Head never matches partially). The
    // highest-numbered matching column wins; -1 when none matches.
    int ColumnIndex(const std::string& Head, bool PartialMatch) const;

    // ---- Cells --------------------------------------------------------------------------------

    // Visible text of a cell (0 <= ACol <= NrOfColumns, 1 <= ARow <= NrOfRows, else "" and
    // writes ignored). In a check column the check character is kept when writing.
    std::string GetElem(int ACol, int ARow) const;
    void SetElem(int ACol, int ARow, const std::string& Value);
    std::string Elem(int ACol, int ARow) const { return GetElem(ACol, ARow); }
    // Check state (false in plain columns and out of range). Checking a radio cell clears the
    // other marks of its column.
    bool GetElemChecked(int ACol, int ARow) const;
    void SetElemChecked(int ACol, int ARow, bool Value);
    bool ElemChecked(int ACol, int ARow) const { return GetElemChecked(ACol, ARow); }
    // The cell as a number: blanks around it ignored, "," read as ".", optional exponent, an
    // empty cell gives 0. Anything else raises EKELDStructError "Class TRLData: invalid numeric
    // string: [col,row]: " + the stored string.
    double GetAsNumber(int ACol, int ARow) const;
    double AsNumber(int ACol, int ARow) const { return GetAsNumber(ACol, ARow); }
    // The default value of a cell from its column format: first list item for c/l, the text for
    // d, for e/f/h/i "rixN" gives the row number in N digits (else the text), for s "$pwd$N"
    // gives a new N-character password (else the text); "" for other types or no "]".
    std::string GetCellDefaultValue(int ACol, int ARow) const;
    std::string DefaultValue(int ACol, int ARow) const { return GetCellDefaultValue(ACol, ARow); }
    // The same rules for a type letter and the rest of a format after its width group (the row
    // editor applies them to formats that OnRequestEditFormat may have replaced).
    static std::string DefaultOfFormatRest(char Type, const std::string& Rest, int ARow);

    // ---- Check marks --------------------------------------------------------------------------

    // Box column: every mark set or cleared; radio column: only clearing; otherwise nothing.
    void SetAllCheckmarksOfCol(int Column, bool Checked) {
        SetAllCheckmarksOfCol(Column, Checked, false);
    }
    // As above, skipping rows with the disabled bit when EnabledRowsOnly (used by the view).
    void SetAllCheckmarksOfCol(int Column, bool Checked, bool EnabledRowsOnly);
    // Box columns only: every mark inverted (an empty cell becomes checked).
    void InvertAllCheckmarksOfCol(int Column) { InvertAllCheckmarksOfCol(Column, false); }
    void InvertAllCheckmarksOfCol(int Column, bool EnabledRowsOnly);
    int CountCheckedElemsInCol(int Column) const; // 0 for a plain column
    int CountCheckedElemsInRow(int Row) const;    // among the check columns
    int FirstCheckedElemInCol(int ColNr) const;   // lowest checked row, 0 if none
    int FirstCheckedElemInRow(int RowNr) const;   // lowest checked check column, 0 if none

    // ---- Whole-table operations ---------------------------------------------------------------

    // Inserts an empty, unnamed column at c (1..NrOfColumns; appending is SetNrCols).
    void InsertColumn(int c);
    // Removes column c (1..NrOfColumns) after committing the sort order. The only column is
    // emptied and reset instead, and NrOfColumns becomes 0.
    void RemoveColumn(int c);
    // Inserts an empty row at r (1..NrOfRows) after committing the sort order.
    void InsertRow(int r);
    // Removes row r (1..NrOfRows) after committing the sort order. The only row is emptied
    // instead (cells of columns 0..NrOfColumns and its attribute) and NrOfRows becomes 0.
    void RemoveRow(int r);
    // Removes every row whose visible texts in columns 0..NrOfColumns are all empty.
    void RemoveEmptyRows();
    // Copies the stored cells of columns 0..NrOfColumns and the row attribute of Source to
    // Target (both 1..NrOfRows).
    void CopyRow(int Source, int Target);
    // Every data cell gets the text s; check states stay (empty check cells become unchecked).
    void Fill(const std::string& s);
    // Empties every cell and resets names ("C-n"), formats and check modes; sizes, comment,
    // common header and sort state stay.
    void Clear();

    // ---- Sorting ------------------------------------------------------------------------------

    // Sorts the displayed order by Col, then ColSec (-1 for none), with the string array's
    // rules, and records the columns and direction.
    void Sort(int Col, int ColSec, bool Ascending);
    // Back to the stored order; LastSortColumn and the secondary column become -1.
    void UnSort();
    int LastSortColumn() const { return FSortColumn; }
    bool LastSortOrder() const { return FSortOrder; }
    // Secondary column of the last sort (-1 for none); the view reads and writes it.
    int SecondarySortColumn() const { return FSortColumnSec; }
    void SetSecondarySortColumn(int Value) { FSortColumnSec = Value; }
    // Direction of the view's next header-click sort (true = ascending); initially true.
    bool SortToggle() const { return FSortToggle; }
    void SetSortToggle(bool Value) { FSortToggle = Value; }

    // ---- Copying ------------------------------------------------------------------------------

    // From another TRLData: sizes, cells of columns 0..n (same displayed order and the same
    // permutation), row and column attributes, metadata, sort state, comment, common header,
    // DataID and OnBeforeSortExchange. The array object stays the same and keeps its hooks.
    // OnBeforeHTMLExport and OnPercentDone are not copied. Other sources go to the framework.
    void Assign(const TPersistent* Source) override;

    // ---- Clipboard ----------------------------------------------------------------------------

    // Columns LeftCol..RightCol and rows TopRow..BottomRow as plain text on the clipboard
    // (ranges clamped to 0..NrOfColumns and 1..NrOfRows). UseTabs: fields joined by TAB, each
    // row ended by LF, the optional header line by two LF. Otherwise fixed-width fields of the
    // column's greatest stored length (and name length) + 1 characters.
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         bool UseTabs);
    // As the TAB form with Separator between the fields.
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         const std::string& Separator);
    // The text the two forms above put on the clipboard.
    std::string ClipboardText(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                              bool UseTabs, const std::string& Separator) const;

    // ---- Exchange formats (rlexchange.cpp) -------------------------------------------------

    // Replaces the table with the CSV file's records: NrOfColumns = the most fields of any
    // record, names from the first record when IncludeColHeaders (else "C-n"), formats empty,
    // check modes cmNone, column 0 empty, unsorted. Comment, common header and DataID stay.
    // Returns the number of data rows read. Bad CSV raises EKELRLDataError with the line.
    int ImportCSV(const std::string& FName, TCSVDelimiters Delimiter, bool IncludeColHeaders);
    // The same from the stream's current position to its end; errors name "CSV stream".
    int ImportCSV(std::istream& In, TCSVDelimiters Delimiter, bool IncludeColHeaders);
    // Writes the visible texts of columns FirstCol..LastCol and rows FirstRow..LastRow (clamped
    // to 0..NrOfColumns and 1..NrOfRows), optionally after a line with the common header and a
    // row of column names. Returns the number of data rows written.
    int ExportCSV(const std::string& FName, TCSVDelimiters Delimiter, bool IncludeColHeaders,
                  bool IncludeCommonHeader, int FirstCol, int FirstRow, int LastCol, int LastRow);
    // The same written to a stream (no temporary file; a failed write raises EWriteError).
    int ExportCSV(std::ostream& Out, TCSVDelimiters Delimiter, bool IncludeColHeaders,
                  bool IncludeCommonHeader, int FirstCol, int FirstRow, int LastCol, int LastRow);
    // Writes the file's lines into Column (0.., columns are added when Column > NrOfColumns)
    // from row FirstRow (values below 1 mean 1) on, one line per row, adding rows as needed.
    // Returns the number of lines read.
    int LoadLinesFromFile(int Column, int FirstRow, const std::string& FName);
    // The same with the lines of a stream (read to its end); errors name "text stream".
    int LoadLinesFromStream(int Column, int FirstRow, std::istream& In);

    // Read a report list document (the first "<replist ... kelmosaic" header line on, up to
    // "</replist>"). A non-empty DataID must equal the document's identifier (case and blanks
    // around it ignored). The container takes the document's content and identifier; every
    // failure raises EKELRLDataError and leaves the container unchanged. Return true when read.
    bool ReadFromXMLString(const std::string& InString, const std::string& DataID);
    // Reads from the stream's current position and leaves it after the "</replist>" line.
    bool ReadFromXMLStream(std::istream& InStream, const std::string& DataID);
    // A text file the caller opened: the same as ReadFromXMLStream.
    void ReadFromOpenXMLFile(std::istream& TextFile, const std::string& DataID);
    bool LoadFromXMLFile(const std::string& FName, const std::string& DataID);
    // Write the document; CreateHeader adds the XML declaration line first. DataID becomes the
    // document's identifier. Text is written as XML text, a CR as the reference &#13;; only
    // values XML 1.0 cannot carry at all (control characters other than TAB, LF and CR, U+FFFE,
    // U+FFFF, malformed UTF-8) are hex-encoded, so every value reads back exactly.
    void WriteToOpenXMLFile(std::ostream& TextFile, bool CreateHeader, const std::string& DataID);
    void WriteToXMLStream(std::ostream& OutStream, bool CreateHeader, const std::string& DataID);
    void SaveAsXMLFile(const std::string& FName, const std::string& DataID);

    // Writes an HTML5 document with one table of columns LoC..HiC and rows LoR..HiR (clamped).
    // A non-empty ColumnSelection lists the columns to write, in its order (entries outside
    // LoC..HiC are skipped). Border, CellSpacing and CellPadding are pixel widths (CSS), the
    // classes are written when not empty. Check cells show a disabled check box before the text.
    void ExportHTMLTable(const std::string& FName, int LoC, int LoR, int HiC, int HiR,
                         const std::vector<int>& ColumnSelection, int Border, int CellSpacing,
                         int CellPadding, bool IncludeHeader, const std::string& HeadClass,
                         const std::string& CellClass, const std::string& TableClass);

    // ---- Events and hooks ---------------------------------------------------------------------

    TBeforeSortExchgEvent OnBeforeSortExchange() const { return FOnBefSortExc; }
    void SetOnBeforeSortExchange(TBeforeSortExchgEvent Handler) {
        FOnBefSortExc = std::move(Handler);
    }
    TBeforeHTMLExportEvent OnBeforeHTMLExport() const { return FOnBefHTMLExport; }
    void SetOnBeforeHTMLExport(TBeforeHTMLExportEvent Handler) {
        FOnBefHTMLExport = std::move(Handler);
    }
    // Progress of the exchange operations in percent (0..100, ending with 100).
    TOnPercentDoneEvent OnPercentDone() const { return FOnPercentDone; }
    void SetOnPercentDone(TOnPercentDoneEvent Handler) { FOnPercentDone = std::move(Handler); }

    // The array's before-sort-exchange hook: forwards to OnBeforeSortExchange with the
    // container as sender.
    void BeforeSortExchange(TObject* Sender, const std::string& s, std::string& t);
    // Forwards to OnBeforeHTMLExport with the container as sender.
    void BeforeHTMLExport(std::string& Text, int Col, int Row);

    // The owned cell array (the view installs its hooks on it; it stays the same object for the
    // container's life).
    TStringArray& Strings() { return FStrings; }
    const TStringArray& Strings() const { return FStrings; }
    // Progress base (cells of an operation) and step, as kept for the progress event.
    int FeedbackNumCells() const { return FFeedbkNumCells; }
    int FeedbackStep() const { return FFeedbkStep; }
    // Sets the progress base (values below 1 give 1) and its step base div 100 + 1.
    void SetFeedbackBase(int NumCells);

    // Complete content of a table, as readers build it before installing it (see Install).
    struct TContent {
        int NrOfCols = 1;
        int NrOfRows = 0;
        TStringArray Cells; // columns 0..NrOfCols (at least 1), rows 0..max(NrOfRows, 1)
        std::vector<TNameStrType> ColName;
        std::vector<TColFmtString> ColumnFormat;
        std::vector<TCheckMode> ColButMode;
    };

  protected:
    void AssignTo(TPersistent* Dest) const override;

  private:
    bool ValidCol(int c) const { return c >= 1 && c <= FNrOfCols; }
    bool ValidRow(int r) const { return r >= 1 && r <= FNrOfRows; }
    void ResetColumnMeta();
    void SetMarks(int Column, bool Checked, bool EnabledRowsOnly);
    // Progress base rows x (columns + 1), with rows at least 1 when AtLeastOneRow; 1 when 0.
    void UpdateFeedback(bool AtLeastOneRow);
    // Makes Content the container's table (cells, sizes, metadata), unsorted; the array object
    // and its hooks stay. Never throws once called.
    void Install(TContent& Content) noexcept;
    // The CSV import behind both ImportCSV forms, reading records from a reader of
    // rlexchange.cpp (a file or a stream).
    template <class TReader>
    int ImportCSVRecords(TReader& Reader, const std::string& Where, bool IncludeColHeaders);
    // The text-line import behind both LoadLines forms, on the whole text.
    int LoadLinesFromText(int Column, int FirstRow, const std::string& Data,
                          const std::string& Where);
    // Progress of an operation of Total units.
    friend class TRLProgress;

    std::string FComment;
    std::vector<TNameStrType> FColName;
    std::vector<TColFmtString> FColumnFormat;
    std::string FCommonHeader;
    std::vector<TCheckMode> FColButMode;
    int FNrOfCols = 1;
    int FNrOfRows = 0;
    int FSortColumn = -1;
    int FSortColumnSec = -1;
    bool FSortOrder = true;
    TBeforeSortExchgEvent FOnBefSortExc;
    std::string FDataID;
    bool FSortToggle = true;
    TBeforeHTMLExportEvent FOnBefHTMLExport;
    int FFeedbkNumCells = 1;
    int FFeedbkStep = 1;
    TOnPercentDoneEvent FOnPercentDone;
    TStringArray FStrings;
};

// Reports progress through a container's OnPercentDone: Tick once per unit of work, Done at
// the end (which reports 100). Nothing is reported when the event is unassigned.
class TRLProgress {
  public:
    TRLProgress(TRLData& Data, long long Total);
    void Tick(long long Units = 1) {
        FDone += Units;
        if (FDone >= FNext) Report();
    }
    void Done();

  private:
    void Report();
    TRLData& FData;
    long long FTotal, FStep, FDone = 0, FNext;
    int FLast = -1;
};

} // namespace kel
