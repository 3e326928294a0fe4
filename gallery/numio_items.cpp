// Gallery items of the numeric edit box: one box per input format, each with a wide range and
// a value written through Value, so the format's own text layout shows.
#include "gallery.h"

#include "KEL_NumIO.h"

namespace kel::gallery {
namespace {

TNumIO* MakeNumIO(TWinControl* p, TInFormat Format, double Value) {
    auto* n = new TNumIO(p);
    n->SetRangeHigh(1e9);
    n->SetRangeLow(-1e9);
    n->SetInputFormat(Format);
    n->SetValue(Value);
    return n;
}

} // namespace

KEL_GALLERY_ITEM("TNumIO itExp", 140, 0,
                 [](TWinControl* p) { return MakeNumIO(p, itExp, 1234.5); });
KEL_GALLERY_ITEM("TNumIO itFloat", 140, 0,
                 [](TWinControl* p) { return MakeNumIO(p, itFloat, 3.14159265); });
KEL_GALLERY_ITEM("TNumIO itFixPoint", 140, 0,
                 [](TWinControl* p) { return MakeNumIO(p, itFixPoint, 19.99); });
KEL_GALLERY_ITEM("TNumIO itInt", 140, 0, [](TWinControl* p) { return MakeNumIO(p, itInt, -42); });
KEL_GALLERY_ITEM("TNumIO itHex", 140, 0, [](TWinControl* p) { return MakeNumIO(p, itHex, 48879); });
KEL_GALLERY_ITEM("TNumIO itOct", 140, 0, [](TWinControl* p) { return MakeNumIO(p, itOct, 511); });
KEL_GALLERY_ITEM("TNumIO itBin", 140, 0, [](TWinControl* p) { return MakeNumIO(p, itBin, 165); });
KEL_GALLERY_ITEM("TNumIO itDynamic", 140, 0,
                 [](TWinControl* p) { return MakeNumIO(p, itDynamic, -0.00025); });

} // namespace kel::gallery
