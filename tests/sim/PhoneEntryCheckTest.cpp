#include <gtest/gtest.h>

#include "sim/PhoneEntryCheck.h"

namespace velnor {
namespace {

TEST(PhoneEntryDialog, OpeningMovesTheLeadingPlusIntoTheBox) {
    struct Case {
        std::string number;
        std::string shown;
        bool ticked;
    } cases[] = {
        {"+4917012", "4917012", true}, {"++12", "12", true}, {"+", "", true},
        {"12+3", "12+3", false},       {"", "", false},      {"0301234", "0301234", false},
    };
    for (const Case &c : cases) {
        const PhoneEntryFields fields = openPhoneEntry("Anna", c.number);
        EXPECT_EQ(fields.number, c.shown) << c.number;
        EXPECT_EQ(fields.international, c.ticked) << c.number;
        EXPECT_EQ(fields.name, "Anna");
    }
    EXPECT_EQ(nameFieldLimit(16), 16u);
}

TEST(PhoneEntryDialog, OkChecksTheNameFirstThenTheNumber) {
    CardState card;
    card.alphaLength = 6;
    const std::string twenty(20, '1');
    struct Case {
        PhoneEntryFields fields;
        int error;
        std::string number;
    } cases[] = {
        {{"Anna", "123", true}, 0, "+123"},
        {{"Anna", twenty, false}, 0, twenty},
        {{"Anna", twenty.substr(1), true}, 0, "+" + twenty.substr(1)},
        {{"Anna", twenty, true}, 8071, ""}, // the "+" makes it 21 characters
        {{"Annabel", "1", false}, 8081, ""},
        {{"Annabel", twenty + "1", false}, 8081, ""}, // both wrong: the name is reported
        {{"Ann{}", "1", false}, 8081, ""},            // two extension characters: 7 septets
        {{"Anna\f", "1", false}, 0, "1"},             // a form feed takes two septets too
        {{"Annab\f", "1", false}, 8081, ""},
        {{"", "", false}, 0, ""},
        {{"Anna", "", false}, 0, ""},         // a name without a number
        {{"Anna", "+123", false}, 0, "+123"}, // a typed "+" ticks the box
        {{"Anna", "+123", true}, 0, "+123"},
        {{"Anna", "12+34", false}, kMisplacedPlus, ""},
        {{"Anna", "+12+34", false}, kMisplacedPlus, ""},
    };
    for (const Case &c : cases) {
        const PhoneEntryVerdict verdict = acceptPhoneEntry(c.fields, card);
        EXPECT_EQ(verdict.errorId, c.error) << c.fields.name << " " << c.fields.number;
        if (c.error == 0) {
            EXPECT_EQ(verdict.name, c.fields.name);
            EXPECT_EQ(verdict.number, c.number);
        }
    }
}

TEST(PhoneEntryDialog, DoubleByteNamesFitByTheCodingTheCardWillGet) {
    CardState card;
    card.alphaLength = 8;
    const PhoneEntryFields hangul{"\xEA\xB0\x80\xEA\xB0\x81\xEA\xB0\x82\xEA\xB0\x83", "1", false};
    // 0x82: count, two base bytes and four characters make 7 bytes after the coding byte.
    EXPECT_EQ(acceptPhoneEntry(hangul, card).errorId, 0);
    // Without 0x82 the four characters take 8 bytes of UCS2, one too many.
    card.ucs82Unsupported = true;
    EXPECT_EQ(acceptPhoneEntry(hangul, card).errorId, 8081);
}

} // namespace
} // namespace velnor
