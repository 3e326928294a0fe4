// One full paint of the numeric label (160 x 28) and of the progress bar (300 x 28) at their
// default sizes, on a shown form: the off-screen bitmap, all drawing into it and the copy to
// the form's surface. Variants show what the bar's gradient and the label's transparent copy
// cost on top.
#include "KEL_NumLab.h"
#include "KEL_ProgBar.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace kel;

// Paint made callable from the benchmark.
struct TBenchNumLab : TNumLab {
    using TNumLab::Paint;
    using TNumLab::TNumLab;
};
struct TBenchProgBar : TProgBar {
    using TProgBar::Paint;
    using TProgBar::TProgBar;
};

template <class C>
struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    C* control;
    Scene() {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 320, 60);
        control = new C(form.get());
        control->SetParent(form.get());
        control->SetLeft(10);
        control->SetTop(10);
        form->Show();
        form->PaintPending();
    }
};

void BM_NumLabPaintDefault(benchmark::State& state) {
    Scene<TBenchNumLab> s;
    for (auto _ : state) {
        s.control->Paint();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
}
BENCHMARK(BM_NumLabPaintDefault);

void BM_NumLabPaintSideTextsEngineering(benchmark::State& state) {
    Scene<TBenchNumLab> s;
    s.control->SetLeftText("Uout");
    s.control->SetRightText("mV");
    s.control->SetDisplayType(dtEEng);
    s.control->SetPrecision(4);
    s.control->SetValue(-0.0123456);
    for (auto _ : state) {
        s.control->Paint();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
}
BENCHMARK(BM_NumLabPaintSideTextsEngineering);

void BM_ProgBarPaintDefault(benchmark::State& state) {
    Scene<TBenchProgBar> s;
    for (auto _ : state) {
        s.control->Paint();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
}
BENCHMARK(BM_ProgBarPaintDefault);

void BM_ProgBarPaintFullGradientWithGrid(benchmark::State& state) {
    Scene<TBenchProgBar> s;
    s.control->SetShowColorGradient(true);
    s.control->SetGridDist(10);
    s.control->SetValue(100);
    for (auto _ : state) {
        s.control->Paint();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
}
BENCHMARK(BM_ProgBarPaintFullGradientWithGrid);

} // namespace
