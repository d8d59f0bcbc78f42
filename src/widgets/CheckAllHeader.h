#pragma once

#include <QHeaderView>
#include <QIcon>

namespace velnor {

// The heading of a list with check boxes: column 0 carries an image that tells whether every
// row is ticked. Image 1 stands for "not all rows ticked", image 2 for "all rows ticked", 0 for
// none. The header only shows the image; the list decides when it changes.
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

private:
    QIcon boxIcon(bool checked) const;

    int image_ = 0;
};

} // namespace velnor
