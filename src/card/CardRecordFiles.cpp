#include "card/CardRecordFiles.h"

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
    length_ = status->recordLength();
    return Shape{length_, status->recordCount(), status->updatesAllowed(), 0};
}

std::optional<Bytes> GsmRecordFiles::read(uint8_t number) {
    std::array<uint8_t, 256> buffer{};
    if (driver_.ReadRecord(handle_, length_, number, f_, buffer.data(), cdma_) == 0) {
        return std::nullopt;
    }
    return Bytes(buffer.begin(), buffer.begin() + length_);
}

bool GsmRecordFiles::update(uint8_t number, const Bytes &record) {
    if (record.size() != length_) {
        return false;
    }
    return driver_.UpdateRecord(handle_, length_, number, f_, record.data(), cdma_) != 0;
}

std::optional<RecordFiles::Shape> UiccRecordFiles::select(std::span<const uint16_t> path) {
    const std::optional<Bytes> bytes = channel_.selectPath(path);
    const std::optional<Fcp> fcp = bytes ? parseFcp(*bytes) : std::nullopt;
    if (!fcp || fcp->recordLength == 0 || fcp->recordLength > 255) {
        return std::nullopt;
    }
    length_ = static_cast<uint8_t>(fcp->recordLength);
    return Shape{length_, fcp->recordCount, true, fcp->sfi};
}

std::optional<Bytes> UiccRecordFiles::read(uint8_t number) {
    std::optional<Bytes> record = channel_.readRecord(number, length_);
    if (record && record->size() != length_) {
        return std::nullopt;
    }
    return record;
}

bool UiccRecordFiles::update(uint8_t number, const Bytes &record) {
    return record.size() == length_ && channel_.updateRecord(number, record);
}

} // namespace velnor
