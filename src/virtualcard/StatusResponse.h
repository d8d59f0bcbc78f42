#pragma once

#include "virtualcard/CardFileSystem.h"
#include "virtualcard/ChvState.h"

namespace velnor {

// The status response of a selected file (GSM 11.11, 9.2.1): 22 bytes for the master file and
// directories, 15 bytes for elementary files.
Bytes statusResponse(const CardFileSystem &files, CardFileSystem::Node node, const ChvState &chv1);

} // namespace velnor
