// Random editing of the real window: seeded sessions of typing, keys with
// Shift and Ctrl, mouse selections and the commands that open no dialog, in
// every display code page, on texts with CR LF, lone LF and zero bytes. Every
// so many steps everything is undone and saved; the file must be the
// original byte for byte, with no crash, hang or message box on the way.
//
// LORK2_MONKEY_SEED=N replays one seed (LORK2_MONKEY_STEPS sets its length);
// LORK2_MONKEY_SECONDS=S runs fresh seeds until S seconds have passed.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/program.h"
#include "base/globals.h"
#include "base/settings.h"
#include "document/documents.h"
#include "editor/control.h"
#include "editor/text_layer.h"
#include "editor/undo.h"
#include "tests/wine/harness.h"

namespace {

using Bytes = std::basic_string<unsigned char>;

Bytes B(const char* s) { return Bytes(reinterpret_cast<const unsigned char*>(s)); }

// Seconds without a finished action before the session counts as hung.
constexpr int kHangSeconds = 120;

std::atomic<long> g_progress{0};
std::atomic<bool> g_sessionRunning{false};
std::atomic<unsigned> g_currentSeed{0};
std::string g_logPath;

// Every action of the session goes to the log file as it is taken, so that a
// crash or a hang leaves the road to it behind.
class ActionLog {
public:
    explicit ActionLog(const std::string& path) : file_(fopen(path.c_str(), "w")) {}
    ~ActionLog() {
        if (file_) fclose(file_);
    }
    ActionLog(const ActionLog&) = delete;
    ActionLog& operator=(const ActionLog&) = delete;
    void Add(const std::string& line) {
        lines_.push_back(line);
        if (file_) {
            fprintf(file_, "%s\n", line.c_str());
            fflush(file_);
        }
    }
    std::string Tail(size_t count) const {
        std::string out;
        for (size_t i = lines_.size() > count ? lines_.size() - count : 0; i < lines_.size(); ++i)
            out += "  " + lines_[i] + "\n";
        return out;
    }
    size_t size() const { return lines_.size(); }

private:
    FILE* file_;
    std::vector<std::string> lines_;
};

void Watchdog() {
    long seen = -1;
    int still = 0;
    for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const long now = g_progress.load();
        if (!g_sessionRunning.load() || now != seen) {
            seen = now;
            still = 0;
            continue;
        }
        if (++still >= kHangSeconds) {
            fprintf(stderr, "monkey: seed %u hung; its actions are in %s\n", g_currentSeed.load(), g_logPath.c_str());
            fflush(stderr);
            _exit(3);
        }
    }
}

std::string TempFolder() {
    char path[MAX_PATH];
    GetTempPathA(sizeof path, path);
    std::string folder = std::string(path) + "lork2-monkey";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

Bytes ReadFileBytes(const std::string& path) {
    Bytes out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return out;
    unsigned char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, n);
    fclose(f);
    return out;
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

Bytes EditorText() {
    Bytes out(TextLength(g_editor) + 2, 0);
    out.resize(StreamBytesOut(g_editor, false, out.data(), static_cast<int32_t>(out.size())));
    return out;
}

std::string Hex(const Bytes& bytes, size_t from, size_t count) {
    std::string out;
    char b[4];
    for (size_t i = from; i < bytes.size() && i < from + count; ++i) {
        snprintf(b, sizeof b, "%02X ", bytes[i]);
        out += b;
    }
    return out;
}

// Where two texts first differ, for the failure message.
std::string Difference(const Bytes& want, const Bytes& got) {
    size_t i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i]) ++i;
    const size_t from = i > 8 ? i - 8 : 0;
    return "lengths " + std::to_string(want.size()) + " and " + std::to_string(got.size()) + ", first difference at " +
           std::to_string(i) + "\n  want " + Hex(want, from, 24) + "\n  got  " + Hex(got, from, 24);
}

// A document of Russian lines in any of the three code pages, with CR LF,
// lone LF and the odd zero byte.
Bytes MakeText(std::mt19937& rng) {
    static const char* const kWords[] = {
        "\xEF\xF0\xE8\xE2\xE5\xF2", "\xEC\xE8\xF0", "\xD0\xEE\xF1\xF1\xE8\xFF", "\xF2\xE5\xEA\xF1\xF2",
        "\x8F\xE0\xA8\xA2\xA5\xE2", "\xAC\xA8\xE0",                            // 866
        "\xF0\xD2\xC9\xD7\xC5\xD4", "\xED\xC9\xD2",                            // KOI8-R
        "\xB0\xB1\xB2\xBA\xBF\xC4\xCD", "word", "line", "a", "12345", "\xB6\xA7\x95"};
    std::uniform_int_distribution<int> lines(3, 60);
    std::uniform_int_distribution<int> words(0, 9);
    std::uniform_int_distribution<size_t> word(0, std::size(kWords) - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    Bytes text;
    const int n = lines(rng);
    for (int line = 0; line < n; ++line) {
        const int w = words(rng);
        for (int i = 0; i < w; ++i) {
            if (i) text += ' ';
            text += reinterpret_cast<const unsigned char*>(kWords[word(rng)]);
            if (percent(rng) < 3) text += static_cast<unsigned char>(0);
        }
        const int end = percent(rng);
        if (line == n - 1 && end < 30) break; // no line break at the end
        if (end < 15) {
            text += '\n';
        } else {
            text += B("\r\n");
        }
    }
    return text;
}

class Session {
public:
    Session(unsigned seed, ActionLog& log) : rng_(seed), log_(log) {}

    // One random action; returns false when a check failed (message given).
    bool Step(std::string* failure) {
        const int kind = Pick(100);
        if (kind < 30) {
            TypeSomething();
        } else if (kind < 62) {
            PressSomeKey();
        } else if (kind < 74) {
            UseTheMouse();
        } else if (kind < 80) {
            SelectRange();
        } else {
            RunCommand();
        }
        ++g_progress;
        return Checks(failure);
    }

    // Carries out one line of an action log (what Step writes); false for a
    // line it does not know.
    bool Do(const std::string& line) {
        log_.Add(line);
        unsigned a = 0;
        int x = 0, y = 0, x2 = 0, y2 = 0, moves = 0;
        char flags[64] = "";
        const char* l = line.c_str();
        if (sscanf(l, "char %x", &a) == 1) {
            PostMessageA(g_editor, WM_CHAR, a, 1);
            harness::Pump();
        } else if (sscanf(l, "key %x%63[ a-z]", &a, flags) >= 1) {
            const std::string f = flags;
            PressKey(a, f.find("ctrl") != f.npos, f.find("shift") != f.npos, f.find("alt") != f.npos);
        } else if (sscanf(l, "double click %d,%d", &x, &y) == 2) {
            const POINT p{x, y};
            Mouse(WM_LBUTTONDOWN, MK_LBUTTON, p);
            Mouse(WM_LBUTTONUP, 0, p);
            Mouse(WM_LBUTTONDBLCLK, MK_LBUTTON, p);
            Mouse(WM_LBUTTONUP, 0, p);
        } else if (sscanf(l, "click %d,%d%63[ a-z]", &x, &y, flags) >= 2) {
            const WPARAM shift = strstr(flags, "shift") ? MK_SHIFT : 0;
            Mouse(WM_LBUTTONDOWN, MK_LBUTTON | shift, {x, y});
            Mouse(WM_LBUTTONUP, shift, {x, y});
        } else if (sscanf(l, "drag %d,%d to %d,%d in %d", &x, &y, &x2, &y2, &moves) == 5) {
            Mouse(WM_LBUTTONDOWN, MK_LBUTTON, {x, y});
            for (int i = 1; i <= moves; ++i) Mouse(WM_MOUSEMOVE, MK_LBUTTON, {x + (x2 - x) * i / moves, y + (y2 - y) * i / moves});
            Mouse(WM_LBUTTONUP, 0, {x2, y2});
            if (GetCapture() == g_editor) ReleaseCapture();
        } else if (sscanf(l, "select %d,%d", &x, &y) == 2) {
            CHARRANGE range{x, y};
            SendMessageA(g_editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        } else if (sscanf(l, "command %d", &x) == 1) {
            SendMessageA(g_mainWindow, WM_COMMAND, x, 0);
            harness::Pump();
        } else {
            return false;
        }
        return true;
    }

    // Everything undone, the text must be the original; then it is saved and
    // the file must be too.
    bool UndoAllAndSave(const std::string& path, const Bytes& original, std::string* failure) {
        log_.Add("undo all, save");
        for (long i = 0; !UndoHistoryEmpty(); ++i) {
            if (i > 1000000) {
                *failure = "the undo history never empties";
                return false;
            }
            SendMessageA(g_mainWindow, WM_COMMAND, 4, 0);
            if ((i & 255) == 0) ++g_progress;
        }
        harness::Pump();
        const Bytes shown = EditorText();
        if (shown != original) {
            *failure = "after undoing everything the text differs: " + Difference(original, shown);
            return false;
        }
        if (!SaveFile()) {
            *failure = "saving failed";
            return false;
        }
        const Bytes saved = ReadFileBytes(path);
        if (saved != original) {
            *failure = "the saved file differs: " + Difference(original, saved);
            return false;
        }
        return Checks(failure);
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // Makes an action line and carries it out.
    void Act(const char* format, ...) {
        char line[200];
        va_list args;
        va_start(args, format);
        vsnprintf(line, sizeof line, format, args);
        va_end(args);
        Do(line);
    }

    void Char(unsigned char c) { Act("char %02X", c); }

    void TypeSomething() {
        static const unsigned char kCyrillic[] = {0xC0, 0xC1, 0xCF, 0xD0, 0xDF, 0xE0, 0xE5, 0xEF,
                                                  0xF0, 0xF1, 0xFF, 0xA8, 0xB8, 0xB9};
        static const unsigned char kSpecial[] = {0xB6, 0xA7, 0x95};
        const int run = 1 + Pick(6);
        for (int i = 0; i < run; ++i) {
            const int what = Pick(10);
            if (what < 4) {
                Char(static_cast<unsigned char>(0x20 + Pick(0x5F)));
            } else if (what < 7) {
                Char(kCyrillic[Pick(static_cast<int>(std::size(kCyrillic)))]);
            } else if (what < 8) {
                Char(kSpecial[Pick(3)]);
            } else if (what < 9) {
                Key(VK_RETURN, false, false, false);
            } else {
                Char('\t');
            }
        }
    }

    void Key(UINT vk, bool ctrl, bool shift, bool alt) {
        Act("key %02X%s%s%s", vk, ctrl ? " ctrl" : "", shift ? " shift" : "", alt ? " alt" : "");
    }

    void PressKey(UINT vk, bool ctrl, bool shift, bool alt) {
        if (!alt) {
            harness::PressKey(g_editor, vk, ctrl, shift, false);
            return;
        }
        // Alt as the keyboard gives it: its own press and release around the key.
        using harness::kAltContext;
        using harness::kKeyReleased;
        {
            harness::HeldKeys held{VK_MENU};
            harness::PostKeyMessage(g_editor, WM_SYSKEYDOWN, VK_MENU, kAltContext);
            if (g_editor) harness::PostKeyMessage(g_editor, WM_SYSKEYDOWN, vk, kAltContext);
            if (g_editor) harness::PostKeyMessage(g_editor, WM_SYSKEYUP, vk, kAltContext | kKeyReleased);
        }
        if (g_editor) harness::PostKeyMessage(g_editor, WM_KEYUP, VK_MENU, kKeyReleased);
    }

    void PressSomeKey() {
        static const UINT kKeys[] = {VK_LEFT,  VK_RIGHT, VK_UP,     VK_DOWN, VK_HOME,  VK_END,
                                     VK_PRIOR, VK_NEXT,  VK_DELETE, VK_BACK, VK_INSERT, VK_RETURN,
                                     VK_LEFT,  VK_RIGHT, VK_UP,     VK_DOWN, VK_DELETE, VK_BACK};
        const int what = Pick(20);
        if (what < 16) {
            const UINT vk = kKeys[Pick(static_cast<int>(std::size(kKeys)))];
            const bool ctrl = Pick(4) == 0;
            Key(vk, ctrl, Pick(3) == 0, false);
            return;
        }
        // Shortcuts the editor sees as keys: delete line, clipboard, undo.
        static const struct {
            UINT vk;
            bool ctrl, shift, alt;
        } kShortcuts[] = {{'Y', true, false, false},       {'C', true, false, false},      {'V', true, false, false},
                          {'X', true, false, false},       {'Z', true, false, false},      {VK_INSERT, true, false, false},
                          {VK_INSERT, false, true, false}, {VK_DELETE, false, true, false}, {VK_BACK, false, false, true},
                          {VK_F2, false, false, false},    {VK_F2, true, false, false},    {VK_F2, false, false, true},
                          {VK_F5, false, false, false},    {'H', true, false, false},      {VK_TAB, true, false, false}};
        const auto& s = kShortcuts[Pick(static_cast<int>(std::size(kShortcuts)))];
        Key(s.vk, s.ctrl, s.shift, s.alt);
    }

    POINT RandomPoint() {
        RECT client;
        GetClientRect(g_editor, &client);
        return {Pick(std::max<LONG>(client.right, 1)), Pick(std::max<LONG>(client.bottom, 1))};
    }

    void Mouse(UINT message, WPARAM keys, POINT p) {
        PostMessageA(g_editor, message, keys, MAKELPARAM(p.x, p.y));
        harness::Pump();
    }

    void UseTheMouse() {
        const POINT from = RandomPoint();
        const int what = Pick(4);
        if (what == 0) {
            Act("double click %ld,%ld", from.x, from.y);
        } else if (what == 1) {
            Act("click %ld,%ld%s", from.x, from.y, Pick(5) == 0 ? " shift" : "");
        } else {
            const POINT to = RandomPoint();
            Act("drag %ld,%ld to %ld,%ld in %d", from.x, from.y, to.x, to.y, 1 + Pick(4));
        }
    }

    void SelectRange() {
        const int32_t length = TextLength(g_editor);
        const int32_t a = Pick(length + 1);
        const int32_t b = Pick(6) == 0 ? a : Pick(length + 1);
        Act("select %d,%d", a, b);
    }

    void RunCommand() {
        // The commands that open no dialog: clipboard and undo, display code
        // pages, paragraphs, conversions, word wrap, select all, font size,
        // HTML colouring, the two-key conversions.
        static const int kCommands[] = {1,  2,  3,  4,  6,  16, 17, 18, 19, 20, 21, 22, 25, 29, 30,
                                        31, 32, 33, 34, 35, 36, 47, 48, 49, 52, 4,  4,  3,  47, 6};
        const int id = kCommands[Pick(static_cast<int>(std::size(kCommands)))];
        if (Pick(6) == 0) {
            // The two-key form: Ctrl held, a first and a second letter.
            static const UINT kLetters[] = {'W', 'D', 'K'};
            const UINT first = kLetters[Pick(3)];
            const UINT second = kLetters[Pick(3)];
            Key(first, true, false, false);
            Key(second, true, false, false);
            return;
        }
        Act("command %d", id);
    }

public:
    bool Checks(std::string* failure) {
        if (!g_editor || !IsWindow(g_editor)) {
            *failure = "the editor control is gone";
            return false;
        }
        if (harness::UnexpectedDialogs() != dialogsSeen_) {
            dialogsSeen_ = harness::UnexpectedDialogs();
            std::string texts;
            for (const auto& d : harness::TakeSeenDialogs()) texts += " [" + d.caption + ": " + d.text + "]";
            *failure = "an unexpected message box or dialog:" + texts;
            return false;
        }
        harness::TakeSeenDialogs();
        return true;
    }

private:
    std::mt19937 rng_;
    ActionLog& log_;
    int dialogsSeen_ = harness::UnexpectedDialogs();
};

// Arming the menu bar would start a menu loop waiting for the user: the
// monkey's main window refuses it and counts it as a failure.
WNDPROC g_mainProc;
bool g_menuArmed;
LRESULT CALLBACK RefuseKeyMenu(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) {
        g_menuArmed = true;
        return 0;
    }
    return CallWindowProcA(g_mainProc, hwnd, message, wParam, lParam);
}

struct Outcome {
    bool ok = true;
    long actions = 0;
    std::string message;
};

Bytes ParseHex(const std::string& hex) {
    Bytes out;
    unsigned byte = 0;
    int used = 0;
    for (const char* p = hex.c_str(); sscanf(p, "%2x%n", &byte, &used) == 1; p += used) out += static_cast<unsigned char>(byte);
    return out;
}

// One session: a seeded text and `steps` random actions, or, when `replay`
// holds the lines of an action log, that log's text and actions.
Outcome RunSession(unsigned seed, int steps, const std::vector<std::string>& replay) {
    Outcome outcome;
    g_currentSeed = seed;
    const std::string folder = TempFolder();
    g_logPath = folder + "\\seed-" + std::to_string(seed) + ".log";
    printf("monkey: seed %u, actions logged to %s\n", seed, g_logPath.c_str());
    fflush(stdout);
    harness::ClearSettings();
    SetDecodingForNewText(0);
    ClearUndoHistory();
    if (!harness::StartEditor()) return {false, 0, "the editor did not start"};
    g_mainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefuseKeyMenu)));
    g_menuArmed = false;
    g_sessionRunning = true;

    Bytes original;
    if (replay.empty()) {
        std::mt19937 textRng(seed * 7919u + 1);
        original = MakeText(textRng);
    } else {
        const size_t colon = replay[0].find(": ");
        original = ParseHex(colon == std::string::npos ? "" : replay[0].substr(colon + 2));
    }
    const std::string path = folder + "\\doc-" + std::to_string(seed) + ".txt";
    WriteFileBytes(path, original);
    std::string failure;
    {
        ActionLog log(g_logPath);
        log.Add("load " + std::to_string(original.size()) + " bytes: " + Hex(original, 0, original.size()));
        Session session(seed, log);
        if (!LoadFile(path.c_str())) failure = "the document did not load";
        if (replay.empty()) {
            std::mt19937 checkRng(seed);
            int untilCheck = 0;
            for (int step = 0; failure.empty() && step < steps; ++step) {
                if (untilCheck <= 0) untilCheck = std::uniform_int_distribution<int>(20, 150)(checkRng);
                if (!session.Step(&failure)) break;
                if (g_menuArmed) failure = "the menu bar was armed";
                ++outcome.actions;
                if (--untilCheck == 0 && failure.empty()) session.UndoAllAndSave(path, original, &failure);
            }
        } else {
            for (size_t i = 1; failure.empty() && i < replay.size(); ++i) {
                if (replay[i] == "undo all, save") {
                    session.UndoAllAndSave(path, original, &failure);
                    continue;
                }
                if (!session.Do(replay[i])) continue;
                ++g_progress;
                ++outcome.actions;
                session.Checks(&failure);
                if (g_menuArmed) failure = "the menu bar was armed";
            }
        }
        if (failure.empty()) session.UndoAllAndSave(path, original, &failure);
        if (g_menuArmed && failure.empty()) failure = "the menu bar was armed";
        if (!failure.empty()) {
            outcome.ok = false;
            outcome.message = "seed " + std::to_string(seed) + ": " + failure + "\nlast actions (all in " + g_logPath +
                              "):\n" + log.Tail(60) + "replay: LORK2_MONKEY_SEED=" + std::to_string(seed) +
                              " LORK2_MONKEY_STEPS=" + std::to_string(steps) + ", or LORK2_MONKEY_REPLAY=" + g_logPath;
        }
    }
    g_sessionRunning = false;
    ClearUndoHistory();
    if (g_mainWindow && IsWindow(g_mainWindow))
        SetWindowLongPtrA(g_mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc));
    harness::StopEditor();
    harness::ClearSettings();
    SetDecodingForNewText(0);
    DeleteFileA(path.c_str());
    if (outcome.ok && replay.empty()) DeleteFileA(g_logPath.c_str()); // only the logs of failures stay
    return outcome;
}

std::vector<std::string> ReadLines(const char* path) {
    std::vector<std::string> lines;
    FILE* f = fopen(path, "r");
    if (!f) return lines;
    std::string line;
    for (int c; (c = fgetc(f)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    fclose(f);
    return lines;
}

int EnvInt(const char* name, int fallback) {
    const char* v = getenv(name);
    return v && *v ? atoi(v) : fallback;
}

TEST(Monkey, RandomEditingUndoneAndSavedGivesBackTheOriginal) {
    std::thread(Watchdog).detach();
    const int steps = EnvInt("LORK2_MONKEY_STEPS", 600);
    const int seconds = EnvInt("LORK2_MONKEY_SECONDS", 0);
    std::vector<unsigned> seeds;
    if (const char* replay = getenv("LORK2_MONKEY_REPLAY")) {
        const std::vector<std::string> lines = ReadLines(replay);
        ASSERT_FALSE(lines.empty()) << "no action log at " << replay;
        const Outcome outcome = RunSession(0, 0, lines);
        EXPECT_TRUE(outcome.ok) << outcome.message;
        printf("monkey: replayed %ld actions\n", outcome.actions);
        return;
    }
    if (const int one = EnvInt("LORK2_MONKEY_SEED", 0)) {
        seeds.push_back(static_cast<unsigned>(one));
    } else if (seconds == 0) {
        // The fixed seeds CI runs, about a minute in all, with the seeds of
        // faults found by longer runs: 1031, a double-clicked word whose
        // deletion took more than its selection.
        for (unsigned s = 1; s <= 11; ++s) seeds.push_back(s);
        seeds.push_back(1031);
    }
    long total = 0;
    int sessions = 0;
    auto runOne = [&](unsigned seed) {
        const Outcome outcome = RunSession(seed, steps, {});
        total += outcome.actions;
        ++sessions;
        if (!outcome.ok) ADD_FAILURE() << outcome.message;
        return outcome.ok;
    };
    for (unsigned seed : seeds) runOne(seed);
    if (seeds.empty()) {
        const auto start = std::chrono::steady_clock::now();
        unsigned seed = static_cast<unsigned>(EnvInt("LORK2_MONKEY_FIRST_SEED", static_cast<int>(GetTickCount() % 100000) + 1000));
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds)) runOne(seed++);
    }
    printf("monkey: %d sessions, %ld actions\n", sessions, total);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
