#include "cli/DriverFactory.h"

#include <iostream>

#include "reader/ReaderDriver.h"

namespace velnor::cli {

std::unique_ptr<CUSBOpKrnl> makeDriver(const Options &options) {
    std::unique_ptr<ApduDriver> driver = makeReaderDriver(options.reader);
    if (options.verbose) {
        // Every command and answer, and for a command that got none, why.
        const ApduDriver *traced = driver.get();
        driver->setTrace([traced](int, const std::string &exchange, bool answered) {
            std::cerr << "velnor-cli: card: " << exchange;
            if (!answered) {
                std::cerr << " (" << traced->lastError() << ")";
            }
            std::cerr << '\n';
        });
    }
    return driver;
}

} // namespace velnor::cli
