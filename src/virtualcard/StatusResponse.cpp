#include "virtualcard/StatusResponse.h"

namespace velnor {

namespace {

// A small card's memory; what the directory response reports as free is what is left of it.
constexpr size_t CardMemory = 0x8000;

void putWord(Bytes &bytes, size_t at, size_t value) {
    bytes[at] = static_cast<uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<uint8_t>(value);
}

uint8_t nibbles(AccessCondition high, AccessCondition low) {
    return static_cast<uint8_t>(static_cast<uint8_t>(high) << 4 | static_cast<uint8_t>(low));
}

Bytes directoryResponse(const CardFileSystem &files, CardFileSystem::Node node,
                        const ChvState &chv1) {
    Bytes response(22, 0x00);
    const size_t allocated = files.allocatedBytes();
    putWord(response, 2, allocated < CardMemory ? CardMemory - allocated : 0);
    putWord(response, 4, files.description(node).id);
    response[6] = static_cast<uint8_t>(files.description(node).kind);
    response[12] = static_cast<uint8_t>(response.size() - 13);
    // File characteristics: clock stop allowed; bit 7 set when no CHV1 has to be presented.
    response[13] = static_cast<uint8_t>(0x01 | (chv1.enabled() ? 0x00 : 0x80));
    uint8_t directories = 0;
    uint8_t elementaryFiles = 0;
    for (CardFileSystem::Node child : files.children(node)) {
        ++(files.description(child).isDirectory() ? directories : elementaryFiles);
    }
    response[14] = directories;
    response[15] = elementaryFiles;
    response[16] = chv1.settings().initialised ? 2 : 0; // CHV1 and its unblock code
    response[18] = chv1.chv1StatusByte();
    response[19] = chv1.unblockStatusByte();
    // Bytes 20 and 21 stay 0: CHV2 and its unblock code are not initialised.
    return response;
}

Bytes elementaryResponse(const FileDescription &file) {
    Bytes response(15, 0x00);
    putWord(response, 2, file.bodySize());
    putWord(response, 4, file.id);
    response[6] = static_cast<uint8_t>(FileKind::Elementary);
    response[8] = nibbles(file.read, file.update);
    response[9] = nibbles(AccessCondition::Never, AccessCondition::Always); // INCREASE, RFU
    response[10] = nibbles(AccessCondition::Administrative, AccessCondition::Administrative);
    response[11] = file.invalidated ? 0x00 : 0x01;
    response[12] = 2;
    response[13] = static_cast<uint8_t>(file.structure);
    response[14] =
        file.structure == EfStructure::LinearFixed ? static_cast<uint8_t>(file.recordLength) : 0x00;
    return response;
}

} // namespace

Bytes statusResponse(const CardFileSystem &files, CardFileSystem::Node node, const ChvState &chv1) {
    const FileDescription &file = files.description(node);
    return file.isDirectory() ? directoryResponse(files, node, chv1) : elementaryResponse(file);
}

} // namespace velnor
