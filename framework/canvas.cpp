// The canvas's state: pen and brush objects, surface binding, clip rectangle and origin, single
// pixel access and the mix-mode formula every pen and brush pixel goes through. The primitives
// themselves live in the raster_*.cpp files.
#include "kel_graphics.h"
#include "detail/raster.h"

#include <algorithm>

namespace kel {

// ---- TPen -------------------------------------------------------------------------------------

void TPen::Assign(const TPersistent* Source) {
    if (auto p = dynamic_cast<const TPen*>(Source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPen::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    Changed();
}

void TPen::SetWidth(int v) {
    if (v < 0) v = 0;
    if (v == FWidth) return;
    FWidth = v;
    Changed();
}

void TPen::SetStyle(TPenStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TPen::SetMode(TPenMode v) {
    if (v == FMode) return;
    FMode = v;
    Changed();
}

void TPen::Changed() {
    if (FOnChange) FOnChange(this);
}

// ---- TBrush -----------------------------------------------------------------------------------

void TBrush::Assign(const TPersistent* Source) {
    if (auto b = dynamic_cast<const TBrush*>(Source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TBrush::SetColor(TColor v) {
    if (v == FColor && FStyle != bsClear) return;
    FColor = v;
    if (FStyle == bsClear) FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TBrush::Changed() {
    if (FOnChange) FOnChange(this);
}

// ---- TCanvas: surface, clip, origin -----------------------------------------------------------

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

void TCanvas::SetSurface(std::uint32_t* bits, int width, int height, int stride) {
    if (bits == nullptr || width <= 0 || height <= 0) {
        FBits = nullptr;
        FSurfW = FSurfH = FStride = 0;
    } else {
        FBits = bits;
        FSurfW = width;
        FSurfH = height;
        FStride = stride < width ? width : stride;
    }
    FHasClip = false;
    UpdateDeviceClip();
}

// Narrows a wide value to int, saturating.
static int Saturate(std::int64_t v) {
    return int(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

TRect TCanvas::ClipRect() const {
    if (FHasClip) return FClip;
    const std::int64_t ox = FOrigin.X, oy = FOrigin.Y;
    return {Saturate(-ox), Saturate(-oy), Saturate(FSurfW - ox), Saturate(FSurfH - oy)};
}

void TCanvas::SetClipRect(const TRect& r) {
    FClip = r;
    FHasClip = true;
    UpdateDeviceClip();
}

void TCanvas::IntersectClipRect(const TRect& r) {
    TRect cur = ClipRect();
    FClip = IntersectRect(cur, r);
    FHasClip = true;
    UpdateDeviceClip();
}

void TCanvas::ResetClip() {
    FHasClip = false;
    UpdateDeviceClip();
}

void TCanvas::UpdateDeviceClip() {
    TRect surf = Rect(0, 0, FSurfW, FSurfH);
    if (!FHasClip) {
        FDevClip = surf;
        return;
    }
    // The logical clip plus the origin, computed wide so that far-off values cannot overflow.
    TRect dev{Saturate(std::int64_t(FClip.Left) + FOrigin.X),
              Saturate(std::int64_t(FClip.Top) + FOrigin.Y),
              Saturate(std::int64_t(FClip.Right) + FOrigin.X),
              Saturate(std::int64_t(FClip.Bottom) + FOrigin.Y)};
    FDevClip = IntersectRect(dev, surf);
}

void TCanvas::MoveTo(int x, int y) { FPenPos = Point(x, y); }

// ---- Pixels -----------------------------------------------------------------------------------

TColor TCanvas::Pixels(int x, int y) const {
    raster::Target t(const_cast<TCanvas&>(*this));
    std::int64_t dx = std::int64_t(x) + t.ox, dy = std::int64_t(y) + t.oy;
    if (t.Empty() || dx < t.dl || dx >= t.dr || dy < t.dt || dy >= t.db) return 0xFFFFFFFF;
    return PixelToColor(FBits[dy * FStride + dx] & 0xFFFFFF);
}

void TCanvas::SetPixels(int x, int y, TColor c) {
    raster::Target t(*this);
    std::int64_t dx = std::int64_t(x) + t.ox, dy = std::int64_t(y) + t.oy;
    if (t.Empty() || dx < t.dl || dx >= t.dr || dy < t.dt || dy >= t.db) return;
    FBits[dy * FStride + dx] = ColorToPixel(c);
}

// ---- raster::Target ---------------------------------------------------------------------------

namespace raster {

Target::Target(TCanvas& c) : canvas(c) {
    bits = c.SurfaceBits();
    stride = c.SurfaceStride();
    ox = c.Origin().X;
    oy = c.Origin().Y;
    if (bits == nullptr) {
        dl = dt = dr = db = 0;
    } else {
        const TRect& d = c.DeviceClip();
        dl = d.Left;
        dt = d.Top;
        dr = d.Right;
        db = d.Bottom;
    }
    if (dr <= dl || db <= dt) dl = dt = dr = db = 0;
    cl = dl - ox;
    ct = dt - oy;
    cr = dr - ox;
    cb = db - oy;
}

void SpanList::Normalize() {
    auto less = [](const RowSpan& a, const RowSpan& b) {
        return a.y != b.y ? a.y < b.y : (a.x0 != b.x0 ? a.x0 < b.x0 : a.kind < b.kind);
    };
    // Shapes add their rows in order and then perhaps a few extra pieces (the radii of a pie):
    // sort only the unsorted tail and merge it in.
    auto mid = std::is_sorted_until(v.begin(), v.end(), less);
    if (mid != v.end()) {
        std::sort(mid, v.end(), less);
        std::inplace_merge(v.begin(), mid, v.end(), less);
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (out > 0) {
            RowSpan& last = v[out - 1];
            if (last.y == v[i].y && v[i].x0 <= last.x1) {
                if (last.kind == v[i].kind) {
                    last.x1 = std::max(last.x1, v[i].x1);
                    continue;
                }
                // Pen ink wins over a dash gap where the two overlap.
                if (last.kind == 0) {
                    if (v[i].x1 <= last.x1) continue;
                    v[i].x0 = last.x1;
                } else {
                    last.x1 = v[i].x0;
                    if (last.x1 <= last.x0) --out;
                }
            }
        }
        v[out++] = v[i];
    }
    v.resize(out);
}

void PaintShape(Target& t, SpanList& fill, const Ink* fillInk, SpanList& pen, const Ink* penInk,
                const Ink* gapInk) {
    pen.Normalize();
    for (const RowSpan& s : pen.v) {
        const Ink* ink = s.kind == 0 ? penInk : gapInk;
        if (ink) t.Span(s.y, s.x0, s.x1, *ink);
    }
    if (fillInk == nullptr) return;
    fill.Normalize();
    std::size_t j = 0;
    for (const RowSpan& f : fill.v) {
        while (j < pen.v.size() && pen.v[j].y < f.y) ++j;
        i64 x = f.x0;
        for (std::size_t k = j; k < pen.v.size() && pen.v[k].y == f.y && x < f.x1; ++k) {
            const RowSpan& p = pen.v[k];
            if (p.x1 <= x) continue;
            if (p.x0 >= f.x1) break;
            if (p.x0 > x) t.Span(f.y, x, p.x0, *fillInk);
            x = std::max(x, p.x1);
        }
        if (x < f.x1) t.Span(f.y, x, f.x1, *fillInk);
    }
}

} // namespace raster
} // namespace kel
