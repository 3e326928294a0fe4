// Gallery entries for the numeric label and the progress bar.
#include "gallery.h"
#include "KEL_NumLab.h"
#include "KEL_ProgBar.h"

KEL_GALLERY_ITEM("TNumLab", 160, 28, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = new kel::TNumLab(p);
    c->SetLeftText("Uout");
    c->SetRightText("mV");
    c->SetValue(-12.5);
    return c;
});
KEL_GALLERY_ITEM("TProgBar", 300, 28, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = new kel::TProgBar(p);
    c->SetShowColorGradient(true);
    c->SetValue(65);
    return c;
});
