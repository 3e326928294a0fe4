// Painting of TMeter. The whole meter is drawn into an off-screen bitmap of the control's size
// and copied to the control's canvas in one step. The steps, in order: background, colour
// band, scale (arc, short ticks, long ticks with labels), caption, needles, rims, anchor with
// the inner frame, limit-watch lamps, OnMeterRendered, outer frame. Every position comes from
// meter_scale.h; this file only calls canvas primitives with them. What lies under the needles
// and what covers them are kept between paints with a key of everything they depend on; on the
// meter's own bitmap a paint after a new value only puts the dial back under the old needles,
// draws the new ones and the cover where either lay. The pixels are the same either way.
#include "KEL_Meter.h"

#include "numtext.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace kel {

namespace {

// Differences of drawing angles below this (radians) leave a band sector out.
constexpr double kMinSector = 1e-6;

int RoundI(double v) { return static_cast<int>(Round(v)); }

void PenAndBrush(TCanvas& C, TColor Color) {
    C.Pen().SetColor(Color);
    C.Brush().SetColor(Color); // also makes the brush solid
}

} // namespace

void TMeter::Paint() {
    // The off-screen bitmap is kept between paints: RenderTo covers every pixel of it.
    if (!FBuffer) FBuffer = std::make_unique<TBitmap>();
    if (!RenderTo(*FBuffer)) return;
    Canvas().Draw(0, 0, *FBuffer);
}

namespace {

// The bytes of the values a cached layer depends on, for comparing.
class TKey {
  public:
    template <class T>
    requires std::is_arithmetic_v<T> || std::is_enum_v<T> TKey& operator<<(T V) {
        FBytes.append(reinterpret_cast<const char*>(&V), sizeof V);
        return *this;
    }
    TKey& operator<<(const std::string& V) {
        *this << V.size();
        FBytes += V;
        return *this;
    }
    TKey& operator<<(const TFont& F) {
        const TLogFont& l = F.LogFont();
        return *this << l.lfHeight << l.lfWidth << l.lfEscapement << l.lfOrientation << l.lfWeight
                     << l.lfItalic << l.lfUnderline << l.lfStrikeOut << l.lfCharSet
                     << l.lfOutPrecision << l.lfClipPrecision << l.lfQuality << l.lfPitchAndFamily
                     << l.lfFaceName << F.Color();
    }
    std::string Take() { return std::move(FBytes); }

  private:
    std::string FBytes;
};

} // namespace

std::string TMeter::UnderlayKey() const {
    TKey k;
    k << Width() << Height() << FMeterRadius << FMeterCenterX << FMeterCenterY << FMeterAngle
      << FBakGndFName << FPictureGen << FBGFillMode << FColorBakG << Font() << FScaleBkVis
      << FScaleBakWidth << FColorBakGLow << FColorBakGNorm << FColorBakGHigh << FLowThreshold
      << FHighThreshold << FMinValue << FMaxValue << LogScale() << FScaleVis << FColorScale
      << FScaleLine << FShortTicks << FNrTicks << FDecPlaces << FCaption << *FFontCaption;
    return k.Take();
}

std::string TMeter::OverlayKey() const {
    TKey k;
    k << Width() << Height() << FColorCover << FSRim << FTRim << FBRim << FAnchorCovrd
      << FSizeAnchor << FMeterLayout << FMeterCenterX << FMeterCenterY << FLimWatHighOn
      << FLimWatLowOn << FLimWatActCol << FLimWatPsvCol << FOFL << FUFL << FFrameStyle
      << FColGrayLine << FColWhiteLine << FColorBakG;
    return k.Take();
}

// Background, band, scale and caption, from the canvas state of a new bitmap.
void TMeter::DrawUnderlay(TCanvas& C, TBitmap& Target, int W, int H) {
    // Start as a new bitmap does: black pen, white solid brush, plain copies, and white where
    // the background step might leave pixels alone (every other background covers them all).
    const bool bare = !FBakGndFName.empty() &&
                      (FBGFillMode == bfStretch || FBGFillMode == bfTile) && AuxBGBmp->Empty();
    if (bare) std::fill_n(Target.Bits(), std::size_t(W) * std::size_t(H), 0x00FFFFFFu);
    C.Pen().SetColor(clBlack);
    C.Pen().SetWidth(1);
    C.Pen().SetStyle(psSolid);
    C.Pen().SetMode(pmCopy);
    C.Brush().SetColor(clWhite);
    C.Brush().SetStyle(bsSolid);
    C.SetCopyMode(cmSrcCopy);

    DrawBackground(C, W, H);
    if (FScaleBkVis) DrawScaleBand(C);
    C.Brush().SetStyle(bsClear);
    if (FScaleVis) DrawScale(C);

    // Caption, also when the scale is hidden.
    C.Font().Assign(FFontCaption.get());
    C.TextOut(FMeterCenterX - C.TextWidth(FCaption) / 2,
              FMeterCenterY - RoundI(FMeterRadius / 3) - C.TextHeight(FCaption) / 2, FCaption);
}

// Rims, anchor and lamps (then OnMeterRendered) and the outer frame: what covers the needles.
void TMeter::DrawOverlay(TCanvas& C, int W, int H) {
    // Rims: they hide whatever reaches outside the dial window.
    PenAndBrush(C, FColorCover);
    C.Rectangle(0, 0, FSRim - 1, H);
    C.Rectangle(0, 0, W, FTRim);
    C.Rectangle(W - FSRim, 0, W, H);
    C.Rectangle(0, H - FBRim, W, H);

    DrawAnchor(C, W, H);
    if (FLimWatHighOn) DrawLamp(C, W - FSRim - 18, FTRim + 8, FOFL);
    if (FLimWatLowOn) DrawLamp(C, FSRim + 8, FTRim + 8, FUFL);
    if (FOnMeterRendered) FOnMeterRendered(this, C);
    DrawOuterFrame(C, W, H);
}

bool TMeter::RenderTo(TBitmap& Target) {
    const double R = FMeterRadius;
    if (!(R > 0)) return false;
    const int W = Width(), H = Height();
    const std::size_t n = std::size_t(W) * std::size_t(H);
    Target.SetSize(W, H);
    TCanvas& c = Target.Canvas();
    if (!FDialCache) FDialCache = std::make_unique<TDialCache>();
    TDialCache& dc = *FDialCache;
    // Without handlers and an anchor picture both layers can be kept. The meter's own
    // off-screen bitmap (which nothing else writes) then holds the last composition of them,
    // and only the old needles need replacing.
    const bool plain = !FOnBeforeDrawScaleLabel && !FOnBeforeDrawNeedle && !FOnMeterRendered &&
                       FACoverFName.empty();
    const bool own = &Target == FBuffer.get();
    std::string overKey = plain ? OverlayKey() : std::string();
    // What the own bitmap holds stops being a composition of the layers once it is drawn into
    // (it becomes one again at the end when the layers were used).
    TDialCache::TComposed last;
    if (own) std::swap(last, dc.Composed);

    // Below the needles: the cached dial when nothing it shows has changed. A label handler
    // may draw anything, so it is called at every paint.
    TRect restored{};
    bool underCached = false;
    std::string key = FOnBeforeDrawScaleLabel ? std::string() : UnderlayKey();
    if (FOnBeforeDrawScaleLabel || (key != dc.UnderKey && key != dc.UnderSeen)) {
        // Drawn straight on. A new dial is cached when it is painted again: the cache costs a
        // copy of the whole dial, which a dial drawn once (or changing at every paint) never
        // repays.
        DrawUnderlay(c, Target, W, H);
        restored = Rect(0, 0, W, H);
        if (FOnBeforeDrawScaleLabel)
            dc.UnderKey.clear();
        else
            dc.UnderSeen = std::move(key);
    } else {
        underCached = true;
        if (key != dc.UnderKey) {
            dc.UnderKey.clear();
            dc.UnderSeen.clear();
            dc.Under.SetSize(W, H);
            TCanvas& u = dc.Under.Canvas();
            DrawUnderlay(u, dc.Under, W, H);
            dc.Pen.Assign(&u.Pen());
            dc.Brush.Assign(&u.Brush());
            dc.Font.Assign(&u.Font());
            dc.UnderPenPos = u.PenPos();
            dc.UnderKey = std::move(key);
        }
        if (plain && own && last.Target == &Target && last.UnderKey == dc.UnderKey &&
            last.OverKey == overKey) {
            // Everything but the old needles is already there: put the dial back under them.
            restored = IntersectRect(last.Needles, Rect(0, 0, W, H));
            for (int y = restored.Top; y < restored.Bottom; ++y) {
                const std::size_t at = std::size_t(y) * std::size_t(W) + std::size_t(restored.Left);
                std::copy_n(dc.Under.Bits() + at, restored.Width(), Target.Bits() + at);
            }
        } else {
            std::copy_n(dc.Under.Bits(), n, Target.Bits());
            restored = Rect(0, 0, W, H);
        }
        // The canvas as drawing the dial would have left it, for the needle steps and
        // OnBeforeDrawNeedle.
        c.Pen().Assign(&dc.Pen);
        c.Brush().Assign(&dc.Brush);
        c.Font().Assign(&dc.Font);
        c.SetPenPos(dc.UnderPenPos);
        c.SetCopyMode(cmSrcCopy);
    }

    // Needles: the secondary one first (when its layout is visible), then the main one unless
    // OnBeforeDrawNeedle has drawn it.
    TRect needles{};
    if (FNeedle2Layout->Visible()) {
        c.Brush().SetStyle(bsSolid);
        needles = DrawNeedle(c, *FNeedle2Layout, 270.0 - CalcNeedleAngle(FValue2));
        c.Brush().SetStyle(bsClear);
    }
    bool needleDrawn = false;
    if (FOnBeforeDrawNeedle) FOnBeforeDrawNeedle(this, c, needleDrawn);
    if (!needleDrawn) {
        c.Brush().SetStyle(bsSolid);
        const double phiN = MeterDrawAngle(
            MeterScaleFraction(FValue, FMinValue, FMaxValue, LogScale()), FMeterAngle);
        const TRect box = DrawNeedle(c, *FNeedleLayout, phiN);
        needles = needles.IsEmpty() ? box : UnionRect(needles, box);
    }

    // Over the needles: cached as the pixels it draws, when it draws the same whatever lies
    // beneath (no anchor picture, which is combined with the dial) and no handler can draw in
    // it or change the canvas it starts from.
    if (!plain) {
        DrawOverlay(c, W, H);
        return true;
    }
    if (overKey != dc.OverKey && overKey != dc.OverSeen) {
        // A new overlay is drawn straight on: the cache costs two more renderings and a
        // compare, which pays only when the same overlay is painted again (a dial that is
        // shown once, or whose frame keeps changing, never gains from it).
        DrawOverlay(c, W, H);
        dc.OverSeen = std::move(overKey);
        return true; // the own bitmap is no composition of the layers now
    }
    if (overKey != dc.OverKey) {
        dc.OverKey.clear();
        dc.OverSeen.clear();
        // Drawn onto black and onto white: the pixels that agree are the ones it draws.
        TBitmap a(W, H), b(W, H); // a new bitmap is white
        if (n > 0) std::memset(a.Bits(), 0, n * sizeof(std::uint32_t));
        for (TBitmap* t : {&a, &b}) {
            TCanvas& o = t->Canvas();
            o.Pen().Assign(&c.Pen());
            o.Brush().Assign(&c.Brush());
            o.SetCopyMode(cmSrcCopy);
            DrawOverlay(o, W, H);
        }
        dc.Over.assign(a.Bits(), a.Bits() + n);
        dc.Spans.clear(); // runs within one row each, row by row
        const std::uint32_t *pa = a.Bits(), *pb = b.Bits();
        for (int y = 0; y < H; ++y) {
            const std::size_t row = std::size_t(y) * std::size_t(W);
            for (int x = 0; x < W;) {
                if (pa[row + std::size_t(x)] != pb[row + std::size_t(x)]) {
                    ++x;
                    continue;
                }
                const int from = x;
                while (x < W && pa[row + std::size_t(x)] == pb[row + std::size_t(x)]) ++x;
                dc.Spans.push_back({row + std::size_t(from), std::size_t(x - from)});
            }
        }
        dc.OverKey = std::move(overKey);
    }
    // Where the dial was put back or needles drawn, the overlay goes on again.
    const TRect redo = IntersectRect(needles.IsEmpty() ? restored : UnionRect(restored, needles),
                                     Rect(0, 0, W, H));
    std::uint32_t* out = Target.Bits();
    for (const auto& [from, len] : dc.Spans) {
        const int y = int(from / std::size_t(W)), x0 = int(from % std::size_t(W));
        if (y < redo.Top || y >= redo.Bottom) continue;
        const int l = std::max(x0, redo.Left), r = std::min(x0 + int(len), redo.Right);
        if (l < r) {
            const std::size_t at = std::size_t(y) * std::size_t(W) + std::size_t(l);
            std::copy_n(dc.Over.data() + at, r - l, out + at);
        }
    }
    if (own && underCached) {
        dc.Composed.Target = &Target;
        dc.Composed.Needles = needles;
        dc.Composed.UnderKey = dc.UnderKey;
        dc.Composed.OverKey = dc.OverKey;
    }
    return true;
}

void TMeter::DrawBackground(TCanvas& C, int W, int H) {
    if (FBakGndFName.empty()) {
        C.Font().Assign(&Font());
        PenAndBrush(C, FColorBakG);
        C.Rectangle(0, 0, W, H);
        return;
    }
    const TBitmap& pic = *AuxBGBmp;
    const int pw = pic.Width(), ph = pic.Height();
    switch (FBGFillMode) {
    case bfSimple:
        C.Rectangle(0, 0, W, H);
        C.StretchDraw(Rect(0, 0, pw, ph), pic);
        break;
    case bfStretch:
        C.StretchDraw(Rect(0, 0, W, H), pic);
        break;
    case bfTile: {
        if (pw <= 0 || ph <= 0) break;
        const int nx = (W - 1) / pw + 1, ny = (H - 1) / ph + 1;
        for (int i = 1; i <= nx; ++i)
            for (int j = 1; j <= ny; ++j)
                C.StretchDraw(Rect(pw * (i - 1), ph * (j - 1), pw * i, ph * j), pic);
        break;
    }
    default: { // bfCenter and beyond: own size, centred
        const int x = (W - pw) / 2, y = (H - ph) / 2;
        C.Rectangle(0, 0, W, H);
        C.StretchDraw(Rect(x, y, x + pw, y + ph), pic);
        break;
    }
    }
}

void TMeter::DrawScaleBand(TCanvas& C) {
    const double R = FMeterRadius;
    const int CX = FMeterCenterX, CY = FMeterCenterY, A = FMeterAngle;
    const bool log = LogScale();
    const double phiS = 90.0 + A / 2.0, phiE = 90.0 - A / 2.0;
    const double phiL =
        MeterDrawAngle(MeterScaleFraction(FLowThreshold, FMinValue, FMaxValue, log), A);
    const double phiH =
        MeterDrawAngle(MeterScaleFraction(FHighThreshold, FMinValue, FMaxValue, log), A);
    const int ro = RoundI(R + 4), ri = RoundI((100 - FScaleBakWidth) * R / 100);
    const double toRad = std::numbers::pi / 180.0;
    auto sector = [&](TColor col, double from, double to) {
        if (std::fabs(from - to) * toRad <= kMinSector) return;
        PenAndBrush(C, col);
        const TPoint s = MeterArcPoint(CX, CY, R, from), e = MeterArcPoint(CX, CY, R, to);
        C.Pie(CX - ro, CY - ro, CX + ro + 1, CY + ro, s.X, s.Y, e.X, e.Y);
    };
    sector(FColorBakGLow, phiL, phiS);
    sector(FColorBakGNorm, phiH, phiL);
    sector(FColorBakGHigh, phiE, phiH);
    PenAndBrush(C, FColorBakG);
    C.Ellipse(CX - ri, CY - ri, CX + ri + 1, CY + ri);
}

bool TMeter::TScaleCache::Key::operator==(const Key& o) const {
    const TLogFont &a = Font, &b = o.Font;
    return Min == o.Min && Max == o.Max && Radius == o.Radius && Log == o.Log &&
           NrTicks == o.NrTicks && DecPlaces == o.DecPlaces && CX == o.CX && CY == o.CY &&
           Angle == o.Angle && a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth &&
           a.lfEscapement == b.lfEscapement && a.lfOrientation == b.lfOrientation &&
           a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
           a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           a.lfFaceName == b.lfFaceName;
}

const TMeter::TScaleCache& TMeter::ScaleLayout(TCanvas& C) {
    if (!FScaleCache) FScaleCache = std::make_unique<TScaleCache>();
    TScaleCache& sc = *FScaleCache;
    TScaleCache::Key k{FMinValue,  FMaxValue,     FMeterRadius,  LogScale(),  FNrTicks,
                       FDecPlaces, FMeterCenterX, FMeterCenterY, FMeterAngle, C.Font().LogFont()};
    if (sc.Valid && sc.K == k) return sc;
    sc.K = k;
    sc.Valid = true;
    sc.Short.clear();
    sc.Long.clear();
    const double R = FMeterRadius;
    const int CX = FMeterCenterX, CY = FMeterCenterY, A = FMeterAngle;
    // A tick from the scale radius inwards by Length pixels.
    auto tickAt = [&](double phi, double Length) {
        TScaleCache::Tick tick;
        tick.Outer = MeterPolarPoint(CX, CY, R, phi);
        tick.Inner = MeterPolarPoint(CX, CY, R - Length, phi);
        return tick;
    };
    for (const TScaleTick& t : kel::MeterShortTicks(FMinValue, FMaxValue, k.Log, FNrTicks))
        sc.Short.push_back(tickAt(MeterDrawAngle(t.Fraction, A), 4));
    // Label inset from the widest label there is likely to be: that of the maximum.
    const std::string maxText = FloatToFieldStr(1, FDecPlaces, FMaxValue);
    const double lw = C.TextWidth(maxText) / 2.0 + 15, lh = C.TextHeight(maxText) / 2.0 + 15;
    std::vector<TScaleTick> longTicks = kel::MeterLongTicks(FMinValue, FMaxValue, k.Log, FNrTicks);
    MeterDropCoincidentLabel(longTicks, A);
    for (const TScaleTick& t : longTicks) {
        const double phi = MeterDrawAngle(t.Fraction, A);
        TScaleCache::Tick tick = tickAt(phi, 8);
        if (t.Labelled) {
            tick.Labelled = true;
            tick.Text = FloatToFieldStr(1, FDecPlaces, t.Value);
            tick.Label = MeterLabelPoint(CX, CY, R, lw, lh, phi);
            tick.TextW = C.TextWidth(tick.Text);
            tick.TextH = C.TextHeight(tick.Text);
        }
        sc.Long.push_back(std::move(tick));
    }
    return sc;
}

void TMeter::DrawScale(TCanvas& C) {
    const double R = FMeterRadius;
    const int Rr = RoundI(R);
    const int CX = FMeterCenterX, CY = FMeterCenterY, A = FMeterAngle;
    C.Pen().SetColor(FColorScale);
    if (FScaleLine) {
        const TPoint s = MeterArcPoint(CX, CY, R, 90.0 - A / 2.0);
        const TPoint e = MeterArcPoint(CX, CY, R, 90.0 + A / 2.0);
        C.Arc(CX - Rr, CY - Rr, CX + Rr + 1, CY + Rr, s.X, s.Y, e.X, e.Y);
    }
    // Labels are measured and drawn in the control's font.
    C.Font().Assign(&Font());
    const TScaleCache& sc = ScaleLayout(C);
    if (FShortTicks)
        for (const TScaleCache::Tick& t : sc.Short) {
            C.MoveTo(t.Outer.X, t.Outer.Y);
            C.LineTo(t.Inner.X, t.Inner.Y);
        }
    for (const TScaleCache::Tick& t : sc.Long) {
        C.MoveTo(t.Outer.X, t.Outer.Y);
        C.LineTo(t.Inner.X, t.Inner.Y);
        if (!t.Labelled) continue;
        if (!FOnBeforeDrawScaleLabel) {
            C.TextOut(t.Label.X - t.TextW / 2, t.Label.Y - t.TextH / 2, t.Text);
            continue;
        }
        std::string text = t.Text;
        FOnBeforeDrawScaleLabel(this, C, text, t.Label.X - t.TextW / 2, t.Label.Y - t.TextH / 2);
        if (!text.empty())
            C.TextOut(t.Label.X - C.TextWidth(text) / 2, t.Label.Y - C.TextHeight(text) / 2, text);
    }
}

TRect TMeter::DrawNeedle(TCanvas& C, const TNeedleLayout& L, double AngleDeg) {
    std::array<TPoint, 7> pts =
        NeedlePolygon(FMeterCenterX, FMeterCenterY, FMeterRadius, AngleDeg, L.HeadSize(),
                      L.HeadAngle(), L.HeadMidLeng(), L.Thickness(), L.PercentNeedleLength());
    // The box of every vertex, shadow included, with a margin for the one-pixel pen.
    TRect box{pts[0].X, pts[0].Y, pts[0].X, pts[0].Y};
    auto take = [&box](TPoint p) {
        box.Left = std::min(box.Left, p.X - 2);
        box.Top = std::min(box.Top, p.Y - 2);
        box.Right = std::max(box.Right, p.X + 3);
        box.Bottom = std::max(box.Bottom, p.Y + 3);
    };
    for (TPoint p : pts) take(p);
    if (L.ShadowDx() != 0 || L.ShadowDy() != 0) {
        std::array<TPoint, 7> shadow = pts;
        for (TPoint& p : shadow) {
            p = {p.X - L.ShadowDx(), p.Y - L.ShadowDy()};
            take(p);
        }
        PenAndBrush(C, L.ShadowColor());
        C.Polygon(shadow);
    }
    C.Pen().SetColor(L.ColorOutline());
    C.Brush().SetColor(L.ColorBody());
    C.Polygon(pts);
    return box;
}

void TMeter::DrawAnchor(TCanvas& C, int W, int H) {
    const int L = FSRim - 1, Rt = W - FSRim, T = FTRim, B = H - FBRim, S = FSizeAnchor;
    const int CX = FMeterCenterX, CY = FMeterCenterY;
    auto innerFrame = [&] {
        C.Pen().SetColor(clWhite);
        C.MoveTo(L, B);
        C.LineTo(Rt, B);
        C.LineTo(Rt, T);
        C.Pen().SetColor(clGray);
        C.LineTo(L, T);
        C.LineTo(L, B);
    };
    if (!FAnchorCovrd) {
        innerFrame();
        return;
    }
    if (!FACoverFName.empty()) {
        innerFrame();
        const int pw = AuxACBmp->Width(), ph = AuxACBmp->Height();
        const TRect r = Bounds(CX - pw / 2, CY - ph / 2, pw, ph);
        C.SetCopyMode(cmSrcAnd);
        C.StretchDraw(r, *AuxACMaskBmp);
        C.SetCopyMode(cmSrcPaint);
        C.StretchDraw(r, *AuxACBmp);
        C.SetCopyMode(cmSrcCopy);
        return;
    }
    if (FMeterLayout == mlCirc270 || FMeterLayout == mlCirc300 || FMeterLayout == mlCirc360) {
        // A round hub with a raised edge: upper-left half light, lower-right half dark.
        C.Ellipse(CX - S, CY - S, CX + S, CY + S);
        innerFrame();
        C.Pen().SetColor(clWhite);
        C.Arc(CX - S, CY - S, CX + S, CY + S, CX + S, CY - S, CX - S, CY + S);
        C.Pen().SetColor(clGray);
        C.Arc(CX - S, CY - S, CX + S, CY + S, CX - S, CY + S, CX + S, CY - S);
        return;
    }
    // A half-disc hub on a pedestal that reaches down to the bottom rim, both raised.
    C.Pie(CX - S, CY - S, CX + S, CY + S, W, CY, 0, CY);
    C.Rectangle(CX - S, B, CX + S, CY);
    C.Pen().SetColor(clGray);
    C.MoveTo(CX + S - 1, CY);
    C.LineTo(CX + S - 1, B);
    C.Pen().SetColor(clWhite);
    C.LineTo(Rt, B);
    C.LineTo(Rt, T);
    C.Pen().SetColor(clGray);
    C.LineTo(L, T);
    C.LineTo(L, B);
    C.Pen().SetColor(clWhite);
    C.LineTo(CX - S, B);
    C.LineTo(CX - S, CY - 1);
    C.Arc(CX - S, CY - S, CX + S, CY + S, W, CY, 0, CY);
    C.Pen().SetColor(clGray);
    C.Arc(CX - S, CY - S, CX + S, CY + S, CX + S, CY, CX + S, CY - S);
}

void TMeter::DrawLamp(TCanvas& C, int XL, int YT, bool Active) {
    const int xr = XL + 10, yb = YT + 10;
    C.Pen().SetColor(clBlack);
    C.Brush().SetColor(Active ? FLimWatActCol : FLimWatPsvCol);
    C.Rectangle(XL, yb, xr, YT);
    C.Pen().SetColor(clWhite);
    C.MoveTo(XL + 1, yb - 1);
    C.LineTo(xr - 1, yb - 1);
    C.LineTo(xr - 1, YT);
    C.Pen().SetColor(clSilver);
    C.MoveTo(XL + 2, yb - 2);
    C.LineTo(xr - 2, yb - 2);
    C.LineTo(xr - 2, YT + 1);
    C.Pen().SetColor(clGray);
    C.MoveTo(XL + 1, yb - 2);
    C.LineTo(XL + 1, YT + 1);
    C.LineTo(xr - 1, YT + 1);
}

void TMeter::DrawOuterFrame(TCanvas& C, int W, int H) {
    const TColor D = FColGrayLine, Li = FColWhiteLine;
    auto twoTone = [&](TColor first, TColor second) {
        C.Pen().SetColor(first);
        C.MoveTo(0, H - 1);
        C.LineTo(0, 0);
        C.LineTo(W - 1, 0);
        C.Pen().SetColor(second);
        C.LineTo(W - 1, H - 1);
        C.LineTo(0, H - 1);
    };
    auto etched = [&](TColor outer, TColor inner) {
        C.Pen().SetColor(outer);
        C.MoveTo(0, 0);
        C.LineTo(W - 2, 0);
        C.LineTo(W - 2, H - 2);
        C.LineTo(0, H - 2);
        C.LineTo(0, 0);
        C.Pen().SetColor(inner);
        C.MoveTo(1, H - 3);
        C.LineTo(1, 1);
        C.LineTo(W - 2, 1);
        C.MoveTo(1, H - 1);
        C.LineTo(W - 1, H - 1);
        C.LineTo(W - 1, 0);
    };
    switch (FFrameStyle) {
    case fstLoweredThin:
        twoTone(FColorBakG, FColorBakG);
        break;
    case fstLowered:
        twoTone(D, Li);
        break;
    case fstRaised:
        twoTone(Li, D);
        break;
    case fstEmbossed:
        etched(Li, D);
        break;
    case fstSimple:
        etched(D, Li);
        break;
    default:
        break; // fstNone
    }
}

} // namespace kel
