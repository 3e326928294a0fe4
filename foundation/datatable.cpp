// The numeric data table: storage, checked access, structure changes, state operations and the
// exchange-reporting sort. Structure changes build the new storage completely before they
// commit, so a failure leaves the table as it was.

#include "Kel_datatable.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>
#include <utility>

namespace kel {

const std::array<std::string, NumMScaleTypes> MScaleTypeNames{"unspecified", "nominal", "ordinal",
                                                              "interval", "ratio"};

namespace {

// The first n code points of UTF-8 text (a sequence is never cut in the middle).
std::string CutCodePoints(const std::string& s, int n) {
    std::size_t i = 0;
    for (int k = 0; k < n && i < s.size(); ++k) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return s.substr(0, i);
}

bool SameID(const std::string& a, const std::string& b, bool ignoreCase) {
    if (a.size() != b.size()) return false;
    if (!ignoreCase) return a == b;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string Pos(int c, int r) { return "(" + std::to_string(c) + ", " + std::to_string(r) + ")"; }

void CheckTableSize(int nc, int nr) {
    if (nc < 1 || nr < 1 || std::int64_t(nc) * nr > MaxMatrixElements)
        throw EKELDataTableError("TDataTable: cannot resize to " + std::to_string(nc) +
                                 " columns x " + std::to_string(nr) + " rows");
}

// Gives the table's size-locked matrix nc x nr elements and the values in vals (which gets
// the old ones). The matrix stays locked also when the resize fails.
void ReplaceMatrix(TMatrix& M, int nc, int nr, std::vector<double>& vals) {
    M.SetSizeLocked(false);
    try {
        M.Resize(nc, nr);
    } catch (...) {
        M.SetSizeLocked(true);
        throw;
    }
    M.SetSizeLocked(true);
    M.Storage().swap(vals);
}

} // namespace

TDataTable::TDataTable() : TDataTable(1, 1) {}

TDataTable::TDataTable(int NrCols, int NrRows) {
    FMatrix.SetOnChange([this](TObject*) { Changed(); });
    Resize(NrCols, NrRows);
}

void TDataTable::Changed() {
    if (FOnChange) FOnChange(this);
}
void TDataTable::ChangedSetup() {
    if (FOnChangeSetup) FOnChangeSetup(this);
}
void TDataTable::Resized(int oldCols, int oldRows) {
    if (FOnResize) FOnResize(this, oldCols, oldRows, FNrCols, FNrRows);
}

void TDataTable::CheckCol(int ColNr, const char* op) const {
    if (ColNr < 1 || ColNr > FNrCols)
        throw EKELDataTableError(std::string("TDataTable.") + op + ": column " +
                                 std::to_string(ColNr) + " outside 1.." + std::to_string(FNrCols));
}
void TDataTable::CheckRow(int RowNr, const char* op) const {
    if (RowNr < 1 || RowNr > FNrRows)
        throw EKELDataTableError(std::string("TDataTable.") + op + ": row " +
                                 std::to_string(RowNr) + " outside 1.." + std::to_string(FNrRows));
}

std::size_t TDataTable::Cell(int ACol, int ARow) const {
    if (ACol < 1 || ACol > FNrCols || ARow < 1 || ARow > FNrRows)
        throw EKELDataTableError("TDataTable: cell " + Pos(ACol, ARow) + " outside " +
                                 std::to_string(FNrCols) + " x " + std::to_string(FNrRows));
    return std::size_t(ARow - 1) * FNrCols + (ACol - 1);
}

void TDataTable::Remap(const std::vector<int>& colSrc, const std::vector<int>& rowSrc) {
    const int nc = int(colSrc.size()), nr = int(rowSrc.size());
    CheckTableSize(nc, nr);
    std::vector<double> vals;
    std::vector<std::uint8_t> states;
    std::vector<ColumnInfo> cols;
    std::vector<RowInfo> rows;
    try {
        vals.assign(std::size_t(nc) * nr, 0.0);
        states.assign(std::size_t(nc) * nr, 0);
        cols.resize(nc);
        rows.resize(nr);
    } catch (const std::bad_alloc&) {
        throw EKELDataTableError("TDataTable: not enough memory for " + std::to_string(nc) + " x " +
                                 std::to_string(nr) + " cells");
    }
    const std::vector<double>& oldVals = FMatrix.Storage();
    for (int r = 0; r < nr; ++r) {
        int sr = rowSrc[r];
        if (sr > 0) rows[r] = FRows[sr - 1];
        for (int c = 0; c < nc; ++c) {
            int sc = colSrc[c];
            if (sr > 0 && sc > 0) {
                std::size_t from = std::size_t(sr - 1) * FNrCols + (sc - 1);
                vals[std::size_t(r) * nc + c] = oldVals[from];
                states[std::size_t(r) * nc + c] = FStates[from];
            }
        }
    }
    for (int c = 0; c < nc; ++c)
        if (colSrc[c] > 0) cols[c] = FCols[colSrc[c] - 1];
    ReplaceMatrix(FMatrix, nc, nr, vals);
    FStates.swap(states);
    FCols.swap(cols);
    FRows.swap(rows);
    FNrCols = nc;
    FNrRows = nr;
}

namespace {
// 1..n with 0 for positions past the old count.
std::vector<int> Identity(int n, int old) {
    std::vector<int> v(n);
    for (int i = 0; i < n; ++i) v[i] = i + 1 <= old ? i + 1 : 0;
    return v;
}
} // namespace

void TDataTable::Resize(int NrCols, int NrRows) {
    CheckTableSize(NrCols, NrRows);
    if (NrCols == FNrCols && NrRows == FNrRows) return;
    int oc = FNrCols, orr = FNrRows;
    Remap(Identity(NrCols, oc), Identity(NrRows, orr));
    Resized(oc, orr);
}

double TDataTable::GetElem(int ACol, int ARow) const { return FMatrix.Storage()[Cell(ACol, ARow)]; }

void TDataTable::SetElem(int ACol, int ARow, double Value) {
    Cell(ACol, ARow);                   // raises with the table's message
    FMatrix.SetElem(ACol, ARow, Value); // fires OnChange through the matrix
}

std::uint8_t TDataTable::GetCellState(int ACol, int ARow) const {
    return FStates[Cell(ACol, ARow)];
}

void TDataTable::SetCellState(int ACol, int ARow, std::uint8_t State) {
    FStates[Cell(ACol, ARow)] = State;
    Changed();
}

bool TDataTable::GetIsNumber(int ACol, int ARow) const {
    return (FStates[Cell(ACol, ARow)] & (dtsInvalid | dtsEmpty)) == 0;
}

TDTNameStr TDataTable::GetColName(int ColNr) const {
    CheckCol(ColNr, "GetColName");
    return FCols[ColNr - 1].Name;
}
TDTNameStr TDataTable::GetRowName(int RowNr) const {
    CheckRow(RowNr, "GetRowName");
    return FRows[RowNr - 1].Name;
}
void TDataTable::SetColName(int ColNr, const TDTNameStr& Name) {
    CheckCol(ColNr, "SetColName");
    FCols[ColNr - 1].Name = CutCodePoints(Name, MaxDTNameLength);
    ChangedSetup();
}
void TDataTable::SetRowName(int RowNr, const TDTNameStr& Name) {
    CheckRow(RowNr, "SetRowName");
    FRows[RowNr - 1].Name = CutCodePoints(Name, MaxDTNameLength);
    ChangedSetup();
}
std::uint8_t TDataTable::GetColAttrib(int ColNr) const {
    CheckCol(ColNr, "GetColAttrib");
    return FCols[ColNr - 1].Attrib;
}
std::uint8_t TDataTable::GetRowAttrib(int RowNr) const {
    CheckRow(RowNr, "GetRowAttrib");
    return FRows[RowNr - 1].Attrib;
}
void TDataTable::SetColAttrib(int ColNr, std::uint8_t Attrib) {
    CheckCol(ColNr, "SetColAttrib");
    FCols[ColNr - 1].Attrib = Attrib;
    ChangedSetup();
}
void TDataTable::SetRowAttrib(int RowNr, std::uint8_t Attrib) {
    CheckRow(RowNr, "SetRowAttrib");
    FRows[RowNr - 1].Attrib = Attrib;
    ChangedSetup();
}

int TDataTable::GetMScaleType(int ColNr) const {
    CheckCol(ColNr, "GetMScaleType");
    return FCols[ColNr - 1].ScaleType;
}
void TDataTable::SetMScaleType(int ColNr, int ScaleType) {
    CheckCol(ColNr, "SetMScaleType");
    if (ScaleType < 0 || ScaleType >= NumMScaleTypes)
        throw EKELDataTableError("TDataTable.SetMScaleType: scale type " +
                                 std::to_string(ScaleType) + " outside 0.." +
                                 std::to_string(NumMScaleTypes - 1));
    FCols[ColNr - 1].ScaleType = std::uint8_t(ScaleType);
    ChangedSetup();
}

std::string TDataTable::GetNominalID(int ColNr, int Ordinal) const {
    CheckCol(ColNr, "GetNominalID");
    if (Ordinal < 1 || Ordinal > MaxNominalOrdinal)
        throw EKELDataTableError("TDataTable.GetNominalID: ordinal " + std::to_string(Ordinal) +
                                 " outside 1.." + std::to_string(MaxNominalOrdinal));
    const auto& ids = FCols[ColNr - 1].NominalIDs;
    return ids.empty() ? std::string() : ids[Ordinal - 1];
}

void TDataTable::SetNominalID(int ColNr, int Ordinal, const std::string& ID) {
    CheckCol(ColNr, "SetNominalID");
    if (Ordinal < 1 || Ordinal > MaxNominalOrdinal)
        throw EKELDataTableError("TDataTable.SetNominalID: ordinal " + std::to_string(Ordinal) +
                                 " outside 1.." + std::to_string(MaxNominalOrdinal));
    auto& ids = FCols[ColNr - 1].NominalIDs;
    if (ids.empty()) ids.resize(MaxNominalOrdinal);
    ids[Ordinal - 1] = CutCodePoints(ID, MaxNominalIDLength);
    ChangedSetup();
}

int TDataTable::OrdinalOfNominalID(int ColNr, const std::string& ID, bool IgnoreCase) const {
    CheckCol(ColNr, "OrdinalOfNominalID");
    std::string key = CutCodePoints(ID, MaxNominalIDLength);
    if (key.empty()) return 0;
    const auto& ids = FCols[ColNr - 1].NominalIDs;
    for (std::size_t i = 0; i < ids.size(); ++i)
        if (SameID(ids[i], key, IgnoreCase)) return int(i) + 1;
    return 0;
}

void TDataTable::SetComment(const std::string& s) {
    FComment = s;
    ChangedSetup();
}

void TDataTable::InsertRow(int ix) {
    if (ix < 1 || ix > FNrRows + 1)
        throw EKELDataTableError("TDataTable.InsertRow: index " + std::to_string(ix) +
                                 " outside 1.." + std::to_string(FNrRows + 1));
    std::vector<int> rows(FNrRows + 1);
    for (int r = 1; r <= FNrRows + 1; ++r) rows[r - 1] = r < ix ? r : r == ix ? 0 : r - 1;
    int oc = FNrCols, orr = FNrRows;
    Remap(Identity(FNrCols, FNrCols), rows);
    Resized(oc, orr);
}

void TDataTable::InsertColumn(int ix) {
    if (ix < 1 || ix > FNrCols + 1)
        throw EKELDataTableError("TDataTable.InsertColumn: index " + std::to_string(ix) +
                                 " outside 1.." + std::to_string(FNrCols + 1));
    std::vector<int> cols(FNrCols + 1);
    for (int c = 1; c <= FNrCols + 1; ++c) cols[c - 1] = c < ix ? c : c == ix ? 0 : c - 1;
    int oc = FNrCols, orr = FNrRows;
    Remap(cols, Identity(FNrRows, FNrRows));
    Resized(oc, orr);
}

void TDataTable::RemoveRow(int ix) {
    if (FNrRows < 2)
        throw EKELDataTableError("TDataTable.RemoveRow: the only row cannot be removed");
    CheckRow(ix, "RemoveRow");
    std::vector<int> rows(FNrRows - 1);
    for (int r = 1; r < FNrRows; ++r) rows[r - 1] = r < ix ? r : r + 1;
    int oc = FNrCols, orr = FNrRows;
    Remap(Identity(FNrCols, FNrCols), rows);
    Resized(oc, orr);
}

void TDataTable::RemoveColumn(int ix) {
    if (FNrCols < 2)
        throw EKELDataTableError("TDataTable.RemoveColumn: the only column cannot be removed");
    CheckCol(ix, "RemoveColumn");
    std::vector<int> cols(FNrCols - 1);
    for (int c = 1; c < FNrCols; ++c) cols[c - 1] = c < ix ? c : c + 1;
    int oc = FNrCols, orr = FNrRows;
    Remap(cols, Identity(FNrRows, FNrRows));
    Resized(oc, orr);
}

void TDataTable::SwapCells(int c1, int r1, int c2, int r2) {
    std::size_t a = std::size_t(r1 - 1) * FNrCols + (c1 - 1);
    std::size_t b = std::size_t(r2 - 1) * FNrCols + (c2 - 1);
    std::swap(FMatrix.Storage()[a], FMatrix.Storage()[b]);
    std::swap(FStates[a], FStates[b]);
}

void TDataTable::ExchangeRows(int r1, int r2) {
    CheckRow(r1, "ExchangeRows");
    CheckRow(r2, "ExchangeRows");
    if (r1 != r2) {
        for (int c = 1; c <= FNrCols; ++c) SwapCells(c, r1, c, r2);
        std::swap(FRows[r1 - 1], FRows[r2 - 1]);
    }
    Changed();
    ChangedSetup();
}

void TDataTable::ExchangeColumns(int c1, int c2) {
    CheckCol(c1, "ExchangeColumns");
    CheckCol(c2, "ExchangeColumns");
    if (c1 != c2) {
        for (int r = 1; r <= FNrRows; ++r) SwapCells(c1, r, c2, r);
        std::swap(FCols[c1 - 1], FCols[c2 - 1]);
    }
    Changed();
    ChangedSetup();
}

void TDataTable::MirrorRows() {
    for (int a = 1, b = FNrRows; a < b; ++a, --b) {
        for (int c = 1; c <= FNrCols; ++c) SwapCells(c, a, c, b);
        std::swap(FRows[a - 1], FRows[b - 1]);
    }
    Changed();
    ChangedSetup();
}

void TDataTable::MirrorColumns() {
    for (int a = 1, b = FNrCols; a < b; ++a, --b) {
        for (int r = 1; r <= FNrRows; ++r) SwapCells(a, r, b, r);
        std::swap(FCols[a - 1], FCols[b - 1]);
    }
    Changed();
    ChangedSetup();
}

void TDataTable::Clear() {
    std::fill(FMatrix.Storage().begin(), FMatrix.Storage().end(), 0.0);
    std::fill(FStates.begin(), FStates.end(), std::uint8_t(0));
    for (auto& c : FCols) c = ColumnInfo{};
    for (auto& r : FRows) r = RowInfo{};
    FComment.clear();
    Changed();
    ChangedSetup();
}

void TDataTable::UnmarkAllCells() {
    for (auto& s : FStates) s &= std::uint8_t(~(dtsMarkA | dtsMarkB));
    Changed();
}

void TDataTable::ExchangeMarkings() {
    for (auto& s : FStates) {
        std::uint8_t a = s & dtsMarkA, b = s & dtsMarkB;
        s = std::uint8_t((s & ~(dtsMarkA | dtsMarkB)) | (a << 1) | (b >> 1));
    }
    Changed();
}

void TDataTable::InvertCellStates(std::uint8_t Mask) {
    for (auto& s : FStates) s ^= Mask;
    Changed();
}

int TDataTable::FillMarkedCells(double Value, std::uint8_t Mask) {
    int n = 0;
    auto& vals = FMatrix.Storage();
    for (std::size_t i = 0; i < FStates.size(); ++i)
        if (FStates[i] & Mask) {
            vals[i] = Value;
            FStates[i] &= std::uint8_t(~(dtsInvalid | dtsEmpty));
            ++n;
        }
    Changed();
    return n;
}

void TDataTable::SortRange(bool rows, int key, bool Ascending, int LowCol, int LowRow, int HighCol,
                           int HighRow, bool IncludeHeaders) {
    const char* op = rows ? "SortRows" : "SortCols";
    CheckCol(LowCol, op);
    CheckCol(HighCol, op);
    CheckRow(LowRow, op);
    CheckRow(HighRow, op);
    if (LowCol > HighCol || LowRow > HighRow)
        throw EKELDataTableError(std::string("TDataTable.") + op + ": empty range " +
                                 Pos(LowCol, LowRow) + " to " + Pos(HighCol, HighRow));
    const int lo = rows ? LowRow : LowCol, hi = rows ? HighRow : HighCol;
    const int keyLo = rows ? LowCol : LowRow, keyHi = rows ? HighCol : HighRow;
    if (key < keyLo || key > keyHi)
        throw EKELDataTableError(std::string("TDataTable.") + op + ": sort key " +
                                 std::to_string(key) + " outside the range " +
                                 std::to_string(keyLo) + ".." + std::to_string(keyHi));

    // Key of line i (a row when sorting rows, else a column); nullopt-like flag for non-numbers.
    auto cellOf = [&](int i) { return rows ? Cell(key, i) : Cell(i, key); };
    const int n = hi - lo + 1;
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), lo);
    auto isNum = [&](int i) {
        std::size_t c = cellOf(i);
        return (FStates[c] & (dtsInvalid | dtsEmpty)) == 0 && !std::isnan(FMatrix.Storage()[c]);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        bool na = isNum(a), nb = isNum(b);
        if (na != nb) return na; // numbers before non-numbers
        if (!na) return false;
        double va = FMatrix.Storage()[cellOf(a)], vb = FMatrix.Storage()[cellOf(b)];
        return Ascending ? va < vb : va > vb;
    });

    // Apply the permutation with exchanges: at[p] is the original line now at position p,
    // where[o] the position of original line o.
    std::vector<int> at(n), where(n);
    std::iota(at.begin(), at.end(), lo);
    std::iota(where.begin(), where.end(), 0);
    bool moved = false;
    int lastPercent = -1;
    for (int p = 0; p < n; ++p) {
        int q = where[order[p] - lo];
        if (q != p) {
            int i1 = lo + p, i2 = lo + q;
            if (FOnSortExchange) FOnSortExchange(this, rows ? dtExchgRows : dtExchgColumns, i1, i2);
            if (rows) {
                for (int c = LowCol; c <= HighCol; ++c) SwapCells(c, i1, c, i2);
                if (IncludeHeaders) std::swap(FRows[i1 - 1], FRows[i2 - 1]);
            } else {
                for (int r = LowRow; r <= HighRow; ++r) SwapCells(i1, r, i2, r);
                if (IncludeHeaders) std::swap(FCols[i1 - 1], FCols[i2 - 1]);
            }
            std::swap(at[p], at[q]);
            where[at[p] - lo] = p;
            where[at[q] - lo] = q;
            moved = true;
        }
        int percent = int(std::int64_t(p + 1) * 100 / n);
        if (percent != lastPercent && FOnPercentDone) FOnPercentDone(this, percent);
        lastPercent = percent;
    }
    if (moved) {
        Changed();
        if (IncludeHeaders) ChangedSetup();
    }
}

void TDataTable::SortRows(int SortColIx, bool Ascending, int LowCol, int LowRow, int HighCol,
                          int HighRow, bool IncludeHeaders) {
    SortRange(true, SortColIx, Ascending, LowCol, LowRow, HighCol, HighRow, IncludeHeaders);
}

void TDataTable::SortCols(int SortRowIx, bool Ascending, int LowCol, int LowRow, int HighCol,
                          int HighRow, bool IncludeHeaders) {
    SortRange(false, SortRowIx, Ascending, LowCol, LowRow, HighCol, HighRow, IncludeHeaders);
}

void TDataTable::SortRows(int SortColIx, bool Ascending) {
    SortRows(SortColIx, Ascending, 1, 1, FNrCols, FNrRows, true);
}

void TDataTable::SortCols(int SortRowIx, bool Ascending) {
    SortCols(SortRowIx, Ascending, 1, 1, FNrCols, FNrRows, true);
}

void TDataTable::CopyFrom(const TDataTable& Source) {
    if (&Source == this) return;
    // Build every part first; commit without anything that can throw.
    std::vector<double> vals = Source.FMatrix.Storage();
    std::vector<std::uint8_t> states = Source.FStates;
    std::vector<ColumnInfo> cols = Source.FCols;
    std::vector<RowInfo> rows = Source.FRows;
    std::string comment = Source.FComment;
    int oc = FNrCols, orr = FNrRows;
    ReplaceMatrix(FMatrix, Source.FNrCols, Source.FNrRows, vals);
    FStates.swap(states);
    FCols.swap(cols);
    FRows.swap(rows);
    FComment.swap(comment);
    FNrCols = Source.FNrCols;
    FNrRows = Source.FNrRows;
    if (oc != FNrCols || orr != FNrRows) Resized(oc, orr);
    Changed();
    ChangedSetup();
}

} // namespace kel
