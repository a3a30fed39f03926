// Throughput of the code-page engine on 50 MB of Russian text, next to
// memcpy and glibc iconv on the same buffer, and the cost of the code-page
// guess and of hex strings, and the reading and writing of a 20 MB UTF-8
// file of the same text. `lork2_bench_text FILE` writes the same text to
// FILE for the comparison with external programs.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/charset/convert.h"
#include "core/charset/encodings.h"
#include "core/charset/tables.h"
#include "core/document/detect_code_page.h"
#include "core/search/hex_string.h"
#include "core/text/paragraph.h"
#include "core/unicode/unicode_file.h"

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

// glibc's iconv converting `source` from `from` to `to` in one call.
void RunIconv(benchmark::State& state, const char* from, const char* to, const std::vector<unsigned char>& source) {
    std::vector<char> target(source.size());
    iconv_t cd = iconv_open(to, from);
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

void Iconv866To1251(benchmark::State& state) {
    RunIconv(state, kEncodings[kCodePageOem].iconvName, kEncodings[kCodePageAnsi].iconvName, OemText());
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

// 20 MB of the text as a UTF-8 file (cut at a character), and the same in
// UTF-16 LE.
const std::vector<unsigned char>& Utf8File() {
    static const std::vector<unsigned char> file = [] {
        const std::vector<unsigned char>& text = AnsiText();
        std::vector<unsigned char> f(EncodedUnicodeSize(FileEncoding::Utf8, kCodePageAnsi, text.data(), 20u << 20));
        EncodeUnicodeFileInto(FileEncoding::Utf8, kCodePageAnsi, text.data(), 20u << 20, f.data());
        std::size_t size = 20u << 20;
        while ((f[size] & 0xC0) == 0x80) --size;
        f.resize(size);
        return f;
    }();
    return file;
}

void ReadUtf8File(benchmark::State& state) {
    const std::vector<unsigned char>& file = Utf8File();
    for (auto _ : state) {
        UnicodeReading r = ReadUnicodeFile(file.data(), file.size());
        if (r.encoding != FileEncoding::Utf8) state.SkipWithError("not read as UTF-8");
        benchmark::DoNotOptimize(r.text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(ReadUtf8File)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text of the file written back in pieces of 1 MB through one buffer,
// as a save streams it to disk.
void WriteUnicodeFile(benchmark::State& state, FileEncoding e) {
    const std::vector<unsigned char>& file = Utf8File();
    const UnicodeReading r = ReadUnicodeFile(file.data(), file.size());
    constexpr std::size_t kPiece = 1u << 20;
    std::vector<unsigned char> out(3 * kPiece + 3);
    for (auto _ : state) {
        std::size_t written = 0;
        for (std::size_t at = 0; at < r.text.size(); at += kPiece) {
            const std::size_t n = std::min(kPiece, r.text.size() - at);
            EncodeUnicodeFileInto(e, r.codePage, r.text.data() + at, n, out.data(), at == 0);
            written += EncodedUnicodeSize(e, r.codePage, r.text.data() + at, n, at == 0);
        }
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.text.size()));
}
BENCHMARK_CAPTURE(WriteUnicodeFile, Utf8, FileEncoding::Utf8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteUnicodeFile, Utf16Le, FileEncoding::Utf16Le)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteUnicodeFile, Bytes, FileEncoding::Bytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// glibc's iconv on the same file, for scale.
void IconvUtf8To1251(benchmark::State& state) {
    RunIconv(state, kEncodings[kEncodingUtf8].iconvName, kEncodings[kCodePageAnsi].iconvName, Utf8File());
}
BENCHMARK(IconvUtf8To1251)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
