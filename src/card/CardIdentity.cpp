#include "card/CardIdentity.h"

#include <algorithm>
#include <array>

#include "card/FileStatus.h"
#include "codec/CMyTools.h"

namespace velnor {

namespace {

constexpr size_t kMaxIdentityBytes = 32; // the identity holds at most 64 digits
constexpr size_t kImsiFileSize = 9;      // a length byte and at most 8 bytes of digits

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

std::optional<std::string> tryReadImsi(CUSBOpKrnl &driver, int handle, uint8_t f) {
    if (!selectFile(driver, handle, fid::MasterFile, f) ||
        !selectFile(driver, handle, fid::Gsm, f)) {
        return std::nullopt;
    }
    const std::optional<FileStatus> file = selectWithStatus(driver, handle, fid::Imsi, f);
    if (!file) {
        return std::nullopt;
    }
    std::array<uint8_t, kImsiFileSize> bytes{};
    const uint8_t size = static_cast<uint8_t>(std::min<size_t>(file->fileSize(), kImsiFileSize));
    if (size < 2 || driver.ReadBinary(handle, size, f, bytes.data()) == 0) {
        return std::nullopt;
    }
    // Byte 1 counts the bytes that follow (FF when unused). The digits are those of a mobile
    // identity (GSM 04.08, 10.5.1.4): the first in the high nibble beside the parity and type
    // bits, then two a byte, low nibble first, an even count ending in F.
    const uint8_t length = bytes[0];
    if (length == 0 || length >= size) {
        return std::nullopt;
    }
    const uint8_t first = static_cast<uint8_t>((bytes[1] & 0xF0) | 0x0F);
    const std::string digits =
        CMyTools::bcd2asc(&first, 1) + CMyTools::bcd2asc(bytes.data() + 2, length - 1u);
    if (digits.empty()) {
        return std::nullopt;
    }
    return digits;
}

std::string readCardIdentity(CUSBOpKrnl &driver, int handle, uint8_t f) {
    return tryReadCardIdentity(driver, handle, f).value_or(std::string());
}

} // namespace velnor
