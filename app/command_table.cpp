// The command table: the rows of app/command_list.h with their handlers and
// the rules that enable and check them.
#include "app/command_table.h"

#include <windows.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/settings.h"
#include "codepage/colours.h"
#include "codepage/conversion_commands.h"
#include "codepage/encodings_dialog.h"
#include "codepage/font_dialog.h"
#include "codepage/repair_dialog.h"
#include "core/app/command_list.h"
#include "core/app/setting_names.h"
#include "core/charset/tables.h"
#include "core/dialogs/font_choices.h"
#include "dialogs/associations.h"
#include "dialogs/char_table.h"
#include "dialogs/options.h"
#include "dialogs/small_commands.h"
#include "document/documents.h"
#include "editor/display_code_page.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/toolbar.h"
#include "editor/transfer.h"
#include "editor/undo.h"
#include "print/preview.h"
#include "print/printing.h"
#include "search/search.h"
#include "search/search_dialog.h"

namespace {

// --- The shell's own small commands ---

void ExitCommand(int) { SendMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0); }

void SelectAllCommand(int) {
    if (EditorWindow()) SetSelection(EditorWindow(), 0, -1);
}

void MaximizeCommand(int) {
    SendMessageA(g_shell.mainWindow, WM_SYSCOMMAND, IsZoomed(g_shell.mainWindow) ? SC_RESTORE : SC_MAXIMIZE, 0);
}

// The font of the display code page 20 twips larger, up to 520, or smaller,
// down to 80; a stored size out of range counts as the size it is shown at.
void FontSizeCommand(int id) {
    const SettingDef size = setting::FontSize(DisplayCodePage());
    const int32_t stored = ReadSetting(size);
    const int32_t h = stored > 0 ? ShownFontSize(stored) : stored;
    if (id == IDM_SIZE_UP && h < kLargestFontTwips) {
        WriteSetting(size, h + 20);
    } else if (id == IDM_SIZE_DOWN && h > 80) {
        WriteSetting(size, h - 20);
    } else {
        return;
    }
    ApplyDisplayCodePageKeepingView();
}

// --- Rules ---

bool SelectionNotEmpty() { return EditorWindow() && HasSelection(EditorWindow()); }

bool ClipboardHasText() { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }

// With the control's own undo: what the control can take back; otherwise
// whether the history holds a step.
bool CanUndo() {
    if (ControlUndoSelected()) return EditorWindow() && SendMessageA(EditorWindow(), EM_CANUNDO, 0, 0) != 0;
    return !UndoHistoryEmpty();
}

bool CanRedo() {
    if (ControlUndoSelected()) return EditorWindow() && SendMessageA(EditorWindow(), EM_CANREDO, 0, 0) != 0;
    return !RedoHistoryEmpty();
}

bool ShowingAnsi() { return DisplayCodePage() == kCodePageAnsi; }
bool ShowingOem() { return DisplayCodePage() == kCodePageOem; }
bool ShowingKoi8() { return DisplayCodePage() == kCodePageKoi8; }

#define LORK2_COMMAND_ROW(id, caption, handler, enabled, checked) {id, caption, handler, enabled, checked},
const CommandRow kCommandRows[] = {LORK2_COMMAND_ROWS(LORK2_COMMAND_ROW)};
#undef LORK2_COMMAND_ROW

} // namespace

std::span<const CommandRow> CommandRows() { return kCommandRows; }

const CommandRow* FindCommand(int id) {
    for (const CommandRow& row : kCommandRows)
        if (row.id == id) return &row;
    return nullptr;
}

bool CommandEnabled(const CommandRow& row) { return !row.enabled || row.enabled(); }

bool CommandChecked(const CommandRow& row) { return row.checked && row.checked(); }
