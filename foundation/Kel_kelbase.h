// Base services shared by the components: the small enumerations their properties use, the 3-D
// frame drawn round a control, the marker symbols of charts and pickers, an outline rectangle,
// and the weekday and month names of the supported languages.
//
// Index: enumerations; progress event; frame drawing; marker symbols; name tables.
#pragma once

#include "Kel_error.h"
#include "kel_classes.h"
#include "kel_graphics.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace kel {

// ---- Enumerations (ordinals are stored in form files: never reorder) --------------------------

// Colours of the 3-D frame lines: cschClassic uses clGray and clWhite, every other value the
// system colours clBtnShadow and clBtnHighlight.
enum TColorScheme : std::uint8_t { cschClassic, cschSystem };

// The dark and light frame-line colours of a scheme.
void SchemeLineColors(TColorScheme Scheme, TColor& Dark, TColor& Light);

// Frame styles of DrawFrame (the pixels of each style are listed there).
enum TFrameStyle : std::uint8_t {
    fstNone,        // no frame
    fstLoweredThin, // one ring, sunken
    fstLowered,     // two rings, sunken (edit boxes, labels)
    fstRaised,      // two rings, raised (buttons, outer frames)
    fstEmbossed,    // two rings, a raised rim with a sunken inner edge
    fstSimple       // one ring in the border colour
};
constexpr int NumFrameStyles = 6;

// Decimal separator accepted and written by the numeric controls.
enum TDecPSep : std::uint8_t {
    dpsSystem,      // the platform's separator
    dpsPoint,       // "."
    dpsComma,       // ","
    dpsPointOrComma // either is accepted
};

// Direction in which a bar grows.
enum TDirection : std::uint8_t {
    drUp,   // from the bottom up
    drDown, // from the top down
    drLeft, // from right to left
    drRight // from left to right
};

// Orientation of a movement: vertical moves down, horizontal moves right.
enum TOrientation : std::uint8_t { orVertical, orHorizontal };

// Language of names and captions. lgNeutral shows the English names.
enum TLanguage : std::uint8_t {
    lgNeutral,
    lgEnglish,
    lgGerman,
    lgFrench,
    lgSpanish,
    lgItalian,
    lgDutch
};
constexpr int NumLanguages = 7;

// How a background picture fills a control.
enum TBkgFill : std::uint8_t {
    bfSimple,  // at its own size at the top-left corner
    bfStretch, // stretched onto the whole control
    bfTile,    // repeated from the top-left corner
    bfCenter   // at its own size, centred
};

// Field delimiter of CSV import and export.
enum TCSVDelimiters : std::uint8_t { csvComma, csvSemicolon, csvTab, csvColon, csvPipe };
// The character of a delimiter value (',', ';', '\t', ':', '|').
char CSVDelimiterChar(TCSVDelimiters Delimiter);

// ---- Frames and outlines ----------------------------------------------------------------------

// Draws a frame of Style whose outer ring runs through the inclusive corners (Left, Top) and
// (Right, Bottom). C1..C5 are light, highlight, shadow, dark shadow and border (usually
// 0xFFFFFF, 0xC0C0C0, 0x808080, 0x000000 and a border colour). Each ring is lit in two colours:
// its top row and left column (without the top-right and bottom-left corners) in the
// "top-left" colour, its bottom row and right column in the "bottom-right" colour:
//   fstNone         nothing
//   fstLoweredThin  ring 0: C3 / C1
//   fstLowered      ring 0: C3 / C1, ring 1: C4 / C2
//   fstRaised       ring 0: C2 / C4, ring 1: C1 / C3
//   fstEmbossed     ring 0: C1 / C3, ring 1: C3 / C1
//   fstSimple       ring 0: C5 / C5
// Ring 1 lies one pixel inside ring 0 and is drawn only when there is room for it. Every frame
// pixel is written exactly once, so drawn in black on a white mask the black pixels are exactly
// the frame. Corners given in the wrong order draw nothing; a style outside 0..5 raises
// EKELError. The pen is used for the lines and restored afterwards.
void DrawFrame(TCanvas& Canvas, TFrameStyle Style, int Left, int Top, int Right, int Bottom,
               TColor C1, TColor C2, TColor C3, TColor C4, TColor C5);

// The outline through the inclusive corners (X1, Y1) and (X2, Y2) with the current pen; each
// outline pixel is written once (so a pen in xor mode can erase it again). Leaves the pen
// position at (X1, Y1).
void DrawRectangle(TCanvas& Canvas, int X1, int Y1, int X2, int Y2);

// ---- Marker symbols ---------------------------------------------------------------------------

// The 52 marker symbols, centred on the reference point. Sizes are given as the symbol's box
// (7 = 7 x 7 pixels, reaching 3 pixels from the centre on each side):
//    0 single dot                     26 open circle 9
//    1 plus 7                         27 filled circle 9
//    2 cross (x) 7                    28 open diamond 9
//    3 star (plus and x) 7            29 filled diamond 9
//    4 open square 7                  30 open triangle up 9
//    5 filled square 7                31 filled triangle up 9
//    6 open circle 7                  32 open triangle down 9
//    7 filled circle 7                33 filled triangle down 9
//    8 open diamond 7                 34 plus 9
//    9 filled diamond 7               35 cross (x) 9
//   10 open triangle up 7             36 star 9
//   11 filled triangle up 7           37 square with diagonals 9
//   12 open triangle down 7           38 square with plus 9
//   13 filled triangle down 7         39 circle with plus 9
//   14 open triangle left 7           40 circle with cross 9
//   15 filled triangle left 7         41 diamond with plus 9
//   16 open triangle right 7          42 open square with centre dot 9
//   17 filled triangle right 7        43 open circle with centre dot 9
//   18 open square 5                  44 two nested squares 9
//   19 filled square 5                45 two nested circles 9
//   20 open circle 5                  46 open hourglass 9
//   21 filled circle 5                47 filled bow tie 9
//   22 open diamond 5                 48 horizontal bar 7
//   23 filled diamond 5               49 vertical bar 7
//   24 open square 9                  50 square, lower half filled 9
//   25 filled square 9                51 circle, left half filled 9
constexpr int NumMarkers = 52;
constexpr int MarkerRadius = 4; // no marker reaches further than this from its centre

// Pixels of a marker as rows: Rows[dy + 4] has bit (dx + 4) set when the pixel at offset
// (dx, dy) from the centre is lit, for dx, dy in -4..4. A mark outside 0..51 gives no pixels.
struct TMarkShape {
    std::array<std::uint16_t, 2 * MarkerRadius + 1> Rows{};
    bool Lit(int dx, int dy) const;
    int Count() const; // number of lit pixels
    friend bool operator==(const TMarkShape&, const TMarkShape&) = default;
};
TMarkShape MarkShape(int Mark);

// Draws marker Mark centred on (X, Y) in the colour and mix mode of the current pen (its width
// and style are ignored: the symbols are drawn 1 pixel thin and solid). A mark outside 0..51
// draws nothing. Pen and pen position are restored afterwards.
void DrawMarkOnCanvas(TCanvas& Canvas, int Mark, int X, int Y);

// ---- Names of days and months -----------------------------------------------------------------

// Indexed by TLanguage ordinal, then by day (0 = Monday .. 6 = Sunday) or month (1..12; entry 0
// is empty). UTF-8; at most 3 (weekday), 4 (short month) and 10 (long month) characters.
extern const std::array<std::array<std::string, 7>, NumLanguages> WeekDayShort;
extern const std::array<std::array<std::string, 13>, NumLanguages> MonthShort;
extern const std::array<std::array<std::string, 13>, NumLanguages> MonthLong;

} // namespace kel
