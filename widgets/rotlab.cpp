// TRotLab: the anchor geometry, state, setters, Assign, painting and the published list of the
// rotated label (the painting is short enough to live here).
#include "KEL_RotLab.h"

#include "kel_props.h"
#include "kel_setter.h"

#include <cmath>
#include <numbers>
#include <string>

namespace kel {

namespace {

// Cosine and sine of an angle in degrees, exact at the right angles (so a horizontal or
// vertical label has no stray 1e-16 terms).
void DegreeCosSin(int Degrees, double& C, double& S) {
    switch (((Degrees % 360) + 360) % 360) {
    case 0:
        C = 1, S = 0;
        return;
    case 90:
        C = 0, S = 1;
        return;
    case 180:
        C = -1, S = 0;
        return;
    case 270:
        C = 0, S = -1;
        return;
    default: {
        const double r = (Degrees % 360) / 180.0 * std::numbers::pi;
        C = std::cos(r);
        S = std::sin(r);
    }
    }
}

} // namespace

TPoint RotLabTextOffset(TAlignment Alignment, int TextAngle, int HalfWidth, int HalfHeight) {
    double c = 0, s = 0;
    DegreeCosSin(TextAngle, c, s);
    const double w = HalfWidth, h = HalfHeight;
    // How far the start lies back along the baseline: none, half or all of the text.
    const double back = Alignment == taLeftJustify ? 0 : Alignment == taCenter ? w : 2 * w;
    return TPoint{int(Round(-back * c - h * s)), int(Round(back * s - h * c))};
}

// ---- State ------------------------------------------------------------------------------------

TRotLab::TRotLab(TComponent* AOwner) : TCustomLabel(AOwner) {
    TCustomLabel::SetAlignment(taCenter);
    TCustomLabel::SetTransparent(true);
    SetColor(clBtnFace);
    Font().SetName("Arial");
    Font().SetSize(11);
    InitBounds(0, 0, 200, 200);
}

void TRotLab::AdjustAutoCenter() {
    FTextPosX = Width() / 2;
    FTextPosY = Height() / 2;
}

void TRotLab::SetAntiAlias(bool Value) {
    if (SetField(FAntiAlias, Value)) Changed();
}

void TRotLab::SetAutoCenter(bool Value) {
    if (!SetField(FAutoCenter, Value)) return;
    if (FAutoCenter) AdjustAutoCenter();
    Changed();
}

void TRotLab::SetFrameStyle(TFrameStyle Value) {
    if (SetField(FFrameStyle, Value)) Changed();
}

void TRotLab::SetPosX(int Value) {
    if (Value == FTextPosX) return;
    if (FAutoCenter)
        AdjustAutoCenter();
    else
        FTextPosX = Value;
    Changed();
}

void TRotLab::SetPosY(int Value) {
    if (Value == FTextPosY) return;
    if (FAutoCenter)
        AdjustAutoCenter();
    else
        FTextPosY = Value;
    Changed();
}

void TRotLab::SetTextAngle(int Value) {
    if (SetField(FTextAngle, Value)) Changed();
}

void TRotLab::Resize() {
    if (HasParent() && FAutoCenter) {
        AdjustAutoCenter();
        Changed();
    }
    TCustomLabel::Resize();
}

void TRotLab::Loaded() {
    TCustomLabel::Loaded();
    if (FAutoCenter) AdjustAutoCenter();
}

void TRotLab::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TRotLab*>(Source);
    if (s == nullptr) {
        TCustomLabel::Assign(Source);
        return;
    }
    FAutoCenter = s->FAutoCenter;
    FFrameStyle = s->FFrameStyle;
    FTextAngle = s->FTextAngle;
    FTextPosX = s->FTextPosX;
    FTextPosY = s->FTextPosY;
    FAntiAlias = s->FAntiAlias;
    Changed();
}

void TRotLab::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TRotLab*>(Dest))
        d->Assign(this);
    else
        TCustomLabel::AssignTo(Dest);
}

// ---- Painting ---------------------------------------------------------------------------------

void TRotLab::Paint() {
    if (!Visible()) return;
    TCustomLabel::Paint();
    DrawFrame(Canvas(), FFrameStyle, 0, 0, Width() - 1, Height() - 1, 0xFFFFFF, 0xC0C0C0, 0x808080,
              clBlack, clBlack);
}

void TRotLab::DoDrawText(TRect& Rect, unsigned Flags) {
    (void)Rect; // the text is placed by the anchor, not by the rectangle
    if (Flags & DT_CALCRECT) return;
    TCanvas& c = Canvas();
    c.Font().Assign(&Font());
    // The rotated font: the control's font with escapement and orientation set, and the quality
    // chosen by AntiAlias. The angle is taken modulo 360 so that tenths never overflow.
    TLogFont lf = GetObjectW(c.Font());
    lf.lfEscapement = lf.lfOrientation = (FTextAngle % 360) * 10;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = 0;
    lf.lfClipPrecision = 0;
    lf.lfQuality = FAntiAlias ? fqAntialiased : fqNonAntialiased;
    lf.lfPitchAndFamily = 0;
    CreateFontIndirectW(c.Font(), lf);
    c.Brush().SetStyle(bsClear);

    const std::string& text = Caption();
    const TPoint d =
        RotLabTextOffset(Alignment(), FTextAngle, c.TextWidth(text) / 2, c.TextHeight(text) / 2);
    const int x = FTextPosX + d.X, y = FTextPosY + d.Y;
    if (Enabled()) {
        c.TextOut(x, y, text);
    } else {
        c.Font().SetColor(clBtnHighlight);
        c.TextOut(x + 1, y + 1, text);
        c.Font().SetColor(clBtnShadow);
        c.TextOut(x, y, text);
    }
    // Leave the canvas as the label's own drawing would: the control's font, a solid brush.
    c.Font().Assign(&Font());
    c.Brush().SetStyle(bsSolid);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
const TClassRegistrar<TRotLab> rotLabReg("TRotLab", "TGraphicControl", [](auto& p) {
    using R = TRotLab;
    p.String(
        "Caption", [](const R& l) { return l.Caption(); },
        [](R& l, const std::string& v) { l.SetCaption(v); }, "");
    p.Enum(
        "Alignment", [](const R& l) { return l.Alignment(); },
        [](R& l, TAlignment v) { l.SetAlignment(v); }, taCenter,
        {"taLeftJustify", "taRightJustify", "taCenter"});
    p.Bool("AntiAlias", &R::AntiAlias, &R::SetAntiAlias, true);
    p.Bool("AutoCenter", &R::AutoCenter, &R::SetAutoCenter, true);
    p.Enum("FrameStyle", &R::FrameStyle, &R::SetFrameStyle, fstLowered,
           {"fstNone", "fstLoweredThin", "fstLowered", "fstRaised", "fstEmbossed", "fstSimple"});
    p.Int("PosX", &R::PosX, &R::SetPosX, 10);
    p.Int("PosY", &R::PosY, &R::SetPosY, 10);
    p.Int("TextAngle", &R::TextAngle, &R::SetTextAngle, 0);
    p.Bool(
        "Transparent", [](const R& l) { return l.Transparent(); },
        [](R& l, bool v) { l.SetTransparent(v); }, true);
});
} // namespace

} // namespace kel
