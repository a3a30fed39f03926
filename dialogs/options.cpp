#include "dialogs/options.h"

#include <commctrl.h>

#include "base/globals.h"
#include "base/modal_dialog.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/dialogs/options_ids.h"
#include "document/recent_files.h"
#include "editor/editor.h"
#include "editor/status_bar.h"
#include "editor/toolbar.h"

namespace {

// The switches the dialog edits, one byte each, as the check boxes show them.
struct OptionSwitches {
    bool toolbar;
    bool statusBar;
    bool undoOff;
    bool rememberWindow;
    bool rememberCaret;
    bool bigButtons;
};

OptionSwitches g_switches;

// A paragraph measure: its edit, its up-down control, range and setting.
struct Measure {
    int edit;
    int spin;
    int low;
    int high;
    SettingDef setting;
};
constexpr Measure kMeasures[] = {
    {IDC_OPT_FIRST_INDENT, IDC_OPT_FIRST_INDENT_SPIN, 0, 80, setting::FirstIndent},
    {IDC_OPT_LEFT_INDENT, IDC_OPT_LEFT_INDENT_SPIN, 0, 80, setting::LeftIndent},
    {IDC_OPT_RIGHT_INDENT, IDC_OPT_RIGHT_INDENT_SPIN, 10, 128, setting::RightIndent},
};

void SetCheck(HWND dialog, int id, bool on) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Checked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void InitOptionsDialog(HWND dialog, LPARAM) {
    SetCheck(dialog, IDC_OPT_TOOLBAR, g_switches.toolbar);
    SetCheck(dialog, IDC_OPT_STATUS_BAR, g_switches.statusBar);
    SetCheck(dialog, IDC_OPT_UNDO, !g_switches.undoOff);
    SetCheck(dialog, IDC_OPT_REMEMBER_WINDOW, g_switches.rememberWindow);
    SetCheck(dialog, IDC_OPT_REMEMBER_CARET, g_switches.rememberCaret);
    SetCheck(dialog, IDC_OPT_BIG_BUTTONS, g_switches.bigButtons);
    SetCheck(dialog, IDC_OPT_IGNORE_LINE_BREAKS,
             ReadSettingDword(setting::IgnoreLineBreaks.name, setting::kIgnoreLineBreaksOptionsDefault) != 0);
    for (const Measure& m : kMeasures) {
        CreateUpDownControl(WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0,
                            dialog, m.spin, g_shell.instance, GetDlgItem(dialog, m.edit), m.high, m.low,
                            ReadSetting(m.setting));
    }
}

// The check boxes into the switches, "IG" and the three measures into the
// settings; an edit that holds no accepted number stores its default.
bool AcceptOptions(HWND dialog) {
    g_switches.toolbar = Checked(dialog, IDC_OPT_TOOLBAR);
    g_switches.statusBar = Checked(dialog, IDC_OPT_STATUS_BAR);
    g_switches.undoOff = !Checked(dialog, IDC_OPT_UNDO);
    g_switches.rememberWindow = Checked(dialog, IDC_OPT_REMEMBER_WINDOW);
    g_switches.rememberCaret = Checked(dialog, IDC_OPT_REMEMBER_CARET);
    g_switches.bigButtons = Checked(dialog, IDC_OPT_BIG_BUTTONS);
    WriteSetting(setting::IgnoreLineBreaks, Checked(dialog, IDC_OPT_IGNORE_LINE_BREAKS) ? 1 : 0);
    for (const Measure& m : kMeasures) {
        const LRESULT position = SendDlgItemMessageA(dialog, m.spin, UDM_GETPOS, 0, 0);
        const int32_t value = HIWORD(position) != 0 ? m.setting.defaultValue : static_cast<int16_t>(LOWORD(position));
        WriteSetting(m.setting, value);
    }
    return true;
}

// What "ОК" changes in the running window: the undo history, the toolbar
// (re-created, so that the button size takes effect), the status bar and the
// layout.
void ApplyOptions() {
    WriteSetting(setting::StatusBar, g_switches.statusBar);
    WriteSetting(setting::Toolbar, g_switches.toolbar);
    WriteSetting(setting::ControlUndo, g_switches.undoOff);
    WriteSetting(setting::RememberWindow, g_switches.rememberWindow);
    WriteSetting(setting::RememberCaret, g_switches.rememberCaret);
    WriteSetting(setting::BigButtons, g_switches.bigButtons);
    SetRememberCaret(g_switches.rememberCaret);
    SetControlUndoUsed(g_switches.undoOff);
    if (g_switches.undoOff) ClearUndoHistory();
    DestroyToolbar();
    if (g_switches.toolbar) CreateToolbar();
    if (g_switches.statusBar && !g_statusBar) {
        CreateStatusBar();
        UpdateModeField();
        ResetCaretField();
        UpdateCaretField();
    } else if (!g_switches.statusBar && g_statusBar) {
        DestroyStatusBar();
    }
    RECT client;
    GetClientRect(g_shell.mainWindow, &client);
    PostMessageA(g_shell.mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

constexpr DialogBehaviour kOptionsDialog{InitOptionsDialog, AcceptOptions, nullptr};

} // namespace

void OptionsCommand(int) {
    g_switches.toolbar = g_toolbar != nullptr;
    g_switches.statusBar = g_statusBar != nullptr;
    g_switches.undoOff = ReadSetting(setting::ControlUndo) != 0;
    g_switches.rememberWindow = ReadSetting(setting::RememberWindow) != 0;
    g_switches.rememberCaret = ReadSetting(setting::RememberCaret) != 0;
    g_switches.bigButtons = ReadSetting(setting::BigButtons) != 0;
    if (RunModalDialog(IDD_OPTIONS, kOptionsDialog) != IDOK) return;
    ApplyOptions();
}
