// Round trips over random names and texts (fixed seed): whatever the checks accept reads back
// from the card exactly as it was written.

#include <gtest/gtest.h>

#include <random>

#include "base/Utf8.h"
#include "card/EfAdn.h"
#include "records/MessageCompose.h"
#include "records/PhonebookFit.h"

namespace velnor {
namespace {

// Texts of one of three kinds: GSM characters only (the extension table included), Latin-1, or
// anything, that is a window of 0x80 characters from a random base (where the 0x81 and 0x82
// codings live), often only its two ends, and now and then an emoji, U+FFFF or (from a card's
// name) U+0000.
std::string randomText(std::mt19937 &random, size_t maxLength, bool withNul) {
    constexpr char32_t kFixed[] = {U'a', U'Z', U'0', U' ', U'@',  U'{', U'€',   U'\n',
                                   U'é', U'ñ', U'ÿ', U'Ж', U'中', U'😀', 0xFFFF, 0};
    constexpr size_t kGsmFixed = 10;
    const auto pick = [&](uint32_t n) {
        return std::uniform_int_distribution<uint32_t>(0, n)(random);
    };
    const uint32_t kind = pick(2);
    const size_t fixed = kind == 0   ? kGsmFixed
                         : kind == 1 ? kGsmFixed + 1
                                     : std::size(kFixed) - (withNul ? 0 : 1);
    char32_t base = kind == 1 ? 0x80 : 0x80 + pick(0xFF00);
    if (base >= 0xD780 && base < 0xE000) {
        base = 0x0400; // clear of the surrogates
    }
    const bool ends = pick(1) == 0;
    std::string text;
    const size_t length = pick(static_cast<uint32_t>(maxLength));
    for (size_t i = 0; i < length; ++i) {
        const uint32_t roll = pick(99);
        const char32_t cp = roll < 30 ? kFixed[pick(static_cast<uint32_t>(fixed - 1))]
                            : roll < 50 || kind == 0 ? static_cast<char32_t>(0x20 + pick(0x5E))
                            : ends                   ? base + (pick(1) == 0 ? 0 : 0x7F)
                                                     : base + pick(0x7F);
        appendUtf8(text, cp);
    }
    return text;
}

TEST(RoundTrip, EveryNameThatFitsReadsBackAsItIs) {
    std::mt19937 random(20240611);
    size_t fitting = 0;
    for (int i = 0; i < 4000; ++i) {
        const std::string name = randomText(random, 24, true);
        const uint32_t alphaLength = 6 + static_cast<uint32_t>(random() % 25);
        const bool ucs82Unsupported = random() % 4 == 0;
        if (!nameFitsCard(name, alphaLength, ucs82Unsupported)) {
            continue;
        }
        ++fitting;
        const Bytes record =
            EfAdn::encode(PhoneEntry{name, "1"}, alphaLength + EfAdn::tail, ucs82Unsupported);
        const std::optional<PhoneEntry> back = EfAdn::decode(record);
        ASSERT_TRUE(back) << name;
        EXPECT_EQ(back->name, name) << CMyTools::hex2asc(record.data(), record.size());
    }
    EXPECT_GT(fitting, 1000u);
}

TEST(RoundTrip, EveryTextThatFitsOneMessageReadsBackAsItIs) {
    std::mt19937 random(20240612);
    size_t fitting = 0;
    for (int i = 0; i < 3000; ++i) {
        CardState card;
        card.isCdmaCard = i % 2 == 1;
        card.messageRecordLength = i % 3 == 0 ? 100 : 0;
        const std::string number = i % 5 == 0 ? "+4930123456789" : "5551234";
        const std::string whole = randomText(random, 200, false);
        // What the editor and the import take: the text itself when it fits, else its start.
        const std::string text = fittingInsertion({}, whole, {}, number, card);
        ASSERT_TRUE(messageTextUsage(number, text, card).fits()) << whole;
        fitting += text == whole;
        const MessageImage image = composeMessageImage(number, text, card);
        SM_PARAM param;
        ASSERT_TRUE(card.isCdmaCard
                        ? CMyTools::cdmaDecodePdu(image.data() + 1, image.size() - 1, param, false)
                        : CMyTools::gsmDecodePdu(image.data() + 1, image.size() - 1, param, false));
        EXPECT_EQ(param.text, text) << card.isCdmaCard;
    }
    EXPECT_GT(fitting, 500u);
}

} // namespace
} // namespace velnor
