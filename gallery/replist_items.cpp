// Gallery item of the report list view: a small measurement log with every column kind (plain
// text, check boxes, radio buttons, a right-aligned number column, a password column), the
// common header, a sorted column, a selected row, a disabled row and an editable column.
// With --log-input the view prints header sorts, check changes and selection changes.
#include "gallery.h"

#include "KEL_replist.h"

#include <cstdio>
#include <string>

namespace kel::gallery {
namespace {

TControl* CreateReportList(TWinControl* Parent) {
    auto* v = new TReportListView(Parent);
    v->SetSuppressPaint(true);
    v->SetNrCols(5);
    v->SetNrRows(8);
    v->SetCommonHeaderVisible(true);
    v->SetCommonHeader("Probe log");
    const char* heads[] = {"Probe", "Used", "Ref", "Value", "Key"};
    const int widths[] = {90, 60, 50, 70, 60};
    for (int c = 1; c <= 5; ++c) {
        v->SetHeader(c, heads[c - 1]);
        v->SetColWidths(c, widths[c - 1]);
    }
    v->SetColumnCheckMode(2, cmBox);
    v->SetColumnCheckMode(3, cmRadio);
    v->SetColumnAlignment(4, taRightJustify);
    v->SetColumnIsPwd(5, true);
    v->SetColumnEditable(1, true);
    const char* names[] = {"Thermocouple",  "Strain gauge", "Pressure",     "Humidity",
                           "Accelerometer", "Flow meter",   "pH electrode", "Load cell"};
    for (int r = 1; r <= 8; ++r) {
        v->SetElem(1, r, names[r - 1]);
        v->SetElem(2, r, r % 3 ? "yes" : "");
        v->SetElemChecked(2, r, r % 3 != 0);
        v->SetElem(3, r, "");
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", 3.7 * r * r - 11.0 * r);
        v->SetElem(4, r, buf);
        v->SetElem(5, r, "secret");
    }
    v->SetElemChecked(3, 2, true);
    v->SetRowEnabled(6, false);
    v->Sort(1, -1, true);
    v->SelectRow(3);
    v->SetEmptyMessage("No probes|connected");
    if (gLogInput) {
        v->SetOnCheckedChange([](TObject*, bool& s, int c, int r) {
            std::printf("replist: check %d,%d was %d\n", c, r, int(s));
            std::fflush(stdout);
        });
        v->SetOnSelectedChange([v](TObject*) {
            std::printf("replist: selected row %d, sorted by %d %s\n", v->FirstSelectedRow(),
                        v->LastSortColumn(), v->LastSortOrder() ? "ascending" : "descending");
            std::fflush(stdout);
        });
        v->SetOnChange([v](TObject*) {
            std::printf("replist: change, sorted by %d %s\n", v->LastSortColumn(),
                        v->LastSortOrder() ? "ascending" : "descending");
            std::fflush(stdout);
        });
    }
    v->SetSuppressPaint(false);
    return v;
}

} // namespace
} // namespace kel::gallery

KEL_GALLERY_ITEM("TReportListView", 340, 250, kel::gallery::CreateReportList);
