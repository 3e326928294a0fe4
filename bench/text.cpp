// Text drawing speed: 100,000 glyphs of cached 12-pixel text in lines of 80 characters, drawn
// with TCanvas::TextOut and, for comparison, with cairo's show_text using the same font file at
// the same em size with greyscale antialiasing. Glyph caches are warm before timing; buffers are
// allocated once. Counters report glyphs per second.
#include "detail/font_internal.h"
#include "kel_graphics.h"

#include <benchmark/benchmark.h>

#ifdef KEL_HAVE_CAIRO
#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int SurfaceW = 640, SurfaceH = 480, LineStep = 15;
constexpr int GlyphsPerRun = 100000, LineLength = 80, Lines = GlyphsPerRun / LineLength;

// 80 characters of ordinary mixed text.
const std::string& SampleLine() {
    static const std::string line = [] {
        std::string s =
            "The quick brown fox jumps over the lazy dog; 0123456789 (Pack my box) +-*/=<>";
        while (s.size() < std::size_t(LineLength)) s += ' ';
        s.resize(LineLength);
        return s;
    }();
    return line;
}

void BM_KelTextOut(benchmark::State& state) {
    std::vector<std::uint32_t> buf(std::size_t(SurfaceW) * SurfaceH, 0xFFFFFF);
    kel::TCanvas c;
    c.SetSurface(buf.data(), SurfaceW, SurfaceH, SurfaceW);
    c.Font().SetHeight(-12);
    c.Font().SetColor(kel::clBlack);
    c.Brush().SetStyle(kel::bsClear);
    const std::string& line = SampleLine();
    c.TextOut(0, 0, line); // warm the glyph cache
    for (auto _ : state) {
        for (int i = 0; i < Lines; ++i) c.TextOut(2, (i * LineStep) % (SurfaceH - LineStep), line);
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * GlyphsPerRun);
}
BENCHMARK(BM_KelTextOut)->Unit(benchmark::kMillisecond);

#ifdef KEL_HAVE_CAIRO
void BM_CairoShowText(benchmark::State& state) {
    kel::TFont font;
    font.SetHeight(-12);
    const std::string file = font.Face().Key().File;
    // One FreeType face for the whole run: cairo's font caches may refer to it until exit.
    static FT_Library lib = nullptr;
    static FT_Face face = nullptr;
    if (!lib) FT_Init_FreeType(&lib);
    if (!face && FT_New_Face(lib, file.c_str(), 0, &face) != 0) {
        state.SkipWithError("font file cannot be opened");
        return;
    }
    std::vector<std::uint32_t> buf(std::size_t(SurfaceW) * SurfaceH, 0xFFFFFFFF);
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(buf.data()),
                                            CAIRO_FORMAT_RGB24, SurfaceW, SurfaceH, SurfaceW * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_font_face_t* cface = cairo_ft_font_face_create_for_ft_face(face, 0);
    cairo_set_font_face(cr, cface);
    cairo_set_font_size(cr, 12.0);
    cairo_font_options_t* opts = cairo_font_options_create();
    cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, opts);
    cairo_set_source_rgb(cr, 0, 0, 0);
    const std::string& line = SampleLine();
    const int ascent = font.Face().Metrics().tmAscent;
    cairo_move_to(cr, 2, ascent);
    cairo_show_text(cr, line.c_str()); // warm the glyph cache
    for (auto _ : state) {
        for (int i = 0; i < Lines; ++i) {
            cairo_move_to(cr, 2, (i * LineStep) % (SurfaceH - LineStep) + ascent);
            cairo_show_text(cr, line.c_str());
        }
        cairo_surface_flush(surface);
        benchmark::DoNotOptimize(buf.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * GlyphsPerRun);
    cairo_font_options_destroy(opts);
    cairo_destroy(cr);
    cairo_font_face_destroy(cface);
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_CairoShowText)->Unit(benchmark::kMillisecond);
#endif

} // namespace
