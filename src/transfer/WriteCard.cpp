#include "transfer/WriteCard.h"

#include <algorithm>

#include "base/TextIds.h"
#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "card/FileStatus.h"
#include "files/ListFile.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "records/MessageRecord.h"
#include "transfer/CardAccess.h"
#include "transfer/CardBackup.h"
#include "transfer/CardSnapshot.h"
#include "transfer/PhonebookTransfer.h"
#include "transfer/RecordProgress.h"
#include "transfer/RecordWriting.h"
#include "transfer/UsimWrite.h"

namespace velnor {

namespace {

// Record numbers are one byte (GSM 11.11, 9.2.5): later records cannot be addressed.
constexpr uint16_t kMaxRecords = 255;

class Write {
public:
    Write(Session &session, Environment &env, CardFile file)
        : s_(session), env_(env), phonebook_(file == CardFile::Phonebook) {}

    WriteResult run();

private:
    bool openCard();
    bool selectTargetFile();
    bool selectUiccFile();
    WriteResult writeUsim(CardTransaction &transaction, PauseGuard &pause);
    std::vector<EfAdn::Value> wantedEntries() const;
    void finish(PauseGuard &pause);
    void reportUnwritten(const std::vector<size_t> &positions);
    bool confirm();
    bool learn82Coding(uint16_t index);
    RecordBuffer record(uint16_t index) const;
    std::string filePath() const;
    void summarise();

    uint8_t f() const { return s_.card.simFunction; }
    bool cdmaFile() const { return !phonebook_ && s_.card.isCdmaCard; }
    size_t rowCount() const {
        return phonebook_ ? s_.cardPhonebook.rowCount() : s_.messages.size();
    }
    size_t filled() const { return std::min<size_t>(rowCount(), count_); }

    Session &s_;
    Environment &env_;
    const bool phonebook_;
    std::unique_ptr<CardHandle> handle_;
    std::string identity_;
    uint8_t length_ = 0;
    uint16_t count_ = 0;
    bool updatable_ = false;
    std::unique_ptr<UiccFiles> uicc_;   // a UICC's files, through class 00
    std::optional<UsimPhonebook> book_; // the USIM phonebook, when EF PBR lists one
    std::vector<uint16_t> path_;        // of the file a UICC write changes
};

WriteResult Write::run() {
    env_.timing.wait(env_.timing.writeStart);
    PauseGuard pause(env_.worker);
    env_.timing.wait(env_.timing.writeSettle);
    WriteResult result;
    if (!openCard()) {
        return result;
    }
    {
        CardTransaction selecting(env_.driver, handle_->get());
        if (!selectTargetFile()) {
            return result;
        }
    }
    if (!updatable_) {
        env_.prompts.showMessage(MessageKind::Error, {text::CardFileProtected, "",
                                                      env_.texts.get(text::CardFileProtected)});
        return result;
    }
    if (!confirm()) {
        result.outcome = WriteOutcome::Declined;
        return result;
    }
    // From here to the last record no other program may select a file on the card. One may have
    // done so while the user answered, so the file is selected again and must be the same.
    CardTransaction transaction(env_.driver, handle_->get());
    const uint8_t length = length_;
    const uint16_t count = count_;
    if (!selectTargetFile() || length_ != length || count_ != count || !updatable_) {
        return result;
    }
    if (book_) {
        return writeUsim(transaction, pause);
    }

    RecordFiles *files = uicc_ ? &uicc_->files : nullptr;
    const Snapshot snapshot = snapshotCardFile(
        env_, {handle_->get(), f(), cdmaFile(), identity_, s_.reader.devicePath, filePath(),
               length_, count_, &transaction, std::filesystem::path(), files});
    if (snapshot.result != SnapshotResult::Saved) {
        env_.progress.close();
        result.outcome = snapshot.result == SnapshotResult::Cancelled ? WriteOutcome::Cancelled
                                                                      : WriteOutcome::Failed;
        return result;
    }
    result.cardBackup = snapshot.file;

    const RecordsWritten written = writeRecords(
        env_, {handle_->get(), f(), cdmaFile(), phonebook_, length_, count_, &transaction, files},
        [this](uint16_t index) -> std::optional<RecordBuffer> {
            if (!learn82Coding(index)) {
                return std::nullopt;
            }
            return record(index);
        },
        result.recordsWritten);
    transaction.end();
    if (written == RecordsWritten::CardFailed) {
        env_.progress.close();
        return result;
    }
    if (phonebook_) {
        // A card without a USIM phonebook keeps the name and number of an entry alone.
        std::vector<size_t> unwritten;
        for (size_t row = 0; row < std::min<size_t>(filled(), result.recordsWritten); ++row) {
            const PhoneEntry wanted = phoneEntryOfRow(s_.cardPhonebook, row);
            if (!wanted.email.empty() || !wanted.additionalNumber.empty() ||
                !wanted.secondName.empty()) {
                unwritten.push_back(row);
            }
        }
        reportUnwritten(unwritten);
    }
    summarise();
    finish(pause);
    result.outcome =
        written == RecordsWritten::Cancelled ? WriteOutcome::Cancelled : WriteOutcome::Done;
    return result;
}

void Write::finish(PauseGuard &pause) {
    env_.progress.close();
    handle_.reset();
    env_.timing.wait(env_.timing.finishBefore);
    pause.resumeNow();
    env_.timing.wait(env_.timing.finishAfter);
}

// Every file the write may change goes to one card backup first; then the planned updates.
WriteResult Write::writeUsim(CardTransaction &transaction, PauseGuard &pause) {
    WriteResult result;
    RecordFiles &files = uicc_->files;
    env_.progress.begin(env_.texts.get(text::PleaseWait), env_.texts.get(text::SavingBackup), 0,
                        count_);
    bool cancelled = false;
    std::optional<std::vector<FileImage>> before =
        book_->snapshot(files, [this, &transaction, &cancelled](size_t done, size_t total) {
            if (done == 0) {
                env_.progress.begin(env_.texts.get(text::PleaseWait),
                                    env_.texts.get(text::SavingBackup), 0, int(total));
            }
            if (!progressGoesOn(env_, &transaction)) {
                cancelled = true;
                return false;
            }
            env_.status.showProgress(text::ReadingRecord, static_cast<uint16_t>(total),
                                     static_cast<uint16_t>(done + 1));
            return true;
        });
    if (!before || before->empty()) {
        env_.progress.close();
        result.outcome = cancelled ? WriteOutcome::Cancelled : WriteOutcome::Failed;
        return result;
    }
    CardBackup backup{identity_, s_.reader.devicePath,         formatFilePath(before->front().path),
                      "",        before->front().recordLength, before->front().records};
    for (auto image = before->begin() + 1; image != before->end(); ++image) {
        backup.more.push_back({formatFilePath(image->path), image->recordLength, image->records});
    }
    const Snapshot snapshot = saveSnapshot(env_, std::move(backup), {}, &transaction);
    if (snapshot.result != SnapshotResult::Saved) {
        env_.progress.close();
        return result;
    }
    result.cardBackup = snapshot.file;

    const UsimWrite written = writeUsimPhonebook(env_, *book_, files, std::move(*before),
                                                 wantedEntries(), s_.card, transaction);
    result.recordsWritten = written.updates;
    transaction.end();
    if (written.outcome == RecordsWritten::CardFailed) {
        env_.progress.close();
        return result;
    }
    reportUnwritten(written.unwritten);
    summarise();
    finish(pause);
    result.outcome =
        written.outcome == RecordsWritten::Cancelled ? WriteOutcome::Cancelled : WriteOutcome::Done;
    return result;
}

// Told like the rows whose name is cut to the card's length: their No. values.
void Write::reportUnwritten(const std::vector<size_t> &positions) {
    if (positions.empty()) {
        return;
    }
    std::string rows;
    for (const size_t position : positions) {
        rows += std::to_string(position + 1) + ',';
    }
    env_.prompts.showMessage(
        MessageKind::Warning,
        {text::FieldsNotWritten, "", env_.texts.format(text::FieldsNotWritten, {rows})});
}

std::vector<EfAdn::Value> Write::wantedEntries() const {
    std::vector<EfAdn::Value> wanted(count_);
    for (size_t row = 0; row < filled(); ++row) {
        wanted[row] = phoneEntryOfRow(s_.cardPhonebook, row);
    }
    return wanted;
}

std::string Write::filePath() const {
    if (uicc_) {
        return formatFilePath(path_);
    }
    if (phonebook_) {
        return std::string(kPhonebookFilePath);
    }
    return std::string(cdmaFile() ? kCdmaMessageFilePath : kMessageFilePath);
}

bool Write::openCard() {
    std::optional<WritableCard> card = openWritableCard(env_.driver, s_.reader.devicePath, s_.card);
    if (!card) {
        return false;
    }
    handle_ = std::move(card->handle);
    identity_ = card->identity;
    uicc_ = std::move(card->uicc);
    if (cdmaFile() && !s_.reader.readerCdmaCapable) {
        env_.prompts.showMessage(MessageKind::Error, {text::CardFileNotAccessible, "",
                                                      env_.texts.get(text::CardFileNotAccessible)});
        return false;
    }
    return true;
}

bool Write::selectTargetFile() {
    if (uicc_) {
        return selectUiccFile();
    }
    const int h = handle_->get();
    const uint16_t directory = cdmaFile() ? df::Cdma : df::Telecom;
    if (!selectFile(env_.driver, h, directory, f())) {
        return false;
    }
    const std::optional<FileStatus> file = selectWithStatus(env_.driver, h,
                                                            phonebook_   ? EfAdn::id
                                                            : cdmaFile() ? EfCdmaSms::id
                                                                         : EfSms::id,
                                                            f());
    if (!file || file->recordLength() == 0) {
        return false;
    }
    // A phonebook record always has its 14 bytes of number fields.
    if (phonebook_ && file->recordLength() < EfAdn::tail) {
        return false;
    }
    length_ = file->recordLength();
    count_ = std::min(file->recordCount(), kMaxRecords);
    updatable_ = file->updatesAllowed();
    return true;
}

// The USIM phonebook when EF PBR lists one, else the file at its path under DF TELECOM, or the
// message file under the USIM or DF TELECOM.
bool Write::selectUiccFile() {
    RecordFiles &files = uicc_->files;
    book_ = phonebook_ ? UsimPhonebook::open(files) : std::nullopt;
    if (book_) {
        length_ = book_->adnRecordLength();
        count_ = static_cast<uint16_t>(std::min<size_t>(book_->capacity(), UINT16_MAX));
        updatable_ = true;
        return length_ >= EfAdn::tail;
    }
    std::optional<FoundFile> file;
    if (phonebook_) {
        if (const auto shape = files.select(EfAdn::path)) {
            file = FoundFile{velnor::filePath<EfAdn>(), *shape};
        }
    } else {
        file = selectMessageFile(files, EfSms::id);
    }
    if (!file || file->shape.recordLength == 0 ||
        (phonebook_ && file->shape.recordLength < EfAdn::tail)) {
        return false;
    }
    path_ = file->path;
    length_ = file->shape.recordLength;
    count_ = std::min(file->shape.recordCount, kMaxRecords);
    updatable_ = file->shape.updatable;
    return true;
}

bool Write::confirm() {
    const size_t rows = rowCount();
    const long long n = static_cast<long long>(filled());
    const long long rest = static_cast<long long>(count_) - n;
    Prompt question;
    if (phonebook_ ? n == 0 : rows == 0) {
        question = {text::ClearCardFileQuestion, "", env_.texts.get(text::ClearCardFileQuestion)};
    } else {
        const int id = phonebook_ ? text::WriteEntriesQuestion : text::WriteMessagesQuestion;
        question = {id, "", env_.texts.format(id, {n, rest})};
    }
    if (!env_.prompts.askYesNo(question)) {
        return false;
    }
    if (count_ < rows) {
        env_.prompts.showMessage(
            MessageKind::Information,
            {text::OnlyFirstRowsWritten, "",
             env_.texts.format(text::OnlyFirstRowsWritten, {(long long)count_})});
    }
    return true;
}

// A name goes to the card in the 0x82 coding only once the card has shown that it keeps one. The
// first record that needs it is written so and read back, in its turn and after the card backup
// holds its old bytes; the answer stands for every later record and write until the next read.
// False when the card failed; the record then holds its old bytes or its new ones.
bool Write::learn82Coding(uint16_t index) {
    CardState &card = s_.card;
    if (!phonebook_ || card.ucs82Probed || card.ucs82Unsupported) {
        return true;
    }
    const RecordBuffer image = record(index);
    if (image[0] != 0x82) {
        return true;
    }
    const int h = handle_->get();
    const auto number = static_cast<uint8_t>(index + 1);
    RecordBuffer kept{};
    if (uicc_) {
        RecordFiles &files = uicc_->files;
        const std::optional<Bytes> back =
            files.update(number, Bytes(image.begin(), image.begin() + length_)) ? files.read(number)
                                                                                : std::nullopt;
        if (!back) {
            return false;
        }
        std::copy(back->begin(), back->end(), kept.begin());
    } else if (env_.driver.UpdateRecord(h, length_, number, f(), image.data(), false) == 0 ||
               env_.driver.ReadRecord(h, length_, number, f(), kept.data(), false) == 0) {
        return false;
    }
    const size_t alpha = length_ - EfAdn::tail;
    card.ucs82Unsupported = !std::equal(
        image.begin(), image.begin() + static_cast<std::ptrdiff_t>(alpha), kept.begin());
    card.ucs82Probed = true;
    return true;
}

RecordBuffer Write::record(uint16_t index) const {
    RecordBuffer buffer{};
    if (phonebook_) {
        const RowList &rows = s_.cardPhonebook;
        const EfAdn::Value value = index < filled()
                                       ? EfAdn::Value(PhoneEntry{rows.cell(index, column::Name),
                                                                 rows.cell(index, column::Number)})
                                       : std::nullopt;
        const Bytes image = EfAdn::encode(value, length_, s_.card.ucs82Unsupported);
        std::copy(image.begin(), image.end(), buffer.begin());
    } else if (index < s_.messages.size()) {
        const MessageImage &image = s_.messages.store()[index];
        std::copy_n(image.begin(), length_, buffer.begin());
    } else {
        const Bytes free = EfSms::encode(std::nullopt, length_);
        std::copy(free.begin(), free.end(), buffer.begin());
    }
    return buffer;
}

void Write::summarise() {
    const long long written = static_cast<long long>(filled());
    if (phonebook_) {
        SaveListFile((env_.backupDir / "Phone.fph").string(), s_.cardPhonebook, env_.prompts,
                     env_.texts, Durability::Replaced);
        env_.prompts.showMessage(
            MessageKind::Information,
            {text::RecordsWritten, "",
             env_.texts.format(text::RecordsWritten, {(long long)count_, written})});
        env_.status.showProgress(text::RecordsWritten, count_, static_cast<uint16_t>(written));
    } else {
        env_.prompts.showMessage(
            MessageKind::Information,
            {text::MessageRecordsWritten, "",
             env_.texts.format(text::MessageRecordsWritten, {(long long)count_, written})});
        env_.status.showProgress(text::MessageRecordsWritten, count_,
                                 static_cast<uint16_t>(written));
        SaveListFile((env_.backupDir / "Message.fsm").string(), s_.messages.rows(), env_.prompts,
                     env_.texts, Durability::Replaced);
    }
}

} // namespace

WriteResult writeCard(Session &session, Environment &env, CardFile file) {
    return Write(session, env, file).run();
}

} // namespace velnor
