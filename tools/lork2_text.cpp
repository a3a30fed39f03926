// lork2-text: the editor's byte conversions on the command line. Bytes in,
// bytes out: no newline translation and no dependence on the locale. Each
// command runs the core's piece-by-piece form of its conversion in the block
// loop of text_stream.h, so memory stays small whatever the input's size.
// The commands are one table: main looks a command up there, and the usage
// text is built from the same rows, so a new command is one row and one
// function.

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#endif

#include "core/charset/convert.h"
#include "core/charset/encodings.h"
#include "core/charset/tables.h"
#include "core/document/detect_code_page.h"
#include "core/search/hex_string.h"
#include "core/text/line_breaks.h"
#include "core/text/paragraph.h"
#include "core/text/quoted_printable.h"
#include "core/unicode/utf8.h"
#include "lork2_text_repair.h"
#include "lork2_version.h"
#include "tools/text_stream.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Args = std::vector<std::string>;

const char kProgram[] = "lork2-text";

// Sends a short result to OUT or to standard output.
int Emit(const std::string& out, const std::string& text) {
    return WriteText(out, reinterpret_cast<const unsigned char*>(text.data()), text.size());
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

// The optional FILE at args[from], the last argument the command takes.
int TakeFile(const Args& args, std::size_t from, const char* command, std::string& file) {
    if (args.size() > from + 1) return Usage(std::string(command) + ": too many arguments");
    if (args.size() == from + 1) file = args[from];
    return 0;
}

// Runs FILE (or standard input) through `step` to OUT.
int Stream(const std::string& file, const std::string& out, const TextStep& step) {
    TextInput input;
    if (const int error = input.Open(file)) return FileError(input.name(), error);
    return StreamText(input, out, step);
}

int RunHelp(const Args& args, const std::string& out);

int RunVersion(const Args& args, const std::string& out) {
    if (!args.empty()) return Usage("--version takes no arguments");
    return Emit(out, std::string(kProgram) + " " + LORK2_VERSION + "\n");
}

int RunDetect(const Args& args, const std::string& out) {
    if (args.empty()) return Usage("detect needs at least one FILE");
    std::string report;
    int status = 0;
    Bytes sample;
    for (const std::string& name : args) {
        TextInput input; // only the sample is read
        int error = input.Open(name);
        if (!error) error = input.ReadSample(sample, kDetectSampleSize);
        if (error) {
            status = FileError(input.name(), error);
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

int RunHex(const Args& args, const std::string& out) {
    if (args.size() != 1) return Usage("hex needs exactly one TEXT");
    const HexBytes h = ParseHexString(args[0]);
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < h.count; ++i) {
        text += digits[h.bytes[i] >> 4];
        text += digits[h.bytes[i] & 15];
    }
    text += '\n';
    return Emit(out, text);
}

// From a code page to UTF-8: every byte becomes its character.
int ConvertToUtf8(int from, const std::string& file, const std::string& out) {
    Bytes utf8(3 * kTextBlock);
    return Stream(file, out, [&](unsigned char* text, std::size_t n, bool, TextOutput& o) -> std::size_t {
        o.Write(utf8.data(), CodePageToUtf8(from, text, n, utf8.data()));
        return 0;
    });
}

// From UTF-8 to a code page or to UTF-8 again, counting the substitutes.
int ConvertFromUtf8(int to, const std::string& toName, const std::string& file, const std::string& out) {
    Utf8State state;
    state.target = to;
    Bytes bytes(kTextBlock + 4);
    bool whole = false;
    const int status = Stream(file, out, [&](unsigned char* text, std::size_t n, bool end, TextOutput& o) -> std::size_t {
        o.Write(bytes.data(), ConvertUtf8(state, text, n, end, bytes.data()));
        whole = end;
        return 0;
    });
    if (whole && state.substitutes)
        std::fprintf(stderr, "%s: %zu substitute%s written for characters %s lacks or malformed UTF-8\n", kProgram,
                     state.substitutes, state.substitutes == 1 ? "" : "s", toName.c_str());
    return status;
}

int RunConvert(const Args& args, const std::string& out) {
    if (args.size() < 2) return Usage("convert needs FROM and TO");
    const int from = EncodingByCliName(args[0], kEncodingUtf8);
    const int to = EncodingByCliName(args[1], kEncodingUtf8);
    if (from < 0) return UnknownCodePage(args[0], kEncodingUtf8);
    if (to < 0) return UnknownCodePage(args[1], kEncodingUtf8);
    std::string file;
    if (int s = TakeFile(args, 2, "convert", file)) return s;
    if (to == kEncodingUtf8 && from != kEncodingUtf8) return ConvertToUtf8(from, file, out);
    if (from == kEncodingUtf8) return ConvertFromUtf8(to, args[1], file, out);
    return Stream(file, out, [&](unsigned char* text, std::size_t n, bool, TextOutput& o) -> std::size_t {
        ConvertBytes(text, n, ToOemTable[from], FromOemTable[to]);
        o.Write(text, n);
        return 0;
    });
}

// FROM (one of the three display code pages) and the optional FILE.
int TakeDisplayCodePage(const Args& args, const char* command, int& from, std::string& file) {
    if (args.empty()) return Usage(std::string(command) + " needs FROM");
    from = EncodingByCliName(args[0], kCodePageKoi8);
    if (from < 0) return UnknownCodePage(args[0], kCodePageKoi8);
    return TakeFile(args, 1, command, file);
}

int RunFido(const Args& args, const std::string& out) {
    int from = 0;
    std::string file;
    if (int s = TakeDisplayCodePage(args, "fido", from, file)) return s;
    return Stream(file, out, [&](unsigned char* text, std::size_t n, bool, TextOutput& o) -> std::size_t {
        ConvertBytes(text, n, ToOemTable[from], kTableFido);
        o.Write(text, n);
        return 0;
    });
}

int RunTranslit(const Args& args, const std::string& out) {
    int from = 0;
    std::string file;
    if (int s = TakeDisplayCodePage(args, "translit", from, file)) return s;
    Bytes latin(2 * kTextBlock);
    return Stream(file, out, [&](unsigned char* text, std::size_t n, bool, TextOutput& o) -> std::size_t {
        o.Write(latin.data(), Transliterate(text, n, from, latin.data()));
        return 0;
    });
}

int RunQpDecode(const Args& args, const std::string& out) {
    std::string file;
    if (int s = TakeFile(args, 0, "qp-decode", file)) return s;
    QuotedPrintableState state;
    Bytes decoded(kTextBlock + 2);
    return Stream(file, out, [&](unsigned char* text, std::size_t n, bool end, TextOutput& o) -> std::size_t {
        o.Write(decoded.data(), DecodeQuotedPrintable(state, text, n, end, decoded.data()));
        return 0;
    });
}

int RunLineBreak(const Args& args, const std::string& out) {
    std::string file;
    if (int s = TakeFile(args, 0, "line-break", file)) return s;
    LineBreakState state;
    Bytes repaired(2 * kTextBlock + 1);
    return Stream(file, out, [&](unsigned char* text, std::size_t n, bool end, TextOutput& o) -> std::size_t {
        o.Write(repaired.data(), RepairLineBreaks(state, text, n, end, repaired.data()));
        return 0;
    });
}

// format's options after MODE, "--right N" or "--right=N", and its FILE.
int ParseFormatOptions(const Args& args, ParagraphSettings& settings, std::string& file) {
    bool haveFile = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
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
                if (i + 1 >= args.size()) return Usage(name + " needs a number");
                value = args[++i];
            }
            const bool right = name == "--right";
            const int n = ParseNumber(value, right ? 10 : 0, right ? 128 : 80);
            if (n < 0) return Usage("bad number '" + value + "' for " + name + (right ? " (10-128)" : " (0-80)"));
            (right ? settings.right : name == "--left" ? settings.left : settings.first) = n;
            continue;
        }
        if (a.size() > 1 && a[0] == '-') return Usage("unknown option '" + a + "'");
        if (haveFile) return Usage("format: too many arguments");
        file = a;
        haveFile = true;
    }
    return 0;
}

int RunFormat(const Args& args, const std::string& out) {
    if (args.empty()) return Usage("format needs MODE");
    ParagraphState state;
    if (args[0] == "justify") state.alignment = Alignment::kJustify;
    else if (args[0] == "center") state.alignment = Alignment::kCenter;
    else if (args[0] == "left") state.alignment = Alignment::kLeft;
    else if (args[0] == "right") state.alignment = Alignment::kRight;
    else return Usage("unknown format mode '" + args[0] + "' (justify, center, left or right)");
    std::string file;
    // state.settings start as the values used when nothing is stored: 80, 0, 0, off.
    if (int s = ParseFormatOptions(args, state.settings, file)) return s;
    static_assert(kParagraphHeldMax < kTextBlock / 2);
    return Stream(file, out, [&](unsigned char* text, std::size_t n, bool end, TextOutput& o) -> std::size_t {
        bool ok = true;
        return FormatParagraphsPiece(state, text, n, end, TextOutput::Sink, &o, &ok);
    });
}

// A line of the usage text under a command: an option and what it does.
struct HelpRow {
    const char* term;
    const char* text; // lines separated by '\n'
};

const HelpRow kFormatOptions[] = {
    {"--right N", "the column at which lines end, indent included (10-128; 80)"},
    {"--left N", "indent of every line after the first (0-80; 0)"},
    {"--first N", "indent of the first line; centring uses --left (0-80; 0)"},
    {"--ignore-line-breaks", "line ends inside the text are ordinary blanks (default off)"},
};

const HelpRow kRepairOptions[] = {
    {"--to CP", "write the text in CP (ansi, oem, koi8, iso, mac or utf8)\n"
                "with the usual substitutes; default: the input's own\n"
                "encoding (UTF-16 input: UTF-16 of its byte order, marked)"},
    {"--list N", "the N best readings instead (1-100): score, name and the\n"
                 "first line as it would come out"},
    {"--in-place", "rewrite each FILE with its repair (through a temporary\n"
                   "file and a rename) when a line was repaired; a file left\n"
                   "as it stands is not touched. Takes no -o"},
};

struct Command {
    const char* name;
    const char* synopsis; // the arguments, as the usage text shows them
    const char* text;     // what it does, lines separated by '\n'
    int (*run)(const Args& args, const std::string& out);
    std::span<const HelpRow> options = {};
};

const Command kCommands[] = {
    {"detect", "FILE...",
     "one line per file: GUESS<TAB>FILE, where GUESS is 3 (utf8)\n"
     "when the first 1276 bytes are well-formed UTF-8 with a\n"
     "character above ASCII, else 0 (ansi), 1 (oem) or 2 (koi8),\n"
     "guessed from those bytes as the editor does",
     RunDetect},
    {"convert", "FROM TO [FILE]",
     "convert the text from code page FROM to TO through CP866;\n"
     "equal code pages make a round trip through CP866. From or to\n"
     "utf8, characters go by their Unicode values; a character TO\n"
     "lacks becomes the editor's substitute ('?' when it has none),\n"
     "and so does each byte of malformed UTF-8 input; how many is\n"
     "told on standard error. A leading byte order mark is dropped",
     RunConvert},
    {"fido", "FROM [FILE]",
     "bring text shown in FROM (ansi, oem, koi8) to CP866, then write\n"
     "the Cyrillic capital en and small er as Latin H and p",
     RunFido},
    {"translit", "FROM [FILE]",
     "Latin transliteration of text shown in FROM (ansi, oem, koi8);\n"
     "other bytes from 0x80 up come out as CP866 bytes",
     RunTranslit},
    {"qp-decode", "[FILE]",
     "decode quoted-printable \"=XY\" (upper-case hex digits only);\n"
     "soft line breaks and everything else are kept",
     RunQpDecode},
    {"line-break", "[FILE]", "add LF after every CR that lacks one", RunLineBreak},
    {"format", "MODE [OPTIONS] [FILE]",
     "rewrite the whole text into lines; MODE is justify, center,\n"
     "left or right",
     RunFormat, kFormatOptions},
    {"repair", "[OPTIONS] [FILE...]",
     "the text garbled input most likely holds (UTF-8 read as 1251\n"
     "and saved again, 1251 read as KOI8-R, ... up to three wrong\n"
     "readings, or KOI8-R that lost its eighth bit), line by line;\n"
     "the reading found is named on standard error. UTF-16 with its\n"
     "mark is repaired as its text in UTF-8 would be. Each FILE is\n"
     "repaired on its own and written in turn",
     RunRepair, kRepairOptions},
    {"hex", "TEXT",
     "the bytes the editor's hex search fields make of TEXT (two\n"
     "characters per byte, at most 260 bytes), as upper-case hex",
     RunHex},
    {"--help", "", "this text", RunHelp},
    {"--version", "", "the version", RunVersion},
};

// One entry of the usage text: the term from column `indent`, what it does
// from column 31 (on a line of its own when the term reaches that far).
void AppendHelpRow(std::string& help, std::size_t indent, const std::string& term, std::string_view text) {
    constexpr std::size_t kTextColumn = 31;
    help.append(indent, ' ');
    help += term;
    if (indent + term.size() < kTextColumn) {
        help.append(kTextColumn - indent - term.size(), ' ');
    } else {
        help += '\n';
        help.append(kTextColumn, ' ');
    }
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        help += text.substr(start, end - start);
        help += '\n';
        if (end == std::string_view::npos) break;
        start = end + 1;
        help.append(kTextColumn, ' ');
    }
}

std::string UsageText() {
    std::string help =
        "Usage: lork2-text [-o OUT] COMMAND [ARGUMENTS]\n"
        "The byte conversions of the LORK2 editor. Input is FILE, or standard input when FILE is\n"
        "missing or \"-\"; output goes to standard output, or with -o OUT to the file OUT, which is\n"
        "replaced only when everything succeeded. Bytes are read and written unchanged otherwise.\n"
        "Input is read and written a block at a time: any size of file takes a few megabytes.\n"
        "\n"
        "Code pages: ansi (Windows-1251), oem (CP866), koi8 (KOI8-R), iso (ISO 8859-5), mac (Mac Cyrillic);\n"
        "convert also takes utf8 (UTF-8) as FROM or TO.\n"
        "\n"
        "Commands:\n";
    for (const Command& c : kCommands) {
        const std::string term = *c.synopsis ? std::string(c.name) + " " + c.synopsis : std::string(c.name);
        AppendHelpRow(help, 2, term, c.text);
        for (const HelpRow& option : c.options) AppendHelpRow(help, 6, option.term, option.text);
    }
    help += "\nExit status: 0 success, 1 a file could not be read or written, 2 a bad command line.\n";
    return help;
}

int RunHelp(const Args& args, const std::string& out) {
    if (!args.empty()) return Usage("--help takes no arguments");
    return Emit(out, UsageText());
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::string out;
    Args args;
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
    const std::string command = args[0] == "-h" ? "--help" : args[0];
    const Args rest(args.begin() + 1, args.end());
    for (const Command& c : kCommands)
        if (command == c.name) return c.run(rest, out);
    return Usage("unknown command '" + command + "'");
}
