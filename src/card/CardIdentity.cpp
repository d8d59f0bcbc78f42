#include "card/CardIdentity.h"

#include <algorithm>
#include <array>

#include "card/EfIccid.h"
#include "card/EfImsi.h"
#include "card/FileStatus.h"
#include "card/UsimApplication.h"

namespace velnor {

std::optional<std::string> tryReadCardIdentity(CUSBOpKrnl &driver, int handle, uint8_t f) {
    const std::optional<FileStatus> file = selectWithStatus(driver, handle, EfIccid::id, f);
    if (!file) {
        return std::nullopt;
    }
    // The size's low byte is what one READ BINARY can ask for.
    const uint8_t size = static_cast<uint8_t>(file->fileSize() & 0xFF);
    std::array<uint8_t, 256> bytes{};
    if (driver.ReadBinary(handle, size, f, bytes.data()) == 0) {
        return std::nullopt;
    }
    return EfIccid::decode({bytes.data(), size});
}

std::optional<std::string> tryReadImsi(CUSBOpKrnl &driver, int handle, uint8_t f) {
    if (!selectFile(driver, handle, df::Master, f) || !selectFile(driver, handle, df::Gsm, f)) {
        return std::nullopt;
    }
    const std::optional<FileStatus> file = selectWithStatus(driver, handle, EfImsi::id, f);
    if (!file) {
        return std::nullopt;
    }
    std::array<uint8_t, EfImsi::size> bytes{};
    const uint8_t size = static_cast<uint8_t>(std::min<size_t>(file->fileSize(), EfImsi::size));
    if (size < 2 || driver.ReadBinary(handle, size, f, bytes.data()) == 0) {
        return std::nullopt;
    }
    return EfImsi::decode({bytes.data(), size});
}

std::string readCardIdentity(CUSBOpKrnl &driver, int handle, uint8_t f) {
    return tryReadCardIdentity(driver, handle, f).value_or(std::string());
}

std::string readCardIdentity(CUSBOpKrnl &driver, int handle, const CardLink &link) {
    if (link.cardKind == CardKind::GsmSim) {
        return readCardIdentity(driver, handle, link.simFunction);
    }
    UiccChannel channel(driver, handle);
    return readUiccIdentity(channel).value_or(std::string());
}

} // namespace velnor
