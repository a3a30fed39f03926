#include "editor/whole_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/messages.h"
#include "core/charset/display_map.h"
#include "editor/control.h"
#include "editor/display_code_page.h"
#include "editor/memory_check.h"
#include "editor/status_bar.h"

namespace {

ControlMaker g_controlMaker;

// The document while no control shows it (see HeldDocument); `g_holding`
// false otherwise.
KeptDocument g_held;
bool g_holding = false;

// The new control takes the old one's place, size and visibility; the focus
// follows it when the old one had it (a window other than the editor that
// had it, a dialog's control, keeps it). The old control goes, and its text
// with it, before the new one is filled: filled beside a full one, the new
// control's blocks land among the old one's, and once those are freed every
// allocation of the next fill walks the holes they leave (Wine 8's heap has
// no low-fragmentation front end: the third such fill of 2 MB took fifty
// times the first). With no old control (the document was held in memory)
// the main window lays the new one out.
void PutInPlace(HWND made) {
    HWND old = g_editorState.control;
    HWND focus = GetFocus();
    bool visible = true;
    if (old) {
        RECT rect;
        GetWindowRect(old, &rect);
        MapWindowPoints(nullptr, GetParent(old), reinterpret_cast<POINT*>(&rect), 2);
        MoveWindow(made, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
        visible = IsWindowVisible(old) != FALSE;
    }
    g_editorState.control = made;
    g_editorState.htmlColoured = false;
    if (visible) ShowWindow(made, SW_SHOW);
    if (!focus || focus == old || (!old && focus == g_shell.mainWindow)) SetFocus(made);
    if (old) {
        DestroyWindow(old);
    } else {
        RECT client;
        GetClientRect(g_shell.mainWindow, &client);
        SendMessageA(g_shell.mainWindow, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    }
    ResetCaretField();
}

// Selection, first visible line and modified flag put back on a control
// that has just been filled, drawn once at the end.
void RestoreView(HWND control, CHARRANGE selection, LRESULT firstLine, BOOL modified) {
    SendMessageA(control, WM_SETREDRAW, FALSE, 0);
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const LRESULT nowFirst = SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (nowFirst != firstLine) SendMessageA(control, EM_LINESCROLL, 0, firstLine - nowFirst);
    SendMessageA(control, EM_SETMODIFY, modified, 0);
    SendMessageA(control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(control, nullptr, FALSE);
}

// The control's text, selection, view and flags, into `kept`; `known` is
// that text when the caller has read it already (`knownLength` bytes). False
// when there is no memory for the copy.
bool KeepDocument(HWND control, const unsigned char* known, int32_t knownLength, KeptDocument& kept) {
    kept.codePage = g_editorState.textCodePage;
    kept.unicode = g_editorState.textUnicode;
    // A Unicode document's foreign units are read with its bytes.
    if (kept.unicode) known = nullptr;
    kept.wrapStyle = (GetWindowLongPtrA(control, GWL_STYLE) & ES_AUTOHSCROLL) ? kWrapOffStyle : 0;
    kept.selection = GetSelection(control);
    kept.firstLine = SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0);
    kept.modified = static_cast<BOOL>(SendMessageA(control, EM_GETMODIFY, 0, 0));
    const int32_t length = known ? knownLength : TextLength(control);
    if (length <= 0) return true;
    kept.bytes = HeapBuffer(static_cast<size_t>(length) + 2);
    if (!kept.bytes) return false;
    if (known) {
        memcpy(kept.bytes.get(), known, static_cast<size_t>(length));
        kept.n = length;
    } else {
        kept.n = StreamBytesOutAs(control, kept.codePage, kept.unicode, kept.bytes.get(), length + 2, &kept.foreign);
    }
    return kept.n >= 0;
}

// The control took all n bytes: it stops at its limit (a file inserted
// into a text near the limit would otherwise be cut without a word).
bool HoldsAll(HWND control, int32_t n) {
    return n <= static_cast<int32_t>(SendMessageA(control, EM_GETLIMITTEXT, 0, 0)) || TextLength(control) >= n;
}

void ShowHeldNotice() {
    ShowMessage(MB_OK | MB_ICONEXCLAMATION,
                {"Не хватает памяти, чтобы показать документ снова. Он цел в памяти редактора: "
                 "сохраните его (\"Сохранить\" или \"Сохранить как\") или откройте другой файл."});
}

// The kept document back in a new control, in place of the one that did
// not take the new text, with its code page, word wrap, selection, view and
// modified flag; the control's own undo buffer starts empty. When no
// control can be made for it, or it does not take all of it, the editor's
// memory keeps it (the user is told) and false is returned.
bool PutBack(KeptDocument&& kept) {
    g_editorState.displayCodePage = kept.codePage;
    g_editorState.unicodeText = kept.unicode;
    g_editorState.wrapStyle = kept.wrapStyle;
    HWND control = g_editorState.control;
    if (g_controlMaker) {
        SetLastError(0);
        control = g_controlMaker();
        if (control) PutInPlace(control);
    }
    if (control) {
        ApplyFontTo(control);
        ForeignCursor units{kept.foreign.data(), kept.foreign.size()};
        StreamBytesIn(control, SF_TEXT, kept.bytes.get(), kept.n, nullptr, &units);
        if (!HoldsAll(control, kept.n)) control = nullptr;
    }
    if (!control) {
        if (g_editorState.control) DestroyWindow(g_editorState.control); // it shows no document
        g_editorState.control = nullptr;
        g_held = std::move(kept);
        g_holding = true;
        UpdateCodePageField();
        ShowHeldNotice();
        return false;
    }
    g_editorState.textCodePage = kept.codePage;
    g_editorState.textUnicode = kept.unicode;
    SendMessageA(control, EM_EMPTYUNDOBUFFER, 0, 0);
    RestoreView(control, kept.selection, kept.firstLine, kept.modified);
    UpdateCodePageField();
    return true;
}

// A Unicode document's n bytes of code page `from` and their units put
// into code page `to` in place (as many bytes); false without memory.
bool RecodeInPlace(int from, unsigned char* text, int32_t n, ForeignUnits& units, int to) {
    try {
        std::vector<unsigned char> bytes;
        ForeignUnits recoded;
        RecodeWithForeign(from, text, static_cast<size_t>(n), units, to, bytes, recoded);
        if (!bytes.empty()) memcpy(text, bytes.data(), bytes.size());
        units = std::move(recoded);
        return true;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ShowSystemError();
        return false;
    }
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

// The stand-ins of `bytes` take the units of `given`, or without it those of
// the selection; a stand-in beyond them is its own character.
ForeignUnits UnitsForStandIns(const unsigned char* bytes, int32_t n, const ForeignUnits* given,
                              const ForeignUnits& selected) {
    const ForeignUnits& from = given ? *given : selected;
    ForeignUnits units;
    for (int32_t i = 0; i < n; ++i) {
        if (!IsForeignByte(bytes[i])) continue;
        units.push_back(units.size() < from.size() ? from[units.size()] : static_cast<char16_t>(bytes[i]));
    }
    return units;
}

// A Unicode document's units (of the whole `text`) once [selection) is
// replaced by `bytes`: those before it, those of the new bytes, those after.
void SpliceForeignUnits(const unsigned char* text, CHARRANGE selection, const unsigned char* bytes, int32_t n,
                        const ForeignUnits* foreign, ForeignUnits& units) {
    std::size_t before = 0, inside = 0;
    for (int32_t i = 0; i < selection.cpMax; ++i) {
        if (IsForeignByte(text[i])) ++(i < selection.cpMin ? before : inside);
    }
    inside = std::min(inside, units.size() - std::min(before, units.size()));
    before = std::min(before, units.size());
    const ForeignUnits selected(units.begin() + static_cast<std::ptrdiff_t>(before),
                                units.begin() + static_cast<std::ptrdiff_t>(before + inside));
    const ForeignUnits put = UnitsForStandIns(bytes, n, foreign, selected);
    units.erase(units.begin() + static_cast<std::ptrdiff_t>(before),
                units.begin() + static_cast<std::ptrdiff_t>(before + inside));
    units.insert(units.begin() + static_cast<std::ptrdiff_t>(before), put.begin(), put.end());
}

// The text with [selection) replaced by n bytes, in a fresh control: caret
// after the new bytes, modified, the first visible line kept where the caret
// allows. The control's own undo buffer is empty afterwards. False when
// the buffer or the control could not be had (nothing changed: the caller
// replaces the selection in the control itself).
bool RebuildAroundSelection(CHARRANGE selection, const unsigned char* bytes, int32_t n, const ForeignUnits* foreign) {
    HWND editor = g_editorState.control;
    const int32_t length = TextLength(editor);
    const int32_t removed = selection.cpMax - selection.cpMin;
    const int32_t result = length - removed + n;
    const LRESULT firstLine = SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (removed == length) {
        if (!FillWholeText(bytes, n, nullptr, false, true, nullptr, 0, foreign)) return false;
    } else {
        // One buffer: the old text streamed out, its tail moved, the new
        // bytes copied in; a Unicode document's units likewise.
        HeapBuffer text(static_cast<size_t>(std::max(length, result)) + 2);
        if (!text) return false;
        ForeignUnits units;
        const int32_t got = StreamBytesOut(editor, false, text.get(), length + 2, &units);
        if (got < 0) return false;
        const int32_t tail = std::max<int32_t>(0, got - selection.cpMax);
        if (g_editorState.unicodeText) SpliceForeignUnits(text.get(), selection, bytes, n, foreign, units);
        memmove(text.get() + selection.cpMin + n, text.get() + selection.cpMax, tail);
        if (n > 0) memcpy(text.get() + selection.cpMin, bytes, n);
        if (!FillWholeText(text.get(), selection.cpMin + n + tail, nullptr, false, true, nullptr, 0, &units))
            return false;
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

bool FillWholeText(const unsigned char* bytes, int32_t n, StreamProgress progress, bool fresh, bool quiet,
                   const unsigned char* old, int32_t oldLength, const ForeignUnits* foreign) {
    HWND control = g_editorState.control;
    if (!control && !g_holding) return false;
    // 1. The document as it stands, into the editor's own memory.
    KeptDocument kept;
    if (g_holding) {
        kept = std::move(g_held);
        g_holding = false;
    } else if (!KeepDocument(control, old, oldLength, kept)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        if (!quiet) ShowSystemError();
        return false;
    }
    // 2. The control to fill: an empty one of the right style keeps its
    // place (a fresh one buys nothing; a control with no owner to make
    // others keeps it too); else a new one is made, which is what may fail
    // (nothing has changed then), and takes the old one's place.
    if (control && (!g_controlMaker || (!fresh && kept.n == 0))) {
        ApplyFontTo(control);
        g_editorState.htmlColoured = false;
    } else {
        SetLastError(0);
        control = g_controlMaker ? g_controlMaker() : nullptr;
        if (!control) {
            if (GetLastError() == 0) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            if (!g_editorState.control) {
                g_held = std::move(kept);
                g_holding = true;
            }
            if (!quiet) ShowSystemError();
            return false;
        }
        PutInPlace(control);
    }
    // 3. The new text in; stopped or cut short, the kept document goes back.
    const ForeignUnits& units = foreign ? *foreign : kept.foreign;
    ForeignCursor cursor{units.data(), units.size()};
    if (!StreamBytesIn(control, SF_TEXT, bytes, n, progress, &cursor) || !HoldsAll(control, n)) {
        PutBack(std::move(kept));
        return false;
    }
    g_editorState.textCodePage = g_editorState.displayCodePage;
    g_editorState.textUnicode = g_editorState.unicodeText;
    SendMessageA(control, EM_EMPTYUNDOBUFFER, 0, 0);
    SetSelection(control, 0, 0);
    UpdateCodePageField();
    return true;
}

KeptDocument* HeldDocument() { return g_holding ? &g_held : nullptr; }

void ForgetHeldDocument() {
    g_held = KeptDocument{};
    g_holding = false;
}

void ReplaceSelectionBytes(const unsigned char* bytes, int32_t n, bool controlUndo, const ForeignUnits* foreign) {
    HWND editor = g_editorState.control;
    if (!editor) return;
    if (!bytes) n = 0;
    const CHARRANGE before = GetSelection(editor);
    CHARRANGE raw{0, 0};
    SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&raw));
    // Never insert into the control's hidden line end after the text.
    if (raw.cpMin != before.cpMin || raw.cpMax != before.cpMax) SetSelection(editor, before.cpMin, before.cpMax);
    if (!controlUndo && ReplacesMostOfTheText(before.cpMax - before.cpMin, TextLength(editor))) {
        if (RebuildAroundSelection(before, bytes, n, foreign)) return;
        // Not rebuilt: the text is back as it was, maybe in a control of
        // its own, or held in memory with none.
        editor = g_editorState.control;
        if (!editor) return;
        SetSelection(editor, before.cpMin, before.cpMax);
    }
    // A Unicode document's stand-ins in the new bytes take their units.
    ForeignUnits put;
    const bool standIns = n > 0 && (memchr(bytes, kForeignByte, n) || memchr(bytes, kForeignMarkByte, n));
    if (g_editorState.unicodeText && standIns) {
        ForeignUnits selected;
        const int32_t removed = before.cpMax - before.cpMin;
        HeapBuffer old(static_cast<size_t>(removed) + 1);
        if (!foreign && old) GetRangeBytes(editor, before.cpMin, before.cpMax, old.get(), removed, &selected);
        put = UnitsForStandIns(bytes, n, foreign, selected);
    }
    ForeignCursor cursor{put.data(), put.size()};
    const bool hasZero = n > 0 && memchr(bytes, 0, n) != nullptr;
    if (hasZero || n > 4096) {
        // Streaming keeps bytes zero and needs no NUL-terminated copy.
        StreamBytesIn(editor, SF_TEXT | SFF_SELECTION, bytes, n, nullptr, &cursor);
    } else {
        char16_t units[4097];
        BytesToControlUnits(bytes, n, units, &cursor);
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
    const char* what = "Показ в другой кодировке";
    if (g_holding) {
        // The document held in memory is shown again, as the new code page
        // shows it (the same memory check as for a load).
        if (!ControlAdmits(what, false, g_held.bytes.get(), g_held.n, newCodePage, 0, 0)) return false;
        if (g_held.unicode && !RecodeInPlace(g_held.codePage, g_held.bytes.get(), g_held.n, g_held.foreign, newCodePage))
            return false;
        g_held.codePage = newCodePage;
        KeptDocument kept = std::move(g_held);
        g_holding = false;
        return PutBack(std::move(kept));
    }
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
    ForeignUnits units;
    const int32_t n = StreamBytesOut(editor, false, text.get(), length + 2, &units);
    if (n < 0) {
        ShowSystemError();
        return false;
    }
    // A Unicode document keeps its characters: the text is put into the new
    // code page, where what it lacks becomes foreign.
    if (g_editorState.unicodeText && !RecodeInPlace(oldCodePage, text.get(), n, units, newCodePage)) return false;
    // The same bytes shown otherwise may make many more runs (866 text shown
    // as 1251 takes the control about 2.6 times the memory): a switch the
    // memory cannot hold is refused. The bytes read and the copy kept while
    // the new control fills are held besides; the old control goes first.
    if (!ControlAdmits(what, false, text.get(), n, newCodePage, int64_t{n} * 2, n)) return false;
    g_editorState.displayCodePage = newCodePage;
    if (!FillWholeText(text.get(), n, nullptr, true, false, text.get(), n, &units)) {
        g_editorState.displayCodePage = oldCodePage;
        return false;
    }
    RestoreView(g_editorState.control, selection, firstLine, modified);
    return true;
}
