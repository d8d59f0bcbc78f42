#pragma once

#include <cstdint>
#include <string>

#include "base/CardLink.h"
#include "base/Texts.h"

namespace velnor {

// The three panes of the status bar as the window draws them.
class StatusPanes {
public:
    virtual ~StatusPanes() = default;
    virtual void showPane(int pane, const std::string &text) = 0;
};

// What each pane shows, kept as string number and arguments so that another language can
// show it again. An id of 0 means the pane is empty.
struct StatusPaneMemory {
    struct ReaderPane {
        int id = 0;
        uint8_t versionByte = 0;
        uint16_t versionValue = 0;
    } reader;
    struct CardPane {
        int id = 0;
        std::string identity;
    } card;
    struct ProgressPane {
        int id = 0;
        uint16_t first = 0;
        uint16_t second = 0;
    } progress;
};

// Puts texts into the panes and remembers them in the same call.
class StatusLine {
public:
    StatusLine(StatusPanes &panes, const Texts &texts) : panes_(panes), texts_(texts) {}

    void showReader(int id, uint8_t versionByte = 0, uint16_t versionValue = 0);
    void showCard(int id, const std::string &identity = std::string());
    void showProgress(int id, uint16_t first, uint16_t second);
    void clear(int pane);
    // While the card pane says a card is there (text::CardPresent), it names that card's kind as
    // the link says; null names none.
    void nameCardKindOf(const CardLink *link) { link_ = link; }
    // Shows every pane again from memory, in the current language.
    void refresh();

    const StatusPaneMemory &memory() const { return memory_; }

private:
    void draw(int pane);

    StatusPanes &panes_;
    const Texts &texts_;
    StatusPaneMemory memory_;
    const CardLink *link_ = nullptr;
};

} // namespace velnor
