// TNumIO2: a custom-drawn numeric entry field. A text box in which the user types a number of
// one TInFormat, with optional texts to its left and right, optional up/down spin buttons beside
// the box and an optional gauge under it that shows (and, dragged, sets) the value's place
// between RangeLow and RangeHigh. It keeps its own text buffer, caret and selection, handles the
// keys itself, blinks its caret with a 500 ms timer on a hidden message window and draws into an
// off-screen bitmap. Values outside the range are accepted and shown in the warning colours.
// A change of a property, a key or a caret tick invalidates the control; the paint follows
// once, when the message loop is idle or on Update(). OnChange fires at once.
// Include KEL_NumIO.h.
//
// Value and the input formats:
//  * itExp, itFloat, itFixPoint read the buffer with ScanNumber (exponent allowed, "." or ",");
//    itInt reads a valid decimal integer (beyond 32 bits: the nearer 32-bit end); itDynamic
//    reads "$" hex, "%" binary, "&" octal or else a decimal number.
//  * itHex, itOct, itBin (and the dynamic prefixes) check the text with the digit checks and
//    read it with the digit scanners as an unsigned 32-bit pattern; Value is that pattern as a
//    32-bit signed integer ("FFFFFFFF" reads -1). Digits whose value needs more than 32 bits are
//    refused, so the text shown and Value always agree. Writing Value formats the rounded value
//    with the digit formatters (8 hex, 11 octal, 32 binary digits).
//  * Writing Value formats: itExp scientific with SignificantDigits digits (with three
//    exponent digits when two cannot hold the value, so the text stays editable), itFloat and
//    itFixPoint FixPointDecPlaces decimals, itInt and itDynamic the rounded integer. The decimal
//    separator written is "," when DecPlaceSep accepts only the comma (dpsComma, or dpsSystem
//    with a "," platform separator), else ".", so the text it writes can be edited further.
//
// Keys (handled in CNKeyDown; OnKeyDown and OnKeyPress fire afterwards as usual): digits, A-F,
// numeric pad, "+", "-", ",", "." (Shift+4/5/6 give "$", "%", "&"), Backspace, Delete, Home,
// End, arrows, Tab (next control), Ctrl+C/X/V; Enter and Esc go to the form as dialog keys
// (default and cancel buttons), any other key beeps when Beep is set. After every key the buffer
// must be empty, a lone sign, a lone dynamic prefix, or pass CheckValidity; otherwise buffer, caret
// and selection come back and the control beeps (MessageBeep 0xFFFF) when Beep is set. A paste is
// checked the same way. In itFixPoint a caret among the decimals selects the next decimal, so
// digits type over.
//
// Typing over a selection puts the typed character in its place (selecting "123" and typing 7
// gives "7"); only deleting a whole buffer (Backspace, Delete, Ctrl+X) writes the formatted
// zero. In itFixPoint a typed number short of its decimals is completed with the separator
// and zeros ("7" gives "7.00", caret behind the 7), so an empty or fully selected buffer takes
// digits. The keypad's decimal key types "," unless only the point is accepted, then ".".
//
// Mouse: a press in the text box places the caret, a drag selects; a click focuses the control.
// A press on the spin buttons steps the value (ButIncrem, or between ButtonPivots) and fires
// OnChange. A press in the gauge sets the value; dragging on fires OnGaugeChange for every move
// (clamped to the range however far the pointer goes) and OnChange once on release.
#pragma once

#include "numio_format.h"
#include "Kel_kelbase.h"
#include "kel_controls.h"
#include "kel_timer.h"

#include <functional>
#include <string>
#include <vector>

namespace kel {

// Fired for every gauge drag move with the value the gauge was set to.
using TOnGaugeChangeEvent =
    std::function<void(TObject* Sender, TShiftState Shift, double GaugeValue)>;

class TNumIO2 : public TCustomControl {
  public:
    // 160 x 28 pixels with the defaults listed below; creates the hidden caret-timer window and
    // starts the caret timer. Raises EKELNumIO2Error "Component "<Name>": no timer available"
    // when the platform refuses the timer.
    explicit TNumIO2(TComponent* AOwner);
    // Stops the caret timer and frees its window.
    ~TNumIO2() override;
    std::string ClassName() const override { return "TNumIO2"; }

    // From another TNumIO2: layout, texts, colours, format, buffer, caret, selection, range and
    // flags (not the spin buttons, the gauge, the events or the timer window); then applies
    // AutoSize and invalidates. Any other source goes to the framework.
    void Assign(const TPersistent* Source) override;

    // --- operations ---
    // Is Instring acceptable as a whole for the current InputFormat?
    bool CheckValidity(const std::string& Instring) const;
    // Value < RangeLow, or not Value <= RangeHigh (a NaN is out of range).
    bool OutOfRange() const;
    // The framework's SetFocus, then (unless ReadOnly) restarts the caret timer.
    void SetFocus() override;
    // Fires OnChange. (A published operation of this control; its setters repaint through
    // Invalidate directly.)
    void Changed();
    // Value rounded; EKELNumIO2Error "Component "<Name>": integer overflow" outside 32 bits.
    int IntegerValue() const;
    // Where the mouse last moved: 0 left text, 1 text box, 2 right of the box.
    int MouseAreaCode() const { return FMouseAreaCode; }
    // Selection as character positions (selected when SelBegin < SelEnd). The setters clamp to
    // 0..Length, move the caret there and invalidate.
    int SelBegin() const { return FSelBegin; }
    void SetSelBegin(int Value);
    int SelEnd() const { return FSelEnd; }
    void SetSelEnd(int Value);
    // Caret position (characters left of the caret) and blink phase, for callers that draw
    // around the control.
    int CaretPos() const { return FCaretPos; }
    bool CaretVisible() const { return FCaretVisib; }
    // Position of character Pos as an x coordinate, and the character position nearest to X.
    int CharPosToXCoords(int Pos);
    int XCoordsToCharPos(int X);

    // When not empty (ascending values), the spin buttons step between these values and the
    // gauge snaps to the nearest one.
    std::vector<double> ButtonPivots;

    // --- published properties [defaults] ---
    // Format of the number [itFloat]; a new format keeps the value (read, store, write back).
    TInFormat InputFormat() const { return FInFormat; }
    void SetInputFormat(TInFormat Value);
    // The number in the buffer (see the file comment) [0]. Writing formats it into the buffer
    // without range check or OnChange; caret and selection stay (clamped to the new text).
    double Value() const;
    void SetValue(double Value);
    // The buffer. A text that is neither empty nor valid for the format is ignored; caret and
    // selection go to 0.
    const std::string& Text() const { return FInBuffer; }
    void SetText(const std::string& Value);
    // Accepted decimal separator [dpsPointOrComma]; a new one other than dpsPointOrComma
    // converts the separators already in the buffer.
    TDecPSep DecPlaceSep() const { return FDecPSep; }
    void SetDecPlaceSep(TDecPSep Value);
    // Decimals of itFloat and itFixPoint [2]; <= 0 ignored, above 15 becomes 15; reformats.
    int FixPointDecPlaces() const { return FFixPDecPl; }
    void SetFixPointDecPlaces(int Value);
    // Digits of itExp [6]; <= 0 ignored, above 15 becomes 15; reformats.
    int SignificantDigits() const { return FSignifDig; }
    void SetSignificantDigits(int Value);
    // Range of the gauge and the warning colours [0, 1000]. A low above the high moves the
    // high with it (and the other way round): RangeLow := 2000 with RangeHigh 1000 gives
    // 2000..2000.
    double RangeLow() const { return FRangeLow; }
    void SetRangeLow(double Value);
    double RangeHigh() const { return FRangeHigh; }
    void SetRangeHigh(double Value);
    const std::string& LeftText() const { return FLeftText; } // [""]
    void SetLeftText(const std::string& Value);
    const std::string& RightText() const { return FRightText; } // [""]
    void SetRightText(const std::string& Value);
    TAlignment LeftTextAlignment() const { return FLTAlign; } // [taRightJustify]
    void SetLeftTextAlignment(TAlignment Value);
    TAlignment RightTextAlignment() const { return FRTAlign; } // [taLeftJustify]
    void SetRightTextAlignment(TAlignment Value);
    TAlignment Alignment() const { return FAlignment; } // the number in the box [taCenter]
    void SetAlignment(TAlignment Value);
    // x of the text box [35]; negative ignored, above Width becomes Width.
    int LeftSpace() const { return FLeftSpace; }
    void SetLeftSpace(int Value);
    int TextBoxWidth() const { return FTextBoxWidth; } // [80]
    void SetTextBoxWidth(int Value);
    // Frame of the text box by ordinal: 0 none, 1 thin, 2 sunken, 3 raised, 4 grey, 5 white
    // [fstLowered].
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    bool ButVisible() const { return FButVisible; } // spin buttons shown [false]
    void SetButVisible(bool Value);
    bool But3D() const { return FBut3D; } // [true]
    void SetBut3D(bool Value);
    int ButWidth() const { return FButWidth; } // clamped to 8..50 [18]
    void SetButWidth(int Value);
    int ButHeight() const { return FButHeight; } // clamped to 18..Height [28]
    void SetButHeight(int Value);
    int ButSpace() const { return FButSpace; } // gap box to buttons, 0..50 [3]
    void SetButSpace(int Value);
    TColor ButColor() const { return FButColor; } // [clSilver]
    void SetButColor(TColor Value);
    double ButIncrem() const { return FButIncrem; } // step without pivots [1]
    void SetButIncrem(double Value);
    bool GaugeVisible() const { return FGaugeVisible; } // [false]
    void SetGaugeVisible(bool Value);
    // [8]; at most Height - GaugeTopMargin - 18, at least 3.
    int GaugeHeight() const { return FGaugeHeight; }
    void SetGaugeHeight(int Value);
    // [82]; at least 10, at most Width - GaugeLeftMargin.
    int GaugeWidth() const { return FGaugeWidth; }
    void SetGaugeWidth(int Value);
    // [35]; 0..Width - GaugeWidth.
    int GaugeLeftMargin() const { return FGaugeLeftMargin; }
    void SetGaugeLeftMargin(int Value);
    // Gap above the gauge [3]; 0..Height - GaugeHeight - 18. The gauge sits at the bottom edge.
    int GaugeTopMargin() const { return FGaugeTopMargin; }
    void SetGaugeTopMargin(int Value);
    TColor GaugeColor() const { return FGaugeColor; } // the bar [clNavy]
    void SetGaugeColor(TColor Value);
    TColor GaugeColorBg() const { return FGaugeColorBg; } // [clSilver]
    void SetGaugeColorBg(TColor Value);
    TColor GaugeColorFrame() const { return FGaugeColorFrame; } // [clGray]
    void SetGaugeColorFrame(TColor Value);
    TFrameStyle GaugeFrameStyle() const { return FGaugeFrameStyle; } // [fstLowered]
    void SetGaugeFrameStyle(TFrameStyle Value);
    TColor ColorBoxBG() const { return FColorBoxBG; } // [clWhite]
    void SetColorBoxBG(TColor Value);
    TColor ColorBoxText() const { return FColorBoxText; } // [clBlack]
    void SetColorBoxText(TColor Value);
    TColor ColorOutBG() const { return FColorOutBG; } // round the box [clBtnFace]
    void SetColorOutBG(TColor Value);
    TColor ColorOutText() const { return FColorOutText; } // side texts [clBlack]
    void SetColorOutText(TColor Value);
    TColor ColorWarnBG() const { return FColorWarnBG; } // box out of range [0x6088FFF0]
    void SetColorWarnBG(TColor Value);
    TColor ColorWarnText() const { return FColorWarnText; } // number out of range [clRed]
    void SetColorWarnText(TColor Value);
    TColorScheme ColorScheme() const { return FColorScheme; } // frame lines [cschClassic]
    void SetColorScheme(TColorScheme Value);
    bool HideSelection() const { return FHideSelection; } // hide it when unfocused [true]
    void SetHideSelection(bool Value);
    // [false]; true stops the caret timer and hides the caret, false restarts the timer.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // [false]; the height follows the font (text height of "E0" + 6): set at once, after
    // every font change (its own or its parent's), on every SetBounds and after loading.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool Beep() const { return FBeep; } // beep on refused keys [false]
    void SetBeep(bool Value);
    // Stores, passes to the framework, invalidates.
    void SetEnabled(bool Value) override;
    // Height below 18 becomes 18; a ButHeight above the new height is lowered to it.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }
    TOnGaugeChangeEvent OnGaugeChange() const { return FOnGaugeChange; }
    void SetOnGaugeChange(TOnGaugeChangeEvent e) { FOnGaugeChange = std::move(e); }

  protected:
    void AssignTo(TPersistent* Dest) const override;
    void Loaded() override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
    void CNKeyDown(TMessage& Message) override;
    void CNKeyUp(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;

  private:
    static constexpr std::uint32_t CaretBlinkMs = 500;
    void CaretTick();
    void RestartCaretTimer();
    int AutoHeight();    // text height of "E0" + 6
    void AdjustHeight(); // applies AutoSize (not while loading)
    void HandleKey(std::uint16_t Key, TShiftState Shift);
    void RemoveSelection();
    void DeleteSelection();
    void CompleteFixPoint();
    void InsertText(const std::string& S);
    bool AcceptableWhileTyping(const std::string& S) const;
    void SetGaugeValue(int X);
    void SpinStep(int Y);
    int GaugeBand() const; // G: height taken by the gauge and its gap (0 when hidden)
    char OutputSeparator() const;
    void DoBeep() const;
    void PaintSideText(TCanvas& C, const std::string& Text, int X, int Y0);
    void PaintButtons(TCanvas& C, int X0);
    void PaintGauge(TCanvas& C, int H);
    void PaintBox(TCanvas& C, int H, int G, int S, int Y0);

    std::string FInBuffer;
    int FCaretPos = 0;
    int FSelBegin = 0;
    int FSelEnd = 0;
    bool FCaretVisib = true;
    TMessageTimer FCaretTimer{[this] { CaretTick(); }};
    bool FValueChanged = false;
    bool FGaugeDragging = false;
    bool FKeyShifted = false;
    bool FKeyCntrl = false;
    bool FOnlineCheck = true;
    int FMouseAreaCode = 0;
    TColor FColBlackLine = clBlack;
    TColor FColGrayLine = clGray;
    TColor FColWhiteLine = clWhite;

    TInFormat FInFormat = itFloat;
    TDecPSep FDecPSep = dpsPointOrComma;
    int FFixPDecPl = 2;
    int FSignifDig = 6;
    double FRangeLow = 0;
    double FRangeHigh = 1000;
    std::string FLeftText, FRightText;
    TAlignment FLTAlign = taRightJustify;
    TAlignment FRTAlign = taLeftJustify;
    TAlignment FAlignment = taCenter;
    int FLeftSpace = 35;
    int FTextBoxWidth = 80;
    TFrameStyle FFrameStyle = fstLowered;
    bool FButVisible = false;
    bool FBut3D = true;
    int FButWidth = 18;
    int FButHeight = 28;
    int FButSpace = 3;
    TColor FButColor = clSilver;
    double FButIncrem = 1.0;
    bool FGaugeVisible = false;
    int FGaugeHeight = 8;
    int FGaugeWidth = 82;
    int FGaugeLeftMargin = 35;
    int FGaugeTopMargin = 3;
    TColor FGaugeColor = clNavy;
    TColor FGaugeColorBg = clSilver;
    TColor FGaugeColorFrame = clGray;
    TFrameStyle FGaugeFrameStyle = fstLowered;
    TColor FColorBoxBG = clWhite;
    TColor FColorBoxText = clBlack;
    TColor FColorOutBG = clBtnFace;
    TColor FColorOutText = clBlack;
    TColor FColorWarnBG = 0x6088FFF0;
    TColor FColorWarnText = clRed;
    TColorScheme FColorScheme = cschClassic;
    bool FHideSelection = true;
    bool FReadOnly = false;
    bool FAutoSize = false;
    bool FBeep = false;
    TNotifyEvent FOnChange;
    TOnGaugeChangeEvent FOnGaugeChange;
};

} // namespace kel
