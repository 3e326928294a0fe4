// Speed and memory of the report list exchange formats on 1,000,000 rows of 5 typical columns
// (numbers, names, decimals, text with separators and quotes, and some cells with line breaks):
// CSV export and import, XML save and load, beside two peers in the same run: pugixml's own parse
// of the same XML file (default options) and fast-cpp-csv-parser reading the same CSV without
// the quoted line breaks it cannot read (our import is timed on that copy too).
//
// Counters: bytes_per_second is the file size over the time; peak_MB is the greatest heap in use
// during the operation above what was in use before it (operator new and pugixml's allocations
// are counted), so it includes the file buffer, any parse tree and the finished table. "Cold"
// runs drop the file from the page cache (posix_fadvise) before each iteration; "Warm" runs read
// it from the cache.
#define CSV_IO_NO_THREAD
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-truncation" // inside the peer's header
#include <libfccp/csv.h>
#pragma GCC diagnostic pop

#include "KEL_replist.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

// ---- Heap accounting ---------------------------------------------------------------------------

#include "heap_count.h"

using kel::bench::PeakMB;
using kel::bench::StartPeak;

namespace {

constexpr int Rows = 1000000;
constexpr int Cols = 5;

std::filesystem::path Dir() {
    static const std::filesystem::path d = [] {
        auto p =
            std::filesystem::temp_directory_path() / ("kel_bench_rl_" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p;
    }();
    return d;
}
std::string FilePath(const char* name) { return (Dir() / name).string(); }

// Deterministic typical cells; WithBreaks false replaces the line breaks by blanks.
void FillTable(kel::TRLData& d, bool WithBreaks) {
    static const char* const names[] = {"Anna Berg",     "Ben O'Neil", "Chloé Dubois",
                                        "Dmitri Ivanov", "Eva Núñez",  "Farid Haddad",
                                        "Grace Lee",     "Hans Müller"};
    static const char* const notes[] = {
        "ok",           "checked, needs review",         "said \"fine\"", "red; green; blue",
        "value 3,5 mm", "plain note without separators", "tab\tinside",   "-"};
    d.SetNrCols(Cols);
    d.SetNrRows(Rows);
    std::uint32_t x = 12345;
    auto rnd = [&x] { return x = x * 1664525u + 1013904223u; };
    char buf[64];
    for (int r = 1; r <= Rows; ++r) {
        d.SetElem(1, r, std::to_string(100000 + r));
        d.SetElem(2, r, names[rnd() >> 29]);
        std::snprintf(buf, sizeof buf, "%u.%03u", rnd() % 10000, rnd() % 1000);
        d.SetElem(3, r, buf);
        d.SetElem(4, r, notes[rnd() >> 29]);
        if (rnd() % 10 == 0)
            d.SetElem(5, r, WithBreaks ? "first line\nsecond line" : "first line second line");
        else
            d.SetElem(5, r, "2024-05-" + std::to_string(1 + r % 28) + " 12:00");
    }
}

struct TFiles {
    std::string Csv, CsvFlat, Xml;
    std::size_t CsvSize, CsvFlatSize, XmlSize;
};

void SyncFile(const std::string& f) {
    const int fd = ::open(f.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fdatasync(fd);
        ::close(fd);
    }
}

// Removes the file's pages from the page cache, so the next read comes from the disk.
void DropFromCache(const std::string& f) {
    const int fd = ::open(f.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

const TFiles& Files() {
    static const TFiles files = [] {
        TFiles f;
        f.Csv = FilePath("table.csv");
        f.CsvFlat = FilePath("table_flat.csv");
        f.Xml = FilePath("table.xml");
        {
            kel::TRLData d(nullptr);
            FillTable(d, true);
            d.ExportCSV(f.Csv, kel::csvComma, false, false, 1, 1, Cols, Rows);
            d.SaveAsXMLFile(f.Xml, "bench");
        }
        {
            kel::TRLData d(nullptr);
            FillTable(d, false);
            d.ExportCSV(f.CsvFlat, kel::csvComma, false, false, 1, 1, Cols, Rows);
        }
        for (const std::string* p : {&f.Csv, &f.CsvFlat, &f.Xml}) SyncFile(*p);
        f.CsvSize = std::filesystem::file_size(f.Csv);
        f.CsvFlatSize = std::filesystem::file_size(f.CsvFlat);
        f.XmlSize = std::filesystem::file_size(f.Xml);
        return f;
    }();
    return files;
}

kel::TRLData& SourceTable() {
    static kel::TRLData* d = [] {
        auto* t = new kel::TRLData(nullptr);
        FillTable(*t, true);
        return t;
    }();
    return *d;
}

void Finish(benchmark::State& state, std::size_t bytes, std::size_t base) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["peak_MB"] = PeakMB(base);
    state.counters["file_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void BM_CsvExport(benchmark::State& state) {
    kel::TRLData& d = SourceTable();
    const std::string out = FilePath("export.csv");
    const std::size_t base = StartPeak();
    for (auto _ : state) d.ExportCSV(out, kel::csvComma, false, false, 1, 1, Cols, Rows);
    Finish(state, std::filesystem::file_size(out), base);
}

void CsvImport(benchmark::State& state, const std::string& file, std::size_t size, bool cold) {
    const std::size_t base = StartPeak();
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            DropFromCache(file);
            state.ResumeTiming();
        }
        auto d = std::make_unique<kel::TRLData>(nullptr);
        const int rows = d->ImportCSV(file, kel::csvComma, false);
        if (rows != Rows) state.SkipWithError("wrong row count");
        state.PauseTiming(); // freeing the table is not part of the import
        d.reset();
        state.ResumeTiming();
    }
    Finish(state, size, base);
}
void BM_CsvImport_Warm(benchmark::State& s) { CsvImport(s, Files().Csv, Files().CsvSize, false); }
void BM_CsvImport_Cold(benchmark::State& s) { CsvImport(s, Files().Csv, Files().CsvSize, true); }
void BM_CsvImportFlat_Warm(benchmark::State& s) {
    CsvImport(s, Files().CsvFlat, Files().CsvFlatSize, false);
}
void BM_CsvImportFlat_Cold(benchmark::State& s) {
    CsvImport(s, Files().CsvFlat, Files().CsvFlatSize, true);
}

void FccpRead(benchmark::State& state, bool cold) {
    const TFiles& f = Files();
    const std::size_t base = StartPeak();
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            DropFromCache(f.CsvFlat);
            state.ResumeTiming();
        }
        io::CSVReader<Cols, io::trim_chars<>, io::double_quote_escape<',', '"'>> in(f.CsvFlat);
        std::string a, b, c, d, e;
        int rows = 0;
        while (in.read_row(a, b, c, d, e)) ++rows;
        if (rows != Rows) state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(e);
    }
    Finish(state, f.CsvFlatSize, base);
}
void BM_FccpRead_Warm(benchmark::State& s) { FccpRead(s, false); }
void BM_FccpRead_Cold(benchmark::State& s) { FccpRead(s, true); }

void BM_XmlSave(benchmark::State& state) {
    kel::TRLData& d = SourceTable();
    const std::string out = FilePath("save.xml");
    const std::size_t base = StartPeak();
    for (auto _ : state) d.SaveAsXMLFile(out, "bench");
    Finish(state, std::filesystem::file_size(out), base);
}

void XmlLoad(benchmark::State& state, bool cold) {
    const TFiles& f = Files();
    const std::size_t base = StartPeak();
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            DropFromCache(f.Xml);
            state.ResumeTiming();
        }
        auto d = std::make_unique<kel::TRLData>(nullptr);
        d->LoadFromXMLFile(f.Xml, "bench");
        if (d->NrOfRows() != Rows) state.SkipWithError("wrong row count");
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
    Finish(state, f.XmlSize, base);
}
void BM_XmlLoad_Warm(benchmark::State& s) { XmlLoad(s, false); }
void BM_XmlLoad_Cold(benchmark::State& s) { XmlLoad(s, true); }

void PugiParse(benchmark::State& state, bool cold) {
    const TFiles& f = Files();
    const std::size_t base = StartPeak();
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            DropFromCache(f.Xml);
            state.ResumeTiming();
        }
        auto doc = std::make_unique<pugi::xml_document>();
        if (!doc->load_file(f.Xml.c_str())) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(doc->first_child());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    Finish(state, f.XmlSize, base);
}
void BM_PugiParse_Warm(benchmark::State& s) { PugiParse(s, false); }
void BM_PugiParse_Cold(benchmark::State& s) { PugiParse(s, true); }

// pugixml allocates through these, so its trees are counted like our own allocations.
const bool PugiCounted = [] {
    pugi::set_memory_management_functions(kel::bench::CountedAlloc, kel::bench::CountedFree);
    return true;
}();

} // namespace

// The data files are removed when the program ends.
// Dir() is first called here, so its path outlives this object.
const struct TCleanup {
    TCleanup() { (void)Dir(); }
    ~TCleanup() { std::filesystem::remove_all(Dir()); }
} Cleanup;
#ifndef KEL_RL_ITERS
#define KEL_RL_ITERS 3
#endif
#define KEL_RL_BENCH(fn)                                                                           \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Iterations(KEL_RL_ITERS)->UseRealTime()
KEL_RL_BENCH(BM_CsvExport);
KEL_RL_BENCH(BM_CsvImport_Warm);
KEL_RL_BENCH(BM_CsvImport_Cold);
KEL_RL_BENCH(BM_CsvImportFlat_Warm);
KEL_RL_BENCH(BM_CsvImportFlat_Cold);
KEL_RL_BENCH(BM_FccpRead_Warm);
KEL_RL_BENCH(BM_FccpRead_Cold);
KEL_RL_BENCH(BM_XmlSave);
KEL_RL_BENCH(BM_XmlLoad_Warm);
KEL_RL_BENCH(BM_XmlLoad_Cold);
KEL_RL_BENCH(BM_PugiParse_Warm);
KEL_RL_BENCH(BM_PugiParse_Cold);
