// Colour mixing, grey levels, HSL conversion and the predefined colour table.

#include "Kel_kelcolors.h"

#include <algorithm>
#include <cmath>

namespace kel {

TColor MeanColor(TColor C1, TColor C2) {
    TColor a = ColorToRGB(C1), b = ColorToRGB(C2);
    auto mean = [](int x, int y) { return std::uint8_t((x + y + 1) / 2); };
    return RGB(mean(GetRValue(a), GetRValue(b)), mean(GetGValue(a), GetGValue(b)),
               mean(GetBValue(a), GetBValue(b)));
}

int ColorToGray(TColor Color) {
    TColor c = ColorToRGB(Color);
    // Weights in thousandths keep the result exact: 299 + 587 + 114 = 1000.
    int sum = 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c);
    return (sum + 500) / 1000;
}

void ColorToHSL(TColor Color, double& Hue, double& Sat, double& Light) {
    TColor c = ColorToRGB(Color);
    double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
    double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    double d = mx - mn;
    Light = (mx + mn) / 2;
    if (d == 0) {
        Hue = 0;
        Sat = 0;
        return;
    }
    Sat = Light <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    double h;
    if (mx == r)
        h = (g - b) / d;
    else if (mx == g)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h *= 60;
    if (h < 0) h += 360;
    if (h >= 360) h -= 360;
    Hue = h;
}

namespace {
double HueChannel(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}
std::uint8_t ToByte(double v) { return std::uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }
} // namespace

TColor HSLtoColor(double Hue, double Sat, double Light) {
    if (std::isnan(Hue) || std::isinf(Hue)) Hue = 0;
    Sat = std::isnan(Sat) ? 0 : std::clamp(Sat, 0.0, 1.0);
    Light = std::isnan(Light) ? 0 : std::clamp(Light, 0.0, 1.0);
    if (Sat == 0) {
        std::uint8_t v = ToByte(Light);
        return RGB(v, v, v);
    }
    double h = std::fmod(Hue, 360.0);
    if (h < 0) h += 360;
    h /= 360;
    double q = Light < 0.5 ? Light * (1 + Sat) : Light + Sat - Light * Sat;
    double p = 2 * Light - q;
    return RGB(ToByte(HueChannel(p, q, h + 1.0 / 3)), ToByte(HueChannel(p, q, h)),
               ToByte(HueChannel(p, q, h - 1.0 / 3)));
}

const std::array<TColor, NumPredefinedColors> PredefinedColors{
    clBlack,        clMaroon,         clGreen,         clOlive,           clNavy,
    clPurple,       clTeal,           clGray,          clSilver,          clRed,
    clLime,         clYellow,         clBlue,          clFuchsia,         clAqua,
    clWhite,        clMoneyGreen,     clSkyBlue,       clCream,           clMedGray,
    clScrollBar,    clBackground,     clActiveCaption, clInactiveCaption, clMenu,
    clWindow,       clWindowFrame,    clMenuText,      clWindowText,      clCaptionText,
    clActiveBorder, clInactiveBorder, clAppWorkSpace,  clHighlight,       clHighlightText,
    clBtnFace,      clBtnShadow,      clGrayText,      clBtnText,         clInactiveCaptionText,
    clBtnHighlight, cl3DDkShadow,     cl3DLight,       clInfoText,        clInfoBk,
    clHotLight,     clMenuHighlight};

} // namespace kel
