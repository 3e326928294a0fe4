// The control tree of the platform layer: TControl (the visual base), TGraphicControl (windowless,
// paints on its parent's surface), TWinControl (holds children, takes the focus and the keys)
// and TCustomControl (a windowed control with a canvas and Paint).
//
// There are no native windows. Every control of a form paints into the form's one surface (see
// kel_forms.h); a control's canvas has its origin at the control's top-left and its clip at the
// part of the control that is visible (and, during painting, dirty). Windowed controls behave as
// if they had windows of their own: their parent never paints under them, mouse input goes to
// the innermost enabled windowed control under the pointer, keys go to the focused one.
//
// Input arrives as messages (TMessage with the platform's WM_*/CM_*/CN_* numbers) through the
// virtual WndProc, which turns them into the virtual handlers (MouseDown, KeyDown, ...) and
// those into the events (OnMouseDown, OnKeyDown, ...). Override a handler to change behaviour,
// or WndProc to see a message first (call the base for everything else).
//
// Index: enumerations and event types; TControl; TGraphicControl; TWinControl; TCustomControl;
// free helpers (GetParentForm; CharToUtf8 is in kel_utf8.h).
#pragma once

#include "kel_app.h"
#include "kel_classes.h"
#include "kel_graphics.h"
#include "kel_messages.h"
#include "kel_types.h"
#include "kel_utf8.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kel {

class TControl;
class TWinControl;
class TForm;
class TPopupMenu; // kel_menus.h

// ---- Enumerations and event types -------------------------------------------------------------

// Border of a form (bsNone..bsSingle is the border of panels and edits as well).
enum TFormBorderStyle : std::uint8_t {
    bsNone,
    bsSingle,
    bsSizeable,
    bsDialog,
    bsToolWindow,
    bsSizeToolWin
};
using TBorderStyle = TFormBorderStyle;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

// What a control class is and does (set by its constructor).
enum TControlStyleItem : std::uint8_t {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
    csNeedsBorderPaint,
    csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;
// Transient state of a control.
enum TControlStateItem : std::uint8_t {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using TControlState = TSet<TControlStateItem>;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Key is a virtual-key code; setting it to 0 stops the framework's own handling of the key.
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
// Key is the typed character (a code point); setting it to 0 swallows the character.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
// MousePos is in screen coordinates; set Handled to stop further processing.
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent =
    std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
// MousePos in client coordinates of the control, (-1, -1) when opened from the keyboard.
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// Opens a popup menu at a screen position for a control (installed by the menu unit).
using TPopupMenuHandler =
    std::function<void(TPopupMenu* Menu, TControl* Control, TPoint ScreenPos)>;
// The popup menu a component is, or null when it is none (installed by the menu unit, which
// alone knows the menu class; a form file's PopupMenu reference goes through it).
using TPopupMenuCast = TPopupMenu* (*)(TComponent* Component);

// Reading direction of text and layout.
enum TBiDiMode : std::uint8_t {
    bdLeftToRight,
    bdRightToLeft,
    bdRightToLeftNoAlign,
    bdRightToLeftReadingOnly
};
// Which parts of a control a visual style may paint.
enum TStyleElement : std::uint8_t { seFont, seClient, seBorder };
using TStyleElements = TSet<TStyleElement>;
// How a control's help is looked up: by HelpKeyword or by HelpContext.
enum THelpType : std::uint8_t { htKeyword, htContext };
// Dragging: a drag-and-drop operation or a dock; started by the program or by a press.
enum TDragKind : std::uint8_t { dkDrag, dkDock };
enum TDragMode : std::uint8_t { dmManual, dmAutomatic };
enum TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
class TDragObject;
class TDragDockObject;
// Source is the control (or drag object) being dragged; X, Y are client coordinates.
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y,
                                          TDragState State, bool& Accept)>;
// Target is the control the drag ended on, or null when it was cancelled.
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;

// Size limits of a control: 0 means no limit. Kept and streamed; the layout code does not
// apply them yet.
class TSizeConstraints : public TPersistent {
  public:
    std::string ClassName() const override { return "TSizeConstraints"; }
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { SetLimit(FMaxHeight, Value); }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { SetLimit(FMaxWidth, Value); }
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value) { SetLimit(FMinHeight, Value); }
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { SetLimit(FMinWidth, Value); }
    // Fired after a limit changed.
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }
    void Assign(const TPersistent* Source) override;

  private:
    // Negative limits are refused (EInvalidOperation), equal values do nothing.
    void SetLimit(int& Field, int Value);
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
    TNotifyEvent FOnChange;
};

// ---- TControl ---------------------------------------------------------------------------------

// The visual base: a rectangle within a parent, with font, colour, visibility, mouse handling
// and painting. A control without a parent is never shown and gets no input.
class TControl : public TComponent {
  public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    std::string ClassName() const override { return "TControl"; }

    // --- parent and geometry (Left/Top relative to the parent's client area, pixels) ---
    TWinControl* Parent() const { return FParent; }
    // Moves the control into AParent's Controls (last in z-order); null removes it.
    virtual void SetParent(TWinControl* AParent);
    bool HasParent() const { return FParent != nullptr; }
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // The one virtual every change of position or size goes through. Overrides call the base
    // first and then read the new size. Negative sizes become 0.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // (0, 0, ClientWidth, ClientHeight); a form's client area excludes its frame.
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    // Both at once: one size change (one OnResize, and a form's surface resized once).
    void SetClientSize(int AWidth, int AHeight);
    // Screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    // The client rectangle in the coordinates of the form's surface (the control's origin
    // there), and the part of it not cut off by the ancestors.
    TPoint SurfaceOrigin() const;
    TRect VisibleSurfaceRect() const;

    // --- visibility and state ---
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to a shown form too.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    // Moves the control to the top (end) or bottom (start) of its parent's z-order.
    void BringToFront();
    void SendToBack();

    // --- layout: Align (alNone) and Anchors ([akLeft, akTop]) within the parent ---
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);

    // --- looks ---
    // The font; changing it (or any part of it) sets ParentFont false.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& Value) { FFont.Assign(&Value); }
    bool ParentFont() const { return FParentFont; } // default true: follows the parent's font
    void SetParentFont(bool Value);
    TColor Color() const { return FColor; } // default clWindow; setting it clears ParentColor
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; } // default true
    void SetParentColor(bool Value);
    // Caption and Text are one string (labels, panels and forms show it, edits edit it).
    const std::string& Caption() const { return FText; }
    void SetCaption(const std::string& Value) { SetText(Value); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) {
        FShowHint = Value;
        FParentShowHint = false;
    }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value) { FParentShowHint = Value; }
    TCursor Cursor() const { return FCursor; } // default crDefault
    void SetCursor(TCursor Value);
    // The menu a right-button release opens (not owned; forgotten when the menu is deleted).
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    template <class M = TPopupMenu>
    void SetPopupMenu(M* Value) {
        SetPopupMenuComponent(Value, Value);
    }
    void SetPopupMenu(std::nullptr_t) { SetPopupMenuComponent(nullptr, nullptr); }
    void SetPopupMenuComponent(TPopupMenu* Menu, TComponent* AsComponent);
    static void SetPopupMenuHandler(TPopupMenuHandler Handler);
    // The popup menu as a component (what a form file names).
    TComponent* PopupMenuComponent() const { return FPopupMenuComponent; }
    // Sets the popup menu from a component found by name: null clears it; a component that is
    // no popup menu (by the cast the menu unit installs) raises EInvalidOperation.
    void SetPopupMenuFrom(TComponent* Value);
    // Installs the cast; returns the one installed before.
    static TPopupMenuCast SetPopupMenuCast(TPopupMenuCast Cast);

    // --- properties kept for the program and the form file; their behaviour (help lookup,
    // right-to-left layout, styles, size limits) is not implemented yet ---
    int HelpContext() const { return FHelpContext; } // default 0
    void SetHelpContext(int Value) { FHelpContext = Value; }
    const std::string& HelpKeyword() const { return FHelpKeyword; } // default ""
    void SetHelpKeyword(const std::string& Value) { FHelpKeyword = Value; }
    THelpType HelpType() const { return FHelpType; } // default htContext
    void SetHelpType(THelpType Value) { FHelpType = Value; }
    // Default bdLeftToRight; setting it clears ParentBiDiMode, as with Font and ParentFont.
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value) {
        FBiDiMode = Value;
        FParentBiDiMode = false;
    }
    bool ParentBiDiMode() const { return FParentBiDiMode; } // default true
    void SetParentBiDiMode(bool Value) { FParentBiDiMode = Value; }
    TStyleElements StyleElements() const { return FStyleElements; } // default all three
    void SetStyleElements(TStyleElements Value) { FStyleElements = Value; }
    TCursor DragCursor() const { return FDragCursor; } // default crDrag
    void SetDragCursor(TCursor Value) { FDragCursor = Value; }
    TDragKind DragKind() const { return FDragKind; } // default dkDrag
    void SetDragKind(TDragKind Value) { FDragKind = Value; }
    TDragMode DragMode() const { return FDragMode; } // default dmManual
    void SetDragMode(TDragMode Value) { FDragMode = Value; }
    TSizeConstraints& Constraints() { return FConstraints; }
    const TSizeConstraints& Constraints() const { return FConstraints; }
    void SetConstraints(const TSizeConstraints& Value) { FConstraints.Assign(&Value); }

    // --- painting ---
    // Marks the control dirty; it is painted later, when the message queue is empty, or by
    // Update. A windowless control marks its rectangle in its parent.
    virtual void Invalidate();
    // Paints what is pending on the control's form now.
    void Update();
    // Invalidate + Update; a windowless csOpaque control paints itself at once instead.
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // --- messages ---
    // Sends a message straight to WndProc and returns its Result.
    LRESULT Perform(std::uint32_t Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // The message dispatcher; overrides handle what they need and call the base for the rest.
    virtual void WndProc(TMessage& Message);

    // --- drag and drop (one drag at a time, with this control as its source) ---
    // Starts a drag: at once when Immediate, else once the pointer has moved Threshold pixels
    // (5 when negative) along either axis from where it is now; a release before that is an
    // ordinary click. Does nothing while another drag is pending or running. dmAutomatic calls
    // BeginDrag(false) on every left press (not the second press of a double click).
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends this control's drag: dropped on the target under the pointer when Drop and that
    // target accepted, else cancelled. A drag that has not started yet is just forgotten.
    void EndDrag(bool Drop);
    // True while this control is the source of a started drag.
    bool Dragging() const;

    // --- mouse ---
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);
    // Fires OnClick; also called for reasons other than the mouse.
    virtual void Click();
    virtual void DblClick();

    // --- events ---
    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent e) { FOnClick = std::move(e); }
    TNotifyEvent OnDblClick() const { return FOnDblClick; }
    void SetOnDblClick(TNotifyEvent e) { FOnDblClick = std::move(e); }
    TMouseEvent OnMouseDown() const { return FOnMouseDown; }
    void SetOnMouseDown(TMouseEvent e) { FOnMouseDown = std::move(e); }
    TMouseMoveEvent OnMouseMove() const { return FOnMouseMove; }
    void SetOnMouseMove(TMouseMoveEvent e) { FOnMouseMove = std::move(e); }
    TMouseEvent OnMouseUp() const { return FOnMouseUp; }
    void SetOnMouseUp(TMouseEvent e) { FOnMouseUp = std::move(e); }
    TNotifyEvent OnMouseEnter() const { return FOnMouseEnter; }
    void SetOnMouseEnter(TNotifyEvent e) { FOnMouseEnter = std::move(e); }
    TNotifyEvent OnMouseLeave() const { return FOnMouseLeave; }
    void SetOnMouseLeave(TNotifyEvent e) { FOnMouseLeave = std::move(e); }
    TMouseWheelEvent OnMouseWheel() const { return FOnMouseWheel; }
    void SetOnMouseWheel(TMouseWheelEvent e) { FOnMouseWheel = std::move(e); }
    TMouseWheelUpDownEvent OnMouseWheelDown() const { return FOnMouseWheelDown; }
    void SetOnMouseWheelDown(TMouseWheelUpDownEvent e) { FOnMouseWheelDown = std::move(e); }
    TMouseWheelUpDownEvent OnMouseWheelUp() const { return FOnMouseWheelUp; }
    void SetOnMouseWheelUp(TMouseWheelUpDownEvent e) { FOnMouseWheelUp = std::move(e); }
    TContextPopupEvent OnContextPopup() const { return FOnContextPopup; }
    void SetOnContextPopup(TContextPopupEvent e) { FOnContextPopup = std::move(e); }
    TNotifyEvent OnResize() const { return FOnResize; }
    void SetOnResize(TNotifyEvent e) { FOnResize = std::move(e); }
    // Drag events (see BeginDrag): OnStartDrag on the source when the drag starts; OnDragOver
    // on the control under the pointer (dsDragEnter, dsDragMove, dsDragLeave; Accept preset
    // true, a control without OnDragOver accepts nothing); on release over an accepting target
    // its OnDragOver(dsDragLeave) then its OnDragDrop; last, always, OnEndDrag on the source
    // with the target, or null when the drag was cancelled (Escape, a refusing target, EndDrag
    // (false)). The dock events are kept, not fired (docking is not implemented).
    TDragDropEvent OnDragDrop() const { return FOnDragDrop; }
    void SetOnDragDrop(TDragDropEvent e) { FOnDragDrop = std::move(e); }
    TDragOverEvent OnDragOver() const { return FOnDragOver; }
    void SetOnDragOver(TDragOverEvent e) { FOnDragOver = std::move(e); }
    TEndDragEvent OnEndDrag() const { return FOnEndDrag; }
    void SetOnEndDrag(TEndDragEvent e) { FOnEndDrag = std::move(e); }
    TStartDragEvent OnStartDrag() const { return FOnStartDrag; }
    void SetOnStartDrag(TStartDragEvent e) { FOnStartDrag = std::move(e); }
    TEndDragEvent OnEndDock() const { return FOnEndDock; }
    void SetOnEndDock(TEndDragEvent e) { FOnEndDock = std::move(e); }
    TStartDockEvent OnStartDock() const { return FOnStartDock; }
    void SetOnStartDock(TStartDockEvent e) { FOnStartDock = std::move(e); }

    // A weak handle: reads null once the control is deleted (dispatch code keeps one across
    // event handlers that may delete the control).
    std::shared_ptr<TControl* const> Handle() const { return FSelfRef; }
    bool IsWindowed() const { return FIsWindowed; }

  protected:
    // Draws the control; the canvas is clipped to what needs drawing.
    virtual void Paint() {}
    // The control's canvas, bound to its form's surface (origin at the control, clip at its
    // visible part); a control not on a form gets a canvas without surface (measuring works,
    // drawing does nothing). Drawing outside a paint pass is shown with the next present.
    TCanvas& ControlCanvas();

    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Wheel: OnMouseWheel first, then per whole notch (120) DoMouseWheelDown (negative
    // delta) or DoMouseWheelUp. True when handled; unhandled input goes on to the parent.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    // Drag handlers behind the events above; X, Y are this control's client coordinates.
    virtual void DoStartDrag(TDragObject*& DragObject);
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    virtual void DoEndDrag(TObject* Target, int X, int Y);
    // Fires OnResize after the size changed (not while loading).
    virtual void Resize();
    // Called by SetBounds after a change of size, before Resize; windowed controls realign
    // their children here, forms resize their surface.
    virtual void SizeChanged() {}
    // CM_MOUSEENTER / CM_MOUSELEAVE: fire the events (when meant for this control) and pass
    // the notification to the parent with LParam = this control.
    virtual void CMMouseEnter(TMessage& Message);
    virtual void CMMouseLeave(TMessage& Message);
    // CM_DIALOGCHAR (Alt with a letter or digit): a control whose accelerator it is acts on it
    // and sets Result; the base does nothing, windowed controls pass it to their children.
    virtual void CMDialogChar(TMessage& Message) { (void)Message; }
    // Messages nobody handled end here (Result stays as it is, 0 by default).
    virtual void DefaultHandler(TMessage& Message) { (void)Message; }
    // Notifications that come as messages too, so overrides of WndProc see them.
    virtual void VisibleChanging() {}
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void NameChanged(const std::string& OldName) override;
    void Loaded() override;

    // Style helpers for constructors.
    void IncludeStyle(TControlStyleItem s) { FControlStyle.include(s); }
    void ExcludeStyle(TControlStyleItem s) { FControlStyle.exclude(s); }
    // Sets the bounds without SetBounds, Resize or invalidation (constructors).
    void InitBounds(int ALeft, int ATop, int AWidth, int AHeight);

    // Invalidates a rectangle of this control's client area (client coordinates).
    void InvalidateRect(const TRect& R);
    // True while a parent realigns this control (SetBounds overrides may want to know).
    bool Aligning() const { return FAligning; }

  private:
    friend class TWinControl;
    friend class TForm;
    friend TForm* GetParentForm(const TControl* Control);
    void FontChanged();
    void ParentFontChanged();
    void ParentColorChanged();
    void RecordAnchorRules();
    void RequestParentAlign();
    TForm* FormOf() const;
    // The form's side of dragging (kel_forms.cpp calls these before its own routing): true
    // when the drag used the move / release / key up, so the form routes it no further.
    static bool DragMouseMove(TForm* Form, TPoint P);
    static bool DragMouseUp(TForm* Form, TPoint P);
    static bool DragKeyDown(TForm* Form, std::uint16_t Key);
    // The cursor a running drag shows over Form (Cursor keeps crDefault when none runs).
    static bool DragCursorOver(const TForm* Form, TCursor& Cursor);
    void StartDragging();
    static void FinishDrag(bool Drop);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    struct AnchorRules {
        int Left = 0, Top = 0, Width = 0, Height = 0, ParentW = 0, ParentH = 0;
        bool Valid = false;
    } FAnchorRules;
    bool FAligning = false;
    TFont FFont;
    bool FParentFont = true;
    bool FFontFromParent = false; // the font being copied from the parent (keeps ParentFont)
    TColor FColor = clWindow;
    bool FParentColor = true;
    std::string FText;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    TComponent* FPopupMenuComponent = nullptr;
    int FHelpContext = 0;
    std::string FHelpKeyword;
    THelpType FHelpType = htContext;
    TBiDiMode FBiDiMode = bdLeftToRight;
    bool FParentBiDiMode = true;
    TStyleElements FStyleElements{seFont, seClient, seBorder};
    TCursor FDragCursor = crDrag;
    TDragKind FDragKind = dkDrag;
    TDragMode FDragMode = dmManual;
    TSizeConstraints FConstraints;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    int FWheelAccumulator = 0;
    std::unique_ptr<TCanvas> FCanvas;
    bool FCanvasFontStale = true;
    TRect FBoundClip{};       // the clip ControlCanvas set last (logical)
    bool FIsForm = false;     // set by TForm while it lives (cleared first in its destructor)
    bool FIsWindowed = false; // set by TWinControl
    std::shared_ptr<TControl*> FSelfRef;

    TNotifyEvent FOnClick, FOnDblClick, FOnMouseEnter, FOnMouseLeave, FOnResize;
    TMouseEvent FOnMouseDown, FOnMouseUp;
    TMouseMoveEvent FOnMouseMove;
    TMouseWheelEvent FOnMouseWheel;
    TMouseWheelUpDownEvent FOnMouseWheelDown, FOnMouseWheelUp;
    TContextPopupEvent FOnContextPopup;
    TDragDropEvent FOnDragDrop;
    TDragOverEvent FOnDragOver;
    TEndDragEvent FOnEndDrag, FOnEndDock;
    TStartDragEvent FOnStartDrag;
    TStartDockEvent FOnStartDock;
};

// ---- TGraphicControl --------------------------------------------------------------------------

// A windowless control: painted by its parent (after the parent's background, in z-order),
// never focused, gets the mouse only through its parent.
class TGraphicControl : public TControl {
  public:
    explicit TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
    std::string ClassName() const override { return "TGraphicControl"; }
    // Client coordinates; valid in Paint and for measuring at any time.
    TCanvas& Canvas() { return ControlCanvas(); }
};

// ---- TWinControl ------------------------------------------------------------------------------

// A control that can hold children, take the focus and receive keys.
class TWinControl : public TControl {
  public:
    explicit TWinControl(TComponent* AOwner);
    // Deletes its child controls, owned or not.
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    // --- children, in z-order (windowless ones paint below windowed ones) ---
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const; // raises EListError when out of range
    // Whether AControl is this control or lies inside it.
    bool ContainsControl(const TControl* AControl) const;
    // Topmost visible (and enabled unless AllowDisabled) windowless child at P (client).
    TControl* ControlAtPos(TPoint P, bool AllowDisabled = false) const;
    // Sends Message to every child until one sets a non-zero Result.
    void Broadcast(TMessage& Message);
    // Rearranges the aligned and anchored children now.
    void Realign();
    void DisableAlign() { ++FAlignDisabled; }
    void EnableAlign();

    // --- focus ---
    // Visible and enabled, with every parent up to the form.
    virtual bool CanFocus() const;
    // The form's focused control is this one and the form is active.
    bool Focused() const;
    // Makes this the form's active control; raises EInvalidOperation "Cannot focus a disabled
    // or invisible window" when CanFocus is false.
    virtual void SetFocus();
    bool TabStop() const { return FTabStop; } // default false
    void SetTabStop(bool Value) { FTabStop = Value; }
    // 0-based rank among the windowed siblings; assigning renumbers the others, values past
    // the end go last, negative ones first.
    int TabOrder() const;
    void SetTabOrder(int Value);
    // The windowed children in tab order, depth first (children of a container follow it).
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // The control after (before) CurControl in the tab order of this control's descendants,
    // wrapping round; null when none qualifies.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // Kept for compatibility: the form's surface is always the back buffer, so painting never
    // flickers and this flag changes nothing visible. Setting it clears ParentDoubleBuffered and
    // passes the value on to the windowed children that follow this control.
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool Value);
    // True (default): DoubleBuffered is the parent's, now and whenever the parent's changes.
    bool ParentDoubleBuffered() const { return FParentDoubleBuffered; }
    void SetParentDoubleBuffered(bool Value);
    // A three-dimensional (sunken) look where the control draws a frame: default true.
    // Controls with a frame of their own (edit box, grid) override both to redraw it.
    virtual bool Ctl3D() const { return FCtl3D; }
    virtual void SetCtl3D(bool Value) { FCtl3D = Value; }
    // Kept and streamed; following the parent's Ctl3D is not implemented yet. Default true.
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }

    // --- events ---
    TKeyEvent OnKeyDown() const { return FOnKeyDown; }
    void SetOnKeyDown(TKeyEvent e) { FOnKeyDown = std::move(e); }
    TKeyPressEvent OnKeyPress() const { return FOnKeyPress; }
    void SetOnKeyPress(TKeyPressEvent e) { FOnKeyPress = std::move(e); }
    TKeyEvent OnKeyUp() const { return FOnKeyUp; }
    void SetOnKeyUp(TKeyEvent e) { FOnKeyUp = std::move(e); }
    TNotifyEvent OnEnter() const { return FOnEnter; }
    void SetOnEnter(TNotifyEvent e) { FOnEnter = std::move(e); }
    TNotifyEvent OnExit() const { return FOnExit; }
    void SetOnExit(TNotifyEvent e) { FOnExit = std::move(e); }

    void WndProc(TMessage& Message) override;

  protected:
    virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);
    // Run the form's key preview, then the handler; true when the key was used up (Key 0).
    bool DoKeyDown(std::uint16_t& Key, TShiftState Shift);
    bool DoKeyPress(char32_t& Key);
    bool DoKeyUp(std::uint16_t& Key, TShiftState Shift);
    virtual void DoEnter();
    virtual void DoExit();
    // CN_KEYDOWN: runs before KeyDown. The base offers Tab, arrows, Enter and Esc to the form
    // as dialog keys unless this control wants them (WM_GETDLGCODE, CM_WANTSPECIALKEY); a
    // non-zero Result consumes the key (no KeyDown, no KeyPress).
    virtual void CNKeyDown(TMessage& Message);
    virtual void CNKeyUp(TMessage& Message) { (void)Message; }
    virtual void CNChar(TMessage& Message) { (void)Message; }
    // WM_GETDLGCODE: the DLGC_* bits of the keys this control keeps; the base answers 0.
    virtual void WMGetDlgCode(TMessage& Message) { Message.Result = 0; }
    // CM_DIALOGKEY: the base broadcasts it to the children (a default button may take it).
    virtual void CMDialogKey(TMessage& Message);
    // Offers CM_DIALOGCHAR to the children while this control shows and is enabled.
    void CMDialogChar(TMessage& Message) override;
    // WM_SETFOCUS / WM_KILLFOCUS: the base repaints nothing; controls showing focus override.
    virtual void WMSetFocus(TMessage& Message) { (void)Message; }
    virtual void WMKillFocus(TMessage& Message) { (void)Message; }
    // Erases the background with Color (unless csOpaque) and calls Paint.
    virtual void PaintWindow();
    // Places the aligned children within Rect (top, bottom, left, right, client).
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    // Moves the anchored children, then realigns.
    void SizeChanged() override;
    // Runs the alignment that loading held back.
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    friend class TControl;
    friend class TForm;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    void ApplyAnchors();
    // Takes the parent's DoubleBuffered while ParentDoubleBuffered holds.
    void ParentDoubleBufferedChanged();

    std::vector<TControl*> FControls;   // z-order
    std::vector<TWinControl*> FTabList; // windowed children in tab order
    bool FTabStop = false;
    bool FDoubleBuffered = false;
    bool FParentDoubleBuffered = true;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    int FAlignDisabled = 0;
    bool FAlignPending = false;
    bool FRealigning = false;
    TKeyEvent FOnKeyDown, FOnKeyUp;
    TKeyPressEvent FOnKeyPress;
    TNotifyEvent FOnEnter, FOnExit;
};

// ---- TCustomControl ---------------------------------------------------------------------------

// A windowed control that draws itself: override Paint and draw on Canvas.
class TCustomControl : public TWinControl {
  public:
    explicit TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
    std::string ClassName() const override { return "TCustomControl"; }
    TCanvas& Canvas() { return ControlCanvas(); }
};

// ---- Free helpers -----------------------------------------------------------------------------

// The form a control lies on (the control itself when it is a form), or null.
TForm* GetParentForm(const TControl* Control);
// The character a key stroke yields besides printable text (which arrives as text input):
// Enter 13 (Ctrl+Enter 10), Esc 27, Backspace 8, Tab 9, Ctrl+letter 1..26; 0 for none.
char32_t ControlCharOfKey(std::uint16_t Key, TShiftState Shift);

} // namespace kel
