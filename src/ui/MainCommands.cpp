// The command router of the main window and the commands it runs itself.

#include <QDesktopServices>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>

#include "app/ConfigKeys.h"
#include "app/HelpFiles.h"
#include "transfer/PhonebookTransfer.h"
#include "transfer/WriteCard.h"
#include "ui/CAboutDlg.h"
#include "ui/CMainDlg.h"
#include "ui/CMessagePage.h"
#include "ui/CStatusBar.h"
#include "ui/CommandMap.h"
#include "ui/CommandPause.h"
#include "ui/ListCommands.h"
#include "ui/UiText.h"

namespace velnor {

namespace {

bool isLanguageCommand(int id) {
    return id >= kDefaultLanguageCommand && id <= kLastLanguageCommand;
}

} // namespace

void CMainDlg::OnCommand(int id) {
    if (isLanguageCommand(id)) {
        languageCommand(id);
        return;
    }
    switch (id) {
    case command::About:
        showAbout();
        return;
    case command::Exit:
        close();
        return;
    case command::PinSwitch:
    case command::PinChange:
    case command::PinUnblock:
        pinCommand(id);
        return;
    case command::Add:
    case command::Insert:
    case command::Edit:
    case command::DeleteTicked:
    case command::MoveUp:
    case command::MoveDown:
        listCommand(id);
        return;
    case command::Connect:
        controller_->connect();
        return;
    case command::Disconnect:
        controller_->disconnect();
        return;
    case command::Read:
        readCard();
        return;
    case command::Write:
        writeCard();
        return;
    case command::OpenFile:
    case command::SaveFile:
        fileCommand(id);
        return;
    case command::ImportContacts:
    case command::ExportContacts:
        contactsCommand(id);
        return;
    case command::Help:
        openHelp();
        return;
    case command::DocumentedPacing:
        setDocumentedPacing(!documentedPacing_);
        services_.settings.SetSettingLong(config::kReaderPath, config::kDocumentedPacing,
                                          documentedPacing_ ? 1 : 0);
        return;
    case command::JoinMessages:
        setJoinedMessages(!messagePage_->joined());
        services_.settings.SetSettingLong(config::kMessagesPath, config::kJoinMessages,
                                          messagePage_->joined() ? 1 : 0);
        return;
    case command::PinMenuButton:
    case command::FileMenuButton:
        if (QToolButton *button = dropDowns_.value(id); button != nullptr && button->isEnabled()) {
            button->showMenu();
        }
        return;
    default:
        return;
    }
}

void CMainDlg::onTabChanged(int tab) {
    const bool read = tab == kMessageTab ? session_.messagesLoaded : session_.phonebookLoaded;
    showListTab(*this, tab == kMessageTab, read);
    if (tab == kMessageTab) {
        session_.messages.rows().setAllChecked(false);
    } else {
        session_.localPhonebook.setAllChecked(false);
    }
}

void CMainDlg::listCommand(int id) {
    CommandPause pause(services_.worker, services_.timing, services_.timing.commandBefore);
    const bool phonebook = currentTab() == kPhonebookTab;
    switch (id) {
    case command::Add:
        if (phonebook) {
            addEntry(false);
        } else {
            messagePage_->composeNew();
        }
        break;
    case command::Insert:
        if (phonebook) {
            addEntry(true);
        }
        break;
    case command::Edit:
        if (phonebook) {
            phonebookPage_->editSelected(phonebookPage_->activeList());
        } else {
            messagePage_->editSelected();
        }
        break;
    case command::DeleteTicked:
        if (phonebook) {
            phonebookPage_->deleteTicked();
        } else {
            messagePage_->deleteTicked();
        }
        break;
    case command::MoveUp:
        moveSelected(-1);
        break;
    case command::MoveDown:
        moveSelected(1);
        break;
    default:
        break;
    }
}

void CMainDlg::addEntry(bool insertAfterSelection) {
    RowList &rows = phonebookPage_->activeList()->rows();
    const std::optional<PhoneEntry> entry = phonebookPage_->runEntryEditor({});
    if (!entry) {
        return;
    }
    if (!insertAfterSelection) {
        rows.appendRow(phonebookRowCells(std::to_string(rows.rowCount() + 1), *entry));
        return;
    }
    const size_t selected = rows.firstSelected();
    if (selected >= rows.rowCount()) {
        return;
    }
    rows.insertRow(selected + 1, phonebookRowCells(std::string(), *entry));
    rows.renumberFrom(selected + 1);
}

void CMainDlg::moveSelected(int direction) {
    const bool phonebook = currentTab() == kPhonebookTab;
    RowList &rows = phonebook ? phonebookPage_->activeList()->rows() : session_.messages.rows();
    const size_t row = rows.firstSelected();
    if (row >= rows.rowCount()) {
        return;
    }
    if ((direction < 0 && row == 0) || (direction > 0 && row + 1 >= rows.rowCount())) {
        return;
    }
    const size_t other = direction < 0 ? row - 1 : row + 1;
    if (phonebook) {
        rows.swapRows(row, other);
    } else {
        session_.messages.swap(row, other);
    }
}

void CMainDlg::pinCommand(int id) {
    if (id == command::PinSwitch) {
        controller_->switchPin();
    } else if (id == command::PinChange) {
        controller_->changePin();
    } else {
        controller_->unblockPin();
    }
}

void CMainDlg::languageCommand(int id) {
    CommandPause pause(services_.worker, services_.timing, services_.timing.commandBefore);
    LanguageContext context = languageContext();
    const std::optional<LanguageSwitch> result = RunLanguageCommand(id, languageMenu_, context);
    if (!result || !result->switched) {
        buildLanguagePopup();
        return;
    }
    languageId_ = result->languageId;
    setWindowTitle(result->title.empty() ? QStringLiteral("Velnor")
                                         : QString::fromStdString(result->title));
    buildLanguagePopup();
    retranslate();
    update();
}

void CMainDlg::readCard() {
    controller_->read(currentTab());
}

void CMainDlg::writeCard() {
    velnor::writeCard(session_, *env_,
                      currentTab() == kPhonebookTab ? CardFile::Phonebook : CardFile::Messages);
}

ListCommandContext CMainDlg::listContext() {
    ListCommandContext context{services_.prompts, services_.texts, services_.worker,
                               services_.timing};
    context.chooseColumns = columnChooser_;
    return context;
}

void CMainDlg::fileCommand(int id) {
    ListCommandContext context = listContext();
    const ListTab tab = currentTab() == kPhonebookTab ? ListTab::Phonebook : ListTab::Messages;
    if (id == command::OpenFile) {
        ImportReport report;
        const std::string remembered =
            services_.settings.GetSettingString(config::kFilesPath, config::kOpenCodePage, "");
        context.codePage = remembered;
        openListCommand(context, tab, listTargets(), report);
        if (context.codePage != remembered) {
            services_.settings.SetSettingString(config::kFilesPath, config::kOpenCodePage,
                                                context.codePage);
        }
    } else {
        saveListCommand(context, tab, session_.localPhonebook, session_.messages);
    }
}

void CMainDlg::contactsCommand(int id) {
    ListCommandContext context = listContext();
    showTab(kPhonebookTab);
    if (id == command::ExportContacts) {
        exportContactsCommand(context, session_.localPhonebook);
        return;
    }
    ImportReport report;
    importContactsCommand(context, listTargets(), report);
}

void CMainDlg::importDroppedFile(const std::string &path) {
    ListCommandContext context = listContext();
    CommandPause pause(context.worker, context.timing, context.timing.commandBefore);
    ImportReport report;
    importFile(context, currentTab() == kPhonebookTab ? ListTab::Phonebook : ListTab::Messages,
               path, nullptr, listTargets(), report);
}

void CMainDlg::setDocumentedPacing(bool on) {
    documentedPacing_ = on;
    services_.timing = services_.timing.paced(on);
    menuActions_[command::DocumentedPacing]->setChecked(on);
}

void CMainDlg::setJoinedMessages(bool on) {
    messagePage_->setJoined(on);
    menuActions_[command::JoinMessages]->setChecked(on);
}

void CMainDlg::openHelp() {
    const std::filesystem::path page = helpFilePath(services_.paths.helpDir, languageId_);
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(page.string())));
}

void CMainDlg::showAbout() {
    CAboutDlg about(
        services_.texts, services_.ini.ReadString(config::kIniCustomization, config::kIniAppName),
        services_.ini.ReadString(config::kIniCustomization, config::kIniCompanyName), this);
    about.exec();
}

} // namespace velnor
