// The popup layer (see kel_popup.h): the stack of open popups, their placement on the screen,
// and the routing of every form's input while popups are open.
#include "kel_popup.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace kel {

namespace detail {
// Defined beside the registrations of the popup controls: referencing them here keeps those
// files (and so their classes for form files) in a statically linked program, since every
// program with forms links the popup layer.
void LinkMenus();
void LinkComboBox();
void LinkDateTimePicker();
} // namespace detail

namespace {

struct TLayer {
    std::vector<TPopupWindow*> Open; // bottom first
    TPopupWindow* Pressed = nullptr; // the popup a forwarded press went to, until its release
    TPopupWindow* Hovered = nullptr; // the popup a forwarded move went to last
    TForm* EatUp = nullptr;          // the form whose press closed the popups: its release too
};

TLayer& Layer() {
    static TLayer layer;
    return layer;
}

void Forget(TPopupWindow* P) {
    TLayer& l = Layer();
    l.Open.erase(std::remove(l.Open.begin(), l.Open.end(), P), l.Open.end());
    if (l.Pressed == P) l.Pressed = nullptr;
    if (l.Hovered == P) l.Hovered = nullptr;
}

// The topmost open popup whose client area holds the screen point, or null.
TPopupWindow* PopupAtScreen(TPoint S) {
    TLayer& l = Layer();
    for (auto it = l.Open.rbegin(); it != l.Open.rend(); ++it)
        if ((*it)->ScreenRect().Contains(S)) return *it;
    return nullptr;
}

void Forward(TPopupWindow* P, TPopupInput Kind, TMouseButton Button, TShiftState Shift, TPoint S,
             int Key) {
    const TPoint o = P->ClientOrigin();
    const int x = S.X - o.X, y = S.Y - o.Y;
    switch (Kind) {
    case TPopupInput::Move:
        P->HostMouseMove(x, y, Shift);
        break;
    case TPopupInput::Down:
        P->HostMouseDown(Button, Shift, x, y);
        break;
    case TPopupInput::DoubleClick:
        P->HostDoubleClick(Button, Shift, x, y);
        break;
    case TPopupInput::Up:
        P->HostMouseUp(Button, Shift, x, y);
        break;
    case TPopupInput::Wheel:
        P->HostMouseWheel(Key, Shift, x, y);
        break;
    default:
        break;
    }
}

void Fill(TCanvas& C, const TRect& R, TColor Color) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
}

} // namespace

// ---- Drop-down button and focus frame ----------------------------------------------------------

// A raised button face with a small black arrow pointing down (grey when disabled).
void PaintDropDownButton(TCanvas& C, const TRect& b, bool Pressed, bool Enabled) {
    Fill(C, b, clBtnFace);
    if (Pressed) {
        C.Brush().SetColor(clBtnShadow);
        C.FrameRect(b);
    } else {
        Fill(C, Rect(b.Left, b.Top, b.Right - 1, b.Top + 1), cl3DLight);
        Fill(C, Rect(b.Left, b.Top, b.Left + 1, b.Bottom - 1), cl3DLight);
        Fill(C, Rect(b.Left + 1, b.Top + 1, b.Right - 2, b.Top + 2), clBtnHighlight);
        Fill(C, Rect(b.Left + 1, b.Top + 1, b.Left + 2, b.Bottom - 2), clBtnHighlight);
        Fill(C, Rect(b.Left, b.Bottom - 1, b.Right, b.Bottom), cl3DDkShadow);
        Fill(C, Rect(b.Right - 1, b.Top, b.Right, b.Bottom), cl3DDkShadow);
        Fill(C, Rect(b.Left + 1, b.Bottom - 2, b.Right - 1, b.Bottom - 1), clBtnShadow);
        Fill(C, Rect(b.Right - 2, b.Top + 1, b.Right - 1, b.Bottom - 1), clBtnShadow);
    }
    const int d = Pressed ? 1 : 0;
    const int cx = b.Left + (b.Width() - 1) / 2 + d, cy = b.Top + (b.Height() - 1) / 2 + d;
    for (int k = 0; k < 4; ++k)
        Fill(C, Rect(cx - 3 + k, cy - 1 + k, cx + 4 - k, cy + k), Enabled ? clBtnText : clGrayText);
}

// The dotted focus frame: every other pixel of the outline inverted.
void PaintFocusFrame(TCanvas& C, const TRect& R) {
    auto invert = [&C](int x, int y) {
        const TColor p = C.Pixels(x, y);
        if (p != 0xFFFFFFFF) C.SetPixels(x, y, p ^ 0xFFFFFF);
    };
    for (int x = R.Left; x < R.Right; x += 2) {
        invert(x, R.Top);
        if (R.Bottom - 1 > R.Top) invert(x, R.Bottom - 1);
    }
    for (int y = R.Top + 2; y < R.Bottom - 1; y += 2) {
        invert(R.Left, y);
        if (R.Right - 1 > R.Left) invert(R.Right - 1, y);
    }
}

// ---- TPopupWindow -----------------------------------------------------------------------------

TPopupWindow::TPopupWindow(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsNone);
    SetColor(clWindow);
}

TPopupWindow::~TPopupWindow() { ClosePopup(); }

TRect TPopupWindow::ScreenRect() const {
    const TPoint o = ClientOrigin();
    return Bounds(o.X, o.Y, ClientWidth(), ClientHeight());
}

void TPopupWindow::Open(TPoint At) {
    if (FOpen) ClosePopup();
    SetBounds(At.X, At.Y, Width(), Height());
    // A modal form opened since this popup was made disabled it with the other forms.
    SetEnabled(true);
    FOpen = true;
    Layer().Open.push_back(this);
    try {
        Show();
    } catch (...) {
        FOpen = false;
        Forget(this);
        throw;
    }
}

void TPopupWindow::PopupAt(TPoint ScreenPos) {
    const TSize s = FormHost().ScreenSize();
    TPoint at = ScreenPos;
    if (at.X + Width() > s.cx) at.X = std::max(0, s.cx - Width());
    if (at.Y + Height() > s.cy) at.Y = std::max(0, s.cy - Height());
    Open(at);
}

void TPopupWindow::PopupBelow(const TRect& Anchor) {
    const TSize s = FormHost().ScreenSize();
    TPoint at{Anchor.Left, Anchor.Bottom};
    if (at.Y + Height() > s.cy && Anchor.Top - Height() >= 0) at.Y = Anchor.Top - Height();
    if (at.X + Width() > s.cx) at.X = std::max(0, s.cx - Width());
    Open(at);
}

void TPopupWindow::PopupBeside(const TRect& Anchor) {
    const TSize s = FormHost().ScreenSize();
    TPoint at{Anchor.Right, Anchor.Top};
    if (at.X + Width() > s.cx && Anchor.Left - Width() >= 0) at.X = Anchor.Left - Width();
    if (at.Y + Height() > s.cy) at.Y = std::max(0, s.cy - Height());
    Open(at);
}

void TPopupWindow::ClosePopup() {
    if (!FOpen) return;
    // The popups above this one go first, topmost first.
    TLayer& l = Layer();
    while (!l.Open.empty() && l.Open.back() != this) l.Open.back()->ClosePopup();
    FOpen = false;
    Forget(this);
    Hide();
}

// ---- The layer --------------------------------------------------------------------------------

int OpenPopupCount() { return int(Layer().Open.size()); }

TPopupWindow* OpenPopups(int Index) {
    if (Index < 0 || Index >= OpenPopupCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return Layer().Open[std::size_t(Index)];
}

TPopupWindow* TopPopup() { return Layer().Open.empty() ? nullptr : Layer().Open.back(); }

TPopupWindow* AsOpenPopup(const TForm* Form) {
    for (TPopupWindow* p : Layer().Open)
        if (p == Form) return p;
    return nullptr;
}

void CloseAllPopups(bool Dismissed) {
    while (TPopupWindow* p = TopPopup()) {
        auto alive = p->Handle();
        p->ClosePopup();
        if (Dismissed && *alive != nullptr && p->FOnDismiss) p->FOnDismiss(p);
    }
}

bool PopupLayerInput(TForm* Form, TPopupInput Kind, TMouseButton Button, TShiftState Shift, int X,
                     int Y, int Key, const std::string& Text) {
    static const bool linked =
        (detail::LinkMenus(), detail::LinkComboBox(), detail::LinkDateTimePicker(), true);
    (void)linked;
    TLayer& l = Layer();
    if (Kind == TPopupInput::Down || Kind == TPopupInput::DoubleClick) l.EatUp = nullptr;
    if (Form != nullptr && l.EatUp == Form && Kind == TPopupInput::Up) {
        l.EatUp = nullptr; // the release of the press that closed the popups
        return true;
    }
    if (l.Open.empty() || Form == nullptr) return false;
    TPopupWindow* own = AsOpenPopup(Form);

    if (Kind == TPopupInput::KeyDown || Kind == TPopupInput::KeyUp || Kind == TPopupInput::Text) {
        TPopupWindow* top = l.Open.back();
        if (!top->TakesKeys()) {
            // Keys a window system gave a popup that leaves them to the focused control (a
            // drop-down list under the pointer) go to the active form.
            TForm* active = ActiveForm();
            if (own == nullptr || active == nullptr || AsOpenPopup(active) != nullptr) return false;
            top = nullptr;
            if (Kind == TPopupInput::KeyDown)
                active->HostKeyDown(std::uint16_t(Key), Shift);
            else if (Kind == TPopupInput::KeyUp)
                active->HostKeyUp(std::uint16_t(Key), Shift);
            else
                active->HostTextInput(Text);
            return true;
        }
        if (top == Form) return false;
        if (Kind == TPopupInput::KeyDown)
            top->HostKeyDown(std::uint16_t(Key), Shift);
        else if (Kind == TPopupInput::KeyUp)
            top->HostKeyUp(std::uint16_t(Key), Shift);
        else
            top->HostTextInput(Text);
        return true;
    }

    const TPoint o = Form->ClientOrigin();
    const TPoint s{o.X + X, o.Y + Y};
    // A press forwarded to a popup keeps its moves and its release there.
    TPopupWindow* target = l.Pressed != nullptr ? l.Pressed : PopupAtScreen(s);
    if (Kind == TPopupInput::Up) l.Pressed = nullptr;
    if (target == Form) return false;
    if (own != nullptr && Kind != TPopupInput::Down && Kind != TPopupInput::DoubleClick &&
        (target == nullptr || Form->CaptureControl() != nullptr))
        return false; // a popup's own input beyond its edge (its drag, its release)
    if (Kind == TPopupInput::Move && l.Hovered != nullptr && l.Hovered != target) {
        TPopupWindow* left = l.Hovered;
        l.Hovered = nullptr;
        left->HostMouseLeave();
    }
    if (target == nullptr) {
        // A press outside every popup closes them all; nothing else reaches the other forms.
        if (Kind == TPopupInput::Down || Kind == TPopupInput::DoubleClick) {
            l.EatUp = Form;
            CloseAllPopups(true);
        }
        return true;
    }
    if (Kind == TPopupInput::Down || Kind == TPopupInput::DoubleClick) l.Pressed = target;
    if (Kind == TPopupInput::Move) l.Hovered = target;
    Forward(target, Kind, Button, Shift, s, Key);
    return true;
}

} // namespace kel
