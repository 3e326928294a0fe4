// Fuzz target for ParseDateTime: the first byte picks the language, the bytes up to the first
// 0 byte are the pattern and the rest is the text. The parse never crashes or hangs, returns
// only its four codes, gives 0 with every error code and a valid date-time value otherwise;
// impossible dates raise EConvertError and nothing else.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Kel_kelbase.h"
#include "rl_dateparse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int language = data[0] % kel::NumLanguages;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = rest.find('\0');
    const std::string_view pattern = rest.substr(0, cut);
    const std::string_view text = cut == std::string_view::npos ? "" : rest.substr(cut + 1);
    kel::TDateTime v = 7;
    int code = 0;
    try {
        code = kel::ParseDateTime(text, pattern, language, v);
    } catch (const kel::EConvertError&) {
        if (v != 7) __builtin_trap(); // the result is left as it was
        return 0;
    }
    if (code != kel::dpOK && code != kel::dpLiteralMismatch && code != kel::dpBadRunLength &&
        code != kel::dpBadValue)
        __builtin_trap();
    if (code != kel::dpOK && v != 0) __builtin_trap();
    if (code == kel::dpOK &&
        !(std::isfinite(v) && v >= kel::MinDateTime - 1 && v <= kel::MaxDateTime))
        __builtin_trap();
    return 0;
}
