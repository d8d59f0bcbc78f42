#include "card/UsimPhonebook.h"

#include <algorithm>
#include <map>
#include <set>

#include "card/EfPbr.h"
#include "card/LinkedRecord.h"
#include "card/UsimPhonebookFiles.h"

namespace velnor {

std::optional<UsimPhonebook> UsimPhonebook::open(RecordFiles &files) {
    // The global phonebook under DF TELECOM first (TS 31.102, 4.4.2), then the USIM's own.
    for (const std::vector<uint16_t> &directory :
         {std::vector<uint16_t>{df::Master, df::Telecom, usim::Phonebook},
          std::vector<uint16_t>{df::Master, usim::Adf, usim::Phonebook}}) {
        if (auto phonebook = openIn(files, directory)) {
            return phonebook;
        }
    }
    return std::nullopt;
}

std::optional<UsimPhonebook> UsimPhonebook::openIn(RecordFiles &files,
                                                   const std::vector<uint16_t> &directory) {
    UsimPhonebook book;
    book.directory_ = directory;
    const auto shape = files.select(book.pathOf(EfPbr::id));
    if (!shape || shape->transparent) {
        return std::nullopt;
    }
    std::vector<PbrSet> listed;
    for (uint16_t number = 1; number <= shape->recordCount; ++number) {
        const auto record = files.read(static_cast<uint8_t>(number));
        if (!record) {
            return std::nullopt;
        }
        // A record that is no set, or a set without an ADN file, adds no entries.
        if (const auto set = EfPbr::decode(*record)) {
            listed.push_back(*set);
        }
    }
    for (const PbrSet &pbrSet : listed) {
        Set set;
        for (const PbrFile &file : pbrSet.type1) {
            const File f{file.tag, file.id, file.sfi, -1};
            if (file.tag == pbr::Adn) {
                set.adn = f;
            } else if (file.tag == pbr::Iap) {
                set.iap = f;
            } else if (file.tag != pbr::Ext1) {
                set.linked.push_back(f);
            }
        }
        for (size_t k = 0; k < pbrSet.type2.size(); ++k) {
            const PbrFile &file = pbrSet.type2[k];
            set.linked.push_back({file.tag, file.id, file.sfi, static_cast<int>(k)});
        }
        const auto adn = set.adn.id ? files.select(book.pathOf(set.adn.id)) : std::nullopt;
        if (!adn || adn->transparent || adn->recordLength < EfAdn::tail) {
            continue;
        }
        set.adn.sfi = set.adn.sfi ? set.adn.sfi : adn->sfi;
        set.records = std::min<uint16_t>(adn->recordCount, 0xFF); // record numbers are bytes
        set.adnLength = adn->recordLength;
        set.offset = book.capacity();
        book.sets_.push_back(set);
    }
    if (book.sets_.empty()) {
        return std::nullopt;
    }
    return book;
}

std::vector<uint16_t> UsimPhonebook::pathOf(uint16_t id) const {
    std::vector<uint16_t> path = directory_;
    path.push_back(id);
    return path;
}

bool UsimPhonebook::holdsField(const Set &set, const File &file) {
    PhoneEntry probe;
    if (!LinkedRecord::field(probe, file.tag)) {
        return false;
    }
    const auto first = std::find_if(set.linked.begin(), set.linked.end(),
                                    [&](const File &f) { return f.tag == file.tag; });
    return &*first == &file;
}

std::optional<std::vector<EfAdn::Value>>
UsimPhonebook::readEntries(RecordFiles &files, const Progress &progress,
                           std::vector<EfAdn::Value> *partial) {
    std::vector<EfAdn::Value> entries(capacity());
    size_t done = 0;
    size_t total = capacity();
    // Selects a file once and reads the records named, as far as the file has them.
    auto readFile = [&](const File &file, const std::set<uint8_t> &numbers, const auto &use) {
        if (numbers.empty()) {
            return true;
        }
        const auto shape = files.select(pathOf(file.id));
        if (!shape) {
            return false;
        }
        for (const uint8_t number : numbers) {
            if (number > shape->recordCount) {
                continue;
            }
            if (progress && !progress(done, total)) {
                return false;
            }
            const auto record = files.read(number);
            if (!record) {
                return false;
            }
            ++done;
            use(number, *record);
        }
        return true;
    };
    auto failed = [&] {
        if (partial) {
            *partial = entries;
        }
        return std::nullopt;
    };
    for (const Set &set : sets_) {
        std::set<uint8_t> all;
        for (uint16_t r = 1; r <= set.records; ++r) {
            all.insert(static_cast<uint8_t>(r));
        }
        std::set<uint8_t> used;
        auto entry = [&](uint8_t r) -> EfAdn::Value & { return entries[set.offset + r - 1]; };
        if (!readFile(set.adn, all, [&](uint8_t r, const Bytes &record) {
                entry(r) = EfAdn::decode(record);
                if (entry(r)) {
                    used.insert(r);
                }
            })) {
            return failed();
        }
        std::map<uint8_t, Bytes> iap;
        const bool linksType2 = std::any_of(set.linked.begin(), set.linked.end(),
                                            [](const File &f) { return f.iapByte >= 0; });
        if (set.iap && linksType2) {
            total += used.size();
            if (!readFile(*set.iap, used,
                          [&](uint8_t r, const Bytes &record) { iap[r] = record; })) {
                return failed();
            }
        }
        for (const File &file : set.linked) {
            if (!holdsField(set, file)) {
                continue;
            }
            const bool type2 = file.iapByte >= 0;
            // The ADN records each record of the file belongs to.
            std::map<uint8_t, std::vector<uint8_t>> owners;
            for (const uint8_t r : used) {
                if (!type2) {
                    owners[r].push_back(r);
                    continue;
                }
                const auto found = iap.find(r);
                const size_t b = static_cast<size_t>(file.iapByte);
                if (found != iap.end() && b < found->second.size() &&
                    LinkedRecord::namesRecord(found->second[b])) {
                    owners[found->second[b]].push_back(r);
                }
            }
            std::set<uint8_t> numbers;
            for (const auto &owner : owners) {
                numbers.insert(owner.first);
            }
            total += numbers.size();
            if (!readFile(file, numbers, [&](uint8_t k, const Bytes &record) {
                    for (const uint8_t r : owners[k]) {
                        *LinkedRecord::field(*entry(r), file.tag) =
                            LinkedRecord::decode(file.tag, record, type2);
                    }
                })) {
                return failed();
            }
        }
    }
    return entries;
}

std::optional<std::vector<FileImage>> UsimPhonebook::snapshot(RecordFiles &files,
                                                              const Progress &progress) {
    std::vector<uint16_t> ids;
    auto add = [&](uint16_t id) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
            ids.push_back(id);
        }
    };
    for (const Set &set : sets_) {
        add(set.adn.id);
        if (set.iap) {
            add(set.iap->id);
        }
        for (const File &file : set.linked) {
            add(file.id);
        }
    }
    const size_t listed = ids.size();
    for (const uint16_t id : usim::SyncFiles) {
        add(id);
    }
    std::vector<FileImage> images;
    size_t done = 0;
    size_t total = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
        FileImage image{pathOf(ids[i]), 0, {}, false};
        const auto shape = files.select(image.path);
        if (!shape) {
            // The synchronisation files are there only on a card that keeps them.
            if (i >= listed) {
                continue;
            }
            return std::nullopt;
        }
        image.recordLength = shape->recordLength;
        image.transparent = shape->transparent;
        const uint16_t first = shape->transparent ? 0 : 1;
        const uint16_t last = shape->transparent ? 0 : shape->recordCount;
        total += last + 1u - first;
        for (uint16_t number = first; number <= last; ++number) {
            if (progress && !progress(done, total)) {
                return std::nullopt;
            }
            auto record = files.read(static_cast<uint8_t>(number));
            if (!record) {
                return std::nullopt;
            }
            ++done;
            image.records.push_back(std::move(*record));
        }
        images.push_back(std::move(image));
    }
    return images;
}

size_t UsimPhonebook::capacity() const {
    size_t records = 0;
    for (const Set &set : sets_) {
        records += set.records;
    }
    return records;
}

uint8_t UsimPhonebook::adnRecordLength() const {
    return sets_.empty() ? 0 : sets_.front().adnLength;
}

PhonebookFields UsimPhonebook::fields() const {
    PhonebookFields fields;
    for (const Set &set : sets_) {
        for (const File &file : set.linked) {
            fields.email |= file.tag == pbr::Email;
            fields.additionalNumber |= file.tag == pbr::Anr;
            fields.secondName |= file.tag == pbr::Sne;
        }
    }
    return fields;
}

} // namespace velnor
