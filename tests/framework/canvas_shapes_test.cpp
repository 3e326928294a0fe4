// Closed shapes and fills: exact pixel sets of rectangles, polygons, ellipses, arcs, pies and
// chords at their edges, clear pens, wide and inside-frame pens, mix modes over interiors,
// FillRect and FrameRect, flood fill, and clipping that never changes which pixels a shape
// lights.
#include "canvas_test_util.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>

using namespace kel;
using kel::test::Pic;
using kel::test::Surface;

// Pen black, brush red ('o' in the pictures).
static void Ink(Surface& s) {
    s.canvas.Pen().SetColor(clBlack);
    s.canvas.Brush().SetColor(clRed);
}

TEST(CanvasShapes, RectangleOutlinesLastColumnAndRowAndFillsInside) {
    Surface s(7, 6);
    Ink(s);
    s.canvas.Rectangle(1, 1, 6, 5);
    const std::string pic = Pic({".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."});
    EXPECT_EQ(s.Art(clBlack, clRed), pic);
    Surface r(7, 6);
    Ink(r);
    r.canvas.Rectangle(6, 5, 1, 1); // corners in any order
    EXPECT_EQ(r.Art(clBlack, clRed), pic);
}

TEST(CanvasShapes, RectangleWithClearPenFillsOnePixelLessRightAndBottom) {
    Surface s(7, 6);
    Ink(s);
    s.canvas.Pen().SetStyle(psClear);
    s.canvas.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(s.Art(clBlack, clRed),
              Pic({".......", ".oooo..", ".oooo..", ".oooo..", ".......", "......."}));
}

TEST(CanvasShapes, DegenerateRectanglesAreLinesOrNothing) {
    Surface s(6, 4);
    Ink(s);
    s.canvas.Rectangle(1, 1, 2, 4); // one column
    s.canvas.Rectangle(3, 2, 6, 3); // one row
    s.canvas.Rectangle(4, 0, 4, 3); // empty
    EXPECT_EQ(s.Art(clBlack, clRed), Pic({"......", ".#....", ".#.###", ".#...."}));
}

TEST(CanvasShapes, PolygonThroughCornerPixelsMatchesRectangle) {
    Surface s(7, 6), c(7, 6);
    Ink(s);
    Ink(c);
    const TPoint pts[] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    s.canvas.Polygon(pts);
    Surface r(7, 6);
    Ink(r);
    r.canvas.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(s.px, r.px);
    c.canvas.Pen().SetStyle(psClear);
    c.canvas.Polygon(pts);
    EXPECT_EQ(c.Art(clBlack, clRed),
              Pic({".......", ".oooo..", ".oooo..", ".oooo..", ".......", "......."}));
}

TEST(CanvasShapes, PolygonTopLeftRuleOnSlopedEdges) {
    Surface s(8, 6);
    Ink(s);
    s.canvas.Pen().SetStyle(psClear);
    const TPoint tri[] = {{0, 0}, {6, 0}, {0, 6}};
    s.canvas.Polygon(tri);
    // Row y covers centres with 0 <= x < 6 - y: the hypotenuse itself is excluded.
    EXPECT_EQ(s.Art(clBlack, clRed),
              Pic({"oooooo..", "ooooo...", "oooo....", "ooo.....", "oo......", "o......."}));
}

TEST(CanvasShapes, StarCentreIsEmptyInAlternateModeAndFilledInWinding) {
    const TPoint star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    Surface a(21, 21), w(21, 21);
    Ink(a);
    Ink(w);
    a.canvas.Pen().SetStyle(psClear);
    w.canvas.Pen().SetStyle(psClear);
    a.canvas.Polygon(star);
    w.canvas.SetPolyFillMode(WINDING);
    w.canvas.Polygon(star);
    EXPECT_EQ(a.ColorAt(10, 11), clWhite);
    EXPECT_EQ(w.ColorAt(10, 11), clRed);
    EXPECT_EQ(a.ColorAt(10, 3), clRed); // a point of the star is filled in both
    EXPECT_EQ(w.ColorAt(10, 3), clRed);
}

TEST(CanvasShapes, EllipseTenByTenIsRoundSymmetricAndTouchesTheBox) {
    Surface s(20, 20);
    Ink(s);
    s.canvas.Ellipse(5, 5, 15, 15);
    EXPECT_EQ(s.Art(clBlack, clRed),
              Pic({"....................", "....................", "....................",
                   "....................", "....................", "........####........",
                   ".......#oooo#.......", "......#oooooo#......", ".....#oooooooo#.....",
                   ".....#oooooooo#.....", ".....#oooooooo#.....", ".....#oooooooo#.....",
                   "......#oooooo#......", ".......#oooo#.......", "........####........",
                   "....................", "....................", "....................",
                   "....................", "...................."}));
}

TEST(CanvasShapes, TinyEllipses) {
    Surface s(12, 4);
    Ink(s);
    s.canvas.Ellipse(0, 0, 1, 1);  // one pixel
    s.canvas.Ellipse(2, 0, 4, 2);  // 2x2: all four
    s.canvas.Ellipse(5, 0, 8, 3);  // 3x3: a diamond round one interior pixel
    s.canvas.Ellipse(9, 0, 12, 2); // 3x2
    EXPECT_EQ(s.Art(clBlack, clRed),
              Pic({"#.##..#..###", "..##.#o#.###", "......#.....", "............"}));
}

TEST(CanvasShapes, EllipsesOfEverySmallSizeAreSymmetricClosedAndTouchEachPixelOnce) {
    for (int w = 1; w <= 24; ++w)
        for (int h = 1; h <= 24; h += (w % 5) + 1) {
            Surface copy(30, 30, clBlack), xr(30, 30, clBlack);
            copy.canvas.Pen().SetColor(clWhite);
            copy.canvas.Brush().SetColor(clWhite);
            copy.canvas.Ellipse(3, 3, 3 + w, 3 + h);
            xr.canvas.Pen().SetColor(clWhite);
            xr.canvas.Brush().SetColor(clWhite);
            xr.canvas.Pen().SetMode(pmXor);
            xr.canvas.Ellipse(3, 3, 3 + w, 3 + h);
            ASSERT_EQ(copy.px, xr.px) << w << "x" << h; // outline and interior are disjoint
            // Inside the box, touching all four sides, mirror-symmetric both ways.
            bool left = false, right = false, top = false, bottom = false;
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 30; ++x) {
                    const bool on = copy.At(x, y) != 0;
                    if (!on) continue;
                    ASSERT_TRUE(x >= 3 && x < 3 + w && y >= 3 && y < 3 + h) << w << "x" << h;
                    left |= x == 3;
                    right |= x == 2 + w;
                    top |= y == 3;
                    bottom |= y == 2 + h;
                    ASSERT_NE(copy.At(5 + w - x, y), 0u) << w << "x" << h;
                    ASSERT_NE(copy.At(x, 5 + h - y), 0u) << w << "x" << h;
                }
            EXPECT_TRUE(left && right && top && bottom) << w << "x" << h;
        }
}

TEST(CanvasShapes, EllipseOutlineIsOneEightConnectedCurve) {
    for (int w = 3; w <= 40; w += 3) {
        const int h = 4 + (w * 7) % 23;
        Surface s(48, 32);
        s.canvas.Brush().SetStyle(bsClear);
        s.canvas.Ellipse(2, 2, 2 + w, 2 + h);
        // Flood the outline through 8-neighbours from its first pixel: it must reach them all.
        std::vector<TPoint> todo;
        for (int i = 0; i < 48 * 32 && todo.empty(); ++i)
            if (s.px[std::size_t(i)] == 0) todo.push_back(Point(i % 48, i / 48));
        int reached = 0;
        while (!todo.empty()) {
            const TPoint p = todo.back();
            todo.pop_back();
            if (s.At(p.X, p.Y) != 0) continue;
            s.px[std::size_t(p.Y) * 48 + p.X] = 0x00FF00;
            ++reached;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) todo.push_back(Point(p.X + dx, p.Y + dy));
        }
        EXPECT_EQ(s.Count(clBlack), 0) << w << "x" << h;
        EXPECT_GE(reached, w + h) << w << "x" << h;
    }
}

TEST(CanvasShapes, EllipseWithClearPenFillsTheShapeOnePixelSmaller) {
    Surface a(12, 12), b(12, 12);
    Ink(a);
    Ink(b);
    a.canvas.Pen().SetStyle(psClear);
    a.canvas.Ellipse(1, 1, 11, 11);
    b.canvas.Pen().SetColor(clRed);
    b.canvas.Ellipse(1, 1, 10, 10);
    EXPECT_EQ(a.px, b.px);
}

TEST(CanvasShapes, RoundRectCornersAreQuarterEllipses) {
    Surface s(14, 8);
    Ink(s);
    s.canvas.RoundRect(1, 1, 13, 7, 4, 4);
    EXPECT_EQ(s.Art(clBlack, clRed),
              Pic({"..............", "..##########..", ".#oooooooooo#.", ".#oooooooooo#.",
                   ".#oooooooooo#.", ".#oooooooooo#.", "..##########..", ".............."}));
    // Corners as large as the box make an ellipse.
    Surface e(14, 8), r(14, 8);
    Ink(e);
    Ink(r);
    e.canvas.Ellipse(1, 1, 13, 7);
    r.canvas.RoundRect(1, 1, 13, 7, 12, 6);
    EXPECT_EQ(e.px, r.px);
}

TEST(CanvasShapes, PieGoesCounterClockwiseFromStartRadialToEndRadial) {
    Surface q(12, 12), big(12, 12);
    Ink(q);
    Ink(big);
    q.canvas.Pie(1, 1, 11, 11, 11, 6, 6, 0); // right to up: the upper-right quarter
    EXPECT_EQ(q.Art(clBlack, clRed),
              Pic({"............", "......##....", "......#o#...", "......#oo#..", "......#ooo#.",
                   "......#ooo#.", "......#####.", "............", "............", "............",
                   "............", "............"}));
    big.canvas.Pie(1, 1, 11, 11, 6, 0, 11, 6); // up to right: three quarters
    EXPECT_EQ(big.Art(clBlack, clRed),
              Pic({"............", "....###.....", "...#oo#.....", "..#ooo#.....", ".#oooo#.....",
                   ".#oooo#.....", ".#oooo#####.", ".#oooooooo#.", "..#oooooo#..", "...#oooo#...",
                   "....####....", "............"}));
}

TEST(CanvasShapes, ArcIsThePieOutlineWithoutRadiiAndEqualRadialsDrawTheWholeEllipse) {
    Surface a(12, 12);
    a.canvas.Arc(1, 1, 11, 11, 11, 6, 6, 0);
    EXPECT_EQ(a.Art(clBlack),
              Pic({"............", "......##....", "........#...", ".........#..", "..........#.",
                   "..........#.", "............", "............", "............", "............",
                   "............", "............"}));
    Surface full(12, 12), ell(12, 12);
    full.canvas.Arc(1, 1, 11, 11, 3, 3, 3, 3);
    ell.canvas.Brush().SetStyle(bsClear);
    ell.canvas.Ellipse(1, 1, 11, 11);
    EXPECT_EQ(full.px, ell.px);
    // The arc never fills, whatever the brush, and leaves the pen position alone.
    Surface b(12, 12);
    Ink(b);
    b.canvas.MoveTo(2, 3);
    b.canvas.Arc(1, 1, 11, 11, 11, 6, 6, 0);
    EXPECT_EQ(b.Count(clRed), 0);
    EXPECT_EQ(b.canvas.PenPos(), Point(2, 3));
}

TEST(CanvasShapes, ChordFillsBetweenArcAndSecant) {
    Surface s(20, 12);
    Ink(s);
    s.canvas.Chord(2, 1, 18, 11, 18, 6, 2, 6); // the upper half
    for (int y = 7; y < 12; ++y)
        for (int x = 0; x < 20; ++x) EXPECT_EQ(s.ColorAt(x, y), clWhite) << x << "," << y;
    EXPECT_EQ(s.Art(clBlack, clRed).substr(0, 21 * 7),
              Pic({"....................", ".......######.......", "....###oooooo###....",
                   "...#oooooooooooo#...", "..#oooooooooooooo#..", "..#oooooooooooooo#..",
                   "..################.."}));
}

TEST(CanvasShapes, NotModeInvertsTheWholeBoxWithABrushAndOnlyTheRingWithout) {
    Surface s(8, 8, clBlack);
    s.canvas.Pen().SetMode(pmNot);
    s.canvas.Rectangle(1, 1, 7, 7);
    EXPECT_EQ(s.Count(clWhite), 36);
    Surface r(8, 8, clBlack);
    r.px[3 * 8 + 3] = 0x123456;
    const auto before = r.px;
    r.canvas.Pen().SetMode(pmNot);
    r.canvas.Brush().SetStyle(bsClear);
    r.canvas.Rectangle(1, 1, 7, 7);
    EXPECT_EQ(r.Count(clWhite), 20);
    r.canvas.Rectangle(1, 1, 7, 7);
    EXPECT_EQ(r.px, before);
}

TEST(CanvasShapes, XorEllipsePieAndPolygonTouchEachPixelOnce) {
    const std::function<void(TCanvas&)> shapes[] = {
        [](TCanvas& c) { c.Pie(2, 2, 21, 17, 20, 3, 2, 16); },
        [](TCanvas& c) { c.Chord(2, 2, 21, 17, 20, 3, 2, 16); },
        [](TCanvas& c) {
            const TPoint p[] = {{2, 2}, {20, 5}, {9, 18}, {3, 10}};
            c.Polygon(p);
        },
        [](TCanvas& c) { c.RoundRect(1, 1, 22, 18, 9, 7); },
    };
    for (const auto& draw : shapes) {
        Surface copy(24, 20, clBlack), xr(24, 20, clBlack);
        for (Surface* s : {&copy, &xr}) {
            s->canvas.Pen().SetColor(clWhite);
            s->canvas.Brush().SetColor(clWhite);
        }
        xr.canvas.Pen().SetMode(pmXor);
        draw(copy.canvas);
        draw(xr.canvas);
        EXPECT_EQ(copy.px, xr.px);
    }
}

TEST(CanvasShapes, InsideFramePenKeepsTheBandInsideTheBox) {
    Surface s(16, 12);
    Ink(s);
    s.canvas.Pen().SetWidth(4);
    s.canvas.Pen().SetStyle(psInsideFrame);
    s.canvas.Rectangle(2, 1, 14, 11);
    // Nothing outside the box; the joins round the outer corners off.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            if (!(x >= 2 && x < 14 && y >= 1 && y < 11)) {
                EXPECT_EQ(s.ColorAt(x, y), clWhite) << x << "," << y;
            }
        }
    EXPECT_EQ(s.ColorAt(2, 1), clWhite);
    // Across the sides: 4 pen pixels, the inside, 4 pen pixels.
    for (int y : {5, 6})
        EXPECT_EQ(s.Art(clBlack, clRed).substr(std::size_t(y) * 17, 16), "..####oooo####..");
    std::string column;
    for (int y = 0; y < 12; ++y)
        column += s.ColorAt(7, y) == clBlack ? '#' : s.ColorAt(7, y) == clRed ? 'o' : '.';
    EXPECT_EQ(column, ".####oo####.");
}

TEST(CanvasShapes, WidePenRectangleSpillsHalfTheWidthOutside) {
    Surface s(16, 12);
    Ink(s);
    s.canvas.Pen().SetWidth(3);
    s.canvas.Rectangle(3, 3, 12, 9);
    EXPECT_EQ(
        s.Art(clBlack, clRed),
        Pic({"................", "................", "..###########...", "..###########...",
             "..###########...", "..###ooooo###...", "..###ooooo###...", "..###########...",
             "..###########...", "..###########...", "................", "................"}));
}

TEST(CanvasShapes, FillRectIgnoresPenModeAndFrameRectIsTheOuterRing) {
    Surface s(8, 6, clBlack);
    s.canvas.Pen().SetMode(pmXor);
    s.canvas.Brush().SetColor(clRed);
    s.canvas.FillRect(Rect(1, 1, 4, 3));
    s.canvas.Brush().SetColor(clWhite);
    s.canvas.FrameRect(Rect(4, 1, 8, 6));
    s.canvas.FrameRect(Rect(3, 5, 1, 4)); // reversed: nothing
    EXPECT_EQ(s.Art(clWhite, clRed),
              Pic({"........", ".ooo####", ".ooo#..#", "....#..#", "....#..#", "....####"}));
}

TEST(CanvasShapes, FloodFillSurfaceFillsExactlyTheFourConnectedArea) {
    Surface s(8, 6);
    s.canvas.Pen().SetColor(clBlack);
    s.canvas.Brush().SetStyle(bsClear);
    s.canvas.Rectangle(0, 0, 5, 5);
    s.px[0 * 8 + 6] = 0; // a diagonal touch does not connect
    s.canvas.Brush().SetColor(clBlue);
    s.canvas.FloodFill(2, 2, clWhite, fsSurface);
    EXPECT_EQ(s.Art(clBlack, clBlue),
              Pic({"#####.#.", "#ooo#...", "#ooo#...", "#ooo#...", "#####...", "........"}));
    // Starting on a pixel of another colour does nothing.
    const auto before = s.px;
    s.canvas.Brush().SetColor(clRed);
    s.canvas.FloodFill(0, 0, clWhite, fsSurface);
    EXPECT_EQ(s.px, before);
}

TEST(CanvasShapes, FloodFillBorderStopsAtTheBorderColourOnly) {
    Surface s(8, 6);
    s.canvas.Brush().SetColor(clGreen);
    s.canvas.FillRect(Rect(2, 2, 4, 4)); // not a border: filled over
    s.canvas.Brush().SetColor(clBlack);
    s.canvas.FrameRect(Rect(0, 0, 7, 6));
    s.canvas.Brush().SetColor(clRed);
    s.canvas.FloodFill(1, 1, clBlack, fsBorder);
    EXPECT_EQ(s.Art(clBlack, clRed),
              Pic({"#######.", "#ooooo#.", "#ooooo#.", "#ooooo#.", "#ooooo#.", "#######."}));
    const auto before = s.px;
    s.canvas.FloodFill(0, 0, clBlack, fsBorder); // on the border: nothing
    EXPECT_EQ(s.px, before);
}

TEST(CanvasShapes, FloodFillStopsAtTheClipAndIgnoresStartsOutsideIt) {
    Surface s(8, 4);
    s.canvas.Brush().SetColor(clRed);
    s.canvas.SetClipRect(Rect(2, 0, 6, 3));
    s.canvas.FloodFill(7, 0, clWhite, fsSurface);
    EXPECT_EQ(s.Count(clRed), 0);
    s.canvas.FloodFill(3, 1, clWhite, fsSurface);
    EXPECT_EQ(s.Art(clRed), Pic({"..####..", "..####..", "..####..", "........"}));
}

TEST(CanvasShapes, ClippingAndOriginNeverChangeWhichPixelsAShapeLights) {
    const std::function<void(TCanvas&)> shapes[] = {
        [](TCanvas& c) { c.Rectangle(-3, 2, 17, 26); },
        [](TCanvas& c) { c.Rectangle(3, 2, 17, 15); },
        [](TCanvas& c) {
            c.Brush().SetStyle(bsDiagCross);
            c.Rectangle(4, 1, 16, 20);
        },
        [](TCanvas& c) { c.Ellipse(-5, -2, 19, 21); },
        [](TCanvas& c) { c.RoundRect(1, 1, 30, 15, 12, 9); },
        [](TCanvas& c) { c.Pie(-4, 0, 22, 25, 20, -3, 0, 30); },
        [](TCanvas& c) { c.Chord(0, -6, 26, 20, 25, 10, 2, -6); },
        [](TCanvas& c) { c.Arc(-2, 1, 27, 23, 0, 0, 30, 20); },
        [](TCanvas& c) {
            const TPoint p[] = {{-5, 3}, {22, 0}, {14, 27}, {6, 9}};
            c.Polygon(p);
        },
        [](TCanvas& c) {
            c.Pen().SetWidth(5);
            c.Ellipse(2, 3, 21, 19);
        },
        [](TCanvas& c) {
            c.Pen().SetStyle(psDashDot);
            c.Rectangle(1, 2, 19, 17);
        },
        [](TCanvas& c) {
            c.Pen().SetStyle(psDot);
            c.Ellipse(-3, 1, 22, 20);
        },
        [](TCanvas& c) {
            c.Pen().SetStyle(psDash);
            c.Pie(0, -4, 26, 22, 26, 0, -2, 3);
        },
    };
    const TRect clip = Rect(5, 4, 14, 12);
    for (std::size_t k = 0; k < std::size(shapes); ++k) {
        Surface full(24, 24), cut(24, 24), moved(32, 32);
        for (Surface* s : {&full, &cut, &moved}) Ink(*s);
        shapes[k](full.canvas);
        cut.canvas.SetClipRect(clip);
        shapes[k](cut.canvas);
        // Logical (0,0) at surface (8,8): a whole hatch cell, so patterns line up too.
        moved.canvas.SetOrigin(Point(8, 8));
        shapes[k](moved.canvas);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                const bool in = clip.Contains(Point(x, y));
                ASSERT_EQ(cut.At(x, y), in ? full.At(x, y) : ColorToPixel(clWhite))
                    << "shape " << k << " at " << x << "," << y;
                ASSERT_EQ(moved.At(x + 8, y + 8), full.At(x, y))
                    << "shape " << k << " at " << x << "," << y;
            }
    }
}

TEST(CanvasShapes, HugeShapesDrawOnlyWhatIsVisibleAndNeverCrash) {
    Surface s(16, 16);
    Ink(s);
    s.canvas.Ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
    EXPECT_EQ(s.Count(clRed), 256); // the surface is deep inside
    s.Clear(clWhite);
    s.canvas.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(s.Count(clRed), 256);
    s.Clear(clWhite);
    s.canvas.Ellipse(INT_MIN, 5, INT_MAX, 11);
    EXPECT_EQ(s.Count(clBlack) + s.Count(clRed), 16 * 6); // a very flat ellipse: a band
    s.canvas.SetOrigin(Point(INT_MAX, INT_MIN));
    s.canvas.Pie(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0, INT_MIN, 0);
    s.canvas.Chord(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, INT_MAX, INT_MIN, 0);
    s.canvas.Pen().SetWidth(9);
    s.canvas.RoundRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    const TPoint p[] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}};
    s.canvas.Polygon(p);
    s.canvas.FloodFill(INT_MAX, INT_MAX, clWhite, fsSurface);
    SUCCEED();
}

TEST(CanvasShapes, HatchBrushesPaintTheirPatternAnchoredToTheSurface) {
    Surface s(16, 10);
    s.canvas.Brush().SetColor(clBlack);
    s.canvas.Brush().SetStyle(bsCross);
    s.canvas.SetOrigin(Point(3, 1)); // the pattern stays put when the origin moves
    s.canvas.FillRect(Rect(-3, -1, 13, 9));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(s.ColorAt(x, y), (x % 8 == 0 || y % 8 == 0) ? clBlack : clWhite)
                << x << "," << y;
    Surface d(8, 8);
    d.canvas.Brush().SetColor(clBlack);
    d.canvas.Brush().SetStyle(bsBDiagonal);
    d.canvas.FillRect(Rect(0, 0, 8, 8));
    EXPECT_EQ(d.Art(clBlack), Pic({".......#", "......#.", ".....#..", "....#...", "...#....",
                                   "..#.....", ".#......", "#......."}));
}

TEST(CanvasShapes, PenModeAppliesToInteriorsButNotToSetPixels) {
    Surface s(6, 4, clBlack);
    s.canvas.Pen().SetMode(pmMerge);
    s.canvas.Pen().SetColor(clRed);    // pixel 0xFF0000
    s.canvas.Brush().SetColor(clLime); // pixel 0x00FF00
    s.px[1 * 6 + 2] = 0x0000FF;
    s.canvas.Rectangle(0, 0, 5, 4);
    EXPECT_EQ(s.At(0, 0), 0xFF0000u);
    EXPECT_EQ(s.At(1, 1), 0x00FF00u);
    EXPECT_EQ(s.At(2, 1), 0x00FFFFu); // brush merged with the blue already there
    s.canvas.SetPixels(2, 1, clNavy);
    EXPECT_EQ(s.canvas.Pixels(2, 1), clNavy);
    EXPECT_EQ(s.canvas.Pixels(6, 0), 0xFFFFFFFFu);
    EXPECT_EQ(s.canvas.Pixels(-1, 0), 0xFFFFFFFFu);
    s.canvas.SetPixels(-1, 2, clWhite); // outside: ignored
    s.canvas.SetPixels(1000000, 2, clWhite);
    EXPECT_EQ(s.Count(clWhite), 0);
    TCanvas none;
    EXPECT_EQ(none.Pixels(0, 0), 0xFFFFFFFFu);
    none.SetPixels(0, 0, clRed);
    none.Rectangle(0, 0, 10, 10);
}

TEST(CanvasShapes, WidePenArcsPiesAndChordsTouchEachPixelOnce) {
    const std::function<void(TCanvas&)> shapes[] = {
        [](TCanvas& c) { c.Pie(3, 4, 27, 25, 27, 5, 3, 20); },
        [](TCanvas& c) { c.Chord(5, 2, 24, 28, 5, 5, 20, 28); },
        [](TCanvas& c) { c.Arc(2, 2, 28, 27, 28, 2, 2, 28); },
        [](TCanvas& c) { c.Ellipse(4, 6, 25, 22); },
    };
    for (int w : {2, 3, 6})
        for (const auto& draw : shapes) {
            Surface copy(30, 30, clBlack), xr(30, 30, clBlack);
            for (Surface* s : {&copy, &xr}) {
                s->canvas.Pen().SetColor(clWhite);
                s->canvas.Pen().SetWidth(w);
                s->canvas.Brush().SetColor(clWhite);
            }
            xr.canvas.Pen().SetMode(pmXor);
            draw(copy.canvas);
            draw(xr.canvas);
            EXPECT_EQ(copy.px, xr.px) << "width " << w;
            EXPECT_GT(copy.Count(clWhite), 40) << "width " << w;
        }
}

TEST(CanvasShapes, StyledPensFollowTheirPatternAlongCurves) {
    Surface solid(40, 30, clGray), dotted(40, 30, clGray);
    solid.canvas.Brush().SetStyle(bsClear);
    solid.canvas.Ellipse(2, 3, 37, 27);
    dotted.canvas.Pen().SetStyle(psDot);
    dotted.canvas.Brush().SetStyle(bsClear);
    dotted.canvas.Ellipse(2, 3, 37, 27);
    const int outline = solid.Count(clBlack), on = dotted.Count(clBlack);
    // Three on, three off along the curve: about half, and only pixels of the solid outline.
    EXPECT_GT(on, outline * 2 / 5);
    EXPECT_LT(on, outline * 3 / 5);
    for (int i = 0; i < 40 * 30; ++i) {
        if (dotted.px[std::size_t(i)] == 0) {
            EXPECT_EQ(solid.px[std::size_t(i)], 0u) << i;
        }
    }
    // With a solid brush the gaps take the brush colour, so the outline is whole again.
    Surface opaque(40, 30, clGray), filled(40, 30, clGray);
    opaque.canvas.Pen().SetStyle(psDot);
    opaque.canvas.Ellipse(2, 3, 37, 27);
    filled.canvas.Ellipse(2, 3, 37, 27);
    EXPECT_EQ(opaque.Count(clBlack), on);
    EXPECT_EQ(opaque.Count(clGray), filled.Count(clGray));
}

// Without a pen, slices that share radials share none of their pixels and together leave none
// out: drawn in xor mode around the full turn, they give exactly the clear-pen ellipse. Boxes of
// odd and even size put the centre on a pixel or between pixels; the radials run along the axes,
// the diagonals and steeper lines, so pixel centres lie exactly on them.
TEST(CanvasShapes, ClearPenSlicesAroundTheTurnXorToTheEllipse) {
    struct Box {
        int L, T, R, B;
    };
    const Box boxes[] = {{3, 2, 40, 31}, {2, 3, 42, 29}, {5, 5, 26, 26}, {1, 1, 37, 38}};
    // Directions counter-clockwise on screen (y grows downwards).
    const std::vector<std::vector<TPoint>> turns = {
        {{1, 0}, {0, -1}, {-1, 0}, {0, 1}},
        {{1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}, {0, 1}, {1, 1}},
        {{2, -1}, {-1, -3}, {-2, 1}, {1, 2}, {3, 1}},
    };
    for (const Box& b : boxes) {
        Surface ell(44, 42, clBlack);
        ell.canvas.Pen().SetStyle(psClear);
        ell.canvas.Brush().SetColor(clWhite);
        ell.canvas.Ellipse(b.L, b.T, b.R, b.B);
        // A centre between pixels has no pixel on a radial through it along the axes; every
        // radial starts at the pixel centre nearest the box centre, 20 steps out.
        const int cx = (b.L + b.R - 1) / 2, cy = (b.T + b.B - 1) / 2;
        for (const auto& dirs : turns) {
            Surface xr(44, 42, clBlack);
            xr.canvas.Pen().SetStyle(psClear);
            xr.canvas.Pen().SetMode(pmXor);
            xr.canvas.Brush().SetColor(clWhite);
            for (std::size_t i = 0; i < dirs.size(); ++i) {
                const TPoint s = dirs[i], e = dirs[(i + 1) % dirs.size()];
                xr.canvas.Pie(b.L, b.T, b.R, b.B, cx + 20 * s.X, cy + 20 * s.Y, cx + 20 * e.X,
                              cy + 20 * e.Y);
            }
            std::string diff;
            for (int y = 0; y < xr.H; ++y)
                for (int x = 0; x < xr.W; ++x)
                    if (xr.At(x, y) != ell.At(x, y))
                        diff += std::to_string(x) + "," + std::to_string(y) + " ";
            EXPECT_EQ(diff, "") << "box " << b.L << "," << b.T << "," << b.R << "," << b.B << ", "
                                << dirs.size() << " slices";
        }
    }
}

// A chord and the chord of the same secant taken the other way round share none of the secant's
// pixels: together they are the clear-pen ellipse, for level, upright and slanted secants.
TEST(CanvasShapes, ClearPenChordAndItsComplementXorToTheEllipse) {
    struct Cut {
        int xs, ys, xe, ye;
    };
    const int L = 2, T = 3, R = 33, B = 26; // centre (17, 14)
    const Cut cuts[] = {
        {40, 14, -5, 14}, {17, -5, 17, 40}, {40, 9, -5, 19}, {30, 0, 4, 28}, {40, 14, 17, -5}};
    Surface ell(36, 30, clBlack);
    ell.canvas.Pen().SetStyle(psClear);
    ell.canvas.Brush().SetColor(clWhite);
    ell.canvas.Ellipse(L, T, R, B);
    for (const Cut& c : cuts) {
        Surface xr(36, 30, clBlack);
        xr.canvas.Pen().SetStyle(psClear);
        xr.canvas.Pen().SetMode(pmXor);
        xr.canvas.Brush().SetColor(clWhite);
        xr.canvas.Chord(L, T, R, B, c.xs, c.ys, c.xe, c.ye);
        xr.canvas.Chord(L, T, R, B, c.xe, c.ye, c.xs, c.ys);
        EXPECT_EQ(xr.px, ell.px) << "secant " << c.xs << "," << c.ys << " - " << c.xe << ","
                                 << c.ye;
    }
}
