#include "card/CardRecordFiles.h"

#include <algorithm>
#include <array>

#include "card/Fcp.h"
#include "card/FileStatus.h"

namespace velnor {

std::optional<RecordFiles::Shape> GsmRecordFiles::select(std::span<const uint16_t> path) {
    if (path.empty()) {
        return std::nullopt;
    }
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        if (!selectFile(driver_, handle_, path[i], f_)) {
            return std::nullopt;
        }
    }
    const std::optional<FileStatus> status = selectWithStatus(driver_, handle_, path.back(), f_);
    if (!status) {
        return std::nullopt;
    }
    transparent_ = status->isTransparent();
    length_ = transparent_ ? static_cast<uint8_t>(std::min<size_t>(status->fileSize(), 255))
                           : status->recordLength();
    return Shape{length_, transparent_ ? uint16_t(0) : status->recordCount(),
                 status->updatesAllowed(), 0, transparent_};
}

std::optional<Bytes> GsmRecordFiles::read(uint8_t number) {
    std::array<uint8_t, 256> buffer{};
    if (number == 0) {
        if (!transparent_ || driver_.ReadBinary(handle_, length_, f_, buffer.data()) == 0) {
            return std::nullopt;
        }
        return Bytes(buffer.begin(), buffer.begin() + length_);
    }
    if (driver_.ReadRecord(handle_, length_, number, f_, buffer.data(), cdma_) == 0) {
        return std::nullopt;
    }
    return Bytes(buffer.begin(), buffer.begin() + length_);
}

bool GsmRecordFiles::update(uint8_t number, const Bytes &record) {
    // The GSM driver operations have no UPDATE BINARY: a USIM's transparent phonebook files are
    // changed through class 00 only.
    if (record.size() != length_ || number == 0) {
        return false;
    }
    return driver_.UpdateRecord(handle_, length_, number, f_, record.data(), cdma_) != 0;
}

std::optional<RecordFiles::Shape> UiccRecordFiles::select(std::span<const uint16_t> path) {
    const std::optional<Bytes> bytes = channel_.selectPath(path);
    const std::optional<Fcp> fcp = bytes ? parseFcp(*bytes) : std::nullopt;
    if (!fcp) {
        return std::nullopt;
    }
    transparent_ = fcp->type == Fcp::Type::Transparent;
    const size_t length = transparent_ ? fcp->size : fcp->recordLength;
    if (length == 0 || length > 255) {
        return std::nullopt;
    }
    length_ = static_cast<uint8_t>(length);
    return Shape{length_, transparent_ ? uint16_t(0) : fcp->recordCount, true, fcp->sfi,
                 transparent_};
}

std::optional<Bytes> UiccRecordFiles::read(uint8_t number) {
    std::optional<Bytes> record =
        number == 0 ? transparent_ ? channel_.readBinary(0, length_) : std::nullopt
                    : channel_.readRecord(number, length_);
    if (record && record->size() != length_) {
        return std::nullopt;
    }
    return record;
}

bool UiccRecordFiles::update(uint8_t number, const Bytes &record) {
    if (record.size() != length_ || (number == 0) != transparent_) {
        return false;
    }
    return number == 0 ? channel_.updateBinary(0, record) : channel_.updateRecord(number, record);
}

} // namespace velnor
