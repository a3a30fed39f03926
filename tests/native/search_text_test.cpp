// GCC 12 at -O2 and above warns of an overlap inside std::string's own
// concatenation (its bug 105651), which the Release build would make an
// error; nothing here copies over itself.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

#include "core/search/search_text.h"

#include <gtest/gtest.h>

#include <string>

#include "core/charset/display_map.h"
#include "core/editor/byte_find.h"

namespace {

const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// Where `typed` (Windows-1251, as the dialog delivers it) is found in
// `shown`, bytes of display code page `cp`.
long Find(const std::string& shown, const std::string& typed, int cp, unsigned flags = 0) {
    const std::string needle = TypedToDisplay(typed, cp);
    return static_cast<long>(FindInView(U(shown), shown.size(), 0, shown.size(), U(needle), needle.size(), flags, cp));
}

// "привет, Ёжик" in each display code page.
const std::string kShown[3] = {
    "\xEF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6\xE8\xEA",  // 1251
    "\xAF\xE0\xA8\xA2\xA5\xE2, \xF0\xA6\xA8\xAA",  // 866
    "\xD0\xD2\xC9\xD7\xC5\xD4, \xB3\xD6\xC9\xCB",  // KOI8-R
};

TEST(SearchTextCodePages, TypedCapitalsFindSmallLettersInEveryDisplay) {
    for (int cp = 0; cp < 3; ++cp) {
        EXPECT_EQ(Find(kShown[cp], "ПРИВЕТ", cp), 0) << cp;
        EXPECT_EQ(Find(kShown[cp], "ёЖИК", cp), 8) << cp;
        EXPECT_EQ(Find(kShown[cp], "ЁЖИК", cp), 8) << cp;
        // With match case the capitals are other letters.
        EXPECT_EQ(Find(kShown[cp], "ПРИВЕТ", cp, kFindMatchCase), -1) << cp;
        EXPECT_EQ(Find(kShown[cp], "привет", cp, kFindMatchCase), 0) << cp;
        // Cyrillic letters are word letters: "ивет" is no whole word, "привет" is.
        EXPECT_EQ(Find(kShown[cp], "ивет", cp, kFindWholeWord), -1) << cp;
        EXPECT_EQ(Find(kShown[cp], "привет", cp, kFindWholeWord), 0) << cp;
    }
}

TEST(SearchTextCodePages, TypedTextAndTheWordAtTheCaretRoundTrip) {
    const std::string typed = "Съешь ещё Ёлку 1";
    for (int cp = 0; cp < 3; ++cp) EXPECT_EQ(DisplayToTyped(TypedToDisplay(typed, cp), cp), typed) << cp;
    EXPECT_EQ(TypedToDisplay("\xEF", 1), "\xAF");      // п
    EXPECT_EQ(TypedToDisplay("\xEF", 2), "\xD0");      // п
    EXPECT_EQ(TypedToDisplay("\xA8", 2), "\xB3");      // Ё
    EXPECT_EQ(TypedToDisplay("\xAB", 1), "<");         // « has no CP866 letter
    EXPECT_EQ(TypedToDisplay("abc\x98", 0), "abc\x98"); // 1251 stays as typed
    // Box drawing of CP866 has no 1251 letter: the tables' approximation.
    EXPECT_EQ(DisplayToTyped("\xC9", 1), "\xE3");
}

TEST(SearchTextWordAtCaret, DropsBlanksAndControlBytesAndCutsAt260) {
    EXPECT_EQ(WordForSearchField("word  ", 0), "word");
    EXPECT_EQ(WordForSearchField("a\tb\r\nc d", 0), "abcd");
    EXPECT_EQ(WordForSearchField(std::string("ab\0cd", 5), 0), "ab");
    EXPECT_EQ(WordForSearchField(" \r\n", 0), "");
    EXPECT_EQ(WordForSearchField(std::string(300, 'x'), 0), std::string(260, 'x'));
    // Shown as 866 or KOI8-R, proposed in 1251 letters.
    EXPECT_EQ(WordForSearchField(kShown[1].substr(0, 6), 1), "привет");
    EXPECT_EQ(WordForSearchField(kShown[2].substr(8), 2), "Ёжик");
}

HistoryEntries Entries(std::initializer_list<const char*> values) {
    HistoryEntries h;
    size_t i = 0;
    for (const char* v : values) h[i++] = v;
    return h;
}

TEST(SearchHistoryUpdate, NewTextMovesToTheTop) {
    // Into an empty history, and on top of two entries.
    EXPECT_EQ(UpdateSearchHistory(HistoryEntries{}, "x"), Entries({"x"}));
    EXPECT_EQ(UpdateSearchHistory(Entries({"b", "a"}), "c"), Entries({"c", "b", "a"}));
    // Entry "5" searched again: to "0"; "0"-"4" move down; "6"-"9" stay.
    const HistoryEntries full = Entries({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    EXPECT_EQ(UpdateSearchHistory(full, "5"), Entries({"5", "0", "1", "2", "3", "4", "6", "7", "8", "9"}));
    // An eleventh distinct text: the oldest falls out.
    EXPECT_EQ(UpdateSearchHistory(full, "new"), Entries({"new", "0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    // Exact comparison: another case is another text.
    EXPECT_EQ(UpdateSearchHistory(Entries({"a", "A"}), "A"), Entries({"A", "a"}));
    EXPECT_EQ(UpdateSearchHistory(Entries({"a", "b"}), "B"), Entries({"B", "a", "b"}));
    // The top entry again changes nothing.
    EXPECT_EQ(UpdateSearchHistory(Entries({"a", "b"}), "a"), Entries({"a", "b"}));
    // The first empty entry stops the shift: what lies beyond it stays.
    HistoryEntries gap = Entries({"a", "b"});
    gap[3] = "c";
    HistoryEntries expected = Entries({"c", "a", "b"});
    expected[3] = "c";
    EXPECT_EQ(UpdateSearchHistory(gap, "c"), expected);
}

} // namespace
