// Rectangles: Rectangle (brush inside, pen on the closed path through the corner pixels),
// FillRect (brush over the half-open rectangle, no mix mode) and FrameRect (a one-pixel ring
// painted with the brush).
#include "kel_graphics.h"
#include "detail/raster.h"

namespace kel {

using raster::i64;

void TCanvas::Rectangle(int l, int t, int r, int b) {
    i64 L = std::min(l, r), R = std::max(l, r), T = std::min(t, b), B = std::max(t, b);
    if (R <= L || B <= T) return;
    raster::Target tg(*this);
    if (tg.Empty()) return;
    const TPen& pen = FPen;
    raster::Ink brush;
    const bool hasBrush = raster::BrushInk(*this, pen.Mode(), brush);
    const raster::Ink ink = raster::PenInk(*this);
    const int w = raster::PenWidth(pen);
    const i64 y0 = std::max(T, tg.ct), y1 = std::min(B, tg.cb);

    if (pen.Style() == psClear) {
        // No outline: the inside of the path, one pixel short at the right and bottom.
        if (!hasBrush) return;
        for (i64 y = y0; y < std::min(B - 1, y1); ++y) tg.Span(y, L, R - 1, brush);
        return;
    }
    const raster::DashPattern pat = raster::PatternOf(pen.Style());
    if (w == 1 && pat.count == 0) {
        if (ink.mode == pmCopy && hasBrush && brush.hatch == bsSolid && R - L >= 2 && L >= tg.cl &&
            R <= tg.cr && T >= tg.ct && B <= tg.cb) {
            // The common case, wholly visible: write the rows directly.
            const i64 n = R - L;
            std::uint32_t* row = tg.bits + (T + tg.oy) * tg.stride + (L + tg.ox);
            std::fill_n(row, n, ink.color);
            for (i64 y = T + 1; y < B - 1; ++y) {
                row += tg.stride;
                row[0] = ink.color;
                std::fill(row + 1, row + n - 1, brush.color);
                row[n - 1] = ink.color;
            }
            if (B - 1 > T) std::fill_n(row + tg.stride, n, ink.color);
            return;
        }
        for (i64 y = y0; y < y1; ++y) {
            if (y == T || y == B - 1) {
                tg.Span(y, L, R, ink);
                continue;
            }
            tg.Pixel(L, y, ink);
            if (R - 1 > L) tg.Pixel(R - 1, y, ink);
            if (hasBrush) tg.Span(y, L + 1, R - 1, brush);
        }
        return;
    }

    thread_local raster::SpanList fill, outline;
    fill.SetClip(tg);
    outline.SetClip(tg);
    raster::Ink gap;
    const raster::Ink* gapInk = nullptr;
    if (w == 1) {
        const TPoint pts[4] = {Point(int(L), int(T)), Point(int(R - 1), int(T)),
                               Point(int(R - 1), int(B - 1)), Point(int(L), int(B - 1))};
        if (R - L == 1 && B - T == 1)
            outline.AddPixel(L, T);
        else
            raster::AddThinPath(tg, outline, pts, true, pat);
        if (raster::GapInk(*this, gap)) gapInk = &gap;
        for (i64 y = std::max(T + 1, y0); y < std::min(B - 1, y1); ++y) fill.Add(y, L + 1, R - 1);
    } else {
        if (pen.Style() == psInsideFrame) {
            // The band then covers exactly [L, R) x [T, B).
            L += w / 2;
            T += w / 2;
            R -= (w - 1) / 2;
            B -= (w - 1) / 2;
            if (R <= L) {
                L = (L + R) / 2;
                R = L + 1;
            }
            if (B <= T) {
                T = (T + B) / 2;
                B = T + 1;
            }
        }
        const std::vector<TPoint> pts = {Point(int(L), int(T)), Point(int(R - 1), int(T)),
                                         Point(int(R - 1), int(B - 1)), Point(int(L), int(B - 1))};
        if (R - L == 1 && B - T == 1) {
            // A one-pixel path: the pen's round dot.
            const double c = w % 2 == 0 ? -0.5 : 0.0;
            raster::AddCapsule(outline, double(L) + c, double(T) + c, double(L) + c, double(T) + c,
                               w / 2.0);
        } else
            raster::AddWidePath(outline, pts, true, w);
        for (i64 y = std::max(T, y0); y < std::min(B - 1, y1); ++y) fill.Add(y, L, R - 1);
    }
    raster::PaintShape(tg, fill, hasBrush ? &brush : nullptr, outline, &ink, gapInk);
}

void TCanvas::FillRect(const TRect& r) {
    if (r.IsEmpty()) return;
    raster::Target tg(*this);
    raster::Ink brush;
    if (tg.Empty() || !raster::BrushInk(*this, pmCopy, brush)) return;
    const i64 y0 = std::max<i64>(r.Top, tg.ct), y1 = std::min<i64>(r.Bottom, tg.cb);
    if (brush.hatch != bsSolid) {
        for (i64 y = y0; y < y1; ++y) tg.Span(y, r.Left, r.Right, brush);
        return;
    }
    // Solid: the columns are clipped once for all rows.
    const i64 x0 = std::max<i64>(r.Left, tg.cl), x1 = std::min<i64>(r.Right, tg.cr);
    if (x1 <= x0) return;
    for (i64 y = y0; y < y1; ++y)
        raster::FillPixels(tg.bits + (y + tg.oy) * tg.stride + x0 + tg.ox, x1 - x0, brush.color,
                           brush.mode);
}

void TCanvas::FrameRect(const TRect& r) {
    if (r.IsEmpty()) return;
    raster::Target tg(*this);
    raster::Ink brush;
    if (tg.Empty() || !raster::BrushInk(*this, pmCopy, brush)) return;
    const i64 L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    const i64 y0 = std::max(T, tg.ct), y1 = std::min(B, tg.cb);
    for (i64 y = y0; y < y1; ++y) {
        if (y == T || y == B - 1) {
            tg.Span(y, L, R, brush);
        } else {
            tg.Pixel(L, y, brush);
            if (R - 1 > L) tg.Pixel(R - 1, y, brush);
        }
    }
}

} // namespace kel
