// Gallery entries for the marker selector, the colour selector and the colour button.
#include "gallery.h"
#include "KEL_Colbut.h"
#include "KEL_Colsel.h"
#include "KEL_marksel.h"

KEL_GALLERY_ITEM("TMarkSel", 236, 178, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = new kel::TMarkSel(p);
    c->SetSelected(12);
    return c;
});
KEL_GALLERY_ITEM("TColSel", 150, 0, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = new kel::TColSel(p);
    c->SetAllColorEditFlags(); // a click on the colour bar opens the colour dialog
    c->SetSelColor(kel::clTeal);
    return c;
});
KEL_GALLERY_ITEM("TColorButton", 120, 40, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = new kel::TColorButton(p);
    c->SetCaption("Colour...");
    c->SetColor(kel::clNavy);
    c->Font().SetColor(kel::clWhite);
    // The dialog belongs to the form, named, so that a form file can refer to it.
    auto* d = new kel::TColorDialog(p->Owner() != nullptr ? p->Owner() : p);
    d->SetName("ColorButtonDialog");
    c->SetColorDialog(d);
    return c;
});
