// TColorButton: a panel whose face shows a colour. The face lightens while the mouse is over
// it; a click lets the user choose a new colour with a colour dialog the application supplies
// (ColorDialog), and the caption's colour follows the face so it stays readable.
//
// Choices where the rules leave room (and two faults of the plain rules mended):
// - Lightening takes the colour's lightness L (0..1) to (L + 1) / 2 when L > 0.3, else to
//   L + 0.2, at most 1 (ColorButtonHoverLightness); hue and saturation stay.
// - Only the mouse entering and leaving the button itself counts, not its child controls, and a
//   second enter before a leave changes nothing: the saved colour is never a lightened one.
// - The dialog starts at the button's own colour, not at the lightened face the mouse shows.
// - A colour given while the mouse is over the button (chosen in the dialog, or set by the
//   application) is the colour the face returns to when the mouse leaves, and shows lightened
//   meanwhile (the plain rules would put the old colour back and lose the new one).
// - ColorDialog is not owned; when the dialog is deleted the button forgets it.
#pragma once

#include "kel_dialogs.h"
#include "kel_extctrls.h"

#include <utility>

namespace kel {

// The lightness (0..1) the hovered face shows for a colour of lightness L: (L + 1) / 2 when
// L > 0.3, else L + 0.2; at most 1. Pure, for tests.
double ColorButtonHoverLightness(double L);
// Color with its lightness raised by ColorButtonHoverLightness (hue and saturation kept).
TColor ColorButtonHoverColor(TColor Color);

class TColorButton : public TCustomPanel {
  public:
    // A panel (185 x 41, raised bevel) with Color clBtnFace, ParentBackground false and no
    // dialog.
    explicit TColorButton(TComponent* AOwner);
    std::string ClassName() const override { return "TColorButton"; }

    // --- published properties (defaults in brackets) ---
    // The dialog a click shows, supplied by the application; not owned [none].
    TColorDialog* ColorDialog() const { return FColorDialog; }
    void SetColorDialog(TColorDialog* Value);
    // After the user confirmed a new colour in the dialog (the face and caption colour already
    // changed).
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
    // Inherited and published as well: Color [clBtnFace], Caption, Alignment, bevels, borders,
    // ParentBackground [false], ShowCaption, Font, Enabled, Visible, TabStop, TabOrder and
    // the rest of the panel's list, OnClick, OnDblClick.

    // True while the mouse is over the button (the face shows the lightened colour).
    bool Hovered() const { return FHovered; }
    // The button's own colour: Color, or while hovered the colour the face returns to.
    TColor BaseColor() const { return FHovered ? FBakColor : Color(); }

  protected:
    // OnClick; then with a ColorDialog: the dialog, started at BaseColor; on OK the face takes
    // the dialog's colour, the font colour follows (clWindowText with ParentBackground, else
    // clWhite on faces of grey level 96 or less and clBlack above) and OnChange fires.
    void Click() override;
    // A colour set while hovered becomes the one to return to (see the file comment).
    void WndProc(TMessage& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    // Sets the face colour without taking it for the button's own.
    void ShowFace(TColor Value);

    TColor FBakColor = clBtnFace;
    bool FHovered = false;
    bool FShowingFace = false;
    TColorDialog* FColorDialog = nullptr;
    TNotifyEvent FOnChange;
};

} // namespace kel
