// Bounded copies into fixed char arrays.

#include "platform/sys/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FixedTextTest, CopyIsCutToTheCapacityAndAlwaysTerminated) {
    char target[6];
    EXPECT_TRUE(CopyFixedText(target, "abcde"));
    EXPECT_STREQ(target, "abcde");
    EXPECT_FALSE(CopyFixedText(target, std::string("abcdefgh")));
    EXPECT_STREQ(target, "abcde");
    EXPECT_TRUE(CopyFixedText(target, std::string_view()));
    EXPECT_STREQ(target, "");
}

TEST(FixedTextTest, ArrayWithoutNulIsReadWithinItsOwnCapacity) {
    const char source[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(FixedTextView(source), "wxy");

    char target[16];
    EXPECT_TRUE(CopyFixedText(target, source));
    EXPECT_STREQ(target, "wxy");
}

TEST(FixedTextTest, TextMayBeMovedWithinItsOwnArray) {
    char text[16] = "0123456789";
    EXPECT_TRUE(CopyFixedText(text, std::string_view(text + 3)));
    EXPECT_STREQ(text, "3456789");
}

}  // namespace
