#pragma once

// The pieces the demo card is built from.

#include <string>

#include "virtualcard/CardFileSystem.h"

namespace velnor::demo {

// A linear fixed file with the access conditions a profile gives by default.
CardFileSystem::Node addRecordFile(CardFileSystem &files, CardFileSystem::Node directory,
                                   uint16_t id, size_t recordLength, size_t recordCount);

// The ICCID, the network files of DF GSM and the other files a phone reads from every SIM.
void addSubscriberFiles(CardFileSystem &files, CardFileSystem::Node telecom,
                        CardFileSystem::Node gsm);
void addPhonebook(CardFileSystem &files, CardFileSystem::Node telecom);
void addMessages(CardFileSystem &files, CardFileSystem::Node telecom);
void addMessageParameters(CardFileSystem &files, CardFileSystem::Node telecom);
void addCdmaMessages(CardFileSystem &files, CardFileSystem::Node cdmaDirectory);

} // namespace velnor::demo
