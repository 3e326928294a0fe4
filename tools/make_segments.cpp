// Draws the six segment pictures of the seven-segment display into resources/ (our own artwork):
// slanted bars with bevelled ends, black on white. The display lights every pixel that is not
// white and turns all white into background, so a shape may have several parts (the colon) or
// enclose white (the degree ring). No anti-aliasing: the display recolours by exact colour, and
// it smooths the edges itself when it shrinks a digit.
//
//   SEGHORZ  200 x 38  1 bit    horizontal bar (top, middle and bottom segments)
//   SEGVERT   68 x 190 1 bit    vertical bar (the four side segments)
//   SEGDOT    38 x 38  1 bit    decimal point
//   SEGPLUS  200 x 190 24 bits  plus sign
//   SEGCOLON  68 x 190 24 bits  colon: two separate dots on the slanted axis
//   SEGDEG   160 x 138 24 bits  degree sign: a closed ring
//
// Usage: kel_make_segments <resources folder>
#include "kel_graphics.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace kel;

namespace {

// Slant of the digit: lower rows lie further left, 37 pixels over 197 rows (the offsets at
// which the display places its upper and lower side segments).
constexpr double kSlant = 37.0 / 197.0;

void Clear(TBitmap& b, int w, int h) {
    b.SetSize(w, h);
    b.Canvas().Pen().SetColor(clWhite);
    b.Canvas().Brush().SetColor(clWhite);
    b.Canvas().Rectangle(0, 0, w, h);
    b.Canvas().Pen().SetColor(clBlack);
    b.Canvas().Brush().SetColor(clBlack);
}

// A polygon given in upright coordinates (u, v), sheared by the slant about row v0.
void SlantedPolygon(TBitmap& b, std::vector<std::pair<double, double>> pts, double v0) {
    std::vector<TPoint> p;
    for (auto [u, v] : pts)
        p.push_back(Point(int(std::lround(u + kSlant * (v0 - v))), int(std::lround(v))));
    b.Canvas().Polygon(p);
}

// Horizontal bar: tips at (x0, yc) and (x1, yc), half thickness t.
void HorzBar(TBitmap& b, double x0, double x1, double yc, double t) {
    SlantedPolygon(b,
                   {{x0, yc},
                    {x0 + t, yc - t},
                    {x1 - t, yc - t},
                    {x1, yc},
                    {x1 - t, yc + t},
                    {x0 + t, yc + t}},
                   yc);
}

// Vertical bar on the slanted centre line through (xc, yc): tips at rows y0 and y1.
void VertBar(TBitmap& b, double xc, double yc, double y0, double y1, double t) {
    SlantedPolygon(b,
                   {{xc, y0},
                    {xc + t, y0 + t},
                    {xc + t, y1 - t},
                    {xc, y1},
                    {xc - t, y1 - t},
                    {xc - t, y0 + t}},
                   yc);
}

// A slanted square dot of half size t centred on (xc, yc).
void Dot(TBitmap& b, double xc, double yc, double t) {
    SlantedPolygon(b, {{xc - t, yc - t}, {xc + t, yc - t}, {xc + t, yc + t}, {xc - t, yc + t}}, yc);
}

void Put16(std::string& s, unsigned v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
void Put32(std::string& s, unsigned v) { Put16(s, v & 0xFFFF), Put16(s, v >> 16); }

// A bottom-up BMP of 1 bit (palette black, white) or 24 bits per pixel.
void SaveBmp(const TBitmap& b, int bpp, const std::string& path) {
    const int w = b.Width(), h = b.Height();
    const unsigned stride = unsigned((w * bpp + 31) / 32 * 4);
    const unsigned palette = bpp == 1 ? 8 : 0;
    const unsigned offset = 14 + 40 + palette;
    std::string s = "BM";
    Put32(s, offset + stride * unsigned(h));
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, unsigned(w));
    Put32(s, unsigned(h));
    Put16(s, 1);
    Put16(s, unsigned(bpp));
    Put32(s, 0);
    Put32(s, stride * unsigned(h));
    Put32(s, 3780), Put32(s, 3780); // 96 dpi
    Put32(s, bpp == 1 ? 2 : 0);
    Put32(s, 0);
    if (bpp == 1) Put32(s, 0x000000), Put32(s, 0xFFFFFF);
    for (int y = h - 1; y >= 0; --y) {
        const std::uint32_t* row = b.ScanLine(y);
        std::string line(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x] & 0xFFFFFF;
            if (bpp == 1) {
                if (p == 0xFFFFFF) line[std::size_t(x / 8)] |= char(0x80 >> (x % 8));
            } else {
                line[std::size_t(3 * x)] = char(p & 0xFF);
                line[std::size_t(3 * x + 1)] = char((p >> 8) & 0xFF);
                line[std::size_t(3 * x + 2)] = char((p >> 16) & 0xFF);
            }
        }
        s += line;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(s.data(), std::streamsize(s.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    std::printf("wrote %s (%d x %d, %d bit)\n", path.c_str(), w, h, bpp);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    constexpr double T = 15; // half thickness of every bar
    try {
        TBitmap b;
        Clear(b, 200, 38);
        HorzBar(b, 2, 197, 19, T);
        SaveBmp(b, 1, dir + "/seghorz.bmp");

        Clear(b, 68, 190);
        VertBar(b, 34, 95, 1, 188, T); // centre line x 51.8 at the top, 16.2 at the bottom
        SaveBmp(b, 1, dir + "/segvert.bmp");

        Clear(b, 38, 38);
        Dot(b, 19, 19, 14);
        SaveBmp(b, 1, dir + "/segdot.bmp");

        Clear(b, 200, 190);
        HorzBar(b, 28, 172, 95, T);
        VertBar(b, 100, 95, 20, 170, T);
        SaveBmp(b, 24, dir + "/segplus.bmp");

        // Colon: two dots on the slanted axis through the centre, nothing between them.
        Clear(b, 68, 190);
        Dot(b, 34 + kSlant * 70, 25, 14);
        Dot(b, 34 - kSlant * 70, 165, 14);
        SaveBmp(b, 24, dir + "/segcolon.bmp");

        // Degree sign: a closed slanted ring above the centre whose lower stroke covers the
        // centre.
        Clear(b, 160, 138);
        {
            const double cx = 80, cy = 45, ro = 46, ri = 22;
            for (int y = 0; y < 138; ++y)
                for (int x = 0; x < 160; ++x) {
                    const double u = x - kSlant * (cy - y) - cx, v = y - cy;
                    const double r = std::sqrt(u * u + v * v);
                    if (r >= ri && r <= ro) b.Canvas().SetPixels(x, y, clBlack);
                }
        }
        SaveBmp(b, 24, dir + "/segdeg.bmp");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
