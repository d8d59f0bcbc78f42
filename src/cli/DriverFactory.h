#pragma once

#include <memory>

#include "cli/Options.h"
#include "reader/CUSBOpKrnl.h"

namespace velnor::cli {

// The driver for the command line, as makeReaderDriver gives it for --reader. With -v every
// card command and its answer go to the error stream, with the reason of every command that got
// none.
std::unique_ptr<CUSBOpKrnl> makeDriver(const Options &options);

} // namespace velnor::cli
