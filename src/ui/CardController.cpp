#include "ui/CardController.h"

#include "base/TextIds.h"
#include "card/CardOpening.h"
#include "card/ChvOperations.h"
#include "reader/CardHandle.h"
#include "reader/ReaderInquiry.h"
#include "ui/CommandMap.h"

namespace velnor {

class CardController::Busy {
public:
    explicit Busy(CardController &c) : c_(c) { ++c_.busy_; }
    ~Busy() {
        if (--c_.busy_ == 0) {
            c_.publish();
        }
    }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

private:
    CardController &c_;
};

CardController::CardController(Session &session, Environment &env, WatcherControl &watcher,
                               CommandStates &commands, TabAccess tabs)
    : s_(session), env_(env), watcher_(watcher), commands_(commands), tabs_(std::move(tabs)) {}

void CardController::publish() {
    watcher_.share({s_.reader.chv1Pending, s_.reader.lastIdentity});
}

bool CardController::busyWithCard() const {
    return busy_ > 0 || watcher_.paused();
}

void CardController::lookForReader() {
    Busy busy(*this);
    ReaderState &reader = s_.reader;
    StatusLine &status = env_.status;
    readersKnown_ = env_.driver.ListReaders();
    const ReaderChoice choice = chooseReader(env_.driver);
    if (choice.fault == ReaderChoice::Fault::NoReader) {
        reader.devicePath.clear();
        reader.readerPresent = false;
        showReaderFound(commands_, ReaderFound::None);
        status.showReader(env_.driver.serviceMissing() ? text::PcscdNotRunning
                                                       : text::NoReaderFound);
        status.clear(1);
        status.clear(2);
        return;
    }
    reader.devicePath = choice.path;
    reader.readerPresent = true;
    if (choice.fault == ReaderChoice::Fault::NoProfile ||
        choice.fault == ReaderChoice::Fault::CannotOpen) {
        return;
    }
    if (choice.fault == ReaderChoice::Fault::NoSimFunction) {
        showReaderFound(commands_, ReaderFound::NotUsable);
        reader.readerPresent = false;
        status.showReader(text::NoSimFunction);
        status.clear(1);
        status.clear(2);
        return;
    }
    const ReaderInquiry &inquiry = choice.inquiry;
    if (inquiry.simFunction) {
        s_.card.simFunction = *inquiry.simFunction;
    }
    reader.readerCdmaCapable = inquiry.cdmaCapable();
    showReaderFound(commands_, ReaderFound::Usable);
    status.showReader(text::ReaderReady, inquiry.versionByte, inquiry.versionValue);

    const Timing &timing = env_.timing;
    timing.wait(timing.discoveryStep);
    if (!connect()) {
        return;
    }
    timing.wait(timing.discoveryStep);
    PauseGuard hold(env_.worker);
    tabs_.show(kMessageTab);
    timing.wait(timing.discoveryStep);
    read(kMessageTab);
    tabs_.show(kPhonebookTab);
    timing.wait(timing.discoveryStep);
    read(kPhonebookTab);
    timing.wait(timing.discoveryStep);
}

bool CardController::openTheCard() {
    CardOpeningContext opening{
        env_.driver, env_.prompts, env_.texts, env_.status, s_.reader, s_.card, [this] {
            showCardAnswered(commands_);
        }};
    connected_ = openCard(opening) == CardOpened::Opened;
    return connected_;
}

bool CardController::connect() {
    Busy busy(*this);
    s_.reader.chv1Pending = true;
    watcher_.stop();
    // Opening asks for the PIN between two exchanges: one connection serves both.
    const CardConnection connection(env_.driver, s_.reader.devicePath);
    if (!openTheCard()) {
        return false;
    }
    publish(); // before the new watcher's first look
    watcher_.start({s_.reader.devicePath, s_.card.simFunction});
    return true;
}

void CardController::disconnect() {
    Busy busy(*this);
    s_.reader.chv1Pending = true;
    s_.phonebookLoaded = false;
    s_.messagesLoaded = false;
    s_.cardPhonebook.clear();
    s_.messages.clear();
    env_.status.clear(1);
    showDisconnected(commands_);
    connected_ = false;
}

ReadResult CardController::read(int tab) {
    Busy busy(*this);
    const ReadResult result =
        readCard(s_, env_, tab == kPhonebookTab ? CardFile::Phonebook : CardFile::Messages);
    showRead(commands_, result);
    return result;
}

void CardController::pinCommand(CodeDialog dialog, int waitBefore) {
    Busy busy(*this);
    const CardConnection connection(env_.driver, s_.reader.devicePath);
    env_.timing.wait(waitBefore);
    PauseGuard hold(env_.worker);
    ChvDialogContext dialogs{env_.driver, env_.prompts, env_.texts, s_.reader.devicePath, s_.card};
    bool switchedOff = false;
    if (runChvDialog(dialogs, dialog, &switchedOff)) {
        s_.reader.chv1Pending = false;
        const int info = dialog == CodeDialog::Change    ? text::PinChanged
                         : dialog == CodeDialog::Unblock ? text::PinUnblocked
                         : switchedOff                   ? text::PinSwitchedOff
                                                         : text::PinSwitchedOn;
        env_.prompts.showMessage(MessageKind::Information, {info, "", env_.texts.get(info)});
    }
    env_.timing.wait(env_.timing.commandAfter);
}

void CardController::switchPin() {
    pinCommand(CodeDialog::Switch, env_.timing.commandBefore);
}

void CardController::changePin() {
    pinCommand(CodeDialog::Change, env_.timing.changePinBefore);
}

void CardController::unblockPin() {
    pinCommand(CodeDialog::Unblock, env_.timing.commandBefore);
}

void CardController::close() {
    watcher_.stop();
}

void CardController::cardGone() {
    if (busyWithCard()) {
        return;
    }
    Busy busy(*this);
    disconnect();
    s_.reader.lastIdentity.clear();
    // A code belongs to the card that took it; the card that comes back is asked again.
    s_.card.chv1Code.clear();
    s_.card.chv1CodeOwner.clear();
    env_.status.showCard(text::NoCard);
}

void CardController::otherCard() {
    if (busyWithCard()) {
        return;
    }
    Busy busy(*this);
    openTheCard();
    env_.timing.wait(env_.timing.otherCardSettle);
    PauseGuard hold(env_.worker);
    read(tabs_.current());
}

void CardController::pinWanted() {
    if (busyWithCard()) {
        return;
    }
    Busy busy(*this);
    const CardConnection connection(env_.driver, s_.reader.devicePath);
    PauseGuard hold(env_.worker);
    ChvDialogContext dialogs{env_.driver, env_.prompts, env_.texts, s_.reader.devicePath, s_.card};
    s_.reader.chv1Pending = !runChvDialog(dialogs, CodeDialog::Verify);
}

void CardController::readersSeen(const std::vector<ReaderEntry> &readers) {
    if (busyWithCard()) {
        return;
    }
    if (callsForReaderSearch({readersKnown_, readers}, s_.reader, watcher_.running())) {
        lookForReader();
    } else {
        readersKnown_ = readers;
    }
}

} // namespace velnor
