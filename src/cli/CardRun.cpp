#include "cli/CardRun.h"

#include "app/AppPaths.h"
#include "base/TextIds.h"
#include "card/CardIdentity.h"
#include "card/CardOpening.h"
#include "card/FileStatus.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "reader/ReaderInquiry.h"

namespace velnor::cli {

namespace {

// The ICCID needs no PIN (GSM 11.11, 10.1.1); nullopt when no card answers.
std::optional<std::string> iccidBeforePin(CUSBOpKrnl &driver, const std::string &path, uint8_t f) {
    CardHandle handle(driver, path);
    CardTransaction transaction(driver, handle.get());
    if (!handle.isOpen() || !selectFile(driver, handle.get(), df::Master, f)) {
        return std::nullopt;
    }
    return readCardIdentity(driver, handle.get(), f);
}

} // namespace

CardRun::CardRun(Context &context)
    : prompts(context.err, context.options.answer, context.options.pin), context_(context),
      driver_(context.makeDriver()), panes_(context.err, context.options.verbose),
      status_(panes_, context.texts) {
    session.setTitles(context.texts);
    env_.emplace(Environment{*driver_, prompts, context.texts, status_, progress_, timing_,
                             context.dataDir, context.logDir});
}

int CardRun::open(const BeforePin &beforePin) {
    if (context_.dataDir.empty()) {
        return fail(context_, Refused, AppPaths::noDataFolder); // no place for the backups
    }
    int status = Done;
    const std::optional<ReaderChoice> reader = chooseReader(context_, *driver_, status);
    if (!reader) {
        return status;
    }
    connection_ = reader->connection;
    const std::string &path = reader->path;
    session.reader.devicePath = path;
    session.reader.readerPresent = true;
    session.reader.readerCdmaCapable = reader->inquiry.cdmaCapable();
    session.card.simFunction = reader->inquiry.simFunction.value_or(0);

    if (beforePin) {
        if (const std::optional<std::string> iccid =
                iccidBeforePin(*driver_, path, session.card.simFunction)) {
            if (const std::optional<int> stop = beforePin(*iccid)) {
                return *stop;
            }
        }
    }
    CardOpeningContext opening{*driver_, prompts,        context_.texts,
                               status_,  session.reader, session.card};
    switch (openCard(opening)) {
    case CardOpened::Opened:
        return Done;
    case CardOpened::NoCard:
        return fail(context_, NoCard, "There is no card in the reader " + path + ".");
    case CardOpened::PinNotGiven:
        if (prompts.pinWanted()) {
            return fail(context_, Refused, "The card asks for its PIN: give it with --pin.");
        }
        break;
    case CardOpened::NotAnswering:
        break;
    }
    return fail(context_, Refused, "The card could not be opened.");
}

} // namespace velnor::cli
