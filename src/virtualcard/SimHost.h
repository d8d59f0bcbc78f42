#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "virtualcard/ProfileJson.h"
#include "virtualcard/ProfileLock.h"
#include "virtualcard/VirtualSim.h"

namespace velnor {

// A card in a reader: a virtual card with its lock, kept either in its profile file (every
// change written back at once, atomically) or only in memory. Every call takes the lock, so
// the handles of several threads may share one card.
class SimHost {
public:
    // Writes a card's profile; false and a sentence in error when it cannot.
    using ProfileSaver =
        std::function<bool(const std::filesystem::path &, const std::string &, std::string &error)>;

    // The card of a profile file, kept to this program until the card is destroyed (see
    // ProfileLock); nullptr with the reason in error, and its kind in fault, when it cannot be
    // had. The saver defaults to an atomic replacement of the file.
    static std::shared_ptr<SimHost> openProfile(const std::filesystem::path &path,
                                                std::string &error, ProfileSaver saver = {},
                                                ProfileFault *fault = nullptr);
    // A card that lives in memory only and writes nothing.
    static std::shared_ptr<SimHost> inMemory(CardProfile profile);

    std::optional<Bytes> transmit(std::span<const uint8_t> command);
    std::optional<Bytes> answerToReset();
    std::optional<Bytes> powerOn();

    // Runs f(VirtualSim &) with the card locked: to set quirks, count commands, look at records.
    template <class F> decltype(auto) withCard(F &&f) {
        std::lock_guard lock(mutex_);
        return f(sim_);
    }

    // The profile file, empty for a card in memory.
    const std::filesystem::path &profilePath() const { return path_; }
    // Why the last change could not be written, empty when it was.
    std::string lastSaveError() const;

    SimHost(CardProfile profile, std::filesystem::path path, ProfileSaver saver);

private:
    bool save(const VirtualSim &sim);

    mutable std::mutex mutex_;
    VirtualSim sim_;
    std::filesystem::path path_;
    ProfileSaver saver_;
    CardQuirks fileQuirks_; // what the file says; quirks set at run time are not written
    std::string saveError_;
    ProfileLock lock_;
};

} // namespace velnor
