#include "transfer/CardAccess.h"

#include "card/CardIdentity.h"
#include "card/CardOpening.h"
#include "card/ChvOperations.h"
#include "card/FileStatus.h"
#include "card/UsimApplication.h"
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

std::optional<FoundFile> selectMessageFile(RecordFiles &files, uint16_t id) {
    for (const uint16_t directory : {CardFileSystem::AdfId, df::Telecom}) {
        std::vector<uint16_t> path{df::Master, directory, id};
        if (const std::optional<RecordFiles::Shape> shape = files.select(path)) {
            return FoundFile{std::move(path), *shape};
        }
    }
    return std::nullopt;
}

CardAnswer openCardFiles(CUSBOpKrnl &driver, int handle, bool masterAnswered, CardLink &link,
                         std::unique_ptr<UiccFiles> &uicc) {
    if (masterAnswered && link.cardKind == CardKind::GsmSim) {
        return CardAnswer::Gsm;
    }
    std::optional<UsimState> usim;
    if (masterAnswered) {
        UiccChannel channel(driver, handle);
        usim = openUsim(channel);
    } else {
        usim = usimAfterRefusal(driver, handle);
        if (usim) {
            link.cardKind = CardKind::UsimOnly;
        }
    }
    if (!usim) {
        return CardAnswer::Failed;
    }
    link.usimAid = usim->aid;
    if (usim->pin1Enabled && !presentStoredChv1(driver, handle, link)) {
        return CardAnswer::Failed;
    }
    uicc = std::make_unique<UiccFiles>(driver, handle);
    return CardAnswer::Uicc;
}

std::optional<WritableCard> openWritableCard(CUSBOpKrnl &driver, const std::string &devicePath,
                                             CardLink &link) {
    WritableCard card{std::make_unique<CardHandle>(driver, devicePath), {}, {}};
    if (!card.handle->isOpen()) {
        return std::nullopt;
    }
    const int h = card.handle->get();
    CardTransaction transaction(driver, h);
    const std::optional<FileStatus> master =
        selectWithStatus(driver, h, df::Master, link.simFunction);
    switch (openCardFiles(driver, h, master.has_value(), link, card.uicc)) {
    case CardAnswer::Failed:
        return std::nullopt;
    case CardAnswer::Uicc:
        card.identity = readUiccIdentity(card.uicc->channel).value_or(std::string());
        return card;
    case CardAnswer::Gsm:
        break;
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
