#pragma once

#include <gtest/gtest.h>

#include <string>

#include "card/SimulatedDriver.h"
#include "simcard/ProfileJson.h"

namespace velnor::test {

// A small card: ICCID, a phonebook of 5 records of 30 bytes (record 3 "John"), CHV1 1234
// enabled with unblock code 12345678.
inline CardProfile cardProfile() {
    ProfileResult loaded = parseCardProfile(R"({
  "chv1": {"enabled": true, "code": "1234", "unblockCode": "12345678"},
  "files": [
    {"path": "3F00/2FE2", "data": "98103254769810325476"},
    {"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 5,
     "records": ["", "", "4A6F686EFFFFFFFFFFFFFFFFFFFFFFFF0681214365870FFFFF"]}
  ]
})");
    EXPECT_TRUE(loaded.profile) << loaded.error;
    return std::move(*loaded.profile);
}

// A device path of its own for each test, so that tests never share a card.
inline std::string testDevicePath() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("sim:memory/") + info->test_suite_name() + "." + info->name();
}

// A simulated reader holding a card in memory, and one open handle on it.
class SimulatedReader : public ::testing::Test {
protected:
    void SetUp() override {
        card = SimulatedCards::instance().insertInMemory(path, cardProfile());
        handle = driver.OpenRX730X(path);
        ASSERT_NE(handle, -1) << driver.lastError();
    }
    void TearDown() override {
        driver.CloseHandle(handle);
        SimulatedCards::instance().remove(path);
    }

    std::string path = testDevicePath();
    SimulatedDriver driver{path};
    std::shared_ptr<SimHost> card;
    int handle = -1;
};

} // namespace velnor::test
