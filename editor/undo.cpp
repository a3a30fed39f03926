#include "editor/undo.h"

#include <algorithm>
#include <new>
#include <vector>

#include <windows.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/messages.h"
#include "base/settings.h"
#include "editor/control.h"
#include "editor/display_code_page.h"
#include "editor/text_layer.h"
#include "editor/whole_text.h"

namespace {

// One step of the history. Ctrl+Delete and Ctrl+Backspace are stored as
// replacements; every other request is its own kind. Each kind reads only
// its own fields, through the accessors below.
// A Unicode document's foreign units of a record's bytes, in a heap block of
// their own (none in a code-page document).
struct SavedUnits {
    char16_t* units;
    int32_t count;
};

SavedUnits KeepUnits(const ForeignUnits& units) {
    SavedUnits saved{nullptr, 0};
    if (units.empty()) return saved;
    saved.units = static_cast<char16_t*>(HeapAllocBlock(units.size() * sizeof(char16_t)));
    if (saved.units) {
        std::copy(units.begin(), units.end(), saved.units);
        saved.count = static_cast<int32_t>(units.size());
    }
    return saved;
}

ForeignUnits UnitsOf(const SavedUnits& saved) { return ForeignUnits(saved.units, saved.units + saved.count); }

struct UndoRecord {
    UndoRequest kind;
    int32_t start;
    int32_t end;
    unsigned char* savedText; // Replacement, Snapshot: the bytes the change removed
    int32_t savedLength;      // their number
    unsigned char removed[2]; // ForwardDelete, Backspace: the end - start bytes removed;
                              // Overwrite: the byte overwritten
    bool overwrote;           // Overwrite: a byte was there (not at a line break or the end)
    unsigned char codePage;   // the display code page of the saved text (or bytes removed)
    FileEncoding encoding;    // Snapshot: the document's file encoding then
    unsigned char keyUnit;    // Typing: 1; LineBreak: the bytes one Enter inserted (CR LF or LF)
    SavedUnits units;         // the foreign units of savedText or removed
    UndoRecord* next;
};

UndoRecord* g_undoTop;

// One step undo took back, to be done again: [start, end), what the undo put
// there, becomes `text` again and the selection is what it was before the
// undo. A whole-text step holds the whole text as it stood and the display
// code page it was shown in.
struct RedoRecord {
    bool wholeText;
    int32_t start;
    int32_t end;
    unsigned char* text; // null when the step brings back no bytes
    int32_t length;
    SavedUnits units;    // the foreign units of text
    CHARRANGE selection;
    unsigned char codePage; // the display code page of the text
    FileEncoding encoding; // a whole-text step: the document's file encoding
    RedoRecord* next;
};

RedoRecord* g_redoTop;

EncodingHandler g_encodingHandler;

// Typing and LineBreak: the bytes one key inserts.
int32_t KeyUnit(const UndoRecord& record) { return record.keyUnit; }
// ForwardDelete and Backspace: the bytes the key removed, one or a CR LF pair.
int32_t RemovedCount(const UndoRecord& record) { return record.end - record.start; }
// Replacement and Snapshot: the saved bytes (none when the change removed nothing).
int32_t SavedLength(const UndoRecord& record) { return record.savedText ? record.savedLength : 0; }
// Overwrite: the byte to put back, if there was one.
int32_t OverwrittenCount(const UndoRecord& record) { return record.overwrote ? 1 : 0; }

UndoRecord NewRecord(UndoRequest kind, int32_t start, int32_t end) {
    UndoRecord record{};
    record.kind = kind;
    record.start = start;
    record.end = end;
    record.codePage = static_cast<unsigned char>(g_editorState.displayCodePage);
    return record;
}

UndoRecord SavedTextRecord(UndoRequest kind, unsigned char* saved, int32_t savedLength, int32_t start,
                           int32_t end) {
    UndoRecord record = NewRecord(kind, start, end);
    record.savedText = saved;
    record.savedLength = saved ? savedLength : 0;
    return record;
}

void ReportNoMemory() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ShowSystemError();
}

// Pushes a record whose saved text (if any) is already made; takes the text.
bool Push(const UndoRecord& fields) {
    auto* record = static_cast<UndoRecord*>(HeapAllocBlock(sizeof(UndoRecord)));
    if (!record) {
        HeapFreeBlock(fields.savedText);
        HeapFreeBlock(fields.units.units);
        ReportNoMemory();
        return false;
    }
    *record = fields;
    record->next = g_undoTop;
    g_undoTop = record;
    return true;
}

void PopAndFree() {
    UndoRecord* record = g_undoTop;
    if (!record) return;
    g_undoTop = record->next;
    HeapFreeBlock(record->savedText);
    HeapFreeBlock(record->units.units);
    HeapFreeBlock(record);
}

void PopRedo() {
    RedoRecord* record = g_redoTop;
    if (!record) return;
    g_redoTop = record->next;
    HeapFreeBlock(record->text);
    HeapFreeBlock(record->units.units);
    HeapFreeBlock(record);
}

void ClearRedo() {
    while (g_redoTop) PopRedo();
}

// Pushes a redo step; takes its text. When the step cannot be kept, the
// older ones no longer fit the text and go too.
void PushRedo(const RedoRecord& fields) {
    auto* record = static_cast<RedoRecord*>(HeapAllocBlock(sizeof(RedoRecord)));
    if (!record) {
        HeapFreeBlock(fields.text);
        HeapFreeBlock(fields.units.units);
        ClearRedo();
        ReportNoMemory();
        return;
    }
    *record = fields;
    record->next = g_redoTop;
    g_redoTop = record;
}

// Before an undo puts n bytes in place of [first, last): what stands there
// and the selection, for the redo step.
void KeepForRedo(int32_t first, int32_t last, int32_t n) {
    RedoRecord record{};
    record.start = first;
    record.end = first + n;
    record.selection = GetSelection(g_editorState.control);
    record.codePage = static_cast<unsigned char>(g_editorState.displayCodePage);
    if (last > first) {
        record.text = static_cast<unsigned char*>(HeapAllocBlock(static_cast<size_t>(last - first) + 1));
        if (!record.text) {
            ClearRedo();
            ReportNoMemory();
            return;
        }
        ForeignUnits units;
        record.length = GetRangeBytes(g_editorState.control, first, last, record.text, last - first, &units);
        record.units = KeepUnits(units);
        if (record.length < 0 || (!units.empty() && !record.units.units)) {
            HeapFreeBlock(record.text);
            HeapFreeBlock(record.units.units);
            ClearRedo();
            ReportNoMemory();
            return;
        }
    }
    PushRedo(record);
}

bool TopIs(UndoRequest kind) { return g_undoTop && g_undoTop->kind == kind; }

// The selection (or the whole text) streamed out into a new heap block of
// `capacity` bytes, at most `count` of them; null (the error shown) when no
// memory.
unsigned char* SaveRange(bool selectionOnly, int32_t count, int32_t capacity, int32_t* saved, SavedUnits* units) {
    HeapBuffer text(static_cast<size_t>(capacity));
    if (!text) {
        ReportNoMemory();
        return nullptr;
    }
    ForeignUnits foreign;
    *saved = StreamBytesOut(g_editorState.control, selectionOnly, text.get(), count, &foreign);
    *units = KeepUnits(foreign);
    if (*saved < 0 || (!foreign.empty() && !units->units)) {
        HeapFreeBlock(units->units);
        *units = SavedUnits{nullptr, 0};
        *saved = 0;
        ReportNoMemory();
        return nullptr;
    }
    return text.release();
}

// Typing and LineBreak: a run of keys at consecutive positions is one record.
void RecordKey(UndoRequest kind, int32_t n, int32_t s) {
    if (TopIs(kind) && g_undoTop->keyUnit == n && g_undoTop->end + n == s) {
        g_undoTop->end = s;
    } else {
        UndoRecord record = NewRecord(kind, s, s);
        record.keyUnit = static_cast<unsigned char>(n);
        Push(record);
    }
}

// ForwardDelete and Backspace: the key removes one byte, or a CR LF pair
// (or the two units of a character beyond the BMP) as one; the record keeps
// exactly those bytes, in [start, end).
void RecordKeyDeletion(bool forward, int32_t s, int32_t length) {
    if (forward ? length <= s : s <= 0) return;
    const int32_t first = forward ? s : std::max(0, s - 2);
    const int32_t read = forward ? 2 : s - first;
    unsigned char pair[2] = {0, 0};
    ForeignUnits units;
    GetRangeBytes(g_editorState.control, first, first + read, pair, read, &units);
    UndoRecord record = NewRecord(forward ? UndoRequest::ForwardDelete : UndoRequest::Backspace, 0, 0);
    const bool together = read == 2 && DeletedTogether(pair, units);
    if (together) {
        record.removed[0] = pair[0];
        record.removed[1] = pair[1];
        record.units = KeepUnits(units);
    } else {
        // One byte: the one after the caret, or the one just before it,
        // with its unit when it stands for a foreign one.
        record.removed[0] = forward ? pair[0] : pair[read - 1];
        if (IsForeignByte(record.removed[0]) && !units.empty())
            record.units = KeepUnits(ForeignUnits{forward ? units.front() : units.back()});
    }
    const int32_t count = together ? 2 : 1;
    record.start = forward ? s : s - count;
    record.end = record.start + count;
    Push(record);
}

// Replacement: the selected bytes [s, e) are saved; n bytes will stand there.
bool RecordReplacement(int32_t s, int32_t e, int32_t n) {
    unsigned char* saved = nullptr;
    int32_t savedLength = 0;
    SavedUnits units{nullptr, 0};
    if (e > s && !(saved = SaveRange(true, e - s, e - s + 2, &savedLength, &units))) return false;
    UndoRecord record = SavedTextRecord(UndoRequest::Replacement, saved, savedLength, s, s + n);
    record.units = units;
    return Push(record);
}

// Ctrl+Delete and Ctrl+Backspace: [first, last) is deleted and recorded as a
// replacement by nothing.
void DeleteWord(int32_t first, int32_t last) {
    if (last <= first) return;
    ClearRedo();
    HeapBuffer word(static_cast<size_t>(last - first) + 1);
    ForeignUnits units;
    int32_t saved = word ? GetRangeBytes(g_editorState.control, first, last, word.get(), last - first, &units) : 0;
    SetSelection(g_editorState.control, first, last);
    ReplaceSelectionBytes(nullptr, 0, false);
    if (!word) {
        ReportNoMemory();
        return;
    }
    UndoRecord record = SavedTextRecord(UndoRequest::Replacement, word.release(), saved, first, first);
    record.units = KeepUnits(units);
    Push(record);
}

void RecordWordDeletion(bool right, int32_t s, int32_t length) {
    if (right) {
        if (length > s) DeleteWord(s, FindWordBreak(g_editorState.control, WB_MOVEWORDRIGHT, s));
    } else if (s > 0) {
        DeleteWord(FindWordBreak(g_editorState.control, WB_MOVEWORDLEFT, s), s);
    }
}

// Snapshot: the whole text with the selection to restore and the display
// code page it is shown in; one snapshot stands for a run of them.
bool PushSnapshot(unsigned char* saved, int32_t savedLength, SavedUnits units, int32_t s, int32_t e, int codePage) {
    UndoRecord record = SavedTextRecord(UndoRequest::Snapshot, saved, savedLength, saved ? s : 0, saved ? e : 0);
    record.units = units;
    record.codePage = static_cast<unsigned char>(codePage);
    record.encoding = g_document.encoding;
    return Push(record);
}

void RecordSnapshot(int32_t s, int32_t e, int32_t length) {
    if (TopIs(UndoRequest::Snapshot)) return;
    unsigned char* saved = nullptr;
    int32_t savedLength = 0;
    SavedUnits units{nullptr, 0};
    if (length > 0 && !(saved = SaveRange(false, length + 2, length + 2, &savedLength, &units))) return;
    PushSnapshot(saved, savedLength, units, s, e, g_editorState.displayCodePage);
}

// Overwrite: nothing is overwritten at a line break or at the end; any other
// byte, zero included, comes back on undo.
void RecordOverwrite(int32_t s, int32_t length) {
    unsigned char byte = 0;
    ForeignUnits units;
    GetRangeBytes(g_editorState.control, s, s + 1, &byte, 1, &units);
    UndoRecord record = NewRecord(UndoRequest::Overwrite, s, s + 1);
    record.overwrote = s < length && byte != '\r' && byte != '\n';
    record.removed[0] = record.overwrote ? byte : 0;
    if (record.overwrote) record.units = KeepUnits(units);
    Push(record);
}

// Every change an undo makes: [first, last) replaced by n bytes, kept for
// redo first.
// Bytes a record saved in code page `codePage` put in place of the
// selection. A Unicode document put into another code page since (a display
// switch) has its saved bytes put into that code page too, so that they read
// as they did.
void PutSaved(const unsigned char* bytes, int32_t n, const SavedUnits& units, int codePage) {
    const ForeignUnits foreign = UnitsOf(units);
    if (!g_editorState.unicodeText || codePage == g_editorState.displayCodePage || n <= 0) {
        ReplaceSelectionBytes(bytes, n, false, &foreign);
        return;
    }
    try {
        std::vector<unsigned char> recoded;
        ForeignUnits recodedUnits;
        RecodeWithForeign(codePage, bytes, static_cast<size_t>(n), foreign, g_editorState.displayCodePage, recoded,
                          recodedUnits);
        ReplaceSelectionBytes(recoded.data(), n, false, &recodedUnits);
    } catch (const std::bad_alloc&) {
        ReportNoMemory();
    }
}

void TakeBack(int32_t first, int32_t last, const unsigned char* bytes, int32_t n, const SavedUnits& units,
              int codePage) {
    KeepForRedo(first, last, n);
    SetSelection(g_editorState.control, first, last);
    PutSaved(bytes, n, units, codePage);
}

// Takes back one key of a typing run; the record goes with its last key.
void UndoKey(UndoRecord& record) {
    const int32_t size = KeyUnit(record);
    if (record.end >= record.start) {
        TakeBack(record.end, record.end + size, nullptr, 0, SavedUnits{nullptr, 0}, record.codePage);
        record.end -= size;
    }
    if (record.end < record.start) PopAndFree();
}

void UndoKeyDeletion(const UndoRecord& record) {
    TakeBack(record.start, record.start, record.removed, RemovedCount(record), record.units, record.codePage);
    // Delete leaves the caret where it was, Backspace after the bytes.
    if (record.kind == UndoRequest::ForwardDelete) SetSelection(g_editorState.control, record.start, record.start);
    PopAndFree();
}

void UndoReplacement(const UndoRecord& record) {
    TakeBack(record.start, record.end, record.savedText, SavedLength(record), record.units, record.codePage);
    PopAndFree();
}

// The whole text as it stands (a heap block of length + 2 bytes, *n of
// them), or null (the error shown) when there is no memory for it.
unsigned char* WholeTextNow(int32_t* n, SavedUnits* units) {
    *n = 0;
    return SaveRange(false, TextLength(g_editorState.control) + 2, TextLength(g_editorState.control) + 2, n, units);
}

// Puts `text` in as the whole text shown in `codePage`, the current text
// (`now`, nowLength bytes) handed over so it is not read again; modified
// afterwards, [start, end) selected. False when no control could be had:
// text and display code page are as they were.
bool PutWholeText(const unsigned char* text, int32_t length, const SavedUnits& units, int codePage,
                  const unsigned char* now, int32_t nowLength, int32_t start, int32_t end) {
    const int shown = g_editorState.displayCodePage;
    SetDecodingForNewText(codePage);
    const ForeignUnits foreign = UnitsOf(units);
    if (!FillWholeText(text, length, nullptr, false, false, now, nowLength, &foreign)) {
        SetDecodingForNewText(shown);
        return false;
    }
    SendMessageA(g_editorState.control, EM_SETMODIFY, TRUE, 0);
    SetSelection(g_editorState.control, start, end);
    return true;
}

void UndoSnapshot(const UndoRecord& record) {
    // The text as it stands goes to the redo step; without memory for it the
    // undo still happens, with nothing left to redo.
    RedoRecord redo{};
    redo.wholeText = true;
    redo.selection = GetSelection(g_editorState.control);
    redo.codePage = static_cast<unsigned char>(g_editorState.displayCodePage);
    redo.encoding = g_document.encoding;
    redo.text = WholeTextNow(&redo.length, &redo.units);
    if (!redo.text) ClearRedo();
    // The saved bytes are shown in the code page they were saved in.
    if (!PutWholeText(record.savedText, SavedLength(record), record.units, record.codePage, redo.text, redo.length,
                      record.start, record.end)) {
        // No control for the text: the record stays for another try.
        HeapFreeBlock(redo.text);
        HeapFreeBlock(redo.units.units);
        return;
    }
    ChangeDocumentEncoding(record.encoding);
    PopAndFree();
    if (redo.text) PushRedo(redo);
}

void UndoOverwrite(const UndoRecord& record) {
    TakeBack(record.start, record.end, record.removed, OverwrittenCount(record), record.units, record.codePage);
    PopAndFree();
}

// A step done again goes on the undo history as a replacement (a whole
// text as a snapshot), so that undo takes it back once more. When that
// record cannot be made, nothing is done: a change the history did not see
// would leave its older steps out of place.
void RedoRange(const RedoRecord& record) {
    SetSelection(g_editorState.control, record.start, record.end);
    if (!RecordReplacement(record.start, record.end, record.length)) return;
    PutSaved(record.text, record.length, record.units, record.codePage);
    SetSelection(g_editorState.control, record.selection.cpMin, record.selection.cpMax);
    PopRedo();
}

void RedoWholeText(const RedoRecord& record) {
    int32_t length = 0;
    SavedUnits units{nullptr, 0};
    unsigned char* now = WholeTextNow(&length, &units);
    if (!now) return;
    const CHARRANGE selection = GetSelection(g_editorState.control);
    if (!PushSnapshot(now, length, units, selection.cpMin, selection.cpMax, g_editorState.displayCodePage)) return;
    if (!PutWholeText(record.text, record.length, record.units, record.codePage, now, length,
                      record.selection.cpMin, record.selection.cpMax)) {
        PopAndFree();
        return;
    }
    ChangeDocumentEncoding(record.encoding);
    PopRedo();
}

} // namespace

void RecordUndo(UndoRequest request, int32_t n) {
    // A new change: what undo took back can no longer be done again (a word
    // deletion with no word to delete is none).
    if (request != UndoRequest::DeleteWordRight && request != UndoRequest::DeleteWordLeft) ClearRedo();
    if (g_editorState.controlUndoUsed || !g_editorState.control) return;
    const int32_t length = TextLength(g_editorState.control);
    const CHARRANGE selection = GetSelection(g_editorState.control);
    const int32_t s = selection.cpMin;
    const int32_t e = selection.cpMax;
    switch (request) {
    case UndoRequest::Typing:
    case UndoRequest::LineBreak:
    case UndoRequest::ForwardDelete:
    case UndoRequest::Backspace:
    case UndoRequest::Overwrite:
        // A key over a selection replaces it.
        if (s != e) {
            RecordReplacement(s, e, n);
            return;
        }
        if (request == UndoRequest::Overwrite) return RecordOverwrite(s, length);
        if (request == UndoRequest::ForwardDelete || request == UndoRequest::Backspace)
            return RecordKeyDeletion(request == UndoRequest::ForwardDelete, s, length);
        return RecordKey(request, n, s);
    case UndoRequest::Replacement:
        RecordReplacement(s, e, n);
        return;
    case UndoRequest::DeleteWordRight:
    case UndoRequest::DeleteWordLeft:
        return RecordWordDeletion(request == UndoRequest::DeleteWordRight, s, length);
    case UndoRequest::Snapshot:
        return RecordSnapshot(s, e, length);
    }
}

void RecordSnapshotOf(const unsigned char* text, int32_t n, int32_t selectionStart, int32_t selectionEnd,
                      int codePage, const ForeignUnits* units) {
    ClearRedo();
    if (g_editorState.controlUndoUsed || !g_editorState.control) return;
    if (TopIs(UndoRequest::Snapshot)) return;
    unsigned char* saved = nullptr;
    if (n > 0) {
        saved = static_cast<unsigned char*>(HeapAllocBlock(static_cast<size_t>(n) + 2));
        if (!saved) {
            ReportNoMemory();
            return;
        }
        memcpy(saved, text, n);
    }
    PushSnapshot(saved, n, units ? KeepUnits(*units) : SavedUnits{nullptr, 0}, selectionStart, selectionEnd, codePage);
}

void UndoStep() {
    UndoRecord* record = g_undoTop;
    if (!record || !g_editorState.control) return;
    switch (record->kind) {
    case UndoRequest::Typing:
    case UndoRequest::LineBreak:
        return UndoKey(*record);
    case UndoRequest::ForwardDelete:
    case UndoRequest::Backspace:
        return UndoKeyDeletion(*record);
    case UndoRequest::Replacement:
        return UndoReplacement(*record);
    case UndoRequest::Snapshot:
        return UndoSnapshot(*record);
    case UndoRequest::Overwrite:
        return UndoOverwrite(*record);
    default:
        PopAndFree();
        return;
    }
}

void RedoStep() {
    RedoRecord* record = g_redoTop;
    if (!record || !g_editorState.control) return;
    if (record->wholeText) {
        RedoWholeText(*record);
    } else {
        RedoRange(*record);
    }
}

void ForgetUndoRecords() {
    while (g_undoTop) PopAndFree();
    ClearRedo();
}

bool NoUndoRecords() { return g_undoTop == nullptr; }

bool NoRedoRecords() { return g_redoTop == nullptr; }

void UndoCommand(int) {
    if (!g_editorState.control) return;
    if (g_editorState.controlUndoUsed) {
        SendMessageA(g_editorState.control, EM_UNDO, 0, 0);
    } else {
        UndoStep();
    }
}

void RedoCommand(int) {
    if (!g_editorState.control) return;
    if (g_editorState.controlUndoUsed) {
        SendMessageA(g_editorState.control, EM_REDO, 0, 0);
    } else {
        RedoStep();
    }
}

void SetEncodingHandler(EncodingHandler handler) { g_encodingHandler = handler; }

void ChangeDocumentEncoding(FileEncoding encoding) {
    if (g_encodingHandler && encoding != g_document.encoding) g_encodingHandler(encoding);
}
