// TNumLab: a windowless label that shows one number in a framed box, with an optional text to
// the left of the box (LeftText) and one to the right (RightText). The number is formatted by
// DisplayType and Precision, may get a forced plus sign and a forced decimal separator, can be
// rewritten by the application in OnBeforeDisplay, and is replaced by OverflowIndicator when it
// does not fit the box. The control draws into an off-screen bitmap and copies it to its canvas,
// opaquely or, when Transparent, ANDed onto what lies beneath.
//
// Value texts (P = Precision, V = Value):
//   dtFloat      general form with P significant digits ("%.*g")
//   dtFixP       fixed notation with P fraction digits ("%.*f")
//   dtExp        scientific with P digits in all and a three-digit exponent (1.23E+003)
//   dtInt        V rounded to the nearest integer, ties to even (2.5 -> 2, 3.5 -> 4)
//   dtZeroInt    V rounded as dtInt, at least P digits with leading zeros after the sign
//   dtHex, dtOct, dtBin  the digits of V rounded (as dtInt) to a 32-bit two's complement
//                pattern, upper case, at least P digits with leading zeros (-1 -> FFFFFFFF)
//   dtDateTime   V as a date-time through FormatDateTime(DTFormat); a V outside the calendar
//                shows OverflowIndicator
//   dtState      StateText read as names separated by "|", the entry chosen by V rounded and
//                counted from 0; the whole StateText when V lies outside the list. Never
//                replaced by the overflow indicator.
//   dtDeg        degrees with P decimals and a degree sign: 12.50°
//   dtDegMin     whole degrees, minutes (two integer digits) with P decimals and a prime:
//                12°30.00′ (U+2032)
//   dtDegMinSec  whole degrees, whole minutes, seconds with P decimals and a double prime:
//                12°30′05.00″ (U+2033); a negative angle gets one "-" in front, and a part
//                that rounds up to 60 carries into the next larger unit
//   dtEEng       engineering notation: a mantissa from 1 to below 1000 with P significant
//                digits (at least 1) and an exponent that is a multiple of three, "12.3E+03"
//   dtEEngNoDP   the same with the mantissa rounded to a whole number: "12E+03"
// Integer types show "NAN", "INF" or "-INF" for values that are not finite and saturate at the
// 64-bit range. Every type except dtHex, dtDateTime, dtState and dtBin then gets its decimal
// separator fixed (Comma true: every "." becomes ","; false: every "," becomes ".") and, with
// ForcePlusSign and V > 0, a leading "+".
//
// Looks: the framework here has no visual styles, so the classic colours are always used.
// The label box is filled with ColorLabBakG and then framed by DrawFrame with FrameStyle.
#pragma once

#include "Kel_kelbase.h"
#include "kel_controls.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kel {

enum TDisplay : std::uint8_t {
    dtFloat,
    dtFixP,
    dtExp,
    dtHex,
    dtZeroInt,
    dtInt,
    dtDateTime,
    dtState,
    dtBin,
    dtOct,
    dtDeg,
    dtDegMin,
    dtDegMinSec,
    dtEEng,
    dtEEngNoDP
};

// Text may be changed by the handler; the label shows the changed text.
using TBeforeDisplayEvent = std::function<void(TObject* Sender, std::string& Text)>;

// The value text of steps "format" and "separator and sign" (without OnBeforeDisplay and the
// overflow check), as a pure function of the settings.
std::string NumLabValueText(TDisplay DisplayType, int Precision, double Value, bool Comma,
                            bool ForcePlusSign, const std::string& DTFormat,
                            const std::string& StateText);

class TNumLab : public TGraphicControl {
  public:
    // Created 160 x 28 pixels with the defaults listed below.
    explicit TNumLab(TComponent* AOwner);
    std::string ClassName() const override { return "TNumLab"; }

    // Copies the label's settings from another TNumLab (not Comma, ForcePlusSign, DTFormat,
    // Enabled, Font) and invalidates; anything else goes to the framework.
    void Assign(const TPersistent* Source) override;

    // --- published properties (defaults in brackets) ---
    TAlignment Alignment() const { return FAlignment; } // value in the box [taCenter]
    void SetAlignment(TAlignment Value);
    TColor ColorLabBakG() const { return FColorLabBakG; } // box background [clBtnFace]
    void SetColorLabBakG(TColor Value);
    TColor ColorLabText() const { return FColorLabText; } // value colour [clBlack]
    void SetColorLabText(TColor Value);
    TColor ColorOutBakG() const { return FColorOutBakG; } // background outside the box [clBtnFace]
    void SetColorOutBakG(TColor Value);
    TColor ColorOutText() const { return FColorOutText; } // side texts [clBlack]
    void SetColorOutText(TColor Value);
    TColorScheme ColorScheme() const { return FColorScheme; } // frame line colours [cschClassic]
    void SetColorScheme(TColorScheme Value);
    bool Comma() const { return FComma; } // decimal comma instead of point [false]
    void SetComma(bool Value);
    TDisplay DisplayType() const { return FDisplayType; } // [dtFixP]
    void SetDisplayType(TDisplay Value);
    const std::string& DTFormat() const { return FDtFormat; } // dtDateTime ["mmm-dd, yyyy"]
    void SetDTFormat(const std::string& Value);
    bool Empty() const { return FEmpty; } // box without value [false]
    void SetEmpty(bool Value);
    bool Enabled() const { return FEnabled; } // false: engraved side texts, grey value [true]
    void SetEnabled(bool Value) override;
    bool ForcePlusSign() const { return FPlusSign; } // "+" before positive values [false]
    void SetForcePlusSign(bool Value);
    TFrameStyle FrameStyle() const { return FFrameStyle; } // box frame [fstLowered]
    void SetFrameStyle(TFrameStyle Value);
    int LabelWidth() const { return FLabWidth; } // box width in pixels [80]
    void SetLabelWidth(int Value);
    // Pixels left of the box [35]; negative values are ignored, larger than Width become Width.
    int LeftSpace() const { return FLeftSpace; }
    void SetLeftSpace(int Value);
    const std::string& LeftText() const { return FLeftText; } // [""]
    void SetLeftText(const std::string& Value);
    TAlignment LeftTextAlignment() const { return FLTAlignment; } // [taRightJustify]
    void SetLeftTextAlignment(TAlignment Value);
    const std::string& OverflowIndicator() const { return FOverFlowIndi; } // ["*********"]
    void SetOverflowIndicator(const std::string& Value);
    // Digits (see the header comment) [2]; negative values are ignored, above 15 become 15.
    int Precision() const { return FDecP; }
    void SetPrecision(int Value);
    const std::string& RightText() const { return FRightText; } // [""]
    void SetRightText(const std::string& Value);
    TAlignment RightTextAlignment() const { return FRTAlignment; } // [taLeftJustify]
    void SetRightTextAlignment(TAlignment Value);
    const std::string& StateText() const { return FStateText; } // dtState names ["undefined"]
    void SetStateText(const std::string& Value);
    // ANDed onto what lies beneath instead of covering it [false].
    bool Transparent() const { return FTransParent; }
    void SetTransparent(bool Value);
    double Value() const { return FLabValue; } // [0]
    void SetValue(double Value);
    // Asked for the box text by the setter that changes it (Value, DisplayType, Precision,
    // Comma, ForcePlusSign, DTFormat, StateText, Empty, Assign), once per change, while the
    // label is visible and not Empty; the paint shows the text it returned. A new handler (or a
    // label that was hidden) is asked by the next paint.
    TBeforeDisplayEvent OnBeforeDisplay() const { return FOnBeforeDisplay; }
    void SetOnBeforeDisplay(TBeforeDisplayEvent Handler);

    // Where the pointer was at the last mouse move: 0 over the left text (x <= LeftSpace), 1
    // over the box (up to LeftSpace + LabelWidth), 2 over the right text. 0 at creation.
    int MouseAreaCode() const { return FMouseAreaCode; }

    // The text the box would show now: the value text, changed by OnBeforeDisplay (which this
    // runs), replaced by OverflowIndicator when wider than LabelWidth - 6 pixels in Font.
    // Empty (and no OnBeforeDisplay) when Empty is true.
    std::string DisplayedText();

  protected:
    void AssignTo(TPersistent* Dest) const override;
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

  private:
    // Invalidates: one deferred paint, which for a transparent label first draws again what
    // lies beneath (ANDing onto the old picture would keep texts that changed).
    void Changed();
    // Changed, then the box text worked out and OnBeforeDisplay asked at once.
    void TextChanged();
    // The value text, changed by OnBeforeDisplay (which this runs).
    std::string BoxValueText();
    // Text, or OverflowIndicator when it is wider than the box allows in Canvas's font.
    std::string FitBox(TCanvas& Canvas, std::string Text) const;

    std::string FBoxText;      // the value text after OnBeforeDisplay
    bool FBoxTextStale = true; // OnBeforeDisplay still owed for the present state
    int FLeftSpace = 35;
    bool FEmpty = false;
    int FLabWidth = 80;
    int FDecP = 2;
    bool FComma = false;
    bool FPlusSign = false;
    bool FTransParent = false;
    std::string FLeftText;
    std::string FRightText;
    TFrameStyle FFrameStyle = fstLowered;
    std::string FStateText = "undefined";
    TAlignment FAlignment = taCenter;
    TAlignment FLTAlignment = taRightJustify;
    TAlignment FRTAlignment = taLeftJustify;
    std::string FOverFlowIndi = "*********";
    double FLabValue = 0;
    bool FEnabled = true;
    TColor FColorLabBakG = clBtnFace;
    TColor FColorLabText = clBlack;
    TColor FColorOutBakG = clBtnFace;
    TColor FColorOutText = clBlack;
    TColor FColGrayLine = clGray;
    TColor FColWhiteLine = clWhite;
    TColorScheme FColorScheme = cschClassic;
    TDisplay FDisplayType = dtFixP;
    std::string FDtFormat = "mmm-dd, yyyy";
    TBeforeDisplayEvent FOnBeforeDisplay;
    int FMouseAreaCode = 0;
};

} // namespace kel
