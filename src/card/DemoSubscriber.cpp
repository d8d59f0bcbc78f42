// The files every GSM SIM carries beside the phonebook and the messages (GSM 11.11, 10.1 to
// 10.5), for a subscriber of the test network MCC 001, MNC 01.

#include <array>

#include "card/DemoParts.h"
#include "card/EfIccid.h"
#include "card/EfImsi.h"
#include "codec/CMyTools.h"

namespace velnor::demo {

namespace {

enum class Directory { Master, Telecom, Gsm };

struct TransparentFile {
    Directory directory;
    uint16_t id;
    Bytes data;
    AccessCondition read;
    AccessCondition update;
};

constexpr AccessCondition Alw = AccessCondition::Always;
constexpr AccessCondition Chv1 = AccessCondition::Chv1;
constexpr AccessCondition Adm = AccessCondition::Administrative;
constexpr AccessCondition Nev = AccessCondition::Never;

Bytes hex(const char *digits) {
    return *CMyTools::asc2hex(digits);
}

// Built on first use rather than at start-up, since the files are encoded.
const std::array<TransparentFile, 16> &transparentFiles() {
    static const std::array<TransparentFile, 16> files{{
        {Directory::Master, EfIccid::id, EfIccid::encode("89012345678901234567"), Alw, Nev},
        {Directory::Master, 0x2F05, hex("656EFFFF"), Alw, Chv1}, // ELP: "en"
        {Directory::Telecom, 0x6F43, hex("00FF"), Chv1, Chv1},   // SMSS: memory not exceeded
        {Directory::Gsm, 0x6F05, hex("01FF"), Alw, Chv1},        // LP: English
        // IMSI of MCC 001, MNC 01.
        {Directory::Gsm, EfImsi::id, EfImsi::encode("001010123456789"), Chv1, Adm},
        {Directory::Gsm, 0x6F20, hex("FFFFFFFFFFFFFFFF07"), Chv1, Chv1}, // Kc: no key (CKSN 7)
        // PLMNsel: 001 01 first, seven places free.
        {Directory::Gsm, 0x6F30, hex("00F110FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"), Chv1,
         Chv1},
        {Directory::Gsm, 0x6F31, hex("0A"), Chv1, Adm}, // HPPLMN: search every hour
        // SST: CHV1 disabling, ADN, SMS, PLMNsel, MSISDN, SMSP and SPN allocated and activated.
        {Directory::Gsm, 0x6F38, hex("CF30C30003"), Chv1, Adm},
        // SPN: "Velnor Test", the registered network shown.
        {Directory::Gsm, 0x6F46, hex("0156656C6E6F722054657374FFFFFFFFFF"), Alw, Adm},
        {Directory::Gsm, 0x6F74, hex("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"), Chv1, Chv1}, // BCCH: none
        {Directory::Gsm, 0x6F78, hex("0200"), Chv1, Adm}, // ACC: class 9, the IMSI's last digit
        {Directory::Gsm, 0x6F7B, hex("FFFFFFFFFFFFFFFFFFFFFFFF"), Chv1, Chv1}, // FPLMN: none
        // LOCI: no TMSI, location area of 001 01 deleted, not updated.
        {Directory::Gsm, 0x6F7E, hex("FFFFFFFF00F110FFFEFF01"), Chv1, Chv1},
        {Directory::Gsm, 0x6FAD, hex("00000002"), Alw, Adm}, // AD: normal operation, 2-digit MNC
        {Directory::Gsm, 0x6FAE, hex("02"), Alw, Adm},       // Phase 2
    }};
    return files;
}

} // namespace

void addSubscriberFiles(CardFileSystem &files, CardFileSystem::Node telecom,
                        CardFileSystem::Node gsm) {
    const std::array<CardFileSystem::Node, 3> directories{CardFileSystem::Master, telecom, gsm};
    for (const TransparentFile &entry : transparentFiles()) {
        const Bytes &data = entry.data;
        FileDescription file;
        file.id = entry.id;
        file.transparentSize = data.size();
        file.read = entry.read;
        file.update = entry.update;
        files.setContent(*files.add(directories[static_cast<size_t>(entry.directory)], file), data);
    }
    // MSISDN: one record for the own number, empty as the operator issues it.
    addRecordFile(files, telecom, 0x6F40, 28, 1);
}

} // namespace velnor::demo
