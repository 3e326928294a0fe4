// TSevenSeg: state, setters, the glyph cache and painting. A glyph is composed at full size
// (312 x 432) from the recoloured segment pictures with an AND copy onto white, its white
// surround (and any white it encloses) turned into the background colour, and shrunk into the
// cache with a box filter (HALFTONE); Paint only copies cache cells. The cache is built at the
// first paint (or the first ImageCache call) and shared by every display of the same cell size
// and colours; the segment pictures are decoded once per process.
//
// A full-size glyph has two colours only, so its box-filtered cell is a blend of the two by the
// share of lit source pixels under each cell pixel. The cache is built from that share, taken
// from run-length outlines of the 21 glyphs made once per process: the same pixels as shrinking
// the composed glyphs, without composing 2.8 million pixels for every size and colour.
#include "KEL_sevenseg.h"

#include "kel_props.h"
#include "kel_setter.h"
#include "kel_utf8.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace kel {

const char32_t SevenSegCharList[21] = {U'0', U'1', U'2', U'3', U'4', U'5', U'6',
                                       U'7', U'8', U'9', U'-', U'+', U':', U'\u00B0',
                                       U'A', U'B', U'C', U'D', U'E', U'F', U'.'};

namespace {

constexpr int kDigW = 312, kDigH = 432;

// Segments 1..7 as bits 0..6 of the characters that use them.
constexpr int kSeg1 = 1, kSeg2 = 2, kSeg3 = 4, kSeg4 = 8, kSeg5 = 16, kSeg6 = 32, kSeg7 = 64;

int SegmentsOf(char32_t Ch) {
    switch (Ch) {
    case U'0':
        return kSeg1 | kSeg2 | kSeg3 | kSeg5 | kSeg6 | kSeg7;
    case U'1':
        return kSeg3 | kSeg6;
    case U'2':
        return kSeg1 | kSeg3 | kSeg4 | kSeg5 | kSeg7;
    case U'3':
        return kSeg1 | kSeg3 | kSeg4 | kSeg6 | kSeg7;
    case U'4':
        return kSeg2 | kSeg3 | kSeg4 | kSeg6;
    case U'5':
        return kSeg1 | kSeg2 | kSeg4 | kSeg6 | kSeg7;
    case U'6':
        return kSeg1 | kSeg2 | kSeg4 | kSeg5 | kSeg6 | kSeg7;
    case U'7':
        return kSeg1 | kSeg3 | kSeg6;
    case U'8':
        return 0x7F;
    case U'9':
        return kSeg1 | kSeg2 | kSeg3 | kSeg4 | kSeg6 | kSeg7;
    case U'-':
        return kSeg4;
    case U'A':
    case U'a':
        return kSeg1 | kSeg2 | kSeg3 | kSeg4 | kSeg5 | kSeg6;
    case U'B':
    case U'b':
        return kSeg2 | kSeg4 | kSeg5 | kSeg6 | kSeg7;
    case U'C':
    case U'c':
        return kSeg1 | kSeg2 | kSeg5 | kSeg7;
    case U'D':
    case U'd':
        return kSeg3 | kSeg4 | kSeg5 | kSeg6 | kSeg7;
    case U'E':
    case U'e':
        return kSeg1 | kSeg2 | kSeg4 | kSeg5 | kSeg7;
    case U'F':
    case U'f':
        return kSeg1 | kSeg2 | kSeg4 | kSeg5;
    default:
        return 0;
    }
}

// Top-left corners of the segments 1..7 in the digit image, and whether each is horizontal.
constexpr TPoint kSegPos[7] = {{94, 0},  {37, 23},   {244, 23}, {57, 197},
                               {0, 220}, {207, 220}, {20, 394}};
constexpr bool kSegHorz[7] = {true, false, false, true, false, false, true};
constexpr TPoint kDotPos{269, 394}, kPlusPos{57, 120}, kColonPos{122, 121}, kDegPos{150, 0};

void PenAndBrush(TCanvas& C, TColor Color) {
    C.Pen().SetColor(Color);
    C.Brush().SetColor(Color);
}

// The six segment pictures as decoded from the resources, once per process.
const TBitmap& SegmentPicture(int Index) {
    static const char* const names[6] = {"SEGHORZ", "SEGVERT",  "SEGDOT",
                                         "SEGPLUS", "SEGCOLON", "SEGDEG"};
    static std::unique_ptr<TBitmap> pics[6];
    std::unique_ptr<TBitmap>& p = pics[Index];
    if (!p) {
        auto b = std::make_unique<TBitmap>();
        b->LoadFromResourceName(names[Index]); // raises EResNotFound without the pictures
        b->SetPixelFormat(pf32bit);            // storage is 32-bit already; record the conversion
        p = std::move(b);
    }
    return *p;
}

// A working copy of segment picture Index, recoloured by ColorizeSegments.
std::unique_ptr<TBitmap> LoadSegment(int Index) {
    auto b = std::make_unique<TBitmap>();
    b->Assign(&SegmentPicture(Index));
    b->SetPixelFormat(pf32bit);
    return b;
}

// Every pixel of B that is not pure white becomes Pixel (a stored pixel word).
void PaintInk(TBitmap& B, std::uint32_t Pixel) {
    const std::size_t n = std::size_t(B.Width()) * std::size_t(B.Height());
    std::uint32_t* p = B.Bits();
    for (std::size_t i = 0; i < n; ++i)
        if ((p[i] & 0xFFFFFF) != 0xFFFFFF) p[i] = Pixel;
}

// The glyph caches in use, by cell size and colours (resolved to RGB): displays that look
// alike share one. An entry lives as long as a display holds it, and the one built last also
// while none does, so a form that is closed and opened again (or loaded again from its file)
// finds its glyphs.
using TGlyphKey = std::tuple<int, int, TColor, TColor>;
std::map<TGlyphKey, std::weak_ptr<const TBitmap>>& GlyphCaches() {
    static std::map<TGlyphKey, std::weak_ptr<const TBitmap>> caches;
    return caches;
}
std::shared_ptr<const TBitmap>& LastGlyphCache() {
    static std::shared_ptr<const TBitmap> last;
    return last;
}

bool IsPoint(char32_t c) { return c == U'.' || c == U','; }

char32_t UpCase(char32_t c) { return c >= U'a' && c <= U'z' ? c - 32 : c; }

// 1-based cache index of a character, 0 when it has no glyph.
int CacheIndex(char32_t c) {
    for (int k = 0; k < 21; ++k)
        if (SevenSegCharList[k] == c) return k + 1;
    return 0;
}

// Calls Put(picture index, top-left corner) for every segment picture glyph Ch is made of (the
// indexes of SegmentPicture); Dot adds the decimal point.
template <class F>
void ForEachPart(char32_t Ch, bool Dot, F&& Put) {
    Ch = UpCase(Ch);
    if (Ch == U'+') {
        Put(3, kPlusPos);
    } else if (Ch == U':') {
        Put(4, kColonPos);
    } else if (Ch == U'\u00B0') {
        Put(5, kDegPos);
    } else {
        const int segs = SegmentsOf(Ch);
        for (int k = 0; k < 7; ++k)
            if (segs & (1 << k)) Put(kSegHorz[k] ? 0 : 1, kSegPos[k]);
        if (IsPoint(Ch)) Dot = true;
    }
    if (Dot) Put(2, kDotPos);
}

// A full-size glyph as its lit pixels: rows with the same runs merged into bands.
struct TGlyphOutline {
    struct Band {
        int Y0, Y1;                            // rows [Y0, Y1)
        std::vector<std::pair<int, int>> Runs; // lit columns [first, second)
    };
    std::vector<Band> Bands;
};

// The outlines of the 21 cache glyphs, made once per process. A pixel is lit where any picture
// of the glyph has ink (is not white), as in the composed glyph.
const std::vector<TGlyphOutline>& GlyphOutlines() {
    static const std::vector<TGlyphOutline> outlines = [] {
        std::vector<TGlyphOutline> all(21);
        std::vector<unsigned char> lit(std::size_t(kDigW) * kDigH);
        for (int k = 0; k < 21; ++k) {
            std::fill(lit.begin(), lit.end(), 0);
            ForEachPart(SevenSegCharList[k], false, [&](int Index, TPoint At) {
                const TBitmap& pic = SegmentPicture(Index);
                for (int y = std::max(0, -At.Y); y < pic.Height() && At.Y + y < kDigH; ++y) {
                    const std::uint32_t* row = pic.ScanLine(y);
                    for (int x = std::max(0, -At.X); x < pic.Width() && At.X + x < kDigW; ++x)
                        if ((row[x] & 0xFFFFFF) != 0xFFFFFF)
                            lit[std::size_t(At.Y + y) * kDigW + std::size_t(At.X + x)] = 1;
                }
            });
            std::vector<TGlyphOutline::Band>& bands = all[std::size_t(k)].Bands;
            std::vector<std::pair<int, int>> runs;
            for (int y = 0; y < kDigH; ++y) {
                runs.clear();
                const unsigned char* row = lit.data() + std::size_t(y) * kDigW;
                for (int x = 0; x < kDigW;) {
                    if (!row[x]) {
                        ++x;
                        continue;
                    }
                    const int x0 = x;
                    while (x < kDigW && row[x]) ++x;
                    runs.emplace_back(x0, x);
                }
                if (!bands.empty() && bands.back().Runs == runs)
                    bands.back().Y1 = y + 1;
                else if (!runs.empty())
                    bands.push_back({y, y + 1, runs});
            }
        }
        return all;
    }();
    return outlines;
}

// One axis of the box filter from Src full-size pixels to Dst cell pixels, in the units of
// the framework's HALFTONE blit: source pixel j spans [j * Scale, (j + 1) * Scale), cell pixel
// i spans [i * Span, (i + 1) * Span). An unscaled axis counts whole pixels.
struct TBoxAxis {
    TBoxAxis(int Dst, int Src)
        : Scale(Dst == Src ? 1 : Dst), Span(Dst == Src ? 1 : Src), Cells(Dst) {}
    // Adds the overlap of source pixels [First, Last) with each cell pixel to Acc; returns the
    // cell pixels touched, [first, last).
    std::pair<int, int> Spread(int First, int Last, std::int64_t* Acc) const {
        const std::int64_t lo = std::int64_t(First) * Scale, hi = std::int64_t(Last) * Scale;
        const std::int64_t i0 = lo / Span,
                           i1 = std::min<std::int64_t>(Cells, (hi + Span - 1) / Span);
        for (std::int64_t i = i0; i < i1; ++i)
            Acc[i] += std::min(hi, (i + 1) * Span) - std::max(lo, i * Span);
        return {int(i0), int(i1)};
    }
    std::int64_t Scale, Span;
    int Cells;
};

} // namespace

TSevenSeg::TSevenSeg(TComponent* AOwner) : TGraphicControl(AOwner) {
    InitBounds(Left(), Top(), 216, 76);
    FWidth = 216;
    FHeight = 76;
    SetOnResize([this](TObject* Sender) { ProcessResize(Sender); });
}

TSevenSeg::~TSevenSeg() = default;

// ---- Setters ----------------------------------------------------------------------------------

// Deferred and merged: any number of changes before the loop runs costs one paint. The glyph
// cache follows at that paint, since it is looked up by cell size and colours.
void TSevenSeg::Changed() { Invalidate(); }

void TSevenSeg::SetCaption(const std::string& Value) {
    if (SetField(FCaption, Value)) Changed();
}

void TSevenSeg::SetColorBackGnd(TColor Value) {
    if (SetField(FColorBakG, Value)) Changed();
}

void TSevenSeg::SetColorText(TColor Value) {
    if (SetField(FColorTxt, Value)) Changed();
}

void TSevenSeg::SetColorScheme(TColorScheme Value) {
    if (!SetField(FColorScheme, Value)) return;
    SchemeLineColors(Value, FColGrayLine, FColWhiteLine);
    Changed();
}

void TSevenSeg::SetFrameStyle(TFrameStyle Value) {
    if (SetField(FFrameStyle, Value)) Changed();
}

void TSevenSeg::SetInterDigDist(int Value) {
    if (SetField(FInterDigDist, std::min(Value, 255))) Changed();
}

void TSevenSeg::SetMargin(int Value) {
    if (Value == FMargin) return; // compared before the limit
    if (SetField(FMargin, std::min(Value, Height() / 2 - 1))) Changed();
}

void TSevenSeg::SetNumDigits(int Value) {
    if (Value < 1 || Value > 32) return;
    if (SetField(FNumDigits, Value)) Changed();
}

void TSevenSeg::ProcessResize(TObject* Sender) {
    (void)Sender;
    if (Width() == FWidth && Height() == FHeight) return;
    FWidth = Width();
    FHeight = Height();
    Changed();
}

int TSevenSeg::DigitWidth() const { return (Width() - 2 * FMargin) / FNumDigits - FInterDigDist; }

// ---- Assign -----------------------------------------------------------------------------------

void TSevenSeg::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TSevenSeg*>(Source);
    if (s == nullptr) {
        TGraphicControl::Assign(Source);
        return;
    }
    FColorBakG = s->FColorBakG;
    FColorTxt = s->FColorTxt;
    FNumDigits = s->FNumDigits;
    FCaption = s->FCaption;
    FFrameStyle = s->FFrameStyle;
    FColGrayLine = s->FColGrayLine;
    FColWhiteLine = s->FColWhiteLine;
    FColorScheme = s->FColorScheme;
    FMargin = s->FMargin;
    FInterDigDist = s->FInterDigDist;
    Changed(); // the cache follows the new looks at the paint
}

void TSevenSeg::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TSevenSeg*>(Dest)) {
        d->Assign(this);
        return;
    }
    TGraphicControl::AssignTo(Dest);
}

// ---- Glyphs -----------------------------------------------------------------------------------

void TSevenSeg::LoadWorkBitmaps() {
    if (DigImg) return;
    SegHorz = LoadSegment(0);
    SegVert = LoadSegment(1);
    SegDot = LoadSegment(2);
    SegPlus = LoadSegment(3);
    SegColon = LoadSegment(4);
    SegDeg = LoadSegment(5);
    DigImg = std::make_unique<TBitmap>(kDigW, kDigH);
    DigImg->SetPixelFormat(pf32bit);
}

void TSevenSeg::ColorizeSegments(TColor Color) {
    LoadWorkBitmaps();
    if (ColorToRGB(Color) == clWhite) Color = 0xFEFEFE; // white is the pictures' surround
    // Every ink pixel of a picture is lit, so shapes of several parts (the colon's two dots)
    // need no joining line.
    for (TBitmap* b :
         {SegVert.get(), SegHorz.get(), SegDot.get(), SegPlus.get(), SegColon.get(), SegDeg.get()})
        PaintInk(*b, ColorToPixel(Color));
}

void TSevenSeg::CreateDigit(char32_t Ch, bool Dot) {
    LoadWorkBitmaps();
    TCanvas& c = DigImg->Canvas();
    PenAndBrush(c, clWhite);
    c.Rectangle(0, 0, kDigW, kDigH);
    c.SetCopyMode(cmSrcAnd);
    const TBitmap* const pics[6] = {SegHorz.get(), SegVert.get(),  SegDot.get(),
                                    SegPlus.get(), SegColon.get(), SegDeg.get()};
    ForEachPart(Ch, Dot, [&](int Index, TPoint At) {
        const TBitmap& pic = *pics[Index];
        c.CopyRect(Bounds(At.X, At.Y, pic.Width(), pic.Height()), pic.Canvas(),
                   Rect(0, 0, pic.Width(), pic.Height()));
    });
    c.SetCopyMode(cmSrcCopy);
    // All white left is background: the surround and any white a shape encloses (the hole of
    // the degree ring). The lit colour is never pure white (see ColorizeSegments).
    const std::uint32_t back = ColorToPixel(FColorBakG);
    std::uint32_t* p = DigImg->Bits();
    for (std::size_t i = 0, n = std::size_t(kDigW) * kDigH; i < n; ++i)
        if ((p[i] & 0xFFFFFF) == 0xFFFFFF) p[i] = back;
}

void TSevenSeg::CreateImageCache() {
    FWidth = Width();
    FHeight = Height();
    const int dw = DigitWidth(), ch = Height() - 2 * FMargin;
    const TColor back = ColorToRGB(FColorBakG), text = ColorToRGB(FColorTxt);
    FCacheKey = {dw, ch, back, text};
    FCacheDW = 0;
    if (dw <= 0 || ch <= 0 || std::int64_t(dw) * 21 > TBitmap::MaxSide ||
        std::int64_t(dw) * 21 * ch > TBitmap::MaxPixels) {
        static const auto none = std::make_shared<const TBitmap>();
        ImgCache = none;
        return;
    }
    auto cache = std::make_shared<TBitmap>();
    cache->SetPixelFormat(pf32bit);
    cache->SetSize(21 * dw, ch);
    // Each cell pixel is the rounded mean of its source pixels: Lit of them (area-weighted, out
    // of Total) in the ink colour, the rest in the background (see ColorizeSegments, CreateDigit).
    const std::uint32_t ink = ColorToPixel(ColorToRGB(FColorTxt) == clWhite ? 0xFEFEFE : FColorTxt);
    const std::uint32_t bg = ColorToPixel(FColorBakG);
    const TBoxAxis ax(dw, kDigW), ay(ch, kDigH);
    const std::int64_t total = ax.Span * ay.Span;
    std::vector<std::int64_t> lit(static_cast<std::size_t>(dw) * static_cast<std::size_t>(ch));
    std::vector<std::int64_t> across(static_cast<std::size_t>(dw));
    std::vector<std::int64_t> down(static_cast<std::size_t>(ch));
    const auto blend = [total](std::int64_t Lit, std::uint32_t Ink, std::uint32_t Bg) {
        std::uint32_t px = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::int64_t v =
                Lit * ((Ink >> shift) & 0xFF) + (total - Lit) * ((Bg >> shift) & 0xFF) + total / 2;
            px |= std::uint32_t(v / total) << shift;
        }
        return px;
    };
    const std::vector<TGlyphOutline>& outlines = GlyphOutlines();
    for (int k = 0; k < 21; ++k) {
        std::fill(lit.begin(), lit.end(), 0);
        for (const TGlyphOutline::Band& band : outlines[std::size_t(k)].Bands) {
            std::fill(across.begin(), across.end(), 0);
            int left = dw, right = 0;
            for (const auto& [x0, x1] : band.Runs) {
                const auto [i0, i1] = ax.Spread(x0, x1, across.data());
                left = std::min(left, i0);
                right = std::max(right, i1);
            }
            const auto [top, bottom] = ay.Spread(band.Y0, band.Y1, down.data());
            for (int y = top; y < bottom; ++y) {
                std::int64_t* row = lit.data() + std::size_t(y) * std::size_t(dw);
                const std::int64_t share = down[std::size_t(y)];
                for (int x = left; x < right; ++x) row[x] += share * across[std::size_t(x)];
                down[std::size_t(y)] = 0;
            }
        }
        for (int y = 0; y < ch; ++y) {
            std::uint32_t* out = cache->ScanLine(y) + std::size_t(k) * std::size_t(dw);
            const std::int64_t* row = lit.data() + std::size_t(y) * std::size_t(dw);
            for (int x = 0; x < dw; ++x)
                out[x] = row[x] == 0 ? (bg & 0xFFFFFF) : blend(row[x], ink, bg);
        }
    }
    ImgCache = cache;
    FCacheDW = dw;
    LastGlyphCache() = ImgCache;
    auto& caches = GlyphCaches();
    std::erase_if(caches, [](const auto& e) { return e.second.expired(); });
    caches[FCacheKey] = ImgCache;
}

const TBitmap& TSevenSeg::ImageCache() {
    const int dw = DigitWidth(), ch = Height() - 2 * FMargin;
    const TGlyphKey key{dw, ch, ColorToRGB(FColorBakG), ColorToRGB(FColorTxt)};
    if (ImgCache && key == FCacheKey) return *ImgCache;
    auto& caches = GlyphCaches();
    auto it = caches.find(key);
    if (it != caches.end()) {
        if (auto shared = it->second.lock()) {
            ImgCache = std::move(shared);
            FCacheKey = key;
            FCacheDW = ImgCache->Empty() ? 0 : dw;
            return *ImgCache;
        }
    }
    CreateImageCache();
    return *ImgCache;
}

// ---- Paint ------------------------------------------------------------------------------------

void TSevenSeg::Paint() {
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    const TBitmap& cache = ImageCache(); // follows size and colours, also without OnResize
    TBitmap bmp(W, H);
    TCanvas& c = bmp.Canvas();
    PenAndBrush(c, FColorBakG);
    c.Rectangle(0, 0, W, H);

    const int dw = FCacheDW, ch = cache.Height();
    if (dw > 0 && !FCaption.empty()) {
        const std::u32string text = DecodeUtf8(FCaption);
        std::size_t i = 0;
        int p = 0;
        while (p < FNumDigits && i < text.size()) {
            ++p;
            char32_t ch0 = text[i++];
            bool dot = false;
            if (IsPoint(ch0)) {
                dot = true;
                ch0 = U' ';
            } else if (i < text.size() && IsPoint(text[i])) {
                ++i;
                dot = true;
            }
            const int x = (p - 1) * (FInterDigDist + dw) + FMargin;
            const int k = CacheIndex(UpCase(ch0));
            if (k > 0)
                c.CopyRect(Rect(x, FMargin, x + dw, FMargin + ch), cache.Canvas(),
                           Rect((k - 1) * dw, 0, k * dw, ch));
            if (dot)
                c.CopyRect(Rect(x + dw * 5 / 6, ch * 5 / 6 + FMargin, x + dw, H - FMargin),
                           cache.Canvas(), Rect(dw * 5 / 6 + 20 * dw, ch * 5 / 6, 21 * dw, ch));
        }
    }
    DrawFrame(c, FFrameStyle, 0, 0, W - 1, H - 1, clWhite, clSilver, clGray, clBlack, clBlack);
    Canvas().SetCopyMode(cmSrcCopy);
    Canvas().Draw(0, 0, bmp);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

const TClassRegistrar<TSevenSeg> sevenSegReg("TSevenSeg", "TGraphicControl", [](auto& p) {
    using S = TSevenSeg;
    p.String("Caption", &S::Caption, &S::SetCaption, "8.8.8.8.");
    p.Color("ColorBackGnd", &S::ColorBackGnd, &S::SetColorBackGnd, 0x333333);
    p.Enum("ColorScheme", &S::ColorScheme, &S::SetColorScheme, cschClassic,
           {"cschClassic", "cschSystem"});
    p.Color("ColorText", &S::ColorText, &S::SetColorText, clRed);
    p.Enum("FrameStyle", &S::FrameStyle, &S::SetFrameStyle, fstLowered,
           {"fstNone", "fstLoweredThin", "fstLowered", "fstRaised", "fstEmbossed", "fstSimple"});
    p.Int("InterDigDist", &S::InterDigDist, &S::SetInterDigDist, 2);
    p.Int("Margin", &S::Margin, &S::SetMargin, 8);
    p.Int("NumDigits", &S::NumDigits, &S::SetNumDigits, 4);
});

} // namespace

} // namespace kel
