#include "reader/SimulatedCards.h"

#include <filesystem>
#include <system_error>

#include "reader/ReaderName.h"

namespace velnor {

SimulatedCards &SimulatedCards::instance() {
    static SimulatedCards cards;
    return cards;
}

// Two spellings of the same file name the same card.
const std::string &SimulatedCards::key(const std::string &devicePath) const {
    if (const auto known = keys_.find(devicePath); known != keys_.end()) {
        return known->second;
    }
    const std::filesystem::path path(ReaderName::profilePath(devicePath));
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return keys_[devicePath] = error ? path.lexically_normal().string() : canonical.string();
}

std::shared_ptr<SimHost> SimulatedCards::cardFor(const std::string &devicePath, std::string &error,
                                                 ProfileFault *fault) {
    if (!ReaderName::isSimulated(devicePath)) {
        error = "\"" + devicePath + "\" is not a simulated reader (sim:PATH).";
        return nullptr;
    }
    std::lock_guard lock(mutex_);
    const std::string &name = key(devicePath);
    if (const auto found = cards_.find(name); found != cards_.end()) {
        return found->second;
    }
    auto card = SimHost::openProfile(ReaderName::profilePath(devicePath), error, {}, fault);
    if (card) {
        cards_[name] = card;
    }
    return card;
}

std::shared_ptr<SimHost> SimulatedCards::find(const std::string &devicePath) const {
    if (!ReaderName::isSimulated(devicePath)) {
        return nullptr;
    }
    std::lock_guard lock(mutex_);
    const auto found = cards_.find(key(devicePath));
    return found == cards_.end() ? nullptr : found->second;
}

std::shared_ptr<SimHost> SimulatedCards::insertInMemory(const std::string &devicePath,
                                                        CardProfile profile) {
    if (!ReaderName::isSimulated(devicePath)) {
        return nullptr;
    }
    auto card = SimHost::inMemory(std::move(profile));
    std::lock_guard lock(mutex_);
    cards_[key(devicePath)] = card;
    return card;
}

void SimulatedCards::remove(const std::string &devicePath) {
    if (!ReaderName::isSimulated(devicePath)) {
        return;
    }
    std::lock_guard lock(mutex_);
    cards_.erase(key(devicePath));
}

} // namespace velnor
