#pragma once

// A folder in memory for the targets whose readers take a file: each input is written there
// and read back by the code under test.

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace velnor::fuzz {

inline const std::filesystem::path &scratchFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::filesystem::path made = base / ("velnor-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        return made;
    }();
    return folder;
}

// Empties the folder and writes the input to `name` in it; returns the file's path.
inline std::filesystem::path writeInput(const std::string &name, const uint8_t *data, size_t size) {
    for (const auto &entry : std::filesystem::directory_iterator(scratchFolder())) {
        std::filesystem::remove_all(entry.path());
    }
    const std::filesystem::path file = scratchFolder() / name;
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    return file;
}

} // namespace velnor::fuzz
