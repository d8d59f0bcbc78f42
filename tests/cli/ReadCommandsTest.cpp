#include <nlohmann/json.hpp>

#include "CliFixture.h"

namespace velnor {
namespace {

using CliRead = test::CliFixture;

TEST_F(CliRead, ReadsBothListsOfTheDemoCard) {
    ASSERT_EQ(onCard({"read", "phonebook"}), cli::Done) << err.str();
    EXPECT_EQ(out.str().rfind("No.,Name,Number,\r\n\"1\",", 0), 0u);
    EXPECT_NE(out.str().find("\"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xD0\x9F\xD0\xB5\xD1\x82\xD1\x80"
                             "\xD0\xBE\xD0\xB2\",\"+79161234567\","), // "Иван Петров"
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "Phone.fph"));

    ASSERT_EQ(onCard({"read", "messages", "-o", (dir / "m.fsm").string()}), cli::Done);
    const std::string messages = test::readFile(dir / "m.fsm");
    EXPECT_EQ(messages.rfind("No.,Status,Number,Time,Text,\r\n", 0), 0u);
    EXPECT_NE(messages.find("\"Not sent\""), std::string::npos);
}

TEST_F(CliRead, ExitStatusesSayWhatWentWrong) {
    EXPECT_EQ(run({"read"}), cli::Usage);
    EXPECT_EQ(run({"frobnicate"}), cli::Usage);
    EXPECT_EQ(run({"--reader", "sim:" + (dir / "none.json").string(), "read", "phonebook"}),
              cli::NoCard);
    EXPECT_NE(err.str().find("does not answer"), std::string::npos);
    EXPECT_EQ(run({"decode", "adn", "41FF"}), cli::Refused);
    EXPECT_EQ(run({"decode", "pdu", "0"}), cli::Usage);
}

TEST_F(CliRead, DecodesAPhonebookRecordAsJson) {
    ASSERT_EQ(run({"--json", "decode", "adn",
                   "80041004390440043D04300441FFFFFF07919471101032F4FFFFFFFFFFFF"}),
              cli::Done)
        << err.str();
    const nlohmann::json entry = nlohmann::json::parse(out.str());
    EXPECT_EQ(entry["coding"], "0x80");
    EXPECT_EQ(entry["name"], "\u0410\u0439\u0440\u043d\u0430\u0441");
    EXPECT_EQ(entry["number"], "+49170101234");
}

TEST_F(CliRead, EncodedMessageDecodesBackWithItsFields) {
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
                   "0791947101670000"
                   "04"
                   "0A919471214365"
                   "0000"
                   "80402131540200"
                   "05E8329BFD06"}),
              cli::Done);
    EXPECT_EQ(nlohmann::json::parse(out.str())["time"], "2008-04-12 13:45:20");
}

} // namespace
} // namespace velnor
