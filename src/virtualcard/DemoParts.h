#pragma once

// The pieces the demo card is built from.

#include <string>

#include "virtualcard/CardFileSystem.h"

namespace velnor::demo {

enum class NameCoding { Gsm, Ucs2, Ucs2Base81, Ucs2Base82 };

// A phonebook record (GSM 11.11, 10.5.1): the name in the coding asked for (cut to the alpha
// length when it does not fit), the number with "+" giving type 0x91, else 0x81.
Bytes phonebookRecord(const std::string &name, NameCoding coding, const std::string &number,
                      size_t recordLength);

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
