#include "tests/wine/harness.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>

#include "app/main_window.h"
#include "app/program.h"
#include "base/globals.h"
#include "base/settings.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

namespace harness {
namespace {

std::deque<DialogAnswer> g_answers;
std::vector<SeenDialog> g_seen;
std::vector<HWND> g_pendingDialogs;
int g_unexpected = 0;
DialogResponder g_responder;
std::vector<HWND> g_answeredAgain; // dialogs the responder left open last round
std::map<HWND, int> g_hiddenRounds; // rounds a dialog has waited to be shown
int g_refusals = 0;
int g_spared = 0; // windows of the refused class still to be let through first
char g_refusedClass[32] = "#32770";
UINT_PTR g_dialogTimer = 0;
UINT g_answerDelay = 30; // milliseconds from a dialog's activation to its answer
HHOOK g_cbtHook = nullptr;

int g_popupMenus = 0;
UINT_PTR g_menuTimer = 0;

CommandRecorder* g_recorder = nullptr;
WNDPROC g_recordedProc = nullptr;

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam) {
    char cls[32];
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        char text[1024];
        GetWindowTextA(child, text, sizeof text);
        if (text[0]) {
            auto* out = reinterpret_cast<std::string*>(lParam);
            if (!out->empty()) *out += '\n';
            *out += text;
        }
    }
    return TRUE;
}

void CALLBACK AnswerPendingDialogs(HWND, UINT, UINT_PTR, DWORD) {
    std::vector<HWND> pending;
    std::vector<HWND> again;
    pending.swap(g_pendingDialogs);
    for (HWND dialog : pending) {
        if (!IsWindow(dialog)) continue;
        const bool repeat = std::find(g_answeredAgain.begin(), g_answeredAgain.end(), dialog) != g_answeredAgain.end();
        if (repeat && !IsWindowVisible(dialog)) continue; // closed by the answer after all
        // A modal dialog is shown once its loop first runs out of messages: a
        // dialog slow to set up may still be hidden here. It is answered when
        // shown (or after a while, as it is then).
        if (!repeat && !IsWindowVisible(dialog) && ++g_hiddenRounds[dialog] < 30) {
            again.push_back(dialog);
            continue;
        }
        g_hiddenRounds.erase(dialog);
        SeenDialog seen;
        char caption[512];
        GetWindowTextA(dialog, caption, sizeof caption);
        seen.caption = caption;
        EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&seen.text));
        g_seen.push_back(seen);
        if (!g_answers.empty()) {
            DialogAnswer answer = std::move(g_answers.front());
            g_answers.pop_front();
            answer(dialog);
        } else if (g_responder && g_responder(dialog)) {
            // An answer the dialog refused leaves it open: it is answered
            // again on the next round.
            if (IsWindow(dialog) && IsWindowVisible(dialog)) again.push_back(dialog);
        } else {
            ++g_unexpected;
            PressButton(GetDlgItem(dialog, IDCANCEL) ? IDCANCEL : IDOK)(dialog);
        }
    }
    g_answeredAgain.clear();
    for (HWND dialog : again) {
        if (!IsWindow(dialog)) continue;
        g_pendingDialogs.push_back(dialog);
        if (!g_hiddenRounds.count(dialog)) g_answeredAgain.push_back(dialog);
    }
    if (g_pendingDialogs.empty() && g_dialogTimer) {
        KillTimer(nullptr, g_dialogTimer);
        g_dialogTimer = 0;
    }
}

void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, g_menuTimer);
    g_menuTimer = 0;
    EndMenu();
}

LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_refusals > 0) {
        char cls[16];
        if (GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls) && lstrcmpiA(cls, g_refusedClass) == 0 &&
            g_spared-- <= 0) {
            g_spared = 0;
            --g_refusals;
            return 1; // the window is not created
        }
    }
    if (code == HCBT_CREATEWND) {
        char cls[16];
        if (GetClassNameA(reinterpret_cast<HWND>(wParam), cls, sizeof cls) && lstrcmpA(cls, "#32768") == 0) {
            ++g_popupMenus;
            if (!g_menuTimer) g_menuTimer = SetTimer(nullptr, 0, 30, CloseOpenMenu);
        }
    }
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char cls[16];
        if (GetClassNameA(window, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0) {
            bool known = false;
            for (HWND w : g_pendingDialogs) known = known || w == window;
            if (!known) g_pendingDialogs.push_back(window);
            if (!g_dialogTimer) g_dialogTimer = SetTimer(nullptr, 0, g_answerDelay, AnswerPendingDialogs);
        }
    }
    return CallNextHookEx(g_cbtHook, code, wParam, lParam);
}

void EnsureDialogWatcher() {
    if (!g_cbtHook) g_cbtHook = SetWindowsHookExA(WH_CBT, WatchDialogs, nullptr, GetCurrentThreadId());
}

LRESULT CALLBACK RecordCommands(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = g_recordedProc;
    if (g_recorder) {
        if (message == WM_COMMAND) g_recorder->commands.push_back(LOWORD(wParam));
        if (message == WM_SYSCOMMAND) g_recorder->sysCommands.push_back(static_cast<int>(wParam & 0xFFF0));
        if (!g_recorder->passOn && (message == WM_COMMAND || message == WM_SYSCOMMAND)) return 0;
    }
    return CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

} // namespace

void ClearSettings() {
    // RegDeleteKeyA does not delete a key with sub-keys; the settings key has none.
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

bool StartEditor(const char* commandLine, int showState) {
    EnsureDialogWatcher();
    bool started = StartProgram(commandLine, showState);
    Pump();
    return started;
}

bool StartEditor(const wchar_t* commandLine, int showState) {
    EnsureDialogWatcher();
    bool started = StartProgram(commandLine, showState);
    Pump();
    return started;
}

void StopEditor() {
    if (g_shell.mainWindow && IsWindow(g_shell.mainWindow)) DestroyWindow(g_shell.mainWindow);
    // Let WM_QUIT through so nothing is left for the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ResetProgramState();
    g_refusals = 0; // a refusal no window took is no test's business after it
    g_spared = 0;
}

void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam)); // keep it for whoever waits
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

HeldKeys::HeldKeys(std::initializer_list<UINT> keys) {
    GetKeyboardState(saved_);
    memcpy(state_, saved_, sizeof state_);
    for (UINT vk : keys) Hold(vk);
}

void HeldKeys::Hold(UINT vk, bool down) {
    const BYTE value = down ? 0x80 : 0;
    state_[vk & 0xFF] = value;
    if (vk == VK_CONTROL) state_[VK_LCONTROL] = value;
    if (vk == VK_SHIFT) state_[VK_LSHIFT] = value;
    if (vk == VK_MENU) state_[VK_LMENU] = value;
    SetKeyboardState(state_);
    holding_ = true;
}

void HeldKeys::Release() {
    if (!holding_) return;
    SetKeyboardState(saved_);
    memcpy(state_, saved_, sizeof state_);
    holding_ = false;
}

void PostKeyMessage(HWND window, UINT message, UINT vk, LPARAM flags) {
    if (IsWindow(window))
        PostMessageA(window, message, vk, flags | 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16));
    Pump();
}

void PressKey(HWND window, UINT vk, bool ctrl, bool shift, bool alt) {
    HeldKeys held;
    held.Hold(VK_CONTROL, ctrl);
    held.Hold(VK_SHIFT, shift);
    held.Hold(VK_MENU, alt);
    const LPARAM context = alt ? kAltContext : 0;
    PostKeyMessage(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, context);
    PostKeyMessage(window, alt ? WM_SYSKEYUP : WM_KEYUP, vk, context | kKeyReleased);
}

CommandRecorder::CommandRecorder() {
    g_recorder = this;
    g_recordedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_shell.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCommands)));
}

CommandRecorder::~CommandRecorder() {
    if (g_shell.mainWindow && IsWindow(g_shell.mainWindow))
        SetWindowLongPtrA(g_shell.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_recordedProc));
    g_recorder = nullptr;
}

void AnswerNextDialog(DialogAnswer answer) {
    EnsureDialogWatcher();
    g_answers.push_back(std::move(answer));
}

DialogAnswer PressButton(int id) {
    return [id](HWND dialog) {
        HWND button = GetDlgItem(dialog, id);
        if (button)
            SendMessageA(button, BM_CLICK, 0, 0);
        else
            PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
    };
}

namespace {
HWND FileNameField(HWND dialog) {
    HWND field = GetDlgItem(dialog, cmb13);
    return field ? field : GetDlgItem(dialog, edt1);
}
} // namespace

DialogAnswer ChooseFile(const std::string& name, int filterIndex) {
    return [name, filterIndex](HWND dialog) {
        if (filterIndex > 0) {
            HWND types = GetDlgItem(dialog, cmb1);
            SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(filterIndex - 1), 0);
            // What the combo box reports when the user picks an entry.
            for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
        }
        SetWindowTextA(FileNameField(dialog), name.c_str());
        PressButton(IDOK)(dialog);
    };
}

std::string FileDialogName(HWND dialog) {
    char text[1024] = "";
    GetWindowTextA(FileNameField(dialog), text, sizeof text);
    return text;
}

void TypeInto(HWND field, const std::string& text) {
    char cls[32] = "";
    GetClassNameA(field, cls, sizeof cls);
    // An editable combo box takes the keys in its edit child.
    HWND edit = lstrcmpiA(cls, "ComboBox") == 0 ? GetWindow(field, GW_CHILD) : field;
    if (!edit) return;
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void SetCheck(HWND dialog, int id, bool on) {
    const bool checked = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
    if (checked != on) SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostKey(HWND window, UINT vk) {
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16);
    PostMessageA(window, WM_KEYDOWN, vk, down);
    PostMessageA(window, WM_KEYUP, vk, down | (1L << 30) | (1L << 31));
}

UINT SetAnswerDelay(UINT milliseconds) {
    const UINT before = g_answerDelay;
    g_answerDelay = milliseconds;
    return before;
}

void SetDialogResponder(DialogResponder responder) {
    EnsureDialogWatcher();
    g_responder = std::move(responder);
}

int DefaultButton(HWND dialog) {
    const LRESULT id = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(id) == DC_HASDEFID ? LOWORD(id) : IDOK;
}

void RefuseNextDialog() { RefuseNextWindowOf("#32770"); }

void RefuseNextWindowOf(const char* className, int spared) {
    EnsureDialogWatcher();
    lstrcpynA(g_refusedClass, className, sizeof g_refusedClass);
    ++g_refusals;
    g_spared = spared;
}

int DropUnusedAnswers() {
    const int n = static_cast<int>(g_answers.size());
    g_answers.clear();
    return n;
}

std::vector<SeenDialog> TakeSeenDialogs() {
    std::vector<SeenDialog> seen;
    seen.swap(g_seen);
    return seen;
}

int UnexpectedDialogs() { return g_unexpected; }

void PickEntry(HWND dialog, int id, int index) {
    HWND control = GetDlgItem(dialog, id);
    char cls[32] = "";
    GetClassNameA(control, cls, sizeof cls);
    const bool combo = lstrcmpiA(cls, "ComboBox") == 0;
    SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    const WORD code = combo ? CBN_SELCHANGE : LBN_SELCHANGE;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

int FindEntry(HWND dialog, int id, const char* text) {
    HWND control = GetDlgItem(dialog, id);
    char cls[32] = "";
    GetClassNameA(control, cls, sizeof cls);
    const bool combo = lstrcmpiA(cls, "ComboBox") == 0;
    const LRESULT found = SendMessageA(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                       static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    return found < 0 ? -1 : static_cast<int>(found);
}

std::vector<unsigned char> CaptureWindow(HWND window, int& width, int& height) {
    // The window is drawn into a surface that reaches the X server a moment
    // later: draw, then let the messages and the flush through.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    for (int i = 0; i < 4; ++i) {
        Pump();
        GdiFlush();
        Sleep(50);
    }
    RECT r;
    GetWindowRect(window, &r);
    // A maximised window reaches past the screen's edges: only what is on it.
    RECT screenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&r, &r, &screenRect);
    width = r.right - r.left;
    height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::string ScreenshotFolder() {
    const std::string folder = std::string(LORK2_SOURCE_DIR) + "/build/screenshots";
    CreateDirectoryA((std::string(LORK2_SOURCE_DIR) + "/build").c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

COLORREF PixelAt(const std::vector<unsigned char>& pixels, int width, int height, int x, int y) {
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t at = static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * 3;
    if (at + 2 >= pixels.size()) return CLR_INVALID;
    return RGB(pixels[at + 2], pixels[at + 1], pixels[at]);
}

bool SaveScreenshot(HWND window, const std::string& name, std::vector<unsigned char>* shown, int* shownWidth,
                    int* shownHeight) {
    int width = 0;
    int height = 0;
    const std::vector<unsigned char> pixels = CaptureWindow(window, width, height);
    if (shown) *shown = pixels;
    if (shownWidth) *shownWidth = width;
    if (shownHeight) *shownHeight = height;
    const std::string folder = ScreenshotFolder();
    BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    FILE* f = fopen((folder + "/" + name + ".bmp").c_str(), "wb");
    if (!f) return false;
    bool whole = fwrite(&file, sizeof file, 1, f) == 1;
    whole = fwrite(&info, sizeof info, 1, f) == 1 && whole;
    whole = fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size() && whole;
    return fclose(f) == 0 && whole;
}

std::optional<std::string> ReadClassesDefault(const std::string& key) {
    HKEY k = nullptr;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, key.c_str(), &k) != ERROR_SUCCESS) return std::nullopt;
    char value[1024] = "";
    DWORD size = sizeof value - 1;
    const LONG rc = RegQueryValueExA(k, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    value[size] = '\0';
    return std::string(value);
}

UINT MenuItemState(int id) {
    for (int p = 0; p < kPopupCount; ++p) {
        if (GetMenuState(g_shell.popups[p], static_cast<UINT>(id), MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
        SendMessageA(g_shell.mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_shell.popups[p]), MAKELPARAM(p, 0));
        return GetMenuState(g_shell.popups[p], static_cast<UINT>(id), MF_BYCOMMAND);
    }
    return static_cast<UINT>(-1);
}

int PopupMenusOpened() { return g_popupMenus; }

std::basic_string<unsigned char> ReadFileBytes(const std::string& path) {
    std::basic_string<unsigned char> out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return out;
    unsigned char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, n);
    fclose(f);
    return out;
}

std::basic_string<unsigned char> UnicodeFileBytes(FileEncoding e, int cp, const unsigned char* text, size_t n) {
    std::basic_string<unsigned char> out(EncodedUnicodeSize(e, cp, text, n), 0);
    EncodeUnicodeFileInto(e, cp, text, n, out.data());
    return out;
}

} // namespace harness
