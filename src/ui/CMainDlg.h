#pragma once

#include <QMainWindow>
#include <QMap>
#include <map>
#include <memory>
#include <optional>

#include "app/AppPaths.h"
#include "app/CIniFile.h"
#include "app/CXMLSettings.h"
#include "app/LanguageMenu.h"
#include "app/PackTexts.h"
#include "base/StatusPanes.h"
#include "base/Timing.h"
#include "base/UserPrompts.h"
#include "base/WorkerPause.h"
#include "reader/CUSBOpKrnl.h"
#include "transfer/Session.h"
#include "ui/CPhonebookPage.h"
#include "ui/CardController.h"
#include "ui/CommandStates.h"
#include "ui/ListCommands.h"

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace velnor {

class CIconButton;
class CMessagePage;
class CStatusBar;
class CWorkProgressWnd;

// What the main window works with; the program gives the real ones, tests their own.
struct MainServices {
    const AppPaths &paths;
    CXMLSettings &settings;
    const CIniFile &ini;
    PackTexts &texts;
    UserPrompts &prompts;
    CUSBOpKrnl &driver;
    WatcherControl &worker; // the card watcher, held by every command that uses the card
    Timing timing;
};

// The main window: toolbar, the phonebook and message tabs, the six list buttons, logo, version
// and the three status panes. Every menu item, toolbar button, list button and context menu
// command ends in OnCommand; the card work itself is done by the plain layers.
class CMainDlg : public QMainWindow, public CommandStates {
    Q_OBJECT

public:
    // Tabs of the tab control.
    static constexpr int kPhonebookTab = velnor::kPhonebookTab;
    static constexpr int kMessageTab = velnor::kMessageTab;

    explicit CMainDlg(const MainServices &services, QWidget *parent = nullptr);
    ~CMainDlg() override;

    // The entry dialog the phonebook commands run (the real dialog unless replaced); set it
    // before OnInitDialog.
    void setEntryEditor(CPhonebookPage::EntryEditor editor) { entryEditor_ = std::move(editor); }
    using ColumnChooser =
        std::function<std::optional<CsvColumnChoice>(const std::vector<std::string> &)>;
    void setColumnChooser(ColumnChooser chooser) { columnChooser_ = std::move(chooser); }
    // Imports a file dropped on the window into the tab's list, as Open or Import would.
    void importDroppedFile(const std::string &path);
    // Builds and shows the window, then looks for the reader (and reads the card it finds).
    void OnInitDialog();
    // The command router.
    void OnCommand(int id);

    void setCommandEnabled(int id, CommandPlace place, bool enabled) override;
    bool isCommandEnabled(int id, CommandPlace place) const;

    int currentTab() const;
    void showTab(int tab);
    Session &session() { return session_; }
    CPhonebookPage *phonebookPage() const { return phonebookPage_; }
    CMessagePage *messagePage() const { return messagePage_; }
    CStatusBar *panes() const { return statusBar_; }
    CWorkProgressWnd &progressWindow() { return *progress_; }
    CardController &controller() { return *controller_; }
    const LanguageMenu &languageMenu() const { return languageMenu_; }
    QMenu *languagePopup() const { return languagePopup_; }
    uint16_t languageId() const { return languageId_; }
    QWidget *listButton(int id) const;
    QToolBar *toolbar() const { return toolbar_; }
    QAction *menuAction(int id) const { return menuActions_.value(id); }

    // The window laid out for a 1024 by 768 screen.
    static QRect designedGeometry() { return QRect(0, 0, 860, 600); }

public slots:
    // The card watcher's and the reader monitor's events.
    void lookForReader();
    void cardGone();
    void otherCard();
    void pinWanted();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Building (MainMenus.cpp and here).
    void buildWindow();
    QWidget *buildCentre();
    void buildMenus();
    void buildToolbar();
    void buildLanguagePopup();
    // What the language menu and the language commands work with.
    LanguageContext languageContext() const;
    void retranslate();
    void loadLogo();
    ColumnWidthStore widthStore(int listId);

    // Commands (MainCommands.cpp).
    void onTabChanged(int tab);
    void listCommand(int id);
    void addEntry(bool insertAfterSelection);
    void moveSelected(int direction);
    void pinCommand(int id);
    void languageCommand(int id);
    void readCard();
    void writeCard();
    void fileCommand(int id);
    void openHelp();
    void contactsCommand(int id);
    ListCommandContext listContext();
    ListTargets listTargets() {
        return {session_.localPhonebook, session_.messages, session_.card};
    }
    // Turns the documented waits around card commands on or off.
    void setDocumentedPacing(bool on);
    // Shows the parts of a long message in one row, or a row per record.
    void setJoinedMessages(bool on);
    void showAbout();
    void applyState(int id, CommandPlace place);

    MainServices services_;
    bool documentedPacing_ = false;
    Session session_;
    CStatusBar *statusBar_;
    StatusLine status_;
    std::unique_ptr<CWorkProgressWnd> progress_;
    std::optional<Environment> env_;
    std::unique_ptr<CardController> controller_;
    uint16_t languageId_ = 0;

    QTabWidget *tabs_ = nullptr;
    CPhonebookPage *phonebookPage_ = nullptr;
    CMessagePage *messagePage_ = nullptr;
    QMap<int, CIconButton *> buttons_;
    QLabel *logo_ = nullptr;
    QLabel *version_ = nullptr;
    QToolBar *toolbar_ = nullptr;
    QMap<int, QAction *> menuActions_;
    QMap<int, QAction *> toolbarActions_;
    QMap<int, QToolButton *> dropDowns_;
    QMap<int, QMenu *> topMenus_;
    QMenu *pinMenu_ = nullptr;
    QMenu *fileMenu_ = nullptr;
    QMenu *languagePopup_ = nullptr;
    LanguageMenu languageMenu_;
    CPhonebookPage::EntryEditor entryEditor_;
    ColumnChooser columnChooser_;
    std::map<std::pair<int, CommandPlace>, bool> states_;
};

} // namespace velnor
