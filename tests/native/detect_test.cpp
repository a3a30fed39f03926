#include "core/document/detect_code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int Detect(const std::string& s) {
    return DetectCodePage(reinterpret_cast<const unsigned char*>(s.data()), s.size());
}

TEST(DetectCodePage, TypicalTexts) {
    EXPECT_EQ(Detect("Это простой текст, который уже в кодировке 1251."), 0);
    // The same text in CP866 and in KOI8-R.
    EXPECT_EQ(Detect("\x9D\xE2\xAE \xAF\xE0\xAE\xE1\xE2\xAE\xA9 \xE2\xA5\xAA\xE1\xE2"), 1);
    EXPECT_EQ(Detect(" \xFC\xD4\xCF \xD0\xD2\xCF\xD3\xD4\xCF\xCA \xD4\xC5\xCB\xD3\xD4"), 2);
    EXPECT_EQ(Detect(""), 0);
    EXPECT_EQ(Detect("plain ASCII text"), 0);
}

TEST(DetectCodePage, OemWinsOnlyWithMoreOemBytes) {
    EXPECT_EQ(Detect("\xB0\xB1"), 1);          // box drawing
    EXPECT_EQ(Detect("\xB0\xF2"), 0);          // a tie is no OEM
    EXPECT_EQ(Detect("\xB0\xB1\xF2"), 1);
    for (unsigned char c : {0x80, 0x85, 0x88, 0x8E, 0x93, 0xA0, 0xA5, 0xA8, 0xAA, 0xB0, 0xB1, 0xB2, 0xB4, 0xBA, 0xBF})
        EXPECT_EQ(Detect(std::string(1, static_cast<char>(c))), 1) << static_cast<int>(c);
    for (unsigned char c : {0x81, 0xA1, 0xB3, 0xC0, 0xE0})
        EXPECT_EQ(Detect(std::string(1, static_cast<char>(c))), 0) << static_cast<int>(c);
}

TEST(DetectCodePage, Koi8NeedsACapitalisedWordAfterAByteBelowSmallA) {
    EXPECT_EQ(Detect("\x20\xE0\xC0"), 2);
    EXPECT_EQ(Detect("\x60\xE0\xC0"), 2);
    EXPECT_EQ(Detect("a\xE0\xC0"), 0);
    EXPECT_EQ(Detect("\x20\xE0\xE0"), 0);              // small letter must follow
    EXPECT_EQ(Detect("\x20\xDF\xC0"), 0);
    EXPECT_EQ(Detect("\x20\xFF\xDF"), 2);
    // Bytes from 0x80 up are not below "a": compared as unsigned values.
    EXPECT_EQ(Detect("\xC1\xE0\xC0"), 0);
    // The pattern must lie inside the bytes given.
    EXPECT_EQ(Detect("\x20\xE0"), 0);
    const std::string koi = "\x20\xE0\xC0";
    EXPECT_EQ(DetectCodePage(reinterpret_cast<const unsigned char*>(koi.data()), 2), 0);
    // OEM beats KOI8-R when it has more bytes.
    EXPECT_EQ(Detect("\x20\xE0\xC0\xB0"), 1);
    EXPECT_EQ(Detect("\x20\xE0\xC0\xB0\xF2"), 2);
}

TEST(DetectCodePage, WholeSampleOfTheLoader) {
    std::string sample(kDetectSampleSize, 'x');
    sample[kDetectSampleSize - 3] = ' ';
    sample[kDetectSampleSize - 2] = '\xF0';
    sample[kDetectSampleSize - 1] = '\xC1';
    EXPECT_EQ(Detect(sample), 2);
}

} // namespace
