// TColorButton: the hover lightness rule and its edges, lightening on enter and the exact colour
// back on leave (no drift on a repeated enter), the click without a dialog, with the dialog
// cancelled and accepted (start colour, face, caption colour by grey level and ParentBackground,
// OnChange, the choice kept after the mouse leaves), the dialog's deletion, the form file, and
// reference images of the default, hovered and chosen looks.
#include "KEL_Colbut.h"

#include "kel_form_fixture.h"
#include "kel_props.h"
#include "kel_stdctrls.h"
#include "kel_streaming.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace kel;

namespace {

class ColorButtonTest : public test::FormTest {
  protected:
    ColorButtonTest() : test::FormTest(240, 100) {}
    void SetUp() override {
        test::FormTest::SetUp();
        btn = new TColorButton(form.get());
        btn->SetParent(form.get());
        btn->SetBounds(10, 10, 120, 40);
        btn->SetCaption("Colour");
        btn->SetOnClick([this](TObject*) { log.push_back("click"); });
        btn->SetOnChange([this](TObject*) { log.push_back("change"); });
        dlg = new TColorDialog(form.get());
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
    // Runs the dialog on the next click: notes the red channel it starts at, then types the
    // colour and confirms (Ok) or cancels.
    void ScriptDialog(TColor Pick, bool Ok) {
        headless::WhenModal([this, Pick, Ok](TForm& f) {
            started = dynamic_cast<TEdit&>(*f.FindComponent("RedEdit")).Text();
            for (auto [name, v] :
                 {std::pair{"RedEdit", GetRValue(Pick)}, std::pair{"GreenEdit", GetGValue(Pick)},
                  std::pair{"BlueEdit", GetBValue(Pick)}}) {
                auto& e = dynamic_cast<TEdit&>(*f.FindComponent(name));
                headless::ClickAt(e, 5, 5);
                e.SelectAll();
                headless::Type(f, std::to_string(v));
            }
            auto& b = dynamic_cast<TControl&>(*f.FindComponent(Ok ? "OKButton" : "CancelButton"));
            headless::ClickAt(b, 5, 5);
        });
    }
    void LeaveButton() { headless::MoveTo(*form, 200, 90); }

    TColorButton* btn = nullptr;
    TColorDialog* dlg = nullptr;
    std::vector<std::string> log;
    std::string started;
};

} // namespace

// ---- Lightening -------------------------------------------------------------------------------

TEST(ColorButtonHover, LightnessRule) {
    EXPECT_DOUBLE_EQ(ColorButtonHoverLightness(0.2), 0.4);
    EXPECT_DOUBLE_EQ(ColorButtonHoverLightness(0.6), 0.8);
    EXPECT_DOUBLE_EQ(ColorButtonHoverLightness(0.95), 0.975);
    EXPECT_DOUBLE_EQ(ColorButtonHoverLightness(0.3), 0.5); // 0.3 itself takes the + 0.2 branch
    EXPECT_DOUBLE_EQ(ColorButtonHoverLightness(0.31), 0.655);
    EXPECT_DOUBLE_EQ(ColorButtonHoverLightness(1.0), 1.0);
    EXPECT_DOUBLE_EQ(ColorButtonHoverLightness(0.0), 0.2);
    // Greys of lightness 0.2 and 0.6; red keeps its hue and saturation.
    EXPECT_EQ(ColorButtonHoverColor(RGB(51, 51, 51)), RGB(102, 102, 102));
    EXPECT_EQ(ColorButtonHoverColor(RGB(153, 153, 153)), RGB(204, 204, 204));
    EXPECT_EQ(ColorButtonHoverColor(clRed), RGB(255, 128, 128));
}

TEST_F(ColorButtonTest, PublishesThePanelsListAndItsDialog) {
    const TClassInfo* info = FindClass("TColorButton");
    ASSERT_NE(info, nullptr);
    EXPECT_NE(info->FindProp("ColorDialog"), nullptr);
    EXPECT_NE(info->FindProp("BevelOuter"), nullptr); // the panel's list
    EXPECT_NE(info->FindProp("Caption"), nullptr);
}

TEST_F(ColorButtonTest, FaceLightensWhileTheMouseIsOverItAndComesBackExactly) {
    btn->SetColor(RGB(51, 51, 51));
    headless::MoveTo(*btn, 60, 20);
    EXPECT_TRUE(btn->Hovered());
    EXPECT_EQ(btn->Color(), RGB(102, 102, 102));
    EXPECT_EQ(btn->BaseColor(), RGB(51, 51, 51));
    EXPECT_EQ(headless::PixelAt(*btn, 10, 10), RGB(102, 102, 102));
    // A second enter before the leave saves nothing new.
    btn->Perform(CM_MOUSEENTER);
    EXPECT_EQ(btn->Color(), RGB(102, 102, 102));
    LeaveButton();
    EXPECT_FALSE(btn->Hovered());
    EXPECT_EQ(btn->Color(), RGB(51, 51, 51));
    EXPECT_EQ(headless::PixelAt(*btn, 10, 10), RGB(51, 51, 51));
    // System colours come back as they were, not as their RGB value.
    btn->SetColor(clBtnFace);
    headless::MoveTo(*btn, 60, 20);
    LeaveButton();
    EXPECT_EQ(btn->Color(), clBtnFace);
    EXPECT_EQ(Log(), "");
}

// ---- Clicks -----------------------------------------------------------------------------------

TEST_F(ColorButtonTest, WithoutADialogAClickIsJustAClick) {
    headless::ClickAt(*btn, 60, 20);
    EXPECT_EQ(Log(), "click");
    EXPECT_EQ(btn->BaseColor(), clBtnFace);
}

TEST_F(ColorButtonTest, CancelledDialogChangesNothing) {
    btn->SetColor(RGB(51, 60, 70));
    btn->SetColorDialog(dlg);
    ScriptDialog(clRed, false);
    headless::ClickAt(*btn, 60, 20);
    EXPECT_EQ(started, "51"); // the button's own colour, not the lightened face
    LeaveButton();
    EXPECT_EQ(btn->Color(), RGB(51, 60, 70));
    EXPECT_EQ(btn->Font().Color(), clWindowText);
    EXPECT_EQ(Log(), "click");
}

TEST_F(ColorButtonTest, AcceptedColourIsKeptAndTheCaptionStaysReadable) {
    btn->SetColorDialog(dlg);
    ScriptDialog(RGB(0, 0, 128), true); // grey level 15: white caption
    headless::ClickAt(*btn, 60, 20);
    EXPECT_EQ(btn->BaseColor(), RGB(0, 0, 128)); // the face may show it lightened
    EXPECT_EQ(btn->Font().Color(), clWhite);
    EXPECT_EQ(Log(), "click | change");
    LeaveButton();
    EXPECT_EQ(btn->Color(), RGB(0, 0, 128));
    EXPECT_EQ(headless::PixelAt(*btn, 10, 10), RGB(0, 0, 128));

    ScriptDialog(RGB(96, 96, 96), true); // grey level 96: still white
    headless::ClickAt(*btn, 60, 20);
    EXPECT_EQ(btn->Font().Color(), clWhite);
    ScriptDialog(RGB(97, 97, 97), true); // above 96: black
    headless::ClickAt(*btn, 60, 20);
    EXPECT_EQ(btn->Font().Color(), clBlack);
    btn->SetParentBackground(true); // the parent's background: the window text colour
    ScriptDialog(RGB(0, 0, 0), true);
    headless::ClickAt(*btn, 60, 20);
    EXPECT_EQ(btn->Font().Color(), clWindowText);
    EXPECT_EQ(Log(), "click | change | click | change | click | change");
}

// Click made callable, to confirm a colour while the mouse stays over the button (a modal
// dialog that does not cover it sends no leave).
class TClickableColorButton : public TColorButton {
  public:
    using TColorButton::Click;
    using TColorButton::TColorButton;
};

TEST_F(ColorButtonTest, AColourGivenWhileHoveredIsTheOneTheFaceReturnsTo) {
    auto* b = new TClickableColorButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(140, 10, 60, 40);
    b->SetColorDialog(dlg);
    b->SetOnChange([this](TObject*) { log.push_back("change"); });
    b->Perform(CM_MOUSEENTER);
    ASSERT_TRUE(b->Hovered());
    ScriptDialog(RGB(0, 128, 0), true);
    b->Click();
    EXPECT_EQ(started, "240"); // clBtnFace, not its lightened face
    EXPECT_EQ(b->BaseColor(), RGB(0, 128, 0));
    EXPECT_EQ(b->Color(), ColorButtonHoverColor(RGB(0, 128, 0))); // still hovered
    b->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(b->Color(), RGB(0, 128, 0));
    // The same for a colour the application sets meanwhile.
    b->Perform(CM_MOUSEENTER);
    b->SetColor(RGB(51, 51, 51));
    EXPECT_EQ(b->Color(), RGB(102, 102, 102));
    b->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(b->Color(), RGB(51, 51, 51));
    EXPECT_EQ(Log(), "change");
}

TEST_F(ColorButtonTest, ADeletedDialogIsForgotten) {
    btn->SetColorDialog(dlg);
    delete dlg;
    dlg = nullptr;
    EXPECT_EQ(btn->ColorDialog(), nullptr);
    headless::ClickAt(*btn, 60, 20); // no dialog to show
    EXPECT_EQ(Log(), "click");
}

TEST_F(ColorButtonTest, FormFileNamesTheDialog) {
    std::istringstream in("object F: TForm\n  object B: TColorButton\n    ColorDialog = D\n"
                          "    Color = clTeal\n  end\n  object D: TColorDialog\n  end\nend\n");
    std::unique_ptr<TComponent> f(ReadComponent(in, nullptr));
    auto* b = dynamic_cast<TColorButton*>(f->FindComponent("B"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ColorDialog(), f->FindComponent("D"));
    EXPECT_EQ(b->Color(), clTeal);
    std::ostringstream out;
    WriteComponent(out, *f);
    EXPECT_NE(out.str().find("ColorDialog = D"), std::string::npos);
    EXPECT_EQ(out.str().find("ParentBackground"), std::string::npos); // its default is false
}

// ---- Pictures ---------------------------------------------------------------------------------

TEST_F(ColorButtonTest, Pictures) {
    TBitmap shot;
    headless::Snapshot(*btn, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "colbut_default"));
    btn->SetColor(clMaroon);
    btn->Font().SetColor(clWhite);
    headless::MoveTo(*btn, 60, 20);
    headless::Snapshot(*btn, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "colbut_hovered"));
    btn->SetColorDialog(dlg);
    ScriptDialog(RGB(250, 210, 60), true);
    headless::ClickAt(*btn, 60, 20);
    LeaveButton();
    headless::Snapshot(*btn, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "colbut_chosen"));
}
