// The class 00 commands of a UICC (TS 102 221, 10 and 11): selection by identifier, path and
// AID with FCP templates, GET RESPONSE, records and binaries by SFI, and PIN1 as key
// reference 01. The file operations are those of the GSM commands, with the UICC's status words.

#include <algorithm>

#include "virtualcard/FcpTemplate.h"
#include "virtualcard/Instructions.h"
#include "virtualcard/StatusWords.h"
#include "virtualcard/VirtualSim.h"

namespace velnor {

namespace {

constexpr uint8_t ReturnFcp = 0x04; // SELECT P2 (TS 102 221, 11.1.1.2)
constexpr uint8_t NoData = 0x0C;
constexpr uint8_t ByFileId = 0x00; // SELECT P1
constexpr uint8_t ByAid = 0x04;
constexpr uint8_t PathFromMaster = 0x08;
constexpr uint8_t PathFromCurrent = 0x09;
constexpr uint8_t Pin1 = 0x01;    // key reference of PIN1 (TS 102 221, 9.5.1)
constexpr uint8_t SfiFlag = 0x80; // READ/UPDATE BINARY P1 (TS 102 221, 11.1.3)

// The UICC status word for what the GSM command processor answered (TS 102 221, 10.2.1).
uint16_t uiccStatus(uint16_t gsm) {
    switch (gsm) {
    case sw::NoEfSelected:
        return sw::UiccNoEfSelected;
    case sw::OutOfRange:
        return sw::UiccRecordNotFound;
    case sw::FileNotFound:
        return sw::UiccFileNotFound;
    case sw::FileInconsistent:
        return sw::UiccWrongFileType;
    case sw::AccessDenied:
        return sw::UiccSecurityNotSatisfied;
    case sw::InvalidationContradiction:
        return sw::UiccInvalidated;
    case sw::MemoryProblem:
        return sw::UiccMemoryProblem;
    case sw::WrongParameters:
        return sw::UiccWrongP1P2;
    default:
        return gsm;
    }
}

Bytes withUiccStatus(Bytes answer) {
    const uint16_t gsm = static_cast<uint16_t>(answer[answer.size() - 2] << 8 | answer.back());
    const uint16_t status = uiccStatus(gsm);
    answer[answer.size() - 2] = static_cast<uint8_t>(status >> 8);
    answer.back() = static_cast<uint8_t>(status);
    return answer;
}

uint16_t withLength(uint8_t sw1, size_t length) {
    return static_cast<uint16_t>(sw1 << 8 | (length & 0xFF));
}

uint16_t attemptsLeft(uint8_t attempts) {
    return static_cast<uint16_t>(sw::UiccAttemptsLeft << 8 | 0xC0 | (attempts & 0x0F));
}

} // namespace

Bytes VirtualSim::fcpOf(CardFileSystem::Node node) const {
    return fcpTemplate(files_, node, chv1_, uicc_->aid);
}

Bytes VirtualSim::processUicc(const Command &command) {
    switch (command.instruction) {
    case ins::Select:
        return selectUicc(command);
    case ins::GetResponse:
        return command.p1 != 0 || command.p2 != 0 ? cardAnswer(sw::UiccWrongP1P2)
                                                  : responseUicc(uiccResponse_, command.p3);
    case ins::Status:
        if (command.p2 == NoData) {
            return cardAnswer(sw::Ok);
        }
        return command.p2 != 0 ? cardAnswer(sw::UiccWrongP1P2)
                               : responseUicc(fcpOf(currentDirectory_), command.p3);
    case ins::ReadRecord:
    case ins::UpdateRecord:
        return recordUicc(command);
    case ins::ReadBinary:
    case ins::UpdateBinary:
        return binaryUicc(command);
    default:
        return pinUicc(command);
    }
}

std::optional<CardFileSystem::Node> VirtualSim::uiccTarget(const Command &command) const {
    const auto adf = files_.child(CardFileSystem::Master, CardFileSystem::AdfId);
    std::vector<uint16_t> ids;
    for (size_t i = 0; i + 1 < command.data.size(); i += 2) {
        ids.push_back(static_cast<uint16_t>(command.data[i] << 8 | command.data[i + 1]));
    }
    switch (command.p1) {
    case ByFileId:
        return ids.size() != 1                   ? std::nullopt
               : ids[0] == CardFileSystem::AdfId ? adf
                                                 : selectable(ids[0]);
    case ByAid: {
        // A right-truncated AID selects the application it begins (TS 102 221, 8.5.1).
        const Bytes &aid = uicc_->aid;
        const bool matches = command.data.size() >= 5 && command.data.size() <= aid.size() &&
                             std::equal(command.data.begin(), command.data.end(), aid.begin());
        return matches ? adf : std::nullopt;
    }
    case PathFromMaster:
        ids.insert(ids.begin(), CardFileSystem::MasterId);
        return files_.find(ids);
    case PathFromCurrent: {
        std::optional<CardFileSystem::Node> node = currentDirectory_;
        for (size_t i = 0; i < ids.size() && node; ++i) {
            node = files_.child(*node, ids[i]);
        }
        return node;
    }
    default:
        return std::nullopt;
    }
}

Bytes VirtualSim::selectUicc(const Command &command) {
    if ((command.p2 != ReturnFcp && command.p2 != NoData) ||
        (command.p1 != ByFileId && command.p1 != ByAid && command.p1 != PathFromMaster &&
         command.p1 != PathFromCurrent)) {
        return cardAnswer(sw::UiccWrongP1P2);
    }
    if (command.p1 != ByAid && (command.p3 == 0 || command.p3 % 2 != 0)) {
        return cardAnswer(sw::WrongLength);
    }
    const auto node = uiccTarget(command);
    if (!node) {
        return cardAnswer(sw::UiccFileNotFound);
    }
    if (files_.description(*node).isDirectory()) {
        currentDirectory_ = *node;
        currentEf_.reset();
    } else {
        currentDirectory_ = files_.parent(*node);
        currentEf_ = *node;
    }
    recordPointer_ = 0;
    uiccResponse_ = command.p2 == ReturnFcp ? fcpOf(*node) : Bytes();
    return command.p2 == ReturnFcp
               ? cardAnswer(withLength(sw::UiccResponseWaiting, uiccResponse_.size()))
               : cardAnswer(sw::Ok);
}

Bytes VirtualSim::responseUicc(const Bytes &response, uint8_t le) const {
    if (response.empty()) {
        return cardAnswer(sw::UiccConditionsNotSatisfied);
    }
    if (le != response.size()) {
        return cardAnswer(withLength(sw::UiccWrongLe, response.size()));
    }
    return cardAnswer(sw::Ok, response);
}

bool VirtualSim::selectBySfi(uint8_t sfi) {
    for (CardFileSystem::Node node : files_.children(currentDirectory_)) {
        if (files_.description(node).sfi == sfi && !files_.description(node).isDirectory()) {
            currentEf_ = node;
            recordPointer_ = 0;
            return true;
        }
    }
    return false;
}

Bytes VirtualSim::recordUicc(const Command &command) {
    // P2 bits 8 to 4 name the file by SFI, 0 for the current one (TS 102 221, 11.1.5).
    const uint8_t sfi = command.p2 >> 3;
    if (sfi != 0 && !selectBySfi(sfi)) {
        return cardAnswer(sw::UiccFileNotFound);
    }
    Command gsm = command;
    gsm.p2 = command.p2 & 0x07;
    if (command.instruction == ins::ReadRecord && currentEf_) {
        const FileDescription &file = files_.description(*currentEf_);
        if (file.structure == EfStructure::LinearFixed && command.p3 != file.recordLength) {
            return cardAnswer(withLength(sw::UiccWrongLe, file.recordLength));
        }
    }
    return withUiccStatus(command.instruction == ins::ReadRecord ? readRecord(gsm)
                                                                 : updateRecord(gsm));
}

Bytes VirtualSim::binaryUicc(const Command &command) {
    Command gsm = command;
    if (command.p1 & SfiFlag) {
        if ((command.p1 & 0x60) != 0 || !selectBySfi(command.p1 & 0x1F)) {
            return cardAnswer(sw::UiccFileNotFound);
        }
        gsm.p1 = 0; // P2 is the offset
    }
    if (command.instruction == ins::ReadBinary && currentEf_) {
        const size_t size = files_.content(*currentEf_).size();
        const size_t offset = static_cast<size_t>(gsm.p1 << 8 | gsm.p2);
        const size_t wanted = command.p3 == 0 ? 256 : command.p3;
        if (offset < size && offset + wanted > size && size - offset < 256) {
            return cardAnswer(withLength(sw::UiccWrongLe, size - offset));
        }
    }
    Bytes answer = withUiccStatus(command.instruction == ins::ReadBinary ? readBinary(gsm)
                                                                         : updateBinary(gsm));
    // An offset beyond the file is a wrong P1-P2 for a binary (TS 102 221, 10.2.1.5).
    if (answer.size() == 2 && cardAnswer(sw::UiccRecordNotFound) == answer) {
        return cardAnswer(sw::WrongParameters);
    }
    return answer;
}

Bytes VirtualSim::pinUicc(const Command &c) {
    const bool unblock = c.instruction == ins::UnblockChv;
    size_t codes = 0;
    switch (c.instruction) {
    case ins::VerifyChv:
    case ins::DisableChv:
    case ins::EnableChv:
        codes = 1;
        break;
    case ins::ChangeChv:
    case ins::UnblockChv:
        codes = 2;
        break;
    default:
        return cardAnswer(sw::UnknownInstruction);
    }
    if (c.p1 != 0) {
        return cardAnswer(sw::UiccWrongP1P2);
    }
    if (c.p2 != Pin1 || !chv1_.settings().initialised) {
        return cardAnswer(sw::UiccNoSuchPin);
    }
    // Without data, VERIFY and UNBLOCK ask for the attempts left (TS 102 221, 11.1.9, 11.1.13).
    if (c.p3 == 0 && (c.instruction == ins::VerifyChv || unblock)) {
        const ChvState::Settings &pin = chv1_.settings();
        return cardAnswer(attemptsLeft(unblock ? pin.unblockAttemptsLeft : pin.attemptsLeft));
    }
    if (c.p3 != codes * 8) {
        return cardAnswer(sw::WrongLength);
    }
    auto code = [&](size_t index) {
        ChvCode bytes;
        std::copy_n(c.data.begin() + static_cast<std::ptrdiff_t>(index * 8), 8, bytes.begin());
        return bytes;
    };
    return withUiccStatus(chvOperation([&] {
        const ChvState::Settings &pin = chv1_.settings();
        const uint8_t before = unblock ? pin.unblockAttemptsLeft : pin.attemptsLeft;
        uint16_t status = sw::Ok;
        switch (c.instruction) {
        case ins::VerifyChv:
            status = chv1_.verify(code(0));
            break;
        case ins::ChangeChv:
            status = chv1_.change(code(0), code(1));
            break;
        case ins::DisableChv:
            status = chv1_.disable(code(0));
            break;
        case ins::EnableChv:
            status = chv1_.enable(code(0));
            break;
        default:
            status = chv1_.unblock(code(0), code(1));
            break;
        }
        const uint8_t after = unblock ? pin.unblockAttemptsLeft : pin.attemptsLeft;
        switch (status) {
        case sw::AccessDenied:
            return attemptsLeft(after);
        case sw::ChvBlocked:
            // The wrong code that used the last attempt still says so; later ones find it blocked.
            return before > 0 ? attemptsLeft(0) : sw::UiccPinBlocked;
        case sw::ChvStatusContradiction:
            return sw::UiccConditionsNotSatisfied;
        case sw::NoChvInitialised:
            return sw::UiccNoSuchPin;
        default:
            return status;
        }
    }));
}

} // namespace velnor
