// TReportListView: construction, the container forwarders, the layout operations, the look
// setters, selection and enabling, check marks, sorting, the exchange forwarders and the
// mouse and keyboard handling. Drawing is in rlview_paint.cpp, filtering in rlfilter.cpp.
#include "rlview.h"

#include "kel_app.h"
#include "kel_props.h"
#include "kel_setter.h"
#include "Kel_stringl.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <typeinfo>

namespace kel {

namespace {

// Sets or clears Mask in an attribute byte.
std::uint8_t WithBits(std::uint8_t Attr, std::uint8_t Mask, bool Value) {
    return Value ? std::uint8_t(Attr | Mask) : std::uint8_t(Attr & ~Mask);
}

// Restores SuppressPaint to its previous value when leaving a scope (repainting once when that
// value was false).
class TPaintBatch {
  public:
    explicit TPaintBatch(TReportListView& View) : FView(View), FOld(View.SuppressPaint()) {
        View.SetSuppressPaint(true);
    }
    ~TPaintBatch() { FView.SetSuppressPaint(FOld); }
    TPaintBatch(const TPaintBatch&) = delete;
    TPaintBatch& operator=(const TPaintBatch&) = delete;

  private:
    TReportListView& FView;
    bool FOld;
};

// Sets Mask in the attribute of every row (Rows) or every column where On(index) holds and
// clears it in the others, repainting once at the end.
template <class Pred>
void MarkAll(TReportListView& View, TStringArray& S, bool Rows, std::uint8_t Mask, Pred On) {
    TPaintBatch batch(View);
    if (Rows)
        for (int r = 1; r <= View.NrOfRows(); ++r)
            S.SetRowAttrib(r, WithBits(S.GetRowAttrib(r), Mask, On(r)));
    else
        for (int c = 1; c <= View.NrOfColumns(); ++c)
            S.SetColAttrib(c, WithBits(S.GetColAttrib(c), Mask, On(c)));
}

} // namespace

// ---- Construction ---------------------------------------------------------------------------

TReportListView::TReportListView(TComponent* AOwner) : TCustomDrawGrid(AOwner) {
    FSuppressPaint = true;
    try {
        FRLData = std::make_unique<TRLData>(nullptr);
        SetDefaultDrawing(false);
        SetFixedCols(0);
        SetFixedRows(1);
        FRLData->SetNrCols(ColCount());
        FRLData->SetNrRows(RowCount() - 1);
        FRLData->SetFeedbackBase(ColCount() * (RowCount() - 1));
        FRLData->Strings().Clear();
        ResetColumnArrays();
    } catch (const std::bad_alloc&) {
        throw EKELRepListError("Component \"" + Name() +
                               "\": failed to initialize table editor (out of memory)");
    }
    InstallHooks();
    SetOptions(
        TGridOptions{goFixedVertLine, goFixedHorzLine, goColSizing, goRowSelect, goThumbTracking});
    SetFixedColor(FColHdColor);
    UpdateGridSize();
    TCustomGrid::SetTopRow(FixedRows());
    SetDoubleBuffered(true);
    // The framework has no separate window creation step: the view may paint from here on.
    FSuppressPaint = false;
}

TReportListView::~TReportListView() = default;

// Type of the key hook InstallHooks sets on the strings (the same for every view), so that
// SortData knows it.
static const std::type_info* ViewSortHookType = nullptr;

void TReportListView::InstallHooks() {
    TStringArray& s = FRLData->Strings();
    s.SetOnChange([this](TObject*) { StringsHasChanged(); });
    auto perc = [this](TObject*, int Percent) {
        if (FOnPercentDone) FOnPercentDone(this, Percent);
    };
    s.SetOnPercentDone(perc);
    FRLData->SetOnPercentDone(perc);
    TBeforeSortExchgEvent sortHook = [this](TObject*, const std::string& a, std::string& t) {
        if (FOnBefSortExc) FOnBefSortExc(this, a, t);
    };
    ViewSortHookType = &sortHook.target_type();
    s.SetOnBeforeSortExchange(std::move(sortHook));
    FRLData->SetOnBeforeHTMLExport([this](TObject*, std::string& Text, int Col, int Row) {
        if (FOnBefHTMLExport) FOnBefHTMLExport(this, Text, Col, Row);
    });
}

void TReportListView::StringsHasChanged() { ContentChanged(); }

void TReportListView::Changed() {
    if (FOnChange) FOnChange(this);
}
void TReportListView::ChangedSetup() {
    if (FOnChangeSetup) FOnChangeSetup(this);
}
void TReportListView::ChangedSelection() {
    if (FOnSelectedChange) FOnSelectedChange(this);
}

void TReportListView::Redraw() {
    if (!FSuppressPaint) Invalidate();
}
void TReportListView::ContentChanged() {
    Changed();
    Redraw();
}
void TReportListView::LookChanged() {
    Redraw();
    ChangedSetup();
}

// ---- Per-column arrays and grid size -----------------------------------------------------------

void TReportListView::ResizeColumnArrays(int n) {
    try {
        FColAlignment.resize(std::size_t(n), taLeftJustify);
        FColumnEditable.resize(std::size_t(n), false);
        FColumnIsPwd.resize(std::size_t(n), false);
        FColOrder.resize(std::size_t(n));
        for (int i = 0; i < n; ++i) FColOrder[std::size_t(i)] = i;
    } catch (const std::bad_alloc&) {
        throw EKELRepListError("Component \"" + Name() + "\": not enough memory on heap");
    }
}

void TReportListView::ResetColumnArrays() {
    const int n = FRLData->NrOfColumns();
    FColAlignment.assign(std::size_t(n), taLeftJustify);
    FColumnEditable.assign(std::size_t(n), false);
    FColumnIsPwd.assign(std::size_t(n), false);
    ResizeColumnArrays(n);
}

void TReportListView::UpdateGridSize() {
    KeepingParked([this] {
        const int fixed = CountHeadRows();
        SetRowCount(fixed + std::max(FRLData->NrOfRows(), 1));
        if (FixedRows() != fixed) SetFixedRows(fixed);
        SetColCount(std::max(FRLData->NrOfColumns(), 1));
    });
    ApplyHeaderHeights();
}

bool TReportListView::SelectionParked() const { return Col() >= ColCount() && Row() >= RowCount(); }

void TReportListView::ReParkSelection() {
    const int c = FRowSelectMode == 0 ? ColCount() : FixedCols();
    const int r = FRowSelectMode == 0 ? RowCount() : FixedRows();
    SetSelection(TGridRect{c, r, c, r});
}

void TReportListView::ApplyHeaderHeights() {
    const bool few = FRLData->NrOfRows() < 2;
    const int drh = DefaultRowHeight();
    if (FComHdVis && FColHdVis) {
        SetRowHeights(0, FComHdHgt);
        if (!few) SetRowHeights(1, FColHdHgt);
        return;
    }
    SetRowHeights(0, FComHdVis ? FComHdHgt : FColHdVis ? FColHdHgt : drh);
    if (!few && RowCount() > 1) SetRowHeights(1, drh);
}

int TReportListView::DataColOfGrid(int ACol) const {
    if (ACol < 0 || ACol >= int(FColOrder.size())) return ACol + 1;
    return FColOrder[std::size_t(ACol)] + 1;
}

int TReportListView::GridColOfData(int DataCol) const {
    if (DataCol < 1 || DataCol > NrOfColumns()) return -1;
    const auto it = std::find(FColOrder.begin(), FColOrder.end(), DataCol - 1);
    return it == FColOrder.end() ? -1 : int(it - FColOrder.begin());
}

// ---- Forwarders --------------------------------------------------------------------------------

std::string TReportListView::Elem(int ACol, int ARow) const {
    std::string s = FRLData->GetElem(ACol, ARow);
    if (FOnReadCell) FOnReadCell(const_cast<TReportListView*>(this), ACol, ARow, s);
    return s;
}

double TReportListView::AsNumber(int ACol, int ARow) const {
    try {
        return FRLData->GetAsNumber(ACol, ARow);
    } catch (const EKELDStructError&) {
        throw EKELDStructError("Class TReportListView: invalid numeric string: [" +
                               std::to_string(ACol) + "," + std::to_string(ARow) +
                               "]: " + FRLData->Strings().GetString(ACol, ARow));
    }
}

void TReportListView::SetHeader(int ColNr, const std::string& Value) {
    if (FRLData->Header(ColNr) == Value) return;
    FRLData->SetHeader(ColNr, Value);
    ContentChanged();
}
void TReportListView::SetColumnFormat(int ColNr, const std::string& Value) {
    if (FRLData->ColumnFormat(ColNr) == Value) return;
    FRLData->SetColumnFormat(ColNr, Value);
    ContentChanged();
}
void TReportListView::SetColumnCheckMode(int ColNr, TCheckMode Value) {
    if (FRLData->ColumnCheckMode(ColNr) == Value) return;
    FRLData->SetColumnCheckMode(ColNr, Value);
    ContentChanged();
}
void TReportListView::SetIsCheckedColumn(int ColNr, bool Value) {
    SetColumnCheckMode(ColNr, Value ? cmBox : cmNone);
}
void TReportListView::SetCommonHeader(const std::string& Value) {
    if (FRLData->CommonHeader() == Value) return;
    FRLData->SetCommonHeader(Value);
    ContentChanged();
}

// ---- Layout ------------------------------------------------------------------------------------

void TReportListView::SetNrRows(int Value) {
    FRLData->SetNrRows(Value);
    SetSelection(TGridRect{0, 0, 0, 0});
    UpdateGridSize();
    Redraw();
    ChangedSetup();
}

void TReportListView::SetNrCols(int Value) {
    const int oldCount = ColCount();
    const int w = TCustomGrid::ColWidths(oldCount - 1);
    FRLData->SetNrCols(Value);
    const int n = FRLData->NrOfColumns();
    KeepingParked([this, n] { SetColCount(std::max(n, 1)); });
    for (int i = std::max(oldCount - 1, 0); i < n; ++i) TCustomGrid::SetColWidths(i, w);
    ResizeColumnArrays(n);
    TCustomGrid::SetTopRow(FixedRows());
    Redraw();
    ChangedSetup();
}

int TReportListView::InsertRow(int r) {
    HideEditor();
    if (r <= 0) return r;
    {
        TPaintBatch batch(*this);
        if (r <= NrOfRows()) {
            FRLData->InsertRow(r);
            SetNrRows(NrOfRows());
        } else {
            SetNrRows(NrOfRows() + 1);
            r = NrOfRows();
        }
        // Keep the rows where they show and forget the sort columns.
        FRLData->Strings().CommitSorting();
        FRLData->UnSort();
    }
    return r;
}

int TReportListView::InsertColumn(int c) {
    HideEditor();
    if (c <= 0) return c;
    TPaintBatch batch(*this);
    if (c <= NrOfColumns()) {
        std::vector<TAlignment> al = FColAlignment;
        std::vector<bool> ed = FColumnEditable, pw = FColumnIsPwd;
        FRLData->InsertColumn(c);
        SetNrCols(NrOfColumns());
        const std::size_t i = std::size_t(c - 1);
        al.insert(al.begin() + std::ptrdiff_t(i), taLeftJustify);
        ed.insert(ed.begin() + std::ptrdiff_t(i), false);
        pw.insert(pw.begin() + std::ptrdiff_t(i), false);
        FColAlignment = al;
        FColumnEditable = ed;
        FColumnIsPwd = pw;
        ResizeColumnArrays(NrOfColumns());
    } else {
        SetNrCols(NrOfColumns() + 1);
        c = NrOfColumns();
    }
    return c;
}

int TReportListView::AddRow() {
    HideEditor();
    SetNrRows(NrOfRows() + 1);
    return NrOfRows();
}

void TReportListView::RemoveRow(int r) {
    if (r < 1 || r > NrOfRows()) return;
    HideEditor();
    {
        TPaintBatch batch(*this);
        FRLData->RemoveRow(r);
        UpdateGridSize();
        ChangedSetup();
    }
}

void TReportListView::RemoveColumn(int c) {
    if (c < 1 || c > NrOfColumns()) return;
    HideEditor();
    TPaintBatch batch(*this);
    const std::size_t i = std::size_t(c - 1);
    std::vector<TAlignment> al = FColAlignment;
    std::vector<bool> ed = FColumnEditable, pw = FColumnIsPwd;
    if (NrOfColumns() > 1) {
        al.erase(al.begin() + std::ptrdiff_t(i));
        ed.erase(ed.begin() + std::ptrdiff_t(i));
        pw.erase(pw.begin() + std::ptrdiff_t(i));
    }
    FRLData->RemoveColumn(c);
    const int n = FRLData->NrOfColumns();
    al.resize(std::size_t(n), taLeftJustify);
    ed.resize(std::size_t(n), false);
    pw.resize(std::size_t(n), false);
    FColAlignment = al;
    FColumnEditable = ed;
    FColumnIsPwd = pw;
    ResizeColumnArrays(n);
    KeepingParked([this, n] { SetColCount(std::max(n, 1)); });
    ChangedSetup();
}

void TReportListView::RemoveEmptyRows() {
    HideEditor();
    TPaintBatch batch(*this);
    for (int r = NrOfRows(); r >= 1; --r) {
        bool empty = true;
        for (int c = 0; c <= NrOfColumns() && empty; ++c) empty = FRLData->GetElem(c, r).empty();
        if (empty) RemoveRow(r);
    }
}

void TReportListView::Fill(const std::string& s) {
    HideEditor();
    TPaintBatch batch(*this);
    FRLData->Fill(s);
}

void TReportListView::Clear() {
    HideEditor();
    TPaintBatch batch(*this);
    FRLData->Clear();
    ResetColumnArrays();
}

bool TReportListView::SetColumnOrder(const std::vector<int>& ColList) {
    const int n = NrOfColumns();
    if (int(ColList.size()) != n) return false;
    bool ok = true;
    for (int i = 0; i < n; ++i) {
        const int v = ColList[std::size_t(i)];
        if (v >= 1 && v <= n)
            FColOrder[std::size_t(i)] = v - 1;
        else
            ok = false;
    }
    return ok;
}

int TReportListView::ColumnOrder(int ColNr) const {
    if (ColNr < 1 || ColNr > NrOfColumns()) return 0;
    return FColOrder[std::size_t(ColNr - 1)] + 1;
}

// Data column Index is shown by the grid column whose order entry names it (the inverse of
// the order), not by grid column Index - 1: after SetColumnOrder({3, 1, 2}) data column 1 is
// grid column 1.
int TReportListView::ColWidths(int Index) const {
    const int g = GridColOfData(Index);
    return g < 0 ? 0 : TCustomGrid::ColWidths(g);
}

void TReportListView::SetColWidths(int Index, int Value) {
    const int g = GridColOfData(Index);
    if (g >= 0) TCustomGrid::SetColWidths(g, Value);
    ChangedSetup();
}

TAlignment TReportListView::ColumnAlignment(int ColNr) const {
    if (ColNr < 1 || ColNr > int(FColAlignment.size())) return taLeftJustify;
    return FColAlignment[std::size_t(ColNr - 1)];
}
void TReportListView::SetColumnAlignment(int ColNr, TAlignment Value) {
    if (ColNr < 1 || ColNr > int(FColAlignment.size())) return;
    if (SetField(FColAlignment[std::size_t(ColNr - 1)], Value)) ContentChanged();
}
bool TReportListView::ColumnEditable(int ColNr) const {
    if (ColNr < 1 || ColNr > int(FColumnEditable.size())) return false;
    return FColumnEditable[std::size_t(ColNr - 1)];
}
void TReportListView::SetColumnEditable(int ColNr, bool Value) {
    if (ColNr < 1 || ColNr > int(FColumnEditable.size())) return;
    FColumnEditable[std::size_t(ColNr - 1)] = Value;
}
bool TReportListView::ColumnIsPwd(int ColNr) const {
    if (ColNr < 1 || ColNr > int(FColumnIsPwd.size())) return false;
    return FColumnIsPwd[std::size_t(ColNr - 1)];
}
void TReportListView::SetColumnIsPwd(int ColNr, bool Value) {
    if (ColNr < 1 || ColNr > int(FColumnIsPwd.size()) ||
        FColumnIsPwd[std::size_t(ColNr - 1)] == Value)
        return;
    FColumnIsPwd[std::size_t(ColNr - 1)] = Value;
    ContentChanged();
}

void TReportListView::SetDefaultColWidth(int Value) {
    TCustomGrid::SetDefaultColWidth(Value);
    Redraw();
    ChangedSetup();
}
void TReportListView::SetDefaultRowHeight(int Value) {
    TCustomGrid::SetDefaultRowHeight(Value);
    ApplyHeaderHeights();
    Redraw();
    ChangedSetup();
}

void TReportListView::SetCommonHeaderVisible(bool Value) {
    if (!SetField(FComHdVis, Value)) return;
    UpdateGridSize();
    ContentChanged();
}
void TReportListView::SetColumnHeadersVisible(bool Value) {
    if (!SetField(FColHdVis, Value)) return;
    UpdateGridSize();
    ContentChanged();
}

namespace {
int ClampHeaderHeight(int v) { return std::clamp(v, 8, 127); }
} // namespace

void TReportListView::SetCommonHeaderHeight(int Value) {
    if (!SetField(FComHdHgt, ClampHeaderHeight(Value))) return;
    ApplyHeaderHeights();
    ContentChanged();
}
void TReportListView::SetColumnHeadersHeight(int Value) {
    if (!SetField(FColHdHgt, ClampHeaderHeight(Value))) return;
    ApplyHeaderHeights();
    ContentChanged();
}
void TReportListView::SetCommonHeaderAlignment(TAlignment Value) {
    if (SetField(FHeaderAlignment, Value)) LookChanged();
}
void TReportListView::SetFixedFirstColumn(bool Value) {
    if (!SetField(FFixedColOne, Value)) return;
    // Moves only the current column.
    KeepingParked([this, Value] { SetFixedCols(Value && ColCount() > 1 ? 1 : 0); });
    ContentChanged();
}

int TReportListView::TopRow() const { return TCustomGrid::TopRow() - CountHeadRows() + 1; }
void TReportListView::SetTopRow(int Value) {
    const int h = CountHeadRows();
    TCustomGrid::SetTopRow(std::clamp(Value + h - 1, h, std::max(h, h + NrOfRows() - 1)));
}
int TReportListView::LeftCol() const { return TCustomGrid::LeftCol() + 1; }
void TReportListView::SetLeftCol(int Value) {
    Value = std::min(Value, NrOfColumns());
    TCustomGrid::SetLeftCol(std::max(Value, FixedCols() + 1) - 1);
}

void TReportListView::CenterScrollAndSelect(int Row) {
    TPaintBatch batch(*this);
    SelectRow(Row);
    const int v = VisibleRowCount();
    const int top = Row > NrOfRows() - v / 2 ? NrOfRows() - v + 1 : Row - v / 2;
    SetTopRow(std::max(top, 1));
    const int g = Row + FixedRows() - 1;
    if (Row >= 1 && Row <= NrOfRows()) SetSelection(TGridRect{0, g, ColCount() - 1, g});
}

int TReportListView::DetermineMaxColWidth(int ColNr, bool IncludeHeader) {
    if (ColNr < 1 || ColNr > NrOfColumns()) return 10;
    TCanvas& C = Canvas();
    C.Font().Assign(&Font());
    const bool italic = Font().Style().contains(fsItalic);
    int extra = (IsCheckedColumn(ColNr) ? 16 : 0) + (italic ? 2 : 0);
    int m = 0;
    const TStringArray& s = FRLData->Strings();
    for (int r = 1; r <= NrOfRows(); ++r) m = std::max(m, C.TextWidth(s.GetString(ColNr, r)));
    if (NrOfRows() > 0) m += extra;
    if (IncludeHeader) {
        const int hx = (ColNr == LastSortColumn() ? 13 : 0) + (italic ? 2 : 0);
        m = std::max(m, C.TextWidth(Header(ColNr)) + hx);
    }
    return m + 10;
}

void TReportListView::AutoColWidth(int ColNr, bool IncludeHeader, int Addon) {
    SetColWidths(ColNr, std::max(DetermineMaxColWidth(ColNr, IncludeHeader) + Addon, 4));
}
void TReportListView::AutoColWidth(int ColNr, bool IncludeHeader, int Addon, int MaxWidth) {
    SetColWidths(
        ColNr, std::min(MaxWidth, std::max(DetermineMaxColWidth(ColNr, IncludeHeader) + Addon, 4)));
}
void TReportListView::FitAllColWidths(int ExpandColumn, bool IncludeHeader, int Addon, int MaxWidth,
                                      int RightMargin) {
    TPaintBatch batch(*this);
    for (int c = 1; c <= NrOfColumns(); ++c)
        if (c != ExpandColumn) AutoColWidth(c, IncludeHeader, Addon, MaxWidth);
    ExpandColWidth(ExpandColumn, RightMargin);
}
void TReportListView::ExpandColWidth(int ColIx, int RightMargin) {
    if (ColIx >= 1 && ColIx <= NrOfColumns()) {
        int others = 0;
        for (int c = 1; c <= NrOfColumns(); ++c)
            if (c != ColIx) others += ColWidths(c);
        int w = ClientWidth() - RightMargin - others;
        if (w <= 15) w = 16;
        if (const int g = GridColOfData(ColIx); g >= 0) TCustomGrid::SetColWidths(g, w);
        Redraw();
    }
    ChangedSetup();
}

// ---- Look setters ------------------------------------------------------------------------------

// Look and layout setters: store, repaint, OnChangeSetup (LookChanged).
void TReportListView::SetColorText(TColor Value) {
    if (SetField(FColorNormal, Value)) LookChanged();
}
void TReportListView::SetColorBkgdNormal(TColor Value) {
    if (SetField(FRColorNormal, Value)) LookChanged();
}
void TReportListView::SetColorBkgdShaded(TColor Value) {
    if (SetField(FRColorShaded, Value)) LookChanged();
}
void TReportListView::SetRowColPattern(int Value) {
    if (SetField(FRowColPattern, Value)) LookChanged();
}
void TReportListView::SetColorHigh(TColor Value) {
    if (SetField(FHiLgtColor, Value)) LookChanged();
}
void TReportListView::SetColorHighText(TColor Value) {
    if (SetField(FHiLgtTextColor, Value)) LookChanged();
}
void TReportListView::SetHighLightBold(bool Value) {
    if (SetField(FHiLgtBold, Value)) LookChanged();
}
void TReportListView::SetHighLightRow(int Value) {
    if (SetField(FHiLgtRow, Value)) LookChanged();
}
void TReportListView::SetHighLightColumn(int Value) {
    if (SetField(FHiLgtColumn, Value)) LookChanged();
}
void TReportListView::SetColorSelectedRow(TColor Value) {
    if (SetField(FSelRowColor, Value)) LookChanged();
}
void TReportListView::SetColorSelectedRowText(TColor Value) {
    if (SetField(FSelRowTextColor, Value)) LookChanged();
}
void TReportListView::SetColorSelectedCol(TColor Value) {
    if (SetField(FSelColColor, Value)) LookChanged();
}
void TReportListView::SetColorSelectedColText(TColor Value) {
    if (SetField(FSelColTextColor, Value)) LookChanged();
}
void TReportListView::SetColorSelectedBoth(TColor Value) {
    if (SetField(FSelBothColor, Value)) LookChanged();
}
void TReportListView::SetColorSelectedBothText(TColor Value) {
    if (SetField(FSelBothTextColor, Value)) LookChanged();
}
void TReportListView::SetColorDisabledText(TColor Value) {
    if (SetField(FDisabledTextColor, Value)) LookChanged();
}
void TReportListView::SetColorDisabledBkgd(TColor Value) {
    if (SetField(FDisabledBkgdColor, Value)) LookChanged();
}
void TReportListView::SetColorCommonHd(TColor Value) {
    if (SetField(FComHdColor, Value)) LookChanged();
}
void TReportListView::SetColorCommonHdText(TColor Value) {
    if (SetField(FComHdTxtColor, Value)) LookChanged();
}
void TReportListView::SetColorColumnHdText(TColor Value) {
    if (SetField(FColHdTxtColor, Value)) LookChanged();
}
void TReportListView::SetColorEmptyMsg(TColor Value) {
    if (SetField(FColorEmptyMsg, Value)) LookChanged();
}
void TReportListView::SetEmptyMessage(const std::string& Value) {
    if (SetField(FEmptyMsg, Value)) LookChanged();
}
void TReportListView::SetInterRowIndicatorColor(TColor Value) {
    if (SetField(FInterRowColor, Value)) LookChanged();
}
void TReportListView::SetInterRowIndicatorWidth(int Value) {
    if (SetField(FInterRowWidth, Value)) LookChanged();
}

void TReportListView::SetColorColumnHd(TColor Value) {
    if (!SetField(FColHdColor, Value)) return;
    SetFixedColor(Value);
    LookChanged();
}

void TReportListView::SetInterRowIndicatorPos(int Value) {
    if (SetField(FInterRowIndi, Value)) Redraw();
}

void TReportListView::SetSuppressPaint(bool Value) {
    const bool was = FSuppressPaint;
    FSuppressPaint = Value;
    if (was && !Value) Invalidate();
}

void TReportListView::SetEnabled(bool Value) {
    FEnabled = Value;
    TCustomDrawGrid::SetEnabled(Value);
    Invalidate();
}

void TReportListView::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomDrawGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
    Redraw();
}

void TReportListView::SetCheckMarksReadOnly(bool Value) {
    if (SetField(FROCheckMarks, Value)) Redraw();
}
void TReportListView::SetShowEmptyCheckBoxes(bool Value) {
    if (SetField(FShowEmptyCBx, Value)) Redraw();
}

// ---- Selection and enabling --------------------------------------------------------------------

bool TReportListView::RowDisabled(int r) const {
    return (FRLData->Strings().GetRowAttrib(r) & RowDisabledBit) != 0;
}

void TReportListView::SetRowBits(int r, std::uint8_t Mask, bool Value) {
    TStringArray& s = FRLData->Strings();
    s.SetRowAttrib(r, WithBits(s.GetRowAttrib(r), Mask, Value));
}

void TReportListView::SelectRow(int RowNr) {
    MarkAll(*this, FRLData->Strings(), true, RowSelectedBit, [&](int r) { return r == RowNr; });
    ChangedSelection();
}
void TReportListView::SelectAllRows() {
    MarkAll(*this, FRLData->Strings(), true, RowSelectedBit, [](int) { return true; });
    ChangedSelection();
}
void TReportListView::DeselectAllRows() {
    MarkAll(*this, FRLData->Strings(), true, RowSelectedBit, [](int) { return false; });
    ChangedSelection();
}
void TReportListView::EnableAllRows() {
    MarkAll(*this, FRLData->Strings(), true, RowDisabledBit, [](int) { return false; });
    ChangedSelection();
}
void TReportListView::DisableAllRows() {
    MarkAll(*this, FRLData->Strings(), true, RowDisabledBit, [](int) { return true; });
    ChangedSelection();
}
void TReportListView::SelectColumn(int ColNr) {
    MarkAll(*this, FRLData->Strings(), false, ColSelectedBit, [&](int c) { return c == ColNr; });
    ChangedSelection();
}
void TReportListView::SelectAllColumns() {
    MarkAll(*this, FRLData->Strings(), false, ColSelectedBit, [](int) { return true; });
    ChangedSelection();
}
void TReportListView::DeselectAllColumns() {
    MarkAll(*this, FRLData->Strings(), false, ColSelectedBit, [](int) { return false; });
    ChangedSelection();
}

bool TReportListView::RowSelected(int r) const {
    if (r < 1 || r > NrOfRows()) return false;
    return (FRLData->Strings().GetRowAttrib(r) & RowSelectedBit) != 0;
}
void TReportListView::SetRowSelected(int r, bool Value) {
    if (r < 1 || r > NrOfRows()) return;
    SetRowBits(r, RowSelectedBit, Value);
    ChangedSelection();
    Redraw();
}
bool TReportListView::RowEnabled(int r) const {
    if (r < 1 || r > NrOfRows()) return false;
    return !RowDisabled(r);
}
void TReportListView::SetRowEnabled(int r, bool Value) {
    if (r < 1 || r > NrOfRows()) return;
    SetRowBits(r, RowDisabledBit, !Value);
    ChangedSelection();
    Redraw();
}
bool TReportListView::ColumnSelected(int c) const {
    if (c < 1 || c > NrOfColumns()) return false;
    return (FRLData->Strings().GetColAttrib(c) & ColSelectedBit) != 0;
}
void TReportListView::SetColumnSelected(int c, bool Value) {
    if (c < 1 || c > NrOfColumns()) return;
    TStringArray& s = FRLData->Strings();
    s.SetColAttrib(c, WithBits(s.GetColAttrib(c), ColSelectedBit, Value));
    ChangedSelection();
    Redraw();
}
int TReportListView::NumSelectedRows() const {
    int n = 0;
    for (int r = 1; r <= NrOfRows(); ++r) n += RowSelected(r) ? 1 : 0;
    return n;
}
int TReportListView::NumSelectedColumns() const {
    int n = 0;
    for (int c = 1; c <= NrOfColumns(); ++c) n += ColumnSelected(c) ? 1 : 0;
    return n;
}
int TReportListView::NumEnabledRows() const {
    int n = 0;
    for (int r = 1; r <= NrOfRows(); ++r) n += RowDisabled(r) ? 0 : 1;
    return n;
}
int TReportListView::FirstSelectedRow() const {
    for (int r = 1; r <= NrOfRows(); ++r)
        if (RowSelected(r)) return RowDisabled(r) ? 0 : r;
    return 0;
}
int TReportListView::FirstSelectedColumn() const {
    for (int c = 1; c <= NrOfColumns(); ++c)
        if (ColumnSelected(c)) return c;
    return 0;
}

void TReportListView::SetRowSelectMode(int Value) {
    // Three modes only: a value past them would keep a parked selection in no mode at all.
    Value = std::clamp(Value, 0, 2);
    FRowSelectMode = Value;
    // Mode 0 parks the selection; leaving it brings a parked one back to the first cell.
    if (Value == 0 || SelectionParked()) ReParkSelection();
    if (Value == 2) return;
    {
        TPaintBatch batch(*this);
        for (int r = 1; r <= NrOfRows(); ++r) SetRowBits(r, RowSelectedBit, false);
    }
    ChangedSelection();
}

TGridCoord TReportListView::MouseCell(int X, int Y) const {
    const TGridCoord g = MouseCoord(X, Y);
    TGridCoord res;
    if (g.X < 0 || g.Y < 0) return res;
    res.X = g.X + 1;
    if (g.Y >= FixedRows())
        res.Y = g.Y - FixedRows() + 1;
    else if (FComHdVis && g.Y == 0)
        res.Y = -2;
    else
        res.Y = -1;
    return res;
}

// ---- Check marks -------------------------------------------------------------------------------

void TReportListView::SetAllCheckmarksOfCol(int Column, bool Checked, bool AffectEnabledRowsOnly) {
    TPaintBatch batch(*this);
    FRLData->SetAllCheckmarksOfCol(Column, Checked, AffectEnabledRowsOnly);
}
void TReportListView::InvertAllCheckmarksOfCol(int Column, bool AffectEnabledRowsOnly) {
    TPaintBatch batch(*this);
    FRLData->InvertAllCheckmarksOfCol(Column, AffectEnabledRowsOnly);
}
int TReportListView::CountCheckedElemsInCol(int Column) const {
    if (FRLData->ColumnCheckMode(Column) == cmNone) return 0;
    int n = 0;
    for (int r = 1; r <= NrOfRows(); ++r)
        if (!RowDisabled(r) && FRLData->GetElemChecked(Column, r)) ++n;
    return n;
}

// ---- Sorting -----------------------------------------------------------------------------------

void TReportListView::SortData(int Col, int ColSec, bool Ascending) {
    TStringArray& s = FRLData->Strings();
    // Only the view's own forwarding hook is left out; a hook set on the strings by other code
    // stays.
    if (FOnBefSortExc || ViewSortHookType == nullptr ||
        s.OnBeforeSortExchange().target_type() != *ViewSortHookType) {
        FRLData->Sort(Col, ColSec, Ascending);
        return;
    }
    struct TDetach {
        TStringArray& S;
        TBeforeSortExchgEvent Hook;
        explicit TDetach(TStringArray& A) : S(A), Hook(A.OnBeforeSortExchange()) {
            S.SetOnBeforeSortExchange(nullptr);
        }
        ~TDetach() { S.SetOnBeforeSortExchange(std::move(Hook)); }
    } detach(s);
    FRLData->Sort(Col, ColSec, Ascending);
}

void TReportListView::Sort(int Col, int ColSec, bool Ascending) {
    TPaintBatch batch(*this);
    SortData(Col, ColSec, Ascending);
}
void TReportListView::UnSort() {
    TPaintBatch batch(*this);
    FRLData->UnSort();
}
void TReportListView::SetSecondarySortColumn(int Value) {
    if (Value < -1 || Value > NrOfColumns()) return;
    FRLData->SetSecondarySortColumn(Value);
    ChangedSetup();
}

// ---- Exchange formats
// ----------------------------------------------------------------------------

int TReportListView::ImportCSV(const std::string& FName, TCSVDelimiters Delimiter,
                               bool IncludeColHeaders) {
    TPaintBatch batch(*this);
    const int n = FRLData->ImportCSV(FName, Delimiter, IncludeColHeaders);
    ResizeColumnArrays(NrOfColumns());
    UpdateGridSize();
    return n;
}
int TReportListView::ExportCSV(const std::string& FName, TCSVDelimiters Delimiter,
                               bool IncludeColHeaders, bool IncludeCommonHeader, int FirstCol,
                               int FirstRow, int LastCol, int LastRow) {
    return FRLData->ExportCSV(FName, Delimiter, IncludeColHeaders, IncludeCommonHeader, FirstCol,
                              FirstRow, LastCol, LastRow);
}
int TReportListView::LoadLinesFromFile(int Column, int FirstRow, const std::string& FName) {
    TPaintBatch batch(*this);
    const int n = FRLData->LoadLinesFromFile(Column, FirstRow, FName);
    ResizeColumnArrays(NrOfColumns());
    UpdateGridSize();
    return n;
}
bool TReportListView::ReadFromXMLString(const std::string& InString, const std::string& DataID) {
    TPaintBatch batch(*this);
    const bool ok = FRLData->ReadFromXMLString(InString, DataID);
    ResizeColumnArrays(NrOfColumns());
    UpdateGridSize();
    return ok;
}
bool TReportListView::ReadFromXMLStream(std::istream& InStream, const std::string& DataID) {
    TPaintBatch batch(*this);
    const bool ok = FRLData->ReadFromXMLStream(InStream, DataID);
    ResizeColumnArrays(NrOfColumns());
    UpdateGridSize();
    return ok;
}
void TReportListView::ReadFromOpenXMLFile(std::istream& TextFile, const std::string& DataID) {
    TPaintBatch batch(*this);
    FRLData->ReadFromOpenXMLFile(TextFile, DataID);
    ResizeColumnArrays(NrOfColumns());
    UpdateGridSize();
}
bool TReportListView::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
    TPaintBatch batch(*this);
    const bool ok = FRLData->LoadFromXMLFile(FName, DataID);
    ResizeColumnArrays(NrOfColumns());
    UpdateGridSize();
    return ok;
}
void TReportListView::WriteToOpenXMLFile(std::ostream& TextFile, bool CreateHeader,
                                         const std::string& DataID) {
    FRLData->WriteToOpenXMLFile(TextFile, CreateHeader, DataID);
}
void TReportListView::WriteToXMLStream(std::ostream& OutStream, bool CreateHeader,
                                       const std::string& DataID) {
    FRLData->WriteToXMLStream(OutStream, CreateHeader, DataID);
}
void TReportListView::SaveAsXMLFile(const std::string& FName, const std::string& DataID) {
    FRLData->SaveAsXMLFile(FName, DataID);
}
void TReportListView::ExportHTMLTable(const std::string& FName, int LoC, int LoR, int HiC, int HiR,
                                      const std::vector<int>& ColumnSelection, int Border,
                                      int CellSpacing, int CellPadding, bool IncludeHeader,
                                      const std::string& HeadClass, const std::string& CellClass,
                                      const std::string& TableClass) {
    FRLData->ExportHTMLTable(FName, LoC, LoR, HiC, HiR, ColumnSelection, Border, CellSpacing,
                             CellPadding, IncludeHeader, HeadClass, CellClass, TableClass);
}

// ---- Assignment --------------------------------------------------------------------------------

void TReportListView::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TReportListView*>(Source);
    if (src == nullptr) {
        TCustomDrawGrid::Assign(Source);
        return;
    }
    if (src == this) return;
    const bool oldSuppress = FSuppressPaint;
    FSuppressPaint = true;
    FAutoAdvance = src->FAutoAdvance;
    FLastMousePosX = src->FLastMousePosX;
    FLastMousePosY = src->FLastMousePosY;
    FOnChange = src->FOnChange;
    FOnChangeSetup = src->FOnChangeSetup;
    FOnSelectedChange = src->FOnSelectedChange;
    FSelectAnchor = src->FSelectAnchor;
    FRowSelectMode = src->FRowSelectMode;
    FSortEnabled = src->FSortEnabled;
    FEnabled = src->FEnabled;
    FOnChkStChange = src->FOnChkStChange;
    FOnBefChkStChange = src->FOnBefChkStChange;
    SetOnGetEditText(src->OnGetEditText());
    SetOnSetEditText(src->OnSetEditText());
    FSelRowColor = src->FSelRowColor;
    FSelRowTextColor = src->FSelRowTextColor;
    FSelColColor = src->FSelColColor;
    FSelColTextColor = src->FSelColTextColor;
    FSelBothColor = src->FSelBothColor;
    FSelBothTextColor = src->FSelBothTextColor;
    FHiLgtColor = src->FHiLgtColor;
    FHiLgtTextColor = src->FHiLgtTextColor;
    FHiLgtBold = src->FHiLgtBold;
    FHiLgtRow = src->FHiLgtRow;
    FHiLgtColumn = src->FHiLgtColumn;
    FColorNormal = src->FColorNormal;
    FRColorNormal = src->FRColorNormal;
    FRColorShaded = src->FRColorShaded;
    FRowColPattern = src->FRowColPattern;
    FHeaderAlignment = src->FHeaderAlignment;
    FComHdVis = src->FComHdVis;
    FComHdColor = src->FComHdColor;
    FComHdTxtColor = src->FComHdTxtColor;
    FColHdVis = src->FColHdVis;
    FColHdColor = src->FColHdColor;
    FColHdTxtColor = src->FColHdTxtColor;
    FComHdHgt = src->FComHdHgt;
    FColHdHgt = src->FColHdHgt;
    FOnRequestEdFmt = src->FOnRequestEdFmt;
    FShowEmptyCBx = src->FShowEmptyCBx;
    FOnPercentDone = src->FOnPercentDone;
    FOnBefRenderCell = src->FOnBefRenderCell;
    FOnBefSortExc = src->FOnBefSortExc;
    FOnBefHTMLExport = src->FOnBefHTMLExport;
    FOnBeforeFilter = src->FOnBeforeFilter;
    SetOnMouseWheelDown(src->OnMouseWheelDown());
    SetOnMouseWheelUp(src->OnMouseWheelUp());
    FInterRowIndi = src->FInterRowIndi;
    FInterRowColor = src->FInterRowColor;
    FInterRowWidth = src->FInterRowWidth;
    FFixedColOne = src->FFixedColOne;
    FRLData->Assign(src->FRLData.get());
    InstallHooks();
    SetFixedColor(FColHdColor);
    UpdateGridSize();
    KeepingParked([this] { SetFixedCols(FFixedColOne && ColCount() > 1 ? 1 : 0); });
    try {
        FColAlignment = src->FColAlignment;
        FColumnIsPwd = src->FColumnIsPwd;
        FColumnEditable = src->FColumnEditable;
        FColOrder = src->FColOrder;
    } catch (const std::bad_alloc&) {
        throw EKELRepListError("Component \"" + Name() + "\": not enough memory on heap");
    }
    for (int c = 0; c < ColCount() && c < src->ColCount(); ++c)
        TCustomGrid::SetColWidths(c, src->TCustomGrid::ColWidths(c));
    FSuppressPaint = src->FSuppressPaint;
    if (!oldSuppress || !FSuppressPaint) Invalidate();
}

void TReportListView::AssignTo(TPersistent* Dest) const {
    if (auto* v = dynamic_cast<TReportListView*>(Dest)) {
        v->Assign(this);
        return;
    }
    TCustomDrawGrid::AssignTo(Dest);
}

// ---- Mouse and keyboard
// --------------------------------------------------------------------------

void TReportListView::MouseMove(TShiftState Shift, int X, int Y) {
    FLastMousePosX = X;
    FLastMousePosY = Y;
    TCustomDrawGrid::MouseMove(Shift, X, Y);
}

namespace {
// Right and bottom edges of the cells shown (the grid's extent, not the control's).
TPoint GridExtent(const TCustomGrid& G) {
    const TRect a = G.ClientRect();
    const int line = G.GridLineWidth();
    std::int64_t w = G.ColAxis().Span(0, G.FixedCols(), line) +
                     G.ColAxis().Span(G.LeftCol(), G.ColCount(), line);
    std::int64_t h =
        G.RowAxis().Span(0, G.FixedRows(), line) + G.RowAxis().Span(G.TopRow(), G.RowCount(), line);
    return {int(std::min<std::int64_t>(a.Left + w, a.Right)),
            int(std::min<std::int64_t>(a.Top + h, a.Bottom))};
}
} // namespace

void TReportListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomDrawGrid::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const TPoint ext = GridExtent(*this);
    if (X <= 0 || X >= ext.X || Y <= 0 || Y >= ext.Y) return;
    const TGridCoord g = MouseCoord(X, Y);
    if (g.X < 0 || g.Y < 0) return;
    const int C = DataColOfGrid(g.X);
    const int R = g.Y - FixedRows() + 1;
    const int headerRow = FComHdVis ? 1 : 0;
    if (FColHdVis && g.Y == headerRow) {
        const TRect zone = RLHeaderSortRect(CellRect(g.X, g.Y));
        if (FSortEnabled && X >= zone.Left && X < zone.Right) {
            const TCursor oldCursor = Screen->Cursor();
            Screen->SetCursor(crHourGlass);
            TStringArray& s = FRLData->Strings();
            TGridRect sel = Selection();
            const int p = s.GetSortOrder(sel.Top - FixedRows() + 1);
            FRLData->SetSortToggle(!FRLData->SortToggle());
            Sort(C, SecondarySortColumn(), FRLData->SortToggle());
            for (int i = 1; i <= NrOfRows(); ++i)
                if (s.GetSortOrder(i) == p) {
                    sel.Top = sel.Bottom = i + FixedRows() - 1;
                    SetSelection(sel);
                    break;
                }
            Screen->SetCursor(oldCursor);
        }
        return;
    }
    if (g.Y < FixedRows() || R > NrOfRows()) return;
    {
        TPaintBatch batch(*this);
        TGridOptions o = Options();
        const bool editable = ColumnEditable(C) && !RowDisabled(R);
        if (editable != o.contains(goEditing)) {
            if (editable)
                o.include(goEditing);
            else
                o.exclude(goEditing);
            SetOptions(o);
        }
        // Check toggle: a click in the zone of the box that painting draws.
        const TRect cell = CellRect(g.X, g.Y);
        const TCheckMode mode = FRLData->ColumnCheckMode(C);
        TStringArray& s = FRLData->Strings();
        const std::string stored = s.GetString(C, R);
        if (mode != cmNone && RLCheckClickRect(cell).Contains(TPoint{X, Y}) && !FROCheckMarks &&
            !RowDisabled(R) && (Utf8Length(stored) > 1 || FShowEmptyCBx)) {
            bool state = !FRLData->GetElemChecked(C, R);
            if (FOnBefChkStChange) FOnBefChkStChange(this, state, C, R);
            // A radio cell becomes checked whatever State is (checking clears the others).
            FRLData->SetElemChecked(C, R, mode == cmRadio || state);
            bool old = !state;
            if (FOnChkStChange) FOnChkStChange(this, old, C, R);
        }
        // Row selection.
        const int Rs = Selection().Top - FixedRows() + 1;
        if (Rs >= 1 && Rs <= NrOfRows()) {
            if (FRowSelectMode == 1) {
                for (int r = 1; r <= NrOfRows(); ++r) SetRowBits(r, RowSelectedBit, r == Rs);
                ChangedSelection();
            } else if (FRowSelectMode == 2) {
                if (Shift.contains(ssShift)) {
                    const int a = std::clamp(FSelectAnchor, 1, NrOfRows());
                    const std::uint8_t attr = s.GetRowAttrib(a);
                    for (int r = std::min(a, Rs); r <= std::max(a, Rs); ++r)
                        s.SetRowAttrib(r, attr);
                } else {
                    FSelectAnchor = Rs;
                    if (Shift.contains(ssCtrl) || !FCtrlForMultiSel) {
                        SetRowBits(Rs, RowSelectedBit, !RowSelected(Rs));
                    } else {
                        for (int r = 1; r <= NrOfRows(); ++r)
                            SetRowBits(r, RowSelectedBit, r == Rs);
                    }
                }
                ChangedSelection();
            }
        }
    }
}

void TReportListView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomDrawGrid::MouseUp(Button, Shift, X, Y);
    if (FRowSelectMode != 2) return;
    const TPoint ext = GridExtent(*this);
    if (X > ext.X || (Y > ext.Y && Button == mbLeft)) DeselectAllRows();
}

void TReportListView::DblClick() {
    const TPoint ext = GridExtent(*this);
    const int headerRow = FComHdVis ? 1 : 0;
    if (FLastMousePosY < ext.Y && FColHdVis) {
        const TGridCoord g = MouseCoord(FLastMousePosX, FLastMousePosY);
        if (g.Y == headerRow && g.X >= 0) {
            const TRect cell = CellRect(g.X, g.Y);
            const TRect zone = RLHeaderSortRect(cell);
            const int X = FLastMousePosX;
            if (X < zone.Left || X >= zone.Right) { // near a border: outside the sort zone
                int col = X > (cell.Left + cell.Right) / 2 ? g.X : g.X - 1;
                while (col > 0 && TCustomGrid::ColWidths(col) == 0) --col;
                if (col >= 0) AutoColWidth(DataColOfGrid(col), true, 0);
            }
            return;
        }
    }
    TCustomDrawGrid::DblClick();
}

void TReportListView::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    const std::uint16_t k = Key;
    TCustomDrawGrid::KeyDown(Key, Shift);
    if (k < VK_PRIOR || k > VK_DOWN) return;
    {
        TPaintBatch batch(*this);
        const int top = Selection().Top - FixedRows() + 1;
        for (int r = 1; r <= NrOfRows(); ++r) SetRowBits(r, RowSelectedBit, r == top);
    }
    if (FOnCursorKeyAction) FOnCursorKeyAction(this, k);
    ChangedSelection();
}

void TReportListView::KeyPress(char32_t& Key) {
    const char32_t k = Key;
    TCustomDrawGrid::KeyPress(Key);
    // Only Enter advances, whether or not the grid used it up: other characters the grid
    // consumes (typing into the editor) must not move the row.
    if (FAutoAdvance && k == 13 && (Key == 13 || Key == 0)) {
        std::uint16_t down = VK_DOWN;
        KeyDown(down, TShiftState{});
    }
}

bool TReportListView::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (auto e = OnMouseWheelDown()) e(this, Shift, MousePos, handled);
    return handled;
}
bool TReportListView::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (auto e = OnMouseWheelUp()) e(this, Shift, MousePos, handled);
    return handled;
}

bool TReportListView::SelectCell(int ACol, int ARow) {
    TGridOptions o = Options();
    const bool editable = ARow != 0 && ColumnEditable(DataColOfGrid(ACol));
    if (editable != o.contains(goEditing)) {
        if (editable)
            o.include(goEditing);
        else
            o.exclude(goEditing);
        SetOptions(o);
    }
    return TCustomDrawGrid::SelectCell(ACol, ARow);
}

void TReportListView::TopLeftChanged() {
    Invalidate();
    TCustomDrawGrid::TopLeftChanged();
}

std::string TReportListView::GetEditText(int ACol, int ARow) {
    const int C = DataColOfGrid(ACol), R = ARow - FixedRows() + 1;
    std::string v = FRLData->GetElem(C, R); // without the check character
    if (auto e = OnGetEditText()) e(this, ACol, R, v);
    return v;
}

void TReportListView::SetEditText(int ACol, int ARow, const std::string& Value) {
    const int C = DataColOfGrid(ACol), R = ARow - FixedRows() + 1;
    FRLData->SetElem(C, R, Value); // keeps the check character
    // The draw grid's SetEditText would fire OnSetEditText with the grid row; the view fires it
    // with the record's row instead.
    TCustomGrid::SetEditText(ACol, R, Value); // NOLINT(bugprone-parent-virtual-call)
    if (auto e = OnSetEditText()) e(this, ACol, R, Value);
}

// ---- Published properties
// ------------------------------------------------------------------------

namespace {
using V = TReportListView;
// The list starts from the draw grid's: whatever the grid publishes, the view publishes.
// Grid properties whose default differs for the view are declared again with its default.
const TClassRegistrar<V> reportListViewReg("TReportListView", "TCustomDrawGrid", [](auto& p) {
    p.Set(
        "Options", [](const V& v) { return v.Options(); },
        [](V& v, TGridOptions o) { v.SetOptions(o); },
        TGridOptions{goFixedVertLine, goFixedHorzLine, goColSizing, goRowSelect, goThumbTracking},
        {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
         "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
         "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"});
    p.Bool(
        "DefaultDrawing", [](const V& v) { return v.DefaultDrawing(); },
        [](V& v, bool b) { v.SetDefaultDrawing(b); }, false);
    p.Int("NrOfColumns", &V::NrOfColumns, &V::SetNrCols, 5);
    p.Int("NrOfRows", &V::NrOfRows, &V::SetNrRows, 4);
    p.Bool("AutoAdvance", &V::AutoAdvance, &V::SetAutoAdvance, false);
    p.Color("ColorText", &V::ColorText, &V::SetColorText, TColor(0x002000));
    p.Color("ColorBkgdNormal", &V::ColorBkgdNormal, &V::SetColorBkgdNormal, clWhite);
    p.Color("ColorBkgdShaded", &V::ColorBkgdShaded, &V::SetColorBkgdShaded, TColor(0xF0EFE8));
    p.Int("RowColPattern", &V::RowColPattern, &V::SetRowColPattern, 1);
    p.Color("ColorHigh", &V::ColorHigh, &V::SetColorHigh, TColor(0xCC9966));
    p.Color("ColorHighText", &V::ColorHighText, &V::SetColorHighText, clWhite);
    p.Bool("HighLightBold", &V::HighLightBold, &V::SetHighLightBold, false);
    p.Int("HighLightRow", &V::HighLightRow, &V::SetHighLightRow, 0);
    p.Int("HighLightColumn", &V::HighLightColumn, &V::SetHighLightColumn, 0);
    p.Color("ColorSelectedRow", &V::ColorSelectedRow, &V::SetColorSelectedRow, TColor(0x94BAED));
    p.Color("ColorSelectedRowText", &V::ColorSelectedRowText, &V::SetColorSelectedRowText, clNavy);
    p.Color("ColorSelectedCol", &V::ColorSelectedCol, &V::SetColorSelectedCol, clBlack);
    p.Color("ColorSelectedColText", &V::ColorSelectedColText, &V::SetColorSelectedColText, clBlack);
    p.Color("ColorSelectedBoth", &V::ColorSelectedBoth, &V::SetColorSelectedBoth, clBlack);
    p.Color("ColorSelectedBothText", &V::ColorSelectedBothText, &V::SetColorSelectedBothText,
            clBlack);
    p.Color("ColorDisabledText", &V::ColorDisabledText, &V::SetColorDisabledText, clSilver);
    p.Color("ColorDisabledBkgd", &V::ColorDisabledBkgd, &V::SetColorDisabledBkgd, TColor(0xF0F0F0));
    p.Color("ColorCommonHd", &V::ColorCommonHd, &V::SetColorCommonHd, clBtnFace);
    p.Color("ColorCommonHdText", &V::ColorCommonHdText, &V::SetColorCommonHdText, clBlack);
    p.Color("ColorColumnHd", &V::ColorColumnHd, &V::SetColorColumnHd, clBtnFace);
    p.Color("ColorColumnHdText", &V::ColorColumnHdText, &V::SetColorColumnHdText, clBlack);
    p.Color("ColorEmptyMsg", &V::ColorEmptyMsg, &V::SetColorEmptyMsg, clBlack);
    p.String("CommonHeader", &V::CommonHeader, &V::SetCommonHeader, "Kel Report Listview");
    p.Bool("CommonHeaderVisible", &V::CommonHeaderVisible, &V::SetCommonHeaderVisible, false);
    p.Int("CommonHeaderHeight", &V::CommonHeaderHeight, &V::SetCommonHeaderHeight, 20);
    p.Enum("CommonHeaderAlignment", &V::CommonHeaderAlignment, &V::SetCommonHeaderAlignment,
           taCenter, {"taLeftJustify", "taRightJustify", "taCenter"});
    p.Bool("ColumnHeadersVisible", &V::ColumnHeadersVisible, &V::SetColumnHeadersVisible, true);
    p.Int("ColumnHeadersHeight", &V::ColumnHeadersHeight, &V::SetColumnHeadersHeight, 20);
    p.String("EmptyMessage", &V::EmptyMessage, &V::SetEmptyMessage, "");
    p.Color("InterRowIndicatorColor", &V::InterRowIndicatorColor, &V::SetInterRowIndicatorColor,
            clRed);
    p.Int("InterRowIndicatorWidth", &V::InterRowIndicatorWidth, &V::SetInterRowIndicatorWidth, 3);
    p.Int("RowSelectMode", &V::RowSelectMode, &V::SetRowSelectMode, 1);
    p.Bool("UseCtrlForMultiSel", &V::UseCtrlForMultiSel, &V::SetUseCtrlForMultiSel, true);
    p.Bool("SortEnabled", &V::SortEnabled, &V::SetSortEnabled, true);
    p.Bool("ShowEmptyCheckBoxes", &V::ShowEmptyCheckBoxes, &V::SetShowEmptyCheckBoxes, true);
    p.Bool("FixedFirstColumn", &V::FixedFirstColumn, &V::SetFixedFirstColumn, false);
    p.Bool(
        "Enabled", [](const V& v) { return v.Enabled(); }, [](V& v, bool b) { v.SetEnabled(b); },
        true);
    p.Int(
        "DefaultColWidth", [](const V& v) { return v.DefaultColWidth(); },
        [](V& v, int w) { v.SetDefaultColWidth(w); }, 64);
    p.Int(
        "DefaultRowHeight", [](const V& v) { return v.DefaultRowHeight(); },
        [](V& v, int h) { v.SetDefaultRowHeight(h); }, 24);
    p.Int(
        "TopRow", [](const V& v) { return v.TopRow(); }, [](V& v, int r) { v.SetTopRow(r); }, 1);
    p.Int(
        "LeftCol", [](const V& v) { return v.LeftCol(); }, [](V& v, int c) { v.SetLeftCol(c); }, 1);
    p.Color(
        "Color", [](const V& v) { return v.Color(); }, [](V& v, TColor c) { v.SetColor(c); },
        clWindow);
    p.Bool(
        "Visible", [](const V& v) { return v.Visible(); }, [](V& v, bool b) { v.SetVisible(b); },
        true);
});
} // namespace

} // namespace kel
