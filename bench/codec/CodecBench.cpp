// Decoding and encoding of stored short messages; the decoder runs for every record of a read.

#include "codec/CMyTools.h"
#include "codec/GsmAlphabet.h"

#include <benchmark/benchmark.h>

#ifdef VELNOR_BENCH_GAMMU
#include <gammu.h>
#endif

namespace velnor {
namespace {

constexpr size_t kStoredLength = 175; // a 176-byte record after its status byte

std::string sampleText(size_t length, std::string_view unit) {
    std::string text;
    while (text.size() < length * unit.size()) {
        text += unit;
    }
    return text;
}

const std::string kGsmText = [] {
    std::string text;
    const std::string_view words = "The quick brown fox jumps over the lazy dog 0123456789. ";
    while (text.size() < 160) {
        text += words;
    }
    return text.substr(0, 160);
}();
const std::string kUcs2Text = sampleText(70, "短");

// A received message as a card stores it: service centre, SMS-DELIVER, then 0xFF padding.
Bytes storedDeliver(uint8_t dcs, const Bytes &userData, uint8_t userDataLength) {
    Bytes pdu = *CMyTools::asc2hex("07911326040000F0040B911346610089F600");
    pdu.push_back(dcs);
    const Bytes timeStamp = *CMyTools::asc2hex("20806291731408");
    pdu.insert(pdu.end(), timeStamp.begin(), timeStamp.end());
    pdu.push_back(userDataLength);
    pdu.insert(pdu.end(), userData.begin(), userData.end());
    pdu.resize(kStoredLength, 0xFF);
    return pdu;
}

Bytes gsmDeliverRecord() {
    const Bytes septets = CMyTools::asc2gsm(kGsmText);
    Bytes packed(140);
    packSeptets(septets.data(), septets.size(), 0, packed.data());
    return storedDeliver(0x00, packed, 160);
}

Bytes ucs2DeliverRecord() {
    return storedDeliver(0x08, CMyTools::gsmEncodeUcs2(kUcs2Text), 140);
}

void decodeRecord(benchmark::State &state, const Bytes &record) {
    SM_PARAM param;
    for (auto _ : state) {
        const bool ok = CMyTools::gsmDecodePdu(record.data(), record.size(), param, true);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(param.text.data());
    }
    if (!CMyTools::gsmDecodePdu(record.data(), record.size(), param, true)) {
        state.SkipWithError("the sample record does not decode");
    }
}

void BM_DecodeGsm7Deliver160(benchmark::State &state) {
    decodeRecord(state, gsmDeliverRecord());
}
BENCHMARK(BM_DecodeGsm7Deliver160);

void BM_DecodeUcs2Deliver70(benchmark::State &state) {
    decodeRecord(state, ucs2DeliverRecord());
}
BENCHMARK(BM_DecodeUcs2Deliver70);

void encodeText(benchmark::State &state, const std::string &text, uint8_t dcs) {
    SM_PARAM param;
    param.smscType = 0x91;
    param.smsc = "31624000000";
    param.numberType = 0x91;
    param.number = "31641600986";
    param.dcs = dcs;
    param.text = text;
    for (auto _ : state) {
        Bytes pdu = CMyTools::gsmEncodePdu(param);
        benchmark::DoNotOptimize(pdu.data());
    }
}

void BM_EncodeGsm7Submit160(benchmark::State &state) {
    encodeText(state, kGsmText, 0x00);
}
BENCHMARK(BM_EncodeGsm7Submit160);

void BM_EncodeUcs2Submit70(benchmark::State &state) {
    encodeText(state, kUcs2Text, 0x08);
}
BENCHMARK(BM_EncodeUcs2Submit70);

#ifdef VELNOR_BENCH_GAMMU
// The same stored SMS-DELIVER through libGammu's PDU decoder, for comparison.
void BM_GammuDecodeGsm7Deliver160(benchmark::State &state) {
    const Bytes record = gsmDeliverRecord();
    GSM_SMSMessage message{};
    size_t end = 0;
    if (GSM_DecodePDUFrame(GSM_GetGlobalDebug(), &message, record.data(), record.size(), &end,
                           TRUE) != ERR_NONE) {
        state.SkipWithError("libGammu does not decode the sample record");
        return;
    }
    for (auto _ : state) {
        const GSM_Error error = GSM_DecodePDUFrame(GSM_GetGlobalDebug(), &message, record.data(),
                                                   record.size(), &end, TRUE);
        benchmark::DoNotOptimize(error);
        benchmark::DoNotOptimize(message.Text);
    }
}
BENCHMARK(BM_GammuDecodeGsm7Deliver160);
#endif

} // namespace
} // namespace velnor
