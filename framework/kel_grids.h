// The grid controls of the platform layer: TCustomGrid (geometry, painting of the visible cells,
// current cell and selection, keyboard and mouse, scroll bars (the shared ones of
// detail/scrollbar.h), sizing of columns and rows by dragging the fixed lines, and the in-place
// editor), TCustomDrawGrid (the events) and TDrawGrid (publishes them); the in-place editors
// TInplaceEdit and TInplaceEditList (with its pick list) are declared here and live in
// kel_grids_edit.cpp.
//
// Sizes along each axis are a default plus a sparse map of exceptions (TGridAxis), so a grid of
// 100,000,000 rows costs no per-row memory and positions past 2^31 pixels never overflow:
// scrolling works in rows and columns, and only the visible cells are ever measured or drawn.
//
// Coordinates: the grid's client coordinates are those of the control (its top-left is (0, 0));
// the frame (BorderStyle) and the scroll bars take the edges, so the cells start at
// ClientRect().Left/Top and ClientRect() is the area left for the cells.
//
// Index: enumerations, records and event types; EInvalidGridOperation; TGridAxis;
// TCustomGrid; TCustomDrawGrid; TDrawGrid; TInplaceEdit; TPopupListbox; TInplaceEditList.
#pragma once

#include "kel_controls.h"
#include "kel_timer.h"
#include "kel_stdctrls.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kel {

// ---- Enumerations, records and event types ----------------------------------------------------

// Grid options, in the platform's ordinal order.
enum TGridOption : std::uint8_t {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

// How a cell is being drawn.
enum TGridDrawStateItem : std::uint8_t { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

// A cell: X is the column, Y the row.
struct TGridCoord {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// A block of cells, inclusive indexes (Left..Right, Top..Bottom).
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend constexpr bool operator==(const TGridRect&, const TGridRect&) = default;
};

// TScrollStyle (which scroll bars a control may show) is declared in kel_stdctrls.h.

// What the in-place editor shows at the right edge: nothing, an ellipsis button, a drop arrow.
enum TEditStyle : std::uint8_t { esSimple, esEllipsis, esPickList };

// How the grid fills its fixed cells: gdsClassic and gdsThemed with FixedColor, gdsGradient with
// a vertical gradient from GradientStartColor (top row) to GradientEndColor (bottom row).
enum TGridDrawingStyle : std::uint8_t { gdsClassic, gdsThemed, gdsGradient };

// What the user is doing with the mouse.
enum TGridState : std::uint8_t {
    gsNormal,
    gsSelecting,
    gsRowSizing,
    gsColSizing,
    gsRowMoving,
    gsColMoving
};

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
// CanSelect is preset true; setting it false refuses the move.
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
// A column or row moved from FromIndex to ToIndex (those between shifted by one).
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// Misuse of a grid: an index out of range, fixed counts that do not fit.
class EInvalidGridOperation : public Exception {
    using Exception::Exception;
};

// ---- TGridAxis --------------------------------------------------------------------------------

// The sizes of the columns (or rows) of a grid: Count items of Default pixels, except those set
// otherwise. Memory grows with the number of exceptions, never with Count. Each shown item is
// followed by a grid line of the width the caller passes; an item of size 0 is hidden together
// with its line. Spans are 64-bit, so any count times any size fits.
class TGridAxis {
  public:
    int Count() const { return FCount; }
    // Values below 0 become 0; exceptions past the new end are dropped.
    void SetCount(int Value);
    int Default() const { return FDefault; }
    // Sets the default and forgets every exception (every item takes the new default).
    void SetDefault(int Value);
    // Size of item Index (the default outside 0..Count-1).
    int Size(int Index) const;
    // Sets one item (negative sizes become 0); setting the default removes the exception.
    void SetSize(int Index, int Value);
    // Number of items whose size differs from the default.
    std::size_t ExceptionCount() const { return FSizes.size(); }
    // Pixels taken by items [From, To) with their lines (From and To clamped to 0..Count).
    std::int64_t Span(int From, int To, int Line) const;
    // Pixels one item takes with its line (0 when hidden).
    int Extent(int Index, int Line) const {
        int s = Size(Index);
        return s > 0 ? s + Line : 0;
    }
    // The smallest First >= Min such that items First..Last lie fully within Avail pixels
    // (the line after Last may be cut), never a hidden item unless all of Min..Last are hidden
    // (then Min); the last shown item when even it does not fit. Walks back from Last: costs
    // the items of one page.
    int FirstToShow(int Min, int Last, int Avail, int Line) const;
    // The first shown item at or after From (Count when none), at or before From (-1 when none).
    int NextShown(int From) const;
    int PrevShown(int From) const;
    // FirstToShow for the last item: where the last page starts.
    int LastPageStart(int Min, int Avail, int Line) const {
        return FirstToShow(Min, FCount - 1, Avail, Line);
    }
    // Items wholly within Avail pixels starting at First (hidden items count with the shown).
    int FullyVisibleFrom(int First, int Avail, int Line) const;
    // Item From takes place To, carrying its size; the items between shift by one.
    void Move(int From, int To);
    // Where item Index is after Move(From, To).
    static int MovedIndex(int Index, int From, int To);

  private:
    int FCount = 0;
    int FDefault = 0;
    std::map<int, int> FSizes; // index -> size, only where it differs from FDefault
};

class TInplaceEdit;
class TInplaceEditList;

// ---- TCustomGrid ------------------------------------------------------------------------------

// A grid of cells drawn by DrawCell. All indexes are 0-based, column first. Fixed columns and
// rows (the first FixedCols / FixedRows) stay in place while the rest scrolls.
class TCustomGrid : public TCustomControl {
  public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;
    std::string ClassName() const override { return "TCustomGrid"; }

    // --- size of the grid ---
    int ColCount() const { return FCols.Count(); } // default 5; values below 1 become 1
    void SetColCount(int Value);
    int RowCount() const { return FRows.Count(); } // default 5; values below 1 become 1
    void SetRowCount(int Value);
    // Fixed columns / rows (default 1 each): must stay below ColCount / RowCount, else
    // EInvalidGridOperation; shrinking ColCount to FixedCols lowers FixedCols.
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);

    // --- sizes (pixels) ---
    // Setting a default resets every column width / row height to it (default 64 / 24).
    int DefaultColWidth() const { return FCols.Default(); }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FRows.Default(); }
    void SetDefaultRowHeight(int Value);
    // Width of the grid lines (default 1); 0 draws none.
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    // Per column / row; 0 hides it. Indexes outside 0..Count-1 raise EInvalidGridOperation.
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    // The size bookkeeping itself (read-only view).
    const TGridAxis& ColAxis() const { return FCols; }
    const TGridAxis& RowAxis() const { return FRows; }

    // --- scrolling ---
    // First scrollable row / column shown. Setting clamps to FixedRows..RowCount-1 (a value
    // beyond the last full page is kept: the space below the last row stays empty), scrolls
    // without moving the current cell and calls TopLeftChanged.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    // Scrollable rows / columns fully visible from TopRow / LeftCol.
    int VisibleRowCount() const;
    int VisibleColCount() const;
    // Which scroll bars the grid may show (default ssBoth); a bar shows only when needed.
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);

    // --- current cell and selection ---
    // The current cell. Setting runs SelectCell (which may refuse), makes the cell the anchor
    // too and scrolls it into view; an index outside 0..Count-1 raises EInvalidGridOperation.
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    // The block between the anchor and the current cell (whole rows with goRowSelect).
    // Assigning makes its top-left the anchor and its bottom-right the current cell without
    // calling SelectCell; values outside the grid are kept (nothing then shows as selected).
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);

    // --- behaviour and looks ---
    // Default [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect].
    // goRowSelect removes goAlwaysShowEditor.
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    // True: the grid fills each cell, draws the fixed cells' edges and the focus rectangle.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    TColor FixedColor() const { return FFixedColor; } // default clBtnFace
    void SetFixedColor(TColor Value);
    // Default gdsThemed; only gdsGradient changes what is drawn (with DefaultDrawing).
    TGridDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TGridDrawingStyle Value);
    TColor GradientStartColor() const { return FGradientStartColor; } // default clWhite
    void SetGradientStartColor(TColor Value);
    TColor GradientEndColor() const { return FGradientEndColor; } // default 0xDCDCDC
    void SetGradientEndColor(TColor Value);
    // bsSingle (default) draws a frame; with Ctl3D (default true) a sunken 2-pixel edge, else a
    // 1-pixel line. bsNone draws none.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Ctl3D() const override { return FCtl3D; }
    void SetCtl3D(bool Value) override;

    // --- moving columns and rows ---
    // Column / row FromIndex takes place ToIndex with its width / height, those between shift
    // by one, the current cell and the anchor follow their cells; then ColumnMoved / RowMoved
    // (once; nothing when the indexes are equal). Indexes outside 0..Count-1 raise
    // EInvalidGridOperation. With goColMoving / goRowMoving the user moves them by dragging a
    // fixed header cell (a fixed-row cell of a column, a fixed-column cell of a row).
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);

    // --- cells and points ---
    // Client rectangle of a cell without its lines, cut at the cell area; the empty rectangle
    // (0,0,0,0) when the cell is scrolled out of view or hidden.
    TRect CellRect(int ACol, int ARow) const;
    // The cell under a client point; -1 for an axis where the point lies outside the cells. A
    // point on a grid line counts as the cell before the line.
    TGridCoord MouseCoord(int X, int Y) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateCol(int ACol);
    void InvalidateGrid() { Invalidate(); }
    // Area left for the cells: inside the frame, beside the scroll bars.
    TRect ClientRect() const override;

    // --- in-place editor ---
    // True while the editor is shown (with goEditing); setting shows or hides it.
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    // The editor, or null until it was first shown.
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    void ShowEditor();
    void HideEditor();

    // --- mouse state (for descendants and tests) ---
    TGridState GridState() const { return FGridState; }

  protected:
    // Draws one cell; the grid has prepared the background when DefaultDrawing is on.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    // Asked before the current cell moves there; false refuses the move.
    virtual bool SelectCell(int ACol, int ARow);
    // After every change of TopRow or LeftCol.
    virtual void TopLeftChanged() {}
    // After the user resized a column / row by dragging.
    virtual void ColWidthsChanged() {}
    virtual void RowHeightsChanged() {}
    // After MoveColumn / MoveRow; descendants move their data here.
    virtual void ColumnMoved(int FromIndex, int ToIndex) { (void)FromIndex, (void)ToIndex; }
    virtual void RowMoved(int FromIndex, int ToIndex) { (void)FromIndex, (void)ToIndex; }
    // Editing: the text the editor loads, each change of it, and the editor's style.
    virtual std::string GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const std::string& Value);
    virtual TEditStyle GetEditStyle(int ACol, int ARow);
    // Creates the editor on first use (a TInplaceEdit, or a TInplaceEditList).
    virtual TInplaceEdit* CreateEditor();
    // Whether the editor may show now (goEditing, a scrollable current cell).
    virtual bool CanEditShow() const;
    // The editor was just loaded with a cell's text (descendants fill a pick list here).
    virtual void UpdateEditor() {}

    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void SizeChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Moves the current cell to (ACol, ARow) through SelectCell; MoveAnchor also moves the
    // anchor (else the selection grows); Show scrolls the cell into view. False when refused.
    bool MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    // Moves the current cell without SelectCell, without scrolling (a calendar marks its day).
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    // Scrolls so that the current cell is fully visible.
    void ClampInView();
    // The largest TopRow / LeftCol that still fills the cell area (the last page).
    int MaxTopRow() const;
    int MaxLeftCol() const;
    // Fires OnTopLeftChanged-style work after scrolling by code, keyboard, wheel or bar.
    void ScrollTo(int ALeftCol, int ATopRow);

  private:
    friend class TInplaceEdit;
    friend class TInplaceEditList;

    // One visible column or row: its index, start pixel and size (without the line).
    struct TSpan {
        int Index;
        int Start;
        int Size;
    };
    // The frame, the cell area and the scroll bars as they are now.
    struct TLayout {
        TRect Cells{};
        bool VBar = false, HBar = false;
        TRect VBarRect{}, HBarRect{};
    };

    int BorderWidth() const;
    const TLayout& Layout() const;
    void LayoutChanged();
    int VertLine() const;
    int HorzLine() const;
    // Visible columns / rows: the fixed ones, then from LeftCol / TopRow up to the area's edge.
    void VisibleSpans(bool Horizontal, std::vector<TSpan>& Out) const;
    // Start pixel and size of one column / row (size -1 when scrolled out of view).
    TSpan SpanOf(bool Horizontal, int Index) const;
    int CellAt(bool Horizontal, int Pos) const;
    bool RangeSelectOn() const {
        return FOptions.contains(goRangeSelect) && !FOptions.contains(goEditing);
    }
    TGridRect SelectionOf(TGridCoord Anchor, TGridCoord Current) const;
    bool InGrid(TGridCoord Cell) const;
    void InvalidateGridRect(const TGridRect& R);
    void InvalidateSelectionChange(const TGridRect& Old);
    void KeyMove(int ACol, int ARow, TShiftState Shift);
    void ClampCurrent();
    void CheckIndex(int Index, int Count) const;

    // Painting pieces.
    void PaintCells(TCanvas& C, const std::vector<TSpan>& Cols, const std::vector<TSpan>& Rows);
    void PaintBorder(TCanvas& C);
    // Gives the shared scroll bars their places, ranges (in scrollable rows / columns, the
    // first one 0) and positions from the layout as it is now.
    void SyncScrollBars() const;
    // Repeating while the button is held beyond the cells: selecting scrolls.
    void SelectAtPoint(int X, int Y);
    void StartRepeat(int DelayMs);
    void StopRepeat();
    void RepeatTick();

    // Sizing by the fixed lines.
    bool SizingHit(int X, int Y, bool& Horizontal, int& Index, int& LineStart) const;

    // Editor pieces (kel_grids_edit.cpp).
    void EditorTextChanged(const std::string& Text);
    void PlaceEditor();
    void ShowEditorChar(char32_t Ch);
    void DestroyEditor();
    bool EditorFocused() const;
    // Escape in the editor: puts back the text it loaded (a change, so SetEditText runs) and
    // closes it.
    void CancelEditor();

    TGridAxis FCols, FRows;
    int FFixedCols = 1, FFixedRows = 1;
    int FGridLineWidth = 1;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    bool FDefaultDrawing = true;
    TColor FFixedColor = clBtnFace;
    TGridDrawingStyle FDrawingStyle = gdsThemed;
    TColor FGradientStartColor = clWhite;
    TColor FGradientEndColor = TColor(0xDCDCDC);
    TScrollStyle FScrollBars = ssBoth;
    TBorderStyle FBorderStyle = bsSingle;
    bool FCtl3D = true;
    TGridCoord FCurrent{1, 1}, FAnchor{1, 1};
    int FTopRow = 1, FLeftCol = 1;

    mutable TLayout FLayout;
    mutable bool FLayoutValid = false;

    // Mouse.
    TGridState FGridState = gsNormal;
    int FSizingIndex = -1; // column / row being resized
    int FSizingStart = 0;  // its start pixel
    int FSizingPos = 0;    // where its far edge follows the mouse
    int FMoveFrom = -1;    // column / row being moved by its fixed cell
    int FMoveTo = -1;      // where it goes on release
    bool FSizingCursor = false;
    TCursor FSavedCursor = crDefault;
    bool FEditOnUp = false; // a press on the current cell: open the editor on release
    // The scroll bars (detail/scrollbar.h), and the one holding the mouse.
    std::unique_ptr<detail::TScrollBar> FVBar, FHBar;
    detail::TScrollBar* FBarMouse = nullptr;
    // Repeat timer of selecting beyond the cells (a hidden message window, made on first use).
    std::unique_ptr<TMessageTimer> FRepeatTimer; // made at the first repeat
    bool FRepeating = false;
    TPoint FLastMouse{};

    // Editor.
    TInplaceEdit* FInplaceEdit = nullptr;
    bool FEditorMode = false;
    bool FEditorLoading = false;  // loading the editor's text: no SetEditText
    bool FEditorModified = false; // the text changed since the editor loaded it
    std::string FEditorOriginal;  // the text the editor loaded (Escape puts it back)
    bool FHidingEditor = false;   // HideEditor moves the focus back: do not reopen it
};

// ---- TCustomDrawGrid --------------------------------------------------------------------------

// The grid with its events: each virtual of TCustomGrid fires the matching event.
class TCustomDrawGrid : public TCustomGrid {
  public:
    explicit TCustomDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
    std::string ClassName() const override { return "TCustomDrawGrid"; }

    TDrawCellEvent OnDrawCell() const { return FOnDrawCell; }
    void SetOnDrawCell(TDrawCellEvent e) { FOnDrawCell = std::move(e); }
    TSelectCellEvent OnSelectCell() const { return FOnSelectCell; }
    void SetOnSelectCell(TSelectCellEvent e) { FOnSelectCell = std::move(e); }
    TNotifyEvent OnTopLeftChanged() const { return FOnTopLeftChanged; }
    void SetOnTopLeftChanged(TNotifyEvent e) { FOnTopLeftChanged = std::move(e); }
    TGetEditEvent OnGetEditText() const { return FOnGetEditText; }
    void SetOnGetEditText(TGetEditEvent e) { FOnGetEditText = std::move(e); }
    TSetEditEvent OnSetEditText() const { return FOnSetEditText; }
    void SetOnSetEditText(TSetEditEvent e) { FOnSetEditText = std::move(e); }
    TNotifyEvent OnColWidthsChanged() const { return FOnColWidthsChanged; }
    void SetOnColWidthsChanged(TNotifyEvent e) { FOnColWidthsChanged = std::move(e); }
    TNotifyEvent OnRowHeightsChanged() const { return FOnRowHeightsChanged; }
    void SetOnRowHeightsChanged(TNotifyEvent e) { FOnRowHeightsChanged = std::move(e); }
    TMovedEvent OnColumnMoved() const { return FOnColumnMoved; }
    void SetOnColumnMoved(TMovedEvent e) { FOnColumnMoved = std::move(e); }
    TMovedEvent OnRowMoved() const { return FOnRowMoved; }
    void SetOnRowMoved(TMovedEvent e) { FOnRowMoved = std::move(e); }

  protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;
    void TopLeftChanged() override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;

  private:
    TDrawCellEvent FOnDrawCell;
    TSelectCellEvent FOnSelectCell;
    TNotifyEvent FOnTopLeftChanged, FOnColWidthsChanged, FOnRowHeightsChanged;
    TGetEditEvent FOnGetEditText;
    TSetEditEvent FOnSetEditText;
    TMovedEvent FOnColumnMoved, FOnRowMoved;
};

// ---- TDrawGrid --------------------------------------------------------------------------------

// The draw grid for forms: its published properties are registered in kel_grids.cpp.
class TDrawGrid : public TCustomDrawGrid {
  public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomDrawGrid(AOwner) {}
    std::string ClassName() const override { return "TDrawGrid"; }
};

// ---- TInplaceEdit -----------------------------------------------------------------------------

// The grid's editor: an edit box without frame over the current cell. Its owner and parent is
// the grid; every change of its text goes to the grid's SetEditText. Keys reach the grid first:
// Up, Down, Page Up, Page Down, Tab and Escape go to the grid's KeyDown (Escape then cancels);
// Left, Right, Home and End too with goAlwaysShowEditor when the caret is at that edge; other
// keys fire the grid's OnKeyDown before the box edits; characters go to the grid's KeyPress
// (Enter there closes the editor).
class TInplaceEdit : public TCustomEdit {
  public:
    explicit TInplaceEdit(TCustomGrid* AGrid);
    std::string ClassName() const override { return "TInplaceEdit"; }
    TCustomGrid* Grid() const { return FGrid; }
    // Types Ch as the user would: the character that opened the editor.
    void TypeChar(char32_t Ch) { EditChar(Ch); }
    // The grid shows the editor for a cell of this style (a plain editor ignores it).
    virtual void UpdateStyle(TEditStyle Style) { (void)Style; }
    // The grid hides the editor (closes what belongs to it, such as a drop-down list).
    virtual void EditorHiding() {}

  protected:
    void Change() override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    // Enter and Escape belong to the editor, never to the form's default or cancel button.
    void CNKeyDown(TMessage& Message) override;
    // The grid's KeyDown (the key is used up), and the grid's OnKeyDown alone.
    void SendToGrid(std::uint16_t& Key, TShiftState Shift);
    void GridKeyEvent(std::uint16_t& Key, TShiftState Shift);
    // Swallows the next character of the key just handled (Enter or Escape in a list).
    char32_t FSwallowChar = 0;

  private:
    bool Current() const; // this is the grid's editor and it is open
    TCustomGrid* FGrid;
};

// ---- TPopupListbox ----------------------------------------------------------------------------

// The drop-down list of a pick-list editor: a windowed list on the form, above everything,
// that never takes the focus. While shown it holds the mouse: a press outside closes it, a
// release on an item accepts that item.
class TPopupListbox : public TCustomControl {
  public:
    explicit TPopupListbox(TComponent* AOwner);
    std::string ClassName() const override { return "TPopupListbox"; }
    TStringList& Items() { return FItems; }
    const TStringList& Items() const { return FItems; }
    // The highlighted item, -1 for none; setting scrolls it into view.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // First item shown.
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    // Items shown at once (the list's height follows).
    int Rows() const { return FRows; }
    void SetRows(int Value);
    // Height of one item: the font's text height plus 2.
    int ItemHeight();
    // The item at a client point, -1 outside.
    int ItemAt(int X, int Y);
    // Called when the list closes itself (true: an item was chosen).
    std::function<void(bool Accept)> OnCloseUp;

  protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  private:
    void CloseUp(bool Accept);
    TStringList FItems;
    int FItemIndex = -1;
    int FTopIndex = 0;
    int FRows = 7;
    bool FPressedInside = false;
};

using TOnGetPickListItems = std::function<void(int ACol, int ARow, TStringList& Items)>;

// The editor with a button at the right edge for the esEllipsis and esPickList styles. The
// ellipsis button calls EditButtonClick (OnEditButtonClick); the pick-list arrow, Alt+Down or
// F4 drop the list of PickList().Items() under the cell (DropDownRows rows, 7 by default). A
// click or Enter on an item puts its text into the editor (a change, so the grid's SetEditText
// runs) and closes the list; Escape closes it unchanged.
class TInplaceEditList : public TInplaceEdit {
  public:
    explicit TInplaceEditList(TCustomGrid* AGrid);
    ~TInplaceEditList() override;
    std::string ClassName() const override { return "TInplaceEditList"; }

    TEditStyle EditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle Value);
    // The list (created with the editor, parented to the form when it drops down).
    TPopupListbox& PickList() { return *FPickList; }
    int DropDownRows() const { return FDropDownRows; }
    void SetDropDownRows(int Value);
    bool ListVisible() const { return FListVisible; }
    // Fills and shows the list below the editor (above it when the form has no room below).
    void DropDown();
    // Hides the list; Accept puts the highlighted item's text into the editor.
    void CloseUp(bool Accept);
    // The button's rectangle (empty for esSimple).
    TRect ButtonRect() const;
    static constexpr int ButtonWidth = 16;

    TNotifyEvent OnEditButtonClick() const { return FOnEditButtonClick; }
    void SetOnEditButtonClick(TNotifyEvent e) { FOnEditButtonClick = std::move(e); }
    // Asked before the list drops down, to fill it for the cell.
    TOnGetPickListItems OnGetPickListItems() const { return FOnGetPickListItems; }
    void SetOnGetPickListItems(TOnGetPickListItems e) { FOnGetPickListItems = std::move(e); }

    void UpdateStyle(TEditStyle Style) override { SetEditStyle(Style); }
    void EditorHiding() override { CloseUp(false); }

  protected:
    virtual void EditButtonClick();
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void WMKillFocus(TMessage& Message) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    TEditStyle FEditStyle = esSimple;
    TPopupListbox* FPickList = nullptr; // owned by this editor
    int FDropDownRows = 7;
    bool FListVisible = false;
    TNotifyEvent FOnEditButtonClick;
    TOnGetPickListItems FOnGetPickListItems;
};

} // namespace kel
