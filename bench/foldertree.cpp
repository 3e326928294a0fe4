// Expanding a folder of 20,000 subfolders in the folder tree, against its peers in the same run:
// the bare listing of the folder, and the listing plus the one look into every subfolder that
// tells whether it has subfolders (the file-system work the tree cannot avoid). The folder is
// made once under /tmp and removed at exit.
#include "KEL_FolderTree.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 20000;

// The folder of 20,000 subfolders (every tenth with a subfolder of its own).
const std::string& BigFolder() {
    static const std::string path = [] {
        std::string p = "/tmp/kel-bench-foldertree-" + std::to_string(::getpid()) + "/";
        for (int i = 0; i < kFolders; ++i) {
            const std::string d = p + "folder " + std::to_string(i);
            fs::create_directories(i % 10 == 0 ? d + "/sub" : d);
        }
        std::atexit([] {
            std::error_code ec;
            fs::remove_all("/tmp/kel-bench-foldertree-" + std::to_string(::getpid()), ec);
        });
        return p;
    }();
    return path;
}

void BM_ListOnly(benchmark::State& state) {
    const std::string& dir = BigFolder();
    for (auto _ : state) {
        int n = 0;
        for (const auto& e : fs::directory_iterator(dir)) n += e.is_directory() ? 1 : 0;
        benchmark::DoNotOptimize(n);
    }
}

void BM_ListAndProbe(benchmark::State& state) {
    const std::string& dir = BigFolder();
    for (auto _ : state) {
        int n = 0;
        for (const auto& e : fs::directory_iterator(dir)) {
            if (!e.is_directory()) continue;
            for (const auto& s : fs::directory_iterator(e.path()))
                if (s.is_directory()) {
                    ++n;
                    break;
                }
        }
        benchmark::DoNotOptimize(n);
    }
}

void BM_ExpandFolderTree(benchmark::State& state) {
    const std::string& dir = BigFolder();
    kel::TFolderTree tree(nullptr);
    tree.SetRoot(dir);
    for (auto _ : state) {
        state.PauseTiming();
        tree.Reset();
        state.ResumeTiming();
        kel::TTreeNode* root = tree.Items().GetFirstNode();
        root->Expand(false);
        if (root->Count() != kFolders) state.SkipWithError("wrong number of folders");
    }
}

} // namespace

BENCHMARK(BM_ListOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListAndProbe)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandFolderTree)->Unit(benchmark::kMillisecond);
