#include "reader/SimulatedDriver.h"

#include <atomic>

namespace velnor {

namespace {

// Handles are unique across the driver objects of the process, so a handle of one driver
// never works on another.
std::atomic<int> nextHandle{1};

} // namespace

SimulatedDriver::SimulatedDriver(std::optional<std::string> devicePath)
    : devicePath_(std::move(devicePath)) {}

std::vector<ReaderEntry> SimulatedDriver::ListReaders() {
    if (!devicePath_) {
        return {};
    }
    std::string error;
    const auto card = SimulatedCards::instance().cardFor(*devicePath_, error);
    const bool present =
        card && card->withCard([](VirtualSim &sim) { return !sim.quirks().pulled; });
    return {ReaderEntry{*devicePath_, present}};
}

std::optional<std::string> SimulatedDriver::FindDeviceEntry() {
    return devicePath_;
}

int SimulatedDriver::OpenRX730X(const std::string &devicePath) {
    std::string error;
    auto card = SimulatedCards::instance().cardFor(devicePath, error);
    if (!card) {
        setLastError(error);
        return -1;
    }
    const int handle = nextHandle++;
    std::lock_guard lock(mutex_);
    handles_[handle] = {devicePath, std::move(card)};
    return handle;
}

void SimulatedDriver::CloseHandle(int handle) {
    std::lock_guard lock(mutex_);
    handles_.erase(handle);
}

std::optional<SimulatedDriver::Connection> SimulatedDriver::connection(int handle) const {
    std::lock_guard lock(mutex_);
    const auto found = handles_.find(handle);
    if (found == handles_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::shared_ptr<SimHost> SimulatedDriver::cardOf(int handle) const {
    const auto open = connection(handle);
    return open ? open->card : nullptr;
}

std::shared_ptr<SimHost> SimulatedDriver::cardOrError(int handle) {
    const auto open = connection(handle);
    if (!open) {
        setLastError("Handle " + std::to_string(handle) + " is not open.");
        return nullptr;
    }
    if (SimulatedCards::instance().find(open->devicePath) != open->card) {
        setLastError("The card was taken out of the reader " + open->devicePath + ".");
        return nullptr;
    }
    return open->card;
}

std::optional<std::vector<uint8_t>> SimulatedDriver::SIM_InquiryFunctions(int handle) {
    if (!connection(handle)) {
        setLastError("Handle " + std::to_string(handle) + " is not open.");
        return std::nullopt;
    }
    return simInquiryBlock();
}

std::optional<std::vector<uint8_t>> SimulatedDriver::transmit(int handle,
                                                              const std::vector<uint8_t> &command) {
    const auto card = cardOrError(handle);
    if (!card) {
        return std::nullopt;
    }
    auto response = card->transmit(command);
    if (!response) {
        setLastError("The card does not answer.");
    } else if (response->size() >= 2 && response->end()[-2] == 0x92 && response->back() == 0x40) {
        setAnswerDetail(card->lastSaveError()); // a change the profile file could not keep
    }
    return response;
}

std::optional<std::vector<uint8_t>> SimulatedDriver::answerToReset(int handle) {
    const auto open = connection(handle);
    if (!open) {
        setLastError("Handle " + std::to_string(handle) + " is not open.");
        return std::nullopt;
    }
    // Connects the handle to the card in the reader now.
    std::string error;
    const auto card = SimulatedCards::instance().cardFor(open->devicePath, error);
    if (!card) {
        setLastError(error);
        return std::nullopt;
    }
    {
        std::lock_guard lock(mutex_);
        if (const auto found = handles_.find(handle); found != handles_.end()) {
            found->second.card = card;
        }
    }
    auto atr = card->answerToReset();
    if (!atr) {
        setLastError("There is no card in the reader.");
    }
    return atr;
}

} // namespace velnor
