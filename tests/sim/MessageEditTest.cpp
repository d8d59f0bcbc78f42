#include <gtest/gtest.h>

#include "sim/MessageCompose.h"
#include "sim/MessageEdit.h"
#include "sim/MessageRecord.h"
#include "support/EnglishTexts.h"

namespace velnor {
namespace {

SM_PARAM decodeSubmit(const MessageImage &image) {
    SM_PARAM param;
    EXPECT_TRUE(CMyTools::gsmDecodePdu(image.data() + 1, image.size() - 1, param, false));
    return param;
}

MessageImage storedImage(uint8_t status) {
    MessageImage image{};
    image[0] = status;
    image[1] = 0xAB;
    return image;
}

class MessageEdit : public ::testing::Test {
protected:
    void SetUp() override {
        card.smscNumber = "491710760000";
        list.append({"1", "Read", "+4917123456", "2008-04-12 13:45:20", "hello"},
                    storedImage(status::Read));
        list.append({"2", "Not sent", "+4930", "", "draft"}, storedImage(status::NotSent));
        list.append({"3", "Sent", "+4940", "", "gone"}, storedImage(status::Sent));
    }

    std::optional<MessageEditStart> start(size_t row) {
        list.rows().selectOnly(row);
        return beginMessageEdit(list);
    }

    test::EnglishTexts texts;
    CardState card;
    MessageList list{{"No.", "Status", "Number", "Time", "Text"}};
};

TEST_F(MessageEdit, ComposedImageFollowsTheSubmitParameters) {
    struct Case {
        std::string number;
        std::string text;
        uint8_t numberType;
        std::string digits;
        uint8_t dcs;
    } cases[] = {
        {"+123", "hi", 0x91, "123", 0},
        {"12+3", "hi", 0x81, "12+3", 0},
        {"", "hi", 0x81, "", 0},
        {"0301234", "Gr\xC3\xBC\xC3\x9F {x}", 0x81, "0301234", 0},      // all in the GSM alphabet
        {"0301234", "hi \xE4\xBD\xA0\xE5\xA5\xBD", 0x81, "0301234", 8}, // one CJK: all UCS2
    };
    for (const Case &c : cases) {
        const SM_PARAM param = submitParameters(c.number, c.text, card);
        EXPECT_EQ(param.numberType, c.numberType) << c.number;
        EXPECT_EQ(param.number, c.digits) << c.number;
        EXPECT_EQ(param.dcs, c.dcs) << c.text;
        EXPECT_EQ(param.smscType, 0x91);
        EXPECT_EQ(param.smsc, "491710760000");

        const MessageImage image = composeMessageImage(c.number, c.text, card);
        EXPECT_EQ(image[0], status::NotSent);
        if (!c.digits.empty() && c.digits.find('+') == std::string::npos) {
            const SM_PARAM back = decodeSubmit(image);
            EXPECT_EQ(back.number, c.digits);
            EXPECT_EQ(back.text, c.text);
            EXPECT_EQ(back.smsc, "491710760000");
        }
    }
}

TEST_F(MessageEdit, ImageIsTheEncoderOutputPaddedWithFF) {
    // GSM 11.11, 10.5.3: the bytes after the stored message are 0xFF.
    const Bytes pdu = CMyTools::gsmEncodePdu(submitParameters("+1234", "hi", card));
    const Bytes cdma = CMyTools::encodesms("hi", "+1234");
    for (const bool isCdma : {false, true}) {
        card.isCdmaCard = isCdma;
        const MessageImage image = composeMessageImage("+1234", "hi", card);
        Bytes expected = isCdma ? cdma : Bytes{status::NotSent};
        if (!isCdma) {
            expected.insert(expected.end(), pdu.begin(), pdu.end());
        }
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), image.begin()));
        EXPECT_TRUE(std::all_of(image.begin() + static_cast<long>(expected.size()), image.end(),
                                [](uint8_t b) { return b == 0xFF; }));
    }
    EXPECT_EQ(emptyMessageRecord(4), (Bytes{0x00, 0xFF, 0xFF, 0xFF}));
}

TEST_F(MessageEdit, NewMessageIsAppendedAsNotSent) {
    EXPECT_EQ(appendComposedMessage(list, "+4950", "new", card, texts), 3u);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.rows().rowCells(3),
              (std::vector<std::string>{"4", "Not sent", "+4950", "", "new"}));
    EXPECT_EQ(list.store()[3], composeMessageImage("+4950", "new", card));
}

TEST_F(MessageEdit, ReceivedAndSentMessagesStayAndTheEditIsAdded) {
    for (const size_t row : {size_t{0}, size_t{2}}) {
        const MessageImage before = list.store()[row];
        const std::vector<std::string> cells = list.rows().rowCells(row);
        const std::optional<MessageEditStart> edit = start(row);
        ASSERT_TRUE(edit);
        EXPECT_FALSE(edit->editable);
        EXPECT_EQ(edit->outgoing, row == 2);
        EXPECT_EQ(edit->number, cells[2]);
        EXPECT_EQ(edit->time, cells[3]);
        EXPECT_EQ(edit->text, cells[4]);

        const size_t count = list.size();
        EXPECT_EQ(finishMessageEdit(list, *edit, "+4960", "reply", card, texts), count);
        EXPECT_EQ(list.size(), count + 1);
        EXPECT_EQ(list.store()[row], before);
        EXPECT_EQ(list.rows().rowCells(row), cells);
        EXPECT_EQ(list.rows().cell(count, 1), "Not sent");
        EXPECT_EQ(list.rows().cell(count, 3), "");
    }
}

TEST_F(MessageEdit, UnsentMessageIsChangedInPlace) {
    const std::optional<MessageEditStart> edit = start(1);
    ASSERT_TRUE(edit);
    EXPECT_TRUE(edit->editable);
    EXPECT_TRUE(edit->outgoing);
    EXPECT_EQ(finishMessageEdit(list, *edit, "+4970", "final", card, texts), 1u);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list.rows().rowCells(1),
              (std::vector<std::string>{"2", "Not sent", "+4970", "", "final"}));
    EXPECT_EQ(list.store()[1], composeMessageImage("+4970", "final", card));
}

TEST_F(MessageEdit, OnlyStatusSevenExactlyIsEditable) {
    // 0x0F has bits 0, 1 and 2 set like 7, but is not 7.
    list.append({"4", "Not sent", "1", "", "odd"}, storedImage(0x0F));
    const std::optional<MessageEditStart> edit = start(3);
    ASSERT_TRUE(edit);
    EXPECT_FALSE(edit->editable);
    EXPECT_TRUE(edit->outgoing);
}

TEST_F(MessageEdit, NothingSelectedOpensNothing) {
    list.rows().clearSelection();
    EXPECT_FALSE(beginMessageEdit(list));
}

} // namespace
} // namespace velnor
