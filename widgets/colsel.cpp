// TColSel: the entries and their names, the list kept in step with them, the palettes, the
// selection, the custom colour through the colour dialog, item drawing and the published list
// of the colour selector.
#include "KEL_Colsel.h"

#include "Kel_kelcolors.h"
#include "Kel_stringl.h"
#include "kel_dialogs.h"
#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <cmath>

namespace kel {

namespace {
// Bars wider than this are drawn at this width (no row is that wide); keeps the coordinates of
// a huge ColorBarWidth far from overflowing.
constexpr int kMaxDrawnBar = 1 << 20;
} // namespace

TColor ColSelEditMarkColor(TColor Entry) {
    const TColor c = ColorToRGB(Entry);
    const double r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    const double brightness = std::sqrt(r * r + 2 * g * g + b * b) / 2;
    return brightness <= 180 ? clWhite : clBlack;
}

// ---- Entries ----------------------------------------------------------------------------------

TColSel::TColSel(TComponent* AOwner) : TCustomComboBox(AOwner) {
    SetStyle(csOwnerDrawFixed);
    for (int i = 0; i < ColSelMaxColors; ++i) {
        FColors[std::size_t(i)] = PredefinedColors[std::size_t(i)];
        FColorNames[std::size_t(i)] =
            Utf8Left(ColorToString(PredefinedColors[std::size_t(i)]), ColSelMaxNameLength);
    }
    FillList();
}

void TColSel::Loaded() {
    TCustomComboBox::Loaded();
    FillList();
    // The colour is looked up among the entries the file left, whatever its order.
    if (FLoadedSelColorPending) {
        FLoadedSelColorPending = false;
        SetSelColor(FLoadedSelColor);
    }
}

void TColSel::RefreshList() {
    Invalidate();
    if (TComboListWindow* l = ListWindow()) l->Invalidate();
}

void TColSel::FillList() {
    TStringList& items = Items();
    items.BeginUpdate();
    items.Clear();
    for (int i = 0; i < FNumColors; ++i) items.Add(FColorNames[std::size_t(i)]);
    items.EndUpdate();
    SetItemIndex(FSelColorIx - 1);
    RefreshList();
}

void TColSel::StoreName(int Index, const std::string& Name) {
    std::string& name = FColorNames[std::size_t(Index - 1)];
    name = Utf8Left(Name, ColSelMaxNameLength);
    if (Index > FNumColors || Index > Items().Count()) return;
    // The item takes the name; the combo box would follow the old text, so the selection is
    // put back where it was.
    const int keep = ItemIndex();
    Items().SetStrings(Index - 1, name);
    if (ItemIndex() != keep || (keep == Index - 1 && Text() != name)) SetItemIndex(keep);
}

void TColSel::NameFromColor(int Index, const std::string& Name) {
    std::string name = Name;
    if (TOnColorNameChangeEvent handler = FOnCNameChange) {
        auto alive = Handle();
        handler(this, name);
        if (*alive == nullptr) return;
    }
    StoreName(Index, name);
}

TColor TColSel::Colors(int Index) const {
    if (Index < 1 || Index > FNumColors) return 0;
    return FColors[std::size_t(Index - 1)];
}

void TColSel::SetColors(int Index, TColor Value) {
    if (Index < 1 || Index > FNumColors) return;
    auto alive = Handle();
    FColors[std::size_t(Index - 1)] = Value;
    NameFromColor(Index, ColorToString(Value));
    if (*alive != nullptr) RefreshList();
}

std::string TColSel::ColorNames(int Index) const {
    if (Index < 1 || Index > FNumColors) return {};
    return FColorNames[std::size_t(Index - 1)];
}

void TColSel::SetColorNames(int Index, const std::string& Value) {
    if (Index < 1 || Index > FNumColors) return;
    StoreName(Index, Value);
    RefreshList();
}

bool TColSel::ColorEditAllowed(int Index) const {
    if (Index < 1 || Index > FNumColors) return false;
    return FIsUserEditable[std::size_t(Index - 1)];
}

void TColSel::SetColorEditAllowed(int Index, bool Value) {
    if (Index < 1 || Index > FNumColors) return;
    if (SetField(FIsUserEditable[std::size_t(Index - 1)], Value)) RefreshList();
}

void TColSel::SetAllColorEditFlags() {
    FIsUserEditable.fill(true);
    RefreshList();
}

void TColSel::ResetAllColorEditFlags() {
    FIsUserEditable.fill(false);
    RefreshList();
}

void TColSel::SetColorBarWidth(int Value) {
    if (Value < 0) return;
    if (SetField(FColorBarWidth, Value)) RefreshList();
}

void TColSel::SetNumColors(int Value) {
    if (Value < 1 || Value > ColSelMaxColors) return;
    if (!SetField(FNumColors, Value)) return;
    FSelColorIx = 1;
    FillList();
}

void TColSel::LoadPalette(int Count, int First) {
    auto alive = Handle();
    FNumColors = Count;
    FSelColorIx = 1;
    for (int i = 0; i < Count; ++i) {
        const int from = First + i;
        const TColor c = PredefinedColors[std::size_t(from)];
        FColors[std::size_t(i)] = c;
        NameFromColor(i + 1, ColorToString(c));
        if (*alive == nullptr) return;
    }
    FillList();
}

void TColSel::LoadBasicVGAPalette() { LoadPalette(16, 0); }
void TColSel::LoadExtendedPalette() { LoadPalette(20, 0); }
void TColSel::LoadStandardPalette() { LoadPalette(47, 0); }
void TColSel::LoadWindowsSystemPalette() { LoadPalette(27, 20); }

// ---- Selection --------------------------------------------------------------------------------

TColor TColSel::SelColor() const { return FColors[std::size_t(FSelColorIx - 1)]; }

void TColSel::SetSelColor(TColor Value) {
    if (ComponentState().contains(csLoading)) {
        FLoadedSelColor = Value;
        FLoadedSelColorPending = true;
        return;
    }
    const TColor rgb = ColorToRGB(Value);
    for (int i = 1; i <= FNumColors; ++i) {
        if (ColorToRGB(FColors[std::size_t(i - 1)]) != rgb) continue;
        FSelColorIx = i;
        SetItemIndex(i - 1);
        RefreshList();
        return;
    }
    auto alive = Handle();
    FColors[std::size_t(FSelColorIx - 1)] = Value;
    NameFromColor(FSelColorIx, ColorToString(rgb));
    if (*alive != nullptr) RefreshList();
}

std::string TColSel::SelColorID() const {
    if (ItemIndex() < 0) return {};
    return FColorNames[std::size_t(FSelColorIx - 1)];
}

void TColSel::Click() {
    if (ItemIndex() >= 0 && ItemIndex() < FNumColors) FSelColorIx = ItemIndex() + 1;
    TCustomComboBox::Click();
}

void TColSel::Select() {
    auto alive = Handle();
    Click();
    if (*alive == nullptr) return;
    TCustomComboBox::Select();
}

void TColSel::MouseMove(TShiftState Shift, int X, int Y) {
    FMouseAreaCode = X < FColorBarWidth ? 1 : 0;
    TCustomComboBox::MouseMove(Shift, X, Y);
}

void TColSel::CMMouseLeave(TMessage& Message) {
    if (Message.LParam == 0) FMouseAreaCode = 0;
    TCustomComboBox::CMMouseLeave(Message);
}

void TColSel::DropDown() {
    const int ix = ItemIndex() + 1;
    if (FMouseAreaCode == 1 && ix >= 1 && ix <= FNumColors &&
        FIsUserEditable[std::size_t(ix - 1)]) {
        auto alive = Handle();
        bool confirmed = false;
        TColor chosen = clBlack;
        {
            TColorDialog dialog(nullptr);
            dialog.SetColor(FColors[std::size_t(ix - 1)]);
            confirmed = dialog.Execute();
            chosen = dialog.Color();
        }
        if (*alive == nullptr) return;
        if (confirmed) {
            FColors[std::size_t(ix - 1)] = chosen;
            if (TNotifyEvent handler = OnChange()) {
                handler(this);
                if (*alive == nullptr) return;
            }
            NameFromColor(ix, ColorToString(ColorToRGB(chosen)));
            if (*alive == nullptr) return;
        }
        RefreshList();
    }
    TCustomComboBox::DropDown();
}

// ---- Drawing ----------------------------------------------------------------------------------

void TColSel::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    (void)State; // every item is drawn alike; the combo box marks the focused row
    TCanvas& C = Canvas();
    const int entry = Index + 1;
    if (entry < 1 || entry > FNumColors) {
        C.FillRect(Rect); // no item (nothing selected in the closed box)
        return;
    }
    const TColor oldBrush = C.Brush().Color(), oldFont = C.Font().Color();
    const int L = Rect.Left, T = Rect.Top, B = Rect.Bottom;
    const int W = std::min(FColorBarWidth, kMaxDrawnBar);
    const bool on = Enabled();
    const TColor color = FColors[std::size_t(entry - 1)];
    C.Pen().SetStyle(psSolid);
    C.Pen().SetMode(pmCopy);
    C.Brush().SetStyle(bsSolid);
    if (W > 0) {
        if (on) {
            C.Pen().SetColor(clBlack);
            C.Brush().SetColor(color);
        } else {
            C.Pen().SetColor(0xC0C0C0);
            C.Brush().SetColor(0xC0C0C0);
            C.Rectangle(L - 1, T - 1, L + W + 3, B + 1);
            C.Pen().SetColor(0x808080);
        }
        C.Rectangle(L + 3, T + 2, L + W + 3, B - 2); // the colour bar
        if (FIsUserEditable[std::size_t(entry - 1)] && W > 11 && on) {
            // The edit mark: a small outline in the bar, white on dark colours, black on light.
            C.Pen().SetColor(ColSelEditMarkColor(color));
            const TPoint mark[] = {{L + 5, T + 4},  {L + 5, B - 5}, {L + 8, B - 5}, {L + 11, B - 8},
                                   {L + 11, T + 7}, {L + 8, T + 4}, {L + 5, T + 4}};
            C.Polyline(mark);
            C.Pen().SetColor(clBlack);
        }
    }
    if (on) {
        C.Font().SetColor(clBlack);
        C.Brush().SetColor(Color());
    } else {
        C.Font().SetColor(0x808080);
        C.Brush().SetColor(0xC0C0C0);
    }
    TRect text = Rect;
    text.Left = L + W + 3;
    const std::string& name = FColorNames[std::size_t(entry - 1)];
    C.TextRect(text, text.Left + 3, T + (B - T - C.TextHeight(name)) / 2, name);
    C.Brush().SetColor(oldBrush);
    C.Font().SetColor(oldFont);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
const TClassRegistrar<TColSel> colSelReg("TColSel", "TCustomComboBox", [](auto& p) {
    using S = TColSel;
    p.Int("DropDownCount", &S::DropDownCount, &S::SetDropDownCount, 8);
    p.Int("ColorBarWidth", &S::ColorBarWidth, &S::SetColorBarWidth, 30);
    // Before SelColor: the colour is looked up among the entries offered.
    p.Int("NumColors", &S::NumColors, &S::SetNumColors, 20);
    p.Color("SelColor", &S::SelColor, &S::SetSelColor, clBlack);
});
} // namespace

} // namespace kel
