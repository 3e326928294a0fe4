// Colour values: the system colour table (the default scheme of a current desktop), system
// colours resolved to RGB, and colour names to and from text.
#include "kel_graphics.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kel {

namespace {

// RGB of each system colour index 0..30; index 25 has no colour.
constexpr TColor kSysColors[31] = {
    0xC8C8C8, // 0 scroll bar
    0x000000, // 1 desktop
    0xD1B499, // 2 active caption
    0xDBCDBF, // 3 inactive caption
    0xF0F0F0, // 4 menu
    0xFFFFFF, // 5 window
    0x646464, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0x000000, // 9 caption text
    0xB4B4B4, // 10 active border
    0xFCF7F4, // 11 inactive border
    0xABABAB, // 12 application workspace
    0xD77800, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xF0F0F0, // 15 button face
    0xA0A0A0, // 16 button shadow
    0x6D6D6D, // 17 grey text
    0x000000, // 18 button text
    0x000000, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x696969, // 21 3D dark shadow
    0xE3E3E3, // 22 3D light
    0x000000, // 23 tooltip text
    0xE1FFFF, // 24 tooltip background
    0x000000, // 25 (none)
    0xCC6600, // 26 hot light
    0xEAD1B9, // 27 gradient active caption
    0xF2E4D7, // 28 gradient inactive caption
    0xD77800, // 29 menu highlight
    0xF0F0F0, // 30 menu bar
};

struct NamedColor {
    std::string_view name;
    TColor value;
};

// The names ColorToString knows, in lookup order. clLtGray and clDkGray are left out on
// purpose: their values read back as clSilver and clGray. StringToColor accepts them too.
constexpr NamedColor kNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clHotLight", clHotLight},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuBar", clMenuBar},
    {"clNone", clNone},
    {"clDefault", clDefault},
};

constexpr NamedColor kReadOnlyNames[] = {{"clLtGray", clLtGray}, {"clDkGray", clDkGray}};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Integer text as the runtime reads it: optional blanks, an optional sign, then "$hex",
// "0xhex" or decimal digits. Hex takes up to 8 digits (the 32-bit pattern); decimal must fit
// a signed 32-bit value. Returns false for anything else.
bool ParseInteger(std::string_view s, std::uint32_t& out) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size()) return false;
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int d;
        if (std::isdigit(c))
            d = c - '0';
        else if (hex && std::isxdigit(c))
            d = std::tolower(c) - 'a' + 10;
        else
            return false;
        v = v * (hex ? 16 : 10) + std::uint64_t(d);
        if (v > (hex ? 0xFFFFFFFFull : 0x80000000ull)) return false;
    }
    if (!hex && !neg && v > 0x7FFFFFFFull) return false;
    out = std::uint32_t(neg ? 0 - v : v);
    return true;
}

} // namespace

TColor GetSysColor(int index) {
    if (index < 0 || index > 30) return 0;
    return kSysColors[index];
}

TColor ColorToRGB(TColor c) {
    if (static_cast<std::int32_t>(c) < 0) return GetSysColor(int(c & 0xFF));
    return c;
}

std::string ColorToString(TColor c) {
    for (const NamedColor& n : kNames)
        if (n.value == c) return std::string(n.name);
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(c));
    return buf;
}

TColor StringToColor(const std::string& s) {
    for (const NamedColor& n : kNames)
        if (SameIgnoringCase(n.name, s)) return n.value;
    for (const NamedColor& n : kReadOnlyNames)
        if (SameIgnoringCase(n.name, s)) return n.value;
    std::uint32_t v = 0;
    if (!ParseInteger(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
    return v;
}

} // namespace kel
