// Blits and stretching: every raster operation against its truth table, nearest, AND/OR and
// halftone sampling, mirroring, destination-only clipping, transparent draws, overlapping
// copies and far-off coordinates.
#include "canvas_test_util.h"
#include "detail/raster.h"

#include <climits>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::Surface;

// The truth table applied bit by bit: output bit = bit (p<<2 | s<<1 | d) of the index.
static std::uint32_t ByTruthTable(unsigned idx, std::uint32_t P, std::uint32_t S, std::uint32_t D) {
    std::uint32_t r = 0;
    for (int b = 0; b < 24; ++b) {
        const unsigned p = (P >> b) & 1, s = (S >> b) & 1, d = (D >> b) & 1;
        r |= ((idx >> ((p << 2) | (s << 1) | d)) & 1u) << b;
    }
    return r;
}

TEST(CanvasBlit, EveryRasterOperationFollowsItsTruthTable) {
    const std::uint32_t S[4] = {0x000000, 0xFFFFFF, 0x3C5AA5, 0x0FF00F};
    const std::uint32_t D[4] = {0xFFFFFF, 0x000000, 0x55AA55, 0xC3C3C3};
    const TColor brush = 0x00E1B296; // pixel 0x96B2E1
    Surface src(4, 1);
    for (int i = 0; i < 4; ++i) src.px[std::size_t(i)] = S[i];
    for (unsigned idx = 0; idx < 256; ++idx) {
        Surface dst(4, 1);
        for (int i = 0; i < 4; ++i) dst.px[std::size_t(i)] = D[i];
        dst.canvas.Brush().SetColor(brush);
        BitBlt(dst.canvas, 0, 0, 4, 1, src.canvas, 0, 0, idx << 16);
        for (int i = 0; i < 4; ++i)
            ASSERT_EQ(dst.px[std::size_t(i)], ByTruthTable(idx, ColorToPixel(brush), S[i], D[i]))
                << "index " << idx << " pixel " << i;
    }
}

TEST(CanvasBlit, NamedCopyModesMeanWhatTheirNamesSay) {
    const std::uint32_t s = 0x3C5AA5, d = 0x55AA55, p = 0x96B2E1;
    struct Case {
        TCopyMode mode;
        std::uint32_t expect;
    } cases[] = {{cmBlackness, 0},       {cmNotSrcErase, ~(s | d)},
                 {cmNotSrcCopy, ~s},     {cmSrcErase, s & ~d},
                 {cmDstInvert, ~d},      {cmPatInvert, p ^ d},
                 {cmSrcInvert, s ^ d},   {cmSrcAnd, s & d},
                 {cmMergePaint, ~s | d}, {cmMergeCopy, p & s},
                 {cmSrcCopy, s},         {cmSrcPaint, s | d},
                 {cmPatCopy, p},         {cmPatPaint, p | ~s | d},
                 {cmWhiteness, 0xFFFFFF}};
    Surface src(1, 1);
    src.px[0] = s;
    for (const Case& c : cases) {
        Surface dst(1, 1);
        dst.px[0] = d;
        dst.canvas.Brush().SetColor(PixelToColor(p));
        dst.canvas.SetCopyMode(c.mode);
        dst.canvas.CopyRect(Rect(0, 0, 1, 1), src.canvas, Rect(0, 0, 1, 1));
        EXPECT_EQ(dst.px[0], c.expect & 0xFFFFFF) << std::hex << c.mode;
    }
}

TEST(CanvasBlit, HalftoneShrinkOfACheckerboardGivesTheMeanColour) {
    Surface src(2, 2), dst(1, 1);
    src.px = {0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000};
    SetStretchBltMode(dst.canvas, HALFTONE);
    StretchBlt(dst.canvas, 0, 0, 1, 1, src.canvas, 0, 0, 2, 2, cmSrcCopy);
    EXPECT_EQ(dst.px[0], 0x808080u); // 127.5 rounds up
    src.px = {0x102030, 0x204060, 0x000000, 0x306090};
    StretchBlt(dst.canvas, 0, 0, 1, 1, src.canvas, 0, 0, 2, 2, cmSrcCopy);
    EXPECT_EQ(dst.px[0], 0x183048u);
}

TEST(CanvasBlit, HalftoneWeighsPartlyCoveredPixelsByArea) {
    // Three source pixels onto two: each destination pixel gets 1 whole and half of the middle.
    Surface src(3, 1), dst(2, 1);
    src.px = {0x000000, 0x0000C0, 0x000060};
    SetStretchBltMode(dst.canvas, HALFTONE);
    StretchBlt(dst.canvas, 0, 0, 2, 1, src.canvas, 0, 0, 3, 1, cmSrcCopy);
    EXPECT_EQ(dst.px[0], 0x000040u); // (0 + 0xC0/2) / 1.5
    EXPECT_EQ(dst.px[1], 0x000080u); // (0xC0/2 + 0x60) / 1.5
}

TEST(CanvasBlit, NearestSamplingRepeatsOnEnlargementAndTakesCentresOnReduction) {
    Surface src(3, 1), big(6, 1), small(2, 1);
    src.px = {0x111111, 0x222222, 0x333333};
    StretchBlt(big.canvas, 0, 0, 6, 1, src.canvas, 0, 0, 3, 1, cmSrcCopy);
    EXPECT_EQ(big.px, (std::vector<std::uint32_t>{0x111111, 0x111111, 0x222222, 0x222222, 0x333333,
                                                  0x333333}));
    Surface wide(6, 1);
    wide.px = {1, 2, 3, 4, 5, 6};
    Surface third(2, 1);
    StretchBlt(third.canvas, 0, 0, 2, 1, wide.canvas, 0, 0, 6, 1, cmSrcCopy);
    EXPECT_EQ(third.px, (std::vector<std::uint32_t>{2, 5})); // centres 1.5 and 4.5 of 6
}

TEST(CanvasBlit, AndAndOrModesCombineTheDroppedPixels) {
    Surface src(4, 1), dst(2, 1);
    src.px = {0xF0F0F0, 0x0F0FFF, 0xFFFFFF, 0x00FF00};
    SetStretchBltMode(dst.canvas, BLACKONWHITE);
    StretchBlt(dst.canvas, 0, 0, 2, 1, src.canvas, 0, 0, 4, 1, cmSrcCopy);
    EXPECT_EQ(dst.px, (std::vector<std::uint32_t>{0x0000F0, 0x00FF00}));
    SetStretchBltMode(dst.canvas, WHITEONBLACK);
    StretchBlt(dst.canvas, 0, 0, 2, 1, src.canvas, 0, 0, 4, 1, cmSrcCopy);
    EXPECT_EQ(dst.px, (std::vector<std::uint32_t>{0xFFFFFF, 0xFFFFFF}));
}

TEST(CanvasBlit, OppositeSignsMirrorTheImage) {
    Surface src(3, 2), dst(3, 2);
    src.px = {1, 2, 3, 4, 5, 6};
    // Negative destination width: the copy covers x+w+1 .. x, mirrored.
    StretchBlt(dst.canvas, 2, 0, -3, 2, src.canvas, 0, 0, 3, 2, cmSrcCopy);
    EXPECT_EQ(dst.px, (std::vector<std::uint32_t>{3, 2, 1, 6, 5, 4}));
    StretchBlt(dst.canvas, 0, 1, 3, -2, src.canvas, 0, 0, 3, 2, cmSrcCopy);
    EXPECT_EQ(dst.px, (std::vector<std::uint32_t>{4, 5, 6, 1, 2, 3}));
    StretchBlt(dst.canvas, 2, 1, -3, -2, src.canvas, 0, 0, 3, 2, cmSrcCopy);
    EXPECT_EQ(dst.px, (std::vector<std::uint32_t>{6, 5, 4, 3, 2, 1}));
}

TEST(CanvasBlit, ClipsTheDestinationOnlyAndSkipsPixelsWithoutSource) {
    Surface src(4, 4), dst(6, 6, clBlack);
    for (int i = 0; i < 16; ++i) src.px[std::size_t(i)] = std::uint32_t(0x100 + i);
    src.canvas.SetClipRect(Rect(0, 0, 1, 1)); // a source clip does not matter
    dst.canvas.SetClipRect(Rect(1, 1, 6, 6));
    // Source (2..5, 2..5) reaches past the source surface at x, y = 4, 5.
    BitBlt(dst.canvas, 0, 0, 4, 4, src.canvas, 2, 2, cmSrcCopy);
    std::string got;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) got += dst.At(x, y) ? "S" : "-";
    EXPECT_EQ(got, "----"
                   "-S--"
                   "----"
                   "----");
    EXPECT_EQ(dst.At(1, 1), 0x100u + 3 * 4 + 3);
}

TEST(CanvasBlit, OriginAppliesToBothCanvases) {
    Surface src(4, 4), dst(6, 6, clBlack);
    for (int i = 0; i < 16; ++i) src.px[std::size_t(i)] = std::uint32_t(0x100 + i);
    src.canvas.SetOrigin(Point(1, 1));
    dst.canvas.SetOrigin(Point(2, 3));
    dst.canvas.CopyRect(Rect(0, 0, 2, 1), src.canvas, Rect(0, 0, 2, 1));
    EXPECT_EQ(dst.At(2, 3), 0x105u);
    EXPECT_EQ(dst.At(3, 3), 0x106u);
    EXPECT_EQ(dst.Count(clBlack), 34);
}

TEST(CanvasBlit, OverlappingCopyWithinOneCanvasReadsTheOriginal) {
    Surface s(5, 1);
    s.px = {1, 2, 3, 4, 5};
    s.canvas.CopyRect(Rect(1, 0, 5, 1), s.canvas, Rect(0, 0, 4, 1));
    EXPECT_EQ(s.px, (std::vector<std::uint32_t>{1, 1, 2, 3, 4}));
}

TEST(CanvasBlit, TransparentDrawLeavesKeyColouredPixelsAndIgnoresCopyMode) {
    TBitmap bmp(3, 2);
    const std::uint32_t key = ColorToPixel(clFuchsia);
    std::uint32_t* p = bmp.Bits();
    p[0] = 0x112233;
    p[1] = key;
    p[2] = 0x445566;
    p[3] = key;
    p[4] = 0x778899;
    p[5] = key;
    bmp.SetTransparent(true);
    bmp.SetTransparentColor(clFuchsia);
    Surface dst(4, 3, clBlack);
    dst.canvas.SetCopyMode(cmSrcInvert);
    dst.canvas.Draw(1, 1, bmp);
    EXPECT_EQ(dst.px, (std::vector<std::uint32_t>{0, 0, 0, 0, 0, 0x112233, 0, 0x445566, 0, 0,
                                                  0x778899, 0}));
    // Automatic key: the bottom-left pixel.
    TBitmap auto_(2, 1);
    auto_.Bits()[0] = 0x00FF00;
    auto_.Bits()[1] = 0x0000FF;
    auto_.SetTransparent(true);
    Surface d2(2, 1, clWhite);
    d2.canvas.Draw(0, 0, auto_);
    EXPECT_EQ(d2.px, (std::vector<std::uint32_t>{0xFFFFFF, 0x0000FF}));
}

TEST(CanvasBlit, MaskThenImageIdiomPunchesAndPaints) {
    TBitmap mask(2, 1), image(2, 1);
    mask.Bits()[0] = 0xFFFFFF; // keep the background
    mask.Bits()[1] = 0x000000; // hole
    image.Bits()[0] = 0x000000;
    image.Bits()[1] = 0x3366CC;
    Surface dst(2, 1);
    dst.px = {0x808080, 0x808080};
    dst.canvas.SetCopyMode(cmSrcAnd);
    dst.canvas.StretchDraw(Rect(0, 0, 2, 1), mask);
    dst.canvas.SetCopyMode(cmSrcPaint);
    dst.canvas.StretchDraw(Rect(0, 0, 2, 1), image);
    EXPECT_EQ(dst.px, (std::vector<std::uint32_t>{0x808080, 0x3366CC}));
}

TEST(CanvasBlit, HalftoneOfAUniformImageStaysExact) {
    TBitmap big(312, 432);
    std::fill(big.Bits(), big.Bits() + 312 * 432, 0x2468ACu);
    TBitmap small(52, 72);
    SetStretchBltMode(small.Canvas(), HALFTONE);
    StretchBlt(small.Canvas(), 0, 0, 52, 72, big.Canvas(), 0, 0, 312, 432, cmSrcCopy);
    EXPECT_TRUE(std::all_of(small.Bits(), small.Bits() + 52 * 72,
                            [](std::uint32_t p) { return p == 0x2468ACu; }));
}

TEST(CanvasBlit, FarOffHugeAndDegenerateBlitsNeverCrash) {
    Surface src(4, 4), dst(8, 8, clBlack);
    for (int i = 0; i < 16; ++i) src.px[std::size_t(i)] = std::uint32_t(0x100 + i);
    EXPECT_EQ(StretchBlt(dst.canvas, 0, 0, 0, 5, src.canvas, 0, 0, 4, 4, cmSrcCopy), 0);
    StretchBlt(dst.canvas, INT_MIN, INT_MIN, INT_MAX, INT_MAX, src.canvas, INT_MIN, 0, INT_MAX, 4,
               cmSrcCopy); // ends just left of and above the surface
    dst.canvas.SetOrigin(Point(INT_MAX, INT_MAX));
    BitBlt(dst.canvas, INT_MAX, INT_MAX, 4, 4, src.canvas, 0, 0, cmSrcCopy);
    EXPECT_EQ(dst.Count(clBlack), 64);
    // A mirrored enlargement by 2^29 whose visible corner shows the last source column.
    dst.canvas.SetOrigin(Point(0, 0));
    StretchBlt(dst.canvas, INT_MAX, 0, INT_MIN, 8, src.canvas, 0, 0, 4, 4, cmSrcCopy);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.At(x, y), 0x100u + (y / 2) * 4 + 3);
    TCanvas none;
    EXPECT_EQ(BitBlt(dst.canvas, 0, 0, 2, 2, none, 0, 0, cmSrcCopy), 0);
    EXPECT_EQ(BitBlt(none, 0, 0, 2, 2, src.canvas, 0, 0, cmSrcCopy), 1);
}

// The wide fill and the row copy are not seen by AddressSanitizer's per-access checks; under it
// they check each run themselves, so a run past its storage still stops the program.
TEST(CanvasRasterDeathTest, RunsPastTheirStorageAreReportedUnderTheSanitizer) {
    std::vector<std::uint32_t> px(100), src(10, 0xFF123456u);
    // In bounds, short and long runs: written, and the copy drops the unused top byte.
    raster::FillPixels(px.data() + 90, 10, 0x00ABCDEFu, pmCopy);
    raster::FillPixels(px.data(), 90, 0x00123456u, pmCopy);
    EXPECT_EQ(px[0], 0x123456u);
    EXPECT_EQ(px[89], 0x123456u);
    EXPECT_EQ(px[99], 0xABCDEFu);
    raster::CopyPixels(px.data() + 90, src.data(), 10);
    EXPECT_EQ(px[99], 0x123456u);
#if !KEL_ASAN
    GTEST_SKIP() << "the overrun checks need AddressSanitizer";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(raster::FillPixels(px.data() + 50, 51, 0, pmCopy), "buffer-overflow");
    EXPECT_DEATH(raster::FillPixels(px.data() + 95, 6, 0, pmCopy), "buffer-overflow");
    EXPECT_DEATH(raster::CopyPixels(px.data() + 95, src.data(), 6), "buffer-overflow");
    EXPECT_DEATH(raster::CopyPixels(px.data(), src.data(), 11), "buffer-overflow");
    std::vector<std::uint32_t> longSrc(64);
    EXPECT_DEATH(raster::CopyPixels(px.data() + 40, longSrc.data(), 64), "buffer-overflow");
    EXPECT_DEATH(raster::CopyPixels(px.data(), longSrc.data() + 1, 64), "buffer-overflow");
#endif
}
