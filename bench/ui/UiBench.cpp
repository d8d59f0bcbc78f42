// The phonebook list with 10,000 rows: sorting by name (target: under 50 ms), scrolling a page
// with its repaint, and the resident memory of the whole window with such a list loaded
// (target: under 80 MB).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/AppPaths.h"
#include "app/CIniFile.h"
#include "app/CXMLSettings.h"
#include "app/PackTexts.h"
#include "card/CardWatcher.h"
#include "reader/SimulatedDriver.h"
#include "ui/CMainDlg.h"
#include "ui/QtPrompts.h"
#include "widgets/CSortListCtrl.h"

namespace velnor {
namespace {

class NoCardEvents : public CardEvents {
public:
    void cardGone() override {}
    void otherCard() override {}
    void pinWanted() override {}
};

constexpr size_t kRows = 10000;

// Names of the kinds a phonebook holds: Latin, accented, Cyrillic and Chinese, in no order.
void fillPhonebook(RowList &list, size_t rows) {
    static const char *const first[] = {"Anna", "Jürgen", "Иван", "张",    "Mike",
                                        "Zoë",  "Büro",   "王",   "Nikos", "Élodie"};
    static const char *const last[] = {"Weiß", "Petrov", "伟", "Smith", "Müller", "Dupont", "玉珍"};
    std::mt19937 random(7);
    RowList::Batch batch(list);
    list.reserve(rows);
    for (size_t i = 0; i < rows; ++i) {
        const std::string name = std::string(first[random() % 10]) + " " + last[random() % 7] +
                                 " " + std::to_string(random() % 1000);
        list.appendRow(
            {std::to_string(i + 1), name, "+49" + std::to_string(random() % 1000000000)});
    }
}

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

void BM_SortTenThousandNames(benchmark::State &state) {
    RowList rows({"No.", "Name", "Number"});
    fillPhonebook(rows, kRows);
    CSortListCtrl list(rows);
    list.resize(600, 500);
    list.show();
    QApplication::processEvents();
    bool ascending = true;
    for (auto _ : state) {
        list.Sort(1, ascending);
        ascending = !ascending;
        QApplication::processEvents();
    }
    state.counters["rows"] = static_cast<double>(rows.rowCount());
}
BENCHMARK(BM_SortTenThousandNames)->Unit(benchmark::kMillisecond);

void BM_ScrollAPageAndPaint(benchmark::State &state) {
    RowList rows({"No.", "Name", "Number"});
    fillPhonebook(rows, kRows);
    CSortListCtrl list(rows);
    list.resize(600, 500);
    list.show();
    QApplication::processEvents();
    QScrollBar *bar = list.verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        list.viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollAPageAndPaint)->Unit(benchmark::kMicrosecond);

void BM_WindowWithTenThousandRows(benchmark::State &state) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velnor-bench-ui";
    std::filesystem::create_directories(dir);
    AppPaths paths = AppPaths::forExecutableDir(
        dir, [&dir](const char *) { return std::optional(dir.string()); });
    paths.langDir = VELNOR_PACK_DIR;
    CXMLSettings settings;
    settings.SetSettingsFile((dir / "velnor.config.xml").string());
    CIniFile ini(dir);
    ini.SetFile("velnor.cfg");
    PackTexts texts;
    texts.load(paths.langDir / "lang_en.so");
    QtPrompts prompts(texts);
    SimulatedDriver driver; // no reader: the window opens without reading a card
    NoCardEvents events;
    const Timing timing = Timing::none();
    CardWatcher watcher(driver, events, timing); // never started: there is no card to watch
    const MainServices services{paths, settings, ini, texts, prompts, driver, watcher, timing};
    long resident = 0;
    for (auto _ : state) {
        CMainDlg window(services);
        window.OnInitDialog();
        fillPhonebook(window.session().localPhonebook, kRows);
        window.session().localPhonebook.selectOnly(kRows / 2);
        QApplication::processEvents();
        window.phonebookPage()->localList()->scrollToBottom();
        window.repaint();
        QApplication::processEvents();
        resident = residentKilobytes();
    }
    state.counters["resident_MB"] = static_cast<double>(resident) / 1024.0;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WindowWithTenThousandRows)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace velnor

int main(int argc, char **argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
