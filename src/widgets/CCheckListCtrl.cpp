#include "widgets/CCheckListCtrl.h"
#include "widgets/PageKeys.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace velnor {

CCheckListCtrl::CCheckListCtrl(RowList &rows, QWidget *parent)
    : QTableView(parent), model_(new RowListModel(rows, this)), header_(new CheckAllHeader(this)) {
    setHorizontalHeader(header_);
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    setWordWrap(false);
    setAlternatingRowColors(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    // Rows of one height let the view place any row without measuring the others.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    header_->setStretchLastSection(true);

    connect(header_, &QHeaderView::sectionClicked, this, &CCheckListCtrl::onHeaderClicked);
    connect(header_, &QHeaderView::sectionResized, this, &CCheckListCtrl::noteWidth);
    connect(model_, &RowListModel::listChanged, this, &CCheckListCtrl::onListChanged);
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, &CCheckListCtrl::keepWidths);
    connect(model_, &QAbstractItemModel::modelReset, this, &CCheckListCtrl::restoreWidths);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CCheckListCtrl::onSelectionChanged);
    onListChanged();
}

void CCheckListCtrl::setWorker(WorkerPause *worker, const Timing *timing) {
    worker_ = worker;
    timing_ = timing;
}

void CCheckListCtrl::wait(int ms) const {
    if (timing_ != nullptr) {
        timing_->wait(ms);
    }
}

void CCheckListCtrl::afterHeaderClick(int) {}

void CCheckListCtrl::onHeaderClicked(int section) {
    if (worker_ != nullptr) {
        worker_->pause();
    }
    const int clickWait = timing_ != nullptr ? timing_->headerClick : 0;
    wait(clickWait);
    emit headerClicked(section);
    wait(clickWait);
    if (section == 0) {
        const int image = header_->image() == CheckAllHeader::kNotAllChecked
                              ? CheckAllHeader::kAllChecked
                              : CheckAllHeader::kNotAllChecked;
        header_->setImage(image);
        setSelectionMode(QAbstractItemView::SingleSelection);
        rows().setAllChecked(image == CheckAllHeader::kAllChecked);
    }
    if (worker_ != nullptr) {
        worker_->resume();
    }
    wait(timing_ != nullptr ? timing_->headerClickAfter : 0);
    afterHeaderClick(section);
}

void CCheckListCtrl::onListChanged() {
    showFilledColumns();
    header_->setImage(rows().allChecked() ? CheckAllHeader::kAllChecked
                                          : CheckAllHeader::kNotAllChecked);
    syncSelectionFromList();
}

void CCheckListCtrl::syncSelectionFromList() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    QItemSelection selection;
    const RowList &list = rows();
    const int lastColumn = std::max(0, model_->columnCount() - 1);
    int current = -1;
    for (size_t row = 0; row < list.rowCount(); ++row) {
        if (!list.isSelected(row)) {
            continue;
        }
        const int r = static_cast<int>(row);
        selection.select(model_->index(r, 0), model_->index(r, lastColumn));
        if (current < 0) {
            current = r;
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (current >= 0 && currentIndex().row() != current) {
        selectionModel()->setCurrentIndex(model_->index(current, 0), QItemSelectionModel::NoUpdate);
    }
    syncing_ = false;
}

void CCheckListCtrl::onSelectionChanged(const QItemSelection &selected,
                                        const QItemSelection &deselected) {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    RowList &list = rows();
    for (const QItemSelection *ranges : {&deselected, &selected}) {
        for (const QItemSelectionRange &range : *ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                if (row >= 0 && static_cast<size_t>(row) < list.rowCount()) {
                    list.setSelected(static_cast<size_t>(row),
                                     selectionModel()->isRowSelected(row, QModelIndex()));
                }
            }
        }
    }
    syncing_ = false;
}

void CCheckListCtrl::showFilledColumns() {
    bool changed = false;
    applying_ = true;
    for (int section = 0; section < header_->count(); ++section) {
        const bool hide = !rows().columnShown(static_cast<size_t>(section));
        if (header_->isSectionHidden(section) != hide) {
            header_->setSectionHidden(section, hide);
            changed = true;
        }
    }
    applying_ = false;
    if (changed) {
        fitColumns();
    }
}

void CCheckListCtrl::keepWidths() {
    applying_ = true;
}

// A reset (a sort, a cleared list) keeps the columns the user has set.
void CCheckListCtrl::restoreWidths() {
    applying_ = false;
    fitColumns();
    header_->refreshImage();
}

void CCheckListCtrl::noteWidth(int section, int, int newSize) {
    if (!applying_ && newSize > 0) { // a hidden column keeps the width it wants
        keepWanted(section, newSize);
    }
}

void CCheckListCtrl::keepWanted(int section, int width) {
    if (wanted_.size() <= static_cast<size_t>(section)) {
        wanted_.resize(static_cast<size_t>(section) + 1, 0);
    }
    wanted_[static_cast<size_t>(section)] = width;
}

void CCheckListCtrl::setWantedWidth(int section, int width) {
    keepWanted(section, width);
    applying_ = true;
    header_->resizeSection(section, width);
    applying_ = false;
}

int CCheckListCtrl::wantedWidth(int section) const {
    const size_t index = static_cast<size_t>(section);
    return index < wanted_.size() && wanted_[index] > 0 ? wanted_[index]
                                                        : header_->sectionSize(section);
}

void CCheckListCtrl::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    fitColumns();
}

void CCheckListCtrl::mousePressEvent(QMouseEvent *event) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    emit listPressed();
    QTableView::mousePressEvent(event);
}

void CCheckListCtrl::mouseReleaseEvent(QMouseEvent *event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit listClicked();
    }
}

void CCheckListCtrl::mouseDoubleClickEvent(QMouseEvent *event) {
    QTableView::mouseDoubleClickEvent(event);
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() == Qt::LeftButton && row >= 0) {
        emit rowDoubleClicked(row);
    }
}

void CCheckListCtrl::contextMenuEvent(QContextMenuEvent *event) {
    emit contextMenuWanted(event->globalPos(), rowAt(event->pos().y()));
    event->accept();
}

void CCheckListCtrl::keyPressEvent(QKeyEvent *event) {
    if (!takePageKey(event, [this] { emit deleteKeyPressed(); })) {
        QTableView::keyPressEvent(event);
    }
}

void CCheckListCtrl::fitColumns() {
    std::vector<int> shown;
    for (int section = 0; section < header_->count(); ++section) {
        if (!header_->isSectionHidden(section)) {
            shown.push_back(section);
        }
    }
    if (shown.size() < 2) {
        return;
    }
    const int last = shown.back();
    shown.pop_back();
    int before = 0;
    for (const int column : shown) {
        before += wantedWidth(column);
    }
    // The last column keeps room for a few characters at least.
    const int room = viewport()->width() - 3 * header_->minimumSectionSize();
    // Columns narrow to fit only while each keeps a few characters; a list with more columns
    // than that leaves room for keeps their widths and scrolls sideways.
    const int legible =
        std::max(header_->minimumSectionSize(), 8 * fontMetrics().averageCharWidth());
    const bool narrow =
        room > 0 && before > room && std::all_of(shown.begin(), shown.end(), [&](int column) {
            return wantedWidth(column) * room / before >= std::min(wantedWidth(column), legible);
        });
    applying_ = true;
    int used = 0;
    for (const int column : shown) {
        const int wanted = wantedWidth(column);
        header_->resizeSection(
            column,
            narrow ? std::max(header_->minimumSectionSize(), wanted * room / before) : wanted);
        used += header_->sectionSize(column);
    }
    // The header stretches the last column but never below the width it had before.
    header_->resizeSection(last,
                           std::max(header_->minimumSectionSize(), viewport()->width() - used));
    applying_ = false;
}

} // namespace velnor
