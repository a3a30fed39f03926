// The text repair on random bytes: there is always a reading, the readings
// are distinct and best first, the block-wise decoder cut anywhere gives the
// whole result, no output outgrows four bytes per input byte, and text with
// nothing above ASCII comes out unchanged unless its KOI8-R reading won.
// The same bytes as UTF-16 after a mark, as lork2-text reads it: decoded in
// pieces as whole, and written back unit for unit when no unit was lone.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/repair/repair.h"
#include "core/unicode/utf16.h"
#include "fuzz_input.h"

static void CheckUtf16(const unsigned char* text, std::size_t n, std::size_t step, bool bigEndian) {
    Utf16Decoding whole, cutUp;
    whole.bigEndian = cutUp.bigEndian = bigEndian;
    std::vector<unsigned char> utf8(Utf16ToUtf8Room(n)), pieces, piece;
    utf8.resize(Utf16ToUtf8(whole, text, n, true, utf8.data()));
    for (std::size_t i = 0;; i += step) {
        const std::size_t k = i >= n ? 0 : n - i < step ? n - i : step;
        piece.resize(Utf16ToUtf8Room(k));
        piece.resize(Utf16ToUtf8(cutUp, text + i, k, i + k >= n, piece.data()));
        pieces.insert(pieces.end(), piece.begin(), piece.end());
        if (i + k >= n) break;
    }
    if (pieces != utf8 || cutUp.substitutes != whole.substitutes) std::abort();
    Utf16Encoding back;
    back.bigEndian = bigEndian;
    std::vector<unsigned char> units(Utf8ToUtf16Room(utf8.size()));
    units.resize(Utf8ToUtf16(back, utf8.data(), utf8.size(), true, units.data()));
    if (back.substitutes || (!whole.substitutes && units != std::vector<unsigned char>(text, text + n))) std::abort();
    if (FindRepairReadings(utf8.data(), utf8.size(), -1, 1).empty()) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in{data, size};
    const int target = in.Byte() % 6;
    const int asItStands = static_cast<int>(in.Byte() % 7) - 1;
    const std::size_t cut = in.Byte();
    const std::size_t count = in.Byte() % 8 + 1;
    const unsigned char* text = in.data;
    const std::size_t n = in.size;
    CheckUtf16(text, n, cut % 13 + 1, cut & 0x80);

    const std::vector<RepairReading> readings = FindRepairReadings(text, n, asItStands, count);
    if (readings.empty() || readings.size() > count) std::abort();
    for (std::size_t i = 1; i < readings.size(); ++i)
        if (readings[i].score > readings[i - 1].score) std::abort();
    bool ascii = true;
    for (std::size_t i = 0; i < n; ++i) ascii = ascii && text[i] < 0x80;
    for (const RepairReading& r : readings) {
        if (r.steps > kRepairMaxSteps || RepairReadingName(r).empty() || RepairReadingNameRussian(r).empty()) std::abort();
        std::size_t substitutes = 0;
        const std::vector<unsigned char> whole = ApplyRepairReading(r, text, n, target, &substitutes);
        if (whole.size() > 4 * n) std::abort();
        if (ascii && !r.sevenBit && whole != std::vector<unsigned char>(text, text + n)) std::abort();
        RepairDecoder decoder(r, target);
        std::vector<unsigned char> pieces;
        const std::size_t step = cut % 13 + 1;
        for (std::size_t i = 0; i < n; i += step) {
            const std::size_t k = n - i < step ? n - i : step;
            decoder.Feed(text + i, k, i + k == n, pieces);
        }
        if (n == 0) decoder.Feed(text, 0, true, pieces);
        if (pieces != whole || decoder.substitutes() != substitutes) std::abort();
    }
    // Line by line: the same result in blocks of any size, bounded.
    RepairByParts whole(FindPartReadings(text, n, asItStands, readings[0]), asItStands, target);
    RepairByParts cutUp(FindPartReadings(text, n, asItStands, readings[0]), asItStands, target);
    std::vector<unsigned char> a, b;
    whole.Feed(text, n, true, a);
    const std::size_t step = cut % 13 + 1;
    for (std::size_t i = 0; i < n || i == 0; i += step) {
        const std::size_t k = i >= n ? 0 : n - i < step ? n - i : step;
        cutUp.Feed(text + i, k, i + k >= n, b);
    }
    if (a != b || a.size() > 4 * n || whole.changed() > whole.parts()) std::abort();
    return 0;
}
