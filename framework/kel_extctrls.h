// Extended controls: the panel (TCustomPanel, TPanel), a container with bevels, a border ring
// and a centred caption, which other controls are placed on.
//
// Paint: outer bevel (raised: top/left highlight, bottom/right shadow; lowered the reverse),
// a BorderWidth ring in Color, the inner bevel, the interior, then the caption centred both
// ways in Font. With visual styles on (StyleServices().Enabled()) ParentBackground shows the
// parent's colour in the ring and the interior instead of Color. Aligned children are placed
// inside the border and bevels.
//
// Index: bevel types; TCustomPanel; TPanel.
#pragma once

#include "kel_controls.h"

#include <cstdint>
#include <string>

namespace kel {

enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TVerticalAlignment : std::uint8_t { taAlignTop, taAlignBottom, taVerticalCenter };

// ---- TCustomPanel -----------------------------------------------------------------------------

class TCustomPanel : public TCustomControl {
  public:
    explicit TCustomPanel(TComponent* AOwner);
    std::string ClassName() const override { return "TCustomPanel"; }

    TPanelBevel BevelOuter() const { return FBevelOuter; } // default bvRaised
    void SetBevelOuter(TPanelBevel Value);
    TPanelBevel BevelInner() const { return FBevelInner; } // default bvNone
    void SetBevelInner(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; } // default 1 (at least 1)
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; } // default 0 (at least 0)
    void SetBorderWidth(int Value);
    // bsSingle: a one-pixel frame in the window-frame colour outside the bevels. Default bsNone.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment Alignment() const { return FAlignment; } // default taCenter
    void SetAlignment(TAlignment Value);
    TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; } // taVerticalCenter
    void SetVerticalAlignment(TVerticalAlignment Value);
    // Show the parent's background instead of Color (with visual styles). Default true.
    bool ParentBackground() const { return FParentBackground; }
    void SetParentBackground(bool Value);
    // Show the caption. Default true.
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);

    // Pixels that frame, bevels and border take from each side.
    int FrameWidth() const;
    // The colour the interior is filled with (Color, or the parent's with ParentBackground).
    TColor BackgroundColor() const;

  protected:
    void Paint() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void WndProc(TMessage& Message) override;

  private:
    void Relayout();
    TPanelBevel FBevelOuter = bvRaised;
    TPanelBevel FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
    TVerticalAlignment FVerticalAlignment = taVerticalCenter;
    bool FParentBackground = true;
    bool FShowCaption = true;
};

// ---- TPanel -----------------------------------------------------------------------------------

// The panel forms create; its published properties are registered in extctrls.cpp.
class TPanel : public TCustomPanel {
  public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
    std::string ClassName() const override { return "TPanel"; }
};

} // namespace kel
