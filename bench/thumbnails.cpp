// Speed and memory of the thumbnail strip with 1,000 slides of 640 x 480 pictures: adding them
// to the strip's own list (each reduced once to the 120-pixel slide, halftone and
// colour-on-colour), painting one page and scrolling by a page and by a quarter row, beside
// peers in the same run: reading every source pixel once (the floor of any reduction) and
// copying a finished page bitmap onto the form (the floor of showing a page).
//
// The pictures: eight distinct 640 x 480 scenes, cycled (holding a thousand distinct sources
// would cost 1.2 GB and measure the machine's memory rather than the strip). Counters: peak_MB
// is the greatest heap in use while the slides are added above what was in use before (global
// operator new is counted, malloc_usable_size per block), kept_MB what the finished strip still
// holds, KB_per_slide the latter per slide. Each add run is one iteration (about a second).
#include "KEL_Thumbnails.h"

#include "kel_forms.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include <malloc.h>

// ---- Heap accounting ---------------------------------------------------------------------------

#include "heap_count.h"

using kel::bench::PeakMB;
using kel::bench::StartPeak;

namespace {

using namespace kel;

constexpr int Slides = 1000;

// Eight 640 x 480 scenes with smooth gradients and hard edges (both matter to a reduction).
const std::vector<std::unique_ptr<TBitmap>>& Sources() {
    static const auto pics = [] {
        std::vector<std::unique_ptr<TBitmap>> v;
        for (int k = 0; k < 8; ++k) {
            auto b = std::make_unique<TBitmap>(640, 480);
            for (int y = 0; y < 480; ++y) {
                std::uint32_t* row = b->ScanLine(y);
                for (int x = 0; x < 640; ++x) {
                    const std::uint32_t r = (x * 255 / 639 + 31 * k) & 0xFF;
                    const std::uint32_t g = (y * 255 / 479) & 0xFF;
                    const std::uint32_t bl = ((x / 16 + y / 16 + k) % 2) ? 0xE0 : 0x20;
                    row[x] = r << 16 | g << 8 | bl;
                }
            }
            v.push_back(std::move(b));
        }
        return v;
    }();
    return pics;
}

// A shown form with a strip of 640 x 480 (four slides per row, four rows on screen).
struct Scene {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TThumbnails* strip = nullptr;
    Scene() {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 660, 500);
        strip = new TThumbnails(form.get());
        strip->SetParent(form.get());
        strip->SetBounds(0, 0, 640, 480);
        form->Show();
        form->PaintPending();
    }
    void Fill(bool AntiAlias) {
        strip->SetAntiAlias(AntiAlias);
        const auto& src = Sources();
        for (int i = 0; i < Slides; ++i) strip->AddPicture(*src[std::size_t(i) % src.size()]);
        form->PaintPending();
    }
};

void AddSlides(benchmark::State& state, bool AntiAlias) {
    (void)Sources(); // built before any timing or counting
    double peak = 0, kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto s = std::make_unique<Scene>();
        s->strip->SetAntiAlias(AntiAlias);
        const std::size_t base = StartPeak();
        state.ResumeTiming();
        const auto& src = Sources();
        for (int i = 0; i < Slides; ++i) s->strip->AddPicture(*src[std::size_t(i) % src.size()]);
        state.PauseTiming();
        peak = PeakMB(base);
        kept = kel::bench::InUseMB(base);
        if (s->strip->PictureCount() != Slides) state.SkipWithError("slides missing");
        s.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peak;
    state.counters["kept_MB"] = kept;
    state.counters["KB_per_slide"] = kept * 1024.0 / Slides;
    state.SetItemsProcessed(state.iterations() * Slides);
}

void BM_AddSlides_Halftone(benchmark::State& state) { AddSlides(state, true); }
BENCHMARK(BM_AddSlides_Halftone)->Iterations(1)->Unit(benchmark::kMillisecond);
void BM_AddSlides_ColorOnColor(benchmark::State& state) { AddSlides(state, false); }
BENCHMARK(BM_AddSlides_ColorOnColor)->Iterations(1)->Unit(benchmark::kMillisecond);

// Peer of the adds: every source pixel read once, 1,000 times 640 x 480.
void BM_ReadSourcePixels(benchmark::State& state) {
    const auto& src = Sources();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (int i = 0; i < Slides; ++i) {
            const TBitmap& b = *src[std::size_t(i) % src.size()];
            const std::uint32_t* p = b.Bits();
            for (std::size_t k = 0, n = std::size_t(b.Width()) * std::size_t(b.Height()); k < n;
                 ++k)
                sum += p[k];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * Slides);
}
BENCHMARK(BM_ReadSourcePixels)->Iterations(1)->Unit(benchmark::kMillisecond);

// One page painted again (16 slides, the reduced pictures drawn at their own size).
void BM_PaintPage(benchmark::State& state) {
    Scene s;
    s.Fill(false); // the stored thumbnails are the same size either way; this fills faster
    for (auto _ : state) {
        s.strip->Invalidate();
        s.form->PaintPending();
    }
}
BENCHMARK(BM_PaintPage);

// Scrolling a page down (three rows: the fourth is partly shown) and painting, through the
// 1,000 slides and back to the start.
void BM_ScrollPagePaint(benchmark::State& state) {
    Scene s;
    s.Fill(false);
    const int page = s.strip->NumSlidesHoriz() * (s.strip->NumSlidesVert() - 1);
    int at = 1;
    for (auto _ : state) {
        at = at + page > Slides ? 1 : at + page;
        s.strip->SetFirstThumbIdx(at);
        s.form->PaintPending();
    }
}
BENCHMARK(BM_ScrollPagePaint);

// Smooth scrolling: a quarter row per step, painting each step.
void BM_ScrollQuarterRowPaint(benchmark::State& state) {
    Scene s;
    s.Fill(false);
    const int n = s.strip->NumSlidesHoriz();
    double at = 1;
    for (auto _ : state) {
        at += n / 4.0;
        if (at > Slides - n) at = 1;
        s.strip->SetFirstThumbIdx(at);
        s.form->PaintPending();
    }
}
BENCHMARK(BM_ScrollQuarterRowPaint);

// Peer of the paints: a finished 640 x 480 page copied onto the form (what showing a page costs
// without drawing anything).
void BM_BlitPage(benchmark::State& state) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 660, 500);
    form.Show();
    form.PaintPending();
    TBitmap page(640, 480);
    for (auto _ : state) {
        form.Canvas().Draw(0, 0, page);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlitPage);

} // namespace
