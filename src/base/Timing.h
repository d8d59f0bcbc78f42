#pragma once

#include <functional>

namespace velnor {

// Every wait of the program in milliseconds, in one table. The defaults are the documented
// pacing, kept for slow or old readers; prompt() keeps only what the card and the watcher need,
// since the watcher's pause already returns outside a card exchange. Tests use none().
struct Timing {
    // Waits on the window thread around card commands; where one is zero the window only
    // repaints.
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
    // How the window shows what changed at a point whose wait is zero.
    std::function<void()> repaint;

    void wait(int ms) const;

    // The documented pacing or the prompt one, waited as this one waits.
    Timing paced(bool documentedPacing) const;

    static Timing documented() { return Timing{}; }
    static Timing prompt();
    static Timing none();
};

} // namespace velnor
