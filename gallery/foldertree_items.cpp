// Gallery entry of the folder tree: rooted at a folder the gallery makes under /tmp (the same
// folders every run, so the picture does not depend on the machine), opened down to one folder.
#include "gallery.h"
#include "KEL_FolderTree.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace {

kel::TControl* MakeFolderTree(kel::TWinControl* p, bool OldStyle) {
    const std::string root = "/tmp/kel-gallery-folders/";
    std::error_code ec;
    for (const char* d : {"Documents/Letters", "Documents/Reports", "measurements/run 1",
                          "measurements/run 2/raw", "Music", "pictures"})
        std::filesystem::create_directories(root + d, ec);
    auto* t = new kel::TFolderTree(p);
    t->SetOldTreeStyle(OldStyle);
    t->SetHideSelection(false);
    t->SetRoot(root);
    t->SelectPath(root + "measurements/run 2/");
    return t;
}

} // namespace

KEL_GALLERY_ITEM("TFolderTree", 200, 150,
                 [](kel::TWinControl* p) { return MakeFolderTree(p, true); });
KEL_GALLERY_ITEM("TFolderTree modern", 200, 150,
                 [](kel::TWinControl* p) { return MakeFolderTree(p, false); });
