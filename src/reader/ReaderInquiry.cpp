#include "reader/ReaderInquiry.h"

#include "reader/ReaderName.h"
#include "reader/SimulatedCards.h"

namespace velnor {

std::optional<ReaderInquiry> parseInquiry(const std::vector<uint8_t> &block) {
    if (block.size() < 5) {
        return std::nullopt;
    }
    ReaderInquiry inquiry;
    inquiry.versionByte = block[0];
    inquiry.versionValue = static_cast<uint16_t>(block[1] << 8 | block[2]);
    const size_t count = block[4];
    for (size_t i = 0; i < count && 5 + 4 * (i + 1) <= block.size(); ++i) {
        std::string name(block.begin() + static_cast<long>(5 + 4 * i),
                         block.begin() + static_cast<long>(5 + 4 * (i + 1)));
        if (name == "SIM " && !inquiry.simFunction) {
            inquiry.simFunction = static_cast<uint8_t>(i);
        }
        inquiry.functions.push_back(std::move(name));
    }
    return inquiry;
}

ReaderChoice chooseReader(CUSBOpKrnl &driver) {
    ReaderChoice choice;
    const std::optional<std::string> path = driver.FindDeviceEntry();
    if (!path) {
        choice.fault = ReaderChoice::Fault::NoReader;
        return choice;
    }
    choice.path = *path;
    if (ReaderName::isSimulated(*path) &&
        !SimulatedCards::instance().cardFor(*path, choice.why, &choice.profileFault)) {
        choice.fault = ReaderChoice::Fault::NoProfile;
        return choice;
    }
    auto connection = std::make_shared<CardConnection>(driver, *path);
    if (!connection->handle().isOpen()) {
        choice.fault = ReaderChoice::Fault::CannotOpen;
        choice.why = driver.lastError();
        return choice;
    }
    const std::optional<std::vector<uint8_t>> block =
        driver.SIM_InquiryFunctions(connection->handle().get());
    const std::optional<ReaderInquiry> inquiry = block ? parseInquiry(*block) : std::nullopt;
    if (!inquiry) {
        choice.fault = ReaderChoice::Fault::NoSimFunction;
        return choice;
    }
    choice.inquiry = *inquiry;
    choice.connection = std::move(connection);
    return choice;
}

} // namespace velnor
