// Dialogs of the platform layer: the colour chooser (TColorDialog) and the hue/saturation/
// lightness conversions it works with.
//
// TColorDialog::Execute shows a modal form of the library's own: 48 basic colours, 16 custom
// colours, a hue/saturation field with a lightness bar beside it, number fields for hue,
// saturation and lightness (0..240, hue 0..239) and for red, green and blue (0..255), a preview
// of the colour, and the buttons OK, Cancel and "Add to Custom Colors". OK returns true and
// stores the colour in Color (and the custom colours in CustomColors); Cancel, Escape or closing
// the window return false and change nothing.
//
// The form's controls carry names, so a test (or a script run through headless::WhenModal)
// finds them with FindComponent: "BasicColors" (8 columns x 6 rows of equal cells filling the
// control), "CustomColors" (8 x 2), "HueSatField", "LumBar", "Preview", "HueEdit", "SatEdit",
// "LumEdit", "RedEdit", "GreenEdit", "BlueEdit", "OKButton", "CancelButton", "AddCustomButton".
//
// Index: HSL conversions; TCommonDialog; TColorDialog.
#pragma once

#include "kel_classes.h"
#include "kel_graphics.h"

#include <string>

namespace kel {

class TForm;

// ---- HSL conversions --------------------------------------------------------------------------

// The scale of the dialog's number fields: hue 0..239 (wrapping at 240), saturation and
// lightness 0..240.
constexpr int HSLMax = 240;

// RGB (system colours resolved) to hue, saturation, lightness on the 0..240 scale, unrounded.
// A grey has hue 160 and saturation 0.
void ColorToHSLF(TColor Color, double& H, double& S, double& L);
// And back; the channels are rounded to the nearest integer.
TColor HSLFToColor(double H, double S, double L);
// The same rounded to the integers the number fields show (hue 240 wraps to 0).
void ColorToHSL(TColor Color, int& H, int& S, int& L);
// Integers out of range are clamped (hue wraps).
TColor HSLToColor(int H, int S, int L);

// ---- TCommonDialog ----------------------------------------------------------------------------

// Base of the dialogs: a component whose Execute shows a modal form.
class TCommonDialog : public TComponent {
  public:
    using TComponent::TComponent;
    std::string ClassName() const override { return "TCommonDialog"; }
    // Shows the dialog; true when the user confirmed.
    virtual bool Execute() = 0;
    // The form while Execute runs, else null.
    TForm* DialogForm() const { return FForm; }
    // Fired when the dialog's form has been shown / closed.
    TNotifyEvent OnShow() const { return FOnShow; }
    void SetOnShow(TNotifyEvent e) { FOnShow = std::move(e); }
    TNotifyEvent OnClose() const { return FOnClose; }
    void SetOnClose(TNotifyEvent e) { FOnClose = std::move(e); }

  protected:
    TForm* FForm = nullptr;
    TNotifyEvent FOnShow, FOnClose;
};

// ---- TColorDialog -----------------------------------------------------------------------------

class TColorDialog : public TCommonDialog {
  public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    std::string ClassName() const override { return "TColorDialog"; }

    // The colour the dialog starts at and, after OK, the chosen one (default clBlack). A
    // system colour starts the dialog at its RGB value; the result is always plain RGB.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    // The 16 custom colours as lines "ColorA=BBGGRR" .. "ColorP=BBGGRR" (six hex digits of the
    // colour value, blue first). Missing or unreadable lines start as white; after OK all 16
    // lines are written back in order.
    TStringList& CustomColors() { return FCustomColors; }
    const TStringList& CustomColors() const { return FCustomColors; }

    // Shows the chooser modally (see the file comment).
    bool Execute() override;

    // The basic colours, 0..47 (row by row, 8 to a row).
    static TColor BasicColor(int Index);
    static constexpr int BasicColorCount = 48;
    static constexpr int CustomColorCount = 16;

  private:
    TColor FColor = clBlack;
    TStringList FCustomColors;
};

} // namespace kel
