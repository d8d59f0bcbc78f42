#pragma once

#include <QString>

#include "base/Texts.h"

namespace velnor {

// A control or menu command without a string of its own takes its caption from string
// (identifier + 6356) of the pack.
inline constexpr int kCaptionOffset = 6356;

inline QString qText(const Texts &texts, int id) {
    return QString::fromStdString(texts.get(id));
}

inline QString captionOf(const Texts &texts, int controlId) {
    return qText(texts, controlId + kCaptionOffset);
}

} // namespace velnor
