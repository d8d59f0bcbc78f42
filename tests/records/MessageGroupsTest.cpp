#include <gtest/gtest.h>

#include "records/MessageGroups.h"
#include "records/MessageRecord.h"
#include "support/EnglishTexts.h"

namespace velnor {
namespace {

// A received part as a GSM 03.40 SMS-DELIVER in UCS2 with TP-UDHI set, after the status byte
// and an empty service-centre address. iei 0x00 or 0x08 puts a concatenation element with an
// 8-bit or 16-bit reference in the header (9.2.3.24.1, .8); any other iei leaves no header.
struct Part {
    const char *sender; // BCD digits, an even count
    int iei;
    uint16_t reference;
    uint8_t total;
    uint8_t sequence;
    const char *text; // ASCII
};

Bytes deliverRecord(const Part &part) {
    Bytes header;
    if (part.iei == 0x00) {
        header = {0x00, 0x03, static_cast<uint8_t>(part.reference), part.total, part.sequence};
    } else if (part.iei == 0x08) {
        header = {0x08,
                  0x04,
                  static_cast<uint8_t>(part.reference >> 8),
                  static_cast<uint8_t>(part.reference),
                  part.total,
                  part.sequence};
    }
    const std::string digits = part.sender;
    Bytes record{status::Read, 0x00, static_cast<uint8_t>(header.empty() ? 0x04 : 0x44),
                 static_cast<uint8_t>(digits.size()), 0x91};
    for (size_t i = 0; i < digits.size(); i += 2) {
        record.push_back(static_cast<uint8_t>((digits[i + 1] - '0') << 4 | (digits[i] - '0')));
    }
    record.insert(record.end(), {0x00, 0x08, 0x42, 0x30, 0x81, 0x02, 0x51, 0x33, 0x40});
    const size_t text = 2 * std::string_view(part.text).size();
    record.push_back(static_cast<uint8_t>((header.empty() ? 0 : header.size() + 1) + text));
    if (!header.empty()) {
        record.push_back(static_cast<uint8_t>(header.size()));
        record.insert(record.end(), header.begin(), header.end());
    }
    for (const char *c = part.text; *c != '\0'; ++c) {
        record.insert(record.end(), {0x00, static_cast<uint8_t>(*c)});
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
            rows += (rows.empty() ? "" : ",") + std::to_string(row);
        }
        messages.push_back(rows + "|" + group.text + "|" + partsPresent(group));
    }
    return messages;
}

TEST(MessageGroups, PartsJoinByReferenceCountAndSenderInSequenceOrder) {
    const char *a = "491511234567";
    const char *b = "491769876543";
    struct Case {
        const char *what;
        std::vector<Part> parts;
        bool join;
        std::vector<std::string> messages;
    } cases[] = {
        {"in order", {{a, 0, 7, 2, 1, "Hel"}, {a, 0, 7, 2, 2, "lo"}}, true, {"0,1|Hello|2/2"}},
        {"out of order", {{a, 0, 7, 2, 2, "lo"}, {a, 0, 7, 2, 1, "Hel"}}, true, {"1,0|Hello|2/2"}},
        {"switched off",
         {{a, 0, 7, 2, 1, "Hel"}, {a, 0, 7, 2, 2, "lo"}},
         false,
         {"0|Hel|", "1|lo|"}},
        {"a missing part", {{a, 0, 9, 3, 1, "a"}, {a, 0, 9, 3, 3, "c"}}, true, {"0,1|a…c|2/3"}},
        {"one reference, two senders",
         {{a, 0, 5, 2, 1, "x"}, {b, 0, 5, 2, 1, "y"}, {a, 0, 5, 2, 2, "X"}, {b, 0, 5, 2, 2, "Y"}},
         true,
         {"0,2|xX|2/2", "1,3|yY|2/2"}},
        {"one reference, two part counts",
         {{a, 0, 5, 2, 1, "x"}, {a, 0, 5, 3, 2, "y"}},
         true,
         {"0|x…|1/2", "1|…y…|1/3"}},
        {"16-bit reference",
         {{a, 8, 0x1234, 2, 2, "q"}, {a, 8, 0x1234, 2, 1, "p"}},
         true,
         {"1,0|pq|2/2"}},
        {"16-bit reference keeps its high byte",
         {{a, 0, 0x42, 2, 1, "m"}, {a, 8, 0x142, 2, 2, "n"}},
         true,
         {"0|m…|1/2", "1|…n|1/2"}},
        {"a part twice starts another message",
         {{a, 0, 3, 2, 1, "d"}, {a, 0, 3, 2, 1, "d"}, {a, 0, 3, 2, 2, "e"}},
         true,
         {"0,2|de|2/2", "1|d…|1/2"}},
        {"on its own and one of one",
         {{a, -1, 0, 0, 0, "solo"}, {a, 0, 4, 1, 1, "one"}},
         true,
         {"0|solo|", "1|one|"}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(grouped(c.parts, c.join), c.messages) << c.what;
    }
}

} // namespace
} // namespace velnor
