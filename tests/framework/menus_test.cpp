// Popup menus: OnClick after the menu closed, disabled items, submenus on hover, keys and
// accelerators, the control's PopupMenu on a right-button release, freeing the items, a
// picture of an open menu, and the item tree in form files.
#include "controls_test_util.h"
#include "kel_menus.h"
#include "kel_stdctrls.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

namespace kel::test {
namespace {

class MenuTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        menu = std::make_unique<TPopupMenu>(nullptr);
        open = Add(menu->Items(), "&Open");
        save = Add(menu->Items(), "&Save");
        Add(menu->Items(), "-");
        recent = Add(menu->Items(), "&Recent");
        first = Add(recent, "First");
        second = Add(recent, "Second");
        quit = Add(menu->Items(), "&Quit");
    }
    void TearDown() override {
        menu.reset();
        FormFixture::TearDown();
    }
    TMenuItem* Add(TMenuItem* parent, const std::string& caption) {
        auto* it = new TMenuItem(nullptr);
        it->SetCaption(caption);
        it->SetOnClick([this, caption](TObject*) {
            log.push_back("click " + caption + (menu->IsOpen() ? " open" : " closed") +
                          (OpenPopupCount() == 0 ? "" : " popups"));
        });
        parent->Add(it);
        return it;
    }
    // Centre of item Index's row in menu level Level, in the level window's client coordinates.
    TPoint RowCentre(int Level, int Index) {
        TPopupWindow* w = menu->Level(Level);
        TMenuItem* parent = Level == 0 ? menu->Items() : menu->Items()->Items(3);
        int y = TMenuMetrics::Border;
        for (int i = 0; i < Index; ++i)
            if (parent->Items(i)->Visible()) y += MenuItemHeight(w->Canvas(), *parent->Items(i));
        return {w->ClientWidth() / 2, y + MenuItemHeight(w->Canvas(), *parent->Items(Index)) / 2};
    }
    void ClickItem(int Level, int Index) {
        TPoint p = RowCentre(Level, Index);
        headless::ClickAt(*menu->Level(Level), p.X, p.Y);
    }

    std::unique_ptr<TPopupMenu> menu;
    TMenuItem *open = nullptr, *save = nullptr, *recent = nullptr, *first = nullptr,
              *second = nullptr, *quit = nullptr;
};

TEST_F(MenuTest, ChosenItemClickRunsAfterTheMenuClosedAndPopupReturned) {
    headless::WhenModal([&](TForm&) {
        log.push_back("menu shown");
        ClickItem(0, 1);
        log.push_back("clicked");
    });
    menu->Popup(40, 30);
    log.push_back("popup returned");
    EXPECT_EQ(Log(), "menu shown clicked popup returned");
    headless::Flush();
    EXPECT_EQ(Log(), "menu shown clicked popup returned click &Save closed");
    EXPECT_EQ(OpenPopupCount(), 0);
}

TEST_F(MenuTest, AModalResultOnTheMenuWindowClosesItWithoutAChoice) {
    // What a script does with any modal loop (the monkey test's): set a modal result.
    headless::WhenModal([](TForm& f) { f.SetModalResult(mrCancel); });
    menu->Popup(40, 30);
    headless::Flush();
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_EQ(Log(), "");
    headless::WhenModal([&](TForm&) { ClickItem(0, 1); });
    menu->Popup(40, 30); // the result of the last time does not close it at once
    headless::Flush();
    EXPECT_EQ(Log(), "click &Save closed");
}

TEST_F(MenuTest, AnOnClickMayOpenTheMenuAgain) {
    // As the table editor's "Change Precision" does: the handler reopens the menu.
    int reopened = 0;
    save->SetOnClick([&](TObject*) {
        if (reopened++ > 0) return;
        headless::WhenModal([&](TForm&) { headless::KeyStroke(*form, VK_ESCAPE); });
        menu->Popup(40, 30);
        log.push_back("reopened and closed");
    });
    headless::WhenModal([&](TForm&) { ClickItem(0, 1); });
    menu->Popup(40, 30);
    headless::Flush();
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(Log(), "reopened and closed");
    EXPECT_FALSE(menu->IsOpen());
}

TEST_F(MenuTest, OnPopupFiresBeforeTheMenuShowsAndMayDisableItems) {
    menu->SetOnPopup([&](TObject*) {
        log.push_back(std::string("onpopup ") + (OpenPopupCount() == 0 ? "before" : "after"));
        save->SetEnabled(false);
    });
    headless::WhenModal([&](TForm&) { ClickItem(0, 1); });
    EXPECT_THROW(menu->Popup(10, 10), EInvalidOperation); // nothing could close it any more
    headless::Flush();
    EXPECT_EQ(Log(), "onpopup before");
    EXPECT_EQ(OpenPopupCount(), 0);
}

TEST_F(MenuTest, DisabledItemsIgnoreClicksAndKeys) {
    save->SetEnabled(false);
    headless::WhenModal([&](TForm&) {
        ClickItem(0, 1); // disabled: nothing
        log.push_back(menu->IsOpen() ? "still open" : "closed");
        TForm& top = *menu->Level(0);
        headless::KeyStroke(top, VK_DOWN); // Open
        headless::KeyStroke(top, VK_DOWN); // skips Save and the separator: Recent
        log.push_back("hot " + std::to_string(menu->HotIndex(0)));
        headless::Type(top, "s"); // the accelerator of a disabled item chooses nothing
        log.push_back(menu->IsOpen() ? "still open" : "closed");
        headless::KeyStroke(top, VK_ESCAPE);
    });
    menu->Popup(0, 0);
    headless::Flush();
    EXPECT_EQ(Log(), "still open hot 3 still open");
}

TEST_F(MenuTest, SubmenuOpensOnHoverAndItsLeafIsChosen) {
    headless::WhenModal([&](TForm&) {
        TPoint p = RowCentre(0, 3);
        headless::MoveTo(*menu->Level(0), p.X, p.Y);
        log.push_back("levels " + std::to_string(menu->LevelCount()));
        // The submenu lies beside the Recent row, to the right of the first level.
        log.push_back(menu->Level(1)->Left() > menu->Level(0)->Left() ? "right" : "left");
        p = RowCentre(0, 0); // pointing at another item closes the submenu
        headless::MoveTo(*menu->Level(0), p.X, p.Y);
        log.push_back("levels " + std::to_string(menu->LevelCount()));
        p = RowCentre(0, 3);
        headless::MoveTo(*menu->Level(0), p.X, p.Y);
        ClickItem(1, 1);
    });
    menu->Popup(50, 50);
    headless::Flush();
    EXPECT_EQ(Log(), "levels 2 right levels 1 click Second closed");
}

TEST_F(MenuTest, ClickingTheSubmenuItemItselfChoosesNothing) {
    headless::WhenModal([&](TForm&) {
        ClickItem(0, 3);
        log.push_back(menu->IsOpen() ? "open" : "closed");
        headless::KeyStroke(*menu->Level(1), VK_ESCAPE); // closes the submenu only
        log.push_back("levels " + std::to_string(menu->LevelCount()));
        headless::KeyStroke(*menu->Level(0), VK_ESCAPE);
    });
    menu->Popup(50, 50);
    headless::Flush();
    EXPECT_EQ(Log(), "open levels 1");
}

TEST_F(MenuTest, KeysMoveOpenSubmenusAndChoose) {
    headless::WhenModal([&](TForm&) {
        // Keys typed on the owner form go to the menu, which takes them.
        headless::KeyStroke(*form, VK_UP); // wraps to the last item: Quit
        log.push_back("hot " + std::to_string(menu->HotIndex(0)));
        headless::KeyStroke(*form, VK_UP);
        headless::KeyStroke(*form, VK_RIGHT); // opens Recent with its first item
        log.push_back("levels " + std::to_string(menu->LevelCount()) + " hot " +
                      std::to_string(menu->HotIndex(1)));
        headless::KeyStroke(*form, VK_LEFT);
        log.push_back("levels " + std::to_string(menu->LevelCount()));
        headless::KeyStroke(*form, VK_RETURN); // on Recent: opens it again
        headless::KeyStroke(*form, VK_DOWN);
        headless::KeyStroke(*form, VK_RETURN);
    });
    menu->Popup(50, 50);
    headless::Flush();
    EXPECT_EQ(Log(), "hot 4 levels 2 hot 0 levels 1 click Second closed");
}

TEST_F(MenuTest, AcceleratorLetterChoosesItsItem) {
    headless::WhenModal([&](TForm&) { headless::Type(*form, "q"); });
    menu->Popup(50, 50);
    headless::Flush();
    EXPECT_EQ(Log(), "click &Quit closed");
}

TEST_F(MenuTest, EscapeAndAPressOutsideCloseWithoutAChoice) {
    headless::WhenModal([&](TForm&) { headless::KeyStroke(*form, VK_ESCAPE); });
    menu->Popup(50, 50);
    // A press on the form beside the menu closes it and reaches no control.
    auto* target = new TCountingWin(form.get());
    target->SetParent(form.get());
    target->SetBounds(0, 0, 30, 30);
    WatchMouse(*target, "t");
    headless::WhenModal([&](TForm&) { headless::ClickAt(*form, 5, 5); });
    menu->Popup(100, 100);
    headless::Flush();
    EXPECT_EQ(Log(), "");
    EXPECT_FALSE(menu->IsOpen());
    headless::ClickAt(*form, 5, 5); // afterwards the control gets clicks again
    EXPECT_NE(Log().find("t.click"), std::string::npos);
}

TEST_F(MenuTest, InvisibleItemsAreLeftOut) {
    save->SetVisible(false);
    headless::WhenModal([&](TForm&) { ClickItem(0, 0); });
    TSize all = MenuSize(form->Canvas(), *menu->Items());
    menu->Popup(50, 50);
    headless::Flush();
    save->SetVisible(true);
    TSize with = MenuSize(form->Canvas(), *menu->Items());
    EXPECT_EQ(with.cy - all.cy, MenuItemHeight(form->Canvas(), *save));
}

TEST_F(MenuTest, RightReleaseOnAControlOpensItsPopupMenuAtThePointer) {
    auto* c = new TCountingWin(form.get());
    c->SetParent(form.get());
    c->SetBounds(20, 20, 100, 60);
    c->SetPopupMenu(menu.get());
    TPoint at{-1, -1};
    headless::WhenModal([&](TForm&) {
        at = menu->Level(0)->ClientOrigin();
        log.push_back(menu->PopupComponent() == c ? "component" : "none");
        headless::KeyStroke(*form, VK_ESCAPE);
    });
    headless::MouseDownAt(*c, 10, 15, mbRight);
    EXPECT_FALSE(menu->IsOpen()); // the press opens nothing
    headless::MouseUpAt(*c, 10, 15, mbRight);
    EXPECT_EQ(at, c->ClientToScreen({10, 15}));
    EXPECT_EQ(Log(), "component");
    // A menu deleted before the control is forgotten by it.
    menu.reset();
    EXPECT_EQ(c->PopupMenu(), nullptr);
}

TEST_F(MenuTest, MenuFreesItsItemsAndItemsLeaveTheirParent) {
    auto h1 = first->Handle(), h2 = recent->Handle();
    recent->Delete(0);
    EXPECT_EQ(*h1, nullptr);
    EXPECT_EQ(recent->Count(), 1);
    auto* loose = new TMenuItem(nullptr);
    recent->Add(loose);
    EXPECT_THROW(save->Add(loose), EMenuError); // already in a menu
    recent->Remove(loose);
    EXPECT_EQ(loose->Parent(), nullptr);
    delete loose;
    menu.reset();
    EXPECT_EQ(*h2, nullptr);
}

TEST_F(MenuTest, HotkeyHelpers) {
    EXPECT_EQ(StripHotkey("&File"), "File");
    EXPECT_EQ(StripHotkey("Fish && &Chips"), "Fish & Chips");
    EXPECT_EQ(GetHotkey("Fish && &chips"), U'C');
    EXPECT_EQ(GetHotkey("A && B"), 0u);
    EXPECT_EQ(HotkeyIndex("Fish && &Chips"), 7);
}

TEST_F(MenuTest, BitmapIsDrawnWithItsBottomLeftColourTransparent) {
    TBitmap b;
    b.SetSize(12, 12);
    b.Canvas().Brush().SetColor(clFuchsia);
    b.Canvas().FillRect(Rect(0, 0, 12, 12));
    b.Canvas().Brush().SetColor(clBlue);
    b.Canvas().FillRect(Rect(2, 2, 10, 10));
    quit->SetBitmap(b);
    TColor corner = 0, centre = 0;
    headless::WhenModal([&](TForm&) {
        TPopupWindow* w = menu->Level(0);
        TPoint c = RowCentre(0, 4);
        const int bx = TMenuMetrics::Border + TMenuMetrics::Gutter / 2;
        centre = headless::PixelAt(*w, bx, c.Y);
        corner = headless::PixelAt(*w, bx - 5, c.Y - 5);
        headless::KeyStroke(*form, VK_ESCAPE);
    });
    menu->Popup(20, 20);
    EXPECT_EQ(centre, clBlue);
    EXPECT_EQ(ColorToRGB(corner), ColorToRGB(clMenu));
}

TEST_F(MenuTest, OpenMenuShowsInTheFormSnapshot) {
    save->SetEnabled(false);
    open->SetChecked(true);
    form->SetColor(clWhite);
    TBitmap shot;
    headless::WhenModal([&](TForm&) {
        TPoint p = RowCentre(0, 3);
        headless::MoveTo(*menu->Level(0), p.X, p.Y); // Recent highlighted, its submenu open
        headless::Snapshot(*form, shot);
        headless::KeyStroke(*form, VK_ESCAPE);
        headless::KeyStroke(*form, VK_ESCAPE);
    });
    menu->Popup(form->ClientOrigin().X + 4, form->ClientOrigin().Y + 4);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/menus_open"));
}

// ---- Form files -------------------------------------------------------------------------------

// Items are written inside their menu's block (subitems inside their item's), whoever owns
// them, and read back into the same tree with their properties.
TEST_F(MenuTest, FormFilesStoreTheItemTreeInsideTheMenu) {
    TForm f(nullptr);
    f.SetName("F");
    auto* m = new TPopupMenu(&f);
    m->SetName("Menu");
    // Items owned by the form (named) and by nobody (unnamed), as applications make them.
    auto* file = new TMenuItem(&f);
    file->SetName("FileItem");
    file->SetCaption("&File");
    m->Items()->Add(file);
    auto* recentItem = new TMenuItem(nullptr);
    recentItem->SetCaption("Recent");
    recentItem->SetChecked(true);
    file->Add(recentItem);
    auto* deep = new TMenuItem(nullptr);
    deep->SetCaption("one.txt");
    deep->SetEnabled(false);
    recentItem->Add(deep);
    auto* line = new TMenuItem(nullptr);
    line->SetCaption("-");
    m->Items()->Add(line);
    auto* hidden = new TMenuItem(&f);
    hidden->SetName("Hidden");
    hidden->SetCaption("Secret");
    hidden->SetVisible(false);
    hidden->SetHint("not shown");
    m->Items()->Add(hidden);
    auto* box = new TEdit(&f);
    box->SetName("Box");
    box->SetParent(&f);
    box->SetPopupMenuFrom(m);
    const std::string text = ComponentToText(f);
    const std::string expected = "  object Menu: TPopupMenu\n"
                                 "    object FileItem: TMenuItem\n"
                                 "      Caption = \"&File\"\n"
                                 "      object TMenuItem\n"
                                 "        Caption = \"Recent\"\n"
                                 "        Checked = true\n"
                                 "        object TMenuItem\n"
                                 "          Caption = \"one.txt\"\n"
                                 "          Enabled = false\n"
                                 "        end\n"
                                 "      end\n"
                                 "    end\n"
                                 "    object TMenuItem\n"
                                 "      Caption = \"-\"\n"
                                 "    end\n"
                                 "    object Hidden: TMenuItem\n";
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    // Once, inside the menu: not again at the form's level.
    EXPECT_EQ(text.find("object FileItem"), text.rfind("object FileItem")) << text;
    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    auto* m2 = dynamic_cast<TPopupMenu*>(back->FindComponent("Menu"));
    ASSERT_NE(m2, nullptr);
    ASSERT_EQ(m2->Items()->Count(), 3);
    TMenuItem* f2 = m2->Items()->Items(0);
    EXPECT_EQ(f2, back->FindComponent("FileItem"));
    ASSERT_EQ(f2->Count(), 1);
    EXPECT_TRUE(f2->Items(0)->Checked());
    ASSERT_EQ(f2->Items(0)->Count(), 1);
    EXPECT_FALSE(f2->Items(0)->Items(0)->Enabled());
    EXPECT_EQ(f2->Items(0)->Items(0)->GetParentMenu(), m2);
    EXPECT_TRUE(m2->Items()->Items(1)->IsLine());
    EXPECT_FALSE(m2->Items()->Items(2)->Visible());
    EXPECT_EQ(m2->Items()->Items(2)->Hint(), "not shown");
    auto* box2 = dynamic_cast<TEdit*>(back->FindComponent("Box"));
    ASSERT_NE(box2, nullptr);
    EXPECT_EQ(box2->PopupMenuComponent(), m2);
    EXPECT_EQ(ComponentToText(*back), text);
    // Freeing the form read back frees the menu and its items once each (a sanitizer build
    // sees a double free here).
    back.reset();
}

TEST_F(MenuTest, AMenuFileWithAForeignObjectAmongTheItemsIsRefusedAndNothingChanges) {
    const std::string bad = "object F: TForm\n"
                            "  object Menu: TPopupMenu\n"
                            "    object A: TMenuItem\n"
                            "      Caption = \"A\"\n"
                            "      object M2: TPopupMenu\n"
                            "      end\n"
                            "    end\n"
                            "  end\n"
                            "end\n";
    try {
        std::unique_ptr<TComponent> f(ComponentFromText(bad, nullptr));
        ADD_FAILURE() << "read";
    } catch (const EFormFileError& e) {
        EXPECT_EQ(e.Line(), 5);
        EXPECT_NE(std::string(e.what()).find("a TPopupMenu cannot be an item of a menu"),
                  std::string::npos)
            << e.what();
    }
    // Reading items into an existing menu appends them; a fault leaves the menu as it was.
    TPopupMenu target(nullptr);
    auto* keep = new TMenuItem(nullptr);
    keep->SetCaption("Keep");
    target.Items()->Add(keep);
    EXPECT_THROW(ComponentFromTextInto("object TPopupMenu\n  object TMenuItem\n    Caption = "
                                       "\"x\"\n    Checked = 3\n  end\nend\n",
                                       target),
                 EFormFileError);
    ASSERT_EQ(target.Items()->Count(), 1);
    ComponentFromTextInto("object TPopupMenu\n  object TMenuItem\n    Caption = \"New\"\n"
                          "    object TMenuItem\n      Caption = \"Sub\"\n    end\n  end\nend\n",
                          target);
    ASSERT_EQ(target.Items()->Count(), 2);
    EXPECT_EQ(target.Items()->Items(0), keep);
    EXPECT_EQ(target.Items()->Items(1)->Caption(), "New");
    ASSERT_EQ(target.Items()->Items(1)->Count(), 1);
    EXPECT_EQ(target.Items()->Items(1)->Items(0)->Caption(), "Sub");
    EXPECT_EQ(target.Items()->Items(1)->GetParentMenu(), &target);
}

} // namespace
} // namespace kel::test
