// Drawing half of the platform layer: colours, pen, brush, font, the canvas over a 32-bit
// pixel buffer, and bitmaps.
//
// Pixels are stored as 32-bit words 0x00RRGGBB (bytes B, G, R, x in memory). Colours given to
// the canvas are TColor values (0x00BBGGRR, or 0xFF0000nn for a system colour) and are resolved
// with ColorToRGB before they are written. Coordinates follow the half-open pixel rules: a
// rectangle (L, T, R, B) covers columns L..R-1 and rows T..B-1.
//
// Index: colours; pen, brush; font; canvas; bitmap; free GDI-style routines.
#pragma once

#include "kel_classes.h"
#include "kel_types.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace kel {

// ---- Colours ----------------------------------------------------------------------------------

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0,
                 clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
// Not colours: "nothing to paint" and "the control's default colour".
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = 0xFF000000, clBackground = 0xFF000001, clActiveCaption = 0xFF000002,
                 clInactiveCaption = 0xFF000003, clMenu = 0xFF000004, clWindow = 0xFF000005,
                 clWindowFrame = 0xFF000006, clMenuText = 0xFF000007, clWindowText = 0xFF000008,
                 clCaptionText = 0xFF000009, clActiveBorder = 0xFF00000A,
                 clInactiveBorder = 0xFF00000B, clAppWorkSpace = 0xFF00000C,
                 clHighlight = 0xFF00000D, clHighlightText = 0xFF00000E, clBtnFace = 0xFF00000F,
                 clBtnShadow = 0xFF000010, clGrayText = 0xFF000011, clBtnText = 0xFF000012,
                 clInactiveCaptionText = 0xFF000013, clBtnHighlight = 0xFF000014,
                 cl3DDkShadow = 0xFF000015, cl3DLight = 0xFF000016, clInfoText = 0xFF000017,
                 clInfoBk = 0xFF000018, clHotLight = 0xFF00001A,
                 clGradientActiveCaption = 0xFF00001B, clGradientInactiveCaption = 0xFF00001C,
                 clMenuHighlight = 0xFF00001D, clMenuBar = 0xFF00001E;

// RGB of system colour index (0..30) from the fixed palette; 0 for an unknown index.
TColor GetSysColor(int index);
// A system colour resolved to RGB; every other value is returned unchanged.
TColor ColorToRGB(TColor c);
// Name of a named colour ("clRed"), else "$" and eight upper-case hex digits.
std::string ColorToString(TColor c);
// A colour name (case-insensitive) or an integer ("$hex", "0xhex", decimal); raises
// EConvertError "'<s>' is not a valid integer value" otherwise.
TColor StringToColor(const std::string& s);
constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr std::uint8_t GetRValue(TColor c) { return c & 0xFF; }
constexpr std::uint8_t GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t GetBValue(TColor c) { return (c >> 16) & 0xFF; }
// TColor (after ColorToRGB) to a stored pixel word 0x00RRGGBB, and back.
inline std::uint32_t ColorToPixel(TColor c) {
    c = ColorToRGB(c);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColor PixelToColor(std::uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// ---- Pen and brush ----------------------------------------------------------------------------

enum TPenStyle : std::uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate
};
// Mix modes (the platform's R2 codes 1..16 in this order: pmBlack = R2_BLACK ... ).
enum TPenMode : std::uint8_t {
    pmBlack,
    pmNotMerge,
    pmMaskNotPen,
    pmNotCopy,
    pmMaskPenNot,
    pmNot,
    pmXor,
    pmNotMask,
    pmMask,
    pmNotXor,
    pmNop,
    pmMergeNotPen,
    pmCopy,
    pmMergePenNot,
    pmMerge,
    pmWhite
};
enum TBrushStyle : std::uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TPen : public TPersistent {
  public:
    std::string ClassName() const override { return "TPen"; }
    void Assign(const TPersistent* Source) override;
    TColor Color() const { return FColor; } // default clBlack
    void SetColor(TColor v);
    int Width() const { return FWidth; } // pixels; 0 and 1 are a 1-pixel pen
    void SetWidth(int v);
    TPenStyle Style() const { return FStyle; } // default psSolid
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return FMode; } // default pmCopy
    void SetMode(TPenMode v);
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

  private:
    void Changed();
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    TNotifyEvent FOnChange;
};

class TBrush : public TPersistent {
  public:
    std::string ClassName() const override { return "TBrush"; }
    void Assign(const TPersistent* Source) override;
    TColor Color() const { return FColor; }      // default clWhite
    void SetColor(TColor v);                     // also makes a clear brush solid
    TBrushStyle Style() const { return FStyle; } // default bsSolid
    void SetStyle(TBrushStyle v);
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

  private:
    void Changed();
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TNotifyEvent FOnChange;
};

// ---- Font -------------------------------------------------------------------------------------

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
// Rendering quality: fqNonAntialiased renders 1-bit glyphs, fqDraft too; the others blend
// greyscale coverage.
enum TFontQuality : std::uint8_t {
    fqDefault,
    fqDraft,
    fqProof,
    fqNonAntialiased,
    fqAntialiased,
    fqClearType,
    fqClearTypeNatural
};
enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

constexpr int ScreenPixelsPerInch = 96;
constexpr std::uint8_t DEFAULT_CHARSET = 1;

// Font description with the platform's field meanings (heights in pixels: negative = em height,
// positive = cell height; escapement and orientation in tenths of a degree counter-clockwise).
struct TLogFont {
    int lfHeight = -11;
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = 400;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = DEFAULT_CHARSET;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    std::string lfFaceName;
};

// Metrics of a resolved font, in pixels (tmHeight = tmAscent + tmDescent, internal leading
// included).
struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

namespace detail {
class FontFace; // a resolved face at one size, angle and quality (glyph cache inside)
}

// The system's default sans-serif face, as fontconfig resolves it.
std::string DefaultFontName();

class TFont : public TPersistent {
  public:
    TFont();
    ~TFont() override;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;
    std::string ClassName() const override { return "TFont"; }
    void Assign(const TPersistent* Source) override; // one OnChange after the copy

    std::string Name() const { return FLog.lfFaceName; } // default DefaultFontName()
    void SetName(const std::string& v);
    int Size() const; // points at 96 dpi; default 8
    void SetSize(int v);
    int Height() const { return FLog.lfHeight; } // pixels; -Size*96/72 (MulDiv)
    void SetHeight(int v);
    TFontStyles Style() const;
    void SetStyle(TFontStyles v);
    TColor Color() const { return FColor; } // default clWindowText
    void SetColor(TColor v);
    int Orientation() const { return FLog.lfEscapement; } // tenths of a degree, CCW
    void SetOrientation(int v);
    TFontQuality Quality() const { return TFontQuality(FLog.lfQuality); }
    void SetQuality(TFontQuality v);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    std::uint8_t Charset() const { return FLog.lfCharSet; }
    void SetCharset(std::uint8_t v);
    int PixelsPerInch() const { return ScreenPixelsPerInch; }

    // The whole description at once (GetObject / CreateFontIndirect + Handle).
    const TLogFont& LogFont() const { return FLog; }
    void SetLogFont(const TLogFont& lf);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

    // The resolved face for drawing and measuring (created on demand, shared through a cache).
    detail::FontFace& Face() const;

  private:
    void Changed();
    TLogFont FLog;
    TColor FColor = clWindowText;
    TFontPitch FPitch = fpDefault;
    TNotifyEvent FOnChange;
    mutable std::shared_ptr<detail::FontFace> FFace;
};

// ---- Canvas -----------------------------------------------------------------------------------

// Ternary raster operations for blits (bits 16..23 hold the truth table over P, S, D).
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042, cmNotSrcErase = 0x001100A6, cmNotSrcCopy = 0x00330008,
                    cmSrcErase = 0x00440328, cmDstInvert = 0x00550009, cmPatInvert = 0x005A0049,
                    cmSrcInvert = 0x00660046, cmSrcAnd = 0x008800C6, cmMergePaint = 0x00BB0226,
                    cmMergeCopy = 0x00C000CA, cmSrcCopy = 0x00CC0020, cmSrcPaint = 0x00EE0086,
                    cmPatCopy = 0x00F00021, cmPatPaint = 0x00FB0A09, cmWhiteness = 0x00FF0062;

// Stretch modes for StretchBlt / CopyRect / StretchDraw.
enum TStretchMode : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
enum TFillStyle : std::uint8_t { fsSurface, fsBorder };
enum TPolyFillMode : int { ALTERNATE = 1, WINDING = 2 };
// Text alignment flags (SetTextAlign); the default is left | top.
enum : unsigned {
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24
};

class TBitmap;

// One device context's worth of drawing state over a 32-bit pixel surface. A canvas without a
// surface draws nothing. Logical coordinates map to surface pixels by adding Origin(); every
// output is limited to the clip rectangle (logical) intersected with the surface.
namespace raster {
class Target; // the rasterizers' view of a canvas (framework internal)
}

class TCanvas : public TPersistent {
  public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    std::string ClassName() const override { return "TCanvas"; }

    // Surface binding: bits of width x height pixels, stride in pixels. Resets clip to the whole
    // surface; keeps the origin.
    void SetSurface(std::uint32_t* bits, int width, int height, int stride);
    std::uint32_t* SurfaceBits() const { return FBits; }
    int SurfaceWidth() const { return FSurfW; }
    int SurfaceHeight() const { return FSurfH; }
    int SurfaceStride() const { return FStride; }

    // Origin offset: logical (0, 0) lands on surface pixel Origin(). A windowless control draws
    // on its parent's surface with the origin at its top-left and the clip at its bounds.
    TPoint Origin() const { return FOrigin; }
    void SetOrigin(TPoint p) {
        FOrigin = p;
        UpdateDeviceClip();
    }
    // Clip rectangle in logical coordinates (the whole surface when none is set).
    TRect ClipRect() const;
    void SetClipRect(const TRect& r);       // replaces the clip (logical coordinates)
    void IntersectClipRect(const TRect& r); // narrows the clip
    void ResetClip();                       // whole surface

    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    TFont& Font() { return FFont; }
    const TPen& Pen() const { return FPen; }
    const TBrush& Brush() const { return FBrush; }
    const TFont& Font() const { return FFont; }

    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint p) { FPenPos = p; }
    TCopyMode CopyMode() const { return FCopyMode; } // default cmSrcCopy
    void SetCopyMode(TCopyMode m) { FCopyMode = m; }
    int StretchBltMode() const { return FStretchMode; } // default COLORONCOLOR
    void SetStretchBltMode(int m) { FStretchMode = m; }
    int PolyFillMode() const { return FPolyFillMode; } // default ALTERNATE
    void SetPolyFillMode(int m) { FPolyFillMode = m; }
    unsigned TextAlign() const { return FTextAlign; }
    void SetTextAlign(unsigned a) { FTextAlign = a; }

    // Lines: LineTo excludes its end point and moves the pen there.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> pts); // final point not drawn; pen position kept
    // Closed shapes: brush fills the inside, the pen strokes the path through the corner pixels
    // (L, T)..(R-1, B-1), each pixel touched once. With a clear pen the fill is the shape one
    // pixel smaller at the right and bottom. Pens wider than 1 are solid bands of that width
    // centred on the path, with round caps and joins (psInsideFrame keeps them inside the box).
    // Gaps of styled pens take the brush colour when the brush is solid and stay untouched
    // otherwise; hatch brushes leave their background pixels untouched.
    void Rectangle(int l, int t, int r, int b);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void Ellipse(int l, int t, int r, int b);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int l, int t, int r, int b, int w, int h);
    void Polygon(std::span<const TPoint> pts);
    // Counter-clockwise from the radial through (xs, ys) to the radial through (xe, ye).
    void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye);
    void Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye);
    void Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye);
    // Brush fills [L,R) x [T,B) (no mix mode); FrameRect draws the 1-pixel outer ring.
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void FloodFill(int x, int y, TColor c, TFillStyle style);

    // Pixels: read gives the TColor (0x00BBGGRR), or 0xFFFFFFFF outside surface or clip.
    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor c);

    // Text: (x, y) is the top-left of the first character cell (rotated about it by the
    // font's orientation). A solid brush fills the cell first; a clear brush leaves it.
    void TextOut(int x, int y, const std::string& text);
    // Draws from (x, y), clipped to r; a solid brush first fills the whole of r.
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;
    TSize TextExtent(const std::string& text) const;
    TTextMetric TextMetrics() const;

    // Blits with CopyMode; sizes that differ stretch with StretchBltMode. Only the destination
    // is clipped; pixels whose source lies outside the source surface are left unchanged.
    void Draw(int x, int y, const TBitmap& bmp); // honours bmp.Transparent()
    void StretchDraw(const TRect& r, const TBitmap& bmp);
    void CopyRect(const TRect& dest, const TCanvas& src, const TRect& srcRect);

  private:
    // The rasterizers' view of a canvas reads the device clip.
    friend class raster::Target;
    // Clip in surface coordinates, already intersected with the surface.
    const TRect& DeviceClip() const { return FDevClip; }
    friend int StretchBlt(TCanvas& dst, int x, int y, int w, int h, const TCanvas& src, int sx,
                          int sy, int sw, int sh, TCopyMode rop);
    void UpdateDeviceClip();

    std::uint32_t* FBits = nullptr;
    int FSurfW = 0, FSurfH = 0, FStride = 0;
    TPoint FOrigin{};
    bool FHasClip = false;
    TRect FClip{};    // logical, when FHasClip
    TRect FDevClip{}; // surface coordinates
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    TPoint FPenPos{};
    TCopyMode FCopyMode = cmSrcCopy;
    int FStretchMode = COLORONCOLOR;
    int FPolyFillMode = ALTERNATE;
    unsigned FTextAlign = 0;
};

// ---- Bitmap -----------------------------------------------------------------------------------

enum TPixelFormat : std::uint8_t {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};
enum TTransparentMode : std::uint8_t { tmAuto, tmFixed };

namespace detail {
// A bitmap's pixel words. Unlike a vector it leaves words it adds uninitialised: the bitmap
// always writes them right after growing (white, decoded or copied pixels), and zeroing them
// first would be a wasted pass over the memory. resize only ever grows the storage; the bitmap
// gives storage back by swapping in a smaller store.
class TPixelStore {
  public:
    TPixelStore() = default;
    explicit TPixelStore(std::size_t n) { resize(n); }
    TPixelStore(const TPixelStore& o) { *this = o; }
    TPixelStore& operator=(const TPixelStore& o);
    TPixelStore(TPixelStore&& o) noexcept { swap(o); }
    TPixelStore& operator=(TPixelStore&& o) noexcept {
        swap(o);
        return *this;
    }
    // Null while empty, kept storage or not.
    std::uint32_t* data() { return FSize > 0 ? FData.get() : nullptr; }
    const std::uint32_t* data() const { return FSize > 0 ? FData.get() : nullptr; }
    std::size_t size() const { return FSize; }
    std::size_t capacity() const { return FCapacity; }
    bool empty() const { return FSize == 0; }
    std::uint32_t* begin() { return data(); }
    std::uint32_t* end() { return data() + FSize; }
    std::uint32_t operator[](std::size_t i) const { return FData[i]; }
    // New size; the first min(n, size()) words are kept, any further ones are uninitialised.
    void resize(std::size_t n);
    void swap(TPixelStore& o) noexcept {
        std::swap(FData, o.FData);
        std::swap(FSize, o.FSize);
        std::swap(FCapacity, o.FCapacity);
    }

  private:
    std::unique_ptr<std::uint32_t[]> FData;
    std::size_t FSize = 0, FCapacity = 0;
};
} // namespace detail

// An image of Width x Height pixels stored as 32-bit words, with a canvas bound to it.
class TBitmap : public TPersistent {
  public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    std::string ClassName() const override { return "TBitmap"; }
    void Assign(const TPersistent* Source) override; // copies pixels, format and transparency

    // Largest side and largest area (in pixels) a bitmap may have.
    static constexpr int MaxSide = 32767;
    static constexpr std::int64_t MaxPixels = std::int64_t{1} << 28;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Resizing keeps the old pixels at the top-left and fills the new area white. Negative or
    // absurd sizes (more than 32767 per side or 2^28 pixels) raise EInvalidGraphic.
    void SetWidth(int w);
    void SetHeight(int h);
    void SetSize(int w, int h);
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    TPixelFormat PixelFormat() const { return FPixelFormat; } // recorded; storage is 32-bit
    void SetPixelFormat(TPixelFormat pf) { FPixelFormat = pf; }

    // Row y as 32-bit words 0x00RRGGBB (B, G, R, x bytes); 0 is the top row.
    std::uint32_t* ScanLine(int y);
    const std::uint32_t* ScanLine(int y) const;
    std::uint32_t* Bits() { return FPixels.data(); }
    const std::uint32_t* Bits() const { return FPixels.data(); }

    TCanvas& Canvas() { return FCanvas; }
    const TCanvas& Canvas() const { return FCanvas; }

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }
    // tmAuto: the bottom-left pixel; assigning a colour switches to tmFixed.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode m) { FTransparentMode = m; }

    // BMP (1, 4, 8, 24, 32 bits per pixel) or PNG, recognised by content. On any failure
    // raises EInvalidGraphic (or EFOpenError) naming the file, and the bitmap is unchanged.
    void LoadFromFile(const std::string& path);
    void LoadFromStream(std::istream& in);
    // Writes PNG when the path ends in ".png" (any case), else a 32-bit BMP (24-bit when
    // PixelFormat is pf24bit).
    void SaveToFile(const std::string& path) const;
    void SaveToBMPStream(std::ostream& out) const;
    void SaveToPNGStream(std::ostream& out) const;
    // An image compiled into the library from resources/ (name compared case-insensitively,
    // without extension); raises EResNotFound "Resource X not found".
    void LoadFromResourceName(const std::string& name);

  private:
    void Rebind();
    int FWidth = 0, FHeight = 0;
    detail::TPixelStore FPixels;
    TPixelFormat FPixelFormat = pfDevice;
    bool FTransparent = false;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clNone;
    TCanvas FCanvas;
};

// ---- GDI-style free routines ------------------------------------------------------------------

// Stretching blit from src (sx, sy, sw, sh) to dst (x, y, w, h) with a raster operation, using
// dst's stretch mode; a size negative on one side only mirrors, and a negative width w covers
// x+w+1 .. x (likewise heights). Returns non-zero on success, 0 for an empty size or a missing
// source.
int StretchBlt(TCanvas& dst, int x, int y, int w, int h, const TCanvas& src, int sx, int sy, int sw,
               int sh, TCopyMode rop);
inline int BitBlt(TCanvas& dst, int x, int y, int w, int h, const TCanvas& src, int sx, int sy,
                  TCopyMode rop) {
    return StretchBlt(dst, x, y, w, h, src, sx, sy, w, h, rop);
}
// Sets the stretch mode and returns the previous one.
inline int SetStretchBltMode(TCanvas& c, int mode) {
    int old = c.StretchBltMode();
    c.SetStretchBltMode(mode);
    return old;
}
// Font description out of a font, and a font made from a description.
inline TLogFont GetObjectW(const TFont& f) { return f.LogFont(); }
inline void CreateFontIndirectW(TFont& target, const TLogFont& lf) { target.SetLogFont(lf); }

} // namespace kel
