#include "editor/title.h"

#include <windows.h>

#include <string>

#include "base/globals.h"
#include "core/editor/title_text.h"
#include "editor/status_bar.h"

void SetTitle() {
    SetWindowTextA(g_shell.mainWindow, WindowTitle(g_document.fileName).c_str());
    char marker[kPathSize];
    DWORD n = GetShortPathNameA(g_document.fileName, marker, sizeof marker);
    if (n == 0 || n >= sizeof marker) lstrcpynA(marker, g_document.fileName, sizeof marker);
    CharLowerA(marker);
    SetWindowTextA(g_shell.markerWindow, marker);
    UpdatePathField();
}
