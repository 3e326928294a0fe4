// Buttons: TButton (push button with Default, Cancel and ModalResult) and TSpeedButton (glyph
// button with toggle groups, flat look and the release-inside click rule).
#include "kel_buttons.h"

#include "kel_forms.h"
#include "kel_props.h"
#include "kel_setter.h"
#include "kel_themes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kel {

// ---- TButton ----------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    InitBounds(0, 0, 75, 25);
    SetTabStop(true);
    IncludeStyle(csOpaque);
    ExcludeStyle(csDoubleClicks); // a quick second click is a second click
    SetColor(StyleServices().GetStyleColor(scButtonFace));
    SetParentColor(false);
}

void TButton::SetDefault(bool Value) {
    if (SetField(FDefault, Value)) Invalidate();
}

void TButton::SetPressed(bool Value) {
    if (SetField(FPressed, Value)) Invalidate();
}

void TButton::Click() {
    if (FModalResult != mrNone) {
        if (TForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
    }
    TWinControl::Click();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        if (CanFocus() && !Focused()) SetFocus();
        FMouseHeld = true;
        SetPressed(true);
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseMove(TShiftState Shift, int X, int Y) {
    if (FMouseHeld) SetPressed(ClientRect().Contains({X, Y}) && MouseCapture());
    TWinControl::MouseMove(Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        FMouseHeld = false;
        SetPressed(FSpaceHeld);
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void TButton::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE && !FMouseHeld) {
        FSpaceHeld = true;
        SetPressed(true);
    }
}

void TButton::KeyUp(std::uint16_t& Key, TShiftState Shift) {
    TWinControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE && FSpaceHeld) {
        FSpaceHeld = false;
        SetPressed(false);
        Click();
    }
}

void TButton::CMDialogKey(TMessage& Message) {
    if (!Showing() || !Enabled()) return;
    TForm* f = GetParentForm(this);
    if (Message.WParam == VK_RETURN) {
        // The focused button takes Enter; otherwise the default one, unless another button
        // has the focus.
        TWinControl* active = f != nullptr ? f->ActiveControl() : nullptr;
        bool mine = Focused() || (FDefault && dynamic_cast<TButton*>(active) == nullptr);
        if (!mine) return;
    } else if (Message.WParam == VK_ESCAPE) {
        if (!FCancel) return;
    } else {
        return;
    }
    Message.Result = 1;
    Click();
}

void TButton::CMDialogChar(TMessage& Message) {
    if (!CanFocus() || !IsAccel(char32_t(Message.WParam), Caption())) return;
    Message.Result = 1;
    Click();
}

void TButton::WMSetFocus(TMessage& Message) {
    (void)Message;
    Invalidate();
}

void TButton::WMKillFocus(TMessage& Message) {
    (void)Message;
    FSpaceHeld = false;
    SetPressed(FMouseHeld);
    Invalidate();
}

void TButton::WndProc(TMessage& Message) {
    TWinControl::WndProc(Message);
    if (Message.Msg == CM_ENABLEDCHANGED || Message.Msg == CM_TEXTCHANGED ||
        Message.Msg == CM_FONTCHANGED)
        Invalidate();
}

void TButton::Paint() {
    TCanvas& c = ControlCanvas();
    const TCustomStyleServices& s = StyleServices();
    TRect r = ClientRect();
    FillSolidRect(c, r, Color());
    // The default button (or the focused one) has a dark outer ring.
    bool ring = FDefault || Focused();
    if (ring) {
        c.Brush().SetColor(s.GetStyleColor(scButtonDarkShadow));
        c.FrameRect(r);
        r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
    if (FPressed) {
        // Pressed: a flat shadow ring, the caption moved by one pixel.
        c.Brush().SetColor(s.GetStyleColor(scButtonShadow));
        c.FrameRect(r);
    } else {
        DrawButtonFace(c, r, false, Color());
    }
    c.Font().Assign(&Font());
    int tw = c.TextWidth(StripAccelChars(Caption())), th = c.TextHeight("Wg");
    int x = (Width() - tw) / 2 + (FPressed ? 1 : 0);
    int y = (Height() - th) / 2 + (FPressed ? 1 : 0);
    TColor text = Font().Color() == clWindowText ? s.GetStyleColor(scButtonText) : Font().Color();
    DrawAccelText(c, x, y, Caption(), text, Enabled());
    if (Focused()) DrawFocusRect(c, Rect(4, 4, Width() - 4, Height() - 4));
}

// ---- TSpeedButton -----------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    InitBounds(0, 0, 23, 22);
    // OnClick comes from MouseUp (after OnMouseUp), not from the framework's release rule.
    ExcludeStyle(csClickEvents);
    ExcludeStyle(csDoubleClicks);
    ExcludeStyle(csSetCaption); // a speed button's caption does not follow its name
    SetColor(StyleServices().GetStyleColor(scButtonFace));
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetGlyph(const TBitmap& Value) {
    FGlyph->Assign(&Value);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int Value) {
    Value = std::clamp(Value, 1, 4);
    if (SetField(FNumGlyphs, Value)) Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    if (SetField(FLayout, Value)) Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    if (SetField(FMargin, std::max(Value, -1))) Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    if (SetField(FSpacing, std::max(Value, -1))) Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
    if (SetField(FFlat, Value)) Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
    if (SetField(FTransparent, Value)) Invalidate();
}

void TSpeedButton::SetState(TButtonState Value) {
    if (SetField(FState, Value)) Invalidate();
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (!SetField(FGroupIndex, std::max(Value, 0))) return;
    if (FGroupIndex == 0 && FDown) {
        FDown = false;
        SetState(bsUp);
    }
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    if (FDown && !FAllowAllUp) return; // the group keeps one button down
    FDown = Value;
    if (!FDragging || !Value) SetState(Value ? bsExclusive : bsUp);
    Invalidate();
    if (Value) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    if (!SetField(FAllowAllUp, Value)) return;
    UpdateExclusive();
}

// Tells the group (the parent's controls) that this button's state changed: a button that went
// down raises the others, and every member takes this one's AllowAllUp.
void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || Parent() == nullptr) return;
    TMessage m;
    m.Msg = CM_BUTTONPRESSED;
    m.WParam = WPARAM(FGroupIndex);
    m.LParam = LPARAM(reinterpret_cast<std::intptr_t>(this));
    Parent()->Broadcast(m);
}

void TSpeedButton::ButtonPressed(int Group, TSpeedButton* Sender) {
    if (Group != FGroupIndex || Sender == this || Sender == nullptr) return;
    if (Sender->FDown && FDown) {
        FDown = false;
        SetState(bsUp);
    }
    FAllowAllUp = Sender->FAllowAllUp;
}

void TSpeedButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        // CM_BUTTONPRESSED carries the group index in WParam and the pressed button in LParam.
        ButtonPressed(int(Message.WParam),
                      dynamic_cast<TSpeedButton*>(reinterpret_cast<TControl*>( // NOLINT
                          std::intptr_t(Message.LParam))));
        return; // Result stays 0: every member hears it
    case CM_ENABLEDCHANGED:
        if (!Enabled()) {
            FDragging = false;
            FMouseInControl = false;
        }
        SetState(!Enabled() ? bsDisabled : FDown ? bsExclusive : bsUp);
        Invalidate();
        break;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    TGraphicControl::WndProc(Message);
}

bool TSpeedButton::ReleaseInside(int X, int Y) const {
    return X >= 0 && X < Width() && Y >= 0 && Y <= Height();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (!FDown) SetState(bsDown);
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    TButtonState s = FDown ? bsExclusive : bsUp;
    if (ClientRect().Contains({X, Y}) && !FDown) s = bsDown;
    SetState(s);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TGraphicControl::MouseUp(Button, Shift, X, Y); // OnMouseUp comes first
    if (*alive == nullptr || Button != mbLeft || !FDragging) return;
    FDragging = false;
    bool inside = ReleaseInside(X, Y);
    if (FGroupIndex == 0) {
        SetState(bsUp);
    } else if (inside) {
        SetDown(!FDown);
        SetState(FDown ? bsExclusive : bsUp);
    } else {
        SetState(FDown ? bsExclusive : bsUp);
    }
    if (inside) Click();
    if (*alive != nullptr) UpdateTracking();
}

void TSpeedButton::UpdateTracking() {
    TForm* f = GetParentForm(this);
    bool over = f != nullptr && f->MouseControl() == this;
    if (SetField(FMouseInControl, over) && FFlat) Invalidate();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    TGraphicControl::CMMouseEnter(Message);
    if (Message.LParam != 0 && Message.LParam != LPARAM(reinterpret_cast<std::intptr_t>(this)))
        return;
    if (Enabled() && SetField(FMouseInControl, true) && FFlat) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    TGraphicControl::CMMouseLeave(Message);
    if (Message.LParam != 0 && Message.LParam != LPARAM(reinterpret_cast<std::intptr_t>(this)))
        return;
    if (SetField(FMouseInControl, false) && FFlat) Invalidate();
}

// ---- TSpeedButton: painting -------------------------------------------------------------------

int TSpeedButton::GlyphIndexFor(TButtonState State) const {
    int i = int(State);
    if (i < FNumGlyphs) return i;
    return State == bsDisabled ? -1 : 0;
}

void TSpeedButton::CalcLayout(TRect& GlyphRect, TPoint& TextPos) const {
    const TCanvas& measure = const_cast<TSpeedButton*>(this)->Canvas();
    TCanvas& mc = const_cast<TCanvas&>(measure);
    mc.Font().Assign(&Font());
    const std::string text = StripAccelChars(Caption());
    TSize ts{text.empty() ? 0 : mc.TextWidth(text), text.empty() ? 0 : mc.TextHeight("Wg")};
    TSize gs{0, 0};
    if (!FGlyph->Empty()) gs = {FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
    bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    int extent = horizontal ? Width() : Height();
    int gLen = horizontal ? gs.cx : gs.cy, tLen = horizontal ? ts.cx : ts.cy;
    int margin = FMargin, spacing = FSpacing;
    if (gLen == 0 || tLen == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            // Equal gaps before the glyph, between, and after the caption.
            int gap = (extent - gLen - tLen) / 3;
            margin = gap;
            spacing = gap;
        } else {
            margin = (extent - gLen - tLen - spacing) / 2;
        }
    } else if (spacing == -1) {
        spacing = (extent - margin - gLen - tLen) / 2;
        if (tLen == 0) spacing = 0;
    }
    // Offsets along the layout axis, from the layout side.
    int gPos = margin, tPos = margin + gLen + spacing;
    if (gLen == 0) tPos = FMargin == -1 ? (extent - tLen) / 2 : margin;
    if (FLayout == blGlyphRight || FLayout == blGlyphBottom) {
        gPos = extent - margin - gLen;
        tPos = gPos - spacing - tLen;
        if (gLen == 0) tPos = FMargin == -1 ? (extent - tLen) / 2 : extent - margin - tLen;
    }
    if (horizontal) {
        GlyphRect = Bounds(gPos, (Height() - gs.cy) / 2, gs.cx, gs.cy);
        TextPos = {tPos, (Height() - ts.cy) / 2};
    } else {
        GlyphRect = Bounds((Width() - gs.cx) / 2, gPos, gs.cx, gs.cy);
        TextPos = {(Width() - ts.cx) / 2, tPos};
    }
}

void TSpeedButton::DrawGlyph(TCanvas& C, const TRect& R, int Index) const {
    const TBitmap& g = *FGlyph;
    int w = R.Width(), h = R.Height();
    if (w <= 0 || h <= 0) return;
    // The transparent colour is the bottom-left pixel of the whole glyph bitmap.
    std::uint32_t key = g.ScanLine(g.Height() - 1)[0] & 0xFFFFFF;
    const TCustomStyleServices& s = StyleServices();
    int src = (Index < 0 ? 0 : Index) * w;
    if (Index >= 0) {
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* row = g.ScanLine(y);
            for (int x = 0; x < w; ++x) {
                std::uint32_t p = row[src + x] & 0xFFFFFF;
                if (p != key) C.SetPixels(R.Left + x, R.Top + y, PixelToColor(p));
            }
        }
        return;
    }
    // Disabled look from the up image: its dark pixels embossed, highlight below-right, then
    // shadow.
    TColor hi = s.GetSystemColor(s.GetStyleColor(scButtonHighlight));
    TColor sh = s.GetSystemColor(s.GetStyleColor(scButtonShadow));
    auto dark = [&](int x, int y) {
        std::uint32_t p = g.ScanLine(y)[src + x] & 0xFFFFFF;
        if (p == key) return false;
        int r = int(p >> 16), gg = int((p >> 8) & 0xFF), b = int(p & 0xFF);
        return r * 30 + gg * 59 + b * 11 < 192 * 100;
    };
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (dark(x, y)) {
                    int d = pass == 0 ? 1 : 0;
                    C.SetPixels(R.Left + x + d, R.Top + y + d, pass == 0 ? hi : sh);
                }
}

void TSpeedButton::Paint() {
    TCanvas& c = Canvas();
    const TCustomStyleServices& s = StyleServices();
    TRect r = ClientRect();
    TButtonState state = Enabled() ? FState : bsDisabled;
    bool pressed = state == bsDown || state == bsExclusive;
    if (!FFlat) {
        TRect inner = DrawButtonFace(c, r, pressed, Color());
        if (state == bsExclusive) FillCheckered(c, inner);
    } else {
        if (!FTransparent) FillSolidRect(c, r, Color());
        if (state == bsExclusive) FillCheckered(c, Rect(1, 1, r.Right - 1, r.Bottom - 1));
        if (pressed || (FMouseInControl && Enabled())) {
            TRect fr = r;
            if (pressed)
                Frame3D(c, fr, s.GetStyleColor(scButtonShadow), s.GetStyleColor(scButtonHighlight),
                        1);
            else
                Frame3D(c, fr, s.GetStyleColor(scButtonHighlight), s.GetStyleColor(scButtonShadow),
                        1);
        }
    }
    TRect gr;
    TPoint tp;
    CalcLayout(gr, tp);
    int off = pressed ? 1 : 0;
    if (!FGlyph->Empty()) DrawGlyph(c, OffsetRect(gr, off, off), GlyphIndexFor(state));
    if (!Caption().empty()) {
        c.Font().Assign(&Font());
        DrawAccelText(c, tp.X + off, tp.Y + off, Caption(), Font().Color(), state != bsDisabled);
        c.Brush().SetStyle(bsSolid);
    }
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

const TClassRegistrar<TButton> buttonReg("TButton", "TWinControl", [](auto& p) {
    using B = TButton;
    p.String(
        "Caption", [](const B& b) { return b.Caption(); },
        [](B& b, const std::string& v) { b.SetCaption(v); }, "");
    p.Bool("Default", &B::Default, &B::SetDefault, false);
    p.Bool("Cancel", &B::Cancel, &B::SetCancel, false);
    p.Int("ModalResult", &B::ModalResult, &B::SetModalResult, 0);
});

const TClassRegistrar<TSpeedButton> speedButtonReg("TSpeedButton", "TGraphicControl", [](auto& p) {
    using S = TSpeedButton;
    p.String(
        "Caption", [](const S& b) { return b.Caption(); },
        [](S& b, const std::string& v) { b.SetCaption(v); }, "");
    p.Int("NumGlyphs", &S::NumGlyphs, &S::SetNumGlyphs, 1);
    p.Enum("Layout", &S::Layout, &S::SetLayout, blGlyphLeft,
           {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
    p.Int("Margin", &S::Margin, &S::SetMargin, -1);
    p.Int("Spacing", &S::Spacing, &S::SetSpacing, 4);
    p.Int("GroupIndex", &S::GroupIndex, &S::SetGroupIndex, 0);
    p.Bool("AllowAllUp", &S::AllowAllUp, &S::SetAllowAllUp, false);
    p.Bool("Down", &S::Down, &S::SetDown, false);
    p.Bool("Flat", &S::Flat, &S::SetFlat, false);
    p.Bool("Transparent", &S::Transparent, &S::SetTransparent, true);
    // The glyph as width, height, then the pixels row by row (0x00RRGGBB); empty for none.
    p.Integers(
        "Glyph",
        [](const S& b) {
            std::vector<std::int64_t> v;
            const TBitmap& g = b.Glyph();
            if (g.Empty()) return v;
            v.reserve(2 + std::size_t(g.Width()) * std::size_t(g.Height()));
            v.push_back(g.Width());
            v.push_back(g.Height());
            for (int y = 0; y < g.Height(); ++y)
                for (int x = 0; x < g.Width(); ++x) v.push_back(g.ScanLine(y)[x] & 0xFFFFFF);
            return v;
        },
        [](S& b, const std::vector<std::int64_t>& v) {
            TBitmap g;
            if (!v.empty()) {
                bool ok = v.size() >= 2 && v[0] > 0 && v[1] > 0 && v[0] <= TBitmap::MaxSide &&
                          v[1] <= TBitmap::MaxSide && std::int64_t(v.size()) == 2 + v[0] * v[1];
                if (!ok)
                    throw EConvertError("Glyph of \"" + b.Name() +
                                        "\": expected width, height and width x height pixels");
                g.SetSize(int(v[0]), int(v[1]));
                for (int y = 0; y < g.Height(); ++y)
                    for (int x = 0; x < g.Width(); ++x)
                        g.ScanLine(y)[x] =
                            std::uint32_t(
                                v[2 + std::size_t(y) * std::size_t(g.Width()) + std::size_t(x)]) &
                            0xFFFFFF;
            }
            b.SetGlyph(g);
        });
});

} // namespace

} // namespace kel
