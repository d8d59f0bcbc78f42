#include "transfer/Session.h"

namespace velnor {

void Session::setTitles(const Texts &texts) {
    std::vector<std::string> phonebook;
    for (int id = 8013; id <= 8015; ++id) {
        phonebook.push_back(texts.get(id));
    }
    localPhonebook.setTitles(phonebook);
    cardPhonebook.setTitles(phonebook);
    std::vector<std::string> message;
    for (int id = 8016; id <= 8020; ++id) {
        message.push_back(texts.get(id));
    }
    messages.rows().setTitles(message);
}

} // namespace velnor
