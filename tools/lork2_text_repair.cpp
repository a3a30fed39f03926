#include "lork2_text_repair.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/charset/encodings.h"
#include "core/charset/tables.h"
#include "core/repair/repair.h"
#include "tools/text_stream.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct RepairOptions {
    int target = -1; // --to, else the input's own encoding
    long list = 0; // --list N, 0 without
    std::string file;
};

int ParseRepairOptions(const std::vector<std::string>& args, RepairOptions& o) {
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--to") {
            if (i + 1 >= args.size()) return Usage("--to needs a code page");
            const std::string& name = args[++i];
            o.target = EncodingByCliName(name, kEncodingUtf8);
            if (o.target < 0) return UnknownCodePage(name, kEncodingUtf8);
        } else if (a == "--list") {
            if (i + 1 >= args.size()) return Usage("--list needs a number");
            const std::string& n = args[++i];
            o.list = n.size() <= 3 && n.find_first_not_of("0123456789") == std::string::npos ? std::atol(n.c_str()) : 0;
            if (o.list < 1 || o.list > 100) return Usage("bad number '" + n + "' for --list (1-100)");
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage("unknown option '" + a + "'");
        } else {
            if (haveFile) return Usage("repair: too many arguments");
            o.file = a;
            haveFile = true;
        }
    }
    return 0;
}

bool HasHigh(const Bytes& b) {
    for (unsigned char c : b)
        if (c >= 0x80) return true;
    return false;
}

// The sample the reading is chosen on: the first piece with a byte above
// ASCII (ASCII before it reads the same in every code page, and goes to
// `ascii`, at most about a block of it). --list looks at the first piece
// only. Returns 0 or errno.
int ReadReadingSample(TextInput& input, bool list, Bytes& sample, Bytes& ascii) {
    if (int e = input.ReadFull(sample, kRepairSampleSize)) return e;
    bool end = sample.size() < kRepairSampleSize;
    while (!end && !HasHigh(sample) && !list) {
        ascii.insert(ascii.end(), sample.begin(), sample.end());
        if (int e = input.ReadFull(sample, kRepairSampleSize)) return e;
        end = sample.size() < kRepairSampleSize;
        if (ascii.size() >= kTextBlock) break;
    }
    return 0;
}

// The first line of the repaired sample, at most 60 characters' bytes, with
// control characters as blanks.
std::string Preview(const RepairReading& r, const Bytes& sample, int target) {
    Bytes text = ApplyRepairReading(r, sample.data(), std::min(sample.size(), std::size_t{4096}), target);
    std::string line;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size() && chars < 60; ++i) {
        const unsigned char c = text[i];
        if (c == '\n' && !line.empty()) break;
        line += static_cast<char>(c < 0x20 ? ' ' : c);
        if (target != kEncodingUtf8 || (c & 0xC0) != 0x80) ++chars;
    }
    return line;
}

// --list N: one line per reading, its score, name and first line.
int WriteReadingList(const std::vector<RepairReading>& readings, const Bytes& sample, int target,
                     const std::string& out) {
    TextOutput output(out);
    if (int s = output.Open()) return s;
    for (const RepairReading& r : readings) {
        const std::string line =
            std::to_string(r.score) + "\t" + RepairReadingName(r) + "\t" + Preview(r, sample, target) + "\n";
        output.Write(reinterpret_cast<const unsigned char*>(line.data()), line.size());
    }
    return output.Close(false);
}

} // namespace

int RunRepair(const std::vector<std::string>& args, const std::string& out) {
    RepairOptions o;
    if (int s = ParseRepairOptions(args, o)) return s;
    TextInput input;
    if (int e = input.Open(o.file)) return FileError(input.name(), e);
    Bytes sample;
    Bytes ascii;
    if (int e = ReadReadingSample(input, o.list, sample, ascii)) return FileError(input.name(), e);
    const std::vector<RepairReading> readings =
        FindRepairReadings(sample.data(), sample.size(), -1, o.list ? static_cast<std::size_t>(o.list) : 1);
    // Without --to the text stays in the encoding its bytes are in.
    const int target = o.target >= 0 ? o.target : readings[0].saved;
    if (o.list) return WriteReadingList(readings, sample, target, out);

    // The sample and everything after it go through the decoder; the ASCII
    // before it goes out as it is, unless the reading is KOI8-R without its
    // eighth bit, which a later block cannot be.
    RepairByParts decoder(FindPartReadings(sample.data(), sample.size(), -1, readings[0]), -1, target);
    input.Unread(std::move(sample));

    Bytes result;
    const int status =
        StreamText(input, out, [&](unsigned char* text, std::size_t n, bool end, TextOutput& output) -> std::size_t {
            if (!ascii.empty()) {
                output.Write(ascii.data(), ascii.size());
                ascii = Bytes();
            }
            result.clear();
            decoder.Feed(text, n, end, result);
            output.Write(result.data(), result.size());
            return 0;
        });
    if (status == 0) {
        std::fprintf(stderr, "lork2-text: %s", RepairReadingName(decoder.mostTaken()).c_str());
        if (decoder.changed() && decoder.changed() < decoder.parts())
            std::fprintf(stderr, "; %zu of %zu lines repaired", decoder.changed(), decoder.parts());
        if (decoder.substitutes())
            std::fprintf(stderr, "; %zu substitute%s written", decoder.substitutes(),
                         decoder.substitutes() == 1 ? "" : "s");
        std::fprintf(stderr, "\n");
    }
    return status;
}
