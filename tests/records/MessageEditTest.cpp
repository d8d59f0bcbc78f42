#include <gtest/gtest.h>

#include "records/MessageCompose.h"
#include "records/MessageEdit.h"
#include "records/MessageRecord.h"
#include "support/EnglishTexts.h"
#include "support/TestVectors.h"

namespace velnor {
namespace {

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
        // 0x0F has the bits of 7 set, but is not 7.
        list.append({"4", "Not sent", "1", "", "odd"}, storedImage(0x0F));
    }

    test::EnglishTexts texts;
    CardState card;
    MessageList list{{"No.", "Status", "Number", "Time", "Text"}};
};

TEST_F(MessageEdit, ComposedImageIsTheSubmitPaddedWithFF) {
    for (const test::json &c : test::loadVectors("records/submit-parameters.json")) {
        SCOPED_TRACE(c.dump());
        const std::string number = c.at("number");
        const std::string text = c.at("text");
        const SM_PARAM param = submitParameters(number, text, card);
        EXPECT_EQ(param.numberType, c.at("numberType"));
        EXPECT_EQ(param.number, c.at("digits"));
        EXPECT_EQ(param.dcs, c.at("dcs"));
        EXPECT_EQ(param.text, text);
        EXPECT_EQ(param.smscType, 0x91);
        EXPECT_EQ(param.smsc, "491710760000");
        // GSM 11.11, 10.5.3: the status byte, the stored message (which RoundTrip reads back),
        // then 0xFF; a CDMA record's first byte is the same.
        for (const bool cdma : {false, true}) {
            card.isCdmaCard = cdma;
            const MessageImage image = composeMessageImage(number, text, card);
            EXPECT_EQ(image.front(), status::NotSent);
            EXPECT_EQ(image.back(), 0xFF);
        }
        card.isCdmaCard = false;
    }
}

TEST_F(MessageEdit, OnlyAnUnsentMessageChangesInPlaceAnyOtherStaysAndTheEditIsAdded) {
    const struct {
        size_t row;
        bool editable;
        bool outgoing;
    } cases[] = {{0, false, false}, {2, false, true}, {3, false, true}, {1, true, true}};
    for (const auto &c : cases) {
        list.rows().selectOnly(c.row);
        const std::optional<MessageEditStart> edit = beginMessageEdit(list);
        ASSERT_TRUE(edit);
        const std::vector<std::string> cells = list.rows().rowCells(c.row);
        const MessageImage image = list.store()[c.row];
        EXPECT_EQ(edit->editable, c.editable) << c.row;
        EXPECT_EQ(edit->outgoing, c.outgoing) << c.row;
        EXPECT_EQ((std::vector<std::string>{edit->number, edit->time, edit->text}),
                  (std::vector<std::string>{cells[2], cells[3], cells[4]}));

        const size_t count = list.size();
        const size_t at = finishMessageEdit(list, *edit, "+4960", "reply", card, texts);
        EXPECT_EQ(at, c.editable ? c.row : count);
        EXPECT_EQ(list.size(), c.editable ? count : count + 1);
        EXPECT_EQ(
            list.rows().rowCells(at),
            (std::vector<std::string>{std::to_string(at + 1), "Not sent", "+4960", "", "reply"}));
        EXPECT_EQ(list.store()[at], composeMessageImage("+4960", "reply", card));
        if (!c.editable) {
            EXPECT_EQ(list.store()[c.row], image);
            EXPECT_EQ(list.rows().rowCells(c.row), cells);
        }
    }
    list.rows().clearSelection();
    EXPECT_FALSE(beginMessageEdit(list));
}

} // namespace
} // namespace velnor
