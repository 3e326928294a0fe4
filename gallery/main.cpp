// The gallery: every registered component on one form. With a display it opens the form in a
// window (SDL host); without one (no DISPLAY/WAYLAND_DISPLAY, KEL_HEADLESS=1 or --headless) it
// renders the form in memory and writes one PNG per component plus a contact sheet.
//
//   kel_gallery [--headless] [--out DIR] [--quit-after MS] [--screenshot FILE] [--log-input]
//               [--save-form FILE | --load-form FILE]
//
// Esc or the window's close button closes the gallery, and so does --quit-after after MS
// milliseconds; --screenshot FILE then writes what the window shows (read back from the window)
// as a PNG. The window's client area and every item's screen
// position are printed, so a script can find them on a screen capture or point at them;
// --log-input makes the demo controls print the input they receive.
// --save-form FILE writes the gallery form as a form file (docs/form-files.md) before showing
// it; items that cannot be stored as what they are (demos of unregistered classes) are left out
// of the form then. --load-form FILE shows the form read from such a file instead of building
// one; tools/check-gallery-form.sh checks that both give the same picture.
#include "gallery.h"

#include "kel_app.h"
#include "kel_forms.h"
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

int RunHeadless(const std::string& outDir) {
    Gallery g = Build();
    g.Form->Show();
    std::filesystem::create_directories(outDir);
    int written = 0;
    for (const auto& [name, control] : g.Shown) {
        headless::SavePNG(*control, outDir + "/" + FileNameOf(name) + ".png");
        ++written;
    }
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
    // Esc closes the gallery; closing reads back the window first when asked to.
    form->SetKeyPreview(true);
    form->SetOnKeyDown([form](TObject*, std::uint16_t& Key, TShiftState) {
        if (Key == VK_ESCAPE) {
            Key = 0;
            form->Close();
        }
    });
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
        std::printf("gallery: item \"%s\" at %d,%d size %dx%d\n", name.c_str(), p.X, p.Y,
                    control->Width(), control->Height());
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
                 " [--log-input] [--save-form FILE | --load-form FILE]\n");
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
        } else if (a == "--screenshot") {
            const char* v = value();
            if (!v) return Usage();
            screenshot = v;
        } else {
            return Usage();
        }
    }
    try {
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
        return RunHeadless(outDir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gallery: %s\n", e.what());
        return 1;
    }
}
