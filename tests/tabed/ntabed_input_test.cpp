// The table editor under the user's hands: typing into cells with the lock bit and read-only
// guard, AutoAdvance, the popup menus (names, captions, conditions, commands), the heading and
// comment editors, copy, paste and extract from the clipboard.
#include "KEL_ntabed.h"
#include "kel_form_fixture.h"
#include "kel_messages.h"
#include "numtext.h"

#include <gtest/gtest.h>

#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

class NTabEdInput : public FormTest {
  protected:
    NTabEdInput() : FormTest(420, 320) {}
    void SetUp() override {
        FormTest::SetUp();
        ed = new TNTabEd(form.get());
        ed->SetParent(form.get());
        ed->SetBorderStyle(bsNone);
        ed->SetBounds(0, 0, 400, 300);
        ed->SetFocus();
        Flush();
        Clipboard().Clear();
    }
    // Centre of a grid cell in the editor's client coordinates.
    TPoint Centre(int GCol, int GRow) {
        const TRect r = ed->CellRect(GCol, GRow);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void RightClick(int GCol, int GRow) {
        const TPoint p = Centre(GCol, GRow);
        ClickAt(*ed, p.X, p.Y, {}, mbRight);
        Flush();
    }
    TNTabEd* ed = nullptr;
};

TEST_F(NTabEdInput, TypingACommaNumberStoresItAndEnterMovesDown) {
    EXPECT_EQ(ed->Col(), 2);
    EXPECT_EQ(ed->Row(), 1);
    int changes = 0;
    ed->SetOnChange([&](TObject*) { ++changes; });
    Type(*form, "1,5\r");
    Flush();
    EXPECT_EQ(ed->Elem(1, 1), 1.5);
    EXPECT_EQ(ed->CellState(1, 1) & dtsInvalid, 0);
    EXPECT_GT(changes, 0);
    EXPECT_EQ(ed->Row(), 2); // AutoAdvance, down
    EXPECT_EQ(ed->Col(), 2);
    ed->SetAutoAdvanceDir(orHorizontal);
    Type(*form, "7\r");
    Flush();
    EXPECT_EQ(ed->Elem(1, 2), 7);
    EXPECT_EQ(ed->Col(), 3);
}

TEST_F(NTabEdInput, TypingTextOrNothingMarksTheCellInvalid) {
    Type(*form, "abc\r");
    Flush();
    EXPECT_NE(ed->CellState(1, 1) & dtsInvalid, 0);
    EXPECT_EQ(ed->CellState(1, 1) & dtsEmpty, 0); // only the toggle command sets empty
    EXPECT_EQ(ed->CellText(1, 1), "-nan-");
    // A number typed into the cell again makes it valid; an emptied text invalid.
    ed->SetRow(1);
    Type(*form, "2\r");
    Flush();
    EXPECT_EQ(ed->CellState(1, 1) & dtsInvalid, 0);
    ed->SetRow(1);
    Type(*form, "2\b\r");
    Flush();
    EXPECT_NE(ed->CellState(1, 1) & dtsInvalid, 0);
}

TEST_F(NTabEdInput, EscapeInTheEditorKeepsTheExactValue) {
    ed->SetElem(1, 1, 1.0 / 3); // shown as 0.333
    ed->SetCellState(1, 1, dtsMarkA);
    Type(*form, "5");
    Flush();
    ASSERT_TRUE(ed->EditorMode());
    EXPECT_EQ(ed->Elem(1, 1), 5);
    KeyStroke(*form, VK_ESCAPE);
    Flush();
    EXPECT_FALSE(ed->EditorMode());
    EXPECT_EQ(ed->Elem(1, 1), 1.0 / 3);
    EXPECT_EQ(ed->CellState(1, 1), dtsMarkA);
}

TEST_F(NTabEdInput, TypingIntoAnEmptyCellEndsItsEmptyState) {
    ed->SetIsEmpty(1, 1, true);
    Type(*form, "4\r");
    Flush();
    EXPECT_EQ(ed->Elem(1, 1), 4);
    EXPECT_EQ(ed->CellText(1, 1), "4.000");
}

TEST_F(NTabEdInput, LockedCellsAndReadOnlyTablesRefuseTyping) {
    ed->SetCellState(1, 1, dtsLocked);
    Type(*form, "9");
    Flush();
    EXPECT_FALSE(ed->EditorMode());
    EXPECT_EQ(ed->Elem(1, 1), 0);
    EXPECT_EQ(ed->CellState(1, 1), dtsLocked);
    KeyStroke(*form, VK_DOWN); // arrows still move
    Flush();
    EXPECT_EQ(ed->Row(), 2);
    ed->SetDataReadOnly(true);
    Type(*form, "9");
    Flush();
    EXPECT_FALSE(ed->EditorMode());
    EXPECT_EQ(ed->Elem(1, 2), 0);
}

TEST_F(NTabEdInput, TheFirstClickOnACellOnlySelectsIt) {
    const TPoint p = Centre(3, 2);
    ClickAt(*ed, p.X, p.Y);
    Flush();
    EXPECT_EQ(ed->Col(), 3);
    EXPECT_FALSE(ed->EditorMode());
    ClickAt(*ed, p.X, p.Y);
    Flush();
    EXPECT_TRUE(ed->Options().contains(goEditing));
}

TEST_F(NTabEdInput, SelectionChangesAreReportedOnce) {
    int sel = 0;
    ed->SetOnSelectionChanged([&](TObject*) { ++sel; });
    KeyStroke(*form, VK_RIGHT);
    Flush();
    EXPECT_EQ(sel, 1);
    const TPoint a = Centre(2, 1), b = Centre(3, 3);
    Drag(*ed, a.X, a.Y, b.X, b.Y);
    Flush();
    EXPECT_GE(sel, 2);
    const TGridRect s = ed->DataSelection();
    EXPECT_EQ(s.Left, 1);
    EXPECT_EQ(s.Top, 1);
    EXPECT_EQ(s.Right, 2);
    EXPECT_EQ(s.Bottom, 3);
}

TEST_F(NTabEdInput, CopyOfATwoByTwoSelectionByteForByte) {
    ed->SetElem(1, 1, 1);
    ed->SetElem(2, 1, 2.5);
    ed->SetElem(1, 2, -3);
    ed->SetCellState(2, 2, dtsInvalid);
    ed->SelectDataRange(1, 1, 2, 2);
    ed->SetClipboardUseFullPrec(false);
    ed->PopupMenuClickCopy(nullptr);
    EXPECT_EQ(Clipboard().AsText(), " 1.000\t2.500\r\n -3.000\t####\r\n");
    EXPECT_TRUE(ed->DataCopyAvail());
    ed->SetClipboardUseFullPrec(true);
    ed->PopupMenuClickCopy(nullptr);
    std::string expected = " ";
    expected += FloatToFieldStr(22, -1, 1);
    expected += '\t';
    expected += FloatToFieldStr(22, -1, 2.5);
    expected += "\r\n ";
    expected += FloatToFieldStr(22, -1, -3);
    expected += "\t####\r\n";
    EXPECT_EQ(Clipboard().AsText(), expected);
    EXPECT_NE(expected.find("E+0000"), std::string::npos); // four exponent digits
}

TEST_F(NTabEdInput, PasteWritesTheCopyAtTheSelectionAndDropsWhatFallsOutside) {
    ed->SetElem(1, 1, 1);
    ed->SetElem(2, 1, 2);
    ed->SetElem(1, 2, 3);
    ed->SetCellState(2, 2, dtsMarkA);
    ed->SelectDataRange(1, 1, 2, 2);
    ed->PopupMenuClickCopy(nullptr);
    int pastes = 0;
    ed->SetOnPaste([&](TObject*) { ++pastes; });
    ed->SelectDataRange(3, 4, 3, 4); // only one cell of the block fits
    ed->PopupMenuClickPaste(nullptr);
    EXPECT_EQ(ed->Elem(3, 4), 1);
    EXPECT_EQ(pastes, 1);
    EXPECT_EQ(ed->DataSelection(), (TGridRect{3, 4, 3, 4}));
    ed->SelectDataRange(2, 2, 2, 2);
    ed->PopupMenuClickPaste(nullptr);
    EXPECT_EQ(ed->Elem(2, 2), 1);
    EXPECT_EQ(ed->Elem(3, 2), 2);
    EXPECT_EQ(ed->Elem(2, 3), 3);
    EXPECT_EQ(ed->CellState(3, 3), dtsMarkA);
    EXPECT_EQ(ed->DataSelection(), (TGridRect{2, 2, 3, 3}));
}

TEST_F(NTabEdInput, ExtractFillsABlockLineByLineAndSelectsIt) {
    Clipboard().SetAsText("1 2 3\r\n4 5");
    int nc = 0, nr = 0;
    EXPECT_TRUE(ed->GetClipMatrixSize(nc, nr));
    EXPECT_EQ(nc, 3);
    EXPECT_EQ(nr, 2);
    ed->SetCellState(2, 2, dtsInvalid | dtsMarkB);
    ed->PopupMenuClickExtClip(nullptr);
    EXPECT_EQ(ed->Elem(1, 1), 1);
    EXPECT_EQ(ed->Elem(2, 1), 2);
    EXPECT_EQ(ed->Elem(3, 1), 3);
    EXPECT_EQ(ed->Elem(1, 2), 4);
    EXPECT_EQ(ed->Elem(2, 2), 5);
    EXPECT_EQ(ed->Elem(3, 2), 0);
    EXPECT_EQ(ed->CellState(2, 2), dtsMarkB); // a number now; the mark stays
    EXPECT_EQ(ed->DataSelection(), (TGridRect{1, 1, 3, 2}));
}

TEST_F(NTabEdInput, ExtractDropsValuesOutsideTheTable) {
    Clipboard().SetAsText("1 2 3\n4 5 6\n7 8 9\n");
    ed->SelectDataRange(2, 3, 2, 3);
    ed->PopupMenuClickExtClip(nullptr);
    EXPECT_EQ(ed->NrOfColumns(), 3);
    EXPECT_EQ(ed->NrOfRows(), 4);
    EXPECT_EQ(ed->Elem(2, 3), 1);
    EXPECT_EQ(ed->Elem(3, 3), 2);
    EXPECT_EQ(ed->Elem(2, 4), 4);
    EXPECT_EQ(ed->Elem(3, 4), 5);
    EXPECT_EQ(ed->Elem(1, 3), 0);
    EXPECT_EQ(ed->DataSelection(), (TGridRect{2, 3, 3, 4}));
}

TEST_F(NTabEdInput, SpreadsheetTextSplitsAtTabsOnlyWithDecimalCommas) {
    // What a spreadsheet in a decimal-comma language copies: "1,5" is one number.
    Clipboard().SetAsText("1,5\t2\r\n####\t4,25\r\n");
    ed->PopupMenuClickExtClip(nullptr);
    EXPECT_EQ(ed->Elem(1, 1), 1.5);
    EXPECT_EQ(ed->Elem(2, 1), 2);
    EXPECT_EQ(ed->Elem(1, 2), 0); // not a number: skipped, its place kept
    EXPECT_EQ(ed->Elem(2, 2), 4.25);
    EXPECT_EQ(ed->DataSelection(), (TGridRect{1, 1, 2, 2}));
    // Without tabs a comma separates numbers.
    Clipboard().SetAsText("1,5");
    ed->SelectDataRange(1, 3, 1, 3);
    ed->PopupMenuClickExtClip(nullptr);
    EXPECT_EQ(ed->Elem(1, 3), 1);
    EXPECT_EQ(ed->Elem(2, 3), 5);
}

TEST_F(NTabEdInput, CopiedTextExtractsBackIntoTheSameValues) {
    ed->SetElem(1, 1, 1.0 / 3);
    ed->SetElem(2, 1, -2.5e-7);
    ed->SetElem(1, 2, 12345.678);
    ed->SetElem(2, 2, 0);
    ed->SelectDataRange(1, 1, 2, 2);
    ed->PopupMenuClickCopy(nullptr);
    ed->SelectDataRange(2, 3, 2, 3);
    ed->PopupMenuClickExtClip(nullptr);
    EXPECT_NEAR(ed->Elem(2, 3), 1.0 / 3, 1e-9);
    EXPECT_NEAR(ed->Elem(3, 3), -2.5e-7, 1e-15);
    EXPECT_NEAR(ed->Elem(2, 4), 12345.678, 1e-6);
}

TEST_F(NTabEdInput, MenusCarryTheirItemNamesAndCaptions) {
    TPopupMenu& d = ed->DataPopup();
    EXPECT_EQ(d.Name(), "PopupDTAction");
    ASSERT_EQ(d.Items()->Count(), 12);
    EXPECT_EQ(d.Items()->Items(0)->Name(), "DIt1");
    EXPECT_EQ(d.Items()->Items(11)->Name(), "DIt12");
    EXPECT_EQ(d.Items()->Items(9)->Caption(), "Extract from Clipboard");
    EXPECT_EQ(d.Items()->Items(0)->Items(3)->Name(), "M1It4");
    EXPECT_EQ(d.Items()->Items(1)->Items(0)->Name(), "M2It1");
    EXPECT_EQ(d.Items()->Items(2)->Items(1)->Name(), "U1It2");
    EXPECT_EQ(d.Items()->Items(3)->Items(2)->Caption(), "Row");
    EXPECT_EQ(d.Items()->Items(3)->Items(2)->Name(), "U2It3");
    TPopupMenu& h = ed->HeaderPopup();
    EXPECT_EQ(h.Name(), "PopupHTAction");
    EXPECT_EQ(h.Items()->Items(4)->Name(), "HIt5");
    EXPECT_EQ(ed->PopupHCaptions(3), "Select..");
    ed->SetPopupMCaptions(2, "Spalte");
    EXPECT_EQ(d.Items()->Items(1)->Items(1)->Caption(), "Spalte");
    EXPECT_EQ(ed->PopupDCaptions(13), "");
    ed->SetPopupDCaptions(7, std::string(60, 'k'));
    EXPECT_EQ(ed->PopupDCaptions(7).size(), 50u);
    int setups = 0;
    ed->SetOnChangeSetup([&](TObject*) { ++setups; });
    ed->SetPopupDMask(~(1 << 6));
    EXPECT_FALSE(d.Items()->Items(6)->Enabled());
    EXPECT_TRUE(d.Items()->Items(5)->Enabled());
    EXPECT_EQ(setups, 1);
}

TEST_F(NTabEdInput, RightClickOpensTheDataMenuUnlessBlockedOrAnotherIsAssigned) {
    int before = 0;
    TPopupMenu* seen = nullptr;
    ed->SetOnBeforePopup([&](TObject*, TPopupMenu* m) {
        ++before;
        seen = m;
    });
    WhenModal([&](TForm&) {
        EXPECT_TRUE(ed->DataPopup().IsOpen());
        KeyStroke(*form, VK_ESCAPE);
    });
    RightClick(3, 2);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(seen, &ed->DataPopup());
    // The read-only item shows the empty box, and the checked one once read-only.
    TBitmap empty, checked;
    empty.LoadFromResourceName("EMPTYBOX");
    checked.LoadFromResourceName("CHECKEDBOX");
    auto sameAs = [](const TBitmap& a, const TBitmap& b) {
        if (a.Width() != b.Width() || a.Height() != b.Height() || a.Width() == 0) return false;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Canvas().Pixels(x, y) != b.Canvas().Pixels(x, y)) return false;
        return true;
    };
    TMenuItem* readOnly = ed->DataPopup().Items()->Items(8);
    EXPECT_TRUE(sameAs(readOnly->Bitmap(), empty));
    EXPECT_FALSE(sameAs(empty, checked));
    ed->SetDataReadOnly(true);
    WhenModal([&](TForm&) {
        EXPECT_FALSE(ed->DataPopup().Items()->Items(5)->Enabled()); // Clear
        EXPECT_FALSE(ed->DataPopup().Items()->Items(9)->Enabled()); // Extract
        KeyStroke(*form, VK_ESCAPE);
    });
    RightClick(3, 2);
    EXPECT_TRUE(sameAs(readOnly->Bitmap(), checked));
    ed->SetDataReadOnly(false);
    EXPECT_EQ(before, 2);
    before = 1;                                                 // the opens below must not count
    EXPECT_FALSE(ed->DataPopup().Items()->Items(7)->Enabled()); // paste: nothing copied yet

    ed->SetBlockInternalPopup(true);
    RightClick(3, 2);
    EXPECT_EQ(before, 1);

    ed->SetBlockInternalPopup(false);
    TPopupMenu own(nullptr);
    int ownShown = 0;
    own.SetOnPopup([&](TObject*) { ++ownShown; });
    ed->SetPopupMenu(&own);
    WhenModal([&](TForm&) { KeyStroke(*form, VK_ESCAPE); });
    RightClick(3, 2);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(ownShown, 1);
    ed->SetPopupMenu(nullptr);
}

TEST_F(NTabEdInput, ChosenMarkCommandMarksTheSelectedRange) {
    ed->SelectDataRange(1, 2, 2, 3);
    // Down to item 1 ("Mark as type A"), into its submenu, choose "Range".
    WhenModal([&](TForm&) {
        KeyStroke(*form, VK_DOWN);
        KeyStroke(*form, VK_RIGHT);
        KeyStroke(*form, VK_RETURN);
    });
    RightClick(3, 3);
    Flush();
    EXPECT_EQ(ed->NrOfMarkedDataA(), 4);
    EXPECT_TRUE(ed->ElemMarkedA(2, 3));
    EXPECT_FALSE(ed->ElemMarkedA(3, 3));
    ed->PopupMenuClickMarkBColumn(nullptr);
    EXPECT_EQ(ed->NrOfMarkedDataB(), 8);
    ed->PopupMenuClickUnMarkARow(nullptr);
    EXPECT_EQ(ed->NrOfMarkedDataA(), 0);
    ed->PopupMenuClickMarkBAll(nullptr);
    EXPECT_EQ(ed->NrOfMarkedDataB(), 12);
}

TEST_F(NTabEdInput, ClearAndToggleEmptyActOnTheSelection) {
    ed->Fill(5);
    ed->SetCellState(1, 1, dtsMarkA);
    ed->SelectDataRange(1, 1, 1, 2);
    ed->PopupMenuClickClear(nullptr);
    EXPECT_EQ(ed->Elem(1, 1), 0);
    EXPECT_EQ(ed->CellState(1, 1), 0);
    EXPECT_EQ(ed->Elem(2, 1), 5);
    ed->PopupMenuClickEmptyCells(nullptr);
    EXPECT_TRUE(ed->IsEmpty(1, 2));
    ed->PopupMenuClickEmptyCells(nullptr);
    EXPECT_FALSE(ed->IsEmpty(1, 2));
    TObject* clearSender = nullptr;
    ed->SetOnClear([&](TObject* s) { clearSender = s; });
    ed->SelectDataRange(2, 1, 2, 1);
    ed->PopupMenuClickClear(ed);
    EXPECT_EQ(clearSender, ed);
    EXPECT_EQ(ed->Elem(2, 1), 5); // the handler replaced the clearing
}

TEST_F(NTabEdInput, ChangePrecisionStepsDownAndWrapsFromMinusOne) {
    ed->SetLastClickCell({3, 0}); // header of data column 2
    ed->SetPrecision(2, 0);
    ed->PopupMenuClickPrecision(nullptr);
    EXPECT_EQ(ed->Precision(2), -1);
    ed->PopupMenuClickPrecision(nullptr);
    EXPECT_EQ(ed->Precision(2), 10);
    ed->PopupMenuClickPrecision(nullptr);
    EXPECT_EQ(ed->Precision(2), 9);
    ed->SetLastClickCell({0, 2}); // a row header: no precision
    ed->PopupMenuClickPrecision(nullptr);
    EXPECT_EQ(ed->Precision(1), 3);
}

TEST_F(NTabEdInput, ChangePrecisionFromTheMenuReopensItAtTheSamePlace) {
    ed->SetPrecision(1, 0);
    int opened = 0;
    ed->SetOnBeforePopup([&](TObject*, TPopupMenu*) { ++opened; });
    // First open: the item is second; choose it. The reopened menu is closed by Escape.
    WhenModal([&](TForm&) {
        EXPECT_EQ(ed->HeaderPopup().Items()->Items(2)->Caption(), "Select Column");
        EXPECT_TRUE(ed->HeaderPopup().Items()->Items(1)->Enabled());
        KeyStroke(*form, VK_DOWN);
        KeyStroke(*form, VK_DOWN);
        WhenModal([&](TForm&) {
            EXPECT_TRUE(ed->HeaderPopup().IsOpen());
            KeyStroke(*form, VK_ESCAPE);
        });
        KeyStroke(*form, VK_RETURN);
    });
    RightClick(2, 0);
    Flush();
    EXPECT_EQ(ed->Precision(1), -1);
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(ed->HeaderPopup().IsOpen());
    // On a row header the item is disabled and the kind reads "Row".
    WhenModal([&](TForm&) {
        EXPECT_EQ(ed->HeaderPopup().Items()->Items(4)->Caption(), "Delete Row");
        EXPECT_FALSE(ed->HeaderPopup().Items()->Items(1)->Enabled());
        KeyStroke(*form, VK_ESCAPE);
    });
    RightClick(0, 2);
}

TEST_F(NTabEdInput, HeaderCommandsSelectInsertAndDelete) {
    ed->SetLastClickCell({3, 0});
    ed->PopupMenuClickSelectCol(nullptr);
    EXPECT_EQ(ed->DataSelection(), (TGridRect{2, 1, 2, 4}));
    ed->PopupMenuClickInsertCol(nullptr);
    EXPECT_EQ(ed->NrOfColumns(), 4);
    EXPECT_EQ(ed->ColName(2), "(...)");
    ed->SetLastClickCell({0, 3});
    ed->PopupMenuClickInsertRow(nullptr);
    EXPECT_EQ(ed->RowName(3), "(...)");
    EXPECT_EQ(ed->NrOfRows(), 5);
    ed->PopupMenuClickDeleteRow(nullptr);
    EXPECT_EQ(ed->NrOfRows(), 4);
    ed->SetDataReadOnly(true);
    ed->PopupMenuClickDeleteRow(nullptr);
    EXPECT_EQ(ed->NrOfRows(), 4);
}

TEST_F(NTabEdInput, HeadingEditorStoresNamesAndClampedAttributes) {
    int headings = 0;
    ed->SetOnHeadingChanged([&](TObject*) { ++headings; });
    ed->SetLastClickCell({3, 0});
    ed->SetColName(2, "old");
    ed->PopupMenuClickChangeID(nullptr);
    ASSERT_NE(ed->HeadingEditor(), nullptr);
    EXPECT_EQ(ed->HeadingEditor()->Text(), "old");
    const TRect cell = ed->CellRect(3, 0);
    EXPECT_EQ(ed->HeadingEditor()->Left(), cell.Left + 30);
    EXPECT_EQ(ed->HeadingEditor()->Top(), cell.Top + 5);
    ed->HeadingEditor()->SelectAll();
    Type(*form, "Pressure\r");
    Flush();
    EXPECT_EQ(ed->HeadingEditor(), nullptr);
    EXPECT_EQ(ed->ColName(2), "Pressure");
    EXPECT_EQ(headings, 2); // once for "old", once for the edit
    // The row attribute column: 300 is clamped to 255, Escape keeps the old value.
    ed->SetLastClickCell({1, 2});
    ed->PopupMenuClickChangeID(nullptr);
    ASSERT_NE(ed->HeadingEditor(), nullptr);
    ed->HeadingEditor()->SelectAll();
    Type(*form, "300\r");
    Flush();
    EXPECT_EQ(ed->RowAttrib(2), 255);
    ed->PopupMenuClickChangeID(nullptr);
    ed->HeadingEditor()->SelectAll();
    Type(*form, "7\x1b");
    Flush();
    EXPECT_EQ(ed->RowAttrib(2), 255);
    // Leaving the editor cancels it: the grid is not held by a forgotten editor.
    ed->PopupMenuClickChangeID(nullptr);
    ASSERT_NE(ed->HeadingEditor(), nullptr);
    ed->HeadingEditor()->SelectAll();
    Type(*form, "8");
    ed->SetFocus();
    Flush();
    EXPECT_EQ(ed->HeadingEditor(), nullptr);
    EXPECT_EQ(ed->RowAttrib(2), 255);
    const TPoint p = Centre(3, 3);
    ClickAt(*ed, p.X, p.Y);
    Flush();
    EXPECT_EQ(ed->Col(), 3);
}

TEST_F(NTabEdInput, CommentEditorOpensOnTheTopLeftCellAndStoresOnEnter) {
    ed->SetComment("first");
    RightClick(0, 0);
    ASSERT_NE(ed->CommentEditor(), nullptr);
    TMemo* m = ed->CommentEditor();
    EXPECT_EQ(m->Left(), ed->ColWidths(0));
    EXPECT_EQ(m->Top(), 0);
    EXPECT_EQ(m->Width(), ed->Width() - ed->ColWidths(0) - 20);
    EXPECT_EQ(m->Height(), 80);
    EXPECT_EQ(m->Lines().Text().substr(0, 5), "first");
    m->Lines().SetText("second");
    KeyStroke(*form, VK_RETURN);
    Flush();
    EXPECT_EQ(ed->CommentEditor(), nullptr);
    EXPECT_EQ(ed->Comment(), "second");
    // A click on the top-left cell closes it without storing.
    RightClick(0, 0);
    ASSERT_NE(ed->CommentEditor(), nullptr);
    ed->CommentEditor()->Lines().SetText("third");
    const TPoint p = Centre(0, 0);
    ClickAt(*ed, p.X, p.Y);
    Flush();
    EXPECT_EQ(ed->CommentEditor(), nullptr);
    EXPECT_EQ(ed->Comment(), "second");
    ed->SetCommentEditingAllowed(false);
    RightClick(0, 0);
    EXPECT_EQ(ed->CommentEditor(), nullptr);
}

TEST_F(NTabEdInput, NominalColumnsEditThroughTheirIdentifiers) {
    ed->Data().SetMScaleType(1, mstNominal);
    ed->Data().SetNominalID(1, 1, "low");
    ed->Data().SetNominalID(1, 3, "high");
    ed->SetCellState(1, 1, dtsMarkA);
    Type(*form, "HIGH\r");
    Flush();
    EXPECT_EQ(ed->Elem(1, 1), 3);
    EXPECT_EQ(ed->CellState(1, 1), 0); // the whole state byte cleared
    EXPECT_EQ(ed->CellText(1, 1), "high");
    Type(*form, "12\r");
    Flush();
    EXPECT_EQ(ed->Elem(1, 2), 12);
    Type(*form, "none\r");
    Flush();
    EXPECT_NE(ed->CellState(1, 3) & dtsInvalid, 0);
    // The editor of a category cell drops a list of the column's identifiers, in order.
    ed->SetNomEditDropDownCount(5);
    Type(*form, "l");
    Flush();
    auto* list = dynamic_cast<TInplaceEditList*>(ed->InplaceEditor());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->EditStyle(), esPickList);
    EXPECT_EQ(list->DropDownRows(), 5);
    list->DropDown();
    ASSERT_EQ(list->PickList().Items().Count(), 2);
    EXPECT_EQ(list->PickList().Items()[0], "low");
    EXPECT_EQ(list->PickList().Items()[1], "high");
    list->CloseUp(false);
    // A numeric column edits in a plain editor.
    KeyStroke(*form, VK_ESCAPE);
    ed->SetCol(3);
    Type(*form, "1");
    Flush();
    EXPECT_EQ(dynamic_cast<TInplaceEditList*>(ed->InplaceEditor())->EditStyle(), esSimple);
}

TEST_F(NTabEdInput, AutoWidthsAndHeightsFollowTheTexts) {
    ed->SetElem(1, 1, 123456.789);
    const int w = ed->AutoColWidth(1, true, 0);
    EXPECT_EQ(ed->GetColWidths(1), w);
    ed->SetElem(1, 2, 123456789.0);
    ed->SetPrecision(1, 0);
    EXPECT_GT(ed->AutoColWidth(1, true, 0), 8);
    const int w5 = ed->AutoColWidth(1, true, 5);
    EXPECT_EQ(w5, ed->GetColWidths(1));
    const int h = ed->AutoRowHeight(2, 3);
    EXPECT_GE(h, 8);
    EXPECT_EQ(ed->RowHeights(2), h);
    EXPECT_EQ(ed->AutoRowHeight(2, 4), h + 1);
    ed->SetOptimizeRowHeight(true);
    ed->Update();
    Flush();
    EXPECT_EQ(ed->DefaultRowHeight(), ed->AutoRowHeight(0, 2));
}

} // namespace
} // namespace kel::test
