#include "ui/CMainDlg.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ConfigKeys.h"
#include "app/SettingsPass.h"
#include "ui/CAboutDlg.h"
#include "ui/CMessagePage.h"
#include "ui/CPhoneEntryDlg.h"
#include "ui/CStatusBar.h"
#include "ui/CWorkProgressWnd.h"
#include "ui/ColumnChoiceDlg.h"
#include "ui/CommandMap.h"
#include "ui/UiText.h"
#include "ui/WindowWait.h"
#include "widgets/CIconButton.h"
#include "widgets/ThemeIcons.h"

namespace velnor {

namespace {

constexpr const char *kListWidthsSection = "ListCtrls";
constexpr int kLogoControl = 1045;
constexpr int kVersionControl = 1019;
constexpr int kTabControl = 1712;
constexpr int kButtonColorOffset = 30;

struct ListButton {
    int id;
    const char *icon;
    const char *otherIcon; // or nullptr
    QStyle::StandardPixmap fallback;
};

} // namespace

CMainDlg::CMainDlg(const MainServices &services, QWidget *parent)
    : QMainWindow(parent), services_(services), statusBar_(new CStatusBar(this)),
      status_(*statusBar_, services.texts),
      progress_(std::make_unique<CWorkProgressWnd>(this, services.texts)) {
    setObjectName(QStringLiteral("CMainDlg"));
    env_.emplace(Environment{services_.driver, services_.prompts, services_.texts, status_,
                             *progress_, services_.timing, services_.paths.dataDir,
                             services_.paths.dataDir, &services_.worker});
    controller_ = std::make_unique<CardController>(
        session_, *env_, services_.worker, *this,
        TabAccess{[this](int tab) { showTab(tab); }, [this] { return currentTab(); }});
    session_.setTitles(services_.texts);
    status_.nameCardKindOf(&session_.card);
    setStatusBar(statusBar_);
    setWindowTitle(QStringLiteral("Velnor"));
}

// The pages and lists show the session's rows: they go before the session does.
CMainDlg::~CMainDlg() {
    delete takeCentralWidget();
}

void CMainDlg::OnInitDialog() {
    setWindowIcon(themeIcon({"auth-sim", "media-flash"}, QStyle::SP_ComputerIcon));
    const SettingsPassResult settings = LoadSettings(services_.settings, services_.ini);
    languageId_ = settings.languageId;
    if (settings.titleChanged && !settings.title.empty()) {
        setWindowTitle(QString::fromStdString(settings.title));
    }
    buildWindow();
    setDocumentedPacing(settings.documentedPacing);
    setJoinedMessages(settings.joinedMessages);
    show();
    services_.timing.wait(0); // shown before the reader search holds the window thread
    lookForReader();
}

void CMainDlg::buildWindow() {
    QSize screen(1024, 768);
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        screen = primary->size();
    }
    const QRect scaled = scaleToScreen(designedGeometry(), screen);
    resize(scaled.size());
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        move(primary->availableGeometry().center() - rect().center());
    }
    // Where the user left it, unless that is no longer on any screen.
    restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(
        services_.settings.GetSettingString(config::kWindowPath, config::kWindowGeometry, ""))));
    setAcceptDrops(true);
    buildToolbar();
    buildMenus();
    setCentralWidget(buildCentre());
    statusBar_->setIndicators(services_.texts);
    buildLanguagePopup();
    retranslate();
    // The lists take their column widths from their size, so lay the window out first.
    centralWidget()->layout()->activate();
    phonebookPage_->layout()->activate();
    phonebookPage_->setUpLists([this](int id) { return widthStore(id); });
    messagePage_->setUpList();
    showWindowBuilt(*this);
}

QWidget *CMainDlg::buildCentre() {
    auto *centre = new QWidget(this);
    tabs_ = new QTabWidget(centre);
    tabs_->setObjectName(QStringLiteral("tab%1").arg(kTabControl));
    tabs_->setIconSize(QSize(16, 16));
    phonebookPage_ = new CPhonebookPage(session_, services_.texts, status_, *this, services_.worker,
                                        services_.timing);
    if (!columnChooser_) {
        columnChooser_ = [this](const std::vector<std::string> &columns) {
            return chooseCsvColumns(this, services_.texts, columns);
        };
    }
    if (!entryEditor_) {
        entryEditor_ = [this](const PhoneEntry &entry) -> std::optional<PhoneEntry> {
            CPhoneEntryDlg dialog(services_.texts, services_.prompts, session_.card, entry, this);
            if (dialog.exec() != QDialog::Accepted) {
                return std::nullopt;
            }
            return dialog.entry();
        };
    }
    phonebookPage_->setEntryEditor(entryEditor_);
    messagePage_ = new CMessagePage(session_, services_.texts, services_.prompts, *this,
                                    services_.worker, services_.timing);
    tabs_->addTab(phonebookPage_,
                  themeIcon({"x-office-address-book", "view-pim-contacts"}, QStyle::SP_FileIcon),
                  QString());
    tabs_->addTab(messagePage_, themeIcon({"mail-message", "mail-unread"}, QStyle::SP_FileIcon),
                  QString());
    connect(tabs_, &QTabWidget::currentChanged, this, &CMainDlg::onTabChanged);
    connect(phonebookPage_, &CPhonebookPage::commandRequested, this, &CMainDlg::OnCommand);
    connect(messagePage_, &CMessagePage::commandRequested, this, &CMainDlg::OnCommand);

    auto *side = new QVBoxLayout;
    logo_ = new QLabel(centre);
    logo_->setObjectName(QStringLiteral("picture%1").arg(kLogoControl));
    logo_->setAlignment(Qt::AlignCenter);
    loadLogo();
    side->addWidget(logo_);
    const ListButton listButtons[] = {
        {command::Add, "list-add", nullptr, QStyle::SP_FileDialogNewFolder},
        {command::Insert, "edit-table-insert-row-below", "insert-table-row",
         QStyle::SP_FileDialogListView},
        {command::Edit, "document-edit", "edit-rename", QStyle::SP_FileDialogDetailedView},
        {command::DeleteTicked, "edit-delete", "list-remove", QStyle::SP_TrashIcon},
        {command::MoveUp, "go-up", "arrow-up", QStyle::SP_ArrowUp},
        {command::MoveDown, "go-down", "arrow-down", QStyle::SP_ArrowDown}};
    for (const ListButton &entry : listButtons) {
        auto *button = new CIconButton(centre);
        button->setObjectName(QStringLiteral("button%1").arg(entry.id));
        button->setIcon(themeIcon({entry.icon, entry.otherIcon}, entry.fallback));
        button->setColorOffset(kButtonColorOffset);
        connect(button, &QToolButton::clicked, this, [this, id = entry.id] { OnCommand(id); });
        buttons_[entry.id] = button;
        side->addWidget(button);
    }
    side->addStretch(1);
    version_ = new QLabel(QString::fromLatin1(kVersionText), centre);
    version_->setObjectName(QStringLiteral("label%1").arg(kVersionControl));
    version_->setAlignment(Qt::AlignCenter);
    version_->setEnabled(false);
    side->addWidget(version_);

    auto *layout = new QHBoxLayout(centre);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(tabs_, 1);
    layout->addLayout(side);
    return centre;
}

void CMainDlg::loadLogo() {
    const QPixmap logo(QString::fromStdString(services_.paths.logoFile().string()));
    if (logo.isNull()) {
        logo_->hide();
        return;
    }
    logo_->setPixmap(logo.scaled(140, 80, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

ColumnWidthStore CMainDlg::widthStore(int listId) {
    const std::string entry = std::to_string(listId);
    return {[this, entry] {
                return services_.settings.GetSettingString(kListWidthsSection, entry, "");
            },
            [this, entry](const std::string &value) {
                services_.settings.SetSettingString(kListWidthsSection, entry, value);
            }};
}

int CMainDlg::currentTab() const {
    return tabs_ != nullptr ? tabs_->currentIndex() : 0;
}

void CMainDlg::showTab(int tab) {
    if (tabs_ != nullptr) {
        tabs_->setCurrentIndex(tab);
    }
}

QWidget *CMainDlg::listButton(int id) const {
    return buttons_.value(id);
}

void CMainDlg::setCommandEnabled(int id, CommandPlace place, bool enabled) {
    states_[{id, place}] = enabled;
    applyState(id, place);
}

void CMainDlg::applyState(int id, CommandPlace place) {
    const auto found = states_.find({id, place});
    if (found == states_.end()) {
        return;
    }
    const bool enabled = found->second;
    switch (place) {
    case CommandPlace::Menu:
        if (QAction *action = menuActions_.value(id)) {
            action->setEnabled(enabled);
        }
        break;
    case CommandPlace::Toolbar:
        if (QAction *action = toolbarActions_.value(id)) {
            action->setEnabled(enabled);
        }
        if (QToolButton *button = dropDowns_.value(id)) {
            button->setEnabled(enabled);
        }
        break;
    case CommandPlace::Button:
        if (CIconButton *button = buttons_.value(id)) {
            button->setEnabled(enabled);
        }
        break;
    }
}

bool CMainDlg::isCommandEnabled(int id, CommandPlace place) const {
    switch (place) {
    case CommandPlace::Menu:
        return menuActions_.contains(id) && menuActions_.value(id)->isEnabled();
    case CommandPlace::Toolbar:
        if (dropDowns_.contains(id)) {
            return dropDowns_.value(id)->isEnabled();
        }
        return toolbarActions_.contains(id) && toolbarActions_.value(id)->isEnabled();
    case CommandPlace::Button:
        return buttons_.contains(id) && buttons_.value(id)->isEnabled();
    }
    return false;
}

void CMainDlg::lookForReader() {
    controller_->lookForReader();
}
void CMainDlg::cardGone() {
    controller_->cardGone();
}
void CMainDlg::otherCard() {
    controller_->otherCard();
}
void CMainDlg::pinWanted() {
    controller_->pinWanted();
}

void CMainDlg::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        // Neither key closes the main window.
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void CMainDlg::closeEvent(QCloseEvent *event) {
    if (phonebookPage_ != nullptr) {
        phonebookPage_->saveColumnWidths([this](int id) { return widthStore(id); });
    }
    services_.settings.SetSettingString(config::kWindowPath, config::kWindowGeometry,
                                        saveGeometry().toBase64().toStdString());
    progress_->close();
    controller_->close();
    services_.driver.TermASPI();
    event->accept();
}

namespace {

// The local files of a drag, none when anything else is dragged.
QStringList droppedFiles(const QMimeData *data) {
    QStringList files;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        files.push_back(url.toLocalFile());
    }
    return files;
}

} // namespace

void CMainDlg::dragEnterEvent(QDragEnterEvent *event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMainDlg::dropEvent(QDropEvent *event) {
    const QStringList files = droppedFiles(event->mimeData());
    event->acceptProposedAction();
    for (const QString &file : files) {
        importDroppedFile(file.toStdString());
    }
}

} // namespace velnor
