#pragma once

// The card reader driver: every card command goes through it. Operations return nonzero on
// success and 0 on failure; each call names the device handle and the reader function number f.
// Buffers are the caller's and hold at least the length given (260 bytes in practice).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velnor {

// A reader the driver can reach, and whether a card is in it.
struct ReaderEntry {
    std::string name;
    bool cardPresent = false;
    bool operator==(const ReaderEntry &) const = default;
};

class ReaderSource;

class CUSBOpKrnl {
public:
    virtual ~CUSBOpKrnl() = default;

    // Every reader the driver can reach, in the order it would search them.
    virtual std::vector<ReaderEntry> ListReaders() { return {}; }
    // A watch on the readers and their cards for another thread; by default it compares
    // ListReaders from time to time.
    virtual std::unique_ptr<ReaderSource> WatchReaders();

    // The reader to use, or nullopt when there is none.
    virtual std::optional<std::string> FindDeviceEntry() = 0;
    // A handle of its own for one card exchange, -1 on failure; released with CloseHandle.
    virtual int OpenRX730X(const std::string &devicePath) = 0;
    virtual void CloseHandle(int handle) = 0;

    // Inquiry block: byte 0 version, bytes 1-2 version value (high byte first), byte 4 function
    // count n, from byte 5 n four-character names. nullopt on failure.
    virtual std::optional<std::vector<uint8_t>> SIM_InquiryFunctions(int handle) = 0;
    // The answer to reset into a 64-byte buffer; nonzero when a card answers.
    virtual int GetATRValue(int handle, uint8_t *buffer, uint8_t f) = 0;

    // GSM 11.11 file access: select, then get response with the length select gave, then read
    // or update.
    virtual int SelectFile(int handle, uint16_t fileId, uint8_t &responseLength, uint8_t f) = 0;
    virtual int GetResponse(int handle, uint8_t length, uint8_t *buffer, uint8_t f) = 0;
    virtual int ReadBinary(int handle, uint8_t length, uint8_t f, uint8_t *buffer) = 0;
    virtual int ReadRecord(int handle, uint8_t recordLength, uint8_t recordNumber, uint8_t f,
                           uint8_t *buffer, bool cdma) = 0;
    virtual int UpdateRecord(int handle, uint8_t recordLength, uint8_t recordNumber, uint8_t f,
                             const uint8_t *buffer, bool cdma) = 0;

    // CHV operations; status receives SW2 when the card answers 0x98xx (GSM 11.11, 9.4.5).
    virtual int VerifyCHV(int handle, uint8_t f, uint8_t reference, const std::string &code,
                          uint8_t &status) = 0;
    virtual int ChangeCHV(int handle, uint8_t f, uint8_t reference, const std::string &oldCode,
                          const std::string &newCode, uint8_t &status) = 0;
    virtual int UnblockCHV(int handle, uint8_t f, uint8_t reference, const std::string &unblockCode,
                           const std::string &newCode, uint8_t &status) = 0;
    virtual int EnableCHV(int handle, uint8_t f, const std::string &code, uint8_t &status) = 0;
    virtual int DisableCHV(int handle, uint8_t f, const std::string &code, uint8_t &status) = 0;

    // A command of any class (a UICC's class 00 of TS 102 221), traced like the others: the
    // response data then SW1 SW2, nullopt when the card did not answer.
    virtual std::optional<std::vector<uint8_t>> TransmitApdu(int, const std::vector<uint8_t> &) {
        return std::nullopt;
    }
    // The status word of the last answer on this thread, 0 when none came.
    virtual uint16_t lastStatusWord() const { return 0; }

    // Keeps other programs away from the card between the commands of one sequence (select then
    // read, a record loop, a PIN operation), so that none slips its own SELECT in between.
    // Transactions on one handle nest; each begin is matched by one end. Drivers without other
    // users of the card have nothing to do. Never hold one while waiting for the user. Begin
    // gives false when the card could not be held (no card); the commands then say why.
    virtual bool BeginTransaction(int) { return true; }
    virtual void EndTransaction(int) {}

    // Ends the driver; nothing to do on these platforms.
    virtual void TermASPI() {}

    // What went wrong in the last failed operation, for diagnostics (empty when nothing did).
    virtual std::string lastError() const { return std::string(); }

    // Whether the last listing of readers found the reader service (pcscd) not running, which
    // the user can mend, rather than no reader.
    virtual bool serviceMissing() const { return false; }
};

} // namespace velnor
