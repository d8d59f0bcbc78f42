// The USIM phonebook: EF PBR sets, and writes of entries with their linked records on the UICC
// demo card (two sets; ANR, SNE, PBC, UID type 1; EMAIL type 2 through EF IAP) that read back
// as wanted and, cut short after any command, leave every field old or new and every link whole.

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "base/CardLink.h"
#include "card/CardRecordFiles.h"
#include "card/DemoProfile.h"
#include "card/EfPbr.h"
#include "card/LinkedRecord.h"
#include "card/UsimPhonebook.h"
#include "card/UsimPhonebookFiles.h"
#include "reader/SimulatedCards.h"
#include "reader/SimulatedDriver.h"
#include "support/TestVectors.h"

namespace velnor {
namespace {

TEST(UsimPhonebook, PbrRecordsNameTheFilesOfEachSet) {
    auto files = [](const test::json &v, const char *key) {
        std::vector<PbrFile> list;
        for (const auto &hex : v.value(key, std::vector<std::string>())) {
            const Bytes b = *CMyTools::asc2hex(hex);
            list.push_back({b[0], static_cast<uint16_t>(b[1] << 8 | b[2]), b[3]});
        }
        return list;
    };
    for (const test::json &v : test::loadVectors("card/usim-pbr.json")) {
        SCOPED_TRACE(v.dump());
        const auto set = EfPbr::decode(*CMyTools::asc2hex(v["record"].get<std::string>()));
        ASSERT_EQ(set.has_value(), !v.value("invalid", false));
        if (set) {
            EXPECT_EQ(*set, (PbrSet{files(v, "type1"), files(v, "type2"), files(v, "type3")}));
        }
    }
}

// The files of a phonebook in memory, as a snapshot holds them.
class ImageFiles : public RecordFiles {
public:
    explicit ImageFiles(const std::vector<FileImage> &images) {
        for (const FileImage &image : images) {
            files_[image.path] = image;
        }
    }
    std::optional<Shape> select(std::span<const uint16_t> path) override {
        const auto found = files_.find(std::vector<uint16_t>(path.begin(), path.end()));
        current_ = found == files_.end() ? nullptr : &found->second;
        if (!current_) {
            return std::nullopt;
        }
        return Shape{current_->recordLength,
                     static_cast<uint16_t>(current_->transparent ? 0 : current_->records.size()),
                     true, 0, current_->transparent};
    }
    std::optional<Bytes> read(uint8_t number) override {
        return current_->records.at(number ? number - 1u : 0);
    }
    bool update(uint8_t number, const Bytes &record) override {
        current_->records.at(number ? number - 1u : 0) = record;
        return true;
    }
    const FileImage &file(uint16_t id) const {
        return files_.at({df::Master, df::Telecom, usim::Phonebook, id});
    }

private:
    std::map<std::vector<uint16_t>, FileImage> files_;
    FileImage *current_ = nullptr;
};

bool apply(RecordFiles &files, const std::vector<RecordUpdate> &updates, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!files.select(updates[i].path) || !files.update(updates[i].record, updates[i].bytes)) {
            return false;
        }
    }
    return true;
}

// Every EMAIL record an IAP byte of an entry names (inside the file) holds a field and names that
// entry's ADN record (SFI 01 or 05), and no two entries share one.
void expectWholeLinks(const ImageFiles &files) {
    const struct {
        uint16_t adn, iap, email;
        uint8_t sfi;
    } sets[] = {{0x4F3A, 0x4F25, 0x4F50, 0x01}, {0x4F3B, 0x4F26, 0x4F51, 0x05}};
    for (const auto &set : sets) {
        std::map<uint8_t, int> named;
        for (size_t r = 1; r <= files.file(set.adn).records.size(); ++r) {
            const uint8_t k = files.file(set.iap).records[r - 1][0];
            if (!EfAdn::decode(files.file(set.adn).records[r - 1]) ||
                !LinkedRecord::namesRecord(k) || k > files.file(set.email).records.size()) {
                continue;
            }
            const Bytes &email = files.file(set.email).records.at(k - 1u);
            EXPECT_EQ(++named[k], 1) << "record " << int(k) << " shared";
            EXPECT_NE(email.front(), 0xFF) << "ADN " << r << " names a free record";
            EXPECT_EQ(LinkedRecord::backReference(email),
                      (LinkedRecord::BackReference{set.sfi, static_cast<uint8_t>(r)}));
        }
    }
}

std::vector<std::string> fieldsOf(const EfAdn::Value &entry) {
    const PhoneEntry e = entry.value_or(PhoneEntry{});
    return {e.name, e.number, e.email, e.additionalNumber, e.secondName};
}

class UsimPhonebookWrite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(book); }
    void TearDown() override { SimulatedCards::instance().remove(path); }

    // Plans the write of `wanted`, checks every prefix of it in memory, applies it to the card
    // and reads the card back.
    std::vector<EfAdn::Value> write(const std::vector<EfAdn::Value> &before,
                                    const std::vector<EfAdn::Value> &expected,
                                    const std::vector<EfAdn::Value> &wanted,
                                    std::vector<size_t> &unwritten) {
        const auto snapshot = book->snapshot(files, {});
        if (!snapshot) {
            ADD_FAILURE() << files.error();
            return {};
        }
        const auto updates = book->plan(*snapshot, wanted, false, &unwritten);
        for (size_t k = 0; k <= updates.size(); ++k) {
            ImageFiles cut(*snapshot);
            apply(cut, updates, k);
            expectWholeLinks(cut);
            const auto read = book->readEntries(cut, {});
            for (size_t p = 0; read && p < read->size(); ++p) {
                const auto got = fieldsOf((*read)[p]), old = fieldsOf(before[p]),
                           now = fieldsOf(expected[p]);
                for (size_t f = 0; f < got.size(); ++f) {
                    EXPECT_TRUE(got[f] == old[f] || got[f] == now[f])
                        << "after " << k << " of " << updates.size() << ", position " << p;
                }
            }
            if (::testing::Test::HasFailure()) {
                break;
            }
        }
        EXPECT_TRUE(apply(files, updates, updates.size())) << files.error();
        return *book->readEntries(files, {});
    }
    const FileImage &counters() {
        images = ImageFiles(*book->snapshot(files, {}));
        return images.file(usim::Cc);
    }

    const std::string path = "sim:usim-phonebook";
    SimulatedDriver driver{path};
    const int handle = (SimulatedCards::instance().insertInMemory(
                            path, makeDemoCard(false, CardKind::UiccWithUsim)),
                        driver.OpenRX730X(path));
    UiccChannel channel{driver, handle};
    UiccRecordFiles files{channel};
    std::optional<UsimPhonebook> book = UsimPhonebook::open(files);
    ImageFiles images{{}};
};

TEST_F(UsimPhonebookWrite, LinkedRecordsFollowTheirEntriesAndCountersTheChange) {
    EXPECT_EQ(book->capacity(), 300u);
    EXPECT_EQ(book->adnRecordLength(), 30);
    const PhonebookFields fields = book->fields();
    EXPECT_TRUE(fields.email && fields.additionalNumber && fields.secondName);
    const auto before = book->readEntries(files, {});
    ASSERT_TRUE(before);
    EXPECT_EQ(std::count_if(before->begin(), before->end(), [](auto &e) { return e.has_value(); }),
              280);
    EXPECT_EQ((*before)[3]->email, "contact4@example.org");
    EXPECT_EQ((*before)[6]->additionalNumber, "+49305550007");
    EXPECT_EQ((*before)[252]->secondName, "Second 3");
    const std::string tooLong(39, 'x');
    // Position, wanted entry, and what reads back: `kept`, the wanted entry; else it without a
    // field that had no file (SNE in set 1), no free record (set 1's EMAIL is full) or no room.
    struct Edit {
        size_t position;
        EfAdn::Value wanted, back;
    };
    const PhoneEntry kept{"=", "", "", "", ""};
    const std::vector<Edit> edits{
        {3, PhoneEntry{"Contact 004", "+491701230004", "new4@example.org"}, kept},
        {0, PhoneEntry{"Ann", "1", "ann@example.org"}, PhoneEntry{"Ann", "1"}},
        {1, PhoneEntry{"Al", "7", "", "", "Second"}, PhoneEntry{"Al", "7"}},
        {7, std::nullopt, std::nullopt},
        {253, std::nullopt, std::nullopt},
        {251, PhoneEntry{"Bea", "2", "bea@example.org", "+4930", ""}, kept},
        {252, PhoneEntry{"Cid", "3", "", "", "Other"}, kept},
        {285, PhoneEntry{"Dan", "+44", "dan@example.org", "5", "D"}, kept},
        {286, PhoneEntry{"Eve", "6", tooLong, "", ""}, PhoneEntry{"Eve", "6"}},
    };
    std::vector<EfAdn::Value> wanted = *before, expected = *before;
    for (const Edit &edit : edits) {
        wanted[edit.position] = edit.wanted;
        expected[edit.position] = edit.back == kept ? edit.wanted : edit.back;
    }
    std::vector<size_t> unwritten;
    EXPECT_EQ(write(*before, expected, wanted, unwritten), expected);
    EXPECT_EQ(unwritten, (std::vector<size_t>{0, 1, 286}));
    // EF CC counts the write once; the new entries take the next UIDs (the demo's PUID is 280)
    // and the changed ones keep theirs; changed entries are marked modified in EF PBC, deleted
    // ones lose both.
    EXPECT_EQ(counters().records[0], (Bytes{0x00, 0x02}));
    const struct {
        uint16_t file;
        size_t record;
        Bytes bytes;
    } marks[] = {
        {usim::Puid, 1, {0x01, 0x1A}}, {0x4F29, 36, {0x01, 0x19}}, {0x4F29, 37, {0x01, 0x1A}},
        {0x4F29, 3, {0x00, 0xFD}},     {0x4F29, 4, {0x00, 0x00}},  {0x4F0A, 3, {0x01, 0x00}},
        {0x4F0A, 4, {0x00, 0x00}},     {0x4F09, 4, {0x01, 0x00}},  {0x4F09, 3, {0x00, 0x00}}};
    for (const auto &mark : marks) {
        EXPECT_EQ(images.file(mark.file).records[mark.record - 1], mark.bytes)
            << std::hex << mark.file << " " << mark.record;
    }

    // Clearing the card frees every linked record and regenerates EF PSC.
    const std::vector<EfAdn::Value> none(book->capacity());
    EXPECT_EQ(write(expected, none, none, unwritten), none);
    EXPECT_TRUE(unwritten.empty());
    EXPECT_EQ(counters().records[0], (Bytes{0x00, 0x01}));
    EXPECT_EQ(images.file(usim::Psc).records[0], (Bytes{0, 0, 0, 2}));
    for (const uint16_t id : {0x4F50, 0x4F51, 0x4F25, 0x4F26, 0x4F11, 0x4F12, 0x4F19}) {
        for (const Bytes &record : images.file(id).records) {
            EXPECT_EQ(record, Bytes(record.size(), 0xFF)) << std::hex << id;
        }
    }
}

// When EF PUID has no identifier left for a new entry, or EF CC runs out, EF PSC moves on and
// the entries are numbered anew, so that a phone synchronises everything again.
TEST_F(UsimPhonebookWrite, IdentifiersRunningOutRenumberAndMoveTheSyncCounter) {
    const struct {
        Bytes puid, cc, pscAfter, ccAfter, firstUidAfter;
    } cases[] = {{{0xFF, 0xFF}, {0x00, 0x05}, {0, 0, 0, 2}, {0x00, 0x01}, {0x00, 0x01}},
                 {{0x01, 0x18}, {0xFF, 0xFF}, {0, 0, 0, 2}, {0x00, 0x01}, {0x00, 0x01}},
                 {{0x01, 0x18}, {0x00, 0x05}, {0, 0, 0, 1}, {0x00, 0x06}, {0x05, 0x00}}};
    std::vector<EfAdn::Value> wanted = *book->readEntries(files, {});
    wanted[290] = PhoneEntry{"New", "1"};
    for (const auto &c : cases) {
        ImageFiles card(*book->snapshot(files, {}));
        for (const auto &[id, bytes] : std::map<uint16_t, Bytes>{
                 {usim::Puid, c.puid}, {usim::Cc, c.cc}, {0x4F21, {0x05, 0x00}}}) {
            card.select(std::vector<uint16_t>{df::Master, df::Telecom, usim::Phonebook, id});
            card.update(id == 0x4F21, bytes);
        }
        const auto updates = book->plan(*book->snapshot(card, {}), wanted, false);
        apply(card, updates, updates.size());
        EXPECT_EQ(card.file(usim::Psc).records[0], c.pscAfter);
        EXPECT_EQ(card.file(usim::Cc).records[0], c.ccAfter);
        EXPECT_EQ(card.file(usim::Puid).records[0], (Bytes{0x01, 0x19}));
        EXPECT_EQ(card.file(0x4F29).records[40], (Bytes{0x01, 0x19})) << "the new entry's";
        EXPECT_EQ(card.file(0x4F21).records[0], c.firstUidAfter);
    }
}

// Links another writer left damaged: an EMAIL record no IAP byte names is cleared; one that two
// entries name is never rewritten for one of them, which gets a record of its own; an IAP byte
// past the file names nothing.
TEST_F(UsimPhonebookWrite, DamagedLinksAreRepairedNotFollowed) {
    ImageFiles card(*book->snapshot(files, {}));
    const Bytes orphan(40, 0x41);
    for (const auto &[id, record, bytes] : std::vector<std::tuple<uint16_t, uint8_t, Bytes>>{
             {0x4F51, 20, orphan}, {0x4F26, 2, {0x01}}, {0x4F26, 3, {0x30}}}) {
        card.select(std::vector<uint16_t>{df::Master, df::Telecom, usim::Phonebook, id});
        card.update(record, bytes);
    }
    std::vector<EfAdn::Value> wanted = *book->readEntries(card, {});
    EXPECT_EQ(wanted[251]->email, "contact4@example.org") << "shared with the entry at 253";
    EXPECT_EQ(wanted[252]->email, "");
    wanted[251]->email = "new@example.org";
    const auto updates = book->plan(*book->snapshot(card, {}), wanted, false);
    apply(card, updates, updates.size());
    const auto read = *book->readEntries(card, {});
    EXPECT_EQ(read[251]->email, "new@example.org");
    EXPECT_EQ(read[253]->email, "contact4@example.org");
    EXPECT_EQ(card.file(0x4F51).records[19], Bytes(40, 0xFF));
    expectWholeLinks(card);
}

} // namespace
} // namespace velnor
