// Reference-image comparison and small pixel helpers for the test suites.
#include "kel_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace kel::test {

namespace fs = std::filesystem;

static std::string OutPath(const std::string& name, const std::string& suffix) {
    fs::path p = fs::path(KEL_OUT_DIR) / (name + suffix);
    fs::create_directories(p.parent_path());
    return p.string();
}

::testing::AssertionResult MatchesReferenceAndDocs(const TBitmap& bmp, const std::string& Folder,
                                                   const std::string& Name) {
    if (std::getenv("KEL_UPDATE_DOCS") != nullptr) {
        const fs::path dir = fs::path(KEL_REF_DIR) / ".." / "docs" / "img";
        fs::create_directories(dir);
        bmp.SaveToFile((dir / (Name + ".png")).string());
    }
    return MatchesReference(bmp, Folder + "/ref/" + Name);
}

std::string WriteOutput(const TBitmap& bmp, const std::string& name) {
    std::string path = OutPath(name, ".png");
    bmp.SaveToFile(path);
    return path;
}

::testing::AssertionResult MatchesReference(const TBitmap& bmp, const std::string& name) {
    fs::path ref = fs::path(KEL_REF_DIR) / (name + ".png");
    const char* update = std::getenv("KEL_UPDATE_REFS");
    if (update && std::string(update) == "1") {
        fs::create_directories(ref.parent_path());
        bmp.SaveToFile(ref.string());
        return ::testing::AssertionSuccess() << "reference written: " << ref;
    }
    if (!fs::exists(ref))
        return ::testing::AssertionFailure()
               << "missing reference image " << ref << " (run tools/update-refs.sh)";
    TBitmap expected;
    expected.LoadFromFile(ref.string());
    std::ostringstream why;
    bool same = expected.Width() == bmp.Width() && expected.Height() == bmp.Height();
    if (!same) {
        why << "size " << bmp.Width() << "x" << bmp.Height() << ", reference " << expected.Width()
            << "x" << expected.Height();
    }
    int diffs = 0;
    TBitmap diff(std::max(1, bmp.Width()), std::max(1, bmp.Height()));
    if (same) {
        for (int y = 0; y < bmp.Height(); ++y) {
            const std::uint32_t* a = bmp.ScanLine(y);
            const std::uint32_t* e = expected.ScanLine(y);
            std::uint32_t* d = diff.ScanLine(y);
            for (int x = 0; x < bmp.Width(); ++x) {
                bool differs = (a[x] & 0xFFFFFF) != (e[x] & 0xFFFFFF);
                d[x] = differs ? 0xFF0000 : ((e[x] & 0xFEFEFE) >> 1) | 0x808080;
                if (differs && diffs++ == 0) {
                    why << "first difference at (" << x << ", " << y << "): expected 0x" << std::hex
                        << PixelToColor(e[x] & 0xFFFFFF) << ", actual 0x"
                        << PixelToColor(a[x] & 0xFFFFFF) << std::dec;
                }
            }
        }
        if (diffs == 0) return ::testing::AssertionSuccess();
        why << "; " << diffs << " pixels differ";
    }
    bmp.SaveToFile(OutPath(name, ".actual.png"));
    if (same) diff.SaveToFile(OutPath(name, ".diff.png"));
    return ::testing::AssertionFailure()
           << name << ": " << why.str() << " (actual and diff in " << KEL_OUT_DIR << ")";
}

void Fill(TBitmap& bmp, int w, int h, TColor c) {
    bmp.SetSize(w, h);
    std::uint32_t p = ColorToPixel(c);
    for (int y = 0; y < h; ++y) {
        std::uint32_t* row = bmp.ScanLine(y);
        for (int x = 0; x < w; ++x) row[x] = p;
    }
}

std::string PixelsOf(const TBitmap& bmp, TColor c) {
    std::ostringstream out;
    std::uint32_t p = ColorToPixel(c);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if ((bmp.ScanLine(y)[x] & 0xFFFFFF) == p) out << x << "," << y << " ";
    return out.str();
}

std::string AsciiArt(const TBitmap& bmp, TColor ink) {
    std::string s;
    std::uint32_t p = ColorToPixel(ink);
    for (int y = 0; y < bmp.Height(); ++y) {
        for (int x = 0; x < bmp.Width(); ++x) s += (bmp.ScanLine(y)[x] & 0xFFFFFF) == p ? '#' : '.';
        s += '\n';
    }
    return s;
}

} // namespace kel::test
