// The combo box (see kel_combobox.h): items and selection, the user-action rule of OnChange,
// the drop-down list on the popup layer, keys, mouse, prefix search, painting of the closed box,
// the button and the list rows, and the published properties of TComboBox.
//
// Index: helpers; construction and properties; user actions; the list; keys; mouse; painting;
// TComboListWindow; published properties.
#include "kel_combobox.h"

#include "kel_props.h"
#include "kel_setter.h"
#include "kel_utf8.h"

#include <algorithm>

namespace kel {

namespace {

constexpr int kButtonWidth = 17;
constexpr std::int64_t kSearchPauseMs = 1000;

void Fill(TCanvas& C, const TRect& R, TColor Color) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
}

// Whether Item begins with Prefix, ignoring case as the string lists do.
bool StartsWith(const std::string& Item, const std::string& Prefix) {
    if (Prefix.size() > Item.size()) return false;
    return CompareStrings(Item.substr(0, Prefix.size()), Prefix, false) == 0;
}

} // namespace

// ---- Construction and properties --------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomEdit(AOwner) {
    ExcludeStyle(csSetCaption); // a new combo box shows no name
    SetCursor(crDefault);
    InitBounds(Left(), Top(), 145, Height());
    FItems.SetOnChange([this](TObject*) { ItemsChanged(); });
}

TCustomComboBox::~TCustomComboBox() {
    FItems.SetOnChange(nullptr);
    if (FList != nullptr) {
        // The list may be running the handler that deletes this box (an OnChange of a pick):
        // it closes now and goes from the message loop.
        TComboListWindow* l = FList;
        FList = nullptr;
        l->SetOnDismiss(nullptr);
        l->ClosePopup();
        RemoveComponent(l);
        Application->PostCall([h = l->Handle()] {
            if (*h != nullptr) delete *h;
        });
    }
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle) return;
    if (FDropped) CloseList(false);
    FStyle = Value;
    if (FStyle == csSimple) {
        SetAutoSize(false);
        if (Height() < 3 * EditHeight()) SetHeight(EditHeight() + 6 * ItemHeight() + 4);
    } else {
        SetAutoSize(true);
    }
    if (ListStyle() && FItemIndex < 0 && !Text().empty()) {
        FSettingIndex = true;
        SetText(std::string());
        FSettingIndex = false;
    }
    SetCursor(ListStyle() ? crDefault : crIBeam);
    Invalidate();
}

int TCustomComboBox::ItemHeight() const {
    if (FItemHeight > 0) return FItemHeight;
    TCanvas& c = const_cast<TCustomComboBox*>(this)->ControlCanvas();
    c.Font().Assign(&Font());
    return c.TextHeight("Wg") + 2;
}

void TCustomComboBox::SetItemHeight(int Value) {
    if (SetField(FItemHeight, std::max(Value, 0))) Invalidate();
}

int TCustomComboBox::EditHeight() const {
    if (FStyle != csSimple) return Height();
    TCanvas& c = const_cast<TCustomComboBox*>(this)->ControlCanvas();
    c.Font().Assign(&Font());
    return c.TextHeight("Wg") + 2 * BorderWidth() + 4;
}

int TCustomComboBox::ButtonWidth() const { return FStyle == csSimple ? 0 : kButtonWidth; }

TRect TCustomComboBox::ButtonRect() const {
    if (FStyle == csSimple) return {};
    const int b = BorderWidth();
    return Rect(std::max(b, Width() - b - kButtonWidth), b, Width() - b, Height() - b);
}

TRect TCustomComboBox::TextArea() const {
    TRect r = TCustomEdit::TextArea();
    if (FStyle == csSimple) {
        r.Bottom = std::min(r.Bottom, EditHeight() - BorderWidth() - 1);
    } else {
        r.Right = std::max(r.Left, ButtonRect().Left - 1);
    }
    return r;
}

TRect TCustomComboBox::SimpleListRect() const {
    const int b = BorderWidth();
    return Rect(b, EditHeight(), Width() - b, std::max(EditHeight(), Height() - b));
}

TCanvas& TCustomComboBox::Canvas() {
    return FDrawCanvas != nullptr ? *FDrawCanvas : ControlCanvas();
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems.Count()) Value = -1;
    if (Value == FItemIndex && (Value < 0 ? Text().empty() : Text() == FItems[Value])) return;
    FItemIndex = Value;
    FSettingIndex = true;
    SetText(Value >= 0 ? FItems[Value] : std::string());
    FSettingIndex = false;
    if (Focused() && !ListStyle()) SelectAll();
    if (FStyle == csSimple && Value >= 0) {
        const int rows = std::max(1, SimpleListRect().Height() / std::max(1, ItemHeight()));
        if (Value < FTopIndex) FTopIndex = Value;
        if (Value >= FTopIndex + rows) FTopIndex = Value - rows + 1;
    }
    Invalidate();
}

void TCustomComboBox::ItemsChanged() {
    // The selection stays on its text where it can; a list-only box shows nothing without one.
    if (FItemIndex >= FItems.Count() || (FItemIndex >= 0 && FItems[FItemIndex] != Text()))
        FItemIndex = Text().empty() ? -1 : FItems.IndexOf(Text());
    if (ListStyle() && FItemIndex < 0 && !Text().empty()) {
        FSettingIndex = true;
        SetText(std::string());
        FSettingIndex = false;
    }
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, FItems.Count() - 1));
    if (FDropped) {
        FHot = std::min(FHot, FItems.Count() - 1);
        if (FList != nullptr) FList->Invalidate();
    }
    Invalidate();
}

// ---- User actions -----------------------------------------------------------------------------

void TCustomComboBox::Change() {
    // Text assigned in code fires nothing; a user action fires once when it ends.
    if (FUserDepth > 0) FChangePending = true;
}

template <class F>
void TCustomComboBox::UserAction(F Action) {
    const int oldIndex = FItemIndex;
    ++FUserDepth;
    try {
        Action();
    } catch (...) {
        --FUserDepth;
        FChangePending = false;
        throw;
    }
    if (--FUserDepth > 0) return;
    const bool fire = FChangePending || FItemIndex != oldIndex;
    FChangePending = false;
    if (fire) TCustomEdit::Change(); // OnChange
}

void TCustomComboBox::UserSelect(int Index) {
    if (Index < 0 || Index >= FItems.Count() || Index == FItemIndex) return;
    UserAction([&] {
        SetItemIndex(Index);
        Select();
    });
}

void TCustomComboBox::Select() {
    if (FOnSelect) FOnSelect(this);
}

void TCustomComboBox::DropDown() {
    if (FOnDropDown) FOnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (FOnCloseUp) FOnCloseUp(this);
}

// ---- The list ---------------------------------------------------------------------------------

int TCustomComboBox::ListRows() const {
    return std::max(1, std::min(FDropDownCount, FItems.Count()));
}

void TCustomComboBox::SetTopIndex(int Value) {
    const int rows = FStyle == csSimple
                         ? std::max(1, SimpleListRect().Height() / std::max(1, ItemHeight()))
                         : ListRows();
    Value = std::clamp(Value, 0, std::max(0, FItems.Count() - rows));
    if (Value == FTopIndex) return;
    FTopIndex = Value;
    if (FList != nullptr && FDropped) FList->Invalidate();
    Invalidate();
}

void TCustomComboBox::SetHot(int Value) {
    Value = std::clamp(Value, -1, FItems.Count() - 1);
    if (Value >= 0) {
        if (Value < FTopIndex) SetTopIndex(Value);
        if (Value >= FTopIndex + ListRows()) SetTopIndex(Value - ListRows() + 1);
    }
    if (Value == FHot) return;
    FHot = Value;
    if (FList != nullptr && FDropped) FList->Invalidate();
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (Value == FDropped || FStyle == csSimple) return;
    if (!Value) {
        CloseList(false);
        return;
    }
    if (GetParentForm(this) == nullptr || !Showing()) return;
    auto alive = Handle();
    DropDown();
    if (*alive == nullptr || FDropped) return;
    if (FList == nullptr) FList = new TComboListWindow(this);
    FList->SetFont(Font());
    FHot = -1;
    FTopIndex = 0;
    const int h = ListRows() * ItemHeight() + 2;
    FList->SetBounds(FList->Left(), FList->Top(), Width(), h);
    SetHot(FItemIndex);
    if (FItemIndex >= 0) SetTopIndex(FItemIndex - ListRows() + 1);
    const TPoint o = ClientToScreen({0, 0});
    FDropped = true;
    FList->PopupBelow(Bounds(o.X, o.Y, Width(), Height()));
    Invalidate();
}

void TCustomComboBox::CloseList(bool Accept) {
    if (!FDropped) return;
    FDropped = false;
    auto alive = Handle();
    if (FList != nullptr) FList->ClosePopup();
    Invalidate();
    if (Accept && FHot >= 0) UserSelect(FHot);
    if (*alive == nullptr) return;
    CloseUp();
}

// ---- Keys -------------------------------------------------------------------------------------

void TCustomComboBox::WMGetDlgCode(TMessage& Message) {
    TCustomEdit::WMGetDlgCode(Message);
    // While the list is open Enter and Escape are the list's, not the form's.
    if (FDropped) Message.Result |= DLGC_WANTALLKEYS;
}

void TCustomComboBox::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    TCustomEdit::KeyDown(Key, Shift);
    if (Key == 0) return;
    const bool alt = Shift.contains(ssAlt);
    if ((Key == VK_DOWN || Key == VK_UP) && alt) {
        if (FDropped)
            CloseList(true);
        else if (Key == VK_DOWN)
            SetDroppedDown(true);
        Key = 0;
        return;
    }
    if (Key == VK_F4 && !alt) {
        if (FDropped)
            CloseList(true);
        else
            SetDroppedDown(true);
        Key = 0;
        return;
    }
    const int page = std::max(1, (FDropped ? ListRows() : FDropDownCount) - 1);
    const int last = FItems.Count() - 1;
    int target = -2; // the row the key moves to, -2: not a moving key
    const int from = FDropped ? FHot : FItemIndex;
    switch (Key) {
    case VK_UP:
        target = from < 0 ? 0 : std::max(from - 1, 0);
        break;
    case VK_DOWN:
        target = from < 0 ? 0 : std::min(from + 1, last);
        break;
    case VK_PRIOR:
        target = std::max(from - page, 0);
        break;
    case VK_NEXT:
        target = std::min(std::max(from, 0) + page, last);
        break;
    case VK_HOME:
        if (FDropped || ListStyle()) target = 0;
        break;
    case VK_END:
        if (FDropped || ListStyle()) target = last;
        break;
    case VK_RETURN:
        if (FDropped) {
            CloseList(true);
            FSwallowChar = 13;
            Key = 0;
        }
        return;
    case VK_ESCAPE:
        if (FDropped) {
            CloseList(false);
            FSwallowChar = 27;
            Key = 0;
        }
        return;
    default:
        return;
    }
    if (target == -2 || last < 0) return;
    Key = 0;
    if (FDropped)
        SetHot(target);
    else
        UserSelect(target);
}

void TCustomComboBox::KeyPress(char32_t& Key) {
    if (FSwallowChar != 0 && Key == FSwallowChar) {
        FSwallowChar = 0;
        Key = 0;
        return;
    }
    FSwallowChar = 0;
    TCustomEdit::KeyPress(Key);
}

void TCustomComboBox::EditKeyDown(std::uint16_t Key, TShiftState Shift) {
    if (ListStyle()) return; // no caret to move, no text to delete
    UserAction([&] {
        TCustomEdit::EditKeyDown(Key, Shift);
        FItemIndex = Text().empty() ? -1 : FItems.IndexOf(Text());
    });
}

void TCustomComboBox::EditChar(char32_t Ch) {
    if (ListStyle()) {
        if (Ch >= 32) PrefixSearch(Ch);
        return;
    }
    UserAction([&] {
        const std::string before = Text();
        TCustomEdit::EditChar(Ch);
        FItemIndex = Text().empty() ? -1 : FItems.IndexOf(Text());
        // Completion: a typed character at the end of the text completes it from the first
        // item it begins; the added part is selected, so typing on replaces it.
        if (Ch < 32 || Text() == before || Text().empty() || SelLength() != 0 ||
            CaretPos() != TextLength())
            return;
        for (int i = 0; i < FItems.Count(); ++i) {
            if (!StartsWith(FItems[i], Text())) continue;
            const int typed = TextLength();
            FItemIndex = i;
            FSettingIndex = true;
            SetText(Text() + FItems[i].substr(Text().size()));
            FSettingIndex = false;
            SetSelection(typed, TextLength() - typed);
            if (FDropped) SetHot(i);
            break;
        }
    });
}

void TCustomComboBox::PrefixSearch(char32_t Ch) {
    const std::int64_t now = Application->Now();
    const std::string ch = CharToUtf8(Ch);
    if (now - FSearchTime > kSearchPauseMs) FSearch.clear();
    FSearchTime = now;
    const int n = FItems.Count();
    if (n == 0) return;
    const int current = FDropped ? FHot : FItemIndex;
    // One letter typed again moves on to the next item with it; a longer prefix stays on the
    // current item while it still matches.
    const bool repeat = FSearch == ch;
    std::string search = repeat ? ch : FSearch + ch;
    int start = (search.size() == ch.size()) ? current + 1 : std::max(current, 0);
    int found = -1;
    for (int k = 0; k < n && found < 0; ++k) {
        const int i = (start + k + n) % n;
        if (StartsWith(FItems[i], search)) found = i;
    }
    if (found < 0 && search != ch) {
        search = ch; // no item with the longer prefix: start a new search with this letter
        for (int k = 0; k < n && found < 0; ++k) {
            const int i = (current + 1 + k + n) % n;
            if (StartsWith(FItems[i], search)) found = i;
        }
    }
    FSearch = search;
    if (found < 0) return;
    if (FDropped)
        SetHot(found);
    else
        UserSelect(found);
}

void TCustomComboBox::WMKillFocus(TMessage& Message) {
    CloseList(false);
    TCustomEdit::WMKillFocus(Message);
}

bool TCustomComboBox::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomEdit::DoMouseWheelDown(Shift, MousePos)) return true;
    if (FDropped) {
        SetTopIndex(FTopIndex + 1);
        return true;
    }
    if (FItems.Count() > 0) UserSelect(std::min(FItemIndex + 1, FItems.Count() - 1));
    return true;
}

bool TCustomComboBox::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomEdit::DoMouseWheelUp(Shift, MousePos)) return true;
    if (FDropped) {
        SetTopIndex(FTopIndex - 1);
        return true;
    }
    if (FItems.Count() > 0) UserSelect(std::max(FItemIndex - 1, 0));
    return true;
}

void TCustomComboBox::WndProc(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED && !FSettingIndex && FUserDepth == 0) {
        // Text assigned in code: ItemIndex follows it; a list-only box takes only item texts.
        TCustomEdit::WndProc(Message);
        FItemIndex = Text().empty() ? -1 : FItems.IndexOf(Text());
        if (ListStyle() && FItemIndex < 0 && !Text().empty()) {
            FSettingIndex = true;
            SetText(std::string());
            FSettingIndex = false;
        }
        return;
    }
    TCustomEdit::WndProc(Message);
}

// ---- Mouse ------------------------------------------------------------------------------------

void TCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && (ListStyle() || ButtonRect().Contains({X, Y}))) {
        auto alive = Handle();
        if (!Focused() && CanFocus()) {
            SetFocus();
            if (*alive == nullptr) return;
        }
        if (FDropped)
            CloseList(false);
        else
            SetDroppedDown(true);
        if (*alive == nullptr) return;
        // The events only: the edit box's own MouseDown would place the caret under the button.
        TWinControl::MouseDown(Button, Shift, X, Y); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    if (Button == mbLeft && FStyle == csSimple && SimpleListRect().Contains({X, Y})) {
        const int i = FTopIndex + (Y - SimpleListRect().Top) / std::max(1, ItemHeight());
        auto alive = Handle();
        if (!Focused() && CanFocus()) SetFocus();
        if (*alive == nullptr) return;
        if (i < FItems.Count()) UserSelect(i);
        if (*alive == nullptr) return;
        // A press in the list selects; the edit box must not place its caret for it.
        TWinControl::MouseDown(Button, Shift, X, Y); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    TCustomEdit::MouseDown(Button, Shift, X, Y);
}

// ---- Painting ---------------------------------------------------------------------------------

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (FOnDrawItem) {
        FOnDrawItem(this, Index, Rect, State);
        return;
    }
    TCanvas& C = Canvas();
    C.FillRect(Rect);
    if (Index >= 0 && Index < FItems.Count()) {
        C.Brush().SetStyle(bsClear);
        C.TextOut(Rect.Left + 2, Rect.Top + (Rect.Height() - C.TextHeight("Wg")) / 2,
                  FItems[Index]);
        C.Brush().SetStyle(bsSolid);
    }
}

// Paints the rows from Top into Area: each row gets the control font and a highlight or Color
// brush by its state, then DrawItem.
void TCustomComboBox::PaintRows(TCanvas& C, const TRect& Area, int Top, int Highlight,
                                bool FocusedList) {
    const int h = std::max(1, ItemHeight());
    TCanvas* old = FDrawCanvas;
    FDrawCanvas = &C;
    const TRect oldClip = C.ClipRect();
    C.IntersectClipRect(Area);
    Fill(C, Area, Color());
    for (int i = Top; i < FItems.Count(); ++i) {
        const int y = Area.Top + (i - Top) * h;
        if (y >= Area.Bottom) break;
        const TRect r = Rect(Area.Left, y, Area.Right, y + h);
        TOwnerDrawState state;
        if (i == Highlight) state.include(odSelected);
        if (i == Highlight && FocusedList) state.include(odFocused);
        if (!Enabled()) state.include(odDisabled);
        C.Font().Assign(&Font());
        C.Font().SetColor(i == Highlight ? clHighlightText : Font().Color());
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(i == Highlight ? clHighlight : Color());
        try {
            DrawItem(i, r, state);
            // As the platform does for owner-drawn lists: the focused row gets the focus frame
            // after DrawItem, so an item drawn without the highlight still shows where it is.
            if (OwnerDraw() && state.contains(odFocused)) PaintFocusFrame(C, r);
        } catch (...) {
            FDrawCanvas = old;
            C.SetClipRect(oldClip);
            throw;
        }
    }
    FDrawCanvas = old;
    C.SetClipRect(oldClip);
}

void TCustomComboBox::Paint() {
    TCustomEdit::Paint(); // frame, background and (for the edit styles) the text
    TCanvas& C = ControlCanvas();
    if (ListStyle()) {
        // The closed box shows the chosen item; focused, in the highlight with a focus frame.
        const TRect area = TextArea();
        const bool focused = Focused() && !FDropped;
        const TRect face = Rect(area.Left - 1, area.Top - 1, area.Right, area.Bottom + 1);
        TOwnerDrawState state{odComboBoxEdit};
        if (focused) state = state | TOwnerDrawState{odSelected, odFocused};
        if (!Enabled()) state.include(odDisabled);
        C.Font().Assign(&Font());
        C.Font().SetColor(!Enabled() ? clGrayText : focused ? clHighlightText : Font().Color());
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(focused ? clHighlight : Enabled() ? Color() : clBtnFace);
        if (OwnerDraw() || FItemIndex >= 0 || focused) {
            TCanvas* old = FDrawCanvas;
            FDrawCanvas = &C;
            const TRect oldClip = C.ClipRect();
            C.IntersectClipRect(face);
            DrawItem(FItemIndex, face, state);
            C.SetClipRect(oldClip);
            FDrawCanvas = old;
        }
        if (focused) PaintFocusFrame(C, face);
    }
    if (FStyle == csSimple) {
        const TRect lr = SimpleListRect();
        Fill(C, Rect(lr.Left, lr.Top - 1, lr.Right, lr.Top), clBtnShadow);
        PaintRows(C, lr, FTopIndex, FItemIndex, false);
        return;
    }
    PaintDropDownButton(C, ButtonRect(), FDropped, Enabled());
}

// ---- TComboListWindow -------------------------------------------------------------------------

TComboListWindow::TComboListWindow(TCustomComboBox* Combo) : TPopupWindow(Combo), FCombo(Combo) {
    SetTakesKeys(false); // the combo box keeps the focus and drives the list
    SetOnDismiss([this](TObject*) {
        // A press outside closed the list: no change.
        if (FCombo->FDropped) {
            FCombo->FDropped = false;
            FCombo->Invalidate();
            FCombo->CloseUp();
        }
    });
}

int TComboListWindow::BarWidth() const {
    return FCombo->FItems.Count() > FCombo->ListRows() ? 16 : 0;
}

TRect TComboListWindow::RowRect(int Index) const {
    const int h = std::max(1, FCombo->ItemHeight());
    const int k = Index - FCombo->FTopIndex;
    if (k < 0 || k >= FCombo->ListRows() || Index >= FCombo->FItems.Count()) return {};
    return Rect(1, 1 + k * h, ClientWidth() - 1 - BarWidth(), 1 + (k + 1) * h);
}

int TComboListWindow::ItemAt(int X, int Y) const {
    if (X < 1 || X >= ClientWidth() - 1 - BarWidth() || Y < 1 || Y >= ClientHeight() - 1) return -1;
    const int i = FCombo->FTopIndex + (Y - 1) / std::max(1, FCombo->ItemHeight());
    return i < FCombo->FItems.Count() ? i : -1;
}

void TComboListWindow::Paint() {
    TCanvas& C = Canvas();
    const int w = ClientWidth(), h = ClientHeight();
    C.Brush().SetColor(clWindowFrame);
    C.FrameRect(Rect(0, 0, w, h));
    FCombo->PaintRows(C, Rect(1, 1, w - 1 - BarWidth(), h - 1), FCombo->FTopIndex, FCombo->FHot,
                      true);
    if (BarWidth() > 0) {
        // A scroll bar: the track, and a thumb for the rows shown.
        const TRect bar = Rect(w - 1 - BarWidth(), 1, w - 1, h - 1);
        Fill(C, bar, cl3DLight);
        const int n = FCombo->FItems.Count(), rows = FCombo->ListRows();
        const int th = std::max(8, bar.Height() * rows / std::max(1, n));
        const int span = bar.Height() - th;
        const int ty = bar.Top + (n > rows ? span * FCombo->FTopIndex / (n - rows) : 0);
        const TRect t = Rect(bar.Left, ty, bar.Right, ty + th);
        Fill(C, t, clBtnFace);
        Fill(C, Rect(t.Left, t.Top, t.Right, t.Top + 1), clBtnHighlight);
        Fill(C, Rect(t.Left, t.Top, t.Left + 1, t.Bottom), clBtnHighlight);
        Fill(C, Rect(t.Left, t.Bottom - 1, t.Right, t.Bottom), clBtnShadow);
        Fill(C, Rect(t.Right - 1, t.Top, t.Right, t.Bottom), clBtnShadow);
    }
}

void TComboListWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPopupWindow::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    if (BarWidth() > 0 && X >= ClientWidth() - 1 - BarWidth()) {
        // The scroll bar pages up or down (above / below the middle of the list).
        const int rows = FCombo->ListRows();
        FCombo->SetTopIndex(FCombo->FTopIndex + (Y < ClientHeight() / 2 ? -rows : rows));
        return;
    }
    const int i = ItemAt(X, Y);
    if (i >= 0) FCombo->SetHot(i);
}

void TComboListWindow::MouseMove(TShiftState Shift, int X, int Y) {
    TPopupWindow::MouseMove(Shift, X, Y);
    const int i = ItemAt(X, Y);
    if (i >= 0) {
        FCombo->SetHot(i);
    } else if (Shift.contains(ssLeft) && X >= 0 && X < ClientWidth()) {
        // Dragging past the top or bottom edge scrolls.
        if (Y >= ClientHeight()) FCombo->SetHot(FCombo->FHot + 1);
        if (Y < 0) FCombo->SetHot(std::max(FCombo->FHot - 1, 0));
    }
}

void TComboListWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TPopupWindow::MouseUp(Button, Shift, X, Y);
    if (*alive == nullptr || Button != mbLeft) return;
    const int i = ItemAt(X, Y);
    if (i < 0) return;
    FCombo->SetHot(i);
    FCombo->CloseList(true);
}

bool TComboListWindow::DoMouseWheelDown(TShiftState, TPoint) {
    FCombo->SetTopIndex(FCombo->FTopIndex + 1);
    return true;
}

bool TComboListWindow::DoMouseWheelUp(TShiftState, TPoint) {
    FCombo->SetTopIndex(FCombo->FTopIndex - 1);
    return true;
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

const TClassRegistrar<TCustomComboBox> customComboReg("TCustomComboBox", "TWinControl",
                                                      [](auto&) {});

const TClassRegistrar<TComboBox> comboReg("TComboBox", "TCustomComboBox", [](auto& p) {
    using C = TComboBox;
    p.Enum("Style", &C::Style, &C::SetStyle, csDropDown,
           {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"});
    p.Strings(
        "Items",
        [](const C& c) {
            std::vector<std::string> v;
            v.reserve(std::size_t(c.Items().Count()));
            for (int i = 0; i < c.Items().Count(); ++i) v.push_back(c.Items()[i]);
            return v;
        },
        [](C& c, const std::vector<std::string>& v) {
            c.Items().BeginUpdate();
            c.Items().Clear();
            for (const std::string& s : v) c.Items().Add(s);
            c.Items().EndUpdate();
        });
    p.Int("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1);
    p.String(
        "Text", [](const C& c) { return c.Text(); },
        [](C& c, const std::string& v) { c.SetText(v); }, "");
    p.Int("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    p.Int("ItemHeight", &C::ItemHeightSetting, &C::SetItemHeight, 0);
    p.Int("MaxLength", &C::MaxLength, &C::SetMaxLength, 0);
    p.Color(
        "Color", [](const C& c) { return c.Color(); }, [](C& c, TColor v) { c.SetColor(v); },
        clWindow);
    p.Bool(
        "TabStop", [](const C& c) { return c.TabStop(); }, [](C& c, bool v) { c.SetTabStop(v); },
        true);
    p.Object("Font", [](C& c) -> TPersistent* { return &c.Font(); });
});

} // namespace

namespace detail {
void LinkComboBox() {}
} // namespace detail

} // namespace kel
