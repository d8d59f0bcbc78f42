// A full read of a 250-record phonebook and of 50 messages from the in-process virtual card,
// with every wait at zero: what the program itself costs around the card. The largest
// phonebook a card can have, 254 records (numbers 01 to FE) of 255 bytes, is read as well, for
// the memory a read needs at most.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "BuiltinEnglish.h"
#include "HeapUse.h"
#include "card/EfAdn.h"
#include "reader/SimulatedCards.h"
#include "reader/SimulatedDriver.h"
#include "records/MessageCompose.h"
#include "transfer/ReadCard.h"
#include "virtualcard/ProfileJson.h"

namespace velnor {
namespace {

class English : public Texts {
public:
    const char *find(int id) const override { return builtin_en::langString(id); }
};

class Quiet : public UserPrompts, public ProgressSink, public StatusPanes {
public:
    bool askYesNo(const Prompt &) override { return false; }
    void showMessage(MessageKind, const Prompt &) override {}
    std::optional<std::string> chooseOpenFile(const FileChoice &) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileChoice &) override { return {}; }
    std::optional<CodeAnswer> askCodes(const CodeRequest &) override { return {}; }
    void begin(const std::string &, const std::string &, int, int) override {}
    void step() override {}
    void pump() override {}
    bool cancelled() const override { return false; }
    void close() override {}
    void showPane(int, const std::string &) override {}
};

std::string hex(const uint8_t *bytes, size_t count) {
    return CMyTools::hex2asc(bytes, count);
}

// A full card: 250 named entries of 30 bytes, 50 messages of 176 bytes.
std::string fullCardProfile() {
    std::ostringstream json;
    json << R"({"files": [{"path": "3F00/2FE2", "data": "98103254769810325476"},)"
         << R"({"path": "3F00/7F10/6F3A", "recordLength": 30, "recordCount": 250, "records": [)";
    for (int i = 0; i < 250; ++i) {
        const Bytes r = EfAdn::encode(
            PhoneEntry{"Contact " + std::to_string(i), "+4917012345" + std::to_string(i % 10)}, 30,
            false);
        json << (i ? "," : "") << '"' << hex(r.data(), r.size()) << '"';
    }
    json
        << R"(]}, {"path": "3F00/7F10/6F3C", "recordLength": 176, "recordCount": 50, "fill": "00", "records": [)";
    CardState card;
    card.smscNumber = "491710760000";
    for (int i = 0; i < 50; ++i) {
        const MessageImage image = composeMessageImage(
            "+4917612345678", "Message number " + std::to_string(i) + " with some text in it",
            card);
        json << (i ? "," : "") << '"' << hex(image.data(), 176) << '"';
    }
    json
        << R"(]}, {"path": "3F00/7F10/6F42", "recordLength": 40, "records": [)"
        << R"("FFFFFFFFFFFFFFFFFFFFFFFFFDFFFFFFFFFFFFFFFFFFFFFFFFFF0791947101670000FFFFFFFFFFFF"]}]})";
    return json.str();
}

// The largest phonebook: 254 records of 255 bytes, every name as long as the record allows.
std::string largestCardProfile() {
    std::ostringstream json;
    json << R"({"files": [{"path": "3F00/2FE2", "data": "98103254769810325476"},)"
         << R"({"path": "3F00/7F10/6F3A", "recordLength": 255, "recordCount": 254, "records": [)";
    for (int i = 0; i < 254; ++i) {
        const std::string name = "Contact " + std::to_string(i) + std::string(240, 'x');
        const Bytes r = EfAdn::encode(PhoneEntry{name, "+49170123456789012345"}, 255, false);
        json << (i ? "," : "") << '"' << hex(r.data(), r.size()) << '"';
    }
    json << R"(]}, {"path": "3F00/7F10/6F42", "recordLength": 40, "records": [""]}]})";
    return json.str();
}

// The most heap a read of the largest phonebook may need: its records are under 64 KiB.
constexpr double kLargestReadHeapMiB = 1.0;

void readFullCard(benchmark::State &state, CardFile file,
                  const std::string &profile = fullCardProfile(), double heapBudgetMiB = 0) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "velnor-bench-read";
    std::filesystem::create_directories(dir);
    const std::string path = "sim:" + (dir / "card.json").string();
    ProfileResult card = parseCardProfile(profile);
    if (!card.profile) {
        state.SkipWithError(card.error.c_str());
        return;
    }
    SimulatedCards::instance().insertInMemory(path, *card.profile);
    English texts;
    Quiet quiet;
    StatusLine status(quiet, texts);
    const Timing timing = Timing::none();
    SimulatedDriver driver;
    Session session;
    session.setTitles(texts);
    session.reader.devicePath = path;
    session.reader.readerCdmaCapable = true;
    Environment env{driver, quiet, texts, status, quiet, timing, dir, dir};
    double peakMiB = 0;
    for (auto _ : state) {
        const bench::HeapPeak peak;
        if (readCard(session, env, file).outcome != ReadOutcome::Done) {
            state.SkipWithError("the read failed");
            break;
        }
        peakMiB = std::max(peakMiB, peak.mebibytes());
    }
    if (heapBudgetMiB > 0) {
        bench::checkHeapBudget(state, peakMiB, heapBudgetMiB);
    }
    state.counters["rows"] = static_cast<double>(
        file == CardFile::Phonebook ? session.cardPhonebook.rowCount() : session.messages.size());
    SimulatedCards::instance().remove(path);
    std::filesystem::remove_all(dir);
}

void BM_ReadPhonebook250(benchmark::State &state) {
    readFullCard(state, CardFile::Phonebook);
}
void BM_ReadMessages50(benchmark::State &state) {
    readFullCard(state, CardFile::Messages);
}

void BM_ReadLargestPhonebook(benchmark::State &state) {
    readFullCard(state, CardFile::Phonebook, largestCardProfile(), kLargestReadHeapMiB);
}

BENCHMARK(BM_ReadPhonebook250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLargestPhonebook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMessages50)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velnor
