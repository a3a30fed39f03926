// One running instance per open file: every instance shows the lower-cased
// short path of its document as the text of a hidden marker window; a new
// instance looks for that text under every main window.
#include "base/instance.h"

#include <cstring>

#include "base/globals.h"

bool g_instanceFound;

namespace {

struct InstanceSearch {
    const char* shortPath;
};

BOOL CALLBACK FindInstanceWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<InstanceSearch*>(lParam);
    if (window == g_shell.mainWindow) return TRUE;
    char className[33];
    if (!GetClassNameA(window, className, sizeof className)) return TRUE;
    if (strcmp(className, kMainClassName) != 0) return TRUE; // case-sensitive
    if (!FindWindowExA(window, nullptr, kMarkerClassName, search->shortPath)) return TRUE;
    if (IsIconic(window)) SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    SetForegroundWindow(window);
    g_instanceFound = true;
    return FALSE;
}

} // namespace

bool FindRunningInstance(const char* path) {
    g_instanceFound = false;
    char shortPath[kPathSize];
    DWORD n = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (n == 0 || n >= sizeof shortPath) return false;
    CharLowerA(shortPath);
    InstanceSearch search{shortPath};
    EnumWindows(FindInstanceWindow, reinterpret_cast<LPARAM>(&search));
    return g_instanceFound;
}

void ForgetRunningInstance() { g_instanceFound = false; }
