// Gallery item of the colour dialog: a swatch that opens the dialog when clicked (in the window
// host) and takes the chosen colour; the headless contact sheet shows the swatch with its hint.
#include "gallery.h"

#include "kel_dialogs.h"

#include <cstdio>

namespace kel::gallery {
namespace {

class TColorDialogDemo : public TCustomControl {
  public:
    explicit TColorDialogDemo(TComponent* AOwner)
        : TCustomControl(AOwner), FDialog(new TColorDialog(this)) {
        FDialog->SetColor(RGB(0x20, 0x80, 0xC0));
        SetCursor(crHandPoint);
    }
    std::string ClassName() const override { return "TColorDialogDemo"; }

  protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Brush().SetColor(clBtnFace);
        c.FillRect(ClientRect());
        c.Brush().SetColor(FDialog->Color());
        c.Pen().SetColor(clBlack);
        c.Rectangle(4, 4, Width() - 4, Height() - 22);
        char text[48];
        std::snprintf(text, sizeof text, "Click: TColorDialog ($%06X)",
                      unsigned(FDialog->Color() & 0xFFFFFF));
        c.Brush().SetStyle(bsClear);
        c.Font().Assign(&Font());
        c.TextOut(4, Height() - 18, text);
        c.Brush().SetStyle(bsSolid);
    }
    void Click() override {
        TCustomControl::Click();
        if (FDialog->Execute()) {
            if (gLogInput) std::printf("TColorDialog: OK %06X\n", unsigned(FDialog->Color()));
            Invalidate();
        } else if (gLogInput) {
            std::printf("TColorDialog: cancelled\n");
        }
        // Flushed at once: the window test reads the log while the gallery runs.
        if (gLogInput) std::fflush(stdout);
    }

  private:
    TColorDialog* FDialog;
};

} // namespace

KEL_GALLERY_ITEM("TColorDialog", 190, 70, [](TWinControl* p) { return new TColorDialogDemo(p); });

} // namespace kel::gallery
