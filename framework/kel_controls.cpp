// The control tree: geometry, parents, visibility, fonts and colours, alignment and anchors,
// message dispatch of mouse and keys, focus and tab order. Painting and input routing across a
// whole form live in kel_forms.cpp; here each control handles what reaches it.
//
// Index: helpers; TControl (life, geometry, state, looks, painting, messages, mouse);
// TWinControl (children, alignment, focus, keys); free helpers.
#include "kel_controls.h"

#include "kel_forms.h"
#include "kel_setter.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace kel {

namespace {

TPopupMenuHandler& PopupHandler() {
    static TPopupMenuHandler handler;
    return handler;
}

bool IsButtonDown(std::uint32_t m) {
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN ||
           m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK;
}
bool IsButtonUp(std::uint32_t m) {
    return m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_MBUTTONUP;
}
TMouseButton ButtonOf(std::uint32_t m) {
    switch (m) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

} // namespace

// ---- TControl: life ---------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FSelfRef(std::make_shared<TControl*>(this)) {
    FFont.SetOnChange([this](TObject*) { FontChanged(); });
}

TControl::~TControl() {
    SetComponentStateFlag(csDestroying, true);
    *FSelfRef = nullptr;
    if (FParent != nullptr) FParent->RemoveControl(this);
}

TForm* TControl::FormOf() const {
    const TControl* c = this;
    while (c->FParent != nullptr) c = c->FParent;
    return c->FIsForm ? static_cast<TForm*>(const_cast<TControl*>(c)) : nullptr;
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == FPopupMenuComponent) {
        FPopupMenu = nullptr;
        FPopupMenuComponent = nullptr;
    }
}

void TControl::NameChanged(const std::string& OldName) {
    // A control whose caption mirrors its name follows a rename while the two agree; not while
    // a form file loads, where the caption comes from the file.
    if (ComponentState().contains(csLoading)) return;
    if (FControlStyle.contains(csSetCaption) && FText == OldName) SetText(Name());
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParent != nullptr) {
        RecordAnchorRules();
        if (FAlign != alNone) FParent->Realign();
    }
}

// ---- TControl: geometry -----------------------------------------------------------------------

void TControl::InitBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = std::max(0, AWidth);
    FHeight = std::max(0, AHeight);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    bool sizeChanged = AWidth != FWidth || AHeight != FHeight;
    if (!FIsForm) Invalidate(); // the area it leaves
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (!FAligning) RecordAnchorRules();
    if (!FIsForm) Invalidate(); // the area it takes
    if (sizeChanged) SizeChanged();
    if (FParent != nullptr && !FAligning && FAlign != alNone) FParent->Realign();
    if (sizeChanged && !ComponentState().contains(csLoading)) Resize();
}

void TControl::SetClientWidth(int Value) { SetWidth(FWidth - ClientWidth() + Value); }
void TControl::SetClientHeight(int Value) { SetHeight(FHeight - ClientHeight() + Value); }
void TControl::SetClientSize(int AWidth, int AHeight) {
    SetBounds(FLeft, FTop, FWidth - ClientWidth() + AWidth, FHeight - ClientHeight() + AHeight);
}

TPoint TControl::ClientOrigin() const {
    if (FParent == nullptr) return {FLeft, FTop};
    TPoint p = FParent->ClientOrigin();
    return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) const {
    TPoint o = ClientOrigin();
    return {P.X + o.X, P.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint P) const {
    TPoint o = ClientOrigin();
    return {P.X - o.X, P.Y - o.Y};
}

TPoint TControl::SurfaceOrigin() const {
    if (FIsForm || FParent == nullptr) return {0, 0};
    TPoint p = FParent->SurfaceOrigin();
    return {p.X + FLeft, p.Y + FTop};
}

TRect TControl::VisibleSurfaceRect() const {
    if (FIsForm) return ClientRect();
    if (FParent == nullptr) return {};
    TPoint o = SurfaceOrigin();
    return IntersectRect(Bounds(o.X, o.Y, FWidth, FHeight), FParent->VisibleSurfaceRect());
}

void TControl::RecordAnchorRules() {
    if (FParent == nullptr) {
        FAnchorRules.Valid = false;
        return;
    }
    FAnchorRules = {FLeft, FTop, FWidth, FHeight, FParent->ClientWidth(), FParent->ClientHeight(),
                    true};
}

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign) return;
    FAlign = Value;
    if (FAlign == alNone) RecordAnchorRules();
    if (FParent != nullptr) FParent->Realign();
}

void TControl::SetAnchors(TAnchors Value) {
    if (Value == FAnchors) return;
    FAnchors = Value;
    RecordAnchorRules();
}

void TControl::RequestParentAlign() {
    if (FParent != nullptr && FAlign != alNone) FParent->Realign();
}

// ---- TControl: parent, visibility, state ------------------------------------------------------

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FIsForm && AParent != nullptr)
        throw EInvalidOperation("A form cannot be placed on another control");
    if (FIsWindowed && AParent != nullptr &&
        static_cast<TWinControl*>(this)->ContainsControl(AParent))
        throw EInvalidOperation("A control cannot be placed inside one of its own children");
    if (FParent != nullptr) FParent->RemoveControl(this);
    if (AParent != nullptr) AParent->InsertControl(this);
}

bool TControl::Showing() const {
    if (!FVisible) return false;
    if (FIsForm) return true;
    return FParent != nullptr && FParent->Showing();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible) return;
    TForm* f = FormOf();
    if (!Value) {
        VisibleChanging();
        if (f != nullptr && Showing()) f->ControlHiding(this);
        Invalidate();
        FVisible = false;
    } else {
        FVisible = true;
        Invalidate();
    }
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    RequestParentAlign();
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (!Value) {
        TForm* f = FormOf();
        if (f != nullptr) f->ControlHiding(this); // loses focus and capture like a hidden one
    }
    Perform(CM_ENABLEDCHANGED);
    Invalidate();
}

void TControl::BringToFront() {
    if (FParent == nullptr) return;
    auto& v = FParent->FControls;
    v.erase(std::find(v.begin(), v.end(), this));
    v.push_back(this);
    Invalidate();
}

void TControl::SendToBack() {
    if (FParent == nullptr) return;
    auto& v = FParent->FControls;
    v.erase(std::find(v.begin(), v.end(), this));
    v.insert(v.begin(), this);
    Invalidate();
}

// ---- TControl: looks --------------------------------------------------------------------------

void TControl::FontChanged() {
    if (!FFontFromParent) FParentFont = false;
    FCanvasFontStale = true;
    Perform(CM_FONTCHANGED);
    Invalidate();
    if (FIsWindowed) {
        for (TControl* c : static_cast<TWinControl*>(this)->FControls)
            if (c->FParentFont) c->ParentFontChanged();
    }
}

void TControl::ParentFontChanged() {
    if (!FParentFont || FParent == nullptr) return;
    FFontFromParent = true;
    try {
        FFont.Assign(&FParent->FFont);
    } catch (...) {
        FFontFromParent = false;
        throw;
    }
    FFontFromParent = false;
}

void TControl::SetParentFont(bool Value) {
    if (Value == FParentFont) return;
    FParentFont = Value;
    if (Value) ParentFontChanged();
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    FParentColor = false;
    FCanvasFontStale = true;
    Perform(CM_COLORCHANGED);
    Invalidate();
    if (FIsWindowed) {
        for (TControl* c : static_cast<TWinControl*>(this)->FControls)
            if (c->FParentColor) c->ParentColorChanged();
    }
}

void TControl::ParentColorChanged() {
    if (!FParentColor || FParent == nullptr) return;
    SetColor(FParent->FColor);
    FParentColor = true;
}

void TControl::SetParentColor(bool Value) {
    if (Value == FParentColor) return;
    FParentColor = Value;
    if (Value) ParentColorChanged();
}

void TControl::SetText(const std::string& Value) {
    if (Value == FText) return;
    FText = Value;
    Perform(CM_TEXTCHANGED);
    Invalidate();
}

void TControl::SetCursor(TCursor Value) {
    if (Value == FCursor) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetPopupMenuComponent(TPopupMenu* Menu, TComponent* AsComponent) {
    if (Menu == FPopupMenu) return;
    if (FPopupMenuComponent != nullptr) FPopupMenuComponent->RemoveFreeNotification(this);
    FPopupMenu = Menu;
    FPopupMenuComponent = AsComponent;
    if (AsComponent != nullptr) AsComponent->FreeNotification(this);
}

void TControl::SetPopupMenuHandler(TPopupMenuHandler Handler) {
    PopupHandler() = std::move(Handler);
}

namespace {
TPopupMenuCast& PopupCast() {
    static TPopupMenuCast cast = nullptr;
    return cast;
}
} // namespace

TPopupMenuCast TControl::SetPopupMenuCast(TPopupMenuCast Cast) {
    return std::exchange(PopupCast(), Cast);
}

void TControl::SetPopupMenuFrom(TComponent* Value) {
    if (Value == nullptr) {
        SetPopupMenuComponent(nullptr, nullptr);
        return;
    }
    TPopupMenu* menu = PopupCast() != nullptr ? PopupCast()(Value) : nullptr;
    if (menu == nullptr)
        throw EInvalidOperation("\"" + Value->Name() + "\" is a " + Value->ClassName() +
                                ", not a popup menu");
    SetPopupMenuComponent(menu, Value);
}

// ---- TSizeConstraints -------------------------------------------------------------------------

void TSizeConstraints::SetLimit(int& Field, int Value) {
    if (Value < 0)
        throw EInvalidOperation("A size limit cannot be negative (" + std::to_string(Value) + ")");
    if (!SetField(Field, Value)) return;
    if (FOnChange) FOnChange(this);
}

void TSizeConstraints::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TSizeConstraints*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    const bool changed = FMaxHeight != src->FMaxHeight || FMaxWidth != src->FMaxWidth ||
                         FMinHeight != src->FMinHeight || FMinWidth != src->FMinWidth;
    FMaxHeight = src->FMaxHeight;
    FMaxWidth = src->FMaxWidth;
    FMinHeight = src->FMinHeight;
    FMinWidth = src->FMinWidth;
    if (changed && FOnChange) FOnChange(this);
}

// ---- TControl: painting -----------------------------------------------------------------------

void TControl::Invalidate() {
    if (!Showing()) return;
    if (FParent != nullptr && FParent->ComponentState().contains(csDestroying)) return;
    TForm* f = FormOf();
    if (f != nullptr) f->InvalidateSurfaceRect(VisibleSurfaceRect());
}

void TControl::InvalidateRect(const TRect& R) {
    if (!Showing()) return;
    TForm* f = FormOf();
    if (f == nullptr) return;
    TPoint o = SurfaceOrigin();
    f->InvalidateSurfaceRect(IntersectRect(OffsetRect(R, o.X, o.Y), VisibleSurfaceRect()));
}

void TControl::Update() {
    TForm* f = FormOf();
    if (f != nullptr) f->PaintPending();
}

void TControl::Repaint() {
    if (!Showing()) return;
    TForm* f = FormOf();
    if (f == nullptr) return;
    if (!FIsWindowed && FControlStyle.contains(csOpaque)) {
        f->PaintControlNow(this);
        return;
    }
    Invalidate();
    f->PaintPending();
}

TCanvas& TControl::ControlCanvas() {
    if (!FCanvas) FCanvas = std::make_unique<TCanvas>();
    if (FCanvasFontStale) {
        FCanvasFontStale = false;
        FCanvas->Font().Assign(&FFont);
        FCanvas->Brush().SetColor(FColor);
    }
    TForm* f = FormOf();
    if (f == nullptr || f->FSurface.Empty()) {
        if (FCanvas->SurfaceBits() != nullptr) FCanvas->SetSurface(nullptr, 0, 0, 0);
        return *FCanvas;
    }
    TBitmap& s = f->FSurface;
    bool painting = f->FPaintingControl == this;
    TRect clip = painting ? f->FPaintingClip : (Showing() ? VisibleSurfaceRect() : TRect{});
    TPoint o = SurfaceOrigin();
    TRect logical = clip.IsEmpty() ? TRect{} : OffsetRect(clip, -o.X, -o.Y);
    bool rebind = false;
    if (FCanvas->SurfaceBits() != s.Bits() || FCanvas->SurfaceWidth() != s.Width() ||
        FCanvas->SurfaceHeight() != s.Height()) {
        FCanvas->SetSurface(s.Bits(), s.Width(), s.Height(), s.Width());
        rebind = true;
    }
    if (rebind || FCanvas->Origin() != o || logical != FBoundClip) {
        FCanvas->SetOrigin(o);
        FCanvas->SetClipRect(logical);
        FBoundClip = logical;
    }
    if (!f->FPainting && !clip.IsEmpty()) f->NoteDrawnOutsidePaint(clip);
    return *FCanvas;
}

// ---- TControl: messages and mouse -------------------------------------------------------------

LRESULT TControl::Perform(std::uint32_t Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m;
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) {
    const std::uint32_t msg = Message.Msg;
    if (msg == WM_MOUSEMOVE) {
        MouseMove(KeysToShiftState(std::uint32_t(Message.WParam)), GetXLParam(Message.LParam),
                  GetYLParam(Message.LParam));
        return;
    }
    if (IsButtonDown(msg)) {
        TMouseButton button = ButtonOf(msg);
        TShiftState shift = KeysToShiftState(std::uint32_t(Message.WParam));
        int x = GetXLParam(Message.LParam), y = GetYLParam(Message.LParam);
        bool dbl =
            (msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK) &&
            FControlStyle.contains(csDoubleClicks);
        if (FControlStyle.contains(csCaptureMouse)) SetMouseCapture(true);
        auto alive = FSelfRef;
        if (dbl) {
            // The second press of a double click: DblClick, then a press marked ssDouble; the
            // release that follows gives no second Click.
            if (button == mbLeft) DblClick();
            if (*alive == nullptr) return;
            shift.include(ssDouble);
        } else if (button == mbLeft && FControlStyle.contains(csClickEvents)) {
            FControlState.include(csClicked);
        }
        // An automatic drag waits for the threshold; until then the press is an ordinary one.
        if (button == mbLeft && !dbl && FDragMode == dmAutomatic && FDragKind == dkDrag)
            BeginDrag(false);
        MouseDown(button, shift, x, y);
        return;
    }
    if (IsButtonUp(msg)) {
        TMouseButton button = ButtonOf(msg);
        TShiftState shift = KeysToShiftState(std::uint32_t(Message.WParam));
        int x = GetXLParam(Message.LParam), y = GetYLParam(Message.LParam);
        if (FControlStyle.contains(csCaptureMouse)) SetMouseCapture(false);
        auto alive = FSelfRef;
        if (button == mbLeft && FControlState.contains(csClicked)) {
            FControlState.exclude(csClicked);
            if (ClientRect().Contains({x, y})) Click(); // OnClick comes before OnMouseUp
            if (*alive == nullptr) return;
        }
        MouseUp(button, shift, x, y);
        return;
    }
    switch (msg) {
    case WM_MOUSEWHEEL: {
        int delta = std::int16_t(HiWord(Message.WParam));
        TShiftState shift = KeysToShiftState(LoWord(Message.WParam));
        TPoint pos{GetXLParam(Message.LParam), GetYLParam(Message.LParam)};
        if (DoMouseWheel(shift, delta, pos))
            Message.Result = 1;
        else if (FParent != nullptr)
            Message.Result = FParent->Perform(msg, Message.WParam, Message.LParam);
        return;
    }
    case WM_CONTEXTMENU: {
        TPoint screen{GetXLParam(Message.LParam), GetYLParam(Message.LParam)};
        TPoint local = Message.LParam == -1 ? TPoint{-1, -1} : ScreenToClient(screen);
        bool handled = false;
        auto alive = FSelfRef;
        DoContextPopup(local, handled);
        if (*alive == nullptr) return;
        if (handled) {
            Message.Result = 1;
        } else if (FPopupMenu != nullptr && PopupHandler()) {
            PopupHandler()(FPopupMenu, this, screen);
            Message.Result = 1;
        } else if (FParent != nullptr) {
            Message.Result = FParent->Perform(msg, Message.WParam, Message.LParam);
        }
        return;
    }
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    case CM_DIALOGCHAR:
        CMDialogChar(Message);
        return;
    default:
        DefaultHandler(Message);
        return;
    }
}

bool TControl::MouseCapture() const {
    TForm* f = FormOf();
    return f != nullptr && f->FCaptureControl == this;
}

void TControl::SetMouseCapture(bool Value) {
    TForm* f = FormOf();
    if (f == nullptr) return;
    if (Value)
        f->SetCaptureControl(this);
    else if (f->FCaptureControl == this)
        f->SetCaptureControl(nullptr);
}

void TControl::Click() {
    if (FOnClick) FOnClick(this);
}

void TControl::DblClick() {
    if (FOnDblClick) FOnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FOnMouseDown) FOnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (FOnMouseMove) FOnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FOnMouseUp) FOnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (FOnMouseWheel) FOnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (handled) return true;
    FWheelAccumulator += WheelDelta;
    bool negative = FWheelAccumulator < 0;
    while (std::abs(FWheelAccumulator) >= WHEEL_DELTA) {
        if (negative) {
            FWheelAccumulator += WHEEL_DELTA;
            handled = DoMouseWheelDown(Shift, MousePos);
        } else {
            FWheelAccumulator -= WHEEL_DELTA;
            handled = DoMouseWheelUp(Shift, MousePos);
        }
    }
    return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (FOnMouseWheelDown) FOnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (FOnMouseWheelUp) FOnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (FOnContextPopup) FOnContextPopup(this, MousePos, Handled);
}

// ---- TControl: drag and drop ------------------------------------------------------------------

namespace {

// The one drag of the process. Controls and the form are held by their weak handles, so a
// handler that deletes one of them ends nothing worse than the drag itself.
struct TDragSession {
    std::shared_ptr<TControl* const> Source; // null: no drag pending or running
    std::shared_ptr<TControl* const> Form;
    bool Started = false; // past the threshold (OnStartDrag fired)
    TPoint Start{};       // form client coordinates of BeginDrag
    int Threshold = 5;
    std::shared_ptr<TControl* const> Target; // under the pointer, told dsDragEnter
    bool Accepted = false;                   // the target's last answer
    TPoint Pos{};                            // last pointer position (form client)
};

TDragSession& Drag() {
    static TDragSession state;
    return state;
}

TControl* Alive(const std::shared_ptr<TControl* const>& h) { return h ? *h : nullptr; }

constexpr int DefaultDragThreshold = 5;

// P (form client coordinates) in Control's client coordinates.
TPoint ToClient(const TControl* Control, TPoint P) {
    TPoint o = Control->SurfaceOrigin();
    return {P.X - o.X, P.Y - o.Y};
}

} // namespace

void TControl::BeginDrag(bool Immediate, int Threshold) {
    TDragSession& d = Drag();
    TForm* f = FormOf();
    if (Alive(d.Source) != nullptr || f == nullptr) return;
    d = TDragSession{};
    d.Source = FSelfRef;
    d.Form = f->Handle();
    d.Start = d.Pos = f->MousePos();
    d.Threshold = Threshold < 0 ? DefaultDragThreshold : Threshold;
    if (Immediate) StartDragging();
}

void TControl::EndDrag(bool Drop) {
    if (Alive(Drag().Source) == this) FinishDrag(Drop);
}

bool TControl::Dragging() const { return Drag().Started && Alive(Drag().Source) == this; }

// The drag begins: the source stops waiting for its click and lets the capture go (the drag
// now takes the pointer), then OnStartDrag; the control under the pointer is entered.
void TControl::StartDragging() {
    TDragSession& d = Drag();
    d.Started = true;
    FControlState.exclude(csClicked);
    SetMouseCapture(false);
    auto alive = FSelfRef;
    TDragObject* object = nullptr;
    DoStartDrag(object);
    if (*alive == nullptr || Alive(d.Source) != this) return;
    if (auto* f = static_cast<TForm*>(Alive(d.Form))) DragMouseMove(f, d.Pos);
}

bool TControl::DragMouseMove(TForm* Form, TPoint P) {
    TDragSession& d = Drag();
    TControl* source = Alive(d.Source);
    if (source == nullptr || Alive(d.Form) != Form) return false;
    d.Pos = P;
    if (!d.Started) {
        if (std::abs(P.X - d.Start.X) < d.Threshold && std::abs(P.Y - d.Start.Y) < d.Threshold)
            return false; // not yet: the move goes to the source as usual
        source->StartDragging();
        return true; // StartDragging reported this position
    }
    TControl* under = Form->ControlAtPoint(P.X, P.Y);
    TControl* old = Alive(d.Target);
    if (old != nullptr && old != under) {
        d.Target.reset();
        d.Accepted = false;
        bool ignored = false;
        TPoint c = ToClient(old, P);
        old->DragOver(source, c.X, c.Y, dsDragLeave, ignored);
        if (Alive(d.Source) != source) return true;
        old = nullptr;
    }
    if (under != nullptr) {
        auto hu = under->Handle();
        d.Target = hu;
        bool accept = true;
        TPoint c = ToClient(under, P);
        under->DragOver(source, c.X, c.Y, old == nullptr ? dsDragEnter : dsDragMove, accept);
        if (Alive(d.Source) == source && *hu != nullptr) d.Accepted = accept;
    }
    return true;
}

bool TControl::DragMouseUp(TForm* Form, TPoint P) {
    TDragSession& d = Drag();
    if (Alive(d.Source) == nullptr || Alive(d.Form) != Form) return false;
    if (!d.Started) {
        d = TDragSession{}; // released before the threshold: an ordinary click
        return false;
    }
    d.Pos = P;
    FinishDrag(true);
    return true;
}

bool TControl::DragKeyDown(TForm* Form, std::uint16_t Key) {
    TDragSession& d = Drag();
    if (Key != VK_ESCAPE || Alive(d.Source) == nullptr || Alive(d.Form) != Form) return false;
    if (!d.Started) {
        d = TDragSession{}; // Escape before the threshold forgets the drag, and goes on as a key
        return false;
    }
    FinishDrag(false);
    return true;
}

bool TControl::DragCursorOver(const TForm* Form, TCursor& Cursor) {
    const TDragSession& d = Drag();
    TControl* source = Alive(d.Source);
    if (source == nullptr || !d.Started || Alive(d.Form) != Form) return false;
    Cursor = d.Accepted && Alive(d.Target) != nullptr ? source->DragCursor() : crNo;
    return true;
}

// Ends the drag: the target is left, gets the drop when Drop and it accepted, and the source
// hears the end last, with the target or null. The state is cleared first so that handlers
// may start the next drag.
void TControl::FinishDrag(bool Drop) {
    TDragSession d = std::move(Drag());
    Drag() = TDragSession{};
    TControl* source = Alive(d.Source);
    if (source == nullptr) return;
    if (!d.Started) return;
    TControl* target = Alive(d.Target);
    const bool drop = Drop && d.Accepted && target != nullptr;
    TPoint c{};
    if (target != nullptr) {
        c = ToClient(target, d.Pos);
        bool ignored = false;
        target->DragOver(source, c.X, c.Y, dsDragLeave, ignored);
        if (drop && Alive(d.Target) != nullptr && Alive(d.Source) != nullptr)
            target->DragDrop(source, c.X, c.Y);
    }
    source = Alive(d.Source);
    if (source == nullptr) return;
    if (drop && Alive(d.Target) != nullptr)
        source->DoEndDrag(Alive(d.Target), c.X, c.Y);
    else
        source->DoEndDrag(nullptr, 0, 0);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (FOnStartDrag) FOnStartDrag(this, DragObject);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (FOnDragOver) {
        Accept = true;
        FOnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (FOnDragDrop) FOnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (FOnEndDrag) FOnEndDrag(this, Target, X, Y);
}

void TControl::Resize() {
    if (FOnResize) FOnResize(this);
}

void TControl::CMMouseEnter(TMessage& Message) {
    if (FParent != nullptr)
        FParent->Perform(CM_MOUSEENTER, 0, Message.LParam != 0 ? Message.LParam : LPARAM(this));
    if (Message.LParam == 0 && FOnMouseEnter) FOnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& Message) {
    if (FParent != nullptr)
        FParent->Perform(CM_MOUSELEAVE, 0, Message.LParam != 0 ? Message.LParam : LPARAM(this));
    if (Message.LParam == 0 && FOnMouseLeave) FOnMouseLeave(this);
}

// ---- TWinControl: children and alignment ------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    FIsWindowed = true;
    FColor = clBtnFace;
}

TWinControl::~TWinControl() {
    SetComponentStateFlag(csDestroying, true);
    while (!FControls.empty()) delete FControls.back();
}

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FControls[std::size_t(Index)];
}

bool TWinControl::ContainsControl(const TControl* AControl) const {
    for (const TControl* c = AControl; c != nullptr; c = c->FParent)
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (c->FIsWindowed || !c->FVisible || (!c->FEnabled && !AllowDisabled)) continue;
        if (c->BoundsRect().Contains(P)) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    for (std::size_t i = 0; i < FControls.size(); ++i) {
        FControls[i]->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::InsertControl(TControl* AControl) {
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (AControl->FIsWindowed) FTabList.push_back(static_cast<TWinControl*>(AControl));
    AControl->RecordAnchorRules();
    if (AControl->FParentFont) AControl->ParentFontChanged();
    if (AControl->FParentColor) AControl->ParentColorChanged();
    if (AControl->FIsWindowed) static_cast<TWinControl*>(AControl)->ParentDoubleBufferedChanged();
    if (AControl->FAlign != alNone) Realign();
    AControl->Invalidate();
}

void TWinControl::SetDoubleBuffered(bool Value) {
    FParentDoubleBuffered = false;
    if (Value == FDoubleBuffered) return;
    FDoubleBuffered = Value;
    for (TWinControl* c : FTabList) c->ParentDoubleBufferedChanged();
}

void TWinControl::ParentDoubleBufferedChanged() {
    if (!FParentDoubleBuffered || Parent() == nullptr) return;
    SetDoubleBuffered(Parent()->FDoubleBuffered);
    FParentDoubleBuffered = true;
}

void TWinControl::SetParentDoubleBuffered(bool Value) {
    if (Value == FParentDoubleBuffered) return;
    FParentDoubleBuffered = Value;
    if (Value) ParentDoubleBufferedChanged();
}

void TWinControl::RemoveControl(TControl* AControl) {
    bool destroying = ComponentState().contains(csDestroying);
    if (!destroying) AControl->Invalidate();
    TForm* f = FormOf();
    if (f != nullptr)
        f->ControlRemoved(AControl, AControl->ComponentState().contains(csDestroying));
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), AControl), FTabList.end());
    AControl->FParent = nullptr;
    if (!destroying && AControl->FAlign != alNone) Realign();
}

void TWinControl::Notification(TComponent* AComponent, TOperation Operation) {
    TControl::Notification(AComponent, Operation);
}

void TWinControl::EnableAlign() {
    if (FAlignDisabled > 0 && --FAlignDisabled == 0 && FAlignPending) {
        FAlignPending = false;
        Realign();
    }
}

void TWinControl::Realign() {
    if (ComponentState().contains(csDestroying)) return;
    if (FAlignDisabled > 0 || ComponentState().contains(csLoading)) {
        FAlignPending = true;
        return;
    }
    if (FRealigning) return;
    FRealigning = true;
    try {
        TRect r = ClientRect();
        AlignControls(nullptr, r);
    } catch (...) {
        FRealigning = false;
        throw;
    }
    FRealigning = false;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    (void)AControl;
    static constexpr TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign kind : order) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->FAlign == kind && (c->FVisible || ComponentState().contains(csDesigning)))
                list.push_back(c);
        // Ties go by current position (nearest the edge first), then by order in the parent.
        std::stable_sort(list.begin(), list.end(), [kind](TControl* a, TControl* b) {
            switch (kind) {
            case alTop:
                return a->FTop < b->FTop;
            case alBottom:
                return a->FTop + a->FHeight > b->FTop + b->FHeight;
            case alLeft:
                return a->FLeft < b->FLeft;
            case alRight:
                return a->FLeft + a->FWidth > b->FLeft + b->FWidth;
            default:
                return false;
            }
        });
        for (TControl* c : list) {
            int w = std::max(0, Rect.Width()), h = std::max(0, Rect.Height());
            c->FAligning = true;
            try {
                switch (kind) {
                case alTop:
                    c->SetBounds(Rect.Left, Rect.Top, w, c->FHeight);
                    Rect.Top += c->FHeight;
                    break;
                case alBottom:
                    c->SetBounds(Rect.Left, Rect.Bottom - c->FHeight, w, c->FHeight);
                    Rect.Bottom -= c->FHeight;
                    break;
                case alLeft:
                    c->SetBounds(Rect.Left, Rect.Top, c->FWidth, h);
                    Rect.Left += c->FWidth;
                    break;
                case alRight:
                    c->SetBounds(Rect.Right - c->FWidth, Rect.Top, c->FWidth, h);
                    Rect.Right -= c->FWidth;
                    break;
                default:
                    c->SetBounds(Rect.Left, Rect.Top, w, h);
                    break;
                }
            } catch (...) {
                c->FAligning = false;
                throw;
            }
            c->FAligning = false;
        }
    }
}

void TWinControl::ApplyAnchors() {
    int pw = ClientWidth(), ph = ClientHeight();
    for (std::size_t i = 0; i < FControls.size(); ++i) {
        TControl* c = FControls[i];
        const TControl::AnchorRules& r = c->FAnchorRules;
        if (c->FAlign != alNone || !r.Valid) continue;
        TAnchors a = c->FAnchors;
        int l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
        int dw = pw - r.ParentW, dh = ph - r.ParentH;
        if (a.contains(akLeft) && a.contains(akRight)) {
            l = r.Left;
            w = std::max(0, r.Width + dw);
        } else if (a.contains(akRight)) {
            l = r.Left + dw;
        } else if (!a.contains(akLeft)) {
            l = r.Left + dw / 2; // neither: keeps its place relative to the centre
        }
        if (a.contains(akTop) && a.contains(akBottom)) {
            t = r.Top;
            h = std::max(0, r.Height + dh);
        } else if (a.contains(akBottom)) {
            t = r.Top + dh;
        } else if (!a.contains(akTop)) {
            t = r.Top + dh / 2;
        }
        c->FAligning = true;
        try {
            c->SetBounds(l, t, w, h);
        } catch (...) {
            c->FAligning = false;
            throw;
        }
        c->FAligning = false;
    }
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (FAlignPending) {
        FAlignPending = false;
        Realign();
    }
}

void TWinControl::SizeChanged() {
    if (ComponentState().contains(csDestroying)) return;
    ApplyAnchors();
    Realign();
}

// ---- TWinControl: focus -----------------------------------------------------------------------

bool TWinControl::CanFocus() const {
    TForm* f = FormOf();
    if (f == nullptr) return false;
    if (f == this) return FVisible && FEnabled;
    for (const TControl* c = this; c != nullptr && c != f; c = c->FParent)
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

bool TWinControl::Focused() const {
    TForm* f = FormOf();
    if (f == nullptr || !f->Active()) return false;
    return f == this ? f->FFocusedControl == nullptr : f->FFocusedControl == this;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    TForm* f = FormOf();
    f->FocusControl(f == this ? nullptr : this);
}

int TWinControl::TabOrder() const {
    if (FParent == nullptr) return -1;
    auto& v = FParent->FTabList;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (FParent == nullptr) return;
    auto& v = FParent->FTabList;
    int cur = TabOrder();
    if (cur < 0) return;
    Value = std::clamp(Value, 0, int(v.size()) - 1);
    if (Value == cur) return;
    v.erase(v.begin() + cur);
    v.insert(v.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward,
                                          bool CheckTabStop, bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    int n = int(list.size());
    if (n == 0) return nullptr;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[std::size_t(i)] == CurControl) start = i;
    if (start < 0) start = GoForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[std::size_t(i)];
        if (c == CurControl) break;
        if ((!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this) && c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (next != nullptr) next->SetFocus();
}

void TWinControl::DoEnter() {
    if (FOnEnter) FOnEnter(this);
}

void TWinControl::DoExit() {
    if (FOnExit) FOnExit(this);
}

// ---- TWinControl: keys and messages -----------------------------------------------------------

void TWinControl::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    if (FOnKeyDown) FOnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
    if (FOnKeyPress) FOnKeyPress(this, Key);
}

void TWinControl::KeyUp(std::uint16_t& Key, TShiftState Shift) {
    if (FOnKeyUp) FOnKeyUp(this, Key, Shift);
}

bool TWinControl::DoKeyDown(std::uint16_t& Key, TShiftState Shift) {
    TForm* f = FormOf();
    if (f != nullptr && f != this && f->KeyPreview()) {
        auto alive = FSelfRef;
        if (f->DoKeyDown(Key, Shift) || *alive == nullptr) return true;
    }
    if (!FControlStyle.contains(csNoStdEvents)) KeyDown(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyPress(char32_t& Key) {
    TForm* f = FormOf();
    if (f != nullptr && f != this && f->KeyPreview()) {
        auto alive = FSelfRef;
        if (f->DoKeyPress(Key) || *alive == nullptr) return true;
    }
    if (!FControlStyle.contains(csNoStdEvents)) KeyPress(Key);
    return Key == 0;
}

bool TWinControl::DoKeyUp(std::uint16_t& Key, TShiftState Shift) {
    TForm* f = FormOf();
    if (f != nullptr && f != this && f->KeyPreview()) {
        auto alive = FSelfRef;
        if (f->DoKeyUp(Key, Shift) || *alive == nullptr) return true;
    }
    if (!FControlStyle.contains(csNoStdEvents)) KeyUp(Key, Shift);
    return Key == 0;
}

void TWinControl::CNKeyDown(TMessage& Message) {
    std::uint16_t key = std::uint16_t(Message.WParam);
    switch (key) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_EXECUTE:
    case VK_CANCEL:
        break;
    default:
        return;
    }
    if (Perform(CM_WANTSPECIALKEY, key, Message.LParam) != 0) return;
    LRESULT code = Perform(WM_GETDLGCODE, key, 0);
    if (code & DLGC_WANTALLKEYS) return;
    if (key == VK_TAB && (code & DLGC_WANTTAB)) return;
    if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) &&
        (code & DLGC_WANTARROWS))
        return;
    TForm* f = FormOf();
    if (f != nullptr && f->Perform(CM_DIALOGKEY, key, Message.LParam) != 0) Message.Result = 1;
}

void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMDialogChar(TMessage& Message) {
    if (Showing() && Enabled()) Broadcast(Message);
}

void TWinControl::PaintWindow() {
    if (!FControlStyle.contains(csOpaque)) {
        TCanvas& c = ControlCanvas();
        TColor oldColor = c.Brush().Color();
        TBrushStyle oldStyle = c.Brush().Style();
        c.Brush().SetColor(FColor);
        c.Brush().SetStyle(bsSolid);
        c.FillRect(ClientRect());
        c.Brush().SetColor(oldColor);
        c.Brush().SetStyle(oldStyle);
    }
    Paint();
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (!FEnabled) return;
        std::uint16_t key = std::uint16_t(Message.WParam);
        DoKeyDown(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        Message.Result = key == 0;
        return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        if (!FEnabled) return;
        std::uint16_t key = std::uint16_t(Message.WParam);
        DoKeyUp(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        Message.Result = key == 0;
        return;
    }
    case WM_CHAR: {
        if (!FEnabled) return;
        char32_t ch = char32_t(Message.WParam);
        DoKeyPress(ch);
        Message.WParam = ch;
        Message.Result = ch == 0;
        return;
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        CNKeyDown(Message);
        return;
    case CN_KEYUP:
    case std::uint32_t(CN_BASE) + std::uint32_t(WM_SYSKEYUP):
        CNKeyUp(Message);
        return;
    case CN_CHAR:
    case CN_SYSCHAR:
        CNChar(Message);
        return;
    case WM_GETDLGCODE:
        WMGetDlgCode(Message);
        return;
    case CM_DIALOGKEY:
        CMDialogKey(Message);
        return;
    case WM_SETFOCUS:
        WMSetFocus(Message);
        return;
    case WM_KILLFOCUS:
        WMKillFocus(Message);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    default:
        TControl::WndProc(Message);
        return;
    }
}

// ---- Free helpers -----------------------------------------------------------------------------

TForm* GetParentForm(const TControl* Control) {
    return Control != nullptr ? Control->FormOf() : nullptr;
}

char32_t ControlCharOfKey(std::uint16_t Key, TShiftState Shift) {
    if (Shift.contains(ssAlt)) return 0;
    bool ctrl = Shift.contains(ssCtrl);
    switch (Key) {
    case VK_RETURN:
        return ctrl ? 10 : 13;
    case VK_ESCAPE:
        return 27;
    case VK_BACK:
        return ctrl ? 127 : 8;
    case VK_TAB:
        return ctrl ? 0 : 9;
    default:
        break;
    }
    if (ctrl && Key >= 'A' && Key <= 'Z') return char32_t(Key - 'A' + 1);
    return 0;
}

} // namespace kel
