#include "cli/CardRun.h"

#include <filesystem>

#include "app/AppPaths.h"
#include "card/CardOpening.h"
#include "card/ReaderInquiry.h"
#include "card/SimulatedCards.h"

namespace velnor::cli {

CardRun::CardRun(Context &context)
    : prompts(context.err, context.options.answer, context.options.pin), context_(context),
      driver_(context.makeDriver()), panes_(context.err, context.options.verbose),
      status_(panes_, context.texts) {
    session.setTitles(context.texts);
    env_.emplace(Environment{*driver_, prompts, context.texts, status_, commands_, worker_,
                             progress_, timing_, context.dataDir, context.logDir});
}

int CardRun::open() {
    if (context_.dataDir.empty()) {
        return fail(context_, Refused, AppPaths::noDataFolder); // no place for the backups
    }
    int status = Done;
    const std::optional<ChosenReader> reader = chooseReader(context_, *driver_, status);
    if (!reader) {
        return status;
    }
    std::string path = reader->path;
    // A card profile named relative to here is kept with its full path, so that a backup
    // taken from it finds the card again from any folder.
    if (SimulatedCards::isSimulatedPath(path)) {
        const std::string profile = path.substr(SimulatedCards::Prefix.size());
        path = std::string(SimulatedCards::Prefix) + std::filesystem::absolute(profile).string();
    }
    session.reader.devicePath = path;
    session.reader.readerPresent = true;
    session.reader.readerCdmaCapable = reader->inquiry.cdmaCapable();
    session.card.simFunction = reader->inquiry.simFunction.value_or(0);

    CardOpeningContext opening{*driver_,  prompts,        context_.texts, status_,
                               commands_, session.reader, session.card};
    if (!openCard(opening)) {
        if (prompts.pinWanted()) {
            return fail(context_, Refused, "The card asks for its PIN: give it with --pin.");
        }
        if (status_.memory().card.id == 8030) {
            return fail(context_, NoCard, "There is no card in the reader " + path + ".");
        }
        return fail(context_, Refused, "The card could not be opened.");
    }
    return Done;
}

} // namespace velnor::cli
