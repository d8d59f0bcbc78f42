#include <ostream>

#include "base/AtomicFile.h"
#include "card/DemoProfile.h"
#include "cli/Commands.h"

namespace velnor::cli {

int runCardDemo(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    if (words.size() > 3) {
        return fail(context, Usage, "Use card demo [--cdma | --usim | --usim-only] [FILE].");
    }
    const CardKind kind = context.options.has("--usim-only") ? CardKind::UsimOnly
                          : context.options.has("--usim")    ? CardKind::UiccWithUsim
                                                             : CardKind::GsmSim;
    const std::string profile = makeDemoProfile(context.options.has("--cdma"), kind);
    if (words.size() == 2 || words[2] == "-") {
        context.out << profile;
        return Done;
    }
    std::string error;
    if (!writeFileAtomically(words[2], profile, &error)) {
        return fail(context, Refused, "The demo card cannot be written: " + error + ".");
    }
    return Done;
}

} // namespace velnor::cli
