// The analog meter's geometry: layouts, tick spacing, scale fractions, angles, points, ticks,
// the needle polygon and the pixel-to-value mapping (see meter_scale.h). Pure functions; the
// rounding is the platform's (ties to even) throughout, as the painting expects.
#include "meter_scale.h"

#include "Kel_math1.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kel {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
// Tolerance of the logarithmic decade ticks: a value within 1e-9 of a limit counts as inside.
constexpr double kNearOne = 0.999999999;
// No scale draws more ticks than this, whatever its limits (a guard, far above real use).
constexpr int kMaxTicks = 20000;

int RoundI(double v) { return static_cast<int>(Round(v)); }

bool LogUsable(bool Logarithmic, double Min, double Max) {
    return Logarithmic && Min > 0 && Max > 0;
}

double LogFraction(double v, double Min, double Max) {
    return (std::log(v) - std::log(Min)) / (std::log(Max) - std::log(Min));
}

double LinFraction(double v, double Min, double Max) {
    return Max == Min ? 0.0 : (v - Min) / (Max - Min);
}

} // namespace

TMeterGeometry CalcMeterGeometry(TMeterLayout Layout, int Width, int Height, int RimTop,
                                 int RimBottom, int RimSide) {
    const int W = Width, H = Height;
    const int HalfW = W / 2; // whole pixels, as the layouts round the centre
    TMeterGeometry g;
    g.Angle = 90;
    g.Radius = H - RimBottom - RimTop - 16;
    g.CenterX = W / 2;
    g.CenterY = H - RimBottom - 8;
    switch (Layout) {
    case mlCirc120:
        g.Angle = 120;
        g.Radius = std::min<double>(H - RimBottom - RimTop - 16, (W / 2.0 - RimSide - 8) * 1.1547);
        break;
    case mlCirc180:
        g.Angle = 180;
        g.Radius = std::min(H - RimBottom - RimTop - 16, W / 2 - RimSide - 8);
        break;
    case mlCirc270:
    case mlCirc360: {
        const int top = RimTop, bottom = H - RimBottom;
        g.Angle = Layout == mlCirc270 ? 270 : 360;
        g.Radius = std::min(W / 2 - RimSide - 8, (bottom - top) / 2 - 8);
        g.CenterY = top + (bottom - top) / 2;
        break;
    }
    case mlCirc300:
        g.Angle = 300;
        g.Radius = std::min<double>(HalfW - RimSide - 8, (H - RimTop - RimBottom - 16) / 1.866);
        g.CenterY = RoundI(RimTop + 8 + g.Radius);
        break;
    default:
        break;
    }
    return g;
}

TTickSpacing CalcTickSpacing(int NrTicks, double Lo, double Hi) {
    TTickSpacing t{Lo, 0.0, 1};
    const double range = std::fabs(Hi - Lo);
    if (Hi == Lo || !std::isfinite(Lo) || !std::isfinite(Hi) || !std::isfinite(range)) return t;
    const double s = Lo < Hi ? 1.0 : -1.0;
    const int n = std::max(1, NrTicks);
    double x = std::log(range / n) / std::log(10.0);
    double g = x - std::trunc(x);
    if (std::fabs(g) < 1e-10 || std::fabs(g) > 0.9999999999) {
        x = double(Round(x));
        g = 0;
    }
    if (x < 0 && g != 0) x -= 1;
    if (g < 0) g += 1;
    const double e = std::trunc(x);
    const double log2 = std::log10(2.0), log5 = std::log10(5.0);
    double ex;
    int sub;
    if (g < log2 + 1e-10) {
        ex = e;
        sub = 5;
    } else if (g < log5 + 1e-10) {
        ex = e + log2;
        sub = 4;
    } else {
        ex = e + log5;
        sub = 5;
    }
    const double step = s * std::exp(ex * std::log(10.0));
    // A step lost in the precision of Lo could never be added to it: no ticks at all.
    if (!std::isfinite(step) || step == 0 || Lo + step == Lo) return t;
    double first = (std::trunc(Lo / step) - 1) * step;
    for (int i = 0; (Lo - first) * s > 0.001 * std::fabs(step); ++i) {
        if (i > 64 || first + step == first) return t;
        first += step;
    }
    t.First = first;
    t.Step = step;
    t.SubDiv = sub;
    return t;
}

void CalcTickSpacing(int NrTicks, double Lo, double Hi, double& First, double& Step, int& SubDiv) {
    TTickSpacing t = CalcTickSpacing(NrTicks, Lo, Hi);
    First = t.First;
    Step = t.Step;
    SubDiv = t.SubDiv;
}

double MeterScaleFraction(double v, double Min, double Max, bool Logarithmic) {
    if (LogUsable(Logarithmic, Min, Max) && v > 0 && Max != Min) return LogFraction(v, Min, Max);
    return LinFraction(v, Min, Max);
}

double MeterDrawAngle(double Fraction, int Sweep) { return Sweep / 2.0 + 90.0 - Sweep * Fraction; }

double MeterNeedleAngle(double Value, double Min, double Max, bool Logarithmic, int Sweep) {
    double v = Value;
    if (v > Max) v = Max;
    if (v < Min) v = Min;
    return 180.0 - Sweep / 2.0 + Sweep * MeterScaleFraction(v, Min, Max, Logarithmic);
}

TPoint MeterPolarPoint(int CX, int CY, double Radius, double AngleDeg) {
    const double a = AngleDeg * kDeg;
    return {RoundI(CX + Radius * std::cos(a)), RoundI(CY - Radius * std::sin(a))};
}

TPoint MeterArcPoint(int CX, int CY, double Radius, double AngleDeg) {
    const double a = AngleDeg * kDeg;
    return {CX + RoundI(Radius * std::cos(a)), CY - RoundI(Radius * std::sin(a))};
}

TPoint MeterLabelPoint(int CX, int CY, double Radius, double Lw, double Lh, double AngleDeg) {
    const double a = AngleDeg * kDeg;
    return {RoundI(CX + (Radius - Lw) * std::cos(a)), RoundI(CY - (Radius - Lh) * std::sin(a))};
}

std::vector<TScaleTick> MeterLongTicks(double Min, double Max, bool Logarithmic, int NrTicks) {
    std::vector<TScaleTick> ticks;
    const bool log = LogUsable(Logarithmic, Min, Max);
    if (log && std::fabs(std::log10(Max / Min)) >= 1) {
        const int p = IntNeg(std::log10(kNearOne * Min));
        const double b = std::pow(10.0, p);
        double m = 1;
        do {
            for (int k = 1; k <= 9; ++k) {
                const double v = k * b * m;
                if (Min < v / kNearOne && Max > kNearOne * v) {
                    const bool labelled = Max / Min < 10 || k == 1 || k == 2 || k == 5;
                    ticks.push_back({v, LogFraction(v, Min, Max), labelled});
                }
            }
            m *= 10;
        } while (Max >= kNearOne * b * m && int(ticks.size()) < kMaxTicks);
        return ticks;
    }
    const TTickSpacing t = CalcTickSpacing(NrTicks, Min, Max);
    if (t.Step == 0) return ticks;
    for (int k = 0; k < kMaxTicks; ++k) {
        const double v = t.First + k * t.Step;
        ticks.push_back({v, MeterScaleFraction(v, Min, Max, log), true});
        if (t.First + (k + 1) * t.Step > Max + 0.001 * t.Step) break;
    }
    return ticks;
}

void MeterDropCoincidentLabel(std::vector<TScaleTick>& Ticks, int Sweep) {
    if (Sweep < 360) return;
    constexpr double eps = 1e-9;
    bool atStart = false;
    for (const TScaleTick& t : Ticks)
        if (t.Labelled && std::fabs(t.Fraction) <= eps) atStart = true;
    if (!atStart) return;
    for (TScaleTick& t : Ticks)
        if (std::fabs(t.Fraction - 1) <= eps) t.Labelled = false;
}

std::vector<TScaleTick> MeterShortTicks(double Min, double Max, bool Logarithmic, int NrTicks) {
    std::vector<TScaleTick> ticks;
    const TTickSpacing t = CalcTickSpacing(NrTicks, Min, Max);
    if (t.Step == 0) return ticks;
    const bool log = LogUsable(Logarithmic, Min, Max);
    const double sub = t.Step / t.SubDiv;
    const double start = t.First - t.Step;
    for (int k = 0; k < kMaxTicks; ++k) {
        const double v = start + k * sub;
        // Places of long ticks are whole numbers of steps from First (within 1e-5 of a step,
        // either side, so rounding noise cannot put a short tick on a long one).
        const double q = (v - t.First) / t.Step;
        if (std::fabs(q - std::round(q)) > 1e-5 && v >= Min) {
            const double f = log && v > Min ? LogFraction(v, Min, Max) : LinFraction(v, Min, Max);
            ticks.push_back({v, f, false});
        }
        if (start + (k + 1) * sub > Max + 0.001 * sub) break;
    }
    return ticks;
}

std::array<TPoint, 7> NeedlePolygon(int CX, int CY, double Radius, double AngleDeg, int HeadSize,
                                    int HeadAngle, int HeadMidLeng, int Thickness,
                                    int PercentNeedleLength) {
    const double phi = AngleDeg * kDeg;
    const double ln = PercentNeedleLength * 0.01 * (Radius - 4);
    const TPoint tip = MeterPolarPoint(CX, CY, ln, AngleDeg);
    const double tx = tip.X, ty = tip.Y;
    const double alpha = HeadAngle * kDeg;
    const double sx = std::sin(phi) * Thickness / 2.0, sy = std::cos(phi) * Thickness / 2.0;
    const double hs = HeadSize, hm = HeadMidLeng;
    return {{
        {RoundI(tx - std::cos(phi + alpha / 2) * hs), RoundI(ty + std::sin(phi + alpha / 2) * hs)},
        tip,
        {RoundI(tx - std::cos(phi - alpha / 2) * hs), RoundI(ty + std::sin(phi - alpha / 2) * hs)},
        {RoundI(tx - sx - std::cos(phi) * hm), RoundI(ty - sy + std::sin(phi) * hm)},
        {RoundI(CX - sx), RoundI(CY - sy)},
        {RoundI(CX + sx), RoundI(CY + sy)},
        {RoundI(tx + sx - std::cos(phi) * hm), RoundI(ty + sy + std::sin(phi) * hm)},
    }};
}

bool MeterPixelToValue(int X, int Y, int CX, int CY, int Sweep, double Min, double Max,
                       bool Logarithmic, double& Value) {
    const double dx = X - CX, dy = Y - CY;
    double a;
    if (dx != 0) {
        a = std::atan(dy / dx);
        if (dx < 0) a += kPi;
    } else {
        a = dy > 0 ? kPi / 2 : 3 * kPi / 2;
    }
    if (a < 0) a += 2 * kPi;
    if (a > 2 * kPi) a -= 2 * kPi;
    double c = a * 180.0 / kPi - 90.0;
    if (c < 0) c += 360.0;
    const double b = 180.0 - Sweep / 2.0;
    if (b <= c && c <= 180.0 + Sweep / 2.0 && Sweep > 0) {
        const double f = (c - b) / Sweep;
        if (LogUsable(Logarithmic, Min, Max))
            Value = std::exp((std::log(Max) - std::log(Min)) * f + std::log(Min));
        else
            Value = Min + f * (Max - Min);
        return true;
    }
    Value = 0;
    return false;
}

} // namespace kel
