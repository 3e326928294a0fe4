// Integer and double matrices with checked 1-based access and size changes that keep the
// overlapping elements.

#include "Kel_matrix.h"

#include <algorithm>
#include <new>
#include <string>

namespace kel {

namespace {

// Row-major offset of the 1-based element (col, row) of a cols x rows block; raises outside it.
std::size_t CheckedIndex(const char* cls, int col, int row, int cols, int rows) {
    if (col < 1 || col > cols || row < 1 || row > rows)
        throw EKELMatrixError(std::string(cls) + ": element (" + std::to_string(col) + ", " +
                              std::to_string(row) + ") outside " + std::to_string(cols) + " x " +
                              std::to_string(rows));
    return std::size_t(row - 1) * cols + (col - 1);
}

// Copies the overlap of a row-major cols x rows block into a new newCols x newRows block,
// after checking the new size.
template <typename T>
std::vector<T> Reshaped(const std::vector<T>& old, int cols, int rows, int newCols, int newRows,
                        const char* cls) {
    if (newCols < 0 || newRows < 0 || std::int64_t(newCols) * newRows > MaxMatrixElements)
        throw EKELMatrixError(std::string(cls) + ": cannot resize to " + std::to_string(newCols) +
                              " columns x " + std::to_string(newRows) + " rows");
    std::vector<T> data;
    try {
        data.assign(std::size_t(newCols) * std::size_t(newRows), T{});
    } catch (const std::bad_alloc&) {
        throw EKELMatrixError(std::string(cls) + ": not enough memory for " +
                              std::to_string(newCols) + " x " + std::to_string(newRows));
    }
    int mc = cols < newCols ? cols : newCols, mr = rows < newRows ? rows : newRows;
    for (int r = 0; r < mr; ++r)
        for (int c = 0; c < mc; ++c)
            data[std::size_t(r) * newCols + c] = old[std::size_t(r) * cols + c];
    return data;
}

} // namespace

void TIntMatrix::Resize(int NrCols, int NrRows) {
    FData = Reshaped(FData, FNrCols, FNrRows, NrCols, NrRows, "TIntMatrix");
    FNrCols = NrCols;
    FNrRows = NrRows;
}

std::size_t TIntMatrix::Index(int Col, int Row) const {
    return CheckedIndex("TIntMatrix", Col, Row, FNrCols, FNrRows);
}

int TIntMatrix::GetVal(int Col, int Row) const { return FData[Index(Col, Row)]; }
void TIntMatrix::SetVal(int Col, int Row, int Value) { FData[Index(Col, Row)] = Value; }
void TIntMatrix::Fill(int Value) { std::fill(FData.begin(), FData.end(), Value); }

void TMatrix::Resize(int NrCols, int NrRows) {
    if (FSizeLocked) throw EKELMatrixError("TMatrix: the size is fixed by the matrix's owner");
    FData = Reshaped(FData, FNrCols, FNrRows, NrCols, NrRows, "TMatrix");
    FNrCols = NrCols;
    FNrRows = NrRows;
}

std::size_t TMatrix::Index(int Col, int Row) const {
    return CheckedIndex("TMatrix", Col, Row, FNrCols, FNrRows);
}

double TMatrix::Elem(int Col, int Row) const { return FData[Index(Col, Row)]; }

void TMatrix::SetElem(int Col, int Row, double Value) {
    FData[Index(Col, Row)] = Value;
    if (FOnChange) FOnChange(this);
}

void TMatrix::Fill(double Value) {
    std::fill(FData.begin(), FData.end(), Value);
    if (FOnChange) FOnChange(this);
}

} // namespace kel
