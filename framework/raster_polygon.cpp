// Polygons: scan conversion by the top-left rule (a pixel is filled when its centre lies inside;
// left and top edges count as inside, right and bottom ones do not), with the alternate
// (even-odd) or winding (non-zero) rule, and the closed outline through every vertex.
#include "kel_graphics.h"
#include "detail/raster.h"

namespace kel {
namespace raster {

namespace {
struct Edge {
    i64 x0, y0, x1, y1; // y0 < y1
    int dir;            // +1 downwards in the original order, -1 upwards
};
struct Crossing {
    i64 x; // first pixel column at or right of the crossing
    int dir;
};
} // namespace

void AddPolygonFill(SpanList& s, const std::vector<TPoint>& pts, bool winding) {
    const std::size_t n = pts.size();
    if (n < 3) return;
    std::vector<Edge> edges;
    edges.reserve(n);
    i64 ymin = INT64_MAX, ymax = INT64_MIN;
    for (std::size_t k = 0; k < n; ++k) {
        const TPoint a = pts[k], b = pts[(k + 1) % n];
        if (a.Y == b.Y) continue;
        if (a.Y < b.Y)
            edges.push_back({a.X, a.Y, b.X, b.Y, 1});
        else
            edges.push_back({b.X, b.Y, a.X, a.Y, -1});
        ymin = std::min(ymin, edges.back().y0);
        ymax = std::max(ymax, edges.back().y1);
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    const i64 ya = std::max(ymin, s.yl), yb = std::min(ymax, s.yh);
    std::vector<const Edge*> active;
    std::vector<Crossing> xs;
    std::size_t next = 0;
    for (i64 y = ya; y < yb; ++y) {
        while (next < edges.size() && edges[next].y0 <= y) active.push_back(&edges[next++]);
        active.erase(
            std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->y1 <= y; }),
            active.end());
        xs.clear();
        for (const Edge* e : active) {
            // x = x0 + (y - y0) * (x1 - x0) / (y1 - y0), rounded up to the next pixel centre.
            const i128 dy = e->y1 - e->y0;
            const i128 num = i128(e->x0) * dy + i128(y - e->y0) * (e->x1 - e->x0);
            xs.push_back({i64(CeilDiv(num, dy)), e->dir});
        }
        std::sort(xs.begin(), xs.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        if (!winding) {
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2) s.Add(y, xs[k].x, xs[k + 1].x);
        } else {
            int sum = 0;
            i64 start = 0;
            for (const Crossing& c : xs) {
                const int before = sum;
                sum += c.dir;
                if (before == 0 && sum != 0) start = c.x;
                if (before != 0 && sum == 0) s.Add(y, start, c.x);
            }
        }
    }
}

} // namespace raster

void TCanvas::Polygon(std::span<const TPoint> pts) {
    if (pts.size() < 2) return;
    raster::Target tg(*this);
    if (tg.Empty()) return;
    const std::vector<TPoint> path(pts.begin(), pts.end());
    raster::Ink brush;
    const bool hasBrush = raster::BrushInk(*this, FPen.Mode(), brush);
    const raster::Ink ink = raster::PenInk(*this);
    thread_local raster::SpanList fill, outline;
    fill.SetClip(tg);
    outline.SetClip(tg);
    if (hasBrush) raster::AddPolygonFill(fill, path, FPolyFillMode == WINDING);
    raster::Ink gap;
    const raster::Ink* gapInk = nullptr;
    if (FPen.Style() != psClear) {
        const int w = raster::PenWidth(FPen);
        const bool dot =
            std::all_of(path.begin(), path.end(), [&](const TPoint& p) { return p == path[0]; });
        if (w == 1) {
            if (dot)
                outline.AddPixel(path[0].X, path[0].Y);
            else
                raster::AddThinPath(tg, outline, pts, true, raster::PatternOf(FPen.Style()));
            if (raster::GapInk(*this, gap)) gapInk = &gap;
        } else if (dot) {
            const double c = w % 2 == 0 ? -0.5 : 0.0;
            raster::AddCapsule(outline, path[0].X + c, path[0].Y + c, path[0].X + c, path[0].Y + c,
                               w / 2.0);
        } else {
            raster::AddWidePath(outline, path, true, w);
        }
    }
    raster::PaintShape(tg, fill, hasBrush ? &brush : nullptr, outline,
                       FPen.Style() != psClear ? &ink : nullptr, gapInk);
}

} // namespace kel
