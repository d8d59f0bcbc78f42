#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/ConfigKeys.h"
#include "app/SettingsPass.h"

namespace velnor {
namespace {

using namespace config;

std::tm at(const char *stamp) {
    std::tm time{};
    ::strptime(stamp, "%Y,%m,%d,%H:%M:%S", &time);
    return time;
}

class SettingsPassTest : public ::testing::Test {
protected:
    // Title, author, company, version, first and last run, run count, as stored.
    std::string bookkeeping() const {
        const std::pair<const char *, const char *> stamped[] = {{kInfoPath, kTitle},
                                                                 {kInfoPath, kAuthor},
                                                                 {kInfoPath, kCompany},
                                                                 {kInfoPath, kVersion},
                                                                 {kInfoRunTimePath, kFirstRunTime},
                                                                 {kInfoRunTimePath, kLastRunTime},
                                                                 {kRunCounterPath, kAlreadyRun}};
        std::string keys;
        for (const auto &[path, key] : stamped) {
            keys += folder.stored(path, key) + "|";
        }
        return keys;
    }

    test::AppFolder folder;
    CXMLSettings settings = folder.settings();
    CIniFile ini = folder.ini();
};

TEST_F(SettingsPassTest, FillsWhatIsEmptyStampsEveryRunAndCountsIt) {
    SettingsPassResult result = LoadSettings(settings, ini, at("2008,04,09,13:05:07"));
    EXPECT_TRUE(result.titleChanged);
    EXPECT_EQ(result.title, "");
    EXPECT_EQ(result.languageId, 1033) << "no INI";
    EXPECT_EQ(bookkeeping(), "|Arno Pell||1.0.04282007|2008,04,09,13:05:07|2008,04,09,13:05:07|1|");

    folder.writeIni("[Customization]\nAppName=Kelvara SIM Editor\nCompanyName=Kelvara\n"
                    "[Language]\nLangID=2052\n");
    settings.SetSettingString(kInfoPath, kAuthor, "Someone");
    result = LoadSettings(settings, ini, at("2009,11,02,03:04:05"));
    EXPECT_TRUE(result.titleChanged);
    EXPECT_EQ(result.title, "Kelvara SIM Editor");
    EXPECT_EQ(result.languageId, 2052) << "no language name stored: the INI identifier";
    EXPECT_EQ(bookkeeping(), "Kelvara SIM Editor|Someone|Kelvara|1.0.04282007|"
                             "2008,04,09,13:05:07|2009,11,02,03:04:05|2|");

    result = LoadSettings(settings, ini, at("2010,01,01,00:00:00"));
    EXPECT_FALSE(result.titleChanged);
    EXPECT_EQ(result.title, "Kelvara SIM Editor");
}

TEST_F(SettingsPassTest, CountsRunsInSixteenBits) {
    const std::pair<long, long> cases[] = {{65535, 65536}, {65536, 1}, {70000, 4465}, {-1, 65536}};
    for (const auto &[before, after] : cases) {
        settings.SetSettingLong(kRunCounterPath, kAlreadyRun, before);
        LoadSettings(settings, ini, at("2008,01,01,00:00:00"));
        EXPECT_EQ(folder.stored(kRunCounterPath, kAlreadyRun), std::to_string(after)) << before;
    }
}

} // namespace
} // namespace velnor
