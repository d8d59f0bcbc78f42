#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "base/CardLink.h"
#include "base/ProgressSink.h"
#include "base/StatusPanes.h"
#include "base/Texts.h"
#include "base/Timing.h"
#include "base/UserPrompts.h"
#include "base/WorkerPause.h"
#include "reader/CUSBOpKrnl.h"
#include "records/CardState.h"
#include "records/MessageStore.h"
#include "records/RowList.h"

namespace velnor {

// Which phonebook list the entry commands act on, the local one or the card's. Whoever changes
// it, the window hears of it and shows it.
class ActivePhonebook {
public:
    bool local() const { return local_; }
    void setLocal(bool local) {
        local_ = local;
        if (changed_) {
            changed_();
        }
    }
    // The one listener; an empty function removes it.
    void onChange(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    bool local_ = true; // until a read gives a card list to work on
    std::function<void()> changed_;
};

// Everything the window owns about the card and its lists, on the window thread.
struct Session {
    ReaderState reader;
    CardState card;
    RowList localPhonebook;
    RowList cardPhonebook;
    MessageList messages;
    ActivePhonebook activePhonebook;
    bool phonebookLoaded = false;
    bool messagesLoaded = false;

    // Column titles of the three lists in the current language.
    void setTitles(const Texts &texts);
};

// The services a card operation uses; the window, the command-line tool and tests each supply
// their own.
struct Environment {
    CUSBOpKrnl &driver;
    UserPrompts &prompts;
    const Texts &texts;
    StatusLine &status;
    ProgressSink &progress;
    const Timing &timing;
    std::filesystem::path backupDir; // "Phone.fph", "Message.fsm"
    std::filesystem::path logDir;    // "phone.log", "sms.log"
    WorkerPause *worker = nullptr;   // the card watcher, held by every operation; the tool has none
};

} // namespace velnor
