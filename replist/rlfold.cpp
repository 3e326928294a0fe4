// The case folding of the report list (utf8proc): its sort keys and its filters both compare
// through RLCaseFold, so that what a case-blind filter finds alike also sorts alike.
#include "rldata.h"

#include <utf8proc.h>

#include <cstdlib>

namespace kel {

namespace {

// Appends the fold of a run of well-formed UTF-8.
void FoldValidRun(std::string& Out, const unsigned char* p, std::size_t n) {
    if (n == 0) return;
    utf8proc_uint8_t* folded = nullptr;
    const utf8proc_ssize_t len = utf8proc_map(
        p, static_cast<utf8proc_ssize_t>(n), &folded,
        static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD));
    if (len < 0) { // out of memory in utf8proc: keep the text as it is
        Out.append(reinterpret_cast<const char*>(p), n);
        return;
    }
    Out.append(reinterpret_cast<const char*>(folded), static_cast<std::size_t>(len));
    std::free(folded);
}

} // namespace

void RLCaseFold(std::string& Out, std::string_view In) {
    const auto* p = reinterpret_cast<const unsigned char*>(In.data());
    const std::size_t n = In.size();
    // ASCII folds to its lower case and is already composed: the common case needs no library.
    std::size_t i = 0;
    while (i < n && p[i] < 0x80) ++i;
    if (i == n) {
        const std::size_t at = Out.size();
        Out.append(In);
        for (std::size_t k = at; k < Out.size(); ++k)
            if (Out[k] >= 'A' && Out[k] <= 'Z') Out[k] = static_cast<char>(Out[k] + 32);
        return;
    }
    // Fold the well-formed runs; malformed bytes are copied as they are.
    std::size_t run = 0;
    i = 0;
    while (i < n) {
        utf8proc_int32_t cp;
        const utf8proc_ssize_t len =
            utf8proc_iterate(p + i, static_cast<utf8proc_ssize_t>(n - i), &cp);
        if (len > 0) {
            i += static_cast<std::size_t>(len);
            continue;
        }
        FoldValidRun(Out, p + run, i - run);
        Out.push_back(static_cast<char>(p[i]));
        run = ++i;
    }
    FoldValidRun(Out, p + run, n - run);
}

} // namespace kel
