// Geometry of the analog meter (KEL_Meter.h) as small pure functions: the dial's sweep, radius
// and centre for each layout, the tick spacing, the scale fraction of a value, drawing angles,
// screen points, the long and short ticks with their labels, the needle polygon and the mapping
// of a pixel back to a scale value. TMeter paints with these and nothing else, so every number
// it draws can be checked without painting.
//
// Angles: a drawing angle is in degrees, counter-clockwise from the positive x axis with y
// pointing up; a needle angle (CalcNeedleAngle) is in degrees clockwise from the downward
// vertical through the centre. Screen y grows downward.
#pragma once

#include "kel_types.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kel {

// Shape of the dial. The sweep of the scale is the number in the name; the scale is always
// symmetric about the vertical through the centre.
enum TMeterLayout : std::uint8_t {
    mlCirc90,  // quarter circle above a centre 8 px over the bottom rim
    mlCirc120, // 120 degrees, same centre as mlCirc90
    mlCirc180, // half circle above a centre 8 px over the bottom rim
    mlCirc270, // centred circle, the 90-degree gap at the bottom
    mlCirc300, // circle below the top rim, the 60-degree gap at the bottom
    mlCirc360  // centred full circle, minimum and maximum meet at the bottom
};

// Sweep, radius and centre of a dial (control pixels).
struct TMeterGeometry {
    int Angle = 90;    // sweep of the scale in degrees
    double Radius = 0; // scale radius in pixels; 0 or less draws nothing
    int CenterX = 0;   // dial centre
    int CenterY = 0;
    friend bool operator==(const TMeterGeometry&, const TMeterGeometry&) = default;
};

// The dial of a control of Width x Height with the given rims (pixels). With B = Height -
// RimBottom and T = RimTop (the dial window's bottom and top lines):
//   mlCirc90   A 90, R = H - RimBottom - RimTop - 16, centre (W div 2, B - 8).
//   mlCirc120  A 120, R = min(that, (W / 2 - RimSide - 8) * 1.1547), same centre.
//   mlCirc180  A 180, R = min(H - RimBottom - RimTop - 16, W div 2 - RimSide - 8), same
//              centre: the end ticks lie on the centre line 8 px above the bottom rim, so their
//              labels (centred on that line) stay above the rim for fonts up to 16 px high.
//   mlCirc270, mlCirc360  A 270 / 360, R = min(W div 2 - RimSide - 8, (B - T) div 2 - 8),
//              centre (W div 2, T + (B - T) div 2): a circle centred in the dial window with
//              8 px to spare on every side; labels lie inside the circle.
//   mlCirc300  A 300, R = min(W div 2 - RimSide - 8, (H - RimTop - RimBottom - 16) / 1.866),
//              centre (W div 2, Round(RimTop + 8 + R)).
// A layout ordinal outside the enumeration is treated as mlCirc90.
TMeterGeometry CalcMeterGeometry(TMeterLayout Layout, int Width, int Height, int RimTop,
                                 int RimBottom, int RimSide);

// Long-tick spacing of a scale from Lo to Hi with about NrTicks intervals: Step is 1, 2 or 5
// times a power of ten (negative when Hi < Lo), SubDiv the number of short intervals per step
// (4 or 5), First the first multiple of Step not below Lo by more than a thousandth of a step.
// Lo = Hi gives First = Lo, Step = 0, SubDiv = 1; so does a range that is not finite or too
// narrow for the precision of Lo (no step could be added to it).
struct TTickSpacing {
    double First = 0;
    double Step = 0;
    int SubDiv = 1;
};
TTickSpacing CalcTickSpacing(int NrTicks, double Lo, double Hi);
void CalcTickSpacing(int NrTicks, double Lo, double Hi, double& First, double& Step, int& SubDiv);

// Where v lies on the scale, 0 at Min and 1 at Max: logarithmic when Logarithmic and v, Min
// and Max are all greater than 0, else linear. Not clamped.
double MeterScaleFraction(double v, double Min, double Max, bool Logarithmic);
// The drawing angle of a fraction on a scale of the given sweep: Sweep/2 + 90 - Sweep*f.
double MeterDrawAngle(double Fraction, int Sweep);
// The needle angle of a value (clamped into [Min, Max]): 180 - Sweep/2 + Sweep*f.
double MeterNeedleAngle(double Value, double Min, double Max, bool Logarithmic, int Sweep);
// The point at Radius along drawing angle AngleDeg: (Round(CX + r cos), Round(CY - r sin)).
TPoint MeterPolarPoint(int CX, int CY, double Radius, double AngleDeg);
// An end point for Arc and Pie: the product is rounded first, (CX + Round(r cos), CY -
// Round(r sin)).
TPoint MeterArcPoint(int CX, int CY, double Radius, double AngleDeg);
// Where a tick label is centred: (Round(CX + (R - Lw) cos), Round(CY - (R - Lh) sin)), Lw and
// Lh the label insets (half the text width or height of the widest label, plus 15).
TPoint MeterLabelPoint(int CX, int CY, double Radius, double Lw, double Lh, double AngleDeg);

// One tick of the scale: its value, its scale fraction and whether it carries a label.
struct TScaleTick {
    double Value = 0;
    double Fraction = 0;
    bool Labelled = false;
};
// The long ticks of a scale with NrTicks, in drawing order:
//   linear (or logarithmic with Min or Max not above 0): First + k*Step, every one labelled;
//   logarithmic over less than one decade: the same values at logarithmic positions;
//   logarithmic over a decade or more: 1..9 times each power of ten within [Min, Max] (with a
//   relative tolerance of 1e-9); labelled are all of them when Max/Min < 10, else only 1, 2
//   and 5 times a power of ten.
std::vector<TScaleTick> MeterLongTicks(double Min, double Max, bool Logarithmic, int NrTicks);
// On a full circle (Sweep 360 or more) the end of the scale lies where its start does: a
// labelled tick at fraction 1 loses its label when a labelled tick sits at fraction 0, so the
// two labels do not overprint (within 1e-9 of a fraction). Other sweeps are left alone.
void MeterDropCoincidentLabel(std::vector<TScaleTick>& Ticks, int Sweep);
// The short ticks: the multiples of Step/SubDiv from First - Step up to Max (plus a thousandth
// of a short step) that are not places of a linear long tick and not below Min. On a
// logarithmic scale they sit at logarithmic positions whenever v > Min (all values are > 0).
std::vector<TScaleTick> MeterShortTicks(double Min, double Max, bool Logarithmic, int NrTicks);

// The seven points of a needle polygon: barb, tip, other barb, head-shaft joint, shaft root,
// other shaft root, other head-shaft joint. The tip lies at PercentNeedleLength % of
// (Radius - 4) along drawing angle AngleDeg from the centre; HeadAngle is the head's opening
// in degrees, HeadSize the barb length, HeadMidLeng the distance from the tip back to where
// the shaft meets the head, Thickness the shaft's width (all pixels).
std::array<TPoint, 7> NeedlePolygon(int CX, int CY, double Radius, double AngleDeg, int HeadSize,
                                    int HeadAngle, int HeadMidLeng, int Thickness,
                                    int PercentNeedleLength);

// The scale value under pixel (X, Y): true and Value set when the direction from the centre
// lies within the scale's sweep (the distance does not matter; the centre itself counts as
// straight up), false and Value = 0 otherwise.
bool MeterPixelToValue(int X, int Y, int CX, int CY, int Sweep, double Min, double Max,
                       bool Logarithmic, double& Value);

} // namespace kel
