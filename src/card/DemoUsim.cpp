// The global phonebook of the UICC demo card (TS 31.102, 4.4.2).

#include <cstdio>

#include "card/DemoParts.h"
#include "card/EfAdn.h"
#include "card/EfPbr.h"
#include "card/UsimPhonebookFiles.h"
#include "codec/CMyTools.h"
#include "virtualcard/ProfileFormat.h"

namespace velnor::demo {

namespace {

// DF PHONEBOOK, EF PBR and the synchronisation files have these identifiers on every USIM; the
// files the PBR lists have those the card's maker chose, here the ones common on cards.
constexpr size_t AdnLength = 30;
constexpr size_t EmailLength = 40; // the address, then the ADN file's SFI and record
constexpr size_t AnrLength = 15;   // TS 31.102, 4.4.2.9: AAS record, then as EF ADN's tail
constexpr size_t SneLength = 16;
constexpr size_t PbrLength = 48;

struct LinkedFile {
    uint8_t tag;
    uint16_t id;
    uint8_t sfi;
    size_t length;
};

struct AdnSet {
    LinkedFile adn, iap, anr, pbc, uid, sne, email;
    size_t records, emails;
};

constexpr LinkedFile None{0, 0, 0, 0};

constexpr AdnSet Sets[] = {{{pbr::Adn, 0x4F3A, 0x01, AdnLength},
                            {pbr::Iap, 0x4F25, 0x02, 1},
                            {pbr::Anr, 0x4F11, 0x03, AnrLength},
                            {pbr::Pbc, 0x4F09, 0x09, 2},
                            {pbr::Uid, 0x4F21, 0x0B, 2},
                            None,
                            {pbr::Email, 0x4F50, 0x04, EmailLength},
                            250,
                            60},
                           {{pbr::Adn, 0x4F3B, 0x05, AdnLength},
                            {pbr::Iap, 0x4F26, 0x06, 1},
                            {pbr::Anr, 0x4F12, 0x07, AnrLength},
                            {pbr::Pbc, 0x4F0A, 0x0A, 2},
                            {pbr::Uid, 0x4F29, 0x0C, 2},
                            {pbr::Sne, 0x4F19, 0x0D, SneLength},
                            {pbr::Email, 0x4F51, 0x08, EmailLength},
                            50,
                            20}};

void put(Bytes &out, const LinkedFile &file) {
    if (file.tag) {
        out.insert(out.end(), {file.tag, 0x03, static_cast<uint8_t>(file.id >> 8),
                               static_cast<uint8_t>(file.id), file.sfi});
    }
}

// TS 31.102, 4.4.2.1: A8 the type 1 files, A9 the type 2 ones (EMAIL).
Bytes pbrRecord(const AdnSet &set) {
    Bytes type1;
    for (const LinkedFile &file : {set.adn, set.iap, set.anr, set.pbc, set.uid, set.sne}) {
        put(type1, file);
    }
    Bytes type2;
    put(type2, set.email);
    Bytes record{0xA8, static_cast<uint8_t>(type1.size())};
    record.insert(record.end(), type1.begin(), type1.end());
    record.insert(record.end(), {0xA9, static_cast<uint8_t>(type2.size())});
    record.insert(record.end(), type2.begin(), type2.end());
    record.resize(PbrLength, 0xFF);
    return record;
}

std::string numbered(const char *format, size_t n) {
    char text[40];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

Bytes twoBytes(size_t value) {
    return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

void addTransparent(CardFileSystem &files, CardFileSystem::Node directory, uint16_t id,
                    const Bytes &content) {
    FileDescription file;
    file.id = id;
    file.transparentSize = content.size();
    file.read = profile::defaultReadAccess(false);
    file.update = profile::defaultUpdateAccess(false);
    files.setContent(*files.add(directory, file), content);
}

} // namespace

CardFileSystem::Node addUsimPhonebook(CardFileSystem &files, CardFileSystem::Node telecom,
                                      bool full) {
    FileDescription directory;
    directory.id = usim::Phonebook;
    directory.kind = FileKind::Dedicated;
    const CardFileSystem::Node phonebook = *files.add(telecom, directory);
    const CardFileSystem::Node pbrFile =
        addRecordFile(files, phonebook, EfPbr::id, PbrLength, std::size(Sets));
    std::optional<CardFileSystem::Node> firstAdn;
    size_t contact = 0;
    for (size_t s = 0; s < std::size(Sets); ++s) {
        const AdnSet &set = Sets[s];
        const size_t records = full ? 250 : set.records;
        auto add = [&](const LinkedFile &file, size_t count) {
            return file.tag ? addRecordFile(files, phonebook, file.id, file.length, count, file.sfi)
                            : CardFileSystem::Node{};
        };
        files.setRecord(pbrFile, s + 1, pbrRecord(set));
        const CardFileSystem::Node adn =
            s == 0 ? addPhonebook(files, phonebook, set.adn.id, set.adn.sfi)
                   : add(set.adn, records);
        firstAdn = firstAdn.value_or(adn);
        const CardFileSystem::Node iap = add(set.iap, records);
        const CardFileSystem::Node anr = add(set.anr, records);
        const CardFileSystem::Node pbc = add(set.pbc, records);
        const CardFileSystem::Node uid = add(set.uid, records);
        const CardFileSystem::Node sne = add(set.sne, records);
        const size_t emailRecords = full ? records / 2 : set.emails;
        const CardFileSystem::Node email = add(set.email, emailRecords);
        // A free entry has the identifier 0000 and no control bits.
        for (size_t record = 1; record <= records; ++record) {
            files.setRecord(uid, record, twoBytes(0));
            files.setRecord(pbc, record, twoBytes(0));
        }
        size_t emails = 0;
        // The second set holds entries in its first 30 records.
        const size_t entries = s == 0 || full ? records : 30;
        for (size_t record = 1; record <= entries; ++record) {
            if (files.record(adn, record)->front() == 0xFF) {
                files.setRecord(
                    adn, record,
                    EfAdn::compose(CMyTools::asc2gsm(numbered("Contact %03zu", contact + 1)),
                                   numbered("+49170123%04zu", contact + 1), AdnLength));
            }
            // Every entry is known to a synchronising phone: its own identifier, unchanged.
            files.setRecord(uid, record, twoBytes(++contact));
            if (record % 7 == 0) {
                files.setRecord(
                    anr, record,
                    EfAdn::compose({0x00}, numbered("+4930555%04zu", record), AnrLength));
            }
            if (set.sne.tag && record % 3 == 0) {
                Bytes name = CMyTools::asc2gsm(numbered("Second %zu", record));
                name.resize(SneLength, 0xFF);
                files.setRecord(sne, record, name);
            }
            if (record % 4 == 0 && emails < emailRecords) {
                Bytes address = CMyTools::asc2gsm(numbered("contact%zu@example.org", record));
                address.resize(EmailLength - 2, 0xFF);
                address.push_back(set.adn.sfi);
                address.push_back(static_cast<uint8_t>(record));
                files.setRecord(email, ++emails, address);
                files.setRecord(iap, record, {static_cast<uint8_t>(emails)});
            }
        }
    }
    // TS 31.102, 4.4.2.12: the phonebook as a phone left it after its last synchronisation.
    addTransparent(files, phonebook, usim::Psc, {0x00, 0x00, 0x00, 0x01});
    addTransparent(files, phonebook, usim::Cc, twoBytes(1));
    addTransparent(files, phonebook, usim::Puid, twoBytes(contact));
    return *firstAdn;
}

} // namespace velnor::demo
