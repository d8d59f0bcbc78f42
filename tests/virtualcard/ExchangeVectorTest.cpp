#include <gtest/gtest.h>

#include <sstream>

#include "SimTestSupport.h"
#include "codec/CodecTestSupport.h"
#include "virtualcard/VpcdFront.h"

namespace velnor::test {
namespace {

// Hexadecimal bytes with spaces anywhere between bytes; "FF*30" is 30 bytes FF.
Bytes exchangeBytes(const std::string &text) {
    Bytes bytes;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const size_t star = word.find('*');
        const Bytes part = bytesOf(word.substr(0, star));
        for (size_t i = star == std::string::npos ? 1 : std::stoul(word.substr(star + 1)); i > 0;
             --i) {
            bytes.insert(bytes.end(), part.begin(), part.end());
        }
    }
    return bytes;
}

// Runs one vector on a fresh card: every line "COMMAND -> ANSWER" ("reset" powers the card on,
// "none" is no answer at all). Over the vpcd transport, both sides are the bytes on the socket.
void runCase(const json &profile, bool vpcd, const json &exchanges) {
    ProfileResult loaded = parseCardProfile(profile.dump());
    ASSERT_TRUE(loaded.profile) << loaded.error;
    const auto card = SimHost::inMemory(std::move(*loaded.profile));
    VpcdSession session(*card);
    for (const std::string line : exchanges) {
        const size_t arrow = line.find("->");
        ASSERT_NE(arrow, std::string::npos) << line;
        const std::string command = line.substr(0, arrow);
        const std::string expected = line.substr(arrow + 2);
        const std::optional<Bytes> answer = vpcd ? session.receive(exchangeBytes(command))
                                            : command.starts_with("reset")
                                                ? card->powerOn()
                                                : card->transmit(exchangeBytes(command));
        EXPECT_EQ(answer ? toHex(*answer) : "none", expected.find("none") != std::string::npos
                                                        ? "none"
                                                        : toHex(exchangeBytes(expected)))
            << line;
    }
}

// What the card answers to each command of a vector: each runs on a fresh card of its group's
// profile, with the vector's own quirks.
TEST(ExchangeVectors, CardAnswersAsRecorded) {
    for (const char *file : {"status-words", "selection", "status-responses", "chv", "chv-absent",
                             "quirks", "vpcd", "profile-defaults", "uicc"}) {
        for (const json &vector : loadVectors("virtualcard/" + std::string(file) + ".json")) {
            SCOPED_TRACE(std::string(file) + ": " + vector["what"].get<std::string>());
            json profile = vector["profile"];
            profile["quirks"] = vector.value("quirks", json::object());
            runCase(profile, vector.value("transport", "") == "vpcd", vector["exchanges"]);
        }
    }
}

} // namespace
} // namespace velnor::test
