#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "reader/CUSBOpKrnl.h"

namespace velnor {

// What every reader driver needs, on top of one transmit: the GSM 11.11 commands of class A0
// behind the driver operations, the status words read back, a trace of every exchange and the
// reason of the last failure. A driver supplies the transport and the reader bookkeeping.
class ApduDriver : public CUSBOpKrnl {
public:
    // Sees every exchange as describeExchange gives it, and whether the card answered. Called
    // on the thread of the operation.
    using Trace = std::function<void(int handle, const std::string &exchange, bool answered)>;
    void setTrace(Trace trace);

    int GetATRValue(int handle, uint8_t *buffer, uint8_t f) override;
    int SelectFile(int handle, uint16_t fileId, uint8_t &responseLength, uint8_t f) override;
    int GetResponse(int handle, uint8_t length, uint8_t *buffer, uint8_t f) override;
    int ReadBinary(int handle, uint8_t length, uint8_t f, uint8_t *buffer) override;
    int ReadRecord(int handle, uint8_t recordLength, uint8_t recordNumber, uint8_t f,
                   uint8_t *buffer, bool cdma) override;
    int UpdateRecord(int handle, uint8_t recordLength, uint8_t recordNumber, uint8_t f,
                     const uint8_t *buffer, bool cdma) override;
    int VerifyCHV(int handle, uint8_t f, uint8_t reference, const std::string &code,
                  uint8_t &status) override;
    int ChangeCHV(int handle, uint8_t f, uint8_t reference, const std::string &oldCode,
                  const std::string &newCode, uint8_t &status) override;
    int UnblockCHV(int handle, uint8_t f, uint8_t reference, const std::string &unblockCode,
                   const std::string &newCode, uint8_t &status) override;
    int EnableCHV(int handle, uint8_t f, const std::string &code, uint8_t &status) override;
    int DisableCHV(int handle, uint8_t f, const std::string &code, uint8_t &status) override;

    std::optional<std::vector<uint8_t>> TransmitApdu(int handle,
                                                     const std::vector<uint8_t> &command) override;
    uint16_t lastStatusWord() const override;

    std::string lastError() const override;

protected:
    // The card's answer to one command: response data, then SW1 SW2. nullopt when no answer
    // came (no card, a broken connection, an unknown handle); say why with setLastError.
    virtual std::optional<std::vector<uint8_t>> transmit(int handle,
                                                         const std::vector<uint8_t> &command) = 0;
    // The card's answer to reset, or nullopt when no card answers.
    virtual std::optional<std::vector<uint8_t>> answerToReset(int handle) = 0;

    // Version byte 0xB0, version value 0x0208 and one function "SIM ": a reader that speaks to
    // GSM and CDMA cards alike.
    static std::vector<uint8_t> simInquiryBlock();

    void setLastError(const std::string &error);
    // A word on the answer transmit is returning, added to the report when the card refuses
    // the command (for example why the card could not keep a change).
    void setAnswerDetail(const std::string &detail);

private:
    struct Answer {
        std::vector<uint8_t> data;
        uint16_t statusWord = 0;
        uint8_t sw1() const { return static_cast<uint8_t>(statusWord >> 8); }
        uint8_t sw2() const { return static_cast<uint8_t>(statusWord); }
    };

    // Sends a command and traces it; nullopt when the card did not answer.
    std::optional<Answer> exchange(int handle, const std::vector<uint8_t> &command);
    // Sends a command and expects 9000 with exactly `expected` data bytes.
    std::optional<Answer> exchangeOk(int handle, const std::vector<uint8_t> &command,
                                     size_t expected, const std::string &what);
    // Reports a refused command with its status word.
    void refused(const std::string &what, uint16_t statusWord);
    // A CHV command with codes padded to 8 bytes; status gets SW2 of a 98xx answer.
    int chvCommand(int handle, uint8_t instruction, uint8_t reference,
                   const std::vector<const std::string *> &codes, uint8_t &status,
                   const std::string &what);

    mutable std::mutex mutex_;
    Trace trace_;
    std::string lastError_;
};

// One exchange as a line of text: "A0 A4 00 00 02 3F 00 -> 9F 16", "... -> no answer". The
// codes of a PIN command are never shown: "A0 20 00 01 08 ** ** ** ** ** ** ** ** -> 90 00".
std::string describeExchange(const std::vector<uint8_t> &command,
                             const std::optional<std::vector<uint8_t>> &response);
// The command alone, as describeExchange shows it: "A0 20 00 01 08 ** ** ** ** ** ** ** **".
std::string describeCommand(const std::vector<uint8_t> &command);

} // namespace velnor
