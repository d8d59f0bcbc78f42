#include "virtualcard/SimHost.h"

#include "base/AtomicFile.h"

namespace velnor {

std::shared_ptr<SimHost> SimHost::openProfile(const std::filesystem::path &path, std::string &error,
                                              ProfileSaver saver, ProfileFault *fault) {
    ProfileFault kind = ProfileFault::Unreadable;
    // Locked before it is read, so that what is read is what no other program will change.
    ProfileLock lock;
    ProfileResult loaded;
    if (lock.take(path, error, kind)) {
        loaded = loadCardProfile(path);
        error = loaded.error;
        kind = loaded.fault;
    }
    if (!loaded.profile) {
        if (fault != nullptr) {
            *fault = kind;
        }
        return nullptr;
    }
    if (!saver) {
        saver = [](const std::filesystem::path &file, const std::string &content,
                   std::string &why) { return writeFileAtomically(file, content, &why); };
    }
    auto host = std::make_shared<SimHost>(std::move(*loaded.profile), path, std::move(saver));
    host->lock_ = std::move(lock);
    return host;
}

std::shared_ptr<SimHost> SimHost::inMemory(CardProfile profile) {
    return std::make_shared<SimHost>(std::move(profile), std::filesystem::path(), ProfileSaver());
}

SimHost::SimHost(CardProfile profile, std::filesystem::path path, ProfileSaver saver)
    : sim_(std::move(profile)), path_(std::move(path)), saver_(std::move(saver)),
      fileQuirks_(sim_.quirks()) {
    if (saver_) {
        sim_.setChangeKeeper([this](const VirtualSim &sim) { return save(sim); });
    }
}

bool SimHost::save(const VirtualSim &sim) {
    CardProfile profile = sim.profile();
    profile.quirks = fileQuirks_;
    std::string error;
    if (!saver_(path_, writeCardProfile(profile), error)) {
        saveError_ = error;
        return false;
    }
    saveError_.clear();
    return true;
}

std::optional<Bytes> SimHost::transmit(std::span<const uint8_t> command) {
    std::lock_guard lock(mutex_);
    return sim_.transmit(command);
}

std::optional<Bytes> SimHost::answerToReset() {
    std::lock_guard lock(mutex_);
    return sim_.answerToReset();
}

std::optional<Bytes> SimHost::powerOn() {
    std::lock_guard lock(mutex_);
    return sim_.powerOn();
}

std::string SimHost::lastSaveError() const {
    std::lock_guard lock(mutex_);
    return saveError_;
}

} // namespace velnor
