#include "dialogs/small_commands.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "base/globals.h"
#include "base/messages.h"
#include "core/app/menu_tables.h"
#include "core/dialogs/about_text.h"
#include "core/dialogs/run_rule.h"
#include "core/document/file_names.h"
#include "document/documents.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

void InsertDateTime() {
    if (!EditorWindow()) return;
    char date[kPathSize + 1];
    char time[kPathSize + 1];
    // Counts include the terminating NUL; 0 is a failure.
    const int dateCount = GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, date, sizeof date);
    const int timeCount = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
    if (dateCount <= 0 || timeCount <= 0) return;
    date[dateCount - 1] = ' ';
    ReplaceSelection(reinterpret_cast<const unsigned char*>(date), dateCount);
    ReplaceSelection(reinterpret_cast<const unsigned char*>(time), timeCount - 1);
}

void RunDocument() {
    if (!AskSaveChanges() || !DocumentHasFile()) return;
    ShellOpen(g_document.fileName);
}

bool CanRunDocument() { return CanRunDocument(g_document.fileName, kUntitledName); }

namespace {

bool UnderWine() { return GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name") != nullptr; }

bool UnixBrowserPresent();
bool HelpPageOpens(const char* page);

// Opens the help page with the shell; 0, or the system's error when it
// could not.
DWORD OpenHelpPage(const char* path) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&info)) return 0;
    DWORD error = GetLastError();
    // A Wine prefix names no program for web pages, or one that is not
    // there: Wine's own browser launcher hands the page to the desktop's
    // browser, when it has one to hand it to.
    if (UnderWine() && UnixBrowserPresent()) {
        const std::string quoted = std::string("\"") + path + "\"";
        info.lpFile = "winebrowser.exe";
        info.lpParameters = quoted.c_str();
        if (ShellExecuteExA(&info)) return 0;
        error = GetLastError();
    }
    return error ? error : static_cast<DWORD>(ERROR_NO_ASSOCIATION);
}

// The help engine and the shell may wait for the user or for another
// program (a help engine's question, a browser starting, the lookup of the
// page's program): they run on a thread of their own, and the editor keeps
// answering meanwhile. A page that cannot be opened is posted back to the
// main window, which tells the user.
DWORD WINAPI OpenHelpOnItsThread(void* parameter) {
    char* path = static_cast<char*>(parameter);
    const bool winHelp = lstrlenA(path) > 4 && lstrcmpiA(path + lstrlenA(path) - 4, ".hlp") == 0;
    if (winHelp) {
        WinHelpA(g_shell.mainWindow, path, HELP_CONTENTS, 0);
    } else {
        const DWORD error = HelpPageOpens(path) ? OpenHelpPage(path) : kNoHelpProgram;
        if (error && PostMessageA(g_shell.mainWindow, kHelpNotOpened, error, reinterpret_cast<LPARAM>(path)))
            return 0; // the window frees the path
    }
    HeapFree(GetProcessHeap(), 0, path);
    return 0;
}

void OpenHelpFile(const char* path) {
    const int size = lstrlenA(path) + 1;
    auto* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size)));
    if (!copy) return;
    lstrcpynA(copy, path, size);
    HANDLE thread = CreateThread(nullptr, 0, OpenHelpOnItsThread, copy, 0, nullptr);
    if (thread)
        CloseHandle(thread);
    else
        HeapFree(GetProcessHeap(), 0, copy);
}

HelpOpener g_helpOpener = OpenHelpFile;

// `file` in the program's folder (kPathSize bytes); false when it is not there.
bool FileBesideProgram(const char* file, char* path) {
    const DWORD n = GetModuleFileNameA(nullptr, path, kPathSize);
    if (n == 0 || n >= kPathSize) return false;
    char* slash = strrchr(path, '\\');
    if (!slash || static_cast<size_t>(slash + 1 - path) + strlen(file) >= kPathSize) return false;
    lstrcpyA(slash + 1, file);
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Under Wine a web page goes to winebrowser, which hands it to the first
// Unix program of its list that it can start (HKCU\Software\Wine\WineBrowser
// "Browsers"); the shell reports success even when there is none. Debian's
// "open" of Wine's own list is run-mailcap, which takes no file address, so
// it counts for nothing here. Outside Wine there is nothing to check.
bool UnixBrowserPresent() {
    using DosName = WCHAR*(CDECL*)(const char*);
    const auto dosName =
        reinterpret_cast<DosName>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    if (!dosName) return true;
    char list[512] = "xdg-open,firefox,konqueror,mozilla,opera,dillo";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char value[sizeof list] = {};
        DWORD type = 0;
        DWORD size = sizeof value - 1;
        if (RegQueryValueExA(key, "Browsers", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            type == REG_SZ)
            lstrcpynA(list, value, sizeof list);
        RegCloseKey(key);
    }
    auto present = [dosName](const std::string& unixPath) {
        WCHAR* name = dosName(unixPath.c_str());
        if (!name) return false;
        const DWORD attributes = GetFileAttributesW(name);
        HeapFree(GetProcessHeap(), 0, name);
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    };
    std::string names(list);
    for (size_t start = 0; start < names.size();) {
        size_t end = names.find(',', start);
        if (end == std::string::npos) end = names.size();
        const std::string name = names.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == "/usr/bin/open") continue;
        if (name.find('/') != std::string::npos) {
            if (present(name)) return true;
            continue;
        }
        for (const char* folder : {"/usr/local/bin/", "/usr/bin/", "/bin/"})
            if (present(folder + name)) return true;
    }
    return false;
}

// A page opens when the shell names a program for it that is there, and
// under Wine when winebrowser (named, or the fallback) finds a Unix browser.
bool HelpPageOpens(const char* page) {
    char program[MAX_PATH] = {};
    const bool named = reinterpret_cast<INT_PTR>(FindExecutableA(page, nullptr, program)) > 32 && program[0];
    const char* slash = strrchr(program, '\\');
    const bool browserOfWine = !named || lstrcmpiA(slash ? slash + 1 : program, "winebrowser.exe") == 0;
    if (!browserOfWine) return true;
    return UnderWine() && UnixBrowserPresent();
}

} // namespace

void SetHelpOpener(HelpOpener opener) { g_helpOpener = opener ? opener : OpenHelpFile; }

void ShowHelp() {
    // A help file for the system's help engine when one is installed, else
    // the help page in the user's browser.
    char path[kPathSize];
    if (FileBesideProgram(kWinHelpFile, path)) {
        g_helpOpener(path);
        return;
    }
    if (FileBesideProgram(kHelpPage, path)) {
        g_helpOpener(path);
        return;
    }
    ShowMessage(MB_ICONINFORMATION, {"Справка не установлена: рядом с программой нет файла ", kHelpPage, "."});
}

void ReportHelpNotOpened(WPARAM error, LPARAM page) {
    char* path = reinterpret_cast<char*>(page);
    if (!path) return;
    if (static_cast<DWORD>(error) == kNoHelpProgram) {
        ShowMessage(MB_ICONINFORMATION, {"Справку не открыть: нет программы для страниц HTML (под Wine - xdg-open из "
                                         "пакета xdg-utils). Откройте её в браузере сами: ",
                                         path});
    } else {
        // The system's words for the failure, as a file error reads them
        // (without the name, which the message ends with).
        char* text = nullptr;
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(error),
                       0, reinterpret_cast<char*>(&text), 0, nullptr);
        const std::string named = FileErrorText(path, text ? text : "");
        if (text) LocalFree(text);
        const size_t skip = strlen(path) + 2; // the name and ": "
        const std::string_view why = named.size() > skip ? std::string_view(named).substr(skip) : "";
        ShowMessage(MB_ICONINFORMATION, {"Справку не открыть: программа для страниц HTML не запустилась",
                                         why.empty() ? "" : " (", why, why.empty() ? "" : ")",
                                         ". Откройте её в браузере сами: ", path});
    }
    HeapFree(GetProcessHeap(), 0, path);
}

void ShowAbout() {
    const AboutTexts texts = ProgramAboutTexts();
    // The system writes into the application text while it splits it at "#".
    char application[kPathSize + 1];
    lstrcpynA(application, texts.application.c_str(), sizeof application);
    ShellAboutA(g_shell.mainWindow, application, texts.other.c_str(), g_shell.largeIcon);
}

void ShellOpen(const char* target) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = GetDesktopWindow();
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

void DateTimeCommand(int) { InsertDateTime(); }
void RunCommand(int) { RunDocument(); }
void HelpCommand(int) { ShowHelp(); }
void AboutCommand(int) { ShowAbout(); }

void OpenAddressCommand(int id) {
    char address[kPathSize + 1];
    const std::string_view caption = CommandCaption(id);
    if (caption.empty() || caption.size() >= sizeof address) return;
    lstrcpynA(address, caption.data(), static_cast<int>(caption.size()) + 1);
    ShellOpen(address);
}
