#include "card/CardOpening.h"

#include <array>

#include "base/TextIds.h"
#include "card/ChvOperations.h"
#include "card/FileStatus.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"

namespace velnor {

namespace {

enum class PinStep { Settled, Failed };

// Asks for the PIN as the card's master file says: the unblock offer when no attempt is left,
// the PIN entry when it is still pending.
PinStep settlePin(CardOpeningContext &c, const FileStatus &master, bool &dialogShown) {
    if (!master.chv1Enabled()) {
        return PinStep::Settled;
    }
    ChvDialogContext dialogs{c.driver, c.prompts, c.texts, c.reader.devicePath, c.link};
    if (master.chv1AttemptsLeft() == 0 &&
        c.prompts.askYesNo({text::UnblockPinQuestion, "", c.texts.get(text::UnblockPinQuestion)})) {
        dialogShown = true;
        const bool unblocked = runChvDialog(dialogs, CodeDialog::Unblock);
        c.reader.chv1Pending = !unblocked;
        return unblocked ? PinStep::Settled : PinStep::Failed;
    }
    if (!c.reader.chv1Pending) {
        return PinStep::Settled;
    }
    dialogShown = true;
    const bool verified = runChvDialog(dialogs, CodeDialog::Verify);
    c.reader.chv1Pending = !verified;
    return verified ? PinStep::Settled : PinStep::Failed;
}

} // namespace

CardOpened openCard(CardOpeningContext &c) {
    const uint8_t f = c.link.simFunction;
    std::optional<FileStatus> master;
    std::string identity;
    {
        CardHandle handle(c.driver, c.reader.devicePath);
        CardTransaction transaction(c.driver, handle.get());
        std::array<uint8_t, 64> atr{};
        if (!handle.isOpen() || c.driver.GetATRValue(handle.get(), atr.data(), f) == 0) {
            c.status.showCard(text::NoCard);
            return CardOpened::NoCard;
        }
        if (c.answered) {
            c.answered();
        }
        master = selectWithStatus(c.driver, handle.get(), df::Master, f);
        if (!master) {
            return CardOpened::NotAnswering;
        }
        // The identity needs no PIN; knowing it before the PIN step keeps a code with its card.
        identity = readCardIdentity(c.driver, handle.get(), f);
    }
    if (identity != c.link.chv1CodeOwner) {
        c.link.chv1Code.clear();
        c.link.chv1CodeOwner.clear();
        c.reader.chv1Pending = true;
    }
    bool dialogShown = false;
    if (settlePin(c, *master, dialogShown) == PinStep::Failed) {
        return CardOpened::PinNotGiven;
    }
    CardHandle handle(c.driver, c.reader.devicePath);
    CardTransaction transaction(c.driver, handle.get());
    if (dialogShown) {
        // The card was left alone while the user typed; take the identity it has now.
        identity = readCardIdentity(c.driver, handle.get(), f);
    }
    c.link.isCdmaCard = handle.isOpen() && detectCdmaCard(c.driver, handle.get(), f);
    c.reader.lastIdentity = identity;
    c.status.showCard(text::CardPresent, identity);
    return CardOpened::Opened;
}

} // namespace velnor
