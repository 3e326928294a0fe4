// TThumbnails: pitch and slides per row, the scroll rule and scrolling the strip, the hit test,
// the order of image requests, selection by clicks in each mode, focus tracking, irpShowNothing,
// the fitted picture, halftone against colour-on-colour reduction, Min/Max limits and swapping
// (also from a form file), the strip's own pictures and failed files, Assign, and reference
// images in three looks.
#include "KEL_Thumbnails.h"

#include "headless.h"
#include "kel_form_fixture.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace kel;

namespace {

// A form with a strip at (0, 0) of 300 x 420: two slides per row (P = 136), four rows.
// Slide 1 covers (10, 12)..(144, 146), slide 2 (146, 12)..(280, 146), slide 3 starts at y 148.
class Thumbs : public test::FormTest {
  protected:
    Thumbs() : FormTest(460, 440) {}
    void SetUp() override {
        FormTest::SetUp();
        strip = new TThumbnails(form.get());
        strip->SetParent(form.get());
        strip->SetBounds(0, 0, 300, 420);
        strip->SetOnImageClick([this](TObject*, int, int, int id) { clicks.push_back(id); });
        headless::Flush();
    }
    std::vector<int> Selected() const {
        std::vector<int> out;
        for (int i = strip->Min(); i <= strip->Max(); ++i)
            if (strip->SlideSelected(i)) out.push_back(i);
        return out;
    }
    // Centre of slide (column c, row r) on an unscrolled strip.
    static int Cx(int c) { return 10 + (c - 1) * 136 + 67; }
    static int Cy(int r) { return 12 + (r - 1) * 136 + 67; }

    TThumbnails* strip = nullptr;
    std::vector<int> clicks;
};

using V = std::vector<int>;

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("kel_thumbs_" + name)).string();
}

} // namespace

// ---- Geometry and scrolling -------------------------------------------------------------------

TEST_F(Thumbs, SlidesPerRowFollowTheWidthAndANarrowStripKeepsOneColumn) {
    EXPECT_EQ(ThumbPitch(120, 2, 7), 136);
    EXPECT_EQ(strip->NumSlidesHoriz(), 2);
    EXPECT_EQ(strip->NumSlidesVert(), 4); // 420 div 136 + 1
    strip->SetBounds(0, 0, 260, 400);     // (260 + 2 - 20) div 136 = 1
    headless::Flush();
    EXPECT_EQ(strip->NumSlidesHoriz(), 1);
    EXPECT_EQ(strip->NumSlidesVert(), 3);
    strip->SetBounds(0, 0, 90, 200); // less than one slide
    headless::Flush();
    EXPECT_EQ(strip->NumSlidesHoriz(), 1);
    // A zero pitch cannot happen: the pitch is at least 1.
    EXPECT_EQ(ThumbPitch(0, 0, 0), 1);
}

TEST(ThumbScroll, ThePositionStaysOnRowStartsAndWithinMinMax) {
    EXPECT_DOUBLE_EQ(ThumbScrollPosition(4, 1, 100, 2), 3.5); // row 3-4 half scrolled out
    EXPECT_DOUBLE_EQ(ThumbScrollPosition(5, 1, 100, 2), 5.0);
    EXPECT_DOUBLE_EQ(ThumbScrollPosition(7, 1, 100, 3), 7.0);
    EXPECT_DOUBLE_EQ(ThumbScrollPosition(6, 1, 100, 3), 4 + 2.0 / 3);
    EXPECT_DOUBLE_EQ(ThumbScrollPosition(500, 1, 100, 1), 100.0); // Max itself
    EXPECT_DOUBLE_EQ(ThumbScrollPosition(500, 1, 100, 2), 99.5);
    EXPECT_DOUBLE_EQ(ThumbScrollPosition(-3, 1, 100, 2), 1.0); // Min itself
    EXPECT_DOUBLE_EQ(ThumbScrollPosition(std::nan(""), 5, 100, 2), 5.0);
}

TEST_F(Thumbs, ScrollingMovesTheRequestedSlidesUpByTheScrolledFraction) {
    struct Rendered {
        int Id, X, Y;
    };
    std::vector<Rendered> seen;
    strip->SetOnSlideRendered([&](TObject*, TCanvas&, int X, int Y, int Id) {
        seen.push_back({Id, X, Y});
    });
    strip->SetFirstThumbIdx(4); // two per row: 3.5
    EXPECT_DOUBLE_EQ(strip->FirstThumbIdx(), 3.5);
    headless::Flush();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].Id, 3);
    EXPECT_EQ(seen[0].X, 10);
    EXPECT_EQ(seen[0].Y, 2 - 68 + 10); // half a pitch scrolled out at the top
    int x = 0, y = 0;
    strip->CalcSlidePos(6, x, y);
    EXPECT_EQ(x, 146);
    EXPECT_EQ(y, 136 - 56);
    // The hit test follows the scroll: the top of the strip now shows slide 3's lower half.
    EXPECT_EQ(strip->CalcSlideIndex(20, 20), 3);
    EXPECT_EQ(strip->CalcSlideIndex(20, 100), 5); // y 80..214 is slide 5
    // Past the end: the last row start.
    strip->SetFirstThumbIdx(1e9);
    EXPECT_DOUBLE_EQ(strip->FirstThumbIdx(), 99.5);
    // A strip that gets wider realigns its position to the new rows at the next paint.
    strip->SetFirstThumbIdx(6);
    EXPECT_DOUBLE_EQ(strip->FirstThumbIdx(), 5.5);
    strip->SetBounds(0, 0, 430, 420); // three per row: row 4-6, half of it scrolled out
    headless::Flush();
    EXPECT_EQ(strip->NumSlidesHoriz(), 3);
    EXPECT_DOUBLE_EQ(strip->FirstThumbIdx(), 4.5);
}

TEST_F(Thumbs, TheHitTestFindsSlidesAndGivesZeroInGapsBandsAndBeyondMax) {
    EXPECT_EQ(strip->CalcSlideIndex(10, 12), 1); // the corners belong to the slide
    EXPECT_EQ(strip->CalcSlideIndex(144, 146), 1);
    EXPECT_EQ(strip->CalcSlideIndex(146, 12), 2);
    EXPECT_EQ(strip->CalcSlideIndex(145, 50), 0); // gap between columns
    EXPECT_EQ(strip->CalcSlideIndex(50, 147), 0); // gap between rows
    EXPECT_EQ(strip->CalcSlideIndex(Cx(1), Cy(2)), 3);
    EXPECT_EQ(strip->CalcSlideIndex(5, 50), 0);   // left band
    EXPECT_EQ(strip->CalcSlideIndex(50, 415), 0); // bottom band
    strip->SetMax(2);
    EXPECT_EQ(strip->CalcSlideIndex(Cx(1), Cy(2)), 0); // slide 3 is beyond Max
}

TEST_F(Thumbs, ImagesAreRequestedColumnByColumnBetweenFirstAndLastRequest) {
    std::vector<std::string> log;
    strip->SetMax(5);
    strip->SetOnFirstImageRequest([&](TObject*) { log.push_back("first"); });
    strip->SetOnLastImageRequest([&](TObject*) { log.push_back("last"); });
    strip->SetOnImageRequest(
        [&](TObject*, int id, TImageRequestProcessing& how, int& mark, TBitmap*& buf) {
            EXPECT_EQ(how, irpShowEmpty);
            EXPECT_EQ(mark, -1);
            ASSERT_NE(buf, nullptr);
            log.push_back(std::to_string(id));
        });
    strip->Invalidate();
    headless::Flush();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "1", "3", "5", "2", "4", "last"}));
}

// ---- Selection --------------------------------------------------------------------------------

TEST_F(Thumbs, SingleModeSelectsTheClickedSlideAloneAndAGapClearsEverything) {
    headless::ClickAt(*strip, Cx(2), Cy(1));
    EXPECT_EQ(Selected(), V{2});
    headless::ClickAt(*strip, Cx(1), Cy(2), {ssCtrl}); // modifiers change nothing here
    EXPECT_EQ(Selected(), V{3});
    EXPECT_EQ(strip->LastClickedSlide(), 3);
    headless::ClickAt(*strip, 145, 50); // gap
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(clicks, (V{2, 3, 0}));
    EXPECT_EQ(strip->FirstSelectedSlide(), strip->Min() - 1);
    // A release message at (-1, -1) is no click at all.
    strip->SetSlideSelected(4, true);
    strip->Perform(WM_LBUTTONUP, 0, MakeLParam(-1, -1));
    EXPECT_EQ(Selected(), V{4});
    EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(Thumbs, MultipleModeClickCtrlToggleAndShiftRangeFromTheLastClicked) {
    strip->SetSlideSelectMode(ssmMultiple);
    headless::ClickAt(*strip, Cx(1), Cy(1)); // 1
    headless::ClickAt(*strip, Cx(2), Cy(2), {ssCtrl});
    EXPECT_EQ(Selected(), (V{1, 4}));
    headless::ClickAt(*strip, Cx(2), Cy(2), {ssCtrl}); // toggles 4 off again
    EXPECT_EQ(Selected(), V{1});
    headless::ClickAt(*strip, Cx(2), Cy(3), {ssShift}); // range 4 (last clicked) .. 6
    EXPECT_EQ(Selected(), (V{4, 5, 6}));
    headless::ClickAt(*strip, Cx(1), Cy(1), {ssShift}); // anchor stays at 4: 1..4
    EXPECT_EQ(Selected(), (V{1, 2, 3, 4}));
    headless::ClickAt(*strip, Cx(2), Cy(3), {ssCtrl}); // 6 added
    headless::ClickAt(*strip, Cx(2), Cy(2), {ssCtrl}); // 4 off, the new anchor
    EXPECT_EQ(Selected(), (V{1, 2, 3, 6}));
    headless::ClickAt(*strip, Cx(2), Cy(3), {ssCtrl, ssShift}); // adds 4..6
    EXPECT_EQ(Selected(), (V{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(strip->NumSlidesSelected(), 6);
    headless::ClickAt(*strip, Cx(1), Cy(3)); // a plain click: 5 alone
    EXPECT_EQ(Selected(), V{5});
    EXPECT_EQ(strip->FirstSelectedSlide(), 5);
    headless::ClickAt(*strip, 145, 50, {ssCtrl}); // Ctrl in a gap changes nothing
    EXPECT_EQ(Selected(), V{5});
    headless::ClickAt(*strip, 145, 50); // a plain click in a gap clears
    EXPECT_TRUE(Selected().empty());
    // Shift with no anchor in range acts as a plain click.
    headless::ClickAt(*strip, Cx(2), Cy(1), {ssShift});
    EXPECT_EQ(Selected(), V{2});
    // Changing the mode clears the selection.
    strip->SetSlideSelectMode(ssmSingle);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(Thumbs, DisabledModeKeepsTheSelectionButStillReportsClicks) {
    strip->SetSlideSelectMode(ssmDisabled);
    strip->SetSlideSelected(7, true); // set from code in every mode
    headless::ClickAt(*strip, Cx(1), Cy(1));
    headless::ClickAt(*strip, Cx(2), Cy(1), {ssCtrl});
    EXPECT_EQ(Selected(), V{7});
    EXPECT_EQ(clicks, (V{1, 2}));
    strip->ResetAllSelections();
    EXPECT_TRUE(Selected().empty());
}

TEST_F(Thumbs, ASelectedSlideIsDrawnInTheSelectedColourAndDoubleClicksReportTheSlide) {
    std::vector<int> dbl;
    strip->SetOnImageDblClick([&](TObject*, int, int, int id) { dbl.push_back(id); });
    headless::ClickAt(*strip, Cx(2), Cy(1));
    EXPECT_EQ(headless::PixelAt(*strip, 150, 14), clNavy);  // the face beside the image area
    EXPECT_EQ(headless::PixelAt(*strip, 14, 14), clSilver); // slide 1 is not selected
    headless::DoubleClickAt(*strip, Cx(1), Cy(2));
    headless::DoubleClickAt(*strip, 145, 50);
    EXPECT_EQ(dbl, (V{3, 0}));
}

// ---- Focus ------------------------------------------------------------------------------------

TEST_F(Thumbs, TheFocusFollowsTheMouseWithAnOutlineAndFiresOncePerChange) {
    int changes = 0;
    strip->SetOnFocusChange([&](TObject*) { ++changes; });
    headless::MoveTo(*strip, 50, 50);
    headless::MoveTo(*strip, 60, 60); // same slide
    EXPECT_EQ(strip->FocusedSlide(), 1);
    EXPECT_EQ(changes, 1);
    // The outline starts 2 pixels inside the slide's edge: (12, 14)..(142, 144).
    EXPECT_EQ(headless::PixelAt(*strip, 12, 60), clBlue);
    EXPECT_EQ(headless::PixelAt(*strip, 142, 60), clBlue);
    EXPECT_EQ(headless::PixelAt(*strip, 60, 14), clBlue);
    EXPECT_EQ(headless::PixelAt(*strip, 13, 60), clSilver); // one ring only
    headless::MoveTo(*strip, 145, 50); // the gap: no slide, the old outline restored
    EXPECT_EQ(strip->FocusedSlide(), 0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(headless::PixelAt(*strip, 12, 60), clSilver);

    strip->SetFocusLinewidth(3);
    headless::Flush(); // a paint wipes the outline: let it happen first
    headless::MoveTo(*strip, Cx(2), Cy(1));
    EXPECT_EQ(headless::PixelAt(*strip, 148, 60), clBlue);
    EXPECT_EQ(headless::PixelAt(*strip, 150, 60), clBlue);
    EXPECT_EQ(headless::PixelAt(*strip, 151, 60), clSilver);

    strip->SetFocusLinewidth(0);
    headless::MoveTo(*strip, Cx(1), Cy(2));
    EXPECT_EQ(strip->FocusedSlide(), 2);
    EXPECT_EQ(changes, 3);
    strip->SetFocusLinewidth(-4);
    EXPECT_EQ(strip->FocusLinewidth(), 0);
    strip->SetFocusLinewidth(40);
    EXPECT_EQ(strip->FocusLinewidth(), 10);
}

// ---- What slides show -------------------------------------------------------------------------

TEST_F(Thumbs, ShowNothingStillGetsItsMarkerAndRenderedCallButNoCover) {
    std::vector<int> rendered;
    strip->SetOnImageRequest(
        [](TObject*, int id, TImageRequestProcessing& how, int& mark, TBitmap*&) {
            if (id == 1) how = irpShowNothing, mark = 5;         // filled square 7
            if (id == 2) how = irpShowFrameOnly, mark = 256 + 5; // taken as a byte
        });
    strip->SetOnSlideRendered(
        [&](TObject*, TCanvas&, int, int, int id) { rendered.push_back(id); });
    strip->Invalidate();
    const TColor back = headless::PixelAt(*strip, 5, 200);
    EXPECT_EQ(headless::PixelAt(*strip, Cx(1), Cy(1)), back); // no cover on slide 1
    EXPECT_EQ(headless::PixelAt(*strip, 20, 24), clBlack);    // its marker at (X + 10, Y + 12)
    EXPECT_EQ(headless::PixelAt(*strip, 17, 21), clBlack);
    EXPECT_EQ(headless::PixelAt(*strip, 16, 24), back);
    EXPECT_EQ(headless::PixelAt(*strip, Cx(2), Cy(1)), clSilver); // frame only: cover, no text
    EXPECT_EQ(headless::PixelAt(*strip, 156, 24), clBlack);
    ASSERT_GE(rendered.size(), 2u);
    EXPECT_EQ(rendered[0], 1);
}

TEST_F(Thumbs, APortraitPictureIsCentredAcrossAtFullHeight) {
    EXPECT_EQ(ThumbImageRect(10, 12, 120, 7, 60, 120), Rect(47, 19, 107, 139));
    EXPECT_EQ(ThumbImageRect(10, 12, 120, 7, 120, 60), Rect(17, 49, 137, 109));
    EXPECT_TRUE(ThumbImageRect(10, 12, 120, 7, 0, 60).IsEmpty());
    strip->SetInnerFrameStyle(fstNone);
    strip->SetOnImageRequest([](TObject*, int, TImageRequestProcessing& how, int&, TBitmap*& b) {
        how = irpShowSlide;
        test::Fill(*b, 60, 120, clRed);
    });
    strip->Invalidate();
    EXPECT_EQ(headless::PixelAt(*strip, 46, 70), clSilver);
    EXPECT_EQ(headless::PixelAt(*strip, 47, 70), clRed);
    EXPECT_EQ(headless::PixelAt(*strip, 106, 70), clRed);
    EXPECT_EQ(headless::PixelAt(*strip, 107, 70), clSilver);
    EXPECT_EQ(headless::PixelAt(*strip, 60, 19), clRed);
    EXPECT_EQ(headless::PixelAt(*strip, 60, 138), clRed);
    EXPECT_EQ(headless::PixelAt(*strip, 60, 139), clSilver);
}

TEST_F(Thumbs, AntiAliasAveragesTheReducedPixelsAndColourOnColourPicksThem) {
    // Columns alternately black and white, reduced to half: grey when averaged.
    TBitmap stripes(240, 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 240; ++x) stripes.ScanLine(y)[x] = x % 2 ? 0xFFFFFF : 0;
    strip->SetInnerFrameStyle(fstNone);
    strip->SetOnImageRequest([&](TObject*, int, TImageRequestProcessing& how, int&, TBitmap*& b) {
        how = irpShowSlide;
        b = &stripes; // a bitmap of the handler's own
    });
    strip->Invalidate();
    const TColor sharp = headless::PixelAt(*strip, 60, 60);
    EXPECT_TRUE(sharp == clBlack || sharp == clWhite) << std::hex << sharp;
    strip->SetAntiAlias(true);
    const TColor soft = headless::PixelAt(*strip, 60, 60);
    EXPECT_TRUE(soft == 0x7F7F7F || soft == 0x808080) << std::hex << soft;
    // The strip's own pictures are reduced by the same rule when added.
    strip->SetOnImageRequest(nullptr);
    strip->AddPicture(stripes); // AntiAlias on
    strip->SetAntiAlias(false);
    strip->AddPicture(stripes);
    ASSERT_NE(strip->Picture(1), nullptr);
    EXPECT_EQ(strip->Picture(1)->Width(), 120);
    const TColor p1 = strip->Picture(1)->Canvas().Pixels(30, 30);
    const TColor p2 = strip->Picture(2)->Canvas().Pixels(30, 30);
    EXPECT_TRUE(p1 == 0x7F7F7F || p1 == 0x808080) << std::hex << p1;
    EXPECT_TRUE(p2 == clBlack || p2 == clWhite) << std::hex << p2;
}

// ---- Range ------------------------------------------------------------------------------------

TEST_F(Thumbs, MinAboveMaxIsSwappedAndTheSelectionCoversTheRange) {
    strip->SetMin(150);
    EXPECT_EQ(strip->Min(), 100);
    EXPECT_EQ(strip->Max(), 150);
    strip->SetSlideSelected(150, true);
    EXPECT_TRUE(strip->SlideSelected(150));
    EXPECT_EQ(strip->FirstSelectedSlide(), 150);
    strip->SetSlideSelected(99, true); // outside: ignored
    EXPECT_EQ(strip->NumSlidesSelected(), 1);
    strip->SetMax(-5); // below 1 becomes 1, then swapped
    EXPECT_EQ(strip->Min(), 1);
    EXPECT_EQ(strip->Max(), 100);
    strip->SetMin(-7); // slide 0 means "no slide": Min stays at least 1
    EXPECT_EQ(strip->Min(), 1);
    strip->SetMax(INT32_MAX);
    EXPECT_EQ(strip->Max(), TThumbnails::MaxSlideNumber);
    strip->SetSlideSelected(TThumbnails::MaxSlideNumber, true);
    EXPECT_TRUE(strip->SlideSelected(TThumbnails::MaxSlideNumber));
}

TEST(ThumbnailsFile, MinAndMaxLoadInAnyOrderAndSettleOnceRead) {
    std::unique_ptr<TComponent> c(ComponentFromText(
        "object TThumbnails\n  Min = 150\n  Max = 200\n  SlideSize = 80\nend\n", nullptr));
    auto* t = dynamic_cast<TThumbnails*>(c.get());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Min(), 150); // not swapped against the default Max 100 while reading
    EXPECT_EQ(t->Max(), 200);
    EXPECT_EQ(t->SlideSize(), 80);
    t->SetSlideSelected(200, true);
    EXPECT_TRUE(t->SlideSelected(200));
    std::unique_ptr<TComponent> back(ComponentFromText(ComponentToText(*t), nullptr));
    EXPECT_EQ(static_cast<TThumbnails*>(back.get())->Min(), 150);
}

TEST(Thumbnails, SettersClampAsStated) {
    TThumbnails t(nullptr);
    t.SetSlideSize(10);
    EXPECT_EQ(t.SlideSize(), 50);
    t.SetSlideSize(1000);
    EXPECT_EQ(t.SlideSize(), 260); // limited to the width
    t.SetSlideDistance(-1);
    EXPECT_EQ(t.SlideDistance(), 0);
    t.SetSlideMargin(500);
    EXPECT_EQ(t.SlideMargin(), 100);
    // A fresh strip selects at once: its selection covers the default range 1..100.
    t.SetSlideSelected(100, true);
    EXPECT_TRUE(t.SlideSelected(100));
}

// ---- Pictures ---------------------------------------------------------------------------------

TEST_F(Thumbs, PictureFilesLoadAndAFailedFileLeavesAnEmptySlideAndReportsIt) {
    TBitmap pic(640, 480);
    test::Fill(pic, 640, 480, clGreen);
    const std::string png = TempPath("ok.png"), bad = TempPath("bad.bmp");
    pic.SaveToFile(png);
    {
        std::ofstream out(bad, std::ios::binary);
        out << "BM this is no bitmap";
    }
    std::vector<std::string> errors;
    strip->SetOnLoadError([&](TObject*, int id, const std::string& m) {
        errors.push_back(std::to_string(id) + " " + m);
    });
    strip->SetMax(1);
    strip->SetInnerFrameStyle(fstNone);
    EXPECT_EQ(strip->AddPictureFile(png), 1);
    EXPECT_NO_THROW(EXPECT_EQ(strip->AddPictureFile(bad), 2));
    EXPECT_NO_THROW(EXPECT_EQ(strip->AddPictureFile(TempPath("missing.png")), 3));
    const std::string bmp = TempPath("ok.bmp");
    TBitmap tall(100, 110); // small enough already: kept at its size
    test::Fill(tall, 100, 110, clTeal);
    tall.SaveToFile(bmp);
    EXPECT_EQ(strip->AddPictureFile(bmp), 4);
    ASSERT_NE(strip->Picture(4), nullptr);
    EXPECT_EQ(strip->Picture(4)->Width(), 100);
    EXPECT_EQ(strip->Picture(4)->Height(), 110);
    EXPECT_EQ(strip->Picture(4)->Canvas().Pixels(50, 80), clTeal);
    std::filesystem::remove(png);
    std::filesystem::remove(bad);
    std::filesystem::remove(bmp);
    EXPECT_EQ(strip->Max(), 4); // raised to the number of pictures
    ASSERT_NE(strip->Picture(1), nullptr);
    EXPECT_EQ(strip->Picture(1)->Width(), 120);
    EXPECT_EQ(strip->Picture(1)->Height(), 90);
    EXPECT_EQ(strip->Picture(2), nullptr);
    EXPECT_EQ(strip->PictureError(1), "");
    EXPECT_NE(strip->PictureError(2).find("bad.bmp"), std::string::npos) << strip->PictureError(2);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].substr(0, 2), "2 ");
    EXPECT_EQ(errors[1].substr(0, 2), "3 ");
    // Slide 1 shows the picture (120 x 90, centred down), slide 2 the empty placeholder.
    EXPECT_EQ(headless::PixelAt(*strip, Cx(1), Cy(1)), clGreen);
    EXPECT_EQ(headless::PixelAt(*strip, Cx(1), 12 + 7 + 15 - 1), clSilver);
    EXPECT_EQ(headless::PixelAt(*strip, 160, Cy(1) - 30), clWhite); // the blank rectangle
    strip->ClearPictures();
    EXPECT_EQ(strip->PictureCount(), 0);
}

// ---- Assign -----------------------------------------------------------------------------------

TEST(Thumbnails, AssignCopiesTheListedPropertiesButNotMarkModeOrSelection) {
    TThumbnails a(nullptr), b(nullptr);
    int requests = 0, rendered = 0;
    a.SetOnImageRequest(
        [&](TObject*, int, TImageRequestProcessing&, int&, TBitmap*&) { ++requests; });
    a.SetOnSlideRendered([&](TObject*, TCanvas&, int, int, int) { ++rendered; });
    a.SetFrameStyle(fstSimple);
    a.SetColorCover(clYellow);
    a.SetColorMark(clRed);
    a.SetSlideSelectMode(ssmMultiple);
    a.SetMax(300);
    a.SetMin(20);
    a.SetSlideSelected(30, true);
    a.SetFirstThumbIdx(41);
    a.SetSlideSize(90);
    a.SetAntiAlias(true);
    a.SetFocusLinewidth(4);
    b.Assign(&a);
    EXPECT_EQ(b.FrameStyle(), fstSimple);
    EXPECT_EQ(b.ColorCover(), clYellow);
    EXPECT_EQ(b.Min(), 20);
    EXPECT_EQ(b.Max(), 300);
    EXPECT_DOUBLE_EQ(b.FirstThumbIdx(), a.FirstThumbIdx());
    EXPECT_EQ(b.SlideSize(), 90);
    EXPECT_TRUE(b.AntiAlias());
    EXPECT_EQ(b.FocusLinewidth(), 4);
    EXPECT_EQ(b.ColorMark(), clBlack);
    EXPECT_EQ(b.SlideSelectMode(), ssmSingle);
    EXPECT_FALSE(b.SlideSelected(30));
    b.SetSlideSelected(300, true); // the selection follows the copied range
    EXPECT_TRUE(b.SlideSelected(300));
    ASSERT_TRUE(b.OnImageRequest());
    EXPECT_FALSE(b.OnSlideRendered());
    TImageRequestProcessing how = irpShowEmpty;
    int mark = -1;
    TBitmap* buf = nullptr;
    b.OnImageRequest()(&b, 1, how, mark, buf);
    EXPECT_EQ(requests, 1);
}

// ---- Reference images -------------------------------------------------------------------------

TEST_F(Thumbs, ReferenceImagesDefaultPicturesAndScrolled) {
    TBitmap bmp;
    strip->SetBounds(0, 0, 260, 400); // the default size
    headless::Snapshot(*strip, bmp);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(bmp, "widgets", "thumbnails_default"));

    // Pictures of the strip's own, markers from a handler, two slides selected.
    strip->SetBounds(0, 0, 300, 420);
    strip->SetSlideSelectMode(ssmMultiple);
    strip->SetAntiAlias(true);
    for (int k = 0; k < 6; ++k) {
        TBitmap pic(160 + 40 * (k % 3), 240 - 40 * (k % 2));
        TCanvas& c = pic.Canvas();
        c.Brush().SetColor(TColor(0x3060A0 + 0x202010 * k));
        c.FillRect(Rect(0, 0, pic.Width(), pic.Height()));
        c.Pen().SetColor(clWhite);
        c.Brush().SetColor(TColor(0x00C0FF - 0x1800 * k));
        c.Ellipse(pic.Width() / 4, pic.Height() / 4, pic.Width() * 3 / 4, pic.Height() * 3 / 4);
        strip->AddPicture(pic);
    }
    strip->SetMax(8);
    strip->SetOnImageRequest(
        [](TObject*, int id, TImageRequestProcessing& how, int& mark, TBitmap*&) {
            if (id % 3 == 0) mark = 27;
            if (id == 8) how = irpShowFrameOnly;
        });
    strip->SetSlideSelected(2, true);
    strip->SetSlideSelected(3, true);
    headless::Snapshot(*strip, bmp);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(bmp, "widgets", "thumbnails_pictures"));

    // Scrolled half a row, smaller slides, other frames and colours, focus on one slide.
    strip->SetOnImageRequest(nullptr);
    strip->SetSlideSize(80);
    strip->SetFrameStyle(fstEmbossed);
    strip->SetOuterFrameStyle(fstSimple);
    strip->SetColorBackGnd(clWhite);
    strip->SetColorCover(0xE0E0E0);
    strip->SetBounds(0, 0, 310, 420); // three per row after the next paint
    strip->SetFirstThumbIdx(5);       // realigned by that paint: row 4-6, a third scrolled
    headless::Flush();
    headless::MoveTo(*strip, 150, 150);
    headless::Snapshot(*strip, bmp);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(bmp, "widgets", "thumbnails_scrolled"));
}
