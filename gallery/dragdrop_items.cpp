// Gallery items of dragging: three chips dragged (automatically, past the threshold) from a
// tray onto a bin that accepts only the even ones, and a small draw grid whose columns and rows
// move by dragging their header cells.
#include "gallery.h"

#include "kel_extctrls.h"
#include "kel_grids.h"

#include <string>
#include <utility>
#include <vector>

namespace kel::gallery {
namespace {

// The tray (left) holds numbered chips; the bin (right) takes the even ones: a chip dropped
// there moves into it, an odd one shows crNo over the bin and stays where it was.
class TDragDemo : public TPanel {
  public:
    explicit TDragDemo(TComponent* AOwner) : TPanel(AOwner) {
        SetCaption("");
        FTray = MakeBox("Tray", 4);
        FBin = MakeBox("Bin (even only)", 124);
        FBin->SetOnDragOver([](TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
            auto* chip = dynamic_cast<TPanel*>(static_cast<TControl*>(Source));
            Accept = chip != nullptr && chip->Tag() % 2 == 0;
        });
        FBin->SetOnDragDrop([this](TObject*, TObject* Source, int, int) {
            auto* chip = static_cast<TControl*>(Source);
            chip->SetParent(FBin);
            chip->SetBounds(8, 22 + 26 * FDropped++, 90, 22);
        });
        for (int i = 1; i <= 3; ++i) {
            auto* chip = new TPanel(this);
            chip->SetParent(FTray);
            chip->SetBounds(8, 22 + 26 * (i - 1), 90, 22);
            chip->SetCaption("Chip " + std::to_string(i));
            chip->SetTag(i);
            chip->SetDragMode(dmAutomatic);
            chip->SetDragCursor(crMultiDrag);
        }
    }

  private:
    TPanel* MakeBox(const std::string& Caption, int Left) {
        auto* box = new TPanel(this);
        box->SetParent(this);
        box->SetBounds(Left, 4, 110, 110);
        box->SetBevelOuter(bvLowered);
        box->SetAlignment(taLeftJustify);
        box->SetVerticalAlignment(taAlignTop);
        box->SetCaption(Caption);
        return box;
    }
    TPanel* FTray = nullptr;
    TPanel* FBin = nullptr;
    int FDropped = 0;
};

// A 4 x 4 table whose header cells drag their column / row to a new place; the data follows
// the move events.
class TMoveGridDemo : public TDrawGrid {
  public:
    explicit TMoveGridDemo(TComponent* AOwner) : TDrawGrid(AOwner) {
        SetColCount(4);
        SetRowCount(4);
        SetDefaultColWidth(56);
        SetDefaultRowHeight(20);
        SetOptions(Options() | goColMoving | goRowMoving);
        FCols = {"", "A", "B", "C"};
        FRows = {"", "1", "2", "3"};
        SetOnColumnMoved([this](TObject*, int From, int To) {
            Fit();
            Move(FCols, From, To);
        });
        SetOnRowMoved([this](TObject*, int From, int To) {
            Fit();
            Move(FRows, From, To);
        });
        SetOnDrawCell([this](TObject*, int c, int r, TRect R, TGridDrawState) {
            Fit();
            TCanvas& cv = Canvas();
            cv.Brush().SetStyle(bsClear);
            std::string t = r == 0   ? FCols[std::size_t(c)]
                            : c == 0 ? FRows[std::size_t(r)]
                                     : FCols[std::size_t(c)] + FRows[std::size_t(r)];
            cv.TextOut(R.Left + 3, R.Top + 2, t);
            cv.Brush().SetStyle(bsSolid);
        });
    }

  private:
    // The labels follow the table's size when code (or a form file) changes the counts.
    void Fit() {
        while (FCols.size() < std::size_t(ColCount())) {
            std::string name(1, 'C'); // built in two steps: g++ 12 warns falsely on "C" + s
            name += std::to_string(FCols.size());
            FCols.push_back(std::move(name));
        }
        while (FRows.size() < std::size_t(RowCount()))
            FRows.push_back(std::to_string(FRows.size()));
    }
    static void Move(std::vector<std::string>& v, int From, int To) {
        std::string item = std::move(v[std::size_t(From)]);
        v.erase(v.begin() + From);
        v.insert(v.begin() + To, std::move(item));
    }
    std::vector<std::string> FCols, FRows;
};

} // namespace

KEL_GALLERY_ITEM("Drag and drop", 240, 120, [](TWinControl* p) { return new TDragDemo(p); });
KEL_GALLERY_ITEM("TDrawGrid moving", 240, 100, [](TWinControl* p) { return new TMoveGridDemo(p); });

} // namespace kel::gallery
