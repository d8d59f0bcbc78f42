#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "card/SimulatedCards.h"
#include "card/SimulatedDriver.h"
#include "codec/CMyTools.h"
#include "simcard/ProfileJson.h"
#include "support/EnglishTexts.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "transfer/CardReader.h"

namespace velnor::test {

// One linear fixed file of a test card.
struct TestFile {
    std::string path;
    int recordLength;
    int recordCount;
    std::vector<std::string> records; // hexadecimal
    std::string fill = "FF";
    std::string update{}; // the UPDATE access condition ("ADM"); empty: the card's default
};

// A card in a simulated reader of its own, with the lists and services of one window.
class ReadFixture : public ::testing::Test {
protected:
    void insertCard(const std::vector<TestFile> &files, bool chv1Enabled = false,
                    const std::string &extra = "");
    VirtualSim &card();
    std::optional<Bytes> cardRecord(const std::string &path, size_t number);
    void setQuirks(const CardQuirks &quirks);
    ReadOutcome read(CardFile file) { return readCard(session, env, file); }
    std::vector<std::string> column(const RowList &list, size_t c) const;

    TempDir dir;
    EnglishTexts texts;
    ScriptedPrompts prompts;
    RecordingPanes panes;
    StatusLine status{panes, texts};
    RecordingCommands commands;
    CountingWorker worker;
    ScriptedProgress progress;
    Timing timing = Timing::none();
    SimulatedDriver driver;
    Session session;
    Environment env{driver, prompts,  texts,  status,     commands,
                    worker, progress, timing, dir.path(), dir.path()};
    std::shared_ptr<SimHost> host;
    std::string devicePath;
    // The files the next card is told apart by, as profile JSON.
    std::string identityFiles = R"({"path": "3F00/2FE2", "data": "98103254769810325476"})";

    void SetUp() override;
    void TearDown() override;
};

// A phonebook record of 30 bytes (alpha length 16) with a GSM name and a national number.
std::string adnRecord(const std::string &name, const std::string &number);

// A stored SMS-DELIVER from +4917123456 with service centre +491710760000, time stamp
// 2008-04-12 13:45:20 and the text "hello", after the given status byte.
std::string deliverRecord(uint8_t statusByte);

} // namespace velnor::test
