#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "reader/ApduDriver.h"
#include "reader/SimulatedCards.h"

namespace velnor {

// The driver of the built-in virtual card: device paths "sim:PATH", PATH a card profile file.
// Each open gives a new handle; the handles of one path share its card (SimulatedCards). A
// handle keeps to the card it was opened on, as a reader connection does: once another card
// takes its place (or the card is taken out), its commands fail until the answer to reset is
// asked for, which connects it to the card now in the reader.
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

    // The card an open handle is connected to, nullptr for an unknown one.
    std::shared_ptr<SimHost> cardOf(int handle) const;

protected:
    std::optional<std::vector<uint8_t>> transmit(int handle,
                                                 const std::vector<uint8_t> &command) override;
    std::optional<std::vector<uint8_t>> answerToReset(int handle) override;

private:
    struct Connection {
        std::string devicePath;
        std::shared_ptr<SimHost> card;
    };

    std::optional<Connection> connection(int handle) const;
    // The card of a handle while it is still the one in the reader, or nullptr after saying
    // why in lastError.
    std::shared_ptr<SimHost> cardOrError(int handle);

    std::optional<std::string> devicePath_;
    mutable std::mutex mutex_;
    std::map<int, Connection> handles_;
};

} // namespace velnor
