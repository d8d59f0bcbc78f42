#pragma once

// Text, number and short-message conversions of the card's formats. Texts are UTF-8; "double-byte"
// means a character that neither the GSM 03.38 default alphabet nor its extension table codes.
// Every decoder takes a pointer and a length and never reads past it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

using Bytes = std::vector<uint8_t>;

// Concatenation information from a user data header (GSM 03.40, 9.2.3.24.1 and .8).
struct ConcatInfo {
    uint16_t reference = 0;
    uint8_t total = 0;    // 0: the message is not part of a concatenated one
    uint8_t sequence = 0; // 1-based
};

// A short message as the codec exchanges it. The fields and their order are those of the
// 219-byte parameter record of the card tools; texts are UTF-8 strings instead of fixed
// code-page buffers, since a UTF-8 text of 160 characters does not fit 161 bytes.
struct SM_PARAM {
    uint8_t smscType = 0;      // service-centre type of address
    std::string smsc;          // service-centre digits, at most 20
    uint8_t numberType = 0;    // originator (received) or destination (sent) type of address
    std::string number;        // digits without "+", or the text of an alphanumeric address
    uint8_t pid = 0;           // TP-PID
    uint8_t dcs = 0;           // TP-DCS as stored; 0 default alphabet, 8 UCS2 when composing
    uint8_t timeStamp[7] = {}; // TP-SCTS semi-octets as in the PDU (nibbles not swapped)
    std::string text;          // decoded user data, without the user data header

    // Beyond the record: what else the PDU said. Filled by the decoders, ignored by the encoder.
    uint8_t firstOctet = 0;
    uint8_t messageReference = 0; // TP-MR of a submit
    int messageClass = -1;        // 0..3 from the coding scheme, -1 when none is given
    Bytes validityPeriod;         // TP-VP of a submit as stored (0, 1 or 7 bytes)
    Bytes userDataHeader;         // TP-UDH without its length byte, empty when none
    ConcatInfo concat;
    uint16_t cdmaMessageId = 0; // CDMA bearer data message identifier
};

// The text alphabet of a coding scheme (GSM 03.38, 4).
enum class Alphabet { Gsm7, Octet, Ucs2 };

class CMyTools {
public:
    // True when the text holds a character outside the GSM alphabet and its extension table.
    static bool IsDBString(std::string_view text);

    // GSM default alphabet, one septet a byte; an extension character is 0x1B and its code.
    // A character that cannot be coded becomes "?" (0x3F).
    static Bytes asc2gsm(std::string_view text);
    // Decoding stops at the first 0xFF (unused bytes of a card field); other bytes count by
    // their low seven bits. 0x1B before a code the extension table lacks reads as that code in
    // the default alphabet (GSM 03.38, 6.2.1.1); a final 0x1B, or 0x1B 0x1B, reads as a space.
    static std::string gsm2asc(const uint8_t *bytes, size_t count);

    // Big-endian UCS2 (UTF-16 code units, so characters beyond the BMP take a surrogate pair).
    // Decoding ends at U+0000, which cards pad with as well as with U+FFFF; it turns a lone
    // surrogate into U+FFFD and ignores an odd last byte.
    static Bytes gsmEncodeUcs2(std::string_view text);
    static std::string gsmDecodeUcs2(const uint8_t *bytes, size_t count);

    // GSM 11.11 Annex B alpha codings. String2Ucs81 gives the body after the 0x81 byte (count,
    // base byte, one byte a character) or an empty result when no one-byte base (a multiple of
    // 0x80 below 0x8000) fits every character; it then sets codingByte to 0x82 when a 16-bit
    // base would fit, else to 0x80. String2Ucs82 gives the body after the 0x82 byte (count,
    // 16-bit base, one byte a character) or an empty result. Its base is the lowest character,
    // and the others must lie less than 0x7F above it: a character byte of 0xFF would read as
    // the field's filler.
    static Bytes String2Ucs81(std::string_view text, uint8_t &codingByte);
    static Bytes String2Ucs82(std::string_view text);
    // Decode a body as above; count is how many body bytes there are to read. The count byte of
    // the body limits the characters, and count the bytes read.
    static std::string UCS2ToGB81(const uint8_t *body, size_t count);
    static std::string UCS2ToGB82(const uint8_t *body, size_t count);

    // Dialling numbers as packed BCD, low nibble first, 0xF filler (GSM 11.11, 10.5.1). Besides
    // the digits, "*" is 0xA, "#" 0xB, "p" (pause) 0xC, "w" (wild) 0xD and "e" (expansion) 0xE;
    // other characters are skipped (upper-case "P", "W" and "E" are taken too). Decoding drops
    // every 0xF nibble.
    static Bytes asc2bcd(std::string_view digits);
    static std::string bcd2asc(const uint8_t *bytes, size_t count);

    static std::string hex2asc(const uint8_t *bytes, size_t count); // upper case, no separators
    static std::optional<Bytes> asc2hex(std::string_view hex);      // nullopt when not hex

    static bool GetBitStatus(uint8_t byte, int bit) { return ((byte >> bit) & 1) != 0; }

    // Service-centre address and SMS-SUBMIT TPDU, exactly as stored after the status byte. The
    // submit has first octet 0x11, reference 0, PID 0, the given coding scheme (0 GSM 7-bit,
    // 4 8-bit, 8 UCS2) and a relative validity of one day; a text too long for one message is
    // cut at a character boundary. An alphanumeric numberType (type of number 101) codes the
    // number as packed text.
    static Bytes gsmEncodePdu(const SM_PARAM &param);
    // Decode a stored record after its status byte: received selects SMS-DELIVER, else
    // SMS-SUBMIT. On failure the result is false and param holds empty fields. Padding after
    // the PDU is ignored. A compressed text (GSM 03.42) counts as a failure, since it cannot be
    // shown; 8-bit data is read as ISO-8859-1.
    static bool gsmDecodePdu(const uint8_t *bytes, size_t count, SM_PARAM &param, bool received);
    // How many of count bytes the stored message takes, the padding after it left out; count
    // when it does not decode as above.
    static size_t gsmPduLength(const uint8_t *bytes, size_t count, bool received);
    // The same for a CDMA card's EF_SMS record after its status byte (3GPP2 C.S0023, C.S0015):
    // received takes the originating address, else the destination address. Texts in octets,
    // 7-bit ASCII, IA5, UTF-16, ISO-8859-1 and GSM 7-bit are read; any other encoding is a
    // failure. The message centre time stamp fills timeStamp[0..5] as its BCD bytes stand.
    static bool cdmaDecodePdu(const uint8_t *bytes, size_t count, SM_PARAM &param, bool received);
    // A whole CDMA EF_SMS record image, status byte 7 (not yet sent) included: a submit of the
    // wireless messaging teleservice (4098) in the coding cdmaTextUsage chooses, to a DTMF
    // address (an ASCII one for a leading "+", which makes it international, or for characters
    // DTMF lacks). The number keeps at most 32 characters and the text is cut at a character
    // boundary to what cdmaTextUsage says one message of a recordLength-byte record holds.
    static Bytes encodesms(std::string_view text, std::string_view number,
                           size_t recordLength = kCdmaRecordLength);

    // The length of a CDMA card's EF_SMS record (3GPP2 C.S0023, 3.4.27) when the card has not
    // said otherwise.
    static constexpr size_t kCdmaRecordLength = 255;
};

// The text codings of one short message: GSM 7-bit and UCS2 (GSM 03.38, 4); 7-bit ASCII,
// ISO-8859-1 and UTF-16 on CDMA (3GPP2 C.S0015, 4.5.2, with the encodings of C.R1001).
enum class SmsCoding { Gsm7, Ucs2, Ascii7, Latin1, Utf16 };

// How much of one short message a text takes in the smallest coding that holds its characters:
// `used` and `capacity` count septets (an extension character takes two), octets or 16-bit
// units, as the coding does.
struct SmsTextUsage {
    SmsCoding coding = SmsCoding::Gsm7;
    size_t used = 0;
    size_t capacity = 0;

    bool fits() const { return used <= capacity; }
};

// GSM (GSM 03.40, 9.2.3.16): 160 septets of the default alphabet, else 70 UCS2 units.
SmsTextUsage gsmTextUsage(std::string_view text);
// CDMA: 160 characters of 7-bit ASCII, else 140 of ISO-8859-1, else 70 UTF-16 units; never
// more than a record of recordLength bytes holds beside a submit to number.
SmsTextUsage cdmaTextUsage(std::string_view text, std::string_view number,
                           size_t recordLength = CMyTools::kCdmaRecordLength);

// A name as a UCS2 alpha identifier (GSM 11.11, Annex B) can hold it: U+FFFD in place of every
// character beyond the BMP (which would take a surrogate pair), of U+0000 (which ends the name)
// and of U+FFFF (the filler).
std::string ucs2Storable(std::string_view text);

// The characters "^{}\[~]|", each of which takes two septets on the card.
size_t CountGsmExtensionChars(std::string_view text);

} // namespace velnor
