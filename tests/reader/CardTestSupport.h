#pragma once

#include <gtest/gtest.h>

#include <string>

#include "reader/SimulatedDriver.h"
#include "support/TestVectors.h"
#include "virtualcard/SimTestSupport.h"

namespace velnor::test {

// The ICCID of the tests' card: its file holds 98 10 32 54 ..., BCD with the low nibble first.
inline const std::string kIdentity = "89012345678901234567";

// The tests' card (test-card.json): that ICCID, a phonebook of 5 records of 30 bytes (record 3
// "John"), CHV1 1234 enabled with unblock code 12345678; the CHV1 members given, and more files.
// With UICC settings it is a UICC whose PIN1 is that CHV1.
inline CardProfile cardProfile(const json &chv1 = json::object(),
                               const json &moreFiles = json::array(), const json &uicc = json()) {
    json profile = json::parse(vectorText("reader/test-card.json"));
    profile["chv1"].update(chv1);
    if (!uicc.is_null()) {
        profile["uicc"] = uicc;
    }
    profile["files"].insert(profile["files"].end(), moreFiles.begin(), moreFiles.end());
    ProfileResult loaded = parseCardProfile(profile.dump());
    EXPECT_TRUE(loaded.profile) << loaded.error;
    return loaded.profile ? std::move(*loaded.profile) : CardProfile();
}

// A device path of its own for each test, so that tests never share a card.
inline std::string testDevicePath() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("sim:memory/") + info->test_suite_name() + "." + info->name();
}

inline void setCardQuirks(SimHost &card, const CardQuirks &quirks) {
    card.withCard([&](VirtualSim &sim) { sim.setQuirks(quirks); });
}

inline unsigned instructionsSent(SimHost &card, uint8_t instruction) {
    return card.withCard([&](VirtualSim &sim) { return sim.instructionCount(instruction); });
}

// A simulated reader holding the tests' card in memory, and one open handle on it.
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
