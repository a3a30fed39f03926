// Start-up, the single-instance search, the message loop and shutdown.
#include <windows.h>

#include <climits>
#include <cstring>
#include <string>
#include <commctrl.h>

#include "app/program.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "base/messages.h"
#include "base/settings.h"
#include "codepage/conversion_commands.h"
#include "core/app/command_line.h"
#include "core/app/resource_ids.h"
#include "core/app/setting_names.h"
#include "codepage/colours.h"
#include "core/editor/bar_tables.h"
#include "document/documents.h"
#include "document/file_access.h"
#include "document/file_dialogs.h"
#include "document/recent_files.h"
#include "editor/editor.h"
#include "editor/status_bar.h"
#include "editor/strip_image.h"
#include "editor/title.h"
#include "editor/toolbar.h"
#include "editor/undo.h"
#include "print/preview.h"
#include "print/printing.h"
#include "search/search.h"

char g_commandLinePath[kPathSize];
bool g_printFlag;

namespace {

LRESULT CALLBACK MarkerWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterClasses() {
    WNDCLASSEXA marker{};
    marker.cbSize = sizeof marker;
    marker.lpfnWndProc = MarkerWindowProc;
    marker.hInstance = g_shell.instance;
    marker.lpszClassName = kMarkerClassName;
    if (!RegisterClassExA(&marker)) return false;

    g_shell.largeIcon = LoadIconA(g_shell.instance, MAKEINTRESOURCEA(IDI_PROGRAM_LARGE));
    g_shell.smallIcon =
        static_cast<HICON>(LoadImageA(g_shell.instance, MAKEINTRESOURCEA(IDI_PROGRAM_SMALL), IMAGE_ICON, 16, 16, 0));
    g_shell.htmlIcon =
        static_cast<HICON>(LoadImageA(g_shell.instance, MAKEINTRESOURCEA(IDI_HTML_DOCUMENT), IMAGE_ICON, 16, 16, 0));
    WNDCLASSEXA main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = MainWindowProc;
    main.hInstance = g_shell.instance;
    main.lpszClassName = kMainClassName;
    main.hIcon = g_shell.largeIcon;
    main.hIconSm = g_shell.smallIcon;
    if (RegisterClassExA(&main)) return true;
    WNDCLASSA plain{};
    plain.lpfnWndProc = MainWindowProc;
    plain.hInstance = g_shell.instance;
    plain.lpszClassName = kMainClassName;
    plain.hIcon = g_shell.largeIcon;
    return RegisterClassA(&plain) != 0;
}

} // namespace

int32_t ComputeSizeLimit() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    unsigned long long half = 0;
    if (GlobalMemoryStatusEx(&status)) half = status.ullTotalPhys / 2;
    if (half > INT32_MAX) half = INT32_MAX;
    return static_cast<int32_t>(half) | 0xFFFFF;
}

namespace {

std::wstring Widen(const char* text, UINT codePage) {
    const int n = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

// The command line is read as the system passed it, in UTF-16, and scanned
// as UTF-8 (its quotes, blanks and switch are ASCII), so that a name the
// system code page cannot spell still reaches the file by its short name.
bool ParseCommandLineInto(const wchar_t* rawLine) {
    g_commandLinePath[0] = '\0';
    std::string line;
    if (rawLine && rawLine[0]) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, rawLine, -1, nullptr, 0, nullptr, nullptr);
        if (n > 1) {
            line.resize(static_cast<size_t>(n));
            WideCharToMultiByte(CP_UTF8, 0, rawLine, -1, line.data(), n, nullptr, nullptr);
            line.resize(static_cast<size_t>(n - 1));
        }
    }
    CommandLine scanned = ScanCommandLine(line);
    g_printFlag = scanned.print;
    if (scanned.name.empty()) return false;
    const std::wstring name = Widen(scanned.name.c_str(), CP_UTF8);
    if (name.empty() || !OpenableName(name.c_str(), g_commandLinePath)) {
        g_commandLinePath[0] = '\0';
        return false;
    }
    return FindRunningInstance(g_commandLinePath);
}

} // namespace

void InitMainWindow() {
    g_shell.richEditLibrary = LoadLibraryA("riched32");
    if (!g_shell.richEditLibrary) {
        ShowSystemError();
        PostQuitMessage(255);
    }
    InitFileDialogs();
    RefreshRecentItems();
    LoadEditorSettings();
    ResetDocumentState();
    ReadPageMargins();
    g_shell.sizeLimit = ComputeSizeLimit();
    InitCommonControls();
    SetDroppedFileHandler(LoadDroppedFile);
    SetFreshCtrlHandler(ForgetPendingFirstKey);
    SetEncodingHandler(SetDocumentEncoding);
    // The images first: the status bar takes its height from them.
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    const int scale = ImageScaleAt(WindowDpi(g_shell.mainWindow));
    g_shell.menuImagesStandard = ScaleStrip(
        static_cast<HBITMAP>(
            LoadImageA(comctl, MAKEINTRESOURCEA(IDB_COMCTL_STANDARD_SMALL), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)),
        scale);
    g_shell.menuImagesOwn = ScaleStrip(
        static_cast<HBITMAP>(
            LoadImageA(g_shell.instance, MAKEINTRESOURCEA(IDB_TOOLBAR_SMALL), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)),
        scale);
    if (ReadSetting(setting::StatusBar) != 0) CreateStatusBar();
    if (g_shell.richEditLibrary) CreateEditorControl();
    if (ReadSetting(setting::Toolbar) != 0) CreateToolbar();
}

void DeleteProgramObjects() {
    for (HGDIOBJ* object : {reinterpret_cast<HGDIOBJ*>(&g_shell.menuImagesStandard),
                            reinterpret_cast<HGDIOBJ*>(&g_shell.menuImagesOwn), reinterpret_cast<HGDIOBJ*>(&g_shell.menuFont)}) {
        if (*object) DeleteObject(*object);
        *object = nullptr;
    }
    DeleteToolbarBitmap();
}

void ResetProgramState() {
    DeleteProgramObjects();
    if (g_shell.instance) {
        UnregisterClassA(kMainClassName, g_shell.instance);
        UnregisterClassA(kMarkerClassName, g_shell.instance);
    }
    // The two small icons are the program's own (the large one is shared).
    for (HICON icon : {g_shell.smallIcon, g_shell.htmlIcon})
        if (icon) DestroyIcon(icon);
    g_mnemonics.clear();
    g_savePlacement = false;
    g_commandLinePath[0] = '\0';
    g_printFlag = false;
    ForgetPendingFirstKey();
    ResetFileDialogs();
    ResetRecentFiles();
    ResetSearchState();
    ResetPrintState();
    ResetPreviewState();
    ResetEditorState();
    ResetCustomColours();
    ResetDocumentState();
    const HINSTANCE instance = g_shell.instance; // the instance handle stays
    g_shell = Shell{};
    g_shell.instance = instance;
    ForgetRunningInstance();
}

bool StartProgram(const char* rawLine, int defaultShowState) {
    return StartProgram(Widen(rawLine ? rawLine : "", CP_ACP).c_str(), defaultShowState);
}

bool StartProgram(const wchar_t* rawLine, int defaultShowState) {
    if (!g_shell.instance) g_shell.instance = GetModuleHandleA(nullptr);
    g_shell.heap = ProgramHeap();
    if (ParseCommandLineInto(rawLine)) return false;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    g_shell.nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    if (!RegisterClasses()) return false;

    g_shell.mainWindow = CreateWindowExA(0, kMainClassName, nullptr, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, g_shell.instance, nullptr);
    g_shell.markerWindow =
        CreateWindowExA(0, kMarkerClassName, nullptr, WS_CHILD, 0, 0, 0, 0, g_shell.mainWindow, nullptr, g_shell.instance, nullptr);
    BuildMenus();
    SetRememberCaret(ReadSetting(setting::RememberCaret) != 0);
    InitMainWindow();
    SetTitle();
    bool rememberWindow = ReadSetting(setting::RememberWindow) != 0;

    int showState = defaultShowState;
    g_savePlacement = rememberWindow && (showState == SW_SHOWDEFAULT || showState == SW_SHOWNORMAL);
    if (g_savePlacement) {
        WINDOWPLACEMENT wp{};
        if (ReadSettingBinary(setting::Placement.name, &wp, sizeof wp)) {
            showState = static_cast<int>(wp.showCmd);
            wp.length = sizeof wp;
            SetWindowPlacement(g_shell.mainWindow, &wp);
        }
    }
    if (g_commandLinePath[0]) {
        // The editor gets its final size before the text goes in: Wine wraps
        // the whole text again whenever the control is resized.
        RECT client;
        GetClientRect(g_shell.mainWindow, &client);
        LayoutChildren(client.right, client.bottom);
        LoadFile(g_commandLinePath);
    }
    UpdateCaretField(); // a recent file may have put the caret back
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        g_shell.menuFont = CreateFontIndirectA(&metrics.lfMenuFont);
    if (g_printFlag) PostMessageA(g_shell.mainWindow, WM_COMMAND, IDM_PRINT, 0);
    ShowWindow(g_shell.mainWindow, showState);
    UpdateWindow(g_shell.mainWindow);
    g_shell.accelerators = LoadAcceleratorsA(g_shell.instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    return true;
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        if (TakeTypedUnicodeCharacter()) continue;
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        MSG peek;
        if (g_toolbar && !PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) UpdateToolbarState();
    }
    return static_cast<int>(msg.wParam);
}

void ProgramMain() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    if (!StartProgram(GetCommandLineW(), showState)) ExitProcess(255);
    int code = RunMessageLoop();
    ResetProgramState();
    ExitProcess(static_cast<UINT>(code));
}
