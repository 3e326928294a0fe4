// Cost of one invalidate-and-repaint cycle on a form of 50 windowless controls of which one
// changed: only that control (and the form's background under it) is painted. A second case
// repaints the whole form for comparison. The burst cases put 100 setter calls in a row on each
// gauge and count how many times the gauge paints.
#include "KEL_Meter.h"
#include "KEL_NumLab.h"
#include "KEL_ProgBar.h"
#include "KEL_RasterLab.h"
#include "KEL_sevenseg.h"
#include "headless.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kel;

class TCell : public TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;
    long Paints = 0;

  protected:
    void Paint() override {
        ++Paints;
        Canvas().Brush().SetColor(Color());
        Canvas().FillRect(ClientRect());
        Canvas().Pen().SetColor(clBlack);
        Canvas().Rectangle(Rect(2, 2, Width() - 2, Height() - 2));
    }
};

struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    std::vector<TCell*> cells;
    Scene() {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 640, 480);
        for (int i = 0; i < 50; ++i) {
            auto* c = new TCell(form.get());
            c->SetParent(form.get());
            c->SetBounds(10 + (i % 10) * 62, 10 + (i / 10) * 90, 56, 80);
            c->SetColor(RGB(std::uint8_t(i * 5), 128, 200));
            cells.push_back(c);
        }
        form->Show();
        form->PaintPending();
    }
};

void BM_RepaintOneChangedOfFifty(benchmark::State& state) {
    Scene s;
    TCell* changed = s.cells[23];
    long othersBefore = 0;
    for (auto* c : s.cells) othersBefore += c->Paints;
    othersBefore -= changed->Paints;
    long changedBefore = changed->Paints;
    for (auto _ : state) {
        changed->Invalidate();
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
    long others = -othersBefore;
    for (auto* c : s.cells) others += c->Paints;
    others -= changed->Paints;
    state.counters["changed_paints_per_cycle"] =
        double(changed->Paints - changedBefore) / double(state.iterations());
    state.counters["other_paints"] = double(others);
    (void)s.form->TakeUpdatedRects();
}
BENCHMARK(BM_RepaintOneChangedOfFifty);

void BM_RepaintWholeFormOfFifty(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        s.form->Invalidate();
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
    (void)s.form->TakeUpdatedRects();
}
BENCHMARK(BM_RepaintWholeFormOfFifty);

// ---- Setter bursts on the gauges --------------------------------------------------------------
// 100 setter calls in a row on one visible gauge of a shown headless form, then whatever paint
// is still pending: "paints_per_100" counts the gauge's paints per burst, the time is the
// burst's whole cost (setters plus paints). With deferred painting the burst costs one paint.

template <class Base>
class TCounted : public Base {
  public:
    using Base::Base;
    long Paints = 0;

  protected:
    void Paint() override {
        ++Paints;
        Base::Paint();
    }
};

template <class Gauge, class Setter>
void SetterBurst(benchmark::State& state, int W, int H, Setter set) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, W + 20, H + 20);
    auto* g = new TCounted<Gauge>(&form);
    g->SetParent(&form);
    g->SetBounds(10, 10, W, H);
    form.Show();
    form.PaintPending();
    long paints = 0;
    for (auto _ : state) {
        const long before = g->Paints;
        for (int i = 0; i < 100; ++i) set(*g, i);
        form.PaintPending();
        paints += g->Paints - before;
        benchmark::DoNotOptimize(form.Surface().Bits());
    }
    state.counters["paints_per_100"] = double(paints) / double(state.iterations());
    (void)form.TakeUpdatedRects();
}

void BM_Burst100_MeterValue(benchmark::State& state) {
    SetterBurst<TMeter>(state, 297, 209, [](TMeter& m, int i) { m.SetValue(0.005 * (i + 1)); });
}
BENCHMARK(BM_Burst100_MeterValue);

void BM_Burst100_ProgBarValue(benchmark::State& state) {
    SetterBurst<TProgBar>(state, 300, 28, [](TProgBar& b, int i) { b.SetValue(i + 1); });
}
BENCHMARK(BM_Burst100_ProgBarValue);

void BM_Burst100_SevenSegCaption(benchmark::State& state) {
    SetterBurst<TSevenSeg>(state, 216, 76,
                           [](TSevenSeg& s, int i) { s.SetCaption(std::to_string(1000 + i)); });
}
BENCHMARK(BM_Burst100_SevenSegCaption);

void BM_Burst100_NumLabValue(benchmark::State& state) {
    SetterBurst<TNumLab>(state, 160, 28, [](TNumLab& l, int i) { l.SetValue(i + 1); });
}
BENCHMARK(BM_Burst100_NumLabValue);

void BM_Burst100_RasterLabText(benchmark::State& state) {
    SetterBurst<TRasterLab>(state, 200, 40,
                            [](TRasterLab& r, int i) { r.SetText(std::to_string(1000 + i)); });
}
BENCHMARK(BM_Burst100_RasterLabText);

} // namespace
