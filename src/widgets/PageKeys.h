#pragma once

#include <QKeyEvent>
#include <functional>

namespace velnor {

// Enter and Escape never close a page or the window it sits in, and Delete deletes the ticked
// rows. True when the key was one of these and has been taken.
inline bool takePageKey(QKeyEvent *event, const std::function<void()> &deleteTicked) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return true;
    case Qt::Key_Delete:
        deleteTicked();
        event->accept();
        return true;
    default:
        return false;
    }
}

} // namespace velnor
