#pragma once

#include "card/CardWatcher.h"
#include "reader/ReaderMonitor.h"
#include "support/WindowThread.h"
#include "ui/CardController.h"

namespace velnor::test {

// The watcher's events reach the window's card logic as blocking calls queued to the window
// thread, the reader watch's reports as posted ones, as in the window.
class WindowEvents : public CardEvents, public ReaderEvents {
public:
    WindowEvents(WindowThread &window, CardController &controller)
        : window_(window), controller_(controller) {}
    void cardGone() override {
        window_.callBlocking([this] { controller_.cardGone(); });
    }
    void otherCard() override {
        window_.callBlocking([this] { controller_.otherCard(); });
    }
    void pinWanted() override {
        window_.callBlocking([this] { controller_.pinWanted(); });
    }
    void readersSeen(const std::vector<ReaderEntry> &readers) override {
        window_.post([this, readers] { controller_.readersSeen(readers); });
    }

private:
    WindowThread &window_;
    CardController &controller_;
};

} // namespace velnor::test
