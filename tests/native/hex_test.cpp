#include "core/search/hex_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Hex(std::string_view text) {
    const HexBytes h = ParseHexString(text);
    EXPECT_EQ(h.bytes[h.count], 0) << "no terminating NUL";
    return std::string(reinterpret_cast<const char*>(h.bytes), h.count);
}

TEST(ParseHexString, PairsOfDigitsInEitherCase) {
    EXPECT_EQ(Hex("D8E0"), "\xD8\xE0");
    EXPECT_EQ(Hex("d8e0"), "\xD8\xE0");
    EXPECT_EQ(Hex("0aF1"), "\x0A\xF1");
    EXPECT_EQ(Hex(""), "");
}

TEST(ParseHexString, EveryCharacterTakesAPlace) {
    EXPECT_EQ(Hex("D8 E0"), std::string("\xD8\x0E\x00", 3));
    EXPECT_EQ(Hex("zz41"), std::string("\x00\x41", 2));
    EXPECT_EQ(Hex("g1"), "\x01");
    EXPECT_EQ(Hex("1g"), "\x01");
}

TEST(ParseHexString, LoneLastCharacter) {
    EXPECT_EQ(Hex("414"), "\x41\x04");
    EXPECT_EQ(Hex("41x"), std::string("\x41\x00", 2));
    EXPECT_EQ(Hex("F"), "\x0F");
}

TEST(ParseHexString, StopsAfter260Bytes) {
    const HexBytes h = ParseHexString(std::string(1000, '7'));
    EXPECT_EQ(h.count, kHexBytesMax);
    EXPECT_EQ(h.bytes[259], 0x77);
    EXPECT_EQ(h.bytes[260], 0);
    EXPECT_EQ(ParseHexString(std::string(521, 'A')).count, 260u);
    EXPECT_EQ(ParseHexString(std::string(519, 'A')).count, 260u);
    EXPECT_EQ(ParseHexString(std::string(518, 'A')).count, 259u);
}

} // namespace
