// Gallery items of the tree view: the classic look (dotted lines, plus/minus boxes, images)
// and the modern look (triangles, no lines), both with a few levels expanded and a node chosen,
// and a tree that loads its children lazily when a node opens.
#include "gallery.h"

#include "kel_comctrls.h"

#include <string>

namespace kel::gallery {
namespace {

// Two 16 x 16 pictures, a folder and a page, on a fuchsia key colour.
TImageList* MakeImages(TComponent* Owner) {
    auto* images = new TImageList(Owner);
    TBitmap bmp(32, 16);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect(Rect(0, 0, 32, 16));
    c.Brush().SetColor(RGB(0xE8, 0xC0, 0x40));
    c.FillRect(Rect(1, 4, 15, 14));
    c.FillRect(Rect(1, 2, 7, 4));
    c.Brush().SetColor(RGB(0x40, 0x80, 0xE0));
    c.FillRect(Rect(19, 1, 29, 15));
    images->AddMasked(bmp, clFuchsia);
    return images;
}

TTreeView* MakeTree(TWinControl* p, TTreeViewStyle Style) {
    auto* t = new TTreeView(p);
    t->SetTreeStyle(Style);
    t->SetHideSelection(false);
    t->SetImages(MakeImages(t));
    TTreeNodes& n = t->Items();
    TTreeNode* meas = n.Add(nullptr, "Measurements");
    TTreeNode* run1 = n.AddChild(meas, "Run 1");
    n.AddChild(run1, "Pressure.csv")->SetImageIndex(1);
    TTreeNode* temp = n.AddChild(run1, "Temperature.csv");
    temp->SetImageIndex(1);
    n.AddChild(meas, "Run 2");
    TTreeNode* cfg = n.Add(nullptr, "Settings");
    n.AddChild(cfg, "Limits.ini")->SetImageIndex(1);
    n.Add(nullptr, "Readme.txt")->SetImageIndex(1);
    for (TTreeNode* f : {meas, run1, cfg}) f->SetImageIndex(0);
    meas->Expand(false);
    run1->Expand(false);
    t->SetSelected(temp);
    return t;
}

} // namespace

KEL_GALLERY_ITEM("TTreeView", 170, 140, [](TWinControl* p) { return MakeTree(p, tvsClassic); });
KEL_GALLERY_ITEM("TTreeView modern", 170, 140,
                 [](TWinControl* p) { return MakeTree(p, tvsModern); });
KEL_GALLERY_ITEM("TTreeView lazy", 170, 140, [](TWinControl* p) {
    // Every node claims children; they are made when it opens, three at a time, five deep.
    auto* t = new TTreeView(p);
    t->SetOnExpanding([t](TObject*, TTreeNode* node, bool&) {
        if (node->Count() > 0) return;
        for (int i = 1; i <= 3; ++i) {
            TTreeNode* c = t->Items().AddChild(node, node->Text() + "." + std::to_string(i));
            c->SetHasChildren(c->Level() < 5);
        }
    });
    for (int i = 1; i <= 3; ++i)
        t->Items().Add(nullptr, "Node " + std::to_string(i))->SetHasChildren(true);
    t->Items().GetFirstNode()->Expand(false);
    return t;
});

} // namespace kel::gallery
