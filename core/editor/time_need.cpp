#include "core/editor/time_need.h"

#include "core/app/number_words.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

double SquareTerms(double runWork, double squaredRunLengths, bool wordWrap) {
    return wordWrap ? runWork * kSecondsPerRunCharacterWrapped + squaredRunLengths * kSecondsPerSquaredRunLength
                    : runWork * kSecondsPerRunCharacter;
}

double ParagraphSeconds(const TextShape::Paragraph& p, bool wordWrap) {
    const double length = static_cast<double>(std::max<int64_t>(p.length, 0));
    const double runs = static_cast<double>(std::max<int64_t>(p.runs, 0));
    return length * kSecondsPerParagraphCharacter + SquareTerms(runs * length, p.squaredRunLengths, wordWrap);
}

bool WithinLimits(const TimeNeed& t) {
    return t.paragraphSeconds <= kParagraphSecondsLimit && t.seconds <= kOperationSecondsLimit;
}

// A count's unit after "около": около 1 минуты, 21 минуты, 2 минут, 11 минут.
// After "около" a count takes the genitive: "около 21 минуты", "около 5 минут".
const char* AfterAbout(int64_t n, const char* one, const char* many) { return NounAfter(n, one, many, many); }

// The grouped number and its unit into `out`, cut to `capacity` bytes.
char* Copied(const std::string& text, char* out, int capacity) {
    snprintf(out, static_cast<size_t>(capacity), "%s", text.c_str());
    return out;
}

} // namespace

TimeNeed EstimateTime(const TextShape& shape, bool wordWrap, double slowness) {
    TimeNeed t{};
    t.paragraphLength = shape.longest.length;
    // The costliest paragraph is one of those the measure kept.
    for (const TextShape::Paragraph* p : {&shape.longest, &shape.mostRunWork, &shape.longestRuns}) {
        const double seconds = ParagraphSeconds(*p, wordWrap) * slowness;
        if (seconds > t.paragraphSeconds) {
            t.paragraphSeconds = seconds;
            t.paragraphLength = p->length;
        }
    }
    t.seconds = (static_cast<double>(shape.characters) * kSecondsPerCharacter +
                 static_cast<double>(shape.paragraphs) * kSecondsPerParagraph +
                 static_cast<double>(shape.scriptChanges) * kSecondsPerScriptChange +
                 SquareTerms(shape.runWork, shape.squaredRunLengths, wordWrap)) *
                    slowness +
                t.paragraphSeconds;
    return t;
}

Admission JudgeAdmission(const TextShape& shape, bool wordWrap, int64_t extra, int64_t dropped, uint64_t available,
                         double slowness) {
    TextShape unwrapped = shape;
    unwrapped.wrappedRows = 0;
    const TimeNeed asIs = EstimateTime(shape, wordWrap, slowness);
    const MemoryNeed memory = JudgeMemory(wordWrap ? shape : unwrapped, extra, dropped, available);
    if (WithinLimits(asIs)) {
        if (!memory.fits) return {Verdict::RefuseMemory, asIs, memory};
        return {Verdict::Admit, asIs, memory};
    }
    if (wordWrap) {
        const TimeNeed without = EstimateTime(unwrapped, false, slowness);
        const MemoryNeed less = JudgeMemory(unwrapped, extra, dropped, available);
        if (WithinLimits(without) && less.fits) return {Verdict::AdmitUnwrapped, without, less};
    }
    if (asIs.paragraphSeconds > kParagraphSecondsLimit) return {Verdict::RefuseParagraph, asIs, memory};
    return {Verdict::RefuseTime, asIs, memory};
}

char* DurationWords(double seconds, char* out, int capacity) {
    if (!out || capacity <= 0) return out;
    const double s = std::max(seconds, 1.0);
    int64_t n;
    const char* unit;
    if (s < 90) {
        n = static_cast<int64_t>(std::ceil(s));
        unit = AfterAbout(n, "секунды", "секунд");
    } else if (s < 90 * 60) {
        n = static_cast<int64_t>(std::ceil(s / 60));
        unit = AfterAbout(n, "минуты", "минут");
    } else {
        n = static_cast<int64_t>(std::min(std::ceil(s / 3600), 1e9));
        unit = AfterAbout(n, "часа", "часов");
    }
    return Copied(GroupedNumber(n).append(" ").append(unit), out, capacity);
}

char* MemoryWords(int64_t bytes, char* out, int capacity) {
    if (!out || capacity <= 0) return out;
    const int64_t megabytes = MegabytesUp(bytes);
    if (megabytes < 1024) return Copied(GroupedNumber(megabytes).append(" МБ"), out, capacity);
    return Copied(GroupedNumber((megabytes + 1023) / 1024).append(" ГБ"), out, capacity);
}

