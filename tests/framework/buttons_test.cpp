// Tests of the buttons: the speed button's click rule and event order, its toggle groups
// (one down per group, AllowAllUp, Down set by code), glyph images and transparency, the flat
// hover look; the push button's Default, Cancel, Space and ModalResult; the drawn look.
#include "controls_test_util.h"
#include "kel_buttons.h"
#include "kel_extctrls.h"
#include "kel_test_support.h"
#include "kel_themes.h"

#include <gtest/gtest.h>

#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

class SpeedButtonTest : public FormFixture {
  protected:
    TSpeedButton* Make(int left, int group = 0) {
        auto* b = new TSpeedButton(form.get());
        b->SetParent(form.get());
        b->SetBounds(left, 10, 23, 22);
        b->SetGroupIndex(group);
        return b;
    }
};

TEST_F(SpeedButtonTest, OnMouseUpComesBeforeOnClickAndOnlyAReleaseInsideClicks) {
    TSpeedButton* b = Make(10);
    WatchMouse(*b, "b");
    ClickAt(*b, 5, 5);
    EXPECT_EQ(Log(), "b.move[](5,5) b.enter b.downL[Left](5,5) b.upL[](5,5) b.click");
    log.clear();
    // Released outside: the face comes back up and nothing is clicked.
    MouseDownAt(*b, 5, 5);
    EXPECT_EQ(b->State(), bsDown);
    MoveTo(*b, 40, 5, TShiftState{ssLeft});
    EXPECT_EQ(b->State(), bsUp); // the face follows the pointer while held
    MouseUpAt(*b, 40, 5);
    EXPECT_NE(Log().find("b.upL[](40,5)"), std::string::npos);
    EXPECT_EQ(Log().find("click"), std::string::npos);
    EXPECT_EQ(b->State(), bsUp);
    EXPECT_FALSE(b->Down()); // a push button never stays down
}

TEST_F(SpeedButtonTest, ReleaseOnTheBottomEdgeStillCountsAsInsideButNotOnTheRightEdge) {
    TSpeedButton* b = Make(10);
    int clicks = 0;
    b->SetOnClick([&](TObject*) { ++clicks; });
    MouseDownAt(*b, 5, 5);
    MouseUpAt(*b, 5, b->Height()); // 0 <= Y <= Height
    EXPECT_EQ(clicks, 1);
    MouseDownAt(*b, 5, 5);
    MouseUpAt(*b, b->Width(), 5); // X < Width
    EXPECT_EQ(clicks, 1);
    MouseDownAt(*b, 5, 5);
    MouseUpAt(*b, 5, b->Height() + 1);
    EXPECT_EQ(clicks, 1);
    // A right button never clicks.
    ClickAt(*b, 5, 5, {}, mbRight);
    EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonTest, AGroupKeepsAtMostOneButtonDown) {
    TSpeedButton* a = Make(10, 1);
    TSpeedButton* b = Make(40, 1);
    TSpeedButton* other = Make(70, 2);
    other->SetDown(true);
    ClickAt(*a, 5, 5);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), bsExclusive);
    ClickAt(*b, 5, 5);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), bsUp);
    EXPECT_TRUE(other->Down()); // another group is not touched
    // Without AllowAllUp the down button stays down when clicked, by mouse or code.
    ClickAt(*b, 5, 5);
    EXPECT_TRUE(b->Down());
    b->SetDown(false);
    EXPECT_TRUE(b->Down());
    // Setting Down by code raises the other member.
    a->SetDown(true);
    EXPECT_TRUE(a->Down());
    EXPECT_FALSE(b->Down());
}

TEST_F(SpeedButtonTest, AllowAllUpIsSharedByTheGroupAndLetsTheDownButtonGoUp) {
    TSpeedButton* a = Make(10, 3);
    TSpeedButton* b = Make(40, 3);
    TSpeedButton* c = Make(70, 4);
    a->SetAllowAllUp(true);
    EXPECT_TRUE(b->AllowAllUp());
    EXPECT_FALSE(c->AllowAllUp());
    ClickAt(*b, 5, 5);
    EXPECT_TRUE(b->Down());
    ClickAt(*b, 5, 5);
    EXPECT_FALSE(b->Down());
    EXPECT_FALSE(a->Down());
    a->SetDown(true);
    a->SetDown(false);
    EXPECT_FALSE(a->Down());
    // A push button ignores Down.
    TSpeedButton* push = Make(100);
    push->SetDown(true);
    EXPECT_FALSE(push->Down());
    // Leaving the group releases a down button.
    b->SetDown(true);
    b->SetGroupIndex(0);
    EXPECT_FALSE(b->Down());
}

TEST_F(SpeedButtonTest, OnClickSeesTheNewDownState) {
    TSpeedButton* a = Make(10, 1);
    a->SetName("SpeedButton1");
    EXPECT_EQ(a->Caption(), ""); // the caption does not take the name
    bool downInClick = false;
    a->SetOnClick([&](TObject*) { downInClick = a->Down(); });
    ClickAt(*a, 5, 5);
    EXPECT_TRUE(downInClick);
}

// A 2-image glyph: image 0 red with a blue frame, image 1 green; the bottom-left pixel (blue)
// is the transparent colour.
void MakeGlyph(TBitmap& g, int images) {
    g.SetSize(8 * images, 8);
    for (int i = 0; i < images; ++i) {
        g.Canvas().Brush().SetColor(clBlue);
        g.Canvas().FillRect(Bounds(8 * i, 0, 8, 8));
        g.Canvas().Brush().SetColor(i == 0 ? clRed : i == 1 ? clLime : i == 2 ? clYellow : clNavy);
        g.Canvas().FillRect(Bounds(8 * i + 2, 2, 4, 4));
    }
}

TEST_F(SpeedButtonTest, GlyphImagesFollowTheStateAndTheBottomLeftColourIsTransparent) {
    TSpeedButton* b = Make(10, 1);
    b->SetAllowAllUp(true);
    TBitmap g;
    MakeGlyph(g, 4);
    b->SetGlyph(g);
    b->SetNumGlyphs(4);
    TRect gr;
    TPoint tp;
    b->CalcLayout(gr, tp);
    EXPECT_EQ(gr, Bounds((23 - 8) / 2, (22 - 8) / 2, 8, 8)); // no caption: centred
    EXPECT_EQ(PixelAt(*b, gr.Left + 3, gr.Top + 3), ColorToRGB(clRed));
    // The blue frame is transparent: the face shows through.
    EXPECT_EQ(PixelAt(*b, gr.Left, gr.Top), ColorToRGB(clBtnFace));
    MouseDownAt(*b, 5, 5);
    EXPECT_EQ(PixelAt(*b, gr.Left + 4, gr.Top + 4), ColorToRGB(clYellow)); // pressed, moved 1 px
    MouseUpAt(*b, 5, 5);
    EXPECT_EQ(PixelAt(*b, gr.Left + 4, gr.Top + 4), ColorToRGB(clNavy)); // stays down
    b->SetDown(false);
    b->SetEnabled(false);
    EXPECT_EQ(PixelAt(*b, gr.Left + 3, gr.Top + 3), ColorToRGB(clLime));
    // Fewer images: missing ones fall back to the up image; a missing disabled image is drawn
    // embossed from it.
    b->SetNumGlyphs(1);
    EXPECT_EQ(b->GlyphIndexFor(bsDown), 0);
    EXPECT_EQ(b->GlyphIndexFor(bsDisabled), -1);
    b->SetNumGlyphs(9);
    EXPECT_EQ(b->NumGlyphs(), 4);
}

TEST_F(SpeedButtonTest, LayoutMarginAndSpacingPlaceGlyphAndCaption) {
    TSpeedButton* b = Make(10);
    b->SetBounds(10, 10, 100, 30);
    TBitmap g;
    MakeGlyph(g, 1);
    b->SetGlyph(g);
    b->SetCaption("Go");
    TBitmap m(1, 1);
    int tw = m.Canvas().TextWidth("Go");
    TRect gr;
    TPoint tp;
    b->CalcLayout(gr, tp);
    // Margin -1: glyph, 4 pixels, caption, centred as a block.
    int left = (100 - 8 - 4 - tw) / 2;
    EXPECT_EQ(gr.Left, left);
    EXPECT_EQ(tp.X, left + 8 + 4);
    b->SetMargin(3);
    b->SetSpacing(10);
    b->CalcLayout(gr, tp);
    EXPECT_EQ(gr.Left, 3);
    EXPECT_EQ(tp.X, 3 + 8 + 10);
    b->SetLayout(blGlyphRight);
    b->CalcLayout(gr, tp);
    EXPECT_EQ(gr.Right, 100 - 3);
    EXPECT_EQ(tp.X + tw, gr.Left - 10);
    b->SetLayout(blGlyphTop);
    b->CalcLayout(gr, tp);
    EXPECT_EQ(gr.Top, 3);
    EXPECT_EQ(tp.Y, 3 + 8 + 10);
}

TEST_F(SpeedButtonTest, AFlatButtonShowsItsBorderOnlyUnderThePointer) {
    form->SetColor(clWhite);
    TSpeedButton* b = Make(10);
    b->SetFlat(true);
    EXPECT_EQ(PixelAt(*b, 0, 0), ColorToRGB(clWhite)); // transparent: the form shows
    MoveTo(*b, 5, 5);
    EXPECT_TRUE(b->MouseInControl());
    EXPECT_EQ(PixelAt(*b, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(*b, 22, 21), ColorToRGB(clBtnShadow));
    MoveTo(*form, 150, 100);
    EXPECT_FALSE(b->MouseInControl());
    EXPECT_EQ(PixelAt(*b, 0, 0), ColorToRGB(clWhite));
    b->SetTransparent(false);
    EXPECT_EQ(PixelAt(*b, 0, 0), ColorToRGB(clBtnFace));
}

// ---- TButton ----------------------------------------------------------------------------------

class ButtonTest : public FormFixture {
  protected:
    TButton* Make(int left, const std::string& caption) {
        auto* b = new TButton(form.get());
        b->SetParent(form.get());
        b->SetBounds(left, 10, 60, 25);
        b->SetCaption(caption);
        return b;
    }
};

TEST_F(ButtonTest, ClickFiresBeforeMouseUpAndFocusesTheButton) {
    TButton* b = Make(10, "OK");
    WatchMouse(*b, "b");
    ClickAt(*b, 5, 5);
    EXPECT_EQ(Log(), "b.move[](5,5) b.enter b.downL[Left](5,5) b.click b.upL[](5,5)");
    EXPECT_TRUE(b->Focused());
    EXPECT_FALSE(b->Pressed());
}

TEST_F(ButtonTest, EnterClicksTheFocusedOrDefaultButtonEscTheCancelOneSpaceTheFocusedOne) {
    TButton* ok = Make(10, "OK");
    TButton* cancel = Make(80, "Cancel");
    TButton* other = Make(150, "Other");
    ok->SetDefault(true);
    cancel->SetCancel(true);
    std::vector<std::string> clicks;
    ok->SetOnClick([&](TObject*) { clicks.push_back("ok"); });
    cancel->SetOnClick([&](TObject*) { clicks.push_back("cancel"); });
    other->SetOnClick([&](TObject*) { clicks.push_back("other"); });
    KeyStroke(*form, VK_RETURN); // nothing focused: the default button
    KeyStroke(*form, VK_ESCAPE);
    other->SetFocus();
    KeyStroke(*form, VK_RETURN); // a focused button takes Enter itself
    KeyDown(*form, VK_SPACE);
    EXPECT_TRUE(other->Pressed());
    KeyUp(*form, VK_SPACE); // Space clicks on release
    EXPECT_EQ(clicks, (std::vector<std::string>{"ok", "cancel", "other", "other"}));
    ok->SetEnabled(false);
    other->SetFocus();
    form->FocusControl(nullptr);
    KeyStroke(*form, VK_RETURN); // a disabled default button does nothing
    EXPECT_EQ(clicks.size(), 4u);
}

TEST_F(ButtonTest, TheAcceleratorIsUnderlinedAndItsMarkerNotShown) {
    EXPECT_EQ(StripAccelChars("&&Save &as &x"), "&Save as x");
    int accel = 0;
    StripAccelChars("&&Save &as", &accel);
    EXPECT_EQ(accel, 6);
    TButton* b = Make(10, "&Go");
    TBitmap m(1, 1);
    const int tw = m.Canvas().TextWidth("Go"), th = m.Canvas().TextHeight("Wg");
    const int gw = m.Canvas().TextWidth("G");
    const int x = (60 - tw) / 2, y = (25 - th) / 2;
    const int line = y + m.Canvas().TextMetrics().tmAscent + 1;
    for (int px = x; px < x + gw; ++px) EXPECT_EQ(PixelAt(*b, px, line), ColorToRGB(clBtnText));
    EXPECT_EQ(PixelAt(*b, x + gw + 1, line), ColorToRGB(clBtnFace)); // not under the "o"
}

TEST_F(ButtonTest, AltWithTheAcceleratorClicksTheButtonOnTheForm) {
    TButton* save = Make(10, "&Save");
    TButton* close = Make(80, "Cl&ose");
    TButton* plain = Make(150, "Quit");
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 60, 200, 60);
    auto* inner = new TButton(form.get());
    inner->SetParent(panel);
    inner->SetBounds(5, 5, 60, 25);
    inner->SetCaption("&Next");
    std::vector<std::string> clicks;
    save->SetOnClick([&](TObject*) { clicks.push_back("save"); });
    close->SetOnClick([&](TObject*) { clicks.push_back("close"); });
    plain->SetOnClick([&](TObject*) { clicks.push_back("quit"); });
    inner->SetOnClick([&](TObject*) { clicks.push_back("next"); });
    close->SetModalResult(mrClose);
    KeyStroke(*form, 'S', {ssAlt});
    KeyStroke(*form, 'O', {ssAlt}); // the marked letter, not the first one
    KeyStroke(*form, 'C', {ssAlt});
    KeyStroke(*form, 'Q', {ssAlt});         // no accelerator in "Quit"
    KeyStroke(*form, 'N', {ssAlt});         // inside a panel
    KeyStroke(*form, 'S');                  // without Alt: no accelerator
    KeyStroke(*form, 'S', {ssAlt, ssCtrl}); // AltGr: a character, not an accelerator
    EXPECT_EQ(clicks, (std::vector<std::string>{"save", "close", "next"}));
    EXPECT_EQ(form->ModalResult(), mrClose); // a click like any other
    EXPECT_FALSE(save->Focused());           // clicked, not focused
    // Disabled, hidden, or in a disabled or hidden container: nothing.
    save->SetEnabled(false);
    KeyStroke(*form, 'S', {ssAlt});
    save->SetEnabled(true);
    save->SetVisible(false);
    KeyStroke(*form, 'S', {ssAlt});
    panel->SetEnabled(false);
    KeyStroke(*form, 'N', {ssAlt});
    panel->SetEnabled(true);
    panel->SetVisible(false);
    KeyStroke(*form, 'N', {ssAlt});
    EXPECT_EQ(clicks.size(), 3u);
    // Two buttons with the same letter: the first in the parent's order takes it, once.
    save->SetVisible(true);
    plain->SetCaption("&Stop");
    KeyStroke(*form, 'S', {ssAlt});
    EXPECT_EQ(clicks, (std::vector<std::string>{"save", "close", "next", "save"}));
    // "&&" is a literal ampersand, not a marker.
    plain->SetCaption("&&Quit");
    save->SetCaption("Save");
    KeyStroke(*form, 'Q', {ssAlt});
    EXPECT_EQ(clicks.size(), 4u);
    EXPECT_TRUE(IsAccel('q', "&Quit"));
    EXPECT_TRUE(IsAccel('Q', "&quit"));
    EXPECT_FALSE(IsAccel('q', "Q&uit"));
}

TEST_F(ButtonTest, DrawsRaisedPressedDefaultAndDisabledButtons) {
    TButton* a = Make(10, "Default");
    a->SetDefault(true);
    TButton* b = Make(80, "Pressed");
    TButton* c = Make(10, "Disabled");
    c->SetTop(50);
    c->SetEnabled(false);
    TButton* d = Make(80, "Plain");
    d->SetTop(50);
    // Speed buttons: with glyph and caption, down in a group, flat, disabled (embossed glyph).
    TBitmap g;
    MakeGlyph(g, 1);
    auto speed = [&](int left, const std::string& caption) {
        auto* sb = new TSpeedButton(form.get());
        sb->SetParent(form.get());
        sb->SetBounds(left, 90, caption.empty() ? 23 : 50, 24);
        sb->SetGlyph(g);
        sb->SetCaption(caption);
        return sb;
    };
    speed(10, "Up");
    TSpeedButton* down = speed(65, "Down");
    down->SetGroupIndex(1);
    down->SetDown(true);
    speed(120, "")->SetFlat(true);
    speed(150, "")->SetEnabled(false);
    MouseDownAt(*b, 5, 5);
    EXPECT_EQ(PixelAt(*a, 0, 0), ColorToRGB(cl3DDkShadow)); // the default ring
    EXPECT_EQ(PixelAt(*d, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(*d, 59, 24), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(PixelAt(*b, 1, 1), ColorToRGB(clBtnShadow)); // pressed: flat shadow ring
    TBitmap shot;
    Snapshot(*form, shot);
    MouseUpAt(*b, 5, 5);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/buttons"));
}

} // namespace
} // namespace kel::test
