#include "transfer/ReadCard.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

#include "base/TextIds.h"
#include "card/ChvOperations.h"
#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "card/EfSmsp.h"
#include "card/FileStatus.h"
#include "card/UsimPhonebook.h"
#include "files/ListFile.h"
#include "files/RecordLog.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "records/MessageRecord.h"
#include "transfer/CardAccess.h"
#include "transfer/PhonebookTransfer.h"
#include "transfer/RecordProgress.h"

namespace velnor {

namespace {

constexpr size_t kRecordBuffer = 260;
using RecordBuffer = std::array<uint8_t, kRecordBuffer>;
// Reads one record of the file selected; nullopt when the card failed.
using RecordReader = std::function<std::optional<Bytes>(uint8_t number)>;

// One read in progress: the card handle, the worker held, and the way out. The card's commands
// run inside one card transaction, so no other program can select a file in between; it ends
// before anything is asked of the user. A read only reads: whether the card keeps the 0x82 name
// coding is learnt by the write that needs it, so that a read interrupted at any point leaves
// the card as it was.
class Read {
public:
    Read(Session &session, Environment &env) : s_(session), env_(env) {}

    ReadResult run(CardFile file);

private:
    bool openCard();
    ReadResult readPhonebook();
    ReadResult readUsimPhonebook(UsimPhonebook &book);
    ReadResult readAdnRecords(uint8_t length, uint16_t count, const RecordReader &read);
    ReadResult phonebookRead(RecordLog *log, uint16_t count, bool cancelled);
    ReadResult readMessages();
    bool loadServiceCentre();
    void closeLog(RecordLog &log);
    // Steps the progress window; false when the user cancelled.
    bool advance(uint16_t total, uint16_t index);
    void fileError(int id) {
        endTransaction();
        env_.prompts.showMessage(MessageKind::Error, {id, "", env_.texts.get(id)});
    }
    void endTransaction() { transaction_.reset(); }

    uint8_t f() const { return s_.card.simFunction; }

    Session &s_;
    Environment &env_;
    std::unique_ptr<CardHandle> handle_;
    std::optional<CardTransaction> transaction_;
    std::unique_ptr<UiccFiles> uicc_; // a UICC's files, through class 00
};

ReadResult Read::run(CardFile file) {
    env_.timing.wait(env_.timing.readStart);
    PauseGuard pause(env_.worker);
    if (!openCard()) {
        endTransaction();
        handle_.reset();
        return {};
    }
    s_.card.ucs82Unsupported = false;
    s_.card.ucs82Probed = false;
    const ReadResult result = file == CardFile::Phonebook ? readPhonebook() : readMessages();
    env_.progress.close();
    endTransaction();
    handle_.reset();
    if (result.outcome != ReadOutcome::Failed) {
        env_.timing.wait(env_.timing.finishBefore);
        pause.resumeNow();
        env_.timing.wait(env_.timing.finishAfter);
    }
    return result;
}

bool Read::openCard() {
    handle_ = std::make_unique<CardHandle>(env_.driver, s_.reader.devicePath);
    if (!handle_->isOpen()) {
        return false;
    }
    transaction_.emplace(env_.driver, handle_->get());
    const std::optional<FileStatus> master =
        selectWithStatus(env_.driver, handle_->get(), df::Master, f());
    switch (openCardFiles(env_.driver, handle_->get(), master.has_value(), s_.card, uicc_)) {
    case CardAnswer::Failed:
        return false;
    case CardAnswer::Uicc:
        s_.card.isCdmaCard = false;
        return true;
    case CardAnswer::Gsm:
        break;
    }
    if (master->chv1Enabled() && !presentStoredChv1(env_.driver, handle_->get(), s_.card)) {
        return false;
    }
    s_.card.isCdmaCard = detectCdmaCard(env_.driver, handle_->get(), f());
    return true;
}

bool Read::advance(uint16_t total, uint16_t index) {
    if (!progressGoesOn(env_, transaction_ ? &*transaction_ : nullptr)) {
        return false;
    }
    env_.status.showProgress(text::ReadingRecord, total, index);
    return true;
}

ReadResult Read::readPhonebook() {
    if (uicc_) {
        RecordFiles &files = uicc_->files;
        if (std::optional<UsimPhonebook> book = UsimPhonebook::open(files)) {
            return readUsimPhonebook(*book);
        }
        const std::optional<RecordFiles::Shape> file = files.select(EfAdn::path);
        if (!file || file->recordLength < EfAdn::tail) {
            fileError(text::CardFileNotAccessible);
            return {};
        }
        return readAdnRecords(file->recordLength, file->recordCount,
                              [&files](uint8_t number) { return files.read(number); });
    }
    CUSBOpKrnl &driver = env_.driver;
    const int h = handle_->get();
    selectFile(driver, h, df::Telecom, f());
    const std::optional<FileStatus> file = selectWithStatus(driver, h, EfAdn::id, f());
    if (!file) {
        fileError(text::CardFileNotAccessible);
        return {};
    }
    const uint8_t length = file->recordLength();
    return readAdnRecords(length, file->recordCount(),
                          [&driver, h, length, this](uint8_t number) -> std::optional<Bytes> {
                              RecordBuffer record{};
                              if (driver.ReadRecord(h, length, number, f(), record.data(), false) ==
                                  0) {
                                  return std::nullopt;
                              }
                              return Bytes(record.begin(), record.begin() + length);
                          });
}

ReadResult Read::readAdnRecords(uint8_t length, uint16_t count, const RecordReader &read) {
    s_.card.alphaLength = length >= EfAdn::tail ? length - EfAdn::tail : 0;

    // The list no longer holds what the card holds until this read completes.
    s_.cardPhonebook.clear();
    s_.phonebookLoaded = false;
    RecordLog log((env_.logDir / "phone.log").string());
    env_.progress.begin(env_.texts.get(text::PleaseWait), env_.texts.get(text::WorkingWithCard), 0,
                        count);
    bool cancelled = false;
    {
        RowList::Batch hold(s_.cardPhonebook);
        for (uint16_t i = 1; i <= count; ++i) {
            if (!advance(count, i)) {
                cancelled = true;
                break;
            }
            const std::optional<Bytes> record = read(static_cast<uint8_t>(i));
            if (!record) {
                return {};
            }
            log.append(record->data(), length);
            if (const std::optional<PhoneEntry> entry = EfAdn::decode(*record)) {
                s_.cardPhonebook.appendRow(
                    phonebookRowCells(std::to_string(s_.cardPhonebook.rowCount() + 1), *entry));
            }
        }
    }
    return phonebookRead(&log, count, cancelled);
}

// Every ADN set of the USIM phonebook, with what the files linked to each record hold. The log
// keeps the raw records of a read record by record; this read goes by entries and leaves it out.
ReadResult Read::readUsimPhonebook(UsimPhonebook &book) {
    const uint8_t length = book.adnRecordLength();
    s_.card.alphaLength = length >= EfAdn::tail ? length - EfAdn::tail : 0;
    s_.cardPhonebook.clear();
    s_.phonebookLoaded = false;
    const auto count = static_cast<uint16_t>(std::min<size_t>(book.capacity(), UINT16_MAX));
    env_.progress.begin(env_.texts.get(text::PleaseWait), env_.texts.get(text::WorkingWithCard), 0,
                        count);
    bool cancelled = false;
    std::vector<EfAdn::Value> entries;
    std::optional<std::vector<EfAdn::Value>> all = book.readEntries(
        uicc_->files,
        [&](size_t done, size_t total) {
            if (done == 0) { // the records to read, known once the sets are
                env_.progress.begin(env_.texts.get(text::PleaseWait),
                                    env_.texts.get(text::WorkingWithCard), 0, int(total));
            }
            cancelled = !advance(static_cast<uint16_t>(total), static_cast<uint16_t>(done + 1));
            return !cancelled;
        },
        &entries);
    if (all) {
        entries = std::move(*all);
    } else if (!cancelled) {
        return {};
    }
    {
        RowList::Batch hold(s_.cardPhonebook);
        for (const EfAdn::Value &entry : entries) {
            if (entry) {
                s_.cardPhonebook.appendRow(
                    phonebookRowCells(std::to_string(s_.cardPhonebook.rowCount() + 1), *entry));
            }
        }
    }
    return phonebookRead(nullptr, count, cancelled);
}

ReadResult Read::phonebookRead(RecordLog *log, uint16_t count, bool cancelled) {
    endTransaction();
    if (log != nullptr) {
        closeLog(*log);
    }
    const size_t rows = s_.cardPhonebook.rowCount();
    env_.status.showProgress(text::EntriesRead, count, static_cast<uint16_t>(rows));
    SaveListFile((env_.backupDir / "Phone.fph").string(), s_.cardPhonebook, env_.prompts,
                 env_.texts, Durability::Replaced);

    const bool takeOver =
        env_.prompts.askYesNo({text::CopyToLocalPhonebook, env_.texts.get(text::PhonebookCaption),
                               env_.texts.get(text::CopyToLocalPhonebook)});
    if (takeOver) {
        moveFromCardList(s_, env_.status, true);
    }
    s_.activePhonebook.setLocal(takeOver);
    env_.timing.wait(env_.timing.takeOverRedraw);
    s_.phonebookLoaded = true;
    return {cancelled ? ReadOutcome::Cancelled : ReadOutcome::Done, count, rows};
}

void Read::closeLog(RecordLog &log) {
    log.close();
    if (!log.error().empty()) {
        env_.prompts.showMessage(
            MessageKind::Warning,
            {text::RecordLogFailed, "", env_.texts.format(text::RecordLogFailed, {log.error()})});
    }
}

bool Read::loadServiceCentre() {
    s_.card.smscNumber.clear();
    s_.card.smscTypeOfAddress = 0x91;
    uint8_t length = 0;
    std::optional<Bytes> record;
    if (uicc_) {
        const std::optional<FoundFile> file = selectMessageFile(uicc_->files, EfSmsp::id);
        if (!file) {
            fileError(text::CardFileNotAccessible);
            return false;
        }
        length = file->shape.recordLength;
        record = uicc_->files.read(1);
    } else {
        CUSBOpKrnl &driver = env_.driver;
        const int h = handle_->get();
        selectFile(driver, h, df::Telecom, f());
        const std::optional<FileStatus> file = selectWithStatus(driver, h, EfSmsp::id, f());
        if (!file) {
            fileError(text::CardFileNotAccessible);
            return false;
        }
        length = file->recordLength();
        if (length == 0) {
            fileError(text::MessageParametersEmpty);
            return false;
        }
        RecordBuffer buffer{};
        if (driver.ReadRecord(h, length, 1, f(), buffer.data(), false) != 0) {
            record = Bytes(buffer.begin(), buffer.begin() + length);
        }
    }
    if (!record) {
        return false;
    }
    // Nothing changes when the record says no address is stored or is too short to hold one.
    const EfSmsp::Value parameters = EfSmsp::decode(*record);
    if (parameters && parameters->serviceCentreGiven()) {
        s_.card.smscTypeOfAddress = parameters->serviceCentre.type;
        if (parameters->serviceCentre.holdsNumber()) {
            s_.card.smscNumber = parameters->serviceCentre.number;
        }
    }
    return true;
}

ReadResult Read::readMessages() {
    CUSBOpKrnl &driver = env_.driver;
    const int h = handle_->get();
    MessageList &messages = s_.messages;
    messages.clear();
    s_.messagesLoaded = false;
    const bool cdma = s_.card.isCdmaCard;
    if (!cdma) {
        if (!loadServiceCentre()) {
            return {};
        }
    } else {
        if (!s_.reader.readerCdmaCapable) {
            fileError(text::CardFileNotAccessible);
            return {};
        }
        selectFile(driver, h, df::Cdma, f());
    }
    uint8_t length = 0;
    uint16_t count = 0;
    RecordReader read;
    if (uicc_) {
        const std::optional<FoundFile> file = selectMessageFile(uicc_->files, EfSms::id);
        if (!file) {
            fileError(text::CardFileNotAccessible);
            return {};
        }
        length = file->shape.recordLength;
        count = file->shape.recordCount;
        read = [this](uint8_t number) { return uicc_->files.read(number); };
    } else {
        const std::optional<FileStatus> file =
            selectWithStatus(driver, h, cdma ? EfCdmaSms::id : EfSms::id, f());
        if (!file) {
            fileError(text::CardFileNotAccessible);
            return {};
        }
        length = file->recordLength();
        count = file->recordCount();
        read = [&driver, h, length, cdma, this](uint8_t number) -> std::optional<Bytes> {
            RecordBuffer record{};
            if (driver.ReadRecord(h, length, number, f(), record.data(), cdma) == 0) {
                return std::nullopt;
            }
            return Bytes(record.begin(), record.begin() + length);
        };
    }
    s_.card.messageRecordLength = length;

    RecordLog log((env_.logDir / "sms.log").string());
    env_.progress.begin(env_.texts.get(text::PleaseWait), env_.texts.get(text::WorkingWithCard), 0,
                        count);
    bool cancelled = false;
    {
        RowList::Batch hold(messages.rows());
        for (uint16_t i = 1; i <= count; ++i) {
            if (!advance(count, i)) {
                cancelled = true;
                break;
            }
            const std::optional<Bytes> record = read(static_cast<uint8_t>(i));
            if (!record) {
                return {};
            }
            log.append(record->data(), length);
            std::optional<std::vector<std::string>> cells =
                messageRowCells(record->data(), length, cdma, env_.texts, messages.size() + 1);
            if (cells) {
                messages.append(std::move(*cells), messageImage(record->data(), length));
            }
        }
    }
    endTransaction();
    closeLog(log);
    SaveListFile((env_.backupDir / "Message.fsm").string(), messages.rows(), env_.prompts,
                 env_.texts, Durability::Replaced);
    const size_t rows = messages.size();
    env_.status.showProgress(text::MessagesRead, count, static_cast<uint16_t>(rows));
    s_.messagesLoaded = true;
    return {cancelled ? ReadOutcome::Cancelled : ReadOutcome::Done, count, rows};
}

} // namespace

ReadResult readCard(Session &session, Environment &env, CardFile file) {
    return Read(session, env).run(file);
}

} // namespace velnor
