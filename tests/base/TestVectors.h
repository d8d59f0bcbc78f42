#pragma once

// Test vectors kept as data: JSON files under tests/vectors/ of the source tree.

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

// The vectors of one file, found in the tree that VELNOR_TEST_SOURCE names (CTest sets it). A
// file is a list of groups, each with its "vectors" and the members they share, such as the
// "source" they come from; every vector gets its group's members unless it has its own.
inline std::vector<json> loadVectors(const std::string &name) {
    const char *tree = std::getenv("VELNOR_TEST_SOURCE");
    std::ifstream in(std::string(tree ? tree : ".") + "/tests/vectors/" + name);
    std::vector<json> vectors;
    for (json shared : in ? json::parse(in) : json::array()) {
        const json group = shared.at("vectors");
        shared.erase("vectors");
        for (const json &vector : group) {
            vectors.push_back(shared);
            vectors.back().update(vector);
        }
    }
    EXPECT_FALSE(vectors.empty()) << "no vectors in " << name << " under VELNOR_TEST_SOURCE";
    return vectors;
}

} // namespace velnor::test
