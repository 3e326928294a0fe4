// TFolderTree on folders the tests make in a fresh temporary folder: hidden folders, the sorted
// order, lazy loading with placeholder and marker, SelectPath of missing and hidden paths,
// MakeSubFolder with nested, refused and escaping names, RemoveSelectedFolder, an unreadable
// folder, symbolic link loops, the enabled colour, and reference images of both looks.
#include "KEL_FolderTree.h"

#include "headless.h"
#include "kel_form_fixture.h"
#include "kel_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kel;
namespace fs = std::filesystem;

namespace {

class FolderTreeTest : public test::FormTest {
  protected:
    FolderTreeTest() : test::FormTest(300, 300) {}
    void SetUp() override {
        test::FormTest::SetUp();
        char tmpl[] = "/tmp/kel-foldertree-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        ::chmod(tmpl, 0755); // readable by the unprivileged child of the permission test
        base = std::string(tmpl) + "/";
        tree = new TFolderTree(form.get());
        tree->SetParent(form.get());
        tree->SetOnDirChanged([this](TObject*) { ++dirChanges; });
    }
    void TearDown() override {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(base, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_all,
                            fs::perm_options::add | fs::perm_options::nofollow, ec);
        fs::remove_all(base, ec);
        test::FormTest::TearDown();
    }
    void Dir(const std::string& Rel) { fs::create_directories(base + Rel); }
    // Texts of Node's children.
    static std::string Kids(const TTreeNode* Node) {
        std::string s;
        for (TTreeNode* c = Node->GetFirstChild(); c != nullptr; c = c->GetNextSibling())
            s += (s.empty() ? "" : " ") + c->Text();
        return s;
    }
    TTreeNode* Child(const TTreeNode* Node, const std::string& Text) {
        for (TTreeNode* c = Node->GetFirstChild(); c != nullptr; c = c->GetNextSibling())
            if (c->Text() == Text) return c;
        return nullptr;
    }
    std::string base;
    TFolderTree* tree = nullptr;
    int dirChanges = 0;
};

TEST_F(FolderTreeTest, ListsFoldersSortedWithoutHiddenOnesAndLoadsLazily) {
    for (const char* d :
         {"gamma", "Beta", "alpha/inner", "alpha/.git", "dotonly/.cache", ".hid", "tie", "Tie"})
        Dir(d);
    std::ofstream(base + "file.txt") << "not a folder";
    ASSERT_TRUE(tree->SelectPath(base));
    EXPECT_EQ(tree->Directory(), base);
    TTreeNode* n = tree->Selected();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(TFolderTree::PathOfNode(n), base);
    // Case-insensitive order; equal lower-case names by their bytes.
    EXPECT_EQ(Kids(n), "alpha Beta dotonly gamma Tie tie");
    EXPECT_EQ(n->Data(), FolderTreeLoadedMark);
    // A folder whose only subfolder is hidden gets no expand button; alpha gets a placeholder
    // until it opens, then its real child and the marker.
    EXPECT_FALSE(Child(n, "dotonly")->HasChildren());
    TTreeNode* alpha = Child(n, "alpha");
    EXPECT_EQ(Kids(alpha), FolderTreePlaceholder);
    EXPECT_EQ(alpha->Data(), nullptr);
    alpha->Expand(false);
    EXPECT_EQ(Kids(alpha), "inner");
    EXPECT_EQ(alpha->Data(), FolderTreeLoadedMark);
    EXPECT_FALSE(Child(alpha, "inner")->HasChildren());
    // Selecting a node sets Directory (always with "/") and fires OnDirChanged once.
    const int before = dirChanges;
    tree->SetSelected(Child(alpha, "inner"));
    EXPECT_EQ(tree->Directory(), base + "alpha/inner/");
    EXPECT_EQ(dirChanges, before + 1);

    TStringList list;
    EXPECT_TRUE(tree->GetSubDirs(base, list));
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list[1], "Beta");
    TStringList none;
    EXPECT_FALSE(tree->GetSubDirs(base + "dotonly", none));
    EXPECT_FALSE(tree->GetSubDirs(base + "missing", none));
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(FolderTreeTest, PathsAreCaseSensitive) {
    Dir("Data");
    Dir("data");
    ASSERT_TRUE(tree->SelectPath(base + "Data"));
    EXPECT_EQ(tree->Directory(), base + "Data/");
    EXPECT_EQ(tree->Selected()->Text(), "Data");
    EXPECT_FALSE(tree->SelectPath(base + "DATA/"));
}

TEST_F(FolderTreeTest, SelectPathOfMissingOrHiddenPathChangesNothing) {
    Dir("a/b");
    Dir("a/.hidden");
    ASSERT_TRUE(tree->SelectPath(base + "a/b/"));
    TTreeNode* sel = tree->Selected();
    const int count = tree->Items().Count(), changes = dirChanges;
    for (const std::string& p : {base + "a/missing/", base + "a/.hidden/", std::string("a/b"),
                                 std::string(""), base + "a/b/../../../nope"}) {
        EXPECT_FALSE(tree->SelectPath(p)) << p;
        EXPECT_EQ(tree->Selected(), sel) << p;
        EXPECT_EQ(tree->Items().Count(), count) << p;
        EXPECT_EQ(tree->Directory(), base + "a/b/") << p;
    }
    EXPECT_EQ(dirChanges, changes);
    // Dots in the text are resolved before the walk.
    EXPECT_TRUE(tree->SelectPath(base + "a/./b/../b"));
    EXPECT_EQ(tree->Directory(), base + "a/b/");
}

TEST_F(FolderTreeTest, MakeSubFolderCreatesNestedFoldersAndRefusesUnsafeNames) {
    Dir("sel");
    fs::create_directories(base + "outside");
    fs::create_directory_symlink(base + "outside", base + "sel/link");
    EXPECT_FALSE(tree->MakeSubFolder("x")) << "nothing selected after Reset";
    ASSERT_TRUE(tree->SelectPath(base + "sel/"));
    EXPECT_TRUE(tree->MakeSubFolder("/a/b/"));
    EXPECT_TRUE(fs::is_directory(base + "sel/a/b"));
    EXPECT_EQ(tree->Directory(), base + "sel/a/b/");

    ASSERT_TRUE(tree->SelectPath(base + "sel/"));
    for (const std::string& bad :
         {std::string("x|y"), std::string("x\ty"), std::string("x\"y"), std::string("<x>"),
          std::string("../x"), std::string("a/../../x"), std::string("a//b"), std::string("./x"),
          std::string("/"), std::string(""), std::string("link/escaped")}) {
        EXPECT_FALSE(tree->MakeSubFolder(bad)) << bad;
        EXPECT_EQ(tree->Directory(), base + "sel/") << bad;
    }
    EXPECT_FALSE(fs::exists(base + "x"));
    EXPECT_FALSE(fs::exists(base + "sel/x"));
    EXPECT_FALSE(fs::exists(base + "outside/escaped"));
    EXPECT_FALSE(fs::exists(base + "sel/a/b/x"));
    // An existing folder is fine and gets selected.
    EXPECT_TRUE(tree->MakeSubFolder("a"));
    EXPECT_EQ(tree->Directory(), base + "sel/a/");
}

TEST_F(FolderTreeTest, RemoveSelectedFolder) {
    Dir("p/empty");
    Dir("p/full/inner");
    EXPECT_FALSE(tree->RemoveSelectedFolder()); // nothing selected
    tree->SetSelected(tree->Items().GetFirstNode());
    EXPECT_EQ(tree->Directory(), "/");
    EXPECT_FALSE(tree->RemoveSelectedFolder()); // the root
    ASSERT_TRUE(tree->SelectPath(base + "p/full/"));
    EXPECT_FALSE(tree->RemoveSelectedFolder());
    EXPECT_TRUE(fs::is_directory(base + "p/full/inner"));
    EXPECT_EQ(tree->Directory(), base + "p/full/");
    ASSERT_TRUE(tree->SelectPath(base + "p/empty/"));
    EXPECT_TRUE(tree->RemoveSelectedFolder());
    EXPECT_FALSE(fs::exists(base + "p/empty"));
    EXPECT_EQ(tree->Directory(), base + "p/");
    EXPECT_EQ(Kids(tree->Selected()), "full");
}

TEST_F(FolderTreeTest, RefreshTreeFallsBackToTheNearestParent) {
    Dir("r/s/t");
    ASSERT_TRUE(tree->SelectPath(base + "r/s/t/"));
    fs::remove(base + "r/s/t");
    fs::remove(base + "r/s");
    EXPECT_TRUE(tree->RefreshTree());
    EXPECT_EQ(tree->Directory(), base + "r/");
    EXPECT_EQ(Kids(tree->Selected()), "");
}

TEST_F(FolderTreeTest, SymbolicLinksAreListedButNeverFollowedIntoALoop) {
    Dir("top/sub/deep");
    fs::create_directory_symlink(base + "top", base + "top/sub/up");        // back to an ancestor
    fs::create_directory_symlink(base + "top/sub/deep", base + "top/down"); // elsewhere
    fs::create_symlink(base + "top/self", base + "top/self");               // a loop of links
    ASSERT_TRUE(tree->SelectPath(base + "top/sub/"));
    TTreeNode* sub = tree->Selected();
    EXPECT_EQ(Kids(sub), "deep up");
    EXPECT_FALSE(Child(sub, "up")->HasChildren());
    EXPECT_EQ(Kids(sub->Parent()), "down sub"); // "self" is no folder
    // A link to a folder off the path opens like a folder.
    ASSERT_TRUE(tree->SelectPath(base + "top/down/"));
    // Opening through the link to the ancestor ends there.
    ASSERT_TRUE(tree->SelectPath(base + "top/sub/up/"));
    EXPECT_EQ(tree->Selected()->Count(), 0);
}

// Checks the unreadable folder as the current user; returns 0 when it behaves, else a code.
int CheckUnreadable(const std::string& Base) {
    TFolderTree t(nullptr);
    TStringList list;
    if (t.GetSubDirs(Base + "locked/", list) || list.Count() != 0) return 1;
    if (!t.SelectPath(Base)) return 2;
    TTreeNode* locked = t.Selected()->GetFirstChild();
    if (locked == nullptr || locked->Text() != "locked") return 3;
    if (locked->HasChildren()) return 4; // its subfolder cannot be seen
    if (!t.SelectPath(Base + "locked/")) return 5;
    if (t.SelectPath(Base + "locked/inner/")) return 6; // cannot be listed, so not in the tree
    return 0;
}

TEST_F(FolderTreeTest, UnreadableFolderShowsNoChildrenAndNoError) {
    Dir("locked/inner");
    ::chmod((base + "locked").c_str(), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(CheckUnreadable(base), 0);
        return;
    }
    // Permissions do not stop root from reading: check in a child process that drops to an
    // unprivileged user.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::setegid(65534) != 0 || ::seteuid(65534) != 0) ::_exit(100);
        ::_exit(CheckUnreadable(base));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "cannot drop privileges to check permissions";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(FolderTreeTest, ColourFollowsEnabledAndStyleFollowsOldTreeStyle) {
    tree->SetColor(clYellow);
    tree->SetEnabled(false);
    EXPECT_EQ(tree->Color(), clBtnFace);
    tree->SetEnabled(true);
    EXPECT_EQ(tree->Color(), clYellow);
    EXPECT_EQ(tree->TreeStyle(), tvsClassic);
    tree->SetOldTreeStyle(false);
    EXPECT_EQ(tree->TreeStyle(), tvsModern);
    EXPECT_THROW(tree->SetRoot("relative"), EKELFolderTreeError);
    EXPECT_EQ(tree->Root(), "/");
}

// A fixed folder, so the root's text is the same in every run.
TEST_F(FolderTreeTest, LooksOfBothStyles) {
    const std::string root = "/tmp/kel-foldertree-look/";
    std::error_code ec;
    fs::remove_all(root, ec);
    for (const char* d : {"Documents/Letters", "Documents/Reports", "measurements/run 1",
                          "measurements/run 2/raw", "Music", "pictures"})
        fs::create_directories(root + d);
    tree->SetRoot(root);
    tree->SetBounds(0, 0, 200, 150);
    tree->SetHideSelection(false);
    ASSERT_TRUE(tree->SelectPath(root + "measurements/run 2/"));
    TBitmap shot;
    headless::Snapshot(*tree, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "foldertree_classic"));
    tree->SetOldTreeStyle(false);
    headless::Snapshot(*tree, shot);
    EXPECT_TRUE(test::MatchesReferenceAndDocs(shot, "widgets", "foldertree_modern"));
    fs::remove_all(root, ec);
}

} // namespace

TEST_F(FolderTreeTest, RootFolderBoundsTheTree) {
    Dir("inner");
    tree->SetRoot(base.substr(0, base.size() - 1)); // a trailing "/" is added
    EXPECT_EQ(tree->Root(), base);
    EXPECT_EQ(tree->Directory(), base);
    TTreeNode* root = tree->Items().GetFirstNode();
    EXPECT_EQ(root->Text(), base);
    EXPECT_EQ(Kids(root), FolderTreePlaceholder);
    EXPECT_EQ(tree->Items().Count(), 2);
    EXPECT_FALSE(tree->SelectPath("/tmp/")); // outside the root
    tree->SetSelected(root);
    EXPECT_TRUE(tree->MakeSubFolder("made"));
    EXPECT_EQ(tree->Directory(), base + "made/");
    EXPECT_EQ(Kids(tree->Selected()->Parent()), "inner made");
    tree->Reset();
    EXPECT_EQ(tree->Directory(), base);
    EXPECT_EQ(tree->Selected(), nullptr);
}
