// The card side of the vpcd protocol, fed what a reader driver could send: control codes and
// command APDUs in length-prefixed frames, split anywhere. The first byte chooses where the
// input is cut into two deliveries. Whatever comes in, the answers are whole frames and none is
// empty: the card is in the reader, so it has an answer to reset, and every command gets at
// least a status word.

#include <cstdlib>

#include "card/DemoProfile.h"
#include "virtualcard/VpcdFront.h"

namespace {

// Reads the frames of an answer; false when they do not add up exactly or one is too short.
bool wholeFrames(const velnor::Bytes &out) {
    size_t at = 0;
    while (at + 2 <= out.size()) {
        const size_t length = static_cast<size_t>(out[at] << 8 | out[at + 1]);
        if (length < 2) {
            return false;
        }
        at += 2 + length;
    }
    return at == out.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    using namespace velnor;
    static const CardProfile demo = makeDemoCard(false);
    if (size == 0) {
        return 0;
    }
    const size_t cut = std::min<size_t>(data[0], size - 1);
    const std::span<const uint8_t> stream(data + 1, size - 1);
    auto card = SimHost::inMemory(demo);
    VpcdSession session(*card);
    Bytes out = session.receive(stream.first(cut));
    const Bytes rest = session.receive(stream.subspan(cut));
    out.insert(out.end(), rest.begin(), rest.end());
    if (!wholeFrames(out)) {
        std::abort();
    }
    return 0;
}
