// TThumbnails: a scrollable grid of numbered slides. While painting, the strip asks the
// application for every visible slide (OnImageRequest): how to show it, an optional marker
// symbol and a picture, which it scales into the slide keeping the aspect ratio. It tracks the
// slide under the mouse (a focus outline), keeps a selection of slides in a bit field and
// reports clicks and double clicks with the slide number. Slide numbers run from Min to Max;
// 0 stands for "no slide".
//
// The strip can also hold pictures of its own (AddPicture, AddPictureFile): each is reduced to
// the slide size once, when it is added, and slide k (from 1) shows the k-th picture without
// any handler. See "Pictures" below.
//
// Geometry, with P = SlideSize + SlideDistance + 2 SlideMargin (the pitch) and a 10-pixel band
// on every side:
//   slides per row   NumSlidesHoriz = max(1, (Width + SlideDistance - 20) div P), at each paint
//   rows on screen   NumSlidesVert  = max(1, Height div P + 1) (a partly visible row included)
//   slide (c, r)     number Trunc(FirstThumbIdx) + n (r - 1) + c - 1 (c, r from 1),
//                    left (c - 1) P + 10, top (r - 1) P + SlideDistance
//                    - Round(Frac(FirstThumbIdx) P) + 10, SlideSize + 2 SlideMargin square.
// Scroll position FirstThumbIdx: a value x is clamped to Min..Max (NaN gives Min); with n
// slides per row and the row start s = n (Trunc(x - 1) div n) + 1 the stored value is
// s + (x - s) / n: the integer part is the first slide of the top row, the fraction the share
// of that row scrolled out at the top.
//
// Choices where the rules leave a behaviour open:
// - Selection by clicks (left-button release): ssmSingle clears the selection and selects the
//   clicked slide alone (a click beside every slide leaves nothing selected). ssmMultiple: a
//   plain click does the same; Ctrl+click toggles the clicked slide and keeps the rest;
//   Shift+click selects exactly the slides from the last clicked slide to the clicked one
//   (Ctrl+Shift+click adds that range to the selection); a Shift+click with no last clicked
//   slide (or one now outside Min..Max) acts as a plain click. Plain and Ctrl clicks on a slide
//   make it the last clicked slide; Shift clicks keep it (the anchor of further ranges).
//   ssmDisabled changes no selection on clicks. In every mode OnImageClick fires (with 0 for a
//   click beside the slides); SlideSelected sets bits in every mode.
// - Min and Max: a Min above Max swaps the two (setting Min 150 with Max 100 gives 100..150;
//   Max 20 with Min 50 gives 20..50). Both are limited to 1..MaxSlideNumber: slide 0 means "no
//   slide" everywhere, so no slide may carry that number, and the selection keeps one bit per
//   slide, so the range may not be unbounded. While a form file loads, Min and Max are stored
//   as read and settled in Loaded, whatever their order in the file.
// - AntiAlias true draws the pictures with an area-averaging (halftone) reduction, false with
//   nearest-pixel colour-on-colour stretching; the same rule reduces pictures added to the
//   strip's own list.
// - ImgBuffer: before each OnImageRequest the strip hands its own buffer of the pass, which
//   still holds what the previous request drew into it. A handler may instead point ImgBuffer
//   at a bitmap of its own for that one slide (the strip draws it and never frees it); null
//   draws no picture.
// - ColorScheme is stored and copied; the drawing does not depend on it. Width 0 or a slide
//   size below the width of one slide never divides by zero: the pitch is at least 1.
//
// Pictures: AddPicture copies a picture reduced to fit the SlideSize square (with the AntiAlias
// rule at that moment; pictures already small enough are kept at their size) and appends it as
// the next slide; Max is raised to the number of pictures when it is below. AddPictureFile
// loads a BMP or PNG file first; a file that fails to load still adds a slide, which shows as
// empty (irpShowEmpty); the error is kept (PictureError) and reported through OnLoadError,
// never raised. While painting, a slide that has a picture is preset to irpShowSlide with
// ImgBuffer pointing at the stored thumbnail before OnImageRequest (if assigned) is called, so
// a handler may still add a marker or show the slide differently. Pictures keep the size they
// were reduced to: a later SlideSize stretches them while painting.
#pragma once

#include "Kel_dstruct.h"
#include "Kel_kelbase.h"
#include "kel_controls.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kel {

// How a slide is shown, the answer of OnImageRequest.
enum TImageRequestProcessing : std::uint8_t {
    irpShowEmpty,     // a blank placeholder with the slide number
    irpShowSlide,     // the picture in ImgBuffer, scaled into the slide
    irpShowFrameOnly, // only the slide's cover and frame
    irpShowNothing    // nothing for this slide (marker and OnSlideRendered still happen)
};

// What clicks do to the selection (see the header comment).
enum TSlideSelectMode : std::uint8_t { ssmDisabled, ssmSingle, ssmMultiple };

// Asked for every visible slide while painting; see the header comment for ImgBuffer.
using TImageRequestEvent =
    std::function<void(TObject* Sender, int ThumbID, TImageRequestProcessing& HowToProcess,
                       int& MarkIt, TBitmap*& ImgBuffer)>;
// A click or double click at (X, Y) (client pixels) on slide ThumbID (0: beside the slides).
using TImageClickEvent = std::function<void(TObject* Sender, int X, int Y, int ThumbID)>;
// A finished slide, whose top-left corner is (X, Y) on Canvas (the work bitmap of the pass).
using TSlideRenderedEvent =
    std::function<void(TObject* Sender, TCanvas& Canvas, int X, int Y, int ThumbID)>;
// A picture file of slide ThumbID failed to load; Message says what and which file.
using TPictureLoadErrorEvent =
    std::function<void(TObject* Sender, int ThumbID, const std::string& Message)>;

// Pitch of the slides: SlideSize + SlideDistance + 2 SlideMargin, at least 1.
int ThumbPitch(int SlideSize, int SlideDistance, int SlideMargin);
// The stored scroll position for a wanted position X, with slides Min..Max and PerRow slides
// per row (see the header comment). Pure, for tests.
double ThumbScrollPosition(double X, int Min, int Max, int PerRow);
// The destination of a W x H picture in the slide whose top-left is (X, Y): fitted into the
// Size square inside Margin, centred across, keeping the aspect ratio. Empty for W or H <= 0.
TRect ThumbImageRect(int X, int Y, int Size, int Margin, int W, int H);

class TThumbnails : public TGraphicControl {
  public:
    // Largest slide number (and so the largest Max); the selection needs one bit per slide.
    static constexpr int MaxSlideNumber = 10'000'000;

    // 260 x 400, the defaults below, scroll position 1.0, two slides per row until the first
    // paint.
    explicit TThumbnails(TComponent* AOwner);
    ~TThumbnails() override;
    std::string ClassName() const override { return "TThumbnails"; }

    // From another TThumbnails: the three frame styles, ColorBackGnd, ColorScheme, the scroll
    // position, Min, Max, slides per row and rows, SlideSize, SlideDistance, SlideMargin, the
    // events OnImageRequest, OnImageClick, OnImageDblClick, OnFocusChange,
    // OnFirstImageRequest, OnLastImageRequest (not OnSlideRendered), AntiAlias, ColorCover,
    // ColorSelected, ColorFocus, the focused slide and FocusLinewidth (not ColorMark, the
    // selection mode, the selection or the pictures); then invalidates. Anything else: the
    // framework's.
    void Assign(const TPersistent* Source) override;

    // --- published properties (defaults in brackets); every setter invalidates on a change ---
    // What clicks do to the selection; a change clears the selection [ssmSingle].
    TSlideSelectMode SlideSelectMode() const { return FSelectMode; }
    void SetSlideSelectMode(TSlideSelectMode Value);
    // Halftone reduction of pictures; false: colour-on-colour [false].
    bool AntiAlias() const { return FAntiAlias; }
    void SetAntiAlias(bool Value);
    TColor ColorBackGnd() const { return FColorBG; } // background and bands [clBtnFace]
    void SetColorBackGnd(TColor Value);
    TColor ColorCover() const { return FColorCover; } // slide face [clSilver]
    void SetColorCover(TColor Value);
    TColor ColorSelected() const { return FColorSelected; } // face of selected slides [clNavy]
    void SetColorSelected(TColor Value);
    TColor ColorFocus() const { return FColorHilite; } // focus outline [clBlue]
    void SetColorFocus(TColor Value);
    TColor ColorMark() const { return FMarkColor; } // pen of marker symbols [clBlack]
    void SetColorMark(TColor Value);
    TColorScheme ColorScheme() const { return FColorScheme; } // stored only [cschClassic]
    void SetColorScheme(TColorScheme Value);
    TFrameStyle FrameStyle() const { return FFrameStyle; } // round the control [fstLowered]
    void SetFrameStyle(TFrameStyle Value);
    TFrameStyle OuterFrameStyle() const { return FOuterFrameStyle; } // each slide [fstRaised]
    void SetOuterFrameStyle(TFrameStyle Value);
    TFrameStyle InnerFrameStyle() const { return FInnerFrameStyle; } // each image [fstLowered]
    void SetInnerFrameStyle(TFrameStyle Value);
    // Rings of the focus outline, clamped to 0..10; 0 switches focus tracking off [1].
    int FocusLinewidth() const { return FHiliteThickness; }
    void SetFocusLinewidth(int Value);
    // The slide under the mouse, 0 for none (changes only by mouse movement) [0].
    int FocusedSlide() const { return FLastHiLite; }
    // First and last slide number, 1..MaxSlideNumber, swapped when Min > Max [1, 100]; the
    // selection is resized to Max - Min + 1 bits (bits keep their index).
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Side of the square image area, raised to at least 50, then limited to Width [120].
    int SlideSize() const { return FThumbBaseSize; }
    void SetSlideSize(int Value);
    int SlideDistance() const { return FSLideDist; } // gap between slides, 0..100 [2]
    void SetSlideDistance(int Value);
    int SlideMargin() const { return FSlideMargin; } // slide edge to image area, 0..100 [7]
    void SetSlideMargin(int Value);

    // --- public, unpublished ---
    // Selection bit of slide SldNum (false outside Min..Max; writing there does nothing).
    bool SlideSelected(int SldNum) const;
    void SetSlideSelected(int SldNum, bool Value);
    // Scroll position (see the header comment); writing follows the scroll rule.
    double FirstThumbIdx() const { return FFirstThumbIx; }
    void SetFirstThumbIdx(double Value);
    int NumSlidesHoriz() const { return FNumSldX; }
    int NumSlidesVert() const { return FNumSldY; }
    int LastClickedSlide() const { return FLastClickedSlide; } // 0 until a click on a slide

    void ResetAllSelections();
    int FirstSelectedSlide() const; // Min - 1 when nothing is selected
    int NumSlidesSelected() const;
    // The slide at client point (XPos, YPos), 0 in the gaps, the bands and beyond Min..Max.
    int CalcSlideIndex(int XPos, int YPos) const;
    // Top-left corner of slide SldNum as the current scroll position places it.
    void CalcSlidePos(int SldNum, int& XPos, int& YPos) const;

    // --- the strip's own pictures (see "Pictures" in the header comment) ---
    // Appends Picture reduced to the slide size; returns its slide number (1, 2, ...).
    int AddPicture(const TBitmap& Picture);
    // Loads a BMP or PNG file and appends it; on failure appends an empty slide, keeps the
    // error and fires OnLoadError. Returns the slide number either way.
    int AddPictureFile(const std::string& Path);
    int PictureCount() const { return int(FPictures.size()); }
    // The stored (reduced) picture of slide ThumbID; null for no picture or a failed file.
    const TBitmap* Picture(int ThumbID) const;
    // The load error of slide ThumbID, "" when it loaded or holds no file.
    std::string PictureError(int ThumbID) const;
    void ClearPictures();

    // --- events ---
    const TImageRequestEvent& OnImageRequest() const { return FOnImageRequest; }
    void SetOnImageRequest(TImageRequestEvent H) { FOnImageRequest = std::move(H); }
    const TImageClickEvent& OnImageClick() const { return FOnImageClick; }
    void SetOnImageClick(TImageClickEvent H) { FOnImageClick = std::move(H); }
    const TImageClickEvent& OnImageDblClick() const { return FOnImageDblClick; }
    void SetOnImageDblClick(TImageClickEvent H) { FOnImageDblClick = std::move(H); }
    const TNotifyEvent& OnFocusChange() const { return FOnHiliteChange; }
    void SetOnFocusChange(TNotifyEvent H) { FOnHiliteChange = std::move(H); }
    const TNotifyEvent& OnFirstImageRequest() const { return FOnFirstImgRequ; }
    void SetOnFirstImageRequest(TNotifyEvent H) { FOnFirstImgRequ = std::move(H); }
    const TNotifyEvent& OnLastImageRequest() const { return FOnLastImgRequ; }
    void SetOnLastImageRequest(TNotifyEvent H) { FOnLastImgRequ = std::move(H); }
    const TSlideRenderedEvent& OnSlideRendered() const { return FOnSlideRendered; }
    void SetOnSlideRendered(TSlideRenderedEvent H) { FOnSlideRendered = std::move(H); }
    const TPictureLoadErrorEvent& OnLoadError() const { return FOnLoadError; }
    void SetOnLoadError(TPictureLoadErrorEvent H) { FOnLoadError = std::move(H); }

  protected:
    void AssignTo(TPersistent* Dest) const override;
    // One paint pass: every visible slide from OnImageRequest, then the bands and the frame.
    void Paint() override;
    // Focus tracking (see FocusLinewidth).
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // Left-button release (selection, OnImageClick) and double click (OnImageDblClick).
    void WndProc(TMessage& Message) override;
    void Loaded() override;

  private:
    void Changed() { Invalidate(); }
    void SetRange(int NewMin, int NewMax); // limits, swaps, resizes the selection
    void ClickAt(int X, int Y, TShiftState Shift);
    void DrawFocus(int SldNum, bool Focused);
    int Pitch() const { return ThumbPitch(FThumbBaseSize, FSLideDist, FSlideMargin); }

    TFrameStyle FFrameStyle = fstLowered;
    TFrameStyle FOuterFrameStyle = fstRaised;
    TFrameStyle FInnerFrameStyle = fstLowered;
    TColor FColorBG = clBtnFace;
    TColorScheme FColorScheme = cschClassic;
    double FFirstThumbIx = 1.0;
    int FMin = 1, FMax = 100;
    int FNumSldX = 2, FNumSldY = 1;
    int FThumbBaseSize = 120;
    int FSLideDist = 2;
    int FSlideMargin = 7;
    bool FAntiAlias = false;
    TColor FColorCover = clSilver;
    TColor FColorSelected = clNavy;
    TColor FColorHilite = clBlue;
    TColor FMarkColor = clBlack;
    int FLastHiLite = 0;
    int FHiliteThickness = 1;
    bool FIsWorking = false;
    TBitFld FSelectedSlide;
    TSlideSelectMode FSelectMode = ssmSingle;
    int FLastClickedSlide = 0;

    // The strip's own pictures: slide k is entry k - 1 (null bitmap: a file that failed).
    struct TPictureEntry {
        std::unique_ptr<TBitmap> Thumb;
        std::string Error;
    };
    std::vector<TPictureEntry> FPictures;
    std::unique_ptr<TBitmap> FWork; // the work bitmap, kept between paints

    TImageRequestEvent FOnImageRequest;
    TSlideRenderedEvent FOnSlideRendered;
    TImageClickEvent FOnImageClick, FOnImageDblClick;
    TNotifyEvent FOnHiliteChange, FOnFirstImgRequ, FOnLastImgRequ;
    TPictureLoadErrorEvent FOnLoadError;
};

} // namespace kel
