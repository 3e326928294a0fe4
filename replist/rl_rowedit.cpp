// The row editor of the report list view: EditRowEntries builds one labelled field per column
// on a modal form (its own or one the application supplies), chosen by the column's format
// string, shows the form modally, writes the fields back into the row on OK and frees every
// control it made. See rlview.h for the contract.
//
// A format reads "[type][width]rest": the type group up to the first "]" (a leading "#" makes
// the field read-only), the width group in the next pair of brackets, and the rest D (default
// text or item list). The own form has its OK and Cancel buttons in a 45-pixel band at the top;
// fields follow in rows of 25 pixels.
#include "rlview.h"

#include "KEL_NumIO.h"
#include "Kel_kelbase.h"
#include "Kel_stringl.h"
#include "kel_buttons.h"
#include "kel_combobox.h"
#include "kel_dtpicker.h"
#include "kel_forms.h"
#include "kel_stdctrls.h"
#include "numtext.h"
#include "rl_dateparse.h"

#include <algorithm>
#include <set>
#include <string>

namespace kel {

namespace {

// Layout in pixels.
constexpr int RowPitch = 25;      // from one field to the next
constexpr int OwnTopOffset = 45;  // band of the own form's buttons above the fields
constexpr int LabelLeft = 8;      // label's left edge from PosLeft
constexpr int LabelDown = 3;      // label below its field's top
constexpr int LabelSpace = 8;     // added to the widest column name
constexpr int FieldGap = 12;      // from PosLeft + label width to the field
constexpr int DefaultWidth = 200; // field width when the width group is missing or below 1
constexpr int MaxFieldWidth = 4000;
constexpr int FormExtraWidth = 28; // form width = widest field + label width + 28
constexpr int FormExtraHeight = 38;
constexpr int ButtonWidth = 81, ButtonHeight = 29, ButtonTop = 4;
constexpr int CancelFromRight = 69, OKFromRight = 154; // button left = F - these
constexpr TColor ReadOnlyColor = 0xE0E0E0;

constexpr const char* RuntimePrefix = "runtime_rlre_";

bool Contains(const std::string& s, const char* what) { return s.find(what) != std::string::npos; }

std::string LowerAscii(std::string s) {
    for (char& ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

// One column's format taken apart.
struct TFieldFormat {
    std::string Type; // the type group without "#" ("s" when the format has none)
    bool ReadOnly = false;
    int Width = DefaultWidth;
    std::string Rest; // D: default text or item list
};

TFieldFormat SplitFormat(std::string Fmt) {
    TFieldFormat f;
    const std::size_t open = Fmt.find('['), close = Fmt.find(']');
    f.Type = open != std::string::npos && close != std::string::npos && open < close
                 ? Fmt.substr(open + 1, close - open - 1)
                 : std::string("s");
    if (close != std::string::npos) Fmt.erase(0, close + 1);
    if (!f.Type.empty() && f.Type[0] == '#') {
        f.ReadOnly = true;
        f.Type.erase(0, 1);
    }
    // The width group: the text between the next "[" and the "]" after it, read as a signed
    // decimal from its first character. Without one the whole remainder is D.
    const std::size_t wOpen = Fmt.find('[');
    const std::size_t wClose = wOpen == std::string::npos ? wOpen : Fmt.find(']', wOpen + 1);
    if (wClose != std::string::npos) {
        int pos = 1;
        const int w = ScanDecInt(Fmt.substr(wOpen + 1, wClose - wOpen - 1), pos);
        f.Width = w < 1 ? DefaultWidth : std::min(w, MaxFieldWidth);
        Fmt.erase(0, wClose + 1);
    }
    f.Rest = std::move(Fmt);
    return f;
}

// The own form: Escape closes it with mrCancel (unless a dropped-down list or calendar takes
// the key first).
class TRowEditForm : public TForm {
  public:
    using TForm::TForm;

  protected:
    void CMDialogKey(TMessage& Message) override {
        if (Message.WParam == VK_ESCAPE) {
            SetModalResult(mrCancel);
            Message.Result = 1;
            return;
        }
        TForm::CMDialogKey(Message);
    }
};

} // namespace

int TReportListView::EditRowEntries(int Row, int PosLeft, int PosTop) {
    return EditRowEntries(Row, PosLeft, PosTop, "Editing Row " + std::to_string(Row), "OK",
                          "Cancel");
}

int TReportListView::EditRowEntries(int Row, TForm* ContainerForm, int PosLeft, int PosTop) {
    if (ContainerForm == nullptr) return EditRowEntries(Row, PosLeft, PosTop, "", "", "");
    return RunRowEditor(Row, ContainerForm, PosLeft, PosTop, "", "", "");
}

int TReportListView::EditRowEntries(int Row, int PosLeft, int PosTop,
                                    const std::string& FormCaption, const std::string& ButOKCaption,
                                    const std::string& ButCancelCaption) {
    return RunRowEditor(Row, nullptr, PosLeft, PosTop, FormCaption, ButOKCaption, ButCancelCaption);
}

void TReportListView::EdRowKeyPress(TObject* /*Sender*/, char32_t& Key) {
    if (Key != 13 || FContainerForm == nullptr) return;
    Key = 0;
    FContainerForm->SetModalResult(mrOk);
}

void TReportListView::EdRowOKClick(TObject* /*Sender*/) {
    if (FContainerForm != nullptr) FContainerForm->SetModalResult(mrOk);
}

void TReportListView::EdRowCancelClick(TObject* /*Sender*/) {
    if (FContainerForm != nullptr) FContainerForm->SetModalResult(mrCancel);
}

int TReportListView::RunRowEditor(int Row, TForm* ContainerForm, int PosLeft, int PosTop,
                                  const std::string& FormCaption, const std::string& ButOKCaption,
                                  const std::string& ButCancelCaption) {
    if (FContainerForm != nullptr)
        throw EKELRepListError("Component \"" + Name() + "\": the row editor is already open");
    if (Row < 1 || Row > NrOfRows())
        throw EKELRepListError("Component \"" + Name() + "\": cannot edit row " +
                               std::to_string(Row) + ", the rows are 1.." +
                               std::to_string(NrOfRows()));
    const bool own = ContainerForm == nullptr;
    // Date fields whose cell did not read as a date: the cell is kept unless the user sets one.
    std::set<const TComponent*> keepCell;

    // Step 6 runs on every way out: the runtime controls go (last to first), then an own form.
    struct TCleanup {
        TReportListView& View;
        TForm* Form = nullptr;
        bool Own = false;
        ~TCleanup() {
            if (Form != nullptr) {
                for (int i = Form->ComponentCount() - 1; i >= 0; --i) {
                    TComponent* k = Form->Components(i);
                    if (Contains(k->Name(), RuntimePrefix)) delete k;
                }
                if (Own) delete Form;
            }
            View.FContainerForm = nullptr;
            View.FSBERCancel = nullptr;
        }
    } cleanup{*this};

    TForm* form = ContainerForm;
    int topOffset = 0;
    if (own) {
        form = new TRowEditForm(this);
        cleanup.Form = form;
        cleanup.Own = true;
        form->SetBounds(PosLeft, PosTop, form->Width(), form->Height());
        PosLeft = 0;
        PosTop = 0;
        topOffset = OwnTopOffset;
    } else {
        cleanup.Form = form;
    }
    FContainerForm = form;

    const int n = NrOfColumns();
    int L = 0;
    for (int c = 1; c <= n; ++c) L = std::max(L, form->Canvas().TextWidth(Header(c)));
    L += LabelSpace;

    int wMax = 0;
    for (int c = 1; c <= n; ++c) {
        std::string format = ColumnFormat(c);
        if (FOnRequestEdFmt) FOnRequestEdFmt(this, c, Row, format);
        const TFieldFormat f = SplitFormat(format);
        wMax = std::max(wMax, f.Width);
        const std::string num = std::to_string(c);
        const int y = topOffset + (c - 1) * RowPitch + PosTop;

        auto* label = new TLabel(form);
        label->SetName(RuntimePrefix + std::string("Label") + num);
        label->SetParent(form);
        label->SetAutoSize(false);
        label->SetShowAccelChar(false);
        label->SetAlignment(taRightJustify);
        label->SetCaption(Header(c) + ":");
        label->SetBounds(PosLeft + LabelLeft, y + LabelDown, L, label->Height());

        const std::string cell = Elem(c, Row);
        const char kind = f.Type.empty() ? '\0' : f.Type[0];
        TWinControl* field = nullptr;
        switch (kind) {
        case 'c':
        case 'l': {
            auto* cb = new TComboBox(form);
            field = cb;
            cb->SetName(RuntimePrefix + std::string("CBox") + num);
            cb->SetParent(form);
            cb->SetStyle(kind == 'c' ? csDropDown : csDropDownList);
            const std::string items = EnsureTrailingChar(f.Rest, '|');
            for (std::size_t from = 0, bar; (bar = items.find('|', from)) != std::string::npos;
                 from = bar + 1)
                cb->Items().Add(items.substr(from, bar - from));
            const std::size_t colon = f.Type.find(':');
            if (colon != std::string::npos) {
                int pos = static_cast<int>(colon) + 2;
                cb->SetDropDownCount(ScanDecInt(f.Type, pos));
            }
            if (kind == 'c') {
                cb->SetText(cell);
            } else {
                cb->SetItemIndex(cb->Items().IndexOf(cell));
            }
            break;
        }
        case 'd': {
            auto* dp = new TDateTimePicker(form);
            field = dp;
            dp->SetName(RuntimePrefix + std::string("DtPick") + num);
            dp->SetParent(form);
            dp->SetFormat(f.Type.substr(1));
            // Read with the pattern the picker shows (its default when the pattern is empty),
            // so that what is written back reads again the same way.
            const std::string text = cell.empty() && !f.Rest.empty() ? f.Rest : cell;
            TDateTime value = 0;
            if (ParseDateTime(text, dp->EffectiveFormat(), lgEnglish, value) != dpOK) {
                value = 0;
                // Not a date: the cell stays as it is unless the user sets a date.
                keepCell.insert(dp);
                dp->SetOnChange([&keepCell](TObject* Sender) {
                    keepCell.erase(static_cast<TComponent*>(Sender));
                });
            }
            dp->SetDateTime(value);
            break;
        }
        case 'e':
        case 'f':
        case 'h':
        case 'i': {
            auto* ni = new TNumIO(form);
            field = ni;
            ni->SetName(RuntimePrefix + std::string("NumIO") + num);
            ni->SetParent(form);
            ni->SetRangeLow(-1.7e308);
            ni->SetRangeHigh(1.7e308);
            ni->SetInputFormat(kind == 'e'   ? itDynamic
                               : kind == 'f' ? itFloat
                               : kind == 'h' ? itHex
                                             : itInt);
            std::string text = cell;
            if (text.empty())
                text = Contains(LowerAscii(f.Rest), "rix")
                           ? TRLData::DefaultOfFormatRest(kind, f.Rest, Row)
                           : f.Rest;
            // Shown as it is: a cell that is not a number of the format is not lost.
            ni->SetEditText(text);
            break;
        }
        case 's': {
            auto* ed = new TEdit(form);
            field = ed;
            ed->SetName(RuntimePrefix + std::string("Edit") + num);
            ed->SetParent(form);
            std::string text = cell;
            if (text.empty())
                text = Contains(LowerAscii(f.Rest), "$pwd$")
                           ? TRLData::DefaultOfFormatRest('s', f.Rest, Row)
                           : f.Rest;
            ed->SetText(text);
            break;
        }
        default:
            break;
        }
        if (field == nullptr) continue;
        field->SetTag(c);
        field->SetBounds(L + PosLeft + FieldGap, y, f.Width, field->Height());
        if (f.ReadOnly) {
            field->SetEnabled(false);
            field->SetColor(ReadOnlyColor);
            field->Font().SetColor(clGray);
        } else {
            field->SetOnKeyPress(
                [this](TObject* Sender, char32_t& Key) { EdRowKeyPress(Sender, Key); });
        }
    }

    int F = wMax + L;
    if (own) {
        // Narrow fields would put the OK button past the form's left edge: the form is made
        // wide enough for both buttons.
        F = std::max(F, OKFromRight + ButtonTop);
        form->SetBorderStyle(bsDialog);
        form->SetBounds(form->Left(), form->Top(), F + FormExtraWidth,
                        n * RowPitch + OwnTopOffset + FormExtraHeight);
        auto* cancel = new TSpeedButton(form);
        cancel->SetParent(form);
        cancel->SetBounds(F - CancelFromRight, ButtonTop, ButtonWidth, ButtonHeight);
        cancel->SetCaption(ButCancelCaption);
        cancel->SetOnClick([this](TObject* Sender) { EdRowCancelClick(Sender); });
        FSBERCancel = cancel;
        auto* ok = new TSpeedButton(form);
        ok->SetParent(form);
        ok->SetBounds(F - OKFromRight, ButtonTop, ButtonWidth, ButtonHeight);
        ok->SetCaption(ButOKCaption);
        ok->SetOnClick([this](TObject* Sender) { EdRowOKClick(Sender); });
        form->SetCaption(FormCaption);
    } else {
        // Enlarged to hold the fields at their offset, never shrunk.
        form->SetBounds(form->Left(), form->Top(),
                        std::max(form->Width(), PosLeft + F + FormExtraWidth),
                        std::max(form->Height(), PosTop + n * RowPitch + FormExtraHeight));
    }

    const int result = form->ShowModal();
    if (result == mrOk) {
        const bool wasSuppressed = FSuppressPaint;
        SetSuppressPaint(true);
        try {
            for (int i = 0; i < form->ComponentCount(); ++i) {
                TComponent* k = form->Components(i);
                if (keepCell.count(k) != 0) continue;
                // A list without the cell's text shows nothing chosen: unless the user picks an
                // item, OK keeps the cell.
                if (auto* cb = dynamic_cast<TComboBox*>(k);
                    cb != nullptr && cb->Style() == csDropDownList && cb->ItemIndex() < 0)
                    continue;
                const std::string& name = k->Name();
                const int col = static_cast<int>(k->Tag());
                if (Contains(name, "runtime_rlre_Edit") || Contains(name, "runtime_rlre_NumIO") ||
                    Contains(name, "runtime_rlre_CBox")) {
                    if (auto* ctl = dynamic_cast<TControl*>(k)) SetElem(col, Row, ctl->Text());
                } else if (Contains(name, "runtime_rlre_DtPick")) {
                    if (auto* dp = dynamic_cast<TDateTimePicker*>(k))
                        SetElem(col, Row, dp->DisplayText());
                }
            }
        } catch (...) {
            SetSuppressPaint(wasSuppressed);
            throw;
        }
        SetSuppressPaint(wasSuppressed);
    }
    return result;
}

} // namespace kel
