// Text output and measurement of the canvas: TextOut, TextRect, TextWidth, TextHeight,
// TextExtent and TextMetrics over the shared FontFace of the canvas font.
//
// Geometry: text is laid out along a baseline in (u, v) coordinates, u along the baseline from
// the reference point and v down from the top of the cell. A font orientation of theta (tenths
// of a degree, counter-clockwise) maps them to the surface as
//   x = X + u*cos(theta) + v*sin(theta),  y = Y - u*sin(theta) + v*cos(theta),
// so (X, Y) stays the top-left corner of the unrotated cell. A pixel belongs to a filled area
// (cell background, underline, strike-out) when its centre does. Glyphs are rendered rotated by
// FreeType and placed at their rounded origins.
//
// Width is the sum of the hinted glyph advances, in whole pixels. Pair kerning is not applied,
// so the extent of a string is the sum of the extents of its characters.
#include "detail/font_internal.h"
#include "detail/raster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kel {

namespace {

using detail::FontFace;
using detail::Glyph;

// d + (s - d) * a / 255 for each of the four bytes, rounded to nearest. Exact at a = 0 (d) and
// a = 255 (s); the vector path below computes the same values.
inline std::uint32_t Blend(std::uint32_t d, std::uint32_t s, unsigned a) {
    const unsigned na = 255 - a;
    std::uint32_t rb = (s & 0xFF00FF) * a + (d & 0xFF00FF) * na + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    std::uint32_t ag = ((s >> 8) & 0xFF00FF) * a + ((d >> 8) & 0xFF00FF) * na + 0x800080;
    ag = (ag + ((ag >> 8) & 0xFF00FF)) & 0xFF00FF00;
    return rb | ag;
}

// Cosine and sine of an angle in tenths of a degree, exact at the right angles.
void AngleOf(int tenths, double& c, double& s) {
    switch (((tenths % 3600) + 3600) % 3600) {
    case 0:
        c = 1;
        s = 0;
        return;
    case 900:
        c = 0;
        s = 1;
        return;
    case 1800:
        c = -1;
        s = 0;
        return;
    case 2700:
        c = 0;
        s = -1;
        return;
    default:
        break;
    }
    const double a = tenths * 3.14159265358979323846 / 1800.0;
    c = std::cos(a);
    s = std::sin(a);
}

// Everything one text call draws with.
struct TextTarget {
    std::uint32_t* Bits;
    int Stride;
    TRect Clip;   // surface coordinates, non-empty
    int X, Y;     // reference point, surface coordinates
    double C, S;  // cos and sin of the orientation
    bool Upright; // orientation 0
};

// Fills the part [u1, u2) x [v1, v2) of the text's own coordinate space with one pixel value.
void FillArea(const TextTarget& t, int u1, int u2, int v1, int v2, std::uint32_t pixel) {
    if (u2 <= u1 || v2 <= v1) return;
    if (t.Upright) {
        TRect r = IntersectRect(Rect(t.X + u1, t.Y + v1, t.X + u2, t.Y + v2), t.Clip);
        for (int y = r.Top; y < r.Bottom; ++y)
            raster::FillPixels(t.Bits + std::ptrdiff_t(y) * t.Stride + r.Left, r.Right - r.Left,
                               pixel, pmCopy);
        return;
    }
    // Bounding box of the rotated area, then a centre test per pixel.
    double xs[4], ys[4];
    const int us[4] = {u1, u2, u2, u1}, vs[4] = {v1, v1, v2, v2};
    for (int i = 0; i < 4; ++i) {
        xs[i] = t.X + us[i] * t.C + vs[i] * t.S;
        ys[i] = t.Y - us[i] * t.S + vs[i] * t.C;
    }
    TRect box{int(std::floor(*std::min_element(xs, xs + 4))),
              int(std::floor(*std::min_element(ys, ys + 4))),
              int(std::ceil(*std::max_element(xs, xs + 4))) + 1,
              int(std::ceil(*std::max_element(ys, ys + 4))) + 1};
    box = IntersectRect(box, t.Clip);
    for (int y = box.Top; y < box.Bottom; ++y) {
        const double dy = y + 0.5 - t.Y;
        std::uint32_t* row = t.Bits + std::ptrdiff_t(y) * t.Stride;
        for (int x = box.Left; x < box.Right; ++x) {
            const double dx = x + 0.5 - t.X;
            const double u = dx * t.C - dy * t.S, v = dx * t.S + dy * t.C;
            if (u >= u1 && u < u2 && v >= v1 && v < v2) row[x] = pixel;
        }
    }
}

#ifdef __SSE2__
// Four pixels at once: the byte-wise Blend with 16-bit lanes (s*a + d*(255-a) + 128 stays below
// 65536, so nothing overflows).
inline void Blend4(std::uint32_t* dst, __m128i color16, std::uint32_t cov4) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = _mm_cvtsi32_si128(int(cov4));
    a = _mm_unpacklo_epi8(a, a);
    a = _mm_unpacklo_epi16(a, a); // each coverage byte repeated over its pixel's four bytes
    const __m128i aLo = _mm_unpacklo_epi8(a, zero), aHi = _mm_unpackhi_epi8(a, zero);
    const __m128i k255 = _mm_set1_epi16(255), k128 = _mm_set1_epi16(128);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
    __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(color16, aLo),
                                             _mm_mullo_epi16(dLo, _mm_sub_epi16(k255, aLo))),
                               k128);
    __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(color16, aHi),
                                             _mm_mullo_epi16(dHi, _mm_sub_epi16(k255, aHi))),
                               k128);
    lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(lo, hi));
}
#endif

// Blends one glyph bitmap with its top-left at surface (gx, gy).
void DrawGlyph(const TextTarget& t, const Glyph& g, int gx, int gy, std::uint32_t color) {
    const int x1 = std::max(gx, t.Clip.Left), x2 = std::min(gx + g.Width, t.Clip.Right);
    const int y1 = std::max(gy, t.Clip.Top), y2 = std::min(gy + g.Rows, t.Clip.Bottom);
    if (x1 >= x2 || y1 >= y2) return;
#ifdef __SSE2__
    const __m128i color16 = _mm_unpacklo_epi8(_mm_set1_epi32(int(color)), _mm_setzero_si128());
    // Groups of four may run past the glyph's width into its zero padding (which leaves those
    // pixels as they are) but never past the clip.
    const int cx1 = x1 - gx;
    const int groups = std::min((g.Pitch - cx1) / 4, (t.Clip.Right - x1) / 4);
    const int vecEnd = std::min(x2, x1 + groups * 4);
#else
    const int vecEnd = x1;
#endif
    for (int y = y1; y < y2; ++y) {
        const std::uint8_t* cov = g.Coverage.data() + std::size_t(y - gy) * g.Pitch + (x1 - gx);
        std::uint32_t* dst = t.Bits + std::ptrdiff_t(y) * t.Stride + x1;
        int x = x1;
#ifdef __SSE2__
        for (; x < vecEnd; x += 4, cov += 4, dst += 4) {
            std::uint32_t c4;
            std::memcpy(&c4, cov, 4);
            if (c4 == 0) continue;
            if (c4 == 0xFFFFFFFFu) {
                dst[0] = dst[1] = dst[2] = dst[3] = color;
                continue;
            }
            Blend4(dst, color16, c4);
        }
#endif
        for (; x < x2; ++x, ++cov, ++dst) {
            const unsigned a = *cov;
            if (a != 0) *dst = Blend(*dst, color, a);
        }
    }
}

// Sum of the advances of a UTF-8 string.
int AdvanceOf(FontFace& face, const std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    int w = 0;
    while (p < end) w += face.GetGlyph(detail::NextCodePoint(p, end)).Advance;
    return w;
}

// Draws text at logical (x, y) within the surface rectangle clip, first filling the cell with
// cellPixel when fillCell. Returns the advance width of the text.
int DrawText(const TCanvas& canvas, const TFont& font, unsigned align, int x, int y,
             const std::string& text, const TRect& clip, bool fillCell, std::uint32_t cellPixel) {
    FontFace& face = font.Face();
    const unsigned horz = align & TA_CENTER, vert = align & TA_BASELINE;
    const bool needWidth = fillCell || horz != TA_LEFT;
    int width = needWidth ? AdvanceOf(face, text) : 0;
    // Reference points far outside any surface (which is at most 32767 pixels a side) are not
    // drawn; this also keeps every coordinate sum below within int range.
    const TPoint org = canvas.Origin();
    constexpr long long Far = 1 << 28;
    const bool far =
        std::llabs((long long)x + org.X) > Far || std::llabs((long long)y + org.Y) > Far;
    if (!canvas.SurfaceBits() || clip.IsEmpty() || far)
        return needWidth ? width : AdvanceOf(face, text);
    const TTextMetric& tm = face.Metrics();

    TextTarget t{
        canvas.SurfaceBits(), canvas.SurfaceStride(), clip, x + org.X, y + org.Y, 1, 0, true};
    AngleOf(font.Orientation(), t.C, t.S);
    t.Upright = t.C == 1 && t.S == 0;

    // Alignment moves the reference point along the baseline and across it.
    const int u0 = horz == TA_CENTER ? -(width / 2) : horz == TA_RIGHT ? -width : 0;
    const int v0 = vert == TA_BASELINE ? -tm.tmAscent : vert == TA_BOTTOM ? -tm.tmHeight : 0;

    if (fillCell) FillArea(t, u0, u0 + width, v0, v0 + tm.tmHeight, cellPixel);

    const std::uint32_t color = ColorToPixel(font.Color());
    const int baseline = v0 + tm.tmAscent;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    int u = u0;
    if (t.Upright) {
        const int oy = t.Y + baseline;
        while (p < end) {
            const Glyph& g = face.GetGlyph(detail::NextCodePoint(p, end));
            if (g.Width) DrawGlyph(t, g, t.X + u + g.Left, oy - g.Top, color);
            u += g.Advance;
        }
    } else {
        while (p < end) {
            const Glyph& g = face.GetGlyph(detail::NextCodePoint(p, end));
            if (g.Width) {
                const int ox = int(std::floor(t.X + u * t.C + baseline * t.S + 0.5));
                const int oy = int(std::floor(t.Y - u * t.S + baseline * t.C + 0.5));
                DrawGlyph(t, g, ox + g.Left, oy - g.Top, color);
            }
            u += g.Advance;
        }
    }
    width = u - u0;

    const TFontStyles style = font.Style();
    const int thick = face.LineThickness();
    if (style.contains(fsUnderline)) {
        const int top = baseline + face.UnderlinePosition();
        FillArea(t, u0, u0 + width, top, top + thick, color);
    }
    if (style.contains(fsStrikeOut)) {
        const int top = baseline + face.StrikeOutPosition();
        FillArea(t, u0, u0 + width, top, top + thick, color);
    }
    return width;
}

} // namespace

int TCanvas::TextWidth(const std::string& text) const { return AdvanceOf(FFont.Face(), text); }

int TCanvas::TextHeight(const std::string&) const { return FFont.Face().Metrics().tmHeight; }

TSize TCanvas::TextExtent(const std::string& text) const {
    return {TextWidth(text), TextHeight(text)};
}

TTextMetric TCanvas::TextMetrics() const { return FFont.Face().Metrics(); }

void TCanvas::TextOut(int x, int y, const std::string& text) {
    const int width = DrawText(*this, FFont, FTextAlign, x, y, text, FDevClip,
                               FBrush.Style() != bsClear, ColorToPixel(FBrush.Color()));
    const long long end = (long long)x + width; // kept in range for absurd x
    FPenPos = {int(std::clamp<long long>(end, INT32_MIN, INT32_MAX)), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    const TRect clip = IntersectRect(OffsetRect(r, FOrigin.X, FOrigin.Y), FDevClip);
    if (clip.IsEmpty() || !FBits) return;
    if (FBrush.Style() != bsClear) {
        const std::uint32_t pixel = ColorToPixel(FBrush.Color());
        for (int row = clip.Top; row < clip.Bottom; ++row)
            raster::FillPixels(FBits + std::ptrdiff_t(row) * FStride + clip.Left,
                               clip.Right - clip.Left, pixel, pmCopy);
    }
    DrawText(*this, FFont, FTextAlign, x, y, text, clip, false, 0);
}

} // namespace kel
