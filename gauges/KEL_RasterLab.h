// TRasterLab: a dot-matrix label. A windowless, opaque control that draws a text as square dots
// of DotSize pixels, DotSpacing apart, on a raster of "off" dots, using a bitmap character
// matrix: the built-in 7 x 12 one (font name "default") or one scanned from any font. The text
// can be placed anywhere (PosX, PosY), centred automatically, and scrolled by a message timer,
// looping round when it leaves the display.
//
// Geometry: pitch p = DotSize + DotSpacing. The dot cells of a text drawn from (X0, Y0) sit at
// X0 + k*p, Y0 + k*p. A character advances p * (columns + 1): its columns run from LeftMostBit
// to RightMostBit when Proportional, else 0 to FontWidth - 1. The frame takes fw = 1 pixel for
// FrameStyle ordinals 1 to 3, 2 for 4 and 5, none for 0.
//
// Choices made where the behaviour is open:
//   * Scrolling moves the text by ScrollIncrement pixels per tick. rdsmRight: offset x grows;
//     past the width W it restarts at -TextBitLength. rdsmLeft: x shrinks; below
//     -TextBitLength it restarts at W. rdsmDown: offset y grows; past the height H it restarts
//     at -(p * FontHeight). rdsmUp: y shrinks; below -(p * FontHeight) it restarts at H. Each
//     restart calls DoScrLoopRestart (OnScrollLoopRestart). Without ScrollLoop the text leaves
//     for good; the offset then stops growing once it lies 2^30 pixels away.
//   * Text is UTF-8. Code points below 128 and from 160 to 255 use the glyph of that code, the
//     Western European characters of the code page positions 128 to 159 (the euro sign, curly
//     quotes, dashes, ...) use those positions; every other code point, and codes 0 to 31,
//     show as a blank as wide as the space.
//   * A glyph of a scanned font that leaves no pixel gets the extents of the space (the scan
//     would otherwise leave it with LeftMostBit 31 and RightMostBit 0, a negative width).
//   * SetCharMatrix refuses a matrix whose FontWidth or FontHeight lies outside 0..32 or whose
//     extents lie outside 0..31 (EKELRasterLabError), keeping the present one.
//   * ScrollIncrement of the most negative integer is stored as the largest one.
//   * Assign copies FrameStyle, Text, ColorLabBakG, ColorDotOn, the frame line colours and
//     ColorScheme (not the dot geometry or the scrolling), as the component always has.
//
// Index: enumerations, error class; TRDCharMatrix and the built-in table; TRasterLab.
#pragma once

#include "Kel_error.h"
#include "Kel_kelbase.h"
#include "kel_controls.h"
#include "kel_timer.h"

#include <array>
#include <cstdint>
#include <string>

namespace kel {

enum TRDBlockMode : std::uint8_t { rdbmOff, rdbmOn, rdbmRaster };
enum TRDScrollMode : std::uint8_t { rdsmOff, rdsmLeft, rdsmRight, rdsmDown, rdsmUp };

class EKELRasterLabError : public EKELError {
  public:
    using EKELError::EKELError;
};

// A bitmap font: per character code 0..255 its extent and 32 rows of 32 dots.
struct TRDCharMatrix {
    std::int32_t FontWidth = 0;                   // widest glyph in dots (columns)
    std::int32_t FontHeight = 0;                  // glyph height in dots (rows)
    std::array<std::uint8_t, 256> LeftMostBit{};  // first used column per code
    std::array<std::uint8_t, 256> RightMostBit{}; // last used column per code
    // Per code, 32 rows; in each row bit j is column j (bit 0 the leftmost).
    std::array<std::array<std::uint32_t, 32>, 256> BitData{};
};

// The built-in glyph table for codes 32..255: LeftMostBit, RightMostBit, then 12 rows (top
// first, bit 0 the leftmost of 7 columns). See rasterlab_font.cpp.
extern const std::uint8_t RasterFontTable[224][14];
// The built-in matrix (FontWidth 7, FontHeight 12) made from that table.
TRDCharMatrix BuiltInCharMatrix();
// The matrix code of a code point (see the choices above), or -1 when it has no glyph position.
int RasterCharCode(char32_t CodePoint);

class TRasterLab : public TGraphicControl {
  public:
    // 400 x 68 pixels, opaque, the documented defaults, the font "default" at size 8 with the
    // built-in matrix, and a hidden window for the scroll timer.
    explicit TRasterLab(TComponent* AOwner);
    ~TRasterLab() override;
    std::string ClassName() const override { return "TRasterLab"; }

    // --- text and placement ---
    // The displayed text (the label's own, UTF-8). Default "Text".
    const std::string& Text() const { return FLabText; }
    void SetText(const std::string& Value);
    int PosX() const { return FXPos; } // left of the text, pixels (1)
    void SetPosX(int Value);
    int PosY() const { return FYPos; } // top of the text, pixels (1)
    void SetPosY(int Value);
    bool AutoCenter() const {
        return FAutoCenter;
    } // false; true centres PosX, false resets it to 1
    void SetAutoCenter(bool Value);
    bool AutoHeight() const {
        return FAutoHeight;
    } // false; true sets the height to fw + p*FontHeight
    void SetAutoHeight(bool Value);
    bool Proportional() const { return FProportional; } // true
    void SetProportional(bool Value);

    // --- dots and colours ---
    int DotSize() const { return FDotSize; } // pixels, 1..32 (3)
    void SetDotSize(int Value);
    int DotSpacing() const { return FDotSpacing; } // pixels, 0..3 (1)
    void SetDotSpacing(int Value);
    TRDBlockMode CharBlockMode() const { return FCharBlockMode; } // rdbmOn
    void SetCharBlockMode(TRDBlockMode Value);
    TColor ColorLabBakG() const { return FColorLabBakG; } // gaps and background, clBlack
    void SetColorLabBakG(TColor Value);
    TColor ColorDotOn() const { return FColorDotOn; } // lit dots, clLime
    void SetColorDotOn(TColor Value);
    TColor ColorDotOff() const { return FColorDotOff; } // unlit dots, 0x404040
    void SetColorDotOff(TColor Value);
    TColorScheme ColorScheme() const { return FColorScheme; } // ordinal 0
    void SetColorScheme(TColorScheme Value);
    TFrameStyle FrameStyle() const { return FFrameStyle; } // ordinal 2
    void SetFrameStyle(TFrameStyle Value);
    TColor ColGrayLine() const { return FColGrayLine; } // frame lines set by ColorScheme
    TColor ColWhiteLine() const { return FColWhiteLine; }
    TColor ColBlackLine() const { return FColBlackLine; }

    // --- scrolling ---
    TRDScrollMode ScrollMode() const { return FScrollMode; } // rdsmOff
    void SetScrollMode(TRDScrollMode Value);         // may raise EKELRasterLabError (no timer)
    int ScrollInterval() const { return FScrollIv; } // ms between ticks, at least 10 (100)
    void SetScrollInterval(int Value);
    int ScrollIncrement() const { return FScrollInc; } // pixels per tick, at least 1 (1)
    void SetScrollIncrement(int Value);
    bool ScrollLoop() const { return FScrollLoop; } // true
    void SetScrollLoop(bool Value);
    int ScrollPosX() const { return FScrollPosX; } // present scroll offsets, pixels
    int ScrollPosY() const { return FScrollPosY; }

    // --- character matrix ---
    const TRDCharMatrix& CharMatrix() const { return FCMat; }
    // Replaces the matrix by an application-made one and invalidates (see the choices above).
    void SetCharMatrix(const TRDCharMatrix& CMat);
    // The built-in matrix for a null font or the name "default" (any case), else one scanned
    // from the font's rendered glyphs.
    static TRDCharMatrix CreateBitFont(const TFont* Font);
    // Pixel length of a text: per character p * (columns + 1).
    int CalcTextBitLength(const std::string& AText) const;
    // Pixel length of the text as last painted.
    int TextBitLength() const { return FTextBitLength; }
    void AdjustAutoHeight();
    void AdjustAutoCenter();

    // --- events ---
    TNotifyEvent OnScrollTimer() const { return FOnScrollTimer; }
    void SetOnScrollTimer(TNotifyEvent e); // restarts the timer
    TNotifyEvent OnScrollLoopRestart() const { return FOnScrLoopRestart; }
    void SetOnScrollLoopRestart(TNotifyEvent e) { FOnScrLoopRestart = std::move(e); }

    // From another TRasterLab: the values listed above, then an invalidation. Other sources as
    // TPersistent does.
    void Assign(const TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) const override;

    // Sees CM_FONTCHANGED (the font changed): rebuilds the matrix.
    void WndProc(TMessage& Message) override;

    // Draws the whole label into Target, resized to the control's size (what Paint shows);
    // every pixel of Target is drawn. False (Target untouched) when the control has no area.
    bool RenderTo(TBitmap& Target);

  protected:
    void Paint() override;
    // One tick: ScrollTimerEvent, then OnScrollTimer.
    virtual void DoTimer();
    virtual void DoScrLoopRestart();
    void UpdateTimer();
    void ScrollTimerEvent();
    void FontChanged();
    // Draws the text from (X0, Y0) on C; returns the pixel length drawn.
    int PaintString(TCanvas& C, int W, int H, std::int64_t X0, std::int64_t Y0) const;
    // Draws one glyph with its first column at (X, Y).
    void PaintChar(TCanvas& C, int W, int H, std::int64_t X, std::int64_t Y, int Code) const;

    // After loading: the auto height and auto centre settled from every property read.
    void Loaded() override;

  private:
    void Changed();   // invalidate: one deferred, merged paint
    void TimerTick(); // one tick of the scroll timer, faults to the application
    int Pitch() const { return FDotSize + FDotSpacing; }
    int FrameWidth() const;
    // First and last column of a code as drawn (the space's extent for codes without glyph).
    void Columns(int Code, int& First, int& Last) const;
    void AdjustAutos(); // height and PosX when their flags are on

    TRDCharMatrix FCMat;
    TFrameStyle FFrameStyle = fstLowered;
    TRDScrollMode FScrollMode = rdsmOff;
    int FScrollPosX = 0, FScrollPosY = 0;
    bool FScrollLoop = true;
    TMessageTimer FScrTimer;
    bool FScrTimerEnabled = false;
    bool FAutoCenter = false;
    int FTextBitLength = 0;
    TNotifyEvent FOnScrollTimer;
    int FScrollIv = 100;
    int FScrollInc = 1;
    std::string FLabText = "Text";
    TColor FColorLabBakG = clBlack;
    TColor FColorDotOn = clLime;
    TColor FColorDotOff = 0x404040;
    TColor FColBlackLine = clBlack, FColGrayLine = clGray, FColWhiteLine = clWhite;
    bool FAutoHeight = false;
    TRDBlockMode FCharBlockMode = rdbmOn;
    TColorScheme FColorScheme = cschClassic;
    TNotifyEvent FOnScrLoopRestart;
    bool FProportional = true;
    int FDotSize = 3;
    int FDotSpacing = 1;
    int FXPos = 1, FYPos = 1;
};

} // namespace kel
