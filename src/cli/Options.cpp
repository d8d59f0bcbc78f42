#include "cli/Options.h"

#include <algorithm>
#include <fstream>
#include <istream>
#include <set>

namespace velnor::cli {

const char *const kUsage =
    "usage: velnor-cli [--reader NAME] [--pin-file FILE | --pin CODE] [--yes | --no] [--json]\n"
    "                  [-v] COMMAND\n"
    "       velnor-cli --help | --version\n"
    "  The PIN is the first line of FILE (- for standard input), or CODE; without either it is\n"
    "  taken from the environment variable VELNOR_PIN. Prefer the file or the variable: every\n"
    "  user of the computer can see a --pin CODE in the list of processes.\n"
    "  readers                                one line per reader: NAME, a tab, card or empty\n"
    "  info                                   the card's identity, PIN state and files\n"
    "  read phonebook|messages [-o FILE]      read the card into a list file (stdout without -o)\n"
    "  write phonebook|messages -i FILE [--encoding NAME]\n"
    "                                         import FILE into an empty list, then write the card\n"
    "  list import phonebook|messages FILE... [-o FILE] [--encoding NAME]\n"
    "                                         import list files into one list and save it;\n"
    "                                         a phonebook also reads vCard (2.1, 3.0, 4.0) and\n"
    "                                         CSV files, told by their content, and -o FILE.vcf\n"
    "                                         or -o FILE.csv writes vCard 3.0 or CSV (as does\n"
    "                                         read phonebook -o); --encoding names their code\n"
    "                                         page (windows-1251, Shift_JIS, UTF-16LE, ...) when\n"
    "                                         detection is unsure\n"
    "  restore BACKUP [--force]               write a card backup back to its card (by default\n"
    "                                         in the reader the backup was taken from); --force\n"
    "                                         writes it where no ICCID or IMSI can tell the card\n"
    "  decode pdu HEX [--sent] [--cdma]       decode a stored message after its status byte\n"
    "  decode adn HEX                         decode one phonebook record\n"
    "  encode pdu --to NUMBER [--smsc NUMBER] [--cdma] TEXT\n"
    "                                         the stored record image after the status byte\n"
    "  card demo [--cdma] [FILE]              write the demo card profile (stdout without FILE)\n"
    "  card demo --usim | --usim-only [FILE]  the same as a UICC with a USIM phonebook; the "
    "second\n"
    "                                         refuses the GSM commands of class A0\n"
    "  pin verify CODE | enable CODE | disable CODE | change OLD NEW | unblock UNBLOCKCODE NEW\n"
    "                                         the PIN operations, each offered to the card once;\n"
    "                                         a code given as - is a line of standard input\n"
    "  card serve FILE [--host H] [--port P]  be the card of pcscd's vpcd reader until stopped\n";

namespace {

// Options that take a value, and flags that do not.
const std::set<std::string> kValued = {"-o",     "-i",     "--to",      "--smsc",
                                       "--host", "--port", "--encoding"};
const std::set<std::string> kFlags = {"--sent", "--cdma", "--force", "--usim", "--usim-only"};

std::string firstLine(std::istream &in) {
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace

bool Options::has(const std::string &flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::optional<std::string> Options::value(const std::string &name) const {
    const auto found = values.find(name);
    if (found == values.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<Options> parseOptions(const std::vector<std::string> &args, std::string &error) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const bool hasNext = i + 1 < args.size();
        if (takeReaderOption(args, i, options.reader, error)) {
            if (!error.empty()) {
                return std::nullopt;
            }
        } else if (arg == "--pin" || arg == "--pin-file") {
            if (!hasNext) {
                error = arg + " needs a value.";
                return std::nullopt;
            }
            (arg == "--pin" ? options.pin : options.pinFile) = args[++i];
        } else if (arg == "--yes" || arg == "--no") {
            if (options.answer && *options.answer != (arg == "--yes")) {
                error = "--yes and --no cannot be given together.";
                return std::nullopt;
            }
            options.answer = arg == "--yes";
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "-v" || arg == "--verbose") {
            options.verbose = true;
        } else if (kValued.count(arg) != 0) {
            if (!hasNext) {
                error = arg + " needs a value.";
                return std::nullopt;
            }
            options.values[arg] = args[++i];
        } else if (kFlags.count(arg) != 0) {
            options.flags.push_back(arg);
        } else if (arg == "--") {
            options.words.insert(options.words.end(), args.begin() + static_cast<long>(i) + 1,
                                 args.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "Unknown option " + arg + ".";
            return std::nullopt;
        } else {
            options.words.push_back(arg);
        }
    }
    if (options.pin && options.pinFile) {
        error = "--pin and --pin-file cannot be given together.";
        return std::nullopt;
    }
    if (options.words.empty()) {
        error = "No command given.";
        return std::nullopt;
    }
    return options;
}

bool readPin(Options &options, std::istream &standardInput, const char *environment,
             std::string &error) {
    if (options.pinFile == "-") {
        options.pin = firstLine(standardInput);
    } else if (options.pinFile) {
        std::ifstream file(*options.pinFile);
        if (!file) {
            error = "The PIN file " + *options.pinFile + " cannot be read.";
            return false;
        }
        options.pin = firstLine(file);
    } else if (!options.pin && environment != nullptr && *environment != '\0') {
        options.pin = environment;
    }
    // The codes of "pin" given as "-" come from standard input, one line each, so that no list
    // of processes shows them.
    const std::vector<std::string> &words = options.words;
    if (!words.empty() && words[0] == "pin") {
        for (size_t i = 2; i < words.size(); ++i) {
            if (words[i] == "-") {
                options.words[i] = firstLine(standardInput);
            }
        }
    }
    return true;
}

} // namespace velnor::cli
