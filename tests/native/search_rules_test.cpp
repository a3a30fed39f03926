#include "core/search/search_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/editor/byte_find.h"

namespace {

using Text = std::string;

const unsigned char* U(const Text& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

// The find primitive over a byte string, counting its calls.
struct Finder {
    const Text* text;
    Text needle;
    unsigned flags = 0;
    int cp = 0;
    int calls = 0;
    int32_t operator()(int32_t first, int32_t last) {
        ++calls;
        return static_cast<int32_t>(FindInView(U(*text), text->size(), first, last, U(needle), needle.size(), flags, cp));
    }
};

// Every occurrence lying wholly before `bound`, the last one: by looking at
// every start.
int32_t LastBeforeByScan(const Text& text, const Text& needle, unsigned flags, int32_t bound) {
    int32_t last = -1;
    for (int32_t s = 0; s + static_cast<int32_t>(needle.size()) <= bound; ++s)
        if (FindInView(U(text), text.size(), s, s + needle.size(), U(needle), needle.size(), flags, 0) == s) last = s;
    return last;
}

TEST(SearchPositionRules, DownwardFollowsTheLaterOfLastMatchAndCaret) {
    // Caret moved back before the last match: go on after the match.
    EXPECT_EQ(DownwardStart(20, 5, false), 20);
    // Caret moved forward past it: go on from the caret.
    EXPECT_EQ(DownwardStart(20, 30, false), 30);
    // Whole text: the caret does not count.
    EXPECT_EQ(DownwardStart(20, 30, true), 20);
    EXPECT_EQ(DownwardStart(0, 30, true), 0);
    // After a step that found nothing: from the start of the text, or from
    // the caret when it is later; never from -1.
    EXPECT_EQ(DownwardStart(kNoSearchPosition, 0, true), 0);
    EXPECT_EQ(DownwardStart(kNoSearchPosition, 7, true), 0);
    EXPECT_EQ(DownwardStart(kNoSearchPosition, 7, false), 7);
}

TEST(SearchPositionRules, UpwardLooksBelowTheEarlierOfLastMatchAndCaret) {
    EXPECT_EQ(UpwardBound(20, 30, false, 100), 20);
    EXPECT_EQ(UpwardBound(20, 5, false, 100), 5);
    EXPECT_EQ(UpwardBound(20, 5, true, 100), 20);
    // After a step that found nothing: from the end of the text (below the
    // caret without whole text), never below -1.
    EXPECT_EQ(UpwardBound(kNoSearchPosition, 40, true, 100), 100);
    EXPECT_EQ(UpwardBound(kNoSearchPosition, 40, false, 100), 40);
    // A position past a text that has since become shorter.
    EXPECT_EQ(UpwardBound(150, 40, true, 100), 100);
    EXPECT_EQ(UpwardBound(0, 40, false, 100), 0);
}

TEST(UpwardSearch, LastOccurrenceWhollyBeforeTheBound) {
    const Text text = "abc xabc abcabc";
    Finder find{&text, "abc"};
    EXPECT_EQ(FindLastBefore(std::ref(find), 15, 3, 4), 12);
    EXPECT_EQ(FindLastBefore(std::ref(find), 14, 3, 4), 9);  // 12 does not end before 14
    EXPECT_EQ(FindLastBefore(std::ref(find), 12, 3, 4), 9);  // ends exactly at the bound
    EXPECT_EQ(FindLastBefore(std::ref(find), 3, 3, 4), 0);
    EXPECT_EQ(FindLastBefore(std::ref(find), 2, 3, 4), -1);
    EXPECT_EQ(FindLastBefore(std::ref(find), 0, 3, 4), -1); // caret at the start: nothing
    Finder missing{&text, "zz"};
    EXPECT_EQ(FindLastBefore(std::ref(missing), 15, 2, 4), -1);
}

TEST(UpwardSearch, OverlappingOccurrencesNeverStartAtOrAfterTheBound) {
    // A doubled letter in a run of four, the bound inside the run.
    const Text text = "xaaaay";
    Finder find{&text, "aa"};
    for (int32_t bound = 0; bound <= 6; ++bound)
        EXPECT_EQ(FindLastBefore(std::ref(find), bound, 2, 1), LastBeforeByScan(text, "aa", 0, bound)) << bound;
    EXPECT_EQ(FindLastBefore(std::ref(find), 4, 2, 1), 2);
    EXPECT_EQ(FindLastBefore(std::ref(find), 3, 2, 1), 1);
}

TEST(UpwardSearch, AgreesWithAScanOnRandomTexts) {
    std::mt19937 rng(5);
    const Text alphabet = "aAb ";
    for (int round = 0; round < 3000; ++round) {
        Text text(rng() % 40, ' ');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        Text needle(1 + rng() % 3, ' ');
        for (char& c : needle) c = alphabet[rng() % 3];
        const unsigned flags = (rng() % 2 ? kFindWholeWord : 0u) | (rng() % 2 ? kFindMatchCase : 0u);
        Finder find{&text, needle, flags};
        const int32_t bound = static_cast<int32_t>(rng() % (text.size() + 1));
        const int32_t window = 1 + static_cast<int32_t>(rng() % 8);
        ASSERT_EQ(FindLastBefore(std::ref(find), bound, static_cast<int32_t>(needle.size()), window),
                  LastBeforeByScan(text, needle, flags, bound))
            << "text '" << text << "' needle '" << needle << "' bound " << bound << " flags " << flags;
    }
}

TEST(UpwardSearch, CostsLogarithmicallyManyFinds) {
    Text text(1 << 20, 'x');
    for (size_t i = 0; i < text.size(); i += 1000) text.replace(i, 3, "abc");
    Finder find{&text, "abc"};
    EXPECT_EQ(FindLastBefore(std::ref(find), static_cast<int32_t>(text.size()), 3, 64), 1048000);
    EXPECT_LE(find.calls, 40);
    Finder once{&text, "abc"};
    text.replace(1000, 3, "abc");
    EXPECT_EQ(FindLastBefore(std::ref(once), 1003, 3, 64), 1000);
    EXPECT_LE(once.calls, 20);
}

// A text read as the editor reads its control: pieces copied out, counted.
struct Reader {
    const Text* text;
    int reads = 0;
    int64_t bytes = 0;
    int32_t operator()(int32_t first, int32_t last, unsigned char* out) {
        ++reads;
        last = std::min<int32_t>(last, static_cast<int32_t>(text->size()));
        if (first >= last) return 0;
        memcpy(out, text->data() + first, static_cast<size_t>(last - first));
        bytes += last - first;
        return last - first;
    }
};

TEST(UpwardSearch, ReadingWindowsFindsWhatTheScanFinds) {
    std::mt19937 rng(11);
    const Text alphabet = "aAb \r\n";
    for (int round = 0; round < 4000; ++round) {
        Text text(rng() % 60, ' ');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        Text needle(1 + rng() % 3, ' ');
        for (char& c : needle) c = alphabet[rng() % 4];
        const unsigned flags = (rng() % 2 ? kFindWholeWord : 0u) | (rng() % 2 ? kFindMatchCase : 0u);
        Reader reader{&text};
        const int32_t bound = static_cast<int32_t>(rng() % (text.size() + 1));
        const int32_t window = 1 + static_cast<int32_t>(rng() % 8);
        const SearchQuery query{U(needle), static_cast<int32_t>(needle.size()), flags, 0};
        ASSERT_EQ(FindLastBeforeByReading(std::ref(reader), static_cast<int32_t>(text.size()), bound, query, window),
                  LastBeforeByScan(text, needle, flags, bound))
            << "text '" << text << "' needle '" << needle << "' bound " << bound << " flags " << flags;
    }
}

TEST(UpwardSearch, AMatchNearTheBoundCostsOneSmallRead) {
    // 20 MB of text with the match 200 bytes above the caret, as Find next
    // upward meets it: one read of the first window, whatever the text's size.
    Text text(20 << 20, 'x');
    const int32_t caret = 15 << 20;
    text.replace(caret - 200, 4, "word");
    text.replace(1000, 4, "word");
    Reader reader{&text};
    const Text needle = "word";
    const SearchQuery query{U(needle), 4, 0, 0};
    EXPECT_EQ(FindLastBeforeByReading(std::ref(reader), static_cast<int32_t>(text.size()), caret, query, 64 * 1024),
              caret - 200);
    EXPECT_EQ(reader.reads, 1);
    EXPECT_LE(reader.bytes, 64 * 1024 + 2);
    // Far above: a read per window, each window read once.
    Reader far{&text};
    EXPECT_EQ(FindLastBeforeByReading(std::ref(far), static_cast<int32_t>(text.size()), caret - 300, query, 64 * 1024),
              1000);
    EXPECT_LE(far.reads, 8);
    // Whole word: a match glued to a letter does not count.
    text.replace(caret - 200, 4, "xord");
    text.replace(caret - 1000, 6, " word ");
    Reader word{&text};
    const SearchQuery whole{U(needle), 4, kFindWholeWord, 0};
    EXPECT_EQ(FindLastBeforeByReading(std::ref(word), static_cast<int32_t>(text.size()), caret, whole, 64 * 1024),
              caret - 999);
}

// The replace run as the editor makes it without prompt: a step finds the
// next match by the position rules, selects it and replaces it.
struct StepModel {
    Text text;
    int32_t position;
    int32_t selection; // caret
    int32_t replaced = 0;

    bool Step(const Text& needle, const Text& replacement, unsigned flags, bool upward, bool wholeText) {
        Finder find{&text, needle, flags};
        const auto L = static_cast<int32_t>(needle.size());
        if (!upward) {
            position = find(DownwardStart(position, selection, wholeText), static_cast<int32_t>(text.size()));
        } else {
            const int32_t bound = UpwardBound(position, selection, wholeText, static_cast<int32_t>(text.size()));
            position = FindLastBefore(std::ref(find), bound, L, 16);
        }
        if (position < 0) return false;
        text.replace(position, L, replacement);
        selection = position + static_cast<int32_t>(replacement.size());
        if (!upward) position += static_cast<int32_t>(replacement.size());
        ++replaced;
        return true;
    }
};

void ExpectOnePassLikeSteps(const Text& text, const Text& needle, const Text& replacement, unsigned flags,
                            bool upward, bool wholeText, int32_t position, int32_t caret) {
    StepModel model{text, position, caret};
    while (model.Step(needle, replacement, flags, upward, wholeText)) {
    }
    Text scratch = text;
    const SearchQuery query{U(needle), static_cast<int32_t>(needle.size()), flags, 0};
    const auto n = static_cast<int32_t>(text.size());
    const int32_t from =
        upward ? UpwardBound(position, caret, wholeText, n) : DownwardStart(position, caret, wholeText);
    const ReplaceAllOutcome outcome =
        ReplaceAllInOnePass(reinterpret_cast<unsigned char*>(scratch.data()), n, query, U(replacement),
                            static_cast<int32_t>(replacement.size()), upward, from);
    const std::string what = "text '" + text + "' needle '" + needle + "' replacement '" + replacement +
                             "' flags " + std::to_string(flags) + (upward ? " upward" : " downward") + " from " +
                             std::to_string(from);
    ASSERT_EQ(outcome.replaced, model.replaced) << what;
    if (model.replaced == 0) return;
    ASSERT_EQ(Text(outcome.text.begin(), outcome.text.end()), model.text) << what;
    ASSERT_EQ(outcome.caret, model.selection) << what;
}

TEST(ReplaceAllInOnePass, LeavesWhatMatchByMatchLeaves) {
    // Downward: the replacement contains the search text and is not searched again.
    ExpectOnePassLikeSteps("a a a", "a", "aa", 0, false, true, 0, 0);
    // Upward towards the start of the text.
    ExpectOnePassLikeSteps("ab ab ab", "ab", "X", 0, true, true, 8, 0);
    // From the caret, not the whole text.
    ExpectOnePassLikeSteps("ab ab ab", "ab", "", 0, false, false, 3, 3);
    ExpectOnePassLikeSteps("ab ab ab", "ab", "", 0, true, false, 4, 4);
    // Whole words whose neighbours the replacements change: "a" replaced by
    // "b" makes the next "a" part of a word.
    ExpectOnePassLikeSteps("a a", "a", "b", kFindWholeWord, false, true, 0, 0);
    ExpectOnePassLikeSteps("aa", "a", "", kFindWholeWord, false, true, 0, 0);
    ExpectOnePassLikeSteps("a-a-a", "a-", "b", kFindWholeWord, false, true, 0, 0);
    ExpectOnePassLikeSteps("-a-a", "-a", "b", kFindWholeWord, true, true, 4, 4);
    // Overlapping occurrences.
    ExpectOnePassLikeSteps("aaaaa", "aa", "b", 0, false, true, 0, 0);
    ExpectOnePassLikeSteps("aaaaa", "aa", "b", 0, true, true, 5, 0);
    // Nothing there.
    ExpectOnePassLikeSteps("abc", "x", "y", 0, false, true, 0, 0);
}

TEST(ReplaceAllInOnePass, LeavesWhatMatchByMatchLeavesOnRandomTexts) {
    std::mt19937 rng(1251);
    const Text alphabet = "aAb -";
    auto random = [&](size_t maxLength, size_t minLength, size_t letters) {
        Text s(minLength + rng() % (maxLength - minLength + 1), ' ');
        for (char& c : s) c = alphabet[rng() % letters];
        return s;
    };
    for (int round = 0; round < 4000; ++round) {
        const Text text = random(30, 0, alphabet.size());
        const Text needle = random(3, 1, alphabet.size());
        const Text replacement = random(4, 0, alphabet.size());
        const unsigned flags = (rng() % 2 ? kFindWholeWord : 0u) | (rng() % 2 ? kFindMatchCase : 0u);
        const bool upward = rng() % 2;
        const bool wholeText = rng() % 2;
        const int32_t n = static_cast<int32_t>(text.size());
        const int32_t position = static_cast<int32_t>(rng() % (n + 2)) - 1;
        const int32_t caret = static_cast<int32_t>(rng() % (n + 1));
        ExpectOnePassLikeSteps(text, needle, replacement, flags, upward, wholeText, position, caret);
        if (HasFatalFailure()) return;
    }
}

TEST(ReplaceAllInOnePass, HundredThousandMatchesAtOnce) {
    Text text;
    for (int i = 0; i < 100000; ++i) text += "word target ";
    Text scratch = text;
    const Text needle = "target";
    const SearchQuery query{U(needle), 6, kFindWholeWord, 0};
    const ReplaceAllOutcome outcome = ReplaceAllInOnePass(reinterpret_cast<unsigned char*>(scratch.data()),
                                                          static_cast<int32_t>(text.size()), query, U(Text("hit")),
                                                          3, false, 0);
    EXPECT_EQ(outcome.replaced, 100000);
    EXPECT_EQ(outcome.text.size(), text.size() - 300000);
    EXPECT_EQ(outcome.caret, static_cast<int32_t>(outcome.text.size()) - 1);
}

} // namespace
