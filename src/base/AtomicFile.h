#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace velnor {

// Synced files are on the disk when the call returns; the others only replace the old file in
// one step, which a crash of the program cannot tear but a power cut right after may undo.
// Copies the card still holds (the backups a read leaves) need no more than that.
enum class Durability { Synced, Replaced };

// A new file written beside the one at path and renamed over it by commit(); until then, and
// for good when anything fails or commit() is never called, the old file stays as it was. Every
// write goes straight to the system, so a full disk is noticed at the write that meets it.
//
// What the name stands for is kept as the shell's ">" keeps it:
//  - a symbolic link stays a link; the file it leads to is the one replaced;
//  - a pipe, a device or a socket, and an open file of a process named in /proc (where
//    /dev/stdout leads), is written into, not replaced;
//  - a file the user may not write is refused, even where its folder would allow a rename.
// Every file written holds a user's numbers or codes: a new one is for its owner alone (0600),
// an existing one keeps its mode and owner; neither gets more than the umask allows.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path path,
                              Durability durability = Durability::Synced);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    // False once anything has failed; error() says what.
    bool write(std::string_view piece);
    bool commit();
    bool failed() const { return !error_.empty(); }
    const std::string &error() const { return error_; }

private:
    // The mode and owner of the file a save replaces.
    struct Kept {
        unsigned mode;
        unsigned owner;
        unsigned group;
    };
    void openStream(bool regularFile);
    void createTemporary(const Kept *existing);
    bool fail(const std::string &what, int code);
    void discard();

    std::filesystem::path path_;   // as the caller named it
    std::filesystem::path target_; // the file replaced: path_ with its links followed
    std::string temporary_;
    int fd_ = -1;
    bool stream_ = false; // written into in place
    bool synced_;
    std::string error_;
};

// Replaces the file at path with content, or leaves it as it was. On failure returns false and
// says why in `error`.
bool writeFileAtomically(const std::filesystem::path &path, std::string_view content,
                         std::string *error = nullptr, Durability durability = Durability::Synced);

// The same for content made in pieces, so that a large file is never held whole: `produce`
// hands every piece to the writer it is given, in order, and stops when the writer returns
// false.
using PieceWriter = std::function<bool(std::string_view piece)>;
bool writeFileAtomically(const std::filesystem::path &path,
                         const std::function<bool(const PieceWriter &write)> &produce,
                         std::string *error = nullptr, Durability durability = Durability::Synced);

// Makes folder and the folders above it that are missing, each for its owner alone (0700);
// folders already there are left as they are. False with the reason in error when it cannot.
bool makePrivateFolder(const std::filesystem::path &folder, std::string *error = nullptr);

} // namespace velnor
