#include "files/RecordLog.h"

#include "codec/CMyTools.h"

namespace velnor {

// A closed log takes no more lines: its writer has committed and writes nothing after.
bool RecordLog::append(const uint8_t *record, size_t length) {
    return file_.write(CMyTools::hex2asc(record, length) + "\r\n");
}

void RecordLog::close() {
    file_.commit();
}

} // namespace velnor
