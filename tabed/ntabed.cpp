// ntabed.cpp — state of TNTabEd: construction, the binding to its data table and the table's
// notifications, the grid layout with its two offsets, element, marking and structure
// operations, sorts, the notification gates and the published list. Drawing is in
// ntabed_paint.cpp; input, editors, popup menus and the clipboard in ntabed_edit.cpp.
#include "KEL_ntabed.h"

#include "Kel_stringl.h"
#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>

namespace kel {

namespace {
// Restores a counter or flag on leaving a scope (also when an operation raises).
struct TDepth {
    int& Depth;
    explicit TDepth(int& d) : Depth(d) { ++Depth; }
    ~TDepth() { --Depth; }
    TDepth(const TDepth&) = delete;
    TDepth& operator=(const TDepth&) = delete;
};

bool SameTextAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string LowerAscii(std::string s) {
    for (char& ch : s) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}
} // namespace

// ---- Construction --------------------------------------------------------------------------

TNTabEd::TNTabEd(TComponent* AOwner) : TCustomGrid(AOwner) {
    TDepth d(FInternSuppPaint);
    FOwnedData = std::make_unique<TDataTable>(3, 4);
    FData = FOwnedData.get();
    FDecP.assign(3, 3);
    SetColCount(3 + FColOffset + 1);
    SetRowCount(4 + FRowOffset + 1);
    SetFixedCols(2);
    SetFixedRows(1);
    TCustomGrid::SetColWidths(0, 80);
    TCustomGrid::SetColWidths(1, FClassColWidth);
    SetColor(clWindow);
    SetFixedColor(clBtnFace);
    HookTable();
}

TNTabEd::~TNTabEd() {
    // An external table outlives the editor: it must not call back into it.
    if (FExtMatAssigned) UnhookTable();
}

void TNTabEd::HookTable() {
    FData->SetOnChange([this](TObject*) {
        ChangedData();
        GatedInvalidate();
    });
    FData->SetOnChangeSetup([this](TObject*) {
        ChangedSetup();
        GatedInvalidate();
    });
    FData->SetOnPercentDone([this](TObject*, int Percent) {
        if (FOnPercentDone) FOnPercentDone(this, Percent);
    });
    FData->SetOnResize(
        [this](TObject*, int oc, int orr, int nc, int nr) { TableResized(oc, orr, nc, nr); });
    FData->SetOnSortExchange(
        [this](TObject*, int Kind, int i1, int i2) { TableSortExchange(Kind, i1, i2); });
}

void TNTabEd::UnhookTable() {
    FData->SetOnChange(nullptr);
    FData->SetOnChangeSetup(nullptr);
    FData->SetOnPercentDone(nullptr);
    FData->SetOnResize(nullptr);
    FData->SetOnSortExchange(nullptr);
}

void TNTabEd::TableResized(int OldCols, int OldRows, int NewCols, int NewRows) {
    (void)OldRows;
    const int w = TCustomGrid::ColWidths(ColCount() - 1);
    FitGridToTable(OldCols, w);
    (void)NewCols;
    (void)NewRows;
    ResizePrecisions(FData->NrOfColumns(), OldCols);
    GatedInvalidate();
}

void TNTabEd::FitGridToTable(int OldCols, int w) {
    const int nc = FData->NrOfColumns(), nr = FData->NrOfRows();
    SetColCount(nc + FColOffset + 1);
    for (int c = std::max(OldCols, 1); c <= nc; ++c) TCustomGrid::SetColWidths(c + FColOffset, w);
    SetRowCount(nr + FRowOffset + 1);
}

void TNTabEd::ResizePrecisions(int NewCols, int SourceIndex) {
    // New entries take the precision of column SourceIndex (or of the last existing one).
    signed char p = 3;
    if (!FDecP.empty()) p = FDecP[std::size_t(std::clamp(SourceIndex, 1, int(FDecP.size())) - 1)];
    try {
        FDecP.resize(std::size_t(NewCols), p);
    } catch (const std::bad_alloc&) {
        throw EKELNTabedError("Component \"" + Name() + "\": not enough memory on heap");
    }
}

void TNTabEd::TableSortExchange(int Kind, int i1, int i2) {
    if (Kind != dtExchgColumns || !FSortIncludeHd) return;
    if (i1 < 1 || i2 < 1 || i1 > int(FDecP.size()) || i2 > int(FDecP.size())) return;
    std::swap(FDecP[std::size_t(i1 - 1)], FDecP[std::size_t(i2 - 1)]);
}

// ---- Gates ------------------------------------------------------------------------------------

void TNTabEd::ChangedData() {
    if (!Gated() && FOnChange) FOnChange(this);
}
void TNTabEd::ChangedSetup() {
    if (!Gated() && FOnChangeSetup) FOnChangeSetup(this);
}
void TNTabEd::ChangedHeading() {
    if (!Gated() && FOnHeadingChanged) FOnHeadingChanged(this);
}
void TNTabEd::ChangedAttrib() {
    if (!Gated() && FOnAttributeChanged) FOnAttributeChanged(this);
}
void TNTabEd::ChangedLayout() {
    if (!Gated() && FOnLayoutChanged) FOnLayoutChanged(this);
}
void TNTabEd::ChangedCellStates() {
    if (!Gated() && FOnCellStateChanged) FOnCellStateChanged(this);
}
void TNTabEd::ChangedSelection() {
    if (!Gated() && FOnSelectionChanged) FOnSelectionChanged(this);
}

void TNTabEd::SetSuppressPaint(bool Value) {
    if (!SetField(FSuppressPaint, Value)) return;
    if (!Value && !Gated()) {
        Invalidate();
        Update();
    }
}

// ---- Size ---------------------------------------------------------------------------------------

namespace {
int ClampDim(int n, int Other) {
    n = std::clamp(n, 1, MaxTabDim);
    return int(std::min<long long>(n, MaxTabCells / std::max(Other, 1)));
}
} // namespace

void TNTabEd::SetNrCols(int n) { Redimension(n, NrOfRows()); }

void TNTabEd::SetNrRows(int n) { Redimension(NrOfColumns(), n); }

void TNTabEd::Redimension(int NrCols, int NrRows) {
    NrCols = std::clamp(NrCols, 1, MaxTabDim);
    NrRows = ClampDim(NrRows, NrCols);
    if (NrCols == NrOfColumns() && NrRows == NrOfRows()) return;
    Suppressed([&] { FData->Resize(NrCols, NrRows); });
    ChangedSetup();
    GatedInvalidate();
}

// ---- Elements -------------------------------------------------------------------------------

std::uint8_t TNTabEd::CellState(int ACol, int ARow) const {
    return InTable(ACol, ARow) ? FData->GetCellState(ACol, ARow) : 0;
}

void TNTabEd::SetCellState(int ACol, int ARow, std::uint8_t Value) {
    if (!InTable(ACol, ARow)) return;
    Suppressed([&] { FData->SetCellState(ACol, ARow, Value); });
    GatedInvalidate();
    ChangedCellStates();
}

void TNTabEd::SetStateBits(int ACol, int ARow, std::uint8_t Bits, bool On) {
    const std::uint8_t s = FData->GetCellState(ACol, ARow);
    const std::uint8_t n = On ? std::uint8_t(s | Bits) : std::uint8_t(s & ~Bits);
    if (n != s) FData->SetCellState(ACol, ARow, n);
}

bool TNTabEd::ElemMarkedA(int ACol, int ARow) const {
    return (CellState(ACol, ARow) & dtsMarkA) != 0;
}
bool TNTabEd::ElemMarkedB(int ACol, int ARow) const {
    return (CellState(ACol, ARow) & dtsMarkB) != 0;
}

void TNTabEd::SetElemMarkedA(int ACol, int ARow, bool Value) {
    if (InTable(ACol, ARow)) Suppressed([&] { SetStateBits(ACol, ARow, dtsMarkA, Value); });
    GatedInvalidate();
    ChangedCellStates();
}

void TNTabEd::SetElemMarkedB(int ACol, int ARow, bool Value) {
    if (InTable(ACol, ARow)) Suppressed([&] { SetStateBits(ACol, ARow, dtsMarkB, Value); });
    GatedInvalidate();
    ChangedCellStates();
}

bool TNTabEd::IsEmpty(int ACol, int ARow) const { return (CellState(ACol, ARow) & dtsEmpty) != 0; }

void TNTabEd::SetIsEmpty(int ACol, int ARow, bool Value) {
    if (InTable(ACol, ARow)) Suppressed([&] { SetStateBits(ACol, ARow, dtsEmpty, Value); });
    GatedInvalidate(); // the cell turns blank or shows its value again
    ChangedCellStates();
}

bool TNTabEd::IsNumber(int ACol, int ARow) const {
    return InTable(ACol, ARow) && FData->GetIsNumber(ACol, ARow);
}

void TNTabEd::Fill(double Value) {
    Suppressed([&] { FData->Fill(Value); });
    GatedInvalidate();
    ChangedData();
}

int TNTabEd::FillMarkedCells(double Value, std::uint8_t StateMask) {
    int n = 0;
    Suppressed([&] { n = FData->FillMarkedCells(Value, StateMask); });
    GatedInvalidate();
    return n;
}

void TNTabEd::Clear() {
    Suppressed([&] {
        FData->Clear();
        for (int c = 1; c <= NrOfColumns(); ++c) FData->SetColName(c, "C-" + std::to_string(c));
        for (int r = 1; r <= NrOfRows(); ++r) FData->SetRowName(r, "R-" + std::to_string(r));
        std::fill(FDecP.begin(), FDecP.end(), static_cast<signed char>(3));
    });
    GatedInvalidate();
    ChangedData();
}

// ---- Names, attributes, precision -----------------------------------------------------------

TDTNameStr TNTabEd::ColName(int ColNr) const {
    return ColNr >= 1 && ColNr <= NrOfColumns() ? FData->GetColName(ColNr) : TDTNameStr();
}
TDTNameStr TNTabEd::RowName(int RowNr) const {
    return RowNr >= 1 && RowNr <= NrOfRows() ? FData->GetRowName(RowNr) : TDTNameStr();
}

void TNTabEd::SetColName(int ColNr, const std::string& HLine) {
    if (ColNr < 1 || ColNr > NrOfColumns()) return;
    Suppressed([&] { FData->SetColName(ColNr, HLine); }); // the table cuts to 50 characters
    ChangedHeading();
    GatedInvalidate();
}

void TNTabEd::SetRowName(int RowNr, const std::string& HLine) {
    if (RowNr < 1 || RowNr > NrOfRows()) return;
    Suppressed([&] { FData->SetRowName(RowNr, HLine); });
    ChangedHeading();
    GatedInvalidate();
}

std::uint8_t TNTabEd::ColAttrib(int ColNr) const {
    return ColNr >= 1 && ColNr <= NrOfColumns() ? FData->GetColAttrib(ColNr) : 0;
}
std::uint8_t TNTabEd::RowAttrib(int RowNr) const {
    return RowNr >= 1 && RowNr <= NrOfRows() ? FData->GetRowAttrib(RowNr) : 0;
}

void TNTabEd::SetColAttrib(int ColNr, std::uint8_t Attrib) {
    if (ColNr < 1 || ColNr > NrOfColumns()) return;
    Suppressed([&] { FData->SetColAttrib(ColNr, Attrib); });
    GatedInvalidate();
    ChangedAttrib();
}

void TNTabEd::SetRowAttrib(int RowNr, std::uint8_t Attrib) {
    if (RowNr < 1 || RowNr > NrOfRows()) return;
    Suppressed([&] { FData->SetRowAttrib(RowNr, Attrib); });
    GatedInvalidate();
    ChangedAttrib();
}

int TNTabEd::Precision(int ColNr) const {
    return ColNr >= 1 && ColNr <= int(FDecP.size()) ? FDecP[std::size_t(ColNr - 1)] : 0;
}

void TNTabEd::SetPrecision(int ColNr, int Dp) {
    if (ColNr < 1 || ColNr > int(FDecP.size())) return;
    FDecP[std::size_t(ColNr - 1)] = static_cast<signed char>(std::clamp(Dp, -1, 10));
    GatedInvalidate();
    ChangedLayout();
}

void TNTabEd::SetComment(const std::string& Text) {
    Suppressed([&] { FData->SetComment(RemoveControlChars(Text)); });
    ChangedData();
}

// ---- Marks ----------------------------------------------------------------------------------

namespace {
template <class F>
void ForAllCells(const TDataTable& T, F&& f) {
    for (int r = 1; r <= T.NrOfRows(); ++r)
        for (int c = 1; c <= T.NrOfColumns(); ++c) f(c, r);
}
} // namespace

void TNTabEd::MarkAllElemsA() {
    Suppressed(
        [&] { ForAllCells(*FData, [&](int c, int r) { SetStateBits(c, r, dtsMarkA, true); }); });
    GatedInvalidate();
    ChangedCellStates();
}

void TNTabEd::MarkAllElemsB() {
    Suppressed(
        [&] { ForAllCells(*FData, [&](int c, int r) { SetStateBits(c, r, dtsMarkB, true); }); });
    GatedInvalidate();
    ChangedCellStates();
}

void TNTabEd::UnMarkAllElems() {
    Suppressed([&] { FData->UnmarkAllCells(); });
    GatedInvalidate();
    ChangedCellStates();
}

void TNTabEd::InvertCellStates(std::uint8_t StateMask) {
    Suppressed([&] { FData->InvertCellStates(StateMask); });
    GatedInvalidate();
    ChangedCellStates();
}

void TNTabEd::ExchangeMarkings() {
    Suppressed([&] { FData->ExchangeMarkings(); });
    GatedInvalidate();
    ChangedCellStates();
}

bool TNTabEd::IfRowMarked(int Row) const {
    if (Row < 1 || Row > NrOfRows()) return false;
    for (int c = 1; c <= NrOfColumns(); ++c)
        if (FData->GetCellState(c, Row) & (dtsMarkA | dtsMarkB)) return true;
    return false;
}

bool TNTabEd::IfColumnMarked(int Col) const {
    if (Col < 1 || Col > NrOfColumns()) return false;
    for (int r = 1; r <= NrOfRows(); ++r)
        if (FData->GetCellState(Col, r) & (dtsMarkA | dtsMarkB)) return true;
    return false;
}

bool TNTabEd::IfAnyMarked() const {
    for (int r = 1; r <= NrOfRows(); ++r)
        if (IfRowMarked(r)) return true;
    return false;
}

int TNTabEd::NrOfMarkedDataA() const {
    int n = 0;
    ForAllCells(*FData, [&](int c, int r) { n += (FData->GetCellState(c, r) & dtsMarkA) != 0; });
    return n;
}

int TNTabEd::NrOfMarkedDataB() const {
    int n = 0;
    ForAllCells(*FData, [&](int c, int r) { n += (FData->GetCellState(c, r) & dtsMarkB) != 0; });
    return n;
}

// ---- Structure ------------------------------------------------------------------------------

void TNTabEd::InsertRow(int ix) {
    if (ix < 1 || ix > NrOfRows() + 1) return;
    if ((long long)(NrOfRows() + 1) * NrOfColumns() > MaxTabCells) return;
    Suppressed([&] { FData->InsertRow(ix); });
    GatedInvalidate();
    ChangedSetup();
}

void TNTabEd::InsertColumn(int ix) {
    if (ix < 1 || ix > NrOfColumns() + 1) return;
    if ((long long)(NrOfColumns() + 1) * NrOfRows() > MaxTabCells) return;
    std::vector<signed char> prec = FDecP;
    Suppressed([&] { FData->InsertColumn(ix); });
    // The precisions follow their columns; the new one takes its left neighbour's (or 3).
    const signed char p = ix >= 2 ? prec[std::size_t(ix - 2)] : static_cast<signed char>(3);
    prec.insert(prec.begin() + (ix - 1), p);
    FDecP = std::move(prec);
    GatedInvalidate();
    ChangedSetup();
}

void TNTabEd::RemoveRow(int ix) {
    if (ix < 1 || ix > NrOfRows() || NrOfRows() < 2) return;
    HideEditor();
    Suppressed([&] { FData->RemoveRow(ix); });
    GatedInvalidate();
    ChangedSetup();
}

void TNTabEd::RemoveColumn(int ix) {
    if (ix < 1 || ix > NrOfColumns() || NrOfColumns() < 2) return;
    HideEditor();
    std::vector<signed char> prec = FDecP;
    Suppressed([&] { FData->RemoveColumn(ix); });
    prec.erase(prec.begin() + (ix - 1));
    FDecP = std::move(prec);
    GatedInvalidate();
    ChangedSetup();
}

void TNTabEd::MirrorRows() {
    Suppressed([&] { FData->MirrorRows(); });
    GatedInvalidate();
    ChangedData();
}

void TNTabEd::MirrorColumns() {
    Suppressed([&] { FData->MirrorColumns(); });
    std::reverse(FDecP.begin(), FDecP.end());
    GatedInvalidate();
    ChangedData();
}

// ---- Binding to other tables ----------------------------------------------------------------

void TNTabEd::AssignAnotherDataMatrix(TDataTable* NewDTab) {
    if (NewDTab == nullptr || NewDTab == FData) return;
    HideEditor();
    const int oldCols = NrOfColumns();
    const int w = TCustomGrid::ColWidths(ColCount() - 1);
    UnhookTable();
    FOwnedData.reset(); // frees the editor's own table (an external one stays its owner's)
    FData = NewDTab;
    FExtMatAssigned = true;
    HookTable();
    Suppressed([&] {
        FitGridToTable(oldCols, w);
        FDecP.resize(std::size_t(NrOfColumns()), 3);
    });
    GatedInvalidate();
    ChangedSetup();
    ChangedData();
}

void TNTabEd::CopyContentsFrom(const TNTabEd& ExtTab) {
    if (&ExtTab == this) return;
    HideEditor();
    Suppressed([&] { FData->CopyFrom(ExtTab.Data()); });
    FDecP = ExtTab.FDecP;
    FDecP.resize(std::size_t(NrOfColumns()), 3);
    GatedInvalidate();
    ChangedSetup();
    ChangedData();
}

void TNTabEd::CopyCellStatesFrom(const TNTabEd& ExtTab) {
    const int nc = std::min(NrOfColumns(), ExtTab.NrOfColumns());
    const int nr = std::min(NrOfRows(), ExtTab.NrOfRows());
    Suppressed([&] {
        for (int r = 1; r <= nr; ++r)
            for (int c = 1; c <= nc; ++c)
                FData->SetCellState(c, r, ExtTab.Data().GetCellState(c, r));
    });
    GatedInvalidate();
    ChangedCellStates();
}

// ---- Sorts ----------------------------------------------------------------------------------

namespace {
// Clamps a block to the table; false when nothing is left.
bool ClampBlock(const TDataTable& T, int& LowCol, int& LowRow, int& HighCol, int& HighRow) {
    LowCol = std::max(LowCol, 1);
    LowRow = std::max(LowRow, 1);
    HighCol = std::min(HighCol, T.NrOfColumns());
    HighRow = std::min(HighRow, T.NrOfRows());
    return LowCol <= HighCol && LowRow <= HighRow;
}
} // namespace

void TNTabEd::SortCols(int SortRowIx, bool Ascending, int LowCol, int LowRow, int HighCol,
                       int HighRow, bool IncludeHeaders) {
    if (!ClampBlock(*FData, LowCol, LowRow, HighCol, HighRow)) return;
    if (SortRowIx < LowRow || SortRowIx > HighRow) return;
    HideEditor();
    FSortIncludeHd = IncludeHeaders;
    struct TReset {
        bool& F;
        ~TReset() { F = false; }
    } reset{FSortIncludeHd};
    Suppressed([&] {
        FData->SortCols(SortRowIx, Ascending, LowCol, LowRow, HighCol, HighRow, IncludeHeaders);
    });
    GatedInvalidate();
    ChangedData();
    if (IncludeHeaders) ChangedHeading();
}

void TNTabEd::SortRows(int SortColIx, bool Ascending, int LowCol, int LowRow, int HighCol,
                       int HighRow, bool IncludeHeaders) {
    if (!ClampBlock(*FData, LowCol, LowRow, HighCol, HighRow)) return;
    if (SortColIx < LowCol || SortColIx > HighCol) return;
    HideEditor();
    Suppressed([&] {
        FData->SortRows(SortColIx, Ascending, LowCol, LowRow, HighCol, HighRow, IncludeHeaders);
    });
    GatedInvalidate();
    ChangedData();
    if (IncludeHeaders) ChangedHeading();
}

namespace {
// Reorders the columns (Rows false) or rows of a block by a stable order of their keys: item
// i of the block takes the cells, names and attributes of item Order[i] (indexes from Low).
// Columns also carry their scale type, category identifiers and precision.
void PermuteBlock(TDataTable& T, std::vector<signed char>& Prec, bool Rows,
                  const std::vector<int>& Order, int LowCol, int LowRow, int HighCol, int HighRow) {
    const int n = int(Order.size());
    struct TItem {
        std::vector<double> Values;
        std::vector<std::uint8_t> States;
        std::string Name;
        std::uint8_t Attrib = 0;
        int Scale = 0;
        std::vector<std::string> IDs;
        signed char Prec = 3;
    };
    std::vector<TItem> items(static_cast<std::size_t>(n));
    const int low = Rows ? LowRow : LowCol;
    for (int i = 0; i < n; ++i) {
        TItem& it = items[std::size_t(i)];
        const int k = low + i;
        if (Rows) {
            for (int c = LowCol; c <= HighCol; ++c) {
                it.Values.push_back(T.GetElem(c, k));
                it.States.push_back(T.GetCellState(c, k));
            }
            it.Name = T.GetRowName(k);
            it.Attrib = T.GetRowAttrib(k);
        } else {
            for (int r = LowRow; r <= HighRow; ++r) {
                it.Values.push_back(T.GetElem(k, r));
                it.States.push_back(T.GetCellState(k, r));
            }
            it.Name = T.GetColName(k);
            it.Attrib = T.GetColAttrib(k);
            it.Scale = T.GetMScaleType(k);
            for (int o = 1; o <= MaxNominalOrdinal; ++o) it.IDs.push_back(T.GetNominalID(k, o));
            it.Prec = Prec[std::size_t(k - 1)];
        }
    }
    for (int i = 0; i < n; ++i) {
        const TItem& it = items[std::size_t(Order[std::size_t(i)])];
        const int k = low + i;
        if (Rows) {
            for (int c = LowCol; c <= HighCol; ++c) {
                T.SetElem(c, k, it.Values[std::size_t(c - LowCol)]);
                T.SetCellState(c, k, it.States[std::size_t(c - LowCol)]);
            }
            T.SetRowName(k, it.Name);
            T.SetRowAttrib(k, it.Attrib);
        } else {
            for (int r = LowRow; r <= HighRow; ++r) {
                T.SetElem(k, r, it.Values[std::size_t(r - LowRow)]);
                T.SetCellState(k, r, it.States[std::size_t(r - LowRow)]);
            }
            T.SetColName(k, it.Name);
            T.SetColAttrib(k, it.Attrib);
            T.SetMScaleType(k, it.Scale);
            for (int o = 1; o <= MaxNominalOrdinal; ++o)
                T.SetNominalID(k, o, it.IDs[std::size_t(o - 1)]);
            Prec[std::size_t(k - 1)] = it.Prec;
        }
    }
}

template <class Key>
std::vector<int> StableOrder(int n, bool Ascending, Key&& key) {
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return Ascending ? key(a) < key(b) : key(b) < key(a); });
    return order;
}
} // namespace

void TNTabEd::SortColAttributes(bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow) {
    if (!ClampBlock(*FData, LowCol, LowRow, HighCol, HighRow)) return;
    HideEditor();
    auto order = StableOrder(HighCol - LowCol + 1, Ascending,
                             [&](int i) { return FData->GetColAttrib(LowCol + i); });
    Suppressed(
        [&] { PermuteBlock(*FData, FDecP, false, order, LowCol, LowRow, HighCol, HighRow); });
    GatedInvalidate();
    ChangedData();
    ChangedHeading();
}

void TNTabEd::SortRowAttributes(bool Ascending, int LowCol, int LowRow, int HighCol, int HighRow) {
    if (!ClampBlock(*FData, LowCol, LowRow, HighCol, HighRow)) return;
    HideEditor();
    auto order = StableOrder(HighRow - LowRow + 1, Ascending,
                             [&](int i) { return FData->GetRowAttrib(LowRow + i); });
    Suppressed([&] { PermuteBlock(*FData, FDecP, true, order, LowCol, LowRow, HighCol, HighRow); });
    GatedInvalidate();
    ChangedData();
    ChangedHeading();
}

void TNTabEd::SortColNames(bool Ascending, bool IgnoreCase, int LowCol, int LowRow, int HighCol,
                           int HighRow) {
    if (!ClampBlock(*FData, LowCol, LowRow, HighCol, HighRow)) return;
    HideEditor();
    auto order = StableOrder(HighCol - LowCol + 1, Ascending, [&](int i) {
        std::string s = FData->GetColName(LowCol + i);
        return IgnoreCase ? LowerAscii(s) : s;
    });
    Suppressed(
        [&] { PermuteBlock(*FData, FDecP, false, order, LowCol, LowRow, HighCol, HighRow); });
    GatedInvalidate();
    ChangedData();
    ChangedHeading();
}

void TNTabEd::SortRowNames(bool Ascending, bool IgnoreCase, int LowCol, int LowRow, int HighCol,
                           int HighRow) {
    if (!ClampBlock(*FData, LowCol, LowRow, HighCol, HighRow)) return;
    HideEditor();
    auto order = StableOrder(HighRow - LowRow + 1, Ascending, [&](int i) {
        std::string s = FData->GetRowName(LowRow + i);
        return IgnoreCase ? LowerAscii(s) : s;
    });
    Suppressed([&] { PermuteBlock(*FData, FDecP, true, order, LowCol, LowRow, HighCol, HighRow); });
    GatedInvalidate();
    ChangedData();
    ChangedHeading();
}

int TNTabEd::FindColIndex(const std::string& ColID) const {
    for (int c = 1; c <= NrOfColumns(); ++c)
        if (SameTextAscii(FData->GetColName(c), ColID)) return c;
    return -1;
}

int TNTabEd::FindRowIndex(const std::string& RowID) const {
    for (int r = 1; r <= NrOfRows(); ++r)
        if (SameTextAscii(FData->GetRowName(r), RowID)) return r;
    return -1;
}

// ---- Layout ---------------------------------------------------------------------------------

void TNTabEd::SetAttribRowVisible(bool Value) {
    if (Value == AttribRowVisible()) return;
    HideEditor();
    TGridRect sel = Selection();
    if (Value) {
        SetColCount(NrOfColumns() + 2);
        for (int c = ColCount() - 1; c >= 2; --c)
            TCustomGrid::SetColWidths(c, TCustomGrid::ColWidths(c - 1));
        TCustomGrid::SetColWidths(1, FClassColWidth);
        FColOffset = 1;
        SetFixedCols(2);
        sel.Left += 1;
        sel.Right += 1;
    } else {
        SetFixedCols(1);
        FColOffset = 0;
        for (int c = 1; c < ColCount() - 1; ++c)
            TCustomGrid::SetColWidths(c, TCustomGrid::ColWidths(c + 1));
        SetColCount(NrOfColumns() + 1);
        sel.Left = std::max(sel.Left - 1, 1);
        sel.Right = std::max(sel.Right - 1, 1);
    }
    SetSelection(sel);
    GatedInvalidate();
    ChangedLayout();
}

void TNTabEd::SetAttribColVisible(bool Value) {
    if (Value == AttribColVisible()) return;
    HideEditor();
    TGridRect sel = Selection();
    if (Value) {
        SetRowCount(NrOfRows() + 2);
        for (int r = RowCount() - 1; r >= 2; --r)
            TCustomGrid::SetRowHeights(r, TCustomGrid::RowHeights(r - 1));
        TCustomGrid::SetRowHeights(1, TCustomGrid::RowHeights(0));
        FRowOffset = 1;
        SetFixedRows(2);
        sel.Top += 1;
        sel.Bottom += 1;
    } else {
        SetFixedRows(1);
        FRowOffset = 0;
        for (int r = 1; r < RowCount() - 1; ++r)
            TCustomGrid::SetRowHeights(r, TCustomGrid::RowHeights(r + 1));
        SetRowCount(NrOfRows() + 1);
        sel.Top = std::max(sel.Top - 1, 1);
        sel.Bottom = std::max(sel.Bottom - 1, 1);
    }
    SetSelection(sel);
    GatedInvalidate();
    ChangedLayout();
}

int TNTabEd::GetColWidths(int Index) const {
    if (Index > 0) return Index <= NrOfColumns() ? TCustomGrid::ColWidths(Index + FColOffset) : 0;
    if (Index == 0) return TCustomGrid::ColWidths(0);
    if (Index == -1 && FColOffset == 1) return TCustomGrid::ColWidths(1);
    return 0;
}

void TNTabEd::SetColWidths(int Index, int Value) {
    Value = std::max(Value, 0);
    if (Index > 0 && Index <= NrOfColumns()) {
        TCustomGrid::SetColWidths(Index + FColOffset, Value);
    } else if (Index == 0) {
        TCustomGrid::SetColWidths(0, Value);
    } else if (Index == -1 && FColOffset == 1) {
        TCustomGrid::SetColWidths(1, Value);
        FClassColWidth = Value;
    } else {
        return;
    }
    ChangedLayout();
}

void TNTabEd::SetRowHeight(int Index, int Value) {
    Value = std::max(Value, 0);
    if (Index > 0) {
        if (Index > NrOfRows()) return;
        TCustomGrid::SetRowHeights(Index + FRowOffset, Value);
    } else if (Index == 0) {
        TCustomGrid::SetRowHeights(0, Value);
    } else if (Index == -1 && FRowOffset == 1) {
        TCustomGrid::SetRowHeights(1, Value);
    }
}

void TNTabEd::SetDefaultColWidth(int Value) {
    TCustomGrid::SetDefaultColWidth(Value);
    TCustomGrid::SetColWidths(0, 80);
    if (FColOffset == 1) TCustomGrid::SetColWidths(1, FClassColWidth);
}

void TNTabEd::SetDataLeftCol(int Value) {
    SetLeftCol(std::clamp(Value, 1, NrOfColumns()) + FColOffset);
}

void TNTabEd::SetDataTopRow(int Value) {
    SetTopRow(std::clamp(Value, 1, NrOfRows()) + FRowOffset);
    Invalidate();
}

TGridRect TNTabEd::DataSelection() const {
    TGridRect s = Selection();
    return {s.Left - FColOffset, s.Top - FRowOffset, s.Right - FColOffset, s.Bottom - FRowOffset};
}

void TNTabEd::SelectDataRange(int LowCol, int LowRow, int HighCol, int HighRow) {
    LowCol = std::clamp(LowCol, 1, NrOfColumns());
    HighCol = std::clamp(HighCol, LowCol, NrOfColumns());
    LowRow = std::clamp(LowRow, 1, NrOfRows());
    HighRow = std::clamp(HighRow, LowRow, NrOfRows());
    SetSelection(
        {LowCol + FColOffset, LowRow + FRowOffset, HighCol + FColOffset, HighRow + FRowOffset});
    FOldSel = Selection();
    GatedInvalidate();
    ChangedSelection();
}

// ---- Look -------------------------------------------------------------------------------------

void TNTabEd::SetColorBackground(TColor Value) { SetColor(Value); }
void TNTabEd::SetColorFixed(TColor Value) { SetFixedColor(Value); }

#define KEL_NTABED_COLOR_SETTER(Name, Field)                                                       \
    void TNTabEd::Set##Name(TColor Value) {                                                        \
        if (!SetField(Field, Value)) return;                                                       \
        GatedInvalidate();                                                                         \
        ChangedLayout();                                                                           \
    }
KEL_NTABED_COLOR_SETTER(ColorNormal, FColorNormal)
KEL_NTABED_COLOR_SETTER(ColorSelected, FColorSelected)
KEL_NTABED_COLOR_SETTER(ColorMarkedA, FColorMarkedA)
KEL_NTABED_COLOR_SETTER(ColorMarkedB, FColorMarkedB)
KEL_NTABED_COLOR_SETTER(ColorMarkedBoth, FColorMarkedBoth)
KEL_NTABED_COLOR_SETTER(ColorRangeSelFG, FColorRangeSelFG)
KEL_NTABED_COLOR_SETTER(ColorRangeSelBG, FColorRangeSelBG)
#undef KEL_NTABED_COLOR_SETTER

void TNTabEd::SetBoldMarks(bool Value) {
    if (SetField(FBoldMarks, Value)) ChangedLayout();
}

void TNTabEd::SetBoldSelHeads(bool Value) {
    if (SetField(FBoldSelHeads, Value)) ChangedLayout();
}

void TNTabEd::SetShowCellCursor(bool Value) {
    if (SetField(FShowCellCursor, Value)) Invalidate();
}

void TNTabEd::SetNumWidth(int Value) {
    if (Value >= 1 && Value <= 20 && SetField(FNumWidth, Value)) GatedInvalidate();
    ChangedLayout();
}

void TNTabEd::SetOptimizeRowHeight(bool Value) {
    if (SetField(FOptimizeRowHeight, Value)) GatedInvalidate();
}

void TNTabEd::SetNomEditDropDownCount(int Value) { FNomDropDown = std::clamp(Value, 1, 50); }

void TNTabEd::SetDataReadOnly(bool Value) {
    if (!SetField(FReadOnly, Value)) return;
    if (FReadOnly) {
        HideEditor();
        TGridOptions o = Options();
        o.exclude(goEditing);
        SetOptions(o);
    }
    ChangedSetup();
}

// ---- Published properties -------------------------------------------------------------------

namespace {
using E = TNTabEd;
const TClassRegistrar<E> ntabedReg("TNTabEd", "TCustomGrid", [](auto& p) {
    p.Int("NrOfColumns", &E::NrOfColumns, &E::SetNrCols, 3);
    p.Int("NrOfRows", &E::NrOfRows, &E::SetNrRows, 4);
    p.Bool("AttribRowVisible", &E::AttribRowVisible, &E::SetAttribRowVisible, true);
    p.Bool("AttribColVisible", &E::AttribColVisible, &E::SetAttribColVisible, false);
    p.String("Comment", &E::Comment, &E::SetComment, "");
    p.Bool("DataReadOnly", &E::DataReadOnly, &E::SetDataReadOnly, false);
    p.Bool("ClipboardUseFullPrec", &E::ClipboardUseFullPrec, &E::SetClipboardUseFullPrec, true);
    p.Int("NumWidth", &E::NumWidth, &E::SetNumWidth, 1);
    // ColorBackground and ColorFixed are other names of Color and FixedColor: those are
    // stored, so reading a file does not set the colour twice (and lose ParentColor).
    p.Color("ColorBackground", &E::ColorBackground, &E::SetColorBackground, clWindow)
        .Stored([](const E&) { return false; });
    p.Color("ColorFixed", &E::ColorFixed, &E::SetColorFixed, clBtnFace).Stored([](const E&) {
        return false;
    });
    p.Color("ColorNormal", &E::ColorNormal, &E::SetColorNormal, TColor(0x002000));
    p.Color("ColorSelected", &E::ColorSelected, &E::SetColorSelected, TColor(0x404040));
    p.Color("ColorMarkedA", &E::ColorMarkedA, &E::SetColorMarkedA, TColor(0x0000FF));
    p.Color("ColorMarkedB", &E::ColorMarkedB, &E::SetColorMarkedB, TColor(0xFF0000));
    p.Color("ColorMarkedBoth", &E::ColorMarkedBoth, &E::SetColorMarkedBoth, TColor(0xCC00BB));
    p.Color("ColorRangeSelFG", &E::ColorRangeSelFG, &E::SetColorRangeSelFG, TColor(0x80552C));
    p.Color("ColorRangeSelBG", &E::ColorRangeSelBG, &E::SetColorRangeSelBG, TColor(0xF8E8E0));
    p.Bool("BoldMarks", &E::BoldMarks, &E::SetBoldMarks, true);
    p.Bool("BoldSelHeads", &E::BoldSelHeads, &E::SetBoldSelHeads, true);
    p.Bool("ShowCellCursor", &E::ShowCellCursor, &E::SetShowCellCursor, true);
    p.Bool("OptimizeRowHeight", &E::OptimizeRowHeight, &E::SetOptimizeRowHeight, false);
    p.Bool("AutoAdvance", &E::AutoAdvance, &E::SetAutoAdvance, true);
    p.Enum("AutoAdvanceDir", &E::AutoAdvanceDir, &E::SetAutoAdvanceDir, orVertical,
           {"orVertical", "orHorizontal"});
    p.Bool("CommentEditingAllowed", &E::CommentEditingAllowed, &E::SetCommentEditingAllowed, true);
    p.Bool("BlockInternalPopup", &E::BlockInternalPopup, &E::SetBlockInternalPopup, false);
    p.Int("NomEditDropDownCount", &E::NomEditDropDownCount, &E::SetNomEditDropDownCount, 8);
    // PopupDMask and PopupHMask are run-time settings, like the popup captions: not streamed.
    p.Int(
        "DefaultColWidth", [](const E& e) { return e.DefaultColWidth(); },
        [](E& e, int w) { e.SetDefaultColWidth(w); }, 64);
    p.Int(
        "DefaultRowHeight", [](const E& e) { return e.DefaultRowHeight(); },
        [](E& e, int h) { e.SetDefaultRowHeight(h); }, 24);
    p.Int("LeftCol", &E::DataLeftCol, &E::SetDataLeftCol, 1);
    p.Int("TopRow", &E::DataTopRow, &E::SetDataTopRow, 1);
    p.Color(
        "Color", [](const E& e) { return e.Color(); }, [](E& e, TColor c) { e.SetColor(c); },
        clWindow);
});
} // namespace

} // namespace kel
