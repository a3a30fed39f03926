// The Open, Save As and Insert-from-file dialogs over one shared record.
#include "document/file_dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "base/globals.h"
#include "core/dialogs/codepage_dialog_ids.h"
#include "core/document/file_names.h"
#include "document/file_access.h"

namespace {

OPENFILENAMEA g_openFileName;
FileEncoding g_saveEncoding = FileEncoding::Bytes; // the Save As dialog's choice
DWORD g_filterIndex = 1; // the filter last confirmed in any of the three dialogs

constexpr DWORD kOpenFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
constexpr DWORD kSaveFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

// The Save As dialog's list of encodings (the Open dialogs have none): the
// code page's bytes as shown, then the Unicode encodings; the document's own
// selected.
void FillEncodingList(HWND hook) {
    HWND list = GetDlgItem(hook, IDC_SAVE_ENCODING);
    if (!list) return;
    for (int e = 0; e < kFileEncodingCount; ++e) {
        const auto encoding = static_cast<FileEncoding>(e);
        const char* name = encoding == FileEncoding::Bytes ? "Как показано" : FileEncodingName(encoding);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(g_saveEncoding), 0);
}

UINT_PTR CALLBACK FileDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SendMessageA(GetParent(hook), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_shell.smallIcon));
        FillEncodingList(hook);
        return 0;
    case WM_NOTIFY: {
        const auto* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
        if (notify->hdr.code == static_cast<UINT>(CDN_FILEOK)) {
            const LRESULT chosen = SendDlgItemMessageA(hook, IDC_SAVE_ENCODING, CB_GETCURSEL, 0, 0);
            if (chosen >= 0 && chosen < kFileEncodingCount) g_saveEncoding = static_cast<FileEncoding>(chosen);
        }
        if (notify->hdr.code == static_cast<UINT>(CDN_TYPECHANGE)) {
            if (notify->lpOFN) g_openFileName.nFilterIndex = notify->lpOFN->nFilterIndex;
            SetDefaultExtension();
            // The dialog keeps its own copy of the extension.
            if (g_openFileName.lpstrDefExt)
                SendMessageA(GetParent(hook), CDM_SETDEFEXT, 0,
                             reinterpret_cast<LPARAM>(g_openFileName.lpstrDefExt));
        }
        return 0;
    }
    default:
        return 0;
    }
}

// The shared record for one dialog: the caller's 260-byte name buffer, the
// remembered filter and its default extension.
void PrepareFileDialog(char* buffer, DWORD flags) {
    g_openFileName.hwndOwner = g_shell.mainWindow;
    g_openFileName.lpstrFile = buffer;
    g_openFileName.nMaxFile = kPathSize;
    g_openFileName.nFilterIndex = g_filterIndex;
    g_openFileName.Flags = flags;
    SetDefaultExtension();
}

} // namespace

void InitFileDialogs() {
    memset(&g_openFileName, 0, sizeof g_openFileName);
    g_openFileName.lStructSize = sizeof g_openFileName;
    g_openFileName.hwndOwner = g_shell.mainWindow;
    g_openFileName.lpstrFilter = kFileFilters;
    g_openFileName.nMaxFile = kPathSize;
    g_openFileName.lpfnHook = FileDialogHook;
    g_filterIndex = 1;
}

void SetDefaultExtension() {
    if (const char* extension = DefaultExtensionFor(static_cast<int>(g_openFileName.nFilterIndex)))
        g_openFileName.lpstrDefExt = extension;
}

bool ChooseFileToRead(char* name) {
    name[0] = '\0';
    PrepareFileDialog(name, kOpenFlags);
    if (!GetOpenFileNameA(&g_openFileName)) return false;
    g_filterIndex = g_openFileName.nFilterIndex;
    RecoverSpelledName(name); // a chosen name outside the code page opens by its short name
    return name[0] != '\0';
}

bool ChooseFileToSave(char* name, FileEncoding* encoding) {
    PrepareFileDialog(name, kSaveFlags | OFN_ENABLETEMPLATE);
    g_openFileName.hInstance = g_shell.instance;
    g_openFileName.lpTemplateName = MAKEINTRESOURCEA(IDD_SAVE_ENCODING);
    g_saveEncoding = *encoding;
    const bool chosen = GetSaveFileNameA(&g_openFileName) && name[0];
    g_openFileName.Flags &= ~OFN_ENABLETEMPLATE;
    if (!chosen) return false;
    g_filterIndex = g_openFileName.nFilterIndex;
    *encoding = g_saveEncoding;
    return true;
}

void ResetFileDialogs() {
    g_openFileName = OPENFILENAMEA{};
    g_filterIndex = 1;
    g_saveEncoding = FileEncoding::Bytes;
}
