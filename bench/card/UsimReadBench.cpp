// A full read of a USIM phonebook of two ADN sets of 250 entries, e-mails through EF IAP on one
// entry in four, additional numbers and second names: the card commands it takes against the
// records it reads, which should differ by a small constant (the selects of the files and their
// GET RESPONSE). Once from the in-process virtual card, once through pcscd with the same card in
// vpcd's second reader (a pcscd with the vpcd driver must run; scripts/bench-launch starts one).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "card/CardRecordFiles.h"
#include "card/DemoProfile.h"
#include "card/UsimPhonebook.h"
#include "reader/PcscDriver.h"
#include "reader/SimulatedCards.h"
#include "reader/SimulatedDriver.h"
#include "virtualcard/VpcdFront.h"

namespace velnor {
namespace {

CardProfile fullUsimCard() {
    return makeDemoCard(false, CardKind::UiccWithUsim, true);
}

void readAndCount(benchmark::State &state, ApduDriver &driver, int handle) {
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
    driver.setTrace({});
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["commands"] = static_cast<double>(commands);
    state.counters["recordsRead"] = static_cast<double>(records);
    state.counters["overhead"] = static_cast<double>(commands - records);
}

void readUsimPhonebook(benchmark::State &state) {
    const std::string path = "sim:usim-bench";
    SimulatedCards::instance().insertInMemory(path, fullUsimCard());
    SimulatedDriver driver(path);
    readAndCount(state, driver, driver.OpenRX730X(path));
    SimulatedCards::instance().remove(path);
}
BENCHMARK(readUsimPhonebook)->Unit(benchmark::kMillisecond);

void readUsimPhonebookThroughPcscd(benchmark::State &state) {
    const std::shared_ptr<SimHost> card = SimHost::inMemory(fullUsimCard());
    VpcdFront front(*card, VpcdEndpoint{"127.0.0.1", 35964});
    std::thread serving([&front] {
        std::string error;
        front.run(error);
    });
    const std::string reader = "Virtual PCD 00 01";
    PcscDriver driver(reader);
    // pcscd powers a card up in its own time after vpcd reports it: wait until it lists it.
    const auto present = [&driver, &reader] {
        const auto readers = driver.ListReaders();
        return std::any_of(readers.begin(), readers.end(), [&reader](const ReaderEntry &r) {
            return r.name == reader && r.cardPresent;
        });
    };
    bool ready = false;
    for (int tries = 0; tries < 50 && !ready; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ready = front.connected() && present();
    }
    const int handle = ready ? driver.OpenRX730X(reader) : -1;
    if (handle < 0) {
        state.SkipWithError("no card in \"Virtual PCD 00 01\": is pcscd with vpcd running?");
    } else {
        readAndCount(state, driver, handle);
        driver.CloseHandle(handle);
    }
    front.stop();
    serving.join();
}
// One run, so that the card is served once: pcscd takes a while to notice it gone and back.
BENCHMARK(readUsimPhonebookThroughPcscd)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
} // namespace velnor
