#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

// The reader a user names with --reader, read once where the command line is read: the card
// profile of a built-in virtual card ("sim:PATH"), a PC/SC reader by its name, or no name at
// all, which lets the driver search the readers of the system.
class ReaderName {
public:
    ReaderName() = default;
    // A profile named relative to the current folder is kept with its full path, so that a
    // backup taken from its card finds the card again from any folder.
    explicit ReaderName(const std::string &name);

    // Whether a device path names a virtual card: "sim:" and a profile path.
    static bool isSimulated(std::string_view devicePath);
    // The profile path of a virtual card's device path.
    static std::string profilePath(std::string_view devicePath);

    bool search() const { return !name_; }
    bool simulated() const { return name_ && isSimulated(*name_); }
    // The device path the user named, nullopt for the search.
    const std::optional<std::string> &devicePath() const { return name_; }

private:
    std::optional<std::string> name_;
};

// Takes "--reader NAME" or "--reader=NAME" at args[i] into `reader` and moves i to its last
// word. False when args[i] is another argument; true with a sentence in `error` when the name
// is missing or empty.
bool takeReaderOption(const std::vector<std::string> &args, size_t &i, ReaderName &reader,
                      std::string &error);

} // namespace velnor
