// lork2-text: the editor's byte conversions on the command line. Bytes in,
// bytes out: no newline translation and no dependence on the locale.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "core/codepage/convert.h"
#include "core/codepage/paragraph.h"
#include "core/codepage/tables.h"
#include "core/codepage/utf8.h"
#include "core/document/detect_code_page.h"
#include "core/search/hex_string.h"
#include "lork2_text_repair.h"
#include "lork2_version.h"

#ifndef O_BINARY
#define O_BINARY 0
#endif

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

// A file that cannot be read or written: its name and the system's reason.
int FileError(const std::string& name, int error) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, name.c_str(), std::strerror(error));
    return 1;
}

bool IsStdin(const std::string& name) { return name.empty() || name == "-"; }
std::string DisplayName(const std::string& name) { return IsStdin(name) ? "standard input" : name; }

// Reads at most `limit` bytes (all when limit is 0). Returns 0 or errno.
int ReadInput(const std::string& name, Bytes& out, std::size_t limit = 0) {
    out.clear();
    std::FILE* f = stdin;
    if (!IsStdin(name)) {
        errno = 0;
        f = std::fopen(name.c_str(), "rb");
        if (!f) return errno ? errno : EIO;
        struct stat st;
        if (fstat(fileno(f), &st) == 0) {
            if (S_ISDIR(st.st_mode)) {
                std::fclose(f);
                return EISDIR;
            }
            if (limit == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
                out.reserve(static_cast<std::size_t>(st.st_size));
        }
    }
    const std::size_t chunk = 1 << 20;
    for (;;) {
        std::size_t want = chunk;
        if (limit) {
            if (out.size() >= limit) break;
            want = std::min(chunk, limit - out.size());
        }
        const std::size_t old = out.size();
        if (out.capacity() < old + want) out.reserve(std::max(out.capacity() * 2, old + want));
        out.resize(old + want);
        errno = 0;
        const std::size_t got = std::fread(out.data() + old, 1, want, f);
        out.resize(old + got);
        if (got < want) break;
    }
    const int error = std::ferror(f) ? (errno ? errno : EIO) : 0;
    if (f != stdin) std::fclose(f);
    return error;
}

int WriteAll(int fd, const unsigned char* data, std::size_t n) {
    while (n > 0) {
        const unsigned part = n > (1u << 30) ? (1u << 30) : static_cast<unsigned>(n);
#ifdef _WIN32
        const int w = _write(fd, data, part);
#else
        const ssize_t w = write(fd, data, part);
#endif
        if (w < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += w;
        n -= static_cast<std::size_t>(w);
    }
    return 0;
}

std::string TempName(const std::string& out, int attempt) {
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = static_cast<long>(getpid());
#endif
    return out + ".tmp-" + std::to_string(pid) + "-" + std::to_string(attempt);
}

// Moves the finished temporary file over OUT. Returns 0 or errno.
int Replace(const std::string& temp, const std::string& out) {
#ifdef _WIN32
    if (!MoveFileExA(temp.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING))
        return GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return 0;
#else
    struct stat old;
    if (stat(out.c_str(), &old) == 0 && !S_ISDIR(old.st_mode)) (void)chmod(temp.c_str(), old.st_mode & 07777);
    return std::rename(temp.c_str(), out.c_str()) != 0 ? errno : 0;
#endif
}

// The file a name leads to: a symbolic link's target (so that writing
// through the link keeps the link), else the name itself.
std::string ResolvedTarget(const std::string& out) {
#ifndef _WIN32
    struct stat link;
    if (lstat(out.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* full = realpath(out.c_str(), nullptr)) {
            std::string target(full);
            std::free(full);
            return target;
        }
    }
#endif
    return out;
}

// Writes a result piece by piece to standard output, or to OUT through a
// temporary file in the same folder and a rename, so that OUT is either the
// old file or the whole new one. A symbolic link OUT stays a link: its
// target is what is replaced, keeping its mode.
class StreamOutput {
  public:
    explicit StreamOutput(std::string out) : out_(std::move(out)) {}
    int Open() {
        if (out_.empty()) return 0;
        target_ = ResolvedTarget(out_);
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            temp_ = TempName(target_, attempt);
#ifdef _WIN32
            fd_ = _open(temp_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
            fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
#endif
            if (fd_ < 0 && errno != EEXIST) return FileError(out_, errno);
        }
        return fd_ < 0 ? FileError(out_, EEXIST) : 0;
    }
    static bool Sink(void* self, const unsigned char* p, std::size_t n) {
        auto* s = static_cast<StreamOutput*>(self);
        if (s->error_) return false;
        if (s->out_.empty()) {
            if (std::fwrite(p, 1, n, stdout) != n) s->error_ = errno ? errno : EIO;
        } else {
            s->error_ = WriteAll(s->fd_, p, n);
        }
        return !s->error_;
    }
    // Ends the output; on any failure OUT is left as it was.
    int Close(bool failed) {
        if (out_.empty()) {
            if (!error_ && std::fflush(stdout) != 0) error_ = errno ? errno : EIO;
            return error_ ? FileError("standard output", error_) : 0;
        }
#ifdef _WIN32
        if (_close(fd_) != 0 && !error_) error_ = errno;
#else
        if (!error_ && fsync(fd_) != 0 && errno != EINVAL) error_ = errno;
        if (close(fd_) != 0 && !error_) error_ = errno;
#endif
        if (!error_ && !failed) error_ = Replace(temp_, target_);
        if (error_ || failed) std::remove(temp_.c_str());
        return error_ ? FileError(out_, error_) : 0;
    }

  private:
    std::string out_;
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int error_ = 0;
};

int WriteFileAtomically(const std::string& out, const Bytes& data) {
    StreamOutput stream(out);
    if (int s = stream.Open()) return s;
    StreamOutput::Sink(&stream, data.data(), data.size());
    return stream.Close(false);
}

// Sends the result to OUT or to standard output.
int Emit(const std::string& out, const Bytes& data) {
    if (!out.empty()) return WriteFileAtomically(out, data);
    if (!data.empty() && std::fwrite(data.data(), 1, data.size(), stdout) != data.size())
        return FileError("standard output", errno ? errno : EIO);
    if (std::fflush(stdout) != 0) return FileError("standard output", errno ? errno : EIO);
    return 0;
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
        return Emit(out, Bytes(kHelp, kHelp + sizeof kHelp - 1));
    }
    if (command == "--version") {
        if (!rest.empty()) return Usage("--version takes no arguments");
        const std::string v = std::string(kProgram) + " " + LORK2_VERSION + "\n";
        return Emit(out, Bytes(v.begin(), v.end()));
    }

    if (command == "detect") {
        if (rest.empty()) return Usage("detect needs at least one FILE");
        std::string report;
        int status = 0;
        Bytes sample;
        for (const std::string& name : rest) {
            const int error = ReadInput(name, sample, kDetectSampleSize);
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
        const int written = Emit(out, Bytes(report.begin(), report.end()));
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
        return Emit(out, Bytes(text.begin(), text.end()));
    }

    if (command == "repair") {
        StreamOutput stream(out);
        const RepairOutput output{
            &stream, [](void* s) { return static_cast<StreamOutput*>(s)->Open(); }, StreamOutput::Sink,
            [](void* s, bool failed) { return static_cast<StreamOutput*>(s)->Close(failed); }};
        return RunRepairCommand(rest, output);
    }

    // The commands that read one text.
    std::string file;
    Bytes result;
    auto takeFile = [&](std::size_t from) -> int {
        if (rest.size() > from + 1) return Usage(command + ": too many arguments");
        if (rest.size() == from + 1) file = rest[from];
        return 0;
    };
    Bytes text;
    auto read = [&]() -> int {
        const int error = ReadInput(file, text);
        return error ? FileError(DisplayName(file), error) : 0;
    };

    if (command == "convert") {
        if (rest.size() < 2) return Usage("convert needs FROM and TO");
        const int from = rest[0] == "utf8" ? kUtf8 : ParseCodePage(rest[0], kCodePageMac);
        const int to = rest[1] == "utf8" ? kUtf8 : ParseCodePage(rest[1], kCodePageMac);
        if (from < 0) return Usage("unknown code page '" + rest[0] + "' (ansi, oem, koi8, iso, mac or utf8)");
        if (to < 0) return Usage("unknown code page '" + rest[1] + "' (ansi, oem, koi8, iso, mac or utf8)");
        if (int s = takeFile(2)) return s;
        if (int s = read()) return s;
        if (to == kUtf8 && from != kUtf8) return Emit(out, CodePageToUtf8(from, text.data(), text.size()));
        if (from == kUtf8) {
            const Utf8Conversion r = to == kUtf8 ? CleanUtf8(text.data(), text.size())
                                                 : Utf8ToCodePage(to, text.data(), text.size());
            const int status = Emit(out, r.bytes);
            if (r.substitutes)
                std::fprintf(stderr, "%s: %zu substitute%s written for characters %s lacks or malformed UTF-8\n",
                             kProgram, r.substitutes, r.substitutes == 1 ? "" : "s", rest[1].c_str());
            return status;
        }
        ConvertBytes(text.data(), text.size(), ToOemTable[from], FromOemTable[to]);
        return Emit(out, text);
    }
    if (command == "fido" || command == "translit") {
        if (rest.empty()) return Usage(command + " needs FROM");
        const int from = ParseCodePage(rest[0], kCodePageKoi8);
        if (from < 0) return Usage("unknown code page '" + rest[0] + "' (ansi, oem or koi8)");
        if (int s = takeFile(1)) return s;
        if (int s = read()) return s;
        if (command == "fido") {
            ConvertBytes(text.data(), text.size(), ToOemTable[from], kTableFido);
            return Emit(out, text);
        }
        return Emit(out, Transliterate(text.data(), text.size(), from));
    }
    if (command == "qp-decode" || command == "line-break") {
        if (int s = takeFile(0)) return s;
        if (int s = read()) return s;
        return Emit(out, command == "qp-decode" ? DecodeQuotedPrintable(text.data(), text.size())
                                                : RepairLineBreaks(text.data(), text.size()));
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
        if (int s = read()) return s;
        // Written as it is made: the result can be many times the input.
        StreamOutput stream(out);
        if (int s = stream.Open()) return s;
        const bool ok = FormatParagraphs(text.data(), text.size(), alignment, settings, StreamOutput::Sink, &stream);
        return stream.Close(!ok);
    }
    return Usage("unknown command '" + command + "'");
}
