// Fuzz target for the form-file reader: any bytes must either build objects or raise a framework
// exception naming a line, never crash, leak or read out of bounds. What was read must write back
// to a text that reads to the same text again, and a failed read into an existing form must
// leave that form exactly as it was.
#include "kel_forms.h"
#include "kel_streaming.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 16384) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        std::unique_ptr<kel::TComponent> c(kel::ComponentFromText(text, nullptr));
        const std::string once = kel::ComponentToText(*c);
        std::unique_ptr<kel::TComponent> again(kel::ComponentFromText(once, nullptr));
        if (kel::ComponentToText(*again) != once) std::abort();
    } catch (const kel::EFormFileError& e) {
        if (e.Line() < 0) std::abort();
    } catch (const kel::Exception&) {
        // Writing may refuse what the reader accepted only for reasons of its own (none yet).
    }

    kel::TForm form(nullptr);
    form.SetCaption("target");
    const std::string before = kel::ComponentToText(form);
    try {
        kel::ComponentFromTextInto(text, form);
    } catch (const kel::EFormFileError&) {
        if (kel::ComponentToText(form) != before) std::abort();
    } catch (const kel::Exception&) {
    }
    return 0;
}
