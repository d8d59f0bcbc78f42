#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/CardLink.h"
#include "card/CardRecordFiles.h"
#include "reader/CardHandle.h"
#include "reader/UiccChannel.h"

namespace velnor {

// The files of a UICC on an open handle, reached through class 00.
struct UiccFiles {
    UiccFiles(CUSBOpKrnl &driver, int handle) : channel(driver, handle), files(channel) {}
    UiccChannel channel;
    UiccRecordFiles files;
};

// A file of a UICC found by its path, and its shape.
struct FoundFile {
    std::vector<uint16_t> path;
    RecordFiles::Shape shape;
};

// A message file of a UICC (EF SMS, EF SMSP): under its USIM (7FFF), else under DF TELECOM.
std::optional<FoundFile> selectMessageFile(RecordFiles &files, uint16_t id);

// A card opened for changing its files.
struct WritableCard {
    std::unique_ptr<CardHandle> handle;
    // How the card backups know the card: its ICCID digits; for a card whose ICCID cannot be
    // read, "IMSI " and the IMSI digits; empty when neither can be read.
    std::string identity;
    std::unique_ptr<UiccFiles> uicc; // a UICC's files; none for a GSM SIM
};

enum class IdentityMatch {
    Same,
    Other,   // both are known and of one kind, and they differ
    Unknown, // either is not known, or one is an ICCID and the other an IMSI
};
IdentityMatch matchIdentities(const std::string &backup, const std::string &card);

// The same judged by the ICCID alone, which a card gives without its PIN, so that no code is
// offered to a card that is plainly another. A backup that names no ICCID is the Same as a card
// that gives none: its IMSI can only be compared once the PIN was given.
IdentityMatch matchBeforePin(const std::string &backup, const std::string &cardIccid);

enum class CardAnswer { Gsm, Uicc, Failed };

// The way to a card's files once the GSM selection of its master file on handle was answered or
// not: a GSM SIM goes on with class A0, as it always did; a UICC (the link says so, or the card
// refused class A0) has its USIM opened through class 00 and PIN1 presented when it is on, and
// `uicc` receives its files. The link learns a USIM-only card. Failed when the card answers
// neither way or refuses the stored code.
CardAnswer openCardFiles(CUSBOpKrnl &driver, int handle, bool masterAnswered, CardLink &link,
                         std::unique_ptr<UiccFiles> &uicc);

// Opens the card, selects its master file, presents the CHV1 code when the card asks for it and
// reads its identity; nullopt when any but the last of that fails. The code goes only to the card
// that accepted it, and an empty code is never offered: either could only cost an attempt.
std::optional<WritableCard> openWritableCard(CUSBOpKrnl &driver, const std::string &devicePath,
                                             CardLink &link);

} // namespace velnor
