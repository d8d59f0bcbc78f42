#pragma once

// The window's way to the reader and the card: looking for the reader, connecting, disconnecting,
// and the card watcher's events. Until the card controller exists, this class opens and reads
// the card itself through the plain layers; the window calls nothing else for it.

#include <functional>

#include "base/WorkerPause.h"
#include "transfer/CardReader.h"
#include "transfer/Session.h"

namespace velnor {

// Stands in for the card watcher while there is none: it only counts how deep it is held.
class IdleWatcher : public WorkerPause {
public:
    void pause() override { ++depth_; }
    void resume() override { --depth_; }
    int depth() const { return depth_; }

private:
    int depth_ = 0;
};

class CardConnection {
public:
    // showTab brings a tab of the window to the front (0 phonebook, 1 messages).
    CardConnection(Session &session, Environment &env, std::function<void(int tab)> showTab);

    // Finds the reader, asks what it can do, connects and reads messages, then the phonebook.
    void lookForReader();
    // Opens the card (the PIN settled with the user); false when that failed.
    bool connect();
    void disconnect();
    // Reads the card file of a tab.
    ReadOutcome read(int tab);
    // The PIN commands: the dialog until the card accepts or the user cancels, then the
    // information box.
    void switchPin();
    void changePin();
    void unblockPin();

    // The watcher's events.
    void cardGone();
    void otherCard(int currentTab);
    void pinWanted();

private:
    void pinCommand(CodeDialog dialog, int waitBefore);

    Session &session_;
    Environment &env_;
    std::function<void(int)> showTab_;
};

} // namespace velnor
