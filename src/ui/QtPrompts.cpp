#include "ui/QtPrompts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "base/TextIds.h"
#include "ui/ChvDialogs.h"
#include "ui/UiText.h"

namespace velnor {

namespace {
constexpr const char *kProgramName = "Velnor";
}

QString QtPrompts::captionOf(const Prompt &prompt) const {
    return prompt.caption.empty() ? QString::fromLatin1(kProgramName)
                                  : QString::fromStdString(prompt.caption);
}

QAbstractButton *QtPrompts::captioned(QMessageBox &box, QMessageBox::StandardButton which,
                                      int captionId) const {
    QAbstractButton *button = box.button(which);
    if (texts_.has(captionId)) {
        button->setText(qText(texts_, captionId));
    }
    return button;
}

bool QtPrompts::askYesNo(const Prompt &prompt) {
    QMessageBox box(QMessageBox::Question, captionOf(prompt), QString::fromStdString(prompt.text),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    const QAbstractButton *yes = captioned(box, QMessageBox::Yes, text::Yes);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(captioned(box, QMessageBox::No, text::No));
    box.exec();
    return box.clickedButton() == yes;
}

void QtPrompts::showMessage(MessageKind kind, const Prompt &prompt) {
    QMessageBox::Icon icon = QMessageBox::Information;
    if (kind == MessageKind::Warning) {
        icon = QMessageBox::Warning;
    } else if (kind == MessageKind::Error) {
        icon = QMessageBox::Critical;
    }
    QMessageBox box(icon, captionOf(prompt), QString::fromStdString(prompt.text), QMessageBox::Ok,
                    owner_);
    box.setEscapeButton(captioned(box, QMessageBox::Ok, text::Ok));
    box.exec();
}

QString QtPrompts::nameFilters(const FileChoice &choice) {
    QStringList filters;
    for (const auto &[description, pattern] : choice.filters) {
        QString name = QString::fromStdString(description);
        const qsizetype open = name.indexOf(QLatin1Char('('));
        if (open >= 0) {
            name.truncate(open);
        }
        // The file system tells capitals apart; the patterns of the lists do not mean to.
        QStringList patterns;
        for (const QString &one :
             QString::fromStdString(pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << one.trimmed().toLower() << one.trimmed().toUpper();
        }
        patterns.removeDuplicates();
        filters << QStringLiteral("%1 (%2)").arg(name.trimmed(), patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<OpenFileAnswer> QtPrompts::chooseFile(const FileChoice &choice, bool save) {
    QFileDialog dialog(owner_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(nameFilters(choice));
    dialog.setDefaultSuffix(QString::fromStdString(choice.defaultExtension));
    const QString initial = QString::fromStdString(choice.initialName);
    if (!initial.isEmpty() && !initial.contains(QLatin1Char('*'))) {
        dialog.selectFile(initial);
    }
    // The list commands ask before an existing file is replaced; one question is enough.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    QComboBox *codePages = nullptr;
    if (!save && !choice.codePages.empty()) {
        codePages = addCodePageChoice(dialog, choice);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return OpenFileAnswer{dialog.selectedFiles().front().toStdString(),
                          codePages != nullptr ? codePages->currentData().toString().toStdString()
                                               : choice.codePage};
}

QComboBox *QtPrompts::addCodePageChoice(QFileDialog &dialog, const FileChoice &choice) const {
    // Only the dialog Qt draws itself takes a control of ours: a row below the file types.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    auto *grid = qobject_cast<QGridLayout *>(dialog.layout());
    if (grid == nullptr) {
        return nullptr;
    }
    auto *codePages = new QComboBox(&dialog);
    for (const std::string &name : choice.codePages) {
        const QString value = QString::fromStdString(name);
        codePages->addItem(name.empty() ? qText(texts_, text::DetectCodePage) : value, value);
    }
    codePages->setCurrentIndex(
        std::max(0, codePages->findData(QString::fromStdString(choice.codePage))));
    auto *label = new QLabel(qText(texts_, text::CodePageLabel), &dialog);
    label->setBuddy(codePages);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(codePages, row, 1);
    return codePages;
}

std::optional<std::string> QtPrompts::chooseOpenFile(const FileChoice &choice) {
    FileChoice plain = choice;
    plain.codePages.clear();
    std::optional<OpenFileAnswer> answer = chooseFile(plain, false);
    return answer ? std::optional<std::string>(std::move(answer->path)) : std::nullopt;
}

std::optional<std::string> QtPrompts::chooseSaveFile(const FileChoice &choice) {
    std::optional<OpenFileAnswer> answer = chooseFile(choice, true);
    return answer ? std::optional<std::string>(std::move(answer->path)) : std::nullopt;
}

std::optional<OpenFileAnswer> QtPrompts::chooseOpenFileAndCodePage(const FileChoice &choice) {
    return chooseFile(choice, false);
}

std::optional<CodeAnswer> QtPrompts::askCodes(const CodeRequest &request) {
    const std::unique_ptr<CChvDialogBase> dialog = makeChvDialog(texts_, request, owner_);
    if (dialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog->answer();
}

} // namespace velnor
