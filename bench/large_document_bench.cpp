// Large documents in the running editor under Wine: whole-text operations as
// a user starts them (keys and menu commands), each against the time of
// loading the same document, with the process's peak memory.
//
//   lork2_large_document_bench sizes MB...        (default 4)
//   lork2_large_document_bench --states sizes KB...
//   lork2_large_document_bench --paste-parts sizes MB...
//   lork2_large_document_bench --memory VARIANT MB
//
// --memory loads one document of MB megabytes after one setting (VARIANT
// names both, see kVariants) and prints the process's private bytes the
// control took per character; each variant in a process of its own, so
// that no freed heap of an earlier load is counted or reused.
//
// --states times the two-key conversion (Ctrl+D Ctrl+W) and its undo after
// each setting and toggle a user may have left behind (word wrap, font
// size, HTML colouring, display switches, the caret at the end, everything
// selected), to catch a state that makes a whole-text path grow with the
// square of the text. (It found one: with the whole text selected, as a
// whole-text conversion leaves it, the control's EM_SELECTIONTYPE took
// minutes, and the menu update asked it.)
#include <windows.h>
#include <psapi.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/menus.h"
#include "app/program.h"
#include "base/globals.h"
#include "base/settings.h"
#include "bench/wine_bench.h"
#include "document/documents.h"
#include "core/editor/memory_need.h"
#include "editor/editor.h"
#include "editor/memory_check.h"
#include "editor/text_layer.h"
#include "editor/whole_text.h"

namespace {

// Seconds for `action` and the messages it left, until the window is idle
// and has updated its "Edit" menu as it does when the user opens it.
double Time(const std::function<void()>& action) {
    const double start = Now();
    action();
    Pump();
    UpdateWindow(g_shell.mainWindow);
    SendMessageA(g_shell.mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_shell.popups[1]), MAKELPARAM(1, 0));
    const double took = Now() - start;
    fprintf(stderr, "  step %.2f s\n", took);
    return took;
}

void Command(int id) { SendMessageA(g_shell.mainWindow, WM_COMMAND, id, 0); }

void Key(UINT vk, bool ctrl) {
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE state[256];
    memcpy(state, saved, sizeof state);
    state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    PostMessageA(EditorWindow(), WM_KEYDOWN, vk, 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16));
    Pump();
    PostMessageA(EditorWindow(), WM_KEYUP, vk, 1 | (3L << 30) | (static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16));
    Pump();
    SetKeyboardState(saved);
}

double PrivateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage);
}

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakPagefileUsage) / (1 << 20);
}

// Short lines of CP866 Russian text (the guess shows it as OEM).
std::string Document(size_t bytes) {
    const std::string line = "\x91\xEA\xA5\xE8\xEC \xA6\xA5 \xA5\xE9\xF1 \xED\xE2\xA8\xE5 \xAC\xEF\xA3\xAA\xA8\xE5 "
                             "\xA1\xE3\xAB\xAE\xAA, \xA4\xA0 \xA2\xEB\xAF\xA5\xA9 \xE7\xA0\xEE.\r\n";
    return RepeatedLines(line, bytes);
}

std::string WriteDocument(size_t bytes) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "lk2large.txt";
    WriteWholeFile(path, Document(bytes));
    return path;
}

void PutOnClipboard(const std::string& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_OEMTEXT, h);
    CloseClipboard();
}

void Operations(size_t megabytes) {
    const std::string path = WriteDocument(megabytes << 20);
    const double load = Time([&] { LoadFile(path.c_str()); });
    const double afterLoad = PeakMegabytes();
    // The two parts of every whole-text replacement: dropping the loaded
    // control for an empty one, and filling that.
    const std::string bytes = Document(megabytes << 20);
    const double drop = Time([] { FillWholeText(nullptr, 0); });
    const double fill = Time([&] {
        StreamBytesIn(EditorWindow(), SF_TEXT, reinterpret_cast<const unsigned char*>(bytes.data()),
                      static_cast<int32_t>(bytes.size()));
    });
    // What the memory check before a load, a paste or a display switch adds:
    // the text's shape counted and the available memory read.
    const double check = Time([&] {
        const TextShape shape = MeasureTextShape(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                                 DisplayCodePage(), WordWrapOn());
        volatile bool fits = JudgeMemory(shape, 0, 0, AvailableMemory()).fits;
        (void)fits;
    });
    printf("%5zu MB: a fresh control for the loaded one %.2f s, filling it %.2f s, the memory check %.3f s (%.4f of "
           "the load)\n",
           megabytes, drop, fill, check, check / load);
    const double selectAllDelete = Time([] {
        Command(47);
        Key(VK_DELETE, false);
    });
    const double undoDelete = Time([] { Command(4); });
    PutOnClipboard(Document(megabytes << 20));
    const double selectAllPaste = Time([] {
        Command(47);
        Key('V', true);
    });
    const double undoPaste = Time([] { Command(4); });
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    LoadFile(path.c_str()); // a clean start for the display and conversion steps
    const double switchDisplay = Time([] { Command(16); });
    Command(17);
    const double convert = Time([] {
        Key('D', true);
        Key('W', true);
    });
    const double undoConvert = Time([] { Command(4); });
    // The display switch fills a fresh control with the text as the new code
    // page shows it; a load of the same bytes into that view does the same
    // (drop the text, fill a control), so the two are compared as well as
    // the switch against the load of the guessed view. Back and forth: the
    // bench's 866 text shown as 1251 mixes scripts on every word, which costs
    // the control's fill more than the Cyrillic of the 866 view.
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    LoadFile(path.c_str());
    auto fillAsShown = [](const std::string& text) {
        return Time([&] {
            FillWholeText(nullptr, 0);
            StreamBytesIn(EditorWindow(), SF_TEXT, reinterpret_cast<const unsigned char*>(text.data()),
                          static_cast<int32_t>(text.size()));
            SetSelection(EditorWindow(), 0, 0);
        });
    };
    const double toAnsi = Time([] { Command(16); });
    const double loadAsAnsi = fillAsShown(bytes);
    const double toOem = Time([] { Command(17); });
    const double loadAsOem = fillAsShown(bytes);
    // A conversion of everything selected keeps the display code page: the
    // converted bytes are shown through the old one.
    const double selectedConvert = Time([] {
        Command(47);
        Key('D', true);
        Key('W', true);
    });
    const double undoSelectedConvert = Time([] { Command(4); });
    std::string converted(bytes.size() + 2, '\0');
    Command(47);
    Key('D', true);
    Key('W', true);
    converted.resize(static_cast<size_t>(StreamBytesOut(EditorWindow(), false, reinterpret_cast<unsigned char*>(converted.data()),
                                                        static_cast<int32_t>(converted.size()))));
    const double loadConverted = fillAsShown(converted);
    printf("%5zu MB: switch 866 -> 1251 %7.2f s, the same bytes loaded as 1251 shows them %7.2f (%.2f) | switch "
           "back %7.2f, loaded as 866 shows them %7.2f (%.2f) | everything selected: Ctrl+D Ctrl+W %7.2f (%.2f of the "
           "load, %.2f of loading the result as shown) undo %7.2f (%.2f, %.2f)\n",
           megabytes, toAnsi, loadAsAnsi, toAnsi / loadAsAnsi, toOem, loadAsOem, toOem / loadAsOem, selectedConvert,
           selectedConvert / load, selectedConvert / loadConverted, undoSelectedConvert, undoSelectedConvert / load,
           undoSelectedConvert / loadAsOem);
    fflush(stdout);
    const double peak = PeakMegabytes();
    printf("%5zu MB: load %7.2f s | select all + Delete %7.2f (%.2f) undo %7.2f (%.2f) | select all + Paste %7.2f "
           "(%.2f) undo %7.2f (%.2f) | display switch %7.2f (%.2f) | Ctrl+D Ctrl+W %7.2f (%.2f) undo %7.2f (%.2f) | "
           "peak %.0f MB after the load, %.0f MB at the end\n",
           megabytes, load, selectAllDelete, selectAllDelete / load, undoDelete, undoDelete / load, selectAllPaste,
           selectAllPaste / load, undoPaste, undoPaste / load, switchDisplay, switchDisplay / load, convert,
           convert / load, undoConvert, undoConvert / load, afterLoad, peak);
    fflush(stdout);
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    DeleteFileA(path.c_str());
}

// The parts of a paste over everything, each timed on its own against a
// load of the same text into a control that holds a text already (as
// opening another file does) and the paste itself.
void PasteParts(size_t megabytes) {
    const std::string path = WriteDocument(megabytes << 20);
    const std::string bytes = Document(megabytes << 20);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const int32_t n = static_cast<int32_t>(bytes.size());
    std::string out(bytes.size() + 2, '\0');
    for (int round = 0; round < 3; ++round) {
        const double load = Time([&] { LoadFile(path.c_str()); });
        const double copy = Time([&] {
            StreamBytesOut(EditorWindow(), false, reinterpret_cast<unsigned char*>(out.data()), n + 2);
        });
        const double drop = Time([] { FillWholeText(nullptr, 0); });
        const double fill = Time([&] { StreamBytesIn(EditorWindow(), SF_TEXT, data, n); });
        const double caret = Time([&] {
            SetSelection(EditorWindow(), n, n);
            SendMessageA(EditorWindow(), EM_SCROLLCARET, 0, 0);
        });
        LoadFile(path.c_str());
        PutOnClipboard(bytes);
        Command(47);
        Pump();
        const double paste = Time([] { Key('V', true); });
        printf("%5zu MB: load over a loaded text %.2f s | paste over everything %.2f s (%.2f): the old text copied "
               "for undo %.2f, the control dropped %.2f, a fresh one filled %.2f, the caret to the end %.2f\n",
               megabytes, load, paste, paste / load, copy, drop, fill, caret);
        fflush(stdout);
        SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    }
    DeleteFileA(path.c_str());
}

// Lines of `length` bytes (CR LF included) cut from `words` repeated.
std::string LinesOf(const std::string& words, size_t length, size_t bytes) {
    std::string line;
    while (line.size() + 2 < length) line += words;
    line.resize(length - 2);
    return RepeatedLines(line + "\r\n", bytes);
}

const std::string kMixedWords = "\x91\xEA\xA5\xE8\xEC \xA6\xA5 \xA5\xE9\xF1 \xED\xE2\xA8\xE5 12345 text, ";
const std::string kCyrillicWords = "\xF1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 ";
const std::string kLatinWords = "quick brown fox jumps over the lazy dog ";

struct Variant {
    const char* name;
    std::function<std::string(size_t)> text;
    std::function<void()> before; // on the empty control, before the load
    std::function<void()> after;  // on the loaded text
};

const Variant kVariants[] = {
    {"bench-lines", [](size_t n) { return Document(n); }, [] {}, [] {}},
    {"mixed-10", [](size_t n) { return LinesOf(kMixedWords, 10, n); }, [] {}, [] {}},
    {"mixed-60", [](size_t n) { return LinesOf(kMixedWords, 60, n); }, [] {}, [] {}},
    {"mixed-250", [](size_t n) { return LinesOf(kMixedWords, 250, n); }, [] {}, [] {}},
    {"mixed-1000", [](size_t n) { return LinesOf(kMixedWords, 1000, n); }, [] {}, [] {}},
    {"cyrillic-60", [](size_t n) { return LinesOf(kCyrillicWords, 60, n); }, [] {}, [] {}},
    {"latin-60", [](size_t n) { return LinesOf(kLatinWords, 60, n); }, [] {}, [] {}},
    {"mixed-60-wrap", [](size_t n) { return LinesOf(kMixedWords, 60, n); }, [] { Command(25); }, [] {}},
    {"mixed-250-wrap", [](size_t n) { return LinesOf(kMixedWords, 250, n); }, [] { Command(25); }, [] {}},
    {"mixed-60-font-up", [](size_t n) { return LinesOf(kMixedWords, 60, n); },
     [] { Command(48), Command(48), Command(48); }, [] {}},
    {"mixed-60-control-undo", [](size_t n) { return LinesOf(kMixedWords, 60, n); },
     [] { SendMessageA(EditorWindow(), EM_SETUNDOLIMIT, 100, 0); }, [] {}},
    {"mixed-60-no-undo", [](size_t n) { return LinesOf(kMixedWords, 60, n); },
     [] { SendMessageA(EditorWindow(), EM_SETUNDOLIMIT, 0, 0); }, [] {}},
    {"alternating-60", [](size_t n) { return LinesOf("\xC6" "z", 60, n); }, [] {}, [] {}},
    {"cyrillic-digits-60", [](size_t n) { return LinesOf("\xC6\xE5\xEB" "1", 60, n); }, [] {}, [] {}},
    {"cyrillic-signs-60", [](size_t n) { return LinesOf("\xC6\xE5\xEB,", 60, n); }, [] {}, [] {}},
    {"cyrillic-spaces-60", [](size_t n) { return LinesOf("\xC6\xE5\xEB ", 60, n); }, [] {}, [] {}},
    {"latin-digits-60", [](size_t n) { return LinesOf("abc1", 60, n); }, [] {}, [] {}},
    {"box-cyrillic-60", [](size_t n) { return LinesOf("\xC9\xCD\xBB\xAE", 60, n); }, [] {}, [] {}},
    {"bench-lines-as-1251", [](size_t n) { return Document(n); }, [] {}, [] { Command(16); }},
    {"html-60-coloured", [](size_t n) { return LinesOf("<b>text</b> \x91\xEA\xA5\xE8\xEC ", 60, n); }, [] {},
     [] { Command(52); }},
};

void Memory(const char* name, size_t megabytes) {
    for (const Variant& v : kVariants) {
        if (strcmp(v.name, name) != 0) continue;
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        const std::string path = std::string(temp) + "lk2memory.txt";
        const std::string text = v.text(megabytes << 20);
        WriteWholeFile(path, text);
        v.before();
        Pump();
        const double before = PrivateBytes();
        const double load = Time([&] { LoadFile(path.c_str()); });
        v.after();
        Pump();
        const double after = PrivateBytes();
        printf("%-24s %4zu MB  %6.1f bytes a character  (%.0f MB, load %.2f s, peak %.0f MB)\n", v.name, megabytes,
               (after - before) / static_cast<double>(text.size()), (after - before) / (1 << 20), load,
               PeakMegabytes());
        fflush(stdout);
        SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
        DeleteFileA(path.c_str());
        return;
    }
    fprintf(stderr, "no variant %s\n", name);
}

struct State {
    const char* name;
    std::function<void()> enter;
};

void States(size_t kilobytes) {
    const std::string path = WriteDocument(kilobytes << 10);
    const State states[] = {
        {"as loaded", [] {}},
        {"word wrap on", [] { Command(25); }},
        {"font 60 twips larger", [] { Command(48), Command(48), Command(48); }},
        {"HTML colouring", [] { Command(52); }},
        {"display switched 16-17-18-17", [] { Command(16), Command(17), Command(18), Command(17); }},
        {"caret at the end", [] { Key(VK_END, true); }},
        {"everything selected", [] { Command(47); }},
        {"all of them", [] {
             Command(25), Command(48), Command(48), Command(52), Command(16), Command(18), Command(17);
             Key(VK_END, true);
             Command(47);
         }},
    };
    for (const State& state : states) {
        LoadFile(path.c_str());
        state.enter();
        Pump();
        const double convert = Time([] {
            Key('D', true);
            Key('W', true);
        });
        const double undo = Time([] { Command(4); });
        printf("%6zu KB  %-30s convert %7.3f s  undo %7.3f s\n", kilobytes, state.name, convert, undo);
        fflush(stdout);
        // Back to the settings of a fresh start.
        SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
        if (WordWrapOn()) Command(25);
        RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    }
    DeleteFileA(path.c_str());
}

} // namespace

int main(int argc, char** argv) {
    bool states = false;
    bool pasteParts = false;
    const char* memory = nullptr;
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--memory") && i + 1 < argc) {
            memory = argv[++i];
        } else if (!strcmp(argv[i], "--paste-parts")) {
            pasteParts = true;
        } else if (!strcmp(argv[i], "--states")) {
            states = true;
        } else {
            sizes.push_back(static_cast<size_t>(atoi(argv[i])));
        }
    }
    if (sizes.empty()) sizes = {states ? size_t{200} : size_t{4}};
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    if (!StartProgram("lork2.exe", SW_SHOWNORMAL)) return 1;
    Pump();
    for (size_t size : sizes) {
        if (memory) {
            Memory(memory, size);
        } else if (pasteParts) {
            PasteParts(size);
        } else if (states) {
            States(size);
        } else {
            Operations(size);
        }
    }
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    DestroyWindow(g_shell.mainWindow);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
