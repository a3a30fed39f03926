#include "codepage/paragraph.h"

#include <algorithm>
#include <cstring>

namespace {

inline bool IsBlank(unsigned char c) { return c == 0x00 || c == 0x09 || c == 0x0A || c == 0x0D || c == 0x20; }

struct Word {
    std::size_t start;
    std::size_t length;
};

// The output grows line by line; before a line is written its largest
// possible size is reserved, so the writes below never pass the end.
class Output {
  public:
    void Reserve(std::size_t extra) {
        if (bytes_.size() - used_ < extra) bytes_.resize(std::max(bytes_.size() * 2, used_ + extra));
    }
    void Spaces(long count) {
        if (count <= 0) return;
        std::memset(bytes_.data() + used_, ' ', static_cast<std::size_t>(count));
        used_ += static_cast<std::size_t>(count);
    }
    void Copy(const unsigned char* from, std::size_t count) {
        std::memcpy(bytes_.data() + used_, from, count);
        used_ += count;
    }
    void LineEnd() {
        bytes_[used_++] = '\r';
        bytes_[used_++] = '\n';
    }
    std::vector<unsigned char> Take() {
        bytes_.resize(used_);
        return std::move(bytes_);
    }

  private:
    std::vector<unsigned char> bytes_;
    std::size_t used_ = 0;
};

} // namespace

std::vector<unsigned char> FormatParagraphs(const unsigned char* t, std::size_t n, Alignment alignment,
                                            const ParagraphSettings& settings) {
    if (n == 0) return {};
    const long width = std::clamp(settings.right, 1, kMaxRightMargin);
    long indent = std::max(settings.left, 0);
    long firstIndent = alignment == Alignment::kCenter ? indent : std::max(settings.first, 0);
    if (indent >= width - 8) indent = 0;
    if (firstIndent >= width - 8) firstIndent = 0;
    const bool keepLineEnds = !settings.ignoreLineBreaks;
    const std::size_t last = n - 1; // the scan never steps past the last byte

    Output out;
    out.Reserve(n + n / 4 + 64);
    std::vector<Word> words;
    std::size_t j = 0;
    bool firstLine = true;
    while (j < n) {
        const long lineIndent = firstLine ? firstIndent : indent;
        const long room = width - lineIndent;

        // Gather the words that fit, joined by single spaces.
        words.clear();
        long letters = 0;
        std::size_t k = j;
        while (k < last && static_cast<long>(words.size()) + letters - 1 <= room) {
            bool paragraphEnd = false;
            while (k < last && IsBlank(t[k])) {
                ++k;
                if (keepLineEnds && t[k] == '\n') {
                    paragraphEnd = true;
                    break;
                }
            }
            if (paragraphEnd) break;
            if (k < last) {
                const std::size_t start = k;
                while (k < last && !IsBlank(t[k])) ++k;
                words.push_back({start, k - start});
                letters += static_cast<long>(k - start);
            }
        }
        // The last byte of the text: the end of the word before it, or a
        // one-letter word of its own.
        if (k == last && !IsBlank(t[last])) {
            if (k > j && !IsBlank(t[k - 1]) && !words.empty() && words.back().start + words.back().length == k) {
                ++words.back().length;
            } else {
                words.push_back({last, 1});
            }
            ++letters;
        }
        // The word that passed the margin goes to the next line, unless it is
        // the only one.
        if (static_cast<long>(words.size()) + letters - 1 > room && words.size() > 1) {
            letters -= static_cast<long>(words.back().length);
            k = words.back().start - 1;
            words.pop_back();
        }
        const long count = static_cast<long>(words.size());
        // An empty line has no joining space to subtract.
        const long free = count == 0 ? room : room - letters - count + 1;
        const bool lastLine = k >= last;

        long lead = 0;
        if (alignment == Alignment::kCenter && free >= 1) lead = free / 2;
        if (alignment == Alignment::kRight && free >= 1) lead = free;
        long gap = 1;
        long wider = 0; // the first `wider` gaps get one space more
        if (alignment == Alignment::kJustify && free > 0 && count > 1 && !lastLine) {
            gap = free / (count - 1) + 1;
            wider = free % (count - 1);
        }

        out.Reserve(static_cast<std::size_t>(lineIndent + lead + letters + (count > 1 ? (count - 1) * gap + wider : 0)) + 2);
        out.Spaces(lineIndent);
        out.Spaces(lead);
        for (long w = 0; w < count; ++w) {
            if (w > 0) out.Spaces(w <= wider ? gap + 1 : gap);
            out.Copy(t + words[w].start, words[w].length);
        }
        out.LineEnd();

        // The next line starts after the blanks that follow the last word,
        // up to and including a paragraph end.
        std::size_t p = count > 0 ? words.back().start + words.back().length : j;
        while (p < n && IsBlank(t[p])) {
            ++p;
            if (keepLineEnds && p < n && t[p] == '\n') {
                ++p;
                break;
            }
        }
        j = p;
        firstLine = false;
    }
    return out.Take();
}
