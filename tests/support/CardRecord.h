#pragma once

#include "virtualcard/VirtualSim.h"

namespace velnor::test {

// A record of a file of the card named by its path ("3F00/7F10/6F3A"); nullopt when there is
// none. The card as it is now, seen through the profile it would keep.
inline std::optional<Bytes> cardRecord(const VirtualSim &sim, const std::string &path,
                                       size_t number) {
    const CardProfile card = sim.profile();
    const auto ids = parseFilePath(path);
    const auto node = ids ? card.files.find(*ids) : std::nullopt;
    return node ? card.files.record(*node, number) : std::nullopt;
}

} // namespace velnor::test
