// The bare rich-edit control under Wine, filled four times in a row with the
// same text: each new control made and filled after the last one is gone,
// and each filled while the last one still holds its text, which is then
// destroyed (as the editor swaps in a fresh control, keeping the old
// document until the new one is all in). Prints each fill's time. Run each
// way in a process of its own: the heap remembers.
//
//   lork2_control_swap_bench [MB] [keep]      (default 2 MB, the last gone)
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/wine_bench.h"

namespace {

HWND FilledControl(HWND parent, const std::string& text) {
    HWND control = CreateWindowExA(0, RICHEDIT_CLASSA, nullptr,
                                   WS_CHILD | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL, 0, 0, 400,
                                   300, parent, nullptr, nullptr, nullptr);
    SendMessageA(control, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    BareStreamIn(control, text);
    return control;
}

} // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? static_cast<size_t>(atoi(argv[1])) : 2;
    LoadLibraryA("riched20.dll");
    const std::string text = RepeatedLines(
        "Съешь же ещё этих мягких французских булок, да выпей чаю. 0123456789\r\n", megabytes * 1000 * 1000);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                                  nullptr);
    const bool keepOld = argc > 2 && strcmp(argv[2], "keep") == 0;
    printf("%u MB, each fill in seconds, %s:", static_cast<unsigned>(megabytes),
           keepOld ? "filled while the last still holds its text" : "filled after the last is gone");
    HWND last = nullptr;
    for (int i = 0; i < 4; ++i) {
        if (!keepOld && last) DestroyWindow(last), last = nullptr;
        const double start = Now();
        HWND made = FilledControl(parent, text);
        printf(" %.1f", Now() - start);
        fflush(stdout);
        if (last) DestroyWindow(last);
        last = made;
    }
    DestroyWindow(last);
    printf("\n");
    return 0;
}
