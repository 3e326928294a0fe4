// Fonts: TFont (the description and its properties), fontconfig resolution of a family and style
// to a font file, and FontFace, a FreeType face at one pixel size, angle and quality with the
// metrics the canvas reports and a cache of rendered glyphs. Faces are shared through a process
// cache so that every TFont describing the same font draws from the same glyphs.
//
// Index: resolution (fontconfig); FontFace (metrics, glyph rendering); face cache; UTF-8; TFont.
//
// Threading: the caches are guarded for concurrent acquisition, but one FontFace renders glyphs
// for one thread at a time (the drawing thread), like the rest of the canvas.
#include "detail/font_internal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <tuple>

// fontconfig leaks a few blocks while it parses its configuration, once per process; leak
// checking in sanitizer builds ignores them (nothing of ours is hidden: the rule names only the
// fontconfig library).
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
#endif

namespace kel {

namespace {

// ---- Resolution -------------------------------------------------------------------------------

struct Resolved {
    std::string File;
    int Index = 0;
    std::string Family;
    bool Embolden = false;
    bool Oblique = false;
};

std::mutex& CacheMutex() {
    static std::mutex m;
    return m;
}

// Asks fontconfig for the best file for a family, weight, slant and pitch. An unknown family
// falls to fontconfig's substitute (the default sans face, or its monospace face when a fixed
// pitch is asked for).
Resolved ResolveUncached(const std::string& name, int weight, bool italic, bool fixedPitch) {
    FcPattern* pat = FcPatternCreate();
    if (!name.empty())
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    if (fixedPitch)
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("monospace"));
    if (name.empty() && !fixedPitch)
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddDouble(pat, FC_WEIGHT, FcWeightFromOpenTypeDouble(weight <= 0 ? 400 : weight));
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    Resolved r;
    if (match) {
        FcChar8* s = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &s) == FcResultMatch && s)
            r.File = reinterpret_cast<const char*>(s);
        if (FcPatternGetString(match, FC_FAMILY, 0, &s) == FcResultMatch && s)
            r.Family = reinterpret_cast<const char*>(s);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) r.Index = index;
        FcBool b = FcFalse;
        if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &b) == FcResultMatch) r.Embolden = b;
        FcMatrix* m = nullptr;
        if (FcPatternGetMatrix(match, FC_MATRIX, 0, &m) == FcResultMatch && m && m->xy != 0)
            r.Oblique = true;
        FcPatternDestroy(match);
    }
    if (r.File.empty())
        throw EInvalidArgument("Font '" + name + "': no installed font file matches it");
    return r;
}

const Resolved& Resolve(const std::string& name, int weight, bool italic, bool fixedPitch) {
    static std::map<std::tuple<std::string, int, bool, bool>, Resolved> cache;
    auto key = std::make_tuple(name, weight, italic, fixedPitch);
    std::lock_guard lock(CacheMutex());
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, ResolveUncached(name, weight, italic, fixedPitch)).first;
    return it->second;
}

FT_Library Library() {
    // Never released: faces held by static objects may be destroyed after any other static.
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) throw EOutOfResources("FreeType could not be initialised");
        return l;
    }();
    return lib;
}

// Vertical design metrics of a face in font units: the cell (Windows ascent and descent from
// the OS/2 table, else the horizontal header) and the line gap beyond it.
struct DesignMetrics {
    int UnitsPerEm = 2048;
    int Ascent = 0, Descent = 0, ExternalGap = 0;
};

DesignMetrics DesignMetricsOf(FT_Face face) {
    DesignMetrics d;
    d.UnitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        d.Ascent = os2->usWinAscent;
        d.Descent = os2->usWinDescent;
    } else {
        d.Ascent = face->ascender;
        d.Descent = -face->descender;
    }
    if (d.Ascent + d.Descent <= 0) {
        d.Ascent = d.UnitsPerEm * 4 / 5;
        d.Descent = d.UnitsPerEm / 5;
    }
    d.ExternalGap = std::max(0, face->height - (d.Ascent + d.Descent));
    return d;
}

// Font units to pixels at a pixel size, rounded half up.
int Scale(long units, int ppem, int upm) {
    return int(std::floor(double(units) * ppem / upm + 0.5));
}

constexpr int MaxPixelSize = 1000;

// The em size in pixels for a requested height: negative asks for the em, positive for the
// cell (the largest em whose cell fits), zero for the default 11 pixels.
int PixelSizeFor(int lfHeight, const DesignMetrics& d) {
    if (lfHeight < 0)
        return std::clamp(lfHeight == INT32_MIN ? MaxPixelSize : -lfHeight, 1, MaxPixelSize);
    if (lfHeight == 0) return 11;
    int cell = std::min(lfHeight, MaxPixelSize * 4);
    int ppem = int(double(cell) * d.UnitsPerEm / (d.Ascent + d.Descent)) + 1;
    ppem = std::clamp(ppem, 1, MaxPixelSize);
    while (ppem > 1 &&
           Scale(d.Ascent, ppem, d.UnitsPerEm) + Scale(d.Descent, ppem, d.UnitsPerEm) > cell)
        --ppem;
    return ppem;
}

std::string KeyString(const detail::FaceKey& k) {
    return k.File + '\n' + std::to_string(k.Index) + '\n' + std::to_string(k.PixelSize) + '\n' +
           std::to_string(k.Angle) + (k.Mono ? "m" : "g") + (k.Embolden ? "b" : "") +
           (k.Oblique ? "i" : "");
}

} // namespace

// ---- FontFace ---------------------------------------------------------------------------------

namespace detail {

FontFace::FontFace(const FaceKey& key) : FKey(key) {
    FT_Face face = nullptr;
    {
        std::lock_guard lock(CacheMutex());
        if (FT_New_Face(Library(), key.File.c_str(), key.Index, &face) != 0)
            throw EInvalidArgument("Font file '" + key.File + "' cannot be opened");
    }
    FFace = face;
    FFamily = face->family_name ? face->family_name : "";
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(key.PixelSize));
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

    const DesignMetrics d = DesignMetricsOf(face);
    const int ppem = key.PixelSize, upm = d.UnitsPerEm;
    FMetrics.tmAscent = std::max(1, Scale(d.Ascent, ppem, upm));
    FMetrics.tmDescent = std::max(0, Scale(d.Descent, ppem, upm));
    FMetrics.tmHeight = FMetrics.tmAscent + FMetrics.tmDescent;
    FMetrics.tmInternalLeading = std::max(0, FMetrics.tmHeight - ppem);
    FMetrics.tmExternalLeading = Scale(d.ExternalGap, ppem, upm);
    FMetrics.tmMaxCharWidth = std::max(1, Scale(face->max_advance_width, ppem, upm));
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    FMetrics.tmAveCharWidth = (os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0)
                                  ? std::max(1, Scale(os2->xAvgCharWidth, ppem, upm))
                                  : 0;

    // Lines are kept inside the cell: the underline within the descent, the strike-out above
    // the baseline.
    FLineThickness = std::max(1, Scale(face->underline_thickness, ppem, upm));
    int under = Scale(-face->underline_position, ppem, upm) - FLineThickness / 2;
    FUnderlinePos = std::clamp(under, 1, std::max(1, FMetrics.tmDescent - FLineThickness));
    int strikeTop = (os2 && os2->version != 0xFFFF && os2->yStrikeoutPosition > 0)
                        ? Scale(os2->yStrikeoutPosition, ppem, upm)
                        : FMetrics.tmAscent * 3 / 10 + FLineThickness;
    FStrikePos = -std::max(FLineThickness, strikeTop);

    // Rotation and synthetic slant both apply after hinting.
    if (key.Angle != 0 || key.Oblique) {
        double a = key.Angle * std::numbers::pi / 1800.0;
        double c = std::cos(a), s = std::sin(a);
        double shear = key.Oblique ? 0.2 : 0.0;
        // Outline y points up: rotate counter-clockwise after shearing x by y.
        double xx = c, xy = c * shear - s, yx = s, yy = s * shear + c;
        FT_Matrix m{FT_Fixed(std::lround(xx * 65536)), FT_Fixed(std::lround(xy * 65536)),
                    FT_Fixed(std::lround(yx * 65536)), FT_Fixed(std::lround(yy * 65536))};
        FT_Set_Transform(face, &m, nullptr);
    }

    FAscii.resize(256);
    FAsciiDone.assign(256, 0);
    if (FMetrics.tmAveCharWidth == 0) FMetrics.tmAveCharWidth = std::max(1, GetGlyph('x').Advance);
}

FontFace::~FontFace() {
    if (FFace) FT_Done_Face(static_cast<FT_Face>(FFace));
}

const Glyph& FontFace::GetGlyphSlow(char32_t cp) {
    if (cp < 256) {
        Glyph& g = FAscii[cp];
        if (!FAsciiDone[cp]) {
            Render(cp, g);
            FAsciiDone[cp] = 1;
            --FAsciiMissing;
        }
        return g;
    }
    auto it = FOther.find(cp);
    if (it != FOther.end()) return it->second;
    Glyph g;
    Render(cp, g);
    return FOther.emplace(cp, std::move(g)).first->second;
}

void FontFace::Render(char32_t cp, Glyph& g) {
    FT_Face face = static_cast<FT_Face>(FFace);
    g = Glyph{};
    g.Index = FT_Get_Char_Index(face, FT_ULong(cp));
    FT_Int32 flags = FKey.Mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(face, g.Index, flags) != 0 && FT_Load_Glyph(face, 0, flags) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    if (FKey.Embolden) FT_GlyphSlot_Embolden(slot);
    g.Advance = int((slot->metrics.horiAdvance + 32) >> 6);
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points == 0) return;
    if (FT_Render_Glyph(slot, FKey.Mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bm = slot->bitmap;
    g.Left = slot->bitmap_left;
    g.Top = slot->bitmap_top;
    g.Width = int(bm.width);
    g.Rows = int(bm.rows);
    g.Pitch = (g.Width + 3) & ~3;
    g.Coverage.assign(std::size_t(g.Pitch) * g.Rows, 0);
    for (int y = 0; y < g.Rows; ++y) {
        const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
        std::uint8_t* out = g.Coverage.data() + std::size_t(y) * g.Pitch;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int x = 0; x < g.Width; ++x) out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const int levels = bm.num_grays > 1 ? bm.num_grays - 1 : 255;
            for (int x = 0; x < g.Width; ++x)
                out[x] = levels == 255 ? row[x] : std::uint8_t(row[x] * 255 / levels);
        }
    }
}

// ---- Face cache -------------------------------------------------------------------------------

std::shared_ptr<FontFace> AcquireFace(const TLogFont& lf) {
    const bool bold = lf.lfWeight >= 600;
    const int weight = lf.lfWeight <= 0 ? 400 : lf.lfWeight;
    const bool fixed = (lf.lfPitchAndFamily & 3) == 1;
    const Resolved& r = Resolve(lf.lfFaceName, weight, lf.lfItalic != 0, fixed);

    static std::map<std::pair<std::string, int>, DesignMetrics> designCache;
    DesignMetrics design;
    {
        std::lock_guard lock(CacheMutex());
        auto it = designCache.find({r.File, r.Index});
        if (it == designCache.end()) {
            FT_Face face = nullptr;
            if (FT_New_Face(Library(), r.File.c_str(), r.Index, &face) != 0)
                throw EInvalidArgument("Font file '" + r.File + "' cannot be opened");
            it = designCache.emplace(std::make_pair(r.File, r.Index), DesignMetricsOf(face)).first;
            FT_Done_Face(face);
        }
        design = it->second;
    }

    FaceKey key;
    key.File = r.File;
    key.Index = r.Index;
    key.PixelSize = PixelSizeFor(lf.lfHeight, design);
    key.Angle = ((lf.lfEscapement % 3600) + 3600) % 3600;
    key.Mono = lf.lfQuality == fqDraft || lf.lfQuality == fqNonAntialiased;
    key.Embolden = bold && r.Embolden;
    key.Oblique = lf.lfItalic && r.Oblique;

    static std::map<std::string, std::shared_ptr<FontFace>> faces;
    const std::string ks = KeyString(key);
    {
        std::lock_guard lock(CacheMutex());
        auto it = faces.find(ks);
        if (it != faces.end()) return it->second;
    }
    auto face = std::make_shared<FontFace>(key);
    std::lock_guard lock(CacheMutex());
    // Bound the cache: drop faces nobody else holds once it grows large.
    if (faces.size() >= 128)
        std::erase_if(faces, [](const auto& kv) { return kv.second.use_count() == 1; });
    return faces.emplace(ks, face).first->second;
}

} // namespace detail

// ---- TFont ------------------------------------------------------------------------------------

std::string DefaultFontName() {
    static const std::string name = [] {
        const Resolved& r = Resolve("", 400, false, false);
        return r.Family.empty() ? std::string("DejaVu Sans") : r.Family;
    }();
    return name;
}

TFont::TFont() { FLog.lfFaceName = DefaultFontName(); }

TFont::~TFont() = default;

void TFont::Assign(const TPersistent* Source) {
    if (auto* f = dynamic_cast<const TFont*>(Source)) {
        if (f == this) return;
        FLog = f->FLog;
        FColor = f->FColor;
        FPitch = f->FPitch;
        FFace = f->FFace;
        if (FOnChange) FOnChange(this);
        return;
    }
    TPersistent::Assign(Source);
}

void TFont::Changed() {
    FFace.reset();
    if (FOnChange) FOnChange(this);
}

void TFont::SetName(const std::string& v) {
    const std::string name = v.empty() ? DefaultFontName() : v;
    if (name == FLog.lfFaceName) return;
    FLog.lfFaceName = name;
    Changed();
}

int TFont::Size() const { return MulDiv(-FLog.lfHeight, 72, PixelsPerInch()); }

void TFont::SetSize(int v) { SetHeight(-MulDiv(v, PixelsPerInch(), 72)); }

void TFont::SetHeight(int v) {
    if (v == FLog.lfHeight) return;
    FLog.lfHeight = v;
    Changed();
}

TFontStyles TFont::Style() const {
    TFontStyles s;
    if (FLog.lfWeight >= 600) s.include(fsBold);
    if (FLog.lfItalic) s.include(fsItalic);
    if (FLog.lfUnderline) s.include(fsUnderline);
    if (FLog.lfStrikeOut) s.include(fsStrikeOut);
    return s;
}

void TFont::SetStyle(TFontStyles v) {
    if (v == Style()) return;
    FLog.lfWeight = v.contains(fsBold) ? 700 : 400;
    FLog.lfItalic = v.contains(fsItalic);
    FLog.lfUnderline = v.contains(fsUnderline);
    FLog.lfStrikeOut = v.contains(fsStrikeOut);
    Changed();
}

void TFont::SetColor(TColor v) {
    if (v == FColor) return;
    FColor = v;
    if (FOnChange) FOnChange(this); // the face does not depend on the colour
}

void TFont::SetOrientation(int v) {
    if (v == FLog.lfEscapement && v == FLog.lfOrientation) return;
    FLog.lfEscapement = v;
    FLog.lfOrientation = v;
    Changed();
}

void TFont::SetQuality(TFontQuality v) {
    if (v == FLog.lfQuality) return;
    FLog.lfQuality = v;
    Changed();
}

void TFont::SetPitch(TFontPitch v) {
    if (v == FPitch) return;
    FPitch = v;
    // Pitch bits of the description: DEFAULT_PITCH 0, FIXED_PITCH 1, VARIABLE_PITCH 2.
    FLog.lfPitchAndFamily = std::uint8_t((FLog.lfPitchAndFamily & ~3u) | (v == fpFixed      ? 1u
                                                                          : v == fpVariable ? 2u
                                                                                            : 0u));
    Changed();
}

void TFont::SetCharset(std::uint8_t v) {
    if (v == FLog.lfCharSet) return;
    FLog.lfCharSet = v;
    Changed();
}

void TFont::SetLogFont(const TLogFont& lf) {
    FLog = lf;
    if (FLog.lfFaceName.empty()) FLog.lfFaceName = DefaultFontName();
    const unsigned bits = FLog.lfPitchAndFamily & 3u;
    FPitch = bits == 1 ? fpFixed : bits == 2 ? fpVariable : fpDefault;
    Changed();
}

detail::FontFace& TFont::Face() const {
    if (!FFace) FFace = detail::AcquireFace(FLog);
    return *FFace;
}

} // namespace kel
