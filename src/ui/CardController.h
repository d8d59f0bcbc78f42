#pragma once

// The window's card logic over Session and Environment: looking for the reader, connecting and
// disconnecting, the PIN commands, and what the card watcher and the reader watch report.
// Everything here runs on the window thread. The window wires the watcher's events and the
// reader watch's reports to its own thread and calls the handlers below there.

#include <functional>
#include <vector>

#include "card/CardWatcher.h"
#include "reader/ReaderMonitor.h"
#include "transfer/ReadCard.h"
#include "transfer/Session.h"
#include "ui/CommandStates.h"

namespace velnor {

inline constexpr int kPhonebookTab = 0;
inline constexpr int kMessageTab = 1;

// The window's tabs as the card logic needs them.
struct TabAccess {
    std::function<void(int tab)> show; // brings a tab to the front
    std::function<int()> current;      // the tab in front
};

class CardController : public CardEvents, public ReaderEvents {
public:
    // env.worker is the watcher itself: the reads pause it like every other card operation.
    CardController(Session &session, Environment &env, WatcherControl &watcher,
                   CommandStates &commands, TabAccess tabs);

    // Looks for the reader (at start-up and whenever the reader watch calls for it): shows what
    // the reader can do in pane 0, connects, and reads the messages, then the phonebook.
    void lookForReader();
    // Command 5000: opens the card (settling the PIN with the user) and watches it from then
    // on; false, with no watcher left running, when the card could not be opened.
    bool connect();
    // Command 5001: forgets the card's lists; the watcher goes on.
    void disconnect();
    // Command 5002 on a tab: reads the phonebook (tab 0) or the messages.
    ReadResult read(int tab);
    // Commands 5004, 5005 and 5007: the PIN dialogs, with their information box after OK.
    void switchPin();
    void changePin();
    void unblockPin();
    // The window closes: the watcher ends.
    void close();

    // The card watcher's events. One that comes while the window is busy with the card (the
    // watcher paused, or another of these operations running) is let go: the watcher reports
    // again on its next cycle whatever still holds.
    void cardGone() override;
    void otherCard() override;
    void pinWanted() override;

    // The reader watch's reports. Looks for the reader when a reader appeared while none is
    // present, a card went in while none is watched, or the reader in use went away, compared
    // with the readers as last seen here; a report that comes while the window is busy waits
    // for the next one.
    void readersSeen(const std::vector<ReaderEntry> &readers) override;

    // The card was opened by the last connect or other-card event and not lost since.
    bool connected() const { return connected_; }

private:
    // Marks a card operation in progress; when the outermost ends, the watcher learns what the
    // window now knows of the card.
    class Busy;

    bool busyWithCard() const;
    bool openTheCard();
    void pinCommand(CodeDialog dialog, int waitBefore);
    void publish();

    Session &s_;
    Environment &env_;
    WatcherControl &watcher_;
    CommandStates &commands_;
    TabAccess tabs_;
    int busy_ = 0;
    bool connected_ = false;
    std::vector<ReaderEntry> readersKnown_;
};

} // namespace velnor
