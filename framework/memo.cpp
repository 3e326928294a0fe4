// The memo: a multi-line edit box over a string list. The lines are the text; the memo keeps
// the control's Text in step (lines joined by CR LF), breaks lines into rows for display (word
// wrap), and edits by replacing the text between two (line, character) positions, so typing,
// deleting, pasting and SelText all take one path and end in one Change.
#include "kel_stdctrls.h"

#include "detail/edit_keys.h"
#include "detail/scrollbar.h"
#include "kel_props.h"
#include "kel_setter.h"
#include "kel_themes.h"

#include <algorithm>
#include <cstddef>

namespace kel {

namespace {

// Characters (code points, a malformed byte counting one, as DecodeUtf8 counts them).
int Chars(const std::string& S) { return int(DecodeUtf8(S).size()); }

// Byte offset of character N of S (the end when N is past it).
std::size_t ByteOfChar(const std::string& S, int N) {
    const auto* b = reinterpret_cast<const unsigned char*>(S.data());
    const unsigned char *p = b, *e = b + S.size();
    for (int k = 0; k < N && p < e; ++k) NextCodePoint(p, e);
    return std::size_t(p - b);
}

// Splits at "\r\n", "\n" or "\r"; always at least one part.
std::vector<std::string> SplitBreaks(const std::string& S) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < S.size(); ++i) {
        char c = S[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < S.size() && S[i + 1] == '\n') ++i;
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

bool Before(TPoint A, TPoint B) { return A.Y < B.Y || (A.Y == B.Y && A.X < B.X); }

// Character classes for word movement: 0 blank, 1 word, 2 punctuation.
int ClassOf(char32_t c) {
    if (c == ' ' || c == '\t') return 0;
    if (c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
        c == '_')
        return 1;
    return 2;
}

} // namespace

TCustomMemo::TCustomMemo(TComponent* AOwner) : TWinControl(AOwner) {
    IncludeStyle(csOpaque);
    SetTabStop(true);
    SetColor(StyleServices().GetStyleColor(scWindow));
    SetParentColor(false);
    SetCursor(crIBeam);
    InitBounds(0, 0, 185, 89);
    FLines.SetOnChange([this](TObject*) { LinesChanged(); });
    FVBar = std::make_unique<detail::TScrollBar>(true, [this](int p) { SetTopRow(p); });
    FHBar = std::make_unique<detail::TScrollBar>(false, [this](int p) { SetScrollX(p); });
}

TCustomMemo::~TCustomMemo() { FLines.SetOnChange(nullptr); }

// ---- Text model -------------------------------------------------------------------------------

std::string TCustomMemo::LineText(int Line) const {
    return Line >= 0 && Line < FLines.Count() ? FLines[Line] : std::string();
}

int TCustomMemo::LineLength(int Line) const { return Chars(LineText(Line)); }

TPoint TCustomMemo::Clamp(TPoint P) const {
    P.Y = std::clamp(P.Y, 0, LineCount() - 1);
    P.X = std::clamp(P.X, 0, LineLength(P.Y));
    return P;
}

// Lines changed by code: the caret stays where it can, the view and Text follow.
void TCustomMemo::LinesChanged() {
    if (FSyncing) return;
    FUndo.Clear();
    FCaret = Clamp(FCaret);
    FAnchor = Clamp(FAnchor);
    SyncText();
    Invalidated();
    Change();
}

void TCustomMemo::SyncText() {
    std::string t;
    for (int i = 0; i < FLines.Count(); ++i) {
        if (i > 0) t += "\r\n";
        t += FLines[i];
    }
    FSyncing = true;
    SetText(t);
    FSyncing = false;
}

void TCustomMemo::Invalidated() {
    FRowsValid = false;
    MakeCaretVisible();
    RestartBlink();
    Invalidate();
}

void TCustomMemo::Change() {
    if (FOnChange) FOnChange(this);
}

void TCustomMemo::Replace(TPoint A, TPoint B, const std::string& S) {
    std::vector<std::string> parts = SplitBreaks(S);
    std::string first = LineText(A.Y), last = LineText(B.Y);
    std::string head = first.substr(0, ByteOfChar(first, A.X));
    std::string tail = last.substr(ByteOfChar(last, B.X));
    TPoint caret{Chars(parts.back()) + (parts.size() == 1 ? A.X : 0), A.Y + int(parts.size()) - 1};
    parts.front() = head + parts.front();
    parts.back() += tail;
    FSyncing = true;
    FLines.BeginUpdate();
    if (FLines.Count() > 0)
        for (int l = B.Y; l >= A.Y; --l) FLines.Delete(l);
    for (std::size_t i = 0; i < parts.size(); ++i) FLines.Insert(A.Y + int(i), parts[i]);
    // A memo emptied by editing has no lines, like one whose Text was cleared.
    if (FLines.Count() == 1 && FLines[0].empty()) FLines.Clear();
    FLines.EndUpdate();
    FSyncing = false;
    FCaret = FAnchor = caret;
    FPreferredX = -1;
    SyncText();
    Invalidated();
    Change();
}

bool TCustomMemo::UserInsert(const std::string& S) {
    if (FReadOnly) return false;
    // Line breaks as CR LF, so each counts two characters against MaxLength.
    std::vector<std::string> parts = SplitBreaks(S);
    std::string ins;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) ins += "\r\n";
        ins += parts[i];
    }
    if (FMaxLength > 0) {
        int room = FMaxLength -
                   (IndexFromPos({LineLength(LineCount() - 1), LineCount() - 1}) - SelLength());
        if (room <= 0) ins.clear();
        if (Chars(ins) > room) {
            ins = ins.substr(0, ByteOfChar(ins, std::max(room, 0)));
            if (!ins.empty() && ins.back() == '\r') ins.pop_back();
        }
        if (ins.empty() && !S.empty()) return false;
    }
    if (ins.empty() && !HasSelection()) return false;
    FUndo.Record(Text(), SelStart(), SelStart() + SelLength(), FTypingChar, Chars(ins));
    Replace(SelFirst(), SelLast(), ins);
    FModified = true;
    return true;
}

// ---- Properties -------------------------------------------------------------------------------

void TCustomMemo::SetWordWrap(bool Value) {
    if (!SetField(FWordWrap, Value)) return;
    FScrollX = 0;
    Invalidated();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (!SetField(FScrollBars, Value)) return;
    Invalidated(); // the text area, and so the rows, change with the bars
}

void TCustomMemo::SetAlignment(TAlignment Value) {
    if (SetField(FAlignment, Value)) Invalidate();
}

void TCustomMemo::SetHideSelection(bool Value) {
    if (SetField(FHideSelection, Value)) Invalidate();
}

// ---- Caret and selection ----------------------------------------------------------------------

TPoint TCustomMemo::SelFirst() const { return Before(FCaret, FAnchor) ? FCaret : FAnchor; }
TPoint TCustomMemo::SelLast() const { return Before(FCaret, FAnchor) ? FAnchor : FCaret; }

int TCustomMemo::IndexFromPos(TPoint Pos) const {
    Pos = Clamp(Pos);
    int i = 0;
    for (int l = 0; l < Pos.Y; ++l) i += LineLength(l) + 2;
    return i + Pos.X;
}

TPoint TCustomMemo::PosFromIndex(int Index) const {
    Index = std::max(Index, 0);
    int n = LineCount();
    for (int l = 0; l < n; ++l) {
        int len = LineLength(l);
        if (Index <= len || l == n - 1) return {std::min(Index, len), l};
        Index -= len + 2;
        if (Index < 0) return {len, l}; // inside a line break: its line's end
    }
    return {0, 0};
}

void TCustomMemo::DoUndo() {
    if (FReadOnly || !FUndo.CanUndo()) return;
    int start = SelStart(), length = SelLength();
    std::string back = FUndo.Swap(Text(), start, length);
    if (back == Text()) return;
    Replace({0, 0}, {LineLength(LineCount() - 1), LineCount() - 1}, back);
    FModified = true;
    // Selects what the undone change had replaced.
    FAnchor = PosFromIndex(start);
    FCaret = PosFromIndex(start + length);
    MakeCaretVisible();
    Invalidate();
}

void TCustomMemo::SetCaretPos(TPoint Value) { MoveCaret(Value, false); }

int TCustomMemo::SelStart() const { return IndexFromPos(SelFirst()); }

int TCustomMemo::SelLength() const { return IndexFromPos(SelLast()) - IndexFromPos(SelFirst()); }

void TCustomMemo::SetSelStart(int Value) { MoveCaret(PosFromIndex(Value), false); }

void TCustomMemo::SetSelLength(int Value) {
    TPoint a = SelFirst();
    FAnchor = a;
    MoveCaret(PosFromIndex(IndexFromPos(a) + std::max(Value, 0)), true);
}

std::string TCustomMemo::SelText() const {
    TPoint a = SelFirst(), b = SelLast();
    std::string out;
    for (int l = a.Y; l <= b.Y; ++l) {
        std::string t = LineText(l);
        std::size_t from = l == a.Y ? ByteOfChar(t, a.X) : 0;
        std::size_t to = l == b.Y ? ByteOfChar(t, b.X) : t.size();
        out += t.substr(from, to - from);
        if (l < b.Y) out += "\r\n";
    }
    return out;
}

void TCustomMemo::SetSelText(const std::string& Value) { Replace(SelFirst(), SelLast(), Value); }

void TCustomMemo::SelectAll() {
    FAnchor = {0, 0};
    MoveCaret({LineLength(LineCount() - 1), LineCount() - 1}, true);
}

void TCustomMemo::ClearSelection() {
    if (HasSelection()) UserInsert(std::string());
}

void TCustomMemo::CopyToClipboard() {
    if (HasSelection()) Clipboard().SetAsText(SelText());
}

void TCustomMemo::CutToClipboard() {
    if (FReadOnly || !HasSelection()) return;
    CopyToClipboard();
    UserInsert(std::string());
}

void TCustomMemo::PasteFromClipboard() {
    if (FReadOnly || !Clipboard().HasFormat(CF_TEXT)) return;
    std::string s = Clipboard().AsText();
    if (!s.empty()) UserInsert(s);
}

void TCustomMemo::MoveCaret(TPoint P, bool Extend, bool KeepPreferredX) {
    FUndo.EndRun(); // typing after a caret move is a new undo step
    P = Clamp(P);
    if (!KeepPreferredX) FPreferredX = -1;
    FCaret = P;
    if (!Extend) FAnchor = P;
    MakeCaretVisible();
    RestartBlink();
    Invalidate();
}

TPoint TCustomMemo::WordLeft(TPoint P) const {
    if (P.X == 0) return P.Y > 0 ? TPoint{LineLength(P.Y - 1), P.Y - 1} : P;
    std::u32string t = DecodeUtf8(LineText(P.Y));
    int i = P.X;
    while (i > 0 && ClassOf(t[std::size_t(i - 1)]) == 0) --i;
    if (i > 0) {
        int k = ClassOf(t[std::size_t(i - 1)]);
        while (i > 0 && ClassOf(t[std::size_t(i - 1)]) == k) --i;
    }
    return {i, P.Y};
}

TPoint TCustomMemo::WordRight(TPoint P) const {
    int n = LineLength(P.Y);
    if (P.X >= n) return P.Y + 1 < LineCount() ? TPoint{0, P.Y + 1} : P;
    std::u32string t = DecodeUtf8(LineText(P.Y));
    int i = P.X, k = ClassOf(t[std::size_t(i)]);
    while (i < n && ClassOf(t[std::size_t(i)]) == k) ++i;
    while (i < n && ClassOf(t[std::size_t(i)]) == 0) ++i;
    return {i, P.Y};
}

// ---- Rows and geometry ------------------------------------------------------------------------

// A bar is shown while the style asks for it and the memo has room for it inside its frame;
// the horizontal one only without WordWrap (wrapped rows never outgrow the memo).
bool TCustomMemo::VertBarWanted() const {
    return (FScrollBars == ssVertical || FScrollBars == ssBoth) &&
           Width() - 4 > detail::ScrollBarSize && Height() - 4 > 0;
}

bool TCustomMemo::HorzBarWanted() const {
    return !FWordWrap && (FScrollBars == ssHorizontal || FScrollBars == ssBoth) &&
           Height() - 4 > detail::ScrollBarSize && Width() - 4 > 0;
}

TRect TCustomMemo::VertScrollBarRect() const {
    if (!VertBarWanted()) return {};
    const int sb = detail::ScrollBarSize;
    return Rect(Width() - 2 - sb, 2, Width() - 2, Height() - 2 - (HorzBarWanted() ? sb : 0));
}

TRect TCustomMemo::HorzScrollBarRect() const {
    if (!HorzBarWanted()) return {};
    const int sb = detail::ScrollBarSize;
    return Rect(2, Height() - 2 - sb, Width() - 2 - (VertBarWanted() ? sb : 0), Height() - 2);
}

TRect TCustomMemo::TextArea() const {
    const int sb = detail::ScrollBarSize;
    TRect r = Rect(2 + 2, 2 + 1, Width() - 2 - 2 - (VertBarWanted() ? sb : 0),
                   Height() - 2 - 1 - (HorzBarWanted() ? sb : 0));
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

void TCustomMemo::SyncScrollBars() const {
    EnsureRows();
    FVBar->SetBoundsRect(VertScrollBarRect());
    FHBar->SetBoundsRect(HorzScrollBarRect());
    const int rows = int(FRows.size()), page = std::max(VisibleRowCount(), 1);
    FVBar->SetRange(std::max(0, rows - page), page, 1);
    FVBar->SetPos(FTopRow);
    if (!FHBar->Shown()) return;
    if (FWidestRow < 0) {
        FWidestRow = 0;
        for (const TRow& r : FRows) FWidestRow = std::max(FWidestRow, XInRow(r, r.End));
    }
    // The caret may stand after the widest row's last character: one pixel more than the row.
    const int avail = std::max(TextArea().Width() - 1, 1);
    const TCanvas& c = const_cast<TCustomMemo*>(this)->ControlCanvas();
    FHBar->SetRange(std::max(0, FWidestRow - avail), avail, std::max(c.TextWidth("x"), 1));
    FHBar->SetPos(FScrollX);
}

int TCustomMemo::RowHeight() const {
    TCanvas& c = const_cast<TCustomMemo*>(this)->ControlCanvas();
    c.Font().Assign(&Font());
    return std::max(c.TextHeight("Wg"), 1);
}

int TCustomMemo::VisibleRowCount() const { return TextArea().Height() / RowHeight(); }

int TCustomMemo::RowCount() const {
    EnsureRows();
    return int(FRows.size());
}

namespace {

// Advance of one character at X (pixels from the row start): a tab goes to the next multiple
// of eight blanks.
int Advance(const TCanvas& C, char32_t Ch, int X, int TabWidth) {
    if (Ch == '\t') return TabWidth - X % TabWidth;
    return C.TextWidth(CharToUtf8(Ch));
}

} // namespace

void TCustomMemo::EnsureRows() const {
    if (FRowsValid) return;
    TCanvas& c = const_cast<TCustomMemo*>(this)->ControlCanvas();
    c.Font().Assign(&Font());
    const int tab = std::max(8 * c.TextWidth(" "), 1);
    const int width = std::max(TextArea().Width() - 1, 1);
    FRows.clear();
    FWidestRow = -1;
    for (int l = 0; l < LineCount(); ++l) {
        std::u32string t = DecodeUtf8(LineText(l));
        int len = int(t.size());
        if (!FWordWrap || len == 0) {
            FRows.push_back({l, 0, len});
            continue;
        }
        int start = 0;
        while (start < len) {
            int x = 0, i = start, lastBreak = -1;
            for (; i < len; ++i) {
                int adv = Advance(c, t[std::size_t(i)], x, tab);
                if (x + adv > width && i > start && t[std::size_t(i)] != ' ') break;
                if (t[std::size_t(i)] == ' ') lastBreak = i + 1;
                x += adv;
            }
            if (i >= len) {
                FRows.push_back({l, start, len});
                break;
            }
            int end = lastBreak > start ? lastBreak : i;
            while (end < len && t[std::size_t(end)] == ' ') ++end; // blanks hang at the end
            FRows.push_back({l, start, end});
            start = end;
        }
    }
    FRowsValid = true;
}

// The row showing position P: the one holding it, a position at a row's end belonging to the
// next row of the same line.
int TCustomMemo::RowOf(TPoint P) const {
    EnsureRows();
    auto it = std::lower_bound(FRows.begin(), FRows.end(), P.Y,
                               [](const TRow& r, int line) { return r.Line < line; });
    int i = int(it - FRows.begin());
    while (i + 1 < int(FRows.size()) && FRows[std::size_t(i) + 1].Line == P.Y &&
           FRows[std::size_t(i) + 1].Start <= P.X)
        ++i;
    return std::min(i, int(FRows.size()) - 1);
}

int TCustomMemo::XInRow(const TRow& R, int Col) const {
    TCanvas& c = const_cast<TCustomMemo*>(this)->ControlCanvas();
    c.Font().Assign(&Font());
    const int tab = std::max(8 * c.TextWidth(" "), 1);
    std::u32string t = DecodeUtf8(LineText(R.Line));
    int x = 0;
    for (int i = R.Start; i < std::min(Col, R.End); ++i) x += Advance(c, t[std::size_t(i)], x, tab);
    return x;
}

int TCustomMemo::ColAtX(const TRow& R, int X) const {
    TCanvas& c = const_cast<TCustomMemo*>(this)->ControlCanvas();
    c.Font().Assign(&Font());
    const int tab = std::max(8 * c.TextWidth(" "), 1);
    std::u32string t = DecodeUtf8(LineText(R.Line));
    int x = 0;
    for (int i = R.Start; i < R.End; ++i) {
        int adv = Advance(c, t[std::size_t(i)], x, tab);
        if (X < x + (adv + 1) / 2) return i;
        x += adv;
    }
    // Past the end: a wrapped row's end is the next row's start, so stop before its last blank.
    bool lastOfLine = R.End >= int(t.size());
    return lastOfLine || R.End == R.Start ? R.End : R.End - 1;
}

namespace {
int AlignOffset(TAlignment A, int Room) {
    if (Room <= 0) return 0;
    return A == taRightJustify ? Room : A == taCenter ? Room / 2 : 0;
}
} // namespace

TPoint TCustomMemo::PosToClient(TPoint Pos) const {
    EnsureRows();
    Pos = Clamp(Pos);
    const TRow& r = FRows[std::size_t(RowOf(Pos))];
    TRect a = TextArea();
    int room = a.Width() - 1 - XInRow(r, r.End);
    return {a.Left - FScrollX + AlignOffset(FAlignment, room) + XInRow(r, Pos.X),
            a.Top + (RowOf(Pos) - FTopRow) * RowHeight()};
}

TPoint TCustomMemo::ClientToPos(int X, int Y) const {
    EnsureRows();
    TRect a = TextArea();
    int dy = Y - a.Top;
    int row = FTopRow + (dy < 0 ? -1 - (-dy - 1) / RowHeight() : dy / RowHeight());
    row = std::clamp(row, 0, int(FRows.size()) - 1);
    const TRow& r = FRows[std::size_t(row)];
    int room = a.Width() - 1 - XInRow(r, r.End);
    return {ColAtX(r, X - a.Left + FScrollX - AlignOffset(FAlignment, room)), r.Line};
}

void TCustomMemo::SetScrollX(int Value) {
    if (SetField(FScrollX, std::max(Value, 0))) Invalidate();
}

void TCustomMemo::SetTopRow(int Value) {
    Value = std::clamp(Value, 0, std::max(RowCount() - 1, 0));
    if (SetField(FTopRow, Value)) Invalidate();
}

void TCustomMemo::MakeCaretVisible() {
    EnsureRows();
    int r = RowOf(FCaret), vis = std::max(VisibleRowCount(), 1);
    int top = FTopRow;
    if (r < top) top = r;
    if (r >= top + vis) top = r - vis + 1;
    top = std::clamp(top, 0, std::max(int(FRows.size()) - 1, 0));
    if (SetField(FTopRow, top)) Invalidate();
    if (FWordWrap) {
        if (SetField(FScrollX, 0)) Invalidate();
        return;
    }
    int cx = XInRow(FRows[std::size_t(r)], FCaret.X);
    int avail = std::max(TextArea().Width() - 1, 0);
    int s = FScrollX;
    if (cx - s < 0) s = cx;
    if (cx - s > avail) s = cx - avail;
    if (SetField(FScrollX, s)) Invalidate();
}

void TCustomMemo::SizeChanged() {
    TWinControl::SizeChanged();
    FRowsValid = false;
    MakeCaretVisible();
}

// ---- Messages, keys, mouse --------------------------------------------------------------------

void TCustomMemo::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        TWinControl::WndProc(Message);
        if (!FSyncing) {
            // Text assigned by code: new lines, caret at the start.
            FSyncing = true;
            FLines.BeginUpdate();
            FLines.Clear();
            if (!Text().empty())
                for (const std::string& p : SplitBreaks(Text())) FLines.Add(p);
            FLines.EndUpdate();
            FSyncing = false;
            FCaret = FAnchor = {0, 0};
            FTopRow = 0;
            FScrollX = 0;
            FModified = false;
            FUndo.Clear();
            SyncText(); // Text reads back with CR LF breaks
            Invalidated();
            Change();
        }
        return;
    case CM_FONTCHANGED:
        TWinControl::WndProc(Message);
        Invalidated();
        return;
    case WM_UNDO:
        DoUndo();
        return;
    case CM_ENABLEDCHANGED:
        TWinControl::WndProc(Message);
        Invalidate();
        return;
    case CM_WANTSPECIALKEY:
        // Enter and Tab stay with the memo when it wants them (not offered to the form).
        // Ctrl+Enter always breaks the line.
        if ((Message.WParam == VK_RETURN && (FWantReturns || KeyIsDown(VK_CONTROL))) ||
            (Message.WParam == VK_TAB && FWantTabs))
            Message.Result = 1;
        else
            TWinControl::WndProc(Message);
        return;
    default:
        TWinControl::WndProc(Message);
        return;
    }
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    if (FWantTabs) Message.Result |= DLGC_WANTTAB;
}

void TCustomMemo::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    TWinControl::KeyDown(Key, Shift);
    if (Key == 0 || !Enabled()) return;
    bool shift = Shift.contains(ssShift), ctrl = Shift.contains(ssCtrl);
    EnsureRows();
    auto rowMove = [&](int Delta) {
        int r = RowOf(FCaret);
        if (FPreferredX < 0) FPreferredX = XInRow(FRows[std::size_t(r)], FCaret.X);
        int target = std::clamp(r + Delta, 0, int(FRows.size()) - 1);
        const TRow& row = FRows[std::size_t(target)];
        MoveCaret({ColAtX(row, FPreferredX), row.Line}, shift, true);
    };
    switch (Key) {
    case VK_LEFT:
        if (!shift && !ctrl && HasSelection())
            MoveCaret(SelFirst(), false);
        else if (ctrl)
            MoveCaret(WordLeft(FCaret), shift);
        else if (FCaret.X > 0)
            MoveCaret({FCaret.X - 1, FCaret.Y}, shift);
        else if (FCaret.Y > 0)
            MoveCaret({LineLength(FCaret.Y - 1), FCaret.Y - 1}, shift);
        break;
    case VK_RIGHT:
        if (!shift && !ctrl && HasSelection())
            MoveCaret(SelLast(), false);
        else if (ctrl)
            MoveCaret(WordRight(FCaret), shift);
        else if (FCaret.X < LineLength(FCaret.Y))
            MoveCaret({FCaret.X + 1, FCaret.Y}, shift);
        else if (FCaret.Y + 1 < LineCount())
            MoveCaret({0, FCaret.Y + 1}, shift);
        break;
    case VK_UP:
        rowMove(-1);
        break;
    case VK_DOWN:
        rowMove(1);
        break;
    case VK_PRIOR:
        SetTopRow(FTopRow - std::max(VisibleRowCount(), 1));
        rowMove(-std::max(VisibleRowCount(), 1));
        break;
    case VK_NEXT:
        SetTopRow(FTopRow + std::max(VisibleRowCount(), 1));
        rowMove(std::max(VisibleRowCount(), 1));
        break;
    case VK_HOME:
        if (ctrl)
            MoveCaret({0, 0}, shift);
        else
            MoveCaret({FRows[std::size_t(RowOf(FCaret))].Start, FCaret.Y}, shift);
        break;
    case VK_END:
        if (ctrl) {
            MoveCaret({LineLength(LineCount() - 1), LineCount() - 1}, shift);
        } else {
            const TRow& r = FRows[std::size_t(RowOf(FCaret))];
            MoveCaret({ColAtX(r, 1 << 30), FCaret.Y}, shift);
        }
        break;
    case VK_DELETE:
        if (shift) {
            CutToClipboard();
        } else if (!FReadOnly) {
            if (!HasSelection()) {
                TPoint next = FCaret.X < LineLength(FCaret.Y) ? TPoint{FCaret.X + 1, FCaret.Y}
                              : FCaret.Y + 1 < LineCount()    ? TPoint{0, FCaret.Y + 1}
                                                              : FCaret;
                if (ctrl) next = WordRight(FCaret);
                if (next == FCaret) break;
                FAnchor = next;
            }
            UserInsert(std::string());
        }
        break;
    default:
        detail::EditShortcutKey(*this, Key, Shift);
        break;
    }
}

void TCustomMemo::KeyPress(char32_t& Key) {
    TWinControl::KeyPress(Key);
    if (Key == 0 || !Enabled() || detail::EditShortcutChar(*this, Key)) return;
    switch (Key) {
    case 13: // Enter
        if (FWantReturns) UserInsert("\r\n");
        return;
    case 10: // Ctrl+Enter
        UserInsert("\r\n");
        return;
    case 9:
        if (FWantTabs) UserInsert("\t");
        return;
    case 8: // Backspace
        if (FReadOnly) return;
        if (!HasSelection()) {
            if (FCaret.X > 0)
                FAnchor = {FCaret.X - 1, FCaret.Y};
            else if (FCaret.Y > 0)
                FAnchor = {LineLength(FCaret.Y - 1), FCaret.Y - 1};
            else
                return;
        }
        UserInsert(std::string());
        return;
    default:
        break;
    }
    if (Key < 32 || Key == 127) return;
    FTypingChar = true;
    auto alive = Handle();
    UserInsert(CharToUtf8(Key));
    if (*alive != nullptr) FTypingChar = false;
}

void TCustomMemo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        // A press on a bar scrolls; it neither moves the caret nor focuses the memo.
        SyncScrollBars();
        for (detail::TScrollBar* bar : {FVBar.get(), FHBar.get()})
            if (bar->Shown() && bar->BoundsRect().Contains({X, Y})) {
                FBarMouse = bar;
                bar->MouseDown({X, Y});
                Invalidate();
                TWinControl::MouseDown(Button, Shift, X, Y);
                return;
            }
    }
    if (Button == mbLeft) {
        if (!FFocused && CanFocus()) {
            auto alive = Handle();
            SetFocus();
            if (*alive == nullptr) return;
        }
        TPoint p = ClientToPos(X, Y);
        if (Shift.contains(ssDouble)) {
            // The word (or run of blanks or punctuation) under the pointer.
            std::u32string t = DecodeUtf8(LineText(p.Y));
            int n = int(t.size());
            if (n > 0) {
                int i = std::min(p.X, n - 1), k = ClassOf(t[std::size_t(i)]), a = i, b = i + 1;
                while (a > 0 && ClassOf(t[std::size_t(a - 1)]) == k) --a;
                while (b < n && ClassOf(t[std::size_t(b)]) == k) ++b;
                FAnchor = {a, p.Y};
                MoveCaret({b, p.Y}, true);
            }
            FMouseSelecting = false;
        } else {
            MoveCaret(p, Shift.contains(ssShift));
            FMouseSelecting = true;
        }
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TCustomMemo::MouseMove(TShiftState Shift, int X, int Y) {
    if (FBarMouse != nullptr) {
        FBarMouse->MouseMove({X, Y});
        Invalidate();
    } else if (FMouseSelecting && Shift.contains(ssLeft))
        MoveCaret(ClientToPos(X, Y), true);
    TWinControl::MouseMove(Shift, X, Y);
}

void TCustomMemo::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) FMouseSelecting = false;
    if (FBarMouse != nullptr && Button == mbLeft) {
        FBarMouse->MouseUp();
        FBarMouse = nullptr;
        Invalidate();
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomMemo::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TWinControl::DoMouseWheelDown(Shift, MousePos)) return true;
    SetTopRow(FTopRow + 3);
    return true;
}

bool TCustomMemo::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TWinControl::DoMouseWheelUp(Shift, MousePos)) return true;
    SetTopRow(FTopRow - 3);
    return true;
}

// ---- Focus and caret --------------------------------------------------------------------------

void TCustomMemo::WMSetFocus(TMessage& Message) {
    TWinControl::WMSetFocus(Message);
    FFocused = true;
    RestartBlink();
    Invalidate();
}

void TCustomMemo::WMKillFocus(TMessage& Message) {
    TWinControl::WMKillFocus(Message);
    FFocused = false;
    FMouseSelecting = false;
    FCaretOn = false;
    FBlinkTimer.Stop();
    Invalidate();
}

void TCustomMemo::RestartBlink() {
    if (!FFocused) return;
    FCaretOn = true;
    FBlinkTimer.TryStart(CaretBlinkMs); // a refused blink leaves a steady caret
}

void TCustomMemo::BlinkTick() {
    if (!FFocused) {
        FCaretOn = false;
        FBlinkTimer.Stop();
        return;
    }
    FCaretOn = !FCaretOn;
    if (!HasSelection()) {
        TPoint p = PosToClient(FCaret);
        InvalidateRect(Rect(p.X, p.Y, p.X + 1, p.Y + RowHeight()));
    }
}

// ---- Painting ---------------------------------------------------------------------------------

void TCustomMemo::Paint() {
    TCanvas& c = ControlCanvas();
    const TCustomStyleServices& s = StyleServices();
    bool enabled = Enabled();
    FillSolidRect(c, ClientRect(), enabled ? Color() : s.GetStyleColor(scButtonFace));
    DrawSunkenFrame(c, ClientRect());
    EnsureRows();
    TRect area = TextArea();
    TRect oldClip = c.ClipRect();
    c.IntersectClipRect(area);
    c.Font().Assign(&Font());
    const int rh = RowHeight();
    const int tab = std::max(8 * c.TextWidth(" "), 1);
    const bool showSel = HasSelection() && (FFocused || !FHideSelection);
    const TPoint a = SelFirst(), b = SelLast();
    TColor textColor = enabled ? Font().Color() : s.GetStyleColor(scGrayText);
    for (int r = FTopRow; r < int(FRows.size()); ++r) {
        int y = area.Top + (r - FTopRow) * rh;
        if (y >= area.Bottom) break;
        const TRow& row = FRows[std::size_t(r)];
        std::u32string t = DecodeUtf8(LineText(row.Line));
        int room = area.Width() - 1 - XInRow(row, row.End);
        int x0 = area.Left - FScrollX + AlignOffset(FAlignment, room);
        // The row's text in runs between tabs.
        auto drawRow = [&](TColor color) {
            c.Font().SetColor(color);
            c.Brush().SetStyle(bsClear);
            int x = 0;
            std::string run;
            int runX = 0;
            for (int i = row.Start; i < row.End; ++i) {
                char32_t ch = t[std::size_t(i)];
                if (ch == '\t') {
                    if (!run.empty()) c.TextOut(x0 + runX, y, run);
                    run.clear();
                    x += Advance(c, ch, x, tab);
                    runX = x;
                    continue;
                }
                run += CharToUtf8(ch);
                x += c.TextWidth(CharToUtf8(ch));
            }
            if (!run.empty()) c.TextOut(x0 + runX, y, run);
        };
        drawRow(textColor);
        if (showSel && row.Line >= a.Y && row.Line <= b.Y) {
            int from = row.Line == a.Y ? std::max(a.X, row.Start) : row.Start;
            int to = row.Line == b.Y ? std::min(b.X, row.End) : row.End;
            bool breakSelected = row.Line < b.Y && to == row.End &&
                                 row.End == int(t.size()); // the line break is selected too
            if (from < to || (breakSelected && from <= to)) {
                int xs = x0 + XInRow(row, from), xe = x0 + XInRow(row, to);
                if (breakSelected) xe += c.TextWidth(" ");
                TRect sel = Rect(xs, y, xe, y + rh);
                FillSolidRect(c, sel, s.GetStyleColor(scHighlight));
                c.IntersectClipRect(sel);
                drawRow(s.GetStyleColor(scHighlightText));
                c.SetClipRect(oldClip);
                c.IntersectClipRect(area);
            }
        }
    }
    if (CaretShown()) {
        TPoint p = PosToClient(FCaret);
        FillSolidRect(c, Rect(p.X, p.Y, p.X + 1, p.Y + rh), textColor);
    }
    c.Brush().SetStyle(bsSolid);
    c.SetClipRect(oldClip);
    SyncScrollBars();
    FVBar->Paint(c, enabled);
    FHBar->Paint(c, enabled);
    if (FVBar->Shown() && FHBar->Shown())
        FillSolidRect(c,
                      Rect(FVBar->BoundsRect().Left, FHBar->BoundsRect().Top,
                           FVBar->BoundsRect().Right, FHBar->BoundsRect().Bottom),
                      s.GetStyleColor(scButtonFace));
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

const TClassRegistrar<TMemo> memoReg("TMemo", "TWinControl", [](auto& p) {
    using M = TMemo;
    p.Strings(
        "Lines",
        [](const M& m) {
            std::vector<std::string> v;
            v.reserve(std::size_t(m.Lines().Count()));
            for (int i = 0; i < m.Lines().Count(); ++i) v.push_back(m.Lines()[i]);
            return v;
        },
        [](M& m, const std::vector<std::string>& v) {
            m.Lines().BeginUpdate();
            m.Lines().Clear();
            for (const std::string& s : v) m.Lines().Add(s);
            m.Lines().EndUpdate();
        });
    p.Bool("WordWrap", &M::WordWrap, &M::SetWordWrap, true);
    p.Bool("WantReturns", &M::WantReturns, &M::SetWantReturns, true);
    p.Bool("WantTabs", &M::WantTabs, &M::SetWantTabs, false);
    p.Bool("ReadOnly", &M::ReadOnly, &M::SetReadOnly, false);
    p.Int("MaxLength", &M::MaxLength, &M::SetMaxLength, 0);
    p.Enum("ScrollBars", &M::ScrollBars, &M::SetScrollBars, ssNone,
           {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
    p.Enum("Alignment", &M::Alignment, &M::SetAlignment, taLeftJustify,
           {"taLeftJustify", "taRightJustify", "taCenter"});
    p.Bool("HideSelection", &M::HideSelection, &M::SetHideSelection, true);
});

} // namespace

} // namespace kel
