// The colour dialog: HSL <-> RGB conversions and their round trips, and Execute driven through
// the headless host: Cancel, Escape and closing return false and change nothing; OK returns
// the colour picked with swatches, number fields, the hue/saturation field and the lightness
// bar; custom colours read and written as "ColorA=BBGGRR" lines; a reference image.
#include "controls_test_util.h"
#include "kel_dialogs.h"
#include "kel_props.h"
#include "kel_stdctrls.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

TEST(ColorHSL, KnownColours) {
    int h, s, l;
    ColorToHSL(clRed, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 240);
    EXPECT_EQ(l, 120);
    ColorToHSL(clLime, h, s, l);
    EXPECT_EQ(h, 80);
    ColorToHSL(clBlue, h, s, l);
    EXPECT_EQ(h, 160);
    ColorToHSL(RGB(255, 0, 255), h, s, l); // magenta: 200
    EXPECT_EQ(h, 200);
    ColorToHSL(clWhite, h, s, l);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 240);
    ColorToHSL(RGB(128, 128, 128), h, s, l);
    EXPECT_EQ(h, 160);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(l, 120);
    ColorToHSL(RGB(0, 0, 128), h, s, l); // dark: saturation by the lower formula
    EXPECT_EQ(s, 240);
    EXPECT_EQ(l, 60);
    ColorToHSL(RGB(255, 128, 128), h, s, l); // light: the upper formula
    EXPECT_EQ(s, 240);
    EXPECT_EQ(l, 180);
    EXPECT_EQ(HSLToColor(0, 240, 120), clRed);
    EXPECT_EQ(HSLToColor(240 + 80, 240, 120), clLime); // hue wraps
    EXPECT_EQ(HSLToColor(40, 240, 120), clYellow);
    EXPECT_EQ(HSLToColor(123, 0, 240), clWhite);
    EXPECT_EQ(HSLToColor(123, 300, -5), clBlack); // clamped
    // System colours are resolved first.
    ColorToHSL(clWindow, h, s, l);
    EXPECT_EQ(l, 240);
}

TEST(ColorHSL, RoundTrips) {
    // RGB -> unrounded HSL -> RGB is exact.
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 7) {
                double h, s, l;
                ColorToHSLF(RGB(r, g, b), h, s, l);
                ASSERT_EQ(HSLFToColor(h, s, l), RGB(r, g, b)) << r << "," << g << "," << b;
            }
    // Through the rounded integers a channel moves by a few steps at most.
    int worst = 0;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 5) {
                int h, s, l;
                ColorToHSL(RGB(r, g, b), h, s, l);
                TColor c = HSLToColor(h, s, l);
                worst =
                    std::max({worst, std::abs(int(GetRValue(c)) - r),
                              std::abs(int(GetGValue(c)) - g), std::abs(int(GetBValue(c)) - b)});
            }
    EXPECT_LE(worst, 4);
    // Integer HSL of a saturated mid-light colour comes back unchanged.
    for (int hue = 0; hue < 240; ++hue) {
        int h, s, l;
        ColorToHSL(HSLToColor(hue, 240, 120), h, s, l);
        ASSERT_LE(std::abs(h - hue), 1) << hue;
        ASSERT_EQ(s, 240);
        ASSERT_EQ(l, 120);
    }
}

class ColorDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        Application->ResetState();
        owner = std::make_unique<TForm>(nullptr);
        owner->SetBounds(0, 0, 200, 100);
        owner->Show();
        dlg = new TColorDialog(owner.get());
        Flush();
    }
    void TearDown() override {
        owner.reset();
        Flush();
        ReleaseAllKeys();
        Application->ResetState();
    }
    template <class T = TControl>
    static T& Part(TForm& f, const char* name) {
        auto* c = dynamic_cast<T*>(f.FindComponent(name));
        if (c == nullptr) throw EInvalidOperation(std::string("no part ") + name);
        return *c;
    }
    static void ClickCentre(TControl& c) { ClickAt(c, c.Width() / 2, c.Height() / 2); }
    // Clicks cell i of a swatch grid of Cols x Rows equal cells.
    static void ClickCell(TControl& grid, int i, int cols, int rows) {
        const int c = i % cols, r = i / cols;
        ClickAt(grid, (2 * c + 1) * grid.Width() / (2 * cols),
                (2 * r + 1) * grid.Height() / (2 * rows));
    }
    // Replaces a number field's text by typing.
    static void TypeInto(TForm& f, const char* name, const std::string& text) {
        auto& e = Part<TEdit>(f, name);
        ClickCentre(e);
        e.SelectAll();
        Type(f, text);
    }
    std::unique_ptr<TForm> owner;
    TColorDialog* dlg = nullptr;
};

TEST_F(ColorDialogTest, CancelEscapeAndCloseLeaveColorUnchanged) {
    dlg->SetColor(RGB(10, 20, 30));
    dlg->CustomColors().SetText("ColorA=123456\n");
    WhenModal([](TForm& f) {
        ClickCell(Part(f, "BasicColors"), 8, 8, 6); // a change that Cancel drops
        ClickCentre(Part(f, "AddCustomButton"));
        ClickCentre(Part(f, "CancelButton"));
    });
    EXPECT_FALSE(dlg->Execute());
    EXPECT_EQ(dlg->Color(), RGB(10, 20, 30));
    EXPECT_EQ(dlg->CustomColors().Text(), "ColorA=123456\n");
    EXPECT_EQ(dlg->DialogForm(), nullptr);

    WhenModal([](TForm& f) {
        TypeInto(f, "RedEdit", "200");
        KeyStroke(f, VK_ESCAPE); // Escape inside a number field cancels too
    });
    EXPECT_FALSE(dlg->Execute());
    EXPECT_EQ(dlg->Color(), RGB(10, 20, 30));

    WhenModal([](TForm& f) {
        ClickCell(Part(f, "BasicColors"), 0, 8, 6);
        f.Close();
    });
    EXPECT_FALSE(dlg->Execute());
    EXPECT_EQ(dlg->Color(), RGB(10, 20, 30));
}

TEST_F(ColorDialogTest, OkReturnsTheSwatchAndTypedChannels) {
    dlg->SetColor(clWhite);
    std::string shown;
    WhenModal([&](TForm& f) {
        EXPECT_EQ(Part<TEdit>(f, "LumEdit").Text(), "240"); // starts at Color
        ClickCell(Part(f, "BasicColors"), 8, 8, 6);         // row 2, first: red
        EXPECT_EQ(Part<TEdit>(f, "RedEdit").Text(), "255");
        EXPECT_EQ(Part<TEdit>(f, "GreenEdit").Text(), "0");
        TypeInto(f, "GreenEdit", "128");
        shown = Part<TEdit>(f, "HueEdit").Text() + "," + Part<TEdit>(f, "SatEdit").Text() + "," +
                Part<TEdit>(f, "LumEdit").Text();
        EXPECT_EQ(PixelAt(Part(f, "Preview"), 10, 10), RGB(255, 128, 0));
        ClickCentre(Part(f, "OKButton"));
    });
    EXPECT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->Color(), RGB(255, 128, 0));
    EXPECT_EQ(shown, "20,240,120"); // orange: hue 20 of 240
}

TEST_F(ColorDialogTest, NumberFieldsTakeDigitsAndClamp) {
    WhenModal([](TForm& f) {
        TypeInto(f, "RedEdit", "a1b2");
        EXPECT_EQ(Part<TEdit>(f, "RedEdit").Text(), "12");
        TypeInto(f, "BlueEdit", "999");
        EXPECT_EQ(Part<TEdit>(f, "BlueEdit").Text(), "255");
        TypeInto(f, "HueEdit", "250"); // hue stops at 239
        EXPECT_EQ(Part<TEdit>(f, "HueEdit").Text(), "239");
        // HSL typed: RGB follows.
        TypeInto(f, "HueEdit", "80");
        TypeInto(f, "SatEdit", "240");
        TypeInto(f, "LumEdit", "120");
        EXPECT_EQ(Part<TEdit>(f, "RedEdit").Text(), "0");
        EXPECT_EQ(Part<TEdit>(f, "GreenEdit").Text(), "255");
        EXPECT_EQ(Part<TEdit>(f, "BlueEdit").Text(), "0");
        KeyStroke(f, VK_RETURN); // Enter in a field confirms
    });
    EXPECT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->Color(), clLime);
}

TEST_F(ColorDialogTest, FieldAndLightnessBarPick) {
    dlg->SetColor(RGB(128, 128, 128)); // grey: lightness 120
    WhenModal([](TForm& f) {
        auto& field = Part(f, "HueSatField");
        // Top edge = full saturation; hue 160 lies at 160/239 of the inner width.
        const int inner = field.Width() - 4;
        ClickAt(field, 2 + (160 * (inner - 1) + 119) / 239, 2);
        EXPECT_EQ(Part<TEdit>(f, "HueEdit").Text(), "160");
        EXPECT_EQ(Part<TEdit>(f, "SatEdit").Text(), "240");
        // The lightness bar runs from white at the top to black at the bottom; hue and
        // saturation stay as picked, even through black.
        auto& bar = Part(f, "LumBar");
        ClickAt(bar, 5, 2);
        EXPECT_EQ(Part<TEdit>(f, "LumEdit").Text(), "240");
        ClickAt(bar, 5, bar.Height() - 3);
        EXPECT_EQ(Part<TEdit>(f, "LumEdit").Text(), "0");
        EXPECT_EQ(Part<TEdit>(f, "RedEdit").Text() + Part<TEdit>(f, "BlueEdit").Text(), "00");
        EXPECT_EQ(Part<TEdit>(f, "HueEdit").Text(), "160");
        TypeInto(f, "LumEdit", "120");
        ClickCentre(Part(f, "OKButton"));
    });
    EXPECT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->Color(), clBlue);
}

TEST_F(ColorDialogTest, CustomColorsAreReadAndWrittenOnOk) {
    dlg->CustomColors().SetText("ColorB=0000FF\ncolorc=00ff00\nColorD=nonsense\n");
    TColor fromB = clNone;
    WhenModal([&](TForm& f) {
        auto& custom = Part(f, "CustomColors");
        ClickCell(custom, 1, 8, 2); // ColorB: value $0000FF is red
        fromB = RGB(std::stoi(Part<TEdit>(f, "RedEdit").Text()),
                    std::stoi(Part<TEdit>(f, "GreenEdit").Text()),
                    std::stoi(Part<TEdit>(f, "BlueEdit").Text()));
        TypeInto(f, "BlueEdit", "255");
        ClickCentre(Part(f, "AddCustomButton")); // into the chosen slot B
        ClickCentre(Part(f, "AddCustomButton")); // and on into C
        ClickCentre(Part(f, "OKButton"));
    });
    EXPECT_TRUE(dlg->Execute());
    EXPECT_EQ(fromB, clRed);
    EXPECT_EQ(dlg->Color(), RGB(255, 0, 255));
    const TStringList& c = dlg->CustomColors();
    ASSERT_EQ(c.Count(), 16);
    EXPECT_EQ(c.Strings(0), "ColorA=FFFFFF"); // missing: white
    EXPECT_EQ(c.Strings(1), "ColorB=FF00FF");
    EXPECT_EQ(c.Strings(2), "ColorC=FF00FF");
    EXPECT_EQ(c.Strings(3), "ColorD=FFFFFF"); // unreadable: white
    EXPECT_EQ(c.Strings(15), "ColorP=FFFFFF");
}

TEST_F(ColorDialogTest, LooksAndRegistration) {
    dlg->SetColor(RGB(0, 128, 192));
    WhenModal([](TForm& f) {
        TBitmap shot;
        Snapshot(f, shot);
        EXPECT_TRUE(MatchesReference(shot, "framework/ref/colordialog"));
        f.Close();
    });
    EXPECT_FALSE(dlg->Execute());
    const TClassInfo* info = FindClass("TColorDialog");
    ASSERT_NE(info, nullptr);
    ASSERT_NE(info->FindProp("CustomColors"), nullptr);
    // A form file holds a dialog with its colour and custom colours.
    std::istringstream in("object F: TForm\n  object D: TColorDialog\n    Color = clRed\n"
                          "    CustomColors = (\n      \"ColorA=00FF00\"\n    )\n  end\nend\n");
    std::unique_ptr<TComponent> f(ReadComponent(in, nullptr));
    auto* d = dynamic_cast<TColorDialog*>(f->FindComponent("D"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Color(), clRed);
    EXPECT_EQ(d->CustomColors().Text(), "ColorA=00FF00\n");
    EXPECT_EQ(TColorDialog::BasicColor(47), clWhite);
    EXPECT_THROW(TColorDialog::BasicColor(48), EListError);
}

} // namespace
} // namespace kel::test
