// The colour dialog: HSL conversions, the chooser form and its parts (swatch grids, the
// hue/saturation field, the lightness bar, the preview, number fields that take digits only,
// push buttons) and TColorDialog::Execute, which runs the form modally.
//
// The form keeps the chosen colour as RGB and, beside it, hue, saturation and lightness as
// integers: typing RGB recomputes the HSL fields, while typing HSL or using the field and the bar
// recomputes RGB, so a grey keeps the hue the user set and no rounding loop creeps in.
//
// Index: HSL conversions; parts of the form (push button, number field, swatch grid, field,
// lightness bar, preview); the form; TColorDialog; published properties.
#include "kel_dialogs.h"

#include "detail/scrollbar.h"
#include "kel_forms.h"
#include "kel_props.h"
#include "kel_setter.h"
#include "kel_stdctrls.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

namespace kel {

// ---- HSL conversions --------------------------------------------------------------------------

void ColorToHSLF(TColor Color, double& H, double& S, double& L) {
    const TColor c = ColorToRGB(Color);
    const double r = GetRValue(c) / 255.0, g = GetGValue(c) / 255.0, b = GetBValue(c) / 255.0;
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2;
    L = l * HSLMax;
    if (mx == mn) {
        H = HSLMax * 2 / 3.0; // greys: hue 160, as the field's bottom-free default
        S = 0;
        return;
    }
    const double d = mx - mn;
    S = (l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn)) * HSLMax;
    double h;
    if (mx == r)
        h = (g - b) / d;
    else if (mx == g)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h *= HSLMax / 6.0;
    if (h < 0) h += HSLMax;
    H = h;
}

namespace {
double HueToChannel(double m1, double m2, double h) {
    if (h < 0) h += 1;
    if (h > 1) h -= 1;
    if (h < 1 / 6.0) return m1 + (m2 - m1) * 6 * h;
    if (h < 1 / 2.0) return m2;
    if (h < 2 / 3.0) return m1 + (m2 - m1) * (2 / 3.0 - h) * 6;
    return m1;
}
int ToByte(double v) { return std::clamp(int(std::lround(v * 255)), 0, 255); }
} // namespace

TColor HSLFToColor(double H, double S, double L) {
    const double h = H / HSLMax, s = std::clamp(S / HSLMax, 0.0, 1.0),
                 l = std::clamp(L / HSLMax, 0.0, 1.0);
    if (s == 0) return RGB(ToByte(l), ToByte(l), ToByte(l));
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return RGB(ToByte(HueToChannel(m1, m2, h + 1 / 3.0)), ToByte(HueToChannel(m1, m2, h)),
               ToByte(HueToChannel(m1, m2, h - 1 / 3.0)));
}

void ColorToHSL(TColor Color, int& H, int& S, int& L) {
    double h, s, l;
    ColorToHSLF(Color, h, s, l);
    H = int(std::lround(h)) % HSLMax;
    S = int(std::lround(s));
    L = int(std::lround(l));
}

TColor HSLToColor(int H, int S, int L) {
    H = ((H % HSLMax) + HSLMax) % HSLMax;
    return HSLFToColor(H, std::clamp(S, 0, HSLMax), std::clamp(L, 0, HSLMax));
}

namespace {

using detail::DrawButtonFace;
using detail::DrawSunkenFrame;
using detail::FillSolid;

// ---- Parts of the form ------------------------------------------------------------------------

// A push button: a raised face with a centred caption, sunken while pressed, a focus rectangle
// while focused; a click (release inside, Space, or Enter while focused) runs OnClick and sets
// the form's ModalResult when it has one.
class TDialogButton : public TCustomControl {
  public:
    explicit TDialogButton(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        InitBounds(0, 0, 75, 23);
    }
    std::string ClassName() const override { return "TDialogButton"; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override {
        auto alive = Handle();
        TCustomControl::Click();
        if (*alive == nullptr) return;
        if (FModalResult != mrNone)
            if (TForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
    }

  protected:
    void Paint() override {
        TCanvas& C = Canvas();
        const TRect r = Rect(0, 0, Width(), Height());
        if (FDown) {
            FillSolid(C, r, clBtnFace);
            C.Brush().SetColor(clBtnShadow);
            C.FrameRect(r);
        } else {
            DrawButtonFace(C, r);
        }
        C.Font().Assign(&Font());
        C.Font().SetColor(Enabled() ? clBtnText : clGrayText);
        C.Brush().SetStyle(bsClear);
        const int off = FDown ? 1 : 0;
        C.TextOut((Width() - C.TextWidth(Caption())) / 2 + off,
                  (Height() - C.TextHeight(Caption())) / 2 + off, Caption());
        C.Brush().SetStyle(bsSolid);
        if (Focused()) {
            C.Brush().SetColor(clBlack);
            for (int x = 4; x < Width() - 4; x += 2) {
                C.SetPixels(x, 4, clBlack);
                C.SetPixels(x, Height() - 5, clBlack);
            }
            for (int y = 4; y < Height() - 4; y += 2) {
                C.SetPixels(4, y, clBlack);
                C.SetPixels(Width() - 5, y, clBlack);
            }
        }
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        if (Button == mbLeft) {
            if (CanFocus()) SetFocus();
            FDown = true;
            Invalidate();
        }
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        if (Shift.contains(ssLeft)) {
            const bool inside = ClientRect().Contains({X, Y});
            if (inside != FDown) {
                FDown = inside;
                Invalidate();
            }
        }
        TCustomControl::MouseMove(Shift, X, Y);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        FDown = false;
        Invalidate();
        TCustomControl::MouseUp(Button, Shift, X, Y);
    }
    void KeyPress(char32_t& Key) override {
        TCustomControl::KeyPress(Key);
        if (Key == U' ') Click();
    }
    void WMSetFocus(TMessage&) override { Invalidate(); }
    void WMKillFocus(TMessage&) override { Invalidate(); }

  private:
    TModalResult FModalResult = mrNone;
    bool FDown = false;
};

// An edit box for a whole number 0..Max: only digits can be typed, a pasted text keeps its
// digits, and a value above Max is replaced by Max. OnValue reports each new value.
class TNumberEdit : public TEdit {
  public:
    TNumberEdit(TComponent* AOwner, int Max) : TEdit(AOwner), FMax(Max) { SetMaxLength(3); }
    std::string ClassName() const override { return "TNumberEdit"; }
    // Shows a value without reporting it.
    void ShowValue(int V) {
        FQuiet = true;
        SetText(std::to_string(V));
        FQuiet = false;
    }
    std::function<void(int)> OnValue;

  protected:
    void KeyPress(char32_t& Key) override {
        if (Key >= 32 && (Key < U'0' || Key > U'9')) Key = 0;
        TEdit::KeyPress(Key);
    }
    void Change() override {
        TEdit::Change();
        if (FQuiet) return;
        std::string digits;
        for (char ch : Text())
            if (ch >= '0' && ch <= '9') digits += ch;
        if (digits.empty()) {
            if (!Text().empty()) ShowValue(0);
            if (OnValue) OnValue(0);
            return;
        }
        int v = std::min(std::stoi(digits.substr(0, 4)), FMax);
        if (digits != Text() || v != std::stoi(digits.substr(0, 4))) {
            ShowValue(v);
            SetSelStart(TextLength());
        }
        if (OnValue) OnValue(v);
    }

  private:
    int FMax;
    bool FQuiet = false;
};

// A grid of colour swatches, Cols x Rows equal cells; the chosen cell has a black frame and,
// while focused, a dotted one; arrows move it, a click picks.
class TSwatchGrid : public TCustomControl {
  public:
    TSwatchGrid(TComponent* AOwner, int Cols, int Rows)
        : TCustomControl(AOwner), FCols(Cols), FRows(Rows) {
        FColors.assign(std::size_t(Cols) * std::size_t(Rows), clWhite);
        SetTabStop(true);
        SetParentColor(true);
    }
    std::string ClassName() const override { return "TSwatchGrid"; }
    int Count() const { return int(FColors.size()); }
    TColor Colors(int i) const { return FColors[std::size_t(i)]; }
    void SetColors(int i, TColor c) {
        FColors[std::size_t(i)] = c;
        Invalidate();
    }
    int ItemIndex() const { return FIndex; }
    void SetItemIndex(int i) {
        if (SetField(FIndex, i)) Invalidate();
    }
    TRect CellRect(int i) const {
        const int c = i % FCols, r = i / FCols;
        return Rect(c * Width() / FCols, r * Height() / FRows, (c + 1) * Width() / FCols,
                    (r + 1) * Height() / FRows);
    }
    std::function<void(int)> OnPick;

  protected:
    void Paint() override {
        TCanvas& C = Canvas();
        FillSolid(C, ClientRect(), Color());
        for (int i = 0; i < Count(); ++i) {
            const TRect cell = CellRect(i);
            const TRect sw = Rect(cell.Left + 3, cell.Top + 3, cell.Right - 3, cell.Bottom - 3);
            if (i == FIndex) {
                C.Brush().SetColor(clBlack);
                C.FrameRect(Rect(cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1));
                if (Focused())
                    for (int x = cell.Left; x < cell.Right; x += 2) {
                        C.SetPixels(x, cell.Top, clBlack);
                        C.SetPixels(x, cell.Bottom - 1, clBlack);
                    }
            }
            DrawSunkenFrame(C, sw);
            FillSolid(C, Rect(sw.Left + 2, sw.Top + 2, sw.Right - 2, sw.Bottom - 2),
                      FColors[std::size_t(i)]);
        }
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        if (CanFocus()) SetFocus();
        if (Button == mbLeft)
            for (int i = 0; i < Count(); ++i)
                if (CellRect(i).Contains({X, Y})) Pick(i);
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override {
        TCustomControl::KeyDown(Key, Shift);
        int i = std::max(FIndex, 0);
        switch (Key) {
        case VK_LEFT:
            i = std::max(0, i - 1);
            break;
        case VK_RIGHT:
            i = std::min(Count() - 1, i + 1);
            break;
        case VK_UP:
            i = i >= FCols ? i - FCols : i;
            break;
        case VK_DOWN:
            i = i + FCols < Count() ? i + FCols : i;
            break;
        default:
            return;
        }
        Pick(i);
    }
    void WMGetDlgCode(TMessage& Message) override { Message.Result = DLGC_WANTARROWS; }
    void WMSetFocus(TMessage&) override { Invalidate(); }
    void WMKillFocus(TMessage&) override { Invalidate(); }

  private:
    void Pick(int i) {
        SetItemIndex(i);
        if (OnPick) OnPick(i);
    }
    int FCols, FRows;
    std::vector<TColor> FColors;
    int FIndex = -1;
};

// The hue (across) / saturation (up) field at middle lightness, with a cross at the current
// point; pressing or dragging picks hue and saturation.
class THueSatField : public TCustomControl {
  public:
    explicit THueSatField(TComponent* AOwner) : TCustomControl(AOwner) {}
    std::string ClassName() const override { return "THueSatField"; }
    void SetHS(int H, int S) {
        FH = H;
        FS = S;
        Invalidate();
    }
    // Inside the 2-pixel frame: x 0..w-1 is hue 0..239, y 0..h-1 saturation 240..0.
    TRect Inner() const { return Rect(2, 2, Width() - 2, Height() - 2); }
    TPoint PointOf(int H, int S) const {
        const TRect r = Inner();
        return {r.Left + (H * (r.Width() - 1) + (HSLMax - 1) / 2) / (HSLMax - 1),
                r.Top + ((HSLMax - S) * (r.Height() - 1) + HSLMax / 2) / HSLMax};
    }
    std::function<void(int, int)> OnPick;

  protected:
    void Paint() override {
        TCanvas& C = Canvas();
        const TRect r = Inner();
        if (FCache.Width() != r.Width() || FCache.Height() != r.Height()) {
            FCache.SetSize(std::max(1, r.Width()), std::max(1, r.Height()));
            for (int y = 0; y < r.Height(); ++y)
                for (int x = 0; x < r.Width(); ++x)
                    FCache.Canvas().SetPixels(x, y, HSLToColor(HueAt(x), SatAt(y), HSLMax / 2));
        }
        DrawSunkenFrame(C, ClientRect());
        C.Draw(r.Left, r.Top, FCache);
        // The cross: four arms with a gap in the middle.
        const TPoint p = PointOf(FH, FS);
        C.IntersectClipRect(r);
        FillSolid(C, Rect(p.X - 7, p.Y - 1, p.X - 2, p.Y + 2), clBlack);
        FillSolid(C, Rect(p.X + 3, p.Y - 1, p.X + 8, p.Y + 2), clBlack);
        FillSolid(C, Rect(p.X - 1, p.Y - 7, p.X + 2, p.Y - 2), clBlack);
        FillSolid(C, Rect(p.X - 1, p.Y + 3, p.X + 2, p.Y + 8), clBlack);
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        if (Button == mbLeft) PickAt(X, Y);
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        if (Shift.contains(ssLeft)) PickAt(X, Y);
        TCustomControl::MouseMove(Shift, X, Y);
    }

  private:
    int HueAt(int x) const {
        const int w = std::max(2, Inner().Width());
        return (std::clamp(x, 0, w - 1) * (HSLMax - 1) + (w - 1) / 2) / (w - 1);
    }
    int SatAt(int y) const {
        const int h = std::max(2, Inner().Height());
        return HSLMax - (std::clamp(y, 0, h - 1) * HSLMax + (h - 1) / 2) / (h - 1);
    }
    void PickAt(int X, int Y) {
        const TRect r = Inner();
        if (OnPick) OnPick(HueAt(X - r.Left), SatAt(Y - r.Top));
    }
    int FH = 0, FS = 0;
    TBitmap FCache;
};

// The lightness bar: the current hue and saturation from white (top) to black (bottom), with a
// triangle at the current lightness to its right; pressing or dragging picks the lightness.
class TLumBar : public TCustomControl {
  public:
    explicit TLumBar(TComponent* AOwner) : TCustomControl(AOwner) { SetParentColor(true); }
    std::string ClassName() const override { return "TLumBar"; }
    static constexpr int BarWidth = 14;
    void SetHSL(int H, int S, int L) {
        FH = H;
        FS = S;
        FL = L;
        Invalidate();
    }
    // y of a lightness (inside the frame: 240 at the top, 0 at the bottom).
    int YOf(int L) const {
        const int h = std::max(2, Height() - 4);
        return 2 + ((HSLMax - L) * (h - 1) + HSLMax / 2) / HSLMax;
    }
    std::function<void(int)> OnPick;

  protected:
    void Paint() override {
        TCanvas& C = Canvas();
        FillSolid(C, ClientRect(), Color());
        DrawSunkenFrame(C, Rect(0, 0, BarWidth, Height()));
        for (int y = 2; y < Height() - 2; ++y)
            FillSolid(C, Rect(2, y, BarWidth - 2, y + 1), HSLToColor(FH, FS, LumAt(y)));
        const int ym = YOf(FL);
        for (int k = 0; k < 5; ++k)
            FillSolid(C, Rect(BarWidth + 1 + k, ym - k, BarWidth + 2 + k, ym + k + 1), clBlack);
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        if (Button == mbLeft && OnPick) OnPick(LumAt(Y));
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override {
        if (Shift.contains(ssLeft) && OnPick) OnPick(LumAt(Y));
        TCustomControl::MouseMove(Shift, X, Y);
    }

  private:
    int LumAt(int y) const {
        const int h = std::max(2, Height() - 4);
        return HSLMax - (std::clamp(y - 2, 0, h - 1) * HSLMax + (h - 1) / 2) / (h - 1);
    }
    int FH = 0, FS = 0, FL = 0;
};

// The preview: the current colour in a sunken frame.
class TColorPreview : public TGraphicControl {
  public:
    explicit TColorPreview(TComponent* AOwner) : TGraphicControl(AOwner) {}
    std::string ClassName() const override { return "TColorPreview"; }
    void SetShown(TColor c) {
        if (SetField(FShown, c)) Invalidate();
    }

  protected:
    void Paint() override {
        DrawSunkenFrame(Canvas(), ClientRect());
        FillSolid(Canvas(), Rect(2, 2, Width() - 2, Height() - 2), FShown);
    }

  private:
    TColor FShown = clBlack;
};

// ---- The form ---------------------------------------------------------------------------------

TColor ParseCustomColor(const TStringList& L, int i) {
    const std::string key = std::string("Color") + char('A' + i) + "=";
    for (int k = 0; k < L.Count(); ++k) {
        const std::string& s = L.Strings(k);
        if (s.size() <= key.size() || CompareStrings(s.substr(0, key.size()), key, false) != 0)
            continue;
        const std::string hex = s.substr(key.size());
        if (hex.size() > 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return clWhite;
        return TColor(std::stoul(hex, nullptr, 16));
    }
    return clWhite;
}

class TColorDialogForm : public TForm {
  public:
    TColorDialogForm(TColor Start, const TStringList& Custom) : TForm(nullptr) {
        SetBorderStyle(bsDialog);
        SetPosition(poScreenCenter);
        SetCaption("Color");
        SetColor(clBtnFace);
        SetClientWidth(440);
        SetClientHeight(300);

        auto label = [this](const std::string& text, int x, int y) {
            auto* l = new TLabel(this);
            l->SetParent(this);
            l->SetTransparent(true);
            l->SetCaption(text);
            l->SetLeft(x);
            l->SetTop(y);
            return l;
        };
        label("&Basic colors:", 8, 8);
        FBasic = new TSwatchGrid(this, 8, 6);
        FBasic->SetName("BasicColors");
        FBasic->SetParent(this);
        FBasic->SetBounds(8, 24, 200, 132);
        for (int i = 0; i < TColorDialog::BasicColorCount; ++i)
            FBasic->SetColors(i, TColorDialog::BasicColor(i));
        FBasic->OnPick = [this](int i) {
            FCustom->SetItemIndex(-1);
            SetRGB(FBasic->Colors(i));
        };

        label("&Custom colors:", 8, 164);
        FCustom = new TSwatchGrid(this, 8, 2);
        FCustom->SetName("CustomColors");
        FCustom->SetParent(this);
        FCustom->SetBounds(8, 180, 200, 44);
        for (int i = 0; i < TColorDialog::CustomColorCount; ++i)
            FCustom->SetColors(i, ParseCustomColor(Custom, i));
        FCustom->OnPick = [this](int i) {
            FBasic->SetItemIndex(-1);
            FNextCustom = i;
            SetRGB(FCustom->Colors(i));
        };

        FField = new THueSatField(this);
        FField->SetName("HueSatField");
        FField->SetParent(this);
        FField->SetBounds(220, 8, 184, 152);
        FField->OnPick = [this](int h, int s) { SetHSL(h, s, FL); };

        FLum = new TLumBar(this);
        FLum->SetName("LumBar");
        FLum->SetParent(this);
        FLum->SetBounds(412, 8, 22, 152);
        FLum->OnPick = [this](int l) { SetHSL(FH, FS, l); };

        FPreview = new TColorPreview(this);
        FPreview->SetName("Preview");
        FPreview->SetParent(this);
        FPreview->SetBounds(220, 168, 60, 44);
        label("Color", 234, 214);

        auto number = [this, &label](const char* name, const char* caption, int max, int x, int y) {
            label(caption, x, y + 3);
            auto* e = new TNumberEdit(this, max);
            e->SetName(name);
            e->SetParent(this);
            e->SetLeft(x + 30);
            e->SetTop(y);
            return e;
        };
        FHue = number("HueEdit", "Hue:", HSLMax - 1, 286, 168);
        FSat = number("SatEdit", "Sat:", HSLMax, 286, 192);
        FLumE = number("LumEdit", "Lum:", HSLMax, 286, 216);
        FRed = number("RedEdit", "Red:", 255, 360, 168);
        FGreen = number("GreenEdit", "Green:", 255, 360, 192);
        FBlue = number("BlueEdit", "Blue:", 255, 360, 216);
        for (TNumberEdit* e : {FHue, FSat, FLumE}) e->SetWidth(36);
        for (TNumberEdit* e : {FRed, FGreen, FBlue}) e->SetBounds(402, e->Top(), 32, e->Height());
        FHue->OnValue = [this](int v) { SetHSL(v, FS, FL, FHue); };
        FSat->OnValue = [this](int v) { SetHSL(FH, v, FL, FSat); };
        FLumE->OnValue = [this](int v) { SetHSL(FH, FS, v, FLumE); };
        FRed->OnValue = [this](int v) {
            SetRGB(RGB(v, GetGValue(FColor), GetBValue(FColor)), FRed);
        };
        FGreen->OnValue = [this](int v) {
            SetRGB(RGB(GetRValue(FColor), v, GetBValue(FColor)), FGreen);
        };
        FBlue->OnValue = [this](int v) {
            SetRGB(RGB(GetRValue(FColor), GetGValue(FColor), v), FBlue);
        };

        auto button = [this](const char* name, const std::string& caption, int x, int y, int w,
                             TModalResult mr) {
            auto* b = new TDialogButton(this);
            b->SetName(name);
            b->SetParent(this);
            b->SetCaption(caption);
            b->SetBounds(x, y, w, 23);
            b->SetModalResult(mr);
            return b;
        };
        button("OKButton", "OK", 8, 268, 75, mrOk);
        button("CancelButton", "Cancel", 91, 268, 75, mrCancel);
        auto* add = button("AddCustomButton", "Add to Custom Colors", 220, 268, 214, mrNone);
        add->SetOnClick([this](TObject*) { AddCustom(); });

        // The start colour: a basic colour that matches is marked.
        const TColor c = ColorToRGB(Start) & 0xFFFFFF;
        for (int i = 0; i < TColorDialog::BasicColorCount; ++i)
            if (TColorDialog::BasicColor(i) == c) {
                FBasic->SetItemIndex(i);
                break;
            }
        SetRGB(c);
        SetActiveControl(FBasic);
    }
    std::string ClassName() const override { return "TColorDialogForm"; }

    TColor Current() const { return FColor; }
    TColor CustomColor(int i) const { return FCustom->Colors(i); }

  protected:
    void CMDialogKey(TMessage& Message) override {
        if (Message.WParam == VK_ESCAPE) {
            SetModalResult(mrCancel);
            Message.Result = 1;
            return;
        }
        if (Message.WParam == VK_RETURN) {
            // Enter on a focused button clicks that button; elsewhere it confirms.
            if (auto* b = dynamic_cast<TDialogButton*>(ActiveControl()))
                b->Click();
            else
                SetModalResult(mrOk);
            Message.Result = 1;
            return;
        }
        TForm::CMDialogKey(Message);
    }

  private:
    // RGB changed: HSL follows (except the field being typed in).
    void SetRGB(TColor c, TNumberEdit* Source = nullptr) {
        FColor = c & 0xFFFFFF;
        int h, s, l;
        ColorToHSL(FColor, h, s, l);
        // A grey keeps the hue it had, so moving through grey does not lose it.
        if (s == 0) h = FH;
        FH = h;
        FS = s;
        FL = l;
        Show(Source);
    }
    // HSL changed: RGB follows.
    void SetHSL(int h, int s, int l, TNumberEdit* Source = nullptr) {
        FH = std::clamp(h, 0, HSLMax - 1);
        FS = std::clamp(s, 0, HSLMax);
        FL = std::clamp(l, 0, HSLMax);
        FColor = HSLToColor(FH, FS, FL);
        Show(Source);
    }
    void Show(TNumberEdit* Source) {
        FField->SetHS(FH, FS);
        FLum->SetHSL(FH, FS, FL);
        FPreview->SetShown(FColor);
        const std::array<std::pair<TNumberEdit*, int>, 6> fields{{{FHue, FH},
                                                                  {FSat, FS},
                                                                  {FLumE, FL},
                                                                  {FRed, GetRValue(FColor)},
                                                                  {FGreen, GetGValue(FColor)},
                                                                  {FBlue, GetBValue(FColor)}}};
        for (auto [e, v] : fields)
            if (e != Source && e->Text() != std::to_string(v)) e->ShowValue(v);
    }
    void AddCustom() {
        FCustom->SetColors(FNextCustom, FColor);
        FCustom->SetItemIndex(FNextCustom);
        FNextCustom = (FNextCustom + 1) % TColorDialog::CustomColorCount;
    }

    TSwatchGrid *FBasic = nullptr, *FCustom = nullptr;
    THueSatField* FField = nullptr;
    TLumBar* FLum = nullptr;
    TColorPreview* FPreview = nullptr;
    TNumberEdit *FHue = nullptr, *FSat = nullptr, *FLumE = nullptr, *FRed = nullptr,
                *FGreen = nullptr, *FBlue = nullptr;
    TColor FColor = clBlack;
    int FH = 160, FS = 0, FL = 0;
    int FNextCustom = 0;
};

// The 48 basic colours: six rows of eight. Rows 1-4 run through the hues at four strengths,
// row 5 holds dark shades, row 6 greys and the primaries' deep tones.
const std::array<TColor, 48> kBasicColors = {
    RGB(255, 128, 128), RGB(255, 255, 128), RGB(128, 255, 128), RGB(0, 255, 128),
    RGB(128, 255, 255), RGB(0, 128, 255),   RGB(255, 128, 192), RGB(255, 128, 255),
    RGB(255, 0, 0),     RGB(255, 255, 0),   RGB(128, 255, 0),   RGB(0, 255, 64),
    RGB(0, 255, 255),   RGB(0, 128, 192),   RGB(128, 128, 192), RGB(255, 0, 255),
    RGB(128, 64, 64),   RGB(255, 128, 64),  RGB(0, 255, 0),     RGB(0, 128, 128),
    RGB(0, 64, 128),    RGB(128, 128, 255), RGB(128, 0, 64),    RGB(255, 0, 128),
    RGB(128, 0, 0),     RGB(255, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 64),
    RGB(0, 0, 255),     RGB(0, 0, 160),     RGB(128, 0, 128),   RGB(128, 0, 255),
    RGB(64, 0, 0),      RGB(128, 64, 0),    RGB(0, 64, 0),      RGB(0, 64, 64),
    RGB(0, 0, 128),     RGB(0, 0, 64),      RGB(64, 0, 64),     RGB(64, 0, 128),
    RGB(0, 0, 0),       RGB(128, 128, 0),   RGB(128, 128, 64),  RGB(128, 128, 128),
    RGB(64, 128, 128),  RGB(192, 192, 192), RGB(224, 224, 224), RGB(255, 255, 255)};

} // namespace

// ---- TColorDialog -----------------------------------------------------------------------------

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
TColorDialog::~TColorDialog() = default;

TColor TColorDialog::BasicColor(int Index) {
    if (Index < 0 || Index >= BasicColorCount)
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return kBasicColors[std::size_t(Index)];
}

bool TColorDialog::Execute() {
    auto form = std::make_unique<TColorDialogForm>(FColor, FCustomColors);
    FForm = form.get();
    struct Reset {
        TForm*& F;
        ~Reset() { F = nullptr; }
    } reset{FForm};
    form->SetOnShow([this](TObject*) {
        if (FOnShow) FOnShow(this);
    });
    const TModalResult r = form->ShowModal();
    if (FOnClose) FOnClose(this);
    if (r != mrOk) return false;
    FColor = form->Current();
    FCustomColors.BeginUpdate();
    FCustomColors.Clear();
    for (int i = 0; i < CustomColorCount; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "Color%c=%06X", char('A' + i),
                      unsigned(form->CustomColor(i) & 0xFFFFFF));
        FCustomColors.Add(line);
    }
    FCustomColors.EndUpdate();
    return true;
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
const TClassRegistrar<TColorDialog> colorDialogReg("TColorDialog", "TComponent", [](auto& p) {
    p.Color("Color", &TColorDialog::Color, &TColorDialog::SetColor, clBlack);
    p.Strings(
        "CustomColors",
        [](const TColorDialog& d) {
            std::vector<std::string> v;
            v.reserve(std::size_t(d.CustomColors().Count()));
            for (int i = 0; i < d.CustomColors().Count(); ++i)
                v.push_back(d.CustomColors().Strings(i));
            return v;
        },
        [](TColorDialog& d, const std::vector<std::string>& v) {
            d.CustomColors().Clear();
            for (const std::string& s : v) d.CustomColors().Add(s);
        });
});
} // namespace

} // namespace kel
