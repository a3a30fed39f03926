// The text repair: held-out Russian texts garbled the ways users bring them
// come back exactly; clean text stays; the block-wise decoder agrees with the
// whole; and lork2-text repair as a process.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/charset/tables.h"
#include "core/repair/repair.h"
#include "core/unicode/utf8.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// Text in `e` (a code page or UTF-8) from UTF-8, and read as `e` into UTF-8.
Bytes Encode(const Bytes& utf8, int e) {
    return e == kEncodingUtf8 ? utf8 : Utf8ToCodePage(e, utf8.data(), utf8.size()).bytes;
}
Bytes Decode(const Bytes& bytes, int e) {
    return e == kEncodingUtf8 ? bytes : CodePageToUtf8(e, bytes.data(), bytes.size());
}

Bytes Repaired(const Bytes& bytes, int target = kEncodingUtf8, int asItStands = -1) {
    const auto best = FindRepairReadings(bytes.data(), bytes.size(), asItStands, 1);
    return ApplyRepairReading(best.at(0), bytes.data(), bytes.size(), target);
}

// Held-out lines: every 40th of the evaluation's texts, letters and
// punctuation every code page holds.
std::vector<Bytes> HeldOutLines() {
    std::ifstream in(LORK2_SOURCE_DIR "/bench/repair_holdout.txt", std::ios::binary);
    std::vector<Bytes> lines;
    int k = 0;
    for (std::string line; std::getline(in, line);) {
        if (k++ % 40) continue;
        const Bytes u = B(line);
        const Bytes back = Decode(Encode(u, kCodePageOem), kCodePageOem);
        if (back == u && Utf8ToCodePage(kCodePageOem, u.data(), u.size()).substitutes == 0) lines.push_back(u);
    }
    return lines;
}

TEST(Repair, HeldOutTextsComeBackFromEveryCommonGarbling) {
    const std::vector<Bytes> lines = HeldOutLines();
    ASSERT_GE(lines.size(), 30u);
    // (original, read as, saved as) and once more: the families users meet.
    struct Chain {
        int original, wrong, saved, wrong2, saved2;
    };
    const Chain chains[] = {
        {kEncodingUtf8, 0, kEncodingUtf8, -1, -1}, {0, 2, kEncodingUtf8, -1, -1}, {2, 0, kEncodingUtf8, -1, -1},
        {0, 1, kEncodingUtf8, -1, -1},           {1, 0, kEncodingUtf8, -1, -1}, {kEncodingUtf8, 2, kEncodingUtf8, -1, -1},
        {2, 0, 0, -1, -1},                     {0, 2, 2, -1, -1},          {0, 4, kEncodingUtf8, -1, -1},
        {kEncodingUtf8, 0, kEncodingUtf8, 0, kEncodingUtf8}, {2, 0, kEncodingUtf8, 0, kEncodingUtf8},
    };
    int misses = 0, total = 0;
    for (const Bytes& line : lines) {
        // KOI8-R without its eighth bit: sentences with no Latin of their own.
        Bytes seven = Encode(line, kCodePageKoi8);
        bool latin = false;
        for (unsigned char& b : seven) {
            latin = latin || (b >= 0x40 && b < 0x80);
            b &= 0x7F;
        }
        if (!latin && line.size() >= 120) {
            EXPECT_EQ(Repaired(seven), line);
        }
        for (int cp = 0; cp <= kEncodingUtf8; ++cp) { // clean, as shown and not
            ++total;
            misses += Repaired(Encode(line, cp)) != line;
            EXPECT_EQ(Repaired(Encode(line, cp), kEncodingUtf8, cp), line) << "clean in " << cp;
        }
        for (const Chain& c : chains) {
            Bytes bytes = Encode(Decode(Encode(line, c.original), c.wrong), c.saved);
            if (c.wrong2 >= 0) bytes = Encode(Decode(bytes, c.wrong2), c.saved2);
            ++total;
            misses += Repaired(bytes) != line;
        }
    }
    // A rare line reads as well one way as another (1251 taken for Mac
    // Cyrillic differs only in its capitals); no more than one in 200.
    EXPECT_LE(misses * 200, total);
}

TEST(Repair, ExamplesAndTheirNames) {
    const Bytes twice = B(U8(u8"РџСЂРёРІРµС‚, РјРёСЂ"));
    auto r = FindRepairReadings(twice.data(), twice.size(), -1, 5);
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(RepairReadingName(r[0]), "utf8 read as cp1251, saved as utf8");
    EXPECT_EQ(RepairReadingNameRussian(r[0]), "UTF-8, прочитанный как 1251");
    EXPECT_EQ(ApplyRepairReading(r[0], twice.data(), twice.size(), kCodePageAnsi), B("Привет, мир"));
    // The editor keeps its display code page when it holds the result.
    EXPECT_EQ(RepairTargetCodePage(r[0], twice.data(), twice.size(), kCodePageKoi8), kCodePageKoi8);
    const Bytes boxes = B(U8(u8"Р’С…РѕРґ в•”в•ђв•—"));
    r = FindRepairReadings(boxes.data(), boxes.size(), -1, 1);
    EXPECT_EQ(RepairTargetCodePage(r[0], boxes.data(), boxes.size(), kCodePageAnsi), kCodePageOem);
    const Bytes latin1 = B(U8(u8"Ïðèâåò, ìèð"));
    r = FindRepairReadings(latin1.data(), latin1.size(), -1, 1);
    EXPECT_EQ(RepairReadingName(r[0]), "cp1251 read as cp1252, saved as utf8");
    // Garbled by the programs that garble (Python's codecs: Apple's current
    // Mac Cyrillic, Latin-1 with its control characters, Mac Roman, DOS 437).
    const struct {
        const char8_t* garbled;
        const char* reading;
    } western[] = {
        {u8"Ќе удалось открыть файл дл€ чтени€", "cp1251 read as mac-cyrillic with the euro, saved as utf8"},
        {u8"Ð\u009DÐµ Ñ\u0083Ð´Ð°Ð»Ð¾Ñ\u0081Ñ\u008C Ð¾Ñ\u0082ÐºÑ\u0080Ñ\u008BÑ\u0082Ñ\u008C Ñ\u0084Ð°Ð¹Ð» "
         u8"Ð´Ð»Ñ\u008F Ñ\u0087Ñ\u0082ÐµÐ½Ð¸Ñ\u008F",
         "utf8 read as iso-8859-1, saved as utf8"},
        {u8"–ù–µ —É–¥–∞–ª–æ—Å—å –æ—Ç–∫—Ä—ã—Ç—å —Ñ–∞–π–ª –¥–ª—è —á—Ç–µ–Ω–∏—è", "utf8 read as mac-roman, saved as utf8"},
        {u8"ÕÂ Û‰‡ÎÓÒ¸ ÓÚÍ\uF8FF˚Ú¸ Ù‡ÈÎ ‰Îˇ ˜ÚÂÌËˇ", "cp1251 read as mac-roman, saved as utf8"},
        {u8"ìÑ πñá½«ß∞ «Γ¬αδΓ∞ Σá⌐½ ñ½∩ τΓÑ¡¿∩", "cp866 read as cp437, saved as utf8"},
        {u8"╨¥╨╡ ╤â╨┤╨░╨╗╨╛╤ü╤î ╨╛╤é╨║╤Ç╤ï╤é╤î ╤ä╨░╨╣╨╗ ╨┤╨╗╤Å ╤ç╤é╨╡╨╜╨╕╤Å", "utf8 read as cp437, saved as utf8"},
    };
    for (const auto& w : western) {
        const Bytes garbled = B(U8(w.garbled));
        r = FindRepairReadings(garbled.data(), garbled.size(), -1, 1);
        EXPECT_EQ(RepairReadingName(r.at(0)), w.reading);
        EXPECT_EQ(ApplyRepairReading(r[0], garbled.data(), garbled.size(), kCodePageAnsi),
                  B("Не удалось открыть файл для чтения"));
    }
    // 1251 read as Mac Cyrillic changes only capitals and я: one of them
    // alone, as a quotation mark or a Macedonian letter, is still enough.
    const struct {
        const char8_t* garbled;
        const char* want;
    } mac[] = {{u8"«апрос информации", "Запрос информации"}, {u8"рабоча€ копи€", "рабочая копия"},
               {u8"Ќ установить временной", "Н установить временной"}, {u8"” вас нет", "У вас нет"}};
    for (const auto& m : mac)
        for (int saved : {0, int{kEncodingUtf8}})
            EXPECT_EQ(Repaired(Encode(B(U8(m.garbled)), saved), kCodePageAnsi), B(m.want)) << m.want;
    // A strict 1251 reader's '?' for 0x98, where only И fits, in blocks of
    // any size.
    const Bytes strict = B(U8(u8"Р?Р—РњР•РќР?РўР¬ Р?РњРЇ Р¤РђР™Р›Рђ"));
    r = FindRepairReadings(strict.data(), strict.size(), -1, 1);
    RepairDecoder bytewise(r.at(0), kCodePageAnsi);
    Bytes restored;
    for (std::size_t i = 0; i < strict.size(); ++i) bytewise.Feed(&strict[i], 1, i + 1 == strict.size(), restored);
    EXPECT_EQ(restored, B("ИЗМЕНИТЬ ИМЯ ФАЙЛА"));
    // English, Russian in Latin letters and base64 stay as they are, never
    // taken for KOI8-R without its eighth bit; a short line of it comes back,
    // its ё in the '#' the stripped bit leaves, in blocks of any size.
    // Clean Russian stays in every encoding, shown as it is or not: a Latin
    // letter inside a word, a transliterated name, UTF-8 that reads well.
    for (const char8_t* clean : {u8"Мaнуальный", u8"Чжан Чао", u8"Чжан Чао приехал в Москву",
                                 u8"Привет, как дела у тебя сегодня\nЭто обычная строка текста\nВсё хорошо\n"})
        for (int cp : {0, 1, 2, int{kEncodingUtf8}})
            for (int shown : {-1, cp}) EXPECT_EQ(Repaired(Encode(B(U8(clean)), cp), kEncodingUtf8, shown), B(U8(clean)));
    for (const char* latin : {"Hello world, this is a test", "WARNING: FILE NOT FOUND", "README", "x", "",
                              "GNU GENERAL PUBLIC LICENSE", "privet, kak dela", "novyj fajl: %s",
                              "bdwinFM3+lPwzaqX8ynq8g==", "zsgbdwijinM=", "wcDoOajN0bdX"})
        EXPECT_EQ(Repaired(B(latin)), B(latin));
    const Bytes seven = B("IZMEN#N WLADELEC FAJLA");
    const auto best = FindRepairReadings(seven.data(), seven.size(), -1, 1).at(0);
    EXPECT_TRUE(best.sevenBit);
    RepairDecoder decoder(best, kEncodingUtf8);
    Bytes pieces;
    for (std::size_t i = 0; i < seven.size(); ++i) decoder.Feed(&seven[i], 1, i + 1 == seven.size(), pieces);
    EXPECT_EQ(pieces, B(U8(u8"изменён владелец файла")));
}

TEST(Repair, BlocksOfAnySizeGiveTheWholeResult) {
    std::string text;
    for (const Bytes& line : HeldOutLines()) text += std::string(line.begin(), line.end()) + "\r\n";
    // Twice through UTF-8 read as 1251: sequences of up to six bytes per letter.
    const Bytes once = Encode(Decode(B(text), 0), kEncodingUtf8);
    const Bytes bytes = Encode(Decode(once, 0), kEncodingUtf8);
    const auto best = FindRepairReadings(bytes.data(), bytes.size(), -1, 1).at(0);
    for (int target : {kEncodingUtf8, int{kCodePageKoi8}}) {
        const Bytes whole = ApplyRepairReading(best, bytes.data(), bytes.size(), target);
        RepairDecoder decoder(best, target);
        Bytes pieces;
        for (std::size_t i = 0, step = 1; i < bytes.size(); i += step, step = step % 7 + 1) {
            const std::size_t n = std::min(step, bytes.size() - i);
            decoder.Feed(bytes.data() + i, n, i + n == bytes.size(), pieces);
        }
        EXPECT_EQ(pieces, whole);
        if (target == kEncodingUtf8) {
            EXPECT_EQ(whole, B(text));
        }
    }
}

TEST(Repair, MixedDocumentsComeBackLineByLineInOneEncoding) {
    // Clean UTF-8 lines, 1251 lines and lines garbled one way: UTF-8 read as
    // 1251, or 1251 read as Mac Cyrillic and saved as 1251; the clean ones
    // count as left as they stand.
    for (const bool mac : {false, true}) {
        std::string want;
        Bytes mixed;
        int k = 0, garbled = 0;
        for (const Bytes& line : HeldOutLines()) {
            // 1251 lacks some signs of Mac Cyrillic (≈ for Е): such a line
            // cannot come back.
            const Bytes shown = mac ? Decode(Encode(line, 0), kCodePageMac) : Decode(line, 0);
            const auto asMac = Utf8ToCodePage(0, shown.data(), shown.size());
            if (mac && asMac.substitutes) continue;
            const Bytes wrong = mac ? asMac.bytes : shown;
            Bytes part = k % 3 == 0 ? line : k % 3 == 1 ? wrong : Encode(line, 0);
            garbled += k++ % 3 == 1 && wrong != Encode(line, 0);
            mixed.insert(mixed.end(), part.begin(), part.end());
            mixed.push_back('\n');
            want += std::string(line.begin(), line.end()) + "\n";
        }
        const auto best = FindRepairReadings(mixed.data(), mixed.size(), -1, 1).at(0);
        const auto readings = FindPartReadings(mixed.data(), mixed.size(), -1, best);
        for (std::size_t step : {std::size_t{1}, std::size_t{7}, mixed.size()}) {
            RepairByParts parts(readings, -1, kEncodingUtf8);
            Bytes out;
            for (std::size_t i = 0; i < mixed.size(); i += step)
                parts.Feed(mixed.data() + i, std::min(step, mixed.size() - i), i + step >= mixed.size(), out);
            EXPECT_EQ(std::string(out.begin(), out.end()), want) << step;
            EXPECT_EQ(parts.parts(), static_cast<std::size_t>(k));
            // (Plain Mac Cyrillic gives some of the Mac lines back, and counts
            // as the bytes as they stand.)
            EXPECT_GE(parts.changed() + (mac ? 2 : 0), static_cast<std::size_t>(garbled));
            EXPECT_LT(parts.changed(), static_cast<std::size_t>(k));
        }
    }
}

TEST(Repair, EveryByteValueAndCutSequencesAreBounded) {
    Bytes all;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b) all.push_back(static_cast<unsigned char>(b * (round + 1)));
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{2}, all.size()}) {
        const auto readings = FindRepairReadings(all.data(), n, -1, 100);
        ASSERT_FALSE(readings.empty());
        for (const RepairReading& r : readings)
            for (int target = 0; target <= kEncodingUtf8; ++target)
                EXPECT_LE(ApplyRepairReading(r, all.data(), n, target).size(), 4 * n);
    }
}

} // namespace

#ifndef _WIN32
namespace {

// lork2-text repair as a script runs it, in a folder of its own.
struct ToolFolder {
    std::string dir;
    explicit ToolFolder(const std::string& name) : dir(LORK2_BINARY_DIR "/" + name) {
        std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
    }
    ~ToolFolder() { std::system(("rm -rf '" + dir + "'").c_str()); }
    void write(const std::string& name, const std::string& data) const {
        std::ofstream(dir + "/" + name, std::ios::binary) << data;
    }
    std::string read(const std::string& name) const {
        std::ifstream f(dir + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    int sh(const std::string& command) const {
        const int raw = std::system(("cd '" + dir + "' && " + command).c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    int run(const std::string& args) const {
        return sh("'" LORK2_BINARY_DIR "/tools/lork2-text' " + args + " >out 2>err");
    }
};

} // namespace

TEST(RepairCommand, WritesTheTextNamesTheReadingAndKeepsOutOnFailure) {
    const ToolFolder folder("repair-test");
    const auto write = [&](const std::string& name, const std::string& data) { folder.write(name, data); };
    const auto read = [&](const std::string& name) { return folder.read(name); };
    const auto run = [&](const std::string& args) { return folder.run(args); };
    write("mail.txt", U8(u8"РџСЂРёРІРµС‚, РјРёСЂ\n"));
    EXPECT_EQ(run("repair --to ansi mail.txt"), 0);
    EXPECT_EQ(read("out"), "Привет, мир\n");
    EXPECT_EQ(read("err"), "lork2-text: utf8 read as cp1251, saved as utf8\n");
    // Without --to, UTF-8 stays UTF-8; a clean line among garbled ones stays.
    write("half.txt", U8(u8"РџСЂРёРІРµС‚, РјРёСЂ\nДобрый день, коллеги\n"));
    EXPECT_EQ(run("repair half.txt"), 0);
    EXPECT_EQ(read("out"), U8(u8"Привет, мир\nДобрый день, коллеги\n"));
    EXPECT_EQ(read("err"), "lork2-text: utf8 read as cp1251, saved as utf8; 1 of 2 lines repaired\n");
    EXPECT_EQ(run("repair --to utf8 -o fixed.txt mail.txt"), 0);
    EXPECT_EQ(read("fixed.txt"), U8(u8"Привет, мир\n"));
    EXPECT_EQ(run("repair --list 3 --to ansi mail.txt"), 0);
    const std::string list = read("out");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 3);
    EXPECT_NE(list.find("utf8 read as cp1251, saved as utf8\tПривет, мир\n"), std::string::npos);
    // Text with nothing above ASCII, and empty input, pass unchanged.
    write("plain.txt", "Nothing to repair here.\n");
    EXPECT_EQ(run("repair --to koi8 < plain.txt"), 0);
    EXPECT_EQ(read("out"), "Nothing to repair here.\n");
    EXPECT_EQ(run("repair < /dev/null"), 0);
    EXPECT_EQ(read("out"), "");
    // Bad arguments exit 2, a missing file 1; OUT stays as it was.
    for (const char* bad : {"repair --to cp1251", "repair --list 0", "repair --list", "repair --x"})
        EXPECT_EQ(run(std::string(bad) + " -o fixed.txt"), 2) << bad;
    EXPECT_EQ(run("repair missing.txt -o fixed.txt"), 1);
    EXPECT_NE(read("err").find("missing.txt"), std::string::npos);
    EXPECT_EQ(read("fixed.txt"), U8(u8"Привет, мир\n"));
}

// UTF-16 of either byte order, several files in one call, and files
// rewritten in place.
TEST(RepairCommand, RepairsUtf16SeveralFilesAndFilesInPlace) {
    const ToolFolder f("repair-files-test");
    // python3 -c "print('Привет, мир! Как дела у тебя сегодня?'.encode('utf-8').decode('cp1251'))"
    const std::string garbled = U8(u8"РџСЂРёРІРµС‚, РјРёСЂ! РљР°Рє РґРµР»Р° Сѓ С‚РµР±СЏ СЃРµРіРѕРґРЅСЏ?\n");
    const std::string clean = U8(u8"Привет, мир! Как дела у тебя сегодня?\n");
    f.write("mail.txt", garbled);
    f.write("clean.txt", clean);
    // UTF-16 with the mark, written by iconv; emoji (surrogate pairs) at every
    // offset in a text longer than a block.
    std::string big;
    for (int i = 0; big.size() < (3u << 20); ++i)
        big += std::string(i % 7, 'x') + U8(u8"😀😀😀😀😀😀😀😀😀😀😀😀\n") + garbled;
    f.write("big.txt", big);
    f.write("clean.u8", clean);
    for (const char* name : {"mail", "clean", "big"})
        for (const char* order : {"LE", "BE"})
            ASSERT_EQ(f.sh(std::string("{ printf '\\357\\273\\277'; cat ") + name +
                           ".txt; } | iconv -f UTF-8 -t UTF-16" + order + " >" + name + "-" + order + ".txt"),
                      0);
    const std::string le = f.read("mail-LE.txt"), be = f.read("mail-BE.txt");
    ASSERT_EQ(le.substr(0, 2), "\xFF\xFE");
    ASSERT_EQ(be.substr(0, 2), "\xFE\xFF");

    // Without --to the text comes back in the file's own UTF-16, mark first.
    EXPECT_EQ(f.run("repair mail-LE.txt"), 0);
    EXPECT_EQ(f.read("out"), f.read("clean-LE.txt"));
    EXPECT_EQ(f.read("err"), "lork2-text: utf8 read as cp1251, saved as utf16le\n");
    EXPECT_EQ(f.run("repair < mail-BE.txt"), 0);
    EXPECT_EQ(f.read("out"), f.read("clean-BE.txt"));
    EXPECT_EQ(f.run("repair --to ansi mail-BE.txt"), 0);
    EXPECT_EQ(f.read("out"), "Привет, мир! Как дела у тебя сегодня?\n");
    EXPECT_EQ(f.run("repair --list 2 mail-LE.txt"), 0);
    EXPECT_NE(f.read("out").find(U8(u8"utf8 read as cp1251, saved as utf16le\tПривет, мир!")), std::string::npos);
    // Block by block the same as the text in UTF-8.
    EXPECT_EQ(f.sh("cat big-BE.txt | '" LORK2_BINARY_DIR "/tools/lork2-text' repair --to utf8 >out16 2>err16"), 0);
    EXPECT_EQ(f.run("repair --to utf8 big.txt"), 0);
    EXPECT_TRUE(f.read("out16") == f.read("out"));
    EXPECT_EQ(f.read("out").find(garbled), std::string::npos);
    EXPECT_EQ(f.read("err16"), "lork2-text: utf8 read as cp1251, saved as utf16be; " +
                                   f.read("err").substr(f.read("err").find("; ") + 2));

    // Several files, each on its own reading; a missing one is named, the
    // rest still go.
    EXPECT_EQ(f.run("repair --to utf8 mail-LE.txt missing.txt mail.txt clean.txt mail-BE.txt"), 1);
    EXPECT_EQ(f.read("out"), clean + clean + clean + clean);
    const std::string err = f.read("err");
    for (const char* line : {"lork2-text: mail-LE.txt: utf8 read as cp1251, saved as utf16le\n",
                             "lork2-text: missing.txt: No such file or directory\n",
                             "lork2-text: mail.txt: utf8 read as cp1251, saved as utf8\n",
                             "lork2-text: clean.txt: utf8\n",
                             "lork2-text: mail-BE.txt: utf8 read as cp1251, saved as utf16be\n"})
        EXPECT_NE(err.find(line), std::string::npos) << line << err;

    // In place: the garbled files are rewritten in their own encoding with
    // their modes kept; a clean file keeps its bytes and its time.
    ASSERT_EQ(f.sh("chmod 640 mail-LE.txt && touch -d 2001-02-03 clean.txt clean-BE.txt"), 0);
    struct stat before {};
    ASSERT_EQ(stat((f.dir + "/clean.txt").c_str(), &before), 0);
    f.write("marked.txt", "\xEF\xBB\xBF" + garbled);
    EXPECT_EQ(f.run("repair --in-place mail-LE.txt clean.txt mail.txt clean-BE.txt marked.txt"), 0);
    EXPECT_EQ(f.read("mail-LE.txt"), f.read("clean-LE.txt"));
    EXPECT_EQ(f.read("mail.txt"), clean);
    EXPECT_EQ(f.read("marked.txt"), "\xEF\xBB\xBF" + clean);
    EXPECT_EQ(f.read("clean.txt"), clean);
    struct stat after {}, mode {};
    ASSERT_EQ(stat((f.dir + "/clean.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_mtime, before.st_mtime);
    ASSERT_EQ(stat((f.dir + "/mail-LE.txt").c_str(), &mode), 0);
    EXPECT_EQ(mode.st_mode & 07777, 0640u);
    EXPECT_EQ(f.read("err"), "lork2-text: mail-LE.txt: utf8 read as cp1251, saved as utf16le\n"
                             "lork2-text: clean.txt: utf8, left as it stands\n"
                             "lork2-text: mail.txt: utf8 read as cp1251, saved as utf8\n"
                             "lork2-text: clean-BE.txt: utf16be, left as it stands\n"
                             "lork2-text: marked.txt: utf8 read as cp1251, saved as utf8\n");
    EXPECT_NE(f.sh("ls | grep -q tmp"), 0) << "no temporary file is left";
    // --to names the encoding written; standard input and -o are refused.
    EXPECT_EQ(f.run("repair --in-place --to oem mail-BE.txt"), 0);
    ASSERT_EQ(f.sh("iconv -f UTF-8 -t CP866 clean.u8 >clean.866"), 0);
    EXPECT_EQ(f.read("mail-BE.txt"), f.read("clean.866"));
    for (const char* refused :
         {"repair --in-place", "repair --in-place - < mail.txt", "-o x repair --in-place mail.txt"})
        EXPECT_EQ(f.run(refused), 2) << refused;
}
#endif
