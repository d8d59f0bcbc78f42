#include "cli/DriverFactory.h"

#include "card/SimulatedDriver.h"

namespace velnor::cli {

std::unique_ptr<CUSBOpKrnl> makeDriver(const Options &options) {
    return std::make_unique<SimulatedDriver>(options.reader);
}

} // namespace velnor::cli
