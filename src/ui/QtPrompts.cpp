#include "ui/QtPrompts.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QStringList>

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
    const QAbstractButton *yes = captioned(box, QMessageBox::Yes, caption::Yes);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(captioned(box, QMessageBox::No, caption::No));
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
    box.setEscapeButton(captioned(box, QMessageBox::Ok, caption::Ok));
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

std::optional<std::string> QtPrompts::chooseFile(const FileChoice &choice, bool save) {
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtPrompts::chooseOpenFile(const FileChoice &choice) {
    return chooseFile(choice, false);
}

std::optional<std::string> QtPrompts::chooseSaveFile(const FileChoice &choice) {
    return chooseFile(choice, true);
}

std::optional<CodeAnswer> QtPrompts::askCodes(const CodeRequest &request) {
    const std::unique_ptr<CChvDialogBase> dialog = makeChvDialog(texts_, request, owner_);
    if (dialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog->answer();
}

} // namespace velnor
