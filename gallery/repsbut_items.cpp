// Gallery entry for the auto-repeat speed button: hold it and the caption counts the repeats.
#include "KEL_repsbut.h"
#include "gallery.h"

#include <memory>
#include <string>

KEL_GALLERY_ITEM("TRepSpeedButton", 96, 24, [](kel::TWinControl* p) -> kel::TControl* {
    auto* b = new kel::TRepSpeedButton(p);
    b->SetCaption("Hold me");
    // Each repeat shows its number; a press starts over.
    auto count = std::make_shared<int>(0);
    b->SetOnMouseDown([b, count](kel::TObject*, kel::TMouseButton, kel::TShiftState, int, int) {
        *count = 0;
        b->SetCaption("Hold me");
    });
    b->SetOnRepeatClick(
        [b, count](kel::TObject*) { b->SetCaption("Repeat " + std::to_string(++*count)); });
    return b;
});
