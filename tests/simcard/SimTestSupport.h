#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simcard/ProfileJson.h"
#include "simcard/VirtualSim.h"

namespace velnor::test {

// A command of class A0 with its data.
inline Bytes apdu(uint8_t instruction, uint8_t p1, uint8_t p2, uint8_t p3, const Bytes &data = {}) {
    Bytes command(5 + data.size());
    command[0] = 0xA0;
    command[1] = instruction;
    command[2] = p1;
    command[3] = p2;
    command[4] = p3;
    std::copy(data.begin(), data.end(), command.begin() + 5);
    return command;
}

inline Bytes selectCommand(uint16_t id) {
    return apdu(0xA4, 0, 0, 2, {static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)});
}

// A code as the card takes it: 8 bytes padded with 0xFF.
inline Bytes code8(const std::string &text) {
    Bytes code(text.begin(), text.end());
    code.resize(8, 0xFF);
    return code;
}

inline Bytes concat(Bytes a, const Bytes &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The status word at the end of an answer; 0 when there was no answer.
inline uint16_t statusOf(const std::optional<Bytes> &answer) {
    if (!answer || answer->size() < 2) {
        return 0;
    }
    return static_cast<uint16_t>((*answer)[answer->size() - 2] << 8 | answer->back());
}

inline Bytes dataOf(const std::optional<Bytes> &answer) {
    return answer && answer->size() >= 2 ? Bytes(answer->begin(), answer->end() - 2) : Bytes();
}

// A small card: ICCID, a phonebook of 5 records of 30 bytes, messages, parameters, a CDMA
// directory, CHV1 1234 enabled with unblock code 12345678.
inline const char *smallProfileJson() {
    return R"({
  "atr": "3B9F95801FC78031E073FE211B63E208A8830090",
  "chv1": {"enabled": true, "code": "1234", "unblockCode": "12345678"},
  "files": [
    {"path": "3F00/2FE2", "data": "98103254769810325476"},
    {"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 5,
     "records": ["", "", "4A6F686EFFFFFFFFFFFFFFFFFFFFFFFF0681214365870FFFFF"]},
    {"path": "3F00/7F10/6F3C", "recordLength": 176, "recordCount": 3, "fill": "00"},
    {"path": "3F00/7F10/6F42", "recordLength": 40, "records": ["FF"]},
    {"path": "3F00/7F25/6F3C", "recordLength": 255, "recordCount": 2, "fill": "00"}
  ]
})";
}

inline CardProfile smallProfile() {
    return *parseCardProfile(smallProfileJson()).profile;
}

} // namespace velnor::test
