// The Open, Save As and Insert-from-file dialogs over one shared record: they
// only choose a name; the document code does the loading and saving.
#pragma once

#include "core/unicode/unicode_file.h"

// Fills the shared open-file-name record (at main window creation).
void InitFileDialogs();
// The Open dialog for a file to read; the chosen name in `name` (260 bytes).
// False when cancelled.
bool ChooseFileToRead(char* name);
// The Save As dialog proposing `name` (260 bytes), which receives the chosen
// name, and `encoding`, which receives how the file is to be written (its
// list: as shown, then the Unicode encodings). False when cancelled (the
// title is not touched).
bool ChooseFileToSave(char* name, FileEncoding* encoding);
// The shared record's default extension from its filter index.
void SetDefaultExtension();
// Forgets the shared record and the filter last confirmed, as in a new
// process; part of ResetProgramState.
void ResetFileDialogs();
