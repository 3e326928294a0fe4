// TRepSpeedButton: a speed button that repeats while the left mouse button is held on it. After
// a left press it fires OnRepeatClick first when StartClickInterval has passed, then every
// RepeatClickInterval milliseconds, until the button is released or the pointer leaves it.
// The ordinary OnClick of the speed button still comes once, on a release inside.
//
// Timing runs on the component's own message timer (timer id 1 on a hidden window): the press
// starts it with the start delay, the first tick restarts it with the repeat interval. When the
// platform refuses the timer, EKELRepSpeedButton is raised with
// "Component \"<Name>\": no timer available"; the button stays held and the timer stays off.
// A fault raised by a tick (a refused restart, an OnRepeatClick handler) goes to
// Application->HandleException and the loop goes on.
//
// Choices made where the rules leave it open:
// - Leaving: the framework keeps the pointer captured by a held button and sends it no
//   mouse-leave before the release, so a held button also treats a move outside its client
//   area as leaving. Leaving stops the repetition for this press (coming back does not resume
//   it) and, unlike a release, never clicks: dragging off a button is how a user cancels it.
// - The repetition stops before the speed button's own release handling runs, so an OnMouseUp
//   or OnClick handler that raises cannot leave the button repeating after the release.
// - Other mouse buttons neither start nor stop the repetition.
#pragma once

#include "Kel_error.h"
#include "kel_buttons.h"
#include "kel_timer.h"

#include <string>
#include <utility>

namespace kel {

// The unit's error class (a refused timer).
class EKELRepSpeedButton : public EKELError {
  public:
    using EKELError::EKELError;
};

class TRepSpeedButton : public TSpeedButton {
  public:
    // 23 x 22, idle, with the defaults below.
    explicit TRepSpeedButton(TComponent* AOwner);
    ~TRepSpeedButton() override; // stops the timer and frees its window
    std::string ClassName() const override { return "TRepSpeedButton"; }

    // --- published properties (defaults in brackets) ---
    // Milliseconds between repeats after the first one; values below 10 become 10 [200].
    // A change restarts a running repetition at this interval (outside design time).
    int RepeatClickInterval() const { return FRepClickIv; }
    void SetRepeatClickInterval(int Value);
    // Milliseconds from the press to the first repeat; values below 10 become 10 [500].
    // A change restarts a running repetition with the start delay (outside design time).
    int StartClickInterval() const { return FStartIv; }
    void SetStartClickInterval(int Value);
    // Fired on every repeat, with the button as sender [none]. Setting it (outside design
    // time) restarts a running repetition at RepeatClickInterval.
    const TNotifyEvent& OnRepeatClick() const { return FOnRepeatClick; }
    void SetOnRepeatClick(TNotifyEvent Handler);

    // --- state, for tests and descendants ---
    // The left button was pressed on the button and neither released nor has it left since.
    bool RepeatHeld() const { return FRClickTimerEnabled; }
    // The timer runs (the start delay or the repeat interval is counting).
    bool RepeatTimerActive() const { return FRClickTimer.Active(); }
    // The next tick is the first of this press (the start delay is counting).
    bool RepeatStarting() const { return FIsStart; }

  protected:
    // One tick: on the first one switches to the repeat interval, then RepeatClickEvent,
    // then OnRepeatClick.
    virtual void DoTimer();
    // A hook for descendants, called on every repeat before OnRepeatClick; does nothing here.
    virtual void RepeatClickEvent() {}
    // Marks the start state and restarts the timer with the start delay while held.
    void InitTimer();
    // Clears the start state and restarts the timer with the repeat interval while held;
    // when not held it only stops the timer.
    void UpdateTimer();

    // Left press (after the speed button's handling): held, timer at the start delay.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // While held: a move outside the client area is leaving (see above).
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // Left release: the repetition stops, then the speed button's handling (click etc.).
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The pointer left: the repetition stops.
    void CMMouseLeave(TMessage& Message) override;

  private:
    bool Designing() const { return ComponentState().contains(csDesigning); }
    void TimerTick();  // the timer's handler: DoTimer, faults to the application
    void StopRepeat(); // not held any more; the timer stops

    TMessageTimer FRClickTimer;       // timer id 1 on the button's own hidden window
    bool FRClickTimerEnabled = false; // the left button is held
    TNotifyEvent FOnRepeatClick;
    int FRepClickIv = 200;
    int FStartIv = 500;
    bool FIsStart = true; // the next tick is the first one
};

} // namespace kel
