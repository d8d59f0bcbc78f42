#include <nlohmann/json.hpp>

#include "CliFixture.h"
#include "base/TextIds.h"
#include "reader/SimulatedDriver.h"

namespace velnor {
namespace {

using CliRead = test::CliFixture;

// no-card-profiles.json: a card profile that gives no card says why in every command: a missing
// file is an empty reader (3); one that is no card, or far too large to be one, is refused (1).
// Without a folder of the user's own for its backups, no card command starts.
TEST_F(CliRead, ProfileThatGivesNoCardSaysWhy) {
    for (const auto &c : test::loadVectors("cli/no-card-profiles.json")) {
        const std::string path = (dir / c["profile"].get<std::string>()).string();
        const std::string reason = c["reason"];
        const int status = c["status"];
        if (c.contains("content")) {
            test::writeFile(path, c["content"].dump());
        }
        if (c.contains("size")) {
            test::writeFile(path, "");
            std::filesystem::resize_file(path, c["size"]);
        }
        for (const std::vector<std::string> &command :
             {std::vector<std::string>{"info"}, {"read", "phonebook"}, {"pin", "verify", "1234"}}) {
            SCOPED_TRACE(path + " " + command[0]);
            std::vector<std::string> args{"--reader", "sim:" + path};
            args.insert(args.end(), command.begin(), command.end());
            EXPECT_EQ(run(args), status);
            EXPECT_NE(err.str().find(reason), std::string::npos) << err.str();
        }
        EXPECT_EQ(run({"card", "serve", path}), status);
        EXPECT_NE(err.str().find(reason), std::string::npos) << err.str();
    }
    // Without pcscd a search says how to start it.
    struct NoService : SimulatedDriver {
        std::vector<ReaderEntry> ListReaders() override { return {}; }
        std::optional<std::string> FindDeviceEntry() override { return std::nullopt; }
        bool serviceMissing() const override { return true; }
    };
    makeDriver = [] { return std::make_unique<NoService>(); };
    for (const std::string command : {"readers", "info"}) {
        EXPECT_EQ(run({command}), cli::NoCard);
        EXPECT_EQ(err.str(), "velnor-cli: " + texts.get(text::PcscdNotRunning) + "\n") << command;
    }
    makeDriver = nullptr;
    // A PC/SC reader named but not attached is reported in the window's words.
    EXPECT_EQ(run({"--reader", "No Such Reader 00 00", "info"}), cli::NoCard);
    EXPECT_EQ(err.str(), "velnor-cli: No card reader found\n");
    dataDir.clear();
    EXPECT_EQ(onCard({"read", "phonebook"}), cli::Refused);
    EXPECT_NE(err.str().find("set HOME"), std::string::npos) << err.str();
}

// Each card command connects once: choosing the reader, opening the card, its PIN and the
// records all run on the one handle opened first.
TEST_F(CliRead, EachCardCommandConnectsOnce) {
    struct CountingDriver : SimulatedDriver {
        CountingDriver(const std::string &path, int &counter)
            : SimulatedDriver(path), opens(counter) {}
        int OpenRX730X(const std::string &path) override {
            ++opens;
            return SimulatedDriver::OpenRX730X(path);
        }
        int &opens;
    };
    int opens = 0;
    makeDriver = [&] { return std::make_unique<CountingDriver>(reader, opens); };
    for (const std::vector<std::string> &words : {std::vector<std::string>{"read", "phonebook"},
                                                  {"read", "messages"},
                                                  {"info"},
                                                  {"pin", "enable", "1234"},
                                                  {"--pin", "1234", "read", "phonebook"}}) {
        opens = 0;
        EXPECT_EQ(onCard(words), cli::Done) << err.str();
        EXPECT_EQ(opens, 1) << words[0] << ' ' << words.back();
    }
}

// codec-commands.json: what the decode and encode commands print, as the fields of their JSON
// or as the whole output.
TEST_F(CliRead, CodecCommandsGiveTheRecordsFields) {
    for (const auto &c : test::loadVectors("cli/codec-commands.json")) {
        SCOPED_TRACE(c["args"].dump());
        std::vector<std::string> args;
        for (const auto &arg : c["args"]) {
            args.push_back(test::textOf(arg));
        }
        if (c.contains("from")) {
            ASSERT_EQ(run(c["from"]), cli::Done) << err.str();
            args.push_back(out.str().substr(0, out.str().find('\n')));
        }
        EXPECT_EQ(run(args), c.value("status", cli::Done)) << err.str();
        EXPECT_NE(err.str().find(c.value("err", "")), std::string::npos) << err.str();
        if (c.contains("out")) {
            EXPECT_EQ(out.str(), c["out"].get<std::string>() + "\n");
        }
        const nlohmann::json fields = c.value("fields", nlohmann::json::object());
        for (const auto &[name, value] : fields.items()) {
            EXPECT_EQ(nlohmann::json::parse(out.str())[name], value) << name;
        }
    }
}

} // namespace
} // namespace velnor
