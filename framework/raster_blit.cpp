// Blits: Draw (plain or with a transparent key colour), StretchDraw, CopyRect and StretchBlt.
//
// Every destination pixel inside the clip takes a sample of the source: the nearest pixel
// (COLORONCOLOR, and any mode when the size is unchanged or grows), the AND or OR of the pixels
// it covers (BLACKONWHITE, WHITEONBLACK when shrinking), or their area-weighted mean
// (HALFTONE). The sample is then combined with the destination through the raster operation's
// truth table over pattern (the destination brush), source and destination. A negative width
// or height on one side only mirrors the image; a negative extent covers x+w+1 .. x. Only the
// destination is clipped; destination pixels whose source would lie outside the source surface
// are left unchanged.
#include "kel_graphics.h"
#include "detail/raster.h"

#include <cstring>

namespace kel {
namespace raster {

namespace {

struct SrcView {
    const std::uint32_t* bits = nullptr;
    i64 w = 0, h = 0, stride = 0;
};

// Result of a ternary raster operation (truth-table index idx) on pattern, source, destination.
struct Rop3 {
    explicit Rop3(std::uint32_t rop) : idx((rop >> 16) & 0xFF) {
        for (int k = 0; k < 8; ++k) m[k] = ((idx >> k) & 1) ? ~0u : 0u;
    }
    bool UsesSource() const { return ((idx >> 2) & 0x33) != (idx & 0x33); }
    std::uint32_t operator()(std::uint32_t P, std::uint32_t S, std::uint32_t D) const {
        switch (idx) {
        case 0xCC:
            return S & 0xFFFFFF;
        case 0x88:
            return S & D & 0xFFFFFF;
        case 0xEE:
            return (S | D) & 0xFFFFFF;
        case 0x66:
            return (S ^ D) & 0xFFFFFF;
        default:
            break;
        }
        const std::uint32_t nP = ~P, nS = ~S, nD = ~D;
        // Minterm k is p<<2 | s<<1 | d.
        const std::uint32_t r = (m[0] & nP & nS & nD) | (m[1] & nP & nS & D) |
                                (m[2] & nP & S & nD) | (m[3] & nP & S & D) | (m[4] & P & nS & nD) |
                                (m[5] & P & nS & D) | (m[6] & P & S & nD) | (m[7] & P & S & D);
        return r & 0xFFFFFF;
    }
    unsigned idx;
    std::uint32_t m[8];
};

// How one axis of the destination maps onto the source: for destination index i, the source
// indexes [first[i], first[i] + count[i]) (absolute, in source device pixels), and for the
// halftone case their overlap weights.
struct AxisMap {
    std::vector<i64> first, count;
    std::vector<std::vector<std::uint32_t>> weight;
    i64 total = 1; // sum of the weights of one destination index
    std::vector<bool> valid;
};

// Destination indexes [i0, i1) of an axis of size nd mapped onto ns source pixels starting at
// source device position s0; flip mirrors. mode as the canvas stretch mode.
AxisMap MapAxis(i64 i0, i64 i1, i64 nd, i64 ns, i64 s0, bool flip, int mode, i64 srcSize) {
    AxisMap a;
    const i64 n = i1 - i0;
    a.first.resize(std::size_t(n));
    a.count.resize(std::size_t(n));
    a.valid.resize(std::size_t(n));
    const bool halftone = mode == HALFTONE && nd != ns;
    if (halftone) {
        a.weight.resize(std::size_t(n));
        a.total = ns;
    }
    for (i64 k = 0; k < n; ++k) {
        const i64 i = flip ? nd - 1 - (i0 + k) : i0 + k;
        i64 f, c = 1;
        if (nd == ns) {
            f = i;
        } else if (halftone) {
            // Source interval [i*ns, (i+1)*ns) against pixel j's [j*nd, (j+1)*nd).
            const i128 lo = i128(i) * ns, hi = i128(i + 1) * ns;
            f = i64(lo / nd);
            const i64 last = i64((hi + nd - 1) / nd) - 1;
            c = last - f + 1;
            auto& w = a.weight[std::size_t(k)];
            w.resize(std::size_t(c));
            for (i64 j = f; j <= last; ++j) {
                const i128 o = std::min(i128(j + 1) * nd, hi) - std::max(i128(j) * nd, lo);
                w[std::size_t(j - f)] = std::uint32_t(o);
            }
        } else if (nd < ns && (mode == BLACKONWHITE || mode == WHITEONBLACK)) {
            f = i64(i128(i) * ns / nd);
            c = std::max<i64>(1, i64(i128(i + 1) * ns / nd) - f);
        } else {
            f = i64((i128(2) * i + 1) * ns / (2 * i128(nd)));
        }
        f += s0;
        a.first[std::size_t(k)] = f;
        a.count[std::size_t(k)] = c;
        a.valid[std::size_t(k)] = f >= 0 && f + c <= srcSize;
    }
    return a;
}

struct BlitArgs {
    i64 x, y, w, h;     // destination, logical
    i64 sx, sy, sw, sh; // source, in source device pixels
    std::uint32_t rop = cmSrcCopy;
    bool transparent = false;
    std::uint32_t key = 0; // pixel word of the transparent colour
};

bool Blit(TCanvas& dst, const SrcView& src0, BlitArgs a) {
    if (a.w == 0 || a.h == 0 || a.sw == 0 || a.sh == 0) return false;
    const bool flipX = (a.w < 0) != (a.sw < 0), flipY = (a.h < 0) != (a.sh < 0);
    if (a.w < 0) a.x += a.w + 1, a.w = -a.w;
    if (a.h < 0) a.y += a.h + 1, a.h = -a.h;
    if (a.sw < 0) a.sx += a.sw + 1, a.sw = -a.sw;
    if (a.sh < 0) a.sy += a.sh + 1, a.sh = -a.sh;
    Target tg(dst);
    if (tg.Empty()) return true;
    const i64 i0 = std::max<i64>(0, tg.cl - a.x), i1 = std::min<i64>(a.w, tg.cr - a.x);
    const i64 j0 = std::max<i64>(0, tg.ct - a.y), j1 = std::min<i64>(a.h, tg.cb - a.y);
    if (i0 >= i1 || j0 >= j1) return true;
    const Rop3 rop(a.rop);
    const bool needSrc = a.transparent || rop.UsesSource();
    if (needSrc && src0.bits == nullptr) return false;

    // A source that shares the destination's pixels is read from a copy.
    SrcView src = src0;
    std::vector<std::uint32_t> copy;
    if (needSrc && src.bits == tg.bits) {
        copy.assign(src.bits, src.bits + (src.h - 1) * src.stride + src.w);
        src.bits = copy.data();
    }
    // Key-colour draws sample the nearest pixel: a mean would mix the key into its neighbours.
    const int mode = a.transparent ? COLORONCOLOR : dst.StretchBltMode();
    const AxisMap mx = MapAxis(i0, i1, a.w, a.sw, a.sx, flipX, mode, src.w);
    const AxisMap my = MapAxis(j0, j1, a.h, a.sh, a.sy, flipY, mode, src.h);
    const bool halftone = !mx.weight.empty() || !my.weight.empty();
    const bool andMode = mode == BLACKONWHITE;

    // The pattern: the destination brush (hatch bits in its colour, white elsewhere).
    const TBrush& br = dst.Brush();
    const std::uint32_t pat = ColorToPixel(br.Color());
    const bool hatched = br.Style() != bsSolid && br.Style() != bsClear;

    for (i64 jj = j0; jj < j1; ++jj) {
        const std::size_t ky = std::size_t(jj - j0);
        if (needSrc && !my.valid[ky]) continue;
        const i64 dy = a.y + jj + tg.oy;
        std::uint32_t* drow = tg.bits + dy * tg.stride;
        // Straight copy of a row.
        if (!halftone && !a.transparent && rop.idx == 0xCC && a.w == a.sw && !flipX &&
            mx.valid[0] && mx.valid[std::size_t(i1 - i0 - 1)]) {
            const std::uint32_t* s = src.bits + my.first[ky] * src.stride + mx.first[0];
            std::uint32_t* d = drow + a.x + i0 + tg.ox;
            CopyPixels(d, s, i1 - i0);
            continue;
        }
        for (i64 ii = i0; ii < i1; ++ii) {
            const std::size_t kx = std::size_t(ii - i0);
            if (needSrc && !mx.valid[kx]) continue;
            const i64 dx = a.x + ii + tg.ox;
            std::uint32_t S = 0;
            if (needSrc) {
                if (halftone) {
                    // Area-weighted mean per channel (axes without weights count 1 pixel).
                    std::uint64_t acc[3] = {0, 0, 0};
                    const i64 fy = my.first[ky], cy = my.count[ky];
                    const i64 fx = mx.first[kx], cx = mx.count[kx];
                    for (i64 v = 0; v < cy; ++v) {
                        const std::uint64_t wy =
                            my.weight.empty() ? 1 : my.weight[ky][std::size_t(v)];
                        const std::uint32_t* s = src.bits + (fy + v) * src.stride + fx;
                        for (i64 u = 0; u < cx; ++u) {
                            const std::uint64_t wgt =
                                wy * (mx.weight.empty() ? 1 : mx.weight[kx][std::size_t(u)]);
                            const std::uint32_t p = s[u];
                            acc[0] += wgt * (p & 0xFF);
                            acc[1] += wgt * ((p >> 8) & 0xFF);
                            acc[2] += wgt * ((p >> 16) & 0xFF);
                        }
                    }
                    const std::uint64_t tot = std::uint64_t(mx.total) * std::uint64_t(my.total);
                    S = std::uint32_t((acc[0] + tot / 2) / tot) |
                        (std::uint32_t((acc[1] + tot / 2) / tot) << 8) |
                        (std::uint32_t((acc[2] + tot / 2) / tot) << 16);
                } else {
                    const i64 fy = my.first[ky], cy = my.count[ky];
                    const i64 fx = mx.first[kx], cx = mx.count[kx];
                    S = src.bits[fy * src.stride + fx];
                    if (cx > 1 || cy > 1) {
                        for (i64 v = 0; v < cy; ++v)
                            for (i64 u = 0; u < cx; ++u) {
                                const std::uint32_t p = src.bits[(fy + v) * src.stride + fx + u];
                                S = andMode ? (S & p) : (S | p);
                            }
                    }
                }
            }
            std::uint32_t& D = drow[dx];
            if (a.transparent) {
                if ((S & 0xFFFFFF) != a.key) D = S & 0xFFFFFF;
                continue;
            }
            const std::uint32_t P = hatched ? (HatchBit(br.Style(), dx, dy) ? pat : 0xFFFFFF) : pat;
            D = rop(P, S, D);
        }
    }
    return true;
}

SrcView ViewOf(const TBitmap& b) {
    SrcView v;
    if (b.Empty()) return v;
    v.bits = b.Bits();
    v.w = b.Width();
    v.h = b.Height();
    v.stride = b.Width();
    return v;
}

} // namespace
} // namespace raster

int StretchBlt(TCanvas& dst, int x, int y, int w, int h, const TCanvas& src, int sx, int sy, int sw,
               int sh, TCopyMode rop) {
    raster::SrcView v;
    v.bits = src.FBits;
    v.w = src.FSurfW;
    v.h = src.FSurfH;
    v.stride = src.FStride;
    raster::BlitArgs a{
        x,  y,   w,     h, raster::i64(sx) + src.FOrigin.X, raster::i64(sy) + src.FOrigin.Y, sw,
        sh, rop, false, 0};
    return raster::Blit(dst, v, a) ? 1 : 0;
}

void TCanvas::Draw(int x, int y, const TBitmap& bmp) {
    if (bmp.Empty()) return;
    raster::BlitArgs a{
        x, y, bmp.Width(), bmp.Height(), 0, 0, bmp.Width(), bmp.Height(), FCopyMode, false, 0};
    if (bmp.Transparent()) {
        a.transparent = true;
        a.key = ColorToPixel(bmp.TransparentColor()) & 0xFFFFFF;
    }
    raster::Blit(*this, raster::ViewOf(bmp), a);
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap& bmp) {
    if (bmp.Empty() || r.IsEmpty()) return;
    raster::BlitArgs a{r.Left,      r.Top,        r.Width(), r.Height(), 0, 0,
                       bmp.Width(), bmp.Height(), FCopyMode, false,      0};
    if (bmp.Transparent()) {
        a.transparent = true;
        a.key = ColorToPixel(bmp.TransparentColor()) & 0xFFFFFF;
    }
    raster::Blit(*this, raster::ViewOf(bmp), a);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& src, const TRect& srcRect) {
    StretchBlt(*this, dest.Left, dest.Top, dest.Width(), dest.Height(), src, srcRect.Left,
               srcRect.Top, srcRect.Width(), srcRect.Height(), FCopyMode);
}

} // namespace kel
