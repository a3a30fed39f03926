// Random editing of the real window: seeded sessions of typing, keys with
// Shift and Ctrl, mouse selections and every command, in every display code
// page, on texts with CR LF, lone LF and zero bytes (every fourth seed's
// documents break their lines with lone LFs only, and Enter must keep them
// so). Steps are undone and done again on the way. Every dialog a command
// opens is answered at random as a user could (words of the document typed
// into its fields, hex strings, empty and 260-character fields, its check
// boxes, OK, Cancel, Escape). Every so many steps everything is undone and
// saved; the text must be what the undo history promises (the original, or
// the text as it stood when a load, New, Save As or the options dialog
// emptied the history) and the file the control's bytes (in its own encoding
// for every third seed, whose document is a UTF-8 or UTF-16 file, half of
// them with characters no code page holds: there the file must hold every
// character), with no crash, hang or unexpected message box on the way.
//
// LORK2_MONKEY_SEED=N replays one seed (LORK2_MONKEY_STEPS sets its length);
// LORK2_MONKEY_SECONDS=S runs fresh seeds until S seconds have passed;
// LORK2_MONKEY_REPLAY=LOG replays an action log, dialog answers included.
// LORK2_MONKEY_SKIP=10,24 leaves commands out of the dialog commands and
// LORK2_MONKEY_TIMES=1 prints how long each command took, for hunting a fault.
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/program.h"
#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/dialogs/codepage_dialog_ids.h"
#include "core/dialogs/dialog_ids.h"
#include "core/dialogs/options_ids.h"
#include "core/print/print_ids.h"
#include "core/search/search_ids.h"
#include "core/charset/char_map.h"
#include "core/charset/tables.h"
#include "core/unicode/foreign_units.h"
#include "core/unicode/unicode_file.h"
#include "core/unicode/utf8.h"
#include "document/documents.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "tests/wine/harness.h"

namespace {

using Bytes = std::basic_string<unsigned char>;
using harness::ReadFileBytes;

Bytes B(const char* s) { return Bytes(reinterpret_cast<const unsigned char*>(s)); }

// Seconds without a finished action before the session counts as hung.
const int kHangSeconds = getenv("LORK2_MONKEY_HANG_SECONDS") ? atoi(getenv("LORK2_MONKEY_HANG_SECONDS")) : 120;

std::atomic<long> g_progress{0};
std::atomic<bool> g_sessionRunning{false};
std::atomic<unsigned> g_currentSeed{0};
std::string g_logPath;

// Every action of the session goes to the log file as it is taken, so that a
// crash or a hang leaves the road to it behind.
class ActionLog {
public:
    // Written through the system at once, so that a crash of the process
    // loses no line.
    explicit ActionLog(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr)) {}
    ~ActionLog() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    ActionLog(const ActionLog&) = delete;
    ActionLog& operator=(const ActionLog&) = delete;
    void Add(const std::string& line) {
        lines_.push_back(line);
        if (file_ != INVALID_HANDLE_VALUE) {
            const std::string text = line + "\n";
            DWORD written = 0;
            WriteFile(file_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
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
    HANDLE file_;
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

// The bytes a save writes for the text shown: the document's own encoding
// of it (the bytes themselves for a file that is not Unicode). A Unicode
// document's text is its characters, as UTF-8 (`characters`), which a code
// page writes with "?" for each it lacks.
Bytes FileForm(const Bytes& shown, FileEncoding encoding, int codePage, bool characters = false) {
    if (characters) {
        std::vector<unsigned char> bytes;
        ForeignUnits foreign;
        Utf8AsCharacters(codePage, shown.data(), shown.size(), bytes, foreign);
        if (encoding != FileEncoding::Bytes) {
            const ForeignCursor all{foreign.data(), foreign.size()};
            Bytes out(EncodedUnicodeSize(encoding, codePage, bytes.data(), bytes.size(), true, &all), 0);
            ForeignCursor units = all;
            EncodeUnicodeFileInto(encoding, codePage, bytes.data(), bytes.size(), out.data(), true, &units);
            return out;
        }
        Bytes out;
        for (unsigned char b : bytes)
            if (b != kForeignMarkByte) out += b == kForeignByte ? '?' : b;
        return out;
    }
    if (encoding == FileEncoding::Bytes) return shown;
    return harness::UnicodeFileBytes(encoding, codePage, shown.data(), shown.size());
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// The control's bytes; a Unicode document's characters, as UTF-8.
Bytes EditorText() {
    Bytes out(TextLength(EditorWindow()) + 2, 0);
    ForeignUnits foreign;
    out.resize(StreamBytesOut(EditorWindow(), false, out.data(), static_cast<int32_t>(out.size()), &foreign));
    if (!UnicodeDocument()) return out;
    const std::vector<unsigned char> utf8 = CharactersAsUtf8(DisplayCodePage(), out.data(), out.size(), foreign);
    return Bytes(utf8.begin(), utf8.end());
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

// A text of 1251 bytes as a Unicode file's characters (UTF-8); with
// `foreign`, characters none of the code pages hold stand among them: an
// accented letter, a stress mark, ₽, an arrow, an ideograph, an emoji (also
// at the very start and the very end).
Bytes AsCharacters(const Bytes& text, std::mt19937& rng, bool foreign) {
    static const char* const kForeign[] = {"\xC3\xA9", "\xCC\x81", "\xE2\x82\xBD", "\xE2\x86\x92",
                                           "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xC5\x81"};
    const Bytes emoji = B(kForeign[5]);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<size_t> which(0, std::size(kForeign) - 1);
    Bytes out = foreign ? emoji : Bytes();
    for (unsigned char b : text) {
        unsigned char utf8[4];
        out.append(utf8, PutUtf8(utf8, CodePageChar(kCodePageAnsi, b)));
        if (foreign && b != '\r' && percent(rng) < 8) out += B(kForeign[which(rng)]);
    }
    if (foreign) out += emoji;
    return out;
}

std::string HexLine(const Bytes& bytes) {
    if (bytes.empty()) return "-";
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        snprintf(b, sizeof b, "%02X", c);
        out += b;
    }
    return out;
}

Bytes ParseHex(const std::string& hex);

FILETIME WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return FILETIME{};
    return data.ftLastWriteTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

std::string ClassOf(HWND d, int id) {
    char cls[64] = "";
    if (HWND c = GetDlgItem(d, id)) GetClassNameA(c, cls, sizeof cls);
    return cls;
}

bool Has(HWND d, int id) { return GetDlgItem(d, id) != nullptr; }

// A control a user can reach: there, shown and enabled.
bool Usable(HWND d, int id) {
    HWND c = GetDlgItem(d, id);
    return c && IsWindowVisible(c) && IsWindowEnabled(c);
}

class Session {
public:
    Session(unsigned seed, ActionLog& log, const std::string& folder, const Bytes& original, bool characters)
        : rng_(seed), log_(log), folder_(folder), seed_(seed), baseline_(original), baselineCharacters_(characters) {}

    // The documents the Open and Insert dialogs choose among (the first is
    // the one loaded at the start), and every file the session made.
    std::vector<std::string> documents;
    std::vector<std::string> made;
    // Replaying a log: the answers to the dialogs, in order.
    std::deque<std::string> replayAnswers;
    bool replaying = false;

    // One random action; returns false when a check failed (message given).
    bool Step(std::string* failure) {
        Before();
        const int kind = Pick(100);
        if (kind < 28) {
            TypeSomething();
        } else if (kind < 56) {
            PressSomeKey();
        } else if (kind < 67) {
            UseTheMouse();
        } else if (kind < 72) {
            SelectRange();
        } else if (kind < 86) {
            RunCommand();
        } else {
            RunDialogCommand();
        }
        ++g_progress;
        return Checks(failure) && After(failure);
    }

    // What the next action is checked against: the file and the text now.
    void Before() {
        nameBefore_ = g_document.fileName;
        timeBefore_ = WriteTime(nameBefore_);
        textBefore_ = EditorText();
        beforeCharacters_ = UnicodeDocument();
        encodingBefore_ = g_document.encoding;
        displayBefore_ = DisplayCodePage();
        emptying_ = false;
    }

    // After an action: a file it wrote holds the control's bytes, a file it
    // loaded is what the control shows, and an empty undo history promises
    // the text as it is.
    bool After(std::string* failure) {
        if (!actionFailure_.empty()) {
            *failure = actionFailure_;
            return false;
        }
        // A document put in anew decides its line ends again.
        if (emptying_ || nameBefore_ != g_document.fileName) lfDocument = false;
        const Bytes now = EditorText();
        if (DocumentHasFile() || nameBefore_ != g_document.fileName) {
            const FILETIME t = WriteTime(nameBefore_);
            if (!SameTime(t, timeBefore_) && (t.dwLowDateTime || t.dwHighDateTime)) {
                const Bytes saved = ReadFileBytes(nameBefore_);
                if (saved != FileForm(textBefore_, encodingBefore_, displayBefore_, beforeCharacters_) &&
                    saved != FileForm(now, g_document.encoding, DisplayCodePage(), UnicodeDocument())) {
                    *failure = "the file written differs from the control's bytes: " + Difference(textBefore_, saved);
                    return false;
                }
            }
        }
        if (nameBefore_ != g_document.fileName && DocumentHasFile()) {
            const Bytes file = ReadFileBytes(g_document.fileName);
            if (file != FileForm(now, g_document.encoding, DisplayCodePage(), UnicodeDocument())) {
                *failure = std::string("the control and its file ") + g_document.fileName + " differ: " + Difference(file, now);
                return false;
            }
        }
        if (ControlUndoSelected() || (UndoHistoryEmpty() && (emptying_ || nameBefore_ != g_document.fileName))) {
            baseline_ = now;
            baselineCharacters_ = UnicodeDocument();
        } else if (UndoHistoryEmpty() && now != baseline_) {
            *failure = "the undo history is empty but the text is not what it promised: " + Difference(baseline_, now);
            return false;
        }
        return true;
    }

    // Answers a dialog opened by the last action, or gives the answer a log
    // recorded; false for a dialog it does not know.
    bool Respond(HWND d) {
        std::string ops;
        if (replaying) {
            if (replayAnswers.empty()) return false;
            ops = replayAnswers.front();
            replayAnswers.pop_front();
        } else {
            ops = MakeAnswer(d);
            if (ops.empty()) return false;
        }
        log_.Add("answer " + ops);
        ApplyOps(d, ops);
        return true;
    }

    // Carries out one line of an action log (what Step writes); false for a
    // line it does not know. In a document of lone LFs, Enter, Ctrl+Y and the
    // date never bring in a CR.
    bool Do(const std::string& line) {
        const bool keepsLf = lfDocument && (line.rfind("key 0D", 0) == 0 || line == "key 59 ctrl" || line == "command 39") &&
                             line.find("alt") == std::string::npos;
        const auto crs = [] { const Bytes t = EditorText(); return std::count(t.begin(), t.end(), '\r'); };
        const auto crsBefore = keepsLf ? crs() : 0;
        const bool known = DoAction(line);
        if (keepsLf && crs() > crsBefore && actionFailure_.empty())
            actionFailure_ = "\"" + line + "\" put a CR into a document of lone LFs";
        return known;
    }

    // The document breaks its lines with lone LFs (every fourth seed's): until
    // another is put in, Enter must keep to them.
    bool lfDocument = false;

private:
    bool DoAction(const std::string& line) {
        log_.Add(line);
        unsigned a = 0;
        int x = 0, y = 0, x2 = 0, y2 = 0, moves = 0;
        char flags[64] = "";
        const char* l = line.c_str();
        if (sscanf(l, "char %x", &a) == 1) {
            PostMessageA(EditorWindow(), WM_CHAR, a, 1);
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
            if (GetCapture() == EditorWindow()) ReleaseCapture();
        } else if (sscanf(l, "select %d,%d", &x, &y) == 2) {
            CHARRANGE range{x, y};
            SendMessageA(EditorWindow(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        } else if (sscanf(l, "foreign %d", &x) == 1) {
            // Another program replaces the text behind the editor's back.
            const std::string text = "foreign text " + std::to_string(x);
            emptying_ = true;
            SendMessageA(EditorWindow(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            harness::Pump();
        } else if (sscanf(l, "whole texts %d", &x) == 1) {
            WholeTexts(x);
        } else if (sscanf(l, "undo %d and redo", &x) == 1) {
            UndoAndRedo(x);
        } else if (sscanf(l, "command %d", &x) == 1) {
            if (x == IDM_NEW || x == IDM_OPEN || x == IDM_SAVE_AS || x == IDM_OPTIONS ||
                (x >= IDM_RECENT_FIRST && x <= IDM_RECENT_LAST))
                emptying_ = true;
            saveIntent_ = x == IDM_SAVE_AS || (x == IDM_SAVE && !DocumentHasFile());
            const DWORD started = GetTickCount();
            SendMessageA(g_shell.mainWindow, WM_COMMAND, x, 0);
            harness::Pump();
            saveIntent_ = false;
            if (getenv("LORK2_MONKEY_TIMES")) fprintf(stderr, "command %d: %lu ms\n", x, GetTickCount() - started);
        } else {
            return false;
        }
        return true;
    }

public:
    // Everything undone, the text must be what the history promised; then it
    // is saved (an untitled text under a new name) and the file must be too.
    bool UndoAllAndSave(std::string* failure) {
        log_.Add("undo all, save");
        for (long i = 0; !UndoHistoryEmpty(); ++i) {
            if (i > 1000000) {
                *failure = "the undo history never empties";
                return false;
            }
            SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_UNDO, 0);
            if ((i & 255) == 0) ++g_progress;
        }
        harness::Pump();
        const Bytes shown = EditorText();
        if (shown != baseline_) {
            *failure = "after undoing everything the text differs: " + Difference(baseline_, shown);
            return false;
        }
        bool saved = false;
        if (DocumentHasFile()) {
            saved = SaveFile();
        } else {
            forceSave_ = true;
            saved = SaveDocumentAs();
            forceSave_ = false;
        }
        if (!saved) {
            *failure = "saving failed";
            return false;
        }
        const Bytes file = ReadFileBytes(g_document.fileName);
        if (file != FileForm(baseline_, g_document.encoding, DisplayCodePage(), baselineCharacters_)) {
            *failure = "the saved file differs: " + Difference(baseline_, file);
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
            } else if (Pick(3) == 0) {
                // In the middle of a typing run: a display code page, word
                // wrap or the font size.
                static const int kSwitches[] = {IDM_SHOW_ANSI, IDM_SHOW_OEM, IDM_SHOW_KOI8, IDM_WORD_WRAP,
                                                IDM_SIZE_UP,   IDM_SIZE_DOWN};
                Act("command %d", kSwitches[Pick(static_cast<int>(std::size(kSwitches)))]);
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
            harness::PressKey(EditorWindow(), vk, ctrl, shift, false);
            return;
        }
        // Alt as the keyboard gives it: its own press and release around the key.
        using harness::kAltContext;
        using harness::kKeyReleased;
        {
            harness::HeldKeys held{VK_MENU};
            harness::PostKeyMessage(EditorWindow(), WM_SYSKEYDOWN, VK_MENU, kAltContext);
            if (EditorWindow()) harness::PostKeyMessage(EditorWindow(), WM_SYSKEYDOWN, vk, kAltContext);
            if (EditorWindow()) harness::PostKeyMessage(EditorWindow(), WM_SYSKEYUP, vk, kAltContext | kKeyReleased);
        }
        if (EditorWindow()) harness::PostKeyMessage(EditorWindow(), WM_KEYUP, VK_MENU, kKeyReleased);
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
        // Shortcuts the editor sees as keys: delete line, clipboard, undo, redo.
        static const struct {
            UINT vk;
            bool ctrl, shift, alt;
        } kShortcuts[] = {{'Y', true, false, false},       {'C', true, false, false},      {'V', true, false, false},
                          {'X', true, false, false},       {'Z', true, false, false},      {VK_INSERT, true, false, false},
                          {VK_INSERT, false, true, false}, {VK_DELETE, false, true, false}, {VK_BACK, false, false, true},
                          {VK_F2, false, false, false},    {VK_F2, true, false, false},    {VK_F2, false, false, true},
                          {VK_F5, false, false, false},    {'H', true, false, false},      {VK_TAB, true, false, false},
                          {'Z', true, true, false}};
        const auto& s = kShortcuts[Pick(static_cast<int>(std::size(kShortcuts)))];
        Key(s.vk, s.ctrl, s.shift, s.alt);
    }

    POINT RandomPoint() {
        RECT client;
        GetClientRect(EditorWindow(), &client);
        return {Pick(std::max<LONG>(client.right, 1)), Pick(std::max<LONG>(client.bottom, 1))};
    }

    void Mouse(UINT message, WPARAM keys, POINT p) {
        PostMessageA(EditorWindow(), message, keys, MAKELPARAM(p.x, p.y));
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
        const int32_t length = TextLength(EditorWindow());
        const int32_t a = Pick(length + 1);
        const int32_t b = Pick(6) == 0 ? a : Pick(length + 1);
        Act("select %d,%d", a, b);
    }

    void RunCommand() {
        // The commands that open no dialog: clipboard and undo, display code
        // pages, paragraphs, conversions, word wrap, select all, font size,
        // HTML colouring, the two-key conversions.
        static const int kCommands[] = {1,  2,  3,  4,  6,  16, 17, 18, 19, 20, 21, 22, 25, 29, 30, 31,
                                        32, 33, 34, 35, 36, 47, 48, 49, 52, 4,  4,  3,  47, 6,  39};
        const int id = kCommands[Pick(static_cast<int>(std::size(kCommands)))];
        if (Pick(30) == 0) {
            Act("foreign %d", Pick(1000));
            return;
        }
        if (Pick(80) == 0) {
            Act("whole texts %d", Pick(1000));
            return;
        }
        if (Pick(8) == 0) {
            Act("undo %d and redo", 1 + Pick(8));
            return;
        }
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

    // The text grown past 1 MB as one undo step, then whole-text operations
    // in a row, each filling a fresh control once the last is gone (display
    // switches, word wrap on and off, a conversion), and undone (the
    // conversion's snapshot stands for the growth's too): a swap that loses
    // or keeps a byte too many shows.
    void WholeTexts(int variant) {
        if (ControlUndoSelected() || !EditorWindow()) return;
        // The control's bytes, and a Unicode document's foreign units, many times.
        Bytes text(TextLength(EditorWindow()) + 2, 0);
        ForeignUnits units, manyUnits;
        text.resize(StreamBytesOut(EditorWindow(), false, text.data(), static_cast<int32_t>(text.size()), &units));
        Bytes many;
        while (many.size() <= (1u << 20)) {
            many += text + B("\r\n\xD1\xF2\xF0\xEE\xEA\xE0\r\n");
            manyUnits.insert(manyUnits.end(), units.begin(), units.end());
        }
        const CHARRANGE all{0, TextLength(EditorWindow())};
        WholeTextChange change{many.data(), static_cast<int32_t>(many.size()), DisplayCodePage(), nullptr, 0,
                               all, {0, 0}};
        change.foreign = &manyUnits;
        if (!ReplaceWholeText(change)) return;
        const Bytes large = EditorText();
        const int shown = DisplayCodePage();
        const int other = IDM_SHOW_ANSI + (shown + 1 + variant % 2) % 3;
        const auto run = [](std::initializer_list<int> ids) {
            for (const int id : ids) {
                SendMessageA(g_shell.mainWindow, WM_COMMAND, id, 0);
                harness::Pump();
            }
        };
        run({other, IDM_SHOW_ANSI + shown, IDM_WORD_WRAP, IDM_WORD_WRAP});
        if (EditorText() != large) ADD_FAILURE() << "whole texts " << variant << ": the large text changed";
        run({IDM_TO_KOI8, IDM_UNDO});
    }

    // Up to `count` steps undone, then as many redone: the text and its
    // display code page must be what they were before the undo (with the
    // control's own undo, through the control).
    void UndoAndRedo(int count) {
        const Bytes before = EditorText();
        const int shown = DisplayCodePage();
        const auto canUndo = [] {
            return ControlUndoSelected() ? SendMessageA(EditorWindow(), EM_CANUNDO, 0, 0) != 0 : !UndoHistoryEmpty();
        };
        int undone = 0;
        for (; undone < count && canUndo(); ++undone) SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_UNDO, 0);
        for (int i = 0; i < undone; ++i) SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_REDO, 0);
        harness::Pump();
        if (EditorText() != before || DisplayCodePage() != shown)
            actionFailure_ = "undone " + std::to_string(undone) + " steps and redone, display code page " +
                             std::to_string(DisplayCodePage()) + ", not " + std::to_string(shown) + ", text " +
                             Difference(before, EditorText());
    }

    // The commands that open a dialog, a file dialog or the save prompt.
    void RunDialogCommand() {
        static const int kCommands[] = {
            IDM_FIND,          IDM_FIND,       IDM_REPLACE,   IDM_REPLACE,   IDM_REPLACE,         IDM_FIND_NEXT,
            IDM_FIND_NEXT,     IDM_ENCODINGS,  IDM_ENCODINGS, IDM_OPTIONS,   IDM_OPTIONS,         IDM_CHARACTER_TABLE,
            IDM_FONT_ANSI,     IDM_FONT_OEM,   IDM_FONT_KOI8, IDM_TEXT_COLOUR, IDM_BACKGROUND_COLOUR, IDM_ASSOCIATIONS,
            IDM_PREVIEW,       IDM_PAGE_SETUP, IDM_INSERT_FILE, IDM_INSERT_FILE, IDM_OPEN,         IDM_NEW,
            IDM_SAVE,          IDM_SAVE_AS,    IDM_RECENT_FIRST, IDM_RECENT_FIRST + 1, IDM_RECENT_FIRST + 2,
            IDM_REPAIR_TEXT,   IDM_REPAIR_TEXT};
        const int id = kCommands[Pick(static_cast<int>(std::size(kCommands)))];
        if (const char* skip = getenv("LORK2_MONKEY_SKIP")) {
            // Commands left out while a fault is hunted: "10,24".
            const std::string list = std::string(",") + skip + ",";
            if (list.find("," + std::to_string(id) + ",") != std::string::npos) return;
        }
        Act("command %d", id);
    }

    // A word of the document as it stands (no blanks, no zero byte), or one
    // of the pool when the text has none.
    Bytes DocumentWord() {
        static const char* const kPool[] = {"\xEF\xF0\xE8\xE2\xE5\xF2", "\xCC\xC8\xD0", "\x8F\xE0\xA8\xA2\xA5\xE2",
                                            "\xF0\xD2\xC9\xD7\xC5\xD4", "word", "a", "\xB6", "12345"};
        const Bytes text = EditorText();
        auto blank = [](unsigned char c) { return c == 0 || c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
        if (!text.empty() && Pick(5) != 0) {
            size_t at = static_cast<size_t>(Pick(static_cast<int>(text.size())));
            while (at < text.size() && blank(text[at])) ++at;
            while (at > 0 && !blank(text[at - 1])) --at;
            size_t end = at;
            while (end < text.size() && !blank(text[end]) && end - at < 40) ++end;
            if (end > at) return text.substr(at, end - at);
        }
        return B(kPool[Pick(static_cast<int>(std::size(kPool)))]);
    }

    // What a user types into a text field.
    Bytes FieldText() {
        const int what = Pick(20);
        if (what < 8) return DocumentWord();
        if (what < 10) return DocumentWord() + static_cast<unsigned char>(' ') + DocumentWord();
        if (what < 11) return {};
        if (what < 12) {
            Bytes longText;
            while (longText.size() < 260) longText += DocumentWord() + static_cast<unsigned char>(' ');
            return longText.substr(0, 260);
        }
        if (what < 13) return Bytes(1, static_cast<unsigned char>(0x20 + Pick(0xE0)));
        if (what < 14) return HexText();
        const Bytes word = DocumentWord();
        return word.substr(0, 1 + Pick(static_cast<int>(word.size())));
    }

    // What a user types into a hex field: a word of the text in hex, or
    // digits that are odd, mistyped, empty or far too long.
    Bytes HexText() {
        const int what = Pick(16);
        std::string out;
        char b[4];
        if (what < 9) {
            const bool spaced = Pick(2) == 0;
            for (unsigned char c : DocumentWord()) {
                snprintf(b, sizeof b, spaced ? "%02X " : "%02x", c);
                out += b;
            }
        } else if (what < 11) {
            for (int i = 1 + Pick(7); i > 0; --i) out += "0123456789ABCDEFabcdef"[Pick(22)];
        } else if (what < 12) {
            out = "";
        } else if (what < 13) {
            out = Pick(2) ? "zz 1" : "0x41 G";
        } else if (what < 14) {
            while (out.size() < 260) out += "C0 ";
            out.resize(260);
        } else {
            static const char* const kBytes[] = {"00", "0D 0A", "0A", "20", "FF", "0D"};
            for (int i = 1 + Pick(3); i > 0; --i) out += std::string(kBytes[Pick(6)]) + " ";
        }
        return B(out.c_str());
    }

    std::string Number() {
        static const char* const kNumbers[] = {"0", "1", "5", "10", "-1", "-3", "80", "127", "128", "9999", "", "abc",
                                               "32767", "65536"};
        if (Pick(12) == 0) return std::string(260, '9');
        return kNumbers[Pick(static_cast<int>(std::size(kNumbers)))];
    }

    static std::string Op(const char* format, ...) {
        char line[64];
        va_list args;
        va_start(args, format);
        vsnprintf(line, sizeof line, format, args);
        va_end(args);
        return line;
    }

    // OK, Cancel or Escape, as a user closes most dialogs.
    std::string Close(int okWeight = 6) {
        const int what = Pick(okWeight + 4);
        if (what < okWeight) return Op("press %d", IDOK);
        if (what < okWeight + 2) return Op("press %d", IDCANCEL);
        return "escape";
    }

    std::string Clicks(HWND d, std::initializer_list<int> ids, int oneIn) {
        std::string ops;
        for (int id : ids)
            if (Usable(d, id) && Pick(oneIn) == 0) ops += Op("click %d; ", id);
        return ops;
    }

    std::string PickFrom(HWND d, int id) {
        const bool combo = ClassOf(d, id) == "ComboBox";
        const LRESULT count = SendDlgItemMessageA(d, id, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        if (!Usable(d, id) || count <= 0) return "";
        return Op("pick %d %d; ", id, Pick(static_cast<int>(count)));
    }

    std::string FreshName() {
        const std::string name = folder_ + "\\s" + std::to_string(seed_) + "-saved-" + std::to_string(saves_++) + ".txt";
        made.push_back(name);
        return name;
    }

    // The answer to the dialog, as a line of operations; empty for a dialog
    // no action of the session opens.
    std::string MakeAnswer(HWND d) {
        char caption[256] = "";
        GetWindowTextA(d, caption, sizeof caption);
        const std::string title = caption;
        std::string ops;
        if (Has(d, cmb1) && (Has(d, cmb13) || Has(d, edt1))) {
            // Which of the two by its caption ("Сохранить как" or "Save As"),
            // or when it has none by the action.
            const bool save = forceSave_ || title.find("Save") != std::string::npos ||
                              title.find("\xD1\xEE\xF5\xF0\xE0\xED") != std::string::npos ||
                              (title.empty() && saveIntent_);
            saveIntent_ = false;
            if (!forceSave_ && Pick(7) == 0) return Op("press %d", IDCANCEL);
            emptying_ = true;
            const std::string name = save ? FreshName() : documents[Pick(static_cast<int>(documents.size()))];
            return "file " + HexLine(B(name.c_str()));
        }
        if (title == "LORK2") {
            std::string text;
            HWND child = nullptr;
            while ((child = FindWindowExA(d, child, "Static", nullptr)) != nullptr) {
                char t[600] = "";
                GetWindowTextA(child, t, sizeof t);
                text += t;
            }
            if (text.rfind("\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC ", 0) != 0) return ""; // not "Сохранить ...?"
            const int what = Pick(5);
            const int button = what < 2 ? IDYES : what < 4 ? IDNO : IDCANCEL;
            if (button == IDYES && !DocumentHasFile()) saveIntent_ = true;
            return Op("press %d", button);
        }
        if (Has(d, IDC_ANSWER_STOP) && Has(d, IDC_ANSWER_ALL) && Has(d, IDC_ANSWER_REPLACE) && !Has(d, IDC_SEARCH_TEXT)) {
            static const int kAnswers[] = {IDC_ANSWER_REPLACE, IDC_ANSWER_REPLACE, IDC_ANSWER_REPLACE, IDC_ANSWER_SKIP,
                                           IDC_ANSWER_SKIP,    IDC_ANSWER_SKIP,    IDC_ANSWER_ALL,     IDC_ANSWER_STOP};
            if (Pick(10) == 0) return "escape";
            return Op("press %d", kAnswers[Pick(static_cast<int>(std::size(kAnswers)))]);
        }
        if (Has(d, IDC_SEARCH_TEXT) && Has(d, IDC_HEX)) {
            ops += "type " + std::to_string(IDC_SEARCH_TEXT) + " " + HexLine(FieldText()) + "; ";
            if (Usable(d, IDC_REPLACEMENT) && Pick(3) != 0)
                ops += "type " + std::to_string(IDC_REPLACEMENT) + " " + HexLine(FieldText()) + "; ";
            if (Pick(4) == 0) {
                ops += Op("click %d; ", IDC_HEX);
                ops += "type " + std::to_string(IDC_HEX_SEARCH) + " " + HexLine(HexText()) + "; ";
                if (Pick(2)) ops += "type " + std::to_string(IDC_HEX_REPLACEMENT) + " " + HexLine(HexText()) + "; ";
            }
            ops += Clicks(d, {IDC_WHOLE_WORD, IDC_MATCH_CASE, IDC_WHOLE_TEXT, IDC_UPWARD, IDC_PROMPT}, 3);
            const int what = Pick(10);
            if (what < 2 && Usable(d, IDC_REPLACE_ALL)) return ops + Op("press %d", IDC_REPLACE_ALL);
            if (what < 7) return ops + Op("press %d", harness::DefaultButton(d));
            return ops + Close(0);
        }
        if (Has(d, IDC_OPT_UNDO) && Has(d, IDC_OPT_IGNORE_LINE_BREAKS)) {
            ops += Clicks(d, {IDC_OPT_BIG_BUTTONS, IDC_OPT_TOOLBAR, IDC_OPT_STATUS_BAR, IDC_OPT_UNDO, IDC_OPT_REMEMBER_WINDOW,
                              IDC_OPT_REMEMBER_CARET, IDC_OPT_IGNORE_LINE_BREAKS},
                          4);
            if (Pick(3) == 0) ops += Op("click %d; ", IDC_OPT_UNDO);
            for (int id : {IDC_OPT_LEFT_INDENT, IDC_OPT_RIGHT_INDENT, IDC_OPT_FIRST_INDENT})
                if (Pick(3) == 0) ops += "type " + std::to_string(id) + " " + HexLine(B(Number().c_str())) + "; ";
            const std::string close = Close();
            if (close == Op("press %d", IDOK)) emptying_ = true;
            return ops + close;
        }
        if (Has(d, IDC_FONT_PREVIEW) && Has(d, IDC_FONT_ITALIC)) {
            if (Pick(2)) ops += PickFrom(d, IDC_FONT_FACE);
            if (Pick(3) == 0) ops += PickFrom(d, IDC_FONT_CHARSET);
            if (Pick(2)) {
                if (Pick(2) && ClassOf(d, IDC_FONT_SIZE) == "ComboBox" && GetWindow(GetDlgItem(d, IDC_FONT_SIZE), GW_CHILD))
                    ops += "type " + std::to_string(IDC_FONT_SIZE) + " " + HexLine(B(Number().c_str())) + "; ";
                else
                    ops += PickFrom(d, IDC_FONT_SIZE);
            }
            ops += Clicks(d, {IDC_FONT_BOLD, IDC_FONT_ITALIC}, 3);
            return ops + Close();
        }
        if (ClassOf(d, IDC_REPAIR_READINGS) == "ListBox" && Has(d, IDC_REPAIR_VERDICT)) {
            const auto count = static_cast<int>(SendDlgItemMessageA(d, IDC_REPAIR_READINGS, LB_GETCOUNT, 0, 0));
            if (count > 0) ops += Op("pick %d %d; ", IDC_REPAIR_READINGS, Pick(count));
            return ops + Close();
        }
        if (ClassOf(d, IDC_ENCODINGS_SOURCE) == "ListBox" && ClassOf(d, IDC_ENCODINGS_TARGET) == "ListBox") {
            ops += Op("pick %d %d; pick %d %d; ", IDC_ENCODINGS_SOURCE, Pick(5), IDC_ENCODINGS_TARGET, Pick(5));
            return ops + Close();
        }
        if (Has(d, IDC_CHAR_TABLE_COPY) && ClassOf(d, IDC_CHAR_TABLE).find("RICHEDIT") != std::string::npos &&
            !Has(d, IDC_FONT_PREVIEW)) {
            const int length = GetWindowTextLengthA(GetDlgItem(d, IDC_CHAR_TABLE));
            const int a = Pick(length + 1);
            ops += Op("sel %d %d %d; ", IDC_CHAR_TABLE, a, std::min(length, a + Pick(4)));
            const int what = Pick(10);
            if (what < 4) return ops + Op("press %d", IDOK);
            if (what < 7) return ops + Op("press %d", IDC_CHAR_TABLE_COPY);
            return ops + Close(0);
        }
        if (ClassOf(d, IDC_PREVIEW_FIRST) == "Button" && Has(d, IDC_PREVIEW_NEXT) && Has(d, IDC_PREVIEW_PAGE)) {
            for (int i = Pick(6); i > 0; --i) ops += Op("click %d; ", Pick(4) ? IDC_PREVIEW_NEXT : IDC_PREVIEW_FIRST);
            return ops + (Pick(2) ? Op("press %d", IDOK) : "escape");
        }
        if (Has(d, IDC_ASSOC_TXT_OPEN) && Has(d, IDC_ASSOC_TXT_PRINT)) {
            // Looked at and left: OK would change the prefix's file classes
            // that the other tests start from.
            ops += Clicks(d, {IDC_ASSOC_TXT_OPEN, IDC_ASSOC_INI_OPEN, IDC_ASSOC_INF_OPEN, IDC_ASSOC_BAT_EDIT,
                              IDC_ASSOC_CMD_EDIT, IDC_ASSOC_REG_EDIT, IDC_ASSOC_TXT_PRINT},
                          3);
            return ops + Close(0);
        }
        if (Has(d, 706) && Has(d, 707) && Has(d, 708)) { // the colour dialog's red, green and blue
            for (int id : {706, 707, 708})
                if (Pick(2))
                    ops += "text " + std::to_string(id) + " " +
                           HexLine(B(std::to_string(Pick(8) ? Pick(256) : 256 + Pick(1000)).c_str())) + "; ";
            return ops + Close();
        }
        if (Has(d, edt4) && Has(d, edt7)) { // page setup's margins
            for (int id : {edt4, edt5, edt6, edt7})
                if (Pick(2)) ops += "text " + std::to_string(id) + " " + HexLine(B(std::to_string(Pick(60)).c_str())) + "; ";
            return ops + Close();
        }
        return "";
    }

    // Carries out a line of operations on the dialog: "type ID HEX", "text ID
    // HEX", "click ID", "pick ID INDEX", "sel ID FROM TO", "press ID",
    // "escape", "file HEX".
    static void ApplyOps(HWND d, const std::string& ops) {
        size_t from = 0;
        while (from < ops.size() && IsWindow(d)) {
            size_t end = ops.find(';', from);
            if (end == std::string::npos) end = ops.size();
            const std::string op = ops.substr(from, end - from);
            from = end + 1;
            char hex[1200] = "";
            int id = 0, a = 0, b = 0;
            const char* o = op.c_str();
            while (*o == ' ') ++o;
            auto text = [&] { return std::string(hex) == "-" ? std::string() : std::string(reinterpret_cast<const char*>(ParseHex(hex).c_str())); };
            if (sscanf(o, "type %d %1199s", &id, hex) == 2) {
                harness::TypeInto(GetDlgItem(d, id), text());
            } else if (sscanf(o, "text %d %1199s", &id, hex) == 2) {
                SetDlgItemTextA(d, id, text().c_str());
            } else if (sscanf(o, "click %d", &id) == 1) {
                if (HWND c = GetDlgItem(d, id)) SendMessageA(c, BM_CLICK, 0, 0);
            } else if (sscanf(o, "pick %d %d", &id, &a) == 2) {
                harness::PickEntry(d, id, a);
            } else if (sscanf(o, "sel %d %d %d", &id, &a, &b) == 3) {
                SendDlgItemMessageA(d, id, EM_SETSEL, a, b);
            } else if (sscanf(o, "press %d", &id) == 1) {
                harness::PressButton(id)(d);
            } else if (strncmp(o, "escape", 6) == 0) {
                harness::PostKey(d, VK_ESCAPE);
            } else if (sscanf(o, "file %1199s", hex) == 1) {
                harness::ChooseFile(text())(d);
            }
        }
    }

public:
    bool Checks(std::string* failure) {
        if (!EditorWindow() || !IsWindow(EditorWindow())) {
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
    std::string folder_;
    unsigned seed_;
    Bytes baseline_;      // what undoing everything must give
    bool baselineCharacters_ = false; // it is a Unicode document's characters
    bool beforeCharacters_ = false;
    std::string nameBefore_;
    FILETIME timeBefore_{};
    Bytes textBefore_;
    FileEncoding encodingBefore_ = FileEncoding::Bytes;
    int displayBefore_ = 0;
    bool emptying_ = false;   // the action may empty the history on purpose
    std::string actionFailure_; // what an action itself found wrong
    bool saveIntent_ = false; // the next file dialog saves
    bool forceSave_ = false;  // the next file dialog must save
    int saves_ = 0;
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
        SetWindowLongPtrA(g_shell.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefuseKeyMenu)));
    g_menuArmed = false;
    g_sessionRunning = true;

    // Names saved by an earlier session that ended without tidying up.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\s*-saved-*.txt").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do DeleteFileA((folder + "\\" + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    // The document and two more for the Open and Insert dialogs; a log
    // names all three with their bytes.
    std::vector<Bytes> texts;
    // Every third seed's document is a Unicode file, UTF-8 or UTF-16 LE; the
    // log's first line says which.
    FileEncoding encoding = seed % 3 != 2 ? FileEncoding::Bytes
                            : seed % 2 ? FileEncoding::Utf16Le : FileEncoding::Utf8;
    if (replay.empty()) {
        std::mt19937 textRng(seed * 7919u + 1);
        for (int i = 0; i < 3; ++i) texts.push_back(MakeText(textRng));
        if (seed % 4 == 0) {
            for (Bytes& text : texts) {
                Bytes lf;
                for (unsigned char c : text)
                    if (c != '\r') lf += c;
                text = lf;
            }
        }
        // A Unicode document is its characters; every other one has some
        // that no code page holds.
        if (encoding != FileEncoding::Bytes) texts[0] = AsCharacters(texts[0], textRng, seed / 6 % 2 == 0);
    } else {
        for (const std::string& line : replay) {
            const size_t colon = line.find(": ");
            if ((line.rfind("load ", 0) == 0 || line.rfind("document ", 0) == 0) && colon != std::string::npos)
                texts.push_back(ParseHex(line.substr(colon + 2)));
            if (line.rfind("load ", 0) == 0)
                encoding = line.find(" as utf-8:") != std::string::npos   ? FileEncoding::Utf8
                           : line.find(" as utf-16:") != std::string::npos ? FileEncoding::Utf16Le
                                                                          : FileEncoding::Bytes;
        }
        if (texts.empty()) texts.push_back({});
    }
    const Bytes original = texts[0];
    std::vector<std::string> paths;
    for (size_t i = 0; i < texts.size(); ++i) {
        paths.push_back(folder + "\\s" + std::to_string(seed) + (i ? "-other-" + std::to_string(i) : "-doc") + ".txt");
        WriteFileBytes(paths.back(), i == 0 ? FileForm(texts[i], encoding, 0, encoding != FileEncoding::Bytes) : texts[i]);
    }
    std::string failure;
    {
        ActionLog log(g_logPath);
        const char* as = encoding == FileEncoding::Utf8      ? " as utf-8"
                         : encoding == FileEncoding::Utf16Le ? " as utf-16"
                                                             : "";
        log.Add("load " + std::to_string(original.size()) + " bytes" + as + ": " + Hex(original, 0, original.size()));
        for (size_t i = 1; i < texts.size(); ++i)
            log.Add("document " + std::to_string(texts[i].size()) + " bytes: " + Hex(texts[i], 0, texts[i].size()));
        Session session(seed, log, folder, original, encoding != FileEncoding::Bytes);
        session.documents = paths;
        session.made = paths;
        session.replaying = !replay.empty();
        // Loaded as a file, a document of lone LFs has Enter insert a lone LF.
        session.lfDocument = std::find(original.begin(), original.end(), '\r') == original.end() &&
                             std::find(original.begin(), original.end(), '\n') != original.end();
        harness::SetDialogResponder([&session](HWND d) { return session.Respond(d); });
        if (!LoadFile(paths[0].c_str())) failure = "the document did not load";
        if (replay.empty()) {
            std::mt19937 checkRng(seed);
            int untilCheck = 0;
            for (int step = 0; failure.empty() && step < steps; ++step) {
                if (untilCheck <= 0) untilCheck = std::uniform_int_distribution<int>(20, 150)(checkRng);
                if (!session.Step(&failure)) break;
                if (g_menuArmed) failure = "the menu bar was armed";
                ++outcome.actions;
                if (--untilCheck == 0 && failure.empty()) session.UndoAllAndSave(&failure);
            }
        } else {
            for (size_t i = 1; failure.empty() && i < replay.size(); ++i) {
                // The answers a line's dialogs got follow it in the log.
                for (size_t j = i + 1; j < replay.size() && replay[j].rfind("answer ", 0) == 0; ++j)
                    session.replayAnswers.push_back(replay[j].substr(7));
                if (replay[i] == "undo all, save") {
                    session.UndoAllAndSave(&failure);
                } else {
                    session.Before();
                    if (session.Do(replay[i])) {
                        ++g_progress;
                        ++outcome.actions;
                        if (session.Checks(&failure)) session.After(&failure);
                        if (g_menuArmed) failure = "the menu bar was armed";
                    }
                }
                while (i + 1 < replay.size() && replay[i + 1].rfind("answer ", 0) == 0) ++i;
                session.replayAnswers.clear();
            }
        }
        if (failure.empty()) session.UndoAllAndSave(&failure);
        if (g_menuArmed && failure.empty()) failure = "the menu bar was armed";
        if (!failure.empty()) {
            outcome.ok = false;
            outcome.message = "seed " + std::to_string(seed) + ": " + failure + "\nlast actions (all in " + g_logPath +
                              "):\n" + log.Tail(60) + "replay: LORK2_MONKEY_SEED=" + std::to_string(seed) +
                              " LORK2_MONKEY_STEPS=" + std::to_string(steps) + ", or LORK2_MONKEY_REPLAY=" + g_logPath;
        }
        harness::SetDialogResponder({});
        paths = session.made;
    }
    g_sessionRunning = false;
    ClearUndoHistory();
    if (g_shell.mainWindow && IsWindow(g_shell.mainWindow))
        SetWindowLongPtrA(g_shell.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc));
    harness::StopEditor();
    harness::ClearSettings();
    SetDecodingForNewText(0);
    for (const std::string& p : paths) DeleteFileA(p.c_str());
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
    const int steps = EnvInt("LORK2_MONKEY_STEPS", 300);
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
