#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reader/ReaderName.h"

namespace velnor {

// The command line of the window program: velnor [--reader NAME].
struct WindowOptions {
    ReaderName reader;
};

// The options, or nullopt with a sentence in error.
std::optional<WindowOptions> parseWindowOptions(const std::vector<std::string> &args,
                                                std::string &error);

inline constexpr const char *kWindowUsage = "usage: velnor [--reader NAME] | --version\n"
                                            "  NAME  a PC/SC reader name, or sim:PATH for a card "
                                            "profile file\n";

// The application object: prepares the platform, runs the start-up (settings, language pack,
// single instance), then the main window until it closes. Returns the exit status.
class CEditorApp {
public:
    CEditorApp(int &argc, char **argv);
    int InitInstance(const WindowOptions &options);

private:
    int &argc_;
    char **argv_;
};

} // namespace velnor
