// Fuzz target for the integer scanners (decimal, hexadecimal, octal, binary): any text and start
// position. Pos must end in 1..length+1, and a text of at most eight hex digits that the validity
// check accepts must be read whole, to the same value strtoul gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "numtext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const int len = static_cast<int>(text.size());
    const int start = static_cast<int>(data[0]) - 8;

    int (*const scanners[])(const std::string&, int&) = {kel::ScanDecInt, kel::ScanHexInt,
                                                         kel::ScanOctInt, kel::ScanBinInt};
    for (auto scan : scanners) {
        int pos = start;
        scan(text, pos);
        if (pos < 1 || pos > len + 1) __builtin_trap();
    }

    if (len <= 8 && kel::IsValidHexStr(text)) {
        int pos = 1;
        const int v = kel::ScanHexInt(text, pos);
        if (pos != len + 1) __builtin_trap();
        if (static_cast<std::uint32_t>(v) != std::strtoul(text.c_str(), nullptr, 16))
            __builtin_trap();
    }
    return 0;
}
