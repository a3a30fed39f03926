// The rule of what is an HTML tag, shared by the colouring on the screen and
// the marks in print.
#include "core/text/html_tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every tag of the text from `from` on, as "start-end" pairs.
std::string Walk(const std::string& text, size_t from = 0) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::string out;
    for (auto tag = NextHtmlTag(bytes, text.size(), from); tag; tag = NextHtmlTag(bytes, text.size(), tag->end)) {
        if (!out.empty()) out += ' ';
        out += std::to_string(tag->start) + "-" + std::to_string(tag->end);
    }
    return out;
}

TEST(HtmlTags, AnOpeningBracketToTheFirstClosingOne) {
    EXPECT_EQ(Walk("a<b>c</b>d"), "1-4 5-9");
    // A later "<" before the ">" opens the tag afresh; so does each of a run.
    EXPECT_EQ(Walk("<a<b>"), "2-5");
    EXPECT_EQ(Walk("<<<x>"), "2-5");
    // A ">" with no "<" before it, or a second ">", belongs to no tag.
    EXPECT_EQ(Walk("x>y<z>>"), "3-6");
    // Nothing between the brackets is still a tag.
    EXPECT_EQ(Walk("<>"), "0-2");
}

TEST(HtmlTags, NoClosingBracketNoTag) {
    EXPECT_EQ(Walk(""), "");
    EXPECT_EQ(Walk("plain text"), "");
    EXPECT_EQ(Walk("<"), "");
    EXPECT_EQ(Walk("a<b c"), "");
    // Once a "<" finds no ">", none of the "<" after it does either.
    EXPECT_EQ(Walk("<a> <b <c"), "0-3");
    EXPECT_FALSE(NextHtmlTag(nullptr, 0, 0).has_value());
}

TEST(HtmlTags, TagsAtTheEdgesAndNulBytes) {
    EXPECT_EQ(Walk("text<br>"), "4-8");
    EXPECT_EQ(Walk("<p>text"), "0-3");
    // A NUL byte is a byte like any other, inside a tag or out of it.
    EXPECT_EQ(Walk(std::string("<a\0b>\0<c>", 9)), "0-5 6-9");
    EXPECT_EQ(Walk(std::string("\0<\0>", 4)), "1-4");
}

TEST(HtmlTags, TheSearchStartsWhereTheCallerSays) {
    const std::string text = "<a> <b>";
    // From inside a tag: its "<" lies behind, so the next tag is found.
    EXPECT_EQ(Walk(text, 1), "4-7");
    EXPECT_EQ(Walk(text, 4), "4-7");
    EXPECT_EQ(Walk(text, 7), "");
    EXPECT_EQ(Walk(text, 100), "");
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    // The opening is looked for only before `openBefore`; the tag then runs
    // on to its ">".
    EXPECT_FALSE(NextHtmlTag(bytes, text.size(), 1, 4).has_value());
    const auto tag = NextHtmlTag(bytes, text.size(), 1, 5);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->start, 4u);
    EXPECT_EQ(tag->end, 7u);
}

} // namespace
