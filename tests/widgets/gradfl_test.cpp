// TGradFill: band colours of every type (the last colour never reached, the mid-band run out and
// back, one band), band edges in pixels, NrColors clamping, flipping and its form-file round
// trip, grid lines, the frame, OnPaint, and reference images of every gradient type.
#include "KEL_gradfl.h"

#include "headless.h"
#include "kel_forms.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace kel;

namespace {

::testing::AssertionResult MatchesRefAndDoc(const TBitmap& bmp, const std::string& name) {
    if (std::getenv("KEL_UPDATE_DOCS") != nullptr) {
        const std::filesystem::path dir =
            std::filesystem::path(KEL_REF_DIR) / ".." / "docs" / "img";
        std::filesystem::create_directories(dir);
        bmp.SaveToFile((dir / (name + ".png")).string());
    }
    return test::MatchesReference(bmp, "widgets/ref/" + name);
}

// The red components of every band of a gradient from black to white.
std::vector<int> Greys(TGradType t, int n) {
    std::vector<int> out;
    for (int k = 0; k < n; ++k) {
        const TColor c = GradBandColor(t, n, k, clBlack, clWhite);
        EXPECT_EQ(GetRValue(c), GetGValue(c));
        EXPECT_EQ(GetRValue(c), GetBValue(c));
        out.push_back(GetRValue(c));
    }
    return out;
}

// A borderless form with a 100 x 100 gradient at (10, 10).
class GradFillFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 130, 130);
        form->SetColor(clWhite);
        grad = new TGradFill(form.get());
        grad->SetParent(form.get());
        grad->SetBounds(10, 10, 100, 100);
        form->Show();
        headless::Flush();
    }
    void TearDown() override {
        form.reset();
        headless::Flush();
        Application->ResetState();
    }
    TColor At(int x, int y) { return headless::PixelAt(*grad, x, y); }

    std::unique_ptr<TForm> form;
    TGradFill* grad = nullptr;
};

} // namespace

// ---- Band colours ----------------------------------------------------------------------------

TEST(GradFillColours, MidBandRunsToTheLastColourInTheMiddleAndBack) {
    EXPECT_EQ(Greys(gtMidBandVert, 5), (std::vector<int>{0, 128, 255, 128, 0}));
    EXPECT_EQ(Greys(gtMidBandVert, 4), (std::vector<int>{0, 128, 255, 0}));
    EXPECT_EQ(Greys(gtMidBandHoriz, 3), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(Greys(gtMidBandHoriz, 2), (std::vector<int>{0, 255}));
}

TEST(GradFillColours, PlainGradientStepsByMulDivAndNeverReachesTheLastColour) {
    EXPECT_EQ(Greys(gtHoriz, 4), (std::vector<int>{0, 64, 128, 191})); // 63.75, 127.5, 191.25
    EXPECT_EQ(Greys(gtVert, 2), (std::vector<int>{0, 128}));
    // Falling components round halves away from zero too: 255 - 127.5 -> 127.
    EXPECT_EQ(GradBandColor(gtHoriz, 4, 2, clWhite, clBlack), TColor(0x7F7F7F));
    // Each component on its own: maroon (R 128) to yellow (R 255, G 255).
    EXPECT_EQ(GradBandColor(gtHoriz, 2, 1, clMaroon, clYellow), RGB(192, 128, 0));
    // System colours are resolved first.
    EXPECT_EQ(GradBandColor(gtHoriz, 2, 0, clBtnFace, clBlack), ColorToRGB(clBtnFace));
}

TEST(GradFillColours, OneBandIsTheFirstColourForEveryType) {
    for (TGradType t : {gtHoriz, gtVert, gtMidBandHoriz, gtMidBandVert})
        EXPECT_EQ(GradBandColor(t, 1, 0, clMaroon, clYellow), clMaroon) << int(t);
}

TEST(GradFillColours, BandEdgesAreMulDivOfTheSide) {
    EXPECT_EQ(GradBandStart(0, 100, 3), 0);
    EXPECT_EQ(GradBandStart(1, 100, 3), 33);
    EXPECT_EQ(GradBandStart(2, 100, 3), 67);
    EXPECT_EQ(GradBandStart(3, 100, 3), 100);
    EXPECT_EQ(GradBandStart(1, 121, 16), 8); // 7.5625
    EXPECT_EQ(GradBandStart(1, 10, 4), 3);   // 2.5 rounds up
}

// ---- Properties ------------------------------------------------------------------------------

TEST(GradFill, DefaultsAndNrColorsClamping) {
    TGradFill g(nullptr);
    EXPECT_EQ(g.Width(), 121);
    EXPECT_EQ(g.Height(), 121);
    EXPECT_EQ(g.NrColors(), 16);
    EXPECT_EQ(g.ColorFirst(), clMaroon);
    EXPECT_EQ(g.ColorLast(), clYellow);
    EXPECT_EQ(g.GridColor(), clNavy);
    g.SetNrColors(300);
    EXPECT_EQ(g.NrColors(), 255);
    g.SetNrColors(0);
    EXPECT_EQ(g.NrColors(), 1);
    g.SetNrColors(-7);
    EXPECT_EQ(g.NrColors(), 1);
    g.SetNrColors(255);
    EXPECT_EQ(g.NrColors(), 255);
}

TEST(GradFill, FlippingSwapsThePairAsSetAndTwiceRestoresIt) {
    TGradFill g(nullptr);
    g.SetColorFirst(clRed);
    g.SetColorLast(clBlue);
    g.SetColorFlipped(true);
    EXPECT_EQ(g.ColorFirst(), clBlue);
    EXPECT_EQ(g.ColorLast(), clRed);
    g.SetColorFlipped(false);
    EXPECT_EQ(g.ColorFirst(), clRed);
    EXPECT_EQ(g.ColorLast(), clBlue);
    // While flipped, the first colour is the unflipped last one.
    g.SetColorFlipped(true);
    g.SetColorFirst(clLime);
    g.SetColorLast(clAqua);
    g.SetColorFlipped(false);
    EXPECT_EQ(g.ColorFirst(), clAqua);
    EXPECT_EQ(g.ColorLast(), clLime);
}

TEST(GradFill, AFlippedGradientSurvivesAFormFile) {
    for (TColor first : {clMaroon, clRed}) { // a shown colour equal to its default is not written
        SCOPED_TRACE(first);
        TGradFill g(nullptr);
        g.SetColorFirst(first);
        g.SetColorLast(clYellow == first ? clRed : clMaroon == first ? clYellow : clBlue);
        const TColor last = g.ColorLast();
        g.SetColorFlipped(true);
        std::unique_ptr<TComponent> back(ComponentFromText(ComponentToText(g), nullptr));
        auto* b = dynamic_cast<TGradFill*>(back.get());
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->ColorFlipped());
        EXPECT_EQ(b->ColorFirst(), last);
        EXPECT_EQ(b->ColorLast(), first);
        b->SetColorFlipped(false);
        EXPECT_EQ(b->ColorFirst(), first);
        EXPECT_EQ(b->ColorLast(), last);
    }
}

// ---- Pixels ----------------------------------------------------------------------------------

TEST_F(GradFillFixture, MidBandVerticalBandsHaveTheirColoursUpToTheirEdges) {
    grad->SetFillType(gtMidBandVert);
    grad->SetColorFirst(clBlack);
    grad->SetColorLast(clWhite);
    grad->SetNrColors(5);
    const int grey[] = {0, 128, 255, 128, 0};
    for (int k = 0; k < 5; ++k) {
        const TColor c = RGB(grey[k], grey[k], grey[k]);
        EXPECT_EQ(At(20 * k, 0), c) << k;       // first column of the band
        EXPECT_EQ(At(20 * k + 19, 99), c) << k; // last column
    }
    grad->SetNrColors(3); // edges at 33 and 67
    EXPECT_EQ(At(32, 50), clBlack);
    EXPECT_EQ(At(33, 50), clWhite);
    EXPECT_EQ(At(66, 50), clWhite);
    EXPECT_EQ(At(67, 50), clBlack);
}

TEST_F(GradFillFixture, HorizontalBandsRunFromTopToBottom) {
    grad->SetColorFirst(clBlack);
    grad->SetColorLast(clWhite);
    grad->SetNrColors(4); // rows 0..24, 25..49, 50..74, 75..99
    EXPECT_EQ(At(50, 24), clBlack);
    EXPECT_EQ(At(0, 25), TColor(0x404040));
    EXPECT_EQ(At(99, 74), TColor(0x808080));
    EXPECT_EQ(At(99, 75), TColor(0xBFBFBF));
    EXPECT_EQ(At(0, 99), TColor(0xBFBFBF));
    grad->SetNrColors(1);
    EXPECT_EQ(At(0, 99), clBlack);
}

TEST_F(GradFillFixture, GridLinesEveryTenPixelsFromTheTopLeft) {
    grad->SetNrColors(1);
    grad->SetColorFirst(clWhite);
    grad->SetGridColor(clBlack);
    grad->SetBounds(10, 10, 35, 25);
    auto rows = [&] {
        std::string s;
        for (int y = 0; y < 25; ++y)
            if (At(17, y) == clBlack) s += std::to_string(y) + " ";
        return s;
    };
    auto cols = [&] {
        std::string s;
        for (int x = 0; x < 35; ++x)
            if (At(x, 17) == clBlack) s += std::to_string(x) + " ";
        return s;
    };
    EXPECT_EQ(rows() + "|" + cols(), "|");
    grad->SetGridMode(gmHoriz);
    EXPECT_EQ(rows() + "|" + cols(), "0 10 20 |");
    EXPECT_EQ(At(34, 20), clBlack); // across the whole width
    grad->SetGridMode(gmVert);
    EXPECT_EQ(rows() + "|" + cols(), "|0 10 20 30 ");
    EXPECT_EQ(At(30, 24), clBlack); // down the whole height
    grad->SetGridMode(gmBoth);
    EXPECT_EQ(rows() + "|" + cols(), "0 10 20 |0 10 20 30 ");
}

TEST_F(GradFillFixture, FrameIsDrawnOverTheGradientAndTheGrid) {
    grad->SetNrColors(1);
    grad->SetColorFirst(clRed);
    grad->SetGridMode(gmBoth);
    grad->SetFrameStyle(fstRaised);
    EXPECT_EQ(At(0, 0), TColor(0xC0C0C0)); // ring 0 top-left: C2
    EXPECT_EQ(At(99, 99), clBlack);        // ring 0 bottom-right: C4
    EXPECT_EQ(At(1, 10), clWhite);         // ring 1 top-left over a grid line: C1
    EXPECT_EQ(At(98, 50), TColor(0x808080));
    EXPECT_EQ(At(2, 10), clNavy); // the grid inside the frame
    EXPECT_EQ(At(5, 5), clRed);
}

TEST_F(GradFillFixture, OnPaintFiresAfterEachPaint) {
    int paints = 0;
    TColor seen = 0;
    grad->SetOnPaint([&](TObject* s) {
        EXPECT_EQ(s, grad);
        ++paints;
        seen = grad->Canvas().Pixels(0, 0); // the gradient is already there
    });
    grad->SetColorFirst(clGreen);
    grad->Update();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(seen, clGreen);
    grad->SetNrColors(3);
    grad->SetFillType(gtVert);
    grad->Update();
    EXPECT_EQ(paints, 2); // two changes, one paint
}

// ---- Reference images ------------------------------------------------------------------------

TEST_F(GradFillFixture, ReferenceImagesOfEveryType) {
    const char* names[] = {"horiz", "vert", "midbandhoriz", "midbandvert"};
    for (TGradType t : {gtHoriz, gtVert, gtMidBandHoriz, gtMidBandVert}) {
        grad->SetFillType(t);
        TBitmap bmp;
        headless::Snapshot(*grad, bmp);
        EXPECT_TRUE(MatchesRefAndDoc(bmp, std::string("gradfl_") + names[t]));
    }
    grad->SetFillType(gtMidBandVert);
    grad->SetNrColors(7);
    grad->SetColorFirst(clNavy);
    grad->SetColorLast(clAqua);
    grad->SetGridMode(gmBoth);
    grad->SetGridColor(clWhite);
    grad->SetFrameStyle(fstLowered);
    TBitmap bmp;
    headless::Snapshot(*grad, bmp);
    EXPECT_TRUE(MatchesRefAndDoc(bmp, "gradfl_grid_frame"));
}
