// The single-line edit box: text positions, editing operations, keyboard and mouse handling,
// the blinking caret and the painting of TCustomEdit; the published properties of TEdit.
//
// Positions are character indexes into FBounds (byte offset of each character start plus the
// end), so every caret position is a character boundary. Pixel offsets of the boundaries are
// measured lazily with the control's font and kept until the text or the font changes.
//
// Index: text positions; construction; text and selection; editing; clipboard; keys; mouse;
// focus and caret; geometry; painting; the label; published properties.
#include "kel_stdctrls.h"
#include "detail/edit_keys.h"

#include "kel_props.h"
#include "kel_setter.h"
#include "kel_themes.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace kel {

namespace {

// Length in bytes of the well-formed UTF-8 sequence at s[i], or 1 for a malformed byte.
int SeqLength(const std::string& s, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (len == 1) return 1;
    if (i + std::size_t(len) > s.size()) return 1;
    for (int k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(s[i + std::size_t(k)]) & 0xC0) != 0x80) return 1;
    return len;
}

// The first line of S: a single-line box takes pasted text up to the first line break.
std::string FirstLine(const std::string& S) {
    std::size_t p = S.find_first_of("\r\n");
    return p == std::string::npos ? S : S.substr(0, p);
}

// Number of characters in S (as the box counts them).
int CountChars(const std::string& S) {
    int n = 0;
    for (std::size_t i = 0; i < S.size(); i += std::size_t(SeqLength(S, i))) ++n;
    return n;
}

// The first N characters of S.
std::string FirstChars(const std::string& S, int N) {
    std::size_t i = 0;
    for (int k = 0; k < N && i < S.size(); ++k) i += std::size_t(SeqLength(S, i));
    return S.substr(0, i);
}

void FillSolid(TCanvas& C, const TRect& R, TColor Color) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
}

} // namespace

// ---- Construction -----------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    // csSetCaption stays (the control's default): a new, empty box named "Edit1" shows
    // "Edit1" until its text is set, as on the platform.
    IncludeStyle(csOpaque);
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    SetCursor(crIBeam);
    InitBounds(0, 0, 121, 21);
    AdjustHeight();
}

TCustomEdit::~TCustomEdit() = default;

// ---- Text and selection -----------------------------------------------------------------------

void TCustomEdit::RebuildBounds() {
    const std::string& s = Text();
    FBounds.clear();
    for (std::size_t i = 0; i < s.size(); i += std::size_t(SeqLength(s, i)))
        FBounds.push_back(int(i));
    FBounds.push_back(int(s.size()));
    FMeasured = false;
}

// CM_TEXTCHANGED: the text is new, whoever set it.
void TCustomEdit::TextChanged() {
    bool internal = FInternalText;
    FInternalText = false;
    RebuildBounds();
    int n = TextLength();
    if (internal) {
        FCaret = std::min(FCaret, n);
        FSelAnchor = std::min(FSelAnchor, n);
        FModified = true;
    } else {
        FCaret = FSelAnchor = 0;
        FScrollX = 0;
        FModified = false;
        ClearUndo(); // the undo text belongs to a text that is gone
    }
    MakeCaretVisible();
    RestartBlink();
    Invalidate();
    Change();
}

void TCustomEdit::Change() {
    if (FOnChange) FOnChange(this);
}

int TCustomEdit::SelStart() const { return std::min(FCaret, FSelAnchor); }

int TCustomEdit::SelLength() const { return std::abs(FCaret - FSelAnchor); }

void TCustomEdit::SetSelStart(int Value) { SetSelection(Value, 0); }

void TCustomEdit::SetSelLength(int Value) { SetSelection(SelStart(), Value); }

void TCustomEdit::SetSelection(int AStart, int ALength) {
    int n = TextLength();
    int a = std::clamp(AStart, 0, n);
    int c = std::clamp(a + std::max(ALength, 0), a, n);
    if (a == FSelAnchor && c == FCaret) return;
    FSelAnchor = a;
    FCaret = c;
    MakeCaretVisible();
    RestartBlink();
    Invalidate();
}

void TCustomEdit::SelectAll() { SetSelection(0, TextLength()); }

std::string TCustomEdit::SelText() const {
    int a = SelStart(), b = a + SelLength();
    return Text().substr(std::size_t(ByteOf(a)), std::size_t(ByteOf(b) - ByteOf(a)));
}

void TCustomEdit::SetSelText(const std::string& Value) {
    ReplaceRange(SelStart(), SelStart() + SelLength(), Value);
}

void TCustomEdit::SetMaxLength(int Value) { FMaxLength = std::max(Value, 0); }

void TCustomEdit::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    AdjustHeight();
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (Value == FHideSelection) return;
    FHideSelection = Value;
    Invalidate();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    AdjustHeight();
    MakeCaretVisible();
    Invalidate();
}

void TCustomEdit::SetCtl3D(bool Value) {
    if (Value == FCtl3D) return;
    FCtl3D = Value;
    AdjustHeight();
    MakeCaretVisible();
    Invalidate();
}

// ---- Editing ----------------------------------------------------------------------------------

void TCustomEdit::ReplaceRange(int From, int To, const std::string& S) {
    const std::string& old = Text();
    std::string t =
        old.substr(0, std::size_t(ByteOf(From))) + S + old.substr(std::size_t(ByteOf(To)));
    int caret = From + CountChars(S);
    if (t == old) {
        SetSelection(caret, 0);
        return;
    }
    // The caret is placed before the text changes, so Change already sees it where it ends.
    FCaret = FSelAnchor = caret;
    FInternalText = true; // consumed by TextChanged
    SetText(t);
}

bool TCustomEdit::UserReplaceSelection(const std::string& S) {
    if (FReadOnly) return false;
    std::string ins = S;
    if (FMaxLength > 0) {
        int room = FMaxLength - (TextLength() - SelLength());
        if (room <= 0)
            ins.clear();
        else if (CountChars(ins) > room)
            ins = FirstChars(ins, room);
        if (ins.empty() && !S.empty()) return false;
    }
    if (ins.empty() && SelLength() == 0) return false;
    int from = SelStart(), to = from + SelLength();
    std::string t =
        Text().substr(0, std::size_t(ByteOf(from))) + ins + Text().substr(std::size_t(ByteOf(to)));
    bool changed = t != Text();
    if (changed) FUndo.Record(Text(), from, to, FTypingChar, CountChars(ins));
    ReplaceRange(from, to, ins); // may run handlers that delete the box: touch nothing after
    return changed;
}

// Character classes for word movement and double-click: 0 blank, 1 word, 2 punctuation.
int TCustomEdit::CharClass(int Index) const {
    unsigned char c = static_cast<unsigned char>(Text()[std::size_t(ByteOf(Index))]);
    if (c == ' ' || c == '\t') return 0;
    if (c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
        c == '_')
        return 1;
    return 2;
}

// Start of the word Ctrl+Left goes to from Index: skips blanks, then one run of a class.
int TCustomEdit::WordStart(int Index) const {
    int i = Index;
    while (i > 0 && CharClass(i - 1) == 0) --i;
    if (i == 0) return 0;
    int k = CharClass(i - 1);
    while (i > 0 && CharClass(i - 1) == k) --i;
    return i;
}

// Where Ctrl+Right goes from Index: past one run of a class, then past the blanks after it.
int TCustomEdit::WordEnd(int Index) const {
    int n = TextLength(), i = Index;
    if (i < n) {
        int k = CharClass(i);
        while (i < n && CharClass(i) == k) ++i;
    }
    while (i < n && CharClass(i) == 0) ++i;
    return i;
}

void TCustomEdit::MoveCaret(int Index, bool Extend) {
    FUndo.EndRun(); // typing after a caret move is a new undo step
    Index = std::clamp(Index, 0, TextLength());
    if (Extend) {
        if (Index == FCaret) return;
        FCaret = Index;
    } else {
        if (Index == FCaret && FSelAnchor == FCaret) {
            RestartBlink();
            return;
        }
        FCaret = FSelAnchor = Index;
    }
    MakeCaretVisible();
    RestartBlink();
    Invalidate();
}

// ---- Clipboard --------------------------------------------------------------------------------

void TCustomEdit::CutToClipboard() { Perform(WM_CUT); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE); }
void TCustomEdit::ClearSelection() { Perform(WM_CLEAR); }

void TCustomEdit::WMCopy(TMessage& Message) {
    (void)Message;
    if (FPasswordChar != 0) return; // a hidden text never leaves the box
    if (SelLength() > 0) Clipboard().SetAsText(SelText());
}

void TCustomEdit::WMCut(TMessage& Message) {
    if (FReadOnly || SelLength() == 0 || FPasswordChar != 0) return;
    WMCopy(Message);
    UserReplaceSelection(std::string());
}

void TCustomEdit::WMPaste(TMessage& Message) {
    (void)Message;
    if (FReadOnly || !Clipboard().HasFormat(CF_TEXT)) return;
    std::string s = FirstLine(Clipboard().AsText());
    if (s.empty()) return;
    UserReplaceSelection(s);
}

void TCustomEdit::WMClear(TMessage& Message) {
    (void)Message;
    UserReplaceSelection(std::string());
}

void TCustomEdit::WMUndo(TMessage& Message) {
    if (FReadOnly || !FUndo.CanUndo()) return;
    Message.Result = 1;
    int start = SelStart(), length = SelLength();
    std::string back = FUndo.Swap(Text(), start, length);
    if (back == Text()) return;
    // Selects what the undone change had replaced.
    FSelAnchor = start;
    FCaret = start + length;
    FInternalText = true;
    SetText(back);
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
    if (!SetField(FPasswordChar, Value)) return;
    FMeasured = false;
    MakeCaretVisible();
    Invalidate();
}

std::string TCustomEdit::DisplayText() const {
    if (FPasswordChar == 0) return Text();
    std::string one = CharToUtf8(FPasswordChar), out;
    for (int i = 0; i < TextLength(); ++i) out += one;
    return out;
}

// ---- Keys -------------------------------------------------------------------------------------

void TCustomEdit::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
}

void TCustomEdit::EditKeyDown(std::uint16_t Key, TShiftState Shift) {
    bool shift = Shift.contains(ssShift), ctrl = Shift.contains(ssCtrl);
    switch (Key) {
    case VK_LEFT:
        if (!shift && !ctrl && SelLength() > 0)
            MoveCaret(SelStart(), false);
        else
            MoveCaret(ctrl ? WordStart(FCaret) : FCaret - 1, shift);
        break;
    case VK_RIGHT:
        if (!shift && !ctrl && SelLength() > 0)
            MoveCaret(SelStart() + SelLength(), false);
        else
            MoveCaret(ctrl ? WordEnd(FCaret) : FCaret + 1, shift);
        break;
    case VK_HOME:
        MoveCaret(0, shift);
        break;
    case VK_END:
        MoveCaret(TextLength(), shift);
        break;
    case VK_DELETE:
        if (shift) {
            CutToClipboard();
        } else if (!FReadOnly) {
            if (SelLength() == 0) {
                if (FCaret >= TextLength()) break;
                FSelAnchor = ctrl ? WordEnd(FCaret) : FCaret + 1;
            }
            ClearSelection();
        }
        break;
    default:
        detail::EditShortcutKey(*this, Key, Shift);
        break;
    }
}

void TCustomEdit::EditChar(char32_t Ch) {
    if (detail::EditShortcutChar(*this, Ch)) return;
    switch (Ch) {
    case 8: // Backspace
        if (FReadOnly) return;
        if (SelLength() == 0) {
            if (FCaret == 0) return;
            FSelAnchor = FCaret - 1;
        }
        ClearSelection();
        return;
    default:
        break;
    }
    if (Ch < 32 || Ch == 127) return;
    FTypingChar = true;
    auto alive = Handle();
    UserReplaceSelection(CharToUtf8(Ch));
    if (*alive != nullptr) FTypingChar = false;
}

void TCustomEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        auto alive = Handle();
        TWinControl::WndProc(Message);
        std::uint16_t key = std::uint16_t(Message.WParam);
        TShiftState shift = KeyDataToShiftState(Message.LParam);
        // Alt+Backspace (a system key) undoes; other Alt keys belong to menus.
        if (*alive != nullptr && Enabled() && key != 0 &&
            (Message.Msg == WM_KEYDOWN || (key == VK_BACK && shift.contains(ssAlt))))
            EditKeyDown(key, shift);
        return;
    }
    case WM_CHAR: {
        auto alive = Handle();
        TWinControl::WndProc(Message);
        char32_t ch = char32_t(Message.WParam);
        if (*alive != nullptr && Enabled() && ch != 0) EditChar(ch);
        return;
    }
    case WM_CUT:
        WMCut(Message);
        return;
    case WM_COPY:
        WMCopy(Message);
        return;
    case WM_PASTE:
        WMPaste(Message);
        return;
    case WM_CLEAR:
        WMClear(Message);
        return;
    case WM_UNDO:
        WMUndo(Message);
        return;
    case CM_TEXTCHANGED:
        TextChanged();
        return;
    case CM_FONTCHANGED:
        TWinControl::WndProc(Message);
        FMeasured = false;
        AdjustHeight();
        MakeCaretVisible();
        return;
    case CM_ENABLEDCHANGED:
        TWinControl::WndProc(Message);
        Invalidate();
        return;
    default:
        TWinControl::WndProc(Message);
        return;
    }
}

// ---- Mouse ------------------------------------------------------------------------------------

void TCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        if (!FFocused && CanFocus()) {
            FClickFocusing = true;
            auto alive = Handle();
            SetFocus();
            if (*alive == nullptr) return;
            FClickFocusing = false;
        }
        if (Shift.contains(ssDouble)) {
            // A double click selects the word (or the run of blanks or punctuation) under it.
            int n = TextLength();
            if (n > 0) {
                int i = std::clamp(CharIndexAt(X), 0, n);
                // The character under the pointer: the one whose cell holds X.
                EnsureMeasured();
                int tx = X - TextArea().Left + FScrollX;
                if (i > 0 && (i == n || FCharX[std::size_t(i)] > tx)) --i;
                int k = CharClass(i), a = i, b = i + 1;
                while (a > 0 && CharClass(a - 1) == k) --a;
                while (b < n && CharClass(b) == k) ++b;
                FSelAnchor = a;
                FCaret = a;
                MoveCaret(b, true);
            }
            FMouseSelecting = false;
        } else {
            MoveCaret(CharIndexAt(X), Shift.contains(ssShift));
            FMouseSelecting = true;
        }
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TCustomEdit::MouseMove(TShiftState Shift, int X, int Y) {
    if (FMouseSelecting && Shift.contains(ssLeft)) MoveCaret(CharIndexAt(X), true);
    TWinControl::MouseMove(Shift, X, Y);
}

void TCustomEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) FMouseSelecting = false;
    TWinControl::MouseUp(Button, Shift, X, Y);
}

// ---- Focus and caret --------------------------------------------------------------------------

void TCustomEdit::WMSetFocus(TMessage& Message) {
    TWinControl::WMSetFocus(Message);
    FFocused = true;
    RestartBlink();
    Invalidate();
}

void TCustomEdit::WMKillFocus(TMessage& Message) {
    TWinControl::WMKillFocus(Message);
    FFocused = false;
    FMouseSelecting = false;
    StopBlink();
    Invalidate();
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && !FClickFocusing) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::DoExit() { TWinControl::DoExit(); }

// Shows the caret and starts a new blink period (after every caret move, as users expect).
void TCustomEdit::RestartBlink() {
    if (!FFocused) return;
    FCaretOn = true;
    FBlinkTimer.TryStart(CaretBlinkMs); // a refused blink leaves a steady caret
}

void TCustomEdit::StopBlink() {
    FCaretOn = false;
    FBlinkTimer.Stop();
}

void TCustomEdit::BlinkTick() {
    if (!FFocused) {
        StopBlink();
        return;
    }
    FCaretOn = !FCaretOn;
    if (FSelAnchor == FCaret) {
        int x = CharToX(FCaret);
        TRect a = TextArea();
        InvalidateRect(Rect(x, a.Top, x + 1, a.Bottom));
    }
}

// ---- Geometry ---------------------------------------------------------------------------------

int TCustomEdit::BorderWidth() const {
    if (FBorderStyle == bsNone) return 0;
    return FCtl3D ? 2 : 1;
}

TRect TCustomEdit::TextArea() const {
    int b = BorderWidth();
    TRect r = Rect(b + 1, b + 1, Width() - b - 1, Height() - b - 1);
    if (r.Right < r.Left) r.Right = r.Left;
    if (r.Bottom < r.Top) r.Bottom = r.Top;
    return r;
}

void TCustomEdit::AdjustHeight() {
    if (!FAutoSize) return;
    TCanvas& c = const_cast<TCustomEdit*>(this)->ControlCanvas();
    c.Font().Assign(&Font());
    int h = c.TextHeight("Wg") + 2 * BorderWidth() + 4;
    if (h != Height()) SetHeight(h);
}

// The canvas adds glyph advances without kerning, so the width of a prefix is the sum of its
// characters' own widths: one pass over the text gives every boundary (measuring each prefix
// anew grew with the square of the length).
void TCustomEdit::EnsureMeasured() const {
    if (FMeasured && FCharX.size() == FBounds.size()) return;
    TCanvas& c = const_cast<TCustomEdit*>(this)->ControlCanvas();
    c.Font().Assign(&Font());
    FCharX.assign(FBounds.size(), 0);
    if (FPasswordChar != 0) {
        const int w = c.TextWidth(CharToUtf8(FPasswordChar));
        for (std::size_t i = 1; i < FBounds.size(); ++i) FCharX[i] = FCharX[i - 1] + w;
    } else {
        const std::string& s = Text();
        std::string one;
        for (std::size_t i = 1; i < FBounds.size(); ++i) {
            one.assign(s, std::size_t(FBounds[i - 1]), std::size_t(FBounds[i] - FBounds[i - 1]));
            FCharX[i] = FCharX[i - 1] + c.TextWidth(one);
        }
    }
    FMeasured = true;
}

int TCustomEdit::CharToX(int Index) const {
    EnsureMeasured();
    Index = std::clamp(Index, 0, TextLength());
    return TextArea().Left - FScrollX + FCharX[std::size_t(Index)];
}

int TCustomEdit::CharIndexAt(int X) const {
    EnsureMeasured();
    int tx = X - TextArea().Left + FScrollX;
    // The first boundary past tx, then whichever of it and the one before is nearer.
    auto it = std::lower_bound(FCharX.begin(), FCharX.end(), tx);
    if (it == FCharX.end()) return TextLength();
    int i = int(it - FCharX.begin());
    if (i > 0 && tx - FCharX[std::size_t(i - 1)] < *it - tx) --i;
    return i;
}

// Scrolls so the caret lies in the text area and no space is wasted right of the text.
void TCustomEdit::MakeCaretVisible() {
    EnsureMeasured();
    TRect a = TextArea();
    int avail = std::max(a.Width() - 1, 0); // the caret is one pixel wide
    int cx = FCharX[std::size_t(FCaret)];
    int total = FCharX.back();
    int s = FScrollX;
    if (cx - s < 0) s = cx;
    if (cx - s > avail) s = cx - avail;
    if (total - s < avail) s = std::max(total - avail, 0);
    if (cx - s < 0) s = cx;
    if (s == FScrollX) return;
    FScrollX = s;
    Invalidate();
}

void TCustomEdit::SizeChanged() {
    TWinControl::SizeChanged();
    MakeCaretVisible();
}

// ---- Painting ---------------------------------------------------------------------------------

void TCustomEdit::Paint() {
    TCanvas& c = ControlCanvas();
    int w = Width(), h = Height();
    bool enabled = Enabled();
    TColor back = enabled ? Color() : clBtnFace;
    FillSolid(c, Rect(0, 0, w, h), back);
    if (FBorderStyle != bsNone) {
        if (FCtl3D) {
            DrawSunkenFrame(c, Rect(0, 0, w, h));
        } else {
            c.Brush().SetColor(clWindowFrame);
            c.FrameRect(Rect(0, 0, w, h));
        }
    }
    EnsureMeasured();
    TRect area = TextArea();
    TRect oldClip = c.ClipRect();
    c.IntersectClipRect(area);
    c.Font().Assign(&Font());
    c.Font().SetColor(enabled ? Font().Color() : clGrayText);
    c.Brush().SetStyle(bsClear);
    int x0 = area.Left - FScrollX, y0 = area.Top;
    const std::string shown = DisplayText();
    c.TextOut(x0, y0, shown);
    bool showSel = SelLength() > 0 && (FFocused || !FHideSelection);
    if (showSel) {
        // The selection: highlight, then the whole text again in the highlight colour, clipped
        // to the selected cells (so kerning across the selection edge stays as drawn).
        int sa = SelStart(), sb = sa + SelLength();
        TRect sel =
            Rect(x0 + FCharX[std::size_t(sa)], area.Top, x0 + FCharX[std::size_t(sb)], area.Bottom);
        FillSolid(c, sel, clHighlight);
        c.IntersectClipRect(sel);
        c.Font().SetColor(clHighlightText);
        c.Brush().SetStyle(bsClear);
        c.TextOut(x0, y0, shown);
        c.SetClipRect(oldClip);
        c.IntersectClipRect(area);
    }
    if (CaretShown()) {
        int cx = x0 + FCharX[std::size_t(FCaret)];
        int th = c.TextHeight("Wg");
        FillSolid(c, Rect(cx, y0, cx + 1, std::min(y0 + th, area.Bottom)),
                  enabled ? Font().Color() : clGrayText);
    }
    c.SetClipRect(oldClip);
}

// ---- The label --------------------------------------------------------------------------------

namespace {

// One line of a label: its text and the byte index of the underlined character (-1: none).
struct TLabelLine {
    std::string Text;
    int Accel = -1;
};

// Tabs to blanks up to the next multiple of 8 characters.
std::string ExpandTabs(const std::string& S) {
    std::string out;
    int col = 0;
    for (std::size_t i = 0; i < S.size(); i += std::size_t(SeqLength(S, i))) {
        if (S[i] == '\t') {
            do {
                out += ' ';
                ++col;
            } while (col % 8 != 0);
            continue;
        }
        out.append(S, i, std::size_t(SeqLength(S, i)));
        ++col;
    }
    return out;
}

// Splits a caption into the lines DoDrawText draws.
std::vector<TLabelLine> LabelLines(const std::string& Caption, unsigned Flags, int Width,
                                   const TCanvas& C) {
    std::vector<TLabelLine> lines;
    std::size_t start = 0;
    while (true) {
        std::size_t nl = (Flags & DT_SINGLELINE) ? std::string::npos : Caption.find('\n', start);
        std::string para =
            Caption.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!para.empty() && para.back() == '\r') para.pop_back();
        if (Flags & DT_EXPANDTABS) para = ExpandTabs(para);
        // Prefixes: "&&" is "&", "&x" is x underlined (the first one counts).
        int accel = -1;
        if (!(Flags & DT_NOPREFIX)) {
            std::string plain;
            for (std::size_t i = 0; i < para.size(); ++i) {
                if (para[i] == '&' && i + 1 < para.size()) {
                    ++i;
                    if (para[i] != '&' && accel < 0) accel = int(plain.size());
                }
                plain += para[i];
            }
            para = std::move(plain);
        }
        // Word breaks: as many words as fit; a word wider than the line stands alone.
        std::size_t ls = 0;
        while (true) {
            std::size_t le = para.size();
            if ((Flags & DT_WORDBREAK) && C.TextWidth(para.substr(ls)) > Width) {
                std::size_t best = std::string::npos;
                for (std::size_t b = para.find(' ', ls); b != std::string::npos;
                     b = para.find(' ', b + 1)) {
                    if (b > ls && C.TextWidth(para.substr(ls, b - ls)) > Width) break;
                    if (b > ls) best = b;
                }
                if (best == std::string::npos) best = para.find(' ', ls);
                if (best != std::string::npos) le = best;
            }
            TLabelLine line;
            line.Text = para.substr(ls, le - ls);
            if (accel >= int(ls) && accel < int(le)) line.Accel = accel - int(ls);
            lines.push_back(std::move(line));
            if (le >= para.size()) break;
            ls = para.find_first_not_of(' ', le);
            if (ls == std::string::npos) break;
        }
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

} // namespace

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    InitBounds(0, 0, 65, 17);
    AdjustBounds();
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (Value == FLayout) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (Value == FWordWrap) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (Value == FShowAccelChar) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Invalidate();
}

unsigned TCustomLabel::DrawTextFlags() const {
    unsigned f = DT_EXPANDTABS;
    if (FAlignment == taRightJustify)
        f |= DT_RIGHT;
    else if (FAlignment == taCenter)
        f |= DT_CENTER;
    if (FWordWrap) f |= DT_WORDBREAK;
    if (!FShowAccelChar) f |= DT_NOPREFIX;
    return f;
}

void TCustomLabel::DoDrawText(TRect& R, unsigned Flags) {
    TCanvas& c = Canvas();
    c.Font().Assign(&Font());
    std::vector<TLabelLine> lines = LabelLines(Caption(), Flags, R.Width(), c);
    const int lh = c.TextHeight("Wg");
    if (Flags & DT_CALCRECT) {
        int w = 0;
        for (const TLabelLine& l : lines) w = std::max(w, c.TextWidth(l.Text));
        if (Caption().empty()) w = c.TextWidth(" ");
        R.Right = R.Left + w;
        R.Bottom = R.Top + lh * int(lines.size());
        return;
    }
    TRect oldClip = c.ClipRect();
    if (!(Flags & DT_NOCLIP)) c.IntersectClipRect(R);
    const int ascent = c.TextMetrics().tmAscent;
    c.Brush().SetStyle(bsClear);
    auto drawAll = [&](int dx, int dy, TColor color) {
        c.Font().SetColor(color);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const TLabelLine& l = lines[i];
            int w = c.TextWidth(l.Text);
            int x = (Flags & DT_RIGHT)    ? R.Right - w
                    : (Flags & DT_CENTER) ? R.Left + (R.Width() - w) / 2
                                          : R.Left;
            int y = R.Top + int(i) * lh;
            c.TextOut(x + dx, y + dy, l.Text);
            if (l.Accel >= 0) {
                std::size_t a = std::size_t(l.Accel);
                int u0 = c.TextWidth(l.Text.substr(0, a));
                int u1 = c.TextWidth(l.Text.substr(0, a + std::size_t(SeqLength(l.Text, a))));
                FillSolid(c,
                          Rect(x + dx + u0, y + dy + ascent + 1, x + dx + u1, y + dy + ascent + 2),
                          color);
                c.Brush().SetStyle(bsClear);
            }
        }
    };
    if (Enabled()) {
        drawAll(0, 0, Font().Color());
    } else {
        drawAll(1, 1, clBtnHighlight);
        drawAll(0, 0, clBtnShadow);
    }
    c.Brush().SetStyle(bsSolid);
    c.SetClipRect(oldClip);
}

void TCustomLabel::Paint() {
    TCanvas& c = Canvas();
    if (!FTransparent) FillSolid(c, ClientRect(), Color());
    TRect r = ClientRect();
    unsigned f = DrawTextFlags();
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, f | DT_CALCRECT);
        int dy =
            FLayout == tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
        r.Top += dy;
        r.Bottom += dy;
    }
    DoDrawText(r, f);
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || ComponentState().contains(csLoading)) return;
    TRect r = Rect(0, 0, Width(), 0);
    DoDrawText(r, DrawTextFlags() | DT_CALCRECT);
    int x = Left();
    if (FAlignment == taRightJustify) x += Width() - r.Right;
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::WndProc(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        break;
    case CM_ENABLEDCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl != nullptr) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value != nullptr) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::CMDialogChar(TMessage& Message) {
    if (FFocusControl == nullptr || !FShowAccelChar || !Enabled() || !Visible() ||
        !IsAccel(char32_t(Message.WParam), Caption()) || !FFocusControl->CanFocus())
        return;
    Message.Result = 1;
    FFocusControl->SetFocus();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
// Text is not in the base list: a descendant that checks its text (the numeric edit box) lists
// it after the properties the check depends on, so a form file sets it last.
const TClassRegistrar<TCustomEdit> customEditReg("TCustomEdit", "TWinControl", [](auto& p) {
    using E = TCustomEdit;
    p.Bool("ReadOnly", &E::ReadOnly, &E::SetReadOnly, false);
    p.Int("MaxLength", &E::MaxLength, &E::SetMaxLength, 0);
    p.Bool("AutoSelect", &E::AutoSelect, &E::SetAutoSelect, true);
    p.Bool("AutoSize", &E::AutoSize, &E::SetAutoSize, true);
    p.Bool("HideSelection", &E::HideSelection, &E::SetHideSelection, true);
    p.Enum("BorderStyle", &E::BorderStyle, &E::SetBorderStyle, bsSingle,
           {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    p.Bool("Ctl3D", &E::Ctl3D, &E::SetCtl3D, true);
    // The character as text ("" for none).
    p.String(
        "PasswordChar",
        [](const E& e) {
            return e.PasswordChar() == 0 ? std::string() : CharToUtf8(e.PasswordChar());
        },
        [](E& e, const std::string& v) {
            std::u32string u = DecodeUtf8(v);
            e.SetPasswordChar(u.empty() ? 0 : u[0]);
        },
        "");
    p.Color(
        "Color", [](const E& e) { return e.Color(); }, [](E& e, TColor c) { e.SetColor(c); },
        clWindow);
    p.Bool(
        "Visible", [](const E& e) { return e.Visible(); }, [](E& e, bool v) { e.SetVisible(v); },
        true);
    p.Bool(
        "Enabled", [](const E& e) { return e.Enabled(); }, [](E& e, bool v) { e.SetEnabled(v); },
        true);
    p.Bool(
        "TabStop", [](const E& e) { return e.TabStop(); }, [](E& e, bool v) { e.SetTabStop(v); },
        true);
    p.Object("Font", [](E& e) -> TPersistent* { return &e.Font(); });
});
const TClassRegistrar<TEdit> editReg("TEdit", "TCustomEdit", [](auto& p) {
    p.String(
        "Text", [](const TEdit& e) { return e.Text(); },
        [](TEdit& e, const std::string& v) { e.SetText(v); }, "");
});
const TClassRegistrar<TLabel> labelReg("TLabel", "TGraphicControl", [](auto& p) {
    p.String(
        "Caption", [](const TLabel& l) { return l.Caption(); },
        [](TLabel& l, const std::string& v) { l.SetCaption(v); }, "");
    p.Bool("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true);
    p.Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, taLeftJustify,
           {"taLeftJustify", "taRightJustify", "taCenter"});
    p.Enum("Layout", &TLabel::Layout, &TLabel::SetLayout, tlTop, {"tlTop", "tlCenter", "tlBottom"});
    p.Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false);
    p.Bool("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true);
    p.Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false);
    // By name: the control is another component of the form.
    p.Component("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl,
                "a windowed control");
    p.Bool(
        "Visible", [](const TLabel& l) { return l.Visible(); },
        [](TLabel& l, bool v) { l.SetVisible(v); }, true);
    p.Bool(
        "Enabled", [](const TLabel& l) { return l.Enabled(); },
        [](TLabel& l, bool v) { l.SetEnabled(v); }, true);
    p.Object("Font", [](TLabel& l) -> TPersistent* { return &l.Font(); });
});
} // namespace

} // namespace kel
