// TFolderTree: reading and sorting folders, lazy loading of nodes, selecting a path, creating
// and removing folders, and the published list. The tree view draws it; nothing is painted here.
#include "KEL_FolderTree.h"

#include "Kel_filesys.h"
#include "kel_app.h"
#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace kel {

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string Path) {
    if (Path.empty() || Path.back() != '/') Path += '/';
    return Path;
}

std::string AsciiLower(std::string S) {
    for (char& c : S)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return S;
}

// A listed folder: a folder or a link to one (followed), its name not beginning with ".".
bool IsListedFolder(const fs::directory_entry& E) {
    const std::string name = E.path().filename().string();
    if (name.empty() || name[0] == '.') return false;
    std::error_code ec;
    return E.is_directory(ec) && !ec;
}

// Whether folder Path has at least one listed subfolder (stops at the first).
bool HasListedSubDir(const fs::path& Path) {
    std::error_code ec;
    fs::directory_iterator it(Path, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec))
        if (IsListedFolder(*it)) return true;
    return false;
}

std::string Canonical(const fs::path& Path) {
    std::error_code ec;
    fs::path c = fs::canonical(Path, ec);
    return ec ? std::string() : c.string();
}

// Splits a path at "/" into its non-empty parts.
std::vector<std::string> PartsOf(const std::string& Path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : Path) {
        if (c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

} // namespace

std::vector<TFolderEntry> ReadFolderEntries(const std::string& Path,
                                            const std::vector<std::string>& Ancestors) {
    std::vector<TFolderEntry> out;
    std::error_code ec;
    fs::directory_iterator it(Path, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (!IsListedFolder(*it)) continue;
        TFolderEntry e{it->path().filename().string(), false};
        std::error_code lec;
        // A link back to a folder of the path would open the same folders again and again.
        const bool loop =
            it->is_symlink(lec) &&
            std::find(Ancestors.begin(), Ancestors.end(), Canonical(it->path())) != Ancestors.end();
        e.HasSubDirs = !loop && HasListedSubDir(it->path());
        out.push_back(std::move(e));
    }
    // Sort keys made once; stable, and ties of the lower-case names ordered by their bytes.
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) keys.emplace_back(AsciiLower(out[i].Name), i);
    std::stable_sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return out[a.second].Name < out[b.second].Name;
    });
    std::vector<TFolderEntry> sorted;
    sorted.reserve(out.size());
    for (const auto& k : keys) sorted.push_back(std::move(out[k.second]));
    return sorted;
}

TFolderTree::TFolderTree(TComponent* AOwner) : TCustomTreeView(AOwner) {
    InitBounds(0, 0, 200, 250);
    SetReadOnly(true);
    SetDoubleBuffered(true);
    FColorBak = TControl::Color();
    Reset();
}

void TFolderTree::SetColor(TColor Value) {
    FColorBak = Value;
    TControl::SetColor(Value);
}

void TFolderTree::SetEnabled(bool Value) {
    TControl::SetColor(Value ? FColorBak : clBtnFace);
    TCustomTreeView::SetEnabled(Value);
}

void TFolderTree::SetOldTreeStyle(bool Value) {
    if (!SetField(FUseOldStyle, Value)) return;
    SetTreeStyle(Value ? tvsClassic : tvsModern);
}

void TFolderTree::SetRoot(const std::string& Value) {
    if (Value.empty() || Value[0] != '/')
        throw EKELFolderTreeError("Component \"" + Name() + "\": the root folder \"" + Value +
                                  "\" is not an absolute path");
    if (!SetField(FRoot, WithSlash(Value))) return;
    Reset();
}

void TFolderTree::Loaded() {
    TCustomTreeView::Loaded();
    if (TControl::Color() == 0) TControl::SetColor(clWhite);
    FColorBak = TControl::Color();
    Reset();
}

void TFolderTree::SetDirectory(const std::string& Value) {
    if (SetField(FDirectory, Value) && FOnDirChange) FOnDirChange(this);
}

void TFolderTree::BuildMainTree() {
    BeginUpdate();
    Items().Clear();
    TTreeNode* root = Items().Add(nullptr, FRoot);
    Items().AddChild(root, FolderTreePlaceholder);
    EndUpdate();
}

void TFolderTree::Reset() {
    BuildMainTree();
    FullCollapse();
    SetDirectory(FRoot);
}

std::string TFolderTree::PathOfNode(const TTreeNode* Node) {
    if (Node == nullptr) return {};
    std::vector<const TTreeNode*> chain;
    for (const TTreeNode* n = Node; n != nullptr; n = n->Parent()) chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) path += WithSlash((*it)->Text());
    return path;
}

std::vector<std::string> TFolderTree::AncestorsOf(const TTreeNode* Node) {
    std::vector<std::string> out;
    for (const TTreeNode* n = Node; n != nullptr; n = n->Parent()) {
        std::string c = Canonical(PathOfNode(n));
        if (!c.empty()) out.push_back(std::move(c));
    }
    return out;
}

void TFolderTree::LoadNode(TTreeNode* Node) {
    if (Node->Data() == FolderTreeLoadedMark) return;
    const TCursor oldCursor = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    const std::vector<TFolderEntry> entries =
        ReadFolderEntries(PathOfNode(Node), AncestorsOf(Node));
    BeginUpdate();
    Node->DeleteChildren();
    if (!entries.empty()) {
        Node->SetData(FolderTreeLoadedMark);
        for (const TFolderEntry& e : entries) {
            TTreeNode* child = Items().AddChild(Node, e.Name);
            if (e.HasSubDirs) Items().AddChild(child, FolderTreePlaceholder);
        }
    }
    EndUpdate();
    Screen->SetCursor(oldCursor);
}

bool TFolderTree::CanExpand(TTreeNode* Node) {
    if (!ComponentState().contains(csDesigning)) LoadNode(Node);
    return TCustomTreeView::CanExpand(Node);
}

void TFolderTree::Change(TTreeNode* Node) {
    Click();
    const std::string old = FDirectory;
    if (Selected() != nullptr) FDirectory = PathOfNode(Selected());
    TCustomTreeView::Change(Node);
    if (FDirectory != old && FOnDirChange) FOnDirChange(this);
}

bool TFolderTree::SelectPath(const std::string& Path) {
    if (Path.empty() || Path[0] != '/') return false;
    const std::string target = WithSlash(fs::path(Path).lexically_normal().string());
    if (target.compare(0, FRoot.size(), FRoot) != 0) return false;
    // Check every step first: the tree changes only when the whole path will be found.
    const std::vector<std::string> parts = PartsOf(target.substr(FRoot.size()));
    std::error_code ec;
    if (!fs::is_directory(FRoot, ec)) return false;
    std::string at = FRoot;
    for (const std::string& p : parts) {
        if (p[0] == '.') return false;
        fs::directory_iterator probe(at, ec); // the parent must be readable to list p
        if (ec) return false;
        at += p + "/";
        if (!fs::is_directory(at, ec) || ec) return false;
    }
    BuildMainTree();
    TTreeNode* node = Items().GetFirstNode();
    node->Expand(false);
    for (const std::string& p : parts) {
        TTreeNode* next = nullptr;
        for (TTreeNode* c = node->GetFirstChild(); c != nullptr; c = c->GetNextSibling())
            if (c->Text() == p) {
                next = c;
                break;
            }
        if (next == nullptr) break; // vanished since the check: stop at the nearest parent
        node = next;
        node->Expand(false);
    }
    SetSelected(node);
    if (CanFocus()) SetFocus();
    return true;
}

bool TFolderTree::RefreshTree() {
    for (std::string d = FDirectory; !d.empty() && d.size() >= FRoot.size(); d = ParentDir(d))
        if (SelectPath(d)) return true;
    Reset();
    return false;
}

bool TFolderTree::MakeSubFolder(const std::string& FolderName) {
    if (Selected() == nullptr) return false;
    for (unsigned char c : FolderName)
        if (c < 32 || c == '"' || c == '<' || c == '>' || c == '|') return false;
    std::string name = FolderName;
    while (!name.empty() && name.front() == '/') name.erase(0, 1);
    while (!name.empty() && name.back() == '/') name.pop_back();
    if (name.empty()) return false;
    // Every part must be a real name: no empty part, no "." or "..".
    std::size_t start = 0;
    while (true) {
        const std::size_t end = name.find('/', start);
        const std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    const std::string base = PathOfNode(Selected());
    const std::string target = base + name + "/";
    // Links inside the selected folder may lead elsewhere: resolve what exists and compare.
    std::error_code ec;
    const std::string baseReal = Canonical(base);
    const fs::path targetReal = fs::weakly_canonical(fs::path(base + name), ec);
    if (ec || baseReal.empty()) return false;
    const std::string t = targetReal.string();
    const std::string inside = WithSlash(baseReal); // "/" stays "/"
    if (t.size() <= inside.size() || t.compare(0, inside.size(), inside) != 0) return false;
    fs::create_directories(target, ec);
    if (ec || !fs::is_directory(target, ec)) return false;
    SelectPath(target);
    return true;
}

bool TFolderTree::RemoveSelectedFolder() {
    TTreeNode* node = Selected();
    if (node == nullptr || node->Parent() == nullptr) return false;
    const std::string path = PathOfNode(node);
    // rmdir removes an empty folder only, and never a link.
    if (::rmdir(path.c_str()) != 0) return false;
    SelectPath(PathOfNode(node->Parent()));
    return true;
}

bool TFolderTree::GetSubDirs(const std::string& Path, TStringList& DirList) const {
    std::error_code ec;
    if (Path.empty() || !fs::is_directory(Path, ec)) return false;
    const std::vector<TFolderEntry> entries = ReadFolderEntries(WithSlash(Path));
    for (const TFolderEntry& e : entries) DirList.Add(e.Name);
    return !entries.empty();
}

bool TFolderTree::GetSubDirs(const TTreeNode* Node, TStringList& DirList) const {
    return Node != nullptr && GetSubDirs(PathOfNode(Node), DirList);
}

namespace {
const TClassRegistrar<TFolderTree> folderTreeReg("TFolderTree", "TCustomTreeView", [](auto& p) {
    using T = TFolderTree;
    p.Bool("ReadOnly", &T::ReadOnly, &T::SetReadOnly, true);
    p.Color("Color", &T::Color, &T::SetColor, clWindow);
    p.Bool("OldTreeStyle", &T::OldTreeStyle, &T::SetOldTreeStyle, true);
});
} // namespace

} // namespace kel
