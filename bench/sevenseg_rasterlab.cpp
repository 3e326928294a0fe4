// One full paint of the seven-segment display and of the raster label at their default sizes
// (invalidate, then the form paints the control), plus the seven-segment display's glyph cache
// rebuild, which its colour and size changes pay for at the next paint, against composing the
// same cells glyph by glyph.
#include "KEL_RasterLab.h"
#include "KEL_sevenseg.h"
#include "headless.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace kel;

template <class C>
struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    C* control = nullptr;
    Scene() {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 420, 100);
        control = new C(form.get());
        control->SetParent(form.get());
        form->Show();
        form->PaintPending();
    }
};

template <class C>
void PaintOnce(benchmark::State& state) {
    Scene<C> s;
    for (auto _ : state) {
        s.control->Invalidate();
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
}

void BM_SevenSegPaintDefault(benchmark::State& state) { PaintOnce<TSevenSeg>(state); }
BENCHMARK(BM_SevenSegPaintDefault);

void BM_RasterLabPaintDefault(benchmark::State& state) { PaintOnce<TRasterLab>(state); }
BENCHMARK(BM_RasterLabPaintDefault);

// The glyph cache of the default size (21 cells of 48 x 60), built from the glyph outlines.
void BM_SevenSegRebuildCache(benchmark::State& state) {
    Scene<TSevenSeg> s;
    bool flip = false;
    for (auto _ : state) {
        s.control->SetColorText((flip = !flip) ? clLime : clRed); // rebuilds, then repaints
        benchmark::DoNotOptimize(s.control->ImageCache().Bits());
    }
}
BENCHMARK(BM_SevenSegRebuildCache)->Unit(benchmark::kMillisecond);

// Its peer: the same cells made the direct way, each glyph composed at 312 x 432 and shrunk
// with the HALFTONE box filter.
class TComposingSevenSeg : public TSevenSeg {
  public:
    using TSevenSeg::TSevenSeg;
    void Compose(TBitmap& Cells, int DW, int CH) {
        ColorizeSegments(ColorText());
        SetStretchBltMode(Cells.Canvas(), HALFTONE);
        for (int k = 0; k < 21; ++k) {
            CreateDigit(SevenSegCharList[k], false);
            StretchBlt(Cells.Canvas(), k * DW, 0, DW, CH, DigitImage()->Canvas(), 0, 0, 312, 432,
                       cmSrcCopy);
        }
    }
};

void BM_SevenSegComposeAndShrink(benchmark::State& state) {
    Scene<TComposingSevenSeg> s;
    const int dw = s.control->DigitWidth(), ch = s.control->Height() - 2 * s.control->Margin();
    TBitmap cells(21 * dw, ch);
    bool flip = false;
    for (auto _ : state) {
        s.control->SetColorText((flip = !flip) ? clLime : clRed);
        s.control->Compose(cells, dw, ch);
        benchmark::DoNotOptimize(cells.Bits());
    }
}
BENCHMARK(BM_SevenSegComposeAndShrink)->Unit(benchmark::kMillisecond);

} // namespace
