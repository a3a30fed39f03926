#include "core/editor/time_need.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Text = std::string;

TextShape ShapeOf(const Text& text) {
    return MeasureTextShape(reinterpret_cast<const unsigned char*>(text.data()), text.size(), 0, true);
}

Text Repeated(const Text& piece, size_t bytes) {
    Text text;
    while (text.size() < bytes) text += piece;
    text.resize(bytes);
    return text;
}

const Text kWords = "\xF1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 ";  // one script between blanks
const Text kMarkup = "<div class=\"\xEC\xE5\xED\xFE\">\xCF\xF0\xE8\xE2\xE5\xF2</div>";  // a run at every sign

// What the control was measured to do with one paragraph (bench/long_line_results.txt),
// judged as the editor judges a file: a paragraph of words (one long run) is cheap
// without word wrap and is taken that way when word wrap would cost too much; markup of
// the same length costs its many runs either way; Russian prose of 64 KB goes either
// way; short lines cost their size.
TEST(TimeNeed, ParagraphsAreJudgedByLengthWithWrapAndByRunsWithout) {
    const TextShape words = ShapeOf(Repeated(kWords, 256 << 10));
    EXPECT_EQ(words.longest.length, 256 << 10);
    EXPECT_EQ(words.longest.runs, 1);
    EXPECT_EQ(JudgeAdmission(words, false, 0, 0, UINT64_MAX, 1).verdict, Verdict::Admit);
    const Admission wrapped = JudgeAdmission(words, true, 0, 0, UINT64_MAX, 1);
    EXPECT_EQ(wrapped.verdict, Verdict::AdmitUnwrapped);
    EXPECT_LT(wrapped.time.seconds, 10);

    const TextShape markup = ShapeOf(Repeated(kMarkup, 256 << 10));
    EXPECT_GT(markup.mostRunWork.runs, 60000);
    for (bool wrap : {false, true}) {
        const Admission refused = JudgeAdmission(markup, wrap, 0, 0, UINT64_MAX, 1);
        EXPECT_EQ(refused.verdict, Verdict::RefuseParagraph);
        EXPECT_EQ(refused.time.paragraphLength, 256 << 10);
        EXPECT_GT(refused.time.paragraphSeconds, kParagraphSecondsLimit);
    }
    const Text prose = "\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 "
                       "\xF4\xF0\xE0\xED\xF6\xF3\xE7\xF1\xEA\xE8\xF5 \xE1\xF3\xEB\xEE\xEA, \xE4\xE0 "
                       "\xE2\xFB\xEF\xE5\xE9 \xF7\xE0\xFE. ";
    for (bool wrap : {false, true})
        EXPECT_EQ(JudgeAdmission(ShapeOf(Repeated(prose, 64 << 10)), wrap, 0, 0, UINT64_MAX, 1).verdict,
                  Verdict::Admit);
    // 16 KB of markup was measured at 2-3 s: taken.
    EXPECT_EQ(JudgeAdmission(ShapeOf(Repeated(kMarkup, 16 << 10)), false, 0, 0, UINT64_MAX, 1).verdict,
              Verdict::Admit);

    // The same long paragraph in the middle of short lines is found and judged alone.
    Text mixed = Repeated("\xCF\xF0\xE8\xE2\xE5\xF2 text 12345\r\n", 1 << 20);
    mixed += Repeated(kMarkup, 256 << 10) + "\r\n" + mixed;
    const Admission middle = JudgeAdmission(ShapeOf(mixed), false, 0, 0, UINT64_MAX, 1);
    EXPECT_EQ(middle.verdict, Verdict::RefuseParagraph);
    EXPECT_GE(middle.time.paragraphLength, 256 << 10); // with the cut line before it
    EXPECT_LT(middle.time.paragraphLength, (256 << 10) + 32);
    const TextShape lines = ShapeOf(Repeated("\xCF\xF0\xE8\xE2\xE5\xF2 text 12345\r\n", 4 << 20));
    const Admission plain = JudgeAdmission(lines, true, 0, 0, UINT64_MAX, 1);
    EXPECT_EQ(plain.verdict, Verdict::Admit);
    EXPECT_LT(plain.time.paragraphSeconds, 0.1);
}

TEST(TimeNeed, TheWholeOperationIsLimitedByTimeAndMemory) {
    // 1,000,000 empty lines take well under a minute; three times as many do not.
    const TextShape empty = ShapeOf(Repeated("\r\n", 2000000));
    EXPECT_EQ(empty.paragraphs, 1000001);
    const Admission million = JudgeAdmission(empty, true, 0, 0, UINT64_MAX, 1);
    EXPECT_EQ(million.verdict, Verdict::Admit);
    EXPECT_GT(million.time.seconds, 20);
    EXPECT_EQ(JudgeAdmission(empty, true, 0, 0, UINT64_MAX, 3).verdict, Verdict::RefuseTime);
    // A 200 MB text in short lines: minutes, whatever the memory.
    TextShape log;
    log.characters = 200 << 20;
    log.paragraphs = log.characters / 60;
    log.scriptChanges = log.characters / 10;
    log.longest.length = 60;
    log.longest.runs = 6;
    log.runWork = static_cast<double>(log.paragraphs) * 360;
    const Admission big = JudgeAdmission(log, false, 0, 0, UINT64_MAX, 1);
    EXPECT_EQ(big.verdict, Verdict::RefuseTime);
    EXPECT_GT(big.time.seconds, 5 * 60);
    // A text cheap in time but too big for the memory is refused for memory;
    // a slow machine refuses what a fast one takes.
    const TextShape lines = ShapeOf(Repeated("abc def\r\n", 1 << 20));
    EXPECT_EQ(JudgeAdmission(lines, false, 0, 0, 1 << 20, 1).verdict, Verdict::RefuseMemory);
    EXPECT_EQ(JudgeAdmission(lines, false, 0, 0, UINT64_MAX, 1).verdict, Verdict::Admit);
    EXPECT_EQ(JudgeAdmission(lines, false, 0, 0, UINT64_MAX, 1000).verdict, Verdict::RefuseTime);
}

TEST(TimeNeed, MessagesSayTimesAndMemoryInRussianWords) {
    char out[64];
    // As they follow "около".
    EXPECT_STREQ(DurationWords(0.2, out, sizeof out), "1 секунды");
    EXPECT_STREQ(DurationWords(40, out, sizeof out), "40 секунд");
    EXPECT_STREQ(DurationWords(23, out, sizeof out), "23 секунд");
    EXPECT_STREQ(DurationWords(9 * 60 - 5, out, sizeof out), "9 минут");
    EXPECT_STREQ(DurationWords(21 * 60, out, sizeof out), "21 минуты");
    EXPECT_STREQ(DurationWords(11 * 60, out, sizeof out), "11 минут");
    EXPECT_STREQ(DurationWords(2 * 3600, out, sizeof out), "2 часов");
    EXPECT_STREQ(DurationWords(1e300, out, sizeof out), "1\xA0" "000\xA0" "000\xA0" "000 часов");
    EXPECT_STREQ(MemoryWords(700 << 20, out, sizeof out), "700 МБ");
    EXPECT_STREQ(MemoryWords((int64_t{15} << 30) - 1, out, sizeof out), "15 ГБ");
    // A small buffer is never overrun.
    char small[4] = "xxx";
    DurationWords(40, small, 3);
    EXPECT_EQ(small[2], '\0');
    MemoryWords(700 << 20, small, 3);
    EXPECT_STREQ(small, "70");
}

} // namespace
