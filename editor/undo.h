// The editor's own undo history: a stack of records, newest on top, fed
// before every change and taken back one step at a time. Used while setting
// "NO" is 0; otherwise the control's own undo serves.
#pragma once

#include <cstdint>

#include "core/unicode/foreign_units.h"
#include "core/unicode/unicode_file.h"

// What RecordUndo is asked to record. The numbers are the request codes the
// history has always used.
enum class UndoRequest : unsigned char {
    Typing = 0,          // a typed character in insert mode
    LineBreak = 1,       // Enter
    ForwardDelete = 2,   // Delete with nothing selected
    Backspace = 3,       // Backspace with nothing selected
    Replacement = 4,     // the selection replaced by n bytes (or deleted)
    DeleteWordRight = 5, // Ctrl+Delete: records and deletes
    Snapshot = 6,        // the whole text, before whole-text operations
    DeleteWordLeft = 7,  // Ctrl+Backspace: records and deletes
    Overwrite = 8,       // a typed character in overwrite mode
};

// Records one step before a change; n is the number of bytes the change will
// insert where the selection is. When a record cannot be made the system
// error is shown and nothing is recorded (the word deletions still delete).
void RecordUndo(UndoRequest request, int32_t n);
// A whole-text snapshot of bytes the caller already holds (the text as it
// was, n bytes, shown in `codePage`, with the selection to restore, and a
// Unicode document's foreign units), so that a whole-text operation streams
// the text out only once.
void RecordSnapshotOf(const unsigned char* text, int32_t n, int32_t selectionStart, int32_t selectionEnd,
                      int codePage, const ForeignUnits* units = nullptr);
// Takes back the newest record's change; the change it takes back can be
// done again by RedoStep until the next change is recorded.
void UndoStep();
// Does again the step the newest undo took back (a whole-text step with the
// display code page it was shown in), and records it for undo.
void RedoStep();
// Frees every record, and whether there is none: what the rest of the
// program asks of the history goes through editor.h (ClearUndoHistory,
// UndoHistoryEmpty, RedoHistoryEmpty).
void ForgetUndoRecords();
bool NoUndoRecords();
bool NoRedoRecords();

// IDM_UNDO and IDM_REDO (through the control's own undo when it serves).
void UndoCommand(int id);
void RedoCommand(int id);

// The document's file encoding is the document code's to write (globals.h):
// the editor asks for a change through this handler, set at start-up. A
// whole-text step undone brings back the encoding the document had before
// it, and done again the one it had after; a command that finds the text's
// own encoding (the text repair) asks right after its whole-text step.
using EncodingHandler = void (*)(FileEncoding encoding);
void SetEncodingHandler(EncodingHandler handler);
void ChangeDocumentEncoding(FileEncoding encoding);
