#include "editor/title.h"

#include <windows.h>

#include <string>

#include "base/globals.h"
#include "core/editor/title_text.h"
#include "editor/status_bar.h"

void SetTitle() {
    SetWindowTextA(g_mainWindow, WindowTitle(g_currentFileName).c_str());
    char marker[kPathSize];
    DWORD n = GetShortPathNameA(g_currentFileName, marker, sizeof marker);
    if (n == 0 || n >= sizeof marker) lstrcpynA(marker, g_currentFileName, sizeof marker);
    CharLowerA(marker);
    SetWindowTextA(g_markerWindow, marker);
    UpdatePathField();
}
