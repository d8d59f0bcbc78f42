#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "reader/ApduDriver.h"

namespace velnor {

// The driver of real readers: any PC/SC reader through pcsc-lite. The device path is the
// reader's name. Every open is a connection of its own (shared mode, T=0 or T=1) on a context
// of its own, so the window thread, the card watcher and the reader watch never wait on one
// another inside pcsc-lite. An open succeeds on a reader without a card; the card is connected
// when it answers, and asking for the answer to reset connects again after the card was taken
// out, put back or reset by another program. A handle is used by one thread at a time.
class PcscDriver : public ApduDriver {
public:
    // The reader named by the configuration or --reader, when there is one.
    explicit PcscDriver(std::optional<std::string> preferredReader = std::nullopt);
    ~PcscDriver() override;
    PcscDriver(const PcscDriver &) = delete;
    PcscDriver &operator=(const PcscDriver &) = delete;

    // The readers pcscd knows; empty, with the reason in lastError (no reader, or pcscd not
    // running), when there is none.
    std::vector<ReaderEntry> ListReaders() override;
    // The preferred reader when it is attached; otherwise the first reader holding a card,
    // otherwise the first reader; nullopt when there is none.
    std::optional<std::string> FindDeviceEntry() override;
    std::unique_ptr<ReaderSource> WatchReaders() override;
    bool serviceMissing() const override { return serviceMissing_; }

    int OpenRX730X(const std::string &devicePath) override;
    void CloseHandle(int handle) override;
    // Version byte 0xB0, version value 0x0208 and one function "SIM ": every PC/SC reader
    // speaks to GSM and CDMA cards alike.
    std::optional<std::vector<uint8_t>> SIM_InquiryFunctions(int handle) override;

    bool BeginTransaction(int handle) override;
    void EndTransaction(int handle) override;

protected:
    std::optional<std::vector<uint8_t>> transmit(int handle,
                                                 const std::vector<uint8_t> &command) override;
    std::optional<std::vector<uint8_t>> answerToReset(int handle) override;

private:
    struct Connection;

    std::shared_ptr<Connection> find(int handle);
    // Connects the card of a connection; false after saying why.
    bool connectCard(Connection &connection);
    // Lets go of the card after an error that took it (or pcscd) away.
    void dropAfter(Connection &connection, long status);
    void report(const Connection &connection, const std::string &what, long status);

    std::optional<std::string> preferredReader_;
    std::mutex mutex_;
    std::map<int, std::shared_ptr<Connection>> connections_;
    int nextHandle_ = 1;
    std::atomic<bool> serviceMissing_ = false;
};

} // namespace velnor
