// The popup layer: windows that show above everything else at a screen point (popup menus and
// their submenus, the list of a combo box, the month calendar of a date-time picker).
//
// A popup is a borderless form (TPopupWindow) that never takes the activation from the form
// that opened it, so the focused control keeps its focus and caret. While popups are open the
// layer sees the input of every form first (TForm's Host* entry points ask it):
//   * mouse input goes to the topmost popup under the pointer, whichever window the host saw it
//     in (so a press on a combo box's button, dragged onto its list and released there, picks
//     an item); a drag that started in a popup stays with it;
//   * a press outside every popup closes them all and is used up (it reaches no control);
//     other forms get no mouse input while a popup is open;
//   * keys go to the topmost popup when it takes the keys (menus); otherwise they stay with the
//     focused control, which drives its own popup (a combo box moves in its list, closes it on
//     Escape).
// Hosts show popups as they show forms: the headless host composes the open popups into the
// snapshots and pixels of the forms below them; the SDL host gives each a borderless popup
// window.
//
// Index: TPopupWindow; the layer's functions.
#pragma once

#include "kel_forms.h"

#include <cstdint>
#include <string>

namespace kel {

// A borderless top-level window shown by the popup layer. Descendants paint it (Paint) and take
// its mouse input (MouseDown/MouseMove/MouseUp of the form itself, or of child controls).
class TPopupWindow : public TForm {
  public:
    explicit TPopupWindow(TComponent* AOwner);
    // Leaves the layer first (closing the popups opened above it).
    ~TPopupWindow() override;
    std::string ClassName() const override { return "TPopupWindow"; }

    // Opens the popup with its top-left at the screen point, moved left and up as far as needed
    // to stay on the screen (FormHost().ScreenSize()). Popups opened later lie above.
    void PopupAt(TPoint ScreenPos);
    // Opens the popup just below the screen rectangle Anchor, left-aligned with it, or just
    // above it when there is no room below.
    void PopupBelow(const TRect& Anchor);
    // Opens the popup beside Anchor (a submenu beside its item): to the right, or to the left
    // when there is no room on the right; top-aligned with it, moved up to stay on the screen.
    void PopupBeside(const TRect& Anchor);
    // Closes the popup and every popup opened above it (no OnDismiss). Nothing when closed.
    void ClosePopup();
    bool IsOpen() const { return FOpen; }
    // The popup's client area in screen coordinates.
    TRect ScreenRect() const;

    // True: while this popup is the topmost one, the keys of every form come to it (menus).
    // False (default): keys stay with the focused control.
    bool TakesKeys() const { return FTakesKeys; }
    void SetTakesKeys(bool Value) { FTakesKeys = Value; }
    // Fired after the layer closed the popup itself: a press outside every popup.
    TNotifyEvent OnDismiss() const { return FOnDismiss; }
    void SetOnDismiss(TNotifyEvent e) { FOnDismiss = std::move(e); }

  protected:
    bool ActivatesOnShow() const override { return false; }
    // Every key is the popup's own (no dialog keys).
    void WMGetDlgCode(TMessage& Message) override { Message.Result = DLGC_WANTALLKEYS; }

  private:
    friend void CloseAllPopups(bool Dismissed);
    void Open(TPoint At);
    bool FOpen = false;
    bool FTakesKeys = false;
    TNotifyEvent FOnDismiss;
};

// ---- The layer --------------------------------------------------------------------------------

// Open popups, bottom first.
int OpenPopupCount();
TPopupWindow* OpenPopups(int Index); // raises EListError when out of range
// The topmost open popup, or null.
TPopupWindow* TopPopup();
// The open popup that is Form, or null.
TPopupWindow* AsOpenPopup(const TForm* Form);
// Closes every popup, topmost first; with Dismissed each fires OnDismiss after it closed.
void CloseAllPopups(bool Dismissed = false);

// What a host delivered to a form (for the form's Host* entry points).
enum class TPopupInput : std::uint8_t { Move, Down, DoubleClick, Up, Wheel, KeyDown, KeyUp, Text };
// Offers input that reached Form to the layer before the form handles it. True when the layer
// took it (forwarded it to a popup, or used it up); the form then handles nothing. Mouse
// coordinates are client coordinates of Form; Key is the virtual key (KeyDown, KeyUp) or the
// wheel delta (Wheel).
bool PopupLayerInput(TForm* Form, TPopupInput Kind, TMouseButton Button, TShiftState Shift, int X,
                     int Y, int Key = 0, const std::string& Text = std::string());

// The button that opens a drop-down (combo box, date picker): a raised face (sunken while the
// popup is open) with a small arrow pointing down, grey when disabled.
void PaintDropDownButton(TCanvas& C, const TRect& R, bool Pressed, bool Enabled);
// The dotted focus frame: every other pixel of R's outline inverted.
void PaintFocusFrame(TCanvas& C, const TRect& R);

} // namespace kel
