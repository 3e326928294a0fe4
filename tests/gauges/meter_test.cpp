// The analog meter without pixels: dial geometry, tick spacing and tick sets, the value, limit
// and threshold rules with their events, loading, needle layouts, conversions between values
// and pixels, the mouse report and the published property list.
#include "KEL_Meter.h"

#include "headless.h"
#include "kel_app.h"
#include "kel_form_fixture.h"
#include "kel_forms.h"
#include "kel_props.h"
#include "kel_registry_check.h"
#include "kel_streaming.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace kel::test {
namespace {

std::vector<double> Values(const std::vector<TScaleTick>& ticks, bool labelledOnly = false) {
    std::vector<double> out;
    for (const TScaleTick& t : ticks)
        if (!labelledOnly || t.Labelled) out.push_back(t.Value);
    return out;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << "at " << i;
}

// Records the range events a meter raises, in order.
struct EventLog {
    std::string text;
    void Watch(TMeter& m) {
        m.SetOnOverFlow([this](TObject*) { text += "over "; });
        m.SetOnUnderFlow([this](TObject*) { text += "under "; });
        m.SetOnNormalRange([this](TObject*) { text += "normal "; });
    }
    std::string Take() {
        std::string t = text;
        text.clear();
        return t;
    }
};

// A meter exposing its loading hooks, the way the form streaming drives them.
class TLoadableMeter : public TMeter {
  public:
    using TMeter::Loaded;
    using TMeter::TMeter;
};

// ---- Geometry ---------------------------------------------------------------------------------

TEST(MeterGeometry, NewMeterHasQuarterScaleOfRadius175CentredAt148_191) {
    TMeter m(nullptr);
    EXPECT_EQ(m.Width(), 297);
    EXPECT_EQ(m.Height(), 209);
    EXPECT_EQ(m.OriginX(), 148);
    EXPECT_EQ(m.OriginY(), 191);
    EXPECT_DOUBLE_EQ(m.ScaleRadius(), 175.0);
    EXPECT_DOUBLE_EQ(m.CalcNeedleAngle(m.MeterMinValue()), 135.0); // sweep 90
    EXPECT_DOUBLE_EQ(m.CalcNeedleAngle(m.MeterMaxValue()), 225.0);
}

TEST(MeterGeometry, EachLayoutHasItsSweepRadiusAndCentre) {
    const auto g = [](TMeterLayout l) { return CalcMeterGeometry(l, 297, 209, 8, 10, 10); };
    EXPECT_EQ(g(mlCirc90), (TMeterGeometry{90, 175, 148, 191}));
    EXPECT_EQ(g(mlCirc120).Angle, 120);
    EXPECT_DOUBLE_EQ(g(mlCirc120).Radius, (297 / 2.0 - 18) * 1.1547);
    EXPECT_EQ(g(mlCirc120).CenterY, 191);
    EXPECT_EQ(g(mlCirc180), (TMeterGeometry{180, 130, 148, 191}));
    // The dial window runs from 8 to 199: 191 pixels, so a radius of 95 - 8 about row 103.
    EXPECT_EQ(g(mlCirc270), (TMeterGeometry{270, 87, 148, 103}));
    EXPECT_EQ(g(mlCirc360), (TMeterGeometry{360, 87, 148, 103}));
    TMeterGeometry c300 = g(mlCirc300);
    EXPECT_EQ(c300.Angle, 300);
    EXPECT_DOUBLE_EQ(c300.Radius, 175 / 1.866);
    EXPECT_EQ(c300.CenterY, 110); // Round(8 + 8 + 93.78)
    // The 120-degree radius is bounded by the width when the control is narrow.
    EXPECT_DOUBLE_EQ(CalcMeterGeometry(mlCirc120, 100, 209, 8, 10, 10).Radius, 32 * 1.1547);
}

TEST(MeterGeometry, OwnLayoutsKeepScaleLabelsAndNeedleInsideTheDialWindowAtAnySize) {
    // Label insets of the default font with a label like "1.0" (half width/height + 15).
    const double lw = 24, lh = 22;
    for (TMeterLayout l : {mlCirc180, mlCirc270, mlCirc360, mlCirc300})
        for (int w = 40; w <= 640; w += 37)
            for (int h = 40; h <= 640; h += 41) {
                const TMeterGeometry g = CalcMeterGeometry(l, w, h, 8, 10, 10);
                if (g.Radius <= 0) continue;
                const TRect window = Rect(10, 8, w - 10, h - 10);
                for (int k = 0; k <= 60; ++k) {
                    const double phi = MeterDrawAngle(k / 60.0, g.Angle);
                    const TPoint p = MeterPolarPoint(g.CenterX, g.CenterY, g.Radius, phi);
                    ASSERT_TRUE(window.Contains(p))
                        << "layout " << int(l) << " size " << w << "x" << h << " k " << k;
                    if (g.Radius > 2 * lw) { // labels need a dial larger than themselves
                        const TPoint q =
                            MeterLabelPoint(g.CenterX, g.CenterY, g.Radius, lw, lh, phi);
                        ASSERT_TRUE(window.Contains(q)) << "label, layout " << int(l);
                    }
                }
                // The half circle's end labels are centred on the centre line.
                if (l == mlCirc180) {
                    EXPECT_LE(g.CenterY + 7, h - 10) << w << "x" << h;
                }
            }
}

TEST(MeterGeometry, SizeLayoutAndRimsRecomputeTheDial) {
    TMeter m(nullptr);
    m.SetBounds(0, 0, 400, 300);
    EXPECT_EQ(m.OriginX(), 200);
    EXPECT_EQ(m.OriginY(), 282);
    m.SetRimBottom(30); // the rims bound the dial at once (they used to wait for a resize)
    EXPECT_EQ(m.OriginY(), 300 - 30 - 8);
    m.SetMeterLayout(mlCirc360);
    EXPECT_EQ(m.OriginY(), 8 + (270 - 8) / 2);
    EXPECT_DOUBLE_EQ(m.ScaleRadius(), std::min(200 - 18, (270 - 8) / 2 - 8));
}

// ---- Tick spacing and ticks -------------------------------------------------------------------

TEST(MeterTicks, TickSpacingPicksOneTwoOrFiveTimesAPowerOfTen) {
    struct Case {
        int n;
        double lo, hi, step;
        int sub;
    } cases[] = {{3, 0, 1, 0.2, 4},     {3, 0, 100, 20, 4}, {5, 0, 100, 10, 5},
                 {10, 0, 100, 10, 5},   {3, -10, 10, 5, 5}, {2, 0, 1, 0.2, 4},
                 {2, 0, 0.07, 0.02, 4}, {3, 100, 0, -20, 4}};
    for (const Case& c : cases) {
        TTickSpacing t = CalcTickSpacing(c.n, c.lo, c.hi);
        EXPECT_NEAR(t.Step, c.step, 1e-12) << c.lo << ".." << c.hi << " n " << c.n;
        EXPECT_EQ(t.SubDiv, c.sub) << c.lo << ".." << c.hi << " n " << c.n;
    }
    double first = 0, step = 0;
    int sub = 0;
    CalcTickSpacing(3, 0.03, 1.03, first, step, sub);
    EXPECT_NEAR(first, 0.2, 1e-12); // first multiple of the step not below the start
    CalcTickSpacing(3, -0.95, 1, first, step, sub);
    EXPECT_NEAR(step, 0.5, 1e-12);
    EXPECT_NEAR(first, -0.5, 1e-12);
}

TEST(MeterTicks, EmptyOrUnresolvableRangesGiveNoStep) {
    TTickSpacing t = CalcTickSpacing(3, 2.5, 2.5);
    EXPECT_EQ(t.First, 2.5);
    EXPECT_EQ(t.Step, 0);
    EXPECT_EQ(t.SubDiv, 1);
    // A step below the precision of the start could never advance: no ticks, no endless loop.
    EXPECT_EQ(CalcTickSpacing(21, 1e17, 1e17 + 64).Step, 0);
    EXPECT_TRUE(MeterLongTicks(1e17, 1e17 + 64, false, 21).empty());
    EXPECT_TRUE(MeterShortTicks(1e17, 1e17 + 64, false, 21).empty());
}

TEST(MeterTicks, DefaultScaleHasLabelledLongTicksEveryFifthAndShortTicksBetween) {
    ExpectNear(Values(MeterLongTicks(0, 1, false, 3), true), {0, 0.2, 0.4, 0.6, 0.8, 1.0});
    std::vector<double> shorts = Values(MeterShortTicks(0, 1, false, 3));
    std::vector<double> want;
    for (int k = 1; k < 20; ++k)
        if (k % 4 != 0) want.push_back(k * 0.05);
    ExpectNear(shorts, want);
}

TEST(MeterTicks, LogarithmicScaleOverDecadesTicksEveryDigitAndLabelsOneTwoFive) {
    std::vector<TScaleTick> ticks = MeterLongTicks(1, 1000, true, 3);
    std::vector<double> all;
    for (double m : {1.0, 10.0, 100.0})
        for (int k = 1; k <= 9; ++k) all.push_back(k * m);
    all.push_back(1000);
    ExpectNear(Values(ticks), all);
    ExpectNear(Values(ticks, true), {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000});
    EXPECT_NEAR(ticks[9].Fraction, 1.0 / 3, 1e-12); // 10 lies a third of the way
    // Limits that are not powers of ten: ticks only within them.
    std::vector<TScaleTick> odd = MeterLongTicks(2, 30, true, 3);
    ExpectNear(Values(odd), {2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30});
    ExpectNear(Values(odd, true), {2, 5, 10, 20});
}

TEST(MeterTicks, LogarithmicScaleUnderADecadeUsesLinearStepsAtLogarithmicPlaces) {
    std::vector<TScaleTick> ticks = MeterLongTicks(1, 5, true, 3);
    ExpectNear(Values(ticks), {1, 2, 3, 4, 5});
    EXPECT_NEAR(ticks[1].Fraction, std::log(2.0) / std::log(5.0), 1e-12);
    // Short ticks too sit at logarithmic places.
    std::vector<TScaleTick> shorts = MeterShortTicks(1, 5, true, 3);
    ASSERT_FALSE(shorts.empty());
    EXPECT_NEAR(shorts[0].Value, 1.2, 1e-12);
    EXPECT_NEAR(shorts[0].Fraction, std::log(1.2) / std::log(5.0), 1e-12);
}

// ---- Value rules ------------------------------------------------------------------------------

TEST(MeterValues, MaximumBelowMinimumMovesTheMinimumDownByOneOrToATenthOnLogScales) {
    TMeter lin(nullptr);
    lin.SetMeterMaxValue(10);
    lin.SetMeterMinValue(1);
    lin.SetMeterMaxValue(0.5);
    EXPECT_DOUBLE_EQ(lin.MeterMinValue(), -0.5);
    TMeter log(nullptr);
    log.SetMeterMaxValue(10);
    log.SetMeterMinValue(1);
    log.SetLogarithmic(true);
    ASSERT_TRUE(log.Logarithmic());
    log.SetMeterMaxValue(0.5);
    EXPECT_DOUBLE_EQ(log.MeterMinValue(), 0.05);
    EXPECT_DOUBLE_EQ(log.MeterMaxValue(), 0.5);
}

TEST(MeterValues, MinimumAboveMaximumMovesTheMaximumAndRaisesValuesAndThresholds) {
    TMeter m(nullptr);
    EventLog ev;
    m.SetValue(0.5);
    ev.Watch(m);
    m.SetMeterMinValue(5);
    EXPECT_DOUBLE_EQ(m.MeterMaxValue(), 6);
    EXPECT_DOUBLE_EQ(m.Value(), 5);
    EXPECT_DOUBLE_EQ(m.ValueSec(), 5);
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 5);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 5);
    EXPECT_EQ(ev.Take(), ""); // limits raise no events
    m.SetMeterMaxValue(5.5);
    EXPECT_DOUBLE_EQ(m.Value(), 5);
    m.SetMeterMaxValue(5.2);
    m.SetMeterMinValue(5.1);
    EXPECT_DOUBLE_EQ(m.Value(), 5.1);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 5.1);
}

TEST(MeterValues, ValueIsClampedAndRaisesTheEventOfItsRange) {
    TMeter m(nullptr);
    EventLog ev;
    ev.Watch(m);
    m.SetThresholdLow(0.2);
    m.SetThresholdHigh(0.8);
    ev.Take();
    m.SetValue(7);
    EXPECT_DOUBLE_EQ(m.Value(), 1);
    EXPECT_EQ(ev.Take(), "over ");
    m.SetValue(0.8);
    EXPECT_EQ(ev.Take(), "over ");
    m.SetValue(0.5);
    EXPECT_EQ(ev.Take(), "normal ");
    m.SetValue(0.5); // unchanged: nothing
    EXPECT_EQ(ev.Take(), "");
    m.SetValue(0.2);
    EXPECT_EQ(ev.Take(), "under ");
    m.SetValue(-3);
    EXPECT_DOUBLE_EQ(m.Value(), 0);
    EXPECT_EQ(ev.Take(), "under ");
}

TEST(MeterValues, HiddenMainNeedleRaisesNoRangeEvents) {
    TMeter m(nullptr);
    EventLog ev;
    ev.Watch(m);
    m.NeedleLayout().SetVisible(false);
    m.SetValue(2);
    EXPECT_DOUBLE_EQ(m.Value(), 1);
    EXPECT_EQ(ev.Take(), "");
}

TEST(MeterValues, SecondaryValueRaisesEventsOnlyWhileItsNeedleIsVisible) {
    TMeter m(nullptr);
    EventLog ev;
    ev.Watch(m);
    m.SetValueSec(3);
    EXPECT_DOUBLE_EQ(m.ValueSec(), 1);
    EXPECT_EQ(ev.Take(), "");
    m.NeedleLayoutSec().SetVisible(true);
    m.SetValueSec(0.5);
    EXPECT_EQ(ev.Take(), "normal ");
    m.SetValueSec(0);
    EXPECT_EQ(ev.Take(), "under ");
}

TEST(MeterValues, ThresholdsPushEachOtherAndRaiseTheirEventWhenTheyPassTheValue) {
    TMeter m(nullptr);
    EventLog ev;
    m.SetValue(0.5);
    ev.Watch(m);
    m.SetThresholdLow(0.3);
    m.SetThresholdHigh(0.7);
    EXPECT_EQ(ev.Take(), "");
    m.SetThresholdHigh(0.1);
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 0.1);
    EXPECT_EQ(ev.Take(), "over ");
    m.SetThresholdLow(0.9);
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 0.9);
    EXPECT_EQ(ev.Take(), "under ");
    m.SetThresholdHigh(5); // clamped into the limits
    EXPECT_DOUBLE_EQ(m.ThresholdHigh(), 1);
}

TEST(MeterValues, LogarithmicScaleNeedsPositiveLimitsAndIgnoresTinyOnes) {
    TMeter m(nullptr);
    m.SetLogarithmic(true); // minimum 0
    EXPECT_FALSE(m.Logarithmic());
    m.SetMeterMaxValue(100);
    m.SetMeterMinValue(0.1);
    m.SetLogarithmic(true);
    EXPECT_TRUE(m.Logarithmic());
    m.SetMeterMinValue(0);
    m.SetMeterMaxValue(1e-101);
    m.SetThresholdLow(-1);
    EXPECT_DOUBLE_EQ(m.MeterMinValue(), 0.1);
    EXPECT_DOUBLE_EQ(m.MeterMaxValue(), 100);
    EXPECT_DOUBLE_EQ(m.ThresholdLow(), 0.1);
}

TEST(MeterValues, NotANumberIsRefusedWithTheComponentNameAndChangesNothing) {
    TMeter m(nullptr);
    m.SetName("Meter1");
    m.SetValue(0.25);
    try {
        m.SetValue(std::nan(""));
        FAIL() << "no error";
    } catch (const EKELError& e) {
        EXPECT_STREQ(e.what(), "Component \"Meter1\": Value must be a finite number");
    }
    EXPECT_DOUBLE_EQ(m.Value(), 0.25);
    EXPECT_THROW(m.SetMeterMaxValue(INFINITY), EKELError);
    EXPECT_DOUBLE_EQ(m.MeterMaxValue(), 1);
    m.SetValue(INFINITY); // an infinite value is simply clamped
    EXPECT_DOUBLE_EQ(m.Value(), 1);
}

TEST(MeterValues, LoadingStoresUncheckedAndLoadedRepairsTheRange) {
    TLoadableMeter m(nullptr);
    EventLog ev;
    ev.Watch(m);
    m.BeginLoading();
    m.SetValue(50);
    m.SetLogarithmic(true);
    m.SetMeterMinValue(0);
    m.SetMeterMaxValue(10);
    EXPECT_DOUBLE_EQ(m.Value(), 50);
    EXPECT_TRUE(m.Logarithmic());
    m.EndLoading();
    EXPECT_DOUBLE_EQ(m.Value(), 10);
    EXPECT_FALSE(m.Logarithmic()); // a minimum of 0 cannot be logarithmic
    EXPECT_EQ(ev.Take(), "");

    TLoadableMeter bad(nullptr);
    bad.BeginLoading();
    bad.SetMeterMinValue(3);
    bad.SetMeterMaxValue(3);
    bad.SetRimTop(30);
    bad.EndLoading();
    EXPECT_DOUBLE_EQ(bad.MeterMaxValue(), 4);
    EXPECT_DOUBLE_EQ(bad.ScaleRadius(), 209 - 10 - 30 - 16); // rims count after loading
    TBitmap out;
    EXPECT_TRUE(bad.RenderTo(out));
}

TEST(MeterValues, ScaleSettingsAreClamped) {
    TMeter m(nullptr);
    m.SetMeterDecPlaces(9);
    EXPECT_EQ(m.MeterDecPlaces(), 4);
    m.SetMeterDecPlaces(-1);
    EXPECT_EQ(m.MeterDecPlaces(), 0);
    m.SetMeterNrTicks(1);
    EXPECT_EQ(m.MeterNrTicks(), 2);
    m.SetMeterNrTicks(40);
    EXPECT_EQ(m.MeterNrTicks(), 21);
    m.SetScaleBkWidth(130);
    EXPECT_DOUBLE_EQ(m.ScaleBkWidth(), 100);
    m.SetScaleBkWidth(-4);
    EXPECT_DOUBLE_EQ(m.ScaleBkWidth(), 0);
}

// ---- Needle layouts ---------------------------------------------------------------------------

TEST(MeterNeedleLayout, MeterGivesItsLayoutsTheDefaultsAndLoneLayoutsStartEmpty) {
    TMeter m(nullptr);
    const TNeedleLayout& l = m.NeedleLayout();
    EXPECT_EQ(l.HeadSize(), 20);
    EXPECT_EQ(l.HeadAngle(), 30);
    EXPECT_EQ(l.HeadMidLeng(), 20);
    EXPECT_EQ(l.Thickness(), 0);
    EXPECT_EQ(l.ColorBody(), clSilver);
    EXPECT_EQ(l.ColorOutline(), clBlack);
    EXPECT_EQ(l.PercentNeedleLength(), 100);
    EXPECT_EQ(l.ShadowColor(), clGray);
    EXPECT_TRUE(l.Visible());
    EXPECT_FALSE(m.NeedleLayoutSec().Visible());
    TNeedleLayout lone;
    EXPECT_EQ(lone.HeadSize(), 0);
    EXPECT_FALSE(lone.Visible());
}

TEST(MeterNeedleLayout, OutOfRangeSettingsAreClampedAndChangesAreReported) {
    TNeedleLayout l;
    int changes = 0;
    l.SetOnChange([&](TObject* s) {
        EXPECT_EQ(s, &l);
        ++changes;
    });
    l.SetHeadAngle(200);
    EXPECT_EQ(l.HeadAngle(), 180);
    l.SetPercentNeedleLength(50);
    l.SetPercentNeedleLength(-5);
    EXPECT_EQ(l.PercentNeedleLength(), 0);
    EXPECT_EQ(changes, 3);
    l.SetHeadAngle(250); // clamps to the same value: no change
    EXPECT_EQ(changes, 3);
}

TEST(MeterNeedleLayout, AssigningALayoutCopiesItsValuesButKeepsTheMetersObject) {
    TMeter m(nullptr);
    TNeedleLayout src;
    src.SetHeadSize(7);
    src.SetColorBody(clRed);
    src.SetShadowDx(2);
    src.SetVisible(false);
    bool srcChanged = false;
    src.SetOnChange([&](TObject*) { srcChanged = true; });
    TNeedleLayout* own = &m.NeedleLayout();
    m.SetNeedleLayout(src);
    EXPECT_EQ(&m.NeedleLayout(), own);
    EXPECT_EQ(own->HeadSize(), 7);
    EXPECT_EQ(own->ColorBody(), clRed);
    EXPECT_EQ(own->ShadowDx(), 2);
    EXPECT_FALSE(own->Visible());
    // The meter still hears of changes to its own layout, the source's handler is not taken.
    EventLog ev;
    ev.Watch(m);
    own->SetVisible(true);
    m.SetValue(1);
    EXPECT_EQ(ev.Take(), "over ");
    EXPECT_FALSE(srcChanged);
    TNeedleLayout copy;
    copy.Assign(own);
    EXPECT_EQ(copy.HeadSize(), 7);
    EXPECT_THROW(copy.Assign(&m.FontCaption()), EConvertError);
}

// ---- Conversions ------------------------------------------------------------------------------

TEST(MeterConversions, MinimumAtFullRadiusIsTheLeftEndOfTheArc) {
    TMeter m(nullptr);
    int x = 0, y = 0;
    m.ConvertToPixelCoords(m.MeterMinValue(), 100, x, y);
    EXPECT_EQ(x, 24);
    EXPECT_EQ(y, 67);
    m.ConvertToPixelCoords(5, 100, x, y); // clamped to the maximum
    EXPECT_EQ(x, 272);
    EXPECT_EQ(y, 67);
    m.ConvertToPixelCoords(0.5, 50, x, y);
    EXPECT_EQ(x, 148);
    EXPECT_EQ(y, 104); // 191 - 87.5, ties to even
}

TEST(MeterConversions, CentrePixelIsMidScaleAndBelowItIsOutsideEveryOpenLayout) {
    for (int l = mlCirc90; l <= mlCirc360; ++l) {
        TMeter m(nullptr);
        m.SetMeterLayout(TMeterLayout(l));
        double v = -1;
        EXPECT_TRUE(m.ConvertPixelToValue(m.OriginX(), m.OriginY(), v)) << l;
        EXPECT_DOUBLE_EQ(v, 0.5) << l;
        const bool below = m.ConvertPixelToValue(m.OriginX(), m.OriginY() + 20, v);
        EXPECT_EQ(below, l == mlCirc360) << l;
        if (!below) {
            EXPECT_EQ(v, 0);
        }
    }
}

TEST(MeterConversions, PixelOfAValueMapsBackToThatValueOnLinearAndLogScales) {
    TMeter m(nullptr);
    for (bool log : {false, true}) {
        m.SetMeterMaxValue(1000);
        m.SetMeterMinValue(1);
        m.SetLogarithmic(log);
        ASSERT_EQ(m.Logarithmic(), log);
        for (double v : {1.0, 3.0, 40.0, 250.0, 999.0}) {
            int x = 0, y = 0;
            m.ConvertToPixelCoords(v, 100, x, y);
            double back = 0;
            ASSERT_TRUE(m.ConvertPixelToValue(x, y, back));
            // One pixel on a 175-pixel radius is a third of a degree of 90.
            const double tol = log ? v * std::log(1000.0) / 250 : 999.0 / 250;
            EXPECT_NEAR(back, v, tol) << (log ? "log " : "lin ") << v;
        }
    }
}

// ---- Mouse ------------------------------------------------------------------------------------

// The form keeps a new form's colour.
class MeterOnForm : public test::FormTest {
  protected:
    MeterOnForm() : FormTest(320, 240, clNone) {}
    void SetUp() override {
        FormTest::SetUp();
        meter = new TMeter(form.get());
        meter->SetParent(form.get());
        meter->SetBounds(10, 10, 297, 209);
        headless::Flush();
    }
    TMeter* meter = nullptr;
};

TEST_F(MeterOnForm, MovingOverTheDialReportsTheScaleValueAfterOnMouseMove) {
    std::string log;
    meter->SetOnMouseMove([&](TObject*, TShiftState, int x, int y) {
        log += "move(" + std::to_string(x) + "," + std::to_string(y) + ") ";
    });
    meter->SetOnMouseMoveInMeter([&](TObject* s, bool within, TShiftState shift, double v) {
        EXPECT_EQ(s, meter);
        char buf[64];
        std::snprintf(buf, sizeof buf, "meter(%d,%.4f,%d) ", int(within), v,
                      int(shift.contains(ssShift)));
        log += buf;
    });
    headless::MoveTo(*meter, 148, 50, {ssShift});
    EXPECT_EQ(log, "move(148,50) meter(1,0.5000,1) ");
    log.clear();
    // Straight left of the centre lies outside the 90-degree scale.
    headless::MoveTo(*meter, 20, 191);
    EXPECT_EQ(log, "move(20,191) meter(0,0.0000,0) ");
    log.clear();
    int x = 0, y = 0;
    meter->ConvertToPixelCoords(0.2, 100, x, y);
    headless::MoveTo(*meter, x, y);
    double reported = -1;
    meter->SetOnMouseMoveInMeter([&](TObject*, bool, TShiftState, double v) { reported = v; });
    headless::MoveTo(*meter, x + 1, y);
    headless::MoveTo(*meter, x, y);
    EXPECT_NEAR(reported, 0.2, 0.005);
}

TEST_F(MeterOnForm, EverySetterThatChangesTheLookIsPaintedByTheNextUpdate) {
    int renders = 0;
    meter->SetOnMeterRendered([&](TObject*, TCanvas&) { ++renders; });
    meter->SetValue(0.7);
    meter->Update();
    EXPECT_EQ(renders, 1);
    meter->NeedleLayout().SetVisible(false);
    meter->Update();
    EXPECT_EQ(renders, 2);
    meter->SetValue(3); // no event with the needle hidden, but still a repaint
    meter->Update();
    EXPECT_EQ(renders, 3);
    meter->SetValueSec(0.4); // the hidden secondary needle: no repaint
    meter->Update();
    EXPECT_EQ(renders, 3);
    meter->SetRimTop(12);
    meter->Update();
    meter->NeedleLayoutSec().SetHeadSize(9);
    meter->Update();
    meter->FontCaption().SetSize(12);
    meter->Update();
    EXPECT_EQ(renders, 6);
}

TEST_F(MeterOnForm, ABurstOfSettersCostsOnePaintAndEventsStillFireAtOnce) {
    int renders = 0, overflows = 0;
    meter->SetOnMeterRendered([&](TObject*, TCanvas&) { ++renders; });
    meter->SetOnOverFlow([&](TObject*) { ++overflows; });
    headless::Flush();
    renders = 0;
    for (int i = 1; i <= 100; ++i) {
        meter->SetValue(0.01 * i);
        EXPECT_EQ(overflows, i >= 100 ? 1 : 0) << i; // fired by the setter, before any paint
    }
    meter->SetColorScale(clRed);
    meter->SetCaption("V");
    EXPECT_EQ(renders, 0);
    meter->Update();
    EXPECT_EQ(renders, 1);
    meter->Update(); // nothing left to paint
    EXPECT_EQ(renders, 1);
}

TEST_F(MeterOnForm, AnEventHandlerMayDeleteTheMeter) {
    meter->SetOnOverFlow([this](TObject*) {
        delete meter;
        meter = nullptr;
    });
    meter->SetValue(1);
    EXPECT_EQ(meter, nullptr);
    EXPECT_EQ(form->ControlCount(), 0);
}

// ---- Pictures ---------------------------------------------------------------------------------

TEST(MeterPictures, MissingFilesClearThePropertiesAndUnreadableOnesFollowTheirRule) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "kel_meter_pictures";
    fs::create_directories(dir);
    const std::string good = (dir / "good.bmp").string(), junk = (dir / "junk.bmp").string();
    TBitmap pic(6, 4);
    pic.SaveToFile(good);
    std::ofstream(junk) << "not a picture";

    TMeter m(nullptr);
    m.SetBackGroundImg(good);
    EXPECT_EQ(m.BackGroundImg(), good);
    EXPECT_THROW(m.SetBackGroundImg(junk), Exception);
    EXPECT_EQ(m.BackGroundImg(), good); // the failed load kept what was there
    m.SetBackGroundImg((dir / "none.bmp").string());
    EXPECT_EQ(m.BackGroundImg(), "");

    m.SetAnchorImage(good);
    EXPECT_EQ(m.AnchorImage(), good);
    m.SetAnchorImage(junk); // an anchor picture that cannot be read clears silently
    EXPECT_EQ(m.AnchorImage(), "");

    TLoadableMeter l(nullptr);
    l.BeginLoading();
    l.SetBackGroundImg(junk);
    l.SetAnchorImage(good);
    l.EndLoading();
    EXPECT_EQ(l.BackGroundImg(), "");
    EXPECT_EQ(l.AnchorImage(), good);
    fs::remove_all(dir);
}

// ---- Published properties ---------------------------------------------------------------------

TEST(MeterProperties, PublishedDefaultsAreTheConstructorsValues) {
    TMeter m(nullptr);
    for (const char* cls : {"TMeter", "TNeedleLayout"}) {
        const TClassInfo* info = FindClass(cls);
        ASSERT_NE(info, nullptr) << cls;
        TPersistent& obj =
            std::string(cls) == "TMeter" ? static_cast<TPersistent&>(m) : m.NeedleLayout();
        int checked = 0;
        EXPECT_TRUE(HasDeclaredDefaults(obj, *info, &checked));
        EXPECT_GT(checked, 10) << cls;
    }
    EXPECT_NE(FindClass("TMeter")->FindProp("NeedleLayoutSec"), nullptr);
}

TEST(MeterProperties, AssignPublishedCopiesValuesAndNeedleLayouts) {
    TMeter a(nullptr), b(nullptr);
    a.SetMeterMaxValue(50);
    a.SetValue(20);
    a.SetMeterLayout(mlCirc270);
    a.SetCaption("kPa");
    a.NeedleLayout().SetHeadSize(12);
    a.NeedleLayoutSec().SetVisible(true);
    a.FontCaption().SetSize(14);
    AssignPublished(b, a);
    EXPECT_DOUBLE_EQ(b.MeterMaxValue(), 50);
    EXPECT_DOUBLE_EQ(b.Value(), 20);
    EXPECT_EQ(b.MeterLayout(), mlCirc270);
    EXPECT_EQ(b.OriginY(), a.OriginY());
    EXPECT_EQ(b.Caption(), "kPa");
    EXPECT_EQ(b.NeedleLayout().HeadSize(), 12);
    EXPECT_TRUE(b.NeedleLayoutSec().Visible());
    EXPECT_EQ(b.FontCaption().Size(), 14);
}

// ---- Form-file round trips --------------------------------------------------------------------

// The meter read back from the form-file text of M.
std::unique_ptr<TMeter> RoundTrip(const TMeter& M) {
    std::unique_ptr<TComponent> c(ComponentFromText(ComponentToText(M), nullptr));
    auto* m = dynamic_cast<TMeter*>(c.get());
    if (m != nullptr) c.release();
    return std::unique_ptr<TMeter>(m);
}

// Replaces the line "  Name = ..." of a form-file text by "  Name = Value".
std::string WithProp(std::string Text, const std::string& Name, const std::string& Value) {
    const std::string key = "  " + Name + " = ";
    const std::size_t at = Text.find(key);
    if (at == std::string::npos) {
        const std::size_t end = Text.rfind("end");
        return Text.insert(end, key + Value + "\n");
    }
    const std::size_t eol = Text.find('\n', at);
    return Text.replace(at, eol - at, key + Value);
}

// Colour of the centre of a limit lamp (high: the right one) as rendered.
TColor LampColor(TMeter& M, bool High) {
    TBitmap b;
    EXPECT_TRUE(M.RenderTo(b));
    const int x = High ? M.Width() - M.RimSide() - 18 : M.RimSide() + 8, y = M.RimTop() + 8;
    return b.Canvas().Pixels(x + 5, y + 5);
}

TEST(MeterFormFile, RimsChangedAfterTheLayoutShowWhatTheFileReloads) {
    TMeter m(nullptr);
    m.SetName("Dial");
    m.SetMeterLayout(mlCirc300);
    m.SetRimTop(30);
    m.SetRimBottom(25);
    m.SetRimSide(40);
    auto back = RoundTrip(m);
    ASSERT_NE(back, nullptr);
    EXPECT_DOUBLE_EQ(back->ScaleRadius(), m.ScaleRadius());
    EXPECT_EQ(back->OriginX(), m.OriginX());
    EXPECT_EQ(back->OriginY(), m.OriginY());
    // And the geometry is the one of those rims at that size.
    const TMeterGeometry g = CalcMeterGeometry(mlCirc300, 297, 209, 30, 25, 40);
    EXPECT_DOUBLE_EQ(m.ScaleRadius(), g.Radius);
    EXPECT_EQ(m.OriginY(), g.CenterY);
}

TEST(MeterFormFile, LoadedBringsThresholdsIntoTheScaleAndLightsTheLamps) {
    TMeter m(nullptr);
    m.SetName("Dial");
    m.SetMeterMaxValue(10);
    std::string text = ComponentToText(m);
    // Out of range and inverted, as a hand-edited file may hold them.
    text = WithProp(text, "ThresholdLow", "12");
    text = WithProp(text, "ThresholdHigh", "-3");
    text = WithProp(text, "Value", "7");
    std::unique_ptr<TComponent> c(ComponentFromText(text, nullptr));
    auto* back = dynamic_cast<TMeter*>(c.get());
    ASSERT_NE(back, nullptr) << text;
    EXPECT_GE(back->ThresholdLow(), 0);
    EXPECT_LE(back->ThresholdLow(), 10);
    EXPECT_GE(back->ThresholdHigh(), back->ThresholdLow());
    EXPECT_LE(back->ThresholdHigh(), 10);
    EXPECT_DOUBLE_EQ(back->ThresholdLow(), 10); // 12 clamped to the maximum
    EXPECT_DOUBLE_EQ(back->ThresholdHigh(), 10);
    // Value 7 lies at or under the low threshold 10 (and under the high one): the low lamp is
    // lit, the high one is not.
    EXPECT_EQ(LampColor(*back, false), back->LimWatchActColor());
    EXPECT_EQ(LampColor(*back, true), back->LimWatchPsvColor());

    // A value at the high threshold lights the high lamp once loaded.
    text = WithProp(text, "ThresholdLow", "2");
    text = WithProp(text, "ThresholdHigh", "6");
    text = WithProp(text, "Value", "8");
    c.reset(ComponentFromText(text, nullptr));
    back = dynamic_cast<TMeter*>(c.get());
    ASSERT_NE(back, nullptr);
    EXPECT_DOUBLE_EQ(back->ThresholdLow(), 2);
    EXPECT_DOUBLE_EQ(back->ThresholdHigh(), 6);
    EXPECT_EQ(LampColor(*back, true), back->LimWatchActColor());
    EXPECT_EQ(LampColor(*back, false), back->LimWatchPsvColor());
}

} // namespace
} // namespace kel::test
