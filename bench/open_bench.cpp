// Opening a file as a user does: from the start of the process until its
// text is in the window's edit control and the window answers. LORK2 (and,
// when given, another build of it) against the system's notepad, under Wine;
// for each LORK2 also the first display switch (to 866) after the opening.
//
//   lork2_open_bench MB RUNS lork2.exe [other-lork2.exe] [--session ROUNDS]
//
// Prints the best time of RUNS for each program and the ratios. --session
// then runs, in one process of each LORK2, ROUNDS rounds of a display switch,
// a whole-text conversion (to KOI8-R), its undo and a reload from the
// recent-files menu, and prints every time and each operation's slowest
// against its first: a fill that costs more as the session goes on shows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
// negative when that did not happen within two minutes (at 20 MB ten). The
// process is left running, its windows in `s`.
double TimeOpening(const std::string& program, const std::string& file, LRESULT expected,
                   PROCESS_INFORMATION& process, Search& s) {
    const double start = Now();
    if (!StartProgram("\"" + program + "\" \"" + file + "\"", process)) return -1;
    while (Now() - start < 600) {
        s = Search{process.dwProcessId, nullptr, nullptr};
        EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&s));
        DWORD_PTR length = 0;
        if (s.edit &&
            SendMessageTimeoutA(s.edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length) &&
            static_cast<LRESULT>(length) >= expected) {
            DWORD_PTR ignored = 0;
            if (SendMessageTimeoutA(s.top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored)) return Now() - start;
        }
        Sleep(5);
    }
    return -1;
}

// Seconds the program's main window takes over a command (the reply comes
// once it is done); before it the document is marked unchanged, so that a
// reload asks nothing.
double TimeCommand(Search& s, int id) {
    EnumChildWindows(s.top, FindEditChild, reinterpret_cast<LPARAM>(&s)); // a whole-text step makes a new one
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(s.edit, EM_SETMODIFY, FALSE, 0, SMTO_NORMAL, 600000, &ignored);
    const double start = Now();
    SendMessageTimeoutA(s.top, WM_COMMAND, id, 0, SMTO_NORMAL, 600000, &ignored);
    SendMessageTimeoutA(s.top, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &ignored);
    return Now() - start;
}

constexpr int kShowAnsi = 16, kShowOem = 17, kUndo = 4, kToKoi8 = 31, kFirstRecentFile = 900;

void Session(const std::string& name, const std::string& program, const std::string& file, LRESULT expected,
             int rounds) {
    PROCESS_INFORMATION process;
    Search s{};
    const double open = TimeOpening(program, file, expected, process, s);
    printf("%s session: open %.2f s\n", name.c_str(), open);
    const char* names[] = {"switch to 866", "switch to 1251", "convert to KOI8-R", "its undo", "reload"};
    const int ids[] = {kShowOem, kShowAnsi, kToKoi8, kUndo, kFirstRecentFile};
    std::vector<std::vector<double>> times(5);
    for (int r = 0; r < rounds && open >= 0; ++r) {
        for (int op = 0; op < 5; ++op) {
            times[static_cast<size_t>(op)].push_back(TimeCommand(s, ids[op]));
            fprintf(stderr, "%s round %d %s %.2f s\n", name.c_str(), r + 1, names[op], times[static_cast<size_t>(op)].back());
        }
    }
    for (int op = 0; op < 5 && open >= 0; ++op) {
        const auto& t = times[static_cast<size_t>(op)];
        printf("  %-18s", names[op]);
        for (double x : t) printf(" %6.2f", x);
        printf("   slowest / first %.2f\n", *std::max_element(t.begin(), t.end()) / t.front());
    }
    fflush(stdout);
    EndProcess(process);
}

} // namespace

int main(int argc, char** argv) {
    int rounds = 0;
    if (argc > 2 && strcmp(argv[argc - 2], "--session") == 0) {
        rounds = atoi(argv[argc - 1]);
        argc -= 2;
    }
    if (argc < 4) {
        fprintf(stderr, "usage: lork2_open_bench MB RUNS lork2.exe [other-lork2.exe] [--session ROUNDS]\n");
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
    std::vector<double> bestSwitch(programs.size(), 1e9);
    for (int r = 0; r < runs; ++r) {
        for (size_t i = 0; i < programs.size(); ++i) {
            PROCESS_INFORMATION process;
            Search s{};
            const double t = TimeOpening(programs[i].second, file, expected, process, s);
            if (t >= 0) best[i] = std::min(best[i], t);
            const bool lork2 = i + 1 < programs.size();
            const double shift = t >= 0 && lork2 ? TimeCommand(s, kShowOem) : -1;
            if (shift >= 0) bestSwitch[i] = std::min(bestSwitch[i], shift);
            EndProcess(process);
            fprintf(stderr, "%s run %d: %.2f s, first switch %.2f s\n", programs[i].first.c_str(), r + 1, t, shift);
        }
    }
    printf("Opening %u MB of short Russian lines, best of %d, from process start until the text is in and the "
           "window answers:\n",
           static_cast<unsigned>(megabytes), runs);
    for (size_t i = 0; i < programs.size(); ++i) {
        printf("  %-12s %8.2f s   ratio to lork2 %.2f", programs[i].first.c_str(), best[i], best[i] / best[0]);
        if (i + 1 < programs.size())
            printf("   first switch to 866 %.2f s, ratio to lork2 %.2f", bestSwitch[i], bestSwitch[i] / bestSwitch[0]);
        printf("\n");
    }
    printf("  lork2 / notepad = %.2f\n", best[0] / best.back());
    if (programs.size() > 2) printf("  lork2 / other lork2 = %.2f\n", best[0] / best[1]);
    for (size_t i = 0; rounds > 0 && i + 1 < programs.size(); ++i)
        Session(programs[i].first, programs[i].second, file, expected, rounds);
    DeleteFileA(file.c_str());
    return 0;
}
