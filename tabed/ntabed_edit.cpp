// ntabed_edit.cpp — how the user works with TNTabEd: selection tracking, the cell cursor, the
// lock bit and read-only guard of in-place editing, AutoAdvance, the nominal pick list, the
// heading and comment editors, both popup menus with their commands, and the clipboard (copy,
// paste, extract).
#include "KEL_ntabed.h"

#include "Kel_math1.h"
#include "kel_app.h"
#include "kel_messages.h"
#include "numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kel {

namespace {
bool IsNumStart(char c) { return c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Trim(const std::string& s) {
    std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}

// A decimal number with "." as separator and nothing after it; false otherwise (also for
// infinities and NaN, which the cells never hold as typed values).
bool ParseDecimal(const std::string& s, double& v) {
    if (s.empty()) return false;
    const char* b = s.data();
    const char* e = b + s.size();
    if (*b == '+') ++b;
    if (b == e) return false;
    auto [p, ec] = std::from_chars(b, e, v);
    return ec == std::errc() && p == e && std::isfinite(v);
}

constexpr const char* kMarkCaptions[4] = {"Range", "Column", "Row", "All"};
constexpr const char* kDataCaptions[12] = {"Mark as type A", "Mark as type B",
                                           "Unmark type A",  "Unmark type B",
                                           "Unmark All",     "Clear",
                                           "Copy",           "Paste",
                                           "Data Read-Only", "Extract from Clipboard",
                                           "Select All",     "Toggle Empty State"};
constexpr const char* kHeadCaptions[5] = {"Edit Heading", "Change Precision", "Select..",
                                          "Insert..", "Delete.."};

std::string Cut50(const std::string& s) { return s.size() > 50 ? s.substr(0, 50) : s; }
} // namespace

// ---- Clipboard text -------------------------------------------------------------------------

TClipScan ScanClipboardText(const std::string& Text) {
    TClipScan out;
    auto note = [&](int i, int j) {
        out.Cols = std::max(out.Cols, i + 1);
        out.Rows = std::max(out.Rows, j + 1);
    };
    if (Text.find('\t') != std::string::npos) {
        // Spreadsheet text: cells between tabs, lines between LFs; a comma between digits is
        // the cell's decimal separator.
        int j = 0;
        std::size_t lineStart = 0;
        while (lineStart <= Text.size()) {
            std::size_t lf = Text.find('\n', lineStart);
            if (lf == std::string::npos) lf = Text.size();
            std::string line = Text.substr(lineStart, lf - lineStart);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            int i = 0;
            std::size_t cs = 0;
            while (true) {
                std::size_t tab = line.find('\t', cs);
                std::string cell =
                    Trim(line.substr(cs, tab == std::string::npos ? std::string::npos : tab - cs));
                if (!cell.empty()) {
                    note(i, j);
                    for (std::size_t k = 1; k + 1 < cell.size(); ++k)
                        if (cell[k] == ',' && IsDigit(cell[k - 1]) && IsDigit(cell[k + 1]))
                            cell[k] = '.';
                    if (IsNumStart(cell[0])) {
                        int pos = 1;
                        out.Numbers.push_back({i, j, ScanNumber(cell, true, 1, pos)});
                    }
                }
                if (tab == std::string::npos) break;
                cs = tab + 1;
                ++i;
            }
            ++j;
            lineStart = lf + 1;
        }
        return out;
    }
    // A stream of numbers: tabs, CRs and commas are blanks, an LF starts a new line.
    std::string t = Text;
    for (char& c : t)
        if (c == '\t' || c == '\r' || c == ',') c = ' ';
    t += ' ';
    const int len = int(t.size());
    int pos = 1; // 1-based, as ScanNumber counts
    while (pos <= len && !IsNumStart(t[std::size_t(pos - 1)])) ++pos;
    int i = 0, j = 0;
    while (pos <= len) {
        const double v = ScanNumber(t, true, 3, pos);
        out.Numbers.push_back({i, j, v});
        note(i, j);
        ++i;
        do {
            if (t[std::size_t(pos - 1)] == '\n') {
                i = 0;
                ++j;
            }
            ++pos;
        } while (pos <= len && !IsNumStart(t[std::size_t(pos - 1)]));
    }
    return out;
}

bool TNTabEd::GetClipMatrixSize(int& NCols, int& NRows) const {
    NCols = NRows = 1;
    if (!Clipboard().HasFormat(CF_TEXT)) return false;
    const TClipScan s = ScanClipboardText(Clipboard().AsText());
    if (s.Numbers.empty()) return false;
    NCols = std::max(s.Cols, 1);
    NRows = std::max(s.Rows, 1);
    return true;
}

// ---- Selection, cursor, keys and mouse ------------------------------------------------------

void TNTabEd::WMGetDlgCode(TMessage& Message) {
    TCustomGrid::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTTAB;
}

bool TNTabEd::EditAllowedAt(int GCol, int GRow) const {
    if (FReadOnly || GCol <= FColOffset || GRow <= FRowOffset) return false;
    const int c = GCol - FColOffset, r = GRow - FRowOffset;
    return InTable(c, r) && (FData->GetCellState(c, r) & dtsLocked) == 0;
}

void TNTabEd::UpdateEditingOption(int GCol, int GRow, bool KeepRange) {
    TGridOptions o = Options();
    // The grid's editing option ends range selection: a block stays selected until a key
    // (or a click) asks for editing.
    const TGridRect s = Selection();
    const bool range = s.Left != s.Right || s.Top != s.Bottom;
    const bool allowed = EditAllowedAt(GCol, GRow) && !(KeepRange && range);
    if (allowed == o.contains(goEditing)) return;
    if (allowed)
        o.include(goEditing);
    else
        o.exclude(goEditing);
    SetOptions(o);
}

void TNTabEd::KeyPress(char32_t& Key) {
    auto alive = Handle();
    UpdateEditingOption(Col(), Row());
    if (Key == 27) {
        // Escape: editing off, the editor hidden.
        HideEditor();
        TGridOptions o = Options();
        o.exclude(goEditing);
        SetOptions(o);
        Key = 0;
        return;
    }
    const bool enter = Key == 13;
    if (enter && FAutoAdvance) {
        // Enter commits (the grid closes an open editor) and moves on as an arrow key would.
        if (EditorMode()) TCustomGrid::KeyPress(Key);
        if (*alive == nullptr) return;
        Key = 0;
        std::uint16_t k = FAutoAdvanceDir == orVertical ? VK_DOWN : VK_RIGHT;
        TCustomGrid::KeyDown(k, {});
        if (*alive == nullptr) return;
        UpdateEditingOption(Col(), Row());
        FOldSel = Selection();
        ChangedSelection();
        ShowCellCursorNow();
        Invalidate();
        return;
    }
    TCustomGrid::KeyPress(Key);
}

void TNTabEd::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    auto alive = Handle();
    const bool nav =
        Key == VK_RETURN || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
    const int c = Col() - FColOffset, r = Row() - FRowOffset;
    if (!nav && InTable(c, r) && (FData->GetCellState(c, r) & dtsLocked)) {
        // A locked cell: keys other than Enter and the arrows only turn editing off.
        TGridOptions o = Options();
        o.exclude(goEditing);
        SetOptions(o);
        Key = 0;
        return;
    }
    const TGridRect before = Selection();
    const int top = TopRow(), left = LeftCol();
    // Escape outside the in-place editor turns editing off (in the editor it cancels the edit,
    // which puts back the exact value, and the editor closes itself).
    const bool escape = Key == VK_ESCAPE && !EditorMode();
    TCustomGrid::KeyDown(Key, Shift);
    if (*alive == nullptr) return;
    if (escape) {
        TGridOptions o = Options();
        o.exclude(goEditing);
        SetOptions(o);
    }
    if (Selection() != before || TopRow() != top || LeftCol() != left) {
        FOldSel = Selection();
        UpdateEditingOption(Col(), Row(), true);
        ChangedSelection();
        ShowCellCursorNow();
        Invalidate();
    }
}

bool TNTabEd::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    const bool r = TCustomGrid::DoMouseWheelDown(Shift, MousePos);
    FOldSel = Selection();
    ChangedSelection();
    ShowCellCursorNow();
    Invalidate();
    return r;
}

bool TNTabEd::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    const bool r = TCustomGrid::DoMouseWheelUp(Shift, MousePos);
    FOldSel = Selection();
    ChangedSelection();
    ShowCellCursorNow();
    Invalidate();
    return r;
}

void TNTabEd::MouseMove(TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    FLastMouse = {X, Y};
    TCustomGrid::MouseMove(Shift, X, Y);
    if (*alive == nullptr) return;
    if (Selection() != FOldSel) {
        FOldSel = Selection();
        ChangedSelection();
        ShowCellCursorNow();
    }
}

void TNTabEd::TopLeftChanged() {
    TCustomGrid::TopLeftChanged();
    if (Selection() != FOldSel) {
        FOldSel = Selection();
        ChangedSelection();
    }
    if (FOnTopLeftChanged) FOnTopLeftChanged(this);
}

void TNTabEd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    if (FHeadingOpen) return; // the heading editor holds the grid until it closes
    FLastMouse = {X, Y};
    const TGridCoord cell = MouseCoord(X, Y);
    if (FCommentOpen) {
        if (cell.X == 0 && cell.Y == 0) {
            CloseCommentEditor(false);
            return;
        }
    }
    const bool dataCell = cell.X >= FixedCols() && cell.Y >= FixedRows();
    if (Button == mbLeft && dataCell) {
        // The first click on a cell only selects it; a second click on it may edit.
        if (cell != FClickCell) {
            TGridOptions o = Options();
            o.exclude(goEditing);
            SetOptions(o);
        } else {
            UpdateEditingOption(cell.X, cell.Y);
        }
    }
    FPrevClickCell = FClickCell;
    FClickCell = cell;
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    if (*alive == nullptr) return;
    if (Button == mbLeft && dataCell) {
        if (Selection() != FOldSel) {
            FOldSel = Selection();
            ChangedSelection();
        }
        ShowCellCursorNow();
    }
}

void TNTabEd::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TCustomGrid::MouseUp(Button, Shift, X, Y);
    if (*alive == nullptr) return;
    UpdateEditingOption(Col(), Row(), true);
    if (Button != mbRight || FBlockInternalPopup || PopupMenu() != nullptr || FHeadingOpen) return;
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.X < 0 || cell.Y < 0) return;
    FClickCell = cell;
    if (cell.X == 0 && cell.Y == 0) {
        if (FCommentEditingAllowed && !FCommentOpen) OpenCommentEditor();
        return;
    }
    const bool fixedCol = cell.X < FixedCols(), fixedRow = cell.Y < FixedRows();
    if (!fixedCol && !fixedRow)
        OpenDataPopup(X, Y);
    else if (fixedCol != fixedRow)
        OpenHeaderPopup(cell.X, cell.Y);
}

// ---- In-place editing -----------------------------------------------------------------------

TInplaceEdit* TNTabEd::CreateEditor() {
    auto* e = new TInplaceEditList(this);
    e->SetOnGetPickListItems([this](int ACol, int, TStringList& Items) {
        Items.Clear();
        const int c = ACol - FColOffset;
        if (c < 1 || c > NrOfColumns()) return;
        for (int o = 1; o <= MaxNominalOrdinal; ++o) {
            std::string id = FData->GetNominalID(c, o);
            if (!id.empty()) Items.Add(id);
        }
    });
    return e;
}

void TNTabEd::UpdateEditor() {
    if (auto* e = dynamic_cast<TInplaceEditList*>(InplaceEditor()))
        e->SetDropDownRows(FNomDropDown);
}

TEditStyle TNTabEd::GetEditStyle(int ACol, int ARow) {
    const int c = ACol - FColOffset, r = ARow - FRowOffset;
    return InTable(c, r) && IsNominalCol(c) ? esPickList : esSimple;
}

std::string TNTabEd::GetEditText(int ACol, int ARow) {
    const int c = ACol - FColOffset, r = ARow - FRowOffset;
    if (!InTable(c, r)) return {};
    const double v = FData->GetElem(c, r);
    std::string text;
    if (IsNominalCol(c)) {
        const double rv = std::round(v);
        if (rv >= 1 && rv <= MaxNominalOrdinal) text = FData->GetNominalID(c, int(rv));
        if (text.empty()) text = Trim(FloatToFieldStr(1, 0, v));
    } else {
        text = Trim(FormatCellValue(FNumWidth, Precision(c), v));
    }
    if (FOnGetEditText) FOnGetEditText(this, c, r, text);
    // Remembered so that putting the loaded text back (Escape) restores the exact value rather
    // than the value of its rounded text.
    FEditCell = {ACol, ARow};
    FEditText = text;
    FEditValue = v;
    FEditState = FData->GetCellState(c, r);
    return text;
}

void TNTabEd::SetEditText(int ACol, int ARow, const std::string& Value) {
    const int c = ACol - FColOffset, r = ARow - FRowOffset;
    if (!InTable(c, r)) return;
    Unhooked([&] {
        const std::uint8_t s = FData->GetCellState(c, r);
        if (FEditCell == TGridCoord{ACol, ARow} && Value == FEditText) {
            FData->SetElem(c, r, FEditValue);
            FData->SetCellState(c, r, FEditState);
        } else if (IsNominalCol(c)) {
            const int ord = FData->OrdinalOfNominalID(c, Value.substr(0, MaxNominalIDLength), true);
            const std::string t = Trim(Value);
            if (ord > 0) {
                FData->SetElem(c, r, ord);
                FData->SetCellState(c, r, 0);
            } else if (IsValidDecInt(t)) {
                FData->SetElem(c, r, std::stod(t));
                FData->SetCellState(c, r, std::uint8_t(s & ~(dtsInvalid | dtsEmpty)));
            } else {
                FData->SetCellState(c, r, std::uint8_t(s | dtsInvalid));
            }
        } else {
            std::string t = Value;
            std::replace(t.begin(), t.end(), ',', '.');
            t = Trim(t);
            double v = 0;
            if (ParseDecimal(t, v)) {
                FData->SetElem(c, r, v);
                // A typed number also ends the empty state, else the cell would stay blank.
                FData->SetCellState(c, r, std::uint8_t(s & ~(dtsInvalid | dtsEmpty)));
            } else {
                FData->SetCellState(c, r, std::uint8_t(s | dtsInvalid));
            }
        }
    });
    GatedInvalidate();
    ChangedData();
    TCustomGrid::SetEditText(ACol, ARow, Value);
    if (FOnSetEditText) FOnSetEditText(this, c, r, Value);
}

// ---- Popup menus ----------------------------------------------------------------------------

void TNTabEd::BuildMenus() {
    if (FDataMenu) return;
    auto item = [](TMenuItem* Parent, const std::string& Name, const std::string& Caption,
                   TNotifyEvent Click) {
        auto* it = new TMenuItem(nullptr);
        it->SetName(Name);
        it->SetCaption(Caption);
        if (Click) it->SetOnClick(std::move(Click));
        Parent->Add(it);
        return it;
    };
    FDataMenu = std::make_unique<TPopupMenu>(nullptr);
    FDataMenu->SetName("PopupDTAction");
    TMenuItem* root = FDataMenu->Items();
    using M = void (TNTabEd::*)(TObject*);
    static constexpr M marks[4][4] = {
        {&TNTabEd::PopupMenuClickMarkARange, &TNTabEd::PopupMenuClickMarkAColumn,
         &TNTabEd::PopupMenuClickMarkARow, &TNTabEd::PopupMenuClickMarkAAll},
        {&TNTabEd::PopupMenuClickMarkBRange, &TNTabEd::PopupMenuClickMarkBColumn,
         &TNTabEd::PopupMenuClickMarkBRow, &TNTabEd::PopupMenuClickMarkBAll},
        {&TNTabEd::PopupMenuClickUnMarkARange, &TNTabEd::PopupMenuClickUnMarkAColumn,
         &TNTabEd::PopupMenuClickUnMarkARow, &TNTabEd::PopupMenuClickUnMarkAAll},
        {&TNTabEd::PopupMenuClickUnMarkBRange, &TNTabEd::PopupMenuClickUnMarkBColumn,
         &TNTabEd::PopupMenuClickUnMarkBRow, &TNTabEd::PopupMenuClickUnMarkBAll}};
    static constexpr M data[12] = {nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   &TNTabEd::PopupMenuClickUnMarkAll,
                                   &TNTabEd::PopupMenuClickClear,
                                   &TNTabEd::PopupMenuClickCopy,
                                   &TNTabEd::PopupMenuClickPaste,
                                   &TNTabEd::PopupMenuClickEdit,
                                   &TNTabEd::PopupMenuClickExtClip,
                                   &TNTabEd::PopupMenuClickSelAll,
                                   &TNTabEd::PopupMenuClickEmptyCells};
    for (int i = 0; i < 12; ++i) {
        TNotifyEvent click;
        if (data[i] != nullptr) click = [this, m = data[i]](TObject* s) { (this->*m)(s); };
        TMenuItem* it = item(root, "DIt" + std::to_string(i + 1), kDataCaptions[i], click);
        FDItems.push_back(it);
        if (i < 4) {
            const std::string prefix =
                i < 2 ? "M" + std::to_string(i + 1) + "It" : "U" + std::to_string(i - 1) + "It";
            for (int k = 0; k < 4; ++k) {
                TMenuItem* sub = item(it, prefix + std::to_string(k + 1), kMarkCaptions[k],
                                      [this, m = marks[i][k]](TObject* s) { (this->*m)(s); });
                (i < 2 ? FMItems[i] : FUItems[i - 2]).push_back(sub);
            }
        }
    }
    FHeadMenu = std::make_unique<TPopupMenu>(nullptr);
    FHeadMenu->SetName("PopupHTAction");
    static constexpr M head[5] = {&TNTabEd::PopupMenuClickChangeID,
                                  &TNTabEd::PopupMenuClickPrecision, nullptr, nullptr, nullptr};
    for (int i = 0; i < 5; ++i) {
        TNotifyEvent click;
        if (head[i] != nullptr) {
            click = [this, m = head[i]](TObject* s) { (this->*m)(s); };
        } else {
            // Select, insert and delete act on a column or a row by the clicked header.
            click = [this, i](TObject* s) {
                const bool col = FClickCell.Y < FixedRows();
                if (i == 2) col ? PopupMenuClickSelectCol(s) : PopupMenuClickSelectRow(s);
                if (i == 3) col ? PopupMenuClickInsertCol(s) : PopupMenuClickInsertRow(s);
                if (i == 4) col ? PopupMenuClickDeleteCol(s) : PopupMenuClickDeleteRow(s);
            };
        }
        FHItems.push_back(
            item(FHeadMenu->Items(), "HIt" + std::to_string(i + 1), kHeadCaptions[i], click));
    }
    FHBase.assign(std::begin(kHeadCaptions), std::end(kHeadCaptions));
    ApplyMasks();
}

TPopupMenu& TNTabEd::DataPopup() {
    BuildMenus();
    return *FDataMenu;
}

TPopupMenu& TNTabEd::HeaderPopup() {
    BuildMenus();
    return *FHeadMenu;
}

void TNTabEd::ApplyMasks() {
    if (!FDataMenu) return;
    for (int i = 0; i < 12; ++i) FDItems[std::size_t(i)]->SetEnabled((FPopupDMask >> i) & 1);
    for (int i = 0; i < 5; ++i) FHItems[std::size_t(i)]->SetEnabled((FPopupHMask >> i) & 1);
}

void TNTabEd::SetPopupDMask(int Value) {
    FPopupDMask = Value;
    ApplyMasks();
    ChangedSetup();
}

void TNTabEd::SetPopupHMask(int Value) {
    FPopupHMask = Value;
    ApplyMasks();
    ChangedSetup();
}

std::string TNTabEd::PopupDCaptions(int Index) {
    if (Index < 1 || Index > 12) return {};
    BuildMenus();
    return FDItems[std::size_t(Index - 1)]->Caption();
}
void TNTabEd::SetPopupDCaptions(int Index, const std::string& Value) {
    if (Index < 1 || Index > 12) return;
    BuildMenus();
    FDItems[std::size_t(Index - 1)]->SetCaption(Cut50(Value));
}
std::string TNTabEd::PopupHCaptions(int Index) {
    if (Index < 1 || Index > 5) return {};
    BuildMenus();
    return FHBase[std::size_t(Index - 1)];
}
void TNTabEd::SetPopupHCaptions(int Index, const std::string& Value) {
    if (Index < 1 || Index > 5) return;
    BuildMenus();
    FHBase[std::size_t(Index - 1)] = Cut50(Value);
    FHItems[std::size_t(Index - 1)]->SetCaption(Cut50(Value));
}
std::string TNTabEd::PopupMCaptions(int Index) {
    if (Index < 1 || Index > 4) return {};
    BuildMenus();
    return FMItems[0][std::size_t(Index - 1)]->Caption();
}
void TNTabEd::SetPopupMCaptions(int Index, const std::string& Value) {
    if (Index < 1 || Index > 4) return;
    BuildMenus();
    for (auto& v : FMItems) v[std::size_t(Index - 1)]->SetCaption(Cut50(Value));
}
std::string TNTabEd::PopupUCaptions(int Index) {
    if (Index < 1 || Index > 4) return {};
    BuildMenus();
    return FUItems[0][std::size_t(Index - 1)]->Caption();
}
void TNTabEd::SetPopupUCaptions(int Index, const std::string& Value) {
    if (Index < 1 || Index > 4) return;
    BuildMenus();
    for (auto& v : FUItems) v[std::size_t(Index - 1)]->SetCaption(Cut50(Value));
}

void TNTabEd::UpdateDataMenu() {
    ApplyMasks();
    const bool writable = !FReadOnly;
    FDItems[5]->SetEnabled(FDItems[5]->Enabled() && writable);
    FDItems[9]->SetEnabled(FDItems[9]->Enabled() && writable);
    FDItems[7]->SetEnabled(FDItems[7]->Enabled() && writable && FDataCopyAvail);
    TBitmap glyph;
    glyph.LoadFromResourceName(FReadOnly ? "CHECKEDBOX" : "EMPTYBOX");
    FDItems[8]->SetBitmap(glyph);
}

void TNTabEd::UpdateHeaderMenu() {
    ApplyMasks();
    const bool col = FClickCell.Y < FixedRows();
    const char* what = col ? " Column" : " Row";
    for (int i = 2; i < 5; ++i) {
        std::string c = FHBase[std::size_t(i)];
        if (c.size() >= 2 && c.compare(c.size() - 2, 2, "..") == 0)
            c = c.substr(0, c.size() - 2) + what;
        FHItems[std::size_t(i)]->SetCaption(c);
    }
    FHItems[1]->SetEnabled(FHItems[1]->Enabled() && col);
    FHItems[3]->SetEnabled(FHItems[3]->Enabled() && !FReadOnly);
    FHItems[4]->SetEnabled(FHItems[4]->Enabled() && !FReadOnly);
}

TRect TNTabEd::CellScreenRect(int GCol, int GRow) const {
    const TRect r = CellRect(GCol, GRow);
    const TPoint p = ClientToScreen({r.Left, r.Top});
    return Rect(p.X, p.Y, p.X + r.Width(), p.Y + r.Height());
}

void TNTabEd::OpenDataPopup(int X, int Y) {
    BuildMenus();
    UpdateDataMenu();
    if (FOnBeforePopup) FOnBeforePopup(this, FDataMenu.get());
    const TPoint p = ClientToScreen({X, Y});
    FDataMenu->SetPopupComponent(this);
    FDataMenu->Popup(p.X + 10, p.Y - 20);
}

void TNTabEd::InvertCellFrame(int GCol, int GRow) {
    const TRect r = CellRect(GCol, GRow);
    if (r.IsEmpty()) return;
    TCanvas& C = Canvas();
    C.Pen().SetMode(pmNot);
    C.Brush().SetStyle(bsClear);
    C.Rectangle(r);
    C.Pen().SetMode(pmCopy);
    C.Brush().SetStyle(bsSolid);
}

void TNTabEd::OpenHeaderPopup(int GCol, int GRow) {
    BuildMenus();
    UpdateHeaderMenu();
    auto alive = Handle();
    InvertCellFrame(GCol, GRow);
    if (FOnBeforePopup) FOnBeforePopup(this, FHeadMenu.get());
    const TRect r = CellScreenRect(GCol, GRow);
    FHeadPopupAt = {r.Left + 20, r.Top + 20};
    FHeadMenu->SetPopupComponent(this);
    FHeadMenu->Popup(FHeadPopupAt.X, FHeadPopupAt.Y);
    if (*alive == nullptr) return;
    InvertCellFrame(GCol, GRow);
}

// ---- Popup commands -------------------------------------------------------------------------

namespace {
struct TDataBlock {
    int L, T, R, B;
};
} // namespace

// The selection in data numbering, clipped to the table; false when it holds no data cell.
static bool SelBlock(const TNTabEd& E, TGridRect s, TDataBlock& b) {
    b = {std::max(s.Left - E.ColOffset(), 1), std::max(s.Top - E.RowOffset(), 1),
         std::min(s.Right - E.ColOffset(), E.NrOfColumns()),
         std::min(s.Bottom - E.RowOffset(), E.NrOfRows())};
    return b.L <= b.R && b.T <= b.B;
}

void TNTabEd::MarkCommand(std::uint8_t Bit, bool Set, int Scope) {
    TDataBlock b{};
    if (!SelBlock(*this, Selection(), b) && Scope != 3) return;
    if (Scope == 1) b.T = 1, b.B = NrOfRows();
    if (Scope == 2) b.L = 1, b.R = NrOfColumns();
    if (Scope == 3) b = {1, 1, NrOfColumns(), NrOfRows()};
    Suppressed([&] {
        for (int r = b.T; r <= b.B; ++r)
            for (int c = b.L; c <= b.R; ++c) SetStateBits(c, r, Bit, Set);
    });
    GatedInvalidate();
    ChangedCellStates();
}

void TNTabEd::PopupMenuClickUnMarkAll(TObject*) { UnMarkAllElems(); }

void TNTabEd::PopupMenuClickClear(TObject* Sender) {
    if (FOnClear) {
        FOnClear(Sender);
        return;
    }
    TDataBlock b{};
    if (!SelBlock(*this, Selection(), b)) return;
    Suppressed([&] {
        Unhooked([&] {
            for (int r = b.T; r <= b.B; ++r)
                for (int c = b.L; c <= b.R; ++c) {
                    FData->SetElem(c, r, 0);
                    FData->SetCellState(c, r, 0);
                }
        });
    });
    GatedInvalidate();
    ChangedData();
    ChangedCellStates();
}

void TNTabEd::PopupMenuClickEmptyCells(TObject*) {
    TDataBlock b{};
    if (!SelBlock(*this, Selection(), b)) return;
    Suppressed([&] {
        Unhooked([&] {
            for (int r = b.T; r <= b.B; ++r)
                for (int c = b.L; c <= b.R; ++c)
                    FData->SetCellState(c, r, std::uint8_t(FData->GetCellState(c, r) ^ dtsEmpty));
        });
    });
    GatedInvalidate();
    ChangedData();
    ChangedCellStates();
}

std::string TNTabEd::SelectionAsText() const {
    TDataBlock b{};
    if (!SelBlock(*this, Selection(), b)) return {};
    std::string out;
    for (int r = b.T; r <= b.B; ++r) {
        for (int c = b.L; c <= b.R; ++c) {
            out += c == b.L ? ' ' : '\t';
            if (!FData->GetIsNumber(c, r))
                out += "####";
            else if (FClipFullPrec)
                out += FloatToFieldStr(22, -1, FData->GetElem(c, r));
            else
                out += FloatToFieldStr(1, Precision(c), FData->GetElem(c, r));
        }
        out += "\r\n";
    }
    return out;
}

void TNTabEd::PopupMenuClickCopy(TObject*) {
    TDataBlock b{};
    if (!SelBlock(*this, Selection(), b)) return;
    FDataCopy.Resize(b.R - b.L + 1, b.B - b.T + 1);
    for (int r = b.T; r <= b.B; ++r)
        for (int c = b.L; c <= b.R; ++c) {
            FDataCopy.SetElem(c - b.L + 1, r - b.T + 1, FData->GetElem(c, r));
            FDataCopy.SetCellState(c - b.L + 1, r - b.T + 1, FData->GetCellState(c, r));
        }
    Clipboard().SetAsText(SelectionAsText());
    FDataCopyAvail = true;
}

void TNTabEd::PopupMenuClickPaste(TObject*) {
    if (!FDataCopyAvail) return;
    TDataBlock b{};
    if (!SelBlock(*this, Selection(), b)) return;
    // Cells that would land outside the table are dropped.
    const int r2 = std::min(b.T + FDataCopy.NrOfRows() - 1, NrOfRows());
    const int c2 = std::min(b.L + FDataCopy.NrOfColumns() - 1, NrOfColumns());
    Suppressed([&] {
        Unhooked([&] {
            for (int r = b.T; r <= r2; ++r)
                for (int c = b.L; c <= c2; ++c) {
                    FData->SetElem(c, r, FDataCopy.GetElem(c - b.L + 1, r - b.T + 1));
                    FData->SetCellState(c, r, FDataCopy.GetCellState(c - b.L + 1, r - b.T + 1));
                }
        });
    });
    SelectDataRange(b.L, b.T, c2, r2);
    GatedInvalidate();
    ChangedData();
    ChangedCellStates();
    if (FOnPaste) FOnPaste(this);
}

void TNTabEd::PopupMenuClickExtClip(TObject*) {
    if (!Clipboard().HasFormat(CF_TEXT)) return;
    const TClipScan s = ScanClipboardText(Clipboard().AsText());
    TDataBlock b{};
    SelBlock(*this, Selection(), b);
    const int left = std::max(b.L, 1), top = std::max(b.T, 1);
    Suppressed([&] {
        Unhooked([&] {
            for (const TClipNumber& n : s.Numbers) {
                const int c = left + n.Col, r = top + n.Row;
                if (!InTable(c, r)) continue; // values outside the table are dropped
                FData->SetElem(c, r, n.Value);
                FData->SetCellState(
                    c, r, std::uint8_t(FData->GetCellState(c, r) & ~(dtsInvalid | dtsEmpty)));
            }
        });
    });
    if (s.Cols > 0 && s.Rows > 0) SelectDataRange(left, top, left + s.Cols - 1, top + s.Rows - 1);
    GatedInvalidate();
    ChangedData();
    if (FOnPaste) FOnPaste(this);
}

void TNTabEd::PopupMenuClickSelAll(TObject*) { SelectDataRange(1, 1, NrOfColumns(), NrOfRows()); }

void TNTabEd::PopupMenuClickEdit(TObject*) { SetDataReadOnly(!FReadOnly); }

void TNTabEd::PopupMenuClickSelectCol(TObject*) {
    const int c = FClickCell.X - FColOffset;
    if (c >= 1 && c <= NrOfColumns()) SelectDataRange(c, 1, c, NrOfRows());
}

void TNTabEd::PopupMenuClickSelectRow(TObject*) {
    const int r = FClickCell.Y - FRowOffset;
    if (r >= 1 && r <= NrOfRows()) SelectDataRange(1, r, NrOfColumns(), r);
}

void TNTabEd::PopupMenuClickInsertCol(TObject*) {
    const int c = FClickCell.X - FColOffset;
    if (FReadOnly || c < 1 || c > NrOfColumns()) return;
    Suppressed([&] {
        Unhooked([&] {
            InsertColumn(c);
            FData->SetColName(c, "(...)");
        });
    });
    GatedInvalidate();
    ChangedSetup();
    ChangedHeading();
}

void TNTabEd::PopupMenuClickInsertRow(TObject*) {
    const int r = FClickCell.Y - FRowOffset;
    if (FReadOnly || r < 1 || r > NrOfRows()) return;
    Suppressed([&] {
        Unhooked([&] {
            InsertRow(r);
            FData->SetRowName(r, "(...)");
        });
    });
    GatedInvalidate();
    ChangedSetup();
    ChangedHeading();
}

void TNTabEd::PopupMenuClickDeleteCol(TObject*) {
    if (FReadOnly) return;
    RemoveColumn(FClickCell.X - FColOffset);
    ChangedSetup();
}

void TNTabEd::PopupMenuClickDeleteRow(TObject*) {
    if (FReadOnly) return;
    RemoveRow(FClickCell.Y - FRowOffset);
    ChangedSetup();
}

void TNTabEd::PopupMenuClickPrecision(TObject* Sender) {
    if (!(FClickCell.Y < FixedRows() && FClickCell.X >= FixedCols())) return;
    const int c = FClickCell.X - FColOffset;
    if (c < 1 || c > NrOfColumns()) return;
    int p = Precision(c) - 1;
    if (p < -1) p = 10;
    FDecP[std::size_t(c - 1)] = static_cast<signed char>(p);
    GatedInvalidate();
    if (dynamic_cast<TMenuItem*>(Sender) != nullptr && FHeadMenu) {
        // Chosen from the menu: it opens again at the same place, so the user can step on.
        auto alive = Handle();
        InvertCellFrame(FClickCell.X, FClickCell.Y);
        UpdateHeaderMenu();
        FHeadMenu->Popup(FHeadPopupAt.X, FHeadPopupAt.Y);
        if (*alive == nullptr) return;
        InvertCellFrame(FClickCell.X, FClickCell.Y);
    }
    ChangedLayout();
}

// ---- Heading editor -------------------------------------------------------------------------

void TNTabEd::PopupMenuClickChangeID(TObject*) { OpenHeadingEditor(); }

void TNTabEd::OpenHeadingEditor() {
    const TGridCoord cell = FClickCell;
    const bool colHead = cell.Y < FixedRows() && cell.X >= FixedCols();
    const bool rowHead = cell.X < FixedCols() && cell.Y >= FixedRows();
    if (!colHead && !rowHead) return;
    const TRect r = CellRect(cell.X, cell.Y);
    if (FHeadEdit == nullptr) {
        FHeadEdit = new TEdit(this);
        FHeadEdit->SetParent(this);
        FHeadEdit->SetOnKeyDown([this](TObject*, std::uint16_t& Key, TShiftState) {
            if (Key == VK_RETURN || Key == VK_ESCAPE) {
                const bool store = Key == VK_RETURN;
                Key = 0;
                CloseHeadingEditor(store);
            }
        });
        // Leaving the editor (a click elsewhere) cancels it, so the grid never stays blocked.
        FHeadEdit->SetOnExit([this](TObject*) { CloseHeadingEditor(false); });
    }
    std::string text;
    if (colHead)
        text = cell.Y == 0 ? ColName(cell.X - FColOffset)
                           : std::to_string(ColAttrib(cell.X - FColOffset));
    else
        text = cell.X == 0 ? RowName(cell.Y - FRowOffset)
                           : std::to_string(RowAttrib(cell.Y - FRowOffset));
    FHeadingCell = cell;
    FHeadEdit->SetBounds(r.Left + 30, r.Top + 5, std::max(r.Width(), 100), 22);
    FHeadEdit->SetText(text);
    FHeadEdit->SetVisible(true);
    FHeadingOpen = true;
    if (FHeadEdit->CanFocus()) FHeadEdit->SetFocus();
}

void TNTabEd::CloseHeadingEditor(bool Store) {
    if (!FHeadingOpen) return;
    FHeadingOpen = false;
    const std::string text = FHeadEdit->Text();
    FHeadEdit->SetVisible(false);
    if (CanFocus()) SetFocus();
    if (!Store) return;
    const TGridCoord cell = FHeadingCell;
    const bool colHead = cell.Y < FixedRows();
    const bool isName = colHead ? cell.Y == 0 : cell.X == 0;
    if (isName) {
        // The name setters report the heading change themselves.
        if (colHead)
            SetColName(cell.X - FColOffset, text);
        else
            SetRowName(cell.Y - FRowOffset, text);
        return;
    } else {
        std::string t = Trim(text);
        std::replace(t.begin(), t.end(), ',', '.');
        double v = 0;
        if (!ParseDecimal(t, v)) return; // not a number: the attribute stays
        const auto a = static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
        if (colHead)
            SetColAttrib(cell.X - FColOffset, a);
        else
            SetRowAttrib(cell.Y - FRowOffset, a);
    }
    ChangedHeading();
}

// ---- Comment editor -------------------------------------------------------------------------

void TNTabEd::OpenCommentEditor() {
    if (FCommentEdit == nullptr) {
        FCommentEdit = new TMemo(this);
        FCommentEdit->SetParent(this);
        FCommentEdit->SetColor(TColor(0x808000));
        FCommentEdit->Font().SetColor(clWhite);
        FCommentEdit->SetOnKeyDown([this](TObject*, std::uint16_t& Key, TShiftState) {
            if (Key == VK_RETURN || Key == VK_ESCAPE) {
                const bool store = Key == VK_RETURN;
                Key = 0;
                CloseCommentEditor(store);
            }
        });
        FCommentEdit->SetOnExit([this](TObject*) { CloseCommentEditor(false); });
    }
    FCommentOpen = true;
    const int left = TCustomGrid::ColWidths(0);
    FCommentEdit->SetBounds(left, 0, std::max(Width() - left - 20, 20), 80);
    FCommentEdit->Lines().SetText(Comment());
    FCommentEdit->SetVisible(true);
    InvalidateCell(0, 0);
    if (FCommentEdit->CanFocus()) FCommentEdit->SetFocus();
}

void TNTabEd::CloseCommentEditor(bool Store) {
    if (!FCommentOpen) return;
    FCommentOpen = false;
    const std::string text = FCommentEdit->Lines().Text();
    FCommentEdit->SetVisible(false);
    if (CanFocus()) SetFocus();
    if (Store) SetComment(text);
    InvalidateCell(0, 0);
    ShowCellCursorNow();
}

} // namespace kel
