// Text routines of the base library (see Kel_stringl.h).
#include "Kel_stringl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kel {

int Tokenize(const std::string& s, char Delim, TOpenStringArray& Parts) {
    Parts.clear();
    if (s.empty()) return 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t p = s.find(Delim, start);
        if (p == std::string::npos) {
            Parts.emplace_back(s, start);
            break;
        }
        Parts.emplace_back(s, start, p - start);
        start = p + 1;
    }
    return static_cast<int>(Parts.size());
}

std::string strff(double x, int Width, int Decimals) {
    Width = std::clamp(Width, 0, 255);
    Decimals = std::clamp(Decimals, 0, 100);
    std::string body;
    if (std::isnan(x)) {
        body = "NaN";
    } else if (std::isinf(x)) {
        body = x > 0 ? "+Inf" : "-Inf";
    } else {
        // 309 integer digits at most, a sign, a point and 100 decimals fit.
        char buf[420];
        int n = std::snprintf(buf, sizeof buf, "%.*f", Decimals, x);
        body.assign(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    if (static_cast<int>(body.size()) < Width) body.insert(0, Width - body.size(), ' ');
    return body;
}

static char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

int NumberedPos(const std::string& Sub, const std::string& s, int Start, int n, bool IgnoreCase) {
    if (Sub.empty() || n < 1) return 0;
    std::size_t pos = static_cast<std::size_t>(std::max(Start, 1) - 1);
    int found = 0;
    while (pos + Sub.size() <= s.size()) {
        bool hit = true;
        for (std::size_t k = 0; k < Sub.size(); ++k) {
            char a = s[pos + k], b = Sub[k];
            if (IgnoreCase ? LowerAscii(a) != LowerAscii(b) : a != b) {
                hit = false;
                break;
            }
        }
        if (hit && ++found == n) return static_cast<int>(pos) + 1;
        ++pos;
    }
    return 0;
}

std::string LeftString(const std::string& s, int n) {
    if (n <= 0) return {};
    std::string r = Utf8Left(s, n);
    int len = Utf8Length(r);
    if (len < n) r.append(static_cast<std::size_t>(n - len), ' ');
    return r;
}

std::string EnsureTrailingChar(const std::string& s, char Ch) {
    if (!s.empty() && s.back() == Ch) return s;
    return s + Ch;
}

std::string EnsureTrailingBkSlash(const std::string& s) {
    if (s.empty()) return s;
    return EnsureTrailingChar(s, '/');
}

std::string ReplaceCharInString(const std::string& s, char OldChar, char NewChar) {
    std::string r = s;
    std::replace(r.begin(), r.end(), OldChar, NewChar);
    return r;
}

std::string StripLeadingChars(const std::string& s, char Ch) {
    std::size_t p = s.find_first_not_of(Ch);
    return p == std::string::npos ? std::string() : s.substr(p);
}

std::string StripTrailingChars(const std::string& s, char Ch) {
    std::size_t p = s.find_last_not_of(Ch);
    return p == std::string::npos ? std::string() : s.substr(0, p + 1);
}

std::string RemoveControlChars(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u != 127) r.push_back(c);
    }
    return r;
}

int Utf8CharLen(std::string_view s, std::size_t Pos) {
    if (Pos >= s.size()) return 0;
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char c = at(Pos);
    if (c < 0x80) return 1;
    int n = (c >= 0xC2 && c <= 0xDF)   ? 2
            : (c >= 0xE0 && c <= 0xEF) ? 3
            : (c >= 0xF0 && c <= 0xF4) ? 4
                                       : 0;
    if (n == 0 || Pos + n > s.size()) return 1;
    // The second byte has a narrower range after some lead bytes (no overlongs, no surrogates,
    // nothing above U+10FFFF).
    unsigned char lo = 0x80, hi = 0xBF, c1 = at(Pos + 1);
    if (c == 0xE0)
        lo = 0xA0;
    else if (c == 0xED)
        hi = 0x9F;
    else if (c == 0xF0)
        lo = 0x90;
    else if (c == 0xF4)
        hi = 0x8F;
    if (c1 < lo || c1 > hi) return 1;
    for (int k = 2; k < n; ++k)
        if ((at(Pos + k) & 0xC0) != 0x80) return 1;
    return n;
}

int Utf8Length(std::string_view s) {
    int count = 0;
    for (std::size_t p = 0; p < s.size(); p += Utf8CharLen(s, p)) ++count;
    return count;
}

std::string Utf8Left(std::string_view s, int n) {
    if (n <= 0) return {};
    // Every character has at most 4 bytes, so a short text needs no scan.
    if (s.size() <= static_cast<std::size_t>(n)) return std::string(s);
    std::size_t p = 0;
    for (int k = 0; k < n && p < s.size(); ++k) p += Utf8CharLen(s, p);
    return std::string(s.substr(0, p));
}

} // namespace kel
