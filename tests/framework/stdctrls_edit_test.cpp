// Tests of the edit box: caret and selection by keys and mouse, editing, the clipboard,
// MaxLength, ReadOnly, AutoSelect, the change notification, UTF-8 text, the blinking caret,
// scrolling and the drawn look. Input goes through the headless host's helpers.
#include "controls_test_util.h"
#include "kel_stdctrls.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace kel::test {
namespace {

using namespace kel::headless;

class EditTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        edit = new TEdit(form.get());
        edit->SetParent(form.get());
        edit->SetBounds(10, 10, 120, 21);
        edit->SetOnChange([this](TObject*) {
            ++changes;
            texts.push_back(edit->Text());
        });
        Clipboard().Clear();
    }
    // Focuses the box and puts the caret at the end, without selection.
    void FocusAtEnd() {
        edit->SetFocus();
        edit->SetSelStart(edit->TextLength());
    }
    void Stroke(std::uint16_t key, TShiftState s = {}) { KeyStroke(*form, key, s); }

    TEdit* edit = nullptr;
    int changes = 0;
    std::vector<std::string> texts;
};

TEST_F(EditTest, TypingInsertsAtTheCaretAndFiresOnChangeOncePerCharacter) {
    edit->SetFocus();
    Type(*form, "abc");
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "ab", "abc"}));
    EXPECT_EQ(edit->SelStart(), 3);
    EXPECT_TRUE(edit->Modified());
    Stroke(VK_LEFT);
    Stroke(VK_LEFT);
    Type(*form, "X");
    EXPECT_EQ(edit->Text(), "aXbc");
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(changes, 4);
}

TEST_F(EditTest, ArrowsHomeAndEndMoveTheCaretAndShiftExtendsTheSelection) {
    edit->SetText("hello world");
    FocusAtEnd();
    Stroke(VK_HOME);
    EXPECT_EQ(edit->SelStart(), 0);
    Stroke(VK_LEFT); // stays at the start
    EXPECT_EQ(edit->SelStart(), 0);
    Stroke(VK_RIGHT, {ssShift});
    Stroke(VK_RIGHT, {ssShift});
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 2);
    EXPECT_EQ(edit->SelText(), "he");
    Stroke(VK_END, {ssShift});
    EXPECT_EQ(edit->SelText(), "hello world");
    // Moving back past the anchor selects on the other side of it.
    Stroke(VK_END);
    Stroke(VK_LEFT);
    Stroke(VK_LEFT, {ssShift});
    Stroke(VK_RIGHT, {ssShift});
    Stroke(VK_RIGHT, {ssShift});
    EXPECT_EQ(edit->SelStart(), 10);
    EXPECT_EQ(edit->SelLength(), 1);
    EXPECT_EQ(edit->CaretPos(), 11);
    // Left without Shift collapses the selection to its start, Right to its end.
    Stroke(VK_HOME, {ssShift});
    Stroke(VK_LEFT);
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(changes, 1); // only the assignment changed the text
}

TEST_F(EditTest, CtrlWithArrowsMovesByWords) {
    edit->SetText("one two, three");
    FocusAtEnd();
    Stroke(VK_HOME);
    Stroke(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(edit->CaretPos(), 4);
    Stroke(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(edit->CaretPos(), 7);
    Stroke(VK_RIGHT, {ssCtrl});
    EXPECT_EQ(edit->CaretPos(), 9);
    Stroke(VK_LEFT, {ssCtrl, ssShift});
    EXPECT_EQ(edit->SelText(), ", ");
    Stroke(VK_END);
    Stroke(VK_LEFT, {ssCtrl});
    EXPECT_EQ(edit->CaretPos(), 9);
}

TEST_F(EditTest, AssigningTextResetsTheCaretAndFiresOnceButTheSameTextFiresNothing) {
    FocusAtEnd();
    Type(*form, "abc");
    changes = 0;
    edit->SetText("new text");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_FALSE(edit->Modified());
    edit->SetText("new text");
    EXPECT_EQ(changes, 1);
    edit->Clear();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->Text(), "");
}

TEST_F(EditTest, ANewBoxTakesItsNameAsTextUntilTheTextIsSet) {
    edit->SetName("Edit1");
    EXPECT_EQ(edit->Text(), "Edit1");
    edit->SetText("value");
    edit->SetName("Edit2");
    EXPECT_EQ(edit->Text(), "value");
}

TEST_F(EditTest, SelTextReplacesTheSelectionOrInsertsAtTheCaret) {
    edit->SetText("abcdef");
    edit->SetSelStart(1);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->SelText(), "bcd");
    changes = 0;
    edit->SetSelText("XY");
    EXPECT_EQ(edit->Text(), "aXYef");
    EXPECT_EQ(edit->SelStart(), 3);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(changes, 1);
    edit->SetSelText("-");
    EXPECT_EQ(edit->Text(), "aXY-ef");
    // Out-of-range positions are clamped.
    edit->SetSelStart(99);
    EXPECT_EQ(edit->SelStart(), 6);
    edit->SetSelStart(-3);
    edit->SetSelLength(99);
    EXPECT_EQ(edit->SelLength(), 6);
}

TEST_F(EditTest, BackspaceAndDeleteRemoveOneCharacterOrTheSelection) {
    edit->SetText("abcdef");
    FocusAtEnd();
    changes = 0;
    Type(*form, "\b");
    EXPECT_EQ(edit->Text(), "abcde");
    Stroke(VK_HOME);
    Stroke(VK_DELETE);
    EXPECT_EQ(edit->Text(), "bcde");
    Stroke(VK_RIGHT, {ssShift});
    Stroke(VK_RIGHT, {ssShift});
    Type(*form, "\b");
    EXPECT_EQ(edit->Text(), "de");
    EXPECT_EQ(changes, 3);
    // Nothing to delete: no change.
    Stroke(VK_HOME);
    Type(*form, "\b");
    Stroke(VK_END);
    Stroke(VK_DELETE);
    EXPECT_EQ(changes, 3);
    // Typing over a selection replaces it with one change.
    Stroke(VK_HOME, {ssShift});
    Type(*form, "Z");
    EXPECT_EQ(edit->Text(), "Z");
    EXPECT_EQ(changes, 4);
}

TEST_F(EditTest, CutCopyAndPasteGoThroughTheClipboard) {
    edit->SetText("copy this");
    edit->SetFocus();
    edit->SetSelection(5, 4);
    Stroke('C', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), "this");
    EXPECT_EQ(edit->Text(), "copy this");
    changes = 0;
    Stroke('X', {ssCtrl});
    EXPECT_EQ(edit->Text(), "copy ");
    EXPECT_EQ(changes, 1);
    Stroke(VK_HOME);
    Stroke('V', {ssCtrl});
    EXPECT_EQ(edit->Text(), "thiscopy ");
    EXPECT_EQ(edit->CaretPos(), 4);
    EXPECT_EQ(changes, 2);
    // The keyboard's other clipboard keys.
    edit->SelectAll();
    Stroke(VK_INSERT, {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), "thiscopy ");
    Stroke(VK_DELETE, {ssShift});
    EXPECT_EQ(edit->Text(), "");
    Stroke(VK_INSERT, {ssShift});
    EXPECT_EQ(edit->Text(), "thiscopy ");
    // A single-line box pastes the first line only; copying nothing leaves the clipboard.
    Clipboard().SetAsText("first\r\nsecond");
    edit->SelectAll();
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "first");
    edit->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), "first\r\nsecond");
}

TEST_F(EditTest, MaxLengthLimitsTypingAndPastingButNotCode) {
    edit->SetMaxLength(5);
    edit->SetFocus();
    Type(*form, "abcdefg");
    EXPECT_EQ(edit->Text(), "abcde");
    EXPECT_EQ(changes, 5);
    // Typing over a selection is allowed: the length stays within the limit.
    Stroke(VK_LEFT, {ssShift});
    Type(*form, "Z");
    EXPECT_EQ(edit->Text(), "abcdZ");
    Clipboard().SetAsText("12345");
    edit->SetSelection(1, 2);
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "a12dZ"); // only as much as fits
    changes = 0;
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "a12dZ");
    EXPECT_EQ(changes, 0);
    edit->SetText("longer than five");
    EXPECT_EQ(edit->Text(), "longer than five");
    edit->SetSelStart(0);
    edit->SetSelText("code may ");
    EXPECT_EQ(edit->Text(), "code may longer than five");
}

TEST_F(EditTest, ReadOnlyAllowsSelectingAndCopyingButNoChange) {
    edit->SetText("fixed");
    edit->SetReadOnly(true);
    FocusAtEnd();
    Clipboard().SetAsText("paste");
    changes = 0;
    Type(*form, "x\b");
    Stroke(VK_DELETE);
    Stroke(VK_HOME, {ssShift});
    Stroke('X', {ssCtrl});
    Stroke('V', {ssCtrl});
    EXPECT_EQ(edit->Text(), "fixed");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(edit->SelText(), "fixed");
    Stroke('C', {ssCtrl});
    EXPECT_EQ(Clipboard().AsText(), "fixed");
    edit->SetSelText("code");
    EXPECT_EQ(edit->Text(), "code");
    EXPECT_EQ(changes, 1);
}

TEST_F(EditTest, HandlersSeeKeysFirstAndCanSwallowThem) {
    edit->SetText("abc");
    FocusAtEnd();
    edit->SetOnKeyDown([](TObject*, std::uint16_t& k, TShiftState) {
        if (k == VK_HOME) k = 0;
    });
    edit->SetOnKeyPress([](TObject*, char32_t& ch) {
        if (ch == U'x') ch = 0;
        if (ch == U'a') ch = U'A';
    });
    Stroke(VK_HOME);
    EXPECT_EQ(edit->CaretPos(), 3);
    Type(*form, "xa");
    EXPECT_EQ(edit->Text(), "abcA");
}

TEST_F(EditTest, AutoSelectSelectsAllWhenEnteredByKeyboardButNotByClick) {
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(10, 60, 120, 21);
    edit->SetText("first");
    other->SetText("second");
    edit->SetFocus();
    Stroke(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->SelText(), "second");
    // A click into the first box puts the caret at the click instead.
    ClickAt(*edit, 1, 5);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(edit->CaretPos(), 0);
    other->SetAutoSelect(false);
    other->SetSelStart(2);
    Stroke(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->SelLength(), 0);
}

TEST_F(EditTest, ClickPlacesTheCaretDragSelectsAndDoubleClickSelectsAWord) {
    edit->SetText("alpha beta gamma");
    int y = edit->Height() / 2;
    // Positions of the character boundaries as the box measures them.
    int xBeta = edit->CharToX(6), xBetaEnd = edit->CharToX(10);
    ClickAt(*edit, xBeta + 1, y);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->CaretPos(), 6);
    Drag(*edit, xBeta, y, xBetaEnd, y);
    EXPECT_EQ(edit->SelText(), "beta");
    // Dragging leftwards selects towards the start with the caret there.
    Drag(*edit, xBetaEnd, y, xBeta, y);
    EXPECT_EQ(edit->SelText(), "beta");
    EXPECT_EQ(edit->CaretPos(), 6);
    // Shift+click extends from the anchor.
    ClickAt(*edit, edit->CharToX(0), y);
    ClickAt(*edit, edit->CharToX(5), y, {ssShift});
    EXPECT_EQ(edit->SelText(), "alpha");
    DoubleClickAt(*edit, (edit->CharToX(11) + edit->CharToX(12)) / 2, y);
    EXPECT_EQ(edit->SelText(), "gamma");
    DoubleClickAt(*edit, edit->CharToX(2), y);
    EXPECT_EQ(edit->SelText(), "alpha");
    EXPECT_EQ(changes, 1);
}

TEST_F(EditTest, Utf8TextIsEditedByWholeCharacters) {
    edit->SetFocus();
    TextInput(*form, "aé€😀");
    EXPECT_EQ(edit->Text(), "aé€😀");
    EXPECT_EQ(edit->TextLength(), 4);
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(changes, 4);
    Stroke(VK_LEFT);
    Stroke(VK_LEFT, {ssShift});
    EXPECT_EQ(edit->SelText(), "€");
    Type(*form, "\b");
    EXPECT_EQ(edit->Text(), "aé😀");
    Stroke(VK_DELETE);
    EXPECT_EQ(edit->Text(), "aé");
    Stroke(VK_HOME);
    Stroke(VK_RIGHT);
    Stroke(VK_DELETE);
    EXPECT_EQ(edit->Text(), "a");
    // MaxLength counts characters, not bytes, and never cuts inside one.
    edit->SetText("");
    edit->SetMaxLength(2);
    Clipboard().SetAsText("ééé");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "éé");
    // A malformed byte in assigned text counts as one character of its own.
    edit->SetMaxLength(0);
    edit->SetText(std::string("x\xC3y"));
    EXPECT_EQ(edit->TextLength(), 3);
    edit->SetSelection(1, 1);
    EXPECT_EQ(edit->SelText(), "\xC3");
}

TEST_F(EditTest, CaretBlinksOnTheTimerWhileFocusedAndStopsWhenTheFocusLeaves) {
    EXPECT_FALSE(edit->CaretShown());
    edit->SetFocus();
    EXPECT_TRUE(edit->CaretShown());
    Application->Advance(TCustomEdit::CaretBlinkMs);
    EXPECT_FALSE(edit->CaretShown());
    Application->Advance(TCustomEdit::CaretBlinkMs);
    EXPECT_TRUE(edit->CaretShown());
    Application->Advance(TCustomEdit::CaretBlinkMs - 1);
    Type(*form, "a"); // typing shows the caret and restarts the period
    Application->Advance(TCustomEdit::CaretBlinkMs - 1);
    EXPECT_TRUE(edit->CaretShown());
    Application->Advance(1);
    EXPECT_FALSE(edit->CaretShown());
    // The caret is drawn in the font colour and vanishes in the off phase.
    Application->Advance(TCustomEdit::CaretBlinkMs);
    int cx = edit->CharToX(edit->CaretPos());
    EXPECT_EQ(PixelAt(*edit, cx, 6), ColorToRGB(clWindowText));
    Application->Advance(TCustomEdit::CaretBlinkMs);
    EXPECT_EQ(PixelAt(*edit, cx, 6), ColorToRGB(clWindow));
    std::size_t timers = Application->TimerCount();
    auto* other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetFocus();
    EXPECT_FALSE(edit->CaretShown());
    EXPECT_TRUE(other->CaretShown());
    EXPECT_EQ(Application->TimerCount(), timers); // one timer went, one came
}

TEST_F(EditTest, LongTextScrollsToKeepTheCaretVisible) {
    edit->SetText("The quick brown fox jumps over the lazy dog again and again");
    FocusAtEnd();
    TRect area = edit->TextArea();
    EXPECT_GT(edit->ScrollOffset(), 0);
    int cx = edit->CharToX(edit->CaretPos());
    EXPECT_GE(cx, area.Left);
    EXPECT_LT(cx, area.Right);
    Stroke(VK_HOME);
    EXPECT_EQ(edit->ScrollOffset(), 0);
    // Walking right reveals characters one by one; the caret never leaves the area.
    for (int i = 0; i < edit->TextLength(); ++i) {
        Stroke(VK_RIGHT);
        int x = edit->CharToX(edit->CaretPos());
        ASSERT_GE(x, area.Left) << i;
        ASSERT_LT(x, area.Right) << i;
    }
    // Deleting from the end pulls the text back so no space is wasted at the right.
    edit->SelectAll();
    Stroke(VK_RIGHT);
    for (int i = 0; i < 50; ++i) Type(*form, "\b");
    EXPECT_EQ(edit->ScrollOffset(), 0);
}

TEST_F(EditTest, ADescendantCanTakeOverPaste) {
    struct TUpperPaste : TEdit {
        using TEdit::TEdit;
        void WMPaste(TMessage&) override {
            std::string s = Clipboard().AsText();
            for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
            SetSelText(s);
        }
    };
    auto* e = new TUpperPaste(form.get());
    e->SetParent(form.get());
    e->SetFocus();
    Clipboard().SetAsText("abc");
    Stroke('V', {ssCtrl});
    EXPECT_EQ(e->Text(), "ABC");
}

TEST_F(EditTest, DrawsFrameTextSelectionCaretScrollingAndTheDisabledLook) {
    auto* sel = new TEdit(form.get());
    sel->SetParent(form.get());
    sel->SetBounds(10, 40, 120, 21);
    sel->SetText("Edit text");
    sel->SetHideSelection(false); // shows its selection without the focus
    sel->SetSelection(5, 4);
    auto* flat = new TEdit(form.get());
    flat->SetParent(form.get());
    flat->SetBounds(10, 70, 120, 21);
    flat->SetCtl3D(false);
    flat->SetText("Flat frame");
    auto* off = new TEdit(form.get());
    off->SetParent(form.get());
    off->SetBounds(10, 100, 120, 21);
    off->SetText("Disabled");
    off->SetEnabled(false);
    edit->SetText("A long text scrolled to its end");
    FocusAtEnd();
    EXPECT_EQ(edit->Height(), 21); // AutoSize: one line of the default font, frame and margins
    EXPECT_GT(edit->ScrollOffset(), 0);
    EXPECT_EQ(PixelAt(*edit, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(*edit, 119, 20), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(*flat, 0, 10), ColorToRGB(clWindowFrame));
    EXPECT_EQ(PixelAt(*off, 60, 17), ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelAt(*sel, sel->CharToX(6), 17), ColorToRGB(clHighlight));
    EXPECT_EQ(PixelAt(*edit, edit->CharToX(edit->CaretPos()), 5), ColorToRGB(clWindowText));
    TBitmap shot;
    Snapshot(*form, shot);
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/stdctrls_edit"));
}

TEST_F(EditTest, UndoRestoresTheTextBeforeTheLastChangeAndASecondUndoRedoes) {
    edit->SetText("hello");
    EXPECT_FALSE(edit->CanUndo()); // text set by code leaves nothing to undo
    FocusAtEnd();
    Type(*form, " world"); // one run of typing is one step
    EXPECT_TRUE(edit->CanUndo());
    int before = changes;
    Stroke('Z', {ssCtrl});
    EXPECT_EQ(edit->Text(), "hello");
    EXPECT_EQ(changes, before + 1);
    edit->Undo();
    EXPECT_EQ(edit->Text(), "hello world");
    // A deletion is its own step, and restores the selection it removed.
    edit->SetSelection(0, 6);
    Stroke(VK_DELETE);
    EXPECT_EQ(edit->Text(), "world");
    Stroke(VK_BACK, {ssAlt});
    EXPECT_EQ(edit->Text(), "hello world");
    EXPECT_EQ(edit->SelText(), "hello ");
    // Moving the caret ends a typing run: two runs are two steps.
    FocusAtEnd();
    Type(*form, "!");
    Stroke(VK_LEFT);
    Type(*form, "?");
    edit->Undo();
    EXPECT_EQ(edit->Text(), "hello world!");
    edit->SetReadOnly(true);
    edit->Undo();
    EXPECT_EQ(edit->Text(), "hello world!");
    edit->SetReadOnly(false);
    edit->SetText("new");
    EXPECT_FALSE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Text(), "new");
}

// Every boundary lies where the canvas measures the text up to it: multi-byte characters,
// malformed bytes (each its own character), after an edit in the middle and a font change.
TEST_F(EditTest, CharacterBoundariesAreTheWidthsOfTheTextBeforeThem) {
    const std::string text = "Wi\xc3\xa4 x\xC0\x80\xE2\x82\xAC.\xF0\x9F\x98\x80m\xE2\x82";
    edit->SetText(text);
    TBitmap m(1, 1);
    auto checkAll = [&](const std::string& what) {
        m.Canvas().Font().Assign(&edit->Font());
        const std::string& t = edit->Text();
        int chars = 0;
        for (std::size_t b = 0; b <= t.size(); ++chars) {
            EXPECT_EQ(edit->CharToX(chars) - edit->CharToX(0), m.Canvas().TextWidth(t.substr(0, b)))
                << what << ": boundary " << chars;
            if (b == t.size()) break;
            const unsigned char c = static_cast<unsigned char>(t[b]);
            std::size_t len = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 1;
            if (b + len > t.size()) len = 1;
            for (std::size_t k = 1; k < len; ++k)
                if ((static_cast<unsigned char>(t[b + k]) & 0xC0) != 0x80) len = 1;
            b += len;
        }
        EXPECT_EQ(chars, edit->TextLength()) << what;
    };
    checkAll("set");
    edit->SetFocus();
    edit->SetSelStart(3);
    Type(*form, "WW\xc3\xb6");
    checkAll("typed");
    edit->Font().SetSize(edit->Font().Size() + 6);
    checkAll("bigger font");
}

TEST_F(EditTest, PasswordCharHidesTheTextAndRefusesToCopyIt) {
    edit->SetText("secret");
    edit->SetPasswordChar(U'*');
    TBitmap m(1, 1);
    EXPECT_EQ(edit->CharToX(3) - edit->CharToX(0), m.Canvas().TextWidth("***"));
    EXPECT_EQ(edit->Text(), "secret");
    edit->SelectAll();
    edit->CopyToClipboard();
    edit->CutToClipboard();
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
    EXPECT_EQ(edit->Text(), "secret");
    edit->SetPasswordChar(0);
    EXPECT_EQ(edit->CharToX(3) - edit->CharToX(0), m.Canvas().TextWidth("sec"));
}

} // namespace
} // namespace kel::test
