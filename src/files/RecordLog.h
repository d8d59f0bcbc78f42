#pragma once

#include <cstdint>
#include <string>

#include "base/AtomicFile.h"

namespace velnor {

// The hexadecimal log of the records a read sees ("phone.log", "sms.log"): one line per record,
// free records included, starting afresh at every read. The new log replaces the old one when
// it is closed, so a log that cannot be written (a full disk, a read-only folder) leaves the
// previous one whole; the read goes on without it.
class RecordLog {
public:
    explicit RecordLog(const std::string &path) : file_(path, Durability::Replaced) {}
    ~RecordLog() { close(); }
    RecordLog(const RecordLog &) = delete;
    RecordLog &operator=(const RecordLog &) = delete;

    // True when the line has reached the file, so the record may be changed on the card.
    bool append(const uint8_t *record, size_t length);
    void close();
    // Why the log could not be written; empty while it could.
    const std::string &error() const { return file_.error(); }

private:
    AtomicFileWriter file_;
};

} // namespace velnor
