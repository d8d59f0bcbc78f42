// Start-up up to the point where the main window is shown: settings and INI files, language
// choice among four packs, pack load, language keys, lock, and the main window's settings pass.
// Every settings change is saved and flushed to the disk, so the figure includes those writes.
// Target: under 20 ms.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/ConfigKeys.h"
#include "app/SettingsPass.h"
#include "app/StartUp.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;

class SilentPrompts : public UserPrompts {
public:
    bool askYesNo(const Prompt &) override { return false; }
    void showMessage(MessageKind, const Prompt &) override { ++messages; }
    std::optional<std::string> chooseOpenFile(const FileChoice &) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileChoice &) override { return {}; }
    std::optional<CodeAnswer> askCodes(const CodeRequest &) override { return {}; }
    int messages = 0;
};

// A portable install in a temporary folder with the packs of the build tree.
class Installation {
public:
    Installation() {
        std::string pattern = (fs::temp_directory_path() / "velnor-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            root_ = pattern;
        }
        paths_ = AppPaths::forExecutableDir(
            root_, [this](const char *) { return std::optional(root_.string()); });
        fs::create_directories(paths_.langDir);
        const fs::path built = executableDirectory() / "lang";
        for (const char *code : {"de", "en", "fr", "zh"}) {
            const std::string name = std::string("lang_") + code + ".so";
            std::error_code error;
            fs::copy_file(built / name, paths_.langDir / name, error);
            complete_ = complete_ && !error;
        }
        std::ofstream(paths_.resourceDir / config::kIniFileName)
            << "[Language]\nLangID=1036\nName=Fran\xC3\xA7"
               "ais\n"
            << "[Customization]\nAppName=Velnor\nCompanyName=Kelvara\n";
    }
    ~Installation() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    const AppPaths &paths() const { return paths_; }
    bool complete() const { return complete_ && !root_.empty(); }

private:
    fs::path root_;
    AppPaths paths_;
    bool complete_ = true;
};

void startOnce(benchmark::State &state, const AppPaths &paths) {
    SilentPrompts prompts;
    AppSession session(paths);
    if (StartUp(session, prompts) != StartUpResult::ShowMainWindow) {
        state.SkipWithError("start-up did not reach the main window");
        return;
    }
    benchmark::DoNotOptimize(LoadSettings(session.settings, session.ini));
}

void BM_StartUpLaterRun(benchmark::State &state) {
    const Installation installation;
    if (!installation.complete()) {
        state.SkipWithError("the language packs of the build tree are missing");
        return;
    }
    for (auto _ : state) {
        startOnce(state, installation.paths());
    }
}
BENCHMARK(BM_StartUpLaterRun)->Unit(benchmark::kMillisecond);

void BM_StartUpFirstRun(benchmark::State &state) {
    const Installation installation;
    if (!installation.complete()) {
        state.SkipWithError("the language packs of the build tree are missing");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(installation.paths().settingsFile());
        state.ResumeTiming();
        startOnce(state, installation.paths());
    }
}
BENCHMARK(BM_StartUpFirstRun)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velnor
