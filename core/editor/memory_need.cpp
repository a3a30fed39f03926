#include "core/editor/memory_need.h"

#include <algorithm>
#include <array>

#include "core/charset/display_map.h"

namespace {

// Script classes of the characters as shown. A space joins the run it
// stands in; every other class starts a run of its own. Signs are split
// finer than the control may split them: an estimate on the safe side.
enum Script : unsigned char {
    kSpace,
    kCyrillic,
    kLatin,
    kDigit,
    kAsciiSign,
    kLatinSign,
    kPunctuation,
    kLetterlike,
    kBoxDrawing,
    kOther,
};

Script ScriptOf(char16_t c) {
    if (c == ' ') return kSpace;
    if (c >= '0' && c <= '9') return kDigit;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return kLatin;
    if (c > ' ' && c < 0x7F) return kAsciiSign;
    if (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) return kLatin;
    if (c >= 0xA0 && c <= 0xFF) return kLatinSign;
    if (c >= 0x400 && c <= 0x52F) return kCyrillic;
    if (c >= 0x2000 && c <= 0x206F) return kPunctuation;
    if (c >= 0x2100 && c <= 0x214F) return kLetterlike;
    if (c >= 0x2500 && c <= 0x25FF) return kBoxDrawing;
    return kOther;
}

using ScriptTable = std::array<unsigned char, 256>;

const ScriptTable& ScriptsOf(int cp) {
    static const std::array<ScriptTable, 3> tables = [] {
        std::array<ScriptTable, 3> t{};
        for (int page = 0; page < 3; ++page)
            for (int b = 0; b < 256; ++b) t[page][b] = ScriptOf(DisplayChar(page, static_cast<unsigned char>(b)));
        return t;
    }();
    return tables[static_cast<size_t>(std::clamp(cp, 0, 2))];
}

constexpr unsigned char kNoScript = 0xFF;

} // namespace

TextShape MeasureTextShape(const unsigned char* bytes, size_t n, int cp, bool wordWrap) {
    TextShape shape;
    shape.characters = static_cast<int64_t>(n);
    shape.paragraphs = 1;
    if (!bytes) return shape;
    const ScriptTable& scripts = ScriptsOf(cp);
    unsigned char previous = kNoScript;
    int64_t paragraphStart = 0;
    TextShape::Paragraph paragraph;
    int64_t runStart = 0;
    auto endRun = [&](int64_t end) {
        if (paragraph.runs == 0) return;
        const double length = static_cast<double>(end - runStart);
        paragraph.squaredRunLengths += length * length;
    };
    auto endParagraph = [&](int64_t end) {
        const int64_t length = end - paragraphStart;
        if (wordWrap && length > kWrappedRowCharacters) shape.wrappedRows += (length - 1) / kWrappedRowCharacters;
        endRun(end);
        paragraph.length = length;
        const double work = static_cast<double>(paragraph.runs) * static_cast<double>(length);
        shape.runWork += work;
        shape.squaredRunLengths += paragraph.squaredRunLengths;
        if (length > shape.longest.length) shape.longest = paragraph;
        if (work > static_cast<double>(shape.mostRunWork.runs) * static_cast<double>(shape.mostRunWork.length))
            shape.mostRunWork = paragraph;
        if (paragraph.squaredRunLengths > shape.longestRuns.squaredRunLengths) shape.longestRuns = paragraph;
        paragraph = {};
    };
    for (size_t i = 0; i < n; ++i) {
        const unsigned char b = bytes[i];
        if (b == '\r' || b == '\n') {
            endParagraph(static_cast<int64_t>(i));
            if (b == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i; // CR LF ends one paragraph
            ++shape.paragraphs;
            paragraphStart = static_cast<int64_t>(i) + 1;
            previous = kNoScript;
            continue;
        }
        const unsigned char script = scripts[b];
        if (script == kSpace) continue;
        if (script != previous) {
            if (previous != kNoScript) ++shape.scriptChanges;
            endRun(static_cast<int64_t>(i));
            runStart = static_cast<int64_t>(i);
            ++paragraph.runs;
        }
        previous = script;
    }
    endParagraph(static_cast<int64_t>(n));
    return shape;
}

int64_t ControlMemoryNeed(const TextShape& shape) {
    return std::max<int64_t>(shape.characters, 0) * kControlBytesPerCharacter +
           std::max<int64_t>(shape.paragraphs, 0) * kControlBytesPerParagraph +
           std::max<int64_t>(shape.scriptChanges, 0) * kControlBytesPerScriptChange +
           std::max<int64_t>(shape.wrappedRows, 0) * kControlBytesPerWrappedRow;
}

MemoryNeed JudgeMemory(const TextShape& shape, int64_t extra, int64_t dropped, uint64_t available) {
    const int64_t grows = ControlMemoryNeed(shape) + std::max<int64_t>(extra, 0) -
                          std::max<int64_t>(dropped, 0) * kControlBytesPerCharacter;
    const int64_t need = std::max<int64_t>(grows, 0) + kMemoryReserve;
    return {need, static_cast<uint64_t>(need) <= available};
}

int64_t MegabytesUp(int64_t bytes) { return bytes <= 0 ? 0 : (bytes + (1 << 20) - 1) >> 20; }
