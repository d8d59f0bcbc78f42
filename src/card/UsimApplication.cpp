#include "card/UsimApplication.h"

#include <algorithm>

#include "card/EfDir.h"
#include "card/EfIccid.h"
#include "card/Fcp.h"
#include "card/FileStatus.h"
#include "reader/Instructions.h"

namespace velnor {

namespace {

constexpr uint8_t Pin1 = 0x01; // key reference (TS 102 221, 9.5.1)

} // namespace

std::optional<UsimState> openUsim(UiccChannel &channel) {
    const auto dirBytes = channel.selectPath(EfDir::path);
    const auto dir = dirBytes ? parseFcp(*dirBytes) : std::nullopt;
    if (!dir || dir->type != Fcp::Type::LinearFixed || dir->recordLength == 0 ||
        dir->recordLength > 255) {
        return std::nullopt;
    }
    UsimState usim;
    // Record numbers go up to 254 (TS 102 221, 11.1.5), whatever a template claims.
    const uint16_t records = std::min<uint16_t>(dir->recordCount, 254);
    for (uint16_t number = 1; number <= records && usim.aid.empty(); ++number) {
        const auto record = channel.readRecord(static_cast<uint8_t>(number),
                                               static_cast<uint8_t>(dir->recordLength));
        if (!record) {
            return std::nullopt;
        }
        usim.aid = EfDir::usimAid(*record).value_or(Bytes());
    }
    const auto adfBytes = usim.aid.empty() ? std::nullopt : channel.selectAid(usim.aid);
    const auto adf = adfBytes ? parseFcp(*adfBytes) : std::nullopt;
    if (!adf) {
        return std::nullopt;
    }
    // A PIN status template that does not name PIN1: the USIM does not use it.
    usim.pin1Enabled = adf->pin1Enabled.value_or(false);
    usim.attemptsLeft = channel.attemptsLeft(ins::Verify, Pin1);
    return usim;
}

bool learnCardKind(CUSBOpKrnl &driver, int handle, CardLink &link) {
    link.cardKind = CardKind::GsmSim;
    link.usimAid.clear();
    if (selectFile(driver, handle, df::Master, link.simFunction)) {
        return true;
    }
    const std::optional<UsimState> usim = usimAfterRefusal(driver, handle);
    if (!usim) {
        return false;
    }
    link.cardKind = CardKind::UsimOnly;
    link.usimAid = usim->aid;
    return true;
}

std::optional<UsimState> usimAfterRefusal(CUSBOpKrnl &driver, int handle) {
    const uint16_t refusal = driver.lastStatusWord();
    if (refusal != 0x6E00 && refusal != 0x6D00) {
        return std::nullopt;
    }
    UiccChannel channel(driver, handle);
    return openUsim(channel);
}

std::optional<std::string> readUiccIdentity(UiccChannel &channel) {
    const auto fcpBytes = channel.selectPath(EfIccid::path);
    const auto fcp = fcpBytes ? parseFcp(*fcpBytes) : std::nullopt;
    if (!fcp || fcp->type != Fcp::Type::Transparent || fcp->size == 0) {
        return std::nullopt;
    }
    // As on a SIM: at most what one READ BINARY gives.
    const auto bytes =
        channel.readBinary(0, static_cast<uint8_t>(std::min<size_t>(fcp->size, 255)));
    if (!bytes) {
        return std::nullopt;
    }
    return EfIccid::decode(*bytes);
}

} // namespace velnor
