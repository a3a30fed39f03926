// Printing a file as a user does, LORK2 against the system's notepad on the
// same printer: each program is started with /p FILE, its print dialog is
// answered with OK, and the time runs from the OK until the program answers
// again (both print in their window's thread) or has ended.
//
//   lork2_print_compare_bench FILE lork2.exe [more programs]
//
// Prints the seconds of each; the pages each printed are counted from the
// PDF files by bench/print_compare, which runs this.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/wine_bench.h"

namespace {

struct Search {
    DWORD process;
    HWND found;
    bool dialog; // looking for the print dialog, else for the main window
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s->process || !IsWindowVisible(window)) return TRUE;
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    const bool isDialog = lstrcmpA(cls, "#32770") == 0 && GetDlgItem(window, IDOK);
    if (isDialog != s->dialog) return TRUE;
    s->found = window;
    return FALSE;
}

HWND WindowOf(DWORD process, bool dialog) {
    Search s{process, nullptr, dialog};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Seconds from the print dialog's OK until the program answers again;
// negative when the dialog did not come or the printing took over an hour.
double TimePrinting(const std::string& program, const std::string& file) {
    PROCESS_INFORMATION process;
    if (!StartProgram("\"" + program + "\" /p \"" + file + "\"", process)) return -1;
    double took = -1;
    HWND dialog = nullptr;
    for (const double start = Now(); !dialog && Now() - start < 300; Sleep(20))
        dialog = WindowOf(process.dwProcessId, true);
    if (dialog) {
        HWND top = GetWindow(dialog, GW_OWNER);
        Sleep(500); // the dialog settles (its printer list filled)
        const double t0 = Now();
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        while (Now() - t0 < 3600) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
                took = Now() - t0;
                break;
            }
            if (!IsWindow(dialog)) {
                DWORD_PTR ignored = 0;
                if (!top) top = WindowOf(process.dwProcessId, false);
                if (top && SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_NORMAL, 3600 * 1000, &ignored) &&
                    IsWindowEnabled(top) && !WindowOf(process.dwProcessId, true)) {
                    took = Now() - t0;
                    break;
                }
            }
            Sleep(5);
        }
    }
    EndProcess(process);
    return took;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: lork2_print_compare_bench FILE PROGRAM...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const double t = TimePrinting(argv[i], argv[1]);
        printf("%s %.2f\n", argv[i], t);
        fflush(stdout);
    }
    return 0;
}
