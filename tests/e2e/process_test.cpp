// The whole program as a process under Wine: exit codes and the single
// instance per file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string ProgramPath() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = self;
    path.resize(path.rfind('\\'));  // tests
    path.resize(path.rfind('\\'));  // build folder
    return path + "\\lork2.exe";
}

struct Process {
    PROCESS_INFORMATION info{};
    bool started = false;

    Process(const std::string& arguments, const char* folder = nullptr, int showState = -1) {
        std::string line = "\"" + ProgramPath() + "\"" + (arguments.empty() ? "" : " " + arguments);
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (showState >= 0) {
            si.dwFlags = STARTF_USESHOWWINDOW;
            si.wShowWindow = static_cast<WORD>(showState);
        }
        started = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &info);
    }
    ~Process() {
        if (!started) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The exit code, or -1 when the process is still running after the wait.
    int Wait(DWORD ms = 15000) {
        if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return static_cast<int>(code);
    }
};

// The first top-level window of a class that belongs to a process.
struct WindowSearch {
    DWORD pid;
    const char* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (pid == search->pid && lstrcmpA(cls, search->className) == 0 &&
        (!search->visibleOnly || IsWindowVisible(window))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(const Process& p, const char* className, bool visibleOnly) {
    WindowSearch search{p.info.dwProcessId, className, visibleOnly, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND MainWindowOf(const Process& p) {
    return WindowOf(p, "LORK2", false);
}

HWND WaitForMainWindow(const Process& p) {
    for (int i = 0; i < 300; ++i) {
        HWND w = MainWindowOf(p);
        if (w && IsWindowVisible(w)) return w;
        Sleep(50);
    }
    return nullptr;
}

std::string TempFolder() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "lork2 e2e folder " + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string WriteFile(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return path;
}

TEST(Process, NormalCloseExitsWithZero) {
    Process editor("");
    ASSERT_TRUE(editor.started) << ProgramPath();
    HWND window = WaitForMainWindow(editor);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(editor.Wait(), 0);
}

TEST(Process, SecondStartForTheSameFileBringsTheFirstForward) {
    std::string folder = TempFolder();
    std::string path = WriteFile(folder + "\\Some Long File Name.text", "hello\r\n");
    char shortPath[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath), 0u);
    std::string upper = path;
    CharUpperA(upper.data());

    Process first("\"" + path + "\"");
    ASSERT_TRUE(first.started);
    HWND window = WaitForMainWindow(first);
    ASSERT_NE(window, nullptr);

    struct Spelling {
        const char* what;
        std::string arguments;
        const char* folder;
    };
    const Spelling spellings[] = {
        {"long, quoted", "\"" + path + "\"", nullptr},
        {"long, unquoted", path, nullptr},
        {"short", shortPath, nullptr},
        {"other letter case", "\"" + upper + "\"", nullptr},
        {"relative", "\"Some Long File Name.text\"", folder.c_str()},
        {"with the print switch", "/p \"" + path + "\"", nullptr},
    };
    for (const Spelling& s : spellings) {
        SCOPED_TRACE(s.what);
        SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(IsIconic(window));
        Process second(s.arguments, s.folder);
        ASSERT_TRUE(second.started);
        EXPECT_EQ(second.Wait(8000), 255);
        EXPECT_FALSE(IsIconic(window)) << "the first window is restored";
        EXPECT_EQ(MainWindowOf(second), nullptr);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Wait(), 0);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(Process, AFileThatDoesNotExistStartsAnInstanceOfItsOwn) {
    std::string folder = TempFolder();
    std::string missing = folder + "\\missing.txt";
    Process first("\"" + missing + "\"");
    HWND one = WaitForMainWindow(first);
    ASSERT_NE(one, nullptr);
    Process second("\"" + missing + "\"");
    HWND two = WaitForMainWindow(second);
    ASSERT_NE(two, nullptr);
    EXPECT_NE(one, two);
    PostMessageA(one, WM_CLOSE, 0, 0);
    PostMessageA(two, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(second.Wait(), 0);
    RemoveDirectoryA(folder.c_str());
}

TEST(Process, StartedMaximisedShowsMaximised) {
    Process editor("", nullptr, SW_SHOWMAXIMIZED);
    HWND window = WaitForMainWindow(editor);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsZoomed(window));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(editor.Wait(), 0);
}

TEST(Process, MissingRichEditLibraryIsReportedAndExitsWith255) {
    // Wine's per-program DLL settings switch the library off for this start.
    const char* key = "Software\\Wine\\AppDefaults\\lork2.exe\\DllOverrides";
    HKEY overrides;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key, &overrides), ERROR_SUCCESS);
    RegSetValueExA(overrides, "riched32", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(overrides);
    Process editor("");
    ASSERT_TRUE(editor.started);
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
        box = WindowOf(editor, "#32770", true);
        if (!box) Sleep(50);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\lork2.exe");
    ASSERT_NE(box, nullptr) << "the system error box";
    char caption[64] = "";
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ(caption, "LORK2");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(editor.Wait(), 255);
}

} // namespace

namespace {

std::string TitleOf(HWND window) {
    char title[512] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

TEST(Process, RecentFileHeldByAnotherInstanceBringsThatInstanceForward) {
    std::string folder = TempFolder();
    std::string path = WriteFile(folder + "\\recent.txt", "text\r\n");
    Process holder("\"" + path + "\"");
    HWND held = WaitForMainWindow(holder);
    ASSERT_NE(held, nullptr);
    // Loading put the file first in the shared recent-files list.
    Process other("");
    HWND window = WaitForMainWindow(other);
    ASSERT_NE(window, nullptr);
    SendMessageA(held, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(held));
    SendMessageA(window, WM_COMMAND, 900, 0);
    EXPECT_FALSE(IsIconic(held)) << "the holder is restored";
    EXPECT_EQ(TitleOf(window), "[БезИмени]-LORK2") << "the other instance keeps its document";
    EXPECT_EQ(TitleOf(held), "[recent.txt]-LORK2");
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(held, WM_CLOSE, 0, 0);
    EXPECT_EQ(other.Wait(), 0);
    EXPECT_EQ(holder.Wait(), 0);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
