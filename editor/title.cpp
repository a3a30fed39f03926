#include "editor/title.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "base/globals.h"
#include "core/editor/title_text.h"
#include "editor/status_bar.h"

namespace {

// The name the title shows. A file whose long name the code page cannot
// spell is kept by its short name; the title shows the long one as well as
// the code page allows.
std::string ShownName(const char* path) {
    if (!strchr(path, '~')) return path;
    wchar_t wide[kPathSize];
    wchar_t longName[kPathSize];
    char shown[kPathSize * 2];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kPathSize) <= 0) return path;
    const DWORD n = GetLongPathNameW(wide, longName, kPathSize);
    if (n == 0 || n >= kPathSize) return path;
    if (WideCharToMultiByte(CP_ACP, 0, longName, -1, shown, sizeof shown, nullptr, nullptr) <= 0) return path;
    return shown;
}

} // namespace

void SetTitle() {
    SetWindowTextA(g_shell.mainWindow, WindowTitle(ShownName(g_document.fileName)).c_str());
    char marker[kPathSize];
    DWORD n = GetShortPathNameA(g_document.fileName, marker, sizeof marker);
    if (n == 0 || n >= sizeof marker) lstrcpynA(marker, g_document.fileName, sizeof marker);
    CharLowerA(marker);
    SetWindowTextA(g_shell.markerWindow, marker);
    UpdatePathField();
}
