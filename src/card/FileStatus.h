#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "card/CardFile.h"
#include "reader/CUSBOpKrnl.h"

namespace velnor {

// The status response of a selected file (GSM 11.11, 9.2.1), as far as the program reads it.
struct FileStatus {
    std::array<uint8_t, 256> bytes{};
    uint8_t length = 0;

    uint16_t fileSize() const { return static_cast<uint16_t>(bytes[2] << 8 | bytes[3]); }
    uint8_t recordLength() const { return bytes[14]; }
    // Records of a linear fixed file; a record length of 0 means no records.
    uint16_t recordCount() const {
        return recordLength() == 0 ? 0 : static_cast<uint16_t>(fileSize() / recordLength());
    }
    // An elementary file (byte 7, 04) of the transparent structure (byte 14, 00).
    bool isTransparent() const { return bytes[6] == 0x04 && bytes[13] == 0x00; }
    // Of a directory: bit 7 of the file characteristics is set when CHV1 is disabled.
    bool chv1Enabled() const { return (bytes[13] & 0x80) == 0; }
    uint8_t chv1AttemptsLeft() const { return bytes[18] & 0x0F; }
    // Of an elementary file: whether this program may change it. The UPDATE access condition
    // (GSM 11.11, 9.2.1, low half of byte 9, coded as in 9.3) is ALW, or CHV1, which opening
    // the card has satisfied; CHV2, ADM and NEV are never presented, so the card would answer
    // 9804.
    bool updatesAllowed() const {
        const uint8_t condition = bytes[8] & 0x0F;
        return condition == 0x0 || condition == 0x1;
    }
};

// Selects a file and reads its status response; nullopt when either fails.
std::optional<FileStatus> selectWithStatus(CUSBOpKrnl &driver, int handle, uint16_t fileId,
                                           uint8_t f);

// Selects a file without reading its status.
bool selectFile(CUSBOpKrnl &driver, int handle, uint16_t fileId, uint8_t f);

// True when the card has the CDMA directory with a message file in it.
bool detectCdmaCard(CUSBOpKrnl &driver, int handle, uint8_t f);

} // namespace velnor
