// The application object: clock, message queue, hidden windows with their timers, exception
// handling, and the screen cursor, clipboard and beep services. Everything runs on the one
// user-interface thread.
#include "kel_app.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kel {

// What an HWND points at.
struct TMessageWindow {
    TWndMethod WndProc;
};

void Abort() { throw EAbort(); }

std::int64_t TSteadyClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TApplication::TApplication() {
    auto clock = std::make_unique<TManualClock>();
    manual_ = clock.get();
    clock_ = std::move(clock);
}

TApplication::~TApplication() = default;

void TApplication::SetClock(std::unique_ptr<TClock> Clock) {
    if (!Clock) Clock = std::make_unique<TManualClock>();
    const std::int64_t oldNow = clock_->NowMs();
    const std::int64_t newNow = Clock->NowMs();
    for (Timer& t : timers_) {
        t.NextDue = newNow + (t.NextDue - oldNow);
        t.ReadyAt = newNow + (t.ReadyAt - oldNow);
    }
    manual_ = dynamic_cast<TManualClock*>(Clock.get());
    clock_ = std::move(Clock);
}

void TApplication::Advance(std::int64_t ms) {
    if (!manual_) throw EInvalidOperation("Advance needs the manual clock");
    const std::int64_t target = manual_->NowMs() + std::max<std::int64_t>(ms, 0);
    ProcessMessages();
    for (;;) {
        // A handler may have moved the clock itself; the manual clock never goes back.
        const std::int64_t due = NextTimerDue();
        if (due < 0 || due > target) break;
        manual_->Set(due);
        ProcessMessages();
    }
    manual_->Set(target);
    ProcessMessages();
}

// --- message loop ---

void TApplication::Dispatch(HWND Wnd, TMessage& Message) {
    auto it =
        std::find_if(windows_.begin(), windows_.end(),
                     [Wnd](const std::unique_ptr<TMessageWindow>& w) { return w.get() == Wnd; });
    if (it == windows_.end()) return;
    // A copy, so the procedure may free its own window while it runs.
    TWndMethod proc = (*it)->WndProc;
    if (proc) proc(Message);
}

bool TApplication::DeliverOnePosted() {
    if (posted_.empty()) return false;
    Posted p = std::move(posted_.front());
    posted_.pop_front();
    try {
        if (p.Call)
            p.Call();
        else
            Dispatch(p.Wnd, p.Message);
    } catch (...) {
        HandleException(nullptr);
    }
    return true;
}

void TApplication::UpdateReadyTimers() {
    const std::int64_t now = Now();
    for (Timer& t : timers_) {
        if (now >= t.NextDue) {
            // Only a flag: however many periods went by, one message follows.
            if (!t.Ready) t.ReadyAt = t.NextDue;
            t.Ready = true;
            t.NextDue = now + t.Interval;
        }
    }
}

bool TApplication::DeliverOneTimer(std::vector<std::uint64_t>& Fired) {
    UpdateReadyTimers();
    Timer* first = nullptr;
    for (Timer& t : timers_) {
        if (!t.Ready) continue;
        if (std::find(Fired.begin(), Fired.end(), t.Seq) != Fired.end()) continue;
        if (!first || t.ReadyAt < first->ReadyAt ||
            (t.ReadyAt == first->ReadyAt && t.Seq < first->Seq))
            first = &t;
    }
    if (!first) return false;
    HWND wnd = first->Wnd;
    const std::uintptr_t id = first->Id;
    first->Ready = false;
    Fired.push_back(first->Seq);
    TMessage m{WM_TIMER, id, 0, 0};
    try {
        Dispatch(wnd, m);
    } catch (...) {
        HandleException(nullptr);
    }
    return true;
}

void TApplication::ProcessMessages(bool Paint) {
    // Timers come last, and each timer ticks at most once per call: a handler slower than its
    // interval finds its timer due again at once, and serving it again here would keep the
    // host from ever reading input or seeing Terminate. The next call serves it again.
    std::vector<std::uint64_t> fired;
    for (;;) {
        if (DeliverOnePosted()) continue;
        if (Paint && paint_) {
            try {
                paint_();
            } catch (...) {
                HandleException(nullptr);
            }
            // Painting may post; those messages go before any timer.
            if (!posted_.empty()) continue;
        }
        if (!DeliverOneTimer(fired)) break;
    }
}

bool TApplication::HandleMessage() {
    if (terminated_) return false;
    if (pump_) {
        try {
            pump_(0);
        } catch (...) {
            HandleException(nullptr);
        }
    }
    ProcessMessages();
    if (terminated_) return false;
    if (posted_.empty()) {
        // Sleep until input arrives or the next timer falls due.
        const std::int64_t due = NextTimerDue();
        int wait = 50;
        if (due >= 0) wait = static_cast<int>(std::clamp<std::int64_t>(due - Now(), 0, 50));
        if (pump_) {
            try {
                pump_(wait);
            } catch (...) {
                HandleException(nullptr);
            }
        } else if (!manual_ && wait > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        } else if (manual_ && due >= 0) {
            // Nothing can arrive from outside: let the manual clock reach the next timer.
            manual_->Set(due);
        }
    }
    return !terminated_;
}

void TApplication::CheckDisplay() const {
    // Without an input source nothing can show a form or give it input; a timer (a caret's
    // blink, say) would keep such a loop turning at full speed for ever.
    if (pump_ || !showing_ || !showing_()) return;
    throw EInvalidOperation(
        "Run: a form is showing, but no display host is installed, so nothing can show it or "
        "give it input. Create a kel::TSDLHost (header <kel/sdl_host.h>, CMake target kel::sdl) "
        "before running the loop, or drive the form with the headless helpers of "
        "<kel/headless.h> (Flush, Advance, the input helpers) instead of Run");
}

void TApplication::Run() {
    CheckDisplay();
    while (HandleMessage()) {
        CheckDisplay();
        // Under the manual clock with no input source, no timer and nothing posted, nothing
        // can ever end the loop: say so instead of spinning for ever.
        if (manual_ && !pump_ && timers_.empty() && posted_.empty())
            throw EInvalidOperation(
                "Run: nothing can happen any more (no timer, no message, no input source)");
    }
}

// --- posted and sent messages ---

bool TApplication::PostMessage(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam) {
    if (!WindowExists(Wnd)) return false;
    posted_.push_back(Posted{Wnd, TMessage{Msg, WParam, LParam, 0}, {}});
    return true;
}

void TApplication::PostCall(std::function<void()> Call) {
    if (Call) posted_.push_back(Posted{nullptr, TMessage{}, std::move(Call)});
}

LRESULT TApplication::SendMessage(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    Dispatch(Wnd, m);
    return m.Result;
}

// --- hidden windows and timers ---

HWND TApplication::AllocateHWnd(TWndMethod WndProc) {
    windows_.push_back(std::make_unique<TMessageWindow>(TMessageWindow{std::move(WndProc)}));
    return windows_.back().get();
}

void TApplication::DeallocateHWnd(HWND Wnd) {
    if (!Wnd) return;
    auto it =
        std::find_if(windows_.begin(), windows_.end(),
                     [Wnd](const std::unique_ptr<TMessageWindow>& w) { return w.get() == Wnd; });
    if (it == windows_.end()) return;
    std::erase_if(timers_, [Wnd](const Timer& t) { return t.Wnd == Wnd; });
    std::erase_if(posted_, [Wnd](const Posted& p) { return !p.Call && p.Wnd == Wnd; });
    windows_.erase(it);
}

bool TApplication::WindowExists(HWND Wnd) const {
    if (!Wnd) return false;
    return std::any_of(windows_.begin(), windows_.end(),
                       [Wnd](const std::unique_ptr<TMessageWindow>& w) { return w.get() == Wnd; });
}

std::uintptr_t TApplication::SetTimer(HWND Wnd, std::uintptr_t IDEvent, std::uint32_t ElapseMs) {
    if (refuseTimers_ || !WindowExists(Wnd)) return 0;
    const std::int64_t interval =
        std::clamp<std::int64_t>(ElapseMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    const std::int64_t due = Now() + interval;
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const Timer& t) { return t.Wnd == Wnd && t.Id == IDEvent; });
    if (it != timers_.end()) {
        // Replacing drops the old interval, the elapsed time and a pending tick.
        it->Interval = interval;
        it->NextDue = due;
        it->Ready = false;
    } else {
        timers_.push_back(Timer{Wnd, IDEvent, interval, due, due, timerSeq_++, false});
    }
    return IDEvent != 0 ? IDEvent : 1;
}

bool TApplication::KillTimer(HWND Wnd, std::uintptr_t IDEvent) {
    const auto n =
        std::erase_if(timers_, [&](const Timer& t) { return t.Wnd == Wnd && t.Id == IDEvent; });
    return n > 0;
}

std::int64_t TApplication::NextTimerDue() const {
    std::int64_t best = -1;
    for (const Timer& t : timers_) {
        const std::int64_t due = t.Ready ? t.ReadyAt : t.NextDue;
        if (best < 0 || due < best) best = due;
    }
    return best;
}

// --- exceptions ---

void TApplication::HandleException(TObject* Sender) {
    std::exception_ptr ep = std::current_exception();
    if (!ep) return;
    try {
        std::rethrow_exception(ep);
    } catch (const EAbort&) {
        // Silent by design.
    } catch (const std::exception& e) {
        if (onException_) {
            try {
                onException_(Sender, e);
            } catch (const std::exception& inner) {
                ShowException(inner);
            } catch (...) {
                ShowException(Exception("Unknown exception in OnException"));
            }
        } else {
            ShowException(e);
        }
    } catch (...) {
        ShowException(Exception("Unknown exception"));
    }
}

void TApplication::ShowException(const std::exception& E) {
    exceptionLog_.emplace_back(E.what());
    if (showException_) showException_(E.what());
}

// --- beep ---

bool TApplication::MessageBeep(std::uint32_t Type) {
    ++beepCount_;
    lastBeep_ = Type;
    if (beep_) beep_(Type);
    return true;
}

void TApplication::ResetState() {
    posted_.clear();
    exceptionLog_.clear();
    onException_ = nullptr;
    beepCount_ = 0;
    lastBeep_ = 0;
    refuseTimers_ = false;
    terminated_ = false;
    Screen->SetCursor(crDefault);
    Clipboard().Clear();
}

// --- globals ---

namespace {
// The pointers below are constant-initialised, so they are valid in any static initialiser;
// the objects are constructed with this file's other statics.
TApplication theApplication;
TScreen theScreen;
} // namespace

TApplication* const Application = &theApplication;
TScreen* const Screen = &theScreen;

HWND AllocateHWnd(TWndMethod WndProc) { return Application->AllocateHWnd(std::move(WndProc)); }
void DeallocateHWnd(HWND Wnd) { Application->DeallocateHWnd(Wnd); }
std::uintptr_t SetTimer(HWND Wnd, std::uintptr_t IDEvent, std::uint32_t ElapseMs) {
    return Application->SetTimer(Wnd, IDEvent, ElapseMs);
}
bool KillTimer(HWND Wnd, std::uintptr_t IDEvent) { return Application->KillTimer(Wnd, IDEvent); }
bool PostMessage(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam) {
    return Application->PostMessage(Wnd, Msg, WParam, LParam);
}
LRESULT SendMessage(HWND Wnd, std::uint32_t Msg, WPARAM WParam, LPARAM LParam) {
    return Application->SendMessage(Wnd, Msg, WParam, LParam);
}
LRESULT DefWindowProc(HWND, std::uint32_t, WPARAM, LPARAM) { return 0; }
bool MessageBeep(std::uint32_t Type) { return Application->MessageBeep(Type); }
std::uint32_t GetTickCount() { return static_cast<std::uint32_t>(Application->Now()); }

// --- screen ---

void TScreen::SetCursor(TCursor Value) {
    if (Value == cursor_) return;
    cursor_ = Value;
    if (onChange_) onChange_(cursor_);
}

// --- clipboard ---

std::string TClipboard::AsText() const {
    if (backend_.GetText) return backend_.GetText();
    return hasText_ ? text_ : std::string();
}

void TClipboard::SetAsText(const std::string& Text) {
    if (backend_.SetText) {
        backend_.SetText(Text);
        return;
    }
    text_ = Text;
    hasText_ = true;
}

bool TClipboard::HasFormat(std::uint32_t Format) const {
    if (Format != CF_TEXT && Format != CF_UNICODETEXT) return false;
    if (backend_.HasText) return backend_.HasText();
    return hasText_;
}

void TClipboard::Clear() {
    text_.clear();
    hasText_ = false;
    if (backend_.SetText) backend_.SetText(std::string());
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

} // namespace kel
