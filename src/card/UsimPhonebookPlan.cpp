// Planning a write of a USIM phonebook (TS 31.102, 4.4.2), so that a write cut short after any
// command leaves every entry's fields each as they were or as wanted and every link whole.

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <utility>

#include "card/EfPbr.h"
#include "card/LinkedRecord.h"
#include "card/UsimPhonebook.h"
#include "card/UsimPhonebookFiles.h"

namespace velnor {

namespace {

// The phases of a write, in order. The counters, the identifiers of entries that stay or come
// and the marks of changed entries go first: a write cut short then makes a synchronising phone
// look again rather than miss a change. A type 2 record is filled before EF IAP names it and
// freed after nothing names it. The marks of deleted entries go last.
enum Phase { Counters, Marks, Type2, Type1, Iap, Adn, Release, Unmarks, PhaseCount };

constexpr uint8_t NoRecord = 0xFF;
constexpr uint32_t MaxUid = 0xFFFF;
constexpr uint8_t Modified = 0x01; // EF PBC entry control information, b1 (4.4.2.5)

uint32_t counter(const Bytes &bytes) {
    uint32_t value = 0;
    for (const uint8_t b : bytes) {
        value = value << 8 | b;
    }
    return value;
}

Bytes counterBytes(uint32_t value, size_t length) {
    Bytes bytes(length, 0);
    for (size_t i = length; i-- > 0; value >>= 8) {
        bytes[i] = static_cast<uint8_t>(value);
    }
    return bytes;
}

} // namespace

struct UsimPhonebook::Planner {
    // What became of the entry of one ADN record.
    struct Fate {
        bool was = false;
        bool now = false;
        bool changed = false;
    };

    const UsimPhonebook &book;
    bool ucs82Unsupported;
    std::map<uint16_t, FileImage> images; // as the updates so far leave them
    std::array<std::vector<RecordUpdate>, PhaseCount> phases;
    std::set<size_t> unwritten;
    // How many IAP bytes name each record of a type 2 file before the write; a record none
    // names is free, whatever it holds.
    std::map<uint16_t, std::map<uint8_t, int>> references;
    std::map<uint16_t, std::set<uint8_t>> allocated;
    std::vector<std::vector<Fate>> fates; // per set, per ADN record

    FileImage *image(uint16_t id) {
        const auto found = images.find(id);
        return found == images.end() ? nullptr : &found->second;
    }

    // Writes a record in a phase when it changes; whether it does.
    bool write(Phase phase, uint16_t id, uint8_t number, const Bytes &bytes) {
        FileImage &file = *image(id);
        Bytes &record = file.records[file.transparent ? 0 : number - 1u];
        if (record == bytes) {
            return false;
        }
        record = bytes;
        phases[phase].push_back({file.path, file.transparent ? uint8_t(0) : number, bytes});
        return true;
    }

    std::optional<uint8_t> allocate(uint16_t id) {
        const size_t count = std::min<size_t>(image(id)->records.size(), NoRecord - 1);
        for (size_t k = 1; k <= count; ++k) {
            const auto number = static_cast<uint8_t>(k);
            if (references[id][number] == 0 && allocated[id].insert(number).second) {
                return number;
            }
        }
        return std::nullopt;
    }

    template <typename Use> void forEachType2(const Use &use) {
        for (const Set &set : book.sets_) {
            for (const File &file : set.linked) {
                if (file.iapByte >= 0 && image(file.id)) {
                    use(set, file, *image(file.id));
                }
            }
        }
    }

    void countReferences() {
        forEachType2([&](const Set &set, const File &file, const FileImage &linked) {
            const FileImage *iap = set.iap ? image(set.iap->id) : nullptr;
            for (size_t r = 0; iap && r < iap->records.size(); ++r) {
                const Bytes &bytes = iap->records[r];
                const auto b = static_cast<size_t>(file.iapByte);
                if (b < bytes.size() && LinkedRecord::namesRecord(bytes[b]) &&
                    bytes[b] <= linked.records.size()) {
                    ++references[file.id][bytes[b]];
                }
            }
        });
    }

    // Links a type 2 field of the entry at ADN record r through its byte in `iap`.
    void linkType2(const Set &set, const File &file, uint8_t r, const std::string &value,
                   Bytes &iap, size_t position) {
        const auto b = static_cast<size_t>(file.iapByte);
        if (b >= iap.size()) {
            if (!value.empty()) {
                unwritten.insert(position);
            }
            return;
        }
        const FileImage &linked = *image(file.id);
        const uint8_t old = iap[b];
        const bool isLinked = LinkedRecord::namesRecord(old) && old <= linked.records.size();
        const bool own = isLinked && references[file.id][old] == 1;
        std::optional<Bytes> record;
        if (!value.empty()) {
            const Bytes blank(linked.recordLength, 0xFF);
            record =
                LinkedRecord::encode(file.tag, value, own ? linked.records[old - 1u] : blank,
                                     LinkedRecord::BackReference{set.adn.sfi, r}, ucs82Unsupported);
            if (!record) {
                unwritten.insert(position);
            }
        }
        if (record && own) {
            // The entry's own record changes at once, from the old field to the new; one that
            // holds the field and names the entry already stays as another writer coded it.
            const Bytes &current = linked.records[old - 1u];
            if (LinkedRecord::decode(file.tag, current, true) != value ||
                LinkedRecord::backReference(current) != LinkedRecord::backReference(*record)) {
                write(Type2, file.id, old, *record);
            }
            return;
        }
        if (!record && !isLinked) {
            return;
        }
        uint8_t now = NoRecord;
        if (record) {
            if (const auto k = allocate(file.id)) {
                write(Type2, file.id, *k, *record);
                now = *k;
            } else {
                unwritten.insert(position);
            }
        }
        if (own) {
            write(Release, file.id, old, LinkedRecord::free(file.tag, linked.recordLength));
        }
        iap[b] = now;
    }

    void writeEntry(const Set &set, uint8_t r, const EfAdn::Value &want, Fate &fate) {
        const size_t position = set.offset + r - 1u;
        const size_t updatesBefore = countUpdates();
        fate.was = EfAdn::decode(image(set.adn.id)->records[r - 1u]).has_value();
        fate.now = want.has_value();
        PhoneEntry left = want.value_or(PhoneEntry{}); // the fields no file took yet
        FileImage *iapImage = set.iap ? image(set.iap->id) : nullptr;
        Bytes iap = iapImage && r <= iapImage->records.size() ? iapImage->records[r - 1u] : Bytes();
        for (const File &file : set.linked) {
            FileImage *linked = image(file.id);
            if (!linked || file.tag == pbr::Pbc || file.tag == pbr::Uid ||
                (file.iapByte < 0 && r > linked->records.size())) {
                continue;
            }
            std::string *field =
                holdsField(set, file) ? LinkedRecord::field(left, file.tag) : nullptr;
            const std::string value = field ? std::exchange(*field, {}) : std::string();
            // A file that holds none of the fields keeps what it has for an entry that stays.
            if (!field && fate.was && fate.now) {
                continue;
            }
            if (file.iapByte >= 0) {
                linkType2(set, file, r, value, iap, position);
                continue;
            }
            const Bytes &old = linked->records[r - 1u];
            if (field && fate.was && LinkedRecord::decode(file.tag, old, false) == value) {
                continue; // kept as another writer coded it
            }
            std::optional<Bytes> record =
                LinkedRecord::encode(file.tag, value, old, std::nullopt, ucs82Unsupported);
            if (!record) {
                unwritten.insert(position);
            }
            write(Type1, file.id, r,
                  record && field ? *record : LinkedRecord::free(file.tag, old.size()));
        }
        if (!left.email.empty() || !left.additionalNumber.empty() || !left.secondName.empty()) {
            unwritten.insert(position);
        }
        if (iapImage && !iap.empty()) {
            write(Iap, set.iap->id, r, iap);
        }
        const EfAdn::Value old = EfAdn::decode(image(set.adn.id)->records[r - 1u]);
        if (!old || !want || old->name != want->name || old->number != want->number) {
            write(Adn, set.adn.id, r,
                  EfAdn::encode(want, image(set.adn.id)->recordLength, ucs82Unsupported));
        }
        fate.changed = countUpdates() != updatesBefore;
    }

    size_t countUpdates() const {
        size_t count = 0;
        for (const auto &phase : phases) {
            count += phase.size();
        }
        return count;
    }

    // Clears what type 2 records hold that no IAP byte names and no entry took.
    void releaseOrphans() {
        forEachType2([&](const Set &, const File &file, const FileImage &linked) {
            for (size_t k = 1; k <= linked.records.size() && k < NoRecord; ++k) {
                const auto number = static_cast<uint8_t>(k);
                if (references[file.id][number] == 0 && !allocated[file.id].contains(number)) {
                    write(Release, file.id, number,
                          LinkedRecord::free(file.tag, linked.recordLength));
                }
            }
        });
    }

    // EF CC, EF PUID, EF UID, EF PBC and EF PSC after a change (4.4.2.12): the change counter
    // counts the write once; a new entry takes the next unique identifier. When the identifiers
    // or the change counter run out, or no entry is left, EF PSC is regenerated (moved on by
    // one), the entries are numbered again from 1 and the change counter starts again, so that
    // a phone synchronises the whole phonebook anew.
    void synchronise() {
        bool anyChange = false;
        bool anyLeft = false;
        uint32_t highest = 0;
        size_t fresh = 0;
        for (size_t s = 0; s < book.sets_.size(); ++s) {
            const FileImage *uids = perEntry(book.sets_[s], pbr::Uid, fates[s].size());
            for (size_t r = 0; r < fates[s].size(); ++r) {
                const Fate &fate = fates[s][r];
                anyChange |= fate.changed;
                anyLeft |= fate.now;
                const uint32_t uid = uids ? counter(uids->records[r]) : 0;
                highest = std::max(highest, uid);
                fresh += uids && fate.now && (!fate.was || uid == 0);
            }
        }
        if (!anyChange) {
            return;
        }
        const FileImage *puidImage = image(usim::Puid);
        const FileImage *cc = image(usim::Cc);
        uint32_t puid = puidImage ? counter(puidImage->records[0]) : highest;
        const uint32_t changes = cc ? counter(cc->records[0]) + 1 : 0;
        const bool renumber = puid + fresh > MaxUid || changes > MaxUid || !anyLeft;
        if (renumber) {
            puid = 0;
        }
        for (size_t s = 0; s < book.sets_.size(); ++s) {
            const FileImage *uids = perEntry(book.sets_[s], pbr::Uid, fates[s].size());
            const FileImage *control = perEntry(book.sets_[s], pbr::Pbc, fates[s].size());
            for (size_t r = 0; r < fates[s].size(); ++r) {
                const Fate &fate = fates[s][r];
                const auto number = static_cast<uint8_t>(r + 1);
                if (uids) {
                    const Bytes &old = uids->records[r];
                    if (fate.was && !fate.now) {
                        write(Unmarks, uids->path.back(), number, Bytes(old.size(), 0x00));
                    } else if (fate.now && (renumber || !fate.was || counter(old) == 0)) {
                        write(Marks, uids->path.back(), number, counterBytes(++puid, old.size()));
                    }
                }
                Bytes entryControl = control ? control->records[r] : Bytes();
                if (entryControl.empty()) {
                    continue;
                }
                if (fate.was && !fate.now) {
                    write(Unmarks, control->path.back(), number, Bytes(entryControl.size(), 0x00));
                } else if (fate.now && fate.changed) {
                    if (!fate.was) {
                        std::fill(entryControl.begin(), entryControl.end(), 0x00);
                    }
                    entryControl[0] |= Modified;
                    write(Marks, control->path.back(), number, entryControl);
                }
            }
        }
        writeCounters(puid, renumber ? 1 : changes, renumber);
    }

    // In this order: a phone that finds EF PSC changed reads everything anew.
    void writeCounters(uint32_t puid, uint32_t changes, bool regenerate) {
        if (const FileImage *psc = image(usim::Psc); psc && regenerate) {
            const uint32_t next = counter(psc->records[0]) + 1;
            write(Counters, usim::Psc, 0, counterBytes(next ? next : 1, psc->records[0].size()));
        }
        if (const FileImage *puids = image(usim::Puid)) {
            write(Counters, usim::Puid, 0, counterBytes(puid, puids->records[0].size()));
        }
        if (const FileImage *cc = image(usim::Cc)) {
            write(Counters, usim::Cc, 0, counterBytes(changes, cc->records[0].size()));
        }
    }

    // The type 1 file of a tag with a record for each of `records` entries, if the set has one.
    const FileImage *perEntry(const Set &set, uint8_t tag, size_t records) {
        for (const File &file : set.linked) {
            const FileImage *found = file.tag == tag && file.iapByte < 0 ? image(file.id) : nullptr;
            if (found && found->records.size() >= records) {
                return found;
            }
        }
        return nullptr;
    }
};

std::vector<RecordUpdate> UsimPhonebook::plan(const std::vector<FileImage> &before,
                                              const std::vector<EfAdn::Value> &wanted,
                                              bool ucs82Unsupported,
                                              std::vector<size_t> *unwritten) const {
    Planner planner{*this, ucs82Unsupported, {}, {}, {}, {}, {}, {}};
    for (const FileImage &file : before) {
        if (!file.path.empty() && !file.records.empty()) {
            planner.images[file.path.back()] = file;
        }
    }
    planner.countReferences();
    for (const Set &set : sets_) {
        std::vector<Planner::Fate> &fates = planner.fates.emplace_back();
        const FileImage *adn = planner.image(set.adn.id);
        const size_t records = adn ? std::min<size_t>(set.records, adn->records.size()) : 0;
        fates.resize(records);
        for (size_t r = 1; r <= records; ++r) {
            // The wanted list is the whole phonebook: a position past its end is free.
            const size_t position = set.offset + r - 1;
            const EfAdn::Value want = position < wanted.size() ? wanted[position] : std::nullopt;
            planner.writeEntry(set, static_cast<uint8_t>(r), want, fates[r - 1]);
        }
    }
    planner.releaseOrphans();
    planner.synchronise();
    std::vector<RecordUpdate> updates;
    for (auto &phase : planner.phases) {
        updates.insert(updates.end(), phase.begin(), phase.end());
    }
    if (unwritten) {
        unwritten->assign(planner.unwritten.begin(), planner.unwritten.end());
    }
    return updates;
}

} // namespace velnor
