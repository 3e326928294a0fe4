// Renders the pictures of the seven-segment display and the raster label for docs/img/: each
// control in its default state and in a few other states, stacked on one white form per
// control, written as PNG through the headless host.
//
// Usage: kel_render_displays <output folder>   (writes sevenseg.png and rasterlab.png)
#include "KEL_RasterLab.h"
#include "KEL_sevenseg.h"
#include "headless.h"
#include "kel_forms.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace kel;

namespace {

// Lays the controls out top to bottom, 8 pixels apart, and writes the form.
void WriteStack(const std::vector<TControl*>& controls, TForm& form, const std::string& path) {
    int y = 8, w = 0;
    for (TControl* c : controls) {
        c->SetBounds(8, y, c->Width(), c->Height());
        y += c->Height() + 8;
        w = std::max(w, c->Width());
    }
    form.SetBounds(0, 0, w + 16, y);
    form.Show();
    headless::SavePNG(form, path);
    std::printf("wrote %s\n", path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    try {
        {
            TForm form(nullptr);
            form.SetBorderStyle(bsNone);
            form.SetColor(clWhite);
            auto add = [&form](const std::function<void(TSevenSeg&)>& set) {
                auto* s = new TSevenSeg(&form);
                s->SetParent(&form);
                set(*s);
                return static_cast<TControl*>(s);
            };
            std::vector<TControl*> list{
                add([](TSevenSeg&) {}),
                add([](TSevenSeg& s) {
                    s.SetBounds(0, 0, 266, 76);
                    s.SetNumDigits(5);
                    s.SetCaption("12:30");
                    s.SetColorText(clLime);
                    s.SetColorBackGnd(clBlack);
                    s.SetFrameStyle(fstRaised);
                }),
                add([](TSevenSeg& s) {
                    s.SetBounds(0, 0, 360, 110);
                    s.SetNumDigits(6);
                    s.SetCaption("-2.5\u00B0c+");
                    s.SetColorText(clWhite);
                    s.SetColorBackGnd(clNavy);
                    s.SetMargin(12);
                    s.SetInterDigDist(6);
                    s.SetFrameStyle(fstEmbossed);
                }),
                add([](TSevenSeg& s) {
                    s.SetBounds(0, 0, 300, 60);
                    s.SetNumDigits(8);
                    s.SetCaption("0123ABCD");
                    s.SetColorText(0x00A5FF);
                    s.SetColorBackGnd(0x101010);
                    s.SetMargin(6);
                }),
            };
            WriteStack(list, form, dir + "/sevenseg.png");
        }
        {
            TForm form(nullptr);
            form.SetBorderStyle(bsNone);
            form.SetColor(clWhite);
            auto add = [&form](const std::function<void(TRasterLab&)>& set) {
                auto* r = new TRasterLab(&form);
                r->SetParent(&form);
                set(*r);
                return static_cast<TControl*>(r);
            };
            std::vector<TControl*> list{
                add([](TRasterLab&) {}),
                add([](TRasterLab& r) {
                    r.SetBounds(0, 0, 400, 40);
                    r.SetText("12.5\u00B0C  \u00C4\u00E9\u00DF\u20AC");
                    r.SetCharBlockMode(rdbmRaster);
                    r.SetDotSize(2);
                    r.SetColorDotOn(clYellow);
                    r.SetColorDotOff(0x303000);
                    r.SetFrameStyle(fstEmbossed);
                    r.SetAutoHeight(true);
                    r.SetAutoCenter(true);
                }),
                add([](TRasterLab& r) {
                    r.SetBounds(0, 0, 400, 30);
                    r.SetText("rdbmOff, DotSize 1, DotSpacing 1, fixed pitch");
                    r.SetCharBlockMode(rdbmOff);
                    r.SetDotSize(1);
                    r.SetProportional(false);
                    r.SetColorDotOn(clAqua);
                    r.SetColorLabBakG(0x201000);
                    r.SetFrameStyle(fstRaised);
                }),
                add([](TRasterLab& r) {
                    r.SetBounds(0, 0, 400, 30);
                    r.SetFont(TFont());
                    r.Font().SetName("DejaVu Sans");
                    r.Font().SetSize(9);
                    r.SetText("Scanned from DejaVu Sans 9 pt");
                    r.SetDotSize(1);
                    r.SetColorDotOn(0xFFA040);
                    r.SetColorDotOff(0x402020);
                    r.SetAutoHeight(true);
                }),
            };
            WriteStack(list, form, dir + "/rasterlab.png");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
