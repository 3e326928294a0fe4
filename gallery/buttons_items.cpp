// Gallery items of the buttons, the panel and the modal form: push buttons (plain, default,
// disabled), speed buttons with a drawn glyph (caption beside or below, a toggle group on a
// panel, flat), panels with bevels, and a button that opens a modal dialog (in the window).
#include "gallery.h"

#include "kel_buttons.h"
#include "kel_extctrls.h"
#include "kel_forms.h"
#include "kel_stdctrls.h"

#include <cstdio>
#include <string>

namespace kel::gallery {
namespace {

// A 16 x 16 glyph of two images: a green arrow (up) and a grey one (disabled), on fuchsia, the
// colour of the bottom-left pixel, which the button leaves transparent.
void ArrowGlyph(TBitmap& g) {
    g.SetSize(32, 16);
    TCanvas& c = g.Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect(Rect(0, 0, 32, 16));
    for (int img = 0; img < 2; ++img) {
        TColor col = img == 0 ? clGreen : clGray;
        c.Brush().SetColor(col);
        c.Pen().SetColor(col);
        const int x = img * 16;
        TPoint head[] = {{x + 8, 2}, {x + 14, 8}, {x + 2, 8}};
        c.Polygon(head);
        c.FillRect(Rect(x + 6, 8, x + 11, 14));
    }
}

TSpeedButton* MakeSpeed(TWinControl* p, const std::string& caption) {
    auto* b = new TSpeedButton(p);
    TBitmap g;
    ArrowGlyph(g);
    b->SetGlyph(g);
    b->SetNumGlyphs(2);
    b->SetCaption(caption);
    return b;
}

TButton* MakeButton(TWinControl* p, const std::string& caption) {
    auto* b = new TButton(p);
    b->SetCaption(caption);
    return b;
}

} // namespace

KEL_GALLERY_ITEM("TButton", 0, 0, [](TWinControl* p) { return MakeButton(p, "&Apply"); });
KEL_GALLERY_ITEM("TButton default", 0, 0, [](TWinControl* p) {
    auto* b = MakeButton(p, "OK");
    b->SetDefault(true);
    return b;
});
KEL_GALLERY_ITEM("TButton disabled", 0, 0, [](TWinControl* p) {
    auto* b = MakeButton(p, "Disabled");
    b->SetEnabled(false);
    return b;
});

KEL_GALLERY_ITEM("TForm ShowModal", 110, 25, [](TWinControl* p) {
    // In the window: opens a dialog; its OK and Cancel buttons end the modal loop.
    auto* b = MakeButton(p, "Open dialog...");
    b->SetOnClick([](TObject*) {
        TForm dlg(nullptr);
        dlg.SetCaption("A modal dialog");
        dlg.SetBorderStyle(bsDialog);
        dlg.SetPosition(poMainFormCenter);
        dlg.SetClientWidth(240);
        dlg.SetClientHeight(110);
        dlg.SetColor(clBtnFace);
        auto* l = new TLabel(&dlg);
        l->SetParent(&dlg);
        l->SetBounds(12, 12, 0, 0);
        l->SetCaption("&Name:");
        auto* e = new TEdit(&dlg);
        e->SetParent(&dlg);
        e->SetBounds(12, 30, 216, 21);
        e->SetText("");
        dlg.SetActiveControl(e);
        auto* ok = MakeButton(&dlg, "OK");
        ok->SetParent(&dlg);
        ok->SetBounds(72, 72, 75, 25);
        ok->SetModalResult(mrOk);
        ok->SetDefault(true);
        auto* cancel = MakeButton(&dlg, "Cancel");
        cancel->SetParent(&dlg);
        cancel->SetBounds(153, 72, 75, 25);
        cancel->SetModalResult(mrCancel);
        cancel->SetCancel(true);
        TModalResult r = dlg.ShowModal();
        std::printf("gallery: dialog returned %d with name \"%s\"\n", r, e->Text().c_str());
        std::fflush(stdout);
    });
    return b;
});

KEL_GALLERY_ITEM("TSpeedButton", 80, 26, [](TWinControl* p) { return MakeSpeed(p, "Up"); });
KEL_GALLERY_ITEM("TSpeedButton glyph top", 50, 44, [](TWinControl* p) {
    auto* b = MakeSpeed(p, "Top");
    b->SetLayout(blGlyphTop);
    b->SetSpacing(2);
    return b;
});
KEL_GALLERY_ITEM("TSpeedButton disabled", 80, 26, [](TWinControl* p) {
    auto* b = MakeSpeed(p, "Off");
    b->SetEnabled(false);
    return b;
});
KEL_GALLERY_ITEM("TSpeedButton group", 100, 30, [](TWinControl* p) {
    // Three toggle buttons of one group on a panel: one is down at a time.
    auto* panel = new TPanel(p);
    panel->SetBevelOuter(bvNone);
    panel->SetParentBackground(false);
    for (int i = 0; i < 3; ++i) {
        auto* b = MakeSpeed(panel, "");
        b->SetParent(panel);
        b->SetBounds(2 + 25 * i, 3, 23, 22);
        b->SetGroupIndex(1);
        b->SetDown(i == 1);
    }
    auto* flat = MakeSpeed(panel, "");
    flat->SetParent(panel);
    flat->SetBounds(2 + 75, 3, 23, 22);
    flat->SetFlat(true);
    return panel;
});

KEL_GALLERY_ITEM("TPanel", 0, 0, [](TWinControl* p) {
    auto* panel = new TPanel(p);
    panel->SetCaption("Raised panel");
    panel->SetParentBackground(false);
    return panel;
});
KEL_GALLERY_ITEM("TPanel lowered", 160, 41, [](TWinControl* p) {
    auto* panel = new TPanel(p);
    panel->SetCaption("Lowered, border 3");
    panel->SetBevelOuter(bvLowered);
    panel->SetBevelInner(bvRaised);
    panel->SetBorderWidth(3);
    panel->SetParentBackground(false);
    return panel;
});

} // namespace kel::gallery
