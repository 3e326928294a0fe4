// Cost of the table editor on a 1,000 x 1,000 table, beside the same work on a 10 x 10 table in
// the same run: painting one page (must not grow with the table), scrolling to the bottom-right
// and painting, AutoColWidth of one column (reads every row of it), copying the whole table to
// the clipboard text, and extracting that text back into the table.
#include "KEL_ntabed.h"
#include "headless.h"
#include "kel_app.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace kel;

// A form with an editor of N x N cells holding varied values; the page (about 9 rows of 7
// columns) is full already at 10 x 10, so a page paints the same cells at both sizes.
struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TNTabEd* ed = nullptr;
    explicit Scene(int N) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 700, 560);
        ed = new TNTabEd(form.get());
        ed->SetParent(form.get());
        ed->SetBounds(0, 0, 560, 250);
        ed->SetSuppressPaint(true);
        ed->Redimension(N, N);
        for (int r = 1; r <= N; ++r)
            for (int c = 1; c <= N; ++c)
                ed->SetElem(c, r, double((r * 7919 + c * 104729) % 100000) / 7.0);
        ed->SetSuppressPaint(false);
        form->Show();
        form->PaintPending();
    }
};

void BM_NTabEdPaintPage(benchmark::State& state) {
    Scene s(int(state.range(0)));
    for (auto _ : state) {
        s.ed->Invalidate();
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
}
BENCHMARK(BM_NTabEdPaintPage)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Scrolls from the top-left to the last page and paints, then back (two scrolls and two paints
// per iteration).
void BM_NTabEdScrollBottomRightAndPaint(benchmark::State& state) {
    Scene s(int(state.range(0)));
    const int n = int(state.range(0));
    for (auto _ : state) {
        s.ed->SetDataTopRow(n);
        s.ed->SetDataLeftCol(n);
        s.form->PaintPending();
        s.ed->SetDataTopRow(1);
        s.ed->SetDataLeftCol(1);
        s.form->PaintPending();
    }
}
BENCHMARK(BM_NTabEdScrollBottomRightAndPaint)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_NTabEdAutoColWidth(benchmark::State& state) {
    Scene s(int(state.range(0)));
    int w = 0;
    for (auto _ : state) w = s.ed->AutoColWidth(2, true, 0);
    state.counters["width"] = w;
}
BENCHMARK(BM_NTabEdAutoColWidth)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_NTabEdCopyAll(benchmark::State& state) {
    Scene s(int(state.range(0)));
    s.ed->PopupMenuClickSelAll(nullptr);
    for (auto _ : state) s.ed->PopupMenuClickCopy(nullptr);
    state.counters["bytes"] = double(Clipboard().AsText().size());
}
BENCHMARK(BM_NTabEdCopyAll)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_NTabEdExtractAll(benchmark::State& state) {
    Scene s(int(state.range(0)));
    s.ed->PopupMenuClickSelAll(nullptr);
    s.ed->PopupMenuClickCopy(nullptr);
    for (auto _ : state) {
        s.ed->SelectDataRange(1, 1, 1, 1);
        s.ed->PopupMenuClickExtClip(nullptr);
    }
    if (s.ed->DataSelection().Right != int(state.range(0)))
        state.SkipWithError("the extract did not cover the table");
}
BENCHMARK(BM_NTabEdExtractAll)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
