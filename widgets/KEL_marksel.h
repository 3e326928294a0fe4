// TMarkSel: a marker selector. The visible ones of the 52 marker symbols DrawMarkOnCanvas draws
// (Kel_kelbase.h) are laid out in a grid of NrOfColumns x NrOfRows cells; the marker nearest to
// the mouse is highlighted, a left click (or double click) selects it and reports it. Marker 0
// can be shown as a cross. A windowless control: it takes no keys.
//
// Layout (recomputed from the size at every paint and for every mouse position): cell width
// DH = (Width - 4) div NrOfColumns, cell height DV = (Height - 4) div NrOfRows; the k-th visible
// marker (k from 0, in index order) has its cell origin at X = DH div 2 + DH * (k mod
// NrOfColumns), Y = DV div 2 + DV * (k div NrOfColumns) and its symbol centred on (X + 2, Y + 2).
// Markers past the last row fall below the visible area (with the initial 8 x 6 grid: 48..51).
//
// Choices where the rules leave room:
// - The highlight belongs to the picture: moving the mouse onto another marker invalidates the
//   two cells and the paint draws the highlighted one, so a repaint never loses it. Leaving the
//   control removes the highlight; a disabled control shows none.
// - Every setter invalidates (the paint follows when the loop is idle); equal values and values
//   out of range do nothing.
// - A double click reports the marker to OnMarkClick on each release and to OnMarkDblClick on
//   the second press: press, release (OnMarkClick), second press (OnMarkDblClick), release
//   (OnMarkClick).
#pragma once

#include "Kel_kelbase.h"
#include "kel_controls.h"

#include <array>
#include <functional>
#include <utility>

namespace kel {

// Sender, mouse position (client pixels) and the marker picked (0..51).
using TMarkClickEvent = std::function<void(TObject* Sender, int X, int Y, int Mark)>;

// Cell size of the grid: DH = (Width - 4) div Cols, DV = (Height - 4) div Rows (truncated toward
// zero, as the rules give it). Pure, for tests.
TPoint MarkSelCellSize(int Width, int Height, int Cols, int Rows);

// Writes the cell origins of the visible markers (Visible[i]) into Coords, packed in index order
// over Cols columns of a DH x DV grid; hidden markers keep what Coords held.
void MarkSelLayout(const std::array<bool, NumMarkers>& Visible, int Cols, int DH, int DV,
                   std::array<TPoint, NumMarkers>& Coords);

// The visible marker whose cell origin is nearest to (X, Y) (squared distance; on a tie the
// lower index; marker 0 when none is nearer than 1e10).
int MarkSelNearest(const std::array<bool, NumMarkers>& Visible,
                   const std::array<TPoint, NumMarkers>& Coords, int X, int Y);

class TMarkSel : public TGraphicControl {
  public:
    // 236 x 178, all 52 markers visible, the defaults below.
    explicit TMarkSel(TComponent* AOwner);
    std::string ClassName() const override { return "TMarkSel"; }

    // --- published properties (defaults in brackets) ---
    // Columns and rows of the grid, 1..51 (other values are ignored) [8, 6].
    int NrOfColumns() const { return FNrCols; }
    void SetNrOfColumns(int Value);
    int NrOfRows() const { return FNrRows; }
    void SetNrOfRows(int Value);
    // Background [clBtnFace], symbols and the border ring of fstSimple [clBlack], highlighted cell
    // [clRed] and its symbol [clWhite], selected cell [clWhite] and its symbol and outline
    // [clNavy]. A disabled selector ignores them and draws in greys: background 0xC0C0C0,
    // symbols 0x808080, selected cell 0xDEDEDE.
    TColor ColorBackGnd() const { return FColorBG; }
    void SetColorBackGnd(TColor Value);
    TColor ColorMarks() const { return FColorFG; }
    void SetColorMarks(TColor Value);
    TColor ColorHiLiteBG() const { return FColorHiLite; }
    void SetColorHiLiteBG(TColor Value);
    TColor ColorHiLiteSymbol() const { return FColorHiSymb; }
    void SetColorHiLiteSymbol(TColor Value);
    TColor ColorSelBG() const { return FColorSelBG; }
    void SetColorSelBG(TColor Value);
    TColor ColorSelFG() const { return FColorSelFG; }
    void SetColorSelFG(TColor Value);
    // Frame over (0, 0, Width - 1, Height - 1) [fstSimple]; values past fstSimple are ignored.
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    // The selected marker, -1 for none; values outside -1..51 are ignored [-1]. A hidden marker
    // may be selected; it is just not shown.
    int Selected() const { return FSelected; }
    void SetSelected(int Value);
    // Marker 0 drawn as a cross over the first cell instead of its dot [true].
    bool ShowZeroAsCross() const { return FZeroAsCross; }
    void SetShowZeroAsCross(bool Value);
    // Inherited and published as well: Enabled [true], Visible, Align, ShowHint, ParentShowHint,
    // StyleElements and the mouse events.

    // Visibility of marker Index; Index outside 0..51 reads marker 0 (always visible). Writing
    // is accepted for 1..51 only.
    bool MarkVisible(int Index) const;
    void SetMarkVisible(int Index, bool Value);
    // Markers 1..51 visible / hidden (marker 0 stays visible).
    void ShowAllMarks();
    void HideAllMarks();

    // The highlighted marker, -1 for none.
    int HighlightedMark() const { return FLastHiLite; }
    // The cell origin of a visible marker in the present layout ((0, 0) for an index outside
    // 0..51; a hidden marker keeps its last position).
    TPoint MarkPosition(int Mark);
    // The visible marker nearest to a client point in the present layout.
    int NearestMark(int X, int Y);

    // Left release (OnMarkClick) and the second press of a double click (OnMarkDblClick): the
    // nearest visible marker becomes Selected and highlighted, then the event fires.
    const TMarkClickEvent& OnMarkClick() const { return FOnMarkClick; }
    void SetOnMarkClick(TMarkClickEvent Handler) { FOnMarkClick = std::move(Handler); }
    const TMarkClickEvent& OnMarkDblClick() const { return FOnMarkDblClick; }
    void SetOnMarkDblClick(TMarkClickEvent Handler) { FOnMarkDblClick = std::move(Handler); }
    // After each paint.
    const TNotifyEvent& OnPaint() const { return FOnPaint; }
    void SetOnPaint(TNotifyEvent Handler) { FOnPaint = std::move(Handler); }

  protected:
    // Into a work bitmap of the control's size, then copied: background, the visible markers
    // (the selected one in its cell), the highlighted cell, the frame; then OnPaint.
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

  private:
    void Changed() { Invalidate(); }
    // Recomputes FMarkDistHorz/Vert, the margins and FMarkCoords from the present size.
    void CalcLayout();
    // Draws marker Mark (or the cross for marker 0) with the current pen.
    void DrawMarker(TCanvas& C, int Mark) const;
    // The rectangle a cell's selection or restore covers (also what a highlight change
    // invalidates).
    TRect CellRect(int Mark) const;
    void SetHighlight(int Mark);
    void Pick(int X, int Y, const TMarkClickEvent& Event);

    std::array<bool, NumMarkers> FMarkVis{};
    std::array<TPoint, NumMarkers> FMarkCoords{};
    TColor FColorBG = clBtnFace;
    TColor FColorFG = clBlack;
    TColor FColorSelFG = clNavy;
    TColor FColorSelBG = clWhite;
    int FSelected = -1;
    TFrameStyle FFrameStyle = fstSimple;
    int FLastHiLite = -1;
    TColor FColorHiLite = clRed;
    TColor FColorHiSymb = clWhite;
    int FNrCols = 8;
    int FNrRows = 6;
    bool FZeroAsCross = true;
    int FMarkMarginHorz = 0, FMarkMarginVert = 0;
    int FMarkDistHorz = 0, FMarkDistVert = 0;
    TMarkClickEvent FOnMarkClick, FOnMarkDblClick;
    TNotifyEvent FOnPaint;
};

} // namespace kel
