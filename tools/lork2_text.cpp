// lork2-text: the editor's byte conversions on the command line. Bytes in,
// bytes out: no newline translation and no dependence on the locale. Each
// command runs the core's piece-by-piece form of its conversion in the block
// loop of text_stream.h, so memory stays small whatever the input's size.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#endif

#include "core/codepage/convert.h"
#include "core/codepage/paragraph.h"
#include "core/codepage/tables.h"
#include "core/codepage/utf8.h"
#include "core/document/detect_code_page.h"
#include "core/search/hex_string.h"
#include "lork2_text_repair.h"
#include "lork2_version.h"
#include "tools/text_stream.h"

namespace {

using Bytes = std::vector<unsigned char>;

const char kProgram[] = "lork2-text";

// convert's code name for UTF-8, beside the code pages 0..4 of tables.h.
constexpr int kUtf8 = 5;

const char kHelp[] =
    "Usage: lork2-text [-o OUT] COMMAND [ARGUMENTS]\n"
    "The byte conversions of the LORK2 editor. Input is FILE, or standard input when FILE is\n"
    "missing or \"-\"; output goes to standard output, or with -o OUT to the file OUT, which is\n"
    "replaced only when everything succeeded. Bytes are read and written unchanged otherwise.\n"
    "Input is read and written a block at a time: any size of file takes a few megabytes.\n"
    "\n"
    "Code pages: ansi (Windows-1251), oem (CP866), koi8 (KOI8-R), iso (ISO 8859-5), mac (Mac Cyrillic);\n"
    "convert also takes utf8 (UTF-8) as FROM or TO.\n"
    "\n"
    "Commands:\n"
    "  detect FILE...               one line per file: GUESS<TAB>FILE, where GUESS is 3 (utf8)\n"
    "                               when the first 1276 bytes are well-formed UTF-8 with a\n"
    "                               character above ASCII, else 0 (ansi), 1 (oem) or 2 (koi8),\n"
    "                               guessed from those bytes as the editor does\n"
    "  convert FROM TO [FILE]       convert the text from code page FROM to TO through CP866;\n"
    "                               equal code pages make a round trip through CP866. From or to\n"
    "                               utf8, characters go by their Unicode values; a character TO\n"
    "                               lacks becomes the editor's substitute ('?' when it has none),\n"
    "                               and so does each byte of malformed UTF-8 input; how many is\n"
    "                               told on standard error. A leading byte order mark is dropped\n"
    "  fido FROM [FILE]             bring text shown in FROM (ansi, oem, koi8) to CP866, then write\n"
    "                               the Cyrillic capital en and small er as Latin H and p\n"
    "  translit FROM [FILE]         Latin transliteration of text shown in FROM (ansi, oem, koi8);\n"
    "                               other bytes from 0x80 up come out as CP866 bytes\n"
    "  qp-decode [FILE]             decode quoted-printable \"=XY\" (upper-case hex digits only);\n"
    "                               soft line breaks and everything else are kept\n"
    "  line-break [FILE]            add LF after every CR that lacks one\n"
    "  format MODE [OPTIONS] [FILE] rewrite the whole text into lines; MODE is justify, center,\n"
    "                               left or right\n"
    "      --right N                the column at which lines end, indent included (10-128; 80)\n"
    "      --left N                 indent of every line after the first (0-80; 0)\n"
    "      --first N                indent of the first line; centring uses --left (0-80; 0)\n"
    "      --ignore-line-breaks     line ends inside the text are ordinary blanks (default off)\n"
    "  repair [--to CP] [--list N] [FILE]\n"
    "                               the text garbled input most likely holds (UTF-8 read as 1251\n"
    "                               and saved again, 1251 read as KOI8-R, ... up to two wrong\n"
    "                               readings, or KOI8-R that lost its eighth bit), written in CP\n"
    "                               (ansi, oem, koi8, iso, mac or utf8; default ansi) with the usual\n"
    "                               substitutes; the reading found is named on standard error.\n"
    "                               --list N writes the N best readings instead: score, name and\n"
    "                               the first line as it would come out\n"
    "  hex TEXT                     the bytes the editor's hex search fields make of TEXT (two\n"
    "                               characters per byte, at most 260 bytes), as upper-case hex\n"
    "  --help                       this text\n"
    "  --version                    the version\n"
    "\n"
    "Exit status: 0 success, 1 a file could not be read or written, 2 a bad command line.\n";

// A bad command line: one line on stderr, exit status 2.
int Usage(const std::string& message) {
    std::fprintf(stderr, "%s: %s (see '%s --help')\n", kProgram, message.c_str(), kProgram);
    return 2;
}

// Sends a short result to OUT or to standard output.
int Emit(const std::string& out, const std::string& text) {
    return WriteText(out, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

int ParseCodePage(std::string_view name, int highest) {
    const char* names[] = {"ansi", "oem", "koi8", "iso", "mac"};
    for (int cp = 0; cp <= highest; ++cp)
        if (name == names[cp]) return cp;
    return -1;
}

// A decimal number within [low, high], or -1.
int ParseNumber(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 6) return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high ? value : -1;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::string out;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-o") {
            if (i + 1 >= argc) return Usage("option -o needs a file name");
            if (!out.empty()) return Usage("option -o given twice");
            out = argv[++i];
            if (out.empty()) return Usage("option -o needs a file name");
        } else {
            args.push_back(a);
        }
    }
    if (args.empty()) return Usage("no command given");
    const std::string command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());

    if (command == "--help" || command == "-h") {
        if (!rest.empty()) return Usage("--help takes no arguments");
        return Emit(out, std::string(kHelp, sizeof kHelp - 1));
    }
    if (command == "--version") {
        if (!rest.empty()) return Usage("--version takes no arguments");
        const std::string v = std::string(kProgram) + " " + LORK2_VERSION + "\n";
        return Emit(out, v);
    }

    if (command == "detect") {
        if (rest.empty()) return Usage("detect needs at least one FILE");
        std::string report;
        int status = 0;
        Bytes sample;
        for (const std::string& name : rest) {
            TextInput input; // only the sample is read
            int error = input.Open(name);
            if (!error) error = input.ReadSample(sample, kDetectSampleSize);
            if (error) {
                status = FileError(DisplayName(name), error);
                continue;
            }
            // UTF-8 first: its bytes would otherwise pass for one of the three.
            const bool cut = sample.size() == kDetectSampleSize;
            report += LooksLikeUtf8(sample.data(), sample.size(), cut)
                          ? std::string("3")
                          : std::to_string(DetectCodePage(sample.data(), sample.size()));
            report += '\t';
            report += name;
            report += '\n';
        }
        if (status && !out.empty()) return status; // OUT stays as it was
        const int written = Emit(out, report);
        return status ? status : written;
    }

    if (command == "hex") {
        if (rest.size() != 1) return Usage("hex needs exactly one TEXT");
        const HexBytes h = ParseHexString(rest[0]);
        static const char digits[] = "0123456789ABCDEF";
        std::string text;
        for (std::size_t i = 0; i < h.count; ++i) {
            text += digits[h.bytes[i] >> 4];
            text += digits[h.bytes[i] & 15];
        }
        text += '\n';
        return Emit(out, text);
    }

    if (command == "repair") {
        TextOutput stream(out);
        const RepairOutput output{
            &stream, [](void* s) { return static_cast<TextOutput*>(s)->Open(); }, TextOutput::Sink,
            [](void* s, bool failed) { return static_cast<TextOutput*>(s)->Close(failed); }};
        return RunRepairCommand(rest, output);
    }

    // The commands that read one text, a block at a time.
    std::string file;
    auto takeFile = [&](std::size_t from) -> int {
        if (rest.size() > from + 1) return Usage(command + ": too many arguments");
        if (rest.size() == from + 1) file = rest[from];
        return 0;
    };
    TextInput input;
    auto stream = [&](const TextStep& step) -> int {
        if (const int error = input.Open(file)) return FileError(DisplayName(file), error);
        return StreamText(input, out, step);
    };
    // The room for one block's result where it can be longer than the block.
    Bytes converted;
    auto into = [&](std::size_t room) -> unsigned char* {
        converted.resize(room);
        return converted.data();
    };

    if (command == "convert") {
        if (rest.size() < 2) return Usage("convert needs FROM and TO");
        const int from = rest[0] == "utf8" ? kUtf8 : ParseCodePage(rest[0], kCodePageMac);
        const int to = rest[1] == "utf8" ? kUtf8 : ParseCodePage(rest[1], kCodePageMac);
        if (from < 0) return Usage("unknown code page '" + rest[0] + "' (ansi, oem, koi8, iso, mac or utf8)");
        if (to < 0) return Usage("unknown code page '" + rest[1] + "' (ansi, oem, koi8, iso, mac or utf8)");
        if (int s = takeFile(2)) return s;
        if (to == kUtf8 && from != kUtf8) {
            unsigned char* utf8 = into(3 * kTextBlock);
            return stream([&](unsigned char* text, std::size_t n, bool, TextOutput& o) -> std::size_t {
                o.Write(utf8, CodePageToUtf8(from, text, n, utf8));
                return 0;
            });
        }
        if (from == kUtf8) {
            Utf8State state;
            state.target = to == kUtf8 ? kUtf8Target : to;
            unsigned char* bytes = into(kTextBlock + 4);
            bool whole = false;
            const int status = stream([&](unsigned char* text, std::size_t n, bool end, TextOutput& o) -> std::size_t {
                o.Write(bytes, ConvertUtf8(state, text, n, end, bytes));
                whole = end;
                return 0;
            });
            if (whole && state.substitutes)
                std::fprintf(stderr, "%s: %zu substitute%s written for characters %s lacks or malformed UTF-8\n",
                             kProgram, state.substitutes, state.substitutes == 1 ? "" : "s", rest[1].c_str());
            return status;
        }
        return stream([&](unsigned char* text, std::size_t n, bool, TextOutput& o) -> std::size_t {
            ConvertBytes(text, n, ToOemTable[from], FromOemTable[to]);
            o.Write(text, n);
            return 0;
        });
    }
    if (command == "fido" || command == "translit") {
        if (rest.empty()) return Usage(command + " needs FROM");
        const int from = ParseCodePage(rest[0], kCodePageKoi8);
        if (from < 0) return Usage("unknown code page '" + rest[0] + "' (ansi, oem or koi8)");
        if (int s = takeFile(1)) return s;
        if (command == "fido") {
            return stream([&](unsigned char* text, std::size_t n, bool, TextOutput& o) -> std::size_t {
                ConvertBytes(text, n, ToOemTable[from], kTableFido);
                o.Write(text, n);
                return 0;
            });
        }
        unsigned char* latin = into(2 * kTextBlock);
        return stream([&](unsigned char* text, std::size_t n, bool, TextOutput& o) -> std::size_t {
            o.Write(latin, Transliterate(text, n, from, latin));
            return 0;
        });
    }
    if (command == "qp-decode") {
        if (int s = takeFile(0)) return s;
        QuotedPrintableState state;
        unsigned char* decoded = into(kTextBlock + 2);
        return stream([&](unsigned char* text, std::size_t n, bool end, TextOutput& o) -> std::size_t {
            o.Write(decoded, DecodeQuotedPrintable(state, text, n, end, decoded));
            return 0;
        });
    }
    if (command == "line-break") {
        if (int s = takeFile(0)) return s;
        LineBreakState state;
        unsigned char* repaired = into(2 * kTextBlock + 1);
        return stream([&](unsigned char* text, std::size_t n, bool end, TextOutput& o) -> std::size_t {
            o.Write(repaired, RepairLineBreaks(state, text, n, end, repaired));
            return 0;
        });
    }
    if (command == "format") {
        if (rest.empty()) return Usage("format needs MODE");
        Alignment alignment;
        if (rest[0] == "justify") alignment = Alignment::kJustify;
        else if (rest[0] == "center") alignment = Alignment::kCenter;
        else if (rest[0] == "left") alignment = Alignment::kLeft;
        else if (rest[0] == "right") alignment = Alignment::kRight;
        else return Usage("unknown format mode '" + rest[0] + "' (justify, center, left or right)");
        ParagraphSettings settings; // the values used when nothing is stored: 80, 0, 0, off
        bool haveFile = false;
        for (std::size_t i = 1; i < rest.size(); ++i) {
            const std::string& a = rest[i];
            std::string name = a;
            std::string value;
            bool hasValue = false;
            if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
                name = a.substr(0, a.find('='));
                value = a.substr(a.find('=') + 1);
                hasValue = true;
            }
            if (name == "--ignore-line-breaks" && !hasValue) {
                settings.ignoreLineBreaks = true;
                continue;
            }
            if (name == "--right" || name == "--left" || name == "--first") {
                if (!hasValue) {
                    if (i + 1 >= rest.size()) return Usage(name + " needs a number");
                    value = rest[++i];
                }
                const bool right = name == "--right";
                const int n = ParseNumber(value, right ? 10 : 0, right ? 128 : 80);
                if (n < 0)
                    return Usage("bad number '" + value + "' for " + name + (right ? " (10-128)" : " (0-80)"));
                (right ? settings.right : name == "--left" ? settings.left : settings.first) = n;
                continue;
            }
            if (a.size() > 1 && a[0] == '-') return Usage("unknown option '" + a + "'");
            if (haveFile) return Usage("format: too many arguments");
            file = a;
            haveFile = true;
        }
        ParagraphState state;
        state.alignment = alignment;
        state.settings = settings;
        static_assert(kParagraphHeldMax < kTextBlock / 2);
        return stream([&](unsigned char* text, std::size_t n, bool end, TextOutput& o) -> std::size_t {
            bool ok = true;
            return FormatParagraphsPiece(state, text, n, end, TextOutput::Sink, &o, &ok);
        });
    }
    return Usage("unknown command '" + command + "'");
}
