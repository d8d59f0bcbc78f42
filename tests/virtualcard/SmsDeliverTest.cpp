#include <gtest/gtest.h>

#include "codec/CMyTools.h"
#include "virtualcard/SmsDeliver.h"

namespace velnor::test {
namespace {

std::string hex(const Bytes &bytes) {
    return CMyTools::hex2asc(bytes.data(), bytes.size());
}

TEST(ServiceCentreTimeStamp, SwapsSemiOctetsAndSignsTheZone) {
    const auto east = serviceCentreTimeStamp(2008, 4, 12, 13, 45, 20, 8);
    EXPECT_EQ(hex(Bytes(east.begin(), east.end())), "80402131540280");
    const auto west = serviceCentreTimeStamp(2024, 1, 2, 3, 4, 5, -20);
    EXPECT_EQ(west[6], 0x0A);
}

TEST(EncodeSmsDeliver, BuildsTheDeliverLayout) {
    DeliverMessage message;
    message.smsc = "491710760000";
    message.originator = "4917612345678";
    message.timeStamp = serviceCentreTimeStamp(2008, 4, 12, 13, 45, 20, 8);
    message.text = "hellohello";
    EXPECT_EQ(hex(encodeSmsDeliver(message)),
              "07919471016700000"   // service centre
              "40D91947116325476F8" // first octet 04, originator of 13 digits
              "0000"
              "80402131540280"
              "0AE8329BFD4697D9EC37"); // the packing example of GSM 03.38, 6.1.2.1.1
    message.smsc.clear();
    EXPECT_EQ(encodeSmsDeliver(message)[0], 0x00) << "no service centre";
}

} // namespace
} // namespace velnor::test
