// The grid's in-place editing: showing, placing, loading and closing the editor in TCustomGrid,
// the editor itself (TInplaceEdit: an edit box that hands its keys to the grid first and its
// text to SetEditText on every change) and the pick-list editor (TInplaceEditList with its
// drop-down TPopupListbox).
//
// Index: TCustomGrid editing; TInplaceEdit; TPopupListbox; TInplaceEditList.
#include "kel_grids.h"

#include "kel_forms.h"

#include <algorithm>

namespace kel {

// ---- TCustomGrid: editing ---------------------------------------------------------------------

std::string TCustomGrid::GetEditText(int ACol, int ARow) {
    (void)ACol, (void)ARow;
    return {};
}

void TCustomGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    (void)ACol, (void)ARow, (void)Value;
}

TEditStyle TCustomGrid::GetEditStyle(int ACol, int ARow) {
    (void)ACol, (void)ARow;
    return esSimple;
}

// The list editor behaves as the plain one for esSimple, so every style works out of the box.
TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEditList(this); }

bool TCustomGrid::CanEditShow() const {
    return FOptions.contains(goEditing) && FCurrent.X >= FFixedCols && FCurrent.X < ColCount() &&
           FCurrent.Y >= FFixedRows && FCurrent.Y < RowCount();
}

bool TCustomGrid::EditorFocused() const {
    return FInplaceEdit != nullptr && FInplaceEdit->Focused();
}

void TCustomGrid::SetEditorMode(bool Value) {
    if (Value)
        ShowEditor();
    else if (!FOptions.contains(goAlwaysShowEditor))
        HideEditor();
}

void TCustomGrid::ShowEditor() {
    if (FEditorMode || !CanEditShow()) return;
    auto alive = Handle();
    if (FInplaceEdit == nullptr) {
        FInplaceEdit = CreateEditor();
        if (FInplaceEdit == nullptr) return;
        FInplaceEdit->Hide();
        FInplaceEdit->SetParent(this);
    }
    const bool hadFocus = Focused();
    FEditorMode = true;
    FInplaceEdit->UpdateStyle(GetEditStyle(FCurrent.X, FCurrent.Y));
    if (*alive == nullptr) return;
    FEditorLoading = true;
    try {
        FEditorOriginal = GetEditText(FCurrent.X, FCurrent.Y);
        FInplaceEdit->SetText(FEditorOriginal);
    } catch (...) {
        FEditorLoading = false;
        FEditorMode = false;
        throw;
    }
    FEditorLoading = false;
    FEditorModified = false;
    UpdateEditor();
    if (*alive == nullptr || !FEditorMode) return;
    PlaceEditor();
    FInplaceEdit->Show();
    FInplaceEdit->SelectAll();
    if ((hadFocus || FOptions.contains(goAlwaysShowEditor)) && FInplaceEdit->CanFocus())
        FInplaceEdit->SetFocus();
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::HideEditor() {
    if (!FEditorMode) return;
    FEditorMode = false;
    if (FInplaceEdit == nullptr) return;
    auto alive = Handle();
    FInplaceEdit->EditorHiding();
    // The final text goes once more to the cell, but only when it was edited: writing back an
    // untouched (perhaps formatted) text could change the stored value.
    if (FEditorModified) {
        FEditorModified = false;
        SetEditText(FCurrent.X, FCurrent.Y, FInplaceEdit->Text());
        if (*alive == nullptr) return;
    }
    if (FInplaceEdit->Focused() && CanFocus()) {
        FHidingEditor = true;
        SetFocus();
        FHidingEditor = false;
    }
    FInplaceEdit->Hide();
    InvalidateCell(FCurrent.X, FCurrent.Y);
}

void TCustomGrid::CancelEditor() {
    if (!FEditorMode || FInplaceEdit == nullptr) return;
    auto alive = Handle();
    if (FInplaceEdit->Text() != FEditorOriginal) {
        FInplaceEdit->SetText(FEditorOriginal); // a change: SetEditText puts the old text back
        if (*alive == nullptr) return;
    }
    FEditorModified = false;
    if (FOptions.contains(goAlwaysShowEditor)) {
        FInplaceEdit->SelectAll(); // the editor stays open
        return;
    }
    HideEditor();
}

void TCustomGrid::EditorTextChanged(const std::string& Text) {
    if (FEditorLoading || !FEditorMode) return;
    FEditorModified = true;
    SetEditText(FCurrent.X, FCurrent.Y, Text);
}

void TCustomGrid::PlaceEditor() {
    if (FInplaceEdit == nullptr || !FEditorMode) return;
    TRect r = CellRect(FCurrent.X, FCurrent.Y);
    // Scrolled out of view the editor keeps the focus but takes no room.
    FInplaceEdit->SetBoundsRect(r.IsEmpty() ? TRect{} : r);
}

void TCustomGrid::ShowEditorChar(char32_t Ch) {
    ShowEditor();
    if (FEditorMode && FInplaceEdit != nullptr) FInplaceEdit->TypeChar(Ch);
}

void TCustomGrid::DestroyEditor() {
    // The editor goes first, while the grid is whole (its focus handling calls back).
    FEditorMode = false;
    TInplaceEdit* e = FInplaceEdit;
    FInplaceEdit = nullptr;
    delete e;
}

// ---- TInplaceEdit -----------------------------------------------------------------------------

TInplaceEdit::TInplaceEdit(TCustomGrid* AGrid) : TCustomEdit(AGrid), FGrid(AGrid) {
    SetBorderStyle(bsNone);
    SetAutoSize(false);
    SetTabStop(false);
    SetParentColor(true);
}

bool TInplaceEdit::Current() const {
    return FGrid != nullptr && FGrid->FInplaceEdit == this && FGrid->FEditorMode;
}

void TInplaceEdit::Change() {
    TCustomEdit::Change();
    if (Current()) FGrid->EditorTextChanged(Text());
}

void TInplaceEdit::SendToGrid(std::uint16_t& Key, TShiftState Shift) {
    FGrid->KeyDown(Key, Shift);
    Key = 0;
}

void TInplaceEdit::GridKeyEvent(std::uint16_t& Key, TShiftState Shift) {
    TKeyEvent e = FGrid->OnKeyDown();
    if (e) e(FGrid, Key, Shift);
}

void TInplaceEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    if (!Current()) {
        TCustomEdit::KeyDown(Key, Shift);
        return;
    }
    auto alive = Handle();
    const bool forward = FGrid->FOptions.contains(goAlwaysShowEditor);
    const bool ctrl = Shift.contains(ssCtrl);
    const int n = TextLength();
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        SendToGrid(Key, Shift);
        return;
    case VK_TAB:
        if (!Shift.contains(ssAlt)) SendToGrid(Key, Shift);
        return;
    case VK_ESCAPE: {
        // The grid sees the key first; unless it used it up, Escape cancels the edit.
        TCustomGrid* g = FGrid;
        g->KeyDown(Key, Shift);
        if (Key != 0 && *alive != nullptr && Current()) g->CancelEditor();
        Key = 0;
        return;
    }
    case VK_LEFT:
    case VK_HOME:
        if (forward && (ctrl || (SelLength() == 0 && SelStart() == 0))) {
            SendToGrid(Key, Shift);
            return;
        }
        break;
    case VK_RIGHT:
    case VK_END:
        if (forward && (ctrl || (SelLength() == 0 && SelStart() == n))) {
            SendToGrid(Key, Shift);
            return;
        }
        break;
    default:
        break;
    }
    GridKeyEvent(Key, Shift);
    if (Key != 0 && *alive != nullptr) TCustomEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
    if (FSwallowChar != 0 && Key == FSwallowChar) {
        FSwallowChar = 0;
        Key = 0;
        return;
    }
    FSwallowChar = 0;
    if (FGrid == nullptr || FGrid->FInplaceEdit != this) {
        TCustomEdit::KeyPress(Key);
        return;
    }
    auto alive = Handle();
    FGrid->KeyPress(Key); // the grid's OnKeyPress; Enter there closes the editor
    if (*alive == nullptr) return;
    if (Key == 9 || Key == 27 || Key == 13) Key = 0; // never typed into a cell
    if (Key != 0) TCustomEdit::KeyPress(Key);
}

void TInplaceEdit::WMGetDlgCode(TMessage& Message) {
    TCustomEdit::WMGetDlgCode(Message);
    if (FGrid != nullptr && FGrid->FOptions.contains(goTabs)) Message.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::CNKeyDown(TMessage& Message) {
    if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) return;
    TCustomEdit::CNKeyDown(Message);
}

void TInplaceEdit::WMKillFocus(TMessage& Message) {
    TCustomEdit::WMKillFocus(Message);
    // Focus leaving for anything but the grid closes the editor.
    // WM_KILLFOCUS carries the control that gets the focus in WParam, as the platform's does.
    auto* now = reinterpret_cast<TWinControl*>(Message.WParam); // NOLINT(performance-no-int-to-ptr)
    if (Current() && now != FGrid) FGrid->HideEditor();
    if (FGrid != nullptr) FGrid->InvalidateGridRect(FGrid->Selection());
}

// ---- TPopupListbox ----------------------------------------------------------------------------

TPopupListbox::TPopupListbox(TComponent* AOwner) : TCustomControl(AOwner) {
    ExcludeStyle(csCaptureMouse); // it takes the mouse itself while shown
    IncludeStyle(csOpaque);
    SetColor(clWindow);
    SetVisible(false);
}

int TPopupListbox::ItemHeight() { return Canvas().TextHeight("Wg") + 2; }

void TPopupListbox::SetRows(int Value) { FRows = std::max(Value, 1); }

void TPopupListbox::SetTopIndex(int Value) {
    Value = std::clamp(Value, 0, std::max(0, FItems.Count() - FRows));
    if (Value == FTopIndex) return;
    FTopIndex = Value;
    Invalidate();
}

void TPopupListbox::SetItemIndex(int Value) {
    Value = std::clamp(Value, -1, FItems.Count() - 1);
    if (Value == FItemIndex) return;
    FItemIndex = Value;
    if (Value >= 0) {
        if (Value < FTopIndex) SetTopIndex(Value);
        if (Value >= FTopIndex + FRows) SetTopIndex(Value - FRows + 1);
    }
    Invalidate();
}

int TPopupListbox::ItemAt(int X, int Y) {
    if (X < 1 || X >= Width() - 1 || Y < 1 || Y >= Height() - 1) return -1;
    int i = FTopIndex + (Y - 1) / std::max(1, ItemHeight());
    return i < FItems.Count() ? i : -1;
}

void TPopupListbox::Paint() {
    TCanvas& C = Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(clWindow);
    C.FillRect(Rect(0, 0, Width(), Height()));
    C.Brush().SetColor(clWindowFrame);
    C.FrameRect(Rect(0, 0, Width(), Height()));
    const int h = ItemHeight();
    C.Font().Assign(&Font());
    for (int k = 0; k < FRows && FTopIndex + k < FItems.Count(); ++k) {
        const int i = FTopIndex + k;
        TRect r = Rect(1, 1 + k * h, Width() - 1, 1 + (k + 1) * h);
        const bool sel = i == FItemIndex;
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(sel ? clHighlight : clWindow);
        C.Font().SetColor(sel ? clHighlightText : Font().Color());
        C.TextRect(r, r.Left + 2, r.Top + 1, FItems[i]);
    }
}

void TPopupListbox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    if (!Rect(0, 0, Width(), Height()).Contains({X, Y})) {
        CloseUp(false); // a press anywhere else closes the list
        return;
    }
    FPressedInside = true;
    if (Button == mbLeft) {
        int i = ItemAt(X, Y);
        if (i >= 0) SetItemIndex(i);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
    (void)alive;
}

void TPopupListbox::MouseMove(TShiftState Shift, int X, int Y) {
    // Hovering highlights; dragging past an edge scrolls.
    int i = ItemAt(X, Y);
    if (i >= 0) {
        SetItemIndex(i);
    } else if (Shift.contains(ssLeft) && X >= 0 && X < Width()) {
        if (Y >= Height()) SetItemIndex(std::min(FItemIndex + 1, FItems.Count() - 1));
        if (Y < 0) SetItemIndex(std::max(FItemIndex - 1, 0));
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TPopupListbox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (*alive == nullptr) return;
    // The release of the press that opened the list (on the editor's button) is ignored.
    if (Button == mbLeft && FPressedInside && ItemAt(X, Y) >= 0) CloseUp(true);
    FPressedInside = false;
}

void TPopupListbox::CloseUp(bool Accept) {
    FPressedInside = false;
    if (OnCloseUp) OnCloseUp(Accept);
}

// ---- TInplaceEditList -------------------------------------------------------------------------

TInplaceEditList::TInplaceEditList(TCustomGrid* AGrid) : TInplaceEdit(AGrid) {
    FPickList = new TPopupListbox(this);
    FPickList->OnCloseUp = [this](bool Accept) { CloseUp(Accept); };
}

TInplaceEditList::~TInplaceEditList() {
    // The list may sit on the form, not on this editor: it goes with its owner, now.
    TPopupListbox* l = FPickList;
    FPickList = nullptr;
    FListVisible = false;
    if (l != nullptr) {
        l->OnCloseUp = nullptr;
        l->SetParent(nullptr); // leaves the form whole, before it is half destroyed
        delete l;
    }
}

void TInplaceEditList::Notification(TComponent* AComponent, TOperation Operation) {
    TInplaceEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == FPickList) {
        FPickList = nullptr; // the form deleted it with its other children
        FListVisible = false;
    }
}

void TInplaceEditList::SetEditStyle(TEditStyle Value) {
    if (Value == FEditStyle) return;
    if (FListVisible) CloseUp(false);
    FEditStyle = Value;
    Invalidate();
}

void TInplaceEditList::SetDropDownRows(int Value) { FDropDownRows = std::max(Value, 1); }

TRect TInplaceEditList::ButtonRect() const {
    if (FEditStyle == esSimple) return {};
    const int w = std::min(ButtonWidth, Width());
    return Rect(Width() - w, 0, Width(), Height());
}

void TInplaceEditList::Paint() {
    TCustomEdit::Paint();
    TRect b = ButtonRect();
    if (b.IsEmpty()) return;
    TCanvas& C = ControlCanvas();
    // A raised button face.
    auto fill = [&C](const TRect& r, TColor c) {
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(c);
        C.FillRect(r);
    };
    fill(b, clBtnFace);
    fill(Rect(b.Left, b.Top, b.Right - 1, b.Top + 1), clBtnHighlight);
    fill(Rect(b.Left, b.Top, b.Left + 1, b.Bottom - 1), clBtnHighlight);
    fill(Rect(b.Left, b.Bottom - 1, b.Right, b.Bottom), cl3DDkShadow);
    fill(Rect(b.Right - 1, b.Top, b.Right, b.Bottom), cl3DDkShadow);
    const int cx = b.Left + (b.Width() - 1) / 2, cy = b.Top + (b.Height() - 1) / 2;
    if (FEditStyle == esPickList) {
        for (int k = 0; k < 4; ++k) fill(Rect(cx - 3 + k, cy - 1 + k, cx + 4 - k, cy + k), clBlack);
    } else {
        for (int k = -1; k <= 1; ++k)
            fill(Rect(cx + 3 * k - 1, cy + 2, cx + 3 * k + 1, cy + 4), clBlack);
    }
}

void TInplaceEditList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && ButtonRect().Contains({X, Y})) {
        auto alive = Handle();
        if (!Focused() && CanFocus()) {
            SetFocus();
            if (*alive == nullptr) return;
        }
        if (FEditStyle == esPickList) {
            if (FListVisible)
                CloseUp(false);
            else
                DropDown();
        } else {
            EditButtonClick();
        }
        if (*alive == nullptr) return;
        // The events only: the edit box's own MouseDown would place the caret under the button.
        TWinControl::MouseDown(Button, Shift, X, Y); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    TInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TInplaceEditList::EditButtonClick() {
    if (FOnEditButtonClick) FOnEditButtonClick(this);
}

void TInplaceEditList::DropDown() {
    if (FListVisible || FEditStyle != esPickList || FPickList == nullptr) return;
    TForm* form = GetParentForm(this);
    if (form == nullptr) return;
    TCustomGrid* g = Grid();
    if (FOnGetPickListItems && g != nullptr)
        FOnGetPickListItems(g->Col(), g->Row(), FPickList->Items());
    TPopupListbox& l = *FPickList;
    l.SetFont(Font());
    l.SetRows(std::max(1, std::min(FDropDownRows, l.Items().Count())));
    const int h = l.Rows() * l.ItemHeight() + 2;
    const TPoint o = SurfaceOrigin(); // the form's client coordinates (its surface)
    int top = o.Y + Height();
    if (top + h > form->ClientHeight() && o.Y - h >= 0) top = o.Y - h; // no room below
    l.SetParent(form);
    l.SetBounds(o.X, top, std::max(Width(), 40), h);
    l.SetItemIndex(l.Items().IndexOf(Text()));
    l.SetTopIndex(std::max(0, l.ItemIndex() - l.Rows() + 1));
    l.BringToFront();
    l.Show();
    FListVisible = true;
    l.SetMouseCapture(true);
}

void TInplaceEditList::CloseUp(bool Accept) {
    if (!FListVisible || FPickList == nullptr) return;
    FListVisible = false;
    TPopupListbox& l = *FPickList;
    l.SetMouseCapture(false);
    l.Hide();
    if (Accept && l.ItemIndex() >= 0) {
        SetText(l.Items()[l.ItemIndex()]); // a change: the grid's SetEditText runs
        SelectAll();
    }
}

void TInplaceEditList::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    if (FEditStyle == esPickList &&
        ((Key == VK_DOWN && Shift.contains(ssAlt)) || (Key == VK_F4 && !Shift.contains(ssAlt)))) {
        if (FListVisible)
            CloseUp(true);
        else
            DropDown();
        Key = 0;
        return;
    }
    if (FListVisible) {
        TPopupListbox& l = *FPickList;
        switch (Key) {
        case VK_UP:
            l.SetItemIndex(std::max(l.ItemIndex() - 1, 0));
            Key = 0;
            return;
        case VK_DOWN:
            l.SetItemIndex(std::min(l.ItemIndex() + 1, l.Items().Count() - 1));
            Key = 0;
            return;
        case VK_PRIOR:
            l.SetItemIndex(std::max(l.ItemIndex() - l.Rows(), 0));
            Key = 0;
            return;
        case VK_NEXT:
            l.SetItemIndex(std::min(l.ItemIndex() + l.Rows(), l.Items().Count() - 1));
            Key = 0;
            return;
        case VK_RETURN:
            CloseUp(true);
            FSwallowChar = 13; // the Enter character must not close the editor as well
            Key = 0;
            return;
        case VK_ESCAPE:
            CloseUp(false);
            FSwallowChar = 27;
            Key = 0;
            return;
        default:
            break;
        }
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TInplaceEditList::WMKillFocus(TMessage& Message) {
    CloseUp(false);
    TInplaceEdit::WMKillFocus(Message);
}

bool TInplaceEditList::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (!FListVisible) return TInplaceEdit::DoMouseWheelDown(Shift, MousePos);
    FPickList->SetTopIndex(FPickList->TopIndex() + 1);
    return true;
}

bool TInplaceEditList::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (!FListVisible) return TInplaceEdit::DoMouseWheelUp(Shift, MousePos);
    FPickList->SetTopIndex(FPickList->TopIndex() - 1);
    return true;
}

} // namespace kel
