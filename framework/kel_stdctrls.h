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
// Index: clipboard messages; TCustomEdit; TEdit; text-drawing flags; TCustomLabel; TLabel.
#pragma once

#include "kel_controls.h"
#include "kel_timer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kel {

// The platform's clipboard messages of edit controls.
enum : std::uint32_t {
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
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
    bool Ctl3D() const { return FCtl3D; } // default true
    void SetCtl3D(bool Value);

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
    // Sets the height from the font when AutoSize.
    void AdjustHeight();

  private:
    void TextChanged();
    void RebuildBounds();
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
    // The flags Paint and AdjustBounds pass to DoDrawText.
    unsigned DrawTextFlags() const;

  private:
    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    bool FTransparent = false;
};

// ---- TLabel -----------------------------------------------------------------------------------

// The label forms create; its published properties are registered in kel_stdctrls.cpp.
class TLabel : public TCustomLabel {
  public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
    std::string ClassName() const override { return "TLabel"; }
};

} // namespace kel
