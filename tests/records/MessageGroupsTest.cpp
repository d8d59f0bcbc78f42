#include <gtest/gtest.h>

#include "records/MessageGroups.h"
#include "records/MessageRecord.h"
#include "support/EnglishTexts.h"

namespace velnor {
namespace {

// A received part: a GSM 03.40 SMS-DELIVER in UCS2 from a two-digit sender, after the status
// byte and an empty service-centre address. iei 0x00 or 0x08 heads the user data with a
// concatenation element of 8-bit or 16-bit reference (9.2.3.24.1, .8); total 0 means none.
struct Part {
    uint8_t sender; // BCD, digits swapped
    uint8_t iei;
    uint16_t reference;
    uint8_t total;
    uint8_t sequence;
    std::string text; // ASCII
};

Bytes deliverRecord(const Part &p) {
    const auto ref = static_cast<uint8_t>(p.reference);
    Bytes header =
        p.iei == 0
            ? Bytes{5, 0, 3, ref, p.total, p.sequence}
            : Bytes{6, 8, 4, static_cast<uint8_t>(p.reference >> 8), ref, p.total, p.sequence};
    header.resize(p.total == 0 ? 0 : header.size());
    const uint8_t firstOctet = header.empty() ? 0x04 : 0x44;
    const auto length = static_cast<uint8_t>(header.size() + 2 * p.text.size());
    Bytes record{status::Read, 0, firstOctet, 2, 0x81, p.sender, 0, 0x08};
    record.insert(record.end(), {0x42, 0x30, 0x81, 0x02, 0x51, 0x33, 0x40, length});
    record.insert(record.end(), header.begin(), header.end());
    for (const char c : p.text) {
        record.insert(record.end(), {0, static_cast<uint8_t>(c)});
    }
    return record;
}

// Each message as "rows|text|parts present".
std::vector<std::string> grouped(const std::vector<Part> &parts, bool join) {
    const test::EnglishTexts texts;
    MessageList list({"No.", "Status", "Number", "Time", "Text"});
    for (const Part &part : parts) {
        const Bytes record = deliverRecord(part);
        list.append(*messageRowCells(record.data(), record.size(), false, texts, list.size() + 1),
                    messageImage(record.data(), record.size()));
    }
    std::vector<std::string> messages;
    for (const MessageGroup &group : groupMessages(list, false, join)) {
        std::string rows;
        for (const size_t row : group.rows) {
            rows += std::to_string(row);
        }
        messages.push_back(rows + "|" + group.text + "|" + partsPresent(group));
    }
    return messages;
}

TEST(MessageGroups, PartsJoinByReferenceCountAndSenderInSequenceOrder) {
    const uint8_t a = 0x21, b = 0x43;
    const struct {
        std::vector<Part> parts;
        bool join;
        std::vector<std::string> messages;
    } cases[] = {
        {{{a, 0, 7, 2, 1, "Hel"}, {a, 0, 7, 2, 2, "lo"}}, true, {"01|Hello|2/2"}},
        {{{a, 0, 7, 2, 1, "Hel"}, {a, 0, 7, 2, 2, "lo"}}, false, {"0|Hel|", "1|lo|"}},
        {{{a, 0, 7, 2, 2, "lo"}, {a, 0, 7, 2, 1, "Hel"}}, true, {"10|Hello|2/2"}},
        {{{a, 0, 9, 3, 1, "a"}, {a, 0, 9, 3, 3, "c"}}, true, {"01|a…c|2/3"}},
        // One reference from two senders, and with two part counts.
        {{{a, 0, 5, 2, 1, "x"}, {b, 0, 5, 2, 2, "Y"}, {a, 0, 5, 2, 2, "X"}},
         true,
         {"02|xX|2/2", "1|…Y|1/2"}},
        {{{a, 0, 5, 2, 1, "x"}, {a, 0, 5, 3, 2, "y"}}, true, {"0|x…|1/2", "1|…y…|1/3"}},
        // 16-bit references keep their high byte.
        {{{a, 8, 0x1234, 2, 2, "q"}, {a, 8, 0x1234, 2, 1, "p"}}, true, {"10|pq|2/2"}},
        {{{a, 0, 0x42, 2, 1, "m"}, {a, 8, 0x142, 2, 2, "n"}}, true, {"0|m…|1/2", "1|…n|1/2"}},
        // A part met twice starts another message; one of one and no header stand alone.
        {{{a, 0, 3, 2, 1, "d"}, {a, 0, 3, 2, 1, "d"}, {a, 0, 3, 2, 2, "e"}},
         true,
         {"02|de|2/2", "1|d…|1/2"}},
        {{{a, 0, 4, 1, 1, "one"}, {a, 0, 0, 0, 0, "solo"}}, true, {"0|one|", "1|solo|"}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(grouped(c.parts, c.join), c.messages) << ::testing::PrintToString(c.messages);
    }
}

} // namespace
} // namespace velnor
