#include "editor/status_bar.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/globals.h"
#include "base/scoped.h"
#include "core/app/number_words.h"
#include "core/editor/bar_tables.h"
#include "editor/control.h"
#include "editor/strip_image.h"
#include "editor/text_layer.h"

HWND g_statusBar;

namespace {

constexpr int kCodePagePopup = 5; // "&Кодировки"

HWND g_statusTooltip;
RECT g_codePageFieldRect;
WNDPROC g_statusBarPrevProc;
CaretFieldCache g_caretCache;

// The caret field's questions, asked of the editor control. The row of the
// caret and the number of rows are kept by the control; the row of any other
// position is found from the start of the text.
int32_t EditorRowCount() { return static_cast<int32_t>(SendMessageA(g_editorState.control, EM_GETLINECOUNT, 0, 0)); }
int32_t EditorCaretRowStart() {
    return static_cast<int32_t>(SendMessageA(g_editorState.control, EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
}
int32_t EditorRowOf(int32_t position) {
    return static_cast<int32_t>(SendMessageA(g_editorState.control, EM_EXLINEFROMCHAR, 0, position));
}
int32_t EditorRowStart(int32_t row) { return static_cast<int32_t>(SendMessageA(g_editorState.control, EM_LINEINDEX, row, 0)); }
constexpr CaretQueries kEditorQueries{EditorRowCount, EditorCaretRowStart, EditorRowOf, EditorRowStart};

void SetFieldText(int field, const char* text, UINT flags = 0) {
    SendMessageA(g_statusBar, SB_SETTEXTA, static_cast<WPARAM>(field) | flags, reinterpret_cast<LPARAM>(text));
}

RECT FieldRect(int field) {
    RECT r{0, 0, 0, 0};
    SendMessageA(g_statusBar, SB_GETRECT, static_cast<WPARAM>(field), reinterpret_cast<LPARAM>(&r));
    return r;
}

// A click with either button on the code-page field opens "&Кодировки" there.
LRESULT CALLBACK StatusBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&g_codePageFieldRect, p)) {
            ClientToScreen(hwnd, &p);
            TrackPopupMenu(g_shell.popups[kCodePagePopup], TPM_RIGHTBUTTON, p.x, p.y, 0, g_shell.mainWindow, nullptr);
        }
        break;
    }
    default:
        break;
    }
    return CallWindowProcA(g_statusBarPrevProc, hwnd, message, wParam, lParam);
}

void DrawKeyboardField(const DRAWITEMSTRUCT* dis) {
    char abbreviation[4] = "";
    const LANGID language = LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0)));
    GetLocaleInfoA(MAKELCID(language, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, abbreviation, sizeof abbreviation);
    abbreviation[sizeof abbreviation - 1] = '\0';
    char text[3];
    KeyboardFieldText(abbreviation, text);
    RECT r = dis->rcItem;
    SetBkMode(dis->hDC, TRANSPARENT);
    SetTextColor(dis->hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dis->hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// The code page shown, after the file's encoding for a Unicode document:
// "UTF-8 · ANSI (1251)".
void CodePageFieldText(char* text, int size) {
    const char* codePage = CodePageFieldName(g_editorState.displayCodePage);
    if (g_document.encoding == FileEncoding::Bytes) {
        lstrcpynA(text, codePage, size);
    } else {
        snprintf(text, static_cast<size_t>(size), "%s · %s", FileEncodingName(g_document.encoding), codePage);
    }
}

void DrawCodePageField(const DRAWITEMSTRUCT* dis) {
    RECT r = dis->rcItem;
    const int side = StripImageSide(g_shell.menuImagesOwn);
    DrawStripImage(dis->hDC, g_shell.menuImagesOwn, g_editorState.displayCodePage, r.left, r.top + (r.bottom - r.top - side) / 2);
    r.left += side + side / 8;
    char text[64];
    CodePageFieldText(text, sizeof text);
    DrawStatusTextA(dis->hDC, &r, text, SBT_NOBORDERS);
}

} // namespace

void CreateStatusBar() {
    if (g_statusBar) return;
    g_statusBar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, nullptr, g_shell.mainWindow, kStatusBarId);
    if (!g_statusBar) return;
    // The fields are as wide as the window's dots per inch make their texts;
    // a taller image of the code-page field makes the bar taller too.
    const int dpi = WindowDpi(g_shell.mainWindow);
    int edges[kStatusFieldCount];
    StatusFieldEdgesAt(dpi, edges);
    SendMessageA(g_statusBar, SB_SETPARTS, kStatusFieldCount, reinterpret_cast<LPARAM>(edges));
    if (ImageScaleAt(dpi) > 1) {
        SendMessageA(g_statusBar, SB_SETMINHEIGHT, static_cast<WPARAM>(StripImageSide(g_shell.menuImagesOwn)), 0);
        SendMessageA(g_statusBar, WM_SIZE, 0, 0);
    }

    g_statusTooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, g_shell.mainWindow, nullptr, g_shell.instance, nullptr);
    if (g_statusTooltip) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = g_statusBar;
        tool.uId = kStatusBarId;
        tool.rect = FieldRect(kPathField);
        tool.rect.right = 0xFFFF;
        tool.lpszText = g_document.fileName;
        SendMessageA(g_statusTooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }

    g_codePageFieldRect = FieldRect(kCodePageField);
    g_statusBarPrevProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_statusBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StatusBarProc)));

    UpdateCodePageField();
    UpdatePathField();
    UpdateKeyboardField();
}

void DestroyStatusBar() {
    if (!g_statusBar) return;
    if (g_statusTooltip) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = g_statusBar;
        tool.uId = kStatusBarId;
        SendMessageA(g_statusTooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        DestroyWindow(g_statusTooltip);
        g_statusTooltip = nullptr;
    }
    DestroyWindow(g_statusBar);
    g_statusBar = nullptr;
    ResetCaretFieldCache(g_caretCache);
}

void UpdateCaretField() {
    if (!g_statusBar || !g_editorState.control) return;
    CHARRANGE selection{0, 0};
    SendMessageA(g_editorState.control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    CaretPosition position{};
    if (!UpdateCaretFieldCache(g_caretCache, selection.cpMin, selection.cpMax, kEditorQueries, position)) return;
    char text[32];
    FormatCaretField(position.column, position.line, text, sizeof text);
    SetFieldText(kCaretField, text);
}

void ResetCaretField() { ResetCaretFieldCache(g_caretCache); }

void UpdateKeyboardField() {
    if (g_statusBar) SetFieldText(kKeyboardField, nullptr, SBT_OWNERDRAW | SBT_POPOUT);
}

// The field's data is the name it shows (a constant string).
void UpdateCodePageField() {
    if (!g_statusBar) return;
    // An owner-drawn field keeps the pointer it was given: the text lives on.
    static char text[64];
    CodePageFieldText(text, sizeof text);
    SetFieldText(kCodePageField, text, SBT_OWNERDRAW);
    UpdatePathField(); // it tells why a Unicode-looking file opened as bytes
}

void UpdateModeField() {
    if (g_statusBar) SetFieldText(kModeField, ModeFieldText(g_editorState.overwrite));
}

void UpdatePathField() {
    if (!g_statusBar) return;
    // The file name buffer holds any path the program keeps, so the field and
    // the tooltip always show it whole.
    char path[kPathSize];
    lstrcpynA(path, g_document.fileName, sizeof path);
    // Then the note and the characters the display code page lacks.
    std::string field = path;
    if (g_document.note[0]) field += std::string(" — ") + g_document.note;
    if (const int64_t foreign = g_editorState.unicodeText ? g_editorState.foreignChars : 0)
        field += " — " + GroupedNumber(foreign) + " " + NounAfter(foreign, "символ", "символа", "символов") +
                 " вне кодировки";
    SetFieldText(kPathField, field.c_str());
    if (!g_statusTooltip) return;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = g_statusBar;
    tool.uId = kStatusBarId;
    tool.lpszText = path;
    SendMessageA(g_statusTooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void DrawStatusField(const DRAWITEMSTRUCT* dis) {
    // A repaint of another field (the caret's, on every key) leaves these be.
    if (!RectVisible(dis->hDC, &dis->rcItem)) return;
    if (dis->itemID == kKeyboardField) DrawKeyboardField(dis);
    if (dis->itemID == kCodePageField) DrawCodePageField(dis);
}

void ResetStatusBarState() {
    g_statusBar = nullptr;
    g_statusTooltip = nullptr;
    g_codePageFieldRect = RECT{};
    g_statusBarPrevProc = nullptr;
    g_caretCache = CaretFieldCache{};
}
