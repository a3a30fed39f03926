// The upward search and the one-pass replace all on random texts: the last
// occurrence before a bound is the one a scan of every start finds, with any
// window; the one-pass replace all leaves the text, caret and count a run
// that finds and replaces match after match leaves.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "core/editor/byte_find.h"
#include "core/search/search_rules.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using Text = std::string;

const unsigned char* U(const Text& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

int32_t Find(const Text& text, const Text& needle, unsigned flags, int cp, int32_t first, int32_t last) {
    return static_cast<int32_t>(
        FindInView(U(text), text.size(), static_cast<std::size_t>(first), static_cast<std::size_t>(last), U(needle),
                   needle.size(), flags, cp));
}

int32_t LastBeforeByScan(const Text& text, const Text& needle, unsigned flags, int cp, int32_t bound) {
    int32_t last = -1;
    for (int32_t s = 0; s + static_cast<int32_t>(needle.size()) <= bound; ++s)
        if (Find(text, needle, flags, cp, s, s + static_cast<int32_t>(needle.size())) == s) last = s;
    return last;
}

// Match after match, as the editor runs a replace all with the prompt
// answered "replace" each time.
struct StepModel {
    Text text;
    int32_t position;
    int32_t selection;
    int32_t replaced = 0;

    bool Step(const Text& needle, const Text& replacement, unsigned flags, int cp, bool upward, bool wholeText) {
        const Text& t = text;
        FindFunction find = [&](int32_t first, int32_t last) { return Find(t, needle, flags, cp, first, last); };
        const auto L = static_cast<int32_t>(needle.size());
        const auto n = static_cast<int32_t>(text.size());
        if (!upward) {
            position = find(DownwardStart(position, selection, wholeText), n);
        } else {
            position = FindLastBefore(find, UpwardBound(position, selection, wholeText, n), L, 16);
        }
        if (position < 0) return false;
        text.replace(static_cast<size_t>(position), static_cast<size_t>(L), replacement);
        selection = position + static_cast<int32_t>(replacement.size());
        if (!upward) position += static_cast<int32_t>(replacement.size());
        ++replaced;
        return true;
    }
};

// Bytes from a small alphabet, so that matches are common: letters in both
// cases of the three code pages, a sign, blanks and line ends.
Text Alphabetic(FuzzInput& in, std::size_t most) {
    static const unsigned char kAlphabet[] = {'a', 'A', 'b', ' ', '-', 0xE0, 0xC0, 0xA0, 0x80, '\r', '\n', 0};
    Text s = in.Bytes(most);
    for (char& c : s) c = static_cast<char>(kAlphabet[static_cast<unsigned char>(c) % sizeof kAlphabet]);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in{data, size};
    const unsigned flags = in.Byte() & (kFindWholeWord | kFindMatchCase);
    const int cp = in.Byte() % 3;
    const bool raw = in.Bit();
    const Text needle = raw ? in.Bytes(6) : Alphabetic(in, 4);
    const Text replacement = raw ? in.Bytes(6) : Alphabetic(in, 5);
    const Text text = raw ? in.Bytes(120) : Alphabetic(in, 80);
    if (needle.empty()) return 0;
    const auto n = static_cast<int32_t>(text.size());
    const auto L = static_cast<int32_t>(needle.size());

    // Upward: any bound, any first window.
    const int32_t bound = static_cast<int32_t>(static_cast<unsigned>(in.Int()) % static_cast<unsigned>(n + 1));
    const int32_t window = 1 + static_cast<int32_t>(in.Byte() % 40);
    FindFunction find = [&](int32_t first, int32_t last) {
        if (first < 0 || last > n || first > last) std::abort(); // never outside the text
        return Find(text, needle, flags, cp, first, last);
    };
    if (FindLastBefore(find, bound, L, window) != LastBeforeByScan(text, needle, flags, cp, bound)) std::abort();

    // The position rules stay inside the text.
    const int32_t position = static_cast<int32_t>(static_cast<unsigned>(in.Int()) % static_cast<unsigned>(n + 2)) - 1;
    const int32_t caret = static_cast<int32_t>(static_cast<unsigned>(in.Int()) % static_cast<unsigned>(n + 1));
    const bool upward = in.Bit();
    const bool wholeText = in.Bit();
    const int32_t from = upward ? UpwardBound(position, caret, wholeText, n) : DownwardStart(position, caret, wholeText);
    if (from < 0 || from > n) std::abort();

    // Replace all in one pass against match by match (a replacement holding
    // the search text is not searched again, so the model ends).
    StepModel model{text, position, caret};
    while (model.Step(needle, replacement, flags, cp, upward, wholeText))
        if (model.replaced > 4 * n + 8) std::abort();
    Text scratch = text;
    const SearchQuery query{U(needle), L, flags, cp};
    const ReplaceAllOutcome outcome =
        ReplaceAllInOnePass(reinterpret_cast<unsigned char*>(scratch.data()), n, query, U(replacement),
                            static_cast<int32_t>(replacement.size()), upward, from);
    if (outcome.replaced != model.replaced) std::abort();
    if (model.replaced > 0) {
        if (Text(outcome.text.begin(), outcome.text.end()) != model.text) std::abort();
        if (outcome.caret != model.selection) std::abort();
    }
    return 0;
}
