// TNumIO2 painting: side texts (engraved when disabled), spin buttons with their arrows, the
// gauge with its bar and frame, the text box with frame, number, caret and inverted selection,
// all drawn into an off-screen bitmap that is then copied to the control.
#include "KEL_NumIO.h"

#include "kel_forms.h"

#include <algorithm>
#include <string>

namespace kel {

namespace {

// Outline rectangle (half-open corners) with a transparent brush in pen colour Pen.
void Outline(TCanvas& C, TColor Pen, int L, int T, int R, int B) {
    C.Brush().SetStyle(bsClear);
    C.Pen().SetColor(Pen);
    C.Rectangle(L, T, R, B);
    C.Brush().SetStyle(bsSolid);
}

void Line(TCanvas& C, TColor Pen, int X1, int Y1, int X2, int Y2) {
    C.Pen().SetColor(Pen);
    C.MoveTo(X1, Y1);
    C.LineTo(X2, Y2);
}

} // namespace

void TNumIO2::PaintSideText(TCanvas& C, const std::string& Text, int X, int Y0) {
    if (Enabled()) {
        C.Brush().SetColor(FColorOutBG);
        C.Font().SetColor(FColorOutText);
        C.TextOut(X, Y0, Text);
        return;
    }
    C.Brush().SetStyle(bsClear);
    C.Font().SetColor(clWhite);
    C.TextOut(X + 1, Y0 + 1, Text);
    C.Font().SetColor(clGray);
    C.TextOut(X, Y0, Text);
    C.Brush().SetStyle(bsSolid);
}

void TNumIO2::PaintButtons(TCanvas& C, int X0) {
    const int hb = FButHeight / 2, cx = X0 + FButWidth / 2, BW = FButWidth;
    C.Pen().SetColor(clGray);
    C.Brush().SetColor(FButColor);
    C.Rectangle(X0, 0, X0 + BW + 1, 2 * hb - 1);
    Line(C, clGray, X0, hb - 1, X0 + BW, hb - 1);
    if (FBut3D) {
        C.Pen().SetColor(clWhite);
        C.MoveTo(X0 + 1, 2 * hb - 3);
        C.LineTo(X0 + 1, hb);
        C.LineTo(X0 + BW, hb);
        C.MoveTo(X0 + 1, hb - 2);
        C.LineTo(X0 + 1, 1);
        C.LineTo(X0 + BW, 1);
        C.Pen().SetColor(clBlack);
        C.MoveTo(X0 + 1, 2 * hb - 1);
        C.LineTo(X0 + BW + 1, 2 * hb - 1);
        C.LineTo(X0 + BW + 1, 1);
    }
    const TColor ink = Enabled() ? clBlack : clGray;
    int y = hb / 2 - 1;
    Line(C, ink, cx, y, cx + 2, y);
    Line(C, ink, cx - 1, y + 1, cx + 3, y + 1);
    Line(C, ink, cx - 2, y + 2, cx + 4, y + 2);
    y = hb + hb / 2 - 2;
    Line(C, ink, cx - 2, y, cx + 4, y);
    Line(C, ink, cx - 1, y + 1, cx + 3, y + 1);
    Line(C, ink, cx, y + 2, cx + 2, y + 2);
}

void TNumIO2::PaintGauge(TCanvas& C, int H) {
    const int gy1 = H - FGaugeHeight - 1, gy2 = gy1 + FGaugeHeight;
    const int gx = FGaugeLeftMargin, gw = FGaugeWidth;
    C.Brush().SetColor(FGaugeColorBg);
    C.Pen().SetColor(FGaugeFrameStyle == fstNone ? FGaugeColorBg : FGaugeColorFrame);
    C.Rectangle(gx, gy1, gx + gw, gy2);

    double r = 1;
    if (FRangeHigh != FRangeLow) r = (Value() - FRangeLow) / (FRangeHigh - FRangeLow);
    if (!(r > 0)) r = 0; // NaN too
    if (r > 1) r = 1;
    const TColor bar = Enabled() ? FGaugeColor : clGray;
    C.Pen().SetColor(bar);
    C.Brush().SetColor(bar);
    C.Rectangle(gx, gy1, gx + int(Round(gw * r)), gy2);

    const int st = int(FGaugeFrameStyle);
    if (st == 0) return;
    Outline(C,
            st == 1   ? FGaugeColorFrame
            : st == 4 ? FColWhiteLine
                      : FColGrayLine,
            gx, gy1, gx + gw, gy2);
    if (st < 2) return;
    TColor tl = FColGrayLine, br = FColGrayLine;
    if (st == 2) tl = FColBlackLine, br = FColWhiteLine;
    if (st == 3) tl = FColWhiteLine, br = FColBlackLine;
    if (st == 5) tl = br = FColWhiteLine;
    C.Pen().SetColor(tl);
    C.MoveTo(gx + 1, gy2 - 2);
    C.LineTo(gx + 1, gy1 + 1);
    C.LineTo(gx + gw - 1, gy1 + 1);
    C.Pen().SetColor(br);
    C.MoveTo(gx + 1, gy2);
    C.LineTo(gx + gw, gy2);
    C.LineTo(gx + gw, gy1);
}

void TNumIO2::PaintBox(TCanvas& C, int H, int G, int S, int Y0) {
    const int LS = FLeftSpace, TBW = FTextBoxWidth;
    const bool out = OutOfRange(), en = Enabled();
    C.Brush().SetColor(!en ? clSilver : out ? FColorWarnBG : FColorBoxBG);
    const int st = int(FFrameStyle);
    if (st == 0)
        C.Pen().SetColor(!en ? clSilver : out ? FColorWarnBG : FColorBoxBG);
    else
        C.Pen().SetColor(st == 4 ? FColWhiteLine : FColGrayLine);
    if (st <= 1) {
        C.Rectangle(LS, 0, LS + TBW + 2, H - G);
    } else {
        C.Rectangle(LS, 0, LS + TBW + 2, H - G - 1);
        TColor tl = FColGrayLine, br = FColGrayLine;
        if (st == 2) tl = FColBlackLine, br = FColWhiteLine;
        if (st == 3) tl = FColWhiteLine, br = FColBlackLine;
        if (st == 5) tl = br = FColWhiteLine;
        C.Pen().SetColor(tl);
        C.MoveTo(LS + 1, S + 1);
        C.LineTo(LS + 1, 1);
        C.LineTo(LS + TBW + 1, 1);
        C.Pen().SetColor(br);
        C.MoveTo(LS + 1, S + 3);
        C.LineTo(LS + TBW + 2, S + 3);
        C.LineTo(LS + TBW + 2, 0);
    }

    // The number, clipped to the inside of the box, and the caret.
    C.Font().SetColor(!en ? clGray : out ? FColorWarnText : FColorBoxText);
    const int W = C.TextWidth(FInBuffer);
    const int P = C.TextWidth(FInBuffer.substr(0, std::size_t(FCaretPos)));
    int x = 0, c = 0;
    switch (FAlignment) {
    case taLeftJustify:
        x = LS + 4;
        c = P + 3;
        break;
    case taRightJustify:
        x = LS + TBW - W - 2;
        c = TBW + P - W - 3;
        break;
    case taCenter:
        x = LS + (TBW - W) / 2 + 2;
        c = P + (TBW - W) / 2 + 1;
        break;
    }
    C.TextRect(Rect(LS + 3, 2, LS + TBW - 1, S + 1), x, Y0, FInBuffer);
    // The caret shows only in the focused control.
    if (c > 0 && c < TBW && FCaretVisib && Focused())
        Line(C, clBlack, LS + c, 3, LS + c, H - G - 3);

    if (FSelBegin < FSelEnd && (Focused() || !FHideSelection)) {
        // Clamped to the box (max of min, so a negative box width cannot invert the limits).
        const int x1 = std::max(LS, std::min(CharPosToXCoords(FSelBegin), LS + TBW));
        const int x2 = std::max(LS, std::min(CharPosToXCoords(FSelEnd), LS + TBW));
        const TRect r = Rect(x1, 3, x2, H - G - 3);
        C.SetCopyMode(cmDstInvert);
        C.CopyRect(r, C, r);
        C.SetCopyMode(cmSrcCopy);
    }
}

void TNumIO2::Paint() {
    // No window to draw on yet (not on a form), or hidden outside the designer.
    if (GetParentForm(this) == nullptr) return;
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    const int W = std::max(Width(), 0), H = std::max(Height(), 0);
    const int G = GaugeBand();
    TBitmap bmp(W, H);
    TCanvas& C = bmp.Canvas();
    C.Font().Assign(&Font());
    const int TH = C.TextHeight("(8g]}\xC3\x9C\xC3\x84\xC2\xA7");
    const int y0 = (H - G - TH) / 2, S = H - G - 4;
    C.Pen().SetColor(FColorOutBG);
    C.Brush().SetColor(FColorOutBG);
    C.Rectangle(0, 0, W, H);

    int tw = C.TextWidth(FLeftText);
    int x = FLTAlign == taLeftJustify    ? 7
            : FLTAlign == taRightJustify ? FLeftSpace - tw - 5
                                         : (FLeftSpace - tw) / 2;
    PaintSideText(C, FLeftText, x, y0);

    const int B = FButVisible ? FButWidth + FButSpace : 0;
    if (FButVisible) PaintButtons(C, FLeftSpace + FTextBoxWidth + FButSpace);

    tw = C.TextWidth(FRightText);
    const int rl = FLeftSpace + B + FTextBoxWidth;
    x = FRTAlign == taLeftJustify    ? rl + 7
        : FRTAlign == taRightJustify ? W - tw - 6
                                     : (W - (rl + tw)) / 2 + rl + 1;
    PaintSideText(C, FRightText, x, y0);

    if (FGaugeVisible) PaintGauge(C, H);
    PaintBox(C, H, G, S, y0);

    TCanvas& out = Canvas();
    out.SetCopyMode(cmSrcCopy);
    out.Draw(0, 0, bmp);
}

} // namespace kel
