// The grid: sizes along each axis (TGridAxis), layout of frame, cells and scroll bars, painting
// of the visible cells, the current cell and the selection, keyboard, mouse, wheel, the scroll
// bars (the shared ones of detail/scrollbar.h, in rows and columns) and sizing by the fixed
// lines. The in-place editor is in kel_grids_edit.cpp.
//
// Index: TGridAxis; construction and properties; layout and geometry; painting; scroll bars;
// current cell and scrolling; keyboard; mouse; TCustomDrawGrid; published properties.
#include "kel_grids.h"

#include "detail/scrollbar.h"
#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <cstdlib>

namespace kel {

namespace {

using detail::ScrollBarSize;       // width of a vertical bar, height of a horizontal one
constexpr int SizingSlop = 3;      // pixels either side of a fixed line that start a resize
constexpr int SelectRepeatMs = 60; // selecting beyond the cells scrolls this often

int ClampInt(std::int64_t v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : int(v); }

// The dotted focus rectangle: every other pixel of the outline inverted, so drawing it twice
// restores the cell.
void DrawFocusRectXor(TCanvas& C, const TRect& R) {
    if (R.IsEmpty()) return;
    auto invert = [&C](int x, int y) {
        TColor p = C.Pixels(x, y);
        if (p != 0xFFFFFFFF) C.SetPixels(x, y, p ^ 0xFFFFFF);
    };
    for (int x = R.Left; x < R.Right; x += 2) {
        invert(x, R.Top);
        if (R.Bottom - 1 > R.Top) invert(x, R.Bottom - 1);
    }
    for (int y = R.Top + 2; y < R.Bottom - 1; y += 2) {
        invert(R.Left, y);
        if (R.Right - 1 > R.Left) invert(R.Right - 1, y);
    }
}

// Fills R row by row from Top (exactly Top's colour) to the last row (exactly Bottom's colour),
// each channel interpolated linearly and rounded.
void FillVertGradient(TCanvas& C, const TRect& R, TColor Top, TColor Bottom) {
    const TColor a = ColorToRGB(Top), b = ColorToRGB(Bottom);
    const int span = std::max(R.Bottom - R.Top - 1, 1);
    auto mix = [span](int from, int to, int i) {
        return std::uint8_t(from +
                            ((to - from) * 2 * i + (to >= from ? span : -span)) / (2 * span));
    };
    C.Brush().SetStyle(bsSolid);
    for (int y = R.Top; y < R.Bottom; ++y) {
        const int i = y - R.Top;
        C.Brush().SetColor(RGB(mix(GetRValue(a), GetRValue(b), i),
                               mix(GetGValue(a), GetGValue(b), i),
                               mix(GetBValue(a), GetBValue(b), i)));
        C.FillRect(Rect(R.Left, y, R.Right, y + 1));
    }
}

using detail::DrawArrow;
using detail::DrawButtonFace;
using detail::FillSolid;

} // namespace

// ---- TGridAxis --------------------------------------------------------------------------------

void TGridAxis::SetCount(int Value) {
    Value = std::max(Value, 0);
    if (Value < FCount) FSizes.erase(FSizes.lower_bound(Value), FSizes.end());
    FCount = Value;
}

void TGridAxis::SetDefault(int Value) {
    FDefault = std::max(Value, 0);
    FSizes.clear();
}

int TGridAxis::Size(int Index) const {
    auto it = FSizes.find(Index);
    return it == FSizes.end() ? FDefault : it->second;
}

void TGridAxis::SetSize(int Index, int Value) {
    Value = std::max(Value, 0);
    if (Value == FDefault)
        FSizes.erase(Index);
    else
        FSizes[Index] = Value;
}

int TGridAxis::MovedIndex(int Index, int From, int To) {
    if (Index == From) return To;
    if (From < To && Index > From && Index <= To) return Index - 1;
    if (From > To && Index >= To && Index < From) return Index + 1;
    return Index;
}

void TGridAxis::Move(int From, int To) {
    std::map<int, int> moved;
    for (const auto& [index, size] : FSizes) moved.emplace(MovedIndex(index, From, To), size);
    FSizes = std::move(moved);
}

std::int64_t TGridAxis::Span(int From, int To, int Line) const {
    From = std::clamp(From, 0, FCount);
    To = std::clamp(To, 0, FCount);
    if (To <= From) return 0;
    const std::int64_t defExt = FDefault > 0 ? std::int64_t(FDefault) + Line : 0;
    std::int64_t r = std::int64_t(To - From) * defExt;
    for (auto it = FSizes.lower_bound(From); it != FSizes.end() && it->first < To; ++it)
        r += (it->second > 0 ? std::int64_t(it->second) + Line : 0) - defExt;
    return r;
}

int TGridAxis::NextShown(int From) const {
    From = std::max(From, 0);
    if (FDefault == 0) {
        // Every exception is shown; everything between them is hidden.
        auto it = FSizes.lower_bound(From);
        return it == FSizes.end() || it->first >= FCount ? FCount : it->first;
    }
    while (From < FCount && Size(From) == 0) ++From;
    return std::min(From, FCount);
}

int TGridAxis::PrevShown(int From) const {
    From = std::min(From, FCount - 1);
    if (From < 0) return -1;
    if (FDefault == 0) {
        auto it = FSizes.upper_bound(From);
        if (it == FSizes.begin()) return -1;
        return std::prev(it)->first;
    }
    while (From >= 0 && Size(From) == 0) --From;
    return From;
}

int TGridAxis::FirstToShow(int Min, int Last, int Avail, int Line) const {
    Last = std::min(Last, FCount - 1);
    if (Last < Min) return Min;
    int i = PrevShown(Last);
    if (i < Min) return Min;
    std::int64_t total = std::int64_t(Size(i)) + Line;
    if (total - Line > Avail) return i;
    for (;;) {
        int j = PrevShown(i - 1);
        if (j < Min) return Min; // only hidden items are left before i
        std::int64_t t = total + Size(j) + Line;
        if (t - Line > Avail) return i;
        total = t;
        i = j;
    }
}

int TGridAxis::FullyVisibleFrom(int First, int Avail, int Line) const {
    int n = 0;
    std::int64_t pos = 0;
    int i = std::max(First, 0);
    while (i < FCount) {
        int j = NextShown(i);
        if (j >= FCount) {
            n += FCount - i;
            break;
        }
        int s = Size(j);
        if (pos + s > Avail) break;
        pos += std::int64_t(s) + Line;
        n += j - i + 1;
        i = j + 1;
    }
    return n;
}

// ---- TCustomGrid: construction and properties -------------------------------------------------

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
    FCols.SetDefault(64);
    FRows.SetDefault(24);
    FCols.SetCount(5);
    FRows.SetCount(5);
    IncludeStyle(csOpaque); // Paint covers every pixel
    SetTabStop(true);
    SetColor(clWindow);
    InitBounds(0, 0, 320, 120);
    // A bar's step scrolls the grid; the bar then takes the new position (and the page, which
    // rows of other heights change) before its next step.
    // OnTopLeftChanged may free the grid (and the bar with this closure): only locals after.
    FVBar = std::make_unique<detail::TScrollBar>(true, [this](int p) {
        auto alive = Handle();
        ScrollTo(FLeftCol, p + FFixedRows);
        if (*alive != nullptr) SyncScrollBars();
    });
    FHBar = std::make_unique<detail::TScrollBar>(false, [this](int p) {
        auto alive = Handle();
        ScrollTo(p + FFixedCols, FTopRow);
        if (*alive != nullptr) SyncScrollBars();
    });
    for (detail::TScrollBar* bar : {FVBar.get(), FHBar.get()})
        bar->SetStillHeld([this] { return MouseCapture(); });
}

TCustomGrid::~TCustomGrid() { DestroyEditor(); }

void TCustomGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr &&
        AComponent == static_cast<TComponent*>(static_cast<TControl*>(FInplaceEdit))) {
        FInplaceEdit = nullptr;
        FEditorMode = false;
    }
}

void TCustomGrid::CheckIndex(int Index, int Count) const {
    if (Index < 0 || Index >= Count) throw EInvalidGridOperation("Grid index out of range");
}

void TCustomGrid::SetColCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FCols.Count()) return;
    if (FEditorMode && FCurrent.X >= Value) HideEditor();
    FCols.SetCount(Value);
    if (FFixedCols >= Value) FFixedCols = Value - 1;
    ClampCurrent();
    LayoutChanged();
}

void TCustomGrid::SetRowCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FRows.Count()) return;
    if (FEditorMode && FCurrent.Y >= Value) HideEditor();
    FRows.SetCount(Value);
    if (FFixedRows >= Value) FFixedRows = Value - 1;
    ClampCurrent();
    LayoutChanged();
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value < 0) throw EInvalidGridOperation("Grid index out of range");
    if (Value >= FCols.Count())
        throw EInvalidGridOperation("Fixed column count must be less than column count");
    if (Value == FFixedCols) return;
    HideEditor();
    FFixedCols = Value;
    // The first scrollable column becomes current and leftmost, as on a new grid.
    FCurrent.X = FAnchor.X = FLeftCol = Value;
    LayoutChanged();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0) throw EInvalidGridOperation("Grid index out of range");
    if (Value >= FRows.Count())
        throw EInvalidGridOperation("Fixed row count must be less than row count");
    if (Value == FFixedRows) return;
    HideEditor();
    FFixedRows = Value;
    FCurrent.Y = FAnchor.Y = FTopRow = Value;
    LayoutChanged();
}

void TCustomGrid::ClampCurrent() {
    auto clampTo = [](int v, int lo, int hi) { return std::clamp(v, lo, std::max(lo, hi)); };
    FCurrent.X = clampTo(FCurrent.X, FFixedCols, ColCount() - 1);
    FCurrent.Y = clampTo(FCurrent.Y, FFixedRows, RowCount() - 1);
    FAnchor.X = clampTo(FAnchor.X, FFixedCols, ColCount() - 1);
    FAnchor.Y = clampTo(FAnchor.Y, FFixedRows, RowCount() - 1);
    FLeftCol = clampTo(FLeftCol, FFixedCols, ColCount() - 1);
    FTopRow = clampTo(FTopRow, FFixedRows, RowCount() - 1);
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    FCols.SetDefault(Value);
    LayoutChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    FRows.SetDefault(Value);
    LayoutChanged();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    Value = std::max(Value, 0);
    if (Value == FGridLineWidth) return;
    FGridLineWidth = Value;
    LayoutChanged();
}

int TCustomGrid::ColWidths(int Index) const { return FCols.Size(Index); }
int TCustomGrid::RowHeights(int Index) const { return FRows.Size(Index); }

void TCustomGrid::SetColWidths(int Index, int Value) {
    CheckIndex(Index, ColCount());
    if (std::max(Value, 0) == FCols.Size(Index)) return;
    FCols.SetSize(Index, Value);
    LayoutChanged();
}

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    CheckIndex(FromIndex, ColCount());
    CheckIndex(ToIndex, ColCount());
    if (FromIndex == ToIndex) return;
    FCols.Move(FromIndex, ToIndex);
    FCurrent.X = TGridAxis::MovedIndex(FCurrent.X, FromIndex, ToIndex);
    FAnchor.X = TGridAxis::MovedIndex(FAnchor.X, FromIndex, ToIndex);
    LayoutChanged();
    ColumnMoved(FromIndex, ToIndex);
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckIndex(FromIndex, RowCount());
    CheckIndex(ToIndex, RowCount());
    if (FromIndex == ToIndex) return;
    FRows.Move(FromIndex, ToIndex);
    FCurrent.Y = TGridAxis::MovedIndex(FCurrent.Y, FromIndex, ToIndex);
    FAnchor.Y = TGridAxis::MovedIndex(FAnchor.Y, FromIndex, ToIndex);
    LayoutChanged();
    RowMoved(FromIndex, ToIndex);
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    CheckIndex(Index, RowCount());
    if (std::max(Value, 0) == FRows.Size(Index)) return;
    FRows.SetSize(Index, Value);
    LayoutChanged();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    LayoutChanged();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value.contains(goRowSelect)) Value.exclude(goAlwaysShowEditor);
    if (Value == FOptions) return;
    TGridOptions old = FOptions;
    FOptions = Value;
    if (!RangeSelectOn()) FAnchor = FCurrent;
    if (FEditorMode && !CanEditShow())
        HideEditor();
    else if (!FEditorMode && FOptions.contains(goAlwaysShowEditor) &&
             !old.contains(goAlwaysShowEditor) && Focused())
        ShowEditor();
    LayoutChanged(); // line options change the line widths
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
    if (Value == FDefaultDrawing) return;
    FDefaultDrawing = Value;
    Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
    if (Value == FFixedColor) return;
    FFixedColor = Value;
    Invalidate();
}

void TCustomGrid::SetDrawingStyle(TGridDrawingStyle Value) {
    if (SetField(FDrawingStyle, Value)) Invalidate();
}

void TCustomGrid::SetGradientStartColor(TColor Value) {
    if (SetField(FGradientStartColor, Value) && FDrawingStyle == gdsGradient) Invalidate();
}

void TCustomGrid::SetGradientEndColor(TColor Value) {
    if (SetField(FGradientEndColor, Value) && FDrawingStyle == gdsGradient) Invalidate();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    LayoutChanged();
}

void TCustomGrid::SetCtl3D(bool Value) {
    if (Value == FCtl3D) return;
    FCtl3D = Value;
    LayoutChanged();
}

// ---- TCustomGrid: layout and geometry ---------------------------------------------------------

int TCustomGrid::BorderWidth() const {
    if (FBorderStyle == bsNone) return 0;
    return FCtl3D ? 2 : 1;
}

int TCustomGrid::VertLine() const {
    return FOptions.contains(goFixedVertLine) || FOptions.contains(goVertLine) ? FGridLineWidth : 0;
}

int TCustomGrid::HorzLine() const {
    return FOptions.contains(goFixedHorzLine) || FOptions.contains(goHorzLine) ? FGridLineWidth : 0;
}

void TCustomGrid::LayoutChanged() {
    FLayoutValid = false;
    if (FEditorMode) PlaceEditor();
    Invalidate();
}

const TCustomGrid::TLayout& TCustomGrid::Layout() const {
    if (FLayoutValid) return FLayout;
    const int b = BorderWidth();
    TRect r = Rect(b, b, std::max(b, Width() - b), std::max(b, Height() - b));
    const int vl = VertLine(), hl = HorzLine();
    const bool allowV = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const bool allowH = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    // A bar is needed when the scrollable part does not fit (or is scrolled away from its start).
    auto needV = [&](int avail) {
        int a = ClampInt(avail - FRows.Span(0, FFixedRows, hl), -1, INT32_MAX);
        return FTopRow > FFixedRows || FRows.LastPageStart(FFixedRows, a, hl) > FFixedRows ||
               FRows.Span(FFixedRows, RowCount(), hl) - hl > a;
    };
    auto needH = [&](int avail) {
        int a = ClampInt(avail - FCols.Span(0, FFixedCols, vl), -1, INT32_MAX);
        return FLeftCol > FFixedCols || FCols.LastPageStart(FFixedCols, a, vl) > FFixedCols ||
               FCols.Span(FFixedCols, ColCount(), vl) - vl > a;
    };
    bool v = allowV && r.Width() > ScrollBarSize && needV(r.Height());
    bool h = allowH && r.Height() > ScrollBarSize && needH(r.Width() - (v ? ScrollBarSize : 0));
    if (!v && h && allowV && r.Width() > ScrollBarSize) v = needV(r.Height() - ScrollBarSize);
    TLayout L;
    L.VBar = v;
    L.HBar = h;
    L.Cells =
        Rect(r.Left, r.Top, r.Right - (v ? ScrollBarSize : 0), r.Bottom - (h ? ScrollBarSize : 0));
    if (v) L.VBarRect = Rect(L.Cells.Right, r.Top, r.Right, L.Cells.Bottom);
    if (h) L.HBarRect = Rect(r.Left, L.Cells.Bottom, L.Cells.Right, r.Bottom);
    FLayout = L;
    FLayoutValid = true;
    return FLayout;
}

TRect TCustomGrid::ClientRect() const { return Layout().Cells; }

void TCustomGrid::SizeChanged() {
    TCustomControl::SizeChanged();
    FLayoutValid = false;
    // A larger area may show what was scrolled away: pull the top-left back to the last page.
    int top = std::min(FTopRow, MaxTopRow()), left = std::min(FLeftCol, MaxLeftCol());
    if (top != FTopRow || left != FLeftCol) ScrollTo(left, top);
    if (FEditorMode) PlaceEditor();
    Invalidate();
}

int TCustomGrid::MaxTopRow() const {
    const TRect& a = Layout().Cells;
    int avail = ClampInt(a.Height() - FRows.Span(0, FFixedRows, HorzLine()), -1, INT32_MAX);
    return FRows.LastPageStart(FFixedRows, avail, HorzLine());
}

int TCustomGrid::MaxLeftCol() const {
    const TRect& a = Layout().Cells;
    int avail = ClampInt(a.Width() - FCols.Span(0, FFixedCols, VertLine()), -1, INT32_MAX);
    return FCols.LastPageStart(FFixedCols, avail, VertLine());
}

int TCustomGrid::VisibleRowCount() const {
    const TRect& a = Layout().Cells;
    std::int64_t avail = a.Height() - FRows.Span(0, FFixedRows, HorzLine());
    if (avail <= 0) return 0;
    return FRows.FullyVisibleFrom(FTopRow, int(avail), HorzLine());
}

int TCustomGrid::VisibleColCount() const {
    const TRect& a = Layout().Cells;
    std::int64_t avail = a.Width() - FCols.Span(0, FFixedCols, VertLine());
    if (avail <= 0) return 0;
    return FCols.FullyVisibleFrom(FLeftCol, int(avail), VertLine());
}

void TCustomGrid::VisibleSpans(bool Horizontal, std::vector<TSpan>& Out) const {
    Out.clear();
    const TRect& a = Layout().Cells;
    const TGridAxis& ax = Horizontal ? FCols : FRows;
    const int line = Horizontal ? VertLine() : HorzLine();
    const int fixed = Horizontal ? FFixedCols : FFixedRows;
    const int first = Horizontal ? FLeftCol : FTopRow;
    std::int64_t pos = Horizontal ? a.Left : a.Top;
    const int end = Horizontal ? a.Right : a.Bottom;
    for (int i = ax.NextShown(0); i < fixed && pos < end; i = ax.NextShown(i + 1)) {
        int s = ax.Size(i);
        Out.push_back({i, int(pos), s});
        pos += std::int64_t(s) + line;
    }
    for (int i = ax.NextShown(std::max(first, fixed)); i < ax.Count() && pos < end;
         i = ax.NextShown(i + 1)) {
        int s = ax.Size(i);
        Out.push_back({i, int(pos), s});
        pos += std::int64_t(s) + line;
    }
}

TCustomGrid::TSpan TCustomGrid::SpanOf(bool Horizontal, int Index) const {
    const TGridAxis& ax = Horizontal ? FCols : FRows;
    if (Index < 0 || Index >= ax.Count()) return {Index, 0, -1};
    const int s = ax.Size(Index);
    if (s == 0) return {Index, 0, -1};
    const TRect& a = Layout().Cells;
    const int line = Horizontal ? VertLine() : HorzLine();
    const int fixed = Horizontal ? FFixedCols : FFixedRows;
    const int first = Horizontal ? FLeftCol : FTopRow;
    std::int64_t pos = Horizontal ? a.Left : a.Top;
    const int end = Horizontal ? a.Right : a.Bottom;
    if (Index < fixed)
        pos += ax.Span(0, Index, line);
    else if (Index < first)
        return {Index, 0, -1};
    else
        pos += ax.Span(0, fixed, line) + ax.Span(first, Index, line);
    if (pos >= end) return {Index, 0, -1};
    return {Index, int(pos), s};
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    TSpan x = SpanOf(true, ACol), y = SpanOf(false, ARow);
    if (x.Size < 0 || y.Size < 0) return {};
    const TRect& a = Layout().Cells;
    return Rect(x.Start, y.Start,
                int(std::min<std::int64_t>(std::int64_t(x.Start) + x.Size, a.Right)),
                int(std::min<std::int64_t>(std::int64_t(y.Start) + y.Size, a.Bottom)));
}

int TCustomGrid::CellAt(bool Horizontal, int Pos) const {
    const TRect& a = Layout().Cells;
    if (Horizontal ? (Pos < a.Left || Pos >= a.Right) : (Pos < a.Top || Pos >= a.Bottom)) return -1;
    std::vector<TSpan> spans;
    VisibleSpans(Horizontal, spans);
    const int line = Horizontal ? VertLine() : HorzLine();
    for (const TSpan& s : spans)
        if (std::int64_t(Pos) < std::int64_t(s.Start) + s.Size + line) return s.Index;
    return -1;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    TGridCoord c{CellAt(true, X), CellAt(false, Y)};
    return c;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
    TGridCoord c = MouseCoord(X, Y);
    ACol = c.X;
    ARow = c.Y;
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
    TGridRect r{ACol, ARow, ACol, ARow};
    InvalidateGridRect(r);
}

void TCustomGrid::InvalidateRow(int ARow) {
    TGridRect r{0, ARow, ColCount() - 1, ARow};
    InvalidateGridRect(r);
}

void TCustomGrid::InvalidateCol(int ACol) {
    TGridRect r{ACol, 0, ACol, RowCount() - 1};
    InvalidateGridRect(r);
}

// Invalidates the visible part of a block of cells, lines included.
void TCustomGrid::InvalidateGridRect(const TGridRect& R) {
    if (!Showing()) return;
    std::vector<TSpan> cols, rows;
    VisibleSpans(true, cols);
    VisibleSpans(false, rows);
    auto range = [](const std::vector<TSpan>& spans, int lo, int hi, int line, int& from, int& to) {
        from = INT32_MAX;
        to = INT32_MIN;
        for (const TSpan& s : spans)
            if (s.Index >= lo && s.Index <= hi) {
                from = std::min(from, s.Start);
                to = std::max(to, s.Start + s.Size + line);
            }
        return from < to;
    };
    int l, r, t, b;
    if (!range(cols, std::min(R.Left, R.Right), std::max(R.Left, R.Right), VertLine(), l, r))
        return;
    if (!range(rows, std::min(R.Top, R.Bottom), std::max(R.Top, R.Bottom), HorzLine(), t, b))
        return;
    InvalidateRect(IntersectRect(Rect(l, t, r, b), Layout().Cells));
}

// ---- TCustomGrid: painting --------------------------------------------------------------------

void TCustomGrid::PaintBorder(TCanvas& C) {
    const int w = Width(), h = Height();
    if (FBorderStyle == bsNone) return;
    if (!FCtl3D) {
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(clWindowFrame);
        C.FrameRect(Rect(0, 0, w, h));
        return;
    }
    detail::DrawSunkenFrame(C, Rect(0, 0, w, h));
}

void TCustomGrid::Paint() {
    TCanvas& C = Canvas();
    PaintBorder(C);
    const TLayout& L = Layout();
    const TRect a = L.Cells;
    if (!a.IsEmpty()) {
        std::vector<TSpan> cols, rows;
        VisibleSpans(true, cols);
        VisibleSpans(false, rows);
        const TRect oldClip = C.ClipRect();
        C.IntersectClipRect(a);
        if (!C.ClipRect().IsEmpty()) {
            PaintCells(C, cols, rows);
            // Right of and below the last cell: the grid's colour.
            int right = cols.empty() ? a.Left : cols.back().Start + cols.back().Size + VertLine();
            int bottom = rows.empty() ? a.Top : rows.back().Start + rows.back().Size + HorzLine();
            FillSolid(C, Rect(std::max(right, a.Left), a.Top, a.Right, a.Bottom), Color());
            FillSolid(C,
                      Rect(a.Left, std::max(bottom, a.Top),
                           std::min(std::max(right, a.Left), a.Right), a.Bottom),
                      Color());
            // While a column or row is resized, a line shows where its edge will go.
            if (FGridState == gsColSizing)
                DrawFocusRectXor(C, Rect(FSizingPos, a.Top, FSizingPos + 1, a.Bottom));
            if (FGridState == gsRowSizing)
                DrawFocusRectXor(C, Rect(a.Left, FSizingPos, a.Right, FSizingPos + 1));
            // While a column or row is moved, a 2-pixel bar marks the edge it will land at:
            // the target's leading edge when moving back, its trailing edge when moving on.
            if ((FGridState == gsColMoving || FGridState == gsRowMoving) && FMoveTo != FMoveFrom) {
                const bool cm = FGridState == gsColMoving;
                TRect r = cm ? CellRect(FMoveTo, 0) : CellRect(0, FMoveTo);
                if (!r.IsEmpty()) {
                    const bool after = FMoveTo > FMoveFrom;
                    if (cm) {
                        int x = after ? r.Right : r.Left;
                        FillSolid(C, Rect(x - 1, a.Top, x + 1, a.Bottom), clHighlight);
                    } else {
                        int y = after ? r.Bottom : r.Top;
                        FillSolid(C, Rect(a.Left, y - 1, a.Right, y + 1), clHighlight);
                    }
                }
            }
        }
        C.SetClipRect(oldClip);
    }
    SyncScrollBars();
    FVBar->Paint(C, Enabled());
    FHBar->Paint(C, Enabled());
    if (L.VBar && L.HBar)
        FillSolid(C, Rect(L.VBarRect.Left, L.HBarRect.Top, L.VBarRect.Right, L.HBarRect.Bottom),
                  clBtnFace);
}

void TCustomGrid::PaintCells(TCanvas& C, const std::vector<TSpan>& Cols,
                             const std::vector<TSpan>& Rows) {
    const int vl = VertLine(), hl = HorzLine();
    const TRect clip = C.ClipRect();
    const TColor color = Color();
    const TColor scrollLine = ColorToRGB(color) == ColorToRGB(clSilver) ? clGray : clSilver;
    const bool fixedV = FOptions.contains(goFixedVertLine),
               fixedH = FOptions.contains(goFixedHorzLine);
    const bool scrollV = FOptions.contains(goVertLine), scrollH = FOptions.contains(goHorzLine);
    const bool focused = Focused() || (FInplaceEdit != nullptr && FEditorMode && EditorFocused());
    const TGridRect sel = Selection();
    const bool rowSelect = FOptions.contains(goRowSelect);

    // Lines first: right of and below each cell, in the colour of its area, or in the area's
    // background where that area's line option is off.
    if (vl > 0 || hl > 0) {
        C.Brush().SetStyle(bsSolid);
        for (const TSpan& r : Rows)
            for (const TSpan& c : Cols) {
                const bool fixed = c.Index < FFixedCols || r.Index < FFixedRows;
                const int x2 = c.Start + c.Size, y2 = r.Start + r.Size;
                if (vl > 0) {
                    TRect lr = Rect(x2, r.Start, x2 + vl, y2 + hl);
                    if (!IntersectRect(lr, clip).IsEmpty()) {
                        C.Brush().SetColor(fixed ? (fixedV ? clBlack : FFixedColor)
                                                 : (scrollV ? scrollLine : color));
                        C.FillRect(lr);
                    }
                }
                if (hl > 0) {
                    TRect lr = Rect(c.Start, y2, x2, y2 + hl);
                    if (!IntersectRect(lr, clip).IsEmpty()) {
                        C.Brush().SetColor(fixed ? (fixedH ? clBlack : FFixedColor)
                                                 : (scrollH ? scrollLine : color));
                        C.FillRect(lr);
                    }
                }
            }
    }

    if (!FDefaultDrawing) {
        // Without default drawing the cells start in the grid's colour; DrawCell does the rest.
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(color);
        for (const TSpan& r : Rows)
            for (const TSpan& c : Cols)
                C.FillRect(Rect(c.Start, r.Start, c.Start + c.Size, r.Start + r.Size));
    }

    const bool editorShown = FEditorMode && FInplaceEdit != nullptr;
    for (const TSpan& r : Rows)
        for (const TSpan& c : Cols) {
            const TRect cell = Rect(c.Start, r.Start, c.Start + c.Size, r.Start + r.Size);
            if (IntersectRect(cell, clip).IsEmpty()) continue;
            if (editorShown && c.Index == FCurrent.X && r.Index == FCurrent.Y) continue;
            TGridDrawState state;
            const bool fixed = c.Index < FFixedCols || r.Index < FFixedRows;
            if (fixed) {
                state.include(gdFixed);
            } else {
                if (c.Index >= sel.Left && c.Index <= sel.Right && r.Index >= sel.Top &&
                    r.Index <= sel.Bottom)
                    state.include(gdSelected);
                if (focused && c.Index == FCurrent.X && r.Index == FCurrent.Y)
                    state.include(gdFocused);
            }
            if (FDefaultDrawing) {
                C.Font().Assign(&Font());
                C.Brush().SetStyle(bsSolid);
                if (state.contains(gdSelected) &&
                    (!state.contains(gdFocused) || FOptions.contains(goDrawFocusSelected) ||
                     rowSelect)) {
                    C.Brush().SetColor(clHighlight);
                    C.Font().SetColor(clHighlightText);
                    C.FillRect(cell);
                } else if (fixed && FDrawingStyle == gdsGradient) {
                    FillVertGradient(C, cell, FGradientStartColor, FGradientEndColor);
                } else {
                    C.Brush().SetColor(fixed ? FFixedColor : color);
                    C.FillRect(cell);
                }
            }
            DrawCell(c.Index, r.Index, cell, state);
            if (FDefaultDrawing && fixed) {
                // Raised edge inside the cell, on the sides whose fixed lines are shown.
                if (fixedV) {
                    FillSolid(C, Rect(cell.Left, cell.Top, cell.Left + 1, cell.Bottom),
                              clBtnHighlight);
                    FillSolid(C, Rect(cell.Right - 1, cell.Top, cell.Right, cell.Bottom),
                              clBtnShadow);
                }
                if (fixedH) {
                    FillSolid(C, Rect(cell.Left, cell.Top, cell.Right, cell.Top + 1),
                              clBtnHighlight);
                    FillSolid(C, Rect(cell.Left, cell.Bottom - 1, cell.Right, cell.Bottom),
                              clBtnShadow);
                }
            }
            if (FDefaultDrawing && state.contains(gdFocused) && !rowSelect &&
                !(FOptions.contains(goEditing) && FOptions.contains(goAlwaysShowEditor)) &&
                !FOptions.contains(goDrawFocusSelected))
                DrawFocusRectXor(C, cell);
        }

    // With row selection one focus rectangle goes round the visible part of the selected rows.
    if (FDefaultDrawing && rowSelect && focused) {
        TRect fr{};
        for (const TSpan& r : Rows)
            for (const TSpan& c : Cols)
                if (c.Index >= FFixedCols && r.Index >= FFixedRows && c.Index >= sel.Left &&
                    c.Index <= sel.Right && r.Index >= sel.Top && r.Index <= sel.Bottom)
                    fr = UnionRect(fr, Rect(c.Start, r.Start, c.Start + c.Size, r.Start + r.Size));
        DrawFocusRectXor(C, fr);
    }
}

void TCustomGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    (void)ACol, (void)ARow, (void)ARect, (void)AState;
}

// ---- TCustomGrid: scroll bars -----------------------------------------------------------------

void TCustomGrid::SyncScrollBars() const {
    const TLayout& L = Layout();
    // Positions count scrollable rows / columns from 0; the thumb is one page's share of all
    // the scrollable ones.
    FVBar->SetBoundsRect(L.VBar ? L.VBarRect : TRect{});
    FVBar->SetRange(std::max(0, MaxTopRow() - FFixedRows), std::max(1, VisibleRowCount()), 1,
                    std::max(1, RowCount() - FFixedRows));
    FVBar->SetPos(FTopRow - FFixedRows);
    FHBar->SetBoundsRect(L.HBar ? L.HBarRect : TRect{});
    FHBar->SetRange(std::max(0, MaxLeftCol() - FFixedCols), std::max(1, VisibleColCount()), 1,
                    std::max(1, ColCount() - FFixedCols));
    FHBar->SetPos(FLeftCol - FFixedCols);
    const bool track = FOptions.contains(goThumbTracking);
    FVBar->SetTrackThumb(track);
    FHBar->SetTrackThumb(track);
}

// ---- TCustomGrid: current cell and scrolling --------------------------------------------------

TGridRect TCustomGrid::SelectionOf(TGridCoord Anchor, TGridCoord Current) const {
    TGridRect r{std::min(Anchor.X, Current.X), std::min(Anchor.Y, Current.Y),
                std::max(Anchor.X, Current.X), std::max(Anchor.Y, Current.Y)};
    if (FOptions.contains(goRowSelect)) {
        r.Left = FFixedCols;
        r.Right = ColCount() - 1;
    }
    return r;
}

TGridRect TCustomGrid::Selection() const { return SelectionOf(FAnchor, FCurrent); }

// An anchor outside the grid (a report list parks its selection past the last cell) cannot
// anchor a range: extending from it would select past the grid's edge.
bool TCustomGrid::InGrid(TGridCoord Cell) const {
    return Cell.X >= 0 && Cell.X < ColCount() && Cell.Y >= 0 && Cell.Y < RowCount();
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
    TGridRect old = Selection();
    TGridCoord cur{std::max(Value.Left, Value.Right), std::max(Value.Top, Value.Bottom)};
    if (FEditorMode && !(cur == FCurrent)) HideEditor();
    FAnchor = {std::min(Value.Left, Value.Right), std::min(Value.Top, Value.Bottom)};
    FCurrent = cur;
    InvalidateSelectionChange(old);
}

void TCustomGrid::InvalidateSelectionChange(const TGridRect& Old) {
    TGridRect now = Selection();
    if (now == Old) {
        InvalidateCell(FCurrent.X, FCurrent.Y);
        return;
    }
    InvalidateGridRect(Old);
    InvalidateGridRect(now);
}

bool TCustomGrid::SelectCell(int ACol, int ARow) {
    (void)ACol, (void)ARow;
    return true;
}

bool TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
    CheckIndex(ACol, ColCount());
    CheckIndex(ARow, RowCount());
    TGridCoord target{ACol, ARow};
    if (target == FCurrent && (!MoveAnchor || FAnchor == FCurrent)) {
        if (Show) ClampInView();
        return true;
    }
    auto alive = Handle();
    if (!SelectCell(ACol, ARow) || *alive == nullptr) return false;
    if (FEditorMode && !(target == FCurrent)) HideEditor();
    TGridRect old = Selection();
    FCurrent = target;
    if (MoveAnchor || !RangeSelectOn() || !InGrid(FAnchor)) FAnchor = FCurrent;
    InvalidateSelectionChange(old);
    if (Show) ClampInView();
    if (FOptions.contains(goAlwaysShowEditor) && !FEditorMode && (Focused() || EditorFocused()))
        ShowEditor();
    return true;
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    CheckIndex(ACol, ColCount());
    CheckIndex(ARow, RowCount());
    TGridCoord target{ACol, ARow};
    if (FEditorMode && !(target == FCurrent)) HideEditor();
    TGridRect old = Selection();
    FCurrent = target;
    if (MoveAnchor || !RangeSelectOn() || !InGrid(FAnchor)) FAnchor = FCurrent;
    InvalidateSelectionChange(old);
}

void TCustomGrid::SetCol(int Value) {
    CheckIndex(Value, ColCount());
    MoveColRow(Value, FCurrent.Y < RowCount() ? FCurrent.Y : RowCount() - 1, true, true);
}

void TCustomGrid::SetRow(int Value) {
    CheckIndex(Value, RowCount());
    MoveColRow(FCurrent.X < ColCount() ? FCurrent.X : ColCount() - 1, Value, true, true);
}

void TCustomGrid::ClampInView() {
    const TRect& a = Layout().Cells;
    int top = FTopRow, left = FLeftCol;
    if (FCurrent.Y >= FFixedRows && FCurrent.Y < RowCount()) {
        int avail = ClampInt(a.Height() - FRows.Span(0, FFixedRows, HorzLine()), -1, INT32_MAX);
        if (FCurrent.Y < top)
            top = FCurrent.Y;
        else if (FCurrent.Y >= top + FRows.FullyVisibleFrom(top, avail, HorzLine()))
            top = FRows.FirstToShow(FFixedRows, FCurrent.Y, avail, HorzLine());
    }
    if (!FOptions.contains(goRowSelect) && FCurrent.X >= FFixedCols && FCurrent.X < ColCount()) {
        int avail = ClampInt(a.Width() - FCols.Span(0, FFixedCols, VertLine()), -1, INT32_MAX);
        if (FCurrent.X < left)
            left = FCurrent.X;
        else if (FCurrent.X >= left + FCols.FullyVisibleFrom(left, avail, VertLine()))
            left = FCols.FirstToShow(FFixedCols, FCurrent.X, avail, VertLine());
    }
    ScrollTo(left, top);
}

void TCustomGrid::SetTopRow(int Value) {
    ScrollTo(FLeftCol, std::clamp(Value, FFixedRows, RowCount() - 1));
}

void TCustomGrid::SetLeftCol(int Value) {
    ScrollTo(std::clamp(Value, FFixedCols, ColCount() - 1), FTopRow);
}

void TCustomGrid::ScrollTo(int ALeftCol, int ATopRow) {
    ALeftCol = std::clamp(ALeftCol, FFixedCols, std::max(FFixedCols, ColCount() - 1));
    ATopRow = std::clamp(ATopRow, FFixedRows, std::max(FFixedRows, RowCount() - 1));
    if (ALeftCol == FLeftCol && ATopRow == FTopRow) return;
    FLeftCol = ALeftCol;
    FTopRow = ATopRow;
    FLayoutValid = false; // whether a bar shows depends on being scrolled
    if (FEditorMode) PlaceEditor();
    Invalidate();
    TopLeftChanged();
}

// ---- TCustomGrid: keyboard --------------------------------------------------------------------

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS;
    if (FOptions.contains(goTabs)) Message.Result |= DLGC_WANTTAB;
    if (FOptions.contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::KeyMove(int ACol, int ARow, TShiftState Shift) {
    ACol = std::clamp(ACol, FFixedCols, ColCount() - 1);
    ARow = std::clamp(ARow, FFixedRows, RowCount() - 1);
    const bool extend = Shift.contains(ssShift) && RangeSelectOn();
    TGridCoord before = FCurrent, anchorBefore = FAnchor;
    auto alive = Handle();
    if (!MoveColRow(ACol, ARow, !extend, true) || *alive == nullptr) return;
    if (!(FCurrent == before) || !(FAnchor == anchorBefore)) Click();
}

void TCustomGrid::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    auto alive = Handle();
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0 || *alive == nullptr) return;
    const bool ctrl = Shift.contains(ssCtrl);
    const bool rowSelect = FOptions.contains(goRowSelect);
    // A current cell left outside the grid (by an assigned Selection) starts from the nearest.
    int c = std::clamp(FCurrent.X, FFixedCols, ColCount() - 1);
    int r = std::clamp(FCurrent.Y, FFixedRows, RowCount() - 1);
    const int page = std::max(1, VisibleRowCount());
    TShiftState moveShift = Shift;
    switch (Key) {
    case VK_UP:
        if (ctrl) {
            ScrollTo(FLeftCol, std::max(FTopRow - 1, FFixedRows));
            return;
        }
        --r;
        break;
    case VK_DOWN:
        if (ctrl) {
            ScrollTo(FLeftCol, std::min(FTopRow + 1, MaxTopRow()));
            return;
        }
        ++r;
        break;
    case VK_LEFT:
        if (rowSelect) {
            ScrollTo(std::max(FLeftCol - 1, FFixedCols), FTopRow);
            return;
        }
        --c;
        break;
    case VK_RIGHT:
        if (rowSelect) {
            ScrollTo(std::min(FLeftCol + 1, MaxLeftCol()), FTopRow);
            return;
        }
        ++c;
        break;
    case VK_NEXT:
        if (ctrl) {
            r = FTopRow + std::max(VisibleRowCount(), 1) - 1;
        } else {
            ScrollTo(FLeftCol, std::min(FTopRow + page, std::max(MaxTopRow(), FTopRow)));
            r += page;
        }
        break;
    case VK_PRIOR:
        if (ctrl) {
            r = FTopRow;
        } else {
            ScrollTo(FLeftCol, std::max(FTopRow - page, FFixedRows));
            r -= page;
        }
        break;
    case VK_HOME:
        if (ctrl) {
            c = FFixedCols;
            r = FFixedRows;
        } else if (rowSelect) {
            r = FFixedRows;
        } else {
            c = FFixedCols;
        }
        break;
    case VK_END:
        if (ctrl) {
            c = ColCount() - 1;
            r = RowCount() - 1;
        } else if (rowSelect) {
            r = RowCount() - 1;
        } else {
            c = ColCount() - 1;
        }
        break;
    case VK_TAB:
        if (!FOptions.contains(goTabs) || Shift.contains(ssAlt)) return;
        moveShift = {};
        if (Shift.contains(ssShift)) {
            if (--c < FFixedCols) {
                c = ColCount() - 1;
                if (--r < FFixedRows) r = RowCount() - 1;
            }
        } else {
            if (++c >= ColCount()) {
                c = FFixedCols;
                if (++r >= RowCount()) r = FFixedRows;
            }
        }
        break;
    case VK_F2:
        if (FOptions.contains(goEditing)) SetEditorMode(true);
        return;
    default:
        return;
    }
    KeyMove(c, r, moveShift);
}

void TCustomGrid::KeyPress(char32_t& Key) {
    auto alive = Handle();
    TCustomControl::KeyPress(Key);
    if (Key == 0 || *alive == nullptr) return;
    if (!FOptions.contains(goEditing)) return;
    if (Key == 13) {
        // Enter toggles the editor (it stays open with goAlwaysShowEditor).
        if (!FOptions.contains(goAlwaysShowEditor)) {
            if (FEditorMode) {
                HideEditor();
                if (CanFocus()) SetFocus();
            } else {
                ShowEditor();
            }
        }
        Key = 0;
        return;
    }
    if (!FEditorMode && (Key == 8 || (Key >= 32 && Key != 127))) {
        char32_t ch = Key;
        Key = 0;
        ShowEditorChar(ch);
    }
}

// ---- TCustomGrid: focus -----------------------------------------------------------------------

void TCustomGrid::WMSetFocus(TMessage& Message) {
    (void)Message;
    InvalidateGridRect(Selection());
    if (!FHidingEditor && FOptions.contains(goAlwaysShowEditor) && CanEditShow()) ShowEditor();
}

void TCustomGrid::WMKillFocus(TMessage& Message) {
    InvalidateGridRect(Selection());
    // Focus leaving the grid (and not for its editor) closes the editor.
    // WM_KILLFOCUS carries the control that gets the focus in WParam, as the platform's does.
    auto* now = reinterpret_cast<TWinControl*>(Message.WParam); // NOLINT(performance-no-int-to-ptr)
    if (FEditorMode && FInplaceEdit != nullptr &&
        now != reinterpret_cast<TWinControl*>(FInplaceEdit))
        HideEditor();
}

// ---- TCustomGrid: mouse -----------------------------------------------------------------------

bool TCustomGrid::SizingHit(int X, int Y, bool& Horizontal, int& Index, int& LineStart) const {
    const TRect& a = Layout().Cells;
    if (!a.Contains({X, Y})) return false;
    const int vl = VertLine(), hl = HorzLine();
    std::vector<TSpan> spans;
    auto nearest = [&](int P, int fixedCount, int line) {
        int best = -1, bestDist = SizingSlop + 1;
        for (const TSpan& s : spans) {
            if (s.Index < fixedCount) continue; // only scrollable items are resized
            int edge = s.Start + s.Size + line / 2;
            int d = std::abs(P - edge);
            if (d < bestDist) {
                bestDist = d;
                best = int(&s - spans.data());
            }
        }
        return best;
    };
    if (FOptions.contains(goColSizing) && Y < a.Top + FRows.Span(0, FFixedRows, hl)) {
        VisibleSpans(true, spans);
        int k = nearest(X, FFixedCols, vl);
        if (k >= 0) {
            Horizontal = true;
            Index = spans[std::size_t(k)].Index;
            LineStart = spans[std::size_t(k)].Start;
            return true;
        }
    }
    if (FOptions.contains(goRowSizing) && X < a.Left + FCols.Span(0, FFixedCols, vl)) {
        VisibleSpans(false, spans);
        int k = nearest(Y, FFixedRows, hl);
        if (k >= 0) {
            Horizontal = false;
            Index = spans[std::size_t(k)].Index;
            LineStart = spans[std::size_t(k)].Start;
            return true;
        }
    }
    return false;
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    FEditOnUp = false;
    FLastMouse = {X, Y};
    if (Button == mbLeft && !Focused() && !EditorFocused() && CanFocus()) {
        SetFocus();
        if (*alive == nullptr) return;
    }
    if (Button == mbLeft && Enabled()) {
        SyncScrollBars();
        detail::TScrollBar* bar = nullptr;
        for (detail::TScrollBar* b : {FVBar.get(), FHBar.get()})
            if (b->Shown() && b->HitTest({X, Y}) != detail::TScrollBar::bpNone) bar = b;
        bool horizontal = true;
        int index = -1, start = 0;
        if (bar != nullptr) {
            FBarMouse = bar;
            bar->MouseDown({X, Y});
            if (*alive == nullptr) return;
            Invalidate();
        } else if (SizingHit(X, Y, horizontal, index, start)) {
            FGridState = horizontal ? gsColSizing : gsRowSizing;
            FSizingIndex = index;
            FSizingStart = start;
            FSizingPos = horizontal ? X : Y;
            Invalidate();
        } else {
            TGridCoord cell = MouseCoord(X, Y);
            if (FOptions.contains(goColMoving) && cell.Y >= 0 && cell.Y < FFixedRows &&
                cell.X >= FFixedCols) {
                // A column's header cell: the column follows the pointer until the release.
                FGridState = gsColMoving;
                FMoveFrom = FMoveTo = cell.X;
            } else if (FOptions.contains(goRowMoving) && cell.X >= 0 && cell.X < FFixedCols &&
                       cell.Y >= FFixedRows) {
                FGridState = gsRowMoving;
                FMoveFrom = FMoveTo = cell.Y;
            } else if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
                const bool wasCurrent = cell == FCurrent;
                if (wasCurrent && FOptions.contains(goEditing) && !FEditorMode &&
                    !Shift.contains(ssDouble)) {
                    FEditOnUp = true;
                }
                if (Shift.contains(ssShift) && RangeSelectOn())
                    MoveColRow(cell.X, cell.Y, false, true);
                else
                    MoveColRow(cell.X, cell.Y, true, true);
                if (*alive == nullptr) return;
                FGridState = gsSelecting;
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

// Selecting with the button held: the cell under the pointer becomes current (the range grows
// with range selection). Beyond the cell area the grid scrolls one row / column towards the
// pointer, now and on every tick of the repeat timer while the pointer stays out there.
void TCustomGrid::SelectAtPoint(int X, int Y) {
    auto alive = Handle();
    const TRect& a = Layout().Cells;
    int left = FLeftCol, top = FTopRow;
    const int fixedRight = a.Left + int(FCols.Span(0, FFixedCols, VertLine()));
    const int fixedBottom = a.Top + int(FRows.Span(0, FFixedRows, HorzLine()));
    if (Y >= a.Bottom) top = std::min(FTopRow + 1, std::max(MaxTopRow(), FTopRow));
    if (Y < fixedBottom && FTopRow > FFixedRows) top = FTopRow - 1;
    if (!FOptions.contains(goRowSelect)) {
        if (X >= a.Right) left = std::min(FLeftCol + 1, std::max(MaxLeftCol(), FLeftCol));
        if (X < fixedRight && FLeftCol > FFixedCols) left = FLeftCol - 1;
    }
    const bool outside = Y >= a.Bottom || Y < fixedBottom || X >= a.Right || X < fixedRight;
    if (left != FLeftCol || top != FTopRow) ScrollTo(left, top);
    if (*alive == nullptr) return;
    if (outside)
        StartRepeat(SelectRepeatMs);
    else
        StopRepeat();
    std::vector<TSpan> cols, rows;
    VisibleSpans(true, cols);
    VisibleSpans(false, rows);
    auto pick = [](const std::vector<TSpan>& spans, int fixedCount, int P, int line) {
        int found = -1;
        for (const TSpan& sp : spans) {
            if (sp.Index < fixedCount) continue;
            if (found < 0 || P >= sp.Start) found = sp.Index; // the last one starting before P
            if (P < sp.Start + sp.Size + line) break;
        }
        return found;
    };
    int c = pick(cols, FFixedCols, X, VertLine());
    int r = pick(rows, FFixedRows, Y, HorzLine());
    // Beyond the edge the selection stops at the last whole row / column (the scrolling above
    // brings the next one in), so a partly shown one does not scroll a second time.
    if (Y >= a.Bottom && VisibleRowCount() > 0) r = std::min(r, FTopRow + VisibleRowCount() - 1);
    if (X >= a.Right && VisibleColCount() > 0) c = std::min(c, FLeftCol + VisibleColCount() - 1);
    if (c >= 0 && r >= 0 && !(TGridCoord{c, r} == FCurrent)) {
        FEditOnUp = false;
        MoveColRow(c, r, !RangeSelectOn(), true);
    }
}

void TCustomGrid::StartRepeat(int DelayMs) {
    if (!FRepeatTimer) FRepeatTimer = std::make_unique<TMessageTimer>([this] { RepeatTick(); });
    if (FRepeating) return; // keep the running period
    FRepeating = true;
    FRepeatTimer->TryStart(std::uint32_t(DelayMs));
}

void TCustomGrid::StopRepeat() {
    if (!FRepeating) return;
    FRepeating = false;
    if (FRepeatTimer) FRepeatTimer->Stop();
}

void TCustomGrid::RepeatTick() {
    if (!FRepeating) return;
    // The button went up where this grid did not see it: nothing repeats any more.
    if (!MouseCapture()) {
        StopRepeat();
        return;
    }
    if (FGridState == gsSelecting)
        SelectAtPoint(FLastMouse.X, FLastMouse.Y);
    else
        StopRepeat();
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    if (!Shift.contains(ssLeft) && (FGridState != gsNormal || FBarMouse != nullptr)) {
        // The release never reached this grid (a descendant's MouseUp kept it): the drag is
        // over, and nothing of it is applied.
        FGridState = gsNormal;
        if (FBarMouse != nullptr) FBarMouse->Cancel();
        FBarMouse = nullptr;
        FEditOnUp = false;
        StopRepeat();
        Invalidate();
    }
    FLastMouse = {X, Y};
    if (FBarMouse != nullptr) {
        FBarMouse->MouseMove({X, Y});
        if (*alive == nullptr) return;
        InvalidateRect(FBarMouse->BoundsRect());
    } else if (FGridState == gsSelecting) {
        SelectAtPoint(X, Y);
        if (*alive == nullptr) return;
    } else if (FGridState == gsColMoving || FGridState == gsRowMoving) {
        // The target is the scrollable column / row under the pointer; over fixed cells or
        // past the last one the previous target stays.
        TGridCoord cell = MouseCoord(X, Y);
        int to = FGridState == gsColMoving ? cell.X : cell.Y;
        if (to >= (FGridState == gsColMoving ? FFixedCols : FFixedRows) && to != FMoveTo) {
            FMoveTo = to;
            Invalidate();
        }
    } else if (FGridState == gsColSizing || FGridState == gsRowSizing) {
        int p = FGridState == gsColSizing ? X : Y;
        p = std::max(p, FSizingStart);
        if (p != FSizingPos) {
            FSizingPos = p;
            Invalidate();
        }
    } else if (FOptions.contains(goColSizing) || FOptions.contains(goRowSizing)) {
        bool horizontal = true;
        int index = -1, start = 0;
        bool hit = SizingHit(X, Y, horizontal, index, start);
        if (hit) {
            if (!FSizingCursor) FSavedCursor = Cursor();
            FSizingCursor = true;
            SetCursor(horizontal ? crHSplit : crVSplit);
        } else if (FSizingCursor) {
            FSizingCursor = false;
            SetCursor(FSavedCursor);
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    if (Button == mbLeft) {
        StopRepeat();
        if (FBarMouse != nullptr) {
            // A thumb that does not track scrolls now.
            detail::TScrollBar* bar = FBarMouse;
            FBarMouse = nullptr;
            bar->MouseUp();
            if (*alive == nullptr) return;
            Invalidate();
        }
        const TGridState state = FGridState;
        FGridState = gsNormal;
        if (state == gsColSizing || state == gsRowSizing) {
            int size = std::max(0, FSizingPos - FSizingStart);
            Invalidate();
            if (state == gsColSizing) {
                SetColWidths(FSizingIndex, size);
                ColWidthsChanged();
            } else {
                SetRowHeights(FSizingIndex, size);
                RowHeightsChanged();
            }
            if (*alive == nullptr) return;
        } else if (state == gsColMoving || state == gsRowMoving) {
            const int from = FMoveFrom, to = FMoveTo;
            FMoveFrom = FMoveTo = -1;
            Invalidate();
            if (state == gsColMoving)
                MoveColumn(from, to);
            else
                MoveRow(from, to);
            if (*alive == nullptr) return;
        } else if (state == gsSelecting && FEditOnUp) {
            FEditOnUp = false;
            if (MouseCoord(X, Y) == FCurrent) ShowEditor();
            if (*alive == nullptr) return;
        }
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    auto alive = Handle();
    bool handled = TCustomControl::DoMouseWheelDown(Shift, MousePos);
    if (handled || *alive == nullptr) return true;
    if (FCurrent.Y < RowCount() - 1) KeyMove(FCurrent.X, FCurrent.Y + 1, {});
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    auto alive = Handle();
    bool handled = TCustomControl::DoMouseWheelUp(Shift, MousePos);
    if (handled || *alive == nullptr) return true;
    if (FCurrent.Y > FFixedRows) KeyMove(FCurrent.X, FCurrent.Y - 1, {});
    return true;
}

// ---- TCustomDrawGrid --------------------------------------------------------------------------

void TCustomDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (FOnDrawCell) FOnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TCustomDrawGrid::SelectCell(int ACol, int ARow) {
    bool can = true;
    if (FOnSelectCell) FOnSelectCell(this, ACol, ARow, can);
    return can;
}

void TCustomDrawGrid::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    if (FOnTopLeftChanged) FOnTopLeftChanged(this);
}

void TCustomDrawGrid::ColWidthsChanged() {
    TCustomGrid::ColWidthsChanged();
    if (FOnColWidthsChanged) FOnColWidthsChanged(this);
}

void TCustomDrawGrid::RowHeightsChanged() {
    TCustomGrid::RowHeightsChanged();
    if (FOnRowHeightsChanged) FOnRowHeightsChanged(this);
}

void TCustomDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
    TCustomGrid::ColumnMoved(FromIndex, ToIndex);
    if (FOnColumnMoved) FOnColumnMoved(this, FromIndex, ToIndex);
}

void TCustomDrawGrid::RowMoved(int FromIndex, int ToIndex) {
    TCustomGrid::RowMoved(FromIndex, ToIndex);
    if (FOnRowMoved) FOnRowMoved(this, FromIndex, ToIndex);
}

std::string TCustomDrawGrid::GetEditText(int ACol, int ARow) {
    std::string s = TCustomGrid::GetEditText(ACol, ARow);
    if (FOnGetEditText) FOnGetEditText(this, ACol, ARow, s);
    return s;
}

void TCustomDrawGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    TCustomGrid::SetEditText(ACol, ARow, Value);
    if (FOnSetEditText) FOnSetEditText(this, ACol, ARow, Value);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
// The grid properties every grid publishes (descendants such as the report list start from
// here); the counts and sizes are the draw grid's, a descendant that sizes itself from its data
// declares what it keeps.
const TClassRegistrar<TCustomGrid> customGridReg("TCustomGrid", "TCustomControl", [](auto& p) {
    using G = TCustomGrid;
    p.Set("Options", &G::Options, &G::SetOptions,
          TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect},
          {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
           "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
           "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"});
    p.Bool("DefaultDrawing", &G::DefaultDrawing, &G::SetDefaultDrawing, true);
    p.Color("FixedColor", &G::FixedColor, &G::SetFixedColor, clBtnFace);
    p.Enum("DrawingStyle", &G::DrawingStyle, &G::SetDrawingStyle, gdsThemed,
           {"gdsClassic", "gdsThemed", "gdsGradient"});
    p.Color("GradientStartColor", &G::GradientStartColor, &G::SetGradientStartColor, clWhite);
    p.Color("GradientEndColor", &G::GradientEndColor, &G::SetGradientEndColor, TColor(0xDCDCDC));
    p.Enum("ScrollBars", &G::ScrollBars, &G::SetScrollBars, ssBoth,
           {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
    p.Enum("BorderStyle", &G::BorderStyle, &G::SetBorderStyle, bsSingle,
           {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    // Ctl3D comes from the windowed control (the grid redraws its frame); colour, font,
    // visibility, Enabled and TabStop from the control bases.
});

// What every draw grid publishes beyond that belongs to TCustomDrawGrid, so that classes built
// on it (the report list view) publish it too; TDrawGrid adds the shape of its table, which such
// classes derive from their own data.
const TClassRegistrar<TCustomDrawGrid>
    customDrawGridReg("TCustomDrawGrid", "TCustomGrid", [](auto& p) {
        using G = TCustomGrid;
        p.Int("DefaultColWidth", &G::DefaultColWidth, &G::SetDefaultColWidth, 64);
        p.Int("DefaultRowHeight", &G::DefaultRowHeight, &G::SetDefaultRowHeight, 24);
        p.Int("GridLineWidth", &G::GridLineWidth, &G::SetGridLineWidth, 1);
    });

const TClassRegistrar<TDrawGrid> drawGridReg("TDrawGrid", "TCustomDrawGrid", [](auto& p) {
    p.Int("ColCount", &TDrawGrid::ColCount, &TDrawGrid::SetColCount, 5);
    p.Int("RowCount", &TDrawGrid::RowCount, &TDrawGrid::SetRowCount, 5);
    p.Int("FixedCols", &TDrawGrid::FixedCols, &TDrawGrid::SetFixedCols, 1);
    p.Int("FixedRows", &TDrawGrid::FixedRows, &TDrawGrid::SetFixedRows, 1);
});
} // namespace

} // namespace kel
