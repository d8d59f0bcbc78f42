#include "app/DamagedFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velnor {

namespace fs = std::filesystem;

std::optional<fs::path> moveAsideAsBad(const fs::path &file, std::string &error) {
    constexpr int kMaxKept = 1000;
    for (int number = 0; number < kMaxKept; ++number) {
        fs::path candidate = file;
        candidate += number == 0 ? ".bad" : ".bad." + std::to_string(number);
        std::error_code probe;
        if (fs::exists(fs::symlink_status(candidate, probe))) {
            continue;
        }
        if (std::rename(file.c_str(), candidate.c_str()) != 0) {
            error = "cannot rename " + file.string() + ": " + std::strerror(errno);
            return std::nullopt;
        }
        return candidate;
    }
    error = std::to_string(kMaxKept) + " damaged copies of " + file.string() + " are kept already";
    return std::nullopt;
}

} // namespace velnor
