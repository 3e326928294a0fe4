// The panel: bevels, border ring, caption and parent background.
#include "kel_extctrls.h"

#include "kel_props.h"
#include "kel_setter.h"
#include "kel_themes.h"

#include <algorithm>

namespace kel {

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    InitBounds(0, 0, 185, 41);
    IncludeStyle(csAcceptsControls);
    IncludeStyle(csOpaque); // Paint fills everything itself
    SetColor(StyleServices().GetStyleColor(scButtonFace));
    SetParentColor(false);
}

void TCustomPanel::Relayout() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
    if (SetField(FBevelOuter, Value)) Relayout();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
    if (SetField(FBevelInner, Value)) Relayout();
}

void TCustomPanel::SetBevelWidth(int Value) {
    if (SetField(FBevelWidth, std::max(Value, 1))) Relayout();
}

void TCustomPanel::SetBorderWidth(int Value) {
    if (SetField(FBorderWidth, std::max(Value, 0))) Relayout();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (SetField(FBorderStyle, Value)) Relayout();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (SetField(FAlignment, Value)) Invalidate();
}

void TCustomPanel::SetVerticalAlignment(TVerticalAlignment Value) {
    if (SetField(FVerticalAlignment, Value)) Invalidate();
}

void TCustomPanel::SetParentBackground(bool Value) {
    if (SetField(FParentBackground, Value)) Invalidate();
}

void TCustomPanel::SetShowCaption(bool Value) {
    if (SetField(FShowCaption, Value)) Invalidate();
}

int TCustomPanel::FrameWidth() const {
    int w = FBorderStyle == bsSingle ? 1 : 0;
    if (FBevelOuter != bvNone) w += FBevelWidth;
    w += FBorderWidth;
    if (FBevelInner != bvNone) w += FBevelWidth;
    return w;
}

TColor TCustomPanel::BackgroundColor() const {
    if (FParentBackground && StyleServices().Enabled() && Parent() != nullptr)
        return Parent()->Color();
    return Color();
}

void TCustomPanel::AlignControls(TControl* AControl, TRect& Rect) {
    int w = FrameWidth();
    Rect = kel::Rect(Rect.Left + w, Rect.Top + w, std::max(Rect.Right - w, Rect.Left + w),
                     std::max(Rect.Bottom - w, Rect.Top + w));
    TCustomControl::AlignControls(AControl, Rect);
}

void TCustomPanel::WndProc(TMessage& Message) {
    TCustomControl::WndProc(Message);
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_PARENTCOLORCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
}

void TCustomPanel::Paint() {
    TCanvas& c = Canvas();
    const TCustomStyleServices& s = StyleServices();
    TRect r = ClientRect();
    TColor back = BackgroundColor();
    if (FBorderStyle == bsSingle)
        Frame3D(c, r, s.GetStyleColor(scWindowFrame), s.GetStyleColor(scWindowFrame), 1);
    auto bevel = [&](TPanelBevel b) {
        TColor hi = s.GetStyleColor(scButtonHighlight), sh = s.GetStyleColor(scButtonShadow);
        if (b == bvLowered)
            Frame3D(c, r, sh, hi, FBevelWidth);
        else if (b == bvRaised)
            Frame3D(c, r, hi, sh, FBevelWidth);
        else if (b == bvSpace)
            Frame3D(c, r, back, back, FBevelWidth);
    };
    bevel(FBevelOuter);
    Frame3D(c, r, back, back, FBorderWidth);
    bevel(FBevelInner);
    FillSolidRect(c, r, back);
    if (!FShowCaption || Caption().empty()) return;
    c.Font().Assign(&Font());
    int tw = c.TextWidth(StripAccelChars(Caption())), th = c.TextHeight("Wg");
    int x = FAlignment == taLeftJustify    ? r.Left
            : FAlignment == taRightJustify ? r.Right - tw
                                           : r.Left + (r.Width() - tw) / 2;
    int y = FVerticalAlignment == taAlignTop      ? r.Top
            : FVerticalAlignment == taAlignBottom ? r.Bottom - th
                                                  : r.Top + (r.Height() - th) / 2;
    TRect old = c.ClipRect();
    c.IntersectClipRect(r);
    DrawAccelText(c, x, y, Caption(), Font().Color(), Enabled());
    c.SetClipRect(old);
    c.Brush().SetStyle(bsSolid);
}

namespace {

// The panel's list belongs to TCustomPanel, so components built on it (a colour button)
// publish it too; TPanel adds nothing.
const TClassRegistrar<TCustomPanel> customPanelReg("TCustomPanel", "TCustomControl", [](auto& p) {
    using P = TCustomPanel;
    p.String(
        "Caption", [](const P& x) { return x.Caption(); },
        [](P& x, const std::string& v) { x.SetCaption(v); }, "");
    const std::initializer_list<const char*> bevels = {"bvNone", "bvLowered", "bvRaised",
                                                       "bvSpace"};
    p.Enum("BevelOuter", &P::BevelOuter, &P::SetBevelOuter, bvRaised, bevels);
    p.Enum("BevelInner", &P::BevelInner, &P::SetBevelInner, bvNone, bevels);
    p.Int("BevelWidth", &P::BevelWidth, &P::SetBevelWidth, 1);
    p.Int("BorderWidth", &P::BorderWidth, &P::SetBorderWidth, 0);
    p.Enum("BorderStyle", &P::BorderStyle, &P::SetBorderStyle, bsNone,
           {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    p.Enum("Alignment", &P::Alignment, &P::SetAlignment, taCenter,
           {"taLeftJustify", "taRightJustify", "taCenter"});
    p.Enum("VerticalAlignment", &P::VerticalAlignment, &P::SetVerticalAlignment, taVerticalCenter,
           {"taAlignTop", "taAlignBottom", "taVerticalCenter"});
    // Descendants choose their own (a colour button shows its colour, not the parent's).
    p.Bool("ParentBackground", &P::ParentBackground, &P::SetParentBackground, true)
        .ConstructorDefault();
    p.Bool("ShowCaption", &P::ShowCaption, &P::SetShowCaption, true);
});

const TClassRegistrar<TPanel> panelReg("TPanel", "TCustomPanel", [](auto&) {});

} // namespace

} // namespace kel
