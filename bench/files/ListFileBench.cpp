// Importing and saving a large phonebook file: 100,000 and 1,000,000 rows of about 50 bytes,
// mostly ASCII with some accented and Chinese names, as a real exported phonebook would be; and
// importing files whose content makes as many rows per byte as it can.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <optional>

#include "HeapUse.h"
#include "files/ListFile.h"
#include "files/ListImport.h"

namespace velnor {
namespace {

class SilentPrompts : public UserPrompts {
public:
    bool askYesNo(const Prompt &) override { return false; }
    void showMessage(MessageKind, const Prompt &) override {}
    std::optional<std::string> chooseOpenFile(const FileChoice &) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileChoice &) override { return {}; }
    std::optional<CodeAnswer> askCodes(const CodeRequest &) override { return {}; }
};

class NoTexts : public Texts {
public:
    const char *find(int) const override { return nullptr; }
};

const std::vector<std::string> kTitles = {"No.", "Name", "Number"};
// The heap the import of a real phonebook may need at its peak, per byte of the file.
constexpr double kListHeapPerFileByte = 5.0;

// Names as a phonebook holds them: most fit a card's 16 characters, some have accents or are
// Chinese, a few are too long and get reported.
std::string nameOf(size_t i) {
    static const char *const first[] = {"Anna", "Bob", "Carla", "Dieter", "Eva", "Frank"};
    static const char *const last[] = {"Schmidt", "Meier", "Weber", "Wagner", "Becker"};
    switch (i % 20) {
    case 0:
        return "Jürgen Weiß " + std::to_string(i % 1000);
    case 1:
        return "张伟" + std::to_string(i % 1000);
    case 2:
        return "Dr. Alexander von Hohenberg " + std::to_string(i);
    default:
        return std::string(first[i % 6]) + " " + last[i % 5] + " " + std::to_string(i % 1000);
    }
}

// A temporary folder for the files, removed when the program ends.
class BenchFolder {
public:
    BenchFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "velnor-bench-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path &path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::filesystem::path benchFolder() {
    static const BenchFolder folder;
    return folder.path();
}

// The list file of `rows` rows, written once per size.
const std::string &phonebookFile(size_t rows) {
    static std::map<size_t, std::string> files;
    std::string &path = files[rows];
    if (path.empty()) {
        RowList list(kTitles);
        list.reserve(rows);
        for (size_t i = 0; i < rows; ++i) {
            list.appendRow(
                {std::to_string(i + 1), nameOf(i), "+49170" + std::to_string(1000000 + i)});
        }
        path = (benchFolder() / ("phonebook-" + std::to_string(rows) + ".fpb")).string();
        std::ofstream(path, std::ios::binary) << listFileText(list);
    }
    return path;
}

CardState standardCard() {
    CardState card;
    card.alphaLength = 16;
    return card;
}

// Imports the file once per iteration and returns the heap's peak in MiB; `rows`, when given, is
// the number of rows the import must give.
double importPeakMiB(benchmark::State &state, const std::string &path, std::optional<size_t> rows) {
    SilentPrompts prompts;
    NoTexts texts;
    const CardState card = standardCard();
    double peakMiB = 0;
    for (auto _ : state) {
        auto list = std::make_unique<RowList>(kTitles);
        ImportReport report;
        const bench::HeapPeak peak;
        const bool imported = ImportListFile(path, *list, card, report, prompts, texts);
        if (rows && (!imported || list->rowCount() != *rows)) {
            state.SkipWithError("import failed");
        }
        peakMiB = std::max(peakMiB, peak.mebibytes());
        // Letting the rows go is not part of the import. Their memory goes back to the system,
        // so that every iteration pays for fresh memory as the first import of a run does; the
        // allocator would otherwise keep a small list's memory for the next iteration, but not
        // a large one's, and the two sizes would not be measured alike.
        state.PauseTiming();
        list.reset();
        malloc_trim(0);
        state.ResumeTiming();
    }
    return peakMiB;
}

double fileMiB(const std::string &path) {
    return static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
}

void BM_ImportPhonebook(benchmark::State &state) {
    const size_t rows = static_cast<size_t>(state.range(0));
    const std::string &path = phonebookFile(rows);
    const double peakMiB = importPeakMiB(state, path, rows);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
    // The rows themselves, three short strings each, take about four times the file; the
    // import may need little more than that at its peak.
    bench::checkHeapBudget(state, peakMiB, kListHeapPerFileByte * fileMiB(path));
}

void BM_SavePhonebook(benchmark::State &state) {
    const std::string &source = phonebookFile(static_cast<size_t>(state.range(0)));
    SilentPrompts prompts;
    NoTexts texts;
    RowList list(kTitles);
    ImportReport report;
    ImportListFile(source, list, standardCard(), report, prompts, texts);
    const std::string target = (benchFolder() / "saved.fpb").string();
    for (auto _ : state) {
        if (!SaveListFile(target, list, prompts, texts)) {
            state.SkipWithError("save failed");
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(target)));
}

// Files that are nothing but the smallest cells, repeated: bare commas, empty quoted cells, and
// a legacy byte per cell that becomes three bytes of UTF-8. A file of 32 MiB reads in moments.
const char *const kPathologicalCells[] = {",", "\"\",", "\x80,"};
constexpr size_t kPathologicalSize = size_t{32} << 20;

const std::string &pathologicalFile(size_t kind) {
    static std::map<size_t, std::string> files;
    std::string &path = files[kind];
    if (path.empty()) {
        const std::string cell = kPathologicalCells[kind];
        std::string content;
        content.reserve(kPathologicalSize);
        while (content.size() + cell.size() <= kPathologicalSize) {
            content += cell;
        }
        path = (benchFolder() / ("pathological-" + std::to_string(kind) + ".fpb")).string();
        std::ofstream(path, std::ios::binary) << content;
    }
    return path;
}

void BM_ImportPathological(benchmark::State &state) {
    const std::string &path = pathologicalFile(static_cast<size_t>(state.range(0)));
    const double peakMiB = importPeakMiB(state, path, std::nullopt);
    // Whatever the file holds, the import keeps to its own rule.
    bench::checkHeapBudget(state, peakMiB,
                           static_cast<double>(kImportHeapPerFileByte) * fileMiB(path));
}

BENCHMARK(BM_ImportPhonebook)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePhonebook)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPhonebook)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SavePhonebook)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ImportPathological)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
} // namespace velnor
