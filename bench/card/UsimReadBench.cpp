// A full read of a USIM phonebook of two ADN sets of 250 entries, e-mails through EF IAP on one
// entry in four, additional numbers and second names, from the in-process virtual card: the
// card commands it takes against the records it reads, which should differ by a small constant
// (the selects of the files and their GET RESPONSE).

#include <benchmark/benchmark.h>

#include <algorithm>

#include "card/CardRecordFiles.h"
#include "card/DemoProfile.h"
#include "card/UsimPhonebook.h"
#include "reader/SimulatedCards.h"
#include "reader/SimulatedDriver.h"

namespace velnor {
namespace {

void readUsimPhonebook(benchmark::State &state) {
    const std::string path = "sim:usim-bench";
    SimulatedCards::instance().insertInMemory(path,
                                              makeDemoCard(false, CardKind::UiccWithUsim, true));
    SimulatedDriver driver(path);
    const int handle = driver.OpenRX730X(path);
    size_t commands = 0;
    size_t records = 0;
    driver.setTrace([&](int, const std::string &exchange, bool) {
        ++commands;
        // "00 B2 ..." as describeExchange shows a READ RECORD
        records += exchange.compare(3, 2, "B2") == 0;
    });
    UiccChannel channel(driver, handle);
    UiccRecordFiles files(channel);
    size_t entries = 0;
    for (auto _ : state) {
        commands = records = 0;
        auto book = UsimPhonebook::open(files);
        const auto read = book ? book->readEntries(files, {}) : std::nullopt;
        if (!read) {
            state.SkipWithError("the phonebook could not be read");
            break;
        }
        entries = static_cast<size_t>(
            std::count_if(read->begin(), read->end(), [](const auto &e) { return e.has_value(); }));
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["commands"] = static_cast<double>(commands);
    state.counters["recordsRead"] = static_cast<double>(records);
    state.counters["overhead"] = static_cast<double>(commands - records);
    SimulatedCards::instance().remove(path);
}
BENCHMARK(readUsimPhonebook)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velnor
