#pragma once

#include <memory>

#include "app/AppPaths.h"
#include "base/Texts.h"

namespace velnor {

// The texts for the command-line tool in the language the user configured for the window
// (settings in the data folder, packs in the resource folder). It stores no setting; a damaged
// settings file is set aside as the window would do it. When
// the pack is not there it takes the English pack, and without that the English texts built
// into the program: the tool always has texts and never fails for want of them.
std::unique_ptr<Texts> loadToolTexts(const AppPaths &paths);

} // namespace velnor
