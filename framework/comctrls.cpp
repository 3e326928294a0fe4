// The image list and the tree view's model and behaviour: nodes and their collection, the
// lazily built row list and depth-first order, expanding and collapsing, selection, in-place
// editing, scrolling, keys and mouse, and the published properties. Painting is in
// treeview_paint.cpp.
//
// Index: TImageList; TTreeNode; TTreeNodes; TCustomTreeView (construction and properties, model
// notifications, expanding and selection, rows and layout, scrolling, editing, keys, mouse);
// published properties.
#include "kel_comctrls.h"

#include "detail/scrollbar.h"
#include "kel_forms.h"
#include "kel_props.h"
#include "kel_setter.h"
#include "kel_stdctrls.h"

#include <algorithm>
#include <cctype>

namespace kel {

namespace {
constexpr int EditDelayMs = 500;    // a slow second click edits after this pause
constexpr int SearchResetMs = 1000; // typed letters form one prefix within this pause
constexpr int WheelRows = 3;        // rows per wheel notch

// Lower-case ASCII prefix test (the search keys are letters and digits).
bool StartsWithNoCase(const std::string& Text, const std::string& Prefix) {
    if (Prefix.size() > Text.size()) return false;
    for (std::size_t i = 0; i < Prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(Text[i])) !=
            std::tolower(static_cast<unsigned char>(Prefix[i])))
            return false;
    return true;
}
} // namespace

// ---- TImageList -------------------------------------------------------------------------------

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}
TImageList::~TImageList() = default;

void TImageList::Changed() {
    if (FOnChange) FOnChange(this);
}

void TImageList::SetWidth(int Value) {
    if (SetField(FWidth, std::max(1, Value))) {
        FImages.clear();
        Changed();
    }
}

void TImageList::SetHeight(int Value) {
    if (SetField(FHeight, std::max(1, Value))) {
        FImages.clear();
        Changed();
    }
}

int TImageList::AddOne(const TBitmap& Image, int X0, bool Masked, TColor MaskColor) {
    auto bmp = std::make_unique<TBitmap>(FWidth, FHeight);
    const TColor fill = Masked ? MaskColor : clWhite;
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            const bool inside = X0 + x < Image.Width() && y < Image.Height();
            bmp->Canvas().SetPixels(x, y, inside ? Image.Canvas().Pixels(X0 + x, y) : fill);
        }
    if (Masked) {
        bmp->SetTransparent(true);
        bmp->SetTransparentColor(MaskColor);
    }
    FImages.push_back(std::move(bmp));
    return int(FImages.size()) - 1;
}

int TImageList::Add(const TBitmap& Image) {
    int first = -1;
    for (int x = 0; x == 0 || x < Image.Width(); x += FWidth) {
        int i = AddOne(Image, x, false, clNone);
        if (first < 0) first = i;
    }
    Changed();
    return first;
}

int TImageList::AddMasked(const TBitmap& Image, TColor MaskColor) {
    int first = -1;
    for (int x = 0; x == 0 || x < Image.Width(); x += FWidth) {
        int i = AddOne(Image, x, true, MaskColor);
        if (first < 0) first = i;
    }
    Changed();
    return first;
}

void TImageList::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    FImages.erase(FImages.begin() + Index);
    Changed();
}

void TImageList::Clear() {
    if (FImages.empty()) return;
    FImages.clear();
    Changed();
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled) const {
    if (Index < 0 || Index >= Count()) return;
    const TBitmap& img = *FImages[std::size_t(Index)];
    if (Enabled) {
        Canvas.Draw(X, Y, img);
        return;
    }
    // Disabled: every drawn pixel becomes a grey of its own lightness, lifted towards white.
    const TColor key = img.Transparent() ? img.TransparentColor() : clNone;
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            TColor c = img.Canvas().Pixels(x, y);
            if (key != clNone && (c & 0xFFFFFF) == (key & 0xFFFFFF)) continue;
            int g =
                (int(c & 0xFF) * 30 + int((c >> 8) & 0xFF) * 59 + int((c >> 16) & 0xFF) * 11) / 100;
            g = 128 + g / 2;
            Canvas.SetPixels(X + x, Y + y, RGB(g, g, g));
        }
}

void TImageList::GetBitmap(int Index, TBitmap& Out) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    Out.Assign(FImages[std::size_t(Index)].get());
}

// ---- TTreeNode --------------------------------------------------------------------------------

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->FTree; }

void TTreeNode::SetText(const std::string& Value) {
    if (SetField(FText, Value)) TreeView()->NodeChanged(this);
}

void TTreeNode::SetImageIndex(int Value) {
    if (SetField(FImageIndex, Value)) TreeView()->NodeChanged(this);
}

void TTreeNode::SetSelectedIndex(int Value) {
    if (SetField(FSelectedIndex, Value)) TreeView()->NodeChanged(this);
}

TTreeNode* TTreeNode::Parent() const { return FParent == FOwner->FRoot.get() ? nullptr : FParent; }

int TTreeNode::Level() const {
    int l = 0;
    for (const TTreeNode* p = FParent; p != FOwner->FRoot.get(); p = p->FParent) ++l;
    return l;
}

int TTreeNode::AbsoluteIndex() const {
    FOwner->EnsureOrder();
    return FAbsIndex;
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        throw ETreeViewError("Tree node child index out of bounds (" + std::to_string(Index) + ")");
    return FChildren[std::size_t(Index)].get();
}

bool TTreeNode::HasAsParent(const TTreeNode* Node) const {
    if (Node == nullptr) return false;
    for (const TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        if (p == Node) return true;
    return false;
}

TTreeNode* TTreeNode::GetFirstChild() const {
    return FChildren.empty() ? nullptr : FChildren.front().get();
}

TTreeNode* TTreeNode::GetLastChild() const {
    return FChildren.empty() ? nullptr : FChildren.back().get();
}

TTreeNode* TTreeNode::GetNextSibling() const {
    const auto& sib = FParent->FChildren;
    return FIndex + 1 < int(sib.size()) ? sib[std::size_t(FIndex) + 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    return FIndex > 0 ? FParent->FChildren[std::size_t(FIndex) - 1].get() : nullptr;
}

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* Node) const {
    return Node != nullptr && Node->FParent == this ? Node->GetNextSibling() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.empty()) return FChildren.front().get();
    for (const TTreeNode* n = this; n != nullptr; n = n->Parent())
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* p = GetPrevSibling();
    if (p == nullptr) return Parent();
    while (!p->FChildren.empty()) p = p->FChildren.back().get();
    return p;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    if (!IsVisible()) return nullptr;
    if (FExpanded && !FChildren.empty()) return FChildren.front().get();
    for (const TTreeNode* n = this; n != nullptr; n = n->Parent())
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    if (!IsVisible()) return nullptr;
    TTreeNode* p = GetPrevSibling();
    if (p == nullptr) return Parent();
    while (p->FExpanded && !p->FChildren.empty()) p = p->FChildren.back().get();
    return p;
}

void TTreeNode::SetHasChildren(bool Value) {
    if (SetField(FHasChildren, Value)) TreeView()->NodeChanged(this);
}

void TTreeNode::SetExpanded(bool Value) { TreeView()->DoExpand(this, Value); }

void TTreeNode::Expand(bool Recurse) {
    TreeView()->DoExpand(this, true);
    if (!Recurse) return;
    // Children may be added by the expanding handler: walk them as they are now.
    for (std::size_t i = 0; i < FChildren.size(); ++i) FChildren[i]->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    TreeView()->DoExpand(this, false);
    if (!Recurse) return;
    for (std::size_t i = 0; i < FChildren.size(); ++i) FChildren[i]->Collapse(true);
}

bool TTreeNode::IsVisible() const {
    for (const TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        if (!p->FExpanded) return false;
    return true;
}

void TTreeNode::MakeVisible() {
    std::vector<TTreeNode*> chain;
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (!(*it)->FExpanded) TreeView()->DoExpand(*it, true);
    TreeView()->ScrollIntoView(this);
}

bool TTreeNode::Selected() const { return TreeView()->FSelected == this; }

void TTreeNode::SetSelected(bool Value) {
    if (Value)
        TreeView()->SetSelected(this);
    else if (Selected())
        TreeView()->SetSelected(nullptr);
}

bool TTreeNode::EditText() { return TreeView()->EditNode(this); }

bool TTreeNode::IsEditing() const { return TreeView()->FEditNode == this; }

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren() {
    TCustomTreeView* tv = TreeView();
    tv->FItems->BeginUpdate();
    try {
        while (!FChildren.empty()) FOwner->Delete(FChildren.back().get());
    } catch (...) {
        tv->FItems->EndUpdate();
        throw;
    }
    tv->FItems->EndUpdate();
}

void TTreeNode::Reindex(int From) {
    for (std::size_t i = std::size_t(std::max(0, From)); i < FChildren.size(); ++i)
        FChildren[i]->FIndex = int(i);
}

void TTreeNode::MoveTo(TTreeNode* Destination, TNodeAttachMode Mode) {
    TTreeNodes& nodes = *FOwner;
    nodes.CheckOwn(Destination);
    const bool asChild = Mode == naAddChild || Mode == naAddChildFirst;
    if (Destination == this ? asChild : Destination != nullptr && Destination->HasAsParent(this))
        throw ETreeViewError("Cannot move a tree node below itself");
    if (Destination == this) return; // beside itself: it stays where it is
    TTreeNode* newParent = asChild                  ? nodes.RealParent(Destination)
                           : Destination == nullptr ? nodes.FRoot.get()
                                                    : Destination->FParent;
    // Take the node out of its old place.
    TTreeNode* oldParent = FParent;
    std::unique_ptr<TTreeNode> self = std::move(oldParent->FChildren[std::size_t(FIndex)]);
    oldParent->FChildren.erase(oldParent->FChildren.begin() + FIndex);
    oldParent->Reindex(FIndex);
    if (oldParent != nodes.FRoot.get() && oldParent->FChildren.empty())
        oldParent->FHasChildren = false;
    int at = 0;
    switch (Mode) {
    case naAdd:
    case naAddChild:
        at = int(newParent->FChildren.size());
        break;
    case naAddFirst:
    case naAddChildFirst:
        at = 0;
        break;
    case naInsert:
        at = Destination == nullptr ? int(newParent->FChildren.size()) : Destination->FIndex;
        break;
    }
    FParent = newParent;
    newParent->FChildren.insert(newParent->FChildren.begin() + at, std::move(self));
    newParent->Reindex(at);
    if (newParent != nodes.FRoot.get()) newParent->FHasChildren = true;
    nodes.StructureChanged();
}

void TTreeNode::SortChildren(const std::function<int(TTreeNode*, TTreeNode*)>& Cmp, bool Recurse) {
    std::stable_sort(
        FChildren.begin(), FChildren.end(),
        [&Cmp](const std::unique_ptr<TTreeNode>& a, const std::unique_ptr<TTreeNode>& b) {
            return Cmp(a.get(), b.get()) < 0;
        });
    Reindex(0);
    if (Recurse)
        for (auto& c : FChildren) c->SortChildren(Cmp, true);
}

bool TTreeNode::AlphaSort(bool Recurse) {
    TCustomTreeView* tv = TreeView();
    SortChildren(
        [tv](TTreeNode* a, TTreeNode* b) {
            int r = CompareStrings(a->Text(), b->Text(), false);
            if (tv->FOnCompare) tv->FOnCompare(tv, a, b, 0, r);
            return r;
        },
        Recurse);
    FOwner->StructureChanged();
    return true;
}

bool TTreeNode::CustomSort(const TTVCompare& SortProc, std::intptr_t Data, bool Recurse) {
    if (!SortProc) return AlphaSort(Recurse);
    SortChildren([&](TTreeNode* a, TTreeNode* b) { return SortProc(a, b, Data); }, Recurse);
    FOwner->StructureChanged();
    return true;
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    const TCustomTreeView* tv = TreeView();
    const int row = tv->RowOf(this);
    if (row < 0) return {};
    const TRect area = tv->RowArea();
    const int ih = tv->ItemHeight();
    const int top = area.Top + (row - tv->FTopIndex) * ih;
    if (top + ih <= area.Top || top >= area.Bottom) return {};
    if (!TextOnly) return Rect(area.Left, top, area.Right, top + ih);
    const int left = area.Left - tv->FScrollX + tv->TextLeft(this);
    return Rect(left, top, left + tv->TextWidthOf(this) + 4, top + ih);
}

// ---- TTreeNodes -------------------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FTree(AOwner), FRoot(new TTreeNode(this)) {
    FRoot->FExpanded = true;
}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::RealParent(TTreeNode* Node) const {
    return Node == nullptr ? FRoot.get() : Node;
}

void TTreeNodes::CheckOwn(const TTreeNode* Node) const {
    if (Node != nullptr && Node->FOwner != this)
        throw ETreeViewError("The tree node belongs to another tree");
}

void TTreeNodes::StructureChanged() {
    FOrderValid = false;
    FTree->NodesChanged();
}

void TTreeNodes::EnsureOrder() const {
    if (FOrderValid) return;
    FOrder.clear();
    FOrder.reserve(std::size_t(FCount));
    // Depth first, parent first, over every node.
    std::vector<std::pair<const TTreeNode*, std::size_t>> stack{{FRoot.get(), 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->FChildren.size()) {
            stack.pop_back();
            continue;
        }
        TTreeNode* c = node->FChildren[next++].get();
        c->FAbsIndex = int(FOrder.size());
        FOrder.push_back(c);
        if (!c->FChildren.empty()) stack.emplace_back(c, 0);
    }
    FOrderValid = true;
}

TTreeNode* TTreeNodes::Item(int Index) const {
    if (Index < 0 || Index >= FCount)
        throw ETreeViewError("Tree node index out of bounds (" + std::to_string(Index) + ")");
    EnsureOrder();
    return FOrder[std::size_t(Index)];
}

TTreeNode* TTreeNodes::GetFirstNode() const { return FRoot->GetFirstChild(); }

int TTreeNodes::TopLevelCount() const { return FRoot->Count(); }

TTreeNode* TTreeNodes::TopLevelItem(int Index) const { return FRoot->Item(Index); }

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, int Index, const std::string& S, void* Ptr) {
    std::unique_ptr<TTreeNode> n(new TTreeNode(this));
    TTreeNode* node = n.get();
    node->FParent = Parent;
    node->FText = S;
    node->FData = Ptr;
    Parent->FChildren.insert(Parent->FChildren.begin() + Index, std::move(n));
    Parent->Reindex(Index);
    if (Parent != FRoot.get()) Parent->FHasChildren = true;
    ++FCount;
    StructureChanged();
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S) {
    return AddObject(Sibling, S, nullptr);
}
TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const std::string& S) {
    return AddObjectFirst(Sibling, S, nullptr);
}
TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S) {
    return AddChildObject(Parent, S, nullptr);
}
TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const std::string& S) {
    return AddChildObjectFirst(Parent, S, nullptr);
}
TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const std::string& S) {
    return InsertObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    CheckOwn(Sibling);
    TTreeNode* p = Sibling == nullptr ? FRoot.get() : Sibling->FParent;
    return InsertAt(p, p->Count(), S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    CheckOwn(Sibling);
    return InsertAt(Sibling == nullptr ? FRoot.get() : Sibling->FParent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
    CheckOwn(Parent);
    TTreeNode* p = RealParent(Parent);
    return InsertAt(p, p->Count(), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr) {
    CheckOwn(Parent);
    return InsertAt(RealParent(Parent), 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    CheckOwn(Sibling);
    if (Sibling == nullptr) return InsertAt(FRoot.get(), FRoot->Count(), S, Ptr);
    return InsertAt(Sibling->FParent, Sibling->FIndex, S, Ptr);
}

void TTreeNodes::DeleteSubtree(TTreeNode* Node) {
    // Children first, each told to the tree before it goes.
    for (auto it = Node->FChildren.rbegin(); it != Node->FChildren.rend(); ++it)
        DeleteSubtree(it->get());
    if (!FTree->FDestroying) FTree->Delete(Node);
    --FCount;
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (Node == nullptr) return;
    CheckOwn(Node);
    FTree->NodeDeleting(Node);
    TTreeNode* parent = Node->FParent;
    const int at = Node->FIndex;
    DeleteSubtree(Node);
    parent->FChildren.erase(parent->FChildren.begin() + at);
    parent->Reindex(at);
    if (parent != FRoot.get() && parent->FChildren.empty()) parent->FHasChildren = false;
    StructureChanged();
    FTree->NodeDeleted();
}

void TTreeNodes::Clear() {
    if (FRoot->FChildren.empty()) return;
    FTree->ClearingAll();
    BeginUpdate();
    try {
        while (!FRoot->FChildren.empty()) Delete(FRoot->FChildren.back().get());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TTreeNodes::BeginUpdate() { ++FUpdateCount; }

void TTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) {
        FTree->NodesChanged();
        FTree->NodeDeleted(); // a selection moved by deletions is reported now
    }
}

bool TTreeNodes::AlphaSort(bool Recurse) { return FRoot->AlphaSort(Recurse); }

bool TTreeNodes::CustomSort(const TTVCompare& SortProc, std::intptr_t Data, bool Recurse) {
    return FRoot->CustomSort(SortProc, Data, Recurse);
}

// ---- TCustomTreeView: the in-place editor -----------------------------------------------------

// An edit box that keeps Enter and Escape for itself (commit, cancel) and commits when it
// loses the focus.
class TCustomTreeView::TTreeEdit : public TEdit {
  public:
    explicit TTreeEdit(TCustomTreeView* Tree) : TEdit(Tree), FTree(Tree) {}
    std::string ClassName() const override { return "TTreeEdit"; }

  protected:
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override {
        TEdit::KeyDown(Key, Shift);
        if (Key == VK_RETURN || Key == VK_ESCAPE) {
            const bool cancel = Key == VK_ESCAPE;
            Key = 0;
            FTree->EndEditing(cancel);
        }
    }
    void KeyPress(char32_t& Key) override {
        if (Key == U'\r' || Key == 27) Key = 0; // no beep, no text
        TEdit::KeyPress(Key);
    }
    void WMGetDlgCode(TMessage& Message) override {
        TEdit::WMGetDlgCode(Message);
        Message.Result |= DLGC_WANTALLKEYS;
    }
    void WMKillFocus(TMessage& Message) override {
        TEdit::WMKillFocus(Message);
        if (FTree->FEditNode != nullptr && !FTree->FEnding) FTree->EndEditing(false);
    }

  private:
    TCustomTreeView* FTree;
};

// ---- TCustomTreeView: construction and properties ---------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TTreeNodes>(this)) {
    InitBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    ExcludeStyle(csSetCaption);
    FVBar = std::make_unique<detail::TScrollBar>(true, [this](int p) { SetTopIndex(p); });
    FHBar = std::make_unique<detail::TScrollBar>(false, [this](int p) { SetScrollX(p); });
}

TCustomTreeView::~TCustomTreeView() {
    FDestroying = true;
    FEditTimer.Stop();
    FEditNode = nullptr;
    // The editor goes while the tree is whole: its focus handling calls back into the tree.
    delete FEditor;
    FEditor = nullptr;
    if (FImages != nullptr) FImages->RemoveFreeNotification(this);
    FItems->Clear();
}

void TCustomTreeView::LayoutChanged() {
    FRowsValid = false; // row widths depend on indent, images and font
    FBarsValid = false;
    Invalidate();
}

void TCustomTreeView::SetTreeStyle(TTreeViewStyle Value) {
    if (SetField(FTreeStyle, Value)) LayoutChanged();
}
void TCustomTreeView::SetShowButtons(bool Value) {
    if (SetField(FShowButtons, Value)) LayoutChanged();
}
void TCustomTreeView::SetShowLines(bool Value) {
    if (SetField(FShowLines, Value)) LayoutChanged();
}
void TCustomTreeView::SetShowRoot(bool Value) {
    if (SetField(FShowRoot, Value)) LayoutChanged();
}
void TCustomTreeView::SetIndent(int Value) {
    if (SetField(FIndent, std::max(1, Value))) LayoutChanged();
}
void TCustomTreeView::SetHideSelection(bool Value) {
    if (SetField(FHideSelection, Value)) Invalidate();
}
void TCustomTreeView::SetRowSelect(bool Value) {
    if (SetField(FRowSelect, Value)) Invalidate();
}
void TCustomTreeView::SetHotTrack(bool Value) {
    if (SetField(FHotTrack, Value)) Invalidate();
}
void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
    if (SetField(FBorderStyle, Value == bsNone ? bsNone : bsSingle)) LayoutChanged();
}
void TCustomTreeView::SetCtl3D(bool Value) {
    if (SetField(FCtl3D, Value)) LayoutChanged();
}

void TCustomTreeView::SetImages(TImageList* Value) {
    if (FImages == Value) return;
    if (FImages != nullptr) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages != nullptr) FImages->FreeNotification(this);
    LayoutChanged();
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        LayoutChanged();
    }
}

void TCustomTreeView::WndProc(TMessage& Message) {
    TCustomControl::WndProc(Message);
    if (Message.Msg == CM_FONTCHANGED) {
        ++FFontGen;
        LayoutChanged();
    } else if (Message.Msg == CM_ENABLEDCHANGED) {
        Invalidate();
    }
}

void TCustomTreeView::SizeChanged() {
    TCustomControl::SizeChanged();
    FBarsValid = false;
    if (FEditNode != nullptr) PlaceEditor();
    Invalidate();
}

// ---- TCustomTreeView: model notifications -----------------------------------------------------

void TCustomTreeView::NodesChanged() {
    FRowsValid = false;
    FBarsValid = false;
    if (FItems->Updating() || FDestroying) return;
    Invalidate();
}

void TCustomTreeView::NodeChanged(TTreeNode* Node) {
    (void)Node;
    // A new text may widen or narrow the content: the next layout lists the rows again.
    FRowsValid = false;
    FBarsValid = false;
    if (FEditNode != nullptr) PlaceEditor();
    if (!FItems->Updating()) Invalidate();
}

void TCustomTreeView::NodeDeleting(TTreeNode* Node) {
    auto inside = [Node](const TTreeNode* n) {
        return n != nullptr && (n == Node || n->HasAsParent(Node));
    };
    if (inside(FEditNode)) EndEditing(true);
    if (inside(FHotNode)) FHotNode = nullptr;
    if (inside(FPressNode)) FPressNode = nullptr;
    if (inside(FEditPending)) {
        FEditPending = nullptr;
        FEditTimer.Stop();
    }
    if (!inside(FSelected)) return;
    // The selection moves to the next sibling, else the previous one, else the parent; this
    // cannot be refused, and OnChange reports it once the node is gone.
    TTreeNode* next = Node->GetNextSibling();
    if (next == nullptr) next = Node->GetPrevSibling();
    if (next == nullptr) next = Node->Parent();
    FSelected = next;
    FSelectionMoved = true;
}

void TCustomTreeView::ClearingAll() {
    if (FEditNode != nullptr) EndEditing(true);
    if (FSelected == nullptr) return;
    // The selection goes at once, reported once when everything is gone.
    FSelected = nullptr;
    FSelectionMoved = true;
}

void TCustomTreeView::NodeDeleted() {
    if (!FSelectionMoved || FItems->Updating()) return;
    FSelectionMoved = false;
    if (FDestroying) return;
    if (FSelected != nullptr) ScrollIntoView(FSelected);
    Change(FSelected);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
    if (FOnDeletion) FOnDeletion(this, Node);
}

// ---- TCustomTreeView: expanding and selection -------------------------------------------------

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
    bool allow = true;
    if (FOnExpanding) FOnExpanding(this, Node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
    if (FOnExpanded) FOnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
    bool allow = true;
    if (FOnCollapsing) FOnCollapsing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
    if (FOnCollapsed) FOnCollapsed(this, Node);
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
    bool allow = true;
    if (FOnChanging) FOnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
    if (FOnChange) FOnChange(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
    bool allow = true;
    if (FOnEditing) FOnEditing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, std::string& S) {
    if (FOnEdited) FOnEdited(this, Node, S);
}

bool TCustomTreeView::DoExpand(TTreeNode* Node, bool Value) {
    if (Node == nullptr || Node->FExpanded == Value) return false;
    if (Value) {
        // A node without children and without the lazy-loading flag has nothing to open.
        if (!Node->FHasChildren && Node->FChildren.empty()) return false;
        if (!CanExpand(Node)) return false;
        if (Node->FChildren.empty()) {
            // The handler loaded nothing: the node loses its button and stays closed.
            Node->FHasChildren = false;
            NodeChanged(Node);
            return false;
        }
        Node->FExpanded = true;
        NodesChanged();
        Expand(Node);
        return true;
    }
    if (!CanCollapse(Node)) return false;
    // A selection inside the closing subtree moves up to the node.
    if (FSelected != nullptr && FSelected->HasAsParent(Node)) SelectNode(Node);
    if (FEditNode != nullptr && FEditNode->HasAsParent(Node)) EndEditing(false);
    Node->FExpanded = false;
    NodesChanged();
    Collapse(Node);
    return true;
}

void TCustomTreeView::FullExpand() {
    for (int i = 0; i < FItems->TopLevelCount(); ++i) FItems->TopLevelItem(i)->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    for (int i = 0; i < FItems->TopLevelCount(); ++i) FItems->TopLevelItem(i)->Collapse(true);
}

bool TCustomTreeView::SelectNode(TTreeNode* Node) {
    FItems->CheckOwn(Node);
    if (Node == FSelected) return true;
    if (FEditNode != nullptr && FEditNode != Node) EndEditing(false);
    if (!CanChange(Node)) return false;
    FSelected = Node;
    Invalidate();
    if (Node != nullptr) Node->MakeVisible();
    Change(Node);
    return true;
}

void TCustomTreeView::SetSelected(TTreeNode* Node) { SelectNode(Node); }

// ---- TCustomTreeView: rows and layout ---------------------------------------------------------

void TCustomTreeView::EnsureRows() const {
    if (FRowsValid) return;
    FRows.clear();
    // One depth-first pass over the expanded part of the tree, which also finds the widest
    // row among those whose text was measured (rows are measured when first shown).
    const int rootCol = ShowsRootColumn() ? 1 : 0;
    const int extra = (FImages != nullptr ? FImages->Width() + 3 : 1) + 6;
    int width = 0;
    std::vector<std::pair<const TTreeNode*, std::size_t>> stack{{FItems->FRoot.get(), 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->FChildren.size()) {
            stack.pop_back();
            continue;
        }
        TTreeNode* c = node->FChildren[next++].get();
        c->FRow = int(FRows.size());
        FRows.push_back(c);
        if (c->FWidthGen == FFontGen && c->FTextWidth >= 0)
            width = std::max(width,
                             (int(stack.size()) - 1 + rootCol) * FIndent + extra + c->FTextWidth);
        if (c->FExpanded && !c->FChildren.empty()) stack.emplace_back(c, 0);
    }
    FRowsWidth = width;
    FRowsValid = true;
    FBarsValid = false;
}

int TCustomTreeView::RowCount() const {
    EnsureRows();
    return int(FRows.size());
}

int TCustomTreeView::RowOf(const TTreeNode* Node) const {
    if (Node == nullptr) return -1;
    EnsureRows();
    const int r = Node->FRow;
    return r >= 0 && r < int(FRows.size()) && FRows[std::size_t(r)] == Node ? r : -1;
}

TTreeNode* TCustomTreeView::RowNode(int Row) const {
    EnsureRows();
    return Row >= 0 && Row < int(FRows.size()) ? FRows[std::size_t(Row)] : nullptr;
}

int TCustomTreeView::ItemHeight() const {
    auto& c = const_cast<TCustomTreeView*>(this)->Canvas();
    c.Font().Assign(&Font());
    int h = c.TextHeight("Wg") + 3;
    if (FImages != nullptr) h = std::max(h, FImages->Height() + 2);
    return h;
}

bool TCustomTreeView::ShowsRootColumn() const {
    return FShowRoot && (FShowButtons || LinesShown());
}

bool TCustomTreeView::LinesShown() const { return FShowLines && FTreeStyle == tvsClassic; }

int TCustomTreeView::Columns(const TTreeNode* Node) const {
    return Node->Level() + (ShowsRootColumn() ? 1 : 0);
}

int TCustomTreeView::ContentLeft(const TTreeNode* Node) const { return Columns(Node) * FIndent; }

int TCustomTreeView::TextLeft(const TTreeNode* Node) const {
    return ContentLeft(Node) + (FImages != nullptr ? FImages->Width() + 3 : 1);
}

int TCustomTreeView::TextWidthOf(const TTreeNode* Node) const {
    if (Node->FWidthGen != FFontGen || Node->FTextWidth < 0) {
        auto& c = const_cast<TCustomTreeView*>(this)->Canvas();
        c.Font().Assign(&Font());
        Node->FTextWidth = c.TextWidth(Node->FText);
        Node->FWidthGen = FFontGen;
    }
    return Node->FTextWidth;
}

TRect TCustomTreeView::InnerRect() const {
    const int b = FBorderStyle == bsNone ? 0 : FCtl3D ? 2 : 1;
    return Rect(b, b, std::max(b, Width() - b), std::max(b, Height() - b));
}

void TCustomTreeView::UpdateScrollBars() const {
    if (FBarsValid) return;
    EnsureRows();
    const TRect r = InnerRect();
    const int ih = ItemHeight();
    const int rows = int(FRows.size());
    const int sb = detail::ScrollBarSize;
    // The widest row among those measured: the rows of the page are measured below, so the
    // horizontal range follows what has been shown (no pass measures every text).
    auto measurePage = [&](int areaH) {
        int top = std::clamp(FTopIndex, 0, std::max(0, rows - 1));
        int n = areaH / std::max(1, ih) + 1;
        for (int i = top; i < std::min(rows, top + n); ++i) {
            const TTreeNode* node = FRows[std::size_t(i)];
            if (node->FWidthGen != FFontGen || node->FTextWidth < 0)
                FRowsWidth = std::max(FRowsWidth, TextLeft(node) + TextWidthOf(node) + 6);
        }
        return FRowsWidth;
    };
    auto needV = [&](int h) { return std::int64_t(rows) * ih > h; };
    bool v = r.Width() > sb && needV(r.Height());
    int content = measurePage(r.Height());
    bool h = r.Height() > sb && content > r.Width() - (v ? sb : 0);
    if (h && !v && r.Width() > sb) v = needV(r.Height() - sb);
    if (h) content = measurePage(r.Height() - sb);
    FContentWidth = content;
    FArea = Rect(r.Left, r.Top, r.Right - (v ? sb : 0), r.Bottom - (h ? sb : 0));
    FVBar->SetBoundsRect(v ? Rect(FArea.Right, r.Top, r.Right, FArea.Bottom) : TRect{});
    FHBar->SetBoundsRect(h ? Rect(r.Left, FArea.Bottom, FArea.Right, r.Bottom) : TRect{});
    const int page = std::max(1, FArea.Height() / std::max(1, ih));
    FVBar->SetRange(std::max(0, rows - page), page, 1);
    FHBar->SetRange(std::max(0, content - FArea.Width()), std::max(1, FArea.Width()), FIndent);
    FBarsValid = true;
    // Keep the scroll positions inside the new ranges.
    FTopIndex = std::clamp(FTopIndex, 0, FVBar->Max());
    FScrollX = std::clamp(FScrollX, 0, FHBar->Max());
    FVBar->SetPos(FTopIndex);
    FHBar->SetPos(FScrollX);
}

TRect TCustomTreeView::RowArea() const {
    UpdateScrollBars();
    return FArea;
}

int TCustomTreeView::ContentWidth() const {
    UpdateScrollBars();
    return FContentWidth;
}

bool TCustomTreeView::VertScrollBarShown() const {
    UpdateScrollBars();
    return FVBar->Shown();
}

bool TCustomTreeView::HorzScrollBarShown() const {
    UpdateScrollBars();
    return FHBar->Shown();
}

int TCustomTreeView::VisibleCount() const {
    return std::max(1, RowArea().Height() / std::max(1, ItemHeight()));
}

int TCustomTreeView::MaxTopIndex() const {
    UpdateScrollBars();
    return FVBar->Max();
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const {
    const TRect a = RowArea();
    if (!a.Contains({X, Y})) return nullptr;
    return RowNode(FTopIndex + (Y - a.Top) / ItemHeight());
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) const {
    const TRect a = RowArea();
    THitTests r;
    if (Y < a.Top) r.include(htAbove);
    if (Y >= a.Bottom) r.include(htBelow);
    if (X < a.Left) r.include(htToLeft);
    if (X >= a.Right) r.include(htToRight);
    if (!r.empty()) return r;
    TTreeNode* n = GetNodeAt(X, Y);
    if (n == nullptr) return THitTests{htNowhere};
    const int x = X - a.Left + FScrollX; // content coordinates
    const int cols = Columns(n);
    const int left = ContentLeft(n);
    if (x < left) {
        const bool button = FShowButtons && n->FHasChildren && cols > 0 && x >= left - FIndent;
        return THitTests{button ? htOnButton : htOnIndent};
    }
    if (FImages != nullptr && x < TextLeft(n)) return THitTests{htOnItem, htOnIcon};
    if (x < TextLeft(n) + TextWidthOf(n) + 4) return THitTests{htOnItem, htOnLabel};
    return THitTests{htOnRight};
}

// ---- TCustomTreeView: scrolling ---------------------------------------------------------------

TTreeNode* TCustomTreeView::TopItem() const {
    UpdateScrollBars();
    return RowNode(FTopIndex);
}

void TCustomTreeView::SetTopItem(TTreeNode* Node) {
    const int r = RowOf(Node);
    if (r >= 0) SetTopIndex(r);
}

void TCustomTreeView::SetTopIndex(int Value) {
    UpdateScrollBars();
    Value = std::clamp(Value, 0, FVBar->Max());
    if (!SetField(FTopIndex, Value)) return;
    FVBar->SetPos(Value);
    if (FEditNode != nullptr) PlaceEditor();
    Invalidate();
    FBarsValid = false; // other rows come into view: their widths may widen the content
}

void TCustomTreeView::SetScrollX(int Value) {
    UpdateScrollBars();
    Value = std::clamp(Value, 0, FHBar->Max());
    if (!SetField(FScrollX, Value)) return;
    FHBar->SetPos(Value);
    if (FEditNode != nullptr) PlaceEditor();
    Invalidate();
}

void TCustomTreeView::ScrollIntoView(const TTreeNode* Node) {
    const int r = RowOf(Node);
    if (r < 0) return;
    const int page = VisibleCount();
    if (r < FTopIndex)
        SetTopIndex(r);
    else if (r >= FTopIndex + page)
        SetTopIndex(r - page + 1);
}

// ---- TCustomTreeView: editing -----------------------------------------------------------------

bool TCustomTreeView::EditorFocused() const { return FEditor != nullptr && FEditor->Focused(); }

TEdit* TCustomTreeView::EditControl() const { return FEditNode != nullptr ? FEditor : nullptr; }

bool TCustomTreeView::EditNode(TTreeNode* Node) {
    if (Node == nullptr || FReadOnly) return false;
    FItems->CheckOwn(Node);
    if (FEditNode == Node) return true;
    if (FEditNode != nullptr) EndEditing(false);
    if (!CanEdit(Node)) return false;
    Node->MakeVisible();
    if (FEditor == nullptr) {
        FEditor = new TTreeEdit(this);
        FEditor->Hide();
        FEditor->SetAutoSize(false);
        FEditor->SetCtl3D(false);
        FEditor->SetParent(this);
    }
    FEditNode = Node;
    FEditor->SetText(Node->Text());
    PlaceEditor();
    FEditor->Show();
    FEditor->SelectAll();
    if (FEditor->CanFocus()) FEditor->SetFocus();
    return true;
}

void TCustomTreeView::PlaceEditor() {
    if (FEditor == nullptr || FEditNode == nullptr) return;
    TRect r = FEditNode->DisplayRect(true);
    if (r.IsEmpty()) {
        FEditor->SetBoundsRect(TRect{});
        return;
    }
    const TRect a = RowArea();
    const int w = std::max(r.Width() + 24, 60);
    FEditor->SetBounds(r.Left - 1, r.Top, std::min(w, std::max(20, a.Right - r.Left + 1)),
                       r.Height());
}

void TCustomTreeView::EndEditing(bool Cancel) {
    if (FEditNode == nullptr || FEnding) return;
    FEnding = true;
    TTreeNode* node = FEditNode;
    try {
        if (!Cancel) {
            std::string s = FEditor->Text();
            Edit(node, s);
            if (FEditNode == node) node->SetText(s);
        }
    } catch (...) {
        FEditNode = nullptr;
        FEnding = false;
        FEditor->Hide();
        throw;
    }
    FEditNode = nullptr;
    const bool hadFocus = FEditor->Focused();
    if (hadFocus && CanFocus()) SetFocus();
    FEditor->Hide();
    FEnding = false;
    Invalidate();
}

void TCustomTreeView::EditTimerTick() {
    FEditTimer.Stop();
    TTreeNode* n = FEditPending;
    FEditPending = nullptr;
    if (n != nullptr && n == FSelected && Focused()) EditNode(n);
}

// ---- TCustomTreeView: keys --------------------------------------------------------------------

void TCustomTreeView::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomTreeView::WMSetFocus(TMessage& Message) {
    (void)Message;
    FFocused = true;
    Invalidate();
}

void TCustomTreeView::WMKillFocus(TMessage& Message) {
    (void)Message;
    FFocused = false;
    FEditTimer.Stop();
    FEditPending = nullptr;
    Invalidate();
}

void TCustomTreeView::SelectFromUser(TTreeNode* Node) {
    if (Node == nullptr) return;
    SelectNode(Node);
    if (FSelected == Node) ScrollIntoView(Node);
}

void TCustomTreeView::MoveSelectionTo(int Row) {
    const int rows = RowCount();
    if (rows == 0) return;
    SelectFromUser(RowNode(std::clamp(Row, 0, rows - 1)));
}

void TCustomTreeView::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    const int rows = RowCount();
    const int cur = RowOf(FSelected);
    const int page = VisibleCount();
    TTreeNode* sel = FSelected;
    const bool ctrl = Shift.contains(ssCtrl);
    switch (Key) {
    case VK_UP:
        if (ctrl)
            SetTopIndex(FTopIndex - 1);
        else
            MoveSelectionTo(cur < 0 ? 0 : cur - 1);
        break;
    case VK_DOWN:
        if (ctrl)
            SetTopIndex(FTopIndex + 1);
        else
            MoveSelectionTo(cur < 0 ? 0 : cur + 1);
        break;
    case VK_HOME:
        MoveSelectionTo(0);
        break;
    case VK_END:
        MoveSelectionTo(rows - 1);
        break;
    case VK_PRIOR:
        MoveSelectionTo(cur < 0 ? 0 : cur - std::max(1, page - 1));
        break;
    case VK_NEXT:
        MoveSelectionTo(cur < 0 ? 0 : cur + std::max(1, page - 1));
        break;
    case VK_LEFT:
        if (sel == nullptr)
            MoveSelectionTo(0);
        else if (sel->FExpanded && !sel->FChildren.empty())
            DoExpand(sel, false);
        else if (sel->Parent() != nullptr)
            SelectFromUser(sel->Parent());
        break;
    case VK_RIGHT:
        if (sel == nullptr)
            MoveSelectionTo(0);
        else if (!sel->FExpanded && (sel->FHasChildren || !sel->FChildren.empty()))
            DoExpand(sel, true);
        else if (sel->FExpanded && !sel->FChildren.empty())
            SelectFromUser(sel->GetFirstChild());
        break;
    case VK_ADD:
        if (sel != nullptr) DoExpand(sel, true);
        break;
    case VK_SUBTRACT:
        if (sel != nullptr) DoExpand(sel, false);
        break;
    case VK_MULTIPLY:
        if (sel != nullptr) sel->Expand(true);
        break;
    case VK_F2:
        if (sel != nullptr) EditNode(sel);
        break;
    default:
        return;
    }
}

void TCustomTreeView::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0) return;
    TTreeNode* sel = FSelected;
    // "+", "-" and "*" (the number pad's keys as well) expand, collapse and expand all.
    if (Key == U'+' || Key == U'-' || Key == U'*') {
        if (sel != nullptr) {
            if (Key == U'+')
                DoExpand(sel, true);
            else if (Key == U'-')
                DoExpand(sel, false);
            else
                sel->Expand(true);
        }
        return;
    }
    if (Key < 32 || Key == 127) return;
    // Letters jump to the next row whose text starts with what was typed in the last second.
    const std::int64_t now = Application->Now();
    const std::string ch = CharToUtf8(Key);
    const bool cont = !FSearch.empty() && now - FSearchTime < SearchResetMs;
    FSearch = cont ? FSearch + ch : ch;
    FSearchTime = now;
    const int rows = RowCount();
    if (rows == 0) return;
    const int cur = RowOf(sel);
    // A new search starts after the current row; a longer prefix may still match it.
    const int start = cur < 0 ? 0 : cont ? cur : cur + 1;
    for (int k = 0; k < rows; ++k) {
        TTreeNode* n = FRows[std::size_t((start + k) % rows)];
        if (StartsWithNoCase(n->FText, FSearch)) {
            SelectFromUser(n);
            return;
        }
    }
}

// ---- TCustomTreeView: mouse -------------------------------------------------------------------

void TCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    if (Button == mbLeft) {
        UpdateScrollBars();
        for (detail::TScrollBar* bar : {FVBar.get(), FHBar.get()})
            if (bar->Shown() && bar->BoundsRect().Contains({X, Y})) {
                FBarMouse = bar;
                bar->MouseDown({X, Y});
                Invalidate();
                TCustomControl::MouseDown(Button, Shift, X, Y);
                return;
            }
    }
    const bool wasFocused = Focused() || (FEditor != nullptr && FEditor->Focused());
    if (CanFocus() && !Focused()) SetFocus();
    if (*alive == nullptr) return;
    FEditTimer.Stop();
    FEditPending = nullptr;
    FDownPos = {X, Y};
    FDoubleClicked = Shift.contains(ssDouble);
    const THitTests hit = GetHitTestInfoAt(X, Y);
    TTreeNode* node = GetNodeAt(X, Y);
    FPressNode = nullptr;
    if (node != nullptr && (Button == mbLeft || Button == mbRight) && !FDoubleClicked) {
        if (hit.contains(htOnButton) && Button == mbLeft) {
            DoExpand(node, !node->FExpanded);
        } else if (FRowSelect || FTreeStyle == tvsModern || hit.contains(htOnItem) ||
                   hit.contains(htOnRight)) {
            FPressNode = node;
            FPressWasSelected = node == FSelected && wasFocused;
            SelectFromUser(node);
        }
    }
    if (*alive == nullptr) return;
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTreeView::MouseMove(TShiftState Shift, int X, int Y) {
    if (FBarMouse != nullptr) {
        FBarMouse->MouseMove({X, Y});
        Invalidate();
    } else if (FHotTrack) {
        TTreeNode* n = GetNodeAt(X, Y);
        if (n != FHotNode) {
            FHotNode = n;
            Invalidate();
        }
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomTreeView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FBarMouse != nullptr) {
        FBarMouse->MouseUp();
        FBarMouse = nullptr;
        Invalidate();
    } else if (Button == mbLeft && FPressNode != nullptr && FPressWasSelected && !FReadOnly &&
               !FDoubleClicked && GetNodeAt(X, Y) == FPressNode &&
               GetHitTestInfoAt(X, Y).contains(htOnLabel)) {
        // A slow second click on the selected node's text edits it, unless a double click
        // follows within the pause.
        FEditPending = FPressNode;
        FEditTimer.TryStart(EditDelayMs);
    }
    FPressNode = nullptr;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomTreeView::DblClick() {
    FEditTimer.Stop();
    FEditPending = nullptr;
    auto alive = Handle();
    TCustomControl::DblClick();
    if (*alive == nullptr) return;
    // A double click on a row (not its button) opens or closes the node.
    const TPoint p = FDownPos;
    TTreeNode* n = GetNodeAt(p.X, p.Y);
    if (n != nullptr && !GetHitTestInfoAt(p.X, p.Y).contains(htOnButton))
        DoExpand(n, !n->FExpanded);
}

bool TCustomTreeView::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
    SetTopIndex(FTopIndex + WheelRows);
    return true;
}

bool TCustomTreeView::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
    SetTopIndex(FTopIndex - WheelRows);
    return true;
}

void TCustomTreeView::CMMouseLeave(TMessage& Message) {
    if (FHotNode != nullptr) {
        FHotNode = nullptr;
        Invalidate();
    }
    TCustomControl::CMMouseLeave(Message);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
const TClassRegistrar<TImageList> imageListReg("TImageList", "TComponent", [](auto& p) {
    p.Int("Width", &TImageList::Width, &TImageList::SetWidth, 16);
    p.Int("Height", &TImageList::Height, &TImageList::SetHeight, 16);
});

const TClassRegistrar<TCustomTreeView> customTreeReg("TCustomTreeView", "TWinControl", [](auto& p) {
    using T = TCustomTreeView;
    p.Enum("TreeStyle", &T::TreeStyle, &T::SetTreeStyle, tvsClassic, {"tvsClassic", "tvsModern"});
    p.Bool("ShowButtons", &T::ShowButtons, &T::SetShowButtons, true);
    p.Bool("ShowLines", &T::ShowLines, &T::SetShowLines, true);
    p.Bool("ShowRoot", &T::ShowRoot, &T::SetShowRoot, true);
    p.Int("Indent", &T::Indent, &T::SetIndent, 19);
    p.Bool("HideSelection", &T::HideSelection, &T::SetHideSelection, true);
    p.Bool("RowSelect", &T::RowSelect, &T::SetRowSelect, false);
    p.Bool("ReadOnly", &T::ReadOnly, &T::SetReadOnly, false);
    p.Bool("HotTrack", &T::HotTrack, &T::SetHotTrack, false);
    p.Enum("BorderStyle", &T::BorderStyle, &T::SetBorderStyle, bsSingle,
           {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    p.Bool("Ctl3D", &T::Ctl3D, &T::SetCtl3D, true);
    p.Color(
        "Color", [](const T& t) { return t.Color(); }, [](T& t, TColor c) { t.SetColor(c); },
        clWindow);
    p.Bool(
        "Visible", [](const T& t) { return t.Visible(); }, [](T& t, bool v) { t.SetVisible(v); },
        true);
    p.Bool(
        "Enabled", [](const T& t) { return t.Enabled(); }, [](T& t, bool v) { t.SetEnabled(v); },
        true);
    p.Bool(
        "TabStop", [](const T& t) { return t.TabStop(); }, [](T& t, bool v) { t.SetTabStop(v); },
        true);
    p.Object("Font", [](T& t) -> TPersistent* { return &t.Font(); });
});
// The nodes in a form file: one text per node in depth-first order, led by one tab per level.
// A text that itself begins with a tab or a backslash gets a backslash first, which marks where
// the text starts, so every text reads back as it was.
std::vector<std::string> NodeLines(const TTreeNodes& Nodes) {
    std::vector<std::string> out;
    out.reserve(std::size_t(Nodes.Count()));
    for (TTreeNode* n = Nodes.GetFirstNode(); n != nullptr; n = n->GetNext()) {
        std::string line(std::size_t(n->Level()), '\t');
        const std::string& t = n->Text();
        if (!t.empty() && (t[0] == '\t' || t[0] == '\\')) line += '\\';
        out.push_back(line + t);
    }
    return out;
}

// Replaces the nodes by those the lines describe; lines that do not describe a tree (a node
// more than one level below the one before it) are refused before any node changes.
void SetNodeLines(TTreeNodes& Nodes, const std::vector<std::string>& Lines) {
    std::vector<std::pair<int, std::string>> parsed;
    parsed.reserve(Lines.size());
    int previous = -1;
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const std::string& l = Lines[i];
        std::size_t depth = 0;
        while (depth < l.size() && l[depth] == '\t') ++depth;
        std::string text = l.substr(depth);
        if (!text.empty() && text[0] == '\\') text.erase(0, 1);
        const std::string which = "item " + std::to_string(i + 1) + " (\"" + text + "\")";
        if (previous < 0 && depth > 0)
            throw ETreeViewError(which + " is indented, but the first item is a top-level one");
        if (int(depth) > previous + 1)
            throw ETreeViewError(which + " is " + std::to_string(int(depth) - previous) +
                                 " levels below the item before it; one is the most");
        previous = int(depth);
        parsed.emplace_back(int(depth), std::move(text));
    }
    Nodes.BeginUpdate();
    try {
        Nodes.Clear();
        std::vector<TTreeNode*> parents; // the last node of each level
        for (auto& [depth, text] : parsed) {
            parents.resize(std::size_t(depth));
            TTreeNode* n = Nodes.AddChild(depth == 0 ? nullptr : parents.back(), text);
            parents.push_back(n);
        }
    } catch (...) {
        Nodes.EndUpdate();
        throw;
    }
    Nodes.EndUpdate();
}

const TClassRegistrar<TTreeView> treeReg("TTreeView", "TCustomTreeView", [](auto& p) {
    // The tree view's own nodes (not the folder tree's, which come from the disk).
    p.Strings(
        "Items", [](const TTreeView& t) { return NodeLines(t.Items()); },
        [](TTreeView& t, const std::vector<std::string>& v) { SetNodeLines(t.Items(), v); });
});
} // namespace

} // namespace kel
