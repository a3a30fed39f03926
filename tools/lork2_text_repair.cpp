#include "lork2_text_repair.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

#include "core/repair/repair.h"
#include "core/codepage/tables.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::size_t kBlock = 1 << 20;

int Usage(const std::string& message) {
    std::fprintf(stderr, "lork2-text: %s (see 'lork2-text --help')\n", message.c_str());
    return 2;
}

int FileError(const std::string& name, int error) {
    std::fprintf(stderr, "lork2-text: %s: %s\n", name.c_str(), std::strerror(error));
    return 1;
}

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f && f != stdin) std::fclose(f);
    }
};

// Appends up to `want` bytes; 0 or errno.
int ReadMore(std::FILE* f, Bytes& into, std::size_t want, bool& end) {
    const std::size_t base = into.size();
    into.resize(base + want);
    std::size_t got = 0;
    while (got < want) {
        const std::size_t n = std::fread(into.data() + base + got, 1, want - got, f);
        got += n;
        if (n == 0) break;
    }
    into.resize(base + got);
    if (std::ferror(f)) return errno ? errno : EIO;
    end = got < want;
    return 0;
}

bool HasHigh(const Bytes& b) {
    for (unsigned char c : b)
        if (c >= 0x80) return true;
    return false;
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
        if (target != kRepairUtf8 || (c & 0xC0) != 0x80) ++chars;
    }
    return line;
}

} // namespace

int RunRepairCommand(const std::vector<std::string>& args, const RepairOutput& output) {
    int target = kCodePageAnsi;
    long list = 0;
    std::string file;
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--to") {
            if (i + 1 >= args.size()) return Usage("--to needs a code page");
            const std::string& name = args[++i];
            const char* names[] = {"ansi", "oem", "koi8", "iso", "mac", "utf8"};
            target = -1;
            for (int k = 0; k < 6; ++k)
                if (name == names[k]) target = k;
            if (target < 0) return Usage("unknown code page '" + name + "' (ansi, oem, koi8, iso, mac or utf8)");
        } else if (a == "--list") {
            if (i + 1 >= args.size()) return Usage("--list needs a number");
            const std::string& n = args[++i];
            list = n.size() <= 3 && n.find_first_not_of("0123456789") == std::string::npos ? std::atol(n.c_str()) : 0;
            if (list < 1 || list > 100) return Usage("bad number '" + n + "' for --list (1-100)");
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage("unknown option '" + a + "'");
        } else {
            if (haveFile) return Usage("repair: too many arguments");
            file = a;
            haveFile = true;
        }
    }

    const bool isStdin = file.empty() || file == "-";
    const std::string name = isStdin ? "standard input" : file;
    std::unique_ptr<std::FILE, FileCloser> in(isStdin ? stdin : std::fopen(file.c_str(), "rb"));
    if (!in) return FileError(name, errno ? errno : EIO);
    struct stat st;
    if (!isStdin && fstat(fileno(in.get()), &st) == 0 && S_ISDIR(st.st_mode)) return FileError(name, EISDIR);

    // The sample the reading is chosen on: the first block with a byte above
    // ASCII (ASCII before it reads the same in every code page).
    Bytes sample;
    bool end = false;
    if (int e = ReadMore(in.get(), sample, kRepairSampleSize, end)) return FileError(name, e);
    Bytes ascii;
    while (!end && !HasHigh(sample) && !list) {
        ascii.insert(ascii.end(), sample.begin(), sample.end());
        sample.clear();
        if (int e = ReadMore(in.get(), sample, kRepairSampleSize, end)) return FileError(name, e);
        if (ascii.size() >= kBlock) break;
    }
    const std::vector<RepairReading> readings =
        FindRepairReadings(sample.data(), sample.size(), -1, list ? static_cast<std::size_t>(list) : 1);

    if (int s = output.open(output.self)) return s;
    if (list) {
        bool ok = true;
        for (const RepairReading& r : readings) {
            std::string line = std::to_string(r.score) + "\t" + RepairReadingName(r) + "\t" +
                               Preview(r, sample, target) + "\n";
            ok = ok && output.write(output.self, reinterpret_cast<const unsigned char*>(line.data()), line.size());
        }
        return output.close(output.self, !ok);
    }

    // Everything after the sample, block by block. Text that was all ASCII
    // so far goes out as it is, unless the reading is KOI8-R without its
    // eighth bit, which a later block cannot be.
    const RepairReading& best = readings[0];
    RepairDecoder decoder(best, target);
    Bytes result;
    bool ok = true;
    if (!ascii.empty()) ok = output.write(output.self, ascii.data(), ascii.size());
    Bytes block = std::move(sample);
    for (;;) {
        result.clear();
        decoder.Feed(block.data(), block.size(), end, result);
        if (ok && !result.empty()) ok = output.write(output.self, result.data(), result.size());
        if (end || !ok) break;
        block.clear();
        if (int e = ReadMore(in.get(), block, kBlock, end)) {
            output.close(output.self, true);
            return FileError(name, e);
        }
    }
    const int status = output.close(output.self, !ok);
    if (status == 0) {
        std::fprintf(stderr, "lork2-text: %s", RepairReadingName(best).c_str());
        if (decoder.substitutes())
            std::fprintf(stderr, "; %zu substitute%s written", decoder.substitutes(),
                         decoder.substitutes() == 1 ? "" : "s");
        std::fprintf(stderr, "\n");
    }
    return status;
}
