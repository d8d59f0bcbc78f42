#include "widgets/ThemeIcons.h"

#include <QApplication>
#include <QDir>

namespace velnor {

QIcon themeIcon(std::initializer_list<const char *> names, QStyle::StandardPixmap fallback) {
    for (const char *name : names) {
        if (name != nullptr && QIcon::hasThemeIcon(QString::fromLatin1(name))) {
            return QIcon::fromTheme(QString::fromLatin1(name));
        }
    }
    return QApplication::style()->standardIcon(fallback);
}

void chooseIconTheme() {
    const QString current = QIcon::themeName();
    if (!current.isEmpty() && current != QLatin1String("hicolor")) {
        return;
    }
    for (const QString &path : QIcon::themeSearchPaths()) {
        if (QDir(path + QLatin1String("/breeze")).exists()) {
            QIcon::setThemeName(QStringLiteral("breeze"));
            return;
        }
    }
}

} // namespace velnor
