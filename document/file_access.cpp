#include "document/file_access.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/messages.h"
#include "base/scoped.h"
#include "core/document/file_names.h"

bool IsDiskFile(HANDLE file) { return GetFileType(file) == FILE_TYPE_DISK; }

bool NamesDevice(const char* path) {
    if (IsDeviceName(path)) return true;
    // Opening a FIFO for reading does not wait for a writer here, and a
    // device opened only to ask its type is closed again untouched.
    ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && !IsDiskFile(file.get());
}

void RefuseDevice(const char* path, bool saving) {
    ShowMessage(MB_ICONINFORMATION,
                {path, saving ? ": это устройство, а не файл. Документ в него не сохраняется."
                              : ": это устройство, а не файл. Документом его открыть нельзя."});
}

namespace {

bool Rewind(HANDLE file) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != FALSE;
}

// A new, empty file in the folder of `path` under a free temporary name (in
// `name`), open for reading and writing; invalid on failure.
HANDLE CreateFileBeside(const char* path, char* name) {
    const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (unsigned attempt = 0; attempt < 64; ++attempt) {
        if (!TemporaryNameFor(path, seed + attempt, name, kPathSize)) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return INVALID_HANDLE_VALUE;
        }
        HANDLE file =
            CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// The copy in the folder of `place` (a path whose last component is
// ignored); invalid and nothing left behind on failure.
HANDLE CopyInto(const char* place, HANDLE from, LONGLONG size, char* copyName) {
    HANDLE copy = CreateFileBeside(place, copyName);
    if (copy == INVALID_HANDLE_VALUE) return copy;
    LONGLONG copied = 0;
    if (CopyContents(from, copy, size, &copied) && copied == size && FlushFileBuffers(copy)) return copy;
    const DWORD error = GetLastError();
    CloseHandle(copy);
    DeleteFileA(copyName);
    SetLastError(error ? error : ERROR_READ_FAULT);
    return INVALID_HANDLE_VALUE;
}

} // namespace

bool CopyContents(HANDLE from, HANDLE to, LONGLONG limit, LONGLONG* copied) {
    if (copied) *copied = 0;
    HeapBuffer buffer(1u << 16);
    if (!buffer) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (!Rewind(from) || !Rewind(to)) return false;
    LONGLONG done = 0;
    while (done < limit) {
        const DWORD want = static_cast<DWORD>(std::min<LONGLONG>(static_cast<LONGLONG>(buffer.size()), limit - done));
        DWORD read = 0;
        if (!ReadFile(from, buffer.get(), want, &read, nullptr)) return false;
        if (read == 0) break; // the file became shorter
        for (DWORD put = 0; put < read;) {
            DWORD written = 0;
            if (!WriteFile(to, buffer.get() + put, read - put, &written, nullptr)) return false;
            if (written == 0) {
                SetLastError(ERROR_DISK_FULL);
                return false;
            }
            put += written;
        }
        done += read;
        if (copied) *copied = done;
    }
    return true;
}

HANDLE MakeSafetyCopy(const char* path, HANDLE from, LONGLONG size, char* copyName) {
    HANDLE copy = CopyInto(path, from, size, copyName);
    if (copy != INVALID_HANDLE_VALUE) return copy;
    const DWORD besideError = GetLastError();
    // A folder may let its files be written but take no new one, or have no
    // room left: the temporary folder takes the copy then.
    char temp[kPathSize];
    const DWORD n = GetTempPathA(kPathSize, temp);
    if (n > 0 && n + 1 < kPathSize) {
        if (temp[n - 1] != '\\') lstrcatA(temp, "\\");
        lstrcatA(temp, "x");
        copy = CopyInto(temp, from, size, copyName);
        if (copy != INVALID_HANDLE_VALUE) return copy;
    }
    SetLastError(besideError);
    return INVALID_HANDLE_VALUE;
}

bool AskWriteWithoutCopy(const char* path) {
    return ShowMessage(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2,
                       {path,
                        ": копию старого содержимого негде сохранить ни рядом с файлом, ни во временной папке.\r"
                        "Записать файл без копии? Если запись прервётся, старое содержимое пропадёт."}) == IDYES;
}

namespace {

// `wide` in the system code page into `out` (kPathSize bytes); false when a
// character has no byte there or it does not fit.
bool SpellInCodePage(const wchar_t* wide, char* out) {
    BOOL substituted = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, kPathSize, nullptr, &substituted);
    return n > 0 && !substituted;
}

} // namespace

bool OpenableName(const wchar_t* name, char* out) {
    wchar_t full[kPathSize];
    const DWORD n = GetFullPathNameW(name, kPathSize, full, nullptr);
    // A name whose full path does not fit counts as a file that cannot be opened.
    if (n == 0 || n >= kPathSize) return false;
    if (SpellInCodePage(full, out)) return true;
    wchar_t shortName[kPathSize];
    const DWORD s = GetShortPathNameW(full, shortName, kPathSize);
    if (s > 0 && s < kPathSize && SpellInCodePage(shortName, out)) return true;
    return WideCharToMultiByte(CP_ACP, 0, full, -1, out, kPathSize, nullptr, nullptr) > 0;
}

void RecoverSpelledName(char* name) {
    const std::string_view view(name, strnlen(name, kPathSize - 1));
    const int slash = LastBackslash(view, 0);
    if (slash < 0 || view.find('?', static_cast<size_t>(slash)) == std::string_view::npos) return;
    if (view.substr(0, static_cast<size_t>(slash)).find_first_of("?*") != std::string_view::npos) return;
    wchar_t pattern[kPathSize];
    const int folderLength = MultiByteToWideChar(CP_ACP, 0, name, slash + 1, pattern, kPathSize - 2);
    if (folderLength <= 0) return;
    pattern[folderLength] = L'*';
    pattern[folderLength + 1] = L'\0';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    std::wstring match;
    int matches = 0;
    do {
        char spelled[MAX_PATH * 2];
        if (WideCharToMultiByte(CP_ACP, 0, found.cFileName, -1, spelled, sizeof spelled, nullptr, nullptr) > 0 &&
            lstrcmpiA(spelled, name + slash + 1) == 0) {
            match = found.cFileName;
            ++matches;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    if (matches != 1) return;
    std::wstring path(pattern, static_cast<size_t>(folderLength));
    path += match;
    wchar_t shortName[kPathSize];
    char spelled[kPathSize];
    const DWORD s = GetShortPathNameW(path.c_str(), shortName, kPathSize);
    if (s > 0 && s < kPathSize && SpellInCodePage(shortName, spelled)) lstrcpynA(name, spelled, kPathSize);
}
