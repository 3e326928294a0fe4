// The application object's services: exception handling, sent and posted calls, the message
// loop's termination, the screen cursor, the clipboard, the beep, and the shift-state helpers.
#include "kel_app.h"
#include "kel_forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kel;

namespace {
class App : public ::testing::Test {
  protected:
    void SetUp() override { Application->ResetState(); }
    void TearDown() override {
        Application->ResetState();
        ReleaseAllKeys();
    }
};
} // namespace

TEST_F(App, HandleExceptionIgnoresAbortAndReportsOthers) {
    try {
        Abort();
    } catch (...) {
        Application->HandleException(nullptr);
    }
    EXPECT_TRUE(Application->ExceptionMessages().empty());
    try {
        throw EConvertError("'x' is not a valid number");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    EXPECT_EQ(Application->ExceptionMessages(),
              (std::vector<std::string>{"'x' is not a valid number"}));
}

TEST_F(App, OnExceptionReceivesTheSenderAndReplacesTheReport) {
    TObject sender;
    TObject* seen = nullptr;
    std::string text;
    Application->SetOnException([&](TObject* s, const std::exception& e) {
        seen = s;
        text = e.what();
    });
    try {
        throw EInvalidOperation("bad state");
    } catch (...) {
        Application->HandleException(&sender);
    }
    EXPECT_EQ(seen, &sender);
    EXPECT_EQ(text, "bad state");
    EXPECT_TRUE(Application->ExceptionMessages().empty());
}

TEST_F(App, HandleExceptionOutsideACatchDoesNothing) {
    Application->HandleException(nullptr);
    EXPECT_TRUE(Application->ExceptionMessages().empty());
}

TEST_F(App, SendMessageCallsTheProcedureAtOnceAndReturnsItsResult) {
    HWND w = AllocateHWnd(
        [](TMessage& m) { m.Result = m.Msg == WM_GETDLGCODE ? LRESULT{DLGC_WANTARROWS} : 0; });
    EXPECT_EQ(SendMessage(w, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_WANTARROWS));
    EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 0);
    EXPECT_EQ(DefWindowProc(w, WM_GETDLGCODE, VK_TAB, 0), 0);
    DeallocateHWnd(w);
    EXPECT_EQ(SendMessage(w, WM_GETDLGCODE, 0, 0), 0);
}

TEST_F(App, PostedCallsAndMessagesShareOneQueue) {
    std::vector<int> order;
    HWND w = AllocateHWnd([&](TMessage& m) { order.push_back(static_cast<int>(m.WParam)); });
    PostMessage(w, WM_USER, 1, 0);
    Application->PostCall([&] { order.push_back(2); });
    PostMessage(w, WM_USER, 3, 0);
    EXPECT_EQ(Application->PendingCount(), 3u);
    EXPECT_TRUE(order.empty());
    Application->ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    DeallocateHWnd(w);
}

TEST_F(App, RunDeliversTimersUntilTerminate) {
    int ticks = 0;
    HWND w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER && ++ticks == 3) Application->Terminate();
    });
    const auto t0 = Application->Now();
    SetTimer(w, 1, 40);
    Application->Run();
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(Application->Now() - t0, 120); // the manual clock jumped from tick to tick
    EXPECT_FALSE(Application->HandleMessage());
    Application->ResetTerminated();
    DeallocateHWnd(w);
}

TEST_F(App, RunWithNothingLeftToHappenRaisesInsteadOfHanging) {
    EXPECT_THROW(Application->Run(), EInvalidOperation);
    int ticks = 0;
    HWND w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER && ++ticks == 2) KillTimer(w, 1); // forgets to terminate
    });
    SetTimer(w, 1, 10);
    EXPECT_THROW(Application->Run(), EInvalidOperation);
    EXPECT_EQ(ticks, 2);
    DeallocateHWnd(w);
}

// A program that shows a form and runs the loop with no display host gets an error that says
// how to install one, instead of a loop that turns for ever with nothing on the screen (the
// timer stands in for a caret's blink; it ends the loop after 100 ticks should Run not raise).
TEST_F(App, RunWithAShowingFormAndNoDisplayHostSaysHowToInstallOne) {
    TForm form(nullptr);
    form.SetName("MainForm");
    int ticks = 0;
    HWND w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER && ++ticks == 100) Application->Terminate();
    });
    SetTimer(w, 1, 500);
    form.Show();
    std::string message;
    try {
        Application->Run();
    } catch (const EInvalidOperation& e) {
        message = e.what();
    }
    Application->ResetTerminated();
    EXPECT_EQ(ticks, 0);
    EXPECT_NE(message.find("no display host is installed"), std::string::npos) << message;
    EXPECT_NE(message.find("kel::TSDLHost"), std::string::npos) << message;
    // A form shown by a handler while the loop runs stops it the same way.
    form.Hide();
    HWND shower = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER) form.Show();
    });
    SetTimer(shower, 1, 100);
    EXPECT_THROW(Application->Run(), EInvalidOperation);
    EXPECT_LT(ticks, 100);
    form.Hide();
    // With every form hidden the loop runs as before.
    DeallocateHWnd(shower);
    Application->ResetTerminated();
    Application->Run();
    EXPECT_EQ(ticks, 100);
    Application->ResetTerminated();
    DeallocateHWnd(w);
}

// Close() from a timer handler slower than its interval ends the loop: a display host (here a
// stand-in input pump, which ends the loop once its main form is hidden, as the window host
// does) gets its turn after the tick. The timer stops itself after 50 ticks, so a loop that
// never yields fails instead of hanging.
TEST_F(App, CloseFromASlowTimerHandlerEndsTheLoop) {
    TForm form(nullptr);
    int ticks = 0;
    HWND w = nullptr;
    w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg != WM_TIMER) return;
        ++ticks;
        Application->ManualClock()->Advance(30); // the handler takes 30 ms of a 20 ms period
        if (ticks == 3) form.Close();
        if (ticks >= 50) KillTimer(w, 1);
    });
    Application->SetInputPump([&](int timeoutMs) {
        if (timeoutMs > 0) Application->ManualClock()->Advance(timeoutMs);
        if (!form.Visible()) Application->Terminate();
        return false;
    });
    SetTimer(w, 1, 20);
    form.Show();
    Application->Run();
    Application->SetInputPump(nullptr);
    Application->ResetTerminated();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(form.Visible());
    DeallocateHWnd(w);
}

TEST_F(App, AdvanceNeedsTheManualClock) {
    Application->SetClock(std::make_unique<TSteadyClock>());
    EXPECT_EQ(Application->ManualClock(), nullptr);
    EXPECT_THROW(Application->Advance(10), EInvalidOperation);
    Application->SetClock(nullptr);
    ASSERT_NE(Application->ManualClock(), nullptr);
    EXPECT_NO_THROW(Application->Advance(10));
}

TEST_F(App, SwitchingClocksKeepsATimersRemainingTime) {
    std::vector<std::int64_t> ticks;
    HWND w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER) ticks.push_back(Application->Now());
    });
    SetTimer(w, 1, 100);
    Application->Advance(30);
    auto manual = std::make_unique<TManualClock>();
    manual->Set(5000);
    Application->SetClock(std::move(manual));
    Application->Advance(69);
    EXPECT_TRUE(ticks.empty());
    Application->Advance(1);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{5070}));
    DeallocateHWnd(w);
}

TEST_F(App, ScreenCursorOverridesControlCursorsUntilReset) {
    std::vector<TCursor> changes;
    Screen->SetOnCursorChange([&](TCursor c) { changes.push_back(c); });
    EXPECT_EQ(Screen->EffectiveCursor(crIBeam), crIBeam);
    const TCursor saved = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(Screen->EffectiveCursor(crIBeam), crHourGlass);
    Screen->SetCursor(crHourGlass); // unchanged: no notification
    Screen->SetCursor(saved);
    EXPECT_EQ(Screen->EffectiveCursor(crIBeam), crIBeam);
    EXPECT_EQ(changes, (std::vector<TCursor>{crHourGlass, crDefault}));
    Screen->SetOnCursorChange(nullptr);
}

TEST_F(App, ClipboardHoldsTextInMemoryAndReplacesItWhole) {
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard().AsText(), "");
    Clipboard().SetAsText("12.5 µV");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_TRUE(Clipboard().HasFormat(CF_UNICODETEXT));
    EXPECT_FALSE(Clipboard().HasFormat(2));
    EXPECT_EQ(Clipboard().AsText(), "12.5 µV");
    Clipboard().SetAsText("3");
    EXPECT_EQ(Clipboard().AsText(), "3");
    // An empty text is still text on the clipboard.
    Clipboard().SetAsText("");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
}

TEST_F(App, ClipboardUsesAConnectedSystemClipboard) {
    std::string system = "from elsewhere";
    Clipboard().SetBackend({[&] { return system; }, [&](const std::string& s) { system = s; },
                            [&] { return !system.empty(); }});
    EXPECT_EQ(Clipboard().AsText(), "from elsewhere");
    Clipboard().SetAsText("42");
    EXPECT_EQ(system, "42");
    Clipboard().SetBackend({});
    EXPECT_EQ(Clipboard().AsText(), "");
}

TEST_F(App, MessageBeepIsCountedAndPassedToTheHost) {
    std::vector<std::uint32_t> sounds;
    Application->SetBeepHandler([&](std::uint32_t t) { sounds.push_back(t); });
    EXPECT_TRUE(MessageBeep(MB_OK));
    EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
    EXPECT_EQ(Application->BeepCount(), 2);
    EXPECT_EQ(Application->LastBeepType(), MB_ICONWARNING);
    EXPECT_EQ(sounds, (std::vector<std::uint32_t>{MB_OK, MB_ICONEXCLAMATION}));
    Application->SetBeepHandler(nullptr);
}

TEST_F(App, KeysToShiftStateMapsMouseFlagsAndAddsAltFromTheKeyboard) {
    EXPECT_EQ(KeysToShiftState(MK_LBUTTON | MK_SHIFT), (TShiftState{ssLeft, ssShift}));
    EXPECT_EQ(KeysToShiftState(MK_RBUTTON | MK_MBUTTON | MK_CONTROL | MK_XBUTTON1),
              (TShiftState{ssRight, ssMiddle, ssCtrl}));
    SetKeyDown(VK_MENU, true);
    EXPECT_EQ(KeysToShiftState(0), (TShiftState{ssAlt}));
    EXPECT_TRUE(GetKeyState(VK_MENU) < 0);
    SetKeyDown(VK_MENU, false);
    EXPECT_EQ(GetKeyState(VK_MENU), 0);
    SetKeyDown(VK_CONTROL, true);
    EXPECT_EQ(KeyDataToShiftState(static_cast<LPARAM>(KF_ALTDOWN_BIT)),
              (TShiftState{ssCtrl, ssAlt}));
}

TEST(Messages, MouseCoordinatesArePackedAsSignedHalves) {
    const LPARAM lp = MakeLParam(-5, 300);
    EXPECT_EQ(GetXLParam(lp), -5);
    EXPECT_EQ(GetYLParam(lp), 300);
    EXPECT_EQ(CN_KEYDOWN, 0xBD00u);
    EXPECT_EQ(CM_MOUSELEAVE, 0xB014u);
}
