#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Small UTF-8 helpers for the configuration files, which people edit by hand.
namespace velnor::utf8 {

bool isValid(std::string_view text);

// An older file saved in the Western Windows code page (1252) is taken as such rather than
// rejected; valid UTF-8 is returned unchanged.
std::string fromLegacyIfNeeded(std::string_view text);

size_t countCharacters(std::string_view text);

// The first n characters of a UTF-8 text, never cutting inside one.
std::string firstCharacters(std::string_view text, size_t n);

} // namespace velnor::utf8
