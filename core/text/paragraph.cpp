#include "core/text/paragraph.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// NUL, tab, LF, CR and space, as bits of one mask.
inline bool IsBlank(unsigned char c) { return c <= 0x20 && ((0x100002601ULL >> c) & 1); }

struct Word {
    std::size_t start;
    std::size_t length;
    long columns; // its bytes less those that take no column
};

// The columns of byte `c`.
inline long ColumnsOf(unsigned char c, unsigned char noColumn) { return c == noColumn && noColumn ? 0 : 1; }

// Output through a fixed buffer that is handed to the sink whenever it is
// full; pieces larger than the buffer go to the sink directly.
class Output {
  public:
    // `size` at least 16.
    Output(ByteSink sink, void* context, std::size_t size)
        : sink_(sink), context_(context), size_(size), buffer_(new unsigned char[size]) {}
    bool ok() const { return ok_; }
    void Spaces(long count) {
        if (count > 0 && count <= 16 && size_ - used_ >= 16) {
            for (long i = 0; i < count; ++i) buffer_[used_ + static_cast<std::size_t>(i)] = ' ';
            used_ += static_cast<std::size_t>(count);
            return;
        }
        while (count > 0) {
            if (used_ == size_) Flush();
            const std::size_t part = std::min(static_cast<std::size_t>(count), size_ - used_);
            std::memset(buffer_.get() + used_, ' ', part);
            used_ += part;
            count -= static_cast<long>(part);
        }
    }
    void Copy(const unsigned char* from, std::size_t count) {
        if (count > size_ - used_) {
            Flush();
            if (count >= size_) {
                Send(from, count);
                return;
            }
        }
        if (count <= 16) {
            for (std::size_t i = 0; i < count; ++i) buffer_[used_ + i] = from[i];
        } else {
            std::memcpy(buffer_.get() + used_, from, count);
        }
        used_ += count;
    }
    void LineEnd() {
        if (size_ - used_ < 2) Flush();
        buffer_[used_++] = '\r';
        buffer_[used_++] = '\n';
    }
    void Flush() {
        if (used_) Send(buffer_.get(), used_);
        used_ = 0;
    }

  private:
    void Send(const unsigned char* p, std::size_t n) {
        if (ok_) ok_ = sink_(context_, p, n);
    }
    ByteSink sink_;
    void* context_;
    bool ok_ = true;
    std::size_t size_;
    std::size_t used_ = 0;
    std::unique_ptr<unsigned char[]> buffer_;
};

// The output is handed to the sink in pieces of this size.
constexpr std::size_t kOutputSize = 1 << 16;

bool AppendToVector(void* context, const unsigned char* bytes, std::size_t n) {
    auto* v = static_cast<std::vector<unsigned char>*>(context);
    v->insert(v->end(), bytes, bytes + n);
    return true;
}

// Blanks other than LF: with line ends kept, LF is where runs of blanks stop
// being alike.
inline bool IsRunBlank(unsigned char c, bool keepLineEnds) { return IsBlank(c) && !(keepLineEnds && c == '\n'); }

// The margins of the lines: the right one and the indents of the first and
// the other lines, each indent dropped when it leaves less than 8 columns.
struct Margins {
    long width;
    long indent;
    long firstIndent;
};

Margins MarginsOf(const ParagraphState& state) {
    const ParagraphSettings& settings = state.settings;
    Margins m;
    m.width = std::clamp(settings.right, 1, kMaxRightMargin);
    m.indent = std::max(settings.left, 0);
    m.firstIndent = state.alignment == Alignment::kCenter ? m.indent : std::max(settings.first, 0);
    if (m.indent >= m.width - 8) m.indent = 0;
    if (m.firstIndent >= m.width - 8) m.firstIndent = 0;
    return m;
}

// Gathers into `words` the words from t[k] on that fit in `room` columns,
// joined by single spaces, and one more that passes it (never stepping onto
// the last byte, t[last]). Stops at a paragraph end. Returns where it
// stopped; `letters` counts the words' columns.
std::size_t GatherWords(const unsigned char* t, std::size_t k, std::size_t last, long room, bool keepLineEnds,
                        unsigned char noColumn, std::vector<Word>& words, long& letters) {
    words.clear();
    letters = 0;
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
            long columns = 0;
            for (; k < last && !IsBlank(t[k]); ++k) columns += ColumnsOf(t[k], noColumn);
            words.push_back({start, k - start, columns});
            letters += columns;
        }
    }
    return k;
}

// Writes one line of `words` (`letters` columns) in `room` columns after the
// indent, aligned as `alignment` says; a justified line spreads its free
// columns over the gaps, the first ones one wider, except the last line.
void WriteLine(Output& out, const unsigned char* t, const std::vector<Word>& words, long letters, long room,
               long lineIndent, Alignment alignment, bool lastLine) {
    const long count = static_cast<long>(words.size());
    // An empty line has no joining space to subtract.
    const long free = count == 0 ? room : room - letters - count + 1;
    long lead = 0;
    if (alignment == Alignment::kCenter && free >= 1) lead = free / 2;
    if (alignment == Alignment::kRight && free >= 1) lead = free;
    long gap = 1;
    long wider = 0; // the first `wider` gaps get one space more
    if (alignment == Alignment::kJustify && free > 0 && count > 1 && !lastLine) {
        gap = free / (count - 1) + 1;
        wider = free % (count - 1);
    }
    out.Spaces(lineIndent + lead);
    for (long w = 0; w < count; ++w) {
        if (w > 0) out.Spaces(w <= wider ? gap + 1 : gap);
        out.Copy(t + words[w].start, words[w].length);
    }
    out.LineEnd();
}

// The rest of a word longer than a line, copied as it comes; false when
// the piece ends inside it.
bool GoOnInLongWord(ParagraphState& state, const unsigned char* t, std::size_t n, bool end, Output& out,
                    std::size_t& j) {
    std::size_t k = j;
    while (k < n && !IsBlank(t[k])) ++k;
    out.Copy(t + j, k - j);
    if (k == n && !end) return false;
    out.LineEnd();
    state.inLongWord = false;
    state.skippingBlanks = true;
    j = k;
    return true;
}

// The next line starts after the blanks that follow the last word, up to
// and including a paragraph end: j moves there. False when the blanks run
// to the end of the piece, with `used` the bytes taken (the last blank is
// kept, to go on from there).
bool SkipBlanks(ParagraphState& state, const unsigned char* t, std::size_t n, bool end, bool keepLineEnds,
                std::size_t& j, std::size_t& used) {
    std::size_t p = j;
    bool paragraphEnd = false;
    while (p < n && IsBlank(t[p])) {
        ++p;
        if (keepLineEnds && p < n && t[p] == '\n') {
            ++p;
            paragraphEnd = true;
            break;
        }
    }
    if (p == n && !paragraphEnd && !end) {
        used = p > j ? n - 1 : n;
        return false;
    }
    state.skippingBlanks = false;
    j = p;
    return true;
}

// The last byte of the text, not a blank: the end of the word before it,
// or a one-letter word of its own.
void TakeLastByte(const unsigned char* t, std::size_t j, std::size_t last, unsigned char noColumn,
                  std::vector<Word>& words, long& letters) {
    const long columns = ColumnsOf(t[last], noColumn);
    if (last > j && !IsBlank(t[last - 1]) && !words.empty() && words.back().start + words.back().length == last) {
        ++words.back().length;
        words.back().columns += columns;
    } else {
        words.push_back({last, 1, columns});
    }
    letters += columns;
}

// The lines from the front of t[0..n) as far as the bytes decide them, from
// the place `state` tells. Returns the position from which the next piece
// must go on (n when all is written); with `end` that is always n.
std::size_t FormatLines(ParagraphState& state, const unsigned char* t, std::size_t n, bool end, Output& out,
                        std::vector<Word>& words) {
    const Margins margins = MarginsOf(state);
    const bool keepLineEnds = !state.settings.ignoreLineBreaks;
    if (n == 0) {
        // The text ended in a word longer than a line.
        if (end && state.inLongWord) {
            out.LineEnd();
            state.inLongWord = false;
        }
        return 0;
    }
    const std::size_t last = n - 1; // the scan never steps past the last byte

    std::size_t j = 0;
    for (;;) {
        if (state.inLongWord && !GoOnInLongWord(state, t, n, end, out, j)) return n;
        std::size_t used = 0;
        if (state.skippingBlanks && !SkipBlanks(state, t, n, end, keepLineEnds, j, used)) return used;
        if (j >= n) return n;
        const long lineIndent = state.firstLine ? margins.firstIndent : margins.indent;
        const long room = margins.width - lineIndent;
        long letters = 0;
        const unsigned char noColumn = state.settings.noColumnByte;
        std::size_t k = GatherWords(t, j, last, room, keepLineEnds, noColumn, words, letters);
        const bool overflow = static_cast<long>(words.size()) + letters - 1 > room;
        if (!end && k >= last) {
            // The piece ends before the line is told, unless the line is
            // already too long with the part of its last word that is in.
            if (!overflow || words.empty()) return j;
            if (words.size() == 1) {
                // A word longer than the line, written as it comes.
                out.Spaces(lineIndent);
                state.inLongWord = true;
                state.firstLine = false;
                j = words[0].start;
                continue;
            }
        }
        if (end && k == last && !IsBlank(t[last])) TakeLastByte(t, j, last, noColumn, words, letters);
        // The word that passed the margin goes to the next line, unless it is
        // the only one.
        if (static_cast<long>(words.size()) + letters - 1 > room && words.size() > 1) {
            letters -= words.back().columns;
            k = words.back().start - 1;
            words.pop_back();
        }
        WriteLine(out, t, words, letters, room, lineIndent, state.alignment, k >= last);
        if (!out.ok()) return n;
        state.firstLine = false;
        state.skippingBlanks = true;
        j = !words.empty() ? words.back().start + words.back().length : j;
    }
}

// Moves t[from..n) to the front, each run of alike blanks shortened to its
// first byte: a scan steps over such a run whole, whatever its length.
// Returns the new count.
std::size_t KeepFrom(unsigned char* t, std::size_t from, std::size_t n, bool keepLineEnds) {
    std::size_t w = 0;
    std::size_t i = from;
    while (i < n) {
        if (!IsRunBlank(t[i], keepLineEnds)) {
            t[w++] = t[i++];
            continue;
        }
        const std::size_t run = i;
        while (i < n && IsRunBlank(t[i], keepLineEnds)) ++i;
        t[w++] = t[run];
    }
    return w;
}

} // namespace

std::vector<unsigned char> FormatParagraphs(const unsigned char* text, std::size_t n, Alignment alignment,
                                            const ParagraphSettings& settings) {
    std::vector<unsigned char> out;
    out.reserve(n + n / 8 + 64);
    FormatParagraphs(text, n, alignment, settings, AppendToVector, &out);
    return out;
}

bool FormatParagraphs(const unsigned char* text, std::size_t n, Alignment alignment, const ParagraphSettings& settings,
                      ByteSink sink, void* context) {
    if (n == 0) return true;
    ParagraphState state;
    state.alignment = alignment;
    state.settings = settings;
    Output out(sink, context, kOutputSize);
    std::vector<Word> words;
    FormatLines(state, text, n, true, out, words);
    out.Flush();
    return out.ok();
}

std::size_t FormatParagraphsPiece(ParagraphState& state, unsigned char* text, std::size_t n, bool end, ByteSink sink,
                                  void* context, bool* ok) {
    // Small pieces (a pipe's) need no large buffer.
    Output out(sink, context, std::clamp<std::size_t>(2 * n, 4096, kOutputSize));
    std::vector<Word> words;
    const std::size_t from = FormatLines(state, text, n, end, out, words);
    out.Flush();
    if (!out.ok()) {
        *ok = false;
        return 0;
    }
    return end ? 0 : KeepFrom(text, from, n, !state.settings.ignoreLineBreaks);
}
