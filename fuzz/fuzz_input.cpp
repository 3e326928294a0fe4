// Fuzz target for input sequences: the first byte picks a registered control class, the rest
// decode into mouse, key, wheel, timer and resize events and published property sets (see
// tests/monkey/kel_monkey.h) sent to one instance on a headless form, with the invariant checks
// after each event. Events come in bursts: the form paints when time passes and at the end of
// the input, not after every event (the paint after each event took half the time, and the
// fuzzer reaches any paint it wants through a time step). A report list gets a few rows of
// data first so sorting has work to do.
// The scripts run it with -entropic=0 (fuzz/fuzz_input.flags): one input covers tens of
// thousands of features, and the entropic schedule's bookkeeping per feature took most of the
// time (a few executions per second instead of over a hundred). KEL_FUZZ_TRACE=1 prints every
// event (to replay a crash input step by step); KEL_FUZZ_LIST=1 the classes the first byte picks.
#include "kel_monkey.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Control classes a form can create, sorted by name (the registry's order).
const std::vector<const kel::TClassInfo*>& Kinds() {
    static const std::vector<const kel::TClassInfo*> kinds = [] {
        std::vector<const kel::TClassInfo*> k;
        for (const std::string& n : kel::RegisteredClassNames()) {
            const kel::TClassInfo* ci = kel::FindClass(n);
            if (ci && ci->Create && ci->InheritsFrom("TControl") && !ci->InheritsFrom("TForm"))
                k.push_back(ci);
        }
        if (std::getenv("KEL_FUZZ_LIST") != nullptr) // which kinds the first byte chooses from
            for (std::size_t i = 0; i < k.size(); ++i)
                std::fprintf(stderr, "kind %zu: %s\n", i, k[i]->Name.c_str());
        return k;
    }();
    return kinds;
}

void Fill(kel::TReportListView& v) {
    v.SetNrOfColumns(3);
    v.SetNrOfRows(6);
    const char* texts[] = {"b", "a", "10", "9", "", "a"};
    for (int r = 1; r <= 6; ++r)
        for (int c = 1; c <= 3; ++c) v.Data().SetElem(c, r, texts[(r * c) % 6]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || Kinds().empty()) return 0;
    static kel::TForm* form = [] {
        auto* f = new kel::TForm(nullptr);
        f->SetCaption("fuzz");
        f->Show();
        return f;
    }();
    kel::Application->ResetState();
    form->SetClientSize(400, 300);
    const kel::TClassInfo& kind = *Kinds()[data[0] % Kinds().size()];
    std::unique_ptr<kel::TComponent> owned(kind.Create(form));
    auto* control = dynamic_cast<kel::TControl*>(owned.get());
    if (control == nullptr) return 0;
    control->SetParent(form);
    control->SetBounds(10, 10, 200, 150);
    if (auto* v = dynamic_cast<kel::TReportListView*>(control)) Fill(*v);
    kel::headless::Flush();
    {
        kel::monkey::TMonkey monkey(*form, {control});
        monkey.SetBursts(true);
        kel::monkey::TBytes bytes(data + 1, size - 1);
        static const bool trace = std::getenv("KEL_FUZZ_TRACE") != nullptr;
        for (int n = 0; n < 32 && bytes.More(); ++n) {
            const std::string what = monkey.Step(bytes);
            if (trace) std::fprintf(stderr, "event %d: %s\n", n, what.c_str());
            const std::string fault = monkey.Check();
            if (!fault.empty()) {
                std::fprintf(stderr, "fault after event %d (%s): %s\n", n, what.c_str(),
                             fault.c_str());
                __builtin_trap();
            }
        }
        kel::headless::Flush(); // the state the events left, painted
        if (const std::string fault = monkey.Check(); !fault.empty()) {
            std::fprintf(stderr, "fault after the last paint: %s\n", fault.c_str());
            __builtin_trap();
        }
    }
    owned.reset();
    kel::headless::Flush();
    return 0;
}
