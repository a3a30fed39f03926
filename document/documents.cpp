#include "document/documents.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/instance.h"
#include "base/scoped.h"
#include "base/messages.h"
#include "core/app/command_ids.h"
#include "core/document/detect_code_page.h"
#include "core/document/file_names.h"
#include "document/file_access.h"
#include "document/file_dialogs.h"
#include "document/recent_files.h"
#include "editor/control.h"
#include "editor/display_code_page.h"
#include "editor/memory_check.h"
#include "editor/text_layer.h"
#include "editor/title.h"
#include "editor/undo.h"

namespace {

constexpr DWORD kChunk = 1u << 24; // one ReadFile / WriteFile call at most

bool FitsPathBuffer(const char* name) { return name && name[0] && strnlen(name, kPathSize) < kPathSize; }

std::string_view CurrentFileName() { return {g_currentFileName, strnlen(g_currentFileName, kPathSize - 1)}; }

// The document's bytes into a heap block; null when no memory.
unsigned char* DocumentBytes(int32_t* n) {
    int32_t capacity = TextLength(g_editor) + 2;
    for (;;) {
        auto* block = static_cast<unsigned char*>(HeapAllocBlock(static_cast<size_t>(capacity)));
        if (!block) return nullptr;
        *n = StreamBytesOut(g_editor, false, block, capacity);
        // A full buffer may mean more text than the length said: never write a cut text.
        if (*n < capacity) return block;
        HeapFreeBlock(block);
        if (capacity > INT32_MAX / 2) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        capacity *= 2;
    }
}

bool WriteAll(HANDLE file, const unsigned char* bytes, int32_t n) {
    int32_t done = 0;
    while (done < n) {
        DWORD piece = std::min<DWORD>(kChunk, static_cast<DWORD>(n - done));
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, piece, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        done += static_cast<int32_t>(written);
    }
    return true;
}

bool Rewind(HANDLE file) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

// Empties the open file and writes the bytes into it: the same file (its
// links, mode, owner and attributes stay), only its contents new.
bool Rewrite(HANDLE file, const unsigned char* bytes, int32_t n) {
    return Rewind(file) && SetEndOfFile(file) && WriteAll(file, bytes, n);
}

// Writes the bytes into the existing file `path` in place. A copy of the old
// contents (as long as the file measured when opened, never more) is made
// first, beside it or else in the temporary folder, and kept on disk until
// the new contents are written; when the writing fails the old contents are
// copied back. The copy is removed in both cases, unless putting it back
// failed too: then it stays, so that the old bytes are never lost. When no
// copy can be made anywhere, the file is written without one only after a
// question (No: ERROR_CANCELLED).
bool WriteOverExistingFile(const char* path, const unsigned char* bytes, int32_t n) {
    ScopedHandle target(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) return false;
    LARGE_INTEGER size{};
    if (!IsDiskFile(target.get()) || !GetFileSizeEx(target.get(), &size)) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return false;
    }
    char backupName[kPathSize];
    ScopedHandle backup(MakeSafetyCopy(path, target.get(), size.QuadPart, backupName));
    if (!backup) {
        if (!AskWriteWithoutCopy(path)) {
            SetLastError(ERROR_CANCELLED);
            return false;
        }
        const bool written = Rewrite(target.get(), bytes, n) && FlushFileBuffers(target.get());
        const DWORD error = GetLastError();
        const bool closed = target.Close();
        SetLastError(error);
        return written && closed;
    }
    bool ok = Rewrite(target.get(), bytes, n);
    DWORD error = GetLastError();
    if (ok && !FlushFileBuffers(target.get())) {
        ok = false;
        error = GetLastError();
    }
    bool restored = ok;
    if (!ok) {
        restored = Rewind(target.get()) && SetEndOfFile(target.get()) &&
                   CopyContents(backup.get(), target.get(), size.QuadPart);
    }
    if (!target.Close() && ok) {
        ok = false;
        restored = false;
        error = GetLastError();
    }
    backup.Close();
    if (restored) DeleteFileA(backupName);
    SetLastError(error);
    return ok;
}

// Writes a file that did not exist; nothing is left behind on failure.
bool WriteNewFile(const char* path, const unsigned char* bytes, int32_t n) {
    ScopedHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr));
    if (!file) return false;
    bool ok = WriteAll(file.get(), bytes, n);
    DWORD error = GetLastError();
    if (!file.Close() && ok) {
        ok = false;
        error = GetLastError();
    }
    if (!ok) {
        DeleteFileA(path);
        SetLastError(error);
    }
    return ok;
}

bool AskOverwriteProtected() {
    return ShowMessage(MB_YESNO | MB_ICONQUESTION,
                       {CurrentFileName(), ": только для чтения!\rПерезаписать?"}) == IDYES;
}

} // namespace

bool DocumentHasFile() { return strcmp(g_currentFileName, kUntitledName) != 0; }

WholeFile ReadWholeFile(const char* name) {
    WholeFile result;
    if (!FitsPathBuffer(name)) return result;
    // A device is never opened as a document: reading it might not end.
    result.device = IsDeviceName(name);
    if (result.device) return result;
    ScopedHandle file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return result;
    result.device = !IsDiskFile(file.get());
    if (result.device) return result;
    result.opened = true;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return result;
    if (size.QuadPart > g_sizeLimit) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return result;
    }
    const auto total = static_cast<int32_t>(size.QuadPart);
    HeapBuffer block(static_cast<size_t>(total) + 2);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return result;
    }
    int32_t done = 0;
    while (done < total) {
        DWORD piece = std::min<DWORD>(kChunk, static_cast<DWORD>(total - done));
        DWORD read = 0;
        if (!ReadFile(file.get(), block.get() + done, piece, &read, nullptr)) {
            const DWORD error = GetLastError();
            SetLastError(error ? error : ERROR_READ_FAULT);
            return result;
        }
        if (read == 0) break; // the file became shorter while it was read
        done += static_cast<int32_t>(read);
    }
    result.bytes = std::move(block);
    result.length = done;
    return result;
}

namespace {

// A long load shows how far it has got in the title, with the wait cursor,
// and keeps the main window's own area painted.
constexpr int32_t kLongLoad = 1 << 20;

void ShowLoadProgress(int32_t done, int32_t total) {
    if (total <= 0) return;
    char title[64];
    wsprintfA(title, "LORK2 - %d%%", static_cast<int>(static_cast<int64_t>(done) * 100 / total));
    SetWindowTextA(g_mainWindow, title);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    RedrawWindow(g_mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
}

// The wait cursor while it lives, the previous cursor back afterwards.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

// A file whose text the control cannot hold is refused before it goes in
// (the document untouched). A load drops the old text first; an insertion
// keeps it and copies it for undo.
bool AdmitsLoadedFile(const char* name, const unsigned char* bytes, int32_t n) {
    const int shownAs = DetectCodePage(bytes, std::min<size_t>(static_cast<size_t>(n), kDetectSampleSize));
    return MemoryAdmits(name, true, bytes, n, shownAs, 0, TextLength(g_editor));
}

bool AdmitsInsertedFile(const char* name, const unsigned char* bytes, int32_t n) {
    return MemoryAdmits(name, true, bytes, n, g_displayCodePage, TextLength(g_editor), 0);
}

} // namespace

bool LoadFile(const char* name) {
    if (!g_editor || !FitsPathBuffer(name)) return false;
    char path[kPathSize];
    lstrcpynA(path, name, kPathSize); // `name` may be the current file name itself
    WaitCursor wait;
    const WholeFile file = ReadWholeFile(path);
    if (!file) {
        if (file.device) RefuseDevice(path, false);
        if (file.opened) ShowFileError(path);
        return false;
    }
    const unsigned char* bytes = file.bytes.get();
    const int32_t n = file.length;
    if (!AdmitsLoadedFile(path, bytes, n)) return false;
    // The guess looks at what the control would hand back of the first bytes.
    const int guess = DetectCodePage(bytes, std::min<size_t>(static_cast<size_t>(n), kDetectSampleSize));
    const bool changed = guess != g_displayCodePage;
    SetDecodingForNewText(guess);
    // Wine's control takes time growing with the square of the text to delete
    // it, so the old text goes with a fresh, empty control; the display code
    // page is applied while the control is empty, and the new text streamed in.
    ReplaceAllBytes(g_editor, nullptr, 0);
    if (changed) ApplyDisplayCodePage();
    if (n > kLongLoad) SetStreamProgress(ShowLoadProgress);
    StreamBytesIn(g_editor, SF_TEXT, bytes, n);
    SetStreamProgress(nullptr);
    ClearUndoHistory();
    SetSelection(g_editor, 0, 0);
    SendMessageA(g_editor, EM_SETMODIFY, FALSE, 0);
    lstrcpynA(g_currentFileName, path, kPathSize);
    UseOnDiskName(g_currentFileName);
    AddRecentFile(g_currentFileName, g_rememberCaret);
    SetTitle();
    return true;
}

bool SaveFile() {
    if (!g_editor) return false;
    if (NamesDevice(g_currentFileName)) {
        RefuseDevice(g_currentFileName, true);
        return false;
    }
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    bool exists = false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(g_currentFileName, &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        exists = true;
        attributes = found.dwFileAttributes;
        if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)) && !AskOverwriteProtected())
            return false;
    }
    int32_t n = 0;
    unsigned char* bytes = DocumentBytes(&n);
    if (!bytes) {
        ShowFileError(g_currentFileName);
        return false;
    }
    // The file the user opened is written as the system resolves its name (a
    // symbolic link's target, a hard link's shared contents), in place; a
    // protected file is unprotected for that moment.
    const bool protectedFile = exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    if (protectedFile)
        SetFileAttributesA(g_currentFileName, attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    const bool ok =
        exists ? WriteOverExistingFile(g_currentFileName, bytes, n) : WriteNewFile(g_currentFileName, bytes, n);
    const DWORD error = GetLastError();
    HeapFreeBlock(bytes);
    if (protectedFile) SetFileAttributesA(g_currentFileName, attributes);
    SetLastError(error);
    if (!ok) {
        if (error != ERROR_CANCELLED) ShowFileError(g_currentFileName);
        return false;
    }
    SendMessageA(g_editor, EM_SETMODIFY, FALSE, 0);
    return true;
}

bool AskSaveChanges() {
    if (DocumentHasFile()) RememberCaretForRecentList();
    if (!g_editor || !SendMessageA(g_editor, EM_GETMODIFY, 0, 0)) return true;
    switch (ShowMessage(MB_YESNOCANCEL | MB_ICONQUESTION, {"Сохранить ", CurrentFileName(), "?"})) {
    case IDCANCEL:
        return false;
    case IDYES:
        return DocumentHasFile() ? SaveFile() : SaveDocumentAs();
    default:
        return true;
    }
}

void UseOnDiskName(char* path) {
    const std::string_view view(path, strnlen(path, kPathSize - 1));
    const int slash = LastBackslash(view, 2);
    if (slash < 0) return;
    // A wildcard would find some other file.
    if (view.find_first_of("*?", static_cast<size_t>(slash)) != std::string_view::npos) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FindClose(search);
    // A long name the code page cannot spell comes with "?" for its
    // characters: the name that opens the file (its short name) stays.
    if (strchr(found.cFileName, '?')) return;
    const size_t nameLength = strnlen(found.cFileName, MAX_PATH);
    if (static_cast<size_t>(slash) + 1 + nameLength >= kPathSize) return;
    memcpy(path + slash + 1, found.cFileName, nameLength);
    path[slash + 1 + nameLength] = '\0';
}

void OpenDocument() {
    char name[kPathSize];
    if (ChooseFileToRead(name)) LoadFile(name);
}

bool SaveDocumentAs() {
    // The dialog proposes the current name ("БезИмени" for a new document).
    char name[kPathSize];
    lstrcpynA(name, g_currentFileName, kPathSize);
    if (!ChooseFileToSave(name)) {
        SetTitle();
        return false;
    }
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
    const WholeFile file = ReadWholeFile(name);
    if (!file) {
        if (file.device) RefuseDevice(name, false);
        return; // otherwise silent, as the command always was
    }
    const int32_t n = file.length;
    if (!AdmitsInsertedFile(name, file.bytes.get(), n)) return;
    const CHARRANGE selection = GetSelection(g_editor);
    RecordUndo(UndoRequest::Snapshot, n);
    StreamBytesIn(g_editor, SF_TEXT | SFF_SELECTION, file.bytes.get(), n);
    if (n > 0 || selection.cpMin != selection.cpMax) SendMessageA(g_editor, EM_SETMODIFY, TRUE, 0);
}

void OpenRecentFile(int i) {
    if (!AskSaveChanges()) return;
    char path[kPathSize];
    if (!RecentFilePath(i, path)) return;
    if (FindRunningInstance(path)) return;
    if (LoadFile(path)) return;
    ForgetRecentFile(i);
}

void NewDocumentCommand(int) {
    if (!g_editor || !AskSaveChanges()) return;
    ReplaceAllBytes(g_editor, nullptr, 0);
    ClearUndoHistory();
    SendMessageA(g_editor, EM_SETMODIFY, FALSE, 0);
    lstrcpynA(g_currentFileName, kUntitledName, kPathSize);
    SetTitle();
}

void OpenDocumentCommand(int) {
    if (AskSaveChanges()) OpenDocument();
}

void SaveDocumentCommand(int) {
    if (DocumentHasFile())
        SaveFile();
    else
        SaveDocumentAs();
}

void SaveDocumentAsCommand(int) { SaveDocumentAs(); }

void InsertFromFileCommand(int) { InsertFromFile(); }

void OpenRecentFileCommand(int id) { OpenRecentFile(id - IDM_RECENT_FIRST); }

bool LoadDroppedFile(HDROP drop) {
    char name[kPathSize];
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    if (length == 0) return false;
    if (length >= sizeof name) {
        // A name that does not fit is refused whole, never cut into another.
        DragFinish(drop);
        return true;
    }
    if (DragQueryFileA(drop, 0, name, sizeof name) != length) return false;
    DragFinish(drop);
    if (AskSaveChanges()) LoadFile(name);
    return true;
}
