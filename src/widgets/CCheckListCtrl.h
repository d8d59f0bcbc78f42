#pragma once

#include <QTableView>
#include <vector>

#include "base/Timing.h"
#include "base/WorkerPause.h"
#include "records/RowList.h"
#include "widgets/CheckAllHeader.h"
#include "widgets/RowListModel.h"

namespace velnor {

// A report list over a RowList with a check box per row, grid lines and whole-row selection,
// and the check-all image in column 0's heading: a click on it ticks every row, or unticks
// every row when all were ticked. The RowList holds the ticks and the selection; this view
// follows it and tells it what the user selects.
class CCheckListCtrl : public QTableView {
    Q_OBJECT

public:
    explicit CCheckListCtrl(RowList &rows, QWidget *parent = nullptr);

    RowList &rows() { return model_->list(); }
    const RowList &rows() const { return model_->list(); }
    RowListModel *listModel() const { return model_; }
    CheckAllHeader *checkHeader() const { return header_; }

    // The card watcher held around a click on the heading, and the waits taken there.
    void setWorker(WorkerPause *worker, const Timing *timing);
    void setForeground(RowListModel::Colour colour) { model_->setForeground(std::move(colour)); }

    // Gives the shown columns before the last their wanted widths (the designed ones, or those the
    // user or the program set), narrowed in proportion where the list is too narrow to show them
    // whole; the last column takes the rest. Runs again whenever the list changes its size.
    void fitColumns();
    int wantedWidth(int section) const;
    // Gives a column the width it wants, kept while it is hidden.
    void setWantedWidth(int section, int width);
    // Makes the view's selection what the RowList says.
    void syncSelectionFromList();

signals:
    // A mouse button went down in the list, before the list handles it.
    void listPressed();
    // A heading was clicked (column 0's image already handled).
    void headerClicked(int section);
    // A left click in the list, after the selection followed it.
    void listClicked();
    void rowDoubleClicked(int row);
    // A right click; row is -1 below the last row.
    void contextMenuWanted(const QPoint &globalPos, int row);
    void deleteKeyPressed();

protected:
    // Runs after every click on a heading, once the watcher goes on again.
    virtual void afterHeaderClick(int section);
    void wait(int ms) const;
    WorkerPause *worker() const { return worker_; }
    const Timing *timing() const { return timing_; }

    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void onHeaderClicked(int section);
    void onListChanged();
    // Hides the optional columns no row fills and shows the others (RowList::columnShown).
    void showFilledColumns();
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void keepWidths();
    void restoreWidths();
    void noteWidth(int section, int oldSize, int newSize);
    void keepWanted(int section, int width);

    RowListModel *model_;
    CheckAllHeader *header_;
    WorkerPause *worker_ = nullptr;
    const Timing *timing_ = nullptr;
    bool syncing_ = false;
    std::vector<int> wanted_;
    bool applying_ = false; // while the view sets the widths itself or the model resets
};

} // namespace velnor
