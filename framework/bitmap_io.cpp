// Reading and writing TBitmap images: BMP (read at 1, 4, 8, 16, 24 and 32 bits per pixel,
// written at 24 or 32) and PNG through libpng, the format recognised by the file's content.
//
// Every decoder works on the whole file held in memory, checks each header field and each read
// against the bytes actually present, and fills a temporary image; only a complete decode is
// swapped into the bitmap, so a failed load leaves it exactly as it was. Errors are raised as
// EInvalidGraphic naming the file (or "stream"), EFOpenError when the file cannot be opened.
//
// Index: byte helpers; BMP reader; PNG reader; content detection and loading; BMP writer; PNG
// writer; saving.
#include "kel_graphics.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kel {

namespace detail {
void CheckBitmapSize(std::int64_t w, std::int64_t h, const std::string& what); // bitmap.cpp
} // namespace detail

namespace {

using Bytes = std::vector<std::uint8_t>;

// A decoded image waiting to be swapped into a bitmap.
struct Image {
    int w = 0, h = 0;
    detail::TPixelStore px; // 0x00RRGGBB, top row first
    TPixelFormat format = pf32bit;
};

[[noreturn]] void Fail(const std::string& msg) { throw EInvalidGraphic(msg); }

// ---- Byte helpers ----------------------------------------------------------------------------

// Bounds-checked little-endian reads from the file image.
struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    const char* what; // "BMP header", used in the truncation message

    void Need(std::uint64_t off, std::uint64_t n) const {
        if (off > size || n > size - off)
            Fail(std::string(what) + " truncated: needs " + std::to_string(off + n) +
                 " bytes, file has " + std::to_string(size));
    }
    std::uint16_t U16(std::uint64_t off) const {
        Need(off, 2);
        return std::uint16_t(data[off] | (data[off + 1] << 8));
    }
    std::uint32_t U32(std::uint64_t off) const {
        Need(off, 4);
        return std::uint32_t(data[off]) | (std::uint32_t(data[off + 1]) << 8) |
               (std::uint32_t(data[off + 2]) << 16) | (std::uint32_t(data[off + 3]) << 24);
    }
    std::int32_t I32(std::uint64_t off) const { return std::int32_t(U32(off)); }
};

constexpr std::uint32_t RGBPixel(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r << 16) | (g << 8) | b;
}

// ---- BMP reader ------------------------------------------------------------------------------

constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4,
                        BI_PNG = 5, BI_ALPHABITFIELDS = 6;

// One channel of a BI_BITFIELDS mask: where it sits and how to widen it to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0; // largest value of the field; 0 for an absent channel

    static Channel From(std::uint32_t mask, const char* name) {
        Channel c;
        c.mask = mask;
        if (mask == 0) return c;
        c.shift = std::countr_zero(mask);
        std::uint32_t field = mask >> c.shift;
        if ((field & (field + 1)) != 0) // not one contiguous run of ones
            Fail(std::string("BMP ") + name + " colour mask 0x" + [&] {
                char buf[16];
                std::snprintf(buf, sizeof buf, "%08X", mask);
                return std::string(buf);
            }() + " is not contiguous");
        c.max = field;
        return c;
    }
    std::uint32_t Get(std::uint32_t word) const {
        if (max == 0) return 0;
        std::uint64_t v = (word & mask) >> shift;
        return std::uint32_t((v * 255 + max / 2) / max);
    }
};

Image DecodeBmp(const Bytes& file) {
    Reader rd{file.data(), file.size(), "BMP header"};
    const std::uint32_t offBits = rd.U32(10);
    const std::uint32_t hdrSize = rd.U32(14);
    const bool core = hdrSize == 12;
    if (!core && hdrSize != 40 && hdrSize != 52 && hdrSize != 56 && hdrSize != 108 &&
        hdrSize != 124)
        Fail("unsupported BMP header size " + std::to_string(hdrSize));
    rd.Need(14, hdrSize);

    std::int64_t w, h;
    int bpp;
    std::uint32_t compression = BI_RGB, clrUsed = 0;
    if (core) {
        w = rd.U16(18);
        h = rd.U16(20);
        bpp = rd.U16(24);
    } else {
        w = rd.I32(18);
        h = rd.I32(22);
        bpp = rd.U16(28);
        compression = rd.U32(30);
        clrUsed = rd.U32(46);
    }
    const bool topDown = h < 0;
    if (topDown) h = -h;
    if (w <= 0 || h == 0)
        Fail("invalid BMP size " + std::to_string(w) + " x " + std::to_string(h) +
             " (both sides must be positive)");
    detail::CheckBitmapSize(w, h, "BMP header");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Fail("unsupported BMP bit depth " + std::to_string(bpp));
    if (core && bpp > 24) Fail("unsupported BMP bit depth " + std::to_string(bpp));

    switch (compression) {
    case BI_RGB:
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (bpp != 16 && bpp != 32)
            Fail("BMP bit-field masks need 16 or 32 bits per pixel, not " + std::to_string(bpp));
        break;
    case BI_RLE8:
    case BI_RLE4:
        Fail("run-length encoded BMP (RLE) is not supported");
    case BI_JPEG:
    case BI_PNG:
        Fail("BMP with embedded JPEG or PNG data is not supported");
    default:
        Fail("unsupported BMP compression " + std::to_string(compression));
    }

    // Colour masks for 16 and 32 bits: from the header, after a 40-byte header, or the defaults.
    Channel red, green, blue;
    if (bpp == 16 || bpp == 32) {
        std::uint32_t rm, gm, bm;
        if (compression == BI_RGB) {
            if (bpp == 16)
                rm = 0x7C00, gm = 0x03E0, bm = 0x001F;
            else
                rm = 0xFF0000, gm = 0x00FF00, bm = 0x0000FF;
        } else {
            Reader masks{file.data(), file.size(), "BMP colour masks"};
            rm = masks.U32(14 + 40);
            gm = masks.U32(14 + 44);
            bm = masks.U32(14 + 48);
        }
        if (bpp == 16 && ((rm | gm | bm) >> 16) != 0) Fail("BMP colour mask wider than 16 bits");
        red = Channel::From(rm, "red");
        green = Channel::From(gm, "green");
        blue = Channel::From(bm, "blue");
    }

    // Palette for 1, 4 and 8 bits. Indexes past the stored colours read as black.
    std::array<std::uint32_t, 256> palette{};
    if (bpp <= 8) {
        const std::uint32_t maxColors = 1u << bpp;
        std::uint32_t n = clrUsed == 0 ? maxColors : clrUsed;
        if (n > maxColors)
            Fail("BMP palette of " + std::to_string(n) + " colours is too large for " +
                 std::to_string(bpp) + " bits per pixel");
        const std::uint64_t entry = core ? 3 : 4, start = 14 + std::uint64_t(hdrSize);
        Reader pal{file.data(), file.size(), "BMP palette"};
        pal.Need(start, entry * n);
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint8_t* e = file.data() + start + entry * i;
            palette[i] = RGBPixel(e[2], e[1], e[0]);
        }
    }

    // Pixel data: every row padded to 4 bytes; the last row's padding may be missing.
    const std::uint64_t rowBytes = (std::uint64_t(w) * bpp + 7) / 8;
    const std::uint64_t stride = (std::uint64_t(w) * bpp + 31) / 32 * 4;
    const std::uint64_t need = stride * std::uint64_t(h - 1) + rowBytes;
    if (offBits > file.size() || need > file.size() - offBits)
        Fail("BMP pixel data truncated: " + std::to_string(need) + " bytes at offset " +
             std::to_string(offBits) + ", file has " + std::to_string(file.size()));

    Image img;
    img.w = int(w);
    img.h = int(h);
    img.format = bpp == 1    ? pf1bit
                 : bpp == 4  ? pf4bit
                 : bpp == 8  ? pf8bit
                 : bpp == 16 ? (green.max == 31 ? pf15bit : pf16bit)
                 : bpp == 24 ? pf24bit
                             : pf32bit;
    img.px.resize(std::size_t(w) * std::size_t(h));
    for (std::int64_t r = 0; r < h; ++r) {
        const std::uint8_t* src = file.data() + offBits + stride * std::uint64_t(r);
        const std::int64_t y = topDown ? r : h - 1 - r;
        std::uint32_t* dst = img.px.data() + std::size_t(y) * std::size_t(w);
        switch (bpp) {
        case 1:
            for (std::int64_t x = 0; x < w; ++x)
                dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (std::int64_t x = 0; x < w; ++x)
                dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
            break;
        case 8:
            for (std::int64_t x = 0; x < w; ++x) dst[x] = palette[src[x]];
            break;
        case 24:
            for (std::int64_t x = 0; x < w; ++x, src += 3)
                dst[x] = RGBPixel(src[2], src[1], src[0]);
            break;
        case 16:
            for (std::int64_t x = 0; x < w; ++x, src += 2) {
                std::uint32_t v = src[0] | (src[1] << 8);
                dst[x] = RGBPixel(red.Get(v), green.Get(v), blue.Get(v));
            }
            break;
        default: // 32
            for (std::int64_t x = 0; x < w; ++x, src += 4) {
                std::uint32_t v = std::uint32_t(src[0]) | (std::uint32_t(src[1]) << 8) |
                                  (std::uint32_t(src[2]) << 16) | (std::uint32_t(src[3]) << 24);
                dst[x] = RGBPixel(red.Get(v), green.Get(v), blue.Get(v));
            }
            break;
        }
    }
    return img;
}

// ---- PNG reader ------------------------------------------------------------------------------

// libpng reports errors through longjmp; the message is kept here and raised as an exception
// once control is back in C++ code with no C frames in between.
struct PngReadState {
    const Bytes* file;
    std::size_t pos;
    char msg[200];
};

void PngError(png_structp png, png_const_charp msg) {
    auto* st = static_cast<PngReadState*>(png_get_error_ptr(png));
    std::snprintf(st->msg, sizeof st->msg, "%s", msg ? msg : "PNG error");
    png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, png_size_t n) {
    auto* st = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (n > st->file->size() - st->pos) png_error(png, "data truncated");
    std::memcpy(out, st->file->data() + st->pos, n);
    st->pos += n;
}

// Deflate never expands more than 1032 times; a header claiming more raw data than that from
// the bytes present is a lie, refused before any large allocation.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

// Runs libpng between setjmp and the end; returns nullptr on success or the error text.
// Kept free of objects with destructors so the longjmp skips nothing that needs cleaning.
const char* PngDecodeInto(png_structp png, png_infop info, PngReadState& st, Image& img,
                          std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) return st.msg;
    png_set_user_limits(png, png_uint_32(TBitmap::MaxSide), png_uint_32(TBitmap::MaxSide));
    png_set_chunk_malloc_max(png, 8u << 20);
    png_set_read_fn(png, &st, PngRead);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    const int depth = png_get_bit_depth(png, info), type = png_get_color_type(png, info);
    if (std::uint64_t(w) * h > std::uint64_t(TBitmap::MaxPixels)) {
        std::snprintf(st.msg, sizeof st.msg, "PNG size %u x %u is larger than %lld pixels",
                      unsigned(w), unsigned(h), static_cast<long long>(TBitmap::MaxPixels));
        return st.msg;
    }
    const std::uint64_t raw =
        std::uint64_t(h) * (1 + (std::uint64_t(w) * png_get_channels(png, info) * depth + 7) / 8);
    if (raw > kMaxDeflateRatio * (st.file->size() - st.pos) + 1024) {
        std::snprintf(st.msg, sizeof st.msg,
                      "PNG size %u x %u claims more image data than the file holds", unsigned(w),
                      unsigned(h));
        return st.msg;
    }
    // Any colour type and depth to 8-bit B, G, R, A bytes.
    png_set_expand(png);
    png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(w) * 4) {
        std::snprintf(st.msg, sizeof st.msg, "PNG colour conversion failed");
        return st.msg;
    }
    img.w = int(w);
    img.h = int(h);
    img.format = pf32bit;
    img.px.resize(std::size_t(w) * h); // every row is read whole below
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = reinterpret_cast<png_bytep>(img.px.data() + std::size_t(y) * w);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return nullptr;
}

// libpng allocates a chunk's claimed length before it reads the chunk, so a chunk claiming
// more bytes than the file holds is refused here, before any allocation. The walk stops at
// IEND (what follows it is ignored) or where too little is left for a chunk header, which
// libpng then reports.
void CheckPngChunkLengths(const Bytes& file) {
    std::size_t pos = 8; // after the signature
    while (pos <= file.size() && file.size() - pos >= 12) {
        const std::uint32_t len = std::uint32_t(file[pos]) << 24 |
                                  std::uint32_t(file[pos + 1]) << 16 |
                                  std::uint32_t(file[pos + 2]) << 8 | std::uint32_t(file[pos + 3]);
        std::string type(reinterpret_cast<const char*>(file.data() + pos + 4), 4);
        for (char& c : type)
            if (c < 0x20 || c > 0x7E) c = '?';
        const std::size_t left = file.size() - pos - 12;
        if (len > left)
            Fail("PNG chunk \"" + type + "\" at offset " + std::to_string(pos) + " claims " +
                 std::to_string(len) + " bytes, file has " + std::to_string(left) + " left");
        if (type == "IEND") return;
        pos += 12 + std::size_t(len);
    }
}

Image DecodePng(const Bytes& file) {
    CheckPngChunkLengths(file);
    PngReadState st{&file, 0, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &st, PngError, PngWarning);
    if (!png) Fail("cannot start the PNG decoder");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        Fail("cannot start the PNG decoder");
    }
    Image img;
    std::vector<png_bytep> rows;
    const char* err;
    try {
        err = PngDecodeInto(png, info, st, img, rows);
    } catch (...) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (err) Fail(std::string("PNG: ") + err);
    // B, G, R, A bytes to 0x00RRGGBB words (alpha is not kept: storage has no alpha channel).
    for (std::uint32_t& p : img.px) {
        const auto* b = reinterpret_cast<const std::uint8_t*>(&p);
        p = RGBPixel(b[2], b[1], b[0]);
    }
    return img;
}

// ---- Content detection and loading -----------------------------------------------------------

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

Image Decode(const Bytes& file) {
    if (file.empty()) Fail("the file is empty");
    if (file.size() >= 8 && std::memcmp(file.data(), kPngSignature, 8) == 0) return DecodePng(file);
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') return DecodeBmp(file);
    Fail("not a BMP or PNG image");
}

// Files larger than the largest possible bitmap plus generous headers are refused unread.
constexpr std::uint64_t kMaxFileBytes = std::uint64_t(TBitmap::MaxPixels) * 4 + (64u << 20);

Bytes ReadAll(std::istream& in, const std::string& where) {
    Bytes out;
    char buf[65536];
    while (in) {
        in.read(buf, sizeof buf);
        const std::streamsize got = in.gcount();
        if (got <= 0) break;
        if (out.size() + std::size_t(got) > kMaxFileBytes)
            throw EInvalidGraphic("Invalid image in " + where + ": larger than " +
                                  std::to_string(kMaxFileBytes) + " bytes");
        out.insert(out.end(), buf, buf + got);
    }
    if (in.bad()) throw EReadError("Error reading image from " + where);
    return out;
}

Image DecodeNamed(const Bytes& file, const std::string& where) {
    try {
        return Decode(file);
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic("Invalid image in " + where + ": " + e.what());
    }
}

// ---- BMP writer ------------------------------------------------------------------------------

void Put16(std::string& s, std::uint32_t v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

std::string EncodeBmp(const std::uint32_t* px, int w, int h, int bpp) {
    const std::uint32_t stride = std::uint32_t((std::uint64_t(w) * bpp + 31) / 32 * 4);
    const std::uint32_t imageSize = stride * std::uint32_t(h);
    std::string s;
    s.reserve(54 + std::size_t(imageSize));
    s += "BM";
    Put32(s, 54 + imageSize);
    Put32(s, 0);
    Put32(s, 54);
    Put32(s, 40);
    Put32(s, std::uint32_t(w));
    Put32(s, std::uint32_t(h)); // positive: rows stored bottom-up
    Put16(s, 1);
    Put16(s, std::uint32_t(bpp));
    Put32(s, BI_RGB);
    Put32(s, imageSize);
    Put32(s, 3780); // 96 dpi in pixels per metre
    Put32(s, 3780);
    Put32(s, 0);
    Put32(s, 0);
    for (int y = h - 1; y >= 0; --y) {
        const std::uint32_t* row = px + std::size_t(y) * w;
        const std::size_t start = s.size();
        for (int x = 0; x < w; ++x) {
            s += char(row[x] & 0xFF);
            s += char((row[x] >> 8) & 0xFF);
            s += char((row[x] >> 16) & 0xFF);
            if (bpp == 32) s += char(0);
        }
        s.append(stride - (s.size() - start), char(0));
    }
    return s;
}

// ---- PNG writer ------------------------------------------------------------------------------

struct PngWriteState {
    std::string* out;
    char msg[200];
};

void PngWriteError(png_structp png, png_const_charp msg) {
    auto* st = static_cast<PngWriteState*>(png_get_error_ptr(png));
    std::snprintf(st->msg, sizeof st->msg, "%s", msg ? msg : "PNG error");
    png_longjmp(png, 1);
}

void PngWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* st = static_cast<PngWriteState*>(png_get_io_ptr(png));
    st->out->append(reinterpret_cast<const char*>(data), n);
}
void PngFlush(png_structp) {}

const char* PngEncodeInto(png_structp png, png_infop info, PngWriteState& st, int w, int h,
                          std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) return st.msg;
    png_set_write_fn(png, &st, PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return nullptr;
}

std::string EncodePng(const std::uint32_t* px, int w, int h) {
    // Rows as R, G, B bytes.
    std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3);
    std::vector<png_bytep> rows(h);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* d = rgb.data() + std::size_t(y) * w * 3;
        rows[y] = d;
        const std::uint32_t* row = px + std::size_t(y) * w;
        for (int x = 0; x < w; ++x) {
            d[3 * x] = std::uint8_t(row[x] >> 16);
            d[3 * x + 1] = std::uint8_t(row[x] >> 8);
            d[3 * x + 2] = std::uint8_t(row[x]);
        }
    }
    std::string out;
    PngWriteState st{&out, {}};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &st, PngWriteError, PngWarning);
    if (!png) throw EWriteError("cannot start the PNG encoder");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw EWriteError("cannot start the PNG encoder");
    }
    const char* err;
    try {
        err = PngEncodeInto(png, info, st, w, h, rows);
    } catch (...) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    if (err) throw EWriteError(std::string("PNG encoding failed: ") + err);
    return out;
}

void WriteAll(std::ostream& out, const std::string& data, const std::string& where) {
    out.write(data.data(), std::streamsize(data.size()));
    out.flush();
    if (!out) throw EWriteError("Error writing image to " + where);
}

bool EndsWithPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".png";
}

} // namespace

// ---- TBitmap members -------------------------------------------------------------------------

void TBitmap::LoadFromStream(std::istream& in) {
    Image img = DecodeNamed(ReadAll(in, "stream"), "stream");
    FPixels.swap(img.px);
    FWidth = img.w;
    FHeight = img.h;
    FPixelFormat = img.format;
    Rebind();
}

void TBitmap::LoadFromFile(const std::string& path) {
    const std::string where = "'" + path + "'";
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw EFOpenError("Cannot open file " + where + ": it is a directory");
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) throw EFOpenError("Cannot open file " + where + ": " + std::strerror(errno));
    Image img = DecodeNamed(ReadAll(in, where), where);
    FPixels.swap(img.px);
    FWidth = img.w;
    FHeight = img.h;
    FPixelFormat = img.format;
    Rebind();
}

void TBitmap::SaveToBMPStream(std::ostream& out) const {
    if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap as BMP");
    WriteAll(out, EncodeBmp(FPixels.data(), FWidth, FHeight, FPixelFormat == pf24bit ? 24 : 32),
             "stream");
}

void TBitmap::SaveToPNGStream(std::ostream& out) const {
    if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap as PNG");
    WriteAll(out, EncodePng(FPixels.data(), FWidth, FHeight), "stream");
}

void TBitmap::SaveToFile(const std::string& path) const {
    const std::string where = "'" + path + "'";
    if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap to " + where);
    // Encode first, so a failure to encode leaves no half-written file behind.
    const std::string data = EndsWithPng(path) ? EncodePng(FPixels.data(), FWidth, FHeight)
                                               : EncodeBmp(FPixels.data(), FWidth, FHeight,
                                                           FPixelFormat == pf24bit ? 24 : 32);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.is_open())
        throw EFOpenError("Cannot create file " + where + ": " + std::strerror(errno));
    WriteAll(out, data, where);
}

} // namespace kel
