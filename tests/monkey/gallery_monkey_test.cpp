// The monkey test: the whole gallery form (built as the gallery application builds it) gets a
// seeded stream of random input events, and after each the invariants of kel_monkey.h are
// checked. KEL_MONKEY_SEED (default 1) and KEL_MONKEY_EVENTS (default 10,000) choose the run;
// a failure prints the seed, the event number and the last events, so that
//     KEL_MONKEY_SEED=<seed> KEL_MONKEY_EVENTS=<n> test_monkey_gallery
// repeats it exactly. KEL_MONKEY_ONLY=<text> narrows the targets to the classes whose name holds
// the text and disables the rest, so that keys reach only those (a focused search).
#include "gallery.h"
#include "kel_monkey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace kel;

std::uint64_t EnvNumber(const char* Name, std::uint64_t Default) {
    const char* v = std::getenv(Name);
    return v && *v ? std::strtoull(v, nullptr, 10) : Default;
}

// The input echo of the gallery appends the clipboard on Ctrl+V and copies what was typed on
// Ctrl+C, so copy and paste in turn doubled its text each time until memory ran out (the monkey
// found it): the text it keeps stays short.
TEST(GalleryMonkey, InputEchoKeepsItsTextShortUnderCopyAndPaste) {
    Application->ResetState();
    gallery::Gallery g = gallery::BuildForm(false);
    TControl* echo = nullptr;
    for (const auto& [name, control] : g.Shown)
        if (name == "Input echo") echo = control;
    ASSERT_NE(echo, nullptr);
    g.Form->Show();
    headless::Flush();
    auto* w = dynamic_cast<TWinControl*>(echo);
    ASSERT_NE(w, nullptr);
    w->SetFocus();
    headless::Type(*g.Form, "ab\xc3\xa4");
    for (int i = 0; i < 24; ++i) {
        headless::KeyStroke(*g.Form, 'C', TShiftState{ssCtrl});
        headless::KeyStroke(*g.Form, 'V', TShiftState{ssCtrl});
    }
    headless::KeyStroke(*g.Form, 'C', TShiftState{ssCtrl});
    const std::string kept = Clipboard().AsText();
    EXPECT_GE(kept.size(), 60u); // pasting still appends (4 bytes typed)
    EXPECT_LE(kept.size(), 200u);
    EXPECT_EQ(kept.substr(kept.size() - 4), "ab\xc3\xa4"); // the newest text, whole characters
    g.Form.reset();
    headless::Flush();
}

// Scripted choices: the values given, in order, then zeros.
class TScript : public monkey::TChoices {
  public:
    explicit TScript(std::vector<std::uint32_t> Values) : FValues(std::move(Values)) {}
    std::uint32_t Next(std::uint32_t n) override {
        return FAt < FValues.size() ? FValues[FAt++] % n : 0;
    }

  private:
    std::vector<std::uint32_t> FValues;
    std::size_t FAt = 0;
};

// In bursts the form paints only when time passes: a resize leaves its paint pending, a time
// step of 0 ms (the loop going idle) paints it.
TEST(GalleryMonkey, InBurstsOnlyTimePassingPaints) {
    Application->ResetState();
    TForm form(nullptr);
    form.SetClientSize(200, 100);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    form.Show();
    headless::Flush();
    monkey::TMonkey m(form, {edit});
    m.SetBursts(true);
    const int passes = form.PaintPassCount();
    // Target 0, kind 12, a point (unused), then the target's size: 150 x 60.
    TScript resize({0, 12, 0, 0, 1, 150, 60});
    m.Step(resize);
    EXPECT_EQ(edit->Width(), 150);
    EXPECT_EQ(form.PaintPassCount(), passes);
    TScript idle({0, 11, 0, 0, 1, 0}); // kind 11: time, a short step of 0 ms
    m.Step(idle);
    EXPECT_EQ(form.PaintPassCount(), passes + 1);
    // Without bursts every event paints.
    m.SetBursts(false);
    TScript again({0, 12, 0, 0, 1, 120, 60});
    m.Step(again);
    EXPECT_EQ(form.PaintPassCount(), passes + 2);
}

TEST(GalleryMonkey, RandomInputKeepsEveryInvariant) {
    const std::uint64_t seed = EnvNumber("KEL_MONKEY_SEED", 1);
    const std::uint64_t events = EnvNumber("KEL_MONKEY_EVENTS", 10000);
    Application->ResetState();
    gallery::Gallery g = gallery::BuildForm(false);
    ASSERT_TRUE(g.Failed.empty()) << "gallery items failed to build";
    ASSERT_GE(g.Shown.size(), 10u);
    std::vector<TControl*> targets;
    const char* only = std::getenv("KEL_MONKEY_ONLY");
    for (const auto& [name, control] : g.Shown)
        if (!only || control->ClassName().find(only) != std::string::npos)
            targets.push_back(control);
    ASSERT_FALSE(targets.empty()) << "no class name holds " << only;
    // Focused on some classes: the others are disabled, so that keys reach only the chosen ones.
    if (only)
        for (const auto& [name, control] : g.Shown)
            if (std::find(targets.begin(), targets.end(), control) == targets.end())
                control->SetEnabled(false);
    g.Form->Show();
    headless::Flush();

    monkey::TMonkey m(*g.Form, targets);
    monkey::TSeeded choices(seed);
    std::deque<std::string> last; // the last events, for the failure message
    std::string fault;
    std::uint64_t n = 0;
    for (; n < events && fault.empty(); ++n) {
        last.push_back(m.Step(choices));
        if (last.size() > 8) last.pop_front();
        fault = m.Check();
    }
    std::string recent;
    for (const std::string& e : last) recent += "\n  " + e;
    EXPECT_EQ(fault, "") << "KEL_MONKEY_SEED=" << seed << " KEL_MONKEY_EVENTS=" << n
                         << " reproduces this; the last events were:" << recent;
    std::printf("monkey: seed %llu, %llu events over %zu components, %d refused with a "
                "framework error, %d reported by the loop\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(n),
                targets.size(), m.Raised(), m.Handled());
    // Controls that defer their parts' deletion to the message loop (a combo box's open list)
    // need one more loop step after the form goes, or the leak check reports those parts.
    g.Form.reset();
    headless::Flush();
}

} // namespace
