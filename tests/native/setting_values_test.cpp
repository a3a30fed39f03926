#include "core/app/setting_values.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(StoredSettingValues, OnlyTheRightShapeIsRead) {
    const unsigned char four[4] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(StoredDword(true, kStoredDword, four, 4, 7), 0x12345678);
    // A string, a binary, a short or a long value: the default.
    EXPECT_EQ(StoredDword(true, kStoredString, four, 4, 7), 7);
    EXPECT_EQ(StoredDword(true, kStoredBinary, four, 4, 7), 7);
    EXPECT_EQ(StoredDword(true, kStoredDword, four, 2, 7), 7);
    EXPECT_EQ(StoredDword(false, kStoredDword, four, 4, 7), 7);
    const unsigned char minusOne[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(StoredDword(true, kStoredDword, minusOne, 4, 7), -1);

    EXPECT_TRUE(StoredBinary(true, kStoredBinary, 44, 44));
    EXPECT_FALSE(StoredBinary(true, kStoredDword, 44, 44));
    EXPECT_FALSE(StoredBinary(true, kStoredBinary, 43, 44));
}

TEST(StoredSettingValues, AStringEndsInsideItsBuffer) {
    char buffer[8];
    std::memcpy(buffer, "Mono\0xyz", 8);
    EXPECT_EQ(StoredString(true, kStoredString, buffer, 5, sizeof buffer), 4u);
    EXPECT_STREQ(buffer, "Mono");
    std::memcpy(buffer, "Monoxyzw", 8);
    EXPECT_EQ(StoredString(true, kStoredString, buffer, 4, sizeof buffer), 4u); // stored without its NUL
    EXPECT_STREQ(buffer, "Mono");
    std::memcpy(buffer, "abcdefgh", 8);
    EXPECT_EQ(StoredString(true, kStoredString, buffer, 8, sizeof buffer), 0u); // filled without a NUL
    EXPECT_STREQ(buffer, "");
    std::memcpy(buffer, "abcdefgh", 8);
    EXPECT_EQ(StoredString(true, kStoredString, buffer, 40000, sizeof buffer), 0u); // far too long
    EXPECT_STREQ(buffer, "");
    std::memcpy(buffer, "abc\0efgh", 8);
    EXPECT_EQ(StoredString(true, kStoredDword, buffer, 4, sizeof buffer), 0u); // a number is no name
    EXPECT_STREQ(buffer, "");
    std::memcpy(buffer, "ab\0cdefg", 8);
    EXPECT_EQ(StoredString(true, kStoredExpandString, buffer, 7, sizeof buffer), 2u); // cut at the first NUL
}

} // namespace
