#include "editor/undo.h"

#include <algorithm>

#include <windows.h>
#include <richedit.h>

#include "base/heap_block.h"
#include "base/messages.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "editor/control.h"
#include "editor/display_code_page.h"
#include "editor/text_layer.h"

namespace {

// One step of the history. Kinds are the request codes, 5 and 7 stored as 4.
struct UndoRecord {
    unsigned char* savedText; // kinds 4 and 6: the bytes the change removed
    int32_t savedValue;       // kinds 2, 3: two bytes; 8: one byte; 4, 6: length of savedText
    int32_t start;
    int32_t end;
    unsigned char codePage; // kind 6: the display code page of the snapshot
    unsigned char kind;
    UndoRecord* next;
};

UndoRecord* g_undoTop;

void ReportNoMemory() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ShowSystemError();
}

// Pushes a record whose saved text (if any) is already made; takes the text.
bool Push(UndoRecord fields) {
    auto* record = static_cast<UndoRecord*>(HeapAllocBlock(sizeof(UndoRecord)));
    if (!record) {
        HeapFreeBlock(fields.savedText);
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
    HeapFreeBlock(record);
}

// Two bytes of [first, first + 2) as a value, first in the low byte; bytes
// past the end read as 0.
int32_t PairAt(int32_t first, int32_t count) {
    unsigned char pair[2] = {0, 0};
    GetRangeBytes(g_editor, first, first + count, pair, count);
    return pair[0] | (pair[1] << 8);
}

void DeleteWord(int32_t first, int32_t last) {
    if (last <= first) return;
    HeapBuffer word(static_cast<size_t>(last - first) + 1);
    int32_t saved = word ? GetRangeBytes(g_editor, first, last, word.get(), last - first) : 0;
    SetSelection(g_editor, first, last);
    ReplaceSelectionBytes(g_editor, nullptr, 0, false);
    if (!word) {
        ReportNoMemory();
        return;
    }
    Push({word.release(), saved, first, first, 0, kUndoReplacement, nullptr});
}

void InsertAt(int32_t position, const unsigned char* bytes, int32_t n) {
    SetSelection(g_editor, position, position);
    ReplaceSelectionBytes(g_editor, bytes, n, false);
}

} // namespace

bool ControlUndoSelected() { return ReadSetting(setting::ControlUndo) != 0; }

void RecordUndo(int code, int32_t n) {
    if (ControlUndoSelected() || !g_editor) return;
    const int32_t length = TextLength(g_editor);
    const CHARRANGE selection = GetSelection(g_editor);
    const int32_t s = selection.cpMin;
    const int32_t e = selection.cpMax;
    const bool typingKey = code == kUndoTyping || code == kUndoLineBreak || code == kUndoForwardDelete ||
                           code == kUndoBackspace || code == kUndoOverwrite;
    if (s != e && typingKey) code = kUndoReplacement;
    switch (code) {
    case kUndoTyping:
    case kUndoLineBreak:
        if (g_undoTop && g_undoTop->kind == code && g_undoTop->end + n == s) {
            g_undoTop->end = s;
        } else {
            Push({nullptr, 0, s, s, 0, static_cast<unsigned char>(code), nullptr});
        }
        break;
    case kUndoForwardDelete:
    case kUndoBackspace: {
        // The key removes one byte, or a CR LF pair as one; the record keeps
        // exactly those bytes, in [start, end).
        const bool forward = code == kUndoForwardDelete;
        if (forward ? length <= s : s <= 0) break;
        const int32_t first = forward ? s : std::max(0, s - 2);
        int32_t pair = PairAt(first, forward ? 2 : s - first);
        int32_t count = 1;
        if ((forward || s - first == 2) && pair == 0x0A0D) count = 2;
        if (!forward && count == 1 && s - first == 2) pair >>= 8; // the byte just before the caret
        pair &= count == 2 ? 0xFFFF : 0xFF;
        const int32_t start = forward ? s : s - count;
        Push({nullptr, pair, start, start + count, 0, static_cast<unsigned char>(code), nullptr});
        break;
    }
    case kUndoReplacement: {
        unsigned char* saved = nullptr;
        int32_t savedLength = 0;
        if (e > s) {
            HeapBuffer text(static_cast<size_t>(e - s) + 2);
            if (!text) {
                ReportNoMemory();
                return;
            }
            savedLength = StreamBytesOut(g_editor, true, text.get(), e - s);
            saved = text.release();
        }
        Push({saved, savedLength, s, s + n, 0, kUndoReplacement, nullptr});
        break;
    }
    case kUndoDeleteWordRight:
        if (length > s) DeleteWord(s, FindWordBreak(g_editor, WB_MOVEWORDRIGHT, s));
        break;
    case kUndoDeleteWordLeft:
        if (s > 0) DeleteWord(FindWordBreak(g_editor, WB_MOVEWORDLEFT, s), s);
        break;
    case kUndoSnapshot: {
        if (g_undoTop && g_undoTop->kind == kUndoSnapshot) break;
        unsigned char* saved = nullptr;
        int32_t savedLength = 0;
        if (length > 0) {
            HeapBuffer text(static_cast<size_t>(length) + 2);
            if (!text) {
                ReportNoMemory();
                return;
            }
            savedLength = StreamBytesOut(g_editor, false, text.get(), length + 2);
            saved = text.release();
        }
        Push({saved, savedLength, saved ? s : 0, saved ? e : 0, static_cast<unsigned char>(g_displayCodePage),
              kUndoSnapshot, nullptr});
        break;
    }
    case kUndoOverwrite: {
        unsigned char byte = 0;
        GetRangeBytes(g_editor, s, s + 1, &byte, 1);
        // Nothing is overwritten at a line break or at the end; any other
        // byte, zero included, comes back on undo (bit 8 tells it was there).
        const bool overwrites = s < length && byte != '\r' && byte != '\n';
        Push({nullptr, overwrites ? 0x100 | byte : 0, s, s + 1, 0, kUndoOverwrite, nullptr});
        break;
    }
    default:
        break;
    }
}

void RecordSnapshotOf(const unsigned char* text, int32_t n, int32_t selectionStart, int32_t selectionEnd) {
    if (ControlUndoSelected() || !g_editor) return;
    if (g_undoTop && g_undoTop->kind == kUndoSnapshot) return;
    unsigned char* saved = nullptr;
    if (n > 0) {
        saved = static_cast<unsigned char*>(HeapAllocBlock(static_cast<size_t>(n) + 2));
        if (!saved) {
            ReportNoMemory();
            return;
        }
        memcpy(saved, text, n);
    }
    Push({saved, saved ? n : 0, saved ? selectionStart : 0, saved ? selectionEnd : 0,
          static_cast<unsigned char>(g_displayCodePage), kUndoSnapshot, nullptr});
}

void UndoStep() {
    UndoRecord* record = g_undoTop;
    if (!record || !g_editor) return;
    switch (record->kind) {
    case kUndoTyping:
    case kUndoLineBreak: {
        const int32_t size = 1 + record->kind;
        if (record->end >= record->start) {
            SetSelection(g_editor, record->end, record->end + size);
            ReplaceSelectionBytes(g_editor, nullptr, 0, false);
            record->end -= size;
        }
        if (record->end < record->start) PopAndFree();
        break;
    }
    case kUndoForwardDelete:
    case kUndoBackspace: {
        const unsigned char pair[2] = {static_cast<unsigned char>(record->savedValue),
                                       static_cast<unsigned char>(record->savedValue >> 8)};
        InsertAt(record->start, pair, record->end - record->start);
        // Delete leaves the caret where it was, Backspace after the bytes.
        if (record->kind == kUndoForwardDelete) SetSelection(g_editor, record->start, record->start);
        PopAndFree();
        break;
    }
    case kUndoReplacement:
        SetSelection(g_editor, record->start, record->end);
        ReplaceSelectionBytes(g_editor, record->savedText, record->savedText ? record->savedValue : 0, false);
        PopAndFree();
        break;
    case kUndoSnapshot: {
        const bool otherCodePage = record->codePage != g_displayCodePage;
        // The saved bytes are shown in the code page they were saved in.
        SetDecodingForNewText(record->codePage);
        HWND before = g_editor;
        const bool fresh = ReplaceAllBytes(g_editor, record->savedText, record->savedValue) != before;
        if (!g_editor) {
            PopAndFree();
            break;
        }
        SendMessageA(g_editor, EM_SETMODIFY, TRUE, 0);
        SetSelection(g_editor, record->start, record->end);
        // A fresh control has the font of the snapshot's display already.
        if (otherCodePage && !fresh) ApplyDisplayCodePageKeepingView();
        PopAndFree();
        break;
    }
    case kUndoOverwrite: {
        SetSelection(g_editor, record->start, record->end);
        const unsigned char byte = static_cast<unsigned char>(record->savedValue);
        ReplaceSelectionBytes(g_editor, &byte, record->savedValue & 0x100 ? 1 : 0, false);
        PopAndFree();
        break;
    }
    default:
        PopAndFree();
        break;
    }
}

void ClearUndoHistory() {
    while (g_undoTop) PopAndFree();
}

bool UndoHistoryEmpty() { return g_undoTop == nullptr; }

void UndoCommand(int) {
    if (!g_editor) return;
    if (ControlUndoSelected()) {
        SendMessageA(g_editor, EM_UNDO, 0, 0);
    } else {
        UndoStep();
    }
}
