// Tests of TFont: defaults, the Size/Height pair, change notification, fontconfig resolution
// and substitution, metrics of resolved faces, face sharing, the glyph cache and UTF-8 decoding.
#include "detail/font_internal.h"
#include "kel_graphics.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace kel;

TEST(Font, DefaultsAreEightPointsOfTheSystemSansFace) {
    TFont f;
    EXPECT_EQ(f.Name(), "DejaVu Sans");
    EXPECT_EQ(DefaultFontName(), "DejaVu Sans");
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_TRUE(f.Style().empty());
    EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(f.Orientation(), 0);
    EXPECT_EQ(f.Quality(), fqDefault);
    EXPECT_EQ(f.Pitch(), fpDefault);
    EXPECT_EQ(f.Face().FamilyName(), "DejaVu Sans");
}

TEST(Font, SizeAndHeightAreOneValueAtNinetySixDpi) {
    TFont f;
    const int sizes[][2] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {72, -96}, {1, -1}};
    for (auto [size, height] : sizes) {
        f.SetSize(size);
        EXPECT_EQ(f.Height(), height) << size;
        EXPECT_EQ(f.Size(), size) << size;
    }
    // A positive height is a cell height and reads back as a negative size.
    f.SetHeight(20);
    EXPECT_EQ(f.Size(), -15);
    EXPECT_EQ(f.LogFont().lfHeight, 20);
}

TEST(Font, OnChangeFiresAfterEachChangeAndOnceAfterAssign) {
    TFont f;
    int count = 0;
    TObject* sender = nullptr;
    f.SetOnChange([&](TObject* s) {
        ++count;
        sender = s;
    });
    f.SetSize(10);
    f.SetName("DejaVu Serif");
    f.SetStyle({fsBold, fsUnderline});
    f.SetColor(clRed);
    f.SetOrientation(900);
    f.SetQuality(fqNonAntialiased);
    f.SetPitch(fpFixed);
    f.SetCharset(0);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(sender, &f);
    // Setting a value it already has is no change.
    f.SetSize(10);
    f.SetColor(clRed);
    f.SetStyle({fsUnderline, fsBold});
    EXPECT_EQ(count, 8);

    TFont g;
    int gCount = 0;
    g.SetOnChange([&](TObject*) { ++gCount; });
    g.Assign(&f);
    EXPECT_EQ(gCount, 1);
    EXPECT_EQ(g.Name(), "DejaVu Serif");
    EXPECT_EQ(g.Height(), -13);
    EXPECT_EQ(g.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(g.Color(), clRed);
    EXPECT_EQ(g.Orientation(), 900);
    EXPECT_EQ(g.Quality(), fqNonAntialiased);
    EXPECT_EQ(g.Pitch(), fpFixed);
    EXPECT_EQ(g.Charset(), 0);
}

TEST(Font, AssignFromAnotherClassRaisesConvertErrorAndKeepsTheFont) {
    TFont f;
    TPen pen;
    f.SetSize(12);
    EXPECT_THROW(f.Assign(&pen), EConvertError);
    EXPECT_EQ(f.Height(), -16);
}

TEST(Font, LogFontRoundTripsAndDrivesStyleAndPitch) {
    TLogFont lf;
    lf.lfHeight = -20;
    lf.lfWeight = 700;
    lf.lfItalic = 1;
    lf.lfStrikeOut = 1;
    lf.lfEscapement = lf.lfOrientation = 450;
    lf.lfPitchAndFamily = 1; // fixed pitch
    lf.lfFaceName = "DejaVu Sans Mono";
    TFont f;
    int count = 0;
    f.SetOnChange([&](TObject*) { ++count; });
    CreateFontIndirectW(f, lf);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(f.Size(), 15);
    EXPECT_EQ(f.Style(), (TFontStyles{fsBold, fsItalic, fsStrikeOut}));
    EXPECT_EQ(f.Orientation(), 450);
    EXPECT_EQ(f.Pitch(), fpFixed);
    const TLogFont back = GetObjectW(f);
    EXPECT_EQ(back.lfFaceName, "DejaVu Sans Mono");
    EXPECT_EQ(back.lfWeight, 700);
    // An empty face name in a description means the default face.
    lf.lfFaceName.clear();
    f.SetLogFont(lf);
    EXPECT_EQ(f.Name(), DefaultFontName());
}

TEST(Font, UnknownNamesResolveToAnInstalledSubstitute) {
    TFont f;
    f.SetName("Liberation Sans");
    const bool liberation = f.Face().FamilyName() == "Liberation Sans";
    f.SetName("Arial");
    EXPECT_EQ(f.Name(), "Arial");
    EXPECT_NO_THROW(f.Face());
    // The metric-compatible substitute when it is installed, else the default face.
    EXPECT_EQ(f.Face().FamilyName(), liberation ? "Liberation Sans" : DefaultFontName());
    EXPECT_GT(f.Face().Metrics().tmHeight, 0);

    f.SetName("No Such Font Qzxv");
    EXPECT_EQ(f.Name(), "No Such Font Qzxv");
    EXPECT_EQ(f.Face().FamilyName(), DefaultFontName());

    // A fixed pitch steers an unknown name to the monospace face.
    f.SetPitch(fpFixed);
    EXPECT_EQ(f.Face().FamilyName(), "DejaVu Sans Mono");
}

TEST(Font, StylesResolveToTheirOwnFaceFiles) {
    TFont f;
    const std::string regular = f.Face().Key().File;
    f.SetStyle({fsBold});
    EXPECT_NE(f.Face().Key().File.find("Bold"), std::string::npos) << f.Face().Key().File;
    f.SetStyle({fsItalic});
    EXPECT_NE(f.Face().Key().File.find("Oblique"), std::string::npos) << f.Face().Key().File;
    // Underline and strike-out are drawn lines, not other faces.
    f.SetStyle({fsUnderline, fsStrikeOut});
    EXPECT_EQ(f.Face().Key().File, regular);
}

TEST(Font, FamiliesWithoutBoldOrItalicGetSyntheticStyles) {
    TFont f;
    f.SetName("DejaVu Math TeX Gyre"); // a family with a single regular face
    f.SetSize(20);
    if (f.Face().FamilyName() != "DejaVu Math TeX Gyre") GTEST_SKIP() << "family not installed";
    const detail::Glyph regular = f.Face().GetGlyph('l');
    f.SetStyle({fsBold});
    EXPECT_TRUE(f.Face().Key().Embolden);
    EXPECT_FALSE(f.Face().Key().Oblique);
    const detail::Glyph& bold = f.Face().GetGlyph('l');
    EXPECT_GT(bold.Width, regular.Width);
    f.SetStyle({fsItalic});
    EXPECT_TRUE(f.Face().Key().Oblique);
    EXPECT_FALSE(f.Face().Key().Embolden);
    // The slanted stem leans right: its bitmap is wider than the upright one.
    EXPECT_GT(f.Face().GetGlyph('l').Width, regular.Width);
    EXPECT_EQ(f.Face().GetGlyph('l').Advance, regular.Advance);
}

TEST(Font, NegativeHeightIsTheEmAndPositiveHeightTheCell) {
    TFont f;
    const TTextMetric tm = f.Face().Metrics();
    EXPECT_EQ(f.Face().Key().PixelSize, 11);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 11);
    EXPECT_GT(tm.tmInternalLeading, 0);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);

    // The cell height of -11 asked for as a positive height gives the same face.
    f.SetHeight(tm.tmHeight);
    EXPECT_EQ(f.Face().Key().PixelSize, 11);
    EXPECT_EQ(f.Face().Metrics().tmHeight, tm.tmHeight);

    // A positive height is never exceeded, and the largest fitting em is chosen.
    for (int h = 1; h <= 80; ++h) {
        f.SetHeight(h);
        const int cell = f.Face().Metrics().tmHeight;
        EXPECT_LE(cell, h) << h;
        EXPECT_GE(cell, h - 2) << h;
    }
    // Zero asks for the default size; absurd sizes are bounded.
    f.SetHeight(0);
    EXPECT_EQ(f.Face().Key().PixelSize, 11);
    f.SetHeight(-100000);
    EXPECT_LE(f.Face().Key().PixelSize, 1000);
}

TEST(Font, EqualDescriptionsShareOneFaceAndItsGlyphs) {
    TFont a, b;
    a.SetSize(12);
    b.SetSize(12);
    EXPECT_EQ(&a.Face(), &b.Face());
    // The colour is no part of the face.
    b.SetColor(clRed);
    EXPECT_EQ(&a.Face(), &b.Face());
    // Size, angle, quality and style are.
    b.SetSize(13);
    EXPECT_NE(&a.Face(), &b.Face());
    b.SetSize(12);
    EXPECT_EQ(&a.Face(), &b.Face());
    b.SetOrientation(900);
    detail::FontFace* turned = &b.Face();
    EXPECT_NE(&a.Face(), turned);
    b.SetOrientation(900 + 3600); // the same angle
    EXPECT_EQ(&b.Face(), turned);
    b.SetOrientation(0);
    b.SetQuality(fqNonAntialiased);
    EXPECT_NE(&a.Face(), &b.Face());
    // Draft and non-antialiased both render 1-bit glyphs: one face.
    TFont c;
    c.SetSize(12);
    c.SetQuality(fqDraft);
    EXPECT_EQ(&b.Face(), &c.Face());

    detail::FontFace& face = a.Face();
    const detail::Glyph* g = &face.GetGlyph('Q');
    const std::size_t cached = face.CachedGlyphCount();
    EXPECT_EQ(&face.GetGlyph('Q'), g);
    TFont d;
    d.SetSize(12);
    EXPECT_EQ(&d.Face().GetGlyph('Q'), g);
    EXPECT_EQ(face.CachedGlyphCount(), cached);
    face.GetGlyph(U'\u20AC');
    EXPECT_EQ(face.CachedGlyphCount(), cached + 1);
}

TEST(Font, QualityChoosesOneBitOrGreyscaleGlyphs) {
    TFont f;
    f.SetSize(12);
    auto levels = [](const detail::Glyph& g) {
        int grey = 0, full = 0;
        for (std::uint8_t c : g.Coverage) {
            grey += c != 0 && c != 255;
            full += c == 255;
        }
        return std::make_pair(grey, full);
    };
    f.SetQuality(fqNonAntialiased);
    auto [monoGrey, monoFull] = levels(f.Face().GetGlyph('S'));
    EXPECT_EQ(monoGrey, 0);
    EXPECT_GT(monoFull, 0);
    for (TFontQuality q : {fqDefault, fqAntialiased, fqClearType, fqProof}) {
        f.SetQuality(q);
        EXPECT_GT(levels(f.Face().GetGlyph('S')).first, 0) << int(q);
    }
}

TEST(Font, RotatedFacesKeepHorizontalAdvancesAndRotateTheBitmap) {
    TFont f;
    f.SetSize(20);
    const detail::Glyph& upright = f.Face().GetGlyph('l');
    const int advance = upright.Advance, w = upright.Width, h = upright.Rows;
    f.SetOrientation(900);
    const detail::Glyph& turned = f.Face().GetGlyph('l');
    EXPECT_EQ(turned.Advance, advance);
    // A tall thin stem lies on its side.
    EXPECT_GT(h, 2 * w);
    EXPECT_EQ(turned.Width, h);
    EXPECT_EQ(turned.Rows, w);
}

TEST(Font, Utf8DecodesToCodePointsAndReplacesMalformedBytes) {
    using detail::DecodeUtf8;
    EXPECT_EQ(DecodeUtf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), U"A\u00E9\u20AC\U0001F600");
    EXPECT_EQ(DecodeUtf8(""), U"");
    // A lone continuation byte, a truncated sequence, an overlong form and a surrogate.
    EXPECT_EQ(DecodeUtf8("\x80"
                         "a"),
              U"\uFFFDa");
    EXPECT_EQ(DecodeUtf8("\xE2\x82"), U"\uFFFD\uFFFD");
    EXPECT_EQ(DecodeUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD");
}
