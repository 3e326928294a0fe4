// Lines: MoveTo/LineTo and Polyline. One-pixel pens follow the grid-intersection rule (end point
// excluded) with the dash patterns of styled pens; wider pens are filled bands with round caps
// and joins. Also the shared path helpers (dash patterns, capsules, wide paths) that the shape
// rasterizers use for their outlines.
#include "kel_graphics.h"
#include "detail/raster.h"

namespace kel {
namespace raster {

DashPattern PatternOf(TPenStyle s) {
    static const int dash[] = {18, 6}, dot[] = {3, 3}, dashdot[] = {9, 6, 3, 6},
                     dashdotdot[] = {9, 3, 3, 3, 3, 3}, alternate[] = {1, 1};
    switch (s) {
    case psDash:
        return {dash, 2, 24};
    case psDot:
        return {dot, 2, 6};
    case psDashDot:
        return {dashdot, 4, 24};
    case psDashDotDot:
        return {dashdotdot, 6, 24};
    case psAlternate:
        return {alternate, 2, 2};
    default:
        return {};
    }
}

void AddCapsule(SpanList& s, double ax, double ay, double bx, double by, double rad) {
    if (!(rad > 0)) return;
    const double ymin = std::min(ay, by) - rad, ymax = std::max(ay, by) + rad;
    if (!(ymax > double(s.yl)) || !(ymin < double(s.yh))) return;
    const i64 y0 = std::max<i64>(s.yl, i64(std::floor(ymin))),
              y1 = std::min<i64>(s.yh - 1, i64(std::ceil(ymax)));
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
    const double r2 = rad * rad;
    for (i64 y = y0; y <= y1; ++y) {
        const double fy = double(y);
        double lo = HUGE_VAL, hi = -HUGE_VAL;
        auto disc = [&](double cx, double cy) {
            const double e = fy - cy, h2 = r2 - e * e;
            if (h2 <= 0) return;
            const double h = std::sqrt(h2);
            lo = std::min(lo, cx - h);
            hi = std::max(hi, cx + h);
        };
        disc(ax, ay);
        disc(bx, by);
        if (len2 > 0) {
            // Points within rad of the infinite line whose projection falls on the segment.
            double a = -HUGE_VAL, b = HUGE_VAL;
            const double ey = fy - ay;
            bool ok = true;
            if (dy != 0) {
                // |dx*ey - dy*(x-ax)| < rad*len
                double u0 = (dx * ey - rad * len) / dy, u1 = (dx * ey + rad * len) / dy;
                if (u0 > u1) std::swap(u0, u1);
                a = std::max(a, ax + u0);
                b = std::min(b, ax + u1);
            } else if (std::fabs(ey) >= rad) {
                ok = false;
            }
            if (dx != 0) {
                // 0 <= dx*(x-ax) + dy*ey <= len2
                double u0 = (-dy * ey) / dx, u1 = (len2 - dy * ey) / dx;
                if (u0 > u1) std::swap(u0, u1);
                a = std::max(a, ax + u0);
                b = std::min(b, ax + u1);
            } else if (dy * ey < 0 || dy * ey > len2) {
                ok = false;
            }
            if (ok && a < b) {
                lo = std::min(lo, a);
                hi = std::max(hi, b);
            }
        }
        if (!(lo < hi)) continue;
        // Integer x with lo < x < hi, cut to the list's column range before converting.
        const double flo = std::max(std::floor(lo) + 1, double(s.xl)),
                     fhi = std::min(std::ceil(hi), double(s.xh));
        if (flo < fhi) s.Add(y, i64(flo), i64(fhi));
    }
}

void AddWidePathF(SpanList& s, const std::vector<double>& xy, bool closed, int w) {
    const std::size_t n = xy.size() / 2;
    if (n < 2) return;
    const double shift = (w % 2 == 0) ? -0.5 : 0.0, rad = w / 2.0;
    const std::size_t segs = closed ? n : n - 1;
    for (std::size_t k = 0; k < segs; ++k) {
        const std::size_t j = (k + 1) % n;
        const double ax = xy[2 * k] + shift, ay = xy[2 * k + 1] + shift, bx = xy[2 * j] + shift,
                     by = xy[2 * j + 1] + shift;
        if (ax == bx && ay == by) continue;
        AddCapsule(s, ax, ay, bx, by, rad);
    }
}

void AddWidePath(SpanList& s, const std::vector<TPoint>& pts, bool closed, int w) {
    std::vector<double> xy;
    xy.reserve(pts.size() * 2);
    for (const TPoint& p : pts) {
        xy.push_back(p.X);
        xy.push_back(p.Y);
    }
    AddWidePathF(s, xy, closed, w);
}

// Walks a path of thin lines (closed: back to the first point), carrying the dash pattern
// across segments; sink(x, y, on) gets every visible pixel.
template <class Sink>
static void WalkThinPath(const Target& t, std::span<const TPoint> pts, bool closed,
                         const DashPattern& pat, Sink&& sink) {
    const std::size_t n = pts.size();
    if (n < 2) return;
    const std::size_t segs = closed ? n : n - 1;
    i64 pos = 0;
    for (std::size_t k = 0; k < segs; ++k) {
        const TPoint a = pts[k], b = pts[(k + 1) % n];
        ThinLine(t, a.X, a.Y, b.X, b.Y,
                 [&](i64 i, i64 x, i64 y) { sink(x, y, pat.count == 0 || pat.On(pos + i)); });
        const i64 dx = i64(b.X) - a.X, dy = i64(b.Y) - a.Y;
        pos += std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    }
}

void AddThinPath(const Target& t, SpanList& s, std::span<const TPoint> pts, bool closed,
                 const DashPattern& pat) {
    WalkThinPath(t, pts, closed, pat, [&](i64 x, i64 y, bool on) { s.AddPixel(x, y, on ? 0 : 1); });
}

// The pen's width as drawn: 0 and 1 are thin; anything wider is a solid band.
int PenWidth(const TPen& p) { return p.Width() <= 1 ? 1 : p.Width(); }

// Strokes an open or closed path with the canvas pen (no fill).
void StrokePath(TCanvas& c, std::span<const TPoint> pts, bool closed) {
    const TPen& pen = c.Pen();
    if (pen.Style() == psClear || pts.size() < 2) return;
    Target t(c);
    if (t.Empty()) return;
    const Ink ink = PenInk(c);
    const int w = PenWidth(pen);
    if (w > 1) {
        thread_local SpanList band, none;
        band.SetClip(t);
        none.SetClip(t);
        AddWidePath(band, std::vector<TPoint>(pts.begin(), pts.end()), closed, w);
        PaintShape(t, none, nullptr, band, &ink, nullptr);
        return;
    }
    const DashPattern pat = PatternOf(pen.Style());
    Ink gap;
    const bool hasGap = pat.count != 0 && GapInk(c, gap);
    if (pat.count == 0 && ink.mode == pmCopy) {
        // The common case: every visited pixel is inside the clip already.
        std::uint32_t* bits = t.bits;
        const i64 stride = t.stride, ox = t.ox, oy = t.oy;
        const std::uint32_t col = ink.color;
        WalkThinPath(t, pts, closed, pat,
                     [&](i64 x, i64 y, bool) { bits[(y + oy) * stride + x + ox] = col; });
        return;
    }
    WalkThinPath(t, pts, closed, pat, [&](i64 x, i64 y, bool on) {
        if (on)
            t.Pixel(x, y, ink);
        else if (hasGap)
            t.Pixel(x, y, gap);
    });
}

} // namespace raster

void TCanvas::LineTo(int x, int y) {
    const TPoint pts[2] = {FPenPos, Point(x, y)};
    FPenPos = Point(x, y);
    if (pts[0] == pts[1]) return;
    raster::StrokePath(*this, pts, false);
}

void TCanvas::Polyline(std::span<const TPoint> pts) { raster::StrokePath(*this, pts, false); }

} // namespace kel
