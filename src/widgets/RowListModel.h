#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <QMap>
#include <functional>

#include "records/RowList.h"

namespace velnor {

// A RowList as Qt's views see it: its cells, column 0's check box, its titles as headings. The
// rows stay in the RowList; this model only passes its change notifications on.
class RowListModel : public QAbstractTableModel, private RowList::Observer {
    Q_OBJECT

public:
    // The text colour of a cell; an invalid colour leaves the view's own.
    using Colour = std::function<QColor(size_t row, size_t column)>;

    explicit RowListModel(RowList &list, QObject *parent = nullptr);
    ~RowListModel() override;

    RowList &list() { return list_; }
    const RowList &list() const { return list_; }
    void setForeground(Colour colour) { colour_ = std::move(colour); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Keeps a heading image (the check-all image of column 0).
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    // Something in the list changed: its ticks or its selection may differ now.
    void listChanged();

private:
    void aboutToInsert(size_t first, size_t count) override;
    void inserted() override;
    void aboutToRemove(size_t first, size_t count) override;
    void removed() override;
    void changed(size_t first, size_t last) override;
    void aboutToReset() override;
    void reset() override;
    void titlesChanged() override;

    RowList &list_;
    Colour colour_;
    QMap<int, QIcon> headerIcons_;
    int lastColumnCount_ = 0; // the column count the views know
};

} // namespace velnor
