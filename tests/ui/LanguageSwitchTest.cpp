#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>

#include "WindowFixture.h"
#include "app/HelpFiles.h"
#include "app/LanguagePack.h"
#include "ui/CMessageEditDlg.h"
#include "ui/CMessagePage.h"
#include "ui/CStatusBar.h"
#include "ui/LanguageSwitch.h"

namespace velnor::test {
namespace {

constexpr char kIccid[] = "89012345678901234567";

bool qtTranslationsInstalled(uint16_t languageId) {
    const char *suffix = qtLanguageSuffix(languageId);
    return suffix != nullptr &&
           QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                             QStringLiteral("/qtbase_%1.qm").arg(QLatin1String(suffix)));
}

// What the window shows in words, gathered the same way for every language.
struct Captions {
    std::vector<QString> words;
    bool operator==(const Captions &) const = default;
};

// What a language switch must leave alone.
struct Contents {
    std::vector<std::vector<std::string>> messageRows;
    MessageStore store;
    std::vector<std::vector<std::string>> cardRows;
    std::vector<bool> messageTicks;
    size_t messageSelected = 0;
    bool operator==(const Contents &) const = default;
};

class LanguageSwitchTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        settings.SetSettingString("Info", "Title", "Velnor SIM editor");
        openWindow();
        window().showTab(CMainDlg::kMessageTab);
        session().messages.rows().setChecked(1, true);
        session().messages.rows().setChecked(4, true);
        session().messages.rows().selectOnly(2);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &helpViewer, "setSource");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        WindowFixture::TearDown();
    }

    Captions captions() {
        Captions result;
        for (QAction *menu : window().menuBar()->actions()) {
            result.words.push_back(menu->text());
        }
        for (QAction *action : window().toolbar()->actions()) {
            result.words.push_back(action->text());
        }
        auto *tabs = window().findChild<QTabWidget *>();
        result.words.push_back(tabs->tabText(CMainDlg::kPhonebookTab));
        result.words.push_back(tabs->tabText(CMainDlg::kMessageTab));
        QAbstractItemModel *model = window().messagePage()->list()->model();
        for (int column = 0; column < model->columnCount(); ++column) {
            result.words.push_back(model->headerData(column, Qt::Horizontal).toString());
        }
        for (int pane = 0; pane < 3; ++pane) {
            result.words.push_back(window().panes()->paneText(pane));
        }
        return result;
    }

    Contents contents() {
        Contents result;
        const RowList &rows = session().messages.rows();
        for (size_t row = 0; row < rows.rowCount(); ++row) {
            result.messageRows.push_back(rows.rowCells(row));
            result.messageTicks.push_back(rows.isChecked(row));
        }
        result.messageSelected = rows.firstSelected();
        result.store = session().messages.store();
        for (size_t row = 0; row < session().cardPhonebook.rowCount(); ++row) {
            result.cardRows.push_back(session().cardPhonebook.rowCells(row));
        }
        return result;
    }

    // The editor's title and reply caption, as a new message opens it now.
    std::pair<QString, QString> editorWords() {
        std::pair<QString, QString> words;
        window().messagePage()->setEditorRun([&words](CMessageEditDlg &dialog) {
            words = {dialog.windowTitle(), dialog.button(CMessageEditDlg::kReply)->text()};
            return false;
        });
        window().OnCommand(command::Add);
        return words;
    }

    QString openedHelpPage() {
        helpViewer.setSource(QUrl());
        window().OnCommand(command::Help);
        return helpViewer.source().fileName();
    }

    QTextBrowser helpViewer;
};

TEST_F(LanguageSwitchTest, EveryInstalledLanguageChangesTheWordsAndKeepsTheRows) {
    const Captions english = captions();
    const Contents before = contents();
    std::vector<MenuItem> packs;
    for (const MenuItem &item : window().languageMenu().items) {
        if (!item.separator && item.command != kDefaultLanguageCommand) {
            packs.push_back(item);
        }
    }
    ASSERT_EQ(packs.size(), 4u) << "the build installs de, en, fr and zh";

    for (const MenuItem &item : packs) {
        SCOPED_TRACE(item.text);
        window().OnCommand(item.command);
        const std::optional<PackInfo> pack = FindLanguagePack(paths.langDir, item.text);
        ASSERT_TRUE(pack);
        PackTexts expected;
        ASSERT_TRUE(expected.load(pack->file));
        auto words = [&expected](int id) { return QString::fromStdString(expected.get(id)); };

        EXPECT_EQ(window().languageId(), static_cast<uint16_t>(pack->id));
        EXPECT_EQ(window().languageMenu().checkedCommand(), item.command);
        EXPECT_EQ(settings.GetSettingString("Configuration\\Language", "Name", ""), item.text);
        EXPECT_EQ(window().windowTitle(), QStringLiteral("Velnor SIM editor"));
        const Captions now = captions();
        EXPECT_NE(std::find(now.words.begin(), now.words.end(), words(8045)), now.words.end());
        EXPECT_NE(std::find(now.words.begin(), now.words.end(), words(8052)), now.words.end());
        for (int column = 0; column < 5; ++column) {
            EXPECT_EQ(now.words[now.words.size() - 8 + column], words(8016 + column));
        }
        EXPECT_EQ(window().panes()->paneText(1),
                  QString::fromStdString(expected.format(8029, {std::string(kIccid)})));
        EXPECT_EQ(editorWords(), std::make_pair(words(9200), words(8557)));
        EXPECT_EQ(openedHelpPage(), QString::fromLatin1(helpFileName(window().languageId())));
        if (item.text != "English") {
            EXPECT_NE(now, english);
        }
        // Qt's own dialogs speak the language too, where Qt's translations are installed.
        const QString qtWords = QCoreApplication::translate("QFileDialog", "File &name:");
        if (item.text == "English" || !qtTranslationsInstalled(window().languageId())) {
            EXPECT_EQ(qtWords, QStringLiteral("File &name:"));
        } else {
            EXPECT_NE(qtWords, QStringLiteral("File &name:"));
        }
        EXPECT_EQ(contents(), before) << "a switch keeps every row, record, tick and selection";
        EXPECT_EQ(worker.depth, 0);
    }

    const auto back = std::find_if(packs.begin(), packs.end(),
                                   [](const MenuItem &item) { return item.text == "English"; });
    ASSERT_NE(back, packs.end());
    window().OnCommand(back->command);
    EXPECT_EQ(captions(), english);
    EXPECT_EQ(openedHelpPage(), QStringLiteral("Velnor_En.html"));
    EXPECT_EQ(contents(), before);
}

TEST_F(LanguageSwitchTest, ChoosingTheMarkedLanguageChangesNothing) {
    int marked = window().languageMenu().checkedCommand();
    ASSERT_NE(marked, 0);
    const Captions english = captions();
    const int pauses = worker.pauses;
    window().OnCommand(marked);
    EXPECT_EQ(captions(), english);
    EXPECT_EQ(worker.pauses - pauses, 1) << "the watcher is still held and let go";
    EXPECT_EQ(worker.depth, 0);
}

} // namespace
} // namespace velnor::test
