#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace velnor::test {
namespace {

// Profiles (as JSON, or as text where they are not JSON) and a part of the one sentence that
// refuses each.
TEST(BadProfiles, AreRefusedWithOneClearSentence) {
    for (const json &c : loadVectors("virtualcard/bad-profiles.json")) {
        const std::string text =
            c.contains("text") ? c["text"].get<std::string>() : c["profile"].dump();
        SCOPED_TRACE(text.substr(0, 200));
        ProfileResult result;
        ASSERT_NO_THROW(result = parseCardProfile(text));
        EXPECT_FALSE(result.profile);
        EXPECT_NE(result.error.find(c["error"].get<std::string>()), std::string::npos)
            << "got: " << result.error;
        ASSERT_FALSE(result.error.empty());
        EXPECT_EQ(result.error.back(), '.');
        EXPECT_EQ(result.error.find('\n'), std::string::npos);
    }
}

// The text written for a profile with every member is the one kept beside it; read back and
// written again, it stays the same.
TEST(ProfileText, IsWrittenAsKeptAndReadsBackUnchanged) {
    const std::string kept = vectorText("virtualcard/every-member-written.json");
    for (const std::string &text : {vectorText("virtualcard/every-member.json"), kept}) {
        const ProfileResult read = parseCardProfile(text);
        ASSERT_TRUE(read.profile) << read.error;
        EXPECT_EQ(writeCardProfile(*read.profile), kept);
    }
}

TEST(ProfileFiles, MissingOrUnreadableFileIsReported) {
    TempDir dir;
    const ProfileResult missing = loadCardProfile(dir / "none.json");
    EXPECT_FALSE(missing.profile);
    EXPECT_EQ(missing.fault, ProfileFault::Missing);
    EXPECT_NE(missing.error.find("none.json cannot be opened"), std::string::npos);
    writeFile(dir / "bad.json", "{\"files\": 3}");
    const ProfileResult bad = loadCardProfile(dir / "bad.json");
    EXPECT_EQ(bad.error, "bad.json: The card profile: \"files\" is not a list.");
    const ProfileResult directory = loadCardProfile(dir.path());
    EXPECT_FALSE(directory.profile);
    EXPECT_EQ(directory.fault, ProfileFault::Unreadable);
    EXPECT_FALSE(directory.error.empty());
}

} // namespace
} // namespace velnor::test
