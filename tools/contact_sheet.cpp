// Writes one PNG that shows many pictures at once, each under a caption, so a person reviews
// every reference image of the tests in one look (tools/update-refs.sh writes
// docs/img/reference-images.png with it). Pictures wider or taller than a cell are scaled down
// to fit, keeping their shape; the caption then says so.
//
// Usage: kel_contact_sheet <output.png> <root folder> <picture.png>...
//        captions are the pictures' paths relative to the root folder, without ".png".
#include "kel_graphics.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace kel;

namespace {

constexpr int kSheetWidth = 1600; // pixels; cells wrap into rows within it
constexpr int kMaxCell = 480;     // largest picture side shown at its own size
constexpr int kPad = 8;
constexpr int kCaption = 16;

struct Cell {
    std::string Caption;
    std::unique_ptr<TBitmap> Picture = std::make_unique<TBitmap>();
    int W = 0, H = 0; // size shown
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: kel_contact_sheet <output.png> <root> <picture.png>...\n");
        return 2;
    }
    const std::filesystem::path root = argv[2];
    std::vector<Cell> cells;
    try {
        for (int i = 3; i < argc; ++i) {
            Cell c;
            c.Picture->LoadFromFile(argv[i]);
            std::filesystem::path rel = std::filesystem::path(argv[i]).lexically_relative(root);
            rel.replace_extension();
            c.Caption = rel.generic_string();
            c.W = c.Picture->Width();
            c.H = c.Picture->Height();
            const int side = std::max(c.W, c.H);
            if (side > kMaxCell) {
                c.W = std::max(1, c.W * kMaxCell / side);
                c.H = std::max(1, c.H * kMaxCell / side);
                c.Caption += " (scaled " + std::to_string(c.Picture->Width()) + "x" +
                             std::to_string(c.Picture->Height()) + ")";
            }
            cells.push_back(std::move(c));
        }
        // Rows from left to right; a cell is as wide as its picture or its caption.
        TBitmap probe(1, 1);
        struct Placed {
            int X, Y, W;
        };
        std::vector<Placed> at;
        int x = kPad, y = kPad, rowH = 0, right = 0;
        for (const Cell& c : cells) {
            const int w = std::max(c.W, probe.Canvas().TextWidth(c.Caption));
            if (x > kPad && x + w > kSheetWidth - kPad) {
                x = kPad;
                y += rowH + kPad;
                rowH = 0;
            }
            at.push_back({x, y, w});
            x += w + 2 * kPad;
            right = std::max(right, x);
            rowH = std::max(rowH, kCaption + c.H);
        }
        TBitmap sheet(std::max(right, 2 * kPad), y + rowH + kPad);
        TCanvas& cv = sheet.Canvas();
        cv.Brush().SetColor(RGB(0xD8, 0xDC, 0xE4)); // a grey that shows white pictures' edges
        cv.FillRect(Rect(0, 0, sheet.Width(), sheet.Height()));
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const Cell& c = cells[i];
            cv.Brush().SetStyle(bsClear);
            cv.Font().SetColor(clBlack);
            cv.TextOut(at[i].X, at[i].Y, c.Caption);
            cv.Brush().SetStyle(bsSolid);
            const TRect r =
                Rect(at[i].X, at[i].Y + kCaption, at[i].X + c.W, at[i].Y + kCaption + c.H);
            if (c.W == c.Picture->Width() && c.H == c.Picture->Height())
                cv.Draw(r.Left, r.Top, *c.Picture);
            else
                cv.StretchDraw(r, *c.Picture);
        }
        sheet.SaveToFile(argv[1]);
        std::printf("contact sheet of %zu pictures written to %s\n", cells.size(), argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kel_contact_sheet: %s\n", e.what());
        return 1;
    }
    return 0;
}
