#include "ui/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/TextIds.h"
#include "base/Version.h"
#include "ui/UiText.h"
#include "widgets/ThemeIcons.h"

namespace velnor {

CAboutDlg::CAboutDlg(const Texts &texts, const std::string &appName, const std::string &companyName,
                     QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(qText(texts, text::AboutTitle));
    auto *icon = new QLabel(this);
    icon->setPixmap(themeIcon({"auth-sim", "media-flash"}, QStyle::SP_ComputerIcon).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto *text = new QVBoxLayout;
    auto *program = new QLabel(qText(texts, text::AboutText), this);
    QFont bold = program->font();
    bold.setBold(true);
    program->setFont(bold);
    text->addWidget(program);
    text->addWidget(new QLabel(
        QString::fromStdString(texts.format(text::AboutVersion, {std::string(kVersion)})), this));
    for (const std::string *line : {&appName, &companyName}) {
        if (!line->empty()) {
            text->addWidget(new QLabel(QString::fromStdString(*line), this));
        }
    }
    auto *notice = new QLabel(qText(texts, text::AboutNotice), this);
    notice->setWordWrap(true);
    notice->setMinimumWidth(320);
    text->addSpacing(8);
    text->addWidget(notice);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(text, 1);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(qText(texts, text::Ok), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace velnor
