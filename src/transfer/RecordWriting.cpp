#include "transfer/RecordWriting.h"

#include "base/TextIds.h"
#include "transfer/RecordProgress.h"

namespace velnor {

namespace {

bool update(Environment &env, const RecordTarget &target, uint8_t number,
            const RecordBuffer &buffer) {
    if (target.files != nullptr) {
        return target.files->update(number,
                                    Bytes(buffer.begin(), buffer.begin() + target.recordLength));
    }
    return env.driver.UpdateRecord(target.handle, target.recordLength, number, target.simFunction,
                                   buffer.data(), target.cdma) != 0;
}

} // namespace

RecordsWritten
writeRecords(Environment &env, const RecordTarget &target,
             const std::function<std::optional<RecordBuffer>(uint16_t index)> &record,
             size_t &written) {
    const uint16_t count = target.recordCount;
    env.progress.begin(env.texts.get(text::PleaseWait), env.texts.get(text::WorkingWithCard), 0,
                       count);
    for (uint16_t i = 0; i < count; ++i) {
        if (!progressGoesOn(env, target.transaction)) {
            return RecordsWritten::Cancelled;
        }
        const auto number = static_cast<uint16_t>(i + 1);
        if (target.phonebook) {
            env.status.showProgress(text::WritingRecord, number, count);
        } else {
            env.status.showProgress(text::WritingMessageRecord, count, number);
        }
        const std::optional<RecordBuffer> buffer = record(i);
        if (!buffer || !update(env, target, static_cast<uint8_t>(number), *buffer)) {
            return RecordsWritten::CardFailed;
        }
        ++written;
        if (!target.phonebook) {
            env.timing.wait(env.timing.messageUpdate);
        }
    }
    return RecordsWritten::All;
}

} // namespace velnor
