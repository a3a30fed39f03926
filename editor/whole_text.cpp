#include "editor/whole_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "base/heap_block.h"
#include "base/messages.h"
#include "core/charset/display_map.h"
#include "editor/control.h"
#include "editor/display_code_page.h"
#include "editor/memory_check.h"
#include "editor/status_bar.h"

namespace {

ControlMaker g_controlMaker;

// The new control takes the old one's place, size and visibility; the focus
// follows it when the old one had it (a window other than the editor that
// had it, a dialog's control, keeps it). The old control goes, and its text
// with it.
void PutInPlace(HWND made) {
    HWND old = g_editorState.control;
    RECT rect;
    GetWindowRect(old, &rect);
    MapWindowPoints(nullptr, GetParent(old), reinterpret_cast<POINT*>(&rect), 2);
    MoveWindow(made, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    const bool visible = IsWindowVisible(old) != FALSE;
    HWND focus = GetFocus();
    g_editorState.control = made;
    g_editorState.htmlColoured = false;
    if (visible) ShowWindow(made, SW_SHOW);
    if (focus == old || !focus) SetFocus(made);
    DestroyWindow(old);
    ResetCaretField();
}

// Deleting text in the control costs time growing with the square of the
// paragraphs deleted, while filling an empty control is linear. The whole
// text, or a selection of at least this many bytes covering half the text
// or more, is therefore replaced by building the new text and putting it
// in a fresh control.
constexpr int32_t kLargeDeletion = 64 * 1024;

bool ReplacesMostOfTheText(int32_t removed, int32_t length) {
    return removed > 0 && (removed == length || (removed >= kLargeDeletion && removed >= length - removed));
}

// The text with [selection) replaced by n bytes, in a fresh control: caret
// after the new bytes, modified, the first visible line kept where the caret
// allows. The control's own undo buffer is empty afterwards. False when
// the buffer or the control could not be had (nothing changed: the caller
// replaces the selection in the control itself).
bool RebuildAroundSelection(CHARRANGE selection, const unsigned char* bytes, int32_t n) {
    HWND editor = g_editorState.control;
    const int32_t length = TextLength(editor);
    const int32_t removed = selection.cpMax - selection.cpMin;
    const int32_t result = length - removed + n;
    const LRESULT firstLine = SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (removed == length) {
        if (!FillWholeText(bytes, n, nullptr, false, true)) return false;
    } else {
        // One buffer: the old text streamed out, its tail moved, the new
        // bytes copied in.
        HeapBuffer text(static_cast<size_t>(std::max(length, result)) + 2);
        if (!text) return false;
        const int32_t got = StreamBytesOut(editor, false, text.get(), length + 2);
        const int32_t tail = std::max<int32_t>(0, got - selection.cpMax);
        memmove(text.get() + selection.cpMin + n, text.get() + selection.cpMax, tail);
        if (n > 0) memcpy(text.get() + selection.cpMin, bytes, n);
        if (!FillWholeText(text.get(), selection.cpMin + n + tail, nullptr, false, true)) return false;
    }
    HWND now = g_editorState.control;
    SendMessageA(now, EM_SETMODIFY, TRUE, 0);
    const int32_t caret = selection.cpMin + n;
    if (caret > 0) SetSelection(now, caret, caret);
    if (firstLine > 0) SendMessageA(now, EM_LINESCROLL, 0, firstLine);
    SendMessageA(now, EM_SCROLLCARET, 0, 0);
    return true;
}

} // namespace

void SetControlMaker(ControlMaker maker) { g_controlMaker = maker; }

bool FillWholeText(const unsigned char* bytes, int32_t n, StreamProgress progress, bool fresh, bool quiet) {
    HWND old = g_editorState.control;
    if (!old) return false;
    // A stream the user may stop goes into a new control, so that stopping
    // leaves the old one as it was.
    if (progress) fresh = true;
    if (!g_controlMaker || (!fresh && TextLength(old) == 0)) {
        // An empty control keeps its place: a fresh one buys nothing. (A
        // control with no owner to make others keeps it too.)
        ApplyFontTo(old);
        g_editorState.htmlColoured = false;
        StreamBytesIn(old, SF_TEXT, bytes, n, progress);
        SendMessageA(old, EM_EMPTYUNDOBUFFER, 0, 0);
        SetSelection(old, 0, 0);
        UpdateCodePageField();
        return true;
    }
    SetLastError(0);
    HWND made = g_controlMaker ? g_controlMaker() : nullptr;
    if (!made) {
        if (GetLastError() == 0) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        if (!quiet) ShowSystemError();
        return false;
    }
    if (!StreamBytesIn(made, SF_TEXT, bytes, n, progress)) {
        DestroyWindow(made); // stopped: the old control keeps the document
        return false;
    }
    SendMessageA(made, EM_EMPTYUNDOBUFFER, 0, 0);
    SetSelection(made, 0, 0);
    PutInPlace(made);
    UpdateCodePageField();
    return true;
}

void ReplaceSelectionBytes(const unsigned char* bytes, int32_t n, bool controlUndo) {
    HWND editor = g_editorState.control;
    if (!editor) return;
    if (!bytes) n = 0;
    const CHARRANGE before = GetSelection(editor);
    CHARRANGE raw{0, 0};
    SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&raw));
    // Never insert into the control's hidden line end after the text.
    if (raw.cpMin != before.cpMin || raw.cpMax != before.cpMax) SetSelection(editor, before.cpMin, before.cpMax);
    if (!controlUndo && ReplacesMostOfTheText(before.cpMax - before.cpMin, TextLength(editor)) &&
        RebuildAroundSelection(before, bytes, n))
        return;
    const bool hasZero = n > 0 && memchr(bytes, 0, n) != nullptr;
    if (hasZero || n > 4096) {
        // Streaming keeps bytes zero and needs no NUL-terminated copy.
        StreamBytesIn(editor, SF_TEXT | SFF_SELECTION, bytes, n);
    } else {
        char16_t units[4097];
        DecodeDisplayBytes(g_editorState.displayCodePage, bytes, n, units);
        units[n] = 0;
        SETTEXTEX set{ST_SELECTION | ST_KEEPUNDO, 1200};
        SendMessageA(editor, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(units));
    }
    if (!controlUndo) SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
    // Placing the caret costs the control a walk from the start of the text:
    // only when it is not already after the new bytes.
    const int32_t caret = std::min(before.cpMin, before.cpMax) + n;
    CHARRANGE now{0, 0};
    SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&now));
    if (now.cpMin != caret || now.cpMax != caret) SetSelection(editor, caret, caret);
}

bool RedecodeText(int newCodePage) {
    HWND editor = g_editorState.control;
    if (!editor) return false;
    const int oldCodePage = g_editorState.displayCodePage;
    if (newCodePage == oldCodePage) return true;
    const int32_t length = TextLength(editor);
    HeapBuffer text(static_cast<size_t>(length) + 2);
    if (!text) return false;
    const CHARRANGE selection = GetSelection(editor);
    const BOOL modified = static_cast<BOOL>(SendMessageA(editor, EM_GETMODIFY, 0, 0));
    const LRESULT firstLine = SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    const int32_t n = StreamBytesOut(editor, false, text.get(), length + 2);
    // The same bytes shown otherwise may make many more runs (866 text shown
    // as 1251 takes the control about 2.6 times the memory): a switch the
    // memory cannot hold is refused. The old text stays until the new one
    // is in.
    if (!ControlAdmits("Показ в другой кодировке", false, text.get(), n, newCodePage, n, 0)) return false;
    g_editorState.displayCodePage = newCodePage;
    if (!FillWholeText(text.get(), n, nullptr, true)) {
        g_editorState.displayCodePage = oldCodePage;
        return false;
    }
    editor = g_editorState.control;
    SendMessageA(editor, WM_SETREDRAW, FALSE, 0);
    SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const LRESULT nowFirst = SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (nowFirst != firstLine) SendMessageA(editor, EM_LINESCROLL, 0, firstLine - nowFirst);
    SendMessageA(editor, EM_SETMODIFY, modified, 0);
    SendMessageA(editor, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editor, nullptr, FALSE);
    return true;
}
