// Speed of the canvas rasterizer, with references: memset for a full-surface fill, and cairo
// (antialiasing off) for rectangles, thin lines, filled ellipses and pies drawn from the same
// seeded random shapes. Buffers are allocated once per benchmark, outside the timed loop.
// Run with --benchmark_repetitions=5 and compare medians.
#include "kel_graphics.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#ifdef KEL_HAVE_CAIRO
#include <cairo.h>
#endif

using namespace kel;

namespace {

constexpr int kW = 1920, kH = 1080;

struct Shape {
    int x, y, w, h; // box, or line start and delta
    double a0, a1;  // pie angles in radians
};

// The same shapes for both sides: boxes of w x h (or random sizes in [lo, hi]) at random
// places on the surface.
std::vector<Shape> Shapes(int n, int lo, int hi, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> size(lo, hi), ang(0, 359);
    std::vector<Shape> v(static_cast<std::size_t>(n));
    for (Shape& s : v) {
        s.w = size(rng);
        s.h = size(rng);
        s.x = std::uniform_int_distribution<int>(0, kW - s.w)(rng);
        s.y = std::uniform_int_distribution<int>(0, kH - s.h)(rng);
        s.a0 = ang(rng) * M_PI / 180;
        s.a1 = s.a0 + (30 + ang(rng) % 300) * M_PI / 180;
    }
    return v;
}

struct KelSurface {
    std::vector<std::uint32_t> px = std::vector<std::uint32_t>(std::size_t(kW) * kH, 0xFFFFFF);
    TCanvas c;
    KelSurface() {
        c.SetSurface(px.data(), kW, kH, kW);
        c.Pen().SetColor(clBlack);
        c.Brush().SetColor(clRed);
    }
};

void BM_Memset_FullHD(benchmark::State& st) {
    std::vector<std::uint32_t> px(std::size_t(kW) * kH);
    for (auto _ : st) {
        std::memset(px.data(), 0x40, px.size() * 4);
        benchmark::DoNotOptimize(px.data());
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(std::int64_t(st.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_Memset_FullHD);

void BM_Kel_FillRect_FullHD(benchmark::State& st) {
    KelSurface s;
    for (auto _ : st) {
        s.c.FillRect(Rect(0, 0, kW, kH));
        benchmark::DoNotOptimize(s.px.data());
        benchmark::ClobberMemory();
    }
    st.SetBytesProcessed(std::int64_t(st.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_Kel_FillRect_FullHD);

void KelRects(benchmark::State& st, int size) {
    KelSurface s;
    const auto shapes = Shapes(10000, size, size, 1);
    for (auto _ : st) {
        for (const Shape& r : shapes) s.c.Rectangle(r.x, r.y, r.x + r.w, r.y + r.h);
        benchmark::ClobberMemory();
    }
}
void BM_Kel_Rect8x8_10k(benchmark::State& st) { KelRects(st, 8); }
void BM_Kel_Rect32x32_10k(benchmark::State& st) { KelRects(st, 32); }
BENCHMARK(BM_Kel_Rect8x8_10k);
BENCHMARK(BM_Kel_Rect32x32_10k);

std::vector<Shape> Lines() {
    auto v = Shapes(10000, 1, 1, 2);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> d(-100, 100);
    for (Shape& s : v) {
        s.w = std::clamp(s.x + d(rng), 0, kW - 1) - s.x;
        s.h = std::clamp(s.y + d(rng), 0, kH - 1) - s.y;
    }
    return v;
}

void BM_Kel_Line1px_10k(benchmark::State& st) {
    KelSurface s;
    const auto lines = Lines();
    for (auto _ : st) {
        for (const Shape& l : lines) {
            s.c.MoveTo(l.x, l.y);
            s.c.LineTo(l.x + l.w, l.y + l.h);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Kel_Line1px_10k);

void BM_Kel_Ellipse_10k(benchmark::State& st) {
    KelSurface s;
    const auto shapes = Shapes(10000, 8, 64, 4);
    for (auto _ : st) {
        for (const Shape& e : shapes) s.c.Ellipse(e.x, e.y, e.x + e.w, e.y + e.h);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Kel_Ellipse_10k);

void BM_Kel_Pie_1k(benchmark::State& st) {
    KelSurface s;
    const auto shapes = Shapes(1000, 32, 192, 5);
    for (auto _ : st) {
        for (const Shape& p : shapes) {
            const int cx = p.x + p.w / 2, cy = p.y + p.h / 2;
            s.c.Pie(p.x, p.y, p.x + p.w, p.y + p.h, cx + int(1000 * std::cos(p.a0)),
                    cy - int(1000 * std::sin(p.a0)), cx + int(1000 * std::cos(p.a1)),
                    cy - int(1000 * std::sin(p.a1)));
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Kel_Pie_1k);

void BM_Kel_HalftoneStretch_312x432_to_52x72(benchmark::State& st) {
    std::vector<std::uint32_t> src(312 * 432), dst(52 * 72);
    std::mt19937 rng(6);
    for (auto& p : src) p = rng() & 0xFFFFFF;
    TCanvas a, b;
    a.SetSurface(src.data(), 312, 432, 312);
    b.SetSurface(dst.data(), 52, 72, 52);
    SetStretchBltMode(b, HALFTONE);
    for (auto _ : st) {
        StretchBlt(b, 0, 0, 52, 72, a, 0, 0, 312, 432, cmSrcCopy);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Kel_HalftoneStretch_312x432_to_52x72);

#ifdef KEL_HAVE_CAIRO
// A cairo context over its own 1920x1080 buffer, antialiasing off, 1-pixel lines.
struct CairoSurface {
    std::vector<std::uint32_t> px = std::vector<std::uint32_t>(std::size_t(kW) * kH, 0xFFFFFFFF);
    cairo_surface_t* surf;
    cairo_t* cr;
    CairoSurface() {
        surf = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(px.data()),
                                                   CAIRO_FORMAT_RGB24, kW, kH, kW * 4);
        cr = cairo_create(surf);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_width(cr, 1.0);
    }
    ~CairoSurface() {
        cairo_destroy(cr);
        cairo_surface_destroy(surf);
    }
    void Brush() { cairo_set_source_rgb(cr, 1, 0, 0); }
    void Pen() { cairo_set_source_rgb(cr, 0, 0, 0); }
};

void CairoRects(benchmark::State& st, int size) {
    CairoSurface s;
    const auto shapes = Shapes(10000, size, size, 1);
    for (auto _ : st) {
        for (const Shape& r : shapes) {
            // The same pixels as Rectangle: the inside filled, the 1-pixel ring stroked.
            s.Brush();
            cairo_rectangle(s.cr, r.x + 1, r.y + 1, r.w - 2, r.h - 2);
            cairo_fill(s.cr);
            s.Pen();
            cairo_rectangle(s.cr, r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1);
            cairo_stroke(s.cr);
        }
        cairo_surface_flush(s.surf);
        benchmark::ClobberMemory();
    }
}
void BM_Cairo_Rect8x8_10k(benchmark::State& st) { CairoRects(st, 8); }
void BM_Cairo_Rect32x32_10k(benchmark::State& st) { CairoRects(st, 32); }
BENCHMARK(BM_Cairo_Rect8x8_10k);
BENCHMARK(BM_Cairo_Rect32x32_10k);

void BM_Cairo_Line1px_10k(benchmark::State& st) {
    CairoSurface s;
    const auto lines = Lines();
    s.Pen();
    for (auto _ : st) {
        for (const Shape& l : lines) {
            cairo_move_to(s.cr, l.x + 0.5, l.y + 0.5);
            cairo_line_to(s.cr, l.x + l.w + 0.5, l.y + l.h + 0.5);
            cairo_stroke(s.cr);
        }
        cairo_surface_flush(s.surf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Cairo_Line1px_10k);

void EllipsePath(cairo_t* cr, const Shape& e) {
    cairo_save(cr);
    cairo_translate(cr, e.x + e.w / 2.0, e.y + e.h / 2.0);
    cairo_scale(cr, (e.w - 1) / 2.0, (e.h - 1) / 2.0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void BM_Cairo_Ellipse_10k(benchmark::State& st) {
    CairoSurface s;
    const auto shapes = Shapes(10000, 8, 64, 4);
    for (auto _ : st) {
        for (const Shape& e : shapes) {
            EllipsePath(s.cr, e);
            s.Brush();
            cairo_fill_preserve(s.cr);
            s.Pen();
            cairo_stroke(s.cr);
        }
        cairo_surface_flush(s.surf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Cairo_Ellipse_10k);

void BM_Cairo_Pie_1k(benchmark::State& st) {
    CairoSurface s;
    const auto shapes = Shapes(1000, 32, 192, 5);
    for (auto _ : st) {
        for (const Shape& p : shapes) {
            const double cx = p.x + p.w / 2.0, cy = p.y + p.h / 2.0;
            cairo_save(s.cr);
            cairo_translate(s.cr, cx, cy);
            cairo_scale(s.cr, (p.w - 1) / 2.0, (p.h - 1) / 2.0);
            cairo_move_to(s.cr, 0, 0);
            cairo_arc_negative(s.cr, 0, 0, 1, -p.a0, -p.a1);
            cairo_close_path(s.cr);
            cairo_restore(s.cr);
            s.Brush();
            cairo_fill_preserve(s.cr);
            s.Pen();
            cairo_stroke(s.cr);
        }
        cairo_surface_flush(s.surf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Cairo_Pie_1k);
#endif

} // namespace
