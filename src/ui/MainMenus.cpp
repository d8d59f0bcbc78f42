// The main window's menus, toolbar and captions.

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include "base/TextIds.h"
#include "ui/CMainDlg.h"
#include "ui/CMessagePage.h"
#include "ui/CStatusBar.h"
#include "ui/LanguageSwitch.h"
#include "ui/UiText.h"
#include "widgets/CIconButton.h"
#include "widgets/ThemeIcons.h"

namespace velnor {

namespace {

struct ToolbarSlot {
    int id; // 0: a separator
    int label;
    const char *icon;
    const char *otherIcon;
    QStyle::StandardPixmap fallback;
};

// Slots 0, 3, 6, 8 and 10 are separators; 32796 and 32798 drop down the PIN and file menus.
constexpr ToolbarSlot kToolbar[] = {
    {0, 0, nullptr, nullptr, QStyle::SP_CustomBase},
    {command::Connect, text::ConnectButton, "network-connect", "network-wired",
     QStyle::SP_DriveNetIcon},
    {command::Disconnect, text::DisconnectButton, "network-disconnect", nullptr,
     QStyle::SP_BrowserStop},
    {0, 0, nullptr, nullptr, QStyle::SP_CustomBase},
    {command::Read, text::ReadButton, "document-import", "go-down", QStyle::SP_ArrowDown},
    {command::Write, text::WriteButton, "document-export", "document-save",
     QStyle::SP_DialogSaveButton},
    {0, 0, nullptr, nullptr, QStyle::SP_CustomBase},
    {command::PinMenuButton, text::PinButton, "dialog-password", "lock",
     QStyle::SP_MessageBoxWarning},
    {0, 0, nullptr, nullptr, QStyle::SP_CustomBase},
    {command::FileMenuButton, text::FileButton, "document-open", "folder-open",
     QStyle::SP_DirOpenIcon},
    {0, 0, nullptr, nullptr, QStyle::SP_CustomBase}};

constexpr int kMenuCommands[] = {command::OpenFile,
                                 command::SaveFile,
                                 command::Exit,
                                 command::Connect,
                                 command::Disconnect,
                                 command::Read,
                                 command::Write,
                                 command::PinSwitch,
                                 command::PinChange,
                                 command::PinUnblock,
                                 command::Help,
                                 command::About,
                                 command::DocumentedPacing,
                                 command::ImportContacts,
                                 command::ExportContacts,
                                 command::JoinMessages};

} // namespace

void CMainDlg::buildToolbar() {
    pinMenu_ = new QMenu(this);
    fileMenu_ = new QMenu(this);
    toolbar_ = addToolBar(QStringLiteral("toolbar"));
    toolbar_->setObjectName(QStringLiteral("toolbar137"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar_->setIconSize(QSize(22, 22));
    for (const ToolbarSlot &slot : kToolbar) {
        if (slot.id == 0) {
            toolbar_->addSeparator();
            continue;
        }
        const QIcon icon = themeIcon({slot.icon, slot.otherIcon}, slot.fallback);
        if (slot.id == command::PinMenuButton || slot.id == command::FileMenuButton) {
            auto *button = new QToolButton(toolbar_);
            button->setObjectName(QStringLiteral("toolbar%1").arg(slot.id));
            button->setIcon(icon);
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            button->setPopupMode(QToolButton::InstantPopup);
            button->setMenu(slot.id == command::PinMenuButton ? pinMenu_ : fileMenu_);
            toolbar_->addWidget(button);
            dropDowns_[slot.id] = button;
            continue;
        }
        QAction *action = toolbar_->addAction(icon, QString());
        action->setObjectName(QStringLiteral("toolbar%1").arg(slot.id));
        connect(action, &QAction::triggered, this, [this, id = slot.id] { OnCommand(id); });
        toolbarActions_[slot.id] = action;
    }
}

void CMainDlg::buildMenus() {
    for (const int id : kMenuCommands) {
        auto *action = new QAction(this);
        action->setObjectName(QStringLiteral("menu%1").arg(id));
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        menuActions_[id] = action;
    }
    QMenu *file = menuBar()->addMenu(QString());
    file->addAction(menuActions_[command::OpenFile]);
    file->addAction(menuActions_[command::SaveFile]);
    file->addSeparator();
    file->addAction(menuActions_[command::ImportContacts]);
    file->addAction(menuActions_[command::ExportContacts]);
    file->addSeparator();
    file->addAction(menuActions_[command::Exit]);
    QMenu *card = menuBar()->addMenu(QString());
    card->addAction(menuActions_[command::Connect]);
    card->addAction(menuActions_[command::Disconnect]);
    card->addSeparator();
    card->addAction(menuActions_[command::Read]);
    card->addAction(menuActions_[command::Write]);
    card->addSeparator();
    card->addAction(menuActions_[command::PinSwitch]);
    card->addAction(menuActions_[command::PinChange]);
    card->addAction(menuActions_[command::PinUnblock]);
    // The third menu starts with the language popup.
    QMenu *options = menuBar()->addMenu(QString());
    languagePopup_ = options->addMenu(QString());
    languagePopup_->setObjectName(QStringLiteral("languagePopup"));
    options->addSeparator();
    options->addAction(menuActions_[command::DocumentedPacing]);
    menuActions_[command::DocumentedPacing]->setCheckable(true);
    options->addAction(menuActions_[command::JoinMessages]);
    menuActions_[command::JoinMessages]->setCheckable(true);
    QMenu *help = menuBar()->addMenu(QString());
    help->addAction(menuActions_[command::Help]);
    help->addSeparator();
    help->addAction(menuActions_[command::About]);
    topMenus_ = {{text::FileMenu, file},
                 {text::CardMenu, card},
                 {text::OptionsMenu, options},
                 {text::HelpMenu, help}};
    menuActions_[command::Help]->setShortcut(QKeySequence::HelpContents);
    menuActions_[command::OpenFile]->setShortcut(QKeySequence::Open);
    menuActions_[command::SaveFile]->setShortcut(QKeySequence::Save);
    menuActions_[command::Read]->setShortcut(QKeySequence::Refresh);

    pinMenu_->addAction(menuActions_[command::PinSwitch]);
    pinMenu_->addAction(menuActions_[command::PinChange]);
    pinMenu_->addAction(menuActions_[command::PinUnblock]);
    fileMenu_->addAction(menuActions_[command::OpenFile]);
    fileMenu_->addAction(menuActions_[command::SaveFile]);
}

LanguageContext CMainDlg::languageContext() const {
    return {services_.settings,
            services_.ini,
            services_.texts,
            services_.paths.langDir,
            services_.paths.fallbackPack(),
            kDefaultLanguageCommand + kCaptionOffset};
}

void CMainDlg::buildLanguagePopup() {
    LanguageContext context = languageContext();
    languageMenu_ = BuildLanguageMenu(context);
    languagePopup_->clear();
    auto *group = new QActionGroup(languagePopup_);
    group->setExclusive(true);
    for (const MenuItem &item : languageMenu_.items) {
        if (item.separator) {
            languagePopup_->addSeparator();
            continue;
        }
        QAction *action = languagePopup_->addAction(QString::fromStdString(item.text));
        action->setObjectName(QStringLiteral("menu%1").arg(item.command));
        action->setCheckable(true);
        action->setChecked(item.checked);
        action->setActionGroup(group);
        connect(action, &QAction::triggered, this, [this, id = item.command] { OnCommand(id); });
    }
}

void CMainDlg::retranslate() {
    const Texts &texts = services_.texts;
    useQtTranslations(languageId_);
    for (auto it = topMenus_.cbegin(); it != topMenus_.cend(); ++it) {
        it.value()->setTitle(qText(texts, it.key()));
    }
    languagePopup_->setTitle(qText(texts, text::LanguageMenu));
    for (auto it = menuActions_.cbegin(); it != menuActions_.cend(); ++it) {
        it.value()->setText(captionOf(texts, it.key()));
    }
    QAction *about = menuActions_[command::About];
    about->setText(qText(texts, text::AboutMenuItem));
    about->setVisible(!texts.get(text::AboutMenuItem).empty());

    for (const ToolbarSlot &slot : kToolbar) {
        if (slot.id == 0) {
            continue;
        }
        const QString label = qText(texts, slot.label);
        if (QAction *action = toolbarActions_.value(slot.id)) {
            action->setText(label);
            action->setToolTip(captionOf(texts, slot.id));
        } else if (QToolButton *button = dropDowns_.value(slot.id)) {
            button->setText(label);
        }
    }
    tabs_->setTabText(kPhonebookTab, qText(texts, text::PhonebookTab));
    tabs_->setTabText(kMessageTab, qText(texts, text::MessagesTab));
    for (auto it = buttons_.cbegin(); it != buttons_.cend(); ++it) {
        if (texts.has(it.key() + kCaptionOffset)) {
            it.value()->setText(captionOf(texts, it.key()));
            it.value()->setToolTip(captionOf(texts, it.key()));
        }
    }
    phonebookPage_->retranslate();
    session_.setTitles(texts);
    statusBar_->setIndicators(texts);
    status_.refresh();
}

} // namespace velnor
