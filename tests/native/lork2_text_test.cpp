// The command-line tool, run as a process.
#ifndef _WIN32

// GCC 12 at -O2 and above warns of an overlap inside std::string's own
// concatenation (its bug 105651), which the Release build would make an
// error; nothing here copies over itself.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/charset/tables.h"
#include "core/text/line_breaks.h"
#include "core/text/paragraph.h"
#include "core/text/quoted_printable.h"
#include "core/unicode/utf8.h"

namespace {

const std::string kTool = LORK2_BINARY_DIR "/tools/lork2-text";

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary);
    f << data;
}

// The tests are compiled to Windows-1251; u8 literals keep their UTF-8.
std::string U8(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class Lork2Text : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/lork2-text-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + Quote(dir_)).c_str()); }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        WriteFile(Path("stdin"), input);
        std::string cmd = Quote(kTool);
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " <" + Quote(Path("stdin")) + " >" + Quote(Path("stdout")) + " 2>" + Quote(Path("stderr"));
        const int raw = std::system(cmd.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(Path("stdout")), ReadFile(Path("stderr"))};
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        DIR* d = opendir(dir_.c_str());
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != ".." && n != "stdin" && n != "stdout" && n != "stderr") names.push_back(n);
        }
        closedir(d);
        return names;
    }

    std::string dir_;
};

void ExpectUsageError(const Result& r) {
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
}

TEST_F(Lork2Text, BadCommandLinesExitTwoWithOneLine) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"convert", "ansi"},
        {"convert", "ansi", "utf-8"},
        {"convert", "UTF8", "ansi"},
        {"fido", "utf8"},
        {"convert", "cp1251", "oem"},
        {"fido", "iso"},
        {"translit", "mac"},
        {"format"},
        {"format", "middle"},
        {"format", "left", "--right", "9"},
        {"format", "left", "--right", "129"},
        {"format", "left", "--right"},
        {"format", "left", "--left", "81"},
        {"format", "left", "--first", "-1"},
        {"format", "left", "--first", "1x"},
        {"format", "left", "--bogus"},
        {"format", "left", "a", "b"},
        {"qp-decode", "a", "b"},
        {"detect"},
        {"hex"},
        {"hex", "a", "b"},
        {"-o"},
        {"line-break", "-o"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        SCOPED_TRACE(joined);
        ExpectUsageError(Run(args, "text"));
    }
}

TEST_F(Lork2Text, HelpNamesEveryCommandAndVersion) {
    const Result help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"detect", "convert", "fido", "translit", "qp-decode", "line-break", "format", "hex",
                             "--right", "--left", "--first", "--ignore-line-breaks", "--in-place", "-o OUT",
                             "--version"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    const Result version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("lork2-text ", 0), 0u);
}

TEST_F(Lork2Text, ConvertsStandardInputToStandardOutput) {
    const Result r = Run({"convert", "ansi", "koi8"}, "Привет");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "\xF0\xD2\xC9\xD7\xC5\xD4");
    EXPECT_EQ(Run({"convert", "ansi", "ansi", "-"}, "\x88\xAB").out, "?<");
    EXPECT_EQ(Run({"fido", "ansi"}, "Нр").out, "Hp");
    EXPECT_EQ(Run({"translit", "ansi"}, "Щука Ёж").out, "SHuka Ezh");
    EXPECT_EQ(Run({"qp-decode"}, "=D8=E0=d8").out, "\xD8\xE0=d8");
    EXPECT_EQ(Run({"line-break"}, "a\rb\nc\r").out, "a\r\nb\nc\r\n");
    EXPECT_EQ(Run({"hex", "D8 E0"}).out, "D80E00\n");
}

TEST_F(Lork2Text, BinaryBytesPassUnchanged) {
    std::string all;
    for (int round = 0; round < 4096; ++round)
        for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    // No code page changes bytes below 0x80, NUL, CR and LF included.
    const Result same = Run({"convert", "oem", "oem"}, all);
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, all);
    const Result qp = Run({"qp-decode"}, std::string("a\0b\r\n=\0", 7));
    EXPECT_EQ(qp.out, std::string("a\0b\r\n=\0", 7));
    const Result there = Run({"convert", "ansi", "koi8"}, all);
    WriteFile(Path("koi8"), there.out);
    const Result back = Run({"convert", "koi8", "ansi", Path("koi8")});
    ASSERT_EQ(back.out.size(), all.size());
    for (std::size_t i = 0; i < 256; ++i) {
        // ASCII and the letters come back; the rest went to approximations.
        if (static_cast<unsigned char>(all[i]) < 0x80 || static_cast<unsigned char>(all[i]) >= 0xC0) {
            EXPECT_EQ(back.out[i], all[i]) << i;
        }
    }
}

TEST_F(Lork2Text, FormatUsesTheUnstoredDefaults) {
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word ";
    const Result r = Run({"format", "left"}, words);
    EXPECT_EQ(r.status, 0);
    // 80 columns: 16 words of four letters.
    EXPECT_EQ(r.out.find("\r\n"), 16u * 5 - 1);
    const Result narrow = Run({"format", "justify", "--right=12", "--ignore-line-breaks"}, "aa bb\r\ncc dd ee\r\n");
    EXPECT_EQ(narrow.out, "aa  bb cc dd\r\nee\r\n");
    const Result indented = Run({"format", "left", "--first", "4", "--left", "2", "--right", "14"},
                                "one two three four five six");
    EXPECT_EQ(indented.out, "    one two\r\n  three four\r\n  five six\r\n");
}

TEST_F(Lork2Text, DetectReportsEachFile) {
    WriteFile(Path("ansi.txt"), "Это текст в кодировке 1251, тут ы и я");
    WriteFile(Path("oem.txt"), "\x9D\xE2\xAE \xAF\xE0\xAE\xE1\xE2\xAE\xA9 \xE2\xA5\xAA\xE1\xE2");
    // The KOI8-R word lies past the first 1276 bytes: not seen.
    WriteFile(Path("late.txt"), std::string(1276, 'x') + " \xF0\xD2\xC9");
    WriteFile(Path("koi8.txt"), " \xF0\xD2\xC9\xD7\xC5\xD4");
    const Result r = Run({"detect", Path("ansi.txt"), Path("oem.txt"), Path("late.txt"), Path("koi8.txt")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0\t" + Path("ansi.txt") + "\n1\t" + Path("oem.txt") + "\n0\t" + Path("late.txt") + "\n2\t" +
                         Path("koi8.txt") + "\n");
    const Result missing = Run({"detect", Path("koi8.txt"), Path("none.txt")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "2\t" + Path("koi8.txt") + "\n");
    EXPECT_NE(missing.err.find(Path("none.txt") + ": No such file or directory"), std::string::npos) << missing.err;
}

// The texts the tree holds in UTF-8 with Russian in them: the Windows
// read-me, the menu captions, dialog resources and the texts of the search
// and display tests.
const char* const kHeldTexts[] = {"packaging/README.txt",         "core/app/command_list.h",
                                  "resources/dialogs.rc",         "resources/search.rc",
                                  "tests/native/search_text_test.cpp", "tests/native/display_map_test.cpp",
                                  "tests/native/utf8_test.cpp",   "tests/wine/search_test.cpp"};

std::size_t CountChars(const std::string& utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    return lines;
}

TEST_F(Lork2Text, Utf8AgreesWithIconvOnTheHeldTexts) {
    const char* const names[] = {"ansi", "oem", "koi8", "iso", "mac"};
    for (const char* held : kHeldTexts) {
        const std::string source = std::string(LORK2_SOURCE_DIR) + "/" + held;
        const std::string original = ReadFile(source);
        ASSERT_GT(original.size(), 100u) << source;
        const std::vector<std::string> originalLines = Lines(original);
        for (int cp = 0; cp < 5; ++cp) {
            SCOPED_TRACE(std::string(held) + " " + names[cp]);
            // iconv -c leaves out what the code page lacks; its lines that come
            // back whole are the lines the code page can hold.
            const std::string bytes = Path("iconv.bytes");
            const std::string iconvName = kEncodings[cp].iconvName;
            std::system(("iconv -c -f UTF-8 -t " + iconvName + " " + Quote(source) + " >" +
                         Quote(bytes) + " 2>/dev/null")
                            .c_str());
            ASSERT_EQ(std::system(("iconv -f " + iconvName + " -t UTF-8 " + Quote(bytes) + " >" +
                                   Quote(Path("iconv.utf8")))
                                      .c_str()),
                      0);
            const std::string iconvBytes = ReadFile(bytes);
            const std::string iconvUtf8 = ReadFile(Path("iconv.utf8"));

            // From the code page: the same UTF-8 as iconv's, byte for byte.
            const Result up = Run({"convert", names[cp], "utf8", bytes});
            EXPECT_EQ(up.status, 0);
            EXPECT_TRUE(up.out == iconvUtf8) << "convert " << names[cp] << " utf8 differs from iconv";
            EXPECT_TRUE(up.err.empty()) << up.err;

            // To the code page: every line the code page holds is iconv's line;
            // the others have a substitute for every character iconv left out.
            const Result down = Run({"convert", "utf8", names[cp], source});
            EXPECT_EQ(down.status, 0);
            const std::vector<std::string> ours = Lines(down.out);
            const std::vector<std::string> theirs = Lines(iconvBytes);
            const std::vector<std::string> back = Lines(iconvUtf8);
            ASSERT_EQ(ours.size(), originalLines.size());
            ASSERT_EQ(theirs.size(), originalLines.size());
            std::size_t whole = 0;
            std::size_t cyrillic = 0;
            for (std::size_t i = 0; i < originalLines.size(); ++i) {
                if (back[i] != originalLines[i]) continue;
                ++whole;
                cyrillic += originalLines[i].find("\xD0") != std::string::npos;
                EXPECT_TRUE(ours[i] == theirs[i]) << "line " << i + 1 << ": " << originalLines[i];
            }
            EXPECT_GT(cyrillic, 0u);
            const std::size_t lacking = CountChars(original) - CountChars(iconvUtf8);
            if (lacking == 0) {
                EXPECT_TRUE(down.err.empty()) << down.err;
            } else {
                EXPECT_EQ(down.err, "lork2-text: " + std::to_string(lacking) + " substitute" +
                                        (lacking == 1 ? "" : "s") + " written for characters " + names[cp] +
                                        " lacks or malformed UTF-8\n");
            }
            EXPECT_GT(whole, originalLines.size() / 2);
        }
        // UTF-8 to UTF-8 keeps a well-formed text as it is.
        const Result same = Run({"convert", "utf8", "utf8", source});
        EXPECT_TRUE(same.out == original);
        EXPECT_TRUE(same.err.empty());
    }
}

TEST_F(Lork2Text, Utf8InputIsDetectedAndMalformedBytesAreCounted) {
    WriteFile(Path("utf8.txt"), U8(u8"Это текст в UTF-8"));
    WriteFile(Path("ascii.txt"), "plain text");
    // The first 1276 bytes end inside the second Cyrillic letter.
    WriteFile(Path("cut.txt"), std::string(1273, 'x') + U8(u8"ЖЖ"));
    WriteFile(Path("ansi.txt"), "Это текст в кодировке 1251, тут ы и я");
    WriteFile(Path("koi8.txt"), " \xF0\xD2\xC9\xD7\xC5\xD4");
    const Result r =
        Run({"detect", Path("utf8.txt"), Path("ascii.txt"), Path("cut.txt"), Path("ansi.txt"), Path("koi8.txt")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "3\t" + Path("utf8.txt") + "\n0\t" + Path("ascii.txt") + "\n3\t" + Path("cut.txt") +
                         "\n0\t" + Path("ansi.txt") + "\n2\t" + Path("koi8.txt") + "\n");
    // The same words in UTF-8, converted, are the 1251 bytes the compiler made.
    const Result ansi = Run({"convert", "utf8", "ansi"}, U8(u8"Это текст в кодировке 1251, тут ы и я"));
    EXPECT_EQ(ansi.out, "Это текст в кодировке 1251, тут ы и я");
    EXPECT_TRUE(ansi.err.empty());
    WriteFile(Path("bad.txt"), "\xEF\xBB\xBF\xD0\x94\xD0 \xE2\x82\xAC \xFF");
    const Result bad = Run({"-o", Path("out"), "convert", "utf8", "koi8", Path("bad.txt")});
    EXPECT_EQ(bad.status, 0);
    EXPECT_EQ(ReadFile(Path("out")), "\xE4? ? ?");
    EXPECT_EQ(bad.err, "lork2-text: 3 substitutes written for characters koi8 lacks or malformed UTF-8\n");
    const Result clean = Run({"convert", "utf8", "utf8"}, "\xD0\x94\x80");
    EXPECT_EQ(clean.out, "\xD0\x94?");
    EXPECT_EQ(clean.err, "lork2-text: 1 substitute written for characters utf8 lacks or malformed UTF-8\n");
    const Result up = Run({"convert", "oem", "utf8"}, "\x8F\xE0\xA8\xA2\xA5\xE2 \xC9\xCD\xBB");
    const std::string boxed = U8(u8"Привет ╔═╗");
    EXPECT_EQ(up.out, boxed);
    EXPECT_TRUE(up.err.empty());
}

TEST_F(Lork2Text, UnreadableInputNamesFileAndReason) {
    const Result r = Run({"qp-decode", Path("none.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lork2-text: " + Path("none.txt") + ": No such file or directory\n");
    const Result dir = Run({"line-break", dir_});
    EXPECT_EQ(dir.status, 1);
    EXPECT_NE(dir.err.find("Is a directory"), std::string::npos) << dir.err;
}

TEST_F(Lork2Text, OutputFileIsReplacedWhole) {
    WriteFile(Path("out"), "old contents");
    const Result r = Run({"-o", Path("out"), "convert", "ansi", "oem"}, "Да");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(ReadFile(Path("out")), "\x84\xA0");
    // -o after the command, and the input file replaced by its own result.
    WriteFile(Path("self"), "a\rb");
    EXPECT_EQ(Run({"line-break", Path("self"), "-o", Path("self")}).status, 0);
    EXPECT_EQ(ReadFile(Path("self")), "a\r\nb");
    EXPECT_EQ(Entries().size(), 2u) << "no temporary file is left";
}

TEST_F(Lork2Text, OutputThroughASymbolicLinkKeepsTheLinkAndTheMode) {
    WriteFile(Path("run.sh"), "old");
    ASSERT_EQ(chmod(Path("run.sh").c_str(), 0755), 0);
    ASSERT_EQ(symlink("run.sh", Path("link.sh").c_str()), 0);
    ASSERT_EQ(Run({"-o", Path("link.sh"), "line-break"}, "a\rb").status, 0);
    struct stat link {}, target {};
    ASSERT_EQ(lstat(Path("link.sh").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the link stays a link";
    ASSERT_EQ(stat(Path("run.sh").c_str(), &target), 0);
    EXPECT_EQ(target.st_mode & 07777, 0755u);
    EXPECT_EQ(ReadFile(Path("run.sh")), "a\r\nb");
    EXPECT_EQ(Entries().size(), 2u) << "no temporary file is left";
}

TEST_F(Lork2Text, FailuresLeaveTheOutputFileUntouched) {
    WriteFile(Path("out"), "old contents");
    // The input cannot be read.
    const Result unread = Run({"-o", Path("out"), "qp-decode", Path("none.txt")});
    EXPECT_EQ(unread.status, 1);
    EXPECT_EQ(ReadFile(Path("out")), "old contents");
    const Result detect = Run({"-o", Path("out"), "detect", Path("out"), Path("none.txt")});
    EXPECT_EQ(detect.status, 1);
    EXPECT_EQ(ReadFile(Path("out")), "old contents");
    // The output folder does not exist.
    const Result nodir = Run({"-o", Path("no/such/dir/out"), "line-break"}, "x");
    EXPECT_EQ(nodir.status, 1);
    EXPECT_NE(nodir.err.find(Path("no/such/dir/out") + ": No such file or directory"), std::string::npos)
        << nodir.err;
    // The output is a folder: the rename fails and the folder stays.
    ASSERT_EQ(mkdir(Path("folder").c_str(), 0755), 0);
    const Result isdir = Run({"-o", Path("folder"), "line-break"}, "x");
    EXPECT_EQ(isdir.status, 1);
    struct stat st;
    ASSERT_EQ(stat(Path("folder").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    std::vector<std::string> left = Entries();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"folder", "out"})) << "no temporary file is left";
}

TEST_F(Lork2Text, StreamsLargeInputInBlocksWithTheWholeTextsResult) {
    // Lines of Russian words with every kind of line end, quoted-printable
    // escapes and UTF-8 characters whose bytes fall across the blocks of a pipe.
    std::string text;
    const char* words[] = {"Привет", "текст", "=D0=9F", "строка", "\r", "\n", "\r\n", "=", "  ", "кодировка"};
    for (unsigned i = 0; text.size() < (3u << 20) + 7; ++i) text += std::string(words[i * 7 % 10]) + " ";
    text += "\r";
    WriteFile(Path("big"), text);
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto whole = [](const std::vector<unsigned char>& v) { return std::string(v.begin(), v.end()); };
    const std::string utf8 = whole(CodePageToUtf8(kCodePageAnsi, p, text.size()));
    WriteFile(Path("big.utf8"), utf8);
    ParagraphSettings settings;
    settings.right = 72;
    const struct {
        std::vector<std::string> args;
        std::string input;
        std::string expected;
    } cases[] = {
        {{"convert", "ansi", "utf8"}, "big", utf8},
        {{"convert", "utf8", "koi8"}, "big.utf8",
         whole(Utf8ToCodePage(kCodePageKoi8, reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size()).bytes)},
        {{"qp-decode"}, "big", whole(DecodeQuotedPrintable(p, text.size()))},
        {{"line-break"}, "big", whole(RepairLineBreaks(p, text.size()))},
        {{"format", "justify", "--right", "72"}, "big", whole(FormatParagraphs(p, text.size(), Alignment::kJustify, settings))},
    };
    for (const auto& c : cases) {
        std::string cmd = "cat " + Quote(Path(c.input)) + " | " + Quote(kTool);
        for (const auto& a : c.args) cmd += " " + Quote(a);
        SCOPED_TRACE(cmd);
        ASSERT_EQ(std::system((cmd + " >" + Quote(Path("out"))).c_str()), 0);
        EXPECT_TRUE(ReadFile(Path("out")) == c.expected);
    }
}

TEST_F(Lork2Text, ClosedPipeIsQuietAndAFullDiskFailsLoudly) {
    WriteFile(Path("big"), std::string(8u << 20, 'x'));
    // The reader goes away: the writer ends by SIGPIPE, as cat does.
    const std::string piped = "set -o pipefail; " + Quote(kTool) + " convert oem ansi " + Quote(Path("big")) +
                              " 2>" + Quote(Path("err")) + " | head -c 10 >/dev/null";
    const int raw = std::system(("bash -c " + Quote(piped)).c_str());
    EXPECT_EQ(WEXITSTATUS(raw), 128 + SIGPIPE);
    EXPECT_EQ(ReadFile(Path("err")), "");
    const int full = std::system((Quote(kTool) + " format left " + Quote(Path("big")) + " >/dev/full 2>" +
                                  Quote(Path("err")))
                                     .c_str());
    EXPECT_EQ(WEXITSTATUS(full), 1);
    EXPECT_EQ(ReadFile(Path("err")), "lork2-text: standard output: No space left on device\n");
}

} // namespace

#endif
