#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace velnor {

// The hexadecimal log of the records a read sees ("phone.log", "sms.log"): one line per record,
// free records included, emptied at every read. A log that cannot be opened is skipped: the
// read matters more than its log.
class RecordLog {
public:
    explicit RecordLog(const std::string &path);
    ~RecordLog();
    RecordLog(const RecordLog &) = delete;
    RecordLog &operator=(const RecordLog &) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void append(const uint8_t *record, size_t length);
    void close();

private:
    std::FILE *file_ = nullptr;
};

} // namespace velnor
