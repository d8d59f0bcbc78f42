// The global phonebook of the UICC demo card (TS 31.102, 4.4.2).

#include <cstdio>

#include "card/DemoParts.h"
#include "card/EfAdn.h"
#include "codec/CMyTools.h"

namespace velnor::demo {

namespace {

// DF PHONEBOOK and EF PBR have these identifiers on every USIM; the files the PBR lists have
// those the card's maker chose, here the ones common on cards.
constexpr uint16_t PhonebookDirectory = 0x5F3A;
constexpr uint16_t PbrId = 0x4F30;
constexpr size_t AdnLength = 30;
constexpr size_t EmailLength = 40; // the address, then the ADN file's SFI and record
constexpr size_t AnrLength = 15;   // TS 31.102, 4.4.2.9: AAS record, then as EF ADN's tail
constexpr size_t PbrLength = 32;

struct AdnSet {
    uint16_t adn, iap, anr, email;
    uint8_t adnSfi, iapSfi, anrSfi, emailSfi;
    size_t records, emails;
};

constexpr AdnSet Sets[] = {{0x4F3A, 0x4F25, 0x4F11, 0x4F50, 0x01, 0x02, 0x03, 0x04, 250, 60},
                           {0x4F3B, 0x4F26, 0x4F12, 0x4F51, 0x05, 0x06, 0x07, 0x08, 50, 20}};

void put(Bytes &out, uint8_t tag, uint16_t id, uint8_t sfi) {
    out.insert(out.end(),
               {tag, 0x03, static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id), sfi});
}

// TS 31.102, 4.4.2.1: A8 the type 1 files (ADN, IAP, ANR), A9 the type 2 ones (EMAIL).
Bytes pbrRecord(const AdnSet &set) {
    Bytes type1;
    put(type1, 0xC0, set.adn, set.adnSfi);
    put(type1, 0xC1, set.iap, set.iapSfi);
    put(type1, 0xC4, set.anr, set.anrSfi);
    Bytes type2;
    put(type2, 0xCA, set.email, set.emailSfi);
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

} // namespace

CardFileSystem::Node addUsimPhonebook(CardFileSystem &files, CardFileSystem::Node telecom) {
    FileDescription directory;
    directory.id = PhonebookDirectory;
    directory.kind = FileKind::Dedicated;
    const CardFileSystem::Node phonebook = *files.add(telecom, directory);
    const CardFileSystem::Node pbr =
        addRecordFile(files, phonebook, PbrId, PbrLength, std::size(Sets));
    std::optional<CardFileSystem::Node> firstAdn;
    size_t contact = 0;
    for (size_t s = 0; s < std::size(Sets); ++s) {
        const AdnSet &set = Sets[s];
        files.setRecord(pbr, s + 1, pbrRecord(set));
        const CardFileSystem::Node adn =
            s == 0 ? addPhonebook(files, phonebook, set.adn, set.adnSfi)
                   : addRecordFile(files, phonebook, set.adn, AdnLength, set.records, set.adnSfi);
        firstAdn = firstAdn.value_or(adn);
        const CardFileSystem::Node iap =
            addRecordFile(files, phonebook, set.iap, 1, set.records, set.iapSfi);
        const CardFileSystem::Node anr =
            addRecordFile(files, phonebook, set.anr, AnrLength, set.records, set.anrSfi);
        const CardFileSystem::Node email =
            addRecordFile(files, phonebook, set.email, EmailLength, set.emails, set.emailSfi);
        size_t emails = 0;
        // The second set holds entries in its first 30 records.
        const size_t entries = s == 0 ? set.records : 30;
        for (size_t record = 1; record <= entries; ++record) {
            if (files.record(adn, record)->front() == 0xFF) {
                ++contact;
                files.setRecord(
                    adn, record,
                    EfAdn::compose(CMyTools::asc2gsm(numbered("Contact %03zu", contact)),
                                   numbered("+49170123%04zu", contact), AdnLength));
            }
            if (record % 7 == 0) {
                files.setRecord(
                    anr, record,
                    EfAdn::compose({0x00}, numbered("+4930555%04zu", record), AnrLength));
            }
            if (record % 4 == 0 && emails < set.emails) {
                Bytes address = CMyTools::asc2gsm(numbered("contact%zu@example.org", record));
                address.resize(EmailLength - 2, 0xFF);
                address.push_back(set.adnSfi);
                address.push_back(static_cast<uint8_t>(record));
                files.setRecord(email, ++emails, address);
                files.setRecord(iap, record, {static_cast<uint8_t>(emails)});
            }
        }
    }
    return *firstAdn;
}

} // namespace velnor::demo
