#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/ConfigKeys.h"
#include "app/SettingsPass.h"

namespace velnor {
namespace {

using namespace config;
using test::AppFolder;

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

class SettingsPassTest : public ::testing::Test {
protected:
    SettingsPassTest() : ini(folder.root()) {
        settings.SetSettingsFile(folder.paths().settingsFile().string());
        ini.SetFile(kIniFileName);
    }

    AppFolder folder;
    CXMLSettings settings;
    CIniFile ini;
};

TEST(TimeStamp, IsYearMonthDayAndTimeWithLeadingZeros) {
    EXPECT_EQ(formatTimeStamp(at(2008, 4, 9, 13, 5, 7)), "2008,04,09,13:05:07");
    EXPECT_EQ(formatTimeStamp(at(2026, 12, 31, 0, 0, 0)), "2026,12,31,00:00:00");
}

TEST_F(SettingsPassTest, FirstRunFillsEveryKey) {
    folder.writeIni("[Customization]\nAppName=Kelvara SIM Editor\nCompanyName=Kelvara\n"
                    "[Language]\nLangID=2052\n");
    const SettingsPassResult result = LoadSettings(settings, ini, at(2008, 4, 9, 13, 5, 7));

    EXPECT_TRUE(result.titleChanged);
    EXPECT_EQ(result.title, "Kelvara SIM Editor");
    EXPECT_EQ(result.languageId, 2052) << "no language name stored: the INI identifier";
    EXPECT_EQ(folder.stored(kInfoPath, kTitle), "Kelvara SIM Editor");
    EXPECT_EQ(folder.stored(kInfoPath, kAuthor), "Arno Pell");
    EXPECT_EQ(folder.stored(kInfoPath, kCompany), "Kelvara");
    EXPECT_EQ(folder.stored(kInfoPath, kVersion), "1.0.04282007");
    EXPECT_EQ(folder.stored(kInfoRunTimePath, kFirstRunTime), "2008,04,09,13:05:07");
    EXPECT_EQ(folder.stored(kInfoRunTimePath, kLastRunTime), "2008,04,09,13:05:07");
    EXPECT_EQ(folder.storedLong(kRunCounterPath, kAlreadyRun), 1);
}

TEST_F(SettingsPassTest, LaterRunsKeepWhatIsFilledAndStampOnlyTheLastRun) {
    LoadSettings(settings, ini, at(2008, 4, 9, 13, 5, 7));
    folder.writeIni("[Customization]\nAppName=Changed\nCompanyName=Changed\n");
    settings.SetSettingString(kInfoPath, kAuthor, "Someone");

    const SettingsPassResult result = LoadSettings(settings, ini, at(2009, 1, 2, 3, 4, 5));
    EXPECT_TRUE(result.titleChanged) << "the title was empty and is filled now";
    EXPECT_EQ(result.title, "Changed");

    const SettingsPassResult third = LoadSettings(settings, ini, at(2010, 1, 2, 3, 4, 5));
    EXPECT_FALSE(third.titleChanged);
    EXPECT_EQ(third.title, "Changed");
    EXPECT_EQ(folder.stored(kInfoPath, kAuthor), "Someone");
    EXPECT_EQ(folder.stored(kInfoPath, kCompany), "Changed") << "an empty company is refilled";
    EXPECT_EQ(folder.stored(kInfoRunTimePath, kFirstRunTime), "2008,04,09,13:05:07");
    EXPECT_EQ(folder.stored(kInfoRunTimePath, kLastRunTime), "2010,01,02,03:04:05");
    EXPECT_EQ(folder.storedLong(kRunCounterPath, kAlreadyRun), 3);
}

class RunCounter : public SettingsPassTest,
                   public ::testing::WithParamInterface<std::pair<long, long>> {};

TEST_P(RunCounter, CountsInSixteenBits) {
    settings.SetSettingLong(kRunCounterPath, kAlreadyRun, GetParam().first);
    LoadSettings(settings, ini, at(2008, 1, 1, 0, 0, 0));
    EXPECT_EQ(folder.storedLong(kRunCounterPath, kAlreadyRun), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, RunCounter,
                         ::testing::Values(std::pair{0L, 1L}, std::pair{41L, 42L},
                                           std::pair{65535L, 65536L}, std::pair{65536L, 1L},
                                           std::pair{70000L, 4465L}, std::pair{-1L, 65536L}));

TEST_F(SettingsPassTest, LanguageIdentifierComesFromTheSettingsWhenANameIsStored) {
    settings.SetSettingString(kLanguagePath, kLanguageName, "Deutsch");
    folder.writeIni("[Language]\nLangID=2052\n");
    EXPECT_EQ(LoadSettings(settings, ini, at(2008, 1, 1, 0, 0, 0)).languageId, 0)
        << "the stored ID is missing: 0";
    settings.SetSettingLong(kLanguagePath, kLanguageId, 0x10407);
    EXPECT_EQ(LoadSettings(settings, ini, at(2008, 1, 1, 0, 0, 0)).languageId, 0x407);
}

TEST_F(SettingsPassTest, MissingIniLeavesTitleAndCompanyEmpty) {
    const SettingsPassResult result = LoadSettings(settings, ini, at(2008, 1, 1, 0, 0, 0));
    EXPECT_TRUE(result.titleChanged);
    EXPECT_EQ(result.title, "");
    EXPECT_EQ(result.languageId, 1033);
    EXPECT_EQ(folder.stored(kInfoPath, kCompany), "");
}

} // namespace
} // namespace velnor
