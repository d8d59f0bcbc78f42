#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "virtualcard/SimHost.h"

namespace velnor {

// The cards in the simulated readers of this process, one per device path "sim:PATH". A card
// is read from its profile file when its path is first used and stays in its reader, so every
// handle and every driver object of the process that names the path shares it. Thread-safe.
class SimulatedCards {
public:
    static SimulatedCards &instance();

    // The card behind a device path, read from its profile file on first use and kept from other
    // programs while it is in the reader; nullptr with a sentence in error (and its kind in
    // fault) when the path is not "sim:PATH" or its profile cannot be had.
    std::shared_ptr<SimHost> cardFor(const std::string &devicePath, std::string &error,
                                     ProfileFault *fault = nullptr);
    // The card behind a device path if one is in the reader, without reading any file.
    std::shared_ptr<SimHost> find(const std::string &devicePath) const;
    // Puts a card that lives only in memory behind a device path, replacing any card there.
    std::shared_ptr<SimHost> insertInMemory(const std::string &devicePath, CardProfile profile);
    // Takes the card out: the next use of the path reads its profile file again.
    void remove(const std::string &devicePath);

private:
    SimulatedCards() = default;
    // The card's name for a device path; worked out once per path, since every command of a
    // handle asks. Called with mutex_ held.
    const std::string &key(const std::string &devicePath) const;

    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<SimHost>> cards_;
    mutable std::map<std::string, std::string> keys_;
};

} // namespace velnor
