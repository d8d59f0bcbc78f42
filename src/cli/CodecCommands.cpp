#include <nlohmann/json.hpp>
#include <ostream>

#include "card/EfAdn.h"
#include "cli/Commands.h"
#include "codec/CMyTools.h"
#include "records/CardState.h"
#include "records/MessageCompose.h"
#include "records/MessageRecord.h"
#include "records/PhonebookFit.h"

namespace velnor::cli {

namespace {

std::optional<Bytes> hexArgument(Context &context, size_t index) {
    const std::vector<std::string> &words = context.options.words;
    if (index >= words.size()) {
        return std::nullopt;
    }
    return CMyTools::asc2hex(words[index]);
}

// What the units of a coding's usage are called.
const char *unitName(SmsCoding coding) {
    switch (coding) {
    case SmsCoding::Gsm7:
        return "septets";
    case SmsCoding::Ascii7:
    case SmsCoding::Latin1:
        return "characters";
    default:
        return "UTF-16 units";
    }
}

std::string alphaCoding(const Bytes &record) {
    const size_t alphaLength = record.size() - EfAdn::tail;
    if (alphaLength > 0 && record[0] >= 0x80 && record[0] <= 0x82) {
        const char *names[] = {"0x80", "0x81", "0x82"};
        return names[record[0] - 0x80];
    }
    return "gsm";
}

int decodeAdn(Context &context) {
    const std::optional<Bytes> record = hexArgument(context, 2);
    if (!record) {
        return fail(context, Usage, "decode adn needs the record as hexadecimal digits.");
    }
    if (record->size() < EfAdn::tail) {
        return fail(context, Refused, "A phonebook record has at least 14 bytes.");
    }
    const std::optional<PhoneEntry> entry = EfAdn::decode(*record);
    if (!entry) {
        return fail(context, Refused,
                    "The record holds no entry (no name and no number, or a number length "
                    "above 11).");
    }
    const std::string coding = alphaCoding(*record);
    if (context.options.json) {
        context.out << nlohmann::json{{"name", entry->name},
                                      {"number", entry->number},
                                      {"coding", coding}}
                           .dump()
                    << '\n';
    } else {
        context.out << "name: " << entry->name << "\nnumber: " << entry->number
                    << "\ncoding: " << coding << '\n';
    }
    return Done;
}

int decodePdu(Context &context) {
    const std::optional<Bytes> bytes = hexArgument(context, 2);
    if (!bytes) {
        return fail(context, Usage, "decode pdu needs the stored bytes as hexadecimal digits.");
    }
    const bool received = !context.options.has("--sent");
    const bool cdma = context.options.has("--cdma");
    SM_PARAM param;
    const bool decoded =
        cdma ? CMyTools::cdmaDecodePdu(bytes->data(), bytes->size(), param, received)
             : CMyTools::gsmDecodePdu(bytes->data(), bytes->size(), param, received);
    if (!decoded) {
        return fail(context, Refused, "The bytes are not a stored short message.");
    }
    const std::string time = received ? receivedTime(param, cdma) : std::string();
    if (context.options.json) {
        context.out << nlohmann::json{{"smscType", param.smscType},
                                      {"smsc", param.smsc},
                                      {"numberType", param.numberType},
                                      {"number", param.number},
                                      {"dcs", param.dcs},
                                      {"time", time},
                                      {"text", param.text}}
                           .dump()
                    << '\n';
    } else {
        context.out << "smsc: " << param.smsc
                    << "\nnumber: " << (param.numberType == 0x91 ? "+" : "") << param.number
                    << "\ntime: " << time << "\ntext: " << param.text << '\n';
    }
    return Done;
}

} // namespace

int runDecode(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    if (words.size() == 3 && words[1] == "pdu") {
        return decodePdu(context);
    }
    if (words.size() == 3 && words[1] == "adn") {
        return decodeAdn(context);
    }
    return fail(context, Usage, "Use decode pdu HEX or decode adn HEX.");
}

int runEncode(Context &context) {
    const std::vector<std::string> &words = context.options.words;
    const std::optional<std::string> to = context.options.value("--to");
    if (words.size() != 3 || words[1] != "pdu" || !to) {
        return fail(context, Usage, "Use encode pdu --to NUMBER [--smsc NUMBER] [--cdma] TEXT.");
    }
    CardState card;
    card.isCdmaCard = context.options.has("--cdma");
    if (const std::optional<std::string> smsc = context.options.value("--smsc")) {
        const bool international = !smsc->empty() && (*smsc)[0] == '+';
        card.smscTypeOfAddress = international ? 0x91 : 0x81;
        card.smscNumber = international ? smsc->substr(1) : *smsc;
    }
    const std::string &text = words[2];
    const SmsTextUsage usage = messageTextUsage(*to, text, card);
    if (!usage.fits()) {
        return fail(context, Refused,
                    "The text does not fit one short message: it takes " +
                        std::to_string(usage.used) + " " + unitName(usage.coding) +
                        ", and one message holds " + std::to_string(usage.capacity) + ".");
    }
    if (!numberFitsCard(*to)) {
        return fail(context, Refused,
                    "The number has a \"+\" after its first character or more than 20 digits.");
    }
    Bytes stored;
    if (card.isCdmaCard) {
        stored = CMyTools::encodesms(text, *to);
        if (!stored.empty()) {
            stored.erase(stored.begin());
        }
    } else {
        stored = CMyTools::gsmEncodePdu(submitParameters(*to, text, card));
    }
    context.out << CMyTools::hex2asc(stored.data(), stored.size()) << '\n';
    return Done;
}

} // namespace velnor::cli
