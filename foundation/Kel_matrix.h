// Dense matrices addressed (column, row) from 1: TMatrix of doubles (the values of a data table)
// and TIntMatrix of integers (tables such as a calendar's holidays).
#pragma once

#include "Kel_error.h"
#include "kel_classes.h"

#include <cstdint>
#include <vector>

namespace kel {

class EKELMatrixError : public EKELError {
  public:
    using EKELError::EKELError;
};

// Largest number of elements a matrix may hold (2^28).
constexpr std::int64_t MaxMatrixElements = std::int64_t(1) << 28;

// Integer matrix, 1-based, column first. Sizes may be 0 (an empty table).
class TIntMatrix : public TObject {
  public:
    TIntMatrix() = default;
    TIntMatrix(int NrCols, int NrRows) { Resize(NrCols, NrRows); }
    std::string ClassName() const override { return "TIntMatrix"; }

    int NrOfColumns() const { return FNrCols; }
    int NrOfRows() const { return FNrRows; }
    // New size; values where old and new overlap are kept, new elements are 0. Raises
    // EKELMatrixError for negative or too large sizes and leaves the matrix unchanged.
    void Resize(int NrCols, int NrRows);
    // Changes the number of rows only, keeping every existing row.
    void SetNRows(int NrRows) { Resize(FNrCols, NrRows); }
    // Element access; indexes outside 1..count raise EKELMatrixError.
    int GetVal(int Col, int Row) const;
    void SetVal(int Col, int Row, int Value);
    void Fill(int Value);

  private:
    std::size_t Index(int Col, int Row) const;
    int FNrCols = 0, FNrRows = 0;
    std::vector<int> FData; // row-major
};

// Matrix of doubles, 1-based, column first. OnChange fires once after SetElem and Fill (not
// after Resize, whose callers report size changes themselves).
class TMatrix : public TObject {
  public:
    TMatrix() = default;
    TMatrix(int NrCols, int NrRows) { Resize(NrCols, NrRows); }
    std::string ClassName() const override { return "TMatrix"; }

    int NrOfColumns() const { return FNrCols; }
    int NrOfRows() const { return FNrRows; }
    // As TIntMatrix::Resize; new elements are 0. Raises EKELMatrixError while the size is locked.
    void Resize(int NrCols, int NrRows);
    // An owner that keeps data parallel to the matrix (a data table) locks its size, so the
    // matrix it hands out cannot be resized behind its back.
    bool SizeLocked() const { return FSizeLocked; }
    void SetSizeLocked(bool v) { FSizeLocked = v; }
    double Elem(int Col, int Row) const;
    void SetElem(int Col, int Row, double Value);
    // Every element becomes Value.
    void Fill(double Value);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

    // Direct storage for the owning table's bulk operations (row-major, no notification).
    std::vector<double>& Storage() { return FData; }
    const std::vector<double>& Storage() const { return FData; }

  private:
    std::size_t Index(int Col, int Row) const;
    int FNrCols = 0, FNrRows = 0;
    bool FSizeLocked = false;
    std::vector<double> FData;
    TNotifyEvent FOnChange;
};

} // namespace kel
