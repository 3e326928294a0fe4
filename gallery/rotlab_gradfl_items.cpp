// Gallery entries for the rotated label and the gradient fill.
#include "gallery.h"
#include "KEL_RotLab.h"
#include "KEL_gradfl.h"

KEL_GALLERY_ITEM("TRotLab", 120, 120, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = new kel::TRotLab(p);
    c->SetCaption("Rotated 30\xC2\xB0");
    c->SetTextAngle(30);
    return c;
});
KEL_GALLERY_ITEM("TGradFill", 121, 121, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = new kel::TGradFill(p);
    c->SetFillType(kel::gtMidBandVert);
    c->SetFrameStyle(kel::fstLowered);
    return c;
});
