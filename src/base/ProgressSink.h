#pragma once

#include <string>

namespace velnor {

// The progress window of a card read or write, as the operations see it.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    // Shows the window modal over its owner with a range lower..upper stepped by one.
    virtual void begin(const std::string &title, const std::string &text, int lower, int upper) = 0;
    virtual void step() = 0;
    // Lets queued window events run: repainting, and the user's click on Cancel.
    virtual void pump() = 0;
    virtual bool cancelled() const = 0;
    // Closes the window and gives the owner back its input. Safe to call more than once.
    virtual void close() = 0;
};

} // namespace velnor
