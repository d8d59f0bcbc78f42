#pragma once

// String numbers of the message tab's and the message editor's captions that have no
// identifier of their own.

namespace velnor::caption {
inline constexpr int MessageEditorTitle = 9200;
inline constexpr int MessageNumberLabel = 9201; // its control shares 1708 with another label
inline constexpr int CharactersLeft = 9202;
inline constexpr int RecipientNameHint = 9203;
} // namespace velnor::caption
