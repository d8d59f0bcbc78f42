#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Texts.h"
#include "codec/CMyTools.h"
#include "records/CardState.h"
#include "records/MessageStore.h"

namespace velnor {

// How much of one short message a text to `number` takes on this card, in the coding that
// composing gives it. The editor, the import and composing all ask this.
SmsTextUsage messageTextUsage(const std::string &number, const std::string &text,
                              const CardState &card);

// The longest start of `inserted` that, standing between before and after, keeps the text
// within one short message: all of it when the whole text fits.
std::string fittingInsertion(std::string_view before, std::string_view inserted,
                             std::string_view after, const std::string &number,
                             const CardState &card);

// The card record image of a new, not yet sent message to `number`: a GSM SMS-SUBMIT with the
// card's service centre, or a CDMA record on a CDMA card; 0xFF after the message, as a card pads
// its records (GSM 11.11, 10.5.3). A text longer than one message is cut.
MessageImage composeMessageImage(const std::string &number, const std::string &text,
                                 const CardState &card);

// The SMS-SUBMIT parameters of a new message; the number's leading "+" makes it international.
SM_PARAM submitParameters(const std::string &number, const std::string &text,
                          const CardState &card);

// The message list cells of a composed message at 1-based position rowNumber.
std::vector<std::string> composedMessageCells(size_t rowNumber, const std::string &number,
                                              const std::string &text, const Texts &texts);

} // namespace velnor
