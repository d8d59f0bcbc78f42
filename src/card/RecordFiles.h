#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "codec/CMyTools.h"

namespace velnor {

// The linear fixed files of a card, reached by their path from the master file through whichever
// command class the card answers: GSM 11.11 class A0, or TS 102 221 class 00, where a path may
// run through 7FFF, the USIM's ADF. Reading and writing a phonebook or message file goes through
// this, so that one piece of code serves both kinds of card.
class RecordFiles {
public:
    struct Shape {
        uint8_t recordLength = 0;
        uint16_t recordCount = 0;
        bool updatable = false; // this program may change it, as far as the card tells
        uint8_t sfi = 0;        // 0: none, or a GSM SIM
        // A transparent file (EF CC, EF PSC, EF PUID of a USIM phonebook): recordLength is its
        // size, recordCount 0, and record 0 its whole content.
        bool transparent = false;
    };

    virtual ~RecordFiles() = default;

    // Selects the file at path ({0x3F00, 0x7F10, 0x6F3A}); nullopt when it is absent or refused.
    virtual std::optional<Shape> select(std::span<const uint16_t> path) = 0;
    // Records of the selected file, numbered from 1; record 0 is the content of a transparent
    // file.
    virtual std::optional<Bytes> read(uint8_t number) = 0;
    virtual bool update(uint8_t number, const Bytes &record) = 0;
    // Why the last command failed, for a trace; empty when it did not or the card did not say.
    virtual std::string error() const { return {}; }
};

} // namespace velnor
