#pragma once

#include "BuiltinEnglish.h"
#include "base/Texts.h"

namespace velnor::test {

// The English table, as the program has it built in.
class EnglishTexts : public Texts {
public:
    const char *find(int id) const override { return builtin_en::langString(id); }
};

} // namespace velnor::test
