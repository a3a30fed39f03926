#include "document/documents.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/instance.h"
#include "base/scoped.h"
#include "base/messages.h"
#include "core/app/command_ids.h"
#include "core/app/number_words.h"
#include "core/charset/encodings.h"
#include "core/document/detect_code_page.h"
#include "core/document/file_names.h"
#include "document/file_access.h"
#include "document/file_dialogs.h"
#include "document/recent_files.h"
#include "editor/editor.h"
#include "editor/memory_check.h"
#include "editor/text_layer.h"
#include "editor/status_bar.h"
#include "editor/title.h"

namespace {

constexpr DWORD kChunk = 1u << 24; // one ReadFile / WriteFile call at most

bool FitsPathBuffer(const char* name) { return name && name[0] && strnlen(name, kPathSize) < kPathSize; }

std::string_view CurrentFileName() { return {g_document.fileName, strnlen(g_document.fileName, kPathSize - 1)}; }

// The document's bytes into a heap block (from the editor's memory when no
// control shows the document); null when no memory.
// With `foreign`, a Unicode document's foreign units come with them.
unsigned char* DocumentBytes(int32_t* n, ForeignUnits* foreign = nullptr) {
    int32_t capacity = DocumentLength() + 2;
    for (;;) {
        auto* block = static_cast<unsigned char*>(HeapAllocBlock(static_cast<size_t>(capacity)));
        if (!block) return nullptr;
        if (foreign) foreign->clear();
        *n = CopyDocumentBytes(block, capacity, foreign);
        if (*n < 0) { // no memory for a Unicode document's units
            HeapFreeBlock(block);
            return nullptr;
        }
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

bool WriteBytes(HANDLE file, const unsigned char* bytes, int32_t n) {
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

// What a save writes: the text as shown, as its bytes or in a Unicode
// encoding of the display code page.
struct FileContents {
    const unsigned char* text;
    int32_t n;
    FileEncoding encoding;
    int codePage;
    const ForeignUnits* foreign = nullptr; // a Unicode document's, for its stand-ins
};

// A code page's bytes of a Unicode document: each foreign character written
// as the usual substitute (the user agreed to it); the units that take no
// column (a pair's second half, a combining mark) go without one.
bool WriteSubstituted(HANDLE file, const FileContents& c) {
    constexpr int32_t kPiece = 1 << 16;
    HeapBuffer buffer(static_cast<size_t>(kPiece));
    if (!buffer) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    for (int32_t done = 0; done < c.n;) {
        const int32_t piece = std::min(kPiece, c.n - done);
        int32_t kept = 0;
        for (int32_t i = 0; i < piece; ++i) {
            const unsigned char b = c.text[done + i];
            if (b != kForeignMarkByte) buffer.get()[kept++] = b == kForeignByte ? '?' : b;
        }
        if (!WriteBytes(file, buffer.get(), kept)) return false;
        done += piece;
    }
    return true;
}

// A Unicode encoding is made a piece at a time in one small buffer: the
// encoded file is never in memory whole (at 20 MB, touching the fresh pages
// of a whole-file block cost more than the encoding itself).
bool WriteAll(HANDLE file, const FileContents& c) {
    if (c.encoding == FileEncoding::Bytes)
        return c.foreign && !c.foreign->empty() ? WriteSubstituted(file, c) : WriteBytes(file, c.text, c.n);
    constexpr int32_t kPiece = 1 << 16;
    HeapBuffer buffer(4 * static_cast<size_t>(kPiece) + 4);
    if (!buffer) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    ForeignCursor units{c.foreign ? c.foreign->data() : nullptr, c.foreign ? c.foreign->size() : 0};
    int32_t done = 0;
    do {
        const auto piece = static_cast<size_t>(std::min(kPiece, c.n - done));
        const bool mark = done == 0;
        const size_t size = EncodedUnicodeSize(c.encoding, c.codePage, c.text + done, piece, mark, &units);
        EncodeUnicodeFileInto(c.encoding, c.codePage, c.text + done, piece, buffer.get(), mark, &units);
        if (!WriteBytes(file, buffer.get(), static_cast<int32_t>(size))) return false;
        done += static_cast<int32_t>(piece);
    } while (done < c.n);
    return true;
}

bool Rewind(HANDLE file) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

// Empties the open file and writes the bytes into it: the same file (its
// links, mode, owner and attributes stay), only its contents new.
bool Rewrite(HANDLE file, const FileContents& contents) {
    return Rewind(file) && SetEndOfFile(file) && WriteAll(file, contents);
}

// Writes the bytes into the existing file `path` in place. A copy of the old
// contents (as long as the file measured when opened, never more) is made
// first, beside it or else in the temporary folder, and kept on disk until
// the new contents are written; when the writing fails the old contents are
// copied back. The copy is removed in both cases, unless putting it back
// failed too: then it stays, so that the old bytes are never lost. When no
// copy can be made anywhere, the file is written without one only after a
// question (No: ERROR_CANCELLED).
bool WriteOverExistingFile(const char* path, const FileContents& contents) {
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
        const bool written = Rewrite(target.get(), contents) && FlushFileBuffers(target.get());
        const DWORD error = GetLastError();
        const bool closed = target.Close();
        SetLastError(error);
        return written && closed;
    }
    bool ok = Rewrite(target.get(), contents);
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
bool WriteNewFile(const char* path, const FileContents& contents) {
    ScopedHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr));
    if (!file) return false;
    bool ok = WriteAll(file.get(), contents);
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

// The file as it stands on disk: its size and last-write time.
void RememberFileStamp() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(g_document.fileName, &found);
    g_document.stampKnown = search != INVALID_HANDLE_VALUE;
    if (!g_document.stampKnown) return;
    FindClose(search);
    g_document.fileSize = (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    g_document.lastWrite = found.ftLastWriteTime;
}

bool ChangedSinceSeen(const WIN32_FIND_DATAA& found) {
    if (!g_document.stampKnown) return false;
    const uint64_t size = (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    return size != g_document.fileSize || CompareFileTime(&found.ftLastWriteTime, &g_document.lastWrite) != 0;
}

// Another program wrote the file after the load or the last save: only Yes
// writes over its change; No offers Save As instead.
enum class OverChange { Save, SaveAs, Cancel };
OverChange AskSaveOverChange() {
    switch (ShowMessage(MB_YESNOCANCEL | MB_ICONWARNING,
                        {"Файл изменён другой программой после открытия. Сохранить поверх изменений?"})) {
    case IDYES:
        return OverChange::Save;
    case IDNO:
        return OverChange::SaveAs;
    default:
        return OverChange::Cancel;
    }
}

// Save As the code page's bytes of a Unicode document that holds characters
// the code page lacks: the user chooses UTF-8 instead (true), the bytes with
// "?" for them (false), or nothing (`cancelled`).
bool AskForeignToUtf8(bool* cancelled) {
    *cancelled = false;
    int32_t n = 0;
    ForeignUnits foreign;
    unsigned char* bytes = DocumentBytes(&n, &foreign);
    HeapFreeBlock(bytes);
    const auto count = static_cast<int64_t>(CountForeignChars(foreign.data(), foreign.size()));
    if (count == 0) return false;
    const std::string number = GroupedNumber(count);
    switch (ShowMessage(MB_YESNOCANCEL | MB_ICONWARNING,
                        {"В тексте ", number, " ", NounAfter(count, "символ", "символа", "символов"),
                         ", которых нет в кодировке ", kEncodings[DisplayCodePage()].caption,
                         ": сохранённые как показано, они станут знаками \"?\".\rСохранить файл в UTF-8?"})) {
    case IDYES:
        return true;
    case IDNO:
        return false;
    default:
        *cancelled = true;
        return false;
    }
}

bool AskOverwriteProtected() {
    return ShowMessage(MB_YESNO | MB_ICONQUESTION,
                       {CurrentFileName(), ": только для чтения!\rПерезаписать?"}) == IDYES;
}

} // namespace

bool DocumentHasFile() { return strcmp(g_document.fileName, kUntitledName) != 0; }

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
    if (size.QuadPart > g_shell.sizeLimit) {
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
// keeps the main window's own area painted, and stops when the user presses
// Escape (other keys pressed meanwhile are dropped: they were meant for a
// window that did not answer).
constexpr int32_t kLongLoad = 1 << 20;

bool EscapePressed() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
        if (msg.wParam == VK_ESCAPE) return true;
    return false;
}

// The last part of a long load cannot be stopped, and an Escape pressed
// then still waits in the queue when the operation has ended; it was meant
// for the operation and must not reach the close command. The other keys
// waiting there go back in their order (a bounded few; the rest are dropped
// as during the operation).
void DropQueuedEscapes() {
    MSG kept[64];
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        const bool escape = msg.message == WM_CHAR || msg.message == WM_SYSCHAR ? msg.wParam == 0x1B
                                                                              : msg.wParam == VK_ESCAPE;
        if (!escape && count < static_cast<int>(sizeof kept / sizeof kept[0])) kept[count++] = msg;
    }
    for (int i = 0; i < count; ++i) PostMessageA(kept[i].hwnd, kept[i].message, kept[i].wParam, kept[i].lParam);
}

bool ShowLoadProgress(int32_t done, int32_t total) {
    if (total <= 0) return true;
    char title[64];
    wsprintfA(title, "LORK2 - %d%% (Esc - отмена)", static_cast<int>(static_cast<int64_t>(done) * 100 / total));
    SetWindowTextA(g_shell.mainWindow, title);
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    RedrawWindow(g_shell.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
    return !EscapePressed();
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

// A file whose text the control cannot hold, or would take too long to lay
// out, is refused before it goes in (the document untouched). A load keeps
// a copy of the old text while the new one goes in, its control dropped
// first, and is taken without word wrap when only that makes it fast
// enough; an insertion keeps the old text and copies it for undo.
bool AdmitsLoadedFile(const char* name, const unsigned char* bytes, int32_t n, int shownAs, bool* unwrap) {
    const int32_t shown = EditorWindow() ? DocumentLength() : 0;
    return ControlAdmits(name, true, bytes, n, shownAs, shown, shown, unwrap);
}

bool AdmitsInsertedFile(const char* name, const unsigned char* bytes, int32_t n) {
    return ControlAdmits(name, true, bytes, n, DisplayCodePage(), TextLength(EditorWindow()), 0);
}

// A long insertion goes in as a load does: the whole new text into a new
// control, which Escape drops, leaving the document as it was; once all is
// in it takes the old one's place as one undo step. False when that could
// not be tried (no memory for the copies): the caller inserts the plain way.
bool InsertCancellably(const unsigned char* bytes, int32_t n) {
    const CHARRANGE selection = GetSelection(EditorWindow());
    int32_t length = 0;
    const std::unique_ptr<unsigned char, void (*)(void*)> old(DocumentBytes(&length), HeapFreeBlock);
    if (!old) return false;
    const int64_t total = int64_t{length} - (selection.cpMax - selection.cpMin) + n;
    if (total > INT32_MAX || selection.cpMax > length) return false;
    HeapBuffer text(static_cast<size_t>(total) + 2);
    if (!text) return false;
    memcpy(text.get(), old.get(), static_cast<size_t>(selection.cpMin));
    memcpy(text.get() + selection.cpMin, bytes, static_cast<size_t>(n));
    memcpy(text.get() + selection.cpMin + n, old.get() + selection.cpMax, static_cast<size_t>(length - selection.cpMax));
    const int32_t caret = selection.cpMin + n;
    WholeTextChange change{text.get(), static_cast<int32_t>(total), DisplayCodePage(), old.get(), length, selection,
                           {caret, caret}};
    change.progress = ShowLoadProgress;
    if (ReplaceWholeText(change)) ScrollCaretIntoView();
    DropQueuedEscapes();
    SetTitle();
    return true;
}

} // namespace

bool LoadFile(const char* name) {
    if (!HasDocument() || !FitsPathBuffer(name)) return false;
    char path[kPathSize];
    lstrcpynA(path, name, kPathSize); // `name` may be the current file name itself
    WaitCursor wait;
    const WholeFile file = ReadWholeFile(path);
    if (!file) {
        if (file.device) RefuseDevice(path, false);
        if (file.opened) ShowFileError(path);
        return false;
    }
    // A UTF-8 or UTF-16 file goes in as the text of the display code page
    // that holds it; any other file as its bytes, shown as the guess says.
    const UnicodeReading reading = ReadUnicodeFile(file.bytes.get(), static_cast<size_t>(file.length));
    const bool unicode = reading.encoding != FileEncoding::Bytes;
    const unsigned char* bytes = unicode ? reading.text.data() : file.bytes.get();
    const int32_t n = unicode ? static_cast<int32_t>(reading.text.size()) : file.length;
    const int shownAs =
        unicode ? reading.codePage : DetectCodePage(bytes, std::min<size_t>(static_cast<size_t>(n), kDetectSampleSize));
    bool unwrap = false;
    if (!AdmitsLoadedFile(path, bytes, n, shownAs, &unwrap)) return false;
    // The old document stays until the new text is all in: a load the user
    // stops with Escape leaves it as it was.
    const bool cancellable = n > kLongLoad;
    const bool put = PutNewDocument(bytes, n, shownAs, cancellable ? ShowLoadProgress : nullptr, unwrap,
                                    unicode ? &reading.foreign : nullptr);
    if (cancellable) DropQueuedEscapes();
    if (!put) {
        SetTitle();
        return false;
    }
    g_document.encoding = reading.encoding;
    // An odd-length file that starts as UTF-16 does is most likely a 1251
    // text beginning with "яю": no word about UTF-16 for it.
    const bool explained = reading.refusal != UnicodeRefusal::None && reading.refusal != UnicodeRefusal::Utf16OddLength;
    lstrcpynA(g_document.note, explained ? UnicodeRefusalText(reading).c_str() : "", sizeof g_document.note);
    UpdateCodePageField();
    lstrcpynA(g_document.fileName, path, kPathSize);
    UseOnDiskName(g_document.fileName);
    RememberFileStamp();
    AddRecentFile(g_document.fileName, RememberCaret());
    SetTitle();
    return true;
}

bool SaveFile() {
    if (!HasDocument()) return false;
    if (NamesDevice(g_document.fileName)) {
        RefuseDevice(g_document.fileName, true);
        return false;
    }
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    bool exists = false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(g_document.fileName, &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        exists = true;
        attributes = found.dwFileAttributes;
        if (ChangedSinceSeen(found)) {
            const OverChange answer = AskSaveOverChange();
            if (answer == OverChange::SaveAs) return SaveDocumentAs();
            if (answer == OverChange::Cancel) return false;
        }
        if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)) && !AskOverwriteProtected())
            return false;
    }
    int32_t n = 0;
    ForeignUnits foreign;
    unsigned char* bytes = DocumentBytes(&n, &foreign);
    if (!bytes) {
        ShowFileError(g_document.fileName);
        return false;
    }
    // The file the user opened is written as the system resolves its name (a
    // symbolic link's target, a hard link's shared contents), in place; a
    // protected file is unprotected for that moment.
    const bool protectedFile = exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    if (protectedFile)
        SetFileAttributesA(g_document.fileName, attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    const FileContents contents{bytes, n, g_document.encoding, DisplayCodePage(), &foreign};
    const bool ok =
        exists ? WriteOverExistingFile(g_document.fileName, contents) : WriteNewFile(g_document.fileName, contents);
    const DWORD error = GetLastError();
    HeapFreeBlock(bytes);
    if (protectedFile) SetFileAttributesA(g_document.fileName, attributes);
    SetLastError(error);
    if (!ok) {
        if (error != ERROR_CANCELLED) ShowFileError(g_document.fileName);
        return false;
    }
    SetDocumentModified(false);
    RememberFileStamp();
    return true;
}

bool AskSaveChanges() {
    if (DocumentHasFile()) RememberCaretForRecentList();
    if (!DocumentModified()) return true;
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
    lstrcpynA(name, g_document.fileName, kPathSize);
    FileEncoding encoding = g_document.encoding;
    if (!ChooseFileToSave(name, &encoding)) {
        SetTitle();
        return false;
    }
    if (encoding == FileEncoding::Bytes && UnicodeDocument()) {
        bool cancelled = false;
        if (AskForeignToUtf8(&cancelled)) encoding = FileEncoding::Utf8;
        if (cancelled) {
            SetTitle();
            return false;
        }
    }
    const FileEncoding before = g_document.encoding;
    lstrcpynA(g_document.fileName, name, kPathSize);
    g_document.encoding = encoding;
    // The name was chosen now, its overwriting confirmed in the dialog.
    g_document.stampKnown = false;
    const bool ok = SaveFile();
    if (!ok) g_document.encoding = before;
    g_document.note[0] = '\0';
    UpdateCodePageField();
    UseOnDiskName(g_document.fileName);
    if (ok) {
        AddRecentFile(g_document.fileName, false);
        ClearUndoHistory();
    }
    SetTitle();
    return ok;
}

void InsertFromFile() {
    if (!EditorWindow()) return;
    char name[kPathSize];
    if (!ChooseFileToRead(name)) return;
    const WholeFile file = ReadWholeFile(name);
    if (!file) {
        if (file.device) RefuseDevice(name, false);
        return; // otherwise silent, as the command always was
    }
    // A Unicode file's text goes into a Unicode document with every
    // character, and into a code-page document as the display code page's
    // bytes when that code page holds every character of it; otherwise its
    // bytes do.
    const UnicodeReading reading = ReadUnicodeFile(file.bytes.get(), static_cast<size_t>(file.length));
    std::vector<unsigned char> text;
    ForeignUnits foreign;
    bool unicode = reading.encoding != FileEncoding::Bytes;
    if (unicode && UnicodeDocument())
        RecodeWithForeign(reading.codePage, reading.text.data(), reading.text.size(), reading.foreign,
                          DisplayCodePage(), text, foreign);
    else
        unicode = unicode && reading.foreign.empty() && RecodeExactly(reading.codePage, reading.text, DisplayCodePage(), text);
    const unsigned char* bytes = unicode ? text.data() : file.bytes.get();
    const int32_t n = unicode ? static_cast<int32_t>(text.size()) : file.length;
    if (!AdmitsInsertedFile(name, bytes, n)) return;
    // A long insertion's stand-ins would take the old text's units.
    if (n > kLongLoad && foreign.empty() && !ControlUndoSelected() && InsertCancellably(bytes, n)) return;
    InsertOverSelection(bytes, n, &foreign);
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
    if (!HasDocument() || !AskSaveChanges()) return;
    if (!PutNewDocument(nullptr, 0, DisplayCodePage())) return;
    ResetDocumentState();
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

void SetDocumentEncoding(FileEncoding encoding) {
    g_document.encoding = encoding;
    g_document.note[0] = '\0';
    UpdateCodePageField();
}

void ResetDocumentState() {
    g_document = Document{};
    UpdateCodePageField();
    lstrcpynA(g_document.fileName, kUntitledName, kPathSize);
}
