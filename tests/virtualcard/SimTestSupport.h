#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/TestVectors.h"
#include "virtualcard/ProfileJson.h"
#include "virtualcard/VirtualSim.h"

namespace velnor::test {

// The card of chv.json: ICCID, a phonebook of 5 records of 30 bytes (record 3 "John"),
// messages, parameters, a CDMA directory, CHV1 1234 enabled with unblock code 12345678.
inline std::string smallProfileJson() {
    return loadVectors("virtualcard/chv.json").at(0)["profile"].dump();
}

inline CardProfile smallProfile() {
    ProfileResult loaded = parseCardProfile(smallProfileJson());
    return loaded.profile ? std::move(*loaded.profile) : CardProfile();
}

// A command of class A0 with its data.
inline Bytes apdu(uint8_t instruction, uint8_t p1, uint8_t p2, uint8_t p3, Bytes data = {}) {
    data.insert(data.begin(), {0xA0, instruction, p1, p2, p3});
    return data;
}

inline Bytes selectCommand(uint16_t id) {
    return apdu(0xA4, 0, 0, 2, {static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)});
}

// VERIFY CHV1 with a code padded to 8 bytes with 0xFF.
inline Bytes verifyCommand(const std::string &code) {
    Bytes data(code.begin(), code.end());
    data.resize(8, 0xFF);
    return apdu(0x20, 0, 1, 8, data);
}

// The status word at the end of an answer; 0 when there was no answer.
inline uint16_t statusOf(const std::optional<Bytes> &answer) {
    if (!answer || answer->size() < 2) {
        return 0;
    }
    return static_cast<uint16_t>((*answer)[answer->size() - 2] << 8 | answer->back());
}

} // namespace velnor::test
