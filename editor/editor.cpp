#include "editor/editor.h"

#include <richedit.h>

#include "app/app.h"
#include "app/setting_names.h"
#include "app/settings.h"

HWND g_editor;
WNDPROC g_editorPrevProc;
DWORD g_wrapStyle = kWrapOffStyle;
bool g_editorFocus;

void CreateEditorControl() {
    const DWORD style = WS_CHILD | ES_SELECTIONBAR | WS_VSCROLL | ES_AUTOVSCROLL | ES_NOOLEDRAGDROP |
                        ES_MULTILINE | g_wrapStyle;
    g_editor = CreateWindowExA(WS_EX_STATICEDGE | WS_EX_ACCEPTFILES, "RICHEDIT", nullptr, style, 0, 64,
                               256, 128, g_mainWindow, nullptr, g_instance, nullptr);
    if (!g_editor) return;
    SendMessageA(g_editor, EM_EXLIMITTEXT, 0, g_sizeLimit);
    SendMessageA(g_editor, EM_SETBKGNDCOLOR, 0, ReadSetting(setting::Background));
    SetWindowTextA(g_editor, "");
    SendMessageA(g_editor, EM_SETMODIFY, FALSE, 0);
    ShowWindow(g_editor, SW_SHOW);
    g_editorFocus = true;
    SetFocus(g_editor);
    g_editorPrevProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorWindowProc)));
}

LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Shortcuts work while the editor has the focus: every message is offered
    // to the accelerator table first, as if it were the main window's.
    MSG msg{g_mainWindow, message, wParam, lParam, 0, {0, 0}};
    if (g_accelerators && TranslateAcceleratorA(g_mainWindow, g_accelerators, &msg)) return 0;
    return CallWindowProcA(g_editorPrevProc, hwnd, message, wParam, lParam);
}
