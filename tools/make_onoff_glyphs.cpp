// Draws the 23 glyph sheets of the on/off button into resources/ (our own artwork), and a review
// image of all of them. Each sheet holds four pictures of one glyph size in a 2 x 2 layout: on
// and off (enabled) in the top row, on and off disabled in the bottom row. The colour 0xEBBEEB
// is transparent.
//
// Every glyph is a stack of shapes (inside tests in glyph coordinates) with a colour function
// each, the topmost shape that holds a point giving its colour. A pixel is 4 x 4 samples: the
// pixel is transparent when fewer than half the samples hit a shape, else the mean of the
// samples that hit one, so inner edges are smooth while the outline stays hard against the key
// colour (no pink fringe). The disabled pictures are the enabled ones in light greys. Sheets
// stored at 4 or 8 bits per pixel are reduced to their palette by median cut when they hold
// more colours than it does; the key colour always keeps an entry of its own.
//
// Usage: kel_make_onoff_glyphs <resources folder> [review image.png]
#include "kel_graphics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kel;

namespace {

constexpr std::uint32_t kKey = 0xEBBEEB; // stored pixel word (0x00RRGGBB), symmetric in R and B

struct Rgb {
    double r = 0, g = 0, b = 0;
};
Rgb Hex(std::uint32_t v) { return {double(v >> 16), double((v >> 8) & 0xFF), double(v & 0xFF)}; }
Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

using Inside = std::function<bool(double, double)>;
using Paint = std::function<Rgb(double, double)>;

// ---- Shapes -----------------------------------------------------------------------------------

Inside Circle(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}
Inside Ellipse(double cx, double cy, double rx, double ry) {
    return [=](double x, double y) {
        const double u = (x - cx) / rx, v = (y - cy) / ry;
        return u * u + v * v <= 1;
    };
}
// Rectangle [l, r] x [t, b] with corners rounded by rad.
Inside Box(double l, double t, double r, double b, double rad = 0) {
    return [=](double x, double y) {
        if (x < l || x > r || y < t || y > b) return false;
        const double cx = std::clamp(x, l + rad, r - rad), cy = std::clamp(y, t + rad, b - rad);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= rad * rad;
    };
}
// A stroke of half width w from (ax, ay) to (bx, by) with round caps.
Inside Line(double ax, double ay, double bx, double by, double w) {
    return [=](double x, double y) {
        const double dx = bx - ax, dy = by - ay, l2 = dx * dx + dy * dy;
        const double t = l2 == 0 ? 0 : std::clamp(((x - ax) * dx + (y - ay) * dy) / l2, 0.0, 1.0);
        const double px = ax + t * dx - x, py = ay + t * dy - y;
        return px * px + py * py <= w * w;
    };
}
Inside Polygon(std::vector<std::pair<double, double>> p) {
    return [p = std::move(p)](double x, double y) {
        bool in = false;
        for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
            if ((p[i].second > y) != (p[j].second > y) &&
                x < (p[j].first - p[i].first) * (y - p[i].second) / (p[j].second - p[i].second) +
                        p[i].first)
                in = !in;
        return in;
    };
}
Inside Ring(double cx, double cy, double ro, double ri) {
    return [=](double x, double y) {
        const double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= ro * ro && d >= ri * ri;
    };
}
Inside Union(Inside a, Inside b) {
    return [=](double x, double y) { return a(x, y) || b(x, y); };
}
Inside Minus(Inside a, Inside b) {
    return [=](double x, double y) { return a(x, y) && !b(x, y); };
}
Inside Offset(Inside a, double dx, double dy) {
    return [=](double x, double y) { return a(x - dx, y - dy); };
}

// ---- Colours ----------------------------------------------------------------------------------

Paint Flat(std::uint32_t c) {
    return [rgb = Hex(c)](double, double) { return rgb; };
}
// From c0 at the top (y0) to c1 at the bottom (y1).
Paint VGrad(double y0, double y1, std::uint32_t c0, std::uint32_t c1) {
    return [=](double, double y) { return Mix(Hex(c0), Hex(c1), (y - y0) / (y1 - y0)); };
}
// A lit sphere: c1 at the highlight point (hx, hy), c0 at distance r from it.
Paint Radial(double hx, double hy, double r, std::uint32_t c1, std::uint32_t c0) {
    return [=](double x, double y) {
        return Mix(Hex(c1), Hex(c0), std::sqrt((x - hx) * (x - hx) + (y - hy) * (y - hy)) / r);
    };
}

// ---- Glyphs -----------------------------------------------------------------------------------

struct Layer {
    Inside in;
    Paint paint;
};
using Glyph = std::vector<Layer>;

// One glyph rendered at w x h pixels into b at (ox, oy); disabled pictures are greyed.
void Render(TBitmap& b, int ox, int oy, int w, int h, const Glyph& g, bool disabled) {
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            Rgb sum;
            int hits = 0;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i) {
                    const double x = px + (i + 0.5) / 4, y = py + (j + 0.5) / 4;
                    for (auto l = g.rbegin(); l != g.rend(); ++l)
                        if (l->in(x, y)) {
                            const Rgb c = l->paint(x, y);
                            sum.r += c.r, sum.g += c.g, sum.b += c.b;
                            ++hits;
                            break;
                        }
                }
            std::uint32_t p = kKey;
            if (hits >= 8) {
                Rgb c{sum.r / hits, sum.g / hits, sum.b / hits};
                if (disabled) {
                    const double l = 0.30 * c.r + 0.59 * c.g + 0.11 * c.b;
                    c.r = c.g = c.b = 112 + 0.52 * l;
                }
                auto ch = [](double v) {
                    return std::uint32_t(std::lround(std::clamp(v, 0.0, 255.0)));
                };
                p = (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
                if (p == kKey) p ^= 1; // never the key colour by accident
            }
            b.ScanLine(oy + py)[ox + px] = p;
        }
}

// A sheet: glyph size, and the on and off glyphs.
void RenderSheet(TBitmap& b, int gw, int gh, const Glyph& on, const Glyph& off) {
    b.SetSize(2 * gw, 2 * gh);
    Render(b, 0, 0, gw, gh, on, false);
    Render(b, gw, 0, gw, gh, off, false);
    Render(b, 0, gh, gw, gh, on, true);
    Render(b, gw, gh, gw, gh, off, true);
}

// ---- Palette reduction and BMP writing --------------------------------------------------------

// Median cut of the colours (with their pixel counts) into at most n boxes; returns the mean
// colour of each box.
std::vector<std::uint32_t> MedianCut(const std::map<std::uint32_t, int>& colours, std::size_t n) {
    using Entry = std::pair<std::uint32_t, int>;
    std::vector<std::vector<Entry>> boxes(1, std::vector<Entry>(colours.begin(), colours.end()));
    auto chan = [](std::uint32_t c, int k) { return int((c >> (16 - 8 * k)) & 0xFF); };
    auto range = [&](const std::vector<Entry>& box, int& axis) {
        int best = -1;
        for (int k = 0; k < 3; ++k) {
            int lo = 255, hi = 0;
            for (auto& e : box)
                lo = std::min(lo, chan(e.first, k)), hi = std::max(hi, chan(e.first, k));
            if (hi - lo > best) best = hi - lo, axis = k;
        }
        return best;
    };
    while (boxes.size() < n) {
        std::size_t pick = 0;
        int pickRange = -1, axis = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            int a = 0;
            const int r = boxes[i].size() > 1 ? range(boxes[i], a) : -1;
            if (r > pickRange) pickRange = r, pick = i, axis = a;
        }
        if (pickRange <= 0) break;
        auto& box = boxes[pick];
        std::stable_sort(box.begin(), box.end(), [&](const Entry& a, const Entry& b) {
            return chan(a.first, axis) < chan(b.first, axis);
        });
        long total = 0, half = 0;
        for (auto& e : box) total += e.second;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < box.size(); ++i) {
            half += box[i].second;
            cut = i + 1;
            if (half * 2 >= total) break;
        }
        std::vector<Entry> upper(box.begin() + long(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<std::uint32_t> out;
    for (auto& box : boxes) {
        double s[3] = {0, 0, 0}, w = 0;
        for (auto& e : box) {
            for (int k = 0; k < 3; ++k) s[k] += chan(e.first, k) * double(e.second);
            w += e.second;
        }
        std::uint32_t c = 0;
        for (int k = 0; k < 3; ++k) c |= std::uint32_t(std::lround(s[k] / w)) << (16 - 8 * k);
        if (c == kKey) c ^= 1;
        out.push_back(c);
    }
    return out;
}

void Put16(std::string& s, unsigned v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); }
void Put32(std::string& s, unsigned v) { Put16(s, v & 0xFFFF), Put16(s, v >> 16); }

// Writes b as a bottom-up BMP of 4, 8 or 24 bits per pixel; paletted sheets keep the key colour
// exact at palette index 0. The bitmap is replaced by what the file holds.
void SaveBmp(TBitmap& b, int bpp, const std::string& path) {
    const int w = b.Width(), h = b.Height();
    std::vector<std::uint32_t> palette;
    if (bpp <= 8) {
        std::map<std::uint32_t, int> colours;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (b.ScanLine(y)[x] != kKey) ++colours[b.ScanLine(y)[x] & 0xFFFFFF];
        const std::size_t room = (std::size_t(1) << bpp) - 1;
        palette.push_back(kKey);
        if (colours.size() <= room)
            for (auto& c : colours) palette.push_back(c.first);
        else
            for (std::uint32_t c : MedianCut(colours, room)) palette.push_back(c);
        // Every pixel to its nearest palette entry (the key only to the key).
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint32_t& p = b.ScanLine(y)[x];
                if (p == kKey) continue;
                std::uint32_t best = palette[1];
                long bestD = -1;
                for (std::size_t i = 1; i < palette.size(); ++i) {
                    long d = 0;
                    for (int k = 0; k < 3; ++k) {
                        const long a = long((p >> (8 * k)) & 0xFF),
                                   c = long((palette[i] >> (8 * k)) & 0xFF);
                        d += (a - c) * (a - c);
                    }
                    if (bestD < 0 || d < bestD) bestD = d, best = palette[i];
                }
                p = best;
            }
    }
    auto indexOf = [&](std::uint32_t p) {
        return unsigned(std::find(palette.begin(), palette.end(), p) - palette.begin());
    };
    const unsigned stride = unsigned((w * bpp + 31) / 32 * 4);
    const unsigned palBytes = unsigned(4 * palette.size());
    const unsigned offset = 14 + 40 + palBytes;
    std::string s = "BM";
    Put32(s, offset + stride * unsigned(h));
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, unsigned(w));
    Put32(s, unsigned(h));
    Put16(s, 1);
    Put16(s, unsigned(bpp));
    Put32(s, 0); // uncompressed
    Put32(s, stride * unsigned(h));
    Put32(s, 3780), Put32(s, 3780); // 96 dpi
    Put32(s, unsigned(palette.size()));
    Put32(s, 0);
    for (std::uint32_t c : palette) Put32(s, c); // B, G, R, 0
    for (int y = h - 1; y >= 0; --y) {
        const std::uint32_t* row = b.ScanLine(y);
        std::string line(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x] & 0xFFFFFF;
            if (bpp == 24) {
                line[std::size_t(3 * x)] = char(p & 0xFF);
                line[std::size_t(3 * x + 1)] = char((p >> 8) & 0xFF);
                line[std::size_t(3 * x + 2)] = char((p >> 16) & 0xFF);
            } else if (bpp == 8) {
                line[std::size_t(x)] = char(indexOf(p));
            } else {
                line[std::size_t(x / 2)] |= char(indexOf(p) << (x % 2 ? 0 : 4));
            }
        }
        s += line;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(s.data(), std::streamsize(s.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    std::printf("wrote %s (%d x %d, %d bit, %zu palette entries)\n", path.c_str(), w, h, bpp,
                palette.size());
}

// ---- The artwork ------------------------------------------------------------------------------

// Colours used across the glyphs.
constexpr std::uint32_t kInk = 0x202020, kDark = 0x404040, kMid = 0x808080, kLight = 0xD8D8D8,
                        kWhite = 0xFFFFFF, kGreen = 0x20B030, kGreenLit = 0x70FF70,
                        kGreenDim = 0x1E5A24, kRed = 0xD02020, kRedLit = 0xFF8080,
                        kRedDim = 0x6A1A1A, kYellow = 0xFFD820;

Glyph CheckBox(bool on) {
    Glyph g{{Box(1, 1, 15, 15), Flat(kMid)},
            {Box(2, 2, 15, 15), Flat(kWhite)},
            {Box(2, 2, 14, 14), Flat(kInk)},
            {Box(3, 3, 14, 14), Flat(kWhite)}};
    if (on)
        g.push_back({Union(Line(4.5, 8, 7, 10.8, 1.3), Line(7, 10.8, 11.8, 5, 1.3)), Flat(kInk)});
    return g;
}

Glyph RadioBut(bool on) {
    Glyph g{{Circle(7, 7, 6.5), VGrad(0, 14, kMid, kWhite)},
            {Circle(7, 7, 5.3), VGrad(2, 12, kInk, kLight)},
            {Circle(7, 7, 4.4), Flat(kWhite)}};
    if (on) g.push_back({Circle(7, 7, 2.2), Flat(kInk)});
    return g;
}

// A slide switch in a w x h box; Vertical: the knob at the top when on, else at the right.
Glyph Slide(double w, double h, bool vertical, bool on, std::uint32_t trackOn,
            std::uint32_t trackOff) {
    const double r = std::min(w, h) / 2;
    Glyph g{{Box(0, 0, w, h, r), Flat(kDark)},
            {Box(1.2, 1.2, w - 1.2, h - 1.2, r - 1.2), Flat(on ? trackOn : trackOff)}};
    const double k = std::min(w, h) / 2 - 2.2; // knob radius
    double cx = w / 2, cy = h / 2;
    if (vertical)
        cy = on ? 2.2 + k : h - 2.2 - k;
    else
        cx = on ? w - 2.2 - k : 2.2 + k;
    g.push_back({Circle(cx, cy + 0.6, k + 0.6), Flat(kInk)});
    g.push_back({Circle(cx, cy, k), Radial(cx - k / 3, cy - k / 3, 1.5 * k, kWhite, 0xA0A0A0)});
    return g;
}

// An arrow pointing in direction (dx, dy) in a square of side s.
Glyph Arrow(double s, double dx, double dy, std::uint32_t c0, std::uint32_t c1) {
    const double c = s / 2, L = s * 0.42, hw = s * 0.13, head = s * 0.34;
    const double nx = -dy, ny = dx; // normal
    auto at = [&](double along, double across) {
        return std::pair{c + dx * along + nx * across, c + dy * along + ny * across};
    };
    std::vector<std::pair<double, double>> p = {
        at(-L, -hw), at(L - head, -hw),      at(L - head, -2.6 * hw),
        at(L, 0),    at(L - head, 2.6 * hw), at(L - head, hw),
        at(-L, hw)};
    std::vector<std::pair<double, double>> shadow;
    for (auto [x, y] : p) shadow.emplace_back(x + 0.8, y + 0.8);
    return {{Polygon(shadow), Flat(kInk)},
            {Polygon(p), Radial(c - s / 4, c - s / 4, s * 0.8, c1, c0)}};
}

// A pedestrian figure centred on (cx, cy) about 10 pixels tall; walking spreads the legs.
Inside Figure(double cx, double cy, bool walking) {
    Inside f = Union(Circle(cx, cy - 4.2, 1.4), Line(cx, cy - 2.2, cx, cy + 1.2, 1.1));
    if (walking) {
        f = Union(f, Line(cx, cy + 1.2, cx - 2.6, cy + 4.8, 0.8));
        f = Union(f, Line(cx, cy + 1.2, cx + 2.4, cy + 4.8, 0.8));
        f = Union(f, Line(cx, cy - 1.6, cx - 2.4, cy + 0.8, 0.7));
        f = Union(f, Line(cx, cy - 1.6, cx + 2.4, cy + 0.4, 0.7));
    } else {
        f = Union(f, Line(cx - 0.7, cy + 1.2, cx - 0.7, cy + 4.8, 0.8));
        f = Union(f, Line(cx + 0.7, cy + 1.2, cx + 0.7, cy + 4.8, 0.8));
        f = Union(f, Line(cx - 1.8, cy - 1.8, cx - 1.8, cy + 1.4, 0.7));
        f = Union(f, Line(cx + 1.8, cy - 1.8, cx + 1.8, cy + 1.4, 0.7));
    }
    return f;
}

Glyph TrafficLight(bool on) {
    const double cx = 15.5;
    Glyph g{{Box(7, 0.5, 24, 30.5, 3), Flat(kInk)}, {Box(8, 1.5, 23, 29.5, 2.5), Flat(0x303030)}};
    // Red (top) lit when off, green (bottom) lit when on.
    g.push_back({Circle(cx, 8.5, 6.2), Flat(on ? 0x3A1010 : 0xFF5040)});
    g.push_back({Circle(cx, 22.5, 6.2), Flat(on ? 0x40FF70 : 0x103A18)});
    g.push_back({Figure(cx, 8.5, false), Flat(on ? 0x5A2020 : 0xFFF0E0)});
    g.push_back({Figure(cx, 22.5, true), Flat(on ? 0xF0FFF0 : 0x205A28)});
    return g;
}

Glyph Led(double s, bool on, std::uint32_t lit, std::uint32_t edge) {
    const double c = s / 2, r = s / 2 - 0.5;
    return {{Circle(c, c, r), Flat(kDark)},
            {Circle(c, c, r - 1),
             Radial(c - r / 3, c - r / 3, 1.6 * r, on ? lit : edge, on ? edge : 0x101010)}};
}

Glyph BeveledLed(bool on) {
    const double c = 8.5;
    return {{Circle(c, c, 8.4), VGrad(0, 17, kWhite, kDark)},
            {Circle(c, c, 6.6), VGrad(2, 15, kDark, kWhite)},
            {Circle(c, c, 5.4), on ? Radial(c - 2, c - 2, 8, 0xE0FFC0, 0x10A020)
                                   : Radial(c - 2, c - 2, 8, 0x5A7A5A, 0x0A2A0A)}};
}

Glyph Smiley(bool on, std::uint32_t face, std::uint32_t rim) {
    const double c = 9;
    Glyph g{{Circle(c, c, 8.8), Flat(rim)},
            {Circle(c, c, 7.8), Radial(c - 3, c - 3, 11, kWhite, face)},
            {Union(Ellipse(6.3, 6.6, 1.1, 1.6), Ellipse(11.7, 6.6, 1.1, 1.6)), Flat(kInk)}};
    // Mouth: the lower (smile) or upper (frown) part of a ring.
    Inside mouth = on ? Inside([=](double x, double y) {
        const double d = std::hypot(x - c, y - 9);
        return d >= 3.9 && d <= 5.1 && y > 10.5;
    })
                      : Inside([=](double x, double y) {
                            const double d = std::hypot(x - c, y - 16.5);
                            return d >= 3.9 && d <= 5.1 && y < 13.3;
                        });
    g.push_back({mouth, Flat(kInk)});
    return g;
}

Glyph Bulb(bool on) {
    const double c = 19.5;
    Inside glass =
        Union(Circle(c, 17, 13.5), Polygon({{c - 8, 26}, {c + 8, 26}, {c + 6, 35}, {c - 6, 35}}));
    Glyph g;
    if (on) // a glow round the glass
        for (int i = 0; i < 8; ++i) {
            const double a = i * std::numbers::pi / 4 + std::numbers::pi / 8;
            g.push_back({Line(c + 15.5 * std::cos(a), 17 + 15.5 * std::sin(a),
                              c + 18.5 * std::cos(a), 17 + 18.5 * std::sin(a), 0.9),
                         Flat(0xF0B000)});
        }
    g.push_back({Offset(glass, 0, 0), Flat(on ? 0xC09000 : 0x909090)});
    g.push_back({[=](double x, double y) {
                     return (glass(x, y) && std::hypot(x - c, y - 17) < 12.6) ||
                            (glass(x, y) && y > 27 && std::abs(x - c) < 5.2);
                 },
                 on ? Radial(c - 4, 12, 17, 0xFFFFE0, 0xFFD020)
                    : Radial(c - 4, 12, 17, 0xFFFFFF, 0xC8CCD0)});
    // Filament and its supports.
    Inside fil = Union(Line(c - 3, 32, c - 3, 20, 0.6), Line(c + 3, 32, c + 3, 20, 0.6));
    fil = Union(fil, Polygon({{c - 3.4, 19.3},
                              {c - 1.5, 16},
                              {c, 19.3},
                              {c + 1.5, 16},
                              {c + 3.4, 19.3},
                              {c + 3.4, 20.6},
                              {c + 1.5, 17.6},
                              {c, 20.9},
                              {c - 1.5, 17.6},
                              {c - 3.4, 20.6}}));
    g.push_back({fil, Flat(on ? 0xFF7000 : 0x505050)});
    // Screw base with threads and the contact.
    g.push_back({Box(c - 7, 35, c + 7, 44.5, 1), VGrad(35, 44, 0xE0E0E0, 0x707070)});
    for (double y = 37; y < 44; y += 2.4)
        g.push_back({Line(c - 6.8, y, c + 6.8, y + 0.8, 0.45), Flat(0x505050)});
    g.push_back({Box(c - 4, 44.5, c + 4, 48, 1.5), Flat(kDark)});
    return g;
}

Glyph ButLamp(bool on) {
    Glyph g{{Box(0.5, 0.5, 48.5, 23.5, 4), VGrad(0, 24, 0x909090, 0x303030)},
            {Box(2, 2, 47, 22, 3), Flat(kInk)},
            {Box(3.5, 3.5, 45.5, 20.5, 2.5),
             on ? Radial(16, 7, 32, 0xFFF8C0, 0xFF9000) : Radial(16, 7, 32, 0x9A8060, 0x4A3010)}};
    g.push_back({Box(7, 5, 42, 7.5, 1.2), Flat(on ? 0xFFFFF0 : 0xA09078)}); // a reflection
    return g;
}

// A hard-disk lamp: a grey plate with a drive symbol and an LED at the left or right end.
Glyph HardDisk(bool on, bool ledLeft) {
    const double lx = ledLeft ? 8 : 40, dx = ledLeft ? 20 : 4;
    Glyph g{{Box(0.5, 0.5, 47.5, 15.5, 2), VGrad(0, 16, 0xB8B8B8, 0x686868)},
            {Box(1.5, 1.5, 46.5, 14.5, 1.5), VGrad(1, 15, 0x9C9C9C, 0x808080)}};
    // Drive: a flat box with a platter.
    g.push_back({Box(dx, 3.5, dx + 24, 12.5, 1.5), Flat(0x3C3C3C)});
    g.push_back({Box(dx + 1, 4.5, dx + 23, 11.5, 1), VGrad(4, 12, 0x7C8490, 0x4C525A)});
    g.push_back({Ellipse(dx + 8, 8, 5, 2.6), Flat(0xC8D0D8)});
    g.push_back({Ellipse(dx + 8, 8, 1.2, 0.7), Flat(kDark)});
    g.push_back({Box(dx + 16, 9, dx + 21, 10.5), Flat(on ? 0x60FF60 : 0x3A403A)});
    // LED with a dark rim.
    g.push_back({Box(lx - 5, 4, lx + 5, 12, 2), Flat(kInk)});
    g.push_back({Box(lx - 4, 5, lx + 4, 11, 1.5), on ? Radial(lx - 2, 6, 8, 0xFFD0C0, 0xF02010)
                                                     : Radial(lx - 2, 6, 8, 0x704040, 0x3A1010)});
    return g;
}

// User slot 1: a power symbol.
Glyph Power(bool on) {
    const double c = 12;
    Inside sym = Union(Minus(Ring(c, 13, 8, 5.8), Polygon({{c, 13}, {c - 6, 0}, {c + 6, 0}})),
                       Line(c, 3, c, 12, 1.2));
    return {{Circle(c, c, 11.5), Flat(kDark)},
            {Circle(c, c, 10.5),
             on ? VGrad(1, 23, 0x60E070, 0x108020) : VGrad(1, 23, 0xE0E0E0, 0x909090)},
            {sym, Flat(on ? kWhite : kDark)}};
}

std::vector<std::pair<double, double>> StarPoints(double cx, double cy, double ro, double ri) {
    std::vector<std::pair<double, double>> p;
    for (int i = 0; i < 10; ++i) {
        const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5, r = i % 2 ? ri : ro;
        p.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    return p;
}

// User slot 2: a star, filled gold (on) or hollow (off).
Glyph Star(bool on) {
    Inside outer = Polygon(StarPoints(12, 13, 11.5, 4.8));
    if (on)
        return {{outer, Flat(0x9A6A00)},
                {Polygon(StarPoints(12, 13, 9.3, 3.9)), Radial(9, 9, 12, 0xFFF4A0, 0xF0A800)}};
    return {{outer, Flat(kDark)}, {Polygon(StarPoints(12, 13, 8.6, 3.5)), Flat(0xE8E8E8)}};
}

// User slot 3: a padlock, closed (on) or open (off).
Glyph Lock(bool on) {
    // The shackle: the upper half of a ring and its two legs; open, it rises with only the right
    // leg left in the body.
    Inside shackle = Minus(Ring(12, 10, 6.3, 4.1), Box(0, 10, 24, 24));
    Inside arc = Union(shackle, Union(Box(5.7, 10, 7.9, 13), Box(16.1, 10, 18.3, 13)));
    if (!on) arc = Offset(Union(shackle, Box(16.1, 10, 18.3, 16)), 0, -3.5);
    return {{arc, VGrad(0, 13, 0xD0D0D0, 0x707070)},
            {Box(3, 12, 21, 23, 2), Flat(on ? 0x8A5A00 : kDark)},
            {Box(4, 13, 20, 22, 1.5),
             on ? VGrad(13, 22, 0xFFD040, 0xC08000) : VGrad(13, 22, 0xD0D0D0, 0x909090)},
            {Union(Circle(12, 16.5, 1.7), Box(11.3, 16.5, 12.7, 20)), Flat(kInk)}};
}

// User slot 4: a heart, red (on) or pale (off).
Glyph Heart(bool on) {
    auto heart = [](double s) {
        return Inside([s](double x, double y) {
            const double u = (x - 12) / s, v = -(y - 13) / s; // classic implicit heart
            const double a = u * u + v * v - 1;
            return a * a * a - u * u * v * v * v <= 0;
        });
    };
    return {{heart(10.8), Flat(on ? 0x801010 : kDark)},
            {heart(9.4),
             on ? Radial(8, 8, 14, 0xFF9090, 0xD01020) : Radial(8, 8, 14, 0xFFFFFF, 0xC8C8C8)}};
}

// User slot 5: a sun (on) or a moon (off).
Glyph SunMoon(bool on) {
    const double c = 12;
    if (on) {
        Glyph g;
        for (int i = 0; i < 8; ++i) {
            const double a = i * std::numbers::pi / 4;
            g.push_back({Line(c + 7.5 * std::cos(a), c + 7.5 * std::sin(a), c + 10.8 * std::cos(a),
                              c + 10.8 * std::sin(a), 1.1),
                         Flat(0xF09000)});
        }
        g.push_back({Circle(c, c, 6.2), Flat(0xC07000)});
        g.push_back({Circle(c, c, 5.2), Radial(c - 2, c - 2, 8, 0xFFF8C0, 0xFFC000)});
        return g;
    }
    return {
        {Minus(Circle(c, c, 10), Circle(c + 5.5, c - 3, 8.2)), Flat(0x303850)},
        {Minus(Circle(c, c, 9), Circle(c + 5.5, c - 3, 9.2)), VGrad(2, 22, 0xE0E4F0, 0x8890A8)}};
}

struct SheetSpec {
    const char* name; // resource name = lower-case file name
    int gw, gh, bpp;
    Glyph on, off;
};

std::string Lower(std::string s) {
    for (char& ch : s) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <resources folder> [review image.png]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    try {
        const std::vector<SheetSpec> sheets = {
            {"CHECKBOX", 16, 16, 4, CheckBox(true), CheckBox(false)},
            {"RADIOBUT", 14, 14, 8, RadioBut(true), RadioBut(false)},
            {"SLIDETOPBOT", 18, 30, 8, Slide(18, 30, true, true, 0x9AA0A8, 0x9AA0A8),
             Slide(18, 30, true, false, 0x9AA0A8, 0x9AA0A8)},
            {"SLIDELFTRGT", 30, 18, 8, Slide(30, 18, false, true, 0x9AA0A8, 0x9AA0A8),
             Slide(30, 18, false, false, 0x9AA0A8, 0x9AA0A8)},
            {"COLSLIDETB", 18, 30, 4, Slide(18, 30, true, true, kGreen, kRed),
             Slide(18, 30, true, false, kGreen, kRed)},
            {"COLSLIDELR", 30, 18, 8, Slide(30, 18, false, true, kGreen, kRed),
             Slide(30, 18, false, false, kGreen, kRed)},
            {"LEDREDGREEN", 14, 14, 24, Led(14, true, kGreenLit, kGreen),
             Led(14, true, kRedLit, kRed)},
            {"ARROWTR", 25, 25, 24, Arrow(25, 0, -1, kGreenDim, kGreenLit),
             Arrow(25, 1, 0, kRedDim, kRedLit)},
            {"ARROWUD", 25, 25, 24, Arrow(25, 0, -1, kGreenDim, kGreenLit),
             Arrow(25, 0, 1, kRedDim, kRedLit)},
            {"ARROWLR", 25, 25, 24, Arrow(25, -1, 0, kGreenDim, kGreenLit),
             Arrow(25, 1, 0, kRedDim, kRedLit)},
            {"TRAFFICLGT", 31, 31, 8, TrafficLight(true), TrafficLight(false)},
            {"BEVELEDLED", 17, 17, 8, BeveledLed(true), BeveledLed(false)},
            {"SMILEYS", 18, 18, 24, Smiley(true, kYellow, 0x806000),
             Smiley(false, kYellow, 0x806000)},
            {"SMILEYRG", 18, 18, 24, Smiley(true, 0x30D040, 0x106010),
             Smiley(false, 0xF04030, 0x701010)},
            {"BULB", 39, 49, 24, Bulb(true), Bulb(false)},
            {"BUTLAMP", 49, 24, 24, ButLamp(true), ButLamp(false)},
            {"HDLEFT", 48, 16, 24, HardDisk(true, true), HardDisk(false, true)},
            {"HDRIGHT", 48, 16, 24, HardDisk(true, false), HardDisk(false, false)},
            {"USER1", 24, 24, 24, Power(true), Power(false)},
            {"USER2", 24, 24, 24, Star(true), Star(false)},
            {"USER3", 24, 24, 24, Lock(true), Lock(false)},
            {"USER4", 24, 24, 24, Heart(true), Heart(false)},
            {"USER5", 24, 24, 24, SunMoon(true), SunMoon(false)},
        };
        std::vector<std::unique_ptr<TBitmap>> made;
        for (const SheetSpec& s : sheets) {
            auto b = std::make_unique<TBitmap>();
            RenderSheet(*b, s.gw, s.gh, s.on, s.off);
            SaveBmp(*b, s.bpp, dir + "/" + Lower(s.name) + ".bmp");
            made.push_back(std::move(b));
        }
        if (argc == 3) {
            // Review image: every sheet at three times its size on a grey board, named below;
            // four to a row, each row as tall as its tallest sheet.
            constexpr int kScale = 3, kCell = 2 * 49 * kScale + 16, kCols = 4, kLabel = 26;
            std::vector<int> rowTop{8};
            for (std::size_t i = 0; i < sheets.size(); i += kCols) {
                int h = 0;
                for (std::size_t j = i; j < std::min(sheets.size(), i + kCols); ++j)
                    h = std::max(h, made[j]->Height() * kScale);
                rowTop.push_back(rowTop.back() + h + kLabel);
            }
            TBitmap review(kCols * kCell + 8, rowTop.back());
            TCanvas& c = review.Canvas();
            c.Pen().SetColor(0xD0D0D0);
            c.Brush().SetColor(0xD0D0D0);
            c.Rectangle(0, 0, review.Width(), review.Height());
            for (std::size_t i = 0; i < sheets.size(); ++i) {
                const int x = 8 + int(i % kCols) * kCell, y = rowTop[i / kCols];
                const TBitmap& b = *made[i];
                c.SetCopyMode(cmSrcCopy);
                c.CopyRect(Rect(x, y, x + b.Width() * kScale, y + b.Height() * kScale), b.Canvas(),
                           Rect(0, 0, b.Width(), b.Height()));
                c.Brush().SetStyle(bsClear);
                c.Font().SetColor(clBlack);
                c.TextOut(x, y + b.Height() * kScale + 4,
                          std::string(sheets[i].name) + "  " + std::to_string(b.Width()) + " x " +
                              std::to_string(b.Height()) + ", " + std::to_string(sheets[i].bpp) +
                              " bit");
                c.Brush().SetStyle(bsSolid);
            }
            review.SaveToFile(argv[2]);
            std::printf("wrote %s\n", argv[2]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
