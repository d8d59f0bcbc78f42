#include "card/CardOpening.h"

#include <array>

#include "base/TextIds.h"
#include "card/ChvOperations.h"
#include "card/FileStatus.h"
#include "card/UsimApplication.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"

namespace velnor {

namespace {

enum class PinStep { Settled, Failed };

// What the card says of its PIN: a SIM in its master file's status, a UICC in its USIM's PIN
// status template and the answer to an empty VERIFY.
struct PinState {
    bool enabled = true;
    int attemptsLeft = -1;
};

// Asks for the PIN as the card says: the unblock offer when no attempt is left, the PIN entry
// when it is still pending.
PinStep settlePin(CardOpeningContext &c, const PinState &pin, bool &dialogShown) {
    if (!pin.enabled) {
        return PinStep::Settled;
    }
    ChvDialogContext dialogs{c.driver, c.prompts, c.texts, c.reader.devicePath, c.link};
    if (pin.attemptsLeft == 0 &&
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
    PinState pin;
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
        // A card that answers is asked afresh what kind it is: the PIN goes by its class.
        c.link.cardKind = CardKind::GsmSim;
        c.link.usimAid.clear();
        // The identity needs no PIN; knowing it before the PIN step keeps a code with its card.
        if (const auto master = selectWithStatus(c.driver, handle.get(), df::Master, f)) {
            pin = {master->chv1Enabled(), master->chv1AttemptsLeft()};
            identity = readCardIdentity(c.driver, handle.get(), f);
            // A UICC that answers class A0 too keeps its phonebook in its USIM.
            UiccChannel channel(c.driver, handle.get());
            if (const auto usim = openUsim(channel)) {
                c.link.cardKind = CardKind::UiccWithUsim;
                c.link.usimAid = usim->aid;
            }
        } else if (const auto usim = usimAfterRefusal(c.driver, handle.get())) {
            c.link.cardKind = CardKind::UsimOnly;
            c.link.usimAid = usim->aid;
            pin = {usim->pin1Enabled, usim->attemptsLeft};
            identity = readCardIdentity(c.driver, handle.get(), c.link);
        } else {
            return CardOpened::NotAnswering;
        }
    }
    if (identity != c.link.chv1CodeOwner) {
        c.link.chv1Code.clear();
        c.link.chv1CodeOwner.clear();
        c.reader.chv1Pending = true;
    }
    bool dialogShown = false;
    if (settlePin(c, pin, dialogShown) == PinStep::Failed) {
        return CardOpened::PinNotGiven;
    }
    CardHandle handle(c.driver, c.reader.devicePath);
    CardTransaction transaction(c.driver, handle.get());
    if (dialogShown) {
        // The card was left alone while the user typed; take the identity it has now.
        identity = readCardIdentity(c.driver, handle.get(), c.link);
    }
    c.link.isCdmaCard = c.link.cardKind == CardKind::GsmSim && handle.isOpen() &&
                        detectCdmaCard(c.driver, handle.get(), f);
    c.reader.lastIdentity = identity;
    c.status.showCard(text::CardPresent, identity);
    return CardOpened::Opened;
}

} // namespace velnor
