// The window host on SDL2: every shown form becomes a real window, and real mouse, keyboard,
// text input, clipboard and cursors reach the framework. The host stays thin: it copies the
// rectangles a paint pass changed from the form's surface into the window and presents only
// those, feeds input to the form's Host* entry points, and drives the timers with the steady
// clock. Nothing else in the library knows about SDL; this header does not include it.
//
// Use:   kel::TSDLHost host;            // installs itself (needs a display)
//        form->Show(); host.Run(form);  // until the form closes or Terminate is called
#pragma once

#include "kel_forms.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace kel {

class TSDLHost : public TFormHost {
  public:
    // Opens SDL's video subsystem and installs the host: form host, steady clock, input pump,
    // clipboard and cursor. Raises EInvalidOperation with SDL's reason when no display opens.
    TSDLHost();
    // Closes the windows and returns to the headless host with a manual clock.
    ~TSDLHost() override;
    TSDLHost(const TSDLHost&) = delete;
    TSDLHost& operator=(const TSDLHost&) = delete;

    // True when a window can be tried: DISPLAY or WAYLAND_DISPLAY is set and KEL_HEADLESS is
    // not "1".
    static bool DisplayAvailable();

    // Runs the message loop until Terminate is called or MainForm (when given) is hidden or
    // deleted. Shows MainForm first when it is not visible.
    void Run(TForm* MainForm = nullptr);

    // Copies what the form's window shows into Bmp (client size). False when the form has no
    // window.
    bool ReadWindowPixels(TForm* Form, TBitmap& Bmp) const;
    // Rectangles presented so far, over all windows (dirty-area presents, not whole frames).
    std::uint64_t PresentedRectCount() const { return presentedRects_; }

    // --- TFormHost ---
    void FormShown(TForm* Form) override;
    void FormHidden(TForm* Form) override;
    void FormInvalidated(TForm* Form) override;
    void FormPainted(TForm* Form) override;
    void FormBoundsChanged(TForm* Form) override;
    void FormCaptionChanged(TForm* Form) override;
    void FormCaptureChanged(TForm* Form, bool Captured) override;
    void FormDestroying(TForm* Form) override;
    TSize ScreenSize() const override;

  private:
    struct Window;
    // Waits up to TimeoutMs for input (0: none, negative: forever) and dispatches it.
    bool Pump(int TimeoutMs);
    void DispatchEvent(const void* Event);
    void Present(Window& W, bool Everything);
    void UpdateCursor();
    Window* WindowOf(TForm* Form);
    Window* WindowById(std::uint32_t Id);
    void CloseWindow(TForm* Form);

    std::map<TForm*, std::unique_ptr<Window>> windows_;
    TForm* mainForm_ = nullptr;
    TForm* pointerForm_ = nullptr; // form under the mouse pointer
    std::uint32_t buttons_ = 0;    // MK_LBUTTON/MK_RBUTTON/MK_MBUTTON held
    bool resizing_ = false;        // a move or resize reported by the window, not by the form
    bool workPending_ = false;     // a form asked for a paint pass
    std::uint64_t presentedRects_ = 0;
    std::map<int, void*> cursors_; // SDL cursors by TCursor
    int shownCursor_ = crDefault - 1000;
};

} // namespace kel
