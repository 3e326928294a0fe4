// Tests of the panel (bevels, border ring, caption, ParentBackground, aligned children inside
// the frame) and of the style services the controls take their colours from.
#include "controls_test_util.h"
#include "kel_buttons.h"
#include "kel_extctrls.h"
#include "kel_test_support.h"
#include "kel_themes.h"

#include <gtest/gtest.h>

namespace kel::test {
namespace {

using namespace kel::headless;

class PanelTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        form->SetColor(clWhite);
        panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetLeft(5);
        panel->SetTop(5);
    }
    TPanel* panel = nullptr;
};

TEST_F(PanelTest, DefaultsAndTheRaisedBevel) {
    EXPECT_EQ(panel->Width(), 185);
    EXPECT_EQ(panel->Height(), 41);
    EXPECT_EQ(panel->BevelOuter(), bvRaised);
    EXPECT_EQ(panel->BevelInner(), bvNone);
    EXPECT_EQ(panel->Color(), clBtnFace);
    panel->SetParentBackground(false);
    EXPECT_EQ(PixelAt(*panel, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(*panel, 0, 40), ColorToRGB(clBtnShadow)); // bottom-left: the shadow's
    EXPECT_EQ(PixelAt(*panel, 184, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(*panel, 1, 1), ColorToRGB(clBtnFace));
    panel->SetBevelOuter(bvLowered);
    EXPECT_EQ(PixelAt(*panel, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(*panel, 184, 40), ColorToRGB(clBtnHighlight));
}

TEST_F(PanelTest, BevelsBorderAndFrameStackAndChildrenAlignInside) {
    panel->SetParentBackground(false);
    panel->SetColor(clYellow);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    panel->SetBevelInner(bvLowered);
    panel->SetBorderStyle(bsSingle);
    EXPECT_EQ(panel->FrameWidth(), 1 + 2 + 3 + 2);
    EXPECT_EQ(PixelAt(*panel, 0, 10), ColorToRGB(clWindowFrame));
    EXPECT_EQ(PixelAt(*panel, 2, 10), ColorToRGB(clBtnHighlight)); // outer raised, 2 wide
    EXPECT_EQ(PixelAt(*panel, 3, 10), ColorToRGB(clYellow));       // the border ring
    EXPECT_EQ(PixelAt(*panel, 6, 10), ColorToRGB(clBtnShadow));    // inner lowered
    EXPECT_EQ(PixelAt(*panel, 8, 10), ColorToRGB(clYellow));       // the interior
    auto* child = new TSpeedButton(form.get());
    child->SetParent(panel);
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), Rect(8, 8, 185 - 8, 41 - 8));
    panel->SetBorderWidth(0);
    EXPECT_EQ(child->BoundsRect(), Rect(5, 5, 185 - 5, 41 - 5));
}

TEST_F(PanelTest, ParentBackgroundShowsTheParentColourUntilSwitchedOff) {
    panel->SetColor(clRed);
    EXPECT_EQ(PixelAt(*panel, 90, 3), ColorToRGB(clWhite));
    panel->SetParentBackground(false);
    EXPECT_EQ(PixelAt(*panel, 90, 3), ColorToRGB(clRed));
}

TEST_F(PanelTest, TheCaptionIsCentredAndAlignable) {
    panel->SetParentBackground(false);
    panel->SetCaption("Mid");
    TBitmap m(1, 1);
    int tw = m.Canvas().TextWidth("Mid"), th = m.Canvas().TextHeight("Wg");
    auto inkColumns = [&](int& first, int& last) {
        first = -1;
        last = -1;
        for (int x = 1; x < 184; ++x)
            for (int y = 1; y < 40; ++y)
                if (PixelAt(*panel, x, y) != ColorToRGB(clBtnFace)) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
    };
    int first = 0, last = 0;
    inkColumns(first, last);
    int left = 1 + (183 - tw) / 2;
    EXPECT_GE(first, left);
    EXPECT_LE(last, left + tw);
    panel->SetAlignment(taLeftJustify);
    inkColumns(first, last);
    EXPECT_LE(first, 1 + 2);
    panel->SetShowCaption(false);
    inkColumns(first, last);
    EXPECT_EQ(first, -1);
    (void)th;
}

// A style of its own: every face is green.
class TGreenStyle : public TCustomStyleServices {
  public:
    std::string Name() const override { return "Green"; }
    bool Enabled() const override { return false; }
    TColor GetStyleColor(TStyleColor Element) const override {
        return Element == scButtonFace ? clGreen : TCustomStyleServices::GetStyleColor(Element);
    }
};

TEST(StyleServicesTest, ControlsAskTheActiveStyleForTheirColours) {
    EXPECT_EQ(StyleServices().Name(), "Desktop");
    EXPECT_EQ(StyleServices().GetStyleColor(scHighlight), clHighlight);
    EXPECT_EQ(StyleServices().GetStyleColor(scGrayText), clGrayText);
    EXPECT_EQ(StyleServices().GetSystemColor(clBtnFace), ColorToRGB(clBtnFace));
    EXPECT_EQ(StyleServices().GetSystemColor(clRed), clRed);
    TFont f;
    StyleServices().GetStyleFont(sfCaption, f);
    EXPECT_TRUE(f.Style().contains(fsBold));
    TGreenStyle green;
    SetStyleServices(&green);
    TPanel p(nullptr);
    TSpeedButton b(nullptr);
    EXPECT_EQ(p.Color(), clGreen);
    EXPECT_EQ(b.Color(), clGreen);
    // Without visual styles ParentBackground has no effect.
    TForm host(nullptr);
    host.SetColor(clWhite);
    p.SetParent(&host);
    EXPECT_EQ(p.BackgroundColor(), clGreen);
    p.SetParent(nullptr);
    SetStyleServices(nullptr);
    EXPECT_EQ(StyleServices().Name(), "Desktop");
}

TEST_F(PanelTest, DrawsPanelsWithBevelsAndCaptions) {
    panel->SetCaption("Raised panel");
    panel->SetParentBackground(false);
    auto* lowered = new TPanel(form.get());
    lowered->SetParent(form.get());
    lowered->SetBounds(5, 55, 120, 40);
    lowered->SetBevelOuter(bvLowered);
    lowered->SetBevelInner(bvRaised);
    lowered->SetBorderWidth(2);
    lowered->SetCaption("Lowered");
    lowered->SetParentBackground(false);
    auto* disabled = new TPanel(form.get());
    disabled->SetParent(form.get());
    disabled->SetBounds(5, 100, 120, 40);
    disabled->SetBorderStyle(bsSingle);
    disabled->SetCaption("Disabled");
    disabled->SetEnabled(false);
    TBitmap shot;
    Snapshot(*form, shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/extctrls_panel"));
}

} // namespace
} // namespace kel::test
