#include "reader/ReaderInquiry.h"

#include "reader/CardHandle.h"

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

std::optional<ReaderInquiry> inquireReader(CUSBOpKrnl &driver, const std::string &devicePath) {
    CardHandle handle(driver, devicePath);
    if (!handle.isOpen()) {
        return std::nullopt;
    }
    const std::optional<std::vector<uint8_t>> block = driver.SIM_InquiryFunctions(handle.get());
    if (!block) {
        return std::nullopt;
    }
    return parseInquiry(*block);
}

} // namespace velnor
