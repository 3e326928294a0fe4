// Gallery item of the numeric table editor: a small series of measurements (four runs of three
// quantities) with names, a column attribute row, a few marked cells, a locked cell, an empty
// cell and a category column. Right clicks open the data and header menus, a right click on the
// top-left cell the comment editor.
#include "gallery.h"

#include "KEL_ntabed.h"

namespace kel::gallery {
namespace {

TControl* CreateTableEditor(TWinControl* Parent) {
    auto* e = new TNTabEd(Parent);
    e->SetSuppressPaint(true);
    e->SetNrCols(4);
    e->SetNrRows(6);
    e->SetAttribColVisible(true);
    const char* names[] = {"Temp", "Press", "Flow", "Grade"};
    for (int c = 1; c <= 4; ++c) e->SetColName(c, names[c - 1]);
    const double v[6][3] = {{21.5, 1.013, 0.42}, {22.1, 1.020, 0.47}, {23.8, 1.009, 0.51},
                            {25.0, 0.998, 0.55}, {24.2, 1.004, 0.49}, {22.9, 1.011, 0.45}};
    for (int r = 1; r <= 6; ++r) {
        e->SetRowName(r, "Run " + std::to_string(r));
        for (int c = 1; c <= 3; ++c) e->SetElem(c, r, v[r - 1][c - 1]);
        e->SetRowAttrib(r, static_cast<std::uint8_t>(r % 3));
    }
    e->SetPrecision(1, 1);
    e->SetPrecision(3, 2);
    e->Data().SetMScaleType(4, mstOrdinal);
    const char* grades[] = {"low", "mid", "high"};
    for (int o = 1; o <= 3; ++o) e->Data().SetNominalID(4, o, grades[o - 1]);
    for (int r = 1; r <= 6; ++r) e->SetElem(4, r, 1 + (r * 2) % 3);
    e->SetColAttrib(2, 1);
    e->SetElemMarkedA(1, 4, true);
    e->SetElemMarkedB(3, 2, true);
    e->SetCellState(2, 6, dtsLocked);
    e->SetIsEmpty(3, 5, true);
    e->SetComment("Bench test of the cooling loop");
    e->SetDefaultColWidth(58);
    e->SetColWidths(0, 56);
    e->SetSuppressPaint(false);
    return e;
}

} // namespace
} // namespace kel::gallery

KEL_GALLERY_ITEM("TNTabEd", 350, 200, kel::gallery::CreateTableEditor);
