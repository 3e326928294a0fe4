// TRotLab: a label whose caption is drawn at any angle about an anchor point (PosX, PosY),
// starting at, centred on or ending at the anchor along the rotated baseline, with an optional
// 3-D frame round the control. The text is drawn with a rotated copy of the control's font; the
// text's middle line (half the cell height below its top) passes through the anchor.
//
// Choices where the platform differs from the one the label was designed for:
// - There are no visual styles here, so the classic colours are always used: the frame takes
//   0xFFFFFF, 0xC0C0C0, 0x808080, black, black; the text takes the font colour.
// - AntiAlias true draws with greyscale antialiasing (fqAntialiased); false draws 1-bit glyphs
//   (fqNonAntialiased): on this platform the default quality is antialiased too, so "not
//   antialiased" has to be asked for explicitly.
// - Alignment, Transparent and Color are the label's own properties with the defaults taCenter,
//   true and clBtnFace; every setter invalidates (the paint follows when the loop is idle).
// - The size never follows the text: measuring (DT_CALCRECT) leaves the rectangle unchanged and
//   AutoSize has no effect.
// - The recentering on a size change is done in Resize, before OnResize fires, so the
//   application's OnResize stays free for its own use. After a form file loads, a label with
//   AutoCenter is recentred once (Loaded), whatever order the file gives.
#pragma once

#include "Kel_kelbase.h"
#include "kel_controls.h"
#include "kel_stdctrls.h"

namespace kel {

// Where the text's cell starts (its top-left, rotated with the text) relative to the anchor, for
// Alignment at TextAngle degrees (counter-clockwise), from HalfWidth = TextWidth div 2 and
// HalfHeight = TextHeight div 2 measured unrotated. With r the angle in radians:
//   taLeftJustify   (-h sin r,                 -h cos r)
//   taCenter        (-w cos r - h sin r,        w sin r - h cos r)
//   taRightJustify  (-2w cos r - h sin r,      2w sin r - h cos r)
// each coordinate rounded to the nearest integer, halves to even. Pure, for tests.
TPoint RotLabTextOffset(TAlignment Alignment, int TextAngle, int HalfWidth, int HalfHeight);

class TRotLab : public TCustomLabel {
  public:
    // 200 x 200, font "Arial" 11 points, the defaults below.
    explicit TRotLab(TComponent* AOwner);
    std::string ClassName() const override { return "TRotLab"; }

    // From another TRotLab: AutoCenter, FrameStyle, TextAngle, PosX, PosY and AntiAlias (the
    // values as they are, no recentering), then invalidates. Anything else: the framework's.
    void Assign(const TPersistent* Source) override;

    // --- published properties (defaults in brackets) ---
    // Greyscale antialiased text; false draws 1-bit glyphs [true].
    bool AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(bool Value);
    // The anchor follows the centre of the control (Width div 2, Height div 2) [true]: setting
    // it true recentres; while it is on, a resize with a parent recentres and setting PosX or
    // PosY to a new value recentres instead of storing it.
    bool AutoCenter() const { return FAutoCenter; }
    void SetAutoCenter(bool Value);
    // Frame round the control, drawn over (0, 0, Width - 1, Height - 1) [fstLowered].
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    // The anchor in client pixels [10, 10].
    int PosX() const { return FTextPosX; }
    void SetPosX(int Value);
    int PosY() const { return FTextPosY; }
    void SetPosY(int Value);
    // Angle of the baseline in degrees, counter-clockwise, any integer (used modulo 360) [0].
    int TextAngle() const { return FTextAngle; }
    void SetTextAngle(int Value);
    // Inherited and published as well: Alignment [taCenter], Transparent [true], Color
    // [clBtnFace], Caption, Font, Enabled, Visible, Align, Anchors, ParentColor, ParentFont,
    // ShowHint, ParentShowHint, and the mouse events.

    // Moves the anchor to (Width div 2, Height div 2).
    void AdjustAutoCenter();

  protected:
    void AssignTo(TPersistent* Dest) const override;
    // The label's painting (background unless Transparent, then DoDrawText), then the frame.
    void Paint() override;
    // Draws the caption rotated by TextAngle about the anchor as RotLabTextOffset places it; a
    // disabled label draws it one pixel right and down in clBtnHighlight, then in clBtnShadow
    // at its place. Does nothing for DT_CALCRECT (Rect stays as it is).
    void DoDrawText(TRect& Rect, unsigned Flags) override;
    // Keeps the size: the rotated text does not size the label.
    void AdjustBounds() override {}
    // Recentres (AutoCenter, with a parent), then fires OnResize.
    void Resize() override;
    void Loaded() override;

  private:
    void Changed() { Invalidate(); }

    int FTextAngle = 0;
    int FTextPosX = 10;
    int FTextPosY = 10;
    bool FAntiAlias = true;
    bool FAutoCenter = true;
    TFrameStyle FFrameStyle = fstLowered;
};

} // namespace kel
