#include "card/CardOpening.h"

#include <array>

#include "card/CardHandle.h"
#include "card/ChvOperations.h"
#include "card/FileStatus.h"
#include "codec/CMyTools.h"

namespace velnor {

namespace {

constexpr size_t kMaxIdentityBytes = 32; // the identity holds at most 64 digits

} // namespace

void applyConnectionState(CommandStates &commands, bool connected) {
    commands.setCommandEnabled(command::Connect, CommandPlace::Menu, !connected);
    for (const int id : {command::Disconnect, command::Read, command::PinSwitch, command::PinChange,
                         command::PinUnblock}) {
        commands.setCommandEnabled(id, CommandPlace::Menu, connected);
    }
    commands.setCommandEnabled(command::Connect, CommandPlace::Toolbar, !connected);
    for (const int id : {command::Disconnect, command::Read, command::PinMenuButton}) {
        commands.setCommandEnabled(id, CommandPlace::Toolbar, connected);
    }
    commands.setCommandEnabled(command::Write, CommandPlace::Menu, false);
    commands.setCommandEnabled(command::Write, CommandPlace::Toolbar, false);
}

std::string readCardIdentity(CUSBOpKrnl &driver, int handle, uint8_t f) {
    const std::optional<FileStatus> file = selectWithStatus(driver, handle, fid::Iccid, f);
    if (!file) {
        return std::string();
    }
    const uint8_t size = static_cast<uint8_t>(file->fileSize() & 0xFF);
    std::array<uint8_t, 256> bytes{};
    if (size == 0 || driver.ReadBinary(handle, size, f, bytes.data()) == 0) {
        return std::string();
    }
    return CMyTools::bcd2asc(bytes.data(), std::min<size_t>(size, kMaxIdentityBytes));
}

bool openCard(CardOpeningContext &c) {
    CardHandle handle(c.driver, c.reader.devicePath);
    std::array<uint8_t, 64> atr{};
    if (!handle.isOpen() || c.driver.GetATRValue(handle.get(), atr.data(), c.link.simFunction) == 0) {
        c.status.showCard(8030);
        return false;
    }
    applyConnectionState(c.commands, true);
    const uint8_t f = c.link.simFunction;
    const std::optional<FileStatus> master = selectWithStatus(c.driver, handle.get(), fid::MasterFile, f);
    if (!master) {
        return false;
    }
    // The identity is readable without the PIN; knowing it first keeps a code with its card.
    const std::string identity = readCardIdentity(c.driver, handle.get(), f);
    if (identity != c.link.chv1CodeOwner) {
        c.link.chv1Code.clear();
        c.link.chv1CodeOwner.clear();
        c.reader.chv1Pending = true;
    }
    if (master->chv1Enabled()) {
        ChvDialogContext dialogs{c.driver, c.prompts, c.texts, c.reader.devicePath, c.link, identity};
        bool settled = false;
        if (master->chv1AttemptsLeft() == 0) {
            if (c.prompts.askYesNo({8080, "", c.texts.get(8080)})) {
                handle.release();
                if (!runChvDialog(dialogs, CodeDialog::Unblock)) {
                    c.reader.chv1Pending = true;
                    return false;
                }
                c.reader.chv1Pending = false;
                settled = true;
            }
        }
        if (!settled && c.reader.chv1Pending) {
            handle.release();
            if (!runChvDialog(dialogs, CodeDialog::Verify)) {
                c.reader.chv1Pending = true;
                return false;
            }
            c.reader.chv1Pending = false;
        }
    }
    CardHandle again(c.driver, c.reader.devicePath);
    if (!again.isOpen()) {
        return false;
    }
    c.reader.lastIdentity = identity;
    c.link.isCdmaCard = detectCdmaCard(c.driver, again.get(), f);
    c.status.showCard(8029, identity);
    return true;
}

} // namespace velnor
