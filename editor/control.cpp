#include "editor/control.h"

HWND g_editor;
WNDPROC g_editorPrevProc;
DWORD g_wrapStyle = kWrapOffStyle;
bool g_editorFocus;
bool g_overwriteMode;
