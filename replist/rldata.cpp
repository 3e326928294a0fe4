// TRLData: sizes and column metadata, cell access with the check-column rules, numeric reading
// and default values, check-mark operations, row and column editing, sorting through the
// string array, Assign, the clipboard text and the progress helper. The exchange formats are in
// rlexchange.cpp.
#include "KEL_replist.h"

#include "numtext.h"
#include "Kel_filesys.h"
#include "Kel_stringl.h"
#include "kel_app.h"
#include "kel_props.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kel {

namespace {

const char* const DefaultCommonHeader = "Kel Report Listview";

std::string DefaultColName(int ColNr) { return "C-" + std::to_string(ColNr); }

std::string Lower(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

bool IsCheckMode(TCheckMode m) { return m == cmBox || m == cmRadio; }

// A stored check cell counts as checked when it is non-empty and does not start with a blank.
bool StoredChecked(const std::string& s) { return !s.empty() && s[0] != ' '; }

// Bytes of the check character at the start of a stored check cell: one whole UTF-8 character
// (a cell read from a file may start with any character), 0 for an empty cell.
std::size_t CheckCharBytes(const std::string& s) {
    return static_cast<std::size_t>(Utf8CharLen(s, 0));
}

// The visible text of a stored check cell: the cell without its check character.
std::string WithoutCheckChar(const std::string& s) { return s.substr(CheckCharBytes(s)); }

// The stored cell with its check character replaced (an empty cell becomes the character).
std::string WithCheckChar(const std::string& s, bool Checked) {
    std::string r(1, Checked ? 'X' : ' ');
    r.append(s, CheckCharBytes(s));
    return r;
}

// Switches the array's change notification off for a scope and restores it afterwards.
class TChangeMute {
  public:
    explicit TChangeMute(TStringArray& a) : FArray(a), FSaved(a.OnChange()) {
        a.SetOnChange(nullptr);
    }
    ~TChangeMute() { FArray.SetOnChange(std::move(FSaved)); }
    TChangeMute(const TChangeMute&) = delete;
    TChangeMute& operator=(const TChangeMute&) = delete;

  private:
    TStringArray& FArray;
    TNotifyEvent FSaved;
};

// Locale-independent reading of "[sign]digits[.digits][e[sign]digits]" (at least one digit in
// the mantissa). False for anything else, including values beyond the range of double.
bool ParseDecimal(const std::string& s, double& Value) {
    std::size_t i = 0, n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    const std::size_t mant = i;
    std::size_t digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t ed = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9') ++i, ++ed;
        if (ed == 0) return false;
    }
    if (i != n) return false;
    // from_chars takes neither "+" nor a mantissa starting with "."; give it a plain form.
    std::string t = s.substr(mant);
    if (!t.empty() && t[0] == '.') t.insert(t.begin(), '0');
    double v = 0;
    const auto res = std::from_chars(t.data(), t.data() + t.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too small for double reads as 0; too large is not a number we can hold.
        if (std::abs(std::strtod(t.c_str(), nullptr)) > 1.0) return false;
        v = 0;
    } else if (res.ec != std::errc() || res.ptr != t.data() + t.size()) {
        return false;
    }
    Value = (s[0] == '-') ? -v : v;
    return true;
}

} // namespace

// ---- Tags of the XML format --------------------------------------------------------------------

const char* RepListXmlTagName(TRepListXmlTag Tag) {
    static const char* const names[] = {"numcols",      "numrows",      "colname", "checkedcolumn",
                                        "commonheader", "columnformat", "cell",    "comment",
                                        "/replist",     "invalidtag"};
    return Tag <= xmlInvalid ? names[Tag] : names[xmlInvalid];
}

TRepListXmlTag RepListXmlTagOf(const char* Name) {
    for (int t = xmlNumCols; t < xmlInvalid; ++t)
        if (std::strcmp(Name, RepListXmlTagName(static_cast<TRepListXmlTag>(t))) == 0)
            return static_cast<TRepListXmlTag>(t);
    return xmlInvalid;
}

// ---- Progress ----------------------------------------------------------------------------------

TRLProgress::TRLProgress(TRLData& Data, long long Total)
    : FData(Data), FTotal(std::max(Total, 1LL)), FStep(FTotal / 100 + 1), FNext(FStep) {}

void TRLProgress::Report() {
    FNext = FDone + FStep;
    if (!FData.FOnPercentDone) return;
    const int pct = static_cast<int>(std::min<long long>(100, FDone * 100 / FTotal));
    if (pct == FLast) return;
    FLast = pct;
    FData.FOnPercentDone(&FData, pct);
}

void TRLProgress::Done() {
    if (!FData.FOnPercentDone || FLast == 100) return;
    FLast = 100;
    FData.FOnPercentDone(&FData, 100);
}

// ---- Construction ------------------------------------------------------------------------------

TRLData::TRLData(TComponent* AOwner) : TComponent(AOwner), FCommonHeader(DefaultCommonHeader) {
    try {
        FColName.assign(1, DefaultColName(1));
        FColumnFormat.assign(1, TColFmtString());
        FColButMode.assign(1, cmNone);
    } catch (const std::bad_alloc&) {
        throw EKELRLDataError("Component \"" + Name() + "\": failed to initialize (out of memory)");
    }
    FStrings.SetRowAllocStep(10);
    FStrings.Resize(FNrOfCols, std::max(FNrOfRows, 1));
    FStrings.Clear();
    FStrings.SetOnBeforeSortExchange(
        [this](TObject*, const std::string& s, std::string& t) { BeforeSortExchange(this, s, t); });
    FStrings.SetCaseFold(&RLCaseFold); // the sort folds as the filters do
}

TRLData::~TRLData() = default;

void TRLData::UpdateFeedback(bool AtLeastOneRow) {
    const int rows = AtLeastOneRow ? std::max(FNrOfRows, 1) : FNrOfRows;
    const long long cells = static_cast<long long>(rows) * (FNrOfCols + 1);
    SetFeedbackBase(static_cast<int>(std::min<long long>(cells, 0x7FFFFFFF)));
}

void TRLData::SetFeedbackBase(int NumCells) {
    FFeedbkNumCells = std::max(NumCells, 1);
    FFeedbkStep = FFeedbkNumCells / 100 + 1;
}

void TRLData::ResetColumnMeta() {
    for (int c = 0; c < FNrOfCols; ++c) {
        FColName[c] = DefaultColName(c + 1);
        FColumnFormat[c].clear();
        FColButMode[c] = cmNone;
    }
}

// ---- Size and metadata -------------------------------------------------------------------------

void TRLData::SetNrCols(int Value) {
    Value = std::max(Value, 1);
    try {
        FColName.reserve(Value);
        FColumnFormat.reserve(Value);
        FColButMode.reserve(Value);
    } catch (const std::bad_alloc&) {
        throw EKELRLDataError("Component \"" + Name() + "\": not enough memory on heap");
    }
    FStrings.Resize(Value, std::max(FNrOfRows, 1));
    const int old = static_cast<int>(FColName.size());
    FColName.resize(Value);
    FColumnFormat.resize(Value);
    FColButMode.resize(Value, cmNone);
    for (int c = old; c < Value; ++c) FColName[c] = DefaultColName(c + 1);
    FNrOfCols = Value;
    UpdateFeedback(true);
}

void TRLData::SetNrRows(int Value) {
    Value = std::max(Value, 0);
    FStrings.Resize(std::max(FNrOfCols, 1), std::max(Value, 1));
    if (Value == 0 && FNrOfRows > 0) {
        // The array keeps one row of storage. Empty all of it, column 0, check characters and
        // attribute included, so that a row added later does not bring back old content.
        for (int c = 0; c <= FStrings.NrOfColumns(); ++c) FStrings.SetString(c, 1, std::string());
        FStrings.SetRowAttrib(1, 0);
    }
    FNrOfRows = Value;
    UpdateFeedback(false);
}

TNameStrType TRLData::GetColName(int ColNr) const {
    return ValidCol(ColNr) ? FColName[ColNr - 1] : TNameStrType();
}

void TRLData::SetColName(int ColNr, const TNameStrType& HLine) {
    if (ValidCol(ColNr)) FColName[ColNr - 1] = Utf8Left(HLine, MaxColNameChars);
}

TColFmtString TRLData::GetColumnFormat(int ColNr) const {
    return ValidCol(ColNr) ? FColumnFormat[ColNr - 1] : TColFmtString();
}

void TRLData::SetColumnFormat(int ColNr, const TColFmtString& DefValue) {
    if (ValidCol(ColNr)) FColumnFormat[ColNr - 1] = Utf8Left(DefValue, MaxColFormatChars);
}

TCheckMode TRLData::GetColCheckMode(int ColNr) const {
    return ValidCol(ColNr) ? FColButMode[ColNr - 1] : cmNone;
}

void TRLData::SetColCheckMode(int ColNr, TCheckMode Value) {
    if (!ValidCol(ColNr) || Value > cmRadio || Value == FColButMode[ColNr - 1]) return;
    TChangeMute mute(FStrings);
    const TCheckMode old = FColButMode[ColNr - 1];
    FColButMode[ColNr - 1] = Value;
    for (int r = 1; r <= FNrOfRows; ++r) {
        const std::string s = FStrings.GetString(ColNr, r);
        if (IsCheckMode(old) && Value == cmNone) {
            if (!s.empty()) FStrings.SetString(ColNr, r, WithoutCheckChar(s));
        } else if (old == cmNone) {
            if (!s.empty()) FStrings.SetString(ColNr, r, " " + s);
        } else if (old == cmBox && Value == cmRadio) {
            FStrings.SetString(ColNr, r, WithCheckChar(s, false));
        }
    }
}

int TRLData::ColumnIndex(const std::string& Head, bool PartialMatch) const {
    const std::string h = Lower(Head);
    for (int c = FNrOfCols; c >= 1; --c) {
        const std::string name = Lower(FColName[c - 1]);
        if (PartialMatch ? (!h.empty() && name.find(h) != std::string::npos) : name == h) return c;
    }
    return -1;
}

// ---- Cells -------------------------------------------------------------------------------------

std::string TRLData::GetElem(int ACol, int ARow) const {
    if (ACol < 0 || ACol > FNrOfCols || !ValidRow(ARow)) return {};
    const std::string s = FStrings.GetString(ACol, ARow);
    return IsCheckMode(GetColCheckMode(ACol)) ? WithoutCheckChar(s) : s;
}

void TRLData::SetElem(int ACol, int ARow, const std::string& Value) {
    if (ACol < 0 || ACol > FNrOfCols || !ValidRow(ARow)) return;
    if (IsCheckMode(GetColCheckMode(ACol))) {
        const std::string old = FStrings.GetString(ACol, ARow);
        const std::size_t n = CheckCharBytes(old);
        std::string t = n == 0 ? std::string(" ") : old.substr(0, n);
        t += Value;
        FStrings.SetString(ACol, ARow, t);
    } else {
        FStrings.SetString(ACol, ARow, Value);
    }
}

bool TRLData::GetElemChecked(int ACol, int ARow) const {
    if (!ValidRow(ARow) || !IsCheckMode(GetColCheckMode(ACol))) return false;
    return StoredChecked(FStrings.GetString(ACol, ARow));
}

void TRLData::SetElemChecked(int ACol, int ARow, bool Value) {
    if (!ValidRow(ARow)) return;
    const TCheckMode mode = GetColCheckMode(ACol);
    if (!IsCheckMode(mode)) return;
    if (mode == cmRadio) SetMarks(ACol, false, false);
    FStrings.SetString(ACol, ARow, WithCheckChar(FStrings.GetString(ACol, ARow), Value));
}

double TRLData::GetAsNumber(int ACol, int ARow) const {
    const std::string stored = FStrings.GetString(ACol, ARow);
    std::string s = IsCheckMode(GetColCheckMode(ACol)) ? WithoutCheckChar(stored) : stored;
    s = StripTrailingChars(StripLeadingChars(s, ' '), ' ');
    if (s.empty()) return 0.0;
    std::replace(s.begin(), s.end(), ',', '.');
    double v = 0;
    if (!ParseDecimal(s, v))
        throw EKELDStructError("Class TRLData: invalid numeric string: [" + std::to_string(ACol) +
                               "," + std::to_string(ARow) + "]: " + stored);
    return v;
}

std::string TRLData::GetCellDefaultValue(int ACol, int ARow) const {
    const std::string fmt = GetColumnFormat(ACol);
    const std::size_t close = fmt.find(']');
    if (close == std::string::npos || fmt.size() < 2) return {};
    const char type = fmt[1];
    std::string r = fmt.substr(close + 1);
    const std::size_t close2 = r.find(']');
    if (close2 != std::string::npos) r.erase(0, close2 + 1);
    return DefaultOfFormatRest(type, r, ARow);
}

std::string TRLData::DefaultOfFormatRest(char Type, const std::string& Rest, int ARow) {
    const std::string& r = Rest;
    const char type = Type;
    if (r.empty()) return {};
    // A count read as ScanDecInt does from a 1-based position of R; limited to 255 digits.
    auto count = [&r](int pos) {
        if (pos > static_cast<int>(r.size())) return 0;
        const int n = ScanDecInt(r, pos);
        return std::clamp(n, -255, 255);
    };
    switch (type) {
    case 'c':
    case 'l':
        return r.substr(0, r.find('|'));
    case 'd':
        return r;
    case 'e':
    case 'f':
    case 'h':
    case 'i': {
        if (Lower(r).find("rix") == std::string::npos) return r;
        const int n = count(4);
        if (type == 'h')
            return IntToHexDigits(static_cast<std::uint32_t>(ARow), std::clamp(n, 1, 8));
        if (type == 'i') {
            const int digits = std::max(n, 1);
            std::string abs = std::to_string(ARow < 0 ? -static_cast<long long>(ARow) : ARow);
            if (static_cast<int>(abs.size()) > digits)
                abs.erase(0, abs.size() - digits);
            else
                abs.insert(0, digits - abs.size(), '0');
            return ARow < 0 ? "-" + abs : abs;
        }
        return strff(ARow, 1, n);
    }
    case 's':
        if (Lower(r).find("$pwd$") == std::string::npos) return r;
        return InventPassword(count(6));
    default:
        return {};
    }
}

// ---- Check marks -------------------------------------------------------------------------------

void TRLData::SetMarks(int Column, bool Checked, bool EnabledRowsOnly) {
    for (int r = 1; r <= FNrOfRows; ++r) {
        if (EnabledRowsOnly && (FStrings.GetRowAttrib(r) & RowDisabledBit)) continue;
        FStrings.SetString(Column, r, WithCheckChar(FStrings.GetString(Column, r), Checked));
    }
}

void TRLData::SetAllCheckmarksOfCol(int Column, bool Checked, bool EnabledRowsOnly) {
    const TCheckMode mode = GetColCheckMode(Column);
    if (mode == cmBox || (!Checked && mode == cmRadio)) SetMarks(Column, Checked, EnabledRowsOnly);
}

void TRLData::InvertAllCheckmarksOfCol(int Column, bool EnabledRowsOnly) {
    if (GetColCheckMode(Column) != cmBox) return;
    for (int r = 1; r <= FNrOfRows; ++r) {
        if (EnabledRowsOnly && (FStrings.GetRowAttrib(r) & RowDisabledBit)) continue;
        const std::string s = FStrings.GetString(Column, r);
        FStrings.SetString(Column, r, WithCheckChar(s, s.empty() || s[0] != 'X'));
    }
}

int TRLData::CountCheckedElemsInCol(int Column) const {
    if (!IsCheckMode(GetColCheckMode(Column))) return 0;
    int n = 0;
    for (int r = 1; r <= FNrOfRows; ++r) n += StoredChecked(FStrings.GetString(Column, r));
    return n;
}

int TRLData::CountCheckedElemsInRow(int Row) const {
    if (!ValidRow(Row)) return 0;
    int n = 0;
    for (int c = 1; c <= FNrOfCols; ++c) n += GetElemChecked(c, Row);
    return n;
}

int TRLData::FirstCheckedElemInCol(int ColNr) const {
    if (!IsCheckMode(GetColCheckMode(ColNr))) return 0;
    for (int r = 1; r <= FNrOfRows; ++r)
        if (StoredChecked(FStrings.GetString(ColNr, r))) return r;
    return 0;
}

int TRLData::FirstCheckedElemInRow(int RowNr) const {
    if (!ValidRow(RowNr)) return 0;
    for (int c = 1; c <= FNrOfCols; ++c)
        if (GetElemChecked(c, RowNr)) return c;
    return 0;
}

// ---- Whole-table operations --------------------------------------------------------------------

void TRLData::InsertColumn(int c) {
    if (!ValidCol(c)) return;
    FStrings.InsertColumn(c);
    FColName.insert(FColName.begin() + (c - 1), TNameStrType());
    FColumnFormat.insert(FColumnFormat.begin() + (c - 1), TColFmtString());
    FColButMode.insert(FColButMode.begin() + (c - 1), cmNone);
    ++FNrOfCols;
    UpdateFeedback(true);
}

void TRLData::RemoveColumn(int c) {
    if (!ValidCol(c)) return;
    FStrings.CommitSorting();
    if (FNrOfCols >= 2) {
        FStrings.RemoveColumn(c);
        FColName.erase(FColName.begin() + (c - 1));
        FColumnFormat.erase(FColumnFormat.begin() + (c - 1));
        FColButMode.erase(FColButMode.begin() + (c - 1));
        --FNrOfCols;
    } else {
        // The array keeps the column as storage; empty it and its attribute.
        for (int r = 0; r <= FStrings.NrOfRows(); ++r) FStrings.SetString(c, r, std::string());
        FStrings.SetColAttrib(c, 0);
        FColName.clear();
        FColumnFormat.clear();
        FColButMode.clear();
        FNrOfCols = 0;
    }
    UpdateFeedback(true);
}

void TRLData::InsertRow(int r) {
    if (!ValidRow(r)) return;
    FStrings.CommitSorting();
    FStrings.InsertRow(r);
    ++FNrOfRows;
    UpdateFeedback(true);
}

void TRLData::RemoveRow(int r) {
    if (!ValidRow(r)) return;
    FStrings.CommitSorting();
    if (FNrOfRows >= 2) {
        FStrings.RemoveRow(r);
        --FNrOfRows;
    } else {
        for (int c = 0; c <= FStrings.NrOfColumns(); ++c) FStrings.SetString(c, r, std::string());
        FStrings.SetRowAttrib(r, 0);
        FNrOfRows = 0;
    }
    UpdateFeedback(true);
}

void TRLData::RemoveEmptyRows() {
    for (int r = FNrOfRows; r >= 1; --r) {
        bool empty = true;
        for (int c = 0; c <= FNrOfCols && empty; ++c) empty = GetElem(c, r).empty();
        if (empty) RemoveRow(r);
    }
}

void TRLData::CopyRow(int Source, int Target) {
    if (!ValidRow(Source) || !ValidRow(Target) || Source == Target) return;
    for (int c = 0; c <= FNrOfCols; ++c)
        FStrings.SetString(c, Target, FStrings.GetString(c, Source));
    FStrings.SetRowAttrib(Target, FStrings.GetRowAttrib(Source));
}

void TRLData::Fill(const std::string& s) {
    for (int c = 1; c <= FNrOfCols; ++c)
        for (int r = 1; r <= FNrOfRows; ++r) SetElem(c, r, s);
}

void TRLData::Clear() {
    FStrings.Clear();
    ResetColumnMeta();
}

// ---- Sorting -----------------------------------------------------------------------------------

void TRLData::Sort(int Col, int ColSec, bool Ascending) {
    FSortColumn = Col;
    FSortColumnSec = ColSec;
    FSortOrder = Ascending;
    FStrings.Sort(Col, ColSec, Ascending);
}

void TRLData::UnSort() {
    FSortColumn = -1;
    FSortColumnSec = -1;
    FStrings.UnSort();
}

// ---- Assign ------------------------------------------------------------------------------------

void TRLData::Install(TContent& Content) noexcept {
    // Move the new cells into the existing array object, keeping the hooks installed on it.
    TNotifyEvent onChange = FStrings.OnChange();
    TBeforeSortExchgEvent onSort = FStrings.OnBeforeSortExchange();
    TOnPercentDoneEvent onPct = FStrings.OnPercentDone();
    const TStringArray::TCaseFoldFunc fold = FStrings.CaseFold();
    FStrings = std::move(Content.Cells);
    FStrings.SetCaseFold(fold);
    FStrings.SetOnBeforeSortExchange(std::move(onSort));
    FStrings.SetOnPercentDone(std::move(onPct));
    FStrings.SetOnChange(std::move(onChange));
    FColName.swap(Content.ColName);
    FColumnFormat.swap(Content.ColumnFormat);
    FColButMode.swap(Content.ColButMode);
    FNrOfCols = Content.NrOfCols;
    FNrOfRows = Content.NrOfRows;
    FSortColumn = -1;
    FSortColumnSec = -1;
    UpdateFeedback(true);
    if (FStrings.OnChange()) FStrings.OnChange()(&FStrings);
}

void TRLData::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TRLData*>(Source);
    if (src == nullptr) {
        TComponent::Assign(Source);
        return;
    }
    if (src == this) return;
    const int cols = src->FNrOfCols, rows = src->FNrOfRows;
    const TStringArray& sa = src->FStrings;
    TContent ct;
    try {
        ct.NrOfCols = cols;
        ct.NrOfRows = rows;
        ct.ColName = src->FColName;
        ct.ColumnFormat = src->FColumnFormat;
        ct.ColButMode = src->FColButMode;
        ct.Cells.SetRowAllocStep(sa.RowAllocStep());
        // The array always has at least one data column and one row of storage.
        ct.Cells.Resize(std::max(cols, 1), std::max(rows, 1));
        for (int c = 0; c <= sa.NrOfColumns() && c <= ct.Cells.NrOfColumns(); ++c)
            ct.Cells.SetColAttrib(c, sa.GetColAttrib(c));
        // Cells and attributes go to the stored row the source shows them from, so that
        // copying the permutation afterwards shows the same rows in the same order.
        for (int i = 1; i <= rows; ++i) {
            const int stored = sa.GetSortOrder(i);
            ct.Cells.SetRowAttrib(stored, sa.GetRowAttrib(i));
            for (int c = 0; c <= cols; ++c) ct.Cells.SetString(c, stored, sa.GetString(c, i));
        }
        for (int i = 1; i <= rows; ++i) ct.Cells.SetSortOrder(i, sa.GetSortOrder(i));
    } catch (const std::bad_alloc&) {
        throw EKELRLDataError("Component \"" + Name() + "\": not enough memory on heap");
    }
    // SetRowAttrib addresses display rows, and the new array was unsorted while filling, so
    // stored and display numbers agreed then.
    Install(ct);
    FSortColumn = src->FSortColumn;
    FSortColumnSec = src->FSortColumnSec;
    FSortOrder = src->FSortOrder;
    FSortToggle = src->FSortToggle;
    FComment = src->FComment;
    FCommonHeader = src->FCommonHeader;
    FOnBefSortExc = src->FOnBefSortExc;
    FDataID = src->FDataID;
}

void TRLData::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TRLData*>(Dest)) {
        d->Assign(this);
        return;
    }
    TComponent::AssignTo(Dest);
}

// ---- Clipboard ---------------------------------------------------------------------------------

std::string TRLData::ClipboardText(int LeftCol, int TopRow, int RightCol, int BottomRow,
                                   bool AddHeader, bool UseTabs,
                                   const std::string& Separator) const {
    LeftCol = std::max(LeftCol, 0);
    RightCol = std::min(RightCol, FNrOfCols);
    TopRow = std::max(TopRow, 1);
    BottomRow = std::min(BottomRow, FNrOfRows);
    std::string out;
    if (UseTabs) {
        if (AddHeader) {
            for (int c = LeftCol; c <= RightCol; ++c) {
                if (c > LeftCol) out += Separator;
                out += GetColName(c);
            }
            out += "\n\n";
        }
        for (int r = TopRow; r <= BottomRow; ++r) {
            for (int c = LeftCol; c <= RightCol; ++c) {
                if (c > LeftCol) out += Separator;
                out += GetElem(c, r);
            }
            out += '\n';
        }
        return out;
    }
    std::vector<int> width;
    for (int c = LeftCol; c <= RightCol; ++c) {
        int w = AddHeader ? Utf8Length(GetColName(c)) : 0;
        for (int r = TopRow; r <= BottomRow; ++r)
            w = std::max(w, Utf8Length(FStrings.GetString(c, r)));
        width.push_back(w + 1);
    }
    if (AddHeader) {
        for (int c = LeftCol; c <= RightCol; ++c)
            out += LeftString(GetColName(c), width[c - LeftCol]);
        out += "\n\n";
    }
    for (int r = TopRow; r <= BottomRow; ++r) {
        for (int c = LeftCol; c <= RightCol; ++c)
            out += LeftString(GetElem(c, r), width[c - LeftCol]);
        out += '\n';
    }
    return out;
}

void TRLData::CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                              bool UseTabs) {
    Clipboard().SetAsText(
        ClipboardText(LeftCol, TopRow, RightCol, BottomRow, AddHeader, UseTabs, "\t"));
}

void TRLData::CopyToClipBoard(int LeftCol, int TopRow, int RightCol, int BottomRow, bool AddHeader,
                              const std::string& Separator) {
    Clipboard().SetAsText(
        ClipboardText(LeftCol, TopRow, RightCol, BottomRow, AddHeader, true, Separator));
}

// ---- Hooks -------------------------------------------------------------------------------------

void TRLData::BeforeSortExchange(TObject* Sender, const std::string& s, std::string& t) {
    (void)Sender;
    if (FOnBefSortExc) FOnBefSortExc(this, s, t);
}

void TRLData::BeforeHTMLExport(std::string& Text, int Col, int Row) {
    if (FOnBefHTMLExport) FOnBefHTMLExport(this, Text, Col, Row);
}

// Published properties (the order is the declaration order of the class).
static const TClassRegistrar<TRLData> RLDataRegistrar("TRLData", "TComponent", [](auto& p) {
    p.Int("NrOfColumns", &TRLData::NrOfColumns, &TRLData::SetNrCols, 1);
    p.Int("NrOfRows", &TRLData::NrOfRows, &TRLData::SetNrRows, 0);
    p.String("CommonHeader", &TRLData::CommonHeader, &TRLData::SetCommonHeader,
             DefaultCommonHeader);
});

} // namespace kel
