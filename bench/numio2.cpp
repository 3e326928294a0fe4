// Typing into the numeric input control: 1,000 key strokes per iteration through the headless
// host (key down, text, key up), each checked and handled by the control, which invalidates
// itself, and then painted by an Update of the form (the full off-screen paint and the copy to
// the form's surface), so every key costs one paint as on a screen that shows each key. The
// counter "per_key" is the time per key stroke. A last pair measures a burst of setter calls.
#include "KEL_NumIO.h"
#include "headless.h"
#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

// One key stroke and the paint that shows it.
void PressAndPaint(Scene& s, char32_t Ch) {
    headless::KeyPress(*s.form, Ch);
    s.form->Update();
}

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
            PressAndPaint(s, char32_t(cycle[std::size_t(k) % cycle.size()]));
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
        for (int k = 0; k < KeysPerIteration; ++k) PressAndPaint(s, U'e');
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
        for (int k = 0; k < KeysPerIteration; ++k) PressAndPaint(s, char32_t('0' + k % 10));
        benchmark::DoNotOptimize(s.control->Text().size());
    }
    PerKey(state);
}
BENCHMARK(BM_NumIO2ThousandDigitsInARow)->Unit(benchmark::kMillisecond);

// 100 setter calls in a row on a visible control (colours, texts, the value), then one Update:
// the paints merge into one. The peer paints after every setter, as a control that painted
// inside its setters did. The counter "paints" is the paints per burst.
class TCountingNumIO2 : public TNumIO2 {
  public:
    using TNumIO2::TNumIO2;
    long Paints = 0;

  protected:
    void Paint() override {
        ++Paints;
        TNumIO2::Paint();
    }
};

void SetterBurst(benchmark::State& state, bool PaintEach) {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 320, 60);
    form->Show();
    auto* c = new TCountingNumIO2(form.get());
    c->SetParent(form.get());
    c->SetBounds(10, 10, 160, 28);
    c->SetButVisible(true);
    c->SetGaugeVisible(true);
    headless::Flush();
    c->Paints = 0;
    long bursts = 0;
    for (auto _ : state) {
        for (int k = 0; k < 100; ++k) {
            switch (k % 4) {
            case 0:
                c->SetColorBoxBG(k % 8 ? clWhite : clYellow);
                break;
            case 1:
                c->SetLeftText(k % 8 ? "U" : "I");
                break;
            case 2:
                c->SetValue(double(k));
                break;
            default:
                c->SetGaugeColor(k % 8 ? clNavy : clGreen);
            }
            if (PaintEach) form->Update();
        }
        form->Update();
        ++bursts;
    }
    state.counters["paints"] = double(c->Paints) / double(std::max(bursts, 1L));
}
void BM_NumIO2SetterBurstMerged(benchmark::State& state) { SetterBurst(state, false); }
void BM_NumIO2SetterBurstPaintEach(benchmark::State& state) { SetterBurst(state, true); }
BENCHMARK(BM_NumIO2SetterBurstMerged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NumIO2SetterBurstPaintEach)->Unit(benchmark::kMicrosecond);

} // namespace
