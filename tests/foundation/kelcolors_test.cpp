// Colour services: HSL conversions both ways and at their edges, grey levels, colour means and
// the predefined colour table.

#include "Kel_kelcolors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace kel {
namespace {

TEST(KelColors, HslRoundTripGivesBackEveryColourOfAGridThroughTheCube) {
    int failures = 0;
    for (int r = 0; r <= 255; r += 5)
        for (int g = 0; g <= 255; g += 5)
            for (int b = 0; b <= 255; b += 5) {
                TColor c = RGB(r, g, b);
                double h, s, l;
                ColorToHSL(c, h, s, l);
                ASSERT_TRUE(h >= 0 && h < 360 && s >= 0 && s <= 1 && l >= 0 && l <= 1);
                if (HSLtoColor(h, s, l) != c && ++failures < 5)
                    ADD_FAILURE() << std::hex << "colour 0x" << c << " came back as 0x"
                                  << HSLtoColor(h, s, l);
            }
    EXPECT_EQ(failures, 0);
}

TEST(KelColors, HslOfPrimariesAndGreysHasTheTextbookValues) {
    double h, s, l;
    ColorToHSL(clLime, h, s, l);
    EXPECT_DOUBLE_EQ(h, 120);
    EXPECT_DOUBLE_EQ(s, 1);
    EXPECT_DOUBLE_EQ(l, 0.5);
    ColorToHSL(clFuchsia, h, s, l); // magenta: hue 300, the wrap-around sector
    EXPECT_DOUBLE_EQ(h, 300);
    ColorToHSL(clGray, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    EXPECT_DOUBLE_EQ(l, 128.0 / 255);
    ColorToHSL(clWhite, h, s, l);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(HSLtoColor(0, 1, 0.5), clRed);
    EXPECT_EQ(HSLtoColor(240, 1, 0.25), clNavy);
}

TEST(KelColors, HslToColourWrapsHueAndClampsSaturationAndLightness) {
    EXPECT_EQ(HSLtoColor(360, 1, 0.5), clRed);
    EXPECT_EQ(HSLtoColor(-240, 1, 0.5), clLime);
    EXPECT_EQ(HSLtoColor(720 + 240, 1, 0.5), clBlue);
    EXPECT_EQ(HSLtoColor(77, 0.6, 1), clWhite);
    EXPECT_EQ(HSLtoColor(77, 0.6, 0), clBlack);
    EXPECT_EQ(HSLtoColor(0, 2, 0.5), clRed);
    EXPECT_EQ(HSLtoColor(0, 1, 1.7), clWhite);
    EXPECT_EQ(HSLtoColor(0, -1, 0.5), RGB(128, 128, 128));
    EXPECT_EQ(HSLtoColor(std::numeric_limits<double>::quiet_NaN(), 1, 0.5), clRed);
}

TEST(KelColors, SystemColoursAreResolvedBeforeConversion) {
    double h1, s1, l1, h2, s2, l2;
    ColorToHSL(clBtnFace, h1, s1, l1);
    ColorToHSL(ColorToRGB(clBtnFace), h2, s2, l2);
    EXPECT_EQ(l1, l2);
    EXPECT_EQ(ColorToGray(clWindow), ColorToGray(ColorToRGB(clWindow)));
    EXPECT_EQ(MeanColor(clBtnShadow, clBtnShadow), ColorToRGB(clBtnShadow));
}

TEST(KelColors, GreyLevelWeighsTheChannelsAndSpansTheByteRange) {
    EXPECT_EQ(ColorToGray(clBlack), 0);
    EXPECT_EQ(ColorToGray(clWhite), 255);
    EXPECT_EQ(ColorToGray(clRed), 76);
    EXPECT_EQ(ColorToGray(clLime), 150);
    EXPECT_EQ(ColorToGray(clBlue), 29);
    EXPECT_EQ(ColorToGray(RGB(96, 96, 96)), 96);
}

TEST(KelColors, MeanColourAveragesEachChannelRoundingUp) {
    EXPECT_EQ(MeanColor(clBlack, clWhite), RGB(128, 128, 128));
    EXPECT_EQ(MeanColor(clRed, clBlue), clPurple);
    EXPECT_EQ(MeanColor(RGB(10, 20, 31), RGB(20, 20, 30)), RGB(15, 20, 31));
    EXPECT_EQ(MeanColor(clTeal, clTeal), clTeal);
}

TEST(KelColors, PredefinedTableHoldsVgaExtendedAndSystemColours) {
    ASSERT_EQ(PredefinedColors.size(), 47u);
    EXPECT_EQ(PredefinedColors[0], clBlack);
    EXPECT_EQ(PredefinedColors[9], clRed);
    EXPECT_EQ(PredefinedColors[15], clWhite);
    EXPECT_EQ(PredefinedColors[19], clMedGray);
    std::set<TColor> distinct(PredefinedColors.begin(), PredefinedColors.end());
    EXPECT_EQ(distinct.size(), 47u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(PredefinedColors[i] & 0xFF000000u, 0u) << i;
    for (int i = 20; i < 47; ++i) EXPECT_EQ(PredefinedColors[i] & 0xFF000000u, clSystemColor) << i;
}

} // namespace
} // namespace kel
