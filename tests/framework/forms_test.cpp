// Forms: painting and invalidation (what is repainted, in which order, clipped to what), the
// invalid-rectangle list, the host notifications, closing and the modal loop.
#include "controls_test_util.h"
#include "kel_buttons.h"
#include "kel_stdctrls.h"

#include "kel_test_support.h"

namespace kel::test {
namespace {

using namespace kel::headless;

// ---- TRectList --------------------------------------------------------------------------------

TEST(RectListTest, CoveredRectanglesAreDroppedAndCheapUnionsMerged) {
    TRectList l;
    const TRect all = Rect(0, 0, 100, 100);
    l.Add(Rect(10, 10, 50, 50), all);
    l.Add(Rect(20, 20, 30, 30), all); // covered
    EXPECT_EQ(l.Rects().size(), 1u);
    l.Add(Rect(50, 10, 60, 50), all); // adjacent, same rows: the union costs nothing extra
    ASSERT_EQ(l.Rects().size(), 1u);
    EXPECT_EQ(l.Rects()[0], Rect(10, 10, 60, 50));
    l.Add(Rect(80, 80, 90, 90), all); // far away: kept apart
    EXPECT_EQ(l.Rects().size(), 2u);
    l.Add(Rect(-5, -5, 200, 5), all); // clipped to the bounds
    EXPECT_EQ(l.Rects().back(), Rect(0, 0, 100, 5));
    l.Add(Rect(0, 0, 100, 100), all); // covers them all
    ASSERT_EQ(l.Rects().size(), 1u);
    EXPECT_EQ(l.Rects()[0], all);
}

TEST(RectListTest, TooManyRectanglesBecomeTheWholeArea) {
    TRectList l;
    const TRect all = Rect(0, 0, 1000, 1000);
    for (int i = 0; i <= TRectList::MaxRects; ++i) l.Add(Bounds(i * 50, i * 50, 2, 2), all);
    ASSERT_EQ(l.Rects().size(), 1u);
    EXPECT_EQ(l.Rects()[0], all);
}

// ---- Painting ---------------------------------------------------------------------------------

class PaintTest : public FormFixture {
  protected:
    TCountingGraphic* AddGraphic(TWinControl* parent, TRect r, TColor c) {
        auto* g = new TCountingGraphic(form.get());
        g->SetParent(parent);
        g->SetBoundsRect(r);
        g->SetColor(c);
        return g;
    }
    int formPaints = 0;
    void CountFormPaints() {
        form->SetOnPaint([this](TObject*) { ++formPaints; });
    }
};

TEST_F(PaintTest, OneChangeRepaintsOnlyTheChangedControl) {
    std::vector<TCountingGraphic*> gs;
    for (int i = 0; i < 5; ++i)
        gs.push_back(AddGraphic(form.get(), Bounds(i * 30, 10, 25, 25), clRed));
    Flush();
    for (auto* g : gs) EXPECT_EQ(g->Paints, 1);
    gs[2]->SetColor(clGreen);
    gs[2]->Invalidate(); // a second invalidation of the same area merges
    Flush();
    EXPECT_EQ(gs[0]->Paints, 1);
    EXPECT_EQ(gs[1]->Paints, 1);
    EXPECT_EQ(gs[2]->Paints, 2);
    EXPECT_EQ(gs[3]->Paints, 1);
    EXPECT_EQ(PixelAt(*gs[2], 3, 3), clGreen);
    Flush(); // nothing left to paint
    EXPECT_EQ(gs[2]->Paints, 2);
}

TEST_F(PaintTest, DeliverRunsPostedWorkAndLeavesThePaintForTheNextFlush) {
    auto* g = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clRed);
    Flush();
    bool ran = false;
    Application->PostCall([&] {
        ran = true;
        g->SetColor(clBlue); // invalidates
    });
    Deliver();
    EXPECT_TRUE(ran);
    EXPECT_EQ(g->Paints, 1);
    EXPECT_EQ(PixelToColor(form->Surface().ScanLine(15)[15]), clRed);
    Flush();
    EXPECT_EQ(g->Paints, 2);
    EXPECT_EQ(PixelToColor(form->Surface().ScanLine(15)[15]), clBlue);
}

TEST_F(PaintTest, RepaintDrawsAtOnceAndNothingPaintsTwice) {
    auto* g = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clRed);
    Flush();
    int passes = form->PaintPassCount();
    g->SetColor(clBlue);
    g->Repaint();
    EXPECT_EQ(g->Paints, 2);
    EXPECT_EQ(PixelToColor(form->Surface().ScanLine(15)[15]), clBlue); // before any loop turn
    Flush();
    EXPECT_EQ(g->Paints, 2);
    EXPECT_EQ(form->PaintPassCount(), passes + 1);
}

TEST_F(PaintTest, OpaqueWindowlessRepaintPaintsItselfAndWhatLiesAboveItOnly) {
    CountFormPaints();
    auto* g = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clRed);
    g->IncludeStyle(csOpaque);
    auto* above = AddGraphic(form.get(), Bounds(25, 25, 20, 20), clBlue);
    auto* apart = AddGraphic(form.get(), Bounds(100, 100, 20, 20), clBlue);
    Flush();
    int before = formPaints;
    g->SetColor(clGreen); // invalidates; the Repaint below does that work at once
    g->Repaint();
    EXPECT_EQ(g->Paints, 2);
    EXPECT_EQ(formPaints, before); // no background under an opaque control
    EXPECT_EQ(above->Paints, 2);   // still on top of it
    EXPECT_EQ(apart->Paints, 1);
    EXPECT_EQ(PixelToColor(form->Surface().ScanLine(27)[27]), clBlue);
    Flush();
    EXPECT_EQ(g->Paints, 2); // not painted a second time for the same change
}

TEST_F(PaintTest, AnAreaOpaqueWindowlessControlsCoverIsNotPaintedByTheirParent) {
    CountFormPaints();
    auto* left = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clRed);
    auto* right = AddGraphic(form.get(), Bounds(30, 10, 20, 20), clRed);
    left->IncludeStyle(csOpaque);
    right->IncludeStyle(csOpaque);
    Flush();
    int before = formPaints;
    // Two controls together cover the change: only they paint.
    form->InvalidateSurfaceRect(Bounds(20, 12, 20, 10));
    Flush();
    EXPECT_EQ(formPaints, before);
    EXPECT_EQ(left->Paints, 2);
    EXPECT_EQ(right->Paints, 2);
    // A pixel of the change outside them: the form paints its background as well.
    form->InvalidateSurfaceRect(Bounds(20, 12, 31, 10));
    Flush();
    EXPECT_EQ(formPaints, before + 1);
    // A control that is not opaque leaves the background to the form.
    right->ExcludeStyle(csOpaque);
    right->Invalidate();
    Flush();
    EXPECT_EQ(formPaints, before + 2);
}

TEST_F(PaintTest, WindowlessControlsPaintOverTheParentBackgroundClippedToTheirBounds) {
    // This control paints far beyond its bounds; the canvas keeps it inside.
    struct TWild : public TGraphicControl {
        using TGraphicControl::TGraphicControl;
        void Paint() override {
            Canvas().Brush().SetColor(clBlack);
            Canvas().FillRect(Rect(-50, -50, 500, 500));
        }
    };
    form->SetColor(clYellow);
    auto* w = new TWild(form.get());
    w->SetParent(form.get());
    w->SetBounds(20, 30, 10, 5);
    Flush();
    TBitmap out;
    Snapshot(*form, out);
    std::string expected;
    for (int y = 30; y < 35; ++y)
        for (int x = 20; x < 30; ++x) {
            expected += std::to_string(x);
            expected += ',';
            expected += std::to_string(y);
            expected += ' ';
        }
    EXPECT_EQ(PixelsOf(out, clBlack), expected);
    EXPECT_EQ(PixelAt(*form, 19, 30), clYellow);
}

TEST_F(PaintTest, LaterSiblingsPaintOnTopAndBringToFrontReorders) {
    auto* a = AddGraphic(form.get(), Bounds(0, 0, 20, 20), clRed);
    auto* b = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clBlue);
    EXPECT_EQ(PixelAt(*form, 15, 15), clBlue);
    a->BringToFront();
    EXPECT_EQ(PixelAt(*form, 15, 15), clRed);
    EXPECT_EQ(form->Controls(1), a);
    (void)b;
}

TEST_F(PaintTest, InvalidatingAWindowedChildDoesNotRepaintItsParent) {
    CountFormPaints();
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 50, 50);
    panel->SetColor(clGreen);
    auto* g = AddGraphic(panel, Bounds(5, 5, 10, 10), clRed);
    Flush();
    int before = formPaints;
    panel->Invalidate();
    Flush();
    EXPECT_EQ(formPaints, before);
    EXPECT_EQ(panel->Paints, 2);
    EXPECT_EQ(g->Paints, 2); // a windowless child paints with its parent
    EXPECT_EQ(PixelAt(*panel, 1, 1), clGreen);
    EXPECT_EQ(PixelAt(*panel, 6, 6), clRed);
}

TEST_F(PaintTest, WindowlessChildrenNeverPaintOverWindowedSiblings) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 40, 40);
    panel->SetColor(clGreen);
    auto* g = AddGraphic(form.get(), Bounds(20, 20, 40, 40), clRed);
    g->BringToFront(); // still below the windowed sibling
    EXPECT_EQ(PixelAt(*form, 30, 30), clGreen);
    EXPECT_EQ(PixelAt(*form, 45, 45), clRed);
}

TEST_F(PaintTest, HidingAControlRepaintsWhatWasUnderIt) {
    auto* g = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clRed);
    EXPECT_EQ(PixelAt(*form, 15, 15), clRed);
    g->Hide();
    EXPECT_EQ(PixelAt(*form, 15, 15), clWhite);
    int paints = g->Paints;
    form->Invalidate();
    Flush();
    EXPECT_EQ(g->Paints, paints);
    g->SetLeft(100);
    g->Show();
    EXPECT_EQ(PixelAt(*form, 105, 15), clRed);
}

TEST_F(PaintTest, MovingAControlRepaintsBothItsOldAndNewPlace) {
    auto* g = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clRed);
    Flush();
    g->SetBounds(60, 10, 20, 20);
    EXPECT_EQ(PixelAt(*form, 15, 15), clWhite);
    EXPECT_EQ(PixelAt(*form, 65, 15), clRed);
}

TEST_F(PaintTest, DrawingOutsideAPaintPassShowsAndIsReportedToTheHost) {
    auto* g = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clRed);
    Flush();
    Host().ClearPresented();
    (void)form->TakeUpdatedRects();
    g->Canvas().Brush().SetColor(clBlack);
    g->Canvas().FillRect(Rect(0, 0, 5, 5));
    EXPECT_EQ(PixelToColor(form->Surface().ScanLine(12)[12]), clBlack);
    std::vector<TRect> updated = form->TakeUpdatedRects();
    ASSERT_EQ(updated.size(), 1u);
    EXPECT_EQ(updated[0], Bounds(10, 10, 20, 20));
}

TEST_F(PaintTest, APaintPassReportsItsRectanglesToTheHost) {
    auto* g = AddGraphic(form.get(), Bounds(10, 10, 20, 20), clRed);
    Flush();
    Host().ClearPresented();
    g->Invalidate();
    Flush();
    ASSERT_EQ(Host().Presented().size(), 1u);
    EXPECT_EQ(Host().Presented()[0], Bounds(10, 10, 20, 20));
}

TEST_F(PaintTest, AHeadlessHostKeepsOnlyTheLatestPresentedRectangles) {
    Flush();
    Host().ClearPresented();
    const int passes = int(THeadlessHost::MaxPresented) + 10;
    for (int i = 0; i < passes; ++i) {
        form->InvalidateSurfaceRect(Bounds(10 + i % 20, 10, 1, 1));
        Flush();
    }
    const std::vector<TRect>& p = Host().Presented();
    ASSERT_GE(p.size(), THeadlessHost::MaxPresented / 2);
    ASSERT_LE(p.size(), THeadlessHost::MaxPresented);
    EXPECT_EQ(p.back(), Bounds(10 + (passes - 1) % 20, 10, 1, 1)); // the newest, last
    EXPECT_EQ(p[p.size() - 2], Bounds(10 + (passes - 2) % 20, 10, 1, 1));
}

TEST_F(PaintTest, OverlappingChangesStillPaintEachControlOncePerPass) {
    auto* a = AddGraphic(form.get(), Bounds(0, 0, 10, 10), clRed);
    auto* b = AddGraphic(form.get(), Bounds(5, 5, 10, 10), clBlue);
    auto* c = AddGraphic(form.get(), Bounds(100, 100, 10, 10), clBlue);
    Flush();
    a->Invalidate();
    c->Invalidate();
    b->Invalidate(); // meets a, not worth merging with it
    EXPECT_EQ(form->InvalidRects().size(), 3u);
    Flush();
    EXPECT_EQ(a->Paints, 2);
    EXPECT_EQ(b->Paints, 2);
    EXPECT_EQ(c->Paints, 2);
    EXPECT_EQ(PixelAt(*form, 7, 7), clBlue);
}

TEST_F(PaintTest, AnExceptionInPaintGoesToTheApplicationAndTheRestStillPaints) {
    struct TThrows : public TGraphicControl {
        using TGraphicControl::TGraphicControl;
        void Paint() override { throw EInvalidOperation("paint failed"); }
    };
    auto* t = new TThrows(form.get());
    t->SetParent(form.get());
    t->SetBounds(0, 0, 10, 10);
    auto* g = AddGraphic(form.get(), Bounds(5, 5, 10, 10), clRed);
    Flush();
    EXPECT_EQ(g->Paints, 1);
    ASSERT_FALSE(Application->ExceptionMessages().empty());
    EXPECT_EQ(Application->ExceptionMessages().back(), "paint failed");
}

TEST_F(PaintTest, AFormWithControlsMatchesItsReferenceImage) {
    form->SetColor(clBtnFace);
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(20, 20, 120, 80);
    panel->SetColor(clWhite);
    AddGraphic(panel, Bounds(10, 10, 40, 30), clNavy);
    AddGraphic(panel, Bounds(30, 25, 40, 30), clMaroon);
    AddGraphic(form.get(), Bounds(130, 90, 50, 40), clTeal); // partly under the panel
    auto* top = AddGraphic(form.get(), Bounds(0, 0, 200, 8), clGray);
    top->SetAlign(alTop);
    TBitmap out;
    Snapshot(*form, out);
    EXPECT_TRUE(MatchesReference(out, "framework/ref/forms_controls"));
}

// A form gets its surface when first shown (the forms that form-file reading and writing
// create and drop never are); a snapshot before that is white, and a hidden form keeps its
// surface in step with its size.
TEST(FormSurface, AllocatedAtTheFirstShowAndKeptInStepAfter) {
    TForm f(nullptr);
    f.SetClientWidth(40);
    f.SetClientHeight(30);
    EXPECT_TRUE(f.Surface().Empty());
    TBitmap out;
    Snapshot(f, out);
    ASSERT_EQ(out.Width(), 40);
    EXPECT_EQ(PixelToColor(out.ScanLine(29)[39]), clWhite);
    f.SetColor(clBlue);
    f.Show();
    EXPECT_EQ(f.Surface().Width(), 40);
    EXPECT_EQ(PixelAt(f, 39, 29), clBlue);
    f.Hide();
    f.SetClientWidth(50);
    EXPECT_EQ(f.Surface().Width(), 50);
    // Both sides at once: one size change, the frame kept outside the client area.
    int resized = 0;
    f.SetOnResize([&](TObject*) { ++resized; });
    const int frameW = f.Width() - f.ClientWidth(), frameH = f.Height() - f.ClientHeight();
    f.SetClientSize(70, 20);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(f.ClientWidth(), 70);
    EXPECT_EQ(f.ClientHeight(), 20);
    EXPECT_EQ(f.Width() - f.ClientWidth(), frameW);
    EXPECT_EQ(f.Height() - f.ClientHeight(), frameH);
    EXPECT_EQ(f.Surface().Height(), 20);
}

TEST_F(PaintTest, AHostResizeResizesTheSurfaceRealignsAndRepaintsEverything) {
    auto* bar = AddGraphic(form.get(), Bounds(0, 0, 10, 12), clRed);
    bar->SetAlign(alBottom);
    Flush();
    form->HostResize(300, 100);
    EXPECT_EQ(form->Surface().Width(), 300);
    EXPECT_EQ(form->Surface().Height(), 100);
    EXPECT_EQ(bar->BoundsRect(), Rect(0, 88, 300, 100));
    EXPECT_EQ(PixelAt(*form, 299, 99), clRed);
    EXPECT_EQ(PixelAt(*form, 299, 50), clWhite);
}

TEST_F(PaintTest, AControlWrittenAsPNGReadsBackWithItsPixels) {
    auto* panel = new TCountingWin(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(150, 100, 80, 80); // partly outside the form: the rest comes out white
    panel->SetColor(clBlue);
    std::string path = WriteOutput(form->Surface(), "framework/forms_png_probe");
    SavePNG(*panel, path);
    TBitmap back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Width(), 80);
    EXPECT_EQ(back.Height(), 80);
    EXPECT_EQ(PixelToColor(back.ScanLine(10)[10]), clBlue);
    EXPECT_EQ(PixelToColor(back.ScanLine(70)[70]), clWhite);
}

// ---- Show, close, modal -----------------------------------------------------------------------

TEST_F(PaintTest, TheHostHearsOfShowingAndHiding) {
    EXPECT_NE(std::find(Host().ShownForms().begin(), Host().ShownForms().end(), form.get()),
              Host().ShownForms().end());
    form->Hide();
    EXPECT_EQ(std::find(Host().ShownForms().begin(), Host().ShownForms().end(), form.get()),
              Host().ShownForms().end());
    EXPECT_FALSE(form->Active());
    EXPECT_GE(FormCount(), 1);
    EXPECT_EQ(ActiveForm(), nullptr);
}

TEST_F(PaintTest, CloseAsksCloseQueryThenOnCloseWhichDecides) {
    bool allow = false;
    std::vector<std::string> order;
    form->SetOnCloseQuery([&](TObject*, bool& can) {
        order.push_back("query");
        can = allow;
    });
    form->SetOnClose([&](TObject*, TCloseAction& a) {
        order.push_back("close");
        a = caFree;
    });
    form->Close();
    EXPECT_TRUE(form->Visible());
    allow = true;
    form->Close();
    EXPECT_EQ(order, (std::vector<std::string>{"query", "query", "close"}));
    EXPECT_TRUE(form->Visible()); // caFree deletes from the loop, after the handler returned
    int before = FormCount();
    TForm* raw = form.release();
    (void)raw;
    Flush();
    EXPECT_EQ(FormCount(), before - 1);
}

TEST_F(PaintTest, ShowModalRunsUntilAResultIsSetAndDisablesTheOtherForms) {
    TForm dialog(nullptr);
    auto* ok = new TCountingWin(&dialog);
    ok->SetParent(&dialog);
    ok->SetBounds(0, 0, 50, 20);
    ok->SetOnClick([&](TObject*) { dialog.SetModalResult(mrOk); });
    bool otherDisabled = false;
    WhenModal([&](TForm& f) {
        otherDisabled = !form->Enabled();
        ClickAt(f, 5, 5);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(otherDisabled);
    EXPECT_TRUE(form->Enabled());
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(PaintTest, ShowModalWithNothingToCloseItRaisesInsteadOfHanging) {
    TForm dialog(nullptr);
    dialog.SetName("Dialog1");
    try {
        dialog.ShowModal();
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(),
                     "Form \"Dialog1\" runs modally, but nothing is left that could close it");
    }
    EXPECT_FALSE(dialog.Visible());
    EXPECT_TRUE(form->Enabled());
}

TEST_F(PaintTest, CloseOnAModalFormCancelsItUnlessOnCloseKeepsItOpen) {
    TForm dialog(nullptr);
    int closes = 0;
    dialog.SetOnClose([&](TObject*, TCloseAction& a) {
        if (++closes == 1) a = caNone;
    });
    WhenModal([&](TForm& f) {
        f.Close(); // refused by OnClose: the loop goes on
        WhenModal([](TForm& g) { g.Close(); });
    });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(closes, 2);
}

// ---- Modal dialogs driven by a script ---------------------------------------------------------

// A dialog with an edit box and OK / Cancel buttons, as a program would build one.
struct TTestDialog {
    TForm Form{nullptr};
    TEdit* Edit;
    TButton* Ok;
    TButton* Cancel;
    TTestDialog() {
        Form.SetBorderStyle(bsDialog);
        Form.SetPosition(poScreenCenter);
        Form.SetClientWidth(200);
        Form.SetClientHeight(80);
        Edit = new TEdit(&Form);
        Edit->SetParent(&Form);
        Edit->SetBounds(10, 10, 180, 21);
        Ok = new TButton(&Form);
        Ok->SetParent(&Form);
        Ok->SetBounds(30, 45, 60, 25);
        Ok->SetCaption("OK");
        Ok->SetModalResult(mrOk);
        Ok->SetDefault(true);
        Cancel = new TButton(&Form);
        Cancel->SetParent(&Form);
        Cancel->SetBounds(110, 45, 60, 25);
        Cancel->SetCaption("Cancel");
        Cancel->SetModalResult(mrCancel);
        Cancel->SetCancel(true);
    }
};

TEST_F(PaintTest, AButtonWithAModalResultEndsTheModalLoopWithIt) {
    TTestDialog d;
    std::string typed;
    WhenModal([&](TForm& f) {
        d.Edit->SetFocus();
        Type(f, "abc");
        ClickAt(*d.Ok, 5, 5);
    });
    EXPECT_EQ(d.Form.ShowModal(), mrOk);
    EXPECT_EQ(d.Edit->Text(), "abc");
    EXPECT_FALSE(d.Form.Visible());
    // Enter clicks the default button, Esc the cancel one.
    WhenModal([&](TForm& f) { KeyStroke(f, VK_RETURN); });
    EXPECT_EQ(d.Form.ShowModal(), mrOk);
    WhenModal([&](TForm& f) { KeyStroke(f, VK_ESCAPE); });
    EXPECT_EQ(d.Form.ShowModal(), mrCancel);
}

TEST_F(PaintTest, CloseOnAModalFormReturnsCancelAndOnCloseQueryCanRefuse) {
    TTestDialog d;
    int queries = 0;
    bool allow = false;
    d.Form.SetOnCloseQuery([&](TObject*, bool& can) {
        ++queries;
        can = allow;
    });
    WhenModal([&](TForm& f) {
        f.Close(); // refused: the loop goes on
        EXPECT_TRUE(f.Visible());
        WhenModal([&](TForm& g) {
            allow = true;
            g.Close();
        });
    });
    EXPECT_EQ(d.Form.ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    // A refused OK click keeps the form open too; the result is reset for the next try.
    allow = false;
    queries = 0;
    WhenModal([&](TForm&) {
        ClickAt(*d.Ok, 5, 5); // the loop asks OnCloseQuery, which refuses
        WhenModal([&](TForm&) {
            allow = true;
            ClickAt(*d.Cancel, 5, 5);
        });
    });
    EXPECT_EQ(d.Form.ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
}

TEST_F(PaintTest, OtherFormsGetNoInputWhileAModalFormRuns) {
    auto* under = new TButton(form.get());
    under->SetParent(form.get());
    under->SetBounds(0, 0, 60, 25);
    int clicks = 0;
    under->SetOnClick([&](TObject*) { ++clicks; });
    TTestDialog d;
    WhenModal([&](TForm& f) {
        ClickAt(*form, 5, 5);
        form->HostCloseRequest(); // the window's close button does nothing either
        EXPECT_TRUE(form->Visible());
        ClickAt(*d.Cancel, 5, 5);
        (void)f;
    });
    EXPECT_EQ(d.Form.ShowModal(), mrCancel);
    EXPECT_EQ(clicks, 0);
    ClickAt(*under, 5, 5);
    EXPECT_EQ(clicks, 1);
}

TEST_F(PaintTest, DialogFrameClientSizeCentringAndMeasuringBeforeShowing) {
    TTestDialog d;
    // bsDialog has a frame: Width/Height include it, ClientWidth/ClientHeight do not.
    EXPECT_EQ(d.Form.ClientWidth(), 200);
    EXPECT_EQ(d.Form.ClientHeight(), 80);
    TRect f = d.Form.FrameWidths();
    EXPECT_GT(f.Top, 0);
    EXPECT_EQ(d.Form.Width(), 200 + f.Left + f.Right);
    EXPECT_EQ(d.Form.Height(), 80 + f.Top + f.Bottom);
    // The canvas measures text before the form was ever shown.
    TBitmap m(1, 1);
    EXPECT_EQ(d.Form.Canvas().TextWidth("Measure me"), m.Canvas().TextWidth("Measure me"));
    EXPECT_GT(d.Form.Canvas().TextWidth("Measure me"), 0);
    // poScreenCenter centres on Show; poOwnerFormCenter over the owner form.
    WhenModal([&](TForm&) { ClickAt(*d.Ok, 5, 5); });
    d.Form.ShowModal();
    TSize screen = FormHost().ScreenSize();
    EXPECT_EQ(d.Form.Left(), (screen.cx - d.Form.Width()) / 2);
    EXPECT_EQ(d.Form.Top(), (screen.cy - d.Form.Height()) / 2);
    form->SetBounds(100, 200, 400, 300);
    TForm owned(form.get());
    owned.SetBounds(0, 0, 100, 50);
    owned.SetPosition(poOwnerFormCenter);
    owned.Show();
    EXPECT_EQ(owned.Left(), 100 + (400 - 100) / 2);
    EXPECT_EQ(owned.Top(), 200 + (300 - 50) / 2);
}

TEST_F(PaintTest, AForgottenModalFormWithABlinkingCaretRaisesInsteadOfRunningForEver) {
    TTestDialog d;
    d.Form.SetName("Dialog1");
    // The focused edit box blinks its caret on a timer that never stops.
    int blinksSeen = 0;
    WhenModal([&](TForm&) {
        d.Edit->SetFocus();
        blinksSeen = d.Edit->CaretShown() ? 1 : 0;
    });
    try {
        d.Form.ShowModal();
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(),
                     "Form \"Dialog1\" runs modally, but only timers ran for 600 s and none "
                     "closed it");
    }
    EXPECT_EQ(blinksSeen, 1);
    EXPECT_FALSE(d.Form.Visible());
    // A timer that does close the form in time ends the loop normally.
    HWND w = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER) d.Form.SetModalResult(mrYes);
    });
    SetTimer(w, 1, 300000);
    EXPECT_EQ(d.Form.ShowModal(), mrYes);
    KillTimer(w, 1);
    DeallocateHWnd(w);
}

TEST_F(PaintTest, DrawsADialogWithItsControls) {
    TTestDialog d;
    d.Form.SetColor(clBtnFace);
    d.Edit->SetText("Entered text");
    d.Form.Show();
    d.Ok->SetFocus();
    TBitmap shot;
    Snapshot(d.Form, shot);
    EXPECT_EQ(shot.Width(), 200);
    EXPECT_EQ(shot.Height(), 80);
    d.Form.Hide();
    EXPECT_TRUE(MatchesReference(shot, "framework/ref/forms_dialog"));
}

TEST(ModalResultTest, NamedResultsHaveTheirNumbers) {
    const int values[] = {mrNone,     mrOk,       mrCancel, mrAbort,   mrRetry,
                          mrIgnore,   mrYes,      mrNo,     mrClose,   mrHelp,
                          mrTryAgain, mrContinue, mrAll,    mrNoToAll, mrYesToAll};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(values[i], i);
}

} // namespace
} // namespace kel::test
