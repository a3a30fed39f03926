// The operations the editor offers the rest of the program (editor.h): each
// does its whole job here, so that no other folder drives the control.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/messages.h"
#include "core/app/command_ids.h"
#include "editor/control.h"
#include "editor/display_code_page.h"
#include "editor/status_bar.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/undo.h"
#include "editor/whole_text.h"

bool UndoHistoryEmpty() { return NoUndoRecords(); }

bool RedoHistoryEmpty() { return NoRedoRecords(); }

void ClearUndoHistory() { ForgetUndoRecords(); }

EditorState::LineEnds LineEndsOf(const unsigned char* bytes, int32_t n) {
    const auto* end = bytes + (bytes ? std::max(n, 0) : 0);
    if (std::find(bytes, end, '\r') != end) return EditorState::LineEnds::CrLf;
    if (std::find(bytes, end, '\n') != end) return EditorState::LineEnds::Lf;
    return EditorState::LineEnds::Undecided;
}

bool PutNewDocument(const unsigned char* bytes, int32_t n, int codePage, LoadProgress progress, bool unwrapped,
                    const ForeignUnits* unicode) {
    if (!HasDocument()) return false;
    const int shown = g_editorState.displayCodePage;
    const DWORD wrapStyle = g_editorState.wrapStyle;
    const bool wasUnicode = g_editorState.unicodeText;
    const ForeignUnits none;
    SetDecodingForNewText(codePage);
    g_editorState.unicodeText = unicode != nullptr;
    if (unwrapped) g_editorState.wrapStyle = kWrapOffStyle;
    if (!FillWholeText(bytes, n, progress, unwrapped && wrapStyle != kWrapOffStyle, false, nullptr, 0,
                       unicode ? unicode : &none)) {
        SetDecodingForNewText(shown);
        g_editorState.unicodeText = wasUnicode;
        g_editorState.wrapStyle = wrapStyle;
        return false;
    }
    ClearUndoHistory();
    SendMessageA(g_editorState.control, EM_SETMODIFY, FALSE, 0);
    g_editorState.lineEnds = LineEndsOf(bytes, n);
    g_editorState.foreignChars = unicode ? static_cast<int64_t>(CountForeignChars(unicode->data(), unicode->size())) : 0;
    g_editorState.foreignCountDue = false;
    KillTimer(g_shell.mainWindow, kForeignCountTimer);
    SendMessageA(g_editorState.control, EM_SETEVENTMASK, 0, unicode ? ENM_CHANGE : 0);
    UpdatePathField();
    return true;
}

void CountedEdit(int64_t change, const std::function<void()>& edit) {
    g_editorState.foreignCountKnown = true;
    edit();
    g_editorState.foreignCountKnown = false;
    if (change == 0 || !g_editorState.unicodeText) return;
    g_editorState.foreignChars = std::max<int64_t>(0, g_editorState.foreignChars + change);
    UpdatePathField();
}

void NoteTextChanged() {
    // A change of format alone (the colours put on after a load) leaves the
    // control unmodified; a change of the text never does.
    if (!g_editorState.unicodeText || g_editorState.foreignCountDue || g_editorState.foreignCountKnown ||
        !g_editorState.control ||
        !SendMessageA(g_editorState.control, EM_GETMODIFY, 0, 0))
        return;
    g_editorState.foreignCountDue = SetTimer(g_shell.mainWindow, kForeignCountTimer, 300, nullptr) != 0;
}

void CountForeignAgain() {
    KillTimer(g_shell.mainWindow, kForeignCountTimer);
    g_editorState.foreignCountDue = false;
    HWND editor = g_editorState.control;
    if (!editor || !g_editorState.unicodeText) return;
    const int32_t length = TextLength(editor);
    HeapBuffer text(static_cast<size_t>(length) + 2);
    ForeignUnits foreign;
    if (!text || StreamBytesOut(editor, false, text.get(), length + 2, &foreign) < 0) return; // the count stays
    const auto count = static_cast<int64_t>(CountForeignChars(foreign.data(), foreign.size()));
    if (count == g_editorState.foreignChars) return;
    g_editorState.foreignChars = count;
    UpdatePathField();
}

bool ReplaceWholeText(const WholeTextChange& change) {
    if (!g_editorState.control) return false;
    // Without the old text in hand, it is read for the undo step first.
    HeapBuffer read;
    const unsigned char* old = change.old;
    int32_t oldLength = change.oldLength;
    // A Unicode document's text is read with its foreign units.
    ForeignUnits oldUnits;
    if (!old || g_editorState.unicodeText) {
        const int32_t length = TextLength(g_editorState.control);
        read = HeapBuffer(static_cast<size_t>(length) + 2);
        if (!read) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            ShowSystemError();
            return false;
        }
        oldLength = StreamBytesOut(g_editorState.control, false, read.get(), length + 2, &oldUnits);
        if (oldLength < 0) {
            ShowSystemError();
            return false;
        }
        old = read.get();
    }
    const int shown = g_editorState.displayCodePage;
    SetDecodingForNewText(change.codePage);
    if (!FillWholeText(change.bytes, change.n, change.progress, false, false, old, oldLength, change.foreign)) {
        SetDecodingForNewText(shown);
        return false;
    }
    // The old text is in the caller's hands: the undo step is made from it
    // once the new text stands.
    RecordSnapshotOf(old, oldLength, change.before.cpMin, change.before.cpMax, shown, &oldUnits);
    SendMessageA(g_editorState.control, EM_SETMODIFY, TRUE, 0);
    SetSelection(g_editorState.control, change.select.cpMin, change.select.cpMax);
    return true;
}

void ReplaceRange(int32_t start, int32_t end, const unsigned char* bytes, int32_t n, bool caretAtStart,
                  const ForeignUnits* foreign) {
    if (!g_editorState.control) return;
    SetSelection(g_editorState.control, start, end);
    RecordUndo(UndoRequest::Replacement, n);
    ReplaceSelectionBytes(bytes, n, false, foreign);
    if (caretAtStart) {
        SetSelection(g_editorState.control, start, start);
    } else {
        SetSelection(g_editorState.control, start, start + n);
    }
}

void ReplaceSelection(const unsigned char* bytes, int32_t n) {
    if (!g_editorState.control) return;
    RecordUndo(UndoRequest::Replacement, n);
    ReplaceSelectionBytes(bytes, n, ControlUndoSelected());
}

void InsertOverSelection(const unsigned char* bytes, int32_t n, const ForeignUnits* foreign) {
    HWND editor = g_editorState.control;
    if (!editor) return;
    const CHARRANGE selection = GetSelection(editor);
    RecordUndo(UndoRequest::Snapshot, n);
    ForeignCursor units{foreign ? foreign->data() : nullptr, foreign ? foreign->size() : 0};
    StreamBytesIn(editor, SF_TEXT | SFF_SELECTION, bytes, n, nullptr, &units);
    if (n > 0 || selection.cpMin != selection.cpMax) SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
}

void BeginChangeRun() { RecordUndo(UndoRequest::Snapshot, 0); }

void ReplaceSelectionInRun(const unsigned char* bytes, int32_t n) { ReplaceSelectionBytes(bytes, n, true); }

void SetDisplayCodePage(int codePage) {
    if (codePage < 0 || codePage > 2) return;
    if (HeldDocument()) {
        RedecodeText(codePage); // shown again, in a control of its own
        return;
    }
    if (!g_editorState.control) {
        SetDecodingForNewText(codePage);
        return;
    }
    // The same code page again: its font and colours are applied afresh.
    if (codePage == g_editorState.displayCodePage) {
        ApplyDisplayCodePageKeepingView();
        return;
    }
    RedecodeText(codePage);
}

void DisplayCodePageCommand(int id) { SetDisplayCodePage(id - IDM_SHOW_ANSI); }

bool DocumentModified() {
    if (const KeptDocument* held = HeldDocument()) return held->modified != FALSE;
    return g_editorState.control && SendMessageA(g_editorState.control, EM_GETMODIFY, 0, 0) != 0;
}

void SetDocumentModified(bool modified) {
    if (KeptDocument* held = HeldDocument()) held->modified = modified ? TRUE : FALSE;
    if (g_editorState.control) SendMessageA(g_editorState.control, EM_SETMODIFY, modified ? TRUE : FALSE, 0);
}

bool HasDocument() { return g_editorState.control || HeldDocument(); }

int32_t DocumentLength() {
    if (const KeptDocument* held = HeldDocument()) return held->n;
    return g_editorState.control ? TextLength(g_editorState.control) : 0;
}

int32_t CopyDocumentBytes(unsigned char* buffer, int32_t capacity, ForeignUnits* foreign) {
    if (const KeptDocument* held = HeldDocument()) {
        const int32_t n = std::min(held->n, capacity);
        if (n > 0) memcpy(buffer, held->bytes.get(), static_cast<size_t>(n));
        if (foreign) foreign->insert(foreign->end(), held->foreign.begin(), held->foreign.end());
        return n;
    }
    return g_editorState.control ? StreamBytesOut(g_editorState.control, false, buffer, capacity, foreign) : 0;
}

bool UnicodeDocument() { return g_editorState.unicodeText; }

PlainText PlainTextOfRtf(const unsigned char* rtf, int32_t n) {
    PlainText text;
    HWND reader = CreateWindowExA(0, "RICHEDIT", nullptr, WS_CHILD | ES_MULTILINE, 0, 0, 0, 0, g_shell.mainWindow,
                                  nullptr, g_shell.instance, nullptr);
    if (!reader) return text;
    SendMessageA(reader, EM_EXLIMITTEXT, 0, g_shell.sizeLimit);
    StreamBytesIn(reader, SF_RTF, rtf, n);
    const int32_t length = TextLength(reader);
    text.bytes = static_cast<unsigned char*>(HeapAllocBlock(static_cast<size_t>(length) + 2));
    if (text.bytes) {
        text.n = StreamBytesOut(reader, false, text.bytes, length + 2);
        text.ok = true;
    }
    DestroyWindow(reader);
    return text;
}

void FreePlainText(PlainText& text) {
    HeapFreeBlock(text.bytes);
    text = PlainText{};
}

int32_t FreezeView() {
    if (!g_editorState.control) return 0;
    SendMessageA(g_editorState.control, WM_SETREDRAW, FALSE, 0);
    return static_cast<int32_t>(SendMessageA(g_editorState.control, EM_GETFIRSTVISIBLELINE, 0, 0));
}

void ThawView(int32_t firstLine) {
    HWND editor = g_editorState.control;
    if (!editor) return;
    const LRESULT nowFirst = SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (nowFirst > firstLine) SendMessageA(editor, EM_LINESCROLL, 0, firstLine - nowFirst);
    SendMessageA(editor, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editor, nullptr, FALSE);
}

void SelectKeepingView(int32_t start, int32_t end) {
    HWND editor = g_editorState.control;
    if (!editor) return;
    POINT scroll{};
    SendMessageA(editor, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SetSelection(editor, start, end);
    SendMessageA(editor, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
}

void ScrollCaretIntoView() {
    if (g_editorState.control) SendMessageA(g_editorState.control, EM_SCROLLCARET, 0, 0);
}

void ShowSelectionAlways(bool on) {
    if (!g_editorState.control) return;
    if (on) {
        SendMessageA(g_editorState.control, EM_SETOPTIONS, ECOOP_OR, ECO_NOHIDESEL);
    } else {
        SendMessageA(g_editorState.control, EM_SETOPTIONS, ECOOP_AND, ~static_cast<LPARAM>(ECO_NOHIDESEL));
    }
}

void SetBackgroundColour(COLORREF colour) {
    if (g_editorState.control) SendMessageA(g_editorState.control, EM_SETBKGNDCOLOR, 0, colour);
}

// The new colour over the whole text, with what the selection has uniformly
// of the other attributes.
void SetTextColour(COLORREF colour) {
    HWND editor = g_editorState.control;
    if (!editor) return;
    const LRESULT modified = SendMessageA(editor, EM_GETMODIFY, 0, 0);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    format.dwMask |= CFM_COLOR;
    format.dwEffects &= ~CFE_AUTOCOLOR;
    format.crTextColor = colour;
    SendMessageA(editor, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(editor, EM_SETMODIFY, modified, 0);
}
