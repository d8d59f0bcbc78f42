#pragma once

#include <QIcon>
#include <QStyle>
#include <initializer_list>

namespace velnor {

// The first of the named icons that the desktop's icon theme has (the setup installs Breeze),
// (null names are skipped), else the style's own standard icon, so that no button is ever left
// without a picture.
QIcon themeIcon(std::initializer_list<const char *> names, QStyle::StandardPixmap fallback);

// Uses Breeze when the platform names no icon theme of its own (a bare X server, a test run).
void chooseIconTheme();

} // namespace velnor
