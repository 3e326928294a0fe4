// Typing into the numeric input control: 1,000 key strokes per iteration through the headless
// host (key down, text, key up), each checked, handled and repainted by the control (the full
// off-screen paint and the copy to the form's surface). The counter "per_key" is the time per
// key stroke.
#include "KEL_NumIO.h"
#include "headless.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace kel;

constexpr int KeysPerIteration = 1000;

struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TNumIO2* control;
    Scene() {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 320, 60);
        form->Show();
        control = new TNumIO2(form.get());
        control->SetParent(form.get());
        control->SetBounds(10, 10, 160, 28);
        control->SetFocus();
        headless::Flush();
    }
};

void PerKey(benchmark::State& state) {
    state.counters["per_key"] =
        benchmark::Counter(double(state.iterations()) * KeysPerIteration,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A short number typed and erased again: "12.345" and six Backspaces, over and over, so the
// buffer stays as short as in real use.
void BM_NumIO2TypeAndErase(benchmark::State& state) {
    Scene s;
    const std::string cycle = "12.345\b\b\b\b\b\b";
    for (auto _ : state) {
        for (int k = 0; k < KeysPerIteration; ++k)
            headless::KeyPress(*s.form, char32_t(cycle[std::size_t(k) % cycle.size()]));
        benchmark::DoNotOptimize(s.control->Text().size());
    }
    PerKey(state);
}
BENCHMARK(BM_NumIO2TypeAndErase)->Unit(benchmark::kMillisecond);

// Keys the format refuses ("e" in itFloat): check, restore and repaint, the buffer unchanged.
void BM_NumIO2RefusedKeys(benchmark::State& state) {
    Scene s;
    s.control->SetValue(12.5);
    for (auto _ : state) {
        for (int k = 0; k < KeysPerIteration; ++k) headless::KeyPress(*s.form, U'e');
        benchmark::DoNotOptimize(s.control->Text().size());
    }
    PerKey(state);
}
BENCHMARK(BM_NumIO2RefusedKeys)->Unit(benchmark::kMillisecond);

// 1,000 digits into one growing buffer (the text is measured whole on every paint).
void BM_NumIO2ThousandDigitsInARow(benchmark::State& state) {
    Scene s;
    for (auto _ : state) {
        state.PauseTiming();
        s.control->SetText("");
        state.ResumeTiming();
        for (int k = 0; k < KeysPerIteration; ++k)
            headless::KeyPress(*s.form, char32_t('0' + k % 10));
        benchmark::DoNotOptimize(s.control->Text().size());
    }
    PerKey(state);
}
BENCHMARK(BM_NumIO2ThousandDigitsInARow)->Unit(benchmark::kMillisecond);

} // namespace
