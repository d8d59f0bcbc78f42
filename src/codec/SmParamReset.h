#pragma once

#include "codec/CMyTools.h"

namespace velnor {

// Puts param back to its default values; the strings keep their buffers, so a decoder called
// again and again on the same record does not allocate anew.
void resetParam(SM_PARAM &param);

} // namespace velnor
