#include "core/text/paragraph.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string Format(const std::string& text, Alignment a, int right, int left = 0, int first = 0, bool ig = false) {
    ParagraphSettings s;
    s.right = right;
    s.left = left;
    s.first = first;
    s.ignoreLineBreaks = ig;
    const auto out = FormatParagraphs(reinterpret_cast<const unsigned char*>(text.data()), text.size(), a, s);
    return std::string(out.begin(), out.end());
}

std::string Sp(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

const std::string kFox = "The quick brown fox jumps over the lazy dog and keeps running far away";

TEST(ParagraphFormat, FoxAtTwentyColumnsInEveryAlignment) {
    EXPECT_EQ(Format(kFox, Alignment::kJustify, 20),
              "The  quick brown fox\r\n"
              "jumps  over the lazy\r\n"
              "dog     and    keeps\r\n"
              "running far away\r\n");
    EXPECT_EQ(Format(kFox, Alignment::kCenter, 20),
              "The quick brown fox\r\n"
              "jumps over the lazy\r\n"
              "   dog and keeps\r\n"
              "  running far away\r\n");
    EXPECT_EQ(Format(kFox, Alignment::kRight, 20),
              " The quick brown fox\r\n"
              " jumps over the lazy\r\n"
              "       dog and keeps\r\n"
              "    running far away\r\n");
    EXPECT_EQ(Format(kFox, Alignment::kLeft, 20),
              "The quick brown fox\r\n"
              "jumps over the lazy\r\n"
              "dog and keeps\r\n"
              "running far away\r\n");
}

TEST(ParagraphFormat, JustifyParagraphEndsAndTheLastLine) {
    const std::string text = "aa bb\r\ncc dd ee\r\n";
    EXPECT_EQ(Format(text, Alignment::kJustify, 12), "aa" + Sp(8) + "bb\r\ncc dd ee\r\n");
    EXPECT_EQ(Format(text, Alignment::kJustify, 12, 0, 0, true), "aa  bb cc dd\r\nee\r\n");
    // Without the final line end the last line is the one that reaches the
    // last byte of the text.
    EXPECT_EQ(Format("aa bb\r\ncc dd ee", Alignment::kJustify, 12), "aa" + Sp(8) + "bb\r\ncc dd ee\r\n");
}

TEST(ParagraphFormat, FirstAndFurtherIndents) {
    EXPECT_EQ(Format("one two three four five six", Alignment::kLeft, 14, 2, 4),
              Sp(4) + "one two\r\n" + Sp(2) + "three four\r\n" + Sp(2) + "five six\r\n");
    // Right alignment counts the indent in the line width.
    EXPECT_EQ(Format("one two three four five six", Alignment::kRight, 14, 2, 4),
              Sp(4) + Sp(3) + "one two\r\n" + Sp(2) + Sp(2) + "three four\r\n" + Sp(2) + Sp(4) + "five six\r\n");
}

TEST(ParagraphFormat, IndentsTooCloseToTheMarginCountAsZero) {
    const std::string text = "alpha beta gamma delta epsilon";
    const std::string plain = "alpha beta gamma\r\ndelta epsilon\r\n";
    EXPECT_EQ(Format(text, Alignment::kLeft, 20, 12, 0), plain);
    EXPECT_EQ(Format(text, Alignment::kLeft, 20, 0, 12), plain);
    EXPECT_EQ(Format(text, Alignment::kLeft, 20, 11, 11), Sp(11) + "alpha\r\n" + Sp(11) + "beta\r\n" + Sp(11) +
                                                             "gamma\r\n" + Sp(11) + "delta\r\n" + Sp(11) +
                                                             "epsilon\r\n");
}

TEST(ParagraphFormat, CentringUsesTheLeftIndentForTheFirstLine) {
    // free = 20 - 4 - 2 = 14, half of it before the word
    EXPECT_EQ(Format("ab", Alignment::kCenter, 20, 4, 9), Sp(4) + Sp(7) + "ab\r\n");
    EXPECT_EQ(Format("abc", Alignment::kCenter, 20), Sp(8) + "abc\r\n"); // 17 / 2 rounds down
}

TEST(ParagraphFormat, OneLetterLastWord) {
    EXPECT_EQ(Format("ab c", Alignment::kLeft, 80), "ab c\r\n");
    EXPECT_EQ(Format("ab c", Alignment::kJustify, 80), "ab c\r\n");
    EXPECT_EQ(Format("x", Alignment::kLeft, 80), "x\r\n");
    EXPECT_EQ(Format("  x", Alignment::kRight, 10), Sp(9) + "x\r\n");
    // The one-letter word that does not fit goes to a line of its own.
    EXPECT_EQ(Format("aaaaaaaaa b", Alignment::kLeft, 10), "aaaaaaaaa\r\nb\r\n");
    EXPECT_EQ(Format("aaaaaaaa b", Alignment::kLeft, 10), "aaaaaaaa b\r\n");
}

// A byte that takes no column (a combining mark's stand-in) is in the line,
// its words as wide as they show, the last byte of the text too.
TEST(ParagraphFormat, ByteOfNoColumn) {
    ParagraphSettings s;
    s.right = 10;
    s.noColumnByte = 0x1C;
    const std::string text = "aaa\x1C\x1C\x1C bbbbb \x1C";
    const auto out = FormatParagraphs(reinterpret_cast<const unsigned char*>(text.data()), text.size(), Alignment::kRight, s);
    EXPECT_EQ(std::string(out.begin(), out.end()), text + "\r\n");
    EXPECT_EQ(Format(text, Alignment::kRight, 10), Sp(4) + "aaa\x1C\x1C\x1C\r\n" + Sp(3) + "bbbbb \x1C\r\n");
}

TEST(ParagraphFormat, BlankLinesStayAndNoLineIsAdded) {
    EXPECT_EQ(Format("aa\r\n", Alignment::kLeft, 20), "aa\r\n");
    EXPECT_EQ(Format("aa\r\n\r\nbb", Alignment::kLeft, 20), "aa\r\n\r\nbb\r\n");
    EXPECT_EQ(Format("aa\r\n\r\n\r\nbb\r\n", Alignment::kLeft, 20), "aa\r\n\r\n\r\nbb\r\n");
    EXPECT_EQ(Format("\r\naa", Alignment::kLeft, 20), "\r\naa\r\n");
    EXPECT_EQ(Format("aa\r\n\r\n", Alignment::kLeft, 20), "aa\r\n\r\n");
    // A blank line is a line of indent spaces, padded when centring or
    // aligning right, and never wider than the margin.
    EXPECT_EQ(Format("aa\r\n\r\nbb", Alignment::kLeft, 20, 3, 1), " aa\r\n" + Sp(3) + "\r\n" + Sp(3) + "bb\r\n");
    EXPECT_EQ(Format("aa\r\n\r\nbb", Alignment::kRight, 20, 3, 3),
              Sp(3) + Sp(15) + "aa\r\n" + Sp(20) + "\r\n" + Sp(3) + Sp(15) + "bb\r\n");
    EXPECT_EQ(Format("aa\r\n\r\nbb", Alignment::kCenter, 20, 3),
              Sp(3) + Sp(7) + "aa\r\n" + Sp(3) + Sp(8) + "\r\n" + Sp(3) + Sp(7) + "bb\r\n");
    // With line ends ignored the blank line disappears.
    EXPECT_EQ(Format("aa\r\n\r\nbb", Alignment::kLeft, 20, 0, 0, true), "aa bb\r\n");
}

TEST(ParagraphFormat, LongWordStaysOnItsLine) {
    const std::string longWord = "abcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ(Format(longWord + " ab", Alignment::kRight, 10), longWord + "\r\n" + Sp(8) + "ab\r\n");
    EXPECT_EQ(Format("ab " + longWord + " cd", Alignment::kJustify, 10), "ab\r\n" + longWord + "\r\ncd\r\n");
}

TEST(ParagraphFormat, EveryBlankSeparatesWords) {
    EXPECT_EQ(Format(std::string("a\tb\0c  d", 8), Alignment::kLeft, 40), "a b c d\r\n");
    // A lone CR is a blank, not a paragraph end.
    EXPECT_EQ(Format("ab\rcd", Alignment::kLeft, 40), "ab cd\r\n");
}

TEST(ParagraphFormat, EmptyAndBlankTexts) {
    EXPECT_EQ(Format("", Alignment::kJustify, 80), "");
    EXPECT_EQ(Format("   ", Alignment::kLeft, 80, 0, 5), Sp(5) + "\r\n");
}

TEST(ParagraphFormat, OutOfRangeNumbersStillGiveLines) {
    EXPECT_EQ(Format("ab cd", Alignment::kLeft, -5, -3, -3), "ab\r\ncd\r\n");
    EXPECT_EQ(Format("ab cd", Alignment::kRight, 1 << 30).size(), 4096u + 2);
}

// Random texts: every word comes out once and in order, and no line passes
// the margin unless it holds a single word.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string w;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0') {
            if (!w.empty()) words.push_back(w);
            w.clear();
        } else {
            w += c;
        }
    }
    if (!w.empty()) words.push_back(w);
    return words;
}

TEST(ParagraphFormat, RandomTextsKeepWordsAndMargins) {
    std::mt19937 rng(20240601);
    const std::string blanks[] = {" ", " ", " ", "  ", "\t", "\r\n", "\r\n\r\n", std::string("\0", 1), "\r"};
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int count = std::uniform_int_distribution<int>(0, 120)(rng);
        for (int i = 0; i < count; ++i) {
            if (rng() % 3 == 0) text += blanks[rng() % 9];
            const int length = rng() % 10 == 0 ? 30 : 1 + static_cast<int>(rng() % 9);
            for (int c = 0; c < length; ++c) text += static_cast<char>(rng() % 2 ? 'a' + rng() % 26 : 0xC0 + rng() % 64);
            text += blanks[rng() % 9];
        }
        if (rng() % 2 && !text.empty()) text.pop_back();
        const int right = std::uniform_int_distribution<int>(10, 128)(rng);
        const int left = std::uniform_int_distribution<int>(0, 80)(rng);
        const int first = std::uniform_int_distribution<int>(0, 80)(rng);
        const bool ig = rng() % 2;
        for (Alignment a : {Alignment::kJustify, Alignment::kCenter, Alignment::kLeft, Alignment::kRight}) {
            SCOPED_TRACE(testing::Message() << "round " << round << " alignment " << static_cast<int>(a) << " RI "
                                            << right << " LI " << left << " FI " << first << " IG " << ig);
            const std::string out = Format(text, a, right, left, first, ig);
            ASSERT_EQ(Words(out), Words(text));
            if (text.empty()) {
                EXPECT_TRUE(out.empty());
                continue;
            }
            ASSERT_GE(out.size(), 2u);
            EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
            std::size_t start = 0;
            while (start < out.size()) {
                const std::size_t end = out.find("\r\n", start);
                ASSERT_NE(end, std::string::npos);
                const std::string line = out.substr(start, end - start);
                EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
                if (Words(line).size() != 1) {
                    EXPECT_LE(line.size(), static_cast<std::size_t>(right)) << line;
                }
                start = end + 2;
            }
        }
    }
}

} // namespace
