#include "transfer/CardAccess.h"

#include "card/CardOpening.h"
#include "card/CardTransaction.h"
#include "card/ChvOperations.h"
#include "card/FileStatus.h"

namespace velnor {

std::optional<WritableCard> openWritableCard(CUSBOpKrnl &driver, const std::string &devicePath,
                                             const CardLink &link) {
    WritableCard card{std::make_unique<CardHandle>(driver, devicePath), {}};
    if (!card.handle->isOpen()) {
        return std::nullopt;
    }
    const int h = card.handle->get();
    CardTransaction transaction(driver, h);
    const std::optional<FileStatus> master =
        selectWithStatus(driver, h, fid::MasterFile, link.simFunction);
    if (!master) {
        return std::nullopt;
    }
    if (master->chv1Enabled() && !presentStoredChv1(driver, h, link)) {
        return std::nullopt;
    }
    // The identity names the card backups, so that one goes back to no other card.
    card.identity = readCardIdentity(driver, h, link.simFunction);
    return card;
}

} // namespace velnor
