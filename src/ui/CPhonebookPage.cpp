#include "ui/CPhonebookPage.h"
#include "widgets/PageKeys.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/TextIds.h"
#include "records/MessageStore.h"
#include "transfer/PhonebookTransfer.h"
#include "ui/UiText.h"
#include "widgets/ThemeIcons.h"

namespace velnor {

namespace {

constexpr int kLocalLabel = 1711;
constexpr int kCardLabel = 1708;

// Context menu commands and the main window commands they stand for (5604 is the page's own).
constexpr int kDeleteRowCommand = 5604;
constexpr std::pair<int, int> kContextCommands[] = {
    {5601, command::Add},    {5602, command::Insert},  {5603, command::Edit}, {5604, 0},
    {5605, command::MoveUp}, {5606, command::MoveDown}};

QColor columnColour(size_t, size_t column) {
    switch (column) {
    case column::No:
        return QColor(255, 0, 0);
    case column::Name:
        return QColor(0, 0, 0);
    default:
        return QColor(0, 0, 255);
    }
}

} // namespace

CPhonebookPage::CPhonebookPage(Session &session, const Texts &texts, StatusLine &status,
                               CommandStates &commands, WorkerPause &worker, const Timing &timing,
                               QWidget *parent)
    : QWidget(parent), session_(session), texts_(texts), status_(status), commands_(commands),
      worker_(worker), timing_(timing), local_(makeList(session.localPhonebook, kLocalList)),
      card_(makeList(session.cardPhonebook, kCardList)), localLabel_(new QLabel(this)),
      cardLabel_(new QLabel(this)), take_(new QToolButton(this)), copy_(new QToolButton(this)) {
    localLabel_->setObjectName(QStringLiteral("label1711"));
    cardLabel_->setObjectName(QStringLiteral("label1708"));
    take_->setObjectName(QStringLiteral("button1710"));
    copy_->setObjectName(QStringLiteral("button1713"));
    take_->setIcon(themeIcon({"go-previous", "arrow-left"}, QStyle::SP_ArrowLeft));
    copy_->setIcon(themeIcon({"go-next", "arrow-right"}, QStyle::SP_ArrowRight));
    for (QToolButton *button : {take_, copy_}) {
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(false);
        button->setMinimumSize(36, 36);
    }
    connect(take_, &QToolButton::clicked, this, &CPhonebookPage::takeFromCard);
    connect(copy_, &QToolButton::clicked, this, &CPhonebookPage::copyToCard);

    auto *middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(copy_);
    middle->addSpacing(8);
    middle->addWidget(take_);
    middle->addStretch(1);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->addWidget(localLabel_, 0, 0);
    grid->addWidget(cardLabel_, 0, 2);
    grid->addWidget(local_, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(card_, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);
    session_.activePhonebook.onChange([this] { paintLabels(); });
    retranslate();
}

CPhonebookPage::~CPhonebookPage() {
    session_.activePhonebook.onChange({});
}

CSortListCtrl *CPhonebookPage::makeList(RowList &rows, int id) {
    auto *list = new CSortListCtrl(rows, this);
    list->setObjectName(QStringLiteral("list%1").arg(id));
    list->setForeground(columnColour);
    list->setWorker(&worker_, &timing_);
    connect(list, &CCheckListCtrl::listPressed, this, [this, list] { setActive(list); });
    connect(list, &CCheckListCtrl::headerClicked, this, [this, list] { setActive(list); });
    connect(list, &CCheckListCtrl::listClicked, this, [this, list] {
        setActive(list);
        updateEntryButtons(list);
    });
    connect(list, &CCheckListCtrl::rowDoubleClicked, this, [this, list] { editSelected(list); });
    connect(list, &CCheckListCtrl::contextMenuWanted, this,
            [this, list](const QPoint &at, int row) { showContextMenu(list, at, row); });
    connect(list, &CCheckListCtrl::deleteKeyPressed, this, [this] {
        activeList()->rows().tickSelectionIfNoneTicked();
        deleteTicked();
    });
    return list;
}

void CPhonebookPage::setUpLists(const WidthStores &stores) {
    const int w = local_->viewport()->width() > 100 ? local_->viewport()->width() : 360;
    // No blank after the semicolons: it would become part of the next title.
    std::string headings;
    for (const auto &[id, ninths] :
         {std::pair(text::PhonebookNoColumn, 2), std::pair(text::PhonebookNameColumn, 3),
          std::pair(text::PhonebookNumberColumn, 4), std::pair(text::PhonebookEmailColumn, 4),
          std::pair(text::PhonebookAdditionalNumberColumn, 4),
          std::pair(text::PhonebookSecondNameColumn, 3)}) {
        headings +=
            (headings.empty() ? "" : ";") + texts_.get(id) + "," + std::to_string(ninths * w / 9);
    }
    for (CSortListCtrl *list : {local_, card_}) {
        list->SetHeadings(headings);
        if (stores) {
            list->RestoreColumnWidths(stores(list == local_ ? kLocalList : kCardList));
        }
    }
}

void CPhonebookPage::saveColumnWidths(const WidthStores &stores) const {
    if (stores) {
        local_->SaveColumnWidths(stores(kLocalList));
        card_->SaveColumnWidths(stores(kCardList));
    }
}

void CPhonebookPage::retranslate() {
    localLabel_->setText(captionOf(texts_, kLocalLabel));
    cardLabel_->setText(captionOf(texts_, kCardLabel));
    take_->setToolTip(qText(texts_, text::TakeFromCard));
    copy_->setToolTip(qText(texts_, text::CopyToCard));
    paintLabels();
}

CSortListCtrl *CPhonebookPage::activeList() const {
    return session_.activePhonebook.local() ? local_ : card_;
}

void CPhonebookPage::setActive(CSortListCtrl *list) {
    session_.activePhonebook.setLocal(list == local_);
}

void CPhonebookPage::paintLabels() {
    const QString active = QStringLiteral("QLabel { color: rgb(255, 0, 0); font-weight: bold; }");
    const QString inactive = QStringLiteral("QLabel { color: rgb(0, 0, 0); }");
    const bool local = session_.activePhonebook.local();
    localLabel_->setStyleSheet(local ? active : inactive);
    cardLabel_->setStyleSheet(local ? inactive : active);
}

std::optional<PhoneEntry> CPhonebookPage::runEntryEditor(const PhoneEntry &entry) const {
    return editor_ ? editor_(entry) : std::nullopt;
}

void CPhonebookPage::editSelected(CSortListCtrl *list) {
    RowList &rows = list->rows();
    const size_t row = rows.firstSelected();
    if (row >= rows.rowCount()) {
        return;
    }
    const std::optional<PhoneEntry> entry = runEntryEditor(phoneEntryOfRow(rows, row));
    if (entry) {
        const std::vector<std::string> cells = phonebookRowCells({}, *entry);
        for (size_t column = column::Name; column < cells.size(); ++column) {
            rows.setCell(row, column, cells[column]);
        }
    }
}

void CPhonebookPage::takeFromCard() {
    moveFromCardList(session_, status_, false);
    setActive(local_);
}

void CPhonebookPage::copyToCard() {
    copyToCardList(session_, status_);
    setActive(card_);
}

void CPhonebookPage::deleteTicked() {
    activeList()->rows().removeChecked();
}

void CPhonebookPage::deleteRow(CSortListCtrl *list, int row) {
    RowList &rows = list->rows();
    if (row < 0 || static_cast<size_t>(row) >= rows.rowCount()) {
        return;
    }
    rows.removeRow(static_cast<size_t>(row));
    rows.renumberFrom(static_cast<size_t>(row));
}

void CPhonebookPage::updateEntryButtons(const CSortListCtrl *list) {
    const bool one = list->rows().selectedCount() == 1;
    for (const int id : {command::Insert, command::Edit, command::MoveUp, command::MoveDown}) {
        commands_.setCommandEnabled(id, CommandPlace::Button, one);
    }
}

void CPhonebookPage::showContextMenu(CSortListCtrl *list, const QPoint &globalPos, int row) {
    setActive(list);
    if (row < 0) {
        return;
    }
    QMenu menu(this);
    for (const auto &[item, target] : kContextCommands) {
        QAction *action = menu.addAction(captionOf(texts_, item));
        action->setData(item);
    }
    const QAction *chosen = menu.exec(globalPos);
    if (chosen != nullptr) {
        runContextCommand(list, row, chosen->data().toInt());
    }
}

void CPhonebookPage::runContextCommand(CSortListCtrl *list, int row, int item) {
    if (item == kDeleteRowCommand) {
        deleteRow(list, row);
        return;
    }
    for (const auto &[from, target] : kContextCommands) {
        if (from == item) {
            emit commandRequested(target);
        }
    }
}

void CPhonebookPage::mousePressEvent(QMouseEvent *event) {
    for (const int id : {command::Insert, command::Edit, command::MoveUp, command::MoveDown}) {
        commands_.setCommandEnabled(id, CommandPlace::Button, false);
    }
    QWidget::mousePressEvent(event);
}

void CPhonebookPage::keyPressEvent(QKeyEvent *event) {
    if (!takePageKey(event, [this] { deleteTicked(); })) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace velnor
