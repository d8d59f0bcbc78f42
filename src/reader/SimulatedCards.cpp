#include "reader/SimulatedCards.h"

#include <filesystem>
#include <system_error>

namespace velnor {

SimulatedCards &SimulatedCards::instance() {
    static SimulatedCards cards;
    return cards;
}

bool SimulatedCards::isSimulatedPath(const std::string &devicePath) {
    return devicePath.size() > Prefix.size() && devicePath.starts_with(Prefix);
}

// Two spellings of the same file name the same card.
const std::string &SimulatedCards::key(const std::string &devicePath) const {
    if (const auto known = keys_.find(devicePath); known != keys_.end()) {
        return known->second;
    }
    const std::filesystem::path path(devicePath.substr(Prefix.size()));
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return keys_[devicePath] = error ? path.lexically_normal().string() : canonical.string();
}

std::shared_ptr<SimHost> SimulatedCards::cardFor(const std::string &devicePath, std::string &error,
                                                 ProfileFault *fault) {
    if (!isSimulatedPath(devicePath)) {
        error = "\"" + devicePath + "\" is not a simulated reader (sim:PATH).";
        return nullptr;
    }
    std::lock_guard lock(mutex_);
    const std::string &name = key(devicePath);
    if (const auto found = cards_.find(name); found != cards_.end()) {
        return found->second;
    }
    auto card = SimHost::openProfile(devicePath.substr(Prefix.size()), error, {}, fault);
    if (card) {
        cards_[name] = card;
    }
    return card;
}

std::shared_ptr<SimHost> SimulatedCards::find(const std::string &devicePath) const {
    if (!isSimulatedPath(devicePath)) {
        return nullptr;
    }
    std::lock_guard lock(mutex_);
    const auto found = cards_.find(key(devicePath));
    return found == cards_.end() ? nullptr : found->second;
}

std::shared_ptr<SimHost> SimulatedCards::insertInMemory(const std::string &devicePath,
                                                        CardProfile profile) {
    if (!isSimulatedPath(devicePath)) {
        return nullptr;
    }
    auto card = SimHost::inMemory(std::move(profile));
    std::lock_guard lock(mutex_);
    cards_[key(devicePath)] = card;
    return card;
}

void SimulatedCards::remove(const std::string &devicePath) {
    if (!isSimulatedPath(devicePath)) {
        return;
    }
    std::lock_guard lock(mutex_);
    cards_.erase(key(devicePath));
}

} // namespace velnor
