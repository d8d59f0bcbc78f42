#pragma once

#include "codec/CMyTools.h"

#include <gtest/gtest.h>

namespace velnor::test {

// The bytes of a hexadecimal test vector; spaces are allowed between bytes for readability.
inline Bytes fromHex(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (c != ' ') {
            compact.push_back(c);
        }
    }
    const std::optional<Bytes> bytes = CMyTools::asc2hex(compact);
    if (!bytes) {
        ADD_FAILURE() << "bad hex in test vector: " << text;
        return {};
    }
    return *bytes;
}

inline std::string toHex(const Bytes &bytes) {
    return CMyTools::hex2asc(bytes.data(), bytes.size());
}

} // namespace velnor::test
