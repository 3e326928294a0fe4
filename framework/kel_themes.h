// Style services: the one place components ask for the colours and fonts of the active visual
// style (window, button face, highlight, grey text, ...), and the few drawing routines of the
// style's look that several controls share (3-D frames, button faces, the focus rectangle).
//
// StyleServices() returns the active style. The built-in style ("Desktop") answers with the
// system colours (clBtnFace and so on, resolved through the fixed palette of kel_graphics.h) and
// the default font; it has visual styles enabled, so panels with ParentBackground show their
// parent's background. A program (or a test) may install a style of its own with
// SetStyleServices; every control painted afterwards uses it.
//
// Index: style elements; TCustomStyleServices; StyleServices; drawing helpers.
#pragma once

#include "kel_graphics.h"

#include <cstdint>
#include <string>

namespace kel {

// The colours a component may ask the style for.
enum TStyleColor : std::uint8_t {
    scWindow,           // background of edits, lists, grids
    scWindowText,       // text on scWindow
    scButtonFace,       // buttons, panels, forms
    scButtonText,       // text on scButtonFace
    scButtonHighlight,  // lit outer edge of a raised 3-D frame
    scButtonLight,      // lit inner edge
    scButtonShadow,     // shaded inner edge
    scButtonDarkShadow, // shaded outer edge
    scHighlight,        // selection background
    scHighlightText,    // selected text
    scGrayText,         // disabled text
    scWindowFrame,      // thin frames
    scHotLight,         // hover accents
    scInfoBk,           // hint background
    scInfoText,         // hint text
    scMenu,             // menu background
    scMenuText,         // menu text
    scMenuHighlight     // selected menu item
};
constexpr int StyleColorCount = int(scMenuHighlight) + 1;

// The fonts a component may ask the style for.
enum TStyleFont : std::uint8_t {
    sfControl, // controls' text (Font's default)
    sfCaption, // window captions (bold)
    sfMenu,    // menu items
    sfHint     // hints and status text
};

// ---- TCustomStyleServices ---------------------------------------------------------------------

class TCustomStyleServices {
  public:
    virtual ~TCustomStyleServices() = default;
    // Name of the style ("Desktop" for the built-in one).
    virtual std::string Name() const { return "Desktop"; }
    // Visual styles are on: ParentBackground of panels shows the parent's background.
    virtual bool Enabled() const { return true; }
    // The colour of an element, as a TColor (the built-in style gives the system colour, which
    // the canvas resolves; a style of its own may give RGB).
    virtual TColor GetStyleColor(TStyleColor Element) const;
    // A system colour (clBtnFace, ...) resolved to RGB as this style shows it; other colours
    // are returned unchanged.
    virtual TColor GetSystemColor(TColor Color) const;
    // Sets Font to the style's font of the element (name, height, style, colour).
    virtual void GetStyleFont(TStyleFont Element, TFont& Font) const;
};

// The active style (the built-in one unless another is installed).
TCustomStyleServices& StyleServices();
// Installs a style (not owned); null returns to the built-in one. Repaint the forms after it.
void SetStyleServices(TCustomStyleServices* Style);

// ---- Drawing helpers of the style's look ------------------------------------------------------

// Fills R with a solid brush of Color.
void FillSolidRect(TCanvas& C, const TRect& R, TColor Color);
// Draws Width rings inside R: top and left in TopColor, bottom and right in BottomColor (the
// top-right and bottom-left corner pixels take BottomColor), and shrinks R by Width.
void Frame3D(TCanvas& C, TRect& R, TColor TopColor, TColor BottomColor, int Width);
// A push-button face filling R: raised (highlight and light above, shadow and dark shadow
// below) or, when Down, sunken; the interior in FaceColor. Returns the interior.
TRect DrawButtonFace(TCanvas& C, const TRect& R, bool Down, TColor FaceColor);
// The sunken 2-pixel frame of edit boxes inside R (shadow over dark shadow at the top and left,
// highlight and light below and right); returns the interior.
TRect DrawSunkenFrame(TCanvas& C, const TRect& R);
// The dotted focus rectangle just inside R (every other pixel of its ring inverted).
void DrawFocusRect(TCanvas& C, const TRect& R);
// The "stays down" background of a pressed toggle button: a checker of highlight and face.
void FillCheckered(TCanvas& C, const TRect& R);
// A caption's accelerator markers: "&x" underlines x, "&&" is "&". Returns the text without
// them; Accel (when given) receives the byte index of the underlined character in that text,
// or -1 (the first marker counts).
std::string StripAccelChars(const std::string& Caption, int* Accel = nullptr);
// True when Key is the accelerator Caption marks ("&Open" has 'o'); letters match in either
// case.
bool IsAccel(char32_t Key, const std::string& Caption);
// Draws a caption at (X, Y) in the canvas font with a clear brush, its accelerator underlined:
// in Color, or embossed when not Enabled (offset (1, 1) in highlight, then in shadow).
void DrawAccelText(TCanvas& C, int X, int Y, const std::string& Caption, TColor Color,
                   bool Enabled);

} // namespace kel
