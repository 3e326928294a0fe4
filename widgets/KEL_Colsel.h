// TColSel: a colour selector. An owner-drawn drop-down list of up to 47 colour entries, each
// shown as a colour bar and a name; entries marked editable can be redefined by the user through
// the colour dialog (TColorDialog): with the mouse over the colour bar of the closed box, opening
// the list first asks for a new colour of the selected entry. The entries start as the table of
// predefined colours (Kel_kelcolors.h); four palettes load parts of it.
//
// Entries are numbered 1..47; list item j (0-based) shows entry j + 1 and carries that entry's
// name as its text, so the items can be searched by name (typing a prefix in the box) and the
// list text always says what is shown. Entry names come from ColorToString (a named colour's
// identifier such as "clRed", otherwise "$" and eight hex digits); whenever the selector names
// an entry from a colour, OnColorNameChange may replace the name.
//
// Choices where the rules leave room:
// - The list is filled when the selector is created and again after a form file is read
//   (Loaded), when NumColors changes and when a palette is loaded. A SelColor read from a form
//   file is looked up in Loaded, among the entries the whole file left.
// - Every name, wherever it comes from (ColorToString, an OnColorNameChange handler,
//   SetColorNames), is cut to its first ColSelMaxNameLength characters (code points).
// - ColorNames[Index] can be written for 1..NumColors: it renames the entry and its list item
//   (the selection stays where it is; no OnColorNameChange, since no colour was named).
// - Picking an item with the mouse, the keys, the wheel or a typed prefix is the selector's
//   click: Click makes the item's entry the selected one, then fires OnClick; OnChange follows
//   as the combo box fires it for user actions.
// - Items are drawn with black text on Color, also the highlighted one: the open list marks it
//   with the focus frame the combo box draws round the focused row of an owner-drawn list.
// - "While the mouse is over the colour bar" ends when the mouse leaves the box, so a key that
//   opens the list later (F4, Alt+Down) asks for no colour.
// - Changing an entry's colour through the dialog fires OnChange (the entry changed), then
//   OnColorNameChange; the list then opens as usual.
#pragma once

#include "kel_combobox.h"
#include "kel_graphics.h"

#include <array>
#include <functional>
#include <string>
#include <utility>

namespace kel {

// Sender and the name the selector is about to give an entry; the handler may replace it.
using TOnColorNameChangeEvent = std::function<void(TObject* Sender, std::string& ColorName)>;

// Entries of a colour selector, and the longest name (characters) an entry keeps.
constexpr int ColSelMaxColors = 47;
constexpr int ColSelMaxNameLength = 50;

// The colour of the edit mark drawn in an editable entry's bar: clWhite when the brightness
// sqrt(R^2 + 2 G^2 + B^2) / 2 of the entry's RGB value is at most 180, else clBlack. Pure, for
// tests.
TColor ColSelEditMarkColor(TColor Entry);

class TColSel : public TCustomComboBox {
  public:
    // 145 wide, owner-drawn fixed items, not sorted; all 47 entries from PredefinedColors with
    // their ColorToString names, none editable; 20 offered, entry 1 selected.
    explicit TColSel(TComponent* AOwner);
    std::string ClassName() const override { return "TColSel"; }

    // --- published properties (defaults in brackets) ---
    // Width of the colour bar in each item, pixels; negative values are ignored [30]. 0 shows
    // names only; 11 or less shows bars without edit marks.
    int ColorBarWidth() const { return FColorBarWidth; }
    void SetColorBarWidth(int Value);
    // Entries offered in the list, 1..47 (other values are ignored); a change selects entry 1
    // and refills the list [20].
    int NumColors() const { return FNumColors; }
    void SetNumColors(int Value);
    // The selected entry's colour [entry 1: clBlack]. Writing searches entries 1..NumColors for
    // the first whose RGB value (system colours resolved) equals the new one's and selects it;
    // when none does, the selected entry takes the colour and the name ColorToString(RGB value)
    // (OnColorNameChange may change it).
    TColor SelColor() const;
    void SetSelColor(TColor Value);
    // Inherited and published as well: Enabled [true], Color [clWindow], DropDownCount [8],
    // Font, ParentColor, ParentFont, ShowHint, ParentShowHint, StyleElements, TabOrder,
    // TabStop, Visible, Anchors, and OnChange, OnClick, OnDropDown, OnEnter, OnExit.

    // --- public properties ---
    // Colour of entry Index; reads 0 outside 1..NumColors. Writing inside that range stores the
    // colour, names it with ColorToString, fires OnColorNameChange and stores the name.
    TColor Colors(int Index) const;
    void SetColors(int Index, TColor Value);
    // Name of entry Index; reads "" outside 1..NumColors. Writing inside that range renames the
    // entry (cut to ColSelMaxNameLength characters); outside it is ignored.
    std::string ColorNames(int Index) const;
    void SetColorNames(int Index, const std::string& Value);
    // Whether the user may redefine entry Index; reads false outside 1..NumColors, writing
    // outside it is ignored.
    bool ColorEditAllowed(int Index) const;
    void SetColorEditAllowed(int Index, bool Value);
    // The selected entry's name; "" while no item is selected.
    std::string SelColorID() const;
    // The selected entry, 1..NumColors.
    int SelColorIndex() const { return FSelColorIx; }

    // Palettes over PredefinedColors: each sets NumColors, selects entry 1, stores every colour
    // with its ColorToString name (firing OnColorNameChange for each) and refills the list.
    void LoadBasicVGAPalette();      // 16 entries from PredefinedColors[0..15]
    void LoadExtendedPalette();      // 20 entries from [0..19]
    void LoadStandardPalette();      // 47 entries from [0..46]
    void LoadWindowsSystemPalette(); // 27 entries from [20..46]
    // All 47 entries editable / not editable.
    void SetAllColorEditFlags();
    void ResetAllColorEditFlags();

    const TOnColorNameChangeEvent& OnColorNameChange() const { return FOnCNameChange; }
    void SetOnColorNameChange(TOnColorNameChangeEvent Handler) {
        FOnCNameChange = std::move(Handler);
    }

  protected:
    void Loaded() override;
    // The selected item's entry becomes the selected entry; then OnClick.
    void Click() override;
    // A pick by the user: Click, then the combo box's OnSelect.
    void Select() override;
    // With the mouse last over the colour bar and the selected entry editable: the colour
    // dialog, started at the entry's colour; OK redefines the entry. Then OnDropDown.
    void DropDown() override;
    // Notes whether the mouse is over the colour bar (X < ColorBarWidth); leaving the box
    // clears the note.
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    // The colour bar (with the edit mark of an editable entry) and the name.
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

  private:
    // Stores the name (cut) of entry Index (1..47) and the text of its list item.
    void StoreName(int Index, const std::string& Name);
    // Names entry Index from Color: Name, OnColorNameChange, stored.
    void NameFromColor(int Index, const std::string& Name);
    // Fills the list with the names of entries 1..NumColors and selects the selected entry.
    void FillList();
    // Repaints the box and an open list.
    void RefreshList();
    void LoadPalette(int Count, int First);

    std::array<TColor, ColSelMaxColors> FColors{};
    std::array<std::string, ColSelMaxColors> FColorNames;
    std::array<bool, ColSelMaxColors> FIsUserEditable{};
    int FNumColors = 20;
    int FSelColorIx = 1;
    int FColorBarWidth = 30;
    int FMouseAreaCode = 0;
    TColor FLoadedSelColor = clBlack; // SelColor read from a form file, set in Loaded
    bool FLoadedSelColorPending = false;
    TOnColorNameChangeEvent FOnCNameChange;
};

} // namespace kel
