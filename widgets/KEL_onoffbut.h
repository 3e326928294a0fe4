// TOnOffBut: a two-state button drawn as a glyph (check box, slide switch, lamp, traffic light,
// smiley ...) with up to four captions round it. Each built-in style is one picture compiled into
// the library (resources/, drawn by tools/make_onoff_glyphs.cpp) that holds the four states in a
// 2 x 2 layout: on/enabled top left, off/enabled top right, on/disabled bottom left,
// off/disabled bottom right; the glyph is half the picture's width and height. The colour
// 0xEBBEEB in a picture is transparent: it shows the button's background (or, on a transparent
// button, the parent). Buttons on one parent with the same non-zero GroupIndex form a radio
// group: at most one of them is on.
//
// Choices where the button's rules leave a behaviour open or where this platform differs:
// - Every setter invalidates (the paint follows when the loop is idle); "paint now" is not done.
// - The recentering on a size change is done in Resize, before OnResize fires, so the
//   application's OnResize stays free for its own use. After a form file loads, a button with
//   AutoCenter is recentred once (Loaded).
// - oobsUser takes its glyph size from the user pictures (half the picture given to
//   SetUserGlyph, 20 x 20 for the default pictures), so hit testing and centering match what is
//   drawn.
// - SetUserGlyph/LoadUserGlyph refuse a picture with an odd width or height or smaller than
//   2 x 2 with EKELError naming the component; a file that cannot be read raises the framework's
//   error naming the file. Either way the user glyph stays as it was.
// - A group notification from a control that is not an on/off button (a speed button with the
//   same group index on the same parent) is ignored.
// - A transparent button draws its captions without antialiasing, so that the mask covers
//   exactly the ink and no partly covered pixel mixes with the parent.
// - ColorScheme is stored, copied and streamed; the drawing does not depend on it.
#pragma once

#include "Kel_error.h"
#include "Kel_kelbase.h"
#include "kel_controls.h"
#include "kel_graphics.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace kel {

enum TOnOffButStyle : std::uint8_t {
    oobsUser,
    oobsCheckbox,
    oobsRadioBut,
    oobsSlideTB,
    oobsSlideLR,
    oobsColSlideTB,
    oobsColSlideLR,
    oobsLedRedGreen,
    oobsArrowTopRgt,
    oobsArrowUpDown,
    oobsArrowLeftRight,
    oobsTrafficLPed,
    oobsBeveledLed,
    oobsSmileyYellow,
    oobsSmileyRedGrn,
    oobsBulb,
    oobsButLamp,
    oobsHDLeft,
    oobsHDRight,
    oobsUser1,
    oobsUser2,
    oobsUser3,
    oobsUser4,
    oobsUser5
};
constexpr int NumOnOffButStyles = 24; // oobsUser .. oobsUser5

// oomaNone: the mouse does nothing; oomaFocused: only presses strictly inside the glyph count;
// oomaPlain: presses anywhere on the control count.
enum TOOButMouseAction : std::uint8_t { oomaNone, oomaFocused, oomaPlain };
// oobmNormalBut: a click toggles and the state stays; oobmSpeedBut: on while held, off on release.
enum TOOButMode : std::uint8_t { oobmNormalBut, oobmSpeedBut };

// The resource name of a built-in style ("CHECKBOX" ...); "" for oobsUser and out-of-range values.
const char* OnOffButResourceName(TOnOffButStyle Style);

// The colour (TColor, and stored pixel word alike) that is transparent in every glyph picture.
constexpr TColor OnOffButKeyColor = 0xEBBEEB;

// Which side a caption sits on.
enum TOnOffButSide : std::uint8_t { oosLeft, oosTop, oosRight, oosBottom };

// Top-left of a caption of width TextW on Side with Alignment, for a glyph of GlyphW x GlyphH at
// (LeftSpace, TopSpace) on a control Width wide, text cell height TextH:
//   left    y = TS + (GH - T) div 2; x = 4 | LS - tw - 3 | (LS - tw) div 2
//   right   same y;                  x = LS + GW + 4 | W - tw - 4 | (W - tw - LS - GW) div 2 + LS +
//   GW + 1 top     y = TS - T - 4;          x = 4 | W - tw - 4 | LS + (GW - tw) div 2 bottom  y =
//   TS + GH + 4;         x as on top
// (left justified | right justified | centred; div truncates). Pure, for tests.
TPoint OnOffButCaptionPos(TOnOffButSide Side, TAlignment Alignment, int LeftSpace, int TopSpace,
                          int GlyphW, int GlyphH, int Width, int TextH, int TextW);

class TOnOffBut : public TGraphicControl {
  public:
    // 100 x 50, the defaults below, the glyphs of oobsColSlideLR, the default user pictures
    // (20 x 20: a cross for off/enabled, a circle for on/enabled, blank when disabled).
    explicit TOnOffBut(TComponent* AOwner);
    ~TOnOffBut() override;
    std::string ClassName() const override { return "TOnOffBut"; }

    // From another TOnOffBut: LeftSpace, TopSpace, AutoCenter, the four captions and their
    // alignments, FrameStyle, ColorBackgnd, ColorScheme, OnOff, the glyph and user pictures (as
    // copies), ButtonStyle, MouseAction, ColorText, the glyph size, Transparent and Enabled (no
    // group notification, no recentering), then invalidates. Anything else: the framework's.
    void Assign(const TPersistent* Source) override;

    // --- published properties (defaults in brackets) ---
    // Whether the user (and SetOnOff) may switch off the last button of a group that is on
    // [true]. Shared across a group: a change reaches every member.
    bool AllowAllOff() const { return FAllowAllOff; }
    void SetAllowAllOff(bool Value);
    // The glyph follows the centre: (Width - GlyphWidth) div 2, (Height - GlyphHeight) div 2
    // [true]. Setting it true recentres; while on, a resize with a parent and a change of style
    // recentre, and setting LeftSpace or TopSpace recentres instead of storing.
    bool AutoCenter() const { return FAutoCenter; }
    void SetAutoCenter(bool Value);
    // Captions on the four sides [""], and their alignments.
    const std::string& LeftText() const { return FLeftText; }
    void SetLeftText(const std::string& Value);
    const std::string& TopText() const { return FTopText; }
    void SetTopText(const std::string& Value);
    const std::string& RightText() const { return FRightText; }
    void SetRightText(const std::string& Value);
    const std::string& BottomText() const { return FBottomText; }
    void SetBottomText(const std::string& Value);
    TAlignment LeftTextAlignment() const { return FLTAlignment; } // [taRightJustify]
    void SetLeftTextAlignment(TAlignment Value);
    TAlignment TopTextAlignment() const { return FTTAlignment; } // [taCenter]
    void SetTopTextAlignment(TAlignment Value);
    TAlignment RightTextAlignment() const { return FRTAlignment; } // [taLeftJustify]
    void SetRightTextAlignment(TAlignment Value);
    TAlignment BottomTextAlignment() const { return FBTAlignment; } // [taCenter]
    void SetBottomTextAlignment(TAlignment Value);
    // The glyph style [oobsColSlideLR]; a value past oobsUser5 is taken as oobsUser5.
    TOnOffButStyle ButtonStyle() const { return FButStyle; }
    void SetButtonStyle(TOnOffButStyle Value);
    TColor ColorBackgnd() const { return FColorBakG; } // [clBtnFace]
    void SetColorBackgnd(TColor Value);
    TColor ColorText() const { return FColorTxt; } // [clBlack]
    void SetColorText(TColor Value);
    TColorScheme ColorScheme() const { return FColorScheme; } // [cschClassic]
    void SetColorScheme(TColorScheme Value);
    // Frame round the control over (0, 0, Width - 1, Height - 1) [fstLowered].
    TFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TFrameStyle Value);
    // Radio group of the button among its siblings; 0 is no group [0].
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // Top-left of the glyph area in client pixels [35, 18]; the picture is drawn one pixel
    // right and down of it. Negative values are ignored; a stored value is limited to Width
    // (Height).
    int LeftSpace() const { return FLeftSpace; }
    void SetLeftSpace(int Value);
    int TopSpace() const { return FTopSpace; }
    void SetTopSpace(int Value);
    // [oobmNormalBut]; oobmSpeedBut also switches the button off.
    TOOButMode Mode() const { return FMode; }
    void SetMode(TOOButMode Value);
    TOOButMouseAction MouseAction() const { return FMouseAction; } // [oomaFocused]
    void SetMouseAction(TOOButMouseAction Value);
    // The state [true]. Switching off is refused silently in a group without AllowAllOff;
    // switching on switches the other members of the group off.
    bool OnOff() const { return FOnOff; }
    void SetOnOff(bool Value);
    // Background, and the key colour of the glyph, let the parent show through [false].
    bool Transparent() const { return FTransParent; }
    void SetTransparent(bool Value);
    // Also the framework's enabled state; a disabled button draws the disabled pictures and
    // embossed captions [true].
    void SetEnabled(bool Value) override;
    // Inherited and published as well: Anchors, Font, ParentShowHint, PopupMenu, ShowHint,
    // StyleElements, Visible and the mouse events. OnClick fires from the release (see
    // MouseUp), never from the framework's click handling.

    // --- glyphs ---
    int GlyphWidth() const { return FGlyphWidth; }
    int GlyphHeight() const { return FGlyphHeight; }
    // The picture of a state as it is drawn.
    const TBitmap& Glyph(bool On, bool IsEnabled) const {
        return *FButImg[GlyphIndex(On, IsEnabled)];
    }
    // The user picture of a state (shown by oobsUser).
    const TBitmap& UserGlyph(bool On, bool IsEnabled) const {
        return *FUserImg[GlyphIndex(On, IsEnabled)];
    }
    // Fills the glyph pictures for the current style: a built-in style from its resource, oobsUser
    // from the user pictures.
    void LoadGlyphs();
    // Takes the four user pictures from Img in the 2 x 2 layout (copies; Img stays the caller's).
    // Refused (EKELError, nothing changes) when a side is odd or smaller than 2. When the style
    // is oobsUser the button shows them at once (recentred with AutoCenter).
    void SetUserGlyph(const TBitmap& Img);
    // The same from a BMP or PNG file; errors of reading name the file.
    void LoadUserGlyph(const std::string& FName);
    // Moves the glyph to the centre (see AutoCenter).
    void AdjustAutoCenter();
    // Does nothing: OnClick comes from MouseUp.
    void Click() override {}

  protected:
    void AssignTo(TPersistent* Dest) const override;
    void Paint() override;
    // A left press that counts (MouseAction, the glyph with oomaFocused) toggles the state,
    // unless the button is on in a group without AllowAllOff; switching on notifies the group.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // A left release that counts: oobmSpeedBut switches off; then OnClick fires.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void Resize() override;
    void Loaded() override;

  private:
    static int GlyphIndex(bool On, bool IsEnabled) { return 2 * int(On) + int(IsEnabled); }
    void Changed() { Invalidate(); }
    void NotifyGroup();
    void ButtonPressed(int Group, const TOnOffBut* Sender);
    bool InsideGlyph(int X, int Y) const;
    bool Counts(TMouseButton Button, int X, int Y) const;

    bool FOnOff = true;
    std::array<std::unique_ptr<TBitmap>, 4> FButImg;  // 0 off/disabled .. 3 on/enabled
    std::array<std::unique_ptr<TBitmap>, 4> FUserImg; // same indexing
    std::unique_ptr<TBitmap> FWork, FMask;            // control-sized, made at paint
    bool FAutoCenter = true;
    TOnOffButStyle FButStyle = oobsColSlideLR;
    int FGroupIndex = 0;
    TOOButMouseAction FMouseAction = oomaFocused;
    bool FAllowAllOff = true;
    TColor FColorBakG = clBtnFace;
    TColor FColorTxt = clBlack;
    int FGlyphWidth = 0, FGlyphHeight = 0;
    int FLeftSpace = 35, FTopSpace = 18;
    std::string FLeftText, FTopText, FBottomText, FRightText;
    TOOButMode FMode = oobmNormalBut;
    TFrameStyle FFrameStyle = fstLowered;
    bool FTransParent = false;
    TAlignment FLTAlignment = taRightJustify, FTTAlignment = taCenter, FBTAlignment = taCenter,
               FRTAlignment = taLeftJustify;
    TColorScheme FColorScheme = cschClassic;
};

} // namespace kel
