// The published and hand-made vectors under tests/vectors/codec: texts in every coding both ways,
// stored messages decoded or refused, composed messages byte for byte and read back.

#include <map>

#include "CodecTestSupport.h"
#include "base/Utf8.h"

namespace velnor::test {
namespace {

struct TextCoding {
    Bytes (*encode)(std::string_view text);
    std::string (*decode)(const uint8_t *bytes, size_t count);
};

Bytes encode81(std::string_view text) {
    uint8_t codingByte = 0;
    return CMyTools::String2Ucs81(text, codingByte);
}

TEST(CodecVectors, TextCodingsBothWays) {
    const std::map<std::string, TextCoding> codings = {
        {"gsm7", {CMyTools::asc2gsm, CMyTools::gsm2asc}},
        {"ucs2", {CMyTools::gsmEncodeUcs2, CMyTools::gsmDecodeUcs2}},
        {"bcd", {CMyTools::asc2bcd, CMyTools::bcd2asc}},
        {"81", {encode81, CMyTools::UCS2ToGB81}},
        {"82", {CMyTools::String2Ucs82, CMyTools::UCS2ToGB82}},
    };
    for (const json &v : loadVectors("codec/texts.json")) {
        SCOPED_TRACE(v.dump());
        const TextCoding &coding = codings.at(v.at("coding"));
        const Bytes bytes = bytesOf(v.at("hex"));
        if (v.contains("text")) {
            const std::string text = textOf(v["text"]);
            EXPECT_EQ(toHex(coding.encode(text)), v["hex"]);
            if (v["coding"] == "gsm7") {
                EXPECT_EQ(CMyTools::IsDBString(text), v.value("doubleByte", false));
            }
            if (v.contains("codingByte")) {
                uint8_t codingByte = 0;
                CMyTools::String2Ucs81(text, codingByte);
                EXPECT_EQ(codingByte, byteOf(v["codingByte"]));
            }
        }
        if (!bytes.empty() || v.contains("read")) {
            EXPECT_EQ(coding.decode(bytes.data(), v.value("count", bytes.size())),
                      textOf(v.contains("read") ? v["read"] : v["text"]));
        }
        // Each prefix sits in a buffer of exactly its size: the sanitizer build sees any read
        // past the length given.
        for (size_t length = 0; length < bytes.size(); ++length) {
            const Bytes prefix(bytes.data(), bytes.data() + length);
            EXPECT_TRUE(isValidUtf8(coding.decode(prefix.data(), prefix.size()))) << length;
        }
    }
}

// The decoded fields as the vectors write them: bytes in hex, concat as [reference, total,
// sequence].
json fieldsOf(const SM_PARAM &p) {
    return {{"smscType", toHex({p.smscType})},
            {"smsc", p.smsc},
            {"firstOctet", toHex({p.firstOctet})},
            {"numberType", toHex({p.numberType})},
            {"number", p.number},
            {"pid", toHex({p.pid})},
            {"dcs", toHex({p.dcs})},
            {"timeStamp", toHex(Bytes(std::begin(p.timeStamp), std::end(p.timeStamp)))},
            {"text", p.text},
            {"messageReference", toHex({p.messageReference})},
            {"messageClass", p.messageClass},
            {"validityPeriod", toHex(p.validityPeriod)},
            {"userDataHeader", toHex(p.userDataHeader)},
            {"concat", {p.concat.reference, p.concat.total, p.concat.sequence}},
            {"messageId", p.cdmaMessageId}};
}

bool decode(const json &v, const Bytes &bytes, SM_PARAM &param) {
    const bool received = v.at("received");
    return v.value("cdma", false)
               ? CMyTools::cdmaDecodePdu(bytes.data(), bytes.size(), param, received)
               : CMyTools::gsmDecodePdu(bytes.data(), bytes.size(), param, received);
}

// A refused record leaves every field as a new SM_PARAM has it, whatever it held before.
void expectRefused(const json &v, const Bytes &bytes) {
    SM_PARAM param;
    param.smscType = param.numberType = param.dcs = param.timeStamp[0] = 0x91;
    param.smsc = param.number = param.text = "old";
    param.messageClass = 2;
    param.validityPeriod = param.userDataHeader = {1};
    param.concat.total = 2;
    param.cdmaMessageId = 1;
    EXPECT_FALSE(decode(v, bytes, param)) << bytes.size() << " bytes";
    EXPECT_EQ(fieldsOf(param), fieldsOf(SM_PARAM{}));
}

TEST(CodecVectors, StoredMessagesDecodeOrAreRefusedWhole) {
    for (const json &v : loadVectors("codec/pdus.json")) {
        SCOPED_TRACE(v.dump());
        const Bytes pdu = bytesOf(v.at("pdu"));
        if (v.at("fields").is_null()) {
            expectRefused(v, pdu);
            continue;
        }
        SM_PARAM param;
        ASSERT_TRUE(decode(v, pdu, param));
        const json fields = fieldsOf(param);
        for (const auto &[name, expected] : v["fields"].items()) {
            EXPECT_EQ(fields.at(name), expected) << name;
        }
        // Every record cut short is refused, in a buffer of exactly its size.
        for (size_t length = 0; length < pdu.size() && !v.value("padded", false); ++length) {
            expectRefused(v, Bytes(pdu.data(), pdu.data() + length));
        }
    }
}

TEST(CodecVectors, GsmSubmitsAreComposedByteForByteAndReadBack) {
    for (const json &v : loadVectors("codec/gsm-submits.json")) {
        SCOPED_TRACE(v.dump());
        SM_PARAM in;
        in.smscType = 0x91;
        in.smsc = v.value("smsc", "31624000000");
        in.numberType = byteOf(v.value("numberType", json("91")));
        in.number = v.at("number");
        in.dcs = byteOf(v.at("dcs"));
        in.text = textOf(v.at("text"));
        const Bytes pdu = CMyTools::gsmEncodePdu(in);
        if (v.contains("pdu")) {
            EXPECT_EQ(toHex(pdu), v["pdu"]);
        }
        EXPECT_LE(pdu.size(), 175u);
        SM_PARAM out;
        ASSERT_TRUE(CMyTools::gsmDecodePdu(pdu.data(), pdu.size(), out, false)) << toHex(pdu);
        json expected = fieldsOf(in);
        expected["validityPeriod"] = "A7";
        const json read = v.value("read", json::object());
        for (const auto &[name, value] : read.items()) {
            expected[name] = name == "text" ? json(textOf(value)) : value;
        }
        const json fields = fieldsOf(out);
        for (const char *name :
             {"smscType", "smsc", "numberType", "number", "dcs", "text", "validityPeriod"}) {
            EXPECT_EQ(fields[name], expected[name]) << name;
        }
    }
}

TEST(CodecVectors, CdmaSubmitsAreComposedByteForByteAndReadBack) {
    for (const json &v : loadVectors("codec/cdma-submits.json")) {
        SCOPED_TRACE(v.dump());
        const size_t recordLength = v.value("recordLength", CMyTools::kCdmaRecordLength);
        const Bytes record = CMyTools::encodesms(textOf(v.at("text")),
                                                 v.at("number").get<std::string>(), recordLength);
        if (v.contains("record")) {
            EXPECT_EQ(toHex(record), v["record"]);
        }
        ASSERT_GE(record.size(), 2u);
        EXPECT_LE(record.size(), recordLength);
        EXPECT_EQ(record[0], 0x07);
        EXPECT_EQ(record[1], record.size() - 2);
        SM_PARAM out;
        ASSERT_TRUE(CMyTools::cdmaDecodePdu(record.data() + 1, record.size() - 1, out, false));
        const json read = v.value("read", json::object());
        EXPECT_EQ(out.text, textOf(read.value("text", v["text"])));
        EXPECT_EQ(out.number, read.value("number", v["number"]));
        EXPECT_EQ(toHex({out.numberType}), v.value("numberType", "81"));
        EXPECT_NE(out.cdmaMessageId, 0);
    }
}

TEST(CodecVectors, TextUsageCountsInTheSmallestCoding) {
    const std::map<std::string, SmsCoding> codings = {{"Gsm7", SmsCoding::Gsm7},
                                                      {"Ucs2", SmsCoding::Ucs2},
                                                      {"Ascii7", SmsCoding::Ascii7},
                                                      {"Latin1", SmsCoding::Latin1},
                                                      {"Utf16", SmsCoding::Utf16}};
    for (const json &v : loadVectors("codec/text-usage.json")) {
        SCOPED_TRACE(v.dump());
        const std::string text = textOf(v.at("text"));
        const SmsTextUsage usage = v.value("cdma", false)
                                       ? cdmaTextUsage(text, "5551234", v.at("recordLength"))
                                       : gsmTextUsage(text);
        EXPECT_EQ(usage.coding, codings.at(v.at("coding")));
        EXPECT_EQ(usage.used, v.at("used").get<size_t>());
        EXPECT_EQ(usage.capacity, v.at("capacity").get<size_t>());
    }
}

} // namespace
} // namespace velnor::test
