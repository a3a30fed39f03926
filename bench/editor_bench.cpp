// Editor operations against the bare rich-edit control under Wine, at several
// document sizes. Prints one table with the times and their ratios.
//
//   lork2_editor_bench [sizes in KB...] [--bare-max KB] [--keys N] [--parts]
//
// The bare baseline streams the same bytes out and in again (SF_TEXT) on a
// plain RICHEDIT window holding the document. Wine's control slows down much
// faster than linearly when it deletes text, so the baseline is skipped above
// --bare-max (default 512 KB); its parts (streaming into an empty control,
// streaming out) are measured at every size.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/program.h"
#include "base/settings.h"
#include "bench/wine_bench.h"
#include "codepage/conversion_commands.h"
#include "core/app/setting_names.h"
#include "editor/display_code_page.h"
#include "editor/control.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/whole_text.h"
#include "editor/undo.h"

namespace {

DWORD CALLBACK WriteBytes(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buffer), size);
    *done = size;
    return 0;
}

std::string BareStreamOut(HWND control, size_t expected) {
    std::string out;
    out.reserve(expected + 16);
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&out), 0, WriteBytes};
    SendMessageA(control, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    return out;
}

HWND MakeBare() {
    HWND bare = CreateWindowExA(0, "RICHEDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL |
                                ES_AUTOHSCROLL, 0, 0, 800, 600, g_shell.mainWindow, nullptr, nullptr, nullptr);
    SendMessageA(bare, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    return bare;
}

// The median time of one message sent `keys` times (wParam from `key`),
// at `at`: single keys vary a lot with what the control happens to redo.
template <typename K> double MedianKey(HWND control, int32_t at, int keys, UINT message, K key) {
    CHARRANGE caret{at, at};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    std::vector<double> times;
    for (int i = 0; i < keys; ++i) {
        const double start = Now();
        SendMessageA(control, message, key(i), 1);
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Typing characters, Latin and Cyrillic in turn, in the middle of the
// document: the median seconds per key.
double KeystrokeCost(HWND control, int32_t at, int keys) {
    return MedianKey(control, at, keys, WM_CHAR, [](int i) { return static_cast<WPARAM>(i % 2 ? 0xE0 : 'a'); });
}

// Seconds per call of `call`, repeated `times` times.
template <typename F> double PerCall(int times, F call) {
    const double start = Now();
    for (int i = 0; i < times; ++i) call();
    return (Now() - start) / times;
}

struct Row {
    size_t size = 0;
    double bareIn = -1;      // stream into an empty control
    double bareOut = -1;     // stream out
    double bareOutIn = -1;   // stream out, then in over the held text
    double bareKey = -1;
    double bareEnter = -1;
    double load = -1;        // our whole-text replacement on a loaded editor
    double save = -1;        // our whole text out
    double switchCp = -1;
    double convert = -1;
    double undoConvert = -1;
    double key = -1;
    double key866 = -1;   // in the 866 display, Latin and Cyrillic in turn
    double enter = -1;    // Enter
};

// Median microseconds of `call` over `times` calls.
template <typename F> double MedianUs(int times, F call) { return MedianSeconds(times, call) * 1e6; }

// The same text as a Unicode document with a character no code page holds
// (₽) in place of every hundredth byte: keys typed right before one of
// them (the caret stays there) against keys typed halfway between two.
void UnicodeKeystrokes(const std::string& document, int32_t middle, int keys) {
    std::vector<unsigned char> bytes(document.begin(), document.end());
    ForeignUnits units;
    for (size_t i = 99; i < bytes.size(); i += 100) {
        bytes[i] = kForeignByte;
        units.push_back(u'\u20BD');
    }
    PutNewDocument(bytes.data(), static_cast<int32_t>(bytes.size()), 0, nullptr, false, &units);
    const int32_t before = middle / 100 * 100 + 99; // where a stand-in is
    const double next = KeystrokeCost(EditorWindow(), before, keys);
    const double between = KeystrokeCost(EditorWindow(), before + keys + 50, keys);
    // The bare control with the same characters, typed into the same way.
    HWND bare = MakeBare();
    const int32_t length = TextLength(EditorWindow());
    std::vector<char16_t> text(static_cast<size_t>(length) + 1);
    GETTEXTEX get{static_cast<DWORD>(text.size() * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    SendMessageA(EditorWindow(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
    SETTEXTEX set{ST_DEFAULT, 1200};
    SendMessageA(bare, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.data()));
    const double bareNext = KeystrokeCost(bare, before, keys);
    const double bareBetween = KeystrokeCost(bare, before + keys + 50, keys);
    DestroyWindow(bare);
    fprintf(stderr, "  Unicode document, key next to a foreign character %.1f us, between them %.1f us (%.2f); "
            "bare control %.1f us and %.1f us (%.2f)\n",
            next * 1e6, between * 1e6, next / between, bareNext * 1e6, bareBetween * 1e6, bareNext / bareBetween);
}

// What one keystroke is made of, each piece by its median at the caret.
void PrintParts(HWND editor, int32_t at) {
    const int n = 41;
    unsigned char byte[2];
    SetSelection(editor, at, at);
    fprintf(stderr, "  median us at %ld: TextLength %.1f, GetSelection %.1f, GetRangeBytes(2) %.1f, SetSelection %.1f, "
            "ControlUndoSelected %.1f (the setting read from the registry instead: %.1f), RecordUndo(typing) %.1f\n",
            static_cast<long>(at),
            MedianUs(n, [&] { TextLength(editor); }), MedianUs(n, [&] { GetSelection(editor); }),
            MedianUs(n, [&] { GetRangeBytes(editor, at, at + 2, byte, 2); }),
            MedianUs(n, [&] { SetSelection(editor, at, at); }), MedianUs(n, [&] { ControlUndoSelected(); }),
            MedianUs(n, [&] { ReadSetting(setting::ControlUndo); }),
            MedianUs(n, [&] { RecordUndo(UndoRequest::Typing, 1); }));
    const wchar_t one[2] = {0x431, 0};
    const wchar_t two[3] = {'\r', '\n', 0};
    SETTEXTEX keep{ST_SELECTION | ST_KEEPUNDO, 1200};
    byte[0] = 'c';
    fprintf(stderr, "  median us: control WM_CHAR %.1f, control WM_UNICHAR %.1f, EM_SETTEXTEX one unit %.1f, "
            "ReplaceSelectionBytes(1) %.1f, EM_SETTEXTEX CR LF %.1f, control WM_CHAR CR %.1f\n",
            MedianUs(n, [&] { CallWindowProcA(g_editorState.previousProc, editor, WM_CHAR, 'b', 1); }),
            MedianUs(n, [&] { CallWindowProcA(g_editorState.previousProc, editor, WM_UNICHAR, 0x432, 1); }),
            MedianUs(n, [&] { SendMessageA(editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&keep),
                                           reinterpret_cast<LPARAM>(one)); }),
            MedianUs(n, [&] { ReplaceSelectionBytes(byte, 1, true); }),
            MedianUs(n, [&] { SendMessageA(editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&keep),
                                           reinterpret_cast<LPARAM>(two)); }),
            MedianUs(n, [&] { CallWindowProcA(g_editorState.previousProc, editor, WM_CHAR, '\r', 1); }));
}

Row Measure(size_t size, size_t bareMax, int keys, bool parts) {
    Row row;
    row.size = size;
    const std::string document = MakeDocument(size);
    const int32_t middle = static_cast<int32_t>(size / 2);

    HWND bare = MakeBare();
    double start = Now();
    BareStreamIn(bare, document);
    row.bareIn = Now() - start;
    start = Now();
    std::string out = BareStreamOut(bare, size);
    row.bareOut = Now() - start;
    if (out != document) fprintf(stderr, "  the bare control changed the text\n");
    if (size <= bareMax) {
        start = Now();
        out = BareStreamOut(bare, size);
        BareStreamIn(bare, out);
        row.bareOutIn = Now() - start;
    }
    row.bareKey = KeystrokeCost(bare, middle, keys);
    // The control makes its line break from the character; its Enter key-down alone does nothing.
    row.bareEnter = MedianKey(bare, middle, keys, WM_CHAR, [](int) { return static_cast<WPARAM>('\r'); });
    DestroyWindow(bare);

    ClearUndoHistory();
    SetDecodingForNewText(0);
    CreateEditorControl();
    MoveWindow(EditorWindow(), 0, 0, 800, 600, TRUE);
    const auto* bytes = reinterpret_cast<const unsigned char*>(document.data());
    const auto n = static_cast<int32_t>(document.size());
    FillWholeText(bytes, n); // an empty editor first
    start = Now();
    FillWholeText(bytes, n); // over the text, as a file loaded into a full editor
    row.load = Now() - start;
    std::vector<unsigned char> saved(document.size() + 2);
    start = Now();
    const int32_t got = StreamBytesOut(EditorWindow(), false, saved.data(), static_cast<int32_t>(saved.size()));
    row.save = Now() - start;
    if (got != n || memcmp(saved.data(), bytes, n) != 0) fprintf(stderr, "  the editor changed the text\n");

    start = Now();
    SetDisplayCodePage(1);
    row.switchCp = Now() - start;
    SetDisplayCodePage(0);
    SetSelection(EditorWindow(), 0, 0);
    start = Now();
    ConvertCommand(30); // the whole text to 866
    row.convert = Now() - start;
    start = Now();
    UndoCommand(4);
    row.undoConvert = Now() - start;
    if (parts) PrintParts(EditorWindow(), middle);
    row.key = KeystrokeCost(EditorWindow(), middle, keys);
    SetDisplayCodePage(1);
    row.key866 = KeystrokeCost(EditorWindow(), middle, keys);
    row.enter = MedianKey(EditorWindow(), middle, keys, WM_KEYDOWN, [](int) { return static_cast<WPARAM>(VK_RETURN); });
    UnicodeKeystrokes(document, middle, keys);
    DestroyEditorControl();
    return row;
}

void Cell(double seconds) {
    if (seconds < 0) {
        printf(" %9s", "-");
    } else {
        printf(" %9.3f", seconds);
    }
}

void Ratio(double ours, double base) {
    if (ours < 0 || base <= 0) {
        printf(" %6s", "-");
    } else {
        printf(" %6.2f", ours / base);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<size_t> sizes;
    size_t bareMax = 512u << 10;
    int keys = 100;
    bool parts = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--bare-max") && i + 1 < argc) {
            bareMax = static_cast<size_t>(atoi(argv[++i])) << 10;
        } else if (!strcmp(argv[i], "--keys") && i + 1 < argc) {
            keys = std::max(1, atoi(argv[++i]));
        } else if (!strcmp(argv[i], "--parts")) {
            parts = true;
        } else {
            sizes.push_back(static_cast<size_t>(atoi(argv[i])) << 10);
        }
    }
    if (sizes.empty()) sizes = {64u << 10, 256u << 10, 1024u << 10};
    LoadLibraryA("riched32");
    g_shell.sizeLimit = 0x7FFFFFFF;
    g_shell.heap = GetProcessHeap();
    g_shell.mainWindow = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                   nullptr, nullptr, nullptr);
    std::vector<Row> rows;
    for (size_t size : sizes) {
        fprintf(stderr, "measuring %zu KB\n", size >> 10);
        rows.push_back(Measure(size, bareMax, keys, parts));
        const Row& r = rows.back();
        fprintf(stderr, "  bare in %.3f out %.3f out+in %.3f key %.1f us; load %.3f save %.3f switch %.3f "
                "convert %.3f undo %.3f key %.1f us (866: %.1f us, Enter %.1f us; bare Enter %.1f us)\n", r.bareIn,
                r.bareOut, r.bareOutIn, r.bareKey * 1e6, r.load, r.save, r.switchCp, r.convert, r.undoConvert, r.key * 1e6,
                r.key866 * 1e6, r.enter * 1e6, r.bareEnter * 1e6);
    }

    printf("Seconds (keystrokes: the median in microseconds, typed in the middle of the document). Bare: a plain RICHEDIT\n"
           "window; 'in' streams SF_TEXT into an empty control, 'out' streams it out, 'out+in' streams out and\n"
           "in over the held text (the baseline). Ratios are against 'out+in', and against 'in'+'out' where the\n"
           "baseline is not run.\n\n");
    printf("%8s %9s %9s %9s | %9s %9s %9s %9s %9s | %6s %6s %6s %6s | %9s %9s %9s %6s | %9s %9s %6s\n", "KB",
           "bare in", "bare out", "out+in", "load", "save", "switch", "convert", "undo", "load", "switch", "convrt",
           "undo", "bare key", "key", "key 866", "key", "bare Ent", "Enter", "Enter");
    for (const Row& r : rows) {
        printf("%8zu", r.size >> 10);
        Cell(r.bareIn);
        Cell(r.bareOut);
        Cell(r.bareOutIn);
        printf(" |");
        Cell(r.load);
        Cell(r.save);
        Cell(r.switchCp);
        Cell(r.convert);
        Cell(r.undoConvert);
        printf(" |");
        const double base = r.bareOutIn > 0 ? r.bareOutIn : r.bareIn + r.bareOut;
        Ratio(r.load + r.save, base);
        Ratio(r.switchCp, base);
        Ratio(r.convert, base);
        Ratio(r.undoConvert, base);
        printf(" | %9.1f %9.1f %9.1f", r.bareKey * 1e6, r.key * 1e6, r.key866 * 1e6);
        Ratio(std::max(r.key, r.key866), r.bareKey);
        printf(" | %9.1f %9.1f", r.bareEnter * 1e6, r.enter * 1e6);
        Ratio(r.enter, r.bareEnter);
        printf("\n");
    }
    return 0;
}
