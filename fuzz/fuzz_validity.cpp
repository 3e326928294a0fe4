// Fuzz target for the validity checks: any text with every separator setting. Besides not
// crashing, the checks must agree with each other and with the number scanner: a binary text is
// octal, an octal text is hexadecimal, an integer text is fixed-point, and a fixed-point text is
// read whole by ScanNumber.
#include <cstddef>
#include <cstdint>
#include <string>

#include "numtext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int len = static_cast<int>(text.size());

    if (kel::IsValidBinStr(text) && !kel::IsValidOctStr(text)) __builtin_trap();
    if (kel::IsValidOctStr(text) && !kel::IsValidHexStr(text)) __builtin_trap();
    const bool isInt = kel::IsValidIntStr(text);

    for (int s = 0; s <= 3; ++s) {
        const kel::TDecPSep sep = static_cast<kel::TDecPSep>(s);
        kel::IsValidNumberStr(text, true, sep);
        kel::IsValidNumberStr(text, false, sep);
        const bool fix = kel::IsValidFixPointStr(text, sep);
        if (isInt && !fix) __builtin_trap();
        if (fix && s >= 1) {
            int pos = 1;
            kel::ScanNumber(text, true, s, pos);
            if (pos != len + 1) __builtin_trap();
        }
    }
    return 0;
}
