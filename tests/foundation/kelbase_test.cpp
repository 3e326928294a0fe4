// Base services: frame pixels of every style, the mask property of frames, the marker symbols
// (one reference image, centring, distinctness, drawing with the pen), the outline rectangle,
// and the name tables.

#include "Kel_kelbase.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace kel {
namespace {

using PixelSet = std::set<std::pair<int, int>>;

constexpr TColor kC1 = 0x0000FF, kC2 = 0x00FF00, kC3 = 0xFF0000, kC4 = 0x00FFFF, kC5 = 0xFF00FF;
constexpr TColor kBg = 0x404040;

PixelSet NonBackground(const TBitmap& bmp, TColor bg) {
    PixelSet s;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Canvas().Pixels(x, y) != bg) s.insert({x, y});
    return s;
}

// The ring through the inclusive corners, computed without the drawing code.
void AddRing(PixelSet& s, int l, int t, int r, int b) {
    for (int x = l; x <= r; ++x)
        for (int y = t; y <= b; ++y)
            if (x == l || x == r || y == t || y == b) s.insert({x, y});
}

int CodePoints(const std::string& s) {
    int n = 0;
    for (unsigned char ch : s) n += (ch & 0xC0) != 0x80;
    return n;
}

// Colours of ring 0 and ring 1 for each style: top-left, bottom-right (0 = not drawn).
struct StyleColours {
    TColor o1, o2, i1, i2;
};
const StyleColours kStyles[NumFrameStyles] = {
    {0, 0, 0, 0},         {kC3, kC1, 0, 0},     {kC3, kC1, kC4, kC2},
    {kC2, kC4, kC1, kC3}, {kC1, kC3, kC3, kC1}, {kC5, kC5, 0, 0},
};

TEST(KelBase, FrameCornersAndEdgesTakeTheColoursOfTheirStyle) {
    for (int st = 0; st < NumFrameStyles; ++st) {
        SCOPED_TRACE("style " + std::to_string(st));
        TBitmap bmp;
        test::Fill(bmp, 16, 13, kBg);
        DrawFrame(bmp.Canvas(), TFrameStyle(st), 2, 2, 13, 10, kC1, kC2, kC3, kC4, kC5);
        const StyleColours& c = kStyles[st];
        auto at = [&](int x, int y) { return bmp.Canvas().Pixels(x, y); };
        TColor o1 = c.o1 ? c.o1 : kBg, o2 = c.o2 ? c.o2 : kBg;
        TColor i1 = c.i1 ? c.i1 : kBg, i2 = c.i2 ? c.i2 : kBg;
        // Outer ring: top-left corner and edges, then the three corners owned by bottom-right.
        EXPECT_EQ(at(2, 2), o1);
        EXPECT_EQ(at(7, 2), o1);
        EXPECT_EQ(at(2, 6), o1);
        EXPECT_EQ(at(13, 2), o2);
        EXPECT_EQ(at(2, 10), o2);
        EXPECT_EQ(at(13, 10), o2);
        EXPECT_EQ(at(7, 10), o2);
        EXPECT_EQ(at(13, 6), o2);
        // Inner ring.
        EXPECT_EQ(at(3, 3), i1);
        EXPECT_EQ(at(7, 3), i1);
        EXPECT_EQ(at(12, 3), i2);
        EXPECT_EQ(at(3, 9), i2);
        EXPECT_EQ(at(12, 9), i2);
        // Inside and outside stay untouched.
        EXPECT_EQ(at(7, 6), kBg);
        EXPECT_EQ(at(4, 4), kBg);
        EXPECT_EQ(at(1, 1), kBg);
        EXPECT_EQ(at(14, 11), kBg);
    }
}

TEST(KelBase, FrameDrawnInBlackOnAMaskCoversExactlyTheFramePixels) {
    const int boxes[][4] = {{1, 1, 10, 8}, {0, 0, 19, 14}, {3, 2, 5, 4}, {2, 2, 3, 3},
                            {4, 4, 4, 9},  {2, 5, 12, 5},  {6, 6, 6, 6}};
    for (int st = 0; st < NumFrameStyles; ++st)
        for (const auto& b : boxes) {
            SCOPED_TRACE("style " + std::to_string(st) + " box " + std::to_string(b[0]) + "," +
                         std::to_string(b[1]) + "," + std::to_string(b[2]) + "," +
                         std::to_string(b[3]));
            TBitmap mask;
            test::Fill(mask, 20, 15, clWhite);
            DrawFrame(mask.Canvas(), TFrameStyle(st), b[0], b[1], b[2], b[3], clBlack, clBlack,
                      clBlack, clBlack, clBlack);
            PixelSet expected;
            if (st != fstNone) AddRing(expected, b[0], b[1], b[2], b[3]);
            bool twoRings = st == fstLowered || st == fstRaised || st == fstEmbossed;
            if (twoRings && b[0] + 1 <= b[2] - 1 && b[1] + 1 <= b[3] - 1)
                AddRing(expected, b[0] + 1, b[1] + 1, b[2] - 1, b[3] - 1);
            EXPECT_EQ(NonBackground(mask, clWhite), expected);
        }
}

TEST(KelBase, FrameRestoresThePenAndIgnoresReversedCorners) {
    TBitmap bmp;
    test::Fill(bmp, 10, 10, kBg);
    TCanvas& cv = bmp.Canvas();
    cv.Pen().SetColor(clYellow);
    cv.Pen().SetWidth(3);
    cv.Pen().SetMode(pmXor);
    cv.MoveTo(5, 6);
    DrawFrame(cv, fstRaised, 1, 1, 8, 8, kC1, kC2, kC3, kC4, kC5);
    EXPECT_EQ(cv.Pen().Color(), clYellow);
    EXPECT_EQ(cv.Pen().Width(), 3);
    EXPECT_EQ(cv.Pen().Mode(), pmXor);
    EXPECT_EQ(cv.PenPos(), Point(5, 6));
    EXPECT_EQ(cv.Pixels(1, 1), kC2) << "frames are copied, whatever the pen's mode";
    TBitmap other;
    test::Fill(other, 10, 10, kBg);
    DrawFrame(other.Canvas(), fstLowered, 8, 1, 1, 8, kC1, kC2, kC3, kC4, kC5);
    EXPECT_TRUE(NonBackground(other, kBg).empty());
    EXPECT_THROW(DrawFrame(other.Canvas(), TFrameStyle(6), 1, 1, 8, 8, 0, 0, 0, 0, 0), EKELError);
}

TEST(KelBase, MarkersAreCentredWithinTheirRadiusAndAllDistinct) {
    for (int m = 0; m < NumMarkers; ++m) {
        SCOPED_TRACE("marker " + std::to_string(m));
        TMarkShape s = MarkShape(m);
        ASSERT_GT(s.Count(), 0);
        int minX = 99, maxX = -99, minY = 99, maxY = -99;
        for (int dy = -MarkerRadius; dy <= MarkerRadius; ++dy)
            for (int dx = -MarkerRadius; dx <= MarkerRadius; ++dx)
                if (s.Lit(dx, dy)) {
                    minX = std::min(minX, dx), maxX = std::max(maxX, dx);
                    minY = std::min(minY, dy), maxY = std::max(maxY, dy);
                }
        EXPECT_EQ(minX, -maxX);
        EXPECT_EQ(minY, -maxY);
        for (int n = 0; n < m; ++n) EXPECT_NE(MarkShape(n), s) << "same as marker " << n;
    }
    EXPECT_EQ(MarkShape(0).Count(), 1);
    EXPECT_EQ(MarkShape(5).Count(), 49); // filled 7 x 7 square
    EXPECT_EQ(MarkShape(4).Count(), 24); // its outline
    EXPECT_EQ(MarkShape(52).Count(), 0);
    EXPECT_EQ(MarkShape(-1).Count(), 0);
}

TEST(KelBase, MarkerDrawsItsShapeWithThePenColourAtTheReferencePoint) {
    for (int m : {0, 3, 7, 14, 31, 46, 51}) {
        SCOPED_TRACE("marker " + std::to_string(m));
        TBitmap bmp;
        test::Fill(bmp, 20, 20, kBg);
        bmp.Canvas().Pen().SetColor(clRed);
        bmp.Canvas().Pen().SetWidth(4);
        DrawMarkOnCanvas(bmp.Canvas(), m, 9, 11);
        PixelSet expected;
        TMarkShape s = MarkShape(m);
        for (int dy = -MarkerRadius; dy <= MarkerRadius; ++dy)
            for (int dx = -MarkerRadius; dx <= MarkerRadius; ++dx)
                if (s.Lit(dx, dy)) expected.insert({9 + dx, 11 + dy});
        EXPECT_EQ(NonBackground(bmp, kBg), expected);
        EXPECT_EQ(test::PixelsOf(bmp, clRed).empty(), expected.empty()) << "drawn in red";
        EXPECT_EQ(bmp.Canvas().Pen().Width(), 4);
    }
}

TEST(KelBase, MarkerInXorModeWritesEachPixelOnceSoASecondDrawErasesIt) {
    TBitmap bmp;
    test::Fill(bmp, 20, 20, kBg);
    bmp.Canvas().Pen().SetColor(clWhite);
    bmp.Canvas().Pen().SetMode(pmXor);
    for (int m = 0; m < NumMarkers; ++m) {
        DrawMarkOnCanvas(bmp.Canvas(), m, 10, 10);
        EXPECT_EQ(NonBackground(bmp, kBg).size(), std::size_t(MarkShape(m).Count())) << m;
        DrawMarkOnCanvas(bmp.Canvas(), m, 10, 10);
        EXPECT_TRUE(NonBackground(bmp, kBg).empty()) << m;
    }
    DrawMarkOnCanvas(bmp.Canvas(), 52, 10, 10);
    DrawMarkOnCanvas(bmp.Canvas(), 255, 10, 10);
    EXPECT_TRUE(NonBackground(bmp, kBg).empty()) << "unknown markers draw nothing";
}

TEST(KelBase, AllFramesAndMarkersMatchTheReferenceImage) {
    // Row of the six frame styles, then the 52 markers in 13 columns of 16-pixel cells.
    TBitmap bmp;
    test::Fill(bmp, 13 * 16 + 4, 30 + 4 * 16 + 4, clSilver);
    for (int st = 0; st < NumFrameStyles; ++st)
        DrawFrame(bmp.Canvas(), TFrameStyle(st), 4 + st * 34, 4, 4 + st * 34 + 29, 25, clWhite,
                  clSilver, clGray, clBlack, clNavy);
    bmp.Canvas().Pen().SetColor(clBlack);
    for (int m = 0; m < NumMarkers; ++m)
        DrawMarkOnCanvas(bmp.Canvas(), m, 2 + 8 + (m % 13) * 16, 30 + 8 + (m / 13) * 16);
    EXPECT_TRUE(test::MatchesReference(bmp, "foundation/ref/kelbase_frames_markers"));
    // A four-times enlargement for looking at by eye.
    TBitmap big(bmp.Width() * 4, bmp.Height() * 4);
    big.Canvas().StretchDraw(Rect(0, 0, big.Width(), big.Height()), bmp);
    test::WriteOutput(big, "foundation/kelbase_frames_markers_x4");
}

TEST(KelBase, RectangleOutlineCoversTheInclusiveCornersOnce) {
    TBitmap bmp;
    test::Fill(bmp, 12, 10, kBg);
    TCanvas& cv = bmp.Canvas();
    cv.Pen().SetColor(clWhite);
    cv.Pen().SetMode(pmXor);
    DrawRectangle(cv, 8, 7, 2, 1); // corners in any order
    PixelSet expected;
    AddRing(expected, 2, 1, 8, 7);
    EXPECT_EQ(NonBackground(bmp, kBg), expected);
    DrawRectangle(cv, 8, 7, 2, 1);
    EXPECT_TRUE(NonBackground(bmp, kBg).empty());
    DrawRectangle(cv, 3, 2, 3, 6); // a vertical line
    PixelSet line;
    AddRing(line, 3, 2, 3, 6);
    EXPECT_EQ(NonBackground(bmp, kBg), line);
}

TEST(KelBase, NameTablesFitTheirLengthsInEveryLanguage) {
    for (int lg = 0; lg < NumLanguages; ++lg) {
        for (int d = 0; d < 7; ++d) {
            EXPECT_GE(CodePoints(WeekDayShort[lg][d]), 2);
            EXPECT_LE(CodePoints(WeekDayShort[lg][d]), 3) << WeekDayShort[lg][d];
        }
        for (int m = 1; m <= 12; ++m) {
            EXPECT_GE(CodePoints(MonthShort[lg][m]), 3);
            EXPECT_LE(CodePoints(MonthShort[lg][m]), 4) << MonthShort[lg][m];
            EXPECT_GE(CodePoints(MonthLong[lg][m]), 3);
            EXPECT_LE(CodePoints(MonthLong[lg][m]), 10) << MonthLong[lg][m];
        }
    }
    EXPECT_EQ(WeekDayShort[lgEnglish][0], "Mon");
    EXPECT_EQ(WeekDayShort[lgGerman][6], "So");
    EXPECT_EQ(WeekDayShort[lgSpanish][5], "Sáb");
    EXPECT_EQ(MonthShort[lgFrench][2], "Févr");
    EXPECT_EQ(MonthLong[lgSpanish][9], "Septiembre");
    EXPECT_EQ(MonthLong[lgGerman][3], "März");
    EXPECT_EQ(MonthLong[lgEnglish][12], "December");
}

TEST(KelBase, EnumerationOrdinalsMatchTheirUses) {
    EXPECT_EQ(int(fstNone), 0);
    EXPECT_EQ(int(fstSimple), 5);
    EXPECT_EQ(int(dpsPointOrComma), 3);
    EXPECT_EQ(int(drUp), 0);
    EXPECT_EQ(int(drRight), 3);
    EXPECT_EQ(int(orHorizontal), 1);
    EXPECT_EQ(int(lgEnglish), 1);
    EXPECT_EQ(int(lgSpanish), 4);
    EXPECT_EQ(int(bfTile), 2);
    std::set<char> delims;
    for (auto d : {csvComma, csvSemicolon, csvTab, csvColon, csvPipe})
        delims.insert(CSVDelimiterChar(d));
    EXPECT_EQ(delims, (std::set<char>{',', ';', '\t', ':', '|'}));
    TColor dark = 0, light = 0;
    SchemeLineColors(cschClassic, dark, light);
    EXPECT_EQ(dark, clGray);
    EXPECT_EQ(light, clWhite);
    SchemeLineColors(TColorScheme(2), dark, light);
    EXPECT_EQ(dark, clBtnShadow);
    EXPECT_EQ(light, clBtnHighlight);
}

} // namespace
} // namespace kel
