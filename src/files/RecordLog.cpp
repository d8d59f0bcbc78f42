#include "files/RecordLog.h"

#include "codec/CMyTools.h"

namespace velnor {

RecordLog::RecordLog(const std::string &path) : file_(std::fopen(path.c_str(), "w+b")) {}

RecordLog::~RecordLog() { close(); }

void RecordLog::append(const uint8_t *record, size_t length) {
    if (file_ == nullptr) {
        return;
    }
    const std::string line = CMyTools::hex2asc(record, length) + "\r\n";
    std::fwrite(line.data(), 1, line.size(), file_);
}

void RecordLog::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

} // namespace velnor
