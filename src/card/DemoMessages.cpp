#include "card/DemoParts.h"
#include "card/EfSms.h"
#include "card/EfSmsp.h"
#include "codec/CMyTools.h"
#include "codec/CdmaDeliver.h"
#include "virtualcard/SmsDeliver.h"

namespace velnor::demo {

namespace {

using namespace status;

constexpr char ServiceCentre[] = "491710760000";

// A message record: the status byte, the stored message, 0xFF to the end; free without one.
Bytes messageRecord(uint8_t statusByte, const Bytes &stored) {
    return EfSms::encode(statusByte == Free ? std::nullopt
                                            : EfSms::Value(StoredMessage{statusByte, stored}),
                         EfSms::recordLength);
}

Bytes received(const std::string &from, uint8_t dcs, const std::string &text,
               const std::array<uint8_t, 7> &time, ConcatInfo concat = {}) {
    DeliverMessage message;
    message.smsc = ServiceCentre;
    message.originatorType = from.front() == '+' ? 0x91 : 0xD0;
    message.originator = from.front() == '+' ? from.substr(1) : from;
    message.dcs = dcs;
    message.timeStamp = time;
    message.text = text;
    message.concat = concat;
    return encodeSmsDeliver(message);
}

Bytes submitted(const std::string &to, uint8_t dcs, const std::string &text) {
    SM_PARAM message;
    message.smscType = 0x91;
    message.smsc = ServiceCentre;
    message.numberType = to.front() == '+' ? 0x91 : 0x81;
    message.number = to.front() == '+' ? to.substr(1) : to;
    message.dcs = dcs;
    message.text = text;
    return CMyTools::gsmEncodePdu(message);
}

// A text longer than one message, sent in two parts of at most 153 septets.
constexpr char LongText[] =
    "Hello from Berlin! The conference went really well and I met a lot of interesting people. "
    "Tomorrow we take the early train to Munich and arrive around noon. Could you pick us up at "
    "the central station? I will call you when we leave. Love, Anna";
constexpr size_t PartSeptets = 153;

} // namespace

void addMessages(CardFileSystem &files, CardFileSystem::Node telecom) {
    const CardFileSystem::Node messages =
        addRecordFile(files, telecom, EfSms::id, EfSms::recordLength, 30);
    const std::string longText = LongText;
    const ConcatInfo first{0x42, 2, 1};
    const ConcatInfo second{0x42, 2, 2};
    const std::vector<std::pair<uint8_t, Bytes>> records{
        {Read, received("+4917612345678", 0x00, "Hi! Are we still on for dinner tonight at 8?",
                        serviceCentreTimeStamp(2024, 3, 14, 18, 2, 11, 4))},
        {Free, {}},
        {Unread, received("+491711234567", 0x00,
                          "Your bill: 23,50€ {ref [A-17]} ~ |thanks| from Büro Müller ^_^",
                          serviceCentreTimeStamp(2024, 3, 15, 9, 30, 0, 4))},
        {Unread, received("+8613812345678", 0x08, "你好，明天下午三点见面好吗？",
                          serviceCentreTimeStamp(2024, 3, 15, 16, 45, 20, 32))},
        {Read, received("+79161234567", 0x08, "Привет! Как дела? Увидимся в субботу.",
                        serviceCentreTimeStamp(2024, 3, 16, 11, 5, 42, 12))},
        {Free, {}},
        {Read, received("Vodafone", 0x00, "Your balance is 12.34 EUR. Top up with *100#.",
                        serviceCentreTimeStamp(2024, 3, 17, 8, 0, 5, 4))},
        {Unread, received("+4915112345678", 0x00, longText.substr(0, PartSeptets),
                          serviceCentreTimeStamp(2024, 3, 18, 20, 15, 33, 4), first)},
        {Unread, received("+4915112345678", 0x00, longText.substr(PartSeptets),
                          serviceCentreTimeStamp(2024, 3, 18, 20, 15, 34, 4), second)},
        {Sent, submitted("+4917612345678", 0x00, "See you at 8 then!")},
        {NotSent, submitted("0301234567", 0x00, "Please call me back about the flat.")},
        {Free, {}},
        {Sent, submitted("+79161234567", 0x08, "Спасибо, до субботы!")},
    };
    size_t number = 1;
    for (const auto &[status, stored] : records) {
        files.setRecord(messages, number++, messageRecord(status, stored));
    }
    for (; number <= files.description(messages).recordCount; ++number) {
        files.setRecord(messages, number, messageRecord(Free, {}));
    }
}

// GSM 11.11, 10.5.6 with Y = 12: no destination, the service centre, PID, DCS and a relative
// validity period of one day.
void addMessageParameters(CardFileSystem &files, CardFileSystem::Node telecom) {
    constexpr size_t AlphaLength = 12;
    const CardFileSystem::Node parameters =
        addRecordFile(files, telecom, EfSmsp::id, AlphaLength + EfSmsp::tail, 1);
    SmsParameters record;
    record.indicators = 0xE1; // only the destination is absent
    const Bytes centre = CMyTools::asc2bcd(ServiceCentre);
    record.serviceCentre = {static_cast<uint8_t>(centre.size() + 1), 0x91, ServiceCentre};
    record.protocolId = 0;
    record.codingScheme = 0;
    record.validity = 0xA7; // 24 hours
    files.setRecord(parameters, 1, EfSmsp::encode(record, AlphaLength + EfSmsp::tail));
}

void addCdmaMessages(CardFileSystem &files, CardFileSystem::Node cdmaDirectory) {
    const CardFileSystem::Node messages =
        addRecordFile(files, cdmaDirectory, EfCdmaSms::id, EfCdmaSms::recordLength, 10);
    Bytes sent = CMyTools::encodesms("Thanks for the update, see you Monday.", "6195551234");
    sent[0] = Sent;
    const std::vector<Bytes> records{
        encodeCdmaDeliverRecord(Read, {"6195551234",
                                       "Meeting moved to 3pm, room 204.",
                                       1,
                                       {0x24, 0x03, 0x15, 0x10, 0x20, 0x30}}),
        {Free},
        encodeCdmaDeliverRecord(
            Unread,
            {"13812345678", "你好！周末一起吃饭吗？", 2, {0x24, 0x03, 0x16, 0x19, 0x05, 0x12}}),
        CMyTools::encodesms("Running late, I will be there in 10 minutes.", "6195551234"),
        sent,
    };
    size_t number = 1;
    for (const Bytes &record : records) {
        files.setRecord(messages, number++,
                        EfCdmaSms::encode(EfCdmaSms::decode(record), EfCdmaSms::recordLength));
    }
    for (; number <= files.description(messages).recordCount; ++number) {
        files.setRecord(messages, number, EfCdmaSms::encode(std::nullopt, EfCdmaSms::recordLength));
    }
}

} // namespace velnor::demo
