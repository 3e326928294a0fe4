// TGradFill: a windowless control that fills its area with a colour gradient made of NrColors
// solid bands, running from ColorFirst toward ColorLast (gtHoriz, gtVert) or from ColorFirst to
// ColorLast in the middle band and back (gtMidBandHoriz, gtMidBandVert), with an optional grid
// over it and a 3-D frame of the base library's styles round it.
//
// Bands: with N = NrColors, band k (0 .. N-1) covers rows (horizontal types) or columns
// (vertical types) MulDiv(k, Size, N) up to, not including, MulDiv(k + 1, Size, N). Each colour
// component c (R, G, B of the colours resolved with ColorToRGB; dc the signed difference from
// first to last) of band k is, kept to its low 8 bits:
//   gtHoriz, gtVert              N < 2: c0; else c0 + MulDiv(k, dc, N) (the last colour itself
//                                is never reached)
//   gtMidBandHoriz, gtMidBandVert  m = N div 2; k <= m: c0 + MulDiv(k, dc, m); k > m:
//                                c0 + MulDiv(N - k - 1, dc, m) (the last colour in band m)
// Choices made where the rules leave it open:
// - The mid-band types with N = 1 (m = 0) fill the whole area with ColorFirst.
// - Grid: gmHoriz draws one-pixel horizontal lines in GridColor at y = 0, 10, 20, ... across the
//   whole width; gmVert vertical lines at x = 0, 10, 20, ...; gmBoth both; gmNone none. The grid
//   is drawn over the gradient and under the frame.
// - Flipping is remembered across a form file: ColorFlipped is stored after the colours, and
//   while the file loads it keeps the colours just read (they are the shown ones) and only
//   records that the unflipped pair is their swap.
// The frame is DrawFrame(FrameStyle) over (0, 0, Width - 1, Height - 1) with 0xFFFFFF, 0xC0C0C0,
// 0x808080, black, black. Painting draws into an off-screen bitmap, copies it, then fires
// OnPaint.
#pragma once

#include "Kel_kelbase.h"
#include "kel_controls.h"

#include <cstdint>
#include <utility>

namespace kel {

enum TGradType : std::uint8_t { gtHoriz, gtVert, gtMidBandHoriz, gtMidBandVert };
enum TGridMode : std::uint8_t { gmNone, gmHoriz, gmVert, gmBoth };

// The RGB colour (0x00BBGGRR) of band Band of NrColors, by the rules above. Pure, for tests.
TColor GradBandColor(TGradType Type, int NrColors, int Band, TColor First, TColor Last);
// First pixel of band Band along a side of Size pixels divided into NrColors bands
// (MulDiv(Band, Size, NrColors)); band Band ends where band Band + 1 starts.
int GradBandStart(int Band, int Size, int NrColors);

class TGradFill : public TGraphicControl {
  public:
    // 121 x 121 with the defaults below.
    explicit TGradFill(TComponent* AOwner);
    std::string ClassName() const override { return "TGradFill"; }

    // --- published properties (defaults in brackets); every setter invalidates ---
    // The first colour as shown (after flipping) [clMaroon]. Setting it also sets the unflipped
    // last colour when flipped, else the unflipped first colour.
    TColor ColorFirst() const { return FColorFirst; }
    void SetColorFirst(TColor Value);
    // The last colour as shown [clYellow]; the mirror of ColorFirst.
    TColor ColorLast() const { return FColorLast; }
    void SetColorLast(TColor Value);
    // Shows the pair as set, swapped when true [false].
    bool ColorFlipped() const { return FColorsFlipped; }
    void SetColorFlipped(bool Value);
    TGradType FillType() const { return FGradType; } // [gtHoriz]
    void SetFillType(TGradType Value);
    TFrameStyle FrameStyle() const { return FFrameStyle; } // [fstNone]
    void SetFrameStyle(TFrameStyle Value);
    TColor GridColor() const { return FGridColor; } // [clNavy]
    void SetGridColor(TColor Value);
    TGridMode GridMode() const { return FGridMode; } // [gmNone]
    void SetGridMode(TGridMode Value);
    // Number of bands, clamped to 1 .. 255 [16].
    int NrColors() const { return FNrColors; }
    void SetNrColors(int Value);
    // Inherited and published as well: Align, Visible, ShowHint, ParentShowHint, the mouse
    // events.

    // Fired after each paint.
    const TNotifyEvent& OnPaint() const { return FOnPaint; }
    void SetOnPaint(TNotifyEvent Handler) { FOnPaint = std::move(Handler); }

  protected:
    void Paint() override;

  private:
    void Changed() { Invalidate(); }

    int FNrColors = 16;
    TGradType FGradType = gtHoriz;
    TColor FColorFirst = clMaroon;
    TColor FColorLast = clYellow;
    TColor FColFirstOrg = clMaroon; // the pair as set, before flipping
    TColor FColLastOrg = clYellow;
    bool FColorsFlipped = false;
    TFrameStyle FFrameStyle = fstNone;
    TGridMode FGridMode = gmNone;
    TColor FGridColor = clNavy;
    TNotifyEvent FOnPaint;
};

} // namespace kel
