// TRepSpeedButton on the manual clock: the repeat sequence (start delay, then repeat interval) at
// exact times, stopping on release, on leaving and on hiding, other mouse buttons, interval
// clamping and changes while idle or held, refused timers at the press and at the first tick,
// and the picture of the docs page.
#include "KEL_repsbut.h"

#include "kel_form_fixture.h"
#include "kel_messages.h"
#include "kel_stdctrls.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kel::test {
namespace {

using namespace kel::headless;

class RepSpeedButtonTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        b = new TRepSpeedButton(form.get());
        b->SetName("Rep1");
        b->SetParent(form.get());
        b->SetBounds(10, 10, 40, 22);
        b->SetCaption("+");
        b->SetOnRepeatClick([this](TObject* s) {
            EXPECT_EQ(s, b);
            repeats.push_back(Application->Now() - t0);
        });
        b->SetOnClick([this](TObject*) { ++clicks; });
        t0 = Application->Now();
    }
    // Presses at the current time and makes that time zero of `repeats`.
    void Press(int X = 5, int Y = 5) {
        t0 = Application->Now();
        MouseDownAt(*b, X, Y);
    }

    TRepSpeedButton* b = nullptr;
    std::int64_t t0 = 0;
    std::vector<std::int64_t> repeats; // times of OnRepeatClick since the press
    int clicks = 0;
};

TEST_F(RepSpeedButtonTest, DefaultsAndIntervalsBelowTenBecomeTen) {
    EXPECT_EQ(b->Width(), 40);
    TRepSpeedButton fresh(nullptr);
    EXPECT_EQ(fresh.Width(), 23);
    EXPECT_EQ(fresh.Height(), 22);
    EXPECT_EQ(fresh.RepeatClickInterval(), 200);
    EXPECT_EQ(fresh.StartClickInterval(), 500);
    EXPECT_FALSE(fresh.RepeatHeld());
    EXPECT_FALSE(fresh.RepeatTimerActive());
    b->SetRepeatClickInterval(5);
    EXPECT_EQ(b->RepeatClickInterval(), 10);
    b->SetStartClickInterval(-3);
    EXPECT_EQ(b->StartClickInterval(), 10);
    b->SetStartClickInterval(11);
    EXPECT_EQ(b->StartClickInterval(), 11);
}

TEST_F(RepSpeedButtonTest, HoldingOneSecondRepeatsAt500_700_900AndTheReleaseClicksOnce) {
    Press();
    EXPECT_TRUE(b->RepeatHeld());
    EXPECT_TRUE(b->RepeatTimerActive());
    EXPECT_TRUE(b->RepeatStarting());
    Application->Advance(499);
    EXPECT_TRUE(repeats.empty());
    Application->Advance(1);
    EXPECT_EQ(repeats, (std::vector<std::int64_t>{500}));
    EXPECT_FALSE(b->RepeatStarting());
    Application->Advance(199);
    EXPECT_EQ(repeats.size(), 1u);
    Application->Advance(301); // to 1000 ms
    EXPECT_EQ(repeats, (std::vector<std::int64_t>{500, 700, 900}));
    EXPECT_EQ(clicks, 0);
    MouseUpAt(*b, 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->RepeatHeld());
    EXPECT_FALSE(b->RepeatTimerActive());
    EXPECT_EQ(Application->TimerCount(), 0u);
    Application->Advance(5000);
    EXPECT_EQ(repeats.size(), 3u);

    // A second press starts over with the start delay, at the intervals now set.
    b->SetStartClickInterval(300);
    b->SetRepeatClickInterval(50);
    repeats.clear();
    Press();
    Application->Advance(420);
    EXPECT_EQ(repeats, (std::vector<std::int64_t>{300, 350, 400}));
    MouseUpAt(*b, 5, 5);
    EXPECT_EQ(clicks, 2);
}

TEST_F(RepSpeedButtonTest, ReleasingBeforeTheStartDelayRepeatsNothing) {
    Press();
    Application->Advance(499);
    MouseUpAt(*b, 5, 5);
    Application->Advance(2000);
    EXPECT_TRUE(repeats.empty());
    EXPECT_EQ(clicks, 1);
}

TEST_F(RepSpeedButtonTest, LeavingWhileHeldStopsForThisPressAndNeverClicks) {
    Press();
    Application->Advance(600);
    EXPECT_EQ(repeats.size(), 1u);
    // Still inside (the bottom row), the repetition goes on.
    MoveTo(*b, 39, 21, TShiftState{ssLeft});
    Application->Advance(100);
    EXPECT_EQ(repeats.size(), 2u);
    MoveTo(*b, 40, 5, TShiftState{ssLeft}); // one pixel right of the button
    EXPECT_FALSE(b->RepeatHeld());
    EXPECT_FALSE(b->RepeatTimerActive());
    EXPECT_EQ(b->State(), bsUp); // the face is up, as the repetition
    Application->Advance(1000);
    EXPECT_EQ(repeats.size(), 2u);
    MoveTo(*b, 5, 5, TShiftState{ssLeft}); // back on it: the face follows, the repeat does not
    EXPECT_EQ(b->State(), bsDown);
    Application->Advance(1000);
    EXPECT_EQ(repeats.size(), 2u);
    MouseUpAt(*b, 60, 5);
    EXPECT_EQ(clicks, 0);
}

TEST_F(RepSpeedButtonTest, AMouseLeaveMessageStopsAndALeaveNamingAChildDoesNot) {
    Press();
    Application->Advance(500);
    ASSERT_EQ(repeats.size(), 1u);
    TLabel other(nullptr);
    b->Perform(CM_MOUSELEAVE, 0, LPARAM(reinterpret_cast<std::intptr_t>(&other)));
    EXPECT_TRUE(b->RepeatTimerActive());
    b->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(b->RepeatHeld());
    Application->Advance(1000);
    EXPECT_EQ(repeats.size(), 1u);
    MouseUpAt(*b, 5, 5);
    // Hiding a held button takes the pointer away from it too.
    Press();
    b->SetVisible(false);
    EXPECT_FALSE(b->RepeatTimerActive());
    Application->Advance(1000);
    EXPECT_EQ(repeats.size(), 1u);
}

TEST_F(RepSpeedButtonTest, OtherMouseButtonsNeitherStartNorStop) {
    MouseDownAt(*b, 5, 5, mbRight);
    EXPECT_FALSE(b->RepeatHeld());
    Application->Advance(1000);
    EXPECT_TRUE(repeats.empty());
    MouseUpAt(*b, 5, 5, mbRight);
    Press();
    MouseDownAt(*b, 5, 5, mbMiddle);
    Application->Advance(300);
    MouseUpAt(*b, 5, 5, mbMiddle);
    Application->Advance(200);
    EXPECT_EQ(repeats, (std::vector<std::int64_t>{500}));
    MouseUpAt(*b, 5, 5);
    EXPECT_FALSE(b->RepeatTimerActive());
}

TEST_F(RepSpeedButtonTest, ChangesWhileIdleStartNoTimerAndWhileHeldRestartIt) {
    b->SetRepeatClickInterval(100);
    b->SetStartClickInterval(100);
    b->SetOnRepeatClick([this](TObject*) { repeats.push_back(Application->Now() - t0); });
    EXPECT_EQ(Application->TimerCount(), 0u);
    EXPECT_FALSE(b->RepeatTimerActive());

    Press();
    Application->Advance(50);
    b->SetStartClickInterval(300); // the start delay counts again from now
    Application->Advance(299);
    EXPECT_TRUE(repeats.empty());
    Application->Advance(1);
    EXPECT_EQ(repeats, (std::vector<std::int64_t>{350}));
    b->SetRepeatClickInterval(40); // at 350: the repeat interval counts from now
    Application->Advance(80);
    EXPECT_EQ(repeats, (std::vector<std::int64_t>{350, 390, 430}));
    MouseUpAt(*b, 5, 5);
}

TEST_F(RepSpeedButtonTest, ARefusedTimerAtThePressRaisesWithTheNameAndStaysHeldWithoutTimer) {
    Application->SetRefuseTimers(true);
    try {
        Press();
        ADD_FAILURE() << "no exception";
    } catch (const EKELRepSpeedButton& e) {
        EXPECT_EQ(std::string(e.what()), "Component \"Rep1\": no timer available");
    }
    EXPECT_TRUE(b->RepeatHeld());
    EXPECT_FALSE(b->RepeatTimerActive());
    Application->SetRefuseTimers(false);
    Application->Advance(2000);
    EXPECT_TRUE(repeats.empty());
    MouseUpAt(*b, 5, 5); // the release needs no timer
    EXPECT_FALSE(b->RepeatHeld());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Application->TimerCount(), 0u);
}

TEST_F(RepSpeedButtonTest, ARefusedRestartAtTheFirstTickGoesToTheApplicationAndTheLoopGoesOn) {
    Press();
    Application->SetRefuseTimers(true);
    Application->Advance(1000);
    EXPECT_TRUE(repeats.empty()); // the tick stopped at the refusal
    ASSERT_EQ(Application->ExceptionMessages().size(), 1u);
    EXPECT_EQ(Application->ExceptionMessages()[0], "Component \"Rep1\": no timer available");
    EXPECT_FALSE(b->RepeatTimerActive());
    Application->SetRefuseTimers(false);
    MouseUpAt(*b, 5, 5);
    EXPECT_EQ(clicks, 1);
}

TEST_F(RepSpeedButtonTest, AFaultInTheHandlerIsReportedOncePerTickAndRepeatingGoesOn) {
    b->SetOnRepeatClick([this](TObject*) {
        repeats.push_back(Application->Now() - t0);
        throw EKELError("handler fault");
    });
    Press();
    Application->Advance(900);
    EXPECT_EQ(repeats, (std::vector<std::int64_t>{500, 700, 900}));
    EXPECT_EQ(Application->ExceptionMessages().size(), 3u);
    MouseUpAt(*b, 5, 5);
}

TEST_F(RepSpeedButtonTest, PictureOfAHeldButtonBesideAnIdleOne) {
    form->SetColor(clBtnFace);
    b->SetBounds(4, 4, 40, 24);
    b->SetCaption("Up");
    auto* down = new TRepSpeedButton(form.get());
    down->SetParent(form.get());
    down->SetBounds(48, 4, 40, 24);
    down->SetCaption("Down");
    Press();
    Application->Advance(700);
    ASSERT_EQ(repeats.size(), 2u);
    TBitmap shot;
    Snapshot(*form, shot);
    TBitmap pic;
    pic.SetSize(92, 32);
    pic.Canvas().CopyRect(Rect(0, 0, 92, 32), shot.Canvas(), Rect(0, 0, 92, 32));
    EXPECT_TRUE(MatchesReferenceAndDocs(pic, "widgets", "repsbut"));
    MouseUpAt(*b, 5, 5);
}

} // namespace
} // namespace kel::test
