#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "card/CardWatcher.h"
#include "reader/ReaderMonitor.h"

namespace velnor {

// Carries the card watcher's events and the reader watch's reports from their threads to the
// window thread. A card event blocks its watcher until the window has handled it, as the
// watcher expects; close() releases any watcher still waiting and lets every later event go,
// so that shutting down never waits on a thread that waits on the window.
class CardEventBridge : public QObject, public CardEvents, public ReaderEvents {
public:
    CardEventBridge() = default;

    // Where the events go; set once the window exists.
    void setTargets(CardEvents *card, ReaderEvents *readers);
    void close();

    void cardGone() override;
    void otherCard() override;
    void pinWanted() override;
    void readersSeen(const std::vector<ReaderEntry> &readers) override;

private:
    void deliverAndWait(std::function<void(CardEvents &)> handler);
    bool isClosed();

    std::mutex mutex_;
    std::condition_variable handled_;
    bool closed_ = false;
    CardEvents *card_ = nullptr;
    ReaderEvents *readers_ = nullptr;
};

} // namespace velnor
