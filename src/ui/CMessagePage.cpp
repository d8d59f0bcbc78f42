#include "ui/CMessagePage.h"
#include "widgets/PageKeys.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include "base/TextIds.h"
#include "ui/UiText.h"

namespace velnor {

namespace {

constexpr int kInsertItem = 5602; // there is no inserting into the message list
constexpr int kDeleteRowItem = 5604;
// Items of the context menu and the main window commands they send (5604 is the page's own).
constexpr std::pair<int, int> kContextCommands[] = {
    {5601, command::Add}, {kInsertItem, 0},        {5603, command::Edit},
    {kDeleteRowItem, 0},  {5605, command::MoveUp}, {5606, command::MoveDown}};

// Rows take turns in red, black and light blue, whatever their status.
QColor rowColour(size_t row, size_t) {
    switch (row % 3) {
    case 0:
        return QColor(255, 0, 0);
    case 1:
        return QColor(0, 0, 0);
    default:
        return QColor(128, 128, 255);
    }
}

// The text column is wider than the view; a click anywhere on a row brings the row into view
// without pulling the columns sideways, as a report list does.
class MessageListCtrl : public CCheckListCtrl {
public:
    using CCheckListCtrl::CCheckListCtrl;

    void scrollTo(const QModelIndex &index, ScrollHint hint) override {
        const int columnsAt = horizontalScrollBar()->value();
        CCheckListCtrl::scrollTo(index, hint);
        horizontalScrollBar()->setValue(columnsAt);
    }
};

} // namespace

CMessagePage::CMessagePage(Session &session, const Texts &texts, UserPrompts &prompts,
                           CommandStates &commands, WorkerPause &worker, const Timing &timing,
                           QWidget *parent)
    : QWidget(parent), session_(session), texts_(texts), prompts_(prompts), commands_(commands),
      worker_(worker), joined_(session.messages, session.card),
      list_(new MessageListCtrl(joined_.rows(), this)), preview_(new QPlainTextEdit(this)) {
    list_->setObjectName(QStringLiteral("list%1").arg(kMessageList));
    list_->setForeground(rowColour);
    list_->setWorker(&worker, &timing);
    session.messages.rows().reserve(kReservedRows);
    joined_.rows().reserve(kReservedRows);
    preview_->setObjectName(QStringLiteral("messagePreview"));
    preview_->setReadOnly(true);
    preview_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    preview_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(list_);
    splitter->addWidget(preview_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(splitter);
    connect(list_->listModel(), &RowListModel::listChanged, this, &CMessagePage::followRows);
    connect(list_, &CCheckListCtrl::listClicked, this, &CMessagePage::updateEntryButtons);
    connect(list_, &CCheckListCtrl::rowDoubleClicked, this, &CMessagePage::editSelected);
    connect(list_, &CCheckListCtrl::deleteKeyPressed, this, [this] {
        joined_.rows().tickSelectionIfNoneTicked();
        deleteTicked();
    });
    connect(list_, &CCheckListCtrl::contextMenuWanted, this, &CMessagePage::showContextMenu);
}

// The list view goes first: its model leaves the rows of joined_ when it goes.
CMessagePage::~CMessagePage() {
    delete list_;
}

// A tick or a selection made on a row goes to the records it shows; the preview follows the
// selection.
void CMessagePage::followRows() {
    joined_.pushToList();
    preview_->setPlainText(QString::fromStdString(joined_.preview(texts_)));
}

void CMessagePage::setUpList() {
    const int w = list_->viewport()->width() > 100 ? list_->viewport()->width() : 720;
    const int widths[] = {2 * w / 27, w / 18, w / 9, w / 6, 10 * w / 8};
    const int columns = std::min(list_->horizontalHeader()->count(), 5);
    for (int column = 0; column < columns; ++column) {
        list_->horizontalHeader()->resizeSection(column,
                                                 std::max(widths[column], readableWidth(column)));
    }
    list_->fitColumns();
}

// The shares of the list width were made for a small system font; with today's fonts a status
// word, a whole number or a time stamp would be cut, so those columns get at least their room.
int CMessagePage::readableWidth(int column) const {
    const QFontMetrics cells = list_->fontMetrics();
    const QFontMetrics titles = list_->horizontalHeader()->fontMetrics();
    constexpr int kPadding = 16;
    int text = titles.horizontalAdvance(qText(texts_, text::MessageNoColumn + column));
    switch (column) {
    case 1:
        for (int id = text::MessageRead; id <= text::MessageNotSent; ++id) {
            text = std::max(text, cells.horizontalAdvance(qText(texts_, id)));
        }
        break;
    case 2:
        text = std::max(text, cells.horizontalAdvance(QStringLiteral("+000000000000000")));
        break;
    case 3:
        text = std::max(text, cells.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")));
        break;
    default:
        return 0;
    }
    return text + kPadding;
}

MessageCommandContext CMessagePage::commandContext() const {
    return {session_, texts_, prompts_, window(), editorRun_};
}

void CMessagePage::composeNew() {
    showResult(composeNewMessage(commandContext()));
}

void CMessagePage::editSelected() {
    PauseGuard pause(worker_);
    showResult(editSelectedMessage(commandContext(), joined_.beginEdit()));
}

// The message the editor gave is the one selected afterwards, in view.
void CMessagePage::showResult(std::optional<size_t> row) {
    if (!row || *row >= session_.messages.size()) {
        return;
    }
    session_.messages.rows().selectOnly(*row);
    list_->scrollTo(list_->model()->index(static_cast<int>(joined_.rowOf(*row)), 0));
    updateEntryButtons();
}

void CMessagePage::deleteTicked() {
    session_.messages.removeChecked();
}

// A long message shown in one row moves nowhere: its parts may lie apart in the list.
void CMessagePage::updateEntryButtons() {
    const RowList &rows = joined_.rows();
    const bool one = rows.selectedCount() == 1;
    const bool oneRecord = one && joined_.groups()[rows.firstSelected()].rows.size() == 1;
    commands_.setCommandEnabled(command::Edit, CommandPlace::Button, one);
    for (const int id : {command::MoveUp, command::MoveDown}) {
        commands_.setCommandEnabled(id, CommandPlace::Button, oneRecord);
    }
}

void CMessagePage::showContextMenu(const QPoint &globalPos, int row) {
    if (row < 0) {
        return;
    }
    QMenu menu(this);
    for (const auto &[item, target] : kContextCommands) {
        QAction *action = menu.addAction(captionOf(texts_, item));
        action->setData(item);
        action->setEnabled(item != kInsertItem);
    }
    const QAction *chosen = menu.exec(globalPos);
    if (chosen != nullptr) {
        runContextCommand(row, chosen->data().toInt());
    }
}

void CMessagePage::runContextCommand(int row, int item) {
    if (item == kDeleteRowItem) {
        if (row >= 0) {
            joined_.removeRow(static_cast<size_t>(row));
        }
        return;
    }
    for (const auto &[from, target] : kContextCommands) {
        if (from == item && target != 0) {
            emit commandRequested(target);
        }
    }
}

void CMessagePage::keyPressEvent(QKeyEvent *event) {
    if (!takePageKey(event, [this] { deleteTicked(); })) {
        QWidget::keyPressEvent(event);
    }
}

} // namespace velnor
