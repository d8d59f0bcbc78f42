#include <array>

#include "card/DemoParts.h"
#include "card/EfAdn.h"
#include "codec/CMyTools.h"

namespace velnor::demo {

namespace {

// The demo shows every name coding, so it codes each name as it is told rather than in the
// first coding that fits.
enum class NameCoding { Gsm, Ucs2, Ucs2Base81, Ucs2Base82 };

Bytes alphaIdentifier(const std::string &name, NameCoding coding) {
    Bytes alpha;
    switch (coding) {
    case NameCoding::Gsm:
        return CMyTools::asc2gsm(name);
    case NameCoding::Ucs2:
        alpha = CMyTools::gsmEncodeUcs2(name);
        alpha.insert(alpha.begin(), 0x80);
        return alpha;
    case NameCoding::Ucs2Base81: {
        uint8_t codingByte = 0x81;
        alpha = CMyTools::String2Ucs81(name, codingByte);
        alpha.insert(alpha.begin(), 0x81);
        return alpha;
    }
    case NameCoding::Ucs2Base82:
        alpha = CMyTools::String2Ucs82(name);
        alpha.insert(alpha.begin(), 0x82);
        return alpha;
    }
    return alpha;
}

struct Entry {
    size_t record;
    const char *name;
    NameCoding coding;
    const char *number;
};

// Records 1 and 2 stay empty, and so do some between the entries.
constexpr std::array<Entry, 13> Entries{{
    {3, "Jürgen Weiß", NameCoding::Gsm, "+4915112345678"},
    {4, "Mike {Work}", NameCoding::Gsm, "0301234567"},
    {6, "Büro [Main]", NameCoding::Gsm, "+49301234567"},
    {7, "张伟", NameCoding::Ucs2, "+8613912345678"},
    {9, "Иван Петров", NameCoding::Ucs2Base81, "+79161234567"},
    {10, "Νίκος Παππάς", NameCoding::Ucs2Base81, "+306912345678"},
    {12, "陈阳", NameCoding::Ucs2Base82, "+8613812345678"},
    {13, "王玉珍", NameCoding::Ucs2Base82, "+886912345678"},
    {15, "Balance", NameCoding::Gsm, "*100#"},
    {16, "Call fwd off", NameCoding::Gsm, "##002#"},
    {18, "Mum", NameCoding::Gsm, "+447700900123"},
    {20, "Dr. Søren Ørsted", NameCoding::Gsm, "+4533123456"},
    {21, "Émile Dubois", NameCoding::Gsm, "+33612345678"},
}};

} // namespace

CardFileSystem::Node addPhonebook(CardFileSystem &files, CardFileSystem::Node directory,
                                  uint16_t id, uint8_t sfi) {
    constexpr size_t RecordLength = 30;
    const CardFileSystem::Node phonebook =
        addRecordFile(files, directory, id, RecordLength, 250, sfi);
    for (const Entry &entry : Entries) {
        files.setRecord(
            phonebook, entry.record,
            EfAdn::compose(alphaIdentifier(entry.name, entry.coding), entry.number, RecordLength));
    }
    return phonebook;
}

} // namespace velnor::demo
