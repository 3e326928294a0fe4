// Renders the raster label's built-in glyph table as an image for review: 16 glyphs per row,
// codes 32 to 255, each glyph's 7 x 12 dots enlarged, its proportional extent marked by a thin
// bar under it, and the code written beside each row.
//
// Usage: kel_render_rasterfont <output.png>
#include "KEL_RasterLab.h"

#include <cstdio>
#include <string>

using namespace kel;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
        return 2;
    }
    constexpr int kDot = 4, kPitch = 5, kCellW = 8 * kPitch + 6, kCellH = 12 * kPitch + 10;
    constexpr int kLeft = 40, kTop = 8, kCols = 16, kRows = 14;
    TBitmap b(kLeft + kCols * kCellW + 8, kTop + kRows * kCellH + 8);
    TCanvas& c = b.Canvas();
    c.Pen().SetColor(clWhite);
    c.Brush().SetColor(clWhite);
    c.Rectangle(0, 0, b.Width(), b.Height());
    c.Font().SetSize(8);
    const TRDCharMatrix m = BuiltInCharMatrix();
    for (int code = 32; code < 256; ++code) {
        const int i = code - 32, col = i % kCols, row = i / kCols;
        const int x0 = kLeft + col * kCellW, y0 = kTop + row * kCellH;
        if (col == 0) {
            c.Brush().SetStyle(bsClear);
            c.TextOut(4, y0 + 24, std::to_string(code));
        }
        for (int r = 0; r < 12; ++r)
            for (int j = 0; j < 7; ++j) {
                const bool on = m.BitData[std::size_t(code)][std::size_t(r)] >> j & 1;
                const TColor colour = on ? clBlack : r >= 10 ? 0xF0E8E8 : 0xE8E8E8;
                c.Pen().SetColor(colour);
                c.Brush().SetColor(colour);
                c.Rectangle(x0 + j * kPitch, y0 + r * kPitch, x0 + j * kPitch + kDot,
                            y0 + r * kPitch + kDot);
            }
        const int l = m.LeftMostBit[std::size_t(code)], rt = m.RightMostBit[std::size_t(code)];
        c.Pen().SetColor(clRed);
        c.Brush().SetColor(clRed);
        c.Rectangle(x0 + l * kPitch, y0 + 12 * kPitch + 2, x0 + rt * kPitch + kDot,
                    y0 + 12 * kPitch + 4);
    }
    try {
        b.SaveToFile(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
