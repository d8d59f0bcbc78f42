#pragma once

#include <QHeaderView>
#include <QIcon>

namespace velnor {

// The heading of a list with check boxes: column 0 carries an image that tells whether every
// row is ticked. Image 1 stands for "not all rows ticked", image 2 for "all rows ticked", 0 for
// none. It also draws the sort mark on the column its list is sorted by. The header only shows
// the image and the mark; the list decides when they change, so a click on another heading
// leaves the mark where it is.
class CheckAllHeader : public QHeaderView {
    Q_OBJECT

public:
    static constexpr int kNotAllChecked = 1;
    static constexpr int kAllChecked = 2;

    explicit CheckAllHeader(QWidget *parent = nullptr);

    int image() const { return image_; }
    void setImage(int image);
    // Shows the image again, for a model that was just attached or reset.
    void refreshImage();

    // The column the list is sorted by (-1: none) and its direction.
    void setSortMark(int column, bool ascending);
    int sortMarkColumn() const { return sortColumn_; }
    bool sortMarkAscending() const { return ascending_; }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;

private:
    QIcon boxIcon(bool checked) const;

    int image_ = 0;
    int sortColumn_ = -1;
    bool ascending_ = true;
};

} // namespace velnor
