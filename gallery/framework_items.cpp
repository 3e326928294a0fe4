// Gallery items that show the framework's own drawing and timers, until the components arrive:
// canvas shapes, text, a colour ramp and a control ticking on a message timer.
#include "gallery.h"

#include "kel_app.h"

#include <array>
#include <cstdio>
#include <string>

namespace kel::gallery {
namespace {

// Pens, brushes and the closed shapes of the canvas.
class TShapesDemo : public TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;

  protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Brush().SetColor(clWhite);
        c.FillRect(Rect(0, 0, Width(), Height()));
        c.Pen().SetColor(clNavy);
        c.Brush().SetColor(RGB(0x99, 0xCC, 0xFF));
        c.Rectangle(8, 8, 68, 58);
        c.Brush().SetColor(RGB(0xFF, 0xCC, 0x66));
        c.Ellipse(78, 8, 138, 58);
        c.Brush().SetColor(RGB(0x99, 0xDD, 0x99));
        c.Pie(148, 8, 208, 68, 208, 38, 178, 8);
        const std::array<TPoint, 5> star{Point(38, 70), Point(50, 110), Point(14, 84),
                                         Point(62, 84), Point(26, 110)};
        c.Brush().SetColor(RGB(0xFF, 0x99, 0x99));
        c.Polygon(star);
        c.Brush().SetStyle(bsDiagCross);
        c.Brush().SetColor(clTeal);
        c.Rectangle(78, 70, 138, 110);
        c.Brush().SetStyle(bsSolid);
        c.Pen().SetWidth(3);
        c.Pen().SetColor(clMaroon);
        c.MoveTo(150, 110);
        c.LineTo(205, 75);
        c.Pen().SetWidth(1);
        c.Pen().SetStyle(psDot);
        c.MoveTo(150, 80);
        c.LineTo(205, 110);
        c.Pen().SetStyle(psSolid);
    }
};

// Faces, sizes and styles as fontconfig resolves them.
class TTextDemo : public TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;

  protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Brush().SetColor(clWhite);
        c.FillRect(Rect(0, 0, Width(), Height()));
        c.Brush().SetStyle(bsClear);
        int y = 4;
        struct Line {
            const char* Face;
            int Size;
            TFontStyles Style;
            TColor Color;
            const char* Text;
        };
        const std::array<Line, 4> lines{
            {{"DejaVu Sans", 8, {}, clBlack, "8 pt default face 0123456789"},
             {"DejaVu Sans", 12, {fsBold}, clNavy, "12 pt bold  -1.25E+03"},
             {"DejaVu Serif", 11, {fsItalic}, clMaroon, "11 pt italic serif"},
             {"DejaVu Sans Mono", 10, {fsUnderline}, clGreen, "mono 3.14159 µV"}}};
        for (const Line& l : lines) {
            c.Font().SetName(l.Face);
            c.Font().SetSize(l.Size);
            c.Font().SetStyle(l.Style);
            c.Font().SetColor(l.Color);
            c.TextOut(6, y, l.Text);
            y += c.TextHeight(l.Text) + 4;
        }
        c.Brush().SetStyle(bsSolid);
    }
};

// A ramp through the hues, one FillRect per column.
class TRampDemo : public TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;

  protected:
    void Paint() override {
        TCanvas& c = Canvas();
        const int w = Width() > 0 ? Width() : 1;
        for (int x = 0; x < w; ++x) {
            const int h6 = x * 6 * 255 / w; // 0 .. 6*255
            const int seg = h6 / 255, f = h6 % 255;
            int r = 0, g = 0, b = 0;
            switch (seg) {
            case 0:
                r = 255, g = f;
                break;
            case 1:
                r = 255 - f, g = 255;
                break;
            case 2:
                g = 255, b = f;
                break;
            case 3:
                g = 255 - f, b = 255;
                break;
            case 4:
                r = f, b = 255;
                break;
            default:
                r = 255, b = 255 - f;
                break;
            }
            c.Brush().SetColor(RGB(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)));
            c.FillRect(Rect(x, 0, x + 1, Height() / 2));
            const int grey = x * 255 / w;
            c.Brush().SetColor(RGB(std::uint8_t(grey), std::uint8_t(grey), std::uint8_t(grey)));
            c.FillRect(Rect(x, Height() / 2, x + 1, Height()));
        }
    }
};

// A windowed control driven by a message timer on its own hidden window (id 1, 250 ms),
// the way the components run their carets, repeats and scrolling.
class TTickerDemo : public TCustomControl {
  public:
    explicit TTickerDemo(TComponent* AOwner) : TCustomControl(AOwner) {
        FTimerWnd = AllocateHWnd([this](TMessage& m) {
            if (m.Msg != WM_TIMER) {
                m.Result = DefWindowProc(FTimerWnd, m.Msg, m.WParam, m.LParam);
                return;
            }
            ++FTicks;
            Invalidate();
        });
        KillTimer(FTimerWnd, 1);
        if (SetTimer(FTimerWnd, 1, 250) == 0)
            throw EOutOfResources("Component \"" + Name() + "\": no timer available");
    }
    ~TTickerDemo() override { DeallocateHWnd(FTimerWnd); }

  protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Brush().SetColor(RGB(0x20, 0x20, 0x30));
        c.FillRect(Rect(0, 0, Width(), Height()));
        const int cells = 16, cw = (Width() - 8) / cells;
        for (int i = 0; i < cells; ++i) {
            const bool on = i == FTicks % cells;
            c.Brush().SetColor(on ? RGB(0x40, 0xFF, 0x40) : RGB(0x30, 0x50, 0x30));
            c.FillRect(Rect(4 + i * cw, 6, 4 + i * cw + cw - 2, Height() / 2));
        }
        c.Brush().SetStyle(bsClear);
        c.Font().SetColor(RGB(0x40, 0xFF, 0x40));
        c.TextOut(6, Height() / 2 + 4, "ticks: " + std::to_string(FTicks));
        c.Brush().SetStyle(bsSolid);
    }

  private:
    HWND FTimerWnd = nullptr;
    int FTicks = 0;
};

std::string ShiftText(TShiftState s) {
    static const char* const names[] = {"ssShift", "ssAlt",    "ssCtrl",  "ssLeft",
                                        "ssRight", "ssMiddle", "ssDouble"};
    std::string t;
    for (int i = 0; i < 7; ++i) {
        if (!s.contains(static_cast<TShiftStateItem>(i))) continue;
        if (!t.empty()) t += ',';
        t.append(names[i]);
    }
    return "[" + t + "]";
}

// Shows the last mouse press, key and typed text it received (and prints them with
// --log-input): real input reaching a control through the host. Ctrl+C and Ctrl+V go through
// the clipboard.
class TInputEcho : public TCustomControl {
  public:
    explicit TInputEcho(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }

  protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        if (CanFocus()) SetFocus();
        static const char* const buttons[] = {"mbLeft", "mbRight", "mbMiddle"};
        Note(FMouse, std::string("mousedown ") + buttons[Button] + " " + std::to_string(X) + "," +
                         std::to_string(Y) + " " + ShiftText(Shift));
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    // Keeps the arrow keys for itself instead of letting the form move the focus with them.
    void WMGetDlgCode(TMessage& Message) override { Message.Result = DLGC_WANTARROWS; }
    // Enter is echoed like any key, even with a default button on the form.
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_WANTSPECIALKEY && Message.WParam == VK_RETURN) {
            Message.Result = 1;
            return;
        }
        TCustomControl::WndProc(Message);
    }
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override {
        Note(FMouse, "wheel " + std::to_string(WheelDelta) + " " + ShiftText(Shift));
        TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
        return true;
    }
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override {
        Note(FKey, "keydown " + std::to_string(Key) + " " + ShiftText(Shift));
        // Ctrl+C copies what was typed, Ctrl+V appends the clipboard's text.
        if (Shift == TShiftState{ssCtrl} && Key == 'C') {
            Clipboard().SetAsText(FTyped);
            Note(FKey, "copy " + FTyped);
        } else if (Shift == TShiftState{ssCtrl} && Key == 'V' && Clipboard().HasFormat(CF_TEXT)) {
            const std::string text = Clipboard().AsText();
            FTyped += text;
            KeepTail(FTyped);
            Note(FKey, "paste " + text);
        }
        TCustomControl::KeyDown(Key, Shift);
    }
    void KeyPress(char32_t& Key) override {
        if (Key >= 32) FTyped += CharToUtf8(Key);
        KeepTail(FTyped);
        Note(FKey, "keypress " + std::to_string(static_cast<unsigned>(Key)));
        TCustomControl::KeyPress(Key);
    }
    void Paint() override {
        TCanvas& c = Canvas();
        c.Brush().SetColor(clWhite);
        c.FillRect(Rect(0, 0, Width(), Height()));
        c.Brush().SetStyle(bsClear);
        c.Font().SetColor(clBlack);
        c.TextOut(4, 2, FMouse.empty() ? "click here, then type" : FMouse);
        c.TextOut(4, 18, FKey);
        c.Font().SetColor(clNavy);
        c.TextOut(4, 34, "typed: " + FTyped);
        c.Brush().SetStyle(bsSolid);
    }

  private:
    // The typed text keeps its last characters only: the line shows no more, and copying and
    // pasting it again and again would otherwise double it each time.
    static void KeepTail(std::string& s) {
        constexpr std::size_t kMax = 200;
        if (s.size() <= kMax) return;
        std::size_t cut = s.size() - kMax;
        while (cut < s.size() && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) ++cut;
        s.erase(0, cut);
    }
    void Note(std::string& field, const std::string& text) {
        field = text;
        if (gLogInput) {
            std::printf("input: %s\n", text.c_str());
            std::fflush(stdout);
        }
        Invalidate();
    }
    std::string FMouse, FKey, FTyped;
};

} // namespace

KEL_GALLERY_ITEM("Input echo", 216, 52, [](TWinControl* p) { return new TInputEcho(p); });
KEL_GALLERY_ITEM("Canvas shapes", 216, 118, [](TWinControl* p) { return new TShapesDemo(p); });
KEL_GALLERY_ITEM("Canvas text", 216, 118, [](TWinControl* p) { return new TTextDemo(p); });
KEL_GALLERY_ITEM("Colour ramp", 216, 60, [](TWinControl* p) { return new TRampDemo(p); });
KEL_GALLERY_ITEM("Message timer", 216, 60, [](TWinControl* p) { return new TTickerDemo(p); });

} // namespace kel::gallery
