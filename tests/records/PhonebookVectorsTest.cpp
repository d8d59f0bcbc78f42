// The phonebook vectors under tests/vectors/records: the name fit check and the rules of the entry
// dialog.

#include "codec/CodecTestSupport.h"
#include "records/PhoneEntryCheck.h"
#include "records/PhonebookFit.h"

namespace velnor::test {
namespace {

TEST(PhonebookVectors, NamesFitOnlyWhenTheyReadBackFromTheCard) {
    for (const json &v : loadVectors("records/name-fit.json")) {
        SCOPED_TRACE(v.dump());
        EXPECT_EQ(nameFitsCard(textOf(v.at("name")), v.at("alphaLength"), v.at("no82")),
                  v.at("fits").get<bool>());
    }
}

TEST(PhonebookVectors, EntryDialogOpensAndChecksTheFields) {
    for (const json &v : loadVectors("records/phone-entry.json")) {
        SCOPED_TRACE(v.dump());
        if (v.contains("open")) {
            const PhoneEntryFields fields = openPhoneEntry("Anna", v["open"]);
            EXPECT_EQ(fields.name, "Anna");
            EXPECT_EQ(fields.number, v.at("shown"));
            EXPECT_EQ(fields.international, v.at("international").get<bool>());
            continue;
        }
        CardState card;
        card.alphaLength = v.at("alphaLength");
        card.ucs82Unsupported = v.value("no82", false);
        const PhoneEntryVerdict verdict =
            acceptPhoneEntry({v.at("name"), v.at("number"), v.at("international"), "",
                              v.value("additional", ""), v.value("secondName", "")},
                             card);
        EXPECT_EQ(verdict.errorId, v.at("error").get<int>());
        if (v["error"] == 0) {
            EXPECT_EQ(verdict.name, v["name"]);
            EXPECT_EQ(verdict.number, v.at("accepted"));
            EXPECT_EQ(verdict.additionalNumber, v.value("additional", ""));
        }
    }
}

} // namespace
} // namespace velnor::test
