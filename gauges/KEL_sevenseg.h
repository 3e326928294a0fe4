// TSevenSeg: a seven-segment display. A windowless control that shows a short text as a row of
// slanted seven-segment digits: 0 to 9, the hexadecimal letters A to F (either case), minus,
// plus, colon, degree sign and decimal points. The 21 glyphs are built once from six segment
// pictures compiled into the library (SEGHORZ, SEGVERT, SEGDOT, SEGPLUS, SEGCOLON, SEGDEG, drawn
// by tools/make_segments.cpp), coloured with ColorText on ColorBackGnd, shrunk to the digit cell
// and kept in an image cache; painting copies cells from the cache. The cache is built at the
// first paint, not at creation, and shared by every display of the same cell size and colours
// (a form of twenty displays builds it once).
//
// Geometry: with W x H the control size, the digit cell is DW = (W - 2*Margin) div NumDigits -
// InterDigDist wide and H - 2*Margin high; position p (1-based) starts at x = (p - 1)*
// (InterDigDist + DW) + Margin, y = Margin. A "." or "," after a character puts a decimal point
// into that character's cell; a point with no character before it takes a cell of its own.
//
// Choices made where the behaviour is open:
//   * When DW or the cell height comes out at zero or less, no glyph is built or drawn: the
//     control shows its background and frame only. The same holds when the cache would exceed
//     the largest bitmap (21*DW wider than 32767 pixels).
//   * The caption is UTF-8; it is walked by code points, so the degree sign (U+00B0) is one
//     character. Only a-f are folded to upper case; any character without a glyph leaves its
//     cell empty but still uses a position.
//   * The cache is looked up by cell size and colours at every paint, so the glyphs always fit
//     their cells, also when the control was resized with OnResize replaced by an application
//     handler.
//   * Every ink pixel of a segment picture is lit (not only the shape round its centre), and
//     all white left in a glyph becomes background (also white a shape encloses), so the
//     colon's dots need no joining line and the degree ring no slit.
//   * A rebuild with ColorText white uses 0xFEFEFE, since pure white marks the surround of the
//     segment pictures.
//
// Index: SevenSegCharList; TSevenSeg.
#pragma once

#include "Kel_kelbase.h"
#include "kel_controls.h"

#include <memory>
#include <string>
#include <tuple>

namespace kel {

// The characters of the glyph cache in cache order (UTF-8; the 14th is the degree sign U+00B0).
extern const char32_t SevenSegCharList[21];

class TSevenSeg : public TGraphicControl {
  public:
    // 216 x 76 pixels and the documented defaults; nothing is drawn or loaded yet (the first
    // paint loads the segment pictures, raising EResNotFound if the library was built without
    // them, and builds the cache).
    explicit TSevenSeg(TComponent* AOwner);
    ~TSevenSeg() override;
    std::string ClassName() const override { return "TSevenSeg"; }

    // The displayed text (the display's own; not the control text). Default "8.8.8.8.".
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TColor ColorBackGnd() const { return FColorBakG; } // background, 0x333333
    void SetColorBackGnd(TColor Value);
    TColor ColorText() const { return FColorTxt; } // lit segments, clRed
    void SetColorText(TColor Value);
    TColorScheme ColorScheme() const { return FColorScheme; } // ordinal 0; invalidates
    void SetColorScheme(TColorScheme Value);
    TFrameStyle FrameStyle() const { return FFrameStyle; } // ordinal 2; invalidates
    void SetFrameStyle(TFrameStyle Value);
    int InterDigDist() const { return FInterDigDist; } // pixels between cells, at most 255 (2)
    void SetInterDigDist(int Value);
    int Margin() const { return FMargin; }       // pixels round the cells (8)
    void SetMargin(int Value);                   // at most Height div 2 - 1
    int NumDigits() const { return FNumDigits; } // cells, 1..32 (4); others ignored
    void SetNumDigits(int Value);

    // The digit cell width DW for the present size and settings (may be zero or negative).
    int DigitWidth() const;
    // The frame line colours the colour scheme sets (kept for form files, not drawn).
    TColor ColGrayLine() const { return FColGrayLine; }
    TColor ColWhiteLine() const { return FColWhiteLine; }

    // The default OnResize handler: on a change of size, remembers it and invalidates (the
    // paint then uses the cache of the new size).
    void ProcessResize(TObject* Sender);
    // The glyph cache for the present size and colours (21 glyphs of DW x cell height side by
    // side; empty when the cells are too small), built or shared when first needed.
    const TBitmap& ImageCache();

    // From another TSevenSeg: colours, NumDigits, Caption, FrameStyle, frame line colours,
    // ColorScheme, Margin and InterDigDist; then the control is invalidated (the paint uses
    // the cache of the new looks). Other sources as TPersistent does.
    void Assign(const TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) const override;

  protected:
    void Paint() override;
    // Recolours the ink (every pixel that is not white) of the six working pictures.
    void ColorizeSegments(TColor Color);
    // Draws one full-size glyph (312 x 432) into DigImg.
    void CreateDigit(char32_t Ch, bool Dot);
    // The full-size glyph CreateDigit drew last (null before the first).
    const TBitmap* DigitImage() const { return DigImg.get(); }
    // Builds the 21 glyphs for the present size and colours and offers them to other displays:
    // the cells CreateDigit's glyphs shrunk with HALFTONE give, computed from outlines of the
    // glyphs made once per process.
    void CreateImageCache();

  private:
    void Changed();         // invalidate: one deferred, merged paint
    void LoadWorkBitmaps(); // DigImg and the six working pictures, when not there

    TColor FColorBakG = 0x333333;
    TColor FColorTxt = clRed;
    std::unique_ptr<TBitmap> DigImg;
    int FNumDigits = 4;
    std::string FCaption = "8.8.8.8.";
    TFrameStyle FFrameStyle = fstLowered;
    int FMargin = 8;
    int FInterDigDist = 2;
    int FWidth = 0, FHeight = 0; // size the cache was built for
    // Working bitmaps while a cache is built (freed afterwards).
    std::unique_ptr<TBitmap> SegHorz, SegVert, SegDot, SegPlus, SegColon, SegDeg;
    std::shared_ptr<const TBitmap> ImgCache;          // shared with displays that look alike
    std::tuple<int, int, TColor, TColor> FCacheKey{}; // DW, cell height, colours of ImgCache
    int FCacheDW = 0;                                 // DW of the cache (0: no glyphs)
    TColor FColGrayLine = clGray, FColWhiteLine = clWhite;
    TColorScheme FColorScheme = cschClassic;
};

} // namespace kel
