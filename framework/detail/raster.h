// Internal helpers shared by the canvas rasterizers: the mix-mode formula, inks (what a span
// paints), the clipped drawing target, sorted span lists for shapes that must touch each pixel
// once, the thin-line walker and the wide-pen capsule. Not part of the public API.
//
// All coordinates here are 64-bit so that an origin or a far-off shape cannot overflow; every
// loop runs only over rows and columns inside the clip, so huge shapes cost no more than the
// visible part.
#pragma once

#include "kel_graphics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <span>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEL_ASAN 1
#endif
#endif
#if !defined(KEL_ASAN) && defined(__SANITIZE_ADDRESS__)
#define KEL_ASAN 1
#endif
#ifdef KEL_ASAN
#include <sanitizer/asan_interface.h>
#else
#define KEL_ASAN 0
#endif

namespace kel::raster {

using i64 = std::int64_t;
__extension__ typedef __int128 i128;

// Under AddressSanitizer: reports an access to n pixels at p that leaves the memory the
// program may use, as an instrumented load or store would. Nothing otherwise.
inline void CheckAccess([[maybe_unused]] const std::uint32_t* p, [[maybe_unused]] i64 n,
                        [[maybe_unused]] bool write) {
#if KEL_ASAN
    const std::size_t bytes = std::size_t(n) * sizeof(std::uint32_t);
    if (void* bad = __asan_region_is_poisoned(const_cast<std::uint32_t*>(p), bytes))
        __asan_report_error(__builtin_return_address(0), __builtin_frame_address(0),
                            __builtin_frame_address(0), bad, write ? 1 : 0, bytes);
#endif
}
inline void CheckWritable(std::uint32_t* p, i64 n) { CheckAccess(p, n, true); }
inline void CheckReadable(const std::uint32_t* p, i64 n) { CheckAccess(p, n, false); }

// The pen mix mode on two pixel words. The mode's ordinal f is the R2 code minus one, and its
// four bits choose which of P&D, P&~D, ~P&D, ~P&~D make up the result.
inline std::uint32_t MixPixel(std::uint32_t p, std::uint32_t d, TPenMode mode) {
    const unsigned f = unsigned(mode) & 15;
    std::uint32_t r = ((f & 8) ? (p & d) : 0) | ((f & 4) ? (p & ~d) : 0) |
                      ((f & 2) ? (~p & d) : 0) | ((f & 1) ? (~p & ~d) : 0);
    return r & 0xFFFFFF;
}

#if KEL_ASAN
#define KEL_NO_ASAN __attribute__((no_sanitize("address")))
#else
#define KEL_NO_ASAN
#endif

// Copies n pixel words, dropping the unused top byte. Under the sanitizer a long run is
// checked once as a whole instead of at every pixel (for a short one the checks per pixel cost
// less).
KEL_NO_ASAN inline void CopyPixelsUnchecked(std::uint32_t* d, const std::uint32_t* s, i64 n) {
    for (i64 k = 0; k < n; ++k) d[k] = s[k] & 0xFFFFFF;
}
inline void CopyPixels(std::uint32_t* d, const std::uint32_t* s, i64 n) {
    if (n >= 64) {
        CheckWritable(d, n);
        CheckReadable(s, n);
        CopyPixelsUnchecked(d, s, n);
        return;
    }
    for (i64 k = 0; k < n; ++k) d[k] = s[k] & 0xFFFFFF;
}

// Fills n pixels with colour c through a mix mode. The copy case is a plain fill; the others
// are a branch-free formula over loop-invariant masks.
inline void FillPixels(std::uint32_t* p, i64 n, std::uint32_t c, TPenMode mode) {
    if (n <= 0) return;
    if (mode == pmCopy) {
        // Long runs go to the C library's wide-character fill, which uses the widest stores the
        // processor has; wchar_t is a 32-bit unit on the platforms this builds for. The
        // sanitizer does not see inside that call, so it checks the run here.
        if constexpr (sizeof(wchar_t) == 4) {
            if (n >= 64) {
                CheckWritable(p, n);
                std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(c),
                             std::size_t(n));
                return;
            }
        }
        std::fill_n(p, n, c);
        return;
    }
    if (mode == pmNop) return;
    const unsigned f = unsigned(mode) & 15;
    const std::uint32_t m8 = (f & 8) ? ~0u : 0, m4 = (f & 4) ? ~0u : 0, m2 = (f & 2) ? ~0u : 0,
                        m1 = (f & 1) ? ~0u : 0;
    for (i64 i = 0; i < n; ++i) {
        const std::uint32_t d = p[i];
        p[i] = ((c & d & m8) | (c & ~d & m4) | (~c & d & m2) | (~c & ~d & m1)) & 0xFFFFFF;
    }
}

// Bit of an 8x8 hatch pattern at device pixel (x, y), anchored at the surface's (0, 0).
inline bool HatchBit(TBrushStyle s, i64 x, i64 y) {
    const i64 hx = x & 7, hy = y & 7;
    switch (s) {
    case bsHorizontal:
        return hy == 0;
    case bsVertical:
        return hx == 0;
    case bsFDiagonal:
        return ((hx - hy) & 7) == 0; // "\" lines
    case bsBDiagonal:
        return ((hx + hy) & 7) == 7; // "/" lines
    case bsCross:
        return hx == 0 || hy == 0;
    case bsDiagCross:
        return ((hx - hy) & 7) == 0 || ((hx + hy) & 7) == 7;
    default:
        return true;
    }
}

// What a span paints: a colour through a mix mode, optionally as a hatch pattern whose
// background pixels are painted (opaque) or left alone.
struct Ink {
    std::uint32_t color = 0;
    TPenMode mode = pmCopy;
    TBrushStyle hatch = bsSolid; // bsSolid: every pixel; bsHorizontal..: a pattern
    bool opaque = false;
    std::uint32_t back = 0;
};

// The canvas's background convention: a solid brush means an opaque background in the brush
// colour (dash gaps and hatch backgrounds take it); any other brush means transparent.
inline bool OpaqueBackground(const TCanvas& c) { return c.Brush().Style() == bsSolid; }

inline Ink PenInk(const TCanvas& c) { return Ink{ColorToPixel(c.Pen().Color()), c.Pen().Mode()}; }
// Ink of the pixels in the gaps of a styled pen; false when they stay untouched.
inline bool GapInk(const TCanvas& c, Ink& ink) {
    if (!OpaqueBackground(c)) return false;
    ink = Ink{ColorToPixel(c.Brush().Color()), c.Pen().Mode()};
    return true;
}
// Ink of the brush for shape interiors (through the pen mix mode), or for pattern fills
// (FillRect, FloodFill: plain copy). False for a clear brush.
inline bool BrushInk(const TCanvas& c, TPenMode mode, Ink& ink) {
    const TBrush& b = c.Brush();
    if (b.Style() == bsClear) return false;
    ink = Ink{ColorToPixel(b.Color()), mode, b.Style(), false, 0};
    return true;
}

// A canvas seen by a rasterizer: surface, origin and the clip in device and logical units.
class Target {
  public:
    explicit Target(TCanvas& c);
    bool Empty() const { return dr <= dl || db <= dt; }

    // Paints logical columns [x0, x1) of logical row y; anything outside the clip is dropped.
    void Span(i64 y, i64 x0, i64 x1, const Ink& ink) {
        if (y < ct || y >= cb) return;
        x0 = std::max(x0, cl);
        x1 = std::min(x1, cr);
        if (x1 <= x0) return;
        const i64 dy = y + oy, dx0 = x0 + ox;
        std::uint32_t* p = bits + dy * stride + dx0;
        if (ink.hatch == bsSolid) {
            FillPixels(p, x1 - x0, ink.color, ink.mode);
            return;
        }
        for (i64 i = 0; i < x1 - x0; ++i) {
            if (HatchBit(ink.hatch, dx0 + i, dy))
                p[i] = MixPixel(ink.color, p[i], ink.mode);
            else if (ink.opaque)
                p[i] = MixPixel(ink.back, p[i], ink.mode);
        }
    }
    void Pixel(i64 x, i64 y, const Ink& ink) {
        if (x < cl || x >= cr || y < ct || y >= cb) return;
        if (ink.hatch != bsSolid) {
            Span(y, x, x + 1, ink);
            return;
        }
        std::uint32_t& d = bits[(y + oy) * stride + x + ox];
        d = ink.mode == pmCopy ? ink.color : MixPixel(ink.color, d, ink.mode);
    }

    TCanvas& canvas;
    std::uint32_t* bits = nullptr;
    i64 stride = 0;
    i64 ox = 0, oy = 0;
    i64 dl = 0, dt = 0, dr = 0, db = 0; // clip in surface pixels, half-open
    i64 cl = 0, ct = 0, cr = 0, cb = 0; // the same clip in logical units
};

// One run of pixels on a row: [x0, x1). kind 0 is pen ink, kind 1 a dash gap.
struct RowSpan {
    i64 y, x0, x1;
    int kind;
};

// Spans of a shape collected before painting, so that overlapping pieces (joins, caps, an
// outline over its interior) paint each pixel once. Rows outside the clip are dropped on entry
// and columns are cut to just beyond it, so far-off shapes stay cheap.
class SpanList {
  public:
    void SetClip(const Target& t) {
        yl = t.ct;
        yh = t.cb;
        xl = t.cl - 1;
        xh = t.cr + 1;
        v.clear();
    }
    bool RowVisible(i64 y) const { return y >= yl && y < yh; }
    void Add(i64 y, i64 x0, i64 x1, int kind = 0) {
        if (y < yl || y >= yh) return;
        x0 = std::max(x0, xl);
        x1 = std::min(x1, xh);
        if (x1 > x0) v.push_back({y, x0, x1, kind});
    }
    void AddPixel(i64 x, i64 y, int kind = 0) { Add(y, x, x + 1, kind); }
    // Sorts by row and column and merges touching runs of the same kind.
    void Normalize();

    std::vector<RowSpan> v;
    i64 yl = 0, yh = 0, xl = 0, xh = 0;
};

// Paints a shape: the pen spans with pen ink (kind 1 with the gap ink when there is one), then
// the fill spans minus every pen span with the fill ink. Either ink may be null.
void PaintShape(Target& t, SpanList& fill, const Ink* fillInk, SpanList& pen, const Ink* penInk,
                const Ink* gapInk);

// Dash patterns of 1-pixel pens, in pixels along the major axis (on, off, ...).
struct DashPattern {
    const int* runs = nullptr;
    int count = 0;
    int total = 0;
    bool On(i64 pos) const {
        if (count == 0) return true;
        i64 p = pos % total;
        for (int k = 0; k < count; ++k) {
            if (p < runs[k]) return (k & 1) == 0;
            p -= runs[k];
        }
        return true;
    }
};
DashPattern PatternOf(TPenStyle s);

// Floor and ceiling of a/b for b > 0.
inline i128 FloorDiv(i128 a, i128 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
inline i128 CeilDiv(i128 a, i128 b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

// Visits the pixels of the thin line from (x0, y0) to (x1, y1) by the grid-intersection rule:
// one pixel per step along the major axis, ties going to the smaller minor coordinate, the end
// point excluded. Only steps inside the logical clip are visited: f(step, x, y).
template <class F>
void ThinLine(const Target& t, i64 x0, i64 y0, i64 x1, i64 y1, F&& f) {
    const i64 dx = x1 - x0, dy = y1 - y0;
    const i64 adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0) return;
    const bool xmajor = adx >= ady;
    const i64 n = xmajor ? adx : ady;
    const i64 s = (xmajor ? dx : dy) < 0 ? -1 : 1;
    const i64 dmin = xmajor ? dy : dx;
    const i64 maj0 = xmajor ? x0 : y0, min0 = xmajor ? y0 : x0;
    const i64 lo = xmajor ? t.cl : t.ct, hi = xmajor ? t.cr : t.cb;
    const i64 mlo = xmajor ? t.ct : t.cl, mhi = xmajor ? t.cb : t.cr;
    i64 ia = 0, ib = n;
    if (s > 0) {
        ia = std::max(ia, lo - maj0);
        ib = std::min(ib, hi - maj0);
    } else {
        ia = std::max(ia, maj0 - (hi - 1));
        ib = std::min(ib, maj0 - lo + 1);
    }
    if (ia >= ib) return;
    const bool inside = x0 >= t.cl && x0 < t.cr && y0 >= t.ct && y0 < t.cb && x1 >= t.cl &&
                        x1 < t.cr && y1 >= t.ct && y1 < t.cb;
    const i128 D = i128(2) * n;
    auto minorAt = [&](i64 i) { return i64(min0 + CeilDiv(i128(2) * i * dmin - n, D)); };
    // First step in [a, b) where pred holds (pred is monotone false -> true), else b.
    auto first = [&](i64 a, i64 b, auto pred) {
        while (a < b) {
            i64 m = a + (b - a) / 2;
            if (pred(m))
                b = m;
            else
                a = m + 1;
        }
        return a;
    };
    if (inside) {
        // Both ends inside the clip: so is every step, no search needed.
    } else if (dmin >= 0) {
        ia = first(ia, ib, [&](i64 i) { return minorAt(i) >= mlo; });
        ib = first(ia, ib, [&](i64 i) { return minorAt(i) >= mhi; });
    } else {
        ia = first(ia, ib, [&](i64 i) { return minorAt(i) < mhi; });
        ib = first(ia, ib, [&](i64 i) { return minorAt(i) < mlo; });
    }
    if (ia >= ib) return;
    // Incremental form: the minor offset q = ceil(N / D) with N = 2*i*dmin - n, N = q*D - r.
    const i128 N = i128(2) * ia * dmin - n;
    i64 q = i64(CeilDiv(N, D));
    i64 r = i64(i128(q) * D - N);
    const i64 Dl = i64(D), step = 2 * dmin;
    i64 maj = maj0 + ia * s;
    for (i64 i = ia; i < ib; ++i, maj += s) {
        if (xmajor)
            f(i, maj, min0 + q);
        else
            f(i, min0 + q, maj);
        r -= step;
        if (r < 0) {
            ++q;
            r += Dl;
        } else if (r >= Dl) {
            --q;
            r -= Dl;
        }
    }
}

// Adds to s the pixels whose centres lie closer than rad to the segment a-b (a capsule: a band
// with round caps). Coordinates are in pixels and may be fractional.
void AddCapsule(SpanList& s, double ax, double ay, double bx, double by, double rad);

// Outline of a polygonal path drawn with a pen wider than one pixel: the union of capsules of
// width w along the path (round caps and joins). For even widths the band sits half a pixel
// towards the top-left, so that it covers c - w/2 .. c + w/2 - 1 across a line at c.
void AddWidePath(SpanList& s, const std::vector<TPoint>& pts, bool closed, int w);
void AddWidePathF(SpanList& s, const std::vector<double>& xy, bool closed, int w);

// Adds the pixels of a thin path (kind 1 for dash gaps), dash pattern carried across segments.
void AddThinPath(const Target& t, SpanList& s, std::span<const TPoint> pts, bool closed,
                 const DashPattern& pat);
// The pen's width as drawn: 0 and 1 are thin; wider pens are solid bands.
int PenWidth(const TPen& p);
// Strokes an open or closed path with the canvas's pen, without fill.
void StrokePath(TCanvas& c, std::span<const TPoint> pts, bool closed);

// Scan-converts a polygon by the top-left rule (pixel centres inside, left and top edges
// included) with the even-odd or the non-zero winding rule.
void AddPolygonFill(SpanList& s, const std::vector<TPoint>& pts, bool winding);

// Rows of a box with elliptical corners of cw x ch pixels (an ellipse when the corners are as
// large as the box): for row y, the outline is [ol0, ol1) plus [or0, or1) when or1 > or0, and
// the interior is [in0, in1). Visits only rows in [ylo, yhi).
struct BoxRow {
    i64 ol0, ol1, or0, or1, in0, in1;
};
void RoundBoxRows(i64 L, i64 T, i64 R, i64 B, i64 cw, i64 ch, i64 ylo, i64 yhi,
                  std::vector<std::pair<i64, BoxRow>>& out);

} // namespace kel::raster
