#include <atomic>
#include <chrono>
#include <future>

#include "E2eFixture.h"
#include "card/DemoProfile.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"

namespace velnor::test {
namespace {

using namespace std::chrono_literals;
using Transactions = ThroughPcscd;

// While one connection holds a transaction, pcscd keeps another's transaction waiting, so no
// other program can select a file in the middle of a select-then-read. Transactions nest.
TEST_F(Transactions, OneConnectionsTransactionKeepsAnotherWaiting) {
    ServedCard served(profile("card.json", makeDemoProfile(false)));
    ASSERT_TRUE(served.inserted());
    PcscDriver ours;
    PcscDriver theirs;
    CardHandle mine(ours, kFirstReader);
    CardHandle other(theirs, kFirstReader);
    ASSERT_TRUE(mine.isOpen() && other.isOpen()) << ours.lastError() << theirs.lastError();

    std::atomic<bool> released{false};
    std::optional<CardTransaction> outer;
    outer.emplace(ours, mine.get());
    std::optional<CardTransaction> inner;
    inner.emplace(ours, mine.get());
    auto theirTurn = std::async(std::launch::async, [&] {
        CardTransaction transaction(theirs, other.get());
        uint8_t length = 0;
        const bool selected = theirs.SelectFile(other.get(), 0x7F10, length, 0) != 0;
        return released.load() && selected;
    });
    uint8_t length = 0;
    EXPECT_EQ(ours.SelectFile(mine.get(), 0x3F00, length, 0), 1);
    inner.reset();
    EXPECT_EQ(theirTurn.wait_for(300ms), std::future_status::timeout)
        << "the outer transaction still holds the card";
    EXPECT_EQ(ours.SelectFile(mine.get(), 0x2FE2, length, 0), 1);
    released = true;
    outer.reset();
    ASSERT_EQ(theirTurn.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(theirTurn.get()) << "their transaction began only after ours ended";
}

} // namespace
} // namespace velnor::test
