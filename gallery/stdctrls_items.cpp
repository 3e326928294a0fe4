// Gallery items of the standard controls: edit boxes with short and long text, read-only,
// without 3D frame and disabled; password and memo; a label with an accelerator and one that
// wraps.
#include "gallery.h"

#include "kel_stdctrls.h"

#include <string>

namespace kel::gallery {
namespace {

TEdit* MakeEdit(TWinControl* p, const std::string& text) {
    auto* e = new TEdit(p);
    e->SetText(text);
    return e;
}

} // namespace

KEL_GALLERY_ITEM("TEdit", 160, 0, [](TWinControl* p) { return MakeEdit(p, "Edit me"); });
KEL_GALLERY_ITEM("TEdit long text", 160, 0, [](TWinControl* p) {
    return MakeEdit(p, "A text much wider than the box scrolls with the caret");
});
KEL_GALLERY_ITEM("TEdit read-only", 160, 0, [](TWinControl* p) {
    auto* e = MakeEdit(p, "Read only");
    e->SetReadOnly(true);
    return e;
});
KEL_GALLERY_ITEM("TEdit flat", 160, 0, [](TWinControl* p) {
    auto* e = MakeEdit(p, "Flat frame");
    e->SetCtl3D(false);
    return e;
});
KEL_GALLERY_ITEM("TEdit disabled", 160, 0, [](TWinControl* p) {
    auto* e = MakeEdit(p, "Disabled");
    e->SetEnabled(false);
    return e;
});

KEL_GALLERY_ITEM("TEdit password", 160, 0, [](TWinControl* p) {
    auto* e = MakeEdit(p, "secret");
    e->SetPasswordChar(U'*');
    return e;
});

KEL_GALLERY_ITEM("TMemo", 170, 70, [](TWinControl* p) {
    auto* m = new TMemo(p);
    m->SetText("A memo: lines, word wrap at blanks within the width,\r\ncaret and selection");
    return m;
});

KEL_GALLERY_ITEM("TLabel", 0, 0, [](TWinControl* p) {
    auto* l = new TLabel(p);
    l->SetCaption("&Name: label with an accelerator");
    return l;
});
KEL_GALLERY_ITEM("TLabel word wrap", 120, 0, [](TWinControl* p) {
    auto* l = new TLabel(p);
    l->SetAutoSize(false);
    l->SetWordWrap(true);
    l->SetHeight(45);
    l->SetCaption("A longer caption that wraps at its blanks");
    return l;
});

} // namespace kel::gallery
