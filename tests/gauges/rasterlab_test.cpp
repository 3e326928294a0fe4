// TRasterLab: the built-in glyph table, the default look probed dot by dot, proportional and
// fixed advances, the three block modes, AutoHeight and AutoCenter, the clamps of the setters,
// scrolling in all four directions with loop restarts on the manual clock, timer refusal,
// UTF-8 text, scanned fonts, SetCharMatrix checks, Assign, and reference images.
#include "KEL_RasterLab.h"

#include "headless.h"
#include "kel_forms.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

using namespace kel;

namespace {

constexpr TColor kOff = 0x404040;

class RasterLab : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 500, 200);
        form->SetColor(clWhite);
        lab = new TRasterLab(form.get());
        lab->SetName("lab");
        lab->SetParent(form.get());
        form->Show();
        headless::Flush();
    }
    void TearDown() override {
        form.reset();
        Application->ResetState();
    }
    TColor At(int x, int y) { return headless::PixelAt(*lab, x, y); }
    // Colour of the middle of the dot cell (col, row) of a text drawn from (x0, y0), pitch 4.
    TColor Dot(int x0, int y0, int col, int row) { return At(x0 + 4 * col + 1, y0 + 4 * row + 1); }

    std::unique_ptr<TForm> form;
    TRasterLab* lab = nullptr;
};

} // namespace

TEST(RasterFont, ListedGlyphsAreExactlyAsGiven) {
    const TRDCharMatrix m = BuiltInCharMatrix();
    EXPECT_EQ(m.FontWidth, 7);
    EXPECT_EQ(m.FontHeight, 12);
    struct Entry {
        int Code, Left, Right;
        std::array<std::uint32_t, 12> Rows;
    };
    const Entry given[] = {
        {32, 0, 6, {}},
        {46, 3, 3, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0, 0}},
        {48, 1, 5, {0, 0x1C, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x1C, 0, 0}},
        {49, 1, 5, {0, 0x08, 0x0E, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x3E, 0, 0}},
        {65, 0, 6, {0, 0x08, 0x08, 0x14, 0x14, 0x22, 0x3E, 0x22, 0x22, 0x77, 0, 0}},
        {97, 0, 6, {0, 0, 0, 0, 0x1E, 0x20, 0x3E, 0x21, 0x21, 0x5E, 0, 0}},
        {176, 0, 6, {0, 0x08, 0x14, 0x08, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Entry& e : given) {
        EXPECT_EQ(m.LeftMostBit[e.Code], e.Left) << e.Code;
        EXPECT_EQ(m.RightMostBit[e.Code], e.Right) << e.Code;
        for (int r = 0; r < 12; ++r)
            EXPECT_EQ(m.BitData[e.Code][r], e.Rows[r]) << e.Code << " row " << r;
    }
}

TEST(RasterFont, EveryGlyphFitsSevenByTwelveAndOnlyCodesBelow32AreEmpty) {
    const TRDCharMatrix m = BuiltInCharMatrix();
    int blank = 0;
    for (int c = 0; c < 256; ++c) {
        std::uint32_t used = 0;
        for (int r = 0; r < 32; ++r) {
            if (r >= 12) {
                EXPECT_EQ(m.BitData[c][r], 0u) << c;
            }
            used |= m.BitData[c][r];
        }
        EXPECT_EQ(used & ~0x7Fu, 0u) << c;
        if (c < 32) {
            EXPECT_EQ(used, 0u) << c;
        }
        if (c >= 32 && used == 0) ++blank;
        if (c >= 32 && used != 0) {
            // The extent covers every used column.
            EXPECT_LE(m.LeftMostBit[c], m.RightMostBit[c]) << c;
            EXPECT_EQ(used >> m.LeftMostBit[c] << m.LeftMostBit[c], used) << c;
            EXPECT_LT(used >> (m.RightMostBit[c] + 1), 1u) << c;
        }
    }
    // The space, the no-break space and the five positions the code page leaves undefined.
    EXPECT_EQ(blank, 7);
    // Digits are narrow (columns 1 to 5); letters span all seven columns.
    for (int c = '0'; c <= '9'; ++c) EXPECT_EQ(m.RightMostBit[c] - m.LeftMostBit[c], 4) << c;
    for (int c = 'A'; c <= 'Z'; ++c) EXPECT_EQ(m.RightMostBit[c] - m.LeftMostBit[c], 6) << c;
}

TEST(RasterFont, CodePointsMapToTheirGlyphPositions) {
    EXPECT_EQ(RasterCharCode(U'A'), 65);
    EXPECT_EQ(RasterCharCode(U'\u00E9'), 0xE9);
    EXPECT_EQ(RasterCharCode(U'\u20AC'), 128); // euro sign
    EXPECT_EQ(RasterCharCode(U'\u2014'), 151); // em dash
    EXPECT_EQ(RasterCharCode(U'\u0178'), 159); // Y with diaeresis
    EXPECT_EQ(RasterCharCode(0x85), -1);       // a C1 control has no glyph
    EXPECT_EQ(RasterCharCode(U'\u0100'), -1);
    EXPECT_EQ(RasterCharCode(0x1F600), -1);
}

TEST_F(RasterLab, DefaultLabelShowsTextInTheBuiltInFontFromOneOne) {
    EXPECT_EQ(lab->Width(), 400);
    EXPECT_EQ(lab->Height(), 68);
    EXPECT_EQ(lab->Text(), "Text");
    EXPECT_EQ(lab->Font().Name(), "default");
    EXPECT_EQ(lab->Font().Size(), 8);
    EXPECT_TRUE(lab->ControlStyle().contains(csOpaque));
    // T: row 1 all seven columns lit, row 2 columns 0, 3, 6; row 0 unlit.
    for (int col = 0; col < 7; ++col) {
        EXPECT_EQ(Dot(1, 1, col, 1), clLime) << col;
        EXPECT_EQ(Dot(1, 1, col, 0), kOff) << col;
        EXPECT_EQ(Dot(1, 1, col, 2), (col == 0 || col == 3 || col == 6) ? clLime : kOff) << col;
    }
    // Dots are 3 pixels with 1-pixel gaps in the background colour.
    EXPECT_EQ(At(1 + 4 * 3, 5), clLime);
    EXPECT_EQ(At(1 + 4 * 3 + 2, 7), clLime);
    EXPECT_EQ(At(1 + 4 * 3 + 3, 6), clBlack);
    EXPECT_EQ(At(13, 8), clBlack);
    // The raster fills the whole label, below the 48 pixels of text too.
    EXPECT_EQ(At(6, 58), kOff);
    // rdbmOn: the dot column between T and e is blank, elsewhere off-dots remain.
    EXPECT_EQ(Dot(1, 1, 7, 0), clBlack);
    EXPECT_EQ(Dot(1, 1, 7, 11), clBlack);
    EXPECT_EQ(Dot(1, 1, 8, 0), kOff);
    // Frame ordinal 2: grey outer ring, black inner top-left line.
    EXPECT_EQ(At(0, 30), clGray);
    EXPECT_EQ(At(1, 30), clBlack);
    EXPECT_EQ(At(399, 30), clWhite);
    EXPECT_EQ(lab->TextBitLength(), 4 * 32 + 1);
}

TEST_F(RasterLab, ProportionalAdvancesFollowTheGlyphExtents) {
    EXPECT_EQ(lab->CalcTextBitLength("0"), 24);
    EXPECT_EQ(lab->CalcTextBitLength(" "), 32);
    EXPECT_EQ(lab->CalcTextBitLength("."), 8);
    EXPECT_EQ(lab->CalcTextBitLength("0 0"), 80);
    lab->SetText("00");
    // The second 0 starts 24 pixels on: its first column (column 1 of the glyph) is at x 25.
    EXPECT_EQ(Dot(25, 1, 1, 1), clLime); // row 1 of 0 lights glyph columns 2..4
    EXPECT_EQ(Dot(25, 1, 0, 1), kOff);
    EXPECT_EQ(Dot(25, 1, 0, 2), clLime);  // column 1 of the glyph, row 2
    EXPECT_EQ(Dot(25, 1, 4, 2), clLime);  // column 5 of the glyph, row 2
    EXPECT_EQ(Dot(21, 1, 0, 5), clBlack); // the blank column between the two
    lab->SetProportional(false);
    EXPECT_EQ(lab->CalcTextBitLength("0"), 32);
    EXPECT_EQ(lab->CalcTextBitLength("."), 32);
    // Fixed width: the 0 is drawn from glyph column 0, so its left side sits one dot in.
    EXPECT_EQ(Dot(1, 1, 1, 2), clLime);
    EXPECT_EQ(Dot(1, 1, 0, 2), kOff);
    EXPECT_EQ(Dot(33, 1, 1, 2), clLime);
}

TEST_F(RasterLab, BlockModesDecideWhereOffDotsShow) {
    lab->SetCharBlockMode(rdbmRaster);
    EXPECT_EQ(Dot(1, 1, 7, 0), kOff); // no blank column
    EXPECT_EQ(Dot(1, 1, 1, 1), clLime);
    lab->SetCharBlockMode(rdbmOff);
    EXPECT_EQ(Dot(1, 1, 0, 0), clBlack); // no off-dots at all
    EXPECT_EQ(Dot(1, 1, 60, 14), clBlack);
    EXPECT_EQ(Dot(1, 1, 1, 1), clLime);
    EXPECT_EQ(At(4, 6), clBlack);
    lab->SetColorDotOff(clMaroon);
    lab->SetCharBlockMode(rdbmOn);
    EXPECT_EQ(Dot(1, 1, 8, 0), clMaroon);
    EXPECT_EQ(Dot(1, 1, 7, 0), clBlack);
}

TEST_F(RasterLab, AutoHeightFollowsPitchFontAndFrame) {
    lab->SetAutoHeight(true);
    EXPECT_EQ(lab->Height(), 49);
    lab->SetDotSize(1);
    EXPECT_EQ(lab->Height(), 1 + 2 * 12);
    lab->SetDotSpacing(0);
    EXPECT_EQ(lab->Height(), 1 + 12);
    lab->SetDotSize(3);
    lab->SetDotSpacing(1);
    lab->SetFrameStyle(fstEmbossed);
    lab->SetAutoHeight(false);
    lab->SetAutoHeight(true);
    EXPECT_EQ(lab->Height(), 2 + 48);
}

TEST_F(RasterLab, AutoCenterPlacesTheTextInTheMiddle) {
    lab->SetAutoCenter(true);
    EXPECT_EQ(lab->PosX(), (400 - 128) / 2 + 1 + 1);
    EXPECT_EQ(Dot(lab->PosX(), 1, 0, 1), clLime);
    lab->SetText("0");
    EXPECT_EQ(lab->PosX(), (400 - 24) / 2 + 2);
    lab->SetDotSize(5); // pitch 6: 36 pixels
    EXPECT_EQ(lab->PosX(), (400 - 36) / 2 + 2);
    lab->SetAutoCenter(false);
    EXPECT_EQ(lab->PosX(), 1);
}

TEST_F(RasterLab, SettersClampTheirValues) {
    lab->SetDotSize(0);
    EXPECT_EQ(lab->DotSize(), 1);
    lab->SetDotSize(40);
    EXPECT_EQ(lab->DotSize(), 32);
    lab->SetDotSpacing(5);
    EXPECT_EQ(lab->DotSpacing(), 3);
    lab->SetDotSpacing(-2);
    EXPECT_EQ(lab->DotSpacing(), 0);
    lab->SetScrollIncrement(-3);
    EXPECT_EQ(lab->ScrollIncrement(), 3);
    lab->SetScrollIncrement(0);
    EXPECT_EQ(lab->ScrollIncrement(), 1);
    lab->SetScrollIncrement(INT_MIN);
    EXPECT_EQ(lab->ScrollIncrement(), INT_MAX);
    lab->SetScrollInterval(1);
    EXPECT_EQ(lab->ScrollInterval(), 10);
    lab->SetColorScheme(cschSystem);
    EXPECT_EQ(lab->ColGrayLine(), clBtnShadow);
    EXPECT_EQ(lab->ColWhiteLine(), clBtnHighlight);
    EXPECT_EQ(lab->ColBlackLine(), clBlack);
}

TEST_F(RasterLab, DotSizeOneDrawsSinglePixels) {
    lab->SetDotSize(0);
    lab->SetCharBlockMode(rdbmOff);
    // T from (1, 1) at pitch 2: row 1 lit at y 3, x 1, 3, ..., 13 (x 1 lies under the frame).
    for (int col = 1; col < 7; ++col) EXPECT_EQ(At(1 + 2 * col, 3), clLime) << col;
    EXPECT_EQ(At(4, 3), clBlack);
    EXPECT_EQ(At(3, 5), clBlack); // row 2: columns 0, 3, 6 only
    EXPECT_EQ(At(7, 5), clLime);
}

TEST_F(RasterLab, ScrollingRightLoopsAtTheRightEdge) {
    int restarts = 0, ticks = 0;
    lab->SetOnScrollLoopRestart([&](TObject*) { ++restarts; });
    lab->SetOnScrollTimer([&](TObject*) { ++ticks; });
    lab->SetScrollIncrement(50);
    lab->SetScrollMode(rdsmRight);
    EXPECT_EQ(Application->TimerCount(), 1u);
    Application->Advance(99);
    EXPECT_EQ(lab->ScrollPosX(), 0);
    Application->Advance(1);
    EXPECT_EQ(lab->ScrollPosX(), 50);
    EXPECT_EQ(Dot(51, 1, 0, 1), clLime); // the text moved with it
    Application->Advance(700);           // 8 ticks: 400, then 450 > 400
    EXPECT_EQ(ticks, 8);
    EXPECT_EQ(restarts, 0);
    EXPECT_EQ(lab->ScrollPosX(), 400);
    Application->Advance(100);
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(lab->ScrollPosX(), -129); // just outside the left edge
    Application->Advance(100);
    EXPECT_EQ(lab->ScrollPosX(), -79);

    // Without the loop the text leaves for good.
    lab->SetScrollLoop(false);
    Application->Advance(2000);
    EXPECT_EQ(restarts, 1);
    EXPECT_GT(lab->ScrollPosX(), 400);
    // Off stops the timer and puts the text back.
    lab->SetScrollMode(rdsmOff);
    EXPECT_EQ(Application->TimerCount(), 0u);
    EXPECT_EQ(lab->ScrollPosX(), 0);
    EXPECT_EQ(Dot(1, 1, 0, 1), clLime);
}

TEST_F(RasterLab, ScrollingLeftDownAndUpLoopAtTheOppositeEdges) {
    int restarts = 0;
    lab->SetOnScrollLoopRestart([&](TObject*) { ++restarts; });
    lab->SetScrollIncrement(100);
    lab->SetScrollMode(rdsmLeft);
    Application->Advance(100);
    EXPECT_EQ(lab->ScrollPosX(), -100);
    Application->Advance(100); // -200 is below -129: the text re-enters from the right edge
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(lab->ScrollPosX(), 400);
    Application->Advance(100);
    EXPECT_EQ(lab->ScrollPosX(), 300);
    EXPECT_EQ(Dot(301, 1, 0, 1), clLime);
    lab->SetScrollLoop(false);
    Application->Advance(1000);
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(lab->ScrollPosX(), -700);
}

TEST_F(RasterLab, ScrollingVerticallyUsesTheTextHeight) {
    int restarts = 0;
    lab->SetOnScrollLoopRestart([&](TObject*) { ++restarts; });
    lab->SetScrollIncrement(30);
    lab->SetScrollMode(rdsmDown);
    Application->Advance(300); // 30, 60, 90 > 68: restarts at -48
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(lab->ScrollPosY(), -48);
    EXPECT_EQ(lab->ScrollPosX(), 0);
    lab->SetScrollMode(rdsmUp); // keeps the offset
    Application->Advance(100);  // -78 < -48: restarts at the bottom
    EXPECT_EQ(restarts, 2);
    EXPECT_EQ(lab->ScrollPosY(), 68);
    Application->Advance(100);
    EXPECT_EQ(lab->ScrollPosY(), 38);
    EXPECT_EQ(Dot(1, 39, 0, 1), clLime);
}

TEST_F(RasterLab, ChangingTheIntervalRestartsTheTimer) {
    lab->SetScrollMode(rdsmRight);
    Application->Advance(150); // one tick at 100
    EXPECT_EQ(lab->ScrollPosX(), 1);
    lab->SetScrollInterval(250); // restarts: next tick 250 ms from now
    Application->Advance(249);
    EXPECT_EQ(lab->ScrollPosX(), 1);
    Application->Advance(1);
    EXPECT_EQ(lab->ScrollPosX(), 2);
    lab->SetScrollIncrement(-7); // stored as 7, the timer restarts again
    Application->Advance(250);
    EXPECT_EQ(lab->ScrollPosX(), 9);
}

TEST_F(RasterLab, RefusedTimerRaisesTheComponentsError) {
    Application->SetRefuseTimers(true);
    try {
        lab->SetScrollMode(rdsmLeft);
        FAIL() << "no error";
    } catch (const EKELRasterLabError& e) {
        EXPECT_STREQ(e.what(), "Component \"lab\": no timer available");
    }
    Application->SetRefuseTimers(false);
}

TEST_F(RasterLab, ExceptionsInATickGoToTheApplication) {
    lab->SetOnScrollTimer([](TObject*) { throw EKELError("tick failed"); });
    lab->SetScrollMode(rdsmRight);
    Application->Advance(250);
    ASSERT_EQ(Application->ExceptionMessages().size(), 2u);
    EXPECT_EQ(Application->ExceptionMessages()[0], "tick failed");
    EXPECT_EQ(lab->ScrollPosX(), 2); // the scrolling itself went on
}

TEST_F(RasterLab, Utf8TextIsDecodedAndUnknownCharactersAreSpaceWide) {
    EXPECT_EQ(lab->CalcTextBitLength("\u20AC"), 32);
    EXPECT_EQ(lab->CalcTextBitLength("\u0100\x01"), 64);
    EXPECT_EQ(lab->CalcTextBitLength("\xC3\xA9"), 32); // é: one character, not two
    lab->SetText("\u00B0");
    EXPECT_EQ(Dot(1, 1, 3, 1), clLime);
    EXPECT_EQ(Dot(1, 1, 2, 2), clLime);
    lab->SetText("\u0100\u00B0"); // a blank, then the degree sign one space further
    EXPECT_EQ(Dot(1, 1, 3, 1), kOff);
    EXPECT_EQ(Dot(33, 1, 3, 1), clLime);
}

TEST_F(RasterLab, ScannedFontsGiveTheirOwnMatrix) {
    lab->Font().SetName("DejaVu Sans Mono");
    lab->Font().SetSize(10);
    const TRDCharMatrix& m = lab->CharMatrix();
    EXPECT_GT(m.FontHeight, 8);
    EXPECT_LE(m.FontHeight, 32);
    EXPECT_GT(m.FontWidth, 4);
    EXPECT_EQ(m.LeftMostBit[32], 0);
    EXPECT_EQ(m.RightMostBit[32], m.FontWidth / 2);
    // A position without a character (129) has the space's extent, not a negative width.
    EXPECT_EQ(m.LeftMostBit[129], 0);
    EXPECT_EQ(m.RightMostBit[129], m.FontWidth / 2);
    EXPECT_GT(m.RightMostBit['M'], m.LeftMostBit['M']);
    EXPECT_GT(lab->CalcTextBitLength("\x81"), 0);
    // Back to the built-in font, in any letter case.
    lab->Font().SetName("DEFAULT");
    EXPECT_EQ(lab->CharMatrix().FontHeight, 12);
    EXPECT_EQ(lab->CharMatrix().BitData[65][9], 0x77u);
}

TEST_F(RasterLab, ScannedGlyphsHoldWholePixelsOnlyNoAntialiasingGreys) {
    lab->Font().SetName("DejaVu Sans");
    lab->Font().SetSize(12);
    const TRDCharMatrix& m = lab->CharMatrix();
    // Each glyph is exactly the ink of a one-bit rendering of its character: the greys round
    // the edges of an antialiased rendering are not ink.
    TBitmap b(65, 65);
    TCanvas& c = b.Canvas();
    c.Font().Assign(&lab->Font());
    c.Font().SetColor(clBlack);
    c.Font().SetQuality(fqNonAntialiased);
    for (const char ch : std::string("Oa8%@Wg")) {
        c.Pen().SetColor(clWhite);
        c.Brush().SetColor(clWhite);
        c.Rectangle(0, 0, 65, 65);
        c.TextOut(0, 0, std::string(1, ch));
        for (int y = 0; y < 32; ++y) {
            std::uint32_t row = 0;
            for (int x = 0; x < 32; ++x)
                if (c.Pixels(x, y) != clWhite) row |= std::uint32_t{1} << x;
            ASSERT_EQ(m.BitData[std::size_t(ch)][std::size_t(y)], row) << ch << " row " << y;
        }
    }
}

TEST_F(RasterLab, EveryPixelIsDrawnInEveryFrameStyleAndBlockMode) {
    constexpr TColor kUntouched = 0x123456;
    for (TFrameStyle f : {fstNone, fstLoweredThin, fstLowered, fstRaised, fstEmbossed, fstSimple})
        for (TRDBlockMode mode : {rdbmOff, rdbmOn, rdbmRaster}) {
            lab->SetFrameStyle(f);
            lab->SetCharBlockMode(mode);
            TBitmap b;
            test::Fill(b, lab->Width(), lab->Height(), kUntouched);
            ASSERT_TRUE(lab->RenderTo(b));
            for (int y = 0; y < b.Height(); ++y)
                for (int x = 0; x < b.Width(); ++x)
                    ASSERT_NE(b.Canvas().Pixels(x, y), kUntouched)
                        << "frame " << int(f) << " mode " << int(mode) << " at " << x << "," << y;
        }
    // The default label's bottom light edge reaches column 1.
    lab->SetFrameStyle(fstLowered);
    TBitmap b;
    ASSERT_TRUE(lab->RenderTo(b));
    EXPECT_EQ(b.Canvas().Pixels(1, 67), lab->ColWhiteLine());
}

TEST_F(RasterLab, AutoHeightSurvivesAFormFileWhateverTheOrderOfItsProperties) {
    // AutoHeight is written before FrameStyle: the height must come out of the frame that is
    // finally read, not of the default one.
    lab->SetFrameStyle(fstEmbossed);
    lab->SetAutoHeight(true);
    EXPECT_EQ(lab->Height(), 2 + 48);
    const std::string text = ComponentToText(*lab);
    ASSERT_LT(text.find("AutoHeight"), text.find("FrameStyle")) << text;
    std::unique_ptr<TComponent> c(ComponentFromText(text, nullptr));
    auto* back = dynamic_cast<TRasterLab*>(c.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Height(), 2 + 48);
    EXPECT_EQ(ComponentToText(*back), text);
    // Setting the frame later follows it too.
    lab->SetFrameStyle(fstLowered);
    EXPECT_EQ(lab->Height(), 1 + 48);
}

TEST_F(RasterLab, SetCharMatrixRefusesImpossibleMatricesAndKeepsTheOldOne) {
    TRDCharMatrix m = BuiltInCharMatrix();
    m.FontHeight = 33;
    EXPECT_THROW(lab->SetCharMatrix(m), EKELRasterLabError);
    m.FontHeight = 12;
    m.RightMostBit[70] = 40;
    EXPECT_THROW(lab->SetCharMatrix(m), EKELRasterLabError);
    EXPECT_EQ(lab->CharMatrix().RightMostBit[70], 6);
    // A valid application-made matrix: every letter a full block 2 x 2.
    TRDCharMatrix block;
    block.FontWidth = 2;
    block.FontHeight = 2;
    for (int c = 0; c < 256; ++c) {
        block.LeftMostBit[c] = 0;
        block.RightMostBit[c] = 1;
        block.BitData[c][0] = block.BitData[c][1] = 3;
    }
    lab->SetCharMatrix(block);
    EXPECT_EQ(lab->CalcTextBitLength("ab"), 24);
    EXPECT_EQ(Dot(1, 1, 1, 1), clLime);
    EXPECT_EQ(Dot(1, 1, 2, 1), clBlack); // rdbmOn blank column after the 2-dot glyph
}

TEST_F(RasterLab, AssignCopiesTextColoursAndFrame) {
    TRasterLab other(nullptr);
    other.SetText("Hi");
    other.SetColorDotOn(clRed);
    other.SetColorLabBakG(clNavy);
    other.SetFrameStyle(fstRaised);
    other.SetColorScheme(cschSystem);
    other.SetDotSize(5);
    lab->Assign(&other);
    EXPECT_EQ(lab->Text(), "Hi");
    EXPECT_EQ(lab->ColorDotOn(), clRed);
    EXPECT_EQ(lab->ColorLabBakG(), clNavy);
    EXPECT_EQ(lab->FrameStyle(), fstRaised);
    EXPECT_EQ(lab->ColorScheme(), cschSystem);
    EXPECT_EQ(lab->ColGrayLine(), clBtnShadow);
    EXPECT_EQ(lab->DotSize(), 3); // Assign leaves the dot geometry
    EXPECT_EQ(Dot(1, 1, 0, 1), clRed);
    TFont f;
    EXPECT_ANY_THROW(lab->Assign(&f));
}

TEST_F(RasterLab, ReferenceImages) {
    TBitmap shot;
    headless::Snapshot(*lab, shot);
    EXPECT_TRUE(test::MatchesReference(shot, "gauges/ref/rasterlab_default"));

    lab->SetBounds(0, 0, 300, 60);
    lab->SetText("12.5\u00B0C \u00C4\u00E9\u00DF\u20AC");
    lab->SetCharBlockMode(rdbmRaster);
    lab->SetDotSize(2);
    lab->SetColorDotOn(clYellow);
    lab->SetColorDotOff(0x303000);
    lab->SetFrameStyle(fstEmbossed);
    lab->SetAutoHeight(true);
    lab->SetAutoCenter(true);
    headless::Snapshot(*lab, shot);
    EXPECT_TRUE(test::MatchesReference(shot, "gauges/ref/rasterlab_raster"));

    lab->SetAutoCenter(false);
    lab->SetAutoHeight(false);
    lab->SetBounds(0, 0, 240, 40);
    lab->SetText("Scrolling text, fixed pitch");
    lab->SetCharBlockMode(rdbmOff);
    lab->SetDotSize(1);
    lab->SetDotSpacing(2);
    lab->SetProportional(false);
    lab->SetColorDotOn(clAqua);
    lab->SetColorLabBakG(0x201000);
    lab->SetFrameStyle(fstRaised);
    lab->SetScrollIncrement(37);
    lab->SetScrollMode(rdsmLeft);
    Application->Advance(300); // three ticks: offset -111
    EXPECT_EQ(lab->ScrollPosX(), -111);
    headless::Snapshot(*lab, shot);
    EXPECT_TRUE(test::MatchesReference(shot, "gauges/ref/rasterlab_scrolled"));
}
