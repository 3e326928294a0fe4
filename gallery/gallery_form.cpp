// The gallery form: the item registry and the form that shows every item in a captioned cell.
// The gallery application and the monkey test (tests/monkey) build the same form from here.
#include "gallery.h"

#include "kel_props.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace kel::gallery {

bool gLogInput = false;

namespace {
std::vector<TItem>& Registry() {
    static std::vector<TItem> items;
    return items;
}
} // namespace

TRegistration::TRegistration(std::string Name, int Width, int Height, TFactory Create) {
    Registry().push_back(TItem{std::move(Name), Width, Height, std::move(Create)});
}

std::vector<TItem> Items() {
    std::vector<TItem> items = Registry();
    std::stable_sort(items.begin(), items.end(),
                     [](const TItem& a, const TItem& b) { return a.Name < b.Name; });
    return items;
}

namespace {

constexpr int kPad = 6;      // space around a control inside its cell
constexpr int kCaption = 18; // caption strip above the control

// Cells are stored in form files with their title.
const TClassRegistrar<TGalleryCell> galleryCellReg("TGalleryCell", "TCustomControl", [](auto& p) {
    p.String("Title", &TGalleryCell::Title, &TGalleryCell::SetTitle, "");
});

} // namespace

void TGalleryCell::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetColor(RGB(0xE8, 0xEC, 0xF2));
    c.FillRect(Rect(0, 0, Width(), Height()));
    c.Brush().SetColor(RGB(0x38, 0x4C, 0x6C));
    c.FillRect(Rect(0, 0, Width(), kCaption));
    c.Pen().SetColor(RGB(0x38, 0x4C, 0x6C));
    c.Brush().SetStyle(bsClear);
    c.Rectangle(0, 0, Width(), Height());
    c.Font().SetColor(clWhite);
    c.Font().SetStyle({fsBold});
    c.TextOut(kPad, (kCaption - c.TextHeight(FTitle)) / 2, FTitle);
    c.Brush().SetStyle(bsSolid);
}

Gallery BuildForm(bool StreamableOnly) {
    Gallery g;
    g.Form = std::make_unique<TForm>(nullptr);
    TForm& form = *g.Form;
    form.SetCaption("kel gallery");
    form.SetColor(RGB(0xF4, 0xF4, 0xF4));
    int x = kGap, y = kGap, rowH = 0, maxRight = 0;
    for (const TItem& item : Items()) {
        auto* cell = new TGalleryCell(&form, item.Name);
        cell->SetParent(&form);
        TControl* c = nullptr;
        try {
            c = item.Create(cell);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "gallery: %s: %s\n", item.Name.c_str(), e.what());
            g.Failed.push_back(item.Name);
            delete cell;
            continue;
        }
        if (!c) {
            delete cell;
            continue;
        }
        if (StreamableOnly && !IsStreamable(*c)) {
            std::printf("gallery: %s is not stored in the form file (a demo of a class that is "
                        "not registered)\n",
                        item.Name.c_str());
            delete cell;
            continue;
        }
        if (c->Parent() != cell) c->SetParent(cell);
        const int w = item.Width > 0 ? item.Width : c->Width();
        const int h = item.Height > 0 ? item.Height : c->Height();
        c->SetBounds(kPad, kCaption + kPad, w, h);
        const int cw = w + 2 * kPad, ch = h + kCaption + 2 * kPad;
        if (x > kGap && x + cw > kSheetWidth) {
            x = kGap;
            y += rowH + kGap;
            rowH = 0;
        }
        cell->SetBounds(x, y, cw, ch);
        cell->Item = c;
        x += cw + kGap;
        rowH = std::max(rowH, ch);
        maxRight = std::max(maxRight, x);
        g.Shown.emplace_back(item.Name, c);
    }
    form.SetLeft(0);
    form.SetTop(0);
    form.SetClientWidth(std::max(maxRight, 200));
    form.SetClientHeight(y + rowH + kGap);
    return g;
}

} // namespace kel::gallery
