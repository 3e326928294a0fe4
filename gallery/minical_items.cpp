// Gallery entry for the mini calendar: May 2024 with its movable holidays, Whit Monday selected
// and a holiday of the application's own; the circle shows when today falls in the shown month.
#include "KEL_MiniCal.h"
#include "gallery.h"

KEL_GALLERY_ITEM("TMiniCal", 260, 160, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = new kel::TMiniCal(p);
    c->SetDate(kel::EncodeDate(2024, 5, 20));
    c->AddHoliday(27, 5, 2024, "Spring Bank Holiday");
    return c;
});
