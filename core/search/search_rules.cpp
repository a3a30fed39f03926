#include "core/search/search_rules.h"

#include "core/editor/byte_find.h"

#include <algorithm>

namespace {

// The last occurrence inside [known, end), given the occurrence at `known`:
// bisection over the starts still possible, each probe a find over the range
// an occurrence starting there would lie in.
int32_t LastFrom(const FindFunction& find, int32_t known, int32_t end, int32_t length) {
    int32_t lo = known;
    int32_t hi = end - length + 1; // starts from here on do not fit before `end`
    while (hi - lo > 1) {
        const int32_t mid = lo + (hi - lo) / 2;
        const int32_t r = find(mid, hi - 1 + length);
        if (r >= 0) {
            lo = r;
        } else {
            hi = mid;
        }
    }
    return lo;
}

// Marks the seam of a replacement: the byte next to where the search goes on
// becomes the one the replaced text now shows there. Only whether it is a word
// letter matters; a space stands for the end of the text.
unsigned char SeamByte(int available, unsigned char byte) { return available ? byte : ' '; }

} // namespace

int32_t DownwardStart(int32_t position, int32_t selectionStart, bool wholeText) {
    if (position < 0) position = 0;
    if (wholeText || position >= selectionStart) return position;
    return selectionStart;
}

int32_t UpwardBound(int32_t position, int32_t selectionStart, bool wholeText, int32_t textLength) {
    if (position < 0 || position > textLength) position = textLength;
    if (!wholeText) position = std::min(position, selectionStart);
    return std::clamp(position, 0, textLength);
}

int32_t FindLastBefore(const FindFunction& find, int32_t bound, int32_t length, int32_t firstWindow) {
    if (length <= 0 || bound < length) return -1;
    int64_t window = std::max(firstWindow, length);
    int32_t end = bound;
    for (;;) {
        const int32_t start = static_cast<int32_t>(std::max<int64_t>(0, end - window));
        const int32_t first = find(start, end);
        if (first >= 0) return LastFrom(find, first, end, length);
        if (start == 0) return -1;
        // Every start from `start` on is done: the next window ends where an
        // occurrence starting just before it would end.
        end = start - 1 + length;
        window *= 4;
    }
}

int32_t FindLastBeforeByReading(const ReadFunction& read, int32_t textLength, int32_t bound, const SearchQuery& query,
                                int32_t firstWindow) {
    bound = std::clamp(bound, 0, std::max(textLength, 0));
    std::vector<unsigned char> view; // the bytes of [viewStart, viewStart + view.size())
    int32_t viewStart = 0;
    auto find = [&](int32_t first, int32_t last) -> int32_t {
        const int32_t wantStart = std::max(0, first - 1);
        const int32_t wantEnd = std::min(textLength, last + 1);
        const int32_t viewEnd = viewStart + static_cast<int32_t>(view.size());
        if (view.empty() || wantStart < viewStart || wantEnd > viewEnd) {
            // The windows grow away from the bound: a window is read whole the
            // first time it is asked for, and its bisection reads nothing more.
            view.resize(static_cast<size_t>(wantEnd - wantStart));
            const int32_t got = read(wantStart, wantEnd, view.data());
            view.resize(static_cast<size_t>(std::clamp(got, 0, wantEnd - wantStart)));
            viewStart = wantStart;
        }
        const auto to = static_cast<size_t>(std::clamp<int64_t>(int64_t{last} - viewStart, 0, int64_t(view.size())));
        const std::ptrdiff_t found = FindInView(view.data(), view.size(), static_cast<size_t>(first - viewStart), to,
                                                query.needle, static_cast<size_t>(query.length), query.flags,
                                                query.codePage);
        return found >= 0 ? viewStart + static_cast<int32_t>(found) : -1;
    };
    return FindLastBefore(find, bound, query.length, firstWindow);
}

ReplaceAllOutcome ReplaceAllInOnePass(unsigned char* text, int32_t n, const SearchQuery& query,
                                      const unsigned char* replacement, int32_t replacementLength, bool upward,
                                      int32_t from) {
    ReplaceAllOutcome outcome;
    const int32_t L = query.length;
    const int32_t R = replacementLength;
    if (L <= 0 || n < L) return outcome;
    from = std::clamp(from, 0, n);
    auto findIn = [&](int32_t first, int32_t last) -> int32_t {
        const std::ptrdiff_t r = FindInView(text, static_cast<std::size_t>(n), static_cast<std::size_t>(first),
                                            static_cast<std::size_t>(last), query.needle,
                                            static_cast<std::size_t>(L), query.flags, query.codePage);
        return static_cast<int32_t>(r);
    };
    std::vector<int32_t> matches; // starts in the original text, in the order found
    if (!upward) {
        int32_t pos = from;
        for (;;) {
            const int32_t r = findIn(pos, n);
            if (r < 0) break;
            matches.push_back(r);
            pos = r + L;
            // The byte before `pos` is now the replacement's last one, or, when
            // the match was deleted, whatever stood before it.
            const unsigned char before = R > 0 ? replacement[R - 1] : SeamByte(r > 0, r > 0 ? text[r - 1] : 0);
            text[pos - 1] = before;
        }
    } else {
        const FindFunction find = findIn;
        const int32_t window = std::max<int32_t>(256, 4 * L);
        int32_t bound = from;
        for (;;) {
            const int32_t s = FindLastBefore(find, bound, L, window);
            if (s < 0) break;
            matches.push_back(s);
            bound = s;
            // The byte at `s` is now the replacement's first one, or, when the
            // match was deleted, whatever followed it.
            const unsigned char after = R > 0 ? replacement[0] : SeamByte(s + L < n, s + L < n ? text[s + L] : 0);
            text[s] = after;
        }
        std::reverse(matches.begin(), matches.end());
    }
    if (matches.empty()) return outcome;
    // The bytes between the matches were never changed: only bytes inside
    // matches served as seams.
    const int64_t newSize = static_cast<int64_t>(n) + static_cast<int64_t>(matches.size()) * (R - L);
    outcome.text.reserve(static_cast<std::size_t>(newSize));
    int32_t copied = 0;
    for (int32_t m : matches) {
        outcome.text.insert(outcome.text.end(), text + copied, text + m);
        outcome.text.insert(outcome.text.end(), replacement, replacement + R);
        copied = m + L;
    }
    const std::size_t caret = outcome.text.size();
    outcome.text.insert(outcome.text.end(), text + copied, text + n);
    outcome.replaced = static_cast<int32_t>(matches.size());
    // Downward the caret follows the last replacement made, which is the last
    // one in the text; upward it is the first one in the text.
    outcome.caret = upward ? matches.front() + R : static_cast<int32_t>(caret);
    return outcome;
}
