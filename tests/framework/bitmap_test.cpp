// TBitmap: sizes and their limits, scan lines, Assign and transparency; BMP files of every read
// depth crafted byte by byte; BMP and PNG round trips; damaged files that must raise and leave
// the bitmap alone; named resources.
#include "kel_graphics.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <climits>
#include <cstdio>
#include <csetjmp>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace kel;

namespace {

namespace fs = std::filesystem;

std::string TempPath(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / "kel_bitmap_test";
    fs::create_directories(dir);
    return (dir / name).string();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put16(std::string& s, std::uint32_t v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A BMP file with a 40-byte header (or 12 for core) built from its parts. Pixel rows are given
// exactly as stored, padding included.
struct BmpSpec {
    int hdrSize = 40;
    std::int32_t w = 0, h = 0;
    int bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
    std::vector<std::uint32_t> masks;   // written after a 40-byte header
    std::string pixels;
};

std::string MakeBmp(const BmpSpec& b) {
    std::string hdr;
    if (b.hdrSize == 12) {
        Put32(hdr, 12);
        Put16(hdr, std::uint32_t(b.w));
        Put16(hdr, std::uint32_t(b.h));
        Put16(hdr, 1);
        Put16(hdr, std::uint32_t(b.bpp));
    } else {
        Put32(hdr, 40);
        Put32(hdr, std::uint32_t(b.w));
        Put32(hdr, std::uint32_t(b.h));
        Put16(hdr, 1);
        Put16(hdr, std::uint32_t(b.bpp));
        Put32(hdr, b.compression);
        Put32(hdr, std::uint32_t(b.pixels.size()));
        Put32(hdr, 3780);
        Put32(hdr, 3780);
        Put32(hdr, b.clrUsed);
        Put32(hdr, 0);
    }
    for (std::uint32_t m : b.masks) Put32(hdr, m);
    for (std::uint32_t c : b.palette) {
        hdr += char(c & 0xFF);
        hdr += char((c >> 8) & 0xFF);
        hdr += char((c >> 16) & 0xFF);
        if (b.hdrSize != 12) hdr += char(0);
    }
    std::string f = "BM";
    Put32(f, std::uint32_t(14 + hdr.size() + b.pixels.size()));
    Put32(f, 0);
    Put32(f, std::uint32_t(14 + hdr.size()));
    return f + hdr + b.pixels;
}

std::string Bytes(std::initializer_list<int> v) {
    std::string s;
    for (int c : v) s += char(c);
    return s;
}

// Rows of the bitmap as 0x00RRGGBB values, top row first.
std::vector<std::uint32_t> PixelsOf(const TBitmap& bmp) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) out.push_back(bmp.ScanLine(y)[x] & 0xFFFFFF);
    return out;
}

void LoadBytes(TBitmap& bmp, const std::string& bytes) {
    std::istringstream in(bytes);
    bmp.LoadFromStream(in);
}

// A bitmap with a reproducible noise pattern, for round trips.
void FillNoise(TBitmap& bmp, int w, int h, unsigned seed) {
    bmp.SetSize(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bmp.ScanLine(y)[x] = rng() & 0xFFFFFF;
}

// A PNG chunk with its CRC.
std::string Chunk(const char* type, const std::string& data) {
    std::string body = std::string(type, 4) + data;
    std::string out;
    std::uint32_t n = std::uint32_t(data.size());
    out += char(n >> 24), out += char(n >> 16), out += char(n >> 8), out += char(n);
    out += body;
    std::uint32_t crc =
        std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size())));
    out += char(crc >> 24), out += char(crc >> 16), out += char(crc >> 8), out += char(crc);
    return out;
}

std::string Be32(std::uint32_t v) {
    return Bytes({int(v >> 24) & 0xFF, int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF});
}

// A PNG written with libpng directly, for colour types the library never writes itself.
struct PngSpec {
    PngSpec(int w_, int h_, int depth_, int colorType_, bool interlaced_ = false)
        : w(w_), h(h_), depth(depth_), colorType(colorType_), interlaced(interlaced_) {}
    int w, h, depth, colorType;
    bool interlaced;
    std::vector<png_color> palette;
    std::vector<std::string> rows; // raw row bytes
};

void AppendPng(png_structp png, png_bytep data, png_size_t n) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}

std::string MakePng(const PngSpec& s) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (const std::string& r : s.rows)
        rows.push_back(reinterpret_cast<png_bytep>(const_cast<char*>(r.data())));
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, &out, AppendPng, nullptr);
        png_set_IHDR(png, info, png_uint_32(s.w), png_uint_32(s.h), s.depth, s.colorType,
                     s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), int(s.palette.size()));
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    } else {
        out.clear();
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

// Expects fn to raise E with every fragment in its message.
template <typename E, typename F>
void ExpectRaises(F fn, std::initializer_list<std::string> fragments) {
    try {
        fn();
        ADD_FAILURE() << "no exception";
    } catch (const E& e) {
        for (const std::string& f : fragments)
            EXPECT_NE(std::string(e.what()).find(f), std::string::npos)
                << "message \"" << e.what() << "\" lacks \"" << f << "\"";
    }
}

} // namespace

// ---- Sizes, scan lines, Assign, transparency -------------------------------------------------

TEST(Bitmap, NewBitmapIsEmptyAndSizedOneIsWhiteWithItsCanvasBound) {
    TBitmap empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Canvas().SurfaceWidth(), 0);

    TBitmap bmp(3, 2);
    EXPECT_EQ(PixelsOf(bmp), std::vector<std::uint32_t>(6, 0xFFFFFF));
    EXPECT_EQ(bmp.Canvas().SurfaceBits(), bmp.Bits());
    EXPECT_EQ(bmp.Canvas().SurfaceWidth(), 3);
    EXPECT_EQ(bmp.Canvas().SurfaceHeight(), 2);
    EXPECT_EQ(bmp.Canvas().SurfaceStride(), 3);
}

TEST(Bitmap, ResizingKeepsOldPixelsTopLeftFillsNewAreaWhiteAndRebindsTheCanvas) {
    TBitmap bmp(2, 2);
    bmp.ScanLine(0)[0] = 0x000001;
    bmp.ScanLine(0)[1] = 0x000002;
    bmp.ScanLine(1)[0] = 0x000003;
    bmp.ScanLine(1)[1] = 0x000004;
    bmp.SetSize(3, 3);
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{1, 2, 0xFFFFFF, 3, 4, 0xFFFFFF, 0xFFFFFF,
                                                         0xFFFFFF, 0xFFFFFF}));
    EXPECT_EQ(bmp.Canvas().SurfaceBits(), bmp.Bits());
    EXPECT_EQ(bmp.Canvas().SurfaceWidth(), 3);

    bmp.SetWidth(1);
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{1, 3, 0xFFFFFF}));
    bmp.SetHeight(1);
    EXPECT_EQ(PixelsOf(bmp), std::vector<std::uint32_t>{1});
    EXPECT_EQ(bmp.Canvas().SurfaceHeight(), 1);

    // The canvas draws into the new storage.
    bmp.SetSize(4, 4);
    bmp.Canvas().SetPixels(3, 3, clRed);
    EXPECT_EQ(bmp.ScanLine(3)[3] & 0xFFFFFF, 0xFF0000u);
}

// Shrinking and growing again within the storage moves rows in place (wider rows bottom-up,
// narrower ones top-down); every size change must still keep exactly the old top-left pixels.
TEST(Bitmap, ResizingBackAndForthKeepsTheTopLeftPixelsWhateverTheOrder) {
    TBitmap bmp(40, 30);
    std::vector<std::vector<std::uint32_t>> model(30, std::vector<std::uint32_t>(40));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) bmp.ScanLine(y)[x] = model[y][x] = std::uint32_t(y * 100 + x);
    const std::pair<int, int> sizes[] = {{30, 25}, {45, 20}, {45, 26}, {20, 40}, {41, 29}, {10, 10},
                                         {60, 60}, {59, 61}, {61, 59}, {0, 7},   {7, 7}};
    for (auto [w, h] : sizes) {
        bmp.SetSize(w, h);
        model.resize(std::size_t(h));
        for (auto& row : model) row.resize(std::size_t(w), 0xFFFFFF);
        ASSERT_EQ(bmp.Width(), w);
        ASSERT_EQ(bmp.Canvas().SurfaceBits(), bmp.Bits());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(bmp.ScanLine(y)[x], model[y][x])
                    << "pixel (" << x << "," << y << ") after resizing to " << w << " x " << h;
        // Marks the new area so the next step tells moved pixels from fresh white ones.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (model[y][x] == 0xFFFFFF)
                    bmp.ScanLine(y)[x] = model[y][x] = 0x10000u + y * 64 + x;
    }
}

// Storage of up to 2^20 pixels is kept however small the bitmap gets; larger storage while at
// least a quarter of it is used. A reallocation always moves the pixels (the old storage is
// still alive while they are copied), so the address tells which way a resize went.
TEST(Bitmap, ShrinkingKeepsSmallStorageAndGivesBackMostlyIdleLargeStorage) {
    TBitmap small(1000, 1000);
    const std::uint32_t* p = small.Bits();
    small.SetSize(1, 1);
    EXPECT_EQ(small.Bits(), p);
    small.SetSize(1000, 1000);
    EXPECT_EQ(small.Bits(), p);

    TBitmap large(2048, 1024);
    p = large.Bits();
    large.SetSize(1024, 512); // a quarter in use: kept
    EXPECT_EQ(large.Bits(), p);
    large.SetSize(1023, 512); // less than a quarter: given back
    EXPECT_NE(large.Bits(), p);
    EXPECT_EQ(large.ScanLine(511)[1022], 0xFFFFFFu);
}

TEST(Bitmap, NegativeOrAbsurdSizesRaiseAndKeepTheBitmap) {
    TBitmap bmp(2, 1);
    bmp.ScanLine(0)[0] = 0x123456;
    for (auto [w, h] : {std::pair{-1, 5}, {5, -1}, {32768, 1}, {1, 32768}, {20000, 20000}})
        ExpectRaises<EInvalidGraphic>([&, w = w, h = h] { bmp.SetSize(w, h); },
                                      {std::to_string(w) + " x " + std::to_string(h)});
    EXPECT_THROW(bmp.SetWidth(-3), EInvalidGraphic);
    EXPECT_EQ(bmp.Width(), 2);
    EXPECT_EQ(bmp.Height(), 1);
    EXPECT_EQ(bmp.ScanLine(0)[0], 0x123456u);
    // The limits themselves are allowed.
    EXPECT_NO_THROW(bmp.SetSize(32767, 1));
    EXPECT_NO_THROW(bmp.SetSize(0, 0));
}

TEST(Bitmap, ScanLinesAreTopDownRowsAndABadRowRaises) {
    TBitmap bmp(5, 3);
    EXPECT_EQ(bmp.ScanLine(1) - bmp.ScanLine(0), 5);
    EXPECT_EQ(bmp.ScanLine(0), bmp.Bits());
    ExpectRaises<EInvalidGraphic>([&] { bmp.ScanLine(3); }, {"3"});
    EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphic);
    const TBitmap& cb = bmp;
    EXPECT_THROW(cb.ScanLine(7), EInvalidGraphic);
    TBitmap empty;
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphic);
}

TEST(Bitmap, AssignCopiesPixelsFormatAndTransparencyButNotStorage) {
    TBitmap src;
    FillNoise(src, 4, 3, 1);
    src.SetPixelFormat(pf24bit);
    src.SetTransparent(true);
    src.SetTransparentColor(clLime);
    TBitmap dst(1, 1);
    dst.Assign(&src);
    EXPECT_EQ(PixelsOf(dst), PixelsOf(src));
    EXPECT_EQ(dst.PixelFormat(), pf24bit);
    EXPECT_TRUE(dst.Transparent());
    EXPECT_EQ(dst.TransparentMode(), tmFixed);
    EXPECT_EQ(dst.TransparentColor(), clLime);
    EXPECT_NE(dst.Bits(), src.Bits());
    EXPECT_EQ(dst.Canvas().SurfaceBits(), dst.Bits());

    TPen pen;
    ExpectRaises<EConvertError>([&] { dst.Assign(&pen); }, {"TPen", "TBitmap"});
}

TEST(Bitmap, AutomaticTransparentColorIsTheBottomLeftPixelUntilOneIsSet) {
    TBitmap bmp(3, 2);
    bmp.ScanLine(1)[0] = 0x00ABCDEF; // stored 0x00RRGGBB
    bmp.ScanLine(0)[0] = 0x00111111;
    EXPECT_EQ(bmp.TransparentMode(), tmAuto);
    EXPECT_EQ(bmp.TransparentColor(), RGB(0xAB, 0xCD, 0xEF));
    bmp.SetTransparentColor(clRed);
    EXPECT_EQ(bmp.TransparentMode(), tmFixed);
    EXPECT_EQ(bmp.TransparentColor(), clRed);
    bmp.SetTransparentColor(clDefault);
    EXPECT_EQ(bmp.TransparentMode(), tmAuto);
    EXPECT_EQ(bmp.TransparentColor(), RGB(0xAB, 0xCD, 0xEF));
}

// ---- BMP reading -----------------------------------------------------------------------------

TEST(BitmapBmp, ReadsOneBitThroughItsOwnTwoColourTable) {
    BmpSpec b;
    b.w = 10;
    b.h = 2;
    b.bpp = 1;
    b.palette = {0x112233, 0xA0B0C0};
    // Bottom row first: 1000000001 then 0110000000; rows padded to 4 bytes.
    b.pixels = Bytes({0x80, 0x40, 0, 0, 0x60, 0x00, 0, 0});
    TBitmap bmp;
    LoadBytes(bmp, MakeBmp(b));
    const std::uint32_t A = 0x112233, B = 0xA0B0C0;
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{A, B, B, A, A, A, A, A, A, A,
                                                         B, A, A, A, A, A, A, A, A, B}));
    EXPECT_EQ(bmp.PixelFormat(), pf1bit);
}

TEST(BitmapBmp, ReadsFourAndEightBitPalettesAndBlacksOutIndexesPastThem) {
    BmpSpec b4;
    b4.w = 3;
    b4.h = 1;
    b4.bpp = 4;
    b4.clrUsed = 3;
    b4.palette = {0x000010, 0x000020, 0x000030};
    b4.pixels = Bytes({0x21, 0xF0, 0, 0}); // indexes 2, 1, 15 (past the table)
    TBitmap bmp;
    LoadBytes(bmp, MakeBmp(b4));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x30, 0x20, 0}));
    EXPECT_EQ(bmp.PixelFormat(), pf4bit);

    BmpSpec b8;
    b8.w = 2;
    b8.h = 2;
    b8.bpp = 8;
    b8.palette.resize(256);
    for (int i = 0; i < 256; ++i) b8.palette[i] = std::uint32_t(i * 0x010203);
    b8.pixels = Bytes({7, 200, 0, 0, 255, 1, 0, 0});
    LoadBytes(bmp, MakeBmp(b8));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{255 * 0x010203u & 0xFFFFFF, 0x010203,
                                                         7 * 0x010203, 200 * 0x010203}));
    EXPECT_EQ(bmp.PixelFormat(), pf8bit);
}

TEST(BitmapBmp, ReadsTwentyFourBitBottomUpAndTopDown) {
    BmpSpec b;
    b.w = 2;
    b.h = 2;
    b.bpp = 24;
    // Stored rows: B, G, R per pixel, padded to 8 bytes.
    b.pixels = Bytes({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
    TBitmap bmp;
    LoadBytes(bmp, MakeBmp(b));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x090807, 0x0C0B0A, 0x030201, 0x060504}));
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    b.h = -2;
    LoadBytes(bmp, MakeBmp(b));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x030201, 0x060504, 0x090807, 0x0C0B0A}));
}

TEST(BitmapBmp, ReadsThirtyTwoBitPlainAndWithBitFieldMasks) {
    BmpSpec b;
    b.w = 2;
    b.h = 1;
    b.bpp = 32;
    b.pixels = Bytes({0x11, 0x22, 0x33, 0x99, 0x44, 0x55, 0x66, 0x00});
    TBitmap bmp;
    LoadBytes(bmp, MakeBmp(b));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x332211, 0x665544}));
    EXPECT_EQ(bmp.ScanLine(0)[0], 0x332211u) << "the fourth byte is not kept";
    EXPECT_EQ(bmp.PixelFormat(), pf32bit);

    // Red in the low byte and blue in the third: the masks decide, not the byte order.
    b.compression = 3;
    b.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    LoadBytes(bmp, MakeBmp(b));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x112233, 0x445566}));
}

TEST(BitmapBmp, ReadsSixteenBitFiveFiveFiveAndFiveSixFive) {
    BmpSpec b;
    b.w = 2;
    b.h = 1;
    b.bpp = 16;
    b.pixels = Bytes({0x00, 0x7C, 0xFF, 0x7F}); // pure red, white in 5-5-5
    TBitmap bmp;
    LoadBytes(bmp, MakeBmp(b));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0xFF0000, 0xFFFFFF}));
    b.compression = 3;
    b.masks = {0xF800, 0x07E0, 0x001F};
    b.pixels = Bytes({0xE0, 0x07, 0x1F, 0x00}); // pure green, pure blue in 5-6-5
    LoadBytes(bmp, MakeBmp(b));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x00FF00, 0x0000FF}));
    EXPECT_EQ(bmp.PixelFormat(), pf16bit);
}

TEST(BitmapBmp, ReadsTheOldTwelveByteHeaderWithThreeBytePalette) {
    BmpSpec b;
    b.hdrSize = 12;
    b.w = 2;
    b.h = 1;
    b.bpp = 8;
    b.palette.resize(256);
    b.palette[1] = 0x0A0B0C;
    b.palette[2] = 0x0D0E0F;
    b.pixels = Bytes({2, 1, 0, 0});
    TBitmap bmp;
    LoadBytes(bmp, MakeBmp(b));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x0D0E0F, 0x0A0B0C}));
}

TEST(BitmapBmp, RunLengthEncodingAndOddDepthsRaiseUnsupported) {
    BmpSpec b;
    b.w = 2;
    b.h = 1;
    b.bpp = 8;
    b.compression = 1;
    b.palette.resize(2);
    b.pixels = Bytes({2, 1, 0, 1});
    TBitmap bmp;
    ExpectRaises<EInvalidGraphic>([&] { LoadBytes(bmp, MakeBmp(b)); }, {"RLE", "not supported"});
    b.compression = 0;
    b.bpp = 2;
    ExpectRaises<EInvalidGraphic>([&] { LoadBytes(bmp, MakeBmp(b)); }, {"bit depth 2"});
}

// ---- Round trips -----------------------------------------------------------------------------

TEST(BitmapRoundTrip, BmpAtThirtyTwoAndTwentyFourBitsKeepsEveryPixel) {
    TBitmap src;
    FillNoise(src, 7, 5, 2); // odd width: 24-bit rows need padding
    for (TPixelFormat pf : {pf32bit, pf24bit, pfDevice}) {
        src.SetPixelFormat(pf);
        std::ostringstream out;
        src.SaveToBMPStream(out);
        const std::string bytes = out.str();
        const int bpp = (unsigned char)bytes[28];
        EXPECT_EQ(bpp, pf == pf24bit ? 24 : 32);
        TBitmap back;
        LoadBytes(back, bytes);
        EXPECT_EQ(PixelsOf(back), PixelsOf(src));
    }
    const std::string path = TempPath("round.bmp");
    src.SaveToFile(path);
    EXPECT_EQ(ReadFile(path).substr(0, 2), "BM");
    TBitmap back;
    back.LoadFromFile(path);
    EXPECT_EQ(PixelsOf(back), PixelsOf(src));
}

TEST(BitmapRoundTrip, PngChosenByExtensionInAnyCaseKeepsEveryPixel) {
    TBitmap src;
    FillNoise(src, 13, 9, 3);
    for (const char* name : {"round.png", "ROUND2.PNG"}) {
        const std::string path = TempPath(name);
        src.SaveToFile(path);
        EXPECT_EQ(ReadFile(path).substr(1, 3), "PNG");
        TBitmap back;
        back.LoadFromFile(path);
        EXPECT_EQ(back.Width(), 13);
        EXPECT_EQ(PixelsOf(back), PixelsOf(src));
    }
    std::ostringstream out;
    src.SaveToPNGStream(out);
    TBitmap back;
    LoadBytes(back, out.str());
    EXPECT_EQ(PixelsOf(back), PixelsOf(src));
}

TEST(BitmapRoundTrip, SavingAnEmptyBitmapRaisesAndWritesNothing) {
    TBitmap empty;
    const std::string path = TempPath("empty.png");
    fs::remove(path);
    ExpectRaises<EInvalidGraphic>([&] { empty.SaveToFile(path); }, {"empty", path});
    EXPECT_FALSE(fs::exists(path));
}

TEST(BitmapPng, ReadsPaletteGreySixteenBitAlphaAndInterlacedImages) {
    TBitmap bmp;
    // 2-bit palette.
    PngSpec pal{4, 1, 2, PNG_COLOR_TYPE_PALETTE};
    pal.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 8, 7}};
    pal.rows = {Bytes({0b00011011})};
    LoadBytes(bmp, MakePng(pal));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0x090807}));

    // 16-bit grey: the high byte is kept.
    PngSpec grey{2, 1, 16, PNG_COLOR_TYPE_GRAY};
    grey.rows = {Bytes({0x12, 0x34, 0xFE, 0xDC})};
    LoadBytes(bmp, MakePng(grey));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x121212, 0xFEFEFE}));

    // RGBA: colour kept, alpha dropped.
    PngSpec rgba{2, 1, 8, PNG_COLOR_TYPE_RGB_ALPHA};
    rgba.rows = {Bytes({10, 20, 30, 0, 40, 50, 60, 255})};
    LoadBytes(bmp, MakePng(rgba));
    EXPECT_EQ(PixelsOf(bmp), (std::vector<std::uint32_t>{0x0A141E, 0x28323C}));
    EXPECT_EQ(bmp.ScanLine(0)[0] >> 24, 0u);

    // Interlaced RGB, 9 x 9 so that every Adam7 pass has pixels.
    PngSpec inter{9, 9, 8, PNG_COLOR_TYPE_RGB, true};
    std::vector<std::uint32_t> expected;
    for (int y = 0; y < 9; ++y) {
        std::string row;
        for (int x = 0; x < 9; ++x) {
            row += Bytes({x * 20, y * 20, x + y});
            expected.push_back(std::uint32_t((x * 20) << 16 | (y * 20) << 8 | (x + y)));
        }
        inter.rows.push_back(row);
    }
    LoadBytes(bmp, MakePng(inter));
    EXPECT_EQ(PixelsOf(bmp), expected);
}

// ---- Damaged input ---------------------------------------------------------------------------

class BitmapDamaged : public ::testing::Test {
  protected:
    void SetUp() override {
        FillNoise(bmp, 3, 2, 4);
        before = PixelsOf(bmp);
    }
    // Writes bytes to a file, loads it, and checks the error names the file and the bitmap kept.
    void ExpectRejected(const std::string& name, const std::string& bytes,
                        std::initializer_list<std::string> fragments) {
        const std::string path = TempPath(name);
        WriteFile(path, bytes);
        std::vector<std::string> all(fragments);
        all.push_back(path);
        try {
            bmp.LoadFromFile(path);
            ADD_FAILURE() << name << ": no exception";
        } catch (const EInvalidGraphic& e) {
            for (const std::string& f : all)
                EXPECT_NE(std::string(e.what()).find(f), std::string::npos)
                    << name << ": message \"" << e.what() << "\" lacks \"" << f << "\"";
        }
        EXPECT_EQ(bmp.Width(), 3) << name;
        EXPECT_EQ(PixelsOf(bmp), before) << name;
        EXPECT_EQ(bmp.Canvas().SurfaceBits(), bmp.Bits()) << name;
    }
    static std::string ValidBmp() {
        BmpSpec b;
        b.w = 4;
        b.h = 4;
        b.pixels.assign(48, char(0x55));
        return MakeBmp(b);
    }
    TBitmap bmp;
    std::vector<std::uint32_t> before;
};

TEST_F(BitmapDamaged, MissingFileRaisesOpenErrorNamingIt) {
    const std::string path = TempPath("does_not_exist.bmp");
    ExpectRaises<EFOpenError>([&] { bmp.LoadFromFile(path); }, {path});
    ExpectRaises<EFOpenError>([&] { bmp.LoadFromFile(fs::temp_directory_path().string()); },
                              {"directory"});
    EXPECT_EQ(PixelsOf(bmp), before);
}

TEST_F(BitmapDamaged, EmptyForeignAndTruncatedFilesRaiseAndKeepTheBitmap) {
    ExpectRejected("empty.bmp", "", {"empty"});
    ExpectRejected("text.bmp", "hello, this is not an image", {"not a BMP or PNG"});
    const std::string good = ValidBmp();
    ExpectRejected("cut_header.bmp", good.substr(0, 20), {"truncated"});
    ExpectRejected("cut_pixels.bmp", good.substr(0, good.size() - 5), {"truncated"});
    TBitmap src;
    FillNoise(src, 20, 20, 5);
    std::ostringstream png;
    src.SaveToPNGStream(png);
    ExpectRejected("cut.png", png.str().substr(0, png.str().size() / 2), {"PNG"});
    std::string flipped = png.str();
    flipped[60] = char(flipped[60] ^ 0x5A); // inside the image data: the CRC no longer matches
    ExpectRejected("corrupt.png", flipped, {"PNG"});
}

TEST_F(BitmapDamaged, AbsurdOrZeroBmpSizesRaise) {
    auto withSize = [](std::int32_t w, std::int32_t h) {
        BmpSpec b;
        b.w = w;
        b.h = h;
        b.pixels.assign(64, char(0));
        return MakeBmp(b);
    };
    ExpectRejected("w0.bmp", withSize(0, 4), {"0 x 4"});
    ExpectRejected("h0.bmp", withSize(4, 0), {"4 x 0"});
    ExpectRejected("wneg.bmp", withSize(-4, 4), {"-4 x 4"});
    ExpectRejected("hmin.bmp", withSize(4, INT_MIN), {"2147483648"});
    ExpectRejected("wide.bmp", withSize(40000, 1), {"40000 x 1", "32767"});
    ExpectRejected("area.bmp", withSize(20000, 20000), {"20000 x 20000", "268435456"});
    ExpectRejected("claims.bmp", withSize(1000, 1000), {"truncated", "3000000"});

    BmpSpec b;
    b.w = 2;
    b.h = 1;
    b.bpp = 8;
    b.clrUsed = 300;
    b.pixels = Bytes({0, 0, 0, 0});
    ExpectRejected("palette.bmp", MakeBmp(b), {"palette", "300"});
    b.clrUsed = 200;
    ExpectRejected("short_palette.bmp", MakeBmp(b), {"truncated"});

    std::string badOffset = ValidBmp();
    badOffset[10] = char(0xF0);
    badOffset[13] = char(0x7F);
    ExpectRejected("offset.bmp", badOffset, {"truncated"});

    std::string badHeader = ValidBmp();
    badHeader[14] = char(0xFF);
    badHeader[17] = char(0xFF);
    ExpectRejected("header.bmp", badHeader, {"header size"});

    BmpSpec m;
    m.w = 1;
    m.h = 1;
    m.bpp = 32;
    m.compression = 3;
    m.masks = {0x00F0F000, 0x0000FF00, 0x000000FF};
    m.pixels = Bytes({0, 0, 0, 0});
    ExpectRejected("mask.bmp", MakeBmp(m), {"not contiguous"});
}

TEST_F(BitmapDamaged, PngHeadersClaimingHugeImagesRaiseBeforeAllocating) {
    auto header = [](std::uint32_t w, std::uint32_t h) {
        return std::string("\x89PNG\r\n\x1A\n", 8) +
               Chunk("IHDR", Be32(w) + Be32(h) + Bytes({8, 2, 0, 0, 0})) +
               Chunk("IDAT", Bytes({0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01})) +
               Chunk("IEND", "");
    };
    ExpectRejected("png_wide.png", header(40000, 1), {"PNG"});
    ExpectRejected("png_area.png", header(30000, 30000), {"PNG"});
    ExpectRejected("png_claims.png", header(20000, 10000), {"more image data"});
    ExpectRejected("png_zero.png", header(0, 5), {"PNG"});
    // An ancillary chunk claiming 1.6 GB in a file of a hundred bytes: refused before libpng
    // allocates the claimed length.
    const std::string small = std::string("\x89PNG\r\n\x1A\n", 8) +
                              Chunk("IHDR", Be32(4) + Be32(1) + Bytes({2, 3, 0, 0, 0}));
    ExpectRejected("png_chunk.png",
                   small + Be32(0x616C6961) + "sPLT" + std::string(40, 'x') + Chunk("IEND", ""),
                   {"sPLT", "1634494817", "claims"});
    // Chunks that fit are read on: this file fails later, for its missing image data.
    TBitmap bmp;
    try {
        LoadBytes(bmp, small + Chunk("tEXt", std::string("a\0b", 3)) + Chunk("IEND", ""));
        ADD_FAILURE() << "a PNG without image data loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(std::string(e.what()).find("claims"), std::string::npos) << e.what();
    }
}

TEST(BitmapStream, DamagedStreamRaisesNamingTheStream) {
    TBitmap bmp(2, 2);
    ExpectRaises<EInvalidGraphic>([&] { LoadBytes(bmp, "BM"); }, {"stream", "truncated"});
    EXPECT_EQ(bmp.Width(), 2);
}

// ---- Resources -------------------------------------------------------------------------------

TEST(BitmapResource, LoadsACompiledInImageByNameInAnyCase) {
    TBitmap bmp;
    bmp.LoadFromResourceName("kel_check");
    ASSERT_EQ(bmp.Width(), 8);
    ASSERT_EQ(bmp.Height(), 8);
    EXPECT_EQ(bmp.ScanLine(0)[0], 0xFF0000u);
    EXPECT_EQ(bmp.ScanLine(0)[1], 0x0000FFu);
    EXPECT_EQ(bmp.ScanLine(7)[7], 0xFF0000u);
    TBitmap upper;
    upper.LoadFromResourceName("KEL_CHECK");
    EXPECT_EQ(PixelsOf(upper), PixelsOf(bmp));
}

TEST(BitmapResource, MissingNameRaisesResourceNotFoundAndKeepsTheBitmap) {
    TBitmap bmp(2, 2);
    ExpectRaises<EResNotFound>([&] { bmp.LoadFromResourceName("NO_SUCH_IMAGE"); },
                               {"Resource NO_SUCH_IMAGE not found"});
    EXPECT_THROW(bmp.LoadFromResourceName(""), EResNotFound);
    EXPECT_THROW(bmp.LoadFromResourceName("kel_check.png"), EResNotFound);
    EXPECT_EQ(bmp.Width(), 2);
}
