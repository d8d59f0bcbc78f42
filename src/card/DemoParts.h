#pragma once

// The pieces the demo card is built from.

#include <string>

#include "virtualcard/CardFileSystem.h"

namespace velnor::demo {

// A linear fixed file with the access conditions a profile gives by default.
CardFileSystem::Node addRecordFile(CardFileSystem &files, CardFileSystem::Node directory,
                                   uint16_t id, size_t recordLength, size_t recordCount,
                                   uint8_t sfi = 0);

// The ICCID, the network files of DF GSM and the other files a phone reads from every SIM.
void addSubscriberFiles(CardFileSystem &files, CardFileSystem::Node telecom,
                        CardFileSystem::Node gsm);
// 250 records of 30 bytes with entries in every name coding, under the identifier given.
CardFileSystem::Node addPhonebook(CardFileSystem &files, CardFileSystem::Node directory,
                                  uint16_t id, uint8_t sfi = 0);
// The global USIM phonebook of a UICC (TS 31.102, 4.4.2) in DF PHONEBOOK under DF TELECOM: two
// ADN sets, the first one addPhonebook's entries with every other record taken, with
// additional numbers (EF ANR, type 1), second names in the second set (EF SNE, type 1), e-mails
// (EF EMAIL, type 2 through EF IAP) and the synchronisation files (EF PBC, EF UID, EF PSC,
// EF CC, EF PUID). `full` makes both sets 250 entries, for measuring reads.
CardFileSystem::Node addUsimPhonebook(CardFileSystem &files, CardFileSystem::Node telecom,
                                      bool full = false);
void addMessages(CardFileSystem &files, CardFileSystem::Node telecom);
void addMessageParameters(CardFileSystem &files, CardFileSystem::Node telecom);
void addCdmaMessages(CardFileSystem &files, CardFileSystem::Node cdmaDirectory);

} // namespace velnor::demo
