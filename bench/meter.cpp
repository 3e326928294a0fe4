// Speed of one full paint of the analog meter: the default 297 x 209 meter with a logarithmic
// scale from 1 to 1000 (background, arc, short and long ticks, ten labels, the polygon needle,
// rims, hub, lamps, frame, and the copy of the off-screen bitmap to the control), beside the
// same dial drawn with cairo with antialiasing off (white background, arc, the same ticks at
// the same points, the same labels in an 8-point sans face, the polygon needle, the rims) and
// copied the same way. Both sides keep their off-screen surface between paints. The "Moving"
// pair moves the needle between two values before every paint (the meter's usual case: a new
// value, one paint); the other pair paints the same state again; "NewDial" changes the dial
// (its caption) before every paint, so the meter draws everything from scratch. Run with
// --benchmark_repetitions=5 and compare the CPU-time medians.
#include "KEL_Meter.h"
#include "numtext.h"
#include "headless.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>

#ifdef KEL_HAVE_CAIRO
#include <cairo.h>
#endif

using namespace kel;

namespace {

void SetUpLogMeter(TMeter& m) {
    m.SetMeterMaxValue(1000);
    m.SetMeterMinValue(1);
    m.SetLogarithmic(true);
    m.SetMeterDecPlaces(0);
    m.SetValue(30);
}

void BM_MeterPaint_Log1to1000(benchmark::State& st) {
    // On a shown form of the headless host, so Repaint runs the real paint: render into the
    // meter's off-screen bitmap, copy it to the form's surface.
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 297, 209);
    form.Show();
    auto* m = new TMeter(&form);
    m->SetParent(&form);
    SetUpLogMeter(*m);
    headless::Flush();
    for (auto _ : st) {
        m->Repaint();
        benchmark::DoNotOptimize(form.Surface().Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MeterPaint_Log1to1000);

void BM_MeterPaintMoving_Log1to1000(benchmark::State& st) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 297, 209);
    form.Show();
    auto* m = new TMeter(&form);
    m->SetParent(&form);
    SetUpLogMeter(*m);
    headless::Flush();
    bool odd = false;
    for (auto _ : st) {
        odd = !odd;
        m->SetValue(odd ? 31 : 30);
        m->Update(); // paints what the setter left pending
        benchmark::DoNotOptimize(form.Surface().Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MeterPaintMoving_Log1to1000);

// A change of the dial itself before every paint (the caption), so nothing kept between paints
// can be reused: the cost of a dial drawn from scratch.
void BM_MeterPaintNewDial_Log1to1000(benchmark::State& st) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 297, 209);
    form.Show();
    auto* m = new TMeter(&form);
    m->SetParent(&form);
    SetUpLogMeter(*m);
    headless::Flush();
    bool odd = false;
    for (auto _ : st) {
        odd = !odd;
        m->SetCaption(odd ? "" : " ");
        m->Update();
        benchmark::DoNotOptimize(form.Surface().Bits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MeterPaintNewDial_Log1to1000);

#ifdef KEL_HAVE_CAIRO

void SetRGB(cairo_t* cr, TColor c) {
    c = ColorToRGB(c);
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

// A line between pixel centres, as the meter's one-pixel lines run.
void Line(cairo_t* cr, TPoint a, TPoint b) {
    cairo_move_to(cr, a.X + 0.5, a.Y + 0.5);
    cairo_line_to(cr, b.X + 0.5, b.Y + 0.5);
    cairo_stroke(cr);
}

void CairoMeter(benchmark::State& st, bool Moving) {
    TMeter m(nullptr); // only for its geometry and settings
    SetUpLogMeter(m);
    const int W = m.Width(), H = m.Height();
    const int CX = m.OriginX(), CY = m.OriginY();
    const double R = m.ScaleRadius();
    const double A = 90;
    const auto longTicks = MeterLongTicks(1, 1000, true, m.MeterNrTicks());
    const auto shortTicks = MeterShortTicks(1, 1000, true, m.MeterNrTicks());
    bool odd = false;
    cairo_surface_t* control = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_NONE);
    for (auto _ : st) {
        odd = Moving && !odd;
        const double phiN = MeterDrawAngle(MeterScaleFraction(odd ? 31 : 30, 1, 1000, true), 90);
        const auto needle = NeedlePolygon(CX, CY, R, phiN, 20, 30, 20, 0, 100);
        cairo_t* cr = cairo_create(s);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_font_options(cr, fo);
        cairo_set_line_width(cr, 1);
        // Background.
        SetRGB(cr, clWhite);
        cairo_paint(cr);
        // Arc (cairo's angles run clockwise on screen).
        SetRGB(cr, clNavy);
        cairo_arc(cr, CX + 0.5, CY + 0.5, R, -(90 + A / 2) * M_PI / 180,
                  -(90 - A / 2) * M_PI / 180);
        cairo_stroke(cr);
        for (const TScaleTick& t : shortTicks) {
            const double phi = MeterDrawAngle(t.Fraction, 90);
            Line(cr, MeterPolarPoint(CX, CY, R, phi), MeterPolarPoint(CX, CY, R - 4, phi));
        }
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 11);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, "1000", &ext);
        const double lw = ext.x_advance / 2 + 15, lh = 13 / 2.0 + 15;
        for (const TScaleTick& t : longTicks) {
            const double phi = MeterDrawAngle(t.Fraction, 90);
            SetRGB(cr, clNavy);
            Line(cr, MeterPolarPoint(CX, CY, R, phi), MeterPolarPoint(CX, CY, R - 8, phi));
            if (!t.Labelled) continue;
            const std::string text = FloatToFieldStr(1, 0, t.Value);
            const TPoint p = MeterLabelPoint(CX, CY, R, lw, lh, phi);
            cairo_text_extents(cr, text.c_str(), &ext);
            SetRGB(cr, clBlack);
            cairo_move_to(cr, p.X - ext.x_advance / 2, p.Y + 4);
            cairo_show_text(cr, text.c_str());
        }
        // Needle: fill, then outline.
        cairo_move_to(cr, needle[0].X + 0.5, needle[0].Y + 0.5);
        for (int i = 1; i < 7; ++i) cairo_line_to(cr, needle[i].X + 0.5, needle[i].Y + 0.5);
        cairo_close_path(cr);
        SetRGB(cr, clSilver);
        cairo_fill_preserve(cr);
        SetRGB(cr, clBlack);
        cairo_stroke(cr);
        // Rims.
        SetRGB(cr, clBtnFace);
        cairo_rectangle(cr, 0, 0, 9, H);
        cairo_rectangle(cr, 0, 0, W, 8);
        cairo_rectangle(cr, W - 10, 0, 10, H);
        cairo_rectangle(cr, 0, H - 10, W, 10);
        cairo_fill(cr);
        cairo_destroy(cr);
        // The copy to the control.
        cairo_t* cc = cairo_create(control);
        cairo_set_source_surface(cc, s, 0, 0);
        cairo_paint(cc);
        cairo_destroy(cc);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(control));
        benchmark::ClobberMemory();
    }
    cairo_font_options_destroy(fo);
    cairo_surface_destroy(s);
    cairo_surface_destroy(control);
}
void BM_CairoMeter_Log1to1000(benchmark::State& st) { CairoMeter(st, false); }
BENCHMARK(BM_CairoMeter_Log1to1000);
void BM_CairoMeterMoving_Log1to1000(benchmark::State& st) { CairoMeter(st, true); }
BENCHMARK(BM_CairoMeterMoving_Log1to1000);

#endif

} // namespace
