// Popup menus (see kel_menus.h): accelerator helpers, the item tree, the menu's loop, the menu
// window of one level (layout, painting, mouse and keys) and the hook that opens a control's
// PopupMenu.
//
// Index: accelerators; TMenuItem; menu drawing; TMenuWindow; TPopupMenu; control hook;
// published properties.
#include "kel_menus.h"

#include "kel_props.h"
#include "kel_utf8.h"

#include <algorithm>

namespace kel {

// ---- Accelerators -----------------------------------------------------------------------------

namespace {

// The caption without marks, and the byte index of the accelerator in it (-1: none).
std::string ParseHotkey(const std::string& Caption, int& Accel) {
    std::string plain;
    Accel = -1;
    for (std::size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size()) {
            ++i;
            if (Caption[i] != '&' && Accel < 0) Accel = int(plain.size());
        }
        plain += Caption[i];
    }
    return plain;
}

char32_t DecodeAt(const std::string& S, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(S[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + std::size_t(len) > S.size()) return c;
    char32_t cp = len == 1 ? c : char32_t(c & (0x7F >> len));
    for (int k = 1; k < len; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(S[i + std::size_t(k)]) & 0x3F);
    return cp;
}

char32_t UpperAscii(char32_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

} // namespace

std::string StripHotkey(const std::string& Caption) {
    int accel = 0;
    return ParseHotkey(Caption, accel);
}

int HotkeyIndex(const std::string& Caption) {
    int accel = 0;
    ParseHotkey(Caption, accel);
    return accel;
}

char32_t GetHotkey(const std::string& Caption) {
    int accel = 0;
    std::string plain = ParseHotkey(Caption, accel);
    return accel < 0 ? 0 : UpperAscii(DecodeAt(plain, std::size_t(accel)));
}

// ---- TMenuItem --------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner)
    : TComponent(AOwner), FBitmap(std::make_unique<TBitmap>()),
      FSelfRef(std::make_shared<TMenuItem*>(this)) {}

TMenuItem::~TMenuItem() {
    *FSelfRef = nullptr;
    if (TPopupMenu* m = GetParentMenu()) m->ItemGone(this);
    Clear();
    if (FParent != nullptr) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[std::size_t(Index)];
}

int TMenuItem::MenuIndex() const { return FParent != nullptr ? FParent->IndexOf(this) : -1; }

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (Item == nullptr) return;
    if (Item->FParent != nullptr || Item->FMenu != nullptr) throw EMenuError("Menu inserted twice");
    for (const TMenuItem* p = this; p != nullptr; p = p->FParent)
        if (p == Item) throw EMenuError("Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index out of range (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    Item->FParent = nullptr;
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = Items(Index);
    Remove(item);
    delete item;
}

void TMenuItem::Clear() {
    while (!FItems.empty()) {
        TMenuItem* item = FItems.back();
        Remove(item);
        delete item;
    }
}

TPopupMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* p = this;
    while (p->FParent != nullptr) p = p->FParent;
    return p->FMenu;
}

void TMenuItem::Click() {
    if (FOnClick) FOnClick(this);
}

// ---- Menu drawing -----------------------------------------------------------------------------

namespace {

void Fill(TCanvas& C, const TRect& R, TColor Color) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
}

// A check mark: a tick 7 pixels wide, 3 thick, centred at (cx, cy).
void DrawCheck(TCanvas& C, int cx, int cy, TColor Color) {
    for (int k = 0; k < 7; ++k) {
        const int x = cx - 3 + k;
        const int y = k < 3 ? cy - 1 + k : cy + 1 - (k - 2);
        Fill(C, Rect(x, y, x + 1, y + 3), Color);
    }
}

} // namespace

int MenuItemHeight(const TCanvas& C, const TMenuItem& Item) {
    if (Item.IsLine()) return TMenuMetrics::SeparatorHeight;
    int h = C.TextHeight("Wg") + 6;
    if (!Item.Bitmap().Empty()) h = std::max(h, Item.Bitmap().Height() + 4);
    return h;
}

TSize MenuSize(const TCanvas& C, const TMenuItem& Parent) {
    int w = 0, h = 0;
    for (int i = 0; i < Parent.Count(); ++i) {
        const TMenuItem& it = *Parent.Items(i);
        if (!it.Visible()) continue;
        h += MenuItemHeight(C, it);
        if (!it.IsLine()) w = std::max(w, C.TextWidth(StripHotkey(it.Caption())));
    }
    const int b = TMenuMetrics::Border;
    return {std::max(w + TMenuMetrics::Gutter + TMenuMetrics::ArrowArea, 60) + 2 * b,
            std::max(h, 4) + 2 * b};
}

void PaintMenu(TCanvas& C, const TRect& Bounds, const TMenuItem& Parent, int HotIndex) {
    const TRect& r = Bounds;
    Fill(C, r, clMenu);
    // A raised frame: light / highlight on the top and left, dark shadow / shadow below.
    Fill(C, Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), cl3DLight);
    Fill(C, Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), cl3DLight);
    Fill(C, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), cl3DDkShadow);
    Fill(C, Rect(r.Right - 1, r.Top, r.Right, r.Bottom), cl3DDkShadow);
    Fill(C, Rect(r.Left + 1, r.Top + 1, r.Right - 2, r.Top + 2), clBtnHighlight);
    Fill(C, Rect(r.Left + 1, r.Top + 1, r.Left + 2, r.Bottom - 2), clBtnHighlight);
    Fill(C, Rect(r.Left + 1, r.Bottom - 2, r.Right - 1, r.Bottom - 1), clBtnShadow);
    Fill(C, Rect(r.Right - 2, r.Top + 1, r.Right - 1, r.Bottom - 1), clBtnShadow);
    const int b = TMenuMetrics::Border;
    const int th = C.TextHeight("Wg");
    int y = r.Top + b;
    for (int i = 0; i < Parent.Count(); ++i) {
        const TMenuItem& it = *Parent.Items(i);
        if (!it.Visible()) continue;
        const int h = MenuItemHeight(C, it);
        const TRect row = Rect(r.Left + b, y, r.Right - b, y + h);
        y += h;
        if (it.IsLine()) {
            const int my = row.Top + h / 2 - 1;
            Fill(C, Rect(row.Left + 1, my, row.Right - 1, my + 1), clBtnShadow);
            Fill(C, Rect(row.Left + 1, my + 1, row.Right - 1, my + 2), clBtnHighlight);
            continue;
        }
        const bool hot = i == HotIndex && it.Enabled();
        if (hot) Fill(C, row, clHighlight);
        const TColor ink = hot ? clHighlightText : clMenuText;
        const int gx = row.Left + TMenuMetrics::Gutter / 2, gy = row.Top + h / 2;
        if (!it.Bitmap().Empty()) {
            TBitmap bmp;
            bmp.Assign(&it.Bitmap());
            bmp.SetTransparent(true);
            const int bx = gx - bmp.Width() / 2, by = gy - bmp.Height() / 2;
            if (it.Checked()) {
                // A checked item with a picture: the picture in a sunken frame.
                Fill(C, Rect(bx - 2, by - 2, bx + bmp.Width() + 1, by - 1), clBtnShadow);
                Fill(C, Rect(bx - 2, by - 2, bx - 1, by + bmp.Height() + 1), clBtnShadow);
                Fill(C,
                     Rect(bx - 2, by + bmp.Height() + 1, bx + bmp.Width() + 2,
                          by + bmp.Height() + 2),
                     clBtnHighlight);
                Fill(
                    C,
                    Rect(bx + bmp.Width() + 1, by - 2, bx + bmp.Width() + 2, by + bmp.Height() + 2),
                    clBtnHighlight);
            }
            C.Draw(bx, by, bmp);
        } else if (it.Checked()) {
            DrawCheck(C, gx, gy, it.Enabled() ? ink : clBtnShadow);
        }
        int accel = -1;
        const std::string text = ParseHotkey(it.Caption(), accel);
        const int tx = row.Left + TMenuMetrics::Gutter, ty = row.Top + (h - th) / 2;
        auto drawText = [&](int dx, int dy, TColor color) {
            C.Brush().SetStyle(bsClear);
            C.Font().SetColor(color);
            C.TextOut(tx + dx, ty + dy, text);
            if (accel >= 0) {
                const int ux = tx + dx + C.TextWidth(text.substr(0, std::size_t(accel)));
                const int uw = C.TextWidth(CharToUtf8(DecodeAt(text, std::size_t(accel))));
                Fill(C, Rect(ux, ty + dy + th - 1, ux + uw, ty + dy + th), color);
            }
            C.Brush().SetStyle(bsSolid);
        };
        if (it.Enabled()) {
            drawText(0, 0, ink);
        } else {
            drawText(1, 1, clBtnHighlight); // engraved
            drawText(0, 0, clBtnShadow);
        }
        if (it.Count() > 0) {
            // The submenu arrow: a small triangle pointing right.
            const int ax = row.Right - TMenuMetrics::ArrowArea / 2 - 2;
            const TColor ac = it.Enabled() ? ink : clBtnShadow;
            for (int k = 0; k < 4; ++k)
                Fill(C, Rect(ax + k, gy - 3 + k, ax + k + 1, gy + 4 - k), ac);
        }
    }
}

// ---- TMenuWindow ------------------------------------------------------------------------------

// One level of an open menu: the visible subitems of one item, with a highlighted (hot) item.
class TMenuWindow : public TPopupWindow {
  public:
    TMenuWindow(TPopupMenu* Menu, int Level, TMenuItem* Parent)
        : TPopupWindow(Menu), FMenu(Menu), FLevel(Level), FParentItem(Parent) {
        SetTakesKeys(true);
        SetColor(clMenu);
        // A press outside ends the whole menu without a choice.
        SetOnDismiss([this](TObject*) { FMenu->CloseLevelsFrom(0); });
    }
    std::string ClassName() const override { return "TMenuWindow"; }

    TMenuItem* ParentItem() const { return FParentItem; }
    // Shows another item's subitems (a window is reused for its level).
    void Reset(TMenuItem* Parent) {
        FParentItem = Parent;
        FHot = -1;
        FArmed = false;
    }
    int Hot() const { return FHot; }
    void SetHot(int Value) {
        if (Value == FHot) return;
        FHot = Value;
        Invalidate();
    }
    // Sizes the window for its items.
    void Layout() {
        TSize s = MenuSize(Canvas(), *FParentItem);
        SetBounds(Left(), Top(), s.cx, s.cy);
    }
    // The row of item Index (client coordinates), empty when the item is not shown.
    TRect RowRect(int Index) {
        int y = TMenuMetrics::Border;
        for (int i = 0; i < FParentItem->Count(); ++i) {
            const TMenuItem& it = *FParentItem->Items(i);
            if (!it.Visible()) continue;
            const int h = MenuItemHeight(Canvas(), it);
            if (i == Index)
                return Rect(TMenuMetrics::Border, y, ClientWidth() - TMenuMetrics::Border, y + h);
            y += h;
        }
        return {};
    }
    int ItemAt(int X, int Y) {
        for (int i = 0; i < FParentItem->Count(); ++i)
            if (RowRect(i).Contains({X, Y})) return i;
        return -1;
    }
    bool Selectable(int Index) const {
        if (Index < 0 || Index >= FParentItem->Count()) return false;
        const TMenuItem& it = *FParentItem->Items(Index);
        return it.Visible() && it.Enabled() && !it.IsLine();
    }
    void Step(int Delta) {
        const int n = FParentItem->Count();
        if (n == 0) return;
        int i = FHot;
        for (int k = 0; k < n; ++k) {
            i = i < 0 ? (Delta > 0 ? 0 : n - 1) : (i + Delta + n) % n;
            if (Selectable(i)) {
                SetHot(i);
                FMenu->CloseLevelsFrom(FLevel + 1);
                return;
            }
        }
    }
    // Chooses item Index, or opens its submenu.
    void Activate(int Index, bool SelectFirst) {
        if (!Selectable(Index)) return;
        SetHot(Index);
        TMenuItem* it = FParentItem->Items(Index);
        if (it->Count() > 0)
            FMenu->OpenSubmenu(FLevel, Index, SelectFirst);
        else
            FMenu->Choose(it);
    }

  protected:
    void Paint() override { PaintMenu(Canvas(), ClientRect(), *FParentItem, FHot); }

    void MouseMove(TShiftState Shift, int X, int Y) override {
        TPopupWindow::MouseMove(Shift, X, Y);
        const int i = ItemAt(X, Y);
        if (i < 0) return;
        FArmed = true;
        if (!Selectable(i)) {
            SetHot(-1);
            FMenu->CloseLevelsFrom(FLevel + 1);
            return;
        }
        if (i == FHot && FMenu->LevelCount() > FLevel + 1) return; // its submenu is open
        SetHot(i);
        if (FParentItem->Items(i)->Count() > 0)
            FMenu->OpenSubmenu(FLevel, i, false); // a submenu opens on pointing at its item
        else
            FMenu->CloseLevelsFrom(FLevel + 1);
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        FArmed = true;
        TPopupWindow::MouseDown(Button, Shift, X, Y);
        const int i = ItemAt(X, Y);
        if (Selectable(i) && FParentItem->Items(i)->Count() > 0 &&
            FMenu->LevelCount() <= FLevel + 1)
            FMenu->OpenSubmenu(FLevel, i, false);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TPopupWindow::MouseUp(Button, Shift, X, Y);
        // The release of the press that opened the menu (at the pointer) chooses nothing.
        if (!FArmed) return;
        const int i = ItemAt(X, Y);
        if (Selectable(i) && FParentItem->Items(i)->Count() == 0) Activate(i, false);
    }
    void WndProc(TMessage& Message) override {
        // Leaving the window clears the highlight, unless it leads into the open submenu.
        if (Message.Msg == CM_MOUSELEAVE && Message.LParam == 0 &&
            FMenu->LevelCount() <= FLevel + 1)
            SetHot(-1);
        TPopupWindow::WndProc(Message);
    }
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override {
        TPopupWindow::KeyDown(Key, Shift);
        switch (Key) {
        case VK_UP:
            Step(-1);
            break;
        case VK_DOWN:
            Step(1);
            break;
        case VK_HOME:
            FHot = -1;
            Step(1);
            break;
        case VK_END:
            FHot = -1;
            Step(-1);
            break;
        case VK_RIGHT:
            if (Selectable(FHot) && FParentItem->Items(FHot)->Count() > 0)
                FMenu->OpenSubmenu(FLevel, FHot, true);
            break;
        case VK_LEFT:
            if (FLevel > 0) FMenu->CloseLevelsFrom(FLevel);
            break;
        case VK_ESCAPE:
            FMenu->CloseLevelsFrom(FLevel);
            break;
        case VK_RETURN:
            Activate(FHot, true);
            break;
        default:
            return;
        }
        Key = 0;
    }
    void KeyPress(char32_t& Key) override {
        TPopupWindow::KeyPress(Key);
        if (Key < 32 || !Visible()) return;
        // The items whose accelerator is the letter: the only one is chosen (or opened);
        // among several the highlight moves to the next.
        const char32_t k = UpperAscii(Key);
        std::vector<int> hits;
        for (int i = 0; i < FParentItem->Count(); ++i) {
            const TMenuItem& it = *FParentItem->Items(i);
            if (it.Visible() && !it.IsLine() && GetHotkey(it.Caption()) == k) hits.push_back(i);
        }
        Key = 0;
        if (hits.empty()) return;
        if (hits.size() == 1) {
            Activate(hits[0], true);
            return;
        }
        auto next = std::upper_bound(hits.begin(), hits.end(), FHot);
        SetHot(next == hits.end() ? hits.front() : *next);
        FMenu->CloseLevelsFrom(FLevel + 1);
    }

  private:
    TPopupMenu* FMenu;
    int FLevel;
    TMenuItem* FParentItem;
    int FHot = -1;
    bool FArmed = false; // a press or a move happened here (a release may choose)
};

// ---- TPopupMenu -------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {
    FItems->FMenu = this;
}

TPopupMenu::~TPopupMenu() {
    CloseLevelsFrom(0);
    FLevels.clear();
    for (TMenuWindow* w : FWindows) delete w;
    FWindows.clear();
    FItems.reset();
}

TPopupWindow* TPopupMenu::Level(int Index) const {
    if (Index < 0 || Index >= LevelCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FLevels[std::size_t(Index)];
}

int TPopupMenu::HotIndex(int LevelIndex) const {
    if (LevelIndex < 0 || LevelIndex >= LevelCount()) return -1;
    return FLevels[std::size_t(LevelIndex)]->Hot();
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::OpenSubmenu(int LevelIndex, int ItemIndex, bool SelectFirst) {
    TMenuWindow* parent = FLevels[std::size_t(LevelIndex)];
    TMenuItem* item = parent->ParentItem()->Items(ItemIndex);
    if (LevelCount() > LevelIndex + 1 &&
        FLevels[std::size_t(LevelIndex) + 1]->ParentItem() == item) {
        if (SelectFirst && FLevels[std::size_t(LevelIndex) + 1]->Hot() < 0)
            FLevels[std::size_t(LevelIndex) + 1]->Step(1);
        return;
    }
    CloseLevelsFrom(LevelIndex + 1);
    parent->SetHot(ItemIndex);
    TMenuWindow* w = LevelWindow(LevelIndex + 1, item);
    FLevels.push_back(w);
    w->Layout();
    TRect row = parent->RowRect(ItemIndex);
    const TPoint o = parent->ClientOrigin();
    // Beside the item's row, overlapping the parent's frame, items level with the row.
    w->PopupBeside(Rect(o.X, o.Y + row.Top - TMenuMetrics::Border,
                        o.X + parent->ClientWidth() - TMenuMetrics::Border, o.Y + row.Bottom));
    if (SelectFirst) w->Step(1);
}

void TPopupMenu::CloseLevelsFrom(int LevelIndex) {
    // The windows are hidden, not deleted: one of them may be running the handler that closes
    // them, and each level's window serves the next menu too (the menu deletes them).
    for (int i = LevelCount() - 1; i >= std::max(LevelIndex, 0); --i) {
        TMenuWindow* w = FLevels[std::size_t(i)];
        w->ClosePopup();
        if (i > 0) FLevels.erase(FLevels.begin() + i);
    }
}

TMenuWindow* TPopupMenu::LevelWindow(int LevelIndex, TMenuItem* Parent) {
    while (int(FWindows.size()) <= LevelIndex)
        FWindows.push_back(new TMenuWindow(this, int(FWindows.size()), Parent));
    TMenuWindow* w = FWindows[std::size_t(LevelIndex)];
    w->Reset(Parent);
    return w;
}

void TPopupMenu::Choose(TMenuItem* Item) {
    FChosen = Item;
    CloseLevelsFrom(0);
}

void TPopupMenu::ItemGone(TMenuItem* Item) {
    if (FChosen == Item) FChosen = nullptr;
    // An open level showing the item (or lying below it) closes.
    for (int i = 0; i < LevelCount(); ++i)
        for (const TMenuItem* p = FLevels[std::size_t(i)]->ParentItem(); p != nullptr;
             p = p->Parent())
            if (p == Item) {
                CloseLevelsFrom(i);
                return;
            }
}

void TPopupMenu::CloseMenu() { CloseLevelsFrom(0); }

void TPopupMenu::Popup(int X, int Y) {
    if (IsOpen()) return;
    if (FOnPopup) FOnPopup(this);
    FChosen = nullptr;
    TMenuWindow* w = LevelWindow(0, FItems.get());
    FLevels.push_back(w);
    auto cleanup = [this] {
        CloseLevelsFrom(0);
        FLevels.clear();
    };
    try {
        w->Layout();
        w->PopupAt({X, Y});
        // The menu is modal: host turns until it closed, or until a modal result is set on
        // its window (as on a modal form: the loop would otherwise never end).
        w->SetModalResult(mrNone);
        while (w->IsOpen() && w->ModalResult() == mrNone && !Application->Terminated())
            FormHost().ModalLoopStep(w);
    } catch (...) {
        cleanup();
        throw;
    }
    cleanup();
    if (FOnClose) FOnClose(this);
    // The chosen item's OnClick runs from the message loop, after Popup returned.
    if (FChosen != nullptr) {
        Application->PostCall([h = FChosen->Handle()] {
            if (*h != nullptr) (*h)->Click();
        });
        FChosen = nullptr;
    }
}

// ---- A control's PopupMenu --------------------------------------------------------------------

namespace {

const bool popupHookInstalled = [] {
    // A form file's "PopupMenu = Name" names a component; this is how it becomes a menu.
    TControl::SetPopupMenuCast(
        [](TComponent* c) -> TPopupMenu* { return dynamic_cast<TPopupMenu*>(c); });
    TControl::SetPopupMenuHandler([](TPopupMenu* Menu, TControl* Control, TPoint ScreenPos) {
        if (Menu == nullptr || !Menu->AutoPopup()) return;
        Menu->SetPopupComponent(Control);
        Menu->Popup(ScreenPos.X, ScreenPos.Y);
    });
    return true;
}();

// ---- Published properties ---------------------------------------------------------------------

// A form file nests each item in the block of its parent item (the menu's block for the first
// level), so the tree reads back as it was.
std::vector<TComponent*> SubitemsOf(const TMenuItem& Item) {
    std::vector<TComponent*> out;
    out.reserve(std::size_t(std::max(Item.Count(), 0)));
    for (int i = 0; i < Item.Count(); ++i) out.push_back(Item.Items(i));
    return out;
}

void AppendSubitem(TMenuItem& Parent, TComponent& Child) {
    auto* item = dynamic_cast<TMenuItem*>(&Child);
    if (item == nullptr)
        throw EMenuError("a " + Child.ClassName() + " cannot be an item of a menu");
    if (item->Parent() != nullptr) item->Parent()->Remove(item);
    Parent.Add(item);
}

const TClassRegistrar<TMenuItem> menuItemReg("TMenuItem", "TComponent", [](auto& p) {
    using M = TMenuItem;
    p.Children([](const M& m) { return SubitemsOf(m); },
               [](M& m, TComponent& c) { AppendSubitem(m, c); });
    p.String("Caption", &M::Caption, &M::SetCaption, "");
    p.Bool("Enabled", &M::Enabled, &M::SetEnabled, true);
    p.Bool("Visible", &M::Visible, &M::SetVisible, true);
    p.Bool("Checked", &M::Checked, &M::SetChecked, false);
    p.String("Hint", &M::Hint, &M::SetHint, "");
});

const TClassRegistrar<TPopupMenu> popupMenuReg("TPopupMenu", "TComponent", [](auto& p) {
    p.Children([](const TPopupMenu& m) { return SubitemsOf(*m.Items()); },
               [](TPopupMenu& m, TComponent& c) { AppendSubitem(*m.Items(), c); });
    p.Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true);
});

} // namespace

namespace detail {
void LinkMenus() {}
} // namespace detail

} // namespace kel
