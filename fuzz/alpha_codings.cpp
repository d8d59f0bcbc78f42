// Names and numbers of the phonebook. The first byte chooses the decoder, or (from 5 on) takes
// the rest as a text to code and decode again.

#include "base/Utf8.h"
#include "codec/CMyTools.h"

#include <cstdlib>

namespace {

using namespace velnor;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void codeAndDecode(std::string_view text) {
    const bool valid = isValidUtf8(text);
    uint8_t coding = 0;
    const Bytes body81 = CMyTools::String2Ucs81(text, coding);
    check(body81.empty() != (coding == 0x81));
    if (!body81.empty() && valid) {
        check(CMyTools::UCS2ToGB81(body81.data(), body81.size()) == text);
    }
    // A 16-bit base is one byte longer than a one-byte base; its window is one character
    // narrower, and no character of it is the filler byte 0xFF.
    const Bytes body82 = CMyTools::String2Ucs82(text);
    check(coding == 0x81 ? body82.empty() || body82.size() == body81.size() + 1
                         : body82.empty() == (coding == 0x80));
    for (size_t i = 3; i < body82.size(); ++i) {
        check(body82[i] != 0xFF);
    }
    if (!body82.empty() && valid) {
        check(CMyTools::UCS2ToGB82(body82.data(), body82.size()) == text);
    }
    if (valid) {
        // UCS2 ends at U+0000.
        const Bytes ucs2 = CMyTools::gsmEncodeUcs2(text);
        check(CMyTools::gsmDecodeUcs2(ucs2.data(), ucs2.size()) == text.substr(0, text.find('\0')));
        if (!CMyTools::IsDBString(text)) {
            const Bytes septets = CMyTools::asc2gsm(text);
            check(CMyTools::gsm2asc(septets.data(), septets.size()) == text);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t *body = data + 1;
    const size_t count = size - 1;
    std::string decoded;
    switch (data[0] % 6) {
    case 0:
        decoded = CMyTools::UCS2ToGB81(body, count);
        break;
    case 1:
        decoded = CMyTools::UCS2ToGB82(body, count);
        break;
    case 2:
        decoded = CMyTools::gsmDecodeUcs2(body, count);
        break;
    case 3:
        decoded = CMyTools::gsm2asc(body, count);
        break;
    case 4: {
        decoded = CMyTools::bcd2asc(body, count);
        const Bytes bcd = CMyTools::asc2bcd(decoded);
        check(CMyTools::bcd2asc(bcd.data(), bcd.size()) == decoded);
        break;
    }
    default:
        codeAndDecode(std::string_view(reinterpret_cast<const char *>(body), count));
        return 0;
    }
    check(isValidUtf8(decoded));
    return 0;
}
