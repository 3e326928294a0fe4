// TRotLab: the start point of the text for every alignment at 0, 90, 180 and 45 degrees, the ink
// placed about the anchor, antialiased and 1-bit text, the embossed disabled text, transparency,
// the frame, AutoCenter on resize and on setting the anchor, measuring that changes nothing,
// Assign, and reference images of the label at four angles with and without antialiasing.
#include "KEL_RotLab.h"

#include "headless.h"
#include "kel_forms.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

using namespace kel;

namespace {

::testing::AssertionResult MatchesRefAndDoc(const TBitmap& bmp, const std::string& name) {
    if (std::getenv("KEL_UPDATE_DOCS") != nullptr) {
        const std::filesystem::path dir =
            std::filesystem::path(KEL_REF_DIR) / ".." / "docs" / "img";
        std::filesystem::create_directories(dir);
        bmp.SaveToFile((dir / (name + ".png")).string());
    }
    return test::MatchesReference(bmp, "widgets/ref/" + name);
}

// The bounding box of every pixel that differs from the background, in control pixels.
struct Ink {
    int Left = INT_MAX, Top = INT_MAX, Right = INT_MIN, Bottom = INT_MIN; // inclusive
    bool Empty() const { return Left > Right; }
    double CentreX() const { return (Left + Right) / 2.0; }
    double CentreY() const { return (Top + Bottom) / 2.0; }
};

Ink InkOf(const TBitmap& bmp, TColor back) {
    Ink ink;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Canvas().Pixels(x, y) != back) {
                ink.Left = std::min(ink.Left, x);
                ink.Right = std::max(ink.Right, x);
                ink.Top = std::min(ink.Top, y);
                ink.Bottom = std::max(ink.Bottom, y);
            }
    return ink;
}

std::set<TColor> ColoursOf(const TBitmap& bmp) {
    std::set<TColor> out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) out.insert(bmp.Canvas().Pixels(x, y));
    return out;
}

// A white borderless form with a 100 x 100 rotated label at (10, 10): opaque white background,
// black text, no frame, anchor fixed at (50, 50) unless a test says otherwise.
class RotLabFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 240, 140);
        form->SetColor(clWhite);
        lab = NewLabel(10);
        form->Show();
        headless::Flush();
    }
    void TearDown() override {
        form.reset();
        headless::Flush();
        Application->ResetState();
    }
    TRotLab* NewLabel(int left) {
        auto* l = new TRotLab(form.get());
        l->SetParent(form.get());
        l->SetBounds(left, 10, 100, 100);
        l->SetAutoCenter(false);
        l->SetPosX(50);
        l->SetPosY(50);
        l->SetFrameStyle(fstNone);
        l->SetTransparent(false);
        l->SetColor(clWhite);
        l->Font().SetColor(clBlack);
        l->SetCaption("HIH");
        return l;
    }
    void Snap(TBitmap& bmp, TRotLab* l = nullptr) { headless::Snapshot(l ? *l : *lab, bmp); }
    Ink InkAt(int angle, TAlignment a) {
        lab->SetTextAngle(angle);
        lab->SetAlignment(a);
        TBitmap bmp;
        Snap(bmp);
        return InkOf(bmp, clWhite);
    }

    std::unique_ptr<TForm> form;
    TRotLab* lab = nullptr;
};

} // namespace

// ---- Start point ------------------------------------------------------------------------------

TEST(RotLabOffset, RightAnglesPlaceTheCellSoItsMiddleLinePassesThroughTheAnchor) {
    const int w = 20, h = 7;
    // 0 degrees: left starts at the anchor, centre is centred on it, right ends at it.
    EXPECT_EQ(RotLabTextOffset(taLeftJustify, 0, w, h), (TPoint{0, -7}));
    EXPECT_EQ(RotLabTextOffset(taCenter, 0, w, h), (TPoint{-20, -7}));
    EXPECT_EQ(RotLabTextOffset(taRightJustify, 0, w, h), (TPoint{-40, -7}));
    // 90 degrees: the text runs upward, its cell left of the anchor by half its height.
    EXPECT_EQ(RotLabTextOffset(taLeftJustify, 90, w, h), (TPoint{-7, 0}));
    EXPECT_EQ(RotLabTextOffset(taCenter, 90, w, h), (TPoint{-7, 20}));
    EXPECT_EQ(RotLabTextOffset(taRightJustify, 90, w, h), (TPoint{-7, 40}));
    // 180 degrees: upside down, running to the left.
    EXPECT_EQ(RotLabTextOffset(taLeftJustify, 180, w, h), (TPoint{0, 7}));
    EXPECT_EQ(RotLabTextOffset(taCenter, 180, w, h), (TPoint{20, 7}));
    EXPECT_EQ(RotLabTextOffset(taRightJustify, 180, w, h), (TPoint{40, 7}));
    // 270 and angles outside 0..359 are the same directions.
    EXPECT_EQ(RotLabTextOffset(taCenter, 270, w, h), (TPoint{7, -20}));
    EXPECT_EQ(RotLabTextOffset(taCenter, -90, w, h), (TPoint{7, -20}));
    EXPECT_EQ(RotLabTextOffset(taCenter, 450, w, h), (TPoint{-7, 20}));
}

TEST(RotLabOffset, FortyFiveDegreesRoundEachCoordinateToTheNearest) {
    const int w = 10, h = 7; // w sin = w cos = 7.07, h sin = h cos = 4.95
    EXPECT_EQ(RotLabTextOffset(taLeftJustify, 45, w, h), (TPoint{-5, -5}));
    EXPECT_EQ(RotLabTextOffset(taCenter, 45, w, h), (TPoint{-12, 2}));
    EXPECT_EQ(RotLabTextOffset(taRightJustify, 45, w, h), (TPoint{-19, 9}));
}

// ---- The ink about the anchor (50, 50); "HIH" is 26 x 17 pixels in Arial 11
// ----------------------

TEST_F(RotLabFixture, HorizontalTextStartsAtIsCentredOnOrEndsAtTheAnchor) {
    Ink l = InkAt(0, taLeftJustify), c = InkAt(0, taCenter), r = InkAt(0, taRightJustify);
    EXPECT_NEAR(c.CentreX(), 50, 1.0);
    EXPECT_GE(l.Left, 50);
    EXPECT_LE(l.Left, 52); // the left side bearing of "H"
    EXPECT_LE(r.Right, 49);
    EXPECT_GE(r.Right, 47);
    // The middle line lies on PosY: the capitals sit across it.
    for (const Ink& i : {l, c, r}) {
        EXPECT_LT(i.Top, 50);
        EXPECT_GT(i.Bottom, 50);
    }
}

TEST_F(RotLabFixture, NinetyDegreesRunsUpwardFromTheAnchorWithItsMiddleOnPosX) {
    Ink l = InkAt(90, taLeftJustify);
    EXPECT_NEAR(l.CentreX(), 50, 1.0);
    EXPECT_LE(l.Bottom, 49); // runs upward from PosY
    EXPECT_GE(l.Bottom, 47);
    EXPECT_LE(l.Top, 50 - 20);
    Ink c = InkAt(90, taCenter);
    EXPECT_NEAR(c.CentreY(), 50, 1.0);
    Ink r = InkAt(90, taRightJustify);
    EXPECT_GE(r.Top, 50); // ends at PosY, running upward
    EXPECT_LE(r.Top, 52);
}

TEST_F(RotLabFixture, UpsideDownTextRunsLeftFromTheAnchor) {
    Ink l = InkAt(180, taLeftJustify), c = InkAt(180, taCenter);
    EXPECT_LE(l.Right, 49);
    EXPECT_GE(l.Right, 47);
    EXPECT_NEAR(c.CentreX(), 50, 1.0);
}

TEST_F(RotLabFixture, CentredTextAtFortyFiveDegreesIsCentredOnTheAnchor) {
    Ink c = InkAt(45, taCenter);
    EXPECT_NEAR(c.CentreX(), 50, 1.0);
    EXPECT_NEAR(c.CentreY(), 50, 1.0);
    // Left-justified text lies up and to the right of the anchor.
    Ink l = InkAt(45, taLeftJustify);
    EXPECT_GT(l.CentreX(), 55);
    EXPECT_LT(l.CentreY(), 45);
}

TEST_F(RotLabFixture, AnglesAreTakenModuloAFullTurn) {
    TBitmap a, b;
    lab->SetTextAngle(90);
    Snap(a);
    lab->SetTextAngle(90 + 3600);
    Snap(b);
    EXPECT_EQ(test::PixelsOf(a, clBlack), test::PixelsOf(b, clBlack));
    lab->SetTextAngle(INT_MAX); // no overflow of the tenths of a degree
    Snap(b);
    EXPECT_FALSE(InkOf(b, clWhite).Empty());
}

// ---- Rendering -------------------------------------------------------------------------------

TEST_F(RotLabFixture, AntiAliasBlendsGreysAndAliasedTextHasOnlyTwoColours) {
    TBitmap bmp;
    for (int angle : {0, 45}) {
        SCOPED_TRACE(angle);
        lab->SetTextAngle(angle);
        lab->SetAntiAlias(false);
        Snap(bmp);
        EXPECT_EQ(ColoursOf(bmp), (std::set<TColor>{clWhite, clBlack}));
        lab->SetAntiAlias(true);
        Snap(bmp);
        std::set<TColor> colours = ColoursOf(bmp);
        EXPECT_GT(colours.size(), 4u);             // intermediate greys at the edges of the glyphs
        EXPECT_LT(*colours.begin() & 0xFF, 0x40u); // and dark ink at the stems
    }
}

TEST_F(RotLabFixture, DisabledTextIsEmbossedHighlightOffsetThenShadowOnTop) {
    lab->SetAntiAlias(false);
    lab->SetColor(clSilver); // neither highlight nor shadow
    lab->SetTextAngle(30);
    TBitmap enabled, disabled;
    Snap(enabled);
    lab->SetEnabled(false);
    Snap(disabled);
    const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
    ASSERT_NE(hi, clSilver);
    ASSERT_NE(sh, clSilver);
    EXPECT_EQ(ColoursOf(disabled), (std::set<TColor>{clSilver, hi, sh}));
    // The shadow covers exactly the enabled text; the highlight is the same shape one pixel
    // right and down, wherever the shadow does not cover it.
    std::string expectedHi;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool ink = enabled.Canvas().Pixels(x, y) == clBlack;
            const bool lit = x > 0 && y > 0 && enabled.Canvas().Pixels(x - 1, y - 1) == clBlack;
            EXPECT_EQ(disabled.Canvas().Pixels(x, y) == sh, ink) << x << "," << y;
            if (lit && !ink) expectedHi += std::to_string(x) + "," + std::to_string(y) + " ";
        }
    EXPECT_EQ(test::PixelsOf(disabled, hi), expectedHi);
}

TEST_F(RotLabFixture, TransparentLabelShowsTheParentOpaqueOneItsColour) {
    form->SetColor(clAqua);
    lab->SetColor(clBtnFace);
    lab->SetTransparent(true);
    TBitmap bmp;
    Snap(bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(5, 5), clAqua);
    lab->SetTransparent(false);
    Snap(bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(5, 5), ColorToRGB(clBtnFace));
}

TEST_F(RotLabFixture, FrameIsDrawnRoundTheControlInTheClassicColours) {
    lab->SetFrameStyle(fstLowered);
    TBitmap bmp;
    Snap(bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(0, 0), TColor(0x808080)); // outer ring, top-left
    EXPECT_EQ(bmp.Canvas().Pixels(99, 99), TColor(0xFFFFFF));
    EXPECT_EQ(bmp.Canvas().Pixels(1, 1), clBlack); // inner ring
    EXPECT_EQ(bmp.Canvas().Pixels(98, 98), TColor(0xC0C0C0));
    EXPECT_EQ(bmp.Canvas().Pixels(2, 2), clWhite);
}

// ---- Anchor, size and copying ----------------------------------------------------------------

TEST(RotLab, DefaultsAreTheConstructorsValues) {
    TRotLab l(nullptr);
    EXPECT_EQ(l.Width(), 200);
    EXPECT_EQ(l.Height(), 200);
    EXPECT_EQ(l.PosX(), 10);
    EXPECT_EQ(l.PosY(), 10);
    EXPECT_EQ(l.Alignment(), taCenter);
    EXPECT_TRUE(l.Transparent());
    EXPECT_TRUE(l.AutoCenter());
    EXPECT_TRUE(l.AntiAlias());
    EXPECT_EQ(l.Color(), clBtnFace);
    EXPECT_EQ(l.FrameStyle(), fstLowered);
    EXPECT_EQ(l.Font().Name(), "Arial");
    EXPECT_EQ(l.Font().Size(), 11);
}

TEST_F(RotLabFixture, AutoCenterFollowsResizesAndOverridesTheAnchor) {
    lab->SetAutoCenter(true); // recentres at once
    EXPECT_EQ(lab->PosX(), 50);
    EXPECT_EQ(lab->PosY(), 50);
    lab->SetBounds(10, 10, 121, 61);
    EXPECT_EQ(lab->PosX(), 60);
    EXPECT_EQ(lab->PosY(), 30);
    lab->SetPosX(5); // recentres instead of storing
    EXPECT_EQ(lab->PosX(), 60);
    lab->SetAutoCenter(false);
    lab->SetPosX(5);
    lab->SetPosY(7);
    lab->SetBounds(10, 10, 100, 100);
    EXPECT_EQ(lab->PosX(), 5);
    EXPECT_EQ(lab->PosY(), 7);
    // The text follows: centred on the new centre after a resize.
    lab->SetAutoCenter(true);
    lab->SetBounds(10, 10, 80, 100);
    TBitmap bmp;
    Snap(bmp);
    EXPECT_NEAR(InkOf(bmp, clWhite).CentreX(), 40, 1.0);
}

TEST(RotLab, WithoutAParentAResizeKeepsTheAnchor) {
    TRotLab l(nullptr);
    l.SetBounds(0, 0, 60, 40);
    EXPECT_EQ(l.PosX(), 10);
    EXPECT_EQ(l.PosY(), 10);
}

namespace {
struct MeasuringRotLab : TRotLab {
    using TRotLab::DoDrawText;
    using TRotLab::TRotLab;
};
} // namespace

TEST_F(RotLabFixture, MeasuringLeavesTheRectangleAndTheSizeUnchanged) {
    auto* m = new MeasuringRotLab(form.get());
    m->SetParent(form.get());
    m->SetCaption("a rather long caption");
    TRect r = Rect(3, 4, 5, 6);
    m->DoDrawText(r, DT_CALCRECT | DT_EXPANDTABS);
    EXPECT_EQ(r, Rect(3, 4, 5, 6));
    EXPECT_EQ(m->Width(), 200);
    EXPECT_EQ(m->Height(), 200);
    m->Font().SetSize(20);
    m->SetAutoSize(true);
    EXPECT_EQ(m->Height(), 200);
}

TEST_F(RotLabFixture, AssignCopiesTheAnchorAngleFrameAndQuality) {
    lab->SetTextAngle(33);
    lab->SetAntiAlias(false);
    lab->SetFrameStyle(fstRaised);
    lab->SetPosX(12);
    lab->SetPosY(34);
    lab->SetAlignment(taRightJustify);
    auto* other = new TRotLab(form.get());
    other->SetParent(form.get());
    other->Assign(lab);
    EXPECT_EQ(other->TextAngle(), 33);
    EXPECT_FALSE(other->AntiAlias());
    EXPECT_EQ(other->FrameStyle(), fstRaised);
    EXPECT_FALSE(other->AutoCenter());
    EXPECT_EQ(other->PosX(), 12); // as they are, not recentred
    EXPECT_EQ(other->PosY(), 34);
    EXPECT_EQ(other->Alignment(), taCenter); // not part of the copy
    // Anything else is the framework's, both ways: plain labels and rotated ones do not mix.
    TLabel plain(nullptr);
    EXPECT_THROW(other->Assign(&plain), EConvertError);
    EXPECT_THROW(plain.Assign(lab), EConvertError);
}

TEST(RotLab, AFormFileKeepsTheSettingsAndRecentresAfterLoading) {
    TRotLab l(nullptr);
    l.SetCaption("Flow");
    l.SetTextAngle(270);
    l.SetAntiAlias(false);
    l.SetAlignment(taLeftJustify);
    l.SetBounds(0, 0, 120, 80);
    l.AdjustAutoCenter(); // (60, 40): stored, since it differs from the default (10, 10)
    std::unique_ptr<TComponent> back(ComponentFromText(ComponentToText(l), nullptr));
    auto* b = dynamic_cast<TRotLab*>(back.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Caption(), "Flow");
    EXPECT_EQ(b->TextAngle(), 270);
    EXPECT_FALSE(b->AntiAlias());
    EXPECT_EQ(b->Alignment(), taLeftJustify);
    EXPECT_EQ(b->PosX(), 60);
    EXPECT_EQ(b->PosY(), 40);
    // A file whose anchor disagrees with its size: AutoCenter wins once everything is read.
    std::unique_ptr<TComponent> odd(ComponentFromText(
        "object TRotLab\n  PosX = 3\n  PosY = 4\n  Width = 50\n  Height = 30\nend\n", nullptr));
    EXPECT_EQ(static_cast<TRotLab*>(odd.get())->PosX(), 25);
    EXPECT_EQ(static_cast<TRotLab*>(odd.get())->PosY(), 15);
}

// ---- Reference images ------------------------------------------------------------------------

TEST_F(RotLabFixture, ReferenceImagesAtFourAnglesWithAndWithoutAntialiasing) {
    lab->SetCaption("Kel 42");
    lab->SetFrameStyle(fstLowered);
    lab->SetColor(clBtnFace);
    for (bool aa : {true, false})
        for (int angle : {0, 45, 90, 180}) {
            lab->SetAntiAlias(aa);
            lab->SetTextAngle(angle);
            TBitmap bmp;
            Snap(bmp);
            EXPECT_TRUE(MatchesRefAndDoc(bmp, "rotlab_" + std::to_string(angle) +
                                                  (aa ? "_aa" : "_aliased")));
        }
}
