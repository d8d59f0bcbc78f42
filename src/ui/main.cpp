#include <iostream>

#include "base/Version.h"
#include "ui/CEditorApp.h"

int main(int argc, char **argv) {
    using namespace velnor;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kWindowUsage;
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "velnor " << kVersion << '\n';
        return 0;
    }
    std::string error;
    const std::optional<WindowOptions> options = parseWindowOptions(args, error);
    if (!options) {
        std::cerr << "velnor: " << error << '\n' << kWindowUsage;
        return 2;
    }
    CEditorApp app(argc, argv);
    return app.InitInstance(*options);
}
