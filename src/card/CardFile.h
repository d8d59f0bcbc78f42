#pragma once

// What every card file type has: the directories it lies in (GSM 11.11, 10; 3GPP2 C.S0023 for
// DF CDMA) and the vectors that check its decode and encode. Each elementary file Velnor reads or
// writes is one type (EfIccid, EfImsi, EfAdn, EfSms, EfSmsp, EfCdmaSms) with
//   path        the identifiers from the master file down to the file itself,
//   decode      the value of its bytes (nullopt for a free record or an unreadable file),
//   encode      the bytes of a value for a record or file of a given length,
//   tail        the bytes after the part a longer record widens (the alpha field ends there),
//   paddings    the filler bytes that part may hold without changing the value,
//   vectors     published vectors, and ours where none are published.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "virtualcard/CardFileSystem.h"

namespace velnor {

// Dedicated files.
namespace df {
inline constexpr uint16_t Master = CardFileSystem::MasterId;
inline constexpr uint16_t Telecom = 0x7F10;
inline constexpr uint16_t Gsm = 0x7F20;
inline constexpr uint16_t Cdma = 0x7F25;
} // namespace df

// A record or file image (hexadecimal) and the value it decodes to. `written`, when set, is
// what encoding gives this image from (a name cut to the alpha field reads back shorter);
// `ucs82Unsupported` encodes for a card that does not keep the 0x81 and 0x82 codings; a
// `foreign` image is one another writer makes, which is only read.
template <typename Value> struct FileVector {
    FileVector(const char *hex, Value decoded, std::optional<Value> writtenFrom = std::nullopt,
               bool without82 = false, bool foreignImage = false)
        : image(hex), value(std::move(decoded)), written(std::move(writtenFrom)),
          ucs82Unsupported(without82), foreign(foreignImage) {}

    const char *image;
    Value value;
    std::optional<Value> written;
    bool ucs82Unsupported;
    bool foreign;
};

inline constexpr bool kWithout82 = true; // FileVector::ucs82Unsupported
inline constexpr bool kForeign = true;   // FileVector::foreign

template <typename File> std::vector<uint16_t> filePath() {
    return std::vector<uint16_t>(File::path.begin(), File::path.end());
}

// "3F00/7F10/6F3A"
template <typename File> std::string filePathText() {
    return formatFilePath(filePath<File>());
}

} // namespace velnor
