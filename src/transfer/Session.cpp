#include "transfer/Session.h"

#include "base/TextIds.h"

namespace velnor {

void Session::setTitles(const Texts &texts) {
    std::vector<std::string> phonebook;
    for (const int id : {text::PhonebookNoColumn, text::PhonebookNameColumn,
                         text::PhonebookNumberColumn, text::PhonebookEmailColumn,
                         text::PhonebookAdditionalNumberColumn, text::PhonebookSecondNameColumn}) {
        phonebook.push_back(texts.get(id));
    }
    for (RowList *list : {&localPhonebook, &cardPhonebook}) {
        list->setTitles(phonebook);
        list->setFixedColumns(column::Number + 1);
    }
    std::vector<std::string> message;
    for (int id = text::MessageNoColumn; id <= text::MessageTextColumn; ++id) {
        message.push_back(texts.get(id));
    }
    messages.rows().setTitles(message);
}

} // namespace velnor
