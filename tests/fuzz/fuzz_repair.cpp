// The text repair on random bytes: there is always a reading, the readings
// are distinct and best first, the block-wise decoder cut anywhere gives the
// whole result, no output outgrows four bytes per input byte, and text with
// nothing above ASCII comes out unchanged unless its KOI8-R reading won.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/repair/repair.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in{data, size};
    const int target = in.Byte() % 6;
    const int asItStands = static_cast<int>(in.Byte() % 7) - 1;
    const std::size_t cut = in.Byte();
    const std::size_t count = in.Byte() % 8 + 1;
    const unsigned char* text = in.data;
    const std::size_t n = in.size;

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
