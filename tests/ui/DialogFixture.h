#pragma once

#include <gtest/gtest.h>

#include "records/CardState.h"
#include "support/EnglishTexts.h"
#include "support/ScriptedPrompts.h"

namespace velnor::test {

// What a dialog is given: the built-in English texts, questions answered from a script and the
// card it edits for.
class DialogFixture : public ::testing::Test {
protected:
    EnglishTexts texts;
    ScriptedPrompts prompts;
    CardState card;
};

} // namespace velnor::test
