// The document's passage between disk and the editor control: loading,
// saving, the save-changes prompt, and the commands that open, save, insert
// and reopen files (through the file dialogs and the recent-files list).
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/heap_block.h"
#include "core/unicode/unicode_file.h"

// --- Loading and saving ---

// Replaces the document with the file's bytes. The whole file is read first;
// anything that fails before the document is replaced leaves text, name,
// undo history and modified flag as they were. Silent when the file cannot
// be opened (or its name does not fit); the system error for a file over the
// size limit or a read error.
bool LoadFile(const char* name);
// Writes the document to the current file name: into a temporary file in the
// same folder, which then replaces the file, so a failed write leaves the old
// file whole. Read-only and system files are overwritten only after a
// question and keep their attributes; a new file gets the archive attribute.
bool SaveFile();
// Remembers the current file's caret for the recent-files list and, when
// the document is modified, asks whether to save it. False: the caller stops.
bool AskSaveChanges();
// Replaces the last component of `path` (a 260-byte buffer) by its spelling on disk.
void UseOnDiskName(char* path);
// True when the document has a file (the current name is not the untitled one).
bool DocumentHasFile();
// A whole file's bytes, with two zero bytes after them in the block.
struct WholeFile {
    HeapBuffer bytes; // empty when the file could not be read
    int32_t length = 0;
    // The file was opened: a failure after that (too large, no memory, a
    // read error) is worth telling the user.
    bool opened = false;
    // The name leads to a device or a pipe, which is never read.
    bool device = false;
    explicit operator bool() const { return static_cast<bool>(bytes); }
};
// The whole file read; on any failure no bytes, with the last error set.
WholeFile ReadWholeFile(const char* name);

// --- Through the file dialogs and the recent-files list ---

// The Open dialog, then the chosen file loaded.
void OpenDocument();
// The Save As dialog proposing the current name, then the document saved
// under the chosen one; false when cancelled or the save failed.
bool SaveDocumentAs();
// The Open dialog, then the chosen file's bytes in place of the selection.
void InsertFromFile();
// The file of the recent-file item at menu position i (0-9), after the
// save-changes prompt; a file that cannot be loaded leaves the list.
void OpenRecentFile(int i);

// --- Commands ---
void NewDocumentCommand(int id);
void OpenDocumentCommand(int id);
void SaveDocumentCommand(int id);
void SaveDocumentAsCommand(int id);
void InsertFromFileCommand(int id);
void OpenRecentFileCommand(int id);
// A dropped file: the first of the list, after the prompt. True when the
// drop named a file (the drop has been finished).
bool LoadDroppedFile(HDROP drop);

// From now on the document is written to its file in `encoding` (the text
// as shown, encoded so); the note on why the file opened as bytes goes, and
// the status bar says so.
void SetDocumentEncoding(FileEncoding encoding);

// The document a new process starts with: no file ("БезИмени"). Part of
// start-up and of ResetProgramState.
void ResetDocumentState();
