#include <cstdlib>
#include <iostream>

#include "app/AppPaths.h"
#include "app/PackTexts.h"
#include "base/Version.h"
#include "cli/Commands.h"
#include "cli/DriverFactory.h"

int main(int argc, char **argv) {
    using namespace velnor;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << cli::kUsage;
        return cli::Done;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "velnor-cli " << kVersion << '\n';
        return cli::Done;
    }
    std::string error;
    std::optional<cli::Options> options = cli::parseOptions(args, error);
    if (!options) {
        std::cerr << "velnor-cli: " << error << '\n' << cli::kUsage;
        return cli::Usage;
    }
    if (!cli::readPin(*options, std::cin, std::getenv("VELNOR_PIN"), error)) {
        std::cerr << "velnor-cli: " << error << '\n';
        return cli::Refused;
    }
    const AppPaths paths = AppPaths::forRunningProgram();
    const BuiltinEnglishTexts texts;
    cli::Context context{*options,
                         std::cout,
                         std::cerr,
                         texts,
                         [&] { return cli::makeDriver(*options); },
                         paths.dataDir,
                         std::filesystem::current_path()};
    return cli::runCommand(context);
}
