// A keystroke in the middle of a long document with the toolbar and the
// status bar shown against both switched off, in the running program under
// Wine. Prints the median cost of one key (key down, character, key up, the
// messages that follow and the idle toolbar update) for each.
//
//   lork2_bars_bench [sizes in KB...] [--keys N] [--rounds N] [--parts] [--always-walk]
//
// --keys: keys of each kind per turn (5); --rounds: turns of each (20).
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "base/globals.h"
#include "base/settings.h"
#include "bench/wine_bench.h"
#include "editor/editor.h"
#include "editor/status_bar.h"
#include "editor/text_layer.h"
#include "editor/whole_text.h"
#include "editor/toolbar.h"

namespace {

// Everything the program would do before it waits again: posted messages,
// painting, and the idle toolbar update of the message loop.
void Settle() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_toolbar) UpdateToolbarState();
}

// --always-walk: the caret field finds the row from the start of the text on
// every key, as it would without its row bookkeeping (for comparison).
bool g_alwaysWalk = false;

// One key as the keyboard delivers it to the editor.
void Press(UINT vk, WPARAM character) {
    if (g_alwaysWalk) ResetCaretField();
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16);
    SendMessageA(EditorWindow(), WM_KEYDOWN, vk, down);
    if (character) SendMessageA(EditorWindow(), WM_CHAR, character, down);
    SendMessageA(EditorWindow(), WM_KEYUP, vk, down | (1L << 30) | (1L << 31));
    Settle();
}

// Seconds of each of `keys` keys, appended to `times`.
void TimeKeys(int keys, UINT vk, WPARAM character, std::vector<double>& times) {
    for (int i = 0; i < keys; ++i) {
        const double start = Now();
        Press(vk, character);
        times.push_back(Now() - start);
    }
}

double Median(std::vector<double> times) {
    if (times.empty()) return 0;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The bars are made or removed without laying the window out anew: the
// editor keeps its size, so both cases type into the same view (and the
// control does not wrap the whole text again for each switch).
void ShowBars(bool on) {
    if (on) {
        CreateStatusBar();
        UpdateModeField();
        ResetCaretField();
        UpdateCaretField();
        CreateToolbar();
    } else {
        DestroyToolbar();
        DestroyStatusBar();
    }
    Settle();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<size_t> sizes;
    int keys = 5;
    int rounds = 20;
    bool parts = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--keys") && i + 1 < argc) {
            keys = std::max(1, atoi(argv[++i]));
        } else if (!strcmp(argv[i], "--always-walk")) {
            g_alwaysWalk = true;
        } else if (!strcmp(argv[i], "--parts")) {
            parts = true;
        } else if (!strcmp(argv[i], "--rounds") && i + 1 < argc) {
            rounds = std::max(1, atoi(argv[++i]));
        } else {
            sizes.push_back(static_cast<size_t>(atol(argv[i])) * 1024);
        }
    }
    if (sizes.empty()) sizes = {4096, 20480};
    if (!StartProgram("lork2.exe", SW_SHOWNORMAL)) return 1;
    SetWindowPos(g_shell.mainWindow, HWND_TOP, 0, 0, 900, 600, SWP_SHOWWINDOW);
    Settle();
    printf("Median microseconds of one key in the middle of the document (%d rounds of %d keys, the bars off and on in "
           "turn)\n", rounds, keys);
    printf("%8s | %10s %10s %6s | %10s %10s %6s\n", "KB", "type off", "type on", "ratio", "right off", "right on",
           "ratio");
    for (size_t size : sizes) {
        const std::string document = MakeDocument(size);
        FillWholeText(reinterpret_cast<const unsigned char*>(document.data()),
                        static_cast<int32_t>(document.size()));
        const int32_t middle = static_cast<int32_t>(size / 2);
        // The machine is shared: short runs of keys with the bars off and on
        // in turn, so that a slow stretch touches both alike.
        std::vector<double> times[2][2]; // [bars][typing, arrow]
        for (int round = 0; round < rounds; ++round) {
            for (int turn = 0; turn < 2; ++turn) {
                const int on = (turn + round) % 2;
                ShowBars(on != 0);
                SetSelection(EditorWindow(), middle, middle);
                SendMessageA(EditorWindow(), EM_SCROLLCARET, 0, 0);
                Settle();
                TimeKeys(keys, 'A', 'a', times[on][0]);
                TimeKeys(keys, VK_RIGHT, 0, times[on][1]);
            }
        }
        double best[2][2];
        for (int on = 0; on < 2; ++on)
            for (int kind = 0; kind < 2; ++kind) best[on][kind] = Median(times[on][kind]);
        if (parts) {
            ShowBars(true);
            SetSelection(EditorWindow(), middle, middle);
            auto perCall = [](int n, auto call) {
                const double start = Now();
                for (int i = 0; i < n; ++i) call();
                return (Now() - start) / n * 1e6;
            };
            fprintf(stderr, "  us per call: idle toolbar update %.1f, clipboard check %.1f, caret field (same row) %.1f, "
                    "caret field (walk) %.1f, status bar repaint %.1f\n",
                    perCall(50, [] { UpdateToolbarState(); }), perCall(50, [] { IsClipboardFormatAvailable(CF_TEXT); }),
                    perCall(50, [&] {
                        SetSelection(EditorWindow(), middle + 1, middle + 1);
                        UpdateCaretField();
                        SetSelection(EditorWindow(), middle, middle);
                        UpdateCaretField();
                    }) / 2,
                    perCall(10, [] {
                        ResetCaretField();
                        UpdateCaretField();
                    }),
                    perCall(50, [] {
                        InvalidateRect(g_statusBar, nullptr, FALSE);
                        UpdateWindow(g_statusBar);
                    }));
            SendMessageA(g_statusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("RU"));
            SendMessageA(g_statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("ANSI"));
            fprintf(stderr, "  us per call: status bar repaint without owner-drawn fields %.1f, caret field text %.1f\n",
                    perCall(50, [] {
                        InvalidateRect(g_statusBar, nullptr, FALSE);
                        UpdateWindow(g_statusBar);
                    }),
                    perCall(50, [] {
                        static int k;
                        SendMessageA(g_statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(++k % 2 ? "   1:1" : "   2:1"));
                        UpdateWindow(g_statusBar);
                    }));
            fprintf(stderr, "  us per call: toolbar repaint %.1f, editor repaint %.1f\n",
                    perCall(20, [] {
                        InvalidateRect(g_toolbar, nullptr, FALSE);
                        UpdateWindow(g_toolbar);
                    }),
                    perCall(20, [] {
                        InvalidateRect(EditorWindow(), nullptr, FALSE);
                        UpdateWindow(EditorWindow());
                    }));
            UpdateKeyboardField();
            UpdateCodePageField();
        }
        printf("%8zu | %10.1f %10.1f %6.2f | %10.1f %10.1f %6.2f\n", size / 1024, best[0][0] * 1e6, best[1][0] * 1e6,
               best[1][0] / best[0][0], best[0][1] * 1e6, best[1][1] * 1e6, best[1][1] / best[0][1]);
        fflush(stdout);
    }
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    DestroyWindow(g_shell.mainWindow);
    return 0;
}
