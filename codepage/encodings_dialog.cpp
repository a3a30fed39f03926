#include "codepage/encodings_dialog.h"

#include <windows.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/modal_dialog.h"
#include "base/settings.h"
#include "codepage/conversion_commands.h"
#include "core/app/command_ids.h"
#include "core/app/setting_names.h"
#include "core/charset/encodings.h"
#include "core/charset/tables.h"
#include "core/dialogs/codepage_dialog_ids.h"
#include "editor/editor.h"

namespace {

// List index = encoding id: the five code pages, then UTF-8 bytes.
constexpr int kListCount = kEncodingCount;

// A stored code page the lists cannot show counts as absent.
int StoredCodePage(const SettingDef& def) {
    const int32_t value = ReadSetting(def);
    return value >= 0 && value < kListCount ? static_cast<int>(value) : static_cast<int>(def.defaultValue);
}

void FillCodePageList(HWND dialog, int id, int selected) {
    HWND list = GetDlgItem(dialog, id);
    for (int cp = 0; cp < kListCount; ++cp)
        SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(cp), reinterpret_cast<LPARAM>(kEncodings[cp].caption));
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int SelectedCodePage(HWND dialog, int id) {
    const LRESULT cp = SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0);
    return cp >= 0 && cp < kListCount ? static_cast<int>(cp) : -1;
}

void InitEncodingsDialog(HWND dialog, LPARAM) {
    FillCodePageList(dialog, IDC_ENCODINGS_SOURCE, StoredCodePage(setting::SourceCodePage));
    FillCodePageList(dialog, IDC_ENCODINGS_TARGET, StoredCodePage(setting::TargetCodePage));
}

// "=>" remembers the pair; the conversion follows once the dialog is gone.
// Without a selection in both lists the dialog stays open.
bool AcceptCodePagePair(HWND dialog) {
    const int source = SelectedCodePage(dialog, IDC_ENCODINGS_SOURCE);
    const int target = SelectedCodePage(dialog, IDC_ENCODINGS_TARGET);
    if (source < 0 || target < 0) return false;
    WriteSetting(setting::SourceCodePage, source);
    WriteSetting(setting::TargetCodePage, target);
    return true;
}

constexpr DialogBehaviour kEncodingsDialog{InitEncodingsDialog, AcceptCodePagePair, nullptr};

} // namespace

void EncodingsDialogCommand(int) {
    if (!EditorWindow()) return;
    // The text about to be converted stays visible behind the dialog (the
    // rich-edit option, which Wine's control honours where it ignores
    // EM_HIDESELECTION), and hides again with the focus afterwards.
    ShowSelectionAlways(true);
    if (RunModalDialog(IDD_ENCODINGS, kEncodingsDialog) == IDOK) {
        const int source = StoredCodePage(setting::SourceCodePage);
        const int target = StoredCodePage(setting::TargetCodePage);
        ConvertCodePagePair(source, target);
    }
    ShowSelectionAlways(false);
}
