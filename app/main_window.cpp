#include "app/main_window.h"

#include <commctrl.h>
#include <richedit.h>

#include "app/app.h"
#include "app/menus.h"
#include "app/run_rule.h"
#include "app/settings.h"
#include "app/setting_names.h"
#include "codepage/conversion_commands.h"
#include "codepage/display_code_page.h"
#include "document/documents.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/transfer.h"
#include "editor/undo.h"

HWND g_toolbar;
HWND g_statusBar;

namespace {

constexpr int kCommandMaximize = 300;

void ExitProgram(int) { SendMessageA(g_mainWindow, WM_CLOSE, 0, 0); }

void SelectAll(int) {
    if (g_editor) SendMessageA(g_editor, EM_SETSEL, 0, -1);
}

void MaximizeOrRestore(int) {
    SendMessageA(g_mainWindow, WM_SYSCOMMAND, IsZoomed(g_mainWindow) ? SC_RESTORE : SC_MAXIMIZE, 0);
}

bool SelectionNotEmpty() {
    return g_editor && SendMessageA(g_editor, EM_SELECTIONTYPE, 0, 0) != SEL_EMPTY;
}

bool DocumentModified() { return g_editor && SendMessageA(g_editor, EM_GETMODIFY, 0, 0) != 0; }

bool CanRun() { return CanRunDocument(g_currentFileName, kUntitledName); }

// With the control's own undo: what the control can take back; otherwise
// whether the history holds a step.
bool CanUndo() {
    if (ReadSetting(setting::ControlUndo) != 0) return g_editor && SendMessageA(g_editor, EM_CANUNDO, 0, 0) != 0;
    return !UndoHistoryEmpty();
}

// Commands 48 and 49: the font of the display code page 20 twips larger,
// up to 520, or smaller, down to 80.
void ChangeFontSize(int id) {
    SettingDef size = setting::FontSize(g_displayCodePage);
    int32_t h = ReadSetting(size);
    if (id == 48 && h < 520) {
        WriteSetting(size, h + 20);
    } else if (id == 49 && h > 80) {
        WriteSetting(size, h - 20);
    } else {
        return;
    }
    ApplyDisplayCodePageKeepingView();
}

void EnableMenuCommand(int id, bool enabled) {
    EnableMenuItem(g_menuBar, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void SaveWindowPlacement() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (GetWindowPlacement(g_mainWindow, &wp)) WriteSettingBinary("DEF", &wp, sizeof wp);
}

struct Command {
    int id;
    void (*run)(int id);
};

// Every command the main window carries, from the menus, the accelerators and
// the toolbar.
const Command kCommands[] = {
    {1, CutCommand},
    {2, CopyCommand},
    {3, PasteCommand},
    {4, UndoCommand},
    {6, DeleteCommand},
    {7, NewDocumentCommand},
    {8, OpenDocumentCommand},
    {9, SaveDocumentCommand},
    {16, DisplayCodePageCommand},
    {17, DisplayCodePageCommand},
    {18, DisplayCodePageCommand},
    {19, ConvertCommand},
    {20, ConvertCommand},
    {21, ConvertCommand},
    {22, ConvertCommand},
    {25, WordWrapCommand},
    {26, SaveDocumentAsCommand},
    {29, ConvertCommand},
    {30, ConvertCommand},
    {31, ConvertCommand},
    {32, ConvertCommand},
    {33, ConvertCommand},
    {34, ConvertCommand},
    {35, ConvertCommand},
    {36, ConvertCommand},
    {38, InsertFromFileCommand},
    {43, ExitProgram},
    {47, SelectAll},
    {48, ChangeFontSize},
    {49, ChangeFontSize},
    {52, HtmlColouringCommand},
    {100, TwoKeyCodePageCommand},
    {101, TwoKeyCodePageCommand},
    {102, TwoKeyCodePageCommand},
    {kCommandMaximize, MaximizeOrRestore},
    {900, OpenRecentFileCommand},
    {901, OpenRecentFileCommand},
    {902, OpenRecentFileCommand},
    {903, OpenRecentFileCommand},
    {904, OpenRecentFileCommand},
    {905, OpenRecentFileCommand},
    {906, OpenRecentFileCommand},
    {907, OpenRecentFileCommand},
    {908, OpenRecentFileCommand},
    {909, OpenRecentFileCommand},
};

} // namespace

void DispatchCommand(int id) {
    for (const Command& c : kCommands) {
        if (c.id == id) {
            c.run(id);
            return;
        }
    }
}

void UpdateMenuState() {
    EnableMenuCommand(9, DocumentModified());
    EnableMenuCommand(4, CanUndo());
    EnableMenuCommand(3, IsClipboardFormatAvailable(CF_TEXT));
    EnableMenuCommand(23, CanRun());
    bool selection = SelectionNotEmpty();
    EnableMenuCommand(2, selection);
    EnableMenuCommand(1, selection);
    EnableMenuCommand(6, selection);
}

void SetToolbarButtonState(int id, BYTE state) {
    if (!g_toolbar) return;
    LRESULT current = SendMessageA(g_toolbar, TB_GETSTATE, static_cast<WPARAM>(id), 0);
    if (current != -1 && (current & TBSTATE_PRESSED)) state |= TBSTATE_PRESSED;
    SendMessageA(g_toolbar, TB_SETSTATE, static_cast<WPARAM>(id), MAKELONG(state, 0));
}

void UpdateToolbarState() {
    if (!g_toolbar) return;
    auto state = [](bool enabled) -> BYTE { return enabled ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE; };
    SetToolbarButtonState(23, state(CanRun()));
    SetToolbarButtonState(3, state(IsClipboardFormatAvailable(CF_TEXT)));
    bool selection = SelectionNotEmpty();
    SetToolbarButtonState(6, state(selection));
    SetToolbarButtonState(1, state(selection));
    SetToolbarButtonState(2, state(selection));
    SetToolbarButtonState(9, state(DocumentModified() && (g_controlUndoUsed || !UndoHistoryEmpty())));
    SetToolbarButtonState(4, state(CanUndo()));
}

void LayoutChildren(int width, int height) {
    if (!g_editor) return;
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
    MoveWindow(g_editor, 0, toolbarHeight, width, height - statusHeight - toolbarHeight, TRUE);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        DispatchCommand(LOWORD(wParam));
        return 0;
    case WM_SIZE:
        LayoutChildren(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_TIMER:
        if (wParam == kAutoScrollTimer) {
            AutoScrollStep();
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (g_editorFocus && g_editor) SetFocus(g_editor);
        break;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam) == 0) UpdateMenuState();
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
        return TRUE;
    }
    case WM_CLOSE:
        // Closing, the exit command and Escape: unsaved changes first.
        if (g_editor && !AskSaveChanges()) return 0;
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
