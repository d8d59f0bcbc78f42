// The real window program from launch: until its window first paints (target: under 400 ms),
// until both lists of the demo card are read and the take-over question shows (target: under
// 1 s; through pcscd under 1.5 s), and a read started from the toolbar until its question. The
// program runs as a user starts it, with a probe preloaded that notes those moments and answers
// the questions. Through pcscd it reads the reader named by VELNOR_BENCH_READER
// (scripts/bench-launch serves the demo card in a vpcd reader and sets it).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// The moments the probe wrote, as milliseconds after the launch; empty when the program did not
// get as far within 30 seconds.
std::map<std::string, double> launchOnce(const std::string &reader, const fs::path &home) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return {};
    }
    std::vector<std::string> environment = {
        "HOME=" + home.string(),
        "XDG_DATA_HOME=" + (home / "data").string(),
        "XDG_CONFIG_HOME=" + (home / "config").string(),
        "XDG_RUNTIME_DIR=" + (home / "run").string(),
        "LD_PRELOAD=" VELNOR_LAUNCH_PROBE,
        "VELNOR_PROBE_FD=" + std::to_string(pipeEnds[1]),
    };
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "XAUTHORITY", "PATH", "LANG"}) {
        if (const char *value = std::getenv(name)) {
            environment.push_back(std::string(name) + "=" + value);
        }
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr) {
        environment.push_back("QT_QPA_PLATFORM=offscreen");
    }
    std::vector<char *> envp;
    for (std::string &entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string program = VELNOR_WINDOW;
    std::string option = "--reader";
    std::string name = reader;
    char *argv[] = {program.data(), option.data(), name.data(), nullptr};

    posix_spawn_file_actions_t quiet; // the platform plugin's chatter is not the benchmark's
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const long long launched = monotonicNanoseconds();
    pid_t child = -1;
    const bool spawned = posix_spawn(&child, argv[0], &quiet, nullptr, argv, envp.data()) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    close(pipeEnds[1]);
    std::map<std::string, double> moments;
    std::string pending;
    while (spawned && moments.count("toolbar-read-end") == 0) {
        pollfd waiting{pipeEnds[0], POLLIN, 0};
        char buffer[256];
        if (poll(&waiting, 1, 30000) != 1) {
            break;
        }
        const ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        pending.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;
             pending.erase(0, end + 1)) {
            std::istringstream line(pending.substr(0, end));
            std::string what;
            long long at = 0;
            line >> what >> at;
            moments[what] = static_cast<double>(at - launched) / 1e6;
        }
    }
    close(pipeEnds[0]);
    if (spawned) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return moments;
}

void launch(benchmark::State &state, const std::string &reader) {
    const fs::path home =
        fs::temp_directory_path() / ("velnor-bench-launch-" + std::to_string(getpid()));
    std::map<std::string, double> sum;
    for (auto _ : state) {
        fs::remove_all(home);
        fs::create_directories(home / "run");
        fs::permissions(home / "run", fs::perms::owner_all);
        const std::map<std::string, double> moments = launchOnce(reader, home);
        if (moments.count("toolbar-read-end") == 0) {
            state.SkipWithError("the window did not read the card and ask its question in time");
            break;
        }
        for (const auto &[what, ms] : moments) {
            sum[what] += ms;
        }
    }
    fs::remove_all(home);
    const double runs = static_cast<double>(state.iterations());
    if (runs > 0 && sum.count("toolbar-read-end") != 0) {
        state.counters["shown_ms"] = sum["shown"] / runs;
        state.counters["lists_ms"] = sum["lists"] / runs;
        state.counters["toolbar_read_ms"] =
            (sum["toolbar-read-end"] - sum["toolbar-read-start"]) / runs;
    }
}

void BM_LaunchOnDemoCard(benchmark::State &state) {
    const fs::path card = fs::temp_directory_path() / "velnor-bench-launch-card.json";
    const std::string make =
        std::string(VELNOR_CLI) + " card demo " + card.string() + " >/dev/null";
    if (!fs::exists(card) && std::system(make.c_str()) != 0) {
        state.SkipWithError("velnor-cli could not write the demo card");
        return;
    }
    launch(state, "sim:" + card.string());
}
BENCHMARK(BM_LaunchOnDemoCard)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LaunchThroughPcscd(benchmark::State &state) {
    const char *reader = std::getenv("VELNOR_BENCH_READER");
    if (reader == nullptr) {
        state.SkipWithError("VELNOR_BENCH_READER names no reader (scripts/bench-launch sets it)");
        return;
    }
    launch(state, reader);
}
BENCHMARK(BM_LaunchThroughPcscd)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
