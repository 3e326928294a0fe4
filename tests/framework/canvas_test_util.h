// Probes for the canvas rasterizer tests: a canvas over a plain pixel vector and ways to read
// back exactly which pixels a primitive touched.
#pragma once

#include "kel_graphics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kel::test {

// A w x h surface filled with one colour, with a canvas bound to it.
struct Surface {
    Surface(int w, int h, TColor fill = clWhite) : W(w), H(h), px(std::size_t(w) * h) {
        Clear(fill);
        canvas.SetSurface(px.data(), w, h, w);
    }
    void Clear(TColor fill) { std::fill(px.begin(), px.end(), ColorToPixel(fill)); }
    std::uint32_t At(int x, int y) const { return px[std::size_t(y) * W + x]; }
    TColor ColorAt(int x, int y) const { return PixelToColor(At(x, y)); }
    // Rows of '#' where the pixel has colour ink, 'o' where it has colour fill (when given),
    // '.' elsewhere; each row ends in '\n'.
    std::string Art(TColor ink, TColor fill = clNone) const {
        std::string s;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const std::uint32_t p = At(x, y);
                const bool isFill = fill != clNone && p == ColorToPixel(fill);
                s += p == ColorToPixel(ink) ? '#' : isFill ? 'o' : '.';
            }
            s += '\n';
        }
        return s;
    }
    // Pixels that differ from colour c, as "x,y " entries.
    std::string NotEqual(TColor c) const {
        std::string s;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (At(x, y) != ColorToPixel(c))
                    s += std::to_string(x) + "," + std::to_string(y) + " ";
        return s;
    }
    int Count(TColor c) const {
        int n = 0;
        for (std::uint32_t p : px) n += p == ColorToPixel(c);
        return n;
    }
    int W, H;
    std::vector<std::uint32_t> px;
    TCanvas canvas;
};

// Joins picture rows written one per argument, so golden pictures read as pictures.
inline std::string Pic(std::initializer_list<const char*> rows) {
    std::string s;
    for (const char* r : rows) {
        s += r;
        s += '\n';
    }
    return s;
}

} // namespace kel::test
