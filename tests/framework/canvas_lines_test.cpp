// Thin and wide lines: the grid-intersection rule with its tie-breaking, excluded end points,
// dash patterns, wide bands with round caps, the sixteen pen modes, clipping and the origin,
// and coordinates far outside the surface.
#include "canvas_test_util.h"

#include <climits>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::Pic;
using kel::test::Surface;

TEST(CanvasLines, XMajorLineRoundsToNearestAndSkipsEndPoint) {
    Surface s(8, 3);
    s.canvas.MoveTo(0, 0);
    s.canvas.LineTo(6, 2);
    EXPECT_EQ(s.Art(clBlack), Pic({"##......", "..###...", ".....#.."}));
    EXPECT_EQ(s.canvas.PenPos(), Point(6, 2));
}

TEST(CanvasLines, TiesGoUpwardWhicheverWayTheLineRuns) {
    Surface a(5, 2), b(5, 2);
    a.canvas.MoveTo(0, 0);
    a.canvas.LineTo(4, 1);
    b.canvas.MoveTo(4, 1);
    b.canvas.LineTo(0, 0);
    EXPECT_EQ(a.Art(clBlack), Pic({"###..", "...#."}));
    EXPECT_EQ(b.Art(clBlack), Pic({".##..", "...##"}));
}

TEST(CanvasLines, YMajorTiesGoLeft) {
    Surface a(2, 5), b(2, 5);
    a.canvas.MoveTo(0, 0);
    a.canvas.LineTo(1, 4);
    b.canvas.MoveTo(1, 4);
    b.canvas.LineTo(0, 0);
    EXPECT_EQ(a.Art(clBlack), Pic({"#.", "#.", "#.", ".#", ".."}));
    EXPECT_EQ(b.Art(clBlack), Pic({"..", "#.", "#.", ".#", ".#"}));
}

TEST(CanvasLines, DiagonalsHorizontalsAndZeroLength) {
    Surface s(6, 6);
    s.canvas.MoveTo(5, 5);
    s.canvas.LineTo(1, 1); // (5,5)..(2,2)
    s.canvas.MoveTo(0, 0);
    s.canvas.LineTo(0, 0); // nothing
    s.canvas.MoveTo(5, 0);
    s.canvas.LineTo(2, 0); // (5,0)..(3,0)
    EXPECT_EQ(s.Art(clBlack), Pic({"...###", "......", "..#...", "...#..", "....#.", ".....#"}));
}

TEST(CanvasLines, PolylineSkipsFinalPointAndKeepsPenPosition) {
    Surface s(6, 4);
    s.canvas.MoveTo(5, 3);
    const TPoint pts[] = {{0, 0}, {3, 0}, {3, 3}};
    s.canvas.Polyline(pts);
    EXPECT_EQ(s.Art(clBlack), Pic({"####..", "...#..", "...#..", "......"}));
    EXPECT_EQ(s.canvas.PenPos(), Point(5, 3));
}

TEST(CanvasLines, DotPatternCarriesAcrossSegmentsAndRestartsPerCall) {
    Surface s(14, 3);
    s.canvas.Pen().SetStyle(psDot);
    s.canvas.Brush().SetStyle(bsClear); // transparent gaps
    const TPoint pts[] = {{0, 0}, {4, 0}, {13, 0}};
    s.canvas.Polyline(pts);
    s.canvas.MoveTo(0, 2);
    s.canvas.LineTo(4, 2);
    s.canvas.LineTo(13, 2); // a new call: the pattern starts again
    EXPECT_EQ(s.Art(clBlack), Pic({"###...###...#.", "..............", "###.###...###."}));
}

TEST(CanvasLines, DashGapsTakeTheBrushColourOnlyWithASolidBrush) {
    Surface s(30, 2, clGray);
    s.canvas.Pen().SetStyle(psDash);
    s.canvas.Brush().SetColor(clWhite);
    s.canvas.MoveTo(0, 0);
    s.canvas.LineTo(30, 0);
    s.canvas.Brush().SetStyle(bsClear);
    s.canvas.MoveTo(0, 1);
    s.canvas.LineTo(30, 1);
    EXPECT_EQ(s.Art(clBlack, clWhite),
              Pic({"##################oooooo######", "##################......######"}));
}

TEST(CanvasLines, WidePensAreBandsWithRoundCapsPastBothEnds) {
    Surface s(16, 9);
    s.canvas.Pen().SetWidth(3);
    s.canvas.MoveTo(3, 2);
    s.canvas.LineTo(12, 2);
    s.canvas.Pen().SetWidth(4); // even: the extra row goes to the top
    s.canvas.MoveTo(3, 6);
    s.canvas.LineTo(12, 6);
    // w=3: rows 1..3; the caps reach 1.5 past the ends, so one more column on each side.
    // w=4: centred half a pixel up and left, rows 4..7, the caps rounder.
    EXPECT_EQ(s.Art(clBlack), Pic({"................", "..############..", "..############..",
                                   "..############..", "..###########...", ".#############..",
                                   ".#############..", "..###########...", "................"}));
}

TEST(CanvasLines, WidePolylineJoinsPaintEachPixelOnceInXorMode) {
    Surface s(20, 20, clBlack);
    s.canvas.Pen().SetWidth(5);
    s.canvas.Pen().SetColor(clWhite);
    s.canvas.Pen().SetMode(pmXor);
    const TPoint pts[] = {{3, 3}, {15, 4}, {10, 16}, {4, 12}};
    s.canvas.Polyline(pts);
    // A pixel painted twice would be black again inside the band: the band has no holes.
    Surface once(20, 20, clBlack);
    once.canvas.Pen().SetWidth(5);
    once.canvas.Pen().SetColor(clWhite);
    once.canvas.Polyline(pts);
    EXPECT_EQ(s.px, once.px);
    EXPECT_GT(once.Count(clWhite), 100);
}

// Expected result of each pen mode, written out per mode rather than through the generic form.
static std::uint32_t ExpectedMix(TPenMode m, std::uint32_t P, std::uint32_t D) {
    std::uint32_t r = 0;
    switch (m) {
    case pmBlack:
        r = 0;
        break;
    case pmNotMerge:
        r = ~(P | D);
        break;
    case pmMaskNotPen:
        r = ~P & D;
        break;
    case pmNotCopy:
        r = ~P;
        break;
    case pmMaskPenNot:
        r = P & ~D;
        break;
    case pmNot:
        r = ~D;
        break;
    case pmXor:
        r = P ^ D;
        break;
    case pmNotMask:
        r = ~(P & D);
        break;
    case pmMask:
        r = P & D;
        break;
    case pmNotXor:
        r = ~(P ^ D);
        break;
    case pmNop:
        r = D;
        break;
    case pmMergeNotPen:
        r = ~P | D;
        break;
    case pmCopy:
        r = P;
        break;
    case pmMergePenNot:
        r = P | ~D;
        break;
    case pmMerge:
        r = P | D;
        break;
    case pmWhite:
        r = 0xFFFFFF;
        break;
    }
    return r & 0xFFFFFF;
}

TEST(CanvasLines, EveryPenModeFollowsItsFormula) {
    const std::uint32_t dst[4] = {0x00000000, 0x00FFFFFF, 0x0012F05A, 0x00A5C3E1};
    const TColor pen = 0x00336699; // pixel 0x996633
    for (int m = pmBlack; m <= pmWhite; ++m) {
        Surface s(4, 1);
        for (int i = 0; i < 4; ++i) s.px[i] = dst[i];
        s.canvas.Pen().SetColor(pen);
        s.canvas.Pen().SetMode(TPenMode(m));
        s.canvas.MoveTo(0, 0);
        s.canvas.LineTo(4, 0);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(s.px[i], ExpectedMix(TPenMode(m), ColorToPixel(pen), dst[i]))
                << "mode " << m << " pixel " << i;
    }
}

TEST(CanvasLines, ClippedLineLightsTheUnclippedPixelsInsideTheClip) {
    const TPoint ends[][2] = {{{-7, 3}, {25, 14}}, {{18, 1}, {2, 19}}, {{5, -9}, {7, 30}}};
    for (auto& e : ends) {
        Surface full(20, 20), clipped(20, 20);
        full.canvas.MoveTo(e[0].X, e[0].Y);
        full.canvas.LineTo(e[1].X, e[1].Y);
        clipped.canvas.SetClipRect(Rect(4, 5, 13, 11));
        clipped.canvas.MoveTo(e[0].X, e[0].Y);
        clipped.canvas.LineTo(e[1].X, e[1].Y);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool in = x >= 4 && x < 13 && y >= 5 && y < 11;
                EXPECT_EQ(clipped.At(x, y), in ? full.At(x, y) : ColorToPixel(clWhite))
                    << x << "," << y;
            }
    }
}

TEST(CanvasLines, OriginShiftsDrawingAndClipIsLogical) {
    Surface s(10, 10);
    s.canvas.SetOrigin(Point(3, 2));
    s.canvas.SetClipRect(Rect(0, 0, 4, 4)); // surface 3..6 x 2..5
    s.canvas.MoveTo(-2, 1);
    s.canvas.LineTo(9, 1);
    EXPECT_EQ(s.NotEqual(clWhite), "3,3 4,3 5,3 6,3 ");
    EXPECT_EQ(s.canvas.Pixels(0, 1), clBlack);
    EXPECT_EQ(s.canvas.Pixels(5, 1), 0xFFFFFFFFu); // outside the clip
}

TEST(CanvasLines, FarOffAndHugeCoordinatesDrawOnlyTheVisiblePart) {
    Surface s(16, 16);
    s.canvas.MoveTo(-1000000000, -1000000000);
    s.canvas.LineTo(1000000000, 1000000000);
    std::string diag;
    for (int i = 0; i < 16; ++i) diag += std::to_string(i) + "," + std::to_string(i) + " ";
    EXPECT_EQ(s.NotEqual(clWhite), diag);

    Surface t(16, 16);
    t.canvas.SetOrigin(Point(INT_MAX, INT_MIN));
    t.canvas.MoveTo(INT_MIN, INT_MAX);
    t.canvas.LineTo(INT_MAX, INT_MIN);
    t.canvas.Pen().SetWidth(7);
    t.canvas.LineTo(INT_MIN, INT_MIN);
    t.canvas.SetOrigin(Point(0, 0));
    t.canvas.MoveTo(INT_MIN, 5);
    t.canvas.LineTo(INT_MAX, 5);
    // The wide horizontal line: rows 2..8 whole, nothing else.
    EXPECT_EQ(t.Count(clBlack), 16 * 7);
}
