#include "lork2_text_repair.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/charset/encodings.h"
#include "core/charset/tables.h"
#include "core/repair/repair.h"
#include "core/unicode/byte_order_mark.h"
#include "core/unicode/utf16.h"
#include "tools/text_stream.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct RepairOptions {
    int target = -1; // --to, else the input's own encoding
    long list = 0; // --list N, 0 without
    bool inPlace = false;
    std::vector<std::string> files; // none: standard input
};

int ParseRepairOptions(const std::vector<std::string>& args, RepairOptions& o) {
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
        } else if (a == "--in-place") {
            o.inPlace = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage("unknown option '" + a + "'");
        } else {
            o.files.push_back(a);
        }
    }
    if (o.inPlace) {
        if (o.list) return Usage("--in-place writes no list; leave out one of them");
        if (o.files.empty()) return Usage("--in-place needs FILE: standard input cannot be rewritten");
        for (const std::string& f : o.files)
            if (IsStandardInput(f)) return Usage("--in-place cannot rewrite standard input ('-')");
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

bool IsUtf16(ByteOrderMark mark) { return mark == ByteOrderMark::Utf16Le || mark == ByteOrderMark::Utf16Be; }

// A reading's name for a file: UTF-16 is decoded to UTF-8 before the
// readings are looked for, so a reading that ends in UTF-8 ends in the
// file's own UTF-16.
std::string ReadingName(const RepairReading& r, ByteOrderMark mark) {
    std::string name = RepairReadingName(r);
    const std::string utf8 = kEncodings[kEncodingUtf8].readingName;
    if (IsUtf16(mark) && !r.sevenBit && r.saved == kEncodingUtf8 && name.size() >= utf8.size() &&
        name.compare(name.size() - utf8.size(), utf8.size(), utf8) == 0)
        name.replace(name.size() - utf8.size(), utf8.size(), mark == ByteOrderMark::Utf16Le ? "utf16le" : "utf16be");
    return name;
}

void WriteLine(TextOutput& output, const std::string& line) {
    output.Write(reinterpret_cast<const unsigned char*>(line.data()), line.size());
}

// --list N: one line per reading, its score, name and first line.
void WriteReadingList(const std::vector<RepairReading>& readings, ByteOrderMark mark, const Bytes& sample,
                      int target, TextOutput& output) {
    for (const RepairReading& r : readings)
        WriteLine(output,
                  std::to_string(r.score) + "\t" + ReadingName(r, mark) + "\t" + Preview(r, sample, target) + "\n");
}

// The repaired text on its way out, after `mark` (None for none): as it
// is, or written as UTF-16 with a UTF-16 mark.
class RepairedOutput {
  public:
    RepairedOutput(TextOutput& output, ByteOrderMark mark) : output_(output) {
        utf16_ = IsUtf16(mark);
        encoding_.bigEndian = mark == ByteOrderMark::Utf16Be;
        if (mark != ByteOrderMark::None) Write(kUtf8Mark, sizeof kUtf8Mark, false);
    }
    void Write(const unsigned char* p, std::size_t n, bool end) {
        if (!utf16_) {
            output_.Write(p, n);
            return;
        }
        units_.resize(Utf8ToUtf16Room(n));
        output_.Write(units_.data(), Utf8ToUtf16(encoding_, p, n, end, units_.data()));
    }

  private:
    TextOutput& output_;
    bool utf16_ = false;
    Utf16Encoding encoding_;
    Bytes units_;
};

// Reads the byte order mark the input starts with, if any; other bytes are
// handed out again. Returns 0 or errno.
int TakeMark(TextInput& input, ByteOrderMark& mark) {
    Bytes head;
    if (int e = input.ReadFull(head, 2)) return e;
    mark = FindByteOrderMark(head.data(), head.size());
    if (mark != ByteOrderMark::None) return 0; // a UTF-16 mark: what follows is its text
    if (head.size() == 2 && head[0] == kUtf8Mark[0] && head[1] == kUtf8Mark[1]) {
        Bytes third;
        if (int e = input.ReadFull(third, 1)) return e;
        head.insert(head.end(), third.begin(), third.end());
        mark = FindByteOrderMark(head.data(), head.size());
    }
    if (mark == ByteOrderMark::None) input.Unread(std::move(head));
    return 0;
}

// What the repair of one file came to.
struct FileRepair {
    int status = 0;         // 0, or 1 after the message
    bool repaired = false;  // a line was not left as it stands
};

// The reading most lines took, on standard error, and how many lines were
// repaired when not all; `leftAsItStands` for a file --in-place keeps.
void ReportRepair(const std::string& prefix, const RepairByParts& decoder, ByteOrderMark mark, bool leftAsItStands,
                  std::size_t utf16Substitutes) {
    std::string message = std::string("lork2-text: ") + prefix + ReadingName(decoder.mostTaken(), mark);
    if (leftAsItStands) {
        message += ", left as it stands";
    } else {
        if (decoder.changed() && decoder.changed() < decoder.parts())
            message += "; " + std::to_string(decoder.changed()) + " of " + std::to_string(decoder.parts()) +
                       " lines repaired";
        const std::size_t substitutes = decoder.substitutes() + utf16Substitutes;
        if (substitutes) message += "; " + std::to_string(substitutes) + " substitute" + (substitutes == 1 ? "" : "s") +
                                    " written";
    }
    std::fprintf(stderr, "%s\n", message.c_str());
}

// Repairs FILE into `output` (--list: lists its readings there) and names
// the reading on standard error, after the file's name when `named`.
// With --in-place `output` is the file's own rewrite, and the message says
// when the file is left as it stands.
FileRepair RepairFile(const RepairOptions& o, const std::string& file, TextOutput& output, bool named) {
    FileRepair result;
    TextInput input;
    if (int e = input.Open(file)) {
        result.status = FileError(input.name(), e);
        return result;
    }
    // A UTF-16 text is read as its UTF-8 and repaired as that would be.
    ByteOrderMark mark = ByteOrderMark::None;
    if (int e = TakeMark(input, mark)) {
        result.status = FileError(input.name(), e);
        return result;
    }
    const bool utf16 = IsUtf16(mark);
    if (utf16) input.DecodeUtf16(mark == ByteOrderMark::Utf16Be);

    Bytes sample;
    Bytes ascii;
    if (int e = ReadReadingSample(input, o.list, sample, ascii)) {
        result.status = FileError(input.name(), e);
        return result;
    }
    const std::vector<RepairReading> readings =
        FindRepairReadings(sample.data(), sample.size(), -1, o.list ? static_cast<std::size_t>(o.list) : 1);
    // Without --to the text stays in the encoding its bytes are in, UTF-16
    // by way of UTF-8, with the mark it had.
    const bool ownEncoding = o.target < 0;
    const int target = !ownEncoding ? o.target : utf16 ? kEncodingUtf8 : readings[0].saved;
    const std::string prefix = named ? DisplayName(file) + ": " : std::string();
    if (o.list) {
        if (named) WriteLine(output, DisplayName(file) + ":\n");
        WriteReadingList(readings, mark, sample, target, output);
        return result;
    }

    // The sample and everything after it go through the decoder; the ASCII
    // before it goes out as it is (as UTF-16 when that is written), unless
    // the reading is KOI8-R without its eighth bit, which a later block
    // cannot be.
    RepairByParts decoder(FindPartReadings(sample.data(), sample.size(), -1, readings[0]), -1, target);
    input.Unread(std::move(sample));
    RepairedOutput repaired(output, ownEncoding && target == kEncodingUtf8 ? mark : ByteOrderMark::None);
    Bytes text;
    result.status = StreamTextInto(input, output, [&](unsigned char* p, std::size_t n, bool end, TextOutput&) {
        if (!ascii.empty()) {
            repaired.Write(ascii.data(), ascii.size(), false);
            ascii = Bytes();
        }
        text.clear();
        decoder.Feed(p, n, end, text);
        repaired.Write(text.data(), text.size(), end);
        return std::size_t{0};
    });
    if (result.status || !output.ok()) return result;
    // Only KOI8-R without its eighth bit changes lines that have nothing
    // above ASCII, and it is then the one reading taken.
    result.repaired = !IsPlainReading(decoder.mostTaken());
    ReportRepair(prefix, decoder, mark, o.inPlace && !result.repaired, input.utf16Substitutes());
    return result;
}

// --in-place: each file is repaired into a temporary file beside it, which
// replaces it only when a line was repaired; a file left as it stands keeps
// its bytes and its time.
int RepairInPlace(const RepairOptions& o) {
    int status = 0;
    for (const std::string& file : o.files) {
        TextOutput output(file);
        if (output.Open()) {
            status = 1;
            continue;
        }
        const FileRepair r = RepairFile(o, file, output, true);
        const int closed = output.Close(r.status != 0 || !r.repaired);
        if (r.status || closed) status = 1;
    }
    return status;
}

} // namespace

int RunRepair(const std::vector<std::string>& args, const std::string& out) {
    RepairOptions o;
    if (int s = ParseRepairOptions(args, o)) return s;
    if (o.inPlace) {
        if (!out.empty()) return Usage("--in-place writes each file itself; leave out -o");
        return RepairInPlace(o);
    }
    // Each file in turn to the one output; with -o, OUT is replaced only
    // when every file was repaired.
    const std::vector<std::string> files = o.files.empty() ? std::vector<std::string>{""} : o.files;
    TextOutput output(out);
    if (int s = output.Open()) return s;
    int status = 0;
    for (const std::string& file : files) {
        if (RepairFile(o, file, output, files.size() > 1).status) status = 1;
        if (!output.ok()) break;
    }
    const int closed = output.Close(status != 0);
    return status ? status : closed;
}
