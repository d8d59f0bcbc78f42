#include "codec/SmParamReset.h"

#include <algorithm>

namespace velnor {

void resetParam(SM_PARAM &param) {
    param.smscType = 0;
    param.smsc.clear();
    param.numberType = 0;
    param.number.clear();
    param.pid = 0;
    param.dcs = 0;
    std::fill(std::begin(param.timeStamp), std::end(param.timeStamp), uint8_t{0});
    param.text.clear();
    param.firstOctet = 0;
    param.messageReference = 0;
    param.messageClass = -1;
    param.validityPeriod.clear();
    param.userDataHeader.clear();
    param.concat = ConcatInfo{};
    param.cdmaMessageId = 0;
}

} // namespace velnor
