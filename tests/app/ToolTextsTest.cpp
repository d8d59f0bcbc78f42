#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "BuiltinEnglish.h"
#include "app/PackTexts.h"
#include "app/ToolTexts.h"

namespace velnor {
namespace {

using test::AppFolder;

TEST(ToolTexts, FollowTheConfiguredLanguageAndStoreNothing) {
    AppFolder folder;
    folder.install("en");
    folder.install("fr");
    folder.writeIni("[Language]\nName=Fran\xC3\xA7"
                    "ais\n");
    const auto texts = loadToolTexts(folder.paths());
    EXPECT_EQ(texts->get(8045), "Connexion");
    EXPECT_FALSE(folder.settingsExist());
}

TEST(ToolTexts, FallBackToTheEnglishPackThenToTheBuiltInTable) {
    AppFolder folder;
    folder.install("en");
    folder.writeSettings(R"(<settings><section name="Configuration"><section name="Language">)"
                         R"(<key name="Name">Deutsch</key></section></section></settings>)");
    {
        const auto english = loadToolTexts(folder.paths());
        const auto *pack = dynamic_cast<const PackTexts *>(english.get());
        ASSERT_NE(pack, nullptr);
        EXPECT_EQ(pack->pack()->file(), folder.paths().fallbackPack());
    } // unloaded: a pack still in use would be found again by its name

    std::filesystem::remove_all(folder.paths().langDir);
    const auto builtin = loadToolTexts(folder.paths());
    EXPECT_NE(dynamic_cast<const BuiltinEnglishTexts *>(builtin.get()), nullptr);
    EXPECT_STREQ(builtin->find(8001), builtin_en::langString(8001));
    EXPECT_STREQ(builtin->find(8045), "Connect");
}

} // namespace
} // namespace velnor
