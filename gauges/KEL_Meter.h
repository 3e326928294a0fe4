// TMeter: an analog meter. A windowless control that shows a value on a circular dial: a
// linear or logarithmic scale between MeterMinValue and MeterMaxValue with long and short
// ticks and number labels, an optional band of three colours behind the scale (low, normal,
// high, split at ThresholdLow and ThresholdHigh), a caption, a polygon needle with a shadow, a
// covered needle anchor, two limit-watch lamps, rims and a frame. It raises overflow, underflow
// and normal-range events as the value crosses the thresholds and reports mouse positions over
// the dial as scale values. TNeedleLayout describes how a needle looks.
//
// Choices made where the behaviour is open:
//   * mlCirc180, mlCirc270 and mlCirc360 have the geometry given in meter_scale.h
//     (CalcMeterGeometry): scale, labels and needle stay inside the dial window at every size
//     that leaves room for them.
//   * The secondary needle is drawn with NeedleLayoutSec at the angle of ValueSec when that
//     layout is Visible, before OnBeforeDrawNeedle and the main needle. The main needle is
//     always drawn (unless OnBeforeDrawNeedle takes over); NeedleLayout.Visible governs only
//     the range events of Value.
//   * BkgndFillMode bfCenter (and any ordinal beyond it) draws the background picture at its
//     own size, centred, over the same white box as bfSimple.
//   * A background picture that exists but cannot be read raises its error and leaves the
//     property and the picture as they were.
//   * The rim setters recompute the geometry (the rims bound the dial), so what is on screen
//     is what a form file reloads.
//   * After loading from a form file the geometry is recomputed (so rims read after the size
//     count), a maximum not above the minimum becomes minimum + 1, a logarithmic scale whose
//     limits are not both above 1e-100 becomes linear, both values and both thresholds are
//     brought inside the limits and a high threshold below the low one is raised to it, as the
//     setters would have made them; the limit lamps then show where the loaded value stands
//     (no range event fires while loading). A scale whose range cannot be divided into steps
//     draws no ticks.
//   * On a full circle (mlCirc360) the maximum lies where the minimum does; its tick is drawn
//     but its label is left out, so the two labels do not overprint.
//   * A value, limit or threshold that is not a number raises EKELError and changes nothing.
//
// Setters that change what is shown invalidate the meter (one deferred paint however many
// setters run before the message loop); the range events fire from the setters, at once.
//
// Index: event types; TNeedleLayout; TMeter.
#pragma once

#include "meter_scale.h"
#include "Kel_kelbase.h"
#include "kel_controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kel {

// ---- Event types ------------------------------------------------------------------------------

// Before a tick label is drawn: the handler may change the text; an empty text draws no label
// (the tick is drawn all the same). (ChartX, ChartY) is the label's top-left corner.
using TmtBeforeDrawScaleLabelEvent = std::function<void(
    TObject* Sender, TCanvas& Canvas, std::string& CurrentTickLabel, int ChartX, int ChartY)>;
// After everything but the outer frame is drawn, on the off-screen canvas.
using TMeterRenderedEvent = std::function<void(TObject* Sender, TCanvas& Canvas)>;
// The mouse moved over the meter: WithinRange tells whether its direction from the centre lies
// within the scale's sweep, MeterValue is then the scale value there (else 0).
using TMouseMoveInMeterEvent =
    std::function<void(TObject* Sender, bool WithinRange, TShiftState Shift, double MeterValue)>;
// Before the main needle is drawn: set NeedleDrawn to true to draw it yourself (or not at all).
using TBeforeDrawNeedleEvent =
    std::function<void(TObject* Sender, TCanvas& Canvas, bool& NeedleDrawn)>;

// ---- TNeedleLayout ----------------------------------------------------------------------------

// How a needle looks: head, shaft, colours, length and shadow. A layout made on its own has
// every field zero, false or unassigned; the meter gives its two layouts the documented
// defaults. Every setter that changes something calls OnChange(this).
class TNeedleLayout : public TPersistent {
  public:
    TNeedleLayout() = default;
    std::string ClassName() const override { return "TNeedleLayout"; }
    // From another TNeedleLayout: the eleven appearance values (not OnChange), then one
    // OnChange. Other sources as TPersistent does.
    void Assign(const TPersistent* Source) override;
    // The eleven values without OnChange.
    void CopyValues(const TNeedleLayout& Source);

    int HeadSize() const { return FSize1; } // barb length, pixels (20)
    void SetHeadSize(int Value);
    int HeadAngle() const { return FAngle1; }       // head opening, degrees 0..180 (30)
    void SetHeadAngle(int Value);                   // clamped to 0..180
    int HeadMidLeng() const { return FBackShift1; } // tip to shaft joint, pixels (20)
    void SetHeadMidLeng(int Value);
    int Thickness() const { return FThickness; } // shaft width, pixels (0)
    void SetThickness(int Value);
    TColor ColorBody() const { return FColorFill; } // fill (clSilver)
    void SetColorBody(TColor Value);
    TColor ColorOutline() const { return FColorLine; } // outline (clBlack)
    void SetColorOutline(TColor Value);
    int PercentNeedleLength() const { return FPctNeedleLeng; } // of radius - 4, 0..100 (100)
    void SetPercentNeedleLength(int Value);                    // clamped to 0..100
    int ShadowDx() const { return FShadowDx; }                 // shadow lies this far left (0)
    void SetShadowDx(int Value);
    int ShadowDy() const { return FShadowDy; } // shadow lies this far up (0)
    void SetShadowDy(int Value);
    TColor ShadowColor() const { return FShadowColor; } // (clGray)
    void SetShadowColor(TColor Value);
    bool Visible() const { return FVisible; } // main true, secondary false
    void SetVisible(bool Value);
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

  protected:
    void Changed();

  private:
    TColor FColorFill = 0;
    TColor FColorLine = 0;
    int FSize1 = 0;
    int FThickness = 0;
    int FPctNeedleLeng = 0;
    int FAngle1 = 0;
    int FBackShift1 = 0;
    int FShadowDx = 0;
    int FShadowDy = 0;
    TColor FShadowColor = 0;
    TNotifyEvent FOnChange;
    bool FVisible = false;
};

// ---- TMeter -----------------------------------------------------------------------------------

class TMeter : public TGraphicControl {
  public:
    // 297 x 209 pixels, the documented defaults, both needle layouts, the caption font (a copy
    // of Font) and the three 10 x 10 picture bitmaps; then the geometry.
    explicit TMeter(TComponent* AOwner);
    ~TMeter() override;
    std::string ClassName() const override { return "TMeter"; }

    // The framework's, then the geometry for the new size.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // --- values, limits, thresholds (see the value rules in the docs) ---
    double Value() const { return FValue; } // main needle, clamped to the limits
    void SetValue(double AValue);
    double ValueSec() const { return FValue2; } // secondary needle
    void SetValueSec(double AValue);
    double MeterMinValue() const { return FMinValue; } // 0
    void SetMeterMinValue(double AValue);
    double MeterMaxValue() const { return FMaxValue; } // 1
    void SetMeterMaxValue(double AValue);
    double ThresholdLow() const { return FLowThreshold; } // 0; at or below: underflow
    void SetThresholdLow(double AValue);
    double ThresholdHigh() const { return FHighThreshold; } // 1; at or above: overflow
    void SetThresholdHigh(double AValue);
    bool Logarithmic() const { return FLogarithmic; } // false; needs both limits > 1e-100
    void SetLogarithmic(bool AValue);

    // --- scale ---
    TMeterLayout MeterLayout() const { return FMeterLayout; } // mlCirc90
    void SetMeterLayout(TMeterLayout AValue);
    int MeterDecPlaces() const { return FDecPlaces; } // label fraction digits, 0..4 (1)
    void SetMeterDecPlaces(int AValue);
    int MeterNrTicks() const { return FNrTicks; } // intervals asked for, 2..21 (3)
    void SetMeterNrTicks(int AValue);
    bool MeterShortTicks() const { return FShortTicks; } // true
    void SetMeterShortTicks(bool AValue);
    bool MeterScaleLine() const { return FScaleLine; } // the arc; true
    void SetMeterScaleLine(bool AValue);
    bool ScaleVisible() const { return FScaleVis; } // arc, ticks and labels; true
    void SetScaleVisible(bool AValue);
    TColor ColorScale() const { return FColorScale; } // clNavy
    void SetColorScale(TColor AValue);

    // --- colour band behind the scale ---
    bool ScaleBkVisible() const { return FScaleBkVis; } // false
    void SetScaleBkVisible(bool AValue);
    double ScaleBkWidth() const { return FScaleBakWidth; } // % of the radius, 0..100 (0)
    void SetScaleBkWidth(double AValue);
    TColor ColorSclBkLow() const { return FColorBakGLow; } // clLime
    void SetColorSclBkLow(TColor AValue);
    TColor ColorSclBkNorm() const { return FColorBakGNorm; } // 0x0080FF
    void SetColorSclBkNorm(TColor AValue);
    TColor ColorSclBkHigh() const { return FColorBakGHigh; } // clRed
    void SetColorSclBkHigh(TColor AValue);

    // --- dial, caption, rims, frame ---
    TColor ColorBakG() const { return FColorBakG; } // dial background, clWhite
    void SetColorBakG(TColor AValue);
    TColor ColorCover() const { return FColorCover; } // rims and anchor, clBtnFace
    void SetColorCover(TColor AValue);
    // The text inside the dial (the meter's own, drawn in FontCaption; not the control text).
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& AValue);
    // Owned; changing it (or assigning through SetFontCaption) invalidates the meter.
    TFont& FontCaption() { return *FFontCaption; }
    const TFont& FontCaption() const { return *FFontCaption; }
    void SetFontCaption(const TFont& AValue);
    int RimTop() const { return FTRim; } // pixels (8)
    void SetRimTop(int AValue);
    int RimBottom() const { return FBRim; } // pixels (10)
    void SetRimBottom(int AValue);
    int RimSide() const { return FSRim; } // pixels (10)
    void SetRimSide(int AValue);
    TFrameStyle FrameStyle() const { return FFrameStyle; } // ordinal 3
    void SetFrameStyle(TFrameStyle AValue);
    TColorScheme ColorScheme() const { return FColorScheme; } // ordinal 0
    void SetColorScheme(TColorScheme AValue);

    // --- anchor, lamps, pictures ---
    int AnchorSize() const { return FSizeAnchor; } // hub radius, pixels (24)
    void SetAnchorSize(int AValue);
    bool AnchorCovered() const { return FAnchorCovrd; } // true
    void SetAnchorCovered(bool AValue);
    // A picture file drawn over the needle root; its black pixels are transparent. A name of a
    // file that does not exist (or cannot be read) leaves the property empty.
    const std::string& AnchorImage() const { return FACoverFName; }
    void SetAnchorImage(const std::string& AValue);
    // A picture file for the dial background. A missing file clears the property; a file that
    // cannot be read raises its error and changes nothing.
    const std::string& BackGroundImg() const { return FBakGndFName; }
    void SetBackGroundImg(const std::string& AValue);
    TBkgFill BkgndFillMode() const { return FBGFillMode; } // bfSimple
    void SetBkgndFillMode(TBkgFill AValue);
    bool LimWatchHighOn() const { return FLimWatHighOn; } // true
    void SetLimWatchHighOn(bool AValue);
    bool LimWatchLowOn() const { return FLimWatLowOn; } // true
    void SetLimWatchLowOn(bool AValue);
    TColor LimWatchActColor() const { return FLimWatActCol; } // clRed
    void SetLimWatchActColor(TColor AValue);
    TColor LimWatchPsvColor() const { return FLimWatPsvCol; } // clGray
    void SetLimWatchPsvColor(TColor AValue);

    // --- needles (owned; the setters copy the given layout's values) ---
    TNeedleLayout& NeedleLayout() { return *FNeedleLayout; }
    const TNeedleLayout& NeedleLayout() const { return *FNeedleLayout; }
    void SetNeedleLayout(const TNeedleLayout& AValue);
    TNeedleLayout& NeedleLayoutSec() { return *FNeedle2Layout; }
    const TNeedleLayout& NeedleLayoutSec() const { return *FNeedle2Layout; }
    void SetNeedleLayoutSec(const TNeedleLayout& AValue);

    // --- geometry (read-only; recomputed on a change of size, layout or rims and after
    // loading) ---
    int OriginX() const { return FMeterCenterX; } // dial centre, control pixels
    int OriginY() const { return FMeterCenterY; }
    double ScaleRadius() const { return FMeterRadius; } // scale radius, pixels

    // --- conversions ---
    // Needle angle of a value (clamped to the limits), degrees clockwise from straight down.
    double CalcNeedleAngle(double AValue) const;
    // The control pixel at PercentRadius % of the scale radius in the direction of a value
    // (clamped to the limits).
    void ConvertToPixelCoords(double AValue, double PercentRadius, int& X, int& Y) const;
    // The scale value in the direction of control pixel (XPos, YPos); false (and 0) outside
    // the scale's sweep.
    bool ConvertPixelToValue(int XPos, int YPos, double& MeterValue) const;

    // Draws the whole meter into Target, resized to the control's size (what Paint shows).
    // With a radius of 0 or less nothing is drawn: false, and Target is left as it was.
    bool RenderTo(TBitmap& Target);

    // The needle layouts' change handler: invalidates the meter.
    void StyleChanged(TObject* Sender);

    // --- events ---
    TBeforeDrawNeedleEvent OnBeforeDrawNeedle() const { return FOnBeforeDrawNeedle; }
    void SetOnBeforeDrawNeedle(TBeforeDrawNeedleEvent e) { FOnBeforeDrawNeedle = std::move(e); }
    TmtBeforeDrawScaleLabelEvent OnBeforeDrawScaleLabel() const { return FOnBeforeDrawScaleLabel; }
    void SetOnBeforeDrawScaleLabel(TmtBeforeDrawScaleLabelEvent e) {
        FOnBeforeDrawScaleLabel = std::move(e);
    }
    TMeterRenderedEvent OnMeterRendered() const { return FOnMeterRendered; }
    void SetOnMeterRendered(TMeterRenderedEvent e) { FOnMeterRendered = std::move(e); }
    TMouseMoveInMeterEvent OnMouseMoveInMeter() const { return FOnMouseMoveInMeter; }
    void SetOnMouseMoveInMeter(TMouseMoveInMeterEvent e) { FOnMouseMoveInMeter = std::move(e); }
    TNotifyEvent OnNormalRange() const { return FOnNormalRange; }
    void SetOnNormalRange(TNotifyEvent e) { FOnNormalRange = std::move(e); }
    TNotifyEvent OnOverFlow() const { return FOnOverFlow; }
    void SetOnOverFlow(TNotifyEvent e) { FOnOverFlow = std::move(e); }
    TNotifyEvent OnUnderFlow() const { return FOnUnderFlow; }
    void SetOnUnderFlow(TNotifyEvent e) { FOnUnderFlow = std::move(e); }

    void WndProc(TMessage& Message) override;

  protected:
    // After loading: the framework's, then the values and thresholds brought into the limits
    // (with the repairs listed at the top), the geometry, the pictures, an invalidation.
    void Loaded() override;
    void Paint() override;
    // WM_MOUSEMOVE after the framework's own handling: the value under the pointer, reported.
    void WMMouseMoveInMeter(TMessage& Message);
    void MouseMoveInMeter(bool WithinRange, TShiftState Shift, double MeterValue);
    void DoOverFlowEvent();
    void DoUnderFlowEvent();
    void DoNormalRangeEvent();
    void SignalRange(double V); // limit flag and range event for a needle value V
    // Sweep, radius and centre from the layout, the size and the rims.
    void CalcMeterLayoutParams();

  private:
    bool Loading() const { return ComponentState().contains(csLoading); }
    void Changed(); // invalidate: one deferred, merged paint
    void LoadBackground(const std::string& FileName);
    bool LoadAnchor(const std::string& FileName);
    void BuildAnchorMask();
    // Painting steps (meter_paint.cpp).
    void DrawBackground(TCanvas& C, int W, int H);
    void DrawScaleBand(TCanvas& C);
    void DrawScale(TCanvas& C);
    // Returns a box holding every pixel it may have drawn.
    TRect DrawNeedle(TCanvas& C, const TNeedleLayout& L, double AngleDeg);
    void DrawAnchor(TCanvas& C, int W, int H);
    void DrawLamp(TCanvas& C, int XL, int YT, bool Active);
    void DrawOuterFrame(TCanvas& C, int W, int H);
    bool LogScale() const { return FLogarithmic && FMinValue > 0 && FMaxValue > 0; }
    // The scale's ticks and labels in pixels, rebuilt when anything they depend on changes
    // (limits, scale kind, tick count, decimals, geometry, label font): a repaint of a moving
    // needle then only draws them.
    struct TScaleCache {
        struct Key {
            double Min = 0, Max = 0, Radius = 0;
            bool Log = false;
            int NrTicks = 0, DecPlaces = 0, CX = 0, CY = 0, Angle = 0;
            TLogFont Font;
            bool operator==(const Key& o) const; // the font by its description
        };
        struct Tick {
            TPoint Outer, Inner; // the tick runs from Outer towards (not including) Inner
            bool Labelled = false;
            std::string Text; // label text
            TPoint Label;     // where the label is centred
            int TextW = 0, TextH = 0;
        };
        Key K;
        bool Valid = false;
        std::vector<Tick> Short, Long;
    };
    const TScaleCache& ScaleLayout(TCanvas& C);
    std::unique_ptr<TScaleCache> FScaleCache;
    // What a paint draws under the needles (background, band, scale, caption) and over them
    // (rims, anchor, lamps, frame), each kept with a key of everything it depends on; a paint
    // whose keys match copies them and draws only the needles. Used when no event handler can
    // draw between the steps (or change the canvas they draw with).
    struct TDialCache {
        std::string UnderKey, OverKey; // empty: not built
        // The layers last drawn straight onto the target, without building their cache.
        std::string UnderSeen, OverSeen;
        TBitmap Under; // the dial below the needles
        TPen Pen;      // the canvas state the needle steps start from
        TBrush Brush;
        TFont Font;
        TPoint UnderPenPos;
        std::vector<std::uint32_t> Over;                        // overlay pixels, W x H
        std::vector<std::pair<std::size_t, std::size_t>> Spans; // (start, length) drawn
        // The meter's own bitmap when its last paint composed it from these layers (of these
        // keys), and the box of the needles on it.
        struct TComposed {
            const TBitmap* Target = nullptr;
            TRect Needles;
            std::string UnderKey, OverKey;
        };
        TComposed Composed;
    };
    std::string UnderlayKey() const;
    std::string OverlayKey() const;
    void DrawUnderlay(TCanvas& C, TBitmap& Target, int W, int H);
    void DrawOverlay(TCanvas& C, int W, int H);
    std::unique_ptr<TDialCache> FDialCache;
    std::uint64_t FPictureGen = 0; // counts loads of the background picture

    bool FAnchorCovrd = true;
    std::unique_ptr<TBitmap> AuxBGBmp, AuxACBmp, AuxACMaskBmp;
    std::unique_ptr<TBitmap> FBuffer; // off-screen surface of Paint, kept between paints
    std::string FBakGndFName;
    TBkgFill FBGFillMode = bfSimple;
    std::string FACoverFName;
    bool FLogarithmic = false;
    bool FScaleVis = true;
    int FSizeAnchor = 24;
    bool FLimWatHighOn = true, FLimWatLowOn = true;
    TColor FLimWatActCol = clRed, FLimWatPsvCol = clGray;
    bool FOFL = false, FUFL = false;
    TColor FColorScale = clNavy;
    std::string FCaption;
    TFrameStyle FFrameStyle = fstRaised;
    int FDecPlaces = 1;
    int FNrTicks = 3;
    int FBRim = 10, FSRim = 10, FTRim = 8;
    bool FShortTicks = true, FScaleLine = true;
    TColor FColorBakG = clWhite, FColorCover = clBtnFace;
    TColor FColGrayLine = clGray, FColWhiteLine = clWhite;
    TColorScheme FColorScheme = cschClassic;
    TColor FColorBakGLow = clLime, FColorBakGNorm = 0x0080FF, FColorBakGHigh = clRed;
    std::unique_ptr<TFont> FFontCaption;
    double FScaleBakWidth = 0;
    bool FScaleBkVis = false;
    double FLowThreshold = 0, FHighThreshold = 1;
    std::unique_ptr<TNeedleLayout> FNeedleLayout, FNeedle2Layout;
    TMeterLayout FMeterLayout = mlCirc90;
    int FMeterAngle = 90;
    double FMeterRadius = 0;
    int FMeterCenterX = 0, FMeterCenterY = 0;
    double FValue = 0, FValue2 = 0, FMinValue = 0, FMaxValue = 1;

    TBeforeDrawNeedleEvent FOnBeforeDrawNeedle;
    TmtBeforeDrawScaleLabelEvent FOnBeforeDrawScaleLabel;
    TMeterRenderedEvent FOnMeterRendered;
    TMouseMoveInMeterEvent FOnMouseMoveInMeter;
    TNotifyEvent FOnNormalRange, FOnOverFlow, FOnUnderFlow;
};

} // namespace kel
