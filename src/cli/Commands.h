#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>

#include "base/Texts.h"
#include "base/UserPrompts.h"
#include "cli/Options.h"
#include "codec/CodePages.h"
#include "files/ListImport.h"
#include "reader/CUSBOpKrnl.h"
#include "reader/ReaderInquiry.h"
#include "records/RowList.h"
#include "virtualcard/ProfileJson.h"

namespace velnor::cli {

// What a command runs with: its options, the streams, the texts and a way to get the driver.
struct Context {
    const Options &options;
    std::ostream &out;
    std::ostream &err;
    const Texts &texts;
    // The driver for --reader, or the reader search.
    std::function<std::unique_ptr<CUSBOpKrnl>()> makeDriver;
    std::filesystem::path dataDir; // where the backups go
    std::filesystem::path logDir;  // where the logs go
};

// Runs the command named by the options' words; returns the exit status.
int runCommand(Context &context);

int runReaders(Context &context);
int runInfo(Context &context);
int runRead(Context &context);
int runDecode(Context &context);
int runEncode(Context &context);
int runCardDemo(Context &context);
int runWrite(Context &context);
int runListImport(Context &context);
int runRestore(Context &context);
int runPin(Context &context);
int runCardServe(Context &context);

// The reader of a card command (--reader, else the reader search) and what it says it can do,
// or nullopt after saying why on the error stream (no reader,
// pcscd not running, a reader that does not answer), with the exit status in `status`.
std::optional<ReaderChoice> chooseReader(Context &context, CUSBOpKrnl &driver, int &status);

// The exit status for a card profile that gave no card: an empty or busy reader, or a refusal.
int exitFor(ProfileFault fault);

// One line on the error stream and the status to exit with.
int fail(Context &context, int status, const std::string &sentence);

// The code page named with --encoding, nullptr without it; nullopt after saying that the name
// is none the tool knows (a usage error).
std::optional<const CodePage *> namedCodePage(Context &context);

// Says on the error stream which code page the import of `file` had to guess, if any.
void reportGuessedCodePage(Context &context, const std::string &file, const ImportReport &report);
// Names on the error stream the contacts of `file` that had no number to import, if any.
void reportContactsWithoutNumber(Context &context, const std::string &file,
                                 const ImportReport &report);
// Writes a complete list where -o says: the standard output for "-" or no -o, else the file (a
// pipe or a device is written into). With askFirst, a file already there is replaced only
// when the user says yes (--yes). A phonebook file is written in the format its extension
// names (.vcf vCard, .csv CSV, any other the list file).
int writeListOutput(Context &context, const RowList &list, UserPrompts &prompts, bool askFirst,
                    bool phonebook);

} // namespace velnor::cli
