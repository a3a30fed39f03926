// RTF made ready for the control to read for its plain text.
#include "core/text/rtf_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

std::string Prepared(const std::string& rtf, bool* marked = nullptr) {
    const PreparedRtf p = PrepareRtfForPlainText(U(rtf), rtf.size());
    if (marked) *marked = p.marked;
    return std::string(p.bytes.begin(), p.bytes.end());
}

TEST(RtfText, LineBreaksBecomeParagraphsAndTheLastOneIsMarked) {
    bool marked = false;
    EXPECT_EQ(Prepared("{\\rtf1 a\\line b\\par}", &marked), "{\\rtf1 a\\par b\\par{x}}");
    EXPECT_TRUE(marked);
    // Only the outer group's brace takes the marker; what follows it stays.
    EXPECT_EQ(Prepared("{\\rtf1{\\b a}\\line\\line c}\r\n"), "{\\rtf1{\\b a}\\par\\par c{x}}\r\n");
    // A parameter of \line goes with it; words that only begin so stay.
    EXPECT_EQ(Prepared("{\\rtf1 \\line0 a\\lines b\\linebetcol1 c\\linex}"),
              "{\\rtf1 \\par a\\lines b\\linebetcol1 c\\linex{x}}");
}

TEST(RtfText, EscapedCharactersAndBinaryDataAreNoControlWords) {
    // "\\" is a backslash, "\{" and "\}" braces of the text.
    EXPECT_EQ(Prepared("{\\rtf1 \\\\line \\{ \\} a}"), "{\\rtf1 \\\\line \\{ \\} a{x}}");
    EXPECT_EQ(Prepared("{\\rtf1 \\'7d\\line}"), "{\\rtf1 \\'7d\\par{x}}");
    // The data of \binN is N bytes whatever they are.
    const std::string bin = std::string("{\\rtf1 {\\bin4 }\\l\0}\\line}", 25);
    EXPECT_EQ(Prepared(bin), std::string("{\\rtf1 {\\bin4 }\\l\0}\\par{x}}", 27));
    // A count beyond the end takes the rest.
    EXPECT_EQ(Prepared("{\\rtf1 \\bin99 }}"), "{\\rtf1 \\bin99 }}");
}

TEST(RtfText, AnRtfThatNeverClosesIsLeftUnmarked) {
    bool marked = true;
    EXPECT_EQ(Prepared("{\\rtf1 a\\par", &marked), "{\\rtf1 a\\par");
    EXPECT_FALSE(marked);
    EXPECT_EQ(Prepared("", &marked), "");
    EXPECT_FALSE(marked);
    EXPECT_EQ(Prepared("{\\rtf1 a\\", &marked), "{\\rtf1 a\\");
    EXPECT_FALSE(marked);
}

TEST(RtfText, TheMarkerComesOffThePlainTextOnly) {
    EXPECT_EQ(PlainTextLengthWithoutMarker(U("ab\r\nx"), 5, true), 4u);
    EXPECT_EQ(PlainTextLengthWithoutMarker(U("ab"), 2, true), 2u);
    EXPECT_EQ(PlainTextLengthWithoutMarker(U("abx"), 3, false), 3u);
    EXPECT_EQ(PlainTextLengthWithoutMarker(U(""), 0, true), 0u);
    EXPECT_TRUE(LooksLikeRtf(U("{\\rtf1}"), 7));
    EXPECT_FALSE(LooksLikeRtf(U("{\\rt"), 4));
    EXPECT_FALSE(LooksLikeRtf(U("plain {\\rtf"), 11));
}

} // namespace
