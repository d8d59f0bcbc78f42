#pragma once

#include <string>

#include "virtualcard/CardFileSystem.h"

namespace velnor {

// What is wrong with the structure of an answer to reset (ISO/IEC 7816-3, 8.2): the bytes its
// format and interface bytes announce against the bytes it holds, and its check byte TCK.
// Empty when it is well formed.
std::string answerToResetFault(const Bytes &atr);

} // namespace velnor
