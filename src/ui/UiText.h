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

// String numbers of the window's captions that have no identifier of their own.
namespace caption {
inline constexpr int FileMenu = 9100;
inline constexpr int CardMenu = 9101;
inline constexpr int OptionsMenu = 9102;
inline constexpr int HelpMenu = 9103;
inline constexpr int LanguageMenu = 9104;
inline constexpr int TakeFromCard = 9105;
inline constexpr int CopyToCard = 9106;
inline constexpr int Cancel = 9107;
inline constexpr int Ok = 9108;
inline constexpr int Yes = 9109;
inline constexpr int No = 9110;
inline constexpr int VerifyTitle = 9111;
inline constexpr int SwitchTitle = 9112;
inline constexpr int ChangeTitle = 9113;
inline constexpr int UnblockTitle = 9114;
inline constexpr int PinLabel = 9115;
inline constexpr int OldPinLabel = 9116;
inline constexpr int NewPinLabel = 9117;
inline constexpr int NewPinAgainLabel = 9118;
inline constexpr int UnblockCodeLabel = 9119;
inline constexpr int AttemptsLeft = 9120;
inline constexpr int UnblockAttemptsLeft = 9121;
inline constexpr int VerifyExplanation = 9122;
inline constexpr int EntryTitle = 9123;
inline constexpr int NameLabel = 9124;
inline constexpr int NumberLabel = 9125;
inline constexpr int AboutTitle = 9126;
inline constexpr int AboutText = 9127;
inline constexpr int AboutNotice = 9128;
inline constexpr int CodePageLabel = 9140;
inline constexpr int DetectCodePage = 9141;
} // namespace caption

} // namespace velnor
