// UTF-8 helpers shared by the framework and the components: every string of the library holds
// UTF-8, and code that draws or counts characters walks it one code point at a time.
#pragma once

#include <string>

namespace kel {

// Decodes the code point at p (p < end) and advances p; a malformed byte gives U+FFFD and
// advances by one.
inline char32_t NextCodePoint(const unsigned char*& p, const unsigned char* end) {
    const unsigned c = *p;
    if (c < 0x80) {
        ++p;
        return c;
    }
    const int len = c >= 0xF0 && c < 0xF5   ? 4
                    : c >= 0xE0 && c < 0xF0 ? 3
                    : c >= 0xC2 && c < 0xE0 ? 2
                                            : 0;
    if (len == 0 || end - p < len) {
        ++p;
        return 0xFFFD;
    }
    char32_t cp = len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k) {
        const unsigned cc = p[k];
        if ((cc & 0xC0) != 0x80) {
            ++p;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++p;
        return 0xFFFD;
    }
    p += len;
    return cp;
}

// Decodes UTF-8 into code points; malformed bytes become U+FFFD each.
std::u32string DecodeUtf8(const std::string& s);

// Encodes one code point as UTF-8 (a surrogate or a value past U+10FFFF gives U+FFFD).
std::string CharToUtf8(char32_t C);

} // namespace kel
