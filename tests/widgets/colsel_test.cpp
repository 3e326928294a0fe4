// TColSel: the entries and the list items that carry their names, the ranges of NumColors and
// the indexed properties, SelColor found and not found, the palettes, renaming and cutting, the
// list opened and picked with the mouse, the keys and a typed name, the colour dialog cancelled
// and accepted (and not shown where it must not be), the drawing of bars, edit marks and
// disabled items, the form file, and reference images of three looks.
#include "KEL_Colsel.h"

#include "Kel_kelcolors.h"
#include "kel_dialogs.h"
#include "kel_form_fixture.h"
#include "kel_stdctrls.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace kel;

namespace {

class ColSelTest : public test::FormTest {
  protected:
    ColSelTest() : test::FormTest(240, 200) {}
    void SetUp() override {
        test::FormTest::SetUp();
        Application->SetClock(std::make_unique<TManualClock>());
        cs = new TColSel(form.get());
        cs->SetParent(form.get());
        cs->SetBounds(10, 10, 160, cs->Height());
        cs->SetOnChange([this](TObject*) { log.push_back("change " + cs->SelColorID()); });
        cs->SetOnClick([this](TObject*) { log.push_back("click " + cs->SelColorID()); });
        cs->SetOnDropDown([this](TObject*) { log.push_back("dropdown"); });
        cs->SetOnColorNameChange([this](TObject*, std::string& name) {
            log.push_back("name " + name);
            if (rename) name = "my " + name;
        });
        headless::Flush();
    }
    void TearDown() override {
        headless::Host().SetModalScript(nullptr);
        test::FormTest::TearDown();
    }
    std::string Log() {
        std::string s;
        for (const std::string& e : log) s += (s.empty() ? "" : " | ") + e;
        log.clear();
        return s;
    }
    std::vector<std::string> ItemTexts() const {
        std::vector<std::string> v;
        for (int i = 0; i < cs->Items().Count(); ++i) v.push_back(cs->Items()[i]);
        return v;
    }
    // Centre of list row Index in the form's client coordinates.
    TPoint RowOnForm(int Index) {
        TComboListWindow* l = cs->ListWindow();
        const TRect r = l->RowRect(Index);
        return form->ScreenToClient(
            l->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
    }
    // The closed box's item rectangle (where DrawItem draws the selected entry).
    TRect Face() const {
        const TRect a = cs->TextArea();
        return Rect(a.Left - 1, a.Top - 1, a.Right, a.Bottom + 1);
    }
    TColor Px(int x, int y) { return headless::PixelAt(*cs, x, y); }
    // Part of the colour dialog by name.
    template <class T = TControl>
    static T& Part(TForm& f, const char* name) {
        auto* c = dynamic_cast<T*>(f.FindComponent(name));
        if (c == nullptr) throw EInvalidOperation(std::string("no part ") + name);
        return *c;
    }
    static void ClickCentre(TControl& c) { headless::ClickAt(c, c.Width() / 2, c.Height() / 2); }
    static void TypeInto(TForm& f, const char* name, const std::string& text) {
        auto& e = Part<TEdit>(f, name);
        ClickCentre(e);
        e.SelectAll();
        headless::Type(f, text);
    }

    TColSel* cs = nullptr;
    std::vector<std::string> log;
    bool rename = false;
};

} // namespace

// ---- Entries and the list ---------------------------------------------------------------------

TEST_F(ColSelTest, StartsWithTwentyPredefinedColoursItemsNamedAfterTheirEntries) {
    EXPECT_EQ(cs->Style(), csOwnerDrawFixed);
    EXPECT_EQ(cs->NumColors(), 20);
    EXPECT_EQ(cs->ColorBarWidth(), 30);
    ASSERT_EQ(cs->Items().Count(), 20);
    EXPECT_EQ(cs->Items()[0], "clBlack");
    EXPECT_EQ(cs->Items()[9], "clRed");
    EXPECT_EQ(cs->Items()[19], "clMedGray");
    EXPECT_EQ(cs->ItemIndex(), 0);
    EXPECT_EQ(cs->SelColor(), clBlack);
    EXPECT_EQ(cs->SelColorID(), "clBlack");
    EXPECT_EQ(cs->Colors(20), clMedGray);
    EXPECT_FALSE(cs->ColorEditAllowed(1));
    // Nothing in the list is sorted, and every item names the entry it shows.
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(cs->Items()[i - 1], cs->ColorNames(i));
    EXPECT_EQ(Log(), "");
}

TEST_F(ColSelTest, NumColorsTakesOneToFortySevenAndSelectsEntryOne) {
    cs->SetSelColor(clRed);
    EXPECT_EQ(cs->SelColorIndex(), 10);
    cs->SetNumColors(0);
    cs->SetNumColors(48);
    EXPECT_EQ(cs->NumColors(), 20);
    EXPECT_EQ(cs->SelColorIndex(), 10);
    cs->SetNumColors(47);
    EXPECT_EQ(cs->SelColorIndex(), 1);
    EXPECT_EQ(cs->ItemIndex(), 0);
    ASSERT_EQ(cs->Items().Count(), 47);
    EXPECT_EQ(cs->Items()[46], "clMenuHighlight");
    EXPECT_EQ(cs->Colors(47), clMenuHighlight);
    cs->SetNumColors(1);
    EXPECT_EQ(ItemTexts(), std::vector<std::string>{"clBlack"});
    EXPECT_EQ(Log(), ""); // nothing a user did
}

TEST_F(ColSelTest, IndexesOutsideTheOfferedEntriesReadEmptyAndIgnoreWrites) {
    EXPECT_EQ(cs->Colors(0), 0u);
    EXPECT_EQ(cs->Colors(21), 0u); // exists (clScrollBar) but is not offered
    EXPECT_EQ(cs->ColorNames(0), "");
    EXPECT_EQ(cs->ColorNames(21), "");
    cs->SetColors(0, clRed);
    cs->SetColors(21, clRed);
    cs->SetColorNames(21, "x");
    cs->SetColorEditAllowed(21, true);
    EXPECT_FALSE(cs->ColorEditAllowed(0));
    EXPECT_EQ(Log(), "");
    cs->SetNumColors(21);
    EXPECT_EQ(cs->Colors(21), clScrollBar);
    EXPECT_EQ(cs->ColorNames(21), "clScrollBar");
    EXPECT_FALSE(cs->ColorEditAllowed(21));
}

TEST_F(ColSelTest, WritingAColourNamesItAndTheHandlerMayReplaceTheName) {
    cs->SetColors(3, RGB(0x56, 0x34, 0x12));
    EXPECT_EQ(cs->ColorNames(3), "$00123456");
    EXPECT_EQ(cs->Items()[2], "$00123456");
    rename = true;
    cs->SetColors(4, clBtnFace); // named as given: a system colour keeps its name
    EXPECT_EQ(cs->Colors(4), clBtnFace);
    EXPECT_EQ(cs->ColorNames(4), "my clBtnFace");
    EXPECT_EQ(cs->Items()[3], "my clBtnFace");
    EXPECT_EQ(Log(), "name $00123456 | name clBtnFace");
}

TEST_F(ColSelTest, SelColorSelectsTheFirstEntryOfThatRGBValue) {
    cs->SetSelColor(clRed);
    EXPECT_EQ(cs->SelColorIndex(), 10);
    EXPECT_EQ(cs->ItemIndex(), 9);
    EXPECT_EQ(cs->Text(), "clRed");
    cs->SetNumColors(47);
    cs->SetSelColor(clWindow); // white: entry 16 comes before clWindow itself (26)
    EXPECT_EQ(cs->SelColorIndex(), 16);
    EXPECT_EQ(cs->SelColorID(), "clWhite");
    cs->SetSelColor(clBtnFace); // RGB 240,240,240: clMenu (25) has it before clBtnFace (36)
    EXPECT_EQ(cs->SelColorIndex(), 25);
    EXPECT_EQ(cs->Colors(25), clMenu);
    EXPECT_EQ(Log(), "");
}

TEST_F(ColSelTest, SelColorNotOfferedReplacesTheSelectedEntry) {
    cs->SetSelColor(clYellow);
    ASSERT_EQ(cs->SelColorIndex(), 12);
    cs->SetSelColor(RGB(1, 2, 3));
    EXPECT_EQ(cs->SelColorIndex(), 12);
    EXPECT_EQ(cs->Colors(12), RGB(1, 2, 3));
    EXPECT_EQ(cs->ColorNames(12), "$00030201");
    EXPECT_EQ(cs->Items()[11], "$00030201");
    EXPECT_EQ(cs->ItemIndex(), 11); // the renamed item stays selected
    EXPECT_EQ(cs->Text(), "$00030201");
    // A system colour not offered is stored as it is and named by its RGB value.
    cs->SetSelColor(clBtnFace);
    EXPECT_EQ(cs->Colors(12), clBtnFace);
    EXPECT_EQ(cs->SelColorID(), "$00F0F0F0");
    EXPECT_EQ(Log(), "name $00030201 | name $00F0F0F0");
    EXPECT_EQ(cs->Colors(11), clLime); // the other entries are untouched
    // No item selected (set in code): no name, and the entry stays selected for SelColor.
    cs->SetItemIndex(-1);
    EXPECT_EQ(cs->SelColorID(), "");
    EXPECT_EQ(cs->SelColor(), clBtnFace);
}

TEST_F(ColSelTest, PalettesLoadTheirPartOfThePredefinedColours) {
    cs->SetSelColor(clBlue);
    cs->LoadWindowsSystemPalette();
    EXPECT_EQ(cs->NumColors(), 27);
    EXPECT_EQ(cs->SelColorIndex(), 1);
    EXPECT_EQ(cs->Colors(1), clScrollBar);
    EXPECT_EQ(cs->Colors(27), clMenuHighlight);
    ASSERT_EQ(cs->Items().Count(), 27);
    EXPECT_EQ(cs->Items()[0], "clScrollBar");
    EXPECT_EQ(cs->Text(), "clScrollBar");
    std::string l = Log();
    EXPECT_EQ(std::count(l.begin(), l.end(), '|'), 26); // 27 names, one event each
    EXPECT_EQ(l.substr(0, 16), "name clScrollBar");
    cs->LoadBasicVGAPalette();
    EXPECT_EQ(cs->NumColors(), 16);
    EXPECT_EQ(cs->Items()[15], "clWhite");
    EXPECT_EQ(cs->Colors(1), clBlack);
    cs->LoadExtendedPalette();
    EXPECT_EQ(cs->NumColors(), 20);
    EXPECT_EQ(cs->Colors(20), clMedGray);
    cs->LoadStandardPalette();
    EXPECT_EQ(cs->NumColors(), 47);
    for (int i = 1; i <= 47; ++i) ASSERT_EQ(cs->Colors(i), PredefinedColors[std::size_t(i - 1)]);
}

TEST_F(ColSelTest, ColorNamesRenamesAnEntryCutLikeEveryOtherName) {
    cs->SetSelColor(clTeal);
    cs->SetColorNames(7, "Sea");
    EXPECT_EQ(cs->ColorNames(7), "Sea");
    EXPECT_EQ(cs->Items()[6], "Sea");
    EXPECT_EQ(cs->ItemIndex(), 6);
    EXPECT_EQ(cs->SelColorID(), "Sea");
    EXPECT_EQ(cs->Text(), "Sea");
    // 60 characters, two bytes each: the first 50 are kept, never half a character.
    std::string longName;
    for (int i = 0; i < 60; ++i) longName += "\xC3\xA4";
    cs->SetColorNames(2, longName);
    EXPECT_EQ(cs->ColorNames(2), longName.substr(0, 100));
    // A handler's name is cut the same way.
    cs->SetOnColorNameChange([](TObject*, std::string& n) { n = std::string(70, 'x'); });
    cs->SetColors(3, clRed);
    EXPECT_EQ(cs->ColorNames(3), std::string(50, 'x'));
    EXPECT_EQ(cs->Items()[2], std::string(50, 'x'));
    EXPECT_EQ(Log(), ""); // renaming names no colour
}

// ---- Picking ----------------------------------------------------------------------------------

TEST_F(ColSelTest, MousePickFromTheListSelectsItsEntry) {
    headless::ClickAt(*cs, 100, 8); // over the name: no dialog, the list opens
    ASSERT_TRUE(cs->DroppedDown());
    const TPoint p = RowOnForm(3);
    headless::ClickAt(*form, p.X, p.Y);
    EXPECT_FALSE(cs->DroppedDown());
    EXPECT_EQ(cs->SelColorIndex(), 4);
    EXPECT_EQ(cs->SelColor(), clOlive);
    EXPECT_EQ(Log(), "dropdown | click clOlive | change clOlive");
}

TEST_F(ColSelTest, KeysStepOpenAndPick) {
    cs->SetFocus();
    headless::KeyStroke(*form, VK_DOWN); // closed: the next entry at once
    EXPECT_EQ(cs->SelColor(), clMaroon);
    headless::KeyStroke(*form, VK_F4);
    ASSERT_TRUE(cs->DroppedDown());
    headless::KeyStroke(*form, VK_DOWN);
    headless::KeyStroke(*form, VK_DOWN);
    headless::KeyStroke(*form, VK_ESCAPE); // closed without a change
    EXPECT_EQ(cs->SelColorIndex(), 2);
    headless::KeyDown(*form, VK_DOWN, {ssAlt});
    headless::KeyStroke(*form, VK_END);
    headless::KeyStroke(*form, VK_RETURN);
    EXPECT_EQ(cs->SelColorIndex(), 20);
    EXPECT_EQ(cs->SelColor(), clMedGray);
    EXPECT_EQ(Log(), "click clMaroon | change clMaroon | dropdown | dropdown | click clMedGray | "
                     "change clMedGray");
}

TEST_F(ColSelTest, TypedNamesFindTheEntriesByTheirItems) {
    cs->SetColorNames(5, "Zebra");
    cs->SetFocus();
    headless::Type(*form, "z");
    EXPECT_EQ(cs->SelColorIndex(), 5);
    Application->Advance(1500);
    headless::Type(*form, "cly");
    EXPECT_EQ(cs->SelColor(), clYellow);
}

// ---- The colour dialog ------------------------------------------------------------------------

TEST_F(ColSelTest, DialogOverTheBarOfAnEditableEntryCancelledChangesNothing) {
    cs->SetColorEditAllowed(1, true);
    std::string shown;
    headless::WhenModal([&](TForm& f) {
        shown = Part<TEdit>(f, "RedEdit").Text() + "," + Part<TEdit>(f, "LumEdit").Text();
        TypeInto(f, "RedEdit", "200");
        ClickCentre(Part(f, "CancelButton"));
    });
    headless::ClickAt(*cs, 10, 8);
    EXPECT_EQ(shown, "0,0"); // started at the entry's colour, black
    EXPECT_TRUE(cs->DroppedDown());
    EXPECT_EQ(cs->Colors(1), clBlack);
    EXPECT_EQ(cs->ColorNames(1), "clBlack");
    EXPECT_EQ(Log(), "dropdown");
    headless::KeyStroke(*form, VK_ESCAPE);
    EXPECT_FALSE(cs->DroppedDown());
}

TEST_F(ColSelTest, DialogAcceptedRedefinesTheEntryThenTheListOpens) {
    cs->SetAllColorEditFlags();
    cs->SetSelColor(clNavy);
    rename = true;
    headless::WhenModal([&](TForm& f) {
        TypeInto(f, "RedEdit", "10");
        TypeInto(f, "GreenEdit", "20");
        TypeInto(f, "BlueEdit", "30");
        ClickCentre(Part(f, "OKButton"));
    });
    headless::MoveTo(*cs, 5, 8);
    headless::ClickAt(*cs, 29, 8); // the last pixel column of the bar
    EXPECT_EQ(cs->Colors(5), RGB(10, 20, 30));
    EXPECT_EQ(cs->SelColor(), RGB(10, 20, 30));
    EXPECT_EQ(cs->ColorNames(5), "my $001E140A");
    EXPECT_EQ(cs->Items()[4], "my $001E140A");
    EXPECT_EQ(cs->ItemIndex(), 4);
    EXPECT_TRUE(cs->DroppedDown());
    // OnChange while the entry still has its old name, then the name, then the list.
    EXPECT_EQ(Log(), "change clNavy | name $001E140A | dropdown");
}

TEST_F(ColSelTest, NoDialogOverTheNameForAFixedEntryOrAfterTheMouseLeft) {
    headless::WhenModal([&](TForm& f) {
        log.push_back("dialog");
        f.Close();
    });
    cs->SetColorEditAllowed(1, true);
    headless::ClickAt(*cs, 30, 8); // just right of the bar
    headless::KeyStroke(*form, VK_ESCAPE);
    cs->SetColorEditAllowed(1, false);
    headless::ClickAt(*cs, 10, 8); // over the bar, but entry 1 is fixed
    headless::KeyStroke(*form, VK_ESCAPE);
    cs->SetColorEditAllowed(1, true);
    headless::MoveTo(*cs, 10, 8);
    headless::MoveTo(*form, 200, 180); // left the box: F4 asks for no colour
    headless::KeyStroke(*form, VK_F4);
    EXPECT_EQ(Log(), "dropdown | dropdown | dropdown");
    // The bar is where the mouse was last: over it, F4 asks.
    headless::KeyStroke(*form, VK_ESCAPE);
    headless::MoveTo(*cs, 10, 8);
    headless::KeyStroke(*form, VK_F4);
    EXPECT_EQ(Log(), "dialog | dropdown");
}

// ---- Drawing ----------------------------------------------------------------------------------

TEST(ColSelEditMark, WhiteOnDarkBlackOnLight) {
    EXPECT_EQ(ColSelEditMarkColor(RGB(180, 180, 180)), clWhite); // brightness 180
    EXPECT_EQ(ColSelEditMarkColor(RGB(181, 181, 181)), clBlack);
    EXPECT_EQ(ColSelEditMarkColor(clLime), clBlack); // green counts twice: 180.3
    EXPECT_EQ(ColSelEditMarkColor(clBlue), clWhite); // 127.5
    EXPECT_EQ(ColSelEditMarkColor(RGB(0, 180, 0)), clWhite);
    EXPECT_EQ(ColSelEditMarkColor(clWindow), clBlack); // system colours resolved
}

TEST_F(ColSelTest, BarsEditMarksAndNamesOfTheClosedBox) {
    const TRect f = Face();
    const int L = f.Left, T = f.Top, B = f.Bottom;
    const TColor window = ColorToRGB(clWindow);
    // Entry 1, black, fixed: a black bar with a black outline, the name right of it.
    EXPECT_EQ(Px(L + 3, T + 2), clBlack);
    EXPECT_EQ(Px(L + 8, T + 6), clBlack);
    EXPECT_EQ(Px(L + 33, T + 6), window); // just right of the bar
    cs->SetColorEditAllowed(1, true);     // a dark entry gets a white mark
    EXPECT_EQ(Px(L + 5, T + 6), clWhite);
    EXPECT_EQ(Px(L + 8, B - 5), clWhite);
    EXPECT_EQ(Px(L + 11, T + 7), clWhite);
    EXPECT_EQ(Px(L + 13, T + 6), clBlack);
    cs->SetSelColor(clYellow);
    cs->SetColorEditAllowed(12, true); // a light one a black mark
    EXPECT_EQ(Px(L + 5, T + 6), clBlack);
    EXPECT_EQ(Px(L + 8, T + 6), clYellow);
    cs->SetColorBarWidth(11); // too narrow for the mark
    EXPECT_EQ(Px(L + 5, T + 6), clYellow);
    EXPECT_EQ(Px(L + 13, T + 6), clBlack); // the bar's right edge
    EXPECT_EQ(Px(L + 14, T + 6), window);
    cs->SetColorBarWidth(12);
    EXPECT_EQ(Px(L + 5, T + 6), clBlack);
    cs->SetColorBarWidth(-1); // ignored
    EXPECT_EQ(cs->ColorBarWidth(), 12);
    cs->SetColorBarWidth(0); // names only
    TBitmap shot;
    headless::Snapshot(*cs, shot);
    EXPECT_EQ(test::PixelsOf(shot, clYellow), "");
    EXPECT_EQ(Px(L + 4, T + 6), window);
}

TEST_F(ColSelTest, DisabledItemsAreGreyWithoutEditMarks) {
    cs->SetAllColorEditFlags();
    cs->SetSelColor(clRed);
    cs->SetEnabled(false);
    const TRect f = Face();
    const int L = f.Left, T = f.Top;
    EXPECT_EQ(Px(L + 8, T + 6), TColor(0xC0C0C0));
    EXPECT_EQ(Px(L + 3, T + 6), TColor(0x808080));
    EXPECT_EQ(Px(L + 5, T + 6), TColor(0xC0C0C0)); // no mark
    TBitmap shot;
    headless::Snapshot(*cs, shot);
    EXPECT_EQ(test::PixelsOf(shot, clRed), "");
    EXPECT_NE(test::PixelsOf(shot, TColor(0x808080)), ""); // the grey name
}

// ---- Form files -------------------------------------------------------------------------------

TEST_F(ColSelTest, FormFileSetsTheEntriesBeforeTheColourAndFillsTheList) {
    std::istringstream in("object F: TForm\n  object C: TColSel\n    SelColor = clAqua\n"
                          "    NumColors = 16\n    ColorBarWidth = 20\n  end\nend\n");
    std::unique_ptr<TComponent> f(ReadComponent(in, nullptr));
    auto* c = dynamic_cast<TColSel*>(f->FindComponent("C"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->NumColors(), 16);
    EXPECT_EQ(c->Items().Count(), 16);
    EXPECT_EQ(c->SelColor(), clAqua);
    EXPECT_EQ(c->SelColorIndex(), 15);
    EXPECT_EQ(c->Text(), "clAqua");
    EXPECT_EQ(c->ColorBarWidth(), 20);
    std::ostringstream out;
    WriteComponent(out, *c);
    EXPECT_NE(out.str().find("SelColor = clAqua"), std::string::npos);
    EXPECT_EQ(out.str().find("DropDownCount"), std::string::npos); // at its default
}

// ---- Pictures ---------------------------------------------------------------------------------

TEST_F(ColSelTest, Pictures) {
    TBitmap shot;
    headless::Snapshot(*cs, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "colsel_default"));

    cs->SetColorEditAllowed(3, true);
    cs->SetColorEditAllowed(12, true);
    cs->SetColorEditAllowed(13, true);
    cs->SetColors(13, RGB(0, 90, 200));
    cs->SetSelColor(clGreen);
    cs->SetFocus();
    headless::KeyStroke(*form, VK_F4);
    headless::KeyStroke(*form, VK_DOWN);
    headless::KeyStroke(*form, VK_DOWN);
    TBitmap full;
    headless::Snapshot(*form, full);
    shot.SetSize(180, 160);
    shot.Canvas().CopyRect(Rect(0, 0, 180, 160), full.Canvas(), Rect(0, 0, 180, 160));
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "colsel_dropped"));
    headless::KeyStroke(*form, VK_ESCAPE);

    cs->SetEnabled(false);
    headless::Snapshot(*cs, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "colsel_disabled"));
}
