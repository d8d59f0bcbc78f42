#pragma once

// The phonebook of a USIM (TS 31.102, 4.4.2): the ADN sets EF PBR lists, each with the files
// that hold more for its entries, type 1 (one record per ADN record), type 2 (reached through
// EF IAP) and type 3, and the synchronisation files EF PBC, EF UID, EF PSC, EF CC and EF PUID.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "card/EfAdn.h"
#include "card/RecordFiles.h"

namespace velnor {

// One record of one file: what a write changes, in the order it must be written. Record 0 is
// the whole of a transparent file.
struct RecordUpdate {
    std::vector<uint16_t> path;
    uint8_t record = 0;
    Bytes bytes;
};

// The records of one file as read, for a card backup and for planning a write.
struct FileImage {
    std::vector<uint16_t> path;
    uint8_t recordLength = 0;
    std::vector<Bytes> records; // every record of the file
    // A transparent file: records holds its content alone, written back as record 0.
    bool transparent = false;
};

// Which of the optional fields the card has files for.
struct PhonebookFields {
    bool email = false;
    bool additionalNumber = false;
    bool secondName = false;
};

class UsimPhonebook {
public:
    // Steps of a long read or snapshot: called before each record with the records done and the
    // total; false stops it.
    using Progress = std::function<bool(size_t done, size_t total)>;

    // Finds EF PBR in the global phonebook (3F00/7F10/5F3A), else in the USIM's local one
    // (7FFF/5F3A), and reads the layout it describes. nullopt when neither holds a PBR that
    // lists an ADN file.
    static std::optional<UsimPhonebook> open(RecordFiles &files);

    // The entries of every ADN set in order, with the records of the other files that belong to
    // them; the position of an entry is its set's offset plus its record number less one, and
    // free records are nullopt. Only the records an entry needs are read. nullopt when the card
    // failed or progress stopped it; entries read until then stay in `partial`.
    std::optional<std::vector<EfAdn::Value>>
    readEntries(RecordFiles &files, const Progress &progress,
                std::vector<EfAdn::Value> *partial = nullptr);

    // Every record of every file a write may change, for the card backup taken before it.
    std::optional<std::vector<FileImage>> snapshot(RecordFiles &files, const Progress &progress);

    // The updates, in a safe order, that make a card holding `before` (a snapshot) hold `wanted`,
    // position by position (positions beyond the capacity are not written): type 2 records are
    // allocated free and linked through EF IAP before the ADN record that uses them, and freed
    // after it; the change counter, EF PBC and EF UID are kept as TS 31.102, 4.4.2.12 asks,
    // ahead of the entries, so that a write cut short makes a phone synchronise again. Only
    // records that change are written. `unwritten` receives the positions with a field that had
    // no file or no free record to go to, or did not fit its record.
    std::vector<RecordUpdate> plan(const std::vector<FileImage> &before,
                                   const std::vector<EfAdn::Value> &wanted, bool ucs82Unsupported,
                                   std::vector<size_t> *unwritten = nullptr) const;

    size_t capacity() const;         // ADN records of every set
    uint8_t adnRecordLength() const; // of the first set; the alpha field is this less 14
    PhonebookFields fields() const;

private:
    // A file of a set: its PBR tag, identifier and SFI (0: none), and of a type 2 file its byte
    // in the EF IAP record.
    struct File {
        uint8_t tag = 0;
        uint16_t id = 0;
        uint8_t sfi = 0;
        int iapByte = -1;
    };
    struct Set {
        File adn;
        std::optional<File> iap;
        std::vector<File> linked; // type 1 and type 2, in the order EF PBR lists them
        size_t offset = 0;        // the position of its first ADN record
        uint16_t records = 0;
        uint8_t adnLength = 0;
    };
    struct Planner;

    static std::optional<UsimPhonebook> openIn(RecordFiles &files,
                                               const std::vector<uint16_t> &directory);
    std::vector<uint16_t> pathOf(uint16_t id) const;
    // Whether `file` is the one of its set that holds an entry's field: the first of its tag.
    static bool holdsField(const Set &set, const File &file);

    std::vector<uint16_t> directory_;
    std::vector<Set> sets_;
};

} // namespace velnor
