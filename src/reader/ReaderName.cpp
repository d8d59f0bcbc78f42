#include "reader/ReaderName.h"

#include <filesystem>
#include <system_error>

namespace velnor {

namespace {

constexpr std::string_view SimulatedPrefix = "sim:";
constexpr std::string_view ReaderOption = "--reader";

} // namespace

ReaderName::ReaderName(const std::string &name) : name_(name) {
    if (simulated()) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(profilePath(name), error);
        if (!error) {
            name_ = std::string(SimulatedPrefix) + absolute.string();
        }
    }
}

bool ReaderName::isSimulated(std::string_view devicePath) {
    return devicePath.size() > SimulatedPrefix.size() && devicePath.starts_with(SimulatedPrefix);
}

std::string ReaderName::profilePath(std::string_view devicePath) {
    return std::string(devicePath.substr(SimulatedPrefix.size()));
}

bool takeReaderOption(const std::vector<std::string> &args, size_t &i, ReaderName &reader,
                      std::string &error) {
    const std::string &arg = args[i];
    std::string name;
    if (arg == ReaderOption) {
        if (i + 1 < args.size()) {
            name = args[++i];
        }
    } else if (arg.starts_with(std::string(ReaderOption) + "=")) {
        name = arg.substr(ReaderOption.size() + 1);
    } else {
        return false;
    }
    if (name.empty()) {
        error = "--reader needs a reader name.";
    } else {
        reader = ReaderName(name);
    }
    return true;
}

} // namespace velnor
