#include "widgets/CheckAllHeader.h"

#include <QPainter>
#include <QPixmap>
#include <QStyleOptionButton>

namespace velnor {

namespace {
constexpr int kImageSize = 16;
}

CheckAllHeader::CheckAllHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // QHeaderView moves its own indicator to every heading clicked; the mark is drawn from the
    // list's sort instead.
    setSortIndicatorShown(false);
}

void CheckAllHeader::setSortMark(int column, bool ascending) {
    sortColumn_ = column;
    ascending_ = ascending;
    viewport()->update();
}

void CheckAllHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    // Qt's own convention: an ascending sort shows SortDown.
    option->sortIndicator = logicalIndex != sortColumn_ ? QStyleOptionHeader::None
                            : ascending_                ? QStyleOptionHeader::SortDown
                                                        : QStyleOptionHeader::SortUp;
}

void CheckAllHeader::setImage(int image) {
    if (image == image_) {
        return;
    }
    image_ = image;
    refreshImage();
}

void CheckAllHeader::refreshImage() {
    if (model() == nullptr) {
        return;
    }
    const QIcon icon = image_ == 0 ? QIcon() : boxIcon(image_ == kAllChecked);
    model()->setHeaderData(0, Qt::Horizontal, icon, Qt::DecorationRole);
}

// The pictures are the style's own check box, so they match the boxes in the rows.
QIcon CheckAllHeader::boxIcon(bool checked) const {
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(QSize(kImageSize, kImageSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = QRect(0, 0, kImageSize, kImageSize);
    option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    painter.end();
    return QIcon(pixmap);
}

} // namespace velnor
