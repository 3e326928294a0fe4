// The message timer every component with a timer uses: a hidden message window of its own
// (AllocateHWnd), timer id 1 on it, started with SetTimer after a KillTimer of the same id, and
// freed with the timer in the destructor. The handler runs from the message loop for each
// WM_TIMER; every other message goes to DefWindowProc.
#pragma once

#include "kel_app.h"
#include "kel_classes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kel {

class TMessageTimer {
  public:
    // Creates the hidden window; OnTimer is called once per tick.
    explicit TMessageTimer(std::function<void()> OnTimer);
    ~TMessageTimer(); // stops the timer and frees the window
    TMessageTimer(const TMessageTimer&) = delete;
    TMessageTimer& operator=(const TMessageTimer&) = delete;

    // Restarts the timer with the interval (ms, clamped by SetTimer to 10..0x7FFFFFFF);
    // false when the platform refuses it, and the timer is then off.
    bool TryStart(std::uint32_t IntervalMs);
    // Restarts the timer; a refusal raises E with the message
    // "Component \"<Owner's name>\": no timer available" and leaves the timer off.
    template <class E = EOutOfResources>
    void Start(std::uint32_t IntervalMs, const TComponent& Owner) {
        if (!TryStart(IntervalMs)) throw E(RefusedMessage(Owner));
    }
    void Stop();                                         // nothing happens when it is not running
    bool Active() const { return FActive; }              // started and not stopped since
    std::uint32_t Interval() const { return FInterval; } // of the last start
    HWND Handle() const { return FWnd; }                 // the hidden window

    // The refused-timer message for a component.
    static std::string RefusedMessage(const TComponent& Owner);

  private:
    static constexpr std::uintptr_t TimerId = 1;
    std::function<void()> FOnTimer;
    HWND FWnd = nullptr;
    bool FActive = false;
    std::uint32_t FInterval = 0;
};

} // namespace kel
