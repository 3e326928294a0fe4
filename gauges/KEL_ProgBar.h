// TProgBar: a windowless progress bar. It shows Value between Min and Max as a bar inside a
// track framed by margins, in one colour or as a gradient from a 1024-entry colour table mapped
// onto the bar in one of three ways (TColorMapping), with optional grid lines, an optional
// picture in the track, an outer and an inner frame, and the value as text at any angle. A
// built-in auto-increment timer adds AutoIncStep to Value, first after StartInterval and then
// every RepeatInterval milliseconds.
//
// Geometry (pure functions below, so it can be checked without painting): the track is
// (MarginLeft, MarginTop, Width - MarginRight, Height - MarginBottom). With q = (Value - Min) /
// (Max - Min) (not limited to 0..1; 0 when Max equals Min, so the bar is then empty):
//   drUp     grows from the track's bottom up by Round(trackHeight * q) rows
//   drDown   grows from the top down: drUp mirrored top to bottom, pixel for pixel
//   drLeft   grows from the right to the left: drRight mirrored, pixel for pixel
//   drRight  grows from the track's left end by Round(trackWidth * q) columns
// Gradients and grid lines are mirrored with the bar.
//
// Colour table: ColorMin is entry 0, ColorMax entry 1023; setting either recomputes entries 1
// to 1022 by per-channel interpolation (system colours are resolved to RGB first). BarColors
// writes single entries that stay until the next ColorMin or ColorMax change.
#pragma once

#include "Kel_kelbase.h"
#include "kel_app.h"
#include "kel_controls.h"
#include "kel_timer.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace kel {

enum TColorMapping : std::uint8_t {
    cgmCover,   // the gradient covers the whole track; the bar uncovers part of it
    cgmStretch, // the whole gradient is stretched over the bar
    cgmMove     // track scale, but the ColorMax end travels with the bar's end
};

// ValueText may be changed by the handler; the bar shows the changed text.
using TBeforeShowValueEvent = std::function<void(TObject* Sender, std::string& ValueText)>;

class EKELProgBar : public EKELError {
  public:
    using EKELError::EKELError;
};

constexpr int ProgBarColorCount = 1024;

// Per-channel interpolation between C0 and C1 at X (clamped to 0..1): each channel becomes
// Trunc(c0 + (c1 - c0) * X); the top byte of the result is 0. System colours are resolved first.
TColor ProgBarInterpolateColor(TColor C0, TColor C1, double X);
// Table index of line F (0-based from the bar's start) of a bar of N lines on a track of
// TrackLen lines, limited to 0..1023. A track of length 0 or less gives index 0.
int ProgBarGradientIndex(TColorMapping Mode, int F, int N, int TrackLen);
// The value fraction (Value - Min) / (Max - Min); 0 when Max equals Min or the result is NaN.
double ProgBarFraction(double Value, double Min, double Max);
// Extent of the bar in pixels along a track of TrackLen pixels: Round(TrackLen * Q), limited to
// +-2^30 so that absurd values cannot overflow.
int ProgBarExtent(int TrackLen, double Q);
// Where TextOut writes a text of width TextW and height TextH whose anchor (left end, right end
// or centre by Alignment, on the middle of the text's height) is (PX, PY) when the text is
// rotated by AngleDeg counter-clockwise.
TPoint ProgBarTextOrigin(TAlignment Alignment, int PX, int PY, int TextW, int TextH, int AngleDeg);

class TProgBar : public TGraphicControl {
  public:
    // Created 300 x 28 pixels with the defaults listed below, with its (stopped)
    // auto-increment timer.
    explicit TProgBar(TComponent* AOwner);
    // Stops the timer.
    ~TProgBar() override;
    std::string ClassName() const override { return "TProgBar"; }

    // Copies the looks, range and value from another TProgBar (not the timer settings,
    // OnAutoInc or Font) and invalidates; anything else goes to the framework.
    void Assign(const TPersistent* Source) override;

    // --- published properties (defaults in brackets) ---
    // Runs the auto-increment timer (never at design time) [false]. Raises EKELProgBar
    // "Component "<Name>": no timer available" when the platform refuses the timer; AutoInc
    // then reads false.
    bool AutoInc() const { return FTimerEnabled; }
    void SetAutoInc(bool Value);
    double AutoIncStep() const { return FAutoIncStep; } // added per tick; 0 is ignored [1]
    void SetAutoIncStep(double Value);
    // Picture file stretched into the track [""]: a file that fails to load is ignored (the
    // old name and picture stay); "" stops drawing the picture.
    const std::string& BackGroundImg() const { return FBakGndFile; }
    void SetBackGroundImg(const std::string& Value);
    TColor ColorBackGnd() const { return FColorBakG; } // the track [clSilver]
    void SetColorBackGnd(TColor Value);
    TColorMapping ColorMapMode() const { return FColorMapMode; } // [cgmStretch]
    void SetColorMapMode(TColorMapping Value);
    TColor ColorGrid() const { return FColorGrid; } // [clBlack]
    void SetColorGrid(TColor Value);
    TColor ColorMargin() const { return FColorMargin; } // round the track [clSilver]
    void SetColorMargin(TColor Value);
    TColorScheme ColorScheme() const { return FColorScheme; } // frame lines [cschClassic]
    void SetColorScheme(TColorScheme Value);
    TColor ColorMin() const { return FBarColorArray[0]; } // gradient start, solid bar [clBlue]
    void SetColorMin(TColor Value);
    TColor ColorMax() const { return FBarColorArray[ProgBarColorCount - 1]; } // [clRed]
    void SetColorMax(TColor Value);
    // Frame styles: fstNone, fstLoweredThin (thin grey), fstLowered (sunken), fstRaised,
    // fstEmbossed (ridge), fstSimple (groove).
    TFrameStyle FrameStyleOuter() const { return FOuterFrameSt; } // [fstRaised]
    void SetFrameStyleOuter(TFrameStyle Value);
    TFrameStyle FrameStyleInner() const { return FInnerFrameSt; } // [fstLowered]
    void SetFrameStyleInner(TFrameStyle Value);
    int GridDist() const { return FGridDist; } // pixels between grid lines; <= 1: none [0]
    void SetGridDist(int Value);
    int MarginBottom() const { return FMarginBottom; } // [4]
    void SetMarginBottom(int Value);
    int MarginLeft() const { return FMarginLeft; } // [4]
    void SetMarginLeft(int Value);
    int MarginRight() const { return FMarginRight; } // [4]
    void SetMarginRight(int Value);
    int MarginTop() const { return FMarginTop; } // [4]
    void SetMarginTop(int Value);
    double Max() const { return FProgMax; } // [100]
    void SetMax(double Value);
    double Min() const { return FProgMin; } // [0]
    void SetMin(double Value);
    TDirection Direction() const { return FDirection; } // [drRight]
    void SetDirection(TDirection Value);
    // Milliseconds between the later ticks; below 10 becomes 10 [700].
    int RepeatInterval() const { return FRepeatIv; }
    void SetRepeatInterval(int Value);
    bool ShowColorGradient() const { return FColorGrad; } // [false]
    void SetShowColorGradient(bool Value);
    // Milliseconds before the first tick; below 10 becomes 10 [1500].
    int StartInterval() const { return FStartIv; }
    void SetStartInterval(int Value);
    TAlignment TextAlignment() const { return FAlignment; } // anchor of the text [taCenter]
    void SetTextAlignment(TAlignment Value);
    int TextAngle() const { return FTextAngle; } // degrees CCW, clamped to 0..360 [0]
    void SetTextAngle(int Value);
    // Decimals of the value text, clamped to -2..10 [0]: -1 short scientific, -2 scientific.
    int TextDecPlaces() const { return FTextDecPlaces; }
    void SetTextDecPlaces(int Value);
    int TextPosX() const { return FTextPosX; } // text anchor, clamped to 0..Width [14]
    void SetTextPosX(int Value);
    int TextPosY() const { return FTextPosY; } // clamped to 0..Height [14]
    void SetTextPosY(int Value);
    bool TextVisible() const { return FShowValue; } // [true]
    void SetTextVisible(bool Value);
    double Value() const { return FProgValue; } // [10]
    void SetValue(double Value);
    TNotifyEvent OnAutoInc() const { return FOnAutoInc; }
    // Stores the handler and (unless designing) restarts the timer at RepeatInterval.
    void SetOnAutoInc(TNotifyEvent Handler);
    // Asked for the value text (while TextVisible) by the setter that changes it (Value,
    // TextDecPlaces, TextVisible, Assign, a timer tick), once per change; the paint shows the
    // text it returned. A new handler is asked by the next paint.
    TBeforeShowValueEvent OnShowValue() const { return FOnShowValue; }
    void SetOnShowValue(TBeforeShowValueEvent Handler);

    // --- public, not published ---
    // Table entry Ix (0..1023) without recomputation or repaint; other indexes raise
    // EKELProgBar "Component "<Name>": BarColors index <Ix> out of range 0..1023".
    TColor BarColors(int Ix) const { return GetBarColorElem(Ix); }
    void SetBarColors(int Ix, TColor Value) { SetBarColorElem(Ix, Value); }
    TColor GetBarColorElem(int Ix) const;
    void SetBarColorElem(int Ix, TColor Value);
    // Min becomes the smaller and Max the larger of A and B; invalidates.
    void SetRange(double A, double B);

  protected:
    void AssignTo(TPersistent* Dest) const override;
    void Paint() override;
    // One timer tick: in the start phase switch to the repeat interval first, then
    // AutoIncEvent, then OnAutoInc.
    virtual void DoTimer();

  private:
    void Changed(); // invalidate: one deferred, merged paint
    // Works out the value text and asks OnShowValue (unless hidden: then the paint asks).
    void UpdateValueText();
    const std::string& ShownValueText(); // the text to paint, worked out when still owed
    void TimerTick();
    void AutoIncEvent();
    void InitTimer();
    void UpdateTimer();
    void StartTimer(int Interval);
    bool Designing() const { return ComponentState().contains(csDesigning); }
    void FillColorTable();
    void DrawFrameStyle(TCanvas& C, TFrameStyle Style, int Lf, int Tp, int Rt, int Bt);
    void PaintBar(TCanvas& C, int W, int H);
    void PaintText(TCanvas& C);

    TMessageTimer FTimer;
    bool FTimerEnabled = false;
    std::string FValueText;      // the value text after OnShowValue
    bool FValueTextStale = true; // OnShowValue still owed for the present state
    TNotifyEvent FOnAutoInc;
    double FAutoIncStep = 1;
    int FRepeatIv = 700;
    int FStartIv = 1500;
    bool FIsStart = false;
    TFrameStyle FOuterFrameSt = fstRaised;
    TFrameStyle FInnerFrameSt = fstLowered;
    double FProgValue = 10;
    double FProgMax = 100;
    double FProgMin = 0;
    TDirection FDirection = drRight;
    std::array<TColor, ProgBarColorCount> FBarColorArray{};
    TBitmap AuxBmp{10, 10};
    TColor FColorMargin = clSilver;
    TColor FColorBakG = clSilver;
    bool FColorGrad = false;
    TColor FColorGrid = clBlack;
    int FGridDist = 0;
    TColor FColBlackLine = clBlack;
    TColor FColGrayLine = clGray;
    TColor FColWhiteLine = clWhite;
    TColorScheme FColorScheme = cschClassic;
    TColorMapping FColorMapMode = cgmStretch;
    int FMarginLeft = 4;
    int FMarginRight = 4;
    int FMarginTop = 4;
    int FMarginBottom = 4;
    std::string FBakGndFile;
    int FTextPosX = 14;
    int FTextPosY = 14;
    int FTextDecPlaces = 0;
    int FTextAngle = 0;
    TAlignment FAlignment = taCenter;
    TBeforeShowValueEvent FOnShowValue;
    bool FShowValue = true;
};

} // namespace kel
