#include <gtest/gtest.h>

#include "base/Utf8.h"

namespace velnor {
namespace {

// The check takes eight ASCII bytes at a time: a bad sequence right after such a run, or in the
// last bytes that do not fill a run, is found all the same.
TEST(Utf8, ValidityCheckFindsBadSequencesAnywhere) {
    for (const size_t lead : {size_t{0}, size_t{7}, size_t{8}, size_t{40}, size_t{41}}) {
        const std::string ascii(lead, 'a');
        EXPECT_TRUE(isValidUtf8(ascii + "ÄÖÜ 中 😀 \uFFFD" + ascii)) << lead;
        for (const char *bad : {"\xE2\x82", "\xC0\xAF", "\xC0\x80", "\xED\xA0\x80", "\xFF",
                                "\xF4\x90\x80\x80", "\x80"}) {
            EXPECT_FALSE(isValidUtf8(ascii + bad + ascii)) << lead << " " << bad;
            EXPECT_FALSE(isValidUtf8(ascii + bad)) << lead << " " << bad;
        }
    }
}

} // namespace
} // namespace velnor
