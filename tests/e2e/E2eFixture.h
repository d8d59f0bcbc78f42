#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PcscHarness.h"
#include "reader/PcscDriver.h"
#include "support/CardFixture.h"
#include "support/TempDir.h"
#include "virtualcard/ProfileJson.h"

namespace velnor::test {

// A test through the real pcscd: skipped, with the reason, when there is no pcscd to use.
class ThroughPcscd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PcscHarness::instance().ready()) {
            GTEST_SKIP() << PcscHarness::instance().reason();
        }
    }
    // A test that stopped pcscd, or started it without readers, leaves it as it found it.
    void TearDown() override { PcscHarness::instance().restore(); }
    // Writes a profile file and gives its path.
    std::filesystem::path profile(const std::string &name, const std::string &json) {
        const std::filesystem::path path = dir / name;
        writeFile(path, json);
        return path;
    }

    TempDir dir;
};

} // namespace velnor::test
