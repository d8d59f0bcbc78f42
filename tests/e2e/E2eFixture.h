#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PcscHarness.h"
#include "reader/PcscDriver.h"
#include "support/EnglishTexts.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "transfer/Session.h"
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

// Everything a window brings to the card operations, answering from scripts.
struct ScriptedWindow {
    explicit ScriptedWindow(CUSBOpKrnl &driver, const std::filesystem::path &dir)
        : env{driver, prompts, texts, status, commands, worker, progress, timing, dir, dir} {
        session.setTitles(texts);
    }

    EnglishTexts texts;
    ScriptedPrompts prompts;
    RecordingPanes panes;
    StatusLine status{panes, texts};
    RecordingCommands commands;
    CountingWorker worker;
    ScriptedProgress progress;
    Timing timing = Timing::none();
    Session session;
    Environment env;
};

} // namespace velnor::test
