// TFolderTree: a read-only tree view of the folders of the file system, loaded lazily. A node's
// subfolders are read only when it opens; until then a folder known to have subfolders carries
// one placeholder child (text FolderTreePlaceholder) so the tree shows an expand button for it,
// and a node whose subfolders were read carries FolderTreeLoadedMark in its Data. The tree keeps
// the path of the selected folder as Directory and reports its changes, can select a given path,
// create a subfolder of the selected folder and remove the selected folder.
//
// Paths are POSIX paths: the root node's text is Root ("/" by default) and a node's path is the
// texts from the root down, each followed by "/" unless it already ends in one ("/" and a child
// "data" give "/data/"). Directory always ends in "/". Paths are compared case-sensitively, as
// the file system does.
//
// Choices made where the rules leave it open or would be unsafe here:
// - A folder is listed when its entry is a folder or a symbolic link to one, and its name does
//   not begin with "." (hidden folders, "." and ".." are left out).
// - Names are sorted by their ASCII lower-case form; equal lower-case names are ordered by their
//   bytes ("Alpha" before "alpha"), so the order never depends on the order the folder lists
//   them in.
// - A folder that cannot be read (no permission, vanished) shows no children and raises nothing.
// - A symbolic link whose target is the folder of the node it is listed under, or one of that
//   node's ancestors, is listed without an expand button, so the tree is never walked into a
//   loop; a link that cannot be resolved (a link loop of links) is no folder and is left out.
// - SelectPath takes an absolute path below Root; "." and ".." parts are resolved in the text
//   first. A path that is not an existing folder, lies outside Root, or has a part the tree does
//   not list (a hidden folder) returns false and leaves the tree, the selection and Directory as
//   they were.
// - MakeSubFolder refuses, besides characters 0-31, '"', '<', '>' and '|': an empty name, a "."
//   or ".." part, an empty part ("a//b"), and any name whose folder would resolve (symbolic
//   links followed) outside the selected folder. It returns true when the folder exists
//   afterwards; the new folder is then selected when the tree lists it (a hidden one is not).
// - RemoveSelectedFolder removes an empty folder only (rmdir); a symbolic link is not removed.
// - RefreshTree falls back to the parent folders of Directory and finally to Reset.
// - The expansion runs in CanExpand (before OnExpanding), so OnExpanding stays free for the
//   application.
#pragma once

#include "Kel_error.h"
#include "kel_classes.h"
#include "kel_comctrls.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kel {

// Data of a node whose subfolders have been read: a fixed value applications may compare with,
// never dereferenced.
inline void* const FolderTreeLoadedMark =
    reinterpret_cast<void*>(std::uintptr_t(0xA5F016ED)); // NOLINT(performance-no-int-to-ptr)
// Text of the placeholder child of a folder that has subfolders not read yet.
inline constexpr const char* FolderTreePlaceholder = "Child";

class EKELFolderTreeError : public EKELError {
  public:
    using EKELError::EKELError;
};

// One listed subfolder: its name and whether it has listed subfolders of its own (and may be
// opened: false for a link back into the path).
struct TFolderEntry {
    std::string Name;
    bool HasSubDirs = false;
};

// The listed subfolders of folder Path (ending in "/"), sorted as above; empty when the folder
// cannot be read. Ancestors: the canonical paths of Path and of the folders above it in the
// tree (a link to one of them gets HasSubDirs false). Pure file-system read, for tests.
std::vector<TFolderEntry> ReadFolderEntries(const std::string& Path,
                                            const std::vector<std::string>& Ancestors = {});

class TFolderTree : public TCustomTreeView {
  public:
    // 200 x 250, read-only, single selection, double buffered, Root "/", the tree reset to the
    // root with its placeholder child and Directory = Root.
    explicit TFolderTree(TComponent* AOwner);
    std::string ClassName() const override { return "TFolderTree"; }

    // --- published properties (defaults in brackets) ---
    // The colour while enabled [clWindow]; a disabled tree shows clBtnFace.
    TColor Color() const { return TControl::Color(); }
    void SetColor(TColor Value);
    void SetEnabled(bool Value) override;
    // true: the classic look (dotted lines, plus/minus boxes); false: the modern look (no
    // lines, triangle expanders) [true]. Sets TreeStyle.
    bool OldTreeStyle() const { return FUseOldStyle; }
    void SetOldTreeStyle(bool Value);
    // The folder the tree starts at, an absolute path ending in "/" ["/"]; public, not
    // published (a form file should not fix a machine's folder). Setting it adds a
    // missing trailing "/" and resets the tree; a relative or empty path raises
    // EKELFolderTreeError naming the component.
    const std::string& Root() const { return FRoot; }
    void SetRoot(const std::string& Value);
    // Fired when Directory changes.
    const TNotifyEvent& OnDirChanged() const { return FOnDirChange; }
    void SetOnDirChanged(TNotifyEvent Handler) { FOnDirChange = std::move(Handler); }

    // The selected folder, ending in "/" (read-only).
    const std::string& Directory() const { return FDirectory; }

    // --- operations (file-system failures give false, never an exception) ---
    // Directory becomes Root; the tree holds only the root node with a placeholder child,
    // collapsed. Fires OnDirChanged when Directory changed.
    void Reset();
    // Rebuilds the tree, opens it down to Path and selects Path's node (see above).
    bool SelectPath(const std::string& Path);
    // Selects Directory again after re-reading the tree, or its nearest existing parent.
    bool RefreshTree();
    // Creates FolderName (may hold "/" for nested folders) below the selected folder.
    bool MakeSubFolder(const std::string& FolderName);
    // Removes the selected folder when it is empty and not the root; selects its parent.
    bool RemoveSelectedFolder();
    // Adds the listed subfolder names of Path (or of Node's folder) to DirList; false when the
    // folder does not exist or has none.
    bool GetSubDirs(const std::string& Path, TStringList& DirList) const;
    bool GetSubDirs(const TTreeNode* Node, TStringList& DirList) const;
    // The folder of Node, ending in "/" ("" for null).
    static std::string PathOfNode(const TTreeNode* Node);

  protected:
    // After streaming: a black colour becomes white, the colour is remembered as the enabled
    // colour, the tree is reset.
    void Loaded() override;
    // Reads a node's subfolders the first time it opens, then OnExpanding.
    bool CanExpand(TTreeNode* Node) override;
    // OnClick, Directory from the selection, OnChange, then OnDirChanged when it changed.
    void Change(TTreeNode* Node) override;

  private:
    void BuildMainTree();
    void LoadNode(TTreeNode* Node);
    void SetDirectory(const std::string& Value); // fires OnDirChanged when it changed
    // The canonical paths of Node's folder and of its ancestors' folders.
    static std::vector<std::string> AncestorsOf(const TTreeNode* Node);

    std::string FDirectory;
    std::string FRoot = "/";
    bool FUseOldStyle = true;
    TColor FColorBak = clWindow;
    TNotifyEvent FOnDirChange;
};

} // namespace kel
