// Fuzz target for the text-line import: any bytes as the lines of a text, loaded into a column
// and row taken from the first two bytes. A load either succeeds, and then the column holds the
// lines in order (split at LF, CR LF or a lone CR) and the cells outside it are untouched, or
// raises EKELRLDataError and leaves the container as it was; anything else is a fault.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "KEL_replist.h"

namespace {

std::string Cells(const kel::TRLData& d) {
    std::string s = std::to_string(d.NrOfColumns()) + "x" + std::to_string(d.NrOfRows()) + "\n";
    for (int r = 1; r <= d.NrOfRows(); ++r)
        for (int c = 0; c <= d.NrOfColumns(); ++c) s += d.Elem(c, r) + "\x1f";
    return s;
}

// The lines as the rule says, written independently of the reader.
std::vector<std::string> Lines(const std::string& t) {
    std::vector<std::string> out;
    std::string cur;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' || t[i] == '\n') {
            out.push_back(cur);
            cur.clear();
            if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
        } else {
            cur += t[i];
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int column = data[0] % 5 - 1; // -1 (refused) .. 3 (past the last column)
    const int firstRow = data[1] % 6 - 1;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    kel::TRLData d(nullptr);
    d.SetNrCols(2);
    d.SetNrRows(2);
    d.SetElem(1, 1, "a");
    d.SetElem(2, 2, "b");
    const std::string before = Cells(d);
    std::istringstream in(text);
    int n = 0;
    try {
        n = d.LoadLinesFromStream(column, firstRow, in);
    } catch (const kel::EKELRLDataError&) {
        if (Cells(d) != before) __builtin_trap();
        return 0;
    }
    if (column < 0) __builtin_trap();
    const std::vector<std::string> lines = Lines(text);
    if (n != static_cast<int>(lines.size())) __builtin_trap();
    const int from = firstRow < 1 ? 1 : firstRow;
    if (d.NrOfColumns() < column || d.NrOfColumns() < 2) __builtin_trap();
    if (d.NrOfRows() < from + n - 1 || d.NrOfRows() < 2) __builtin_trap();
    // A cell keeps the first 255 code points of its line: the reference goes through a cell too.
    kel::TRLData ref(nullptr);
    ref.SetNrRows(1);
    for (int k = 0; k < n; ++k) {
        ref.SetElem(1, 1, lines[k]);
        if (d.Elem(column, from + k) != ref.Elem(1, 1)) __builtin_trap();
    }
    // Cells outside the loaded column keep their texts.
    if (column != 1 && d.Elem(1, 1) != "a") __builtin_trap();
    if (column != 2 && d.Elem(2, 2) != "b") __builtin_trap();
    return 0;
}
