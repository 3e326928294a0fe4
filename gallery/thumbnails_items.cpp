// Gallery entry of the thumbnail strip: twelve pictures of its own (drawn here, so the picture
// does not depend on files), slides up to 30, markers on every fourth slide from a request
// handler, multiple selection with two slides selected; the mouse wheel scrolls by half a row.
#include "gallery.h"
#include "KEL_Thumbnails.h"

#include <cmath>
#include <cstdio>

namespace {

// A small landscape or portrait scene: sky, ground and a sun, its colours varied by K.
void DrawScene(kel::TBitmap& Pic, int K) {
    using namespace kel;
    const int w = K % 3 == 2 ? 150 : 240, h = K % 3 == 2 ? 220 : 160;
    Pic.SetSize(w, h);
    TCanvas& c = Pic.Canvas();
    c.Brush().SetColor(TColor(0xF0C080 - 0x100C00 * (K % 4)));
    c.FillRect(Rect(0, 0, w, h));
    c.Brush().SetColor(TColor(0x30A040 + 0x101008 * (K % 5)));
    c.FillRect(Rect(0, h * 2 / 3, w, h));
    c.Pen().SetColor(clYellow);
    c.Brush().SetColor(TColor(0x00D0FF - 0x002000 * (K % 3)));
    const int r = h / 6, cx = w / 4 + (K * 37) % (w / 2);
    c.Ellipse(cx - r, h / 5, cx + r, h / 5 + 2 * r);
}

kel::TControl* MakeThumbnails(kel::TWinControl* p) {
    using namespace kel;
    auto* t = new TThumbnails(p);
    t->SetSlideSize(80);
    t->SetAntiAlias(true);
    t->SetSlideSelectMode(ssmMultiple);
    for (int k = 0; k < 12; ++k) {
        TBitmap pic;
        DrawScene(pic, k);
        t->AddPicture(pic);
    }
    t->SetMax(30);
    t->SetSlideSelected(2, true);
    t->SetSlideSelected(3, true);
    t->SetOnImageRequest([](TObject*, int id, TImageRequestProcessing&, int& mark, TBitmap*&) {
        if (id % 4 == 0) mark = 27;
    });
    t->SetOnMouseWheel([t](TObject*, TShiftState, int delta, TPoint, bool& handled) {
        // The position as a slide number (first of the top row plus the scrolled share of a
        // row), moved by half a row.
        const double n = t->NumSlidesHoriz(), f = t->FirstThumbIdx();
        const double at = std::trunc(f) + (f - std::trunc(f)) * n;
        t->SetFirstThumbIdx(at + (delta < 0 ? n / 2 : -n / 2));
        handled = true;
    });
    t->SetOnImageClick([](TObject*, int x, int y, int id) {
        if (gallery::gLogInput) std::printf("TThumbnails click %d,%d slide %d\n", x, y, id);
    });
    return t;
}

} // namespace

KEL_GALLERY_ITEM("TThumbnails", 310, 230, MakeThumbnails);
