// The common controls of the platform layer: the image list (TImageList: small pictures of one
// size that controls draw by index) and the tree view (TCustomTreeView, TTreeView) with its
// node collection (TTreeNodes) and nodes (TTreeNode).
//
// The tree keeps its nodes in per-parent child vectors, so adding at either end, indices among
// siblings and walking are cheap. Two derived lists are built lazily, in one pass each, and
// thrown away by any change of structure: the list of visible rows (nodes whose ancestors are all
// expanded), which painting, scrolling, keys and hit tests use, and the depth-first order of all
// nodes behind AbsoluteIndex and Items[i]. Painting touches only the rows of one page, so a
// node with 100,000 children expands and paints in the time of the one pass that lists the rows.
//
// Expanding and collapsing run through CanExpand/Expand and CanCollapse/Collapse (OnExpanding
// and OnCollapsing may refuse; OnExpanded/OnCollapsed follow), selecting through
// CanChange/Change (OnChanging may refuse; OnChange follows), for clicks, keys and code alike.
// In-place editing uses an edit box (TEdit) over the node's text: Enter or leaving it commits
// (OnEdited may change the text), Escape cancels.
//
// Two looks, switched by TreeStyle: tvsClassic (dotted lines, plus/minus boxes, selection in
// the highlight colour) and tvsModern (no lines, triangle expanders, a light-blue selection).
//
// Index: TImageList; tree events and enumerations; TTreeNode; TTreeNodes; TCustomTreeView;
// TTreeView.
#pragma once

#include "kel_controls.h"
#include "kel_graphics.h"
#include "kel_timer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kel {

class TEdit;
namespace detail {
class TScrollBar;
}

// Raised for tree operations on bad indices or foreign nodes.
class ETreeViewError : public Exception {
  public:
    using Exception::Exception;
};

// ---- TImageList -------------------------------------------------------------------------------

// Images of Width x Height pixels (default 16 x 16), drawn by index. An image added with a
// transparent colour (AddMasked) leaves that colour's pixels out when drawn.
class TImageList : public TComponent {
  public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;
    std::string ClassName() const override { return "TImageList"; }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changing the size clears the list.
    void SetWidth(int Value);
    void SetHeight(int Value);
    int Count() const { return int(FImages.size()); }
    // Adds Image (cut or padded to Width x Height from its top-left) and returns its index; an
    // image wider than Width adds one image per Width-wide strip.
    int Add(const TBitmap& Image);
    // As Add, with pixels of MaskColor transparent.
    int AddMasked(const TBitmap& Image, TColor MaskColor);
    void Delete(int Index); // EListError when out of range
    void Clear();
    // Draws image Index with its top-left at (X, Y); an index out of range draws nothing. A
    // disabled image is drawn in grey.
    void Draw(TCanvas& Canvas, int X, int Y, int Index, bool Enabled = true) const;
    // A copy of image Index (EListError when out of range).
    void GetBitmap(int Index, TBitmap& Out) const;
    // Fired after every change of the images or their size.
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }

  private:
    void Changed();
    int AddOne(const TBitmap& Image, int X0, bool Masked, TColor MaskColor);
    int FWidth = 16, FHeight = 16;
    std::vector<std::unique_ptr<TBitmap>> FImages;
    TNotifyEvent FOnChange;
};

// ---- Tree events and enumerations -------------------------------------------------------------

class TTreeNode;
class TTreeNodes;
class TCustomTreeView;

using TTVExpandingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
// S is the new text; the handler may change it.
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
// Compare < 0 puts Node1 first.
using TTVCompareEvent = std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2,
                                           std::intptr_t Data, int& Compare)>;
// The comparison CustomSort takes: < 0 puts Node1 first.
using TTVCompare = std::function<int(TTreeNode* Node1, TTreeNode* Node2, std::intptr_t Data)>;

// The two looks of the tree.
enum TTreeViewStyle : std::uint8_t { tvsClassic, tvsModern };

// Where a point lies relative to the rows (GetHitTestInfoAt).
enum THitTest : std::uint8_t {
    htAbove,
    htBelow,
    htNowhere,
    htOnItem,
    htOnButton,
    htOnIcon,
    htOnIndent,
    htOnLabel,
    htOnRight,
    htOnStateIcon,
    htToLeft,
    htToRight
};
using THitTests = TSet<THitTest>;

// Where MoveTo puts a node relative to the destination.
enum TNodeAttachMode : std::uint8_t {
    naAdd,           // last sibling of the destination
    naAddFirst,      // first sibling of the destination
    naAddChild,      // last child of the destination
    naAddChildFirst, // first child of the destination
    naInsert         // just before the destination
};

// ---- TTreeNode --------------------------------------------------------------------------------

// One node. Nodes are made and freed only by their TTreeNodes (Add..., Delete).
class TTreeNode {
  public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    // The application's pointer; the tree never reads or frees it.
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    // Index into the tree's Images (-1: none), and the one shown while the node is selected
    // (-1: ImageIndex).
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);

    // --- place in the tree ---
    // The parent node, null for a top-level node.
    TTreeNode* Parent() const;
    // 0 for top-level nodes.
    int Level() const;
    // Position among the siblings (0-based).
    int Index() const { return FIndex; }
    // Position in the depth-first, parent-first walk over all nodes, collapsed ones included.
    int AbsoluteIndex() const;
    int Count() const { return int(FChildren.size()); }
    // The child at Index (ETreeViewError when out of range).
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    // Whether Node lies below this one.
    bool HasAsParent(const TTreeNode* Node) const;

    // --- walking (null at the end) ---
    TTreeNode* GetFirstChild() const;
    TTreeNode* GetLastChild() const;
    TTreeNode* getFirstChild() const { return GetFirstChild(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    TTreeNode* getNextSibling() const { return GetNextSibling(); }
    TTreeNode* getPrevSibling() const { return GetPrevSibling(); }
    // The next / previous node of the depth-first walk.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    // The next / previous visible row.
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    // The next node one level down: next child with the same parent, i.e. GetNextSibling.
    TTreeNode* GetNextChild(const TTreeNode* Node) const;

    // --- state ---
    // Shows an expand button; set by adding a child, cleared by deleting the last one; may be
    // set true without children for lazy loading.
    bool HasChildren() const { return FHasChildren; }
    void SetHasChildren(bool Value);
    bool Expanded() const { return FExpanded; }
    // Through the tree's CanExpand/Expand or CanCollapse/Collapse (the events may refuse).
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    // Every ancestor is expanded (the node is a row of the tree).
    bool IsVisible() const;
    // Expands every ancestor and scrolls the node into view.
    void MakeVisible();
    bool Selected() const;
    // Selects the node (true) or clears the selection when it is this node (false), through
    // the tree's CanChange/Change.
    void SetSelected(bool Value);
    // Whether the text is being edited in place now.
    bool EditText();
    bool IsEditing() const;

    // --- structure ---
    // Deletes this node and its subtree (the node is freed: do not use it afterwards).
    void Delete();
    void DeleteChildren();
    // Moves the node (with its subtree) relative to Destination; moving it below itself
    // raises ETreeViewError.
    void MoveTo(TTreeNode* Destination, TNodeAttachMode Mode);
    // Sorts the children by text without case (the tree's OnCompare when assigned), or by
    // SortProc; Recurse sorts every level below too. Equal nodes keep their order.
    bool AlphaSort(bool Recurse = false);
    bool CustomSort(const TTVCompare& SortProc, std::intptr_t Data, bool Recurse = false);

    // The row's rectangle (client coordinates), or only the text's box; empty when the node is
    // not a row or is scrolled out of view.
    TRect DisplayRect(bool TextOnly) const;

  private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    explicit TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}
    void Reindex(int From);
    void SortChildren(const std::function<int(TTreeNode*, TTreeNode*)>& Cmp, bool Recurse);

    TTreeNodes* FOwner;
    TTreeNode* FParent = nullptr; // the hidden root for top-level nodes
    std::vector<std::unique_ptr<TTreeNode>> FChildren;
    int FIndex = 0;
    int FAbsIndex = 0; // valid while the owner's depth-first order is
    std::string FText;
    void* FData = nullptr;
    int FImageIndex = -1;
    int FSelectedIndex = -1;
    bool FHasChildren = false;
    bool FExpanded = false;
    mutable int FTextWidth = -1; // measured text width, valid for font generation FWidthGen
    mutable unsigned FWidthGen = 0;
    mutable int FRow = -1; // row while the owner's row list is valid (checked before use)
};

// ---- TTreeNodes -------------------------------------------------------------------------------

// The nodes of one tree. The Add... functions return the new node; the siblings after it are
// re-indexed.
class TTreeNodes : public TPersistent {
  public:
    explicit TTreeNodes(TCustomTreeView* AOwner);
    ~TTreeNodes() override;
    std::string ClassName() const override { return "TTreeNodes"; }
    TCustomTreeView* Owner() const { return FTree; }

    // Number of nodes at every level.
    int Count() const { return FCount; }
    // The node at AbsoluteIndex Index (ETreeViewError when out of range).
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    // The first top-level node (null when empty).
    TTreeNode* GetFirstNode() const;
    int TopLevelCount() const;
    TTreeNode* TopLevelItem(int Index) const;

    // New last / first sibling of Sibling (top level when null).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S);
    // New last / first child of Parent (top level when null).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S);
    // New node just before Sibling (last top-level node when null).
    TTreeNode* Insert(TTreeNode* Sibling, const std::string& S);
    // The same, setting Data.
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    TTreeNode* AddObjectFirst(TTreeNode* Sibling, const std::string& S, void* Ptr);
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr);
    TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);

    // Removes Node and its subtree (OnDeletion fires for each, children first).
    void Delete(TTreeNode* Node);
    void Clear();
    // Changes between the calls are shown once, at the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }
    // Sort the top-level nodes (and below, with Recurse); see TTreeNode::AlphaSort.
    bool AlphaSort(bool Recurse = false);
    bool CustomSort(const TTVCompare& SortProc, std::intptr_t Data, bool Recurse = false);

  private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TTreeNode* InsertAt(TTreeNode* Parent, int Index, const std::string& S, void* Ptr);
    TTreeNode* RealParent(TTreeNode* Node) const; // the hidden root for null
    void CheckOwn(const TTreeNode* Node) const;
    void StructureChanged();
    void EnsureOrder() const;
    void DeleteSubtree(TTreeNode* Node);

    TCustomTreeView* FTree;
    std::unique_ptr<TTreeNode> FRoot; // hidden: its children are the top-level nodes
    int FCount = 0;
    int FUpdateCount = 0;
    mutable std::vector<TTreeNode*> FOrder; // depth-first order of all nodes
    mutable bool FOrderValid = true;
};

// ---- TCustomTreeView --------------------------------------------------------------------------

// A windowed tree of nodes with expand buttons, lines, images, selection, in-place editing,
// scroll bars, keyboard and mouse. TabStop true, Color clWindow.
class TCustomTreeView : public TCustomControl {
  public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;
    std::string ClassName() const override { return "TCustomTreeView"; }

    TTreeNodes& Items() { return *FItems; }
    const TTreeNodes& Items() const { return *FItems; }

    // --- selection ---
    // The selected node or null. Setting it (also to null) goes through CanChange/Change and
    // scrolls the node into view.
    TTreeNode* Selected() const { return FSelected; }
    void SetSelected(TTreeNode* Node);
    // The first shown row; setting scrolls.
    TTreeNode* TopItem() const;
    void SetTopItem(TTreeNode* Node);

    // --- looks ---
    TTreeViewStyle TreeStyle() const { return FTreeStyle; } // default tvsClassic
    void SetTreeStyle(TTreeViewStyle Value);
    bool ShowButtons() const { return FShowButtons; } // default true
    void SetShowButtons(bool Value);
    bool ShowLines() const { return FShowLines; } // default true (classic look only)
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; } // default true: top-level nodes get buttons
    void SetShowRoot(bool Value);
    int Indent() const { return FIndent; } // default 19; pixels per level, at least 1
    void SetIndent(int Value);
    // Hide the selection while the tree has no focus. Default true.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Clicking a row selects it whatever the column; the highlight spans the row. Default
    // false (the modern look always highlights the whole row).
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    // No in-place editing (default false).
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // The row under the pointer is underlined (default false).
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    // The images of ImageIndex/SelectedIndex (not owned; forgotten when deleted).
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; } // bsSingle (default) or bsNone
    void SetBorderStyle(TBorderStyle Value);
    bool Ctl3D() const override { return FCtl3D; } // default true: a sunken frame
    void SetCtl3D(bool Value) override;

    // --- geometry ---
    // Height of one row: the text height plus 3, at least the image height plus 2.
    int ItemHeight() const;
    // Rows the client area shows in full (at least 1).
    int VisibleCount() const;
    // The node of the row at client point (X, Y), or null.
    TTreeNode* GetNodeAt(int X, int Y) const;
    THitTests GetHitTestInfoAt(int X, int Y) const;
    // Number of rows (visible nodes), and the row of a node (-1 when hidden).
    int RowCount() const;
    int RowOf(const TTreeNode* Node) const;
    TTreeNode* RowNode(int Row) const;
    // Scrolling: the first shown row and the pixels scrolled out at the left.
    int TopIndex() const {
        UpdateScrollBars();
        return FTopIndex;
    }
    void SetTopIndex(int Value);
    int ScrollX() const {
        UpdateScrollBars();
        return FScrollX;
    }
    void SetScrollX(int Value);
    // The area the rows use (inside the frame, beside the scroll bars).
    TRect RowArea() const;
    // Width of everything the rows show from their left edge (for the horizontal bar).
    int ContentWidth() const;
    bool VertScrollBarShown() const;
    bool HorzScrollBarShown() const;

    // --- operations ---
    void FullExpand();
    void FullCollapse();
    // Sorts the top-level nodes (and below with Recurse).
    bool AlphaSort(bool Recurse = true) { return FItems->AlphaSort(Recurse); }
    bool CustomSort(const TTVCompare& SortProc, std::intptr_t Data, bool Recurse = true) {
        return FItems->CustomSort(SortProc, Data, Recurse);
    }
    // Shows the in-place editor on Node's text (false when ReadOnly or OnEditing refuses).
    bool EditNode(TTreeNode* Node);
    bool IsEditing() const { return FEditNode != nullptr; }
    TTreeNode* EditingNode() const { return FEditNode; }
    // The editor while editing, else null.
    TEdit* EditControl() const;
    // Closes the editor: Cancel drops the typed text, else the text is committed.
    void EndEditing(bool Cancel);
    // Changes between the calls are shown once, at the last EndUpdate (as Items).
    void BeginUpdate() { FItems->BeginUpdate(); }
    void EndUpdate() { FItems->EndUpdate(); }

    // --- events ---
    TTVExpandingEvent OnExpanding() const { return FOnExpanding; }
    void SetOnExpanding(TTVExpandingEvent e) { FOnExpanding = std::move(e); }
    TTVExpandedEvent OnExpanded() const { return FOnExpanded; }
    void SetOnExpanded(TTVExpandedEvent e) { FOnExpanded = std::move(e); }
    TTVCollapsingEvent OnCollapsing() const { return FOnCollapsing; }
    void SetOnCollapsing(TTVCollapsingEvent e) { FOnCollapsing = std::move(e); }
    TTVExpandedEvent OnCollapsed() const { return FOnCollapsed; }
    void SetOnCollapsed(TTVExpandedEvent e) { FOnCollapsed = std::move(e); }
    TTVChangingEvent OnChanging() const { return FOnChanging; }
    void SetOnChanging(TTVChangingEvent e) { FOnChanging = std::move(e); }
    TTVChangedEvent OnChange() const { return FOnChange; }
    void SetOnChange(TTVChangedEvent e) { FOnChange = std::move(e); }
    TTVEditingEvent OnEditing() const { return FOnEditing; }
    void SetOnEditing(TTVEditingEvent e) { FOnEditing = std::move(e); }
    TTVEditedEvent OnEdited() const { return FOnEdited; }
    void SetOnEdited(TTVEditedEvent e) { FOnEdited = std::move(e); }
    TTVExpandedEvent OnDeletion() const { return FOnDeletion; }
    void SetOnDeletion(TTVExpandedEvent e) { FOnDeletion = std::move(e); }
    TTVCompareEvent OnCompare() const { return FOnCompare; }
    void SetOnCompare(TTVCompareEvent e) { FOnCompare = std::move(e); }

  protected:
    // OnExpanding (AllowExpansion preset true); false keeps the node closed.
    virtual bool CanExpand(TTreeNode* Node);
    // After the node opened: OnExpanded.
    virtual void Expand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    // OnChanging (AllowChange preset true); false keeps the old selection.
    virtual bool CanChange(TTreeNode* Node);
    // After the selection changed: OnChange.
    virtual void Change(TTreeNode* Node);
    virtual bool CanEdit(TTreeNode* Node);
    virtual void Edit(TTreeNode* Node, std::string& S);
    // Before a node is freed: OnDeletion.
    virtual void Delete(TTreeNode* Node);

    void Paint() override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void SizeChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Font and enabled changes re-measure and repaint.
    void WndProc(TMessage& Message) override;

    // Painting pieces (treeview_paint.cpp), for descendants that draw differently.
    virtual void PaintRow(TCanvas& C, TTreeNode* Node, const TRect& Row);
    void PaintLines(TCanvas& C, TTreeNode* Node, const TRect& Row, int ContentTop);
    void PaintButton(TCanvas& C, TTreeNode* Node, int CX, int CY);

  private:
    friend class TTreeNode;
    friend class TTreeNodes;
    class TTreeEdit;

    // --- model notifications from the nodes ---
    void NodesChanged();                // structure changed: rows and order are stale
    void NodeChanged(TTreeNode* Node);  // text or image of a row changed
    void NodeDeleting(TTreeNode* Node); // before Node (and its subtree) goes
    void NodeDeleted();                 // after: reports a selection that moved
    void ClearingAll();                 // before every node goes
    void LayoutChanged();               // bars and rows must be laid out again
    bool DoExpand(TTreeNode* Node, bool Value);
    bool SelectNode(TTreeNode* Node);
    void SelectFromUser(TTreeNode* Node);

    // --- rows and layout ---
    void EnsureRows() const;
    bool ShowsRootColumn() const;
    bool LinesShown() const;
    TRect InnerRect() const;                  // inside the frame
    int Columns(const TTreeNode* Node) const; // indent columns before the node's content
    int ContentLeft(const TTreeNode* Node) const;
    int TextLeft(const TTreeNode* Node) const;
    int TextWidthOf(const TTreeNode* Node) const;
    void UpdateScrollBars() const;
    int MaxTopIndex() const;
    void ScrollIntoView(const TTreeNode* Node);
    void MoveSelectionTo(int Row);

    // --- editing ---
    void PlaceEditor();
    void EditTimerTick();
    bool EditorFocused() const;

    std::unique_ptr<TTreeNodes> FItems;
    TTreeNode* FSelected = nullptr;
    TTreeNode* FHotNode = nullptr;
    TTreeViewStyle FTreeStyle = tvsClassic;
    bool FShowButtons = true;
    bool FShowLines = true;
    bool FShowRoot = true;
    int FIndent = 19;
    bool FHideSelection = true;
    bool FRowSelect = false;
    bool FReadOnly = false;
    bool FHotTrack = false;
    TImageList* FImages = nullptr;
    TBorderStyle FBorderStyle = bsSingle;
    bool FCtl3D = true;
    bool FFocused = false;

    // Rows: the visible nodes in order, rebuilt in one pass when stale.
    mutable std::vector<TTreeNode*> FRows;
    mutable bool FRowsValid = true;
    mutable int FContentWidth = 0;
    mutable int FRowsWidth = 0; // widest measured row (content pixels)
    unsigned FFontGen = 1;      // bumped by a font change: cached text widths are stale
    mutable int FTopIndex = 0;  // clamped whenever the bars are laid out
    mutable int FScrollX = 0;
    mutable TRect FArea{};
    std::unique_ptr<detail::TScrollBar> FVBar, FHBar;
    mutable bool FBarsValid = false;
    detail::TScrollBar* FBarMouse = nullptr; // the bar holding the mouse

    // Mouse and keys.
    TTreeNode* FPressNode = nullptr; // the row a left press landed on
    bool FPressWasSelected = false;  // ... which was already selected (a slow click edits)
    bool FDoubleClicked = false;
    TPoint FDownPos{};            // where the last press landed
    bool FSelectionMoved = false; // a deletion moved the selection
    std::string FSearch;          // typed prefix
    std::int64_t FSearchTime = 0;
    TMessageTimer FEditTimer{[this] { EditTimerTick(); }};
    TTreeNode* FEditPending = nullptr;

    // Editing.
    TTreeEdit* FEditor = nullptr;
    TTreeNode* FEditNode = nullptr;
    bool FEnding = false;
    bool FDestroying = false;

    TTVExpandingEvent FOnExpanding;
    TTVExpandedEvent FOnExpanded, FOnCollapsed, FOnDeletion;
    TTVCollapsingEvent FOnCollapsing;
    TTVChangingEvent FOnChanging;
    TTVChangedEvent FOnChange;
    TTVEditingEvent FOnEditing;
    TTVEditedEvent FOnEdited;
    TTVCompareEvent FOnCompare;
};

// ---- TTreeView --------------------------------------------------------------------------------

// The tree view forms create; its published properties are registered in comctrls.cpp.
class TTreeView : public TCustomTreeView {
  public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
    std::string ClassName() const override { return "TTreeView"; }
};

} // namespace kel
