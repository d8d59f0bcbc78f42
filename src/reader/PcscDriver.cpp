#include "reader/PcscDriver.h"

#include <array>

#include "reader/PcscContext.h"
#include "reader/PcscReaderSource.h"
#include "reader/ReaderName.h"

namespace velnor {

struct PcscDriver::Connection {
    std::mutex mutex;
    std::string reader;
    PcscContext context;
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    bool connected = false;
    int transactionDepth = 0;
    bool transactionHeld = false;
    std::string lossReason; // why the card is not connected, for the next failing command

    void beginTransaction() { transactionHeld = SCardBeginTransaction(card) == SCARD_S_SUCCESS; }
    void disconnect() {
        if (connected) {
            if (transactionHeld) {
                SCardEndTransaction(card, SCARD_LEAVE_CARD);
            }
            SCardDisconnect(card, SCARD_LEAVE_CARD);
        }
        connected = false;
        transactionHeld = false;
    }
};

namespace {

// Answers of a connection that may still come back: the reader is there, its card is not.
bool cardAbsent(LONG status) {
    return status == SCARD_E_NO_SMARTCARD || status == SCARD_W_REMOVED_CARD ||
           status == SCARD_W_UNPOWERED_CARD || status == SCARD_W_UNRESPONSIVE_CARD ||
           status == SCARD_W_UNSUPPORTED_CARD;
}

constexpr size_t kMaxResponse = 258; // 256 data bytes and the status word

bool noService(LONG status) {
    return status == SCARD_E_NO_SERVICE || status == SCARD_E_SERVICE_STOPPED;
}

std::string noReaderSentence(LONG status) {
    if (noService(status)) {
        return "pcscd, the PC/SC service, is not running: start it with \"systemctl start "
               "pcscd.socket\".";
    }
    if (status == SCARD_E_NO_READERS_AVAILABLE) {
        return "No card reader is attached (pcscd is running).";
    }
    return "No card reader can be found: " + describePcscStatus(status) + ".";
}

} // namespace

PcscDriver::PcscDriver(std::optional<std::string> preferredReader)
    : preferredReader_(std::move(preferredReader)) {}

PcscDriver::~PcscDriver() {
    std::lock_guard lock(mutex_);
    for (auto &[handle, connection] : connections_) {
        std::lock_guard hold(connection->mutex);
        connection->disconnect();
    }
}

void PcscDriver::report(const Connection &connection, const std::string &what, long status) {
    setLastError(connection.reader + ": " + what + ": " + describePcscStatus(status) + ".");
}

std::vector<ReaderEntry> PcscDriver::ListReaders() {
    PcscContext context;
    const LONG established = context.establish();
    serviceMissing_ = noService(established);
    if (established != SCARD_S_SUCCESS) {
        setLastError(noReaderSentence(established));
        return {};
    }
    ReaderSnapshot snapshot = snapshotReaders(context.get());
    serviceMissing_ = noService(snapshot.status);
    if (snapshot.status != SCARD_S_SUCCESS) {
        setLastError(noReaderSentence(snapshot.status));
        return {};
    }
    return std::move(snapshot.readers);
}

std::optional<std::string> PcscDriver::FindDeviceEntry() {
    const std::vector<ReaderEntry> readers = ListReaders();
    if (readers.empty()) {
        return std::nullopt;
    }
    if (preferredReader_) {
        for (const ReaderEntry &reader : readers) {
            if (reader.name == *preferredReader_) {
                return reader.name;
            }
        }
        setLastError("The reader " + *preferredReader_ + " is not attached.");
        return std::nullopt;
    }
    for (const ReaderEntry &reader : readers) {
        if (reader.cardPresent) {
            return reader.name;
        }
    }
    return readers.front().name;
}

std::unique_ptr<ReaderSource> PcscDriver::WatchReaders() {
    return std::make_unique<PcscReaderSource>();
}

int PcscDriver::OpenRX730X(const std::string &devicePath) {
    if (ReaderName::isSimulated(devicePath)) {
        setLastError("\"" + devicePath + "\" names a simulated reader, not a PC/SC reader.");
        return -1;
    }
    auto connection = std::make_shared<Connection>();
    connection->reader = devicePath;
    const LONG established = connection->context.establish();
    if (established != SCARD_S_SUCCESS) {
        report(*connection, "cannot open the reader", established);
        return -1;
    }
    if (!connectCard(*connection) && connection->lossReason.empty()) {
        return -1; // the reader itself cannot be used
    }
    std::lock_guard lock(mutex_);
    const int handle = nextHandle_++;
    connections_[handle] = std::move(connection);
    return handle;
}

bool PcscDriver::connectCard(Connection &c) {
    c.disconnect();
    if (!c.context.valid()) {
        const LONG established = c.context.establish();
        if (established != SCARD_S_SUCCESS) {
            c.lossReason = describePcscStatus(established);
            report(c, "cannot open the reader", established);
            return false;
        }
    }
    const LONG status = SCardConnect(c.context.get(), c.reader.c_str(), SCARD_SHARE_SHARED,
                                     SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &c.card, &c.protocol);
    if (status != SCARD_S_SUCCESS) {
        c.lossReason = cardAbsent(status) ? describePcscStatus(status) : std::string();
        report(c, "cannot connect to the card", status);
        if (serviceLost(status)) {
            c.context.release();
        }
        return false;
    }
    c.connected = true;
    c.lossReason.clear();
    if (c.transactionDepth > 0) {
        c.beginTransaction();
    }
    return true;
}

void PcscDriver::dropAfter(Connection &c, long status) {
    if (cardConnectionLost(status) || serviceLost(status)) {
        c.disconnect();
        c.lossReason = describePcscStatus(status);
    }
    if (serviceLost(status)) {
        c.context.release();
    }
}

std::shared_ptr<PcscDriver::Connection> PcscDriver::find(int handle) {
    std::lock_guard lock(mutex_);
    const auto found = connections_.find(handle);
    if (found == connections_.end()) {
        setLastError("Handle " + std::to_string(handle) + " is not open.");
        return nullptr;
    }
    return found->second;
}

void PcscDriver::CloseHandle(int handle) {
    std::shared_ptr<Connection> connection;
    {
        std::lock_guard lock(mutex_);
        const auto found = connections_.find(handle);
        if (found == connections_.end()) {
            return;
        }
        connection = std::move(found->second);
        connections_.erase(found);
    }
    std::lock_guard hold(connection->mutex);
    connection->disconnect();
    connection->context.release();
}

std::optional<std::vector<uint8_t>> PcscDriver::SIM_InquiryFunctions(int handle) {
    if (!find(handle)) {
        return std::nullopt;
    }
    return simInquiryBlock();
}

bool PcscDriver::BeginTransaction(int handle) {
    const auto connection = find(handle);
    if (!connection) {
        return false;
    }
    std::lock_guard hold(connection->mutex);
    if (connection->transactionDepth++ == 0 && connection->connected) {
        connection->beginTransaction();
    }
    return connection->transactionHeld;
}

void PcscDriver::EndTransaction(int handle) {
    const auto connection = find(handle);
    if (!connection) {
        return;
    }
    std::lock_guard hold(connection->mutex);
    if (connection->transactionDepth == 0 || --connection->transactionDepth > 0) {
        return;
    }
    if (connection->transactionHeld && connection->connected) {
        SCardEndTransaction(connection->card, SCARD_LEAVE_CARD);
    }
    connection->transactionHeld = false;
}

std::optional<std::vector<uint8_t>> PcscDriver::transmit(int handle,
                                                         const std::vector<uint8_t> &command) {
    const auto connection = find(handle);
    if (!connection) {
        return std::nullopt;
    }
    Connection &c = *connection;
    std::lock_guard hold(c.mutex);
    if (!c.connected) {
        setLastError(
            c.reader + ": " +
            (c.lossReason.empty() ? std::string("there is no card in the reader") : c.lossReason) +
            ".");
        return std::nullopt;
    }
    std::array<uint8_t, kMaxResponse> response{};
    DWORD length = response.size();
    const SCARD_IO_REQUEST *pci = c.protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
    const LONG status = SCardTransmit(c.card, pci, command.data(), command.size(), nullptr,
                                      response.data(), &length);
    if (status != SCARD_S_SUCCESS) {
        report(c, "the command got no answer", status);
        dropAfter(c, status);
        return std::nullopt;
    }
    return std::vector<uint8_t>(response.begin(), response.begin() + length);
}

std::optional<std::vector<uint8_t>> PcscDriver::answerToReset(int handle) {
    const auto connection = find(handle);
    if (!connection) {
        return std::nullopt;
    }
    Connection &c = *connection;
    std::lock_guard hold(c.mutex);
    // A connection whose card was taken out, put back or reset is made again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!c.connected && !connectCard(c)) {
            return std::nullopt;
        }
        std::array<char, MAX_READERNAME> name{};
        DWORD nameLength = name.size();
        DWORD state = 0;
        DWORD protocol = 0;
        std::array<uint8_t, MAX_ATR_SIZE> atr{};
        DWORD atrLength = atr.size();
        LONG status = SCARD_S_SUCCESS;
        {
            std::lock_guard lock(readerStatesLock());
            status = SCardStatus(c.card, name.data(), &nameLength, &state, &protocol, atr.data(),
                                 &atrLength);
        }
        if (status == SCARD_S_SUCCESS && atrLength > 0) {
            return std::vector<uint8_t>(atr.begin(), atr.begin() + atrLength);
        }
        report(c, "the card gives no answer to reset", status);
        c.disconnect();
        if (serviceLost(status)) {
            c.context.release();
        }
    }
    return std::nullopt;
}

} // namespace velnor
