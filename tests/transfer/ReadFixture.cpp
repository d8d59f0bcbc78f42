#include "ReadFixture.h"

#include <sstream>

#include "codec/CMyTools.h"
#include "sim/PhonebookRecord.h"

namespace velnor::test {

void ReadFixture::SetUp() {
    devicePath = "sim:" + (dir / "card.json").string();
    session.setTitles(texts);
    session.reader.devicePath = devicePath;
    session.reader.readerPresent = true;
    session.reader.readerCdmaCapable = true;
}

void ReadFixture::TearDown() {
    SimulatedCards::instance().remove(devicePath);
}

void ReadFixture::insertCard(const std::vector<TestFile> &files, bool chv1Enabled,
                             const std::string &extra) {
    std::ostringstream json;
    json << R"({"chv1": {"enabled": )" << (chv1Enabled ? "true" : "false")
         << R"(, "code": "1234", "attempts": 3, "unblockCode": "12345678", "unblockAttempts": 10},)"
         << R"("files": [)" << identityFiles;
    for (const TestFile &file : files) {
        json << (identityFiles.empty() && &file == files.data() ? "" : ", ") << R"({"path": ")"
             << file.path << R"(", "recordLength": )" << file.recordLength << R"(, "recordCount": )"
             << file.recordCount << R"(, "fill": ")" << file.fill
             << (file.update.empty() ? "" : R"(", "update": ")" + file.update)
             << R"(", "records": [)";
        for (size_t i = 0; i < file.records.size(); ++i) {
            json << (i ? ", " : "") << '"' << file.records[i] << '"';
        }
        json << "]}";
    }
    json << "]" << extra << "}";
    ProfileResult result = parseCardProfile(json.str());
    ASSERT_TRUE(result.profile) << result.error;
    host = SimulatedCards::instance().insertInMemory(devicePath, *result.profile);
}

VirtualSim &ReadFixture::card() {
    return host->withCard([](VirtualSim &sim) -> VirtualSim & { return sim; });
}

std::optional<Bytes> ReadFixture::cardRecord(const std::string &path, size_t number) {
    return host->withCard([&](VirtualSim &sim) { return sim.record(path, number); });
}

void ReadFixture::setQuirks(const CardQuirks &quirks) {
    host->withCard([&](VirtualSim &sim) { sim.setQuirks(quirks); });
}

std::vector<std::string> ReadFixture::column(const RowList &list, size_t c) const {
    std::vector<std::string> values;
    for (size_t row = 0; row < list.rowCount(); ++row) {
        values.push_back(list.cell(row, c));
    }
    return values;
}

std::string adnRecord(const std::string &name, const std::string &number) {
    const Bytes record = encodePhonebookRecord({name, number}, 30, false);
    return CMyTools::hex2asc(record.data(), record.size());
}

std::string deliverRecord(uint8_t statusByte) {
    char status[3];
    std::snprintf(status, sizeof status, "%02X", statusByte);
    return std::string(status) + "0791947101670000" + "04" + "0A919471214365" + "0000" +
           "80402131540200" + "05E8329BFD06";
}

} // namespace velnor::test
