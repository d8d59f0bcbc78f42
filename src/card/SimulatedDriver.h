#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "card/ApduDriver.h"
#include "card/SimulatedCards.h"

namespace velnor {

// The driver of the built-in virtual card: device paths "sim:PATH", PATH a card profile file.
// Each open gives a new handle; the handles of one path share its card (SimulatedCards).
class SimulatedDriver : public ApduDriver {
public:
    // The reader FindDeviceEntry reports; none when nullopt.
    explicit SimulatedDriver(std::optional<std::string> devicePath = std::nullopt);

    // The configured reader, with a card when its profile can be read and the card is not pulled.
    std::vector<ReaderEntry> ListReaders() override;
    std::optional<std::string> FindDeviceEntry() override;
    int OpenRX730X(const std::string &devicePath) override;
    void CloseHandle(int handle) override;
    // Version byte 0xB0, version value 0x0208, one function "SIM ".
    std::optional<std::vector<uint8_t>> SIM_InquiryFunctions(int handle) override;

    // The card behind an open handle, nullptr for an unknown one.
    std::shared_ptr<SimHost> cardOf(int handle) const;

protected:
    std::optional<std::vector<uint8_t>> transmit(int handle,
                                                 const std::vector<uint8_t> &command) override;
    std::optional<std::vector<uint8_t>> answerToReset(int handle) override;

private:
    // The card of a handle, or nullptr after saying why in lastError.
    std::shared_ptr<SimHost> cardOrError(int handle);

    std::optional<std::string> devicePath_;
    mutable std::mutex mutex_;
    std::map<int, std::shared_ptr<SimHost>> handles_;
};

} // namespace velnor
