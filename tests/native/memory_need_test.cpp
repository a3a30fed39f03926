#include "core/editor/memory_need.h"

#include <gtest/gtest.h>

#include <string>

#include "core/document/detect_code_page.h"

namespace {

using Text = std::string;

const unsigned char* U(const Text& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

Text LinesOf(const Text& words, size_t length, size_t bytes) {
    Text line;
    while (line.size() + 2 < length) line += words;
    line.resize(length - 2);
    Text text;
    while (text.size() < bytes) text += line + "\r\n";
    return text;
}

TEST(ControlMemoryNeed, ParagraphsScriptChangesAndRowsAreCountedAsShown) {
    // CR LF, a lone CR and a lone LF each end a paragraph.
    EXPECT_EQ(MeasureTextShape(U(Text("a\r\nb\rc\nd")), 8, 0, false).paragraphs, 4);
    EXPECT_EQ(MeasureTextShape(U(Text("\r\n\r\n")), 4, 0, false).paragraphs, 3);
    EXPECT_EQ(MeasureTextShape(nullptr, 0, 0, false).paragraphs, 1);
    // Spaces join the run they stand in; letters, digits and signs change it.
    EXPECT_EQ(MeasureTextShape(U(Text("abc def")), 7, 0, false).scriptChanges, 0);
    EXPECT_EQ(MeasureTextShape(U(Text("abc 12, x")), 9, 0, false).scriptChanges, 3);
    // A line break starts afresh: the paragraph's first run is the paragraph's.
    EXPECT_EQ(MeasureTextShape(U(Text("ab\r\n12")), 6, 0, false).scriptChanges, 0);
    // The same bytes shown through another code page: 0xE0 is a Cyrillic
    // letter in 1251 and 866 (a, r), 0xB0 a sign in 1251 and a box in 866.
    const Text mixed = "\xE0\xB0\xE0";
    EXPECT_EQ(MeasureTextShape(U(mixed), 3, 0, false).scriptChanges, 2);
    EXPECT_EQ(MeasureTextShape(U(mixed), 3, 1, false).scriptChanges, 2);
    EXPECT_EQ(MeasureTextShape(U(Text("\xE0\xE1\xE2")), 3, 1, false).scriptChanges, 0);
    // Word wrap makes rows of long paragraphs only.
    const Text longLine(200, 'x');
    EXPECT_EQ(MeasureTextShape(U(longLine), longLine.size(), 0, false).wrappedRows, 0);
    EXPECT_EQ(MeasureTextShape(U(longLine), longLine.size(), 0, true).wrappedRows, 2);
    EXPECT_EQ(MeasureTextShape(U(Text(80, 'x')), 80, 0, true).wrappedRows, 0);
}

// What the control took under Wine for 2 MB of each kind of text
// (lork2_large_document_bench --memory, bench/large_document_results.txt):
// the estimate covers each, and is never more than half again as much.
TEST(ControlMemoryNeed, CoversWhatTheControlWasMeasuredToTake) {
    const Text mixed = "\x91\xEA\xA5\xE8\xEC \xA6\xA5 \xA5\xE9\xF1 \xED\xE2\xA8\xE5 12345 text, ";
    const Text bench = "\x91\xEA\xA5\xE8\xEC \xA6\xA5 \xA5\xE9\xF1 \xED\xE2\xA8\xE5 \xAC\xEF\xA3\xAA\xA8\xE5 "
                       "\xA1\xE3\xAB\xAE\xAA, \xA4\xA0 \xA2\xEB\xAF\xA5\xA9 \xE7\xA0\xEE.\r\n";
    const Text cyrillic = "\xF1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 ";
    const size_t size = 2u << 20;
    Text benchText;
    while (benchText.size() < size) benchText += bench;
    struct Case {
        const char* name;
        Text text;
        double measured; // bytes a character
        bool wrap;
        int shownAs; // -1: as the load guesses
    };
    const Case cases[] = {
        {"bench lines", benchText, 135.4, false, -1},
        {"bench lines shown as 1251", benchText, 355.0, false, 0},
        {"mixed, 10-byte lines", LinesOf(mixed, 10, size), 294.6, false, -1},
        {"mixed, 60-byte lines", LinesOf(mixed, 60, size), 150.1, false, -1},
        {"mixed, 250-byte lines", LinesOf(mixed, 250, size), 141.5, false, -1},
        {"mixed, 250-byte lines wrapped", LinesOf(mixed, 250, size), 154.3, true, -1},
        {"mixed, 1000-byte lines", LinesOf(mixed, 1000, size), 136.7, false, -1},
        {"cyrillic", LinesOf(cyrillic, 60, size), 71.7, false, -1},
        {"latin", LinesOf("quick brown fox jumps over the lazy dog ", 60, size), 71.6, false, -1},
        {"cyrillic and latin alternating", LinesOf("\xC6z", 60, size), 853.4, false, -1},
        {"cyrillic and a digit", LinesOf("\xC6\xE5\xEB" "1", 60, size), 443.5, false, -1},
        {"cyrillic and a comma", LinesOf("\xC6\xE5\xEB,", 60, size), 443.5, false, -1},
        {"cyrillic and a space", LinesOf("\xC6\xE5\xEB ", 60, size), 71.7, false, -1},
        {"latin and a digit", LinesOf("abc1", 60, size), 443.5, false, -1},
        {"box drawing and cyrillic", LinesOf("\xC9\xCD\xBB\xAE", 60, size), 443.5, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int cp = c.shownAs >= 0 ? c.shownAs : DetectCodePage(U(c.text), std::min(c.text.size(), kDetectSampleSize));
        const TextShape shape = MeasureTextShape(U(c.text), c.text.size(), cp, c.wrap);
        const double estimate = static_cast<double>(ControlMemoryNeed(shape)) / static_cast<double>(c.text.size());
        EXPECT_GE(estimate, c.measured);
        EXPECT_LE(estimate, c.measured * 1.5);
    }
}

TEST(ControlMemoryNeed, TheJudgementCountsExtrasDroppedTextAndTheReserve) {
    const Text text = LinesOf("abc def ", 60, 1 << 20);
    const TextShape shape = MeasureTextShape(U(text), text.size(), 0, false);
    const int64_t control = ControlMemoryNeed(shape);
    const MemoryNeed plain = JudgeMemory(shape, 0, 0, UINT64_MAX);
    EXPECT_EQ(plain.need, control + kMemoryReserve);
    EXPECT_TRUE(plain.fits);
    // Exactly enough fits; a byte less does not.
    EXPECT_TRUE(JudgeMemory(shape, 0, 0, static_cast<uint64_t>(plain.need)).fits);
    EXPECT_FALSE(JudgeMemory(shape, 0, 0, static_cast<uint64_t>(plain.need) - 1).fits);
    // Copies held besides add; a dropped text gives back at least its characters.
    EXPECT_EQ(JudgeMemory(shape, 1000, 0, 0).need, plain.need + 1000);
    EXPECT_EQ(JudgeMemory(shape, 0, 1000, 0).need, plain.need - 1000 * kControlBytesPerCharacter);
    // Dropping more than comes in never needs less than the reserve.
    EXPECT_EQ(JudgeMemory(shape, 0, INT32_MAX, 0).need, kMemoryReserve);
    EXPECT_TRUE(JudgeMemory(shape, 0, INT32_MAX, kMemoryReserve).fits);
    // The largest file the editor opens is judged without overflow.
    TextShape huge;
    huge.characters = INT32_MAX;
    huge.paragraphs = INT32_MAX / 2;
    huge.scriptChanges = INT32_MAX;
    EXPECT_GT(JudgeMemory(huge, INT32_MAX, 0, 0).need, int64_t{1} << 40);
    EXPECT_EQ(MegabytesUp(1), 1);
    EXPECT_EQ(MegabytesUp(int64_t{3} << 20), 3);
    EXPECT_EQ(MegabytesUp(0), 0);
}

} // namespace
