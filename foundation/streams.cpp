// Stream helpers of the base library (see Kel_streams.h).
#include "Kel_streams.h"

#include "Kel_stringl.h"

namespace kel {

std::string ReadLnStream(std::istream& InStream, bool& Eof, int MaxLen) {
    using Traits = std::istream::traits_type;
    std::string line;
    std::streambuf* sb = InStream.rdbuf();
    if (!InStream.good() || sb == nullptr) {
        Eof = true;
        return line;
    }
    for (;;) {
        Traits::int_type c = sb->sbumpc();
        if (Traits::eq_int_type(c, Traits::eof())) break;
        char ch = Traits::to_char_type(c);
        if (ch == '\n') break;
        if (ch == '\r') {
            if (Traits::eq_int_type(sb->sgetc(), Traits::to_int_type('\n'))) sb->sbumpc();
            break;
        }
        line.push_back(ch);
    }
    if (MaxLen > 0 && line.size() > static_cast<std::size_t>(MaxLen)) {
        // Longest prefix of whole characters within MaxLen bytes.
        std::size_t p = 0;
        for (;;) {
            int len = Utf8CharLen(line, p);
            if (len == 0 || p + len > static_cast<std::size_t>(MaxLen)) break;
            p += len;
        }
        line.resize(p);
    }
    Eof = Traits::eq_int_type(sb->sgetc(), Traits::eof());
    return line;
}

} // namespace kel
