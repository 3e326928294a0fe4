// The gallery's registry: every component shows itself on the gallery form through one line,
//
//     KEL_GALLERY_ITEM("TMeter", 220, 160, [](kel::TWinControl* p) { return new kel::TMeter(p); });
//
// placed in any gallery/*.cpp file. The factory creates the control (owned by p); the gallery
// makes p its parent and gives it the width and height registered (0 keeps the control's own).
// Items appear in the order of their names.
#pragma once

#include "kel_controls.h"
#include "kel_forms.h"

#include <memory>
#include <utility>

#include <functional>
#include <string>
#include <vector>

namespace kel::gallery {

using TFactory = std::function<TControl*(TWinControl* Parent)>;

struct TItem {
    std::string Name;
    int Width = 0;
    int Height = 0;
    TFactory Create;
};

// Every registered item, sorted by name.
std::vector<TItem> Items();

// Set by --log-input: demo controls print the input they receive to stdout.
extern bool gLogInput;

// One cell of the gallery: a caption strip with the item's name above the component.
// The sheet layout: space between cells, and the width of the one-page sheet.
constexpr int kGap = 8;
constexpr int kSheetWidth = 960;

class TGalleryCell : public TCustomControl {
  public:
    explicit TGalleryCell(TComponent* AOwner) : TCustomControl(AOwner) {}
    TGalleryCell(TComponent* AOwner, std::string Title)
        : TCustomControl(AOwner), FTitle(std::move(Title)) {}
    std::string ClassName() const override { return "TGalleryCell"; }
    TControl* Item = nullptr;
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) {
        if (Value == FTitle) return;
        FTitle = Value;
        Invalidate();
    }

  protected:
    void Paint() override;

  private:
    std::string FTitle;
};

// The gallery form: every item in a cell of its own, laid out in rows.
struct Gallery {
    std::unique_ptr<TForm> Form;
    std::vector<std::pair<std::string, TControl*>> Shown; // item name, its control
    std::vector<std::string> Failed;                      // items whose factory raised
};

// Builds the gallery form (not shown). StreamableOnly leaves out items whose control cannot be
// stored in a form file as what it is. Items whose factory raises are listed in Failed.
Gallery BuildForm(bool StreamableOnly);

struct TRegistration {
    TRegistration(std::string Name, int Width, int Height, TFactory Create);
};

} // namespace kel::gallery

#define KEL_GALLERY_CAT2(a, b) a##b
#define KEL_GALLERY_CAT(a, b) KEL_GALLERY_CAT2(a, b)
#define KEL_GALLERY_ITEM(NAME, WIDTH, HEIGHT, ...)                                                 \
    static const ::kel::gallery::TRegistration KEL_GALLERY_CAT(kelGalleryItem_, __LINE__)(         \
        NAME, WIDTH, HEIGHT, __VA_ARGS__)
