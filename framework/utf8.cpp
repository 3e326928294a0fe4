// UTF-8 decoding and encoding (see kel_utf8.h).
#include "kel_utf8.h"

namespace kel {

std::u32string DecodeUtf8(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) out.push_back(NextCodePoint(p, end));
    return out;
}

std::string CharToUtf8(char32_t C) {
    std::string s;
    if (C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) C = 0xFFFD;
    if (C < 0x80) {
        s += char(C);
    } else if (C < 0x800) {
        s += char(0xC0 | (C >> 6));
        s += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        s += char(0xE0 | (C >> 12));
        s += char(0x80 | ((C >> 6) & 0x3F));
        s += char(0x80 | (C & 0x3F));
    } else {
        s += char(0xF0 | (C >> 18));
        s += char(0x80 | ((C >> 12) & 0x3F));
        s += char(0x80 | ((C >> 6) & 0x3F));
        s += char(0x80 | (C & 0x3F));
    }
    return s;
}

} // namespace kel
