#include "transfer/CardAccess.h"

#include "card/CardIdentity.h"
#include "card/CardOpening.h"
#include "card/ChvOperations.h"
#include "card/FileStatus.h"
#include "reader/CardTransaction.h"

namespace velnor {

namespace {

constexpr std::string_view kImsiPrefix = "IMSI ";

bool isImsi(const std::string &identity) {
    return identity.starts_with(kImsiPrefix);
}

} // namespace

IdentityMatch matchIdentities(const std::string &backup, const std::string &card) {
    if (backup.empty() || card.empty() || isImsi(backup) != isImsi(card)) {
        return IdentityMatch::Unknown;
    }
    return backup == card ? IdentityMatch::Same : IdentityMatch::Other;
}

IdentityMatch matchBeforePin(const std::string &backup, const std::string &cardIccid) {
    const std::string backupIccid = isImsi(backup) ? std::string() : backup;
    return backupIccid == cardIccid ? IdentityMatch::Same : matchIdentities(backupIccid, cardIccid);
}

std::optional<WritableCard> openWritableCard(CUSBOpKrnl &driver, const std::string &devicePath,
                                             const CardLink &link) {
    WritableCard card{std::make_unique<CardHandle>(driver, devicePath), {}};
    if (!card.handle->isOpen()) {
        return std::nullopt;
    }
    const int h = card.handle->get();
    CardTransaction transaction(driver, h);
    const std::optional<FileStatus> master =
        selectWithStatus(driver, h, df::Master, link.simFunction);
    if (!master) {
        return std::nullopt;
    }
    if (master->chv1Enabled() && !presentStoredChv1(driver, h, link)) {
        return std::nullopt;
    }
    // The identity names the card backups, so that one goes back to no other card. The IMSI
    // is read only past the PIN step above, where the card shows it.
    card.identity = readCardIdentity(driver, h, link.simFunction);
    if (card.identity.empty()) {
        if (const std::optional<std::string> imsi = tryReadImsi(driver, h, link.simFunction)) {
            card.identity = std::string(kImsiPrefix) + *imsi;
        }
    }
    return card;
}

} // namespace velnor
