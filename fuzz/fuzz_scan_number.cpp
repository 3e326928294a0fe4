// Fuzz target for the number scanner: any text, any start position, both exponent settings and
// every separator mode. The scan must stay inside the text, end with Pos in 1..length+1 and
// return a finite value within +-uc_MaxDouble; a text the validity check accepts must give a
// scan that moves past its first character.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "numtext.h"
#include "Kel_univconst.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool allowExponent = data[0] & 1;
    const int mode = (data[0] >> 1) & 3; // 0..3, 0 is outside the documented range
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    const int len = static_cast<int>(text.size());
    const int start = static_cast<int>(data[1]) - 8; // also before and after the text

    int pos = start;
    const double v = kel::ScanNumber(text, allowExponent, mode, pos);
    if (pos < 1 || pos > len + 1) __builtin_trap();
    if (!std::isfinite(v) || std::fabs(v) > kel::uc_MaxDouble) __builtin_trap();

    if (mode >= 1) {
        const kel::TDecPSep sep = static_cast<kel::TDecPSep>(mode);
        int from1 = 1;
        kel::ScanNumber(text, allowExponent, mode, from1);
        if (kel::IsValidNumberStr(text, allowExponent, sep) && from1 < 2) __builtin_trap();
    }
    return 0;
}
