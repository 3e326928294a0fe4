// The combo box: OnChange for user actions only (once per pick, never for ItemIndex or Text set
// in code), the drop-down list on the popup layer (mouse, keys, Escape, a press outside),
// prefix search, completion, owner drawing with its states, and pictures.
#include "controls_test_util.h"
#include "kel_buttons.h"
#include "kel_combobox.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

namespace kel::test {
namespace {

class ComboTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        Application->SetClock(std::make_unique<TManualClock>());
        combo = new TComboBox(form.get());
        combo->SetParent(form.get());
        combo->SetBounds(10, 10, 120, 21);
        for (const char* s : {"Apple", "Apricot", "Banana", "Blueberry", "Cherry"})
            combo->Items().Add(s);
        combo->SetOnChange([this](TObject*) {
            log.push_back("change " + std::to_string(combo->ItemIndex()) + " " + combo->Text());
        });
        combo->SetOnDropDown([this](TObject*) { log.push_back("dropdown"); });
        combo->SetOnCloseUp([this](TObject*) { log.push_back("closeup"); });
        headless::Flush();
    }
    // Centre of list row Index in the form's client coordinates (the list lies over the form).
    TPoint RowOnForm(int Index) {
        TComboListWindow* l = combo->ListWindow();
        TRect r = l->RowRect(Index);
        TPoint s = l->ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        return form->ScreenToClient(s);
    }
    void ClickButton() {
        TRect b = combo->ButtonRect();
        headless::ClickAt(*combo, b.Left + 5, b.Top + 5);
    }

    TComboBox* combo = nullptr;
};

TEST_F(ComboTest, ItemIndexAndTextSetInCodeFireNoChange) {
    combo->SetItemIndex(2);
    EXPECT_EQ(combo->Text(), "Banana");
    combo->SetText("Cherry");
    EXPECT_EQ(combo->ItemIndex(), 4);
    combo->SetItemIndex(99);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    combo->SetText("typed"); // not an item: no selection; -1 clears the text
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(-1);
    EXPECT_EQ(combo->Text(), "");
    EXPECT_EQ(Log(), "");
}

TEST_F(ComboTest, MousePickFromTheDroppedListFiresOneChangeThenCloseUp) {
    combo->SetItemIndex(0);
    ClickButton();
    ASSERT_TRUE(combo->DroppedDown());
    ASSERT_EQ(OpenPopupCount(), 1);
    // The list lies below the box, above the other controls, with DropDownCount rows at most.
    TComboListWindow* l = combo->ListWindow();
    EXPECT_EQ(l->ScreenRect().Top, combo->ClientToScreen({0, combo->Height()}).Y);
    EXPECT_EQ(l->ClientHeight(), 5 * combo->ItemHeight() + 2);
    TPoint p = RowOnForm(3);
    headless::ClickAt(*form, p.X, p.Y); // the form forwards the click to the list
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(OpenPopupCount(), 0);
    EXPECT_EQ(Log(), "dropdown change 3 Blueberry closeup");
    // Picking the item already chosen changes nothing.
    log.clear();
    ClickButton();
    p = RowOnForm(3);
    headless::ClickAt(*form, p.X, p.Y);
    EXPECT_EQ(Log(), "dropdown closeup");
}

TEST_F(ComboTest, PressOnTheButtonDraggedOntoAnItemPicksIt) {
    TRect b = combo->ButtonRect();
    headless::MouseDownAt(*combo, b.Left + 5, b.Top + 5);
    ASSERT_TRUE(combo->DroppedDown());
    TPoint p = RowOnForm(2);
    headless::MoveTo(*form, p.X, p.Y, {ssLeft});
    headless::MouseUpAt(*form, p.X, p.Y);
    EXPECT_EQ(Log(), "dropdown change 2 Banana closeup");
}

TEST_F(ComboTest, AfterAPickOrAPressOutsideTheNextClickReachesTheControlUnderIt) {
    auto* other = new TSpeedButton(form.get());
    other->SetParent(form.get());
    other->SetBounds(150, 10, 40, 22);
    int clicks = 0;
    other->SetOnClick([&](TObject*) { ++clicks; });
    // The press on the combo's button opened the list, whose layer took the release: the combo
    // box holds no capture afterwards.
    ClickButton();
    ASSERT_TRUE(combo->DroppedDown());
    TPoint p = RowOnForm(1);
    headless::ClickAt(*form, p.X, p.Y);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(form->CaptureControl(), nullptr);
    headless::ClickAt(*other, 5, 5);
    EXPECT_EQ(clicks, 1);
    // A press outside the list closes it; the click after that works as well.
    ClickButton();
    headless::ClickAt(*other, 5, 5);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(clicks, 1); // that press only closed the list
    headless::ClickAt(*other, 5, 5);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ComboTest, EscapeAndAPressOutsideCloseWithoutChange) {
    combo->SetItemIndex(1);
    combo->SetFocus();
    headless::KeyStroke(*form, VK_F4);
    ASSERT_TRUE(combo->DroppedDown());
    headless::KeyStroke(*form, VK_DOWN);
    headless::KeyStroke(*form, VK_DOWN);
    EXPECT_EQ(combo->ListHotIndex(), 3);
    EXPECT_EQ(combo->ItemIndex(), 1); // moving in the open list changes nothing yet
    headless::KeyStroke(*form, VK_ESCAPE);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 1);
    headless::KeyDown(*form, VK_DOWN, {ssAlt});
    ASSERT_TRUE(combo->DroppedDown());
    headless::ClickAt(*form, 190, 140); // outside the list
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->Text(), "Apricot");
    EXPECT_EQ(Log(), "dropdown closeup dropdown closeup");
}

TEST_F(ComboTest, EnterTakesTheHighlightedItemAndIsNotADialogKey) {
    combo->SetFocus();
    headless::KeyStroke(*form, VK_F4);
    headless::KeyStroke(*form, VK_DOWN); // nothing chosen before: the first row
    headless::KeyStroke(*form, VK_DOWN);
    headless::KeyStroke(*form, VK_RETURN);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(Log(), "dropdown change 1 Apricot closeup");
}

TEST_F(ComboTest, ArrowsOnTheClosedBoxStepItemIndexWithOneChangeEach) {
    combo->SetStyle(csDropDownList);
    combo->SetFocus();
    headless::KeyStroke(*form, VK_DOWN);
    headless::KeyStroke(*form, VK_DOWN);
    headless::KeyStroke(*form, VK_UP);
    headless::KeyStroke(*form, VK_UP);
    headless::KeyStroke(*form, VK_UP); // at the first item: no change
    headless::KeyStroke(*form, VK_END);
    EXPECT_EQ(Log(), "change 0 Apple change 1 Apricot change 0 Apple change 4 Cherry");
}

TEST_F(ComboTest, TypedPrefixSearchesTheItemsOfAListBox) {
    combo->SetStyle(csDropDownList);
    combo->SetFocus();
    headless::Type(*form, "b");
    EXPECT_EQ(combo->Text(), "Banana");
    headless::Type(*form, "l"); // "bl" within a second
    EXPECT_EQ(combo->Text(), "Blueberry");
    Application->Advance(1500); // a pause starts a new search
    headless::Type(*form, "a");
    EXPECT_EQ(combo->Text(), "Apple");
    Application->Advance(1500);
    headless::Type(*form, "aa"); // the same letter again moves on
    EXPECT_EQ(combo->Text(), "Apple");
    headless::Type(*form, "z"); // no item: nothing changes
    EXPECT_EQ(combo->Text(), "Apple");
    EXPECT_EQ(Log(), "change 2 Banana change 3 Blueberry change 0 Apple change 1 Apricot "
                     "change 0 Apple");
}

TEST_F(ComboTest, TypingInTheEditCompletesFromTheItemsOncePerKey) {
    combo->SetFocus();
    headless::Type(*form, "Ch");
    EXPECT_EQ(combo->Text(), "Cherry");
    EXPECT_EQ(combo->ItemIndex(), 4);
    EXPECT_EQ(combo->SelLength(), 4); // "erry" selected
    headless::Type(*form, "x");
    EXPECT_EQ(combo->Text(), "Chx");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(Log(), "change 4 Cherry change 4 Cherry change -1 Chx");
}

TEST_F(ComboTest, ListStyleKeepsOnlyItemTexts) {
    combo->SetStyle(csDropDownList);
    combo->SetText("Nope");
    EXPECT_EQ(combo->Text(), "");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(4);
    combo->Items().Delete(0); // the selection follows its text
    EXPECT_EQ(combo->ItemIndex(), 3);
    combo->Items().Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    EXPECT_EQ(Log(), "");
}

TEST_F(ComboTest, SimpleStyleShowsTheListInsideAndAClickPicks) {
    combo->SetStyle(csSimple);
    EXPECT_FALSE(combo->ButtonRect().Width() > 0);
    combo->SetHeight(100);
    combo->SetDroppedDown(true); // nothing drops down: the list is always shown
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(OpenPopupCount(), 0);
    // The list starts below the edit part (text area, its margin and the frame); its third
    // row is Banana.
    const int listTop = combo->TextArea().Bottom + 3;
    headless::ClickAt(*combo, 30, listTop + 2 * combo->ItemHeight() + 3);
    EXPECT_EQ(Log(), "change 2 Banana");
    EXPECT_EQ(headless::PixelAt(*combo, 30, listTop + 2 * combo->ItemHeight() + 3),
              ColorToRGB(clHighlight));
}

TEST_F(ComboTest, AnOnChangeOfAPickMayDeleteTheBox) {
    combo->SetOnChange([this](TObject*) {
        log.push_back("change");
        // The handler is freed with the box: touch nothing of the closure after the delete.
        auto* doomed = combo;
        combo = nullptr;
        delete doomed;
    });
    ClickButton();
    TPoint p = RowOnForm(1);
    headless::ClickAt(*form, p.X, p.Y);
    headless::Flush();
    EXPECT_EQ(Log(), "dropdown change");
    EXPECT_EQ(OpenPopupCount(), 0);
}

TEST_F(ComboTest, OnDropDownMayFillTheItems) {
    combo->Items().Clear();
    combo->SetOnDropDown([this](TObject*) {
        if (combo->Items().Count() == 0)
            for (const char* s : {"one", "two"}) combo->Items().Add(s);
    });
    ClickButton();
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_EQ(combo->ListWindow()->ClientHeight(), 2 * combo->ItemHeight() + 2);
}

TEST_F(ComboTest, OwnerDrawGetsTheClosedBoxAndTheRowsWithTheirStates) {
    combo->SetStyle(csOwnerDrawFixed);
    combo->SetItemIndex(1);
    std::vector<std::string> calls;
    combo->SetOnDrawItem([&](TWinControl*, int i, const TRect&, TOwnerDrawState s) {
        std::string t = std::to_string(i);
        if (s.contains(odComboBoxEdit)) t += "e";
        if (s.contains(odSelected)) t += "s";
        if (s.contains(odFocused)) t += "f";
        calls.push_back(t);
    });
    combo->Invalidate();
    headless::Flush();
    EXPECT_EQ(calls, std::vector<std::string>{"1e"});
    combo->SetFocus();
    calls.clear();
    headless::Flush();
    EXPECT_EQ(calls, std::vector<std::string>{"1esf"});
    calls.clear();
    headless::KeyStroke(*form, VK_F4);
    headless::Flush();
    // The closed box (not highlighted while the list is open), then the five rows.
    EXPECT_EQ(calls, (std::vector<std::string>{"1e", "0", "1sf", "2", "3", "4"}));
}

TEST_F(ComboTest, CodeChangesDuringAUserActionStillFireOnce) {
    // A handler of the pick setting ItemIndex again fires nothing more.
    combo->SetOnSelect([this](TObject*) { log.push_back("select"); });
    combo->SetFocus();
    headless::KeyStroke(*form, VK_DOWN);
    EXPECT_EQ(Log(), "select change 0 Apple");
}

TEST_F(ComboTest, PictureOfTheDroppedList) {
    combo->SetItemIndex(2);
    combo->SetFocus();
    headless::KeyStroke(*form, VK_F4);
    headless::KeyStroke(*form, VK_DOWN);
    TBitmap shot;
    headless::Snapshot(*form, shot);
    TBitmap part;
    part.SetSize(140, 125);
    part.Canvas().CopyRect(Rect(0, 0, 140, 125), shot.Canvas(), Rect(0, 0, 140, 125));
    EXPECT_TRUE(MatchesReference(part, "framework/ref/combobox_dropped"));
}

} // namespace
} // namespace kel::test
