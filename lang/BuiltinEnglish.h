#pragma once

// The English table compiled into the programs, used when no pack can be loaded.
namespace velnor::builtin_en {
const char *langName();
int langId();
const char *langString(int id);
} // namespace velnor::builtin_en
