// The headless host and the input helpers of the tests: input is injected through the same
// TForm entry points a window host uses, in the order a real device produces it.
#include "headless.h"

#include "kel_popup.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kel::headless {

// ---- THeadlessHost ----------------------------------------------------------------------------

void THeadlessHost::FormShown(TForm* Form) {
    if (std::find(FShown.begin(), FShown.end(), Form) == FShown.end()) FShown.push_back(Form);
}

void THeadlessHost::FormHidden(TForm* Form) {
    FShown.erase(std::remove(FShown.begin(), FShown.end(), Form), FShown.end());
}

void THeadlessHost::FormPainted(TForm* Form) {
    for (const TRect& r : Form->TakeUpdatedRects()) FPresented.push_back(r);
    // Drops the older half at once, so keeping the bound costs little per paint.
    if (FPresented.size() > MaxPresented)
        FPresented.erase(FPresented.begin(), FPresented.end() - std::ptrdiff_t(MaxPresented / 2));
}

void THeadlessHost::FormDestroying(TForm* Form) { FormHidden(Form); }

void THeadlessHost::ModalLoopStep(TForm* Form) {
    Application->ProcessMessages();
    if (Form->ModalResult() != mrNone || !Form->Visible()) return;
    if (FModalScript) {
        auto script = std::move(FModalScript);
        FModalScript = nullptr;
        FIdleForm = nullptr;
        script(*Form);
        return;
    }
    if (Application->ManualClock() != nullptr && Application->NextTimerDue() >= 0) {
        // Timers may still close the form; but timers that never stop (a caret blink) must
        // not keep a forgotten modal form running for ever.
        if (FIdleForm != Form) {
            FIdleForm = Form;
            FIdleSince = Application->Now();
        }
        if (Application->NextTimerDue() - FIdleSince <= MaxModalTimerMs) {
            Application->Advance(
                std::max<std::int64_t>(0, Application->NextTimerDue() - Application->Now()));
            return;
        }
        FIdleForm = nullptr;
        throw EInvalidOperation("Form \"" + Form->Name() +
                                "\" runs modally, but only timers ran for " +
                                std::to_string(MaxModalTimerMs / 1000) + " s and none closed it");
    }
    FIdleForm = nullptr;
    throw EInvalidOperation("Form \"" + Form->Name() +
                            "\" runs modally, but nothing is left that could close it");
}

THeadlessHost& Host() {
    static THeadlessHost host;
    return host;
}

// ---- Mouse ------------------------------------------------------------------------------------

namespace {

TForm& FormOfControl(TControl& Control, TPoint& Offset) {
    TForm* f = GetParentForm(&Control);
    if (f == nullptr)
        throw EInvalidOperation("Control \"" + Control.Name() + "\" does not lie on a form");
    Offset = Control.SurfaceOrigin();
    return *f;
}

// The pixel the screen shows at a form's surface point when popups lie over it: the topmost
// open popup's (other than the form itself) there, else false.
bool PopupPixel(const TForm& Form, int X, int Y, std::uint32_t& Pixel) {
    const TPoint o = Form.ClientOrigin();
    for (int i = OpenPopupCount() - 1; i >= 0; --i) {
        TPopupWindow* p = OpenPopups(i);
        if (p == &Form) return false; // popups below the form do not show over it
        const TPoint po = p->ClientOrigin();
        const int px = o.X + X - po.X, py = o.Y + Y - po.Y;
        const TBitmap& s = p->Surface();
        if (px < 0 || py < 0 || px >= s.Width() || py >= s.Height()) continue;
        Pixel = s.ScanLine(py)[px];
        return true;
    }
    return false;
}

TShiftStateItem ButtonState(TMouseButton b) {
    return b == mbLeft ? ssLeft : b == mbRight ? ssRight : ssMiddle;
}

} // namespace

void MoveTo(TForm& Form, int X, int Y, TShiftState Shift) { Form.HostMouseMove(X, Y, Shift); }

void MouseDownAt(TForm& Form, int X, int Y, TMouseButton Button, TShiftState Shift) {
    Form.HostMouseDown(Button, Shift, X, Y);
}

void MouseUpAt(TForm& Form, int X, int Y, TMouseButton Button, TShiftState Shift) {
    Form.HostMouseUp(Button, Shift, X, Y);
}

void ClickAt(TForm& Form, int X, int Y, TShiftState Shift, TMouseButton Button) {
    // The form moves the pointer to the press point first when it is elsewhere.
    Form.HostMouseDown(Button, Shift, X, Y);
    Form.HostMouseUp(Button, Shift, X, Y);
}

void DoubleClickAt(TForm& Form, int X, int Y, TShiftState Shift) {
    ClickAt(Form, X, Y, Shift);
    Form.HostDoubleClick(mbLeft, Shift, X, Y);
    Form.HostMouseUp(mbLeft, Shift, X, Y);
}

void Drag(TForm& Form, int X1, int Y1, int X2, int Y2, TShiftState Shift, int Steps,
          TMouseButton Button) {
    Form.HostMouseDown(Button, Shift, X1, Y1);
    Steps = std::max(1, Steps);
    for (int i = 1; i <= Steps; ++i) {
        int x = X1 + int(std::lround(double(X2 - X1) * i / Steps));
        int y = Y1 + int(std::lround(double(Y2 - Y1) * i / Steps));
        Form.HostMouseMove(x, y, Shift | ButtonState(Button));
    }
    Form.HostMouseUp(Button, Shift, X2, Y2);
}

void Wheel(TForm& Form, int X, int Y, int Delta, TShiftState Shift) {
    if (!Form.MouseInside() || Form.MousePos() != Point(X, Y)) Form.HostMouseMove(X, Y, Shift);
    Form.HostMouseWheel(Delta, Shift, X, Y);
}

void LeaveWindow(TForm& Form) { Form.HostMouseLeave(); }

void MoveTo(TControl& Control, int X, int Y, TShiftState Shift) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    MoveTo(f, X + o.X, Y + o.Y, Shift);
}

void MouseDownAt(TControl& Control, int X, int Y, TMouseButton Button, TShiftState Shift) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    MouseDownAt(f, X + o.X, Y + o.Y, Button, Shift);
}

void MouseUpAt(TControl& Control, int X, int Y, TMouseButton Button, TShiftState Shift) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    MouseUpAt(f, X + o.X, Y + o.Y, Button, Shift);
}

void ClickAt(TControl& Control, int X, int Y, TShiftState Shift, TMouseButton Button) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    ClickAt(f, X + o.X, Y + o.Y, Shift, Button);
}

void DoubleClickAt(TControl& Control, int X, int Y, TShiftState Shift) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    DoubleClickAt(f, X + o.X, Y + o.Y, Shift);
}

void Drag(TControl& Control, int X1, int Y1, int X2, int Y2, TShiftState Shift, int Steps,
          TMouseButton Button) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    Drag(f, X1 + o.X, Y1 + o.Y, X2 + o.X, Y2 + o.Y, Shift, Steps, Button);
}

void Wheel(TControl& Control, int X, int Y, int Delta, TShiftState Shift) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    Wheel(f, X + o.X, Y + o.Y, Delta, Shift);
}

// ---- Keys -------------------------------------------------------------------------------------

void KeyDown(TForm& Form, std::uint16_t Key, TShiftState Shift) { Form.HostKeyDown(Key, Shift); }

void KeyUp(TForm& Form, std::uint16_t Key, TShiftState Shift) { Form.HostKeyUp(Key, Shift); }

void KeyStroke(TForm& Form, std::uint16_t Key, TShiftState Shift) {
    Form.HostKeyDown(Key, Shift);
    Form.HostKeyUp(Key, Shift);
}

std::uint16_t VirtualKeyOf(char32_t Ch, bool& NeedsShift) {
    NeedsShift = false;
    if (Ch >= 'a' && Ch <= 'z') return std::uint16_t(Ch - 'a' + 'A');
    if (Ch >= 'A' && Ch <= 'Z') {
        NeedsShift = true;
        return std::uint16_t(Ch);
    }
    if (Ch >= '0' && Ch <= '9') return std::uint16_t(Ch);
    switch (Ch) {
    case ' ':
        return VK_SPACE;
    case '\r':
    case '\n':
        return VK_RETURN;
    case '\t':
        return VK_TAB;
    case '\b':
        return VK_BACK;
    case 0x1B:
        return VK_ESCAPE;
    case '.':
        return VK_OEM_PERIOD;
    case ',':
        return VK_OEM_COMMA;
    case '-':
        return VK_OEM_MINUS;
    case '=':
        return VK_OEM_PLUS;
    case '+':
        NeedsShift = true;
        return VK_OEM_PLUS;
    case '_':
        NeedsShift = true;
        return VK_OEM_MINUS;
    case ';':
        return VK_OEM_1;
    case ':':
        NeedsShift = true;
        return VK_OEM_1;
    case '/':
        return VK_OEM_2;
    case '?':
        NeedsShift = true;
        return VK_OEM_2;
    default:
        return 0;
    }
}

void KeyPress(TForm& Form, char32_t Ch) {
    bool shift = false;
    std::uint16_t vk = VirtualKeyOf(Ch, shift);
    TShiftState s = shift ? TShiftState{ssShift} : TShiftState{};
    bool control = Ch == '\r' || Ch == '\n' || Ch == '\t' || Ch == '\b' || Ch == 0x1B;
    if (vk != 0) Form.HostKeyDown(vk, s);
    // Control characters come from the key itself; printable ones as text input.
    if (!control) Form.HostTextInput(CharToUtf8(Ch));
    if (vk != 0) Form.HostKeyUp(vk, s);
}

void Type(TForm& Form, const std::string& Utf8) {
    std::size_t i = 0;
    while (i < Utf8.size()) {
        unsigned char c = static_cast<unsigned char>(Utf8[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + std::size_t(len) > Utf8.size()) len = 1;
        std::string one = Utf8.substr(i, std::size_t(len));
        i += std::size_t(len);
        char32_t cp = len == 1 ? c : char32_t(c & (0x7F >> len));
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(one[std::size_t(k)]) & 0x3F);
        KeyPress(Form, cp);
    }
}

void TextInput(TForm& Form, const std::string& Utf8) { Form.HostTextInput(Utf8); }

// ---- Loop and pixels --------------------------------------------------------------------------

void Flush() { Application->ProcessMessages(); }

void Deliver() { Application->ProcessMessages(false); }

TColor PixelAt(TForm& Form, int X, int Y) {
    Flush();
    const TBitmap& s = Form.Surface();
    if (X < 0 || Y < 0 || X >= s.Width() || Y >= s.Height()) return 0xFFFFFFFF;
    std::uint32_t over = 0;
    if (PopupPixel(Form, X, Y, over)) return PixelToColor(over);
    return PixelToColor(s.ScanLine(Y)[X]);
}

TColor PixelAt(TControl& Control, int X, int Y) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    if (X < 0 || Y < 0 || X >= Control.Width() || Y >= Control.Height()) return 0xFFFFFFFF;
    return PixelAt(f, X + o.X, Y + o.Y);
}

void Snapshot(TControl& Control, TBitmap& Out) {
    TPoint o;
    TForm& f = FormOfControl(Control, o);
    Flush();
    // A form is its client area; any other control is its whole bounds (frame and scroll bars
    // included), from its top-left.
    TRect cr =
        &Control == &f ? Control.ClientRect() : Rect(0, 0, Control.Width(), Control.Height());
    Out.SetSize(cr.Width(), cr.Height());
    Out.Canvas().Brush().SetColor(clWhite);
    Out.Canvas().FillRect(cr);
    TRect vis =
        IntersectRect(Bounds(o.X, o.Y, cr.Width(), cr.Height()), Control.VisibleSurfaceRect());
    if (&Control == &f) vis = cr;
    const TBitmap& s = f.Surface();
    vis = IntersectRect(vis, Rect(0, 0, s.Width(), s.Height())); // none before the first Show
    for (int y = vis.Top; y < vis.Bottom; ++y) {
        const std::uint32_t* src = s.ScanLine(y);
        std::uint32_t* dst = Out.ScanLine(y - o.Y);
        for (int x = vis.Left; x < vis.Right; ++x) dst[x - o.X] = src[x];
    }
    // Open popups show over the form, as on a screen (they may reach beyond the control).
    if (OpenPopupCount() == 0) return;
    for (int y = 0; y < Out.Height(); ++y) {
        std::uint32_t* dst = Out.ScanLine(y);
        for (int x = 0; x < Out.Width(); ++x) {
            std::uint32_t over = 0;
            if (PopupPixel(f, x + o.X, y + o.Y, over)) dst[x] = over;
        }
    }
}

void SavePNG(TControl& Control, const std::string& Path) {
    TBitmap b;
    Snapshot(Control, b);
    b.SaveToFile(Path);
}

// ---- Modal loop -------------------------------------------------------------------------------

void WhenModal(std::function<void(TForm&)> Script) { Host().SetModalScript(std::move(Script)); }

} // namespace kel::headless
