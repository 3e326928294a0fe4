// The gallery's registry: every component shows itself on the gallery form through one line,
//
//     KEL_GALLERY_ITEM("TMeter", 220, 160, [](kel::TWinControl* p) { return new kel::TMeter(p); });
//
// placed in any gallery/*.cpp file. The factory creates the control (owned by p); the gallery
// makes p its parent and gives it the width and height registered (0 keeps the control's own).
// Items appear in the order of their names.
#pragma once

#include "kel_controls.h"

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

struct TRegistration {
    TRegistration(std::string Name, int Width, int Height, TFactory Create);
};

} // namespace kel::gallery

#define KEL_GALLERY_CAT2(a, b) a##b
#define KEL_GALLERY_CAT(a, b) KEL_GALLERY_CAT2(a, b)
#define KEL_GALLERY_ITEM(NAME, WIDTH, HEIGHT, ...)                                                 \
    static const ::kel::gallery::TRegistration KEL_GALLERY_CAT(kelGalleryItem_, __LINE__)(         \
        NAME, WIDTH, HEIGHT, __VA_ARGS__)
