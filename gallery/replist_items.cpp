// Gallery item of the report list view: a small measurement log with every column kind (plain
// text, check boxes, radio buttons, a right-aligned number column, a password column), the
// common header, a sorted column, a selected row, a disabled row and an editable column.
// With --log-input the view prints header sorts, check changes and selection changes.
// A second item holds a small report list with a column of every row-editor field kind and a
// button that opens the row editor on the selected row.
#include "gallery.h"

#include "KEL_replist.h"
#include "kel_buttons.h"
#include "kel_extctrls.h"

#include <algorithm>
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

// A calibration list whose columns show each field kind of the row editor; "Edit row..."
// opens the editor on the selected row (the first when none is selected) next to the button.
class TRowEditDemo : public TPanel {
  public:
    explicit TRowEditDemo(TComponent* AOwner) : TPanel(AOwner) {
        SetCaption("");
        FView = new TReportListView(this);
        FView->SetParent(this);
        FView->SetSuppressPaint(true);
        FView->SetBounds(4, 4, 332, 128);
        const char* heads[] = {"Probe", "Serial", "Colour", "Unit", "Calibrated", "Channel"};
        const char* formats[] = {"[s][150]",      "[#s][110]",          "[c:4][110]red|green|blue",
                                 "[l][70]V|mV|A", "[ddd.MM.yyyy][100]", "[i][60]rix3"};
        const int widths[] = {90, 70, 50, 40, 76, 50};
        FView->SetNrCols(6);
        FView->SetNrRows(4);
        for (int c = 1; c <= 6; ++c) {
            FView->SetHeader(c, heads[c - 1]);
            FView->SetColumnFormat(c, formats[c - 1]);
            FView->SetColWidths(c, widths[c - 1]);
        }
        const char* rows[4][5] = {{"Thermocouple K", "TK-20931", "green", "mV", "24.12.2020"},
                                  {"Strain gauge", "SG-118", "red", "V", "03.02.2021"},
                                  {"Shunt", "SH-7", "blue", "A", "17.08.2019"},
                                  {"Load cell", "LC-4410", "green", "mV", "30.11.2022"}};
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 5; ++c) FView->SetElem(c, r, rows[r - 1][c - 1]);
        FView->SelectRow(1);
        FView->SetSuppressPaint(false);
        auto* edit = new TButton(this);
        edit->SetParent(this);
        edit->SetBounds(4, 138, 90, 25);
        edit->SetCaption("Edit row...");
        edit->SetOnClick([this, edit](TObject*) {
            const int row = std::max(FView->FirstSelectedRow(), 1);
            const TPoint at = edit->ClientToScreen({0, edit->Height()});
            const int result = FView->EditRowEntries(row, at.X, at.Y);
            if (gLogInput) {
                std::printf("replist: row editor on row %d returned %d\n", row, result);
                std::fflush(stdout);
            }
        });
    }
    std::string ClassName() const override { return "TRowEditDemo"; }

  private:
    TReportListView* FView = nullptr;
};

} // namespace
} // namespace kel::gallery

KEL_GALLERY_ITEM("TReportListView", 340, 250, kel::gallery::CreateReportList);
KEL_GALLERY_ITEM("TReportListView row editor", 340, 167,
                 [](kel::TWinControl* p) { return new kel::gallery::TRowEditDemo(p); });
