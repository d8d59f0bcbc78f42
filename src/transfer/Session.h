#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "base/CardLink.h"
#include "base/CommandStates.h"
#include "base/ProgressSink.h"
#include "base/StatusPanes.h"
#include "base/Texts.h"
#include "base/Timing.h"
#include "base/UserPrompts.h"
#include "base/WorkerPause.h"
#include "card/CUSBOpKrnl.h"
#include "sim/CardState.h"
#include "sim/MessageStore.h"
#include "sim/RowList.h"

namespace velnor {

// Everything the window owns about the card and its lists, on the window thread.
struct Session {
    ReaderState reader;
    CardState card;
    RowList localPhonebook;
    RowList cardPhonebook;
    MessageList messages;
    bool localPhonebookActive = false;
    bool phonebookLoaded = false;
    bool messagesLoaded = false;
    size_t cardPhonebookRowsRead = 0; // row counts at the end of the last read
    size_t messageRowsRead = 0;

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
    CommandStates &commands;
    WorkerPause &worker;
    ProgressSink &progress;
    const Timing &timing;
    std::filesystem::path backupDir; // "Phone.fph", "Message.fsm"
    std::filesystem::path logDir;    // "phone.log", "sms.log"
};

} // namespace velnor
