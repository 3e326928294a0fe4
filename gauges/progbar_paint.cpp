// TProgBar painting: the bar geometry helpers, the frame styles of the bar, and Paint (margin,
// track, bar with gradient and grid in each direction, frames, rotated value text), all drawn
// into an off-screen bitmap that is then copied to the control.
#include "KEL_ProgBar.h"

#include "numtext.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace kel {

int ProgBarGradientIndex(TColorMapping Mode, int F, int N, int TrackLen) {
    long long i = 0;
    switch (Mode) {
    case cgmCover:
        if (TrackLen > 0) i = Round(1023.0 * F / TrackLen);
        break;
    case cgmStretch:
        if (N > 0) i = Round(1023.0 * F / N);
        break;
    case cgmMove:
        if (TrackLen > 0)
            i = Round(1023.0 * F / TrackLen) - Round(1023.0 * (N - 1) / TrackLen) + 1023;
        break;
    }
    return int(std::clamp(i, 0LL, 1023LL));
}

double ProgBarFraction(double Value, double Min, double Max) {
    if (Max == Min) return 0;
    const double q = (Value - Min) / (Max - Min);
    return std::isnan(q) ? 0 : q;
}

int ProgBarExtent(int TrackLen, double Q) {
    constexpr double lim = 1073741824.0; // 2^30
    return int(Round(std::clamp(double(TrackLen) * Q, -lim, lim)));
}

TPoint ProgBarTextOrigin(TAlignment Alignment, int PX, int PY, int TextW, int TextH, int AngleDeg) {
    const double th = AngleDeg * std::numbers::pi / 180.0, s = std::sin(th), c = std::cos(th);
    const int h2 = TextH / 2, m = TextW / 2;
    switch (Alignment) {
    case taLeftJustify:
        return Point(PX + int(Round(-h2 * s)), PY + int(Round(-h2 * c)));
    case taRightJustify:
        return Point(PX + int(Round(-2.0 * m * c - h2 * s)), PY + int(Round(2.0 * m * s - h2 * c)));
    case taCenter:
        break;
    }
    return Point(PX + int(Round(-m * c - h2 * s)), PY + int(Round(m * s - h2 * c)));
}

// A frame style over (Lf, Tp, Rt, Bt), K/G/Wl the black, grey and white lines.
void TProgBar::DrawFrameStyle(TCanvas& C, TFrameStyle Style, int Lf, int Tp, int Rt, int Bt) {
    C.Brush().SetStyle(bsClear);
    TColor K = FColBlackLine, Wl = FColWhiteLine, G = FColGrayLine;
    switch (Style) {
    case fstNone:
        return;
    case fstLoweredThin:
        C.Pen().SetColor(G);
        C.Rectangle(Lf, Tp, Rt, Bt);
        return;
    case fstRaised:
        std::swap(K, Wl);
        [[fallthrough]];
    case fstLowered:
        C.Pen().SetColor(K);
        C.MoveTo(Lf + 1, Bt - 3);
        C.LineTo(Lf + 1, Tp + 1);
        C.LineTo(Rt - 1, Tp + 1);
        C.Pen().SetColor(Wl);
        C.MoveTo(Lf + 1, Bt - 1);
        C.LineTo(Rt - 1, Bt - 1);
        C.LineTo(Rt - 1, Tp);
        C.Pen().SetColor(G);
        C.Rectangle(Lf, Tp, Rt - 1, Bt - 1);
        break;
    case fstSimple:
        std::swap(G, Wl);
        [[fallthrough]];
    case fstEmbossed:
        C.Pen().SetColor(G);
        C.Rectangle(Lf + 1, Tp + 1, Rt, Bt);
        C.Pen().SetColor(Wl);
        C.Rectangle(Lf, Tp, Rt - 1, Bt - 1);
        break;
    default:
        return;
    }
    C.SetPixels(Lf, Bt - 1, FColorMargin);
    C.SetPixels(Rt - 1, Tp, FColorMargin);
}

// The bar. Directions drDown and drLeft draw drUp and drRight mirrored within the track: a
// coordinate v along the bar's axis maps to (Start + End - 1 - v).
void TProgBar::PaintBar(TCanvas& C, int W, int H) {
    const int L = FMarginLeft, T = FMarginTop, R = W - FMarginRight, B = H - FMarginBottom;
    const double q = ProgBarFraction(FProgValue, FProgMin, FProgMax);
    const bool vertical = FDirection == drUp || FDirection == drDown;
    const bool mirrored = FDirection == drDown || FDirection == drLeft;
    // Along the axis: the track runs a0..a1-1; the unmirrored bar grows from a1 down (drUp) or
    // from a0 up (drRight). Across: c0..c1.
    const int a0 = vertical ? T : L, a1 = vertical ? B : R;
    const int c0 = vertical ? L : T, c1 = vertical ? R : B;
    const int N = vertical ? H - FMarginTop - FMarginBottom : W - FMarginLeft - FMarginRight;
    const int ext = ProgBarExtent(N, q);
    const int limit = vertical ? H : W; // lines outside the bitmap are skipped

    // Axis position of line v of the unmirrored drawing, mirrored when needed.
    auto axis = [&](long long v) -> long long { return mirrored ? (long long)a0 + a1 - 1 - v : v; };
    auto line = [&](long long v) {
        const int p = int(axis(v));
        if (vertical) {
            C.MoveTo(c0, p);
            C.LineTo(c1, p);
        } else {
            C.MoveTo(p, c0);
            C.LineTo(p, c1);
        }
    };
    // Unmirrored bar span [s, e) along the axis (possibly reversed for negative fractions).
    long long s, e;
    if (vertical) {
        s = (long long)B - ext;
        e = B;
    } else {
        s = L;
        e = (long long)L + ext;
    }

    if (!FColorGrad) {
        const TColor col = FBarColorArray[0];
        C.Pen().SetColor(col);
        C.Brush().SetColor(col);
        long long lo = std::min(s, e), hi = std::max(s, e);
        if (mirrored) {
            const long long mlo = axis(hi - 1), mhi = axis(lo) + 1;
            lo = mlo;
            hi = mhi;
        }
        lo = std::clamp(lo, -1LL, (long long)limit + 1);
        hi = std::clamp(hi, -1LL, (long long)limit + 1);
        if (vertical)
            C.Rectangle(c0, int(lo), c1, int(hi));
        else
            C.Rectangle(int(lo), c0, int(hi), c1);
    } else if (ext > 0) {
        const int n = ext;
        // Line f lies at B - f - 1 (vertical) or L + f (horizontal) before mirroring; only the
        // lines inside the bitmap are drawn (the index does not depend on the others).
        for (int f = 0; f < n; ++f) {
            const long long v = vertical ? (long long)B - f - 1 : (long long)L + f;
            const long long p = axis(v);
            if (p < 0 || p >= limit) {
                // Lines move monotonically away: once past the far edge nothing more shows.
                const bool movingUp = vertical != mirrored;
                if ((movingUp && p < 0) || (!movingUp && p >= limit)) break;
                continue;
            }
            C.Pen().SetColor(
                FBarColorArray[std::size_t(ProgBarGradientIndex(FColorMapMode, f, n, N))]);
            line(v);
        }
    }

    if (FGridDist > 1) {
        C.Pen().SetColor(FColorGrid);
        if (vertical) {
            for (long long y = (long long)B - 1; y >= s; y -= FGridDist) {
                if (axis(y) < 0 && !mirrored) break;
                if (axis(y) >= limit && mirrored) break;
                line(y);
            }
        } else {
            for (long long x = L; x <= e; x += FGridDist) {
                if (axis(x) >= limit && !mirrored) break;
                if (axis(x) < 0 && mirrored) break;
                line(x);
            }
        }
    }
}

void TProgBar::PaintText(TCanvas& C) {
    C.Font().Assign(&Font());
    TLogFont lf = GetObjectW(C.Font());
    lf.lfEscapement = FTextAngle * 10;
    lf.lfOrientation = FTextAngle * 10;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = 0;
    lf.lfClipPrecision = 0;
    lf.lfQuality = 0;
    lf.lfPitchAndFamily = 0;
    CreateFontIndirectW(C.Font(), lf);
    C.Brush().SetStyle(bsClear);
    const std::string& text = ShownValueText(); // OnShowValue ran in the setter
    const TPoint p = ProgBarTextOrigin(FAlignment, FTextPosX, FTextPosY, C.TextWidth(text),
                                       C.TextHeight(text), FTextAngle);
    C.TextOut(p.X, p.Y, text);
}

void TProgBar::Paint() {
    if (!Visible() && !Designing()) return;
    const int W = std::max(Width(), 0), H = std::max(Height(), 0);
    const int L = FMarginLeft, T = FMarginTop, R = W - FMarginRight, B = H - FMarginBottom;
    TBitmap bmp(W, H);
    TCanvas& C = bmp.Canvas();
    C.Pen().SetColor(FColorMargin);
    C.Brush().SetColor(FColorMargin);
    C.Rectangle(0, 0, W, H);

    C.Pen().SetColor(FColorBakG);
    C.Brush().SetColor(FColorBakG);
    C.Rectangle(L, T, R, B);
    if (!FBakGndFile.empty()) {
        try {
            C.StretchDraw(Rect(L, T, R, B), AuxBmp);
        } catch (const std::exception&) {
            C.Rectangle(L, T, R, B);
        }
    }

    PaintBar(C, W, H);
    DrawFrameStyle(C, FInnerFrameSt, L, T, R, B);
    DrawFrameStyle(C, FOuterFrameSt, 0, 0, W, H);
    if (FShowValue) PaintText(C);

    TCanvas& out = Canvas();
    out.SetCopyMode(cmSrcCopy);
    out.Draw(0, 0, bmp);
}

} // namespace kel
