#include "reader/ApduDriver.h"

#include <algorithm>
#include <cstdio>

#include "reader/Instructions.h"

namespace velnor {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t GsmClass = 0xA0;
constexpr size_t ChvCodeLength = 8; // GSM 11.11, 9.3: codes are 8 bytes padded with 0xFF
constexpr uint16_t StatusOk = 0x9000;

constexpr uint8_t Chv1 = 0x01;

Bytes command(uint8_t instruction, uint8_t p1, uint8_t p2, uint8_t p3, const Bytes &data = {}) {
    Bytes apdu(5 + data.size());
    apdu[0] = GsmClass;
    apdu[1] = instruction;
    apdu[2] = p1;
    apdu[3] = p2;
    apdu[4] = p3;
    std::copy(data.begin(), data.end(), apdu.begin() + 5);
    return apdu;
}

// What the transport said about the answer being handled on this thread.
thread_local std::string answerDetail;
// The status word of the last answer on this thread.
thread_local uint16_t lastWord = 0;

std::string hexWord(uint16_t word) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", word);
    return text;
}

} // namespace

namespace {

std::string hex(const Bytes &bytes, size_t shown) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char part[4];
        std::snprintf(part, sizeof part, "%02X", bytes[i]);
        text += (i == 0 ? "" : " ") + std::string(i < shown ? part : "**");
    }
    return text;
}

} // namespace

std::string describeCommand(const Bytes &command) {
    // VERIFY, CHANGE, DISABLE, ENABLE and UNBLOCK carry codes after the 5 header bytes, with
    // the same instructions in GSM 11.11 (9.2) and ISO/IEC 7816-4.
    const bool secret =
        command.size() > 1 &&
        (command[1] == ins::Verify || command[1] == ins::Change || command[1] == ins::Disable ||
         command[1] == ins::Enable || command[1] == ins::Unblock);
    return hex(command, secret ? 5 : command.size());
}

std::string describeExchange(const Bytes &command, const std::optional<Bytes> &response) {
    return describeCommand(command) + " -> " +
           (response ? hex(*response, response->size()) : std::string("no answer"));
}

std::vector<uint8_t> ApduDriver::simInquiryBlock() {
    return {0xB0, 0x02, 0x08, 0x00, 0x01, 'S', 'I', 'M', ' '};
}

void ApduDriver::setTrace(Trace trace) {
    std::lock_guard lock(mutex_);
    trace_ = std::move(trace);
}

std::string ApduDriver::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

void ApduDriver::setLastError(const std::string &error) {
    std::lock_guard lock(mutex_);
    lastError_ = error;
}

void ApduDriver::setAnswerDetail(const std::string &detail) {
    answerDetail = detail;
}

void ApduDriver::refused(const std::string &what, uint16_t statusWord) {
    std::string detail = answerDetail;
    if (!detail.empty() && detail.back() == '.') {
        detail.pop_back();
    }
    setLastError(what + ": the card answered " + hexWord(statusWord) +
                 (detail.empty() ? "" : " (" + detail + ")") + ".");
}

std::optional<ApduDriver::Answer> ApduDriver::exchange(int handle, const Bytes &apdu) {
    answerDetail.clear();
    lastWord = 0;
    const std::optional<Bytes> response = transmit(handle, apdu);
    Trace trace;
    {
        std::lock_guard lock(mutex_);
        trace = trace_;
    }
    if (trace) {
        trace(handle, describeExchange(apdu, response), response.has_value());
    }
    if (!response) {
        return std::nullopt;
    }
    if (response->size() < 2) {
        setLastError("The card gave an answer without a status word.");
        return std::nullopt;
    }
    Answer answer;
    answer.data.assign(response->begin(), response->end() - 2);
    answer.statusWord = static_cast<uint16_t>((*response)[response->size() - 2] << 8 |
                                              (*response)[response->size() - 1]);
    lastWord = answer.statusWord;
    return answer;
}

std::optional<Bytes> ApduDriver::TransmitApdu(int handle, const Bytes &command) {
    const auto answer = exchange(handle, command);
    if (!answer) {
        return std::nullopt;
    }
    Bytes response = answer->data;
    response.push_back(answer->sw1());
    response.push_back(answer->sw2());
    return response;
}

uint16_t ApduDriver::lastStatusWord() const {
    return lastWord;
}

std::optional<ApduDriver::Answer> ApduDriver::exchangeOk(int handle, const Bytes &apdu,
                                                         size_t expected, const std::string &what) {
    auto answer = exchange(handle, apdu);
    if (!answer) {
        return std::nullopt;
    }
    if (answer->statusWord != StatusOk) {
        refused(what, answer->statusWord);
        return std::nullopt;
    }
    if (answer->data.size() != expected) {
        setLastError(what + ": the card sent " + std::to_string(answer->data.size()) +
                     " bytes instead of " + std::to_string(expected) + ".");
        return std::nullopt;
    }
    return answer;
}

int ApduDriver::GetATRValue(int handle, uint8_t *buffer, uint8_t) {
    const std::optional<Bytes> atr = answerToReset(handle);
    if (!atr) {
        return 0;
    }
    constexpr size_t BufferSize = 64;
    std::fill(buffer, buffer + BufferSize, 0);
    std::copy_n(atr->begin(), std::min(atr->size(), BufferSize), buffer);
    return 1;
}

int ApduDriver::SelectFile(int handle, uint16_t fileId, uint8_t &responseLength, uint8_t) {
    const auto answer = exchange(
        handle, command(ins::Select, 0, 0, 2,
                        {static_cast<uint8_t>(fileId >> 8), static_cast<uint8_t>(fileId)}));
    if (!answer) {
        return 0;
    }
    // GSM cards announce the response with 9Fxx, ISO 7816 T=0 cards with 61xx.
    if (answer->sw1() == 0x9F || answer->sw1() == 0x61) {
        responseLength = answer->sw2();
        return 1;
    }
    if (answer->statusWord == StatusOk) {
        responseLength = 0;
        return 1;
    }
    refused("SELECT " + hexWord(fileId), answer->statusWord);
    return 0;
}

int ApduDriver::GetResponse(int handle, uint8_t length, uint8_t *buffer, uint8_t) {
    const auto answer = exchangeOk(handle, command(ins::GetResponse, 0, 0, length),
                                   length == 0 ? 256 : length, "GET RESPONSE");
    if (!answer) {
        return 0;
    }
    std::copy(answer->data.begin(), answer->data.end(), buffer);
    return 1;
}

int ApduDriver::ReadBinary(int handle, uint8_t length, uint8_t, uint8_t *buffer) {
    if (length == 0) {
        return 1; // nothing to read
    }
    const auto answer =
        exchangeOk(handle, command(ins::ReadBinary, 0, 0, length), length, "READ BINARY");
    if (!answer) {
        return 0;
    }
    std::copy(answer->data.begin(), answer->data.end(), buffer);
    return 1;
}

// A CDMA card (3GPP2 C.S0023) takes the same commands of class A0, so the CDMA flag changes
// nothing here.
int ApduDriver::ReadRecord(int handle, uint8_t recordLength, uint8_t recordNumber, uint8_t,
                           uint8_t *buffer, bool) {
    const auto answer = exchangeOk(
        handle, command(ins::ReadRecord, recordNumber, ins::AbsoluteRecord, recordLength),
        recordLength, "READ RECORD " + std::to_string(recordNumber));
    if (!answer) {
        return 0;
    }
    std::copy(answer->data.begin(), answer->data.end(), buffer);
    return 1;
}

int ApduDriver::UpdateRecord(int handle, uint8_t recordLength, uint8_t recordNumber, uint8_t,
                             const uint8_t *buffer, bool) {
    const Bytes record(buffer, buffer + recordLength);
    return exchangeOk(
               handle,
               command(ins::UpdateRecord, recordNumber, ins::AbsoluteRecord, recordLength, record),
               0, "UPDATE RECORD " + std::to_string(recordNumber))
               ? 1
               : 0;
}

int ApduDriver::chvCommand(int handle, uint8_t instruction, uint8_t reference,
                           const std::vector<const std::string *> &codes, uint8_t &status,
                           const std::string &what) {
    status = 0;
    Bytes data;
    for (const std::string *code : codes) {
        if (code->size() > ChvCodeLength) {
            setLastError(what + ": a code is longer than 8 characters; nothing was sent.");
            return 0;
        }
        data.insert(data.end(), code->begin(), code->end());
        data.resize(data.size() + ChvCodeLength - code->size(), 0xFF);
    }
    const auto answer = exchange(
        handle, command(instruction, 0, reference, static_cast<uint8_t>(data.size()), data));
    if (!answer) {
        return 0;
    }
    if (answer->statusWord == StatusOk) {
        return 1;
    }
    if (answer->sw1() == 0x98) {
        status = answer->sw2();
    }
    refused(what, answer->statusWord);
    return 0;
}

int ApduDriver::VerifyCHV(int handle, uint8_t, uint8_t reference, const std::string &code,
                          uint8_t &status) {
    return chvCommand(handle, ins::Verify, reference, {&code}, status, "VERIFY CHV");
}

int ApduDriver::ChangeCHV(int handle, uint8_t, uint8_t reference, const std::string &oldCode,
                          const std::string &newCode, uint8_t &status) {
    return chvCommand(handle, ins::Change, reference, {&oldCode, &newCode}, status, "CHANGE CHV");
}

int ApduDriver::UnblockCHV(int handle, uint8_t, uint8_t reference, const std::string &unblockCode,
                           const std::string &newCode, uint8_t &status) {
    return chvCommand(handle, ins::Unblock, reference, {&unblockCode, &newCode}, status,
                      "UNBLOCK CHV");
}

int ApduDriver::EnableCHV(int handle, uint8_t, const std::string &code, uint8_t &status) {
    return chvCommand(handle, ins::Enable, Chv1, {&code}, status, "ENABLE CHV");
}

int ApduDriver::DisableCHV(int handle, uint8_t, const std::string &code, uint8_t &status) {
    return chvCommand(handle, ins::Disable, Chv1, {&code}, status, "DISABLE CHV");
}

} // namespace velnor
