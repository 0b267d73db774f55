// The results list with a million rows: importing results.txt, sorting it by each column, and
// the cell texts the virtual list asks for while it scrolls.
//
//   results_bench [--rows=N] [Google Benchmark flags]
//
// Writes a results.txt of N rows (default 1,000,000) to /tmp/lumiseek-bench/ first, in the
// layout es writes: header "Size,Date Modified,Filename", a quoted path, an empty size for
// folders, some names outside ASCII and some paths with commas. Reports MB/s and rows/s, and for
// the import the peak memory it took, as a multiple of the file's size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/app.h"
#include "fake_port.h"
#include "search/columns.h"
#include "search/results.h"

namespace {

using lumiseek::App;
namespace fs = std::filesystem;

const fs::path kFolder = "/tmp/lumiseek-bench";
int64_t gRows = 1000000;
int64_t gFileBytes = 0;
long gBaselineKb = 0;   // the process's peak resident size before the first import
long gResidentKb = 0;   // and its resident size then

// The fake port of the unit tests, reading results.txt from the bench folder on disk.
struct DiskPort : lumiseek::test::FakePort {
    bool FileExists(const std::string& p) override { return fs::is_regular_file(kFolder / p); }
    bool ReadFileBytes(const std::string& p, std::string& bytes) override {
        std::ifstream in(kFolder / p, std::ios::binary);
        if (!in) return false;
        in.seekg(0, std::ios::end);
        bytes.resize(static_cast<size_t>(in.tellg()));
        in.seekg(0);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(in);
    }
    bool ReadFilePart(const std::string& p, uint64_t offset, size_t count, std::string& bytes) override {
        std::ifstream in(kFolder / p, std::ios::binary);
        if (!in) return false;
        in.seekg(static_cast<std::streamoff>(offset));
        bytes.resize(count);
        in.read(bytes.data(), static_cast<std::streamsize>(count));
        bytes.resize(static_cast<size_t>(in.gcount()));
        return true;
    }
};

long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The resident size now.
long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// One row of the kind a file search returns: a path a few folders deep under a drive, names of
// words and numbers, one in 10 a folder, one in 50 with letters outside ASCII, one in 100 with a comma.
void WriteResults(const fs::path& file, int64_t rows) {
    static const char* kWords[] = {"report", "Budget", "invoice", "Photo", "holiday", "music", "song", "letter",
                                   "notes", "Draft", "summary", "project", "meeting", "scan", "backup", "video"};
    static const char* kTop[] = {"Users\\ann\\Documents", "Users\\ann\\Pictures", "Projects", "Data\\archive",
                                 "Users\\bob\\Music", "Work\\clients"};
    static const char* kExt[] = {"txt", "pdf", "docx", "jpg", "PNG", "mp3", "xlsx", "zip", "cpp", "html"};
    static const char* kForeign[] = {"Größe", "résumé", "отчёт", "Ελλάδα"};
    std::mt19937_64 rng(20240517);
    std::ofstream out(file, std::ios::binary);
    out << "Size,Date Modified,Filename\r\n";
    std::string line;
    for (int64_t i = 0; i < rows; ++i) {
        bool folder = rng() % 10 == 0;
        line.clear();
        if (!folder) line += std::to_string(rng() % 4000000000ull);
        char date[32];
        std::snprintf(date, sizeof date, ",%02d/%02d/%04d %02d:%02d,\"C:\\", static_cast<int>(rng() % 12 + 1),
                      static_cast<int>(rng() % 28 + 1), static_cast<int>(2000 + rng() % 25),
                      static_cast<int>(rng() % 24), static_cast<int>(rng() % 60));
        line += date;
        line += kTop[rng() % 6];
        line += '\\';
        line += kWords[rng() % 16];
        line += ' ';
        line += std::to_string(rng() % 1000);
        if (rng() % 100 == 0) line += ", old";
        line += '\\';
        line += rng() % 50 == 0 ? kForeign[rng() % 4] : kWords[rng() % 16];
        line += ' ';
        line += kWords[rng() % 16];
        line += ' ';
        line += std::to_string(rng() % 100000);
        if (!folder) {
            line += '.';
            line += kExt[rng() % 10];
        }
        line += "\"\r\n";
        out << line;
    }
}

void Import(benchmark::State& state) {
    DiskPort port;
    App app(port);
    int rows = 0;
    for (auto _ : state) rows = lumiseek::ImportResults(app);
    if (rows != gRows) state.SkipWithError("the import kept a different number of rows");
    state.SetBytesProcessed(state.iterations() * gFileBytes);
    state.SetItemsProcessed(state.iterations() * rows);
    double peak = static_cast<double>(PeakKb() - gBaselineKb) * 1024;
    state.counters["file_MB"] = static_cast<double>(gFileBytes) / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_per_file_byte"] = peak / static_cast<double>(gFileBytes);
    state.counters["table_MB"] = static_cast<double>(ResidentKb() - gResidentKb) * 1024 / 1e6;
}

// SortD flips the shared direction on every call, so the iterations alternate descending and
// ascending. Each starts from the rows in a new random order.
void Sort(benchmark::State& state) {
    DiskPort port;
    App app(port);
    lumiseek::ImportResults(app);
    std::mt19937_64 rng(7);
    int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(app.Results.begin(), app.Results.end(), rng);
        state.ResumeTiming();
        lumiseek::SortD(app, column);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(app.Results.size()));
}

// What the virtual list asks for when it shows one screen of ten rows at a random place: their
// four cell texts. Run over the million-row table and over a table of ten rows.
void ScreenOfCells(benchmark::State& state) {
    DiskPort port;
    App app(port);
    lumiseek::ImportResults(app);
    int tableRows = static_cast<int>(std::min<int64_t>(state.range(0), static_cast<int64_t>(app.Results.size())));
    app.Results.resize(static_cast<size_t>(tableRows));
    std::mt19937 rng(3);
    size_t bytes = 0;
    for (auto _ : state) {
        int top = static_cast<int>(rng() % static_cast<unsigned>(tableRows - 9)) + 1;
        for (int row = top; row < top + 10; ++row)
            for (int column = 1; column <= 4; ++column) bytes += lumiseek::GetCellText(app, row, column).size();
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * 10);
}

// Every key pressed in the list looks for the next row whose name starts with the key's
// character (End: '#'); with no such row it reads every row below the selection.
void KeyDownScan(benchmark::State& state) {
    DiskPort port;
    App app(port);
    lumiseek::ImportResults(app);
    app.Results.resize(static_cast<size_t>(std::min<int64_t>(state.range(0), static_cast<int64_t>(app.Results.size()))));
    int found = 0;
    for (auto _ : state) found += lumiseek::TypeAheadRow(app.Results, 1, '#');
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(app.Results.size()));
}

}  // namespace

BENCHMARK(KeyDownScan)->ArgName("rows")->Arg(10)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Import)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Sort)->ArgName("column")->DenseRange(1, 4)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(ScreenOfCells)->ArgName("rows")->Arg(10)->Arg(1000000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rows=", 7) == 0) {
            gRows = std::atoll(argv[i] + 7);
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            --i;
        }
    }
    fs::create_directories(kFolder);
    WriteResults(kFolder / "results.txt", gRows);
    gFileBytes = static_cast<int64_t>(fs::file_size(kFolder / "results.txt"));
    gBaselineKb = PeakKb();
    gResidentKb = ResidentKb();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
