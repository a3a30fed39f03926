#include "dialogs/char_table.h"

#include <windows.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/modal_dialog.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/dialogs/char_table_text.h"
#include "core/dialogs/dialog_ids.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/transfer.h"

namespace {

// The table in the font, character set and colour of the editor's
// selection, on the editor's background; its bytes decoded like the
// document's, so it shows the display code page's characters.
void InitCharTable(HWND dialog, LPARAM) {
    HWND table = GetDlgItem(dialog, IDC_CHAR_TABLE);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC;
    if (EditorWindow()) SendMessageA(EditorWindow(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageA(table, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(table, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(table, EM_SETBKGNDCOLOR, 0, ReadSetting(setting::Background));
    const auto text = CharTableText();
    StreamBytesIn(table, SF_TEXT, text.data(), static_cast<int32_t>(text.size()));
}

// "Копировать напрямую" (the dialog's IDOK): the selected characters replace
// the editor's selection as one undo step; the dialog stays open and the
// table keeps the focus for the next pick.
bool InsertSelectedCharacters(HWND dialog) {
    HWND table = GetDlgItem(dialog, IDC_CHAR_TABLE);
    unsigned char bytes[kCharTableTextSize];
    const int32_t n = StreamBytesOut(table, true, bytes, sizeof bytes);
    if (n > 0 && EditorWindow()) {
        ReplaceSelection(bytes, n);
    }
    SetFocus(table);
    return false;
}

bool CharTableCommand(HWND dialog, WPARAM wParam) {
    if (LOWORD(wParam) != IDC_CHAR_TABLE_COPY) return false;
    // "Копировать": the program's own copy and paste; the clipboard keeps the characters.
    CopySelection(GetDlgItem(dialog, IDC_CHAR_TABLE));
    PasteText();
    EndDialog(dialog, IDOK);
    return true;
}

constexpr DialogBehaviour kCharTableDialog{InitCharTable, InsertSelectedCharacters, CharTableCommand};

} // namespace

void CharacterTableCommand(int) {
    RunModalDialog(IDD_CHARACTER_TABLE, kCharTableDialog);
}
