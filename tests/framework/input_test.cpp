// Mouse and keyboard dispatch through the headless host: event order of clicks and double
// clicks, capture, enter and leave, fall-through of disabled windowless controls, the wheel,
// key order and characters, dialog keys, focus and tab order, key preview.
#include "controls_test_util.h"

namespace kel::test {
namespace {

using namespace kel::headless;

class InputTest : public FormFixture {};

// ---- Mouse ------------------------------------------------------------------------------------

TEST_F(InputTest, ClickFiresOnClickBeforeOnMouseUp) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(10, 10, 50, 40);
    WatchMouse(*g, "g");
    ClickAt(*form, 20, 30);
    EXPECT_EQ(Log(), "g.move[](10,20) g.enter g.downL[Left](10,20) g.click g.upL[](10,20)");
}

TEST_F(InputTest, ReleaseOutsideTheControlGivesMouseUpButNoClick) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(10, 10, 50, 40);
    WatchMouse(*g, "g");
    MouseDownAt(*form, 20, 20);
    log.clear();
    MouseUpAt(*form, 100, 120);
    // The move to the release point still goes to the pressed control (capture), with
    // coordinates beyond its size; no click; the leave comes only after the release.
    EXPECT_EQ(Log(), "g.move[Left](90,110) g.upL[](90,110) g.leave");
}

TEST_F(InputTest, DoubleClickGivesDownClickUpDblClickDownWithDoubleUp) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(0, 0, 50, 50);
    WatchMouse(*g, "g");
    MoveTo(*form, 5, 5);
    log.clear();
    DoubleClickAt(*form, 5, 5);
    EXPECT_EQ(Log(), "g.downL[Left](5,5) g.click g.upL[](5,5) g.dblclick "
                     "g.downL[Left,Double](5,5) g.upL[](5,5)");
}

TEST_F(InputTest, ControlWithoutDoubleClicksGetsTheSecondPressAsAPlainPress) {
    auto* g = new TCountingGraphic(form.get());
    g->ExcludeStyle(csDoubleClicks);
    g->SetParent(form.get());
    g->SetBounds(0, 0, 50, 50);
    WatchMouse(*g, "g");
    MoveTo(*form, 5, 5);
    log.clear();
    DoubleClickAt(*form, 5, 5);
    EXPECT_EQ(Log(), "g.downL[Left](5,5) g.click g.upL[](5,5) g.downL[Left](5,5) g.click "
                     "g.upL[](5,5)");
}

TEST_F(InputTest, CaptureKeepsMovesOnThePressedControlWhileDraggingOutside) {
    auto* a = new TCountingGraphic(form.get());
    a->SetParent(form.get());
    a->SetBounds(0, 0, 50, 50);
    auto* b = new TCountingGraphic(form.get());
    b->SetParent(form.get());
    b->SetBounds(100, 0, 50, 50);
    WatchMouse(*a, "a");
    WatchMouse(*b, "b");
    MoveTo(*form, 10, 10);
    log.clear();
    MouseDownAt(*form, 10, 10);
    EXPECT_TRUE(a->MouseCapture());
    MoveTo(*form, 120, 10, {});
    MoveTo(*form, -30, 300, {});
    MouseUpAt(*form, 120, 10);
    EXPECT_FALSE(a->MouseCapture());
    EXPECT_EQ(Log(), "a.downL[Left](10,10) a.move[Left](120,10) a.move[Left](-30,300) "
                     "a.move[Left](120,10) a.upL[](120,10) a.leave b.enter");
}

TEST_F(InputTest, EnterAndLeaveFollowTheMoveThatCausedThem) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(50, 50, 100, 80);
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(panel);
    g->SetBounds(10, 10, 20, 20);
    WatchMouse(*form, "form");
    WatchMouse(*panel, "panel");
    WatchMouse(*g, "g");
    MoveTo(*form, 5, 5);
    MoveTo(*form, 55, 55);
    MoveTo(*form, 65, 65);
    MoveTo(*form, 66, 65);
    LeaveWindow(*form);
    EXPECT_EQ(Log(), "form.move[](5,5) form.enter panel.move[](5,5) form.leave panel.enter "
                     "g.move[](5,5) panel.leave g.enter g.move[](6,5) g.leave");
}

TEST_F(InputTest, HidingTheControlUnderThePointerSendsLeave) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(0, 0, 50, 50);
    WatchMouse(*g, "g");
    MoveTo(*form, 5, 5);
    g->Hide();
    EXPECT_EQ(Log(), "g.move[](5,5) g.enter g.leave");
}

TEST_F(InputTest, DisabledWindowlessChildLetsClicksFallToItsParent) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(20, 20, 100, 100);
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(panel);
    g->SetBounds(10, 10, 30, 30);
    g->SetEnabled(false);
    WatchMouse(*panel, "panel");
    WatchMouse(*g, "g");
    MoveTo(*form, 35, 35);
    log.clear();
    ClickAt(*form, 35, 35);
    EXPECT_EQ(Log(), "panel.downL[Left](15,15) panel.click panel.upL[](15,15)");
    g->SetEnabled(true);
    log.clear();
    ClickAt(*form, 35, 35);
    EXPECT_EQ(Log(), "panel.leave g.enter g.downL[Left](5,5) g.click g.upL[](5,5)");
}

TEST_F(InputTest, ChildrenOfADisabledWindowedParentGetNoInput) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(20, 20, 100, 100);
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(panel);
    g->SetBounds(0, 0, 30, 30);
    panel->SetEnabled(false);
    WatchMouse(*g, "g");
    WatchMouse(*form, "form");
    ClickAt(*form, 25, 25);
    EXPECT_TRUE(g->Enabled());
    EXPECT_EQ(Log(), "form.move[](25,25) form.enter form.downL[Left](25,25) form.click "
                     "form.upL[](25,25)");
}

TEST_F(InputTest, RightButtonGivesNoClickAndAsksForTheContextMenu) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(10, 10, 50, 50);
    form->SetBounds(100, 200, 200, 150);
    WatchMouse(*g, "g");
    TPoint popupAt{};
    g->SetOnContextPopup([&](TObject*, TPoint p, bool& handled) {
        popupAt = p;
        handled = true;
        log.push_back("g.contextpopup");
    });
    MoveTo(*form, 20, 30);
    log.clear();
    ClickAt(*form, 20, 30, {}, mbRight);
    EXPECT_EQ(Log(), "g.downR[Right](10,20) g.upR[](10,20) g.contextpopup");
    EXPECT_EQ(popupAt, Point(10, 20));
}

TEST_F(InputTest, WheelGoesToTheFocusedControlWithScreenPositionAndPassesUpWhenUnhandled) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 100, 100);
    auto* edit = new TCountingWin(form.get());
    edit->SetParent(panel);
    edit->SetBounds(10, 10, 50, 20);
    edit->SetTabStop(true);
    form->SetBounds(300, 400, 200, 150);
    edit->SetFocus();
    int downs = 0, ups = 0;
    TPoint pos{};
    edit->SetOnMouseWheelDown([&](TObject*, TShiftState, TPoint p, bool& handled) {
        ++downs;
        pos = p;
        handled = true;
    });
    edit->SetOnMouseWheelUp([&](TObject*, TShiftState, TPoint, bool&) { ++ups; });
    std::vector<int> passedUp;
    panel->SetOnMouseWheel([&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        passedUp.push_back(delta);
        handled = true;
    });
    Wheel(*form, 150, 120, -240); // pointer far from the focused control
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(pos, Point(450, 520));
    EXPECT_TRUE(passedUp.empty());
    Wheel(*form, 150, 120, 60); // half a notch: nothing yet, and not handled
    EXPECT_EQ(ups, 0);
    Wheel(*form, 150, 120, 60); // the second half completes the notch, still not handled
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(passedUp, (std::vector<int>{60, 60}));
}

TEST_F(InputTest, DeletingTheControlInItsOwnOnClickIsSafe) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(0, 0, 50, 50);
    int clicks = 0;
    g->SetOnClick([&](TObject* s) {
        ++clicks;
        delete static_cast<TControl*>(s);
    });
    ClickAt(*form, 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_EQ(form->ComponentCount(), 0);
    MoveTo(*form, 6, 6); // nothing left pointing at it
    EXPECT_EQ(form->MouseControl(), form.get());
}

TEST_F(InputTest, DeletingTheCapturingControlDuringADragIsSafe) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(0, 0, 50, 50);
    MouseDownAt(*form, 5, 5);
    EXPECT_EQ(form->CaptureControl(), g);
    delete g;
    EXPECT_EQ(form->CaptureControl(), nullptr);
    MoveTo(*form, 60, 60, {ssLeft});
    MouseUpAt(*form, 60, 60);
    EXPECT_EQ(form->MouseControl(), form.get());
}

TEST_F(InputTest, TheCursorShownIsThatOfTheControlUnderThePointerUnlessTheScreenOverrides) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(0, 0, 50, 50);
    g->SetCursor(crHandPoint);
    MoveTo(*form, 100, 100);
    EXPECT_EQ(form->CurrentCursor(), crDefault);
    MoveTo(*form, 5, 5);
    EXPECT_EQ(form->CurrentCursor(), crHandPoint);
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(form->CurrentCursor(), crHourGlass);
    Screen->SetCursor(crDefault);
}

// ---- Keys -------------------------------------------------------------------------------------

class KeyTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        edit = new TCountingWin(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 10, 80, 20);
        edit->SetTabStop(true);
        edit->SetFocus();
        WatchKeys(*edit, "e");
        log.clear();
    }
    TCountingWin* edit = nullptr;
};

TEST_F(KeyTest, TypingALetterGivesKeyDownKeyPressKeyUp) {
    Type(*form, "aB");
    EXPECT_EQ(Log(), "e.keydown(65)[] e.keypress(97) e.keyup(65) e.keydown(66)[Shift] "
                     "e.keypress(66) e.keyup(66)");
}

TEST_F(KeyTest, DeleteAndArrowsGiveNoKeyPressWhileEnterEscAndBackspaceDo) {
    edit->DlgCode = DLGC_WANTARROWS;
    KeyStroke(*form, VK_DELETE);
    KeyStroke(*form, VK_LEFT);
    KeyStroke(*form, VK_F2);
    EXPECT_EQ(Log(), "e.keydown(46)[] e.keyup(46) e.keydown(37)[] e.keyup(37) e.keydown(113)[] "
                     "e.keyup(113)");
    log.clear();
    KeyStroke(*form, VK_RETURN);
    KeyStroke(*form, VK_ESCAPE);
    KeyStroke(*form, VK_BACK);
    EXPECT_EQ(Log(), "e.keydown(13)[] e.keypress(13) e.keyup(13) e.keydown(27)[] "
                     "e.keypress(27) e.keyup(27) e.keydown(8)[] e.keypress(8) e.keyup(8)");
}

TEST_F(KeyTest, TabGivesKeyPressOnlyToAControlThatWantsTabs) {
    KeyStroke(*form, VK_TAB);
    EXPECT_EQ(Log(), "e.keyup(9)"); // the form used the key-down for navigation
    log.clear();
    edit->DlgCode = DLGC_WANTTAB;
    KeyStroke(*form, VK_TAB);
    EXPECT_EQ(Log(), "e.keydown(9)[] e.keypress(9) e.keyup(9)");
}

TEST_F(KeyTest, KeyZeroInOnKeyDownDoesNotStopTheCharacter) {
    edit->SetOnKeyDown([this](TObject*, std::uint16_t& k, TShiftState) {
        log.push_back("e.keydown(" + std::to_string(k) + ")");
        k = 0;
    });
    KeyStroke(*form, VK_RETURN);
    EXPECT_EQ(Log(), "e.keydown(13) e.keypress(13) e.keyup(13)");
}

TEST_F(KeyTest, CtrlLetterGivesItsControlCharacter) {
    KeyStroke(*form, 'C', {ssCtrl});
    KeyStroke(*form, VK_RETURN, {ssCtrl});
    EXPECT_EQ(Log(), "e.keydown(67)[Ctrl] e.keypress(3) e.keyup(67) e.keydown(13)[Ctrl] "
                     "e.keypress(10) e.keyup(13)");
}

TEST_F(KeyTest, ArrowsMoveTheFocusUnlessTheControlWantsThem) {
    auto* other = new TCountingWin(form.get());
    other->SetParent(form.get());
    other->SetBounds(10, 40, 80, 20);
    WatchKeys(*other, "o");
    KeyStroke(*form, VK_DOWN);
    EXPECT_EQ(form->ActiveControl(), other);
    EXPECT_EQ(Log(), "e.exitfocus o.enterfocus o.keyup(40)");
    log.clear();
    other->DlgCode = DLGC_WANTARROWS;
    KeyStroke(*form, VK_DOWN);
    EXPECT_EQ(form->ActiveControl(), other);
    EXPECT_EQ(Log(), "o.keydown(40)[] o.keyup(40)");
}

// A control that claims Enter in its CN_KEYDOWN form, as the grids of the components do.
class TClaimsReturn : public TCountingWin {
  public:
    using TCountingWin::TCountingWin;
    int Claimed = 0;

  protected:
    void CNKeyDown(TMessage& Message) override {
        if (Message.WParam == VK_RETURN) {
            ++Claimed;
            Message.Result = 1;
            return;
        }
        TCountingWin::CNKeyDown(Message);
    }
};

TEST_F(KeyTest, AKeyClaimedInCNKeyDownReachesNeitherKeyDownNorKeyPress) {
    auto* c = new TClaimsReturn(form.get());
    c->SetParent(form.get());
    c->SetBounds(0, 100, 50, 20);
    c->SetFocus();
    WatchKeys(*c, "c");
    log.clear();
    KeyStroke(*form, VK_RETURN);
    KeyStroke(*form, 'X');
    EXPECT_EQ(c->Claimed, 1);
    EXPECT_EQ(Log(), "c.keyup(13) c.keydown(88)[] c.keyup(88)");
}

TEST_F(KeyTest, KeyPreviewLetsTheFormSeeKeysFirstAndHideThem) {
    WatchKeys(*form, "f");
    form->SetKeyPreview(true);
    Type(*form, "a");
    EXPECT_EQ(Log(), "f.keydown(65)[] e.keydown(65)[] f.keypress(97) e.keypress(97) f.keyup(65) "
                     "e.keyup(65)");
    log.clear();
    form->SetOnKeyDown([this](TObject*, std::uint16_t& k, TShiftState) {
        log.push_back("f.keydown(" + std::to_string(k) + ")");
        k = 0;
    });
    form->SetOnKeyPress([this](TObject*, char32_t& ch) {
        log.push_back("f.keypress(" + std::to_string(unsigned(ch)) + ")");
        ch = 0;
    });
    Type(*form, "a");
    EXPECT_EQ(Log(), "f.keydown(65) f.keypress(97) f.keyup(65) e.keyup(65)");
    log.clear();
    form->SetKeyPreview(false);
    Type(*form, "a");
    EXPECT_EQ(Log(), "e.keydown(65)[] e.keypress(97) e.keyup(65)");
}

TEST_F(KeyTest, KeyPreviewNeverSeesTabUsedForNavigation) {
    WatchKeys(*form, "f");
    form->SetKeyPreview(true);
    KeyDown(*form, VK_TAB);
    EXPECT_EQ(Log(), "");
}

TEST_F(KeyTest, WithoutAFocusedControlTheFormGetsTheKeys) {
    WatchKeys(*form, "f");
    form->FocusControl(nullptr);
    log.clear();
    Type(*form, "1");
    EXPECT_EQ(Log(), "f.keydown(49)[] f.keypress(49) f.keyup(49)");
}

// ---- Focus and tab order ----------------------------------------------------------------------

class FocusTest : public FormFixture {
  protected:
    TCountingWin* Add(const std::string& name, int top, bool tabStop = true) {
        auto* c = new TCountingWin(form.get());
        c->SetName(name);
        c->SetParent(form.get());
        c->SetBounds(10, top, 80, 20);
        c->SetTabStop(tabStop);
        WatchKeys(*c, name);
        return c;
    }
};

TEST_F(FocusTest, ShowingAFormFocusesItsFirstTabStop) {
    form->Hide();
    auto* a = Add("a", 0, false);
    auto* b = Add("b", 30);
    (void)a;
    form->Show();
    EXPECT_EQ(form->ActiveControl(), b);
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(Log(), "b.enterfocus");
}

TEST_F(FocusTest, TabAndShiftTabFollowTheTabOrderSkippingWhatCannotTakeFocus) {
    auto* a = Add("a", 0);
    auto* b = Add("b", 30);
    auto* c = Add("c", 60);
    auto* d = Add("d", 90);
    auto* e = Add("e", 120, false);
    (void)e;
    c->SetEnabled(false);
    a->SetFocus();
    log.clear();
    KeyDown(*form, VK_TAB);
    EXPECT_EQ(form->ActiveControl(), b);
    KeyDown(*form, VK_TAB);
    EXPECT_EQ(form->ActiveControl(), d); // c is disabled, e no tab stop
    KeyDown(*form, VK_TAB);
    EXPECT_EQ(form->ActiveControl(), a); // wraps round
    KeyDown(*form, VK_TAB, {ssShift});
    EXPECT_EQ(form->ActiveControl(), d);
    EXPECT_EQ(Log(), "a.exitfocus b.enterfocus b.exitfocus d.enterfocus d.exitfocus "
                     "a.enterfocus a.exitfocus d.enterfocus");
}

TEST_F(FocusTest, TabOrderRenumbersSiblingsAndClampsToTheEnds) {
    auto* a = Add("a", 0);
    auto* b = Add("b", 30);
    auto* c = Add("c", 60);
    c->SetTabOrder(0);
    EXPECT_EQ(c->TabOrder(), 0);
    EXPECT_EQ(a->TabOrder(), 1);
    EXPECT_EQ(b->TabOrder(), 2);
    c->SetTabOrder(99);
    EXPECT_EQ(c->TabOrder(), 2);
    EXPECT_EQ(b->TabOrder(), 1);
    b->SetTabOrder(-5);
    EXPECT_EQ(b->TabOrder(), 0);
    a->SetFocus();
    KeyDown(*form, VK_TAB);
    EXPECT_EQ(form->ActiveControl(), c);
}

TEST_F(FocusTest, TabEntersContainersDepthFirst) {
    auto* a = Add("a", 0);
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(100, 0, 100, 100);
    auto* inner = new TCountingWin(form.get());
    inner->SetParent(panel);
    inner->SetTabStop(true);
    auto* z = Add("z", 60);
    a->SetFocus();
    KeyDown(*form, VK_TAB);
    EXPECT_EQ(form->ActiveControl(), inner);
    KeyDown(*form, VK_TAB);
    EXPECT_EQ(form->ActiveControl(), z);
}

TEST_F(FocusTest, SetFocusOnAHiddenControlRaises) {
    auto* a = Add("a", 0);
    a->Hide();
    EXPECT_FALSE(a->CanFocus());
    try {
        a->SetFocus();
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot focus a disabled or invisible window");
    }
}

TEST_F(FocusTest, HidingOrDeletingTheFocusedControlMovesTheFocusAway) {
    auto* a = Add("a", 0);
    auto* b = Add("b", 30);
    a->SetFocus();
    log.clear();
    a->Hide();
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(Log(), "a.exitfocus");
    b->SetFocus();
    delete b;
    EXPECT_EQ(form->ActiveControl(), nullptr);
    Type(*form, "x"); // goes to the form, nothing dangles
}

TEST_F(FocusTest, SwitchingFormsFiresNeitherEnterNorExit) {
    auto* a = Add("a", 0);
    a->SetFocus();
    TForm other(nullptr);
    other.Show();
    EXPECT_FALSE(form->Active());
    EXPECT_FALSE(a->Focused());
    form->HostActivate(true);
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(Log(), "a.enterfocus");
}

} // namespace
} // namespace kel::test
