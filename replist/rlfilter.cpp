// Filtering and partial sorting of the report list view: the filter expressions of the three
// TFilterMode values (substring, boolean combination of substrings, regular expression through
// PCRE2 in UTF mode), SortEnabledState and FilterAndSort. Both reorder only the display
// permutation of the string array, so the stored rows stay in place and UnSort brings the
// original order back.
#include "rlview.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <memory>

namespace kel {

namespace {

std::string AsciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

// 1-based character (code point) position of the character at byte offset Byte of s.
int CharPos(const std::string& s, std::size_t Byte) {
    int n = 1;
    for (std::size_t i = 0; i < Byte && i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) ++n;
    return n;
}

[[noreturn]] void FilterError(const std::string& Exp, std::size_t Byte, const std::string& What) {
    throw EKELRepListError("Filter expression \"" + Exp + "\": " + What + " at position " +
                           std::to_string(CharPos(Exp, Byte)));
}

// A node of a boolean expression.
struct TNode {
    enum TKind { nkTerm, nkAnd, nkOr, nkNot } Kind = nkTerm;
    std::string Term;
    std::unique_ptr<TNode> A, B;
};

// Recursive descent over: or := and {OR and}; and := not {AND not}; not := NOT not | primary;
// primary := "(" or ")" | term.
class TBoolParser {
  public:
    TBoolParser(const std::string& Exp, bool IgnoreCase) : FExp(Exp), FIgnoreCase(IgnoreCase) {
        Next();
    }

    std::unique_ptr<TNode> Parse() {
        auto n = ParseOr();
        if (FTok != tkEnd) FilterError(FExp, FTokPos, "AND, OR or the end expected");
        return n;
    }

  private:
    enum TTok { tkEnd, tkLParen, tkRParen, tkAnd, tkOr, tkNot, tkTerm };

    void Next() {
        while (FPos < FExp.size() && (FExp[FPos] == ' ' || FExp[FPos] == '\t')) ++FPos;
        FTokPos = FPos;
        if (FPos >= FExp.size()) {
            FTok = tkEnd;
            return;
        }
        const char c = FExp[FPos];
        if (c == '(') {
            ++FPos;
            FTok = tkLParen;
            return;
        }
        if (c == ')') {
            ++FPos;
            FTok = tkRParen;
            return;
        }
        if (c == '"') {
            const std::size_t end = FExp.find('"', FPos + 1);
            if (end == std::string::npos) FilterError(FExp, FPos, "unclosed quote");
            FText = FExp.substr(FPos + 1, end - FPos - 1);
            FPos = end + 1;
            FTok = tkTerm;
            return;
        }
        std::size_t end = FPos;
        while (end < FExp.size() && FExp[end] != ' ' && FExp[end] != '\t' && FExp[end] != '(' &&
               FExp[end] != ')' && FExp[end] != '"')
            ++end;
        FText = FExp.substr(FPos, end - FPos);
        FPos = end;
        const std::string up = AsciiLower(FText);
        FTok = up == "and" ? tkAnd : up == "or" ? tkOr : up == "not" ? tkNot : tkTerm;
    }

    std::unique_ptr<TNode> ParseOr() {
        auto left = ParseAnd();
        while (FTok == tkOr) {
            Next();
            auto n = std::make_unique<TNode>();
            n->Kind = TNode::nkOr;
            n->A = std::move(left);
            n->B = ParseAnd();
            left = std::move(n);
        }
        return left;
    }
    std::unique_ptr<TNode> ParseAnd() {
        auto left = ParseNot();
        while (FTok == tkAnd) {
            Next();
            auto n = std::make_unique<TNode>();
            n->Kind = TNode::nkAnd;
            n->A = std::move(left);
            n->B = ParseNot();
            left = std::move(n);
        }
        return left;
    }
    std::unique_ptr<TNode> ParseNot() {
        if (FTok == tkNot) {
            Next();
            auto n = std::make_unique<TNode>();
            n->Kind = TNode::nkNot;
            n->A = ParseNot();
            return n;
        }
        return ParsePrimary();
    }
    std::unique_ptr<TNode> ParsePrimary() {
        if (FTok == tkLParen) {
            const std::size_t open = FTokPos;
            Next();
            auto n = ParseOr();
            if (FTok != tkRParen)
                FilterError(FExp, FTok == tkEnd ? open : FTokPos,
                            FTok == tkEnd ? "unclosed parenthesis" : "\")\" expected");
            Next();
            return n;
        }
        if (FTok != tkTerm)
            FilterError(FExp, FTokPos,
                        FTok == tkEnd ? "term expected at the end" : "term expected");
        auto n = std::make_unique<TNode>();
        n->Term = FIgnoreCase ? RLCaseFolded(FText) : FText;
        Next();
        return n;
    }

    const std::string& FExp;
    bool FIgnoreCase;
    std::size_t FPos = 0, FTokPos = 0;
    TTok FTok = tkEnd;
    std::string FText;
};

bool Eval(const TNode& n, const std::string& Text) {
    switch (n.Kind) {
    case TNode::nkTerm:
        return Text.find(n.Term) != std::string::npos;
    case TNode::nkAnd:
        return Eval(*n.A, Text) && Eval(*n.B, Text);
    case TNode::nkOr:
        return Eval(*n.A, Text) || Eval(*n.B, Text);
    case TNode::nkNot:
        return !Eval(*n.A, Text);
    }
    return false;
}

// A compiled PCRE2 pattern with its match data; both freed with the filter.
struct TPcre2 {
    pcre2_code* Code = nullptr;
    pcre2_match_data* Match = nullptr;
    TPcre2() = default;
    TPcre2(const TPcre2&) = delete;
    TPcre2& operator=(const TPcre2&) = delete;
    ~TPcre2() {
        pcre2_match_data_free(Match);
        pcre2_code_free(Code);
    }
};

std::string Pcre2Message(int Code) {
    PCRE2_UCHAR buf[256];
    if (pcre2_get_error_message(Code, buf, sizeof buf) < 0) return "error " + std::to_string(Code);
    return reinterpret_cast<const char*>(buf);
}

} // namespace

struct TRLFilter::TImpl {
    TFilterMode Mode = fmSimple;
    bool IgnoreCase = false;
    bool All = false; // empty expression
    std::string Expression;
    std::string Needle;
    std::unique_ptr<TNode> Tree;
    TPcre2 Re;
};

TRLFilter::TRLFilter(const std::string& Expression, TFilterMode Mode, bool IgnoreCase)
    : FImpl(std::make_unique<TImpl>()) {
    TImpl& impl = *FImpl;
    impl.Mode = Mode;
    impl.IgnoreCase = IgnoreCase;
    impl.All = Expression.empty();
    impl.Expression = Expression;
    if (impl.All) return;
    switch (Mode) {
    case fmSimple:
        impl.Needle = IgnoreCase ? RLCaseFolded(Expression) : Expression;
        break;
    case fmBoolean:
        impl.Tree = TBoolParser(Expression, IgnoreCase).Parse();
        break;
    case fmGrep: {
        // UTF: the pattern and the text are characters, not bytes ("." is one character);
        // UCP: \w, \d, \b and the POSIX classes know every script; a malformed byte in a
        // cell never matches but does not stop the search.
        std::uint32_t options = PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF;
        if (IgnoreCase) options |= PCRE2_CASELESS;
        int code = 0;
        PCRE2_SIZE offset = 0;
        impl.Re.Code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(Expression.data()),
                                     Expression.size(), options, &code, &offset, nullptr);
        if (impl.Re.Code == nullptr)
            FilterError(Expression, offset,
                        "invalid regular expression (" + Pcre2Message(code) + ")");
        pcre2_jit_compile(impl.Re.Code, PCRE2_JIT_COMPLETE); // faster when available
        impl.Re.Match = pcre2_match_data_create_from_pattern(impl.Re.Code, nullptr);
        if (impl.Re.Match == nullptr) throw std::bad_alloc();
        break;
    }
    }
}

TRLFilter::~TRLFilter() = default;

bool TRLFilter::Matches(const std::string& Text) const {
    if (FImpl->All) return true;
    switch (FImpl->Mode) {
    case fmSimple:
        return (FImpl->IgnoreCase ? RLCaseFolded(Text) : Text).find(FImpl->Needle) !=
               std::string::npos;
    case fmBoolean:
        return Eval(*FImpl->Tree, FImpl->IgnoreCase ? RLCaseFolded(Text) : Text);
    case fmGrep: {
        const int rc = pcre2_match(FImpl->Re.Code, reinterpret_cast<PCRE2_SPTR>(Text.data()),
                                   Text.size(), 0, 0, FImpl->Re.Match, nullptr);
        if (rc >= 0) return true;
        if (rc == PCRE2_ERROR_NOMATCH) return false;
        // A search that exceeds the engine's limits (runaway backtracking) is not a "no".
        throw EKELRepListError("Filter expression \"" + FImpl->Expression +
                               "\": matching failed (" + Pcre2Message(rc) + ")");
    }
    }
    return false;
}

// ---- Reordering ---------------------------------------------------------------------------------

void TReportListView::ApplyRowOrder(const std::vector<int>& Order) {
    TStringArray& s = FRLData->Strings();
    std::vector<int> stored(Order.size());
    for (std::size_t i = 0; i < Order.size(); ++i) stored[i] = s.GetSortOrder(Order[i]);
    // One change notification for the whole reordering.
    const TNotifyEvent hook = s.OnChange();
    s.SetOnChange(nullptr);
    for (std::size_t i = 0; i < stored.size(); ++i) s.SetSortOrder(int(i) + 1, stored[i]);
    s.SetOnChange(hook);
    StringsHasChanged();
}

void TReportListView::SortEnabledState(int SortColumn1, int SortColumn2, bool Ascending) {
    const bool old = FSuppressPaint;
    FSuppressPaint = true;
    TStringArray& s = FRLData->Strings();
    const int n = NrOfRows();
    // The disabled rows in their present order, by stored row.
    std::vector<int> disabledStored;
    for (int r = 1; r <= n; ++r)
        if (s.GetRowAttrib(r) & RowDisabledBit) disabledStored.push_back(s.GetSortOrder(r));
    {
        const TNotifyEvent hook = s.OnChange();
        s.SetOnChange(nullptr);
        SortData(SortColumn1, SortColumn2, Ascending);
        s.SetOnChange(hook);
    }
    std::vector<int> order;
    order.reserve(std::size_t(n));
    for (int r = 1; r <= n; ++r)
        if (!(s.GetRowAttrib(r) & RowDisabledBit)) order.push_back(s.GetSortOrder(r));
    order.insert(order.end(), disabledStored.begin(), disabledStored.end());
    {
        const TNotifyEvent hook = s.OnChange();
        s.SetOnChange(nullptr);
        for (int i = 0; i < n; ++i) s.SetSortOrder(i + 1, order[std::size_t(i)]);
        s.SetOnChange(hook);
    }
    FSuppressPaint = old;
    Changed();
    if (!old) Invalidate();
}

int TReportListView::FilterAndSort(const std::string& FilterExp,
                                   const std::vector<int>& FilterColumns, bool IgnoreCase,
                                   TFilterMode FilterMode, int SortColumn, bool Ascending) {
    const TRLFilter filter(FilterExp, FilterMode, IgnoreCase); // raises before anything changes
    std::vector<int> cols;
    for (int c : FilterColumns)
        if (c >= 0 && c <= NrOfColumns()) cols.push_back(c);
    if (FilterColumns.empty())
        for (int c = 1; c <= NrOfColumns(); ++c) cols.push_back(c);
    // Decide every row first: a search that fails (or a handler that raises) leaves the rows
    // as they were.
    const int n = NrOfRows();
    std::vector<char> passes(std::size_t(n) + 1, 0);
    int passed = 0;
    for (int r = 1; r <= n; ++r) {
        bool match = false;
        for (int c : cols)
            if (filter.Matches(FRLData->GetElem(c, r))) {
                match = true;
                break;
            }
        bool pass = match;
        if (FOnBeforeFilter) {
            bool found = false;
            TLogicOp op = loOR;
            FOnBeforeFilter(this, r, found, op);
            pass = ApplyLogicOp(op, found, match);
        }
        passes[std::size_t(r)] = pass;
        passed += pass ? 1 : 0;
    }
    const bool old = FSuppressPaint;
    FSuppressPaint = true;
    TStringArray& s = FRLData->Strings();
    for (int r = 1; r <= n; ++r) {
        const std::uint8_t a = s.GetRowAttrib(r);
        s.SetRowAttrib(r, passes[std::size_t(r)] ? std::uint8_t(a & ~RowDisabledBit)
                                                 : std::uint8_t(a | RowDisabledBit));
    }
    if (SortColumn >= 0 && SortColumn <= NrOfColumns()) {
        SortEnabledState(SortColumn, -1, Ascending);
    } else {
        // Partition only: passing rows first, each group in its present order.
        std::vector<int> order;
        order.reserve(std::size_t(n));
        for (int pass = 1; pass >= 0; --pass)
            for (int r = 1; r <= n; ++r)
                if (((s.GetRowAttrib(r) & RowDisabledBit) == 0) == (pass == 1)) order.push_back(r);
        ApplyRowOrder(order);
    }
    FSuppressPaint = old;
    if (!old) Invalidate();
    ChangedSelection();
    return passed;
}

} // namespace kel
