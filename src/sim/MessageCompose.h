#pragma once

#include <string>
#include <vector>

#include "base/Texts.h"
#include "codec/CMyTools.h"
#include "sim/CardState.h"
#include "sim/MessageStore.h"

namespace velnor {

// The card record image of a new, not yet sent message to `number`: a GSM SMS-SUBMIT with the
// card's service centre, or a CDMA record on a CDMA card.
MessageImage composeMessageImage(const std::string &number, const std::string &text,
                                 const CardState &card);

// The SMS-SUBMIT parameters of a new message; the number's leading "+" makes it international.
SM_PARAM submitParameters(const std::string &number, const std::string &text,
                          const CardState &card);

// The message list cells of a composed message at 1-based position rowNumber.
std::vector<std::string> composedMessageCells(size_t rowNumber, const std::string &number,
                                              const std::string &text, const Texts &texts);

} // namespace velnor
