// Message timers on hidden windows, driven by the application's manual clock: exact tick
// times, replacement, per-window ids, no backlog, refusal, and the order of delivery.
#include "kel_app.h"
#include "kel_timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace kel;

namespace {

// A hidden window that records "t<time>:<id>" for each WM_TIMER and lets a test react to it.
struct Recorder {
    std::vector<std::string> log;
    std::function<void(TMessage&)> onTimer;
    HWND wnd = nullptr;
    Recorder() {
        wnd = AllocateHWnd([this](TMessage& m) {
            if (m.Msg == WM_TIMER) {
                log.push_back("t" + std::to_string(Application->Now()) + ":" +
                              std::to_string(m.WParam));
                if (onTimer) onTimer(m);
            } else {
                m.Result = DefWindowProc(wnd, m.Msg, m.WParam, m.LParam);
                log.push_back("msg" + std::to_string(m.Msg) + ":" + std::to_string(m.WParam));
            }
        });
    }
    ~Recorder() { DeallocateHWnd(wnd); }
    // Tick times relative to start.
    std::vector<std::int64_t> times;
};

class Timers : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->ResetState();
        start = Application->Now();
    }
    std::string At(std::int64_t rel, int id = 1) const {
        return "t" + std::to_string(start + rel) + ":" + std::to_string(id);
    }
    std::int64_t start = 0;
};

} // namespace

TEST_F(Timers, TimerResetOnItsFirstTickFiresAtTheNewInterval) {
    Recorder r;
    r.onTimer = [&](TMessage&) {
        if (r.log.size() == 1) {
            KillTimer(r.wnd, 1);
            ASSERT_NE(SetTimer(r.wnd, 1, 200), 0u);
        }
    };
    ASSERT_NE(SetTimer(r.wnd, 1, 500), 0u);
    Application->Advance(499);
    EXPECT_TRUE(r.log.empty());
    Application->Advance(501);
    EXPECT_EQ(r.log, (std::vector<std::string>{At(500), At(700), At(900)}));
}

TEST_F(Timers, KillTimerStopsTicksAndReportsWhetherATimerExisted) {
    Recorder r;
    SetTimer(r.wnd, 1, 100);
    Application->Advance(250);
    EXPECT_EQ(r.log.size(), 2u);
    EXPECT_TRUE(KillTimer(r.wnd, 1));
    EXPECT_FALSE(KillTimer(r.wnd, 1));
    Application->Advance(1000);
    EXPECT_EQ(r.log.size(), 2u);
    EXPECT_EQ(Application->TimerCount(), 0u);
}

TEST_F(Timers, KillingADueTimerBeforeTheLoopRunsLeavesNoTick) {
    Recorder r;
    SetTimer(r.wnd, 1, 100);
    Application->ManualClock()->Advance(150);
    KillTimer(r.wnd, 1);
    Application->ProcessMessages();
    EXPECT_TRUE(r.log.empty());
}

TEST_F(Timers, SettingAnIdAgainReplacesAndRestartsTheCountdown) {
    Recorder r;
    SetTimer(r.wnd, 1, 100);
    Application->Advance(90);
    SetTimer(r.wnd, 1, 300); // elapsed 90 ms and the old interval are dropped
    Application->Advance(700);
    EXPECT_EQ(r.log, (std::vector<std::string>{At(390), At(690)}));
    EXPECT_EQ(Application->TimerCount(), 1u);
}

TEST_F(Timers, TwoWindowsEachWithIdOneAreIndependent) {
    Recorder a, b;
    SetTimer(a.wnd, 1, 100);
    SetTimer(b.wnd, 1, 150);
    Application->Advance(300);
    EXPECT_EQ(a.log, (std::vector<std::string>{At(100), At(200), At(300)}));
    EXPECT_EQ(b.log, (std::vector<std::string>{At(150), At(300)}));
    KillTimer(a.wnd, 1);
    Application->Advance(150);
    EXPECT_EQ(a.log.size(), 3u);
    EXPECT_EQ(b.log.back(), At(450));
}

// Timers falling due at the same moment tick in the order they were created.
TEST_F(Timers, SeveralIdsOnOneWindowTickInTheOrderTheyFallDue) {
    std::vector<std::string> order;
    HWND w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER)
            order.push_back(std::to_string(m.WParam) + "@" +
                            std::to_string(Application->Now() - start));
    });
    SetTimer(w, 7, 30);
    SetTimer(w, 3, 20);
    Application->Advance(60);
    EXPECT_EQ(order, (std::vector<std::string>{"3@20", "7@30", "3@40", "7@60", "3@60"}));
    DeallocateHWnd(w);
}

TEST_F(Timers, IntervalsAreClampedToTheMinimumOfTenMilliseconds) {
    Recorder r;
    SetTimer(r.wnd, 1, 0);
    Application->Advance(25);
    EXPECT_EQ(r.log, (std::vector<std::string>{At(10), At(20)}));
    KillTimer(r.wnd, 1);
    // The largest interval stays usable (no overflow to a negative interval).
    SetTimer(r.wnd, 2, 0xFFFFFFFFu);
    EXPECT_EQ(Application->NextTimerDue(), Application->Now() + 0x7FFFFFFF);
}

TEST_F(Timers, ABusyThreadGetsOneTickNotABacklog) {
    Recorder r;
    SetTimer(r.wnd, 1, 100);
    Application->ManualClock()->Advance(1000); // no messages delivered for ten periods
    Application->ProcessMessages();
    EXPECT_EQ(r.log, (std::vector<std::string>{At(1000)}));
    // The next period counts from when the timer was found due.
    Application->Advance(150);
    EXPECT_EQ(r.log, (std::vector<std::string>{At(1000), At(1100)}));
}

TEST_F(Timers, ASlowHandlerDoesNotCauseABurst) {
    Recorder r;
    r.onTimer = [&](TMessage&) {
        if (r.log.size() == 1) Application->ManualClock()->Advance(350);
    };
    SetTimer(r.wnd, 1, 100);
    Application->Advance(100);
    // The handler took 350 ms: one tick follows at once, not three.
    Application->ProcessMessages();
    EXPECT_EQ(r.log, (std::vector<std::string>{At(100), At(450)}));
}

TEST_F(Timers, ARefusedTimerSurfacesAsTheCallersException) {
    Recorder r;
    // A component starting its timer the way the library's components do.
    auto restart = [&](const std::string& name) {
        KillTimer(r.wnd, 1);
        if (SetTimer(r.wnd, 1, 500) == 0)
            throw EOutOfResources("Component \"" + name + "\": no timer available");
    };
    Application->SetRefuseTimers(true);
    try {
        restart("Meter1");
        FAIL() << "expected an exception";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Component \"Meter1\": no timer available");
    }
    EXPECT_EQ(Application->TimerCount(), 0u);
    Application->SetRefuseTimers(false);
    EXPECT_NO_THROW(restart("Meter1"));
    EXPECT_EQ(Application->TimerCount(), 1u);
}

TEST_F(Timers, UnknownOrFreedWindowsHaveNoTimers) {
    EXPECT_EQ(SetTimer(nullptr, 1, 100), 0u);
    HWND w = AllocateHWnd([](TMessage&) {});
    SetTimer(w, 1, 100);
    DeallocateHWnd(w);
    EXPECT_EQ(Application->TimerCount(), 0u);
    EXPECT_EQ(SetTimer(w, 1, 100), 0u);
    EXPECT_FALSE(KillTimer(w, 1));
}

TEST_F(Timers, AWindowMayFreeItselfFromItsOwnTimerHandler) {
    int ticks = 0;
    HWND w = nullptr;
    w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg != WM_TIMER) return;
        ++ticks;
        DeallocateHWnd(w);
    });
    SetTimer(w, 1, 50);
    Application->Advance(500);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(Application->WindowExists(w));
}

TEST_F(Timers, ExceptionsInATimerHandlerGoToTheApplicationAndTheTimerGoesOn) {
    Recorder r;
    r.onTimer = [&](TMessage&) { throw EInvalidOperation("tick failed"); };
    SetTimer(r.wnd, 1, 100);
    Application->Advance(300);
    EXPECT_EQ(r.log.size(), 3u);
    EXPECT_EQ(Application->ExceptionMessages(),
              (std::vector<std::string>{"tick failed", "tick failed", "tick failed"}));
}

TEST_F(Timers, PostedMessagesArriveInOrderAndBeforeTimers) {
    Recorder r;
    SetTimer(r.wnd, 1, 100);
    Application->ManualClock()->Advance(100);
    EXPECT_TRUE(PostMessage(r.wnd, WM_USER + 1, 10, 0));
    EXPECT_TRUE(PostMessage(r.wnd, WM_USER + 2, 20, 0));
    EXPECT_TRUE(PostMessage(r.wnd, WM_USER + 1, 30, 0));
    Application->ProcessMessages();
    const std::string u1 = std::to_string(WM_USER + 1), u2 = std::to_string(WM_USER + 2);
    EXPECT_EQ(r.log, (std::vector<std::string>{"msg" + u1 + ":10", "msg" + u2 + ":20",
                                               "msg" + u1 + ":30", At(100)}));
}

TEST_F(Timers, PaintingComesAfterPostedMessagesAndBeforeTimers) {
    std::vector<std::string> order;
    HWND w =
        AllocateHWnd([&](TMessage& m) { order.push_back(m.Msg == WM_TIMER ? "timer" : "posted"); });
    Application->SetPaintHandler([&] { order.push_back("paint"); });
    SetTimer(w, 1, 100);
    Application->ManualClock()->Advance(100);
    PostMessage(w, WM_USER, 0, 0);
    Application->ProcessMessages();
    Application->SetPaintHandler(nullptr);
    DeallocateHWnd(w);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], "posted");
    EXPECT_EQ(order[1], "paint");
    EXPECT_EQ(order[2], "timer");
}

TEST_F(Timers, MessagesPostedToAFreedWindowAreDropped) {
    int received = 0;
    HWND w = AllocateHWnd([&](TMessage&) { ++received; });
    PostMessage(w, WM_USER, 0, 0);
    DeallocateHWnd(w);
    EXPECT_EQ(Application->PendingCount(), 0u);
    EXPECT_FALSE(PostMessage(w, WM_USER, 0, 0));
    Application->ProcessMessages();
    EXPECT_EQ(received, 0);
}

// The components' timer class: ticks at its interval, restarts from the last start, stops, and
// a refusal raises the component's error with its name and leaves the timer off.
TEST_F(Timers, MessageTimerTicksRestartsAndReportsRefusal) {
    std::vector<std::int64_t> ticks;
    const std::size_t before = Application->TimerCount();
    {
        TMessageTimer t([&] { ticks.push_back(Application->Now() - start); });
        TComponent owner(nullptr);
        owner.SetName("Blinker");
        t.Start(100, owner);
        EXPECT_TRUE(t.Active());
        Application->Advance(250);
        EXPECT_EQ(ticks, (std::vector<std::int64_t>{100, 200}));
        t.Start(40, owner); // restarts from now, not from the old period
        Application->Advance(90);
        EXPECT_EQ(ticks, (std::vector<std::int64_t>{100, 200, 290, 330}));
        t.Stop();
        Application->Advance(500);
        EXPECT_EQ(ticks.size(), 4u);

        Application->SetRefuseTimers(true);
        try {
            t.Start<EInvalidOperation>(50, owner);
            ADD_FAILURE() << "a refused timer must raise";
        } catch (const EInvalidOperation& e) {
            EXPECT_STREQ(e.what(), "Component \"Blinker\": no timer available");
        }
        Application->SetRefuseTimers(false);
        EXPECT_FALSE(t.Active());
        t.Start(50, owner);
        EXPECT_EQ(Application->TimerCount(), before + 1);
    }
    // Destroyed while running: the timer and its window are gone.
    EXPECT_EQ(Application->TimerCount(), before);
}

// A 20 ms timer whose handler takes 30 ms (it moves the manual clock) is due again as soon as
// it returns. Timers have the lowest priority: the loop still reads input between ticks, a
// Terminate from the handler ends Run, and Advance returns. Each case stops the timer after
// 50 ticks, so a loop that never yields fails instead of hanging.
TEST_F(Timers, ASlowHandlerLeavesRoomForInputAndTermination) {
    Recorder r;
    int ticks = 0;
    r.onTimer = [&](TMessage&) {
        ++ticks;
        Application->ManualClock()->Advance(30);
        if (ticks >= 50) KillTimer(r.wnd, 1);
    };
    // Input between ticks: the host's pump records how many ticks it saw each time it runs,
    // and stands in for waiting by moving the clock.
    std::vector<int> pumpSaw;
    Application->SetInputPump([&](int timeoutMs) {
        pumpSaw.push_back(ticks);
        if (timeoutMs > 0) Application->ManualClock()->Advance(timeoutMs);
        if (ticks >= 4) Application->Terminate(); // a key that closes the program
        return false;
    });
    SetTimer(r.wnd, 1, 20);
    Application->Run();
    Application->SetInputPump(nullptr);
    Application->ResetTerminated();
    EXPECT_EQ(ticks, 4);
    // The pump ran before the first tick and after every one of them.
    ASSERT_FALSE(pumpSaw.empty());
    for (int t = 0; t <= 4; ++t)
        EXPECT_NE(std::find(pumpSaw.begin(), pumpSaw.end(), t), pumpSaw.end()) << t;

    // Terminate from the slow handler itself ends the loop after that tick.
    ticks = 0;
    r.onTimer = [&](TMessage&) {
        ++ticks;
        Application->ManualClock()->Advance(30);
        if (ticks == 3) Application->Terminate();
        if (ticks >= 50) KillTimer(r.wnd, 1);
    };
    SetTimer(r.wnd, 1, 20);
    Application->Run();
    Application->ResetTerminated();
    EXPECT_EQ(ticks, 3);

    // Advance returns, and the late timer ticks once per turn, not once per missed period:
    // ticks at 20 (the clock is at 50 after it), 50, 80, 110 (due at 100, found at 110) and
    // 140, when Advance delivers what is left at its end.
    ticks = 0;
    r.log.clear();
    const std::int64_t t0 = Application->Now();
    r.onTimer = [&](TMessage&) {
        ++ticks;
        Application->ManualClock()->Advance(30);
        if (ticks >= 50) KillTimer(r.wnd, 1);
    };
    SetTimer(r.wnd, 1, 20);
    Application->Advance(100);
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(Application->Now() - t0, 170);
    KillTimer(r.wnd, 1);
}
