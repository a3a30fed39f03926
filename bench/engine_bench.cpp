// Throughput of the code-page engine on 50 MB of Russian text, next to
// memcpy and glibc iconv on the same buffer, and the cost of the code-page
// guess and of hex strings. `lork2_bench_text FILE` writes the same text to
// FILE for the comparison with external programs.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/codepage/convert.h"
#include "core/codepage/paragraph.h"
#include "core/codepage/tables.h"
#include "core/document/detect_code_page.h"
#include "core/search/hex_string.h"

#include "bench/bench_text.h"

namespace {

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

BENCHMARK_MAIN();
