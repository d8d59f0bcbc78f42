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
