#include "app/main_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <new>

#include "app/command_table.h"
#include "app/menus.h"
#include "base/globals.h"
#include "base/messages.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "dialogs/small_commands.h"
#include "document/documents.h"
#include "document/recent_files.h"
#include "editor/editor.h"
#include "editor/status_bar.h"
#include "editor/toolbar.h"
#include "print/printing.h"

bool g_savePlacement;

namespace {

void SaveWindowPlacement() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (GetWindowPlacement(g_shell.mainWindow, &wp)) WriteSettingBinary(setting::Placement.name, &wp, sizeof wp);
}

} // namespace

// Running out of memory ends here, whatever the command: no exception
// crosses the window procedure. A command computes its result before it
// changes the document, and what it holds (a frozen view, a moved
// selection) puts itself back on the way out, so the document stays as it
// was and the user reads the memory message.
void DispatchCommand(int id) {
    const CommandRow* row = FindCommand(id);
    if (!row || !row->run) return;
    try {
        row->run(id);
    } catch (const std::bad_alloc&) {
        ShowNoMemory();
    }
}

void UpdateMenuState() {
    for (const CommandRow& row : CommandRows()) {
        const UINT id = static_cast<UINT>(row.id);
        if (row.enabled) EnableMenuItem(g_shell.menuBar, id, MF_BYCOMMAND | (CommandEnabled(row) ? MF_ENABLED : MF_GRAYED));
        if (row.checked) CheckMenuItem(g_shell.menuBar, id, MF_BYCOMMAND | (CommandChecked(row) ? MF_CHECKED : MF_UNCHECKED));
    }
}

void SetToolbarButtonState(int id, BYTE state) {
    if (!g_toolbar) return;
    LRESULT current = SendMessageA(g_toolbar, TB_GETSTATE, static_cast<WPARAM>(id), 0);
    // A command without a button has nothing to set; a button already in that
    // state is left alone, since setting a state repaints the button.
    if (current == -1) return;
    if (current & TBSTATE_PRESSED) state |= TBSTATE_PRESSED;
    if ((current & 0xFF) == state) return;
    SendMessageA(g_toolbar, TB_SETSTATE, static_cast<WPARAM>(id), MAKELONG(state, 0));
}

void UpdateToolbarState() {
    if (!g_toolbar) return;
    for (const CommandRow& row : CommandRows()) {
        if (!row.enabled && !row.checked) continue;
        BYTE state = CommandEnabled(row) ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE;
        if (CommandChecked(row)) state |= TBSTATE_CHECKED;
        SetToolbarButtonState(row.id, state);
    }
}

void LayoutChildren(int width, int height) {
    if (!EditorWindow()) return;
    LPARAM size = MAKELPARAM(width, height);
    int toolbarHeight = 0;
    int statusHeight = 0;
    RECT r;
    if (g_toolbar) {
        SendMessageA(g_toolbar, WM_SIZE, 0, size);
        GetWindowRect(g_toolbar, &r);
        toolbarHeight = r.bottom - r.top;
    }
    if (g_statusBar) {
        SendMessageA(g_statusBar, WM_SIZE, 0, size);
        GetWindowRect(g_statusBar, &r);
        statusHeight = r.bottom - r.top;
    }
    MoveWindow(EditorWindow(), 0, toolbarHeight, width, height - statusHeight - toolbarHeight, TRUE);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam && reinterpret_cast<HWND>(lParam) == EditorWindow() && HIWORD(wParam) == EN_CHANGE) {
            NoteTextChanged();
            return 0;
        }
        DispatchCommand(LOWORD(wParam));
        // A command may have changed the text anywhere: the caret field
        // finds its row afresh.
        ResetCaretField();
        UpdateCaretField();
        return 0;
    case kEditorClicked:
        UpdateCaretField();
        return 0;
    case kHelpNotOpened:
        ReportHelpNotOpened(wParam, lParam);
        return 0;
    case WM_SIZE:
        LayoutChildren(LOWORD(lParam), HIWORD(lParam));
        if (WordWrapOn()) {
            // Wrapped rows follow the new width.
            ResetCaretField();
            UpdateCaretField();
        }
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (HandleToolbarNotify(reinterpret_cast<NMHDR*>(lParam), result)) return result;
        break;
    }
    case WM_TIMER:
        if (wParam == kAutoScrollTimer) {
            AutoScrollStep();
            return 0;
        }
        if (wParam == kForeignCountTimer) {
            CountForeignAgain();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        FocusEditorIfOwed();
        break;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam) != 0) break;
        // The stored list may have been changed by another instance.
        if (GetMenuState(reinterpret_cast<HMENU>(wParam), IDM_RECENT_FIRST, MF_BYCOMMAND) != static_cast<UINT>(-1))
            RefreshRecentItems();
        UpdateMenuState();
        break;
    case WM_MENUCHAR:
        return HandleMenuChar(wParam, lParam);
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mis->CtlType == ODT_MENU) MeasureMenuItem(mis);
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis->CtlType == ODT_MENU) DrawMenuItem(dis);
        if (g_statusBar && dis->hwndItem == g_statusBar) DrawStatusField(dis);
        return TRUE;
    }
    case WM_CLOSE:
        // Closing, the exit command and Escape: unsaved changes first.
        if (EditorWindow() && !AskSaveChanges()) return 0;
        break;
    case WM_QUERYENDSESSION:
        if (!AskSaveChanges()) return FALSE;
        break;
    case WM_DESTROY:
        if (g_savePlacement) SaveWindowPlacement();
        ReleaseResources();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void ReleaseResources() {
    ReleasePrintState();
    DestroyToolbar();
    DestroyStatusBar();
    if (g_shell.richEditLibrary) {
        DestroyEditorControl();
        FreeLibrary(g_shell.richEditLibrary);
        g_shell.richEditLibrary = nullptr;
    }
    ClearUndoHistory();
    DestroyMenus();
}
