#pragma once

#include <gtest/gtest.h>

#include <sstream>

#include "cli/Commands.h"
#include "cli/DriverFactory.h"
#include "codec/CMyTools.h"
#include "reader/SimulatedCards.h"
#include "support/EnglishTexts.h"
#include "support/TempDir.h"
#include "support/TestVectors.h"
#include "transfer/CardBackup.h"

namespace velnor::test {

// velnor-cli run in-process against a demo card in a temporary folder, which is also its data
// and log folder.
class CliFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(run({"card", "demo", card.string()}), cli::Done);
        reader = "sim:" + card.string();
    }
    void TearDown() override { SimulatedCards::instance().remove(reader); }

    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        std::string error;
        const std::optional<cli::Options> options = cli::parseOptions(args, error);
        if (!options) {
            err << error;
            return cli::Usage;
        }
        cli::Context context{*options,
                             out,
                             err,
                             texts,
                             [&] { return makeDriver ? makeDriver() : cli::makeDriver(*options); },
                             dataDir,
                             dir.path()};
        return cli::runCommand(context);
    }
    int onCard(std::vector<std::string> args) {
        args.insert(args.begin(), {"--reader", reader});
        return run(std::move(args));
    }
    // A reader with no card in it, so that no card of the machine is asked.
    int withoutCard(std::vector<std::string> args) {
        args.insert(args.begin(), {"--reader", "sim:" + (dir / "none.json").string()});
        return run(std::move(args));
    }
    std::string readPhonebook() {
        EXPECT_EQ(onCard({"read", "phonebook"}), cli::Done) << err.str();
        return out.str();
    }
    int pin(std::vector<std::string> words) {
        words.insert(words.begin(), "pin");
        return onCard(std::move(words));
    }
    // The path after "Card backup: " on the standard output.
    std::string backupPath() {
        const std::string text = out.str();
        const size_t at = text.find("Card backup: ");
        return at == std::string::npos ? std::string()
                                       : text.substr(at + 13, text.find('\n', at) - at - 13);
    }

    TempDir dir;
    EnglishTexts texts;
    std::ostringstream out;
    std::ostringstream err;
    std::filesystem::path dataDir = dir.path();
    std::function<std::unique_ptr<CUSBOpKrnl>()> makeDriver; // the --reader one when not set
    std::filesystem::path card = dir / "card.json";
    std::string reader;
    const std::string oneRow = "No.,Name,Number,\r\n\"1\",\"Only one\",\"+4930123\",\r\n";
    const std::string oneMessage = "No.,Status,Number,Time,Text,\r\n"
                                   "\"1\",\"Read\",\"+4917123456\",\"x\",\"hello there\",\r\n";
};

} // namespace velnor::test
