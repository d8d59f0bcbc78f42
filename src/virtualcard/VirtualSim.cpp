#include "virtualcard/VirtualSim.h"

#include <chrono>
#include <thread>

#include "virtualcard/Instructions.h"
#include "virtualcard/StatusWords.h"

namespace velnor {

namespace {

constexpr uint8_t GsmClass = 0xA0;
constexpr uint8_t UiccClass = 0x00;
constexpr uint8_t UiccProprietaryClass = 0x80; // STATUS (TS 102 221, 10.1.1)

// Which way a command's P3 bytes go (GSM 11.11, 9.2).
enum class DataFlow { ToCard, FromCard, UnknownCommand };

DataFlow dataFlow(uint8_t instruction) {
    switch (instruction) {
    case ins::Select:
    case ins::UpdateBinary:
    case ins::UpdateRecord:
    case ins::VerifyChv:
    case ins::ChangeChv:
    case ins::DisableChv:
    case ins::EnableChv:
    case ins::UnblockChv:
        return DataFlow::ToCard;
    case ins::Status:
    case ins::ReadBinary:
    case ins::ReadRecord:
    case ins::GetResponse:
        return DataFlow::FromCard;
    default:
        return DataFlow::UnknownCommand;
    }
}

} // namespace

Bytes cardAnswer(uint16_t statusWord, const Bytes &data) {
    Bytes answer = data;
    answer.push_back(static_cast<uint8_t>(statusWord >> 8));
    answer.push_back(static_cast<uint8_t>(statusWord));
    return answer;
}

VirtualSim::VirtualSim(CardProfile profile)
    : atr_(std::move(profile.atr)), chv1_(profile.chv1), files_(std::move(profile.files)),
      quirks_(profile.quirks), uicc_(std::move(profile.uicc)) {}

std::optional<Bytes> VirtualSim::powerOn() {
    if (quirks_.pulled) {
        powered_ = false;
        return std::nullopt;
    }
    powered_ = true;
    chv1_.reset();
    currentDirectory_ = CardFileSystem::Master;
    currentEf_.reset();
    recordPointer_ = 0;
    uiccResponse_.clear();
    commandCount_ = 0;
    byInstruction_.fill(0);
    return atr_;
}

std::optional<Bytes> VirtualSim::answerToReset() {
    if (quirks_.pulled) {
        return std::nullopt;
    }
    return powered_ ? atr_ : powerOn();
}

void VirtualSim::setQuirks(const CardQuirks &quirks) {
    quirks_ = quirks;
    if (quirks_.pulled) {
        powered_ = false;
    }
}

std::optional<Bytes> VirtualSim::transmit(std::span<const uint8_t> command) {
    if (quirks_.pulled || (!powered_ && !powerOn())) {
        return std::nullopt;
    }
    ++commandCount_;
    if (quirks_.answerDelayMs != 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(quirks_.answerDelayMs));
    }
    if (command.size() >= 2) {
        ++byInstruction_[command[1]];
    }
    if ((quirks_.failAfterCommands != 0 && commandCount_ >= quirks_.failAfterCommands) ||
        commandCount_ == quirks_.failAtCommand) {
        return std::nullopt;
    }
    Bytes answer = carryOut(command);
    if (commandCount_ == quirks_.loseAnswerAtCommand) {
        return std::nullopt;
    }
    return answer;
}

Bytes VirtualSim::carryOut(std::span<const uint8_t> command) {
    const bool uiccClass =
        uicc_ && !command.empty() &&
        (command[0] == UiccClass ||
         (command[0] == UiccProprietaryClass && command.size() > 1 && command[1] == ins::Status));
    // A command without data or Le (ISO/IEC 7816-3, case 1) reaches a UICC as 4 bytes.
    if (command.size() < (uiccClass ? 4u : 5u)) {
        return cardAnswer(sw::WrongLength);
    }
    const bool gsmClass = command[0] == GsmClass && (!uicc_ || uicc_->classA0);
    if (!gsmClass && !uiccClass) {
        return cardAnswer(sw::WrongClass);
    }
    const Command parsed{command[1], command[2], command[3],
                         command.size() > 4 ? command[4] : uint8_t{0},
                         command.size() > 4 ? command.subspan(5) : command.subspan(4)};
    const DataFlow flow = dataFlow(parsed.instruction);
    if (flow == DataFlow::UnknownCommand) {
        return cardAnswer(sw::UnknownInstruction);
    }
    if (parsed.data.size() != (flow == DataFlow::ToCard ? parsed.p3 : 0u)) {
        return cardAnswer(sw::WrongLength);
    }
    return uiccClass ? processUicc(parsed) : process(parsed);
}

Bytes VirtualSim::process(const Command &command) {
    switch (command.instruction) {
    case ins::Select:
        return select(command);
    case ins::Status:
        return status(command);
    case ins::GetResponse:
        return getResponse(command);
    case ins::ReadBinary:
        return readBinary(command);
    case ins::UpdateBinary:
        return updateBinary(command);
    case ins::ReadRecord:
        return readRecord(command);
    case ins::UpdateRecord:
        return updateRecord(command);
    case ins::VerifyChv:
        return verifyChv(command);
    case ins::ChangeChv:
        return changeChv(command);
    case ins::DisableChv:
        return disableChv(command);
    case ins::EnableChv:
        return enableChv(command);
    case ins::UnblockChv:
        return unblockChv(command);
    default:
        return cardAnswer(sw::UnknownInstruction);
    }
}

bool VirtualSim::keep(const std::function<void()> &undo) {
    if (!keeper_ || keeper_(*this)) {
        return true;
    }
    undo();
    return false;
}

CardProfile VirtualSim::profile() const {
    CardProfile profile;
    profile.atr = atr_;
    profile.chv1 = chv1_.settings();
    profile.files = files_;
    profile.quirks = quirks_;
    profile.uicc = uicc_;
    return profile;
}

} // namespace velnor
