#include "transfer/RecordProgress.h"

namespace velnor {

bool progressGoesOn(Environment &env, CardTransaction *transaction) {
    env.progress.step();
    env.progress.pump();
    if (!env.progress.cancelled()) {
        return true;
    }
    if (transaction != nullptr) {
        transaction->end();
    }
    env.prompts.showMessage(MessageKind::Information, {0, "", "Progress Cancelled"});
    return false;
}

} // namespace velnor
