// Files that claim huge sizes: a report list document announcing 10^9 rows, a BMP header of
// 100,000 x 100,000 pixels and a CSV stream with one field of hundreds of megabytes. Each must
// fail with a clear error before allocating what the claim would need; the memory allocated on
// the way (counted by the operator new of this test program, and the growth of the peak
// resident size) stays below twice the input plus a small fixed allowance.
#include "KEL_replist.h"
#include "kel_graphics.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>
#include <sstream>
#include <streambuf>
#include <string>

// ---- A counting allocator: live bytes and their peak since the last Reset ---------------------

namespace {
std::atomic<long long> gLive{0};
std::atomic<long long> gPeak{0};

void* Count(void* p) {
    if (p == nullptr) throw std::bad_alloc();
    const long long now = gLive += static_cast<long long>(malloc_usable_size(p));
    long long peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void Uncount(void* p) {
    if (p != nullptr) gLive -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
} // namespace

void* operator new(std::size_t n) { return Count(std::malloc(n ? n : 1)); }
void* operator new[](std::size_t n) { return Count(std::malloc(n ? n : 1)); }
void operator delete(void* p) noexcept { Uncount(p); }
void operator delete[](void* p) noexcept { Uncount(p); }
void operator delete(void* p, std::size_t) noexcept { Uncount(p); }
void operator delete[](void* p, std::size_t) noexcept { Uncount(p); }

namespace {

using namespace kel;

// Peak bytes allocated by F above what was live before it.
template <class F>
long long PeakOf(F&& Run) {
    const long long base = gLive.load();
    gPeak = base;
    Run();
    return gPeak.load() - base;
}

long long MaxRssBytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<long long>(u.ru_maxrss) * 1024;
}

constexpr long long kAllowance = 4 << 20; // buffers, exception texts, the test's own strings

TEST(HugeClaims, ReportListAnnouncingABillionRowsFailsBeforeAllocatingThem) {
    TRLData small(nullptr);
    small.SetNrCols(2);
    small.SetNrRows(2);
    small.SetElem(1, 1, "x");
    std::stringstream out;
    small.WriteToXMLStream(out, true, "id");
    std::string doc = out.str();
    const std::string rows = "<numrows>2</numrows>";
    const std::size_t at = doc.find(rows);
    ASSERT_NE(at, std::string::npos) << doc;
    doc.replace(at, rows.size(), "<numrows>1000000000</numrows>");

    TRLData d(nullptr);
    d.SetNrRows(1);
    d.SetElem(1, 1, "kept");
    const long long rss = MaxRssBytes();
    std::string error;
    const long long peak = PeakOf([&] {
        try {
            d.ReadFromXMLString(doc, "");
        } catch (const EKELRLDataError& e) {
            error = e.what();
        }
    });
    EXPECT_NE(error.find("1000000000"), std::string::npos) << error;
    EXPECT_EQ(d.NrOfRows(), 1);
    EXPECT_EQ(d.Elem(1, 1), "kept");
    const long long bound = 2 * static_cast<long long>(doc.size()) + kAllowance;
    EXPECT_LT(peak, bound) << "allocated " << peak << " bytes for a " << doc.size()
                           << "-byte document";
    EXPECT_LT(MaxRssBytes() - rss, bound);

    // The same claim through a stream.
    std::istringstream in(doc);
    EXPECT_THROW(d.ReadFromXMLStream(in, ""), EKELRLDataError);
    EXPECT_EQ(d.NrOfRows(), 1);
}

// A BMP file header and an info header of 40 bytes claiming Width x Height at 24 bits.
std::string BmpHeader(std::int32_t Width, std::int32_t Height) {
    std::string s(54, '\0');
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
    };
    s[0] = 'B';
    s[1] = 'M';
    put(2, 54 + 4096, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(Width), 4);
    put(22, static_cast<std::uint32_t>(Height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    return s + std::string(4096, '\x7f'); // a little pixel data, far less than claimed
}

TEST(HugeClaims, BmpOfTenBillionPixelsFailsFromItsHeader) {
    const std::string file = BmpHeader(100000, 100000);
    TBitmap bmp(3, 2);
    const long long rss = MaxRssBytes();
    std::string error;
    const long long peak = PeakOf([&] {
        std::istringstream in(file);
        try {
            bmp.LoadFromStream(in);
        } catch (const EInvalidGraphic& e) {
            error = e.what();
        }
    });
    EXPECT_NE(error.find("100000"), std::string::npos) << error;
    EXPECT_EQ(bmp.Width(), 3);
    EXPECT_EQ(bmp.Height(), 2);
    const long long bound = 2 * static_cast<long long>(file.size()) + kAllowance;
    EXPECT_LT(peak, bound) << "allocated " << peak << " bytes";
    EXPECT_LT(MaxRssBytes() - rss, bound);

    // A size the bitmap allows (8000 x 8000) with too little data: refused before the pixels.
    const std::string allowed = BmpHeader(8000, 8000);
    std::string error2;
    const long long peak2 = PeakOf([&] {
        std::istringstream in(allowed);
        try {
            bmp.LoadFromStream(in);
        } catch (const EInvalidGraphic& e) {
            error2 = e.what();
        }
    });
    EXPECT_NE(error2.find("truncated"), std::string::npos) << error2;
    EXPECT_LT(peak2, 2 * static_cast<long long>(allowed.size()) + kAllowance);
}

// A stream of Prefix, then Count bytes of Fill, then Suffix, made up as it is read (nothing of
// that size exists in memory) and not seekable, like a pipe.
class TMadeUpStream : public std::streambuf {
  public:
    TMadeUpStream(std::string Prefix, char Fill, long long Count, std::string Suffix)
        : FPrefix(std::move(Prefix)), FSuffix(std::move(Suffix)), FFill(Fill), FCount(Count) {}
    long long Served() const { return FServed; }

  protected:
    int_type underflow() override {
        std::size_t n = 0;
        while (n < sizeof FBuf && (FPos < static_cast<long long>(FPrefix.size()) + FCount +
                                              static_cast<long long>(FSuffix.size()))) {
            const long long p = FPos++;
            const long long pre = static_cast<long long>(FPrefix.size());
            FBuf[n++] = p < pre            ? FPrefix[static_cast<std::size_t>(p)]
                        : p < pre + FCount ? FFill
                                           : FSuffix[static_cast<std::size_t>(p - pre - FCount)];
        }
        if (n == 0) return traits_type::eof();
        FServed += static_cast<long long>(n);
        setg(FBuf, FBuf, FBuf + n);
        return traits_type::to_int_type(FBuf[0]);
    }

  private:
    std::string FPrefix, FSuffix;
    char FFill;
    long long FCount;
    long long FPos = 0, FServed = 0;
    char FBuf[1 << 16];
};

TEST(HugeClaims, CsvFieldOfHundredsOfMegabytesFailsWithBoundedMemory) {
    constexpr long long kField = 300LL << 20;
    for (const char* quote : {"", "\""}) {
        TMadeUpStream buf(std::string("a,b\n1,") + quote, 'x', kField,
                          std::string(quote) + "\n2,3\n");
        std::istream in(&buf);
        TRLData d(nullptr);
        d.SetNrRows(1);
        d.SetElem(1, 1, "kept");
        std::string error;
        const long long peak = PeakOf([&] {
            try {
                d.ImportCSV(in, csvComma, true);
            } catch (const EKELRLDataError& e) {
                error = e.what();
            }
        });
        EXPECT_NE(error.find("CSV stream, line 2: a record longer than"), std::string::npos)
            << error;
        EXPECT_EQ(d.NrOfRows(), 1);
        EXPECT_EQ(d.Elem(1, 1), "kept");
        // Fails early: far less than the field was read, and memory stayed bounded by what
        // was read, not by the field.
        EXPECT_LT(buf.Served(), kField / 2);
        EXPECT_LT(peak, 2 * buf.Served() + kAllowance) << "allocated " << peak << " bytes";
        EXPECT_LT(peak, 160LL << 20);
    }
}

TEST(HugeClaims, CsvFieldOfSomeMegabytesIsReadWhole) {
    constexpr long long kField = 5LL << 20;
    TMadeUpStream buf("a,b\n\"", 'y', kField, "\",z\n");
    std::istream in(&buf);
    TRLData d(nullptr);
    const long long peak = PeakOf([&] { EXPECT_EQ(d.ImportCSV(in, csvComma, true), 1); });
    ASSERT_EQ(d.NrOfRows(), 1);
    EXPECT_EQ(d.Elem(1, 1), std::string(TStringArray::MaxCellChars, 'y')); // cells keep 255
    EXPECT_EQ(d.Elem(2, 1), "z");
    // Only the record buffer grows with the field.
    EXPECT_LT(peak, 2 * kField + kAllowance) << "allocated " << peak << " bytes";
}

} // namespace
