// TSevenSeg: the segment pictures, the caption walked cell by cell (points, colon, letters,
// characters without glyphs, positions past NumDigits), the colour rules, the clamps of the
// setters, the cache rebuilt on resize, Assign, and reference images of three states.
#include "KEL_sevenseg.h"

#include "headless.h"
#include "kel_forms.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <cmath>
#include <string>

using namespace kel;

namespace {

class SevenSeg : public ::testing::Test {
  protected:
    void SetUp() override {
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 400, 200);
        form->SetColor(clWhite);
        seg = new TSevenSeg(form.get());
        seg->SetParent(form.get());
        form->Show();
        headless::Flush();
    }
    void TearDown() override {
        form.reset();
        Application->ResetState();
    }
    TBitmap& Shot() {
        headless::Snapshot(*seg, shot);
        return shot;
    }
    // Whether cell p (1-based) of the snapshot shows glyph k of the cache (0: an empty cell),
    // with or without the decimal point, pixel for pixel; says where it differs otherwise.
    ::testing::AssertionResult CellShows(int p, int k, bool dot) {
        const TBitmap& s = Shot();
        const TBitmap& cache = seg->ImageCache();
        const int dw = seg->DigitWidth(), ch = cache.Height(), m = seg->Margin();
        const int x0 = (p - 1) * (seg->InterDigDist() + dw) + m;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < dw; ++x) {
                const bool inDot = dot && x >= dw * 5 / 6 && y >= ch * 5 / 6;
                TColor want = seg->ColorBackGnd();
                if (inDot)
                    want = cache.Canvas().Pixels(20 * dw + x, y);
                else if (k > 0)
                    want = cache.Canvas().Pixels((k - 1) * dw + x, y);
                const TColor got = s.Canvas().Pixels(x0 + x, m + y);
                if (got != want)
                    return ::testing::AssertionFailure()
                           << "cell " << p << " pixel (" << x << "," << y << "): expected "
                           << std::hex << want << ", got " << got;
            }
        return ::testing::AssertionSuccess();
    }
    // Cache index (1-based) of an ASCII character of the list.
    static int K(char c) {
        for (int k = 0; k < 21; ++k)
            if (SevenSegCharList[k] == char32_t(c)) return k + 1;
        return 0;
    }
    // The glyph pixel of cache glyph k at a point of the full-size digit image.
    TColor GlyphAt(int k, int dx, int dy) {
        const TBitmap& cache = seg->ImageCache();
        const int dw = seg->DigitWidth(), ch = cache.Height();
        return cache.Canvas().Pixels((k - 1) * dw + dx * dw / 312, dy * ch / 432);
    }

    std::unique_ptr<TForm> form;
    TSevenSeg* seg = nullptr;
    TBitmap shot;
};

// Centres of the seven segments in the 312 x 432 digit image.
constexpr TPoint kSegCentre[7] = {{194, 19}, {71, 118},  {278, 118}, {157, 216},
                                  {34, 315}, {241, 315}, {120, 413}};

} // namespace

TEST_F(SevenSeg, SegmentPicturesHaveTheirNamesSizesAndFormats) {
    struct Pic {
        const char* Name;
        int W, H;
        TPixelFormat Format;
    };
    for (const Pic& p : {Pic{"SEGHORZ", 200, 38, pf1bit}, Pic{"SEGVERT", 68, 190, pf1bit},
                         Pic{"SEGDOT", 38, 38, pf1bit}, Pic{"SEGPLUS", 200, 190, pf24bit},
                         Pic{"SEGCOLON", 68, 190, pf24bit}, Pic{"SEGDEG", 160, 138, pf24bit}}) {
        TBitmap b;
        b.LoadFromResourceName(p.Name);
        EXPECT_EQ(b.Width(), p.W) << p.Name;
        EXPECT_EQ(b.Height(), p.H) << p.Name;
        EXPECT_EQ(b.PixelFormat(), p.Format) << p.Name;
        // White surround, a black shape over the centre; the colon's centre lies in the gap
        // between its two dots, which stand on the slanted axis above and below it.
        EXPECT_EQ(b.Canvas().Pixels(0, 0), clWhite) << p.Name;
        if (std::string(p.Name) == "SEGCOLON") {
            EXPECT_EQ(b.Canvas().Pixels(47, 25), clBlack);
            EXPECT_EQ(b.Canvas().Pixels(21, 165), clBlack);
            continue;
        }
        EXPECT_EQ(b.Canvas().Pixels(p.W / 2, p.H / 2), clBlack) << p.Name;
    }
}

TEST_F(SevenSeg, DefaultsAndSize) {
    EXPECT_EQ(seg->Width(), 216);
    EXPECT_EQ(seg->Height(), 76);
    EXPECT_EQ(seg->Caption(), "8.8.8.8.");
    EXPECT_EQ(seg->ColorBackGnd(), 0x333333u);
    EXPECT_EQ(seg->ColorText(), clRed);
    EXPECT_EQ(seg->FrameStyle(), fstLowered);
    EXPECT_EQ(seg->NumDigits(), 4);
    EXPECT_EQ(seg->Margin(), 8);
    EXPECT_EQ(seg->InterDigDist(), 2);
    EXPECT_EQ(seg->DigitWidth(), 48);
    EXPECT_EQ(seg->ImageCache().Width(), 21 * 48);
    EXPECT_EQ(seg->ImageCache().Height(), 60);
}

TEST_F(SevenSeg, EightLightsAllSevenSegmentsAndOneOnlyTheRightOnes) {
    for (int s = 0; s < 7; ++s)
        EXPECT_EQ(GlyphAt(K('8'), kSegCentre[s].X, kSegCentre[s].Y), clRed) << "segment " << s + 1;
    const bool lit1[7] = {false, false, true, false, false, true, false};
    for (int s = 0; s < 7; ++s)
        EXPECT_EQ(GlyphAt(K('1'), kSegCentre[s].X, kSegCentre[s].Y) == clRed, lit1[s]) << s + 1;
    // Minus: the middle segment only; the point glyph: the decimal point only.
    EXPECT_EQ(GlyphAt(K('-'), 157, 216), clRed);
    EXPECT_EQ(GlyphAt(K('-'), 194, 19), 0x333333u);
    EXPECT_EQ(GlyphAt(K('.'), 288, 413), clRed);
    EXPECT_EQ(GlyphAt(K('.'), 157, 216), 0x333333u);
    EXPECT_EQ(GlyphAt(K('8'), 288, 413), 0x333333u); // no point on a plain 8
    // Plus, colon and degree sign come from their own pictures.
    EXPECT_EQ(GlyphAt(K('+'), 157, 215), clRed);
    EXPECT_EQ(GlyphAt(K(':'), 169, 146), clRed);          // upper dot of the colon
    EXPECT_EQ(GlyphAt(K(':'), 157, 216) == clRed, false); // only a hairline between the dots
    EXPECT_EQ(GlyphAt(14, 230, 80), clRed);               // lower stroke of the degree ring
}

TEST_F(SevenSeg, EveryGlyphLightsExactlyItsSegments) {
    // Segments 1 top, 2 upper left, 3 upper right, 4 middle, 5 lower left, 6 lower right,
    // 7 bottom; the decimal point is checked apart.
    const struct {
        char Ch;
        const char* Lit;
    } table[] = {{'0', "123567"},  {'1', "36"},     {'2', "13457"},  {'3', "13467"},
                 {'4', "2346"},    {'5', "12467"},  {'6', "124567"}, {'7', "136"},
                 {'8', "1234567"}, {'9', "123467"}, {'-', "4"},      {'A', "123456"},
                 {'B', "24567"},   {'C', "1257"},   {'D', "34567"},  {'E', "12457"},
                 {'F', "1245"},    {'.', ""}};
    for (const auto& g : table) {
        const int k = K(g.Ch);
        ASSERT_GT(k, 0) << g.Ch;
        for (int sgm = 1; sgm <= 7; ++sgm) {
            const bool want = std::string(g.Lit).find(char('0' + sgm)) != std::string::npos;
            const TPoint c = kSegCentre[sgm - 1];
            EXPECT_EQ(GlyphAt(k, c.X, c.Y) == clRed, want) << g.Ch << " segment " << sgm;
        }
        EXPECT_EQ(GlyphAt(k, 288, 413) == clRed, g.Ch == '.') << g.Ch << " point";
    }
    // Lower-case letters show the same glyphs as the upper-case ones.
    seg->SetNumDigits(6);
    seg->SetCaption("abcdef");
    for (int p = 1; p <= 6; ++p) EXPECT_TRUE(CellShows(p, K(char('A' + p - 1)), false)) << p;
}

TEST_F(SevenSeg, ColonDotsStandApartAndTheDegreeRingIsClosed) {
    // The colon: two lit dots with background between them along the whole slanted axis.
    EXPECT_EQ(GlyphAt(K(':'), 169, 146), clRed);
    EXPECT_EQ(GlyphAt(K(':'), 143, 286), clRed);
    TBitmap colon;
    colon.LoadFromResourceName("SEGCOLON");
    int gapRows = 0;
    for (int y = 0; y < colon.Height(); ++y) {
        bool ink = false;
        for (int x = 0; x < colon.Width(); ++x) ink = ink || colon.Canvas().Pixels(x, y) != clWhite;
        if (!ink) ++gapRows;
        // Rows between the dots hold no ink at all: no joining line.
        if (y >= 60 && y <= 130) {
            EXPECT_FALSE(ink) << "colon row " << y;
        }
    }
    EXPECT_GT(gapRows, 60);
    // The degree sign: every ray from the ring's middle meets ink before the picture's edge.
    TBitmap deg;
    deg.LoadFromResourceName("SEGDEG");
    const double cx = 80, cy = 45, slant = 37.0 / 197.0;
    for (int a = 0; a < 360; ++a) {
        bool hit = false;
        for (double r = 0; r < 60 && !hit; r += 0.5) {
            const double v = r * std::sin(a * 3.14159265358979 / 180);
            const double u = r * std::cos(a * 3.14159265358979 / 180);
            const int x = int(std::lround(cx + u + slant * (cy - (cy + v)))),
                      y = int(std::lround(cy + v));
            if (x < 0 || y < 0 || x >= deg.Width() || y >= deg.Height()) break;
            hit = deg.Canvas().Pixels(x, y) != clWhite;
        }
        EXPECT_TRUE(hit) << "a ray at " << a << " degrees leaves the ring through a gap";
    }
    // And the hole stays background in the glyph: at large sizes it shows, never white.
    seg->SetBounds(0, 0, 216 * 4, 76 * 4);
    seg->SetColorBackGnd(clNavy);
    EXPECT_EQ(GlyphAt(14, 150 + 80, 45), clNavy);
}

TEST_F(SevenSeg, DefaultCaptionShowsFourEightsEachWithItsPoint) {
    for (int p = 1; p <= 4; ++p) EXPECT_TRUE(CellShows(p, K('8'), true));
    // The point itself is lit in every cell.
    const TBitmap& s = Shot();
    for (int p = 1; p <= 4; ++p)
        EXPECT_EQ(s.Canvas().Pixels(8 + (p - 1) * 50 + 44, 8 + 57), clRed) << p;
}

TEST_F(SevenSeg, ColonCaptionUsesOneCellPerCharacterAndStopsAtNumDigits) {
    seg->SetWidth(266);
    seg->SetNumDigits(5);
    seg->SetCaption("12:30");
    EXPECT_TRUE(CellShows(1, K('1'), false));
    EXPECT_TRUE(CellShows(2, K('2'), false));
    EXPECT_TRUE(CellShows(3, K(':'), false));
    EXPECT_TRUE(CellShows(4, K('3'), false));
    EXPECT_TRUE(CellShows(5, K('0'), false));

    seg->SetNumDigits(4);
    for (int p = 1; p <= 4; ++p) EXPECT_TRUE(CellShows(p, K("12:3"[p - 1]), false)) << p;
    // Nothing right of the fourth cell: the 0 is not shown.
    const TBitmap& s = Shot();
    const int right = 8 + 4 * (2 + seg->DigitWidth());
    for (int x = right; x < 266 - 8; ++x)
        for (int y = 8; y < 68; ++y) ASSERT_EQ(s.Canvas().Pixels(x, y), 0x333333u) << x << "," << y;
}

TEST_F(SevenSeg, PointAfterADigitJoinsItsCell) {
    seg->SetCaption("3.14");
    EXPECT_TRUE(CellShows(1, K('3'), true));
    EXPECT_TRUE(CellShows(2, K('1'), false));
    EXPECT_TRUE(CellShows(3, K('4'), false));
    EXPECT_TRUE(CellShows(4, 0, false));
    seg->SetCaption("3,1");
    EXPECT_TRUE(CellShows(1, K('3'), true));
    EXPECT_TRUE(CellShows(2, K('1'), false));
}

TEST_F(SevenSeg, LeadingAndRepeatedPointsTakeCellsOfTheirOwn) {
    seg->SetCaption(".5");
    EXPECT_TRUE(CellShows(1, 0, true));
    EXPECT_TRUE(CellShows(2, K('5'), false));
    seg->SetCaption("1..2");
    EXPECT_TRUE(CellShows(1, K('1'), true));
    EXPECT_TRUE(CellShows(2, 0, true));
    EXPECT_TRUE(CellShows(3, K('2'), false));
    seg->SetCaption("..");
    EXPECT_TRUE(CellShows(1, 0, true));
    EXPECT_TRUE(CellShows(2, 0, true));
    EXPECT_TRUE(CellShows(3, 0, false));
}

TEST_F(SevenSeg, LowerCaseLettersUseTheUpperCaseGlyphsAndUnknownCharactersLeaveGaps) {
    seg->SetCaption("abc");
    EXPECT_TRUE(CellShows(1, K('A'), false));
    EXPECT_TRUE(CellShows(2, K('B'), false));
    EXPECT_TRUE(CellShows(3, K('C'), false));
    seg->SetCaption("dGeF");
    EXPECT_TRUE(CellShows(1, K('D'), false));
    EXPECT_TRUE(CellShows(2, 0, false));
    EXPECT_TRUE(CellShows(3, K('E'), false));
    EXPECT_TRUE(CellShows(4, K('F'), false));
}

TEST_F(SevenSeg, DegreeSignIsOneCharacterOfTheUtf8Caption) {
    seg->SetCaption("-5\u00B0C");
    EXPECT_TRUE(CellShows(1, K('-'), false));
    EXPECT_TRUE(CellShows(2, K('5'), false));
    EXPECT_TRUE(CellShows(3, 14, false));
    EXPECT_TRUE(CellShows(4, K('C'), false));
}

TEST_F(SevenSeg, WhiteTextIsDrawnAsAlmostWhite) {
    seg->SetColorText(clWhite);
    EXPECT_EQ(GlyphAt(K('8'), 194, 19), 0xFEFEFEu);
    EXPECT_EQ(Shot().Canvas().Pixels(8 + 29, 8 + 2), 0xFEFEFEu);
    // Back to another colour: the pictures recolour from the near-white they hold.
    seg->SetColorText(clLime);
    EXPECT_EQ(GlyphAt(K('8'), 194, 19), clLime);
    // And a white background keeps the lit segments apart from it.
    seg->SetColorBackGnd(clWhite);
    EXPECT_EQ(GlyphAt(K('8'), 194, 19), clLime);
    EXPECT_EQ(GlyphAt(K('1'), 194, 19), clWhite);
}

TEST_F(SevenSeg, SettersClampAndIgnoreAsDocumented) {
    seg->SetMargin(100);
    EXPECT_EQ(seg->Margin(), 37);
    seg->SetNumDigits(0);
    EXPECT_EQ(seg->NumDigits(), 4);
    seg->SetNumDigits(33);
    EXPECT_EQ(seg->NumDigits(), 4);
    seg->SetNumDigits(32);
    EXPECT_EQ(seg->NumDigits(), 32);
    seg->SetInterDigDist(300);
    EXPECT_EQ(seg->InterDigDist(), 255);
    seg->SetColorScheme(cschSystem);
    EXPECT_EQ(seg->ColGrayLine(), clBtnShadow);
    EXPECT_EQ(seg->ColWhiteLine(), clBtnHighlight);
}

TEST_F(SevenSeg, CellsTooNarrowForAGlyphDrawOnlyBackgroundAndFrame) {
    seg->SetNumDigits(32); // (216 - 16) div 32 - 2 = 4
    EXPECT_EQ(seg->DigitWidth(), 4);
    seg->SetInterDigDist(10); // DW = -4
    EXPECT_LE(seg->DigitWidth(), 0);
    EXPECT_TRUE(seg->ImageCache().Empty());
    const TBitmap& s = Shot();
    for (int y = 2; y < 74; ++y)
        for (int x = 2; x < 214; ++x)
            ASSERT_EQ(s.Canvas().Pixels(x, y), 0x333333u) << x << "," << y;
    EXPECT_EQ(s.Canvas().Pixels(0, 0), clGray); // the frame is still drawn
}

TEST_F(SevenSeg, ResizeRebuildsTheCacheEvenWithAnApplicationResizeHandler) {
    seg->SetBounds(0, 0, 316, 96);
    EXPECT_EQ(seg->DigitWidth(), 73);
    EXPECT_EQ(seg->ImageCache().Width(), 21 * 73);
    EXPECT_TRUE(CellShows(2, K('8'), true));

    int calls = 0;
    seg->SetOnResize([&](TObject*) { ++calls; });
    seg->SetBounds(0, 0, 216, 76);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(CellShows(2, K('8'), true)); // Paint noticed the new size
    EXPECT_EQ(seg->ImageCache().Width(), 21 * 48);
}

TEST_F(SevenSeg, DisplaysThatLookAlikeShareOneGlyphCache) {
    auto* other = new TSevenSeg(form.get());
    other->SetParent(form.get());
    other->SetTop(100);
    EXPECT_EQ(&other->ImageCache(), &seg->ImageCache());
    other->SetColorText(clLime);
    const TBitmap& lime = other->ImageCache();
    EXPECT_NE(&lime, &seg->ImageCache());
    EXPECT_EQ(lime.Canvas().Pixels((K('8') - 1) * 48 + 30, 2), clLime); // top segment of 8
    EXPECT_EQ(GlyphAt(K('8'), 194, 19), clRed);                         // ours unchanged
    other->SetColorText(clRed);
    EXPECT_EQ(&other->ImageCache(), &seg->ImageCache()); // found again, not rebuilt
    // Another size for one of them leaves the other's glyphs alone.
    seg->SetBounds(0, 0, 316, 96);
    EXPECT_EQ(seg->ImageCache().Width(), 21 * 73);
    EXPECT_EQ(other->ImageCache().Width(), 21 * 48);
    EXPECT_TRUE(CellShows(1, K('8'), true));
}

TEST_F(SevenSeg, TheLastGlyphCacheOutlivesItsDisplays) {
    seg->ImageCache();
    seg->SetColorText(clLime); // built last now; red is held by no display any more
    const TBitmap* lime = &seg->ImageCache();
    delete seg;
    seg = nullptr;
    auto again = std::make_unique<TSevenSeg>(form.get());
    again->SetParent(form.get());
    again->SetColorText(clLime);
    EXPECT_EQ(&again->ImageCache(), lime); // kept, though no display held it
    again->SetColorText(clRed);
    const TBitmap& red = again->ImageCache(); // rebuilt: only the last one is kept
    EXPECT_EQ(red.Canvas().Pixels((K('8') - 1) * 48 + 30, 2), clRed);
}

namespace {
// Opens the glyph composition to the test.
class TSevenSegProbe : public TSevenSeg {
  public:
    using TSevenSeg::ColorizeSegments;
    using TSevenSeg::CreateDigit;
    using TSevenSeg::DigitImage;
    using TSevenSeg::TSevenSeg;
};
} // namespace

// The cache is computed from glyph outlines; it must hold exactly the cells that composing each
// glyph at full size and shrinking it with HALFTONE give: cells narrower and wider than the
// picture, one axis unscaled, odd sizes, white ink (drawn 0xFEFEFE) and a system colour.
TEST_F(SevenSeg, CacheCellsAreTheComposedGlyphsShrunkWithHalftone) {
    auto* probe = new TSevenSegProbe(form.get());
    probe->SetMargin(0);
    probe->SetInterDigDist(0);
    probe->SetNumDigits(1);
    struct Case {
        int W, H;
        TColor Ink, Back;
    } cases[] = {{48, 60, clRed, 0x333333},
                 {7, 433, clWhite, clNavy},
                 {312, 97, clLime, clBlack},
                 {101, 432, 0x123456, clBtnFace},
                 {313, 5, clYellow, clWhite}};
    for (const Case& c : cases) {
        probe->SetBounds(0, 0, c.W, c.H);
        probe->SetColorText(c.Ink);
        probe->SetColorBackGnd(c.Back);
        const TBitmap& cache = probe->ImageCache();
        ASSERT_EQ(cache.Width(), 21 * c.W);
        ASSERT_EQ(cache.Height(), c.H);
        probe->ColorizeSegments(c.Ink);
        TBitmap want(21 * c.W, c.H);
        SetStretchBltMode(want.Canvas(), HALFTONE);
        for (int k = 0; k < 21; ++k) {
            probe->CreateDigit(SevenSegCharList[k], false);
            StretchBlt(want.Canvas(), k * c.W, 0, c.W, c.H, probe->DigitImage()->Canvas(), 0, 0,
                       312, 432, cmSrcCopy);
        }
        int bad = 0;
        for (int y = 0; y < c.H && bad == 0; ++y)
            for (int x = 0; x < 21 * c.W; ++x)
                if ((cache.ScanLine(y)[x] & 0xFFFFFF) != (want.ScanLine(y)[x] & 0xFFFFFF)) {
                    ADD_FAILURE() << c.W << "x" << c.H << ": glyph " << x / c.W + 1 << " pixel ("
                                  << x % c.W << "," << y << ") is " << std::hex
                                  << cache.ScanLine(y)[x] << ", composed " << want.ScanLine(y)[x];
                    ++bad;
                    break;
                }
    }
}

TEST_F(SevenSeg, AssignCopiesTheLooksAndRebuilds) {
    TSevenSeg* other = new TSevenSeg(form.get());
    other->SetParent(form.get());
    other->SetTop(100);
    other->SetCaption("F00");
    other->SetColorText(clYellow);
    other->SetColorBackGnd(clNavy);
    other->SetNumDigits(3);
    other->SetMargin(5);
    other->SetInterDigDist(4);
    other->SetFrameStyle(fstRaised);
    other->SetColorScheme(cschSystem);
    seg->Assign(other);
    EXPECT_EQ(seg->Caption(), "F00");
    EXPECT_EQ(seg->ColorText(), clYellow);
    EXPECT_EQ(seg->ColorBackGnd(), clNavy);
    EXPECT_EQ(seg->NumDigits(), 3);
    EXPECT_EQ(seg->Margin(), 5);
    EXPECT_EQ(seg->InterDigDist(), 4);
    EXPECT_EQ(seg->FrameStyle(), fstRaised);
    EXPECT_EQ(seg->ColorScheme(), cschSystem);
    EXPECT_EQ(seg->ColGrayLine(), clBtnShadow);
    EXPECT_EQ(GlyphAt(K('F'), 194, 19), clYellow);
    EXPECT_TRUE(CellShows(1, K('F'), false));

    // AssignTo goes the other way; a foreign source is refused by the framework.
    seg->SetCaption("42");
    TPersistent* asPersistent = other;
    seg->AssignTo(asPersistent);
    EXPECT_EQ(other->Caption(), "42");
    TFont f;
    EXPECT_ANY_THROW(seg->Assign(&f));
}

TEST_F(SevenSeg, ReferenceImages) {
    EXPECT_TRUE(test::MatchesReference(Shot(), "gauges/ref/sevenseg_default"));

    seg->SetBounds(0, 0, 266, 76);
    seg->SetNumDigits(5);
    seg->SetCaption("12:30");
    seg->SetColorText(clLime);
    seg->SetColorBackGnd(clBlack);
    seg->SetFrameStyle(fstRaised);
    EXPECT_TRUE(test::MatchesReference(Shot(), "gauges/ref/sevenseg_clock"));

    seg->SetBounds(0, 0, 360, 110);
    seg->SetNumDigits(6);
    seg->SetCaption("-2.5\u00B0c+:");
    seg->SetColorText(clWhite);
    seg->SetColorBackGnd(clNavy);
    seg->SetMargin(12);
    seg->SetInterDigDist(6);
    seg->SetFrameStyle(fstEmbossed);
    EXPECT_TRUE(test::MatchesReference(Shot(), "gauges/ref/sevenseg_signs"));
}
