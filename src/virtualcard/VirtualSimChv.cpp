// The CHV commands of the virtual card (GSM 11.11, 9.2.9 to 9.2.13). Only CHV1 exists; CHV2 is
// named by the commands but not initialised.

#include "virtualcard/StatusWords.h"
#include "virtualcard/VirtualSim.h"

namespace velnor {

namespace {

constexpr uint8_t Chv1 = 0x01;
constexpr uint8_t Chv2 = 0x02;
constexpr uint8_t Chv1ForUnblock = 0x00; // UNBLOCK CHV names CHV1 as 00

ChvCode codeAt(std::span<const uint8_t> data, size_t offset) {
    ChvCode code;
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(offset),
              data.begin() + static_cast<std::ptrdiff_t>(offset + code.size()), code.begin());
    return code;
}

// The status word that refuses a command's P1, P2 or P3, or Ok. chv1Reference is the P2 that
// names CHV1; CHV2 may be named only where allowCHV2 is set.
uint16_t checkParameters(uint8_t p1, uint8_t p2, uint8_t p3, uint8_t chv1Reference, bool allowChv2,
                         uint8_t dataLength) {
    if (p1 != 0 || (p2 != chv1Reference && !(allowChv2 && p2 == Chv2))) {
        return sw::WrongParameters;
    }
    if (p3 != dataLength) {
        return sw::WrongLength;
    }
    if (p2 == Chv2) {
        return sw::NoChvInitialised;
    }
    return sw::Ok;
}

} // namespace

Bytes VirtualSim::chvOperation(const std::function<uint16_t()> &operation) {
    const ChvState before = chv1_;
    const uint16_t status = operation();
    if (chv1_.settings() != before.settings() && !keep([&] { chv1_ = before; })) {
        return cardAnswer(sw::MemoryProblem);
    }
    return cardAnswer(status);
}

Bytes VirtualSim::verifyChv(const Command &c) {
    if (const uint16_t refused = checkParameters(c.p1, c.p2, c.p3, Chv1, true, 8);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    return chvOperation([&] { return chv1_.verify(codeAt(c.data, 0)); });
}

Bytes VirtualSim::changeChv(const Command &c) {
    if (const uint16_t refused = checkParameters(c.p1, c.p2, c.p3, Chv1, true, 16);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    return chvOperation([&] { return chv1_.change(codeAt(c.data, 0), codeAt(c.data, 8)); });
}

Bytes VirtualSim::disableChv(const Command &c) {
    if (const uint16_t refused = checkParameters(c.p1, c.p2, c.p3, Chv1, false, 8);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    return chvOperation([&] { return chv1_.disable(codeAt(c.data, 0)); });
}

Bytes VirtualSim::enableChv(const Command &c) {
    if (const uint16_t refused = checkParameters(c.p1, c.p2, c.p3, Chv1, false, 8);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    return chvOperation([&] { return chv1_.enable(codeAt(c.data, 0)); });
}

Bytes VirtualSim::unblockChv(const Command &c) {
    if (const uint16_t refused = checkParameters(c.p1, c.p2, c.p3, Chv1ForUnblock, true, 16);
        refused != sw::Ok) {
        return cardAnswer(refused);
    }
    return chvOperation([&] { return chv1_.unblock(codeAt(c.data, 0), codeAt(c.data, 8)); });
}

} // namespace velnor
