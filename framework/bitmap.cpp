// TBitmap's in-memory side: construction, resizing with the size limits, scan lines, Assign
// and transparency. Loading and saving live in bitmap_io.cpp, named resources in resources.cpp.
//
// Pixels are one contiguous vector of Width x Height 32-bit words, top row first; the canvas is
// re-bound to that storage after every change of size or storage, since a reallocation moves it.
#include "kel_graphics.h"

#include "detail/raster.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace kel {

namespace detail {

// Raises EInvalidGraphic unless w x h is a size a bitmap may have; what names the source of
// the size (empty for a plain resize). Also used by the decoders (bitmap_io.cpp).
void CheckBitmapSize(std::int64_t w, std::int64_t h, const std::string& what);

void CheckBitmapSize(std::int64_t w, std::int64_t h, const std::string& what) {
    if (w < 0 || h < 0 || w > TBitmap::MaxSide || h > TBitmap::MaxSide ||
        w * h > TBitmap::MaxPixels)
        throw EInvalidGraphic("Invalid bitmap size " + std::to_string(w) + " x " +
                              std::to_string(h) + (what.empty() ? "" : " in " + what) +
                              ": each side must be 0.." + std::to_string(TBitmap::MaxSide) +
                              " and the area at most " + std::to_string(TBitmap::MaxPixels) +
                              " pixels");
}

TPixelStore& TPixelStore::operator=(const TPixelStore& o) {
    if (this == &o) return *this;
    TPixelStore copy;
    if (o.FSize > 0) {
        copy.resize(o.FSize);
        std::memcpy(copy.data(), o.data(), o.FSize * sizeof(std::uint32_t));
    }
    swap(copy);
    return *this;
}

void TPixelStore::resize(std::size_t n) {
    if (n > FCapacity) {
        auto grown = std::make_unique_for_overwrite<std::uint32_t[]>(n);
        if (FSize > 0) std::memcpy(grown.get(), FData.get(), FSize * sizeof(std::uint32_t));
        FData = std::move(grown);
        FCapacity = n;
    }
    FSize = n;
}

} // namespace detail

TBitmap::TBitmap() { Rebind(); }

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() = default;

void TBitmap::Rebind() {
    FCanvas.SetSurface(FPixels.empty() ? nullptr : FPixels.data(), FWidth, FHeight, FWidth);
}

void TBitmap::SetWidth(int w) { SetSize(w, FHeight); }

void TBitmap::SetHeight(int h) { SetSize(FWidth, h); }

namespace {

constexpr std::uint32_t White = 0x00FFFFFFu;

// White through the canvas's fill, which hands long runs to the C library's wide fill.
void FillWhite(std::uint32_t* p, std::size_t n) {
    raster::FillPixels(p, raster::i64(n), White, pmCopy);
}

// Storage up to this many pixels (4 MiB) is kept however small the bitmap becomes; larger
// storage is kept while at least a quarter of it is in use.
constexpr std::size_t KeptIdle = std::size_t{1} << 20;

} // namespace

void TBitmap::SetSize(int w, int h) {
    detail::CheckBitmapSize(w, h, "");
    if (w == FWidth && h == FHeight) return;
    const std::size_t n = std::size_t(w) * std::size_t(h);
    const int keepW = std::min(w, FWidth), keepH = std::min(h, FHeight);
    const std::size_t cap = FPixels.capacity();
    if (n <= cap && (cap <= KeptIdle || n >= cap / 4)) {
        // In place: a form's surface that is resized back and forth allocates (and faults in
        // fresh pages) once. Rows move to the new stride in the order that never overwrites a
        // row not yet moved.
        if (n > FPixels.size()) FPixels.resize(n);
        std::uint32_t* p = FPixels.data();
        const auto moveRow = [&](int y) {
            std::uint32_t* to = p + std::size_t(y) * std::size_t(w);
            if (keepW > 0)
                std::memmove(to, p + std::size_t(y) * std::size_t(FWidth),
                             std::size_t(keepW) * sizeof(std::uint32_t));
            FillWhite(to + keepW, std::size_t(w - keepW));
        };
        if (w > FWidth)
            for (int y = keepH - 1; y >= 0; --y) moveRow(y);
        else
            for (int y = 0; y < keepH; ++y) moveRow(y);
        FillWhite(p + std::size_t(keepH) * std::size_t(w), n - std::size_t(keepH) * std::size_t(w));
        FPixels.resize(n);
    } else {
        detail::TPixelStore pixels(n);
        for (int y = 0; y < keepH; ++y) {
            std::uint32_t* to = pixels.data() + std::size_t(y) * std::size_t(w);
            if (keepW > 0)
                std::memcpy(to, FPixels.data() + std::size_t(y) * std::size_t(FWidth),
                            std::size_t(keepW) * sizeof(std::uint32_t));
            FillWhite(to + keepW, std::size_t(w - keepW));
        }
        FillWhite(pixels.data() + std::size_t(keepH) * std::size_t(w),
                  n - std::size_t(keepH) * std::size_t(w));
        FPixels.swap(pixels);
    }
    FWidth = w;
    FHeight = h;
    Rebind();
}

std::uint32_t* TBitmap::ScanLine(int y) {
    return const_cast<std::uint32_t*>(std::as_const(*this).ScanLine(y));
}

const std::uint32_t* TBitmap::ScanLine(int y) const {
    if (y < 0 || y >= FHeight)
        throw EInvalidGraphic("Scan line index " + std::to_string(y) +
                              " out of range (bitmap has " + std::to_string(FHeight) + " rows)");
    return FPixels.data() + std::size_t(y) * FWidth;
}

void TBitmap::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TBitmap*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this) return;
    FPixels = src->FPixels;
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    FPixelFormat = src->FPixelFormat;
    FTransparent = src->FTransparent;
    FTransparentMode = src->FTransparentMode;
    FTransparentColor = src->FTransparentColor;
    Rebind();
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    // Automatic key: the bottom-left pixel, which is the first pixel of bottom-up image data.
    if (Empty()) return clNone;
    return PixelToColor(FPixels[std::size_t(FHeight - 1) * FWidth]) & 0x00FFFFFFu;
}

void TBitmap::SetTransparentColor(TColor c) {
    FTransparentColor = c;
    // clDefault hands the choice back to the image; any other value fixes the key.
    FTransparentMode = c == clDefault ? tmAuto : tmFixed;
}

} // namespace kel
