#pragma once

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

#include "codec/CMyTools.h"

#include <gtest/gtest.h>

namespace velnor::test {

using nlohmann::json;

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

inline uint8_t byteOf(const json &hex) {
    const Bytes bytes = fromHex(hex.get<std::string>());
    return bytes.empty() ? 0 : bytes[0];
}

// A text written as a string, or as a list of strings and [text, times] repeats.
inline std::string textOf(const json &value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    std::string text;
    for (const json &piece : value) {
        const bool repeated = piece.is_array();
        for (int i = 0; i < (repeated ? piece[1].get<int>() : 1); ++i) {
            text += (repeated ? piece[0] : piece).get<std::string>();
        }
    }
    return text;
}

// The vectors of a JSON file under tests/vectors/ in the source tree that VELNOR_TEST_SOURCE
// names (CTest sets it). The file is a list of groups, each with its "vectors" and the members
// they share, such as the "source" they come from; every vector gets its group's members.
inline std::vector<json> loadVectors(const std::string &name) {
    const char *tree = std::getenv("VELNOR_TEST_SOURCE");
    const std::string path = std::string(tree ? tree : ".") + "/tests/vectors/" + name;
    std::ifstream in(path);
    std::vector<json> vectors;
    if (in) {
        for (const json &group : json::parse(in)) {
            for (json vector : group.at("vectors")) {
                for (const auto &[key, value] : group.items()) {
                    if (key != "vectors") {
                        vector.emplace(key, value); // a vector's own member stays
                    }
                }
                vectors.push_back(std::move(vector));
            }
        }
    }
    if (vectors.empty()) {
        ADD_FAILURE() << "no vectors in " << path << " (VELNOR_TEST_SOURCE names the tree)";
    }
    return vectors;
}

} // namespace velnor::test
