#include "transfer/UsimWrite.h"

#include <algorithm>

#include "base/TextIds.h"
#include "transfer/RecordProgress.h"

namespace velnor {

namespace {

// The card now holds `update`: so does the image the next plan starts from.
void apply(std::vector<FileImage> &images, const RecordUpdate &update) {
    const auto image = std::find_if(images.begin(), images.end(), [&](const FileImage &file) {
        return file.path == update.path;
    });
    const size_t index = update.record == 0 ? 0 : update.record - 1u;
    if (image != images.end() && index < image->records.size()) {
        image->records[index] = update.bytes;
    }
}

// An ADN record (or an e-mail or second name record of its length, coded alike) whose alpha
// field takes the 0x82 coding (GSM 11.11, Annex B).
bool namesIn82(const UsimPhonebook &book, const RecordUpdate &update) {
    return update.record != 0 && update.bytes.size() == book.adnRecordLength() &&
           update.bytes[0] == 0x82;
}

// Writes one update, selecting its file only when the one before went to another: most of a
// write's updates go to one file in turn.
bool write(RecordFiles &files, const RecordUpdate &update, std::vector<uint16_t> &selected) {
    if (selected != update.path) {
        selected.clear();
        if (!files.select(update.path)) {
            return false;
        }
        selected = update.path;
    }
    return files.update(update.record, update.bytes);
}

} // namespace

UsimWrite writeUsimPhonebook(Environment &env, const UsimPhonebook &book, RecordFiles &files,
                             std::vector<FileImage> before, const std::vector<EfAdn::Value> &wanted,
                             CardState &card, CardTransaction &transaction) {
    UsimWrite result;
    std::vector<RecordUpdate> updates =
        book.plan(before, wanted, card.ucs82Unsupported, &result.unwritten);
    size_t total = updates.size();
    env.progress.begin(env.texts.get(text::PleaseWait), env.texts.get(text::WorkingWithCard), 0,
                       static_cast<int>(total));
    size_t next = 0;
    std::vector<uint16_t> selected;
    while (next < updates.size()) {
        if (!progressGoesOn(env, &transaction)) {
            result.outcome = RecordsWritten::Cancelled;
            return result;
        }
        env.status.showProgress(text::WritingRecord, static_cast<uint16_t>(result.updates + 1),
                                static_cast<uint16_t>(total));
        const RecordUpdate update = updates[next++];
        if (!write(files, update, selected)) {
            return result;
        }
        ++result.updates;
        if (card.ucs82Probed || card.ucs82Unsupported || !namesIn82(book, update)) {
            apply(before, update);
            continue;
        }
        const std::optional<Bytes> kept = files.read(update.record);
        if (!kept) {
            return result;
        }
        card.ucs82Probed = true;
        card.ucs82Unsupported = *kept != update.bytes;
        apply(before, {update.path, update.record, *kept});
        if (card.ucs82Unsupported) {
            // Planned afresh from the card as it is now, which every update so far left whole.
            result.unwritten.clear();
            updates = book.plan(before, wanted, true, &result.unwritten);
            next = 0;
            total = result.updates + updates.size();
            env.progress.begin(env.texts.get(text::PleaseWait),
                               env.texts.get(text::WorkingWithCard),
                               static_cast<int>(result.updates), static_cast<int>(total));
        }
    }
    result.outcome = RecordsWritten::All;
    return result;
}

} // namespace velnor
