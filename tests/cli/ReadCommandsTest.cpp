#include <nlohmann/json.hpp>

#include "CliFixture.h"
#include "reader/SimulatedDriver.h"

namespace velnor {
namespace {

using CliRead = test::CliFixture;

TEST_F(CliRead, ExitStatusesSayWhatWentWrong) {
    EXPECT_EQ(run({"read"}), cli::Usage);
    EXPECT_EQ(run({"frobnicate"}), cli::Usage);
    EXPECT_EQ(run({"decode", "adn", "41FF"}), cli::Refused);
    EXPECT_EQ(run({"decode", "pdu", "0"}), cli::Usage);
    EXPECT_EQ(run({"card", "serve"}), cli::Usage);
    EXPECT_EQ(run({"card", "serve", "card.json", "--port", "70000"}), cli::Usage);
    EXPECT_EQ(run({"card", "serve", "card.json", "--port", "x"}), cli::Usage);
}

// A card profile that gives no card says why in every command: a missing file is an empty reader
// (3); one that is no card, or far too large to be one, is refused (1). Without a folder of the
// user's own for its backups, no card command starts.
TEST_F(CliRead, ProfileThatGivesNoCardSaysWhy) {
    test::writeFile(dir / "bad.json", R"({"files": [{"path": "3F00/7F10/6F3A",
                                          "recordLength": 2, "records": ["ZZ"]}]})");
    test::writeFile(dir / "big.json", "");
    std::filesystem::resize_file(dir / "big.json", (16 << 20) + 1);
    const struct {
        std::filesystem::path profile;
        int status;
        std::string reason;
    } cases[] = {
        {dir / "none.json", cli::NoCard, "none.json cannot be opened: No such file or directory."},
        {dir / "bad.json", cli::Refused,
         "bad.json: File 3F00/7F10/6F3A: record 1 is not hexadecimal bytes."},
        {dir / "big.json", cli::Refused, "big.json is larger than 16 MiB"},
        {"/dev/zero", cli::Refused, "/dev/zero is larger than 16 MiB"},
    };
    for (const auto &c : cases) {
        const std::string path = c.profile.string();
        for (const std::vector<std::string> &command :
             {std::vector<std::string>{"info"}, {"read", "phonebook"}, {"pin", "verify", "1234"}}) {
            SCOPED_TRACE(path + " " + command[0]);
            std::vector<std::string> args{"--reader", "sim:" + path};
            args.insert(args.end(), command.begin(), command.end());
            EXPECT_EQ(run(args), c.status);
            EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
        }
        EXPECT_EQ(run({"card", "serve", path}), c.status);
        EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
    }
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
        CountingDriver(const std::string &path, int &opens) : SimulatedDriver(path), opens(opens) {}
        int OpenRX730X(const std::string &path) override {
            ++opens;
            return SimulatedDriver::OpenRX730X(path);
        }
        int &opens;
    };
    for (const std::vector<std::string> &words : {std::vector<std::string>{"read", "phonebook"},
                                                  {"read", "messages"},
                                                  {"info"},
                                                  {"pin", "enable", "1234"},
                                                  {"--pin", "1234", "read", "phonebook"}}) {
        std::vector<std::string> args{"--reader", reader};
        args.insert(args.end(), words.begin(), words.end());
        std::string error;
        const std::optional<cli::Options> options = cli::parseOptions(args, error);
        ASSERT_TRUE(options) << error;
        int opens = 0;
        cli::Context context{*options,
                             out,
                             err,
                             texts,
                             [&] { return std::make_unique<CountingDriver>(reader, opens); },
                             dataDir,
                             dir.path()};
        EXPECT_EQ(cli::runCommand(context), cli::Done) << err.str();
        EXPECT_EQ(opens, 1) << args[2] << ' ' << args.back();
    }
}

// Decoded records come as JSON with the fields the lists show; an encoded message decodes back
// to what was encoded; a text beyond one message is refused rather than cut.
TEST_F(CliRead, CodecCommandsGiveTheRecordsFields) {
    ASSERT_EQ(run({"--json", "decode", "adn",
                   "80041004390440043D04300441FFFFFF07919471101032F4FFFFFFFFFFFF"}),
              cli::Done)
        << err.str();
    const nlohmann::json entry = nlohmann::json::parse(out.str());
    EXPECT_EQ(entry["coding"], "0x80");
    EXPECT_EQ(entry["name"], "\u0410\u0439\u0440\u043d\u0430\u0441");
    EXPECT_EQ(entry["number"], "+49170101234");

    ASSERT_EQ(run({"encode", "pdu", "--to", "+4917012345", "--smsc", "+491710760000", "Grüße {x}"}),
              cli::Done);
    const std::string hex = out.str().substr(0, out.str().find('\n'));
    ASSERT_EQ(run({"--json", "decode", "pdu", hex, "--sent"}), cli::Done) << err.str();
    const nlohmann::json message = nlohmann::json::parse(out.str());
    EXPECT_EQ(message["number"], "4917012345");
    EXPECT_EQ(message["numberType"], 0x91);
    EXPECT_EQ(message["smsc"], "491710760000");
    EXPECT_EQ(message["text"], "Grüße {x}");
    EXPECT_EQ(message["time"], "");
    EXPECT_EQ(message["dcs"], 0);

    // A received message shows its time stamp the way the message list does.
    ASSERT_EQ(run({"--json", "decode", "pdu",
                   "0791947101670000040A919471214365000080402131540200"
                   "05E8329BFD06"}),
              cli::Done);
    EXPECT_EQ(nlohmann::json::parse(out.str())["time"], "2008-04-12 13:45:20");

    ASSERT_EQ(run({"encode", "pdu", "--cdma", "--to", "5551234", "hello"}), cli::Done);
    const Bytes record = CMyTools::encodesms("hello", "5551234");
    EXPECT_EQ(out.str(), CMyTools::hex2asc(record.data() + 1, record.size() - 1) + "\n");
    EXPECT_EQ(run({"encode", "pdu", "hello"}), cli::Usage);
    EXPECT_EQ(run({"encode", "pdu", "--to", "1", std::string(161, 'a')}), cli::Refused);
    EXPECT_NE(err.str().find("takes 161 septets, and one message holds 160"), std::string::npos);
    EXPECT_EQ(run({"encode", "pdu", "--to", "1", std::string(160, 'a')}), cli::Done);
}

} // namespace
} // namespace velnor
