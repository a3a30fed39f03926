// Opening a file as a user does: from the start of the process until its
// text is in the window's edit control and the window answers. LORK2 (and,
// when given, another build of it) against the system's notepad, under Wine;
// for each LORK2 also the first display switch (to 866) after the opening.
//
//   lork2_open_bench MB RUNS lork2.exe [other-lork2.exe] [--session ROUNDS] [--utf8 | --foreign]
//
// Prints the best time of RUNS for each program and the ratios. --session
// then runs, in one process of each LORK2, ROUNDS rounds of a display switch,
// a whole-text conversion (to KOI8-R), its undo and a reload from the
// recent-files menu, and prints every time and each operation's slowest
// against its first: a fill that costs more as the session goes on shows.
//
// Beside each wall time it gives the processor time LORK2's process used
// (in brackets), read from Linux's /proc through Wine's drive Z:. On a
// machine shared with other work, that is the figure to compare.
//
// --utf8 writes the text as UTF-8; --foreign as UTF-8 with a character none
// of the code pages holds (₽) after every 100 characters, which a Unicode
// document keeps as itself.
#include <windows.h>

#include <algorithm>
#include <cctype>
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

std::string ReadLinuxFile(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (text.size() < 65536 && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// The Linux process that runs `program` (Wine gives it the program's path
// as its first argument); empty if none.
std::string LinuxProcessOf(std::string program) {
    std::transform(program.begin(), program.end(), program.begin(), [](char c) { return static_cast<char>(tolower(c)); });
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string pid;
    do {
        if (!isdigit(static_cast<unsigned char>(found.cFileName[0]))) continue;
        std::string line = ReadLinuxFile(std::string("Z:\\proc\\") + found.cFileName + "\\cmdline");
        std::transform(line.begin(), line.end(), line.begin(), [](char c) { return static_cast<char>(tolower(c)); });
        if (line.compare(0, program.size() + 1, program.c_str(), program.size() + 1) == 0) {
            pid = found.cFileName;
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return pid;
}

// User and system time of a Linux process so far, in seconds (the kernel
// counts in hundredths); 0 when it cannot be read.
double LinuxProcessorTime(const std::string& pid) {
    if (pid.empty()) return 0;
    const std::string stat = ReadLinuxFile("Z:\\proc\\" + pid + "\\stat");
    const size_t name = stat.rfind(')');
    if (name == std::string::npos) return 0;
    unsigned long long field[16] = {};
    // After the name: state, then fields 4 to 17; user time is 14, system 15.
    const char* p = stat.c_str() + name + 2;
    while (*p && *p != ' ') ++p;
    for (int i = 4; i <= 15; ++i) field[i] = strtoull(p, const_cast<char**>(&p), 10);
    return static_cast<double>(field[14] + field[15]) / 100.0;
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
double TimeCommand(Search& s, int id, const std::string& pid = {}, double* cpu = nullptr) {
    EnumChildWindows(s.top, FindEditChild, reinterpret_cast<LPARAM>(&s)); // a whole-text step makes a new one
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(s.edit, EM_SETMODIFY, FALSE, 0, SMTO_NORMAL, 600000, &ignored);
    const double startCpu = LinuxProcessorTime(pid);
    const double start = Now();
    SendMessageTimeoutA(s.top, WM_COMMAND, id, 0, SMTO_NORMAL, 600000, &ignored);
    SendMessageTimeoutA(s.top, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &ignored);
    const double wall = Now() - start;
    if (cpu) *cpu = LinuxProcessorTime(pid) - startCpu;
    return wall;
}

constexpr int kShowAnsi = 16, kShowOem = 17, kUndo = 4, kToKoi8 = 31, kFirstRecentFile = 900;

void Session(const std::string& name, const std::string& program, const std::string& file, LRESULT expected,
             int rounds) {
    PROCESS_INFORMATION process;
    Search s{};
    const double open = TimeOpening(program, file, expected, process, s);
    const std::string pid = LinuxProcessOf(program);
    printf("%s session: open %.2f s [%.2f]\n", name.c_str(), open, LinuxProcessorTime(pid));
    const char* names[] = {"switch to 866", "switch to 1251", "convert to KOI8-R", "its undo", "reload"};
    const int ids[] = {kShowOem, kShowAnsi, kToKoi8, kUndo, kFirstRecentFile};
    std::vector<std::vector<double>> times(5), cpus(5);
    for (int r = 0; r < rounds && open >= 0; ++r) {
        for (size_t op = 0; op < 5; ++op) {
            double cpu = 0;
            times[op].push_back(TimeCommand(s, ids[op], pid, &cpu));
            cpus[op].push_back(cpu);
            fprintf(stderr, "%s round %d %s %.2f s [%.2f]\n", name.c_str(), r + 1, names[op], times[op].back(), cpu);
        }
    }
    const auto slowestToFirst = [](const std::vector<double>& t) {
        return t.front() > 0 ? *std::max_element(t.begin(), t.end()) / t.front() : 0.0;
    };
    for (size_t op = 0; op < 5 && open >= 0; ++op) {
        printf("  %-18s", names[op]);
        for (size_t r = 0; r < times[op].size(); ++r) printf(" %6.2f [%.2f]", times[op][r], cpus[op][r]);
        printf("   slowest / first %.2f [%.2f]\n", slowestToFirst(times[op]), slowestToFirst(cpus[op]));
    }
    fflush(stdout);
    EndProcess(process);
}

} // namespace

// The 1251 text as UTF-8, with ₽ after every `every` characters (0: none);
// `characters` gets the number of characters.
std::string AsUtf8(const std::string& text, size_t every, size_t* characters) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()), wide.data(), static_cast<int>(wide.size()))));
    std::wstring marked;
    for (size_t i = 0; i < wide.size(); ++i) {
        marked += wide[i];
        if (every && (i + 1) % every == 0) marked += L'\u20BD';
    }
    *characters = marked.size();
    std::string out(marked.size() * 3, '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, marked.data(), static_cast<int>(marked.size()),
                                                       out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

int main(int argc, char** argv) {
    int form = 0; // 0: 1251, 1: UTF-8, 2: UTF-8 with foreign characters
    if (argc > 1 && (strcmp(argv[argc - 1], "--utf8") == 0 || strcmp(argv[argc - 1], "--foreign") == 0)) {
        form = strcmp(argv[argc - 1], "--utf8") == 0 ? 1 : 2;
        --argc;
    }
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
    size_t characters = text.size();
    WriteWholeFile(file, form ? AsUtf8(text, form == 2 ? 100 : 0, &characters) : text);
    // Notepad may count a line break as one character: most of the text is enough.
    const LRESULT expected = static_cast<LRESULT>(characters * 95 / 100);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::vector<std::pair<std::string, std::string>> programs = {{"lork2", argv[3]}};
    if (argc > 4) programs.push_back({"other lork2", argv[4]});
    programs.push_back({"notepad", std::string(windows) + "\\notepad.exe"});
    std::vector<double> best(programs.size(), 1e9);
    std::vector<double> bestSwitch(programs.size(), 1e9);
    std::vector<double> bestCpu(programs.size(), 1e9), bestSwitchCpu(programs.size(), 1e9);
    for (int r = 0; r < runs; ++r) {
        for (size_t i = 0; i < programs.size(); ++i) {
            PROCESS_INFORMATION process;
            Search s{};
            const double t = TimeOpening(programs[i].second, file, expected, process, s);
            if (t >= 0) best[i] = std::min(best[i], t);
            const bool lork2 = i + 1 < programs.size();
            const std::string pid = lork2 ? LinuxProcessOf(programs[i].second) : std::string();
            const double openCpu = LinuxProcessorTime(pid);
            double switchCpu = 0;
            const double shift = t >= 0 && lork2 ? TimeCommand(s, kShowOem, pid, &switchCpu) : -1;
            if (shift >= 0) bestSwitch[i] = std::min(bestSwitch[i], shift);
            if (t >= 0 && lork2) {
                bestCpu[i] = std::min(bestCpu[i], openCpu);
                bestSwitchCpu[i] = std::min(bestSwitchCpu[i], switchCpu);
            }
            EndProcess(process);
            fprintf(stderr, "%s run %d: %.2f s [%.2f], first switch %.2f s [%.2f]\n", programs[i].first.c_str(), r + 1,
                    t, openCpu, shift, switchCpu);
        }
    }
    static const char* const kForms[] = {"1251", "UTF-8", "UTF-8 with \xE2\x82\xBD every 100 characters"};
    printf("Opening %u MB of short Russian lines (%s), best of %d, from process start until the text is in and the "
           "window answers:\n",
           static_cast<unsigned>(megabytes), kForms[form], runs);
    for (size_t i = 0; i < programs.size(); ++i) {
        printf("  %-12s %8.2f s   ratio to lork2 %.2f", programs[i].first.c_str(), best[i], best[i] / best[0]);
        if (i + 1 < programs.size())
            printf(" [%.2f, ratio %.2f]   first switch to 866 %.2f s, ratio to lork2 %.2f [%.2f, ratio %.2f]", bestCpu[i],
                   bestCpu[i] / bestCpu[0], bestSwitch[i], bestSwitch[i] / bestSwitch[0], bestSwitchCpu[i],
                   bestSwitchCpu[i] / bestSwitchCpu[0]);
        printf("\n");
    }
    printf("  lork2 / notepad = %.2f\n", best[0] / best.back());
    if (programs.size() > 2) printf("  lork2 / other lork2 = %.2f\n", best[0] / best[1]);
    for (size_t i = 0; rounds > 0 && i + 1 < programs.size(); ++i)
        Session(programs[i].first, programs[i].second, file, expected, rounds);
    DeleteFileA(file.c_str());
    return 0;
}
