// Buttons: the push button of dialogs (TButton, windowed, focusable, with Default, Cancel and
// ModalResult) and the windowless speed button (TSpeedButton) with a glyph of up to four
// images, toggle groups and a flat look.
//
// Clicks. TButton fires OnClick on a left release inside it, before OnMouseUp (the framework's
// rule), on Space (released while focused) and on Enter when it is focused or is the Default
// button of its form, on Esc when it is the Cancel button. A button with a ModalResult other
// than mrNone sets its form's ModalResult when clicked, which ends a modal form's loop.
//
// TSpeedButton fires OnClick at the end of its own MouseUp, so OnMouseUp comes first, and only
// when the release lies inside (0 <= X < Width, 0 <= Y <= Height). Its mouse handling is
// virtual (MouseDown, MouseMove, MouseUp, UpdateTracking) so a descendant can add auto-repeat.
//
// Index: TButton; speed-button enumerations; TSpeedButton.
#pragma once

#include "kel_controls.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kel {

// ---- TButton ----------------------------------------------------------------------------------

class TButton : public TWinControl {
  public:
    explicit TButton(TComponent* AOwner);
    std::string ClassName() const override { return "TButton"; }

    // Enter clicks it when no other button has the focus. Default false.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Esc clicks it. Default false.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Assigned to the form's ModalResult when clicked (mrNone: nothing). Default mrNone.
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value) { FModalResult = Value; }
    // The button looks pressed (held by mouse or Space).
    bool Pressed() const { return FPressed; }

    // Sets the form's ModalResult (when ModalResult is not mrNone), then fires OnClick.
    void Click() override;

  protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyUp(std::uint16_t& Key, TShiftState Shift) override;
    void CMDialogKey(TMessage& Message) override;
    // Alt with the caption's accelerator clicks the button (when it could take the focus).
    void CMDialogChar(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void WndProc(TMessage& Message) override;

  private:
    void SetPressed(bool Value);
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
    bool FPressed = false;
    bool FMouseHeld = false;
    bool FSpaceHeld = false;
};

// ---- Speed-button types -----------------------------------------------------------------------

// Where the glyph lies relative to the caption.
enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// What the button shows: released, disabled, pressed (held), stays down (toggled).
enum TButtonState : std::uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };

// ---- TSpeedButton -----------------------------------------------------------------------------

// A windowless button with a caption and a glyph. Glyph holds NumGlyphs images side by side
// (up, disabled, down, stays down); a missing one falls back to the up image, and a missing
// disabled image is drawn embossed from the up image's shape. The glyph's bottom-left pixel
// colour is transparent. GroupIndex 0 is a push button (Down stays false); buttons of one
// parent with the same GroupIndex > 0 form a group with at most one down, where AllowAllUp
// (shared by the group) lets the down one be clicked up. Size 23 x 22.
class TSpeedButton : public TGraphicControl {
  public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    std::string ClassName() const override { return "TSpeedButton"; }

    // The images; assigning copies. Changes made to Glyph() directly need Invalidate.
    TBitmap& Glyph() { return *FGlyph; }
    const TBitmap& Glyph() const { return *FGlyph; }
    void SetGlyph(const TBitmap& Value);
    // Images in Glyph, 1..4 (other values are clamped). Default 1.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; } // default blGlyphLeft
    void SetLayout(TButtonLayout Value);
    // Pixels from the layout side to the glyph; -1 centres glyph and caption. Default -1.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // Pixels between glyph and caption; -1 spreads them evenly. Default 4.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // 0: push button; > 0: the toggle group among the parent's speed buttons. Default 0.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // Stays pressed (groups only). Setting it true raises the group's other down button;
    // setting it false on the down button of a group without AllowAllUp is ignored.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // The down button of the group may be clicked up; shared by the group. Default false.
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    // Border only while the pointer is over the button (or it is down). Default false.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // A flat button shows its parent's background. Default true.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);

    // What the button shows now, and whether the pointer is over it.
    TButtonState State() const { return FState; }
    bool MouseInControl() const { return FMouseInControl; }
    // The pressed face: a left press held, or Down.
    bool ShowsPressed() const { return FState == bsDown || FState == bsExclusive; }
    // Where Paint puts the glyph image and the caption's top-left (for tests and descendants).
    void CalcLayout(TRect& GlyphRect, TPoint& TextPos) const;
    // The image Paint uses for a state (0..3): a missing one falls back to the up image; -1
    // when the disabled look must be drawn from the up image.
    int GlyphIndexFor(TButtonState State) const;

  protected:
    void Paint() override;
    // Left press: pressed face, tracking starts (Down buttons keep their face).
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // While tracking: the face follows whether the pointer is inside.
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // OnMouseUp, then (release inside) Down toggles in a group, then Click.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The rule for "inside" of a release: 0 <= X < Width and 0 <= Y <= Height.
    virtual bool ReleaseInside(int X, int Y) const;
    // Recomputes the hover state from the form's pointer (after a click, a state change).
    virtual void UpdateTracking();
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void WndProc(TMessage& Message) override;
    // Tracking a left press.
    bool Dragging() const { return FDragging; }
    void SetState(TButtonState Value);

  private:
    void UpdateExclusive();
    void ButtonPressed(int Group, TSpeedButton* Sender);
    void DrawGlyph(TCanvas& C, const TRect& R, int Index) const;

    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTransparent = true;
    TButtonState FState = bsUp;
    bool FDragging = false;
    bool FMouseInControl = false;
};

} // namespace kel
