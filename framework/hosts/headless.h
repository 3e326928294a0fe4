// The headless host: the default host of every form. Forms render into memory; nothing is shown.
// Tests use the helpers below to inject input exactly as a window host would (pointer moves
// before presses, a key down before the typed text, the key up after), to run the message loop,
// to read pixels and to write a form or a control as PNG.
//
// All coordinates are client coordinates of the form, or of the control for the helpers that
// take a control. The helpers do not paint; PixelAt, Snapshot and the PNG writers first run
// the message loop (Flush), which paints what is pending.
//
// Index: THeadlessHost; mouse helpers; key helpers; loop and pixels; modal script.
#pragma once

#include "kel_forms.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kel::headless {

// Records what the forms report; used as the form host unless another is installed.
class THeadlessHost : public TFormHost {
  public:
    void FormShown(TForm* Form) override;
    void FormHidden(TForm* Form) override;
    void FormInvalidated(TForm* Form) override {
        (void)Form;
        ++FInvalidations;
    }
    void FormPainted(TForm* Form) override;
    void FormDestroying(TForm* Form) override;
    // Runs the loop; when that leaves the modal form open, runs the modal script (each script
    // runs once), else lets the manual clock reach the next timer; when nothing is left that
    // could close the form, or only timers ran for MaxModalTimerMs of clock time since the
    // last script, raises EInvalidOperation instead of waiting for ever.
    void ModalLoopStep(TForm* Form) override;

    // Forms shown and not hidden since, in the order they were shown.
    const std::vector<TForm*>& ShownForms() const { return FShown; }
    int InvalidationCount() const { return FInvalidations; }
    // Rectangles the last paint passes presented, oldest first (cleared by ClearPresented).
    // Only the last MaxPresented are kept, so a long headless run does not grow without end.
    const std::vector<TRect>& Presented() const { return FPresented; }
    static constexpr std::size_t MaxPresented = 4096;
    void ClearPresented() { FPresented.clear(); }
    void SetModalScript(std::function<void(TForm&)> Script) { FModalScript = std::move(Script); }
    // Clock time a modal loop may run on timers alone (ten minutes).
    static constexpr std::int64_t MaxModalTimerMs = 600000;

  private:
    std::vector<TForm*> FShown;
    std::vector<TRect> FPresented;
    int FInvalidations = 0;
    std::function<void(TForm&)> FModalScript;
    TForm* FIdleForm = nullptr;  // the modal form whose loop runs on timers alone
    std::int64_t FIdleSince = 0; // clock time when that began
};

// The headless host (a process-wide instance).
THeadlessHost& Host();

// ---- Mouse ------------------------------------------------------------------------------------

// Shift holds the modifier keys (ssShift, ssCtrl, ssAlt); the helpers add the buttons.
void MoveTo(TForm& Form, int X, int Y, TShiftState Shift = {});
void MouseDownAt(TForm& Form, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
void MouseUpAt(TForm& Form, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = {});
// Move, press, release at one point.
void ClickAt(TForm& Form, int X, int Y, TShiftState Shift = {}, TMouseButton Button = mbLeft);
// Move, press, release, double-click press, release.
void DoubleClickAt(TForm& Form, int X, int Y, TShiftState Shift = {});
// Press at (X1, Y1), Steps moves on the straight line to (X2, Y2) with the button held,
// release there.
void Drag(TForm& Form, int X1, int Y1, int X2, int Y2, TShiftState Shift = {}, int Steps = 4,
          TMouseButton Button = mbLeft);
// Wheel by Delta (120 per notch, positive away from the user) with the pointer at (X, Y).
void Wheel(TForm& Form, int X, int Y, int Delta, TShiftState Shift = {});
// The pointer leaves the window.
void LeaveWindow(TForm& Form);

// The same in a control's client coordinates (the control must lie on a form).
void MoveTo(TControl& Control, int X, int Y, TShiftState Shift = {});
void MouseDownAt(TControl& Control, int X, int Y, TMouseButton Button = mbLeft,
                 TShiftState Shift = {});
void MouseUpAt(TControl& Control, int X, int Y, TMouseButton Button = mbLeft,
               TShiftState Shift = {});
void ClickAt(TControl& Control, int X, int Y, TShiftState Shift = {}, TMouseButton Button = mbLeft);
void DoubleClickAt(TControl& Control, int X, int Y, TShiftState Shift = {});
void Drag(TControl& Control, int X1, int Y1, int X2, int Y2, TShiftState Shift = {}, int Steps = 4,
          TMouseButton Button = mbLeft);
void Wheel(TControl& Control, int X, int Y, int Delta, TShiftState Shift = {});

// ---- Keys -------------------------------------------------------------------------------------

// Key goes down / up on the form's focused control (the form itself when none). Key down also
// gives the control characters of Enter, Esc, Backspace, Tab and Ctrl+letter.
void KeyDown(TForm& Form, std::uint16_t Key, TShiftState Shift = {});
void KeyUp(TForm& Form, std::uint16_t Key, TShiftState Shift = {});
// Key down then key up.
void KeyStroke(TForm& Form, std::uint16_t Key, TShiftState Shift = {});
// Types text: per character the key down (with Shift for capitals), the character, the key
// up, as a keyboard would. '\r' or '\n', '\t', '\b' and '\x1b' type Enter, Tab, Backspace and
// Esc. Characters without a key of their own arrive as text only.
void Type(TForm& Form, const std::string& Utf8);
// One character, as Type does.
void KeyPress(TForm& Form, char32_t Ch);
// Text arriving without key events (an input method).
void TextInput(TForm& Form, const std::string& Utf8);
// The virtual key that types Ch on the usual layout (0 when none), and whether Shift is needed.
std::uint16_t VirtualKeyOf(char32_t Ch, bool& NeedsShift);

// ---- Loop and pixels --------------------------------------------------------------------------

// Runs the application's message loop once over: posted messages, painting, due timers.
void Flush();
// The same without painting: what is invalid waits for the next Flush, as while input
// arrives in a burst.
void Deliver();
// Pixel of the form's surface after Flush (0xFFFFFFFF outside), as a TColor (0x00BBGGRR).
TColor PixelAt(TForm& Form, int X, int Y);
// Pixel of a control, in its client coordinates.
TColor PixelAt(TControl& Control, int X, int Y);
// Copy of what a control (or form) shows, after Flush: its visible part, sized as the control.
void Snapshot(TControl& Control, TBitmap& Out);
// Writes a control (or form) as PNG; raises EWriteError/EFOpenError on failure.
void SavePNG(TControl& Control, const std::string& Path);

// ---- Modal loop -------------------------------------------------------------------------------

// What to do once a form runs ShowModal and the loop is idle (click its OK button, say).
void WhenModal(std::function<void(TForm&)> Script);

} // namespace kel::headless
