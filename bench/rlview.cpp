// Cost of the report list view at 100 and 1,000,000 rows of 5 columns: painting one page (should
// cost the same at both sizes), a header click that sorts by a text column (set beside
// std::stable_sort of the same keys, its goal), and FilterAndSort with a simple expression.
#include "KEL_replist.h"
#include "headless.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kel;

// A word of 6 to 11 lower-case letters derived from n (the same for the same n).
std::string Word(std::uint32_t n) {
    std::uint32_t x = n * 2654435761u + 12345u;
    std::string s;
    const int len = 6 + int(x % 6);
    for (int i = 0; i < len; ++i) {
        x = x * 1103515245u + 12345u;
        s += char('a' + (x >> 16) % 26);
    }
    return s;
}

// A form with a view of Rows rows: column 1 a name, 2 a number, 3 a check box, 4 a word,
// 5 a code. The page shows about 30 rows.
struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TReportListView* view = nullptr;
    explicit Scene(int Rows) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 800, 800);
        view = new TReportListView(form.get());
        view->SetParent(form.get());
        view->SetBounds(0, 0, 700, 4 + 21 + 30 * 25);
        view->SetSuppressPaint(true);
        view->SetNrCols(5);
        view->SetNrRows(Rows);
        view->SetColumnCheckMode(3, cmBox);
        TStringArray& s = view->Data().Strings();
        char buf[32];
        for (int r = 1; r <= Rows; ++r) {
            s.SetString(1, r, Word(std::uint32_t(r)));
            std::snprintf(buf, sizeof buf, "%.3f", double((r * 7919) % 100000) / 7.0);
            s.SetString(2, r, buf);
            s.SetString(3, r, (r % 3) ? "Xyes" : " no");
            s.SetString(4, r, Word(std::uint32_t(r) ^ 0x5555u));
            std::snprintf(buf, sizeof buf, "K-%07d", (r * 31) % 9999991);
            s.SetString(5, r, buf);
        }
        view->SetSuppressPaint(false);
        form->Show();
        form->PaintPending();
    }
};

void BM_RLViewPaintPage(benchmark::State& state) {
    Scene s(int(state.range(0)));
    for (auto _ : state) {
        s.view->Invalidate();
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.form->Surface().Bits());
    }
}
BENCHMARK(BM_RLViewPaintPage)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// A click on the header of column 1 (the first of a run sorts descending, the next ascending),
// with the page painted after it, as the user sees it.
void BM_RLViewHeaderClickSortText(benchmark::State& state) {
    Scene s(int(state.range(0)));
    for (auto _ : state) {
        headless::ClickAt(*s.view, 30, 10);
        s.form->PaintPending();
        benchmark::DoNotOptimize(s.view->LastSortColumn());
    }
    if (s.view->LastSortColumn() != 1) state.SkipWithError("the click did not sort");
}
BENCHMARK(BM_RLViewHeaderClickSortText)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The goal of the header sort: std::stable_sort of the same texts (byte order).
void BM_StdStableSortSameKeys(benchmark::State& state) {
    const int n = int(state.range(0));
    std::vector<std::string> keys;
    keys.reserve(std::size_t(n));
    for (int r = 1; r <= n; ++r) keys.push_back(Word(std::uint32_t(r)));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> k = keys;
        state.ResumeTiming();
        std::stable_sort(k.begin(), k.end());
        benchmark::DoNotOptimize(k.data());
    }
}
BENCHMARK(BM_StdStableSortSameKeys)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Rows whose column 1 or 4 contains "ab", enabled and sorted by column 2 first.
void BM_RLViewFilterAndSortSimple(benchmark::State& state) {
    Scene s(int(state.range(0)));
    int passed = 0;
    for (auto _ : state) {
        passed = s.view->FilterAndSort("ab", {1, 4}, true, fmSimple, 2, true);
        s.form->PaintPending();
    }
    state.counters["passed"] = passed;
}
BENCHMARK(BM_RLViewFilterAndSortSimple)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
