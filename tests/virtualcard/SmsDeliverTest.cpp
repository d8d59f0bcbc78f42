// The deliver layout and time stamps east of Greenwich are in the demo card, which
// CardFiles.DemoCardsAreWrittenAsKept compares byte for byte; here what it does not hold.

#include <gtest/gtest.h>

#include "virtualcard/SmsDeliver.h"

namespace velnor {
namespace {

TEST(SmsDeliver, ZoneWestIsSignedAndNoServiceCentreIsAZeroLength) {
    EXPECT_EQ(serviceCentreTimeStamp(2024, 1, 2, 3, 4, 5, -20)[6], 0x0A);
    DeliverMessage message;
    message.originator = "4917612345678";
    message.text = "hi";
    EXPECT_EQ(encodeSmsDeliver(message)[0], 0x00);
}

} // namespace
} // namespace velnor
