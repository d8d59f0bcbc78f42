#include "CliFixture.h"

#include "transfer/CardBackup.h"

namespace velnor {
namespace {

using CliWrite = test::CliFixture;

TEST_F(CliWrite, WriteThenRestoreGivesTheCardBack) {
    const std::string before = readPhonebook();
    test::writeFile(dir / "one.fpb", oneRow);
    ASSERT_EQ(onCard({"--yes", "write", "phonebook", "-i", (dir / "one.fpb").string()}), cli::Done)
        << err.str();
    const std::string backup = backupPath();
    ASSERT_FALSE(backup.empty());
    EXPECT_NE(err.str().find("Wrote 250 records, 1 of them with entries"), std::string::npos);
    EXPECT_EQ(readPhonebook(), oneRow);
    // The card profile, the card backup, the list backup and the log are the user's alone.
    for (const auto &file :
         {card, std::filesystem::path(backup), dir / "Phone.fph", dir / "phone.log"}) {
        EXPECT_EQ(std::filesystem::status(file).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
            << file;
    }

    // Without --reader the card is looked for where the backup was taken.
    ASSERT_EQ(run({"restore", backup}), cli::Done) << err.str();
    EXPECT_NE(out.str().find("Restored 250 records of 3F00/7F10/6F3A"), std::string::npos);
    EXPECT_EQ(readPhonebook(), before);
}

TEST_F(CliWrite, NothingIsWrittenWithoutYes) {
    const std::string before = readPhonebook();
    test::writeFile(dir / "one.fpb", oneRow);
    EXPECT_EQ(onCard({"write", "phonebook", "-i", (dir / "one.fpb").string()}), cli::Refused);
    EXPECT_NE(err.str().find("--yes"), std::string::npos);
    EXPECT_EQ(readPhonebook(), before);
    EXPECT_TRUE(cardBackupsOf(dir.path(), "89012345678901234567").empty());
}

TEST_F(CliWrite, BadInputIsRefusedWithAReason) {
    EXPECT_EQ(onCard({"write", "phonebook"}), cli::Usage);
    EXPECT_EQ(onCard({"write", "contacts", "-i", "x"}), cli::Usage);
    EXPECT_EQ(onCard({"--yes", "write", "phonebook", "-i", (dir / "missing.fpb").string()}),
              cli::Refused);
    EXPECT_NE(err.str().find("cannot be opened"), std::string::npos);
    EXPECT_EQ(run({"restore"}), cli::Usage);
    EXPECT_EQ(run({"restore", (dir / "card.json").string()}), cli::Refused);
    EXPECT_NE(err.str().find("not a Velnor card backup"), std::string::npos);
}

TEST_F(CliWrite, RestoreRefusesAnotherCard) {
    test::writeFile(dir / "one.fpb", oneRow);
    ASSERT_EQ(onCard({"--yes", "write", "phonebook", "-i", (dir / "one.fpb").string()}), cli::Done);
    std::string text = test::readFile(backupPath());
    text.replace(text.find("89012345678901234567"), 20, "89012345678901234500");
    test::writeFile(dir / "other.txt", text);
    EXPECT_EQ(onCard({"restore", (dir / "other.txt").string()}), cli::Refused);
    EXPECT_NE(err.str().find("is not the card 89012345678901234500"), std::string::npos);
    EXPECT_EQ(readPhonebook(), oneRow);
}

TEST_F(CliWrite, OverLongNamesAreReportedButWritten) {
    test::writeFile(dir / "long.fpb", "No.,Name,Number,\r\n\"1\",\"Ok\",\"1\",\r\n"
                                      "\"2\",\"A name far too long for any card\",\"2\",\r\n");
    ASSERT_EQ(onCard({"--yes", "write", "phonebook", "-i", (dir / "long.fpb").string()}),
              cli::Done);
    EXPECT_NE(err.str().find("These rows have a name too long for the card and will be cut "
                             "when written: 2,"),
              std::string::npos);
}

TEST_F(CliWrite, MessagesAreWrittenAsComposedMessages) {
    test::writeFile(dir / "m.fsm", "No.,Status,Number,Time,Text,\r\n"
                                   "\"1\",\"Read\",\"+4917123456\",\"x\",\"hello there\",\r\n");
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
    EXPECT_NE(err.str().find((dir / "b.fpb").string() + ": These rows have a name too long"),
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
    EXPECT_EQ(withoutCard({"list", "import", "phonebook"}), cli::Usage);
    EXPECT_EQ(run({"list", "export", "phonebook", "x"}), cli::Usage);
}

TEST_F(CliWrite, EncodePduGivesTheStoredImageAfterTheStatusByte) {
    ASSERT_EQ(run({"encode", "pdu", "--to", "+4917012", "--smsc", "+491710760000", "hi {x}"}),
              cli::Done);
    std::string hex = out.str();
    hex.pop_back();
    const std::optional<Bytes> stored = CMyTools::asc2hex(hex);
    ASSERT_TRUE(stored);
    SM_PARAM param;
    ASSERT_TRUE(CMyTools::gsmDecodePdu(stored->data(), stored->size(), param, false));
    EXPECT_EQ(param.numberType, 0x91);
    EXPECT_EQ(param.number, "4917012");
    EXPECT_EQ(param.smsc, "491710760000");
    EXPECT_EQ(param.text, "hi {x}");

    ASSERT_EQ(run({"encode", "pdu", "--cdma", "--to", "5551234", "hello"}), cli::Done);
    const Bytes record = CMyTools::encodesms("hello", "5551234");
    EXPECT_EQ(out.str(), CMyTools::hex2asc(record.data() + 1, record.size() - 1) + "\n");
    EXPECT_EQ(run({"encode", "pdu", "hello"}), cli::Usage);
}

} // namespace
} // namespace velnor
