// Cost of the draw grid at 100, 1,000,000 and 100,000,000 rows of 10 columns: setting the row
// count, painting one page (30 rows of text cells), and scrolling to the last page then painting
// it. Row heights are a default plus exceptions, so all three should cost the same at every size.
#include "headless.h"
#include "kel_forms.h"
#include "kel_grids.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using namespace kel;

// A form with a draw grid showing exactly 30 scrollable rows of 10 columns; every cell writes
// a text of fixed length (column and the row's last four digits), as a real grid writes its
// data, so that the text drawn costs the same at the top and at the end of every size.
struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TDrawGrid* grid = nullptr;
    explicit Scene(int Rows) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 800, 600);
        grid = new TDrawGrid(form.get());
        grid->SetParent(form.get());
        grid->SetColCount(10);
        grid->SetDefaultRowHeight(18);
        grid->SetRowCount(Rows);
        // Frame 2 + 2, a fixed row and 30 rows of 18 + 1 pixels.
        grid->SetBounds(10, 0, 780, 4 + 19 + 30 * 19);
        grid->SetOnDrawCell([g = grid](TObject*, int c, int r, TRect R, TGridDrawState) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%d:%04d", c, r % 10000);
            TCanvas& cv = g->Canvas();
            cv.Brush().SetStyle(bsClear);
            cv.TextOut(R.Left + 2, R.Top + 2, buf);
        });
        form->Show();
        form->PaintPending();
    }
};

void BM_GridSetRowCount(benchmark::State& state) {
    const int n = int(state.range(0));
    Scene s(n);
    bool flip = false;
    for (auto _ : state) {
        s.grid->SetRowCount(flip ? n : n - 1);
        flip = !flip;
        benchmark::DoNotOptimize(s.grid->RowCount());
    }
}
BENCHMARK(BM_GridSetRowCount)->Arg(100)->Arg(1000000)->Arg(100000000);

void BM_GridPaintPage(benchmark::State& state) {
    Scene s(int(state.range(0)));
    if (s.grid->VisibleRowCount() != 30) state.SkipWithError("the page is not 30 rows");
    for (auto _ : state) {
        s.grid->Invalidate();
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
}
BENCHMARK(BM_GridPaintPage)->Arg(100)->Arg(1000000)->Arg(100000000)->Unit(benchmark::kMicrosecond);

void BM_GridScrollToLastPageAndPaint(benchmark::State& state) {
    const int n = int(state.range(0));
    Scene s(n);
    for (auto _ : state) {
        state.PauseTiming();
        s.grid->SetRow(1);
        s.form->PaintPending();
        state.ResumeTiming();
        s.grid->SetRow(n - 1);
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
    if (s.grid->TopRow() != n - 30) state.SkipWithError("not on the last page");
}
BENCHMARK(BM_GridScrollToLastPageAndPaint)
    ->Arg(100)
    ->Arg(1000000)
    ->Arg(100000000)
    ->Unit(benchmark::kMicrosecond);

} // namespace
