#include "core/print/page_layout_core.h"
#include "core/text/html_tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every character 10 units wide, lines 20 high, tab stops every 80.
LayoutMetrics Metrics(int32_t charWidth = 10, int32_t lineHeight = 20, int32_t tab = 80) {
    LayoutMetrics m{};
    for (int32_t& a : m.advance) a = charWidth;
    m.lineHeight = lineHeight;
    m.tabWidth = tab;
    return m;
}

const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// The shown text of each line of a page laid out of the whole string.
std::vector<std::string> Lines(const std::string& text, int32_t width, const LayoutMetrics& m = Metrics(),
                               int32_t height = 1 << 30) {
    LaidPage page = LayOutPage(U(text), text.size(), m, width, height);
    std::vector<std::string> out;
    for (const LaidLine& line : page.lines) out.push_back(text.substr(line.start, line.end - line.start));
    return out;
}

using Strings = std::vector<std::string>;

TEST(PageLayout, WrapsAtBlanksAndBreaksWordsLongerThanALine) {
    // 10 characters a line.
    EXPECT_EQ(Lines("one two three four", 100), (Strings{"one two ", "three four"}));
    EXPECT_EQ(Lines("abcdefghijklmnopqrstuvwxy", 100), (Strings{"abcdefghij", "klmnopqrst", "uvwxy"}));
    // A long word after a short one moves to its own line, then breaks.
    EXPECT_EQ(Lines("ab abcdefghijklm", 100), (Strings{"ab ", "abcdefghij", "klm"}));
    // Blanks hang past the edge instead of starting a line.
    EXPECT_EQ(Lines("abcdefghij     x", 100), (Strings{"abcdefghij     ", "x"}));
    // Exactly full fits.
    EXPECT_EQ(Lines("abcdefghij", 100), (Strings{"abcdefghij"}));
    // Widths of their own per character.
    LayoutMetrics m = Metrics();
    m.advance['W'] = 40;
    EXPECT_EQ(Lines("WW i WWW", 100, m), (Strings{"WW i ", "WW", "W"}));
    EXPECT_EQ(Lines("WW ii", 100, m), (Strings{"WW ", "ii"}));
}

TEST(PageLayout, EachLineEndEndsOneLine) {
    EXPECT_EQ(Lines("a\r\nb\rc\nd", 100), (Strings{"a", "b", "c", "d"}));
    // LF CR is two line ends, so an empty line between.
    EXPECT_EQ(Lines("a\n\rb", 100), (Strings{"a", "", "b"}));
    EXPECT_EQ(Lines("\r\n\r\n", 100), (Strings{"", ""}));
    // A line end right where the line is full adds no empty line.
    EXPECT_EQ(Lines("abcdefghij\r\nk", 100), (Strings{"abcdefghij", "k"}));
    EXPECT_EQ(Lines("", 100), Strings{});
}

TEST(PageLayout, TabsReachTheNextStop) {
    // Stops at 80 and 160: "a" then tab to 80, "b" to 90, tab to 160.
    const std::string text = "a\tb\tc";
    LaidPage page = LayOutPage(U(text), text.size(), Metrics(), 1000, 100);
    ASSERT_EQ(page.lines.size(), 1u);
    int32_t dx[5];
    LineAdvances(U(text), page.lines[0], Metrics(), dx);
    EXPECT_EQ((std::vector<int32_t>(dx, dx + 5)), (std::vector<int32_t>{10, 70, 10, 70, 10}));
    // A tab is a blank: the line may break after it.
    EXPECT_EQ(Lines("abcdefg\tword", 100), (Strings{"abcdefg\t", "word"}));
}

TEST(PageLayout, ARectangleNarrowerThanOneCharacterStillMovesOn) {
    EXPECT_EQ(Lines("abc", 5), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Lines("a b", 0), (Strings{"a ", "b"}));
}

TEST(PageLayout, PagesTakeWholeLinesAndReportTheFirstByteLeft) {
    const std::string text = "l1\r\nl2\r\nl3\r\nl4\r\nl5";
    // Three lines of 20 fit into 70.
    LaidPage page = LayOutPage(U(text), text.size(), Metrics(), 100, 70);
    EXPECT_EQ(page.lines.size(), 3u);
    EXPECT_EQ(page.next, 12u);
    // The rest, laid out from there.
    LaidPage rest = LayOutPage(U(text) + page.next, text.size() - page.next, Metrics(), 100, 70);
    EXPECT_EQ(rest.lines.size(), 2u);
    EXPECT_EQ(rest.next, text.size() - page.next);
    // Not even one line fits: nothing is taken.
    LaidPage none = LayOutPage(U(text), text.size(), Metrics(), 100, 19);
    EXPECT_TRUE(none.lines.empty());
    EXPECT_EQ(none.next, 0u);
}

TEST(PageLayout, ARangeEndsWhereItsViewEnds) {
    // A selection ending between CR and LF: the CR ends the last line.
    const std::string text = "short\r\nand more";
    LaidPage page = LayOutPage(U(text), 6, Metrics(), 1000, 1000);
    ASSERT_EQ(page.lines.size(), 1u);
    EXPECT_EQ(page.lines[0].end, 5u);
    EXPECT_EQ(page.next, 6u);
    // A range ending inside a word takes the word's start only.
    page = LayOutPage(U(text), 10, Metrics(), 1000, 1000);
    ASSERT_EQ(page.lines.size(), 2u);
    EXPECT_EQ(page.lines[1].start, 7u);
    EXPECT_EQ(page.lines[1].end, 10u);
    EXPECT_EQ(page.next, 10u);
}

// The marks of text[first, first + n) ('#' in a tag, '.' not); n -1: to the end.
std::string Tags(const std::string& text, size_t first = 0, size_t n = std::string::npos) {
    if (n == std::string::npos) n = text.size() - first;
    std::string marks(n, '?');
    std::vector<unsigned char> coloured(n, 7);
    MarkHtmlTags(U(text), text.size(), first, n, coloured.data());
    for (size_t i = 0; i < n; ++i) marks[i] = coloured[i] == 1 ? '#' : coloured[i] == 0 ? '.' : '?';
    return marks;
}

TEST(PageLayout, HtmlTagsRunFromTheirOpeningToTheirClosingBracket) {
    EXPECT_EQ(Tags("a<b>c</b>d"), ".###.####.");
    // Of two opening brackets the second starts the tag.
    EXPECT_EQ(Tags("<a<b>"), "..###");
    // No closing bracket: nothing; a closing bracket alone: nothing.
    EXPECT_EQ(Tags("x<y z"), ".....");
    EXPECT_EQ(Tags("x>y"), "...");
    // Tags cut by the view's edges, from what lies before and after it.
    EXPECT_EQ(Tags("<ab>cd", 1), "###..");
    EXPECT_EQ(Tags("ab<cd>", 0, 5), "..###");
    EXPECT_EQ(Tags("<abc>", 1, 3), "###");
    EXPECT_EQ(Tags(">abc>", 1, 3), "...");
    EXPECT_EQ(Tags("<abc<", 1, 3), "...");
    EXPECT_EQ(Tags("<a<bc>", 1, 2), ".#");
}

// A page shows the marks the whole text has there: every view of a text, at
// every start and length, agrees with the screen's walk from tag to tag.
TEST(PageLayout, HtmlMarksOfAnyViewAreThoseOfTheWholeText) {
    const std::string text = std::string("a<b<c>d>>e<f\0g>h<<i><j", 22) + "<k";
    std::string whole(text.size(), '.');
    for (auto tag = NextHtmlTag(U(text), text.size(), 0); tag; tag = NextHtmlTag(U(text), text.size(), tag->end))
        for (size_t i = tag->start; i < tag->end; ++i) whole[i] = '#';
    EXPECT_EQ(whole, "...###....#####..###....");
    for (size_t first = 0; first <= text.size(); ++first)
        for (size_t n = 0; first + n <= text.size(); ++n)
            ASSERT_EQ(Tags(text, first, n), whole.substr(first, n)) << first << " " << n;
}

TEST(PageRects, DefaultMarginsAreOneInchEachSide) {
    // A4 at 300 dpi: 2480 x 3508 dots.
    TwipsRect page = PageRectTwips(2480, 3508, 300, 300);
    EXPECT_EQ(page.right, 11904);
    EXPECT_EQ(page.bottom, 16838);
    TwipsRect print = PrintRectTwips(page, {2500, 2500, 2500, 2500});
    EXPECT_EQ(print.left, 1440);
    EXPECT_EQ(print.top, 1440);
    EXPECT_EQ(print.right, page.right - 1440);
    EXPECT_EQ(print.bottom, page.bottom - 1440);
    EXPECT_EQ(MarginTwips(1000), 576);
}

TEST(PageRects, EachPairOfMarginsNeedsMoreThanAnInchBetween) {
    const TwipsRect page{0, 0, 12240, 15840}; // Letter
    // Too wide for the width: left and right ignored, top and bottom kept.
    TwipsRect r = PrintRectTwips(page, {20000, 1000, 20000, 1000});
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 12240);
    EXPECT_EQ(r.top, 576);
    EXPECT_EQ(r.bottom, 15840 - 576);
    // Exactly one inch left is not enough; one twip more is.
    const int32_t half = (12240 - 1440) / 2 * 2500 / 1440; // 9375 -> 5400 twips each
    EXPECT_EQ(PrintRectTwips(page, {half, 0, half, 0}).left, 0);
    EXPECT_EQ(PrintRectTwips(page, {half - 1, 0, half - 1, 0}).left, (half - 1) * 1440 / 2500);
}

TEST(PageRects, AbsurdMarginsNeitherOverflowNorApply) {
    const TwipsRect page{0, 0, 12240, 15840};
    for (int32_t m : {INT32_MAX, INT32_MIN, -1, 2000000000}) {
        SCOPED_TRACE(m);
        TwipsRect r = PrintRectTwips(page, {m, m, m, m});
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, 12240);
        EXPECT_EQ(r.bottom, 15840);
    }
    // A large left margin with a negative right one cannot sneak through.
    EXPECT_EQ(PrintRectTwips(page, {30000, 0, -25000, 0}).left, 0);
    // Nonsense device numbers give an empty page, not a crash.
    EXPECT_EQ(PageRectTwips(1000, 1000, 0, 0).right, 0);
    EXPECT_EQ(MulDiv64(INT32_MAX, 1440, 1), 0);
    EXPECT_EQ(MulDiv64(-7, 1, 2), -4); // rounds half away from zero
}

} // namespace
