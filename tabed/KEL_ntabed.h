// KEL_ntabed.h — TNTabEd, the numeric table editor: a grid bound to a numeric data table
// (TDataTable) with row and column names, attribute bytes, a display precision per column, cell
// markings A and B, in-place editing of numbers and category identifiers, a heading editor, a
// comment editor, two built-in popup menus (data cells and header cells) and the clipboard.
//
// Index: EKELNTabedError; cell text (FormatCellValue, ScanClipboardText); event types; TNTabEd
// (data, elements, marks, structure, sorts, layout, look, clipboard, popup commands, events).
//
// Grid layout. Data columns and rows are numbered from 1. Grid column 0 holds the row names,
// grid column 1 the row attributes while AttribRowVisible (FColOffset 1); data column c is grid
// column c + FColOffset. Grid row 0 holds the column names, grid row 1 the column attributes
// while AttribColVisible (FRowOffset 1); data row r is grid row r + FRowOffset. The grid always
// has NrOfColumns + FColOffset + 1 columns and NrOfRows + FRowOffset + 1 rows.
//
// Cell state byte (the table's): bit 0 no valid number ("-nan-"), bit 1 empty (blank), bit 4
// locked against editing, bit 6 marked A, bit 7 marked B.
//
// Notifications: every editor event fires through one gate that is shut while SuppressPaint or
// the internal suppression of a bulk operation is set (OnPercentDone and OnTopLeftChanged are
// ungated). Bulk operations fire each event once at their end.
//
// Choices made where the rules leave a behaviour open:
//  * SetCellState stores the byte unchanged in range (then repaint and OnCellStateChanged);
//    out of range it does nothing.
//  * Sorts (SortCols, SortRows) reorder the cells of a block LowCol..HighCol x LowRow..HighRow
//    by the key row (column); they are stable, numbers come before cells that are not numbers
//    (those keep their order, last in both directions); with IncludeHeaders the names and
//    attributes move along and, for SortCols, each column keeps its precision. Ranges are
//    clamped to the table; a key outside the block, or an empty block, does nothing.
//    SortColAttributes / SortRowAttributes sort the columns (rows) of the block by their
//    attribute bytes, SortColNames / SortRowNames by their names (byte order, or ASCII case
//    ignored); both move the headers with the cells.
//  * FindColIndex / FindRowIndex: the first column (row) whose name equals the text with ASCII
//    case ignored; -1 when there is none.
//  * AssignAnotherDataMatrix binds an external table the editor never frees (the previously
//    owned table is freed); the grid follows its size; precisions are kept where columns remain,
//    new ones take 3. Null does nothing. The external table must outlive its binding; binding
//    it again (or another table) moves the binding.
//  * CopyContentsFrom copies size, values, states, names, attributes, comment and precisions
//    from another editor; CopyCellStatesFrom copies the state bytes of the overlapping cells.
//  * Extract from the clipboard and paste drop every value that falls outside the table (the
//    selection then covers the part inside). An extracted cell loses its invalid and empty bits
//    (it now holds a number); its lock and marks stay. Paste and extract write locked cells too:
//    the lock guards in-place editing only.
//  * Clipboard text that holds tabs (what spreadsheets copy, and what Copy writes) is split at
//    tabs and line ends only; a comma between two digits inside a cell is its decimal separator,
//    and a cell that does not start with a number is skipped (its place is kept). Text without
//    tabs is read as a stream of numbers separated by blanks and commas, lines by LF.
//  * The heading and comment editors are created at their first use, the popup menus when first
//    needed (opening, captions, masks), so creating an editor stays cheap.
//  * NrOfColumns and NrOfRows are clamped to 1..MaxTabDim and their product to MaxTabCells.
#pragma once

#include "Kel_datatable.h"
#include "Kel_error.h"
#include "Kel_kelbase.h"
#include "kel_grids.h"
#include "kel_menus.h"
#include "kel_stdctrls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kel {

class EKELNTabedError : public EKELError {
  public:
    using EKELError::EKELError;
};

// Largest number of data columns (or rows), and of cells, the editor accepts.
constexpr int MaxTabDim = 1000000;
constexpr long long MaxTabCells = 16LL * 1024 * 1024;

// ---- Cell text ----------------------------------------------------------------------------

// Text of a number in a cell: for Precision 0..8 the fixed form with NumWidth and Precision
// decimals when |x| <= U(Precision) and (|x| >= 10^-Precision or x = 0), where U is 999999999,
// 9999999.9, 999999.99, ..., 0.99999999; otherwise (and for -1, 9, 10 and NaN) the short
// scientific form of width NumWidth + 6.
std::string FormatCellValue(int NumWidth, int Precision, double x);

// One number found in clipboard text: its column and line (0-based) and value.
struct TClipNumber {
    int Col = 0;
    int Row = 0;
    double Value = 0;
};
// The numbers of a clipboard text (see the choices above) and the block they span: Cols and
// Rows are the largest column and line index of a cell with content plus one (0 when none).
struct TClipScan {
    std::vector<TClipNumber> Numbers;
    int Cols = 0;
    int Rows = 0;
};
TClipScan ScanClipboardText(const std::string& Text);

// ---- Events -------------------------------------------------------------------------------

// Before a data cell is drawn (data column and row): may change the text, colours and style.
using TBeforeRenderCellEvent =
    std::function<void(TObject* Sender, int colix, int rowix, std::string& Text, TColor& ColorText,
                       TColor& ColorBakg, TFontStyles& FontStyles)>;
// Before a built-in popup menu opens.
using TBeforePopupEvent = std::function<void(TObject* Sender, TPopupMenu* PMenu)>;

// ---- TNTabEd --------------------------------------------------------------------------------

class TNTabEd : public TCustomGrid {
  public:
    // 3 x 4 cells of 0, precision 3, row-attribute column shown, grid column 0 80 and column 1
    // 32 pixels wide, the defaults listed below.
    explicit TNTabEd(TComponent* AOwner);
    ~TNTabEd() override;
    std::string ClassName() const override { return "TNTabEd"; }

    // --- the table ---
    // The bound table: owned (created by the editor) unless AssignAnotherDataMatrix bound an
    // external one. Operations on it directly reach the editor through its notifications.
    TDataTable& Data() const { return *FData; }
    bool ExtMatAssigned() const { return FExtMatAssigned; }
    void AssignAnotherDataMatrix(TDataTable* NewDTab);
    void CopyContentsFrom(const TNTabEd& ExtTab);
    void CopyCellStatesFrom(const TNTabEd& ExtTab);

    int NrOfColumns() const { return FData->NrOfColumns(); } // default 3
    void SetNrCols(int n);
    int NrOfRows() const { return FData->NrOfRows(); } // default 4
    void SetNrRows(int n);
    void Redimension(int NrCols, int NrRows);
    int ColOffset() const { return FColOffset; }
    int RowOffset() const { return FRowOffset; }

    // --- elements (data coordinates; Elem and CellState raise outside the table) ---
    double Elem(int ACol, int ARow) const { return FData->GetElem(ACol, ARow); }
    void SetElem(int ACol, int ARow, double Value) { FData->SetElem(ACol, ARow, Value); }
    std::uint8_t CellState(int ACol, int ARow) const; // 0 outside the table
    void SetCellState(int ACol, int ARow, std::uint8_t Value);
    bool ElemMarkedA(int ACol, int ARow) const; // bit 6, false outside
    void SetElemMarkedA(int ACol, int ARow, bool Value);
    bool ElemMarkedB(int ACol, int ARow) const; // bit 7
    void SetElemMarkedB(int ACol, int ARow, bool Value);
    bool IsEmpty(int ACol, int ARow) const; // bit 1
    void SetIsEmpty(int ACol, int ARow, bool Value);
    bool IsNumber(int ACol, int ARow) const; // bits 0 and 1 clear; false outside
    void Fill(double Value);
    int FillMarkedCells(double Value, std::uint8_t StateMask);
    // Values and states 0, columns named "C-n", rows "R-n", every precision 3.
    void Clear();

    // --- names, attributes, precision (out-of-range setters are ignored) ---
    TDTNameStr ColName(int ColNr) const;                  // "" out of range
    void SetColName(int ColNr, const std::string& HLine); // cut to 50 characters
    TDTNameStr RowName(int RowNr) const;
    void SetRowName(int RowNr, const std::string& HLine);
    std::uint8_t ColAttrib(int ColNr) const; // 0 out of range
    void SetColAttrib(int ColNr, std::uint8_t Attrib);
    std::uint8_t RowAttrib(int RowNr) const;
    void SetRowAttrib(int RowNr, std::uint8_t Attrib);
    // Display precision of a column, -1..10 (-1, 9 and 10 show the scientific form); 0 out of
    // range; setting clamps.
    int Precision(int ColNr) const;
    void SetPrecision(int ColNr, int Dp);
    int GetDecPlaces(int ColNr) const { return Precision(ColNr); }
    void SetDecPlaces(int ColNr, int Dp) { SetPrecision(ColNr, Dp); }
    std::string Comment() const { return FData->Comment(); }
    void SetComment(const std::string& Text); // control characters removed

    // --- marks ---
    void MarkAllElemsA();
    void MarkAllElemsB();
    void UnMarkAllElems();
    void InvertCellStates(std::uint8_t StateMask);
    void ExchangeMarkings();
    bool IfRowMarked(int Row) const;
    bool IfColumnMarked(int Col) const;
    bool IfAnyMarked() const;
    int NrOfMarkedDataA() const;
    int NrOfMarkedDataB() const;

    // --- structure (Part of the table's rules: insert 1..count+1, remove 1..count, count >= 2)
    void InsertRow(int ix);
    void InsertColumn(int ix);
    void RemoveRow(int ix);
    void RemoveColumn(int ix);
    void MirrorRows();
    void MirrorColumns();

    // --- sorts and lookup (see the choices above) ---
    void SortCols(int SortRowIx, bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow,
                  bool IncludeHeaders);
    void SortRows(int SortColIx, bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow,
                  bool IncludeHeaders);
    void SortColAttributes(bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow);
    void SortRowAttributes(bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow);
    void SortColNames(bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow) {
        SortColNames(Ascending, false, LowCol, LowRow, HighCol, HighRow);
    }
    void SortColNames(bool Ascending, bool IgnoreCase, int LowCol, int LowRow, int HighCol,
                      int HighRow);
    void SortRowNames(bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow) {
        SortRowNames(Ascending, false, LowCol, LowRow, HighCol, HighRow);
    }
    void SortRowNames(bool Ascending, bool IgnoreCase, int LowCol, int LowRow, int HighCol,
                      int HighRow);
    int FindColIndex(const std::string& ColID) const;
    int FindRowIndex(const std::string& RowID) const;

    // --- layout ---
    bool AttribRowVisible() const { return FColOffset == 1; } // default true
    void SetAttribRowVisible(bool Value);
    bool AttribColVisible() const { return FRowOffset == 1; } // default false
    void SetAttribColVisible(bool Value);
    // Widths by data numbering: Index > 0 a data column, 0 the row names, -1 the attribute
    // column (0 while hidden).
    int GetColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    // Row heights: Index > 0 a data row (ignored beyond the last), 0 the names row, -1 the
    // attribute row while shown.
    void SetRowHeight(int Index, int Value);
    // Fits a column to its texts (+ Addon + 8, at least 4) and returns the width.
    int AutoColWidth(int ColNr, bool IncludeHeader, int Addon);
    // Fits a row to the font (text height + Addon + 2, at least 8) and returns the height.
    int AutoRowHeight(int RowNr, int Addon);
    // First scrolled data column / row shown; setting clamps to the table.
    int DataLeftCol() const { return LeftCol() - FColOffset; }
    void SetDataLeftCol(int Value);
    int DataTopRow() const { return TopRow() - FRowOffset; }
    void SetDataTopRow(int Value);
    // The selection in data numbering (may reach into the headers when the grid's does).
    TGridRect DataSelection() const;
    // Selects a block of data cells (clamped to the table); fires OnSelectionChanged.
    void SelectDataRange(int LowCol, int LowRow, int HighCol, int HighRow);

    // --- painting and notifications ---
    bool SuppressPaint() const { return FSuppressPaint; } // false; true stops paint and events
    void SetSuppressPaint(bool Value);

    // --- look (colours repaint and fire OnLayoutChanged) ---
    TColor ColorBackground() const { return Color(); } // clWindow
    void SetColorBackground(TColor Value);
    TColor ColorFixed() const { return FixedColor(); } // clBtnFace
    void SetColorFixed(TColor Value);
    TColor ColorNormal() const { return FColorNormal; } // 0x002000
    void SetColorNormal(TColor Value);
    TColor ColorSelected() const { return FColorSelected; } // 0x404040
    void SetColorSelected(TColor Value);
    TColor ColorMarkedA() const { return FColorMarkedA; } // 0x0000FF
    void SetColorMarkedA(TColor Value);
    TColor ColorMarkedB() const { return FColorMarkedB; } // 0xFF0000
    void SetColorMarkedB(TColor Value);
    TColor ColorMarkedBoth() const { return FColorMarkedBoth; } // 0xCC00BB
    void SetColorMarkedBoth(TColor Value);
    TColor ColorRangeSelFG() const { return FColorRangeSelFG; } // 0x80552C
    void SetColorRangeSelFG(TColor Value);
    TColor ColorRangeSelBG() const { return FColorRangeSelBG; } // 0xF8E8E0
    void SetColorRangeSelBG(TColor Value);
    bool BoldMarks() const { return FBoldMarks; } // true
    void SetBoldMarks(bool Value);
    bool BoldSelHeads() const { return FBoldSelHeads; } // true
    void SetBoldSelHeads(bool Value);
    bool ShowCellCursor() const { return FShowCellCursor; } // true
    void SetShowCellCursor(bool Value);
    int NumWidth() const { return FNumWidth; } // 1; 1..20 accepted, others ignored
    void SetNumWidth(int Value);
    bool OptimizeRowHeight() const { return FOptimizeRowHeight; } // false
    void SetOptimizeRowHeight(bool Value);
    // Sets the default width and puts back grid column 0 (80) and the attribute column.
    void SetDefaultColWidth(int Value);

    // --- behaviour ---
    bool AutoAdvance() const { return FAutoAdvance; } // true: Enter moves the cursor
    void SetAutoAdvance(bool Value) { FAutoAdvance = Value; }
    TOrientation AutoAdvanceDir() const { return FAutoAdvanceDir; } // orVertical: down
    void SetAutoAdvanceDir(TOrientation Value) { FAutoAdvanceDir = Value; }
    bool DataReadOnly() const { return FReadOnly; } // false
    void SetDataReadOnly(bool Value);
    bool ClipboardUseFullPrec() const { return FClipFullPrec; } // true
    void SetClipboardUseFullPrec(bool Value) { FClipFullPrec = Value; }
    bool CommentEditingAllowed() const { return FCommentEditingAllowed; } // true
    void SetCommentEditingAllowed(bool Value) { FCommentEditingAllowed = Value; }
    bool BlockInternalPopup() const { return FBlockInternalPopup; } // false
    void SetBlockInternalPopup(bool Value) { FBlockInternalPopup = Value; }
    int NomEditDropDownCount() const { return FNomDropDown; } // 8, at least 1
    void SetNomEditDropDownCount(int Value);

    // --- popup menus ---
    // Enabled-item masks: bits 0..11 for the data popup's items, 0..4 for the header popup's
    // (all bits set initially). Setting fires OnChangeSetup.
    int PopupDMask() const { return FPopupDMask; }
    void SetPopupDMask(int Value);
    int PopupHMask() const { return FPopupHMask; }
    void SetPopupHMask(int Value);
    // Captions (at most 50 characters): data items 1..12, header items 1..5, the four items of
    // both mark submenus, of both unmark submenus. Other indexes read "" and are ignored.
    std::string PopupDCaptions(int Index);
    void SetPopupDCaptions(int Index, const std::string& Value);
    std::string PopupHCaptions(int Index);
    void SetPopupHCaptions(int Index, const std::string& Value);
    std::string PopupMCaptions(int Index);
    void SetPopupMCaptions(int Index, const std::string& Value);
    std::string PopupUCaptions(int Index);
    void SetPopupUCaptions(int Index, const std::string& Value);
    // The built-in menus ("PopupDTAction", "PopupHTAction").
    TPopupMenu& DataPopup();
    TPopupMenu& HeaderPopup();
    // The heading editor and the comment editor while open (null otherwise).
    TEdit* HeadingEditor() const { return FHeadingOpen ? FHeadEdit : nullptr; }
    TMemo* CommentEditor() const { return FCommentOpen ? FCommentEdit : nullptr; }
    // The grid cell of the last click (used by the popup commands).
    TGridCoord LastClickCell() const { return FClickCell; }
    void SetLastClickCell(TGridCoord Cell) { FClickCell = Cell; }

    // --- clipboard ---
    // The clipboard text's block size (1 x 1 when it holds no number); false when none.
    bool GetClipMatrixSize(int& NCols, int& NRows) const;
    // The text Copy writes for the current selection.
    std::string SelectionAsText() const;
    bool DataCopyAvail() const { return FDataCopyAvail; }

    // --- popup commands (the sender is the menu item, or anything) ---
    void PopupMenuClickChangeID(TObject* Sender);
    void PopupMenuClickPrecision(TObject* Sender);
    void PopupMenuClickSelectCol(TObject* Sender);
    void PopupMenuClickSelectRow(TObject* Sender);
    void PopupMenuClickInsertCol(TObject* Sender);
    void PopupMenuClickInsertRow(TObject* Sender);
    void PopupMenuClickDeleteCol(TObject* Sender);
    void PopupMenuClickDeleteRow(TObject* Sender);
    void PopupMenuClickClear(TObject* Sender);
    void PopupMenuClickEmptyCells(TObject* Sender);
    void PopupMenuClickCopy(TObject* Sender);
    void PopupMenuClickPaste(TObject* Sender);
    void PopupMenuClickEdit(TObject* Sender);
    void PopupMenuClickExtClip(TObject* Sender);
    void PopupMenuClickSelAll(TObject* Sender);
    void PopupMenuClickMarkARange(TObject*) { MarkCommand(dtsMarkA, true, 0); }
    void PopupMenuClickMarkAColumn(TObject*) { MarkCommand(dtsMarkA, true, 1); }
    void PopupMenuClickMarkARow(TObject*) { MarkCommand(dtsMarkA, true, 2); }
    void PopupMenuClickMarkAAll(TObject*) { MarkCommand(dtsMarkA, true, 3); }
    void PopupMenuClickMarkBRange(TObject*) { MarkCommand(dtsMarkB, true, 0); }
    void PopupMenuClickMarkBColumn(TObject*) { MarkCommand(dtsMarkB, true, 1); }
    void PopupMenuClickMarkBRow(TObject*) { MarkCommand(dtsMarkB, true, 2); }
    void PopupMenuClickMarkBAll(TObject*) { MarkCommand(dtsMarkB, true, 3); }
    void PopupMenuClickUnMarkARange(TObject*) { MarkCommand(dtsMarkA, false, 0); }
    void PopupMenuClickUnMarkAColumn(TObject*) { MarkCommand(dtsMarkA, false, 1); }
    void PopupMenuClickUnMarkARow(TObject*) { MarkCommand(dtsMarkA, false, 2); }
    void PopupMenuClickUnMarkAAll(TObject*) { MarkCommand(dtsMarkA, false, 3); }
    void PopupMenuClickUnMarkBRange(TObject*) { MarkCommand(dtsMarkB, false, 0); }
    void PopupMenuClickUnMarkBColumn(TObject*) { MarkCommand(dtsMarkB, false, 1); }
    void PopupMenuClickUnMarkBRow(TObject*) { MarkCommand(dtsMarkB, false, 2); }
    void PopupMenuClickUnMarkBAll(TObject*) { MarkCommand(dtsMarkB, false, 3); }
    void PopupMenuClickUnMarkAll(TObject*);

    // Text of a data cell as drawn ("" empty, "-nan-", nominal text or FormatCellValue).
    std::string CellText(int ACol, int ARow) const;

    // --- events ---
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }
    TNotifyEvent OnChangeSetup() const { return FOnChangeSetup; }
    void SetOnChangeSetup(TNotifyEvent e) { FOnChangeSetup = std::move(e); }
    TNotifyEvent OnHeadingChanged() const { return FOnHeadingChanged; }
    void SetOnHeadingChanged(TNotifyEvent e) { FOnHeadingChanged = std::move(e); }
    TNotifyEvent OnAttributeChanged() const { return FOnAttributeChanged; }
    void SetOnAttributeChanged(TNotifyEvent e) { FOnAttributeChanged = std::move(e); }
    TNotifyEvent OnCellStateChanged() const { return FOnCellStateChanged; }
    void SetOnCellStateChanged(TNotifyEvent e) { FOnCellStateChanged = std::move(e); }
    TNotifyEvent OnLayoutChanged() const { return FOnLayoutChanged; }
    void SetOnLayoutChanged(TNotifyEvent e) { FOnLayoutChanged = std::move(e); }
    TNotifyEvent OnSelectionChanged() const { return FOnSelectionChanged; }
    void SetOnSelectionChanged(TNotifyEvent e) { FOnSelectionChanged = std::move(e); }
    TNotifyEvent OnTopLeftChanged() const { return FOnTopLeftChanged; }
    void SetOnTopLeftChanged(TNotifyEvent e) { FOnTopLeftChanged = std::move(e); }
    TOnPercentDoneEvent OnPercentDone() const { return FOnPercentDone; }
    void SetOnPercentDone(TOnPercentDoneEvent e) { FOnPercentDone = std::move(e); }
    TBeforeRenderCellEvent OnBeforeRenderCell() const { return FOnBeforeRenderCell; }
    void SetOnBeforeRenderCell(TBeforeRenderCellEvent e) { FOnBeforeRenderCell = std::move(e); }
    TBeforePopupEvent OnBeforePopup() const { return FOnBeforePopup; }
    void SetOnBeforePopup(TBeforePopupEvent e) { FOnBeforePopup = std::move(e); }
    TNotifyEvent OnClear() const { return FOnClear; }
    void SetOnClear(TNotifyEvent e) { FOnClear = std::move(e); }
    TNotifyEvent OnPaste() const { return FOnPaste; }
    void SetOnPaste(TNotifyEvent e) { FOnPaste = std::move(e); }
    // Data coordinates; after the editor's own handling.
    TGetEditEvent OnGetEditText() const { return FOnGetEditText; }
    void SetOnGetEditText(TGetEditEvent e) { FOnGetEditText = std::move(e); }
    TSetEditEvent OnSetEditText() const { return FOnSetEditText; }
    void SetOnSetEditText(TSetEditEvent e) { FOnSetEditText = std::move(e); }

  protected:
    void Paint() override;
    TInplaceEdit* CreateEditor() override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    void WMGetDlgCode(TMessage& Message) override;
    void KeyPress(char32_t& Key) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    TEditStyle GetEditStyle(int ACol, int ARow) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void UpdateEditor() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void TopLeftChanged() override;

  private:
    // Gates: each fires its event unless painting is suppressed.
    bool Gated() const { return FSuppressPaint || FInternSuppPaint; }
    void ChangedData();
    void ChangedSetup();
    void ChangedHeading();
    void ChangedAttrib();
    void ChangedLayout();
    void ChangedCellStates();
    void ChangedSelection();
    void GatedInvalidate() {
        if (!Gated()) Invalidate();
    }
    // Table notifications.
    void HookTable();
    void UnhookTable();
    void TableResized(int OldCols, int OldRows, int NewCols, int NewRows);
    void TableSortExchange(int Kind, int i1, int i2);
    // Grid follows the table's size; new grid columns from OldCols on take width w.
    void FitGridToTable(int OldCols, int w);
    void ResizePrecisions(int NewCols, int SourceIndex);
    // Runs Body with the internal suppression set, restoring it after (also on exceptions).
    template <class F>
    void Suppressed(F&& Body) {
        struct TRestore {
            int& Depth;
            ~TRestore() { --Depth; }
        } restore{++FInternSuppPaint};
        Body();
    }
    // Runs Body with the table's change notification unhooked.
    template <class F>
    void Unhooked(F&& Body) {
        struct TRestore {
            TDataTable* T;
            TNotifyEvent Saved;
            ~TRestore() { T->SetOnChange(std::move(Saved)); }
        } restore{FData, FData->OnChange()};
        FData->SetOnChange(nullptr);
        Body();
    }

    bool InTable(int ACol, int ARow) const {
        return ACol >= 1 && ACol <= NrOfColumns() && ARow >= 1 && ARow <= NrOfRows();
    }
    bool IsNominalCol(int ACol) const;
    std::string NominalText(int ACol, double v) const;
    void SetStateBits(int ACol, int ARow, std::uint8_t Bits, bool On);
    bool EditAllowedAt(int GCol, int GRow) const;
    // Turns the grid's editing option on where editing is allowed, off elsewhere; KeepRange
    // leaves it off while a block is selected.
    void UpdateEditingOption(int GCol, int GRow, bool KeepRange = false);
    void MarkCommand(std::uint8_t Bit, bool Set, int Scope);
    void ShowCellCursorNow();
    void DrawTopLeft(TCanvas& C, const TRect& R, bool CommentMode);
    void DrawHeaderCell(TCanvas& C, int ACol, int ARow, TRect R);
    // Popups.
    void BuildMenus();
    void UpdateDataMenu();
    void UpdateHeaderMenu();
    void ApplyMasks();
    void OpenDataPopup(int X, int Y);
    void OpenHeaderPopup(int GCol, int GRow);
    void InvertCellFrame(int GCol, int GRow);
    TRect CellScreenRect(int GCol, int GRow) const;
    // Editors.
    void OpenHeadingEditor();
    void CloseHeadingEditor(bool Store);
    void OpenCommentEditor();
    void CloseCommentEditor(bool Store);

    TDataTable* FData = nullptr;
    std::unique_ptr<TDataTable> FOwnedData; // null while an external table is bound
    TDataTable FDataCopy;
    bool FDataCopyAvail = false;
    bool FExtMatAssigned = false;
    std::vector<signed char> FDecP; // per data column, -1..10
    int FColOffset = 1, FRowOffset = 0;
    int FClassColWidth = 32;
    int FNumWidth = 1;
    bool FSuppressPaint = false;
    int FInternSuppPaint = 0; // nesting depth of internal suppression
    bool FSortIncludeHd = false;
    TGridRect FOldSel{-1, -1, -1, -1};
    bool FReadOnly = false;
    bool FClipFullPrec = true;
    bool FCommentEditingAllowed = true;
    bool FBlockInternalPopup = false;
    int FNomDropDown = 8;
    bool FAutoAdvance = true;
    TOrientation FAutoAdvanceDir = orVertical;
    TColor FColorNormal = TColor(0x002000), FColorSelected = TColor(0x404040);
    TColor FColorMarkedA = TColor(0x0000FF), FColorMarkedB = TColor(0xFF0000);
    TColor FColorMarkedBoth = TColor(0xCC00BB);
    TColor FColorRangeSelFG = TColor(0x80552C), FColorRangeSelBG = TColor(0xF8E8E0);
    bool FBoldMarks = true, FBoldSelHeads = true, FShowCellCursor = true;
    bool FOptimizeRowHeight = false;
    // Expires with the editor: calls posted to the message loop check it before they run.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    int FPopupDMask = -1, FPopupHMask = -1;
    // Mouse state: last click, the click before it, last position (grid cells / pixels).
    TGridCoord FClickCell{-1, -1}, FPrevClickCell{-1, -1};
    TPoint FLastMouse{};
    bool FKeyConsumedByGrid = false;
    // Menus (built when first needed) and their items.
    std::unique_ptr<TPopupMenu> FDataMenu, FHeadMenu;
    std::vector<TMenuItem*> FDItems, FHItems, FMItems[2], FUItems[2];
    std::vector<std::string> FHBase; // header captions as set ("Select.." shows a kind)
    TPoint FHeadPopupAt{};
    // Editors (made at first use; children of the grid).
    TEdit* FHeadEdit = nullptr;
    TMemo* FCommentEdit = nullptr;
    bool FHeadingOpen = false, FCommentOpen = false;
    TGridCoord FHeadingCell{-1, -1};
    // The cell the in-place editor loaded, its text, value and state.
    TGridCoord FEditCell{-1, -1};
    std::string FEditText;
    double FEditValue = 0;
    std::uint8_t FEditState = 0;

    TNotifyEvent FOnChange, FOnChangeSetup, FOnHeadingChanged, FOnAttributeChanged,
        FOnCellStateChanged, FOnLayoutChanged, FOnSelectionChanged, FOnTopLeftChanged;
    TOnPercentDoneEvent FOnPercentDone;
    TBeforeRenderCellEvent FOnBeforeRenderCell;
    TBeforePopupEvent FOnBeforePopup;
    TNotifyEvent FOnClear, FOnPaste;
    TGetEditEvent FOnGetEditText;
    TSetEditEvent FOnSetEditText;
};

} // namespace kel
