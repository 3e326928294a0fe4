// Popup menus: TPopupMenu with a tree of TMenuItem, shown on the popup layer (kel_popup.h).
//
// Popup(X, Y) fires OnPopup, opens the menu with its top-left at the screen point and runs a
// loop (host turns, as a modal form does) until the menu closes; the chosen item's OnClick runs
// afterwards from the message loop, so when it runs the menu is gone and Popup has returned.
// While open the menu takes the keys: Up/Down move among the enabled items, Right or Enter opens
// a submenu, Left or Escape closes one, Enter or Space chooses, a letter chooses the item whose
// accelerator ("&File") it is (or moves among several). Pointing at an item with a submenu opens
// it; releasing a button on an enabled item chooses it; a press outside, or Escape on the first
// level, closes the menu without a choice. A control's PopupMenu opens on a right-button release
// at the pointer (installed by this unit through TControl::SetPopupMenuHandler).
//
// Items: a caption "-" is a separator; "&x" marks the accelerator x ("&&" is "&"); disabled
// items are drawn greyed and cannot be chosen; invisible ones are left out; Checked draws a
// check mark; Bitmap is drawn left of the caption with its bottom-left pixel colour transparent.
// An item with children is a submenu (only leaves fire OnClick). Each item frees its children;
// the menu frees its root item.
//
// Index: accelerator helpers; EMenuError; TMenuItem; TPopupMenu; menu drawing metrics.
#pragma once

#include "kel_classes.h"
#include "kel_controls.h"
#include "kel_graphics.h"
#include "kel_popup.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kel {

// ---- Accelerators -----------------------------------------------------------------------------

// The caption without its accelerator marks: "&File" -> "File", "A && B" -> "A & B".
std::string StripHotkey(const std::string& Caption);
// The accelerator character of a caption (upper-cased for ASCII letters), 0 when none.
char32_t GetHotkey(const std::string& Caption);
// Byte index into StripHotkey(Caption) of the accelerator character, -1 when none.
int HotkeyIndex(const std::string& Caption);

class EMenuError : public Exception {
    using Exception::Exception;
};

class TPopupMenu;

// ---- TMenuItem --------------------------------------------------------------------------------

// One entry of a menu, and the list of its subitems.
class TMenuItem : public TComponent {
  public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees the subitems and leaves the parent item.
    ~TMenuItem() override;
    std::string ClassName() const override { return "TMenuItem"; }

    // --- looks and state ---
    const std::string& Caption() const { return FCaption; } // "-" = separator
    void SetCaption(const std::string& Value) { FCaption = Value; }
    bool Enabled() const { return FEnabled; } // default true
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool Visible() const { return FVisible; } // default true
    void SetVisible(bool Value) { FVisible = Value; }
    bool Checked() const { return FChecked; } // default false
    void SetChecked(bool Value) { FChecked = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    // Drawn left of the caption (owned; empty by default); its bottom-left colour is transparent.
    TBitmap& Bitmap() { return *FBitmap; }
    const TBitmap& Bitmap() const { return *FBitmap; }
    void SetBitmap(const TBitmap& Value) { FBitmap->Assign(&Value); }
    bool IsLine() const { return FCaption == "-"; }

    // --- subitems ---
    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int Index) const; // raises EListError when out of range
    TMenuItem* Parent() const { return FParent; }
    // Position within the parent, -1 without parent.
    int MenuIndex() const;
    int IndexOf(const TMenuItem* Item) const;
    // Appends / inserts an item (0 <= Index <= Count); the item must not lie in a menu yet
    // (EMenuError "Menu inserted twice").
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Removes the item at Index and frees it.
    void Delete(int Index);
    // Takes Item out of this item's list without freeing it (the caller owns it then).
    void Remove(TMenuItem* Item);
    // Frees every subitem.
    void Clear();
    // The popup menu whose tree this item lies in, or null.
    TPopupMenu* GetParentMenu() const;

    // Fires OnClick (the menu calls it for the chosen leaf after closing).
    virtual void Click();
    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent e) { FOnClick = std::move(e); }

    // A weak handle: reads null once the item is deleted.
    std::shared_ptr<TMenuItem* const> Handle() const { return FSelfRef; }

  private:
    friend class TPopupMenu;
    std::string FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    std::string FHint;
    std::unique_ptr<TBitmap> FBitmap;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TPopupMenu* FMenu = nullptr; // set on the root item of a popup menu
    std::shared_ptr<TMenuItem*> FSelfRef;
    TNotifyEvent FOnClick;
};

// ---- TPopupMenu -------------------------------------------------------------------------------

class TMenuWindow;

class TPopupMenu : public TComponent {
  public:
    explicit TPopupMenu(TComponent* AOwner);
    // Closes the menu when open and frees the items.
    ~TPopupMenu() override;
    std::string ClassName() const override { return "TPopupMenu"; }

    // The root item; its subitems are the menu's first level.
    TMenuItem* Items() const { return FItems.get(); }
    // Fires OnPopup, opens the menu at the screen point and returns when it closed; the chosen
    // item's Click is posted to the message loop. A menu that is open already does nothing.
    virtual void Popup(int X, int Y);
    // Closes the open menu without a choice (from code: a timer, say).
    void CloseMenu();
    bool IsOpen() const { return !FLevels.empty(); }
    // The open levels, first level first (for tests and hosts): each is a popup window.
    int LevelCount() const { return int(FLevels.size()); }
    TPopupWindow* Level(int Index) const;
    // The highlighted item of a level (index into its parent's items), -1 for none.
    int HotIndex(int Level) const;

    // The control that opened the menu through its PopupMenu (null when opened from code).
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    // A right-button release on a control with this PopupMenu opens it. Default true.
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }

    // Just before the menu opens: the place to enable, check or hide items.
    TNotifyEvent OnPopup() const { return FOnPopup; }
    void SetOnPopup(TNotifyEvent e) { FOnPopup = std::move(e); }
    // After the menu closed, before the chosen item's OnClick.
    TNotifyEvent OnClose() const { return FOnClose; }
    void SetOnClose(TNotifyEvent e) { FOnClose = std::move(e); }

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    friend class TMenuWindow;
    friend class TMenuItem;
    // Opens the submenu of Item beside its row in level Level (closing deeper levels).
    void OpenSubmenu(int Level, int ItemIndex, bool SelectFirst);
    void CloseLevelsFrom(int Level);
    // The window of a level (made on first use, kept for later menus), showing Parent's items.
    TMenuWindow* LevelWindow(int Level, TMenuItem* Parent);
    void Choose(TMenuItem* Item);
    void ItemGone(TMenuItem* Item);

    std::unique_ptr<TMenuItem> FItems;
    std::vector<TMenuWindow*> FLevels;  // the open levels
    std::vector<TMenuWindow*> FWindows; // one window per level, kept
    TMenuItem* FChosen = nullptr;
    TComponent* FPopupComponent = nullptr;
    bool FAutoPopup = true;
    TNotifyEvent FOnPopup, FOnClose;
};

// ---- Drawing metrics (shared by the menu window and pictures of menus) -----------------------

struct TMenuMetrics {
    static constexpr int Border = 3;     // frame around the items
    static constexpr int Gutter = 22;    // check mark / bitmap column left of the captions
    static constexpr int ArrowArea = 20; // right of the captions: submenu arrow
    static constexpr int SeparatorHeight = 8;
};

// Size of one item row with the canvas's font: separators SeparatorHeight, others the text
// height + 6 (at least the bitmap's height + 4).
int MenuItemHeight(const TCanvas& C, const TMenuItem& Item);
// Paints the visible subitems of Parent into Bounds (the whole window, frame included), with
// the item at HotIndex (index into Parent's items) highlighted.
void PaintMenu(TCanvas& C, const TRect& Bounds, const TMenuItem& Parent, int HotIndex);
// The window size PaintMenu needs for Parent's visible subitems.
TSize MenuSize(const TCanvas& C, const TMenuItem& Parent);

} // namespace kel
