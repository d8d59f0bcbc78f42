#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "SimTestSupport.h"
#include "codec/CMyTools.h"
#include "support/TempDir.h"

namespace velnor::test {
namespace {

struct BadProfile {
    const char *json;
    const char *error; // a part of the sentence expected
};

void PrintTo(const BadProfile &profile, std::ostream *out) {
    *out << profile.json;
}

class BadProfiles : public ::testing::TestWithParam<BadProfile> {};

TEST_P(BadProfiles, AreRefusedWithOneClearSentence) {
    ProfileResult result;
    ASSERT_NO_THROW(result = parseCardProfile(GetParam().json));
    EXPECT_FALSE(result.profile);
    EXPECT_NE(result.error.find(GetParam().error), std::string::npos) << "got: " << result.error;
    ASSERT_FALSE(result.error.empty());
    EXPECT_EQ(result.error.back(), '.');
    EXPECT_EQ(result.error.find('\n'), std::string::npos);
}

#define FILE_ENTRY(entry) "{\"files\": [" entry "]}"

INSTANTIATE_TEST_SUITE_P(
    Table, BadProfiles,
    ::testing::Values(
        BadProfile{"", "not valid JSON (line 1, column 1)"},
        BadProfile{"{\n  \"atr\": \"3B00\",\n  oops\n}", "not valid JSON (line 3"},
        BadProfile{"{\"atr\": \"3B\xC3\x28\"}", "not valid JSON"},
        BadProfile{"[]", "The card profile is not a JSON object."},
        // Found by fuzzing: a number beyond 64 bits threw out of the reader.
        BadProfile{R"({"chv1": {"attempts": 7267656E205765691}})", "number too large"},
        BadProfile{R"({"atr": 1E999})", "number too large"},
        BadProfile{R"({"atr": "3B9G"})", "\"atr\" is not hexadecimal bytes"},
        BadProfile{R"({"atr": "3B9"})", "\"atr\" is not hexadecimal bytes"},
        BadProfile{R"({"atr": "00"})", "not an answer to reset"},
        // ISO/IEC 7816-3, 8.2: what T0 and TDi announce must be there, TCK must check.
        BadProfile{
            R"({"atr": "3B9F95801FC78031E073FE211B63E208A883009086"})",
            "announces 15 historical bytes and the check byte TCK in 22 bytes, but holds 21"},
        BadProfile{R"({"atr": "3B02AA"})", "announces 2 historical bytes in 4 bytes, but holds 3"},
        BadProfile{R"({"atr": "3B80"})", "ends inside its interface bytes"},
        BadProfile{R"({"atr": "3B9F95801FC78031E073FE211B63E208A88300900087"})",
                   "check byte TCK that does not make"},
        BadProfile{R"({"atr": 59})", "\"atr\" is not a text"},
        BadProfile{R"({"atr": "3B00", "fles": []})", "unknown member \"fles\""},
        BadProfile{R"({"files": {}})", "\"files\" is not a list"},
        BadProfile{R"({"files": [42]})", "Entry 1 of \"files\" is not a JSON object."},
        BadProfile{FILE_ENTRY(R"({"data": "00"})"), "Entry 1 of \"files\" has no \"path\""},
        BadProfile{FILE_ENTRY(R"({"path": "7F10/6F3A", "data": "00"})"), "is not of the form"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00", "data": "00"})"), "is not of the form"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/6F3A/6F3C", "data": "00"})"),
                   "goes through 6F3A, which cannot be a directory"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/3F00"})"), "the master file can only be"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/2FE2", "data": "00"},
                                 {"path": "3F00/2FE2/6F3A", "data": "00"})"),
                   "3F00/2FE2 is not a directory"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/2FE2", "data": "00"},
                                 {"path": "3F00/2fe2", "data": "01"})"),
                   "File 3F00/2FE2 is listed twice."},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10"}, {"path": "3F00/7F10"})"), "listed twice"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10", "data": "00"})"),
                   "File 3F00/7F10: unknown member \"data\"."},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLenght": 30})"),
                   "unknown member \"recordLenght\""},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A"})"),
                   "needs \"data\", \"size\" or \"recordLength\""},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLength": 0})"),
                   "\"recordLength\" is not a whole number from 1 to 255"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLength": "30"})"),
                   "from 1 to 255"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLength": 30,
                                  "recordCount": -1})"),
                   "\"recordCount\" is not a whole number from 0 to 254"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLength": 2,
                                  "records": ["AABB", "AABBCC"]})"),
                   "record 2 is 3 bytes long, longer than the record length 2"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLength": 2,
                                  "records": ["ZZ"]})"),
                   "File 3F00/7F10/6F3A: record 1 is not hexadecimal bytes."},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLength": 2,
                                  "records": "AABB"})"),
                   "\"records\" is not a list"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLength": 2, "recordCount": 1,
                                  "records": ["", ""]})"),
                   "there are 2 records, more than \"recordCount\" 1"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/7F10/6F3A", "recordLength": 2, "data": "00"})"),
                   "takes \"records\", not \"data\""},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/2FE2", "data": "00", "records": []})"),
                   "need \"recordLength\""},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/2FE2", "data": "0011", "size": 1})"),
                   "\"data\" is longer than \"size\""},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/2FE2", "data": "00", "fill": "FFFF"})"),
                   "\"fill\" must be one byte"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/2FE2", "data": "00", "read": "CHV3"})"),
                   "\"read\" must be one of"},
        BadProfile{FILE_ENTRY(R"({"path": "3F00/2FE2", "data": "00", "invalidated": 1})"),
                   "\"invalidated\" is not true or false"},
        BadProfile{R"({"chv1": "1234"})", "CHV1 is not a JSON object."},
        BadProfile{R"({"chv1": {"unblockCode": "12345678"}})", "CHV1: \"code\" is missing."},
        BadProfile{R"({"chv1": {"code": "123456789", "unblockCode": "1"}})",
                   "\"code\" is longer than 8 characters"},
        BadProfile{R"({"chv1": {"code": "1234", "codeHex": "31", "unblockCode": "1"}})",
                   "give \"code\" or \"codeHex\", not both"},
        BadProfile{R"({"chv1": {"code": "1234", "unblockCode": "1", "attempts": 4}})",
                   "\"attempts\" is not a whole number from 0 to 3"},
        BadProfile{R"({"chv1": {"code": "1234", "unblockCode": "1", "maxAttempts": 16}})",
                   "from 1 to 15"},
        BadProfile{R"({"chv1": {"code": "1234", "unblockCode": "1", "enabled": "yes"}})",
                   "\"enabled\" is not true or false"},
        BadProfile{R"({"quirks": {"pulled": "yes"}})", "Quirks: \"pulled\" is not true or false"},
        BadProfile{R"({"quirks": {"failAfter": 3}})", "Quirks: unknown member \"failAfter\""}),
    [](const ::testing::TestParamInfo<BadProfile> &info) {
        return "Profile" + std::to_string(info.index);
    });

TEST(ProfileLimits, RecordsBeyondTheLastRecordNumberAreRefused) {
    std::string records = "\"\"";
    for (int i = 1; i < 255; ++i) {
        records += ",\"\"";
    }
    const ProfileResult result = parseCardProfile(
        R"({"files": [{"path": "3F00/7F10/6F3A", "recordLength": 1, "records": [)" + records +
        "]}]}");
    EXPECT_EQ(result.error,
              "File 3F00/7F10/6F3A: there are 255 records, more than a file can have (254).");
}

TEST(ProfileDefaults, FillPadsRecordsAndMissingRecords) {
    ProfileResult loaded = parseCardProfile(FILE_ENTRY(
        R"({"path": "3F00/7F10/6F3C", "recordLength": 4, "recordCount": 3, "fill": "00",
            "records": ["01AA"]},
           {"path": "3F00/7F10/6F3A", "recordLength": 3, "records": ["41", ""]})"));
    ASSERT_TRUE(loaded.profile) << loaded.error;
    VirtualSim sim(std::move(*loaded.profile));
    EXPECT_EQ(*sim.record("3F00/7F10/6F3C", 1), (Bytes{0x01, 0xAA, 0x00, 0x00}));
    EXPECT_EQ(*sim.record("3F00/7F10/6F3C", 3), Bytes(4, 0x00));
    EXPECT_EQ(*sim.record("3F00/7F10/6F3A", 1), (Bytes{0x41, 0xFF, 0xFF}));
    EXPECT_EQ(sim.files()
                  .description(*sim.files().find(std::vector<uint16_t>{0x3F00, 0x7F10, 0x6F3A}))
                  .recordCount,
              2u)
        << "without recordCount, the records given";
    EXPECT_FALSE(sim.record("3F00/7F10/6F3A", 3));
}

TEST(ProfileDefaults, ChvCountersStartFull) {
    const CardProfile card = smallProfile();
    EXPECT_TRUE(card.chv1.initialised);
    EXPECT_TRUE(card.chv1.enabled);
    EXPECT_EQ(card.chv1.attemptsLeft, 3);
    EXPECT_EQ(card.chv1.unblockAttemptsLeft, 10);
    EXPECT_EQ(card.chv1.code, chvCodeFromText("1234"));
}

TEST(ProfileDefaults, AtrDefaultsToTheDemoCardsWellFormedOne) {
    // Without "atr", and with the demo card's answer to reset as earlier versions wrote it.
    for (const char *json : {"{}", R"({"atr": "3B9F95801FC78031E073FE211B63E208A8830090"})"}) {
        ProfileResult loaded = parseCardProfile(json);
        ASSERT_TRUE(loaded.profile) << loaded.error;
        const Bytes &atr = loaded.profile->atr;
        EXPECT_EQ(CMyTools::hex2asc(atr.data(), atr.size()), DefaultAtrHex);
        // TCK makes the exclusive-or of T0 to TCK zero (ISO/IEC 7816-3, 8.2.5).
        EXPECT_EQ(std::accumulate(atr.begin() + 1, atr.end(), 0, std::bit_xor<>()), 0);
        EXPECT_FALSE(loaded.profile->chv1.initialised);
    }
}

void expectSameCard(const CardProfile &a, const CardProfile &b) {
    EXPECT_EQ(a.atr, b.atr);
    EXPECT_EQ(a.chv1, b.chv1);
    EXPECT_EQ(a.quirks, b.quirks);
    ASSERT_EQ(a.files.nodeCount(), b.files.nodeCount());
    for (CardFileSystem::Node node = 0; node < a.files.nodeCount(); ++node) {
        const FileDescription &x = a.files.description(node);
        const FileDescription &y = b.files.description(node);
        EXPECT_EQ(a.files.pathText(node), b.files.pathText(node));
        EXPECT_EQ(x.kind, y.kind);
        EXPECT_EQ(x.structure, y.structure);
        EXPECT_EQ(x.bodySize(), y.bodySize());
        EXPECT_EQ(x.recordLength, y.recordLength);
        EXPECT_EQ(x.read, y.read);
        EXPECT_EQ(x.update, y.update);
        EXPECT_EQ(x.fill, y.fill);
        EXPECT_EQ(x.invalidated, y.invalidated);
        EXPECT_EQ(a.files.content(node), b.files.content(node)) << a.files.pathText(node);
    }
}

TEST(ProfileRoundTrip, WrittenProfileReadsBackToTheSameCard) {
    ProfileResult loaded = parseCardProfile(R"({
  "atr": "3B0211AA",
  "chv1": {"enabled": false, "codeHex": "00FF01", "attempts": 1, "maxAttempts": 5,
           "unblockCode": "87654321", "unblockAttempts": 0},
  "files": [
    {"path": "3F00/2FE2", "data": "1122FFFF", "size": 6, "read": "NEV", "update": "ALW"},
    {"path": "3F00/2F05", "data": "", "size": 2, "fill": "00", "invalidated": true},
    {"path": "3F00/7F20"},
    {"path": "3F00/7F10/5F3A/4F30", "recordLength": 3, "recordCount": 4,
     "records": ["", "FFFF01"]},
    {"path": "3F00/7F10/6F3C", "recordLength": 4, "recordCount": 2, "fill": "00",
     "records": ["0100FF00"]}
  ],
  "quirks": {"drops82Coding": true, "failAtCommand": 7, "loseAnswerAtCommand": 9,
             "answerDelayMs": 5}
})");
    ASSERT_TRUE(loaded.profile) << loaded.error;
    const std::string written = writeCardProfile(*loaded.profile);
    ProfileResult again = parseCardProfile(written);
    ASSERT_TRUE(again.profile) << again.error << "\n" << written;
    expectSameCard(*loaded.profile, *again.profile);
    EXPECT_EQ(writeCardProfile(*again.profile), written);
}

TEST(ProfileRoundTrip, CodeThatIsNotTextIsWrittenAsHex) {
    CardProfile card = smallProfile();
    card.chv1.code = chvCodeFromText(std::string("\x01\xC3", 2));
    const std::string written = writeCardProfile(card);
    EXPECT_NE(written.find("\"codeHex\": \"01C3\""), std::string::npos) << written;
    ProfileResult again = parseCardProfile(written);
    ASSERT_TRUE(again.profile) << again.error;
    EXPECT_EQ(again.profile->chv1.code, card.chv1.code);
}

TEST(ProfileFiles, MissingOrUnreadableFileIsReported) {
    TempDir dir;
    const ProfileResult missing = loadCardProfile(dir / "none.json");
    EXPECT_FALSE(missing.profile);
    EXPECT_NE(missing.error.find("none.json cannot be opened"), std::string::npos);
    writeFile(dir / "bad.json", "{\"files\": 3}");
    const ProfileResult bad = loadCardProfile(dir / "bad.json");
    EXPECT_EQ(bad.error, "bad.json: The card profile: \"files\" is not a list.");
    const ProfileResult directory = loadCardProfile(dir.path());
    EXPECT_FALSE(directory.profile);
    EXPECT_FALSE(directory.error.empty());
}

} // namespace
} // namespace velnor::test
