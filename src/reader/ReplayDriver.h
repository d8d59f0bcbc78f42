#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "reader/ApduDriver.h"

namespace velnor {

// A reader that answers from a recording: command/answer pairs in the order they were
// exchanged, as a trace shows them. Each command sent takes the next pair. A pair names its
// command as describeExchange shows it, so a recorded PIN command matches whatever code is
// sent; a pair without a command answers any. A command the recording does not expect, or one
// past its end, gets no answer. Handles are counted, not kept: every open gives the next one.
class ReplayDriver : public ApduDriver {
public:
    using Bytes = std::vector<uint8_t>;
    struct Exchange {
        std::string command;         // as describeExchange shows it; empty answers any command
        std::optional<Bytes> answer; // response data then SW1 SW2; nullopt for no answer
    };

    // The answer to reset of the card in the reader, none for an empty reader.
    explicit ReplayDriver(std::vector<Exchange> exchanges = {},
                          std::optional<Bytes> answerToReset = Bytes{0x3B, 0x00});

    // The pairs of a trace, one a line: "A0 A4 00 00 02 3F 00 -> 9F 16" or "... -> no answer".
    // Blank lines are skipped; nullopt with a sentence in error for any other line.
    static std::optional<std::vector<Exchange>> parseTrace(const std::string &text,
                                                           std::string &error);

    // Pairs not yet used, and how many opens the driver had.
    size_t remaining() const;
    int opens() const;

    std::vector<ReaderEntry> ListReaders() override;
    std::optional<std::string> FindDeviceEntry() override;
    int OpenRX730X(const std::string &devicePath) override;
    void CloseHandle(int handle) override;
    // simInquiryBlock, as a PC/SC reader gives.
    std::optional<std::vector<uint8_t>> SIM_InquiryFunctions(int handle) override;

    static constexpr const char *DevicePath = "replay";

protected:
    std::optional<Bytes> transmit(int handle, const Bytes &command) override;
    std::optional<Bytes> answerToReset(int handle) override;

private:
    mutable std::mutex mutex_;
    std::deque<Exchange> exchanges_;
    std::optional<Bytes> answerToReset_;
    int opens_ = 0;
};

} // namespace velnor
