// Draws the two check glyphs of the table editor's read-only menu item into resources/ (our own
// artwork): a 13 x 13 box with a grey frame and a white inside, empty (EMPTYBOX) or holding a
// dark green check mark of two strokes (CHECKEDBOX). The menu treats the bottom-left pixel's
// colour as transparent, so the glyph keeps a 1-pixel magenta margin round the box.
//
//   CHECKEDBOX  15 x 15  box with a check mark
//   EMPTYBOX    15 x 15  empty box
//
// Usage: kel_make_checkboxes <resources folder>
#include "kel_graphics.h"

#include <cstdio>
#include <string>

using namespace kel;

namespace {

constexpr TColor kMargin = TColor(0xFF00FF); // transparent in menus
constexpr TColor kFrame = TColor(0x707070);
constexpr TColor kInside = clWhite;
constexpr TColor kMark = TColor(0x206020);

void DrawBox(TBitmap& b) {
    b.SetSize(15, 15);
    TCanvas& c = b.Canvas();
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x) {
            const bool frame =
                (x == 1 || x == 13 || y == 1 || y == 13) && x >= 1 && x <= 13 && y >= 1 && y <= 13;
            const bool inside = x > 1 && x < 13 && y > 1 && y < 13;
            c.SetPixels(x, y, frame ? kFrame : inside ? kInside : kMargin);
        }
}

void DrawCheck(TBitmap& b) {
    // A short stroke down to the right, then a long one up to the right, 2 pixels thick.
    TCanvas& c = b.Canvas();
    const int pts[][2] = {{3, 7}, {4, 8}, {5, 9},  {6, 10}, {7, 9},
                          {8, 8}, {9, 7}, {10, 6}, {11, 5}};
    for (const auto& p : pts) {
        c.SetPixels(p[0], p[1], kMark);
        c.SetPixels(p[0], p[1] - 1, kMark);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kel_make_checkboxes <resources folder>\n");
        return 2;
    }
    const std::string dir = argv[1];
    TBitmap empty;
    DrawBox(empty);
    empty.SaveToFile(dir + "/emptybox.png");
    TBitmap checked;
    DrawBox(checked);
    DrawCheck(checked);
    checked.SaveToFile(dir + "/checkedbox.png");
    return 0;
}
