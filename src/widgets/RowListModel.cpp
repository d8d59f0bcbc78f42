#include "widgets/RowListModel.h"

namespace velnor {

RowListModel::RowListModel(RowList &list, QObject *parent)
    : QAbstractTableModel(parent), list_(list), lastColumnCount_(columnCount()) {
    list_.setObserver(this);
}

RowListModel::~RowListModel() {
    list_.setObserver(nullptr);
}

int RowListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.rowCount());
}

int RowListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.columnCount());
}

QVariant RowListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= list_.rowCount()) {
        return {};
    }
    const size_t row = static_cast<size_t>(index.row());
    const size_t column = static_cast<size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QString::fromStdString(list_.cell(row, column));
    case Qt::CheckStateRole:
        if (column == 0) {
            return list_.isChecked(row) ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    case Qt::ForegroundRole:
        if (colour_) {
            const QColor colour = colour_(row, column);
            if (colour.isValid()) {
                return colour;
            }
        }
        return {};
    default:
        return {};
    }
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<size_t>(section) >= list_.columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromStdString(list_.titles()[static_cast<size_t>(section)]);
    }
    if (role == Qt::DecorationRole && headerIcons_.contains(section)) {
        return headerIcons_.value(section);
    }
    return {};
}

bool RowListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                                 int role) {
    if (orientation != Qt::Horizontal || role != Qt::DecorationRole) {
        return false;
    }
    headerIcons_[section] = value.value<QIcon>();
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags RowListModel::flags(const QModelIndex &index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool RowListModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) {
        return false;
    }
    list_.setChecked(static_cast<size_t>(index.row()),
                     static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked);
    return true;
}

void RowListModel::aboutToInsert(size_t first, size_t count) {
    beginInsertRows(QModelIndex(), static_cast<int>(first), static_cast<int>(first + count - 1));
}

void RowListModel::inserted() {
    endInsertRows();
    emit listChanged();
}

void RowListModel::aboutToRemove(size_t first, size_t count) {
    beginRemoveRows(QModelIndex(), static_cast<int>(first), static_cast<int>(first + count - 1));
}

void RowListModel::removed() {
    endRemoveRows();
    emit listChanged();
}

void RowListModel::changed(size_t first, size_t last) {
    const int lastColumn = std::max(0, columnCount() - 1);
    emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(last), lastColumn));
    emit listChanged();
}

void RowListModel::aboutToReset() {
    beginResetModel();
}

void RowListModel::reset() {
    endResetModel();
    lastColumnCount_ = columnCount();
    emit listChanged();
}

void RowListModel::titlesChanged() {
    if (columnCount() == lastColumnCount_) {
        emit headerDataChanged(Qt::Horizontal, 0, std::max(0, lastColumnCount_ - 1));
        return;
    }
    beginResetModel();
    lastColumnCount_ = columnCount();
    endResetModel();
    emit listChanged();
}

} // namespace velnor
