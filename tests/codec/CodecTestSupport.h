#pragma once

#include "codec/CMyTools.h"
#include "support/TestVectors.h"

namespace velnor::test {

// The bytes of a vector's hexadecimal member.
inline Bytes bytesOf(const json &hex) {
    const std::optional<Bytes> bytes = CMyTools::asc2hex(hex.get<std::string>());
    if (!bytes) {
        ADD_FAILURE() << "bad hex in test vector: " << hex;
    }
    return bytes.value_or(Bytes{});
}

inline uint8_t byteOf(const json &hex) {
    const Bytes bytes = bytesOf(hex);
    return bytes.empty() ? 0 : bytes[0];
}

inline std::string toHex(const Bytes &bytes) {
    return CMyTools::hex2asc(bytes.data(), bytes.size());
}

} // namespace velnor::test
