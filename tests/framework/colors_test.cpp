// Colours: the system colour table, resolving system colours, and colour names to and from
// text, including the special values that are not colours.
#include "kel_graphics.h"

#include <gtest/gtest.h>

#include <set>

using namespace kel;

TEST(Colors, SystemColoursComeFromTheCurrentDesktopScheme) {
    EXPECT_EQ(GetSysColor(15), 0xF0F0F0u); // button face
    EXPECT_EQ(GetSysColor(16), 0xA0A0A0u); // button shadow
    EXPECT_EQ(GetSysColor(13), 0xD77800u); // highlight: RGB 0, 120, 215
    EXPECT_EQ(GetSysColor(24), 0xE1FFFFu); // tooltip background: RGB 255, 255, 225
    EXPECT_EQ(GetSysColor(26), 0xCC6600u);
    EXPECT_EQ(GetSysColor(30), 0xF0F0F0u);
    EXPECT_EQ(GetSysColor(11), 0xFCF7F4u);
    // No colour at index 25 or outside the table.
    EXPECT_EQ(GetSysColor(25), 0u);
    EXPECT_EQ(GetSysColor(31), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
}

TEST(Colors, ColorToRGBResolvesSystemColoursAndPassesEverythingElse) {
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xF0F0F0u);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
    EXPECT_EQ(ColorToRGB(clWindowText), 0x000000u);
    EXPECT_EQ(ColorToRGB(clHighlight), 0xD77800u);
    EXPECT_EQ(ColorToRGB(0xFF000019), 0u);        // index 25
    EXPECT_EQ(ColorToRGB(0x80000005), 0xFFFFFFu); // any high-bit value takes the low byte
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    EXPECT_EQ(ColorToPixel(clBtnShadow), 0xA0A0A0u);
    EXPECT_EQ(ColorToPixel(clRed), 0xFF0000u);
}

TEST(Colors, ColorToStringNamesKnownValuesAndWritesOthersAsEightHexDigits) {
    EXPECT_EQ(ColorToString(clRed), "clRed");
    EXPECT_EQ(ColorToString(0x0000FF), "clRed");
    EXPECT_EQ(ColorToString(0xC0C0C0), "clSilver"); // not clLtGray
    EXPECT_EQ(ColorToString(0x808080), "clGray");   // not clDkGray
    EXPECT_EQ(ColorToString(clMoneyGreen), "clMoneyGreen");
    EXPECT_EQ(ColorToString(clMedGray), "clMedGray");
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(cl3DDkShadow), "cl3DDkShadow");
    EXPECT_EQ(ColorToString(clMenuBar), "clMenuBar");
    EXPECT_EQ(ColorToString(clNone), "clNone");
    EXPECT_EQ(ColorToString(clDefault), "clDefault");
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(ColorToString(0x02FF8800), "$02FF8800");
    EXPECT_EQ(ColorToString(0xFF000019), "$FF000019");
    EXPECT_EQ(ColorToString(0xabcdef), "$00ABCDEF");
}

TEST(Colors, EveryNamedColourReadsBackThroughStringToColor) {
    std::set<std::string> names;
    for (TColor c :
         {clBlack,      clMaroon,  clGreen, clOlive,   clNavy, clPurple,  clTeal, clGray,
          clSilver,     clRed,     clLime,  clYellow,  clBlue, clFuchsia, clAqua, clWhite,
          clMoneyGreen, clSkyBlue, clCream, clMedGray, clNone, clDefault}) {
        const std::string name = ColorToString(c);
        EXPECT_EQ(name.substr(0, 2), "cl") << std::hex << c;
        EXPECT_EQ(StringToColor(name), c) << name;
        names.insert(name);
    }
    for (TColor c = 0xFF000000; c <= 0xFF00001E; ++c) {
        const std::string name = ColorToString(c);
        if (c == 0xFF000019) {
            EXPECT_EQ(name, "$FF000019");
            continue;
        }
        EXPECT_EQ(name.substr(0, 2), "cl") << std::hex << c;
        EXPECT_EQ(StringToColor(name), c) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 52u);
}

TEST(Colors, StringToColorIgnoresCaseAndReadsIntegersInEveryNotation) {
    EXPECT_EQ(StringToColor("CLRED"), clRed);
    EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
    EXPECT_EQ(StringToColor("clLtGray"), 0xC0C0C0u);
    EXPECT_EQ(StringToColor("clDkGray"), 0x808080u);
    EXPECT_EQ(StringToColor("$00123456"), 0x123456u);
    EXPECT_EQ(StringToColor("$ff000019"), 0xFF000019u);
    EXPECT_EQ(StringToColor("0x80FF"), 0x80FFu);
    EXPECT_EQ(StringToColor("255"), 255u);
    EXPECT_EQ(StringToColor("-16777201"), clBtnFace); // the signed view of 0xFF00000F
    EXPECT_EQ(StringToColor("2147483647"), 0x7FFFFFFFu);
}

TEST(Colors, StringToColorRejectsTextThatIsNeitherNameNorInteger) {
    for (const char* bad :
         {"", "red", "clRedd", "$", "0x", "12a", "$123456789", "2147483648", "1.5", "- 5", "$-1"}) {
        try {
            StringToColor(bad);
            ADD_FAILURE() << "'" << bad << "' accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("'") + bad + "' is not a valid integer value");
        }
    }
}
