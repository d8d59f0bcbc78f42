#pragma once

#include "virtualcard/CardFileSystem.h"
#include "virtualcard/ChvState.h"

namespace velnor {

// The FCP template a UICC returns for a selected file (TS 102 221, 11.1.1.3): tag 62 holding
// the file descriptor (82), identifier (83), the ADF's name (84), life cycle (8A), compact
// security attributes (8C) and for elementary files their size (80) and SFI (88), for
// directories the PIN status template (C6).
Bytes fcpTemplate(const CardFileSystem &files, CardFileSystem::Node node, const ChvState &chv1,
                  const Bytes &aid);

} // namespace velnor
