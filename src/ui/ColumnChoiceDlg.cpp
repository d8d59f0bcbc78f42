#include "ui/ColumnChoiceDlg.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

#include "base/TextIds.h"
#include "ui/UiText.h"

namespace velnor {

std::optional<CsvColumnChoice> chooseCsvColumns(QWidget *parent, const Texts &texts,
                                                const std::vector<std::string> &columns) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("columnChoice"));
    dialog.setWindowTitle(qText(texts, text::FileCaption));
    auto *form = new QFormLayout(&dialog);
    form->addRow(new QLabel(qText(texts, text::ColumnChoiceTitle), &dialog));
    QComboBox *boxes[2];
    const int labels[2] = {text::NameColumnLabel, text::NumberColumnLabel};
    for (int i = 0; i < 2; ++i) {
        boxes[i] = new QComboBox(&dialog);
        for (const std::string &column : columns) {
            boxes[i]->addItem(QString::fromStdString(column));
        }
        form->addRow(qText(texts, labels[i]), boxes[i]);
    }
    // Most files put the name before the number.
    boxes[1]->setCurrentIndex(columns.size() > 1 ? 1 : 0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (columns.empty() || dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return CsvColumnChoice{static_cast<size_t>(boxes[0]->currentIndex()),
                           static_cast<size_t>(boxes[1]->currentIndex())};
}

} // namespace velnor
