#include "transfer/Session.h"

#include "base/TextIds.h"

namespace velnor {

void Session::setTitles(const Texts &texts) {
    std::vector<std::string> phonebook;
    for (int id = text::PhonebookNoColumn; id <= text::PhonebookNumberColumn; ++id) {
        phonebook.push_back(texts.get(id));
    }
    localPhonebook.setTitles(phonebook);
    cardPhonebook.setTitles(phonebook);
    std::vector<std::string> message;
    for (int id = text::MessageNoColumn; id <= text::MessageTextColumn; ++id) {
        message.push_back(texts.get(id));
    }
    messages.rows().setTitles(message);
}

} // namespace velnor
