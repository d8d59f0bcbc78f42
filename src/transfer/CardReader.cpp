#include "transfer/CardReader.h"

#include <array>
#include <optional>

#include "card/ChvOperations.h"
#include "card/EfAdn.h"
#include "card/EfSms.h"
#include "card/EfSmsp.h"
#include "card/FileStatus.h"
#include "files/ListFile.h"
#include "files/RecordLog.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "records/MessageRecord.h"
#include "transfer/PhonebookTransfer.h"

namespace velnor {

namespace {

constexpr size_t kRecordBuffer = 260;
using RecordBuffer = std::array<uint8_t, kRecordBuffer>;

// One read in progress: the card handle, the worker held, and the way out. The card's commands
// run inside one card transaction, so no other program can select a file in between; it ends
// before anything is asked of the user. A read only reads: whether the card keeps the 0x82 name
// coding is learnt by the write that needs it, so that a read interrupted at any point leaves
// the card as it was.
class Read {
public:
    Read(Session &session, Environment &env) : s_(session), env_(env) {}

    ReadOutcome run(CardFile file);

private:
    bool openCard();
    ReadOutcome readPhonebook();
    ReadOutcome readMessages();
    bool loadServiceCentre();
    void closeLog(RecordLog &log);
    // Steps the progress window; false when the user cancelled.
    bool advance(uint16_t total, uint16_t index);
    void fileError(int id) {
        endTransaction();
        env_.prompts.showMessage(MessageKind::Error, {id, "", env_.texts.get(id)});
    }
    void endTransaction() { transaction_.reset(); }
    void finish();

    uint8_t f() const { return s_.card.simFunction; }

    Session &s_;
    Environment &env_;
    std::unique_ptr<CardHandle> handle_;
    std::optional<CardTransaction> transaction_;
};

ReadOutcome Read::run(CardFile file) {
    env_.timing.wait(env_.timing.readStart);
    PauseGuard pause(env_.worker);
    if (!openCard()) {
        endTransaction();
        handle_.reset();
        return ReadOutcome::Failed;
    }
    s_.card.ucs82Unsupported = false;
    s_.card.ucs82Probed = false;
    const ReadOutcome outcome = file == CardFile::Phonebook ? readPhonebook() : readMessages();
    env_.progress.close();
    endTransaction();
    handle_.reset();
    if (outcome != ReadOutcome::Failed) {
        env_.timing.wait(env_.timing.finishBefore);
        pause.resumeNow();
        env_.timing.wait(env_.timing.finishAfter);
    }
    return outcome;
}

bool Read::openCard() {
    handle_ = std::make_unique<CardHandle>(env_.driver, s_.reader.devicePath);
    if (!handle_->isOpen()) {
        return false;
    }
    transaction_.emplace(env_.driver, handle_->get());
    const std::optional<FileStatus> master =
        selectWithStatus(env_.driver, handle_->get(), df::Master, f());
    if (!master) {
        return false;
    }
    if (master->chv1Enabled() && !presentStoredChv1(env_.driver, handle_->get(), s_.card)) {
        return false;
    }
    s_.card.isCdmaCard = detectCdmaCard(env_.driver, handle_->get(), f());
    return true;
}

bool Read::advance(uint16_t total, uint16_t index) {
    env_.progress.step();
    env_.progress.pump();
    if (env_.progress.cancelled()) {
        endTransaction();
        env_.prompts.showMessage(MessageKind::Information, {0, "", "Progress Cancelled"});
        return false;
    }
    env_.status.showProgress(8009, total, index);
    return true;
}

ReadOutcome Read::readPhonebook() {
    CUSBOpKrnl &driver = env_.driver;
    const int h = handle_->get();
    selectFile(driver, h, df::Telecom, f());
    const std::optional<FileStatus> file = selectWithStatus(driver, h, EfAdn::id, f());
    if (!file) {
        fileError(8073);
        return ReadOutcome::Failed;
    }
    const uint8_t length = file->recordLength();
    const uint16_t count = file->recordCount();
    s_.card.alphaLength = length >= EfAdn::tail ? length - EfAdn::tail : 0;

    // The list no longer holds what the card holds until this read completes.
    s_.cardPhonebook.clear();
    s_.phonebookLoaded = false;
    RecordLog log((env_.logDir / "phone.log").string());
    env_.progress.begin(env_.texts.get(8068), env_.texts.get(8069), 0, count);
    bool cancelled = false;
    {
        RowList::Batch hold(s_.cardPhonebook);
        for (uint16_t i = 1; i <= count; ++i) {
            if (!advance(count, i)) {
                cancelled = true;
                break;
            }
            RecordBuffer record{};
            if (driver.ReadRecord(h, length, static_cast<uint8_t>(i), f(), record.data(), false) ==
                0) {
                return ReadOutcome::Failed;
            }
            log.append(record.data(), length);
            const std::optional<PhoneEntry> entry = EfAdn::decode({record.data(), length});
            if (entry) {
                s_.cardPhonebook.appendRow(
                    {std::to_string(s_.cardPhonebook.rowCount() + 1), entry->name, entry->number});
            }
        }
    }
    endTransaction();
    closeLog(log);
    s_.cardPhonebookRowsRead = s_.cardPhonebook.rowCount();
    env_.status.showProgress(8022, count, static_cast<uint16_t>(s_.cardPhonebookRowsRead));
    SaveListFile((env_.backupDir / "Phone.fph").string(), s_.cardPhonebook, env_.prompts,
                 env_.texts, Durability::Replaced);

    const bool takeOver = env_.prompts.askYesNo({8023, env_.texts.get(8024), env_.texts.get(8023)});
    if (takeOver) {
        moveFromCardList(s_, env_.status, true);
    }
    s_.activePhonebook.setLocal(takeOver);
    env_.timing.wait(env_.timing.takeOverRedraw);
    s_.phonebookLoaded = true;
    finish();
    return cancelled ? ReadOutcome::Cancelled : ReadOutcome::Done;
}

void Read::closeLog(RecordLog &log) {
    log.close();
    if (!log.error().empty()) {
        env_.prompts.showMessage(MessageKind::Warning,
                                 {9005, "", env_.texts.format(9005, {log.error()})});
    }
}

bool Read::loadServiceCentre() {
    CUSBOpKrnl &driver = env_.driver;
    const int h = handle_->get();
    selectFile(driver, h, df::Telecom, f());
    s_.card.smscNumber.clear();
    s_.card.smscTypeOfAddress = 0x91;
    const std::optional<FileStatus> file = selectWithStatus(driver, h, EfSmsp::id, f());
    if (!file) {
        fileError(8073);
        return false;
    }
    const uint8_t length = file->recordLength();
    if (length == 0) {
        fileError(8074);
        return false;
    }
    RecordBuffer record{};
    if (driver.ReadRecord(h, length, 1, f(), record.data(), false) == 0) {
        return false;
    }
    // Nothing changes when the record says no address is stored or is too short to hold one.
    const EfSmsp::Value parameters = EfSmsp::decode({record.data(), length});
    if (parameters && parameters->serviceCentreGiven()) {
        s_.card.smscTypeOfAddress = parameters->serviceCentre.type;
        if (parameters->serviceCentre.holdsNumber()) {
            s_.card.smscNumber = parameters->serviceCentre.number;
        }
    }
    return true;
}

ReadOutcome Read::readMessages() {
    CUSBOpKrnl &driver = env_.driver;
    const int h = handle_->get();
    MessageList &messages = s_.messages;
    messages.clear();
    s_.messagesLoaded = false;
    if (!s_.card.isCdmaCard) {
        if (!loadServiceCentre()) {
            return ReadOutcome::Failed;
        }
    } else {
        if (!s_.reader.readerCdmaCapable) {
            fileError(8073);
            return ReadOutcome::Failed;
        }
        selectFile(driver, h, df::Cdma, f());
    }
    const std::optional<FileStatus> file =
        selectWithStatus(driver, h, s_.card.isCdmaCard ? EfCdmaSms::id : EfSms::id, f());
    if (!file) {
        fileError(8073);
        return ReadOutcome::Failed;
    }
    const uint8_t length = file->recordLength();
    const uint16_t count = file->recordCount();
    s_.card.messageRecordLength = length;

    RecordLog log((env_.logDir / "sms.log").string());
    env_.progress.begin(env_.texts.get(8068), env_.texts.get(8069), 0, count);
    bool cancelled = false;
    {
        RowList::Batch hold(messages.rows());
        for (uint16_t i = 1; i <= count; ++i) {
            if (!advance(count, i)) {
                cancelled = true;
                break;
            }
            RecordBuffer record{};
            if (driver.ReadRecord(h, length, static_cast<uint8_t>(i), f(), record.data(),
                                  s_.card.isCdmaCard) == 0) {
                return ReadOutcome::Failed;
            }
            log.append(record.data(), length);
            std::optional<std::vector<std::string>> cells = messageRowCells(
                record.data(), length, s_.card.isCdmaCard, env_.texts, messages.size() + 1);
            if (cells) {
                messages.append(std::move(*cells), messageImage(record.data(), length));
            }
        }
    }
    endTransaction();
    closeLog(log);
    SaveListFile((env_.backupDir / "Message.fsm").string(), messages.rows(), env_.prompts,
                 env_.texts, Durability::Replaced);
    s_.messageRowsRead = messages.size();
    env_.status.showProgress(8056, count, static_cast<uint16_t>(s_.messageRowsRead));
    env_.commands.setCommandEnabled(command::Add, CommandPlace::Button, true);
    s_.messagesLoaded = true;
    finish();
    return cancelled ? ReadOutcome::Cancelled : ReadOutcome::Done;
}

void Read::finish() {
    CommandStates &commands = env_.commands;
    commands.setCommandEnabled(command::Add, CommandPlace::Button, true);
    commands.setCommandEnabled(command::OpenFile, CommandPlace::Menu, true);
    commands.setCommandEnabled(command::SaveFile, CommandPlace::Menu, true);
    commands.setCommandEnabled(command::Write, CommandPlace::Menu, true);
    commands.setCommandEnabled(command::FileMenuButton, CommandPlace::Toolbar, true);
    commands.setCommandEnabled(command::Write, CommandPlace::Toolbar, true);
}

} // namespace

ReadOutcome readCard(Session &session, Environment &env, CardFile file) {
    return Read(session, env).run(file);
}

} // namespace velnor
