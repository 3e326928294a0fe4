// Forms: the surface and its paint passes, the invalid-rectangle list, input routing from the
// host (capture, enter/leave, double clicks, wheel, keys with dialog keys and key preview),
// focus, showing, closing and the modal loop, and the registry of forms.
//
// Index: TRectList; host; registry; TForm life and window; painting; mouse; keys; focus;
// show, close and modality.
#include "kel_forms.h"

#include "headless.h"
#include "kel_popup.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

namespace kel {

// ---- TRectList --------------------------------------------------------------------------------

namespace {

std::int64_t Area(const TRect& r) { return r.IsEmpty() ? 0 : std::int64_t(r.Width()) * r.Height(); }
bool Covers(const TRect& outer, const TRect& inner) {
    return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
           outer.Bottom >= inner.Bottom;
}

// Removes Cut from every rectangle of Pieces, splitting them into bands.
void Subtract(std::vector<TRect>& Pieces, const TRect& Cut) {
    if (Cut.IsEmpty()) return;
    std::vector<TRect> out;
    for (const TRect& p : Pieces) {
        TRect i = IntersectRect(p, Cut);
        if (i.IsEmpty()) {
            out.push_back(p);
            continue;
        }
        if (p.Top < i.Top) out.push_back({p.Left, p.Top, p.Right, i.Top});
        if (i.Bottom < p.Bottom) out.push_back({p.Left, i.Bottom, p.Right, p.Bottom});
        if (p.Left < i.Left) out.push_back({p.Left, i.Top, i.Left, i.Bottom});
        if (i.Right < p.Right) out.push_back({i.Right, i.Top, p.Right, i.Bottom});
    }
    Pieces.swap(out);
}

} // namespace

void TRectList::Add(const TRect& R, const TRect& BoundsRect) {
    TRect r = IntersectRect(R, BoundsRect);
    if (r.IsEmpty()) return;
    for (const TRect& e : FRects)
        if (Covers(e, r)) return;
    // Merge while a union costs no more area than the two rectangles it replaces.
    bool merged = true;
    while (merged) {
        merged = false;
        for (std::size_t i = 0; i < FRects.size(); ++i) {
            const TRect& e = FRects[i];
            TRect u = UnionRect(e, r);
            if (Covers(r, e) || Area(u) <= Area(e) + Area(r)) {
                r = u;
                FRects.erase(FRects.begin() + std::ptrdiff_t(i));
                merged = true;
                break;
            }
        }
    }
    FRects.push_back(r);
    if (int(FRects.size()) > MaxRects) {
        FRects.clear();
        FRects.push_back(BoundsRect);
    }
}

std::vector<TRect> TRectList::Take() {
    std::vector<TRect> out;
    out.swap(FRects);
    return out;
}

TRect TRectList::BoundingBox() const {
    TRect b{};
    for (const TRect& r : FRects) b = UnionRect(b, r);
    return b;
}

// ---- Host and registry ------------------------------------------------------------------------

namespace {

TFormHost*& InstalledHost() {
    static TFormHost* host = nullptr;
    return host;
}

std::vector<TForm*>& Registry() {
    static std::vector<TForm*> forms;
    return forms;
}

void PaintAllForms() {
    // Index-based: a paint handler may not delete forms, but it may create one.
    auto& forms = Registry();
    for (std::size_t i = 0; i < forms.size(); ++i)
        if (forms[i]->HasInvalidArea()) forms[i]->PaintPending();
}

} // namespace

void TFormHost::ModalLoopStep(TForm* Form) {
    (void)Form;
    Application->HandleMessage();
}

void SetFormHost(TFormHost* Host) { InstalledHost() = Host; }

TFormHost& FormHost() {
    TFormHost* h = InstalledHost();
    return h != nullptr ? *h : headless::Host();
}

int FormCount() { return int(Registry().size()); }

TForm* Forms(int Index) {
    if (Index < 0 || Index >= FormCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return Registry()[std::size_t(Index)];
}

TForm* ActiveForm() {
    for (TForm* f : Registry())
        if (f->Active()) return f;
    return nullptr;
}

// ---- TForm: life and window -------------------------------------------------------------------

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    static bool paintHandlerSet = false;
    if (!paintHandlerSet) {
        paintHandlerSet = true;
        Application->SetPaintHandler(PaintAllForms);
        Application->SetShowingQuery([] {
            return std::any_of(Registry().begin(), Registry().end(),
                               [](TForm* f) { return f->Visible(); });
        });
    }
    FIsForm = true;
    FVisible = false;
    FParentFont = false;
    FParentColor = false;
    FColor = clBtnFace;
    InitBounds(0, 0, 320, 240);
    Registry().push_back(this);
    // The surface is allocated when the form is first shown: forms that are never shown (the
    // prototypes and scratch objects of form-file reading and writing) do without one.
}

TForm::~TForm() {
    FormHost().FormDestroying(this);
    auto& forms = Registry();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    SetComponentStateFlag(csDestroying, true);
    // From here on the children no longer see a form above them, so deleting them touches
    // nothing of this (half destroyed) object but its child list.
    FIsForm = false;
    FActiveControl = FFocusedControl = nullptr;
    FCaptureControl = FMouseControl = nullptr;
    while (!FControls.empty()) delete FControls.back();
}

TRect TForm::FrameWidths() const {
    switch (FBorderStyle) {
    case bsNone:
        return {0, 0, 0, 0};
    case bsSingle:
    case bsDialog:
        return {3, 25, 3, 3};
    case bsSizeable:
        return {4, 26, 4, 4};
    case bsToolWindow:
        return {3, 19, 3, 3};
    case bsSizeToolWin:
        return {4, 20, 4, 4};
    }
    return {};
}

TRect TForm::ClientRect() const {
    TRect f = FrameWidths();
    return Rect(0, 0, std::max(0, Width() - f.Left - f.Right),
                std::max(0, Height() - f.Top - f.Bottom));
}

TPoint TForm::ClientOrigin() const {
    TRect f = FrameWidths();
    return {Left() + f.Left, Top() + f.Top};
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    SizeChanged();
    FormHost().FormBoundsChanged(this);
}

void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height()) return;
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    FormHost().FormBoundsChanged(this);
}

void TForm::SizeChanged() {
    if (FVisible || !FSurface.Empty()) ResizeSurface();
    InvalidateSurfaceRect(ClientRect());
    TWinControl::SizeChanged();
}

void TForm::ResizeSurface() {
    TRect c = ClientRect();
    if (FSurface.Width() != c.Width() || FSurface.Height() != c.Height())
        FSurface.SetSize(c.Width(), c.Height());
}

void TForm::HostResize(int ClientWidth, int ClientHeight) {
    TRect f = FrameWidths();
    SetBounds(Left(), Top(), ClientWidth + f.Left + f.Right, ClientHeight + f.Top + f.Bottom);
}

void TForm::WndProc(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED) FormHost().FormCaptionChanged(this);
    TWinControl::WndProc(Message);
}

// ---- TForm: painting --------------------------------------------------------------------------

void TForm::InvalidateSurfaceRect(const TRect& R) {
    if (!FVisible || R.IsEmpty()) return;
    // Painting must not create more painting; it would be lost or loop. Release builds queue
    // it for the next pass.
    assert(!FPainting && "invalidation during painting");
    bool wasEmpty = FInvalid.Empty();
    FInvalid.Add(R, Rect(0, 0, FSurface.Width(), FSurface.Height()));
    if (wasEmpty && !FInvalid.Empty()) FormHost().FormInvalidated(this);
}

void TForm::PaintPending() {
    if (FPainting || !FVisible || FInvalid.Empty()) return;
    FPainting = true;
    ++FPaintPasses;
    TRect surf = Rect(0, 0, FSurface.Width(), FSurface.Height());
    std::vector<TRect> rects = FInvalid.Take();
    PaintTree(this, rects, surf);
    for (const TRect& r : rects) FUpdated.Add(r, surf);
    FPaintingControl = nullptr;
    FPainting = false;
    FormHost().FormPainted(this);
}

// Paints W and everything inside it that meets the Dirty rectangles, each control once: W's
// background and Paint clipped to the bounding box of the dirty parts not covered by its
// windowed children, its windowless children on top in z-order, then each windowed child the
// same way (also where W's box painted over it).
void TForm::PaintTree(TWinControl* W, const std::vector<TRect>& Dirty, const TRect& ParentClip) {
    TPoint o = W->SurfaceOrigin();
    TRect own = W == this ? ClientRect() : Bounds(o.X, o.Y, W->Width(), W->Height());
    TRect visible = IntersectRect(own, ParentClip);
    std::vector<TRect> areas;
    for (const TRect& d : Dirty) {
        TRect a = IntersectRect(visible, d);
        if (!a.IsEmpty()) areas.push_back(a);
    }
    if (areas.empty()) return;
    std::vector<TRect> pieces = areas;
    for (TControl* c : W->FControls)
        if (c->FIsWindowed && c->FVisible) {
            TPoint co = c->SurfaceOrigin();
            Subtract(pieces, Bounds(co.X, co.Y, c->Width(), c->Height()));
        }
    if (!pieces.empty()) {
        TRect clip{};
        for (const TRect& p : pieces) clip = UnionRect(clip, p);
        // Where opaque windowless children cover every piece, the control's own background and
        // painting would be painted over at once: only the children paint.
        std::vector<TRect> bare = pieces;
        for (TControl* c : W->FControls)
            if (!c->FIsWindowed && c->FVisible && c->FControlStyle.contains(csOpaque)) {
                TPoint co = c->SurfaceOrigin();
                Subtract(bare, Bounds(co.X, co.Y, c->Width(), c->Height()));
            }
        if (!bare.empty()) PaintOne(W, clip);
        for (std::size_t i = 0; i < W->FControls.size(); ++i) {
            TControl* c = W->FControls[i];
            if (c->FIsWindowed || !c->FVisible) continue;
            TPoint co = c->SurfaceOrigin();
            TRect cr = IntersectRect(Bounds(co.X, co.Y, c->Width(), c->Height()), clip);
            if (!cr.IsEmpty()) PaintOne(c, cr);
        }
        areas.push_back(clip);
    }
    for (std::size_t i = 0; i < W->FControls.size(); ++i) {
        TControl* c = W->FControls[i];
        if (c->FIsWindowed && c->FVisible) PaintTree(static_cast<TWinControl*>(c), areas, visible);
    }
}

void TForm::PaintOne(TControl* C, const TRect& Clip) {
    FPaintingControl = C;
    FPaintingClip = Clip;
    try {
        if (C->FIsWindowed)
            static_cast<TWinControl*>(C)->PaintWindow();
        else
            C->Paint();
    } catch (...) {
        Application->HandleException(C);
    }
    FPaintingControl = nullptr;
}

// Paints an opaque windowless control at once, without its parent's background: the control,
// then the windowless siblings above it that overlap it. A windowed sibling over it (which the
// control must not paint over) sends it the normal way instead. Pending invalid rectangles the
// control covers are done with.
void TForm::PaintControlNow(TControl* C) {
    if (FPainting || !FVisible) return;
    TRect clip = C->VisibleSurfaceRect();
    if (clip.IsEmpty()) return;
    TWinControl* parent = C->Parent();
    std::vector<TControl*> above;
    bool seen = false;
    for (TControl* s : parent->FControls) {
        if (s == C) {
            seen = true;
            continue;
        }
        if (!s->FVisible) continue;
        TPoint so = s->SurfaceOrigin();
        bool meets = !IntersectRect(Bounds(so.X, so.Y, s->Width(), s->Height()), clip).IsEmpty();
        if (!meets) continue;
        if (s->FIsWindowed) {
            C->Invalidate();
            PaintPending();
            return;
        }
        if (seen) above.push_back(s);
    }
    FPainting = true;
    PaintOne(C, clip);
    for (TControl* s : above) {
        TPoint so = s->SurfaceOrigin();
        PaintOne(s, IntersectRect(Bounds(so.X, so.Y, s->Width(), s->Height()), clip));
    }
    FPainting = false;
    std::vector<TRect> pending = FInvalid.Take();
    TRect surf = Rect(0, 0, FSurface.Width(), FSurface.Height());
    for (const TRect& r : pending)
        if (!(r.Left >= clip.Left && r.Top >= clip.Top && r.Right <= clip.Right &&
              r.Bottom <= clip.Bottom))
            FInvalid.Add(r, surf);
    FUpdated.Add(clip, surf);
    FormHost().FormPainted(this);
}

void TForm::NoteDrawnOutsidePaint(const TRect& R) {
    if (!FVisible) return;
    bool wasEmpty = FUpdated.Empty();
    FUpdated.Add(R, Rect(0, 0, FSurface.Width(), FSurface.Height()));
    if (wasEmpty && !FUpdated.Empty()) FormHost().FormInvalidated(this);
}

std::vector<TRect> TForm::TakeUpdatedRects() { return FUpdated.Take(); }

void TForm::Paint() {
    if (FOnPaint) FOnPaint(this);
}

// ---- TForm: mouse -----------------------------------------------------------------------------

namespace {

std::uint32_t MKFlags(TShiftState s) {
    std::uint32_t k = 0;
    if (s.contains(ssShift)) k |= MK_SHIFT;
    if (s.contains(ssCtrl)) k |= MK_CONTROL;
    if (s.contains(ssLeft)) k |= MK_LBUTTON;
    if (s.contains(ssRight)) k |= MK_RBUTTON;
    if (s.contains(ssMiddle)) k |= MK_MBUTTON;
    return k;
}

TShiftStateItem ButtonState(TMouseButton b) {
    return b == mbLeft ? ssLeft : b == mbRight ? ssRight : ssMiddle;
}

std::uint32_t DownMessage(TMouseButton b, bool dbl) {
    if (b == mbLeft) return dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    if (b == mbRight) return dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    return dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
}

std::uint32_t UpMessage(TMouseButton b) {
    return b == mbLeft ? WM_LBUTTONUP : b == mbRight ? WM_RBUTTONUP : WM_MBUTTONUP;
}

} // namespace

TControl* TForm::ControlAtPoint(int X, int Y) const {
    if (!FVisible || !FEnabled || !ClientRect().Contains({X, Y})) return nullptr;
    // Innermost enabled windowed control under the point (topmost first), then its topmost
    // enabled windowless child there.
    const TWinControl* w = this;
    TPoint local{X, Y};
    for (;;) {
        const TWinControl* inner = nullptr;
        for (auto it = w->FControls.rbegin(); it != w->FControls.rend(); ++it) {
            TControl* c = *it;
            if (c->FIsWindowed && c->FVisible && c->FEnabled && c->BoundsRect().Contains(local)) {
                inner = static_cast<const TWinControl*>(c);
                break;
            }
        }
        if (inner == nullptr) break;
        local = {local.X - inner->Left(), local.Y - inner->Top()};
        w = inner;
    }
    TControl* g = w->ControlAtPos(local);
    return g != nullptr ? g : const_cast<TWinControl*>(w);
}

void TForm::SyncModifierKeys(TShiftState Shift) {
    SetKeyDown(VK_SHIFT, Shift.contains(ssShift));
    SetKeyDown(VK_CONTROL, Shift.contains(ssCtrl));
    SetKeyDown(VK_MENU, Shift.contains(ssAlt));
}

void TForm::SendMouse(TControl* Target, std::uint32_t Msg, TShiftState Shift, TPoint P) {
    TPoint o = Target->SurfaceOrigin();
    Target->Perform(Msg, MKFlags(Shift), MakeLParam(P.X - o.X, P.Y - o.Y));
}

void TForm::SetCaptureControl(TControl* C) {
    if (C == FCaptureControl) return;
    TControl* old = FCaptureControl;
    FCaptureControl = C;
    // Losing the capture to another control cancels the click the old one was waiting for.
    if (old != nullptr && C != nullptr) old->FControlState.exclude(csClicked);
    if ((old == nullptr) != (C == nullptr)) FormHost().FormCaptureChanged(this, C != nullptr);
}

void TForm::UpdateHover(bool Recompute) {
    (void)Recompute;
    if (FCaptureControl != nullptr) return; // the capture holder gets no leave before release
    TControl* now = FMouseInside ? ControlAtPoint(FMousePos.X, FMousePos.Y) : nullptr;
    if (now == FMouseControl) return;
    TControl* old = FMouseControl;
    FMouseControl = now;
    auto hn = now != nullptr ? now->Handle() : nullptr;
    if (old != nullptr) old->Perform(CM_MOUSELEAVE);
    if (hn && *hn != nullptr && FMouseControl == now) (*hn)->Perform(CM_MOUSEENTER);
}

void TForm::HostMouseMove(int X, int Y, TShiftState Shift) {
    if (PopupLayerInput(this, TPopupInput::Move, mbLeft, Shift, X, Y)) return;
    // The buttons are the ones this form saw go down and not yet up.
    Shift = (Shift - TShiftState{ssLeft, ssRight, ssMiddle, ssDouble}) | FButtons;
    SyncModifierKeys(Shift);
    FMousePos = {X, Y};
    FMouseInside = true;
    if (TControl::DragMouseMove(this, {X, Y})) return; // a running drag takes the pointer
    TControl* target = FCaptureControl != nullptr ? FCaptureControl : ControlAtPoint(X, Y);
    if (target != nullptr) SendMouse(target, WM_MOUSEMOVE, Shift, {X, Y});
    UpdateHover(true);
}

void TForm::HostMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (PopupLayerInput(this, TPopupInput::Down, Button, Shift, X, Y)) return;
    Shift -= TShiftState{ssLeft, ssRight, ssMiddle, ssDouble};
    if (!FMouseInside || FMousePos != TPoint{X, Y}) HostMouseMove(X, Y, Shift);
    UpdateHover(true); // what changed under a still pointer is entered before it is pressed
    FButtons.include(ButtonState(Button));
    Shift |= FButtons;
    SyncModifierKeys(Shift);
    TControl* target = FCaptureControl != nullptr ? FCaptureControl : ControlAtPoint(X, Y);
    if (target != nullptr) SendMouse(target, DownMessage(Button, false), Shift, {X, Y});
}

void TForm::HostDoubleClick(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (PopupLayerInput(this, TPopupInput::DoubleClick, Button, Shift, X, Y)) return;
    Shift -= TShiftState{ssLeft, ssRight, ssMiddle, ssDouble};
    if (!FMouseInside || FMousePos != TPoint{X, Y}) HostMouseMove(X, Y, Shift);
    UpdateHover(true);
    FButtons.include(ButtonState(Button));
    Shift |= FButtons;
    SyncModifierKeys(Shift);
    TControl* target = FCaptureControl != nullptr ? FCaptureControl : ControlAtPoint(X, Y);
    if (target != nullptr) SendMouse(target, DownMessage(Button, true), Shift, {X, Y});
}

void TForm::HostMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (PopupLayerInput(this, TPopupInput::Up, Button, Shift, X, Y)) {
        FButtons.exclude(ButtonState(Button)); // the popup layer took the release
        // A control whose press opened the popup (a combo box's button) never hears of this
        // release: with no button held its capture ends here, without a click, or it would
        // take every later press on the form.
        if (FCaptureControl != nullptr && !FButtons.contains(ssLeft) &&
            !FButtons.contains(ssRight) && !FButtons.contains(ssMiddle)) {
            FCaptureControl->FControlState.exclude(csClicked);
            SetCaptureControl(nullptr);
        }
        return;
    }
    if (!FMouseInside || FMousePos != TPoint{X, Y}) HostMouseMove(X, Y, Shift);
    FButtons.exclude(ButtonState(Button));
    Shift = (Shift - TShiftState{ssLeft, ssRight, ssMiddle, ssDouble}) | FButtons;
    SyncModifierKeys(Shift);
    if (TControl::DragMouseUp(this, {X, Y})) { // the release drops (the source gets no click)
        UpdateHover(true);
        return;
    }
    TControl* target = FCaptureControl != nullptr ? FCaptureControl : ControlAtPoint(X, Y);
    if (target != nullptr) SendMouse(target, UpMessage(Button), Shift, {X, Y});
    UpdateHover(true);
    if (Button == mbRight) {
        // The context menu goes to the control under the pointer, as the release left it.
        TControl* under = ControlAtPoint(X, Y);
        if (under != nullptr) {
            TPoint s = ClientToScreen({X, Y});
            under->Perform(WM_CONTEXTMENU, 0, MakeLParam(s.X, s.Y));
        }
    }
}

void TForm::HostMouseWheel(int WheelDelta, TShiftState Shift, int X, int Y) {
    if (PopupLayerInput(this, TPopupInput::Wheel, mbLeft, Shift, X, Y, WheelDelta)) return;
    SyncModifierKeys(Shift);
    TWinControl* target = KeyTarget();
    if (target == nullptr) return;
    TPoint s = ClientToScreen({X, Y});
    WPARAM w = (WPARAM(std::uint16_t(std::int16_t(WheelDelta))) << 16) | MKFlags(Shift);
    target->Perform(WM_MOUSEWHEEL, w, MakeLParam(s.X, s.Y));
}

void TForm::HostMouseLeave() {
    FMouseInside = false;
    UpdateHover(true);
}

TCursor TForm::CurrentCursor() const {
    TCursor drag = crDefault;
    if (TControl::DragCursorOver(this, drag)) return drag;
    TCursor c = FMouseControl != nullptr ? FMouseControl->Cursor() : crDefault;
    return Screen->EffectiveCursor(c);
}

// ---- TForm: keys ------------------------------------------------------------------------------

TWinControl* TForm::KeyTarget() {
    if (!FVisible || !FEnabled) return nullptr;
    if (FActiveControl != nullptr && FActiveControl->Showing() && FActiveControl->Enabled())
        return FActiveControl;
    return this;
}

void TForm::SendChar(TWinControl* Target, char32_t Ch) {
    auto alive = Target->Handle();
    if (Target->Perform(CN_CHAR, Ch) != 0 || *alive == nullptr) return;
    Target->Perform(WM_CHAR, Ch);
}

void TForm::HostKeyDown(std::uint16_t Key, TShiftState Shift) {
    if (PopupLayerInput(this, TPopupInput::KeyDown, mbLeft, Shift, 0, 0, Key)) return;
    SyncModifierKeys(Shift);
    SetKeyDown(Key, true);
    if (TControl::DragKeyDown(this, Key)) return; // Escape cancels a running drag
    TWinControl* target = KeyTarget();
    if (target == nullptr) return;
    auto alive = target->Handle();
    bool sys = Shift.contains(ssAlt) || Key == VK_F10;
    std::uint32_t alt = Shift.contains(ssAlt) ? std::uint32_t(KF_ALTDOWN_BIT) : 0u;
    LPARAM data = LPARAM(alt | 1u);
    // Pre-processing first: a non-zero result consumes the key (dialog keys, claimed keys).
    if (target->Perform(sys ? CN_SYSKEYDOWN : CN_KEYDOWN, Key, data) != 0 || *alive == nullptr)
        return;
    target->Perform(sys ? WM_SYSKEYDOWN : WM_KEYDOWN, Key, data);
    // Alt with a letter or digit (not AltGr, which comes with Ctrl) is an accelerator: the
    // control whose caption marks it acts (a button clicks, a label focuses its control).
    if (*alive != nullptr && Shift.contains(ssAlt) && !Shift.contains(ssCtrl) &&
        ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))) {
        const char32_t accel = Key >= 'A' && Key <= 'Z' ? char32_t(Key - 'A' + 'a') : Key;
        Perform(CM_DIALOGCHAR, accel, data);
        return;
    }
    // The character comes even when OnKeyDown set Key to 0, as on the platform.
    char32_t ch = ControlCharOfKey(Key, Shift);
    if (ch != 0 && *alive != nullptr) SendChar(target, ch);
}

void TForm::HostKeyUp(std::uint16_t Key, TShiftState Shift) {
    if (PopupLayerInput(this, TPopupInput::KeyUp, mbLeft, Shift, 0, 0, Key)) return;
    SyncModifierKeys(Shift);
    SetKeyDown(Key, false);
    TWinControl* target = KeyTarget();
    if (target == nullptr) return;
    auto alive = target->Handle();
    bool sys = Shift.contains(ssAlt) || Key == VK_F10;
    std::uint32_t alt = Shift.contains(ssAlt) ? std::uint32_t(KF_ALTDOWN_BIT) : 0u;
    LPARAM data = LPARAM(alt | std::uint32_t(KF_REPEAT_BIT) | std::uint32_t(KF_UP_BIT) | 1u);
    if (target->Perform(sys ? std::uint32_t(CN_BASE) + std::uint32_t(WM_SYSKEYUP) : CN_KEYUP, Key,
                        data) != 0 ||
        *alive == nullptr)
        return;
    target->Perform(sys ? WM_SYSKEYUP : WM_KEYUP, Key, data);
}

void TForm::HostTextInput(const std::string& Utf8) {
    if (PopupLayerInput(this, TPopupInput::Text, mbLeft, {}, 0, 0, 0, Utf8)) return;
    std::size_t i = 0;
    while (i < Utf8.size()) {
        // Decode one code point; a malformed byte stands for itself.
        unsigned char c = static_cast<unsigned char>(Utf8[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        char32_t cp = len == 1 ? c : char32_t(c & (0x7F >> len));
        bool ok = i + std::size_t(len) <= Utf8.size();
        for (int k = 1; ok && k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(Utf8[i + std::size_t(k)]);
            if ((cc & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            cp = c;
            len = 1;
        }
        i += std::size_t(len);
        TWinControl* target = KeyTarget();
        if (target == nullptr) return;
        SendChar(target, cp);
    }
}

void TForm::CMDialogKey(TMessage& Message) {
    if (!KeyIsDown(VK_MENU)) {
        switch (Message.WParam) {
        case VK_TAB:
            if (!KeyIsDown(VK_CONTROL)) {
                SelectNext(FActiveControl, !KeyIsDown(VK_SHIFT), true);
                Message.Result = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (FActiveControl != nullptr && FActiveControl->Parent() != nullptr) {
                FActiveControl->Parent()->SelectNext(
                    FActiveControl, Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
                Message.Result = 1;
            }
            return;
        default:
            break;
        }
    }
    TWinControl::CMDialogKey(Message);
}

// ---- TForm: focus -----------------------------------------------------------------------------

void TForm::SetActiveControl(TWinControl* Control) {
    if (Control != nullptr && (Control == this || GetParentForm(Control) != this ||
                               (!ComponentState().contains(csLoading) && !Control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FocusControl(Control);
}

void TForm::FocusControl(TWinControl* Control) {
    if (Control == this) Control = nullptr;
    FActiveControl = Control;
    if (FActive) ApplyFocus();
}

// Moves the keyboard focus to FActiveControl: WM_KILLFOCUS to the old control, WM_SETFOCUS to
// the new one, then CM_EXIT up the old chain and CM_ENTER down the new one (controls both
// contain get neither).
void TForm::ApplyFocus() {
    TWinControl* old = FFocusedControl;
    TWinControl* now = FActiveControl;
    if (old == now) return;
    FFocusedControl = now;
    auto ho = old != nullptr ? old->Handle() : nullptr;
    auto hn = now != nullptr ? now->Handle() : nullptr;
    auto alive = [](const std::shared_ptr<TControl* const>& h) { return h && *h != nullptr; };
    if (alive(ho)) old->Perform(WM_KILLFOCUS, WPARAM(now));
    if (alive(hn)) now->Perform(WM_SETFOCUS, WPARAM(old));
    std::vector<std::shared_ptr<TControl*const>> exits, enters;
    for (TWinControl* x = old; x != nullptr && x != this && !x->ContainsControl(now);
         x = x->Parent())
        exits.push_back(x->Handle());
    for (TWinControl* y = now; y != nullptr && y != this && !y->ContainsControl(old);
         y = y->Parent())
        enters.insert(enters.begin(), y->Handle());
    for (auto& h : exits)
        if (*h != nullptr) (*h)->Perform(CM_EXIT);
    for (auto& h : enters)
        if (*h != nullptr) (*h)->Perform(CM_ENTER);
}

void TForm::SetActive(bool Value) {
    if (Value == FActive) return;
    if (Value) {
        for (TForm* f : Registry())
            if (f != this && f->FActive) f->SetActive(false);
        FActive = true;
        if (FActiveControl == nullptr) FActiveControl = FindNextControl(nullptr, true, true, false);
        if (FActiveControl != nullptr && FFocusedControl == FActiveControl)
            FActiveControl->Perform(WM_SETFOCUS);
        else
            ApplyFocus();
        if (FOnActivate) FOnActivate(this);
    } else {
        FActive = false;
        if (FFocusedControl != nullptr) FFocusedControl->Perform(WM_KILLFOCUS);
        if (FOnDeactivate) FOnDeactivate(this);
    }
}

void TForm::HostActivate(bool Active) {
    if (Active && (!FVisible || !ActivatesOnShow())) return;
    SetActive(Active);
}

void TForm::ControlHiding(TControl* C) {
    // Walks up from p instead of down from C: C may be half destroyed, so it must not be
    // treated as a TWinControl any more.
    auto inside = [C](TControl* p) {
        for (TControl* q = p; q != nullptr; q = q->Parent())
            if (q == C) return true;
        return false;
    };
    if (inside(FCaptureControl)) {
        FCaptureControl->FControlState.exclude(csClicked);
        SetCaptureControl(nullptr);
    }
    if (inside(FMouseControl)) {
        TControl* old = FMouseControl;
        FMouseControl = nullptr;
        old->Perform(CM_MOUSELEAVE);
    }
    if (C != this && inside(FActiveControl)) FocusControl(nullptr);
}

void TForm::ControlRemoved(TControl* C, bool Destroying) {
    (void)Destroying; // a control leaving the form gets no events: it may be half destroyed
    // Walks up from p instead of down from C: C may be half destroyed, so it must not be
    // treated as a TWinControl any more.
    auto inside = [C](TControl* p) {
        for (TControl* q = p; q != nullptr; q = q->Parent())
            if (q == C) return true;
        return false;
    };
    if (inside(FCaptureControl)) SetCaptureControl(nullptr);
    if (inside(FMouseControl)) FMouseControl = nullptr;
    if (inside(FActiveControl)) FActiveControl = nullptr;
    if (inside(FFocusedControl)) FFocusedControl = nullptr;
    if (inside(FPaintingControl)) FPaintingControl = nullptr;
}

// ---- TForm: show, close, modality -------------------------------------------------------------

void TForm::SetVisible(bool Value) {
    if (Value == FVisible) return;
    if (Value) {
        if (FPosition == poScreenCenter || FPosition == poDesktopCenter ||
            FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) {
            // Centred over the owner form (poOwnerFormCenter) or the main form, the first
            // form created that is shown; over the screen when there is none.
            TRect over = Bounds(0, 0, FormHost().ScreenSize().cx, FormHost().ScreenSize().cy);
            TForm* centre = nullptr;
            if (FPosition == poOwnerFormCenter) centre = dynamic_cast<TForm*>(Owner());
            if (centre == nullptr &&
                (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter)) {
                for (TForm* f : Registry())
                    if (f != this && f->FVisible) {
                        centre = f;
                        break;
                    }
            }
            if (centre != nullptr && centre != this && centre->FVisible)
                over = centre->BoundsRect();
            TControl::SetBounds(over.Left + (over.Width() - Width()) / 2,
                                over.Top + (over.Height() - Height()) / 2, Width(), Height());
        }
        DoShow();
        FVisible = true;
        ResizeSurface();
        FInvalid.Clear();
        InvalidateSurfaceRect(ClientRect());
        FormHost().FormShown(this);
        Perform(CM_VISIBLECHANGED, 1);
        if (ActivatesOnShow()) SetActive(true);
    } else {
        DoHide();
        if (FCaptureControl != nullptr) {
            FCaptureControl->FControlState.exclude(csClicked);
            SetCaptureControl(nullptr);
        }
        if (FMouseControl != nullptr) {
            TControl* old = FMouseControl;
            FMouseControl = nullptr;
            FMouseInside = false;
            old->Perform(CM_MOUSELEAVE);
        }
        SetActive(false);
        FVisible = false;
        FButtons = {};
        FInvalid.Clear();
        FormHost().FormHidden(this);
        Perform(CM_VISIBLECHANGED, 0);
    }
}

void TForm::DoShow() {
    if (FOnShow) FOnShow(this);
}

void TForm::DoHide() {
    if (FOnHide) FOnHide(this);
}

void TForm::DoClose(TCloseAction& Action) {
    if (FOnClose) FOnClose(this, Action);
}

bool TForm::CloseQuery() {
    bool can = true;
    if (FOnCloseQuery) FOnCloseQuery(this, can);
    return can;
}

void TForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caHide || action == caMinimize)
        Hide();
    else if (action == caFree)
        Release();
}

void TForm::Release() {
    auto h = Handle();
    Application->PostCall([h] {
        if (*h != nullptr) delete *h;
    });
}

TModalResult TForm::ShowModal() {
    if (FVisible || FModal) throw EInvalidOperation("Cannot make a visible window modal");
    FModalResult = mrNone;
    std::vector<std::shared_ptr<TControl* const>> disabled;
    for (TForm* f : Registry())
        if (f != this && f->FEnabled) {
            disabled.push_back(f->Handle());
            f->SetEnabled(false);
        }
    auto restore = [&] {
        for (auto& h : disabled)
            if (*h != nullptr) (*h)->SetEnabled(true);
        FModal = false;
    };
    FModal = true;
    try {
        Show();
        for (;;) {
            if (FModalResult != mrNone) {
                // Closing a modal form still asks OnCloseQuery and OnClose; caNone keeps it open.
                TCloseAction action = caNone;
                if (CloseQuery()) {
                    action = caHide;
                    DoClose(action);
                }
                if (action == caNone) FModalResult = mrNone;
                if (action == caFree) Release();
                if (FModalResult != mrNone) break;
            }
            if (!FVisible) {
                FModalResult = mrCancel;
                break;
            }
            if (Application->Terminated()) {
                FModalResult = mrCancel;
                break;
            }
            FormHost().ModalLoopStep(this);
        }
    } catch (...) {
        restore();
        Hide();
        throw;
    }
    restore();
    Hide();
    return FModalResult;
}

} // namespace kel
