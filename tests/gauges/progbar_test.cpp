// TProgBar: bar geometry and the colour table, the three colour mappings at their ends, the
// mirrored directions, an empty range, the value text at 0 and 90 degrees, the setters' limits,
// the background picture, Assign, and the auto-increment timer on the manual clock.
#include "KEL_ProgBar.h"

#include "numtext.h"
#include "headless.h"
#include "kel_form_fixture.h"
#include "kel_forms.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace kel;

namespace {

// Compares with the reference image; with KEL_UPDATE_DOCS=1 also writes the picture to
// docs/img/<name>.png.
::testing::AssertionResult MatchesRefAndDoc(const TBitmap& bmp, const std::string& name) {
    return test::MatchesReferenceAndDocs(bmp, "gauges", name);
}

class ProgBarFixture : public test::FormTest {
  protected:
    ProgBarFixture() : FormTest(320, 170) {}
    void SetUp() override {
        FormTest::SetUp();
        bar = new TProgBar(form.get());
        bar->SetName("PB");
        bar->SetParent(form.get());
        bar->SetLeft(10);
        bar->SetTop(10);
        headless::Flush();
    }
    void Snap(TBitmap& bmp) { headless::Snapshot(*bar, bmp); }
    TColor At(int x, int y) {
        TBitmap bmp;
        Snap(bmp);
        return bmp.Canvas().Pixels(x, y);
    }
    // Bar alone: no frames, no text.
    void Plain() {
        bar->SetFrameStyleInner(fstNone);
        bar->SetFrameStyleOuter(fstNone);
        bar->SetTextVisible(false);
    }

    TProgBar* bar = nullptr;
};

} // namespace

// ---- Pure helpers -----------------------------------------------------------------------------

TEST(ProgBarMath, InterpolationTruncatesEachChannel) {
    EXPECT_EQ(ProgBarInterpolateColor(clBlue, clRed, 0), clBlue);
    EXPECT_EQ(ProgBarInterpolateColor(clBlue, clRed, 1), clRed);
    // Blue 255 -> 0 and red 0 -> 255 at 0.5: both 127.5, truncated to 127.
    EXPECT_EQ(ProgBarInterpolateColor(clBlue, clRed, 0.5), RGB(127, 0, 127));
    EXPECT_EQ(ProgBarInterpolateColor(clBlack, clWhite, 7.0), clWhite); // clamped
    EXPECT_EQ(ProgBarInterpolateColor(clBlack, clWhite, -1), clBlack);
    // System colours are resolved before the channels are mixed.
    EXPECT_EQ(ProgBarInterpolateColor(clBtnFace, clBtnFace, 0.3), ColorToRGB(clBtnFace));
}

TEST(ProgBarMath, GradientIndexOfEachMapping) {
    // A bar of 146 lines on a track of 292.
    EXPECT_EQ(ProgBarGradientIndex(cgmStretch, 0, 146, 292), 0);
    EXPECT_EQ(ProgBarGradientIndex(cgmStretch, 145, 146, 292), 1016); // Round(1023*145/146)
    EXPECT_EQ(ProgBarGradientIndex(cgmCover, 145, 146, 292), 508);
    EXPECT_EQ(ProgBarGradientIndex(cgmCover, 291, 292, 292), 1019);
    EXPECT_EQ(ProgBarGradientIndex(cgmMove, 145, 146, 292), 1023);
    EXPECT_EQ(ProgBarGradientIndex(cgmMove, 0, 146, 292), 1023 - 508);
    EXPECT_EQ(ProgBarGradientIndex(cgmMove, 0, 400, 292), 0); // limited
    EXPECT_EQ(ProgBarGradientIndex(cgmCover, 5, 5, 0), 0);    // no track: no division
}

TEST(ProgBarMath, FractionIsZeroForAnEmptyRangeAndExtentsStayBounded) {
    EXPECT_DOUBLE_EQ(ProgBarFraction(10, 0, 100), 0.1);
    EXPECT_DOUBLE_EQ(ProgBarFraction(150, 0, 100), 1.5);
    EXPECT_EQ(ProgBarFraction(7, 5, 5), 0);
    EXPECT_EQ(ProgBarFraction(std::nan(""), 0, 1), 0);
    EXPECT_EQ(ProgBarExtent(292, 0.1), 29);
    EXPECT_EQ(ProgBarExtent(292, 1e300), 1 << 30);
    EXPECT_EQ(ProgBarExtent(292, -1e300), -(1 << 30));
}

TEST(ProgBarMath, TextOriginAnchorsTheTextAlongItsBaseline) {
    // 0 degrees: centre, left end and right end of a 20 x 13 text at (100, 50).
    EXPECT_EQ(ProgBarTextOrigin(taCenter, 100, 50, 20, 13, 0), Point(90, 44));
    EXPECT_EQ(ProgBarTextOrigin(taLeftJustify, 100, 50, 20, 13, 0), Point(100, 44));
    EXPECT_EQ(ProgBarTextOrigin(taRightJustify, 100, 50, 20, 13, 0), Point(80, 44));
    // 90 degrees: the text reads upwards, its cell's top-left lies left of and below the anchor.
    EXPECT_EQ(ProgBarTextOrigin(taCenter, 100, 50, 20, 13, 90), Point(94, 60));
    EXPECT_EQ(ProgBarTextOrigin(taRightJustify, 100, 50, 20, 13, 90), Point(94, 70));
}

// ---- Setters ----------------------------------------------------------------------------------

TEST_F(ProgBarFixture, SettersClampAndIgnoreAsDocumented) {
    bar->SetTextDecPlaces(12);
    EXPECT_EQ(bar->TextDecPlaces(), 10);
    bar->SetTextDecPlaces(-5);
    EXPECT_EQ(bar->TextDecPlaces(), -2);
    bar->SetTextAngle(400);
    EXPECT_EQ(bar->TextAngle(), 360);
    bar->SetTextAngle(-4);
    EXPECT_EQ(bar->TextAngle(), 0);
    bar->SetTextPosX(1000);
    EXPECT_EQ(bar->TextPosX(), 300);
    bar->SetTextPosY(-3);
    EXPECT_EQ(bar->TextPosY(), 0);
    bar->SetRange(10, 5);
    EXPECT_EQ(bar->Min(), 5);
    EXPECT_EQ(bar->Max(), 10);
    bar->SetAutoIncStep(0);
    EXPECT_EQ(bar->AutoIncStep(), 1);
    bar->SetAutoIncStep(-2.5);
    EXPECT_EQ(bar->AutoIncStep(), -2.5);
    bar->SetStartInterval(5);
    EXPECT_EQ(bar->StartInterval(), 10);
    bar->SetRepeatInterval(0);
    EXPECT_EQ(bar->RepeatInterval(), 10);
}

TEST_F(ProgBarFixture, ColorTableFollowsMinAndMaxAndKeepsDirectWritesUntilThen) {
    EXPECT_EQ(bar->BarColors(0), clBlue);
    EXPECT_EQ(bar->BarColors(1023), clRed);
    EXPECT_EQ(bar->BarColors(511), ProgBarInterpolateColor(clBlue, clRed, 511.0 / 1023));
    bar->SetBarColors(300, clLime);
    bar->SetColorMax(clRed); // unchanged value still recomputes
    EXPECT_EQ(bar->BarColors(300), ProgBarInterpolateColor(clBlue, clRed, 300.0 / 1023));
    bar->SetBarColors(300, clLime);
    EXPECT_EQ(bar->BarColors(300), clLime);
    bar->SetColorMin(clBlack);
    EXPECT_EQ(bar->ColorMin(), clBlack);
    EXPECT_EQ(bar->BarColors(300), ProgBarInterpolateColor(clBlack, clRed, 300.0 / 1023));
    EXPECT_THROW(bar->BarColors(1024), EKELProgBar);
    EXPECT_THROW(bar->SetBarColors(-1, clRed), EKELProgBar);
}

TEST_F(ProgBarFixture, AssignCopiesLooksAndTableButNotTimerSettings) {
    TProgBar src(nullptr);
    src.SetValue(42);
    src.SetRange(-10, 50);
    src.SetDirection(drUp);
    src.SetBarColors(7, clLime);
    src.SetShowColorGradient(true);
    src.SetTextAngle(90);
    src.SetStartInterval(300);
    src.SetAutoIncStep(5);
    bar->Assign(&src);
    EXPECT_EQ(bar->Value(), 42);
    EXPECT_EQ(bar->Min(), -10);
    EXPECT_EQ(bar->Max(), 50);
    EXPECT_EQ(bar->Direction(), drUp);
    EXPECT_EQ(bar->BarColors(7), clLime);
    EXPECT_TRUE(bar->ShowColorGradient());
    EXPECT_EQ(bar->TextAngle(), 90);
    EXPECT_EQ(bar->StartInterval(), 1500);
    EXPECT_EQ(bar->AutoIncStep(), 1);
    TFont font;
    EXPECT_THROW(bar->Assign(&font), EConvertError);
}

// ---- Painting ---------------------------------------------------------------------------------

TEST_F(ProgBarFixture, DefaultBarEndsAtXThirtyThree) {
    TBitmap bmp;
    Snap(bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(32, 12), clBlue);
    EXPECT_EQ(bmp.Canvas().Pixels(33, 12), clSilver);
    EXPECT_EQ(bmp.Canvas().Pixels(6, 20), clBlue);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "progbar_default"));
}

TEST_F(ProgBarFixture, ColorMappingsShowTheirEndsWhereDocumented) {
    Plain();
    bar->SetShowColorGradient(true);
    bar->SetColorMin(RGB(0, 200, 0));
    bar->SetColorMax(RGB(250, 0, 100));
    bar->SetValue(50); // 146 lines on a track of 292, from x = 4 to 149
    const int n = 146, N = 292;
    bar->SetColorMapMode(cgmStretch);
    EXPECT_EQ(At(4, 10), bar->ColorMin());
    EXPECT_EQ(At(149, 10), bar->BarColors(ProgBarGradientIndex(cgmStretch, n - 1, n, N)));
    EXPECT_EQ(At(150, 10), clSilver);
    bar->SetColorMapMode(cgmCover);
    EXPECT_EQ(At(4, 10), bar->ColorMin());
    EXPECT_EQ(At(149, 10), bar->BarColors(508));
    bar->SetColorMapMode(cgmMove);
    EXPECT_EQ(At(149, 10), bar->ColorMax());
    EXPECT_EQ(At(4, 20), bar->BarColors(1023 - 508));
    // Stretch and move end in ColorMax-like colours at any value; cover only when full.
    bar->SetValue(100);
    EXPECT_EQ(At(295, 10), bar->ColorMax()); // move
    bar->SetColorMapMode(cgmCover);
    EXPECT_EQ(At(295, 10), bar->BarColors(1019));
    EXPECT_EQ(At(4, 10), bar->ColorMin());
}

TEST_F(ProgBarFixture, ValueAtMinDrawsNoBarAndAnEmptyRangeDividesByNothing) {
    Plain();
    bar->SetValue(0);
    EXPECT_EQ(At(4, 10), clSilver);
    bar->SetShowColorGradient(true);
    EXPECT_EQ(At(4, 10), clSilver);
    bar->SetRange(5, 5);
    bar->SetValue(7);
    EXPECT_EQ(At(4, 10), clSilver);
    bar->SetShowColorGradient(false);
    EXPECT_EQ(At(4, 10), clSilver);
    bar->SetGridDist(10);
    EXPECT_EQ(At(5, 10), clSilver);
    bar->SetValue(1e308); // huge values are clipped, not overflowed
    bar->SetRange(0, 1);
    EXPECT_EQ(At(295, 10), clBlue);
    EXPECT_EQ(At(299, 10), clBlue); // an overfull bar is not limited to the track
}

TEST_F(ProgBarFixture, TheBarMeasuresTheValueFromMinNotFromZero) {
    Plain();
    // Range 50..150: 100 is half way, so the bar covers 146 of the 292 track columns.
    bar->SetMax(150);
    bar->SetMin(50);
    bar->SetValue(100);
    EXPECT_DOUBLE_EQ(ProgBarFraction(100, 50, 150), 0.5);
    EXPECT_EQ(At(4, 10), clBlue);
    EXPECT_EQ(At(149, 10), clBlue);
    EXPECT_EQ(At(150, 10), clSilver);
    // At Min the bar is empty, at Max full, also with a negative Min.
    bar->SetValue(50);
    EXPECT_EQ(At(4, 10), clSilver);
    bar->SetRange(-200, -100);
    bar->SetValue(-125);
    EXPECT_DOUBLE_EQ(ProgBarFraction(-125, -200, -100), 0.75);
    EXPECT_EQ(At(4 + 219 - 1, 10), clBlue); // Round(292 * 0.75) = 219 columns
    EXPECT_EQ(At(4 + 219, 10), clSilver);
}

TEST_F(ProgBarFixture, OnShowValueIsAskedOnceBySetterThatChangesTheTextAndItsAnswerIsShown) {
    std::vector<std::string> asked;
    bar->SetOnShowValue([&](TObject*, std::string& t) {
        asked.push_back(t);
        t = "<" + t + ">";
    });
    headless::Flush(); // the new handler is asked by the next paint
    ASSERT_EQ(asked, std::vector<std::string>{"10"});
    asked.clear();
    // A burst of value changes: each setter asks at once, before any paint, and the paint
    // asks no more.
    for (int v = 11; v <= 15; ++v) bar->SetValue(v);
    EXPECT_EQ(asked, (std::vector<std::string>{"11", "12", "13", "14", "15"}));
    bar->SetColorGrid(clRed); // looks only: not asked
    bar->SetValue(15);        // equal: nothing
    headless::Flush();
    EXPECT_EQ(asked.size(), 5u);
    // The text shown is the handler's answer for the last value.
    bar->SetTextPosX(150);
    TBitmap with;
    Snap(with);
    bar->SetOnShowValue(nullptr);
    bar->SetValue(16);
    bar->SetValue(15);
    TBitmap without;
    Snap(without);
    int differ = 0;
    for (int y = 0; y < without.Height(); ++y)
        for (int x = 0; x < without.Width(); ++x)
            differ += with.Canvas().Pixels(x, y) != without.Canvas().Pixels(x, y);
    EXPECT_GT(differ, 10); // "<15>" is not "15"
    // Hidden text: nobody asks.
    bar->SetOnShowValue([&](TObject*, std::string& t) { asked.push_back(t); });
    headless::Flush();
    asked.clear();
    bar->SetTextVisible(false);
    bar->SetValue(20);
    headless::Flush();
    EXPECT_TRUE(asked.empty());
    bar->SetTextVisible(true); // shown again: asked for the present value
    EXPECT_EQ(asked, std::vector<std::string>{"20"});
}

// drLeft and drDown are drRight and drUp mirrored pixel for pixel, gradient and grid included.
TEST_F(ProgBarFixture, MirroredDirectionsMatchTheirPartnersPixelForPixel) {
    Plain();
    bar->SetShowColorGradient(true);
    bar->SetColorMapMode(cgmCover);
    bar->SetGridDist(7);
    bar->SetMarginLeft(6);
    bar->SetMarginRight(6);
    for (double v : {0.0, 3.0, 37.5, 100.0, 130.0, -20.0}) {
        bar->SetValue(v);
        bar->SetDirection(drRight);
        TBitmap a, b;
        Snap(a);
        bar->SetDirection(drLeft);
        Snap(b);
        for (int y = 0; y < 28; ++y)
            for (int x = 0; x < 300; ++x)
                ASSERT_EQ(b.Canvas().Pixels(x, y), a.Canvas().Pixels(299 - x, y))
                    << "value " << v << " at " << x << "," << y;
    }
    bar->SetBounds(10, 10, 40, 150);
    bar->SetMarginTop(5);
    bar->SetMarginBottom(5);
    for (double v : {0.0, 3.0, 37.5, 100.0, 130.0}) {
        bar->SetValue(v);
        bar->SetDirection(drUp);
        TBitmap a, b;
        Snap(a);
        bar->SetDirection(drDown);
        Snap(b);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(b.Canvas().Pixels(x, y), a.Canvas().Pixels(x, 149 - y))
                    << "value " << v << " at " << x << "," << y;
    }
}

TEST_F(ProgBarFixture, GridLinesCrossTheBarAtTheirSpacing) {
    Plain();
    bar->SetValue(10); // bar from x = 4 to 32
    bar->SetGridDist(10);
    bar->SetColorGrid(clLime);
    EXPECT_EQ(At(4, 10), clLime);
    EXPECT_EQ(At(14, 10), clLime);
    EXPECT_EQ(At(24, 10), clLime);
    EXPECT_EQ(At(15, 10), clBlue);
    EXPECT_EQ(At(34, 10), clSilver);
}

// Finds the bounding box of pixels that differ from the track colour.
static TRect InkBox(const TBitmap& bmp, TColor back) {
    TRect r{10000, 10000, -1, -1};
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Canvas().Pixels(x, y) != back) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

TEST_F(ProgBarFixture, ValueTextIsCentredOnItsAnchorAtZeroAndNinetyDegrees) {
    Plain();
    bar->SetTextVisible(true);
    bar->SetBounds(10, 10, 150, 150);
    bar->SetValue(0);
    bar->SetTextPosX(75);
    bar->SetTextPosY(75);
    std::string shown;
    bar->SetOnShowValue([&](TObject*, std::string& t) {
        shown = t;
        t = "88888";
    });
    TBitmap bmp;
    Snap(bmp);
    EXPECT_EQ(shown, "0");
    TRect ink = InkBox(bmp, clSilver);
    EXPECT_GT(ink.Width(), ink.Height());
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 75, 1.5);
    EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 75, 2.5);
    bar->SetTextAngle(90);
    Snap(bmp);
    ink = InkBox(bmp, clSilver);
    EXPECT_GT(ink.Height(), ink.Width());
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 75, 2.5);
    EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 75, 1.5);
    // Left-justified at 90 degrees: the text starts at the anchor and runs upwards.
    bar->SetTextAlignment(taLeftJustify);
    Snap(bmp);
    ink = InkBox(bmp, clSilver);
    EXPECT_NEAR(ink.Bottom, 75, 1.5);
    EXPECT_LT(ink.Top, 60);
}

TEST_F(ProgBarFixture, TextDecimalsChooseTheFieldFormat) {
    std::string shown;
    bar->SetOnShowValue([&](TObject*, std::string& t) { shown = t; });
    bar->SetValue(12.345);
    bar->SetTextDecPlaces(2);
    EXPECT_EQ(shown, "12.35");
    bar->SetTextDecPlaces(-1);
    EXPECT_EQ(shown, FloatToFieldStr(1, -2, 12.345));
    bar->SetTextDecPlaces(-2);
    EXPECT_EQ(shown, FloatToFieldStr(1, -1, 12.345));
}

TEST_F(ProgBarFixture, BackgroundPictureFillsTheTrackAndABadFileIsIgnored) {
    Plain();
    bar->SetValue(0);
    TBitmap pic;
    test::Fill(pic, 4, 4, clAqua);
    const std::string path = test::WriteOutput(pic, "progbar_background");
    bar->SetBackGroundImg(path);
    EXPECT_EQ(bar->BackGroundImg(), path);
    EXPECT_EQ(At(150, 14), clAqua);
    bar->SetBackGroundImg("/nonexistent/picture.png");
    EXPECT_EQ(bar->BackGroundImg(), path);
    EXPECT_EQ(At(150, 14), clAqua);
    bar->SetBackGroundImg("");
    EXPECT_EQ(bar->BackGroundImg(), "");
    EXPECT_EQ(At(150, 14), clSilver);
}

TEST_F(ProgBarFixture, GradientGridAndRightAlignedTextReference) {
    bar->SetShowColorGradient(true);
    bar->SetColorMapMode(cgmCover);
    bar->SetColorMin(clYellow);
    bar->SetGridDist(12);
    bar->SetValue(72.5);
    bar->SetTextDecPlaces(1);
    bar->SetTextAlignment(taRightJustify);
    bar->SetTextPosX(290);
    TBitmap bmp;
    Snap(bmp);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "progbar_gradient"));
}

TEST_F(ProgBarFixture, VerticalMovingGradientWithUprightTextReference) {
    bar->SetBounds(10, 10, 40, 150);
    bar->SetDirection(drUp);
    bar->SetShowColorGradient(true);
    bar->SetColorMapMode(cgmMove);
    bar->SetValue(64);
    bar->SetTextAngle(90);
    bar->SetTextPosX(20);
    bar->SetTextPosY(75);
    bar->SetFrameStyleOuter(fstEmbossed);
    bar->Font().SetColor(clWhite);
    TBitmap bmp;
    Snap(bmp);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "progbar_vertical"));
}

// ---- Auto-increment ---------------------------------------------------------------------------

TEST_F(ProgBarFixture, AutoIncrementTicksAtStartThenRepeatIntervalAndPassesMax) {
    int events = 0;
    bar->SetValue(98.5);
    bar->SetOnAutoInc([&](TObject* s) {
        EXPECT_EQ(s, bar);
        ++events;
    });
    bar->SetAutoInc(true);
    Application->Advance(1499);
    EXPECT_EQ(bar->Value(), 98.5);
    Application->Advance(1);
    EXPECT_EQ(bar->Value(), 99.5);
    EXPECT_EQ(events, 1);
    Application->Advance(699);
    EXPECT_EQ(bar->Value(), 99.5);
    Application->Advance(1);
    EXPECT_EQ(bar->Value(), 100.5);
    Application->Advance(700);
    EXPECT_EQ(bar->Value(), 101.5);
    EXPECT_EQ(events, 3);
    bar->SetAutoInc(false);
    Application->Advance(5000);
    EXPECT_EQ(bar->Value(), 101.5);
    EXPECT_EQ(Application->TimerCount(), 0u);
}

TEST_F(ProgBarFixture, ChangingRepeatIntervalGoesStraightToTheRepeatPhase) {
    bar->SetValue(0);
    bar->SetAutoInc(true);
    bar->SetRepeatInterval(100);
    Application->Advance(100);
    EXPECT_EQ(bar->Value(), 1);
    Application->Advance(100);
    EXPECT_EQ(bar->Value(), 2);
    bar->SetStartInterval(400); // back to the start phase
    Application->Advance(399);
    EXPECT_EQ(bar->Value(), 2);
    Application->Advance(1);
    EXPECT_EQ(bar->Value(), 3);
    Application->Advance(100);
    EXPECT_EQ(bar->Value(), 4);
}

TEST_F(ProgBarFixture, RefusedTimerRaisesWithTheComponentNameAndLeavesAutoIncOff) {
    Application->SetRefuseTimers(true);
    try {
        bar->SetAutoInc(true);
        FAIL() << "no exception";
    } catch (const EKELProgBar& e) {
        EXPECT_STREQ(e.what(), "Component \"PB\": no timer available");
    }
    EXPECT_FALSE(bar->AutoInc());
    Application->SetRefuseTimers(false);
    bar->SetAutoInc(true);
    EXPECT_TRUE(bar->AutoInc());
    Application->SetRefuseTimers(true);
    EXPECT_THROW(bar->SetStartInterval(50), EKELProgBar);
    EXPECT_FALSE(bar->AutoInc());
    Application->SetRefuseTimers(false);
}

TEST_F(ProgBarFixture, AnExceptionInATickGoesToTheHandlerAndTheTimerGoesOn) {
    bar->SetValue(0);
    bar->SetAutoInc(true);
    bar->SetOnAutoInc([](TObject*) { throw EKELProgBar("handler failed"); });
    Application->Advance(700);
    Application->Advance(700);
    EXPECT_EQ(bar->Value(), 2);
    ASSERT_EQ(Application->ExceptionMessages().size(), 2u);
    EXPECT_EQ(Application->ExceptionMessages()[0], "handler failed");
}

TEST_F(ProgBarFixture, NoTimerRunsAtDesignTime) {
    bar->SetDesigning(true);
    bar->SetAutoInc(true);
    EXPECT_EQ(Application->TimerCount(), 0u);
    Application->Advance(3000);
    EXPECT_EQ(bar->Value(), 10);
}
