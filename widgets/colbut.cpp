// TColorButton: the hover lightening, the click that asks the colour dialog, and the published
// list of the colour button (its face is the panel's painting).
#include "KEL_Colbut.h"

#include "Kel_kelcolors.h"
#include "kel_props.h"

#include <algorithm>

namespace kel {

double ColorButtonHoverLightness(double L) {
    return std::min(L > 0.3 ? (L + 1) / 2 : L + 0.2, 1.0);
}

TColor ColorButtonHoverColor(TColor Color) {
    double h = 0, s = 0, l = 0;
    ColorToHSL(Color, h, s, l);
    return HSLtoColor(h, s, ColorButtonHoverLightness(l));
}

TColorButton::TColorButton(TComponent* AOwner) : TCustomPanel(AOwner) {
    SetParentBackground(false);
    SetColor(clBtnFace);
}

void TColorButton::SetColorDialog(TColorDialog* Value) {
    if (Value == FColorDialog) return;
    if (FColorDialog != nullptr) RemoveFreeNotification(FColorDialog);
    FColorDialog = Value;
    if (Value != nullptr) FreeNotification(Value);
}

void TColorButton::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FColorDialog) FColorDialog = nullptr;
}

void TColorButton::ShowFace(TColor Value) {
    FShowingFace = true;
    SetColor(Value);
    FShowingFace = false;
}

void TColorButton::WndProc(TMessage& Message) {
    TCustomPanel::WndProc(Message);
    if (Message.Msg == CM_COLORCHANGED && FHovered && !FShowingFace) {
        // A new colour while the mouse is over the button (from the dialog or the application):
        // the face comes back to it on leaving, and shows it lightened meanwhile.
        FBakColor = Color();
        ShowFace(ColorButtonHoverColor(FBakColor));
    }
}

void TColorButton::CMMouseEnter(TMessage& Message) {
    auto alive = Handle();
    TCustomPanel::CMMouseEnter(Message);
    // Children report their own enter with LParam set: the button's face is not concerned.
    if (*alive == nullptr || Message.LParam != 0 || FHovered) return;
    FHovered = true;
    FBakColor = Color();
    ShowFace(ColorButtonHoverColor(FBakColor));
}

void TColorButton::CMMouseLeave(TMessage& Message) {
    auto alive = Handle();
    TCustomPanel::CMMouseLeave(Message);
    if (*alive == nullptr || Message.LParam != 0 || !FHovered) return;
    FHovered = false;
    ShowFace(FBakColor);
}

void TColorButton::Click() {
    auto alive = Handle();
    TCustomPanel::Click();
    if (*alive == nullptr || FColorDialog == nullptr) return;
    FColorDialog->SetColor(BaseColor());
    if (!FColorDialog->Execute() || *alive == nullptr) return;
    const TColor chosen = FColorDialog->Color();
    SetColor(chosen);
    if (ParentBackground())
        Font().SetColor(clWindowText);
    else
        Font().SetColor(ColorToGray(chosen) <= 96 ? clWhite : clBlack);
    if (TNotifyEvent handler = FOnChange) handler(this);
}

namespace {
const TClassRegistrar<TColorButton> colorButtonReg("TColorButton", "TCustomPanel", [](auto& p) {
    using B = TColorButton;
    p.Component("ColorDialog", &B::ColorDialog, &B::SetColorDialog, "a colour dialog");
});
} // namespace

} // namespace kel
