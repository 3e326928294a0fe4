// Gallery item of the draw grid: a million rows of a small table, drawn by OnDrawCell, with
// column sizing and in-place editing (column "Colour" edits with a pick list).
#include "gallery.h"

#include "kel_grids.h"

#include <cstdio>
#include <map>
#include <string>
#include <utility>

namespace kel::gallery {
namespace {

class TGridDemo : public TDrawGrid {
  public:
    explicit TGridDemo(TComponent* AOwner) : TDrawGrid(AOwner) {
        SetColCount(4);
        SetRowCount(1000001);
        SetDefaultRowHeight(18);
        SetColWidths(0, 70);
        SetOptions(Options() | goColSizing | goRowSizing | goEditing | goThumbTracking);
        SetOnDrawCell([this](TObject*, int c, int r, TRect R, TGridDrawState) {
            TCanvas& cv = Canvas();
            cv.Brush().SetStyle(bsClear);
            cv.TextOut(R.Left + 3, R.Top + 2, CellText(c, r));
            cv.Brush().SetStyle(bsSolid);
        });
        SetOnGetEditText([this](TObject*, int c, int r, std::string& v) { v = CellText(c, r); });
        SetOnSetEditText([this](TObject*, int c, int r, const std::string& v) {
            FEdits[{c, r}] = v;
        });
    }

  protected:
    TEditStyle GetEditStyle(int ACol, int ARow) override {
        (void)ARow;
        return ACol == 3 ? esPickList : esSimple;
    }
    void UpdateEditor() override {
        static_cast<TInplaceEditList*>(InplaceEditor())
            ->PickList()
            .Items()
            .SetText("Red\nGreen\nBlue\nCyan\nMagenta\nYellow\nBlack\nWhite\n");
    }

  private:
    std::string CellText(int c, int r) const {
        auto it = FEdits.find({c, r});
        if (it != FEdits.end()) return it->second;
        static const char* heads[] = {"Row", "Value", "Square", "Colour"};
        static const char* colours[] = {"Red", "Green", "Blue"};
        // ColCount is published: columns past the four of the demo get a plain heading.
        if (r == 0) return c < 4 ? heads[c] : "Col " + std::to_string(c);
        char buf[32];
        switch (c) {
        case 0:
            std::snprintf(buf, sizeof buf, "%d", r);
            break;
        case 1:
            std::snprintf(buf, sizeof buf, "%.3f", r * 0.125);
            break;
        case 2:
            std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(r) * r);
            break;
        default:
            return colours[r % 3];
        }
        return buf;
    }
    std::map<std::pair<int, int>, std::string> FEdits;
};

} // namespace

KEL_GALLERY_ITEM("TDrawGrid", 330, 170, [](TWinControl* p) { return new TGridDemo(p); });

} // namespace kel::gallery
