#include "reader/UiccChannel.h"

#include <cstdio>

#include "reader/Instructions.h"

namespace velnor {

namespace {

using Bytes = UiccChannel::Bytes;

constexpr uint8_t UiccClass = 0x00;
constexpr uint8_t ReturnFcp = 0x04;
constexpr size_t PinLength = 8; // TS 102 221, 9.5.1: codes padded to 8 bytes with FF

Bytes apdu(uint8_t instruction, uint8_t p1, uint8_t p2, const Bytes &data,
           std::optional<uint8_t> le) {
    Bytes command{UiccClass, instruction, p1, p2};
    if (!data.empty()) {
        command.push_back(static_cast<uint8_t>(data.size()));
        command.insert(command.end(), data.begin(), data.end());
    }
    if (le) {
        command.push_back(*le);
    }
    return command;
}

std::string hexWord(uint16_t word) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", word);
    return text;
}

} // namespace

std::optional<UiccChannel::Answer> UiccChannel::transmit(const Bytes &command) {
    Bytes sent = command;
    for (int round = 0;; ++round) {
        const auto response = driver_.TransmitApdu(handle_, sent);
        if (!response || response->size() < 2) {
            error_ = "The card does not answer.";
            return std::nullopt;
        }
        Answer answer{
            Bytes(response->begin(), response->end() - 2),
            static_cast<uint16_t>((*response)[response->size() - 2] << 8 | response->back())};
        // ISO/IEC 7816-3, 10.3.4: 6Cxx asks for the same command with Le xx, once.
        if ((answer.statusWord >> 8) != 0x6C || round == 1) {
            return answer;
        }
        if (sent.size() == 4) {
            sent.push_back(0);
        }
        sent.back() = static_cast<uint8_t>(answer.statusWord);
    }
}

std::optional<UiccChannel::Answer> UiccChannel::send(const Bytes &command) {
    // A response never spans more parts than this; a card that goes on announcing more is
    // broken, and is not asked forever.
    constexpr int MaxParts = 16;
    auto answer = transmit(command);
    // 61xx: xx more bytes wait for GET RESPONSE, perhaps in several parts.
    for (int part = 0; answer && (answer->statusWord >> 8) == 0x61; ++part) {
        if (part == MaxParts) {
            error_ = "The card announces a response without end.";
            return std::nullopt;
        }
        const auto more =
            transmit(apdu(ins::GetResponse, 0, 0, {}, static_cast<uint8_t>(answer->statusWord)));
        if (!more) {
            return std::nullopt;
        }
        answer->data.insert(answer->data.end(), more->data.begin(), more->data.end());
        answer->statusWord = more->statusWord;
    }
    return answer;
}

std::optional<UiccChannel::Answer> UiccChannel::checked(const Bytes &command,
                                                        const std::string &what) {
    auto answer = send(command);
    if (!answer) {
        return std::nullopt;
    }
    if (!answer->ok()) {
        error_ = what + ": the card answered " + hexWord(answer->statusWord) + ".";
        return std::nullopt;
    }
    error_.clear();
    return answer;
}

// SELECT goes as T=0 sends it, without Le (case 3); the card announces the FCP with 61xx.
std::optional<Bytes> UiccChannel::selectPath(std::span<const uint16_t> path) {
    Bytes ids;
    for (size_t i = path.size() > 1 ? 1 : 0; i < path.size(); ++i) {
        ids.push_back(static_cast<uint8_t>(path[i] >> 8));
        ids.push_back(static_cast<uint8_t>(path[i]));
    }
    const uint8_t p1 = path.size() > 1 ? 0x08 : 0x00;
    const auto answer = checked(apdu(ins::Select, p1, ReturnFcp, ids, std::nullopt), "SELECT");
    return answer ? std::optional<Bytes>(answer->data) : std::nullopt;
}

std::optional<Bytes> UiccChannel::selectAid(const Bytes &aid) {
    const auto answer =
        checked(apdu(ins::Select, 0x04, ReturnFcp, aid, std::nullopt), "SELECT by AID");
    return answer ? std::optional<Bytes>(answer->data) : std::nullopt;
}

std::optional<Bytes> UiccChannel::readRecord(uint8_t number, uint8_t length, uint8_t sfi) {
    const auto answer =
        checked(apdu(ins::ReadRecord, number, static_cast<uint8_t>(sfi << 3 | ins::AbsoluteRecord),
                     {}, length),
                "READ RECORD " + std::to_string(number));
    return answer ? std::optional<Bytes>(answer->data) : std::nullopt;
}

bool UiccChannel::updateRecord(uint8_t number, const Bytes &record, uint8_t sfi) {
    return checked(apdu(ins::UpdateRecord, number,
                        static_cast<uint8_t>(sfi << 3 | ins::AbsoluteRecord), record, std::nullopt),
                   "UPDATE RECORD " + std::to_string(number))
        .has_value();
}

std::optional<Bytes> UiccChannel::readBinary(uint16_t offset, uint8_t length) {
    const auto answer = checked(apdu(ins::ReadBinary, static_cast<uint8_t>(offset >> 8),
                                     static_cast<uint8_t>(offset), {}, length),
                                "READ BINARY");
    return answer ? std::optional<Bytes>(answer->data) : std::nullopt;
}

bool UiccChannel::updateBinary(uint16_t offset, const Bytes &data) {
    return checked(apdu(ins::UpdateBinary, static_cast<uint8_t>(offset >> 8),
                        static_cast<uint8_t>(offset), data, std::nullopt),
                   "UPDATE BINARY")
        .has_value();
}

int UiccChannel::pinCommand(uint8_t instruction, uint8_t reference,
                            const std::vector<std::string> &codes, uint8_t &status) {
    status = 0;
    Bytes data;
    for (const std::string &code : codes) {
        if (code.size() > PinLength) {
            error_ = "A code is longer than 8 characters; nothing was sent.";
            return 0;
        }
        data.insert(data.end(), code.begin(), code.end());
        data.resize(data.size() + PinLength - code.size(), 0xFF);
    }
    const auto answer = send(apdu(instruction, 0x00, reference, data, std::nullopt));
    if (!answer) {
        return 0;
    }
    if (answer->ok()) {
        error_.clear();
        return 1;
    }
    error_ = "PIN command: the card answered " + hexWord(answer->statusWord) + ".";
    // TS 102 221, 10.2.1.5 as GSM 11.11, 9.4.5 says it: 63Cx a wrong code (x attempts left,
    // none: now blocked), 6983 blocked, 6984 and 6985 the PIN's state contradicts the command,
    // 6A88 no such PIN.
    switch (answer->statusWord) {
    case 0x63C0:
    case 0x6983:
        status = 0x40;
        break;
    case 0x6984:
    case 0x6985:
        status = 0x08;
        break;
    case 0x6A88:
        status = 0x02;
        break;
    default:
        status = (answer->statusWord & 0xFFF0) == 0x63C0 ? 0x04 : 0x00;
        break;
    }
    return 0;
}

int UiccChannel::attemptsLeft(uint8_t instruction, uint8_t reference) {
    const auto answer = send(apdu(instruction, 0x00, reference, {}, std::nullopt));
    if (!answer || (answer->statusWord & 0xFFF0) != 0x63C0) {
        return -1;
    }
    return answer->statusWord & 0x0F;
}

} // namespace velnor
