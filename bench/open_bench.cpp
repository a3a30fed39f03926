// Opening a file as a user does: from the start of the process until its
// text is in the window's edit control and the window answers. LORK2 (and,
// when given, another build of it) against the system's notepad, under Wine.
//
//   lork2_open_bench MB RUNS lork2.exe [other-lork2.exe]
//
// Prints the best time of RUNS for each program and the ratios.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/wine_bench.h"

namespace {

struct Search {
    DWORD process;
    HWND top;
    HWND edit;
};

BOOL CALLBACK FindEditChild(HWND child, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    char cls[32] = "";
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0 || lstrcmpiA(cls, "RICHEDIT") == 0) {
        s->edit = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindTopWindow(HWND window, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s->process || !IsWindowVisible(window)) return TRUE;
    s->edit = nullptr;
    EnumChildWindows(window, FindEditChild, lParam);
    if (!s->edit) return TRUE;
    s->top = window;
    return FALSE;
}

// Seconds from CreateProcess until the text is in and the window answers;
// negative when that did not happen within two minutes.
double TimeOpening(const std::string& program, const std::string& file, LRESULT expected) {
    PROCESS_INFORMATION process;
    const double start = Now();
    if (!StartProgram("\"" + program + "\" \"" + file + "\"", process)) return -1;
    double took = -1;
    while (Now() - start < 120) {
        Search s{process.dwProcessId, nullptr, nullptr};
        EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&s));
        DWORD_PTR length = 0;
        if (s.edit &&
            SendMessageTimeoutA(s.edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length) &&
            static_cast<LRESULT>(length) >= expected) {
            DWORD_PTR ignored = 0;
            if (SendMessageTimeoutA(s.top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored)) {
                took = Now() - start;
                break;
            }
        }
        Sleep(5);
    }
    EndProcess(process);
    return took;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: lork2_open_bench MB RUNS lork2.exe [other-lork2.exe]\n");
        return 2;
    }
    const size_t megabytes = static_cast<size_t>(atoi(argv[1]));
    const int runs = std::max(1, atoi(argv[2]));
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string file = std::string(temp) + "lk2open.txt";
    // Short lines of Russian text in 1251.
    const std::string line = "Съешь же ещё этих мягких французских булок\r\n";
    const std::string text = RepeatedLines(line, megabytes * 1000 * 1000);
    WriteWholeFile(file, text);
    // Notepad may count a line break as one character: most of the text is enough.
    const LRESULT expected = static_cast<LRESULT>(text.size() * 95 / 100);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::vector<std::pair<std::string, std::string>> programs = {{"lork2", argv[3]}};
    if (argc > 4) programs.push_back({"other lork2", argv[4]});
    programs.push_back({"notepad", std::string(windows) + "\\notepad.exe"});
    std::vector<double> best(programs.size(), 1e9);
    for (int r = 0; r < runs; ++r) {
        for (size_t i = 0; i < programs.size(); ++i) {
            const double t = TimeOpening(programs[i].second, file, expected);
            if (t >= 0) best[i] = std::min(best[i], t);
            fprintf(stderr, "%s run %d: %.2f s\n", programs[i].first.c_str(), r + 1, t);
        }
    }
    printf("Opening %u MB of short Russian lines, best of %d, from process start until the text is in and the "
           "window answers:\n",
           static_cast<unsigned>(megabytes), runs);
    for (size_t i = 0; i < programs.size(); ++i)
        printf("  %-12s %8.2f s   ratio to lork2 %.2f\n", programs[i].first.c_str(), best[i], best[i] / best[0]);
    printf("  lork2 / notepad = %.2f\n", best[0] / best.back());
    if (programs.size() > 2) printf("  lork2 / other lork2 = %.2f\n", best[0] / best[1]);
    DeleteFileA(file.c_str());
    return 0;
}
