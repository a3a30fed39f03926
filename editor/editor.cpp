#include "editor/editor.h"

#include <richedit.h>
#include <windowsx.h>

#include "app/globals.h"
#include "app/setting_names.h"
#include "app/settings.h"
#include "codepage/conversion_commands.h"
#include "codepage/convert.h"
#include "codepage/display_code_page.h"
#include "codepage/display_map.h"
#include "codepage/tables.h"
#include "editor/heap_block.h"
#include "editor/ole_callback.h"
#include "editor/status_bar.h"
#include "editor/text_layer.h"
#include "editor/undo.h"

HWND g_editor;
WNDPROC g_editorPrevProc;
DWORD g_wrapStyle = kWrapOffStyle;
bool g_editorFocus;
bool g_overwriteMode;

namespace {

constexpr int kEditPopup = 1; // "&Правка"

DroppedFileHandler g_droppedFileHandler;

bool g_middleScrolling;
POINT g_scrollAnchor;
bool g_scrollTimerRunning;

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }
bool ShiftHeld() { return GetKeyState(VK_SHIFT) < 0; }

LRESULT PassOn(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(g_editorPrevProc, hwnd, message, wParam, lParam);
}

// The keystroke's undo record: overwrite typing or typing of one byte. In
// overwrite mode the byte after the caret is selected so that the character
// replaces it; a line break (or the end) is never overwritten, the character
// is inserted there.
void RecordKeystroke(HWND hwnd) {
    if (!g_overwriteMode) {
        RecordUndo(kUndoTyping, 1);
        return;
    }
    RecordUndo(kUndoOverwrite, 1);
    const CHARRANGE selection = GetSelection(hwnd);
    if (selection.cpMin != selection.cpMax) return;
    unsigned char next = 0;
    if (GetRangeBytes(hwnd, selection.cpMin, selection.cpMin + 1, &next, 1) == 1 && next != '\r' && next != '\n')
        SetSelection(hwnd, selection.cpMin, selection.cpMin + 1);
}

// A typed character: 1251 from the keyboard, shown as the character its byte
// has in the display code page.
LRESULT TypeCharacter(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    unsigned char c = static_cast<unsigned char>(wParam);
    if (c == '\r' || c == '\n') return 0; // line breaks come from the Enter key-down only
    const bool typing = c == '\t' || (c >= 0x20 && c <= 0x7E) || c >= 0x80;
    if (typing) {
        const CHARRANGE selection = GetSelection(hwnd);
        if (selection.cpMax - selection.cpMin > 2) {
            // Typing over a selection that ends with a line break keeps it.
            unsigned char last[2] = {0, 0};
            GetRangeBytes(hwnd, selection.cpMax - 2, selection.cpMax, last, 2);
            if (last[0] == '\r' && last[1] == '\n') SetSelection(hwnd, selection.cpMin, selection.cpMax - 2);
        } else if (selection.cpMin == selection.cpMax && g_displayCodePage == kCodePageOem && c == 0xE0) {
            RecordKeystroke(hwnd);
            const unsigned char a = 0xA0; // what 1251 -> 866 gives for 0xE0
            ReplaceSelectionBytes(hwnd, &a, 1, true);
            return 0;
        }
        RecordKeystroke(hwnd);
    }
    if (c < 0x80) return PassOn(hwnd, WM_CHAR, c, lParam);
    if (g_displayCodePage != kCodePageAnsi) {
        ConvertBytes(&c, 1, kTableAnsiToOem, g_displayCodePage == kCodePageKoi8 ? kTableOemToKoi8 : kNoTable);
    }
    return PassOn(hwnd, WM_UNICHAR, DisplayChar(g_displayCodePage, c), lParam);
}

void DeleteSelection(HWND hwnd) {
    RecordUndo(kUndoReplacement, 0);
    ReplaceSelectionBytes(hwnd, nullptr, 0, true);
}

LRESULT DeleteKey(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (CtrlHeld()) {
        if (ControlUndoSelected()) return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
        RecordUndo(kUndoDeleteWordRight, 0);
        return 0;
    }
    CHARRANGE selection = GetSelection(hwnd);
    if (selection.cpMax - selection.cpMin > 2) {
        unsigned char last = 0;
        GetRangeBytes(hwnd, selection.cpMax - 1, selection.cpMax, &last, 1);
        const LRESULT line = SendMessageA(hwnd, EM_EXLINEFROMCHAR, 0, selection.cpMin);
        const LRESULT lineStart = SendMessageA(hwnd, EM_LINEINDEX, line, 0);
        if (last == '\n' && lineStart != selection.cpMin) SetSelection(hwnd, selection.cpMin, selection.cpMax - 2);
    }
    if (SendMessageA(hwnd, EM_SELECTIONTYPE, 0, 0) != SEL_EMPTY) {
        DeleteSelection(hwnd);
        return 0;
    }
    RecordUndo(kUndoForwardDelete, 0);
    return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
}

LRESULT BackspaceKey(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (CtrlHeld()) {
        if (ControlUndoSelected()) return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
        RecordUndo(kUndoDeleteWordLeft, 0);
        return 0;
    }
    if (SendMessageA(hwnd, EM_SELECTIONTYPE, 0, 0) != SEL_EMPTY) {
        DeleteSelection(hwnd);
        return 0;
    }
    RecordUndo(kUndoBackspace, 0);
    return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
}

// Ctrl+Y: the caret's line goes with its line break; the last line keeps the
// line break before it.
void DeleteLine(HWND hwnd) {
    const CHARRANGE selection = GetSelection(hwnd);
    const LRESULT line = SendMessageA(hwnd, EM_EXLINEFROMCHAR, 0, selection.cpMin);
    if (line < 0) return;
    const LRESULT first = SendMessageA(hwnd, EM_LINEINDEX, line, 0);
    if (first < 0) return;
    LRESULT next = SendMessageA(hwnd, EM_LINEINDEX, line + 1, 0);
    if (next < 0) next = first + SendMessageA(hwnd, EM_LINELENGTH, first, 0);
    next = std::min<LRESULT>(next, TextLength(hwnd));
    SetSelection(hwnd, static_cast<int32_t>(first), static_cast<int32_t>(next));
    RecordUndo(kUndoReplacement, 0);
    ReplaceSelectionBytes(hwnd, nullptr, 0, true);
}

// Ctrl+Left and Ctrl+Right move by the editor's word rule (the control's own
// word movement is not used); with Shift the selection grows.
void MoveByWord(HWND hwnd, bool right) {
    const CHARRANGE selection = GetSelection(hwnd);
    const int32_t from = right ? selection.cpMax : selection.cpMin;
    const int32_t to = FindWordBreak(hwnd, right ? WB_MOVEWORDRIGHT : WB_MOVEWORDLEFT, from);
    if (!ShiftHeld()) {
        SetSelection(hwnd, to, to);
    } else if (right) {
        SetSelection(hwnd, selection.cpMin, to);
    } else {
        SetSelection(hwnd, to, selection.cpMax);
    }
    SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
}

LRESULT KeyDown(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
    case VK_CONTROL:
        g_pendingSourceCodePage = -1; // a fresh Ctrl press forgets a first key
        break;
    case VK_RETURN: {
        RecordUndo(kUndoLineBreak, 2);
        const unsigned char lineBreak[2] = {'\r', '\n'};
        ReplaceSelectionBytes(hwnd, lineBreak, 2, true);
        SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
        return 0;
    }
    case VK_TAB:
        if (CtrlHeld()) return 0;
        break;
    case VK_INSERT:
        if (!CtrlHeld()) {
            g_overwriteMode = !g_overwriteMode;
            UpdateModeField();
        }
        break;
    case VK_DELETE:
        return DeleteKey(hwnd, wParam, lParam);
    case VK_BACK:
        return BackspaceKey(hwnd, wParam, lParam);
    case 'Y':
        if (CtrlHeld()) {
            DeleteLine(hwnd);
            return 0;
        }
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (CtrlHeld()) {
            MoveByWord(hwnd, wParam == VK_RIGHT);
            return 0;
        }
        break;
    default:
        break;
    }
    return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
}

bool MiddleButtonDown(HWND hwnd, WPARAM keys, LPARAM lParam) {
    if (g_middleScrolling || (keys != 0 && keys != MK_MBUTTON)) return false;
    g_middleScrolling = true;
    g_scrollAnchor = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &g_scrollAnchor);
    SetCapture(hwnd);
    if (!g_scrollTimerRunning && SetTimer(g_mainWindow, kAutoScrollTimer, 200, nullptr)) g_scrollTimerRunning = true;
    return true;
}

void MiddleButtonUp() {
    if (!g_middleScrolling) return;
    ReleaseCapture();
    if (g_scrollTimerRunning) {
        g_scrollTimerRunning = false;
        KillTimer(g_mainWindow, kAutoScrollTimer);
    }
    g_middleScrolling = false;
}

void ScrollSteps(int bar, UINT message, int steps, WPARAM forward, WPARAM back) {
    for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) {
        int low = 0;
        int high = 0;
        GetScrollRange(g_editor, bar, &low, &high);
        const int pos = GetScrollPos(g_editor, bar);
        if (steps > 0 ? pos >= high : pos <= low) break;
        SendMessageA(g_editor, message, steps > 0 ? forward : back, 0);
    }
}

// The text layer's fresh control: the editor re-created in place with its
// style, size, font and focus, the old one (and its text) destroyed.
HWND FreshEditorControl(HWND old) {
    if (!old || old != g_editor) return old;
    RECT rect;
    GetWindowRect(old, &rect);
    MapWindowPoints(nullptr, GetParent(old), reinterpret_cast<POINT*>(&rect), 2);
    const bool visible = IsWindowVisible(old) != FALSE;
    // The new control takes the focus; a window other than the editor that
    // had it (a dialog's control) gets it back.
    HWND focus = GetFocus();
    DestroyWindow(old);
    g_editor = nullptr;
    CreateEditorControl();
    if (!g_editor) return nullptr;
    MoveWindow(g_editor, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    if (!visible) ShowWindow(g_editor, SW_HIDE);
    if (focus && focus != old && IsWindow(focus)) SetFocus(focus);
    return g_editor;
}

} // namespace

void CreateEditorControl() {
    const DWORD style = WS_CHILD | ES_SELECTIONBAR | WS_VSCROLL | ES_AUTOVSCROLL | ES_NOOLEDRAGDROP |
                        ES_MULTILINE | g_wrapStyle;
    g_editor = CreateWindowExA(WS_EX_STATICEDGE | WS_EX_ACCEPTFILES, "RICHEDIT", nullptr, style, 0, 64,
                               256, 128, g_mainWindow, nullptr, g_instance, nullptr);
    if (!g_editor) return;
    SetFreshControlMaker(FreshEditorControl);
    SendMessageA(g_editor, EM_EXLIMITTEXT, 0, g_sizeLimit);
    SendMessageA(g_editor, EM_SETBKGNDCOLOR, 0, ReadSetting(setting::Background));
    ApplyDisplayCodePageKeepingView();
    SetWindowTextA(g_editor, "");
    SendMessageA(g_editor, EM_SETMODIFY, FALSE, 0);
    g_overwriteMode = false;
    UpdateModeField();
    ResetCaretField();
    UpdateCaretField();
    SendMessageA(g_editor, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(EditorOleCallback()));
    ShowWindow(g_editor, SW_SHOW);
    g_editorFocus = true;
    SetFocus(g_editor);
    g_editorPrevProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorWindowProc)));
}

void ToggleWordWrap() {
    if (!g_editor) return;
    const int32_t length = TextLength(g_editor);
    HeapBuffer text(static_cast<size_t>(length) + 2);
    if (!text) return;
    CHARRANGE selection{0, 0};
    SendMessageA(g_editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const LRESULT modified = SendMessageA(g_editor, EM_GETMODIFY, 0, 0);
    const int32_t n = StreamBytesOut(g_editor, false, text.get(), length + 2);
    DestroyWindow(g_editor);
    g_editor = nullptr;
    g_wrapStyle = g_wrapStyle ? 0 : kWrapOffStyle;
    WriteSetting(setting::WrapStyle, static_cast<int32_t>(g_wrapStyle));
    CreateEditorControl();
    if (!g_editor) return;
    RECT client;
    GetClientRect(g_mainWindow, &client);
    SendMessageA(g_mainWindow, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    StreamBytesIn(g_editor, SF_TEXT, text.get(), n);
    SendMessageA(g_editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageA(g_editor, EM_SETMODIFY, modified, 0);
}

void WordWrapCommand(int) { ToggleWordWrap(); }

void SetDroppedFileHandler(DroppedFileHandler handler) { g_droppedFileHandler = handler; }

LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Shortcuts work while the editor has the focus: every message is offered
    // to the accelerator table first, as if it were the main window's.
    MSG msg{g_mainWindow, message, wParam, lParam, 0, {0, 0}};
    if (g_accelerators && TranslateAcceleratorA(g_mainWindow, g_accelerators, &msg)) return 0;
    switch (message) {
    case WM_CHAR:
        return TypeCharacter(hwnd, wParam, lParam);
    case WM_KEYDOWN:
        return KeyDown(hwnd, wParam, lParam);
    case WM_KEYUP:
        UpdateCaretField();
        break;
    case WM_LBUTTONDOWN:
        PostMessageA(g_mainWindow, WM_USER + 1, 0, 0);
        break;
    case WM_RBUTTONUP:
        if (wParam == 0 || wParam == MK_RBUTTON) {
            const DWORD pos = GetMessagePos();
            TrackPopupMenu(g_popups[kEditPopup], TPM_RIGHTBUTTON, GET_X_LPARAM(pos), GET_Y_LPARAM(pos), 0,
                           g_mainWindow, nullptr);
            return 0;
        }
        break;
    case WM_MBUTTONDOWN:
        if (MiddleButtonDown(hwnd, wParam, lParam)) return 0;
        break;
    case WM_MBUTTONUP:
        MiddleButtonUp();
        break;
    case WM_INPUTLANGCHANGE:
        UpdateKeyboardField();
        return 1;
    case WM_DROPFILES:
        // The first dropped file replaces the document, after the prompt.
        if (g_droppedFileHandler && g_droppedFileHandler(reinterpret_cast<HDROP>(wParam))) return 0;
        break;
    default:
        break;
    }
    return PassOn(hwnd, message, wParam, lParam);
}

void AutoScrollStep() {
    if (!g_editor) return;
    POINT cursor;
    GetCursorPos(&cursor);
    const int dy = (cursor.y - g_scrollAnchor.y) / 12;
    const int dx = (cursor.x - g_scrollAnchor.x) / 32;
    ScrollSteps(SB_VERT, WM_VSCROLL, dy, SB_LINEDOWN, SB_LINEUP);
    ScrollSteps(SB_HORZ, WM_HSCROLL, dx, SB_LINERIGHT, SB_LINELEFT);
}
