// Every component's published names against the list its documentation gives (the table in
// tests/support/kel_published_names.cpp): a name missing from the registrar, spelt otherwise,
// or declared without being documented is reported, and so is a registered component that has
// no line in the table yet.
#include "KEL_FolderTree.h"
#include "KEL_Meter.h"
#include "KEL_NumIO.h"
#include "KEL_NumLab.h"
#include "KEL_ProgBar.h"
#include "KEL_RasterLab.h"
#include "KEL_RotLab.h"
#include "KEL_gradfl.h"
#include "KEL_replist.h"
#include "KEL_repsbut.h"
#include "KEL_sevenseg.h"
#include "kel_props.h"
#include "kel_published_names.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kel::test {
namespace {

// Creating one of each links its unit, and so its registrar, into this test.
void LinkComponents() {
    std::unique_ptr<TComponent> keep[] = {
        std::make_unique<TMeter>(nullptr),          std::make_unique<TNumLab>(nullptr),
        std::make_unique<TProgBar>(nullptr),        std::make_unique<TSevenSeg>(nullptr),
        std::make_unique<TRasterLab>(nullptr),      std::make_unique<TNumIO>(nullptr),
        std::make_unique<TNumIO2>(nullptr),         std::make_unique<TRLData>(nullptr),
        std::make_unique<TReportListView>(nullptr), std::make_unique<TRotLab>(nullptr),
        std::make_unique<TGradFill>(nullptr),       std::make_unique<TFolderTree>(nullptr),
        std::make_unique<TRepSpeedButton>(nullptr)};
    (void)keep;
}

TEST(PublishedNames, EveryComponentPublishesTheNamesItsDocumentationLists) {
    LinkComponents();
    int checked = 0;
    for (const TListedNames& entry : ListedPublishedNames()) {
        if (FindClass(entry.Class) == nullptr) continue; // not built yet
        ++checked;
        EXPECT_TRUE(PublishesItsListedNames(entry));
    }
    // The components linked above are all in the table.
    EXPECT_GE(checked, 14);
}

TEST(PublishedNames, EveryRegisteredComponentHasALineInTheTable) {
    LinkComponents();
    std::string without;
    for (const std::string& name : RegisteredClassesWithoutListedNames()) without += " " + name;
    EXPECT_TRUE(without.empty())
        << "registered without a line in tests/support/kel_published_names.cpp:" << without;
}

// The check itself: a name the documentation lists but the registrar lacks, a misspelt one, and
// a name a class declares without its documentation listing it are each reported.
TEST(PublishedNames, TheCheckFindsMissingMisspeltAndUnlistedNames) {
    LinkComponents();
    TListedNames entry = {"TSevenSeg",
                          {"Caption", "ColorBackGnd", "ColorScheme", "ColorText", "FrameStyle",
                           "InterDigDist", "Margin", "NumDigits", "Align", "Anchors",
                           "ParentShowHint", "PopupMenu", "ShowHint", "StyleElements", "Visible"}};
    ASSERT_TRUE(PublishesItsListedNames(entry));
    TListedNames missing = entry;
    missing.Names.push_back("Blink");
    auto r = PublishesItsListedNames(missing);
    EXPECT_FALSE(r);
    EXPECT_NE(std::string(r.message()).find("listed but not published: Blink"), std::string::npos)
        << r.message();
    TListedNames misspelt = entry;
    misspelt.Names[1] = "ColorBackgnd";
    r = PublishesItsListedNames(misspelt);
    EXPECT_FALSE(r);
    EXPECT_NE(std::string(r.message()).find("not published: ColorBackgnd"), std::string::npos);
    EXPECT_NE(std::string(r.message()).find("not listed: ColorBackGnd"), std::string::npos);
    TListedNames unlisted = entry;
    unlisted.Names.erase(unlisted.Names.begin() + 7); // NumDigits
    r = PublishesItsListedNames(unlisted);
    EXPECT_FALSE(r);
    EXPECT_NE(std::string(r.message()).find("not listed: NumDigits"), std::string::npos);
    // A usual class's names count as listed, and must be published.
    TListedNames rep = {
        "TRepSpeedButton", {"RepeatClickInterval", "StartClickInterval"}, "TSpeedButton"};
    EXPECT_TRUE(PublishesItsListedNames(rep));
    rep.Usual = "TMeter";
    EXPECT_FALSE(PublishesItsListedNames(rep));
}

} // namespace
} // namespace kel::test
