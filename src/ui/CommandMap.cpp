#include "ui/CommandMap.h"

namespace velnor {

namespace {

// A command that stands both in the menu and on the toolbar.
void enableBoth(CommandStates &commands, int id, bool enabled) {
    commands.setCommandEnabled(id, CommandPlace::Menu, enabled);
    commands.setCommandEnabled(id, CommandPlace::Toolbar, enabled);
}

void showConnection(CommandStates &commands, bool connected) {
    commands.setCommandEnabled(command::Connect, CommandPlace::Menu, !connected);
    for (const int id : {command::Disconnect, command::Read, command::PinSwitch, command::PinChange,
                         command::PinUnblock}) {
        commands.setCommandEnabled(id, CommandPlace::Menu, connected);
    }
    commands.setCommandEnabled(command::Connect, CommandPlace::Toolbar, !connected);
    for (const int id : {command::Disconnect, command::Read, command::PinMenuButton}) {
        commands.setCommandEnabled(id, CommandPlace::Toolbar, connected);
    }
    enableBoth(commands, command::Write, false);
}

} // namespace

void showWindowBuilt(CommandStates &commands) {
    // Adding and deleting the ticked rows need no selection and stay available.
    for (const int id : {command::Insert, command::Edit, command::MoveUp, command::MoveDown}) {
        commands.setCommandEnabled(id, CommandPlace::Button, false);
    }
    showConnection(commands, false);
}

void showReaderFound(CommandStates &commands, ReaderFound found) {
    if (found == ReaderFound::None) {
        showConnection(commands, false);
    }
    enableBoth(commands, command::Connect, found == ReaderFound::Usable);
}

void showCardAnswered(CommandStates &commands) {
    showConnection(commands, true);
}

void showDisconnected(CommandStates &commands) {
    showConnection(commands, false);
}

void showRead(CommandStates &commands, const ReadResult &read) {
    if (read.outcome == ReadOutcome::Failed) {
        return;
    }
    enableBoth(commands, command::Write, true);
}

void showListTab(CommandStates &commands, bool messageTab, bool read) {
    enableBoth(commands, command::Write, read);
    if (messageTab) {
        commands.setCommandEnabled(command::Insert, CommandPlace::Button, false);
    }
}

} // namespace velnor
