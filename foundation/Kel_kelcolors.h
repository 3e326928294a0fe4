// Colour services: mixing, grey level, conversion between RGB and hue / saturation / lightness,
// and the table of predefined colours the colour pickers offer.
#pragma once

#include "kel_graphics.h"

#include <array>

namespace kel {

// The colour halfway between two colours (each RGB channel the rounded-up mean). System colours
// are resolved first.
TColor MeanColor(TColor C1, TColor C2);

// Perceived brightness 0..255 (0.299 R + 0.587 G + 0.114 B, rounded); system colours resolved.
int ColorToGray(TColor Color);

// Hue in degrees [0, 360), saturation and lightness in [0, 1]. A grey has hue 0 and saturation 0.
void ColorToHSL(TColor Color, double& Hue, double& Sat, double& Light);

// The RGB colour of a hue (degrees, taken modulo 360), saturation and lightness (both clamped to
// [0, 1]); channels are rounded to the nearest integer. NaN arguments count as 0.
TColor HSLtoColor(double Hue, double Sat, double Light);

// The colours the pickers offer: 0..15 the 16 basic VGA colours (clBlack .. clWhite in the
// usual order), 16..19 clMoneyGreen, clSkyBlue, clCream, clMedGray, 20..46 system colours
// (clScrollBar .. clInfoBk, then clHotLight and clMenuHighlight).
constexpr int NumPredefinedColors = 47;
extern const std::array<TColor, NumPredefinedColors> PredefinedColors;

} // namespace kel
