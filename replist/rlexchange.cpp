// Exchange formats of the report list container: CheckIfValidReplist, CSV import and export,
// text lines into a column, the XML report list (read and written with pugixml) and the HTML
// table export. docs/replist-formats.md describes the formats.
//
// Every reader builds the complete new content apart and installs it only when the input was
// read without fault, so a failed read leaves the container as it was. Every file writer writes
// a temporary file in the target's folder and renames it over the target when it is complete.
//
// Index: file helpers; text checks; CheckIfValidReplist; CSV; text lines; XML writing; XML
// reading; HTML.
#include "KEL_replist.h"

#include "Kel_streams.h"
#include "Kel_stringl.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <istream>
#include <limits>
#include <memory>
#include <optional>
#include <new>
#include <ostream>
#include <sstream>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kel {

namespace {

// ---- File helpers ------------------------------------------------------------------------------

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The whole file as bytes. Raises EFOpenError when it cannot be opened and EReadError when it
// cannot be read.
std::string ReadWholeFile(const std::string& FName) {
    std::ifstream in(FName, std::ios::binary);
    if (!in.is_open())
        throw EFOpenError("Cannot open file " + Quoted(FName) + ": " + std::strerror(errno));
    std::string data;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) data.reserve(static_cast<std::size_t>(size));
    char buf[1 << 16];
    while (in) {
        in.read(buf, sizeof buf);
        data.append(buf, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) throw EReadError("Cannot read file " + Quoted(FName));
    return data;
}

// The whole file in one buffer, read straight into it (no zero fill, no copy): the XML reader
// parses it in place.
struct TFileBuffer {
    std::unique_ptr<char[]> Data;
    std::size_t Size = 0;
};

TFileBuffer ReadFileBuffer(const std::string& FName) {
    const int fd = ::open(FName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError("Cannot open file " + Quoted(FName) + ": " + std::strerror(errno));
    struct TCloser {
        int Fd;
        ~TCloser() { ::close(Fd); }
    } closer{fd};
    struct stat st {};
    std::size_t cap = 1 << 16;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        cap = static_cast<std::size_t>(st.st_size) + 1;
    TFileBuffer b;
    b.Data.reset(new char[cap]);
    for (;;) {
        if (b.Size == cap) { // the file is longer than it was, or not a regular file
            std::unique_ptr<char[]> bigger(new char[cap * 2]);
            std::memcpy(bigger.get(), b.Data.get(), b.Size);
            b.Data = std::move(bigger);
            cap *= 2;
        }
        const ssize_t n = ::read(fd, b.Data.get() + b.Size, cap - b.Size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            throw EReadError("Cannot read file " + Quoted(FName) + ": " + std::strerror(errno));
        if (n == 0) break;
        b.Size += static_cast<std::size_t>(n);
    }
    return b;
}

// Writes a file through Write(stream): first into a temporary file beside FName, which is then
// renamed over FName. On any failure the temporary file is removed and FName is untouched.
template <class F>
void WriteFileSafely(const std::string& FName, F Write) {
    std::string tmp = FName + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        throw EFOpenError("Cannot create file " + Quoted(FName) + ": " + std::strerror(errno));
    // mkstemp creates the file for the owner only: give it the mode the target has (or would
    // get from the umask), so replacing a file does not change who may read it.
    struct stat st {};
    mode_t mode;
    if (::stat(FName.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    ::close(fd);
    try {
        {
            std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
            if (!out.is_open()) throw EFOpenError("Cannot create file " + Quoted(tmp));
            Write(out);
            out.flush();
            if (!out) throw EWriteError("Cannot write file " + Quoted(FName));
        }
        if (std::rename(tmp.c_str(), FName.c_str()) != 0)
            throw EWriteError("Cannot replace file " + Quoted(FName) + ": " + std::strerror(errno));
    } catch (...) {
        std::remove(tmp.c_str());
        throw;
    }
}

// 1-based line number of byte Offset of Text.
std::size_t LineAt(const char* Text, std::size_t Offset) {
    return 1 + static_cast<std::size_t>(std::count(Text, Text + Offset, '\n'));
}

// ---- Text checks -------------------------------------------------------------------------------

// Length of the well-formed UTF-8 sequence at p (end excluded) and its code point, or 0 when the
// bytes there are not one (overlong forms, surrogates and values beyond U+10FFFF included).
int DecodeUtf8(const unsigned char* p, const unsigned char* end, std::uint32_t& cp) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    int n;
    std::uint32_t min;
    if ((b & 0xE0) == 0xC0)
        n = 2, cp = b & 0x1F, min = 0x80;
    else if ((b & 0xF0) == 0xE0)
        n = 3, cp = b & 0x0F, min = 0x800;
    else if ((b & 0xF8) == 0xF0)
        n = 4, cp = b & 0x07, min = 0x10000;
    else
        return 0;
    if (end - p < n) return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

// Offset of the first byte that is NUL or not part of well-formed UTF-8; Size when there is none.
std::size_t FirstBadTextByte(const char* Text, std::size_t Size) {
    const auto* p = reinterpret_cast<const unsigned char*>(Text);
    const unsigned char* end = p + Size;
    const unsigned char* q = p;
    while (q < end) {
        // Fast path over plain ASCII eight bytes at a time.
        while (end - q >= 8) {
            std::uint64_t w;
            std::memcpy(&w, q, 8);
            const bool ascii = (w & 0x8080808080808080ULL) == 0;
            const bool nul = ((w - 0x0101010101010101ULL) & ~w & 0x8080808080808080ULL) != 0;
            if (!ascii || nul) break;
            q += 8;
        }
        if (q >= end) break;
        if (*q == 0) return static_cast<std::size_t>(q - p);
        std::uint32_t cp;
        const int n = DecodeUtf8(q, end, cp);
        if (n == 0) return static_cast<std::size_t>(q - p);
        q += n;
    }
    return Size;
}

// Raises EKELRLDataError when a text file holds NUL bytes or malformed UTF-8.
void CheckTextFile(const std::string& Data, const std::string& Where) {
    const std::size_t bad = FirstBadTextByte(Data.data(), Data.size());
    if (bad == Data.size()) return;
    const char* what = Data[bad] == '\0' ? "holds a NUL byte (binary data?)" : "is not UTF-8 text";
    throw EKELRLDataError(Where + ", line " + std::to_string(LineAt(Data.data(), bad)) +
                          ": the file " + what);
}

std::string LowerAscii(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

std::string TrimBlanks(const std::string& s) {
    return StripTrailingChars(StripLeadingChars(s, ' '), ' ');
}

// The identifier test of CheckIfValidReplist and of the readers: equal without regard to ASCII
// case and to blanks at either end (of the file's identifier and of the one asked for).
bool SameReplistId(const std::string& FileId, const std::string& DataID) {
    return LowerAscii(TrimBlanks(FileId)) == LowerAscii(TrimBlanks(DataID));
}

// Decodes the XML references &amp; &lt; &gt; &quot; &apos; &#n; &#xh; of an attribute text;
// anything else is kept as written.
std::string DecodeXmlRefs(const std::string& s) {
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] != '&') {
            out += s[i++];
            continue;
        }
        const std::size_t semi = s.find(';', i);
        if (semi == std::string::npos || semi - i > 12) {
            out += s[i++];
            continue;
        }
        const std::string ref = s.substr(i + 1, semi - i - 1);
        std::string rep;
        if (ref == "amp")
            rep = "&";
        else if (ref == "lt")
            rep = "<";
        else if (ref == "gt")
            rep = ">";
        else if (ref == "quot")
            rep = "\"";
        else if (ref == "apos")
            rep = "'";
        else if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x' || ref[1] == 'X';
            std::uint32_t cp = 0;
            bool ok = ref.size() > (hex ? 2u : 1u);
            for (std::size_t k = hex ? 2 : 1; ok && k < ref.size(); ++k) {
                const char ch = ref[k];
                int d = -1;
                if (ch >= '0' && ch <= '9')
                    d = ch - '0';
                else if (hex && ch >= 'a' && ch <= 'f')
                    d = ch - 'a' + 10;
                else if (hex && ch >= 'A' && ch <= 'F')
                    d = ch - 'A' + 10;
                ok = d >= 0 && cp <= 0x10FFFF;
                cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(std::max(d, 0));
            }
            if (ok && cp > 0 && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
                if (cp < 0x80)
                    rep += static_cast<char>(cp);
                else if (cp < 0x800)
                    rep += static_cast<char>(0xC0 | (cp >> 6)),
                        rep += static_cast<char>(0x80 | (cp & 0x3F));
                else if (cp < 0x10000)
                    rep += static_cast<char>(0xE0 | (cp >> 12)),
                        rep += static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                        rep += static_cast<char>(0x80 | (cp & 0x3F));
                else
                    rep += static_cast<char>(0xF0 | (cp >> 18)),
                        rep += static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
                        rep += static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                        rep += static_cast<char>(0x80 | (cp & 0x3F));
            }
        }
        if (rep.empty()) {
            out += s[i++];
            continue;
        }
        out += rep;
        i = semi + 1;
    }
    return out;
}

// ---- CheckIfValidReplist -----------------------------------------------------------------------

bool IsHeaderLine(const std::string& LowerLine) {
    return LowerLine.find("<replist") != std::string::npos &&
           LowerLine.find("kelmosaic") != std::string::npos;
}

// Bytes of a hex-encoded text (either case of digits); false when Hex is not one.
bool HexDecodeText(const std::string& Hex, std::string& Out) {
    if (Hex.size() % 2 != 0) return false;
    auto digit = [](char ch) {
        if (ch >= '0' && ch <= '9') return ch - '0';
        if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
        if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
        return -1;
    };
    Out.clear();
    for (std::size_t i = 0; i < Hex.size(); i += 2) {
        const int hi = digit(Hex[i]), lo = digit(Hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        Out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

// The attribute Name="..." (or '...') of the first "<replist" tag of Line (tag and attribute
// names in any case; bare words such as the marker are skipped), references decoded and
// literal white space turned into blanks as an XML parser reads attribute values. False when
// the tag has no such attribute or its value has no closing quote.
bool HeaderAttribute(const std::string& Line, const char* Name, std::string& Value) {
    const std::string low = LowerAscii(Line);
    std::size_t i = low.find("<replist");
    if (i == std::string::npos) return false;
    i += 8;
    auto blank = [&](std::size_t k) {
        return k < low.size() && (low[k] == ' ' || low[k] == '\t' || low[k] == '\r');
    };
    while (i < low.size() && low[i] != '>') {
        while (blank(i)) ++i;
        const std::size_t nameStart = i;
        while (i < low.size() && std::strchr(" \t\r=>\"'", low[i]) == nullptr) ++i;
        const std::size_t nameEnd = i;
        while (blank(i)) ++i;
        if (i >= low.size() || low[i] != '=') { // a bare word (or a stray character)
            if (nameEnd == nameStart && i < low.size() && low[i] != '>') ++i;
            continue;
        }
        ++i;
        while (blank(i)) ++i;
        if (i >= low.size() || (low[i] != '"' && low[i] != '\'')) continue;
        const std::size_t close = low.find(low[i], i + 1);
        if (close == std::string::npos) return false;
        if (low.compare(nameStart, nameEnd - nameStart, Name) == 0) {
            std::string v = Line.substr(i + 1, close - i - 1);
            for (char& ch : v)
                if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
            Value = DecodeXmlRefs(v);
            return true;
        }
        i = close + 1;
    }
    return false;
}

// The identifier of a header line as the writer wrote it: id="..." decoded (hex when
// idenc="hex"), empty without an id attribute; false when the hex form is broken.
bool HeaderIdentifier(const std::string& Line, std::string& Id) {
    std::string raw, enc;
    Id.clear();
    if (!HeaderAttribute(Line, "id", raw)) return true;
    if (HeaderAttribute(Line, "idenc", enc) && LowerAscii(enc) == "hex")
        return HexDecodeText(raw, Id);
    Id = std::move(raw);
    return true;
}

bool HeaderCounts(const std::string& Line, const std::string& DataID) {
    if (!IsHeaderLine(LowerAscii(Line))) return false;
    if (DataID.empty()) return true;
    std::string id;
    return HeaderIdentifier(Line, id) && SameReplistId(id, DataID);
}

} // namespace

bool CheckIfValidReplist(std::istream& InStream, const std::string& DataID) {
    bool eof = false;
    while (!eof) {
        const std::string line = ReadLnStream(InStream, eof, 0);
        if (HeaderCounts(line, DataID)) return true;
    }
    return false;
}

bool CheckIfValidReplist(const std::string& FName, const std::string& DataID) {
    std::ifstream in(FName, std::ios::binary);
    if (!in.is_open())
        throw EFOpenError("Cannot open file " + Quoted(FName) + ": " + std::strerror(errno));
    const bool found = CheckIfValidReplist(in, DataID);
    if (in.bad()) throw EReadError("Cannot read file " + Quoted(FName));
    return found;
}

// ---- CSV ---------------------------------------------------------------------------------------

namespace {

// Needs quoting: the delimiter, a quote or a line break, or a leading byte order mark (which a
// reader would drop at the start of the file).
bool CsvNeedsQuotes(const std::string& s, char Delim) {
    if (s.compare(0, 3, "\xEF\xBB\xBF") == 0) return true;
    for (char ch : s)
        if (ch == Delim || ch == '"' || ch == '\n' || ch == '\r') return true;
    return false;
}

void CsvWriteField(std::string& out, const std::string& s, char Delim) {
    if (!CsvNeedsQuotes(s, Delim)) {
        out += s;
        return;
    }
    out += '"';
    for (char ch : s) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
}

// Reads CSV records from a file in blocks, so that memory does not grow with the file. A record
// is handed on only when it is complete in the buffer; a record longer than the buffer makes the
// buffer grow. Line ends are LF, CR LF or a lone CR; quoted fields may hold any of them.
class TCsvReader {
  public:
    TCsvReader(const std::string& FName, char Delim, std::string Where)
        : FDelim(Delim), FWhere(std::move(Where)) {
        FFd = ::open(FName.c_str(), O_RDONLY | O_CLOEXEC);
        if (FFd < 0)
            throw EFOpenError("Cannot open file " + Quoted(FName) + ": " + std::strerror(errno));
        struct stat st {};
        if (::fstat(FFd, &st) == 0 && S_ISREG(st.st_mode))
            FSize = static_cast<std::size_t>(st.st_size);
        for (int i = 0; i < 256; ++i) FSpecial[i] = false;
        FSpecial[static_cast<unsigned char>(Delim)] = FSpecial[static_cast<unsigned char>('\n')] =
            FSpecial[static_cast<unsigned char>('\r')] = true;
    }
    // Reads from the stream's current position to its end; its size is known when it can seek.
    TCsvReader(std::istream& In, char Delim, std::string Where)
        : FIn(&In), FDelim(Delim), FWhere(std::move(Where)) {
        const std::istream::pos_type at = In.tellg();
        if (at != std::istream::pos_type(-1) && In.seekg(0, std::ios::end)) {
            const std::istream::pos_type end = In.tellg();
            if (end != std::istream::pos_type(-1) && end >= at)
                FSize = static_cast<std::size_t>(end - at);
        }
        In.clear();
        In.seekg(at);
        In.clear();
        for (int i = 0; i < 256; ++i) FSpecial[i] = false;
        FSpecial[static_cast<unsigned char>(Delim)] = FSpecial[static_cast<unsigned char>('\n')] =
            FSpecial[static_cast<unsigned char>('\r')] = true;
    }
    ~TCsvReader() {
        if (FFd >= 0) ::close(FFd);
    }
    TCsvReader(const TCsvReader&) = delete;
    TCsvReader& operator=(const TCsvReader&) = delete;

    std::size_t FileSize() const { return FSize; } // 0 when unknown

    // Calls Record(fields, bytesReadSoFar) for every record; fields is a vector of string_view.
    template <class F>
    void Run(F&& Record) {
        // Blocks of 1 MiB (less for a smaller file); not zero-filled, only read into.
        std::size_t cap = std::clamp<std::size_t>(FSize + 16, 4096, std::size_t(1) << 20);
        std::unique_ptr<char[]> buf(new char[cap]);
        std::size_t have = 0, total = 0;
        bool eof = false, first = true;
        for (;;) {
            while (!eof && have < cap) {
                const ssize_t n = ReadSome(buf.get() + have, cap - have);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) throw EReadError(FWhere + ": cannot read: " + std::strerror(errno));
                if (n == 0) eof = true;
                have += static_cast<std::size_t>(n);
                total += static_cast<std::size_t>(n);
            }
            std::size_t from = 0;
            if (first && have >= 3 && std::memcmp(buf.get(), "\xEF\xBB\xBF", 3) == 0)
                from = 3; // byte order mark
            first = false;
            const std::size_t used = ParseBlock(buf.get(), from, have, eof, total - have, Record);
            // Whatever was used is complete: check that it is text.
            const std::size_t bad = FirstBadTextByte(buf.get(), used);
            if (bad < used) {
                const char* what =
                    buf[bad] == '\0' ? "holds a NUL byte (binary data?)" : "is not UTF-8 text";
                Fail(buf.get(), bad, std::string("the file ") + what);
            }
            FLineBase += static_cast<std::size_t>(std::count(buf.get(), buf.get() + used, '\n'));
            std::memmove(buf.get(), buf.get() + used, have - used);
            have -= used;
            if (eof && have == 0) break;
            if (have == cap) { // one record fills the buffer
                // A record this long is not a table row; refusing it keeps memory bounded
                // however long the field the file claims.
                if (cap >= kMaxCsvRecord)
                    Fail(buf.get(), 0,
                         "a record longer than " + std::to_string(kMaxCsvRecord >> 20) +
                             " MiB (unclosed quote or not a CSV file?)");
                std::unique_ptr<char[]> bigger(new char[cap * 2]);
                std::memcpy(bigger.get(), buf.get(), have);
                buf = std::move(bigger);
                cap *= 2;
            }
        }
    }

  private:
    static constexpr std::size_t kMaxCsvRecord = std::size_t(64) << 20;

    // Like read(2) on the file or the stream: bytes read, 0 at the end, -1 on an error.
    ssize_t ReadSome(char* To, std::size_t N) {
        if (FIn == nullptr) return ::read(FFd, To, N);
        FIn->read(To, static_cast<std::streamsize>(N));
        const std::streamsize got = FIn->gcount();
        if (got == 0 && FIn->bad()) {
            errno = EIO;
            return -1;
        }
        return static_cast<ssize_t>(got);
    }

    struct Span {
        bool Scratch;
        std::size_t Off, Len;
    };

    // Position of the first delimiter, CR or LF at or after i (Size when none), eight bytes at
    // a time: a byte equal to the pattern gives a zero byte in w ^ pattern, and the lowest set
    // bit of the zero-byte test marks the first such byte exactly.
    std::size_t SkipPlain(const char* Buf, std::size_t i, std::size_t Size) const {
        constexpr std::uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
        const std::uint64_t d = ones * static_cast<unsigned char>(FDelim), lf = ones * '\n',
                            cr = ones * '\r';
        auto zeroBytes = [](std::uint64_t x) { return (x - ones) & ~x & highs; };
        while (i + 8 <= Size) {
            std::uint64_t w;
            std::memcpy(&w, Buf + i, 8);
            const std::uint64_t m = zeroBytes(w ^ d) | zeroBytes(w ^ lf) | zeroBytes(w ^ cr);
            if (m != 0) return i + static_cast<std::size_t>(__builtin_ctzll(m) / 8);
            i += 8;
        }
        while (i < Size && !FSpecial[static_cast<unsigned char>(Buf[i])]) ++i;
        return i;
    }

    [[noreturn]] void Fail(const char* Buf, std::size_t At, const std::string& What) const {
        const std::size_t line =
            FLineBase + static_cast<std::size_t>(std::count(Buf, Buf + At, '\n'));
        throw EKELRLDataError(FWhere + ", line " + std::to_string(line) + ": " + What);
    }

    // Parses the complete records of Buf[From, Size) and returns where the first incomplete one
    // starts (Size when all are complete). At the end of the file every record is complete.
    template <class F>
    std::size_t ParseBlock(const char* Buf, std::size_t From, std::size_t Size, bool Eof,
                           std::size_t BytesBefore, F& Record) {
        std::size_t i = From;
        while (i < Size) {
            const std::size_t recordStart = i;
            FSpans.clear();
            FScratch.clear();
            bool complete = false;
            for (;;) {
                // One field at i.
                Span f{false, i, 0};
                if (Buf[i] == '"') {
                    const std::size_t open = i;
                    std::size_t r = i + 1;
                    f.Off = r;
                    bool closed = false;
                    for (;;) {
                        const void* q = std::memchr(Buf + r, '"', Size - r);
                        if (q == nullptr) break;
                        const std::size_t qp =
                            static_cast<std::size_t>(static_cast<const char*>(q) - Buf);
                        if (qp + 1 == Size && !Eof) break; // a doubled quote may follow
                        if (qp + 1 < Size && Buf[qp + 1] == '"') {
                            if (!f.Scratch) {
                                f.Scratch = true;
                                const std::size_t off = FScratch.size();
                                FScratch.append(Buf + f.Off, qp - f.Off);
                                f.Off = off;
                            } else {
                                FScratch.append(Buf + r, qp - r);
                            }
                            FScratch += '"';
                            r = qp + 2;
                            continue;
                        }
                        if (f.Scratch)
                            FScratch.append(Buf + r, qp - r), f.Len = FScratch.size() - f.Off;
                        else
                            f.Len = qp - f.Off;
                        i = qp + 1;
                        closed = true;
                        break;
                    }
                    if (!closed) {
                        if (Eof) Fail(Buf, open, "quoted field not closed (file cut short?)");
                        return recordStart;
                    }
                    if (i < Size && !FSpecial[static_cast<unsigned char>(Buf[i])])
                        Fail(Buf, i, "text after the closing quote of a field");
                } else {
                    i = SkipPlain(Buf, i, Size);
                    f.Len = i - f.Off;
                }
                if (i >= Size && !Eof) return recordStart;
                FSpans.push_back(f);
                if (i >= Size) {
                    complete = true;
                    break;
                }
                if (Buf[i] == FDelim) {
                    ++i;
                    if (i == Size) {
                        if (!Eof) return recordStart;
                        FSpans.push_back({false, i, 0}); // a delimiter at the very end
                        complete = true;
                        break;
                    }
                    continue;
                }
                // Line end: LF, CR LF or a lone CR (a CR at the end of the block waits for more).
                if (Buf[i] == '\r') {
                    if (i + 1 == Size && !Eof) return recordStart;
                    if (i + 1 < Size && Buf[i + 1] == '\n') ++i;
                }
                ++i;
                complete = true;
                break;
            }
            if (!complete) return recordStart;
            FViews.clear();
            for (const Span& s : FSpans)
                FViews.emplace_back(s.Scratch ? FScratch.data() + s.Off : Buf + s.Off, s.Len);
            Record(FViews, BytesBefore + i);
        }
        return Size;
    }

    int FFd = -1;
    std::istream* FIn = nullptr;
    std::size_t FSize = 0;
    std::size_t FLineBase = 1;
    char FDelim;
    std::string FWhere;
    bool FSpecial[256];
    std::vector<Span> FSpans;
    std::string FScratch;
    std::vector<std::string_view> FViews;
};

} // namespace

int TRLData::ImportCSV(const std::string& FName, TCSVDelimiters Delimiter, bool IncludeColHeaders) {
    const std::string where = "CSV file " + Quoted(FName);
    TCsvReader reader(FName, CSVDelimiterChar(Delimiter), where);
    return ImportCSVRecords(reader, where, IncludeColHeaders);
}

int TRLData::ImportCSV(std::istream& In, TCSVDelimiters Delimiter, bool IncludeColHeaders) {
    const std::string where = "CSV stream";
    TCsvReader reader(In, CSVDelimiterChar(Delimiter), where);
    return ImportCSVRecords(reader, where, IncludeColHeaders);
}

template <class TReader>
int TRLData::ImportCSVRecords(TReader& reader, const std::string& where, bool IncludeColHeaders) {
    TContent ct;
    try {
        // Storage for rows is reserved once, from an estimate made at the first step past the
        // start (the file size over the bytes per record so far); the rows themselves are added
        // in steps of 4096, so that their empty cells are still in the cache when filled.
        constexpr int rowStep = 4096;
        int allocRows = 16;
        bool estimated = false;
        int cols = 1;
        ct.Cells.Resize(cols, allocRows);
        std::vector<std::string> names;
        int row = IncludeColHeaders ? 0 : 1; // row 0 is the header record
        TRLProgress progress(*this,
                             static_cast<long long>(std::max<std::size_t>(reader.FileSize(), 1)));
        long long lastBytes = 0;
        reader.Run([&](const std::vector<std::string_view>& fields, std::size_t bytes) {
            if (row == 0) {
                for (std::string_view f : fields) names.emplace_back(f);
            } else {
                if (row == std::numeric_limits<int>::max() - 1)
                    throw EKELRLDataError(where + ": too many rows");
                if (row > allocRows) {
                    if (!estimated && reader.FileSize() > bytes) {
                        estimated = true;
                        const double perRow = static_cast<double>(bytes) / row;
                        const long long want =
                            static_cast<long long>(reader.FileSize() / perRow * 1.05) + 16;
                        ct.Cells.SetRowAllocStep(static_cast<int>(
                            std::min<long long>(want, std::numeric_limits<int>::max() - 1)));
                    }
                    allocRows =
                        static_cast<int>(std::min<long long>(static_cast<long long>(row) + rowStep,
                                                             std::numeric_limits<int>::max() - 1));
                    ct.Cells.Resize(cols, allocRows);
                }
                if (static_cast<int>(fields.size()) > cols) {
                    if (fields.size() > 100000) throw EKELRLDataError(where + ": too many columns");
                    cols = static_cast<int>(fields.size());
                    ct.Cells.Resize(cols, allocRows);
                }
                int col = 1;
                for (std::string_view f : fields) {
                    if (!f.empty()) ct.Cells.SetString(col, row, f);
                    ++col;
                }
            }
            ++row;
            progress.Tick(static_cast<long long>(bytes) - lastBytes);
            lastBytes = static_cast<long long>(bytes);
        });
        const int rows = std::max(row - 1, 0);
        cols = std::max(cols, std::min(static_cast<int>(names.size()), 100000));
        ct.NrOfCols = cols;
        ct.NrOfRows = rows;
        ct.Cells.Resize(cols, std::max(rows, 1));
        ct.Cells.SetRowAllocStep(10); // the array's usual step from now on
        ct.ColName.resize(cols);
        ct.ColumnFormat.resize(cols);
        ct.ColButMode.assign(cols, cmNone);
        for (int c = 0; c < cols; ++c)
            ct.ColName[c] = c < static_cast<int>(names.size()) ? Utf8Left(names[c], MaxColNameChars)
                                                               : "C-" + std::to_string(c + 1);
        Install(ct);
        progress.Done();
        return rows;
    } catch (const std::bad_alloc&) {
        throw EKELRLDataError(where + ": not enough memory for the table");
    }
}

int TRLData::ExportCSV(const std::string& FName, TCSVDelimiters Delimiter, bool IncludeColHeaders,
                       bool IncludeCommonHeader, int FirstCol, int FirstRow, int LastCol,
                       int LastRow) {
    int rows = 0;
    WriteFileSafely(FName, [&](std::ostream& out) {
        rows = ExportCSV(out, Delimiter, IncludeColHeaders, IncludeCommonHeader, FirstCol, FirstRow,
                         LastCol, LastRow);
    });
    return rows;
}

int TRLData::ExportCSV(std::ostream& Out, TCSVDelimiters Delimiter, bool IncludeColHeaders,
                       bool IncludeCommonHeader, int FirstCol, int FirstRow, int LastCol,
                       int LastRow) {
    const char delim = CSVDelimiterChar(Delimiter);
    FirstCol = std::max(FirstCol, 0);
    LastCol = std::min(LastCol, FNrOfCols);
    FirstRow = std::max(FirstRow, 1);
    LastRow = std::min(LastRow, FNrOfRows);
    const int rows = std::max(LastRow - FirstRow + 1, 0);
    {
        std::ostream& out = Out;
        std::string line;
        if (IncludeCommonHeader) {
            CsvWriteField(line, FCommonHeader, delim);
            line += "\r\n";
        }
        if (IncludeColHeaders && LastCol >= FirstCol) {
            for (int c = FirstCol; c <= LastCol; ++c) {
                if (c > FirstCol) line += delim;
                CsvWriteField(line, GetColName(c), delim);
            }
            line += "\r\n";
        }
        TRLProgress progress(*this, static_cast<long long>(rows));
        for (int r = FirstRow; r <= LastRow && LastCol >= FirstCol; ++r) {
            for (int c = FirstCol; c <= LastCol; ++c) {
                if (c > FirstCol) line += delim;
                CsvWriteField(line, GetElem(c, r), delim);
            }
            line += "\r\n";
            if (line.size() >= (1u << 16)) {
                out.write(line.data(), static_cast<std::streamsize>(line.size()));
                line.clear();
            }
            progress.Tick();
        }
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
        progress.Done();
    }
    if (!Out) throw EWriteError("CSV stream: cannot write");
    return LastCol >= FirstCol ? rows : 0;
}

// ---- Text lines --------------------------------------------------------------------------------

int TRLData::LoadLinesFromFile(int Column, int FirstRow, const std::string& FName) {
    const std::string where = "Text file " + Quoted(FName);
    if (Column < 0) throw EKELRLDataError(where + ": invalid column " + std::to_string(Column));
    return LoadLinesFromText(Column, FirstRow, ReadWholeFile(FName), where);
}

int TRLData::LoadLinesFromStream(int Column, int FirstRow, std::istream& In) {
    const std::string where = "Text stream";
    if (Column < 0) throw EKELRLDataError(where + ": invalid column " + std::to_string(Column));
    std::string data;
    char buf[1 << 16];
    while (In) {
        In.read(buf, sizeof buf);
        data.append(buf, static_cast<std::size_t>(In.gcount()));
    }
    if (In.bad()) throw EReadError(where + ": cannot read");
    return LoadLinesFromText(Column, FirstRow, data, where);
}

int TRLData::LoadLinesFromText(int Column, int FirstRow, const std::string& data,
                               const std::string& where) {
    FirstRow = std::max(FirstRow, 1);
    CheckTextFile(data, where);
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < data.size()) {
        std::size_t e = data.find_first_of("\r\n", i);
        if (e == std::string::npos) e = data.size();
        lines.emplace_back(data, i, e - i);
        if (e < data.size() && data[e] == '\r' && e + 1 < data.size() && data[e + 1] == '\n') ++e;
        i = e + 1;
    }
    const long long lastRow =
        static_cast<long long>(FirstRow) + static_cast<long long>(lines.size()) - 1;
    if (lastRow > std::numeric_limits<int>::max() - 1)
        throw EKELRLDataError(where + ": too many lines");
    if (Column > FNrOfCols) SetNrCols(Column);
    if (lastRow > FNrOfRows) SetNrRows(static_cast<int>(lastRow));
    TRLProgress progress(*this, static_cast<long long>(lines.size()));
    for (std::size_t k = 0; k < lines.size(); ++k) {
        SetElem(Column, FirstRow + static_cast<int>(k), lines[k]);
        progress.Tick();
    }
    progress.Done();
    return static_cast<int>(lines.size());
}

// ---- XML writing -------------------------------------------------------------------------------

namespace {

// True when XML 1.0 carries s: well-formed UTF-8 of characters XML allows (TAB, LF, CR and
// everything from U+0020 on, except surrogates, U+FFFE and U+FFFF). The writer then writes the
// text with references for the characters a parser would change (CR becomes &#13;); other
// values (the remaining control characters, malformed UTF-8) are hex-encoded.
bool XmlCarries(const std::string& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const unsigned char* end = p + s.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b >= 0x20 && b < 0x80) {
            ++p;
            continue;
        }
        if (b == '\t' || b == '\n' || b == '\r') {
            ++p;
            continue;
        }
        if (b < 0x80) return false; // the other control characters
        std::uint32_t cp;
        const int n = DecodeUtf8(p, end, cp);
        if (n == 0 || cp == 0xFFFE || cp == 0xFFFF) return false;
        p += n;
    }
    return true;
}

std::string HexEncode(const std::string& s) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size() * 2);
    for (unsigned char b : s) out += digits[b >> 4], out += digits[b & 15];
    return out;
}

// Appends <Tag>Value</Tag> to Parent; values XML cannot carry are hex-encoded with enc="hex".
void AddTextElement(pugi::xml_node Parent, const char* Tag, const std::string& Value) {
    pugi::xml_node n = Parent.append_child(Tag);
    if (XmlCarries(Value)) {
        if (!Value.empty()) n.text().set(Value.c_str());
    } else {
        n.append_attribute("enc") = "hex";
        n.text().set(HexEncode(Value).c_str());
    }
}

class TStringWriter : public pugi::xml_writer {
  public:
    explicit TStringWriter(std::string& Out) : FOut(Out) {}
    void write(const void* data, std::size_t size) override {
        FOut.append(static_cast<const char*>(data), size);
    }

  private:
    std::string& FOut;
};

// A CR in element text as the character reference XML keeps (a parser turns a literal CR into
// LF). pugixml prints text CRs literally and never writes one elsewhere (attributes get
// references, lines end with LF), so every CR of the printed elements is one of a text.
void EscapeCarriageReturns(std::string& Buffer, std::size_t From) {
    const std::size_t first = Buffer.find('\r', From);
    if (first == std::string::npos) return;
    std::string out(Buffer, 0, first);
    for (std::size_t i = first; i < Buffer.size(); ++i) {
        if (Buffer[i] == '\r')
            out += "&#13;";
        else
            out += Buffer[i];
    }
    Buffer.swap(out);
}

// Prints the children of Doc, one element per line, and empties Doc.
void FlushElements(pugi::xml_document& Doc, std::string& Buffer, std::ostream& Out) {
    const std::size_t from = Buffer.size();
    TStringWriter w(Buffer);
    Doc.print(w, "", pugi::format_indent, pugi::encoding_utf8, 0);
    EscapeCarriageReturns(Buffer, from);
    Doc.reset();
    Out.write(Buffer.data(), static_cast<std::streamsize>(Buffer.size()));
    Buffer.clear();
}

} // namespace

void TRLData::WriteToXMLStream(std::ostream& OutStream, bool CreateHeader,
                               const std::string& DataID) {
    std::string buffer;
    if (CreateHeader) buffer += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    {
        // The opening tag as pugixml prints it (attribute escaping included), on a line of its own.
        pugi::xml_document d;
        pugi::xml_node root = d.append_child("replist");
        root.append_attribute("format") = "kelmosaic";
        // pugixml writes TAB, LF and CR of an attribute as references, so a parser keeps them.
        const bool carried = XmlCarries(DataID);
        root.append_attribute("id") = (carried ? DataID : HexEncode(DataID)).c_str();
        if (!carried) root.append_attribute("idenc") = "hex";
        root.append_child("x");
        std::string tag;
        TStringWriter w(tag);
        d.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
        buffer += tag.substr(0, tag.find("<x"));
        buffer += '\n';
    }
    pugi::xml_document doc;
    doc.append_child(RepListXmlTagName(xmlNumCols)).text().set(FNrOfCols);
    doc.append_child(RepListXmlTagName(xmlNumRows)).text().set(FNrOfRows);
    AddTextElement(doc, RepListXmlTagName(xmlCommonHd), FCommonHeader);
    AddTextElement(doc, RepListXmlTagName(xmlComment), FComment);
    for (int c = 0; c < FNrOfCols; ++c)
        AddTextElement(doc, RepListXmlTagName(xmlColName), FColName[c]);
    for (int c = 0; c < FNrOfCols; ++c)
        AddTextElement(doc, RepListXmlTagName(xmlColumnFormat), FColumnFormat[c]);
    for (int c = 0; c < FNrOfCols; ++c)
        doc.append_child(RepListXmlTagName(xmlCheckedColumn))
            .text()
            .set(static_cast<int>(FColButMode[c]));
    FlushElements(doc, buffer, OutStream);
    // Cells of rows in displayed order, columns 0..NrOfColumns, a block of rows at a time so
    // that the tree never holds more than a few thousand elements.
    const char* cellTag = RepListXmlTagName(xmlCell);
    TRLProgress progress(*this, static_cast<long long>(FNrOfRows));
    int inBlock = 0;
    for (int r = 1; r <= FNrOfRows; ++r) {
        for (int c = 0; c <= FNrOfCols; ++c) AddTextElement(doc, cellTag, FStrings.GetString(c, r));
        inBlock += FNrOfCols + 1;
        if (inBlock >= 4096) {
            FlushElements(doc, buffer, OutStream);
            inBlock = 0;
        }
        progress.Tick();
    }
    FlushElements(doc, buffer, OutStream);
    OutStream << "</replist>\n";
    if (!OutStream) throw EWriteError("Cannot write the report list");
    progress.Done();
}

void TRLData::WriteToOpenXMLFile(std::ostream& TextFile, bool CreateHeader,
                                 const std::string& DataID) {
    WriteToXMLStream(TextFile, CreateHeader, DataID);
}

void TRLData::SaveAsXMLFile(const std::string& FName, const std::string& DataID) {
    WriteFileSafely(FName, [&](std::ostream& out) { WriteToXMLStream(out, true, DataID); });
}

// ---- XML reading -------------------------------------------------------------------------------

namespace {

// Case-insensitive search for an ASCII lower-case needle.
std::size_t FindNoCase(const char* Text, std::size_t Size, std::size_t From, const char* Needle) {
    const std::size_t m = std::strlen(Needle);
    const char first = Needle[0];
    const char firstUp = static_cast<char>(first >= 'a' && first <= 'z' ? first - 32 : first);
    for (std::size_t i = From; i + m <= Size; ++i) {
        if (Text[i] != first && Text[i] != firstUp) continue;
        std::size_t k = 1;
        for (; k < m; ++k) {
            char ch = Text[i + k];
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
            if (ch != Needle[k]) break;
        }
        if (k == m) return i;
    }
    return std::string::npos;
}

// Finds the report list in Text: Begin is the "<replist" of the first header line (a line that
// also holds "kelmosaic"), End the position after the first "</replist...>" that follows (the
// end of the text when there is none). False when there is no header line.
bool FrameReplist(const char* Text, std::size_t Size, std::size_t& Begin, std::size_t& End) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t tag = FindNoCase(Text, Size, from, "<replist");
        if (tag == std::string::npos) return false;
        std::size_t lineBegin = tag, lineEnd = tag;
        while (lineBegin > 0 && Text[lineBegin - 1] != '\n' && Text[lineBegin - 1] != '\r')
            --lineBegin;
        while (lineEnd < Size && Text[lineEnd] != '\n' && Text[lineEnd] != '\r') ++lineEnd;
        if (FindNoCase(Text + lineBegin, lineEnd - lineBegin, 0, "kelmosaic") !=
            std::string::npos) {
            Begin = tag;
            break;
        }
        from = lineEnd;
    }
    End = Size;
    static const char closing[] = "</replist";
    if (const void* q = ::memmem(Text + Begin, Size - Begin, closing, sizeof closing - 1)) {
        const std::size_t i = static_cast<std::size_t>(static_cast<const char*>(q) - Text);
        const void* gt = std::memchr(Text + i, '>', Size - i);
        End = gt ? static_cast<std::size_t>(static_cast<const char*>(gt) - Text) + 1 : Size;
    }
    return true;
}

// True for the element name "cell" (the one name met millions of times).
inline bool IsCellName(const char* Name) {
    return Name[0] == 'c' && Name[1] == 'e' && Name[2] == 'l' && Name[3] == 'l' && Name[4] == 0;
}

// Reads report lists from a pugixml tree into a TContent, with messages that name the source
// (Where) and the line (LineBase is the line number of the first byte of the parsed text).
class TXmlReader {
  public:
    // Text is the parsed text (Size bytes) that node offsets count from.
    TXmlReader(const std::string& Where, const char* Text, std::size_t Size, std::size_t LineBase)
        : FWhere(Where), FText(Text), FSize(Size), FLineBase(LineBase) {}

    [[noreturn]] void Fail(std::ptrdiff_t Offset, const std::string& What) const {
        std::string msg = FWhere;
        if (Offset >= 0)
            msg += ", line " +
                   std::to_string(FLineBase - 1 + LineAt(FText, static_cast<std::size_t>(Offset)));
        throw EKELRLDataError(msg + ": " + What);
    }
    [[noreturn]] void Fail(pugi::xml_node Node, const std::string& What) const {
        Fail(Node.offset_debug(), What);
    }

    // The text of a value element (hex-decoded when enc="hex").
    void Text(pugi::xml_node Node, std::string& Out) const {
        std::string scratch;
        Out.assign(TextView(Node, scratch));
    }

    // The same as a view: into the parsed text, or into Scratch when it had to be decoded.
    std::string_view TextView(pugi::xml_node Node, std::string& Scratch) const {
        const char* v = Node.value();
        if (pugi::xml_node child = Node.first_child()) {
            if (*v != 0 || child.next_sibling() ||
                (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata))
                Fail(Node, std::string("<") + Node.name() + "> may hold only text");
            v = child.value();
        }
        const pugi::xml_attribute enc =
            Node.first_attribute() ? Node.attribute("enc") : pugi::xml_attribute();
        if (!enc) return v;
        if (std::strcmp(enc.value(), "hex") != 0)
            Fail(Node, std::string("unknown encoding \"") + enc.value() + "\"");
        Scratch = HexDecode(Node, v);
        return Scratch;
    }

    std::string HexDecode(pugi::xml_node Node, const char* v) const {
        const std::size_t n = std::strlen(v);
        if (n % 2 != 0) Fail(Node, "hex-encoded value of odd length");
        std::string out;
        out.reserve(n / 2);
        auto digit = [&](char ch) {
            if (ch >= '0' && ch <= '9') return ch - '0';
            if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
            if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
            Fail(Node, "invalid digit in a hex-encoded value");
        };
        for (std::size_t i = 0; i < n; i += 2)
            out += static_cast<char>(digit(v[i]) * 16 + digit(v[i + 1]));
        return out;
    }

    long long Count(pugi::xml_node Node, long long Max) const {
        std::string s;
        Text(Node, s);
        s = TrimBlanks(s);
        if (s.empty() || s.size() > 10 || s.find_first_not_of("0123456789") != std::string::npos)
            Fail(Node, std::string("<") + Node.name() + "> is not a count: \"" + s + "\"");
        const long long v = std::stoll(s);
        if (v > Max) Fail(Node, std::string("<") + Node.name() + "> is too large: " + s);
        return v;
    }

    void Read(TRLData& Data, pugi::xml_node Root, const std::string& DataID, TRLData::TContent& Ct,
              std::string& Header, std::string& Comment, std::string& Id) const {
        if (std::strcmp(Root.name(), "replist") != 0)
            Fail(Root, "the root element is not <replist>");
        const pugi::xml_attribute idAttr = Root.attribute("id");
        Id = idAttr.value();
        if (std::strcmp(Root.attribute("idenc").value(), "hex") == 0)
            Id = HexDecode(Root, Id.c_str());
        if (!DataID.empty() && !SameReplistId(Id, DataID)) {
            if (!idAttr)
                Fail(Root, "the report list has no identifier, expected \"" + DataID + "\"");
            Fail(Root, "the report list identifier \"" + Id + "\" is not \"" + DataID + "\"");
        }
        for (const char* v = Root.value(); *v; ++v)
            if (*v != ' ' && *v != '\t' && *v != '\n' && *v != '\r')
                Fail(Root, "unexpected text in <replist>");

        // First pass: check every element and collect the metadata. When both counts come before
        // the first cell (as this library writes them), the cells are stored in this pass too;
        // otherwise a second pass stores them once the counts are known.
        long long cols = -1, rows = -1, cells = 0;
        bool haveHeader = false, haveComment = false;
        pugi::xml_node firstCell;
        std::string text;
        std::optional<TRLProgress> progress;
        bool direct = false; // cells stored in the first pass
        int directCol = 0, directRow = 1;
        auto sizeTable = [&] {
            Ct.NrOfCols = static_cast<int>(cols);
            Ct.NrOfRows = static_cast<int>(rows);
            Ct.Cells.Resize(std::max(Ct.NrOfCols, 1), std::max(Ct.NrOfRows, 1));
            progress.emplace(Data, rows);
        };
        for (pugi::xml_node n = Root.first_child(); n; n = n.next_sibling()) {
            if (n.type() != pugi::node_element) {
                if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
                    Fail(n, "unexpected text in <replist>");
                continue;
            }
            const char* name = n.name();
            const TRepListXmlTag tag = IsCellName(name) ? xmlCell : RepListXmlTagOf(name);
            switch (tag) {
            case xmlCell:
                if (!firstCell) {
                    firstCell = n;
                    // Only counts the rest of the text can hold (a cell takes at least the 7
                    // bytes of "<cell/>") size the table before the cells are counted, so a
                    // file claiming a huge table fails at the count check without allocating.
                    const auto at =
                        static_cast<std::size_t>(std::max<std::ptrdiff_t>(n.offset_debug(), 0));
                    const long long room =
                        static_cast<long long>((FSize - std::min(at, FSize)) / 7);
                    direct = cols >= 0 && rows >= 0 && (cols + 1) * rows <= room;
                    if (direct) sizeTable();
                }
                ++cells;
                if (direct && directRow <= Ct.NrOfRows) {
                    Ct.Cells.SetString(directCol, directRow, TextView(n, text));
                    if (++directCol > Ct.NrOfCols) {
                        directCol = 0;
                        ++directRow;
                        progress->Tick();
                    }
                }
                break;
            case xmlNumCols:
            case xmlNumRows: {
                long long& v = tag == xmlNumCols ? cols : rows;
                if (v >= 0) Fail(n, std::string("<") + n.name() + "> appears twice");
                v = Count(n, std::numeric_limits<int>::max() - 1);
                break;
            }
            case xmlCommonHd:
            case xmlComment: {
                bool& seen = tag == xmlCommonHd ? haveHeader : haveComment;
                if (seen) Fail(n, std::string("<") + n.name() + "> appears twice");
                seen = true;
                Text(n, tag == xmlCommonHd ? Header : Comment);
                break;
            }
            case xmlColName:
                Text(n, text);
                Ct.ColName.push_back(Utf8Left(text, MaxColNameChars));
                break;
            case xmlColumnFormat:
                Text(n, text);
                Ct.ColumnFormat.push_back(Utf8Left(text, MaxColFormatChars));
                break;
            case xmlCheckedColumn: {
                const long long m = Count(n, 255);
                if (m > cmRadio)
                    Fail(n,
                         "<checkedcolumn> is not a check mode (0, 1 or 2): " + std::to_string(m));
                Ct.ColButMode.push_back(static_cast<TCheckMode>(m));
                break;
            }
            default:
                Fail(n, std::string("unknown element <") + n.name() + ">");
            }
        }
        if (cols < 0) Fail(Root, "<numcols> is missing");
        if (rows < 0) Fail(Root, "<numrows> is missing");
        auto checkCount = [&](std::size_t have, const char* tag) {
            if (static_cast<long long>(have) != cols)
                Fail(Root, std::to_string(have) + " <" + tag + "> elements for " +
                               std::to_string(cols) + " columns");
        };
        checkCount(Ct.ColName.size(), "colname");
        checkCount(Ct.ColumnFormat.size(), "columnformat");
        checkCount(Ct.ColButMode.size(), "checkedcolumn");
        if (cells != (cols + 1) * rows)
            Fail(Root, std::to_string(cells) + " <cell> elements where " + std::to_string(cols) +
                           " columns (and column 0) of " + std::to_string(rows) + " rows need " +
                           std::to_string((cols + 1) * rows));

        if (!direct) {
            // Second pass: the cells, row by row.
            sizeTable();
            pugi::xml_node n = firstCell;
            for (int r = 1; r <= Ct.NrOfRows; ++r) {
                for (int c = 0; c <= Ct.NrOfCols; ++c) {
                    while (n.type() != pugi::node_element || !IsCellName(n.name()))
                        n = n.next_sibling();
                    Ct.Cells.SetString(c, r, TextView(n, text));
                    n = n.next_sibling();
                }
                progress->Tick();
            }
        }
        progress->Done();
    }

  private:
    std::string FWhere;
    const char* FText;
    std::size_t FSize;
    std::size_t FLineBase;
};

constexpr unsigned XmlParseFlags =
    pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

} // namespace

// Parses the report list in Text (modified in place) and installs it. LineBase is the line
// number of Text's first byte.
static void ReadReplistText(TRLData& Data, char* Text, std::size_t Size, std::size_t LineBase,
                            const std::string& Where, const std::string& DataID,
                            TRLData::TContent& Ct, std::string& Header, std::string& Comment,
                            std::string& Id) {
    std::size_t begin = 0, end = 0;
    if (!FrameReplist(Text, Size, begin, end))
        throw EKELRLDataError(Where +
                              ": no report list (no line with \"<replist\" and \"kelmosaic\")");
    TXmlReader reader(Where, Text, Size, LineBase);
    pugi::xml_document doc;
    const pugi::xml_parse_result res =
        doc.load_buffer_inplace(Text + begin, end - begin, XmlParseFlags, pugi::encoding_utf8);
    if (!res)
        reader.Fail(static_cast<std::ptrdiff_t>(begin) + res.offset,
                    std::string("XML error: ") + res.description());
    const pugi::xml_node root = doc.document_element();
    if (!root) reader.Fail(static_cast<std::ptrdiff_t>(begin), "no <replist> element");
    // offset_debug counts from the parsed text, which starts at begin.
    TXmlReader inner(Where, Text + begin, end - begin, LineAt(Text, begin) + LineBase - 1);
    inner.Read(Data, root, DataID, Ct, Header, Comment, Id);
}

bool TRLData::ReadFromXMLString(const std::string& InString, const std::string& DataID) {
    std::string text = InString;
    TContent ct;
    std::string header, comment, id;
    try {
        ReadReplistText(*this, text.data(), text.size(), 1, "XML report list", DataID, ct, header,
                        comment, id);
    } catch (const std::bad_alloc&) {
        throw EKELRLDataError("XML report list: not enough memory for the table");
    }
    Install(ct);
    FCommonHeader = std::move(header);
    FComment = std::move(comment);
    FDataID = std::move(id);
    return true;
}

bool TRLData::ReadFromXMLStream(std::istream& InStream, const std::string& DataID) {
    // Collect the lines from the header line to the "</replist" line, leaving the stream after it.
    std::string text;
    std::size_t lineBase = 0, lineNo = 0;
    bool eof = false, inList = false;
    while (!eof) {
        std::string line = ReadLnStream(InStream, eof, 0);
        ++lineNo;
        if (!inList) {
            const std::string low = LowerAscii(line);
            if (!IsHeaderLine(low)) continue;
            inList = true;
            lineBase = lineNo;
            line.erase(0, low.find("<replist"));
        }
        text += line;
        text += '\n';
        if (line.find("</replist") != std::string::npos) break;
    }
    if (!inList)
        throw EKELRLDataError(
            "XML stream: no report list (no line with \"<replist\" and \"kelmosaic\")");
    TContent ct;
    std::string header, comment, id;
    try {
        ReadReplistText(*this, text.data(), text.size(), lineBase, "XML stream", DataID, ct, header,
                        comment, id);
    } catch (const std::bad_alloc&) {
        throw EKELRLDataError("XML stream: not enough memory for the table");
    }
    Install(ct);
    FCommonHeader = std::move(header);
    FComment = std::move(comment);
    FDataID = std::move(id);
    return true;
}

void TRLData::ReadFromOpenXMLFile(std::istream& TextFile, const std::string& DataID) {
    ReadFromXMLStream(TextFile, DataID);
}

bool TRLData::LoadFromXMLFile(const std::string& FName, const std::string& DataID) {
    const std::string where = "XML file " + Quoted(FName);
    TContent ct;
    std::string header, comment, id;
    try {
        TFileBuffer data = ReadFileBuffer(FName);
        ReadReplistText(*this, data.Data.get(), data.Size, 1, where, DataID, ct, header, comment,
                        id);
    } catch (const std::bad_alloc&) {
        throw EKELRLDataError(where + ": not enough memory for the table");
    }
    Install(ct);
    FCommonHeader = std::move(header);
    FComment = std::move(comment);
    FDataID = std::move(id);
    return true;
}

// ---- HTML --------------------------------------------------------------------------------------

namespace {

void HtmlEscape(std::string& out, const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char ch = s[i];
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case '\n':
            out += "<br>";
            break;
        case '\r': // CR LF, LF and a lone CR are each one line break
            if (i + 1 >= s.size() || s[i + 1] != '\n') out += "<br>";
            break;
        default:
            if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t')
                out += ' ';
            else
                out += ch;
        }
    }
}

std::string ClassAttr(const std::string& cls) {
    if (cls.empty()) return {};
    std::string out = " class=\"";
    HtmlEscape(out, cls);
    return out + "\"";
}

} // namespace

void TRLData::ExportHTMLTable(const std::string& FName, int LoC, int LoR, int HiC, int HiR,
                              const std::vector<int>& ColumnSelection, int Border, int CellSpacing,
                              int CellPadding, bool IncludeHeader, const std::string& HeadClass,
                              const std::string& CellClass, const std::string& TableClass) {
    LoC = std::max(LoC, 0);
    HiC = std::min(HiC, FNrOfCols);
    LoR = std::max(LoR, 1);
    HiR = std::min(HiR, FNrOfRows);
    std::vector<int> cols;
    if (ColumnSelection.empty()) {
        for (int c = LoC; c <= HiC; ++c) cols.push_back(c);
    } else {
        for (int c : ColumnSelection)
            if (c >= LoC && c <= HiC) cols.push_back(c);
    }
    Border = std::max(Border, 0);
    CellSpacing = std::max(CellSpacing, 0);
    CellPadding = std::max(CellPadding, 0);
    const std::string cellStyle =
        " style=\"padding: " + std::to_string(CellPadding) + "px" +
        (Border > 0 ? "; border: " + std::to_string(Border) + "px solid" : std::string()) + "\"";
    WriteFileSafely(FName, [&](std::ostream& out) {
        std::string s = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
        HtmlEscape(s, FCommonHeader.empty() ? std::string("Report list") : FCommonHeader);
        s += "</title>\n</head>\n<body>\n<table" + ClassAttr(TableClass) +
             " style=\"border-spacing: " + std::to_string(CellSpacing) + "px" +
             (Border > 0 ? "; border: " + std::to_string(Border) + "px solid" : std::string()) +
             "\">\n";
        if (IncludeHeader && !cols.empty()) {
            s += "<thead>\n<tr>";
            for (int c : cols) {
                std::string text = GetColName(c);
                BeforeHTMLExport(text, c, 0);
                s += "<th" + ClassAttr(HeadClass) + cellStyle + ">";
                HtmlEscape(s, text);
                s += "</th>";
            }
            s += "</tr>\n</thead>\n";
        }
        s += "<tbody>\n";
        TRLProgress progress(*this, static_cast<long long>(std::max(HiR - LoR + 1, 0)));
        for (int r = LoR; r <= HiR && !cols.empty(); ++r) {
            s += "<tr>";
            for (int c : cols) {
                std::string text = GetElem(c, r);
                BeforeHTMLExport(text, c, r);
                s += "<td" + ClassAttr(CellClass) + cellStyle + ">";
                if (GetColCheckMode(c) != cmNone && !FStrings.GetString(c, r).empty())
                    s += GetElemChecked(c, r) ? "<input type=\"checkbox\" disabled checked> "
                                              : "<input type=\"checkbox\" disabled> ";
                HtmlEscape(s, text);
                s += "</td>";
            }
            s += "</tr>\n";
            if (s.size() >= (1u << 16)) {
                out.write(s.data(), static_cast<std::streamsize>(s.size()));
                s.clear();
            }
            progress.Tick();
        }
        s += "</tbody>\n</table>\n</body>\n</html>\n";
        out.write(s.data(), static_cast<std::streamsize>(s.size()));
        progress.Done();
    });
}

} // namespace kel
