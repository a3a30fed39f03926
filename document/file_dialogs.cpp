// The Open, Save As and Insert-from-file dialogs over one shared record.
#include <windows.h>
#include <commdlg.h>
#include <richedit.h>

#include <cstring>

#include "app/globals.h"
#include "document/documents.h"
#include "document/file_names.h"
#include "editor/editor.h"
#include "editor/heap_block.h"
#include "editor/text_layer.h"
#include "editor/title.h"
#include "editor/undo.h"

namespace {

OPENFILENAMEA g_openFileName;
DWORD g_filterIndex = 1; // the filter last confirmed in any of the three dialogs

constexpr DWORD kOpenFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ENABLEHOOK | OFN_HIDEREADONLY;
constexpr DWORD kSaveFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

UINT_PTR CALLBACK FileDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SendMessageA(GetParent(hook), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_smallIcon));
        return 0;
    case WM_NOTIFY: {
        const auto* notify = reinterpret_cast<const OFNOTIFYA*>(lParam);
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
    g_openFileName.hwndOwner = g_mainWindow;
    g_openFileName.lpstrFile = buffer;
    g_openFileName.nMaxFile = kPathSize;
    g_openFileName.nFilterIndex = g_filterIndex;
    g_openFileName.Flags = flags;
    SetDefaultExtension();
}

// Runs the Open dialog for a file to read; the name in `buffer` (260 bytes).
bool ChooseFileToRead(char* buffer) {
    buffer[0] = '\0';
    PrepareFileDialog(buffer, kOpenFlags);
    if (!GetOpenFileNameA(&g_openFileName)) return false;
    g_filterIndex = g_openFileName.nFilterIndex;
    return buffer[0] != '\0';
}

} // namespace

void InitFileDialogs() {
    memset(&g_openFileName, 0, sizeof g_openFileName);
    g_openFileName.lStructSize = sizeof g_openFileName;
    g_openFileName.hwndOwner = g_mainWindow;
    g_openFileName.lpstrFilter = kFileFilters;
    g_openFileName.nMaxFile = kPathSize;
    g_openFileName.lpfnHook = FileDialogHook;
    g_filterIndex = 1;
    RefreshRecentItems();
}

void SetDefaultExtension() {
    if (const char* extension = DefaultExtensionFor(static_cast<int>(g_openFileName.nFilterIndex)))
        g_openFileName.lpstrDefExt = extension;
}

void OpenDocument() {
    char name[kPathSize];
    if (ChooseFileToRead(name)) LoadFile(name);
}

bool SaveDocumentAs() {
    // The dialog proposes the current name ("БезИмени" for a new document).
    char name[kPathSize];
    lstrcpynA(name, g_currentFileName, kPathSize);
    PrepareFileDialog(name, kSaveFlags);
    if (!GetSaveFileNameA(&g_openFileName) || !name[0]) {
        SetTitle();
        return false;
    }
    g_filterIndex = g_openFileName.nFilterIndex;
    lstrcpynA(g_currentFileName, name, kPathSize);
    const bool ok = SaveFile();
    UseOnDiskName(g_currentFileName);
    if (ok) {
        AddRecentFile(g_currentFileName, false);
        ClearUndoHistory();
    }
    SetTitle();
    return ok;
}

void InsertFromFile() {
    if (!g_editor) return;
    char name[kPathSize];
    if (!ChooseFileToRead(name)) return;
    unsigned char* bytes = nullptr;
    int32_t n = 0;
    bool opened = false;
    if (!ReadWholeFile(name, &bytes, &n, &opened)) return; // silent, as the command always was
    const CHARRANGE selection = GetSelection(g_editor);
    RecordUndo(kUndoSnapshot, n);
    StreamBytesIn(g_editor, SF_TEXT | SFF_SELECTION, bytes, n);
    HeapFreeBlock(bytes);
    if (n > 0 || selection.cpMin != selection.cpMax) SendMessageA(g_editor, EM_SETMODIFY, TRUE, 0);
}
