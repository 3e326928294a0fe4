// Curved shapes: Ellipse, RoundRect, Arc, Pie and Chord.
//
// The ellipse of a box (L, T, R, B) passes through the centres of columns L and R-1 and rows T
// and B-1. Its one-pixel outline is the midpoint rule worked out row by row in exact integer
// arithmetic: on each row the outline reaches out to the pixel nearest the curve (nearest per
// column where the curve is flat, per row where it is steep) and in to where the row above it
// ends, so the curve is 8-connected, symmetric about both axes and has no doubled pixels. The
// interior is what lies between the two outline runs of a row. Computing rows independently
// keeps huge, mostly clipped shapes as cheap as their visible rows.
//
// Index: outline rows (Xout, RoundBoxRows); flattened paths for wide pens; sectors and chords;
// the TCanvas methods.
#include "kel_graphics.h"
#include "detail/raster.h"

#include <cmath>

namespace kel {
namespace raster {

namespace {

constexpr i64 kSmall = i64(1) << 14; // sizes up to here use exact 64-bit arithmetic
constexpr i64 kExact = i64(1) << 30; // and up to here exact 128-bit arithmetic

// Largest t >= 0 with t*t*h2 <= m (m >= 0, h2 > 0).
i64 SqrtFloorDiv(i128 m, i128 h2) {
    i64 t = i64(std::sqrt(static_cast<long double>(m) / static_cast<long double>(h2)));
    auto ok = [&](i64 v) { return i128(v) * v * h2 <= m; };
    while (t > 0 && !ok(t)) --t;
    while (ok(t + 1)) ++t;
    return t;
}

// Outer reach of the ellipse's pixel set on the row at doubled height u (0 <= u <= H) as a
// doubled offset from the centre (same parity as W); W % 2 - 2 when the row has no pixel. W and
// H are the doubled semi-axes, that is the box size minus one.
i64 Xout(i64 W, i64 H, i64 u) {
    const i64 par = W & 1, none = par - 2;
    if (H == 0) return W;
    auto fit = [&](i64 x) {
        if (x > W) x = W;
        if (((x - W) & 1) != 0) --x;
        return x;
    };
    i64 best = none;
    if (W <= kSmall && H <= kSmall) {
        // Everything fits 64 bits; a double square root corrected by exact comparisons.
        const i64 H2 = H * H, W2 = W * W;
        auto root = [&](i64 m) {
            i64 t = i64(std::sqrt(double(m) / double(H2)));
            while (t > 0 && t * t * H2 > m) --t;
            while ((t + 1) * (t + 1) * H2 <= m) ++t;
            return t;
        };
        const i64 A = H2 - (u - 1) * (u - 1);
        if (A >= 0) best = std::max(best, fit(root(W2 * A)));
        const i64 Bq = H2 - u * u;
        if (Bq >= 0) {
            const i64 t = root(W2 * Bq);
            const i64 x = fit(t + 1);
            if (x >= 1 || (x == 0 && t >= 1)) best = std::max(best, x);
        }
    } else if (W <= kExact && H <= kExact) {
        const i128 H2 = i128(H) * H, W2 = i128(W) * W;
        // Per column: the pixel nearest the curve is at or below this row when the midpoint
        // half a pixel above the row is inside (ties outwards).
        const i128 A = H2 - i128(u - 1) * (u - 1);
        if (A >= 0) best = std::max(best, fit(SqrtFloorDiv(W2 * A, H2)));
        // Per row: the pixel whose left edge midpoint is inside.
        const i128 Bq = H2 - i128(u) * u;
        if (Bq >= 0) {
            const i64 t = SqrtFloorDiv(W2 * Bq, H2);
            const i64 x = fit(t + 1);
            if (x >= 1 || (x == 0 && t >= 1)) best = std::max(best, x);
        }
    } else {
        // Far beyond any real surface: the same rules in long double, without exact checks.
        using ld = long double;
        const ld w = ld(W), h = ld(H);
        const ld A = h * h - ld(u - 1) * ld(u - 1);
        if (A >= 0) best = std::max(best, fit(i64(std::floor(w * std::sqrt(A) / h))));
        const ld Bq = h * h - ld(u) * ld(u);
        if (Bq >= 0) best = std::max(best, fit(i64(std::floor(w * std::sqrt(Bq) / h)) + 1));
    }
    return best;
}

} // namespace

void RoundBoxRows(i64 L, i64 T, i64 R, i64 B, i64 cw, i64 ch, i64 ylo, i64 yhi,
                  std::vector<std::pair<i64, BoxRow>>& out) {
    out.clear();
    if (R <= L || B <= T) return;
    cw = std::clamp<i64>(cw, 1, R - L);
    ch = std::clamp<i64>(ch, 1, B - T);
    const i64 Wc = cw - 1, Hc = ch - 1, nrows = Hc / 2 + 1;
    const i64 y0 = std::max(T, ylo), y1 = std::min(B, yhi);
    // Rows are visited in order, so each corner row's reach is needed twice in a row (for
    // itself and as the row above its neighbour): keep the last two.
    i64 ck[2] = {-1, -1}, cv[2] = {0, 0};
    int slot = 0;
    auto reach = [&](i64 k) {
        if (ck[0] == k) return cv[0];
        if (ck[1] == k) return cv[1];
        const i64 v = Xout(Wc, Hc, Hc - 2 * k);
        ck[slot] = k;
        cv[slot] = v;
        slot ^= 1;
        return v;
    };
    for (i64 y = y0; y < y1; ++y) {
        const i64 k = std::min(y - T, B - 1 - y);
        BoxRow r{};
        if (k < nrows) {
            const i64 xo = reach(k);
            const i64 above = k == 0 ? (Wc & 1) - 2 : reach(k - 1);
            const i64 inner = std::min(xo, std::max(above + 2, Wc & 1));
            const i64 oL = L + (Wc - xo) / 2, iL = L + (Wc - inner) / 2;
            const i64 oR = R - 1 - (Wc - xo) / 2, iR = R - 1 - (Wc - inner) / 2;
            if (k == 0 || iL + 1 >= iR) {
                r = {oL, oR + 1, 0, 0, 0, 0};
            } else {
                r = {oL, iL + 1, iR, oR + 1, iL + 1, iR};
            }
        } else if (R - 1 > L) {
            r = {L, L + 1, R - 1, R, L + 1, R - 1};
        } else {
            r = {L, R, 0, 0, 0, 0};
        }
        out.push_back({y, r});
    }
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// Points along the path of a box with elliptical corners (radii in pixels), counter-clockwise
// on screen from the parametric angle a0 to a1 (radians, a1 > a0); the straight sides are
// part of the path. Appends x, y pairs.
void RoundBoxPath(double L, double T, double R, double B, double rx, double ry, double a0,
                  double a1, std::vector<double>& xy) {
    const double cxs[4] = {R - rx, L + rx, L + rx, R - rx};
    const double cys[4] = {T + ry, T + ry, B - ry, B - ry};
    const int steps = int(std::clamp((rx + ry) * 1.5, 8.0, 4096.0));
    const double da = (kPi / 2) / steps;
    for (double a = a0;; a += da) {
        const bool last = a >= a1;
        const double aa = last ? a1 : a;
        double m = std::fmod(aa, 2 * kPi);
        if (m < 0) m += 2 * kPi;
        int q = std::min(3, int(m / (kPi / 2)));
        xy.push_back(cxs[q] + rx * std::cos(aa));
        xy.push_back(cys[q] - ry * std::sin(aa));
        if (last) break;
    }
}

// Integer columns x of a row where a*x + b >= 0.
struct Interval {
    i64 lo, hi; // [lo, hi); empty when lo >= hi
};
constexpr i64 kInf = INT64_MAX / 4;
constexpr i64 kSmallCoord = i64(1) << 29;
constexpr i64 kDashLimit = i64(1) << 16; // largest box whose styled outline follows its pattern
Interval HalfLine64(i64 a, i64 b) {
    auto fdiv = [](i64 x, i64 y) { return x >= 0 ? x / y : -((-x + y - 1) / y); }; // y > 0
    if (a > 0) return {-fdiv(b, a), kInf};                                         // ceil(-b/a)
    if (a < 0) return {-kInf, fdiv(b, -a) + 1};
    return b >= 0 ? Interval{-kInf, kInf} : Interval{0, 0};
}
Interval HalfLine(i128 a, i128 b) {
    if (a > 0) return {i64(std::max<i128>(-kInf, CeilDiv(-b, a))), kInf};
    if (a < 0) return {-kInf, i64(std::min<i128>(kInf, FloorDiv(b, -a) + 1))};
    return b >= 0 ? Interval{-kInf, kInf} : Interval{0, 0};
}
// Columns where a*x + b >= 0, or > 0 when Strict (a pixel centre on the line stays out).
Interval HalfLineF(double a, double b, bool Strict = false) {
    auto cl = [](double v) { return i64(std::clamp(v, -double(kInf), double(kInf))); };
    if (a > 0) return {Strict ? cl(std::floor(-b / a)) + 1 : cl(std::ceil(-b / a)), kInf};
    if (a < 0) return {-kInf, Strict ? cl(std::ceil(b / -a)) : cl(std::floor(b / -a)) + 1};
    return (Strict ? b > 0 : b >= 0) ? Interval{-kInf, kInf} : Interval{0, 0};
}

// The top-left rule for a half-plane a*x + b*y + c >= 0 in screen coordinates: a pixel whose
// centre lies on the boundary belongs to it only when the boundary is a left edge (the inside
// lies to its right, a > 0) or a top edge (horizontal, the inside below it, b > 0). Two
// complementary half-planes then share no pixel and leave none out.
constexpr bool OwnsBoundary(i64 a, i64 b) { return a > 0 || (a == 0 && b > 0); }

// Angular sector from the radial s counter-clockwise to the radial e, in doubled coordinates
// about the box centre (cxd, cyd) with y pointing up, or the chord side of the secant.
struct Region {
    enum Kind { All, Sector, ChordSide } kind = All;
    i64 cxd = 0, cyd = 0, SX = 0, SY = 0, EX = 0, EY = 0;
    bool wide = false;                     // sweep above 180 degrees: union of the half-planes
    bool small = false;                    // every term fits 64-bit products
    bool topLeft = false;                  // pixels on a radial or secant: the top-left rule
    double px = 0, py = 0, vx = 0, vy = 0; // chord: start point and direction (doubled units)

    // Up to two column intervals of row y that lie in the region.
    int Row(i64 y, Interval out[2]) const {
        if (kind == All) {
            out[0] = {-kInf, kInf};
            return 1;
        }
        const i128 py2 = i128(cyd) - 2 * y;
        // Under the top-left rule a half-plane that does not own its boundary is strict; the
        // terms are integers, so "> 0" is ">= 0" with the constant one less. In screen
        // coordinates the start half-plane's normal is (-SY, -SX), the end one's (EY, EX).
        const i64 da = topLeft && !OwnsBoundary(-SY, -SX) ? 1 : 0;
        const i64 db = topLeft && !OwnsBoundary(EY, EX) ? 1 : 0;
        if (kind == Sector && small && y > -kSmallCoord && y < kSmallCoord) {
            const i64 p2 = cyd - 2 * y;
            const Interval a = HalfLine64(-2 * SY, SX * p2 + SY * cxd - da);
            const Interval b = HalfLine64(2 * EY, -cxd * EY - p2 * EX - db);
            if (!wide) {
                out[0] = {std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
                return 1;
            }
            out[0] = a;
            out[1] = b;
            return 2;
        }
        if (kind == Sector) {
            const Interval a = HalfLine(-2 * i128(SY), i128(SX) * py2 + i128(SY) * cxd - da);
            const Interval b = HalfLine(2 * i128(EY), -i128(cxd) * EY - py2 * EX - db);
            if (!wide) {
                out[0] = {std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
                return 1;
            }
            out[0] = a;
            out[1] = b;
            return 2;
        }
        // Right of the directed secant (start -> end), where the arc lies; its normal in
        // screen coordinates is (vy, vx).
        const double fy = double(cyd) - 2.0 * double(y);
        const bool strict = topLeft && !(vy > 0 || (vy == 0 && vx > 0));
        out[0] = HalfLineF(2 * vy, vy * (-double(cxd) - px) - vx * (fy - py), strict);
        return 1;
    }
};

// Adds [x0, x1) of row y limited to the region.
void AddIn(SpanList& s, const Region& rg, i64 y, i64 x0, i64 x1, int kind = 0) {
    if (x1 <= x0 || !s.RowVisible(y)) return;
    Interval iv[2];
    const int n = rg.Row(y, iv);
    for (int k = 0; k < n; ++k) s.Add(y, std::max(x0, iv[k].lo), std::min(x1, iv[k].hi), kind);
}

enum class Curve { Ellipse, Arc, Pie, Chord };

// Shared body of the curved shapes. (cw, ch) are the corner sizes (the box size for an
// ellipse); for arcs, pies and chords (xs, ys) and (xe, ye) give the radials.
void DrawCurve(TCanvas& c, Curve kind, i64 L, i64 T, i64 R, i64 B, i64 cw, i64 ch, i64 xs, i64 ys,
               i64 xe, i64 ye) {
    if (R < L) std::swap(L, R);
    if (B < T) std::swap(T, B);
    if (R <= L || B <= T) return;
    Target tg(c);
    if (tg.Empty()) return;
    const TPen& pen = c.Pen();
    const bool full = cw >= R - L && ch >= B - T;
    Ink brush;
    const bool hasBrush = kind != Curve::Arc && BrushInk(c, pen.Mode(), brush);
    const Ink ink = PenInk(c);
    const bool hasPen = pen.Style() != psClear;
    if (!hasPen && !hasBrush) return;
    const int w = PenWidth(pen);

    // The region of an arc, pie or chord.
    Region rg;
    const i64 cxd = L + R - 1, cyd = T + B - 1;
    const i64 SX = 2 * xs - cxd, SY = cyd - 2 * ys, EX = 2 * xe - cxd, EY = cyd - 2 * ye;
    const i128 cr = i128(SX) * EY - i128(SY) * EX, dt = i128(SX) * EX + i128(SY) * EY;
    const bool whole = kind == Curve::Ellipse || (SX == 0 && SY == 0) || (EX == 0 && EY == 0) ||
                       (cr == 0 && dt > 0);
    // Where the radials meet the path's ellipse (doubled units about the centre).
    const double Wd = std::max<double>(double(R - 1 - L), 1e-9),
                 Hd = std::max<double>(double(B - 1 - T), 1e-9);
    auto onCurve = [&](i64 X, i64 Y, double& px, double& py) {
        const double fx = double(X) / Wd, fy = double(Y) / Hd;
        const double t = 1.0 / std::sqrt(fx * fx + fy * fy);
        px = double(X) * t;
        py = double(Y) * t;
    };
    double spx = 0, spy = 0, epx = 0, epy = 0;
    if (!whole) {
        onCurve(SX, SY, spx, spy);
        onCurve(EX, EY, epx, epy);
        rg.cxd = cxd;
        rg.cyd = cyd;
        // Without an outline the fill's straight edges follow the top-left rule, like a
        // polygon's: slices that share a radial share none of its pixels.
        rg.topLeft = !hasPen;
        if (kind == Curve::Chord) {
            rg.kind = Region::ChordSide;
            rg.px = spx;
            rg.py = spy;
            rg.vx = epx - spx;
            rg.vy = epy - spy;
        } else {
            rg.kind = Region::Sector;
            rg.SX = SX;
            rg.SY = SY;
            rg.EX = EX;
            rg.EY = EY;
            rg.wide = cr < 0;
            auto sm = [](i64 v) { return v > -kSmallCoord && v < kSmallCoord; };
            rg.small = sm(cxd) && sm(cyd) && sm(SX) && sm(SY) && sm(EX) && sm(EY);
        }
    }
    // Pixel nearest a point given in doubled units about the centre.
    auto pixelOf = [&](double X, double Y) {
        return Point(int(std::floor((double(cxd) + X) / 2 + 0.5)),
                     int(std::floor((double(cyd) - Y) / 2 + 0.5)));
    };
    const TPoint centre = pixelOf(0, 0), ps = pixelOf(spx, spy), pe = pixelOf(epx, epy);

    thread_local SpanList fill, outline;
    thread_local std::vector<std::pair<i64, BoxRow>> rows;
    fill.SetClip(tg);
    outline.SetClip(tg);
    const Region& fillRegion = (kind == Curve::Arc) ? Region{} : rg;

    if (!hasPen) {
        // No outline: the shape one pixel smaller at the right and bottom, filled whole.
        RoundBoxRows(L, T, R - 1, B - 1, full ? R - 1 - L : cw, full ? B - 1 - T : ch, tg.ct, tg.cb,
                     rows);
        for (const auto& [y, r] : rows) {
            const i64 a = r.ol0, b = r.or1 > r.or0 ? r.or1 : r.ol1;
            AddIn(fill, fillRegion, y, a, b);
        }
        PaintShape(tg, fill, &brush, outline, nullptr, nullptr);
        return;
    }

    if (w == 1) {
        // Styled pens: the pattern runs along the curve, so the whole curve is needed even
        // when only part of it shows (up to a size where that stays cheap; beyond, solid).
        const DashPattern pat = PatternOf(pen.Style());
        const bool dashed = pat.count != 0 && R - L <= kDashLimit && B - T <= kDashLimit;
        Ink gap;
        const bool hasGap = dashed && GapInk(c, gap);
        RoundBoxRows(L, T, R, B, cw, ch, tg.ct, tg.cb, rows);
        if (kind == Curve::Ellipse && !dashed && (ink.mode == pmCopy || !hasBrush)) {
            // Fast path: outline and interior never overlap, paint rows straight away.
            for (const auto& [y, r] : rows) {
                tg.Span(y, r.ol0, r.ol1, ink);
                if (r.or1 > r.or0) tg.Span(y, r.or0, r.or1, ink);
                if (hasBrush && r.in1 > r.in0) tg.Span(y, r.in0, r.in1, brush);
            }
            return;
        }
        const Region& arcRegion = whole ? Region{} : rg;
        const bool sameRegion = kind != Curve::Chord;
        for (const auto& [y, r] : rows) {
            // One region per row serves the outline and (but for chords) the interior.
            Interval iv[2];
            const int n = arcRegion.Row(y, iv);
            for (int k = 0; k < n; ++k) {
                if (!dashed) {
                    outline.Add(y, std::max(r.ol0, iv[k].lo), std::min(r.ol1, iv[k].hi));
                    if (r.or1 > r.or0)
                        outline.Add(y, std::max(r.or0, iv[k].lo), std::min(r.or1, iv[k].hi));
                }
                if (hasBrush && sameRegion && r.in1 > r.in0)
                    fill.Add(y, std::max(r.in0, iv[k].lo), std::min(r.in1, iv[k].hi));
            }
            if (hasBrush && !sameRegion && r.in1 > r.in0) AddIn(fill, fillRegion, y, r.in0, r.in1);
        }
        i64 pos = 0;
        if (dashed) {
            // Order the curve's pixels by angle from the start radial (counter-clockwise).
            thread_local std::vector<std::pair<i64, BoxRow>> all;
            thread_local std::vector<std::pair<double, std::pair<i64, i64>>> seq;
            RoundBoxRows(L, T, R, B, cw, ch, T, B, all);
            seq.clear();
            const double a0 = whole ? 0.0 : std::atan2(double(SY), double(SX));
            auto run = [&](i64 y, i64 x0, i64 x1) {
                for (i64 x = x0; x < x1; ++x) {
                    double a = std::atan2(double(cyd - 2 * y), double(2 * x - cxd)) - a0;
                    while (a < 0) a += 2 * kPi;
                    seq.push_back({a, {x, y}});
                }
            };
            for (const auto& [y, r] : all) {
                Interval iv[2];
                const int n = arcRegion.Row(y, iv);
                for (int k = 0; k < n; ++k) {
                    run(y, std::max(r.ol0, iv[k].lo), std::min(r.ol1, iv[k].hi));
                    if (r.or1 > r.or0) run(y, std::max(r.or0, iv[k].lo), std::min(r.or1, iv[k].hi));
                }
            }
            std::sort(seq.begin(), seq.end());
            seq.erase(std::unique(seq.begin(), seq.end()), seq.end());
            for (const auto& [a, p] : seq)
                outline.AddPixel(p.first, p.second, pat.On(pos++) ? 0 : 1);
        }
        if (!whole && kind != Curve::Arc) {
            // The straight sides, on from the arc's end: both radii of a pie (end, centre,
            // start), the secant of a chord; their end points lit.
            auto side = [&](TPoint a, TPoint b) {
                ThinLine(tg, a.X, a.Y, b.X, b.Y, [&](i64 i, i64 x, i64 y) {
                    outline.AddPixel(x, y, dashed && !pat.On(pos + i) ? 1 : 0);
                });
                const i64 dx = i64(b.X) - a.X, dy = i64(b.Y) - a.Y;
                pos += std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
                outline.AddPixel(b.X, b.Y, dashed && !pat.On(pos) ? 1 : 0);
            };
            if (kind == Curve::Pie) {
                side(pe, centre);
                side(centre, ps);
            } else {
                side(pe, ps);
            }
        }
        PaintShape(tg, fill, hasBrush ? &brush : nullptr, outline, &ink, hasGap ? &gap : nullptr);
        return;
    }

    // Wide pen: a band along the flattened path; the interior is the path's pixel set.
    i64 l = L, t = T, r = R, b = B;
    if (pen.Style() == psInsideFrame) {
        l += w / 2;
        t += w / 2;
        r -= (w - 1) / 2;
        b -= (w - 1) / 2;
        if (r <= l) r = l + 1;
        if (b <= t) b = t + 1;
    }
    const i64 cwr = full ? r - l : std::min(cw, r - l), chr = full ? b - t : std::min(ch, b - t);
    const double rx = double(std::max<i64>(cwr, 1) - 1) / 2,
                 ry = double(std::max<i64>(chr, 1) - 1) / 2;
    std::vector<double> xy;
    double a0 = 0, a1 = 2 * kPi;
    if (!whole) {
        a0 = std::atan2(double(SY) / Hd, double(SX) / Wd);
        a1 = std::atan2(double(EY) / Hd, double(EX) / Wd);
        if (a1 <= a0) a1 += 2 * kPi;
    }
    RoundBoxPath(double(l), double(t), double(r - 1), double(b - 1), rx, ry, a0, a1, xy);
    bool closed = whole;
    if (!whole && kind == Curve::Pie) {
        xy.push_back(double(l + r - 1) / 2);
        xy.push_back(double(t + b - 1) / 2);
        closed = true;
    } else if (!whole && kind == Curve::Chord) {
        closed = true;
    }
    AddWidePathF(outline, xy, closed, w);
    if (hasBrush) {
        RoundBoxRows(l, t, r, b, cwr, chr, tg.ct, tg.cb, rows);
        for (const auto& [y, row] : rows) {
            const i64 x0 = row.ol0, x1 = row.or1 > row.or0 ? row.or1 : row.ol1;
            AddIn(fill, fillRegion, y, x0, x1);
        }
    }
    PaintShape(tg, fill, hasBrush ? &brush : nullptr, outline, &ink, nullptr);
}

} // namespace
} // namespace raster

void TCanvas::Ellipse(int l, int t, int r, int b) {
    raster::i64 w = std::abs(raster::i64(r) - l), h = std::abs(raster::i64(b) - t);
    raster::DrawCurve(*this, raster::Curve::Ellipse, l, t, r, b, w, h, 0, 0, 0, 0);
}

void TCanvas::RoundRect(int l, int t, int r, int b, int w, int h) {
    raster::DrawCurve(*this, raster::Curve::Ellipse, l, t, r, b, std::abs(w), std::abs(h), 0, 0, 0,
                      0);
}

void TCanvas::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    raster::i64 w = std::abs(raster::i64(r) - l), h = std::abs(raster::i64(b) - t);
    raster::DrawCurve(*this, raster::Curve::Arc, l, t, r, b, w, h, xs, ys, xe, ye);
}

void TCanvas::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    raster::i64 w = std::abs(raster::i64(r) - l), h = std::abs(raster::i64(b) - t);
    raster::DrawCurve(*this, raster::Curve::Pie, l, t, r, b, w, h, xs, ys, xe, ye);
}

void TCanvas::Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    raster::i64 w = std::abs(raster::i64(r) - l), h = std::abs(raster::i64(b) - t);
    raster::DrawCurve(*this, raster::Curve::Chord, l, t, r, b, w, h, xs, ys, xe, ye);
}

} // namespace kel
