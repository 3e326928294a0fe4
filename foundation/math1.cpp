// Integer text check and floor to integer.

#include "Kel_math1.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace kel {

bool IsValidDecInt(const std::string& s) {
    std::size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    if (i == s.size()) return false;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        char ch = s[i];
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
        if (v > std::int64_t(INT32_MAX) + 1) return false; // also stops overflow on long text
    }
    return neg ? v <= std::int64_t(INT32_MAX) + 1 : v <= INT32_MAX;
}

int IntNeg(double x) {
    double f = std::floor(x);
    if (std::isnan(f) || f < double(INT32_MIN) || f > double(INT32_MAX)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "IntNeg: %g has no integer floor in range", x);
        throw EKELError(buf);
    }
    return static_cast<int>(f);
}

} // namespace kel
