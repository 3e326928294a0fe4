// The combo box: an edit box with a list of items that drops down on the popup layer
// (kel_popup.h), or shows below the edit (csSimple), or replaces the edit by the chosen item
// (csDropDownList, and the owner-drawn styles whose items DrawItem paints).
//
// OnChange fires for user actions only: typing in the edit, picking an item with the mouse,
// the arrow keys or a typed prefix; once per action. Assigning Text or ItemIndex in code fires
// nothing. OnDropDown fires just before the list opens (a handler may still fill Items),
// OnCloseUp after it closed (after the OnChange of a pick). Alt+Down and F4 open and close the
// list; while it is open Up/Down/PgUp/PgDn/Home/End move the highlight in it, Enter takes the
// highlighted item, Escape (or a press outside the list) closes it without a change. Closed,
// Up/Down step ItemIndex. In csDropDownList typed characters search the items by prefix
// (characters typed within a second of each other extend the prefix; one letter typed again
// moves on to the next item with that letter); in csDropDown typing completes the text from
// the first item it begins (the completed part selected).
//
// Index: styles and owner-draw states; TCustomComboBox; TComboBox.
#pragma once

#include "kel_popup.h"
#include "kel_stdctrls.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

namespace kel {

enum TComboBoxStyle : std::uint8_t {
    csDropDown,
    csSimple,
    csDropDownList,
    csOwnerDrawFixed,
    csOwnerDrawVariable
};

// The state an item is drawn in (the platform's ordinal order).
enum TOwnerDrawStateItem : std::uint8_t {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odReserved1,
    odReserved2,
    odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

class TComboListWindow;

// ---- TCustomComboBox --------------------------------------------------------------------------

class TCustomComboBox : public TCustomEdit {
  public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;
    std::string ClassName() const override { return "TCustomComboBox"; }

    TComboBoxStyle Style() const { return FStyle; } // default csDropDown
    void SetStyle(TComboBoxStyle Value);
    // The items (owned). Changing them keeps ItemIndex on the same text where it can.
    TStringList& Items() { return FItems; }
    const TStringList& Items() const { return FItems; }
    void SetItems(const TStringList& Value) { FItems.Assign(&Value); }
    // The selected item, -1 for none. Assigning selects it and sets Text (out of range: -1 and
    // an empty text); it fires no OnChange.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // Rows the list shows at once (default 8, at least 1).
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = std::max(Value, 1); }
    // Height of a list row; 0 (default) = the font's text height + 2.
    int ItemHeight() const;
    void SetItemHeight(int Value);
    // The height set with SetItemHeight (0: the font's), as form files store it.
    int ItemHeightSetting() const { return FItemHeight; }
    // Whether the list is open; setting opens or closes it (closing takes no item).
    bool DroppedDown() const { return FDropped; }
    void SetDroppedDown(bool Value);
    // The canvas DrawItem draws on: the list's while a list row is drawn, else the control's.
    TCanvas& Canvas();
    // The open list window (null while closed), and the highlighted row in it.
    TComboListWindow* ListWindow() const { return FDropped ? FList : nullptr; }
    int ListHotIndex() const { return FHot; }
    // Width of the drop-down button (0 for csSimple).
    int ButtonWidth() const;
    // The button's rectangle (client coordinates; empty for csSimple).
    TRect ButtonRect() const;
    TRect TextArea() const override;

    TNotifyEvent OnDropDown() const { return FOnDropDown; }
    void SetOnDropDown(TNotifyEvent e) { FOnDropDown = std::move(e); }
    TNotifyEvent OnCloseUp() const { return FOnCloseUp; }
    void SetOnCloseUp(TNotifyEvent e) { FOnCloseUp = std::move(e); }
    // When the user picked an item (before OnChange).
    TNotifyEvent OnSelect() const { return FOnSelect; }
    void SetOnSelect(TNotifyEvent e) { FOnSelect = std::move(e); }
    TDrawItemEvent OnDrawItem() const { return FOnDrawItem; }
    void SetOnDrawItem(TDrawItemEvent e) { FOnDrawItem = std::move(e); }

  protected:
    // Draws item Index in Rect on Canvas (brush and font prepared by the state): fires
    // OnDrawItem when assigned, else fills Rect and writes the text 2 pixels from its left. In
    // an owner-drawn style the focused row of the list gets the focus frame afterwards.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    // Just before the list opens: fires OnDropDown.
    virtual void DropDown();
    // After the list closed: fires OnCloseUp.
    virtual void CloseUp();
    // The user picked an item: fires OnSelect.
    virtual void Select();
    // Every change of the text ends here; the combo box keeps OnChange for user actions.
    void Change() override;

    void Paint() override;
    void WndProc(TMessage& Message) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void EditKeyDown(std::uint16_t Key, TShiftState Shift) override;
    void EditChar(char32_t Ch) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

  private:
    friend class TComboListWindow;
    bool ListStyle() const { return FStyle >= csDropDownList; }
    bool OwnerDraw() const { return FStyle >= csOwnerDrawFixed; }
    // Height of the edit part (the whole control unless csSimple).
    int EditHeight() const;
    TRect SimpleListRect() const;
    void ItemsChanged();
    // Runs a user action; OnChange fires once afterwards if it changed the text or ItemIndex.
    template <class F>
    void UserAction(F Action);
    void UserSelect(int Index);
    void CloseList(bool Accept);
    void SetHot(int Value);
    int ListRows() const;
    void SetTopIndex(int Value);
    // Paints rows From.. of the items into Area (list window or csSimple list) on C.
    void PaintRows(TCanvas& C, const TRect& Area, int Top, int Highlight, bool Focused);
    void PrefixSearch(char32_t Ch);

    TComboBoxStyle FStyle = csDropDown;
    TStringList FItems;
    int FItemIndex = -1;
    int FDropDownCount = 8;
    int FItemHeight = 0;
    bool FDropped = false;
    TComboListWindow* FList = nullptr;
    int FHot = -1;     // highlighted row of the open list
    int FTopIndex = 0; // first row shown (list window or csSimple list)
    bool FSettingIndex = false;
    int FUserDepth = 0;
    bool FChangePending = false;
    char32_t FSwallowChar = 0; // the Enter/Esc character of a key that closed the list
    std::string FSearch;
    std::int64_t FSearchTime = -100000;
    TCanvas* FDrawCanvas = nullptr;
    TNotifyEvent FOnDropDown, FOnCloseUp, FOnSelect;
    TDrawItemEvent FOnDrawItem;
};

// The drop-down list of a combo box: a popup window that leaves the keys with the combo box.
class TComboListWindow : public TPopupWindow {
  public:
    explicit TComboListWindow(TCustomComboBox* Combo);
    std::string ClassName() const override { return "TComboListWindow"; }
    // The item at a client point, -1 when none.
    int ItemAt(int X, int Y) const;
    // The row rectangle of item Index (client coordinates; empty when scrolled out).
    TRect RowRect(int Index) const;

  protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

  private:
    // Width of the scroll bar at the right (0 when every item fits).
    int BarWidth() const;
    TCustomComboBox* FCombo;
};

// ---- TComboBox --------------------------------------------------------------------------------

// The combo box forms create; its published properties are registered in combobox.cpp.
class TComboBox : public TCustomComboBox {
  public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
    std::string ClassName() const override { return "TComboBox"; }
};

} // namespace kel
