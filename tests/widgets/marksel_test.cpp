// TMarkSel: the grid layout and packing of visible markers, the nearest-marker rule (ties, the
// bound), the ranges of the setters, the selection and highlight drawn in their cells, greys
// when disabled, the cross for marker 0, the mouse (highlight, leaving, click, double click), and
// reference images of the default, a customised and a disabled selector.
#include "KEL_marksel.h"

#include "kel_form_fixture.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace kel;

namespace {

// The default 236 x 178 selector at (10, 10) of a white form: cells of 29 x 29 pixels, the k-th
// visible marker's cell origin at (14 + 29 (k mod 8), 14 + 29 (k div 8)).
class MarkSelTest : public test::FormTest {
  protected:
    MarkSelTest() : test::FormTest(300, 220) {}
    void SetUp() override {
        test::FormTest::SetUp();
        ms = new TMarkSel(form.get());
        ms->SetParent(form.get());
        ms->SetLeft(10);
        ms->SetTop(10);
        ms->SetOnMarkClick([this](TObject*, int x, int y, int m) {
            log.push_back("mark " + std::to_string(m) + " at " + std::to_string(x) + "," +
                          std::to_string(y));
        });
        ms->SetOnMarkDblClick(
            [this](TObject*, int, int, int m) { log.push_back("dbl " + std::to_string(m)); });
        ms->SetOnClick([this](TObject*) { log.push_back("click"); });
        headless::Flush();
    }
    TColor Px(int x, int y) { return headless::PixelAt(*ms, x, y); }
    std::string Log() {
        std::string s;
        for (const std::string& e : log) s += (s.empty() ? "" : " | ") + e;
        return s;
    }
    std::set<TColor> Colours() {
        TBitmap bmp;
        headless::Snapshot(*ms, bmp);
        std::set<TColor> out;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) out.insert(bmp.Canvas().Pixels(x, y));
        return out;
    }

    TMarkSel* ms = nullptr;
    std::vector<std::string> log;
};

const TColor kFace = ColorToRGB(clBtnFace);

// Offset from the centre of a pixel the symbol of Mark lights.
TPoint LitPixel(int Mark) {
    const TMarkShape shape = MarkShape(Mark);
    for (int dy = -MarkerRadius; dy <= MarkerRadius; ++dy)
        for (int dx = -MarkerRadius; dx <= MarkerRadius; ++dx)
            if (shape.Lit(dx, dy)) return {dx, dy};
    return {};
}

} // namespace

// ---- Layout and the nearest marker ------------------------------------------------------------

TEST(MarkSelGeometry, CellsAndPackingFollowTheVisibleMarkers) {
    EXPECT_EQ(MarkSelCellSize(236, 178, 8, 6), (TPoint{29, 29}));
    EXPECT_EQ(MarkSelCellSize(100, 50, 7, 4), (TPoint{13, 11}));
    std::array<bool, NumMarkers> vis{};
    vis.fill(true);
    std::array<TPoint, NumMarkers> at{};
    MarkSelLayout(vis, 8, 29, 29, at);
    EXPECT_EQ(at[0], (TPoint{14, 14}));
    EXPECT_EQ(at[9], (TPoint{43, 43}));
    EXPECT_EQ(at[48], (TPoint{14, 188})); // a seventh row, below a 178 pixel control
    // Hiding packs: the markers after a hidden one move up one cell; the hidden one keeps its
    // last position.
    vis[1] = vis[3] = false;
    at[1] = TPoint{-7, -7};
    MarkSelLayout(vis, 8, 29, 29, at);
    EXPECT_EQ(at[2], (TPoint{43, 14}));
    EXPECT_EQ(at[4], (TPoint{72, 14}));
    EXPECT_EQ(at[10], (TPoint{14, 43})); // the 8th visible marker starts the second row
    EXPECT_EQ(at[1], (TPoint{-7, -7}));
}

TEST(MarkSelGeometry, NearestTakesTheLowerIndexOnATieAndMarkerZeroBeyondTheBound) {
    std::array<bool, NumMarkers> vis{};
    std::array<TPoint, NumMarkers> at{};
    vis[0] = vis[3] = vis[5] = true;
    at[0] = {500, 500};
    at[3] = {10, 10};
    at[5] = {20, 10};
    EXPECT_EQ(MarkSelNearest(vis, at, 15, 10), 3); // equally far from 3 and 5
    EXPECT_EQ(MarkSelNearest(vis, at, 16, 10), 5);
    vis[3] = false; // hidden: never the nearest
    EXPECT_EQ(MarkSelNearest(vis, at, 10, 10), 5);
    // Every marker farther than 1e10 squared pixels: marker 0, though 5 is nearer than 0.
    EXPECT_EQ(MarkSelNearest(vis, at, -100000, -100000), 0);
}

// ---- Properties -------------------------------------------------------------------------------

TEST_F(MarkSelTest, SettersIgnoreValuesOutOfRange) {
    EXPECT_EQ(ms->Width(), 236);
    EXPECT_EQ(ms->Height(), 178);
    ms->SetNrOfColumns(0);
    ms->SetNrOfColumns(52);
    ms->SetNrOfRows(0);
    ms->SetNrOfRows(52);
    EXPECT_EQ(ms->NrOfColumns(), 8);
    EXPECT_EQ(ms->NrOfRows(), 6);
    ms->SetNrOfColumns(51);
    ms->SetNrOfRows(1);
    EXPECT_EQ(ms->NrOfColumns(), 51);
    EXPECT_EQ(ms->NrOfRows(), 1);
    ms->SetSelected(51);
    ms->SetSelected(52);
    ms->SetSelected(-2);
    EXPECT_EQ(ms->Selected(), 51);
    ms->SetSelected(-1);
    EXPECT_EQ(ms->Selected(), -1);
    ms->SetFrameStyle(TFrameStyle(6));
    EXPECT_EQ(ms->FrameStyle(), fstSimple);
}

TEST_F(MarkSelTest, MarkerZeroStaysVisibleAndBadIndexesReadIt) {
    ms->SetMarkVisible(0, false);
    EXPECT_TRUE(ms->MarkVisible(0));
    ms->HideAllMarks();
    EXPECT_TRUE(ms->MarkVisible(0));
    EXPECT_FALSE(ms->MarkVisible(1));
    EXPECT_FALSE(ms->MarkVisible(51));
    EXPECT_TRUE(ms->MarkVisible(-1)); // out of range reads marker 0
    EXPECT_TRUE(ms->MarkVisible(52));
    ms->SetMarkVisible(52, true); // ignored
    ms->SetMarkVisible(51, true);
    EXPECT_TRUE(ms->MarkVisible(51));
    EXPECT_EQ(ms->MarkPosition(51), (TPoint{43, 14})); // packed next to marker 0
    ms->ShowAllMarks();
    EXPECT_TRUE(ms->MarkVisible(1));
    EXPECT_EQ(ms->MarkPosition(51), (TPoint{14 + 3 * 29, 14 + 6 * 29}));
}

// ---- Drawing ----------------------------------------------------------------------------------

TEST_F(MarkSelTest, SelectionFillsItsCellAndMinusOneShowsNone) {
    // Marker 9's cell origin is (43, 43); its cell spans 32..59 each way.
    EXPECT_EQ(Px(34, 34), kFace);
    ms->SetSelected(9);
    EXPECT_EQ(Px(34, 34), clWhite);
    EXPECT_EQ(Px(32, 40), clNavy); // the outline in the selection symbol colour
    EXPECT_EQ(Px(59, 40), clNavy);
    EXPECT_EQ(Px(61, 40), kFace);
    EXPECT_EQ(Px(45, 45), clNavy); // the symbol (a filled diamond) centred on (45, 45)
    ms->SetSelected(-1);
    EXPECT_EQ(Px(34, 34), kFace);
    EXPECT_EQ(Px(45, 45), clBlack);
}

TEST_F(MarkSelTest, DisabledDrawsInGreysWhateverTheColours) {
    ms->SetColorBackGnd(clYellow);
    ms->SetColorMarks(clRed);
    ms->SetColorSelBG(clLime);
    ms->SetColorSelFG(clBlue);
    ms->SetSelected(9);
    headless::MoveTo(*ms, 72, 43); // a highlight before disabling is not shown either
    EXPECT_TRUE(Colours().contains(clLime));
    ms->SetEnabled(false);
    EXPECT_EQ(Colours(), (std::set<TColor>{0xC0C0C0, 0x808080, 0xDEDEDE}));
    EXPECT_EQ(Px(34, 34), TColor(0xDEDEDE));
    EXPECT_EQ(Px(0, 0), TColor(0x808080)); // the frame in the grey mark colour
}

TEST_F(MarkSelTest, MarkerZeroIsACrossOverTheFirstCellOrItsDot) {
    EXPECT_EQ(Px(4, 4), clBlack);   // the cross from (4, 4) to (30, 30)
    EXPECT_EQ(Px(29, 29), clBlack); // its last pixel
    EXPECT_EQ(Px(4, 29), clBlack);  // the other stroke from (4, 29) up to (30, 3)
    EXPECT_EQ(Px(16, 16), clBlack);
    ms->SetShowZeroAsCross(false);
    EXPECT_EQ(Px(4, 4), kFace);
    EXPECT_EQ(Px(16, 16), clBlack); // the single dot on (X + 2, Y + 2)
    EXPECT_EQ(Px(17, 16), kFace);
}

TEST_F(MarkSelTest, FrameTakesTheMarkColourAndOnPaintFollowsEachPaint) {
    int paints = 0;
    ms->SetOnPaint([&](TObject*) { ++paints; });
    ms->SetColorMarks(clRed);
    ms->Update();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(Px(0, 0), clRed);
    EXPECT_EQ(Px(235, 177), clRed);
    ms->SetFrameStyle(fstRaised);
    ms->Update();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(Px(0, 0), TColor(0xC0C0C0));
}

// ---- Mouse ------------------------------------------------------------------------------------

TEST_F(MarkSelTest, TheNearestMarkerIsHighlightedAndRestoredWhenTheMouseMovesOn) {
    // Marker 10 at (72, 43): its highlight fills (62, 33)..(87, 58).
    const TPoint lit = LitPixel(10);
    const int sx = 74 + lit.X, sy = 45 + lit.Y; // a pixel of marker 10's symbol
    headless::MoveTo(*ms, 70, 45);
    EXPECT_EQ(ms->HighlightedMark(), 10);
    EXPECT_EQ(Px(64, 35), clRed);
    EXPECT_EQ(Px(sx, sy), clWhite); // the symbol in ColorHiLiteSymbol
    EXPECT_EQ(Px(61, 35), kFace);   // one pixel narrower than the cell
    headless::MoveTo(*ms, 100, 45); // marker 11
    EXPECT_EQ(ms->HighlightedMark(), 11);
    EXPECT_EQ(Px(64, 35), kFace);
    EXPECT_EQ(Px(sx, sy), clBlack);
    // A selected marker is restored with its selection colours.
    ms->SetSelected(10);
    headless::MoveTo(*ms, 70, 45);
    headless::MoveTo(*ms, 14, 14);
    EXPECT_EQ(Px(64, 35), clWhite);
    EXPECT_EQ(Px(sx, sy), clNavy);
    EXPECT_EQ(Px(6, 10), clRed); // marker 0 highlighted now
    // Leaving the control removes the highlight.
    headless::MoveTo(*form, 290, 210);
    EXPECT_EQ(ms->HighlightedMark(), -1);
    EXPECT_EQ(Px(6, 10), kFace);
}

TEST_F(MarkSelTest, HiddenMarkersCanBeNeitherHighlightedNorClicked) {
    ms->SetMarkVisible(10, false);
    headless::MoveTo(*ms, 72, 43); // marker 11 moved into 10's cell
    EXPECT_EQ(ms->HighlightedMark(), 11);
    headless::ClickAt(*ms, 72, 43);
    EXPECT_EQ(ms->Selected(), 11);
    EXPECT_EQ(Log(), "click | mark 11 at 72,43");
}

TEST_F(MarkSelTest, ClickSelectsTheNearestMarkerEvenWhenItIsSelectedAlready) {
    headless::ClickAt(*ms, 125, 70); // nearest origin: (130, 72), marker 20
    EXPECT_EQ(ms->Selected(), 20);
    EXPECT_EQ(ms->HighlightedMark(), 20);
    headless::ClickAt(*ms, 131, 73);
    EXPECT_EQ(Px(122, 63), clRed);               // highlighted over the selection
    headless::ClickAt(*ms, 20, 20, {}, mbRight); // the right button picks nothing
    EXPECT_EQ(Log(), "click | mark 20 at 125,70 | click | mark 20 at 131,73");
    EXPECT_EQ(ms->Selected(), 20);
}

TEST_F(MarkSelTest, DoubleClickReportsTheMarkerToBothEvents) {
    headless::DoubleClickAt(*ms, 43, 43);
    EXPECT_EQ(Log(), "click | mark 9 at 43,43 | dbl 9 | mark 9 at 43,43");
    EXPECT_EQ(ms->Selected(), 9);
}

TEST_F(MarkSelTest, AClickHandlerMayDeleteTheSelector) {
    ms->SetOnMarkClick([this](TObject*, int, int, int) {
        auto* doomed = ms;
        ms = nullptr;
        delete doomed;
    });
    headless::ClickAt(*form, 50, 50);
    headless::Flush();
    EXPECT_EQ(ms, nullptr);
}

// ---- Pictures ---------------------------------------------------------------------------------

TEST_F(MarkSelTest, Pictures) {
    TBitmap shot;
    headless::Snapshot(*ms, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "marksel_default"));

    ms->SetNrOfColumns(10);
    ms->SetNrOfRows(5);
    ms->SetShowZeroAsCross(false);
    ms->SetFrameStyle(fstLowered);
    ms->SetColorBackGnd(clWhite);
    ms->SetColorMarks(clTeal);
    ms->SetColorSelBG(clYellow);
    for (int i : {2, 3, 12, 13, 14, 15}) ms->SetMarkVisible(i, false);
    ms->SetSelected(26);
    headless::MoveTo(*ms, 68, 72);
    headless::Snapshot(*ms, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "marksel_custom"));

    ms->SetEnabled(false);
    headless::Snapshot(*ms, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "marksel_disabled"));
}
