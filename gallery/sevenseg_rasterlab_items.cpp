// Gallery items of the seven-segment display and the raster label: a clock-style display that
// counts up on a message timer of its own, and a raster label whose text scrolls left and
// loops. A click on the display switches it between red and green digits.
#include "gallery.h"

#include "KEL_RasterLab.h"
#include "KEL_sevenseg.h"
#include "kel_app.h"

#include <cstdio>

namespace kel::gallery {
namespace {

// A seven-segment display showing minutes and seconds since it was created.
class TTickingSevenSeg : public TSevenSeg {
  public:
    explicit TTickingSevenSeg(TComponent* AOwner) : TSevenSeg(AOwner) {
        SetNumDigits(5);
        SetCaption("00:00");
        FWnd = AllocateHWnd([this](TMessage& m) {
            if (m.Msg != WM_TIMER) return;
            ++FSeconds;
            char text[16];
            std::snprintf(text, sizeof text, "%02d:%02d", FSeconds / 60 % 100, FSeconds % 60);
            SetCaption(text);
        });
        SetTimer(FWnd, 1, 1000);
        SetOnClick([this](TObject*) { SetColorText(ColorText() == clRed ? clLime : clRed); });
    }
    ~TTickingSevenSeg() override {
        KillTimer(FWnd, 1);
        DeallocateHWnd(FWnd);
    }

  private:
    HWND FWnd = nullptr;
    int FSeconds = 0;
};

} // namespace

KEL_GALLERY_ITEM("TSevenSeg", 266, 76,
                 [](TWinControl* p) -> TControl* { return new TTickingSevenSeg(p); });

KEL_GALLERY_ITEM("TRasterLab", 400, 0, [](TWinControl* p) -> TControl* {
    auto* r = new TRasterLab(p);
    r->SetText("Raster label \u2022 12.5\u00B0C \u2022 scrolling left");
    r->SetAutoHeight(true);
    r->SetScrollInterval(40);
    r->SetScrollMode(rdsmLeft);
    return r;
});

} // namespace kel::gallery
