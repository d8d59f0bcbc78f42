#pragma once

#include <memory>

#include "reader/ApduDriver.h"
#include "reader/ReaderName.h"

namespace velnor {

// The driver for a reader name: the built-in virtual card for "sim:PATH", otherwise the PC/SC
// readers of the system, the named one first when there is a name.
std::unique_ptr<ApduDriver> makeReaderDriver(const ReaderName &name);

} // namespace velnor
