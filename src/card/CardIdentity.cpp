#include "card/CardIdentity.h"

#include <algorithm>
#include <array>

#include "card/FileStatus.h"
#include "codec/CMyTools.h"

namespace velnor {

namespace {

constexpr size_t kMaxIdentityBytes = 32; // the identity holds at most 64 digits

} // namespace

std::optional<std::string> tryReadCardIdentity(CUSBOpKrnl &driver, int handle, uint8_t f) {
    const std::optional<FileStatus> file = selectWithStatus(driver, handle, fid::Iccid, f);
    if (!file) {
        return std::nullopt;
    }
    // The size's low byte is what one READ BINARY can ask for.
    const uint8_t size = static_cast<uint8_t>(file->fileSize() & 0xFF);
    std::array<uint8_t, 256> bytes{};
    if (driver.ReadBinary(handle, size, f, bytes.data()) == 0) {
        return std::nullopt;
    }
    return CMyTools::bcd2asc(bytes.data(), std::min<size_t>(size, kMaxIdentityBytes));
}

std::string readCardIdentity(CUSBOpKrnl &driver, int handle, uint8_t f) {
    return tryReadCardIdentity(driver, handle, f).value_or(std::string());
}

} // namespace velnor
