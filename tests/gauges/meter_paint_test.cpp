// The analog meter's pixels: needle tip, barbs and shadow, band sectors ending on the
// thresholds, hub and pedestal, the round hub, the lamps, every frame style, the drawing
// events, the pictures, and reference images of the default meter and of every layout.
//
// With KEL_UPDATE_DOCS=1 the layout test also writes the pictures of docs/meter.md
// (docs/img/meter_*.png).
#include "KEL_Meter.h"

#include "headless.h"
#include "numtext.h"
#include "kel_app.h"
#include "kel_form_fixture.h"
#include "kel_forms.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kel::test {
namespace {

namespace fs = std::filesystem;

TBitmap& Render(TMeter& m, TBitmap& out) {
    EXPECT_TRUE(m.RenderTo(out));
    return out;
}

TColor Px(TBitmap& b, int x, int y) { return b.Canvas().Pixels(x, y); }

const TColor kFace = ColorToRGB(clBtnFace);

// The meter of the layout pictures: band, caption, a shadowed main needle, a second needle.
void DressForPicture(TMeter& m, TMeterLayout layout) {
    m.SetMeterLayout(layout);
    m.SetScaleBkVisible(true);
    m.SetScaleBkWidth(10);
    m.SetThresholdLow(0.25);
    m.SetThresholdHigh(0.75);
    m.SetValue(0.7);
    m.SetCaption("Volts");
    m.NeedleLayout().SetShadowDx(-3);
    m.NeedleLayout().SetShadowDy(-2);
    m.NeedleLayoutSec().SetVisible(true);
    m.NeedleLayoutSec().SetColorBody(clSkyBlue);
    m.NeedleLayoutSec().SetPercentNeedleLength(70);
    m.SetValueSec(0.35);
}

// ---- Reference images -------------------------------------------------------------------------

TEST(MeterPaint, DefaultMeterMatchesItsReference) {
    TMeter m(nullptr);
    TBitmap out;
    EXPECT_TRUE(MatchesReference(Render(m, out), "gauges/ref/meter_default"));
}

TEST(MeterPaint, EveryLayoutMatchesItsReference) {
    const char* names[] = {"circ90", "circ120", "circ180", "circ270", "circ300", "circ360"};
    for (int l = mlCirc90; l <= mlCirc360; ++l) {
        TMeter m(nullptr);
        DressForPicture(m, TMeterLayout(l));
        TBitmap out;
        Render(m, out);
        EXPECT_TRUE(MatchesReferenceAndDocs(out, "gauges", std::string("meter_") + names[l]));
    }
}

TEST(MeterPaint, LogarithmicScaleMatchesItsReference) {
    TMeter m(nullptr);
    m.SetMeterMaxValue(1000);
    m.SetMeterMinValue(1);
    m.SetLogarithmic(true);
    m.SetMeterDecPlaces(0);
    m.SetValue(30);
    m.SetMeterLayout(mlCirc120);
    TBitmap out;
    EXPECT_TRUE(MatchesReference(Render(m, out), "gauges/ref/meter_log"));
}

// ---- Needle -----------------------------------------------------------------------------------

TEST(MeterPaint, NeedleTipAndBarbsLieWhereThePolygonPutsThem) {
    TMeter m(nullptr);
    m.SetValue(0.5); // straight up
    const auto pts = NeedlePolygon(148, 191, 175, 90, 20, 30, 20, 0, 100);
    EXPECT_EQ(pts[1], Point(148, 20)); // 100 % of R - 4 = 171 above the centre
    EXPECT_EQ(pts[0], Point(153, 39));
    EXPECT_EQ(pts[2], Point(143, 39));
    EXPECT_EQ(pts[3], Point(148, 40));
    EXPECT_EQ(pts[4], Point(148, 191));
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 20), clBlack);
    EXPECT_EQ(Px(out, 153, 39), clBlack);
    EXPECT_EQ(Px(out, 143, 39), clBlack);
    EXPECT_EQ(Px(out, 148, 35), clSilver); // inside the head
    EXPECT_EQ(Px(out, 148, 100), clBlack); // the shaft, one pixel wide
    EXPECT_EQ(Px(out, 149, 100), clWhite);
    EXPECT_EQ(Px(out, 156, 39), clWhite);
}

TEST(MeterPaint, ShadowLiesThreePixelsLeftOfAndAboveTheNeedle) {
    TMeter m(nullptr);
    m.SetValue(0.5);
    m.NeedleLayout().SetShadowDx(3);
    m.NeedleLayout().SetShadowDy(3);
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 145, 17), clGray);  // the shadow's tip
    EXPECT_EQ(Px(out, 140, 36), clGray);  // its left barb
    EXPECT_EQ(Px(out, 145, 120), clGray); // its shaft
    EXPECT_EQ(Px(out, 148, 20), clBlack); // the needle on top
    EXPECT_EQ(Px(out, 151, 23), clWhite); // nothing to the lower right
}

TEST(MeterPaint, CollapsedNeedleIsJustItsHeadAtTheCentre) {
    TMeter m(nullptr);
    m.NeedleLayout().SetPercentNeedleLength(-5);
    m.SetAnchorCovered(false);
    m.SetValue(0.5);
    const auto pts = NeedlePolygon(148, 191, 175, 90, 20, 30, 20, 0, 0);
    EXPECT_EQ(pts[1], Point(148, 191));
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 191), clBlack);
    EXPECT_EQ(Px(out, 148, 100), clWhite); // no shaft
}

TEST(MeterPaint, SecondaryNeedleIsDrawnOnlyWhileItsLayoutIsVisible) {
    TMeter m(nullptr);
    m.NeedleLayoutSec().SetColorBody(clRed);
    m.SetValueSec(0.5);
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 35), clWhite);
    m.NeedleLayoutSec().SetVisible(true);
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 35), clRed);
    EXPECT_EQ(Px(out, 148, 20), clBlack);
}

TEST(MeterPaint, BeforeDrawNeedleCanTakeOverTheNeedleButNotTheRest) {
    TMeter m(nullptr);
    m.SetValue(0.5);
    m.SetOnBeforeDrawNeedle([&](TObject* s, TCanvas& c, bool& drawn) {
        EXPECT_EQ(s, &m);
        c.SetPixels(60, 120, clRed);
        drawn = true;
    });
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 100), clWhite); // no needle
    EXPECT_EQ(Px(out, 60, 120), clRed);    // what the handler drew
    EXPECT_EQ(Px(out, 148, 180), kFace);   // the hub
    EXPECT_EQ(Px(out, 273, 21), clGray);   // a lamp
    EXPECT_EQ(Px(out, 0, 100), clWhite);   // the frame
    EXPECT_EQ(Px(out, 3, 100), kFace);     // a rim
}

// ---- Scale and band ---------------------------------------------------------------------------

TEST(MeterPaint, BandSectorsEndOnTheThresholds) {
    TMeter m(nullptr);
    m.SetScaleBkVisible(true);
    m.SetThresholdLow(0.25);
    m.SetThresholdHigh(0.75);
    TBitmap out;
    Render(m, out);
    // Walk along the band (4 pixels just outside the scale) and note where the colour changes.
    std::vector<std::pair<double, TColor>> changes;
    TColor last = 0xFFFFFFFF;
    for (double phi = 134; phi >= 46; phi -= 0.05) {
        TPoint p = MeterPolarPoint(148, 191, 177, phi);
        TColor c = Px(out, p.X, p.Y);
        if (c != last) changes.push_back({phi, c});
        last = c;
    }
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].second, clLime);
    EXPECT_EQ(changes[1].second, TColor(0x0080FF));
    EXPECT_EQ(changes[2].second, clRed);
    EXPECT_NEAR(changes[1].first, 112.5, 0.7); // 0.25 of the way from 135 to 45 degrees
    EXPECT_NEAR(changes[2].first, 67.5, 0.7);
    // Inside the scale the dial stays white at width 0 and is filled at width 100.
    EXPECT_EQ(Px(out, 148, 60), clWhite);
    m.SetScaleBkWidth(100);
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 60), TColor(0x0080FF));
    EXPECT_EQ(Px(out, 100, 120), clLime);
}

TEST(MeterPaint, EmptyTickLabelHidesTheLabelButNotItsTick) {
    TMeter m(nullptr);
    TRect box{};
    m.SetOnBeforeDrawScaleLabel([&](TObject*, TCanvas& c, std::string& text, int x, int y) {
        if (text == "0.4") box = Bounds(x, y, c.TextWidth(text), c.TextHeight(text));
    });
    TBitmap with;
    Render(m, with);
    ASSERT_FALSE(box.IsEmpty());
    m.SetOnBeforeDrawScaleLabel([](TObject*, TCanvas&, std::string& text, int, int) {
        if (text == "0.4") text.clear();
    });
    TBitmap without;
    Render(m, without);
    int inkWith = 0, inkWithout = 0;
    for (int y = box.Top; y < box.Bottom; ++y)
        for (int x = box.Left; x < box.Right; ++x) {
            inkWith += Px(with, x, y) != clWhite;
            inkWithout += Px(without, x, y) != clWhite;
        }
    EXPECT_GT(inkWith, 5);
    EXPECT_EQ(inkWithout, 0);
    const TPoint tick = MeterPolarPoint(148, 191, 175, MeterDrawAngle(0.4, 90));
    EXPECT_EQ(Px(without, tick.X, tick.Y), clNavy);
}

TEST(MeterPaint, FullCircleShowsNoTwoLabelsOnOneSpot) {
    for (auto [lo, hi] : {std::pair{0.0, 1.0}, std::pair{0.0, 100.0}, std::pair{-100.0, 100.0}}) {
        TMeter m(nullptr);
        m.SetMeterLayout(mlCirc360);
        m.SetMeterMaxValue(hi);
        m.SetMeterMinValue(lo);
        std::vector<std::pair<std::string, TPoint>> labels;
        m.SetOnBeforeDrawScaleLabel([&](TObject*, TCanvas&, std::string& text, int x, int y) {
            labels.push_back({text, Point(x, y)});
        });
        TBitmap b;
        Render(m, b);
        ASSERT_GE(labels.size(), 2u);
        for (std::size_t i = 0; i < labels.size(); ++i)
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(std::abs(labels[i].second.X - labels[j].second.X) < 8 &&
                             std::abs(labels[i].second.Y - labels[j].second.Y) < 8)
                    << "\"" << labels[i].first << "\" and \"" << labels[j].first << "\"";
        // The minimum keeps its label; the maximum's tick is the same line.
        EXPECT_EQ(labels.front().first, FloatToFieldStr(1, 1, lo));
    }
    // A sweep short of the full circle keeps both end labels.
    std::vector<TScaleTick> ticks = MeterLongTicks(0, 100, false, 3);
    MeterDropCoincidentLabel(ticks, 300);
    EXPECT_TRUE(ticks.front().Labelled && ticks.back().Labelled);
    MeterDropCoincidentLabel(ticks, 360);
    EXPECT_TRUE(ticks.front().Labelled);
    EXPECT_FALSE(ticks.back().Labelled);
}

TEST(MeterPaint, HiddenScaleStillShowsTheCaption) {
    TMeter m(nullptr);
    m.SetScaleVisible(false);
    m.SetCaption("HH");
    m.SetValue(1); // needle out of the way
    TBitmap out;
    Render(m, out);
    const TPoint tick = MeterPolarPoint(148, 191, 175, 90);
    EXPECT_EQ(Px(out, tick.X, tick.Y), clWhite);
    int ink = 0;
    for (int y = 124; y < 140; ++y) // centred on 191 - Round(175 / 3) = 133
        for (int x = 135; x < 162; ++x) ink += Px(out, x, y) != clWhite;
    EXPECT_GT(ink, 20);
}

TEST(MeterPaint, ChangedScaleRepaintsLikeANewMeterWithThoseSettings) {
    // The tick layout is kept between paints; every setting it depends on must renew it.
    auto same = [](TBitmap& a, TBitmap& b) {
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Canvas().Pixels(x, y) != b.Canvas().Pixels(x, y)) return false;
        return true;
    };
    const std::vector<std::pair<const char*, std::function<void(TMeter&)>>> changes{
        {"maximum", [](TMeter& m) { m.SetMeterMaxValue(40); }},
        {"decimals", [](TMeter& m) { m.SetMeterDecPlaces(2); }},
        {"ticks", [](TMeter& m) { m.SetMeterNrTicks(8); }},
        {"font", [](TMeter& m) { m.Font().SetSize(11); }},
        {"logarithmic",
         [](TMeter& m) {
             m.SetMeterMinValue(1);
             m.SetLogarithmic(true);
         }},
        {"size", [](TMeter& m) { m.SetBounds(0, 0, 297, 180); }},
    };
    TMeter kept(nullptr);
    TBitmap before, after, fresh;
    Render(kept, before);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        changes[i].second(kept);
        TMeter other(nullptr); // every change so far, on a meter never painted
        for (std::size_t j = 0; j <= i; ++j) changes[j].second(other);
        Render(kept, after);
        Render(other, fresh);
        EXPECT_TRUE(same(after, fresh)) << changes[i].first;
        EXPECT_FALSE(same(after, before)) << changes[i].first;
        Render(kept, before);
    }
}

TEST(MeterPaint, EveryChangeOfTheLookRepaintsLikeANewMeterWithThoseSettings) {
    // The dial under the needles and what covers them are kept between paints; every setting
    // either depends on must renew it, and a moving needle must not leave a trace.
    auto same = [](TBitmap& a, TBitmap& b) {
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Canvas().Pixels(x, y) != b.Canvas().Pixels(x, y)) return false;
        return true;
    };
    const std::vector<std::pair<const char*, std::function<void(TMeter&)>>> changes{
        {"value", [](TMeter& m) { m.SetValue(0.3); }},
        {"band", [](TMeter& m) { m.SetScaleBkVisible(true); }},
        {"band width", [](TMeter& m) { m.SetScaleBkWidth(30); }},
        {"low threshold", [](TMeter& m) { m.SetThresholdLow(0.4); }},   // low lamp lit
        {"high threshold", [](TMeter& m) { m.SetThresholdHigh(0.6); }}, // the band moves
        {"value over", [](TMeter& m) { m.SetValue(0.9); }},             // high lamp lit
        {"band colour", [](TMeter& m) { m.SetColorSclBkHigh(clPurple); }},
        {"caption", [](TMeter& m) { m.SetCaption("kPa"); }},
        {"caption font", [](TMeter& m) { m.FontCaption().SetColor(clRed); }},
        {"font colour", [](TMeter& m) { m.Font().SetColor(clGreen); }},
        {"scale colour", [](TMeter& m) { m.SetColorScale(clMaroon); }},
        {"scale line", [](TMeter& m) { m.SetMeterScaleLine(false); }},
        {"short ticks", [](TMeter& m) { m.SetMeterShortTicks(false); }},
        {"background", [](TMeter& m) { m.SetColorBakG(clCream); }},
        {"cover", [](TMeter& m) { m.SetColorCover(clTeal); }},
        {"rim", [](TMeter& m) { m.SetRimSide(20); }},
        {"anchor", [](TMeter& m) { m.SetAnchorSize(30); }},
        {"lamp colour", [](TMeter& m) { m.SetLimWatchActColor(clYellow); }},
        {"lamp off", [](TMeter& m) { m.SetLimWatchLowOn(false); }},
        {"frame", [](TMeter& m) { m.SetFrameStyle(fstEmbossed); }},
        {"scheme", [](TMeter& m) { m.SetColorScheme(cschSystem); }},
        {"needle", [](TMeter& m) { m.NeedleLayout().SetColorBody(clRed); }},
        {"second needle", [](TMeter& m) { m.NeedleLayoutSec().SetVisible(true); }},
        {"second value", [](TMeter& m) { m.SetValueSec(0.5); }},
        {"layout", [](TMeter& m) { m.SetMeterLayout(mlCirc270); }},
        {"hidden scale", [](TMeter& m) { m.SetScaleVisible(false); }},
    };
    TMeter kept(nullptr);
    TBitmap before, after, fresh;
    Render(kept, before);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        changes[i].second(kept);
        TMeter other(nullptr); // every change so far, on a meter never painted
        for (std::size_t j = 0; j <= i; ++j) changes[j].second(other);
        Render(kept, after);
        Render(other, fresh);
        EXPECT_TRUE(same(after, fresh)) << changes[i].first;
        EXPECT_FALSE(same(after, before)) << changes[i].first;
        Render(kept, before);
    }
}

// ---- Anchor, lamps, frames --------------------------------------------------------------------

TEST(MeterPaint, HalfDiscHubStandsOnAPedestalWithRaisedEdges) {
    TMeter m(nullptr);
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 180), kFace);   // hub
    EXPECT_EQ(Px(out, 148, 196), kFace);   // pedestal
    EXPECT_EQ(Px(out, 124, 195), clWhite); // its lit left edge
    EXPECT_EQ(Px(out, 171, 195), clGray);  // its shaded right edge
    EXPECT_EQ(Px(out, 100, 199), clWhite); // inner frame, bottom
    EXPECT_EQ(Px(out, 9, 100), clGray);    // inner frame, left
    int white = 0, gray = 0;
    for (int y = 165; y < 191; ++y)
        for (int x = 120; x < 176; ++x) {
            TColor c = Px(out, x, y);
            if (x < 140 && c == clWhite) ++white;
            if (x > 160 && y < 185 && c == clGray) ++gray;
        }
    EXPECT_GT(white, 15); // the upper half of the rim is lit ...
    EXPECT_GT(gray, 5);   // ... except the upper right eighth
}

TEST(MeterPaint, ClosedLayoutsGetARoundHubLitUpperLeft) {
    TMeter m(nullptr);
    m.SetMeterLayout(mlCirc270);
    ASSERT_EQ(m.OriginY(), 103);
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 103), kFace);
    EXPECT_EQ(Px(out, 148, 79), clWhite);
    EXPECT_EQ(Px(out, 124, 103), clWhite);
    EXPECT_EQ(Px(out, 148, 126), clGray);
    EXPECT_EQ(Px(out, 171, 103), clGray);
    EXPECT_EQ(Px(out, 148, 180), clWhite); // no pedestal
}

TEST(MeterPaint, LampsLightWhenTheValueReachesAThreshold) {
    TMeter m(nullptr);
    m.SetThresholdLow(0.2);
    m.SetThresholdHigh(0.8);
    TBitmap out;
    m.SetValue(0.5);
    Render(m, out);
    EXPECT_EQ(Px(out, 273, 21), clGray);
    EXPECT_EQ(Px(out, 22, 21), clGray);
    EXPECT_EQ(Px(out, 273, 16), clBlack); // top edge
    EXPECT_EQ(Px(out, 273, 25), clWhite); // lit bottom edge
    EXPECT_EQ(Px(out, 273, 24), clSilver);
    EXPECT_EQ(Px(out, 270, 20), clGray);
    m.SetValue(0.9);
    Render(m, out);
    EXPECT_EQ(Px(out, 273, 21), clRed);
    EXPECT_EQ(Px(out, 22, 21), clGray);
    m.SetValue(0.1);
    m.SetLimWatchActColor(clYellow);
    Render(m, out);
    EXPECT_EQ(Px(out, 273, 21), clGray);
    EXPECT_EQ(Px(out, 22, 21), clYellow);
    m.SetLimWatchLowOn(false);
    m.SetLimWatchPsvColor(clBlue);
    Render(m, out);
    EXPECT_EQ(Px(out, 22, 21), clWhite);
    EXPECT_EQ(Px(out, 273, 21), clBlue);
}

TEST(MeterPaint, EveryFrameStyleDrawsItsLines) {
    struct Expect {
        TColor left, top, right, bottom, corner00, inner11, cornerBL;
    };
    const TColor W = clWhite, G = clGray, F = kFace;
    const Expect e[] = {
        {F, F, F, F, F, F, F}, // none
        {W, W, W, W, W, F, W}, // single line in the dial colour
        {G, G, W, W, G, F, G}, // lowered
        {W, W, G, G, W, F, W}, // raised
        {W, W, G, G, W, G, F}, // light outer ring, dark inner one
        {G, G, W, W, G, W, F}, // dark outer ring, light inner one
    };
    for (int s = 0; s < 6; ++s) {
        TMeter m(nullptr);
        m.SetFrameStyle(TFrameStyle(s));
        TBitmap out;
        Render(m, out);
        EXPECT_EQ(Px(out, 0, 100), e[s].left) << "style " << s;
        EXPECT_EQ(Px(out, 100, 0), e[s].top) << "style " << s;
        EXPECT_EQ(Px(out, 296, 100), e[s].right) << "style " << s;
        EXPECT_EQ(Px(out, 100, 208), e[s].bottom) << "style " << s;
        EXPECT_EQ(Px(out, 0, 0), e[s].corner00) << "style " << s;
        EXPECT_EQ(Px(out, 1, 100), e[s].inner11) << "style " << s;
        EXPECT_EQ(Px(out, 0, 208), e[s].cornerBL) << "style " << s;
        if (s >= 4) {
            EXPECT_EQ(Px(out, 295, 100), s == 4 ? W : G) << "style " << s;
            EXPECT_EQ(Px(out, 100, 207), s == 4 ? W : G) << "style " << s;
        }
    }
    TMeter m(nullptr);
    m.SetFrameStyle(fstLowered);
    m.SetColorScheme(cschSystem);
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 0, 100), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Px(out, 296, 100), ColorToRGB(clBtnHighlight));
}

// ---- Pictures ---------------------------------------------------------------------------------

class MeterPictures : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / "kel_meter_paint_pictures";
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Picture(const std::string& name, int w, int h, TColor c, TColor centre) {
        TBitmap b;
        Fill(b, w, h, c);
        b.Canvas().Brush().SetColor(centre);
        b.Canvas().FillRect(Rect(w / 2 - 2, h / 2 - 2, w / 2 + 3, h / 2 + 3));
        const std::string path = (dir / name).string();
        b.SaveToFile(path);
        return path;
    }
    fs::path dir;
};

TEST_F(MeterPictures, BlackPixelsOfTheAnchorPictureAreTransparent) {
    TMeter m(nullptr);
    m.SetValue(0.5);
    m.SetAnchorImage(Picture("anchor.bmp", 21, 21, clBlack, clRed));
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 148, 191), clRed);   // the picture's red centre
    EXPECT_EQ(Px(out, 140, 183), clWhite); // black there: the dial shows through
    EXPECT_EQ(Px(out, 148, 183), clBlack); // and so does the needle
    EXPECT_EQ(Px(out, 148, 196), clWhite); // no hub or pedestal
}

TEST_F(MeterPictures, BackgroundPictureFillsAsItsModeSays) {
    const std::string pic = Picture("bg.png", 20, 10, clBlue, clBlue);
    TMeter m(nullptr);
    m.SetBackGroundImg(pic);
    TBitmap out;
    Render(m, out);
    EXPECT_EQ(Px(out, 15, 9), clBlue); // own size at the top-left
    EXPECT_EQ(Px(out, 30, 150), clWhite);
    m.SetBkgndFillMode(bfStretch);
    Render(m, out);
    EXPECT_EQ(Px(out, 30, 150), clBlue);
    m.SetBkgndFillMode(bfTile);
    Render(m, out);
    EXPECT_EQ(Px(out, 30, 150), clBlue);
    EXPECT_EQ(Px(out, 285, 195), clBlue);
    m.SetBkgndFillMode(bfCenter);
    Render(m, out);
    EXPECT_EQ(Px(out, 140, 100), clBlue); // 20 x 10 about the middle (148, 104)
    EXPECT_EQ(Px(out, 157, 108), clBlue);
    EXPECT_EQ(Px(out, 158, 104), clWhite);
    EXPECT_EQ(Px(out, 15, 9), clWhite);
}

// ---- On a form --------------------------------------------------------------------------------

class MeterPaintOnForm : public FormTest {
  protected:
    MeterPaintOnForm() : FormTest(320, 240, clYellow) {}
    void SetUp() override {
        FormTest::SetUp();
        meter = new TMeter(form.get());
        meter->SetParent(form.get());
        meter->SetBounds(5, 7, 297, 209);
        headless::Flush();
    }
    TMeter* meter = nullptr;
};

TEST_F(MeterPaintOnForm, PaintShowsTheRenderedMeterAndUpdateShowsChanges) {
    TBitmap shown, rendered;
    headless::Snapshot(*meter, shown);
    meter->RenderTo(rendered);
    ASSERT_EQ(shown.Width(), rendered.Width());
    for (int y = 0; y < 209; y += 3)
        for (int x = 0; x < 297; x += 3)
            ASSERT_EQ(shown.Canvas().Pixels(x, y), rendered.Canvas().Pixels(x, y)) << x << "," << y;
    // The surface shows the change at the next Update, before the message loop runs.
    meter->SetValue(0.5);
    meter->Update();
    const TColor tip = PixelToColor(form->Surface().ScanLine(7 + 20)[5 + 148]);
    EXPECT_EQ(tip, clBlack);
}

TEST_F(MeterPaintOnForm, MovingNeedlesLeaveNoTraceOnTheShownMeter) {
    // Paints after a new value replace only the old needles on the meter's own bitmap; what
    // is shown must be what a full drawing gives, step after step.
    meter->SetThresholdLow(0.2);
    meter->SetThresholdHigh(0.8);
    meter->SetScaleBkVisible(true);
    meter->NeedleLayout().SetShadowDx(4);
    meter->NeedleLayout().SetShadowDy(-3);
    meter->NeedleLayoutSec().SetVisible(true);
    meter->NeedleLayoutSec().SetThickness(6);
    // Mostly inside the normal range (the lamps stay as they are), then over and under it.
    const std::vector<std::pair<double, double>> steps{
        {0.3, 0.7},  {0.7, 0.3}, {0.5, 0.5},   {0.26, 0.74}, {0.74, 0.26},
        {0.4, 0.95}, {0.6, 0.9}, {0.45, 0.05}, {0.55, 0.1},  {0.5, 0.6}};
    int step = 0;
    for (auto [v, v2] : steps) {
        meter->SetValue(v);
        meter->SetValueSec(v2);              // the lamps follow the value set last
        if (step == 7) meter->SetRimTop(14); // the cover changes once on the way
        meter->Update();
        TBitmap shown, full;
        headless::Snapshot(*meter, shown);
        ASSERT_TRUE(meter->RenderTo(full));
        for (int y = 0; y < 209; ++y)
            for (int x = 0; x < 297; ++x)
                ASSERT_EQ(shown.Canvas().Pixels(x, y), full.Canvas().Pixels(x, y))
                    << "step " << step << " at " << x << "," << y;
        ++step;
    }
}

TEST_F(MeterPaintOnForm, DialWithoutRoomDrawsNothing) {
    meter->SetBounds(5, 7, 297, 30); // radius 30 - 34 < 0
    TBitmap scratch;
    EXPECT_FALSE(meter->RenderTo(scratch));
    EXPECT_EQ(headless::PixelAt(*meter, 100, 15), clYellow);
    // The dial loses its room without moving: what it showed gives way to the form's
    // background, painted or repainted.
    meter->SetBounds(5, 7, 297, 209);
    EXPECT_NE(headless::PixelAt(*meter, 100, 15), clYellow);
    meter->SetRimTop(200);
    meter->SetMeterLayout(mlCirc120); // the geometry (with the new rim) is computed here
    EXPECT_EQ(headless::PixelAt(*meter, 100, 15), clYellow);
    meter->SetRimTop(12);
    meter->SetMeterLayout(mlCirc90);
    EXPECT_NE(headless::PixelAt(*meter, 100, 15), clYellow);
    meter->SetRimTop(200);
    meter->SetMeterLayout(mlCirc120);
    meter->Repaint();
    EXPECT_EQ(headless::PixelAt(*meter, 100, 15), clYellow);
}

} // namespace
} // namespace kel::test
