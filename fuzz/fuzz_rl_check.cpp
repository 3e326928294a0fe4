// Fuzz target for CheckIfValidReplist on streams: any text with an empty and two given DataIDs.
// A header that counts for a DataID also counts for the empty one, the check agrees with a
// line-by-line reference of the rule, and the stream is never read past the counting header line.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "KEL_replist.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream any(text);
    const bool forAny = kel::CheckIfValidReplist(any, "");
    for (const char* id : {"x", "Fuzz ID"}) {
        std::istringstream in(text);
        const bool found = kel::CheckIfValidReplist(in, id);
        if (found && !forAny) __builtin_trap();
        if (found) {
            // The rest of the stream starts right after a line end (or is empty).
            const std::streamoff pos = in.tellg();
            if (pos > 0 && static_cast<std::size_t>(pos) < text.size() && text[pos - 1] != '\n' &&
                text[pos - 1] != '\r')
                __builtin_trap();
        }
    }
    // Without "<replist" (in any case) there is no header at all.
    std::string low = text;
    for (char& ch : low)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    if (forAny &&
        (low.find("<replist") == std::string::npos || low.find("kelmosaic") == std::string::npos))
        __builtin_trap();
    return 0;
}
