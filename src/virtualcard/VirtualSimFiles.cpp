// The file commands of the virtual card: selection, status and the reading and updating of
// transparent and linear fixed files (GSM 11.11, 8 and 9.2).

#include "virtualcard/StatusResponse.h"
#include "virtualcard/StatusWords.h"
#include "virtualcard/VirtualSim.h"

namespace velnor {

namespace {

// The card models a defect of real cards in their phonebook (EF ADN); it knows the file as such
// a card does.
constexpr uint16_t PhonebookId = 0x6F3A;
constexpr size_t DiallingNumberTail = 14; // bytes after the name (GSM 11.11, 10.5.1)

// Record modes of READ and UPDATE RECORD (GSM 11.11, 9.2.4).
constexpr uint8_t NextRecord = 0x02;
constexpr uint8_t PreviousRecord = 0x03;
constexpr uint8_t AbsoluteRecord = 0x04;

// Up to length bytes of a response, or 6700 when more are asked for than there are.
Bytes leadingBytes(const Bytes &response, uint8_t length) {
    const size_t wanted = length == 0 ? 256 : length;
    if (wanted > response.size()) {
        return cardAnswer(sw::WrongLength);
    }
    return cardAnswer(sw::Ok, Bytes(response.begin(), response.begin() + wanted));
}

} // namespace

// What may be selected (GSM 11.11, 6.5): the master file, a child of the current directory,
// the current directory itself, its parent, and a directory beside it.
std::optional<CardFileSystem::Node> VirtualSim::selectable(uint16_t id) const {
    if (id == CardFileSystem::MasterId) {
        return CardFileSystem::Master;
    }
    if (const auto child = files_.child(currentDirectory_, id)) {
        return child;
    }
    if (files_.description(currentDirectory_).id == id) {
        return currentDirectory_;
    }
    const CardFileSystem::Node parent = files_.parent(currentDirectory_);
    if (files_.description(parent).id == id) {
        return parent;
    }
    if (const auto sibling = files_.child(parent, id)) {
        if (files_.description(*sibling).isDirectory()) {
            return sibling;
        }
    }
    return std::nullopt;
}

Bytes VirtualSim::select(const Command &command) {
    if (command.p1 != 0 || command.p2 != 0) {
        return cardAnswer(sw::WrongParameters);
    }
    if (command.p3 != 2) {
        return cardAnswer(sw::WrongLength);
    }
    const uint16_t id = static_cast<uint16_t>(command.data[0] << 8 | command.data[1]);
    // A GSM card has no ADF: the USIM is reached by class 00 only.
    const auto node = uicc_ && id == CardFileSystem::AdfId ? std::nullopt : selectable(id);
    if (!node) {
        return cardAnswer(sw::FileNotFound);
    }
    if (files_.description(*node).isDirectory()) {
        currentDirectory_ = *node;
        currentEf_.reset();
    } else {
        currentEf_ = *node;
    }
    recordPointer_ = 0;
    const size_t length = statusResponse(files_, *node, chv1_).size();
    return cardAnswer(static_cast<uint16_t>(sw::ResponseWaiting << 8 | length));
}

Bytes VirtualSim::getResponse(const Command &command) const {
    if (command.p1 != 0 || command.p2 != 0) {
        return cardAnswer(sw::WrongParameters);
    }
    return leadingBytes(statusResponse(files_, currentEf_.value_or(currentDirectory_), chv1_),
                        command.p3);
}

Bytes VirtualSim::status(const Command &command) const {
    if (command.p1 != 0 || command.p2 != 0) {
        return cardAnswer(sw::WrongParameters);
    }
    return leadingBytes(statusResponse(files_, currentDirectory_, chv1_), command.p3);
}

bool VirtualSim::accessible(AccessCondition condition) const {
    switch (condition) {
    case AccessCondition::Always:
        return true;
    case AccessCondition::Chv1:
        return chv1_.chv1Satisfied();
    default:
        // CHV2 is not initialised and no administrative code can be presented.
        return false;
    }
}

uint16_t VirtualSim::checkFile(EfStructure structure,
                               AccessCondition FileDescription::*access) const {
    if (!currentEf_) {
        return sw::NoEfSelected;
    }
    const FileDescription &file = files_.description(*currentEf_);
    if (file.structure != structure) {
        return sw::FileInconsistent;
    }
    if (!accessible(file.*access)) {
        return sw::AccessDenied;
    }
    if (file.invalidated) {
        return sw::InvalidationContradiction;
    }
    return sw::Ok;
}

Bytes VirtualSim::readBinary(const Command &command) const {
    if (const uint16_t refused = checkFile(EfStructure::Transparent, &FileDescription::read);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    if (command.p1 & 0x80) {
        return cardAnswer(sw::WrongParameters);
    }
    const Bytes &content = files_.content(*currentEf_);
    const size_t offset = static_cast<size_t>(command.p1 << 8 | command.p2);
    const size_t length = command.p3 == 0 ? 256 : command.p3;
    if (offset >= content.size()) {
        return cardAnswer(sw::OutOfRange);
    }
    if (offset + length > content.size()) {
        return cardAnswer(sw::WrongLength);
    }
    const auto begin = content.begin() + static_cast<std::ptrdiff_t>(offset);
    return cardAnswer(sw::Ok, Bytes(begin, begin + static_cast<std::ptrdiff_t>(length)));
}

Bytes VirtualSim::updateBinary(const Command &command) {
    if (const uint16_t refused = checkFile(EfStructure::Transparent, &FileDescription::update);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    if (command.p1 & 0x80) {
        return cardAnswer(sw::WrongParameters);
    }
    const CardFileSystem::Node file = *currentEf_;
    const Bytes before = files_.content(file);
    const size_t offset = static_cast<size_t>(command.p1 << 8 | command.p2);
    if (offset >= before.size()) {
        return cardAnswer(sw::OutOfRange);
    }
    if (offset + command.data.size() > before.size()) {
        return cardAnswer(sw::WrongLength);
    }
    Bytes after = before;
    std::copy(command.data.begin(), command.data.end(),
              after.begin() + static_cast<std::ptrdiff_t>(offset));
    files_.setContent(file, after);
    if (!keep([&] { files_.setContent(file, before); })) {
        return cardAnswer(sw::MemoryProblem);
    }
    return cardAnswer(sw::Ok);
}

size_t VirtualSim::recordNumber(const Command &command, size_t recordCount) const {
    switch (command.p2) {
    case AbsoluteRecord:
        return command.p1 == 0 ? recordPointer_ : (command.p1 <= recordCount ? command.p1 : 0);
    case NextRecord:
        return recordPointer_ < recordCount ? recordPointer_ + 1 : 0;
    case PreviousRecord:
        return recordPointer_ == 0 ? recordCount : recordPointer_ - 1;
    default:
        return 0;
    }
}

uint16_t VirtualSim::addressRecord(const Command &command, const FileDescription &file,
                                   size_t &number) const {
    if (command.p2 < NextRecord || command.p2 > AbsoluteRecord ||
        (command.p2 != AbsoluteRecord && command.p1 != 0)) {
        return sw::WrongParameters;
    }
    if (command.p3 != file.recordLength) {
        return sw::WrongLength;
    }
    number = recordNumber(command, file.recordCount);
    return number == 0 ? sw::OutOfRange : sw::Ok;
}

Bytes VirtualSim::readRecord(const Command &command) {
    if (const uint16_t refused = checkFile(EfStructure::LinearFixed, &FileDescription::read);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    const FileDescription &file = files_.description(*currentEf_);
    size_t number = 0;
    if (const uint16_t refused = addressRecord(command, file, number); refused != sw::Ok) {
        return cardAnswer(refused);
    }
    if (command.p2 != AbsoluteRecord) {
        recordPointer_ = number;
    }
    return cardAnswer(sw::Ok, *files_.record(*currentEf_, number));
}

Bytes VirtualSim::updateRecord(const Command &command) {
    if (const uint16_t refused = checkFile(EfStructure::LinearFixed, &FileDescription::update);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    const CardFileSystem::Node node = *currentEf_;
    const FileDescription &file = files_.description(node);
    size_t number = 0;
    if (const uint16_t refused = addressRecord(command, file, number); refused != sw::Ok) {
        return cardAnswer(refused);
    }
    Bytes record(command.data.begin(), command.data.end());
    if (quirks_.drops82Coding && file.id == PhonebookId && record.front() == 0x82 &&
        record.size() > DiallingNumberTail) {
        std::fill(record.begin(), record.end() - DiallingNumberTail, 0xFF);
    }
    const size_t pointerBefore = recordPointer_;
    const Bytes before = *files_.record(node, number);
    files_.setRecord(node, number, record);
    if (command.p2 != AbsoluteRecord) {
        recordPointer_ = number;
    }
    if (!keep([&] {
            files_.setRecord(node, number, before);
            recordPointer_ = pointerBefore;
        })) {
        return cardAnswer(sw::MemoryProblem);
    }
    return cardAnswer(sw::Ok);
}

} // namespace velnor
