// Filtering and partial sorting of the report list view: the filter expressions of the three
// TFilterMode values (substring, boolean combination of substrings, regular expression),
// SortEnabledState and FilterAndSort. Both reorder only the display permutation of the string
// array, so the stored rows stay in place and UnSort brings the original order back.
#include "rlview.h"

#include <algorithm>
#include <memory>
#include <regex>

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
        n->Term = FIgnoreCase ? AsciiLower(FText) : FText;
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

bool Compiles(const std::string& Exp, std::regex::flag_type Flags) {
    try {
        std::regex r(Exp, Flags);
        return true;
    } catch (const std::regex_error&) {
        return false;
    }
}

} // namespace

struct TRLFilter::TImpl {
    TFilterMode Mode = fmSimple;
    bool IgnoreCase = false;
    bool All = false; // empty expression
    std::string Needle;
    std::unique_ptr<TNode> Tree;
    std::regex Re;
};

TRLFilter::TRLFilter(const std::string& Expression, TFilterMode Mode, bool IgnoreCase)
    : FImpl(new TImpl) {
    std::unique_ptr<TImpl> impl(FImpl);
    impl->Mode = Mode;
    impl->IgnoreCase = IgnoreCase;
    impl->All = Expression.empty();
    if (!impl->All) {
        switch (Mode) {
        case fmSimple:
            impl->Needle = IgnoreCase ? AsciiLower(Expression) : Expression;
            break;
        case fmBoolean:
            impl->Tree = TBoolParser(Expression, IgnoreCase).Parse();
            break;
        case fmGrep: {
            auto flags =
                std::regex::ECMAScript | (IgnoreCase ? std::regex::icase : std::regex::flag_type{});
            try {
                impl->Re = std::regex(Expression, flags);
            } catch (const std::regex_error&) {
                // The fault is where the expression stops being repairable: the shortest
                // prefix from which every longer prefix fails too.
                std::size_t at = Expression.size();
                if (Expression.size() <= 2000)
                    while (at > 1 && !Compiles(Expression.substr(0, at - 1), flags)) --at;
                FilterError(Expression, at - 1, "invalid regular expression");
            }
            break;
        }
        }
    }
    impl.release();
}

TRLFilter::~TRLFilter() { delete FImpl; }

bool TRLFilter::Matches(const std::string& Text) const {
    if (FImpl->All) return true;
    switch (FImpl->Mode) {
    case fmSimple:
        return (FImpl->IgnoreCase ? AsciiLower(Text) : Text).find(FImpl->Needle) !=
               std::string::npos;
    case fmBoolean:
        return Eval(*FImpl->Tree, FImpl->IgnoreCase ? AsciiLower(Text) : Text);
    case fmGrep:
        return std::regex_search(Text, FImpl->Re);
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
    const bool old = FSuppressPaint;
    FSuppressPaint = true;
    TStringArray& s = FRLData->Strings();
    const int n = NrOfRows();
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
        const std::uint8_t a = s.GetRowAttrib(r);
        s.SetRowAttrib(r,
                       pass ? std::uint8_t(a & ~RowDisabledBit) : std::uint8_t(a | RowDisabledBit));
        passed += pass ? 1 : 0;
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
