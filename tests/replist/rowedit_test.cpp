// The row editor dialog of the report list view, driven through the headless host with the
// modal form scripted: the layout of labels, fields and buttons; every field kind chosen by the
// format (text, read-only, editable and list combos, date picker, numeric boxes with the row
// number default); typing, picking, Enter, Escape, OK and Cancel; writing back with painting
// suppressed; OnRequestEditFormat; container forms (enlarged, never shrunk, no buttons, their
// own controls untouched); the cleanup when a cell holds an impossible date; a picture.
#include "KEL_NumIO.h"
#include "KEL_replist.h"
#include "headless.h"
#include "kel_app.h"
#include "kel_buttons.h"
#include "kel_combobox.h"
#include "kel_dtpicker.h"
#include "kel_forms.h"
#include "kel_messages.h"
#include "kel_stdctrls.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace kel::test {
namespace {

using namespace kel::headless;

class RowEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        Application->ResetState();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        view = new TReportListView(form.get());
        view->SetParent(form.get());
        view->SetBounds(0, 0, 380, 280);
        form->Show();
        Flush();
    }
    void TearDown() override {
        form.reset();
        Flush();
        ReleaseAllKeys();
        Application->ResetState();
    }
    // Columns named Names with the formats Formats, Rows rows.
    void Columns(const std::vector<std::string>& Names, const std::vector<std::string>& Formats,
                 int Rows = 8) {
        view->SetNrCols(static_cast<int>(Names.size()));
        view->SetNrRows(Rows);
        for (std::size_t i = 0; i < Names.size(); ++i) {
            view->SetHeader(static_cast<int>(i) + 1, Names[i]);
            view->SetColumnFormat(static_cast<int>(i) + 1, Formats[i]);
        }
    }
    template <class T>
    static T& Field(TForm& f, const std::string& Name) {
        auto* c = dynamic_cast<T*>(f.FindComponent(Name));
        if (c == nullptr) throw EInvalidOperation("no field " + Name);
        return *c;
    }
    static TSpeedButton& Button(TForm& f, const std::string& Caption) {
        for (int i = 0; i < f.ComponentCount(); ++i)
            if (auto* b = dynamic_cast<TSpeedButton*>(f.Components(i));
                b && b->Caption() == Caption)
                return *b;
        throw EInvalidOperation("no button " + Caption);
    }
    static int CountOf(TForm& f, const std::string& Part) {
        int n = 0;
        for (int i = 0; i < f.ComponentCount(); ++i)
            n += f.Components(i)->Name().find(Part) != std::string::npos;
        return n;
    }
    static int TextWidth(const std::string& s) {
        TBitmap m(1, 1);
        return m.Canvas().TextWidth(s);
    }
    // Replaces a text field's content by typing.
    static void TypeInto(TForm& f, TCustomEdit& e, const std::string& Text) {
        e.SetFocus();
        e.SelectAll();
        Type(f, Text);
    }

    std::unique_ptr<TForm> form;
    TReportListView* view = nullptr;
};

TEST_F(RowEditor, OwnFormLaysOutLabelsFieldsAndButtonsAndCancelChangesNothing) {
    Columns({"Probe", "Comment"}, {"", "[s][120]"});
    view->SetElem(1, 2, "Thermocouple");
    view->SetElem(2, 2, "left");
    const int L = std::max(TextWidth("Probe"), TextWidth("Comment")) + 8;
    const int F = 200 + L; // the widest field is the empty format's 200 pixels
    const int forms = FormCount(), owned = view->ComponentCount();
    WhenModal([&](TForm& f) {
        EXPECT_EQ(f.Caption(), "Editing Row 2");
        EXPECT_EQ(f.BorderStyle(), bsDialog);
        EXPECT_EQ(f.Left(), 30);
        EXPECT_EQ(f.Top(), 40);
        EXPECT_EQ(f.Width(), F + 28);
        EXPECT_EQ(f.Height(), 2 * 25 + 45 + 38);
        EXPECT_EQ(f.Owner(), view);
        auto& l1 = Field<TLabel>(f, "runtime_rlre_Label1");
        auto& l2 = Field<TLabel>(f, "runtime_rlre_Label2");
        EXPECT_EQ(l1.Caption(), "Probe:");
        EXPECT_EQ(l2.Caption(), "Comment:");
        EXPECT_EQ(l1.Alignment(), taRightJustify);
        EXPECT_FALSE(l1.AutoSize());
        EXPECT_EQ(l1.Left(), 8);
        EXPECT_EQ(l1.Top(), 45 + 3);
        EXPECT_EQ(l2.Top(), 45 + 25 + 3);
        EXPECT_EQ(l1.Width(), L);
        // The empty format: a 200-pixel text field showing the cell.
        auto& e1 = Field<TEdit>(f, "runtime_rlre_Edit1");
        EXPECT_EQ(e1.Text(), "Thermocouple");
        EXPECT_EQ(e1.Left(), L + 12);
        EXPECT_EQ(e1.Top(), 45);
        EXPECT_EQ(e1.Width(), 200);
        EXPECT_EQ(e1.Tag(), 1);
        EXPECT_TRUE(e1.Enabled());
        auto& e2 = Field<TEdit>(f, "runtime_rlre_Edit2");
        EXPECT_EQ(e2.Width(), 120);
        EXPECT_EQ(e2.Top(), 70);
        EXPECT_EQ(e2.Tag(), 2);
        EXPECT_EQ(e2.Height(), TEdit(nullptr).Height()); // the framework's default height
        auto& ok = Button(f, "OK");
        auto& cancel = Button(f, "Cancel");
        EXPECT_EQ(ok.BoundsRect(), Bounds(F - 154, 4, 81, 29));
        EXPECT_EQ(cancel.BoundsRect(), Bounds(F - 69, 4, 81, 29));
        // Typing changes the field only; Cancel leaves the row as it was.
        TypeInto(f, e1, "Pressure");
        EXPECT_EQ(e1.Text(), "Pressure");
        ClickAt(cancel, 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(2, 30, 40), mrCancel);
    EXPECT_EQ(view->Elem(1, 2), "Thermocouple");
    EXPECT_EQ(view->Elem(2, 2), "left");
    // The form and its controls are gone.
    EXPECT_EQ(FormCount(), forms);
    EXPECT_EQ(view->ComponentCount(), owned);
}

TEST_F(RowEditor, OkWritesEveryFieldBackWithTheGivenTexts) {
    Columns({"Probe", "Comment"}, {"", "[s][120]"});
    view->SetElem(1, 3, "Thermocouple");
    WhenModal([&](TForm& f) {
        EXPECT_EQ(f.Caption(), "Row three");
        TypeInto(f, Field<TEdit>(f, "runtime_rlre_Edit1"), "Flow meter");
        TypeInto(f, Field<TEdit>(f, "runtime_rlre_Edit2"), "checked");
        ClickAt(Button(f, "Take"), 5, 5);
        EXPECT_EQ(Button(f, "Drop").Caption(), "Drop");
    });
    EXPECT_EQ(view->EditRowEntries(3, 0, 0, "Row three", "Take", "Drop"), mrOk);
    EXPECT_EQ(view->Elem(1, 3), "Flow meter");
    EXPECT_EQ(view->Elem(2, 3), "checked");
    // No form given: an own form with empty texts.
    WhenModal([&](TForm& f) {
        EXPECT_EQ(f.Caption(), "");
        EXPECT_EQ(f.Width(), 200 + TextWidth("Comment") + 8 + 28);
        ClickAt(Button(f, ""), 5, 5); // the Cancel button: the one further right
    });
    EXPECT_EQ(view->EditRowEntries(3, nullptr, 0, 0), mrCancel);
}

TEST_F(RowEditor, ReadOnlyFieldShowsItsDefaultGreyedAndOkWritesIt) {
    Columns({"Key", "Note"}, {"[#s][120]abc", "[s][90]xyz"});
    view->SetElem(2, 1, "kept");
    WhenModal([&](TForm& f) {
        auto& ro = Field<TEdit>(f, "runtime_rlre_Edit1");
        EXPECT_EQ(ro.Text(), "abc");
        EXPECT_FALSE(ro.Enabled());
        EXPECT_EQ(ro.Color(), TColor(0xE0E0E0));
        EXPECT_EQ(ro.Font().Color(), clGray);
        EXPECT_EQ(ro.Width(), 120);
        EXPECT_FALSE(ro.OnKeyPress());
        auto& rw = Field<TEdit>(f, "runtime_rlre_Edit2");
        EXPECT_EQ(rw.Text(), "kept"); // the cell, not the default
        EXPECT_TRUE(rw.Enabled());
        EXPECT_NE(rw.Color(), TColor(0xE0E0E0));
        ClickAt(Button(f, "OK"), 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrOk);
    EXPECT_EQ(view->Elem(1, 1), "abc");
    EXPECT_EQ(view->Elem(2, 1), "kept");
}

TEST_F(RowEditor, EditableAndListCombos) {
    Columns({"Colour", "Finish", "Grade"},
            {"[c:5][150]red|green|blue", "[l][150]red|green", "[l][80]low|high|"});
    view->SetElem(1, 4, "purple");
    view->SetElem(2, 4, "yellow");
    view->SetElem(3, 4, "HIGH");
    WhenModal([&](TForm& f) {
        auto& c = Field<TComboBox>(f, "runtime_rlre_CBox1");
        EXPECT_EQ(c.Style(), csDropDown);
        ASSERT_EQ(c.Items().Count(), 3);
        EXPECT_EQ(c.Items()[0], "red");
        EXPECT_EQ(c.Items()[2], "blue");
        EXPECT_EQ(c.DropDownCount(), 5);
        EXPECT_EQ(c.Text(), "purple");
        EXPECT_EQ(c.Width(), 150);
        auto& l = Field<TComboBox>(f, "runtime_rlre_CBox2");
        EXPECT_EQ(l.Style(), csDropDownList);
        EXPECT_EQ(l.Items().Count(), 2);
        EXPECT_EQ(l.ItemIndex(), -1); // yellow is not in the list
        EXPECT_EQ(l.DropDownCount(), 8);
        auto& g = Field<TComboBox>(f, "runtime_rlre_CBox3");
        EXPECT_EQ(g.Items().Count(), 2); // the trailing "|" adds no empty item
        EXPECT_EQ(g.ItemIndex(), 1);     // items are found without case
        // Pick "blue" from the dropped-down list with the keys: Enter takes the item and does
        // not close the dialog.
        c.SetFocus();
        KeyStroke(f, VK_F4);
        ASSERT_TRUE(c.DroppedDown());
        KeyStroke(f, VK_DOWN);
        KeyStroke(f, VK_DOWN);
        KeyStroke(f, VK_DOWN);
        KeyStroke(f, VK_RETURN);
        EXPECT_FALSE(c.DroppedDown());
        EXPECT_EQ(c.Text(), "blue");
        EXPECT_EQ(f.ModalResult(), mrNone);
        ClickAt(Button(f, "OK"), 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(4, 0, 0), mrOk);
    EXPECT_EQ(view->Elem(1, 4), "blue");
    // A list with nothing chosen keeps the cell's text; a found item is written as listed.
    EXPECT_EQ(view->Elem(2, 4), "yellow");
    EXPECT_EQ(view->Elem(3, 4), "high");

    // Picking with the mouse from the list of a list combo writes the item.
    WhenModal([&](TForm& f) {
        auto& l = Field<TComboBox>(f, "runtime_rlre_CBox2");
        const TRect b = l.ButtonRect();
        ClickAt(l, b.Left + 5, b.Top + 5);
        ASSERT_TRUE(l.DroppedDown());
        // The list lies over the form, which passes the click on to it.
        const TRect row = l.ListWindow()->RowRect(1);
        const TPoint p = f.ScreenToClient(l.ListWindow()->ClientToScreen(
            {(row.Left + row.Right) / 2, (row.Top + row.Bottom) / 2}));
        ClickAt(f, p.X, p.Y);
        EXPECT_FALSE(l.DroppedDown());
        EXPECT_EQ(l.ItemIndex(), 1);
        ClickAt(Button(f, "OK"), 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(4, 0, 0), mrOk);
    EXPECT_EQ(view->Elem(2, 4), "green");
}

TEST_F(RowEditor, NumericFieldsByLetterWithTheRowNumberDefault) {
    Columns({"No", "Hex", "Gain", "Any", "Ratio"},
            {"[i][80]rix3", "[h][80]RIX4", "[f][90]1.5", "[e]", "[#i][60]rix2"});
    view->SetElem(4, 7, "2.5e3");
    WhenModal([&](TForm& f) {
        auto& no = Field<TNumIO>(f, "runtime_rlre_NumIO1");
        EXPECT_EQ(no.Text(), "007");
        EXPECT_EQ(no.InputFormat(), itInt);
        EXPECT_EQ(no.RangeLow(), -1.7e308);
        EXPECT_EQ(no.RangeHigh(), 1.7e308);
        EXPECT_EQ(no.Width(), 80);
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO2").Text(), "0007");
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO2").InputFormat(), itHex);
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO3").Text(), "1.5");
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO3").InputFormat(), itFloat);
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO4").Text(), "2.5e3");
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO4").InputFormat(), itDynamic);
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO4").Width(), 200);
        EXPECT_FALSE(Field<TNumIO>(f, "runtime_rlre_NumIO5").Enabled());
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO5").Text(), "07");
        // Typing is checked by the box: the letter is refused.
        TypeInto(f, no, "42a");
        EXPECT_EQ(no.Text(), "42");
        KeyStroke(f, VK_RETURN);
    });
    EXPECT_EQ(view->EditRowEntries(7, 0, 0), mrOk);
    EXPECT_EQ(view->Elem(1, 7), "42");
    EXPECT_EQ(view->Elem(2, 7), "0007");
    EXPECT_EQ(view->Elem(5, 7), "07");
}

TEST_F(RowEditor, TextFieldInventsAPasswordForAnEmptyCell) {
    Columns({"Key", "Other"}, {"[s][100]$PWD$8", "[s][100]$pwd$"});
    view->SetElem(2, 1, "given");
    std::string shown;
    WhenModal([&](TForm& f) {
        shown = Field<TEdit>(f, "runtime_rlre_Edit1").Text();
        EXPECT_EQ(Field<TEdit>(f, "runtime_rlre_Edit2").Text(), "given");
        ClickAt(Button(f, "OK"), 5, 5);
    });
    view->EditRowEntries(1, 0, 0);
    EXPECT_EQ(shown.size(), 8u);
    EXPECT_EQ(shown.find('$'), std::string::npos);
    EXPECT_EQ(view->Elem(1, 1), shown);
}

TEST_F(RowEditor, DatePickerRoundTrip) {
    Columns({"Date", "Start", "Time", "Odd"}, {"[ddd.MM.yyyy][100]", "[dyyyy-MM-dd][100]2001-02-03",
                                               "[dhh:mm tt][90]", "[dd.M.yyyy]"});
    view->SetElem(1, 1, "24.12.2020");
    view->SetElem(3, 1, "07:45 PM");
    view->SetElem(4, 1, "n/a");
    WhenModal([&](TForm& f) {
        auto& d = Field<TDateTimePicker>(f, "runtime_rlre_DtPick1");
        EXPECT_EQ(d.DateTime(), EncodeDate(2020, 12, 24));
        EXPECT_EQ(d.Format(), "dd.MM.yyyy");
        EXPECT_EQ(d.Width(), 100);
        EXPECT_EQ(Field<TDateTimePicker>(f, "runtime_rlre_DtPick2").DateTime(),
                  EncodeDate(2001, 2, 3));
        EXPECT_DOUBLE_EQ(Field<TDateTimePicker>(f, "runtime_rlre_DtPick3").DateTime(),
                         EncodeTime(19, 45, 0, 0));
        // A cell that is not a date shows the date-time value 0.
        EXPECT_EQ(Field<TDateTimePicker>(f, "runtime_rlre_DtPick4").DateTime(), 0);
        ClickAt(Button(f, "OK"), 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrOk);
    EXPECT_EQ(view->Elem(1, 1), "24.12.2020");
    EXPECT_EQ(view->Elem(2, 1), "2001-02-03"); // the default of an empty cell
    EXPECT_EQ(view->Elem(3, 1), "07:45 PM");   // "tt" as the picker shows it
    EXPECT_EQ(view->Elem(4, 1), "n/a");        // left alone: kept

    // Typing a day into the first picker and stepping the fourth one writes both.
    WhenModal([&](TForm& f) {
        auto& d = Field<TDateTimePicker>(f, "runtime_rlre_DtPick1");
        d.SetFocus();
        Type(f, "31");
        auto& odd = Field<TDateTimePicker>(f, "runtime_rlre_DtPick4");
        odd.SetFocus();
        KeyStroke(f, VK_UP); // day 30 -> 31 of December 1899
        KeyStroke(f, VK_RETURN);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrOk);
    EXPECT_EQ(view->Elem(1, 1), "31.12.2020");
    EXPECT_EQ(view->Elem(4, 1), "31.12.1899");
}

TEST_F(RowEditor, EnterInEveryEditableFieldClosesWithOkAndEscapeCancels) {
    Columns({"Text", "Combo", "List", "Date", "Number", "Fixed"},
            {"", "[c]a|b", "[l]a|b", "[ddd.MM.yyyy]", "[i]", "[#s]"});
    view->SetElem(1, 1, "before");
    const char* names[] = {"runtime_rlre_Edit1", "runtime_rlre_CBox2", "runtime_rlre_CBox3",
                           "runtime_rlre_DtPick4", "runtime_rlre_NumIO5"};
    for (const char* name : names) {
        WhenModal([&](TForm& f) {
            auto& c = Field<TWinControl>(f, name);
            EXPECT_TRUE(c.OnKeyPress()) << name;
            c.SetFocus();
            KeyStroke(f, VK_RETURN);
        });
        EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrOk) << name;
    }
    // Escape cancels the own form, from a field or with no field focused.
    WhenModal([&](TForm& f) {
        TypeInto(f, Field<TEdit>(f, "runtime_rlre_Edit1"), "after");
        KeyStroke(f, VK_ESCAPE);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrCancel);
    EXPECT_EQ(view->Elem(1, 1), "before");
    WhenModal([&](TForm& f) {
        f.FocusControl(nullptr);
        KeyStroke(f, VK_ESCAPE);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrCancel);
    // Escape in a dropped-down list closes only the list.
    WhenModal([&](TForm& f) {
        auto& c = Field<TComboBox>(f, "runtime_rlre_CBox2");
        c.SetFocus();
        KeyStroke(f, VK_F4);
        ASSERT_TRUE(c.DroppedDown());
        KeyStroke(f, VK_ESCAPE);
        EXPECT_FALSE(c.DroppedDown());
        EXPECT_EQ(f.ModalResult(), mrNone);
        ClickAt(Button(f, "OK"), 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrOk);
}

TEST_F(RowEditor, RequestEditFormatReplacesTheFormatForTheDialogOnly) {
    Columns({"A", "B"}, {"[s][100]", "[s][100]"});
    std::vector<std::string> asked;
    view->SetOnRequestEditFormat([&](TObject* Sender, int Col, int Row, std::string& Format) {
        EXPECT_EQ(Sender, view);
        asked.push_back(std::to_string(Col) + "," + std::to_string(Row) + ":" + Format);
        if (Col == 2) Format = "[i][60]rix2";
    });
    WhenModal([&](TForm& f) {
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO2").Text(), "05");
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO2").Width(), 60);
        EXPECT_EQ(f.FindComponent("runtime_rlre_Edit2"), nullptr);
        ClickAt(Button(f, "Cancel"), 5, 5);
    });
    view->EditRowEntries(5, 0, 0);
    EXPECT_EQ(asked, (std::vector<std::string>{"1,5:[s][100]", "2,5:[s][100]"}));
    EXPECT_EQ(view->ColumnFormat(2), "[s][100]");
}

TEST_F(RowEditor, WidthGroupReadsASignedNumberAndNarrowFormsKeepBothButtons) {
    Columns({"A", "B", "C", "D", "E"}, {"[s][0]", "[s][-5]", "[s][ 90px]", "[s]40]", "[s][40]"});
    WhenModal([&](TForm& f) {
        EXPECT_EQ(Field<TEdit>(f, "runtime_rlre_Edit1").Width(), 200);
        EXPECT_EQ(Field<TEdit>(f, "runtime_rlre_Edit2").Width(), 200);
        EXPECT_EQ(Field<TEdit>(f, "runtime_rlre_Edit3").Width(), 90);
        // No "[" before the "]": no width group, and the rest is the default text.
        EXPECT_EQ(Field<TEdit>(f, "runtime_rlre_Edit4").Width(), 200);
        EXPECT_EQ(Field<TEdit>(f, "runtime_rlre_Edit4").Text(), "40]");
        ClickAt(Button(f, "Cancel"), 5, 5);
    });
    view->EditRowEntries(1, 0, 0);
    // Fields narrower than the buttons: the form still shows OK at its left.
    Columns({"A"}, {"[s][40]"});
    WhenModal([&](TForm& f) {
        EXPECT_EQ(Button(f, "OK").Left(), 4);
        EXPECT_EQ(Button(f, "Cancel").Left(), 4 + 85);
        EXPECT_EQ(f.Width(), 158 + 28);
        EXPECT_EQ(Field<TEdit>(f, "runtime_rlre_Edit1").Width(), 40);
        ClickAt(Button(f, "OK"), 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrOk);
}

TEST_F(RowEditor, OtherTypeLettersGetALabelButNoField) {
    Columns({"A", "B", "C"}, {"[x][100]", "[][100]", "[#][100]"});
    WhenModal([&](TForm& f) {
        EXPECT_EQ(CountOf(f, "runtime_rlre_Label"), 3);
        EXPECT_EQ(CountOf(f, "runtime_rlre_"), 3);
        ClickAt(Button(f, "OK"), 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrOk);
}

TEST_F(RowEditor, WritingBackSuppressesPaintingAndRepaintsOnce) {
    Columns({"A", "B", "C"}, {"[s]x", "[s]y", "[s]z"});
    std::vector<bool> suppressed;
    view->SetOnChange([&](TObject*) { suppressed.push_back(view->SuppressPaint()); });
    Flush();
    WhenModal([&](TForm& f) { ClickAt(Button(f, "OK"), 5, 5); });
    view->EditRowEntries(2, 0, 0);
    EXPECT_EQ(suppressed, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(view->SuppressPaint());
    EXPECT_TRUE(form->HasInvalidArea()); // the one repaint is pending
    // Suppressed before: it stays suppressed.
    view->SetSuppressPaint(true);
    WhenModal([&](TForm& f) { ClickAt(Button(f, "OK"), 5, 5); });
    view->EditRowEntries(2, 0, 0);
    EXPECT_TRUE(view->SuppressPaint());
}

TEST_F(RowEditor, ContainerFormIsEnlargedNeverShrunkAndKeepsItsControls) {
    Columns({"Probe", "Value", "Unit"}, {"[s][150]", "[f][80]", "[l][60]V|A"});
    view->SetElem(1, 1, "Shunt");
    TForm box(nullptr);
    box.SetCaption("Edit the probe");
    box.SetBounds(100, 100, 600, 90);
    auto* done = new TButton(&box);
    done->SetParent(&box);
    done->SetBounds(500, 10, 75, 25);
    done->SetCaption("Done");
    done->SetModalResult(mrOk);
    auto* note = new TLabel(&box);
    note->SetParent(&box);
    note->SetBounds(400, 50, 80, 15);
    note->SetCaption("Note");
    const int L = std::max({TextWidth("Probe"), TextWidth("Value"), TextWidth("Unit")}) + 8;
    WhenModal([&](TForm& f) {
        EXPECT_EQ(&f, &box);
        EXPECT_EQ(f.Caption(), "Edit the probe");
        EXPECT_EQ(f.Width(), 600);               // wide enough already: kept
        EXPECT_EQ(f.Height(), 20 + 3 * 25 + 38); // enlarged to hold the fields
        auto& l1 = Field<TLabel>(f, "runtime_rlre_Label1");
        EXPECT_EQ(l1.Left(), 10 + 8);
        EXPECT_EQ(l1.Top(), 20 + 3); // no top band on a container form
        auto& e = Field<TEdit>(f, "runtime_rlre_Edit1");
        EXPECT_EQ(e.Left(), L + 10 + 12);
        EXPECT_EQ(e.Top(), 20);
        EXPECT_EQ(Field<TNumIO>(f, "runtime_rlre_NumIO2").Top(), 45);
        for (int i = 0; i < f.ComponentCount(); ++i)
            EXPECT_EQ(dynamic_cast<TSpeedButton*>(f.Components(i)), nullptr);
        TypeInto(f, e, "Divider");
        ClickAt(*done, 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(1, &box, 10, 20), mrOk);
    EXPECT_EQ(view->Elem(1, 1), "Divider");
    ASSERT_EQ(box.ComponentCount(), 2);
    EXPECT_EQ(box.Components(0), done);
    EXPECT_EQ(box.Components(1), note);
    EXPECT_EQ(done->BoundsRect(), Bounds(500, 10, 75, 25));
    EXPECT_EQ(note->Caption(), "Note");
    EXPECT_EQ(box.Height(), 133); // stays enlarged

    // A taller form keeps its height; a narrow one widens; Enter in a field closes it.
    box.SetBounds(100, 100, 100, 400);
    WhenModal([&](TForm& f) {
        EXPECT_EQ(f.Height(), 400);
        EXPECT_EQ(f.Width(), 150 + L + 28);
        Field<TEdit>(f, "runtime_rlre_Edit1").SetFocus();
        KeyStroke(f, VK_RETURN);
    });
    EXPECT_EQ(view->EditRowEntries(1, &box, 0, 0), mrOk);
    EXPECT_EQ(box.ComponentCount(), 2);
    // Escape is the container's business: without a cancel button of its own it stays open.
    WhenModal([&](TForm& f) {
        KeyStroke(f, VK_ESCAPE);
        EXPECT_EQ(f.ModalResult(), mrNone);
        f.Close();
    });
    EXPECT_EQ(view->EditRowEntries(1, &box, 0, 0), mrCancel);
}

TEST_F(RowEditor, AnImpossibleDateRaisesAfterTheCleanup) {
    Columns({"Name", "Date", "Later"}, {"", "[ddd.MM.yyyy][100]", "[s]"});
    view->SetElem(2, 3, "24.13.2020");
    TForm box(nullptr);
    box.SetBounds(0, 0, 50, 50);
    auto* own = new TEdit(&box);
    own->SetParent(&box);
    bool shown = false;
    WhenModal([&](TForm& f) {
        shown = true;
        f.Close();
    });
    EXPECT_THROW(view->EditRowEntries(3, &box, 0, 0), EConvertError);
    EXPECT_EQ(box.ComponentCount(), 1);
    EXPECT_EQ(box.Components(0), own);
    const int forms = FormCount(), owned = view->ComponentCount();
    EXPECT_THROW(view->EditRowEntries(3, 0, 0), EConvertError);
    EXPECT_EQ(FormCount(), forms);
    EXPECT_EQ(view->ComponentCount(), owned);
    EXPECT_FALSE(shown);
    // The view is ready for the next dialog.
    view->SetElem(2, 3, "24.12.2020");
    EXPECT_EQ(view->EditRowEntries(3, 0, 0), mrCancel);
    EXPECT_TRUE(shown);
}

TEST_F(RowEditor, RowsOutsideTheTableAndNestedDialogsRaise) {
    Columns({"A"}, {""}, 3);
    view->SetName("Log");
    try {
        view->EditRowEntries(4, 0, 0);
        FAIL() << "no exception";
    } catch (const EKELRepListError& e) {
        EXPECT_STREQ(e.what(), "Component \"Log\": cannot edit row 4, the rows are 1..3");
    }
    EXPECT_THROW(view->EditRowEntries(0, 0, 0), EKELRepListError);
    WhenModal([&](TForm& f) {
        EXPECT_THROW(view->EditRowEntries(1, 0, 0), EKELRepListError);
        ClickAt(Button(f, "Cancel"), 5, 5);
    });
    EXPECT_EQ(view->EditRowEntries(1, 0, 0), mrCancel);
}

TEST_F(RowEditor, DrawsTheDialogWithEachFieldKind) {
    Columns({"Probe", "Serial", "Colour", "Unit", "Calibrated", "Channel", "Gain"},
            {"[s][150]", "[#s][110]", "[c:4][110]red|green|blue", "[l][70]V|mV|A",
             "[ddd.MM.yyyy][100]", "[i][60]rix3", "[f][80]"});
    view->SetElem(1, 5, "Thermocouple K");
    view->SetElem(2, 5, "TK-20931");
    view->SetElem(3, 5, "green");
    view->SetElem(4, 5, "mV");
    view->SetElem(5, 5, "24.12.2020");
    view->SetElem(7, 5, "40.5");
    TBitmap shot;
    WhenModal([&](TForm& f) {
        Snapshot(f, shot);
        ClickAt(Button(f, "Cancel"), 5, 5);
    });
    view->EditRowEntries(5, 0, 0);
    EXPECT_TRUE(MatchesReferenceAndDocs(shot, "replist", "rowedit_dialog"));
}

} // namespace
} // namespace kel::test
