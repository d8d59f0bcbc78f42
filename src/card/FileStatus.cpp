#include "card/FileStatus.h"

#include "card/EfSms.h"

namespace velnor {

std::optional<FileStatus> selectWithStatus(CUSBOpKrnl &driver, int handle, uint16_t fileId,
                                           uint8_t f) {
    FileStatus status;
    if (driver.SelectFile(handle, fileId, status.length, f) == 0) {
        return std::nullopt;
    }
    if (driver.GetResponse(handle, status.length, status.bytes.data(), f) == 0) {
        return std::nullopt;
    }
    return status;
}

bool selectFile(CUSBOpKrnl &driver, int handle, uint16_t fileId, uint8_t f) {
    uint8_t length = 0;
    return driver.SelectFile(handle, fileId, length, f) != 0;
}

bool detectCdmaCard(CUSBOpKrnl &driver, int handle, uint8_t f) {
    return selectFile(driver, handle, df::Cdma, f) && selectFile(driver, handle, EfCdmaSms::id, f);
}

} // namespace velnor
