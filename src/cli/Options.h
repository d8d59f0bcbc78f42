#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "reader/ReaderName.h"

namespace velnor::cli {

// Exit statuses of velnor-cli.
enum Exit { Done = 0, Refused = 1, Usage = 2, NoCard = 3 };

// The command line: global flags, the command words, and the command's own options.
struct Options {
    ReaderName reader;
    std::optional<std::string> pin;
    std::optional<std::string> pinFile; // "-" for standard input
    std::optional<bool> answer;         // --yes / --no; unset answers "no"
    bool json = false;
    bool verbose = false;
    std::vector<std::string> words;            // command words and plain arguments, in order
    std::map<std::string, std::string> values; // "-o" -> FILE, "--to" -> NUMBER, ...
    std::vector<std::string> flags;            // "--sent", "--cdma", ...

    bool has(const std::string &flag) const;
    std::optional<std::string> value(const std::string &name) const;
};

// Parses argv; on a usage error returns nullopt and says why in `error`.
std::optional<Options> parseOptions(const std::vector<std::string> &args, std::string &error);

// Takes the PIN from --pin-file (its first line) or, when neither --pin nor --pin-file is
// given, from the environment's VELNOR_PIN (`environment`, null when unset). Neither shows
// the code in the process list as --pin does. False with a sentence in `error` when the file
// cannot be read.
bool readPin(Options &options, std::istream &standardInput, const char *environment,
             std::string &error);

extern const char *const kUsage;

} // namespace velnor::cli
