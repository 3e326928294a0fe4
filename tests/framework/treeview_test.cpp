// The tree view: building and deleting nodes with their indices, the depth-first AbsoluteIndex
// over collapsed nodes, lazy loading and refusals in OnExpanding/OnCollapsing, selection with
// OnChanging refusing, keyboard navigation, mouse, in-place editing, scrolling, sorting, the
// form-file registration and reference images of the two looks.
#include "controls_test_util.h"
#include "kel_comctrls.h"
#include "kel_props.h"
#include "kel_stdctrls.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <sstream>
#include <string>
#include <vector>

namespace kel::test {
namespace {

using namespace kel::headless;

class TreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 300, 240);
        form->SetColor(clWhite);
        tree = new TTreeView(form.get());
        tree->SetParent(form.get());
        tree->SetBounds(10, 10, 200, 200);
        form->Show();
        tree->SetFocus();
        Flush();
    }
    void TearDown() override {
        form.reset();
        Flush();
        ReleaseAllKeys();
        Application->ResetState();
    }
    // a(a1(a1x), a2), b(b1), c
    void Build() {
        TTreeNodes& n = tree->Items();
        a = n.Add(nullptr, "a");
        b = n.Add(nullptr, "b");
        c = n.Add(nullptr, "c");
        a1 = n.AddChild(a, "a1");
        a2 = n.AddChild(a, "a2");
        a1x = n.AddChild(a1, "a1x");
        b1 = n.AddChild(b, "b1");
    }
    // The texts of the visible rows.
    std::string Rows() const {
        std::string s;
        for (int i = 0; i < tree->RowCount(); ++i)
            s += (s.empty() ? "" : " ") + tree->RowNode(i)->Text();
        return s;
    }
    std::string Log() const {
        std::string s;
        for (const std::string& e : log) s += (s.empty() ? "" : " ") + e;
        return s;
    }
    void WatchEvents() {
        tree->SetOnChanging([this](TObject*, TTreeNode* n, bool& allow) {
            log.push_back("changing:" + (n ? n->Text() : "nil"));
            allow = allowChange;
        });
        tree->SetOnChange(
            [this](TObject*, TTreeNode* n) { log.push_back("change:" + (n ? n->Text() : "nil")); });
        tree->SetOnExpanding([this](TObject*, TTreeNode* n, bool& allow) {
            log.push_back("expanding:" + n->Text());
            allow = allowExpand;
        });
        tree->SetOnExpanded(
            [this](TObject*, TTreeNode* n) { log.push_back("expanded:" + n->Text()); });
        tree->SetOnCollapsing([this](TObject*, TTreeNode* n, bool& allow) {
            log.push_back("collapsing:" + n->Text());
            allow = allowCollapse;
        });
        tree->SetOnCollapsed(
            [this](TObject*, TTreeNode* n) { log.push_back("collapsed:" + n->Text()); });
    }
    // Client point in the middle of a node's text.
    TPoint TextPoint(TTreeNode* n) const {
        TRect r = n->DisplayRect(true);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    // Client point at the centre of a node's expand button.
    TPoint ButtonPoint(TTreeNode* n) const {
        TRect r = n->DisplayRect(false);
        int cols = n->Level() + 1;
        return {r.Left - tree->ScrollX() + (cols - 1) * tree->Indent() + tree->Indent() / 2,
                r.Top + (r.Height() - 1) / 2};
    }
    void Key(std::uint16_t k, TShiftState s = {}) { KeyStroke(*form, k, s); }

    std::unique_ptr<TForm> form;
    TTreeView* tree = nullptr;
    TTreeNode *a = nullptr, *b = nullptr, *c = nullptr, *a1 = nullptr, *a2 = nullptr,
              *a1x = nullptr, *b1 = nullptr;
    std::vector<std::string> log;
    bool allowChange = true, allowExpand = true, allowCollapse = true;
};

TEST_F(TreeTest, AddInsertAndIndices) {
    TTreeNodes& n = tree->Items();
    TTreeNode* x = n.Add(nullptr, "x");
    TTreeNode* w = n.AddFirst(x, "w"); // first sibling of x
    TTreeNode* z = n.Add(w, "z");      // last sibling of w
    TTreeNode* y = n.Insert(z, "y");   // just before z
    int tag = 7;
    TTreeNode* x2 = n.AddChildObject(x, "x2", &tag);
    TTreeNode* x1 = n.AddChildFirst(x, "x1");
    EXPECT_EQ(Rows(), "w x y z");
    EXPECT_EQ(w->Index(), 0);
    EXPECT_EQ(x->Index(), 1);
    EXPECT_EQ(y->Index(), 2);
    EXPECT_EQ(z->Index(), 3);
    EXPECT_EQ(x1->Index(), 0);
    EXPECT_EQ(x2->Index(), 1);
    EXPECT_EQ(x2->Data(), &tag);
    EXPECT_EQ(x2->Parent(), x);
    EXPECT_EQ(x->Parent(), nullptr);
    EXPECT_EQ(x2->Level(), 1);
    EXPECT_TRUE(x->HasChildren());
    EXPECT_FALSE(x->Expanded());
    EXPECT_EQ(n.Count(), 6);
    EXPECT_EQ(x->Count(), 2);
    EXPECT_EQ(x->Item(1), x2);
    EXPECT_THROW(x->Item(2), ETreeViewError);
    EXPECT_THROW(n.Item(6), ETreeViewError);
    EXPECT_EQ(x1->GetNextSibling(), x2);
    EXPECT_EQ(x2->GetPrevSibling(), x1);
    EXPECT_EQ(x2->GetNextSibling(), nullptr);
}

TEST_F(TreeTest, AbsoluteIndexWalksCollapsedNodesDepthFirst) {
    Build();
    // Everything collapsed: only the top level is shown, but the walk covers every node.
    EXPECT_EQ(Rows(), "a b c");
    const std::vector<TTreeNode*> order{a, a1, a1x, a2, b, b1, c};
    for (int i = 0; i < int(order.size()); ++i) {
        EXPECT_EQ(order[std::size_t(i)]->AbsoluteIndex(), i) << order[std::size_t(i)]->Text();
        EXPECT_EQ(tree->Items().Item(i), order[std::size_t(i)]);
    }
    std::string walk;
    for (TTreeNode* p = tree->Items().GetFirstNode(); p; p = p->GetNext()) walk += p->Text() + " ";
    EXPECT_EQ(walk, "a a1 a1x a2 b b1 c ");
    std::string back;
    for (TTreeNode* p = c; p; p = p->GetPrev()) back += p->Text() + " ";
    EXPECT_EQ(back, "c b1 b a2 a1x a1 a ");
    // Inserting in the middle moves every later index.
    TTreeNode* a0 = tree->Items().AddChildFirst(a1, "a0");
    EXPECT_EQ(a0->AbsoluteIndex(), 2);
    EXPECT_EQ(a1x->AbsoluteIndex(), 3);
    EXPECT_EQ(c->AbsoluteIndex(), 7);
    // Visible-only walking skips the collapsed parts.
    a->Expand(false);
    EXPECT_EQ(Rows(), "a a1 a2 b c");
    EXPECT_EQ(a1->GetNextVisible(), a2);
    EXPECT_EQ(a2->GetNextVisible(), b);
    EXPECT_EQ(b->GetPrevVisible(), a2);
    EXPECT_EQ(a1x->GetNextVisible(), nullptr); // hidden nodes have no visible neighbours
}

TEST_F(TreeTest, DeletingANodeWithChildrenFixesIndicesAndSelection) {
    Build();
    WatchEvents();
    std::vector<std::string> deleted;
    tree->SetOnDeletion([&](TObject*, TTreeNode* n) { deleted.push_back(n->Text()); });
    tree->FullExpand();
    tree->SetSelected(a1x);
    log.clear();
    a1->Delete(); // takes a1x along; the selection moves to the next sibling a2
    EXPECT_EQ((std::vector<std::string>{"a1x", "a1"}), deleted);
    EXPECT_EQ(Log(), "change:a2"); // reported, cannot be refused
    EXPECT_EQ(tree->Selected(), a2);
    EXPECT_EQ(a2->Index(), 0);
    EXPECT_EQ(a->Count(), 1);
    EXPECT_EQ(tree->Items().Count(), 5);
    EXPECT_EQ(b->AbsoluteIndex(), 2);
    EXPECT_EQ(c->AbsoluteIndex(), 4);
    EXPECT_EQ(Rows(), "a a2 b b1 c");
    // The last child gone: the parent loses its button, the selection goes to the parent.
    log.clear();
    a2->Delete();
    EXPECT_FALSE(a->HasChildren());
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(Log(), "change:a");
    // Without a next sibling the previous one takes the selection.
    tree->SetSelected(c);
    log.clear();
    c->Delete();
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_EQ(Log(), "change:b");
    // Clearing leaves no selection.
    log.clear();
    tree->Items().Clear();
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Items().Count(), 0);
    EXPECT_EQ(tree->RowCount(), 0);
    EXPECT_EQ(Log(), "change:nil");
}

TEST_F(TreeTest, ExpandingCanBeRefusedAndLoadsLazily) {
    Build();
    WatchEvents();
    allowExpand = false;
    a->Expand(false);
    EXPECT_FALSE(a->Expanded());
    EXPECT_EQ(Rows(), "a b c");
    EXPECT_EQ(Log(), "expanding:a");
    log.clear();
    allowExpand = true;
    a->SetExpanded(true);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(Rows(), "a a1 a2 b c");
    EXPECT_EQ(Log(), "expanding:a expanded:a");
    // A node without children or flag has nothing to open: no events.
    log.clear();
    c->Expand(false);
    EXPECT_FALSE(c->Expanded());
    EXPECT_EQ(Log(), "");
    // Lazy loading: the flag shows a button; the handler adds the children.
    c->SetHasChildren(true);
    tree->SetOnExpanding([&](TObject*, TTreeNode* n, bool&) {
        if (n == c) tree->Items().AddChild(n, "c1");
    });
    c->Expand(false);
    EXPECT_TRUE(c->Expanded());
    EXPECT_EQ(Rows(), "a a1 a2 b c c1");
    // A handler that finds nothing: the node loses its button and stays closed.
    b1->SetHasChildren(true);
    b->Expand(false);
    b1->Expand(false);
    EXPECT_FALSE(b1->Expanded());
    EXPECT_FALSE(b1->HasChildren());
}

TEST_F(TreeTest, CollapsingCanBeRefusedAndPullsTheSelectionUp) {
    Build();
    tree->FullExpand();
    tree->SetSelected(a1x);
    WatchEvents();
    allowCollapse = false;
    a->Collapse(false);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(Log(), "collapsing:a");
    log.clear();
    allowCollapse = true;
    a->Collapse(false);
    EXPECT_FALSE(a->Expanded());
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(Log(), "collapsing:a changing:a change:a collapsed:a");
    // The children keep their own state.
    EXPECT_TRUE(a1->Expanded());
    a->Expand(false);
    EXPECT_EQ(Rows(), "a a1 a1x a2 b b1 c");
}

TEST_F(TreeTest, OnChangingRefusesSelectionFromCodeKeysAndMouse) {
    Build();
    WatchEvents();
    tree->SetSelected(a);
    EXPECT_EQ(Log(), "changing:a change:a");
    allowChange = false;
    log.clear();
    tree->SetSelected(b);
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(Log(), "changing:b");
    Key(VK_DOWN);
    EXPECT_EQ(tree->Selected(), a);
    TPoint p = TextPoint(c);
    ClickAt(*tree, p.X, p.Y);
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(Log(), "changing:b changing:b changing:c");
    EXPECT_FALSE(c->Selected());
    allowChange = true;
    c->SetSelected(true);
    EXPECT_TRUE(c->Selected());
    EXPECT_FALSE(a->Selected());
}

TEST_F(TreeTest, KeyboardNavigation) {
    Build();
    WatchEvents();
    Key(VK_DOWN); // nothing selected: the first row
    EXPECT_EQ(tree->Selected(), a);
    Key(VK_RIGHT); // expands
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(tree->Selected(), a);
    Key(VK_RIGHT); // goes to the first child
    EXPECT_EQ(tree->Selected(), a1);
    Key(VK_DOWN);
    EXPECT_EQ(tree->Selected(), a2);
    Key(VK_DOWN);
    EXPECT_EQ(tree->Selected(), b);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(tree->Selected(), a1);
    Key(VK_LEFT); // a1 is closed: to the parent
    EXPECT_EQ(tree->Selected(), a);
    Key(VK_LEFT); // a is open: closes
    EXPECT_FALSE(a->Expanded());
    EXPECT_EQ(tree->Selected(), a);
    Key(VK_END);
    EXPECT_EQ(tree->Selected(), c);
    Key(VK_HOME);
    EXPECT_EQ(tree->Selected(), a);
    Key(VK_DOWN);
    Type(*form, "+");
    EXPECT_TRUE(b->Expanded());
    Type(*form, "-");
    EXPECT_FALSE(b->Expanded());
    Key(VK_ADD);
    EXPECT_TRUE(b->Expanded());
    Key(VK_SUBTRACT);
    EXPECT_FALSE(b->Expanded());
    Key(VK_UP);
    Type(*form, "*"); // everything below a
    EXPECT_TRUE(a->Expanded());
    EXPECT_TRUE(a1->Expanded());
    EXPECT_EQ(Rows(), "a a1 a1x a2 b c");
    Key(VK_UP); // at the top nothing moves
    EXPECT_EQ(tree->Selected(), a);
    // Letters jump to the next row starting with them.
    Type(*form, "c");
    EXPECT_EQ(tree->Selected(), c);
    Application->Advance(2000);
    Type(*form, "a");
    EXPECT_EQ(tree->Selected(), a);
    Type(*form, "2"); // "a2" typed within the pause
    EXPECT_EQ(tree->Selected(), a2);
}

TEST_F(TreeTest, MouseButtonTogglesAndDoubleClickExpands) {
    Build();
    WatchEvents();
    TPoint p = ButtonPoint(a);
    ClickAt(*tree, p.X, p.Y);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(tree->Selected(), nullptr); // the button does not select
    ClickAt(*tree, p.X, p.Y);
    EXPECT_FALSE(a->Expanded());
    p = TextPoint(b);
    ClickAt(*tree, p.X, p.Y);
    EXPECT_EQ(tree->Selected(), b);
    Application->Advance(1000);
    DoubleClickAt(*tree, p.X, p.Y);
    EXPECT_TRUE(b->Expanded());
    EXPECT_FALSE(tree->IsEditing()); // a double click never starts editing
    Application->Advance(1000);
    EXPECT_FALSE(tree->IsEditing());
    // Below the last row is nowhere.
    EXPECT_TRUE(tree->GetHitTestInfoAt(20, 190).contains(htNowhere));
    EXPECT_EQ(tree->GetNodeAt(20, 190), nullptr);
}

TEST_F(TreeTest, InPlaceEditCommitsAndCancels) {
    Build();
    tree->SetSelected(b);
    std::vector<std::string> edited;
    tree->SetOnEdited([&](TObject*, TTreeNode* n, std::string& s) {
        edited.push_back(n->Text() + "->" + s);
        if (s == "upper") s = "UPPER";
    });
    Key(VK_F2);
    ASSERT_TRUE(tree->IsEditing());
    ASSERT_NE(tree->EditControl(), nullptr);
    EXPECT_EQ(tree->EditControl()->Text(), "b");
    EXPECT_TRUE(tree->EditControl()->Focused());
    Type(*form, "upper\r");
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(b->Text(), "UPPER"); // OnEdited may change the text
    EXPECT_EQ((std::vector<std::string>{"b->upper"}), edited);
    EXPECT_TRUE(tree->Focused());
    // Escape drops what was typed, without OnEdited.
    Key(VK_F2);
    Type(*form, "other\x1b");
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(b->Text(), "UPPER");
    EXPECT_EQ(edited.size(), 1u);
    // OnEditing may refuse; ReadOnly never edits.
    tree->SetOnEditing([](TObject*, TTreeNode* n, bool& allow) { allow = n->Text() != "c"; });
    EXPECT_FALSE(c->EditText());
    tree->SetReadOnly(true);
    EXPECT_FALSE(a->EditText());
    tree->SetReadOnly(false);
    // A slow second click on the selected text edits after the pause; focus leaving commits.
    TPoint p = TextPoint(a);
    ClickAt(*tree, p.X, p.Y);
    EXPECT_EQ(tree->Selected(), a);
    Application->Advance(1000);
    ClickAt(*tree, p.X, p.Y);
    EXPECT_FALSE(tree->IsEditing());
    Application->Advance(600);
    Flush();
    ASSERT_TRUE(tree->IsEditing());
    Type(*form, "renamed");
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(220, 10, 60, 21);
    other->SetFocus();
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(a->Text(), "renamed");
    // Deleting the node being edited closes the editor without writing.
    tree->SetFocus();
    ASSERT_TRUE(c->EditText() == false); // still refused by OnEditing
    ASSERT_TRUE(b1->EditText());
    b1->Delete();
    EXPECT_FALSE(tree->IsEditing());
    // The form goes while a node is being edited (the editor has the focus): nothing is
    // written and nothing calls into the half-destroyed tree.
    ASSERT_TRUE(a->EditText());
    Type(*form, "x");
    const std::size_t before = edited.size();
    form.reset();
    EXPECT_EQ(edited.size(), before);
}

TEST_F(TreeTest, ScrollingKeepsTheSelectionInViewAndShowsBars) {
    TTreeNode* root = tree->Items().Add(nullptr, "root");
    tree->Items().BeginUpdate();
    for (int i = 0; i < 100; ++i) tree->Items().AddChild(root, "child " + std::to_string(i));
    tree->Items().EndUpdate();
    EXPECT_FALSE(tree->VertScrollBarShown());
    root->Expand(false);
    EXPECT_TRUE(tree->VertScrollBarShown());
    const int page = tree->VisibleCount();
    EXPECT_EQ(page, tree->RowArea().Height() / tree->ItemHeight());
    tree->SetSelected(root);
    Key(VK_END);
    EXPECT_EQ(tree->Selected()->Text(), "child 99");
    EXPECT_EQ(tree->TopIndex(), 101 - page);
    EXPECT_EQ(tree->TopItem(), tree->RowNode(101 - page));
    Key(VK_PRIOR);
    EXPECT_EQ(tree->RowOf(tree->Selected()), 100 - (page - 1));
    Key(VK_HOME);
    EXPECT_EQ(tree->TopIndex(), 0);
    // The wheel scrolls three rows a notch without moving the selection.
    Wheel(*tree, 50, 50, -120);
    EXPECT_EQ(tree->TopIndex(), 3);
    EXPECT_EQ(tree->Selected(), root);
    // A click on the bar's down arrow scrolls one row; on the track below the thumb a page.
    Flush();
    TRect bar = Rect(tree->RowArea().Right, tree->RowArea().Top, tree->RowArea().Right + 17,
                     tree->RowArea().Bottom);
    ClickAt(*tree, bar.Left + 8, bar.Bottom - 4);
    EXPECT_EQ(tree->TopIndex(), 4);
    ClickAt(*tree, bar.Left + 8, bar.Bottom - 24);
    EXPECT_EQ(tree->TopIndex(), 4 + page);
    // Collapsing brings the top back within range.
    root->Collapse(false);
    EXPECT_EQ(tree->TopIndex(), 0);
    EXPECT_FALSE(tree->VertScrollBarShown());
    // A text wider than the area gives a horizontal bar.
    EXPECT_FALSE(tree->HorzScrollBarShown());
    tree->Items().Add(nullptr, std::string(60, 'W'));
    EXPECT_TRUE(tree->HorzScrollBarShown());
    tree->SetScrollX(1000000);
    EXPECT_EQ(tree->ScrollX(), tree->ContentWidth() - tree->RowArea().Width());
}

TEST_F(TreeTest, SortingIsCaseInsensitiveStableAndCustom) {
    TTreeNodes& n = tree->Items();
    TTreeNode* g = n.Add(nullptr, "gamma");
    n.Add(nullptr, "Beta");
    n.Add(nullptr, "alpha");
    TTreeNode* b2 = n.Add(nullptr, "beta");
    n.AddChild(g, "z");
    n.AddChild(g, "Y");
    n.AlphaSort(false);
    EXPECT_EQ(Rows(), "alpha Beta beta gamma");
    EXPECT_EQ(b2->Index(), 2);
    g->Expand(false);
    EXPECT_EQ(Rows(), "alpha Beta beta gamma z Y"); // not recursive
    tree->AlphaSort(true);
    EXPECT_EQ(Rows(), "alpha Beta beta gamma Y z");
    tree->CustomSort([](TTreeNode* x, TTreeNode* y,
                        std::intptr_t) { return int(y->Text().size()) - int(x->Text().size()); },
                     0, false);
    EXPECT_EQ(Rows(), "alpha gamma Y z Beta beta");
    EXPECT_EQ(g->AbsoluteIndex(), 1);
}

TEST_F(TreeTest, MoveToRelinksSubtrees) {
    Build();
    a1->MoveTo(c, naAddChild);
    EXPECT_EQ(a1->Parent(), c);
    EXPECT_TRUE(c->HasChildren());
    EXPECT_EQ(a2->Index(), 0);
    EXPECT_EQ(a1x->AbsoluteIndex(), 6);
    EXPECT_THROW(c->MoveTo(a1x, naAddChild), ETreeViewError);
    b1->MoveTo(a, naInsert);
    EXPECT_EQ(b1->Index(), 0);
    EXPECT_EQ(b1->Parent(), nullptr);
    EXPECT_FALSE(b->HasChildren());
}

TEST_F(TreeTest, FormFilesCreateTheTree) {
    const TClassInfo* info = FindClass("TTreeView");
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->InheritsFrom("TCustomTreeView"));
    std::istringstream in("object T: TTreeView\n  ShowLines = False\n  Indent = 12\n"
                          "  TreeStyle = tvsModern\nend\n");
    std::unique_ptr<TComponent> t(ReadComponent(in, nullptr));
    auto* tv = dynamic_cast<TTreeView*>(t.get());
    ASSERT_NE(tv, nullptr);
    EXPECT_FALSE(tv->ShowLines());
    EXPECT_EQ(tv->Indent(), 12);
    EXPECT_EQ(tv->TreeStyle(), tvsModern);
    ASSERT_NE(FindClass("TImageList"), nullptr);
}

// The nodes go into a form file as indented texts and come back as the same tree; a list that
// is no tree is refused with its line, leaving the tree as it was.
TEST_F(TreeTest, FormFilesStoreTheNodes) {
    Build();
    tree->SetName("Tree");
    a2->SetText("\tleading tab");
    b1->SetText("\\server");
    const std::string text = ComponentToText(*form);
    EXPECT_NE(text.find("  Items = (\n      \"a\"\n      \"\\ta1\"\n      \"\\t\\ta1x\"\n"),
              std::string::npos)
        << text;
    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    auto* t = dynamic_cast<TTreeView*>(back->FindComponent("Tree"));
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->Items().Count(), 7);
    std::string shape;
    for (TTreeNode* n = t->Items().GetFirstNode(); n != nullptr; n = n->GetNext())
        shape += std::to_string(n->Level()) + n->Text() + "|";
    EXPECT_EQ(shape, "0a|1a1|2a1x|1\tleading tab|0b|1\\server|0c|");
    EXPECT_EQ(ComponentToText(*back), text);
    // An empty tree writes nothing; a folder tree's nodes (from the disk) are not the file's.
    tree->Items().Clear();
    EXPECT_EQ(ComponentToText(*form).find("Items"), std::string::npos);
    EXPECT_EQ(FindClass("TCustomTreeView")->FindProp("Items"), nullptr);
}

TEST_F(TreeTest, NodesThatAreNoTreeAreRefusedWithTheLine) {
    Build();
    const int before = tree->Items().Count();
    const TPropInfo* items = FindClass("TTreeView")->FindProp("Items");
    ASSERT_NE(items, nullptr);
    auto refuses = [&](std::vector<std::string> lines, const std::string& what) {
        try {
            items->Set(*tree, TPropValue(lines));
            ADD_FAILURE() << "accepted " << what;
        } catch (const ETreeViewError& e) {
            EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
        }
        EXPECT_EQ(tree->Items().Count(), before); // unchanged
        EXPECT_EQ(tree->Items()[1]->Text(), "a1");
    };
    refuses({"top", "\t\tgrandchild"}, "item 2 (\"grandchild\") is 2 levels below");
    refuses({"\tchild"}, "item 1 (\"child\") is indented");
    // In a file: the error names the line of the list.
    const std::string file = "object F: TForm\n"
                             "  object T: TTreeView\n"
                             "    Items = (\n"
                             "      \"x\"\n"
                             "      \"\\t\\ty\"\n"
                             "    )\n"
                             "  end\n"
                             "end\n";
    try {
        std::unique_ptr<TComponent> f(ComponentFromText(file, nullptr));
        ADD_FAILURE() << "a list that is no tree was read";
    } catch (const EFormFileError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_NE(std::string(e.what()).find("property Items of TTreeView: item 2"),
                  std::string::npos)
            << e.what();
    }
    // Reading into an existing form: the tree there keeps its nodes.
    try {
        ComponentFromTextInto("object F: TForm\n  object T2: TTreeView\n    Items = (\"\\tz\")\n"
                              "  end\nend\n",
                              *form);
        ADD_FAILURE() << "read";
    } catch (const EFormFileError& e) {
        EXPECT_EQ(e.Line(), 3);
    }
    EXPECT_EQ(tree->Items().Count(), before);
    EXPECT_EQ(form->FindComponent("T2"), nullptr);
}

TEST(ImageList, StripsMaskAndDisabledDrawing) {
    TImageList il(nullptr);
    il.SetWidth(4);
    il.SetHeight(2);
    TBitmap strip(10, 3); // two whole images and a partial third, padded
    strip.Canvas().Brush().SetColor(clRed);
    strip.Canvas().FillRect(Rect(0, 0, 10, 3));
    strip.Canvas().SetPixels(4, 0, clBlue);  // first pixel of image 1
    strip.Canvas().SetPixels(1, 1, clWhite); // the mask colour in image 0
    EXPECT_EQ(il.AddMasked(strip, clWhite), 0);
    EXPECT_EQ(il.Count(), 3);
    TBitmap out;
    il.GetBitmap(1, out);
    EXPECT_EQ(out.Width(), 4);
    EXPECT_EQ(out.Canvas().Pixels(0, 0), clBlue);
    il.GetBitmap(2, out);
    EXPECT_EQ(out.Canvas().Pixels(1, 0), clRed);   // x 9 of the strip
    EXPECT_EQ(out.Canvas().Pixels(2, 0), clWhite); // beyond it: padding in the mask colour
    TBitmap target(8, 4);
    target.Canvas().Brush().SetColor(clGreen);
    target.Canvas().FillRect(Rect(0, 0, 8, 4));
    il.Draw(target.Canvas(), 1, 1, 0);
    EXPECT_EQ(target.Canvas().Pixels(1, 1), clRed);
    EXPECT_EQ(target.Canvas().Pixels(2, 2), clGreen); // masked pixel left out
    il.Draw(target.Canvas(), 1, 1, 0, false);         // disabled: grey
    TColor g = target.Canvas().Pixels(1, 1);
    EXPECT_EQ(GetRValue(g), GetGValue(g));
    EXPECT_EQ(GetGValue(g), GetBValue(g));
    il.Draw(target.Canvas(), 1, 1, 5); // out of range: nothing
    EXPECT_THROW(il.Delete(3), EListError);
    il.SetWidth(8); // a new size empties the list
    EXPECT_EQ(il.Count(), 0);
}

// The pictures of both looks: lines, buttons, images and a focused selection.
class TreeLookTest : public TreeTest {
  protected:
    void Fill() {
        images = new TImageList(form.get());
        TBitmap bmp(32, 16);
        bmp.Canvas().Brush().SetColor(clFuchsia);
        bmp.Canvas().FillRect(Rect(0, 0, 32, 16));
        bmp.Canvas().Brush().SetColor(RGB(0xE8, 0xC0, 0x40));
        bmp.Canvas().FillRect(Rect(1, 4, 15, 14)); // a folder
        bmp.Canvas().FillRect(Rect(1, 2, 7, 4));
        bmp.Canvas().Brush().SetColor(RGB(0x40, 0x80, 0xE0));
        bmp.Canvas().FillRect(Rect(19, 1, 29, 15)); // a page
        images->AddMasked(bmp, clFuchsia);
        tree->SetImages(images);
        Build();
        for (TTreeNode* n : {a, b, a1}) n->SetImageIndex(0);
        for (TTreeNode* n : {c, a2, a1x, b1}) n->SetImageIndex(1);
        c->SetText("c with a longer text");
        tree->FullExpand();
        b->Collapse(false);
        tree->SetSelected(a1x);
    }
    TImageList* images = nullptr;
};

TEST_F(TreeLookTest, ClassicLook) {
    Fill();
    tree->SetBounds(10, 10, 160, 130);
    TBitmap shot;
    Snapshot(*tree, shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/treeview_classic"));
    // The plus box of the closed node b and the minus box of a.
    TRect rb = b->DisplayRect(false);
    const int cy = rb.Top + (rb.Height() - 1) / 2, cx = 2 + 9;
    EXPECT_EQ(PixelAt(*tree, cx, cy), ColorToRGB(clWindowText));
    EXPECT_EQ(PixelAt(*tree, cx, cy - 2), ColorToRGB(clWindowText)); // plus: vertical bar
    TRect ra = a->DisplayRect(false);
    EXPECT_EQ(PixelAt(*tree, cx, ra.Top + (ra.Height() - 1) / 2 - 2), ColorToRGB(clWindow));
}

TEST_F(TreeLookTest, ModernLook) {
    Fill();
    tree->SetTreeStyle(tvsModern);
    tree->SetBounds(10, 10, 160, 130);
    TBitmap shot;
    Snapshot(*tree, shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/treeview_modern"));
    // No dotted lines: the column of a's children between rows stays background.
    TRect r = a2->DisplayRect(false);
    EXPECT_EQ(PixelAt(*tree, 2 + 9, r.Top), ColorToRGB(clWindow));
}

} // namespace
} // namespace kel::test
