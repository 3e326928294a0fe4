// The popup layer: placement on the screen, no activation, routing of the other forms' input,
// a press outside closing every popup (used up with its release), and composing popups into
// the pixels of the form below.
#include "controls_test_util.h"
#include "kel_popup.h"

#include <gtest/gtest.h>

namespace kel::test {
namespace {

class TPaintedPopup : public TPopupWindow {
  public:
    using TPopupWindow::TPopupWindow;
    std::vector<std::string>* Log = nullptr;

  protected:
    void Paint() override {
        Canvas().Brush().SetColor(clRed);
        Canvas().FillRect(ClientRect());
    }
    void MouseDown(TMouseButton B, TShiftState S, int X, int Y) override {
        if (Log) Log->push_back("popup.down(" + std::to_string(X) + "," + std::to_string(Y) + ")");
        TPopupWindow::MouseDown(B, S, X, Y);
    }
};

class PopupTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        edit = new TCountingWin(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(0, 0, 100, 100);
        edit->SetTabStop(true);
        WatchMouse(*edit, "c");
        WatchKeys(*edit, "c");
        edit->SetFocus();
        popup = std::make_unique<TPaintedPopup>(nullptr);
        popup->Log = &log;
        popup->SetBounds(0, 0, 40, 30);
        popup->SetOnDismiss([this](TObject*) { log.push_back("dismiss"); });
        log.clear();
    }
    void TearDown() override {
        popup.reset();
        FormFixture::TearDown();
    }
    TCountingWin* edit = nullptr;
    std::unique_ptr<TPaintedPopup> popup;
};

TEST_F(PopupTest, OpensWithoutTakingTheFocusAndStaysOnTheScreen) {
    popup->PopupAt({50, 60});
    EXPECT_EQ(popup->ScreenRect(), Bounds(50, 60, 40, 30));
    EXPECT_TRUE(form->Active());
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(Log(), "");         // no exit, no kill focus
    popup->PopupAt({1900, 1070}); // the headless screen is 1920 x 1080
    EXPECT_EQ(popup->ScreenRect(), Bounds(1880, 1050, 40, 30));
    popup->PopupBelow(Bounds(10, 1070, 50, 5)); // no room below: above the anchor
    EXPECT_EQ(popup->ScreenRect().Bottom, 1070);
    popup->PopupBelow(Bounds(10, 100, 50, 5));
    EXPECT_EQ(popup->ScreenRect().Top, 105);
    popup->PopupBeside(Bounds(100, 50, 60, 20)); // to the right ...
    EXPECT_EQ(popup->ScreenRect().Left, 160);
    popup->PopupBeside(Bounds(1850, 50, 60, 20)); // ... or to the left when there is no room
    EXPECT_EQ(popup->ScreenRect().Right, 1850);
}

TEST_F(PopupTest, ItsPixelsShowOverTheFormBelow) {
    popup->PopupAt({form->ClientOrigin().X + 10, form->ClientOrigin().Y + 20});
    EXPECT_EQ(headless::PixelAt(*form, 10, 20), clRed);
    EXPECT_EQ(headless::PixelAt(*form, 49, 49), clRed);
    EXPECT_EQ(headless::PixelAt(*form, 50, 50), clWhite);
    popup->ClosePopup();
    EXPECT_EQ(headless::PixelAt(*form, 10, 20), clWhite);
}

TEST_F(PopupTest, MouseInputOfTheFormGoesToThePopupUnderThePointer) {
    popup->PopupAt({form->ClientOrigin().X + 10, form->ClientOrigin().Y + 20});
    headless::ClickAt(*form, 15, 25);
    EXPECT_EQ(Log(), "popup.down(5,5)");
    EXPECT_TRUE(popup->IsOpen());
}

TEST_F(PopupTest, PressOutsideClosesAndIsUsedUpWithItsRelease) {
    popup->PopupAt({form->ClientOrigin().X + 150, form->ClientOrigin().Y + 100});
    headless::ClickAt(*form, 30, 30); // on the control, outside the popup
    EXPECT_FALSE(popup->IsOpen());
    EXPECT_EQ(OpenPopupCount(), 0);
    EXPECT_EQ(Log(), "dismiss");
    headless::ClickAt(*form, 30, 31);
    EXPECT_NE(Log().find("c.click"), std::string::npos);
}

TEST_F(PopupTest, KeysStayWithTheFocusedControlUnlessThePopupTakesThem) {
    popup->PopupAt({300, 300});
    headless::KeyStroke(*form, 'A');
    EXPECT_EQ(Log(), "c.keydown(65)[] c.keyup(65)");
    log.clear();
    popup->SetTakesKeys(true);
    headless::KeyStroke(*form, 'A');
    EXPECT_EQ(Log(), "");
}

TEST_F(PopupTest, ClosingAPopupClosesThoseOpenedAboveIt) {
    TPaintedPopup second(nullptr);
    second.SetBounds(0, 0, 10, 10);
    popup->PopupAt({300, 300});
    second.PopupAt({400, 300});
    EXPECT_EQ(TopPopup(), &second);
    popup->ClosePopup();
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(OpenPopupCount(), 0);
}

} // namespace
} // namespace kel::test
