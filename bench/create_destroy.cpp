// Cost of creating and destroying one component of each registered class, the way a form file
// creates it: through the class registry, with a form as its owner and no parent. The list of
// classes is read from the registry at start, so every class registered later is measured
// too. Goal: under 50 microseconds per class (expensive caches are built at first paint).
#include "headless.h"
#include "kel_forms.h"
#include "kel_props.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace kel;

namespace {

void CreateAndDestroy(benchmark::State& state, const TClassInfo* Info) {
    auto form = std::make_unique<TForm>(nullptr);
    for (auto _ : state) {
        TComponent* c = Info->Create(form.get());
        benchmark::DoNotOptimize(c);
        delete c;
    }
}

} // namespace

int main(int argc, char** argv) {
    for (const std::string& name : RegisteredClassNames()) {
        const TClassInfo* info = FindClass(name);
        if (info == nullptr || !info->Create) continue; // not creatable by name
        benchmark::RegisterBenchmark(("BM_CreateDestroy/" + name).c_str(),
                                     [info](benchmark::State& st) { CreateAndDestroy(st, info); })
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
