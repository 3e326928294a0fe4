// Cost of one invalidate-and-repaint cycle on a form of 50 windowless controls of which one
// changed: only that control (and the form's background under it) is painted. A second case
// repaints the whole form for comparison.
#include "headless.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <memory>
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

} // namespace
