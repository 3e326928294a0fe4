// TOnOffBut: the glyph sheets at their sizes and bit depths, toggling in both modes, the glyph
// hit test of oomaFocused, radio groups and their shared AllowAllOff, caption positions (the
// formula and the ink), transparency over a coloured parent, the disabled look, user glyphs and
// their refusal, AutoCenter, Assign, and a reference image of all 23 styles in their four states.
#include "KEL_onoffbut.h"

#include "kel_buttons.h"
#include "kel_form_fixture.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>

using namespace kel;

namespace {

class OnOffBut : public test::FormTest {
  protected:
    OnOffBut() : FormTest(320, 200, clWhite) {}
    // A button at (Left, 10) on the form, 100 x 50, the glyph centred.
    TOnOffBut* New(int Left = 10, int Top = 10) {
        auto* b = new TOnOffBut(form.get());
        b->SetParent(form.get());
        b->SetBounds(Left, Top, 100, 50);
        return b;
    }
    // A point in the middle of the glyph.
    static void ClickGlyph(TOnOffBut& b) {
        headless::ClickAt(b, b.LeftSpace() + b.GlyphWidth() / 2,
                          b.TopSpace() + b.GlyphHeight() / 2);
    }
};

struct Ink {
    int Left = INT_MAX, Top = INT_MAX, Right = INT_MIN, Bottom = INT_MIN; // inclusive
};
// Bounding box of the pixels that equal Colour inside R.
Ink InkOf(const TBitmap& b, TColor Colour, TRect R) {
    Ink k;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (b.Canvas().Pixels(x, y) == Colour) {
                k.Left = std::min(k.Left, x), k.Right = std::max(k.Right, x);
                k.Top = std::min(k.Top, y), k.Bottom = std::max(k.Bottom, y);
            }
    return k;
}

struct SheetSize {
    TOnOffButStyle Style;
    int W, H;
    TPixelFormat Format;
};
const SheetSize kSheets[] = {
    {oobsCheckbox, 32, 32, pf4bit},      {oobsRadioBut, 28, 28, pf8bit},
    {oobsSlideTB, 36, 60, pf8bit},       {oobsSlideLR, 60, 36, pf8bit},
    {oobsColSlideTB, 36, 60, pf4bit},    {oobsColSlideLR, 60, 36, pf8bit},
    {oobsLedRedGreen, 28, 28, pf24bit},  {oobsArrowTopRgt, 50, 50, pf24bit},
    {oobsArrowUpDown, 50, 50, pf24bit},  {oobsArrowLeftRight, 50, 50, pf24bit},
    {oobsTrafficLPed, 62, 62, pf8bit},   {oobsBeveledLed, 34, 34, pf8bit},
    {oobsSmileyYellow, 36, 36, pf24bit}, {oobsSmileyRedGrn, 36, 36, pf24bit},
    {oobsBulb, 78, 98, pf24bit},         {oobsButLamp, 98, 48, pf24bit},
    {oobsHDLeft, 96, 32, pf24bit},       {oobsHDRight, 96, 32, pf24bit},
    {oobsUser1, 48, 48, pf24bit},        {oobsUser2, 48, 48, pf24bit},
    {oobsUser3, 48, 48, pf24bit},        {oobsUser4, 48, 48, pf24bit},
    {oobsUser5, 48, 48, pf24bit}};

// A 2 x 2 picture of GW x GH quadrants in four flat colours: on/enabled red, off/enabled green,
// on/disabled blue, off/disabled yellow.
void FourColours(TBitmap& b, int GW, int GH) {
    b.SetSize(2 * GW, 2 * GH);
    const TColor c[4] = {clRed, clLime, clBlue, clYellow};
    for (int q = 0; q < 4; ++q) {
        b.Canvas().Brush().SetColor(c[q]);
        b.Canvas().FillRect(Bounds((q % 2) * GW, (q / 2) * GH, GW, GH));
    }
}

} // namespace

// ---- Glyph sheets -----------------------------------------------------------------------------

TEST(OnOffButSheets, EveryStyleHasItsSizeBitDepthFourDistinctPicturesAndTheKeyColour) {
    ASSERT_EQ(std::size(kSheets), 23u);
    for (const SheetSize& s : kSheets) {
        SCOPED_TRACE(OnOffButResourceName(s.Style));
        TBitmap sheet;
        sheet.LoadFromResourceName(OnOffButResourceName(s.Style));
        EXPECT_EQ(sheet.Width(), s.W);
        EXPECT_EQ(sheet.Height(), s.H);
        EXPECT_EQ(sheet.PixelFormat(), s.Format);
        TOnOffBut b(nullptr);
        b.SetButtonStyle(s.Style);
        EXPECT_EQ(b.GlyphWidth(), s.W / 2);
        EXPECT_EQ(b.GlyphHeight(), s.H / 2);
        // The four pictures differ (on from off, enabled from disabled), and each has
        // transparent and opaque pixels.
        std::string pics[4];
        for (int i = 0; i < 4; ++i) {
            const TBitmap& g = b.Glyph(i >= 2, i % 2 == 1);
            EXPECT_EQ(g.Width(), s.W / 2);
            EXPECT_FALSE(test::PixelsOf(g, OnOffButKeyColor).empty());
            pics[i] = test::AsciiArt(g, OnOffButKeyColor) + "|";
            for (int y = 0; y < g.Height(); ++y)
                for (int x = 0; x < g.Width(); ++x)
                    pics[i] += std::to_string(g.ScanLine(y)[x]) + ",";
        }
        EXPECT_NE(pics[3], pics[1]);
        EXPECT_NE(pics[3], pics[2]);
        EXPECT_NE(pics[1], pics[0]);
        // Quadrants as laid out: the on/enabled picture is the sheet's top-left corner.
        EXPECT_EQ(b.Glyph(true, true).Canvas().Pixels(s.W / 4, s.H / 4),
                  sheet.Canvas().Pixels(s.W / 4, s.H / 4));
        EXPECT_EQ(b.Glyph(false, false).Canvas().Pixels(s.W / 4, s.H / 4),
                  sheet.Canvas().Pixels(s.W / 2 + s.W / 4, s.H / 2 + s.H / 4));
    }
    EXPECT_STREQ(OnOffButResourceName(oobsUser), "");
}

// ---- Defaults and toggling --------------------------------------------------------------------

TEST(OnOffButDefaults, AreTheConstructorsValues) {
    TOnOffBut b(nullptr);
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(b.Height(), 50);
    EXPECT_TRUE(b.OnOff());
    EXPECT_TRUE(b.AllowAllOff());
    EXPECT_TRUE(b.AutoCenter());
    EXPECT_EQ(b.ButtonStyle(), oobsColSlideLR);
    EXPECT_EQ(b.GlyphWidth(), 30);
    EXPECT_EQ(b.GlyphHeight(), 18);
    EXPECT_EQ(b.LeftSpace(), 35);
    EXPECT_EQ(b.TopSpace(), 18);
    EXPECT_EQ(b.MouseAction(), oomaFocused);
    EXPECT_EQ(b.Mode(), oobmNormalBut);
    EXPECT_EQ(b.FrameStyle(), fstLowered);
    EXPECT_EQ(b.LeftTextAlignment(), taRightJustify);
    EXPECT_EQ(b.RightTextAlignment(), taLeftJustify);
    EXPECT_EQ(b.TopTextAlignment(), taCenter);
    EXPECT_EQ(b.ColorBackgnd(), clBtnFace);
    // The default user pictures: a cross when off, a circle when on, blank when disabled.
    EXPECT_EQ(b.UserGlyph(false, true).Canvas().Pixels(0, 0), clBlack);
    EXPECT_EQ(b.UserGlyph(false, true).Canvas().Pixels(19, 1), clBlack);
    EXPECT_EQ(b.UserGlyph(true, true).Canvas().Pixels(5, 10), clBlack);
    EXPECT_EQ(b.UserGlyph(true, true).Canvas().Pixels(10, 10), clWhite);
    EXPECT_EQ(test::PixelsOf(b.UserGlyph(false, false), clBlack), "");
}

TEST_F(OnOffBut, NormalModeTogglesOnEachPressAndFiresOnClickOnRelease) {
    TOnOffBut* b = New();
    int clicks = 0;
    b->SetOnClick([&](TObject*) { ++clicks; });
    const int x = b->LeftSpace() + 5, y = b->TopSpace() + 5;
    headless::MouseDownAt(*b, x, y);
    EXPECT_FALSE(b->OnOff()); // on the press
    EXPECT_EQ(clicks, 0);
    headless::MouseUpAt(*b, x, y);
    EXPECT_FALSE(b->OnOff());
    EXPECT_EQ(clicks, 1);
    ClickGlyph(*b);
    EXPECT_TRUE(b->OnOff());
    EXPECT_EQ(clicks, 2);
    b->Click(); // the framework's own click does nothing here
    EXPECT_EQ(clicks, 2);
    // The right button does nothing.
    headless::ClickAt(*b, x, y, {}, mbRight);
    EXPECT_TRUE(b->OnOff());
    EXPECT_EQ(clicks, 2);
}

TEST_F(OnOffBut, SpeedModeIsOnWhileHeldAndOffAfterTheReleaseWithOneClick) {
    TOnOffBut* b = New();
    b->SetMode(oobmSpeedBut);
    EXPECT_FALSE(b->OnOff()); // switching to speed mode switches off
    int clicks = 0;
    bool onAtClick = true;
    b->SetOnClick([&](TObject*) { ++clicks, onAtClick = b->OnOff(); });
    const int x = b->LeftSpace() + 5, y = b->TopSpace() + 5;
    headless::MouseDownAt(*b, x, y);
    EXPECT_TRUE(b->OnOff());
    headless::MouseUpAt(*b, x, y);
    EXPECT_FALSE(b->OnOff());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(onAtClick);
    // Released outside the glyph: stays on, no click.
    headless::MouseDownAt(*b, x, y);
    headless::MouseUpAt(*b, 2, 2);
    EXPECT_TRUE(b->OnOff());
    EXPECT_EQ(clicks, 1);
}

TEST_F(OnOffBut, FocusedMouseActionCountsOnlyPointsStrictlyInsideTheGlyph) {
    TOnOffBut* b = New();
    b->SetAutoCenter(false);
    b->SetLeftSpace(20);
    b->SetTopSpace(10);
    const int L = 20, T = 10, R = L + b->GlyphWidth(), B = T + b->GlyphHeight();
    int clicks = 0;
    b->SetOnClick([&](TObject*) { ++clicks; });
    // The edges themselves and everything outside do nothing.
    for (TPoint p : {TPoint{L, T + 5}, TPoint{L + 5, T}, TPoint{R, T + 5}, TPoint{L + 5, B},
                     TPoint{2, 2}, TPoint{90, 40}}) {
        headless::ClickAt(*b, p.X, p.Y);
        EXPECT_TRUE(b->OnOff()) << p.X << "," << p.Y;
    }
    EXPECT_EQ(clicks, 0);
    // One pixel inside each edge counts.
    for (TPoint p : {TPoint{L + 1, T + 1}, TPoint{R - 1, B - 1}}) {
        const bool before = b->OnOff();
        headless::ClickAt(*b, p.X, p.Y);
        EXPECT_NE(b->OnOff(), before) << p.X << "," << p.Y;
    }
    EXPECT_EQ(clicks, 2);
    // A press inside released outside toggles but fires no click.
    headless::MouseDownAt(*b, L + 5, T + 5);
    headless::MouseUpAt(*b, 90, 40);
    EXPECT_FALSE(b->OnOff());
    EXPECT_EQ(clicks, 2);
    // oomaPlain: anywhere; oomaNone: nowhere.
    b->SetMouseAction(oomaPlain);
    headless::ClickAt(*b, 90, 40);
    EXPECT_TRUE(b->OnOff());
    EXPECT_EQ(clicks, 3);
    b->SetMouseAction(oomaNone);
    headless::ClickAt(*b, L + 5, T + 5);
    EXPECT_TRUE(b->OnOff());
    EXPECT_EQ(clicks, 3);
}

// ---- Radio groups -----------------------------------------------------------------------------

TEST_F(OnOffBut, AGroupKeepsAtMostOneButtonOn) {
    TOnOffBut* a = New(10, 10);
    TOnOffBut* b = New(110, 10);
    TOnOffBut* c = New(210, 10);
    TOnOffBut* other = New(10, 100); // another group
    b->SetOnOff(false);
    c->SetOnOff(false);
    for (TOnOffBut* x : {a, b, c}) x->SetGroupIndex(1);
    other->SetGroupIndex(2);
    ASSERT_TRUE(a->OnOff());
    ClickGlyph(*b);
    EXPECT_FALSE(a->OnOff());
    EXPECT_TRUE(b->OnOff());
    EXPECT_FALSE(c->OnOff());
    EXPECT_TRUE(other->OnOff()); // untouched
    c->SetOnOff(true);
    EXPECT_FALSE(b->OnOff());
    EXPECT_TRUE(c->OnOff());
    // With AllowAllOff all may be off.
    ClickGlyph(*c);
    EXPECT_FALSE(c->OnOff());
    // A member with a negative index hears nothing.
    a->SetGroupIndex(-1);
    a->SetOnOff(true);
    b->SetOnOff(true);
    EXPECT_TRUE(a->OnOff());
}

TEST_F(OnOffBut, WithoutAllowAllOffTheButtonThatIsOnStaysOnAndTheSettingIsShared) {
    TOnOffBut* a = New(10, 10);
    TOnOffBut* b = New(110, 10);
    a->SetGroupIndex(3);
    b->SetGroupIndex(3); // both on: the second's notification switches the first off
    EXPECT_FALSE(a->OnOff());
    EXPECT_TRUE(b->OnOff());
    b->SetAllowAllOff(false);
    EXPECT_FALSE(a->AllowAllOff()); // shared across the group
    ClickGlyph(*b);
    EXPECT_TRUE(b->OnOff());
    b->SetOnOff(false); // refused silently
    EXPECT_TRUE(b->OnOff());
    ClickGlyph(*a);
    EXPECT_TRUE(a->OnOff());
    EXPECT_FALSE(b->OnOff());
    a->SetAllowAllOff(true);
    EXPECT_TRUE(b->AllowAllOff());
    ClickGlyph(*a);
    EXPECT_FALSE(a->OnOff());
}

TEST_F(OnOffBut, ASpeedButtonOfTheSameGroupIndexIsNotAMember) {
    TOnOffBut* a = New(10, 10);
    a->SetGroupIndex(1);
    auto* sb = new TSpeedButton(form.get());
    sb->SetParent(form.get());
    sb->SetBounds(150, 10, 40, 30);
    sb->SetGroupIndex(1);
    sb->SetDown(true); // broadcasts to the siblings
    EXPECT_TRUE(a->OnOff());
    EXPECT_TRUE(sb->Down());
    a->SetOnOff(false);
    a->SetOnOff(true);
    EXPECT_TRUE(sb->Down());
}

// ---- Captions ---------------------------------------------------------------------------------

TEST(OnOffButCaptions, PositionsFollowSideAndAlignment) {
    // Glyph 30 x 18 at (35, 16) on a 100-wide control; text 13 high, 20 wide.
    auto pos = [](TOnOffButSide s, TAlignment a) {
        return OnOffButCaptionPos(s, a, 35, 16, 30, 18, 100, 13, 20);
    };
    EXPECT_EQ(pos(oosLeft, taLeftJustify), (TPoint{4, 18}));
    EXPECT_EQ(pos(oosLeft, taRightJustify), (TPoint{12, 18}));
    EXPECT_EQ(pos(oosLeft, taCenter), (TPoint{7, 18}));
    EXPECT_EQ(pos(oosRight, taLeftJustify), (TPoint{69, 18}));
    EXPECT_EQ(pos(oosRight, taRightJustify), (TPoint{76, 18}));
    EXPECT_EQ(pos(oosRight, taCenter), (TPoint{73, 18})); // (100-20-65) div 2 + 66
    EXPECT_EQ(pos(oosTop, taLeftJustify), (TPoint{4, -1}));
    EXPECT_EQ(pos(oosTop, taRightJustify), (TPoint{76, -1}));
    EXPECT_EQ(pos(oosTop, taCenter), (TPoint{40, -1}));
    EXPECT_EQ(pos(oosBottom, taCenter), (TPoint{40, 38}));
    // div truncates toward zero: a text wider than the space on the left.
    EXPECT_EQ(OnOffButCaptionPos(oosLeft, taCenter, 10, 0, 30, 18, 100, 13, 15).X, -2);
}

TEST_F(OnOffBut, EachCaptionIsDrawnBesideTheGlyphWhereItsPositionSays) {
    TOnOffBut* b = New();
    b->SetBounds(10, 10, 160, 90);
    b->SetButtonStyle(oobsCheckbox);
    b->SetFrameStyle(fstNone);
    b->SetColorBackgnd(clWhite);
    b->SetColorText(clBlack);
    b->Font().SetQuality(fqNonAntialiased);
    const int LS = b->LeftSpace(), TS = b->TopSpace(), GW = 16, GH = 16;
    ASSERT_EQ(LS, 72);
    ASSERT_EQ(TS, 37);
    const TRect glyph = Rect(LS + 1, TS + 1, LS + 1 + GW, TS + 1 + GH);
    struct Case {
        TOnOffButSide Side;
        TRect Area; // where the caption's ink must lie
    };
    const Case cases[] = {{oosLeft, Rect(0, TS - 2, LS, TS + GH + 2)},
                          {oosRight, Rect(LS + GW + 1, TS - 2, 160, TS + GH + 2)},
                          {oosTop, Rect(0, 0, 160, TS)},
                          {oosBottom, Rect(0, TS + GH + 2, 160, 90)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Side));
        for (TAlignment a : {taLeftJustify, taRightJustify, taCenter}) {
            SCOPED_TRACE(int(a));
            b->SetLeftText(c.Side == oosLeft ? "Il" : "");
            b->SetRightText(c.Side == oosRight ? "Il" : "");
            b->SetTopText(c.Side == oosTop ? "Il" : "");
            b->SetBottomText(c.Side == oosBottom ? "Il" : "");
            b->SetLeftTextAlignment(a);
            b->SetRightTextAlignment(a);
            b->SetTopTextAlignment(a);
            b->SetBottomTextAlignment(a);
            TBitmap bmp;
            headless::Snapshot(*b, bmp);
            // With the glyph blanked out, all black ink lies in the caption's area, at its
            // position.
            TBitmap noGlyph;
            noGlyph.Assign(&bmp);
            noGlyph.Canvas().Brush().SetColor(clWhite);
            noGlyph.Canvas().FillRect(glyph);
            Ink text = InkOf(noGlyph, clBlack, Rect(0, 0, 160, 90));
            ASSERT_LE(text.Left, text.Right) << "no caption drawn";
            EXPECT_GE(text.Left, c.Area.Left);
            EXPECT_LT(text.Right, c.Area.Right);
            EXPECT_GE(text.Top, c.Area.Top);
            EXPECT_LT(text.Bottom, c.Area.Bottom);
            const int tw = b->Canvas().TextWidth("Il"), T = b->Canvas().TextHeight("(8g]}");
            const TPoint p = OnOffButCaptionPos(c.Side, a, LS, TS, GW, GH, 160, T, tw);
            EXPECT_NEAR(text.Left, p.X + 1, 2);
            EXPECT_GE(text.Top, p.Y);
            EXPECT_LE(text.Bottom, p.Y + T);
        }
    }
}

// ---- Looks ------------------------------------------------------------------------------------

TEST_F(OnOffBut, TransparentButtonShowsTheParentThroughBackgroundAndKeyColour) {
    form->SetColor(clAqua);
    TOnOffBut* b = New();
    b->SetButtonStyle(oobsRadioBut); // round: its corners are key colour
    b->SetFrameStyle(fstNone);
    b->SetColorBackgnd(clFuchsia);
    b->SetTopText("Top");
    TBitmap opaque, clear;
    headless::Snapshot(*b, opaque);
    b->SetTransparent(true);
    headless::Snapshot(*b, clear);
    const int gx = b->LeftSpace() + 1, gy = b->TopSpace() + 1;
    ASSERT_EQ(b->Glyph(true, true).Canvas().Pixels(0, 0), OnOffButKeyColor);
    EXPECT_EQ(opaque.Canvas().Pixels(3, 3), clFuchsia);
    EXPECT_EQ(opaque.Canvas().Pixels(gx, gy), clFuchsia); // key colour: the background
    EXPECT_EQ(clear.Canvas().Pixels(3, 3), clAqua);
    EXPECT_EQ(clear.Canvas().Pixels(gx, gy), clAqua);
    // Opaque glyph pixels and the caption's ink are drawn as they are.
    const TColor mid = b->Glyph(true, true).Canvas().Pixels(7, 7);
    EXPECT_EQ(clear.Canvas().Pixels(gx + 7, gy + 7), mid);
    EXPECT_EQ(opaque.Canvas().Pixels(gx + 7, gy + 7), mid);
    EXPECT_NE(test::PixelsOf(clear, clBlack), "");
    // Only parent, glyph colours and black text: no mixture of the parent with anything.
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            const TColor p = clear.Canvas().Pixels(x, y);
            const bool inGlyph = x >= gx && x < gx + 14 && y >= gy && y < gy + 14;
            if (!inGlyph) {
                EXPECT_TRUE(p == clAqua || p == clBlack) << x << "," << y;
            }
        }
}

TEST_F(OnOffBut, DisabledButtonEmbossesItsCaptionAndShowsTheDisabledPicture) {
    TOnOffBut* b = New();
    b->SetFrameStyle(fstNone);
    b->SetColorBackgnd(clSilver);
    b->Font().SetQuality(fqNonAntialiased);
    b->SetLeftText("I");
    b->SetEnabled(false);
    TBitmap bmp;
    headless::Snapshot(*b, bmp);
    Ink grey = InkOf(bmp, TColor(0x808080), Rect(0, 0, b->LeftSpace(), 50));
    Ink white = InkOf(bmp, clWhite, Rect(0, 0, b->LeftSpace(), 50));
    ASSERT_LE(grey.Left, grey.Right);
    EXPECT_EQ(white.Right, grey.Right + 1); // the white copy one pixel right and down
    EXPECT_EQ(white.Bottom, grey.Bottom + 1);
    const int gx = b->LeftSpace() + 1, gy = b->TopSpace() + 1;
    const TBitmap& dis = b->Glyph(true, false);
    EXPECT_EQ(bmp.Canvas().Pixels(gx + 5, gy + 9), dis.Canvas().Pixels(5, 9));
    EXPECT_NE(dis.Canvas().Pixels(5, 9), b->Glyph(true, true).Canvas().Pixels(5, 9));
}

// ---- User glyphs ------------------------------------------------------------------------------

TEST_F(OnOffBut, UserGlyphIsCutIntoFourStatesAndSetsTheGlyphSize) {
    TOnOffBut* b = New();
    b->SetButtonStyle(oobsUser);
    EXPECT_EQ(b->GlyphWidth(), 20); // the default pictures
    TBitmap img;
    FourColours(img, 12, 8);
    b->SetUserGlyph(img);
    EXPECT_EQ(b->GlyphWidth(), 12);
    EXPECT_EQ(b->GlyphHeight(), 8);
    EXPECT_EQ(b->LeftSpace(), 44); // recentred
    EXPECT_EQ(b->Glyph(true, true).Canvas().Pixels(3, 3), clRed);
    EXPECT_EQ(b->Glyph(false, true).Canvas().Pixels(3, 3), clLime);
    EXPECT_EQ(b->Glyph(true, false).Canvas().Pixels(3, 3), clBlue);
    EXPECT_EQ(b->Glyph(false, false).Canvas().Pixels(3, 3), clYellow);
    b->SetFrameStyle(fstNone);
    TBitmap bmp;
    headless::Snapshot(*b, bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(b->LeftSpace() + 1, b->TopSpace() + 1), clRed);
    ClickGlyph(*b);
    headless::Snapshot(*b, bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(b->LeftSpace() + 1, b->TopSpace() + 1), clLime);
    // Another style keeps the user pictures for later.
    b->SetButtonStyle(oobsCheckbox);
    b->SetButtonStyle(oobsUser);
    EXPECT_EQ(b->GlyphWidth(), 12);
}

TEST_F(OnOffBut, OddOrTinyUserGlyphsAreRefusedAndNothingChanges) {
    TOnOffBut* b = New();
    b->SetName("Lamp");
    b->SetButtonStyle(oobsUser);
    TBitmap good;
    FourColours(good, 5, 3);
    b->SetUserGlyph(good);
    for (auto [w, h] :
         {std::pair{11, 6}, std::pair{10, 7}, std::pair{1, 1}, std::pair{0, 0}, std::pair{2, 1}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        TBitmap bad(w, h);
        try {
            b->SetUserGlyph(bad);
            ADD_FAILURE() << "accepted";
        } catch (const EKELError& e) {
            const std::string m = e.what();
            EXPECT_NE(m.find("Component \"Lamp\""), std::string::npos) << m;
            EXPECT_NE(m.find(std::to_string(w) + " x " + std::to_string(h)), std::string::npos)
                << m;
        }
        EXPECT_EQ(b->GlyphWidth(), 5);
        EXPECT_EQ(b->GlyphHeight(), 3);
        EXPECT_EQ(b->UserGlyph(false, false).Canvas().Pixels(0, 0), clYellow);
    }
    TBitmap smallest;
    FourColours(smallest, 1, 1);
    b->SetUserGlyph(smallest);
    EXPECT_EQ(b->GlyphWidth(), 1);
    EXPECT_EQ(b->Glyph(false, true).Canvas().Pixels(0, 0), clLime);
}

TEST_F(OnOffBut, LoadUserGlyphReadsBmpAndPngAndNamesTheFileWhenItRefuses) {
    const std::filesystem::path dir = std::filesystem::path(KEL_OUT_DIR) / "onoffbut";
    std::filesystem::create_directories(dir);
    TBitmap img;
    FourColours(img, 6, 4);
    const std::string png = (dir / "four.png").string(), bmp = (dir / "four.bmp").string();
    img.SaveToFile(png);
    img.SaveToFile(bmp);
    TBitmap odd(7, 8);
    const std::string oddPng = (dir / "odd.png").string();
    odd.SaveToFile(oddPng);

    TOnOffBut* b = New();
    b->SetButtonStyle(oobsUser);
    b->LoadUserGlyph(png);
    EXPECT_EQ(b->GlyphWidth(), 6);
    EXPECT_EQ(b->Glyph(true, false).Canvas().Pixels(1, 1), clBlue);
    FourColours(img, 4, 4);
    img.SaveToFile(bmp);
    b->LoadUserGlyph(bmp);
    EXPECT_EQ(b->GlyphWidth(), 4);
    try {
        b->LoadUserGlyph(oddPng);
        ADD_FAILURE() << "accepted";
    } catch (const EKELError& e) {
        EXPECT_NE(std::string(e.what()).find("odd.png"), std::string::npos) << e.what();
    }
    EXPECT_THROW(b->LoadUserGlyph((dir / "missing.png").string()), EFOpenError);
    EXPECT_EQ(b->GlyphWidth(), 4);
    EXPECT_EQ(b->Glyph(true, true).Canvas().Pixels(0, 0), clRed);
}

// ---- Geometry and copying ---------------------------------------------------------------------

TEST_F(OnOffBut, AutoCenterRecentresInsteadOfStoringAndFollowsStyleAndSize) {
    TOnOffBut* b = New();
    EXPECT_EQ(b->LeftSpace(), 35); // the constructor's values, the size did not change
    EXPECT_EQ(b->TopSpace(), 18);
    b->SetLeftSpace(3); // recentres
    b->SetTopSpace(4);
    EXPECT_EQ(b->LeftSpace(), 35);
    EXPECT_EQ(b->TopSpace(), 16);
    b->SetButtonStyle(oobsBulb); // 39 x 49
    EXPECT_EQ(b->LeftSpace(), 30);
    EXPECT_EQ(b->TopSpace(), 0);
    b->SetBounds(10, 10, 121, 81);
    EXPECT_EQ(b->LeftSpace(), 41);
    EXPECT_EQ(b->TopSpace(), 16);
    b->SetAutoCenter(false);
    b->SetLeftSpace(3);
    b->SetTopSpace(-4); // ignored
    EXPECT_EQ(b->LeftSpace(), 3);
    EXPECT_EQ(b->TopSpace(), 16);
    b->SetLeftSpace(500); // limited to the width
    EXPECT_EQ(b->LeftSpace(), 121);
}

TEST_F(OnOffBut, AssignCopiesLooksStateAndPicturesButNotTheGroup) {
    TOnOffBut* a = New();
    a->SetButtonStyle(oobsUser);
    TBitmap img;
    FourColours(img, 8, 8);
    a->SetUserGlyph(img);
    a->SetOnOff(false);
    a->SetLeftText("L");
    a->SetBottomTextAlignment(taRightJustify);
    a->SetTransparent(true);
    a->SetColorScheme(cschSystem);
    a->SetGroupIndex(4);
    a->SetMode(oobmSpeedBut);
    a->SetEnabled(false);
    TOnOffBut* b = New(120, 10);
    b->Assign(a);
    EXPECT_EQ(b->ButtonStyle(), oobsUser);
    EXPECT_EQ(b->GlyphWidth(), 8);
    EXPECT_FALSE(b->OnOff());
    EXPECT_EQ(b->LeftText(), "L");
    EXPECT_EQ(b->BottomTextAlignment(), taRightJustify);
    EXPECT_TRUE(b->Transparent());
    EXPECT_EQ(b->ColorScheme(), cschSystem);
    EXPECT_FALSE(b->Enabled());
    EXPECT_EQ(b->GroupIndex(), 0);
    EXPECT_EQ(b->Mode(), oobmNormalBut);
    EXPECT_EQ(b->Glyph(true, true).Canvas().Pixels(1, 1), clRed);
    EXPECT_EQ(b->UserGlyph(false, false).Canvas().Pixels(1, 1), clYellow);
    // Copies, not shared: a new user glyph on a leaves b's alone.
    FourColours(img, 4, 4);
    a->SetUserGlyph(img);
    EXPECT_EQ(b->GlyphWidth(), 8);
    TSpeedButton sb(nullptr);
    EXPECT_THROW(b->Assign(&sb), EConvertError);
}

TEST(OnOffButFormFile, KeepsTheSettingsAndRecentresAfterLoading) {
    TOnOffBut b(nullptr);
    b.SetButtonStyle(oobsTrafficLPed);
    b.SetGroupIndex(7);
    b.SetAllowAllOff(false);
    b.SetOnOff(false);
    b.SetRightText("Walk");
    b.SetRightTextAlignment(taCenter);
    b.SetMouseAction(oomaPlain);
    b.SetMode(oobmSpeedBut);
    std::unique_ptr<TComponent> back(ComponentFromText(ComponentToText(b), nullptr));
    auto* c = dynamic_cast<TOnOffBut*>(back.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ButtonStyle(), oobsTrafficLPed);
    EXPECT_EQ(c->GlyphWidth(), 31);
    EXPECT_EQ(c->GroupIndex(), 7);
    EXPECT_FALSE(c->AllowAllOff());
    EXPECT_FALSE(c->OnOff());
    EXPECT_EQ(c->RightText(), "Walk");
    EXPECT_EQ(c->RightTextAlignment(), taCenter);
    EXPECT_EQ(c->MouseAction(), oomaPlain);
    EXPECT_EQ(c->Mode(), oobmSpeedBut);
    // AutoCenter wins once everything is read, whatever the file says.
    std::unique_ptr<TComponent> odd(ComponentFromText(
        "object TOnOffBut\n  LeftSpace = 3\n  Width = 60\n  Height = 40\nend\n", nullptr));
    EXPECT_EQ(static_cast<TOnOffBut*>(odd.get())->LeftSpace(), 15);
    EXPECT_EQ(static_cast<TOnOffBut*>(odd.get())->TopSpace(), 11);
}

// ---- Reference image --------------------------------------------------------------------------

TEST_F(OnOffBut, ReferenceImageOfEveryStyleInItsFourStates) {
    // Per style one row: on, off, on disabled, off disabled; a 64 x 56 button per state.
    constexpr int kW = 64, kH = 56;
    TBitmap sheet(4 * kW, 23 * kH);
    TOnOffBut* b = New(0, 0);
    b->SetBounds(0, 0, kW, kH);
    b->SetFrameStyle(fstLoweredThin);
    for (int s = 1; s <= 23; ++s) {
        b->SetButtonStyle(TOnOffButStyle(s));
        for (int i = 0; i < 4; ++i) {
            b->SetEnabled(i < 2);
            b->SetOnOff(i % 2 == 0);
            TBitmap bmp;
            headless::Snapshot(*b, bmp);
            sheet.Canvas().CopyRect(Bounds(i * kW, (s - 1) * kH, kW, kH), bmp.Canvas(),
                                    Rect(0, 0, kW, kH));
        }
    }
    EXPECT_TRUE(test::MatchesReferenceAndDocs(sheet, "widgets", "onoffbut_styles"));
}

TEST_F(OnOffBut, ReferenceImageOfCaptionsTransparencyAndTheDisabledLook) {
    form->SetColor(TColor(0xF0E0C0));
    TOnOffBut* a = New(10, 10);
    a->SetBounds(10, 10, 140, 80);
    a->SetButtonStyle(oobsSlideLR);
    a->SetLeftText("Off");
    a->SetRightText("On");
    a->SetTopText("Pump 1");
    a->SetBottomText("auto");
    TOnOffBut* b = New(160, 10);
    b->SetBounds(160, 10, 140, 80);
    b->SetButtonStyle(oobsTrafficLPed);
    b->SetTransparent(true);
    b->SetFrameStyle(fstNone);
    b->SetRightText("Walk");
    b->SetLeftText("Wait");
    b->SetOnOff(false);
    TOnOffBut* c = New(10, 100);
    c->SetBounds(10, 100, 140, 80);
    c->SetButtonStyle(oobsCheckbox);
    c->SetRightText("Disabled");
    c->SetRightTextAlignment(taRightJustify);
    c->SetEnabled(false);
    TOnOffBut* d = New(160, 100);
    d->SetBounds(160, 100, 140, 80);
    d->SetButtonStyle(oobsBulb);
    d->SetFrameStyle(fstRaised);
    d->SetLeftText("Light");
    d->SetLeftTextAlignment(taLeftJustify);
    TBitmap bmp;
    headless::Snapshot(*form, bmp);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(bmp, "widgets", "onoffbut_looks"));
}
