#include "ui/CardConnection.h"

#include "card/CardOpening.h"
#include "card/ChvOperations.h"
#include "card/ReaderInquiry.h"
#include "ui/CommandPause.h"

namespace velnor {

namespace {
constexpr int kPhonebookTab = 0;
constexpr int kMessageTab = 1;
} // namespace

CardConnection::CardConnection(Session &session, Environment &env, std::function<void(int)> showTab)
    : session_(session), env_(env), showTab_(std::move(showTab)) {}

void CardConnection::lookForReader() {
    ReaderState &reader = session_.reader;
    const std::optional<std::string> path = env_.driver.FindDeviceEntry();
    if (!path) {
        reader.devicePath.clear();
        reader.readerPresent = false;
        applyConnectionState(env_.commands, false);
        env_.commands.setCommandEnabled(command::Connect, CommandPlace::Menu, false);
        env_.commands.setCommandEnabled(command::Connect, CommandPlace::Toolbar, false);
        env_.status.showReader(8026);
        env_.status.clear(1);
        env_.status.clear(2);
        return;
    }
    reader.devicePath = *path;
    reader.readerPresent = true;
    const std::optional<ReaderInquiry> inquiry = inquireReader(env_.driver, *path);
    if (!inquiry) {
        env_.commands.setCommandEnabled(command::Connect, CommandPlace::Menu, false);
        env_.commands.setCommandEnabled(command::Connect, CommandPlace::Toolbar, false);
        reader.readerPresent = false;
        env_.status.showReader(8027);
        env_.status.clear(1);
        env_.status.clear(2);
        return;
    }
    if (inquiry->simFunction) {
        session_.card.simFunction = *inquiry->simFunction;
    }
    reader.readerCdmaCapable = inquiry->cdmaCapable();
    env_.commands.setCommandEnabled(command::Connect, CommandPlace::Menu, true);
    env_.commands.setCommandEnabled(command::Connect, CommandPlace::Toolbar, true);
    env_.status.showReader(8028, inquiry->versionByte, inquiry->versionValue);

    env_.timing.wait(env_.timing.discoveryStep);
    if (!connect()) {
        return;
    }
    env_.timing.wait(env_.timing.discoveryStep);
    PauseGuard hold(env_.worker);
    showTab_(kMessageTab);
    env_.timing.wait(env_.timing.discoveryStep);
    read(kMessageTab);
    showTab_(kPhonebookTab);
    env_.timing.wait(env_.timing.discoveryStep);
    read(kPhonebookTab);
    env_.timing.wait(env_.timing.discoveryStep);
}

bool CardConnection::connect() {
    session_.reader.chv1Pending = true;
    CardOpeningContext opening{env_.driver,   env_.prompts,    env_.texts,   env_.status,
                               env_.commands, session_.reader, session_.card};
    if (!openCard(opening)) {
        return false;
    }
    env_.commands.setCommandEnabled(command::FileMenuButton, CommandPlace::Toolbar, false);
    env_.commands.setCommandEnabled(command::OpenFile, CommandPlace::Menu, false);
    env_.commands.setCommandEnabled(command::SaveFile, CommandPlace::Menu, false);
    return true;
}

void CardConnection::disconnect() {
    session_.reader.chv1Pending = true;
    session_.phonebookLoaded = false;
    session_.messagesLoaded = false;
    session_.cardPhonebook.clear();
    session_.messages.clear();
    env_.status.clear(1);
    applyConnectionState(env_.commands, false);
}

ReadOutcome CardConnection::read(int tab) {
    return readCard(session_, env_,
                    tab == kPhonebookTab ? CardFile::Phonebook : CardFile::Messages);
}

void CardConnection::switchPin() {
    pinCommand(CodeDialog::Switch, env_.timing.commandBefore);
}
void CardConnection::changePin() {
    pinCommand(CodeDialog::Change, env_.timing.changePinBefore);
}
void CardConnection::unblockPin() {
    pinCommand(CodeDialog::Unblock, env_.timing.commandBefore);
}

void CardConnection::pinCommand(CodeDialog dialog, int waitBefore) {
    CommandPause pause(env_.worker, env_.timing, waitBefore);
    ChvDialogContext dialogs{env_.driver, env_.prompts, env_.texts, session_.reader.devicePath,
                             session_.card};
    bool switchedOff = false;
    if (!runChvDialog(dialogs, dialog, &switchedOff)) {
        return;
    }
    session_.reader.chv1Pending = false;
    int done = 8079;
    if (dialog == CodeDialog::Switch) {
        done = switchedOff ? 8043 : 8042;
    } else if (dialog == CodeDialog::Change) {
        done = 8044;
    }
    env_.prompts.showMessage(MessageKind::Information,
                             {done, env_.texts.get(8008), env_.texts.get(done)});
}

void CardConnection::cardGone() {
    disconnect();
    session_.reader.lastIdentity.clear();
    env_.status.showCard(8030);
    applyConnectionState(env_.commands, false);
}

void CardConnection::otherCard(int currentTab) {
    CardOpeningContext opening{env_.driver,   env_.prompts,    env_.texts,   env_.status,
                               env_.commands, session_.reader, session_.card};
    openCard(opening);
    env_.timing.wait(env_.timing.otherCardSettle);
    PauseGuard hold(env_.worker);
    read(currentTab);
}

void CardConnection::pinWanted() {
    PauseGuard hold(env_.worker);
    ChvDialogContext dialogs{env_.driver, env_.prompts, env_.texts, session_.reader.devicePath,
                             session_.card};
    session_.reader.chv1Pending = !runChvDialog(dialogs, CodeDialog::Verify);
}

} // namespace velnor
