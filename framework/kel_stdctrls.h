// Standard controls of the platform layer: the single-line edit box (TCustomEdit, the base the
// numeric edit box and the grid's in-place editor derive from, and TEdit, which forms create),
// and the label (TCustomLabel, TLabel).
//
// The edit box keeps its text in the control's Text (UTF-8). Positions (SelStart, SelLength,
// MaxLength) count characters, i.e. code points, so the caret never lies inside a UTF-8
// sequence; a malformed byte counts as one character. Keys take the platform's path: the key
// goes through KeyDown/KeyPress (and their events) first, and what is left of it reaches the
// box's own editing (EditKeyDown, EditChar). Cut, copy, paste and clear are sent as the
// messages WM_CUT, WM_COPY, WM_PASTE and WM_CLEAR, so a descendant's WndProc can take them over.
// Every change of the text, typed or assigned, ends in the virtual Change, which fires OnChange.
//
// The label (TCustomLabel, TLabel) draws its caption with DrawText-like flags through the
// virtual DoDrawText, which descendants replace (a rotated label, say).
//
// The memo (TCustomMemo, TMemo) is the multi-line edit box, in memo.cpp.
//
// Index: clipboard messages; TCustomEdit; TEdit; text-drawing flags; TCustomLabel; TLabel;
// TCustomMemo; TMemo.
#pragma once

#include "kel_controls.h"
#include "kel_timer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kel {

namespace detail {
class TScrollBar; // detail/scrollbar.h: the bars the memo draws
}

// The platform's clipboard messages of edit controls.
enum : std::uint32_t {
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
    WM_UNDO = 0x0304,
};

// ---- TEditUndo --------------------------------------------------------------------------------

// The one undo step of the edit box and the memo: the text before the user's last change and
// the selection (character indexes) to restore. A run of typed characters is one step; any
// other change, or a caret move (EndRun), starts a new one. Undoing swaps, so a second undo
// redoes.
class TEditUndo {
  public:
    bool CanUndo() const { return FCan; }
    void Clear() {
        FCan = false;
        FText.clear();
        FRunEnd = -1;
    }
    void EndRun() { FRunEnd = -1; }
    // Called before a user change replaces characters [From, To) of Current by Inserted
    // characters (Typing: one typed character).
    void Record(const std::string& Current, int From, int To, bool Typing, int Inserted) {
        bool continues = Typing && From == To && FRunEnd == From && FCan;
        if (!continues) {
            FText = Current;
            FStart = From;
            FLength = To - From;
            FCan = true;
        }
        FRunEnd = Typing ? From + Inserted : -1;
    }
    // The text to put back in place of Current, whose selection is (SelStart, SelLength); on
    // return SelStart and SelLength are the selection to show. Keeps Current for the redo.
    std::string Swap(const std::string& Current, int& SelStart, int& SelLength) {
        std::string back = std::move(FText);
        FText = Current;
        std::swap(FStart, SelStart);
        std::swap(FLength, SelLength);
        FRunEnd = -1;
        return back;
    }

  private:
    bool FCan = false;
    std::string FText;
    int FStart = 0, FLength = 0;
    int FRunEnd = -1;
};

// ---- TCustomEdit ------------------------------------------------------------------------------

// A single-line edit box: a text with a caret and a selection, edited by keyboard and mouse,
// with the clipboard, a blinking caret, horizontal scrolling of long text, a sunken frame and a
// disabled look. Windowed, TabStop true, Color clWindow, cursor crIBeam.
class TCustomEdit : public TWinControl {
  public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;
    std::string ClassName() const override { return "TCustomEdit"; }

    // Text and SetText are the control's: assigning a different text puts the caret at 0 with
    // nothing selected, clears Modified and runs Change; assigning the same text does nothing.

    // --- caret and selection (characters, 0-based) ---
    // Start of the selection, or the caret when nothing is selected. Setting it moves the caret
    // there (clamped to 0..length) and empties the selection.
    int SelStart() const;
    void SetSelStart(int Value);
    // Characters selected. Setting it selects from SelStart (clamped to the text's end).
    int SelLength() const;
    void SetSelLength(int Value);
    // The selected text. Setting it replaces the selection (or inserts at the caret) and
    // leaves the caret after the new text; a change even when ReadOnly, never cut by MaxLength.
    std::string SelText() const;
    void SetSelText(const std::string& Value);
    // The caret, the end of the selection that moves (characters).
    int CaretPos() const { return FCaret; }
    // Selects SelStart .. SelStart + SelLength with the caret at the end (characters, clamped).
    void SetSelection(int AStart, int ALength);
    void SelectAll();
    // Deletes the selected text (sends WM_CLEAR; nothing when ReadOnly).
    void ClearSelection();
    // Empties the text (a programmatic change).
    void Clear() { SetText(std::string()); }
    // Clipboard: sends WM_CUT, WM_COPY, WM_PASTE. Cut and paste do nothing when ReadOnly.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    // Undo: the box keeps the text before the user's last change (a run of typed characters
    // is one change). Undo (sends WM_UNDO; nothing when ReadOnly or nothing to undo) puts it
    // back and keeps what it replaced, so a second Undo redoes. Ctrl+Z and Alt+Backspace undo.
    // Text assigned in code clears it.
    void Undo() { Perform(WM_UNDO); }
    bool CanUndo() const { return FUndo.CanUndo(); }
    void ClearUndo() { FUndo.Clear(); }
    // Shown in place of every character when not 0 (the text is kept); copying and cutting
    // are then refused. Default 0.
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    // Number of characters (code points) in Text.
    int TextLength() const { return int(FBounds.size()) - 1; }

    // --- behaviour ---
    // The user may select and copy but not change the text; code may. Default false.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Most characters the user may type or paste; 0 = unlimited (default). Text assigned in
    // code is never cut.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Entering the box by keyboard (not by a click) selects all its text. Default true.
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    // The height follows the font (text height plus frame and margins). Default true.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Hide the selection while the box has no focus. Default true.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Set by every change the user makes, cleared by assigning Text; code may set it.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // --- looks ---
    // bsSingle (default): a frame, sunken (2 pixels) with Ctl3D, a 1-pixel line without;
    // bsNone: no frame.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Ctl3D() const override { return FCtl3D; } // default true
    void SetCtl3D(bool Value) override;

    // --- geometry (client coordinates; for painting, hit tests and tests) ---
    // Width of the frame in pixels (0, 1 or 2).
    int BorderWidth() const;
    // The area the text is drawn in and clipped to (descendants with a button narrow it).
    virtual TRect TextArea() const;
    // Client X of the caret position before character Index (scrolling applied).
    int CharToX(int Index) const;
    // The character boundary nearest to client X (clamped to 0..TextLength).
    int CharIndexAt(int X) const;
    // Pixels of the text scrolled out at the left.
    int ScrollOffset() const { return FScrollX; }
    // The caret is drawn now: the box has the focus and the blink is in its visible phase.
    bool CaretShown() const { return FFocused && FCaretOn && FSelAnchor == FCaret; }
    // Half period of the caret blink in milliseconds.
    static constexpr int CaretBlinkMs = 500;

    // --- events ---
    // After every change of the text (typed or assigned), with Text already new.
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

  protected:
    // Runs after every change of the text; fires OnChange.
    virtual void Change();
    // The box's own handling of a key down that KeyDown left non-zero: caret movement,
    // selection with Shift, Delete, Shift+Delete (cut), Ctrl+Insert (copy), Shift+Insert
    // (paste). Ctrl with Left/Right moves by words.
    virtual void EditKeyDown(std::uint16_t Key, TShiftState Shift);
    // The box's own handling of a character that KeyPress left non-zero: printable characters
    // replace the selection, Backspace deletes, Ctrl+A/C/X/V select all, copy, cut, paste.
    virtual void EditChar(char32_t Ch);
    // Replaces the selection by S as the user does: refused when ReadOnly, cut to MaxLength;
    // true when the text changed.
    bool UserReplaceSelection(const std::string& S);

    void WndProc(TMessage& Message) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void DoExit() override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void SizeChanged() override;
    // The clipboard messages (WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR).
    virtual void WMCut(TMessage& Message);
    virtual void WMCopy(TMessage& Message);
    virtual void WMPaste(TMessage& Message);
    virtual void WMClear(TMessage& Message);
    virtual void WMUndo(TMessage& Message);
    // Sets the height from the font when AutoSize.
    void AdjustHeight();

  private:
    void TextChanged();
    void RebuildBounds();
    // The text as shown: Text, or PasswordChar once per character.
    std::string DisplayText() const;
    void EnsureMeasured() const;
    int ByteOf(int Index) const { return FBounds[std::size_t(Index)]; }
    int WordStart(int Index) const;
    int WordEnd(int Index) const;
    int CharClass(int Index) const;
    // Replaces characters [From, To) by S, the caret after it; a change of the text.
    void ReplaceRange(int From, int To, const std::string& S);
    void MoveCaret(int Index, bool Extend);
    void MakeCaretVisible();
    void RestartBlink();
    void StopBlink();
    void BlinkTick();

    std::vector<int> FBounds{0};     // byte offset of each character start, then the end
    mutable std::vector<int> FCharX; // pixel offset of each boundary from the text's start
    mutable bool FMeasured = false;
    int FCaret = 0;     // caret (characters)
    int FSelAnchor = 0; // the fixed end of the selection
    int FScrollX = 0;
    bool FReadOnly = false;
    int FMaxLength = 0;
    bool FAutoSelect = true;
    bool FAutoSize = true;
    bool FHideSelection = true;
    bool FModified = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FCtl3D = true;
    bool FInternalText = false; // the text is being set by the box's own editing
    bool FFocused = false;
    bool FCaretOn = false;
    bool FMouseSelecting = false;
    bool FClickFocusing = false; // the focus arrives through a click (no AutoSelect)
    TMessageTimer FBlinkTimer{[this] { BlinkTick(); }}; // the caret blink
    char32_t FPasswordChar = 0;
    TEditUndo FUndo;
    bool FTypingChar = false; // UserReplaceSelection is typing one character
    TNotifyEvent FOnChange;
};

// ---- TEdit ------------------------------------------------------------------------------------

// The edit box forms create; its published properties are registered in kel_stdctrls.cpp.
class TEdit : public TCustomEdit {
  public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
    std::string ClassName() const override { return "TEdit"; }
};

// ---- Text-drawing flags ------------------------------------------------------------------------

// The platform's DrawText flags that DoDrawText understands.
enum : unsigned {
    DT_TOP = 0x0000,
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
};

// Vertical place of a label's text.
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

// ---- TCustomLabel -----------------------------------------------------------------------------

// A windowless text: Caption drawn in Font on Color (unless Transparent), lines split at line
// breaks and, with WordWrap, at blanks; "&x" underlines x unless ShowAccelChar is false ("&&"
// is "&"). With AutoSize the label takes the size of its text after every change of caption,
// font or wrapping (the top-left stays; a right-aligned label keeps its right edge).
class TCustomLabel : public TGraphicControl {
  public:
    explicit TCustomLabel(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomLabel"; }

    bool AutoSize() const { return FAutoSize; } // default true
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return FAlignment; } // default taLeftJustify
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; } // default tlTop
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; } // default false
    void SetWordWrap(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; } // default true
    void SetShowAccelChar(bool Value);
    bool Transparent() const { return FTransparent; } // default false
    void SetTransparent(bool Value);
    // The control Alt with the caption's accelerator focuses (while ShowAccelChar is on and the
    // label enabled); cleared when that control is freed.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

  protected:
    // Draws Caption into Rect with the DT_* Flags (alignment, word break, prefix, tabs); with
    // DT_CALCRECT it only measures, setting Rect's right and bottom (an empty caption measures
    // as one blank). A disabled label draws its text twice: offset by (1, 1) in
    // clBtnHighlight, then in clBtnShadow.
    virtual void DoDrawText(TRect& Rect, unsigned Flags);
    // Fills the client area with Color unless Transparent, then DoDrawText, moved by Layout.
    void Paint() override;
    // Takes the size of the text when AutoSize.
    virtual void AdjustBounds();
    void WndProc(TMessage& Message) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CMDialogChar(TMessage& Message) override;
    // The flags Paint and AdjustBounds pass to DoDrawText.
    unsigned DrawTextFlags() const;

  private:
    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    bool FTransparent = false;
    TWinControl* FFocusControl = nullptr;
};

// ---- TLabel -----------------------------------------------------------------------------------

// The label forms create; its published properties are registered in kel_stdctrls.cpp.
class TLabel : public TCustomLabel {
  public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
    std::string ClassName() const override { return "TLabel"; }
};

// ---- TCustomMemo ------------------------------------------------------------------------------

// Which scroll bars a control may show (the memo, the grids).
enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line edit box. Lines is the text as a string list (live: changing it changes the
// memo); Text is the lines joined by CR LF (a trailing line break gives an empty last line).
// Positions are (line, character) pairs; SelStart and SelLength count characters over Text,
// a line break counting as two. With WordWrap (default true) long lines break at blanks into
// rows that fit the width (a word longer than the width breaks anywhere); without it the view
// scrolls sideways. The view scrolls by rows to keep the caret visible and with the wheel.
// WantReturns (default true): Enter breaks the line (Ctrl+Enter always does); otherwise Enter
// goes to the form (a default button). WantTabs (default false): Tab inserts a tab; otherwise it
// moves the focus. Every change of the text, typed or by code (Text, Lines, SelText), runs
// Change, which fires OnChange once per change. Windowed, TabStop true, Color clWindow, size
// 185 x 89, a sunken frame.
class TCustomMemo : public TWinControl {
  public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;
    std::string ClassName() const override { return "TCustomMemo"; }

    // The lines; changes made through it (Add, Delete, Strings, Text, ...) reach the memo.
    TStringList& Lines() { return FLines; }
    const TStringList& Lines() const { return FLines; }
    void SetLines(const TStringList& Value) { FLines.Assign(&Value); }

    bool WordWrap() const { return FWordWrap; } // default true
    void SetWordWrap(bool Value);
    bool WantReturns() const { return FWantReturns; } // default true
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool WantTabs() const { return FWantTabs; } // default false
    void SetWantTabs(bool Value) { FWantTabs = Value; }
    bool ReadOnly() const { return FReadOnly; } // default false
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Most characters the user may type or paste (line breaks count two); 0 = unlimited.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value < 0 ? 0 : Value; }
    // The bars the memo shows, always while asked for (a bar with nothing to scroll shows a
    // full-length thumb); the horizontal one only without WordWrap, where lines can be wider
    // than the memo.
    TScrollStyle ScrollBars() const { return FScrollBars; } // default ssNone
    void SetScrollBars(TScrollStyle Value);
    TAlignment Alignment() const { return FAlignment; } // default taLeftJustify
    void SetAlignment(TAlignment Value);
    bool HideSelection() const { return FHideSelection; } // default true
    void SetHideSelection(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // --- caret and selection ---
    // The caret: X = character in the line, Y = line.
    TPoint CaretPos() const { return FCaret; }
    void SetCaretPos(TPoint Value);
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    std::string SelText() const;
    // Replaces the selection (line breaks allowed); a change even when ReadOnly.
    void SetSelText(const std::string& Value);
    void SelectAll();
    void ClearSelection();
    void Clear() { SetText(std::string()); }
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    // Undo as in the edit box (Ctrl+Z, Alt+Backspace; sends WM_UNDO): one step, a run of
    // typing is one step, a second Undo redoes; text or lines changed by code clear it.
    void Undo() { Perform(WM_UNDO); }
    bool CanUndo() const { return FUndo.CanUndo(); }
    void ClearUndo() { FUndo.Clear(); }
    // Text position (line, character) of a linear index over Text, and back.
    TPoint PosFromIndex(int Index) const;
    int IndexFromPos(TPoint Pos) const;

    // --- view ---
    // First row shown (rows are the wrapped pieces of lines), and how many fit.
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    int RowCount() const;
    int VisibleRowCount() const;
    int RowHeight() const;
    // Pixels the rows are scrolled to the left (lines longer than the memo, without WordWrap).
    int ScrollX() const { return FScrollX; }
    // The area rows are drawn in (client coordinates), left of and above the scroll bars.
    TRect TextArea() const;
    // Where the bars lie (client coordinates; empty when not shown).
    TRect VertScrollBarRect() const;
    TRect HorzScrollBarRect() const;
    // Client point of the caret position Pos (top of its row), and the position nearest to a
    // client point.
    TPoint PosToClient(TPoint Pos) const;
    TPoint ClientToPos(int X, int Y) const;
    bool CaretShown() const { return FFocused && FCaretOn && !HasSelection(); }
    static constexpr int CaretBlinkMs = 500;

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

  protected:
    virtual void Change();
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void SizeChanged() override;

  private:
    struct TRow {
        int Line = 0, Start = 0, End = 0; // characters [Start, End) of the line
    };
    bool HasSelection() const { return FCaret != FAnchor; }
    TPoint SelFirst() const;
    TPoint SelLast() const;
    int LineCount() const { return FLines.Count() == 0 ? 1 : FLines.Count(); }
    std::string LineText(int Line) const;
    int LineLength(int Line) const;
    TPoint Clamp(TPoint P) const;
    void LinesChanged();
    void SyncText();
    void Invalidated();
    void EnsureRows() const;
    int RowOf(TPoint P) const;
    int XInRow(const TRow& R, int Col) const;
    int ColAtX(const TRow& R, int X) const;
    // Replaces the text between A and B (positions, A before B) by S; caret after it.
    void Replace(TPoint A, TPoint B, const std::string& S);
    bool UserInsert(const std::string& S);
    void MoveCaret(TPoint P, bool Extend, bool KeepPreferredX = false);
    void MakeCaretVisible();
    void RestartBlink();
    void BlinkTick();
    TPoint WordLeft(TPoint P) const;
    TPoint WordRight(TPoint P) const;
    void DoUndo();
    bool VertBarWanted() const;
    bool HorzBarWanted() const;
    // Gives the bars their places, ranges and positions from the rows as they are now.
    void SyncScrollBars() const;
    void SetScrollX(int Value);

    TStringList FLines;
    TEditUndo FUndo;
    bool FTypingChar = false; // UserInsert is typing one character
    bool FSyncing = false;    // the memo itself is writing Lines or Text
    mutable std::vector<TRow> FRows;
    mutable bool FRowsValid = false;
    TPoint FCaret{0, 0};
    TPoint FAnchor{0, 0};
    int FPreferredX = -1; // Up/Down keep the column in pixels
    int FTopRow = 0;
    int FScrollX = 0;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FReadOnly = false;
    int FMaxLength = 0;
    TScrollStyle FScrollBars = ssNone;
    TAlignment FAlignment = taLeftJustify;
    bool FHideSelection = true;
    bool FModified = false;
    bool FFocused = false;
    bool FCaretOn = false;
    bool FMouseSelecting = false;
    TMessageTimer FBlinkTimer{[this] { BlinkTick(); }};
    TNotifyEvent FOnChange;
    std::unique_ptr<detail::TScrollBar> FVBar, FHBar;
    detail::TScrollBar* FBarMouse = nullptr; // the bar holding the mouse
    mutable int FWidestRow = -1;             // pixels; -1 until measured for the rows
};

// ---- TMemo ------------------------------------------------------------------------------------

// The memo forms create; its published properties are registered in memo.cpp.
class TMemo : public TCustomMemo {
  public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
    std::string ClassName() const override { return "TMemo"; }
};

} // namespace kel
