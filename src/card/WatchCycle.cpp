#include "card/WatchCycle.h"

#include <array>

#include "card/CardIdentity.h"
#include "card/FileStatus.h"
#include "card/UsimApplication.h"
#include "reader/CardTransaction.h"

namespace velnor {

WatchCycle::WatchCycle(CUSBOpKrnl &driver, WatchTarget target, const Timing &timing)
    : driver_(driver), target_(std::move(target)), shortWait_(timing.watcherShort),
      longWait_(timing.watcherLong) {}

WatchCycle::~WatchCycle() {
    if (handle_ != -1) {
        driver_.CloseHandle(handle_);
    }
}

// The reader is opened once and kept; a reader that could not be opened is tried again on
// every cycle, so a reader that comes back is watched again.
bool WatchCycle::openHandle() {
    if (handle_ == -1) {
        handle_ = driver_.OpenRX730X(target_.devicePath);
    }
    return handle_ != -1;
}

WatchCycle::Seen WatchCycle::lookAtCard(WatchSteps &steps, bool &chv1Enabled) {
    const uint8_t f = target_.simFunction;
    std::optional<FileStatus> master;
    std::optional<UsimState> usim;
    // A card that refuses class A0 is looked at as a UICC: its USIM holds the PIN.
    auto lookAsUicc = [&] { usim = usimAfterRefusal(driver_, handle_); };
    bool answered = false;
    auto readStatus = [&] {
        CardTransaction transaction(driver_, handle_);
        answered = selectFile(driver_, handle_, df::Master, f);
        if (answered) {
            master = selectWithStatus(driver_, handle_, df::Master, f);
        } else {
            lookAsUicc();
            answered = usim.has_value();
        }
    };
    if (!steps.exchange([&] {
            if (openHandle()) {
                readStatus();
            }
        })) {
        return Seen::Stopping;
    }
    if (!answered) {
        // A card put back, or one another program reset, answers again once it is reset.
        steps.wait(shortWait_);
        if (!steps.exchange([&] {
                if (!openHandle()) {
                    return;
                }
                CardTransaction transaction(driver_, handle_);
                std::array<uint8_t, 64> atr{};
                if (driver_.GetATRValue(handle_, atr.data(), f) != 0) {
                    master = selectWithStatus(driver_, handle_, df::Master, f);
                    if (!master) {
                        lookAsUicc();
                    }
                }
            })) {
            return Seen::Stopping;
        }
    }
    uicc_ = usim.has_value();
    if (!master && !usim) {
        return Seen::NoCard;
    }
    chv1Enabled = master ? master->chv1Enabled() : usim->pin1Enabled;
    return Seen::Card;
}

void WatchCycle::cardMissed(WatchSteps &steps) {
    if (!missed_) {
        missed_ = true;
    } else if (steps.deliver(CardEvent::CardGone)) {
        missed_ = false;
    }
    steps.wait(shortWait_);
}

void WatchCycle::run(WatchSteps &steps) {
    steps.wait(shortWait_);
    bool chv1Enabled = false;
    const Seen seen = lookAtCard(steps, chv1Enabled);
    if (seen == Seen::Stopping) {
        return;
    }
    if (seen == Seen::NoCard) {
        cardMissed(steps);
        return;
    }
    if (chv1Enabled && steps.known().chv1Pending) {
        steps.deliver(CardEvent::PinWanted);
    }
    std::optional<std::string> identity;
    if (!steps.exchange([&] {
            CardTransaction transaction(driver_, handle_);
            UiccChannel channel(driver_, handle_);
            identity = uicc_ ? readUiccIdentity(channel)
                             : tryReadCardIdentity(driver_, handle_, target_.simFunction);
        })) {
        return;
    }
    if (!identity) {
        cardMissed(steps);
        return;
    }
    missed_ = false;
    if (*identity != steps.known().lastIdentity) {
        steps.deliver(CardEvent::OtherCard);
    }
    steps.wait(longWait_);
}

} // namespace velnor
