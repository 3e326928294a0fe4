// TMarkSel: the grid layout and the nearest-marker search, state and setters, the mouse
// (highlight, click, double click), painting and the published list of the marker selector.
#include "KEL_marksel.h"

#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <cstdint>

namespace kel {

// ---- Geometry ---------------------------------------------------------------------------------

TPoint MarkSelCellSize(int Width, int Height, int Cols, int Rows) {
    return TPoint{(Width - 4) / std::max(Cols, 1), (Height - 4) / std::max(Rows, 1)};
}

void MarkSelLayout(const std::array<bool, NumMarkers>& Visible, int Cols, int DH, int DV,
                   std::array<TPoint, NumMarkers>& Coords) {
    Cols = std::max(Cols, 1);
    const int mh = DH / 2, mv = DV / 2;
    int k = 0;
    for (int i = 0; i < NumMarkers; ++i) {
        if (!Visible[std::size_t(i)]) continue;
        Coords[std::size_t(i)] = TPoint{mh + DH * (k % Cols), mv + (k / Cols) * DV};
        ++k;
    }
}

int MarkSelNearest(const std::array<bool, NumMarkers>& Visible,
                   const std::array<TPoint, NumMarkers>& Coords, int X, int Y) {
    double best = 1e10;
    int mark = 0;
    for (int i = 0; i < NumMarkers; ++i) {
        if (!Visible[std::size_t(i)]) continue;
        const double dx = double(X) - Coords[std::size_t(i)].X;
        const double dy = double(Y) - Coords[std::size_t(i)].Y;
        const double d = dx * dx + dy * dy;
        if (d < best) { // strictly nearer: on a tie the lower index stays
            best = d;
            mark = i;
        }
    }
    return mark;
}

// ---- State ------------------------------------------------------------------------------------

TMarkSel::TMarkSel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FMarkVis.fill(true);
    InitBounds(0, 0, 236, 178);
}

void TMarkSel::SetNrOfColumns(int Value) {
    if (Value < 1 || Value > 51) return;
    if (SetField(FNrCols, Value)) Changed();
}

void TMarkSel::SetNrOfRows(int Value) {
    if (Value < 1 || Value > 51) return;
    if (SetField(FNrRows, Value)) Changed();
}

void TMarkSel::SetColorBackGnd(TColor Value) {
    if (SetField(FColorBG, Value)) Changed();
}

void TMarkSel::SetColorMarks(TColor Value) {
    if (SetField(FColorFG, Value)) Changed();
}

void TMarkSel::SetColorHiLiteBG(TColor Value) {
    if (SetField(FColorHiLite, Value)) Changed();
}

void TMarkSel::SetColorHiLiteSymbol(TColor Value) {
    if (SetField(FColorHiSymb, Value)) Changed();
}

void TMarkSel::SetColorSelBG(TColor Value) {
    if (SetField(FColorSelBG, Value)) Changed();
}

void TMarkSel::SetColorSelFG(TColor Value) {
    if (SetField(FColorSelFG, Value)) Changed();
}

void TMarkSel::SetFrameStyle(TFrameStyle Value) {
    if (int(Value) >= NumFrameStyles) return;
    if (SetField(FFrameStyle, Value)) Changed();
}

void TMarkSel::SetSelected(int Value) {
    if (Value < -1 || Value >= NumMarkers) return;
    if (SetField(FSelected, Value)) Changed();
}

void TMarkSel::SetShowZeroAsCross(bool Value) {
    if (SetField(FZeroAsCross, Value)) Changed();
}

bool TMarkSel::MarkVisible(int Index) const {
    if (Index < 0 || Index >= NumMarkers) Index = 0;
    return FMarkVis[std::size_t(Index)];
}

void TMarkSel::SetMarkVisible(int Index, bool Value) {
    if (Index < 1 || Index >= NumMarkers) return;
    if (SetField(FMarkVis[std::size_t(Index)], Value)) Changed();
}

void TMarkSel::ShowAllMarks() {
    std::fill(FMarkVis.begin() + 1, FMarkVis.end(), true);
    Changed();
}

void TMarkSel::HideAllMarks() {
    std::fill(FMarkVis.begin() + 1, FMarkVis.end(), false);
    Changed();
}

void TMarkSel::CalcLayout() {
    const TPoint d = MarkSelCellSize(Width(), Height(), FNrCols, FNrRows);
    FMarkDistHorz = d.X;
    FMarkDistVert = d.Y;
    FMarkMarginHorz = d.X / 2;
    FMarkMarginVert = d.Y / 2;
    MarkSelLayout(FMarkVis, FNrCols, d.X, d.Y, FMarkCoords);
}

TPoint TMarkSel::MarkPosition(int Mark) {
    if (Mark < 0 || Mark >= NumMarkers) return {};
    CalcLayout();
    return FMarkCoords[std::size_t(Mark)];
}

int TMarkSel::NearestMark(int X, int Y) {
    CalcLayout();
    return MarkSelNearest(FMarkVis, FMarkCoords, X, Y);
}

// ---- Mouse ------------------------------------------------------------------------------------

TRect TMarkSel::CellRect(int Mark) const {
    const TPoint p = FMarkCoords[std::size_t(Mark)];
    const int dh = FMarkDistHorz / 2, dv = FMarkDistVert / 2;
    // The cell, and the symbol's box round (X + 2, Y + 2) where the cell is smaller than it.
    const TRect cell = Rect(p.X - dh + 3, p.Y - dv + 3, p.X + dh + 3, p.Y + dv + 3);
    const TRect symbol = Rect(p.X + 2 - MarkerRadius, p.Y + 2 - MarkerRadius,
                              p.X + 3 + MarkerRadius, p.Y + 3 + MarkerRadius);
    return Rect(std::min(cell.Left, symbol.Left), std::min(cell.Top, symbol.Top),
                std::max(cell.Right, symbol.Right), std::max(cell.Bottom, symbol.Bottom));
}

void TMarkSel::SetHighlight(int Mark) {
    if (Mark == FLastHiLite) return;
    CalcLayout();
    if (FLastHiLite >= 0) InvalidateRect(CellRect(FLastHiLite));
    FLastHiLite = Mark;
    if (Mark >= 0) InvalidateRect(CellRect(Mark));
}

void TMarkSel::MouseMove(TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TGraphicControl::MouseMove(Shift, X, Y);
    if (*alive == nullptr) return;
    SetHighlight(NearestMark(X, Y));
}

void TMarkSel::CMMouseLeave(TMessage& Message) {
    auto alive = Handle();
    TGraphicControl::CMMouseLeave(Message);
    if (*alive == nullptr || Message.LParam != 0) return;
    SetHighlight(-1);
}

void TMarkSel::Pick(int X, int Y, const TMarkClickEvent& Event) {
    if (X == -1 && Y == -1) return;
    const int mark = NearestMark(X, Y);
    SetSelected(mark);
    SetHighlight(mark);
    // A copy: the handler may delete this selector and with it the event it runs from.
    if (TMarkClickEvent handler = Event) handler(this, X, Y, mark);
}

void TMarkSel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (*alive == nullptr) return;
    if (Button == mbLeft && Shift.contains(ssDouble)) Pick(X, Y, FOnMarkDblClick);
}

void TMarkSel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (*alive == nullptr) return;
    if (Button == mbLeft) Pick(X, Y, FOnMarkClick);
}

// ---- Painting ---------------------------------------------------------------------------------

void TMarkSel::DrawMarker(TCanvas& C, int Mark) const {
    const TPoint p = FMarkCoords[std::size_t(Mark)];
    if (Mark == 0 && FZeroAsCross) {
        // Marker 0 is always the first cell: the cross spans it from (4, 4).
        const int dh = FMarkDistHorz, dv = FMarkDistVert;
        C.MoveTo(4, 4);
        C.LineTo(dh + 1, dv + 1);
        C.MoveTo(4, dv);
        C.LineTo(dh + 1, 3);
    } else {
        DrawMarkOnCanvas(C, Mark, p.X + 2, p.Y + 2);
    }
}

void TMarkSel::Paint() {
    const int W = Width(), H = Height();
    const bool on = Enabled();
    const TColor marks = on ? FColorFG : TColor(0x808080);
    const TColor back = on ? FColorBG : TColor(0xC0C0C0);
    const TColor selFG = on ? FColorSelFG : TColor(0x808080);
    const TColor selBG = on ? FColorSelBG : TColor(0xDEDEDE);
    CalcLayout();
    const int dh = FMarkDistHorz / 2, dv = FMarkDistVert / 2;

    TBitmap bmp(std::max(W, 0), std::max(H, 0));
    TCanvas& c = bmp.Canvas();
    c.Pen().SetColor(back);
    c.Pen().SetStyle(psSolid);
    c.Pen().SetMode(pmCopy);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(back);
    c.Rectangle(0, 0, W, H);

    for (int i = 0; i < NumMarkers; ++i) {
        if (!FMarkVis[std::size_t(i)]) continue;
        const TPoint p = FMarkCoords[std::size_t(i)];
        if (i == FSelected) {
            c.Pen().SetColor(selFG);
            c.Brush().SetColor(selBG);
            c.Rectangle(p.X - dh + 3, p.Y - dv + 3, p.X + dh + 3, p.Y + dv + 3);
        } else {
            c.Pen().SetColor(marks);
            c.Brush().SetColor(back);
        }
        DrawMarker(c, i);
    }

    // The highlighted cell (a hidden marker is never highlighted, a disabled selector shows
    // no highlight).
    if (on && FLastHiLite >= 0 && FMarkVis[std::size_t(FLastHiLite)]) {
        const TPoint p = FMarkCoords[std::size_t(FLastHiLite)];
        c.Pen().SetColor(FColorHiLite);
        c.Brush().SetColor(FColorHiLite);
        c.Rectangle(p.X - dh + 4, p.Y - dv + 4, p.X + dh + 2, p.Y + dv + 2);
        c.Pen().SetColor(FColorHiSymb);
        DrawMarker(c, FLastHiLite);
    }

    DrawFrame(c, FFrameStyle, 0, 0, W - 1, H - 1, 0xFFFFFF, 0xC0C0C0, 0x808080, clBlack, marks);
    Canvas().Draw(0, 0, bmp);
    if (TNotifyEvent handler = FOnPaint) handler(this);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
const TClassRegistrar<TMarkSel> markSelReg("TMarkSel", "TGraphicControl", [](auto& p) {
    using M = TMarkSel;
    p.Int("NrOfColumns", &M::NrOfColumns, &M::SetNrOfColumns, 8);
    p.Int("NrOfRows", &M::NrOfRows, &M::SetNrOfRows, 6);
    p.Color("ColorBackGnd", &M::ColorBackGnd, &M::SetColorBackGnd, clBtnFace);
    p.Color("ColorMarks", &M::ColorMarks, &M::SetColorMarks, clBlack);
    p.Color("ColorHiLiteBG", &M::ColorHiLiteBG, &M::SetColorHiLiteBG, clRed);
    p.Color("ColorHiLiteSymbol", &M::ColorHiLiteSymbol, &M::SetColorHiLiteSymbol, clWhite);
    p.Color("ColorSelBG", &M::ColorSelBG, &M::SetColorSelBG, clWhite);
    p.Color("ColorSelFG", &M::ColorSelFG, &M::SetColorSelFG, clNavy);
    p.Enum("FrameStyle", &M::FrameStyle, &M::SetFrameStyle, fstSimple,
           {"fstNone", "fstLoweredThin", "fstLowered", "fstRaised", "fstEmbossed", "fstSimple"});
    p.Int("Selected", &M::Selected, &M::SetSelected, -1);
    p.Bool("ShowZeroAsCross", &M::ShowZeroAsCross, &M::SetShowZeroAsCross, true);
});
} // namespace

} // namespace kel
