// Painting of the tree view: the frame, the rows of one page (lines, expand buttons, images,
// texts and the selection) and the scroll bars. Only the rows between TopIndex and the bottom
// of the client area are drawn, so the cost of a paint does not depend on the node count.
//
// Classic look: dotted grey lines joining each node to its parent and siblings, plus/minus
// boxes, the selected text on the highlight colour with a focus rectangle. Modern look: no
// lines, a hollow triangle for a closed node and a filled one for an open node, the selected row
// in light blue (grey without focus).
#include "detail/scrollbar.h"
#include "kel_comctrls.h"

#include <algorithm>
#include <array>

namespace kel {

namespace {

constexpr TColor LineColor = RGB(0xA0, 0xA0, 0xA0);
constexpr TColor ButtonFrameColor = RGB(0x91, 0x91, 0x91);
constexpr TColor ModernSelFill = RGB(0xCC, 0xE8, 0xFF);
constexpr TColor ModernSelFrame = RGB(0x99, 0xD1, 0xFF);
constexpr TColor ModernSelInactive = RGB(0xD9, 0xD9, 0xD9);
constexpr TColor ModernHot = RGB(0xE5, 0xF3, 0xFF);
constexpr TColor TriangleOpen = RGB(0x40, 0x40, 0x40);
constexpr TColor TriangleClosed = RGB(0x80, 0x80, 0x80);

// The dotted focus rectangle: every other pixel of the outline inverted.
void DrawFocusRectXor(TCanvas& C, const TRect& R) {
    if (R.IsEmpty()) return;
    auto invert = [&C](int x, int y) {
        TColor p = C.Pixels(x, y);
        if (p != 0xFFFFFFFF) C.SetPixels(x, y, p ^ 0xFFFFFF);
    };
    for (int x = R.Left; x < R.Right; x += 2) {
        invert(x, R.Top);
        if (R.Bottom - 1 > R.Top) invert(x, R.Bottom - 1);
    }
    for (int y = R.Top + 2; y < R.Bottom - 1; y += 2) {
        invert(R.Left, y);
        if (R.Right - 1 > R.Left) invert(R.Right - 1, y);
    }
}

} // namespace

void TCustomTreeView::Paint() {
    TCanvas& C = Canvas();
    UpdateScrollBars();
    const int w = Width(), h = Height();
    if (FBorderStyle != bsNone) {
        if (FCtl3D) {
            detail::DrawSunkenFrame(C, Rect(0, 0, w, h));
        } else {
            C.Brush().SetStyle(bsSolid);
            C.Brush().SetColor(clWindowFrame);
            C.FrameRect(Rect(0, 0, w, h));
        }
    }
    const TRect a = FArea;
    const TColor back = Enabled() ? Color() : clBtnFace;
    detail::FillSolid(C, a, back);
    if (!a.IsEmpty()) {
        const TRect oldClip = C.ClipRect();
        C.IntersectClipRect(a);
        C.Font().Assign(&Font());
        const int ih = ItemHeight();
        const int rows = int(FRows.size());
        for (int r = FTopIndex, y = a.Top; r < rows && y < a.Bottom; ++r, y += ih)
            PaintRow(C, FRows[std::size_t(r)], Rect(a.Left, y, a.Right, y + ih));
        C.SetClipRect(oldClip);
    }
    FVBar->Paint(C, Enabled());
    FHBar->Paint(C, Enabled());
    if (FVBar->Shown() && FHBar->Shown())
        detail::FillSolid(C,
                          Rect(FVBar->BoundsRect().Left, FHBar->BoundsRect().Top,
                               FVBar->BoundsRect().Right, FHBar->BoundsRect().Bottom),
                          clBtnFace);
}

void TCustomTreeView::PaintRow(TCanvas& C, TTreeNode* Node, const TRect& Row) {
    const int x0 = Row.Left - FScrollX; // content x = 0
    const int ih = Row.Height();
    const bool modern = FTreeStyle == tvsModern;
    const bool focused = FFocused || EditorFocused();
    const bool selected = Node == FSelected && (focused || !FHideSelection);
    const bool editing = Node == FEditNode;
    const int textLeft = x0 + TextLeft(Node);
    const int tw = TextWidthOf(Node);
    const TRect textBox = Rect(textLeft, Row.Top, textLeft + tw + 4, Row.Bottom);
    const bool wide = modern || FRowSelect;
    const TRect selBox = wide ? Row : textBox;
    TColor textColor = Enabled() ? Font().Color() : clGrayText;

    // Selection and hot-tracking backgrounds.
    if (selected && !editing) {
        if (modern) {
            detail::FillSolid(C, selBox, focused ? ModernSelFill : ModernSelInactive);
            if (focused) {
                C.Brush().SetColor(ModernSelFrame);
                C.FrameRect(selBox);
            }
        } else {
            detail::FillSolid(C, selBox, focused ? clHighlight : clBtnFace);
            if (focused) textColor = clHighlightText;
        }
    } else if (FHotTrack && Node == FHotNode && modern) {
        detail::FillSolid(C, selBox, ModernHot);
    }

    // Lines and the expand button in the node's own indent column.
    if (LinesShown()) PaintLines(C, Node, Row, (Node->FRow) * ih);
    const int cols = Columns(Node);
    if (FShowButtons && Node->FHasChildren && cols > 0)
        PaintButton(C, Node, x0 + (cols - 1) * FIndent + FIndent / 2, Row.Top + (ih - 1) / 2);

    // Image.
    if (FImages != nullptr) {
        int idx = Node->FImageIndex;
        if (Node == FSelected && Node->FSelectedIndex >= 0) idx = Node->FSelectedIndex;
        FImages->Draw(C, x0 + ContentLeft(Node) + 1, Row.Top + (ih - FImages->Height()) / 2, idx,
                      Enabled());
    }

    // Text.
    if (!editing) {
        C.Brush().SetStyle(bsClear);
        C.Font().SetColor(FHotTrack && Node == FHotNode && !modern ? clHotLight : textColor);
        TFontStyles st = Font().Style();
        if (FHotTrack && Node == FHotNode && !modern) st.include(fsUnderline);
        C.Font().SetStyle(st);
        C.TextOut(textLeft + 2, Row.Top + (ih - C.TextHeight("Wg")) / 2, Node->FText);
        C.Font().Assign(&Font());
        C.Brush().SetStyle(bsSolid);
        if (selected && focused && !modern) DrawFocusRectXor(C, selBox);
    }
}

void TCustomTreeView::PaintLines(TCanvas& C, TTreeNode* Node, const TRect& Row, int ContentTop) {
    const int x0 = Row.Left - FScrollX;
    const int ih = Row.Height();
    const int cy = Row.Top + (ih - 1) / 2;
    // Dots sit where content x + content y is even, so scrolling keeps the pattern in place.
    auto dotV = [&](int x, int y1, int y2) {
        for (int y = y1; y < y2; ++y)
            if (((x - x0) + (y - Row.Top + ContentTop)) % 2 == 0) C.SetPixels(x, y, LineColor);
    };
    auto dotH = [&](int x1, int x2, int y) {
        for (int x = x1; x < x2; ++x)
            if (((x - x0) + (y - Row.Top + ContentTop)) % 2 == 0) C.SetPixels(x, y, LineColor);
    };
    const int cols = Columns(Node);
    if (cols <= 0) return;
    // The node's own column: up to the middle (from the top unless it is the very first
    // row), on down when a sibling follows, and across to the content.
    const int cx = x0 + (cols - 1) * FIndent + FIndent / 2;
    const bool first = Node->Parent() == nullptr && Node->FIndex == 0;
    const bool more = Node->GetNextSibling() != nullptr;
    dotV(cx, first ? cy : Row.Top, more ? Row.Bottom : cy + 1);
    dotH(cx + 1, x0 + cols * FIndent, cy);
    // Each ancestor with a later sibling passes through this row in its column.
    int col = cols - 1;
    for (TTreeNode* a = Node->Parent(); a != nullptr && --col >= 0; a = a->Parent())
        if (a->GetNextSibling() != nullptr)
            dotV(x0 + col * FIndent + FIndent / 2, Row.Top, Row.Bottom);
}

void TCustomTreeView::PaintButton(TCanvas& C, TTreeNode* Node, int CX, int CY) {
    const bool open = Node->FExpanded && !Node->FChildren.empty();
    if (FTreeStyle == tvsModern) {
        C.Pen().SetStyle(psSolid);
        C.Pen().SetWidth(1);
        if (open) {
            // A filled triangle pointing down and right.
            const std::array<TPoint, 3> pts{{{CX + 3, CY - 3}, {CX + 3, CY + 3}, {CX - 3, CY + 3}}};
            C.Pen().SetColor(TriangleOpen);
            C.Brush().SetStyle(bsSolid);
            C.Brush().SetColor(TriangleOpen);
            C.Polygon(pts);
        } else {
            // A hollow triangle pointing right.
            const std::array<TPoint, 3> pts{{{CX - 2, CY - 4}, {CX + 2, CY}, {CX - 2, CY + 4}}};
            C.Pen().SetColor(TriangleClosed);
            C.Brush().SetStyle(bsClear);
            C.Polygon(pts);
            C.Brush().SetStyle(bsSolid);
        }
        return;
    }
    // A 9 x 9 box with a minus, and a plus while closed.
    const TRect box = Rect(CX - 4, CY - 4, CX + 5, CY + 5);
    detail::FillSolid(C, box, clWindow);
    C.Brush().SetColor(ButtonFrameColor);
    C.FrameRect(box);
    detail::FillSolid(C, Rect(CX - 2, CY, CX + 3, CY + 1), clWindowText);
    if (!open) detail::FillSolid(C, Rect(CX, CY - 2, CX + 1, CY + 3), clWindowText);
}

} // namespace kel
