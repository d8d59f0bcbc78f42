#pragma once

#include <gtest/gtest.h>

#include <string>

#include "card/SimulatedDriver.h"
#include "simcard/ProfileJson.h"

namespace velnor::test {

// ICCID of the watch tests' card: the file holds 98 10 32 54 ..., BCD with the low nibble first.
inline const std::string kWatchedIdentity = "89012345678901234567";

// A card with an ICCID and CHV1 (code 1234, unblock code 12345678) on or off.
inline CardProfile watchedCard(bool chv1Enabled,
                               const std::string &iccidHex = "98103254769810325476") {
    ProfileResult loaded = parseCardProfile(std::string(R"({"chv1": {"enabled": )") +
                                            (chv1Enabled ? "true" : "false") +
                                            R"(, "code": "1234", "unblockCode": "12345678"},
            "files": [{"path": "3F00/2FE2", "data": ")" +
                                            iccidHex + R"("}]})");
    EXPECT_TRUE(loaded.profile) << loaded.error;
    return std::move(*loaded.profile);
}

inline void setCardQuirks(SimHost &card, const CardQuirks &quirks) {
    card.withCard([&](VirtualSim &sim) { sim.setQuirks(quirks); });
}

} // namespace velnor::test
