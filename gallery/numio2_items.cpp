// Gallery entries for the custom-drawn numeric input control, one per input format; the first
// shows the spin buttons and the integer one the gauge.
#include "gallery.h"
#include "KEL_NumIO.h"

namespace {

kel::TNumIO2* Make(kel::TWinControl* p, kel::TInFormat f, const char* left, double v) {
    auto* c = new kel::TNumIO2(p);
    c->SetInputFormat(f);
    c->SetLeftText(left);
    c->SetRangeHigh(100000);
    c->SetValue(v);
    return c;
}

} // namespace

KEL_GALLERY_ITEM("TNumIO2 itBin", 280, 28, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = Make(p, kel::itBin, "Bin", 5);
    c->SetWidth(280);
    c->SetLeftSpace(30);
    c->SetTextBoxWidth(242);
    c->SetAlignment(kel::taRightJustify);
    return c;
});
KEL_GALLERY_ITEM("TNumIO2 itDynamic", 200, 28, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = Make(p, kel::itDynamic, "Dyn", 0);
    c->SetText("$1F");
    return c;
});
KEL_GALLERY_ITEM("TNumIO2 itExp", 200, 28, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = Make(p, kel::itExp, "Exp", 1234.5);
    c->SetRightText("Pa");
    return c;
});
KEL_GALLERY_ITEM("TNumIO2 itFixPoint", 200, 28, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = Make(p, kel::itFixPoint, "Fix", 12.5);
    c->SetRightText("mV");
    c->SetButVisible(true);
    c->SetButIncrem(0.25);
    return c;
});
KEL_GALLERY_ITEM("TNumIO2 itFloat", 200, 28, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = Make(p, kel::itFloat, "Float", 3.25);
    c->SetRightText("A");
    return c;
});
KEL_GALLERY_ITEM("TNumIO2 itHex", 200, 28, [](kel::TWinControl* p) -> kel::TControl* {
    return Make(p, kel::itHex, "Hex", 0xBEEF);
});
KEL_GALLERY_ITEM("TNumIO2 itInt", 200, 40, [](kel::TWinControl* p) -> kel::TControl* {
    auto* c = Make(p, kel::itInt, "Int", 640);
    c->SetRangeHigh(1000);
    c->SetRightText("rpm");
    c->SetGaugeVisible(true);
    return c;
});
KEL_GALLERY_ITEM("TNumIO2 itOct", 200, 28, [](kel::TWinControl* p) -> kel::TControl* {
    return Make(p, kel::itOct, "Oct", 511);
});
