// Throughput of the code-page engine on 50 MB of Russian text, next to
// memcpy and glibc iconv on the same buffer, and the cost of the code-page
// guess and of hex strings. `lork2_bench --write-text FILE [ansi|oem]` writes
// the same text to FILE for the comparison with external programs.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codepage/convert.h"
#include "codepage/paragraph.h"
#include "codepage/tables.h"
#include "document/detect_code_page.h"
#include "search/hex_string.h"

namespace {

constexpr std::size_t kTextSize = 50u << 20;

// Deterministic Russian prose in CP866: words of a small vocabulary, lines of
// about 60 to 75 columns ending in CR LF, a blank line between paragraphs.
const std::vector<unsigned char>& OemText() {
    static const std::vector<unsigned char> text = [] {
        // In 1251 here, turned into CP866 below.
        const char* vocabulary[] = {"и", "в", "не", "на", "что", "текст", "строка", "редактор", "кодировка",
                                    "перевод", "абзац", "выравнивание", "по", "ширине", "слово", "буква",
                                    "Москва", "документ", "файл", "открыть", "сохранить", "поиск", "замена",
                                    "печать", "страница", "шрифт", "таблица", "символ", "это", "был", "который",
                                    "съешь", "ещё", "этих", "мягких", "французских", "булок", "да", "выпей", "чаю"};
        std::mt19937 rng(866);
        std::vector<unsigned char> t;
        t.reserve(kTextSize + 128);
        std::size_t column = 0;
        int linesInParagraph = 0;
        while (t.size() < kTextSize) {
            const char* w = vocabulary[rng() % (sizeof vocabulary / sizeof *vocabulary)];
            const std::size_t len = std::strlen(w);
            if (column + len + 1 > 60 + rng() % 16) {
                t.push_back('\r');
                t.push_back('\n');
                column = 0;
                if (++linesInParagraph > 3 + static_cast<int>(rng() % 8)) {
                    t.push_back('\r');
                    t.push_back('\n');
                    linesInParagraph = 0;
                }
            } else if (column > 0) {
                t.push_back(rng() % 9 == 0 ? ',' : ' ');
                if (t.back() == ',') t.push_back(' ');
                column += t.back() == ' ' ? 1 : 2;
            }
            t.insert(t.end(), w, w + len);
            column += len;
        }
        t.resize(kTextSize);
        ConvertBytes(t.data(), t.size(), kTableAnsiToOem, kNoTable);
        return t;
    }();
    return text;
}

const std::vector<unsigned char>& AnsiText() {
    static const std::vector<unsigned char> text = [] {
        std::vector<unsigned char> t = OemText();
        ConvertBytes(t.data(), t.size(), kNoTable, kTableOemToAnsi);
        return t;
    }();
    return text;
}

void Convert866To1251(benchmark::State& state) {
    std::vector<unsigned char> buffer = OemText();
    for (auto _ : state) {
        ConvertBytes(buffer.data(), buffer.size(), kNoTable, kTableOemToAnsi);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(Convert866To1251)->Unit(benchmark::kMillisecond)->UseRealTime();

void Memcpy(benchmark::State& state) {
    const std::vector<unsigned char>& source = OemText();
    std::vector<unsigned char> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
}
BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();

void Iconv866To1251(benchmark::State& state) {
    const std::vector<unsigned char>& source = OemText();
    std::vector<char> target(source.size());
    iconv_t cd = iconv_open("CP1251", "CP866");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv_open failed");
        return;
    }
    for (auto _ : state) {
        char* in = const_cast<char*>(reinterpret_cast<const char*>(source.data()));
        char* out = target.data();
        std::size_t inLeft = source.size();
        std::size_t outLeft = target.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
            state.SkipWithError("iconv stopped early");
            break;
        }
        benchmark::DoNotOptimize(target.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
}
BENCHMARK(Iconv866To1251)->Unit(benchmark::kMillisecond)->UseRealTime();

void Format(benchmark::State& state, Alignment alignment) {
    const std::vector<unsigned char>& text = AnsiText();
    ParagraphSettings settings;
    settings.right = 72;
    for (auto _ : state) {
        std::vector<unsigned char> out = FormatParagraphs(text.data(), text.size(), alignment, settings);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
// The same through the sink that the command-line tool uses, into a
// discarding sink: the formatting alone, no large result buffer.
void FormatStream(benchmark::State& state) {
    const std::vector<unsigned char>& text = AnsiText();
    ParagraphSettings settings;
    settings.right = 72;
    std::size_t total = 0;
    auto sink = [](void* context, const unsigned char*, std::size_t n) {
        *static_cast<std::size_t*>(context) += n;
        return true;
    };
    for (auto _ : state) {
        FormatParagraphs(text.data(), text.size(), Alignment::kJustify, settings, sink, &total);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(FormatStream)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_CAPTURE(Format, Justify72, Alignment::kJustify)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Format, Left72, Alignment::kLeft)->Unit(benchmark::kMillisecond)->UseRealTime();

void DetectSample(benchmark::State& state) {
    const std::vector<unsigned char>& text = AnsiText();
    for (auto _ : state) benchmark::DoNotOptimize(DetectCodePage(text.data(), kDetectSampleSize));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDetectSampleSize));
}
BENCHMARK(DetectSample);

void HexField(benchmark::State& state) {
    std::string field;
    for (int i = 0; i < 130; ++i) field += "D8";
    for (auto _ : state) {
        HexBytes h = ParseHexString(field);
        benchmark::DoNotOptimize(h);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * field.size()));
}
BENCHMARK(HexField);

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--write-text") == 0) {
        const bool oem = argc >= 4 && std::strcmp(argv[3], "oem") == 0;
        const std::vector<unsigned char>& text = oem ? OemText() : AnsiText();
        std::FILE* f = std::fopen(argv[2], "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
            std::perror(argv[2]);
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
