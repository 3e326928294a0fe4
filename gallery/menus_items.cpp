// Gallery items of the popup-layer controls: a panel with a popup menu (right-click it), combo
// boxes of the four styles, and date and time pickers. With --log-input the menu's picks and the
// combo boxes' changes are printed ("input: menu Copy", "input: combo List Banana"), which
// tools/window-test-popup.sh checks.
#include "gallery.h"

#include "kel_combobox.h"
#include "kel_dtpicker.h"
#include "kel_menus.h"

#include <cstdio>
#include <string>

namespace kel::gallery {
namespace {

void LogInput(const std::string& s) {
    if (!gLogInput) return;
    std::printf("input: %s\n", s.c_str());
    std::fflush(stdout);
}

// A surface that opens its PopupMenu on a right click and names the item last chosen.
class TMenuDemo : public TCustomControl {
  public:
    explicit TMenuDemo(TComponent* AOwner) : TCustomControl(AOwner) {
        SetColor(clWhite);
        auto* menu = new TPopupMenu(this);
        auto add = [this](TMenuItem* parent, const std::string& caption) {
            auto* it = new TMenuItem(parent->GetParentMenu());
            it->SetCaption(caption);
            it->SetOnClick([this](TObject* s) {
                FChosen = StripHotkey(static_cast<TMenuItem*>(s)->Caption());
                LogInput("menu " + FChosen);
                Invalidate();
            });
            parent->Add(it);
            return it;
        };
        add(menu->Items(), "&Copy");
        add(menu->Items(), "&Paste")->SetEnabled(false);
        add(menu->Items(), "-");
        TMenuItem* mark = add(menu->Items(), "&Mark");
        add(mark, "&Range");
        add(mark, "&Column");
        add(menu->Items(), "&Read-only")->SetChecked(true);
        // The geometry a window test needs to point at the items.
        menu->SetOnPopup([this, menu](TObject*) {
            const TSize size = MenuSize(Canvas(), *menu->Items());
            LogInput("menu popup rowheight " +
                     std::to_string(MenuItemHeight(Canvas(), *menu->Items()->Items(0))) +
                     " width " + std::to_string(size.cx));
        });
        SetPopupMenu(menu);
    }

  protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Brush().SetColor(clWhite);
        c.FillRect(Rect(0, 0, Width(), Height()));
        c.Brush().SetColor(clBtnShadow);
        c.FrameRect(Rect(0, 0, Width(), Height()));
        c.Brush().SetStyle(bsClear);
        c.TextOut(6, 6, "Right-click for the menu");
        c.TextOut(6, 24, FChosen.empty() ? std::string("Nothing chosen") : "Chosen: " + FChosen);
        c.Brush().SetStyle(bsSolid);
    }

  private:
    std::string FChosen;
};

TComboBox* MakeCombo(TWinControl* p, TComboBoxStyle style, const std::string& name) {
    auto* c = new TComboBox(p);
    c->SetStyle(style);
    for (const char* s : {"Apple", "Apricot", "Banana", "Blueberry", "Cherry", "Damson",
                          "Elderberry", "Fig", "Grape", "Kiwi"})
        c->Items().Add(s);
    c->SetItemIndex(2);
    c->SetOnChange([c, name](TObject*) { LogInput("combo " + name + " " + c->Text()); });
    c->SetOnDropDown([c, name](TObject*) {
        LogInput("combo " + name + " dropdown itemheight " + std::to_string(c->ItemHeight()));
    });
    return c;
}

TDateTimePicker* MakePicker(TWinControl* p, TDateTimeKind kind) {
    auto* d = new TDateTimePicker(p);
    d->SetKind(kind);
    d->SetDateTime(EncodeDate(2026, 12, 7) + EncodeTime(14, 5, 30, 0));
    d->SetOnChange([d](TObject*) { LogInput("picker " + d->DisplayText()); });
    return d;
}

} // namespace

KEL_GALLERY_ITEM("TPopupMenu", 170, 44, [](TWinControl* p) { return new TMenuDemo(p); });
KEL_GALLERY_ITEM("TComboBox", 150, 0,
                 [](TWinControl* p) { return MakeCombo(p, csDropDown, "Edit"); });
KEL_GALLERY_ITEM("TComboBox list", 150, 0,
                 [](TWinControl* p) { return MakeCombo(p, csDropDownList, "List"); });
KEL_GALLERY_ITEM("TComboBox simple", 150, 90,
                 [](TWinControl* p) { return MakeCombo(p, csSimple, "Simple"); });
KEL_GALLERY_ITEM("TComboBox owner-draw", 150, 0, [](TWinControl* p) {
    auto* c = MakeCombo(p, csOwnerDrawFixed, "Colours");
    c->SetOnDrawItem([c](TWinControl*, int i, const TRect& r, TOwnerDrawState s) {
        // A colour swatch and the item's text.
        TCanvas& k = c->Canvas();
        k.FillRect(r);
        if (i < 0) return;
        static const TColor swatches[] = {clRed,    clGreen, clYellow, clBlue, clMaroon,
                                          clPurple, clTeal,  clOlive,  clNavy, clLime};
        k.Brush().SetColor(swatches[i % 10]);
        k.Pen().SetColor(s.contains(odSelected) ? clHighlightText : clBlack);
        k.Rectangle(r.Left + 2, r.Top + 2, r.Left + 22, r.Bottom - 2);
        k.Brush().SetStyle(bsClear);
        k.TextOut(r.Left + 26, r.Top + (r.Height() - k.TextHeight("Wg")) / 2, c->Items()[i]);
        k.Brush().SetStyle(bsSolid);
    });
    return c;
});
KEL_GALLERY_ITEM("TDateTimePicker", 150, 0, [](TWinControl* p) { return MakePicker(p, dtkDate); });
KEL_GALLERY_ITEM("TDateTimePicker time", 150, 0,
                 [](TWinControl* p) { return MakePicker(p, dtkTime); });

} // namespace kel::gallery
