// The editor's own undo history: a stack of records, newest on top, fed
// before every change and taken back one step at a time. Used while setting
// "NO" is 0; otherwise the control's own undo serves.
#pragma once

#include <cstdint>

// Request codes of RecordUndo.
enum UndoRequest : int {
    kUndoTyping = 0,          // a typed character in insert mode
    kUndoLineBreak = 1,       // Enter
    kUndoForwardDelete = 2,   // Delete with nothing selected
    kUndoBackspace = 3,       // Backspace with nothing selected
    kUndoReplacement = 4,     // the selection replaced by n bytes (or deleted)
    kUndoDeleteWordRight = 5, // Ctrl+Delete: records and deletes
    kUndoSnapshot = 6,        // the whole text, before whole-text operations
    kUndoDeleteWordLeft = 7,  // Ctrl+Backspace: records and deletes
    kUndoOverwrite = 8,       // a typed character in overwrite mode
};

// Records one step before a change; n is the number of bytes the change will
// insert where the selection is. When a record cannot be made the system
// error is shown and nothing is recorded (the word deletions still delete).
void RecordUndo(int code, int32_t n);
// A whole-text snapshot of bytes the caller already holds (the current text,
// n bytes, with the selection to restore), so that a whole-text operation
// streams the text out only once.
void RecordSnapshotOf(const unsigned char* text, int32_t n, int32_t selectionStart, int32_t selectionEnd);
// Takes back the newest record's change.
void UndoStep();
// Frees every record.
void ClearUndoHistory();
bool UndoHistoryEmpty();
// True when setting "NO" asks for the control's own undo.
bool ControlUndoSelected();

// Command 4.
void UndoCommand(int id);
