// Data structures of the base library (see Kel_dstruct.h).
//
// Index: logic operations; TBitFld; sort keys (number reading, case folding, radix keys);
// TStringArray storage and editing; TStringArray sorting and the permutation.
#include "Kel_dstruct.h"

#include "Kel_stringl.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <limits>

namespace kel {

bool ApplyLogicOp(TLogicOp Op, bool A, bool B) {
    switch (Op) {
    case loAND:
        return A && B;
    case loOR:
        return A || B;
    case loXOR:
        return A != B;
    case loANDNOT:
        return A && !B;
    case loORNOT:
        return A || !B;
    }
    return A;
}

// ---------------------------------------------------------------------------------------------
// TBitFld

void TBitFld::SetSize(int NBits) {
    NBits = std::max(NBits, 0);
    FBits.resize((static_cast<std::size_t>(NBits) + 63) / 64, 0);
    FSize = NBits;
    // Bits beyond the new size in the last word are cleared, so growing again yields false.
    if (NBits % 64 != 0) FBits.back() &= (std::uint64_t{1} << (NBits % 64)) - 1;
}

void TBitFld::Clear() { std::fill(FBits.begin(), FBits.end(), 0); }

void TBitFld::SetBit(int Ix, bool Value) {
    if (Ix < 0 || Ix >= FSize) return;
    std::uint64_t mask = std::uint64_t{1} << (Ix % 64);
    if (Value)
        FBits[Ix / 64] |= mask;
    else
        FBits[Ix / 64] &= ~mask;
}

bool TBitFld::GetBit(int Ix) const {
    if (Ix < 0 || Ix >= FSize) return false;
    return (FBits[Ix / 64] >> (Ix % 64)) & 1;
}

int TBitFld::FirstTrueBit() const {
    for (std::size_t w = 0; w < FBits.size(); ++w)
        if (FBits[w] != 0) return static_cast<int>(w * 64) + std::countr_zero(FBits[w]);
    return -1;
}

int TBitFld::CountTrueBits() const {
    int n = 0;
    for (std::uint64_t w : FBits) n += std::popcount(w);
    return n;
}

// ---------------------------------------------------------------------------------------------
// Sort keys

namespace {

// Estimates whether an out-of-range decimal text (digits, optional point, optional exponent,
// no sign) lies above the double range (true) or below it (false).
bool OverflowsRange(const char* b, const char* e) {
    long long exp10 = 0;
    const char* ep = std::find_if(b, e, [](char c) { return c == 'e' || c == 'E'; });
    if (ep != e) {
        const char* p = ep + 1;
        bool neg = false;
        if (p < e && (*p == '+' || *p == '-')) neg = *p++ == '-';
        for (; p < e && exp10 < 100000; ++p) exp10 = exp10 * 10 + (*p - '0');
        if (neg) exp10 = -exp10;
    }
    // Decimal exponent of the first non-zero digit.
    long long pos = 0;
    bool seenPoint = false;
    for (const char* p = b; p < ep; ++p) {
        if (*p == '.') {
            seenPoint = true;
            continue;
        }
        if (*p != '0') break;
        if (seenPoint) --pos;
    }
    long long intDigits = 0;
    const char* point = std::find(b, ep, '.');
    for (const char* p = b; p < point; ++p)
        if (*p != '0' || intDigits > 0) ++intDigits;
    long long magnitude = (intDigits > 0 ? intDigits - 1 : pos - 1) + exp10;
    return magnitude >= 0;
}

// Reads s as a number: blanks around it ignored, "," taken as the decimal point, an optional
// sign, digits with an optional point, an optional exponent. Values beyond the double range
// read as infinities or zero.
bool ReadsAsNumber(std::string_view s, double& Value) {
    const char* b = s.data();
    const char* e = b + s.size();
    while (b < e && *b == ' ') ++b;
    while (e > b && e[-1] == ' ') --e;
    if (b == e) return false;
    bool neg = false;
    if (*b == '+' || *b == '-') neg = *b++ == '-';
    if (b == e) return false;
    // Only a digit or a decimal point may follow, which also keeps "inf" and "nan" out.
    if (!((*b >= '0' && *b <= '9') || *b == '.' || *b == ',')) return false;
    std::size_t len = static_cast<std::size_t>(e - b);
    char stackBuf[96];
    std::string heapBuf;
    char* buf = stackBuf;
    if (len > sizeof stackBuf) {
        heapBuf.resize(len);
        buf = heapBuf.data();
    }
    for (std::size_t i = 0; i < len; ++i) buf[i] = b[i] == ',' ? '.' : b[i];
    double v = 0;
    auto [ptr, ec] = std::from_chars(buf, buf + len, v, std::chars_format::general);
    if (ptr != buf + len) return false;
    if (ec == std::errc::result_out_of_range)
        v = OverflowsRange(buf, buf + len) ? std::numeric_limits<double>::infinity() : 0.0;
    else if (ec != std::errc())
        return false;
    Value = neg ? -v : v;
    return true;
}

// Lower-case partner of a code point for the scripts the sort folds (Latin, Greek, Cyrillic);
// other code points are their own partner.
char32_t FoldCodePoint(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130) return U'i';
        if (c == 0x178) return 0xFF;
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
        return (c & 1) ? c : c + 1;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c == 0x3C2) return 0x3C3; // final sigma
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

void AppendUtf8(std::string& Out, char32_t c) {
    if (c < 0x80) {
        Out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        Out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        Out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        Out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        Out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        Out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        Out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        Out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Appends the case-folded form of s to Out. Malformed bytes are copied unchanged.
void AppendFolded(std::string& Out, std::string_view s) {
    // Plain ASCII (the usual case) folds byte for byte into the same length.
    if (std::all_of(s.begin(), s.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        const std::size_t at = Out.size();
        Out.resize(at + s.size());
        char* d = Out.data() + at;
        for (char c : s) *d++ = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        return;
    }
    for (std::size_t p = 0; p < s.size();) {
        auto c = static_cast<unsigned char>(s[p]);
        if (c < 0x80) {
            Out.push_back(static_cast<char>((c >= 'A' && c <= 'Z') ? c + 32 : c));
            ++p;
            continue;
        }
        int len = Utf8CharLen(s, p);
        if (len == 1) {
            Out.push_back(s[p++]);
            continue;
        }
        char32_t cp = c & (0xFF >> (len + 1));
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[p + k]) & 0x3F);
        AppendUtf8(Out, FoldCodePoint(cp));
        p += len;
    }
}

// Order-preserving 64-bit image of a double (-0 and +0 map alike).
std::uint64_t SortableBits(double d) {
    if (d == 0) d = 0.0;
    auto u = std::bit_cast<std::uint64_t>(d);
    return (u >> 63) ? ~u : (u | 0x8000000000000000ull);
}

// Eight bytes of Text from Offset on, big-endian, padded with zero bytes.
std::uint64_t PrefixAt(const char* Text, std::size_t Len, std::size_t Offset) {
    std::uint64_t k = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        std::size_t at = Offset + i;
        k = (k << 8) | (at < Len ? static_cast<unsigned char>(Text[at]) : 0u);
    }
    return k;
}

struct TRadixRec {
    std::uint64_t Key;
    std::uint32_t Pos;
};

// Stable LSD radix sort of Recs by Key in six digits of 11 bits (the last of 9), digits whose
// value is the same in every key skipped.
void RadixSort(TRadixRec* Recs, std::size_t N, std::vector<TRadixRec>& Tmp) {
    if (N < 2) return;
    if (N <= 48) {
        std::stable_sort(Recs, Recs + N,
                         [](const TRadixRec& a, const TRadixRec& b) { return a.Key < b.Key; });
        return;
    }
    if (Tmp.size() < N) Tmp.resize(N);
    constexpr int digits = 6, bits = 11;
    constexpr std::uint64_t mask = (1u << bits) - 1;
    std::vector<std::array<std::uint32_t, 1u << bits>> hist(digits);
    for (std::size_t i = 0; i < N; ++i) {
        std::uint64_t k = Recs[i].Key;
        for (int d = 0; d < digits; ++d) ++hist[d][(k >> (bits * d)) & mask];
    }
    TRadixRec* src = Recs;
    TRadixRec* dst = Tmp.data();
    for (int d = 0; d < digits; ++d) {
        auto& h = hist[d];
        const int shift = bits * d;
        if (h[(src[0].Key >> shift) & mask] == N) continue;
        std::uint32_t sum = 0;
        for (auto& c : h) {
            std::uint32_t t = c;
            c = sum;
            sum += t;
        }
        for (std::size_t i = 0; i < N; ++i) dst[h[(src[i].Key >> shift) & mask]++] = src[i];
        std::swap(src, dst);
    }
    if (src != Recs) std::copy(src, src + N, Recs);
}

} // namespace

// Prepared sort keys of one column for the display rows 1..n (index p is display row p + 1).
struct TStringArray::TSortKeys {
    enum : std::uint8_t { kNumber = 0, kText = 1, kEmpty = 2 };
    std::vector<std::uint8_t> Cls;
    std::vector<double> Num;            // value of number cells
    std::vector<std::size_t> FoldOff;   // folded text of text cells: offset into Folded
    std::vector<std::uint32_t> FoldLen; // and length
    std::string Folded;
    // The key text itself: the text of a copy of the cell's handle (a text in the handle is
    // read from the copy, so no later change of the cell moves it; the blocks stay during the
    // sort), or a text OnBeforeSortExchange changed (SubstIx: 1 + index into Subst, 0 for none).
    const TStringArray* Owner = nullptr;
    std::vector<TCell> Cell;
    std::vector<std::uint32_t> SubstIx; // only filled when the hook is assigned
    std::deque<std::string> Subst;

    const char* FoldedText(std::uint32_t p) const { return Folded.data() + FoldOff[p]; }
    std::string_view Exact(std::uint32_t p) const {
        if (!SubstIx.empty() && SubstIx[p] != 0) return Subst[SubstIx[p] - 1];
        return Owner->CellView(Cell[p]);
    }

    // Three-way comparison in ascending order.
    int Compare(std::uint32_t a, std::uint32_t b) const {
        int ca = Cls[a], cb = Cls[b];
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == kNumber) return Num[a] < Num[b] ? -1 : (Num[b] < Num[a] ? 1 : 0);
        if (ca == kEmpty) return 0;
        std::uint32_t la = FoldLen[a], lb = FoldLen[b];
        int r = std::memcmp(FoldedText(a), FoldedText(b), std::min(la, lb));
        if (r != 0) return r < 0 ? -1 : 1;
        if (la != lb) return la < lb ? -1 : 1;
        r = Exact(a).compare(Exact(b));
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
};

// ---------------------------------------------------------------------------------------------
// TStringArray: cell handles and text blocks
//
// A handle with bit 63 clear holds its text in its own bytes 0..6 (memory order) and the length
// (0..7) in bits 56..59, so an empty cell is 0. A handle with bit 63 set refers to a block:
// length in bits 52..62, block number in bits 32..51, offset in the block in bits 0..31.

static_assert(std::endian::native == std::endian::little,
              "inline cell texts are read from the handle's bytes");

namespace {
constexpr std::uint64_t kInBlock = std::uint64_t{1} << 63;
constexpr std::size_t kMaxBlock = std::size_t{1} << 20; // blocks grow from 256 bytes to this
constexpr std::size_t kMaxBlocks = std::size_t{1} << 20;
} // namespace

inline std::string_view TStringArray::CellView(const TCell& Cell) const {
    if (!(Cell & kInBlock))
        return {reinterpret_cast<const char*>(&Cell), static_cast<std::size_t>(Cell >> 56)};
    return {FBlocks[(Cell >> 32) & 0xFFFFF].get() + (Cell & 0xFFFFFFFF),
            static_cast<std::size_t>((Cell >> 52) & 0x7FF)};
}

// A handle for s (at most 2047 bytes; a cell's 255 code points take at most 1020). Appending
// never moves texts already stored, so s may itself lie in a block.
inline TStringArray::TCell TStringArray::StoreText(std::string_view s) {
    const std::size_t n = s.size();
    if (n <= 7) {
        // Assembled in a register: a byte copy into the handle's memory would stall the load
        // that follows it.
        TCell c = static_cast<TCell>(n) << 56;
        for (std::size_t i = 0; i < n; ++i)
            c |= static_cast<TCell>(static_cast<unsigned char>(s[i])) << (8 * i);
        return c;
    }
    if (FBlocks.empty() || FBlockCap - FBlockUsed < n) {
        if (FBlocks.size() == kMaxBlocks)
            throw EKELDStructError("TStringArray: the cells hold more text than it can store");
        const std::size_t cap =
            std::max(std::min(std::max<std::size_t>(FBlockCap * 2, 256), kMaxBlock), n);
        FBlocks.emplace_back(new char[cap]);
        FBlockCap = cap;
        FBlockUsed = 0;
    }
    std::memcpy(FBlocks.back().get() + FBlockUsed, s.data(), n);
    const TCell c = kInBlock | (static_cast<TCell>(n) << 52) |
                    (static_cast<TCell>(FBlocks.size() - 1) << 32) | FBlockUsed;
    FBlockUsed += n;
    FLiveBytes += n;
    return c;
}

inline void TStringArray::ReleaseText(TCell Cell) {
    if (!(Cell & kInBlock)) return;
    const std::size_t n = (Cell >> 52) & 0x7FF;
    FLiveBytes -= n;
    FDeadBytes += n;
}

void TStringArray::ReleaseColumnTail(std::vector<TCell>& Col, std::size_t From) {
    for (std::size_t i = From; i < Col.size(); ++i) ReleaseText(Col[i]);
}

// Copies the live texts into fresh blocks once the dead bytes outweigh them (and are worth the
// copy), so that editing cells over and over keeps the memory bounded. (These helpers are
// inline: they run once per cell.)
inline void TStringArray::MaybeCompact() {
    if (FKeepBlocks > 0 || FDeadBytes < 65536 || FDeadBytes < FLiveBytes) return;
    Compact();
}

void TStringArray::Compact() {
    // The new blocks are laid out and allocated first, so that running out of memory changes
    // nothing; then the texts are copied and the handles rewritten.
    auto forEachText = [this](auto&& F) {
        for (auto& col : FCells)
            for (TCell& c : col)
                if (c & kInBlock) F(c, static_cast<std::size_t>((c >> 52) & 0x7FF));
    };
    std::vector<std::size_t> sizes;
    std::size_t fill = kMaxBlock;
    forEachText([&](TCell&, std::size_t n) {
        if (kMaxBlock - fill < n) {
            sizes.push_back(0);
            fill = 0;
        }
        fill += n;
        sizes.back() = fill;
    });
    std::vector<std::unique_ptr<char[]>> blocks;
    blocks.reserve(sizes.size());
    for (std::size_t z : sizes) blocks.emplace_back(new char[z]);
    std::size_t block = 0, used = 0;
    forEachText([&](TCell& c, std::size_t n) {
        if (sizes[block] - used < n) ++block, used = 0;
        std::memcpy(blocks[block].get() + used, CellView(c).data(), n);
        c = kInBlock | (static_cast<TCell>(n) << 52) | (static_cast<TCell>(block) << 32) | used;
        used += n;
    });
    FBlocks.swap(blocks);
    FBlockCap = sizes.empty() ? 0 : sizes.back();
    FBlockUsed = FBlockCap;
    FDeadBytes = 0;
}

// ---------------------------------------------------------------------------------------------
// TStringArray: storage and editing

TStringArray::TStringArray(int NrCols, int NrRows) {
    FNrCols = std::max(NrCols, 0);
    FNrRows = std::max(NrRows, 0);
    const std::size_t rows = static_cast<std::size_t>(FNrRows) + 1;
    ReserveRows(rows);
    FCells.resize(static_cast<std::size_t>(FNrCols) + 1);
    for (auto& col : FCells) {
        col.reserve(FRowAttr.capacity());
        col.resize(rows);
    }
    FRowAttr.resize(rows, 0);
    FColAttr.assign(static_cast<std::size_t>(FNrCols) + 1, 0);
    FOrder.resize(rows);
    for (std::size_t i = 0; i < rows; ++i) FOrder[i] = static_cast<int>(i);
}

void TStringArray::Changed() {
    if (FOnChange) FOnChange(this);
}

void TStringArray::SetRowAllocStep(int Value) { FRowAllocStep = std::max(Value, 1); }

void TStringArray::ReserveRows(std::size_t Rows) {
    std::size_t cap = FRowAttr.capacity();
    if (cap >= Rows) return;
    std::size_t want = std::max(Rows, cap + cap / 2);
    const auto step = static_cast<std::size_t>(FRowAllocStep);
    want = (want + step - 1) / step * step;
    FRowAttr.reserve(want);
    FOrder.reserve(want);
    for (auto& col : FCells) col.reserve(want);
}

void TStringArray::Resize(int NrCols, int NrRows) {
    NrCols = std::max(NrCols, 0);
    NrRows = std::max(NrRows, 0);
    if (NrCols == FNrCols && NrRows == FNrRows) return;
    if (NrRows < FNrRows) CommitSorting();
    const std::size_t rows = static_cast<std::size_t>(NrRows) + 1;
    ReserveRows(rows);
    for (std::size_t c = static_cast<std::size_t>(NrCols) + 1; c < FCells.size(); ++c)
        ReleaseColumnTail(FCells[c], 0);
    FCells.resize(static_cast<std::size_t>(NrCols) + 1);
    for (auto& col : FCells) {
        if (col.capacity() < FRowAttr.capacity()) col.reserve(FRowAttr.capacity());
        if (rows < col.size()) ReleaseColumnTail(col, rows);
        col.resize(rows, 0);
    }
    FRowAttr.resize(rows, 0);
    FColAttr.resize(static_cast<std::size_t>(NrCols) + 1, 0);
    // Rows dropped were committed above; new rows are stored and displayed at the end.
    std::size_t old = FOrder.size();
    FOrder.resize(rows);
    for (std::size_t i = old; i < rows; ++i) FOrder[i] = static_cast<int>(i);
    FInverseValid = false;
    FNrCols = NrCols;
    FNrRows = NrRows;
    MaybeCompact();
    Changed();
}

void TStringArray::Clear() {
    for (auto& col : FCells) {
        ReleaseColumnTail(col, 0);
        std::fill(col.begin(), col.end(), 0);
    }
    if (FKeepBlocks == 0) {
        FBlocks.clear();
        FBlockUsed = FBlockCap = FLiveBytes = FDeadBytes = 0;
    }
    Changed();
}

std::string TStringArray::GetString(int ACol, int ARow) const {
    if (ACol < 0 || ACol > FNrCols || ARow < 0 || ARow > FNrRows) return {};
    return std::string(CellView(FCells[ACol][FOrder[ARow]]));
}

void TStringArray::SetString(int ACol, int ARow, std::string_view s) {
    if (ACol < 0 || ACol > FNrCols || ARow < 0 || ARow > FNrRows) return;
    TCell& cell = FCells[ACol][FOrder[ARow]];
    std::string cut;
    if (s.size() > static_cast<std::size_t>(MaxCellChars)) {
        cut = Utf8Left(s, MaxCellChars);
        s = cut;
    }
    if (CellView(cell) == s) return;
    const TCell old = cell;
    cell = StoreText(s);
    ReleaseText(old);
    MaybeCompact();
    Changed();
}

void TStringArray::InsertRow(int ARow) {
    if (ARow < 1 || ARow > FNrRows + 1) return;
    const std::size_t rows = static_cast<std::size_t>(FNrRows) + 2;
    ReserveRows(rows);
    if (!IsSorted()) {
        // Stored order is the display order: insert in place and stay unsorted.
        for (auto& col : FCells) col.insert(col.begin() + ARow, TCell{0});
        FRowAttr.insert(FRowAttr.begin() + ARow, 0);
        FOrder.push_back(FNrRows + 1);
    } else {
        // Keep the stored rows in place: the new row is stored last and shown at ARow.
        for (auto& col : FCells) col.push_back(0);
        FRowAttr.push_back(0);
        FOrder.insert(FOrder.begin() + ARow, FNrRows + 1);
    }
    ++FNrRows;
    FInverseValid = false;
    FMisplaced = CountMisplaced();
    Changed();
}

void TStringArray::RemoveRow(int ARow) {
    if (ARow < 1 || ARow > FNrRows) return;
    const int stored = FOrder[ARow];
    for (auto& col : FCells) {
        ReleaseText(col[stored]);
        col.erase(col.begin() + stored);
    }
    FRowAttr.erase(FRowAttr.begin() + stored);
    FOrder.erase(FOrder.begin() + ARow);
    for (int& s : FOrder)
        if (s > stored) --s;
    --FNrRows;
    FInverseValid = false;
    FMisplaced = CountMisplaced();
    MaybeCompact();
    Changed();
}

void TStringArray::InsertColumn(int ACol) {
    if (ACol < 0 || ACol > FNrCols + 1) return;
    std::vector<TCell> col;
    col.reserve(FRowAttr.capacity());
    col.resize(static_cast<std::size_t>(FNrRows) + 1, 0);
    FCells.insert(FCells.begin() + ACol, std::move(col));
    FColAttr.insert(FColAttr.begin() + ACol, 0);
    ++FNrCols;
    Changed();
}

void TStringArray::RemoveColumn(int ACol) {
    if (FNrCols < 1 || ACol < 0 || ACol > FNrCols) return;
    ReleaseColumnTail(FCells[ACol], 0);
    FCells.erase(FCells.begin() + ACol);
    FColAttr.erase(FColAttr.begin() + ACol);
    --FNrCols;
    MaybeCompact();
    Changed();
}

std::uint8_t TStringArray::GetRowAttrib(int ARow) const {
    if (ARow < 0 || ARow > FNrRows) return 0;
    return FRowAttr[FOrder[ARow]];
}

void TStringArray::SetRowAttrib(int ARow, std::uint8_t Attrib) {
    if (ARow < 0 || ARow > FNrRows) return;
    FRowAttr[FOrder[ARow]] = Attrib;
}

std::uint8_t TStringArray::GetColAttrib(int ACol) const {
    if (ACol < 0 || ACol > FNrCols) return 0;
    return FColAttr[ACol];
}

void TStringArray::SetColAttrib(int ACol, std::uint8_t Attrib) {
    if (ACol < 0 || ACol > FNrCols) return;
    FColAttr[ACol] = Attrib;
}

// ---------------------------------------------------------------------------------------------
// TStringArray: sorting and the permutation

int TStringArray::CountMisplaced() const {
    int n = 0;
    for (std::size_t i = 0; i < FOrder.size(); ++i) n += FOrder[i] != static_cast<int>(i);
    return n;
}

bool TStringArray::IsSorted() const { return FMisplaced != 0; }

int TStringArray::GetSortOrder(int ARow) const {
    if (ARow < 0 || ARow > FNrRows) return -1;
    return FOrder[ARow];
}

void TStringArray::EnsureInverse() const {
    if (FInverseValid) return;
    FInverse.assign(FOrder.size(), 0);
    for (std::size_t i = 0; i < FOrder.size(); ++i) FInverse[FOrder[i]] = static_cast<int>(i);
    FInverseValid = true;
}

void TStringArray::SetSortOrder(int ARow, int Value) {
    if (ARow < 1 || ARow > FNrRows || Value < 1 || Value > FNrRows) return;
    if (FOrder[ARow] == Value) return;
    EnsureInverse();
    const int other = FInverse[Value]; // display row that shows Value now
    const int old = FOrder[ARow];
    FMisplaced -= (FOrder[ARow] != ARow) + (FOrder[other] != other);
    FOrder[ARow] = Value;
    FOrder[other] = old;
    FMisplaced += (FOrder[ARow] != ARow) + (FOrder[other] != other);
    FInverse[Value] = ARow;
    FInverse[old] = other;
    Changed();
}

void TStringArray::UnSort() {
    if (!IsSorted()) return;
    for (std::size_t i = 0; i < FOrder.size(); ++i) FOrder[i] = static_cast<int>(i);
    FMisplaced = 0;
    FInverseValid = false;
    Changed();
}

void TStringArray::CommitSorting() {
    if (!IsSorted()) return;
    const std::size_t rows = FOrder.size();
    for (auto& col : FCells) {
        std::vector<TCell> moved;
        moved.reserve(col.capacity());
        for (std::size_t i = 0; i < rows; ++i) moved.push_back(col[FOrder[i]]);
        col.swap(moved);
    }
    std::vector<std::uint8_t> attr;
    attr.reserve(FRowAttr.capacity());
    for (std::size_t i = 0; i < rows; ++i) attr.push_back(FRowAttr[FOrder[i]]);
    FRowAttr.swap(attr);
    for (std::size_t i = 0; i < rows; ++i) FOrder[i] = static_cast<int>(i);
    FMisplaced = 0;
    FInverseValid = false;
}

void TStringArray::PrepareKeys(int Col, TSortKeys& Keys, std::size_t& Done, std::size_t Total) {
    const std::size_t n = static_cast<std::size_t>(FNrRows);
    const int nrCols = FNrCols;
    // A handler that resizes the array would pull the rows from under the sort.
    auto checkUnchanged = [&] {
        if (FNrRows != static_cast<int>(n) || FNrCols != nrCols)
            throw EKELDStructError(
                "TStringArray.Sort: the array was resized by a handler during the sort");
    };
    Keys.Cls.resize(n);
    Keys.Num.resize(n);
    Keys.FoldOff.resize(n);
    Keys.FoldLen.resize(n);
    Keys.Owner = this;
    Keys.Cell.resize(n);
    if (FOnBeforeSortExchange) Keys.SubstIx.resize(n);
    // The handler gets a copy of the cell it cannot invalidate and a key text to change; both
    // buffers are reused from cell to cell, and only a changed key is kept.
    std::string original, key;
    // Progress: key preparation is reported as 0..90 percent, the rest when the sort ends.
    int lastPercent = -1;
    const std::vector<TCell>& col = FCells[Col];
    // The rows are read in display order, which after a sort is a random walk through the
    // storage: the handles are fetched ahead of use, and the texts of the handles fetched.
    constexpr std::size_t aheadCell = 24, aheadText = 12;
    for (std::size_t p = 0; p < n; ++p) {
        if (p + aheadCell < n) __builtin_prefetch(&col[FOrder[p + 1 + aheadCell]]);
        if (p + aheadText < n) {
            const TCell ahead = col[FOrder[p + 1 + aheadText]];
            if (ahead & kInBlock) __builtin_prefetch(CellView(ahead).data());
        }
        Keys.Cell[p] = col[FOrder[p + 1]];
        std::string_view text = CellView(Keys.Cell[p]);
        if (FOnBeforeSortExchange) {
            original.assign(text);
            key = original;
            FOnBeforeSortExchange(this, original, key);
            checkUnchanged();
            if (key != original) {
                text = Keys.Subst.emplace_back(std::move(key));
                Keys.SubstIx[p] = static_cast<std::uint32_t>(Keys.Subst.size());
            }
        }
        double v;
        if (text.empty()) {
            Keys.Cls[p] = TSortKeys::kEmpty;
        } else if (ReadsAsNumber(text, v)) {
            Keys.Cls[p] = TSortKeys::kNumber;
            Keys.Num[p] = v;
        } else {
            Keys.Cls[p] = TSortKeys::kText;
            Keys.FoldOff[p] = Keys.Folded.size();
            if (FCaseFold)
                FCaseFold(Keys.Folded, text);
            else
                AppendFolded(Keys.Folded, text);
            Keys.FoldLen[p] = static_cast<std::uint32_t>(Keys.Folded.size() - Keys.FoldOff[p]);
        }
        if (FOnPercentDone) {
            int percent = static_cast<int>((Done + p + 1) * 90 / Total);
            if (percent != lastPercent) {
                lastPercent = percent;
                FOnPercentDone(this, percent);
                checkUnchanged();
            }
        }
    }
    Done += n;
}

void TStringArray::Sort(int Col, int ColSec, bool Ascending) {
    if (Col < 0 || Col > FNrCols) return;
    const bool hasSec = ColSec >= 0 && ColSec <= FNrCols && ColSec != Col;
    const std::size_t n = static_cast<std::size_t>(FNrRows);

    // The keys hold views into the text blocks: no compaction until the sort is done.
    struct TKeep {
        int& Count;
        explicit TKeep(int& C) : Count(C) { ++Count; }
        ~TKeep() { --Count; }
    } keep(FKeepBlocks);
    TSortKeys prim, sec;
    std::size_t done = 0;
    const std::size_t total = std::max<std::size_t>(n * (hasSec ? 2 : 1), 1);
    PrepareKeys(Col, prim, done, total);
    if (hasSec) PrepareKeys(ColSec, sec, done, total);

    // Display positions of the rows whose keys tie in the radix key, ordered by the full rule;
    // equal rows keep their current order (the positions arrive ascending).
    auto tieLess = [&](std::uint32_t a, std::uint32_t b) {
        int r = prim.Compare(a, b);
        if (r == 0 && hasSec) r = sec.Compare(a, b);
        return Ascending ? r < 0 : r > 0;
    };
    std::vector<std::uint32_t> run;
    auto sortRun = [&](TRadixRec* recs, std::size_t len) {
        run.resize(len);
        for (std::size_t i = 0; i < len; ++i) run[i] = recs[i].Pos;
        std::stable_sort(run.begin(), run.end(), tieLess);
        for (std::size_t i = 0; i < len; ++i) recs[i].Pos = run[i];
    };

    // Three groups, each sorted on its own: numbers, text, empty cells.
    std::vector<TRadixRec> nums, texts;
    std::vector<std::uint32_t> empties;
    {
        std::size_t count[3] = {0, 0, 0};
        for (std::uint8_t c : prim.Cls) ++count[c];
        nums.reserve(count[TSortKeys::kNumber]);
        texts.reserve(count[TSortKeys::kText]);
        empties.reserve(count[TSortKeys::kEmpty]);
    }
    const std::uint64_t flip = Ascending ? 0 : ~std::uint64_t{0};
    for (std::uint32_t p = 0; p < n; ++p) {
        switch (prim.Cls[p]) {
        case TSortKeys::kNumber:
            nums.push_back({SortableBits(prim.Num[p]) ^ flip, p});
            break;
        case TSortKeys::kText:
            texts.push_back({PrefixAt(prim.FoldedText(p), prim.FoldLen[p], 0) ^ flip, p});
            break;
        default:
            empties.push_back(p);
            break;
        }
    }
    std::vector<TRadixRec> tmp;

    RadixSort(nums.data(), nums.size(), tmp);
    if (hasSec) {
        for (std::size_t i = 0; i < nums.size();) {
            std::size_t j = i + 1;
            while (j < nums.size() && nums[j].Key == nums[i].Key) ++j;
            if (j - i > 1) sortRun(&nums[i], j - i);
            i = j;
        }
    }

    // Text: radix by eight folded bytes at a time; a run of equal bytes goes on to the next
    // eight bytes while it is large and all its texts are longer, and is otherwise finished by
    // the full comparison.
    auto sortText = [&](auto&& self, TRadixRec* recs, std::size_t len, std::size_t offset) -> void {
        RadixSort(recs, len, tmp);
        for (std::size_t i = 0; i < len;) {
            std::size_t j = i + 1;
            while (j < len && recs[j].Key == recs[i].Key) ++j;
            const std::size_t cnt = j - i;
            if (cnt > 1) {
                const std::size_t next = offset + 8;
                bool longer = cnt > 32;
                for (std::size_t k = i; longer && k < j; ++k)
                    longer = prim.FoldLen[recs[k].Pos] > next;
                if (longer) {
                    for (std::size_t k = i; k < j; ++k)
                        recs[k].Key = PrefixAt(prim.FoldedText(recs[k].Pos),
                                               prim.FoldLen[recs[k].Pos], next) ^
                                      flip;
                    self(self, recs + i, cnt, next);
                } else {
                    sortRun(recs + i, cnt);
                }
            }
            i = j;
        }
    };
    sortText(sortText, texts.data(), texts.size(), 0);

    if (hasSec)
        std::stable_sort(empties.begin(), empties.end(), [&](std::uint32_t a, std::uint32_t b) {
            int r = sec.Compare(a, b);
            return Ascending ? r < 0 : r > 0;
        });

    std::vector<int> order(FOrder.size());
    order[0] = 0;
    std::size_t out = 1;
    auto emitRecs = [&](const std::vector<TRadixRec>& g) {
        for (const auto& r : g) order[out++] = FOrder[r.Pos + 1];
    };
    auto emitEmpty = [&] {
        for (std::uint32_t p : empties) order[out++] = FOrder[p + 1];
    };
    if (Ascending) {
        emitRecs(nums);
        emitRecs(texts);
        emitEmpty();
    } else {
        emitEmpty();
        emitRecs(texts);
        emitRecs(nums);
    }
    FOrder.swap(order);
    FMisplaced = CountMisplaced();
    FInverseValid = false;
    if (FOnPercentDone) FOnPercentDone(this, 100);
    Changed();
}

} // namespace kel
