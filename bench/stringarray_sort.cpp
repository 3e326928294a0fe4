// Sorting speed of TStringArray: one million rows sorted by a text column and by a numeric
// column, each beside std::stable_sort of the same keys held as std::string (text) and as
// double (numbers), so the ratio of the two shows what the array's sort costs over sorting
// ready-made keys. The array's time includes reading the numbers and folding the text.
//
// Run: bench_stringarray_sort --benchmark_repetitions=5
#include "Kel_dstruct.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 1'000'000;

struct TBenchData {
    std::vector<std::string> Words;   // column 1
    std::vector<std::string> Numbers; // column 2, as text
    std::vector<double> Values;       // column 2, as numbers
    kel::TStringArray Array{2, kRows};

    TBenchData() {
        std::mt19937_64 rng(20261207);
        std::uniform_int_distribution<int> len(4, 14);
        std::uniform_int_distribution<int> letter(0, 51);
        std::uniform_real_distribution<double> value(-1e6, 1e6);
        const char* letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        Words.reserve(kRows);
        Numbers.reserve(kRows);
        Values.reserve(kRows);
        char buf[64];
        for (int r = 1; r <= kRows; ++r) {
            std::string w(static_cast<std::size_t>(len(rng)), ' ');
            for (char& c : w) c = letters[letter(rng)];
            double v = value(rng);
            std::snprintf(buf, sizeof buf, "%.3f", v);
            Words.push_back(w);
            Numbers.emplace_back(buf);
            Values.push_back(std::strtod(buf, nullptr));
            Array.SetString(1, r, w);
            Array.SetString(2, r, buf);
        }
    }
};

TBenchData& Data() {
    static TBenchData data;
    return data;
}

void BM_StringArraySortText(benchmark::State& state) {
    auto& a = Data().Array;
    for (auto _ : state) {
        state.PauseTiming();
        a.UnSort();
        state.ResumeTiming();
        a.Sort(1, -1, true);
        benchmark::DoNotOptimize(a.GetSortOrder(1));
    }
}

void BM_StdStableSortStrings(benchmark::State& state) {
    const auto& src = Data().Words;
    std::vector<std::string> keys;
    for (auto _ : state) {
        state.PauseTiming();
        keys = src;
        state.ResumeTiming();
        std::stable_sort(keys.begin(), keys.end());
        benchmark::DoNotOptimize(keys.data());
    }
}

void BM_StringArraySortNumbers(benchmark::State& state) {
    auto& a = Data().Array;
    for (auto _ : state) {
        state.PauseTiming();
        a.UnSort();
        state.ResumeTiming();
        a.Sort(2, -1, true);
        benchmark::DoNotOptimize(a.GetSortOrder(1));
    }
}

void BM_StdStableSortDoubles(benchmark::State& state) {
    const auto& src = Data().Values;
    std::vector<double> keys;
    for (auto _ : state) {
        state.PauseTiming();
        keys = src;
        state.ResumeTiming();
        std::stable_sort(keys.begin(), keys.end());
        benchmark::DoNotOptimize(keys.data());
    }
}

} // namespace

BENCHMARK(BM_StringArraySortText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdStableSortStrings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringArraySortNumbers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdStableSortDoubles)->Unit(benchmark::kMillisecond);
