// Cost of the tree view with 100 and with 100,000 children under one node: collapsing,
// expanding and painting one page (the row list is rebuilt once, then only the page's rows are
// drawn), scrolling to the middle and painting, and adding the children. The expand-and-paint
// and scroll figures should differ between the sizes only by the one pass that lists the rows.
#include "headless.h"
#include "kel_comctrls.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace kel;

// A form with a tree view of 30 visible rows: one root with N children, texts of equal length.
struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TTreeView* tree = nullptr;
    TTreeNode* root = nullptr;
    explicit Scene(int N) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 400, 600);
        tree = new TTreeView(form.get());
        tree->SetParent(form.get());
        tree->BeginUpdate();
        root = tree->Items().Add(nullptr, "root");
        for (int i = 0; i < N; ++i)
            tree->Items().AddChild(root, "child " + std::to_string(100000 + i));
        tree->EndUpdate();
        tree->SetBounds(0, 0, 300, 4 + 30 * tree->ItemHeight());
        form->Show();
        form->PaintPending();
    }
};

void BM_TreeExpandPaint(benchmark::State& state) {
    Scene s(int(state.range(0)));
    for (auto _ : state) {
        s.root->Collapse(false);
        s.root->Expand(false);
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.tree->RowCount());
    }
    if (s.tree->RowCount() != state.range(0) + 1) state.SkipWithError("not expanded");
}
BENCHMARK(BM_TreeExpandPaint)->Arg(100)->Arg(100000);

void BM_TreeScrollPaint(benchmark::State& state) {
    Scene s(int(state.range(0)));
    s.root->Expand(false);
    s.form->PaintPending();
    const int mid = int(state.range(0)) / 2;
    bool flip = false;
    for (auto _ : state) {
        s.tree->SetTopIndex(flip ? mid : mid - 30);
        flip = !flip;
        s.form->PaintPending();
    }
}
BENCHMARK(BM_TreeScrollPaint)->Arg(100)->Arg(100000);

void BM_TreeAddChildren(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Scene>(0);
        state.ResumeTiming();
        s->tree->BeginUpdate();
        for (int i = 0; i < n; ++i)
            s->tree->Items().AddChild(s->root, "child " + std::to_string(100000 + i));
        s->tree->EndUpdate();
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_TreeAddChildren)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
