// The class registry as a whole: every published property's declared default is what a fresh
// object holds, for every registered class; the framework classes publish the properties their
// descendants inherit; and component references in form files (a control's PopupMenu), which
// are stored by name and resolved once the whole file is read.
#include "kel_controls.h"
#include "kel_forms.h"
#include "kel_grids.h"
#include "kel_props.h"
#include "kel_registry_check.h"
#include "kel_streaming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kel::test {
namespace {

TEST(Registry, EveryRegisteredClassHasItsDeclaredDefaults) {
    std::vector<std::string> covered;
    EXPECT_TRUE(EveryRegisteredClassHasItsDeclaredDefaults(&covered));
    // The framework's classes, the sub-object classes among them, are all compared.
    for (const char* name :
         {"TComponent", "TControl", "TWinControl", "TCustomControl", "TGraphicControl", "TForm",
          "TDrawGrid", "TEdit", "TLabel", "TFont", "TSizeConstraints"})
        EXPECT_NE(std::find(covered.begin(), covered.end(), name), covered.end()) << name;
}

// A declared default that is not the constructor's value is found (a fault a hand-written list
// would have to repeat for every class).
TEST(Registry, ADeclaredDefaultOtherThanTheConstructorsIsReported) {
    TClassInfo wrong = *FindClass("TControl");
    for (TPropInfo& p : wrong.Props)
        if (p.Name == "HelpContext") p.Default = TPropValue(std::int64_t(7));
    TControl c(nullptr);
    const auto r = HasDeclaredDefaults(c, wrong);
    EXPECT_FALSE(r);
    EXPECT_NE(std::string(r.message()).find("HelpContext is 0, declared 7"), std::string::npos)
        << r.message();
    int checked = 0;
    EXPECT_TRUE(HasDeclaredDefaults(c, *FindClass("TControl"), &checked));
    EXPECT_GE(checked, 15); // Tag, Enabled, the hint, help, bidi, drag and style properties...
}

// ---- Inherited properties ---------------------------------------------------------------------

std::vector<std::string> Published(const char* cls) {
    std::vector<std::string> out;
    const TClassInfo* info = FindClass(cls);
    if (info == nullptr) return out;
    for (const TPropInfo* p : info->AllProps()) out.push_back(p->Name);
    return out;
}

::testing::AssertionResult Publishes(const char* cls, std::initializer_list<const char*> names) {
    const std::vector<std::string> have = Published(cls);
    if (have.empty()) return ::testing::AssertionFailure() << cls << " is not registered";
    std::string missing;
    for (const char* n : names)
        if (std::find(have.begin(), have.end(), n) == have.end()) missing += std::string(" ") + n;
    if (missing.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << cls << " lacks" << missing;
}

TEST(Registry, FrameworkClassesPublishWhatComponentsInherit) {
    const auto control = {"Align",       "Anchors",       "Color",          "Constraints",
                          "Cursor",      "DragCursor",    "DragKind",       "DragMode",
                          "Enabled",     "Font",          "HelpContext",    "HelpKeyword",
                          "HelpType",    "Hint",          "BiDiMode",       "ParentBiDiMode",
                          "ParentColor", "ParentFont",    "ParentShowHint", "PopupMenu",
                          "ShowHint",    "StyleElements", "Visible",        "Left",
                          "Top",         "Width",         "Height",         "Tag"};
    for (const char* cls : {"TControl", "TGraphicControl", "TWinControl", "TCustomControl",
                            "TCustomGrid", "TCustomDrawGrid", "TDrawGrid", "TEdit", "TLabel"})
        EXPECT_TRUE(Publishes(cls, control));
    for (const char* cls : {"TWinControl", "TCustomControl", "TCustomGrid", "TDrawGrid", "TEdit"})
        EXPECT_TRUE(Publishes(cls, {"Ctl3D", "ParentCtl3D", "TabOrder", "TabStop"}));
    // The grid properties start at the custom grid, so a grid that is no draw grid (the report
    // list) inherits them; the counts stay the draw grid's.
    for (const char* cls : {"TCustomGrid", "TCustomDrawGrid", "TDrawGrid"})
        EXPECT_TRUE(Publishes(
            cls, {"Options", "DefaultDrawing", "FixedColor", "ScrollBars", "BorderStyle"}));
    EXPECT_EQ(FindClass("TCustomDrawGrid")->ParentName, "TCustomGrid");
    EXPECT_EQ(FindClass("TDrawGrid")->ParentName, "TCustomDrawGrid");
    EXPECT_FALSE(Publishes("TCustomDrawGrid", {"ColCount"}));
    // Events exist on the classes (they are not streamed).
    TDrawGrid g(nullptr);
    int drops = 0;
    g.SetOnDragDrop([&](TObject*, TObject*, int, int) { ++drops; });
    g.SetOnDragOver([](TObject*, TObject*, int, int, TDragState, bool& Accept) { Accept = true; });
    g.SetOnEndDrag([](TObject*, TObject*, int, int) {});
    g.SetOnStartDrag([](TObject*, TDragObject*&) {});
    g.SetOnStartDock([](TObject*, TDragDockObject*&) {});
    g.SetOnEndDock([](TObject*, TObject*, int, int) {});
    g.OnDragDrop()(&g, nullptr, 0, 0);
    EXPECT_EQ(drops, 1);
}

// The grid's Ctl3D is the one its frame follows, whether set through the grid or through the
// windowed control's published property.
// The published lists are kept between calls; a registration, of the class or of a class it
// derives from, is seen at once. A redeclared property stays in its first place, as the
// latest declaration.
TEST(Registry, PropertyListsFollowEveryRegistration) {
    auto prop = [](const char* Name, std::int64_t Default) {
        TPropInfo p;
        p.Name = Name;
        p.Default = TPropValue(Default);
        return p;
    };
    auto names = [](const TClassInfo* Info) {
        std::string s;
        for (const TPropInfo* p : Info->AllProps()) s += p->Name + " ";
        return s;
    };
    auto reg = [](const char* Name, const char* Parent, std::vector<TPropInfo> Props) {
        TClassInfo info;
        info.Name = Name;
        info.ParentName = Parent;
        info.Props = std::move(Props);
        RegisterClass(std::move(info));
    };
    reg("TKelProbeBase", "", {prop("Alpha", 1), prop("Beta", 2)});
    reg("TKelProbe", "TKelProbeBase", {prop("BETA", 3), prop("Gamma", 4)});
    const TClassInfo* probe = FindClass("TKelProbe");
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(names(probe), "Alpha BETA Gamma ");
    ASSERT_NE(probe->FindProp("beta"), nullptr);
    EXPECT_EQ(std::get<std::int64_t>(probe->FindProp("beta")->Default), 3);
    EXPECT_EQ(probe->FindProp("Delta"), nullptr);

    reg("TKelProbeBase", "", {prop("Delta", 5)});
    EXPECT_EQ(names(probe), "Delta BETA Gamma ");
    ASSERT_NE(probe->FindProp("DELTA"), nullptr);
    EXPECT_EQ(probe->FindProp("Alpha"), nullptr);
    reg("TKelProbe", "TKelProbeBase", {prop("Epsilon", 6)});
    EXPECT_EQ(names(FindClass("TKelProbe")), "Delta Epsilon ");
    EXPECT_EQ(FindClass("TKelProbe")->FindProp("Gamma"), nullptr);
    // Left without properties, so the whole-registry checks pass the probes by.
    reg("TKelProbeBase", "", {});
    reg("TKelProbe", "TKelProbeBase", {});
    EXPECT_TRUE(FindClass("TKelProbe")->AllProps().empty());
}

TEST(Registry, Ctl3DOfAGridIsTheGridsOwn) {
    TDrawGrid g(nullptr);
    TWinControl& w = g;
    w.SetCtl3D(false);
    EXPECT_FALSE(g.Ctl3D());
    const TPropInfo* p = FindClass("TDrawGrid")->FindProp("Ctl3D");
    ASSERT_NE(p, nullptr);
    p->Set(g, TPropValue(true));
    EXPECT_TRUE(g.Ctl3D());
}

TEST(Registry, SimplePropertiesRoundTripThroughAFormFile) {
    TForm form(nullptr);
    form.SetName("F");
    auto* g = new TDrawGrid(&form);
    g->SetName("G");
    g->SetParent(&form);
    g->SetHelpContext(42);
    g->SetHelpKeyword("grid");
    g->SetHelpType(htKeyword);
    g->SetBiDiMode(bdRightToLeft);
    g->SetStyleElements({seFont});
    g->SetDragCursor(crHandPoint);
    g->SetDragKind(dkDock);
    g->SetDragMode(dmAutomatic);
    g->SetParentCtl3D(false);
    g->Constraints().SetMinWidth(40);
    g->Constraints().SetMaxHeight(300);
    const std::string text = ComponentToText(form);
    for (const char* line :
         {"HelpContext = 42", "HelpKeyword = \"grid\"", "HelpType = htKeyword",
          "BiDiMode = bdRightToLeft", "ParentBiDiMode = false", "StyleElements = [seFont]",
          "DragKind = dkDock", "DragMode = dmAutomatic", "ParentCtl3D = false", "MinWidth = 40",
          "MaxHeight = 300"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    auto* g2 = dynamic_cast<TDrawGrid*>(back->FindComponent("G"));
    ASSERT_NE(g2, nullptr);
    EXPECT_EQ(g2->HelpContext(), 42);
    EXPECT_EQ(g2->BiDiMode(), bdRightToLeft);
    EXPECT_FALSE(g2->ParentBiDiMode());
    EXPECT_EQ(g2->StyleElements(), TStyleElements{seFont});
    EXPECT_EQ(g2->DragCursor(), crHandPoint);
    EXPECT_EQ(g2->Constraints().MinWidth(), 40);
    EXPECT_EQ(g2->Constraints().MaxHeight(), 300);
    EXPECT_EQ(ComponentToText(*back), text);
    // A negative limit is refused and leaves the limit as it was.
    EXPECT_THROW(g->Constraints().SetMaxWidth(-1), EInvalidOperation);
    EXPECT_EQ(g->Constraints().MaxWidth(), 0);
}

// ---- Component references ---------------------------------------------------------------------

// A component that stands for a popup menu (the menu unit's class is not needed here), and a
// control with a second kind of reference: a buddy control.
class TTestMenu : public TComponent {
  public:
    explicit TTestMenu(TComponent* AOwner) : TComponent(AOwner) {}
    std::string ClassName() const override { return "TTestMenu"; }
};
const TClassRegistrar<TTestMenu> testMenuReg("TTestMenu", "TComponent", [](auto&) {});

class TBuddyBox : public TCustomControl {
  public:
    explicit TBuddyBox(TComponent* AOwner) : TCustomControl(AOwner) {}
    std::string ClassName() const override { return "TBuddyBox"; }
    TControl* Buddy() const { return FBuddy; }
    void SetBuddy(TControl* Value) { FBuddy = Value; }
    // What Loaded saw: references are set before it runs.
    TControl* BuddyAtLoaded = nullptr;

  protected:
    void Loaded() override {
        TCustomControl::Loaded();
        BuddyAtLoaded = FBuddy;
    }

  private:
    TControl* FBuddy = nullptr;
};
const TClassRegistrar<TBuddyBox> buddyReg("TBuddyBox", "TCustomControl", [](auto& p) {
    p.Component("Buddy", &TBuddyBox::Buddy, &TBuddyBox::SetBuddy, "a control");
});

class References : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = TControl::SetPopupMenuCast([](TComponent* c) -> TPopupMenu* {
            // The menu unit's cast converts to its class; here the test class stands in.
            return dynamic_cast<TTestMenu*>(c) != nullptr ? reinterpret_cast<TPopupMenu*>(c)
                                                          : nullptr;
        });
    }
    void TearDown() override { TControl::SetPopupMenuCast(previous); }
    TPopupMenuCast previous = nullptr;
};

int LineOf(const std::string& text, int& line) {
    try {
        std::unique_ptr<TComponent> c(ComponentFromText(text, nullptr));
    } catch (const EFormFileError& e) {
        line = e.Line();
        return 1;
    }
    return 0;
}

TEST_F(References, PopupMenuIsStoredByNameAndResolvedAfterTheWholeFile) {
    TForm form(nullptr);
    form.SetName("Main");
    auto* box = new TBuddyBox(&form);
    box->SetName("Box");
    box->SetParent(&form);
    auto* menu = new TTestMenu(&form);
    menu->SetName("Menu1");
    box->SetPopupMenuFrom(menu);
    EXPECT_EQ(box->PopupMenuComponent(), menu);
    const std::string text = ComponentToText(form);
    EXPECT_NE(text.find("PopupMenu = Menu1\n"), std::string::npos) << text;
    // The menu comes after the box in the file: it is found all the same.
    EXPECT_LT(text.find("PopupMenu = Menu1"), text.find("object Menu1: TTestMenu")) << text;
    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    auto* box2 = dynamic_cast<TBuddyBox*>(back->FindComponent("Box"));
    ASSERT_NE(box2, nullptr);
    EXPECT_EQ(box2->PopupMenuComponent(), back->FindComponent("Menu1"));
    EXPECT_NE(box2->PopupMenu(), nullptr);
    EXPECT_EQ(ComponentToText(*back), text);
    // Deleting the menu clears the reference.
    delete back->FindComponent("Menu1");
    EXPECT_EQ(box2->PopupMenuComponent(), nullptr);
}

TEST_F(References, AReferenceToALaterControlOrToTheRootIsSetBeforeLoaded) {
    const std::string text = "object Main: TForm\n"
                             "  object Box: TBuddyBox\n"
                             "    Buddy = Later\n"
                             "  end\n"
                             "  object Second: TBuddyBox\n"
                             "    Buddy = main\n"
                             "  end\n"
                             "  object Later: TBuddyBox\n"
                             "  end\n"
                             "end\n";
    std::unique_ptr<TComponent> root(ComponentFromText(text, nullptr));
    auto* box = dynamic_cast<TBuddyBox*>(root->FindComponent("Box"));
    auto* second = dynamic_cast<TBuddyBox*>(root->FindComponent("Second"));
    ASSERT_NE(box, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(box->Buddy(), root->FindComponent("Later"));
    EXPECT_EQ(box->BuddyAtLoaded, box->Buddy());
    EXPECT_EQ(second->Buddy(), root.get()); // names compare without regard to case
    // Writing gives the names back.
    const std::string again = ComponentToText(*root);
    EXPECT_NE(again.find("Buddy = Later"), std::string::npos) << again;
    EXPECT_NE(again.find("Buddy = Main"), std::string::npos) << again;
}

TEST_F(References, AMissingOrWrongComponentIsAnErrorWithItsLine) {
    int line = 0;
    const std::string missing = "object Main: TForm\n"
                                "  object Box: TBuddyBox\n"
                                "    Left = 3\n"
                                "    PopupMenu = NoSuchMenu\n"
                                "  end\n"
                                "end\n";
    try {
        std::unique_ptr<TComponent> c(ComponentFromText(missing, nullptr));
        ADD_FAILURE() << "no error";
    } catch (const EFormFileError& e) {
        EXPECT_EQ(e.Line(), 4);
        EXPECT_STREQ(e.what(),
                     "Form file, line 4: property PopupMenu of TBuddyBox: there is no component "
                     "named \"NoSuchMenu\" in the file")
            << e.what();
    }
    // A component of the wrong kind: a control is no popup menu, a menu no control.
    const std::string wrongMenu = "object Main: TForm\n"
                                  "  object Box: TBuddyBox\n"
                                  "    PopupMenu = Other\n"
                                  "  end\n"
                                  "  object Other: TBuddyBox\n"
                                  "    Buddy = M\n"
                                  "  end\n"
                                  "  object M: TTestMenu\n"
                                  "  end\n"
                                  "end\n";
    ASSERT_EQ(LineOf(wrongMenu, line), 1);
    EXPECT_EQ(line, 3);
    try {
        std::unique_ptr<TComponent> c(ComponentFromText(wrongMenu, nullptr));
    } catch (const EFormFileError& e) {
        EXPECT_NE(std::string(e.what()).find("\"Other\" is a TBuddyBox, not a popup menu"),
                  std::string::npos)
            << e.what();
    }
    const std::string wrongBuddy = "object Main: TForm\n"
                                   "  object Other: TBuddyBox\n"
                                   "    Buddy = M\n"
                                   "  end\n"
                                   "  object M: TTestMenu\n"
                                   "  end\n"
                                   "end\n";
    try {
        std::unique_ptr<TComponent> c(ComponentFromText(wrongBuddy, nullptr));
        ADD_FAILURE() << "no error";
    } catch (const EFormFileError& e) {
        EXPECT_EQ(e.Line(), 3);
        EXPECT_NE(std::string(e.what()).find("\"M\" is a TTestMenu, not a control"),
                  std::string::npos)
            << e.what();
    }
    // A value that is no name at all.
    EXPECT_EQ(
        LineOf("object Main: TForm\n  object B: TBuddyBox\n    Buddy = 12\n  end\nend\n", line), 1);
    EXPECT_EQ(line, 3);
    // nil is no component.
    std::unique_ptr<TComponent> ok(ComponentFromText(
        "object Main: TForm\n  object B: TBuddyBox\n    Buddy = nil\n  end\nend\n", nullptr));
    EXPECT_EQ(dynamic_cast<TBuddyBox*>(ok->FindComponent("B"))->Buddy(), nullptr);
}

TEST_F(References, AReferenceOutsideTheFileCannotBeWritten) {
    TForm form(nullptr), other(nullptr);
    form.SetName("Main");
    other.SetName("Other");
    auto* box = new TBuddyBox(&form);
    box->SetName("Box");
    box->SetParent(&form);
    box->SetBuddy(&other);
    EXPECT_THROW(ComponentToText(form), EWriteError);
    auto* unnamed = new TBuddyBox(&form);
    box->SetBuddy(unnamed);
    EXPECT_THROW(ComponentToText(form), EWriteError);
    box->SetBuddy(nullptr);
    EXPECT_NO_THROW(ComponentToText(form));
}

// Reading into an existing form: the references land on the new objects and on the target, and
// a file with a missing name leaves the target as it was.
TEST_F(References, ReadingIntoAFormResolvesAgainstTheFormAndFailsCleanly) {
    const std::string text = "object Main: TForm\n"
                             "  PopupMenu = Menu1\n"
                             "  object Box: TBuddyBox\n"
                             "    Buddy = Main\n"
                             "    PopupMenu = Menu1\n"
                             "  end\n"
                             "  object Menu1: TTestMenu\n"
                             "  end\n"
                             "end\n";
    TForm target(nullptr);
    target.SetName("Main");
    ComponentFromTextInto(text, target);
    auto* box = dynamic_cast<TBuddyBox*>(target.FindComponent("Box"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Buddy(), &target);
    EXPECT_EQ(box->PopupMenuComponent(), target.FindComponent("Menu1"));
    EXPECT_EQ(target.PopupMenuComponent(), target.FindComponent("Menu1"));

    TForm clean(nullptr);
    clean.SetName("Main");
    clean.SetHelpContext(5);
    const std::string bad = "object Main: TForm\n"
                            "  HelpContext = 9\n"
                            "  PopupMenu = Gone\n"
                            "end\n";
    EXPECT_THROW(ComponentFromTextInto(bad, clean), EFormFileError);
    EXPECT_EQ(clean.HelpContext(), 5);
    EXPECT_EQ(clean.ComponentCount(), 0);
}

// Assign copies the reference itself, not a component of the same name.
TEST_F(References, AssignPublishedCopiesTheSameComponent) {
    TForm form(nullptr);
    auto* menu = new TTestMenu(&form);
    menu->SetName("M");
    TBuddyBox a(nullptr), b(nullptr);
    a.SetPopupMenuFrom(menu);
    a.SetBuddy(&form);
    AssignPublished(b, a);
    EXPECT_EQ(b.PopupMenuComponent(), menu);
    EXPECT_EQ(b.Buddy(), &form);
}

} // namespace
} // namespace kel::test

namespace kel::test {
namespace {

// The properties each component inherits from the framework, as its documentation lists them,
// are in its published list (events are members, not streamed, so they are not listed here).
TEST(Registry, ComponentsPublishTheFrameworkPropertiesTheyInherit) {
    EXPECT_TRUE(Publishes("TMeter", {"Align", "DragKind", "DragCursor", "DragMode", "Font", "Hint",
                                     "ParentFont", "ParentShowHint", "ShowHint", "StyleElements",
                                     "Visible"}));
    EXPECT_TRUE(Publishes(
        "TNumIO",
        {"Anchors",     "Align",          "AutoSelect", "AutoSize", "BorderStyle", "Color",
         "Ctl3D",       "ParentCtl3D",    "Cursor",     "Enabled",  "Font",        "Height",
         "HelpContext", "HideSelection",  "Hint",       "Left",     "ReadOnly",    "ParentColor",
         "ParentFont",  "ParentShowHint", "PopupMenu",  "ShowHint", "TabOrder",    "TabStop",
         "Tag",         "Text",           "Top",        "Visible",  "Width"}));
    EXPECT_TRUE(
        Publishes("TNumIO2", {"Align", "Anchors", "Cursor", "Font", "HelpContext", "Hint", "Left",
                              "Top", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
                              "StyleElements", "TabOrder", "TabStop", "Tag", "Visible"}));
    EXPECT_TRUE(Publishes("TNumLab", {"Align", "Anchors", "Font", "ParentFont", "ParentShowHint",
                                      "PopupMenu", "ShowHint", "StyleElements", "Visible"}));
    EXPECT_TRUE(Publishes("TProgBar",
                          {"Align", "Anchors", "Constraints", "Font", "ParentFont",
                           "ParentShowHint", "PopupMenu", "ShowHint", "StyleElements", "Visible"}));
    EXPECT_TRUE(Publishes("TSevenSeg", {"Align", "Anchors", "ParentShowHint", "PopupMenu",
                                        "ShowHint", "StyleElements", "Visible"}));
    EXPECT_TRUE(Publishes("TRasterLab", {"Align", "Anchors", "ParentFont", "ParentShowHint",
                                         "PopupMenu", "ShowHint", "StyleElements", "Visible"}));
    // The report list's control properties; its grid properties (Options, DefaultDrawing,
    // FixedColor, ScrollBars, BorderStyle) come once its list starts from TCustomDrawGrid.
    EXPECT_TRUE(
        Publishes("TReportListView",
                  {"Align",          "Anchors",     "BiDiMode",      "Color",      "Constraints",
                   "Ctl3D",          "DragCursor",  "DragKind",      "DragMode",   "Font",
                   "ParentBiDiMode", "ParentColor", "ParentCtl3D",   "ParentFont", "ParentShowHint",
                   "PopupMenu",      "ShowHint",    "StyleElements", "TabOrder",   "Visible"}));
}

} // namespace
} // namespace kel::test
