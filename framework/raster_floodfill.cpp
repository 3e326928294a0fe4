// Flood fill: finds the 4-connected area around a start pixel (pixels equal to a colour, or
// pixels up to a border colour), limited to the clip, and only then paints it with the brush,
// so the painting cannot feed back into the search. Colours compare exactly on RGB.
#include "kel_graphics.h"
#include "detail/raster.h"

namespace kel {

using raster::i64;

void TCanvas::FloodFill(int x, int y, TColor c, TFillStyle style) {
    raster::Target tg(*this);
    if (tg.Empty()) return;
    const i64 sx = i64(x) + tg.ox, sy = i64(y) + tg.oy;
    if (sx < tg.dl || sx >= tg.dr || sy < tg.dt || sy >= tg.db) return;
    raster::Ink brush;
    if (!raster::BrushInk(*this, pmCopy, brush)) return;
    const std::uint32_t key = ColorToPixel(c) & 0xFFFFFF;
    const bool surface = style == fsSurface;
    std::uint32_t* bits = tg.bits;
    const i64 stride = tg.stride;
    auto inside = [&](i64 px, i64 py) {
        const bool eq = (bits[py * stride + px] & 0xFFFFFF) == key;
        return surface ? eq : !eq;
    };
    if (!inside(sx, sy)) return;

    // Scan-line search over the clip, device coordinates.
    const i64 W = tg.dr - tg.dl, H = tg.db - tg.dt;
    std::vector<std::uint8_t> seen(std::size_t(W * H), 0);
    auto mark = [&](i64 px, i64 py) -> std::uint8_t& {
        return seen[std::size_t((py - tg.dt) * W + (px - tg.dl))];
    };
    struct Run {
        i64 y, x0, x1;
    };
    std::vector<Run> runs;
    std::vector<std::pair<i64, i64>> stack{{sx, sy}};
    while (!stack.empty()) {
        auto [px, py] = stack.back();
        stack.pop_back();
        if (mark(px, py) || !inside(px, py)) continue;
        i64 l = px, r = px;
        while (l > tg.dl && !mark(l - 1, py) && inside(l - 1, py)) --l;
        while (r + 1 < tg.dr && !mark(r + 1, py) && inside(r + 1, py)) ++r;
        for (i64 k = l; k <= r; ++k) mark(k, py) = 1;
        runs.push_back({py, l, r + 1});
        for (i64 ny : {py - 1, py + 1}) {
            if (ny < tg.dt || ny >= tg.db) continue;
            bool inRun = false;
            for (i64 k = l; k <= r; ++k) {
                const bool ok = !mark(k, ny) && inside(k, ny);
                if (ok && !inRun) stack.push_back({k, ny});
                inRun = ok;
            }
        }
    }
    for (const Run& r : runs) tg.Span(r.y - tg.oy, r.x0 - tg.ox, r.x1 - tg.ox, brush);
}

} // namespace kel
