#include "support/CardFixture.h"

#include "card/EfAdn.h"
#include "codec/CMyTools.h"
#include "support/CardRecord.h"
#include "virtualcard/ProfileJson.h"

namespace velnor::test {

void CardFixture::SetUp() {
    prompts.inTransaction = [this] { return driver.openTransactions() != 0; };
    session.reader.devicePath = path;
    session.reader.readerPresent = true;
    session.reader.readerCdmaCapable = true;
}

void CardFixture::TearDown() {
    SimulatedCards::instance().remove(path);
    EXPECT_EQ(driver.looseCommands(), 0u) << "every card command runs in a transaction";
    EXPECT_EQ(prompts.askedInTransaction, 0) << "no question while a transaction is open";
    EXPECT_TRUE(driver.balanced());
    EXPECT_EQ(driver.openTransactions(), 0);
}

void CardFixture::insertCard(const std::vector<TestFile> &files, bool chv1Enabled,
                             const nlohmann::json &uicc) {
    nlohmann::json profile = nlohmann::json::parse(R"({"chv1": {"code": "1234", "attempts": 3,
        "unblockCode": "12345678", "unblockAttempts": 10}})");
    profile["chv1"]["enabled"] = chv1Enabled;
    profile["files"] = identityFiles;
    for (const TestFile &file : files) {
        nlohmann::json &added =
            profile["files"].emplace_back(nlohmann::json{{"path", file.path},
                                                         {"recordLength", file.recordLength},
                                                         {"recordCount", file.recordCount},
                                                         {"fill", file.fill},
                                                         {"records", file.records}});
        if (!file.update.empty()) {
            added["update"] = file.update;
        }
        if (!file.sfi.empty()) {
            added["sfi"] = file.sfi;
        }
    }
    if (!uicc.is_null()) {
        profile["uicc"] = uicc;
        profile.erase("chv1");
    }
    ProfileResult result = parseCardProfile(profile.dump());
    ASSERT_TRUE(result.profile) << result.error;
    host = SimulatedCards::instance().insertInMemory(path, *result.profile);
}

void CardFixture::insertSmallCard(bool chv1Enabled, const char *iccid) {
    identityFiles[0]["data"] = iccid;
    insertCard({{kAdnPath, 30, 3, {adnRecord("Anna", "0301234")}},
                {kSmsPath, 176, 2, {smsRecord(1)}, "00"},
                {kSmspPath, 40, 1, {}}},
               chv1Enabled);
}

VirtualSim &CardFixture::card() {
    return host->withCard([](VirtualSim &sim) -> VirtualSim & { return sim; });
}

void CardFixture::setQuirks(const CardQuirks &quirks) {
    host->withCard([&](VirtualSim &sim) { sim.setQuirks(quirks); });
}

std::vector<std::string> CardFixture::cardRecords(const std::string &file, size_t count) {
    std::vector<std::string> records;
    for (size_t i = 1; i <= count; ++i) {
        const std::optional<Bytes> record =
            host->withCard([&](VirtualSim &sim) { return cardRecord(sim, file, i); });
        records.push_back(record ? CMyTools::hex2asc(record->data(), record->size()) : "");
    }
    return records;
}

std::vector<std::string> CardFixture::backupRecords(const std::filesystem::path &file) {
    std::string error;
    const std::optional<CardBackup> backup = loadCardBackup(file, error);
    EXPECT_TRUE(backup) << error;
    std::vector<std::string> records;
    for (const Bytes &record : backup ? backup->records : std::vector<Bytes>{}) {
        records.push_back(CMyTools::hex2asc(record.data(), record.size()));
    }
    return records;
}

void CardFixture::expectWorkerBack() {
    EXPECT_EQ(watcher.depth, 0);
    EXPECT_FALSE(watcher.unbalanced);
    EXPECT_FALSE(progress.open);
}

std::string adnRecord(const std::string &name, const std::string &number) {
    const Bytes record = EfAdn::encode(PhoneEntry{name, number}, 30, false);
    return CMyTools::hex2asc(record.data(), record.size());
}

std::string smsRecord(uint8_t statusByte) {
    const std::string record = CMyTools::hex2asc(&statusByte, 1) + "0791947101670000" + "04" +
                               "0A919471214365" + "0000" + "80402131540200" + "05E8329BFD06";
    return record + std::string(352 - record.size(), '0');
}

} // namespace velnor::test
