// TNumLab: the value texts of every display type, the setters' limits, overflow, OnBeforeDisplay,
// the mouse area, Assign, and the painted label (centred default value, transparency over a
// coloured parent, the disabled look) with pixel probes and reference images.
#include "KEL_NumLab.h"

#include "headless.h"
#include "kel_dateutils.h"
#include "kel_form_fixture.h"
#include "kel_forms.h"
#include "kel_sysutils.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace kel;

namespace {

// Compares with the reference image; with KEL_UPDATE_DOCS=1 also writes the picture to
// docs/img/<name>.png.
::testing::AssertionResult MatchesRefAndDoc(const TBitmap& bmp, const std::string& name) {
    return test::MatchesReferenceAndDocs(bmp, "gauges", name);
}

std::string Text(TDisplay t, int p, double v, bool comma = false, bool plus = false,
                 const std::string& states = "undefined") {
    return NumLabValueText(t, p, v, comma, plus, "mmm-dd, yyyy", states);
}

// A borderless white form with a label at (10, 10).
class NumLabFixture : public test::FormTest {
  protected:
    NumLabFixture() : FormTest(220, 60) {}
    void SetUp() override {
        FormTest::SetUp();
        lab = new TNumLab(form.get());
        lab->SetName("Lab");
        lab->SetParent(form.get());
        lab->SetLeft(10);
        lab->SetTop(10);
        headless::Flush();
    }
    void Snap(TBitmap& bmp) { headless::Snapshot(*lab, bmp); }

    TNumLab* lab = nullptr;
};

} // namespace

// ---- Value texts ------------------------------------------------------------------------------

TEST(NumLabText, FixedFloatAndExponentialFollowTheRuntimeFormat) {
    EXPECT_EQ(Text(dtFixP, 2, 0), "0.00");
    EXPECT_EQ(Text(dtFloat, 3, 12.345), "12.3");
    EXPECT_EQ(Text(dtFloat, 3, 0.5), "0.5");
    EXPECT_EQ(Text(dtExp, 3, 1234.5), "1.23E+003");
}

TEST(NumLabText, IntegerDisplayRoundsTiesToEven) {
    EXPECT_EQ(Text(dtInt, 2, 2.5), "2");
    EXPECT_EQ(Text(dtInt, 2, 3.5), "4");
    EXPECT_EQ(Text(dtInt, 2, -2.5), "-2");
    EXPECT_EQ(Text(dtZeroInt, 3, -5.2), "-005");
    EXPECT_EQ(Text(dtZeroInt, 0, 7), "7");
}

TEST(NumLabText, IntegerTypesSurviveValuesBeyondTheirRange) {
    EXPECT_EQ(Text(dtInt, 0, 1e300), "9223372036854775807");
    EXPECT_EQ(Text(dtInt, 0, -1e300), "-9223372036854775808");
    EXPECT_EQ(Text(dtInt, 0, std::nan("")), "NAN");
    EXPECT_EQ(Text(dtHex, 0, -INFINITY), "-INF");
}

TEST(NumLabText, DigitDisplaysShowThe32BitPatternWithLeadingZeros) {
    EXPECT_EQ(Text(dtHex, 2, 255), "FF");
    EXPECT_EQ(Text(dtHex, 4, 255), "00FF");
    EXPECT_EQ(Text(dtHex, 0, 0), "0");
    EXPECT_EQ(Text(dtHex, 2, -1), "FFFFFFFF");
    EXPECT_EQ(Text(dtHex, 1, 4294967296.0 + 10), "A"); // only the low 32 bits
    EXPECT_EQ(Text(dtOct, 2, 8), "10");
    EXPECT_EQ(Text(dtBin, 8, 5), "00000101");
    EXPECT_EQ(Text(dtBin, 1, 2.5), "10"); // rounded like dtInt
}

TEST(NumLabText, SeparatorAndSignStepSkipsHexBinDateAndState) {
    EXPECT_EQ(Text(dtHex, 2, 10, false, true), "0A");
    EXPECT_EQ(Text(dtBin, 2, 1, false, true), "01");
    EXPECT_EQ(Text(dtOct, 2, 8, false, true), "+10");
    EXPECT_EQ(Text(dtState, 0, 1, true, true, "a.b|c,d"), "c,d");
    EXPECT_EQ(Text(dtFixP, 2, 1.5, false, true), "+1.50");
    EXPECT_EQ(Text(dtFixP, 2, 0, false, true), "0.00");
    EXPECT_EQ(Text(dtFixP, 2, -1.5, false, true), "-1.50");
    EXPECT_EQ(Text(dtFixP, 2, 1.5, true), "1,50");
}

TEST(NumLabText, PlatformDecimalCommaStillShowsAPointWithoutComma) {
    const char old = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(Text(dtFixP, 2, 0), "0.00");
    EXPECT_EQ(Text(dtEEng, 3, 12345), "12.3E+03");
    EXPECT_EQ(Text(dtFixP, 2, 0, true), "0,00");
    FormatSettings.DecimalSeparator = old;
}

TEST(NumLabText, DateTimeUsesTheFormatString) {
    EXPECT_EQ(Text(dtDateTime, 2, EncodeDate(2024, 3, 5)), "Mar-05, 2024");
    EXPECT_EQ(NumLabValueText(dtDateTime, 2, EncodeDate(2024, 3, 5) + 0.5, false, true,
                              "yyyy-mm-dd hh:nn", ""),
              "2024-03-05 12:00");
}

TEST(NumLabText, StateEntryIsChosenByTheRoundedValueOrTheWholeTextOutside) {
    const std::string s = "off|on|fault";
    EXPECT_EQ(Text(dtState, 0, 0, false, false, s), "off");
    EXPECT_EQ(Text(dtState, 0, 1.4, false, false, s), "on");
    EXPECT_EQ(Text(dtState, 0, 2, false, false, s), "fault");
    EXPECT_EQ(Text(dtState, 0, 3, false, false, s), s);
    EXPECT_EQ(Text(dtState, 0, -1, false, false, s), s);
    EXPECT_EQ(Text(dtState, 0, std::nan(""), false, false, s), s);
    EXPECT_EQ(Text(dtState, 0, 1, false, false, "a||c"), "");
}

TEST(NumLabText, DegreesMinutesAndSecondsCarryAndSignOnce) {
    EXPECT_EQ(Text(dtDeg, 2, 12.5), "12.50\xC2\xB0");
    EXPECT_EQ(Text(dtDegMin, 2, 12.5), "12\xC2\xB0"
                                       "30.00\xE2\x80\xB2");
    EXPECT_EQ(Text(dtDegMin, 1, 3.1), "3\xC2\xB0"
                                      "06.0\xE2\x80\xB2");
    EXPECT_EQ(Text(dtDegMin, 2, 12.99999), "13\xC2\xB0"
                                           "00.00\xE2\x80\xB2");
    EXPECT_EQ(Text(dtDegMinSec, 1, 12.5125), "12\xC2\xB0"
                                             "30\xE2\x80\xB2"
                                             "45.0\xE2\x80\xB3");
    EXPECT_EQ(Text(dtDegMinSec, 0, 12.9999999), "13\xC2\xB0"
                                                "00\xE2\x80\xB2"
                                                "00\xE2\x80\xB3");
    EXPECT_EQ(Text(dtDegMinSec, 1, -12.5), "-12\xC2\xB0"
                                           "30\xE2\x80\xB2"
                                           "00.0\xE2\x80\xB3");
    EXPECT_EQ(Text(dtDegMin, 2, -0.0000001), "0\xC2\xB0"
                                             "00.00\xE2\x80\xB2");
    EXPECT_EQ(Text(dtDegMin, 2, 12.5, true, true), "+12\xC2\xB0"
                                                   "30,00\xE2\x80\xB2");
}

TEST(NumLabText, EngineeringNotationKeepsTheMantissaBelowAThousand) {
    EXPECT_EQ(Text(dtEEng, 3, 12345), "12.3E+03");
    EXPECT_EQ(Text(dtEEng, 3, 0.00012345), "123E-06");
    EXPECT_EQ(Text(dtEEng, 3, 999.96), "1.00E+03");
    EXPECT_EQ(Text(dtEEng, 3, 1), "1.00E+00");
    EXPECT_EQ(Text(dtEEng, 2, -4.56e7), "-46E+06");
    EXPECT_EQ(Text(dtEEng, 1, 12345), "10E+03");
    EXPECT_EQ(Text(dtEEng, 3, 0), "0.00E+00");
    EXPECT_EQ(Text(dtEEng, 4, 1.5e-10), "150.0E-12");
    EXPECT_EQ(Text(dtEEng, 3, 12345, true, true), "+12,3E+03");
    EXPECT_EQ(Text(dtEEngNoDP, 3, 12345), "12E+03");
    EXPECT_EQ(Text(dtEEngNoDP, 3, 999.6), "1E+03");
    EXPECT_EQ(Text(dtEEngNoDP, 3, 0.5), "500E-03");
    EXPECT_EQ(Text(dtEEngNoDP, 3, -2e9), "-2E+09");
}

TEST(NumLabText, EngineeringMantissaAndExponentHoldForAnyValueAndPrecision) {
    const double values[] = {1e-300, 5e-324,   3.7e-7, 0.000999999, 0.5,      1,        9.9995,
                             999.5,  999.9999, 1000,   65432.1,     1.79e308, -2.5e-12, -8e15};
    for (TDisplay t : {dtEEng, dtEEngNoDP})
        for (int p = 0; p <= 15; ++p)
            for (double v : values) {
                const std::string s = Text(t, p, v);
                const std::size_t e = s.find('E');
                ASSERT_NE(e, std::string::npos) << s;
                const double m = std::stod(s.substr(0, e));
                const int x = std::stoi(s.substr(e + 1));
                EXPECT_EQ(x % 3, 0) << s;
                EXPECT_GE(std::fabs(m), 1.0) << s;
                EXPECT_LT(std::fabs(m), 1000.0) << s;
                if (t == dtEEngNoDP) {
                    EXPECT_EQ(s.find('.'), std::string::npos) << s;
                }
                // The text stands for the value within the digits shown.
                const long double shown = m * std::pow(10.0L, x);
                const long double tol =
                    t == dtEEngNoDP ? 0.5L * std::pow(10.0L, x)
                                    : 0.5L * std::pow(10.0L, 1 - std::max(p, 1)) * std::fabs(v);
                EXPECT_LE(std::fabs(shown - v), tol * 1.000001L) << s << " for " << v;
            }
}

TEST(NumLabText, EveryTypeFormatsExtremeValuesWithoutFailing) {
    const double values[] = {0,   -0.0,         5e-324,   1e300,     -1e300,       -123.456,
                             0.5, std::nan(""), INFINITY, -INFINITY, 4294967295.6, -2147483648.0};
    for (int t = dtFloat; t <= dtEEngNoDP; ++t)
        for (int p = 0; p <= 15; ++p)
            for (double v : values) {
                if (t == dtDateTime) {
                    // Values outside the calendar are refused; the label shows its indicator.
                    try {
                        Text(TDisplay(t), p, v);
                    } catch (const EConvertError&) {
                    }
                    continue;
                }
                EXPECT_FALSE(Text(TDisplay(t), p, v).empty()) << t << " " << p << " " << v;
            }
}

// ---- Setters, events, overflow ----------------------------------------------------------------

TEST_F(NumLabFixture, SettersLimitLeftSpaceAndPrecisionAndIgnoreNegatives) {
    lab->SetLeftSpace(500);
    EXPECT_EQ(lab->LeftSpace(), 160);
    lab->SetLeftSpace(-3);
    EXPECT_EQ(lab->LeftSpace(), 160);
    lab->SetPrecision(20);
    EXPECT_EQ(lab->Precision(), 15);
    lab->SetPrecision(-1);
    EXPECT_EQ(lab->Precision(), 15);
    lab->SetPrecision(0);
    EXPECT_EQ(lab->Precision(), 0);
}

TEST_F(NumLabFixture, TooWideTextsBecomeTheOverflowIndicatorExceptStates) {
    lab->SetValue(1e12);
    EXPECT_EQ(lab->DisplayedText(), "*********");
    lab->SetValue(1);
    int calls = 0;
    lab->SetOnBeforeDisplay([&](TObject* s, std::string& t) {
        ++calls;
        EXPECT_EQ(s, lab);
        EXPECT_EQ(t, "1.00");
        t = "a text much too long for the box";
    });
    EXPECT_EQ(lab->DisplayedText(), "*********");
    EXPECT_GE(calls, 1);
    lab->SetOnBeforeDisplay(nullptr);
    lab->SetDisplayType(dtState);
    lab->SetStateText("a state name far too long to fit in the label box");
    EXPECT_EQ(lab->DisplayedText(), lab->StateText());
    lab->SetDisplayType(dtDateTime);
    lab->SetValue(1e9); // beyond the calendar
    EXPECT_EQ(lab->DisplayedText(), "*********");
}

TEST_F(NumLabFixture, EmptyLabelDrawsTheBoxWithoutValueAndAsksNoText) {
    int calls = 0;
    lab->SetValue(8888);
    lab->SetOnBeforeDisplay([&](TObject*, std::string&) { ++calls; });
    lab->SetEmpty(true);
    headless::Flush();
    lab->Invalidate();
    headless::Flush();
    EXPECT_EQ(calls, 0);
    TBitmap bmp;
    Snap(bmp);
    // The inside of the box is one colour.
    for (int y = 3; y < 24; ++y)
        for (int x = 39; x < 113; ++x)
            ASSERT_EQ(bmp.Canvas().Pixels(x, y), ColorToRGB(clBtnFace)) << x << "," << y;
}

TEST_F(NumLabFixture, OnBeforeDisplayIsAskedOnceBySetterThatChangesTheTextAndPaintsAskNoMore) {
    std::vector<std::string> asked;
    lab->SetOnBeforeDisplay([&](TObject*, std::string& t) {
        asked.push_back(t);
        t = "x" + t;
    });
    headless::Flush(); // the new handler is asked by the next paint
    ASSERT_EQ(asked, std::vector<std::string>{"0.00"});
    asked.clear();
    lab->SetValue(1);
    lab->SetPrecision(1);
    lab->SetComma(true);
    EXPECT_EQ(asked, (std::vector<std::string>{"1.00", "1.0", "1,0"})); // before any paint
    lab->SetColorLabText(clRed);                                        // looks only: not asked
    lab->SetLeftText("U");
    lab->SetValue(1); // equal: nothing
    headless::Flush();
    lab->Invalidate();
    headless::Flush();
    EXPECT_EQ(asked.size(), 3u);
    // What is shown is the handler's answer.
    TBitmap shown;
    Snap(shown);
    lab->SetOnBeforeDisplay(nullptr);
    lab->SetComma(false);
    lab->SetComma(true);
    TBitmap plain;
    Snap(plain);
    int differ = 0;
    for (int y = 0; y < plain.Height(); ++y)
        for (int x = 0; x < plain.Width(); ++x)
            differ += shown.Canvas().Pixels(x, y) != plain.Canvas().Pixels(x, y);
    EXPECT_GT(differ, 5); // "x1,0" is not "1,0"
}

TEST_F(NumLabFixture, MouseAreaCodeIsSetBeforeOnMouseMove) {
    std::vector<int> seen;
    lab->SetOnMouseMove(
        [&](TObject*, TShiftState, int, int) { seen.push_back(lab->MouseAreaCode()); });
    EXPECT_EQ(lab->MouseAreaCode(), 0);
    headless::MoveTo(*lab, 36, 5);
    headless::MoveTo(*lab, 35, 5);
    headless::MoveTo(*lab, 115, 5);
    headless::MoveTo(*lab, 116, 5);
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 1, 2}));
}

TEST_F(NumLabFixture, AssignCopiesTheLabelButNotCommaSignFormatOrEnabled) {
    TNumLab src(nullptr);
    src.SetValue(3.25);
    src.SetLeftText("U");
    src.SetPrecision(3);
    src.SetDisplayType(dtFloat);
    src.SetColorLabText(clRed);
    src.SetColorScheme(cschSystem);
    src.SetComma(true);
    src.SetForcePlusSign(true);
    src.SetDTFormat("yyyy");
    src.SetEnabled(false);
    lab->Assign(&src);
    EXPECT_EQ(lab->Value(), 3.25);
    EXPECT_EQ(lab->LeftText(), "U");
    EXPECT_EQ(lab->Precision(), 3);
    EXPECT_EQ(lab->DisplayType(), dtFloat);
    EXPECT_EQ(lab->ColorLabText(), clRed);
    EXPECT_EQ(lab->ColorScheme(), cschSystem);
    EXPECT_FALSE(lab->Comma());
    EXPECT_FALSE(lab->ForcePlusSign());
    EXPECT_EQ(lab->DTFormat(), "mmm-dd, yyyy");
    EXPECT_TRUE(lab->Enabled());
    TFont font;
    EXPECT_THROW(lab->Assign(&font), EConvertError);
    TNumLab copy(nullptr);
    static_cast<TPersistent&>(copy).Assign(lab);
    EXPECT_EQ(copy.Value(), 3.25);
}

// ---- Painting ---------------------------------------------------------------------------------

TEST_F(NumLabFixture, DefaultLabelShowsZeroPointZeroZeroCentredInTheBox) {
    TBitmap bmp;
    Snap(bmp);
    // The same text drawn by hand where the label must put it.
    TBitmap expect(160, 28);
    TCanvas& c = expect.Canvas();
    c.Font().Assign(&lab->Font());
    c.Brush().SetColor(clBtnFace);
    c.FillRect(Rect(0, 0, 160, 28));
    const int tw = c.TextWidth("0.00");
    const int x = 35 + (80 - tw) / 2 + 2;
    const int y = (28 - c.TextHeight("(8g]}\xC3\x9C\xC3\x84\xC2\xA7")) / 2;
    c.Font().SetColor(clBlack);
    c.TextOut(x, y, "0.00");
    int ink = 0;
    for (int yy = 2; yy < 25; ++yy)
        for (int xx = 38; xx < 114; ++xx) {
            ASSERT_EQ(bmp.Canvas().Pixels(xx, yy), c.Pixels(xx, yy)) << xx << "," << yy;
            if (c.Pixels(xx, yy) != ColorToRGB(clBtnFace)) ++ink;
        }
    EXPECT_GT(ink, 20);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "numlab_default"));
}

TEST_F(NumLabFixture, TransparentLabelLetsTheParentShowOutsideTheBox) {
    const TColor parent = RGB(0x40, 0xA0, 0xFF);
    form->SetColor(parent);
    lab->SetLeftText("U1");
    lab->SetTransparent(true);
    TBitmap bmp;
    Snap(bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(2, 2), parent);
    EXPECT_EQ(bmp.Canvas().Pixels(150, 25), parent);
    EXPECT_EQ(bmp.Canvas().Pixels(60, 5), ColorToRGB(clBtnFace)); // inside the box
    // The left text darkens the parent: some pixels left of the box are darker than it.
    int dark = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 35; ++x) {
            TColor p = bmp.Canvas().Pixels(x, y);
            if (p != parent) {
                ++dark;
                EXPECT_EQ(p & ~parent, 0u) << x << "," << y; // AND never adds light
            }
        }
    EXPECT_GT(dark, 5);
    // Changing the left text leaves no trace of the old one.
    lab->SetLeftText("");
    Snap(bmp);
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 35; ++x) ASSERT_EQ(bmp.Canvas().Pixels(x, y), parent) << x << "," << y;
}

TEST_F(NumLabFixture, DisabledLabelEngravesSideTextsAndGreysTheValue) {
    lab->SetLeftText("Uout");
    lab->SetRightText("mV");
    lab->SetValue(-12.5);
    lab->SetEnabled(false);
    TBitmap bmp;
    Snap(bmp);
    int white = 0, grey = 0, black = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 160; ++x) {
            const TColor p = bmp.Canvas().Pixels(x, y);
            if (x > 37 && x < 114) {
                if (p == clBlack && y > 2 && y < 24) ++black;
            } else if (p == clWhite) {
                ++white;
            } else if (p == clGray) {
                ++grey;
            }
        }
    EXPECT_GT(white, 5);
    EXPECT_GT(grey, 5);
    EXPECT_EQ(black, 0);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "numlab_disabled"));
}

TEST_F(NumLabFixture, SideTextsFrameAndAlignmentReference) {
    lab->SetLeftText("Uout");
    lab->SetRightText("mV");
    lab->SetDisplayType(dtEEng);
    lab->SetPrecision(4);
    lab->SetValue(-0.0123456);
    lab->SetAlignment(taRightJustify);
    lab->SetFrameStyle(fstRaised);
    lab->SetColorLabBakG(clWhite);
    lab->SetColorLabText(clNavy);
    lab->SetColorOutBakG(RGB(0xE8, 0xF0, 0xFF));
    TBitmap bmp;
    Snap(bmp);
    EXPECT_EQ(bmp.Canvas().Pixels(40, 12), clWhite);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "numlab_sidetexts"));
}
