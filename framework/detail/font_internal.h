// Internal half of the font code: the resolved face (FreeType face at one pixel size, angle and
// quality, with its metrics and glyph cache) that text drawing and measuring use. Faces are
// shared: every TFont that describes the same font at the same size, angle and quality gets the
// same FontFace object from AcquireFace.
#pragma once

#include "kel_graphics.h"
#include "kel_utf8.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kel::detail {

// One rendered glyph. The bitmap is placed with its top-left at (pen.x + Left, baseline - Top),
// where pen is the glyph's origin on the baseline (for a rotated face the bitmap is already
// rotated and Left/Top are relative to the rotated origin).
struct Glyph {
    std::uint32_t Index = 0; // glyph index in the face (for kerning)
    int Advance = 0;         // horizontal advance in whole pixels (hinted), unrotated
    int Left = 0, Top = 0;   // bitmap offset from the origin (Top counts upward)
    int Width = 0, Rows = 0; // bitmap size in pixels
    int Pitch = 0;           // bytes per coverage row: Width rounded up to a multiple of 4
    std::vector<std::uint8_t> Coverage; // Pitch * Rows bytes, 0..255 (only 0 or 255 when mono),
                                        // zero past Width
};

// What a face is made of: the file, the pixel size, the angle and the rendering mode.
struct FaceKey {
    std::string File;
    int Index = 0;         // face index within the file
    int PixelSize = 11;    // em height in pixels
    int Angle = 0;         // tenths of a degree, 0..3599
    bool Mono = false;     // 1-bit glyphs
    bool Embolden = false; // synthetic bold (the family has no bold face)
    bool Oblique = false;  // synthetic slant (the family has no italic face)
    bool operator==(const FaceKey&) const = default;
};

class FontFace {
  public:
    explicit FontFace(const FaceKey& key);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FaceKey& Key() const { return FKey; }
    const std::string& FamilyName() const { return FFamily; }
    const TTextMetric& Metrics() const { return FMetrics; }
    // Underline and strike-out lines: offset of the line's top row from the baseline (positive
    // is below the baseline) and thickness, in pixels.
    int UnderlinePosition() const { return FUnderlinePos; }
    int StrikeOutPosition() const { return FStrikePos; }
    int LineThickness() const { return FLineThickness; }

    // The glyph for a code point (rendered on first use, then cached). A code point the face
    // lacks gives the face's missing-glyph box.
    const Glyph& GetGlyph(char32_t cp) {
        if (cp < 256 && FAsciiDone[cp]) return FAscii[cp];
        return GetGlyphSlow(cp);
    }
    // Number of glyphs rendered so far (a cache probe for tests).
    std::size_t CachedGlyphCount() const { return FAscii.size() - FAsciiMissing + FOther.size(); }

  private:
    const Glyph& GetGlyphSlow(char32_t cp);
    void Render(char32_t cp, Glyph& g);
    FaceKey FKey;
    std::string FFamily;
    void* FFace = nullptr; // FT_Face
    TTextMetric FMetrics{};
    int FUnderlinePos = 1, FStrikePos = -3, FLineThickness = 1;
    std::vector<Glyph> FAscii;            // code points 0..255, rendered on demand
    std::vector<std::uint8_t> FAsciiDone; // 1 when FAscii[cp] is rendered
    std::size_t FAsciiMissing = 256;
    std::unordered_map<char32_t, Glyph> FOther;
};

// The shared face for a font description (resolved through fontconfig, cached).
std::shared_ptr<FontFace> AcquireFace(const TLogFont& lf);

using kel::DecodeUtf8;
using kel::NextCodePoint;

} // namespace kel::detail
