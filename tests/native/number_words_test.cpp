#include "core/app/number_words.h"

#include <gtest/gtest.h>

namespace {

// The counts of the program's messages, as a Russian reader expects them.
TEST(NumberWords, CountsReadAsRussianWithNoBreakSpacesBetweenThousands) {
    auto chars = [](int64_t n) { return CountWords(n, "знак", "знака", "знаков"); };
    EXPECT_EQ(chars(1), "1 знак");
    EXPECT_EQ(chars(2097152), "2\xA0" "097\xA0" "152 знака");
    EXPECT_EQ(chars(307200), "307\xA0" "200 знаков");
    EXPECT_EQ(chars(11), "11 знаков");
    EXPECT_EQ(chars(21), "21 знак");
    EXPECT_EQ(chars(104), "104 знака");
    EXPECT_EQ(chars(1001), "1\xA0" "001 знак");
    EXPECT_EQ(GroupedNumber(1000), "1\xA0" "000");
    EXPECT_EQ(GroupedNumber(-5), "0");
    EXPECT_EQ(GroupedNumber(INT64_MAX).size(), 19u + 6u);
}

} // namespace
