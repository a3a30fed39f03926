#include "dialogs/char_table.h"

#include <windows.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/dialogs/char_table_text.h"
#include "core/dialogs/dialog_ids.h"
#include "editor/control.h"
#include "editor/text_layer.h"
#include "editor/transfer.h"
#include "editor/undo.h"

namespace {

// The table in the font, character set and colour of the editor's
// selection, on the editor's background; its bytes decoded like the
// document's, so it shows the display code page's characters.
BOOL InitCharTable(HWND dialog) {
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_smallIcon));
    HWND table = GetDlgItem(dialog, IDC_CHAR_TABLE);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC;
    if (g_editor) SendMessageA(g_editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageA(table, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(table, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(table, EM_SETBKGNDCOLOR, 0, ReadSetting(setting::Background));
    const auto text = CharTableText();
    StreamBytesIn(table, SF_TEXT, text.data(), static_cast<int32_t>(text.size()));
    return TRUE;
}

// "Копировать напрямую": the selected characters replace the editor's
// selection as one undo step; the table keeps the focus for the next pick.
void InsertSelectedCharacters(HWND dialog) {
    HWND table = GetDlgItem(dialog, IDC_CHAR_TABLE);
    unsigned char bytes[kCharTableTextSize];
    const int32_t n = StreamBytesOut(table, true, bytes, sizeof bytes);
    if (n > 0 && g_editor) {
        RecordUndo(UndoRequest::Replacement, n);
        ReplaceSelectionBytes(g_editor, bytes, n, true);
    }
    SetFocus(table);
}

INT_PTR CALLBACK CharTableProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return InitCharTable(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            InsertSelectedCharacters(dialog);
            return TRUE;
        case IDC_CHAR_TABLE_COPY:
            // The program's own copy and paste: the clipboard keeps the characters.
            CopySelection(GetDlgItem(dialog, IDC_CHAR_TABLE));
            PasteText();
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

void CharacterTableCommand(int) {
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_CHARACTER_TABLE), g_mainWindow, CharTableProc, 0);
}
