#pragma once

#include <functional>

namespace velnor {

// Every wait of the program in milliseconds, in one table. The defaults are the documented
// values; tests use none() so that nothing sleeps.
struct Timing {
    // Waits on the window thread around card commands.
    int readStart = 500;      // before a read holds the watcher
    int writeStart = 500;     // before a write holds the watcher
    int writeSettle = 200;    // after the watcher is held, before the write opens the card
    int takeOverRedraw = 300; // after the phonebook take-over question
    int finishBefore = 1000;  // after a read or write, before the watcher goes on
    int finishAfter = 1000;   // after the watcher goes on again
    int commandBefore = 100;  // list, file, PIN and language commands
    int changePinBefore = 200;
    int commandAfter = 300;
    int discoveryStep = 200; // between the steps of looking for the reader
    int otherCardSettle = 1000;
    int headerClick = 100;
    int headerClickAfter = 500;
    int restoreWidthsAfter = 500;

    // Waits that pace the card itself.
    int messageUpdate = 200; // between the updates of message records

    // Waits that pace the watcher thread.
    int watcherShort = 500;
    int watcherLong = 1000;

    // How a wait is spent; the window replaces it by a wait that keeps painting.
    std::function<void(int)> sleeper;

    void wait(int ms) const;

    static Timing documented() { return Timing{}; }
    static Timing none();
};

} // namespace velnor
