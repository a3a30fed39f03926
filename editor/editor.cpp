#include "editor/editor.h"

#include <richedit.h>
#include <windowsx.h>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/messages.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/charset/convert.h"
#include "core/charset/display_map.h"
#include "core/charset/tables.h"
#include "core/unicode/foreign_units.h"
#include "editor/control.h"
#include "editor/display_code_page.h"
#include "editor/memory_check.h"
#include "editor/ole_callback.h"
#include "editor/status_bar.h"
#include "editor/text_layer.h"
#include "editor/toolbar.h"
#include "editor/undo.h"
#include "editor/whole_text.h"

namespace {

constexpr int kEditPopup = 1; // "&Правка"

DroppedFileHandler g_droppedFileHandler;
FreshCtrlHandler g_freshCtrlHandler;

bool g_middleScrolling;
POINT g_scrollAnchor;
bool g_scrollTimerRunning;
// Ctrl+Backspace makes the character 0x7F on Windows after its key-down.
bool g_swallowDelCharacter;
// An Alt+key accelerator was taken: the Alt release that follows must not
// arm the menu bar.
bool g_swallowAltRelease;

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }
bool ShiftHeld() { return GetKeyState(VK_SHIFT) < 0; }

LRESULT PassOn(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(g_editorState.previousProc, hwnd, message, wParam, lParam);
}

// The keystroke's undo record: overwrite typing or typing of one byte. In
// overwrite mode the byte after the caret is selected so that the character
// replaces it; a line break (or the end) is never overwritten, the character
// is inserted there.
void RecordKeystroke(HWND hwnd, int32_t units = 1) {
    if (!g_editorState.overwrite) {
        RecordUndo(UndoRequest::Typing, units);
        return;
    }
    RecordUndo(UndoRequest::Overwrite, units);
    const CHARRANGE selection = GetSelection(hwnd);
    if (selection.cpMin != selection.cpMax) return;
    unsigned char next = 0;
    if (GetRangeBytes(hwnd, selection.cpMin, selection.cpMin + 1, &next, 1) == 1 && next != '\r' && next != '\n')
        SetSelection(hwnd, selection.cpMin, selection.cpMin + 1);
}

// Typing over a selection that ends with a line break keeps it, and over
// half a character beyond the BMP takes it whole.
void KeepSelectedLineBreak(HWND hwnd) {
    SelectWholeCharacters(hwnd);
    const CHARRANGE selection = GetSelection(hwnd);
    if (selection.cpMax - selection.cpMin <= 2) return;
    unsigned char last[2] = {0, 0};
    GetRangeBytes(hwnd, selection.cpMax - 2, selection.cpMax, last, 2);
    if (last[0] == '\r' && last[1] == '\n') SetSelection(hwnd, selection.cpMin, selection.cpMax - 2);
}

// A typed character's bytes over the selection; over none, the count of
// foreign characters grows by the typed ones without a look at the text.
void InsertTyped(HWND hwnd, const unsigned char* bytes, int32_t n, const ForeignUnits* foreign) {
    const auto insert = [&] { ReplaceSelectionBytes(bytes, n, ControlUndoSelected(), foreign); };
    if (HasSelection(hwnd)) {
        insert();
        return;
    }
    CountedEdit(foreign ? static_cast<int64_t>(CountForeignChars(foreign->data(), foreign->size())) : 0, insert);
}

// A typed character: 1251 from the keyboard, stored as the byte of the
// display code page. Every byte value has a character in each display code
// page, so the byte goes in through the text layer (the control itself
// refuses the control characters that ¶, § and • become in 866 and KOI8-R),
// and the undo record holds exactly what was inserted.
LRESULT TypeCharacter(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    unsigned char c = static_cast<unsigned char>(wParam);
    if (c == '\r' || c == '\n') return 0; // line breaks come from the Enter key-down only
    if (c == 0x7F && g_swallowDelCharacter) {
        // Ctrl+Backspace's character: the word has gone already.
        g_swallowDelCharacter = false;
        return 0;
    }
    // DEL is a byte of the text like any other (the control would insert
    // it unrecorded); the other control characters insert nothing.
    const bool typing = c == '\t' || c >= 0x20;
    if (!typing) return PassOn(hwnd, WM_CHAR, c, lParam);
    KeepSelectedLineBreak(hwnd);
    RecordKeystroke(hwnd);
    // 866 turns the 1251 small a (0xE0) into 0xA0 like every other letter.
    if (c >= 0x80 && g_editorState.displayCodePage != kCodePageAnsi)
        ConvertBytes(&c, 1, kTableAnsiToOem, g_editorState.displayCodePage == kCodePageKoi8 ? kTableOemToKoi8 : kNoTable);
    InsertTyped(hwnd, &c, 1, nullptr);
    SendMessageA(g_editorState.control, EM_SCROLLCARET, 0, 0);
    return 0;
}

// The first half of a character beyond the BMP, typed: it goes in with
// the second.
wchar_t g_typedHighSurrogate;

// A character typed into a Unicode document, as the keyboard gave it: the
// display code page's byte when that holds it, else a foreign character.
void TypeUnicodeCharacter(HWND hwnd, wchar_t c) {
    if (c >= 0xD800 && c < 0xDC00) {
        g_typedHighSurrogate = c;
        return;
    }
    char16_t units[2];
    int32_t n = 0;
    if (c >= 0xDC00 && c < 0xE000) {
        if (!g_typedHighSurrogate) return; // half a character inserts nothing
        units[n++] = static_cast<char16_t>(g_typedHighSurrogate);
    }
    g_typedHighSurrogate = 0;
    units[n++] = static_cast<char16_t>(c);
    unsigned char bytes[2];
    ForeignUnits foreign;
    SplitUnicodeUnits(g_editorState.displayCodePage, units, static_cast<std::size_t>(n), bytes, foreign);
    KeepSelectedLineBreak(hwnd);
    RecordKeystroke(hwnd, n);
    InsertTyped(hwnd, bytes, n, &foreign);
    SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
}

void DeleteSelection() {
    RecordUndo(UndoRequest::Replacement, 0);
    ReplaceSelectionBytes(nullptr, 0, ControlUndoSelected());
}

// Delete or Backspace with nothing selected: the editor removes the byte
// (a CR LF pair as one, and the two units of a character beyond the BMP)
// itself, so the record holds exactly the bytes that went. Nothing happens
// at the end (Delete) or the start (Backspace).
void DeleteNextOrPrevious(HWND hwnd, bool forward) {
    const int32_t caret = GetSelection(hwnd).cpMin;
    unsigned char pair[2] = {0, 0};
    ForeignUnits units;
    const int32_t first = forward ? caret : std::max(0, caret - 2);
    const int32_t got = GetRangeBytes(hwnd, first, forward ? caret + 2 : caret, pair, 2, &units);
    if (got == 0) return;
    const int32_t n = got == 2 && DeletedTogether(pair, units) ? 2 : 1;
    RecordUndo(forward ? UndoRequest::ForwardDelete : UndoRequest::Backspace, 0);
    if (forward) {
        SetSelection(hwnd, caret, caret + n);
    } else {
        SetSelection(hwnd, caret - n, caret);
    }
    // The foreign units of the bytes that go: those of their stand-ins,
    // after the ones of the bytes read before them.
    const int32_t from = forward ? 0 : got - n;
    std::size_t unit = 0;
    for (int32_t i = 0; i < from; ++i) unit += IsForeignByte(pair[i]);
    std::size_t gone = 0;
    for (int32_t i = from; i < from + n; ++i) gone += IsForeignByte(pair[i]);
    gone = std::min(gone, units.size() - std::min(unit, units.size()));
    CountedEdit(-static_cast<int64_t>(CountForeignChars(units.data() + std::min(unit, units.size()), gone)),
                [] { ReplaceSelectionBytes(nullptr, 0, ControlUndoSelected()); });
    SendMessageA(g_editorState.control, EM_SCROLLCARET, 0, 0); // the control may be a fresh one
}

LRESULT DeleteKey(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (CtrlHeld()) {
        if (ControlUndoSelected()) return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
        RecordUndo(UndoRequest::DeleteWordRight, 0);
        return 0;
    }
    SelectWholeCharacters(hwnd);
    CHARRANGE selection = GetSelection(hwnd);
    if (selection.cpMax - selection.cpMin > 2) {
        unsigned char last = 0;
        GetRangeBytes(hwnd, selection.cpMax - 1, selection.cpMax, &last, 1);
        const LRESULT line = SendMessageA(hwnd, EM_EXLINEFROMCHAR, 0, selection.cpMin);
        const LRESULT lineStart = SendMessageA(hwnd, EM_LINEINDEX, line, 0);
        if (last == '\n' && lineStart != selection.cpMin) SetSelection(hwnd, selection.cpMin, selection.cpMax - 2);
    }
    if (HasSelection(hwnd)) {
        DeleteSelection();
        return 0;
    }
    if (ControlUndoSelected()) return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
    DeleteNextOrPrevious(hwnd, true);
    return 0;
}

LRESULT BackspaceKey(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (CtrlHeld()) {
        g_swallowDelCharacter = true;
        if (ControlUndoSelected()) return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
        RecordUndo(UndoRequest::DeleteWordLeft, 0);
        return 0;
    }
    SelectWholeCharacters(hwnd);
    if (HasSelection(hwnd)) {
        DeleteSelection();
        return 0;
    }
    if (ControlUndoSelected()) return PassOn(hwnd, WM_KEYDOWN, wParam, lParam);
    DeleteNextOrPrevious(hwnd, false);
    return 0;
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
    RecordUndo(UndoRequest::Replacement, 0);
    ReplaceSelectionBytes(nullptr, 0, ControlUndoSelected());
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
    g_swallowDelCharacter = false;
    switch (wParam) {
    case VK_CONTROL:
        // A fresh Ctrl press forgets a first key; Ctrl held down repeats its
        // key-down, and that is no fresh press.
        if ((lParam & (1L << 30)) == 0 && g_freshCtrlHandler) g_freshCtrlHandler();
        break;
    case VK_RETURN: {
        int32_t n = 0;
        const unsigned char* lineBreak = EnterLineBreak(&n);
        RecordUndo(UndoRequest::LineBreak, n);
        ReplaceSelectionBytes(lineBreak, n, ControlUndoSelected());
        SendMessageA(hwnd, EM_SCROLLCARET, 0, 0);
        return 0;
    }
    case VK_TAB:
        if (CtrlHeld()) return 0;
        break;
    case VK_INSERT:
        if (!CtrlHeld()) {
            g_editorState.overwrite = !g_editorState.overwrite;
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
    if (!g_scrollTimerRunning && SetTimer(g_shell.mainWindow, kAutoScrollTimer, 200, nullptr)) g_scrollTimerRunning = true;
    return true;
}

void MiddleButtonUp() {
    if (!g_middleScrolling) return;
    ReleaseCapture();
    if (g_scrollTimerRunning) {
        g_scrollTimerRunning = false;
        KillTimer(g_shell.mainWindow, kAutoScrollTimer);
    }
    g_middleScrolling = false;
}

void ScrollSteps(int bar, UINT message, int steps, WPARAM forward, WPARAM back) {
    for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) {
        int low = 0;
        int high = 0;
        GetScrollRange(g_editorState.control, bar, &low, &high);
        const int pos = GetScrollPos(g_editorState.control, bar);
        if (steps > 0 ? pos >= high : pos <= low) break;
        SendMessageA(g_editorState.control, message, steps > 0 ? forward : back, 0);
    }
}

// A new control where the editor stands (or, for the first one, where the
// main window's layout will put it), hidden and empty, with the editor's
// style, limits, colours, font and window procedure.
HWND MakeEditorControl() {
    RECT rect{0, 64, 256, 192};
    HWND old = g_editorState.control;
    if (old) {
        GetWindowRect(old, &rect);
        MapWindowPoints(nullptr, GetParent(old), reinterpret_cast<POINT*>(&rect), 2);
    }
    // With ES_DISABLENOSCROLL the scroll bars are only enabled and disabled,
    // never shown or hidden: showing one resizes the control, and Wine then
    // wraps the whole text again (filling a large text is 2-3 times faster).
    const DWORD style = WS_CHILD | ES_SELECTIONBAR | WS_VSCROLL | ES_AUTOVSCROLL | ES_NOOLEDRAGDROP |
                        ES_MULTILINE | ES_DISABLENOSCROLL | g_editorState.wrapStyle;
    HWND control = CreateWindowExA(WS_EX_STATICEDGE | WS_EX_ACCEPTFILES, "RICHEDIT", nullptr, style, rect.left,
                                   rect.top, rect.right - rect.left, rect.bottom - rect.top, g_shell.mainWindow, nullptr,
                                   g_shell.instance, nullptr);
    if (!control) return nullptr;
    SendMessageA(control, EM_EXLIMITTEXT, 0, g_shell.sizeLimit);
    SendMessageA(control, EM_SETBKGNDCOLOR, 0, ReadSetting(setting::Background));
    ApplyFontTo(control);
    SendMessageA(control, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(EditorOleCallback()));
    // A Unicode document's control tells of each change, for the count of
    // its foreign characters.
    if (g_editorState.unicodeText) SendMessageA(control, EM_SETEVENTMASK, 0, ENM_CHANGE);
    g_editorState.previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditorWindowProc)));
    return control;
}

} // namespace

const unsigned char* EnterLineBreak(int32_t* n) {
    static const unsigned char kCrLf[] = {'\r', '\n'};
    HWND editor = g_editorState.control;
    // A break may have come in since the document was put in (pasted); once
    // this Enter's break is in, the text decides (one look at most).
    if (g_editorState.lineEnds == EditorState::LineEnds::Undecided && editor) {
        const int32_t length = TextLength(editor);
        HeapBuffer text(static_cast<size_t>(length) + 2);
        if (text) g_editorState.lineEnds = LineEndsOf(text.get(), StreamBytesOut(editor, false, text.get(), length + 2));
    }
    const bool lf = g_editorState.lineEnds == EditorState::LineEnds::Lf;
    *n = lf ? 1 : 2;
    return lf ? kCrLf + 1 : kCrLf;
}

void CreateEditorControl() {
    SetControlMaker(MakeEditorControl);
    HWND control = MakeEditorControl();
    g_editorState.control = control;
    if (!control) return;
    g_editorState.textCodePage = g_editorState.displayCodePage;
    SendMessageA(control, EM_SETMODIFY, FALSE, 0);
    g_editorState.overwrite = false;
    g_editorState.htmlColoured = false;
    UpdateModeField();
    UpdateCodePageField();
    ResetCaretField();
    UpdateCaretField();
    ShowWindow(control, SW_SHOW);
    g_editorState.focus = true;
    SetFocus(control);
}

void DestroyEditorControl() {
    if (g_editorState.control) DestroyWindow(g_editorState.control);
    g_editorState.control = nullptr;
    ClearUndoHistory();
    ForgetHeldDocument();
}

void ToggleWordWrap() {
    HWND editor = g_editorState.control;
    if (!editor) return;
    const int32_t length = TextLength(editor);
    HeapBuffer text(static_cast<size_t>(length) + 2);
    if (!text) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ShowSystemError();
        return;
    }
    CHARRANGE selection{0, 0};
    SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const LRESULT modified = SendMessageA(editor, EM_GETMODIFY, 0, 0);
    const int32_t n = StreamBytesOut(editor, false, text.get(), length + 2);
    // Word wrap makes a long line slow to lay out: the text must fit the
    // time the editor allows the other way too.
    if (!ControlAdmitsWrapped("Перенос по словам", text.get(), n, g_editorState.displayCodePage,
                              g_editorState.wrapStyle != 0))
        return;
    const DWORD before = g_editorState.wrapStyle;
    g_editorState.wrapStyle = before ? 0 : kWrapOffStyle;
    if (!FillWholeText(text.get(), n, nullptr, true, false, text.get(), n)) {
        g_editorState.wrapStyle = before;
        return;
    }
    WriteSetting(setting::WrapStyle, static_cast<int32_t>(g_editorState.wrapStyle));
    // The control's scroll bars follow the style: the main window lays it out again.
    RECT client;
    GetClientRect(g_shell.mainWindow, &client);
    SendMessageA(g_shell.mainWindow, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    SendMessageA(g_editorState.control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageA(g_editorState.control, EM_SETMODIFY, modified, 0);
}

void WordWrapCommand(int) { ToggleWordWrap(); }

void FocusEditorIfOwed() {
    if (g_editorState.focus && g_editorState.control) SetFocus(g_editorState.control);
}

void SetDroppedFileHandler(DroppedFileHandler handler) { g_droppedFileHandler = handler; }

void SetFreshCtrlHandler(FreshCtrlHandler handler) { g_freshCtrlHandler = handler; }

namespace {

// Every message the accelerators left, as the editor handles it.
LRESULT HandleEditorMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
        return TypeCharacter(hwnd, wParam, lParam);
    case WM_KEYDOWN:
        return KeyDown(hwnd, wParam, lParam);
    case WM_KEYUP:
    case WM_SYSKEYUP:
        UpdateCaretField();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        // The control moves the caret or selects only as it handles the
        // message: the field follows once it has.
        PostMessageA(g_shell.mainWindow, kEditorClicked, 0, 0);
        break;
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON) PostMessageA(g_shell.mainWindow, kEditorClicked, 0, 0); // a selection being drawn
        break;
    case WM_RBUTTONUP:
        if (wParam == 0 || wParam == MK_RBUTTON) {
            const DWORD pos = GetMessagePos();
            TrackPopupMenu(g_shell.popups[kEditPopup], TPM_RIGHTBUTTON, GET_X_LPARAM(pos), GET_Y_LPARAM(pos), 0,
                           g_shell.mainWindow, nullptr);
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
        if (g_droppedFileHandler && g_droppedFileHandler(reinterpret_cast<HDROP>(wParam))) {
            // A drop is no command: the caret field learns of the new text here.
            ResetCaretField();
            UpdateCaretField();
            return 0;
        }
        break;
    default:
        break;
    }
    return PassOn(hwnd, message, wParam, lParam);
}

// True when `pos` lies between a CR and its LF, where the control's own
// moves can leave the caret (Left after a selection that ends at a line
// start, Right before a CR) and where typing or deleting breaks it.
bool SplitsLineBreak(HWND hwnd, int32_t pos) {
    if (pos <= 0) return false;
    unsigned char pair[2] = {0, 0};
    return GetRangeBytes(hwnd, pos - 1, pos + 1, pair, 2) == 2 && pair[0] == '\r' && pair[1] == '\n';
}

// The one place that keeps the caret and both ends of the selection off the
// middle of a CR LF pair and inside the text, after the control has handled a key or a mouse
// message. An end that moved there goes on past the pair in the direction it
// moved (so Left and Right cross a line break in one press); the arrow keys
// are simply given to the control once more, which keeps its selection
// anchor.
void KeepSelectionOffLineBreaks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, CHARRANGE before) {
    if (!IsWindow(hwnd) || hwnd != g_editorState.control) return;
    CHARRANGE now{0, 0};
    SendMessageA(hwnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&now));
    // The mouse can reach into the control's hidden line end after the
    // text; the document ends at its last byte.
    const int32_t length = TextLength(hwnd);
    if (now.cpMax > length) {
        SetSelection(hwnd, std::min<int32_t>(now.cpMin, length), length);
        SendMessageA(hwnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&now));
    }
    auto split = [&](LONG pos, LONG was) { return pos != was && SplitsLineBreak(hwnd, pos); };
    bool minSplit = split(now.cpMin, before.cpMin);
    bool maxSplit = split(now.cpMax, before.cpMax);
    if (!minSplit && !maxSplit) {
        // A double click or a click in the selection bar leaves the control
        // selecting by words or lines, and its next deletion then takes more
        // than the selection shows: setting the selection makes it plain.
        if (message == WM_LBUTTONUP) SetSelection(hwnd, now.cpMin, now.cpMax);
        return;
    }
    const bool arrow = message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT);
    if (arrow) {
        CallWindowProcA(g_editorState.previousProc, hwnd, WM_KEYDOWN, wParam, lParam);
        SendMessageA(hwnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&now));
        minSplit = SplitsLineBreak(hwnd, now.cpMin);
        maxSplit = SplitsLineBreak(hwnd, now.cpMax);
        if (!minSplit && !maxSplit) return;
    }
    const bool mouse = message != WM_KEYDOWN;
    auto settle = [&](LONG pos, LONG was) { return mouse || pos < was ? pos - 1 : pos + 1; };
    if (minSplit) now.cpMin = settle(now.cpMin, before.cpMin);
    if (maxSplit) now.cpMax = settle(now.cpMax, before.cpMax);
    SetSelection(hwnd, std::min(now.cpMin, now.cpMax), std::max(now.cpMin, now.cpMax));
}

bool MovesSelection(UINT message, WPARAM wParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        return true;
    case WM_MOUSEMOVE:
        return (wParam & MK_LBUTTON) != 0;
    default:
        return false;
    }
}

bool IsAltKey(WPARAM key) { return key == VK_MENU || key == VK_LMENU || key == VK_RMENU; }

} // namespace

LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Shortcuts work while the editor has the focus: every message is offered
    // to the accelerator table first, as if it were the main window's.
    MSG msg{g_shell.mainWindow, message, wParam, lParam, 0, {0, 0}};
    if (g_shell.accelerators && TranslateAcceleratorA(g_shell.mainWindow, g_shell.accelerators, &msg)) {
        // The system arms the menu bar when Alt is released with no other
        // key seen in between; the accelerator's key was never seen.
        if (message == WM_SYSKEYDOWN) g_swallowAltRelease = true;
        return 0;
    }
    switch (message) {
    case WM_SYSKEYDOWN:
        if (IsAltKey(wParam)) g_swallowAltRelease = false;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (IsAltKey(wParam) && g_swallowAltRelease) {
            g_swallowAltRelease = false;
            return 0;
        }
        break;
    case WM_SETTEXT: {
        // The program never sets the text this way once the control is its
        // own: another program replaced it, and no step of the history
        // fits the new text.
        const LRESULT result = PassOn(hwnd, message, wParam, lParam);
        ClearUndoHistory();
        SendMessageA(hwnd, EM_SETMODIFY, TRUE, 0); // it is no longer the file's text
        return result;
    }
    default:
        break;
    }
    if (!MovesSelection(message, wParam)) return HandleEditorMessage(hwnd, message, wParam, lParam);
    CHARRANGE before{0, 0};
    SendMessageA(hwnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&before));
    const LRESULT result = HandleEditorMessage(hwnd, message, wParam, lParam);
    KeepSelectionOffLineBreaks(hwnd, message, wParam, lParam, before);
    return result;
}

void AutoScrollStep() {
    if (!g_editorState.control) return;
    POINT cursor;
    GetCursorPos(&cursor);
    const int dy = (cursor.y - g_scrollAnchor.y) / 12;
    const int dx = (cursor.x - g_scrollAnchor.x) / 32;
    ScrollSteps(SB_VERT, WM_VSCROLL, dy, SB_LINEDOWN, SB_LINEUP);
    ScrollSteps(SB_HORZ, WM_HSCROLL, dx, SB_LINERIGHT, SB_LINELEFT);
}

void ResetEditorState() {
    ClearUndoHistory();
    ForgetHeldDocument();
    g_editorState = EditorState{}; // a new process shows ANSI, word wrap off
    SetControlMaker(nullptr);
    SetAvailableMemoryReader(nullptr); // the machine's own memory again
    g_droppedFileHandler = nullptr;
    g_freshCtrlHandler = nullptr;
    SetEncodingHandler(nullptr);
    g_middleScrolling = false;
    g_scrollAnchor = POINT{};
    g_scrollTimerRunning = false;
    g_swallowDelCharacter = false;
    g_swallowAltRelease = false;
    ResetStatusBarState();
    DeleteToolbarBitmap();
    g_toolbar = nullptr;
}

bool TakeTypedUnicodeCharacter() {
    HWND editor = g_editorState.control;
    MSG msg;
    if (!editor || !g_editorState.unicodeText || !PeekMessageW(&msg, editor, WM_CHAR, WM_CHAR, PM_NOREMOVE) ||
        msg.wParam < 0x80)
        return false;
    PeekMessageW(&msg, editor, WM_CHAR, WM_CHAR, PM_REMOVE);
    TypeUnicodeCharacter(editor, static_cast<wchar_t>(msg.wParam));
    return true;
}
