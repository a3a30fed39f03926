// What may stand behind a name before it is read or written: devices and
// pipes that are no documents, the place for the copy a safe save keeps of
// the old contents, and names that the system code page cannot spell.
#pragma once

#include <windows.h>

// --- Devices and pipes ---

// True for an open handle of a file on a disk (not a console, a character
// device such as /dev/zero, a pipe or a FIFO).
bool IsDiskFile(HANDLE file);
// True when `path` leads to a device or a pipe: a device name kept in every
// folder (NUL, CON, COM1, "nul.txt") or an existing object that is no disk file.
bool NamesDevice(const char* path);
// Tells the user that `path` is a device and no document: it is neither
// opened (`saving` false) nor written (`saving` true).
void RefuseDevice(const char* path, bool saving);

// --- The copy of the old contents during a save ---

// Makes a copy of the first `size` bytes of `from` (never more, whatever the
// file holds by now) in a new file beside `path`, else in the user's
// temporary folder; its name in `copyName` (kPathSize bytes), the copy open
// for reading and writing. Invalid, with the error met beside the file, when
// neither place takes it; nothing is left behind then.
HANDLE MakeSafetyCopy(const char* path, HANDLE from, LONGLONG size, char* copyName);
// Copies at most `limit` bytes of `from` into `to`, both from their start;
// the bytes copied in `copied`.
bool CopyContents(HANDLE from, HANDLE to, LONGLONG limit, LONGLONG* copied = nullptr);
// Asks whether `path` may be written in place without a copy of its old
// contents, since no copy could be made anywhere. The answer No is the default.
bool AskWriteWithoutCopy(const char* path);

// --- Names outside the system code page ---

// The name by which the program opens and saves the file `name` (any
// characters): its full path when the system code page spells it, else its
// short name when that one is spelled; else the full path with the
// unspellable characters replaced (a file that will not be found, as before).
// False when the full path does not fit in kPathSize bytes.
bool OpenableName(const wchar_t* name, char* out);
// A name from the ANSI file dialog whose last component held characters the
// code page lacks (they come back as "?", which no file name contains):
// replaced by the short name of the one file of that folder that reads so.
// Left as it is otherwise.
void RecoverSpelledName(char* name);
