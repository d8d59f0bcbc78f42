#include "CliFixture.h"

#include "transfer/CardBackup.h"

namespace velnor {
namespace {

using CliWrite = test::CliFixture;

// A write says which rows it cuts and keeps the card's records in a backup, which restore puts
// back; files holding card contents are the user's alone. A backup of another card is refused
// before the PIN is offered; one that names no card goes onto the card in the reader only with
// --force. Without --reader the card is looked for where the backup was taken.
TEST_F(CliWrite, WriteThenRestoreGivesTheCardBack) {
    const std::string before = readPhonebook();
    test::writeFile(dir / "two.fpb",
                    oneRow + "\"2\",\"A name far too long for any card\",\"2\",\r\n");
    ASSERT_EQ(onCard({"--yes", "write", "phonebook", "-i", (dir / "two.fpb").string()}), cli::Done)
        << err.str();
    EXPECT_NE(err.str().find("These rows have a name or number the card cannot keep as it is"),
              std::string::npos);
    EXPECT_NE(err.str().find("when written: 2,"), std::string::npos);
    EXPECT_NE(err.str().find("Wrote 250 records, 2 of them with entries"), std::string::npos);
    const std::string backup = backupPath();
    ASSERT_FALSE(backup.empty());
    EXPECT_EQ(readPhonebook().rfind(oneRow, 0), 0u);
    for (const auto &file :
         {card, std::filesystem::path(backup), dir / "Phone.fph", dir / "phone.log"}) {
        EXPECT_EQ(std::filesystem::status(file).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << file;
    }

    const std::string text = test::readFile(backup);
    auto named = [&](const std::string &identity) {
        std::string copy = text;
        copy.replace(copy.find("89012345678901234567"), 20, identity);
        const std::string path = (dir / ("backup-" + identity + ".txt")).string();
        test::writeFile(path, copy);
        return path;
    };
    const std::string other = named("89012345678901234500");
    const std::string unknown = named("");
    ASSERT_EQ(onCard({"pin", "enable", "1234"}), cli::Done);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(onCard({"--pin", "0000", "restore", other}), cli::Refused);
        EXPECT_NE(err.str().find("is not the card 89012345678901234500"), std::string::npos);
    }
    EXPECT_EQ(onCard({"--pin", "1234", "restore", unknown}), cli::Refused);
    EXPECT_NE(err.str().find("restore with --force"), std::string::npos) << err.str();
    ASSERT_EQ(onCard({"info"}), cli::Done);
    EXPECT_NE(out.str().find("PIN: on, 3 attempts left"), std::string::npos) << out.str();

    EXPECT_EQ(run({"--pin", "1234", "restore", unknown, "--force"}), cli::Done) << err.str();
    EXPECT_NE(err.str().find("Writing the backup of no ICCID or IMSI that could be read "
                             "(3F00/7F10/6F3A, taken "),
              std::string::npos)
        << err.str();
    EXPECT_NE(out.str().find("Restored 250 records of 3F00/7F10/6F3A to the card "
                             "89012345678901234567"),
              std::string::npos);
    ASSERT_EQ(onCard({"pin", "disable", "1234"}), cli::Done);
    EXPECT_EQ(readPhonebook(), before);
}

// Wrong words, a file that cannot be read, or no --yes: nothing is written and the card keeps
// what it holds.
TEST_F(CliWrite, BadInputOrNoYesWritesNothing) {
    const std::string before = readPhonebook();
    test::writeFile(dir / "one.fpb", oneRow);
    EXPECT_EQ(onCard({"write", "phonebook", "-i", (dir / "one.fpb").string()}), cli::Refused);
    EXPECT_NE(err.str().find("--yes"), std::string::npos);
    EXPECT_EQ(onCard({"--yes", "write", "phonebook", "-i", (dir / "missing.fpb").string()}),
              cli::Refused);
    EXPECT_NE(err.str().find("cannot be opened"), std::string::npos);
    EXPECT_EQ(readPhonebook(), before);
    EXPECT_TRUE(cardBackupsOf(dir.path(), "89012345678901234567").empty());
    EXPECT_EQ(run({"restore", (dir / "card.json").string()}), cli::Refused);
    EXPECT_NE(err.str().find("not a Velnor card backup"), std::string::npos);
}

TEST_F(CliWrite, MessagesAreWrittenAsComposedMessages) {
    test::writeFile(dir / "m.fsm", oneMessage);
    ASSERT_EQ(onCard({"--yes", "write", "messages", "-i", (dir / "m.fsm").string()}), cli::Done)
        << err.str();
    ASSERT_EQ(onCard({"read", "messages"}), cli::Done);
    EXPECT_EQ(out.str(), "No.,Status,Number,Time,Text,\r\n"
                         "\"1\",\"Not sent\",\"+4917123456\",\"\",\"hello there\",\r\n");
}

TEST_F(CliWrite, ListImportJoinsFilesIntoOneList) {
    test::writeFile(dir / "a.fpb", oneRow);
    test::writeFile(dir / "b.fpb", "No.,Name,Number,\r\n\"1\",\"Second\",\"2\",\r\n"
                                   "\"2\",\"A name far too long for any card\",\"3\",\r\n");
    ASSERT_EQ(withoutCard({"list", "import", "phonebook", (dir / "a.fpb").string(),
                           (dir / "b.fpb").string()}),
              cli::Done);
    EXPECT_EQ(out.str(), "No.,Name,Number,\r\n\"1\",\"Only one\",\"+4930123\",\r\n"
                         "\"2\",\"Second\",\"2\",\r\n"
                         "\"3\",\"A name far too long for any card\",\"3\",\r\n");
    EXPECT_NE(err.str().find("not checked"), std::string::npos);

    // With a card the lengths are checked against it.
    const auto output = dir / "joined.fpb";
    ASSERT_EQ(onCard({"list", "import", "phonebook", (dir / "a.fpb").string(),
                      (dir / "b.fpb").string(), "-o", output.string()}),
              cli::Done);
    EXPECT_NE(err.str().find((dir / "b.fpb").string() + ": These rows have a name or number"),
              std::string::npos);
    EXPECT_NE(err.str().find(": 3,"), std::string::npos);
    const std::string joined = test::readFile(output);

    // An existing file is replaced only with --yes.
    EXPECT_EQ(withoutCard(
                  {"list", "import", "phonebook", (dir / "a.fpb").string(), "-o", output.string()}),
              cli::Refused);
    EXPECT_EQ(test::readFile(output), joined);
    EXPECT_EQ(withoutCard({"--yes", "list", "import", "phonebook", (dir / "a.fpb").string(), "-o",
                           output.string()}),
              cli::Done);
    EXPECT_EQ(test::readFile(output), oneRow);

    EXPECT_EQ(withoutCard({"list", "import", "phonebook", (dir / "none.fpb").string()}),
              cli::Refused);
}

// A code page guessed is said; one named is taken without a word; a name the tool does not know
// is a usage error. A file that gives no rows never clears the card.
TEST_F(CliWrite, CodePagesAreSaidOrNamedAndNoRowsNeverClearTheCard) {
    const std::string header = "No.,Name,Number,\r\n";
    // "Иван Петров" in Windows-1251.
    test::writeFile(dir / "ru.fpb",
                    header + "\"1\",\"\xC8\xE2\xE0\xED \xCF\xE5\xF2\xF0\xEE\xE2\",\"1\",\r\n");
    const std::vector<std::string> import = {"list", "import", "phonebook",
                                             (dir / "ru.fpb").string(), "--encoding"};
    ASSERT_EQ(withoutCard({import.begin(), import.end() - 1}), cli::Done);
    EXPECT_EQ(out.str(), header + "\"1\",\"Иван Петров\",\"1\",\r\n");
    EXPECT_NE(err.str().find("read as windows-1251"), std::string::npos) << err.str();
    std::vector<std::string> named = import;
    named.push_back("CP1251");
    ASSERT_EQ(withoutCard(named), cli::Done);
    EXPECT_EQ(err.str().find("read as"), std::string::npos);
    named.back() = "martian";
    EXPECT_EQ(withoutCard(named), cli::Usage);
    EXPECT_NE(err.str().find("The encoding martian is not one velnor-cli reads; use one of UTF-8"),
              std::string::npos);

    test::writeFile(dir / "header.fpb", header);
    const std::string before = readPhonebook();
    EXPECT_EQ(onCard({"--yes", "write", "phonebook", "-i", (dir / "header.fpb").string()}),
              cli::Refused);
    EXPECT_NE(err.str().find("no rows"), std::string::npos) << err.str();
    EXPECT_EQ(readPhonebook(), before);
}

// The demo UICCs, answering class A0 and not: info counts every ADN set, a read lists all 280
// entries, a write of what was read keeps them, and restoring its backup, which holds every file
// of the USIM phonebook, gives the card back as it was.
TEST_F(CliWrite, UiccDemoCardsKeepTheirUsimPhonebookWhole) {
    for (const std::string kind : {"--usim", "--usim-only"}) {
        SCOPED_TRACE(kind);
        const std::filesystem::path uicc = dir / (kind + ".json");
        ASSERT_EQ(run({"card", "demo", kind, uicc.string()}), cli::Done);
        reader = "sim:" + uicc.string();
        // One PIN for class A0 and class 00: switched on by the one, presented by the other.
        ASSERT_EQ(onCard({"pin", "enable", "1234"}), cli::Done) << err.str();
        const nlohmann::json original = nlohmann::json::parse(test::readFile(uicc));
        ASSERT_EQ(onCard({"info"}), cli::Done) << err.str();
        EXPECT_NE(out.str().find("Phonebook: 300 records of 30 bytes"), std::string::npos);
        auto read = [&] {
            EXPECT_EQ(onCard({"--pin", "1234", "read", "phonebook"}), cli::Done) << err.str();
            return out.str();
        };
        const std::string list = read();
        EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 281);
        test::writeFile(dir / "read.fpb", list);
        ASSERT_EQ(onCard({"--pin", "1234", "--yes", "write", "phonebook", "-i",
                          (dir / "read.fpb").string()}),
                  cli::Done)
            << err.str();
        const std::string backup = backupPath();
        EXPECT_EQ(read(), list);
        ASSERT_EQ(onCard({"--pin", "1234", "restore", backup}), cli::Done) << err.str();
        EXPECT_NE(out.str().find("of 3F00/7F10/5F3A/4F3A and 15 more files to the card"),
                  std::string::npos)
            << out.str();
        SimulatedCards::instance().remove(reader);
        EXPECT_EQ(nlohmann::json::parse(test::readFile(uicc)), original);
    }
}

} // namespace
} // namespace velnor
