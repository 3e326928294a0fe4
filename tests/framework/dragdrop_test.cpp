// Drag and drop between controls: the threshold of an automatic drag, the order and count of
// the drag events, accepting and refusing targets, cancelling, and the cursor shown meanwhile.
#include "controls_test_util.h"

#include "kel_test_support.h"

namespace kel::test {
namespace {

using namespace kel::headless;

// A source panel on the left (10..70), a target panel on the right (110..170), both 10..60
// high; the log holds every drag event with its coordinates.
class DragTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        source = new TCountingWin(form.get());
        source->SetParent(form.get());
        source->SetBounds(10, 10, 60, 50);
        target = new TCountingWin(form.get());
        target->SetParent(form.get());
        target->SetBounds(110, 10, 60, 50);
        source->SetDragMode(dmAutomatic);
        Watch(*source, "src");
        Watch(*target, "dst");
        source->SetOnClick([this](TObject*) { log.push_back("src.click"); });
        source->SetOnMouseUp(
            [this](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("src.up"); });
    }
    void Watch(TControl& c, const std::string& n) {
        c.SetOnStartDrag([this, n](TObject*, TDragObject*&) { log.push_back(n + ".start"); });
        c.SetOnEndDrag([this, n](TObject*, TObject* t, int x, int y) {
            log.push_back(n + ".end(" + Name(t) + "," + std::to_string(x) + "," +
                          std::to_string(y) + ")");
        });
        c.SetOnDragDrop([this, n](TObject*, TObject* s, int x, int y) {
            log.push_back(n + ".drop(" + Name(s) + "," + std::to_string(x) + "," +
                          std::to_string(y) + ")");
        });
    }
    // Lets c accept (or refuse) drags, logging each call.
    void AcceptOn(TControl& c, const std::string& n, bool accept) {
        c.SetOnDragOver(
            [this, n, accept](TObject*, TObject*, int, int, TDragState st, bool& Accept) {
                const char* s[] = {"enter", "leave", "move"};
                log.push_back(n + ".over." + s[st]);
                EXPECT_TRUE(Accept) << "Accept comes preset true";
                Accept = accept;
            });
    }
    std::string Name(TObject* o) const {
        return o == nullptr ? "null" : o == source ? "src" : o == target ? "dst" : "?";
    }
    TCountingWin* source = nullptr;
    TCountingWin* target = nullptr;
};

TEST_F(DragTest, DropOnAnAcceptingTargetFiresEachEventInOrder) {
    AcceptOn(*target, "dst", true);
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 60, 20); // starts the drag over the source itself (no OnDragOver there)
    MoveTo(*form, 120, 20);
    MoveTo(*form, 130, 30);
    EXPECT_TRUE(source->Dragging());
    MouseUpAt(*form, 140, 35);
    EXPECT_FALSE(source->Dragging());
    std::vector<std::string> want{"src.start",         "dst.over.enter", "dst.over.move",
                                  "dst.over.move",     "dst.over.leave", "dst.drop(src,30,25)",
                                  "src.end(dst,30,25)"};
    EXPECT_EQ(log, want);
}

TEST_F(DragTest, RefusingTargetGetsNoDropAndTheSourceHearsNull) {
    AcceptOn(*target, "dst", false);
    Drag(*form, 20, 20, 140, 30); // moves to x = 50, 80, 110, 140
    std::vector<std::string> want{"src.start", "dst.over.enter", "dst.over.move", "dst.over.leave",
                                  "src.end(null,0,0)"};
    EXPECT_EQ(log, want);
    // A control without OnDragOver accepts nothing either: the form itself here.
    log.clear();
    Drag(*form, 20, 20, 100, 100);
    EXPECT_EQ(log, (std::vector<std::string>{"src.start", "src.end(null,0,0)"}));
}

TEST_F(DragTest, LeavingATargetTellsItOnceAndItsAnswerNoLongerCounts) {
    AcceptOn(*target, "dst", true);
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 120, 20);
    MoveTo(*form, 190, 100); // off the target onto the bare form
    MouseUpAt(*form, 190, 100);
    std::vector<std::string> want{"src.start", "dst.over.enter", "dst.over.leave",
                                  "src.end(null,0,0)"};
    EXPECT_EQ(log, want);
}

TEST_F(DragTest, BelowTheThresholdThePressStaysAnOrdinaryClick) {
    AcceptOn(*target, "dst", true);
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 24, 24); // 4 pixels on each axis: not yet
    EXPECT_FALSE(source->Dragging());
    MouseUpAt(*form, 24, 24);
    EXPECT_EQ(log, (std::vector<std::string>{"src.click", "src.up"}));
    // Five pixels along one axis is enough; the source then gets neither click nor release.
    log.clear();
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 20, 25);
    EXPECT_TRUE(source->Dragging());
    MouseUpAt(*form, 20, 25);
    EXPECT_EQ(log, (std::vector<std::string>{"src.start", "src.end(null,0,0)"}));
}

TEST_F(DragTest, ManualModeDragsOnlyWhenTheProgramBeginsIt) {
    source->SetDragMode(dmManual);
    AcceptOn(*target, "dst", true);
    Drag(*form, 20, 20, 140, 30);
    EXPECT_EQ(log, (std::vector<std::string>{"src.up"})); // released off the source: no click
    log.clear();
    source->SetOnMouseDown([this](TObject*, TMouseButton, TShiftState, int, int) {
        source->BeginDrag(true); // at once: no threshold
    });
    MouseDownAt(*form, 20, 20);
    EXPECT_EQ(log, (std::vector<std::string>{"src.start"}));
    MoveTo(*form, 130, 30);
    MouseUpAt(*form, 130, 30);
    EXPECT_EQ(log.back(), "src.end(dst,20,20)");
    EXPECT_EQ(std::count(log.begin(), log.end(), "dst.drop(src,20,20)"), 1);
}

TEST_F(DragTest, EscapeAndEndDragFalseCancelWithANullTarget) {
    AcceptOn(*target, "dst", true);
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 130, 30);
    KeyDown(*form, VK_ESCAPE);
    EXPECT_FALSE(source->Dragging());
    MouseUpAt(*form, 130, 30); // the release after a cancel is nobody's drop
    std::vector<std::string> want{"src.start", "dst.over.enter", "dst.over.leave",
                                  "src.end(null,0,0)"};
    EXPECT_EQ(log, want);

    log.clear();
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 130, 30);
    source->EndDrag(false);
    MouseUpAt(*form, 130, 30);
    EXPECT_EQ(log.back(), "src.end(null,0,0)");
    EXPECT_EQ(std::count(log.begin(), log.end(), "dst.drop(src,20,20)"), 0);

    // EndDrag(true) drops on the accepting target under the pointer.
    log.clear();
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 130, 30);
    source->EndDrag(true);
    MouseUpAt(*form, 130, 30);
    EXPECT_EQ(log.back(), "src.end(dst,20,20)");
}

TEST_F(DragTest, CursorShowsDragCursorOverAnAcceptingTargetAndNoElsewhere) {
    AcceptOn(*target, "dst", true);
    source->SetDragCursor(crMultiDrag);
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 60, 20);
    EXPECT_EQ(form->CurrentCursor(), crNo);
    MoveTo(*form, 130, 30);
    EXPECT_EQ(form->CurrentCursor(), crMultiDrag);
    MouseUpAt(*form, 130, 30);
    EXPECT_EQ(form->CurrentCursor(), crDefault); // back to the control's own
}

TEST_F(DragTest, DeletingTheTargetInItsDragOverEndsCleanly) {
    target->SetOnDragOver([this](TObject*, TObject*, int, int, TDragState, bool&) {
        // The handler is freed with its control: touch nothing of the closure after the delete.
        auto* doomed = target;
        target = nullptr;
        delete doomed;
    });
    MouseDownAt(*form, 20, 20);
    MoveTo(*form, 130, 30);
    MoveTo(*form, 140, 30);
    MouseUpAt(*form, 140, 30);
    EXPECT_EQ(log.back(), "src.end(null,0,0)");
}

} // namespace
} // namespace kel::test
