#include "core/repair/repair.h"

#include <algorithm>

#include "core/charset/char_map.h"
#include "core/charset/tables.h"
#include "core/unicode/byte_order_mark.h"
#include "core/unicode/unicode_file.h"
#include "core/unicode/utf8.h"
#include "core/repair/encodings.h"
#include "core/repair/seven_bit.h"

using namespace repair;

namespace {

// Decodes a block as `e`, carrying a UTF-8 sequence cut by the block's end
// in `pending`; bytes that do not decode become '?', counted.
void DecodeBlock(int e, Utf8Cut& pending, const unsigned char* p, std::size_t n, bool last, const Tables& t,
                 std::vector<char32_t>& out, std::size_t& bad) {
    out.clear();
    if (e != kEncodingUtf8) {
        out.resize(n);
        for (std::size_t i = 0; i < n; ++i) out[i] = t.decode[e][p[i]];
        return;
    }
    // No more characters than bytes, with those kept from the block before.
    out.resize(n + pending.count);
    char32_t* put = out.data();
    std::size_t count = 0;
    DecodeUtf8Block(pending, p, n, last, [&](char32_t c) {
        if (c == kBadUtf8) {
            ++bad;
            c = U'?';
        }
        put[count++] = c;
    });
    out.resize(count);
}

} // namespace

RepairDecoder::RepairDecoder(const RepairReading& reading, int target) : reading_(reading), target_(target) {
    if (reading_.steps > kRepairMaxSteps) reading_.steps = kRepairMaxSteps;
    if (target_ < 0 || target_ > kEncodingUtf8) target_ = 0;
    ComposeSingleByteSteps();
}

void RepairDecoder::ComposeSingleByteSteps() {
    if (reading_.sevenBit || reading_.steps == 0) return;
    for (int s = 0; s < reading_.steps; ++s)
        if (reading_.step[s].original == kEncodingUtf8) return;
    const Tables& t = GetTables();
    composed_ = true;
    composedWhole_ = reading_.saved != kEncodingUtf8;
    for (int b = 0; b < 256; ++b) {
        const auto first = static_cast<unsigned char>(b);
        char32_t c = composedWhole_ ? t.decode[reading_.saved][first] : t.decode[reading_.step[0].original][first];
        unsigned char substitutes = 0;
        for (int s = composedWhole_ ? 0 : 1; s < reading_.steps; ++s) {
            unsigned char byte = ByteOf(ByteRowOf(t, reading_.step[s].wrong), c);
            if (c >= 0x80 && !byte) {
                byte = '?';
                ++substitutes;
            }
            c = t.decode[reading_.step[s].original][byte];
        }
        composedChar_[b] = c;
        composedSubstitutes_[b] = substitutes;
        if (composedWhole_ && target_ != kEncodingUtf8) {
            std::vector<unsigned char> byte;
            std::size_t lacking = 0;
            EncodeChars(&c, 1, target_, byte, lacking);
            targetByte_[b] = byte[0];
            targetSubstitutes_[b] = static_cast<unsigned char>(lacking);
        }
    }
}

// A '#' ending the block waits for the next: it is ё between letters.
void RepairDecoder::DecodeSevenBit(const unsigned char* data, std::size_t n, bool last) {
    bytes_.clear();
    if (heldHash_) bytes_.push_back('#');
    bytes_.insert(bytes_.end(), data, data + n);
    std::size_t use = bytes_.size();
    heldHash_ = !last && use > 0 && bytes_[use - 1] == '#';
    if (heldHash_) --use;
    Text text;
    SevenBitText(bytes_.data(), use, lastByte_, false, GetTables(), text);
    if (use > 0) lastByte_ = bytes_[use - 1];
    chars_.assign(text.begin(), text.end());
}

// A byte order mark, possibly cut by the first blocks, is dropped; bytes
// that only began like one go on to the decoding.
void RepairDecoder::SkipMark(const unsigned char*& data, std::size_t& n, bool last) {
    if (!atStart_ || reading_.saved != kEncodingUtf8) return;
    constexpr std::size_t kMarkSize = sizeof kUtf8Mark;
    while (n > 0 && markSeen_ < kMarkSize && data[0] == kUtf8Mark[markSeen_]) {
        ++markSeen_;
        ++data;
        --n;
    }
    if (markSeen_ == kMarkSize || n > 0 || last) {
        if (markSeen_ < kMarkSize) {
            std::copy(kUtf8Mark, kUtf8Mark + markSeen_, pending_[0].bytes);
            pending_[0].count = markSeen_;
        }
        atStart_ = false;
    }
}

// Each wrong reading undone: the characters back to the bytes it gave them
// ('?' for one it has none for), read as they were written.
void RepairDecoder::UndoSteps(bool last) {
    const Tables& t = GetTables();
    if (composed_) {
        const ByteRow encode = ByteRowOf(t, reading_.step[0].wrong);
        for (char32_t& c : chars_) {
            unsigned char b = ByteOf(encode, c);
            if (c >= 0x80 && !b) {
                b = '?';
                ++substitutes_;
            }
            c = composedChar_[b];
            substitutes_ += composedSubstitutes_[b];
        }
        return;
    }
    for (int s = 0; s < reading_.steps; ++s) {
        const ByteRow encode = ByteRowOf(t, reading_.step[s].wrong);
        bytes_.resize(chars_.size());
        for (std::size_t i = 0; i < chars_.size(); ++i) {
            unsigned char b = ByteOf(encode, chars_[i]);
            if (chars_[i] >= 0x80 && !b) {
                b = '?';
                ++substitutes_;
            }
            bytes_[i] = b;
        }
        if (RestoresUnassigned(reading_.step[s]) && !bytes_.empty()) {
            RestoreUnassigned(bytes_.data(), bytes_.size(), undoneLast_[s]);
            undoneLast_[s] = bytes_.back();
        }
        DecodeBlock(reading_.step[s].original, pending_[s + 1], bytes_.data(), bytes_.size(), last, t, chars_,
                    substitutes_);
    }
}

const std::vector<char32_t>& RepairDecoder::Decode(const unsigned char* data, std::size_t n, bool last) {
    if (reading_.sevenBit) {
        DecodeSevenBit(data, n, last);
        return chars_;
    }
    if (composedWhole_) {
        chars_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            chars_[i] = composedChar_[data[i]];
            substitutes_ += composedSubstitutes_[data[i]];
        }
        return chars_;
    }
    SkipMark(data, n, last);
    DecodeBlock(reading_.saved, pending_[0], data, n, last, GetTables(), chars_, substitutes_);
    UndoSteps(last);
    return chars_;
}


const std::vector<char32_t>& RepairDecoder::DecodeFrom(const std::vector<char32_t>& saved, std::size_t bad,
                                                        bool last) {
    atStart_ = false;
    chars_.assign(saved.begin(), saved.end());
    substitutes_ += bad;
    UndoSteps(last);
    return chars_;
}

void RepairDecoder::Write(const unsigned char* data, std::size_t n, std::vector<unsigned char>& out,
                          std::size_t& substitutes) const {
    if (!composedWhole_ || target_ == kEncodingUtf8) {
        EncodeChars(chars_.data(), chars_.size(), target_, out, substitutes);
        return;
    }
    const std::size_t base = out.size();
    out.resize(base + n);
    for (std::size_t i = 0; i < n; ++i) {
        out[base + i] = targetByte_[data[i]];
        substitutes += targetSubstitutes_[data[i]];
    }
}

void RepairDecoder::Feed(const unsigned char* data, std::size_t n, bool last, std::vector<unsigned char>& out) {
    Decode(data, n, last);
    Write(data, n, out, substitutes_);
}

std::vector<unsigned char> ApplyRepairReading(const RepairReading& reading, const unsigned char* text,
                                              std::size_t n, int target, std::size_t* substitutes) {
    RepairDecoder decoder(reading, target);
    std::vector<unsigned char> out;
    out.reserve(n);
    decoder.Feed(text, n, true, out);
    if (substitutes) *substitutes = decoder.substitutes();
    return out;
}

int RepairTargetCodePage(const RepairReading& reading, const unsigned char* text, std::size_t n, int display) {
    if (display < 0 || display >= kDisplayCodePageCount) display = kCodePageAnsi;
    // One pass over the result, block by block: the display code pages that
    // hold every character of it.
    constexpr std::size_t kBlock = 64 * 1024;
    RepairDecoder decoder(reading, kEncodingUtf8);
    unsigned held = (1u << kDisplayCodePageCount) - 1;
    std::size_t at = 0;
    do {
        const std::size_t k = std::min(kBlock, n - at);
        for (char32_t c : decoder.Decode(text + at, k, at + k == n)) {
            if (c >= 0x80) held &= DisplayCodePagesHolding(c);
        }
        at += k;
    } while (at < n && held);
    if (held & (1u << display)) return display;
    for (int cp = 0; cp < kDisplayCodePageCount; ++cp)
        if (held & (1u << cp)) return cp;
    return display;
}
