// Forms: the top-level controls. A form owns the one surface every control on it paints into,
// keeps the list of invalid rectangles, runs the paint passes, and is the entry point for input:
// a host (the headless one, or the SDL window host) hands it mouse and key events in client
// coordinates, and the form routes them with capture, enter/leave, focus, dialog keys and key
// preview as the controls expect.
//
// How a host drives a form, and nothing more:
//   * TFormHost is told when a form is shown, hidden, invalidated (work is pending), painted
//     (pixels changed: take them with TakeUpdatedRects and present), resized or retitled.
//   * Surface() is the client area's pixels; TakeUpdatedRects() the parts changed since the
//     last take.
//   * The Host* entry points deliver input.
// Painting runs from the application's paint handler (registered by the first form) when the
// message queue is empty, or at once through Update/Repaint.
//
// Index: TRectList; TFormHost; modal results and close actions; TForm; the form registry.
#pragma once

#include "kel_controls.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kel {

// ---- Invalid region ---------------------------------------------------------------------------

// A short list of rectangles: an added rectangle is clipped to the bounds, dropped when one
// already present covers it, removes those it covers, and merges with another when their union
// is no larger than the two together; past MaxRects the list becomes the whole bounds.
class TRectList {
  public:
    static constexpr int MaxRects = 16;
    void Add(const TRect& R, const TRect& Bounds);
    bool Empty() const { return FRects.empty(); }
    const std::vector<TRect>& Rects() const { return FRects; }
    void Clear() { FRects.clear(); }
    // The rectangles, leaving the list empty.
    std::vector<TRect> Take();
    // Smallest rectangle holding them all (empty when none).
    TRect BoundingBox() const;

  private:
    std::vector<TRect> FRects;
};

// ---- Host interface ---------------------------------------------------------------------------

class TForm;

// What the forms tell the host that shows them. The headless host is installed by default.
class TFormHost {
  public:
    virtual ~TFormHost() = default;
    virtual void FormShown(TForm* Form) = 0;
    virtual void FormHidden(TForm* Form) = 0;
    // Work is pending for the form (new invalid area, or drawing outside a paint pass): the
    // host should run the message loop soon and then present.
    virtual void FormInvalidated(TForm* Form) = 0;
    // A paint pass changed pixels: TakeUpdatedRects tells which.
    virtual void FormPainted(TForm* Form) { (void)Form; }
    // Position, size or border style changed (the surface has the new client size).
    virtual void FormBoundsChanged(TForm* Form) { (void)Form; }
    virtual void FormCaptionChanged(TForm* Form) { (void)Form; }
    // A control of the form took (true) or released the mouse capture.
    virtual void FormCaptureChanged(TForm* Form, bool Captured) { (void)Form, (void)Captured; }
    // The form is being deleted; the host forgets it.
    virtual void FormDestroying(TForm* Form) { (void)Form; }
    // One turn of a modal loop (ShowModal repeats it until ModalResult is set).
    virtual void ModalLoopStep(TForm* Form);
    // Size of the screen (for poScreenCenter).
    virtual TSize ScreenSize() const { return {1920, 1080}; }
};

// Installs the host (not owned); null returns to the headless host.
void SetFormHost(TFormHost* Host);
TFormHost& FormHost();

// ---- Form types -------------------------------------------------------------------------------

using TModalResult = int;
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrHelp = 9,
    mrTryAgain = 10,
    mrContinue = 11,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14
};
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
enum TPosition : std::uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

// ---- TForm ------------------------------------------------------------------------------------

// A top-level window. Left/Top are screen coordinates; Width/Height include the frame that the
// border style implies, ClientWidth/ClientHeight (the surface) do not.
class TForm : public TWinControl {
  public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;
    std::string ClassName() const override { return "TForm"; }

    // --- window ---
    TFormBorderStyle BorderStyle() const { return FBorderStyle; } // default bsSizeable
    void SetBorderStyle(TFormBorderStyle Value);
    // Frame widths of the border style: left, top (caption included), right, bottom.
    TRect FrameWidths() const;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    // Where Show puts the form: poDesigned keeps Left/Top; poScreenCenter and poDesktopCenter
    // centre it on the screen, poMainFormCenter over the main form (the first form created
    // that is shown), poOwnerFormCenter over its owner form (else as poMainFormCenter).
    TPosition Position() const { return FPosition; } // default poDesigned
    void SetPosition(TPosition Value) { FPosition = Value; }
    bool KeyPreview() const { return FKeyPreview; } // default false
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    void SetVisible(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // Active: the form has the keyboard (the last one shown, or as the host reports).
    bool Active() const { return FActive; }

    // --- focus ---
    // The focused control, or null when the form itself has the focus. Assigning focuses it
    // (EInvalidOperation when the control is not on this form or cannot take the focus).
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    // Focuses Control (or the form, for null): OnExit of the old control, OnEnter of the new.
    void FocusControl(TWinControl* Control);

    // --- showing, closing, modality ---
    // Shows the form, disables the other forms and runs a modal loop (host turns) until
    // ModalResult is non-zero; then hides the form (not deleted) and returns the result.
    virtual TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool Modal() const { return FModal; }
    // Asks OnCloseQuery, then OnClose(Action = caHide): hides (caHide), deletes later
    // (caFree) or keeps the form (caNone). A modal form just gets ModalResult mrCancel.
    void Close();
    virtual bool CloseQuery();
    // Deletes the form from the message loop, after the current handler returned.
    void Release();

    // --- painting ---
    TCanvas& Canvas() { return ControlCanvas(); }
    // Client-area pixels (ClientWidth x ClientHeight); empty until the form is first shown.
    const TBitmap& Surface() const { return FSurface; }
    // Marks a rectangle of the surface (client coordinates) for repainting.
    void InvalidateSurfaceRect(const TRect& R);
    bool HasInvalidArea() const { return !FInvalid.Empty(); }
    const std::vector<TRect>& InvalidRects() const { return FInvalid.Rects(); }
    // Paints every invalid rectangle now (nothing while the form is hidden).
    void PaintPending();
    // Rectangles whose pixels changed since the last call (for the host to present).
    std::vector<TRect> TakeUpdatedRects();
    bool HasUpdatedRects() const { return !FUpdated.Empty(); }
    // Number of paint passes run so far (one per PaintPending that had work).
    int PaintPassCount() const { return FPaintPasses; }

    // --- input from the host (client coordinates of the form; Shift holds the modifier keys;
    //     the form adds the buttons it saw pressed and not released; a press at a point other
    //     than the last one is preceded by a move there) ---
    void HostMouseMove(int X, int Y, TShiftState Shift);
    void HostMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void HostMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The second press of a double click, in place of its HostMouseDown.
    void HostDoubleClick(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Wheel turned by WheelDelta (120 a notch, positive away from the user) with the pointer
    // at (X, Y); goes to the focused control.
    void HostMouseWheel(int WheelDelta, TShiftState Shift, int X, int Y);
    // The pointer left the window.
    void HostMouseLeave();
    // A key went down / up. Key down also produces the control characters of Enter, Esc,
    // Backspace, Tab and Ctrl+letter (see ControlCharOfKey); printable text comes separately
    // through HostTextInput, as the host's text input reports it.
    void HostKeyDown(std::uint16_t Key, TShiftState Shift);
    void HostKeyUp(std::uint16_t Key, TShiftState Shift);
    void HostTextInput(const std::string& Utf8);
    // The window gained or lost the keyboard.
    void HostActivate(bool Active);
    // The window's close button (ignored while the form is disabled by a modal form).
    void HostCloseRequest() {
        if (FEnabled) Close();
    }
    // The user resized the window to this client size.
    void HostResize(int ClientWidth, int ClientHeight);
    // The control that gets a press at (X, Y) when nothing holds the capture (may be null).
    TControl* ControlAtPoint(int X, int Y) const;
    // The control holding the mouse capture, or null.
    TControl* CaptureControl() const { return FCaptureControl; }
    // The control under the pointer as enter/leave last reported it, or null.
    TControl* MouseControl() const { return FMouseControl; }
    // Where the pointer was last reported, and whether it is inside the window.
    TPoint MousePos() const { return FMousePos; }
    bool MouseInside() const { return FMouseInside; }
    // The cursor to show: while a drag runs, the source's DragCursor over an accepting target
    // and crNo elsewhere; else Screen's override, else that of the control under the pointer.
    TCursor CurrentCursor() const;

    // --- events ---
    TNotifyEvent OnShow() const { return FOnShow; }
    void SetOnShow(TNotifyEvent e) { FOnShow = std::move(e); }
    TNotifyEvent OnHide() const { return FOnHide; }
    void SetOnHide(TNotifyEvent e) { FOnHide = std::move(e); }
    TNotifyEvent OnPaint() const { return FOnPaint; }
    void SetOnPaint(TNotifyEvent e) { FOnPaint = std::move(e); }
    TNotifyEvent OnActivate() const { return FOnActivate; }
    void SetOnActivate(TNotifyEvent e) { FOnActivate = std::move(e); }
    TNotifyEvent OnDeactivate() const { return FOnDeactivate; }
    void SetOnDeactivate(TNotifyEvent e) { FOnDeactivate = std::move(e); }
    TCloseEvent OnClose() const { return FOnClose; }
    void SetOnClose(TCloseEvent e) { FOnClose = std::move(e); }
    TCloseQueryEvent OnCloseQuery() const { return FOnCloseQuery; }
    void SetOnCloseQuery(TCloseQueryEvent e) { FOnCloseQuery = std::move(e); }

    void WndProc(TMessage& Message) override;

  protected:
    // Fires OnPaint (the background is already erased with Color).
    void Paint() override;
    void CMDialogKey(TMessage& Message) override;
    void SizeChanged() override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    // Whether showing the form makes it the active one (popups answer false: the keyboard and
    // the focused control stay where they were).
    virtual bool ActivatesOnShow() const { return true; }

  private:
    friend class TControl;
    friend class TWinControl;
    void PaintTree(TWinControl* W, const std::vector<TRect>& Dirty, const TRect& ParentClip);
    void PaintOne(TControl* C, const TRect& Clip);
    void PaintControlNow(TControl* C);
    void NoteDrawnOutsidePaint(const TRect& R);
    void SetCaptureControl(TControl* C);
    void ControlRemoved(TControl* C, bool Destroying); // C (and what it holds) leaves the form
    void UpdateHover(bool Recompute);
    void SendMouse(TControl* Target, std::uint32_t Msg, TShiftState Shift, TPoint P);
    void SendChar(TWinControl* Target, char32_t Ch);
    void SyncModifierKeys(TShiftState Shift);
    TWinControl* KeyTarget();
    void SetActive(bool Value);
    void ApplyFocus();
    void ControlHiding(TControl* C);
    void ResizeSurface();

    TBitmap FSurface;
    TRectList FInvalid;
    TRectList FUpdated;
    bool FPainting = false;
    TControl* FPaintingControl = nullptr;
    TRect FPaintingClip{};
    int FPaintPasses = 0;

    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    bool FKeyPreview = false;
    bool FActive = false;
    bool FModal = false;
    TModalResult FModalResult = mrNone;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr; // the control that last got CM_ENTER
    TControl* FCaptureControl = nullptr;
    TControl* FMouseControl = nullptr;
    TPoint FMousePos{-1, -1};
    TShiftState FButtons; // mouse buttons pressed on this form and not yet released
    bool FMouseInside = false;

    TNotifyEvent FOnShow, FOnHide, FOnPaint, FOnActivate, FOnDeactivate;
    TCloseEvent FOnClose;
    TCloseQueryEvent FOnCloseQuery;
};

// ---- Form registry ----------------------------------------------------------------------------

// Every existing form, in creation order, and the active one.
int FormCount();
TForm* Forms(int Index); // raises EListError when out of range
TForm* ActiveForm();     // null when no form is active

} // namespace kel
