// Pixel tests of the numeric input control: the box frame for every frame style, the spin
// buttons with their arrows, the gauge bar at 0, half and full range, the warning colours out of
// range, the engraved side texts when disabled and the inverted selection. Whole pictures are
// compared with the references in tests/numeric/ref/; exact probes pin the geometry.
#include "KEL_NumIO.h"

#include "headless.h"
#include "kel_app.h"
#include "kel_form_fixture.h"
#include "kel_forms.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace kel {
namespace {

using namespace kel::headless;

// A new form's size (320 x 240), white.
class NumIO2PaintTest : public test::FormTest {
  protected:
    NumIO2PaintTest() : FormTest(320, 240) {}
    // A control on the form at (0, Top), holding 12.5 in itFloat; unfocused, so no caret.
    TNumIO2* Add(int Top, int H = 28) {
        auto* c = new TNumIO2(form.get());
        c->SetParent(form.get());
        c->SetBounds(0, Top, 160, H);
        c->SetValue(12.5);
        return c;
    }
    // A snapshot of the whole form, sized W x H.
    void Snap(TBitmap& bmp, int W, int H) {
        form->SetBounds(0, 0, W, H);
        Snapshot(*form, bmp);
    }
};

// With KEL_UPDATE_DOCS=1 also writes the picture to docs/img/<name>.png.
::testing::AssertionResult MatchesRefAndDoc(const TBitmap& bmp, const std::string& name) {
    return test::MatchesReferenceAndDocs(bmp, "numeric", name);
}

TEST_F(NumIO2PaintTest, BoxFrameForEveryFrameStyle) {
    for (int s = 0; s < NumFrameStyles; ++s) Add(s * 30)->SetFrameStyle(TFrameStyle(s));
    TBitmap bmp;
    Snap(bmp, 160, 6 * 30);
    EXPECT_TRUE(test::MatchesReference(bmp, "numeric/ref/numio2_frames"));
}

TEST_F(NumIO2PaintTest, SunkenFrameLinesLieWhereExpected) {
    TNumIO2* c = Add(0);
    c->SetFrameStyle(fstLowered);
    // Outline (35,0)-(117,27) grey; inner top-left black; bottom-right white (S = 24).
    EXPECT_EQ(PixelAt(*c, 35, 10), clGray);
    EXPECT_EQ(PixelAt(*c, 36, 10), clBlack);
    EXPECT_EQ(PixelAt(*c, 50, 1), clBlack);
    EXPECT_EQ(PixelAt(*c, 50, 0), clGray);
    EXPECT_EQ(PixelAt(*c, 50, 27), clWhite);
    EXPECT_EQ(PixelAt(*c, 117, 10), clWhite);
    EXPECT_EQ(PixelAt(*c, 50, 5), clWhite); // box inside
    EXPECT_EQ(PixelAt(*c, 118, 10), ColorToRGB(clBtnFace));
    c->SetFrameStyle(fstNone);
    EXPECT_EQ(PixelAt(*c, 35, 10), clWhite);
    EXPECT_EQ(PixelAt(*c, 36, 1), clWhite);
}

TEST_F(NumIO2PaintTest, SpinButtonsWithTheirArrows) {
    TNumIO2* c = Add(0);
    c->SetButVisible(true);
    TNumIO2* flat = Add(30);
    flat->SetButVisible(true);
    flat->SetBut3D(false);
    flat->SetButColor(clYellow);
    TBitmap bmp;
    Snap(bmp, 160, 60);
    EXPECT_TRUE(test::MatchesReference(bmp, "numeric/ref/numio2_spin"));

    // X0 = 118, centre 127, half height 14: up arrow rows 6..8, down arrow rows 19..21.
    const int cx = 127;
    for (int x = cx - 3; x <= cx + 5; ++x) {
        const bool r0 = x >= cx && x < cx + 2, r1 = x >= cx - 1 && x < cx + 3,
                   r2 = x >= cx - 2 && x < cx + 4;
        EXPECT_EQ(PixelAt(*c, x, 6) == clBlack, r0) << x;
        EXPECT_EQ(PixelAt(*c, x, 7) == clBlack, r1) << x;
        EXPECT_EQ(PixelAt(*c, x, 8) == clBlack, r2) << x;
        EXPECT_EQ(PixelAt(*c, x, 19) == clBlack, r2) << x;
        EXPECT_EQ(PixelAt(*c, x, 20) == clBlack, r1) << x;
        EXPECT_EQ(PixelAt(*c, x, 21) == clBlack, r0) << x;
    }
    EXPECT_EQ(PixelAt(*c, 125, 13), clGray);  // the dividing line
    EXPECT_EQ(PixelAt(*c, 119, 10), clWhite); // 3-D light edge
    EXPECT_EQ(PixelAt(*c, 137, 10), clBlack); // 3-D dark edge
    EXPECT_EQ(PixelAt(*flat, 119, 10), clYellow);
    c->SetEnabled(false);
    EXPECT_EQ(PixelAt(*c, cx, 6), clGray);
}

TEST_F(NumIO2PaintTest, GaugeBarAtZeroHalfAndFullRange) {
    const double values[] = {0, 500, 1000};
    TNumIO2* half = nullptr;
    for (int i = 0; i < 3; ++i) {
        TNumIO2* c = Add(i * 42, 40);
        c->SetGaugeVisible(true);
        c->SetValue(values[i]);
        if (i == 1) half = c;
    }
    TBitmap bmp;
    Snap(bmp, 160, 3 * 42);
    EXPECT_TRUE(test::MatchesReference(bmp, "numeric/ref/numio2_gauge"));

    // Gauge rows 31..38 (frame row 39), x 35..116; half the bar ends at x 75.
    const int y = 34;
    EXPECT_EQ(PixelAt(*half, 40, y), clNavy);
    EXPECT_EQ(PixelAt(*half, 75, y), clNavy);
    EXPECT_EQ(PixelAt(*half, 76, y), clSilver);
    EXPECT_EQ(PixelAt(*half, 35, y), clGray);   // outline
    EXPECT_EQ(PixelAt(*half, 36, y), clBlack);  // inner top-left line
    EXPECT_EQ(PixelAt(*half, 60, 39), clWhite); // outer bottom-right line
    EXPECT_EQ(PixelAt(*half, 117, y), clWhite);
    half->SetEnabled(false);
    EXPECT_EQ(PixelAt(*half, 75, y), clGray);
    half->SetValue(-50); // below the range: empty bar
    EXPECT_EQ(PixelAt(*half, 40, y), clSilver);
}

TEST_F(NumIO2PaintTest, WarningColoursOutOfRange) {
    TNumIO2* in = Add(0);
    TNumIO2* out = Add(30);
    out->SetValue(1500);
    TBitmap bmp;
    Snap(bmp, 160, 60);
    EXPECT_TRUE(test::MatchesReference(bmp, "numeric/ref/numio2_warning"));
    EXPECT_EQ(PixelAt(*in, 40, 4), clWhite);
    EXPECT_EQ(PixelAt(*out, 40, 4), TColor(0x88FFF0));
    TBitmap snap;
    Snapshot(*out, snap);
    EXPECT_NE(test::PixelsOf(snap, clRed), "");
    Snapshot(*in, snap);
    EXPECT_EQ(test::PixelsOf(snap, clRed), "");
    out->SetEnabled(false);
    EXPECT_EQ(PixelAt(*out, 40, 4), clSilver);
}

TEST_F(NumIO2PaintTest, SideTextsAreEngravedWhenDisabled) {
    TNumIO2* on = Add(0);
    TNumIO2* off = Add(30);
    for (TNumIO2* c : {on, off}) {
        c->SetLeftText("Uin");
        c->SetRightText("mV");
    }
    off->SetEnabled(false);
    TBitmap bmp;
    Snap(bmp, 160, 60);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "numio2_disabled"));
    TBitmap a, b;
    Snapshot(*on, a);
    Snapshot(*off, b);
    // The enabled texts have no white copy; the disabled ones have one, and grey on top.
    TBitmap left;
    left.SetSize(30, 28);
    left.Canvas().CopyRect(Rect(0, 0, 30, 28), a.Canvas(), Rect(0, 0, 30, 28));
    EXPECT_EQ(test::PixelsOf(left, clWhite), "");
    EXPECT_NE(test::PixelsOf(left, clBlack), "");
    left.Canvas().CopyRect(Rect(0, 0, 30, 28), b.Canvas(), Rect(0, 0, 30, 28));
    EXPECT_NE(test::PixelsOf(left, clWhite), "");
    EXPECT_NE(test::PixelsOf(left, clGray), "");
    EXPECT_EQ(test::PixelsOf(left, clBlack), "");
}

TEST_F(NumIO2PaintTest, SelectionIsInvertedOnlyWhileFocusedUnlessShownAlways) {
    TNumIO2* c = Add(0);
    c->SetSelBegin(0);
    c->SetSelEnd(5);
    const int x = c->CharPosToXCoords(1);
    EXPECT_EQ(PixelAt(*c, x, 4), clWhite); // hidden: not focused
    c->SetHideSelection(false);
    EXPECT_EQ(PixelAt(*c, x, 4), clBlack); // white inverted
    c->SetHideSelection(true);
    c->SetFocus();
    c->SetSelBegin(0);
    c->SetSelEnd(5);
    EXPECT_EQ(PixelAt(*c, x, 4), clBlack);
}

TEST_F(NumIO2PaintTest, DocsPicture) {
    TNumIO2* a = Add(0);
    a->SetLeftText("Uout");
    a->SetRightText("mV");
    a->SetButVisible(true);
    TNumIO2* b = Add(30, 40);
    b->SetInputFormat(itInt);
    b->SetLeftText("Rpm");
    b->SetRightText("1/min");
    b->SetGaugeVisible(true);
    b->SetValue(640);
    TNumIO2* c = Add(72);
    c->SetInputFormat(itHex);
    c->SetLeftText("Reg");
    c->SetRangeHigh(65535);
    c->SetValue(0xBEEF);
    TNumIO2* d = Add(102);
    d->SetLeftText("T");
    d->SetRightText("\xC2\xB0"
                    "C");
    d->SetValue(1250); // above RangeHigh 1000: warning colours
    for (TNumIO2* n : {a, b, c, d}) n->SetWidth(200);
    TBitmap bmp;
    Snap(bmp, 200, 130);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "numio2"));
}

} // namespace
} // namespace kel
