// A scroll bar drawn inside a control, in the look of the grid's bars: two raised arrow
// buttons, a light track and a raised thumb whose length is the page's share of the range.
// The control owns one per axis, tells it its rectangle and range, paints it from Paint and
// hands it the mouse while the pointer is on it; the bar calls back with the new position.
// A held button or track repeats after a pause (its own message timer); the thumb follows the
// mouse and scrolls as it moves.
//
// Positions run from 0 to Max (the first shown unit: a row, a pixel); Page is how many units
// one page shows; Line how far an arrow moves.
#pragma once

#include "kel_graphics.h"
#include "kel_timer.h"
#include "kel_types.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace kel::detail {

// Width of a vertical bar, height of a horizontal one.
constexpr int ScrollBarSize = 17;

// Fills R with a solid colour.
void FillSolid(TCanvas& C, const TRect& R, TColor Color);
// A raised button face: highlight on the top and left, shadows on the bottom and right.
void DrawButtonFace(TCanvas& C, const TRect& R);
// A small solid triangle pointing Dir (0 up, 1 down, 2 left, 3 right) centred in R.
void DrawArrow(TCanvas& C, const TRect& R, int Dir, TColor Color);
// The sunken 2-pixel frame of edits, grids and tree views.
void DrawSunkenFrame(TCanvas& C, const TRect& R);

class TScrollBar {
  public:
    enum TPart : std::uint8_t { bpNone, bpLineUp, bpLineDown, bpPageUp, bpPageDown, bpThumb };

    // OnScroll(NewPos) is called for every move the user makes (already clamped to 0..Max).
    TScrollBar(bool Vertical, std::function<void(int)> OnScroll);
    ~TScrollBar();
    TScrollBar(const TScrollBar&) = delete;
    TScrollBar& operator=(const TScrollBar&) = delete;

    bool Vertical() const { return FVertical; }
    // Where the bar lies (client coordinates); empty hides it.
    const TRect& BoundsRect() const { return FRect; }
    void SetBoundsRect(const TRect& R) { FRect = R; }
    bool Shown() const { return !FRect.IsEmpty(); }
    // Range and position; Pos is clamped to 0..Max. Total is what the thumb's length is the
    // page's share of (0: Max + Page; the grid gives its count of scrollable rows).
    void SetRange(int Max, int Page, int Line, int Total = 0);
    void SetPos(int Pos);
    int Pos() const { return FPos; }
    int Max() const { return FMax; }
    int Page() const { return FPage; }

    // Geometry of the parts as they are now.
    TRect UpRect() const;
    TRect DownRect() const;
    TRect TrackRect() const;
    TRect ThumbRect() const;
    TPart HitTest(TPoint P) const;

    void Paint(TCanvas& C, bool Enabled) const;

    // Mouse: a press on the bar (true when P lies on it), moves while tracking, the release.
    bool MouseDown(TPoint P);
    void MouseMove(TPoint P);
    void MouseUp();
    bool Tracking() const { return FTracking || FRepeatPart != bpNone; }
    // Without thumb tracking a dragged thumb only moves and scrolls on release (default: on).
    void SetTrackThumb(bool Value) { FTrackThumb = Value; }
    // Asked before each repeat step: false (the button went up where the owner did not see it)
    // ends the press as Cancel does.
    void SetStillHeld(std::function<bool()> Held) { FStillHeld = std::move(Held); }
    // Ends a press without applying anything (a thumb dragged without tracking stays put).
    void Cancel();

  private:
    void Step(TPart Part);
    void RepeatTick();
    int ThumbToPos(int ThumbStart) const;

    bool FVertical;
    std::function<void(int)> FOnScroll;
    TRect FRect{};
    int FMax = 0, FPage = 1, FLine = 1, FPos = 0, FTotal = 0;
    bool FTrackThumb = true;
    std::function<bool()> FStillHeld;
    bool FTracking = false;
    int FGrabOffset = 0;
    int FThumbPos = -1; // thumb start while dragged (pixels along the track)
    TPart FRepeatPart = bpNone;
    TPoint FLastMouse{};
    std::unique_ptr<TMessageTimer> FRepeatTimer;
    std::shared_ptr<char> FAlive = std::make_shared<char>(0); // expires with the bar
};

} // namespace kel::detail
