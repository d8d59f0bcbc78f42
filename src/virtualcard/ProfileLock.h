#pragma once

#include <filesystem>
#include <string>

#include "virtualcard/ProfileJson.h"

namespace velnor {

// Keeps a card profile to one program at a time, as a card sits in one reader: another program
// that read the profile meanwhile would save its stale copy over this one's changes. The lock is
// flock(2) on a hidden file beside the profile (the profile itself is replaced by every save, so
// a lock on it would be left on the old file), removed again when released; where the folder
// takes no new file, nobody can replace the profile either, and the profile itself is locked.
// A pipe or a device is not locked: it cannot be saved to.
class ProfileLock {
public:
    ProfileLock() = default;
    ~ProfileLock();
    ProfileLock(ProfileLock &&other) noexcept;
    ProfileLock &operator=(ProfileLock &&other) noexcept;
    ProfileLock(const ProfileLock &) = delete;
    ProfileLock &operator=(const ProfileLock &) = delete;

    // Takes the lock of the profile without waiting; false with the reason in `error` and the
    // fault InUse when another program holds it.
    bool take(const std::filesystem::path &profile, std::string &error, ProfileFault &fault);

private:
    void release();

    int fd_ = -1;
    std::filesystem::path file_; // the lock file to remove; empty when the profile is locked
};

} // namespace velnor
