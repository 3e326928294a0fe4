// The gallery: every registered component on one form. With a display it opens the form in a
// window (SDL host); without one (no DISPLAY/WAYLAND_DISPLAY, KEL_HEADLESS=1 or --headless) it
// renders the form in memory and writes one PNG per component plus a contact sheet.
//
//   kel_gallery [--headless] [--out DIR] [--quit-after MS] [--screenshot FILE] [--log-input]
//               [--save-form FILE | --load-form FILE] [--check-window WxH] [--pages WxH]
//
// In a window the items are laid out in pages that fit the screen, with a strip of tabs at the
// top: a click on a tab, or Ctrl+Tab and Ctrl+Shift+Tab, shows another page. Esc closes the
// gallery unless the focused control uses it (a grid's cell editor closes first), and so does
// the window's close button or --quit-after after MS milliseconds; --screenshot FILE then
// writes what the window shows (read back from the window) as a PNG. The window's client area
// and every item's screen position (on its page) are printed, so a script can find them on a
// screen capture or point at them; --log-input makes the demo controls print the input they
// receive. --check-window WxH lays the window form out for a screen of that size without a
// display and checks that every item is reachable on a page that fits and that Esc reaches a
// grid's cell editor before it closes the gallery (exit status 1 when not). --pages WxH, without
// a display, writes the first page of the window form for a screen of that size as the contact
// sheet (what a window on that screen shows first).
// --save-form FILE writes the gallery form as a form file (docs/form-files.md) before showing
// it; items that cannot be stored as what they are (demos of unregistered classes) are left out
// of the form then. --load-form FILE shows the form read from such a file instead of building
// one; tools/check-gallery-form.sh checks that both give the same picture.
#include "gallery.h"

#include "kel_app.h"
#include "kel_forms.h"
#include "kel_grids.h"
#include "kel_popup.h"
#include "kel_props.h"
#include "kel_streaming.h"
#include "headless.h"

#ifdef KEL_HAVE_SDL
#include "sdl_host.h"
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kel::gallery {

namespace {
std::string gSaveForm; // --save-form FILE
std::string gLoadForm; // --load-form FILE
} // namespace

namespace {

std::string FileNameOf(const std::string& name) {
    std::string s;
    for (char ch : name) {
        const bool ok = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                        (ch >= '0' && ch <= '9') || ch == '-' || ch == '_';
        s += ok ? ch : '_';
    }
    return s.empty() ? std::string("item") : s;
}

// The gallery read from a form file: every cell on the form shows its first control.
Gallery Load(const std::string& file) {
    Gallery g;
    std::unique_ptr<TComponent> root(ReadComponentFile(file, nullptr));
    auto* form = dynamic_cast<TForm*>(root.get());
    if (form == nullptr)
        throw EReadError("\"" + file + "\" holds a " + root->ClassName() + ", not a form");
    root.release();
    g.Form.reset(form);
    for (int i = 0; i < form->ControlCount(); ++i) {
        auto* cell = dynamic_cast<TGalleryCell*>(form->Controls(i));
        if (cell == nullptr || cell->ControlCount() == 0) continue;
        cell->Item = cell->Controls(0);
        g.Shown.emplace_back(cell->Title(), cell->Item);
    }
    std::printf("gallery: read %zu items from %s\n", g.Shown.size(), file.c_str());
    return g;
}

bool SamePicture(TControl& a, TControl& b) {
    TBitmap pa, pb;
    headless::Snapshot(a, pa);
    headless::Snapshot(b, pb);
    if (pa.Width() != pb.Width() || pa.Height() != pb.Height()) return false;
    for (int y = 0; y < pa.Height(); ++y)
        if (!std::equal(pa.ScanLine(y), pa.ScanLine(y) + pa.Width(), pb.ScanLine(y))) return false;
    return true;
}

// Writes the form with everything on it owned by the form (the owner stores what it owns).
// An item whose picture comes from state that is not published (the rows of a report list are
// data, not properties) does not look the same when read back: it is left out, and named.
void Save(Gallery& g, const std::string& file) {
    for (const auto& [name, control] : g.Shown) g.Form->InsertComponent(control);
    {
        std::unique_ptr<TComponent> copy(ComponentFromText(ComponentToText(*g.Form), nullptr));
        auto& twin = static_cast<TForm&>(*copy);
        g.Form->Show();
        twin.Show();
        // Neither shows a focused control (a caret would tell the two apart).
        g.Form->FocusControl(nullptr);
        twin.FocusControl(nullptr);
        std::vector<std::pair<std::string, TControl*>> kept;
        for (int i = 0; i < g.Form->ControlCount() && i < twin.ControlCount(); ++i) {
            auto* cell = static_cast<TGalleryCell*>(g.Form->Controls(i));
            auto* twinCell = dynamic_cast<TWinControl*>(twin.Controls(i));
            if (cell->Item == nullptr || twinCell == nullptr || twinCell->ControlCount() == 0)
                continue;
            if (SamePicture(*cell->Item, *twinCell->Controls(0))) {
                kept.emplace_back(cell->Title(), cell->Item);
            } else {
                std::printf("gallery: %s is not stored in the form file (its picture shows "
                            "state that is not a published property)\n",
                            cell->Title().c_str());
                cell->Item = nullptr;
            }
        }
        g.Form->Hide();
        for (int i = g.Form->ControlCount() - 1; i >= 0; --i)
            if (static_cast<TGalleryCell*>(g.Form->Controls(i))->Item == nullptr)
                delete g.Form->Controls(i);
        g.Shown = std::move(kept);
    }
    WriteComponentFile(file, *g.Form);
    std::printf("gallery: form with %zu items written to %s\n", g.Shown.size(), file.c_str());
}

// Lays the cells out in rows on a new form (or reads the form, with --load-form).
Gallery Build() {
    if (!gLoadForm.empty()) return Load(gLoadForm);
    Gallery g = BuildForm(!gSaveForm.empty());
    if (!gSaveForm.empty()) Save(g, gSaveForm);
    return g;
}

// ---- The window form: pages that fit the screen, Esc --------------------------------------------

constexpr int kTabsHeight = 24;
// Room the window's frame, title bar and a task bar take from the screen.
constexpr int kFrameWidth = 16, kFrameHeight = 72;

// The strip of page tabs at the top of the window form. It also takes the dialog keys the
// focused control leaves: Esc closes the form, Ctrl+Tab pages. A dialog key reaches it only
// when the focused control does not use the key, so a grid's cell editor gets Esc first.
class TGalleryPager : public TCustomControl {
  public:
    explicit TGalleryPager(TComponent* AOwner) : TCustomControl(AOwner) {}
    std::string ClassName() const override { return "TGalleryPager"; }
    // Cells of each page, in order.
    std::vector<std::vector<TGalleryCell*>> Pages;
    int Current() const { return FCurrent; }
    void ShowPage(int Index) {
        if (Pages.empty()) return;
        FCurrent = std::clamp(Index, 0, int(Pages.size()) - 1);
        for (std::size_t p = 0; p < Pages.size(); ++p)
            for (TGalleryCell* c : Pages[p]) c->SetVisible(int(p) == FCurrent);
        Invalidate();
    }
    // The tab of a page: "1  TAnalog…TEdit" (the names of its first and last item).
    std::string TabText(std::size_t Page) const {
        const auto& cells = Pages[Page];
        std::string t = std::to_string(Page + 1) + "  " + cells.front()->Title();
        if (cells.size() > 1) t += " \u2026 " + cells.back()->Title();
        return t;
    }

  protected:
    void Paint() override {
        TCanvas& c = Canvas();
        c.Brush().SetColor(RGB(0xD0, 0xD6, 0xE0));
        c.FillRect(Rect(0, 0, Width(), Height()));
        int x = 4;
        FTabs.clear();
        for (std::size_t p = 0; p < Pages.size(); ++p) {
            const std::string t = TabText(p);
            const bool on = int(p) == FCurrent;
            c.Font().SetStyle(on ? TFontStyles{fsBold} : TFontStyles{});
            const int w = c.TextWidth(t) + 16;
            const TRect r = Rect(x, 3, x + w, Height());
            FTabs.push_back(r);
            c.Brush().SetColor(on ? RGB(0xF4, 0xF4, 0xF4) : RGB(0xB8, 0xC0, 0xCC));
            c.Pen().SetColor(RGB(0x38, 0x4C, 0x6C));
            c.Rectangle(r.Left, r.Top, r.Right, r.Bottom + 1);
            c.Brush().SetStyle(bsClear);
            c.Font().SetColor(clBlack);
            c.TextOut(r.Left + 8, r.Top + (r.Height() - c.TextHeight(t)) / 2, t);
            c.Brush().SetStyle(bsSolid);
            x += w + 2;
        }
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        for (std::size_t p = 0; p < FTabs.size(); ++p)
            if (FTabs[p].Contains(Point(X, Y))) ShowPage(int(p));
    }
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CM_DIALOGKEY) {
            if (Message.WParam == VK_ESCAPE && OpenPopupCount() == 0) { // a popup takes Esc
                Message.Result = 1;
                if (TForm* f = GetParentForm(this)) f->Close();
                return;
            }
            if (Message.WParam == VK_TAB && KeyIsDown(VK_CONTROL) && !Pages.empty()) {
                const int n = int(Pages.size());
                ShowPage((FCurrent + (KeyIsDown(VK_SHIFT) ? n - 1 : 1)) % n);
                Message.Result = 1;
                return;
            }
        }
        TCustomControl::WndProc(Message);
    }

  private:
    int FCurrent = 0;
    std::vector<TRect> FTabs;
};

// Lays the cells out again in pages that fit a screen of size Screen (the window's frame
// included) and puts the tab strip above them. The form file keeps the one-page layout.
TGalleryPager* Paginate(Gallery& g, TSize Screen) {
    TForm& form = *g.Form;
    std::vector<TGalleryCell*> cells;
    for (int i = 0; i < form.ControlCount(); ++i)
        if (auto* c = dynamic_cast<TGalleryCell*>(form.Controls(i))) cells.push_back(c);
    auto* pager = new TGalleryPager(&form);
    pager->SetParent(&form);
    // No wider than the one-page sheet: wide rows are hard to take in.
    const int maxW = std::max(200, std::min(Screen.cx - kFrameWidth, kSheetWidth));
    const int maxH = std::max(200, Screen.cy - kFrameHeight) - kTabsHeight;
    int x = kGap, y = kGap, rowH = 0, right = 0, bottom = 0;
    pager->Pages.emplace_back();
    for (TGalleryCell* c : cells) {
        const int w = c->Width(), h = c->Height();
        if (x > kGap && x + w + kGap > maxW) { // next row
            x = kGap;
            y += rowH + kGap;
            rowH = 0;
        }
        if (y > kGap && y + h + kGap > maxH) { // next page
            pager->Pages.emplace_back();
            x = kGap;
            y = kGap;
            rowH = 0;
        }
        c->SetBounds(x, kTabsHeight + y, w, h);
        pager->Pages.back().push_back(c);
        x += w + kGap;
        rowH = std::max(rowH, h);
        right = std::max(right, x);
        bottom = std::max(bottom, y + rowH + kGap);
    }
    if (pager->Pages.back().empty()) pager->Pages.pop_back();
    form.SetClientWidth(std::max(right, 200));
    form.SetClientHeight(kTabsHeight + bottom);
    pager->SetBounds(0, 0, form.ClientWidth(), kTabsHeight);
    pager->ShowPage(0);
    return pager;
}

// The page that shows control C (its cell's page), or -1.
int PageOf(const TGalleryPager& Pager, const TControl* C) {
    for (std::size_t p = 0; p < Pager.Pages.size(); ++p)
        for (const TGalleryCell* cell : Pager.Pages[p])
            if (cell->Item == C) return int(p);
    return -1;
}

// --check-window: the window form for a screen of the given size, checked without a display.
int CheckWindow(TSize Screen) {
    Gallery g = Build();
    TGalleryPager* pager = Paginate(g, Screen);
    TForm& form = *g.Form;
    form.SetBorderStyle(bsSizeable);
    form.Show();
    int faults = 0;
    auto fault = [&](const std::string& what) {
        std::printf("gallery: FAULT: %s\n", what.c_str());
        ++faults;
    };
    if (form.ClientWidth() + kFrameWidth > Screen.cx ||
        form.ClientHeight() + kFrameHeight > Screen.cy)
        fault("the form (" + std::to_string(form.ClientWidth()) + "x" +
              std::to_string(form.ClientHeight()) + " client) does not fit the screen");
    // Every item on exactly one page, whole inside the client area while its page shows.
    for (const auto& [name, control] : g.Shown) {
        const int page = PageOf(*pager, control);
        if (page < 0) {
            fault(name + " is on no page");
            continue;
        }
        pager->ShowPage(page);
        const TRect r = control->Parent()->BoundsRect();
        if (!control->Parent()->Visible() || r.Left < 0 || r.Top < kTabsHeight ||
            r.Right > form.ClientWidth() || r.Bottom > form.ClientHeight())
            fault(name + " is not whole on its page");
    }
    // Esc goes to a grid's cell editor first.
    for (const auto& [name, control] : g.Shown) {
        auto* grid = dynamic_cast<TCustomGrid*>(control);
        if (grid == nullptr || !grid->Options().contains(goEditing)) continue;
        pager->ShowPage(PageOf(*pager, control));
        grid->SetFocus();
        headless::KeyStroke(form, VK_F2);
        if (!grid->EditorMode()) fault(name + ": F2 opened no cell editor");
        headless::KeyStroke(form, VK_ESCAPE);
        if (!form.Visible()) {
            fault(name + ": Esc in the cell editor closed the gallery");
            form.Show();
        } else if (grid->EditorMode()) {
            fault(name + ": Esc left the cell editor open");
        }
    }
    // Ctrl+Tab pages; Esc with nothing using it closes the gallery.
    pager->ShowPage(0);
    form.FocusControl(nullptr);
    headless::KeyStroke(form, VK_TAB, {ssCtrl});
    if (pager->Pages.size() > 1 && pager->Current() != 1) fault("Ctrl+Tab did not page");
    headless::KeyStroke(form, VK_ESCAPE);
    if (form.Visible()) fault("Esc did not close the gallery");
    std::printf("gallery: %zu items on %zu pages of at most %dx%d for a %dx%d screen: %s\n",
                g.Shown.size(), pager->Pages.size(), form.ClientWidth(), form.ClientHeight(),
                Screen.cx, Screen.cy, faults == 0 ? "ok" : "FAULTS");
    return faults == 0 ? 0 : 1;
}

// Without a display: one PNG per item and the whole form as the contact sheet. With Pages set,
// the form is laid out as in a window on a screen of that size, and the contact sheet shows its
// first page (what the window shows first).
int RunHeadless(const std::string& outDir, TSize Pages) {
    Gallery g = Build();
    TGalleryPager* pager = Pages.cx > 0 ? Paginate(g, Pages) : nullptr;
    g.Form->Show();
    std::filesystem::create_directories(outDir);
    int written = 0;
    for (const auto& [name, control] : g.Shown) {
        if (pager != nullptr) pager->ShowPage(PageOf(*pager, control));
        headless::SavePNG(*control, outDir + "/" + FileNameOf(name) + ".png");
        ++written;
    }
    if (pager != nullptr) pager->ShowPage(0);
    headless::SavePNG(*g.Form, outDir + "/contact-sheet.png");
    std::printf("gallery: wrote %d component image%s and the contact sheet to %s\n", written,
                written == 1 ? "" : "s", std::filesystem::absolute(outDir).c_str());
    for (const std::string& f : g.Failed) std::printf("gallery: %s failed to build\n", f.c_str());
    return g.Failed.empty() ? 0 : 1;
}

#ifdef KEL_HAVE_SDL
int RunWindow(int quitAfterMs, const std::string& screenshot) {
    TSDLHost host;
    Gallery g = Build();
    TForm* form = g.Form.get();
    bool shotOk = true;
    // Pages that fit the screen; Esc (left unused by the focused control) closes the gallery,
    // and closing reads back the window first when asked to.
    TGalleryPager* pager = Paginate(g, host.ScreenSize());
    form->SetOnClose([&](TObject*, TCloseAction&) {
        const TPoint at = form->ClientOrigin();
        std::printf("gallery: closing with the client area at %d,%d size %dx%d\n", at.X, at.Y,
                    form->ClientWidth(), form->ClientHeight());
        if (screenshot.empty()) return;
        TBitmap bmp;
        shotOk = host.ReadWindowPixels(form, bmp);
        if (shotOk) {
            bmp.SaveToFile(screenshot);
            std::printf("gallery: window pixels written to %s\n", screenshot.c_str());
        }
    });
    HWND quitWnd = nullptr;
    if (quitAfterMs > 0) {
        quitWnd = AllocateHWnd([&](TMessage& m) {
            if (m.Msg != WM_TIMER) return;
            KillTimer(quitWnd, 1);
            form->Close();
        });
        if (SetTimer(quitWnd, 1, static_cast<std::uint32_t>(quitAfterMs)) == 0)
            throw EOutOfResources("Component \"gallery\": no timer available");
    }
    form->Show();
    const TPoint at = form->ClientOrigin();
    std::printf("gallery: window client area at %d,%d size %dx%d\n", at.X, at.Y,
                form->ClientWidth(), form->ClientHeight());
    for (const auto& [name, control] : g.Shown) {
        const TPoint p = control->ClientToScreen(Point(0, 0));
        std::printf("gallery: item \"%s\" at %d,%d size %dx%d on page %d\n", name.c_str(), p.X, p.Y,
                    control->Width(), control->Height(), PageOf(*pager, control) + 1);
    }
    std::fflush(stdout);
    host.Run(form);
    DeallocateHWnd(quitWnd);
    std::printf("gallery: %llu rectangles presented\n",
                static_cast<unsigned long long>(host.PresentedRectCount()));
    return shotOk ? 0 : 1;
}
#endif

int Usage() {
    std::fprintf(stderr,
                 "usage: kel_gallery [--headless] [--out DIR] [--quit-after MS] [--screenshot FILE]"
                 " [--log-input] [--save-form FILE | --load-form FILE] [--check-window WxH]"
                 " [--pages WxH]\n");
    return 2;
}

} // namespace
} // namespace kel::gallery

int main(int argc, char** argv) {
    using namespace kel::gallery;
    bool headless = false;
    std::string outDir = "build/gallery-out";
    std::string screenshot;
    int quitAfter = 0;
    kel::TSize checkScreen{0, 0}, pagesScreen{0, 0};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--headless") {
            headless = true;
        } else if (a == "--out") {
            const char* v = value();
            if (!v) return Usage();
            outDir = v;
        } else if (a == "--log-input") {
            gLogInput = true;
        } else if (a == "--quit-after") {
            const char* v = value();
            if (!v) return Usage();
            quitAfter = std::atoi(v);
        } else if (a == "--save-form" || a == "--load-form") {
            const char* v = value();
            if (!v) return Usage();
            (a == "--save-form" ? gSaveForm : gLoadForm) = v;
        } else if (a == "--check-window" || a == "--pages") {
            const char* v = value();
            kel::TSize& size = a == "--pages" ? pagesScreen : checkScreen;
            if (!v || std::sscanf(v, "%dx%d", &size.cx, &size.cy) != 2 || size.cx <= 0 ||
                size.cy <= 0)
                return Usage();
        } else if (a == "--screenshot") {
            const char* v = value();
            if (!v) return Usage();
            screenshot = v;
        } else {
            return Usage();
        }
    }
    try {
        if (checkScreen.cx > 0) return CheckWindow(checkScreen);
#ifdef KEL_HAVE_SDL
        if (!headless && kel::TSDLHost::DisplayAvailable()) {
            try {
                return RunWindow(quitAfter, screenshot);
            } catch (const kel::EInvalidOperation& e) {
                std::fprintf(stderr, "gallery: %s; writing images instead\n", e.what());
            }
        }
#endif
        (void)headless;
        return RunHeadless(outDir, pagesScreen);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gallery: %s\n", e.what());
        return 1;
    }
}
