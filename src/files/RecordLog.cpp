#include "files/RecordLog.h"

#include "codec/CMyTools.h"

namespace velnor {

bool RecordLog::append(const uint8_t *record, size_t length) {
    return !closed_ && file_.write(CMyTools::hex2asc(record, length) + "\r\n");
}

void RecordLog::close() {
    if (!closed_) {
        closed_ = true;
        file_.commit();
    }
}

} // namespace velnor
