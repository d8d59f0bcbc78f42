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
#include "base/TextIds.h"
#include "ui/CMessagePage.h"
#include "ui/CStatusBar.h"
#include "ui/LanguageSwitch.h"

namespace velnor::test {
namespace {

bool qtTranslationsInstalled(uint16_t languageId) {
    const char *suffix = qtLanguageSuffix(languageId);
    return suffix != nullptr &&
           QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                             QStringLiteral("/qtbase_%1.qm").arg(QLatin1String(suffix)));
}

class LanguageSwitchTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        settings.SetSettingString("Info", "Title", "Velnor SIM editor");
        openWindow();
        window().showTab(CMainDlg::kMessageTab);
        session().messages.rows().setChecked(1, true);
        session().messages.rows().selectOnly(2);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &helpViewer, "setSource");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        WindowFixture::TearDown();
    }

    // Every caption of the window: one menu item, a tab, the list headings, the
    // three panes, then the menus and the toolbar.
    std::vector<QString> captions() {
        std::vector<QString> words{window().menuAction(command::Read)->text(),
                                   window().findChild<QTabWidget *>()->tabText(1)};
        QAbstractItemModel *model = window().messagePage()->list()->model();
        for (int column = 0; column < model->columnCount(); ++column) {
            words.push_back(model->headerData(column, Qt::Horizontal).toString());
        }
        words.push_back(QString::fromStdString(session().localPhonebook.titles()[2]));
        for (int pane = 0; pane < 3; ++pane) {
            words.push_back(window().panes()->paneText(pane));
        }
        for (QAction *action : window().menuBar()->actions() + window().toolbar()->actions()) {
            words.push_back(action->text());
        }
        return words;
    }
    // What a switch must leave alone: rows, records, ticks and the selection.
    std::string contents() {
        const RowList &rows = session().messages.rows();
        std::string text = std::to_string(rows.firstSelected());
        for (size_t row = 0; row < rows.rowCount(); ++row) {
            text += rows.isChecked(row) ? "+" : "-";
            for (const std::string &cell : rows.rowCells(row)) {
                text += cell + ",";
            }
        }
        for (const MessageImage &image : session().messages.store()) {
            text.append(image.begin(), image.end());
        }
        for (size_t row = 0; row < session().cardPhonebook.rowCount(); ++row) {
            text += session().cardPhonebook.cell(row, 1);
        }
        return text;
    }
    QString openedHelpPage() {
        helpViewer.setSource(QUrl());
        window().OnCommand(command::Help);
        return helpViewer.source().fileName();
    }

    QTextBrowser helpViewer;
};

TEST_F(LanguageSwitchTest, EveryInstalledLanguageChangesTheWordsAndKeepsTheRows) {
    const std::vector<QString> english = captions();
    const std::string before = contents();
    const int pauses = worker.pauses;
    window().OnCommand(window().languageMenu().checkedCommand());
    EXPECT_EQ(worker.pauses - pauses, 1) << "the marked language still holds the watcher once";
    EXPECT_EQ(captions(), english) << "and changes nothing";

    std::vector<MenuItem> packs;
    for (const MenuItem &item : window().languageMenu().items) {
        if (!item.separator && item.command != kDefaultLanguageCommand) {
            packs.push_back(item);
        }
    }
    ASSERT_EQ(packs.size(), 4u) << "the build installs de, en, fr and zh";
    packs.push_back(packs[1]); // and back to English
    ASSERT_EQ(packs.back().text, "English");
    const std::pair<CardKind, int> kinds[] = {{CardKind::UsimOnly, text::CardKindUsimOnly},
                                              {CardKind::UiccWithUsim, text::CardKindUiccWithUsim},
                                              {CardKind::GsmSim, text::CardKindGsmSim}};
    for (size_t i = 0; i < packs.size(); ++i) {
        const MenuItem &item = packs[i];
        SCOPED_TRACE(item.text);
        const auto [kind, kindText] = kinds[i % std::size(kinds)];
        session().card.cardKind = kind;
        window().OnCommand(item.command);
        const std::optional<PackInfo> pack = FindLanguagePack(paths.langDir, item.text);
        ASSERT_TRUE(pack);
        PackTexts expected;
        ASSERT_TRUE(expected.load(pack->file));
        auto words = [&expected](int id) { return QString::fromStdString(expected.get(id)); };
        const long long cardRows = static_cast<long long>(session().cardPhonebook.rowCount());
        std::vector<QString> wanted;
        for (const int id : {command::Read + 6356, 8052, 8016, 8017, 8018, 8019, 8020, 8015}) {
            wanted.push_back(words(id));
        }
        wanted.push_back(QString::fromStdString(expected.format(8028, {0xB0LL, 0x0208LL})));
        // The card pane names the kind of card the card is.
        wanted.push_back(QString::fromStdString(expected.format(
            text::CardWithKind, {expected.format(8029, {std::string("89012345678901234567")}),
                                 expected.get(kindText)})));
        wanted.push_back(QString::fromStdString(expected.format(8022, {250LL, cardRows})));
        const std::vector<QString> now = captions();
        EXPECT_EQ(std::vector<QString>(now.begin(), now.begin() + 11), wanted);
        EXPECT_NE(std::find(now.begin(), now.end(), words(8045)), now.end()) << "the toolbar";
        EXPECT_EQ(window().windowTitle(), QStringLiteral("Velnor SIM editor"));
        EXPECT_EQ(openedHelpPage(), QString::fromLatin1(helpFileName(pack->id)));
        // Qt's own dialogs speak the language too, where Qt's translations are installed.
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:") ==
                      QStringLiteral("File &name:"),
                  item.text == "English" || !qtTranslationsInstalled(window().languageId()));
        EXPECT_EQ(contents(), before);
        EXPECT_EQ(worker.depth, 0);
    }
    EXPECT_EQ(openedHelpPage(), QStringLiteral("Velnor_En.html"));
}

} // namespace
} // namespace velnor::test
