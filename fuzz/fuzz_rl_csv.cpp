// Fuzz target for the CSV reader: any bytes as a CSV file, read with every delimiter, with and
// without a header row. A read either succeeds, and then exporting the table and importing it
// again gives the same names and cells, or raises EKELRLDataError and leaves the container as it
// was; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "KEL_replist.h"

namespace {

std::string Cells(const kel::TRLData& d, bool names) {
    std::string s = std::to_string(d.NrOfColumns()) + "x" + std::to_string(d.NrOfRows()) + "\n";
    for (int c = 1; names && c <= d.NrOfColumns(); ++c) s += d.Header(c) + "\x1f";
    for (int r = 1; r <= d.NrOfRows(); ++r)
        for (int c = 1; c <= d.NrOfColumns(); ++c) s += d.Elem(c, r) + "\x1f";
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int delim = kel::csvComma; delim <= kel::csvPipe; ++delim) {
        const auto dl = static_cast<kel::TCSVDelimiters>(delim);
        for (bool header : {false, true}) {
            kel::TRLData d(nullptr);
            d.SetNrRows(1);
            d.SetElem(1, 1, "before");
            const std::string before = Cells(d, true);
            int rows = 0;
            std::istringstream in(text);
            try {
                rows = d.ImportCSV(in, dl, header);
            } catch (const kel::EKELRLDataError&) {
                if (Cells(d, true) != before) __builtin_trap();
                continue;
            }
            if (rows != d.NrOfRows()) __builtin_trap();
            std::stringstream back;
            d.ExportCSV(back, dl, header, false, 1, 1, d.NrOfColumns(), d.NrOfRows());
            kel::TRLData e(nullptr);
            e.ImportCSV(back, dl, header);
            // Names are compared only with a header row; a table of one column whose cells are
            // all empty writes empty lines, which read back as the same empty cells.
            if (Cells(e, header) != Cells(d, header)) __builtin_trap();
        }
    }
    return 0;
}
