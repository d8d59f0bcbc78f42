#pragma once

// Test vectors kept as data: JSON files under tests/vectors/ of the source tree.

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace velnor::test {

using nlohmann::json;

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

// A file under tests/vectors/ of the tree that VELNOR_TEST_SOURCE names (CTest sets it).
inline std::string vectorText(const std::string &name) {
    const char *tree = std::getenv("VELNOR_TEST_SOURCE");
    const std::string text = readFile(std::string(tree ? tree : ".") + "/tests/vectors/" + name);
    EXPECT_FALSE(text.empty()) << "no " << name << " under VELNOR_TEST_SOURCE";
    return text;
}

// The vectors of one such file. A file is a list of groups, each with its "vectors" and the
// members they share, such as the "source" they come from; every vector gets its group's
// members unless it has its own.
inline std::vector<json> loadVectors(const std::string &name) {
    const std::string text = vectorText(name);
    std::vector<json> vectors;
    for (json shared : text.empty() ? json::array() : json::parse(text)) {
        const json group = shared.at("vectors");
        shared.erase("vectors");
        for (const json &vector : group) {
            vectors.push_back(shared);
            vectors.back().update(vector);
        }
    }
    EXPECT_FALSE(vectors.empty()) << "no vectors in " << name;
    return vectors;
}

} // namespace velnor::test
