// TReportListView, the grid control of the report list: it owns a TRLData container, maps its
// rows and columns onto the cells of a draw grid and draws every cell itself (a common header
// row, column headers with a sort arrow, banded data rows with selection, highlight and
// disabled colours, check boxes and radio buttons, password columns, text cut with "...").
// Clicks on a column header sort, clicks on check cells toggle them, clicks and cursor keys
// select rows in three modes, and the grid's in-place editor reads and writes the cells.
// Include KEL_replist.h, the unit header, rather than this file.
//
// Index: types and events; TReportListView (container forwarders, layout, look, selection and
// enabling, check marks, sorting and filtering, exchange formats, events, overrides).
//
// Numbering: data columns 1..NrOfColumns and data rows 1..NrOfRows, as in the container. Grid
// row = data row + FixedRows - 1, where FixedRows counts the visible header rows (the common
// header, when shown, is grid row 0). Grid column i shows data column ColumnOrder[i + 1].
//
// Implementation: rlview.cpp (state, layout, input), rlview_paint.cpp (drawing),
// rlfilter.cpp (SortEnabledState, FilterAndSort and the filter expressions), rl_rowedit.cpp
// (EditRowEntries, the row editor dialog).
#pragma once

#include "rldata.h"
#include "Kel_dstruct.h"
#include "kel_grids.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

class TForm;
class TSpeedButton;

// How FilterAndSort reads its expression.
enum TFilterMode : std::uint8_t {
    fmSimple,  // the expression is a substring
    fmBoolean, // substrings joined by AND, OR, NOT and parentheses
    fmGrep     // a regular expression (PCRE2 syntax) on the characters of the text
};

// Column and row in these events are data column and data row numbers.
using TRenderCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TColor& PenColor, TColor& BrushColor,
                       TColor& FontColor, TFontStyles& FontStyles, std::string& Text)>;
using TReadCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Text)>;
using TCheckStateChangeEvent = std::function<void(TObject* Sender, bool& State, int Col, int Row)>;
using TCursorKeyActionEvent = std::function<void(TObject* Sender, std::uint16_t Key)>;
// Found and CombineWithInternalSearch arrive as false and loOR; see FilterAndSort.
using TBeforeFilterEvent =
    std::function<void(TObject* Sender, int Row, bool& Found, TLogicOp& CombineWithInternalSearch)>;
using TRequestEditFormatEvent =
    std::function<void(TObject* Sender, int Col, int Row, std::string& Format)>;

// ---- Filter expressions (rlfilter.cpp) ---------------------------------------------------

// A compiled filter expression. Matches(text) tells whether one cell text passes. An invalid
// expression raises EKELRepListError naming the expression and the position (1-based
// character) of the fault. IgnoreCase compares through RLCaseFold (fmSimple, fmBoolean) or the
// regular-expression engine's Unicode caseless matching (fmGrep).
class TRLFilter {
  public:
    TRLFilter(const std::string& Expression, TFilterMode Mode, bool IgnoreCase);
    ~TRLFilter();
    TRLFilter(const TRLFilter&) = delete;
    TRLFilter& operator=(const TRLFilter&) = delete;
    bool Matches(const std::string& Text) const;

  private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

// ---- Cell geometry and colours -------------------------------------------------------------
// Pure functions shared by painting and hit testing, so that what is drawn is what reacts.

// The check box (or radio circle) of a check cell whose grid rectangle is Cell: 11 x 11 pixels,
// 4 pixels in from the cell's left and top edges.
TRect RLCheckBoxRect(const TRect& Cell);
// Where a click toggles the mark of a check cell: the cell's full height from its left edge up
// to 3 pixels right of the box (18 pixels wide), so the box and its margin react.
TRect RLCheckClickRect(const TRect& Cell);
// Left inset of the text of a check cell's text rectangle (the room of the box).
constexpr int RLCheckTextIndent = 16;
// Where a click on a column header sorts: more than 4 pixels from either border of the header
// cell (a click nearer a border starts a resize, a double click there sizes the column).
TRect RLHeaderSortRect(const TRect& Cell);

// The state of a data cell that decides its colours.
struct TRLCellState {
    bool Shaded = false;      // in a shaded band of RowColPattern
    bool ViewEnabled = true;  // the control is enabled
    bool RowDisabled = false; // the row's disabled bit
    bool RowSelected = false; // the row's selected bit
    bool ColSelected = false; // the column's selected bit
    bool Highlighted = false; // HighLightRow or HighLightColumn
    bool FixedColumn = false; // a cell of the fixed first column
};
// Colours of a data cell before OnBeforeRenderCell: pen, background and text, and whether the
// text turns bold.
struct TRLCellColors {
    TColor Pen = clBlack;
    TColor Brush = clWhite;
    TColor Font = clBlack;
    bool Bold = false;
    friend bool operator==(const TRLCellColors&, const TRLCellColors&) = default;
};

// ---- TReportListView ----------------------------------------------------------------------

class TReportListView : public TCustomDrawGrid {
  public:
    // Five columns, four rows, column headers shown; every default listed with its property.
    explicit TReportListView(TComponent* AOwner);
    ~TReportListView() override;
    std::string ClassName() const override { return "TReportListView"; }

    // The owned container (the view draws it; changes of its cells repaint the view).
    TRLData& Data() { return *FRLData; }
    const TRLData& Data() const { return *FRLData; }

    // Copies the published look and behaviour, the event handlers and the container from
    // another view; other sources go to the framework.
    void Assign(const TPersistent* Source) override;

    // ---- Container forwarders ----------------------------------------------------------------

    int NrOfColumns() const { return FRLData->NrOfColumns(); }
    void SetNrCols(int Value);
    void SetNrOfColumns(int Value) { SetNrCols(Value); }
    int NrOfRows() const { return FRLData->NrOfRows(); }
    void SetNrRows(int Value);
    void SetNrOfRows(int Value) { SetNrRows(Value); }
    // Visible text; reading fires OnReadCell, which may change the text returned.
    std::string Elem(int ACol, int ARow) const;
    void SetElem(int ACol, int ARow, const std::string& Value) {
        FRLData->SetElem(ACol, ARow, Value);
    }
    // Writes through the view fire no check events.
    bool ElemChecked(int ACol, int ARow) const { return FRLData->GetElemChecked(ACol, ARow); }
    void SetElemChecked(int ACol, int ARow, bool Value) {
        FRLData->SetElemChecked(ACol, ARow, Value);
    }
    // A bad number raises EKELDStructError "Class TReportListView: invalid numeric string: [..".
    double AsNumber(int ACol, int ARow) const;
    std::string DefaultValue(int ACol, int ARow) const { return FRLData->DefaultValue(ACol, ARow); }
    std::string Header(int ColNr) const { return FRLData->Header(ColNr); }
    void SetHeader(int ColNr, const std::string& Value);
    std::string ColumnFormat(int ColNr) const { return FRLData->ColumnFormat(ColNr); }
    void SetColumnFormat(int ColNr, const std::string& Value);
    TCheckMode ColumnCheckMode(int ColNr) const { return FRLData->ColumnCheckMode(ColNr); }
    void SetColumnCheckMode(int ColNr, TCheckMode Value);
    bool IsCheckedColumn(int ColNr) const { return FRLData->IsCheckedColumn(ColNr); }
    void SetIsCheckedColumn(int ColNr, bool Value);
    int ColumnIndex(const std::string& Head, bool PartialMatch) const {
        return FRLData->ColumnIndex(Head, PartialMatch);
    }
    std::string Comment() const { return FRLData->Comment(); }
    void SetComment(const std::string& Value) { FRLData->SetComment(Value); }
    std::string DataID() const { return FRLData->DataID(); }
    void SetDataID(const std::string& Value) { FRLData->SetDataID(Value); }
    std::string CommonHeader() const { return FRLData->CommonHeader(); }
    void SetCommonHeader(const std::string& Value);
    int LastSortColumn() const { return FRLData->LastSortColumn(); }
    bool LastSortOrder() const { return FRLData->LastSortOrder(); }
    int FirstCheckedElemInCol(int ColNr) const { return FRLData->FirstCheckedElemInCol(ColNr); }
    int FirstCheckedElemInRow(int RowNr) const { return FRLData->FirstCheckedElemInRow(RowNr); }
    int CountCheckedElemsInRow(int Row) const { return FRLData->CountCheckedElemsInRow(Row); }
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         bool UseTabs) {
        FRLData->CopyToClipBoard(LeftCol, TopRow, RightCol, BottomRow, AddHeader, UseTabs);
    }
    void CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                         const std::string& Separator) {
        FRLData->CopyToClipBoard(LeftCol, TopRow, RightCol, BottomRow, AddHeader, Separator);
    }

    // ---- Layout ------------------------------------------------------------------------------

    // Inserts an empty row at r (1..NrOfRows) or appends one (r > NrOfRows; r becomes the new
    // last row); r <= 0 does nothing. Forgets the sort columns. Returns r.
    int InsertRow(int r);
    // As InsertRow for columns; the per-column settings move with their columns.
    int InsertColumn(int c);
    int AddRow(); // returns the new NrOfRows
    void RemoveRow(int r);
    void RemoveColumn(int c);
    void RemoveEmptyRows();
    void Fill(const std::string& s);
    // Empties the cells, resets names, formats, check modes and the per-column settings.
    void Clear();
    // Entry i gives the data column (1-based) shown in grid column i. False (and nothing
    // stored) unless there are exactly NrOfColumns entries; false when an entry was out of range
    // (the valid ones are stored).
    bool SetColumnOrder(const std::vector<int>& ColList);
    int ColumnOrder(int ColNr) const; // 0 outside 1..NrOfColumns
    // Width of data column Index (1..NrOfColumns), that is of the grid column that shows it
    // (0 elsewhere or when no grid column shows it; writes then ignored).
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    TAlignment ColumnAlignment(int ColNr) const;
    void SetColumnAlignment(int ColNr, TAlignment Value);
    bool ColumnEditable(int ColNr) const;
    void SetColumnEditable(int ColNr, bool Value);
    bool ColumnIsPwd(int ColNr) const;
    void SetColumnIsPwd(int ColNr, bool Value);
    void SetDefaultColWidth(int Value);
    void SetDefaultRowHeight(int Value);
    bool CommonHeaderVisible() const { return FComHdVis; }
    void SetCommonHeaderVisible(bool Value);
    bool ColumnHeadersVisible() const { return FColHdVis; }
    void SetColumnHeadersVisible(bool Value);
    int CommonHeaderHeight() const { return FComHdHgt; } // 8..127, default 20
    void SetCommonHeaderHeight(int Value);
    int ColumnHeadersHeight() const { return FColHdHgt; } // 8..127, default 20
    void SetColumnHeadersHeight(int Value);
    TAlignment CommonHeaderAlignment() const { return FHeaderAlignment; }
    void SetCommonHeaderAlignment(TAlignment Value);
    bool FixedFirstColumn() const { return FFixedColOne; }
    void SetFixedFirstColumn(bool Value);
    // First data row shown (1-based) and first data column shown.
    int TopRow() const;
    void SetTopRow(int Value);
    int LeftCol() const;
    void SetLeftCol(int Value);
    // Number of header rows shown (0..2).
    int CountHeadRows() const { return (FComHdVis ? 1 : 0) + (FColHdVis ? 1 : 0); }
    // Selects Row alone and scrolls it to the middle of the view.
    void CenterScrollAndSelect(int Row);
    int DetermineMaxColWidth(int ColNr, bool IncludeHeader);
    void AutoColWidth(int ColNr, bool IncludeHeader, int Addon);
    void AutoColWidth(int ColNr, bool IncludeHeader, int Addon, int MaxWidth);
    void FitAllColWidths(int ExpandColumn, bool IncludeHeader, int Addon, int MaxWidth,
                         int RightMargin);
    // Column ColIx takes the width the others leave (at least 16 pixels).
    void ExpandColWidth(int ColIx, int RightMargin);

    // ---- Look --------------------------------------------------------------------------------

    TColor ColorText() const { return FColorNormal; }
    void SetColorText(TColor Value);
    TColor ColorBkgdNormal() const { return FRColorNormal; }
    void SetColorBkgdNormal(TColor Value);
    TColor ColorBkgdShaded() const { return FRColorShaded; }
    void SetColorBkgdShaded(TColor Value);
    // Rows per colour band (0: no bands); the first band is shaded.
    int RowColPattern() const { return FRowColPattern; }
    void SetRowColPattern(int Value);
    TColor ColorHigh() const { return FHiLgtColor; }
    void SetColorHigh(TColor Value);
    TColor ColorHighText() const { return FHiLgtTextColor; }
    void SetColorHighText(TColor Value);
    bool HighLightBold() const { return FHiLgtBold; }
    void SetHighLightBold(bool Value);
    int HighLightRow() const { return FHiLgtRow; } // 0 = none
    void SetHighLightRow(int Value);
    int HighLightColumn() const { return FHiLgtColumn; } // 0 = none
    void SetHighLightColumn(int Value);
    TColor ColorSelectedRow() const { return FSelRowColor; }
    void SetColorSelectedRow(TColor Value);
    TColor ColorSelectedRowText() const { return FSelRowTextColor; }
    void SetColorSelectedRowText(TColor Value);
    TColor ColorSelectedCol() const { return FSelColColor; }
    void SetColorSelectedCol(TColor Value);
    TColor ColorSelectedColText() const { return FSelColTextColor; }
    void SetColorSelectedColText(TColor Value);
    TColor ColorSelectedBoth() const { return FSelBothColor; }
    void SetColorSelectedBoth(TColor Value);
    TColor ColorSelectedBothText() const { return FSelBothTextColor; }
    void SetColorSelectedBothText(TColor Value);
    TColor ColorDisabledText() const { return FDisabledTextColor; }
    void SetColorDisabledText(TColor Value);
    TColor ColorDisabledBkgd() const { return FDisabledBkgdColor; }
    void SetColorDisabledBkgd(TColor Value);
    TColor ColorCommonHd() const { return FComHdColor; }
    void SetColorCommonHd(TColor Value);
    TColor ColorCommonHdText() const { return FComHdTxtColor; }
    void SetColorCommonHdText(TColor Value);
    TColor ColorColumnHd() const { return FColHdColor; }
    void SetColorColumnHd(TColor Value);
    TColor ColorColumnHdText() const { return FColHdTxtColor; }
    void SetColorColumnHdText(TColor Value);
    TColor ColorEmptyMsg() const { return FColorEmptyMsg; }
    void SetColorEmptyMsg(TColor Value);
    // Shown in the middle of an empty table; "|" separates lines.
    std::string EmptyMessage() const { return FEmptyMsg; }
    void SetEmptyMessage(const std::string& Value);
    TColor InterRowIndicatorColor() const { return FInterRowColor; }
    void SetInterRowIndicatorColor(TColor Value);
    int InterRowIndicatorWidth() const { return FInterRowWidth; }
    void SetInterRowIndicatorWidth(int Value);
    // Data row above which the indicator line is drawn (0 = none); repaints, fires nothing.
    int InterRowIndicatorPos() const { return FInterRowIndi; }
    void SetInterRowIndicatorPos(int Value);
    // While true nothing is drawn; setting it back to false repaints at once.
    bool SuppressPaint() const { return FSuppressPaint; }
    void SetSuppressPaint(bool Value);
    void SetEnabled(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // ---- Behaviour ---------------------------------------------------------------------------

    bool AutoAdvance() const { return FAutoAdvance; }
    void SetAutoAdvance(bool Value) { FAutoAdvance = Value; }
    // 0: the user selects no rows, 1: one row, 2: several rows (Ctrl / Shift).
    int RowSelectMode() const { return FRowSelectMode; } // 0 none, 1 single, 2 multiple
    void SetRowSelectMode(int Value);
    bool UseCtrlForMultiSel() const { return FCtrlForMultiSel; }
    void SetUseCtrlForMultiSel(bool Value) { FCtrlForMultiSel = Value; }
    bool SortEnabled() const { return FSortEnabled; }
    void SetSortEnabled(bool Value) { FSortEnabled = Value; }
    bool CheckMarksReadOnly() const { return FROCheckMarks; }
    void SetCheckMarksReadOnly(bool Value);
    bool ShowEmptyCheckBoxes() const { return FShowEmptyCBx; }
    void SetShowEmptyCheckBoxes(bool Value);

    // ---- Selection and enabling ----------------------------------------------------------------

    void SelectRow(int RowNr);
    void SelectAllRows();
    void DeselectAllRows();
    void EnableAllRows();
    void DisableAllRows();
    void SelectColumn(int ColNr);
    void SelectAllColumns();
    void DeselectAllColumns();
    bool RowSelected(int r) const;
    void SetRowSelected(int r, bool Value);
    bool RowEnabled(int r) const;
    void SetRowEnabled(int r, bool Value);
    bool ColumnSelected(int c) const;
    void SetColumnSelected(int c, bool Value);
    int NumSelectedRows() const;
    int NumSelectedColumns() const;
    int NumEnabledRows() const;
    // First selected row, 0 when none or when that row is disabled.
    int FirstSelectedRow() const;
    int FirstSelectedColumn() const;
    // X: grid column + 1 (0 outside); Y: data row, -1 column header row, -2 common header
    // row, 0 outside.
    TGridCoord MouseCell(int X, int Y) const;
    // Colours of a data cell in State, from the view's colour properties (see TRLCellState):
    // bands first; an enabled view then gives a disabled row the disabled colours, else a
    // selected row and column the "both" colours, a selected column or row theirs, and a
    // highlighted cell the highlight colours (bold when HighLightBold); a disabled view draws
    // text in clInactiveCaption; the fixed first column has the column header's background.
    TRLCellColors CellColors(const TRLCellState& State) const;
    // Outline pen of a check box and pen of its mark, from the cell's final pen and text colours.
    static TColor CheckBoxPen(bool ViewEnabled, bool RowDisabled, TColor Pen);
    static TColor CheckMarkPen(bool ViewEnabled, TColor Font);

    // ---- Check marks
    // -----------------------------------------------------------------------------

    void SetAllCheckmarksOfCol(int Column, bool Checked) {
        SetAllCheckmarksOfCol(Column, Checked, false);
    }
    void SetAllCheckmarksOfCol(int Column, bool Checked, bool AffectEnabledRowsOnly);
    void InvertAllCheckmarksOfCol(int Column) { InvertAllCheckmarksOfCol(Column, false); }
    void InvertAllCheckmarksOfCol(int Column, bool AffectEnabledRowsOnly);
    // Counts only rows that are not disabled.
    int CountCheckedElemsInCol(int Column) const;

    // ---- Sorting and filtering --------------------------------------------------------------

    void Sort(int Col, int ColSec, bool Ascending);
    void UnSort();
    int SecondarySortColumn() const { return FRLData->SecondarySortColumn(); }
    // -1..NrOfColumns; other values are ignored.
    void SetSecondarySortColumn(int Value);
    // Enabled rows first, ordered by SortColumn1 then SortColumn2 (-1: none) in the direction
    // given, with the rules of the string array's sort; then the disabled rows in their
    // previous relative order. LastSortColumn becomes SortColumn1. Repaints once.
    void SortEnabledState(int SortColumn1, int SortColumn2, bool Ascending);
    // Filters and sorts; returns the number of rows that pass. A row passes when the
    // expression matches the visible text of any of FilterColumns (fmSimple: a substring;
    // fmBoolean: substrings joined by AND, OR, NOT (case-insensitive words) and parentheses,
    // NOT binding tightest, then AND, then OR; a term is a run of characters other than blanks
    // and parentheses, or a text in double quotes; fmGrep: an ECMAScript regular expression
    // searched in the text), comparing without case when IgnoreCase (ASCII letters for
    // fmSimple / fmBoolean, the regex engine's rule for fmGrep). An empty expression matches
    // every row. When OnBeforeFilter is assigned it is asked per row with Found = false and
    // CombineWithInternalSearch = loOR; the row then passes when
    // ApplyLogicOp(Combine, Found, expression result) holds (loAND, loOR, loXOR: the handler's
    // decision with the expression; loANDNOT: the handler's decision and not the expression's;
    // loORNOT: the handler's decision or not the expression's). Rows that pass are enabled and
    // come first, sorted by SortColumn (-1 keeps their order); rows that fail are disabled
    // and follow in their previous order. An invalid expression raises EKELRepListError naming
    // the position of the fault, before any row changes.
    int FilterAndSort(const std::string& FilterExp, const std::vector<int>& FilterColumns,
                      bool IgnoreCase, TFilterMode FilterMode, int SortColumn, bool Ascending);

    // ---- Exchange formats: passed to the container ------------------------------------------

    int ImportCSV(const std::string& FName, TCSVDelimiters Delimiter, bool IncludeColHeaders);
    int ExportCSV(const std::string& FName, TCSVDelimiters Delimiter, bool IncludeColHeaders,
                  bool IncludeCommonHeader, int FirstCol, int FirstRow, int LastCol, int LastRow);
    int LoadLinesFromFile(int Column, int FirstRow, const std::string& FName);
    bool ReadFromXMLString(const std::string& InString, const std::string& DataID);
    bool ReadFromXMLStream(std::istream& InStream, const std::string& DataID);
    void ReadFromOpenXMLFile(std::istream& TextFile, const std::string& DataID);
    bool LoadFromXMLFile(const std::string& FName, const std::string& DataID);
    void WriteToOpenXMLFile(std::ostream& TextFile, bool CreateHeader, const std::string& DataID);
    void WriteToXMLStream(std::ostream& OutStream, bool CreateHeader, const std::string& DataID);
    void SaveAsXMLFile(const std::string& FName, const std::string& DataID);
    void ExportHTMLTable(const std::string& FName, int LoC, int LoR, int HiC, int HiR,
                         const std::vector<int>& ColumnSelection, int Border, int CellSpacing,
                         int CellPadding, bool IncludeHeader, const std::string& HeadClass,
                         const std::string& CellClass, const std::string& TableClass);

    // ---- Row editor (rl_rowedit.cpp) ---------------------------------------------------------

    // Edits the cells of data row Row (1..NrOfRows) in a modal dialog: one labelled field per
    // column, chosen by the column's format (after OnRequestEditFormat) as "[type][width]rest":
    //   c / l   combo box (editable / list only); rest = items separated by "|"; "c:N" shows N
    //           lines when dropped down; c shows the cell's text, l selects the item equal to it;
    //   dP      date-time picker with the picker pattern P; the cell's text (or rest, for an
    //           empty cell) is read with P (ParseDateTime, English names);
    //   e f h i numeric edit box in itDynamic, itFloat, itHex, itInt; an empty cell shows rest,
    //           or the row number when rest holds "rixN" (N digits);
    //   s       text field (also for an empty or missing type group); an empty cell shows rest,
    //           or a new password when rest holds "$pwd$N" (N characters);
    //   other   no field. A "#" before the type makes the field read-only (disabled, grey).
    // The width group gives the field's width in pixels (200 when missing or below 1; at most
    // 4000). Fields are named "runtime_rlre_Edit", "runtime_rlre_CBox", "runtime_rlre_DtPick"
    // and "runtime_rlre_NumIO", labels "runtime_rlre_Label", each followed by the column
    // number, and carry the column number in Tag. Enter in an editable field closes the
    // dialog with mrOk.
    // On mrOk every field is written back into the row (painting suppressed meanwhile, one
    // repaint after); a list combo with no item chosen and a date field whose cell did not read
    // as a date and that the user left alone keep the cell's text. All "runtime_rlre_"
    // controls and an own form are freed before the call returns, also when it raises (a cell
    // holding an impossible date such as month 13 raises EConvertError from here). Returns the
    // modal result: mrOk (1) or mrCancel (2).
    //
    // Own form: created by the view at screen position (PosLeft, PosTop), bsDialog, sized to
    // the fields, with speed buttons OK and Cancel at its top right; Escape closes it with
    // mrCancel (a desktop user cancels a dialog with Escape), as Cancel does. Default texts:
    // caption "Editing Row " + Row, buttons "OK" and "Cancel".
    int EditRowEntries(int Row, int PosLeft, int PosTop);
    int EditRowEntries(int Row, int PosLeft, int PosTop, const std::string& FormCaption,
                       const std::string& ButOKCaption, const std::string& ButCancelCaption);
    // Container form: the fields go onto ContainerForm at offset (PosLeft, PosTop); the form is
    // enlarged to hold them (never shrunk), gets no buttons, keeps its caption and its own
    // controls, and must be closed by the application's controls (or Enter in a field). A null
    // ContainerForm gives an own form with empty caption and button texts.
    int EditRowEntries(int Row, TForm* ContainerForm, int PosLeft, int PosTop);

    // ---- Events ------------------------------------------------------------------------------

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }
    TNotifyEvent OnChangeSetup() const { return FOnChangeSetup; }
    void SetOnChangeSetup(TNotifyEvent e) { FOnChangeSetup = std::move(e); }
    TNotifyEvent OnSelectedChange() const { return FOnSelectedChange; }
    void SetOnSelectedChange(TNotifyEvent e) { FOnSelectedChange = std::move(e); }
    TCheckStateChangeEvent OnCheckedChange() const { return FOnChkStChange; }
    void SetOnCheckedChange(TCheckStateChangeEvent e) { FOnChkStChange = std::move(e); }
    TCheckStateChangeEvent OnBeforeCheckedChange() const { return FOnBefChkStChange; }
    void SetOnBeforeCheckedChange(TCheckStateChangeEvent e) { FOnBefChkStChange = std::move(e); }
    TBeforeFilterEvent OnBeforeFilter() const { return FOnBeforeFilter; }
    void SetOnBeforeFilter(TBeforeFilterEvent e) { FOnBeforeFilter = std::move(e); }
    TRequestEditFormatEvent OnRequestEditFormat() const { return FOnRequestEdFmt; }
    void SetOnRequestEditFormat(TRequestEditFormatEvent e) { FOnRequestEdFmt = std::move(e); }
    TRenderCellEvent OnBeforeRenderCell() const { return FOnBefRenderCell; }
    void SetOnBeforeRenderCell(TRenderCellEvent e) { FOnBefRenderCell = std::move(e); }
    TCursorKeyActionEvent OnCursorKeyAction() const { return FOnCursorKeyAction; }
    void SetOnCursorKeyAction(TCursorKeyActionEvent e) { FOnCursorKeyAction = std::move(e); }
    TReadCellEvent OnReadCell() const { return FOnReadCell; }
    void SetOnReadCell(TReadCellEvent e) { FOnReadCell = std::move(e); }
    TBeforeSortExchgEvent OnBeforeSortExchange() const { return FOnBefSortExc; }
    void SetOnBeforeSortExchange(TBeforeSortExchgEvent e) { FOnBefSortExc = std::move(e); }
    TBeforeHTMLExportEvent OnBeforeHTMLExport() const { return FOnBefHTMLExport; }
    void SetOnBeforeHTMLExport(TBeforeHTMLExportEvent e) { FOnBefHTMLExport = std::move(e); }
    TOnPercentDoneEvent OnPercentDone() const { return FOnPercentDone; }
    void SetOnPercentDone(TOnPercentDoneEvent e) { FOnPercentDone = std::move(e); }
    // OnGetEditText / OnSetEditText (the grid's events) get the grid column and the data row.

  protected:
    // Handlers of the row editor's fields and buttons: Enter (#13) closes the dialog with mrOk;
    // OK closes it with mrOk, Cancel with mrCancel.
    void EdRowKeyPress(TObject* Sender, char32_t& Key);
    void EdRowOKClick(TObject* Sender);
    void EdRowCancelClick(TObject* Sender);

    void AssignTo(TPersistent* Dest) const override;
    void Paint() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void TopLeftChanged() override;
    void KeyPress(char32_t& Key) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void Changed();
    void ChangedSetup();
    void ChangedSelection();

  private:
    // EditRowEntries of every overload (rl_rowedit.cpp): ContainerForm null makes an own form.
    int RunRowEditor(int Row, TForm* ContainerForm, int PosLeft, int PosTop,
                     const std::string& FormCaption, const std::string& ButOKCaption,
                     const std::string& ButCancelCaption);
    void InstallHooks();
    void StringsHasChanged();
    void UpdateGridSize(); // RowCount, FixedRows, header heights
    // Row select mode 0 parks the grid selection on the cell just past the last column and row
    // (grid coordinates), so that no cell shows selected. A change of the grid's size or fixed
    // columns re-parks a parked selection instead of leaving one coordinate inside and one out;
    // in the other modes ReParkSelection brings it to the first scrollable cell.
    bool SelectionParked() const;
    void ReParkSelection();
    // Runs Change (a change of the grid's size or fixed columns) and re-parks the selection
    // when it was parked before.
    template <class F>
    void KeepingParked(F&& Change) {
        const bool parked = SelectionParked();
        Change();
        if (parked) ReParkSelection();
    }
    void ApplyHeaderHeights();
    void ResizeColumnArrays(int n);
    void ResetColumnArrays();
    void Redraw();         // Invalidate() unless SuppressPaint
    void ContentChanged(); // OnChange, then Redraw: content settings
    void LookChanged();    // Redraw, then OnChangeSetup: look and layout settings
    int DataColOfGrid(int ACol) const;
    // The grid column that shows data column DataCol (1-based); -1 when none does.
    int GridColOfData(int DataCol) const;
    bool RowDisabled(int r) const;
    void SetRowBits(int r, std::uint8_t Mask, bool Value);
    // Drawing pieces (rlview_paint.cpp).
    void DrawDataCell(int ACol, int ARow, const TRect& O, TRect& T);
    void DrawHeaderCell(int ACol, int ARow, const TRect& O, const TRect& T);
    int HeaderBandRight() const;
    void RaisedFrame(TCanvas& C, int Left, int Top, int Right, int Bottom);
    // Stable reordering of rows 1..n: the display rows listed in Order become rows 1..n.
    void ApplyRowOrder(const std::vector<int>& Order);
    // The data's Sort, with the strings' key hook left out while OnBeforeSortExchange is
    // unassigned (the hook only forwards to it, and calling it costs a copy per cell).
    void SortData(int Col, int ColSec, bool Ascending);

    bool FAutoAdvance = false;
    int FLastMousePosX = 0, FLastMousePosY = 0;
    TNotifyEvent FOnChange, FOnChangeSetup, FOnSelectedChange;
    std::vector<TAlignment> FColAlignment;
    TAlignment FHeaderAlignment = taCenter;
    std::string FEmptyMsg;
    std::vector<bool> FColumnEditable;
    std::vector<bool> FColumnIsPwd;
    std::vector<int> FColOrder;
    bool FComHdVis = false;
    TColor FComHdColor = clBtnFace, FComHdTxtColor = clBlack;
    int FComHdHgt = 20;
    bool FColHdVis = true;
    TColor FColHdColor = clBtnFace, FColHdTxtColor = clBlack;
    int FColHdHgt = 20;
    TColor FColorEmptyMsg = clBlack;
    TColor FDisabledTextColor = clSilver, FDisabledBkgdColor = 0xF0F0F0;
    bool FEnabled = true;
    int FSelectAnchor = 1;
    int FRowSelectMode = 1;
    bool FCtrlForMultiSel = true;
    bool FSortEnabled = true;
    TCheckStateChangeEvent FOnChkStChange, FOnBefChkStChange;
    TBeforeFilterEvent FOnBeforeFilter;
    TRequestEditFormatEvent FOnRequestEdFmt;
    TColor FSelRowColor = 0x94BAED, FSelRowTextColor = clNavy;
    TColor FSelColColor = clBlack, FSelColTextColor = clBlack;
    TColor FSelBothColor = clBlack, FSelBothTextColor = clBlack;
    bool FShowEmptyCBx = true;
    bool FROCheckMarks = false;
    TColor FHiLgtColor = 0xCC9966, FHiLgtTextColor = clWhite;
    bool FHiLgtBold = false;
    int FHiLgtRow = 0, FHiLgtColumn = 0;
    TOnPercentDoneEvent FOnPercentDone;
    TRenderCellEvent FOnBefRenderCell;
    TCursorKeyActionEvent FOnCursorKeyAction;
    TReadCellEvent FOnReadCell;
    TBeforeSortExchgEvent FOnBefSortExc;
    TBeforeHTMLExportEvent FOnBefHTMLExport;
    bool FSuppressPaint = true;
    TColor FColorNormal = 0x002000;
    TColor FRColorNormal = clWhite, FRColorShaded = 0xF0EFE8;
    int FRowColPattern = 1;
    int FInterRowIndi = 0;
    TColor FInterRowColor = clRed;
    int FInterRowWidth = 3;
    bool FFixedColOne = false;
    std::unique_ptr<TRLData> FRLData;
    // The row editor's form while it runs, and the Cancel button of an own form.
    TForm* FContainerForm = nullptr;
    TSpeedButton* FSBERCancel = nullptr;
};

} // namespace kel
