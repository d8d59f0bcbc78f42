#include <gtest/gtest.h>

#include "base/Utf8.h"

namespace velnor {
namespace {

// The check takes eight ASCII bytes at a time: a bad sequence right after such a run, or in the
// last bytes that do not fill a run, is found all the same.
TEST(Utf8, ValidityCheckFindsBadSequencesAnywhere) {
    for (const size_t lead : {size_t{0}, size_t{7}, size_t{8}, size_t{40}, size_t{41}}) {
        const std::string ascii(lead, 'a');
        EXPECT_TRUE(isValidUtf8(ascii + "\xE2\x82\xAC" + ascii)) << lead;
        EXPECT_TRUE(isValidUtf8(ascii + "\xEF\xBF\xBD")) << lead; // a genuine U+FFFD
        EXPECT_FALSE(isValidUtf8(ascii + "\xE2\x82" + ascii)) << lead;
        EXPECT_FALSE(isValidUtf8(ascii + "\xC0\xAF")) << lead;     // overlong "/"
        EXPECT_FALSE(isValidUtf8(ascii + "\xED\xA0\x80")) << lead; // a surrogate
        EXPECT_FALSE(isValidUtf8(ascii + "\xFF")) << lead;
    }
}

} // namespace
} // namespace velnor
