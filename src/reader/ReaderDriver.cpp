#include "reader/ReaderDriver.h"

#include "reader/PcscDriver.h"
#include "reader/SimulatedDriver.h"

namespace velnor {

std::unique_ptr<ApduDriver> makeReaderDriver(const ReaderName &name) {
    if (name.simulated()) {
        return std::make_unique<SimulatedDriver>(name.devicePath());
    }
    return std::make_unique<PcscDriver>(name.devicePath());
}

} // namespace velnor
