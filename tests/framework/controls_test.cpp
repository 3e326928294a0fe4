// Components (ownership, names, loading, free notification), the string list, and the control
// tree: parents, alignment, anchors, OnResize, parent font and colour.
#include "controls_test_util.h"
#include "kel_props.h"

namespace kel::test {
namespace {

// ---- TComponent -------------------------------------------------------------------------------

// Counts its deletions, so ownership can be checked without touching freed memory.
class TTracked : public TComponent {
  public:
    TTracked(TComponent* owner, int& deleted, std::vector<std::string>* loadedLog = nullptr)
        : TComponent(owner), Deleted(deleted), LoadedLog(loadedLog) {}
    ~TTracked() override { ++Deleted; }
    int& Deleted;
    std::vector<std::string>* LoadedLog;
    TComponent* Watched = nullptr;
    void Watch(TComponent* c) {
        Watched = c;
        c->FreeNotification(this);
    }

  protected:
    void Loaded() override {
        TComponent::Loaded();
        if (LoadedLog) LoadedLog->push_back(Name());
    }
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove && c == Watched) Watched = nullptr;
    }
};

TEST(ComponentTest, DeletingAnOwnerDeletesWhatItOwns) {
    int deleted = 0;
    auto* owner = new TTracked(nullptr, deleted);
    auto* a = new TTracked(owner, deleted);
    new TTracked(a, deleted); // owned by a, so deleted with it
    new TTracked(owner, deleted);
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(0), a);
    delete owner;
    EXPECT_EQ(deleted, 4);
}

TEST(ComponentTest, DeletingAnOwnedComponentFirstLeavesItsOwnersList) {
    int deleted = 0;
    auto owner = std::make_unique<TTracked>(nullptr, deleted);
    auto* a = new TTracked(owner.get(), deleted);
    auto* b = new TTracked(owner.get(), deleted);
    delete a;
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->Components(0), b);
    EXPECT_EQ(b->ComponentIndex(), 0);
    owner.reset();
    EXPECT_EQ(deleted, 3); // each exactly once
}

TEST(ComponentTest, NamesAreIdentifiersUniqueWithinTheOwnerIgnoringCase) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Meter1");
    EXPECT_EQ(owner.FindComponent("METER1"), a);
    try {
        b->SetName("meter1");
        FAIL() << "duplicate accepted";
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "A component named meter1 already exists");
    }
    EXPECT_EQ(b->Name(), "");
    EXPECT_THROW(b->SetName("1abc"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    EXPECT_THROW(b->SetName("Ä"), EComponentError);
    b->SetName("_x2");
    EXPECT_EQ(b->Name(), "_x2");
    a->SetName("meter1"); // renaming to itself with other case is fine
    EXPECT_EQ(a->Name(), "meter1");
    b->SetName("");
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    TComponent free(nullptr);
    free.SetName("meter1"); // no owner, no clash
}

TEST(ComponentTest, InsertingAComponentWithAClashingNameRaisesAndKeepsBothOwners) {
    TComponent first(nullptr), second(nullptr);
    auto* a = new TComponent(&first);
    a->SetName("X");
    auto* b = new TComponent(&second);
    b->SetName("x");
    EXPECT_THROW(first.InsertComponent(b), EComponentError);
    EXPECT_EQ(b->Owner(), &second);
    second.RemoveComponent(b);
    EXPECT_EQ(b->Owner(), nullptr);
    delete b;
}

TEST(ComponentTest, LoadedRunsOncePerLoadingComponentInCreationOrderAfterAll) {
    int deleted = 0;
    std::vector<std::string> order;
    TTracked root(nullptr, deleted, &order);
    root.SetName("Root");
    auto* a = new TTracked(&root, deleted, &order);
    a->SetName("A");
    auto* b = new TTracked(&root, deleted, &order);
    b->SetName("B");
    root.BeginLoading();
    EXPECT_TRUE(a->ComponentState().contains(csLoading));
    EXPECT_TRUE(order.empty());
    root.EndLoading();
    EXPECT_EQ(order, (std::vector<std::string>{"Root", "A", "B"}));
    EXPECT_FALSE(b->ComponentState().contains(csLoading));
    EXPECT_FALSE(b->ComponentState().contains(csDesigning));
    auto* c = new TTracked(&root, deleted, &order); // created in code: never Loaded
    (void)c;
    EXPECT_EQ(order.size(), 3u);
}

TEST(ComponentTest, FreeNotificationClearsAPointerToADeletedComponent) {
    int deleted = 0;
    TTracked watcher(nullptr, deleted);
    auto* target = new TTracked(nullptr, deleted);
    watcher.Watch(target);
    delete target;
    EXPECT_EQ(watcher.Watched, nullptr);
    // And the other way round: the watched side forgets a deleted watcher.
    auto* w2 = new TTracked(nullptr, deleted);
    TTracked t2(nullptr, deleted);
    w2->Watch(&t2);
    delete w2; // t2 must not notify it later (ASan would catch it)
}

// A watched component that changes owner: the old owner hears of the removal, and the link is
// gone both ways, so deleting the old owner first and the component later touches no freed
// object (this crashed while the component kept the old owner in its list).
TEST(ComponentTest, AComponentMovedToAnotherOwnerForgetsTheOldOwnerBothWays) {
    int deleted = 0;
    auto* oldOwner = new TTracked(nullptr, deleted);
    TTracked newOwner(nullptr, deleted);
    auto* moved = new TTracked(oldOwner, deleted);
    oldOwner->Watch(moved);
    newOwner.InsertComponent(moved);
    EXPECT_EQ(oldOwner->Watched, nullptr);
    EXPECT_EQ(moved->Owner(), &newOwner);
    delete oldOwner;
    delete moved; // must not notify the deleted old owner (ASan would catch it)
    EXPECT_EQ(deleted, 2);
}

// ---- TStringList ------------------------------------------------------------------------------

TEST(StringListTest, SortedListAddsInOrderAndHandlesDuplicatesByPolicy) {
    TStringList l;
    l.SetSorted(true);
    EXPECT_EQ(l.Add("pear"), 0);
    EXPECT_EQ(l.Add("Apple"), 0);
    EXPECT_EQ(l.Add("zebra"), 2);
    EXPECT_EQ(l.Add("apple"), 0); // dupIgnore: the existing index, nothing added
    EXPECT_EQ(l.Count(), 3);
    l.SetDuplicates(dupError);
    try {
        l.Add("PEAR");
        FAIL() << "duplicate accepted";
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    l.SetDuplicates(dupAccept);
    EXPECT_EQ(l.Add("PEAR"), 2);
    EXPECT_EQ(l.Text(), "Apple\npear\nPEAR\nzebra\n");
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
    EXPECT_THROW(l.SetStrings(0, "x"), EStringListError);
}

TEST(StringListTest, DuplicatesPolicyDoesNotApplyToUnsortedLists) {
    TStringList l;
    l.SetDuplicates(dupError);
    l.Add("a");
    EXPECT_EQ(l.Add("a"), 1);
    EXPECT_EQ(l.IndexOf("A"), 0);
}

TEST(StringListTest, CaseSensitivityGovernsOrderAndSearch) {
    TStringList l;
    l.SetText("b\nB\na\n");
    EXPECT_EQ(l.IndexOf("A"), 2);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("A"), -1);
    l.SetSorted(true);
    EXPECT_EQ(l.Text(), "B\na\nb\n");
    // Case folding reaches beyond ASCII, by code point and without a locale.
    TStringList u;
    u.SetSorted(true);
    u.Add("Ärger");
    EXPECT_EQ(u.IndexOf("ärger"), 0);
    EXPECT_EQ(u.IndexOf("ÄRGER"), 0);
    EXPECT_EQ(CompareStrings("Ωmega", "ωMEGA", false), 0);
}

TEST(StringListTest, ObjectsAreKeptButNeverFreed) {
    int deleted = 0;
    TTracked obj(nullptr, deleted);
    {
        TStringList l;
        l.AddObject("x", &obj);
        l.AddObject("y", nullptr);
        EXPECT_EQ(l.Objects(0), &obj);
        EXPECT_EQ(l.IndexOfObject(&obj), 0);
        l.Delete(0);
        EXPECT_EQ(l.Strings(0), "y");
    }
    EXPECT_EQ(deleted, 0);
}

TEST(StringListTest, BadIndexesRaiseAndLeaveTheListAlone) {
    TStringList l;
    l.Add("a");
    try {
        (void)l.Strings(1);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    EXPECT_THROW(l.Delete(-1), EStringListError);
    EXPECT_THROW(l.Insert(2, "z"), EStringListError);
    l.Insert(1, "z");
    EXPECT_EQ(l.Text(), "a\nz\n");
}

TEST(StringListTest, SettingTextSplitsAnyLineEndAndFailsWithoutChange) {
    TStringList l;
    l.SetText("one\r\ntwo\rthree\nfour");
    EXPECT_EQ(l.Count(), 4);
    EXPECT_EQ(l.Strings(3), "four");
    l.SetSorted(true);
    l.SetDuplicates(dupError);
    EXPECT_THROW(l.SetText("x\ny\nx"), EStringListError);
    EXPECT_EQ(l.Text(), "four\none\nthree\ntwo\n");
    int changes = 0;
    l.SetOnChange([&](TObject*) { ++changes; });
    l.SetText("q");
    EXPECT_EQ(changes, 1);
}

// ---- Control tree -----------------------------------------------------------------------------

class ControlTreeTest : public FormFixture {};

TEST_F(ControlTreeTest, AWindowedParentDeletesItsChildrenOwnedOrNot) {
    int deleted = 0;
    struct TDying : public TGraphicControl {
        TDying(TComponent* o, int& d) : TGraphicControl(o), D(d) {}
        ~TDying() override { ++D; }
        int& D;
    };
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    auto* owned = new TDying(form.get(), deleted);
    owned->SetParent(panel);
    auto* unowned = new TDying(nullptr, deleted);
    unowned->SetParent(panel);
    delete panel;
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(form->ComponentCount(), 0); // the owned one left its owner's list
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(ControlTreeTest, DeletingAChildFirstLeavesNoPointerBehind) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 100, 100);
    panel->SetTabStop(true);
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(panel);
    g->SetBounds(0, 0, 10, 10);
    panel->SetFocus();
    headless::MoveTo(*form, 2, 2);
    EXPECT_EQ(form->MouseControl(), g);
    delete g;
    EXPECT_EQ(panel->ControlCount(), 0);
    EXPECT_EQ(form->MouseControl(), nullptr);
    delete panel;
    EXPECT_EQ(form->ActiveControl(), nullptr);
    headless::ClickAt(*form, 2, 2);
    headless::Type(*form, "a");
    headless::Flush();
}

TEST_F(ControlTreeTest, ParentingRulesAreEnforced) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    auto* inner = new TCountingWin(form.get());
    inner->SetParent(panel);
    EXPECT_THROW(panel->SetParent(panel), EInvalidOperation);
    EXPECT_THROW(panel->SetParent(inner), EInvalidOperation);
    TForm other(nullptr);
    EXPECT_THROW(other.SetParent(panel), EInvalidOperation);
    inner->SetParent(form.get());
    EXPECT_EQ(panel->ControlCount(), 0);
    EXPECT_EQ(form->Controls(1), inner);
    EXPECT_THROW(form->Controls(2), EListError);
}

TEST_F(ControlTreeTest, AlignPlacesTopBottomLeftRightThenClient) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 200, 150);
    auto make = [&](TAlign a, int w, int h) {
        auto* c = new TCountingGraphic(form.get());
        c->SetBounds(0, 0, w, h);
        c->SetParent(panel);
        c->SetAlign(a);
        return c;
    };
    auto* client = make(alClient, 5, 5);
    auto* left = make(alLeft, 30, 5);
    auto* top = make(alTop, 5, 20);
    auto* bottom = make(alBottom, 5, 10);
    auto* right = make(alRight, 40, 5);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 140, 200, 150));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 30, 140));
    EXPECT_EQ(right->BoundsRect(), Rect(160, 20, 200, 140));
    EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 160, 140));
    panel->SetBounds(0, 0, 300, 100); // realigned on resize
    EXPECT_EQ(client->BoundsRect(), Rect(30, 20, 260, 90));
    top->Hide(); // and when visibility changes
    EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 30, 90));
    bottom->SetHeight(30); // and when an aligned control changes its size
    EXPECT_EQ(client->BoundsRect(), Rect(30, 0, 260, 70));
}

TEST_F(ControlTreeTest, AlignmentWaitsForLoadingToEnd) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 100, 100);
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(panel);
    g->SetBounds(5, 5, 10, 10);
    form->BeginLoading();
    g->SetAlign(alClient);
    EXPECT_EQ(g->BoundsRect(), Bounds(5, 5, 10, 10));
    form->EndLoading();
    EXPECT_EQ(g->BoundsRect(), Rect(0, 0, 100, 100));
}

TEST_F(ControlTreeTest, TwoTopAlignedControlsKeepTheirOrderByPosition) {
    auto* a = new TCountingGraphic(form.get());
    a->SetBounds(0, 50, 10, 10);
    a->SetParent(form.get());
    auto* b = new TCountingGraphic(form.get());
    b->SetBounds(0, 5, 10, 20);
    b->SetParent(form.get());
    form->DisableAlign();
    a->SetAlign(alTop);
    b->SetAlign(alTop);
    form->EnableAlign();
    EXPECT_EQ(b->Top(), 0);
    EXPECT_EQ(a->Top(), 20);
}

TEST_F(ControlTreeTest, AnchorsKeepDistancesToTheAnchoredEdges) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 100, 100);
    auto make = [&](TAnchors a) {
        auto* c = new TCountingGraphic(form.get());
        c->SetParent(panel);
        c->SetBounds(10, 20, 30, 40);
        c->SetAnchors(a);
        return c;
    };
    auto* plain = make({akLeft, akTop});
    auto* right = make({akRight, akBottom});
    auto* stretch = make({akLeft, akTop, akRight, akBottom});
    auto* centred = make({});
    panel->SetBounds(0, 0, 150, 120);
    EXPECT_EQ(plain->BoundsRect(), Bounds(10, 20, 30, 40));
    EXPECT_EQ(right->BoundsRect(), Bounds(60, 40, 30, 40));
    EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 20, 80, 60));
    EXPECT_EQ(centred->BoundsRect(), Bounds(35, 30, 30, 40));
    // Shrinking past the control and growing back restores it exactly.
    panel->SetBounds(0, 0, 20, 20);
    EXPECT_EQ(stretch->Width(), 0);
    panel->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(stretch->BoundsRect(), Bounds(10, 20, 30, 40));
}

TEST_F(ControlTreeTest, OnResizeFiresAfterSizeChangesOnly) {
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(form.get());
    std::vector<int> widths;
    g->SetOnResize([&](TObject*) { widths.push_back(g->Width()); });
    g->SetBounds(0, 0, 10, 10);
    g->SetLeft(5);
    g->SetWidth(12);
    g->SetAlign(alTop); // aligned: takes the form's width
    EXPECT_EQ(widths, (std::vector<int>{10, 12, 200}));
    g->BeginLoading();
    g->SetHeight(30);
    EXPECT_EQ(widths.size(), 3u);
}

TEST_F(ControlTreeTest, ParentFontAndParentColorFollowTheParentUntilSetDirectly) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    auto* g = new TCountingGraphic(form.get());
    g->SetParent(panel);
    EXPECT_EQ(g->Color(), clWhite); // from the form through the panel
    panel->Font().SetSize(12);
    EXPECT_EQ(g->Font().Size(), 12);
    EXPECT_TRUE(g->ParentFont());
    g->Font().SetStyle({fsBold});
    EXPECT_FALSE(g->ParentFont());
    panel->Font().SetSize(14);
    EXPECT_EQ(g->Font().Size(), 12);
    g->SetParentFont(true);
    EXPECT_EQ(g->Font().Size(), 14);
    g->SetColor(clRed);
    EXPECT_FALSE(g->ParentColor());
    panel->SetColor(clBlue);
    EXPECT_EQ(g->Color(), clRed);
    g->SetParentColor(true);
    EXPECT_EQ(g->Color(), clBlue);
    EXPECT_TRUE(g->ParentColor());
}

TEST_F(ControlTreeTest, ParentDoubleBufferedFollowsTheParentUntilDoubleBufferedIsSet) {
    auto* panel = new TCountingWin(form.get());
    panel->SetDoubleBuffered(true);
    EXPECT_FALSE(panel->ParentDoubleBuffered()); // set directly: no longer follows
    panel->SetParent(form.get());
    EXPECT_TRUE(panel->DoubleBuffered());
    auto* child = new TCountingWin(form.get());
    auto* grandchild = new TCountingWin(form.get());
    grandchild->SetParent(child);
    child->SetParent(panel); // takes the panel's value and passes it on
    EXPECT_TRUE(child->ParentDoubleBuffered());
    EXPECT_TRUE(child->DoubleBuffered());
    EXPECT_TRUE(grandchild->DoubleBuffered());
    panel->SetDoubleBuffered(false);
    EXPECT_FALSE(grandchild->DoubleBuffered());
    EXPECT_TRUE(child->ParentDoubleBuffered());
    child->SetDoubleBuffered(true);
    EXPECT_FALSE(child->ParentDoubleBuffered());
    EXPECT_TRUE(grandchild->DoubleBuffered());
    panel->SetDoubleBuffered(true);
    panel->SetDoubleBuffered(false);
    EXPECT_TRUE(child->DoubleBuffered()); // its own value stays
    child->SetParentDoubleBuffered(true);
    EXPECT_FALSE(child->DoubleBuffered());
    EXPECT_FALSE(grandchild->DoubleBuffered());
    // A value that follows the parent is not stored; one set directly is.
    const TPropInfo* prop = FindClass("TWinControl")->FindProp("DoubleBuffered");
    ASSERT_NE(prop, nullptr);
    ASSERT_TRUE(bool(prop->Stored));
    EXPECT_FALSE(prop->Stored(*child));
    EXPECT_TRUE(prop->Stored(*panel));
}

// A control that reacts to messages in its WndProc, as components with message handlers do.
class TMessageSeer : public TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;
    bool Hot = false;
    std::vector<std::uint32_t> Seen;
    LRESULT Answer = 0;
    void WndProc(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER && m.LParam == 0) Hot = true;
        if (m.Msg == CM_MOUSELEAVE && m.LParam == 0) Hot = false;
        if (m.Msg == CM_BUTTONPRESSED) {
            Seen.push_back(m.Msg);
            m.Result = Answer;
            return;
        }
        TGraphicControl::WndProc(m);
    }
};

TEST_F(ControlTreeTest, WndProcOverridesSeeMessagesAndBroadcastStopsAtTheFirstAnswer) {
    auto* a = new TMessageSeer(form.get());
    a->SetParent(form.get());
    a->SetBounds(0, 0, 20, 20);
    auto* b = new TMessageSeer(form.get());
    b->SetParent(form.get());
    b->SetBounds(30, 0, 20, 20);
    headless::MoveTo(*form, 5, 5);
    EXPECT_TRUE(a->Hot);
    headless::MoveTo(*form, 35, 5);
    EXPECT_FALSE(a->Hot);
    EXPECT_TRUE(b->Hot);
    TMessage m{CM_BUTTONPRESSED, 1, LPARAM(a)};
    a->Answer = 1;
    form->Broadcast(m);
    EXPECT_EQ(a->Seen.size(), 1u);
    EXPECT_TRUE(b->Seen.empty());
    EXPECT_EQ(a->Perform(CM_BUTTONPRESSED, 0, 0), 1);
}

TEST_F(ControlTreeTest, ACaptionThatMirrorsTheNameFollowsARename) {
    auto* g = new TCountingGraphic(form.get());
    g->SetName("Label1");
    EXPECT_EQ(g->Caption(), "Label1");
    g->SetName("Label2");
    EXPECT_EQ(g->Caption(), "Label2");
    g->SetCaption("Total");
    g->SetName("Label3");
    EXPECT_EQ(g->Caption(), "Total");
}

TEST_F(ControlTreeTest, ClientAndScreenCoordinatesConvert) {
    form->SetBorderStyle(bsSingle);
    form->SetBounds(100, 50, 206, 178);
    EXPECT_EQ(form->ClientWidth(), 200);
    EXPECT_EQ(form->ClientHeight(), 150);
    EXPECT_EQ(form->Surface().Width(), 200);
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 20, 50, 50);
    EXPECT_EQ(panel->ClientToScreen({1, 2}), Point(100 + 3 + 11, 50 + 25 + 22));
    EXPECT_EQ(panel->ScreenToClient(panel->ClientToScreen({7, 8})), Point(7, 8));
    form->SetClientWidth(300);
    EXPECT_EQ(form->Width(), 306);
}

} // namespace
} // namespace kel::test
