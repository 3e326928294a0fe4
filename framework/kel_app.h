// The application object and the services every component may call on: the clock, the message
// loop, posted messages, hidden message windows with their timers, the exception handler, the
// screen cursor, the clipboard and the beep.
//
// Time is injected. The application owns a clock: a manual one by default (the headless host,
// tests), the steady clock once a window host takes over. Advance(ms) moves a manual clock and
// delivers every timer message at the exact time it falls due, so timer behaviour is tested
// exactly and without waiting.
//
// Message order, as on the platform: posted messages first, then painting (the handler the
// forms register), then at most one WM_TIMER per ready timer. A timer that falls due is only
// marked ready (a flag, not a counter), so a busy thread gets one tick afterwards, never a burst;
// and a timer ticks at most once per pass of the loop, so input is read between ticks even when
// a handler is slower than its interval.
//
// Index: TClock, TSteadyClock, TManualClock; TApplication; Application and the free functions
// AllocateHWnd, DeallocateHWnd, SetTimer, KillTimer, DefWindowProc, PostMessage, SendMessage,
// MessageBeep; TScreen and cursors; TClipboard.
#pragma once

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kel_classes.h"
#include "kel_messages.h"

namespace kel {

// Raised to end an operation silently: HandleException ignores it.
class EAbort : public Exception {
  public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
};
// Raises EAbort.
[[noreturn]] void Abort();

// A monotonic millisecond clock.
class TClock {
  public:
    virtual ~TClock() = default;
    virtual std::int64_t NowMs() const = 0;
};

// The real monotonic clock (window host).
class TSteadyClock : public TClock {
  public:
    std::int64_t NowMs() const override;
};

// A clock that moves only when told (headless host and tests). Starts at 0.
class TManualClock : public TClock {
  public:
    std::int64_t NowMs() const override { return now_; }
    // Moves the time forward by ms (negative values are ignored) without delivering anything:
    // to a timer this looks like a busy thread.
    void Advance(std::int64_t ms) {
        if (ms > 0) now_ += ms;
    }
    // Sets the time; never moves backwards.
    void Set(std::int64_t ms) {
        if (ms > now_) now_ = ms;
    }

  private:
    std::int64_t now_ = 0;
};

// Smallest and largest timer interval in milliseconds; SetTimer clamps into this range.
constexpr std::uint32_t USER_TIMER_MINIMUM = 0x0000000A;
constexpr std::uint32_t USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// MessageBeep types.
enum : std::uint32_t {
    MB_OK = 0x00000000,
    MB_ICONHAND = 0x00000010,
    MB_ICONSTOP = 0x00000010,
    MB_ICONERROR = 0x00000010,
    MB_ICONQUESTION = 0x00000020,
    MB_ICONEXCLAMATION = 0x00000030,
    MB_ICONWARNING = 0x00000030,
    MB_ICONASTERISK = 0x00000040,
    MB_ICONINFORMATION = 0x00000040,
    MB_SIMPLEBEEP = 0xFFFFFFFF,
};

using TWndMethod = std::function<void(TMessage& Message)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TObject {
  public:
    TApplication();
    ~TApplication() override;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;
    std::string ClassName() const override { return "TApplication"; }

    // --- clock ---
    TClock& Clock() { return *clock_; }
    // The manual clock, or null while another clock is installed.
    TManualClock* ManualClock() { return manual_; }
    // Installs a clock (the window host passes a TSteadyClock). Timers keep their remaining
    // time relative to the new clock's present. A null pointer installs a fresh manual clock.
    void SetClock(std::unique_ptr<TClock> Clock);
    // Milliseconds on the application's clock.
    std::int64_t Now() const { return clock_->NowMs(); }
    // Moves the manual clock forward by ms, delivering every message that falls due on the
    // way at its exact time: timers in the order they fall due, each followed by the posted
    // messages and the painting it causes. Raises EInvalidOperation under another clock.
    void Advance(std::int64_t ms);

    // --- message loop ---
    // Delivers everything pending without waiting: posted messages, then painting, then
    // ready timers, repeated until nothing is left but timers that already ticked in this
    // call: each timer ticks at most once per call, so a handler slower than its interval
    // cannot keep the loop from reading input. Exceptions escaping a handler go to
    // HandleException and the loop goes on. With Paint false, painting is left pending for a
    // later call, as while input arrives in a burst.
    void ProcessMessages(bool Paint = true);
    // The forms register their painting here; it runs after the posted messages and before
    // the timers, each time the queue runs dry.
    void SetPaintHandler(std::function<void()> Handler) { paint_ = std::move(Handler); }
    // A host's input source: waits at most TimeoutMs (0: do not wait; negative: until input
    // arrives) for input, feeds what arrived to the forms and returns true when there was any.
    using TInputPump = std::function<bool(int TimeoutMs)>;
    void SetInputPump(TInputPump Pump) { pump_ = std::move(Pump); }
    // One turn of the host's loop: takes the input already waiting, delivers the pending
    // messages, then waits for input until the next timer falls due (or briefly when there is
    // no input source). Returns false once Terminate was called.
    bool HandleMessage();
    // Runs HandleMessage until Terminate is called. Under the manual clock without an input
    // source, raises EInvalidOperation once nothing is left that could call Terminate. Without
    // an input source (no display host installed) while a form is showing, raises
    // EInvalidOperation saying how to install one, instead of spinning with no window.
    void Run();
    // The forms register how to tell whether one of them is showing (Run's check above).
    void SetShowingQuery(std::function<bool()> Query) { showing_ = std::move(Query); }
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Clears the terminated flag (a test that runs the loop more than once).
    void ResetTerminated() { terminated_ = false; }

    // --- posted and sent messages ---
    // Queues a message for a hidden window; false when the window does not exist.
    bool PostMessage(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam);
    // Queues a call to run from the message loop, in order with the posted messages.
    void PostCall(std::function<void()> Call);
    // Calls the window procedure at once and returns its result; 0 for an unknown window.
    LRESULT SendMessage(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam);
    // Number of posted messages and calls not yet delivered.
    std::size_t PendingCount() const { return posted_.size(); }

    // --- hidden message windows and timers ---
    // Creates a hidden window whose messages go to WndProc. Never null.
    HWND AllocateHWnd(TWndMethod WndProc);
    // Destroys the window with its timers and the messages posted to it. Null is ignored.
    // Safe from inside the window's own procedure.
    void DeallocateHWnd(HWND Wnd);
    bool WindowExists(HWND Wnd) const;
    // Starts timer IDEvent on Wnd, or replaces and restarts it when the window already has
    // one with that id. The interval is clamped to 10..0x7FFFFFFF ms. Returns non-zero on
    // success, 0 for an unknown window or while timers are refused.
    std::uintptr_t SetTimer(HWND Wnd, std::uintptr_t IDEvent, std::uint32_t ElapseMs);
    // Destroys the timer; false when there is no such timer.
    bool KillTimer(HWND Wnd, std::uintptr_t IDEvent);
    // Test switch: while true every SetTimer fails and returns 0.
    void SetRefuseTimers(bool Refuse) { refuseTimers_ = Refuse; }
    bool RefuseTimers() const { return refuseTimers_; }
    // Number of running timers (all windows).
    std::size_t TimerCount() const { return timers_.size(); }
    // Time the next timer falls due, or -1 when no timer runs.
    std::int64_t NextTimerDue() const;

    // --- exceptions ---
    // Handles the exception being caught (call it from a catch block): EAbort is ignored;
    // otherwise OnException when assigned, else ShowException. Outside a catch it does nothing.
    void HandleException(TObject* Sender);
    // Reports an exception: records its message (ExceptionMessages) and passes it to the
    // handler the host installed with SetShowExceptionHandler (headless: none).
    void ShowException(const std::exception& E);
    TExceptionEvent OnException() const { return onException_; }
    void SetOnException(TExceptionEvent Handler) { onException_ = std::move(Handler); }
    void SetShowExceptionHandler(std::function<void(const std::string&)> Handler) {
        showException_ = std::move(Handler);
    }
    // Messages of every exception reported through ShowException, oldest first.
    const std::vector<std::string>& ExceptionMessages() const { return exceptionLog_; }

    // --- beep ---
    // Counts the beep and calls the host's sound hook, if any. Returns true.
    bool MessageBeep(std::uint32_t Type);
    void SetBeepHandler(std::function<void(std::uint32_t)> Handler) { beep_ = std::move(Handler); }
    int BeepCount() const { return beepCount_; }
    std::uint32_t LastBeepType() const { return lastBeep_; }

    // Forgets what one test could leave for the next: posted messages, the exception log,
    // OnException, the beep count, refused timers, the terminated flag, the screen cursor and
    // the clipboard text. Windows and their timers stay (their owners free them).
    void ResetState();

  private:
    struct Timer {
        HWND Wnd;
        std::uintptr_t Id;
        std::int64_t Interval;
        std::int64_t NextDue;
        std::int64_t ReadyAt; // time it fell due, orders ready timers
        std::uint64_t Seq;    // creation order, breaks ties
        bool Ready;
    };
    struct Posted {
        HWND Wnd; // null for a posted call
        TMessage Message;
        std::function<void()> Call;
    };

    void Dispatch(HWND Wnd, TMessage& Message);
    bool DeliverOnePosted();
    // Delivers the earliest ready timer whose creation number is not in Fired, and adds it.
    bool DeliverOneTimer(std::vector<std::uint64_t>& Fired);
    void CheckDisplay() const;
    void UpdateReadyTimers();

    std::unique_ptr<TClock> clock_;
    TManualClock* manual_ = nullptr;
    std::vector<std::unique_ptr<TMessageWindow>> windows_;
    std::vector<Timer> timers_;
    std::deque<Posted> posted_;
    std::uint64_t timerSeq_ = 0;
    bool refuseTimers_ = false;
    bool terminated_ = false;
    std::function<void()> paint_;
    std::function<bool()> showing_;
    TInputPump pump_;
    TExceptionEvent onException_;
    std::function<void(const std::string&)> showException_;
    std::vector<std::string> exceptionLog_;
    std::function<void(std::uint32_t)> beep_;
    int beepCount_ = 0;
    std::uint32_t lastBeep_ = 0;
};

// The one application object of the program. Never null.
extern TApplication* const Application;

// The platform's free functions, forwarding to Application.
HWND AllocateHWnd(TWndMethod WndProc);
void DeallocateHWnd(HWND Wnd);
std::uintptr_t SetTimer(HWND Wnd, std::uintptr_t IDEvent, std::uint32_t ElapseMs);
bool KillTimer(HWND Wnd, std::uintptr_t IDEvent);
bool PostMessage(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam);
LRESULT SendMessage(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam);
// The default window procedure: every message a window does not handle itself goes here,
// unchanged. Hidden windows have no default behaviour, so the result is 0.
LRESULT DefWindowProc(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam);
inline LRESULT DefWindowProcW(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam) {
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}
// Queues an alert sound and returns at once; non-zero on success.
bool MessageBeep(std::uint32_t Type);
// Milliseconds on the application's clock.
std::uint32_t GetTickCount();

// Mouse cursor shapes.
using TCursor = int;
enum : int {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
};

// The screen: the application-wide cursor override and the pixel density.
class TScreen : public TObject {
  public:
    std::string ClassName() const override { return "TScreen"; }
    // crDefault lets each control show its own cursor; any other value overrides them all
    // until reset.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor Value);
    // The host's hook, called after every change of Cursor.
    void SetOnCursorChange(std::function<void(TCursor)> Handler) { onChange_ = std::move(Handler); }
    int PixelsPerInch() const { return 96; }
    // Shape a host shows over a control whose own cursor is ControlCursor.
    TCursor EffectiveCursor(TCursor ControlCursor) const {
        return cursor_ != crDefault ? cursor_ : ControlCursor;
    }

  private:
    TCursor cursor_ = crDefault;
    std::function<void(TCursor)> onChange_;
};

extern TScreen* const Screen;

// Clipboard formats.
enum : std::uint32_t { CF_TEXT = 1, CF_UNICODETEXT = 13 };

// The clipboard. It keeps its text in memory until a host connects the system clipboard.
class TClipboard : public TObject {
  public:
    std::string ClassName() const override { return "TClipboard"; }
    // The text on the clipboard (UTF-8), or "" when there is none.
    std::string AsText() const;
    // Replaces the whole clipboard content with Text.
    void SetAsText(const std::string& Text);
    // CF_TEXT and CF_UNICODETEXT: true while text is available. Other formats: false.
    bool HasFormat(std::uint32_t Format) const;
    void Clear();

    // A system clipboard: how to read, write and test for text. Empty functions disconnect
    // it and return to the in-memory clipboard.
    struct TBackend {
        std::function<std::string()> GetText;
        std::function<void(const std::string&)> SetText;
        std::function<bool()> HasText;
    };
    void SetBackend(TBackend Backend) { backend_ = std::move(Backend); }

  private:
    std::string text_;
    bool hasText_ = false;
    TBackend backend_;
};

TClipboard& Clipboard();

} // namespace kel
