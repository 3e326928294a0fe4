// Tests of the canvas text methods: measuring, the cell and its background, clipping by
// TextRect, rotation about the reference point, alignment flags, underline and strike-out,
// 1-bit versus greyscale glyphs, and a reference image of a text sample.
#include "detail/font_internal.h"
#include "kel_graphics.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <climits>

using namespace kel;
using kel::test::MatchesReference;

namespace {

constexpr TColor Paper = RGB(0x20, 0x40, 0x60); // a background no text call paints by accident

struct Box {
    int Left = INT_MAX, Top = INT_MAX, Right = INT_MIN, Bottom = INT_MIN; // half-open when set
    bool Empty() const { return Left > Right; }
    void Add(int x, int y) {
        Left = std::min(Left, x);
        Top = std::min(Top, y);
        Right = std::max(Right, x + 1);
        Bottom = std::max(Bottom, y + 1);
    }
};

TColor At(const TBitmap& bmp, int x, int y) { return PixelToColor(bmp.ScanLine(y)[x]); }

// Bounding box of the pixels that differ from c.
Box BoxNotEqual(const TBitmap& bmp, TColor c) {
    Box b;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (At(bmp, x, y) != c) b.Add(x, y);
    return b;
}

// Bounding box of the pixels equal to c.
Box BoxOf(const TBitmap& bmp, TColor c) {
    Box b;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (At(bmp, x, y) == c) b.Add(x, y);
    return b;
}

struct Sheet {
    TBitmap Bmp;
    explicit Sheet(int w = 200, int h = 120, TColor c = Paper) {
        kel::test::Fill(Bmp, w, h, c);
        Bmp.Canvas().Font().SetColor(clBlack);
    }
    TCanvas& C() { return Bmp.Canvas(); }
};

} // namespace

TEST(Text, WidthIsTheSumOfGlyphAdvancesWithoutKerning) {
    Sheet s;
    TCanvas& c = s.C();
    c.Font().SetSize(12);
    detail::FontFace& face = c.Font().Face();
    const std::string text = "Hello, World AV To";
    int sum = 0;
    for (char ch : text) sum += face.GetGlyph(char32_t(ch)).Advance;
    EXPECT_EQ(c.TextWidth(text), sum);
    EXPECT_EQ(c.TextWidth("AV"), c.TextWidth("A") + c.TextWidth("V"));
    EXPECT_EQ(c.TextWidth(""), 0);
    // UTF-8 is decoded: one advance for a two-byte character.
    EXPECT_EQ(c.TextWidth("\xC3\xA9"), face.GetGlyph(U'\u00E9').Advance);
    // The extent ignores the orientation.
    c.Font().SetOrientation(900);
    EXPECT_EQ(c.TextWidth(text), sum);
}

TEST(Text, HeightIsTheCellHeightForAnyText) {
    Sheet s;
    TCanvas& c = s.C();
    const int cell = c.TextMetrics().tmHeight;
    EXPECT_EQ(cell, 13); // DejaVu Sans at 11 pixels: ascent 10 + descent 3
    for (const char* t : {"", "x", "\xC3\x89g", "a\r\nb", "________"})
        EXPECT_EQ(c.TextHeight(t), cell) << t;
    EXPECT_EQ(c.TextExtent("Hg"), (TSize{c.TextWidth("Hg"), cell}));
}

TEST(Text, OpaqueBrushFillsExactlyTheCellAtTheReferencePoint) {
    Sheet s;
    TCanvas& c = s.C();
    c.Brush().SetColor(clYellow);
    c.Font().SetQuality(fqNonAntialiased);
    c.TextOut(17, 23, "Hxo");
    const int w = c.TextWidth("Hxo"), h = c.TextHeight("Hxo");
    const Box changed = BoxNotEqual(s.Bmp, Paper);
    EXPECT_EQ(changed.Left, 17);
    EXPECT_EQ(changed.Top, 23);
    EXPECT_EQ(changed.Right, 17 + w);
    EXPECT_EQ(changed.Bottom, 23 + h);
    // Every pixel of the cell is painted.
    for (int y = 23; y < 23 + h; ++y)
        for (int x = 17; x < 17 + w; ++x) ASSERT_NE(At(s.Bmp, x, y), Paper) << x << "," << y;
    // The baseline is at y + ascent: the last row of 'H' ink sits on it.
    const Box ink = BoxOf(s.Bmp, clBlack);
    EXPECT_EQ(ink.Bottom, 23 + c.TextMetrics().tmAscent);
    EXPECT_EQ(c.PenPos(), (TPoint{17 + w, 23}));
}

TEST(Text, ClearBrushChangesOnlyGlyphPixels) {
    Sheet s;
    TCanvas& c = s.C();
    c.Brush().SetStyle(bsClear);
    c.Font().SetQuality(fqNonAntialiased);
    c.TextOut(10, 10, "Wave");
    // With 1-bit glyphs every changed pixel is the font colour.
    int ink = 0;
    for (int y = 0; y < s.Bmp.Height(); ++y)
        for (int x = 0; x < s.Bmp.Width(); ++x) {
            const TColor p = At(s.Bmp, x, y);
            if (p == Paper) continue;
            ASSERT_EQ(p, clBlack) << x << "," << y;
            ++ink;
        }
    EXPECT_GT(ink, 20);
    const Box b = BoxNotEqual(s.Bmp, Paper);
    EXPECT_GE(b.Left, 10);
    EXPECT_GE(b.Top, 10);
    EXPECT_LE(b.Right, 10 + c.TextWidth("Wave") + 1);
    EXPECT_LE(b.Bottom, 10 + c.TextHeight("Wave"));
}

TEST(Text, AntialiasedGlyphsBlendBetweenFontColourAndDestination) {
    Sheet s(100, 40, clWhite);
    TCanvas& c = s.C();
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(clRed);
    c.TextOut(2, 2, "Sweep");
    int partial = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const TColor p = At(s.Bmp, x, y);
            // Between red and white, red stays full.
            ASSERT_EQ(GetRValue(p), 255);
            ASSERT_EQ(GetGValue(p), GetBValue(p));
            partial += p != clWhite && p != clRed;
        }
    EXPECT_GT(partial, 10);
}

TEST(Text, NinetyDegreesRunsUpwardFromTheReferencePoint) {
    Sheet s;
    TCanvas& c = s.C();
    c.Font().SetOrientation(900);
    c.Brush().SetColor(clYellow);
    c.TextOut(50, 100, "Up text");
    const int w = c.TextWidth("Up text"), h = c.TextHeight("Up text");
    // The cell lies right of x and above y.
    const Box cell = BoxOf(s.Bmp, clYellow);
    EXPECT_EQ(cell.Left, 50);
    EXPECT_EQ(cell.Right, 50 + h);
    EXPECT_EQ(cell.Top, 100 - w);
    EXPECT_EQ(cell.Bottom, 100);
    // Ink stays right of x and above y (the last 't' may overhang its advance by a pixel).
    const Box changed = BoxNotEqual(s.Bmp, Paper);
    EXPECT_EQ(changed.Left, 50);
    EXPECT_EQ(changed.Bottom, 100);
    EXPECT_GE(changed.Top, 100 - w - 1);
    // Reading upward: the first letter 'U' is at the bottom, its left stem on the baseline side.
    const Box ink = BoxOf(s.Bmp, clBlack);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.Bottom, 100 - 3);
    // The descender of 'p' crosses the baseline, which runs up the column x + ascent.
    EXPECT_GT(ink.Right, 50 + c.TextMetrics().tmAscent);
    EXPECT_LE(ink.Right, 50 + h);
    EXPECT_EQ(c.PenPos(), (TPoint{50 + w, 100}));
}

TEST(Text, TwoSeventyDegreesRunsDownwardLeftOfTheReferencePoint) {
    Sheet s;
    TCanvas& c = s.C();
    c.Font().SetOrientation(2700);
    c.Brush().SetColor(clYellow);
    c.TextOut(100, 10, "Down");
    const int w = c.TextWidth("Down"), h = c.TextHeight("Down");
    const Box changed = BoxNotEqual(s.Bmp, Paper);
    EXPECT_EQ(changed.Left, 100 - h);
    EXPECT_EQ(changed.Right, 100);
    EXPECT_EQ(changed.Top, 10);
    EXPECT_EQ(changed.Bottom, 10 + w);
}

TEST(Text, ObliqueAnglesRotateTheCellAboutTheReferencePoint) {
    Sheet s;
    TCanvas& c = s.C();
    c.Font().SetOrientation(450);
    c.Brush().SetColor(clYellow);
    c.TextOut(40, 100, "Slanted");
    const int w = c.TextWidth("Slanted"), h = c.TextHeight("Slanted");
    // The corners of the rotated cell: (0,0) -> (40,100), (w,0) up-right, (0,h) down-right.
    const double r = 0.70710678;
    const Box changed = BoxNotEqual(s.Bmp, Paper);
    EXPECT_NEAR(changed.Left, 40, 1);
    EXPECT_NEAR(changed.Right, 40 + (w + h) * r, 1.5);
    EXPECT_NEAR(changed.Top, 100 - w * r, 1.5);
    EXPECT_NEAR(changed.Bottom, 100 + h * r, 1.5);
    EXPECT_EQ(At(s.Bmp, 41, 100), clYellow);
    EXPECT_GT(BoxOf(s.Bmp, clBlack).Right, 0);
}

TEST(Text, TextRectNeverDrawsOutsideItsRectangle) {
    const TRect r = Rect(30, 20, 110, 45);
    for (int angle : {0, 900, 450, 1800}) {
        for (bool opaque : {true, false}) {
            Sheet s;
            TCanvas& c = s.C();
            c.Font().SetSize(14);
            c.Font().SetStyle({fsUnderline, fsStrikeOut});
            c.Font().SetOrientation(angle);
            if (opaque)
                c.Brush().SetColor(clYellow);
            else
                c.Brush().SetStyle(bsClear);
            // Text that starts left of and above the rectangle and runs past its right edge.
            c.TextRect(r, 22, 14, "Overflowing text of some length");
            c.TextRect(r, 60, 38, "Low Wg");
            int inside = 0;
            for (int y = 0; y < s.Bmp.Height(); ++y)
                for (int x = 0; x < s.Bmp.Width(); ++x) {
                    const TColor p = At(s.Bmp, x, y);
                    if (!r.Contains({x, y})) {
                        ASSERT_EQ(p, Paper) << "angle " << angle << " at " << x << "," << y;
                    } else {
                        if (opaque) {
                            ASSERT_NE(p, Paper) << x << "," << y;
                        }
                        inside += p != Paper;
                    }
                }
            EXPECT_GT(inside, 30) << angle;
        }
    }
}

TEST(Text, TextRectLeavesThePenPositionAndHonoursTheOrigin) {
    Sheet s;
    TCanvas& c = s.C();
    c.SetPenPos({3, 4});
    c.SetOrigin({10, 5});
    c.Brush().SetColor(clYellow);
    c.TextRect(Rect(0, 0, 20, 10), 0, 0, "Text");
    EXPECT_EQ(c.PenPos(), (TPoint{3, 4}));
    const Box b = BoxNotEqual(s.Bmp, Paper);
    EXPECT_EQ(b.Left, 10);
    EXPECT_EQ(b.Top, 5);
    EXPECT_EQ(b.Right, 30);
    EXPECT_EQ(b.Bottom, 15);
}

TEST(Text, TextOutStaysInsideTheClipRectangle) {
    Sheet s;
    TCanvas& c = s.C();
    c.Brush().SetColor(clYellow);
    c.SetClipRect(Rect(20, 20, 40, 30));
    c.TextOut(10, 15, "Clipped text");
    const Box b = BoxNotEqual(s.Bmp, Paper);
    EXPECT_EQ(b.Left, 20);
    EXPECT_EQ(b.Top, 20);
    EXPECT_EQ(b.Right, 40);
    EXPECT_EQ(b.Bottom, 28); // the cell ends at 15 + 13
}

TEST(Text, ClippingCutsGlyphsWithoutChangingThePixelsInside) {
    // Clip edges fall inside glyphs at every phase, so partial glyph rows are drawn pixel by
    // pixel while unclipped ones go four pixels at a time: both must give the same pixels.
    Sheet whole(200, 40, clWhite);
    whole.C().Brush().SetStyle(bsClear);
    whole.C().Font().SetSize(14);
    whole.C().TextOut(3, 5, "Mixed Wg clip &%@");
    for (int left = 3; left < 11; ++left) {
        for (int right = 150; right < 154; ++right) {
            Sheet part(200, 40, clWhite);
            part.C().Brush().SetStyle(bsClear);
            part.C().Font().SetSize(14);
            const TRect r = Rect(left, 9, right, 17);
            part.C().TextRect(r, 3, 5, "Mixed Wg clip &%@");
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 200; ++x)
                    ASSERT_EQ(At(part.Bmp, x, y),
                              r.Contains({x, y}) ? At(whole.Bmp, x, y) : clWhite)
                        << x << "," << y << " clip " << left << ".." << right;
        }
    }
}

TEST(Text, AlignmentFlagsMoveTheReferencePoint) {
    Sheet probe;
    const int w = probe.C().TextWidth("Align"), h = probe.C().TextHeight("Align");
    const int ascent = probe.C().TextMetrics().tmAscent;
    const struct {
        unsigned Align;
        int Left, Top;
    } cases[] = {
        {TA_LEFT | TA_TOP, 100, 50},     {TA_RIGHT, 100 - w, 50},
        {TA_CENTER, 100 - w / 2, 50},    {TA_BOTTOM, 100, 50 - h},
        {TA_BASELINE, 100, 50 - ascent}, {TA_CENTER | TA_BASELINE, 100 - w / 2, 50 - ascent}};
    for (auto k : cases) {
        Sheet s;
        s.C().Brush().SetColor(clYellow);
        s.C().SetTextAlign(k.Align);
        s.C().TextOut(100, 50, "Align");
        const Box b = BoxNotEqual(s.Bmp, Paper);
        EXPECT_EQ(b.Left, k.Left) << k.Align;
        EXPECT_EQ(b.Top, k.Top) << k.Align;
        EXPECT_EQ(b.Right - b.Left, w) << k.Align;
        EXPECT_EQ(b.Bottom - b.Top, h) << k.Align;
    }
}

TEST(Text, UnderlineAndStrikeOutSpanTheWholeAdvance) {
    Sheet s;
    TCanvas& c = s.C();
    c.Brush().SetStyle(bsClear);
    c.Font().SetSize(16);
    c.Font().SetQuality(fqNonAntialiased);
    c.Font().SetStyle({fsUnderline, fsStrikeOut});
    c.TextOut(10, 10, "a b");
    detail::FontFace& face = c.Font().Face();
    const int w = c.TextWidth("a b"), baseline = 10 + face.Metrics().tmAscent;
    auto fullRow = [&](int y) {
        for (int x = 10; x < 10 + w; ++x)
            if (At(s.Bmp, x, y) != clBlack) return false;
        return At(s.Bmp, 9, y) == Paper && At(s.Bmp, 10 + w, y) == Paper;
    };
    const int under = baseline + face.UnderlinePosition();
    const int strike = baseline + face.StrikeOutPosition();
    EXPECT_GT(under, baseline - 1);
    EXPECT_LT(under + face.LineThickness(), 10 + face.Metrics().tmHeight + 1);
    EXPECT_LT(strike, baseline);
    for (int i = 0; i < face.LineThickness(); ++i) {
        EXPECT_TRUE(fullRow(under + i)) << under + i;
        EXPECT_TRUE(fullRow(strike + i)) << strike + i;
    }
    // Without the styles no row is full.
    Sheet plain;
    plain.C().Brush().SetStyle(bsClear);
    plain.C().Font().SetSize(16);
    plain.C().TextOut(10, 10, "a b");
    EXPECT_EQ(At(plain.Bmp, 10 + w / 2, under), Paper);
}

TEST(Text, CanvasWithoutSurfaceDrawsNothingButStillMeasures) {
    TCanvas c;
    EXPECT_NO_THROW(c.TextOut(0, 0, "Nothing"));
    EXPECT_NO_THROW(c.TextRect(Rect(0, 0, 10, 10), 0, 0, "Nothing"));
    EXPECT_GT(c.TextWidth("Nothing"), 0);
    EXPECT_EQ(c.PenPos(), (TPoint{c.TextWidth("Nothing"), 0}));
}

TEST(Text, FarAwayReferencePointsDrawNothing) {
    Sheet s;
    TCanvas& c = s.C();
    c.Brush().SetColor(clYellow);
    c.TextOut(INT_MAX - 3, INT_MIN + 2, "far away");
    c.TextRect(Rect(0, 0, 50, 50), INT_MIN, INT_MAX, "far away");
    c.Font().SetOrientation(450);
    c.TextOut(INT_MIN, INT_MIN, "far away");
    EXPECT_FALSE(BoxNotEqual(s.Bmp, Paper).Empty()); // TextRect filled its rectangle
    EXPECT_EQ(BoxNotEqual(s.Bmp, Paper).Right, 50);
    EXPECT_EQ(BoxNotEqual(s.Bmp, Paper).Bottom, 50);
    EXPECT_EQ(c.PenPos().Y, INT_MIN);
}

TEST(Text, SampleMatchesTheReferenceImage) {
    TBitmap bmp;
    kel::test::Fill(bmp, 320, 200, clWhite);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(clBlack);
    struct Line {
        int Size;
        TFontStyles Style;
        TFontQuality Quality;
        TColor Color;
        const char* Text;
    };
    const Line lines[] = {
        {8, {}, fqDefault, clBlack, "8 pt DejaVu Sans: Quick brown fox 0123"},
        {8, {}, fqNonAntialiased, clBlack, "8 pt 1-bit: Quick brown fox 0123"},
        {10, {fsBold}, fqDefault, clNavy, "10 pt bold \xC3\xA9\xE2\x82\xAC"},
        {12, {fsItalic, fsUnderline}, fqDefault, clMaroon, "12 pt italic underline"},
        {14, {fsStrikeOut}, fqDefault, clGreen, "14 pt struck Wg"},
    };
    int y = 4;
    for (const Line& l : lines) {
        c.Font().SetSize(l.Size);
        c.Font().SetStyle(l.Style);
        c.Font().SetQuality(l.Quality);
        c.Font().SetColor(l.Color);
        c.TextOut(4, y, l.Text);
        y += c.TextHeight(l.Text) + 2;
    }
    c.Font().SetStyle({});
    c.Font().SetQuality(fqDefault);
    c.Font().SetColor(clBlack);
    c.Font().SetSize(9);
    c.Brush().SetColor(clSilver);
    c.Font().SetOrientation(900);
    c.TextOut(250, 195, "Rotated 90");
    c.Font().SetOrientation(2700);
    c.TextOut(310, 80, "Rotated 270");
    c.Brush().SetStyle(bsClear);
    c.Font().SetOrientation(300);
    c.TextOut(10, 190, "Thirty degrees");
    c.Font().SetOrientation(1800);
    c.TextOut(230, 190, "Upside down");
    EXPECT_TRUE(MatchesReference(bmp, "framework/ref/text_sample"));
}
