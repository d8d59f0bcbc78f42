#pragma once

// Saving into a place that refuses it. The refusal is set up in a child process, so that it
// ends with the child; the child reports what it saw through its exit status.

#include <filesystem>
#include <functional>
#include <string>

namespace velnor::test {

enum class Unwritable {
    FullDisk,       // no file grows past `room` bytes
    ReadOnlyFolder, // the folder may be read but nothing in it created, changed or removed
    ReadOnlyFiles,  // the files in the folder are read-only (0444); the folder is anyone's
};
inline constexpr Unwritable kUnwritablePlaces[] = {Unwritable::FullDisk,
                                                   Unwritable::ReadOnlyFolder};
// For saves that replace a file already there.
inline constexpr Unwritable kUnwritableFiles[] = {Unwritable::FullDisk, Unwritable::ReadOnlyFolder,
                                                  Unwritable::ReadOnlyFiles};
std::string describe(Unwritable place);

// Exit status of a child that could not set its place up (root's rights could not be given up).
inline constexpr int kPlaceNotSetUp = 125;

// Runs body in a child process in which writing into folder fails as `place` says, and returns
// body's result; -1 when the child died. A read-only folder is made so for a user without
// root's right to write anywhere, and is writable again afterwards.
int inUnwritablePlace(Unwritable place, const std::filesystem::path &folder,
                      const std::function<int()> &body, size_t room = 0);

// Runs body in a child process and returns its exit status, -1 when it died of a signal.
int runInChild(const std::function<int()> &body);

// Gives up root's right to write anywhere, so that file permissions apply; false if impossible.
bool becomeUnprivileged();

} // namespace velnor::test
