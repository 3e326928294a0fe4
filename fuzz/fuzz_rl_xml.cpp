// Fuzz target for the XML report list reader: any text read with an empty and a given DataID.
// A read either succeeds, and then writing the container and reading it back reproduces it, or
// raises EKELRLDataError and leaves the container exactly as it was; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "KEL_replist.h"

namespace {

std::string Dump(const kel::TRLData& d) {
    std::string s = std::to_string(d.NrOfColumns()) + "x" + std::to_string(d.NrOfRows()) + "|" +
                    d.CommonHeader() + "|" + d.Comment() + "|" + d.DataID() + "\n";
    for (int c = 1; c <= d.NrOfColumns(); ++c)
        s += d.Header(c) + "|" + d.ColumnFormat(c) + "|" + std::to_string(d.ColumnCheckMode(c)) +
             "\n";
    for (int r = 1; r <= d.NrOfRows(); ++r)
        for (int c = 0; c <= d.NrOfColumns(); ++c) s += d.Strings().GetString(c, r) + "\x1f";
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* id : {"", "fuzz"}) {
        kel::TRLData d(nullptr);
        d.SetNrCols(2);
        d.SetNrRows(1);
        d.SetElem(1, 1, "before");
        const std::string before = Dump(d);
        try {
            d.ReadFromXMLString(text, id);
        } catch (const kel::EKELRLDataError&) {
            if (Dump(d) != before) __builtin_trap();
            continue;
        }
        std::stringstream out;
        d.WriteToXMLStream(out, true, d.DataID());
        kel::TRLData e(nullptr);
        e.ReadFromXMLStream(out, "");
        if (Dump(e) != Dump(d)) __builtin_trap();
    }
    return 0;
}
