#include "virtualcard/FcpTemplate.h"

namespace velnor {

namespace {

void put(Bytes &out, uint8_t tag, const Bytes &value) {
    out.push_back(tag);
    out.push_back(static_cast<uint8_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

Bytes word(size_t value) {
    return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

// A security condition byte of a compact attribute (ISO/IEC 7816-4, 9.3.3.2): 00 always, FF
// never, otherwise user authentication (bit 5) by the key of that reference.
uint8_t conditionByte(AccessCondition condition) {
    switch (condition) {
    case AccessCondition::Always:
        return 0x00;
    case AccessCondition::Chv1:
        return 0x11;
    case AccessCondition::Chv2:
        return 0x12;
    case AccessCondition::Administrative:
        return 0x1A;
    case AccessCondition::Never:
        break;
    }
    return 0xFF;
}

} // namespace

Bytes fcpTemplate(const CardFileSystem &files, CardFileSystem::Node node, const ChvState &chv1,
                  const Bytes &aid) {
    const FileDescription &file = files.description(node);
    // TS 102 221, 11.1.1.4.3: shareable; 78 a directory, 41 transparent, 42 linear fixed; data
    // coding byte 21.
    Bytes body;
    if (file.isDirectory()) {
        put(body, 0x82, {0x78, 0x21});
    } else if (file.structure == EfStructure::LinearFixed) {
        put(body, 0x82,
            {0x42, 0x21, 0x00, static_cast<uint8_t>(file.recordLength),
             static_cast<uint8_t>(file.recordCount)});
    } else {
        put(body, 0x82, {0x41, 0x21});
    }
    put(body, 0x83, word(file.id));
    if (file.id == CardFileSystem::AdfId && file.isDirectory()) {
        put(body, 0x84, aid);
    }
    // TS 102 221, 11.1.1.4.9: 05 operational and activated, 04 deactivated.
    put(body, 0x8A, {static_cast<uint8_t>(file.invalidated ? 0x04 : 0x05)});
    if (file.isDirectory()) {
        // TS 102 221, 9.5.2: the PS_DO bit of key reference 01 (PIN1) is set when it is enabled.
        Bytes pinStatus;
        put(pinStatus, 0x90, {static_cast<uint8_t>(chv1.enabled() ? 0x80 : 0x00)});
        if (chv1.settings().initialised) {
            put(pinStatus, 0x83, {0x01});
        }
        put(body, 0xC6, pinStatus);
    } else {
        // Access mode byte 03: the condition of UPDATE (bit 2), then of READ (bit 1).
        put(body, 0x8C, {0x03, conditionByte(file.update), conditionByte(file.read)});
        put(body, 0x80, word(file.bodySize()));
        put(body, 0x88, file.sfi == 0 ? Bytes() : Bytes{static_cast<uint8_t>(file.sfi << 3)});
    }
    Bytes fcp;
    put(fcp, 0x62, body);
    return fcp;
}

} // namespace velnor
